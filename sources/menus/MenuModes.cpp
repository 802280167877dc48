#include "MenuModes.h"

#include "CMenuDemoGameMode.h"
#include "CMenuGameModeCarreer.h"
#include "CMenuGameModeChamp.h"
#include "CMenuGameModeQuickMatch.h"
#include "CMenuGameModeTraining.h"
#include "CMenuLobbyingGameMode.h"
#include "CMenuMainGameMode.h"
#include "CMenuOptionsGameMode.h"

CGameMode* CreateMenuMode(int modeId, int previousModeValue) {
    switch (modeId) {
    case GAME_MODE_MAIN_MENU:
        return new CMenuMainGameMode(previousModeValue);
    case GAME_MODE_DEMO_MENU:
        return new CMenuDemoGameMode(previousModeValue);
    case GAME_MODE_QUICK_MATCH_MENUS:
        return new CMenuGameModeQuickMatch(previousModeValue);
    case GAME_MODE_OPTIONS:
        return new CMenuOptionsGameMode(previousModeValue);
    case GAME_MODE_CHAMPIONSHIP_MENUS:
        return new CMenuGameModeChamp(previousModeValue);
    case GAME_MODE_CUP_MENUS:
        return new CMenuGameModeCup(previousModeValue);
    case GAME_MODE_CAREER_MENUS:
        return new CMenuGameModeCarreer(previousModeValue);
    case GAME_MODE_TRAINING_MENUS:
        return new CMenuGameModeTraining(previousModeValue);
    case GAME_MODE_LAN_LOBBY:
        return new CMenuLobbyingGameMode(previousModeValue);
    default:
        return nullptr;
    }
}
