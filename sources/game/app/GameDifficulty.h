// The two difficulty settings: the one the options menu selects, and the one
// read in play (0 easy, 1 medium, 2 hard); the menus copy the first into the
// second.
#pragma once

#include <cstdint>

extern int32_t g_SelectedDifficulty;
extern int32_t g_CurrentDifficulty;
