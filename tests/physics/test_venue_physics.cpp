// The venue files' physics: a step small enough for the target ball, their
// materials, and a ground whose collider is the terrain mesh's triangles,
// holding a ball and reporting its contacts.
#include "CollisionMeshTestUtil.h"

#include <CKEMSceneCollisionMesh.h>
#include <COdeActor.h>
#include <CPhysicMaterial.h>
#include <CPhysicObject.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {
std::string ReadVenue(const char* name)
{
    std::ifstream in(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::vector<CKEMSceneNode*>& nodes, const CKEMSceneNode* node)
{
    return static_cast<size_t>(std::count(nodes.begin(), nodes.end(), node));
}
}

TEST_F(PhysicsSceneTest, VenuesStepAt400HzOnAGroundThatHoldsABall)
{
    AddTestMeshes();
    for (const char* venue : {"training.xml", "marseille.xml"}) {
        SCOPED_TRACE(venue);
        CKEMSceneGraph::CreateRootNode();
        gPhysicMgr.Clear();
        gPhysicMgr.CreateWorld(mWorld);
        const std::string text = ReadVenue(venue);
        ASSERT_FALSE(text.empty());
        // The loader's order: physics settings and materials, nodes, objects.
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        EXPECT_LE(mWorld->GetStepSize(), 1.0f / 400.0f + 1e-7f);
        ASSERT_NE(gPhysicMgr.FindMaterial("terrain"), nullptr);
        ASSERT_NE(gPhysicMgr.FindMaterial("boule"), nullptr);

        auto* ground = dynamic_cast<CKEMSceneCollisionMesh*>(CKEMSceneGraph::FindNode("terrain_collision"));
        ASSERT_NE(ground, nullptr);
        EXPECT_EQ(ground->getParent(), CKEMSceneGraph::FindNode("terrain"));
        EXPECT_EQ(ground->GetResource(), "ground.mesh");
        EXPECT_EQ(ground->GetMaterial(), gPhysicMgr.FindMaterial("terrain"));
        ASSERT_NE(ground->GetPart().GetActor(), nullptr);
        // One venue's triangles at a time: the previous venue's went with its nodes.
        EXPECT_EQ(mWorld->GetMeshDataCount(), 1u);

        // A boule dropped from 1 m touches the ground's collider, comes to
        // rest on its surface, and leaves it when thrown up again.
        ContactRecorder contacts;
        CPhysicObject* ball = AddBall("boule", Ogre::Vector3(1.0f, 1.0f, 2.0f), gPhysicMgr.FindMaterial("boule"));
        ball->GetNode()->SetContactListener(&contacts);
        for (int i = 0; i < 180; ++i)
            Frame(1.0f / 60.0f);
        EXPECT_NEAR(ball->GetActor()->getPosition().y, 0.0375f, 0.005f);
        EXPECT_LT(ball->getLinearVelocity().length(), 0.05f);
        EXPECT_GE(Count(contacts.begins, ground), 1u);
        EXPECT_EQ(contacts.begins.size(), Count(contacts.begins, ground));

        const size_t endsBefore = Count(contacts.ends, ground);
        ball->setLinearVelocity(Ogre::Vector3(0.0f, 3.0f, 0.0f));
        for (int i = 0; i < 6; ++i)
            Frame(1.0f / 60.0f);
        EXPECT_GT(ball->GetActor()->getPosition().y, 0.2f);
        EXPECT_EQ(Count(contacts.ends, ground), endsBefore + 1);

        // A hard shot lands on the triangles instead of passing through them.
        CPhysicObject* shot = AddBall("shot", Ogre::Vector3(-6.0f, 1.0f, 0.0f), gPhysicMgr.FindMaterial("boule"));
        shot->setLinearVelocity(Ogre::Vector3(8.0f, -9.0f, 0.0f));
        for (int i = 0; i < 60; ++i)
            Frame(1.0f / 60.0f);
        EXPECT_GT(shot->GetActor()->getPosition().y, 0.03f);
    }
}
