#include "CSoundMgr.h"

#include "HalWave.h"

#include <CSceneMgr.h>
#include <HalTimer.h>
#include <KEMCrc32.h>
#include <KEMException.h>
#include <Platform.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <OgreException.h>
#include <OgreResourceGroupManager.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <new>
#include <vector>

CSoundMgr gSoundMgr;

namespace {

// Voice properties are written without a check: an error is read and dropped.
void ClearALError() { (void)alGetError(); }

void SoundUpdateService() { gSoundMgr.Update(); }
void SoundListenerService(int index, const Ogre::Matrix4& world) { gSoundMgr.SetListener(&world, index); }

// The whole file: through the 3D engine's resources (any group) when it runs,
// else from the disk.
bool ReadSoundFile(const std::string& name, std::vector<unsigned char>& out) {
    out.clear();
    if (Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr()) {
        try {
            if (!groups->resourceExistsInAnyGroup(name))
                return false;
            const std::string& group = groups->findGroupContainingResource(name);
            Ogre::DataStreamPtr stream = groups->openResource(name, group, nullptr, false);
            if (!stream)
                return false;
            unsigned char chunk[65536];
            while (!stream->eof()) {
                const size_t n = stream->read(chunk, sizeof chunk);
                if (n == 0)
                    break;
                out.insert(out.end(), chunk, chunk + n);
            }
            return true;
        } catch (const Ogre::Exception& e) {
            PlatLog("CSoundMgr: \"%s\" cannot be read: %s", name.c_str(), e.getDescription().c_str());
            return false;
        }
    }
    std::ifstream in(PlatFixPath(name), std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

// ---- CSoundBuffer -------------------------------------------------------------

CSoundBuffer::CSoundBuffer(CSoundBufferList* owner, const std::string& name, uint32_t crc)
    : mCrc(crc), mName(name), mOwner(owner) {}

CSoundBuffer::~CSoundBuffer() {
    if (mBufferId) {
        ALuint id = mBufferId;
        alDeleteBuffers(1, &id);
        ClearALError();
        mBufferId = 0;
    }
}

void CSoundBuffer::Release() {
    if (--mRefCount >= 1)
        return;
    if (mOwner)
        mOwner->Remove(this);
    delete this;
}

bool CSoundBuffer::LoadWave(const unsigned char* bytes, size_t size, bool mono) {
    if (mBufferId) {
        ALuint id = mBufferId;
        alDeleteBuffers(1, &id);
        ClearALError();
        mBufferId = 0;
    }
    HalWaveData wave;
    HalParseWave(bytes, size, mono, wave);
    mDurationMs = wave.durationMs;

    ClearALError();
    ALuint id = 0;
    alGenBuffers(1, &id);
    if (alGetError() != AL_NO_ERROR || !alIsBuffer(id)) {
        ClearALError();
        mBufferId = 0;
        return false;
    }
    alBufferData(id, ALenum(wave.format), wave.samples.data(), ALsizei(wave.samples.size()),
                 ALsizei(wave.sampleRate));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &id);
        ClearALError();
        mBufferId = 0;
        return false;
    }
    mBufferId = id;
    return true;
}

// ---- CSoundBufferList -----------------------------------------------------------

void CSoundBufferList::Append(CSoundBuffer* buffer) {
    buffer->mNext = nullptr;
    buffer->mOwner = this;
    if (mTail)
        mTail->mNext = buffer;
    else
        mHead = buffer;
    mTail = buffer;
}

void CSoundBufferList::Remove(CSoundBuffer* buffer) {
    CSoundBuffer* previous = nullptr;
    for (CSoundBuffer* b = mHead; b; previous = b, b = b->mNext) {
        if (b != buffer)
            continue;
        if (previous)
            previous->mNext = b->mNext;
        else
            mHead = b->mNext;
        if (mTail == b)
            mTail = previous;
        b->mNext = nullptr;
        b->mOwner = nullptr;
        return;
    }
}

CSoundBuffer* CSoundBufferList::Find(uint32_t crc) const {
    for (CSoundBuffer* b = mHead; b; b = b->mNext)
        if (b->mCrc == crc)
            return b;
    return nullptr;
}

void CSoundBufferList::DeleteAll() {
    while (mHead) {
        CSoundBuffer* b = mHead;
        mHead = b->mNext;
        b->mOwner = nullptr;
        delete b;
    }
    mTail = nullptr;
}

int CSoundBufferList::GetCount() const {
    int count = 0;
    for (CSoundBuffer* b = mHead; b; b = b->mNext)
        ++count;
    return count;
}

// ---- HAL_Sound_CSource -------------------------------------------------------------

HAL_Sound_CSource::HAL_Sound_CSource(CSoundPool* pool) : mPool(pool) {}

HAL_Sound_CSource::~HAL_Sound_CSource() {
    if (mVoiceSlot >= 0)
        FreeVoice();
    if (mBuffer) {
        CSoundBuffer* buffer = mBuffer;
        mBuffer = nullptr;
        mBufferId = 0;
        buffer->Release();
    }
    if (mPool)
        mPool->RemoveSource(this);
}

void HAL_Sound_CSource::SetName(const char* name) { mName = name ? name : ""; }

void HAL_Sound_CSource::SetPosition(const Ogre::Vector3& world) {
    mWorldPosition = world;
    mFlags |= FLAG_MOVED;
}

bool HAL_Sound_CSource::Play() {
    if (!mBufferId || !alIsBuffer(mBufferId)) {
        ClearALError();
        return false;
    }
    mFlags &= ~FLAG_PAUSED;
    mFlags |= FLAG_PLAY;
    mStartTime = mPool ? mPool->GetTime() : 0;
    if (mVoiceSlot >= 0) {
        // Restarted in place: the voice stays with this source.
        alSourceRewind(mVoiceId);
        alSourcePlay(mVoiceId);
        ClearALError();
    }
    return true;
}

bool HAL_Sound_CSource::Stop() {
    mFlags &= ~(FLAG_PLAY | FLAG_PAUSED);
    if (mVoiceSlot >= 0)
        FreeVoice();
    return true;
}

bool HAL_Sound_CSource::Pause() {
    if (!IsPlaying())
        return false;
    if (mVoiceSlot >= 0) {
        alSourcePause(mVoiceId);
        ClearALError();
    }
    mFlags |= FLAG_PAUSED;
    return true;
}

bool HAL_Sound_CSource::IsPlaying() const {
    if (!(mFlags & FLAG_PLAY))
        return false;
    if (mFlags & FLAG_LOOP)
        return true;
    if (mVoiceSlot >= 0) {
        ALint state = 0;
        alGetSourcei(mVoiceId, AL_SOURCE_STATE, &state);
        ClearALError();
        return state == AL_PLAYING;
    }
    if (!mBuffer)
        return false;
    const uint32_t now = mPool ? mPool->GetTime() : mStartTime;
    return mBuffer->GetDurationMs() >= now - mStartTime;
}

void HAL_Sound_CSource::SetLoop(bool loop) {
    if (loop)
        mFlags |= FLAG_LOOP;
    else
        mFlags &= ~FLAG_LOOP;
    if (mVoiceSlot >= 0) {
        alSourcei(mVoiceId, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        ClearALError();
    }
}

void HAL_Sound_CSource::SetReferenceDistance(float distance) {
    mReferenceDistance = std::min(std::max(distance, 0.0f), mMaxDistance);
    if (mVoiceSlot >= 0) {
        alSourcef(mVoiceId, AL_REFERENCE_DISTANCE, mReferenceDistance);
        ClearALError();
    }
}

void HAL_Sound_CSource::SetMaxDistance(float distance) {
    mMaxDistance = distance < 0.0f ? 0.0f : distance;
    mMaxDistanceSq = mMaxDistance == 1e10f ? 1e10f : mMaxDistance * mMaxDistance;
    if (mVoiceSlot >= 0) {
        alSourcef(mVoiceId, AL_MAX_DISTANCE, mMaxDistance);
        ClearALError();
    }
}

void HAL_Sound_CSource::SetRolloffFactor(float rolloff) {
    mRolloff = rolloff < 0.0f ? 0.0f : rolloff;
    if (mVoiceSlot >= 0) {
        alSourcef(mVoiceId, AL_ROLLOFF_FACTOR, mRolloff);
        ClearALError();
    }
}

void HAL_Sound_CSource::SetPitch(float pitch) {
    mPitch = pitch < 0.0f ? 0.0f : pitch;
    if (mVoiceSlot >= 0) {
        alSourcef(mVoiceId, AL_PITCH, mPitch);
        ClearALError();
    }
}

void HAL_Sound_CSource::SetGain(float gain) {
    mGain = gain < 0.0f ? 0.0f : gain;
    ApplyGain();
}

float HAL_Sound_CSource::GetEffectiveGain() const {
    const float category = mPool ? mPool->GetCategoryGain(mCategory) : 1.0f;
    return std::min(1.0f, category * mGain);
}

void HAL_Sound_CSource::ApplyGain() {
    if (mVoiceSlot < 0)
        return;
    const float gain = GetEffectiveGain();
    alSourcef(mVoiceId, AL_MAX_GAIN, gain);
    alSourcef(mVoiceId, AL_GAIN, gain);
    ClearALError();
}

bool HAL_Sound_CSource::SetBuffer(CSoundBuffer* buffer) {
    Stop();
    if (mBuffer) {
        CSoundBuffer* old = mBuffer;
        mBuffer = nullptr;
        mBufferId = 0;
        old->Release();
    }
    if (!buffer || !buffer->GetBufferId() || !alIsBuffer(buffer->GetBufferId())) {
        ClearALError();
        return false;
    }
    mBuffer = buffer;
    mBufferId = buffer->GetBufferId();
    buffer->AddRef();
    return true;
}

bool HAL_Sound_CSource::StartVoice(uint32_t voiceId, int slot) {
    ClearALError();
    mVoiceSlot = slot;
    mVoiceId = voiceId;
    if (mPool)
        mPool->SetVoiceOwner(slot, this);
    const float gain = GetEffectiveGain();
    alSourcef(voiceId, AL_MAX_GAIN, gain);
    alSourcef(voiceId, AL_GAIN, gain);
    alSourcef(voiceId, AL_PITCH, mPitch);
    alSourcef(voiceId, AL_ROLLOFF_FACTOR, mRolloff);
    alSourcef(voiceId, AL_REFERENCE_DISTANCE, mReferenceDistance);
    alSourcef(voiceId, AL_MAX_DISTANCE, mMaxDistance);
    alSource3f(voiceId, AL_POSITION, mRelativePosition.x, mRelativePosition.y, mRelativePosition.z);
    alSource3f(voiceId, AL_VELOCITY, 0.0f, 0.0f, 1.0f);
    alSourcei(voiceId, AL_LOOPING, (mFlags & FLAG_LOOP) ? AL_TRUE : AL_FALSE);
    alSourcei(voiceId, AL_BUFFER, ALint(mBufferId));
    alSourcePlay(voiceId);
    return alGetError() == AL_NO_ERROR;
}

void HAL_Sound_CSource::FreeVoice() {
    alSourceStop(mVoiceId);
    alSourcei(mVoiceId, AL_BUFFER, 0);
    ClearALError();
    if (mPool)
        mPool->SetVoiceOwner(mVoiceSlot, nullptr);
    mVoiceId = 0;
    mVoiceSlot = -1;
}

// ---- CSoundPool --------------------------------------------------------------------

CSoundPool::CSoundPool() {
    for (int i = 0; i < MAX_LISTENERS; ++i) {
        mListeners[i] = Ogre::Matrix4::IDENTITY;
        mInverseListeners[i] = Ogre::Matrix4::IDENTITY;
    }
}

CSoundPool::~CSoundPool() {
    // The manager empties the pool in Term; what is left is only unlinked.
    while (mHead) {
        HAL_Sound_CSource* source = mHead;
        mHead = source->mNext;
        source->mNext = nullptr;
        source->mPool = nullptr;
    }
    mTail = nullptr;
    mSourceCount = 0;
}

void CSoundPool::GenerateVoices() {
    ClearALError();
    mVoiceCount = 0;
    for (int i = 0; i < MAX_VOICES; ++i) {
        ALuint id = 0;
        alGenSources(1, &id);
        if (alGetError() != AL_NO_ERROR || !alIsSource(id))
            break;
        alSourcei(id, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(id, AL_DIRECTION, 0.0f, 0.0f, 0.0f);
        ClearALError();
        mVoices[i] = id;
        mOwners[i] = nullptr;
        mVoiceCount = i + 1;
    }
    mVoiceCountCopy = mVoiceCount;
}

void CSoundPool::DeleteVoices() {
    for (int i = 0; i < mVoiceCount; ++i) {
        if (mOwners[i]) {
            mOwners[i]->mVoiceSlot = -1;
            mOwners[i]->mVoiceId = 0;
            mOwners[i] = nullptr;
        }
        ALuint id = mVoices[i];
        alSourceStop(id);
        alSourcei(id, AL_BUFFER, 0);
        alDeleteSources(1, &id);
        mVoices[i] = 0;
    }
    ClearALError();
    mVoiceCount = 0;
    mVoiceCountCopy = 0;
}

uint32_t CSoundPool::GetVoiceId(int slot) const {
    return (slot >= 0 && slot < mVoiceCount) ? mVoices[slot] : 0;
}

HAL_Sound_CSource* CSoundPool::GetVoiceOwner(int slot) const {
    return (slot >= 0 && slot < mVoiceCount) ? mOwners[slot] : nullptr;
}

void CSoundPool::SetVoiceOwner(int slot, HAL_Sound_CSource* owner) {
    if (slot >= 0 && slot < MAX_VOICES)
        mOwners[slot] = owner;
}

void CSoundPool::AddSource(HAL_Sound_CSource* source) {
    source->mNext = nullptr;
    source->mPool = this;
    if (mTail)
        mTail->mNext = source;
    else
        mHead = source;
    mTail = source;
    ++mSourceCount;
}

bool CSoundPool::RemoveSource(HAL_Sound_CSource* source) {
    HAL_Sound_CSource* previous = nullptr;
    for (HAL_Sound_CSource* s = mHead; s; previous = s, s = s->mNext) {
        if (s != source)
            continue;
        if (previous)
            previous->mNext = s->mNext;
        else
            mHead = s->mNext;
        if (mTail == s)
            mTail = previous;
        s->mNext = nullptr;
        --mSourceCount;
        return true;
    }
    return false;
}

bool CSoundPool::ContainsSource(const HAL_Sound_CSource* source) const {
    for (const HAL_Sound_CSource* s = mHead; s; s = s->mNext)
        if (s == source)
            return true;
    return false;
}

void CSoundPool::DeleteAllSources() {
    while (mHead) {
        HAL_Sound_CSource* source = mHead;
        RemoveSource(source);
        delete source;
    }
}

void CSoundPool::SetListener(const Ogre::Matrix4* matrix, int index) {
    if (index < 0 || index >= MAX_LISTENERS)
        return;
    if (matrix) {
        if (!mListenerActive[index]) {
            mListenerActive[index] = 1;
            if (mActiveListeners == 0)
                mSingleListener = index;
            ++mActiveListeners;
        }
        mListeners[index] = *matrix;
        mInverseListeners[index] = matrix->inverse();
        mFlags |= LISTENERS_CHANGED;
        return;
    }
    if (!mListenerActive[index])
        return;
    mListenerActive[index] = 0;
    --mActiveListeners;
    mFlags |= LISTENERS_CHANGED;
    if (mActiveListeners == 1) {
        for (int i = MAX_LISTENERS - 1; i >= 0; --i)
            if (mListenerActive[i]) {
                mSingleListener = i;
                break;
            }
    } else if (mActiveListeners == 0) {
        mSingleListener = -1;
    }
}

bool CSoundPool::IsListenerActive(int index) const {
    return index >= 0 && index < MAX_LISTENERS && mListenerActive[index] != 0;
}

int CSoundPool::ChooseListener(const Ogre::Vector3& world) const {
    if (mActiveListeners == 1)
        return mSingleListener;
    int best = -1;
    float bestDistance = 0.0f;
    for (int i = 0; i < MAX_LISTENERS; ++i) {
        if (!mListenerActive[i])
            continue;
        const float d = mListeners[i].getTrans().squaredDistance(world);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void CSoundPool::StampTime() { mTime = HalGetTimeMs(); }

void CSoundPool::Update() {
    StampTime();
    mPlayingCount = 0;
    const bool listenersChanged = (mFlags & LISTENERS_CHANGED) != 0;

    for (HAL_Sound_CSource* s = mHead; s; s = s->mNext) {
        if ((s->mFlags & HAL_Sound_CSource::FLAG_PLAY) && mActiveListeners > 0 &&
            (listenersChanged || (s->mFlags & HAL_Sound_CSource::FLAG_MOVED))) {
            if (s->mFlags & HAL_Sound_CSource::FLAG_AT_LISTENER) {
                s->mWorldPosition = Ogre::Vector3::ZERO;
                s->mFlags |= HAL_Sound_CSource::FLAG_MOVED;
            } else {
                const int listener = ChooseListener(s->mWorldPosition);
                if (listener >= 0) {
                    Ogre::Vector3 relative = mInverseListeners[listener] * s->mWorldPosition;
                    if (mWorldScale != 0.0f)
                        relative /= mWorldScale;
                    s->mRelativePosition = relative;
                    s->mDistance = relative.length();
                    s->mFlags &= ~HAL_Sound_CSource::FLAG_MOVED;
                    if (s->mVoiceSlot >= 0) {
                        alSource3f(s->mVoiceId, AL_POSITION, relative.x, relative.y, relative.z);
                        ClearALError();
                    }
                }
            }
        }
        if (s->mVoiceSlot >= 0) {
            if (!(s->mFlags & HAL_Sound_CSource::FLAG_PLAY)) {
                s->Stop();
            } else if (s->mDistance > s->mMaxDistance) {
                // Out of reach: the voice goes, the request stays.
                s->Stop();
                s->mFlags |= HAL_Sound_CSource::FLAG_PLAY;
            } else {
                ++mPlayingCount;
            }
        }
    }

    for (int slot = 0; slot < mVoiceCount; ++slot) {
        if (mOwners[slot])
            continue;
        HAL_Sound_CSource* nearest = nullptr;
        for (HAL_Sound_CSource* s = mHead; s; s = s->mNext) {
            // A paused sound waits for Play, not for a voice.
            if (!(s->mFlags & HAL_Sound_CSource::FLAG_PLAY) || (s->mFlags & HAL_Sound_CSource::FLAG_PAUSED) ||
                s->mVoiceSlot >= 0)
                continue;
            if (!(s->mDistance < 1e10f) || s->mDistance > s->mMaxDistance)
                continue;
            if (!nearest || s->mDistance < nearest->mDistance)
                nearest = s;
        }
        if (!nearest)
            break;
        nearest->StartVoice(mVoices[slot], slot);
    }

    mFlags &= ~LISTENERS_CHANGED;
}

void CSoundPool::ApplyCategoryGain(unsigned char category) {
    for (HAL_Sound_CSource* s = mHead; s; s = s->mNext)
        if (s->mVoiceSlot >= 0 && (s->mCategory == 0) == (category == 0))
            s->ApplyGain();
}

void CSoundPool::SetMusicGain(float gain) {
    if (gain < 0.0f)
        return;
    mMusicGain = gain;
    ApplyCategoryGain(0);
}

void CSoundPool::SetSoundGain(float gain) {
    if (gain < 0.0f)
        return;
    mSoundGain = gain;
    ApplyCategoryGain(1);
}

// ---- CSoundMgr ---------------------------------------------------------------------

CSoundMgr::CSoundMgr() = default;

CSoundMgr::~CSoundMgr() { Term(); }

void CSoundMgr::SetDeviceName(const char* name) {
    mHasDeviceName = name != nullptr;
    mDeviceName = name ? name : "";
}

int CSoundMgr::OpenDevice() {
    ALCdevice* device = alcOpenDevice(mHasDeviceName ? mDeviceName.c_str() : nullptr);
    if (!device)
        return -1;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context) || alcGetError(device) != ALC_NO_ERROR) {
        if (context) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        alcCloseDevice(device);
        return -1;
    }
    mDevice = device;
    mContext = context;

    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerfv(AL_ORIENTATION, orientation);
    ClearALError();
    return 0;
}

void CSoundMgr::CloseDevice() {
    if (mContext) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(static_cast<ALCcontext*>(mContext));
        mContext = nullptr;
    }
    if (mDevice) {
        alcCloseDevice(static_cast<ALCdevice*>(mDevice));
        mDevice = nullptr;
    }
}

bool CSoundMgr::Init() {
    if (IsInitialised())
        return true;
    if (OpenDevice() != 0) {
        PlatLog("CSoundMgr::Init() => FAILED no audio device: the game runs without sound");
        return false;
    }
    mPool.StampTime();
    mPool.GenerateVoices();
    mMusic = nullptr;
    CSceneMgrServices& services = CSceneMgr::Services();
    services.soundUpdate = &SoundUpdateService;
    services.setSoundListener = &SoundListenerService;
    PlatLog("CSoundMgr::Init() => OK %d voices", mPool.GetVoiceCount());
    return true;
}

void CSoundMgr::Term() {
    CSceneMgrServices& services = CSceneMgr::Services();
    if (services.soundUpdate == &SoundUpdateService)
        services.soundUpdate = nullptr;
    if (services.setSoundListener == &SoundListenerService)
        services.setSoundListener = nullptr;

    if (mMusic) {
        HAL_Sound_CSource* music = mMusic;
        mMusic = nullptr;
        ReleaseSource(music);
    }
    mPool.DeleteAllSources();
    mPool.DeleteVoices();
    mBuffers.DeleteAll();
    CloseDevice();
}

void CSoundMgr::Update() {
    mTimeMs = gTimer.GetTimeMs();
    mPool.Update();
}

void CSoundMgr::SetListener(const Ogre::Matrix4* matrix, int index) { mPool.SetListener(matrix, index); }

CSoundBuffer* CSoundMgr::GetBuffer(const char* file, bool mono) {
    if (!file || !*file)
        return nullptr;
    const uint32_t crc = KEMCrc32String(file);
    if (CSoundBuffer* buffer = mBuffers.Find(crc))
        return buffer;

    std::vector<unsigned char> bytes;
    try {
        if (!ReadSoundFile(file, bytes)) {
            PlatLog("CSoundMgr::GetBuffer(%s) => FAILED no such sound", file);
            return nullptr;
        }
    } catch (const std::bad_alloc&) {
        PlatLog("CSoundMgr::GetBuffer(%s) => FAILED out of memory", file);
        return nullptr;
    }

    CSoundBuffer* buffer = new CSoundBuffer(&mBuffers, file, crc);
    mBuffers.Append(buffer);
    bool loaded = false;
    // A broken file costs its sound, not the game.
    try {
        loaded = buffer->LoadWave(bytes.data(), bytes.size(), mono);
        if (!loaded)
            PlatLog("CSoundMgr::GetBuffer(%s) => FAILED no OpenAL buffer", file);
    } catch (const CKEMException& e) {
        PlatLog("CSoundMgr::GetBuffer(%s) => FAILED %s", file, e.GetReason().c_str());
    } catch (const std::bad_alloc&) {
        PlatLog("CSoundMgr::GetBuffer(%s) => FAILED out of memory", file);
    }
    if (!loaded) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

HAL_Sound_CSource* CSoundMgr::LoadSound(const char* file, bool mono) {
    if (!IsInitialised())
        return nullptr;
    CSoundBuffer* buffer = GetBuffer(file, mono);
    if (!buffer)
        return nullptr;
    HAL_Sound_CSource* source = new HAL_Sound_CSource(&mPool);
    source->mCategory = HAL_Sound_CSource::CATEGORY_SOUND;
    mPool.AddSource(source);
    source->SetBuffer(buffer);
    return source;
}

HAL_Sound_CSource* CSoundMgr::LoadMusic(const char* file) {
    if (!IsInitialised()) {
        // The file may well be there: what is missing is the device.
        PlatLog("CSoundMgr::LoadMusic(\"%s\") => no sound device: the music is not played", file ? file : "");
        return nullptr;
    }
    if (mMusic) {
        HAL_Sound_CSource* music = mMusic;
        mMusic = nullptr;
        ReleaseSource(music);
    }
    mMusic = LoadSound(file, true);
    return mMusic;
}

bool CSoundMgr::ReleaseSource(HAL_Sound_CSource* source) {
    // Only sources of this pool: a pointer kept past Term, or released twice,
    // is refused without being followed.
    if (!source || !mPool.ContainsSource(source))
        return false;
    if (source == mMusic)
        mMusic = nullptr;
    source->Stop();
    mPool.RemoveSource(source);
    delete source;
    return true;
}

bool CSoundMgr::PlaySource(HAL_Sound_CSource* source) { return source ? source->Play() : false; }

bool CSoundMgr::StopSource(HAL_Sound_CSource* source) { return source ? source->Stop() : false; }

float CSoundMgr::VolumeToGain(int volume) {
    const float v = volume == 0 ? -1000.0f : float(volume);
    return std::exp(0.5f * v - 5.0f);
}

void CSoundMgr::SetMusicVolume(int volume) {
    mMusicVolume = volume;
    mPool.SetMusicGain(VolumeToGain(volume));
}

void CSoundMgr::SetSoundVolume(int volume) {
    mSoundVolume = volume;
    mPool.SetSoundGain(VolumeToGain(volume));
}
