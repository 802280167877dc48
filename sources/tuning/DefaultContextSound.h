// "../../mediaDemo/Config/DefaultContextSound.cfg", the
// ball contact sounds and the speed ranges over which their gain and pitch
// vary, with the derived values computed at load time.
#pragma once

#include "TuningLoader.h"

// Sound names; the empty text when missing. The texts stay valid until the
// next TuningLoadFromFolder (for the game: until exit).
extern const char* HitGround;
extern const char* HitBall;
extern const char* HitWall;
extern const char* Roll;

// Per family: the six keys, then the derived GainRange = GainMax - GainMin,
// PitchRange = PitchMax - PitchMin, VelocityMin2 = VelocityMin^2,
// VelocityMax2 = VelocityMax^2 and InvVelocityRange2 =
// 1 / (VelocityMax2 - VelocityMin2) (0 when both squares are equal: no range).
#define CONTEXT_SOUND_FAMILY_DECLARE(family) \
    extern float family##GainMin; \
    extern float family##GainMax; \
    extern float family##GainRange; \
    extern float family##PitchMin; \
    extern float family##PitchMax; \
    extern float family##PitchRange; \
    extern float family##VelocityMin; \
    extern float family##VelocityMax; \
    extern float family##VelocityMin2; \
    extern float family##VelocityMax2; \
    extern float family##InvVelocityRange2;
CONTEXT_SOUND_FAMILY_DECLARE(HitBall)
CONTEXT_SOUND_FAMILY_DECLARE(HitGround)
CONTEXT_SOUND_FAMILY_DECLARE(RollGround)
#undef CONTEXT_SOUND_FAMILY_DECLARE
