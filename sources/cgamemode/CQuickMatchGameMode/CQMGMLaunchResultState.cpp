#include "CQMGMLaunchResultState.h"

#include "CQuickMatchGameMode.h"
#include "MatchText.h"
#include "RefereeLink.h"

#include <CBall.h>
#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CHudGameSource.h>
#include <CHUDPanels.h>
#include <CKEMSceneObject.h>
#include <CLangDB.h>
#include <CMatchCamera.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <CReplayMgr.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <HalTimer.h>
#include <LaunchSet.h>
#include <MatchState.h>
#include <NetMessages.h>
#include <Platform.h>
#include <Team.h>
#include <TestReport.h>

namespace {

const int kMaxTargetThrows = 3;
const int kReplayCameraState = 6;   // "CAMERA REPLAYT"
const int kFreeCameraState = 5;     // "CAMERA FREE"
const float kReplayTimeScale = 0.25f;
// In a match nobody plays, a result stays on screen this long, then the
// match goes on as after a click.
const uint32_t kSpectatorResultMs = 2000;

bool IsClient() {
    return g_NetMgr.IsConnected() && !g_NetMgr.IsHost();
}

std::string TeamName(const Team* team) {
    return team ? GetTeamScreenName(team) : std::string();
}

CBall* TargetBall(CGameMaster* master) {
    const std::vector<CBall*>* balls = referee::GetBalls(master);
    return balls && !balls->empty() ? (*balls)[0] : nullptr;
}

void SetNodeVisible(CKEMSceneNode* node, bool visible) {
    if (node)
        node->setToVisible(visible);
}

}  // namespace

void CQMGMLaunchResultState::BroadcastCrowdReaction(int resultCode) {
    static const char* const kReactions[] = {"highNegativeReac", "mediumNegativeReac", "lowNegativeReac",
                                             "highPositiveReac", "mediumPositiveReac", "lowPositiveReac"};
    if (resultCode < 1 || resultCode > 6)
        return;
    if (resultCode >= 4)
        gScenaricMgr.BroadcastEvent("spectatorApplause", 0);
    gScenaricMgr.BroadcastEvent(kReactions[resultCode - 1], 0);
}

std::string CQMGMLaunchResultState::PigIsOutText(const std::string& playingName, int playingBalls,
                                                 const std::string& otherName, int otherBalls) {
    if (playingBalls > 0 && otherBalls <= 0)
        return FormatMatchText("PIG_IS_OUT", playingName, playingBalls);
    if (playingBalls <= 0 && otherBalls > 0)
        return FormatMatchText("PIG_IS_OUT", otherName, otherBalls);
    return GetText("NULL_MENE");
}

void CQMGMLaunchResultState::OnEnter(int) {
    TestReport("state %s", "CQMGMLaunchResultState");
    mContinueClicked = 0;
    mMayContinue = 1;
    mTargetChecksPending = 1;
    mEnteredAt = gTimer.GetTimeMs();
    mFrameOpenedAt = 0;
    CGameMaster* master = mOwner ? mOwner->GetGameMaster() : nullptr;

    bool valid = true;
    int code = 0;
    referee::EvaluateThrow(master, valid, code);
    mThrowValid = valid ? 1 : 0;
    mResultCode = code;
    BroadcastCrowdReaction(code);
    if (TestReportEnabled()) {
        // The evaluation has moved the thrown ball to "previous".
        const CBall* thrown = referee::GetPreviousBall(master);
        const CBall* target = TargetBall(master);
        TestReport("result ball %s %d", thrown && thrown->GetNode() ? thrown->GetNode()->getName().c_str() : "-",
                   target && target->mState == CBall::STATE_LAUNCHED ? 1 : 0);
    }

    mFirstPass = 1;
    if (mOwner && mOwner->GetMatchInfos())
        CHUDMgr::RefreshMatchInfos(*mOwner->GetMatchInfos());

    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    const MeneRecord* mene = state ? state->mMene : nullptr;
    if (!mene || (mene->mBalls[0].empty() && mene->mBalls[1].empty())) {
        mContinueClicked = 1;
    } else {
        if (CHUDRadar* radar = mOwner->GetRadar())
            CHUDMgr::HideRadarAxis(*radar);
        CHUDMgr::ShowLaunchHUD(false);
        CHUDMgr::ShowLaunchResultHUD(true);
        ShowOverlayElement("Hud_lancer_result_quit");
        if (IsClient()) {
            HideOverlayElement("Hud_lancer_result_quit");
            ShowWindow("BtnQuitReplay", false);
            ShowWindow("TextContinue", false);
        }
    }
    mHostSignalTaken = 0;
    gSceneMgr.Resume();
    if (mOwner)
        mOwner->SetCameraHold(false);
}

void CQMGMLaunchResultState::Update() {
    if (!mOwner)
        return;
    CGameMaster* master = mOwner->GetGameMaster();
    MatchState* state = mOwner->GetMatchState();

    if (IsClient()) {
        if (mHostSignalTaken) {
            // Taken: the state goes on below.
        } else if (!g_NetMgr.TakeHostSignal()) {
            SetWindowTextOf("TextReplay", GetText("WAITING_HOST"));
            mMayContinue = 0;
        } else {
            PlatLog("UnQueueNextStepSignalFromHost()=>  OK, Queue=%d", g_NetMgr.GetHostSignalQueue());
            mHostSignalTaken = 1;
            mContinueClicked = 1;
            mMayContinue = 1;
            mTargetChecksPending = 0;
            gReplayMgr.stopReplay();
            PlatLog("======TIR SUIVANT=================================");
        }
    } else {
        SetWindowTextOf("TextReplay", GetText("CLIC_TO_CTN"));
    }

    if (mFrameOpenedAt && mOwner->IsSpectatorMatch() && gTimer.GetCurrentClock() - mFrameOpenedAt >= kSpectatorResultMs)
        CloseInfoFrames();   // nobody is there to press its button
    if (!mMayContinue && !g_NetMgr.IsConnected())
        return;

    if (gReplayMgr.mReplaying) {
        if (!mContinueClicked) {
            gReplayMgr.Replay(gTimer.GetTimeMs());
            return;
        }
        gReplayMgr.stopReplay();
        PlayThrowerStance(master);
        referee::UpdateMatchCamera(master, kFreeCameraState);
        mContinueClicked = 0;   // this click only ended the replay
        return;
    }

    referee::ShowBestBalls(master);
    CBall* target = TargetBall(master);
    if (target && target->mState != CBall::STATE_OUT)
        SetNodeVisible(referee::GetTargetPointer(master), true);

    if (referee::IsSlowMotionCameraActive(master)) {
        PlayThrowerStance(master);
        referee::UpdateMatchCamera(master, kFreeCameraState);
    }

    if (mFirstPass) {
        if (!mContinueClicked && target && target->GetNode() && target->GetNode()->IsVisible()) {
            if (!mOwner->IsSpectatorMatch() || gTimer.GetTimeMs() - mEnteredAt < kSpectatorResultMs)
                return;   // wait for the click
        }
        mFirstPass = 0;
        CHudGameSource* source = referee::HudSource(master);
        const Team* playing = state && source ? state->GetTeam(source->GetSideToPlay()) : nullptr;
        if (playing && playing->mComputer)
            referee::ResetStrategy(master);
    }

    if (mTargetChecksPending && !g_NetMgr.IsConnected()) {
        CHudGameSource* source = referee::HudSource(master);
        const Team* playing = state && source ? state->GetTeam(source->GetSideToPlay()) : nullptr;
        if (target && target->mState == CBall::STATE_OUT && referee::GetPreviousBall(master) != target)
            ShowPigIsOut();
        else if (!mThrowValid && playing && !playing->mComputer)
            ShowPigLaunchError();
    }

    const bool connected = g_NetMgr.IsConnected();
    const bool goOn = (!connected && mMayContinue) || (connected && g_NetMgr.IsHost()) ||
                      (connected && mHostSignalTaken);
    if (!goOn || !state)
        return;

    const uint32_t target_score = static_cast<uint32_t>(state->mTargetScore);
    const bool meneOver = IsMeneOver(state->mMene);
    const bool matchOver = state->mScoreA >= target_score || state->mScoreB >= target_score;
    if (meneOver || matchOver)
        mOwner->ReportMeneEnd();
    if (!matchOver) {
        if (!meneOver) {
            ChangeTo(QM_STATE_LAUNCH);
        } else {
            PlatLog("======MENE SUIVANTE=================================");
            ChangeTo(QM_STATE_MENE_INTRO);
        }
    } else {
        PlatLog("======FIN DE MATCH=================================");
        ChangeTo(QM_STATE_OUTRO);
    }
}

void CQMGMLaunchResultState::PlayThrowerStance(CGameMaster* master) {
    LaunchSet* launch = referee::GetLaunchSet(master);
    if (!launch || !launch->mPlayer)
        return;
    if (CKEMSceneObject* node = referee::GetPlayerNode(master, launch->mPlayer))
        node->playAnimBlending(launch->mStanceAnim, 0.0f, 0.0f, true);
}

void CQMGMLaunchResultState::OnLeave(int) {
    gReplayMgr.stopReplay();
    gTimer.SetTimeScale(1.0f);
    gTimer.SetScaling(false);
    CHUDMgr::ShowLaunchResultHUD(false);
    if (g_NetMgr.IsConnected() && g_NetMgr.IsHost()) {
        CObjnet& message = g_NetMgr.GetOutgoingMessage();
        message.StartSignature(NETSIG_E_NEXT_STEP_SIGNAL_HOST);
        message.WriteUInt(static_cast<uint32_t>(g_NetMgr.GetOwnIndex()));
        message.End();
        g_NetMgr.TCPSendAction(message);
    }
    if (CHUDPlayerPanel* players = mOwner ? mOwner->GetPlayerPanel() : nullptr) {
        CHUDMgr::SetPlayerPicture(*players);
        CHUDMgr::SetMentalBar(*players);
        CHUDMgr::SetPhysiqueBar(*players);
        CHUDMgr::SetBalanceBar(*players);
        CHUDMgr::RefreshPlayerPanel(*players);
    }
}

void CQMGMLaunchResultState::ShowPigLaunchError() {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_ERROR);
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    CHudGameSource* source = mOwner ? referee::HudSource(mOwner->GetGameMaster()) : nullptr;
    const Team* playing = state && source ? state->GetTeam(source->GetSideToPlay()) : nullptr;
    const int left = kMaxTargetThrows - (playing ? playing->mFailedTargetThrows : 0);
    SetWindowTextOf("FramePigLaunchError/Text", FormatMatchText("PIG_LAUNCH_ERROR", left));
    gGUIMgr.ShowOverlay("QuickMatchInfo");
    ShowWindow("FramePigLaunchError", true);
    TestReport("frame %s", "FramePigLaunchError");
    gSceneMgr.Pause();
    if (mOwner)
        mOwner->SetCameraHold(true);
    mMayContinue = 0;
    mTargetChecksPending = 0;
    mFrameOpenedAt = gTimer.GetCurrentClock() ? gTimer.GetCurrentClock() : 1;
}

void CQMGMLaunchResultState::ShowPigIsOut() {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_ERROR);
    CHUDMgr::ShowLaunchResultHUD(false);
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    CHudGameSource* source = mOwner ? referee::HudSource(mOwner->GetGameMaster()) : nullptr;
    const int side = source ? source->GetSideToPlay() : 0;
    const Team* playing = state ? state->GetTeam(side) : nullptr;
    const Team* other = state ? state->GetTeam(1 - side) : nullptr;
    SetWindowTextOf("FramePigIsOut/Text",
                    PigIsOutText(TeamName(playing), playing ? playing->CountBallsLeft() : 0, TeamName(other),
                                 other ? other->CountBallsLeft() : 0));
    gGUIMgr.ShowOverlay("QuickMatchInfo");
    gSceneMgr.Manage();
    ShowWindow("FramePigIsOut", true);
    TestReport("frame %s", "FramePigIsOut");
    gSceneMgr.Pause();
    if (mOwner)
        mOwner->SetCameraHold(true);
    mMayContinue = 0;
    mTargetChecksPending = 0;
    mFrameOpenedAt = gTimer.GetCurrentClock() ? gTimer.GetCurrentClock() : 1;
}

void CQMGMLaunchResultState::CloseInfoFrames() {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    ShowWindow("FramePigLaunchError", false);
    ShowWindow("FramePigIsOut", false);
    gGUIMgr.HideOverlay();
    gSceneMgr.Resume();
    if (mOwner)
        mOwner->SetCameraHold(false);
    mMayContinue = 1;
    mTargetChecksPending = 0;
    mFrameOpenedAt = 0;
}

bool CQMGMLaunchResultState::StartReplay() {
    CGameMaster* master = mOwner ? mOwner->GetGameMaster() : nullptr;
    gReplayMgr.stopReplay();
    SetWindowTextOf("TextReplay", GetText("CLIC_TO_QUIT"));
    if (LaunchSet* launch = referee::GetLaunchSet(master))
        launch->SetAnimationTiming();
    referee::UpdateMatchCamera(master, kReplayCameraState);
    referee::HideBestBalls(master);
    SetNodeVisible(referee::GetTargetPointer(master), false);
    gReplayMgr.StartReplay(gTimer.GetTimeMs());
    gTimer.SetTimeScale(kReplayTimeScale);
    gTimer.SetScaling(true);
    return true;
}
