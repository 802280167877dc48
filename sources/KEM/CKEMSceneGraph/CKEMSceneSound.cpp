#include "CKEMSceneSound.h"

#include "CKEMSceneNodeKind.h"

#include <CKEMSceneGraphicHandle.h>
#include <CScenaricMgr.h>
#include <CSoundMgr.h>
#include <HalTimer.h>

#include <algorithm>

using namespace KEMSceneNodeKind;

namespace {

const uint32_t kDefaultFadeMs = 2000;

// Milliseconds since `start` on the timer's clock, negative before it.
int32_t Elapsed(uint32_t start) { return static_cast<int32_t>(gTimer.GetCurrentClock() - start); }

}  // namespace

CKEMSceneSound::ClassRegistrar& CKEMSceneSound::RegisterSoundClassHook() {
    static ClassRegistrar hook = nullptr;
    return hook;
}

CKEMSceneSound::CKEMSceneSound(CKEMSceneNode* parent) : CKEMSceneNode(parent) {
    SetClassType(KEM_SCENE_SOUND);
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));

    RegisterVar(mResourceVar, "CKEMSCENE_SOUND_RESOURCE", &mResource);
    RegisterVar(mLoopVar, "CKEMSCENESOUND_LOOP", &mLoop);
    RegisterVar(mAmbientVar, "CKEMSCENESOUND_AMBIANT", &mAmbient);
    RegisterVar(mFxVar, "CKEMSCENESOUND_FX", &mFx);
    RegisterVar(mFadeVar, "CKEMSCENESOUND_FADE", &mFade);
    RegisterVar(mGainVar, "CKEMSCENESOUND_GAIN", &mGain);
    RegisterVar(mMinDistanceVar, "CKEMSCENESOUND_MINDIST", &mMinDistance);
    RegisterVar(mMaxDistanceVar, "CKEMSCENESOUND_MAXDIST", &mMaxDistance);
    RegisterVar(mRolloffVar, "CKEMSCENESOUND_ROLLOFF", &mRolloff);
    RegisterVar(mPitchVar, "CKEMSCENESOUND_PITCH", &mPitch);

    gScenaricMgr.Register(this);
}

CKEMSceneSound::~CKEMSceneSound() {
    TermScriptFirst();   // the script's Term still sees the whole node
    gScenaricMgr.Unregister(this);
    ReleaseSource();   // when it was not registered
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
}

CKEMSceneSound* CKEMSceneSound::CreateSource(const char* name, float gain, bool loop, const Ogre::Vector3* position,
                                             float pitch, float referenceDistance, float maxDistance,
                                             float rolloff) {
    if (!name || !*name)
        return nullptr;
    CKEMSceneSound* node = new CKEMSceneSound(nullptr);
    node->setName(name);
    node->setResource(name);
    node->SetLoop(loop);
    if (position) {
        node->setPosition(*position, false);
        node->SetAmbient(false);
    } else {
        node->SetAmbient(true);
    }
    node->SetGain(gain);
    node->SetMinDistance(referenceDistance);
    node->SetMaxDistance(maxDistance);
    node->SetRolloff(rolloff);
    node->SetPitch(pitch);
    gScenaricMgr.Register(node);
    node->FirstManage();
    node->mOneShot = !loop;
    node->play();
    // A one-shot whose sound cannot be loaded would never end: it goes at
    // the next frame instead of staying registered for good.
    if (node->mOneShot && !node->mSource)
        node->Kill();
    return node;
}

// ---- settings -------------------------------------------------------------------------

void CKEMSceneSound::SetLoop(bool loop) {
    mLoop = loop;
    if (mSource)
        mSource->SetLoop(loop);
}

void CKEMSceneSound::SetAmbient(bool ambient) {
    mAmbient = ambient;
    if (mSource && ambient)
        mSource->mFlags |= HAL_Sound_CSource::FLAG_AT_LISTENER;
}

void CKEMSceneSound::SetGain(float gain) {
    mGain = gain;
    if (mSource)
        mSource->SetGain(gain);
}

void CKEMSceneSound::SetMinDistance(float distance) {
    mMinDistance = distance;
    if (mSource)
        mSource->SetReferenceDistance(distance);
}

void CKEMSceneSound::SetMaxDistance(float distance) {
    mMaxDistance = distance;
    if (mSource)
        mSource->SetMaxDistance(distance);
}

void CKEMSceneSound::SetRolloff(float rolloff) {
    mRolloff = rolloff;
    if (mSource)
        mSource->SetRolloffFactor(rolloff);
}

void CKEMSceneSound::SetPitch(float pitch) {
    mPitch = pitch;
    if (mSource)
        mSource->SetPitch(pitch);
}

void CKEMSceneSound::SetMusic() {
    mFx = false;
    if (mSource)
        mSource->mCategory = HAL_Sound_CSource::CATEGORY_MUSIC;
}

void CKEMSceneSound::SetFx(bool fx) {
    if (!fx) {
        SetMusic();
        return;
    }
    mFx = true;
    if (mSource)
        mSource->mCategory = HAL_Sound_CSource::CATEGORY_SOUND;
}

void CKEMSceneSound::SetFade(uint32_t fadeMs) { mFade = fadeMs; }

void CKEMSceneSound::setResource(const std::string& file) { mResource = file; }

// ---- play, stop ---------------------------------------------------------------------------

void CKEMSceneSound::play() { SendEvent(EVENT_WAKEUP, this, 0); }

void CKEMSceneSound::stop() {
    if (!IsStopped())
        SendEvent(EVENT_SLEEP, this, 0);
}

void CKEMSceneSound::pause() {
    if (mSource)
        mSource->Pause();
}

bool CKEMSceneSound::IsStopped() const { return !mSource || !mSource->IsPlaying(); }

void CKEMSceneSound::ReleaseSource() {
    if (!mSource)
        return;
    gSoundMgr.ReleaseSource(mSource);
    mSource = nullptr;
}

void CKEMSceneSound::Kill() { SetUpdateFlags(GetUpdateFlags() | UPDATE_KILL_BITS); }

void CKEMSceneSound::PlaceSource() {
    // The sound manager takes world positions; a node right under the root
    // has the same local one.
    Ogre::Vector3 position;
    GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    mSource->SetPosition(position);
}

// ---- virtual operations ---------------------------------------------------------------------

void CKEMSceneSound::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
    if (debug)
        mDebugEntity = CreateDebugEntity(WrapperNode(this), "soundSphere.mesh", "soundObjectMaterial");
}

void CKEMSceneSound::translate(const Ogre::Vector3& move, int space) {
    CKEMSceneNode::translate(move, space);
    if (mSource)
        PlaceSource();
}

void CKEMSceneSound::setPosition(const Ogre::Vector3& position, bool syncPhysics) {
    CKEMSceneNode::setPosition(position, syncPhysics);
    if (mSource)
        PlaceSource();
}

void CKEMSceneSound::RegisterScriptClass(lua_State* state) {
    CKEMSceneNode::RegisterScriptClass(state);
    if (RegisterSoundClassHook())
        RegisterSoundClassHook()(state);
}

void CKEMSceneSound::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    setResource(mResource);
    SetLoop(mLoop);
    SetAmbient(mAmbient);
    SetGain(mGain);
    SetMinDistance(mMinDistance);
    SetMaxDistance(mMaxDistance);
    SetRolloff(mRolloff);
    SetPitch(mPitch);
    if (mFade == 0)
        mFade = kDefaultFadeMs;
    if (mFx)
        SetFx();
    else
        SetMusic();
}

void CKEMSceneSound::FirstManage() {
    CKEMSceneNode::FirstManage();
    // WakeUp and Sleep are virtual: the base members reach this kind's.
    AddScriptEvent(EVENT_WAKEUP, &CKEMSceneNode::WakeUp);
    AddScriptEvent(EVENT_SLEEP, &CKEMSceneNode::Sleep);
}

void CKEMSceneSound::Reset() {
    CKEMSceneNode::Reset();
    gSoundMgr.StopSource(mSource);
}

void CKEMSceneSound::Term() {
    ReleaseSource();
    CKEMSceneNode::Term();
}

int CKEMSceneSound::WakeUp(uint32_t id, CKEMSceneNode* sender, int argument) {
    ReleaseSource();
    mSource = gSoundMgr.LoadSound(mResource.c_str(), true);
    if (!mSource)
        return -1;
    mSource->mCategory = mFx ? HAL_Sound_CSource::CATEGORY_SOUND : HAL_Sound_CSource::CATEGORY_MUSIC;
    mSource->SetLoop(mLoop);
    mSource->SetGain(mGain);
    mSource->SetMaxDistance(mMaxDistance);
    mSource->SetReferenceDistance(mMinDistance);
    mSource->SetRolloffFactor(mRolloff);
    mSource->SetPitch(mPitch);
    mSource->SetName(getName().c_str());
    PlaceSource();
    if (mAmbient)
        mSource->mFlags |= HAL_Sound_CSource::FLAG_AT_LISTENER;
    gSoundMgr.PlaySource(mSource);

    CKEMSceneNode::WakeUp(id, sender, argument);

    if (mOneShot) {
        SetLifeCallback(static_cast<LifeCallback>(&CKEMSceneSound::CheckEnd));
        SetUpdateFlags(GetUpdateFlags() | UPDATE_WAKE_BITS);
        return 0;
    }
    if (mFx)
        return 0;
    mSource->SetGain(0.0f);
    mFadeStart = gTimer.GetCurrentClock();
    SetLifeCallback(static_cast<LifeCallback>(&CKEMSceneSound::FadeIn));
    return 0;
}

int CKEMSceneSound::Sleep(uint32_t id, CKEMSceneNode* sender, int argument) {
    CKEMSceneNode::Sleep(id, sender, argument);
    if (mSource) {
        if (!mFx) {
            mFadeStart = gTimer.GetCurrentClock();
            SetLifeCallback(static_cast<LifeCallback>(&CKEMSceneSound::FadeOut));
            return 0;
        }
        ReleaseSource();
    }
    if (mOneShot) {
        SetLifeCallback(nullptr);
        Kill();
    }
    return 0;
}

void CKEMSceneSound::FadeIn() {
    if (!mSource)
        return;
    const uint32_t fade = mFade ? mFade : kDefaultFadeMs;
    const float t = std::min(std::max(float(Elapsed(mFadeStart)) / float(fade), 0.0f), 1.0f);
    mSource->SetGain(mGain * t);
}

void CKEMSceneSound::FadeOut() {
    const uint32_t fade = mFade ? mFade : kDefaultFadeMs;
    const float t = float(int64_t(fade) - Elapsed(mFadeStart)) / float(fade);
    if (t <= 0.0f || !mSource) {
        ReleaseSource();
        SetLifeCallback(nullptr);
        if (mOneShot)
            Kill();
        return;
    }
    mSource->SetGain(mGain * std::min(t, 1.0f));
}

void CKEMSceneSound::CheckEnd() {
    if (mSource && mSource->IsPlaying())
        return;
    ReleaseSource();
    Kill();
}
