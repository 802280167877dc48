// The manager's frame: the frame time reaches the world in pieces of at most
// one step, refused step sizes keep the frame loop finite, and the run state
// drives it.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <CPhysicObject.h>
#include <CSceneMgr.h>

using namespace scenetext;

TEST_F(PhysicsSceneTest, FrameTimeReachesTheWorldInWholeSteps)
{
    gPhysicMgr.SetStepSize(0.01f);
    ASSERT_FLOAT_EQ(mWorld->GetStepSize(), 0.01f);
    const float time0 = mWorld->GetTime();
    Frame(0.025f);   // two whole steps, half a step carried
    EXPECT_NEAR(mWorld->GetTime() - time0, 0.02f, 1e-6f);
    EXPECT_NEAR(mWorld->GetOverflow(), 0.005f, 1e-6f);
    Frame(-0.5f);    // no world time, but the frame counts
    EXPECT_NEAR(mWorld->GetTime() - time0, 0.02f, 1e-6f);
    EXPECT_EQ(gPhysicMgr.GetStepCount(), 2u);
    Frame(0.005f);   // the carried half completes a step only past it
    Frame(0.0001f);
    EXPECT_NEAR(mWorld->GetTime() - time0, 0.03f, 1e-6f);
}

TEST_F(PhysicsSceneTest, StepSizeFromFileMustBeUsable)
{
    for (const char* step : {"0", "-0.01", "nan"}) {
        SCOPED_TRACE(step);
        gPhysicMgr.SetStepSize(0.0025f);
        std::string text = Root(Settings(0.5f));
        text.replace(text.find("0.500000"), 8, step);
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        EXPECT_FLOAT_EQ(mWorld->GetStepSize(), 0.0025f);
        EXPECT_FLOAT_EQ(gPhysicMgr.GetStepSize(), 0.0025f);
        Frame(0.1f);   // finishes
    }
}

TEST_F(PhysicsSceneTest, RunStateStepsThePhysics)
{
    ASSERT_NE(CSceneMgr::Services().physicsStep, nullptr);
    TestNode* ball = new TestNode(nullptr, "ball");
    ball->setPosition(Ogre::Vector3(0, 5, 0), false);
    const std::string text = Root(Settings(0.0025f) + Object("ball", 1, 1, 0.04f, 0, 0, 0.7f, ""));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    gTimer.mGameDeltaS = 0.1f;
    CSceneMgr::Services().physicsStep();
    Ogre::Vector3 p;
    ball->GetPosition(p, CKEMSceneGraphicHandle::SPACE_WORLD);
    EXPECT_LT(p.y, 5.0f);
    EXPECT_EQ(gPhysicMgr.GetStepCount(), 1u);
}

TEST_F(PhysicsSceneTest, ObjectRecordsWithoutNodeLeaveNothingBehind)
{
    new TestNode(nullptr, "present");
    // A record without a node name, one for a missing node, one for a node.
    const std::string text =
        Root(Settings(0.0025f) +
             "<KEM_PHYSIC_OBJECT_VARLIST>\n\t<CPHYSICOBJECT_MASS value=\"3\" />\n</KEM_PHYSIC_OBJECT_VARLIST>\n" +
             Object("missing", 0, 0, 1, 1, 1, 0, "") + Object("present", 1, 1, 0.25f, 0, 0, 2.0f, ""));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    CPhysicObject* object = CKEMSceneGraph::FindNode("present")->getPhysicObject();
    ASSERT_NE(object, nullptr);
    // Each record went to its own object.
    EXPECT_EQ(object->GetActorType(), CPhysicObject::MOVABLE_ACTOR);
    EXPECT_FLOAT_EQ(object->GetMass(), 2.0f);
    // The missing node's static box does not stand in the world.
    EXPECT_EQ(mWorld->GetActors().size(), 1u);
    EXPECT_EQ(gPhysicMgr.GetObjects().size(), 1u);
}
