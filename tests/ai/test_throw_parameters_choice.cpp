// The throw parameters choice: the grid of candidate throws and the score of
// a throw's predicted rest point. The thrower stands at the circle (a player
// without a model releases the ball from its offset around the origin); the
// rolling estimate is 2 m (nothing calibrated).
#include "AITestUtil.h"

#include <CPlayer.h>
#include <CRollingEstimator.h>
#include <CThrowParametersChoice.h>
#include <CaracDB.h>
#include <TuningLoader.h>
#include <TuningParameters.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const char* const kWeights =
    "WA_straight = 1\nWA_end_z1_plus = 2\nWA_end_z1 = 4\nWA_end_z1_minus = 8\nWA_end_z2_plus = 16\n"
    "WA_end_z2 = 32\nWA_end_z2_minus = 64\nWA_end_z3_plus = 128\nWA_end_z3 = 256\nWA_end_z3_minus = 512\n"
    "WA_path_intersection_level_1 = -1024\nWA_path_intersection_level_2 = -2048\n"
    "WA_red = -4096\nWA_orange = -8192\nWA_yellow = -16384\n"
    "WP_ideal_ratio = 1.0\nWP_path_intersection_level_1 = -1024\nWP_path_intersection_level_2 = -2048\n"
    "WP_red = -4096\nWP_orange = -8192\nWP_yellow = -16384\n"
    "WT_ideal_ratio = 0.8\n";

class ThrowParameters_ : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        LoadParameters(mParameters, std::string(Lane::Limits()) + kWeights);
        // Comfortable up to 100 m/s: no reach weight.
        mProfile.mSpeed0 = 0.0f;
        mProfile.mSpeed1 = mProfile.mSpeed2 = mProfile.mSpeed3 = 100.0f;
        mProfile.mPhysique = mProfile.mMental = 50;
        mProfile.mEffects = 3;
        mPlayer.mPointingProfile = &mProfile;
        mPlayer.mShootingProfile = &mProfile;
        mLane.input.currentPlayer = &mPlayer;
        mEstimator.reset(new CRollingEstimator(nullptr));
    }
    std::unique_ptr<CThrowParametersChoice> Choice(int32_t kind, CBall* ball, float noise = 0.0f) {
        mSituation.reset(new AISituation(&mParameters, mLane.input));
        BaseStrategy strategy;
        strategy.ball = ball;
        strategy.kind = kind;
        std::unique_ptr<CThrowParametersChoice> choice(new CThrowParametersChoice(
            mEstimator.get(), strategy, &mPlayer, mSituation.get(), &mParameters, 1000, noise, 1));
        choice->Start(0);
        return choice;
    }
    // A straight throw landing `before` metres short of the ball (along the
    // ground from the release point), at the average pointing angle.
    static ThrowParameters Landing(const CThrowParametersChoice& choice, float before, float deviation = 0.0f) {
        Ogre::Vector3 along = choice.GetBallPosition() - choice.GetReleasePoint();
        along.y = 0.0f;
        along.normalise();
        const Ogre::Vector3 aim = choice.GetBallPosition() - along * before;
        ThrowParameters c;
        c.aimX = aim.x;
        c.aimZ = aim.z;
        c.angle = ANGLE_POINTE_MOYEN;
        c.deviation = deviation;
        return c;
    }

    AIParameters mParameters;
    ThrowProfile mProfile;
    CPlayer mPlayer{"Marius"};
    Lane mLane;
    std::unique_ptr<AISituation> mSituation;
    std::unique_ptr<CRollingEstimator> mEstimator;
};

}  // namespace

TEST(ThrowParametersSweeps, CentreFirstThenAlternatelyAboveAndBelow) {
    const std::vector<float> approach = CThrowParametersChoice::RatioSweep(0.65f, 0.005f, 0.55f, 0.85f);
    ASSERT_GE(approach.size(), 5u);
    EXPECT_FLOAT_EQ(approach[0], 0.65f);
    EXPECT_FLOAT_EQ(approach[1], 0.655f);
    EXPECT_FLOAT_EQ(approach[2], 0.645f);
    EXPECT_FLOAT_EQ(approach[3], 0.66f);
    // Below the centre the sweep stops first; above it goes on alone.
    EXPECT_FLOAT_EQ(approach.back(), 0.85f);
    EXPECT_NEAR(static_cast<double>(approach.size()), 61.0, 1.0);

    const std::vector<float> push = CThrowParametersChoice::RatioSweep(0.6f, 0.001f, 0.6f, 1.0f);
    EXPECT_FLOAT_EQ(push[0], 0.6f);
    EXPECT_FLOAT_EQ(push[1], 0.601f);   // one side only: the range ends at the centre
    EXPECT_NEAR(static_cast<double>(push.size()), 401.0, 1.0);
    for (const std::vector<float>* sweep : {&approach, &push}) {
        std::set<float> distinct(sweep->begin(), sweep->end());
        EXPECT_EQ(distinct.size(), sweep->size());
    }
    for (float r : approach) {
        EXPECT_GE(r, 0.55f);
        EXPECT_LE(r, 0.85f);
    }

    const std::vector<float> deviations = CThrowParametersChoice::DeviationSweep(0.5f, 5.0f);
    ASSERT_EQ(deviations.size(), 21u);
    EXPECT_EQ(deviations[0], 0.0f);
    EXPECT_EQ(deviations[1], 0.5f);
    EXPECT_EQ(deviations[2], -0.5f);
    EXPECT_EQ(deviations[19], 5.0f);
    EXPECT_EQ(deviations[20], -5.0f);
    EXPECT_EQ(CThrowParametersChoice::DeviationSweep(0.5f, 0.0f).size(), 1u);
}

TEST_F(ThrowParameters_, CandidateGridOfEachStrategy) {
    mLane.Theirs(10, Lane::At(0.5f, 0.0f)).Mine(1, Lane::At(3.0f, 60.0f));
    const size_t pushRatios = CThrowParametersChoice::RatioSweep(0.6f, 0.001f, 0.6f, 1.0f).size();
    const size_t stickRatios = CThrowParametersChoice::RatioSweep(0.6f, 0.001f, 0.6f, 0.9f).size();
    const size_t approachRatios = CThrowParametersChoice::RatioSweep(0.65f, 0.005f, 0.55f, 0.85f).size();

    struct Case {
        int32_t kind;
        int ball;
        size_t count;
        std::set<float> angles;
        std::set<int32_t> modes;
    } cases[] = {
        {BaseStrategy::KIND_PUSH, 10, 3 * pushRatios, {ANGLE_POINTE_MOYEN}, {0}},
        {BaseStrategy::KIND_STICK, 10, 3 * stickRatios, {ANGLE_POINTE_MOYEN, float(ANGLE_MAX_POINTE)}, {0}},
        {BaseStrategy::KIND_APPROACH, 0, 2 * 3 * 21 * approachRatios, {ANGLE_POINTE_MOYEN, float(ANGLE_MAX_POINTE)},
         {0, 1, 2, 3}},
        {BaseStrategy::KIND_SHOOT, 10, 6, {ANGLE_TIR_MOYEN, float(ANGLE_MAX_TIR), float(ANGLE_MIN_TIR)}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::unique_ptr<CThrowParametersChoice> choice = Choice(c.kind, FakeBall(c.ball));
        ASSERT_EQ(choice->GetCandidateCount(), c.count);
        std::set<float> angles;
        std::set<int32_t> modes;
        for (const ThrowParameters& t : *choice->GetCandidates()) {
            angles.insert(t.angle);
            modes.insert(t.mode);
            // The mode follows the sweep: spin on the second pass, else the
            // side of the deviation.
            if (t.mode != ThrowParameters::MODE_EFFECT) {
                EXPECT_EQ(t.mode, t.deviation > 0.0f ? 3 : t.deviation < 0.0f ? 2 : 0);
            }
        }
        EXPECT_EQ(angles, c.angles);
        EXPECT_EQ(modes, c.modes);
    }

    // The first candidate lands on the line at the centre ratio.
    std::unique_ptr<CThrowParametersChoice> push = Choice(BaseStrategy::KIND_PUSH, FakeBall(10));
    const ThrowParameters first = (*push->GetCandidates())[0];
    const Ogre::Vector3 expected = push->GetReleasePoint() + (push->GetBallPosition() - push->GetReleasePoint()) * 0.6f;
    EXPECT_NEAR(first.aimX, expected.x, 1e-5f);
    EXPECT_NEAR(first.aimZ, expected.z, 1e-5f);

    // A ball right in front of the shot one: every shot is lobbed.
    mLane.Mine(2, Lane::At(0.65f, 0.0f));
    std::unique_ptr<CThrowParametersChoice> lob = Choice(BaseStrategy::KIND_SHOOT, FakeBall(10));
    for (const ThrowParameters& t : *lob->GetCandidates())
        EXPECT_EQ(t.angle, float(ANGLE_MAX_TIR));
}

TEST_F(ThrowParameters_, ScoresOfAPredictedRest) {
    std::unique_ptr<CThrowParametersChoice> approach = Choice(BaseStrategy::KIND_APPROACH, FakeBall(0));
    // Lands 2.3 m short and rolls 2 m: rests 0.3 m in front of the target
    // ball, zone 1 "plus", straight.
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f)), 1.0f + 2.0f);
    // The same throw turned: no straight bonus.
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f, 0.5f)), 2.0f);
    // Rolls 1.5 m past: zone 2, behind ("minus").
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 0.5f)), 1.0f + 64.0f);
    // Lands 6 m short: zone 3, nothing but straight.
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 6.0f)), 1.0f);

    // Beyond the thrower's highest speed: red only.
    mProfile.mSpeed0 = 1.0f;
    mProfile.mSpeed1 = 2.0f;
    mProfile.mSpeed2 = 3.0f;
    mProfile.mSpeed3 = 4.0f;
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f)), 1.0f + 2.0f - 4096.0f);
    mProfile.mSpeed3 = 100.0f;   // orange
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f)), 1.0f + 2.0f - 8192.0f);
    mProfile.mSpeed2 = 100.0f;   // yellow: above speed 1
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f)), 1.0f + 2.0f - 16384.0f);
    mProfile.mSpeed1 = 100.0f;
    mProfile.mSpeed0 = 50.0f;    // yellow: below speed 0
    EXPECT_FLOAT_EQ(approach->Evaluate(Landing(*approach, 2.3f)), 1.0f + 2.0f - 16384.0f);
    mProfile.mSpeed0 = 0.0f;

    // Another ball beside the path from landing to rest: 5 cm is level 1,
    // 12 cm level 2, 20 cm nothing.
    struct PathCase {
        float offset, weight;
    } paths[] = {{0.05f, -1024.0f}, {0.12f, -2048.0f}, {0.2f, 0.0f}};
    for (const PathCase& c : paths) {
        SCOPED_TRACE(c.offset);
        mLane = Lane();
        mLane.input.currentPlayer = &mPlayer;
        mLane.Mine(1, Ogre::Vector3(c.offset, 0.04f, -7.0f));   // the landing point is about 2.3 m short
        std::unique_ptr<CThrowParametersChoice> c2 = Choice(BaseStrategy::KIND_APPROACH, FakeBall(0));
        EXPECT_FLOAT_EQ(c2->Evaluate(Landing(*c2, 2.3f)), 1.0f + 2.0f + c.weight);
    }
}

TEST_F(ThrowParameters_, PushAndStickScoreWhereTheBallLiesOnThePath) {
    mLane.Theirs(10, Lane::At(0.5f, 0.0f));
    std::unique_ptr<CThrowParametersChoice> push = Choice(BaseStrategy::KIND_PUSH, FakeBall(10));
    // Rolls exactly onto the ball: t = 1, the ideal push.
    EXPECT_NEAR(push->Evaluate(Landing(*push, 2.0f)), 100.0f, 0.01f);
    // Rolls 1 m past it: t = 2/3.
    EXPECT_NEAR(push->Evaluate(Landing(*push, 1.0f)), 100.0f * (1.0f - (1.0f - 0.5f)), 0.01f);

    std::unique_ptr<CThrowParametersChoice> stick = Choice(BaseStrategy::KIND_STICK, FakeBall(10));
    // Stick's ideal is 0.8 of the path.
    EXPECT_NEAR(stick->Evaluate(Landing(*stick, 1.6f)), 100.0f, 0.01f);

    // A shot is told apart by the noise alone.
    std::unique_ptr<CThrowParametersChoice> shot = Choice(BaseStrategy::KIND_SHOOT, FakeBall(10));
    EXPECT_EQ(shot->Evaluate((*shot->GetCandidates())[3]), 0.0f);
    while (!shot->IsFinished())
        shot->Step();
    EXPECT_EQ(shot->GetBestIndex(), 0);
    EXPECT_EQ(shot->GetAngle(), ANGLE_TIR_MOYEN);
}

TEST_F(ThrowParameters_, DefaultsWithoutCandidates) {
    mSituation.reset(new AISituation(&mParameters, mLane.input));
    CThrowParametersChoice choice(mEstimator.get(), BaseStrategy(), &mPlayer, mSituation.get(), &mParameters, 10,
                                  0.0f, 1);
    EXPECT_EQ(choice.GetAngle(), 45.0f);
    EXPECT_EQ(choice.GetChosenMode(), 0);
    EXPECT_EQ(choice.GetAimPoint(), Ogre::Vector3::ZERO);
    EXPECT_EQ(choice.GetBestScore(), -100.0f);
}

TEST_F(ThrowParameters_, ApproachChoosesARestNearTheTargetBall) {
    // With the shipped weights the best approach is straight and rests just
    // in front of the target ball.
    AIParameters shipped(std::string(KEM_SOURCE_MEDIA) + "/Config/AI.cfg");
    mParameters = shipped;
    mParameters.limit_dist_1 = 0.125f;   // the lane's zones
    mParameters.limit_dist_2 = 0.25f;
    mParameters.limit_dist_3 = 0.5f;
    std::unique_ptr<CThrowParametersChoice> choice = Choice(BaseStrategy::KIND_APPROACH, FakeBall(0));
    while (!choice->IsFinished())
        choice->Step();
    EXPECT_EQ(choice->GetCurrentIndex(), static_cast<int32_t>(choice->GetCandidateCount()));
    EXPECT_FLOAT_EQ(choice->GetBestScore(), shipped.WA_straight + shipped.WA_end_z1_plus);
    const ThrowParameters best = (*choice->GetCandidates())[static_cast<size_t>(choice->GetBestIndex())];
    EXPECT_EQ(best.deviation, 0.0f);
    EXPECT_EQ(choice->GetChosenMode(), 0);
    const Ogre::Vector3 aim = choice->GetAimPoint();
    EXPECT_EQ(aim.y, 0.0f);
    // It lands about the rolling estimate (2 m) in front of the target ball.
    EXPECT_NEAR(aim.distance(Lane::Target()), 2.0f, 1.0f);
}
