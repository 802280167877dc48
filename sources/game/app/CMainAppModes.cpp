// The game's table of modes: the class the loop builds for each mode id.
#include "CGameMode.h"
#include "CMainApp.h"

#include <CBootGameMode.h>
#include <MenuModes.h>

CGameMode* CreateGameModeById(int modeId, int previousModeValue) {
    switch (modeId) {
    case GAME_MODE_BOOT:
        return new CBootGameMode(previousModeValue);
    case GAME_MODE_MAIN_MENU:
    case GAME_MODE_QUICK_MATCH_MENUS:
    case GAME_MODE_DEMO_MENU:
    case GAME_MODE_OPTIONS:
    case GAME_MODE_TRAINING_MENUS:
        return CreateMenuMode(modeId, previousModeValue);
    default:
        // The match, the menus, training and the LAN lobby join here as
        // they come.
        return nullptr;
    }
}
