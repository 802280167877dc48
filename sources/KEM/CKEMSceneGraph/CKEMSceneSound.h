// A sound placed in the scene (class type 10): a 3D source at the node's
// position or an ambient sound heard at the listener. Waking the node starts
// the sound, putting it to sleep stops it; music-category sounds fade in and
// out. One-shot nodes (CreateSource without loop) delete themselves, through
// the scripted-node manager, when their sound ends.
#pragma once

#include "CKEMSceneNode.h"

#include <cstdint>
#include <string>

class CWrapOgreEntity;
class HAL_Sound_CSource;

class CKEMSceneSound : public CKEMSceneNode {
public:
    // Binds the class "KEMSceneSound" ("play", "stop", "pause", "setResource");
    // the scripting library installs it.
    typedef void (*ClassRegistrar)(lua_State* state);
    static ClassRegistrar& RegisterSoundClassHook();

    // Registers itself with the scripted-node manager.
    explicit CKEMSceneSound(CKEMSceneNode* parent);
    // Leaves the scripted-node manager (which releases the sound).
    ~CKEMSceneSound() override;

    // A new playing sound node without parent, at `position` (world) or, with
    // null, ambient; null for an empty name. Without loop it is a one-shot
    // node: it goes at the first managed frame after its sound ends, or at
    // the next one when the sound cannot be loaded. The pointer is valid
    // until then.
    static CKEMSceneSound* CreateSource(const char* name, float gain, bool loop, const Ogre::Vector3* position,
                                        float pitch, float referenceDistance, float maxDistance, float rolloff);

    // Each stores the value and, when a source exists, applies it.
    void SetLoop(bool loop);
    // True also puts an existing source at the listener; false leaves it.
    void SetAmbient(bool ambient);
    void SetGain(float gain);
    void SetMinDistance(float distance);   // reference distance
    void SetMaxDistance(float distance);
    void SetRolloff(float rolloff);
    void SetPitch(float pitch);
    void SetMusic();                  // category 0 (music volume), with fades
    void SetFx(bool fx = true);       // category 1 (sound volume); false = SetMusic
    // Fade time in milliseconds (0 fades over the default 2000 ms).
    void SetFade(uint32_t fadeMs);
    // Takes effect at the next start.
    void setResource(const std::string& file);

    // Sends the node its wake event: the sound starts.
    void play();
    // Sends the sleep event unless the sound has already stopped.
    void stop();
    void pause();
    // No source, or a source that does not play.
    bool IsStopped() const;

    const std::string& getResource() const { return mResource; }
    bool GetLoop() const { return mLoop; }
    bool IsAmbient() const { return mAmbient; }
    bool IsFx() const { return mFx; }
    uint32_t GetFade() const { return mFade; }
    float GetGain() const { return mGain; }
    float GetMinDistance() const { return mMinDistance; }
    float GetMaxDistance() const { return mMaxDistance; }
    float GetRolloff() const { return mRolloff; }
    float GetPitch() const { return mPitch; }
    bool IsOneShot() const { return mOneShot; }
    HAL_Sound_CSource* GetSource() const { return mSource; }
    CWrapOgreEntity* GetDebugEntity() const { return mDebugEntity; }

    void setDebugMode(bool debug) override;
    void translate(const Ogre::Vector3& move, int space) override;
    void setPosition(const Ogre::Vector3& position, bool syncPhysics) override;
    void RegisterScriptClass(lua_State* state) override;
    void PostLoadInit() override;
    // The base first frame, then the wake and sleep handlers.
    void FirstManage() override;
    void Reset() override;
    void Term() override;
    // 0, or -1 when the sound cannot be loaded.
    int WakeUp(uint32_t id, CKEMSceneNode* sender, int argument) override;
    int Sleep(uint32_t id, CKEMSceneNode* sender, int argument) override;

private:
    // Life callbacks.
    void FadeIn();
    void FadeOut();
    void CheckEnd();

    void ReleaseSource();
    void Kill();
    void PlaceSource();

    CWrapOgreEntity* mDebugEntity = nullptr;
    std::string mResource;
    bool mLoop = false;
    bool mAmbient = false;
    bool mFx = true;
    uint32_t mFade = 2000;
    float mGain = 1.0f;
    float mMinDistance = 3.0f;
    float mMaxDistance = 300.0f;
    float mRolloff = 1.0f;
    float mPitch = 1.0f;
    bool mOneShot = false;
    HAL_Sound_CSource* mSource = nullptr;
    uint32_t mFadeStart = 0;   // gTimer's current clock, not the game time

    CKEMVarStringRef mResourceVar;
    CKEMVarBool mLoopVar;
    CKEMVarBool mAmbientVar;
    CKEMVarBool mFxVar;
    CKEMVarU32 mFadeVar;
    CKEMVarFloat mGainVar;
    CKEMVarFloat mMinDistanceVar;
    CKEMVarFloat mMaxDistanceVar;
    CKEMVarFloat mRolloffVar;
    CKEMVarFloat mPitchVar;
};
