// The millisecond clock and CTimerTool. The timer is driven by its
// fixed step or by a scripted clock so every test is deterministic.
#include <HalTimer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {
uint32_t gFakeNow = 0;
int gClockReads = 0;
uint32_t FakeClock() {
    ++gClockReads;
    return gFakeNow;
}

class Timer : public ::testing::Test {
protected:
    void SetUp() override {
        gFakeNow = 5000;
        gClockReads = 0;
        HalSetTimeSource(&FakeClock);
    }
    void TearDown() override { HalSetTimeSource(nullptr); }

    // A timer reset at the fake clock's time: Reset reads the clock twice at
    // the same value, so the game time after it is 1 ms (a frame lasts at
    // least 1 ms).
    CTimerTool Fresh() {
        CTimerTool t;
        t.Reset();
        return t;
    }
};
}  // namespace

TEST(TimerGlobal, GlobalTimerAndNameExistBeforeAnyOperation) {
    EXPECT_STREQ(gTimerName, "Unamed Timer");
    EXPECT_EQ(gTimer.mGameTime, 0u);
    EXPECT_EQ(gTimer.mPaused, 0);
    EXPECT_EQ(gTimer.mScaling, 0);
    EXPECT_EQ(gTimer.mFixedStep, 0.0f);
}

TEST(TimerGlobal, HalClockIsMonotonicAndSleepWaits) {
    uint32_t a = HalGetTimeMs();
    HalSleep(5);
    uint32_t b = HalGetTimeMs();
    EXPECT_GE(int32_t(b - a), 4);
}

TEST_F(Timer, ResetStartsGameTimeAtOneMillisecond) {
    CTimerTool t;
    t.mTimeScale = 3.0f;
    t.mScaling = 1;
    t.mPaused = 1;
    t.mGameTime = 777;
    t.Reset();
    EXPECT_EQ(t.mTimeScale, 1.0f);
    EXPECT_EQ(t.mScaling, 0);
    EXPECT_EQ(t.mPaused, 0);
    EXPECT_EQ(t.mCurrentClock, 5000u);
    EXPECT_EQ(t.mPreviousClock, 4999u);
    EXPECT_EQ(t.mGameTime, 1u);
    EXPECT_EQ(t.mRealDelta, 1u);
}

TEST_F(Timer, TwoUpdatesInTheSameMillisecondLastOneMillisecond) {
    CTimerTool t = Fresh();
    uint32_t before = t.mGameTime;
    t.Update();   // the fake clock has not moved
    EXPECT_EQ(t.mRealDelta, 1u);
    EXPECT_EQ(t.mGameTime, before + 1);
    EXPECT_FLOAT_EQ(t.mGameDeltaMs, 1.0f);
    EXPECT_FLOAT_EQ(t.mGameDeltaS, 0.001f);
}

TEST_F(Timer, SubMillisecondFixedStepStillLastsOneMillisecond) {
    CTimerTool t = Fresh();
    t.mFixedStep = 0.5f;   // truncated to 0 ms
    uint32_t before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mRealDelta, 1u);
    EXPECT_EQ(t.mGameTime, before + 1);
}

TEST_F(Timer, LongFrameClampsRealDeltaButNotGameTime) {
    CTimerTool t = Fresh();
    t.mFixedStep = 250.0f;
    uint32_t before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mRealDelta, 100u);
    EXPECT_EQ(t.mGameTime, before + 250);
    EXPECT_FLOAT_EQ(t.mGameDeltaMs, 250.0f);
    EXPECT_FLOAT_EQ(t.mGameDeltaS, 0.25f);

    t.mFixedStep = 100.0f;   // exactly 100 is stored as 100
    t.Update();
    EXPECT_EQ(t.mRealDelta, 100u);
    t.mFixedStep = 99.0f;
    t.Update();
    EXPECT_EQ(t.mRealDelta, 99u);
}

TEST_F(Timer, ScalingHalvesAndTruncates) {
    CTimerTool t = Fresh();
    t.mScaling = 1;
    t.mTimeScale = 0.5f;
    t.mFixedStep = 40.0f;
    uint32_t before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mGameTime, before + 20);
    EXPECT_EQ(t.mRealDelta, 40u);   // the real delta is not scaled
    EXPECT_FLOAT_EQ(t.mGameDeltaMs, 20.0f);

    t.mFixedStep = 1.0f;   // 0.5 ms truncated to 0
    before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mGameTime, before);
    EXPECT_FLOAT_EQ(t.mGameDeltaMs, 0.0f);
    EXPECT_FLOAT_EQ(t.mGameDeltaS, 0.0f);
}

TEST_F(Timer, ScaleAppliesOnlyWhileScalingIsOn) {
    CTimerTool t = Fresh();
    t.mTimeScale = 0.25f;   // scaling off: ignored
    t.mFixedStep = 40.0f;
    uint32_t before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mGameTime, before + 40);
    t.SetScaling(true);
    before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mGameTime, before + 10);   // the replay's quarter speed
}

TEST_F(Timer, PauseFreezesGameTimeAndZeroesDeltas) {
    CTimerTool t = Fresh();
    t.mFixedStep = 20.0f;
    t.Update();
    uint32_t frozen = t.mGameTime;
    t.SetPause(true);
    for (int i = 0; i < 3; ++i) {
        t.Update();
        EXPECT_EQ(t.mGameTime, frozen);
        EXPECT_EQ(t.mGameDeltaMs, 0.0f);
        EXPECT_EQ(t.mGameDeltaS, 0.0f);
        EXPECT_EQ(t.mRealDelta, 20u);   // real time goes on
    }
    t.SetPause(false);
    t.Update();
    EXPECT_EQ(t.mGameTime, frozen + 20);
    EXPECT_FLOAT_EQ(t.getFDeltaMs(), 20.0f);
}

TEST_F(Timer, FixedStepDoesNotReadTheClock) {
    CTimerTool t = Fresh();
    int reads = gClockReads;
    t.mFixedStep = 20.0f;
    uint32_t before = t.mGameTime;
    for (int i = 1; i <= 10; ++i) {
        gFakeNow += 1000;   // would show if the clock were read
        t.Update();
        EXPECT_EQ(t.mGameTime, before + 20u * uint32_t(i));
    }
    EXPECT_EQ(gClockReads, reads);
    EXPECT_EQ(t.mCurrentClock, 5000u + 200u);
}

TEST_F(Timer, ClockDrivenUpdatesFollowTheClock) {
    CTimerTool t = Fresh();
    uint32_t before = t.mGameTime;
    gFakeNow += 16;
    t.Update();
    EXPECT_EQ(t.mRealDelta, 16u);
    EXPECT_EQ(t.mGameTime, before + 16);
    gFakeNow += 33;
    t.Update();
    EXPECT_EQ(t.mGameTime, before + 49);
}

TEST_F(Timer, ClockWrapAroundIsAnOrdinaryFrame) {
    gFakeNow = 0xFFFFFFF0u;
    CTimerTool t = Fresh();
    uint32_t before = t.mGameTime;
    gFakeNow = 0x10;   // 32 ms later, across the wrap
    t.Update();
    EXPECT_EQ(t.mRealDelta, 32u);
    EXPECT_EQ(t.mGameTime, before + 32);
}

TEST_F(Timer, WholeSecondsFollowGameTime) {
    CTimerTool t = Fresh();
    t.mFixedStep = 999.0f;
    t.Update();   // 1 + 999 = 1000
    EXPECT_EQ(t.mGameTime, 1000u);
    EXPECT_EQ(t.mGameTimeSec, 1u);
    EXPECT_EQ(t.GetTimeSeconds(), 1u);
    t.Update();
    EXPECT_EQ(t.mGameTimeSec, 1u);
    t.Update();
    EXPECT_EQ(t.mGameTime, 2998u);
    EXPECT_EQ(t.mGameTimeSec, 2u);
    EXPECT_EQ(t.getTimeMs(), 2998u);
}

TEST_F(Timer, NegativeOrNaNScalesAdvanceNothing) {
    CTimerTool t = Fresh();
    t.mScaling = 1;
    t.mFixedStep = 40.0f;
    t.mTimeScale = -2.0f;
    uint32_t before = t.mGameTime;
    t.Update();
    EXPECT_EQ(t.mGameTime, before);
    t.mTimeScale = std::nanf("");
    t.Update();
    EXPECT_EQ(t.mGameTime, before);
}

TEST_F(Timer, ResetKeepsTheFixedStep) {
    CTimerTool t;
    t.mFixedStep = 20.0f;
    t.Reset();
    EXPECT_EQ(t.mGameTime, 20u);
    EXPECT_EQ(t.mFixedStep, 20.0f);
}
