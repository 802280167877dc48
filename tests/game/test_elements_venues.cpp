// The five venue files load through the engine's scene loader without a
// display and hold every object a match needs: the playing rectangle with
// room for a target-ball throw, the circle, the target ball and twelve balls
// with their bodies at rest on the ground, markers, graduation marks, camera
// limits, reference points and the match cameras.
#include "PhysicsTestEnv.h"

#include <CBall.h>
#include <CGameElement.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneCamera.h>
#include <CPhysicMaterial.h>
#include <CPhysicObject.h>
#include <MatchState.h>
#include <Team.h>
#include <Terrain.h>

#include <OgreResourceGroupManager.h>

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Runs from the game's working directory, where the venue paths lead.
class VenueTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        mOldDir = cwd;
        ASSERT_EQ(chdir(KEM_STAGE_DIR "/game/bin"), 0);
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        if (!groups.resourceLocationExists(KEM_STAGE_DIR "/mediaDemo/Models", "General"))
            groups.addResourceLocation(KEM_STAGE_DIR "/mediaDemo/Models", "FileSystem", "General");
        ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    }
    void TearDown() override
    {
        CKEMSceneGraph::DestroyRootNode();
        gPhysicMgr.Clear();
        gKEMFrameWork.Term();
        if (!mOldDir.empty()) {
            EXPECT_EQ(chdir(mOldDir.c_str()), 0);
        }
        PhysicsSceneTest::TearDown();
    }
    std::string mOldDir;
};

Ogre::Vector3 WorldPosition(const char* name)
{
    CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    if (node)
        node->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    return position;
}

}  // namespace

TEST_F(VenueTest, EveryVenueHoldsTheMatchObjects)
{
    std::vector<std::string> required = {"terrain", "terrain_collision", "cochonnet", "cercle", "cible",
                                         "pointeur cochonnet", "terrain limite 1", "terrain limite 2",
                                         "LimiteCam_01", "LimiteCam_02", "IntroPlayerPosRef",
                                         "OutroSponsorsPosRef", "sponsorsPanel"};
    for (int k = 1; k <= 6; ++k) {
        required.push_back("gradaxe " + std::to_string(k));
        required.push_back("pointeur best " + std::to_string(k));
    }
    const char* cameras[] = {"CameraIntro", "CameraLancer", "CameraFinLancer", "CameraSuiviLancer",
                             "CameraIntro_02", "CameraSponsors", "CamRALENTI"};

    for (int32_t stage = 0; stage <= 4; ++stage) {
        SCOPED_TRACE(GetSceneFileForStage(stage));
        Terrain terrain(stage);
        ASSERT_TRUE(LoadSceneForStage(terrain));
        EXPECT_LE(gPhysicMgr.GetStepSize(), 1.0f / 400.0f + 1e-7f);
        for (const std::string& name : required)
            EXPECT_NE(CKEMSceneGraph::FindNode(name), nullptr) << name;
        for (const char* name : cameras)
            EXPECT_NE(dynamic_cast<CKEMSceneCamera*>(CKEMSceneGraph::FindNode(name)), nullptr) << name;

        // Room for the longest valid target-ball throw, 1 m inside the far end.
        terrain.SetLimits(WorldPosition("terrain limite 1"), WorldPosition("terrain limite 2"));
        const Ogre::Vector3 circle = WorldPosition("cercle");
        EXPECT_FALSE(terrain.IsOutside(circle));
        const Ogre::Vector3 far = terrain.GetFarLimitPoint(circle);
        const Ogre::Vector3 longest = circle + (far - circle).normalisedCopy() * 10.25f;
        EXPECT_EQ(terrain.InsidePosition(longest), Ogre::Vector3(longest.x, 0.0f, longest.z));
        // The camera limits hold the whole rectangle.
        const Ogre::Vector3 cam1 = WorldPosition("LimiteCam_01"), cam2 = WorldPosition("LimiteCam_02");
        EXPECT_LE(std::min(cam1.x, cam2.x), terrain.mMinX);
        EXPECT_GE(std::max(cam1.x, cam2.x), terrain.mMaxX);
        EXPECT_LE(std::min(cam1.z, cam2.z), terrain.mMinZ);
        EXPECT_GE(std::max(cam1.z, cam2.z), terrain.mMaxZ);

        // The target ball and the twelve balls have bodies and wait off the
        // rectangle, resting on the ground.
        struct Body {
            std::string name;
            float radius;
        };
        std::vector<Body> bodies = {{"cochonnet", 0.015f}};
        for (int k = 1; k <= 12; ++k)
            bodies.push_back({"boule " + std::to_string(k), 0.0375f});
        for (const Body& body : bodies) {
            SCOPED_TRACE(body.name);
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(body.name);
            ASSERT_NE(node, nullptr);
            CPhysicObject* object = node->getPhysicObject();
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(object->GetActorType(), CPhysicObject::MOVABLE_ACTOR);
            EXPECT_EQ(object->GetShapeType(), CPhysicObject::SHAPE_SPHERE);
            EXPECT_EQ(object->GetMaterial(), gPhysicMgr.FindMaterial("boule"));
            EXPECT_TRUE(gPhysicMgr.HasObject(object));
            if (body.name != "cochonnet") {
                EXPECT_TRUE(terrain.IsOutside(WorldPosition(body.name.c_str())));
            }
        }
        for (int i = 0; i < 60; ++i)
            Frame(1.0f / 60.0f);
        for (const Body& body : bodies) {
            SCOPED_TRACE(body.name);
            CPhysicObject* object = CKEMSceneGraph::FindNode(body.name)->getPhysicObject();
            EXPECT_NEAR(WorldPosition(body.name.c_str()).y, body.radius, 0.004f);
            EXPECT_LT(object->getLinearVelocity().length(), 0.05f);
        }
    }
}

TEST_F(VenueTest, TargetBallThrownOnAVenueIsJudgedOnItsRectangle)
{
    Team teamA("A"), teamB("B");
    MatchState match(&teamA, &teamB, 13, 1, 3);   // La Ciotat
    ASSERT_NE(CKEMSceneGraph::FindNode("cochonnet"), nullptr);
    CCircle circle(CKEMSceneGraph::FindNode("cercle"));
    match.mCircle = &circle;
    match.mTerrain->SetLimits(WorldPosition("terrain limite 1"), WorldPosition("terrain limite 2"));
    match.StartMene();

    // The target ball lands 7 m from the circle toward the far end: valid;
    // 3 m further it is still in play but off the throwing band.
    CBall target(CBall::KIND_TARGET, CKEMSceneGraph::FindNode("cochonnet"));
    target.mState = CBall::STATE_LAUNCHED;
    const Ogre::Vector3 centre = circle.GetWorldPosition();
    const Ogre::Vector3 toward = (match.mTerrain->GetFarLimitPoint(centre) - centre).normalisedCopy();
    target.SetPosition2D(centre.x + toward.x * 7.0f, centre.z + toward.z * 7.0f);
    EXPECT_TRUE(match.AfterThrow(&target));
    EXPECT_TRUE(IsTargetBallInPlay(match.mMene));
    target.SetPosition2D(centre.x + toward.x * 11.0f, centre.z + toward.z * 11.0f);
    EXPECT_TRUE(IsTargetBallInPlay(match.mMene));
    EXPECT_FALSE(IsTargetThrowValid(&target, match.mTerrain, &circle));
}
