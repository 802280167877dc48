#include "CTrainingGMResultState.h"

#include "CTrainingGameMode.h"

#include <CBall.h>
#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CQMGMState.h>
#include <CTrainingGameMaster.h>
#include <TestReport.h>

#include <CEGUI/InputEvent.h>
#include <OgreOverlayElement.h>

namespace {

const char kReplayElement[] = "Hud_lancer_result_replay";
// Says on the result frame whether the throw scored.
const char kOutcomeWindow[] = "TextThrowOutcome";
// Training has no replay: its picture waits off the screen.
const float kOffScreenLeft = 1.3f;

Ogre::Vector3 PositionOf(const CGameElement* element) {
    return element ? element->GetWorldPosition() : Ogre::Vector3::ZERO;
}

// What the referee scores from, for the test channel: the thrown ball's
// rest, the exercise object, the first impact, the shot ball and its spot.
void ReportThrow(const CTrainingGameMaster& referee) {
    if (!TestReportEnabled())
        return;
    const Ogre::Vector3 ball = PositionOf(referee.GetThrownBall());
    const Ogre::Vector3 target = PositionOf(referee.GetExerciseTarget());
    const Ogre::Vector3& impact = referee.mFirstImpact;
    const Ogre::Vector3 shot = PositionOf(referee.GetShotBall());
    const Ogre::Vector3& start = referee.mBallStart;
    const CBall* thrown = referee.GetThrownBall();
    TestReport("throw %d kind %d out %d ball %.4f %.4f %.4f target %.4f %.4f %.4f impact %.4f %.4f %.4f "
               "shot %.4f %.4f %.4f start %.4f %.4f %.4f",
               referee.mThrows + 1, referee.GetExerciseKind(), thrown && thrown->mState == CBall::STATE_OUT ? 1 : 0,
               ball.x, ball.y, ball.z, target.x, target.y, target.z, impact.x, impact.y, impact.z, shot.x, shot.y,
               shot.z, start.x, start.y, start.z);
}

}  // namespace

void CTrainingGMResultState::OnEnter(int) {
    TestReport("state %s", "CTrainingGMResultState");
    for (const char* window : {"FrameButtons", "TextLeft", "TextRight", "FramePlayerName", "TextInfosPlayer"})
        gGUIMgr.Show(window, false);
    mContinue = false;
    mViewReported = false;
    CHUDMgr::ShowLaunchHUD(false);
    CHUDMgr::ShowLaunchResultHUD(true);
    gGUIMgr.Show("TextBtnReplay", false);
    gGUIMgr.Show("BtnReplay", false);
    SetWindowTextOf("TextReplay", GetText("CLIC_TO_CTN"));
    SetWindowTextOf("TextContinue", GetText("BTN_CTN"));
    if (Ogre::OverlayElement* replay = FindOverlayElement(kReplayElement)) {
        mReplayLeft = replay->getLeft();
        SetOverlayElementLeft(kReplayElement, kOffScreenLeft);
    }
    CTrainingGameMaster* referee = Referee();
    if (!referee)
        return;
    ReportThrow(*referee);
    ThrowResult result;
    const int32_t before = referee->mSuccesses;
    referee->EvaluateThrow(result);
    const bool scored = referee->mSuccesses > before;
    TestReport("scored %d %d %d", scored ? 1 : 0, referee->mSuccesses, referee->mThrows);
    SetWindowTextOf(kOutcomeWindow, GetText(scored ? "TR_THROW_SCORED" : "TR_THROW_MISSED"));
    gGUIMgr.Show(kOutcomeWindow, true);
    // The thrown ball's flight took the view away from the exercise.
    referee->FrameThrowResult();
}

void CTrainingGMResultState::Update() {
    if (!mViewReported) {
        mViewReported = true;
        ReportView("result");
        // Each ball the player must find in the result: the thrown one
        // (unless it left the ground) and the shot one.
        if (CTrainingGameMaster* referee = Referee()) {
            const CBall* thrown = referee->GetThrownBall();
            if (thrown && thrown->mState != CBall::STATE_OUT)
                ReportPointView("thrown", thrown->GetWorldPosition());
            if (const CBall* shot = referee->GetShotBall()) {
                ReportPointView("shot", shot->GetWorldPosition());
                ReportPointView("spot", referee->mBallStart);
            }
        }
    }
    if (!mContinue || !mOwner)
        return;
    mContinue = false;
    if (CHUDInfoPanel* infos = mOwner->GetMatchInfos())
        CHUDMgr::RefreshMatchInfos(*infos);
    CTrainingGameMaster* referee = Referee();
    if (referee && static_cast<uint32_t>(referee->mThrows) < static_cast<uint32_t>(CTrainingGameMaster::kSeriesLength)) {
        referee->NextExercise();
        referee->PlaceExercise();
        ChangeTo(TRAINING_STATE_INIT);
    } else {
        ChangeTo(TRAINING_STATE_OUTRO);
    }
}

void CTrainingGMResultState::OnLeave(int) {
    gGUIMgr.Show(kOutcomeWindow, false);
    if (FindOverlayElement(kReplayElement))
        SetOverlayElementLeft(kReplayElement, mReplayLeft);
    CHUDMgr::ShowLaunchResultHUD(false);
}

bool CTrainingGMResultState::OnRootClick(const CEGUI::EventArgs& args) {
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    if ((mOwner && mOwner->IsPaused()) || mouse.button != CEGUI::LeftButton)
        return false;
    mContinue = true;
    return true;
}
