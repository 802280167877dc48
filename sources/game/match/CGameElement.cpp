#include "CGameElement.h"

#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <CPhysicObject.h>

void SetNodeWorldPosition(CKEMSceneNode* node, const Ogre::Vector3& position)
{
    if (!node)
        return;
    Ogre::Vector3 current;
    node->GetPosition(current, CKEMSceneGraphicHandle::SPACE_WORLD);
    node->translate(position - current, CKEMSceneGraphicHandle::SPACE_WORLD);
}

CGameElement::~CGameElement() = default;

bool CGameElement::ReturnFalse(int) { return false; }
bool CGameElement::ReturnFalse2(int) { return false; }

Ogre::Vector3 CGameElement::GetWorldPosition() const
{
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    if (mNode)
        mNode->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    return position;
}

float CGameElement::SquaredDistanceTo(const CGameElement& other) const
{
    return GetWorldPosition().squaredDistance(other.GetWorldPosition());
}

void CMovableGameElement::SetPosition2D(float x, float z)
{
    const Ogre::Vector3 current = GetWorldPosition();
    SetWorldPosition(Ogre::Vector3(x, current.y, z));
}

void CMovableGameElement::SetWorldPosition(const Ogre::Vector3& position)
{
    SetNodeWorldPosition(mNode, position);
}

bool CMovableGameElement::IsMoving() const
{
    CPhysicObject* object = mNode ? mNode->getPhysicObject() : nullptr;
    if (!object)
        return false;
    return object->getLinearVelocity().squaredLength() > 0.0f;
}
