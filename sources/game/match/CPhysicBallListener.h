// The contact listener of a ball: its node's contacts come here. It plays the
// impact and rolling sounds with speed-dependent gain and pitch, brakes a
// spinning ball on the ground, stops a slow ball (the physics has no rolling
// resistance: this is what brings balls to rest), keeps the thrown ball's
// path flat against obstacles, drives the dust and gravel effects, stops a
// ball on the death plate and tells an impact listener about impacts.
#pragma once

#include <CKEMSceneNode.h>

#include <OgreVector.h>

#include <cstdint>
#include <string>

class CBall;
class CImpactListener;
class CKEMSceneSound;

class CPhysicBallListener : public CKEMSceneNodeInterface {
public:
    // One family of context-sound tuning (HitGround, HitBall, RollGround).
    struct SoundFamily {
        float gainMin, gainMax, gainRange;
        float pitchMin, pitchMax, pitchRange;
        float low2, high2, invRange2;   // squared speeds
    };
    struct SoundLevel {
        float gain, pitch;
    };
    static SoundFamily HitGroundFamily();
    static SoundFamily HitBallFamily();
    static SoundFamily RollGroundFamily();
    // Gain and pitch of a family for the squared speed s2, scaled by k as
    // ball-on-ball impacts do (k = 1 for the plain family values).
    static SoundLevel Level(const SoundFamily& family, float s2, float k = 1.0f);

    // Creates the rolling-sound node (ambient, looping "Roll").
    explicit CPhysicBallListener(CBall* ball);
    ~CPhysicBallListener() override;
    CPhysicBallListener(const CPhysicBallListener&) = delete;
    CPhysicBallListener& operator=(const CPhysicBallListener&) = delete;

    void OnContact(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) override;
    void OnContactContinue(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) override;
    void OnContactEnd(CKEMSceneNode* node, CKEMSceneNode* other) override;

    // The name a contact answers to: a collision mesh stands for the object
    // it hangs under (the venue's "terrain_collision" is the "terrain").
    static std::string SurfaceName(const CKEMSceneNode* other);

    bool mTarget;
    CKEMSceneSound* mRollingSound = nullptr;      // owned by the scene
    CImpactListener* mImpactListener = nullptr;   // not owned
    CBall* mBall;
    uint32_t mLastBallImpact = 0;                 // ms

protected:
    // Plays a one-shot sound at a world position (tests watch the choice here).
    virtual void PlayImpactSound(const char* name, float gain, float pitch, const Ogre::Vector3& position);
    // Rolling sound control (tests watch it here).
    virtual void UpdateRollingSound(bool rolling, float gain, float pitch, const Ogre::Vector3& position);

private:
    void FlattenThrownBall();
    bool RollingSoundAlive() const;

    std::string mRollingSoundName;
};
