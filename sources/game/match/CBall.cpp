#include "CBall.h"

#include "CPhysicBallListener.h"

#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <CKEMSceneParticleEffect.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <FXTuning.h>
#include <HalNet.h>
#include <PhysicTricksEffects.h>

#include <OgreQuaternion.h>

CBall::CBall(int32_t kind, CKEMSceneNode* node) : CMovableGameElement(node), mKind(kind)
{
    if (node)
        mNodeName = node->getName();
    mDust = CreateEffect("poussiere.pfx", dustScale, mDustName);
    mGravel = CreateEffect("graviers.pfx", gravelScale, mGravelName);
}

CBall::~CBall()
{
    // The scene may have gone first and taken the effect nodes with it:
    // look them up by name instead of trusting the pointers.
    if (!mDustName.empty())
        CKEMSceneGraph::DeleteNode(mDustName);
    if (!mGravelName.empty())
        CKEMSceneGraph::DeleteNode(mGravelName);
    mDust = nullptr;
    mGravel = nullptr;
    if (mListener && NodeAlive() && mNode->GetContactListener() == mListener)
        mNode->SetContactListener(nullptr);
    delete mListener;
    mListener = nullptr;
}

CKEMSceneParticleEffect* CBall::CreateEffect(const char* file, float scale, std::string& name)
{
    CKEMSceneNode* node = CKEMFrameWork::CreateNodeByType(CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT, nullptr, file);
    if (!node)
        return nullptr;
    auto* effect = dynamic_cast<CKEMSceneParticleEffect*>(node);
    if (!effect) {
        CKEMSceneGraph::DeleteNode(node->getName());
        return nullptr;
    }
    name = effect->getName();
    SetNodeWorldPosition(effect, GetWorldPosition());
    effect->SetScale(Ogre::Vector3(scale, scale, scale));
    effect->setToVisible(true);
    effect->StopEffect();
    return effect;
}

bool CBall::NodeAlive() const
{
    return mNode && !mNodeName.empty() && CKEMSceneGraph::FindNode(mNodeName) == mNode;
}

void CBall::CreateContactListener()
{
    if (mNode && mListener && mNode->GetContactListener() == mListener)
        mNode->SetContactListener(nullptr);
    delete mListener;
    mListener = new CPhysicBallListener(this);
    if (mNode)
        mNode->SetContactListener(mListener);
}

Ogre::Vector3 CBall::LaunchVelocity(float angle, float speed, const Ogre::Vector3& direction)
{
    const Ogre::Vector3 d = direction.normalisedCopy();
    const Ogre::Vector3 axis = d.crossProduct(Ogre::Vector3::UNIT_Y);
    Ogre::Quaternion q;
    q.FromAngleAxis(Ogre::Degree(angle), axis);
    return (q * d).normalisedCopy() * speed;
}

Ogre::Vector3 CBall::EffectTorque(int32_t effectMode, float value, const Ogre::Vector3& velocity)
{
    if (effectMode == EFFECT_NONE)
        return Ogre::Vector3::ZERO;
    const Ogre::Vector3 h = Ogre::Vector3(velocity.x, 0.0f, velocity.z).normalisedCopy();
    Ogre::Vector3 e = h;
    if (effectMode == EFFECT_SIDE_LEFT)
        e = SideEffectRotationLeft * h;
    else if (effectMode == EFFECT_SIDE_RIGHT)
        e = SideEffectRotationRight * h;
    return e.crossProduct(Ogre::Vector3::NEGATIVE_UNIT_Y) * AngularVelEffectRad * value;
}

void CBall::Launch(float angle, float speed, float value, Ogre::Vector3 direction)
{
    mEffectValue = value;
    const Ogre::Vector3 velocity = LaunchVelocity(angle, speed, direction);

    CPhysicObject* object = mNode ? mNode->getPhysicObject() : nullptr;
    if (object) {
        object->setLinearVelocity(velocity);
        object->setAngularVelocity(Ogre::Vector3::ZERO);
        gPhysicMgr.RegisterObject(object);
        // Still listed but switched off (taken in hand without leaving the list).
        if (!object->IsActive())
            object->SetActive(true);
    } else {
        NetTrace("CBall::Launch() => no physic object on ball %s", mNodeName.c_str());
    }

    if (mEffect != EFFECT_NONE) {
        const Ogre::Vector3 linear = object ? object->getLinearVelocity() : velocity;
        const Ogre::Vector3 torque = EffectTorque(mEffect, value, linear);
        if (object)
            object->addTorque(torque, 1, Ogre::Vector3::ZERO, 1, 0.0f);
        NetTrace("CBall::Launch()=>angularEffect(%.8f, %.8f, %.8f)", torque.x, torque.y, torque.z);
    }

    const Ogre::Vector3 linear = object ? object->getLinearVelocity() : velocity;
    NetTrace("CBall::Launch()=>velocity(%.8f, %.8f, %.8f) mEffect=%d", linear.x, linear.y, linear.z, mEffect);
    mState = STATE_LAUNCHED;
}
