// A named recursive lock with usage statistics. The game runs on one thread,
// so Lock never waits; the statistics are kept all the same.
#pragma once

#include <Platform.h>
#include <cstdint>

class KEMMutex {
public:
    explicit KEMMutex(const char* name = nullptr);
    virtual ~KEMMutex();
    KEMMutex(const KEMMutex&) = delete;
    KEMMutex& operator=(const KEMMutex&) = delete;

    void Init(const char* name);
    void SetName(const char* name);
    void Lock();
    void Unlock();
    void Destroy();

    const char* GetName() const { return mName; }
    bool IsLocked() const { return mLocked != 0; }
    uint32_t GetLockCount() const { return mLockCount; }
    float GetTotalHeldTime() const { return mTotalTime; }
    uint32_t GetOwner() const { return mOwner; }
    bool IsDestroyed() const { return mDestroyed != 0; }

private:
    PlatCriticalSection* mSection = nullptr;
    unsigned char mLocked = 0;
    char mName[32] = {0};
    uint32_t mLockCount = 0;
    float mTotalTime = 0.0f;
    float mLockStart = 0.0f;
    unsigned char mInitialised = 0;
    unsigned char mDestroyed = 0;
    uint32_t mOwner = 0;
};

// Locks for the lifetime of the scope.
class KEMMutexLock {
public:
    explicit KEMMutexLock(KEMMutex& m) : mMutex(m) { mMutex.Lock(); }
    ~KEMMutexLock() { mMutex.Unlock(); }
    KEMMutexLock(const KEMMutexLock&) = delete;
    KEMMutexLock& operator=(const KEMMutexLock&) = delete;
private:
    KEMMutex& mMutex;
};
