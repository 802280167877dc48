// The engine framework without a display: what Init and Term create and
// delete, the physics hooks' order, the run state's render hook, and the
// graphics system asked for too early.
#include <CDebugSelection.h>
#include <CGraphicElementRegistry.h>
#include <CKEMFrameWork.h>
#include <CSceneMgr.h>
#include <CWrapOgreCompositorList.h>
#include <KEMException.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gCalls;
CPhysicsSystemODE* const kSystem = reinterpret_cast<CPhysicsSystemODE*>(0x1000);
COdeWorld* const kWorld = reinterpret_cast<COdeWorld*>(0x2000);

class FrameWorkHooks : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        CKEMFrameWorkHooks& hooks = CKEMFrameWork::Hooks();
        hooks.createPhysicsSystem = [] { gCalls.push_back("create system"); return kSystem; };
        hooks.createPhysicsWorld = [](CPhysicsSystemODE* s) {
            gCalls.push_back(s == kSystem ? "create world" : "create world of another system");
            return kWorld;
        };
        hooks.deletePhysicsWorld = [](COdeWorld* w) { gCalls.push_back(w == kWorld ? "delete world" : "?"); };
        hooks.destroyPhysicsSystem = [](CPhysicsSystemODE* s) {
            gCalls.push_back(s == kSystem ? "destroy system" : "?");
        };
    }
    void TearDown() override { CKEMFrameWork::Hooks() = CKEMFrameWorkHooks(); }
};

}  // namespace

TEST_F(FrameWorkHooks, InitAndTermMakeAndDeleteTheSystemObjectsInOrder) {
    CKEMFrameWork fw;
    EXPECT_EQ(fw.Init(), kWorld);
    EXPECT_NE(fw.GetGraphicElementRegistry(), nullptr);
    EXPECT_EQ(fw.GetGraphicElementRegistry()->GetOwner(), &fw);
    EXPECT_NE(fw.GetDebugSelection(), nullptr);
    EXPECT_NE(fw.GetCompositorList(), nullptr);
    EXPECT_EQ(fw.GetPhysicsSystem(), kSystem);
    EXPECT_EQ(fw.GetPhysicsWorld(), kWorld);
    EXPECT_EQ(fw.GetRenderWindowCount(), 0);
    EXPECT_EQ(fw.GetGraphicsWorld(), nullptr);
    EXPECT_NE(CSceneMgr::Services().renderFrame, nullptr);

    fw.RenderFrame(16.0f);   // no graphics world yet: nothing to draw, no failure
    fw.Term();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"create system", "create world", "delete world", "destroy system"}));
    EXPECT_EQ(fw.GetGraphicElementRegistry(), nullptr);
    EXPECT_EQ(fw.GetDebugSelection(), nullptr);
    EXPECT_EQ(fw.GetCompositorList(), nullptr);
    EXPECT_EQ(fw.GetPhysicsSystem(), nullptr);
    EXPECT_EQ(fw.GetPhysicsWorld(), nullptr);
    EXPECT_EQ(CSceneMgr::Services().renderFrame, nullptr);
}

TEST(CKEMFrameWork, GraphicsSystemBeforeAnyRenderWindowThrows) {
    CKEMFrameWork fw;
    fw.Init();
    try {
        fw.GetGraphicsSystem();
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason(), "Don't have a graphics system!");
        EXPECT_EQ(e.GetSource(), "CKEMFrameWork");
    }
    EXPECT_THROW(fw.RegisterFrameListener(), CKEMException);
    fw.Term();
}
