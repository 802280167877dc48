// The engine's sound service over OpenAL: decoded wave files shared as
// OpenAL buffers, logical sounds (HAL_Sound_CSource) and a fixed set of at
// most 128 OpenAL voices handed each frame to the nearest sounds that want to
// play. Positions are world positions; each sound is heard from the nearest of
// up to four listeners. Two volumes scale the sounds by category: music
// (category 0) and effects (category 1).
//
// Without an audio device Init returns false and every other call is a safe
// no-op: LoadSound and LoadMusic return null, the Release/Play/Stop calls
// return false for it. Callers test those results for null.
#pragma once

#include <OgreMatrix4.h>
#include <OgreVector.h>

#include <cstddef>
#include <cstdint>
#include <string>

class CSoundBufferList;
class CSoundPool;

// One decoded wave file in an OpenAL buffer, shared by reference count.
class CSoundBuffer {
public:
    CSoundBuffer(CSoundBufferList* owner, const std::string& name, uint32_t crc);
    // Deletes the OpenAL buffer. The list unlinks its records itself.
    ~CSoundBuffer();
    CSoundBuffer(const CSoundBuffer&) = delete;
    CSoundBuffer& operator=(const CSoundBuffer&) = delete;

    void AddRef() { ++mRefCount; }
    // A count below 1 unlinks the record from its list and deletes it.
    void Release();

    // Decodes a whole file (HalParseWave; throws CKEMException on a malformed
    // file) and uploads it into a new OpenAL buffer; false when no buffer can
    // be made (no current context). An earlier buffer is deleted first.
    bool LoadWave(const unsigned char* bytes, size_t size, bool mono);

    int GetRefCount() const { return mRefCount; }
    uint32_t GetBufferId() const { return mBufferId; }
    uint32_t GetCrc() const { return mCrc; }
    const std::string& GetName() const { return mName; }
    uint32_t GetDurationMs() const { return mDurationMs; }

private:
    friend class CSoundBufferList;

    int mRefCount = 0;
    uint32_t mBufferId = 0;
    uint32_t mCrc = 0;
    std::string mName;
    CSoundBuffer* mNext = nullptr;
    CSoundBufferList* mOwner = nullptr;
    uint32_t mDurationMs = 0;
};

// The buffer records of one manager, looked up by the CRC-32 of their names.
class CSoundBufferList {
public:
    CSoundBufferList() = default;
    ~CSoundBufferList() { DeleteAll(); }
    CSoundBufferList(const CSoundBufferList&) = delete;
    CSoundBufferList& operator=(const CSoundBufferList&) = delete;

    void Append(CSoundBuffer* buffer);
    void Remove(CSoundBuffer* buffer);
    CSoundBuffer* Find(uint32_t crc) const;
    void DeleteAll();
    int GetCount() const;

private:
    CSoundBuffer* mHead = nullptr;
    CSoundBuffer* mTail = nullptr;
};

// One logical sound. It asks for a voice with Play; the pool gives it one at
// its next update when one is free and the sound is within reach.
class HAL_Sound_CSource {
public:
    enum : uint32_t {
        FLAG_LOOP = 1,
        FLAG_PLAY = 2,          // play requested
        FLAG_MOVED = 8,         // position changed since the last update
        FLAG_AT_LISTENER = 32,  // not positioned: heard at the listener
        FLAG_PAUSED = 64,
    };
    enum : unsigned char { CATEGORY_MUSIC = 0, CATEGORY_SOUND = 1 };

    explicit HAL_Sound_CSource(CSoundPool* pool);
    // Frees its voice, releases its buffer and leaves the pool's list.
    virtual ~HAL_Sound_CSource();
    HAL_Sound_CSource(const HAL_Sound_CSource&) = delete;
    HAL_Sound_CSource& operator=(const HAL_Sound_CSource&) = delete;

    void SetName(const char* name);
    const std::string& GetName() const { return mName; }
    // World position; taken into the listener's space at the next update.
    void SetPosition(const Ogre::Vector3& world);

    // False when no valid buffer is bound. Otherwise the sound starts from the
    // beginning: at once when it holds a voice, else at the pool's next update
    // if it gets one.
    bool Play();
    // Always true; frees the voice.
    bool Stop();
    // Only a playing sound pauses (true); it keeps its voice.
    bool Pause();
    // Looping sounds play until stopped. A voiceless sound plays while its
    // buffer's duration has not elapsed since Play.
    bool IsPlaying() const;

    void SetLoop(bool loop);
    // Clamped to [0, maximum distance].
    void SetReferenceDistance(float distance);
    // Negative gives 0; the square is kept (1e10 stands for "no limit").
    void SetMaxDistance(float distance);
    void SetRolloffFactor(float rolloff);   // negative gives 0
    void SetPitch(float pitch);             // negative gives 0
    void SetGain(float gain);               // negative gives 0
    float GetGain() const { return mGain; }
    float GetDistance() const { return mDistance; }
    float GetReferenceDistance() const { return mReferenceDistance; }
    float GetMaxDistance() const { return mMaxDistance; }
    float GetRolloffFactor() const { return mRolloff; }
    float GetPitch() const { return mPitch; }
    // min(1, category gain x gain): what OpenAL receives.
    float GetEffectiveGain() const;

    // Stops the voice, releases the old buffer and binds the new one when it
    // holds a valid OpenAL buffer (true).
    bool SetBuffer(CSoundBuffer* buffer);
    CSoundBuffer* GetBuffer() const { return mBuffer; }

    int GetVoiceSlot() const { return mVoiceSlot; }
    uint32_t GetVoiceId() const { return mVoiceId; }
    const Ogre::Vector3& GetWorldPosition() const { return mWorldPosition; }
    const Ogre::Vector3& GetRelativePosition() const { return mRelativePosition; }
    uint32_t GetStartTime() const { return mStartTime; }

    // Callers set the category and FLAG_AT_LISTENER directly.
    uint32_t mFlags = 0;
    unsigned char mCategory = CATEGORY_SOUND;

private:
    friend class CSoundPool;

    // Takes the voice and plays on it; true when OpenAL reports no error.
    bool StartVoice(uint32_t voiceId, int slot);
    // Stops and unbinds the voice and gives it back to the pool.
    void FreeVoice();
    // Rewrites the effective gain on the voice.
    void ApplyGain();

    std::string mName;
    int mVoiceSlot = -1;
    uint32_t mVoiceId = 0;
    uint32_t mBufferId = 0;
    float mDistance = 0.0f;
    Ogre::Vector3 mRelativePosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mWorldPosition = Ogre::Vector3::ZERO;
    float mReferenceDistance = 3.0f;
    float mMaxDistance = 300.0f;
    float mMaxDistanceSq = 90000.0f;
    float mRolloff = 1.0f;
    float mGain = 1.0f;
    float mPitch = 1.0f;
    HAL_Sound_CSource* mNext = nullptr;
    CSoundBuffer* mBuffer = nullptr;
    uint32_t mStartTime = 0;
    CSoundPool* mPool = nullptr;
};

// The voices, the listeners and the list of every source.
class CSoundPool {
public:
    static const int MAX_VOICES = 128;
    static const int MAX_LISTENERS = 4;
    static const uint32_t LISTENERS_CHANGED = 1u << 16;

    CSoundPool();
    ~CSoundPool();
    CSoundPool(const CSoundPool&) = delete;
    CSoundPool& operator=(const CSoundPool&) = delete;

    // Up to MAX_VOICES OpenAL sources on the current context; stops at the
    // first that cannot be made.
    void GenerateVoices();
    // Stops, unbinds and deletes every voice.
    void DeleteVoices();
    int GetVoiceCount() const { return mVoiceCount; }
    uint32_t GetVoiceId(int slot) const;
    HAL_Sound_CSource* GetVoiceOwner(int slot) const;

    void AddSource(HAL_Sound_CSource* source);
    // False when the source is not in the list.
    bool RemoveSource(HAL_Sound_CSource* source);
    // By identity only: the pointer is never followed.
    bool ContainsSource(const HAL_Sound_CSource* source) const;
    void DeleteAllSources();
    int GetSourceCount() const { return mSourceCount; }

    // A matrix (listener to world) sets listener `index`, null clears it.
    // Indexes outside 0..3 are ignored.
    void SetListener(const Ogre::Matrix4* matrix, int index);
    bool IsListenerActive(int index) const;
    int GetActiveListenerCount() const { return mActiveListeners; }
    int GetSingleListener() const { return mSingleListener; }
    const Ogre::Matrix4& GetListenerMatrix(int index) const { return mListeners[index & 3]; }
    bool ListenersChanged() const { return (mFlags & LISTENERS_CHANGED) != 0; }

    // Positions, culling and voice hand-out; once per frame.
    void Update();
    int GetPlayingCount() const { return mPlayingCount; }

    // Negative gains are ignored; voiced sources of that category follow.
    void SetMusicGain(float gain);
    void SetSoundGain(float gain);
    float GetMusicGain() const { return mMusicGain; }
    float GetSoundGain() const { return mSoundGain; }
    float GetCategoryGain(unsigned char category) const { return category == 0 ? mMusicGain : mSoundGain; }

    // World positions are divided by it before they reach OpenAL.
    void SetWorldScale(float scale) { mWorldScale = scale; }
    float GetWorldScale() const { return mWorldScale; }

    // The pool's clock (HalGetTimeMs), taken at each update.
    uint32_t GetTime() const { return mTime; }
    void StampTime();

private:
    friend class HAL_Sound_CSource;

    void SetVoiceOwner(int slot, HAL_Sound_CSource* owner);
    int ChooseListener(const Ogre::Vector3& world) const;
    void ApplyCategoryGain(unsigned char category);

    int mVoiceCount = 0;
    int mVoiceCountCopy = 0;
    uint32_t mVoices[MAX_VOICES] = {};
    Ogre::Matrix4 mListeners[MAX_LISTENERS];
    Ogre::Matrix4 mInverseListeners[MAX_LISTENERS];
    unsigned char mListenerActive[MAX_LISTENERS] = {};
    int mSingleListener = -1;
    int mActiveListeners = 0;
    uint32_t mFlags = 0;
    HAL_Sound_CSource* mHead = nullptr;
    HAL_Sound_CSource* mTail = nullptr;
    int mSourceCount = 0;
    HAL_Sound_CSource* mOwners[MAX_VOICES] = {};
    uint32_t mTime = 0;
    int mPlayingCount = 0;
    float mWorldScale = 1.0f;
    float mMusicGain = 1.0f;
    float mSoundGain = 1.0f;
};

class CSoundMgr {
public:
    CSoundMgr();
    ~CSoundMgr();
    CSoundMgr(const CSoundMgr&) = delete;
    CSoundMgr& operator=(const CSoundMgr&) = delete;

    // Opens the device and makes the voices; false (and a log line) without
    // an audio device. On success the run state's frame drives the manager
    // (CSceneMgr::Services: soundUpdate, setSoundListener).
    bool Init();
    // Releases the music, deletes every source, voice and buffer, closes the
    // device and takes the manager out of the run state's frame.
    void Term();
    bool IsInitialised() const { return mDevice != nullptr; }

    // The device Init opens; null (the default) for the system's default
    // device. Tests name a device that does not exist to run without sound.
    void SetDeviceName(const char* name);

    // Copies the game clock, then the pool's update.
    void Update();
    // Listener `index` (0..3; others ignored) from a listener-to-world matrix,
    // or cleared with null.
    void SetListener(const Ogre::Matrix4* matrix, int index);

    // A new effects-category source on the named wave (looked up through the
    // 3D engine's resources; a plain file path while no 3D engine runs). Null
    // without a device or when the file is missing or malformed (logged).
    HAL_Sound_CSource* LoadSound(const char* file, bool mono);
    // Releases the current music and loads the new one (mono, not started).
    HAL_Sound_CSource* LoadMusic(const char* file);
    HAL_Sound_CSource* GetMusic() const { return mMusic; }
    // False for null or a source this manager does not hold; else stops,
    // unlinks and deletes it.
    bool ReleaseSource(HAL_Sound_CSource* source);
    bool PlaySource(HAL_Sound_CSource* source);
    bool StopSource(HAL_Sound_CSource* source);

    // 0..10 (not range-tested); gain exp(0.5 v - 5), silence for 0.
    void SetMusicVolume(int volume);
    void SetSoundVolume(int volume);
    int GetMusicVolume() const { return mMusicVolume; }
    int GetSoundVolume() const { return mSoundVolume; }
    static float VolumeToGain(int volume);

    // The shared buffer of a wave file (found by the CRC-32 of its name, else
    // read and decoded); null when it cannot be had.
    CSoundBuffer* GetBuffer(const char* file, bool mono);
    int GetBufferCount() const { return mBuffers.GetCount(); }

    CSoundPool& GetPool() { return mPool; }
    const CSoundPool& GetPool() const { return mPool; }
    uint32_t GetTimeMs() const { return mTimeMs; }

private:
    // 0, or -1 when no device or context can be had.
    int OpenDevice();
    void CloseDevice();

    CSoundBufferList mBuffers;
    CSoundPool mPool;
    uint32_t mTimeMs = 0;
    int mMusicVolume = 10;
    int mSoundVolume = 10;
    HAL_Sound_CSource* mMusic = nullptr;
    void* mDevice = nullptr;    // ALCdevice
    void* mContext = nullptr;   // ALCcontext
    std::string mDeviceName;
    bool mHasDeviceName = false;
};

extern CSoundMgr gSoundMgr;
