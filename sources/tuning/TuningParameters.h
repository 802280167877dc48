// The 95 values of "../../mediaDemo/Config/tavirelo.cfg".
// Each value is a read-only variable named exactly as its key (misspellings
// included). Angles are degrees, distances metres, frame keys frames of the
// throw animations, bonuses and penalties points. The gauge times are read by
// the throw as milliseconds of game time. Per-difficulty keys:
// pick with SelectByDifficulty (CConfigFileMap.h).
#pragma once

#include "CConfigFileMap.h"
#include "TavireloKeys.h"
#include "TuningLoader.h"

#include <cstdint>

#define TUNING_DECLARE_BOOL(name) extern bool name;
#define TUNING_DECLARE_INT(name) extern int32_t name;
#define TUNING_DECLARE_FLOAT(name) extern float name;
TAVIRELO_TUNING_KEYS(TUNING_DECLARE_BOOL, TUNING_DECLARE_INT, TUNING_DECLARE_FLOAT)
#undef TUNING_DECLARE_BOOL
#undef TUNING_DECLARE_INT
#undef TUNING_DECLARE_FLOAT
