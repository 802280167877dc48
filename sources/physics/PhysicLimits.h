// The values the physics takes from a scene file. ODE aborts the process (and
// OGRE asserts) on non-finite values, and on finite ones whose products
// overflow once a scene is stepped; the loaders refuse anything outside
// these bounds, which are far beyond any venue's.
#pragma once

#include <OgreVector.h>

#include <cmath>

namespace physiclimits {

const float kMaxCoordinate = 1.0e5f;   // positions, anchors, shape offsets (m)
const float kMaxSize = 1.0e4f;         // box sides, radii, capsule heights (m)
const float kMinSize = 1.0e-3f;        // thinner shapes slip through contacts and overflow inertias
const float kMaxStep = 0.01f;          // s; a coarser step sends a thrown ball through the ground
const float kFallbackStep = 0.0025f;   // s; stands in for a refused step: 400 Hz holds a shot on the target ball
const float kMaxMass = 1.0e6f;         // kg; 0 keeps a body's mass
const float kMinMass = 1.0e-4f;
const float kMaxGravity = 1.0e3f;      // per axis (m/s2)
const unsigned kMaxIterations = 1000;  // solver iterations per step
const float kMinCFM = 1.0e-9f;         // world constraint force mixing

inline bool Finite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Finite and no component beyond `bound` either way.
inline bool Within(const Ogre::Vector3& v, float bound)
{
    return Finite(v) && std::fabs(v.x) <= bound && std::fabs(v.y) <= bound && std::fabs(v.z) <= bound;
}

inline bool Within(float value, float low, float high) { return std::isfinite(value) && value >= low && value <= high; }

// A direction ODE can normalise.
inline bool UsableAxis(const Ogre::Vector3& axis)
{
    return Within(axis, kMaxCoordinate) && axis.squaredLength() > 1e-12f;
}

}  // namespace physiclimits
