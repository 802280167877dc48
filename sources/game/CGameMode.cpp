#include "CGameMode.h"

CGameMode::~CGameMode() = default;
