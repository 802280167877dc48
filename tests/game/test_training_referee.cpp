// The training referee without a training ground: the exercise table (rows
// past the tenth, missing and malformed rows), where the exercises stand, the
// exercise kind's range, which impacts count, and the score of each drill
// from hand-placed balls.
#include "PhysicsTestEnv.h"

#include <CBall.h>
#include <CGameElement.h>
#include <CTrainingGameMaster.h>
#include <GameDataTable.h>
#include <LaunchSet.h>
#include <TuningLoader.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

typedef CTrainingGameMaster TGM;

TextTable TableOfRows(int rows)
{
    TextTable table = {{"Angle", "Distance", "DecalageMurZ", "DecalageMurX"}};
    for (int r = 1; r <= rows; ++r)
        table.push_back({std::to_string(r), std::to_string(5 + r), "1.5", std::to_string(r * 0.1f)});
    return table;
}

bool IsDefault(const TGM::ExerciseRow& row)
{
    return row.angle == TGM::kDefaultRow.angle && row.distance == TGM::kDefaultRow.distance &&
           row.wallZ == TGM::kDefaultRow.wallZ && row.wallX == TGM::kDefaultRow.wallX;
}

// The circle at (0, 0, 6) as on the training ground; the referee's balls,
// ring, shooting target and wall are made here on plain nodes.
class TrainingRefereeTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
    }
    void TearDown() override
    {
        delete mReferee;
        mReferee = nullptr;
        PhysicsSceneTest::TearDown();
    }

    TGM& Make(int32_t kind)
    {
        mReferee = new TGM(kind);
        mReferee->mCircle = new CCircle(new TestNode(nullptr, "cercle"));
        mReferee->mCircle->SetWorldPosition(Ogre::Vector3(0, 0, 6));
        for (int k = 1; k <= 2; ++k)
            mReferee->mBalls.push_back(new CBall(CBall::KIND_BALL, new TestNode(nullptr, "boule " + std::to_string(k))));
        switch (kind) {
        case TGM::EXERCISE_POINT_WALL:
            mReferee->mWall = new CMovableGameElement(new TestNode(nullptr, "mur_entrainement"));
            // fall through
        case TGM::EXERCISE_POINT_RING:
            mReferee->mExerciseTarget = mReferee->mRing =
                new CMovableGameElement(new TestNode(nullptr, "cercle_entrainement"));
            break;
        case TGM::EXERCISE_SHOOT_TARGET:
            mReferee->mExerciseTarget = mReferee->mShootingTarget =
                new CMovableGameElement(new TestNode(nullptr, "cible_tir"));
            break;
        default:
            mReferee->mExerciseTarget = mReferee->mTargetBall = mReferee->mBalls[1];
            break;
        }
        TGM::ExerciseTable table;
        table.fill({0.0f, 6.0f, 1.5f, 0.0f});
        mReferee->mPoints = TGM::ComputeExercisePoints(table, Ogre::Vector3(0, 0, 6));
        mReferee->PlaceExercise();
        return *mReferee;
    }
    // The thrown ball in flight, as after its release.
    void InFlight()
    {
        mReferee->GetThrownBall()->mState = CBall::STATE_LAUNCHED;
        mReferee->mLaunchSet->mStep = 7;
    }
    void Put(CBall* ball, const Ogre::Vector3& position) { SetNodeWorldPosition(ball->GetNode(), position); }

    TGM* mReferee = nullptr;
};

}  // namespace

TEST(TrainingTable, ReadsAtMostTenRowsAndGivesMissingOrBrokenRowsTheDefault)
{
    struct Case {
        const char* what;
        TextTable table;
        int32_t used;
        std::vector<int> defaults;   // rows (0..9) expected to hold the default
    };
    TextTable broken = TableOfRows(10);
    broken[3] = {"2.0", "7.0", "1.5"};          // three fields
    broken[5] = {"left", "7.0", "1.5", "0.0"};  // not a number
    const Case cases[] = {
        {"ten rows", TableOfRows(10), 10, {}},
        {"twelve rows", TableOfRows(12), 10, {}},
        {"three rows", TableOfRows(3), 3, {3, 4, 5, 6, 7, 8, 9}},
        {"header only", TableOfRows(0), 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"nothing", TextTable(), 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"broken rows", broken, 8, {2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t used = -1;
        const TGM::ExerciseTable rows = TGM::ReadExerciseTable(c.table, &used);
        EXPECT_EQ(used, c.used);
        for (int r = 0; r < TGM::kExerciseRows; ++r) {
            const bool expectDefault = std::find(c.defaults.begin(), c.defaults.end(), r) != c.defaults.end();
            if (expectDefault) {
                EXPECT_TRUE(IsDefault(rows[r])) << "row " << r;
            } else {
                // Table row r + 1 holds angle r + 1 and distance 6 + r.
                EXPECT_FLOAT_EQ(rows[r].angle, float(r + 1)) << "row " << r;
                EXPECT_FLOAT_EQ(rows[r].distance, float(6 + r)) << "row " << r;
                EXPECT_FLOAT_EQ(rows[r].wallX, (r + 1) * 0.1f) << "row " << r;
            }
        }
    }
}

TEST(TrainingTable, ExercisesStandAlongTheTableAnglesFromTheCircle)
{
    TGM::ExerciseTable table;
    table.fill(TGM::kDefaultRow);
    table[0] = {0.0f, 6.0f, 1.5f, 0.0f};
    table[1] = {90.0f, 8.0f, 2.0f, 0.5f};
    table[2] = {-30.0f, 10.0f, 1.0f, -0.5f};
    const Ogre::Vector3 circle(1.0f, 0.0f, 6.0f);
    const TGM::ExercisePoints points = TGM::ComputeExercisePoints(table, circle);
    struct Expected {
        float x, z;
    };
    // Angle 0: straight along -z. 90 degrees: the direction (-1, 0, -1), 45
    // degrees. -30: the sine 0.5 against one metre along -z.
    const float d30 = 10.0f / std::sqrt(1.25f);
    const Expected expected[] = {{1.0f, 0.0f}, {1.0f - 8.0f / std::sqrt(2.0f), 6.0f - 8.0f / std::sqrt(2.0f)},
                                 {1.0f + 0.5f * d30, 6.0f - d30}};
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_NEAR(points.target[r][0], expected[r].x, 1e-4f);
        EXPECT_NEAR(points.target[r][1], expected[r].z, 1e-4f);
        EXPECT_NEAR(points.wall[r][0], expected[r].x + table[r].wallX, 1e-4f);
        EXPECT_NEAR(points.wall[r][1], expected[r].z + table[r].wallZ, 1e-4f);
    }
}

TEST(TrainingKind, AKindOutsideTheFourExercisesPlaysTheFirst)
{
    const struct {
        int32_t given, played;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {-1, 0}, {4, 0}, {100, 0}, {INT_MIN, 0}, {INT_MAX, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TGM::ValidExerciseKind(c.given), c.played) << c.given;
}

TEST_F(TrainingRefereeTest, AnOutOfRangeKindMakesAFirstExerciseReferee)
{
    mReferee = new TGM(7);
    EXPECT_EQ(mReferee->GetExerciseKind(), TGM::EXERCISE_POINT_RING);
    EXPECT_EQ(mReferee->GetKind(), CHudGameSource::KIND_TRAINING);
}

TEST_F(TrainingRefereeTest, AGroundWithoutTheExerciseObjectsRefusesTheSetUpWithoutTouchingIt)
{
    // Only some of the training ground: the ring and the wall are missing.
    for (const char* name : {"cercle", "cible", "boule 1", "boule 2", "cible_tir"})
        new TestNode(nullptr, name);
    mReferee = new TGM(TGM::EXERCISE_POINT_WALL);
    EXPECT_FALSE(mReferee->Init());
    EXPECT_TRUE(mReferee->IsSetUpFailed());
    EXPECT_TRUE(mReferee->IsSetUp());
    EXPECT_EQ(mReferee->mCircle, nullptr);
    EXPECT_TRUE(mReferee->GetBalls().empty());
    EXPECT_EQ(mReferee->GetTerrain(), nullptr);
    // Registration runs the set-up once only.
    mReferee->RegisterEvents();
    EXPECT_TRUE(mReferee->GetBalls().empty());
}

TEST_F(TrainingRefereeTest, OnlyTheThrownBallInFlightGivesTheFirstImpact)
{
    TGM& referee = Make(TGM::EXERCISE_SHOOT_BALL);
    CKEMSceneNode* thrown = referee.GetThrownBall()->GetNode();
    CKEMSceneNode* shot = referee.GetShotBall()->GetNode();

    // The ball to be shot lies on its spot; the thrown ball is still in the hand.
    referee.OnImpact(shot, 0.0f, 0.0f, 0.0f);
    referee.OnImpactWithObject(shot, thrown, 0.0f, 0.03f, 0.0f);
    referee.mLaunchSet->mStep = 3;
    referee.GetThrownBall()->mState = CBall::STATE_LAUNCHED;   // from the last throw
    referee.OnImpact(thrown, 0.5f, 0.0f, 0.5f);
    EXPECT_FALSE(referee.HasFirstImpact());

    InFlight();
    referee.OnImpact(shot, 0.0f, 0.0f, 1.0f);
    EXPECT_FALSE(referee.HasFirstImpact());
    referee.OnImpactWithObject(thrown, shot, 0.02f, 0.04f, 0.01f);
    ASSERT_TRUE(referee.HasFirstImpact());
    // A second impact before the evaluation leaves the first.
    referee.OnImpact(thrown, 3.0f, 0.0f, 3.0f);
    EXPECT_EQ(referee.mFirstImpact, Ogre::Vector3(0.02f, 0.04f, 0.01f));

    // The throw is over: nothing more counts.
    referee.mFirstImpact = TGM::kNoImpact;
    referee.mLaunchSet->mStep = 9;
    referee.OnImpact(thrown, 0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(referee.HasFirstImpact());
}

TEST_F(TrainingRefereeTest, PointingDrillsScoreABallRestingWithinAQuarterMetreOfTheRing)
{
    for (int32_t kind : {TGM::EXERCISE_POINT_RING, TGM::EXERCISE_POINT_WALL}) {
        SCOPED_TRACE(kind);
        TGM& referee = Make(kind);
        const Ogre::Vector3 ring = referee.mRing->GetWorldPosition();
        EXPECT_NEAR(ring.z, 0.0f, 1e-5f);   // the first exercise: 6 m straight ahead
        Ogre::Vector3 reported;
        ASSERT_TRUE(referee.GetTargetBallPosition(reported));
        EXPECT_EQ(reported, ring);
        const struct {
            Ogre::Vector3 offset;
            bool success;
        } throws[] = {
            {Ogre::Vector3(0.0f, 0.0f, 0.0f), true},   {Ogre::Vector3(0.25f, 0.0f, 0.0f), true},
            {Ogre::Vector3(0.0f, 0.0f, -0.26f), false}, {Ogre::Vector3(0.15f, 0.0f, 0.2f), true},
            {Ogre::Vector3(0.2f, 0.0f, 0.2f), false},  {Ogre::Vector3(-3.0f, 0.0f, 1.0f), false},
        };
        int32_t successes = 0, count = 0;
        for (const auto& t : throws) {
            Put(referee.GetThrownBall(), ring + t.offset);
            ThrowResult result;
            referee.EvaluateThrow(result);
            successes += t.success;
            ++count;
            EXPECT_EQ(referee.mSuccesses, successes) << "offset " << t.offset;
            EXPECT_EQ(referee.mThrows, count);
            EXPECT_EQ(referee.mLaunchSet->mStep, 0);
        }
        delete mReferee;
        mReferee = nullptr;
    }
}

TEST_F(TrainingRefereeTest, ShootingTheTargetScoresTheFirstTouchOnly)
{
    TGM& referee = Make(TGM::EXERCISE_SHOOT_TARGET);
    const Ogre::Vector3 target = referee.mShootingTarget->GetWorldPosition();
    Ogre::Vector3 unused;
    EXPECT_FALSE(referee.GetTargetBallPosition(unused));
    const struct {
        const char* what;
        bool touched;
        Ogre::Vector3 impact;   // from the target
        Ogre::Vector3 rest;     // from the target
        bool success;
    } throws[] = {
        {"on the target", true, Ogre::Vector3(0.0f, 0.0f, 0.0f), Ogre::Vector3(0.0f, 0.0f, -2.0f), true},
        {"just inside its edge", true, Ogre::Vector3(0.149f, 0.0f, 0.0f), Ogre::Vector3(0.5f, 0.0f, -3.0f), true},
        {"just beyond", true, Ogre::Vector3(0.0f, 0.0f, 0.16f), Ogre::Vector3(0.0f, 0.0f, 0.0f), false},
        {"short, then rolled onto it", true, Ogre::Vector3(0.0f, 0.0f, 1.0f), Ogre::Vector3(0.0f, 0.0f, 0.0f),
         false},
        {"never touched", false, Ogre::Vector3::ZERO, Ogre::Vector3(0.0f, 0.0f, 0.0f), false},
    };
    int32_t successes = 0;
    for (const auto& t : throws) {
        SCOPED_TRACE(t.what);
        InFlight();
        if (t.touched)
            referee.OnImpact(referee.GetThrownBall()->GetNode(), target.x + t.impact.x, t.impact.y,
                             target.z + t.impact.z);
        Put(referee.GetThrownBall(), target + t.rest);
        ThrowResult result;
        referee.EvaluateThrow(result);
        successes += t.success;
        EXPECT_EQ(referee.mSuccesses, successes);
        // Every evaluation forgets the impact for the next throw.
        EXPECT_FALSE(referee.HasFirstImpact());
    }
    EXPECT_EQ(referee.mThrows, 5);
}

TEST_F(TrainingRefereeTest, ShootingTheBallNeedsAHitOnItsSpotThatMovesIt)
{
    TGM& referee = Make(TGM::EXERCISE_SHOOT_BALL);
    const Ogre::Vector3 spot = referee.mBallStart;
    EXPECT_NEAR(referee.GetShotBall()->GetWorldPosition().z, 0.0f, 1e-5f);
    EXPECT_EQ(spot.y, 0.0f);
    Ogre::Vector3 unused;
    EXPECT_FALSE(referee.GetTargetBallPosition(unused));
    const struct {
        const char* what;
        bool touched;
        Ogre::Vector3 impact;      // from the spot
        float moved;               // the shot ball's distance from its spot
        bool thrownOut;
        bool success;
    } throws[] = {
        {"a clean hit", true, Ogre::Vector3(0.0f, 0.05f, 0.04f), 1.2f, false, true},
        {"hit just inside the bound", true, Ogre::Vector3(0.109f, 0.0f, 0.0f), 0.401f, false, true},
        {"hit, ball barely moved", true, Ogre::Vector3(0.0f, 0.04f, 0.04f), 0.39f, false, false},
        {"landed beside it", true, Ogre::Vector3(0.0f, 0.0f, 0.12f), 1.0f, false, false},
        {"hit, thrown ball out", true, Ogre::Vector3(0.0f, 0.04f, 0.04f), 1.0f, true, false},
        {"never touched", false, Ogre::Vector3::ZERO, 1.0f, false, false},
    };
    int32_t successes = 0;
    for (const auto& t : throws) {
        SCOPED_TRACE(t.what);
        referee.PlaceExercise();
        InFlight();
        if (t.touched)
            referee.OnImpactWithObject(referee.GetThrownBall()->GetNode(), referee.GetShotBall()->GetNode(),
                                       spot.x + t.impact.x, t.impact.y, spot.z + t.impact.z);
        Put(referee.GetShotBall(), Ogre::Vector3(spot.x, 0.0f, spot.z - t.moved));
        referee.GetThrownBall()->mState = t.thrownOut ? CBall::STATE_OUT : CBall::STATE_LAUNCHED;
        ThrowResult result;
        referee.EvaluateThrow(result);
        successes += t.success;
        EXPECT_EQ(referee.mSuccesses, successes);
        EXPECT_FALSE(referee.HasFirstImpact());
    }
}

TEST_F(TrainingRefereeTest, TheSeriesWalksTheRowsAndARetryStartsItAgain)
{
    TGM& referee = Make(TGM::EXERCISE_POINT_WALL);
    TGM::ExerciseTable table;
    for (int r = 0; r < TGM::kExerciseRows; ++r)
        table[r] = {0.0f, 6.0f + 0.5f * r, 1.5f, 0.1f * r};
    referee.mPoints = TGM::ComputeExercisePoints(table, Ogre::Vector3(0, 0, 6));
    for (int n = 0; n < 12; ++n) {
        SCOPED_TRACE(n);
        const int row = n % TGM::kExerciseRows;
        referee.PlaceExercise();
        EXPECT_NEAR(referee.mRing->GetWorldPosition().z, -0.5f * row, 1e-4f);
        const Ogre::Vector3 wall = referee.mWall->GetWorldPosition();
        EXPECT_NEAR(wall.x, 0.1f * row, 1e-4f);
        EXPECT_NEAR(wall.z, -0.5f * row + 1.5f, 1e-4f);
        // The wall stands across the line from the circle: its -z looks away from it.
        Ogre::Vector3 across = wall - Ogre::Vector3(0, 0, 6);
        across.y = 0.0f;
        EXPECT_GT(referee.mWall->GetNode()->GetDirection().dotProduct(across.normalisedCopy()), 0.999f);
        ThrowResult result;
        referee.EvaluateThrow(result);
        referee.NextExercise();
    }
    EXPECT_EQ(referee.mThrows, 12);
    EXPECT_EQ(referee.mTargetIndex, 2);
    referee.mFirstImpact = Ogre::Vector3(1, 2, 3);
    referee.ResetSeries();
    EXPECT_EQ(referee.mThrows, 0);
    EXPECT_EQ(referee.mSuccesses, 0);
    EXPECT_EQ(referee.mTargetIndex, 0);
    EXPECT_EQ(referee.mWallIndex, 0);
    EXPECT_FALSE(referee.HasFirstImpact());
}

namespace {

// The initial position of a node of the training ground's scene file (every
// exercise object hangs under the ground, which stands at the origin).
bool VenuePosition(const std::string& scene, const std::string& name, Ogre::Vector3& position)
{
    const std::string key = "<CKEMSCENENODE_NAME value=\"" + name + "\"/>";
    const size_t at = scene.find(key);
    if (at == std::string::npos)
        return false;
    const size_t ic = scene.find("<CKEMSCENENODE_POSITION_IC", at);
    if (ic == std::string::npos)
        return false;
    float v[3];
    size_t from = ic;
    for (int i = 0; i < 3; ++i) {
        from = scene.find("=\"", from);
        if (from == std::string::npos)
            return false;
        from += 2;
        v[i] = std::stof(scene.substr(from));
    }
    position = Ogre::Vector3(v[0], v[1], v[2]);
    return true;
}

}  // namespace

// Every exercise of the shipped table stands inside the training ground's
// playing rectangle with room for the ring: a ball resting there is never
// taken out of play.
TEST(TrainingTable, TheShippedExercisesLieOnTheTrainingGround)
{
    std::ifstream in(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/training.xml");
    const std::string scene((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Ogre::Vector3 limit1, limit2, circle;
    ASSERT_TRUE(VenuePosition(scene, "terrain limite 1", limit1));
    ASSERT_TRUE(VenuePosition(scene, "terrain limite 2", limit2));
    ASSERT_TRUE(VenuePosition(scene, "cercle", circle));
    for (const char* object : {"cercle_entrainement", "cercle_tir", "cible_tir", "mur_entrainement"}) {
        Ogre::Vector3 unused;
        EXPECT_TRUE(VenuePosition(scene, object, unused)) << object;
    }

    int32_t used = 0;
    TextTable table;
    ASSERT_TRUE(ReadGameDataTable("test", std::string(KEM_SOURCE_MEDIA) + "/Data/Train_DB.csv", table));
    const TGM::ExerciseTable rows = TGM::ReadExerciseTable(table, &used);
    EXPECT_EQ(used, TGM::kExerciseRows);
    const TGM::ExercisePoints points = TGM::ComputeExercisePoints(rows, circle);
    const float margin = 0.25f;
    const float minX = std::min(limit1.x, limit2.x) + margin, maxX = std::max(limit1.x, limit2.x) - margin;
    const float minZ = std::min(limit1.z, limit2.z) + margin, maxZ = std::max(limit1.z, limit2.z) - margin;
    for (int r = 0; r < TGM::kExerciseRows; ++r) {
        SCOPED_TRACE(r + 1);
        for (const float* p : {points.target[r], points.wall[r]}) {
            EXPECT_GE(p[0], minX);
            EXPECT_LE(p[0], maxX);
            EXPECT_GE(p[1], minZ);
            EXPECT_LE(p[1], maxZ);
        }
        // The wall stands between the circle and the ring.
        EXPECT_GT(points.wall[r][1], points.target[r][1]);
        EXPECT_LT(points.wall[r][1], circle.z);
    }
}

// The throw view from behind the thrower, for aims near and far, straight
// and to either side, on a ground 4 m wide: the line of sight to the aim
// point never passes through the thrower's body (0.45 m around its middle,
// up to 2 m high), and the camera stays over the ground.
TEST(ThrowView, TheLineOfSightToTheAimPassesBesideTheThrower)
{
    const Ogre::Vector3 thrower(0.0f, 0.0f, 6.0f);
    const float minX = -2.0f, maxX = 2.0f;
    for (float distance : {1.5f, 3.0f, 6.0f, 7.5f, 10.0f, 12.0f}) {
        for (float degrees : {-10.0f, 0.0f, 10.0f}) {
            for (float zoom : {0.0f, 0.5f}) {
                SCOPED_TRACE(std::to_string(distance) + " m at " + std::to_string(degrees) + " deg, zoom " +
                             std::to_string(zoom));
                const float a = degrees * 3.14159265f / 180.0f;
                const Ogre::Vector3 aim = thrower + Ogre::Vector3(-std::sin(a), 0.0f, -std::cos(a)) * distance;
                const Ogre::Vector3 eye = CGameMaster::LaunchCameraPlace(
                    thrower, aim, zoom, CGameMaster::kLaunchCameraHeight, minX, maxX);
                EXPECT_GE(eye.x, minX);
                EXPECT_LE(eye.x, maxX);
                EXPECT_GT(eye.z, thrower.z) << "the view is not behind the thrower";
                float nearest = 1e9f;
                for (int i = 0; i <= 400; ++i) {
                    const Ogre::Vector3 p = eye + (aim - eye) * (i / 400.0f);
                    if (p.y <= 2.0f)
                        nearest = std::min(nearest, Ogre::Vector2(p.x - thrower.x, p.z - thrower.z).length());
                }
                EXPECT_GE(nearest, 0.45f) << "the thrower stands over the aim point";
            }
        }
    }
}
