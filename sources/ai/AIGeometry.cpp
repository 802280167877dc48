#include "AIGeometry.h"

float SegmentProjectionParameter(const Ogre::Vector3& p, const Ogre::Vector3& a, const Ogre::Vector3& b) {
    if (a == b)
        return 0.0f;
    const Ogre::Vector3 ab = b - a;
    return (p - a).dotProduct(ab) / ab.squaredLength();
}

float SquaredDistanceToSegment(const Ogre::Vector3& p, const Ogre::Vector3& a, const Ogre::Vector3& b) {
    if (a == b)
        return (a - p).squaredLength();
    const float t = SegmentProjectionParameter(p, a, b);
    if (t < 0.0f)
        return (a - p).squaredLength();
    if (t > 1.0f)
        return (b - p).squaredLength();
    return (a * (1.0f - t) + b * t - p).squaredLength();
}

float SquaredDistanceToRay(const Ogre::Vector3& p, const Ogre::Ray& ray, float& t) {
    const Ogre::Vector3& o = ray.getOrigin();
    const Ogre::Vector3& d = ray.getDirection();
    if (d == Ogre::Vector3::ZERO)
        return (o - p).squaredLength();
    t = d.dotProduct(p - o) / d.dotProduct(d);
    if (t >= 0.0f)
        return (o + d * t - p).squaredLength();
    return (o - p).squaredLength();
}
