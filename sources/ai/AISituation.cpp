#include "AISituation.h"

#include "AIGeometry.h"
#include "AIParameters.h"

#include <OgreMath.h>
#include <OgreRay.h>

#include <algorithm>
#include <cmath>

namespace {
// A ball counts as behind another when its centre is within 0.1 m of the line.
const float kBehindSquaredWidth = 0.01f;
}

AISituation::AISituation(const AIParameters* parameters, const AISituationInput& input) : mParameters(parameters) {
    Compute(input);
}

void AISituation::Compute(const AISituationInput& input) {
    Release();
    mBestOpponentBall = nullptr;
    mMyBestBall = nullptr;
    mMyHoldingCount = 0;
    mOpponentHoldingCount = 0;

    mTargetBall = input.targetBall;
    mTargetPosition = input.targetPosition;
    mCirclePosition = input.circlePosition;
    mThrowingDistance = mCirclePosition.distance(mTargetPosition);
    const float squaredThrowingDistance = mThrowingDistance * mThrowingDistance;

    if (mParameters) {
        mSquaredLimits[0] = mParameters->limit_dist_1 * mParameters->limit_dist_1;
        mSquaredLimits[1] = mParameters->limit_dist_2 * mParameters->limit_dist_2;
        mSquaredLimits[2] = mParameters->limit_dist_3 * mParameters->limit_dist_3;
    }
    mMyScore = input.myScore;
    mOpponentScore = input.opponentScore;
    mMyBallsLeft = input.myBallsLeft;
    mOpponentBallsLeft = input.opponentBallsLeft;
    mTargetScore = input.targetScore;
    mCurrentPlayer = input.currentPlayer;

    for (const AISituationInput::Ball& b : input.myBalls)
        AddRecord(b.ball, b.position, false, squaredThrowingDistance);
    for (const AISituationInput::Ball& b : input.opponentBalls)
        AddRecord(b.ball, b.position, true, squaredThrowingDistance);

    std::stable_sort(mBalls.begin(), mBalls.end(), [](const AIBallRecord& a, const AIBallRecord& b) {
        return a.squaredDistance < b.squaredDistance;
    });

    bool metMine = false;
    bool metOpponent = false;
    for (size_t i = 0; i < mBalls.size(); ++i) {
        const AIBallRecord& record = mBalls[i];
        if (!record.isOpponent) {
            if (!metOpponent)
                ++mMyHoldingCount;
            if (!metMine)
                mMyBestBall = record.ball;
            metMine = true;
            mMyBallIndices.push_back(static_cast<int32_t>(i));
        } else {
            if (!metMine)
                ++mOpponentHoldingCount;
            if (!metOpponent)
                mBestOpponentBall = record.ball;
            metOpponent = true;
            mOpponentBallIndices.push_back(static_cast<int32_t>(i));
        }
    }
}

void AISituation::AddRecord(CBall* ball, const Ogre::Vector3& position, bool isOpponent,
                            float squaredThrowingDistance) {
    AIBallRecord record;
    record.isOpponent = isOpponent;
    record.squaredDistance = position.squaredDistance(mTargetPosition);
    // A zero throwing distance gives an infinite or undefined ratio: zone 3.
    record.zone = GetFullZone(record.squaredDistance / squaredThrowingDistance);
    record.angleClass = GetAngleClass(position, mTargetPosition);
    record.ball = ball;
    record.position = position;
    mBalls.push_back(record);
}

void AISituation::Release() {
    mMyBallIndices.clear();
    mOpponentBallIndices.clear();
    mBalls.clear();
}

int32_t AISituation::GetMyBallIndex(uint32_t rank) const {
    return rank < mMyBallIndices.size() ? mMyBallIndices[rank] : -1;
}

int32_t AISituation::GetOpponentBallIndex(uint32_t rank) const {
    return rank < mOpponentBallIndices.size() ? mOpponentBallIndices[rank] : -1;
}

int32_t AISituation::FindBall(const CBall* ball) const {
    for (size_t i = 0; i < mBalls.size(); ++i)
        if (mBalls[i].ball == ball)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t AISituation::GetFullZone(float ratio) const {
    if (ratio <= mSquaredLimits[0])
        return 0;
    return GetZone(ratio);
}

int32_t AISituation::GetZone(float ratio) const {
    if (ratio <= mSquaredLimits[1])
        return 1;
    if (ratio <= mSquaredLimits[2])
        return 2;
    return 3;
}

int32_t AISituation::GetAngleClass(const Ogre::Vector3& ball, const Ogre::Vector3& target) const {
    return ClassifyAngle(ball - target, mCirclePosition - target);
}

int32_t AISituation::ClassifyAngle(const Ogre::Vector3& a, const Ogre::Vector3& b) const {
    Ogre::Vector3 na = a;
    Ogre::Vector3 nb = b;
    na.normalise();
    nb.normalise();
    const float dot = std::max(-1.0f, std::min(1.0f, na.dotProduct(nb)));
    const float degrees = std::acos(dot) * Ogre::Math::fRad2Deg;
    const float plus = mParameters ? mParameters->limit_angle_plus : 0.0f;
    const float neutral = mParameters ? mParameters->limit_angle_neutral : 0.0f;
    if (degrees <= plus)
        return 0;
    if (degrees <= neutral)
        return 1;
    return 2;
}

bool AISituation::IsBehind(const Ogre::Vector3& front, const Ogre::Vector3& test) const {
    float t = 0.0f;
    const float d2 = SquaredDistanceToRay(test, Ogre::Ray(front, front - mCirclePosition), t);
    return t > 0.0f && d2 < kBehindSquaredWidth;
}

bool AISituation::HasBallInFront(const CBall* ball, float radius) const {
    const int32_t index = FindBall(ball);
    return index >= 0 && HasBallInFront(static_cast<size_t>(index), radius);
}

bool AISituation::HasBallInFront(size_t recordIndex, float radius) const {
    if (recordIndex >= mBalls.size())
        return false;
    const AIBallRecord& v = mBalls[recordIndex];
    for (size_t i = 0; i < mBalls.size(); ++i) {
        if (i == recordIndex)
            continue;
        if (IsBehind(mBalls[i].position, v.position) && mBalls[i].position.squaredDistance(v.position) < radius * radius)
            return true;
    }
    return false;
}

bool AISituation::HasBallBehind(const CBall* ball, float radius) const {
    const int32_t index = FindBall(ball);
    return index >= 0 && HasBallBehind(static_cast<size_t>(index), radius);
}

bool AISituation::HasBallBehind(size_t recordIndex, float radius) const {
    if (recordIndex >= mBalls.size())
        return false;
    const AIBallRecord& v = mBalls[recordIndex];
    for (size_t i = 0; i < mBalls.size(); ++i) {
        if (i == recordIndex)
            continue;
        if (IsBehind(v.position, mBalls[i].position) && mBalls[i].position.squaredDistance(v.position) < radius * radius)
            return true;
    }
    return false;
}
