// The aiming formulas: the launch speed that passes a point, checked against
// the trajectory's own crossing points, and no speed where none exists.
#include <CPhysicMgr.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {
const float kG = 9.81f;
float Rad(float degrees) { return degrees * 3.14159265f / 180.0f; }
}

TEST(LaunchSpeed, UnreachableTargetGivesZeroNotNaN)
{
    struct Case {
        float distance, angleDeg, height;
    } cases[] = {
        {10.0f, 30.0f, 10.0f},    // above the launch line
        {10.0f, 45.0f, 10.0f},    // exactly on it
        {10.0f, -10.0f, 0.0f},    // thrown downwards at a target level with the hand
        {5.0f, 90.0f, 0.0f},      // straight up never travels
        {NAN, 45.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const float v = ComputeLaunchSpeed(c.distance, Rad(c.angleDeg), c.height, kG);
        EXPECT_EQ(v, 0.0f) << c.distance << " " << c.angleDeg << " " << c.height;
    }
}

TEST(LaunchSpeed, ReachableTargetIsPassedByTheTrajectory)
{
    struct Case {
        float distance, angleDeg, height;
    } cases[] = {
        {10.0f, 45.0f, 0.0f},     // level
        {8.0f, 30.0f, -1.0f},     // from the hand down to the ground
        {6.0f, 60.0f, 2.0f},      // up onto a step
        {0.5f, 10.0f, -0.8f},     // a short roll
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distance << " " << c.angleDeg << " " << c.height);
        const float v = ComputeLaunchSpeed(c.distance, Rad(c.angleDeg), c.height, kG);
        ASSERT_GT(v, 0.0f);
        ASSERT_TRUE(std::isfinite(v));
        const auto points = ComputeTrajectoryPoint(v, Rad(c.angleDeg), c.height, kG);
        const double nearest = std::min(std::fabs(points.first - c.distance), std::fabs(points.second - c.distance));
        EXPECT_LT(nearest, 1e-3 * c.distance);
    }
    EXPECT_NEAR(ComputeLaunchSpeed(10.0f, Rad(45.0f), 0.0f, kG), std::sqrt(kG * 10.0f), 1e-3f);
}

TEST(LaunchSpeed, TrajectoryAboveItsApexHasNoPoint)
{
    // v = 10, 45 degrees: the apex is v^2 sin^2 / 2g = 2.55 m.
    const auto above = ComputeTrajectoryPoint(10.0, M_PI / 4, 3.0, kG);
    EXPECT_EQ(above.first, -1.0);
    EXPECT_EQ(above.second, -1.0);
    const auto level = ComputeTrajectoryPoint(10.0, M_PI / 4, 0.0, kG);
    EXPECT_NEAR(level.first, 100.0 / kG, 1e-6);   // range v^2 / g
    EXPECT_NEAR(level.second, 0.0, 1e-9);
    const auto still = ComputeTrajectoryPoint(0.0, M_PI / 4, 0.0, kG);
    EXPECT_EQ(still.first, -1.0);
}
