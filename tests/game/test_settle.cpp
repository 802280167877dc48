// When a throw's balls count as at rest, on the Marseille ground and balls:
// a ball still rolling, however slowly, is left to physics; one that only
// creeps against an obstacle ends the throw long before the settle limit.
// And a LAN receiver keeps the balls where the thrower's body puts them.
#include "SceneText.h"
#include "VenueBallsScene.h"

#include <BallsRest.h>
#include <CObjnet.h>
#include <CReplayMgr.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class SettleTest : public VenueBallsScene {
protected:
    void TearDown() override
    {
        gPhysicMgr.SetGravity(Ogre::Vector3(0.0f, -9.81f, 0.0f));
        VenueBallsScene::TearDown();
    }
    // The ground tilted by `slope` (rise over run), falling toward +x: the
    // venues' grounds are flat, gravity leans instead.
    static void Slope(float slope)
    {
        const float a = std::atan(slope);
        gPhysicMgr.SetGravity(Ogre::Vector3(9.81f * std::sin(a), -9.81f * std::cos(a), 0.0f));
    }

    struct Run {
        uint32_t stilledAtMs = 0;                   // 0: the rule never fired
        std::vector<Ogre::Vector3> stilledPlaces;   // local, when it fired
        uint32_t restAtMs = 0;                      // 0: physics never stopped them
        std::vector<Ogre::Vector3> restPlaces;      // local, at the end of the run
        float topSpeed = 0.0f;                      // of a moving ball, after the first second
    };
    // Frames until physics stops every ball or `limitMs`; the rule only
    // records. `push` (N) is applied to `pushed` in every frame.
    Run Watch(uint32_t limitMs, CBall* pushed = nullptr, const Ogre::Vector3& push = Ogre::Vector3::ZERO)
    {
        Run run;
        BallsRest rest;
        const std::vector<CBall*> balls = Balls();
        for (uint32_t now = 0; now <= limitMs;) {
            if (pushed)
                Body(pushed)->addForce(push, 1, Ogre::Vector3::ZERO, 1, kFrameS);
            Frame(kFrameS);
            now += 17;
            if (!AnyMoving()) {
                run.restAtMs = now;
                break;
            }
            if (run.stilledAtMs == 0 && rest.Update(balls, now)) {
                run.stilledAtMs = now;
                for (CBall* b : balls)
                    run.stilledPlaces.push_back(Local(b->GetWorldPosition()));
            }
            for (CBall* b : balls)
                if (now > 1000 && Moving(b))
                    run.topSpeed = std::max(run.topSpeed, Body(b)->getLinearVelocity().length());
        }
        for (CBall* b : balls)
            run.restPlaces.push_back(Local(b->GetWorldPosition()));
        return run;
    }
};

}  // namespace

// Creeping is moving and rolling no faster than the rest speed; turning
// about the upright axis moves a ball nowhere.
TEST(BallsRestRule, CreepingIsNeitherMovingNorRolling)
{
    const float r = BallsRest::kBallRadius, slow = BallsRest::kRestSpeed * 0.5f, fast = BallsRest::kRestSpeed * 2.0f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Ogre::Vector3 linear, angular;
        bool creeping;
    } cases[] = {
        {"still", Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, true},
        {"creeping, barely turning", {slow, 0, 0}, {0, 0, -slow / r}, true},
        {"spinning upright in place", {slow, 0, slow}, {0, 40.0f, 0}, true},
        {"faster than the rest speed", {0, 0, fast}, Ogre::Vector3::ZERO, false},
        {"rolling slowly", {fast, 0, 0}, {0, 0, -fast / r}, false},
        {"at the turn of a back-spun ball", {slow, 0, 0}, {0, 0, 2.0f}, false},
        {"turned about x", Ogre::Vector3::ZERO, {fast / r, 0, 0}, false},
        {"NaN speed", {nan, 0, 0}, Ogre::Vector3::ZERO, false},
        {"NaN spin", Ogre::Vector3::ZERO, {0, 0, nan}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BallsRest::IsCreeping(c.linear, c.angular, r), c.creeping) << c.what;
}

TEST_F(SettleTest, ABallRollingSlowlyUpAGentleSlopeRestsWherePhysicsLeavesIt)
{
    // Slower than the old rest speed (10 cm/s), faster than the ground's
    // stop speed: it rolls on for seconds and tens of centimetres.
    struct Case {
        float slope, speed;   // m/s, uphill
    } cases[] = {{0.02f, 0.06f}, {0.05f, 0.08f}, {0.05f, 0.055f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "slope " << c.slope << ", " << c.speed << " m/s");
        Slope(c.slope);
        // Rolling: turning as fast as it goes.
        CBall* ball = Put(1, Ogre::Vector3(1.0f, BallsRest::kBallRadius, 0.0f), Ogre::Vector3(-c.speed, 0, 0),
                          Ogre::Vector3(0, 0, c.speed / BallsRest::kBallRadius));
        const Run run = Watch(30000);
        ASSERT_NE(run.restAtMs, 0u) << "physics stops it within the settle limit";
        EXPECT_GT(run.restPlaces[1].distance(Ogre::Vector3(1.0f, BallsRest::kBallRadius, 0.0f)), 0.1f);
        if (run.stilledAtMs != 0) {
            EXPECT_LT(run.stilledPlaces[1].distance(run.restPlaces[1]), 0.003f)
                << "stilled at " << run.stilledAtMs << " ms, physics stops it at " << run.restAtMs << " ms";
        }
        ball->mState = CBall::STATE_NONE;
        gPhysicMgr.RemoveObject(Body(ball));
    }
}

// A ball pushed against a border (as one under a leaning ball is) never
// stops by itself: it creeps at a speed no eye sees, in place.
TEST_F(SettleTest, ABallCreepingAgainstABorderIsStilledLongBeforeTheSettleLimit)
{
    TestNode* plank = new TestNode(nullptr, "bordure");
    plank->setPosition(TerrainOrigin() + Ogre::Vector3(1.2f, 0.1f, 0.0f), false);
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(
        scenetext::Root(scenetext::Object("bordure", 0, 0, 0.1f, 0.2f, 2.0f, 0.0f, "terrain")).c_str()));
    const Ogre::Vector3 against(1.15f - BallsRest::kBallRadius, BallsRest::kBallRadius, 0.0f);
    for (float push : {0.05f, 2.0f}) {
        SCOPED_TRACE(testing::Message() << push << " N");
        CBall* ball = Put(1, against, Ogre::Vector3(0.001f, 0, 0));
        const Run run = Watch(31000, ball, Ogre::Vector3(push, 0, 0));
        EXPECT_EQ(run.restAtMs, 0u) << "it never stops by itself";
        EXPECT_GT(run.topSpeed, 0.0f);
        EXPECT_LT(run.topSpeed, 0.0001f);
        EXPECT_GE(run.stilledAtMs, BallsRest::kRestHoldMs);
        EXPECT_LT(run.stilledAtMs, 3000u);
        ASSERT_FALSE(run.stilledPlaces.empty());
        EXPECT_LT(run.stilledPlaces[1].distance(against), 0.001f);
        EXPECT_LT(run.restPlaces[1].distance(against), 0.001f);
        ball->mState = CBall::STATE_NONE;
        gPhysicMgr.RemoveObject(Body(ball));
    }
}

// The thrower leaves a ball lying on another, a little off its top (it was
// still creeping when taken as at rest), and sends the places. The receiver
// puts its own balls there from the body and must keep them there: awake,
// the top ball would roll off on this machine alone.
TEST_F(SettleTest, AReceiverKeepsEveryBallWhereTheBodySaysUntilTheNextThrow)
{
    const float r = BallsRest::kBallRadius;
    const float off = 0.004f, apart = 2.0f * r - 0.0002f;   // touching
    const Ogre::Vector3 under(0.5f, r, -1.0f), onTop(0.5f + off, r + std::sqrt(apart * apart - off * off), -1.0f);
    CReplayMgr sender, receiver;
    for (CReplayMgr* replay : {&sender, &receiver}) {
        ASSERT_TRUE(replay->Init());
        for (size_t i = 0; i < mBalls.size(); ++i)
            ASSERT_TRUE(replay->AddEntity(mBalls[i]->GetNode(), uint8_t(i)));
        replay->SetVenueBounds(Ogre::AxisAlignedBox(TerrainOrigin() - Ogre::Vector3(10, 1, 10),
                                                    TerrainOrigin() + Ogre::Vector3(10, 5, 10)));
    }
    Put(0, Ogre::Vector3(0.0f, 0.015f, -2.0f));
    Put(1, under);
    Put(2, onTop);
    for (size_t i : {0, 1, 2})
        Body(mBalls[i].get())->GetBody()->setEnabled(false);   // as the thrower sleeps them
    sender.StartCapture(0);
    sender.CaptureFrame(16);
    sender.EndCapture(32);
    CObjnet body;
    body.Start(1);
    sender.SerializePositions(body, Balls());
    CObjnet in;
    ASSERT_EQ(in.SetData(body.GetData(), body.GetSize()), 0);
    ASSERT_TRUE(receiver.CheckPositionsBody(in));
    receiver.UnserializePositions(in);

    // The receiver's own balls lay elsewhere, some still moving.
    Put(1, Ogre::Vector3(-1.0f, r, 1.0f), Ogre::Vector3(0.3f, 0, 0));
    Put(2, Ogre::Vector3(1.0f, r, 1.0f));
    receiver.ApplyFinalState(Balls());
    for (size_t i : {0, 1, 2})
        EXPECT_FALSE(Body(mBalls[i].get())->GetBody()->isEnabled()) << "asleep, as on the thrower";
    for (int i = 0; i < 180; ++i)
        Frame(kFrameS);
    EXPECT_LT(Local(mBalls[1]->GetWorldPosition()).distance(under), 0.001f);
    EXPECT_LT(Local(mBalls[2]->GetWorldPosition()).distance(onTop), 0.001f);
    for (size_t i : {0, 1, 2}) {
        EXPECT_EQ(mBalls[i]->mState, CBall::STATE_LAUNCHED);
        EXPECT_TRUE(Body(mBalls[i].get())->IsActive()) << "still in collision for the next throw";
    }

    // The next throw's ball knocks the top ball off: asleep is not frozen.
    Put(3, under + Ogre::Vector3(-0.3f, 0.0f, 0.0f), Ogre::Vector3(2.0f, 0, 0));
    for (int i = 0; i < 60; ++i)
        Frame(kFrameS);
    EXPECT_GT(Local(mBalls[1]->GetWorldPosition()).distance(under), 0.02f);
    EXPECT_GT(Local(mBalls[2]->GetWorldPosition()).distance(onTop), 0.02f);
    sender.DeleteAllEntities();
    receiver.DeleteAllEntities();
}
