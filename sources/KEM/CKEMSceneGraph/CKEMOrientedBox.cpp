#include "CKEMOrientedBox.h"

CKEMOrientedBox::CKEMOrientedBox()
    : min(Ogre::Vector3::ZERO),
      max(Ogre::Vector3::ZERO),
      axes(Ogre::Matrix3::IDENTITY),
      center(Ogre::Vector3::ZERO),
      localCenter(Ogre::Vector3::ZERO),
      halfExtents(Ogre::Vector3::ZERO),
      radius(0.0f)
{
    SetSize(Ogre::Vector3::UNIT_SCALE);
}

void CKEMOrientedBox::SetFromBox(const Ogre::Vector3& boxMin, const Ogre::Vector3& boxMax)
{
    localCenter = (boxMin + boxMax) * 0.5f;
    SetSize(boxMax - boxMin);
}

void CKEMOrientedBox::SetSize(const Ogre::Vector3& size)
{
    halfExtents = size * 0.5f;
    min = -halfExtents;
    max = halfExtents;
    radius = halfExtents.length();
}

void CKEMOrientedBox::SetAxes(const Ogre::Matrix3& rotation)
{
    for (int i = 0; i < 3; ++i)
        axes.SetColumn(i, rotation.GetColumn(i).normalisedCopy());
}
