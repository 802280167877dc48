#include "KEMOverlapTests.h"

#include <cmath>

bool intersectSphereAABB(const CKEMSphere& sphere, const CKEMBoundingBox& box)
{
    const float centre[3] = {sphere.x, sphere.y, sphere.z};
    for (int axis = 0; axis < 3; ++axis) {
        const float low = box.min[axis] - sphere.radius;
        const float high = box.max[axis] + sphere.radius;
        if (centre[axis] < low || centre[axis] > high)
            return false;
    }
    return true;
}

namespace {

// Projected radius of a box whose scaled axes are `scaled` on the line L.
float projectedRadius(const Ogre::Vector3 scaled[3], const Ogre::Vector3& line)
{
    return std::fabs(scaled[0].dotProduct(line)) + std::fabs(scaled[1].dotProduct(line)) +
           std::fabs(scaled[2].dotProduct(line));
}

}  // namespace

bool intersectOBBOBB(const CKEMOrientedBox& a, const CKEMOrientedBox& b)
{
    const Ogre::Vector3 d = b.center - a.center;
    Ogre::Vector3 scaledA[3];
    Ogre::Vector3 scaledB[3];
    for (int i = 0; i < 3; ++i) {
        scaledA[i] = a.axes.GetColumn(i) * a.halfExtents[i];
        scaledB[i] = b.axes.GetColumn(i) * b.halfExtents[i];
    }

    // The centre line; a zero distance leaves L zero and passes.
    Ogre::Vector3 line = d;
    const float length = line.length();
    if (length > 0.0f)
        line /= length;
    const float reach = projectedRadius(scaledA, line) + projectedRadius(scaledB, line);
    if (d.squaredLength() > reach * reach)
        return false;

    for (const CKEMOrientedBox* box : {&a, &b}) {
        for (int i = 0; i < 3; ++i) {
            const Ogre::Vector3 axis = box->axes.GetColumn(i);
            if (std::fabs(d.dotProduct(axis)) > projectedRadius(scaledA, axis) + projectedRadius(scaledB, axis))
                return false;
        }
    }
    return true;
}
