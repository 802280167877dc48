// "../../mediaDemo/Config/PhysicTricksEffects.cfg", the
// ball's spin and braking, with the values derived from them at load time.
#pragma once

#include "TuningLoader.h"
#include "TuningMatrix3.h"

extern float AngularBrakeFactor;     // read, not used
extern float LinearBrakeFactor;      // read, not used
extern float RetroBrakeFactor;       // backspin braking on contact with the ground
extern float RetroBrakeComplement;   // derived: 1 - RetroBrakeFactor
extern float LateralBrakeFactor;     // side-spin braking on contact with the ground
extern float LateralBrakeComplement; // derived: 1 - LateralBrakeFactor
extern float VelTresholdStartFake;   // read, not used
extern float VelTresholdStab;        // speed below which a ball on the ground is stopped
extern float AngularVelEffect;       // spin, turns per second
extern float AngularVelEffectRad;    // derived: float(AngularVelEffect x 360) x deg-to-rad, rad/s
// Holds 90 - the file's value (the side angle, degrees), not the file's value.
extern float AngleSideEffect;
// Derived: rotations about Ogre::Vector3::UNIT_Y by -AngleSideEffect and
// +AngleSideEffect degrees (Ogre::Matrix3::FromAngleAxis, the 1.2 series' FromAxisAngle).
extern TuningMatrix3 SideEffectRotationLeft;
extern TuningMatrix3 SideEffectRotationRight;
