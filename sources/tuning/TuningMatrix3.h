// A 3 x 3 matrix stored as plain floats, so that a tuning value of this type
// is constant-initialised (Ogre::Matrix3 has a constructor) and converts to
// Ogre::Matrix3 where it is used.
#pragma once

#include <OgreMatrix3.h>

struct TuningMatrix3 {
    float m[3][3];

    operator Ogre::Matrix3() const { return Ogre::Matrix3(m); }
    Ogre::Vector3 operator*(const Ogre::Vector3& v) const { return Ogre::Matrix3(m) * v; }
    void Set(const Ogre::Matrix3& matrix) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m[r][c] = matrix[r][c];
    }
};
