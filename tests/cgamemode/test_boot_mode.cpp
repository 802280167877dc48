// The boot screens' timing without a display: the brightness of a screen by
// whole seconds of game time, the switch to the second screen, the demo menu
// after both, and Escape.
#include <CBootGameMode.h>
#include <CInputMgr.h>
#include <CMainApp.h>
#include <DInput.h>
#include <DInputFakeBackend.h>
#include <HalTimer.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const PlatWindowHandle kWindow = 0x51;
std::vector<std::string> gLog;
void Capture(const char* line) { gLog.push_back(line); }

class BootScreens : public ::testing::Test {
protected:
    void SetUp() override {
        gLog.clear();
        PlatSetLogSink(&Capture);
        PlatSetMessageBoxInteractive(false);
        auto fake = std::make_unique<CDInputFakeBackend>();
        mFake = fake.get();
        DInputSetBackend(std::move(fake));
        mFake->focusWindow = kWindow;
        g_pMainApp->SetWindowHandle(reinterpret_cast<KEMWindowHandle>(kWindow));
        gInputMgr.Init();
        gInputMgr.Update();
        At(100, 0.0f);
    }
    void TearDown() override {
        DInputSetBackend(nullptr);
        g_pMainApp->SetWindowHandle(nullptr);
        PlatSetLogSink(nullptr);
    }

    // The game time in whole seconds and the last frame's length.
    static void At(uint32_t seconds, float delta) {
        gTimer.mGameTimeSec = seconds;
        gTimer.mGameDeltaS = delta;
    }

    CDInputFakeBackend* mFake = nullptr;
};

}  // namespace

TEST_F(BootScreens, BrightnessFadesInHoldsAndFadesOutByWholeSeconds) {
    CBootGameMode mode(-1);
    EXPECT_EQ(mode.GetModeValue(), 1);
    EXPECT_EQ(mode.GetPreviousModeValue(), -1);
    EXPECT_EQ(mode.GetNextModeId(), -1);
    EXPECT_FALSE(mode.IsFinished());
    ASSERT_TRUE(mode.Init());
    EXPECT_EQ(mode.GetScreenStart(), 100);

    struct Step {
        uint32_t second;
        float delta;
        float brightness;
        bool over;
    };
    const Step steps[] = {
        {100, 0.2f, 0.1f, false},    // fade in: 0.5 per second
        {102, 1.0f, 0.1f, false},    // 2 s: left as it is
        {103, 0.1f, 1.0f, false},    // held at full
        {104, 1.0f, 1.0f, false},    // 4 s: left as it is
        {105, 0.75f, 0.5f, false},   // fade out: 0.6666667 per second
        {105, 1.5f, 0.0f, false},    // never below black
        {106, 0.1f, 0.0f, false},
        {107, 0.1f, 0.0f, true},     // from 7 whole seconds on: over
    };
    for (const Step& s : steps) {
        At(s.second, s.delta);
        EXPECT_EQ(mode.FadeOverlay("MENU_BootScreen1", "bootscreen1"), s.over) << s.second;
        EXPECT_NEAR(mode.GetBrightness(), s.brightness, 1e-6f) << s.second;
    }

    // Fading in never goes past full.
    CBootGameMode other(-1);
    other.Init();
    At(101, 5.0f);
    other.FadeOverlay("MENU_BootScreen1", "bootscreen1");
    EXPECT_FLOAT_EQ(other.GetBrightness(), 1.0f);
}

TEST_F(BootScreens, SecondScreenFollowsInTheSameFrameThenTheDemoMenu) {
    CBootGameMode mode(-1);
    mode.Init();
    for (uint32_t second = 100; second < 107; ++second) {
        At(second, 0.5f);
        mode.Update();
        ASSERT_FALSE(mode.IsScreen1Done()) << second;
    }
    At(107, 0.5f);
    mode.Update();
    EXPECT_TRUE(mode.IsScreen1Done());
    EXPECT_FALSE(mode.IsScreen2Done());
    EXPECT_EQ(mode.GetScreenStart(), 107);
    EXPECT_FLOAT_EQ(mode.GetBrightness(), 0.25f);   // the second screen's first fade-in step
    EXPECT_FALSE(mode.IsFinished());

    At(113, 0.5f);
    mode.Update();
    EXPECT_FALSE(mode.IsFinished());
    At(114, 0.5f);
    mode.Update();
    EXPECT_TRUE(mode.IsScreen2Done());
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);

    // Without the media the screens stay black; said once.
    int said = 0;
    for (const std::string& line : gLog)
        said += line.find("no overlay \"MENU_BootScreen1\"") != std::string::npos;
    EXPECT_EQ(said, 1);
}

TEST_F(BootScreens, EscapeEndsThemInTheFirstFrame) {
    mFake->PressKey(CBootGameMode::kEscapeChannel);
    gInputMgr.Update();
    CBootGameMode mode(-1);
    mode.Init();
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
    EXPECT_FALSE(mode.IsScreen1Done());

    // Held on: a second screen ends the same way.
    CBootGameMode again(-1);
    again.Init();
    At(108, 0.1f);
    again.Update();
    EXPECT_TRUE(again.IsFinished());
}
