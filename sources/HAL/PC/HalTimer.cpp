#include "HalTimer.h"

#include <Platform.h>

#include <atomic>
#include <cmath>

CTimerTool gTimer;
const char gTimerName[] = "Unamed Timer";

static std::atomic<HalTimeSource> gTimeSource{nullptr};

void HalSetTimeSource(HalTimeSource source) { gTimeSource = source; }

uint32_t HalGetTimeMs() {
    if (HalTimeSource source = gTimeSource.load())
        return source();
    return PlatGetTimeMs();
}

void HalSleep(uint32_t ms) { PlatSleep(ms); }

void CTimerTool::Reset() {
    mCurrentClock = HalGetTimeMs();
    mTimeScale = 1.0f;
    mGameTime = 0;
    mScaling = 0;
    mPaused = 0;
    Update();
}

// Whole milliseconds of a non-negative float; NaN and negatives give 0, huge
// values saturate.
static uint32_t WholeMs(double ms) {
    if (!(ms > 0.0))
        return 0;
    if (ms >= 4294967295.0)
        return 0xFFFFFFFFu;
    return uint32_t(ms);
}

void CTimerTool::Update() {
    mPreviousClock = mCurrentClock;
    if (mFixedStep == 0.0f)
        mCurrentClock = HalGetTimeMs();
    else
        mCurrentClock = mPreviousClock + WholeMs(mFixedStep);
    if (mCurrentClock == mPreviousClock)
        mPreviousClock = mCurrentClock - 1;   // every frame lasts at least 1 ms

    mPreviousGameTime = mGameTime;
    uint32_t frame = mCurrentClock - mPreviousClock;
    mRealDelta = frame >= 100 ? 100 : frame;

    if (!mPaused) {
        if (mScaling)
            mGameTime += WholeMs(double(float(frame) * mTimeScale));
        else
            mGameTime += frame;
    }

    uint32_t gameDelta = mGameTime - mPreviousGameTime;
    mGameDeltaMs = float(gameDelta);
    mGameDeltaS = float(gameDelta) * 0.001f;
    mGameDeltaMs2 = mGameDeltaMs;
    mGameDeltaS2 = mGameDeltaS;
    mGameTimeSec = mGameTime / 1000;
}
