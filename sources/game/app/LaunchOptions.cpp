#include "LaunchOptions.h"

#include "CGameMode.h"

namespace {
bool gBootToMainMenu = false;
}

void SetBootToMainMenu(bool mainMenu) { gBootToMainMenu = mainMenu; }

int BootNextModeId() { return gBootToMainMenu ? GAME_MODE_MAIN_MENU : GAME_MODE_DEMO_MENU; }

int HomeMenuModeId() { return BootNextModeId(); }
