// The referee's test hooks, apart from the referee itself: the test channel
// sets them without pulling the whole match into every program that links it.
#include "CGameMaster.h"

void (*CGameMaster::sAfterOwnBallPositions)(int32_t controller) = nullptr;
