// Distances from a point to segments and rays, shared by the computer
// opponent's choices and the throw. Every distance is returned squared:
// callers compare against squared limits. "Equal" vectors means exact
// component-wise equality.
#pragma once

#include <OgreRay.h>
#include <OgreVector.h>

// t of the projection of p on the line a + t (b - a), not clamped; 0 when a
// equals b.
float SegmentProjectionParameter(const Ogre::Vector3& p, const Ogre::Vector3& a, const Ogre::Vector3& b);

// Squared distance from p to the nearest point of the segment [a, b].
float SquaredDistanceToSegment(const Ogre::Vector3& p, const Ogre::Vector3& a, const Ogre::Vector3& b);

// Squared distance from p to the ray (origin, direction; the direction need
// not be unit length). The unclamped parameter of p's projection is written
// to t, except for a zero direction, which leaves t untouched. Points behind
// the origin measure to the origin.
float SquaredDistanceToRay(const Ogre::Vector3& p, const Ogre::Ray& ray, float& t);
