// The balls' contact listener on a scene without display: impact sounds by
// speed, braking by spin, one sound per ball-on-ball contact, the impact
// listener's notifications, and balls brought to rest on a collision-mesh
// ground.
#include "CollisionMeshTestUtil.h"
#include "SceneText.h"

#include <CBall.h>
#include <CImpactListener.h>
#include <CKEMSceneCollisionMesh.h>
#include <CPhysicBallListener.h>
#include <DefaultContextSound.h>
#include <HalTimer.h>
#include <PhysicTricksEffects.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

using namespace scenetext;

namespace {

struct Played {
    std::string name;
    float gain, pitch;
};

// Records the sounds instead of playing them.
class RecordingListener : public CPhysicBallListener {
public:
    using CPhysicBallListener::CPhysicBallListener;
    void PlayImpactSound(const char* name, float gain, float pitch, const Ogre::Vector3&) override
    {
        played.push_back({name, gain, pitch});
    }
    void UpdateRollingSound(bool on, float, float, const Ogre::Vector3&) override { rolling = on; }

    std::vector<Played> played;
    bool rolling = false;
};

class ImpactRecorder : public CImpactListener {
public:
    void OnImpact(CKEMSceneNode* ball, float, float, float) override { ground.push_back(ball); }
    void OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode* other, float, float, float) override
    {
        balls.push_back({ball, other});
    }
    std::vector<CKEMSceneNode*> ground;
    std::vector<std::pair<CKEMSceneNode*, CKEMSceneNode*>> balls;
};

uint32_t gNow = 1000;
uint32_t FakeClock() { return gNow; }

// A flat 20 m collision-mesh ground under the node "terrain" (as in the
// venues) and balls on it whose contacts go to recording listeners.
class BallListenerTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        AddTestMeshes();
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(
            Root(Settings(1.0f / 400.0f) + Material("terrain", 0.1f, 0.1f) + Material("boule", 10.0f, 0.3f)).c_str()));
        mSaved = {HitGround, HitBall, HitWall, Roll};
        mSavedStab = VelTresholdStab;
        mSavedRetro = {RetroBrakeFactor, RetroBrakeComplement, LateralBrakeFactor, LateralBrakeComplement};
        HitGround = "hit_ground.wav";
        HitBall = "hit_ball.wav";
        HitWall = "hit_wall.wav";
        Roll = "roll.wav";
        VelTresholdStab = 0.05f;
        RetroBrakeFactor = 0.4f;
        RetroBrakeComplement = 0.6f;
        LateralBrakeFactor = 0.7f;
        LateralBrakeComplement = 0.3f;
        SetFamilies();
        gNow = 1000;
        HalSetTimeSource(&FakeClock);

        mTerrain = new TestNode(nullptr, "terrain");
        mGround = new CKEMSceneCollisionMesh(mTerrain, "ground.mesh");
        mGround->setName("terrain_collision");
        mGround->setResource("ground.mesh", gPhysicMgr.FindMaterial("terrain"));
    }
    void TearDown() override
    {
        for (auto& b : mBalls) {
            if (b.ball->mNode->GetContactListener() == b.listener.get())
                b.ball->mNode->SetContactListener(nullptr);
            b.listener.reset();
            b.ball.reset();
        }
        mBalls.clear();
        HalSetTimeSource(nullptr);
        HitGround = mSaved[0];
        HitBall = mSaved[1];
        HitWall = mSaved[2];
        Roll = mSaved[3];
        VelTresholdStab = mSavedStab;
        RetroBrakeFactor = mSavedRetro[0];
        RetroBrakeComplement = mSavedRetro[1];
        LateralBrakeFactor = mSavedRetro[2];
        LateralBrakeComplement = mSavedRetro[3];
        PhysicsSceneTest::TearDown();
    }

    // Speeds 1..3 m/s; gains 0.2..1.0, pitches 0.8..1.2, for every family.
    static void SetFamilies()
    {
#define SET_FAMILY(f)                                                                               \
    f##GainMin = 0.2f; f##GainMax = 1.0f; f##GainRange = 0.8f;                                       \
    f##PitchMin = 0.8f; f##PitchMax = 1.2f; f##PitchRange = 0.4f;                                    \
    f##VelocityMin = 1.0f; f##VelocityMax = 3.0f; f##VelocityMin2 = 1.0f; f##VelocityMax2 = 9.0f;    \
    f##InvVelocityRange2 = 1.0f / 8.0f;
        SET_FAMILY(HitGround)
        SET_FAMILY(HitBall)
        SET_FAMILY(RollGround)
#undef SET_FAMILY
    }

    struct Ball {
        std::unique_ptr<CBall> ball;
        std::unique_ptr<RecordingListener> listener;
        CPhysicObject* body;
    };
    Ball& AddListenedBall(const std::string& name, const Ogre::Vector3& position, int kind = CBall::KIND_BALL)
    {
        CPhysicObject* body = AddBall(name, position, gPhysicMgr.FindMaterial("boule"));
        CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
        Ball b;
        b.ball.reset(new CBall(kind, node));
        b.listener.reset(new RecordingListener(b.ball.get()));
        b.listener->mImpactListener = &mImpacts;
        node->SetContactListener(b.listener.get());
        b.body = body;
        mBalls.push_back(std::move(b));
        return mBalls.back();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame(1.0f / 60.0f);
    }

    TestNode* mTerrain = nullptr;
    CKEMSceneCollisionMesh* mGround = nullptr;
    ImpactRecorder mImpacts;
    std::deque<Ball> mBalls;
    std::vector<const char*> mSaved;
    float mSavedStab = 0.0f;
    std::vector<float> mSavedRetro;
};

}  // namespace

TEST(BallListenerLevel, GainAndPitchFollowTheSquaredSpeed)
{
    const CPhysicBallListener::SoundFamily f{0.2f, 1.0f, 0.8f, 0.8f, 1.2f, 0.4f, 1.0f, 9.0f, 1.0f / 8.0f};
    struct Case {
        float s2, k, gain, pitch;
    } cases[] = {
        {0.0f, 1.0f, 0.2f, 0.8f},     // below the low speed
        {1.0f, 1.0f, 0.2f, 0.8f},     // at the low speed
        {5.0f, 1.0f, 0.6f, 1.0f},     // half way
        {9.0f, 1.0f, 1.0f, 1.2f},     // at the high speed
        {50.0f, 1.0f, 1.0f, 1.2f},    // beyond
        // A glancing ball-on-ball impact scales the level.
        {0.5f, 0.5f, 0.1f, 0.4f},
        {5.0f, 0.5f, 0.4f, 0.9f},
        {20.0f, 0.5f, 0.5f, 0.6f},
        {20.0f, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.s2 << " k " << c.k);
        const CPhysicBallListener::SoundLevel level = CPhysicBallListener::Level(f, c.s2, c.k);
        EXPECT_NEAR(level.gain, c.gain, 1e-6f);
        EXPECT_NEAR(level.pitch, c.pitch, 1e-6f);
    }
}

// Landing: the sound by speed, the braking by spin, the impact listener told;
// a ball that lands without speed does nothing at all.
TEST_F(BallListenerTest, LandingSoundBrakingAndNotification)
{
    Ball& b = AddListenedBall("boule 1", Ogre::Vector3(0, 0.0375f, 0));
    CKEMSceneNode* node = b.ball->mNode;
    struct Case {
        Ogre::Vector3 velocity;
        int effect;
        float value;
        float factor, gain;
    } cases[] = {
        {{0, -2, 0}, CBall::EFFECT_NONE, 1.0f, 1.0f, 0.5f},
        {{3, -1, 0}, CBall::EFFECT_NONE, 0.0f, 1.0f, 1.0f},
        {{0, -1, 0}, CBall::EFFECT_FORWARD, 1.0f, 0.4f, 0.2f},
        {{0, -1, 0}, CBall::EFFECT_FORWARD, 0.0f, 1.0f, 0.2f},
        {{0, -1, 0}, CBall::EFFECT_FORWARD, 0.5f, 0.7f, 0.2f},
        {{0, -1, 0}, CBall::EFFECT_SIDE_LEFT, 1.0f, 0.7f, 0.2f},
        {{0, -1, 0}, CBall::EFFECT_SIDE_RIGHT, 0.0f, 1.0f, 0.2f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.velocity << " effect " << c.effect << " " << c.value);
        b.listener->played.clear();
        mImpacts.ground.clear();
        b.ball->mEffect = c.effect;
        b.ball->mEffectValue = c.value;
        b.body->setLinearVelocity(c.velocity);
        ContactInfo info;
        b.listener->OnContact(node, mGround, info);
        ASSERT_EQ(b.listener->played.size(), 1u);
        EXPECT_EQ(b.listener->played[0].name, "hit_ground.wav");
        EXPECT_NEAR(b.listener->played[0].gain, c.gain, 1e-5f);
        EXPECT_TRUE(b.body->getLinearVelocity().positionEquals(c.velocity * c.factor, 1e-4f));
        EXPECT_EQ(mImpacts.ground.size(), 1u);
    }

    b.listener->played.clear();
    mImpacts.ground.clear();
    b.ball->mEffect = CBall::EFFECT_FORWARD;
    b.body->setLinearVelocity(Ogre::Vector3::ZERO);
    ContactInfo info;
    b.listener->OnContact(node, mGround, info);
    EXPECT_TRUE(b.listener->played.empty());
    EXPECT_TRUE(mImpacts.ground.empty());

    // An invisible ball makes no sound but is still reported.
    node->setToVisible(false);
    b.body->setLinearVelocity(Ogre::Vector3(0, -2, 0));
    b.listener->OnContact(node, mGround, info);
    EXPECT_TRUE(b.listener->played.empty());
    EXPECT_EQ(mImpacts.ground.size(), 1u);
}

// Both balls get the same contact record: one sound and one notification,
// on the listener whose report comes first; sounds are at most one per 50 ms.
TEST_F(BallListenerTest, BallOnBallMakesOneSoundPerContact)
{
    Ball& a = AddListenedBall("boule 1", Ogre::Vector3(0, 0.0375f, 0));
    Ball& c = AddListenedBall("boule 2", Ogre::Vector3(0.075f, 0.0375f, 0));
    CKEMSceneNode* na = a.ball->mNode;
    CKEMSceneNode* nc = c.ball->mNode;
    a.body->setLinearVelocity(Ogre::Vector3::ZERO);
    c.body->setLinearVelocity(Ogre::Vector3(-2, 0, 0));   // head on toward a

    ContactInfo info;
    a.listener->OnContact(na, nc, info);
    c.listener->OnContact(nc, na, info);
    ASSERT_EQ(a.listener->played.size(), 1u);
    EXPECT_TRUE(c.listener->played.empty());
    EXPECT_EQ(a.listener->played[0].name, "hit_ball.wav");
    EXPECT_NEAR(a.listener->played[0].gain, 0.2f + 0.8f * 3.0f / 8.0f, 1e-5f);   // s2 4, k 1
    ASSERT_EQ(mImpacts.balls.size(), 1u);
    EXPECT_EQ(mImpacts.balls[0].first, na);
    EXPECT_EQ(mImpacts.balls[0].second, nc);
    EXPECT_TRUE(info.handled);

    // A new contact within 50 ms: told, not heard; after 50 ms heard again.
    gNow += 50;
    ContactInfo again;
    a.listener->OnContact(na, nc, again);
    EXPECT_EQ(a.listener->played.size(), 1u);
    EXPECT_EQ(mImpacts.balls.size(), 2u);
    gNow += 1;
    ContactInfo later;
    a.listener->OnContact(na, nc, later);
    EXPECT_EQ(a.listener->played.size(), 2u);

    // Touching the death plate stops the ball.
    TestNode* plate = new TestNode(nullptr, "DeadPhysic");
    a.body->setLinearVelocity(Ogre::Vector3(1, 2, 3));
    a.body->setAngularVelocity(Ogre::Vector3(1, 0, 0));
    ContactInfo onPlate;
    a.listener->OnContact(na, plate, onPlate);
    EXPECT_EQ(a.body->getLinearVelocity(), Ogre::Vector3::ZERO);
    EXPECT_EQ(a.body->getAngularVelocity(), Ogre::Vector3::ZERO);
}

// The ball of the throw keeps its speed but goes horizontal against an
// obstacle; the others bounce as the physics says.
TEST_F(BallListenerTest, ThrownBallIsKeptFlatAgainstObstacles)
{
    Ball& b = AddListenedBall("boule 1", Ogre::Vector3(0, 0.0375f, 0));
    TestNode* wall = new TestNode(nullptr, "mur");
    b.body->setLinearVelocity(Ogre::Vector3(3, 4, 0));
    ContactInfo info;
    b.listener->OnContactContinue(b.ball->mNode, wall, info);
    EXPECT_EQ(b.body->getLinearVelocity(), Ogre::Vector3(3, 4, 0));
    b.ball->mHighlight = 1;
    b.listener->OnContact(b.ball->mNode, wall, info);
    EXPECT_TRUE(b.body->getLinearVelocity().positionEquals(Ogre::Vector3(5, 0, 0), 1e-4f));
}

// A ball sent along a low-friction ground rolls with its rolling sound and
// comes exactly to rest; without the listener it would keep creeping.
TEST_F(BallListenerTest, LaunchedBallRollsAndComesToRest)
{
    Ball& b = AddListenedBall("boule 1", Ogre::Vector3(0, 0.04f, 0));
    Ball& target = AddListenedBall("boule 2", Ogre::Vector3(0, 0.04f, 3), CBall::KIND_TARGET);
    Ball& loose = AddListenedBall("boule 3", Ogre::Vector3(0, 0.04f, -3));
    loose.ball->mNode->SetContactListener(nullptr);
    for (Ball* x : {&b, &target, &loose})
        x->ball->Launch(0.0f, 2.0f, 0.0f, Ogre::Vector3(1, 0, 0));

    bool heardRolling = false;
    int frames = 0;
    while (frames < 1200 && (b.body->getLinearVelocity() != Ogre::Vector3::ZERO ||
                             target.body->getLinearVelocity() != Ogre::Vector3::ZERO)) {
        Frame(1.0f / 60.0f);
        heardRolling = heardRolling || b.listener->rolling;
        ++frames;
    }
    EXPECT_LT(frames, 1200);
    EXPECT_EQ(b.body->getLinearVelocity(), Ogre::Vector3::ZERO);
    EXPECT_EQ(target.body->getLinearVelocity(), Ogre::Vector3::ZERO);
    EXPECT_GT(b.listener->mBall->GetWorldPosition().x, 0.3f);
    EXPECT_NEAR(b.listener->mBall->GetWorldPosition().y, 0.0375f, 0.005f);
    EXPECT_TRUE(heardRolling);
    EXPECT_FALSE(b.listener->rolling);
    ASSERT_FALSE(b.listener->played.empty());
    EXPECT_EQ(b.listener->played[0].name, "hit_ground.wav");
    EXPECT_FALSE(mImpacts.ground.empty());
    // The target ball is stopped too, but never heard landing or reported.
    EXPECT_TRUE(target.listener->played.empty());
    for (CKEMSceneNode* n : mImpacts.ground)
        EXPECT_NE(n, target.ball->mNode);
    // Friction alone leaves the unlistened ball creeping.
    EXPECT_NE(loose.body->getLinearVelocity(), Ogre::Vector3::ZERO);
}
