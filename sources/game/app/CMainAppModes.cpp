// The game's table of modes: the class the loop builds for each mode id.
#include "CGameMode.h"
#include "CMainApp.h"

#include <CBootGameMode.h>
#include <CQuickMatchGameMode.h>
#include <CTrainingGameMode.h>
#include <MenuModes.h>
#include <Platform.h>

CGameMode* CreateGameModeById(int modeId, int previousModeValue) {
    switch (modeId) {
    case GAME_MODE_QUICK_MATCH:
        return new CQuickMatchGameMode(previousModeValue);
    case GAME_MODE_BOOT:
        return new CBootGameMode(previousModeValue);
    case GAME_MODE_TRAINING:
        return new CTrainingGameMode(previousModeValue);
    case GAME_MODE_MAIN_MENU:
    case GAME_MODE_QUICK_MATCH_MENUS:
    case GAME_MODE_DEMO_MENU:
    case GAME_MODE_OPTIONS:
    case GAME_MODE_TRAINING_MENUS:
    case GAME_MODE_CHAMPIONSHIP_MENUS:
    case GAME_MODE_CUP_MENUS:
    case GAME_MODE_CAREER_MENUS:
    case GAME_MODE_LAN_LOBBY:
        return CreateMenuMode(modeId, previousModeValue);
    default:
        break;
    }
    if (modeId < 0 || modeId >= GAME_MODE_COUNT)
        return nullptr;   // outside the table: the run ends
    // A mode of the table that this build does not have yet: the player
    // lands on the demo menu rather than losing the program.
    PlatLog("CreateGameModeById() => mode %d (%s) is not in this build: back to the demo menu", modeId,
            GameModeName(modeId));
    return CreateMenuMode(GAME_MODE_DEMO_MENU, previousModeValue);
}
