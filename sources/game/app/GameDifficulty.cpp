#include "GameDifficulty.h"

int32_t g_SelectedDifficulty = 1;
int32_t g_CurrentDifficulty = 1;
