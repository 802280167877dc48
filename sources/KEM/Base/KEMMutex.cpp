#include "KEMMutex.h"

#include <cstring>

static float TickSeconds() { return float(PlatGetTimeMs()) / 1000.0f; }

KEMMutex::KEMMutex(const char* name) {
    Init(name);
    mOwner = 0;
}

KEMMutex::~KEMMutex() {
    if (!mDestroyed)
        Destroy();
}

void KEMMutex::Init(const char* name) {
    if (mInitialised)
        return;
    mInitialised = 1;
    mSection = new PlatCriticalSection;
    mTotalTime = 0.0f;
    mLockStart = 0.0f;
    mLocked = 0;
    mLockCount = 0;
    SetName(name);
}

void KEMMutex::SetName(const char* name) {
    if (!name)
        name = "UNAMED MUTEX";
    std::strncpy(mName, name, sizeof(mName) - 1);
    mName[sizeof(mName) - 1] = 0;
}

void KEMMutex::Lock() {
    if (!mSection)
        return;
    mSection->Enter();
    mLocked = 1;
    ++mLockCount;
    mOwner = PlatCurrentThreadId();
    mLockStart = TickSeconds();
}

void KEMMutex::Unlock() {
    if (!mSection)
        return;
    mTotalTime += TickSeconds() - mLockStart;
    mOwner = 0;
    mLockStart = 0.0f;
    mSection->Leave();
    mLocked = 0;
}

void KEMMutex::Destroy() {
    mDestroyed = 1;
    delete mSection;
    mSection = nullptr;
}
