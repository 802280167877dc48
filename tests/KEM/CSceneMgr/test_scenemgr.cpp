#include <CSceneMgr.h>
#include <HalTimer.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gCalls;
float gRenderedMs = -1.0f;
bool gHasCamera = false;
int gListenerSets = 0;

void Record(const char* name) { gCalls.push_back(name); }

class SceneMgrRun : public ::testing::Test {
protected:
    void SetUp() override {
        saved = CSceneMgr::Services();
        CSceneMgrServices& s = CSceneMgr::Services();
        s.physicsStep = [] { Record("physics"); };
        s.scenaricUpdate = [] { Record("scenaric"); };
        s.aiRunFrame = [] { Record("ai"); };
        s.particleFrame = [] { Record("particles"); };
        s.currentCameraMatrix = [](Ogre::Matrix4& m) {
            m = Ogre::Matrix4::IDENTITY;
            return gHasCamera;
        };
        s.setSoundListener = [](int, const Ogre::Matrix4&) { Record("listener"); ++gListenerSets; };
        s.soundUpdate = [] { Record("sound"); };
        s.guiUpdate = [] { Record("gui"); };
        s.renderFrame = [](float ms) { Record("render"); gRenderedMs = ms; };
        gCalls.clear();
        gHasCamera = false;
        gListenerSets = 0;
        gTimer.SetFixedStep(20.0f);
        mgr.Start();
    }
    void TearDown() override {
        gTimer.SetFixedStep(0.0f);
        gTimer.SetPause(false);
        CSceneMgr::Services() = saved;
    }
    CSceneMgrServices saved;
    CSceneMgr mgr;
};

TEST_F(SceneMgrRun, ManageRunsServicesInFrameOrderUnderTheLock) {
    gHasCamera = true;
    gTimer.Update();
    EXPECT_FALSE(mgr.IsRunning());
    mgr.Manage();
    EXPECT_TRUE(mgr.IsRunning());
    EXPECT_FALSE(mgr.IsLocked());
    EXPECT_EQ(mgr.GetLockCount(), 1u);
    const std::vector<std::string> expected = {"physics", "scenaric", "ai", "particles", "listener",
                                               "sound", "gui", "render"};
    EXPECT_EQ(gCalls, expected);
    EXPECT_FLOAT_EQ(gRenderedMs, 20.0f);
}

TEST_F(SceneMgrRun, NoCurrentCameraLeavesTheListenerAlone) {
    mgr.Manage();
    EXPECT_EQ(gListenerSets, 0);
}

TEST_F(SceneMgrRun, PausedRunStillRendersWithZeroFrameTime) {
    gHasCamera = true;
    mgr.Pause();
    mgr.Pause();   // pauses do not nest
    gTimer.Update();
    mgr.Manage();
    const std::vector<std::string> expected = {"sound", "gui", "render"};
    EXPECT_EQ(gCalls, expected);
    EXPECT_FLOAT_EQ(gRenderedMs, 0.0f);
    EXPECT_TRUE(gTimer.IsPaused());

    mgr.Resume();
    EXPECT_FALSE(mgr.IsPaused());
    EXPECT_FALSE(gTimer.IsPaused());
    gTimer.Update();
    gCalls.clear();
    mgr.Manage();
    EXPECT_EQ(gCalls.front(), "physics");
    EXPECT_FLOAT_EQ(gRenderedMs, 20.0f);
}

TEST_F(SceneMgrRun, StartAndStopClearTheRunningFlag) {
    mgr.Manage();
    mgr.Stop();
    EXPECT_FALSE(mgr.IsRunning());
    mgr.Manage();
    mgr.Pause();
    mgr.Start();
    EXPECT_FALSE(mgr.IsRunning());
    EXPECT_FALSE(mgr.IsPaused());
}

TEST_F(SceneMgrRun, UnsetServicesAreSkipped) {
    CSceneMgr::Services() = CSceneMgrServices();
    mgr.Manage();
    EXPECT_TRUE(mgr.IsRunning());
}

}  // namespace
