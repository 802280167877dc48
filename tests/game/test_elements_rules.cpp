// The rules of a mene on a scene without display: target-ball throws, the
// ranking of the balls and the points it gives, who throws next, the end of
// a mene and the scores.
#include "PhysicsTestEnv.h"

#include <CBall.h>
#include <CGameElement.h>
#include <CPlayer.h>
#include <MatchState.h>
#include <Team.h>
#include <Terrain.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// One player a side with 3 balls; the terrain x -2..2, z -7.5..7.5; the
// circle at (0, 0, 6) and the target ball 6 m in front of it, in play.
class MeneTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        mTeamA.mPlayers = {&mPlayerA};
        mTeamB.mPlayers = {&mPlayerB};
        mPlayerA.mFatigue = mPlayerB.mStress = 4;
        // The venue file is not found from the test folder: the scene stays empty.
        mMatch.reset(new MatchState(&mTeamA, &mTeamB, 13, 1, 0));
        gPhysicMgr.CreateWorld(mWorld);
        mMatch->mTerrain->SetLimits(Ogre::Vector3(-2, 0, -7.5f), Ogre::Vector3(2, 0, 7.5f));
        mCircle.reset(new CCircle(new TestNode(nullptr, "cercle")));
        mMatch->mCircle = mCircle.get();
        mTarget = Ball(CBall::KIND_TARGET, Ogre::Vector3(0, 0, 0));
        mTarget->mState = CBall::STATE_LAUNCHED;
        mCircle->SetWorldPosition(Ogre::Vector3(0, 0, 6));
        mMatch->StartMene();
    }
    void TearDown() override
    {
        mBalls.clear();
        mCircle.reset();
        mMatch.reset();
        PhysicsSceneTest::TearDown();
    }

    CBall* Ball(int32_t kind, const Ogre::Vector3& position, int32_t state = CBall::STATE_NONE)
    {
        TestNode* node = new TestNode(nullptr, "ball " + std::to_string(mBalls.size()));
        node->setPosition(position, false);
        mBalls.emplace_back(new CBall(kind, node));
        mBalls.back()->mState = state;
        return mBalls.back().get();
    }
    // A ball thrown by `side` lying at `position`, ranked as the game does it.
    CBall* Throw(int32_t side, const Ogre::Vector3& position, int32_t state = CBall::STATE_LAUNCHED)
    {
        mMatch->mMene->mCurrentSide = side;
        CBall* ball = Ball(CBall::KIND_BALL, position, state);
        mMatch->AfterThrow(ball);
        return ball;
    }
    MeneRecord& Mene() { return *mMatch->mMene; }
    // A new mene with the circle back at (0, 0, 6) and the target ball
    // validly thrown to (0, 0, 0).
    void NewMene()
    {
        mMatch->StartMene();
        mCircle->SetWorldPosition(Ogre::Vector3(0, 0, 6));
        SetNodeWorldPosition(mTarget->GetNode(), Ogre::Vector3::ZERO);
        mTarget->mState = CBall::STATE_LAUNCHED;
        Mene().mTargetBall = mTarget;
    }

    CPlayer mPlayerA{"A"};
    CPlayer mPlayerB{"B"};
    Team mTeamA{"team A"};
    Team mTeamB{"team B"};
    std::unique_ptr<MatchState> mMatch;
    std::unique_ptr<CCircle> mCircle;
    std::vector<std::unique_ptr<CBall>> mBalls;
    CBall* mTarget = nullptr;
};

}  // namespace

TEST_F(MeneTest, MatchStartsWithCountersResetAndBallsDealt)
{
    EXPECT_EQ(mPlayerA.mFatigue, 0);
    EXPECT_EQ(mPlayerB.mStress, 0);
    EXPECT_EQ(mTeamA.CountBallsLeft(), 3);
    EXPECT_EQ(mTeamB.CountBallsLeft(), 3);
    ASSERT_NE(mMatch->mMene, nullptr);
    EXPECT_EQ(Mene().mCurrentSide, 0);
    EXPECT_EQ(Mene().mStartingSide, 0);
    EXPECT_EQ(Mene().mTargetBall, nullptr);
    EXPECT_FALSE(IsMeneOver(mMatch->mMene));
}

TEST_F(MeneTest, TargetThrowMustLandInItsBand)
{
    // Circle on x = 1: exactly 1 m from the max-x side line.
    mCircle->SetWorldPosition(Ogre::Vector3(1, 0, 6));
    struct Case {
        Ogre::Vector3 position;
        int32_t stateBefore;
        bool valid;
        int32_t stateAfter;
    } cases[] = {
        {{1, 0, 6 - 6.25f}, CBall::STATE_LAUNCHED, true, CBall::STATE_LAUNCHED},
        {{1, 0, 6 - 10.25f}, CBall::STATE_LAUNCHED, true, CBall::STATE_LAUNCHED},
        {{1, 0, 6 - 6.24f}, CBall::STATE_LAUNCHED, false, CBall::STATE_INVALID_TARGET},
        {{1, 0, 6 - 10.26f}, CBall::STATE_LAUNCHED, false, CBall::STATE_INVALID_TARGET},
        {{1.01f, 0, 6 - 8}, CBall::STATE_LAUNCHED, false, CBall::STATE_INVALID_TARGET},   // off the margin
        {{1, 0, -6.6f}, CBall::STATE_LAUNCHED, false, CBall::STATE_INVALID_TARGET},        // 12.6 m and off
        {{1, 0, 6 - 8}, CBall::STATE_OUT, false, CBall::STATE_OUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " state " << c.stateBefore);
        CBall* ball = Ball(CBall::KIND_TARGET, c.position, c.stateBefore);
        EXPECT_EQ(IsTargetThrowValid(ball, mMatch->mTerrain, mCircle.get()), c.valid);
        EXPECT_EQ(ball->mState, c.stateAfter);
    }
}

TEST_F(MeneTest, ThreeFailedTargetThrowsPassTheTargetBall)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Mene().mCurrentSide, 0);
        EXPECT_FALSE(mMatch->AfterThrow(Ball(CBall::KIND_TARGET, Ogre::Vector3(0, 0, 3), CBall::STATE_LAUNCHED)));
    }
    EXPECT_EQ(Mene().mCurrentSide, 1);
    EXPECT_EQ(mTeamA.mFailedTargetThrows, 0);
    EXPECT_FALSE(mMatch->AfterThrow(Ball(CBall::KIND_TARGET, Ogre::Vector3(0, 0, 3), CBall::STATE_LAUNCHED)));
    EXPECT_EQ(mTeamB.mFailedTargetThrows, 1);
    EXPECT_FALSE(IsMeneOver(mMatch->mMene));

    // Side 1 places it; the side that began the mene throws the first ball.
    CBall* target = Ball(CBall::KIND_TARGET, Ogre::Vector3(0, 0, -2), CBall::STATE_LAUNCHED);
    EXPECT_TRUE(mMatch->AfterThrow(target));
    EXPECT_EQ(Mene().mTargetBall, target);
    EXPECT_EQ(Mene().mCurrentSide, 0);
    EXPECT_EQ(mTeamB.mFailedTargetThrows, 0);
    EXPECT_EQ(mTeamA.CountBallsLeft() + mTeamB.CountBallsLeft(), 6);
}

TEST_F(MeneTest, TargetBallInPlayBetween3And20MetresFromTheCircle)
{
    Mene().mTargetBall = mTarget;
    struct Case {
        float distance;
        int32_t state;
        bool inPlay;
    } cases[] = {{2.9f, 1, false}, {3.0f, 1, true}, {20.0f, 1, true}, {20.1f, 1, false}, {10.0f, 3, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        SetNodeWorldPosition(mTarget->GetNode(), Ogre::Vector3(0, 0, 6 - c.distance));
        mTarget->mState = c.state;
        EXPECT_EQ(IsTargetBallInPlay(mMatch->mMene), c.inPlay);
        EXPECT_EQ(IsMeneOver(mMatch->mMene), !c.inPlay);
    }
    EXPECT_FALSE(IsTargetBallInPlay(nullptr));
}

TEST_F(MeneTest, RankingGivesPointsToTheNearestSide)
{
    // Balls around the target ball at (0, 0, 0): (side, x, z, state), the
    // last one thrown last.
    struct Placed {
        int32_t side;
        float x, z;
        int32_t state;
    };
    struct Case {
        const char* name;
        std::vector<Placed> balls;
        uint32_t points0, points1;
        float best0, best1;   // squared metres, -1 none
        int32_t next;
    } cases[] = {
        {"nearest side scores each ball ahead of the other's nearest",
         {{0, 1, 0, 1}, {0, 0, std::sqrt(2.0f), 1}, {1, -std::sqrt(3.0f), 0, 1}, {0, 0, -2, 1}},
         2, 0, 1.0f, 3.0f, 1},
        {"side 1 holds the point: side 0 plays", {{1, 0.5f, 0, 1}, {0, 0, 0.8f, 1}, {1, 0, -0.9f, 1}}, 0, 1, 0.64f,
         0.25f, 0},
        {"first ball of the mene: side 1 plays even without the point", {{0, 3, 0, 1}}, 1, 0, 9.0f, -1.0f, 1},
        {"a ball out of play does not count", {{0, 0.1f, 0, 3}, {1, 1, 0, 1}, {0, 2, 0, 1}}, 0, 1, 4.0f, 1.0f, 0},
        {"equal distances: the first side's ball ranks first", {{0, 2, 0, 1}, {1, -2, 0, 1}}, 1, 0, 4.0f, 4.0f, 1},
        {"side 1 out of balls: side 0 throws the rest",
         {{1, 0.5f, 0, 1}, {0, 1, 0, 1}, {1, -0.6f, 0, 1}, {1, 0, 0.7f, 1}}, 0, 3, 1.0f, 0.25f, 0},
        {"side 0 out of balls: side 1 throws the rest",
         {{0, 0.5f, 0, 1}, {1, 1, 0, 1}, {0, -0.6f, 0, 1}, {0, 0, 0.7f, 1}}, 3, 0, 0.25f, 1.0f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewMene();
        for (const Placed& placed : c.balls)
            Throw(placed.side, Ogre::Vector3(placed.x, 0, placed.z), placed.state);
        EXPECT_EQ(Mene().mPoints[0], c.points0);
        EXPECT_EQ(Mene().mPoints[1], c.points1);
        EXPECT_EQ(Mene().mScoringBalls.size(), c.points0 + c.points1);
        EXPECT_NEAR(Mene().mBestDistance[0], c.best0, 1e-4f);
        EXPECT_NEAR(Mene().mBestDistance[1], c.best1, 1e-4f);
        EXPECT_EQ(Mene().mCurrentSide, c.next);
    }
}

TEST_F(MeneTest, ScoringListIsNearestFirst)
{
    Mene().mTargetBall = mTarget;
    CBall* far = Throw(0, Ogre::Vector3(0, 0, 1.5f));
    Throw(1, Ogre::Vector3(2, 0, 0));
    CBall* near = Throw(0, Ogre::Vector3(-0.5f, 0, 0));
    ASSERT_EQ(Mene().mScoringBalls.size(), 2u);
    EXPECT_EQ(Mene().mScoringBalls[0], near);
    EXPECT_EQ(Mene().mScoringBalls[1], far);
    EXPECT_EQ(Mene().mBalls[0].size(), 2u);
    EXPECT_EQ(Mene().mBalls[1].size(), 1u);
}

TEST_F(MeneTest, TargetBallOutOfPlayEndsTheMene)
{
    struct Case {
        const char* name;
        std::vector<int32_t> sides;   // the throwing sides; the last knocks the target ball out
        int32_t startBefore;
        uint32_t scoreA, scoreB;
        int32_t startAfter;
    } cases[] = {
        {"team A empty: team B scores its balls", {0, 1, 0, 0}, 0, 0, 2, 1},
        {"team B empty: team A scores its balls", {0, 1, 1, 0, 1}, 0, 1, 0, 0},
        {"both still hold balls: nobody scores, the start stays", {0, 1}, 1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mMatch->mScoreA = mMatch->mScoreB = 0;
        mMatch->mNextStartingSide = c.startBefore;
        NewMene();
        for (size_t i = 0; i + 1 < c.sides.size(); ++i)
            Throw(c.sides[i], Ogre::Vector3(c.sides[i] ? -0.5f : 0.5f, 0, 0.3f * i));
        EXPECT_EQ(mMatch->mScoreA + mMatch->mScoreB, 0u);
        EXPECT_FALSE(IsMeneOver(mMatch->mMene));
        mTarget->mState = CBall::STATE_OUT;
        Throw(c.sides.back(), Ogre::Vector3(0, 0, 2));
        EXPECT_TRUE(IsMeneOver(mMatch->mMene));
        EXPECT_EQ(mMatch->mScoreA, c.scoreA);
        EXPECT_EQ(mMatch->mScoreB, c.scoreB);
        EXPECT_EQ(mMatch->mNextStartingSide, c.startAfter);
    }
}

TEST_F(MeneTest, WholeMeneBookkeepingAndTheNextMene)
{
    // Side 0 places the target ball 8 m out; it ends up off centre.
    CBall* target = Ball(CBall::KIND_TARGET, Ogre::Vector3(1.0f, 0, -2), CBall::STATE_LAUNCHED);
    ASSERT_TRUE(mMatch->AfterThrow(target));
    EXPECT_EQ(Mene().mCurrentSide, 0);
    SetNodeWorldPosition(target->GetNode(), Ogre::Vector3(1.5f, 0, -2));
    const Ogre::Vector3 t = target->GetWorldPosition();

    struct Step {
        float distance;   // from the target ball, along -x
        int32_t next;     // side to throw after it
    } steps[] = {
        {2.0f, 1},   // first ball: side 1 answers
        {1.0f, 0},   // side 1 holds the point
        {3.0f, 0},   // still side 1's point
        {0.5f, 1},   // side 0 takes it back with its last ball
        {1.5f, 1},   // side 0 empty: side 1 throws the rest
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.distance);
        const int32_t side = Mene().mCurrentSide;
        Team& team = side == 0 ? mTeamA : mTeamB;
        const int32_t before = team.CountBallsLeft();
        CBall* ball = Ball(CBall::KIND_BALL, t - Ogre::Vector3(step.distance, 0, 0), CBall::STATE_LAUNCHED);
        EXPECT_TRUE(mMatch->AfterThrow(ball));
        EXPECT_EQ(team.CountBallsLeft(), before - 1);
        EXPECT_EQ(Mene().mCurrentSide, step.next);
        EXPECT_FALSE(IsMeneOver(mMatch->mMene));
    }
    EXPECT_EQ(mMatch->mScoreA + mMatch->mScoreB, 0u);

    // Side 1's last ball at 0.8 m: side 0's 0.5 still holds, its 2.0 does not count.
    EXPECT_TRUE(mMatch->AfterThrow(Ball(CBall::KIND_BALL, t - Ogre::Vector3(0.8f, 0, 0), CBall::STATE_LAUNCHED)));
    EXPECT_TRUE(IsMeneOver(mMatch->mMene));
    EXPECT_EQ(mMatch->mScoreA, 1u);
    EXPECT_EQ(mMatch->mScoreB, 0u);
    EXPECT_EQ(mMatch->mNextStartingSide, 0);

    // The next mene is thrown from where the target ball lay, pulled 1 m
    // inside the rectangle.
    mMatch->StartMene();
    EXPECT_EQ(mCircle->GetWorldPosition(), Ogre::Vector3(1.0f, 0, -2));
    EXPECT_EQ(mTeamA.CountBallsLeft(), 3);
    EXPECT_EQ(mTeamB.CountBallsLeft(), 3);
    EXPECT_EQ(Mene().mTargetBall, nullptr);
    EXPECT_EQ(Mene().mStartingSide, 0);
    EXPECT_EQ(Mene().mCircle, mCircle.get());
}

TEST_F(MeneTest, WinnerOfAMeneStartsTheNext)
{
    NewMene();
    for (int i = 0; i < 3; ++i) {
        Throw(0, Ogre::Vector3(2.0f + i, 0, 0));
        Throw(1, Ogre::Vector3(-0.5f - 0.1f * i, 0, 0));
    }
    EXPECT_EQ(mMatch->mScoreB, 3u);
    EXPECT_EQ(mMatch->mNextStartingSide, 1);
    mMatch->StartMene();
    EXPECT_EQ(Mene().mStartingSide, 1);
    EXPECT_EQ(Mene().mCurrentSide, 1);
}

TEST_F(MeneTest, ForfeitGoesToTheComputerSide)
{
    mMatch->ForfeitToComputer();
    EXPECT_EQ(mMatch->mScoreA, 0u);
    EXPECT_EQ(mMatch->mScoreB, 13u);
    mMatch->mScoreB = 0;
    mTeamA.mComputer = true;
    mMatch->ForfeitToComputer();
    EXPECT_EQ(mMatch->mScoreA, 13u);
    EXPECT_EQ(mMatch->mScoreB, 0u);
}

TEST_F(MeneTest, UnexpectedThrowsDoNoHarm)
{
    // A thrower already out of balls stays at 0: a negative count would hide
    // a team mate's balls from the end-of-mene test.
    CPlayer second("A2");
    mTeamA.mPlayers.push_back(&second);
    NewMene();   // three balls each for the two of team A
    mPlayerA.mBallsLeft = 0;
    mTeamA.mCurrentPlayer = 0;
    Throw(0, Ogre::Vector3(1, 0, 0));
    EXPECT_EQ(mPlayerA.mBallsLeft, 0);
    EXPECT_EQ(mTeamA.CountBallsLeft(), 3);
    EXPECT_FALSE(IsMeneOver(mMatch->mMene));

    EXPECT_FALSE(mMatch->AfterThrow(nullptr));
    MatchState idle(&mTeamA, &mTeamB, 13, 1, 4);
    EXPECT_FALSE(idle.AfterThrow(mTarget));
    EXPECT_EQ(idle.mScoreA + idle.mScoreB, 0u);
    EXPECT_FALSE(IsMeneOver(nullptr));
}
