// A ball of the match or the target ball: the game element over a ball node
// of the venue, with its dust and gravel effects, its contact listener and
// the launch that sets its body moving with an optional spin.
#pragma once

#include "CGameElement.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

class CKEMSceneParticleEffect;
class CPhysicBallListener;

class CBall : public CMovableGameElement {
public:
    enum { KIND_BALL = 0, KIND_TARGET = 1 };
    enum {
        STATE_NONE = 0,             // not thrown yet
        STATE_LAUNCHED = 1,         // thrown, in play
        STATE_INVALID_TARGET = 2,   // a target-ball throw that does not count
        STATE_OUT = 3,              // out of play
    };
    enum { EFFECT_NONE = 0, EFFECT_FORWARD = 1, EFFECT_SIDE_LEFT = 2, EFFECT_SIDE_RIGHT = 3 };

    // Creates the dust ("poussiere.pfx") and gravel ("graviers.pfx") effect
    // nodes at the ball, stopped; an effect that cannot be made is left out.
    CBall(int32_t kind, CKEMSceneNode* node);
    // Deletes the effect nodes, unhooks and deletes the contact listener.
    ~CBall() override;

    // Makes a contact listener for this ball and hooks it to the node.
    void CreateContactListener();

    // Sends the ball off: `angle` degrees above the horizontal aimed
    // direction, at `speed` m/s, with the spin `value` of the current effect
    // mode. The body takes part in the simulation again; state becomes 1.
    void Launch(float angle, float speed, float value, Ogre::Vector3 direction);

    // The velocity Launch gives (unit direction raised by the angle, times speed).
    static Ogre::Vector3 LaunchVelocity(float angle, float speed, const Ogre::Vector3& direction);
    // The torque Launch applies for an effect mode and value at that
    // velocity; zero for mode 0.
    static Ogre::Vector3 EffectTorque(int32_t effectMode, float value, const Ogre::Vector3& velocity);

    bool IsTarget() const { return mKind == KIND_TARGET; }

    int32_t mKind;
    int32_t mState = STATE_NONE;
    CPhysicBallListener* mListener = nullptr;   // owned
    int32_t mEffect = EFFECT_NONE;
    float mEffectValue = 0.0f;
    CKEMSceneParticleEffect* mDust = nullptr;     // owned through the scene, deleted by name
    CKEMSceneParticleEffect* mGravel = nullptr;
    uint8_t mHighlight = 0;                       // set on the ball of the throw in progress

private:
    CKEMSceneParticleEffect* CreateEffect(const char* file, float scale, std::string& name);
    // Whether the node is still in the scene (a cleared scene deleted it).
    bool NodeAlive() const;

    std::string mNodeName;
    std::string mDustName;
    std::string mGravelName;
};
