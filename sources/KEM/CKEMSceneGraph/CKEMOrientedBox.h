// The two volumes a scene node keeps for the scripted-node manager: a world
// axis-aligned box (activity test) and an oriented box (overlap test). The
// node kinds fill them when their bounds change.
#pragma once

#include <OgreMatrix3.h>
#include <OgreVector.h>

// World-space axis-aligned box: minimum then maximum corner.
struct CKEMBoundingBox {
    Ogre::Vector3 min = Ogre::Vector3::ZERO;
    Ogre::Vector3 max = Ogre::Vector3::ZERO;
};

struct CKEMOrientedBox {
    Ogre::Vector3 min;            // corner relative to the centre: -halfExtents
    Ogre::Vector3 max;            // +halfExtents
    Ogre::Matrix3 axes;           // the three unit axes as columns
    Ogre::Vector3 center;         // world centre
    Ogre::Vector3 localCenter;    // in the node's space, after scaling
    Ogre::Vector3 halfExtents;
    float radius;                 // length of the half extents

    // Identity axes, 1 x 1 x 1, centred on the origin.
    CKEMOrientedBox();

    // localCenter = (min + max) / 2, then SetSize(max - min).
    void SetFromBox(const Ogre::Vector3& boxMin, const Ogre::Vector3& boxMax);
    // Half extents = size / 2; corners and radius follow.
    void SetSize(const Ogre::Vector3& size);
    // Stores the columns of `rotation`, each normalised.
    void SetAxes(const Ogre::Matrix3& rotation);
};
