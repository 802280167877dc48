// Blinking windows: the alpha sawtooth on game time, the slot pool, and what
// stopping gives back.
#include "HudTestUtil.h"

#include <CWindowEffectMgr.h>
#include <HalTimer.h>

namespace {

uint32_t sFakeClock = 0;
uint32_t FakeClock() { return sFakeClock; }

class WindowEffectTest : public HudGuiTest {
protected:
    void SetUp() override
    {
        HudGuiTest::SetUp();
        CWindowEffectMgr::Create();
        gTimer.mGameTime = 0;
    }
    void TearDown() override
    {
        CWindowEffectMgr::Free();
        HalSetTimeSource(nullptr);
        gTimer.SetPause(false);
        HudGuiTest::TearDown();
    }

    static float UpdateAt(uint32_t gameTimeMs, const char* window = "Blinker")
    {
        gTimer.mGameTime = gameTimeMs;
        CWindowEffectMgr::Update();
        return Window(window)->getAlpha();
    }
};

TEST_F(WindowEffectTest, AlphaIsAOneSecondSawtoothOfGameTime)
{
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    const struct {
        uint32_t timeMs;
        float alpha;
    } cases[] = {
        {0, 1.0f},       {1, 0.9995f},   {250, 0.875f},       {500, 0.75f},    {999, 0.5005f},
        {1000, 1.0f},    {1999, 0.5005f}, {123456, 0.772f},   {4294967295u, 1.0f - 0.295f * 0.5f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(UpdateAt(c.timeMs), c.alpha) << "at " << c.timeMs << " ms";
    // Absolute: the window's own alpha (0.8) does not scale the blink.
    EXPECT_FLOAT_EQ(UpdateAt(0), 1.0f);
    // Windows that do not blink are left alone.
    EXPECT_FLOAT_EQ(Window("Other")->getAlpha(), 1.0f);
}

TEST_F(WindowEffectTest, PausedTimerFreezesTheBlink)
{
    sFakeClock = 10000;
    HalSetTimeSource(&FakeClock);
    gTimer.Reset();
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));

    sFakeClock += 40;
    gTimer.Update();
    CWindowEffectMgr::Update();
    const float before = Window("Blinker")->getAlpha();
    EXPECT_LT(before, 1.0f);

    gTimer.SetPause(true);
    for (int frame = 0; frame < 5; ++frame) {
        sFakeClock += 70;
        gTimer.Update();
        CWindowEffectMgr::Update();
        EXPECT_FLOAT_EQ(Window("Blinker")->getAlpha(), before);
    }

    gTimer.SetPause(false);
    sFakeClock += 100;
    gTimer.Update();
    CWindowEffectMgr::Update();
    EXPECT_LT(Window("Blinker")->getAlpha(), before);
}

TEST_F(WindowEffectTest, StopGivesBackTheAlphaSavedByItsStart)
{
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));   // saves 0.8
    UpdateAt(500);
    Window("Blinker")->setAlpha(0.3f);
    // A restart keeps the one slot and the alpha saved before the blink.
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), 1);
    EXPECT_FLOAT_EQ(CWindowEffectMgr::GetSlot(0)->mSavedAlpha, 0.8f);
    EXPECT_FLOAT_EQ(UpdateAt(250), 0.875f);

    ASSERT_TRUE(CWindowEffectMgr::StopEffect("Blinker"));
    EXPECT_FLOAT_EQ(Window("Blinker")->getAlpha(), 0.8f);
    EXPECT_TRUE(CWindowEffectMgr::GetActiveList().IsEmpty());
    EXPECT_FLOAT_EQ(UpdateAt(500), 0.8f);

    EXPECT_FALSE(CWindowEffectMgr::StopEffect("Blinker"));
    EXPECT_FALSE(CWindowEffectMgr::StopEffect(""));
    EXPECT_FALSE(CWindowEffectMgr::StopEffect("blinker"));   // names are case-sensitive
}

// Screens start the blink of "BtnValid" on every choice: many clicks must not
// use up the pool, or every later blink would be refused.
TEST_F(WindowEffectTest, RepeatedStartsOnOneWindowKeepOneSlot)
{
    for (int click = 0; click < 3 * CWindowEffectMgr::kSlotCount; ++click)
        ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), 1);
    EXPECT_TRUE(CWindowEffectMgr::StartEffect("Other"));
    EXPECT_EQ(CWindowEffectMgr::GetSlot(1)->mWindowName, "Other");
    EXPECT_FLOAT_EQ(UpdateAt(500), 0.75f);
    EXPECT_FLOAT_EQ(UpdateAt(500, "Other"), 0.75f);
    // One stop ends the blink however many starts there were.
    ASSERT_TRUE(CWindowEffectMgr::StopEffect("Blinker"));
    EXPECT_FALSE(CWindowEffectMgr::StopEffect("Blinker"));
    EXPECT_FALSE(CWindowEffectMgr::StartEffect(""));
}

TEST_F(WindowEffectTest, FullPoolRefusesAndAFreedSlotIsTakenFirst)
{
    for (int i = 0; i < CWindowEffectMgr::kSlotCount; ++i)
        ASSERT_TRUE(CWindowEffectMgr::StartEffect(i == 5 ? std::string("Other") : "Window" + std::to_string(i)));
    EXPECT_FALSE(CWindowEffectMgr::StartEffect("TextReplay"));
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), CWindowEffectMgr::kSlotCount);

    ASSERT_TRUE(CWindowEffectMgr::StopEffect("Other"));
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("TextReplay"));
    EXPECT_EQ(CWindowEffectMgr::GetSlot(5)->mWindowName, "TextReplay");
    // The list keeps the order of the starts: the re-used slot is last.
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetTail(), CWindowEffectMgr::GetSlot(5));
}

TEST_F(WindowEffectTest, EffectsOfMissingWindowsAreFreedByUpdate)
{
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("NoSuchWindow"));
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Other"));
    EXPECT_FLOAT_EQ(CWindowEffectMgr::GetSlot(1)->mSavedAlpha, 1.0f);

    // A window destroyed while it blinks goes the same way.
    CEGUI::WindowManager::getSingleton().destroyWindow(Window("Other"));
    UpdateAt(500);
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), 1);
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetHead(), CWindowEffectMgr::GetSlot(0));
    EXPECT_EQ(CWindowEffectMgr::GetSlot(1)->mState, -1);
    EXPECT_TRUE(CWindowEffectMgr::GetSlot(1)->mWindowName.empty());
    EXPECT_FALSE(CWindowEffectMgr::StopEffect("Other"));
}

TEST_F(WindowEffectTest, MissingRootFreesEveryEffectWithoutWritingAlpha)
{
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Other"));
    Window("Root")->setName("Sheet");
    UpdateAt(500);
    EXPECT_TRUE(CWindowEffectMgr::GetActiveList().IsEmpty());
    EXPECT_FLOAT_EQ(Window("Blinker")->getAlpha(), 0.8f);
    EXPECT_FLOAT_EQ(Window("Other")->getAlpha(), 1.0f);
}

TEST_F(WindowEffectTest, NothingHappensWithoutAPool)
{
    ASSERT_TRUE(CWindowEffectMgr::StartEffect("Blinker"));
    CWindowEffectMgr::Free();
    EXPECT_EQ(CWindowEffectMgr::GetSlotCount(), 0);
    EXPECT_FALSE(CWindowEffectMgr::StartEffect("Blinker"));
    EXPECT_FALSE(CWindowEffectMgr::StopEffect("Blinker"));
    UpdateAt(500);
    EXPECT_FLOAT_EQ(Window("Blinker")->getAlpha(), 0.8f);
}

}  // namespace
