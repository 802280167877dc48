#include "TournamentScreens.h"

namespace {
TournamentScreenBuilder gBuilder = nullptr;
}

void SetTournamentScreenBuilder(TournamentScreenBuilder builder) { gBuilder = builder; }

bool HasTournamentScreenBuilder() { return gBuilder != nullptr; }

CTournamentScreen* CreateTournamentScreen(int slot) { return gBuilder ? gBuilder(slot) : nullptr; }
