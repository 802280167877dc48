#include "MatchState.h"

#include "CBall.h"
#include "CPlayer.h"
#include "Team.h"
#include "Terrain.h"

#include <HalNet.h>

#include <algorithm>

namespace {

const float kTargetThrowMin2 = 6.25f * 6.25f;     // 39.0625
const float kTargetThrowMax2 = 10.25f * 10.25f;   // 105.0625
const float kTargetInPlayMin2 = 3.0f * 3.0f;
const float kTargetInPlayMax2 = 20.0f * 20.0f;

int32_t BallsLeft(const Team* team) { return team ? team->CountBallsLeft() : 0; }

// Squared distance to the circle; the world origin stands in for a missing circle.
float SquaredDistanceToCircle(const CGameElement& element, const CGameElement* circle)
{
    const Ogre::Vector3 centre = circle ? circle->GetWorldPosition() : Ogre::Vector3::ZERO;
    return element.GetWorldPosition().squaredDistance(centre);
}

struct RankedBall {
    int32_t side;
    float distance2;
    CBall* ball;
};

}  // namespace

MeneRecord::MeneRecord(Team* side0, Team* side1, CGameElement* circle, int32_t startingSide)
    : mTeams{side0, side1}, mCircle(circle), mCurrentSide(startingSide), mStartingSide(startingSide)
{
}

MeneRecord::~MeneRecord() = default;

MatchState::MatchState(Team* teamA, Team* teamB, int32_t targetScore, int32_t gameType, int32_t stageId)
    : mTeamA(teamA), mTeamB(teamB), mTargetScore(targetScore), mGameType(gameType), mTerrain(new Terrain(stageId))
{
    if (mTeamA)
        mTeamA->ResetThrowCounters();
    if (mTeamB)
        mTeamB->ResetThrowCounters();
    LoadSceneForStage(*mTerrain);
}

MatchState::~MatchState()
{
    delete mMene;
    mMene = nullptr;
    delete mTerrain;
    mTerrain = nullptr;
}

void MatchState::StartMene()
{
    if (mTeamA)
        mTeamA->DealBalls();
    if (mTeamB)
        mTeamB->DealBalls();
    if (mMene) {
        // The next mene is thrown from where the target ball lay.
        if (mMene->mTargetBall && mCircle)
            mTerrain->PlaceInside(*mCircle, mMene->mTargetBall->GetWorldPosition());
        delete mMene;
    }
    mMene = new MeneRecord(mTeamA, mTeamB, mCircle, mNextStartingSide);
}

bool IsTargetThrowValid(CBall* ball, const Terrain* terrain, const CGameElement* circle)
{
    if (!ball)
        return false;
    if (ball->mState == CBall::STATE_OUT)
        return false;
    const float d2 = SquaredDistanceToCircle(*ball, circle);
    bool valid = d2 >= kTargetThrowMin2 && d2 <= kTargetThrowMax2;
    if (valid && terrain) {
        const Ogre::Vector3 p = ball->GetWorldPosition();
        valid = p.x >= terrain->mMinX + 1.0f && p.x <= terrain->mMaxX - 1.0f && p.z >= terrain->mMinZ + 1.0f &&
                p.z <= terrain->mMaxZ - 1.0f;
    }
    if (!valid)
        ball->mState = CBall::STATE_INVALID_TARGET;
    return valid;
}

bool IsTargetBallInPlay(const MeneRecord* record)
{
    if (!record || !record->mTargetBall)
        return false;
    if (record->mTargetBall->mState == CBall::STATE_OUT)
        return false;
    const float d2 = SquaredDistanceToCircle(*record->mTargetBall, record->mCircle);
    return d2 >= kTargetInPlayMin2 && d2 <= kTargetInPlayMax2;
}

bool IsMeneOver(const MeneRecord* record)
{
    if (!record)
        return false;
    if (record->mTargetBall && !IsTargetBallInPlay(record))
        return true;
    return BallsLeft(record->mTeams[0]) == 0 && BallsLeft(record->mTeams[1]) == 0;
}

bool MatchState::AfterThrow(CBall* ball)
{
    if (!ball || !mMene) {
        NetTrace("MatchState::AfterThrow() => %s", ball ? "no mene started" : "no ball");
        return false;
    }

    if (ball->mKind == CBall::KIND_TARGET) {
        if (IsTargetThrowValid(ball, mTerrain, mCircle)) {
            mMene->mTargetBall = ball;
            if (mTeamA)
                mTeamA->mFailedTargetThrows = 0;
            if (mTeamB)
                mTeamB->mFailedTargetThrows = 0;
            mMene->mCurrentSide = mMene->mStartingSide;
            return true;
        }
        Team* team = GetTeam(mMene->mCurrentSide);
        if (team && ++team->mFailedTargetThrows >= 3) {
            team->mFailedTargetThrows = 0;
            mMene->mCurrentSide = 1 - mMene->mCurrentSide;
        }
        return false;
    }

    RankBalls(ball);
    if ((mMene->mTargetBall && !IsTargetBallInPlay(mMene)) || (BallsLeft(mTeamA) == 0 && BallsLeft(mTeamB) == 0)) {
        mScoreA += mMene->mPoints[0];
        mScoreB += mMene->mPoints[1];
        if (mMene->mPoints[0] != mMene->mPoints[1])
            mNextStartingSide = mMene->mPoints[0] > mMene->mPoints[1] ? 0 : 1;
    }
    return true;
}

void MatchState::RankBalls(CBall* ball)
{
    MeneRecord& mene = *mMene;
    const int32_t side = mene.mCurrentSide == 1 ? 1 : 0;
    mene.mBalls[side].push_back(ball);
    if (Team* team = GetTeam(side)) {
        if (CPlayer* player = team->GetCurrentPlayer()) {
            if (player->mBallsLeft > 0)
                --player->mBallsLeft;
            else
                NetTrace("MatchState::RankBalls() => %s threw with no ball left", player->mName.c_str());
        }
    }

    mene.mPoints[0] = mene.mPoints[1] = 0;
    mene.mScoringBalls.clear();
    mene.mBestDistance[0] = mene.mBestDistance[1] = -1.0f;

    const int32_t leftA = BallsLeft(mTeamA);
    const int32_t leftB = BallsLeft(mTeamB);
    std::vector<RankedBall> ranked;
    if (mene.mTargetBall) {
        if (!IsTargetBallInPlay(&mene)) {
            // The side that still holds balls scores them.
            if (leftA == 0 && leftB > 0)
                mene.mPoints[1] = static_cast<uint32_t>(leftB);
            else if (leftB == 0 && leftA > 0)
                mene.mPoints[0] = static_cast<uint32_t>(leftA);
        } else {
            for (int32_t s = 0; s < 2; ++s)
                for (CBall* thrown : mene.mBalls[s])
                    if (thrown && thrown->mState == CBall::STATE_LAUNCHED)
                        ranked.push_back(RankedBall{s, thrown->SquaredDistanceTo(*mene.mTargetBall), thrown});
            // Stable: on equal distances side 0's ball, collected first, ranks first.
            std::stable_sort(ranked.begin(), ranked.end(),
                             [](const RankedBall& a, const RankedBall& b) { return a.distance2 < b.distance2; });
            for (const RankedBall& entry : ranked) {
                if (mene.mBestDistance[entry.side] == -1.0f)
                    mene.mBestDistance[entry.side] = entry.distance2;
            }
            for (const RankedBall& entry : ranked) {
                if (mene.mPoints[1 - entry.side] > 0)
                    break;
                ++mene.mPoints[entry.side];
                mene.mScoringBalls.push_back(entry.ball);
            }
        }
    }

    if (leftA == 0 || mene.mBalls[1].empty())
        mene.mCurrentSide = 1;
    else if (leftB == 0 || mene.mBalls[0].empty())
        mene.mCurrentSide = 0;
    else if (ranked.empty())
        mene.mCurrentSide = mene.mStartingSide;
    else
        mene.mCurrentSide = 1 - ranked.front().side;
}

void MatchState::ForfeitToComputer()
{
    if (mTeamA && mTeamA->mComputer)
        mScoreA = static_cast<uint32_t>(mTargetScore);
    else
        mScoreB = static_cast<uint32_t>(mTargetScore);
}
