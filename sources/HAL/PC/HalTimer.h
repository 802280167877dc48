// Millisecond clock, sleep and the frame timer CTimerTool.
#pragma once

#include <cstdint>

// The millisecond clock (monotonic, wraps at 2^32); differences of two
// readings are taken as signed or in unsigned 32-bit arithmetic.
uint32_t HalGetTimeMs();
void HalSleep(uint32_t ms);

// Tests may replace the clock that HalGetTimeMs reads; null restores the
// platform clock.
typedef uint32_t (*HalTimeSource)();
void HalSetTimeSource(HalTimeSource source);

// The frame timer: turns clock readings into real and game time. The main
// loop calls Update once per frame on the global instance gTimer. Callers
// read and write the fields directly (game time, fixed step, scale, pause).
class CTimerTool {
public:
    constexpr CTimerTool() = default;

    // current clock = HalGetTimeMs, scale 1.0, game time 0, scaling off,
    // pause off, then Update. The fixed step is kept.
    void Reset();
    // One frame (real delta clamped to 100 ms; the game time
    // advances by the unclamped frame, scaled when scaling is on, not while
    // paused; a frame lasts at least 1 ms).
    void Update();

    // Accessors (the script API's "getTimeMs" and "getFDeltaMs" among them).
    uint32_t getTimeMs() const { return mGameTime; }
    float getFDeltaMs() const { return mGameDeltaMs; }
    uint32_t GetTimeMs() const { return mGameTime; }
    uint32_t GetTimeSeconds() const { return mGameTimeSec; }
    uint32_t GetRealDeltaMs() const { return mRealDelta; }
    float GetDeltaMs() const { return mGameDeltaMs; }
    float GetDeltaSeconds() const { return mGameDeltaS; }
    uint32_t GetCurrentClock() const { return mCurrentClock; }

    void SetTimeScale(float scale) { mTimeScale = scale; }
    void SetScaling(bool on) { mScaling = on ? 1 : 0; }
    void SetPause(bool paused) { mPaused = paused ? 1 : 0; }
    bool IsPaused() const { return mPaused != 0; }
    void SetFixedStep(float ms) { mFixedStep = ms; }

    uint32_t mCurrentClock = 0;     // ms
    uint32_t mPreviousClock = 0;    // ms
    uint32_t mGameTime = 0;         // ms
    uint32_t mGameTimeSec = 0;      // whole seconds of game time
    uint32_t mPreviousGameTime = 0; // ms
    uint32_t mRealDelta = 0;        // ms, clamped to 100
    float mGameDeltaMs = 0.0f;
    float mGameDeltaS = 0.0f;
    float mGameDeltaMs2 = 0.0f;     // second copies
    float mGameDeltaS2 = 0.0f;
    float mTimeScale = 1.0f;
    float mFixedStep = 0.0f;        // ms; 0 = use the clock
    unsigned char mScaling = 0;
    unsigned char mPaused = 0;
};

// The global timer and its name text; both constant-initialised, so they are
// valid before any static constructor runs.
extern CTimerTool gTimer;
extern const char gTimerName[];
