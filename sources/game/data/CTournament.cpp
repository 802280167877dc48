#include "CTournament.h"

CTournament* g_pCurrentTournament = nullptr;
uint8_t g_bTournamentCareer = 0;

namespace {
struct CurrentTournamentOwner {
    ~CurrentTournamentOwner() {
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
    }
};
const CurrentTournamentOwner sCurrentTournamentOwner;
}  // namespace
