// The match camera on a headless scene graph: camera switches and their
// fall-back, node and path tracks against game time, and the placement rules
// that keep the camera over the ground.
#include "SceneGraphTest.h"

#include <CKEMSceneCamera.h>
#include <CKEMScenePath.h>
#include <CMatchCamera.h>
#include <HalTimer.h>

namespace {

void ExpectNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class MatchCameraTest : public SceneGraphTest {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        gTimer.mGameTime = 0;
    }

    CKEMSceneCamera* AddCamera(const std::string& name, const Ogre::Vector3& position)
    {
        CKEMSceneCamera* camera = new CKEMSceneCamera(nullptr);
        camera->setName(name);
        camera->setPosition(position, false);
        updateSceneGraph();
        return camera;
    }
    CKEMSceneNode* AddNode(const std::string& name, const Ogre::Vector3& position)
    {
        CKEMSceneNode* node = CKEMSceneGraph::CreateNodeByType(9, nullptr, "");
        node->setName(name);
        node->setPosition(position, false);
        updateSceneGraph();
        return node;
    }
    void FrameAt(uint32_t ms)
    {
        gTimer.mGameTime = ms;
        mCamera.Update();
        updateSceneGraph();
    }
    static Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
    {
        Ogre::Vector3 position;
        node->GetPosition(position, 2);
        return position;
    }

    CMatchCamera mCamera;
};

TEST_F(MatchCameraTest, UnknownCamerasFallBackToTheLaunchCamera)
{
    // No launch camera: nothing changes.
    EXPECT_FALSE(mCamera.ResetToLaunchCamera());
    EXPECT_FALSE(mCamera.SwitchToCamera("Nowhere"));
    EXPECT_EQ(mCamera.mMode, CMatchCamera::MODE_NONE);

    CKEMSceneCamera* launch = AddCamera("CameraLancer", Ogre::Vector3(0, 2, 10));
    CKEMSceneCamera* intro = AddCamera("CameraIntro", Ogre::Vector3(5, 5, 5));
    mCamera.Init();
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), launch);
    EXPECT_FALSE(CKEMSceneGraph::getDebugMode());

    ASSERT_TRUE(mCamera.SwitchToCamera("CameraIntro"));
    EXPECT_EQ(mCamera.mMode, CMatchCamera::MODE_TRACKING);
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), intro);

    EXPECT_FALSE(mCamera.SwitchToCamera("Nowhere"));
    EXPECT_EQ(mCamera.mMode, CMatchCamera::MODE_NONE);
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), launch);

    EXPECT_FALSE(mCamera.StartFreeCamera("Nowhere", 5.0f));
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), launch);
    EXPECT_FALSE(mCamera.TrackPosition(nullptr, Ogre::Vector3::ZERO, 1.0f));
}

TEST_F(MatchCameraTest, NodeTrackMeetsAMovingTargetAtTheEnd)
{
    AddCamera("CameraLancer", Ogre::Vector3::ZERO);
    CKEMSceneCamera* camera = AddCamera("CameraTrack", Ogre::Vector3(0, 1, 0));
    CKEMSceneNode* target = AddNode("Target", Ogre::Vector3(10, 1, 0));
    mCamera.Init();
    ASSERT_TRUE(mCamera.SwitchToCamera("CameraTrack"));
    ASSERT_TRUE(mCamera.TrackPosition(target, Ogre::Vector3(0, 1, 0), 2.0f));

    FrameAt(500);   // not started: the camera stays where it was
    ExpectNear(WorldPosition(camera), Ogre::Vector3(0, 1, 0));

    mCamera.StartTimers();   // at 0.5 s
    const struct {
        uint32_t ms;
        float targetX;
        Ogre::Vector3 expected;
    } frames[] = {
        {1500, 10, Ogre::Vector3(5, 1.5f, 0)},    // half way
        {2000, 20, Ogre::Vector3(12.5f, 1.75f, 0)},   // half of what is left toward the moved target
        {2500, 20, Ogre::Vector3(20, 2, 0)},      // there at the end
        {4000, 30, Ogre::Vector3(20, 2, 0)},      // stopped
    };
    for (const auto& frame : frames) {
        target->setPosition(Ogre::Vector3(frame.targetX, 1, 0), false);
        updateSceneGraph();
        FrameAt(frame.ms);
        ExpectNear(WorldPosition(camera), frame.expected);
    }
    EXPECT_FALSE(mCamera.mPositionTrack.running);
}

TEST_F(MatchCameraTest, NodeTrackWithoutDurationSnapsEveryFrame)
{
    AddCamera("CameraTrack", Ogre::Vector3::ZERO);
    CKEMSceneCamera* camera = static_cast<CKEMSceneCamera*>(CKEMSceneGraph::FindNode("CameraTrack"));
    CKEMSceneNode* target = AddNode("Target", Ogre::Vector3(3, 1, 0));
    ASSERT_TRUE(mCamera.SwitchToCamera("CameraTrack"));
    ASSERT_TRUE(mCamera.TrackPosition(target, Ogre::Vector3::ZERO, 0.0f));
    mCamera.StartTimers();
    for (float x : {3.0f, -4.0f, 8.0f}) {
        target->setPosition(Ogre::Vector3(x, 1, 0), false);
        updateSceneGraph();
        FrameAt(gTimer.mGameTime + 5000);
        ExpectNear(WorldPosition(camera), Ogre::Vector3(x, 1, 0));
    }
    EXPECT_TRUE(mCamera.mPositionTrack.running);
}

TEST_F(MatchCameraTest, PathTrackReachesTheLastPointAtTheEnd)
{
    AddCamera("CameraTrack", Ogre::Vector3::ZERO);
    CKEMScenePath* path = static_cast<CKEMScenePath*>(CKEMSceneGraph::CreateNodeByType(6, nullptr, ""));
    path->GetPoints() = {Ogre::Vector3(0, 0, 0), Ogre::Vector3(1, 0, 0), Ogre::Vector3(2, 0, 0),
                         Ogre::Vector3(3, 0, 0), Ogre::Vector3(4, 0, 0)};
    path->PostLoadInit();
    path->setPosition(Ogre::Vector3(0, 3, 0), false);
    updateSceneGraph();

    ASSERT_TRUE(mCamera.SwitchToCamera("CameraTrack"));
    ASSERT_TRUE(mCamera.TrackPosition(path, Ogre::Vector3(0, 0, 1), 2.0f));
    ExpectNear(mCamera.mPositionTrack.current, Ogre::Vector3(0, 0, 1));
    EXPECT_EQ(mCamera.mPositionTrack.pathPointCount, 5);
    mCamera.StartTimers();

    FrameAt(2000);
    ExpectNear(mCamera.mPositionTrack.current, Ogre::Vector3(4, 3, 1), 1e-3f);
    EXPECT_FALSE(mCamera.mPositionTrack.running);

    // A path track of no duration goes straight to its end.
    ASSERT_TRUE(mCamera.TrackLookAt(path, Ogre::Vector3::ZERO, 0.0f));
    mCamera.StartTimers();
    FrameAt(2000);
    EXPECT_TRUE(std::isfinite(mCamera.mLookAtTrack.current.x));
    ExpectNear(mCamera.mLookAtTrack.current, Ogre::Vector3(4, 3, 0), 1e-3f);
}

TEST_F(MatchCameraTest, PlacementKeepsTheCameraOverTheGroundAndOnTheReferenceSide)
{
    const float D = 10.0f;
    const struct {
        Ogre::Vector3 camera, target, reference, expected;
    } cases[] = {
        // Pointing under the ground: exactly 0.5 high at distance D.
        {{10, -5, 0}, {0, 0, 0}, {1, 0, 0}, {std::sqrt(D * D - 0.25f), 0.5f, 0}},
        // Steeper than 0.9 upward: flattened to 0.9.
        {{0.1f, 10, 0}, {0, 0, 0}, {1, 0, 0}, {D * std::sqrt(0.19f), 9, 0}},
        // Behind the target with respect to the reference: brought round.
        {{-10, 5, 0}, {0, 5, 0}, {1, 0, 0}, {10, 5, 0}},
        // A target too deep for any slope: straight up is refused, 0.9 at most.
        {{10, 0, 0}, {0, -50, 0}, {1, 0, 0}, {D * std::sqrt(0.19f), -41, 0}},
    };
    for (const auto& c : cases) {
        Ogre::Vector3 camera = c.camera;
        mCamera.PlaceAtDistance(camera, c.target, c.reference, D);
        ExpectNear(camera, c.expected, 1e-3f);
    }
}

TEST_F(MatchCameraTest, LimitBoxesHoldTheCameraAndTheLookPoint)
{
    mCamera.SetLimitBoxA(Ogre::Vector3(5, 9, -5), Ogre::Vector3(-5, -9, 5));
    mCamera.SetLimitBoxB(Ogre::Vector3(5, 9, -5), Ogre::Vector3(-5, -9, 5));
    EXPECT_EQ(mCamera.mBoxAMin, Ogre::Vector3(-5, -9, -5));
    EXPECT_EQ(mCamera.mBoxAMax, Ogre::Vector3(5, 9, 5));
    const Ogre::Vector3 targets[] = {{0, 0, 0}, {4, 0, 4}, {-4, 0, 2}};
    const Ogre::Vector3 starts[] = {{30, -3, 0}, {0, 40, -30}, {-7, 0.1f, 7}, {1, -1, 1}};
    for (const Ogre::Vector3& target : targets) {
        for (const Ogre::Vector3& start : starts) {
            Ogre::Vector3 camera = start;
            mCamera.PlaceAtDistance(camera, target, Ogre::Vector3(1, 0, 0), 12.0f);
            EXPECT_LE(std::abs(camera.x), 5.0f);
            EXPECT_LE(std::abs(camera.z), 5.0f);
            EXPECT_GE(camera.y, 0.5f);
        }
    }
    Ogre::Vector3 camera(0, -1, 0), look(9, -2, -9);
    mCamera.ClampToLimits(camera, look);
    ExpectNear(camera, Ogre::Vector3(0, 0.5f, 0));
    ExpectNear(look, Ogre::Vector3(5, 0, -5));
}

}  // namespace
