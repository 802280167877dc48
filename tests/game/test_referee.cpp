// The match referee on a scene without display: who throws and with which
// ball, the evaluation of a throw from hand-placed balls (points, the
// thrower's mental change, the crowd's reaction, the next ball), the venue
// check of the set-up, and the throw's guards against out-of-range values.
#include "PhysicsTestEnv.h"

#include <CAITaskScheduler.h>
#include <CAimGuide.h>
#include <CBall.h>
#include <CDebugRenderer.h>
#include <CGameElement.h>
#include <CGameMaster.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <COdeBody.h>
#include <CPhysicObject.h>
#include <CPlayer.h>
#include <CScenaricMgr.h>
#include <ControlerTable.h>
#include <GameDifficulty.h>
#include <CaracDB.h>
#include <LaunchSet.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>
#include <Terrain.h>
#include <TuningLoader.h>
#include <TuningParameters.h>

#include <OgreEntity.h>
#include <OgreFrustum.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Up to three players a side on a terrain x -2..2, z -7.5..7.5; the circle
// at (0, 0, 6). The referee is built without a venue: its balls (target
// ball, then side 0's, then side 1's) are made here.
class RefereeTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        mProfile.mSpeed0 = 4.0f;
        mProfile.mSpeed1 = 6.0f;
        mProfile.mSpeed2 = 8.0f;
        mProfile.mSpeed3 = 10.0f;
        mProfile.mPhysique = mProfile.mMental = 50;
        for (int i = 0; i < 6; ++i) {
            mPlayers.emplace_back(new CPlayer(std::string(1, char('A' + i))));
            mPlayers.back()->mPointingProfile = mPlayers.back()->mShootingProfile = &mProfile;
        }
    }
    void TearDown() override
    {
        for (const std::unique_ptr<CPlayer>& player : mPlayers)
            if (player->GetNode())
                gScenaricMgr.Unregister(player->GetNode());
        delete mReferee;
        mReferee = nullptr;
        mMatch.reset();
        mTeamA.mPlayers.clear();
        mTeamB.mPlayers.clear();
        mPlayers.clear();
        PhysicsSceneTest::TearDown();
    }

    void Match(int perSide)
    {
        for (int i = 0; i < perSide; ++i) {
            mTeamA.mPlayers.push_back(mPlayers[static_cast<size_t>(i)].get());
            mTeamB.mPlayers.push_back(mPlayers[static_cast<size_t>(3 + i)].get());
        }
        mMatch.reset(new MatchState(&mTeamA, &mTeamB, 13, perSide, 0));
        gPhysicMgr.CreateWorld(mWorld);
        for (const std::unique_ptr<CPlayer>& player : mPlayers)
            player->SetNode(new TestNode(nullptr, "joueur " + player->mName));
        mMatch->mTerrain->SetLimits(Ogre::Vector3(-2, 0, -7.5f), Ogre::Vector3(2, 0, 7.5f));

        mReferee = new CGameMaster(mMatch.get());
        mReferee->mCircle = new CCircle(new TestNode(nullptr, "cercle"));
        mMatch->mCircle = mReferee->mCircle;
        mReferee->mCircle->SetWorldPosition(Ogre::Vector3(0, 0, 6));
        const int32_t perSideBalls = CGameMaster::BallsPerSide(perSide);
        for (int i = 0; i <= 2 * perSideBalls; ++i) {
            TestNode* node = new TestNode(nullptr, i == 0 ? std::string("cochonnet") : "boule " + std::to_string(i));
            mReferee->mBalls.push_back(new CBall(i == 0 ? CBall::KIND_TARGET : CBall::KIND_BALL, node));
        }
        mReferee->mTargetBall = mReferee->mBalls[0];
        mReferee->mAimGuide->mTerrain = mMatch->mTerrain;
    }

    // The mene begun, the target ball validly at the origin, the first ball
    // of side 0 current (as after a valid target throw).
    void TargetAtOrigin()
    {
        mReferee->StartRound();
        CBall* target = mReferee->mTargetBall;
        SetNodeWorldPosition(target->GetNode(), Ogre::Vector3::ZERO);
        target->mState = CBall::STATE_LAUNCHED;
        mMatch->mMene->mTargetBall = target;
        mReferee->mCurrentBall = mReferee->GetBall(1);
    }
    // A ball of `side` rests `distance` from the target ball, ranked by the rules.
    CBall* Place(int32_t side, float distance, float angle = 0.0f)
    {
        const int32_t perSide = mReferee->GetBallsPerSide();
        const int32_t index = 1 + side * perSide + static_cast<int32_t>(mMatch->mMene->mBalls[side].size());
        CBall* ball = mReferee->GetBall(static_cast<uint32_t>(index));
        SetNodeWorldPosition(ball->GetNode(),
                             Ogre::Vector3(distance * std::sin(angle), 0.0f, distance * std::cos(angle)));
        ball->mState = CBall::STATE_LAUNCHED;
        return ball;
    }
    // The ball's physics body, made on first use, in the simulation.
    static CPhysicObject* Body(CBall* ball)
    {
        CPhysicObject* object = ball->GetNode()->getPhysicObject();
        if (!object) {
            object = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
            ball->GetNode()->attachPhysicObject(object);
            object->SetSphereShape(0.0375f);
            object->BuildShapes(CPhysicObject::SHAPE_SPHERE, nullptr);
            object->SetMass(0.7f);
        }
        object->SetActive(true);
        return object;
    }
    void Rank(int32_t side, float distance)
    {
        mMatch->mMene->mCurrentSide = side;
        mMatch->AfterThrow(Place(side, distance, 1.0f));
    }

    ThrowProfile mProfile;
    std::vector<std::unique_ptr<CPlayer>> mPlayers;
    Team mTeamA{"team A"};
    Team mTeamB{"team B"};
    std::unique_ptr<MatchState> mMatch;
    CGameMaster* mReferee = nullptr;
};

// The mental keys set apart, so that a stress change tells which were added.
class ScoringTest : public RefereeTest {
protected:
    struct Key {
        int32_t* key;
        int32_t value;
        int32_t saved;
    };
    void SetUp() override
    {
        RefereeTest::SetUp();
        for (Key& k : mKeys) {
            k.saved = *k.key;
            *k.key = k.value;
        }
        mSaved[0] = SEUIL_ANGLE_ROULAGE;
        mSaved[1] = DIST_REUSSITE_POINTE;
        mSaved[2] = DIST_ECHEC_POINTE;
        SEUIL_ANGLE_ROULAGE = 10.0f;
        DIST_REUSSITE_POINTE = 0.5f;
        DIST_ECHEC_POINTE = 2.0f;
    }
    void TearDown() override
    {
        for (Key& k : mKeys)
            *k.key = k.saved;
        SEUIL_ANGLE_ROULAGE = mSaved[0];
        DIST_REUSSITE_POINTE = mSaved[1];
        DIST_ECHEC_POINTE = mSaved[2];
        RefereeTest::TearDown();
    }
    Key mKeys[14] = {
        {&BONUS_MENTAL_PREMIERE_BOULE_PRES, 2, 0},        {&BONUS_MENTAL_AUTRE_BOULE_PRES, 3, 0},
        {&MALUS_MENTAL_PREMIERE_BOULE_LOIN, -5, 0},       {&MALUS_MENTAL_AUTRE_BOULE_LOIN, -7, 0},
        {&BONUS_MENTAL_SCORE_MENE_AUGMENTE, 11, 0},       {&MALUS_MENTAL_SCORE_MENE_DIMINUE, -13, 0},
        {&MALUS_MENTAL_SCORE_MENE_EGAL, -17, 0},          {&BONUS_MENTAL_MEILLEURE_BOULE_APPROCHE, 19, 0},
        {&MALUS_MENTAL_MEILLEURE_BOULE_ELOIGNE, -23, 0},  {&MALUS_MENTAL_MEILLEURE_BOULE_ADVERSE_APPROCHE, -29, 0},
        {&BONUS_MENTAL_MEILLEURE_BOULE_ADVERSE_ELOIGNE, 31, 0}, {&BONUS_MENTAL_GAIN_MENE, 37, 0},
        {&MALUS_MENTAL_PERTE_MENE, -41, 0},               {&MALUS_MENTAL_ROULAGE, -43, 0},
    };
    float mSaved[3] = {};
};

}  // namespace

TEST_F(RefereeTest, BallsPerSideAndTheNextBallOfASide)
{
    EXPECT_EQ(CGameMaster::BallsPerSide(1), 3);
    EXPECT_EQ(CGameMaster::BallsPerSide(2), 6);
    EXPECT_EQ(CGameMaster::BallsPerSide(3), 6);
    // Side 0's first ball is element 1, side 1's first is 1 + B.
    EXPECT_EQ(CGameMaster::NextBallIndex(3, 0, 3), 1);
    EXPECT_EQ(CGameMaster::NextBallIndex(3, 0, 1), 3);
    EXPECT_EQ(CGameMaster::NextBallIndex(3, 1, 3), 4);
    EXPECT_EQ(CGameMaster::NextBallIndex(6, 1, 1), 12);
}

TEST_F(RefereeTest, MeneStartsWithTheTargetBallPointedByTheSidesPointer)
{
    Match(3);
    mTeamA.mPlayers[0]->mRole = CPlayer::ROLE_SHOOTER;
    mTeamA.mPlayers[1]->mRole = CPlayer::ROLE_POINTER;
    mTeamA.mPlayers[1]->mThrowMode = CPlayer::THROW_SHOOTING;
    mReferee->mBalls[3]->mState = CBall::STATE_OUT;
    mReferee->StartRound();

    EXPECT_EQ(mReferee->GetCurrentBall(), mReferee->mTargetBall);
    EXPECT_EQ(mReferee->mTargetBall->mHighlight, 1);
    EXPECT_EQ(mReferee->mBalls[3]->mState, CBall::STATE_NONE);
    CPlayer* thrower = mTeamA.mPlayers[1];
    EXPECT_EQ(mReferee->mCurrentPlayer, thrower);
    EXPECT_EQ(mReferee->GetCurrentPlayer(), thrower);
    EXPECT_EQ(thrower->mThrowMode, CPlayer::THROW_POINTING);
    EXPECT_EQ(thrower->mBallsLeft, 2);
    EXPECT_EQ(mReferee->GetLaunchSet()->mStep, 1);
    EXPECT_TRUE(mReferee->IsLocalHumanTurn());
    // On the circle, facing the far end of the terrain: the aim lies 5 m ahead.
    EXPECT_TRUE(thrower->GetWorldPosition().positionEquals(Ogre::Vector3(0, 0, 6), 1e-4f));
    EXPECT_TRUE(mReferee->GetAimGuide()->mAimPoint.positionEquals(Ogre::Vector3(0, 0.02f, 1), 1e-3f))
        << mReferee->GetAimGuide()->mAimPoint;
    Ogre::Vector3 unused;
    EXPECT_FALSE(mReferee->GetTargetBallPosition(unused));
}

TEST_F(RefereeTest, TeamPlayerIsChosenOnlyWhileAiming)
{
    Match(2);
    mTeamA.mPlayers[1]->mRole = CPlayer::ROLE_SHOOTER;
    TargetAtOrigin();
    LaunchSet& set = *mReferee->GetLaunchSet();

    set.mStep = 2;
    mReferee->SelectTeamPlayer(1);
    EXPECT_EQ(mTeamA.mCurrentPlayer, 0);
    EXPECT_EQ(set.mStep, 2);

    set.mStep = 1;
    mReferee->SelectTeamPlayer(1);
    EXPECT_EQ(mTeamA.mCurrentPlayer, 1);
    EXPECT_EQ(mReferee->mCurrentPlayer, mTeamA.mPlayers[1]);
    EXPECT_EQ(mTeamA.mPlayers[1]->mThrowMode, CPlayer::THROW_SHOOTING);
    // An index past the team changes nothing.
    mReferee->SelectTeamPlayer(7);
    EXPECT_EQ(mReferee->mCurrentPlayer, mTeamA.mPlayers[1]);
}

TEST_F(ScoringTest, ThrowsEvaluatedFromHandPlacedBalls)
{
    struct Prior {
        int32_t side;
        float distance;
    };
    struct Case {
        const char* what;
        std::vector<Prior> before;
        int32_t side;
        int32_t mode;
        float angle;      // shooting angle of the throw
        float distance;   // where the thrown ball rests
        int32_t reaction;
        int32_t stressChange;
        int32_t nextBall;   // element of the ball list thrown next
        int32_t nextSide;
    } cases[] = {
        {"first ball near", {}, 0, CPlayer::THROW_POINTING, 30, 0.3f, 6, -2, 4, 1},
        {"first ball far", {}, 0, CPlayer::THROW_POINTING, 30, 3.0f, 3, 5, 4, 1},
        {"first ball rolled near", {}, 0, CPlayer::THROW_POINTING, 5, 0.3f, 6, 41, 4, 1},
        {"first ball between the thresholds", {}, 0, CPlayer::THROW_POINTING, 30, 1.0f, 0, 0, 4, 1},
        {"first ball shot", {}, 0, CPlayer::THROW_SHOOTING, 30, 1.0f, 0, 0, 4, 1},
        {"answer near takes the point", {{0, 1.0f}}, 1, CPlayer::THROW_POINTING, 30, 0.3f, 5, -14, 2, 0},
        {"answer short of the point", {{0, 1.0f}}, 1, CPlayer::THROW_POINTING, 30, 1.5f, 0, 17, 5, 1},
        {"shot that changes nothing", {{0, 1.0f}}, 1, CPlayer::THROW_SHOOTING, 30, 1.5f, 3, 17, 5, 1},
        {"own best ball nearer", {{0, 1.0f}, {1, 1.5f}}, 1, CPlayer::THROW_POINTING, 30, 1.2f, 0, -2, 6, 1},
        {"own ball farther, best unchanged", {{0, 1.0f}, {1, 1.5f}}, 1, CPlayer::THROW_POINTING, 30, 1.8f, 0, 17, 6,
         1},
        {"takes back a point", {{0, 1.0f}, {1, 0.5f}}, 0, CPlayer::THROW_POINTING, 30, 0.3f, 5, -14, 5, 1},
        {"second point of the side", {{0, 1.0f}, {1, 1.5f}}, 0, CPlayer::THROW_POINTING, 30, 1.2f, 5, -11, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Match(1);
        TargetAtOrigin();
        for (const Prior& p : c.before)
            Rank(p.side, p.distance);
        Team& team = c.side == 0 ? mTeamA : mTeamB;
        CPlayer* thrower = team.mPlayers[0];
        mMatch->mMene->mCurrentSide = c.side;
        mReferee->mCurrentBall = Place(c.side, c.distance);
        mReferee->mCurrentPlayer = thrower;
        thrower->mThrowMode = c.mode;
        thrower->mStress = 100;
        mReferee->GetLaunchSet()->mShootingAngle = c.angle;
        mReferee->GetLaunchSet()->mStep = 9;

        bool valid = false;
        int reaction = -1;
        mReferee->EvaluateThrow(valid, reaction);
        EXPECT_TRUE(valid);
        EXPECT_EQ(reaction, c.reaction);
        EXPECT_EQ(thrower->mStress - 100, c.stressChange);
        EXPECT_EQ(mMatch->mMene->mCurrentSide, c.nextSide);
        EXPECT_EQ(mReferee->GetCurrentBall(), mReferee->GetBall(static_cast<uint32_t>(c.nextBall)));
        EXPECT_EQ(mReferee->GetCurrentBall()->mHighlight, 1);
        EXPECT_EQ(mReferee->GetPreviousBall()->mHighlight, 0);
        EXPECT_EQ(mReferee->GetLaunchSet()->mStep, 0);
    }
}

TEST_F(ScoringTest, TargetBallThrowsChangeNoStress)
{
    Match(1);
    mReferee->StartRound();
    CBall* target = mReferee->mTargetBall;
    CPlayer* thrower = mReferee->mCurrentPlayer;
    ASSERT_NE(thrower, nullptr);
    thrower->mStress = 100;
    struct Case {
        float z;
        bool valid;
        CBall* next;
    } cases[] = {
        {3.0f, false, target},                     // 3 m from the circle: thrown again
        {-2.0f, true, mReferee->GetBall(1)},       // 8 m: side 0's first ball follows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.z);
        SetNodeWorldPosition(target->GetNode(), Ogre::Vector3(0, 0, c.z));
        target->mState = CBall::STATE_LAUNCHED;
        ThrowResult result;
        mReferee->EvaluateThrow(result);
        EXPECT_EQ(result.valid != 0, c.valid);
        EXPECT_EQ(result.reaction, 0);
        EXPECT_EQ(thrower->mStress, 100);
        EXPECT_EQ(mReferee->GetCurrentBall(), c.next);
    }
}

TEST_F(ScoringTest, LastBallEndsTheMeneAndTheMatch)
{
    Match(1);
    mMatch->mScoreA = 12;
    TargetAtOrigin();
    for (float d : {1.0f, 2.5f, 2.6f})
        Rank(0, d);
    Rank(1, 1.5f);
    Rank(1, 1.6f);
    CPlayer* thrower = mTeamB.mPlayers[0];
    mMatch->mMene->mCurrentSide = 1;
    CBall* last = Place(1, 1.2f);
    mReferee->mCurrentBall = last;
    mReferee->mCurrentPlayer = thrower;
    thrower->mThrowMode = CPlayer::THROW_POINTING;
    mReferee->GetLaunchSet()->mShootingAngle = 30.0f;
    mReferee->GetLaunchSet()->mStep = 9;

    ThrowResult result;
    mReferee->EvaluateThrow(result);
    EXPECT_EQ(mMatch->mScoreA, 13u);
    EXPECT_EQ(mMatch->mScoreB, 0u);
    // Unchanged lead, own best ball nearer, the mene lost.
    EXPECT_EQ(thrower->mStress, 17 - 19 + 41);
    // No next ball once the match is won; the throw is still closed.
    EXPECT_EQ(mReferee->GetCurrentBall(), last);
    EXPECT_EQ(mReferee->GetLaunchSet()->mStep, 0);
}

TEST_F(RefereeTest, VenueWithoutARequiredObjectFailsTheSetUp)
{
    Match(1);
    for (const std::string& missing : CGameMaster::RequiredVenueObjects()) {
        SCOPED_TRACE(missing);
        std::vector<CKEMSceneNode*> made;
        for (const std::string& name : CGameMaster::RequiredVenueObjects())
            if (name != missing && !CKEMSceneGraph::FindNode(name))
                made.push_back(new TestNode(nullptr, name));
        if (CKEMSceneNode* node = CKEMSceneGraph::FindNode(missing))
            node->setName(missing + " (renamed)");

        static std::string logged;
        logged.clear();
        PlatSetLogSink([](const char* line) { logged += line; logged += '\n'; });
        CGameMaster referee(mMatch.get());
        EXPECT_FALSE(referee.Init());
        const size_t length = logged.size();
        referee.RegisterEvents();   // registered again: the set-up is not run twice
        EXPECT_EQ(logged.size(), length);
        PlatSetLogSink(nullptr);
        EXPECT_TRUE(referee.IsSetUpFailed());
        EXPECT_NE(logged.find("\"" + missing + "\""), std::string::npos) << logged;
        if (CKEMSceneNode* node = CKEMSceneGraph::FindNode(missing + " (renamed)"))
            node->setName(missing);
    }
}

TEST_F(RefereeTest, ComputerLevelAndBalanceErrorStayInRange)
{
    struct Case {
        int32_t in, out;
    } levels[] = {{-1, -1}, {-5, 0}, {0, 0}, {7, 7}, {10, 10}, {25, 10}};
    for (const Case& c : levels)
        EXPECT_EQ(LaunchSet::ClampLevel(c.in), c.out) << c.in;

    Team team("computer");
    team.mDifficulty[0][1] = 14;
    team.mDifficulty[1][1] = -3;
    team.mDifficulty[2][1] = 6;
    EXPECT_EQ(CGameMaster::AILevelFor(&team, 0), 10);
    EXPECT_EQ(CGameMaster::AILevelFor(&team, 1), 0);
    EXPECT_EQ(CGameMaster::AILevelFor(&team, 2), 6);
    EXPECT_EQ(CGameMaster::AILevelFor(&team, 9), 6);

    // Amplitudes of either sign, the largest draw, both signs.
    for (float amplitude : {-40.0f, -3.0f, 0.0f, 3.0f, 40.0f})
        for (int sign : {0, 1}) {
            const float e = LaunchSet::BalanceError(amplitude, 32767, sign);
            EXPECT_LE(std::fabs(e), 5.0f) << amplitude;
            EXPECT_NEAR(std::fabs(e), std::fmin(5.0f, std::fabs(amplitude)), 1e-4f) << amplitude;
        }
}

// Over our shipped tuning and team table: each harder difficulty narrows
// every team's computer throw errors (speed and balance, for any thrower's
// balance), and never widens the time a person has on the gauges.
TEST_F(RefereeTest, HarderDifficultiesNarrowTheComputersErrorsForEveryShippedTeam)
{
    ASSERT_TRUE(TeamDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Equipes_DB.csv"));
    const std::vector<Team*>& teams = TeamDB::GetTeams();
    ASSERT_EQ(teams.size(), 32u);
    const int32_t savedDifficulty = g_CurrentDifficulty;
    std::vector<std::unique_ptr<LaunchSet>> sets;
    for (int32_t difficulty = 0; difficulty < 3; ++difficulty) {
        g_CurrentDifficulty = difficulty;
        sets.emplace_back(new LaunchSet(nullptr));
    }
    g_CurrentDifficulty = savedDifficulty;
    for (const Team* team : teams) {
        for (int32_t harder = 1; harder < 3; ++harder) {
            SCOPED_TRACE(team->mName + " at difficulty " + std::to_string(harder));
            const int32_t was = CGameMaster::AILevelFor(team, harder - 1);
            const int32_t now = CGameMaster::AILevelFor(team, harder);
            EXPECT_LT(sets[harder]->PowerErrorBound(now), sets[harder - 1]->PowerErrorBound(was));
            for (float balance : {-5.0f, 0.0f, 5.0f, 10.0f})
                EXPECT_LT(sets[harder]->BalanceErrorBound(now, balance),
                          sets[harder - 1]->BalanceErrorBound(was, balance))
                    << "balance " << balance;
        }
    }
    TeamDB::Release();

    struct Gauge {
        const char* name;
        float easy, medium, hard;
    } gauges[] = {
        {"power", TEMPS_JAUGE_POWER_FACILE, TEMPS_JAUGE_POWER_MOYEN, TEMPS_JAUGE_POWER_DIFFICILE},
        {"balance, green", TEMPS_JAUGE_EQUILIBRE_VERT_FACILE, TEMPS_JAUGE_EQUILIBRE_VERT_MOYEN,
         TEMPS_JAUGE_EQUILIBRE_VERT_DIFFICILE},
        {"balance, yellow", TEMPS_JAUGE_EQUILIBRE_JAUNE_FACILE, TEMPS_JAUGE_EQUILIBRE_JAUNE_MOYEN,
         TEMPS_JAUGE_EQUILIBRE_JAUNE_DIFFICILE},
        {"balance, orange", TEMPS_JAUGE_EQUILIBRE_ORANGE_FACILE, TEMPS_JAUGE_EQUILIBRE_ORANGE_MOYEN,
         TEMPS_JAUGE_EQUILIBRE_ORANGE_DIFFICILE},
        {"balance, red", TEMPS_JAUGE_EQUILIBRE_ROUGE_FACILE, TEMPS_JAUGE_EQUILIBRE_ROUGE_MOYEN,
         TEMPS_JAUGE_EQUILIBRE_ROUGE_DIFFICILE},
    };
    for (const Gauge& g : gauges) {
        EXPECT_GT(g.hard, 0.0f) << g.name;
        EXPECT_LE(g.medium, g.easy) << g.name;
        EXPECT_LE(g.hard, g.medium) << g.name;
    }
}

TEST_F(RefereeTest, ComputerThrowPresetsStayOnTheGauge)
{
    Match(1);
    TargetAtOrigin();
    LaunchSet& set = *mReferee->GetLaunchSet();
    for (int32_t level : {-20, 0, 5, 10, 30}) {
        for (int i = 0; i < 50; ++i) {
            set.ApplyErrors(6.0f, 30.0f, level);
            ASSERT_LE(std::fabs(set.mPresetUnbalance), 5.0f) << level;
            ASSERT_TRUE(std::isfinite(set.mPresetPower)) << level;
        }
    }
}

TEST_F(RefereeTest, NoSpeedLandsNowhereAndBandsStayFinite)
{
    EXPECT_EQ(CAimGuide::LandingDistance(0.0f, 45.0f, 1.0f, 9.81f), 0.0f);
    EXPECT_EQ(CAimGuide::LandingDistance(-2.0f, 45.0f, 1.0f, 9.81f), 0.0f);
    Match(1);
    TargetAtOrigin();
    mProfile.mSpeed0 = mProfile.mSpeed1 = mProfile.mSpeed2 = mProfile.mSpeed3 = 0.0f;
    CAimGuide& guide = *mReferee->GetAimGuide();
    for (float d : {guide.GetGraduationDistance0(), guide.GetGraduationDistance1(), guide.GetGraduationDistance2(),
                    guide.GetGraduationDistance3()}) {
        EXPECT_TRUE(std::isfinite(d));
        EXPECT_EQ(d, guide.mAxisMin);
    }
}

TEST_F(RefereeTest, GreenZoneRecoveryStopsAtNoFatigue)
{
    Match(1);
    TargetAtOrigin();
    const int32_t saved = RECUPERATION_PHYSIQUE_VERT;
    RECUPERATION_PHYSIQUE_VERT = 3;
    LaunchSet& set = *mReferee->GetLaunchSet();
    CPlayer* thrower = mReferee->mCurrentPlayer;
    ASSERT_NE(thrower, nullptr);
    set.Begin(thrower, mReferee->GetBall(1));
    // Power in the green band (between distance 0 and distance 1).
    CAimGuide& guide = *mReferee->GetAimGuide();
    set.mPower = 0.5f * (guide.GetGraduationDistance0() + guide.GetGraduationDistance1());
    ASSERT_GE(set.mPower, guide.GetGraduationDistance0());
    ASSERT_LE(set.mPower, guide.GetGraduationDistance1());
    struct Case {
        int32_t before, after;
    } cases[] = {{1, 0}, {3, 0}, {5, 2}, {0, 0}, {-2, -2}};
    for (const Case& c : cases) {
        thrower->mFatigue = c.before;
        set.LaunchBall();
        EXPECT_EQ(thrower->mFatigue, c.after) << c.before;
    }
    RECUPERATION_PHYSIQUE_VERT = saved;
}

TEST_F(RefereeTest, ComputerDecisionIsAppliedOnceAtTheAimingStep)
{
    mTeamB.mComputer = true;
    Match(1);
    ASSERT_NE(mReferee->GetStrategyManager(), nullptr);
    mMatch->mNextStartingSide = 1;
    mReferee->StartRound();
    ASSERT_EQ(mReferee->GetSideToPlay(), 1);
    ASSERT_TRUE(mReferee->IsCurrentSideAI());
    EXPECT_FALSE(mReferee->IsLocalHumanTurn());
    LaunchSet& set = *mReferee->GetLaunchSet();

    int frames = 0;
    while (!set.mPresetActive && frames++ < 2000) {
        mReferee->ApplyAIDecision();
        g_AITaskScheduler.RunFrame();
    }
    ASSERT_TRUE(set.mPresetActive) << frames;
    EXPECT_EQ(set.mStep, 1);
    EXPECT_EQ(mReferee->mCurrentPlayer->mThrowMode, CPlayer::THROW_POINTING);
    const float presetPower = set.mPresetPower;

    // Later frames, at the aiming step and beyond, leave the throw running.
    for (int32_t step : {1, 2, 3}) {
        set.mStep = step;
        set.mPower = 1.25f;
        mReferee->ApplyAIDecision();
        EXPECT_EQ(set.mStep, step);
        EXPECT_EQ(set.mPower, 1.25f);
        EXPECT_TRUE(set.mPresetActive);
        EXPECT_EQ(set.mPresetPower, presetPower);
    }
}

TEST_F(RefereeTest, OfflineThrowEndsOnceBallsRestAndTheCameraHasArrived)
{
    Match(1);
    TargetAtOrigin();
    LaunchSet& set = *mReferee->GetLaunchSet();
    // A ball resting beyond the side line and one inside.
    CBall* out = Place(0, 0.0f);
    SetNodeWorldPosition(out->GetNode(), Ogre::Vector3(2.5f, 0, 0));
    CBall* in = Place(1, 1.0f);
    mReferee->mCurrentBall = in;
    set.mStep = 7;
    mReferee->mCameraState = CGameMaster::CAMERA_ZOOM;

    mReferee->UpdateThrow();
    EXPECT_EQ(out->mState, CBall::STATE_OUT);
    EXPECT_FALSE(out->GetNode()->IsVisible());
    EXPECT_EQ(in->mState, CBall::STATE_LAUNCHED);
    EXPECT_EQ(mReferee->mTargetBall->mState, CBall::STATE_LAUNCHED);
    EXPECT_EQ(set.mStep, 8);

    // Step 8 waits for the camera to reach its free view.
    for (int i = 0; i < 3; ++i)
        mReferee->UpdateThrow();
    EXPECT_EQ(set.mStep, 8);
    mReferee->mCameraState = CGameMaster::CAMERA_FREE;
    mReferee->UpdateThrow();
    EXPECT_EQ(set.mStep, 9);
}

// Balls at rest against each other keep a tiny speed: below the rest speed,
// held for the hold time of game time, they end the throw, stilled and asleep
// with their geoms still in collision. A faster ball starts the hold anew.
// A ball still in a hand is no part of it and is left alone.
TEST_F(RefereeTest, BallsCreepingBelowTheRestSpeedEndTheThrowLongBeforeTheSettleLimit)
{
    Match(1);
    const float slow = CGameMaster::kRestSpeed * 0.5f, fast = CGameMaster::kRestSpeed * 2.0f;
    const uint32_t hold = CGameMaster::kRestHoldMs;
    struct Frame {
        uint32_t at;   // ms after the launch
        float speed;   // of the ball touching the target ball
        int32_t step;  // after the frame
    };
    struct Case {
        const char* what;
        std::vector<Frame> frames;
    } cases[] = {
        {"creeping from the first frame", {{100, slow, 7}, {100 + hold - 1, slow, 7}, {100 + hold, slow, 8}}},
        {"a faster frame starts the hold anew",
         {{50, fast, 7}, {100, slow, 7}, {300, fast, 7}, {400, slow, 7}, {100 + hold, slow, 7}, {400 + hold, slow, 8}}},
        {"fast for seconds, then creeping", {{100, fast, 7}, {5000, slow, 7}, {5000 + hold, slow, 8}}},
    };
    const uint32_t savedTime = gTimer.mGameTime;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TargetAtOrigin();
        CBall* target = mReferee->mTargetBall;
        CBall* resting = Place(0, 0.075f);
        CBall* held = mReferee->GetBall(static_cast<uint32_t>(1 + mReferee->GetBallsPerSide()));
        held->mState = CBall::STATE_NONE;
        mReferee->mCurrentBall = resting;
        for (CBall* ball : {target, resting, held})
            Body(ball)->GetBody()->setEnabled(true);
        Body(held)->setLinearVelocity(Ogre::Vector3(0.0f, 0.0f, fast));
        LaunchSet& set = *mReferee->GetLaunchSet();
        set.mStep = 7;
        set.mValidated = false;
        set.mLaunchStartTime = 5000;
        for (const Frame& f : c.frames) {
            gTimer.mGameTime = set.mLaunchStartTime + f.at;
            Body(target)->setLinearVelocity(Ogre::Vector3(0.0f, 0.0f, slow * 0.5f));
            Body(resting)->setLinearVelocity(Ogre::Vector3(0.0f, 0.0f, f.speed));
            mReferee->UpdateThrow();
            ASSERT_EQ(set.mStep, f.step) << "at " << f.at << " ms";
        }
        for (CBall* ball : {target, resting}) {
            CPhysicObject* object = Body(ball);
            EXPECT_FALSE(ball->IsMoving());
            EXPECT_FALSE(object->GetBody()->isEnabled());
            EXPECT_TRUE(object->IsActive());   // still in collision for later throws
        }
        EXPECT_TRUE(held->GetNode()->getPhysicObject()->GetBody()->isEnabled());
        EXPECT_EQ(held->GetNode()->getPhysicObject()->getLinearVelocity().z, fast);
    }
    gTimer.mGameTime = savedTime;
}

// Balls that keep moving faster than the rest speed: the throw waits for
// them until the settle limit of game time after the launch (also across the
// clock's wrap), then takes them as they lie, stilled and asleep.
TEST_F(RefereeTest, BallsThatNeverSettleAreTakenAsTheyLieAtTheSettleLimit)
{
    Match(1);
    const Ogre::Vector3 moving(0.0f, 0.0f, CGameMaster::kRestSpeed * 2.0f);
    struct Case {
        const char* what;
        uint32_t launch, elapsed;
        bool taken;
    } cases[] = {
        {"just before the limit", 1000u, 29990u, false},
        {"just past the limit", 1000u, 30010u, true},
        {"past the limit across the clock's wrap", 0xFFFFF000u, 30010u, true},
        {"long past the limit", 1000u, 600000u, true},
    };
    const uint32_t savedTime = gTimer.mGameTime;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TargetAtOrigin();
        CBall* target = mReferee->mTargetBall;
        CBall* resting = Place(0, 0.075f);
        mReferee->mCurrentBall = resting;
        for (CBall* ball : {target, resting}) {
            CPhysicObject* object = Body(ball);
            object->setLinearVelocity(moving);
            object->setAngularVelocity(Ogre::Vector3(0.0f, 0.01f, 0.0f));
        }
        LaunchSet& set = *mReferee->GetLaunchSet();
        set.mStep = 7;
        set.mValidated = false;
        set.mLaunchStartTime = c.launch;
        gTimer.mGameTime = c.launch + c.elapsed;

        mReferee->UpdateThrow();
        EXPECT_EQ(set.mStep, c.taken ? 8 : 7);
        for (CBall* ball : {target, resting}) {
            CPhysicObject* object = ball->GetNode()->getPhysicObject();
            EXPECT_EQ(ball->mState, CBall::STATE_LAUNCHED);
            EXPECT_TRUE(object->IsActive());
            EXPECT_EQ(object->GetBody()->isEnabled(), !c.taken);
            EXPECT_EQ(ball->IsMoving(), !c.taken);
            if (c.taken) {
                EXPECT_EQ(object->getAngularVelocity(), Ogre::Vector3::ZERO);
            }
        }
    }
    gTimer.mGameTime = savedTime;
}

std::vector<std::string> gLogLines;
void CaptureLog(const char* line)
{
    gLogLines.push_back(line);
}

// The per-frame check of the balls against the terrain traces every ball
// only when the physics trace is asked for.
TEST_F(RefereeTest, BallChecksAreTracedOnlyOnRequest)
{
    Match(1);
    struct Case {
        const char* value;
        bool traced;
    } cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}};
    for (const Case& c : cases) {
        if (c.value)
            setenv("TAVIRELO_PHYSICS_TRACE", c.value, 1);
        else
            unsetenv("TAVIRELO_PHYSICS_TRACE");
        CGameMaster referee(mMatch.get());
        referee.mBalls = mReferee->mBalls;
        gLogLines.clear();
        PlatSetLogSink(&CaptureLog);
        referee.controlBallsPositions();
        PlatSetLogSink(nullptr);
        referee.mBalls.clear();
        const bool traced = std::any_of(gLogLines.begin(), gLogLines.end(), [](const std::string& line) {
            return line.find("-ball[") != std::string::npos;
        });
        EXPECT_EQ(traced, c.traced) << (c.value ? c.value : "(unset)");
    }
    unsetenv("TAVIRELO_PHYSICS_TRACE");
}

TEST_F(RefereeTest, LocalHumanTurnFollowsTheControllersTable)
{
    mTeamB.mComputer = true;
    Match(1);
    mReferee->StartRound();
    struct Case {
        int32_t side;
        uint8_t filled;
        int32_t entryType;
        bool local;
    } cases[] = {
        {0, 0, e_lan1, true},     // no table: every human side is played here
        {0, 1, e_local1, true},   // the side's entry is this machine's
        {0, 1, e_lan1, false},    // a LAN peer plays it
        {1, 0, e_local1, false},  // the computer's side
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.side << " " << int(c.filled) << " " << c.entryType);
        ResetControlers();
        ControlerTable[0].mType = c.entryType;
        ControlerTable[0].mTeam = c.side;
        g_ControlerCurrentIndex[c.side] = 0;
        g_OwnControlerType = e_local1;
        g_ControlerTableFilled = c.filled;
        mMatch->mMene->mCurrentSide = c.side;
        EXPECT_EQ(mReferee->IsLocalHumanTurn(), c.local);
    }
    ResetControlers();
}

TEST_F(RefereeTest, ThrowEndGivesTheFrameLoopItsNormalPace)
{
    Match(1);
    TargetAtOrigin();
    CMainApp app;
    CMainApp* saved = g_pMainApp;
    g_pMainApp = &app;
    // The throw slowed the frames down and left a deadline far ahead.
    app.SetFramePeriod(400);
    app.SetNextFrameDeadline(99999);
    LaunchSet& set = *mReferee->GetLaunchSet();
    set.mStep = 8;
    set.mValidated = true;
    set.Update(mMatch.get(), mReferee->GetBalls());
    g_pMainApp = saved;
    EXPECT_EQ(set.mStep, 9);
    EXPECT_EQ(app.GetFramePeriod(), static_cast<uint32_t>(app.GetNormalFramePeriod()));
    EXPECT_EQ(app.GetNextFrameDeadline(),
              app.GetPreviousFrameStart() + static_cast<uint32_t>(app.GetNormalFramePeriod()));
}

TEST_F(RefereeTest, ReceivedShootOptionsAreAppliedOnceAndCheckedFirst)
{
    Match(2);
    TargetAtOrigin();
    ResetControlers();
    ControlerTable[2].mType = e_lan1;
    ControlerTable[2].mTeam = 0;
    g_ControlerCurrentIndex[0] = 2;
    mMatch->mMene->mCurrentSide = 0;
    const float nan = std::nanf("");
    struct Case {
        const char* what;
        uint32_t player, mode, effect;
        float angle;
        bool applied;
    } cases[] = {
        {"valid", 1, CPlayer::THROW_SHOOTING, CBall::EFFECT_FORWARD, 40.0f, true},
        {"player past the team", 2, CPlayer::THROW_POINTING, 0, 40.0f, false},
        {"unknown throw mode", 0, 7, 0, 40.0f, false},
        {"unknown spin", 0, CPlayer::THROW_POINTING, 9, 40.0f, false},
        {"angle not a number", 0, CPlayer::THROW_POINTING, 0, nan, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mReferee->SetCurrentPlayer(mTeamA.mPlayers[0]);
        mTeamA.SetCurrentPlayer(mTeamA.mPlayers[0]);
        mReferee->mCurrentBall->mEffect = CBall::EFFECT_NONE;
        ShootOptions options;
        options.playerIndex = c.player;
        options.throwMode = c.mode;
        options.effect = c.effect;
        options.angle = c.angle;
        options.aimX = 0.5f;
        options.aimZ = 1.0f;
        options.fatigue = 4;
        options.stress = 6;
        ControlerTable[2].SetShootOptions(options);

        mReferee->ApplyRemoteShootOptions();
        EXPECT_FALSE(ControlerTable[2].mShootOptionsReceived);
        CPlayer* expected = mTeamA.mPlayers[c.applied ? c.player : 0];
        EXPECT_EQ(mReferee->mCurrentPlayer, expected);
        EXPECT_EQ(mTeamA.GetCurrentPlayer(), expected);
        if (c.applied) {
            EXPECT_EQ(expected->mThrowMode, static_cast<int32_t>(c.mode));
            EXPECT_EQ(expected->mFatigue, 4);
            EXPECT_EQ(expected->mStress, 6);
            EXPECT_EQ(mReferee->GetAimGuide()->mLaunchAngle, c.angle);
            EXPECT_TRUE(mReferee->GetAimGuide()->mAimPoint.positionEquals(Ogre::Vector3(0.5f, 0.02f, 1.0f)));
            EXPECT_EQ(mReferee->mCurrentBall->mEffect, static_cast<int32_t>(c.effect));
        } else {
            EXPECT_EQ(mReferee->mCurrentBall->mEffect, CBall::EFFECT_NONE);
        }
        // Applied once: nothing more until the next message.
        mTeamA.mPlayers[1]->mStress = 0;
        mReferee->ApplyRemoteShootOptions();
        EXPECT_EQ(mTeamA.mPlayers[1]->mStress, 0);
    }
    ResetControlers();
}

// A peer's throw waits at the aiming step for the peer's choices. The owner
// sends its shoot options (also earlier, while its player aims) and then its
// shoot parameters, the last two in the same frame: the throw leaves the
// aiming step with the peer's thrower and the peer's presets.
TEST_F(RefereeTest, PeerThrowLeavesTheAimingStepWithThePeersThrowerAndPresets)
{
    Match(2);
    struct Case {
        const char* what;
        bool optionsWhileAiming;   // a first frame brings the options alone
    } cases[] = {
        {"options and parameters in one frame", false},
        {"options while aiming, then both", true},
    };
    const int32_t savedState = g_NetMgr.mState;
    g_NetMgr.mState = CNetMgr::e_connected;   // as in a session; nothing is sent at this step
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TargetAtOrigin();
        ResetControlers();
        g_ControlerTableFilled = 1;
        ControlerTable[0].mType = e_lan2;
        ControlerTable[0].mTeam = 0;
        g_ControlerCurrentIndex[0] = 0;
        g_OwnControlerType = e_lan1;
        mMatch->mMene->mCurrentSide = 0;
        LaunchSet& set = *mReferee->GetLaunchSet();
        mReferee->SetCurrentPlayer(mTeamA.mPlayers[0]);
        mTeamA.SetCurrentPlayer(mTeamA.mPlayers[0]);
        ASSERT_EQ(set.mStep, 1);

        ShootOptions options;
        options.playerIndex = 1;
        options.throwMode = CPlayer::THROW_POINTING;
        options.angle = 30.0f;
        options.aimZ = 1.0f;
        ControlerEntry& entry = ControlerTable[0];
        if (c.optionsWhileAiming) {
            entry.SetShootOptions(options);
            mReferee->UpdateThrow();
            EXPECT_EQ(set.mStep, 1) << "no presets yet: the throw waits";
        }
        entry.SetShootOptions(options);
        entry.mPresetPower = 3.0f;
        entry.mSpeed = 5.0f;
        entry.mShootingAngle = 30.0f;
        entry.mPresetBalanceGoAndBack = 1;
        entry.mShootParamsReceived = true;
        mReferee->UpdateThrow();
        EXPECT_EQ(set.mStep, 2) << "the throw still waits at the aiming step";
        EXPECT_TRUE(set.mPresetActive);
        EXPECT_EQ(mReferee->mCurrentPlayer, mTeamA.mPlayers[1]);
    }
    g_NetMgr.mState = savedState;
    ResetControlers();
}

// In a LAN game the thrower's machine sends where its balls rest once none
// moves: a ball that still spins is stilled then, so that it cannot roll on
// there alone and leave the peers with another place.
TEST_F(RefereeTest, TheThrowersBallsAreStilledWhenTheirPlacesGoToThePeers)
{
    Match(1);
    TargetAtOrigin();
    CBall* resting = Place(0, 0.5f);
    mReferee->mCurrentBall = resting;
    std::vector<CPhysicObject*> bodies;
    for (CBall* ball : {mReferee->mTargetBall, resting}) {
        CPhysicObject* object = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
        ball->GetNode()->attachPhysicObject(object);
        object->SetSphereShape(0.0375f);
        object->BuildShapes(CPhysicObject::SHAPE_SPHERE, nullptr);
        object->SetMass(0.7f);
        object->SetActive(true);
        object->setLinearVelocity(Ogre::Vector3::ZERO);
        object->setAngularVelocity(Ogre::Vector3(0.6f, 0.0f, 0.3f));
        bodies.push_back(object);
    }
    ResetControlers();
    g_ControlerTableFilled = 1;
    ControlerTable[0].mType = e_lan1;
    ControlerTable[0].mTeam = 0;
    g_ControlerCurrentIndex[0] = 0;
    g_OwnControlerType = e_lan1;
    mMatch->mMene->mCurrentSide = 0;
    const int32_t savedState = g_NetMgr.mState;
    const int32_t savedQueue = g_NetMgr.mClientSignalQueue;
    g_NetMgr.mState = CNetMgr::e_connected;   // a client with no host slot: nothing leaves
    LaunchSet& set = *mReferee->GetLaunchSet();
    set.mStep = 7;
    set.mValidated = false;
    set.mLaunchStartTime = gTimer.GetTimeMs();
    mReferee->UpdateThrow();
    g_NetMgr.mState = savedState;
    g_NetMgr.mClientSignalQueue = savedQueue;
    EXPECT_EQ(set.mStep, 8) << "the balls were not taken as at rest";
    for (CPhysicObject* object : bodies) {
        EXPECT_EQ(object->getAngularVelocity(), Ogre::Vector3::ZERO);
        EXPECT_EQ(object->getLinearVelocity(), Ogre::Vector3::ZERO);
    }
    ResetControlers();
}

// Two computer sides play a whole mene through the referee, frame by frame:
// decisions, gauges, launches, the camera's states and the evaluation. A
// ball comes down where it was aimed (the target ball on the middle of its
// band), as no ground is simulated here.
TEST_F(RefereeTest, ComputerSidesPlayAWholeMeneThroughTheReferee)
{
    mTeamA.mComputer = mTeamB.mComputer = true;
    Match(1);
    mReferee->StartRound();
    LaunchSet& set = *mReferee->GetLaunchSet();
    const uint32_t start = gTimer.mGameTime;
    std::vector<CBall*> order;
    std::vector<int32_t> sides;
    bool landed = false;
    int frames = 0;
    for (; frames < 40000 && !IsMeneOver(mMatch->mMene); ++frames) {
        gTimer.mGameTime += 20;
        gTimer.mGameDeltaS = 0.02f;
        if (set.mStep == 1) {
            landed = false;
            mReferee->UpdateMatchCamera(CGameMaster::CAMERA_LAUNCH);
            mReferee->ApplyAIDecision();
            g_AITaskScheduler.RunFrame();
        }
        const int32_t side = mReferee->GetSideToPlay();
        mReferee->Manage();
        mReferee->UpdateThrow();
        if (set.mStep >= 7 && !landed) {
            landed = true;
            CBall* ball = mReferee->GetCurrentBall();
            const Ogre::Vector3 aim = mReferee->GetAimGuide()->mAimPoint;
            SetNodeWorldPosition(ball->GetNode(),
                                 ball->IsTarget() ? Ogre::Vector3(0, 0, -2) : Ogre::Vector3(aim.x, 0, aim.z));
            order.push_back(ball);
            sides.push_back(side);
        }
        if (set.mStep == 9) {
            ThrowResult result;
            mReferee->EvaluateThrow(result);
            EXPECT_EQ(set.mStep, 0);
        }
    }
    gTimer.mGameTime = start;
    ASSERT_TRUE(IsMeneOver(mMatch->mMene)) << frames << " frames, " << order.size() << " throws, step " << set.mStep
                                           << ", camera " << mReferee->GetCameraState();
    // The target ball, then each of the six balls once, each by its own side.
    ASSERT_EQ(order.size(), 7u);
    EXPECT_EQ(order[0], mReferee->mTargetBall);
    for (size_t i = 1; i < order.size(); ++i) {
        const auto at = std::find(mReferee->mBalls.begin(), mReferee->mBalls.end(), order[i]);
        const int32_t index = static_cast<int32_t>(at - mReferee->mBalls.begin());
        EXPECT_EQ(sides[i], index <= 3 ? 0 : 1) << i;
        EXPECT_EQ(std::count(order.begin(), order.end(), order[i]), 1) << i;
    }
    EXPECT_EQ(mTeamA.CountBallsLeft() + mTeamB.CountBallsLeft(), 0);
    EXPECT_GT(mMatch->mScoreA + mMatch->mScoreB, 0u);
}

TEST_F(RefereeTest, ThrowWithoutANetworkNeverWaitsForAPeer)
{
    Match(1);
    TargetAtOrigin();
    // A table left from a LAN game names a peer for the side, but nothing is connected.
    ResetControlers();
    ControlerTable[0].mType = e_lan2;
    ControlerTable[0].mTeam = 0;
    g_ControlerCurrentIndex[0] = 0;
    g_OwnControlerType = e_local1;
    LaunchSet& set = *mReferee->GetLaunchSet();
    set.Begin(mReferee->mCurrentPlayer, mReferee->GetCurrentBall());
    set.mStep = 4;
    set.mLaunchStartTime = gTimer.GetTimeMs();
    set.Update(mMatch.get(), mReferee->GetBalls());
    EXPECT_EQ(set.mStep, 5);
    set.Update(mMatch.get(), mReferee->GetBalls());
    EXPECT_EQ(set.mStep, 7);
    EXPECT_EQ(mReferee->GetCurrentBall()->mState, CBall::STATE_LAUNCHED);
    ResetControlers();
}

TEST_F(RefereeTest, MissingFrameCountIsLoggedAndTakenAsOne)
{
    Match(1);
    TargetAtOrigin();
    CPlayer* thrower = mTeamA.mPlayers[0];
    // A model without a mesh file: the throw animation has no length.
    gScenaricMgr.Unregister(thrower->GetNode());
    thrower->SetNode(new CKEMSceneObject("", "", nullptr));
    const int32_t saved = ANGLE_MAX_POINTE_FRAME;
    ANGLE_MAX_POINTE_FRAME = 0;
    static std::string logged;
    logged.clear();
    PlatSetLogSink([](const char* line) { logged += line; logged += '\n'; });
    LaunchSet& set = *mReferee->GetLaunchSet();
    thrower->mThrowMode = CPlayer::THROW_POINTING;
    set.Begin(thrower, mReferee->GetCurrentBall());
    PlatSetLogSink(nullptr);
    ANGLE_MAX_POINTE_FRAME = saved;
    EXPECT_NE(logged.find("ANGLE_MAX_POINTE_FRAME"), std::string::npos) << logged;
    EXPECT_EQ(set.mMsPerFrame, 0);   // no length over one frame
    EXPECT_EQ(set.mStep, 1);
}

// The model builder dresses the parts its rules name: the mesh's clothes part
// takes the side's clothes and its skin part the player's skin, while a part
// no rule names keeps its own material (no whole-entity material).
TEST_F(RefereeTest, PlayerModelsWearTheSidesClothesOverTheirOwnParts)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceLocationExists(KEM_STAGE_DIR "/mediaDemo/Models", "General"))
        groups.addResourceLocation(KEM_STAGE_DIR "/mediaDemo/Models", "FileSystem", "General");
    Match(1);
    CPlayer* player = mTeamA.mPlayers[0];   // the default appearance: HJ_CN_01
    const std::string clothes = player->GetClothesMaterialName(GetTeamDisplayName(&mTeamA));
    const std::string skin = player->GetMaterialName(CPlayer::PART_SKIN);
    // Stand-ins for the generated materials, which this test does not parse.
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (const std::string& name : {clothes, skin, player->GetMaterialName(CPlayer::PART_SHOES),
                                    std::string("HJ_CN_01/mat_clothes"), std::string("HJ_CN_01/mat_hair")})
        if (!materials.resourceExists(name, "General"))
            materials.create(name, "General");

    mReferee->BuildPlayerModel(&mTeamA);
    auto* model = dynamic_cast<CKEMSceneObject*>(player->GetNode());
    ASSERT_NE(model, nullptr);
    Ogre::Entity* entity = model->GetObjectEntityHandle() ? model->GetObjectEntityHandle()->GetEntity() : nullptr;
    ASSERT_NE(entity, nullptr);
    std::vector<std::string> worn;
    for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
        worn.push_back(entity->getSubEntity(i)->getMaterialName());
    EXPECT_EQ(std::count(worn.begin(), worn.end(), clothes), 1);
    EXPECT_EQ(std::count(worn.begin(), worn.end(), skin), 1);
    EXPECT_EQ(std::count(worn.begin(), worn.end(), "HJ_CN_01/mat_hair"), 1);
}

TEST_F(RefereeTest, AimChangesReachTheRollingEstimateDrawing)
{
    mTeamB.mComputer = true;
    Match(1);
    TargetAtOrigin();
    CAimGuide& guide = *mReferee->GetAimGuide();
    ASSERT_EQ(guide.mRollingEstimator, mReferee->GetRollingEstimator());
    ASSERT_NE(guide.mRollingEstimator, nullptr);
    EXPECT_EQ(guide.mReferee, static_cast<CHudGameSource*>(mReferee));
    const bool cheat = ENABLE_CHEAT;
    struct Case {
        bool cheat;
        int32_t mode;
        bool targetBall;
        bool drawn;
    } cases[] = {
        {true, CPlayer::THROW_POINTING, false, true},
        {true, CPlayer::THROW_SHOOTING, false, true},
        {true, CPlayer::THROW_POINTING, true, false},   // nothing rolls for the target ball
        {false, CPlayer::THROW_POINTING, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cheat << " " << c.mode << " " << c.targetBall);
        ENABLE_CHEAT = c.cheat;
        gDebugRenderer.RemoveShape("rolling");
        mReferee->mCurrentPlayer->mThrowMode = c.mode;
        guide.mBall = c.targetBall ? mReferee->mTargetBall : mReferee->GetBall(1);
        guide.mAxisShown = true;   // aiming: the axis is up
        guide.SetAimPoint(Ogre::Vector3(0.5f, 0.0f, 1.0f));
        EXPECT_TRUE(guide.mEstimateNeeded);
        guide.Update(0, 0, 0, 0);
        EXPECT_FALSE(guide.mEstimateNeeded);
        EXPECT_EQ(gDebugRenderer.HasShape("rolling"), c.drawn);
    }
    gDebugRenderer.RemoveShape("rolling");
    ENABLE_CHEAT = cheat;
}

// A side whose shirts look like the other side's changes to an away colour
// far from them; sides told apart already keep their own.
TEST_F(RefereeTest, ASideInTheOtherSidesColoursWearsAnAwayShirt)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    auto shirt = [&materials](const std::string& name, const Ogre::ColourValue& colour) {
        Ogre::MaterialPtr m = materials.getByName(name);
        if (!m)
            m = materials.create(name, "General");
        if (m->getNumTechniques() == 0)
            m->createTechnique()->createPass();
        m->getTechnique(0)->getPass(0)->setAmbient(colour);
    };
    shirt("Test_Blue/man_Clothes", Ogre::ColourValue(0.12f, 0.2f, 0.6f));
    shirt("Test_LightBlue/man_Clothes", Ogre::ColourValue(0.1f, 0.4f, 0.8f));
    shirt("Test_Red/man_Clothes", Ogre::ColourValue(0.85f, 0.12f, 0.12f));

    const std::string away = CGameMaster::AwayShirtMaterial("Test_LightBlue/man_Clothes", "Test_Blue/man_Clothes");
    ASSERT_FALSE(away.empty()) << "two blues pass for different shirts";
    const Ogre::ColourValue worn = materials.getByName(away)->getTechnique(0)->getPass(0)->getAmbient();
    const Ogre::ColourValue other(0.12f, 0.2f, 0.6f);
    EXPECT_GT(std::abs(worn.r - other.r) + std::abs(worn.g - other.g) + std::abs(worn.b - other.b), 1.0f);
    // Asked again (the next player), the same copy.
    EXPECT_EQ(CGameMaster::AwayShirtMaterial("Test_LightBlue/man_Clothes", "Test_Blue/man_Clothes"), away);

    EXPECT_EQ(CGameMaster::AwayShirtMaterial("Test_Red/man_Clothes", "Test_Blue/man_Clothes"), "");
    EXPECT_EQ(CGameMaster::AwayShirtMaterial("Test_Missing/man_Clothes", "Test_Blue/man_Clothes"), "");
}

// The result view from the throwing circle's side: the target ball, the
// balls near it and the thrown ball stand in the picture, clear of the score
// bar (top 5 %) and the result frame (bottom 20 %), and the view looks down
// from the circle's side. Projected here with the 3D engine's own camera maths.
TEST(ResultView, HoldsTheTargetBallTheBallsNearItAndTheThrownBallAboveTheResultFrame)
{
    const Ogre::Vector3 circle(0.0f, 0.0f, 6.0f);
    const float fov = 0.785398f, aspect = 4.0f / 3.0f;
    const struct {
        const char* what;
        std::vector<Ogre::Vector3> points;
    } cases[] = {
        {"a ball a metre short", {{0.0f, 0.015f, -0.5f}, {0.0f, 0.0375f, 0.6f}}},
        {"balls on both sides", {{0.5f, 0.015f, -1.0f}, {-1.5f, 0.0375f, -2.0f}, {1.8f, 0.0375f, 0.5f}}},
        {"the thrown ball far past", {{0.0f, 0.015f, 0.0f}, {-1.0f, 0.0375f, -7.0f}}},
        {"the target ball at the circle", {{0.0f, 0.015f, 5.5f}, {0.3f, 0.0375f, 5.0f}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Ogre::Vector3 place, look;
        ASSERT_TRUE(CGameMaster::FrameResultView(c.points, circle, fov, aspect, place, look));
        EXPECT_GT(place.y, look.y + 0.5f) << "the view does not look down";
        Ogre::Vector3 sight = look - place;
        sight.y = 0.0f;
        Ogre::Vector3 fromCircle = c.points[0] - circle;
        fromCircle.y = 0.0f;
        if (fromCircle.length() > 1.0f) {
            EXPECT_GT(sight.dotProduct(fromCircle), 0.0f) << "the view does not look away from the circle";
        }
        // The 3D engine's camera looks along its -Z axis.
        const Ogre::Quaternion orientation(Ogre::Math::lookRotation((place - look).normalisedCopy(), Ogre::Vector3::UNIT_Y));
        const Ogre::Affine3 view = Ogre::Math::makeViewMatrix(place, orientation);
        Ogre::Matrix4 projection;
        Ogre::Frustum frustum;
        frustum.setFOVy(Ogre::Radian(fov));
        frustum.setAspectRatio(aspect);
        frustum.setNearClipDistance(0.05f);
        projection = frustum.getProjectionMatrix();
        for (const Ogre::Vector3& p : c.points) {
            const Ogre::Vector4 clip = projection * Ogre::Matrix4(view) * Ogre::Vector4(p.x, p.y, p.z, 1.0f);
            ASSERT_GT(clip.w, 0.0f);
            const float x = (clip.x / clip.w * 0.5f + 0.5f) * 640.0f, y = (0.5f - clip.y / clip.w * 0.5f) * 480.0f;
            EXPECT_GT(x, 32.0f) << p;
            EXPECT_LT(x, 608.0f) << p;
            EXPECT_GT(y, 0.05f * 480.0f) << p;
            EXPECT_LT(y, 0.8f * 480.0f) << p;
        }
    }
    // Nothing to frame, or more than the farthest view holds.
    Ogre::Vector3 place, look;
    EXPECT_FALSE(CGameMaster::FrameResultView({}, circle, fov, aspect, place, look));
    EXPECT_FALSE(CGameMaster::FrameResultView({{-40.0f, 0.0f, 0.0f}, {40.0f, 0.0f, 0.0f}}, circle, fov, aspect,
                                              place, look));
}
