// The game-mode loop of CMainApp::Run with scripted modes and no engine: the
// order of a mode's life, the switch by next-mode id, the end of the run, the
// window's close request and the frame limiter.
#include <CGameMode.h>
#include <CMainApp.h>
#include <CSceneMgr.h>
#include <HalTimer.h>
#include <MainWindow.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// What a scripted mode does.
struct Script {
    int modeValue = 0;
    int updates = 1;          // Updates before it finishes (0: finishes in Init)
    int next = GAME_MODE_NONE;
    // Called in the Update of that number (1 = first), after the finish
    // decision of that Update.
    int actAt = 0;
    void (*action)() = nullptr;
};

std::vector<std::string> gEvents;
std::map<int, Script> gScripts;
std::vector<uint32_t> gFrameStarts;
std::vector<std::string> gLog;
CMainApp* gApp = nullptr;

class ScriptedMode : public CGameMode {
public:
    ScriptedMode(int id, int previous, const Script& script)
        : CGameMode(previous, script.modeValue), mId(id), mScript(script) {
        gEvents.push_back("new " + std::to_string(id) + " after " + std::to_string(previous));
    }
    ~ScriptedMode() override { gEvents.push_back("delete " + std::to_string(mId)); }

    bool Init() override {
        gEvents.push_back("init " + std::to_string(mId));
        if (mScript.updates == 0)
            Finish(mScript.next);
        return true;
    }
    void Update() override {
        ++mUpdates;
        gEvents.push_back("update " + std::to_string(mId));
        gFrameStarts.push_back(gApp->GetFrameStart());
        if (mUpdates >= mScript.updates)
            Finish(mScript.next);
        if (mScript.action && mUpdates == mScript.actAt)
            mScript.action();
    }
    bool Exit() override {
        gEvents.push_back("exit " + std::to_string(mId));
        return true;
    }
    CGameMode* GetSelf() override { return this; }

private:
    int mId;
    Script mScript;
    int mUpdates = 0;
};

CGameMode* ScriptedFactory(int id, int previous) {
    auto it = gScripts.find(id);
    return it == gScripts.end() ? nullptr : new ScriptedMode(id, previous, it->second);
}

void Capture(const char* line) { gLog.push_back(line); }

void PushClose() {
    PlatEvent ev;
    ev.type = PLAT_EV_CLOSE;
    PlatPushEvent(ev);
}

// A clock that moves one millisecond at each reading.
uint32_t gClock = 1000;
uint32_t SteppingClock() { return gClock++; }

class GameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        gEvents.clear();
        gScripts.clear();
        gFrameStarts.clear();
        gLog.clear();
        PlatClearEvents();
        PlatSetEventDispatcher(&MainWndProc);
        PlatSetLogSink(&Capture);
        mApp.SetGameModeFactory(&ScriptedFactory);
        gApp = &mApp;
    }
    void TearDown() override {
        PlatSetEventDispatcher(nullptr);
        PlatSetLogSink(nullptr);
        PlatClearEvents();
        HalSetTimeSource(nullptr);
        CSceneMgr::Services().guiUpdate = nullptr;
        CMainApp::Hooks() = CMainAppHooks();
        PlatSetEventFeeder(nullptr);
        gApp = nullptr;
    }

    // The main window procedure reaches the application through g_pMainApp.
    void Run(CMainApp& app) {
        CMainApp* saved = g_pMainApp;
        g_pMainApp = &app;
        gApp = &app;
        app.Run();
        g_pMainApp = saved;
    }
    void Run() { Run(mApp); }

    bool Logged(const std::string& text) const {
        for (const std::string& line : gLog)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }

    CMainApp mApp;
};

}  // namespace

TEST_F(GameLoop, ModesFollowByNextIdEachBuiltWithThePreviousModeValue) {
    Script boot;
    boot.modeValue = 1;
    boot.updates = 2;
    boot.next = GAME_MODE_CUP_MENUS;
    Script cup;
    cup.modeValue = 42;
    cup.updates = 1;
    cup.next = GAME_MODE_TRAINING;
    Script training;
    training.updates = 1;
    training.next = GAME_MODE_COUNT;   // 12: no such mode
    gScripts = {{GAME_MODE_BOOT, boot}, {GAME_MODE_CUP_MENUS, cup}, {GAME_MODE_TRAINING, training}};

    Run();

    const std::vector<std::string> expected = {
        "new 1 after -1", "init 1", "update 1", "update 1", "exit 1", "delete 1",
        "new 5 after 1",  "init 5", "update 5", "exit 5",   "delete 5",
        "new 9 after 42", "init 9", "update 9", "exit 9",   "delete 9",
    };
    EXPECT_EQ(gEvents, expected);
    EXPECT_EQ(mApp.GetCurrentGameMode(), nullptr);
    EXPECT_TRUE(Logged("next mode id 12 names no mode"));
}

TEST_F(GameLoop, AModeFinishedByItsInitIsExitedWithoutAnUpdate) {
    Script boot;
    boot.updates = 0;
    boot.next = GAME_MODE_NONE;
    gScripts = {{GAME_MODE_BOOT, boot}};
    Run();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"new 1 after -1", "init 1", "exit 1", "delete 1"}));
}

TEST_F(GameLoop, AnIdOutsideTheTableOrWithoutAModeEndsTheRun) {
    struct Case {
        int next;
        const char* logged;   // null: the run ends silently (the window was closed)
    };
    const Case cases[] = {
        {-1, nullptr},
        {12, "next mode id 12 names no mode"},
        {-5, "next mode id -5 names no mode"},
        {GAME_MODE_DEMO_MENU, "mode 7 (CMenuDemoGameMode) is not in this build yet"},
    };
    for (const Case& c : cases) {
        SetUp();
        Script boot;
        boot.next = c.next;
        gScripts = {{GAME_MODE_BOOT, boot}};
        Run();
        EXPECT_EQ(gEvents.back(), "delete 1") << c.next;
        EXPECT_EQ(mApp.GetCurrentGameMode(), nullptr) << c.next;
        if (c.logged) {
            EXPECT_TRUE(Logged(c.logged)) << c.next;
        } else {
            EXPECT_TRUE(gLog.empty()) << gLog.front();
        }
    }
}

TEST_F(GameLoop, ClosingTheWindowEndsTheRunAfterTheCurrentModesExit) {
    // The close request (pushed in the second Update) is handled by the third
    // frame's message pump; the mode then gets that frame's Update, its Exit,
    // and no mode follows, even when that same Update names another mode.
    struct Case {
        int updates, next;
    };
    for (const Case& c : {Case{100, GAME_MODE_NONE}, Case{3, GAME_MODE_MAIN_MENU}}) {
        SetUp();
        Script boot;
        boot.updates = c.updates;
        boot.next = c.next;
        boot.actAt = 2;
        boot.action = &PushClose;
        Script menu;
        gScripts = {{GAME_MODE_BOOT, boot}, {GAME_MODE_MAIN_MENU, menu}};
        CMainApp app;   // a fresh application: no close request yet
        app.SetGameModeFactory(&ScriptedFactory);
        Run(app);
        EXPECT_EQ(gEvents, (std::vector<std::string>{"new 1 after -1", "init 1", "update 1", "update 1", "update 1",
                                                     "exit 1", "delete 1"}))
            << c.next;
        EXPECT_TRUE(app.IsCloseRequested());
    }
}

TEST_F(GameLoop, ACloseRequestBeforeTheFirstModeEndsItWithoutAnUpdate) {
    Script boot;
    boot.updates = 100;
    boot.next = GAME_MODE_MAIN_MENU;
    gScripts = {{GAME_MODE_BOOT, boot}};
    mApp.RequestClose();
    Run();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"new 1 after -1", "init 1", "exit 1", "delete 1"}));
}

namespace {
std::vector<std::string>* gFrame = nullptr;
void RecordPump() { gFrame->push_back("pump"); }
void RecordManage() { gFrame->push_back("manage"); }
void RecordEffects() { gFrame->push_back("effects"); }
void RecordUpdate() { gFrame->push_back("update"); }
}  // namespace

TEST_F(GameLoop, OneFrameRunsTheEngineServicesInOrderBeforeTheModesUpdate) {
    std::vector<std::string> frame;
    gFrame = &frame;
    PlatSetEventFeeder(&RecordPump);
    CSceneMgr::Services().guiUpdate = &RecordManage;
    CMainApp::Hooks().updateWindowEffects = &RecordEffects;
    Script boot;
    boot.updates = 2;
    boot.actAt = 1;
    boot.action = &RecordUpdate;
    gScripts = {{GAME_MODE_BOOT, boot}};
    Run();
    EXPECT_EQ(frame, (std::vector<std::string>{"pump", "manage", "effects", "update", "pump", "manage", "effects"}));
    gFrame = nullptr;
}

namespace {
void LongFrame() {
    for (int i = 0; i < 200; ++i)
        HalGetTimeMs();
}
}  // namespace

TEST_F(GameLoop, TheFrameLimiterSpacesFramesByThePeriodAndNeverSleepsWithoutOne) {
    HalSetTimeSource(&SteppingClock);

    // No period: each frame follows the last at once (a few clock readings).
    Script boot;
    boot.updates = 4;
    gScripts = {{GAME_MODE_BOOT, boot}};
    Run();
    ASSERT_EQ(gFrameStarts.size(), 4u);
    for (size_t i = 1; i < gFrameStarts.size(); ++i)
        EXPECT_LT(gFrameStarts[i] - gFrameStarts[i - 1], 8u) << i;

    // A period of 12 ms: frames start exactly 12 ms apart; a late frame is not
    // caught up, the next deadline follows the actual time.
    SetUp();
    HalSetTimeSource(&SteppingClock);
    mApp.SetFramePeriod(12);
    boot.updates = 5;
    boot.actAt = 2;
    boot.action = &LongFrame;
    gScripts = {{GAME_MODE_BOOT, boot}};
    Run();
    ASSERT_EQ(gFrameStarts.size(), 5u);
    EXPECT_EQ(gFrameStarts[1] - gFrameStarts[0], 12u);
    EXPECT_GT(gFrameStarts[2] - gFrameStarts[1], 200u);   // the long frame
    EXPECT_EQ(gFrameStarts[3] - gFrameStarts[2], 12u);
    EXPECT_EQ(gFrameStarts[4] - gFrameStarts[3], 12u);
    EXPECT_EQ(mApp.GetNextFrameDeadline(), gFrameStarts[4] + 12);
}
