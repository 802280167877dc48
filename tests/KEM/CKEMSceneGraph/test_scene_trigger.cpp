// Trigger volumes without a display: the volume follows the node, the
// scripted-node manager's enter and leave reach the trigger's script once
// each, and the debug display shows the mesh of the geometry type.
#include "SceneGraphTest.h"

#include <CKEMSceneObject.h>
#include <CKEMSceneTrigger.h>
#include <CScenaricMgr.h>
#include <CWrapOgreEntity.h>

#include <OgreEntity.h>
#include <OgreMesh.h>

#include <string>
#include <vector>

namespace {

void ExpectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

std::vector<std::string> gCalls;   // "function argument"

int RecordCall(CKEMSceneNode*, CKEMScript*, const char* function, const CKEMVMArg* args, int count, bool)
{
    std::string call = function;
    for (int i = 0; i < count; ++i)
        call += " " + std::string(args[i].type == KEMVM_STRING && args[i].text ? args[i].text : "?");
    gCalls.push_back(call);
    return 0;
}

std::vector<std::string> gShapes;   // "draw id" / "remove id"

void DrawBox(const std::string& id, const CKEMOrientedBox&) { gShapes.push_back("draw " + id); }
void RemoveShape(const std::string& id) { gShapes.push_back("remove " + id); }

class TriggerTest : public SceneGraphTest {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        if (!groups.resourceLocationExists(TRIGGER_TEST_MEDIA, "General"))
            groups.addResourceLocation(TRIGGER_TEST_MEDIA, "FileSystem", "General");
        mSavedScript = CKEMSceneNode::ScriptHooks();
        CKEMSceneNode::ScriptHooks().call = &RecordCall;
        gCalls.clear();
        gShapes.clear();
    }
    void TearDown() override
    {
        SceneGraphTest::TearDown();
        CKEMSceneNode::ScriptHooks() = mSavedScript;
    }

    // The debug mesh shown on the trigger, empty when none.
    static std::string DebugMesh(const CKEMSceneTrigger* trigger)
    {
        const CWrapOgreEntity* entity = trigger->GetPart().debugEntity;
        return entity ? entity->getEntity()->getMesh()->getName() : "";
    }

    CKEMSceneNodeScriptHooks mSavedScript;
};

}  // namespace

// A ball node passing through a trigger (either geometry, debug display off):
// one "OnEnterTrigger" with the ball's name as it enters, none while it stays,
// one "OnLeaveTrigger" as it leaves.
TEST_F(TriggerTest, BallPassingThroughCallsEnterAndLeaveOnce)
{
    static int script;
    for (int type : {CKEMSceneTrigger::GEOMETRY_SPHERE, CKEMSceneTrigger::GEOMETRY_BOX}) {
        SCOPED_TRACE(type);
        CKEMSceneGraph::CreateRootNode();
        gScenaricMgr.ResetAll();   // the next update is a first frame
        auto* trigger = new CKEMSceneTrigger(nullptr, type);
        trigger->setName("gate");
        trigger->SetScale(Ogre::Vector3(2, 2, 2));
        trigger->attachScript(reinterpret_cast<CKEMScript*>(&script));
        auto* ball = new CKEMSceneObject("ball.mesh", "", nullptr);
        ball->setName("boule");
        ball->SetScale(Ogre::Vector3(0.0375f, 0.0375f, 0.0375f));
        ball->setPosition(Ogre::Vector3(3, 0.5f, 0), false);
        gScenaricMgr.Register(ball);
        gScenaricMgr.Update();   // the first frame's calls
        gCalls.clear();

        const float path[] = {2.0f, 0.9f, 0.5f, 0.0f, -0.9f, -1.2f, -3.0f};
        std::vector<std::string> calls;
        for (float x : path) {
            ball->setPosition(Ogre::Vector3(x, 0.5f, 0), false);
            gScenaricMgr.Update();
            for (const std::string& call : gCalls)
                calls.push_back(std::to_string(x).substr(0, 4) + " " + call);
            gCalls.clear();
        }
        EXPECT_EQ(calls, (std::vector<std::string>{"0.90 OnEnterTrigger boule", "-1.2 OnLeaveTrigger boule"}));

        // Other events are no trigger's business.
        EXPECT_EQ(trigger->OnEvent(CKEMSceneNode::EVENT_OVERLAP_BEGIN, ball), 0);
        EXPECT_TRUE(gCalls.empty());
        CKEMSceneGraph::DestroyRootNode();
    }
}

// A scene record's trigger: its geometry type, and a volume that follows the
// node's position, scale and orientation.
TEST_F(TriggerTest, VolumeFollowsTheNode)
{
    const std::string text = Scene(NodeRecord(7, "zone", "KEM_ROOT",
                                              Position(1, 2, 3) +
                                                  "\t<CKEMSCENENODE_SCALE_IC x=\"4\" y=\"2\" z=\"1\" />\n"
                                                  "\t<CKEMSCENETRIGGER_MGEOMETRYTYPE value=\"0\" />\n"));
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
    auto* trigger = dynamic_cast<CKEMSceneTrigger*>(CKEMSceneGraph::FindNode("zone"));
    ASSERT_NE(trigger, nullptr);
    EXPECT_EQ(trigger->getKEM_NodeType(), CKEMSceneNode::KEM_SCENE_TRIGGER);
    EXPECT_EQ(trigger->GetGeometryType(), CKEMSceneTrigger::GEOMETRY_SPHERE);

    const CKEMOrientedBox& obb = trigger->GetOrientedBox();
    ExpectVector(obb.center, Ogre::Vector3(1, 2, 3));
    ExpectVector(obb.halfExtents, Ogre::Vector3(2, 1, 0.5f));
    ExpectVector(trigger->GetAxisAlignedBox().min, Ogre::Vector3(-1, 1, 2.5f));
    ExpectVector(trigger->GetAxisAlignedBox().max, Ogre::Vector3(3, 3, 3.5f));

    trigger->SetOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y), false);
    ExpectVector(obb.axes.GetColumn(0), Ogre::Vector3(0, 0, -1));
    ExpectVector(trigger->GetAxisAlignedBox().min, Ogre::Vector3(0.5f, 1, 1));
    ExpectVector(trigger->GetAxisAlignedBox().max, Ogre::Vector3(1.5f, 3, 5));

    trigger->translate(Ogre::Vector3(0, -2, 0), CKEMSceneGraphicHandle::SPACE_WORLD);
    trigger->SetScale(Ogre::Vector3(2, 2, 2));
    ExpectVector(obb.center, Ogre::Vector3(1, 0, 3));
    ExpectVector(obb.halfExtents, Ogre::Vector3(1, 1, 1));
}

// The geometry type shows only while the debug display is on, and the debug
// display does not change the volume.
TEST_F(TriggerTest, DebugDisplayShowsTheMeshOfTheType)
{
    CKEMSceneGraph::Hooks().drawDebugBox = &DrawBox;
    CKEMSceneGraph::Hooks().removeDebugShape = &RemoveShape;
    auto* trigger = new CKEMSceneTrigger(nullptr, CKEMSceneTrigger::GEOMETRY_BOX);
    trigger->SetScale(Ogre::Vector3(3, 3, 3));
    const Ogre::Vector3 halfExtents = trigger->GetOrientedBox().halfExtents;

    trigger->SetGeometryType(CKEMSceneTrigger::GEOMETRY_SPHERE);
    EXPECT_EQ(DebugMesh(trigger), "");
    EXPECT_EQ(mSceneManager->getMovableObjects("Entity").size(), 0u);

    trigger->setDebugMode(true);
    EXPECT_EQ(DebugMesh(trigger), "triggerGeometrySphere.mesh");
    trigger->SetGeometryType(CKEMSceneTrigger::GEOMETRY_BOX);
    EXPECT_EQ(DebugMesh(trigger), "triggerGeometryCube.mesh");
    EXPECT_EQ(mSceneManager->getMovableObjects("Entity").size(), 1u);
    ExpectVector(trigger->GetOrientedBox().halfExtents, halfExtents);
    const std::string id = trigger->GetPart().debugId;
    ASSERT_FALSE(gShapes.empty());
    EXPECT_EQ(gShapes.back(), "draw " + id);

    trigger->setDebugMode(false);
    EXPECT_EQ(DebugMesh(trigger), "");
    EXPECT_EQ(mSceneManager->getMovableObjects("Entity").size(), 0u);
    EXPECT_EQ(gShapes.back(), "remove " + id);
}
