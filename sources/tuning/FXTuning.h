// "../../mediaDemo/Config/FX.cfg", the scales of a ball's dust
// and gravel particle effects ("poussiere.pfx", "graviers.pfx").
#pragma once

#include "TuningLoader.h"

extern float dustScale;
extern float gravelScale;
