#include "CPhysicBallListener.h"

#include "CBall.h"

#include <CDebugRenderer.h>
#include <CImpactListener.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneParticleEffect.h>
#include <CKEMSceneSound.h>
#include <CPhysicObject.h>
#include <DefaultContextSound.h>
#include <HalTimer.h>
#include <PhysicTricksEffects.h>

#include <cmath>

namespace {

const uint32_t BALL_IMPACT_INTERVAL_MS = 50;
const float ROLLING_STOP_SPEED2 = 0.01f;

Ogre::Vector3 WorldPosition(CKEMSceneNode* node)
{
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    if (node)
        node->GetPosition(position, 2);
    return position;
}

CPhysicObject* Body(CKEMSceneNode* node)
{
    return node ? node->getPhysicObject() : nullptr;
}

void StopBody(CPhysicObject* body)
{
    body->setLinearVelocity(Ogre::Vector3::ZERO);
    body->setAngularVelocity(Ogre::Vector3::ZERO);
}

bool IsBallName(const std::string& name)
{
    return name.compare(0, 5, "boule") == 0;
}

}  // namespace

#define CONTEXT_SOUND_FAMILY(family)                                                                    \
    CPhysicBallListener::SoundFamily CPhysicBallListener::family##Family()                              \
    {                                                                                                   \
        return {family##GainMin,  family##GainMax,      family##GainRange,                              \
                family##PitchMin, family##PitchMax,     family##PitchRange,                             \
                family##VelocityMin2, family##VelocityMax2, family##InvVelocityRange2};                 \
    }
CONTEXT_SOUND_FAMILY(HitGround)
CONTEXT_SOUND_FAMILY(HitBall)
CONTEXT_SOUND_FAMILY(RollGround)
#undef CONTEXT_SOUND_FAMILY

CPhysicBallListener::SoundLevel CPhysicBallListener::Level(const SoundFamily& f, float s2, float k)
{
    if (s2 >= f.high2)
        return {k * f.gainMax, k * f.pitchMax};
    if (s2 > f.low2) {
        const float t = (s2 - f.low2) * f.invRange2;
        return {f.gainMin + k * t * f.gainRange, f.pitchMin + k * t * f.pitchRange};
    }
    return {k * f.gainMin, k * f.pitchMin};
}

std::string CPhysicBallListener::SurfaceName(const CKEMSceneNode* other)
{
    if (!other)
        return std::string();
    if (other->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_COLLISIONMESH && other->getParent() &&
        other->getParent() != CKEMSceneNode::GetSceneRoot())
        return other->getParent()->getName();
    return other->getName();
}

CPhysicBallListener::CPhysicBallListener(CBall* ball) : mTarget(ball && ball->IsTarget()), mBall(ball)
{
    mRollingSound = new CKEMSceneSound(nullptr);
    mRollingSound->SetAmbient(true);
    mRollingSound->SetGain(1.0f);
    mRollingSound->SetFade(0);
    mRollingSound->SetFx(false);
    mRollingSound->SetLoop(true);
    mRollingSound->setResource(Roll ? Roll : "");
    mRollingSoundName = mRollingSound->getName();
}

CPhysicBallListener::~CPhysicBallListener()
{
    // The scene may have been cleared first and taken the sound node with it.
    if (RollingSoundAlive())
        CKEMSceneGraph::DeleteNode(mRollingSoundName);
    mRollingSound = nullptr;
}

bool CPhysicBallListener::RollingSoundAlive() const
{
    return mRollingSound && !mRollingSoundName.empty() &&
           CKEMSceneGraph::FindNode(mRollingSoundName) == mRollingSound;
}

void CPhysicBallListener::PlayImpactSound(const char* name, float gain, float pitch, const Ogre::Vector3& position)
{
    CKEMSceneSound::CreateSource(name, gain, false, &position, pitch, 3.0f, 300.0f, 1.0f);
}

void CPhysicBallListener::UpdateRollingSound(bool rolling, float gain, float pitch, const Ogre::Vector3& position)
{
    if (!RollingSoundAlive())
        return;
    mRollingSound->setPosition(position, false);
    if (!rolling) {
        mRollingSound->stop();
        return;
    }
    mRollingSound->SetGain(gain);
    mRollingSound->SetPitch(pitch);
    if (mRollingSound->IsStopped())
        mRollingSound->play();
}

void CPhysicBallListener::FlattenThrownBall()
{
    if (!mBall || !mBall->mHighlight)
        return;
    CPhysicObject* body = Body(mBall->mNode);
    if (!body)
        return;
    const Ogre::Vector3 v = body->getLinearVelocity();
    if (v == Ogre::Vector3::ZERO)
        return;
    // Obstacles must not send the ball of the throw up in the air.
    const Ogre::Vector3 flat(v.x, 0.0f, v.z);
    if (flat == Ogre::Vector3::ZERO)
        body->setLinearVelocity(Ogre::Vector3::ZERO);
    else
        body->setLinearVelocity(flat.normalisedCopy() * v.length());
}

void CPhysicBallListener::OnContact(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info)
{
    if (mTarget || !mBall || !node)
        return;
    const std::string otherName = SurfaceName(other);
    CPhysicObject* body = Body(node);

    if (otherName == "mur_entrainement") {
        PlayImpactSound(HitWall, 0.5f, 1.0f, WorldPosition(node));
        return;
    }

    if (otherName == "terrain") {
        if (node->IsVisible() && body) {
            const Ogre::Vector3 v = body->getLinearVelocity();
            const float s2 = v.squaredLength();
            if (s2 == 0.0f)
                return;
            const Ogre::Vector3 position = WorldPosition(node);
            const SoundLevel level = Level(HitGroundFamily(), s2);
            PlayImpactSound(HitGround, level.gain, level.pitch, position);
            if (mBall->mGravel && mBall->mGravel->GetState() != CKEMSceneParticleEffect::STATE_PLAYING) {
                SetNodeWorldPosition(mBall->mGravel, position);
                mBall->mGravel->StartEffect();
            }
            const float e = mBall->mEffectValue;
            switch (mBall->mEffect) {
            case CBall::EFFECT_FORWARD:
                body->setLinearVelocity(v * (RetroBrakeFactor + (1.0f - e) * RetroBrakeComplement));
                break;
            case CBall::EFFECT_SIDE_LEFT:
            case CBall::EFFECT_SIDE_RIGHT:
                body->setLinearVelocity(v * (LateralBrakeFactor + (1.0f - e) * LateralBrakeComplement));
                break;
            default:
                break;
            }
        }
        if (mImpactListener)
            mImpactListener->OnImpact(node, info.position.x, info.position.y, info.position.z);
        return;
    }

    FlattenThrownBall();

    if (!info.handled && other && IsBallName(other->getName())) {
        CPhysicObject* otherBody = Body(other);
        const uint32_t now = HalGetTimeMs();
        if (other->IsVisible() && body && otherBody && now - mLastBallImpact > BALL_IMPACT_INTERVAL_MS) {
            mLastBallImpact = now;
            const Ogre::Vector3 v = body->getLinearVelocity();
            const Ogre::Vector3 w = otherBody->getLinearVelocity();
            const float s2 = (v - w).squaredLength();
            const Ogre::Vector3 toThis = WorldPosition(node) - WorldPosition(other);
            const float k = std::fabs(w.normalisedCopy().dotProduct(toThis.normalisedCopy()));
            const SoundLevel level = Level(HitBallFamily(), s2, k);
            PlayImpactSound(HitBall, level.gain, level.pitch, WorldPosition(node));
        }
        info.handled = true;
        if (mImpactListener)
            mImpactListener->OnImpactWithObject(node, other, info.position.x, info.position.y, info.position.z);
        return;
    }

    if (otherName == "DeadPhysic") {
        DebugPrintText("Collision avec la plaque de mort", false, false);
        if (body)
            StopBody(body);
    }
}

void CPhysicBallListener::OnContactContinue(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo&)
{
    if (!mBall || !node)
        return;
    if (SurfaceName(other) != "terrain") {
        FlattenThrownBall();
        return;
    }
    CPhysicObject* body = Body(node);
    if (!body)
        return;

    const float v = body->getLinearVelocity().length();
    if (v > 0.0f && v < VelTresholdStab) {
        StopBody(body);
        if (mBall->mDust)
            mBall->mDust->StopEffect();
    }

    if (mTarget || !node->IsVisible())
        return;
    const Ogre::Vector3 position = WorldPosition(node);
    const float s2 = body->getLinearVelocity().squaredLength();
    if (s2 <= ROLLING_STOP_SPEED2) {
        UpdateRollingSound(false, 0.0f, 0.0f, position);
        for (CKEMSceneParticleEffect* effect : {mBall->mDust, mBall->mGravel}) {
            if (effect) {
                SetNodeWorldPosition(effect, position);
                effect->StopEffect();
            }
        }
        return;
    }
    const SoundLevel level = Level(RollGroundFamily(), s2);
    UpdateRollingSound(true, level.gain, level.pitch, position);
    if (mBall->mDust) {
        SetNodeWorldPosition(mBall->mDust, position);
        if (mBall->mDust->GetState() != CKEMSceneParticleEffect::STATE_PLAYING)
            mBall->mDust->StartEffect();
    }
}

void CPhysicBallListener::OnContactEnd(CKEMSceneNode*, CKEMSceneNode*)
{
    if (mTarget || !RollingSoundAlive())
        return;
    if (!mRollingSound->IsStopped())
        mRollingSound->stop();
}
