// The computer opponent on a match: the situation taken from the match
// state, the choice of the thrower, the target-ball throw and whole turns of
// the strategy manager, on a scene without display.
#include "PhysicsTestEnv.h"
#include "SceneText.h"

#include <AIParameters.h>
#include <AISituation.h>
#include <CAITaskScheduler.h>
#include <CBall.h>
#include <CGameElement.h>
#include <CPhysicObject.h>
#include <CPigThrowChoice.h>
#include <CPlayer.h>
#include <CPlayerChoice.h>
#include <CRollingEstimator.h>
#include <CaracDB.h>
#include <GameDifficulty.h>
#include <MatchState.h>
#include <StrategyManager.h>
#include <Team.h>
#include <Terrain.h>
#include <TuningLoader.h>
#include <TuningParameters.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Two sides of up to three players on a terrain x -2..2, z -7.5..7.5; the
// circle at (0, 0, 6), the players standing on it facing -Z, the target ball
// at the origin.
class AIMatch : public PhysicsSceneTest {
protected:
    void SetUp() override {
        PhysicsSceneTest::SetUp();
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        mProfile.mSpeed0 = 0.0f;
        mProfile.mSpeed1 = mProfile.mSpeed2 = mProfile.mSpeed3 = 100.0f;
        mProfile.mPhysique = mProfile.mMental = 50;
        for (int i = 0; i < 6; ++i) {
            mPlayers.emplace_back(new CPlayer(std::string(1, char('A' + i))));
            CPlayer& player = *mPlayers.back();
            player.mPointingProfile = player.mShootingProfile = &mProfile;
        }
    }
    void TearDown() override {
        mManager.reset();
        mBalls.clear();
        mCircle.reset();
        mMatch.reset();
        PhysicsSceneTest::TearDown();
    }
    // A match of `perSide` players a side; team B plays (side 1).
    void Match(int perSide) {
        for (int i = 0; i < perSide; ++i) {
            mTeamA.mPlayers.push_back(mPlayers[static_cast<size_t>(i)].get());
            mTeamB.mPlayers.push_back(mPlayers[static_cast<size_t>(3 + i)].get());
        }
        // The venue file is not found from the test folder: the scene is
        // rebuilt empty, so the nodes come after.
        mMatch.reset(new MatchState(&mTeamA, &mTeamB, 13, perSide, 0));
        gPhysicMgr.CreateWorld(mWorld);
        for (const std::unique_ptr<CPlayer>& player : mPlayers) {
            player->SetNode(new TestNode(nullptr, "joueur " + player->mName));
            SetNodeWorldPosition(player->GetNode(), Ogre::Vector3(0.0f, 0.0f, 6.0f));
        }
        mMatch->mTerrain->SetLimits(Ogre::Vector3(-2, 0, -7.5f), Ogre::Vector3(2, 0, 7.5f));
        mCircle.reset(new CCircle(new TestNode(nullptr, "cercle")));
        mMatch->mCircle = mCircle.get();
        mCircle->SetWorldPosition(Ogre::Vector3(0, 0, 6));
        mTarget = Ball(CBall::KIND_TARGET, Ogre::Vector3::ZERO, CBall::STATE_LAUNCHED);
        mMatch->StartMene();
        mMatch->mMene->mCurrentSide = 1;
    }
    void TargetThrown() { mMatch->mMene->mTargetBall = mTarget; }
    CBall* Ball(int32_t kind, const Ogre::Vector3& position, int32_t state) {
        TestNode* node = new TestNode(nullptr, "boule " + std::to_string(mBalls.size()));
        SetNodeWorldPosition(node, position);
        mBalls.emplace_back(new CBall(kind, node));
        mBalls.back()->mState = state;
        return mBalls.back().get();
    }
    CBall* Thrown(int side, const Ogre::Vector3& position, int32_t state = CBall::STATE_LAUNCHED) {
        CBall* ball = Ball(CBall::KIND_BALL, position, state);
        mMatch->mMene->mBalls[side].push_back(ball);
        return ball;
    }
    // Update and scheduler frames until the decision is ready.
    int Decide(int maxFrames = 1000) {
        int frames = 0;
        while (!mManager->IsReady() && frames < maxFrames) {
            mManager->Update();
            g_AITaskScheduler.RunFrame();
            ++frames;
        }
        return frames;
    }

    ThrowProfile mProfile;
    std::vector<std::unique_ptr<CPlayer>> mPlayers;
    Team mTeamA{"team A"};
    Team mTeamB{"team B"};
    std::unique_ptr<MatchState> mMatch;
    std::unique_ptr<CCircle> mCircle;
    std::vector<std::unique_ptr<CBall>> mBalls;
    CBall* mTarget = nullptr;
    AIParameters mParameters;
    std::unique_ptr<StrategyManager> mManager;
};

}  // namespace

TEST_F(AIMatch, SituationOfTheSideToPlay) {
    Match(1);
    TargetThrown();
    CBall* a1 = Thrown(0, Ogre::Vector3(0.0f, 0.0f, 0.5f));
    Thrown(0, Ogre::Vector3(1.0f, 0.0f, 0.0f), CBall::STATE_OUT);   // out of play: left out
    CBall* b1 = Thrown(1, Ogre::Vector3(0.0f, 0.0f, -1.0f));
    mMatch->mScoreA = 4;
    mMatch->mScoreB = 7;
    mPlayers[0]->mBallsLeft = 1;

    const AISituationInput input = AISituation::InputFromMatch(mMatch.get());
    ASSERT_EQ(input.myBalls.size(), 1u);
    EXPECT_EQ(input.myBalls[0].ball, b1);
    ASSERT_EQ(input.opponentBalls.size(), 1u);
    EXPECT_EQ(input.opponentBalls[0].ball, a1);
    EXPECT_TRUE(input.opponentBalls[0].position.positionEquals(Ogre::Vector3(0.0f, 0.0f, 0.5f)));
    EXPECT_EQ(input.myScore, 7);
    EXPECT_EQ(input.opponentScore, 4);
    EXPECT_EQ(input.myBallsLeft, 3);
    EXPECT_EQ(input.opponentBallsLeft, 1);
    EXPECT_EQ(input.targetScore, 13);
    EXPECT_EQ(input.targetBall, mTarget);
    EXPECT_TRUE(input.circlePosition.positionEquals(Ogre::Vector3(0.0f, 0.0f, 6.0f)));
    EXPECT_EQ(input.currentPlayer, mPlayers[3].get());

    mParameters.LoadFromString("limit_dist_1 = 0.1\nlimit_dist_2 = 0.2\nlimit_dist_3 = 0.4\n");
    mParameters.ReadValues();
    AISituation situation(&mParameters, mMatch.get());
    EXPECT_FLOAT_EQ(situation.GetThrowingDistance(), 6.0f);
    EXPECT_EQ(situation.GetBestOpponentBall(), a1);
    EXPECT_EQ(situation.GetMyBestBall(), b1);
    EXPECT_EQ(situation.GetOpponentHoldingCount(), 1);
    EXPECT_EQ(situation.GetBall(0).zone, 0);   // 0.5 m of 6: within 0.1

    // Between menes there is nothing to analyse.
    delete mMatch->mMene;
    mMatch->mMene = nullptr;
    AISituation empty(&mParameters, mMatch.get());
    EXPECT_EQ(empty.GetBallCount(), 0u);
}

TEST(AIRoles, SortedByShootingThenPointingRatings) {
    struct Case {
        int32_t shooting[3], pointing[3];
        int pointer, middle, shooter;
    } cases[] = {
        {{5, 5, 5}, {5, 5, 5}, 1, 2, 0},     // equal: the third rule both times
        {{1, 5, 9}, {0, 0, 0}, 0, 1, 2},     // shooters one after the other
        {{0, 0, 9}, {0, 7, 0}, 1, 0, 2},
        {{0, 0, 0}, {1, 5, 9}, 2, 1, 0},     // pointers one after the other
        {{0, 6, 0}, {0, 0, 4}, 2, 0, 1},
        {{0, 0, 0}, {0, 3, 0}, 1, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shooting[0] << c.shooting[1] << c.shooting[2] << " / " << c.pointing[0]
                                        << c.pointing[1] << c.pointing[2]);
        const AIRoles roles = CPlayerChoice::SortRoles(c.shooting, c.pointing);
        EXPECT_EQ(roles.pointer, c.pointer);
        EXPECT_EQ(roles.middle, c.middle);
        EXPECT_EQ(roles.shooter, c.shooter);
    }
}

TEST_F(AIMatch, ThrowerOfASideOfThree) {
    // Team B: D the middle, E the pointer (+5 pointing), F the shooter (+5
    // shooting).
    Match(3);
    TargetThrown();
    CPlayer* middle = mPlayers[3].get();
    CPlayer* pointer = mPlayers[4].get();
    CPlayer* shooter = mPlayers[5].get();
    pointer->mRole = CPlayer::ROLE_POINTER;
    shooter->mRole = CPlayer::ROLE_SHOOTER;
    // Stress lowers the middle's balance, and so its ratings, by 1: one more
    // point of balance keeps it the middle when stressed.
    ThrowProfile steady = mProfile;
    steady.mBalance = 1;
    middle->mPointingProfile = middle->mShootingProfile = &steady;
    CBall* near = Thrown(0, Ogre::Vector3(0.0f, 0.0f, 0.0f));     // 5.6 m from the release point
    CBall* far = Thrown(0, Ogre::Vector3(0.0f, 0.0f, -3.0f));     // 8.6 m
    mParameters.LoadFromString(
        "wpcpp_both_one_ball = 2\nwpcmp_middle_more_than_one_ball = 3\nwpcpp_more_than_6_m = 1\n"
        "wpcpm_more_than_6_m_best_opponent_more_than_30_cm = 4\nwpcpp_exhausted_middle = 8\n"
        "wpcss_both_one_ball = 2\nwpcms_middle_more_than_one_ball = 3\nwpcss_more_than_7_m = 1\n"
        "wpcss_stressed_middle = 8\n");
    mParameters.ReadValues();

    struct Case {
        const char* name;
        int32_t kind;
        CBall* ball;
        int middleBalls, pointerBalls, shooterBalls;
        int32_t middleFatigue, middleStress;
        float opponentBest;
        CPlayer* chosen;
    } cases[] = {
        {"pointing, equal scores", BaseStrategy::KIND_APPROACH, near, 2, 2, 2, 0, 0, -1.0f, pointer},
        {"pointer has its last ball", BaseStrategy::KIND_APPROACH, near, 2, 1, 2, 0, 0, -1.0f, middle},
        {"both have their last ball", BaseStrategy::KIND_APPROACH, near, 1, 1, 2, 0, 0, -1.0f, pointer},
        {"middle is out of balls", BaseStrategy::KIND_APPROACH, near, 0, 2, 2, 0, 0, -1.0f, pointer},
        {"middle and pointer are out", BaseStrategy::KIND_APPROACH, near, 0, 0, 2, 0, 0, -1.0f, shooter},
        {"pointer is out", BaseStrategy::KIND_APPROACH, near, 2, 0, 2, 0, 0, -1.0f, middle},
        {"far, no opponent ball yet", BaseStrategy::KIND_PUSH, far, 2, 2, 2, 0, 0, -1.0f, pointer},
        {"far, their best 50 cm off", BaseStrategy::KIND_PUSH, far, 2, 2, 2, 0, 0, 0.25f, middle},
        {"far, their best 20 cm off", BaseStrategy::KIND_PUSH, far, 2, 2, 2, 0, 0, 0.04f, pointer},
        {"far, the middle is exhausted", BaseStrategy::KIND_PUSH, far, 2, 2, 2, 48, 0, 0.25f, pointer},
        {"shot, equal scores", BaseStrategy::KIND_SHOOT, near, 2, 2, 2, 0, 0, -1.0f, shooter},
        {"shooter has its last ball", BaseStrategy::KIND_SHOOT, near, 2, 2, 1, 0, 0, -1.0f, middle},
        {"shot, both have their last ball", BaseStrategy::KIND_SHOOT, near, 1, 2, 1, 0, 0, -1.0f, shooter},
        {"shot, the middle is stressed", BaseStrategy::KIND_SHOOT, near, 2, 2, 1, 0, 48, -1.0f, shooter},
        {"shot, far", BaseStrategy::KIND_SHOOT, far, 2, 2, 1, 0, 0, -1.0f, middle},
        {"shot, the middle is out", BaseStrategy::KIND_SHOOT, near, 0, 2, 2, 0, 0, -1.0f, shooter},
        {"shot, middle and shooter are out", BaseStrategy::KIND_SHOOT, near, 0, 2, 0, 0, 0, -1.0f, pointer},
        {"shot, the shooter is out", BaseStrategy::KIND_SHOOT, near, 2, 2, 0, 0, 0, -1.0f, middle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        middle->mBallsLeft = c.middleBalls;
        pointer->mBallsLeft = c.pointerBalls;
        shooter->mBallsLeft = c.shooterBalls;
        middle->mFatigue = c.middleFatigue;
        middle->mStress = c.middleStress;
        mMatch->mMene->mBestDistance[0] = c.opponentBest;
        BaseStrategy strategy;
        strategy.ball = c.ball;
        strategy.kind = c.kind;
        CPlayerChoice choice(strategy, mMatch.get(), &mParameters);
        choice.Start(0);
        EXPECT_FALSE(choice.IsFinished());
        choice.Step();
        EXPECT_TRUE(choice.IsFinished());
        EXPECT_EQ(choice.GetChosenPlayer(), c.chosen) << choice.GetChosenPlayer()->mName;
    }
}

TEST_F(AIMatch, ThrowerOfSidesOfOneAndTwo) {
    Match(2);
    TargetThrown();
    CPlayer* first = mPlayers[3].get();
    CPlayer* pointer = mPlayers[4].get();
    pointer->mRole = CPlayer::ROLE_POINTER;
    BaseStrategy strategy;
    strategy.ball = mTarget;
    strategy.kind = BaseStrategy::KIND_APPROACH;
    {
        CPlayerChoice choice(strategy, mMatch.get(), &mParameters);
        choice.Step();
        EXPECT_EQ(choice.GetChosenPlayer(), pointer);   // the better pointer
    }
    pointer->mBallsLeft = 0;
    {
        CPlayerChoice choice(strategy, mMatch.get(), &mParameters);
        choice.Step();
        EXPECT_EQ(choice.GetChosenPlayer(), first);   // the one who still has balls
    }
    first->mBallsLeft = 0;
    {
        CPlayerChoice choice(strategy, mMatch.get(), &mParameters);
        choice.Start(0);
        choice.Step();
        EXPECT_TRUE(choice.IsFinished());   // nobody: finished without a thrower
        EXPECT_EQ(choice.GetChosenPlayer(), nullptr);
    }

    // One a side: the current player, whatever the ratings.
    mMatch->mGameType = 1;
    mTeamB.mCurrentPlayer = 0;
    pointer->mBallsLeft = 3;
    CPlayerChoice choice(strategy, mMatch.get(), &mParameters);
    choice.Step();
    EXPECT_EQ(choice.GetChosenPlayer(), first);
}

TEST_F(AIMatch, TargetBallThrowsOfferedByRoomAndFailures) {
    Match(1);
    struct Case {
        const char* name;
        float halfLength;   // of the terrain along z
        int32_t failed;
        size_t candidates;
    } cases[] = {
        {"long terrain", 7.5f, 0, 6},   // 13.1 m of room
        {"long terrain, one failure", 7.5f, 1, 4},
        {"long terrain, two failures", 7.5f, 2, 2},
        {"10.1 m of room", 4.5f, 0, 4},
        {"9.1 m of room", 3.5f, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mMatch->mTerrain->SetLimits(Ogre::Vector3(-2, 0, -c.halfLength), Ogre::Vector3(2, 0, c.halfLength));
        mTeamB.mFailedTargetThrows = c.failed;
        CPigThrowChoice choice(100, mMatch.get(), &mParameters, 0.0f);
        EXPECT_EQ(choice.GetAngle(), ANGLE_POINTE_MOYEN);   // nothing chosen yet
        EXPECT_EQ(choice.GetTargetPoint(), Ogre::Vector3::ZERO);
        choice.Start(0);
        ASSERT_EQ(choice.GetCandidateCount(), c.candidates);
        while (!choice.IsFinished())
            choice.Step();
        // Without weights or noise the first, short and high, is taken: a
        // lob that stops 6.7 m from the circle.
        EXPECT_EQ(choice.GetBestIndex(), 0);
        EXPECT_EQ(choice.GetAngle(), float(ANGLE_MAX_POINTE));
        const Ogre::Vector3 release = mPlayers[3]->GetReleasePoint(mPlayers[3]->mThrowMode);
        const Ogre::Vector3 point = choice.GetTargetPoint();
        EXPECT_NEAR(6.0f - point.z, 6.7f, 0.01f);
        EXPECT_LT(point.z, release.z);   // toward the far end
    }

    // A long-throw weight draws the choice to the long throws.
    mMatch->mTerrain->SetLimits(Ogre::Vector3(-2, 0, -7.5f), Ogre::Vector3(2, 0, 7.5f));
    mTeamB.mFailedTargetThrows = 0;
    mParameters.mPigLongThrowWeight = 10.0f;
    CPigThrowChoice choice(100, mMatch.get(), &mParameters, 0.0f);
    choice.Start(0);
    while (!choice.IsFinished())
        choice.Step();
    EXPECT_EQ(choice.GetBestIndex(), 4);
    EXPECT_EQ(choice.GetBestScore(), 10.0f);
}

// Every target-ball throw the computer is offered, thrown as chosen on the
// venues' ground, comes to rest where a target ball is valid (6.25 m to
// 10.25 m from the circle): a throw that can never count would be thrown
// again and again.
TEST_F(AIMatch, OfferedTargetBallThrowsComeToRestWhereTheyCount) {
    Match(1);
    std::ifstream venue(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/marseille.xml");
    std::stringstream venueText;
    venueText << venue.rdbuf();
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(venueText.str().c_str()));
    new TestNode(nullptr, "terrain");
    TestNode* node = new TestNode(nullptr, "cochonnet");
    const std::string objects =
        scenetext::Object("terrain", 0, 0, 20.0f, 1.0f, 20.0f, 0.0f, "terrain", 0.0f, -0.5f, 0.0f) +
        scenetext::Object("cochonnet", 1, 1, 0.015f, 0.015f, 0.015f, 0.015f, "boule");
    ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(scenetext::Root(objects).c_str()));
    CBall target(CBall::KIND_TARGET, node);

    CPigThrowChoice choice(100, mMatch.get(), &mParameters, 0.0f);
    choice.Start(0);
    ASSERT_EQ(choice.GetCandidateCount(), 6u);
    const Ogre::Vector3 release = mPlayers[3]->GetReleasePoint(CPlayer::THROW_POINTING);
    const float height = HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE;
    for (const PigThrowParameters& c : *choice.GetCandidates()) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " flight " << c.distance);
        node->setPosition(Ogre::Vector3(release.x, height, release.z), true);
        target.mState = CBall::STATE_NONE;
        target.Launch(c.angle, ComputeLaunchSpeed(c.distance, c.angle * Ogre::Math::fDeg2Rad, -height, 9.81f), 0.0f,
                      Ogre::Vector3::NEGATIVE_UNIT_Z);
        for (int frame = 0; frame < 600; ++frame) {
            Frame(1.0f / 60.0f);
            if (frame > 10 && node->getPhysicObject()->getLinearVelocity().length() < 0.02f)
                break;
        }
        EXPECT_TRUE(IsTargetThrowValid(&target, mMatch->mTerrain, mCircle.get()))
            << "rests " << 6.0f - target.GetWorldPosition().z << " m from the circle";
    }
}

TEST_F(AIMatch, ErrorScaleOfTheAILevel) {
    struct Case {
        int32_t level;
        float scale;
    } cases[] = {{10, 0.0f}, {0, 10.0f}, {7, 3.0f}, {12, 0.0f}, {-3, 10.0f}};
    for (const Case& c : cases)
        EXPECT_EQ(StrategyManager::ErrorScaleForLevel(c.level), c.scale) << c.level;
}

TEST_F(AIMatch, TargetBallTurn) {
    Match(2);
    mPlayers[4]->mRole = CPlayer::ROLE_POINTER;
    mParameters = AIParameters(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
    CRollingEstimator estimator(&mParameters);
    mManager.reset(new StrategyManager(mMatch.get(), &mParameters, &estimator));
    mManager->Update();
    EXPECT_EQ(mManager->GetState(), 2);
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 1u);
    Decide();
    ASSERT_TRUE(mManager->IsReady());
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
    EXPECT_EQ(mManager->GetChosenPlayer(), mPlayers[4].get());   // the best pointer at 6 m
    EXPECT_EQ(mManager->GetChosenAngle(), float(ANGLE_MAX_POINTE));
    EXPECT_EQ(mManager->GetChosenMode(), 0);
    EXPECT_NEAR(mManager->GetChosenPoint().z, 6.0f - 6.7f, 0.1f);   // 6.7 m beyond the circle
    EXPECT_EQ(mManager->GetErrorScale(), 0.0f);   // no situation, no error scale
}

TEST_F(AIMatch, NormalTurnFromStrategyToThrow) {
    Match(3);
    TargetThrown();
    Thrown(0, Ogre::Vector3(0.1f, 0.0f, 0.3f));
    Thrown(1, Ogre::Vector3(-0.5f, 0.0f, -1.5f));
    mTeamB.mDifficulty[g_CurrentDifficulty == 0 || g_CurrentDifficulty == 1 ? g_CurrentDifficulty : 2][1] = 7;
    mParameters = AIParameters(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
    CRollingEstimator estimator(&mParameters);
    mManager.reset(new StrategyManager(mMatch.get(), &mParameters, &estimator));

    mManager->Update();
    EXPECT_EQ(mManager->GetState(), 1);
    EXPECT_EQ(mManager->GetErrorScale(), 3.0f);
    const int frames = Decide();
    ASSERT_TRUE(mManager->IsReady()) << frames;
    EXPECT_GE(frames, 3);   // a stage takes at least a frame
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
    ASSERT_NE(mManager->GetChosenPlayer(), nullptr);
    EXPECT_EQ(mManager->GetChosenPoint().y, 0.0f);
    EXPECT_TRUE(mManager->GetChosenPoint().z < 6.0f && mManager->GetChosenPoint().z > -7.5f)
        << mManager->GetChosenPoint();
    const int32_t kind = mManager->GetChosenStrategy().kind;
    EXPECT_TRUE(kind >= 0 && kind <= 3);
    EXPECT_FALSE(mManager->GetChosenStrategy().name.empty());
    EXPECT_GT(mManager->GetChosenAngle(), 0.0f);

    // Ready stays ready; after a reset the next update starts a new turn.
    mManager->Update();
    EXPECT_TRUE(mManager->IsReady());
    mManager->Reset();
    EXPECT_EQ(mManager->GetChosenPlayer(), nullptr);
    EXPECT_EQ(mManager->GetChosenAngle(), 45.0f);
    mManager->Update();
    EXPECT_EQ(mManager->GetState(), 1);

    // A manager reset or deleted halfway takes its stage off the scheduler,
    // which must not step it once it is deleted.
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 1u);
    mManager->Reset();
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
    EXPECT_EQ(mManager->GetState(), 0);
    g_AITaskScheduler.RunFrame();
    mManager->Update();
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 1u);
    g_AITaskScheduler.RunFrame();   // the stage is now the scheduler's current task
    mManager.reset();
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
    EXPECT_EQ(g_AITaskScheduler.GetCurrentTask(), nullptr);
    g_AITaskScheduler.RunFrame();
}

TEST_F(AIMatch, ATurnWithoutAThrowerIsNoDecision) {
    Match(2);
    TargetThrown();
    Thrown(0, Ogre::Vector3(0.1f, 0.0f, 0.3f));
    for (int i = 3; i < 5; ++i)
        mPlayers[static_cast<size_t>(i)]->mBallsLeft = 0;   // side B has nobody to throw
    mParameters = AIParameters(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
    CRollingEstimator estimator(&mParameters);
    mManager.reset(new StrategyManager(mMatch.get(), &mParameters, &estimator));
    Decide(200);
    EXPECT_FALSE(mManager->IsReady());
    EXPECT_EQ(mManager->GetChosenPlayer(), nullptr);
    // Deciding again each time, it throws once a player has a ball.
    mPlayers[4]->mBallsLeft = 1;
    Decide();
    ASSERT_TRUE(mManager->IsReady());
    EXPECT_EQ(mManager->GetChosenPlayer(), mPlayers[4].get());
}
