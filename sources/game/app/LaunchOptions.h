// Options of the command line.
#pragma once

// "--main-menu": the boot screens lead to the full game's main menu (mode 2)
// instead of the demo menu (mode 7).
void SetBootToMainMenu(bool mainMenu);
// The mode the boot screens lead to.
int BootNextModeId();
