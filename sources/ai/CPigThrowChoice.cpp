#include "CPigThrowChoice.h"

#include "AIParameters.h"

#include <CGameElement.h>
#include <CPlayer.h>
#include <MatchState.h>
#include <Team.h>
#include <Terrain.h>
#include <TuningParameters.h>

namespace {

const float kMiddleRoom2 = 92.16f;   // 9.6 m from the release point to the far limit
const float kLongRoom2 = 121.0f;     // 11 m
// On our grounds a throw at the mean pointing angle rolls on about this
// share of its flight after landing; a lob at the highest angle stops where
// it lands.
const float kPointedRollShare = 0.29f;

// The distance the players are compared at for a length class.
float ReferenceDistance(int32_t lengthClass) {
    return lengthClass == PigThrowParameters::LENGTH_LONG     ? 9.3f
           : lengthClass == PigThrowParameters::LENGTH_MIDDLE ? 8.0f
                                                              : 6.7f;
}

int32_t Rating(const Team* team, float distance, int32_t kind, bool& found) {
    const CPlayer* best = team ? team->GetBestPlayer(distance, kind, false) : nullptr;
    found = best != nullptr;
    return best ? best->GetThrowRating(distance, kind) : 0;
}

}  // namespace

CPigThrowChoice::CPigThrowChoice(int32_t timeBudgetMs, MatchState* matchState, const AIParameters* parameters,
                                 float noiseAmplitude)
    : CWeightedChoice<PigThrowParameters>(timeBudgetMs, 0.0f, 1, noiseAmplitude), mMatchState(matchState),
      mParameters(parameters) {}

CPigThrowChoice::~CPigThrowChoice() = default;

void CPigThrowChoice::Start(uint32_t nowMs) {
    CAITask::Start(nowMs);
    mCandidates.reset(new CandidateArray());
    const MeneRecord* mene = mMatchState ? mMatchState->mMene : nullptr;
    const int32_t side = mene && mene->mCurrentSide == 1 ? 1 : 0;
    const Team* team = mMatchState ? mMatchState->GetTeam(side) : nullptr;
    const CPlayer* player = team ? team->GetCurrentPlayer() : nullptr;
    mReleasePoint = player ? player->GetReleasePoint(player->mThrowMode) : Ogre::Vector3::ZERO;
    const CGameElement* circle = mene && mene->mCircle ? mene->mCircle : mMatchState ? mMatchState->mCircle : nullptr;
    const Ogre::Vector3 circlePosition = circle ? circle->GetWorldPosition() : Ogre::Vector3::ZERO;
    const Ogre::Vector3 limit =
        mMatchState && mMatchState->mTerrain ? mMatchState->mTerrain->GetFarLimitPoint(circlePosition) : mReleasePoint;
    mDirection = limit - mReleasePoint;
    const float room2 = mDirection.squaredLength();
    const int32_t failed = team ? team->mFailedTargetThrows : 0;

    // Each class's two throws bring the target ball to rest at the class's
    // distance from the circle (6.7, 8.0 or 9.3 m: inside the valid 6.25 to
    // 10.25 m), counted from the hand, which stands ahead of the circle.
    const Ogre::Vector3 toLimit = mDirection.normalisedCopy();
    const float handAhead = (mReleasePoint - circlePosition).dotProduct(toLimit);
    const float aMax = static_cast<float>(ANGLE_MAX_POINTE);
    const float a = ANGLE_POINTE_MOYEN;
    const auto add = [this, handAhead, aMax, a](int32_t lengthClass) {
        const float lob = ReferenceDistance(lengthClass) - handAhead;
        mCandidates->push_back({aMax, lob, lengthClass});
        mCandidates->push_back({a, lob / (1.0f + kPointedRollShare), lengthClass});
    };
    add(PigThrowParameters::LENGTH_SHORT);
    if (room2 >= kMiddleRoom2 && failed < 2)
        add(PigThrowParameters::LENGTH_MIDDLE);
    if (room2 >= kLongRoom2 && failed == 0)
        add(PigThrowParameters::LENGTH_LONG);
}

float CPigThrowChoice::Evaluate(PigThrowParameters c) {
    float score = CWeightedChoice<PigThrowParameters>::Evaluate(c);
    const MeneRecord* mene = mMatchState ? mMatchState->mMene : nullptr;
    if (!mene || !mParameters)
        return score;
    const AIParameters& p = *mParameters;
    const int32_t side = mene->mCurrentSide == 1 ? 1 : 0;
    const Team* mine = mMatchState->GetTeam(side);
    const Team* theirs = mMatchState->GetTeam(1 - side);
    const float distance = ReferenceDistance(c.lengthClass);
    if (c.lengthClass == PigThrowParameters::LENGTH_LONG && mine && mine->mRegionId == 0)
        score += p.mPigLongThrowWeight;

    for (int32_t kind : {CPlayer::THROW_POINTING, CPlayer::THROW_SHOOTING}) {
        bool mineFound = false;
        bool theirsFound = false;
        const int32_t my = Rating(mine, distance, kind, mineFound);
        const int32_t their = Rating(theirs, distance, kind, theirsFound);
        if (!mineFound || !theirsFound || my == their)
            continue;
        const bool pointing = kind == CPlayer::THROW_POINTING;
        if (my > their)
            score += pointing ? p.mPigPointingAdvantageWeight : p.mPigShootingAdvantageWeight;
        else
            score += pointing ? p.mPigPointingDisadvantageWeight : p.mPigShootingDisadvantageWeight;
    }
    return score;
}

float CPigThrowChoice::GetAngle() const {
    const PigThrowParameters* best = GetBest();
    return best ? best->angle : ANGLE_POINTE_MOYEN;
}

Ogre::Vector3 CPigThrowChoice::GetTargetPoint() const {
    const PigThrowParameters* best = GetBest();
    if (!best)
        return Ogre::Vector3::ZERO;
    return mReleasePoint + mDirection.normalisedCopy() * best->distance;
}
