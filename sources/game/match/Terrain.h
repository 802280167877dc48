// The playing rectangle of a venue: its stage id and scene file, the
// rectangle's bounds with the two end points of its long axis and its four
// boundary planes, and the geometric questions of the rules, the aiming axis,
// the computer's target-ball throw and the radar.
#pragma once

#include <OgrePlane.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <cstdint>

class CGameElement;

class Terrain {
public:
    explicit Terrain(int32_t stageId);

    // Bounds from the positions of the venue's two limit objects.
    void SetLimits(const Ogre::Vector3& p, const Ogre::Vector3& q);
    // The nearest crossing of a boundary plane ahead of the ray's origin.
    bool IntersectRay(const Ogre::Ray& ray, Ogre::Vector3& point) const;
    // True when the element lies outside the rectangle (bounds are inside).
    bool IsOutside(const CGameElement& element) const;
    bool IsOutside(const Ogre::Vector3& position) const;
    // The position pulled at least 1 m inside the rectangle, at height 0.
    Ogre::Vector3 InsidePosition(const Ogre::Vector3& position) const;
    // Moves the element (with its body) to InsidePosition(position).
    void PlaceInside(CGameElement& element, const Ogre::Vector3& position) const;
    // The limit point farther from the position (limit point 2 on a tie).
    const Ogre::Vector3& GetFarLimitPoint(const Ogre::Vector3& position) const;

    int32_t mStageId;
    float mMinX = 0.0f, mMaxX = 0.0f, mMinZ = 0.0f, mMaxZ = 0.0f;
    Ogre::Vector3 mLimitPoint1 = Ogre::Vector3::ZERO;   // middle of the min-z end
    Ogre::Vector3 mLimitPoint2 = Ogre::Vector3::ZERO;   // middle of the max-z end
    Ogre::Plane mPlanes[4];                             // x = min, x = max, z = min, z = max
};

// The venue scene file of the terrain's stage.
const char* GetSceneFileForStage(const Terrain& terrain);
const char* GetSceneFileForStage(int32_t stageId);
// Loads that file as the scene; its success.
bool LoadSceneForStage(const Terrain& terrain);
