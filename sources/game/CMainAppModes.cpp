// The game's table of modes: the class the loop builds for each mode id.
#include "CGameMode.h"
#include "CMainApp.h"

#include <CBootGameMode.h>

CGameMode* CreateGameModeById(int modeId, int previousModeValue) {
    switch (modeId) {
    case GAME_MODE_BOOT:
        return new CBootGameMode(previousModeValue);
    default:
        // The match, the menus, training and the LAN lobby join here as
        // they come.
        return nullptr;
    }
}
