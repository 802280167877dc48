#include "AllPairsOverlap.h"
#include "TestSceneNodes.h"

#include <CSceneMgr.h>
#include <KEMCrc32.h>
#include <KEMOverlapTests.h>

#include <gtest/gtest.h>

#include <OgreMath.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

namespace {

const uint32_t kBegin = 0xF130323Au;
const uint32_t kEnd = 0x6D0C83C5u;
const uint32_t kEnter = 0x4EECC5EDu;
const uint32_t kLeave = 0x637216D1u;

class ScenaricMgrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(gScenaricMgr.GetCount(), 0);
        gScenaricMgr.ResetAll();   // frame counter 0: the next Update is a first frame
    }
    void TearDown() override { EXPECT_EQ(gScenaricMgr.GetCount(), 0) << "a test left nodes registered"; }

    // Registered test node under the scene root, placed away from the others.
    TestNode* MakeNode(const std::string& name, const Ogre::Vector3& at, int classType = CKEMSceneNode::KEM_SCENENODE)
    {
        TestNode* node = new TestNode(name, nullptr, classType);
        node->PlaceAt(at);
        gScenaricMgr.Register(node);
        return node;
    }

    ScopedSceneRoot mRoot;
};

TEST_F(ScenaricMgrTest, RegisteringTwiceRepeatsTheFirstFrameCallsButAddsNoEntry)
{
    TestNode* node = MakeNode("a", Ogre::Vector3::ZERO);
    EXPECT_EQ(node->firstManageCalls, 1);
    EXPECT_EQ(gScenaricMgr.Register(node), -1);
    EXPECT_EQ(node->firstManageCalls, 2);
    EXPECT_EQ(node->firstManageScriptCalls, 2);
    EXPECT_EQ(gScenaricMgr.GetCount(), 1);

    EXPECT_EQ(gScenaricMgr.Unregister(node), 0);
    EXPECT_EQ(node->termCalls, 1);
    EXPECT_EQ(gScenaricMgr.Unregister(node), -1);
    EXPECT_EQ(node->termCalls, 1);
}

TEST_F(ScenaricMgrTest, FirstUpdateGivesTheFirstFrameCallsOnceAndRunsFromTheSceneManager)
{
    TestNode* a = MakeNode("a", Ogre::Vector3(0, 0, 0));
    TestNode* b = MakeNode("b", Ogre::Vector3(100, 0, 0));
    for (TestNode* n : {a, b})
        ASSERT_EQ(n->firstManageCalls, 1);   // from Register

    ASSERT_NE(CSceneMgr::Services().scenaricUpdate, nullptr);
    for (int frame = 0; frame < 5; ++frame)
        gSceneMgr.Manage();

    for (TestNode* n : {a, b}) {
        EXPECT_EQ(n->firstManageCalls, 2) << n->getName();
        EXPECT_EQ(n->firstManageScriptCalls, 2) << n->getName();
        EXPECT_TRUE(n->IsFirstManageDone());
    }
    EXPECT_EQ(gScenaricMgr.GetFrameCounter(), 5u);
    delete a;
    delete b;
}

// An inactive node's own period.
struct PeriodCase {
    uint32_t period;
    std::vector<uint32_t> expectedRuns;   // frame counters at which the body ran
};

TEST_F(ScenaricMgrTest, UpdatePeriodDecidesWhichFramesRunTheNodeBody)
{
    const PeriodCase cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}},
        {1, {}},
        {14, {1, 15, 29}},
        {5, {1, 6, 11, 16, 21, 26}},
        {0xFFFF, {}},
    };
    for (const PeriodCase& c : cases) {
        TestNode node("n");
        node.SetUpdateFlags(c.period);
        for (int call = 0; call < 30; ++call)
            node.Manage();
        EXPECT_EQ(node.lifeFrames, c.expectedRuns) << "period " << c.period;
    }
}

TEST_F(ScenaricMgrTest, AnActiveNodeRunsEveryFrameAndGetsItsPeriodBackWhenInactive)
{
    TestNode node("n");
    node.SetUpdateFlags(14);
    node.SetActive(true);
    for (int call = 0; call < 3; ++call)
        node.Manage();
    EXPECT_EQ(node.lifeFrames, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(node.GetUpdateFlags() & CKEMSceneNode::UPDATE_PERIOD_MASK, 0u);

    node.SetActive(false);
    node.lifeFrames.clear();
    for (int call = 0; call < 14; ++call)
        node.Manage();   // frames 4..17: only 15 matches 15 % 14 == 1
    EXPECT_EQ(node.lifeFrames, (std::vector<uint32_t>{15}));
    EXPECT_EQ(node.GetUpdateFlags(), 14u);
}

TEST_F(ScenaricMgrTest, OnlyNodesInsideTheSphereOrKeptActiveAreManaged)
{
    const Ogre::Vector3 far(10000, 0, 0);
    TestNode* inside = MakeNode("inside", Ogre::Vector3(5990, 0, 0));
    TestNode* outside = MakeNode("outside", far + Ogre::Vector3(0, 0, 50));
    TestNode* awake = MakeNode("awake", far + Ogre::Vector3(0, 0, 100));
    awake->SetUpdateFlags(awake->GetUpdateFlags() | CKEMSceneNode::UPDATE_WAKE_BITS);
    TestNode* queued = MakeNode("queued", far + Ogre::Vector3(0, 0, 150));
    TestNode* child = new TestNode("child", inside);
    child->PlaceAt(far + Ogre::Vector3(0, 0, 200));
    gScenaricMgr.Register(child);
    ASSERT_EQ(queued->QueueEvent(0x1234, nullptr, 0), 0);
    gScenaricMgr.Update();
    gScenaricMgr.Update();

    EXPECT_EQ(inside->lifeFrames.size(), 2u);
    EXPECT_TRUE(outside->lifeFrames.empty());
    EXPECT_EQ(awake->lifeFrames.size(), 2u);
    EXPECT_EQ(queued->lifeFrames.size(), 1u) << "active only while its event was queued";
    EXPECT_EQ(child->lifeFrames.size(), 2u) << "active with its active parent";
    EXPECT_EQ(queued->GetQueuedEventCount(), 0);
    delete inside;   // and child
    delete outside;
    delete awake;
    delete queued;
}

TEST_F(ScenaricMgrTest, KilledNodeIsTerminatedAndDeletedInTheSameUpdateAndNoLongerFound)
{
    TestNode* parent = MakeNode("parent", Ogre::Vector3(0, 0, 0));
    TestNode* victim = new TestNode("twin", parent);
    victim->PlaceAt(Ogre::Vector3(50, 0, 0));
    gScenaricMgr.Register(victim);
    TestNode* namesake = MakeNode("twin", Ogre::Vector3(100, 0, 0));
    gScenaricMgr.Update();

    bool deleted = false;
    int termed = 0;
    victim->deleted = &deleted;
    victim->termed = &termed;
    victim->SetUpdateFlags(victim->GetUpdateFlags() | 0x10000000u);
    EXPECT_EQ(gScenaricMgr.getObjectByName("twin"), nullptr) << "the first match is killed";
    EXPECT_EQ(gScenaricMgr.getObjectByName("parent"), parent);

    gScenaricMgr.Update();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(termed, 1);
    EXPECT_EQ(gScenaricMgr.GetCount(), 2);
    EXPECT_EQ(gScenaricMgr.IndexOf(namesake), 1);
    EXPECT_EQ(parent->GetChildCount(), 0);
    EXPECT_EQ(gScenaricMgr.getObjectByName("twin"), namesake);
    delete parent;
    delete namesake;
}

TEST_F(ScenaricMgrTest, DeletingANodeUnregistersItselfNotItsNamesake)
{
    TestNode* first = MakeNode("twin", Ogre::Vector3(0, 0, 0));
    TestNode* second = MakeNode("twin", Ogre::Vector3(100, 0, 0));
    delete second;
    EXPECT_EQ(gScenaricMgr.GetCount(), 1);
    EXPECT_EQ(gScenaricMgr.GetNode(0), first);
    EXPECT_EQ(gScenaricMgr.getObjectByName("twin"), first);
    EXPECT_EQ(first->termCalls, 0);
    delete first;
    EXPECT_EQ(gScenaricMgr.GetCount(), 0);
}

TEST_F(ScenaricMgrTest, OverlappingNodesEachGetOneBeginAndOneEnd)
{
    TestNode* a = MakeNode("a", Ogre::Vector3(0, 0, 0));
    TestNode* b = MakeNode("b", Ogre::Vector3(0.5f, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(a->overlapEvents, (std::vector<ReceivedEvent>{{kBegin, "b"}}));
    EXPECT_EQ(b->overlapEvents, (std::vector<ReceivedEvent>{{kBegin, "a"}}));

    b->PlaceAt(Ogre::Vector3(3, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(a->overlapEvents, (std::vector<ReceivedEvent>{{kBegin, "b"}, {kEnd, "b"}}));
    EXPECT_EQ(b->overlapEvents, (std::vector<ReceivedEvent>{{kBegin, "a"}, {kEnd, "a"}}));
    EXPECT_FALSE(a->HasOverlaps());
    EXPECT_FALSE(b->HasOverlaps());
    delete a;
    delete b;
}

TEST_F(ScenaricMgrTest, TriggerGetsEnterAndLeaveOnceAndTriggersIgnoreEachOther)
{
    TestNode* trigger = MakeNode("trigger", Ogre::Vector3(0, 0, 0), CKEMSceneNode::KEM_SCENE_TRIGGER);
    TestNode* other = MakeNode("other", Ogre::Vector3(20, 0, 0), CKEMSceneNode::KEM_SCENE_TRIGGER);
    TestNode* ball = MakeNode("ball", Ogre::Vector3(0.5f, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(trigger->triggerEvents, (std::vector<ReceivedEvent>{{kEnter, "ball"}}));
    EXPECT_TRUE(ball->overlapEvents.empty()) << "a node meeting a trigger gets no overlap event";

    ball->PlaceAt(Ogre::Vector3(5, 0, 0));
    other->PlaceAt(Ogre::Vector3(0.2f, 0, 0));   // now on the first trigger
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(trigger->triggerEvents, (std::vector<ReceivedEvent>{{kEnter, "ball"}, {kLeave, "ball"}}));
    EXPECT_TRUE(other->triggerEvents.empty());
    EXPECT_TRUE(ball->overlapEvents.empty());
    delete trigger;
    delete other;
    delete ball;
}

TEST_F(ScenaricMgrTest, SleepersMoveBehindTheAwakeNodesAndStopBeingOverlapPartners)
{
    TestNode* a = MakeNode("a", Ogre::Vector3(0, 0, 0));
    TestNode* b = MakeNode("b", Ogre::Vector3(100, 0, 0));
    TestNode* c = MakeNode("c", Ogre::Vector3(0.5f, 0, 0));
    gScenaricMgr.Update();
    ASSERT_EQ(gScenaricMgr.GetActiveCount(), 3);
    a->overlapEvents.clear();
    c->overlapEvents.clear();

    EXPECT_EQ(a->SendEvent(CKEMSceneNode::EVENT_SLEEP, nullptr, 0), 0);
    EXPECT_TRUE(a->IsAsleep());
    EXPECT_TRUE(gScenaricMgr.IsCompactionNeeded());
    gScenaricMgr.Update();
    EXPECT_EQ(gScenaricMgr.GetActiveCount(), 2);
    EXPECT_EQ(gScenaricMgr.GetNode(0), b);
    EXPECT_EQ(gScenaricMgr.GetNode(1), c);
    EXPECT_EQ(gScenaricMgr.GetNode(2), a);

    c->PlaceAt(Ogre::Vector3(50, 0, 0));
    gScenaricMgr.Update();
    EXPECT_TRUE(c->overlapEvents.empty()) << "a sleeper is nobody's overlap partner";

    EXPECT_EQ(a->SendEvent(CKEMSceneNode::EVENT_WAKEUP, nullptr, 0), 0);
    EXPECT_FALSE(a->IsAsleep());
    gScenaricMgr.Update();
    EXPECT_EQ(gScenaricMgr.GetActiveCount(), 3);
    delete a;
    delete b;
    delete c;
}

// A node with no overlap handler, as sound and particle-effect nodes are.
class QuietNode : public TestNode {
public:
    using TestNode::TestNode;
    void RegisterEvents() override { CKEMSceneNode::RegisterEvents(); }
};

// Moves itself on each life run, as a scripted node may.
template <class Base>
class Walker : public Base {
public:
    using Base::Base;
    void Manage() override
    {
        Base::Manage();
        const float t = float(this->GetFrameCounter());
        this->PlaceAt(Ogre::Vector3(std::fmod(t * 0.7f, 12.0f) - 1.0f, 0.3f, 0.2f), 0.8f);
    }
};

TEST_F(ScenaricMgrTest, ACrowdOfQuietNodesReachesOnlyTheTriggersAndListenersAmongThem)
{
    TestNode* trigger = MakeNode("trigger", Ogre::Vector3(0, 0, 0), CKEMSceneNode::KEM_SCENE_TRIGGER);
    TestNode* listener = MakeNode("listener", Ogre::Vector3(0.2f, 0, 0));
    std::vector<TestNode*> crowd;
    for (int i = 0; i < 300; ++i) {
        crowd.push_back(new QuietNode("sound" + std::to_string(i)));
        crowd.back()->PlaceAt(Ogre::Vector3(0.001f * float(i), 0, 0));
        gScenaricMgr.Register(crowd.back());
    }
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();

    EXPECT_EQ(trigger->triggerEvents.size(), 301u) << "every non-trigger entered once";
    EXPECT_EQ(listener->overlapEvents.size(), 300u) << "one begin per crowd member";
    for (TestNode* node : crowd) {
        EXPECT_TRUE(node->overlapEvents.empty()) << node->getName();
        EXPECT_FALSE(node->HasOverlaps()) << node->getName();
    }

    // The listener walks away: it hears every end, the trigger hears it leave.
    listener->PlaceAt(Ogre::Vector3(50, 0, 0));
    for (int frame = 0; frame < 2; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(listener->overlapEvents.size(), 600u);
    EXPECT_FALSE(listener->HasOverlaps());
    EXPECT_EQ(trigger->triggerEvents.back(), (ReceivedEvent{kLeave, "listener"}));
    for (TestNode* node : crowd)
        delete node;
    delete trigger;
    delete listener;
}

// Two identical scenes, one run by the registry and one by the all-pairs
// pass: triggers, listeners and quiet nodes of every size and turn, nodes
// moved between frames and by their own Manage, sleepers, and volumes with a
// value that is not finite. Every node must hear the same events in the same
// order.
TEST_F(ScenaricMgrTest, BroadPhaseSendsTheEventsOfTheAllPairsPass)
{
    struct Scene {
        std::vector<std::unique_ptr<TestNode>> nodes;
    };
    std::mt19937 random(20261211);
    std::uniform_real_distribution<float> place(-6.0f, 6.0f);
    std::uniform_real_distribution<float> size(0.2f, 3.0f);
    std::uniform_real_distribution<float> turn(0.0f, 6.28f);
    struct Placement {
        int kind;   // 0 quiet, 1 listener, 2 trigger, 3..5 walkers of those kinds
        Ogre::Vector3 at;
        float size;
        Ogre::Quaternion orientation;
        bool asleep;
    };
    std::vector<Placement> placements;
    for (int i = 0; i < 90; ++i) {
        Placement planned;
        planned.kind = i < 55 ? 0 : i < 70 ? 1 : i < 80 ? 2 : 3 + (i % 3);
        planned.at = Ogre::Vector3(place(random), place(random) * 0.3f, place(random) * 0.3f);
        planned.size = size(random);
        planned.orientation = Ogre::Quaternion(Ogre::Radian(turn(random)), Ogre::Vector3(1, 2, 3).normalisedCopy());
        planned.asleep = i % 17 == 5;
        placements.push_back(planned);
    }
    placements[7].at.x = std::numeric_limits<float>::quiet_NaN();
    placements[60].at.y = std::numeric_limits<float>::infinity();

    auto place_node = [](TestNode* node, const Ogre::Vector3& at, float edge, const Ogre::Quaternion& q) {
        node->PlaceAt(at, edge);
        Ogre::Matrix3 rotation;
        q.ToRotationMatrix(rotation);
        node->GetOrientedBox().SetAxes(rotation);
    };
    auto build = [&](Scene& scene, CScenaricMgr& registry) {
        for (size_t i = 0; i < placements.size(); ++i) {
            const Placement& planned = placements[i];
            const std::string name = "n" + std::to_string(i);
            const int type = (planned.kind % 3 == 2) ? CKEMSceneNode::KEM_SCENE_TRIGGER : CKEMSceneNode::KEM_SCENENODE;
            TestNode* node = nullptr;
            switch (planned.kind) {
            case 0: node = new QuietNode(name, nullptr, type); break;
            case 1: case 2: node = new TestNode(name, nullptr, type); break;
            case 3: node = new Walker<QuietNode>(name, nullptr, type); break;
            default: node = new Walker<TestNode>(name, nullptr, type); break;
            }
            place_node(node, planned.at, planned.size, planned.orientation);
            if (planned.asleep)
                node->SetUpdateFlags(node->GetUpdateFlags() | CKEMSceneNode::UPDATE_SLEEP_BITS);
            registry.Register(node);
            scene.nodes.emplace_back(node);
        }
    };

    Scene fast, plain;
    CScenaricMgr reference;
    build(fast, gScenaricMgr);
    build(plain, reference);
    AllPairsFrame allPairs(reference, true);
    std::uniform_int_distribution<size_t> pick(0, placements.size() - 1);
    for (int frame = 0; frame < 40; ++frame) {
        gScenaricMgr.Update();
        allPairs.Update();
        for (int k = 0; k < 8; ++k) {
            const size_t i = pick(random);
            const Ogre::Vector3 at(place(random), place(random) * 0.3f, place(random) * 0.3f);
            const float edge = size(random);
            const Ogre::Quaternion q(Ogre::Radian(turn(random)), Ogre::Vector3::UNIT_Y);
            place_node(fast.nodes[i].get(), at, edge, q);
            place_node(plain.nodes[i].get(), at, edge, q);
        }
    }
    size_t events = 0;
    for (size_t i = 0; i < placements.size(); ++i) {
        const TestNode& a = *fast.nodes[i];
        const TestNode& b = *plain.nodes[i];
        EXPECT_EQ(a.overlapEvents, b.overlapEvents) << a.getName();
        EXPECT_EQ(a.triggerEvents, b.triggerEvents) << a.getName();
        EXPECT_EQ(a.lifeFrames, b.lifeFrames) << a.getName();
        events += a.overlapEvents.size() + a.triggerEvents.size();
    }
    EXPECT_GT(events, 200u) << "the scene exercises the events";
    for (auto& node : plain.nodes)
        reference.Unregister(node.get());
    plain.nodes.clear();
    fast.nodes.clear();
}

// ---- overlap tests ------------------------------------------------------------------

CKEMOrientedBox Box(const Ogre::Vector3& centre, const Ogre::Vector3& size,
                    const Ogre::Quaternion& orientation = Ogre::Quaternion::IDENTITY)
{
    CKEMOrientedBox box;
    box.SetSize(size);
    box.center = centre;
    Ogre::Matrix3 rotation;
    orientation.ToRotationMatrix(rotation);
    box.SetAxes(rotation);
    return box;
}

TEST(OverlapTests, SphereAgainstAxisAlignedBox)
{
    CKEMBoundingBox box;
    box.min = Ogre::Vector3(-1, -1, -1);
    box.max = Ogre::Vector3(1, 1, 1);
    struct Case {
        Ogre::Vector3 centre;
        float radius;
        bool expected;
    } cases[] = {
        {{0, 0, 0}, 0.1f, true},
        {{3, 0, 0}, 2.0f, true},        // exactly touching a face
        {{3.001f, 0, 0}, 2.0f, false},
        {{2.4f, 2.4f, 2.4f}, 1.5f, true},   // outside the rounded corner, inside the grown box
        {{0, -4, 0}, 2.0f, false},
    };
    for (const Case& c : cases) {
        CKEMSphere sphere;
        sphere.x = c.centre.x;
        sphere.y = c.centre.y;
        sphere.z = c.centre.z;
        sphere.radius = c.radius;
        EXPECT_EQ(intersectSphereAABB(sphere, box), c.expected) << c.centre << " r " << c.radius;
    }
}

TEST(OverlapTests, OrientedBoxes)
{
    const Ogre::Vector3 unit(1, 1, 1);
    const Ogre::Quaternion aboutZ(Ogre::Degree(45), Ogre::Vector3::UNIT_Z);
    const Ogre::Quaternion aboutX(Ogre::Degree(45), Ogre::Vector3::UNIT_X);
    struct Case {
        const char* what;
        CKEMOrientedBox a;
        CKEMOrientedBox b;
        bool expected;
    } cases[] = {
        {"same box, same centre", Box({2, 3, 4}, unit), Box({2, 3, 4}, unit), true},
        {"touching faces", Box({0, 0, 0}, unit), Box({1, 0, 0}, unit), true},
        {"just apart", Box({0, 0, 0}, unit), Box({1.0001f, 0, 0}, unit), false},
        {"apart on a diagonal", Box({0, 0, 0}, unit), Box({1.2f, 1.2f, 0}, unit), false},
        {"rotated, overlapping", Box({0, 0, 0}, unit, aboutZ), Box({1.1f, 0, 0}, unit), true},
        // Separated only along the cross product of two edges: reported as overlapping.
        {"edge-edge separation", Box({0, 0, 0}, unit, aboutZ), Box({1.2f, 0.4f, 1.05f}, unit, aboutX), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(intersectOBBOBB(c.a, c.b), c.expected) << c.what;
        EXPECT_EQ(intersectOBBOBB(c.b, c.a), c.expected) << c.what << " (swapped)";
    }
}

// ---- named events ---------------------------------------------------------------------

struct CallRecord {
    const CKEMSceneNode* node;
    std::string function;
    std::vector<CKEMVMArg> args;
};
std::vector<CallRecord> gCalls;

int RecordCall(CKEMSceneNode* node, CKEMScript*, const char* function, const CKEMVMArg* args, int count, bool)
{
    gCalls.push_back({node, function, std::vector<CKEMVMArg>(args, args + count)});
    return 0;
}

TEST_F(ScenaricMgrTest, BroadcastReachesTheFunctionEachScriptMappedToTheEventName)
{
    static int scriptA;
    static int scriptB;
    CKEMSceneNodeScriptHooks saved = CKEMSceneNode::ScriptHooks();
    CKEMSceneNode::ScriptHooks().call = &RecordCall;
    gCalls.clear();

    TestNode* a = new TestNode("a");
    TestNode* b = new TestNode("b");
    a->attachScript(reinterpret_cast<CKEMScript*>(&scriptA));
    b->attachScript(reinterpret_cast<CKEMScript*>(&scriptB));
    EXPECT_EQ(gScenaricMgr.GetCount(), 2);
    EXPECT_EQ(a->VMOnEvent("GoalScored", "OnGoal"), 1);
    EXPECT_EQ(a->VMOnEvent("GoalScored", "OnGoalAgain"), 1);   // the first mapping stays
    gCalls.clear();

    gScenaricMgr.BroadcastEvent("GoalScored", 7);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].node, a);
    EXPECT_EQ(gCalls[0].function, "OnGoal");
    ASSERT_EQ(gCalls[0].args.size(), 1u);
    EXPECT_EQ(gCalls[0].args[0].type, KEMVM_INT);
    EXPECT_EQ(gCalls[0].args[0].intValue, 7);
    EXPECT_EQ(b->OnScriptEvent(KEMCrc32String("GoalScored"), 7), -1);

    delete a;   // unregisters, which calls its script's "Term"
    delete b;
    ASSERT_FALSE(gCalls.empty());
    EXPECT_EQ(gCalls.back().function, "Term");
    CKEMSceneNode::ScriptHooks() = saved;
}

}  // namespace

namespace {

class TreeEditTest : public ScenaricMgrTest {};

TEST_F(TreeEditTest, AttachTakesTheNodeFromItsOldParentAndRefusesCycles)
{
    TestNode* a = new TestNode("a");
    TestNode* b = new TestNode("b");
    TestNode* c = new TestNode("c", a);
    TestNode* d = new TestNode("d", c);
    b->attachChild(c);
    EXPECT_EQ(c->getParent(), b);
    EXPECT_EQ(a->GetChildCount(), 0);
    EXPECT_EQ(b->GetChildCount(), 1);
    b->attachChild(c);   // already there: no second entry
    EXPECT_EQ(b->GetChildCount(), 1);

    // The node itself and any ancestor are refused; the tree stays as it was.
    const struct {
        CKEMSceneNode* parent;
        CKEMSceneNode* child;
    } cycles[] = {{c, c}, {d, c}, {d, b}, {c, b}};
    for (const auto& cycle : cycles) {
        cycle.parent->ScriptAttachChild(cycle.child);
        cycle.parent->attachChild(cycle.child);
        EXPECT_EQ(c->getParent(), b);
        EXPECT_EQ(d->getParent(), c);
        EXPECT_EQ(b->getParent(), mRoot.get());
    }
    // The script form moves it too.
    a->ScriptAttachChild(d);
    EXPECT_EQ(d->getParent(), a);
    EXPECT_EQ(c->GetChildCount(), 0);
    // The root's teardown deletes each node once.
}

TEST_F(TreeEditTest, ADetachedNodeIsOwnedByTheSceneRoot)
{
    TestNode* a = new TestNode("a");
    bool deleted = false;
    TestNode* child = new TestNode("child", a);
    child->deleted = &deleted;
    a->ScriptDetachChild(child);
    EXPECT_EQ(child->getParent(), mRoot.get());
    EXPECT_EQ(a->GetChildCount(), 0);
    mRoot.get()->ScriptDetachChild(child);   // the root keeps it
    EXPECT_EQ(child->getParent(), mRoot.get());
    delete a;
    EXPECT_FALSE(deleted);
    child->deleted = nullptr;
}

TEST_F(TreeEditTest, OverlapsAreRememberedByIdentity)
{
    TestNode* a = MakeNode("a", Ogre::Vector3(0, 0, 0));
    TestNode* b = MakeNode("b", Ogre::Vector3(0.5f, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    ASSERT_TRUE(a->HasOverlaps());
    delete b;
    EXPECT_FALSE(a->HasOverlaps());   // its deleted partner no longer keeps it managed

    // A later node of the same name is a new partner: it gets its begin.
    a->overlapEvents.clear();
    TestNode* again = MakeNode("b", Ogre::Vector3(0.5f, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
        gScenaricMgr.Update();
    EXPECT_EQ(a->overlapEvents, (std::vector<ReceivedEvent>{{kBegin, "b"}}));
    delete again;
    delete a;
}

TEST_F(TreeEditTest, EveryKilledNodeGoesInTheSameUpdate)
{
    // The killed parent's child sits before it in the list: deleting the
    // parent shifts the list under the loop.
    TestNode* parent = new TestNode("parent");
    TestNode* child = new TestNode("child", parent);
    child->PlaceAt(Ogre::Vector3(0, 0, 0));
    gScenaricMgr.Register(child);
    parent->PlaceAt(Ogre::Vector3(10, 0, 0));
    gScenaricMgr.Register(parent);
    TestNode* other = MakeNode("other", Ogre::Vector3(20, 0, 0));
    TestNode* keep = MakeNode("keep", Ogre::Vector3(30, 0, 0));
    gScenaricMgr.Update();

    bool otherDeleted = false;
    other->deleted = &otherDeleted;
    for (TestNode* node : {parent, other})
        node->SetUpdateFlags(node->GetUpdateFlags() | 0x10000000u);
    gScenaricMgr.Update();
    EXPECT_TRUE(otherDeleted);
    EXPECT_EQ(gScenaricMgr.GetCount(), 1);
    EXPECT_EQ(gScenaricMgr.GetNode(0), keep);
    delete keep;
}

}  // namespace
