// The menu modes the game-mode loop builds by id.
#pragma once

class CGameMode;

// The main menu (2), the quick-match menus (3), the championship, cup and
// career menus (4, 5, 6), the demo menu (7), the options (8), the training
// menus (10) and the LAN lobby (11), constructed with the mode value of the mode that has just
// ended; null for any other id.
CGameMode* CreateMenuMode(int modeId, int previousModeValue);
