// The computer's turn: a chain of time-sliced decision stages, one per frame
// of Update at most, until the decision (thrower, strategy, aim point, launch
// angle, spin mode) is ready in state 5. A normal throw: situation, base
// strategy, player, throw parameters. The target ball: where to throw it,
// then the best pointer throws.
#pragma once

#include "CBaseStrategyChoice.h"

#include <OgreVector.h>

#include <cstdint>

class AIParameters;
class AISituation;
class CPigThrowChoice;
class CPlayer;
class CPlayerChoice;
class CRollingEstimator;
class CThrowParametersChoice;
class MatchState;

class StrategyManager {
public:
    enum { STATE_READY = 5 };

    // The match state, parameters and estimator must outlive the manager.
    StrategyManager(MatchState* matchState, const AIParameters* parameters, CRollingEstimator* estimator);
    // Takes its unfinished stages off the scheduler before deleting them.
    ~StrategyManager();
    StrategyManager(const StrategyManager&) = delete;
    StrategyManager& operator=(const StrategyManager&) = delete;

    // Back to state 0 with the default decision. The stages of a turn in
    // progress leave the scheduler and are deleted (it would step them
    // after their owner is gone).
    void Reset();
    // One step of the turn; every frame while the computer's side is to play.
    // A turn that ended without a thrower is started again.
    void Update();

    int32_t GetState() const { return mState; }
    // A decision names its thrower: one without is no decision.
    bool IsReady() const { return mState == STATE_READY && mChosenPlayer != nullptr; }
    CPlayer* GetChosenPlayer() const { return mChosenPlayer; }
    const BaseStrategy& GetChosenStrategy() const { return mChosenStrategy; }
    float GetChosenAngle() const { return mChosenAngle; }
    const Ogre::Vector3& GetChosenPoint() const { return mChosenPoint; }
    int32_t GetChosenMode() const { return mChosenMode; }
    // The last throw search: candidates scored, of those it had (0 and 0
    // before the first, and for a target-ball throw).
    int32_t GetSearchScored() const { return mSearchScored; }
    int32_t GetSearchCandidates() const { return mSearchCandidates; }
    float GetErrorScale() const { return mErrorScale; }

    // 10 minus the AI level, kept within 0 to 10.
    static float ErrorScaleForLevel(int32_t level);

private:
    void UpdateTargetBall();
    void UpdateNormal();
    void ReleaseStages();

    int32_t mState = 0;
    MatchState* mMatchState;
    AISituation* mSituation = nullptr;
    float mChosenAngle = 45.0f;
    float mErrorScale = 0.0f;
    BaseStrategy mChosenStrategy;
    Ogre::Vector3 mChosenPoint = Ogre::Vector3::ZERO;
    CPlayer* mChosenPlayer = nullptr;
    int32_t mChosenMode = 0;
    int32_t mSearchScored = 0, mSearchCandidates = 0;
    const AIParameters* mParameters;
    CPlayerChoice* mPlayerChoice = nullptr;
    CBaseStrategyChoice* mBaseStrategyChoice = nullptr;
    CThrowParametersChoice* mThrowParametersChoice = nullptr;
    CPigThrowChoice* mPigThrowChoice = nullptr;
    CRollingEstimator* mEstimator;
    bool mNoThrowerLogged = false;
};
