// Bodies against real ODE: queued forces spread over steps, waking, masses.
#include "OdeTestFixture.h"

#include "COdeBody.h"

using odetest::FeedFrames;

namespace {

class OdeBodyTest : public OdeWorldTest {
protected:
    void SetUp() override
    {
        OdeWorldTest::SetUp();
        world->SetGravity(Ogre::Vector3::ZERO);
        // Binary-exact step; the first call fills the overflow to one step,
        // every later Step(step) then runs exactly one world step.
        world->SetStepSize(0.125f);
        world->Step(0.125f);
        ball = odetest::MakeBall(*world, nullptr, Ogre::Vector3(0.0f, 5.0f, 0.0f), 0.1f, 1.0f);
        body = ball->getBody();
    }
    void OneStep() { world->Step(0.125f); }
    float Vx() const { return body->getLinearVelocity().x; }

    COdeActor* ball = nullptr;
    COdeBody* body = nullptr;
};

const Ogre::Vector3 kAtCentre = Ogre::Vector3::ZERO;

} // namespace

TEST_F(OdeBodyTest, TimedForceActsFullyForWholeStepsAndByItsShareInTheLast)
{
    // 8 N on 1 kg for 2.5 steps of 0.125 s: +1 m/s, +1 m/s, +0.5 m/s, then gone.
    body->queueForce(ForceRequest(Ogre::Vector3(8.0f, 0.0f, 0.0f), 1, kAtCentre, 0, 0.3125f));
    const float expected[] = {1.0f, 2.0f, 2.5f, 2.5f};
    for (float v : expected) {
        OneStep();
        EXPECT_FLOAT_EQ(Vx(), v);
    }
    EXPECT_EQ(body->getQueueSize(), 0u);
}

TEST_F(OdeBodyTest, OneStepForceActsInExactlyOneStepEvenWhenAFrameRunsSeveral)
{
    body->queueForce(ForceRequest(Ogre::Vector3(8.0f, 0.0f, 0.0f), 1, kAtCentre, 0));
    world->Step(0.375f);   // three world steps in one call
    EXPECT_EQ(world->GetTime(), 0.375f);
    EXPECT_FLOAT_EQ(Vx(), 1.0f);
    EXPECT_EQ(body->getQueueSize(), 0u);
}

TEST_F(OdeBodyTest, EveryQueuedRequestAppliesOncePerStepWhateverIsRemoved)
{
    // The first (one-step) entry goes after the first step; the last one
    // takes its place and must still act in that same step.
    body->queueForce(ForceRequest(Ogre::Vector3(8.0f, 0.0f, 0.0f), 1, kAtCentre, 0));
    body->queueForce(ForceRequest(Ogre::Vector3(16.0f, 0.0f, 0.0f), 1, kAtCentre, 0, 0.25f));
    body->queueForce(ForceRequest(Ogre::Vector3(32.0f, 0.0f, 0.0f), 1, kAtCentre, 0, 0.125f));
    OneStep();
    EXPECT_FLOAT_EQ(Vx(), 7.0f);   // (8 + 16 + 32) * 0.125
    EXPECT_EQ(body->getQueueSize(), 1u);
    OneStep();
    EXPECT_FLOAT_EQ(Vx(), 9.0f);
    EXPECT_EQ(body->getQueueSize(), 0u);
}

TEST_F(OdeBodyTest, ForceWithNoTimeLeftPushesNothing)
{
    body->queueForce(ForceRequest(Ogre::Vector3(8.0f, 0.0f, 0.0f), 1, kAtCentre, 0, -0.5f));
    OneStep();
    EXPECT_FLOAT_EQ(Vx(), 0.0f);
    EXPECT_EQ(body->getQueueSize(), 0u);
}

TEST_F(OdeBodyTest, BodyAxesFollowTheBodysOrientation)
{
    // Turned a quarter about y: body x is world -z.
    ball->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));
    body->queueForce(ForceRequest(Ogre::Vector3(8.0f, 0.0f, 0.0f), 0, kAtCentre, 0));
    body->queueTorque(ForceRequest(Ogre::Vector3(0.0f, 0.0f, 1.0f), 0, kAtCentre, 0));
    OneStep();
    const Ogre::Vector3 v = body->getLinearVelocity();
    EXPECT_NEAR(v.x, 0.0f, 1e-5f);
    EXPECT_NEAR(v.z, -1.0f, 1e-5f);
    EXPECT_GT(body->getAngularVelocity().x, 0.0f);   // body z is world x
}

TEST_F(OdeBodyTest, SleepingBodyWakesForQueuedForcesAndForAVelocity)
{
    world->SetGravity(Ogre::Vector3(0.0f, -9.81f, 0.0f));
    odetest::MakeGround(*world, nullptr);
    ball->setPosition(Ogre::Vector3(0.3f, 0.1f, 0.7f));
    for (int i = 0; i < 40 && body->isEnabled(); ++i)
        OneStep();
    ASSERT_FALSE(body->isEnabled());

    body->setLinearVelocity(Ogre::Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(body->isEnabled());

    body->setEnabled(false);
    body->queueTorque(ForceRequest(Ogre::Vector3(0.0f, 1.0f, 0.0f), 1, kAtCentre, 0));
    OneStep();
    EXPECT_TRUE(body->isEnabled());

    // An actor switched off stays asleep whatever it is given: with its
    // geoms out of collision it would fall through the ground.
    ball->setEnabled(false);
    body->setLinearVelocity(Ogre::Vector3(1.0f, 0.0f, 0.0f));
    body->queueForce(ForceRequest(Ogre::Vector3(0.0f, 80.0f, 0.0f), 1, kAtCentre, 0));
    const Ogre::Vector3 resting = ball->getPosition();
    OneStep();
    EXPECT_FALSE(body->isEnabled());
    EXPECT_EQ(ball->getPosition(), resting);
    EXPECT_EQ(body->getQueueSize(), 1u);   // it waits for the actor

    ball->setEnabled(true);
    OneStep();
    EXPECT_EQ(body->getQueueSize(), 0u);
    EXPECT_GT(body->getLinearVelocity().y, 0.0f);
}

// A body put to sleep keeps its geoms in collision: a ball that hits it
// wakes it and moves it. Switched off, the same ball is passed through.
TEST_F(OdeBodyTest, ASleepingBallIsWokenByABallThatHitsItAndASwitchedOffOneIsNot)
{
    const Ogre::Vector3 place(0.0f, 1.0f, 0.0f);
    for (bool switchedOff : {false, true}) {
        SCOPED_TRACE(switchedOff ? "switched off" : "asleep");
        ball->setEnabled(true);
        ball->setPosition(place);
        body->setLinearVelocity(Ogre::Vector3::ZERO);
        body->setAngularVelocity(Ogre::Vector3::ZERO);
        body->setEnabled(false);
        if (switchedOff)
            ball->setEnabled(false);
        COdeActor* thrown = odetest::MakeBall(*world, nullptr, Ogre::Vector3(-0.3f, 1.0f, 0.0f), 0.1f, 1.0f);
        thrown->getBody()->setLinearVelocity(Ogre::Vector3(1.0f, 0.0f, 0.0f));
        for (int i = 0; i < 4; ++i)
            OneStep();
        if (switchedOff) {
            EXPECT_EQ(ball->getPosition(), place);
            EXPECT_GT(thrown->getPosition().x, place.x);   // straight through
        } else {
            EXPECT_TRUE(body->isEnabled());
            EXPECT_GT(ball->getPosition().x, place.x + 0.05f);
            EXPECT_LT(thrown->getPosition().x, ball->getPosition().x);
        }
        world->RemoveActor(thrown);
    }
}

TEST_F(OdeBodyTest, TotalMassKeepsTheUnitSphereInertia)
{
    body->setTotalMass(2.0f);
    const dMass& m = body->getMass();
    EXPECT_DOUBLE_EQ(m.mass, 2.0);
    EXPECT_NEAR(m.I[0], 0.8, 1e-9);   // 0.4 * m * 1^2
    EXPECT_NEAR(m.I[5], 0.8, 1e-9);
    EXPECT_NEAR(m.I[10], 0.8, 1e-9);
}
