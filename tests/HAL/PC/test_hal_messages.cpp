// The message pump's record of wheel, character and keys, the
// trace lines it writes, dispatching, and the F10 rule.
#include <HalMessages.h>
#include <HalNet.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<PlatEvent> gDispatched;
std::vector<std::string> gTraces;
int gFeeds = 0;

void Dispatch(const PlatEvent& ev) { gDispatched.push_back(ev); }
void Trace(const char* text) { gTraces.push_back(text); }

PlatEvent Ev(PlatEventType type, uint32_t wParam, uint32_t lParam = 0) {
    PlatEvent ev;
    ev.type = type;
    ev.wParam = wParam;
    ev.lParam = lParam;
    return ev;
}

class Pump : public ::testing::Test {
protected:
    void SetUp() override {
        PlatClearEvents();
        PlatSetEventFeeder(nullptr);
        PlatSetEventDispatcher(&Dispatch);
        NetSetTraceCallback(&Trace);
        gDispatched.clear();
        gTraces.clear();
        gFeeds = 0;
    }
    void TearDown() override {
        PlatClearEvents();
        PlatSetEventFeeder(nullptr);
        PlatSetEventDispatcher(nullptr);
        NetSetTraceCallback(nullptr);
    }
};
}  // namespace

TEST_F(Pump, RecordsKeysCharAndWheelAndDispatchesEverything) {
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'a', 1));
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, PLAT_VK_SPACE, 0x390001));
    PlatPushEvent(Ev(PLAT_EV_KEYUP, PLAT_VK_RETURN, 7));
    PlatPushEvent(Ev(PLAT_EV_MOUSEWHEEL, HalMakeWheelParam(240)));
    PlatPushEvent(Ev(PLAT_EV_MOUSEMOVE, 0));
    HalPumpMessages();
    EXPECT_EQ(gHalLastChar, 'a');
    EXPECT_EQ(gHalLastKeyPressed, uint32_t(PLAT_VK_SPACE));
    EXPECT_EQ(gHalLastKeyReleased, uint32_t(PLAT_VK_RETURN));
    EXPECT_FLOAT_EQ(gHalMouseWheelDelta, 2.0f);
    ASSERT_EQ(gDispatched.size(), 5u);
    EXPECT_EQ(gDispatched[0].type, PLAT_EV_CHAR);
    EXPECT_EQ(gDispatched[4].type, PLAT_EV_MOUSEMOVE);
}

TEST_F(Pump, NegativeWheelHighWordIsSigned) {
    PlatPushEvent(Ev(PLAT_EV_MOUSEWHEEL, 0xFF100000u));   // high word -240
    HalPumpMessages();
    EXPECT_FLOAT_EQ(gHalMouseWheelDelta, -2.0f);
    PlatPushEvent(Ev(PLAT_EV_MOUSEWHEEL, HalMakeWheelParam(-120) | 0x1234u));   // low word ignored
    HalPumpMessages();
    EXPECT_FLOAT_EQ(gHalMouseWheelDelta, -1.0f);
}

TEST_F(Pump, RecordIsClearedEveryFrame) {
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'z'));
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 0x41));
    PlatPushEvent(Ev(PLAT_EV_KEYUP, 0x42));
    PlatPushEvent(Ev(PLAT_EV_MOUSEWHEEL, HalMakeWheelParam(120)));
    HalPumpMessages();
    EXPECT_EQ(gHalLastChar, 'z');
    HalPumpMessages();   // nothing waiting
    EXPECT_EQ(gHalLastChar, 0);
    EXPECT_EQ(gHalLastKeyPressed, 0u);
    EXPECT_EQ(gHalLastKeyReleased, 0u);
    EXPECT_EQ(gHalMouseWheelDelta, 0.0f);
}

TEST_F(Pump, LastEventOfEachKindWins) {
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 0x41));
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 0x43));
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'x'));
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'y'));
    HalPumpMessages();
    EXPECT_EQ(gHalLastKeyPressed, 0x43u);
    EXPECT_EQ(gHalLastChar, 'y');
}

TEST_F(Pump, TracesKeyAndCharLinesWithTheLastCharacter) {
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'q', 16));
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 65, 30));
    PlatPushEvent(Ev(PLAT_EV_KEYUP, 66, 31));
    PlatPushEvent(Ev(PLAT_EV_MOUSEWHEEL, HalMakeWheelParam(120)));   // no trace
    HalPumpMessages();
    ASSERT_EQ(gTraces.size(), 3u);
    EXPECT_EQ(gTraces[0], "WM_CHAR-> wParam = 113   lParam=16 (q) ");
    EXPECT_EQ(gTraces[1], "WM_KEYDOWN-> wParam = 65   lParam=30 (q) ");
    EXPECT_EQ(gTraces[2], "WM_KEYUP-> wParam = 66   lParam=31 (q) ");
}

TEST_F(Pump, KeyTraceBeforeAnyCharStopsAtTheNulCharacter) {
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 65, 30));
    HalPumpMessages();
    ASSERT_EQ(gTraces.size(), 1u);
    EXPECT_EQ(gTraces[0], "WM_KEYDOWN-> wParam = 65   lParam=30 (");
}

TEST_F(Pump, F10SystemKeyEndsThePumpWithoutDispatch) {
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 0x41));
    PlatPushEvent(Ev(PLAT_EV_SYSKEYDOWN, 121));
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'b'));
    HalPumpMessages();
    ASSERT_EQ(gDispatched.size(), 1u);   // only the key before F10
    EXPECT_EQ(gDispatched[0].type, PLAT_EV_KEYDOWN);
    EXPECT_EQ(gHalLastChar, 0);          // the char waits for the next frame

    HalPumpMessages();
    ASSERT_EQ(gDispatched.size(), 2u);
    EXPECT_EQ(gDispatched[1].type, PLAT_EV_CHAR);
    EXPECT_EQ(gHalLastChar, 'b');
    EXPECT_EQ(gHalLastKeyPressed, 0u);
}

TEST_F(Pump, F10SystemKeyUpAlsoEndsThePump) {
    PlatPushEvent(Ev(PLAT_EV_SYSKEYUP, PLAT_VK_F10));
    PlatPushEvent(Ev(PLAT_EV_KEYUP, 0x41));
    HalPumpMessages();
    EXPECT_TRUE(gDispatched.empty());
    EXPECT_EQ(gHalLastKeyReleased, 0u);
    HalPumpMessages();
    ASSERT_EQ(gDispatched.size(), 1u);
    EXPECT_EQ(gHalLastKeyReleased, 0x41u);
}

TEST_F(Pump, OtherSystemKeysAndPlainF10AreDispatched) {
    PlatPushEvent(Ev(PLAT_EV_SYSKEYDOWN, PLAT_VK_MENU));
    PlatPushEvent(Ev(PLAT_EV_SYSKEYUP, PLAT_VK_F1));
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, PLAT_VK_F10));   // a plain key-down for F10
    HalPumpMessages();
    EXPECT_EQ(gDispatched.size(), 3u);
    EXPECT_EQ(gHalLastKeyPressed, uint32_t(PLAT_VK_F10));
}

TEST_F(Pump, FeedsTheQueueFirst) {
    PlatSetEventFeeder([] {
        ++gFeeds;
        PlatEvent ev;
        ev.type = PLAT_EV_CHAR;
        ev.wParam = 'f';
        PlatPushEvent(ev);
    });
    PlatPushEvent(Ev(PLAT_EV_CHAR, 'w'));   // waiting from before: stays first
    HalPumpMessages();
    EXPECT_EQ(gFeeds, 1);
    ASSERT_EQ(gDispatched.size(), 2u);
    EXPECT_EQ(gDispatched[0].wParam, uint32_t('w'));
    EXPECT_EQ(gDispatched[1].wParam, uint32_t('f'));
    EXPECT_EQ(gHalLastChar, 'f');
}

TEST_F(Pump, NoTraceSinkMeansNoTrace) {
    NetSetTraceCallback(nullptr);
    PlatPushEvent(Ev(PLAT_EV_KEYDOWN, 65));
    HalPumpMessages();
    EXPECT_TRUE(gTraces.empty());
    EXPECT_EQ(gHalLastKeyPressed, 65u);
}
