#include "Terrain.h"

#include "CGameElement.h"

#include <CKEMFrameWork.h>

#include <algorithm>

Terrain::Terrain(int32_t stageId) : mStageId(stageId)
{
    for (Ogre::Plane& plane : mPlanes) {
        plane.normal = Ogre::Vector3::ZERO;
        plane.d = 0.0f;
    }
}

void Terrain::SetLimits(const Ogre::Vector3& p, const Ogre::Vector3& q)
{
    mMinX = std::min(p.x, q.x);
    mMaxX = std::max(p.x, q.x);
    mMinZ = std::min(p.z, q.z);
    mMaxZ = std::max(p.z, q.z);
    const float middle = mMinX + (mMaxX - mMinX) * 0.5f;
    mLimitPoint1 = Ogre::Vector3(middle, 0.0f, mMinZ);
    mLimitPoint2 = Ogre::Vector3(middle, 0.0f, mMaxZ);
    mPlanes[0] = Ogre::Plane(Ogre::Vector3::UNIT_X, mMinX);
    mPlanes[1] = Ogre::Plane(Ogre::Vector3::UNIT_X, mMaxX);
    mPlanes[2] = Ogre::Plane(Ogre::Vector3::UNIT_Z, mMinZ);
    mPlanes[3] = Ogre::Plane(Ogre::Vector3::UNIT_Z, mMaxZ);
}

bool Terrain::IntersectRay(const Ogre::Ray& ray, Ogre::Vector3& point) const
{
    bool hit = false;
    float best = -1.0f;
    point = Ogre::Vector3::ZERO;
    // Order: min x, min z, max x, max z.
    for (int index : {0, 2, 1, 3}) {
        const auto crossing = ray.intersects(mPlanes[index]);
        if (!crossing.first)
            continue;
        const float t = crossing.second;
        hit = true;
        if (best == -1.0f || t < best)
            best = t;
    }
    if (hit)
        point = ray.getPoint(best);
    return hit;
}

bool Terrain::IsOutside(const Ogre::Vector3& position) const
{
    return position.x < mMinX || position.x > mMaxX || position.z < mMinZ || position.z > mMaxZ;
}

bool Terrain::IsOutside(const CGameElement& element) const { return IsOutside(element.GetWorldPosition()); }

Ogre::Vector3 Terrain::InsidePosition(const Ogre::Vector3& position) const
{
    float x = position.x;
    float z = position.z;
    if (x < mMinX + 1.0f)
        x = mMinX + 1.0f;
    else if (x > mMaxX - 1.0f)
        x = mMaxX - 1.0f;
    if (z < mMinZ + 1.0f)
        z = mMinZ + 1.0f;
    else if (z > mMaxZ - 1.0f)
        z = mMaxZ - 1.0f;
    return Ogre::Vector3(x, 0.0f, z);
}

void Terrain::PlaceInside(CGameElement& element, const Ogre::Vector3& position) const
{
    SetNodeWorldPosition(element.GetNode(), InsidePosition(position));
}

const Ogre::Vector3& Terrain::GetFarLimitPoint(const Ogre::Vector3& position) const
{
    const float d1 = position.squaredDistance(mLimitPoint1);
    const float d2 = position.squaredDistance(mLimitPoint2);
    return d2 < d1 ? mLimitPoint1 : mLimitPoint2;
}

const char* GetSceneFileForStage(int32_t stageId)
{
    switch (stageId) {
    case 1: return "../../mediaDemo/Saved_Scenes/baltard.xml";
    case 2: return "../../mediaDemo/Saved_Scenes/la_reunion.xml";
    case 3: return "../../mediaDemo/Saved_Scenes/la_ciotat.xml";
    case 4: return "../../mediaDemo/Saved_Scenes/training.xml";
    default: return "../../mediaDemo/Saved_Scenes/marseille.xml";
    }
}

const char* GetSceneFileForStage(const Terrain& terrain) { return GetSceneFileForStage(terrain.mStageId); }

bool LoadSceneForStage(const Terrain& terrain)
{
    return CKEMFrameWork::LoadScene(GetSceneFileForStage(terrain)) != 0;
}
