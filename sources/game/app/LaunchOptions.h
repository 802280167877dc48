// Options of the command line.
#pragma once

// "--main-menu": the boot screens lead to the full game's main menu (mode 2)
// instead of the demo menu (mode 7).
void SetBootToMainMenu(bool mainMenu);
// The mode the boot screens lead to.
int BootNextModeId();
// The menu a player comes back to from a match, the options or a refused
// set-up: the one the boot screens led to, where every mode can be reached
// again (the full game's main menu, or the demo menu in the demo).
int HomeMenuModeId();
