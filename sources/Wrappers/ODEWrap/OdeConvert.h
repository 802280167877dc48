// Conversions at the wrapper boundary: the engine speaks OGRE's single
// precision types, ODE here is built in double precision.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>
#include <ode/ode.h>

// A single-precision ODE (a stray dIDESINGLE-style define) still compiles
// and silently corrupts every value passed through these helpers.
static_assert(sizeof(dReal) == 8, "ODE must be used in double precision");

inline Ogre::Vector3 OdeToVector(const dReal* v)
{
    return Ogre::Vector3(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}

// ODE and OGRE both order quaternions w, x, y, z.
inline Ogre::Quaternion OdeToQuaternion(const dReal* q)
{
    return Ogre::Quaternion(static_cast<float>(q[0]), static_cast<float>(q[1]),
                            static_cast<float>(q[2]), static_cast<float>(q[3]));
}

inline void QuaternionToOde(const Ogre::Quaternion& q, dQuaternion out)
{
    out[0] = q.w;
    out[1] = q.x;
    out[2] = q.y;
    out[3] = q.z;
}
