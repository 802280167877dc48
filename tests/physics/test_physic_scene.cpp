// Scene-file physics through the manager: contacts mix the loaded
// materials, joints hold their objects, and failed loads undo what they made
// exactly once.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <COdeActor.h>
#include <COdeMaterial.h>
#include <CPhysicJoint.h>
#include <CPhysicMaterial.h>
#include <CPhysicObject.h>

#include <algorithm>
#include <cmath>

using namespace scenetext;

namespace {
const float kStep = 1.0f / 400.0f;
}

TEST_F(PhysicsSceneTest, ContactsMixTheLoadedMaterials)
{
    // Restitution is the larger BOUNCE of the pair whichever side has it;
    // friction the smaller FRICTION1.
    struct Case {
        float ballBounce, groundBounce;
    } cases[] = {{0.3f, 0.1f}, {0.1f, 0.3f}, {0.6f, 0.6f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ballBounce << " / " << c.groundBounce);
        CKEMSceneGraph::CreateRootNode();
        gPhysicMgr.Clear();
        gPhysicMgr.CreateWorld(mWorld);
        new TestNode(nullptr, "ground");
        TestNode* ball = new TestNode(nullptr, "ball");
        ball->setPosition(Ogre::Vector3(0.0f, 1.0f, 0.0f), false);
        const std::string text =
            Root(Settings(kStep) + Material("terrain", 0.2f, c.groundBounce) + Material("boule", 10.0f, c.ballBounce) +
                 Object("ground", 0, 0, 20.0f, 1.0f, 20.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f) +
                 Object("ball", 1, 1, 0.04f, 0.04f, 0.04f, 0.7f, "boule"));
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        CPhysicObject* object = ball->getPhysicObject();
        ASSERT_NE(object, nullptr);

        float impact = 0.0f;
        float rebound = 0.0f;
        for (int i = 0; i < 60; ++i) {
            Frame(0.01f);
            const float vy = object->getLinearVelocity().y;
            impact = std::min(impact, vy);
            if (impact < -1.0f)
                rebound = std::max(rebound, vy);
        }
        ASSERT_LT(impact, -3.0f);
        const float expected = std::max(c.ballBounce, c.groundBounce);
        EXPECT_NEAR(rebound / -impact, expected, 0.06f);
    }

    // A box sliding on the ground: mu = min(0.2, 10) stops it after about
    // v^2 / (2 mu g) = 1.0 m, where the box's own 10 would stop it at once.
    CKEMSceneGraph::CreateRootNode();
    gPhysicMgr.Clear();
    gPhysicMgr.CreateWorld(mWorld);
    new TestNode(nullptr, "ground");
    TestNode* crate = new TestNode(nullptr, "crate");
    crate->setPosition(Ogre::Vector3(0.0f, 0.1f, 0.0f), false);
    const std::string text =
        Root(Settings(kStep) + Material("terrain", 0.2f, 0.0f) + Material("wood", 10.0f, 0.0f) +
             Object("ground", 0, 0, 20.0f, 1.0f, 20.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f) +
             Object("crate", 1, 0, 0.2f, 0.2f, 0.2f, 1.0f, "wood"));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    CPhysicObject* object = crate->getPhysicObject();
    for (int i = 0; i < 10; ++i)
        Frame(0.01f);   // settle
    const float x0 = object->GetActor()->getPosition().x;
    object->setLinearVelocity(Ogre::Vector3(2.0f, 0.0f, 0.0f));
    for (int i = 0; i < 200; ++i)
        Frame(0.01f);
    const float slid = object->GetActor()->getPosition().x - x0;
    EXPECT_GT(slid, 0.6f);
    EXPECT_LT(slid, 1.5f);
}

TEST_F(PhysicsSceneTest, ChangedMaterialKeepsGeomsOnAValidRecord)
{
    new TestNode(nullptr, "ball");
    const std::string text =
        Root(Settings(kStep) + Material("boule", 10.0f, 0.3f) + Object("ball", 1, 1, 0.04f, 0.04f, 0.04f, 0.7f, "boule"));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    CPhysicMaterial* material = gPhysicMgr.FindMaterial("boule");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetRefCount(), 1);
    CPhysicObject* object = CKEMSceneGraph::FindNode("ball")->getPhysicObject();
    COdeMaterial* record = object->GetGeom()->getMaterial();
    ASSERT_EQ(record, mWorld->GetMaterial("boule"));

    // Re-registering and renaming update the record the geom points to.
    material->SetBounce(0.5f);
    material->applyAll();
    material->SetMaterialId("petanque");
    EXPECT_EQ(object->GetGeom()->getMaterial(), record);
    EXPECT_EQ(mWorld->GetMaterial("petanque"), record);
    EXPECT_FLOAT_EQ(record->bounce, 0.5f);
}

TEST_F(PhysicsSceneTest, FailedMaterialLoadFreesEachMaterialOnce)
{
    // A listed material, a duplicate the manager drops, the unreadable
    // record, and one never read.
    const std::string text = Root(Settings(kStep) + Material("m1", 1.0f, 0.1f) + Material("m1", 2.0f, 0.2f) +
                                  BrokenMaterial("m2") + Material("m3", 3.0f, 0.3f));
    EXPECT_FALSE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    EXPECT_TRUE(gPhysicMgr.GetMaterials().empty());
    EXPECT_EQ(mWorld->GetMaterial("m1"), nullptr);
    EXPECT_EQ(mWorld->GetMaterial("m2"), nullptr);
    EXPECT_NE(mWorld->GetMaterial("default"), nullptr);

    // The manager is still sound: the same ids load afterwards.
    const std::string good = Root(Settings(kStep) + Material("m1", 1.0f, 0.1f) + Material("m3", 3.0f, 0.3f));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(good.c_str()));
    EXPECT_EQ(gPhysicMgr.GetMaterials().size(), 2u);
    EXPECT_EQ(mWorld->GetMaterial("m1"), gPhysicMgr.FindMaterial("m1")->GetRecord());
}

TEST_F(PhysicsSceneTest, FailedJointLoadLeavesNoJointInItsObjects)
{
    new TestNode(nullptr, "a");
    new TestNode(nullptr, "b");
    new TestNode(nullptr, "c");
    const std::string text =
        Root(Settings(kStep) + Object("a", 1, 1, 0.1f, 0, 0, 1.0f, "") + Object("b", 1, 1, 0.1f, 0, 0, 1.0f, "") +
             Object("c", 1, 1, 0.1f, 0, 0, 1.0f, "") + BallJoint("a", "b", 0, 0, 0) + BrokenBallJoint("b", "c") +
             BallJoint("a", "c", 0, 0, 0));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    EXPECT_FALSE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    EXPECT_TRUE(gPhysicMgr.GetJoints().empty());
    EXPECT_TRUE(mWorld->GetJoints().empty());
    for (const char* name : {"a", "b", "c"}) {
        CPhysicObject* object = CKEMSceneGraph::FindNode(name)->getPhysicObject();
        ASSERT_NE(object, nullptr) << name;
        EXPECT_TRUE(object->GetJoints().empty()) << name;
        // Re-synchronising the objects touches no deleted joint.
        object->SyncFromNode();
    }
}

TEST_F(PhysicsSceneTest, JointsLoadAndHoldTheirObjects)
{
    TestNode* a = new TestNode(nullptr, "a");
    TestNode* b = new TestNode(nullptr, "b");
    a->setPosition(Ogre::Vector3(0, 2, 0), false);
    b->setPosition(Ogre::Vector3(1, 2, 0), false);
    // The anchor is a's centre: b swings around it at distance 1.
    const std::string text = Root(Settings(kStep) + Object("a", 0, 1, 0.1f, 0, 0, 0.0f, "") +
                                  Object("b", 1, 1, 0.1f, 0, 0, 1.0f, "") + BallJoint("a", "b", 0, 2, 0));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    ASSERT_EQ(gPhysicMgr.GetJoints().size(), 1u);
    CPhysicJoint* joint = gPhysicMgr.GetJoints().front();
    EXPECT_EQ(joint->GetObject1(), a->getPhysicObject());
    EXPECT_EQ(b->getPhysicObject()->GetJoints().size(), 1u);
    for (int i = 0; i < 50; ++i)
        Frame(0.01f);
    const Ogre::Vector3 p = b->getPhysicObject()->GetActor()->getPosition();
    EXPECT_LT(p.y, 1.9f);                                          // it swung down
    EXPECT_NEAR(p.distance(Ogre::Vector3(0, 2, 0)), 1.0f, 0.02f);  // on its circle

    // Deleting an object takes its joints with it.
    CKEMSceneGraph::DeleteNode("a");
    EXPECT_TRUE(gPhysicMgr.GetJoints().empty());
    EXPECT_TRUE(b->getPhysicObject()->GetJoints().empty());
}
