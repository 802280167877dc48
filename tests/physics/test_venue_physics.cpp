// The venue files' physics sections: a step small enough for the target
// ball, their materials, and a ground that holds a ball.
#include "PhysicsTestEnv.h"

#include <COdeActor.h>
#include <CPhysicObject.h>

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
}

TEST_F(PhysicsSceneTest, VenuesStepAt400HzOnAGroundThatHoldsABall)
{
    for (const char* venue : {"training.xml", "marseille.xml"}) {
        SCOPED_TRACE(venue);
        CKEMSceneGraph::CreateRootNode();
        gPhysicMgr.Clear();
        gPhysicMgr.CreateWorld(mWorld);
        const std::string text = ReadVenue(venue);
        ASSERT_FALSE(text.empty());
        // The physics share of the file; the nodes stand in for the loader's.
        new TestNode(nullptr, "terrain");
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        EXPECT_LE(mWorld->GetStepSize(), 1.0f / 400.0f + 1e-7f);
        ASSERT_NE(gPhysicMgr.FindMaterial("terrain"), nullptr);
        ASSERT_NE(gPhysicMgr.FindMaterial("boule"), nullptr);
        CPhysicObject* ground = CKEMSceneGraph::FindNode("terrain")->getPhysicObject();
        ASSERT_NE(ground, nullptr);
        EXPECT_EQ(ground->GetMaterial(), gPhysicMgr.FindMaterial("terrain"));

        // A boule dropped from 1 m comes to rest on the ground's surface.
        TestNode* ball = new TestNode(nullptr, "boule");
        ball->setPosition(Ogre::Vector3(1.0f, 1.0f, 2.0f), false);
        CPhysicObject* object = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
        ball->attachPhysicObject(object);
        object->SetSphereShape(0.0375f);
        object->BuildShapes(CPhysicObject::SHAPE_SPHERE, gPhysicMgr.FindMaterial("boule"));
        object->SetMass(0.7f);
        for (int i = 0; i < 180; ++i)
            Frame(1.0f / 60.0f);
        EXPECT_NEAR(object->GetActor()->getPosition().y, 0.0375f, 0.005f);
        EXPECT_LT(object->getLinearVelocity().length(), 0.05f);
    }
}
