// The rolling estimator's bookkeeping: calibration balls, their impacts and
// rests, the slopes and the estimate.
#include <CKEMSceneNode.h>
#include <CRollingEstimator.h>
#include <TuningLoader.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Launch {
    std::string node;
    CalibrationSet set;
    Ogre::Vector3 direction;
};

class RollingEstimator : public ::testing::Test {
protected:
    void SetUp() override {
        // ANGLE_MIN_POINTE 10, ANGLE_MAX_POINTE 70, ANGLE_POINTE_MOYEN 45.
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        for (int i = 0; i < 7; ++i) {
            mNodes.emplace_back(new CKEMSceneNode(nullptr));
            mNodes.back()->setName("boule_" + std::to_string(i));
        }
        mEstimator.reset(new CRollingEstimator(nullptr));   // reads the tuning angles
    }
    std::vector<CKEMSceneNode*> Balls(size_t count) {
        std::vector<CKEMSceneNode*> balls;
        for (size_t i = 0; i < count; ++i)
            balls.push_back(mNodes[i].get());
        return balls;
    }
    void Calibrate(size_t ballCount = 7) {
        mEstimator->Calibrate(Balls(ballCount), [this](CKEMSceneNode* node, const CalibrationSet& set,
                                                      const Ogre::Vector3& direction) {
            mLaunches.push_back({node->getName(), set, direction});
        });
    }
    // Ball i lands at the origin and comes to rest `rolled` metres on.
    void Roll(int i, float rolled) {
        mEstimator->OnImpact(mNodes[i].get(), 0.0f, 0.0f, 0.0f);
        Rest(i, rolled);
    }
    void Rest(int i, float rolled) {
        mEstimator->UpdateCalibration(mNodes[i]->getName(), Ogre::Vector3(0.0f, 0.0f, -rolled),
                                     [this]() { ++mRemoved; });
    }

    std::unique_ptr<CRollingEstimator> mEstimator;
    std::vector<std::unique_ptr<CKEMSceneNode>> mNodes;
    std::vector<Launch> mLaunches;
    int mRemoved = 0;
};

}  // namespace

TEST_F(RollingEstimator, CalibrationLaunchesBallsOneToSixWithTheirSets) {
    EXPECT_EQ(mEstimator->Estimate(45.0f, 0.0f, 7.0f), 2.0f);   // nothing measured yet
    EXPECT_EQ(mEstimator->Estimate(10.0f, 1.0f, 3.0f), 2.0f);
    Calibrate();
    ASSERT_EQ(mLaunches.size(), 6u);
    EXPECT_EQ(mEstimator->GetBallsInFlight(), 6);
    const float angles[6] = {10.0f, 70.0f, 45.0f, 45.0f, 45.0f, 45.0f};
    const float velocities[6] = {7.0f, 7.0f, 5.0f, 9.0f, 7.0f, 7.0f};
    const float effects[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mLaunches[i].node, "boule_" + std::to_string(i + 1));   // ball 0 is the target ball
        EXPECT_EQ(mLaunches[i].set.angle, angles[i]);
        EXPECT_EQ(mLaunches[i].set.velocity, velocities[i]);
        EXPECT_EQ(mLaunches[i].set.effect, effects[i]);
        EXPECT_EQ(mLaunches[i].direction, Ogre::Vector3::NEGATIVE_UNIT_Z);
    }
    EXPECT_EQ(mEstimator->Estimate(45.0f, 0.0f, 7.0f), 2.0f);
}

TEST_F(RollingEstimator, SixSamplesGiveTheSlopesAndAFirstOrderEstimate) {
    Calibrate();
    // The retro ball actually left with half the planned spin.
    mEstimator->RecordLaunch(45.0f, 0.5f, 7.0f, mNodes[6].get(), Ogre::Vector3::ZERO);
    const float rolled[7] = {0.0f, 3.0f, 1.8f, 1.0f, 3.0f, 2.0f, 1.2f};
    for (int i = 1; i <= 6; ++i) {
        Roll(i, rolled[i]);
        EXPECT_EQ(mEstimator->GetBallsInFlight(), 6 - i);
    }
    EXPECT_EQ(mRemoved, 6);   // each ball leaves the simulation at rest
    ASSERT_EQ(mEstimator->GetSamples().size(), 6u);
    EXPECT_TRUE(mEstimator->GetSets().empty());
    EXPECT_FLOAT_EQ(mEstimator->GetAngleSlope(), (1.8f - 3.0f) / 60.0f);
    EXPECT_FLOAT_EQ(mEstimator->GetVelocitySlope(), 0.5f);
    EXPECT_FLOAT_EQ(mEstimator->GetEffectSlope(), (1.2f - 2.0f) / 0.5f);

    struct Case {
        float angle, effect, velocity, expected;
    } cases[] = {
        {45.0f, 0.0f, 7.0f, 2.0f},    // exactly the Velocity_7 sample
        {45.0f, 0.0f, 8.0f, 2.8f},    // nearest: Angle_Min, 3.0 - (-0.5 + 0.7)
        {45.0f, 0.0f, 9.0f, 3.0f},
        {45.0f, 0.5f, 7.0f, 1.2f},    // the retro sample as released
        {45.0f, 0.0f, 1.0f, 0.0f},    // would be -1.0 from Velocity_5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.effect << " " << c.velocity);
        EXPECT_NEAR(mEstimator->Estimate(c.angle, c.effect, c.velocity), c.expected, 1e-5f);
    }

    // Calibration is over: the balls are ordinary balls again.
    mEstimator->OnImpact(mNodes[1].get(), 0.0f, 0.0f, 0.0f);
    Rest(1, 10.0f);
    EXPECT_EQ(mEstimator->GetSamples().size(), 6u);
    EXPECT_EQ(mRemoved, 6);
}

TEST_F(RollingEstimator, OnlyTheFirstGroundImpactCounts) {
    Calibrate();
    mEstimator->OnImpact(mNodes[3].get(), 0.0f, 0.0f, -1.0f);
    mEstimator->OnImpact(mNodes[3].get(), 0.0f, 0.0f, -2.5f);   // a bounce further on
    Rest(3, 4.0f);
    ASSERT_EQ(mEstimator->GetSamples().size(), 1u);
    EXPECT_FLOAT_EQ(mEstimator->GetSamples()[0].result, 3.0f);
    // A ball at rest before its first impact gives no sample but is done.
    Rest(4, 4.0f);
    EXPECT_EQ(mEstimator->GetSamples().size(), 1u);
    EXPECT_EQ(mEstimator->GetBallsInFlight(), 4);
    // The target ball is no calibration ball.
    mEstimator->OnImpact(mNodes[0].get(), 0.0f, 0.0f, 0.0f);
    Rest(0, 1.0f);
    EXPECT_EQ(mEstimator->GetSamples().size(), 1u);
}

TEST_F(RollingEstimator, ABallTouchingAnotherIsDoneWithoutASample) {
    Calibrate();
    mEstimator->OnImpact(mNodes[2].get(), 0.0f, 0.0f, 0.0f);
    mEstimator->OnImpactWithObject(mNodes[2].get(), mNodes[3].get(), 0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(mEstimator->HasImpact(CRollingEstimator::kSetNames[1]));
    const float rolled[7] = {0.0f, 3.0f, 1.8f, 1.0f, 3.0f, 2.0f, 1.2f};
    for (int i = 1; i <= 6; ++i)
        Roll(i, rolled[i]);
    // The calibration ends with five samples instead of waiting for a sixth.
    EXPECT_EQ(mEstimator->GetSamples().size(), 5u);
    EXPECT_EQ(mEstimator->GetBallsInFlight(), 0);
    EXPECT_FALSE(mEstimator->IsCalibrating());
    EXPECT_TRUE(mEstimator->AdvanceCalibration(0));
    EXPECT_EQ(mRemoved, 6);
    // The angle pair lost its Max ball; the other pairs are complete.
    EXPECT_EQ(mEstimator->GetAngleSlope(), 0.0f);
    EXPECT_FLOAT_EQ(mEstimator->GetVelocitySlope(), 0.5f);
    EXPECT_FLOAT_EQ(mEstimator->GetEffectSlope(), 1.2f - 2.0f);
    EXPECT_FLOAT_EQ(mEstimator->Estimate(45.0f, 0.0f, 9.0f), 3.0f);
}

TEST_F(RollingEstimator, BallsThatNeverLandAreDoneWithoutSamples) {
    Calibrate();
    for (int i = 1; i <= 6; ++i) {
        Rest(i, 1.0f);   // at rest, never having touched the ground
        Rest(i, 1.0f);   // reported again: counted once
        EXPECT_EQ(mEstimator->GetBallsInFlight(), 6 - i);
    }
    EXPECT_EQ(mRemoved, 6);
    EXPECT_TRUE(mEstimator->GetSamples().empty());
    EXPECT_TRUE(mEstimator->AdvanceCalibration(0));
    EXPECT_EQ(mEstimator->GetAngleSlope(), 0.0f);
    EXPECT_EQ(mEstimator->GetVelocitySlope(), 0.0f);
    EXPECT_EQ(mEstimator->GetEffectSlope(), 0.0f);
    EXPECT_EQ(mEstimator->Estimate(45.0f, 0.0f, 7.0f), 2.0f);
}

TEST_F(RollingEstimator, TheTimeLimitEndsACalibrationWithBallsStillMoving) {
    EXPECT_TRUE(mEstimator->AdvanceCalibration(500));   // nothing launched: nothing to wait for
    Calibrate();
    const uint32_t start = 1000, limit = CRollingEstimator::kCalibrationTimeLimitMs;
    EXPECT_FALSE(mEstimator->AdvanceCalibration(start));
    Roll(1, 3.0f);
    Roll(2, 1.8f);
    Roll(3, 1.0f);
    EXPECT_FALSE(mEstimator->AdvanceCalibration(start + limit));   // exactly at the limit
    EXPECT_TRUE(mEstimator->IsCalibrating());
    EXPECT_TRUE(mEstimator->AdvanceCalibration(start + limit + 1));
    EXPECT_FALSE(mEstimator->IsCalibrating());
    EXPECT_EQ(mEstimator->GetSamples().size(), 3u);
    EXPECT_TRUE(mEstimator->GetSets().empty());
    // Only the angle pair was measured; Velocity_5 is not compared with an
    // unmeasured Velocity_9.
    EXPECT_FLOAT_EQ(mEstimator->GetAngleSlope(), (1.8f - 3.0f) / 60.0f);
    EXPECT_EQ(mEstimator->GetVelocitySlope(), 0.0f);
    EXPECT_EQ(mEstimator->GetEffectSlope(), 0.0f);
    // A ball that rests afterwards is an ordinary ball.
    Roll(4, 3.0f);
    EXPECT_EQ(mEstimator->GetSamples().size(), 3u);
    EXPECT_EQ(mRemoved, 3);
    // One calibration a match: a second call launches nothing.
    mLaunches.clear();
    Calibrate();
    EXPECT_TRUE(mLaunches.empty());
    EXPECT_TRUE(mEstimator->AdvanceCalibration(start + 2 * limit));
}

TEST_F(RollingEstimator, AGameClockSetBackRestartsTheLimit) {
    Calibrate();
    const uint32_t limit = CRollingEstimator::kCalibrationTimeLimitMs;
    EXPECT_FALSE(mEstimator->AdvanceCalibration(50000));
    EXPECT_FALSE(mEstimator->AdvanceCalibration(10));   // timer reset: not a huge elapsed time
    EXPECT_FALSE(mEstimator->AdvanceCalibration(10 + limit));
    EXPECT_TRUE(mEstimator->AdvanceCalibration(11 + limit));
}

TEST_F(RollingEstimator, ThrowsThatDidNotDifferMeasureNoChange) {
    // Both angle balls left at the same angle (equal tuning angles do the
    // same): the angle slope is 0, not infinite, and estimates stay numbers.
    Calibrate();
    mEstimator->RecordLaunch(45.0f, 0.0f, 7.0f, mNodes[1].get(), Ogre::Vector3::ZERO);
    mEstimator->RecordLaunch(45.0f, 0.0f, 7.0f, mNodes[2].get(), Ogre::Vector3::ZERO);
    mEstimator->RecordLaunch(45.0f, 0.0f, 7.0f, mNodes[6].get(), Ogre::Vector3::ZERO);   // no spin either
    const float rolled[7] = {0.0f, 3.0f, 1.8f, 1.0f, 3.0f, 2.0f, 1.2f};
    for (int i = 1; i <= 6; ++i)
        Roll(i, rolled[i]);
    EXPECT_EQ(mEstimator->GetAngleSlope(), 0.0f);
    EXPECT_EQ(mEstimator->GetEffectSlope(), 0.0f);
    EXPECT_FLOAT_EQ(mEstimator->GetVelocitySlope(), 0.5f);
    EXPECT_FLOAT_EQ(mEstimator->Estimate(10.0f, 0.0f, 7.0f), 3.0f);
}

TEST_F(RollingEstimator, MissingBallsLeaveTheirSetsOut) {
    Calibrate(4);   // the target ball and three balls
    ASSERT_EQ(mLaunches.size(), 3u);
    EXPECT_EQ(mEstimator->GetBallsInFlight(), 3);
    EXPECT_EQ(mEstimator->GetSets().size(), 3u);
    Roll(1, 3.0f);
    Roll(2, 1.8f);
    Roll(3, 1.0f);
    EXPECT_EQ(mEstimator->GetBallsInFlight(), 0);
    EXPECT_EQ(mEstimator->GetSamples().size(), 3u);
    // Only the angle pair was measured; the sets never launched give no
    // slope (not one against a result of 0).
    EXPECT_FLOAT_EQ(mEstimator->GetAngleSlope(), (1.8f - 3.0f) / 60.0f);
    EXPECT_EQ(mEstimator->GetVelocitySlope(), 0.0f);
    EXPECT_EQ(mEstimator->GetEffectSlope(), 0.0f);
    EXPECT_FLOAT_EQ(mEstimator->Estimate(45.0f, 0.0f, 7.0f), 1.0f);   // the Velocity_5 sample
}
