#include "CTrainingGMMainState.h"

#include "CTrainingGameMode.h"

#include <CAimGuide.h>
#include <CGUIMgr.h>
#include <CHUDMatch.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CInputMgr.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <CSceneMgr.h>
#include <CTrainingGameMaster.h>
#include <LaunchSet.h>
#include <TestReport.h>

namespace {

const char* const kCameraButtons[] = {"BtnCamPlus", "BtnCamMoins", "BtnRight", "BtnLeft"};

}  // namespace

void CTrainingGMMainState::OnEnter(int) {
    TestReport("state %s", "CTrainingGMMainState");
    mTestThrowApplied = false;
    mGaugesReported = false;
    gSceneMgr.Resume();
    CTrainingGameMaster* referee = Referee();
    if (!mOwner || !referee)
        return;
    referee->ResetStartFlags();
    // The result's continue button lies over the panel: it goes first (the
    // layout shows it until a result has been left once).
    CHUDMgr::ShowLaunchResultHUD(false);
    CHUDMgr::ShowLaunchHUD(true);
    // One trainee: no side's players to choose from.
    for (const char* window : {"infosP1", "infosP2", "infosP3", "TextInfosPlayer"})
        gGUIMgr.Show(window, false);
    if (CHUDMatch* panel = mOwner->GetThrowPanel()) {
        panel->mThrowMode = referee->GetExerciseThrowMode();
        panel->Refresh(referee);
        panel->mAngleChoice = 0;
        mOwner->FitThrowButtonsFrame();
    }
    if (CHUDRadar* radar = mOwner->GetRadar())
        CHUDMgr::InitRadarBalls(*radar, referee);
    CPlayer* trainee = referee->GetCurrentPlayer();
    if (trainee) {
        trainee->mThrowMode = referee->GetExerciseThrowMode();
        referee->mCurrentBall = referee->GetThrownBall();
        referee->SetCurrentPlayer(trainee);
        referee->FaceTarget();
    }
    referee->UpdateMatchCamera(CGameMaster::CAMERA_LAUNCH);
    // The trainee's face and bars from the first frame of the throw.
    if (CHUDPlayerPanel* players = mOwner->GetPlayerPanel()) {
        CHUDMgr::RefreshPlayerPanel(*players);
        CHUDMgr::SetPlayerPicture(*players);
        CHUDMgr::SetMentalBar(*players);
        CHUDMgr::SetPhysiqueBar(*players);
        CHUDMgr::SetBalanceBar(*players);
    }
}

void CTrainingGMMainState::CheckThrowKey() {
    CHUDMatch* panel = mOwner ? mOwner->GetThrowPanel() : nullptr;
    CTrainingGameMaster* referee = Referee();
    LaunchSet* launch = referee ? referee->GetLaunchSet() : nullptr;
    if (!panel || !launch || panel->mAngleChoice == 0)
        return;
    const uint16_t key = gInputMgr.GetAction(CTrainingGameMode::ACTION_THROW);
    if (CInputMgr::IsPressed(key) || (CInputMgr::IsReleased(key) && launch->mStep == 2))
        launch->mValidated = true;
}

void CTrainingGMMainState::ApplyTestThrow() {
    // The computer's way: an angle, the speed to the aim point and the
    // gauges' presets; the throw then runs as a player's does.
    CTrainingGameMaster* referee = Referee();
    CHUDMatch* panel = mOwner ? mOwner->GetThrowPanel() : nullptr;
    LaunchSet* launch = referee ? referee->GetLaunchSet() : nullptr;
    CAimGuide* guide = referee ? referee->GetAimGuide() : nullptr;
    if (!launch || !guide || launch->mStep != 1 || launch->mPresetActive)
        return;
    const int level = TestTrainingThrowLevel();
    const int choice = TestTrainingThrowAngle();
    referee->FaceTarget();
    guide->mLaunchAngle = choice == 1 ? guide->mAngleMin : choice == 3 ? guide->mAngleMax : guide->mDefaultAngle;
    guide->mLaunchSpeed = guide->SpeedToAimPoint(guide->mLaunchAngle);
    if (panel)
        panel->mAngleChoice = choice;
    launch->ApplyErrors(guide->mLaunchSpeed, guide->mLaunchAngle, level);
    mTestThrowApplied = true;
}

void CTrainingGMMainState::Update() {
    CTrainingGameMaster* referee = Referee();
    if (!mOwner || !referee)
        return;
    LaunchSet* launch = referee->GetLaunchSet();
    CHUDMatch* panel = mOwner->GetThrowPanel();
    CHUDRadar* radar = mOwner->GetRadar();
    CHUDPlayerPanel* players = mOwner->GetPlayerPanel();
    if (radar)
        CHUDMgr::UpdateRadarZoomButtons(*radar, referee->GetZoomFactor());
    if (players)
        CHUDMgr::RefreshPlayerPanel(*players);
    if (!launch)
        return;
    if (!mTestThrowApplied && TestTrainingThrowLevel() != kTestThrowOff && !mOwner->IsPaused())
        ApplyTestThrow();
    if (referee->IsGaugeDone()) {
        if (panel)
            panel->mLocked = false;
        if (players) {
            CHUDMgr::SetPlayerPicture(*players);
            CHUDMgr::SetMentalBar(*players);
            CHUDMgr::SetPhysiqueBar(*players);
            CHUDMgr::SetBalanceBar(*players);
        }
    }
    if (panel) {
        panel->RefreshAngleButtons();
        panel->BlinkAngleButtons();
        if (panel->mStartHover && launch->mStep < 4)
            CheckThrowKey();
    }
    if (launch->mStep >= 2)
        for (const char* button : kCameraButtons)
            gGUIMgr.Show(button, false);
    if (panel) {
        if (panel->mAngleChoice != 0) {
            ResetOverlayColourOp("Hud_start");
            panel->SetStartButtonState(true);
        } else {
            panel->BlinkAngleButtons();
        }
        if (launch->mStep >= 2)
            panel->mLocked = true;
        if (launch->mStep > 3)
            panel->SetStartButtonState(false);
    }
    referee->UpdateThrow();
    if (!mGaugesReported && launch->mStep >= 2) {
        mGaugesReported = true;
        if (TestReportEnabled())
            ReportView("aim");
        TestReport("gauges");
    }
    if (radar) {
        CAimGuide* guide = referee->GetAimGuide();
        if (!guide || !guide->mAxisShown)
            CHUDMgr::HideRadarAxis(*radar);
        CHUDMgr::UpdateRadar(*radar);
    }
    if (referee->IsThrowFinished())
        ChangeTo(TRAINING_STATE_RESULT);
}

void CTrainingGMMainState::OnLeave(int) {
    for (const char* button : kCameraButtons)
        gGUIMgr.Show(button, true);
    ResetOverlayColourOp("Hud_effet");
    if (CHUDMatch* panel = mOwner ? mOwner->GetThrowPanel() : nullptr) {
        panel->mSpin = 0;
        panel->SetSpinIcon();
    }
}
