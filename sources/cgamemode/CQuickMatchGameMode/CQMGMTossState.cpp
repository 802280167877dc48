#include "CQMGMTossState.h"

#include "CQuickMatchGameMode.h"
#include "MatchText.h"
#include "QuickMatchSetup.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <HalTimer.h>
#include <MatchState.h>
#include <NetMessages.h>
#include <CObjnet.h>
#include <Platform.h>
#include <Team.h>
#include <TestReport.h>

#include <CEGUI/Window.h>

namespace {

const uint32_t kLanCloseDelayMs = 3000;
const char* const kRadarButtons[] = {"BtnCamPlus", "BtnCamMoins", "BtnLeft", "BtnRight"};
// A match nobody plays closes the answer frame by itself after this long.
const uint32_t kSpectatorCloseDelayMs = 3000;

std::string SideName(CQuickMatchGameMode* mode, int side) {
    MatchState* state = mode ? mode->GetMatchState() : nullptr;
    const Team* team = state ? state->GetTeam(side) : nullptr;
    if (!team)
        return "";
    return GetTeamScreenName(team);
}

}  // namespace

int CQMGMTossState::ReadPreDrawnToss() {
    CEnvironmentVariable* variable =
        gSceneMgr.GetEnvironment().GetVariable("QUICKMATCHPARAMS", "PILE_OU_FACE", true);
    if (!variable || !variable->IsNumber())
        return 0;
    const int value = ReadMatchInt(gSceneMgr.GetEnvironment(), "QUICKMATCHPARAMS", "PILE_OU_FACE");
    return (value == 1 || value == 2) ? value : 0;
}

void CQMGMTossState::OnEnter(int) {
    TestReport("state %s", "CQMGMTossState");
    gSceneMgr.Resume();
    if (mOwner)
        mOwner->SetCameraHold(false);
    mDone = 0;
    mStartingSide = -1;

    SetWindowTextOf("FrameResponseName", GetText("RESULT"));
    SetWindowTextOf("FrameHeadTail/MonText", SideName(mOwner, 0) + " " + GetText("TOSS_WELCOME"));
    SetWindowTextOf("FrameHeadTailName", GetText("HEAD_TAIL_TITLE"));
    ShowWindow("FrameHeadTail", true);
    gGUIMgr.ShowOverlay("QuickMatchHeadTail");
    // The coins above the frame, named like the buttons that call them.
    SetWindowTextOf("TextCoinHead", GetText("HEAD"));
    SetWindowTextOf("TextCoinTail", GetText("TAIL"));
    ShowCoinNames(true);
    // The radar is hidden under the toss: so are its click areas.
    for (const char* button : kRadarButtons)
        ShowWindow(button, false);

    using W = CEGUI::Window;
    if (W* head = gGUIMgr.GetWindow("ButtonHead"))
        head->subscribeEvent(W::EventMouseButtonDown, CEGUI::Event::Subscriber(&CQMGMTossState::OnButtonHead, this));
    if (W* tail = gGUIMgr.GetWindow("ButtonTail"))
        tail->subscribeEvent(W::EventMouseButtonDown, CEGUI::Event::Subscriber(&CQMGMTossState::OnButtonTail, this));

    if (g_NetMgr.IsConnected()) {
        mSyncTime = 0;
        g_NetMgr.SendNextStepSignal();
        SetWindowTextOf("ButtonValid", GetText("WAITING_SYNC"));
    } else if (W* valid = gGUIMgr.GetWindow("ButtonValid")) {
        valid->subscribeEvent(W::EventMouseButtonDown, CEGUI::Event::Subscriber(&CQMGMState::OnButtonValid,
                                                                              static_cast<CQMGMState*>(this)));
    }

    HideAllOverlays();
    gGUIMgr.ShowOverlay("QuickMatchHeadTail");

    int preDrawn = ReadPreDrawnToss();
    if (preDrawn == 0 && TestToss() >= 0)
        preDrawn = TestToss() + 1;
    if (preDrawn > 0)
        ShowResult(preDrawn - 1);
    else if (mOwner && mOwner->IsSpectatorMatch())
        DrawToss(0);   // nobody is there to call it
}

void CQMGMTossState::ShowResult(int startingSide, int face) {
    mStartingSide = startingSide;
    ShowCoinNames(false);
    mShownAt = gTimer.GetTimeMs();
    if (mOwner && mOwner->GetMatchState())
        mOwner->GetMatchState()->mNextStartingSide = startingSide;
    // A drawn toss says which face came up; a toss drawn before the match
    // (LAN, set-up) has no face to show.
    const std::string begins = SideName(mOwner, startingSide) + " " + GetText("TOSS_BEG");
    SetWindowTextOf("FrameResponse/Text",
                    face == 0 || face == 1
                        ? FormatMatchText("TOSS_RESULT", std::string(GetText(face == 0 ? "HEAD" : "TAIL"))) + "\n" + begins
                        : begins);
    ShowWindow("FrameResponse", true);
    ShowWindow("FrameHeadTail", false);
    gGUIMgr.HideOverlay();
    gGUIMgr.ShowOverlay("QuickMatchInfo");
    PlatLog("*** got windows managed (showed / hidden)");
    TestReport("toss %d", startingSide);
}

void CQMGMTossState::ShowCoinNames(bool show) {
    ShowWindow("TextCoinHead", show);
    ShowWindow("TextCoinTail", show);
}

bool CQMGMTossState::OnButtonHead(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    DrawToss(0);
    return true;
}

bool CQMGMTossState::OnButtonTail(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    DrawToss(1);
    return true;
}

void CQMGMTossState::DrawToss(int call) {
    PlatLog("*** starting toss");
    const int result = DrawTossResult(KemRand());
    PlatLog("*** jet ok (%s)", FormatMatchText("TOSS_RESULT", std::string(result == 0 ? "Pile." : "Face.")).c_str());
    TestReport("toss face %d call %d", result, call);
    ShowResult(call == result ? 0 : 1, result);
}

void CQMGMTossState::Update() {
    if (g_NetMgr.IsConnected()) {
        if (mSyncTime == 0) {
            if (g_NetMgr.TakeNextStep()) {
                PlatLog("UnQueueNextStepSignalFromClient(%d)=>  Ok queue is now=%d", g_NetMgr.GetPlayerCount(),
                        g_NetMgr.GetClientSignalQueue());
                mSyncTime = PlatGetTimeMs();
                if (mSyncTime == 0)
                    mSyncTime = 1;
            }
        } else if (PlatGetTimeMs() - mSyncTime > kLanCloseDelayMs) {
            gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
            ShowWindow("FrameResponse", false);
            gGUIMgr.HideOverlay();
            mDone = 1;
        }
    }
    // On a LAN the machines leave the toss together, as above.
    if (!mDone && mStartingSide >= 0 && mOwner && mOwner->IsSpectatorMatch() && !g_NetMgr.IsConnected() &&
        gTimer.GetTimeMs() - mShownAt >= kSpectatorCloseDelayMs) {
        ShowWindow("FrameResponse", false);
        gGUIMgr.HideOverlay();
        mDone = 1;
    }
    if (mDone) {
        ChangeTo(QM_STATE_MENE_INTRO);
        gSceneMgr.Resume();
        if (mOwner)
            mOwner->SetCameraHold(false);
    }
}

void CQMGMTossState::OnLeave(int) {
    for (const char* button : kRadarButtons)
        ShowWindow(button, true);
    gSceneMgr.Resume();
    if (!mOwner)
        return;
    mOwner->SetCameraHold(false);
    mOwner->HideSidePlayers("AN_STD_TIR");
}
