// Physics values a venue file may carry that parse but cannot be played: a
// body on the node that carries the venue, a step the world can never fill
// or one that sends balls through the ground, shapes too thin to collide, kinds
// that do not exist. Each is refused at load with a line naming the file, the
// node (or record) and the attribute, and the scene steps and renders.
#include "CollisionMeshTestUtil.h"
#include "SceneText.h"

#include <CKEMFrameWork.h>
#include <CKEMSceneCamera.h>
#include <CWrapOgreCamera.h>
#include <COdeActor.h>
#include <CPhysicObject.h>
#include <KEMSceneLog.h>
#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace scenetext;

namespace {

std::vector<std::string>& Lines()
{
    static std::vector<std::string> lines;
    return lines;
}

void StartLog()
{
    Lines().clear();
    PlatSetLogSink([](const char* line) { Lines().push_back(line); });
}

bool Logged(const std::vector<std::string>& words)
{
    return std::any_of(Lines().begin(), Lines().end(), [&](const std::string& line) {
        return std::all_of(words.begin(), words.end(),
                           [&](const std::string& word) { return line.find(word) != std::string::npos; });
    });
}

std::string AllLines()
{
    std::string all;
    for (const std::string& line : Lines())
        all += line + "\n";
    return all;
}

std::string PathNode(const std::string& name, const std::string& parent, float y)
{
    return "<KEM_SCENE_NODE_VARLIST>\n"
           "\t<CKEMSCENENODE_CLASSTYPE value=\"6\" />\n"
           "\t<CKEMSCENENODE_NAME value=\"" + name + "\"/>\n"
           "\t<CKEMSCENENODE_PARENTNAME value=\"" + parent + "\"/>\n"
           "\t<CKEMSCENENODE_POSITION_IC x=\"0\" y=\"" + std::to_string(y) + "\" z=\"0\" />\n"
           "\t<CKEMSCENENODE_SCALE_IC x=\"1\" y=\"1\" z=\"1\" />\n"
           "\t<CKEMSCENEPATH_MVECTORPOINTS Nb_Points=\"0\" ></CKEMSCENEPATH_MVECTORPOINTS>\n"
           "</KEM_SCENE_NODE_VARLIST>\n";
}

const char* kGraphicEnv =
    "<KEM_GRAPHICENV_MGR_VARLIST>\n"
    "\t<CGRAPHICENV_AMBIANT x=\"0.2\" y=\"0.2\" z=\"0.2\" />\n"
    "</KEM_GRAPHICENV_MGR_VARLIST>\n";

std::string ReadVenue(const char* name)
{
    std::ifstream in(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Ogre::Vector3 WorldPosition(CKEMSceneNode* node)
{
    Ogre::Vector3 position;
    node->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    return position;
}

}  // namespace

TEST_F(PhysicsSceneTest, UnplayableValuesAreRefusedWithTheFileTheNodeAndTheAttribute)
{
    const struct {
        const char* from;
        const char* to;
        const char* node;        // what the line names beside the file
        const char* attribute;
    } cases[] = {
        // The world waits for a whole step: the balls stand still.
        {"STEP_SIZE value=\"0.002500\"", "STEP_SIZE value=\"1e30\"", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_STEP_SIZE"},
        // A second per step: a thrown ball passes through the ground.
        {"STEP_SIZE value=\"0.002500\"", "STEP_SIZE value=\"1.0\"", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_STEP_SIZE"},
        {"STEP_SIZE value=\"0.002500\"", "STEP_SIZE value=\"1e-30\"", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_STEP_SIZE"},
        // No softness at all: a loop of joints made ODE abort.
        {"CFM value=\"0.00001\"", "CFM value=\"0\"", "KEM_PHYSIC_MGR_VARLIST", "CPHYSICMGR_CFM"},
        {"x=\"0.200000\" y=\"0.200000\" z=\"0.200000\"", "x=\"0\" y=\"0\" z=\"0\"", "\"peg\"", "CPHYSICOBJECT_BOX_SIZE"},
        {"RADIUS value=\"0.100000\"", "RADIUS value=\"1e-40\"", "\"ball\"", "CPHYSICOBJECT_SPHERE_RADIUS"},
        {"SHAPE_TYPE value=\"1\"", "SHAPE_TYPE value=\"7\"", "\"ball\"", "CPHYSICOBJECT_SHAPE_TYPE"},
        {"ACTOR_TYPE value=\"1\"", "ACTOR_TYPE value=\"5\"", "\"ball\"", "CPHYSICOBJECT_ACTOR_TYPE"},
    };
    ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/unplayable_values_scene.xml";
    const std::string scene = Settings(1.0f / 400.0f) + Material("boule", 10.0f, 0.3f) +
                              PathNode("ball", "KEM_ROOT", 2.0f) + PathNode("peg", "KEM_ROOT", 3.0f) +
                              Object("ball", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule") +
                              Object("peg", 1, 0, 0.2f, 0.2f, 0.2f, 1.0f, "boule") + kGraphicEnv;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        std::string text = scene;
        const size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::string(c.from).size(), c.to);
        {
            std::ofstream out(path);
            out << Root(text);
        }
        StartLog();
        ASSERT_EQ(CKEMFrameWork::LoadScene(path.c_str()), 1);
        for (int i = 0; i < 30; ++i)
            Frame(1.0f / 60.0f);
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(Logged({"unplayable_values_scene.xml", c.node, c.attribute})) << AllLines();
        // Half a second of world time went by: what moves has fallen, and
        // what is shown is finite.
        const float step = gPhysicMgr.GetWorld()->GetStepSize();
        EXPECT_TRUE(step >= 1e-4f && step <= 0.01f) << step;
        CKEMSceneNode* peg = CKEMSceneGraph::FindNode("peg");
        ASSERT_NE(peg, nullptr);
        EXPECT_LT(peg->getPhysicObject()->GetActor()->getPosition().y, 2.9f);
        for (const char* name : {"ball", "peg"}) {
            const Ogre::Vector3 shown = RenderedPosition(CKEMSceneGraph::FindNode(name));
            EXPECT_TRUE(std::isfinite(shown.x) && std::isfinite(shown.y) && std::isfinite(shown.z)) << name;
        }
    }
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    gKEMFrameWork.Term();
}

// A movable body on the venue's own node dragged the ground, the cameras and
// every ball with it each frame until a pose went non-finite and OGRE
// asserted. It is refused at load, whatever its shape; the venue stays put
// and its balls still fall onto the ground.
TEST_F(PhysicsSceneTest, ABodyOnTheNodeThatCarriesTheVenueIsRefused)
{
    AddTestMeshes();
    const struct {
        const char* node;
        int shape;
        float radius;
    } cases[] = {{"terrain", 1, 0.01f}, {"terrain", 9, 0.0f}, {"terrain", 0, 1.0f}, {"KEM_ROOT", 1, 0.5f}};
    const std::string venue = ReadVenue("marseille.xml");
    ASSERT_FALSE(venue.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.node) + " shape " + std::to_string(c.shape));
        CKEMSceneGraph::CreateRootNode();
        gPhysicMgr.Clear();
        gPhysicMgr.CreateWorld(mWorld);
        std::string text = venue;
        text.insert(text.rfind("</ROOT>"), Object(c.node, 1, c.shape, c.radius, c.radius, c.radius, 50.0f, "terrain"));
        StartLog();
        KEMSceneLog::FileGuard file("marseille.xml");
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(Logged({"marseille.xml", std::string("\"") + c.node + "\"", "CPHYSICOBJECT_ACTOR_TYPE", "refused"}))
            << AllLines();

        CKEMSceneNode* terrain = CKEMSceneGraph::FindNode("terrain");
        CKEMSceneNode* camera = CKEMSceneGraph::FindNode("CameraLancer");
        ASSERT_NE(terrain, nullptr);
        ASSERT_NE(camera, nullptr);
        EXPECT_EQ(terrain->getPhysicObject(), nullptr);
        EXPECT_EQ(CKEMSceneGraph::GetRootNode()->getPhysicObject(), nullptr);
        const Ogre::Vector3 terrainAt = WorldPosition(terrain);
        const Ogre::Vector3 cameraAt = WorldPosition(camera);
        CPhysicObject* ball = AddBall("probe", Ogre::Vector3(1.0f, 1.0f, 2.0f), gPhysicMgr.FindMaterial("boule"));
        for (int i = 0; i < 240; ++i)
            Frame(1.0f / 60.0f);
        EXPECT_TRUE(WorldPosition(terrain).positionEquals(terrainAt, 1e-4f));
        EXPECT_TRUE(WorldPosition(camera).positionEquals(cameraAt, 1e-4f));
        // The boule came to rest on the ground, which did not move away.
        EXPECT_NEAR(ball->GetActor()->getPosition().y, 0.0375f, 0.01f);
        mSceneManager->_updateSceneGraph(static_cast<CKEMSceneCamera*>(camera)->GetCamera()->GetCamera()->getCamera());
    }
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
}

// A record that cannot be read names the node and the attribute it failed
// on, not only its number.
TEST_F(PhysicsSceneTest, AnUnreadableRecordNamesItsNodeAndAttribute)
{
    ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/unreadable_record_scene.xml";
    const struct {
        std::string body;
        const char* node;
        const char* attribute;
    } cases[] = {
        {PathNode("ball", "KEM_ROOT", 1.0f) + PathNode("peg", "KEM_ROOT", 2.0f) +
             "<KEM_SCENE_NODE_VARLIST>\n\t<CKEMSCENENODE_CLASSTYPE value=\"6\" />\n"
             "\t<CKEMSCENENODE_NAME value=\"broken\"/>\n\t<CKEMSCENENODE_POSITION_IC x=\"1\" />\n"
             "</KEM_SCENE_NODE_VARLIST>\n",
         "\"broken\"", "CKEMSCENENODE_POSITION_IC"},
        {PathNode("ball", "KEM_ROOT", 1.0f) + PathNode("peg", "KEM_ROOT", 2.0f) + BallJoint("ball", "peg", 0, 0, 0) +
             BrokenBallJoint("ball", "peg"),
         "\"ball\"", "CPHYSICJOINTBALL_ANCHOR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attribute);
        {
            std::ofstream out(path);
            out << Root(Settings(1.0f / 400.0f) + Material("boule", 10.0f, 0.3f) + c.body +
                        Object("ball", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule") +
                        Object("peg", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule") + kGraphicEnv);
        }
        StartLog();
        EXPECT_EQ(CKEMFrameWork::LoadScene(path.c_str()), 0);
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(Logged({"unreadable_record_scene.xml", c.node, c.attribute, "cannot be read"})) << AllLines();
        EXPECT_TRUE(Logged({"unreadable_record_scene.xml", "did not load"})) << AllLines();
    }
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    gKEMFrameWork.Term();
}

// A body flung out of the world, or given a pose that is not finite, leaves
// its node where it was: OGRE's bounds would overflow on the next frame.
TEST_F(PhysicsSceneTest, APoseOutOfTheWorldNeverReachesTheNode)
{
    gPhysicMgr.SetStepSize(0.01f);
    CPhysicObject* ball = AddBall("flung", Ogre::Vector3(0.0f, 1.0f, 0.0f));
    ball->setLinearVelocity(Ogre::Vector3(1.0e7f, 0.0f, 0.0f));
    StartLog();
    for (int i = 0; i < 6; ++i)
        Frame(1.0f / 60.0f);
    PlatSetLogSink(nullptr);
    EXPECT_GT(ball->GetActor()->getPosition().x, 1.0e5f);
    const Ogre::Vector3 shown = RenderedPosition(ball->GetNode());
    EXPECT_LE(std::fabs(shown.x), 1.0e5f) << shown;
    EXPECT_TRUE(Logged({"\"flung\"", "cannot be shown"})) << AllLines();

    // Code that hands a node a NaN pose is ignored the same way.
    const Ogre::Vector3 before = RenderedPosition(ball->GetNode());
    ball->GetNode()->setPosition(Ogre::Vector3(std::nanf(""), 0.0f, 0.0f), false);
    ball->GetNode()->SetOrientation(Ogre::Quaternion(std::nanf(""), 0.0f, 0.0f, 0.0f), false);
    EXPECT_TRUE(RenderedPosition(ball->GetNode()).positionEquals(before));
    mSceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_FALSE(std::isnan(ball->GetNode()->GetGraphicNode()->getNode()->getOgreNode()->_getDerivedOrientation().w));
}
