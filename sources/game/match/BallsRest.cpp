#include "BallsRest.h"

#include "CBall.h"

#include <CKEMSceneNode.h>
#include <CPhysicObject.h>

bool BallsRest::IsCreeping(const Ogre::Vector3& linear, const Ogre::Vector3& angular, float radius)
{
    // The speed a ball turning about a horizontal axis would roll at.
    const Ogre::Vector3 roll(-angular.z * radius, 0.0f, angular.x * radius);
    const float limit2 = kRestSpeed * kRestSpeed;
    // NaN fails both: never taken as at rest.
    return linear.squaredLength() < limit2 && roll.squaredLength() < limit2;
}

bool BallsRest::Update(const std::vector<CBall*>& balls, uint32_t now)
{
    bool anyMoving = false;
    for (const CBall* ball : balls) {
        const CPhysicObject* object = ball && ball->mState == CBall::STATE_LAUNCHED && ball->GetNode()
                                          ? ball->GetNode()->getPhysicObject()
                                          : nullptr;
        const Ogre::Vector3 linear = object ? object->getLinearVelocity() : Ogre::Vector3::ZERO;
        if (linear.squaredLength() == 0.0f)
            continue;
        anyMoving = true;
        if (!IsCreeping(linear, object->getAngularVelocity(), kBallRadius)) {
            mSlowSeen = false;
            return false;
        }
    }
    if (!anyMoving)
        return true;
    if (!mSlowSeen) {
        mSlowSeen = true;
        mSlowSinceMs = now;
    }
    return now - mSlowSinceMs >= kRestHoldMs;
}
