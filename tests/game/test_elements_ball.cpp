// Game elements on a scene without display: the balls' launch velocity and
// spin through the physics manager, the body taken out of and back into the
// simulation, the contact listener's link, the elements' distances and
// motion, and a player's model materials and hand.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <CBall.h>
#include <CGameElement.h>
#include <CKEMSceneObject.h>
#include <CLangDB.h>
#include <CPlayer.h>
#include <CKEMSceneParticleEffect.h>
#include <COdeActor.h>
#include <CPhysicBallListener.h>
#include <CPhysicObject.h>
#include <HalNet.h>
#include <PhysicTricksEffects.h>
#include <TuningParameters.h>

#include <OgreManualObject.h>
#include <OgreMaterialManager.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace scenetext;

namespace {

std::vector<std::string> gTrace;
void RecordTrace(const char* text) { gTrace.push_back(text); }

// A ground box and a boule resting on it at (0, 0.0375, 0), stepped at 400 Hz.
class BallLaunchTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        mSavedSpin = AngularVelEffectRad;
        mSavedLeft = SideEffectRotationLeft;
        mSavedRight = SideEffectRotationRight;
        new TestNode(nullptr, "terrain");
        TestNode* node = new TestNode(nullptr, "boule 1");
        node->setPosition(Ogre::Vector3(0.0f, 0.0375f, 0.0f), false);
        const std::string text =
            Root(Settings(1.0f / 400.0f) + Material("terrain", 8.0f, 0.1f) + Material("boule", 10.0f, 0.3f) +
                 Object("terrain", 0, 0, 40.0f, 1.0f, 40.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f) +
                 Object("boule 1", 1, 1, 0.0375f, 0.0375f, 0.0375f, 0.7f, "boule"));
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        mBall.reset(new CBall(CBall::KIND_BALL, node));
        mObject = node->getPhysicObject();
        ASSERT_NE(mObject, nullptr);
        gTrace.clear();
        NetSetTraceCallback(&RecordTrace);
    }
    void TearDown() override
    {
        NetSetTraceCallback(nullptr);
        mBall.reset();
        AngularVelEffectRad = mSavedSpin;
        SideEffectRotationLeft = mSavedLeft;
        SideEffectRotationRight = mSavedRight;
        PhysicsSceneTest::TearDown();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame(1.0f / 60.0f);
    }

    std::unique_ptr<CBall> mBall;
    CPhysicObject* mObject = nullptr;
    float mSavedSpin = 0.0f;
    TuningMatrix3 mSavedLeft{};
    TuningMatrix3 mSavedRight{};
};

void ExpectVectorNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace

TEST(BallLaunch, VelocityRaisesTheAimedDirectionByTheAngle)
{
    struct Case {
        float angle, speed;
        Ogre::Vector3 direction, expected;
    } cases[] = {
        {0.0f, 5.0f, {1, 0, 0}, {5, 0, 0}},
        {90.0f, 4.0f, {1, 0, 0}, {0, 4, 0}},
        {90.0f, 4.0f, {0.3f, 0, -2}, {0, 4, 0}},
        {45.0f, 2.0f, {0, 0, -3}, {0, std::sqrt(2.0f), -std::sqrt(2.0f)}},
        // A direction that is not horizontal is taken as it is, then raised.
        {30.0f, 1.0f, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.direction);
        ExpectVectorNear(CBall::LaunchVelocity(c.angle, c.speed, c.direction), c.expected);
    }
}

TEST(BallLaunch, SpinTorqueByEffectMode)
{
    const float savedSpin = AngularVelEffectRad;
    const TuningMatrix3 savedLeft = SideEffectRotationLeft, savedRight = SideEffectRotationRight;
    AngularVelEffectRad = 2.0f;
    Ogre::Matrix3 left, right;
    left.FromAngleAxis(Ogre::Vector3::UNIT_Y, Ogre::Degree(-90.0f));
    right.FromAngleAxis(Ogre::Vector3::UNIT_Y, Ogre::Degree(90.0f));
    SideEffectRotationLeft.Set(left);
    SideEffectRotationRight.Set(right);

    const Ogre::Vector3 velocity(3, 1, 0);   // only its horizontal direction counts
    struct Case {
        int32_t mode;
        float value;
        Ogre::Vector3 expected;
    } cases[] = {
        {CBall::EFFECT_NONE, 1.0f, {0, 0, 0}},
        {CBall::EFFECT_FORWARD, 1.0f, {0, 0, -2}},   // (1,0,0) x (0,-1,0) = (0,0,-1)
        {CBall::EFFECT_FORWARD, 0.5f, {0, 0, -1}},
        {CBall::EFFECT_SIDE_LEFT, 1.0f, {2, 0, 0}},     // e = (0,0,1)
        {CBall::EFFECT_SIDE_RIGHT, 1.0f, {-2, 0, 0}},   // e = (0,0,-1)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ExpectVectorNear(CBall::EffectTorque(c.mode, c.value, velocity), c.expected);
    }
    AngularVelEffectRad = savedSpin;
    SideEffectRotationLeft = savedLeft;
    SideEffectRotationRight = savedRight;
}

TEST_F(BallLaunchTest, BallInHandStaysThenLaunchSetsItMoving)
{
    EXPECT_EQ(mBall->mState, CBall::STATE_NONE);
    EXPECT_FALSE(mBall->IsMoving());
    // In the hand: out of the simulation.
    gPhysicMgr.RemoveObject(mObject);
    SetNodeWorldPosition(mBall->GetNode(), Ogre::Vector3(0.0f, 1.2f, 0.0f));
    Frames(10);
    EXPECT_NEAR(mBall->GetWorldPosition().y, 1.2f, 1e-5f);

    mBall->Launch(45.0f, 5.0f, 0.0f, Ogre::Vector3(0, 0, -1));
    EXPECT_EQ(mBall->mState, CBall::STATE_LAUNCHED);
    EXPECT_TRUE(gPhysicMgr.HasObject(mObject));
    EXPECT_TRUE(mObject->IsActive());
    EXPECT_TRUE(mBall->IsMoving());
    ExpectVectorNear(mObject->getLinearVelocity(), Ogre::Vector3(0, 5.0f, -5.0f) / std::sqrt(2.0f), 1e-4f);
    // No spin: only the velocity line is traced.
    ASSERT_EQ(gTrace.size(), 1u);
    EXPECT_EQ(gTrace[0].rfind("CBall::Launch()=>velocity(0.00000000, 3.53553", 0), 0u) << gTrace[0];
    EXPECT_NE(gTrace[0].find(" mEffect=0"), std::string::npos);

    // The ball flies forward, lands and comes to rest on the ground.
    Frames(20);
    EXPECT_GT(mBall->GetWorldPosition().y, 1.2f);
    Frames(400);
    const Ogre::Vector3 rest = mBall->GetWorldPosition();
    EXPECT_LT(rest.z, -2.0f);
    EXPECT_NEAR(rest.x, 0.0f, 1e-3f);
    EXPECT_NEAR(rest.y, 0.0375f, 5e-3f);
}

TEST_F(BallLaunchTest, ForwardSpinTurnsTheBallAboutItsSideAxis)
{
    AngularVelEffectRad = 20.0f;
    mBall->mEffect = CBall::EFFECT_FORWARD;
    gPhysicMgr.RemoveObject(mObject);
    SetNodeWorldPosition(mBall->GetNode(), Ogre::Vector3(0.0f, 1.0f, 0.0f));
    mBall->Launch(10.0f, 4.0f, 1.0f, Ogre::Vector3(1, 0, 0));
    EXPECT_FLOAT_EQ(mBall->mEffectValue, 1.0f);
    ASSERT_EQ(gTrace.size(), 2u);
    EXPECT_EQ(gTrace[0], "CBall::Launch()=>angularEffect(0.00000000, 0.00000000, -20.00000000)");
    EXPECT_NE(gTrace[1].find(" mEffect=1"), std::string::npos);

    Frames(1);
    // Torque about -Z: the ball spins so that its top moves along +X.
    const Ogre::Vector3 spin = mObject->getAngularVelocity();
    EXPECT_LT(spin.z, -1e-3f);
    EXPECT_NEAR(spin.x, 0.0f, 1e-4f);
}

TEST_F(BallLaunchTest, LaunchBringsBackABodySwitchedOffInTheList)
{
    mObject->SetActive(false);
    ASSERT_TRUE(gPhysicMgr.HasObject(mObject));
    mBall->Launch(30.0f, 2.0f, 0.0f, Ogre::Vector3(0, 0, 1));
    EXPECT_TRUE(mObject->IsActive());
    Frames(5);
    EXPECT_GT(mBall->GetWorldPosition().z, 0.1f);
    EXPECT_GT(mBall->GetWorldPosition().y, 0.07f);   // in the air, 0.087 m up
}

TEST_F(BallLaunchTest, ContactListenerIsHookedAndUnhooked)
{
    mBall->CreateContactListener();
    ASSERT_NE(mBall->mListener, nullptr);
    EXPECT_EQ(mBall->GetNode()->GetContactListener(), mBall->mListener);
    EXPECT_EQ(mBall->mListener->mBall, mBall.get());
    EXPECT_FALSE(mBall->mListener->mTarget);
    EXPECT_EQ(mBall->mListener->mImpactListener, nullptr);

    // A second listener replaces the first on the node.
    mBall->CreateContactListener();
    EXPECT_EQ(mBall->GetNode()->GetContactListener(), mBall->mListener);

    CKEMSceneNode* node = mBall->GetNode();
    mBall.reset();
    EXPECT_EQ(node->GetContactListener(), nullptr);

    CBall target(CBall::KIND_TARGET, new TestNode(nullptr, "cochonnet"));
    target.CreateContactListener();
    EXPECT_TRUE(target.mListener->mTarget);
}

TEST_F(BallLaunchTest, BallOutlivingItsSceneLetsGoSafely)
{
    mBall->CreateContactListener();
    // The scene goes first (a venue reloaded): the ball must not touch its
    // deleted node when it is deleted.
    CKEMSceneGraph::DestroyRootNode();
    mBall.reset();
    CKEMSceneGraph::CreateRootNode();
}

TEST_F(BallLaunchTest, EffectNodesFollowTheBallAndGoWithIt)
{
    CKEMSceneParticleEffect::InstallNodeKind();
    TestNode* node = new TestNode(nullptr, "boule 2");
    node->setPosition(Ogre::Vector3(2.0f, 0.5f, -1.0f), false);
    std::unique_ptr<CBall> ball(new CBall(CBall::KIND_BALL, node));
    CKEMSceneParticleEffect::UninstallNodeKind();
    ASSERT_NE(ball->mDust, nullptr);
    ASSERT_NE(ball->mGravel, nullptr);
    EXPECT_NE(ball->mDust, ball->mGravel);
    EXPECT_EQ(ball->mDust->GetResourceName(), "poussiere.pfx");
    EXPECT_EQ(ball->mGravel->GetResourceName(), "graviers.pfx");
    Ogre::Vector3 position;
    ball->mDust->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    EXPECT_EQ(position, Ogre::Vector3(2.0f, 0.5f, -1.0f));
    EXPECT_NE(ball->mDust->GetState(), CKEMSceneParticleEffect::STATE_PLAYING);

    const std::string dust = ball->mDust->getName();
    const std::string gravel = ball->mGravel->getName();
    EXPECT_NE(CKEMSceneGraph::FindNode(dust), nullptr);
    ball.reset();
    EXPECT_EQ(CKEMSceneGraph::FindNode(dust), nullptr);
    EXPECT_EQ(CKEMSceneGraph::FindNode(gravel), nullptr);
    EXPECT_NE(CKEMSceneGraph::FindNode("boule 2"), nullptr);
}

TEST_F(BallLaunchTest, ElementsDistanceAndMotion)
{
    CMovableGameElement a(new TestNode(nullptr, "a"));
    CMovableGameElement b(new TestNode(nullptr, "b"));
    a.SetWorldPosition(Ogre::Vector3(1, 0, 1));
    b.SetWorldPosition(Ogre::Vector3(1, 0, 4));
    EXPECT_FLOAT_EQ(a.SquaredDistanceTo(b), 9.0f);
    EXPECT_FALSE(a.IsMoving());   // no physic object
    EXPECT_FALSE(a.ReturnFalse(1));
    EXPECT_FALSE(a.ReturnFalse2(1));

    // SetPosition2D keeps the height and carries the body along.
    b.SetWorldPosition(Ogre::Vector3(0, 2, 0));
    b.SetPosition2D(-3, 5);
    EXPECT_EQ(b.GetWorldPosition(), Ogre::Vector3(-3, 2, 5));
    mBall->SetPosition2D(0.5f, 0.25f);
    ExpectVectorNear(mObject->GetActor()->getPosition(), Ogre::Vector3(0.5f, 0.0375f, 0.25f));

    mObject->setLinearVelocity(Ogre::Vector3(0, 0, 0.01f));
    EXPECT_TRUE(mBall->IsMoving());
}

namespace {
// A mesh with one sub-mesh per material name, and those materials.
void MakeFigureMesh(const std::string& name, const std::vector<std::string>& materials)
{
    Ogre::SceneManager* scene = CWrapOgreWorld::GetSceneManager();
    Ogre::ManualObject* manual = scene->createManualObject();
    for (size_t i = 0; i < materials.size(); ++i) {
        Ogre::MaterialManager::getSingleton().create(materials[i], "General");
        manual->begin(materials[i], Ogre::RenderOperation::OT_TRIANGLE_LIST);
        const float x = static_cast<float>(i);
        manual->position(x, 0, 0);
        manual->position(x + 1, 0, 0);
        manual->position(x, 1, 0);
        manual->triangle(0, 1, 2);
        manual->end();
    }
    manual->convertToMesh(name);
    scene->destroyManualObject(manual);
}
}  // namespace

TEST_F(PhysicsSceneTest, PlayerModelTakesItsMaterialsAndPose)
{
    CLangDB::Instance().Clear();
    CLangDB::Instance().Add("STRING_ID", "en");
    const std::vector<std::string> original = {"body_skin_src", "any/clothes_src", "feet/shoes_src", "hair"};
    MakeFigureMesh("figure.mesh", original);
    for (const char* material : {"FP_AS_07/mat_skin", "FP_AS_07/mat_shoes", "Corse_en/woman_Clothes"})
        Ogre::MaterialManager::getSingleton().create(material, "General");

    CPlayer player("Fanny");
    player.mBodyCode = 1;
    player.mSkinCode = 2;
    player.mModelNumber = 7;
    // Without a model nothing happens.
    player.ApplySkin(CPlayer::PART_SKIN);
    player.ApplyClothes("Corse");

    auto* model = new CKEMSceneObject("figure.mesh", "", nullptr);
    player.mNode = model;
    player.ApplySkin(CPlayer::PART_SKIN);
    player.ApplySkin(CPlayer::PART_SHOES);
    player.ApplyClothes("Corse");
    CKEMSceneEntityHandle* entity = model->GetObjectEntityHandle();
    std::vector<std::string> materials(original.size());
    for (unsigned i = 0; i < original.size(); ++i)
        ASSERT_TRUE(entity->GetMaterial(i, materials[i]));
    EXPECT_EQ(materials, (std::vector<std::string>{"FP_AS_07/mat_skin", "Corse_en/woman_Clothes",
                                                   "FP_AS_07/mat_shoes", "hair"}));
    CLangDB::Instance().Clear();

    // The hand: right of and in front of the player, turned with it.
    const float savedRight = DECALAGE_BOULE_DROITE_MOYEN_POINTE, savedFront = DECALAGE_BOULE_DEVANT_MOYEN_POINTE;
    DECALAGE_BOULE_DROITE_MOYEN_POINTE = 0.2f;
    DECALAGE_BOULE_DEVANT_MOYEN_POINTE = 0.5f;
    model->setPosition(Ogre::Vector3(1, 0, 2), false);
    EXPECT_TRUE(player.GetReleasePoint(CPlayer::THROW_POINTING).positionEquals(Ogre::Vector3(1.2f, 0.02f, 1.5f)));
    player.LookAt(Ogre::Vector3(-4, 0, 2));   // facing -X: its right is -Z
    EXPECT_TRUE(model->GetDirection().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_X, 1e-4f));
    EXPECT_TRUE(player.GetReleasePoint(CPlayer::THROW_POINTING).positionEquals(Ogre::Vector3(0.5f, 0.02f, 1.8f), 1e-4f))
        << player.GetReleasePoint(CPlayer::THROW_POINTING);
    DECALAGE_BOULE_DROITE_MOYEN_POINTE = savedRight;
    DECALAGE_BOULE_DEVANT_MOYEN_POINTE = savedFront;
}
