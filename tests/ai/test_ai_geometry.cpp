// Distances to segments and rays, and the situation analysis of a mene.
#include "AITestUtil.h"

#include <AIGeometry.h>
#include <AISituation.h>

#include <gtest/gtest.h>

#include <vector>

using Ogre::Vector3;

TEST(AIGeometry, SegmentProjectionParameter) {
    struct Case {
        Vector3 p, a, b;
        float t;
    } cases[] = {
        {Vector3(5, 0, 0), Vector3(1, 1, 1), Vector3(1, 1, 1), 0.0f},   // degenerate segment
        {Vector3(1, 0, 0), Vector3(0, 0, 0), Vector3(2, 0, 0), 0.5f},
        {Vector3(-2, 3, 0), Vector3(0, 0, 0), Vector3(2, 0, 0), -1.0f},  // not clamped
        {Vector3(4, 0, 7), Vector3(0, 0, 0), Vector3(2, 0, 0), 2.0f},
        {Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(0, 0, 0), 1.0f},     // from b back to a
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p " << c.p << " a " << c.a << " b " << c.b);
        EXPECT_FLOAT_EQ(SegmentProjectionParameter(c.p, c.a, c.b), c.t);
    }
}

TEST(AIGeometry, SquaredDistanceToSegment) {
    struct Case {
        Vector3 p, a, b;
        float d2;
    } cases[] = {
        {Vector3(1, 0, 0), Vector3(0, 0, 0), Vector3(2, 0, 0), 0.0f},   // midpoint
        {Vector3(1, 2, 0), Vector3(0, 0, 0), Vector3(2, 0, 0), 4.0f},   // beside the middle
        {Vector3(-1, 1, 0), Vector3(0, 0, 0), Vector3(2, 0, 0), 2.0f},  // before a: to a
        {Vector3(3, 0, 2), Vector3(0, 0, 0), Vector3(2, 0, 0), 5.0f},   // past b: to b
        {Vector3(1, 1, 3), Vector3(1, 1, 1), Vector3(1, 1, 1), 4.0f},   // degenerate
        {Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, -5), 0.0f},  // at an end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p " << c.p << " a " << c.a << " b " << c.b);
        EXPECT_FLOAT_EQ(SquaredDistanceToSegment(c.p, c.a, c.b), c.d2);
    }
}

TEST(AIGeometry, SquaredDistanceToRay) {
    const float untouched = 42.0f;
    struct Case {
        Vector3 p, origin, direction;
        float d2, t;
    } cases[] = {
        {Vector3(1, 0, -4), Vector3(0, 0, 0), Vector3(0, 0, -2), 1.0f, 2.0f},   // direction not unit
        {Vector3(0, 1, 1), Vector3(0, 0, 0), Vector3(0, 0, -2), 2.0f, -0.5f},   // behind: to the origin
        {Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(1, 0, 0), 0.0f, 0.0f},     // the origin itself
        {Vector3(1, 0, 3), Vector3(1, 0, 0), Vector3(0, 0, 0), 9.0f, untouched}, // zero direction
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p " << c.p << " ray " << c.origin << " " << c.direction);
        float t = untouched;
        EXPECT_FLOAT_EQ(SquaredDistanceToRay(c.p, Ogre::Ray(c.origin, c.direction), t), c.d2);
        EXPECT_FLOAT_EQ(t, c.t);
    }
}

namespace {

class Situation : public ::testing::Test {
protected:
    void SetUp() override {
        LoadParameters(mParameters, Lane::Limits());
        mInput = Lane().input;
    }
    static Vector3 At(float distance, float degrees) { return Lane::At(distance, degrees); }
    void Mine(int id, const Vector3& p) { mInput.myBalls.push_back({FakeBall(id), p}); }
    void Theirs(int id, const Vector3& p) { mInput.opponentBalls.push_back({FakeBall(id), p}); }

    const Vector3 kTarget = Lane::Target();
    AIParameters mParameters;
    AISituationInput mInput;
};

}  // namespace

TEST_F(Situation, ZonesAndAngleClassesOfEachBall) {
    struct Case {
        Vector3 position;
        int zone, angleClass;
    } cases[] = {
        {At(1.0f, 0.0f), 0, 0},      // exactly at limit 1, straight toward the circle
        {At(1.01f, 0.0f), 1, 0},     // just beyond
        {At(1.9f, 20.0f), 1, 0},
        {At(2.5f, 45.0f), 2, 1},
        {At(3.0f, 89.0f), 2, 1},
        {At(4.0f, 0.0f), 2, 0},      // exactly at limit 3
        {At(4.01f, 120.0f), 3, 2},
        {At(0.5f, 180.0f), 0, 2},    // straight behind the target ball
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ball at " << c.position);
        AISituationInput input = mInput;
        input.myBalls.push_back({FakeBall(1), c.position});
        AISituation situation(&mParameters, input);
        ASSERT_EQ(situation.GetBallCount(), 1u);
        EXPECT_EQ(situation.GetBall(0).zone, c.zone);
        EXPECT_EQ(situation.GetBall(0).angleClass, c.angleClass);
        EXPECT_FLOAT_EQ(situation.GetBall(0).squaredDistance, c.position.squaredDistance(kTarget));
    }
    AISituation situation(&mParameters, mInput);
    EXPECT_FLOAT_EQ(situation.GetThrowingDistance(), 8.0f);
    // The ratio form the throw parameters use: zones 0 and 1 both read 1.
    EXPECT_EQ(situation.GetZone(0.0f), 1);
    EXPECT_EQ(situation.GetZone(1.0f / 16.0f), 1);
    EXPECT_EQ(situation.GetZone(0.25f), 2);
    EXPECT_EQ(situation.GetZone(0.26f), 3);
}

TEST_F(Situation, RanksBallsAndCountsWhoHolds) {
    struct Case {
        const char* name;
        std::vector<float> mine, theirs;   // distances to the target ball
        int myHolding, opponentHolding;
        int myBest, opponentBest;          // ball ids, -1 none
        std::vector<int> myIndices, opponentIndices;
    } cases[] = {
        {"no ball", {}, {}, 0, 0, -1, -1, {}, {}},
        {"only theirs", {}, {2.0f, 0.5f, 3.0f}, 0, 3, -1, 11, {}, {0, 1, 2}},
        {"only mine", {1.5f, 0.7f}, {}, 2, 0, 1, -1, {0, 1}, {}},
        {"mine holds with one", {1.0f, 3.0f}, {2.0f}, 1, 0, 0, 10, {0, 2}, {1}},
        {"they hold with two", {3.0f, 2.5f}, {0.4f, 1.0f, 5.0f}, 0, 2, 1, 10, {2, 3}, {0, 1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AISituationInput input = mInput;
        for (size_t i = 0; i < c.mine.size(); ++i)
            input.myBalls.push_back({FakeBall(static_cast<int>(i)), At(c.mine[i], 10.0f)});
        for (size_t i = 0; i < c.theirs.size(); ++i)
            input.opponentBalls.push_back({FakeBall(10 + static_cast<int>(i)), At(c.theirs[i], -10.0f)});
        AISituation situation(&mParameters, input);

        ASSERT_EQ(situation.GetBallCount(), c.mine.size() + c.theirs.size());
        for (size_t i = 1; i < situation.GetBallCount(); ++i)
            EXPECT_LE(situation.GetBall(i - 1).squaredDistance, situation.GetBall(i).squaredDistance);
        EXPECT_EQ(situation.GetMyHoldingCount(), c.myHolding);
        EXPECT_EQ(situation.GetOpponentHoldingCount(), c.opponentHolding);
        EXPECT_EQ(situation.GetMyBestBall(), c.myBest < 0 ? nullptr : FakeBall(c.myBest));
        EXPECT_EQ(situation.GetBestOpponentBall(), c.opponentBest < 0 ? nullptr : FakeBall(c.opponentBest));
        for (size_t rank = 0; rank < c.myIndices.size(); ++rank) {
            EXPECT_EQ(situation.GetMyBallIndex(static_cast<uint32_t>(rank)), c.myIndices[rank]);
            EXPECT_FALSE(situation.GetBall(static_cast<size_t>(c.myIndices[rank])).isOpponent);
        }
        for (size_t rank = 0; rank < c.opponentIndices.size(); ++rank) {
            EXPECT_EQ(situation.GetOpponentBallIndex(static_cast<uint32_t>(rank)), c.opponentIndices[rank]);
            EXPECT_TRUE(situation.GetBall(static_cast<size_t>(c.opponentIndices[rank])).isOpponent);
        }
        EXPECT_EQ(situation.GetMyBallIndex(static_cast<uint32_t>(c.myIndices.size())), -1);
        EXPECT_EQ(situation.GetOpponentBallIndex(static_cast<uint32_t>(c.opponentIndices.size())), -1);
        EXPECT_FALSE(situation.HasBallInFront(situation.GetMyBestBall(), 100.0f));
    }
}

TEST_F(Situation, BehindMeansBeyondOnTheLineFromTheCircle) {
    AISituation situation(&mParameters, mInput);
    const Vector3 front(0.0f, 0.0f, -5.0f);   // on the line from the circle along -Z
    struct Case {
        Vector3 test;
        bool behind;
    } cases[] = {
        {Vector3(0.0f, 0.0f, -6.0f), true},
        {Vector3(0.09f, 0.0f, -5.5f), true},    // within 0.1 m of the line
        {Vector3(0.1f, 0.0f, -5.5f), false},    // 0.1 m off: not within
        {Vector3(0.0f, 0.0f, -5.0f), false},    // level with the front ball (t = 0)
        {Vector3(0.0f, 0.0f, -4.0f), false},    // in front of it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "test ball " << c.test);
        EXPECT_EQ(situation.IsBehind(front, c.test), c.behind);
    }
    // A front ball on the circle gives no line at all.
    EXPECT_FALSE(situation.IsBehind(Vector3::ZERO, Vector3(0.0f, 0.0f, -1.0f)));
}

TEST_F(Situation, BallsInFrontAndBehindWithinARadius) {
    // Theirs at 5 m from the circle, mine 1 m behind it on the same line, and
    // one more of mine off the line.
    Theirs(10, Vector3(0.0f, 0.0f, -5.0f));
    Mine(1, Vector3(0.0f, 0.0f, -6.0f));
    Mine(2, Vector3(1.0f, 0.0f, -7.0f));
    AISituation situation(&mParameters, mInput);
    EXPECT_TRUE(situation.HasBallInFront(FakeBall(1), 1.5f));
    EXPECT_FALSE(situation.HasBallInFront(FakeBall(1), 1.0f));   // distance must be below the radius
    EXPECT_FALSE(situation.HasBallInFront(FakeBall(10), 5.0f));
    EXPECT_FALSE(situation.HasBallInFront(FakeBall(2), 5.0f));
    EXPECT_TRUE(situation.HasBallBehind(FakeBall(10), 1.5f));
    EXPECT_FALSE(situation.HasBallBehind(FakeBall(1), 5.0f));
    EXPECT_FALSE(situation.HasBallBehind(FakeBall(33), 5.0f));   // not a ball of the records

    situation.Release();
    EXPECT_EQ(situation.GetBallCount(), 0u);
    EXPECT_EQ(situation.GetMyBallIndex(0), -1);
    EXPECT_FALSE(situation.HasBallBehind(FakeBall(10), 1.5f));
}
