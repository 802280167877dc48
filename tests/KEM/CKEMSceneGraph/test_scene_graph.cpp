// The scene graph (root, lookup, deletion, debug switch, current camera) and
// the node passes of a scene file, without a display.
#include "SceneGraphTest.h"

#include <CKEMSceneCamera.h>
#include <CKEMSceneLight.h>
#include <CKEMSceneObject.h>
#include <CKEMScenePath.h>
#include <CSceneMgr.h>
#include <CWrapOgreEntity.h>

#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <set>

namespace {

void ExpectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
{
    Ogre::Vector3 position;
    node->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    return position;
}

CKEMSceneNode* Named(const std::string& name, CKEMSceneNode* parent = nullptr)
{
    CKEMSceneNode* node = new CKEMSceneNode(parent);
    node->setName(name);
    return node;
}

// Records its setDebugMode calls.
class DebugRecorder : public CKEMSceneNode {
public:
    DebugRecorder(const std::string& name, CKEMSceneNode* parent, std::vector<std::string>& calls)
        : CKEMSceneNode(parent), mCalls(calls)
    {
        setName(name);
    }
    void setDebugMode(bool debug) override
    {
        mCalls.push_back(getName() + (debug ? " on" : " off"));
        CKEMSceneNode::setDebugMode(debug);
    }

private:
    std::vector<std::string>& mCalls;
};

// Nodes of class type 50 made through the factory hook; each knows whether
// it is still alive and how often it was destroyed.
const int kCountedType = 50;
std::set<const CKEMSceneNode*> gAlive;
int gCreated = 0;
int gDestroyed = 0;

class CountedNode : public CKEMSceneNode {
public:
    explicit CountedNode(CKEMSceneNode* parent) : CKEMSceneNode(parent)
    {
        SetClassType(kCountedType);
        SetGraphicNode(new CKEMSceneGraphicHandle(this));
        setName(mGraphicHandle->create(nullptr));
        gAlive.insert(this);
        ++gCreated;
    }
    ~CountedNode() override
    {
        EXPECT_EQ(gAlive.erase(this), 1u) << "a node deleted twice";
        ++gDestroyed;
    }
};

CKEMSceneNode* CountedFactory(int classType, CKEMSceneNode* parent, const std::string&)
{
    return classType == kCountedType ? new CountedNode(parent) : nullptr;
}

}  // namespace

TEST_F(SceneGraphTest, FindsDepthFirstInPreOrderAndDeletesSubtrees)
{
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(Root()->getName(), "KEM_ROOT");
    EXPECT_EQ(CKEMSceneNode::GetSceneRoot(), Root());
    EXPECT_EQ(Root()->getParent(), nullptr);

    CKEMSceneNode* a = Named("a");
    CKEMSceneNode* b = Named("b", a);
    CKEMSceneNode* deepTwin = Named("twin", b);
    CKEMSceneNode* c = Named("c", a);
    Named("twin", c);
    Named("");
    ASSERT_EQ(a->getParent(), Root());

    EXPECT_EQ(CKEMSceneGraph::FindNode("twin"), deepTwin);
    EXPECT_EQ(CKEMSceneGraph::FindNode("twin", c), c->GetChild(0));
    EXPECT_EQ(CKEMSceneGraph::FindNode("KEM_ROOT"), Root());
    EXPECT_EQ(CKEMSceneGraph::FindNode(""), nullptr);   // although a node has that name
    EXPECT_EQ(CKEMSceneGraph::FindNode("nobody"), nullptr);

    EXPECT_TRUE(CKEMSceneGraph::DeleteNode("b"));
    EXPECT_EQ(a->GetChildren(), std::vector<CKEMSceneNode*>{c});
    EXPECT_EQ(CKEMSceneGraph::FindNode("twin"), c->GetChild(0));
    EXPECT_FALSE(CKEMSceneGraph::DeleteNode("b"));
}

TEST_F(SceneGraphTest, DebugSwitchReachesEveryNodeBelowTheRootOnlyOnAChange)
{
    std::vector<std::string> calls;
    CKEMSceneNode* a = new DebugRecorder("a", nullptr, calls);
    new DebugRecorder("a1", a, calls);
    new DebugRecorder("b", nullptr, calls);

    ASSERT_TRUE(CKEMSceneGraph::getDebugMode());   // on from the start
    CKEMSceneGraph::SetDebugMode(true);
    EXPECT_TRUE(calls.empty());
    CKEMSceneGraph::SetDebugMode(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"a off", "a1 off", "b off"}));
    EXPECT_FALSE(Root()->getDebugMode());
    calls.clear();
    CKEMSceneGraph::SetDebugMode(true);
    EXPECT_EQ(calls, (std::vector<std::string>{"a on", "a1 on", "b on"}));
}

// The run state reads the current camera for the sound listener: a camera
// node that is deleted leaves the holder instead of dangling there.
TEST_F(SceneGraphTest, CurrentCameraFollowsSetAndLeavesWhenDeleted)
{
    CKEMSceneCamera* first = new CKEMSceneCamera(nullptr);
    first->setName("first");
    CKEMSceneCamera* second = new CKEMSceneCamera(nullptr);
    second->setName("second");
    first->setPosition(Ogre::Vector3(1, 2, 3), false);

    CKEMSceneGraph::SetCurrentCamera(first);
    CKEMSceneGraph::SetCurrentCamera(second);
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), second);
    EXPECT_EQ(CKEMSceneGraph::GetPreviousCamera(), first);

    ASSERT_TRUE(CKEMSceneGraph::DeleteNode("second"));
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), nullptr);
    Ogre::Matrix4 listener;
    ASSERT_NE(CSceneMgr::Services().currentCameraMatrix, nullptr);
    EXPECT_FALSE(CSceneMgr::Services().currentCameraMatrix(listener));

    CKEMSceneGraph::SetCurrentCamera(first);
    ASSERT_TRUE(CSceneMgr::Services().currentCameraMatrix(listener));
    ExpectVector(listener.getTrans(), Ogre::Vector3(1, 2, 3));

    CKEMSceneGraph::DestroyRootNode();
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), nullptr);
    EXPECT_EQ(CKEMSceneGraph::GetPreviousCamera(), nullptr);
    EXPECT_EQ(CKEMSceneNode::GetSceneRoot(), nullptr);
}

// Our venue files: the ground "terrain" with its mesh and material, the light
// hung under the ground although it is listed first, the camera with its
// projection (hidden), and a path of at least four points.
class VenueNodes : public SceneGraphTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(VenueNodes, LoadIntoOneTree)
{
    const std::string text = ReadText(VenueFile(GetParam()));
    ASSERT_FALSE(text.empty());
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));

    auto* terrain = dynamic_cast<CKEMSceneObject*>(CKEMSceneGraph::FindNode("terrain"));
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->getParent(), Root());
    EXPECT_EQ(terrain->getKEM_NodeType(), CKEMSceneNode::KEM_SCENEOBJECT_MESH);
    ASSERT_NE(terrain->GetObjectEntityHandle()->GetEntity(), nullptr);
    EXPECT_EQ(terrain->GetObjectEntityHandle()->GetEntity()->getMesh()->getName(), "ground.mesh");
    EXPECT_EQ(terrain->GetObjectEntityHandle()->GetEntity()->getSubEntity(0)->getMaterialName(), "KEM/Ground");

    auto* light = dynamic_cast<CKEMSceneLight*>(CKEMSceneGraph::FindNode("venue_light"));
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->getParent(), terrain);
    EXPECT_EQ(light->GetGraphicNode()->getNode()->getParentNode(), terrain->GetGraphicNode()->getNode());
    EXPECT_TRUE(light->IsEnabled());

    auto* camera = dynamic_cast<CKEMSceneCamera*>(CKEMSceneGraph::FindNode("venue_cam"));
    ASSERT_NE(camera, nullptr);
    EXPECT_FLOAT_EQ(camera->GetCamera()->GetCamera()->getNearClipDistance(), 0.1f);
    EXPECT_FALSE(camera->IsVisible());

    auto* path = dynamic_cast<CKEMScenePath*>(CKEMSceneGraph::FindNode("camera_path"));
    ASSERT_NE(path, nullptr);
    EXPECT_GE(path->GetPointCount(), 4);
    EXPECT_EQ(Root()->GetChildCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Files, VenueNodes, ::testing::Values("training.xml", "marseille.xml"));

TEST_F(SceneGraphTest, TrainingVenueAppliesItsInitialConditions)
{
    const std::string text = ReadText(VenueFile("training.xml"));
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
    CKEMSceneNode* light = CKEMSceneGraph::FindNode("venue_light");
    CKEMSceneNode* camera = CKEMSceneGraph::FindNode("venue_cam");
    ASSERT_NE(light, nullptr);
    ASSERT_NE(camera, nullptr);
    ExpectVector(WorldPosition(light), Ogre::Vector3(0, 5, 0));
    ExpectVector(WorldPosition(camera), Ogre::Vector3(0, 8, 14));
    // Looking down at the ground's centre.
    ExpectVector(camera->GetDirection(), Ogre::Vector3(0, -8, -14).normalisedCopy());
    Ogre::Vector3 point;
    static_cast<CKEMScenePath*>(CKEMSceneGraph::FindNode("camera_path"))->GetPoint(point, 1, true);
    ExpectVector(point, Ogre::Vector3(0, 6, 12));
}

// A child gets its initial conditions relative to its parent whichever of the
// two the file lists first.
class ParentOrder : public SceneGraphTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ParentOrder, ChildEndsUnderItsParentWithRelativeInitialConditions)
{
    const std::string parent = NodeRecord(9, "P", "KEM_ROOT", Position(10, 0, 0));
    const std::string child = NodeRecord(9, "C", "P", Position(1, 2, 3));
    const std::string grandChild = NodeRecord(9, "G", "C", Position(0, 1, 0));
    const bool childFirst = GetParam();
    const std::string text = Scene(childFirst ? grandChild + child + parent : parent + child + grandChild);
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));

    CKEMSceneNode* p = CKEMSceneGraph::FindNode("P");
    CKEMSceneNode* c = CKEMSceneGraph::FindNode("C");
    CKEMSceneNode* g = CKEMSceneGraph::FindNode("G");
    ASSERT_TRUE(p && c && g);
    EXPECT_EQ(Root()->GetChildren(), std::vector<CKEMSceneNode*>{p});
    EXPECT_EQ(c->getParent(), p);
    EXPECT_EQ(g->getParent(), c);
    ExpectVector(WorldPosition(c), Ogre::Vector3(11, 2, 3));
    ExpectVector(WorldPosition(g), Ogre::Vector3(11, 3, 3));
}

INSTANTIATE_TEST_SUITE_P(ParentFirstOrLast, ParentOrder, ::testing::Bool());

// Files whose nodes find their parents by name many thousand times: a chain
// each node the child of the one before (parents listed first), and a crowd
// of siblings listed before their parent. Every node must end up where its
// record says, a record naming no node stays under the root, and a record
// naming no parent (the empty name) hangs under no nameless node.
TEST_F(SceneGraphTest, DeepChainsAndLateParentsLinkEveryNode)
{
    const int kChain = 60000;
    std::string body;
    body.reserve(size_t(kChain) * 160);
    body += NodeRecord(0, "n0", "KEM_ROOT");
    for (int i = 1; i < kChain; ++i)
        body += NodeRecord(0, "n" + std::to_string(i), "n" + std::to_string(i - 1));
    const int kSiblings = 20000;
    for (int i = 0; i < kSiblings; ++i)
        body += NodeRecord(0, "s" + std::to_string(i), "family");
    body += NodeRecord(0, "family", "KEM_ROOT");
    body += NodeRecord(0, "orphan", "nobody") + NodeRecord(0, "", "") + NodeRecord(0, "unparented", "");
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(Scene(body).c_str()));

    int depth = 0;
    const CKEMSceneNode* node = CKEMSceneGraph::FindNode("n0");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getParent(), Root());
    for (; node->GetChildCount() == 1; node = node->GetChildren()[0]) {
        ++depth;
        ASSERT_EQ(node->GetChildren()[0]->getName(), "n" + std::to_string(depth));
    }
    EXPECT_EQ(depth, kChain - 1);
    EXPECT_EQ(node->GetChildCount(), 0);

    const CKEMSceneNode* family = CKEMSceneGraph::FindNode("family");
    ASSERT_NE(family, nullptr);
    ASSERT_EQ(family->GetChildCount(), kSiblings);
    EXPECT_EQ(family->GetChildren().front()->getName(), "s0");
    EXPECT_EQ(family->GetChildren().back()->getName(), "s" + std::to_string(kSiblings - 1));

    for (const char* name : {"orphan", "unparented"}) {
        const CKEMSceneNode* loose = CKEMSceneGraph::FindNode(name);
        ASSERT_NE(loose, nullptr) << name;
        EXPECT_EQ(loose->getParent(), Root()) << name;
    }
}

// A failed node pass takes every node it made out of the tree and deletes each
// once, also the ones already moved under another listed node.
class FailedNodePass : public SceneGraphTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        gAlive.clear();
        gCreated = gDestroyed = 0;
        CKEMSceneGraph::Hooks().createNode = &CountedFactory;
    }
};

TEST_P(FailedNodePass, LeavesNothingBehind)
{
    CKEMSceneNode* bystander = Named("bystander");
    const std::string text = Scene(NodeRecord(kCountedType, "C", "P") + NodeRecord(kCountedType, "P", "KEM_ROOT") +
                                   NodeRecord(kCountedType, "Q", "P") + NodeRecord(kCountedType, "R", "Q") +
                                   GetParam());
    EXPECT_FALSE(CKEMSceneGraph::LoadNodes(text.c_str()));
    EXPECT_EQ(Root()->GetChildren(), std::vector<CKEMSceneNode*>{bystander});
    EXPECT_TRUE(gAlive.empty());
    EXPECT_GE(gCreated, 4);
    EXPECT_EQ(gDestroyed, gCreated);
    // No graphics node of the pass is left either.
    EXPECT_TRUE(mWorld->GetRootNode()->getChildren().empty());
    EXPECT_EQ(mSceneManager->getRootSceneNode()->numChildren(), 1u);   // the world's root node
}

INSTANTIATE_TEST_SUITE_P(
    Tails, FailedNodePass,
    ::testing::Values(
        // A record that cannot be read (a vector without y and z).
        "<KEM_SCENE_NODE_VARLIST><CKEMSCENENODE_CLASSTYPE value=\"50\" />"
        "<CKEMSCENENODE_POSITION_IC x=\"1\" /></KEM_SCENE_NODE_VARLIST>",
        // A ground whose mesh does not exist.
        "<KEM_SCENE_NODE_VARLIST><CKEMSCENENODE_CLASSTYPE value=\"1\" /><CKEMSCENENODE_NAME value=\"T\"/>"
        "<CKEMSCENEOBJECT_MRESSOURCE value=\"no_such.mesh\"/></KEM_SCENE_NODE_VARLIST>"));

TEST_F(SceneGraphTest, RecordsWithoutAKindAreSkippedAndTheOthersStayInStep)
{
    const std::string noKind = "<KEM_SCENE_NODE_VARLIST><CKEMSCENENODE_NAME value=\"nokind\"/></KEM_SCENE_NODE_VARLIST>";
    const std::string text = Scene(NodeRecord(99, "ghost", "KEM_ROOT") + NodeRecord(9, "A", "KEM_ROOT", Position(1, 0, 0)) +
                                   noKind + NodeRecord(9, "B", "A", Position(0, 1, 0)));
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
    EXPECT_EQ(Root()->GetChildCount(), 1);
    CKEMSceneNode* b = CKEMSceneGraph::FindNode("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getParent(), CKEMSceneGraph::FindNode("A"));
    ExpectVector(WorldPosition(b), Ogre::Vector3(1, 1, 0));
    EXPECT_EQ(CKEMSceneGraph::FindNode("ghost"), nullptr);
    EXPECT_EQ(CKEMSceneGraph::FindNode("nokind"), nullptr);
}

TEST_F(SceneGraphTest, PrefixNamesEveryNodeButTheRoot)
{
    const std::string text = Scene(NodeRecord(9, "B", "A") + NodeRecord(9, "A", "KEM_ROOT"));
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str(), "p_"));
    CKEMSceneNode* a = CKEMSceneGraph::FindNode("p_A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getParent(), Root());
    ASSERT_NE(CKEMSceneGraph::FindNode("p_B"), nullptr);
    EXPECT_EQ(CKEMSceneGraph::FindNode("p_B")->getParent(), a);
}

TEST_F(SceneGraphTest, TextWithoutRootMakesNoNode)
{
    EXPECT_FALSE(CKEMSceneGraph::LoadNodes(NodeRecord(9, "A", "KEM_ROOT").c_str()));
    EXPECT_FALSE(CKEMSceneGraph::LoadNodes(nullptr));
    EXPECT_EQ(Root()->GetChildCount(), 0);
}

TEST_F(SceneGraphTest, FactoryBuildsTheKindsOfThisLibraryOnly)
{
    struct Row {
        int type;
        int expected;   // class type of the node made, -1: none
    };
    const Row rows[] = {{0, 0}, {1, 0}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}, {11, -1}, {12, -1}, {-1, -1}};
    for (const Row& row : rows) {
        CKEMSceneNode* node = CKEMSceneGraph::CreateNodeByType(row.type, nullptr, "");
        if (row.expected < 0) {
            EXPECT_EQ(node, nullptr) << row.type;
            continue;
        }
        ASSERT_NE(node, nullptr) << row.type;
        // An object without resource takes its kind from the resource (none: 0).
        EXPECT_EQ(node->getKEM_NodeType(), row.expected) << row.type;
        EXPECT_EQ(node->getParent(), Root());
    }
    CKEMSceneNode* ground = CKEMSceneGraph::CreateNodeByType(1, nullptr, "ground.mesh");
    EXPECT_EQ(ground->getKEM_NodeType(), 1);
    EXPECT_NE(static_cast<CKEMSceneObject*>(ground)->GetObjectEntityHandle()->GetEntity(), nullptr);
}
