// The world against real ODE: the fixed-step feed, contact notifications,
// material mixing in contacts and the collision filter.
#include "OdeTestFixture.h"

#include "COdeMaterial.h"
#include "COdeShapes.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

using odetest::FeedFrame;
using odetest::FeedFrames;

namespace {

// Steps the world one world step at a time (after the first call has filled
// the overflow up to one step) and gives the ball's vertical velocity.
struct StepProbe {
    explicit StepProbe(COdeWorld& w) : world(w) { world.Step(world.GetStepSize()); }
    void Once() { world.Step(world.GetStepSize()); }
    COdeWorld& world;
};

} // namespace

// ---- fixed-step feed -------------------------------------------------------

TEST_F(OdeWorldTest, StepRunsOnlyWholeStepsStrictlyInsideTheOverflowAndCarriesTheRest)
{
    // Binary-exact values so that the expectations are exact.
    ASSERT_TRUE(world->SetStepSize(0.125f));
    struct Case {
        float dt;
        float time;       // simulated time after the call
        float overflow;   // carried to the next call
    };
    const Case cases[] = {
        {0.125f, 0.0f, 0.125f},     // equal to the step: waits for more time
        {0.125f, 0.125f, 0.125f},   // now strictly more than one step
        {0.0625f, 0.25f, 0.0625f},
        {0.0f, 0.25f, 0.0625f},
        {0.4375f, 0.625f, 0.125f},  // 0.5 accumulated: three steps, one carried
        {0.03125f, 0.75f, 0.03125f},
    };
    for (const Case& c : cases) {
        world->Step(c.dt);
        EXPECT_EQ(world->GetTime(), c.time) << "after Step(" << c.dt << ")";
        EXPECT_EQ(world->GetOverflow(), c.overflow) << "after Step(" << c.dt << ")";
    }
}

TEST_F(OdeWorldTest, FramesFedInPiecesAdvanceByWholeStepsOnly)
{
    // 1/60 s frames over a 1/400 s step: every frame runs 6 or 7 steps and
    // nothing is lost between frames.
    const float step = world->GetStepSize();
    float fed = 0.0f;
    for (int frame = 0; frame < 120; ++frame) {
        const float before = world->GetTime();
        FeedFrame(*world, odetest::kFrame);
        fed += odetest::kFrame;
        const double steps = (world->GetTime() - before) / step;
        EXPECT_NEAR(steps, std::round(steps), 1e-3) << "frame " << frame;
        EXPECT_GT(world->GetOverflow(), 0.0f);
        EXPECT_LE(world->GetOverflow(), step * 1.0001f);
    }
    EXPECT_NEAR(world->GetTime() + world->GetOverflow(), fed, 1e-4);
}

TEST_F(OdeWorldTest, StepTraceLineOnlyWhenTheTraceSwitchIsSet)
{
    const struct {
        const char* value;   // null: unset
        bool traced;
    } cases[] = {{nullptr, false}, {"0", false}, {"", false}, {"1", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            setenv("TAVIRELO_PHYSICS_TRACE", c.value, 1);
        else
            unsetenv("TAVIRELO_PHYSICS_TRACE");
        std::unique_ptr<COdeWorld> traced(system.CreateWorld());
        testing::internal::CaptureStdout();
        traced->Step(0.05f);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("physics.step()") != std::string::npos, c.traced);
    }
    unsetenv("TAVIRELO_PHYSICS_TRACE");
}

TEST_F(OdeWorldTest, UnusableStepSizesAreRefusedAndStepStillReturns)
{
    ASSERT_TRUE(world->SetStepSize(0.015625f));
    const float refused[] = {0.0f, -0.01f, 1e-9f, std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity()};
    for (float s : refused) {
        EXPECT_FALSE(world->SetStepSize(s)) << s;
        EXPECT_EQ(world->GetStepSize(), 0.015625f) << s;
    }
    world->Step(0.5f);
    EXPECT_EQ(world->GetTime(), 31 * 0.015625f);

    // Time that is not a number never reaches the accumulator.
    const float time = world->GetTime();
    world->Step(std::numeric_limits<float>::quiet_NaN());
    world->Step(std::numeric_limits<float>::infinity());
    world->Step(-1.0f);
    world->Step(0.0625f);
    EXPECT_EQ(world->GetTime(), time + 0.0625f);
}

// ---- contacts --------------------------------------------------------------

TEST_F(OdeWorldTest, BallOnMeshGroundGetsOneBeginContinuesAndOneEnd)
{
    RecordingReceiver groundRx, ballRx;
    odetest::MakeGround(*world, &groundRx);
    // Set down gently, away from the mesh's vertices, so that it lands once.
    COdeActor* ball = odetest::MakeBall(*world, &ballRx, Ogre::Vector3(0.3f, odetest::kBallRadius + 0.005f, 0.7f));
    // The first listener to treat a contact marks it; the other sees the mark.
    ballRx.hook = [](RecordingReceiver::Kind kind, ContactInfo* info) {
        if (kind == RecordingReceiver::BEGIN)
            info->handled = true;
    };

    FeedFrames(*world, 30);
    EXPECT_NEAR(ball->getPosition().y, odetest::kBallRadius, 0.002f);
    ASSERT_FALSE(ballRx.events.empty());
    EXPECT_EQ(ballRx.events.front().kind, RecordingReceiver::BEGIN);
    EXPECT_EQ(ballRx.Count(RecordingReceiver::BEGIN), 1);
    EXPECT_GT(ballRx.Count(RecordingReceiver::CONTINUE), 100);   // every contact point of every step
    EXPECT_EQ(ballRx.Count(RecordingReceiver::END), 0);
    for (const auto& e : ballRx.events)
        EXPECT_EQ(e.other, &groundRx);

    const ContactInfo& first = ballRx.events.front().info;
    EXPECT_NEAR(first.normal.y, 1.0f, 1e-4f);
    EXPECT_NEAR(first.position.x, 0.3f, 0.01f);
    EXPECT_NEAR(first.position.y, 0.0f, 0.01f);
    EXPECT_GE(first.depth, 0.0f);
    ASSERT_FALSE(groundRx.events.empty());
    EXPECT_TRUE(groundRx.events.front().info.handled);

    // Lifted clear: the pair ends at the post-step of the first frame
    // without contact, once.
    ball->setPosition(Ogre::Vector3(0.3f, 2.0f, 0.7f));
    ball->getBody()->setLinearVelocity(Ogre::Vector3::ZERO);
    FeedFrame(*world, odetest::kFrame);
    EXPECT_EQ(ballRx.Count(RecordingReceiver::END), 1);
    EXPECT_EQ(ballRx.events.back().kind, RecordingReceiver::END);
    EXPECT_EQ(ballRx.events.back().other, &groundRx);
    EXPECT_TRUE(ball->getContacts().empty());
    FeedFrames(*world, 5);
    EXPECT_EQ(ballRx.Count(RecordingReceiver::END), 1);

    // The other side hears begin and continues, never the end.
    EXPECT_EQ(groundRx.Count(RecordingReceiver::BEGIN), 1);
    EXPECT_EQ(groundRx.Count(RecordingReceiver::CONTINUE), ballRx.Count(RecordingReceiver::CONTINUE));
    EXPECT_EQ(groundRx.Count(RecordingReceiver::END), 0);
    for (const auto& e : groundRx.events)
        EXPECT_EQ(e.other, &ballRx);
}

namespace {

MaterialDesc Surface(float friction, float bounce, float bounceVel)
{
    MaterialDesc m;
    m.friction1 = friction;
    m.bounce = bounce;
    m.bounceVel = bounceVel;
    return m;
}

} // namespace

// Upward speed after landing, over the speed of impact.
static float ReboundRatio(COdeWorld& world, float ballBounce, float groundBounce)
{
    world.AddMaterial(Surface(10.0f, ballBounce, 0.1f), "ball");
    world.AddMaterial(Surface(10.0f, groundBounce, 0.1f), "ground");
    odetest::MakeGround(world, nullptr, "ground");
    COdeActor* ball = odetest::MakeBall(world, nullptr, Ogre::Vector3(0.3f, 0.3f, 0.7f), odetest::kBallRadius,
                                        odetest::kBallMass, "ball");
    StepProbe probe(world);
    float impact = 0.0f;
    for (int i = 0; i < 400 && ball->getBody()->getLinearVelocity().y <= 0.0f; ++i) {
        impact = ball->getBody()->getLinearVelocity().y;
        probe.Once();
    }
    float rebound = 0.0f;
    for (int i = 0; i < 10; ++i) {
        rebound = std::max(rebound, ball->getBody()->getLinearVelocity().y);
        probe.Once();
    }
    return rebound / -impact;
}

// Horizontal deceleration of a sliding ball that does not spin.
static float SlidingDeceleration(COdeWorld& world, float ballFriction, float groundFriction)
{
    world.AddMaterial(Surface(ballFriction, 0.1f, 10.0f), "ball");
    world.AddMaterial(Surface(groundFriction, 0.1f, 10.0f), "ground");
    odetest::MakeGround(world, nullptr, "ground");
    COdeActor* ball = odetest::MakeBall(world, nullptr, Ogre::Vector3(0.3f, odetest::kBallRadius, 0.7f),
                                        odetest::kBallRadius, odetest::kBallMass, "ball");
    FeedFrames(world, 10);
    ball->getBody()->setLinearVelocity(Ogre::Vector3(2.0f, 0.0f, 0.0f));
    ball->getBody()->setAngularVelocity(Ogre::Vector3::ZERO);
    const float t0 = world.GetTime();
    StepProbe probe(world);
    for (int i = 0; i < 8; ++i)
        probe.Once();
    return (2.0f - ball->getBody()->getLinearVelocity().x) / (world.GetTime() - t0);
}

TEST_F(OdeWorldTest, ContactsTakeTheLargerBounceOfTheTwoMaterials)
{
    const float ballLively = ReboundRatio(*world, 0.6f, 0.1f);
    TearDown();
    SetUp();
    const float groundLively = ReboundRatio(*world, 0.1f, 0.6f);
    TearDown();
    SetUp();
    const float bothDull = ReboundRatio(*world, 0.1f, 0.1f);

    EXPECT_NEAR(ballLively, groundLively, 0.05f);
    EXPECT_GT(ballLively, bothDull + 0.3f);
}

TEST_F(OdeWorldTest, ContactsTakeTheSmallerFrictionOfTheTwoMaterials)
{
    const float g = 9.81f;
    EXPECT_NEAR(SlidingDeceleration(*world, 0.5f, 10.0f), 0.5f * g, 0.5f);
    TearDown();
    SetUp();
    EXPECT_NEAR(SlidingDeceleration(*world, 10.0f, 0.5f), 0.5f * g, 0.5f);
    TearDown();
    SetUp();
    EXPECT_NEAR(SlidingDeceleration(*world, 0.25f, 0.5f), 0.25f * g, 0.5f);
}

TEST_F(OdeWorldTest, BodiesJoinedByAJointNeverCollide)
{
    for (bool joined : {false, true}) {
        SCOPED_TRACE(joined ? "joined" : "free");
        TearDown();
        SetUp();
        world->SetGravity(Ogre::Vector3::ZERO);
        RecordingReceiver rxA, rxB;
        COdeActor* a = odetest::MakeBall(*world, &rxA, Ogre::Vector3(0.0f, 1.0f, 0.0f));
        COdeActor* b = odetest::MakeBall(*world, &rxB, Ogre::Vector3(0.05f, 1.0f, 0.0f));
        if (joined) {
            dJointID j = dJointCreateBall(world->GetWorldId(), nullptr);
            dJointAttach(j, a->getBody()->getBodyId(), b->getBody()->getBodyId());
            dJointSetBallAnchor(j, 0.025, 1.0, 0.0);
        }
        FeedFrame(*world, odetest::kFrame);
        EXPECT_EQ(rxA.events.empty() && rxB.events.empty(), joined);
    }
}

TEST_F(OdeWorldTest, ListenerMaySwitchItsActorOffDuringTheCollisionPass)
{
    RecordingReceiver ballRx;
    odetest::MakeGround(*world, nullptr);
    COdeActor* ball = odetest::MakeBall(*world, &ballRx, Ogre::Vector3(0.3f, 0.2f, 0.7f));
    // As the game's death plate does: physics off on the first touch.
    ballRx.hook = [ball](RecordingReceiver::Kind kind, ContactInfo*) {
        if (kind == RecordingReceiver::BEGIN)
            ball->setEnabled(false);
    };
    FeedFrames(*world, 40);
    EXPECT_EQ(ballRx.Count(RecordingReceiver::BEGIN), 1);
    EXPECT_FALSE(ball->isEnabled());
    EXPECT_FALSE(ball->getBody()->isEnabled());
    EXPECT_EQ(dGeomGetSpace(ball->getGeoms().front()->getGeomId()), nullptr);

    ball->setEnabled(true);
    EXPECT_EQ(dGeomGetSpace(ball->getGeoms().front()->getGeomId()), world->GetSpaceId());
    EXPECT_TRUE(ball->getBody()->isEnabled());
}

TEST_F(OdeWorldTest, RemovingAnActorDropsItFromTheOthersContactMaps)
{
    RecordingReceiver groundRx, ballRx;
    COdeActor* ground = odetest::MakeGround(*world, &groundRx);
    COdeActor* ball = odetest::MakeBall(*world, &ballRx, Ogre::Vector3(0.3f, odetest::kBallRadius, 0.7f));
    FeedFrames(*world, 3);
    const bool ballHeadsPair = !ball->getContacts().empty();
    ASSERT_TRUE(ballHeadsPair || !ground->getContacts().empty());

    world->RemoveActor(ground);
    FeedFrames(*world, 3);   // an end with the removed actor would read freed memory
    EXPECT_TRUE(ball->getContacts().empty());
    EXPECT_EQ(ballRx.Count(RecordingReceiver::END), 0);
}
