#include "OgreHeadless.h"
#include "TestSceneNodes.h"

#include <CKEMSceneGraphicHandle.h>
#include <CWrapOgreNode.h>
#include <KEMException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A node kind with a graphics node, as the node kinds make it.
class GraphicNode : public CKEMSceneNode {
public:
    GraphicNode(const std::string& name, CKEMSceneNode* parent = nullptr) : CKEMSceneNode(parent)
    {
        auto* handle = new CKEMSceneGraphicHandle(this);
        CKEMSceneGraphicHandle* parentHandle = parent ? parent->GetGraphicNode() : nullptr;
        handle->create(parentHandle ? parentHandle->getNode() : nullptr);
        SetGraphicNode(handle);
        setName(name);
    }
    Ogre::Vector3 WorldPosition() const
    {
        Ogre::Vector3 p;
        GetPosition(p, CKEMSceneGraphicHandle::SPACE_WORLD);
        return p;
    }
    Ogre::Quaternion WorldOrientation() const
    {
        Ogre::Quaternion q;
        GetOrientation(q, CKEMSceneGraphicHandle::SPACE_WORLD);
        return q;
    }
    std::string OgreName() const { return GetGraphicNode()->getNode()->getOgreNode()->getName(); }
};

void ExpectNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected, const char* what)
{
    EXPECT_LT(actual.distance(expected), 1e-4f) << what << ": " << actual << " vs " << expected;
}

void ExpectSameRotation(const Ogre::Quaternion& actual, const Ogre::Quaternion& expected, const char* what)
{
    EXPECT_TRUE(actual.equals(expected, Ogre::Radian(1e-3f))) << what << ": " << actual << " vs " << expected;
}

class SceneNodeTest : public OgreWrapTest {
protected:
    void SetUp() override
    {
        OgreWrapTest::SetUp();
        mRoot.reset(new ScopedSceneRoot);
    }
    void TearDown() override
    {
        mRoot.reset();   // the tree goes while the graphics world still exists
        OgreWrapTest::TearDown();
    }
    CKEMSceneNode* Root() const { return mRoot->get(); }

    std::unique_ptr<ScopedSceneRoot> mRoot;
};

TEST_F(SceneNodeTest, ReparentingKeepsTheWorldPoseAndFollowsTheNewParent)
{
    GraphicNode* parent = new GraphicNode("parent");
    parent->setPosition(Ogre::Vector3(10, 0, 0), false);
    parent->SetOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y), false);
    GraphicNode* node = new GraphicNode("node");
    const Ogre::Vector3 position(1, 2, 3);
    const Ogre::Quaternion orientation(Ogre::Degree(30), Ogre::Vector3::UNIT_X);
    node->setPosition(position, false);
    node->SetOrientation(orientation, false);
    ASSERT_EQ(node->getParent(), Root());

    node->SetParent(parent);
    EXPECT_EQ(node->getParent(), parent);
    EXPECT_EQ(node->GetParentName(), "parent");
    EXPECT_EQ(Root()->GetChildCount(), 1);
    ExpectNear(node->WorldPosition(), position, "world position after the move");
    ExpectSameRotation(node->WorldOrientation(), orientation, "world orientation after the move");

    parent->translate(Ogre::Vector3(0, 5, 0), CKEMSceneGraphicHandle::SPACE_WORLD);
    updateSceneGraph();   // children see a parent's move at the next frame's update
    ExpectNear(node->WorldPosition(), position + Ogre::Vector3(0, 5, 0), "follows its new parent");

    node->SetParent(Root());
    EXPECT_EQ(parent->GetChildCount(), 0);
    ExpectNear(node->WorldPosition(), position + Ogre::Vector3(0, 5, 0), "back under the root");
    parent->translate(Ogre::Vector3(0, 5, 0), CKEMSceneGraphicHandle::SPACE_WORLD);
    updateSceneGraph();
    ExpectNear(node->WorldPosition(), position + Ogre::Vector3(0, 5, 0), "no longer follows");
}

TEST_F(SceneNodeTest, PostLoadInitLinksUnderTheNamedParentButNeverIntoItsOwnSubtree)
{
    GraphicNode* parent = new GraphicNode("parent");
    GraphicNode* node = new GraphicNode("node");
    GraphicNode* grandChild = new GraphicNode("grandChild", node);
    struct Case {
        const char* parentName;
        CKEMSceneNode* expectedParent;
    } cases[] = {
        {"parent", parent},
        {"node", parent},          // itself
        {"grandChild", parent},    // its own descendant
        {"nobody", parent},        // unknown: stays where it is
        {"KEM_ROOT", Root()},
    };
    for (const Case& c : cases) {
        node->SetNames("node", c.parentName);
        node->SetInitialConditions(Ogre::Vector3(1, 0, 0), Ogre::Quaternion::IDENTITY, Ogre::Vector3::UNIT_SCALE);
        node->PostLoadInit();
        EXPECT_EQ(node->getParent(), c.expectedParent) << c.parentName;
        EXPECT_EQ(grandChild->getParent(), node);
    }
}

TEST_F(SceneNodeTest, ScalingANodeScalesItsSubtreeByTheSameRatio)
{
    GraphicNode* parent = new GraphicNode("parent");
    GraphicNode* child = new GraphicNode("child", parent);
    child->SetScale(Ogre::Vector3(2, 1, 4));
    parent->SetScale(Ogre::Vector3(3, 1, 0.5f));
    Ogre::Vector3 scale;
    child->GetScale(scale);
    ExpectNear(scale, Ogre::Vector3(6, 1, 2), "child scale");
}

TEST_F(SceneNodeTest, LookAtTurnsMinusZTowardTheTargetAndIgnoresATargetAtTheNode)
{
    GraphicNode* node = new GraphicNode("eye");
    const Ogre::Vector3 eye(1, 1, 1);
    node->setPosition(eye, false);
    ExpectNear(node->GetDirection(), Ogre::Vector3::NEGATIVE_UNIT_Z, "initial direction");

    const Ogre::Vector3 targets[] = {
        {4, 5, -11}, {1, 9, 1} /* straight up */, {1, -9, 1} /* straight down */, {-5, 1, 1}, {1, 0, 8},
    };
    for (const Ogre::Vector3& target : targets) {
        node->LookAt(target);
        ExpectNear(node->GetDirection(), (target - eye).normalisedCopy(), "direction to the target");
    }

    node->LookAt(Ogre::Vector3(4, 5, -11));
    const Ogre::Quaternion before = node->WorldOrientation();
    node->LookAt(eye);
    node->LookAt(eye + Ogre::Vector3(1e-8f, 0, 0));
    const Ogre::Quaternion after = node->WorldOrientation();
    EXPECT_FALSE(std::isnan(after.w) || std::isnan(after.x) || std::isnan(after.y) || std::isnan(after.z));
    ExpectSameRotation(after, before, "a target at the node changes nothing");
}

TEST_F(SceneNodeTest, DeletingANodeDeletesItsSubtreeAndLeavesItsParent)
{
    GraphicNode* parent = new GraphicNode("parent");
    GraphicNode* node = new GraphicNode("node", parent);
    TestNode* plainChild = new TestNode("plain", node);
    GraphicNode* grandChild = new GraphicNode("grandChild", node);
    bool plainDeleted = false;
    plainChild->deleted = &plainDeleted;
    const std::string nodeOgre = node->OgreName();
    const std::string grandChildOgre = grandChild->OgreName();

    delete node;
    EXPECT_TRUE(plainDeleted);
    EXPECT_EQ(parent->GetChildCount(), 0);
    EXPECT_FALSE(mSceneManager->hasSceneNode(nodeOgre));
    EXPECT_FALSE(mSceneManager->hasSceneNode(grandChildOgre));
}

// ---- without graphics -------------------------------------------------------------

class PlainNodeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CKEMSceneNode::ScriptHooks() = CKEMSceneNodeScriptHooks();
        CKEMSceneNode::PhysicHooks() = CKEMSceneNodePhysicHooks();
    }
    ScopedSceneRoot mRoot;
};

TEST_F(PlainNodeTest, WithoutGraphicsNodeTransformsReadAsIdentity)
{
    TestNode node("n");
    Ogre::Vector3 scale;
    Ogre::Matrix4 world;
    node.GetScale(scale);
    node.GetWorldMatrix(world);
    EXPECT_EQ(scale, Ogre::Vector3::UNIT_SCALE);
    EXPECT_EQ(world, Ogre::Matrix4::IDENTITY);
    node.LookAt(Ogre::Vector3::ZERO);   // at the node, and nothing to turn
    node.LookAt(Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(node.GetDirection(), Ogre::Vector3::NEGATIVE_UNIT_Z);
}

TEST_F(PlainNodeTest, EventTableHandlersAndQueue)
{
    TestNode node("n");
    node.RegisterEvents();   // wake, sleep and the two overlap handlers
    const CKEMSceneNode::EventHandler handler = static_cast<CKEMSceneNode::EventHandler>(&TestNode::OnOverlap);
    for (uint32_t id = 1; id <= 28; ++id)
        ASSERT_EQ(node.AddScriptEvent(id, handler), 0) << id;
    EXPECT_EQ(node.AddScriptEvent(99, handler), -1) << "table full";
    EXPECT_EQ(node.FindEventHandler(99), -1);
    EXPECT_EQ(node.AddScriptEvent(5, handler), 0) << "replacing needs no free entry";

    EXPECT_EQ(node.AddScriptEvent(5, nullptr), 0);
    EXPECT_EQ(node.FindEventHandler(5), -1);
    EXPECT_EQ(node.AddScriptEvent(5, nullptr), -1);
    EXPECT_EQ(node.AddScriptEvent(99, handler), 0) << "the freed entry is reused";
    EXPECT_EQ(node.SendEvent(5, nullptr, 0), -1);

    TestNode sender("sender");
    EXPECT_EQ(node.SendEvent(99, &sender, 0), 0);
    EXPECT_EQ(node.overlapEvents, (std::vector<ReceivedEvent>{{99, "sender"}}));

    node.overlapEvents.clear();
    node.SetUpdateFlags(0);
    ASSERT_EQ(node.QueueEvent(7, &sender, 1), 0);
    ASSERT_EQ(node.QueueEvent(5, &sender, 2), 0);   // no handler: skipped
    ASSERT_EQ(node.QueueEvent(99, nullptr, 3), 0);
    node.Manage();
    EXPECT_EQ(node.overlapEvents, (std::vector<ReceivedEvent>{{7, "sender"}, {99, ""}}));
    EXPECT_EQ(node.GetQueuedEventCount(), 0);
    for (int i = 0; i < CKEMSceneNode::MAX_EVENTS; ++i)
        ASSERT_EQ(node.QueueEvent(1, nullptr, 0), 0);
    EXPECT_EQ(node.QueueEvent(1, nullptr, 0), -1);
}

// A stand-in for the scripting library: records the calls the node makes.
struct ScriptCall {
    std::string function;
    std::vector<CKEMVMArg> args;
    bool wellFormed;
    bool nodeAsleep;
};
std::vector<ScriptCall> gScriptCalls;
int gScriptResult = 41;

int FakeCall(CKEMSceneNode* node, CKEMScript*, const char* function, const CKEMVMArg* args, int count,
             bool wellFormed)
{
    gScriptCalls.push_back({function, std::vector<CKEMVMArg>(args, args + count), wellFormed, node->IsAsleep()});
    if (!wellFormed)
        return -1;
    for (int i = 0; i < count; ++i)
        if (args[i].type == KEMVM_RESULT_INT)
            *static_cast<int*>(args[i].result) = gScriptResult;
    return 0;
}
bool FakeHasState(CKEMScript*) { return true; }

TEST_F(PlainNodeTest, VMCallHandsTheArgumentsToTheScriptingLibrary)
{
    static int script;
    TestNode node("n");
    EXPECT_EQ(node.VMCall("Anything", KEMVM_INT, 1, KEMVM_END), 0) << "no script";
    EXPECT_EQ(node.VMSetLife("Life"), -1) << "no script";

    CKEMSceneNode::ScriptHooks().call = &FakeCall;
    node.attachScript(reinterpret_cast<CKEMScript*>(&script));
    gScriptCalls.clear();

    int result = 0;
    EXPECT_EQ(node.VMCall("F", KEMVM_INT, -3, KEMVM_DOUBLE, 2.5, KEMVM_STRING, "txt", KEMVM_RESULT_INT, &result,
                          KEMVM_END),
              0);
    EXPECT_EQ(result, gScriptResult);
    ASSERT_EQ(gScriptCalls.size(), 1u);
    const std::vector<CKEMVMArg>& args = gScriptCalls[0].args;
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(args[0].intValue, -3);
    EXPECT_EQ(args[1].doubleValue, 2.5);
    EXPECT_STREQ(args[2].text, "txt");
    EXPECT_TRUE(gScriptCalls[0].wellFormed);

    int second = 0;
    EXPECT_EQ(node.VMCall("F", KEMVM_RESULT_INT, &result, KEMVM_RESULT_BOOL, &second, KEMVM_END), -1);
    EXPECT_EQ(node.VMCall("F", KEMVM_INT, 1, 9, 1, KEMVM_END), -1);
    EXPECT_FALSE(gScriptCalls[1].wellFormed);
    EXPECT_FALSE(gScriptCalls[2].wellFormed);

    // The life function needs a Lua state; it then runs with the frame counter.
    EXPECT_EQ(node.VMSetLife("Life"), -1);
    CKEMSceneNode::ScriptHooks().hasLuaState = &FakeHasState;
    EXPECT_EQ(node.VMSetLife("Life"), 0);
    gScriptCalls.clear();
    node.SetUpdateFlags(0);
    node.Manage();
    ASSERT_EQ(gScriptCalls.size(), 1u);
    EXPECT_EQ(gScriptCalls[0].function, "Life");
    EXPECT_EQ(gScriptCalls[0].args[0].intValue, static_cast<int>(node.GetFrameCounter()));

    // A wake event reaches "OnWakeUp" (with the sender's name) before the native handler wakes the node.
    TestNode sender("alarm");
    node.SetUpdateFlags(CKEMSceneNode::UPDATE_SLEEP_BITS);
    gScriptCalls.clear();
    EXPECT_EQ(node.SendEvent(CKEMSceneNode::EVENT_WAKEUP, &sender, 4), 0);
    ASSERT_EQ(gScriptCalls.size(), 1u);
    EXPECT_EQ(gScriptCalls[0].function, "OnWakeUp");
    EXPECT_STREQ(gScriptCalls[0].args[0].text, "alarm");
    EXPECT_EQ(gScriptCalls[0].args[1].intValue, 4);
    EXPECT_TRUE(gScriptCalls[0].nodeAsleep);
    EXPECT_FALSE(node.IsAsleep());

    node.removeScript();
    EXPECT_EQ(gScenaricMgr.IndexOf(&node), -1);
    EXPECT_EQ(gScriptCalls.back().function, "Term");
}

class RecordingListener : public CKEMSceneNodeInterface {
public:
    void OnContact(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) override
    {
        calls.push_back("begin " + node->getName() + " " + other->getName() + " " + std::to_string(info.depth));
    }
    void OnContactContinue(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) override
    {
        calls.push_back("continue " + node->getName() + " " + other->getName() + " " + std::to_string(info.depth));
    }
    void OnContactEnd(CKEMSceneNode* node, CKEMSceneNode* other) override
    {
        calls.push_back("end " + node->getName() + " " + other->getName());
    }
    std::vector<std::string> calls;
};

TEST_F(PlainNodeTest, ContactsFromThePhysicsWorldReachTheNodesListener)
{
    TestNode ball("ball");
    TestNode ground("ground");
    ContactInfo info;
    info.depth = 0.5f;
    IOdeContactReceiver* receiver = &ball;
    receiver->OnContactBegin(&ground, info);   // no listener yet: nothing

    RecordingListener listener;
    ball.SetContactListener(&listener);
    receiver->OnContactBegin(&ground, info);
    receiver->OnContactContinue(&ground, info);
    receiver->OnContactEnd(&ground);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"begin ball ground 0.500000", "continue ball ground 0.500000",
                                                        "end ball ground"}));
}

// A stand-in for the physics library's objects.
struct FakePhysicObject {
    CKEMSceneNode* node = nullptr;
    bool registered = false;
    bool* destroyed = nullptr;
};
FakePhysicObject* Fake(CPhysicObject* object) { return reinterpret_cast<FakePhysicObject*>(object); }
CPhysicObject* AsObject(FakePhysicObject* fake) { return reinterpret_cast<CPhysicObject*>(fake); }

TEST_F(PlainNodeTest, APhysicObjectBelongsToOneNode)
{
    CKEMSceneNodePhysicHooks& hooks = CKEMSceneNode::PhysicHooks();
    hooks.getNode = [](CPhysicObject* o) { return Fake(o)->node; };
    hooks.attachToNode = [](CPhysicObject* o, CKEMSceneNode* n) { Fake(o)->node = n; };
    hooks.registerObject = [](CPhysicObject* o) { Fake(o)->registered = true; };
    hooks.unregisterObject = [](CPhysicObject* o) { Fake(o)->registered = false; };
    hooks.destroy = [](CPhysicObject* o) { *Fake(o)->destroyed = true; };

    bool destroyed = false;
    FakePhysicObject object;
    object.destroyed = &destroyed;
    TestNode* a = new TestNode("a");
    TestNode b("b");
    a->attachPhysicObject(AsObject(&object));
    EXPECT_EQ(object.node, a);
    EXPECT_TRUE(object.registered);
    EXPECT_THROW(b.attachPhysicObject(AsObject(&object)), CKEMException);
    EXPECT_EQ(b.getPhysicObject(), nullptr);
    a->attachPhysicObject(AsObject(&object));   // its own object again: nothing
    EXPECT_FALSE(destroyed);

    delete a;
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(object.registered);
}

}  // namespace
