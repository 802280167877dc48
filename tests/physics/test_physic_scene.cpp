// Scene-file physics through the manager: contacts mix the loaded
// materials, joints hold their objects, and failed loads undo what they made
// exactly once.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <COdeActor.h>
#include <COdeJoint.h>
#include <COdeMaterial.h>
#include <CPhysicJoint.h>
#include <CPhysicMaterial.h>
#include <CPhysicObject.h>
#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

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

namespace {
std::vector<std::string> gSceneLog;
void CaptureSceneLog(const char* line) { gSceneLog.push_back(line); }

// The object record of `node` with one element replaced by `element`.
std::string ObjectWith(const std::string& node, int actorType, const std::string& tag, const std::string& element)
{
    std::string text = Object(node, actorType, 0, 0.2f, 0.2f, 0.2f, 1.0f, "");
    const size_t start = text.find("\t<" + tag);
    const size_t end = text.find("</" + tag + ">") != std::string::npos
                           ? text.find("</" + tag + ">") + tag.size() + 3
                           : text.find('\n', start);
    return text.replace(start, end - start, "\t" + element);
}
}

TEST_F(PhysicsSceneTest, BadRecordsAreRefusedNamingTheirNode)
{
    // Each of these made ODE abort the process; the load now refuses the
    // value and the world steps on.
    const std::string zeroRotation = "<CPHYSICOBJECT_TRANSFORM>"
                                     "<Elem val0-0=\"0\" val0-1=\"0\" val0-2=\"0\" val0-3=\"0\"/>"
                                     "<Elem val1-0=\"0\" val1-1=\"0\" val1-2=\"0\" val1-3=\"1\"/>"
                                     "<Elem val2-0=\"0\" val2-1=\"0\" val2-2=\"0\" val2-3=\"0\"/>"
                                     "<Elem val3-0=\"0\" val3-1=\"0\" val3-2=\"0\" val3-3=\"1\"/>"
                                     "</CPHYSICOBJECT_TRANSFORM>";
    std::string nanRotation = zeroRotation;
    nanRotation.replace(nanRotation.find("val0-0=\"0\""), 10, "val0-0=\"nan\"");
    struct Case {
        const char* what;
        std::string records;
        const char* logged;
        Ogre::Quaternion nodeOrientation = Ogre::Quaternion::IDENTITY;
    } cases[] = {
        {"negative mass", ObjectWith("bad", 1, "CPHYSICOBJECT_MASS", "<CPHYSICOBJECT_MASS value=\"-2\" />"),
         "mass"},
        {"negative box", ObjectWith("bad", 1, "CPHYSICOBJECT_BOX_SIZE", "<CPHYSICOBJECT_BOX_SIZE x=\"-1\" y=\"1\" z=\"1\" />"),
         "box size"},
        {"NaN box", ObjectWith("bad", 0, "CPHYSICOBJECT_BOX_SIZE", "<CPHYSICOBJECT_BOX_SIZE x=\"1\" y=\"nan\" z=\"1\" />"),
         "box size"},
        {"zero rotation", ObjectWith("bad", 1, "CPHYSICOBJECT_TRANSFORM", zeroRotation), "rotation"},
        {"NaN rotation", ObjectWith("bad", 1, "CPHYSICOBJECT_TRANSFORM", nanRotation), "rotation"},
        {"zero node orientation", Object("bad", 1, 1, 0.1f, 0, 0, 1.0f, ""), "rotation",
         Ogre::Quaternion(0, 0, 0, 0)},
        {"NaN sphere radius", Object("bad", 1, 1, std::nanf(""), 0, 0, 1.0f, ""), "sphere radius"},
        {"joint to itself", Object("bad", 1, 1, 0.1f, 0, 0, 1.0f, "") + BallJoint("bad", "bad", 0, 0, 0),
         "both ends"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestNode* node = new TestNode(nullptr, "bad");
        node->setPosition(Ogre::Vector3(0, 1, 0), false);
        node->GetGraphicNode()->getNode()->getOgreNode()->setOrientation(c.nodeOrientation);
        gSceneLog.clear();
        PlatSetLogSink(&CaptureSceneLog);
        const std::string text = Root(Settings(kStep) + c.records);
        EXPECT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        EXPECT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        for (int i = 0; i < 20; ++i)
            Frame(0.01f);
        PlatSetLogSink(nullptr);
        const bool named = std::any_of(gSceneLog.begin(), gSceneLog.end(), [&](const std::string& line) {
            return line.find("\"bad\"") != std::string::npos && line.find(c.logged) != std::string::npos;
        });
        EXPECT_TRUE(named);
        EXPECT_TRUE(gPhysicMgr.GetJoints().empty());
        if (COdeActor* actor = node->getPhysicObject() ? node->getPhysicObject()->GetActor() : nullptr) {
            const Ogre::Quaternion q = actor->getOrientation();
            EXPECT_TRUE(std::isfinite(q.w) && std::isfinite(q.x));
        }
        CKEMSceneGraph::DeleteNode("bad");
        gPhysicMgr.Clear();
    }
}

namespace {
std::map<std::string, std::vector<Ogre::Vector3>> gDebugLines;
std::vector<std::string> gDebugRemoved;
void RecordDebugLines(const std::string& id, const std::vector<Ogre::Vector3>& points, const std::string&)
{
    gDebugLines[id] = points;
}
void RecordDebugRemoval(const std::string& id) { gDebugRemoved.push_back(id); }
}

TEST_F(PhysicsSceneTest, JointsShowTheirAnchorsAndAxesInDebugMode)
{
    TestNode* a = new TestNode(nullptr, "a");
    TestNode* b = new TestNode(nullptr, "b");
    a->setPosition(Ogre::Vector3(0, 2, 0), false);
    b->setPosition(Ogre::Vector3(1, 2, 0), false);
    const std::string text = Root(Settings(kStep) + Object("a", 1, 1, 0.1f, 0, 0, 1.0f, "") +
                                  Object("b", 1, 1, 0.1f, 0, 0, 1.0f, ""));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    CPhysicObject* objectA = a->getPhysicObject();
    CPhysicObject* objectB = b->getPhysicObject();
    const CKEMSceneGraphHooks saved = CKEMSceneGraph::Hooks();
    CKEMSceneGraph::Hooks().drawDebugLines = &RecordDebugLines;
    CKEMSceneGraph::Hooks().removeDebugShape = &RecordDebugRemoval;

    const Ogre::Vector3 zero = Ogre::Vector3::ZERO;
    const Ogre::Vector3 anchor(0.5f, 2, 0);
    const Ogre::Vector3 along(0, 0, 1);
    const struct {
        const char* what;
        CPhysicJoint* joint;
        size_t parts;
    } cases[] = {
        {"fixed", new CPhysicJoint_Fixed(objectA, objectB), 1},
        {"ball", new CPhysicJoint_Ball(objectA, objectB, anchor), 3},
        {"hinge", new CPhysicJoint_Hinge(objectA, objectB, anchor, along), 2},
        {"hinge-2", new CPhysicJoint_Hinge2(objectA, objectB, anchor, along, Ogre::Vector3(0, 1, 0)), 2},
        {"slider", new CPhysicJoint_Slider(objectA, objectB, Ogre::Vector3(1, 0, 0)), 2},
        {"universal", new CPhysicJoint_Universal(objectA, objectB, anchor, along, Ogre::Vector3(0, 1, 0)), 2},
    };
    const uint16_t part1 = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(gPhysicMgr.AddJoint(c.joint));
        // Off: no parts, no lines, the getters' empty answers.
        EXPECT_EQ(c.joint->GetAxisOrientation(&part1), Ogre::Quaternion::IDENTITY);
        gDebugLines.clear();
        gDebugRemoved.clear();
        gPhysicMgr.SetJointDebugFlag(true);
        Frame(0.0f);
        ASSERT_EQ(c.joint->GetDebugParts().size(), c.parts);
        // Each part: its segment and a two-line cross.
        ASSERT_EQ(gDebugLines[c.joint->GetDebugShapeName()].size(), 6 * c.parts);

        gPhysicMgr.SetJointDebugFlag(false);
        EXPECT_TRUE(c.joint->GetDebugParts().empty());
        EXPECT_EQ(gDebugRemoved, std::vector<std::string>{c.joint->GetDebugShapeName()});
        gPhysicMgr.RemoveJoint(c.joint, nullptr);
    }

    // The fixed and slider getters answer from their shown part.
    const struct {
        const char* what;
        CPhysicJoint* joint;
        Ogre::Vector3 anchor;
        Ogre::Vector3 axis;
    } getters[] = {
        {"fixed", new CPhysicJoint_Fixed(objectA, objectB), Ogre::Vector3(0, 2, 0), Ogre::Vector3(1, 0, 0)},
        {"slider", new CPhysicJoint_Slider(objectA, objectB, Ogre::Vector3(1, 0, 0)), anchor, Ogre::Vector3(1, 0, 0)},
    };
    for (const auto& g : getters) {
        SCOPED_TRACE(g.what);
        ASSERT_TRUE(gPhysicMgr.AddJoint(g.joint));
        EXPECT_EQ(g.joint->GetAnchor(), zero);
        gPhysicMgr.SetJointDebugFlag(true);
        EXPECT_LT(g.joint->GetAnchor().distance(g.anchor), 1e-4f);
        const Ogre::Vector3 pointing = g.joint->GetAxisOrientation(&part1) * Ogre::Vector3::NEGATIVE_UNIT_Z;
        EXPECT_LT(pointing.distance(g.axis), 1e-4f);
        gPhysicMgr.SetJointDebugFlag(false);
        EXPECT_EQ(g.joint->GetAnchor(), zero);
        gPhysicMgr.RemoveJoint(g.joint, nullptr);
    }

    // The scene graph's debug switch is what turns the display on and off.
    const bool mode = CKEMSceneGraph::getDebugMode();
    CKEMSceneGraph::SetDebugMode(false);
    EXPECT_FALSE(gPhysicMgr.GetJointDebugFlag());
    CKEMSceneGraph::SetDebugMode(true);
    EXPECT_TRUE(gPhysicMgr.GetJointDebugFlag());
    CKEMSceneGraph::SetDebugMode(mode);
    gPhysicMgr.SetJointDebugFlag(false);
    CKEMSceneGraph::Hooks() = saved;
}

// Turning a shown axis part turns the joint's axis with it: the live joint
// and the part both point the new way. Hidden parts, other part numbers and
// kinds without axis parts change nothing.
TEST_F(PhysicsSceneTest, TurningADebugAxisPartTurnsTheJointAxis)
{
    TestNode* a = new TestNode(nullptr, "a");
    TestNode* b = new TestNode(nullptr, "b");
    a->setPosition(Ogre::Vector3(0, 2, 0), false);
    b->setPosition(Ogre::Vector3(1, 2, 0), false);
    const std::string text = Root(Settings(kStep) + Object("a", 1, 1, 0.1f, 0, 0, 1.0f, "") +
                                  Object("b", 1, 1, 0.1f, 0, 0, 1.0f, ""));
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
    CPhysicObject* objectA = a->getPhysicObject();
    CPhysicObject* objectB = b->getPhysicObject();
    const CKEMSceneGraphHooks saved = CKEMSceneGraph::Hooks();
    CKEMSceneGraph::Hooks().drawDebugLines = &RecordDebugLines;
    CKEMSceneGraph::Hooks().removeDebugShape = &RecordDebugRemoval;

    const Ogre::Vector3 anchor(0.5f, 2, 0);
    const Ogre::Vector3 x(1, 0, 0);
    const Ogre::Vector3 y(0, 1, 0);
    const Ogre::Vector3 z(0, 0, 1);
    // A quarter turn about Y takes Z to X.
    const Ogre::Quaternion quarter(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    const struct {
        const char* what;
        CPhysicJoint* joint;
        uint16_t part;
        int liveAxis;   // the live joint's axis that the part drives
        Ogre::Vector3 initial;
        Ogre::Vector3 turned;
    } cases[] = {
        {"hinge", new CPhysicJoint_Hinge(objectA, objectB, anchor, z), 1, 0, z, x},
        {"hinge, part 2", new CPhysicJoint_Hinge(objectA, objectB, anchor, z), 2, 0, z, z},
        {"slider", new CPhysicJoint_Slider(objectA, objectB, z), 1, 0, z, x},
        {"slider, part 2", new CPhysicJoint_Slider(objectA, objectB, z), 2, 0, z, z},
        {"universal, axis 1", new CPhysicJoint_Universal(objectA, objectB, anchor, z, y), 1, 0, z, x},
        {"universal, axis 2", new CPhysicJoint_Universal(objectA, objectB, anchor, y, z), 2, 1, z, x},
        {"hinge-2, axis 1", new CPhysicJoint_Hinge2(objectA, objectB, anchor, z, y), 1, 0, z, x},
        {"hinge-2, part 3", new CPhysicJoint_Hinge2(objectA, objectB, anchor, z, y), 3, 0, z, z},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(gPhysicMgr.AddJoint(c.joint));
        c.joint->ApplyParams();
        auto live = [&] { return c.joint->GetLiveJoint()->getAxis(c.liveAxis); };
        ASSERT_LT(live().distance(c.initial), 1e-4f);
        // Not shown: nothing turns.
        c.joint->SetDebugTransform(&c.part, quarter);
        EXPECT_LT(live().distance(c.initial), 1e-4f) << live();

        gPhysicMgr.SetJointDebugFlag(true);
        c.joint->SetDebugTransform(&c.part, quarter);
        EXPECT_LT(live().distance(c.turned), 1e-4f) << live();
        // A rotation that is not one is refused.
        c.joint->SetDebugTransform(&c.part, Ogre::Quaternion(0, 0, 0, 0));
        c.joint->SetDebugTransform(&c.part, Ogre::Quaternion(std::nanf(""), 0, 0, 0));
        EXPECT_LT(live().distance(c.turned), 1e-4f) << live();
        gPhysicMgr.SetJointDebugFlag(false);
        gPhysicMgr.RemoveJoint(c.joint, nullptr);
    }
    // The ball has no axis part: its anchor stays.
    CPhysicJoint_Ball* ball = new CPhysicJoint_Ball(objectA, objectB, anchor);
    ASSERT_TRUE(gPhysicMgr.AddJoint(ball));
    gPhysicMgr.SetJointDebugFlag(true);
    const uint16_t part1 = 1;
    ball->SetDebugTransform(&part1, quarter);
    EXPECT_EQ(ball->GetAnchor(), anchor);
    gPhysicMgr.SetJointDebugFlag(false);
    gPhysicMgr.RemoveJoint(ball, nullptr);
    CKEMSceneGraph::Hooks() = saved;
}
