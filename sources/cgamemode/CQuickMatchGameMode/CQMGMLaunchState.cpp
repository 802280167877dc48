#include "CQMGMLaunchState.h"

#include "CQuickMatchGameMode.h"
#include "RefereeLink.h"

#include <CAimGuide.h>
#include <CDebugRenderer.h>
#include <CHUDMatch.h>
#include <CHUDMgr.h>
#include <CHudGameSource.h>
#include <CHUDPanels.h>
#include <CInputMgr.h>
#include <CMatchCamera.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <ControlerTable.h>
#include <LaunchSet.h>
#include <MatchState.h>
#include <Platform.h>
#include <Team.h>
#include <CPlayer.h>
#include <TestReport.h>
#include <TestSideDifficulty.h>
#include <GameDifficulty.h>

namespace {

const int kLastStep = 9;
const char* const kCameraButtons[] = {"BtnCamPlus", "BtnCamMoins", "BtnRight", "BtnLeft"};

}  // namespace

bool IsActionJustReleased(uint16_t action) {
    return CInputMgr::IsReleased(gInputMgr.GetAction(action));
}

void CQMGMLaunchState::OnEnter(int) {
    TestReport("state %s", "CQMGMLaunchState");
    if (!mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    gSceneMgr.Resume();
    mOwner->SetCameraHold(false);
    // The layout shows the result's continue button, over the throw panel,
    // until a result has been left once: the first throw of a match hides it.
    CHUDMgr::ShowLaunchResultHUD(false);
    CHUDMgr::ShowLaunchHUD(true);
    CHUDMatch* panel = mOwner->GetThrowPanel();
    if (panel)
        panel->Refresh(referee::HudSource(master));

    MatchState* state = mOwner->GetMatchState();
    const int side = referee::HudSource(master) ? referee::HudSource(master)->GetSideToPlay() : 0;
    Team* team = state ? state->GetTeam(side) : nullptr;
    if (panel) {
        panel->mAngleChoice = 0;
        if (CPlayer* player = team ? team->GetCurrentPlayer() : nullptr)
            panel->mThrowMode = player->mThrowMode;
    }
    if (CHUDRadar* radar = mOwner->GetRadar())
        CHUDMgr::InitRadarBalls(*radar, referee::HudSource(master));
    referee::UpdateMatchCamera(master, 1);
    if (team) {
        TestReport("turn %d %s", side, team->mComputer ? "computer" : "human");
        if (CHudGameSource* source = referee::HudSource(master))
            TestReport("throw %s", source->IsTargetBallThrown() ? "ball" : "target");
    }

    if (g_ControlerTableFilled) {
        ControlerEntry& entry = GetNextControlerForTeam(side);
        PlatLog("GetNextControlerForTeam(%d)=> (type=%d) (name=%s) (index=%d)", side, entry.mType, entry.mName,
                entry.mIndex);
        DebugPrintText("GetNextControlerForTeam=>" + std::to_string(side) + " ==>" + entry.mName, false, true);
        DumpControlers();
        if (!g_NetMgr.IsConnected())
            g_OwnControlerType = entry.mType;
        if (CHUDInfoPanel* infos = mOwner->GetMatchInfos())
            CHUDMgr::RefreshMatchInfos(*infos);
    }
}

void CQMGMLaunchState::CheckThrowKey() {
    CHUDMatch* panel = mOwner ? mOwner->GetThrowPanel() : nullptr;
    LaunchSet* launch = mOwner ? referee::GetLaunchSet(mOwner->GetGameMaster()) : nullptr;
    if (!panel || !launch || panel->mAngleChoice == 0)
        return;
    const uint16_t key = gInputMgr.GetAction(CQuickMatchGameMode::ACTION_THROW);
    const bool counts = CInputMgr::IsPressed(key) || (CInputMgr::IsReleased(key) && launch->mStep == 2);
    if (!counts)
        return;
    panel->mLocked = true;
    launch->mValidated = true;
}

void CQMGMLaunchState::Update() {
    if (!mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    LaunchSet* launch = referee::GetLaunchSet(master);
    CHUDMatch* panel = mOwner->GetThrowPanel();
    if (CHUDRadar* radar = mOwner->GetRadar())
        CHUDMgr::UpdateRadarZoomButtons(*radar, referee::GetZoomFactor(master));
    CHUDPlayerPanel* players = mOwner->GetPlayerPanel();
    if (players)
        CHUDMgr::RefreshPlayerPanel(*players);
    if (!launch) {
        // Nothing to throw with: the result state settles the turn.
        ChangeTo(QM_STATE_LAUNCH_RESULT);
        return;
    }
    if (referee::IsGaugeDone(master)) {
        mOwner->SetPanelLocked(false);
        if (players) {
            CHUDMgr::SetPlayerPicture(*players);
            CHUDMgr::SetMentalBar(*players);
            CHUDMgr::SetPhysiqueBar(*players);
            CHUDMgr::SetBalanceBar(*players);
        }
    }
    if (panel) {
        panel->RefreshAngleButtons();
        if (panel->mStartHover && launch->mStep < 4)
            CheckThrowKey();
    }
    if (launch->mStep > 1)
        for (const char* button : kCameraButtons)
            ShowWindow(button, false);
    const bool localHuman = referee::IsLocalHumanTurn(master);
    if (panel) {
        if (panel->mAngleChoice == 0) {
            panel->BlinkAngleButtons();
        } else {
            ResetOverlayColourOp("Hud_start");
            panel->SetStartButtonState(localHuman);
        }
        if (launch->mStep > 3)
            panel->SetStartButtonState(false);
    }
    MatchState* state = mOwner->GetMatchState();
    CHudGameSource* source = referee::HudSource(master);
    Team* team = state && source ? state->GetTeam(source->GetSideToPlay()) : nullptr;
    // A figure may pit one difficulty against another: the side to play
    // decides and throws at its own.
    const int sideDifficulty = source ? TestSideDifficulty(source->GetSideToPlay()) : -1;
    if (sideDifficulty >= 0 && sideDifficulty != g_CurrentDifficulty) {
        g_CurrentDifficulty = sideDifficulty;
        launch->SelectDifficulty(sideDifficulty);
    }
    if (team && team->mComputer) {
        referee::ApplyAIDecision(master);
        if (panel)
            panel->SyncAngleFromAim();
    }
    if (!localHuman && panel)
        panel->SyncAngleFromAim();
    referee::UpdateThrow(master);
    if (CHUDRadar* radar = mOwner->GetRadar()) {
        CAimGuide* guide = referee::GetAimGuide(master);
        if (guide && guide->mAxisShown)
            CHUDMgr::UpdateRadar(*radar);
        else
            CHUDMgr::HideRadarAxis(*radar);
    }
    if (launch->mStep == kLastStep)
        ChangeTo(QM_STATE_LAUNCH_RESULT);
}

void CQMGMLaunchState::OnLeave(int) {
    for (const char* button : kCameraButtons)
        ShowWindow(button, true);
    ResetOverlayColourOp("Hud_effet");
    CHUDMatch* panel = mOwner ? mOwner->GetThrowPanel() : nullptr;
    if (panel) {
        panel->mSpin = 0;
        panel->SetSpinIcon();
    }
}
