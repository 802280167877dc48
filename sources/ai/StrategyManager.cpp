#include "StrategyManager.h"

#include "AIDebugText.h"
#include "AIParameters.h"
#include "AISituation.h"
#include "CAITaskScheduler.h"
#include "CPigThrowChoice.h"
#include "CPlayerChoice.h"
#include "CThrowParametersChoice.h"

#include <CDebugRenderer.h>
#include <CPlayer.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>

#include <sstream>

namespace {

// A stage leaves the scheduler before its owner deletes it: the scheduler
// keeps bare pointers.
template <typename T>
void DropTask(T*& task) {
    if (!task)
        return;
    g_AITaskScheduler.RemoveTask(task);
    delete task;
    task = nullptr;
}

}  // namespace

StrategyManager::StrategyManager(MatchState* matchState, const AIParameters* parameters,
                                 CRollingEstimator* estimator)
    : mMatchState(matchState), mParameters(parameters), mEstimator(estimator) {
    Reset();
}

StrategyManager::~StrategyManager() {
    gDebugRenderer.RemoveShape("chosenPath");
    ReleaseStages();
}

void StrategyManager::ReleaseStages() {
    DropTask(mPlayerChoice);
    DropTask(mBaseStrategyChoice);
    DropTask(mThrowParametersChoice);
    DropTask(mPigThrowChoice);
    if (mSituation) {
        mSituation->Release();
        delete mSituation;
        mSituation = nullptr;
    }
}

void StrategyManager::Reset() {
    AIDebugText("reset strategy manager");
    ReleaseStages();
    mNoThrowerLogged = false;
    mState = 0;
    mSearchScored = mSearchCandidates = 0;
    mChosenAngle = 45.0f;
    mChosenPoint = Ogre::Vector3::ZERO;
    mChosenPlayer = nullptr;
    mChosenMode = 0;
}

float StrategyManager::ErrorScaleForLevel(int32_t level) {
    // Levels run from 0 to 10; outside that the difference would wrap.
    if (level < 0)
        level = 0;
    if (level > 10)
        level = 10;
    return static_cast<float>(10 - level);
}

void StrategyManager::Update() {
    const MeneRecord* mene = mMatchState ? mMatchState->mMene : nullptr;
    if (!mene)
        return;
    if (mState == STATE_READY && !mChosenPlayer) {
        if (!mNoThrowerLogged)
            PlatLog("StrategyManager::Update() => no player to throw, deciding again");
        mNoThrowerLogged = true;
        mState = 0;
    }
    if (!mene->mTargetBall)
        UpdateTargetBall();
    else
        UpdateNormal();
}

void StrategyManager::UpdateTargetBall() {
    switch (mState) {
    case 0:
        // Stages of a turn that was reset halfway go first.
        ReleaseStages();
        AIDebugText("Debut choix IA pour lance cochonnet");
        mPigThrowChoice = new CPigThrowChoice(mParameters ? mParameters->pig_throw_max_time : 0, mMatchState,
                                              mParameters,
                                              mParameters ? static_cast<float>(mParameters->mPigThrowNoise) : 0.0f);
        g_AITaskScheduler.AddTask(mPigThrowChoice);
        mState = 2;
        break;
    case 2:
        if (mPigThrowChoice && mPigThrowChoice->IsFinished()) {
            mChosenAngle = mPigThrowChoice->GetAngle();
            mChosenPoint = mPigThrowChoice->GetTargetPoint();
            mChosenMode = 0;
            DropTask(mPigThrowChoice);
            mState = 3;
        }
        break;
    case 3: {
        const MeneRecord* mene = mMatchState->mMene;
        const Team* team = mMatchState->GetTeam(mene->mCurrentSide == 1 ? 1 : 0);
        mChosenPlayer = team ? team->GetBestPlayer(6.0f, CPlayer::THROW_POINTING, false) : nullptr;
        mState = STATE_READY;
        break;
    }
    default:
        break;
    }
}

void StrategyManager::UpdateNormal() {
    const AIParameters* p = mParameters;
    switch (mState) {
    case 0: {
        ReleaseStages();
        const MeneRecord* mene = mMatchState->mMene;
        const Team* team = mMatchState->GetTeam(mene->mCurrentSide == 1 ? 1 : 0);
        const int32_t level = team ? team->GetAILevel() : 0;
        if (level < 0 || level > 10)
            PlatLog("StrategyManager::Update() => AI level %d outside 0..10", level);
        mErrorScale = ErrorScaleForLevel(level);
        AIDebugText("<<<<<<   Debut choix IA pour lance boule   >>>>>>");
        mSituation = new AISituation(p, mMatchState);
        mBaseStrategyChoice = new CBaseStrategyChoice(p ? p->base_strategy_max_time : 0, mSituation, p,
                                                      (p ? p->coef_error_base_strategy_choice : 0.0f) * mErrorScale);
        AIDebugText("### choix de la strategie de base");
        g_AITaskScheduler.AddTask(mBaseStrategyChoice);
        mState = 1;
        break;
    }
    case 1:
        if (mBaseStrategyChoice && mBaseStrategyChoice->IsFinished()) {
            mChosenStrategy = mBaseStrategyChoice->GetChosenStrategy();
            DropTask(mBaseStrategyChoice);
            mPlayerChoice = new CPlayerChoice(mChosenStrategy, mMatchState, p);
            AIDebugText("### choix de l acteur");
            g_AITaskScheduler.AddTask(mPlayerChoice);
            mState = 3;
        }
        break;
    case 3:
        if (mPlayerChoice && mPlayerChoice->IsFinished()) {
            mChosenPlayer = mPlayerChoice->GetChosenPlayer();
            DropTask(mPlayerChoice);
            mThrowParametersChoice = new CThrowParametersChoice(
                mEstimator, mChosenStrategy, mChosenPlayer, mSituation, p, p ? p->throw_param_choice_max_time : 0,
                (p ? p->coef_error_throw_parameters_choice : 0.0f) * mErrorScale, 1);
            AIDebugText("### choix des parametres");
            g_AITaskScheduler.AddTask(mThrowParametersChoice);
            mState = 4;
        }
        break;
    case 4:
        if (mThrowParametersChoice && mThrowParametersChoice->IsFinished()) {
            mChosenPoint = mThrowParametersChoice->GetAimPoint();
            mChosenAngle = mThrowParametersChoice->GetAngle();
            mChosenMode = mThrowParametersChoice->GetChosenMode();
            mSearchScored = static_cast<int32_t>(mThrowParametersChoice->GetCurrentIndex());
            mSearchCandidates = static_cast<int32_t>(mThrowParametersChoice->GetCandidateCount());
            std::ostringstream line;
            line << "###   set de parametres, test\u00e9s: " << mSearchScored << "/" << mSearchCandidates;
            AIDebugText(line.str());
            DropTask(mThrowParametersChoice);
            if (mSituation) {
                mSituation->Release();
                delete mSituation;
                mSituation = nullptr;
            }
            mState = STATE_READY;
        }
        break;
    default:
        break;
    }
}
