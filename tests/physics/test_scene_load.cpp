// A venue-style scene file through the engine's own loader: the framework's
// physics world, the physics sections read by the manager, nodes linked
// under their parents, and the node following its body once stepped.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <CKEMFrameWork.h>
#include <COdeActor.h>
#include <CPhysicObject.h>

#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

using namespace scenetext;

namespace {
std::string PathNode(const std::string& name, const std::string& parent, float x, float y, float z)
{
    char text[1024];
    std::snprintf(text, sizeof(text),
                  "<KEM_SCENE_NODE_VARLIST>\n"
                  "\t<CKEMSCENENODE_CLASSTYPE value=\"6\" />\n"
                  "\t<CKEMSCENENODE_NAME value=\"%s\"/>\n"
                  "\t<CKEMSCENENODE_PARENTNAME value=\"%s\"/>\n"
                  "\t<CKEMSCENENODE_POSITION_IC x=\"%f\" y=\"%f\" z=\"%f\" />\n"
                  "\t<CKEMSCENENODE_ORIENTATION_IC x=\"0\" y=\"0.707107\" z=\"0\" w=\"0.707107\" />\n"
                  "\t<CKEMSCENENODE_SCALE_IC x=\"1\" y=\"1\" z=\"1\" />\n"
                  "\t<CKEMSCENENODE_SCRIPT_PATH value=\"\"/>\n"
                  "\t<CKEMSCENENODE_PICK_MODE value=\"0\" />\n"
                  "\t<CKEMSCENENODE_VISIBLE value=\"1\" />\n"
                  "\t<CKEMSCENEPATH_MVECTORPOINTS Nb_Points=\"0\" ></CKEMSCENEPATH_MVECTORPOINTS>\n"
                  "</KEM_SCENE_NODE_VARLIST>\n",
                  name.c_str(), parent.c_str(), x, y, z);
    return text;
}

const char* kGraphicEnv =
    "<KEM_GRAPHICENV_MGR_VARLIST>\n"
    "\t<CGRAPHICENV_AMBIANT x=\"0.2\" y=\"0.2\" z=\"0.2\" />\n"
    "</KEM_GRAPHICENV_MGR_VARLIST>\n";
}

TEST_F(PhysicsSceneTest, LoadedObjectUnderAParentFollowsItsBody)
{
    // The framework makes and owns the world the loader binds the manager to.
    ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    // The child is listed before its parent; both are turned a quarter round.
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/physic_parent_scene.xml";
    {
        std::ofstream out(path);
        out << Root(Settings(1.0f / 400.0f) + Material("boule", 10.0f, 0.3f) +
                    PathNode("ball", "table", 0.0f, 3.0f, 1.0f) + PathNode("table", "KEM_ROOT", 2.0f, 1.0f, -4.0f) +
                    Object("ball", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule", 0.0f, 0.5f, 0.0f) + kGraphicEnv);
    }
    ASSERT_EQ(CKEMFrameWork::LoadScene(path.c_str()), 1);
    EXPECT_EQ(gPhysicMgr.GetWorld(), gKEMFrameWork.GetPhysicsWorld());

    CKEMSceneNode* table = CKEMSceneGraph::FindNode("table");
    CKEMSceneNode* ball = CKEMSceneGraph::FindNode("ball");
    ASSERT_NE(ball, nullptr);
    ASSERT_EQ(ball->getParent(), table);
    CPhysicObject* object = ball->getPhysicObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetMaterial(), gPhysicMgr.FindMaterial("boule"));

    // Before any step the body is where the file puts the shape: the table's
    // quarter turn carries the ball's (0, 3, 1) to (1, 3, 0).
    const Ogre::Vector3 start(2.0f + 1.0f, 1.0f + 3.0f + 0.5f, -4.0f);
    Frame(0.0f);
    EXPECT_LT(object->GetActor()->getPosition().distance(start), 1e-3f);

    for (int i = 0; i < 40; ++i)
        Frame(1.0f / 60.0f);
    const Ogre::Vector3 body = object->GetActor()->getPosition();
    EXPECT_LT(body.y, start.y - 1.0f);
    EXPECT_EQ(ball->getParent(), table);
    EXPECT_LT(RenderedPosition(ball).distance(body - Ogre::Vector3(0.0f, 0.5f, 0.0f)), 1e-3f);

    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    gKEMFrameWork.Term();
    EXPECT_EQ(gPhysicMgr.GetWorld(), nullptr);
}

TEST_F(PhysicsSceneTest, BrokenNodePosesAreRefusedAtLoad)
{
    // OGRE asserts on these and ODE aborts on a rotation it cannot
    // normalise: the node takes a neutral value, with a line naming it.
    const struct {
        const char* what;
        const char* from;
        const char* to;
    } cases[] = {
        {"NaN position", "y=\"3.000000\"", "y=\"nan\""},
        {"infinite position", "y=\"3.000000\"", "y=\"inf\""},
        {"zero orientation", "y=\"0.707107\" z=\"0\" w=\"0.707107\"", "y=\"0\" z=\"0\" w=\"0\""},
        {"NaN orientation", "w=\"0.707107\"", "w=\"nan\""},
        {"NaN scale", "<CKEMSCENENODE_SCALE_IC x=\"1\"", "<CKEMSCENENODE_SCALE_IC x=\"nan\""},
    };
    ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/broken_pose_scene.xml";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string node = PathNode("ball", "KEM_ROOT", 0.0f, 3.0f, 1.0f);
        ASSERT_NE(node.find(c.from), std::string::npos);
        node.replace(node.find(c.from), std::string(c.from).size(), c.to);
        {
            std::ofstream out(path);
            out << Root(Settings(1.0f / 400.0f) + Material("boule", 10.0f, 0.3f) + node +
                        Object("ball", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule") + kGraphicEnv);
        }
        static std::vector<std::string> lines;
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        ASSERT_EQ(CKEMFrameWork::LoadScene(path.c_str()), 1);
        for (int i = 0; i < 10; ++i)
            Frame(1.0f / 60.0f);
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("\"ball\"") != std::string::npos && line.find("refused") != std::string::npos;
        }));
        const Ogre::Vector3 body = CKEMSceneGraph::FindNode("ball")->getPhysicObject()->GetActor()->getPosition();
        EXPECT_TRUE(std::isfinite(body.x) && std::isfinite(body.y) && std::isfinite(body.z));
    }
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    gKEMFrameWork.Term();
}

TEST_F(PhysicsSceneTest, ValuesODEOrOgreCannotTakeAreRefusedAtLoadAndTheSceneSteps)
{
    // Each of these, alone in a venue file, ended the game once the scene was
    // stepped (ODE's abort, OGRE's assertion on a NaN pose). The load now
    // refuses it with a line naming the node or setting, and the scene runs.
    const struct {
        const char* what;
        const char* from;
        const char* to;
        const char* name;   // the node or setting the line names
    } cases[] = {
        {"NaN gravity", "y=\"-9.81\"", "y=\"nan\"", "gravity"},
        {"huge gravity", "y=\"-9.81\"", "y=\"-1e30\"", "gravity"},
        {"NaN CFM", "CFM value=\"0.00001\"", "CFM value=\"nan\"", "CFM"},
        {"NaN ball-joint anchor", "<CPHYSICJOINTBALL_ANCHOR x=\"0.500000\"", "<CPHYSICJOINTBALL_ANCHOR x=\"nan\"",
         "\"ball\""},
        {"huge ball-joint anchor", "<CPHYSICJOINTBALL_ANCHOR x=\"0.500000\"", "<CPHYSICJOINTBALL_ANCHOR x=\"1e30\"",
         "\"ball\""},
        {"box size 1e30", "x=\"0.200000\" y=\"0.200000\"", "x=\"1e30\" y=\"0.200000\"", "\"peg\""},
        {"sphere radius 1e30", "RADIUS value=\"0.100000\"", "RADIUS value=\"1e30\"", "\"ball\""},
        {"one transform element 1e30", "val0-1=\"0\"", "val0-1=\"1e30\"", "\"ball\""},
        {"transform not affine", "val3-3=\"1\"", "val3-3=\"0\"", "\"ball\""},
        {"mass 1e-30", "MASS value=\"0.700000\"", "MASS value=\"1e-30\"", "\"ball\""},
        {"node scale 0 above a body", "<CKEMSCENENODE_SCALE_IC x=\"1\"", "<CKEMSCENENODE_SCALE_IC x=\"0\"",
         "\"table\""},
        {"node position 1e30", "x=\"0.000000\" y=\"1.000000\"", "x=\"1e30\" y=\"1.000000\"", "\"table\""},
    };
    ASSERT_NE(gKEMFrameWork.Init(), nullptr);
    const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/refused_values_scene.xml";
    const std::string scene =
        Settings(1.0f / 400.0f) + Material("boule", 10.0f, 0.3f) + PathNode("table", "KEM_ROOT", 0.0f, 1.0f, 0.0f) +
        PathNode("ball", "table", 0.0f, 2.0f, 0.0f) + PathNode("peg", "KEM_ROOT", 1.0f, 3.0f, 0.0f) +
        Object("ball", 1, 1, 0.1f, 0.1f, 0.1f, 0.7f, "boule") + Object("peg", 1, 0, 0.2f, 0.2f, 0.2f, 1.0f, "boule") +
        BallJoint("ball", "peg", 0.5f, 3.0f, 0.0f) + kGraphicEnv;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = scene;
        const size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::string(c.from).size(), c.to);
        {
            std::ofstream out(path);
            out << Root(text);
        }
        static std::vector<std::string> lines;
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        ASSERT_EQ(CKEMFrameWork::LoadScene(path.c_str()), 1);
        for (int i = 0; i < 30; ++i)
            Frame(1.0f / 60.0f);
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(c.name) != std::string::npos && line.find("refused") != std::string::npos;
        })) << "no line names " << c.name;
        for (const char* name : {"ball", "peg"}) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
            ASSERT_NE(node, nullptr);
            const Ogre::Vector3 body = node->getPhysicObject()->GetActor()->getPosition();
            EXPECT_TRUE(std::isfinite(body.x) && std::isfinite(body.y) && std::isfinite(body.z)) << name;
            const Ogre::Vector3 shown = RenderedPosition(node);
            EXPECT_TRUE(std::isfinite(shown.x) && std::isfinite(shown.y) && std::isfinite(shown.z)) << name;
        }
    }
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    gKEMFrameWork.Term();
}
