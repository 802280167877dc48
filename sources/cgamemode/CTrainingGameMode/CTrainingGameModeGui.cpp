// The training mode's GUI: the match layout and its bindings, the pause
// frame with the volumes and the quit confirmation, the end frame's buttons.
#include "CTrainingGameMode.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CHUDMatch.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CQMGMState.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <CTrainingGameMaster.h>
#include <Platform.h>

#include <CEGUI/InputEvent.h>
#include <CEGUI/Window.h>

#include <string>

namespace {

const char kLayout[] = "QuickMatchLayouts.layout";

template <class Handler>
void Subscribe(const char* window, const CEGUI::String& event, Handler handler, CTrainingGameMode* mode) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->subscribeEvent(event, CEGUI::Event::Subscriber(handler, mode));
}

void SetText(const char* window, const char* key) {
    SetWindowTextOf(window, GetText(key));
}

int SettingsInt(const char* name) {
    CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable("SETTINGS", name, false);
    return variable ? variable->GetInt() : 0;
}

}  // namespace

void CTrainingGameMode::BuildHUD() {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CTrainingGameMode::BuildHUD() => no \"%s\": the training plays without its windows", kLayout);
    // As a match: the overlay groups, when no menu built them.
    if (!CHUDMgr::sLaunchGroup)
        CHUDMgr::InitOverlayStates();
    CTrainingGameMaster* referee = GetReferee();
    mThrowPanel = new CHUDMatch();
    mThrowPanel->Refresh(referee);
    mRadar = new CHUDRadar();
    CHUDMgr::InitRadarPig(*mRadar);
    CHUDMgr::InitRadarBalls(*mRadar, referee);
    mPlayerPanel = new CHUDPlayerPanel();
    CHUDMgr::InitPlayerPanel(*mPlayerPanel, referee);
    mMatchInfos = new CHUDInfoPanel();
    mMatchInfos->mGameMaster = referee;
    CHUDMgr::RefreshMatchInfos(*mMatchInfos);
    // The top bar's score ("3 / 4", throws scored over throws made) says
    // what it counts; the first team's name has that place in a match.
    SetWindowTextOf("HUDInfosTeam1Name", GetText("TR_SCORE"));
    mHudReady = 1;

    static const char* const kHidden[] = {
        "FramePigLaunchError", "FrameResponse", "FrameButtons", "FrameHeadTail",      "FramePigIsOut",
        "FrameEndMatchAwards", "FrameEndMatch", "TextLeft",     "TextRight",          "FramePause",
        "FrameEndTournament",  "TextReplay",    "BtnReplay",    "TextContinue",       "TextBtnReplay",
        "BtnQuitTraining"};
    for (const char* window : kHidden)
        gGUIMgr.Show(window, false);

    static const char* const kTexts[][2] = {
        {"ButtonOK", "VALID"},           {"TextBtnReplay", "BTN_REPLAY"},   {"ButtonHead", "HEAD"},
        {"ButtonTail", "TAIL"},          {"ButtonValid", "VALID"},          {"BtnEndMatchReplay", "RETRY"},
        {"BtnEndMatchQuit", "QUIT"},     {"TextInfosPlayer", "TEXT_INFOS_PLAYER"},
        {"BtnAwardsChangeTeam", "CHG_TEAM"}, {"BtnAwardsChangeGameType", "CHG_GAME_TYPE"},
        {"BtnEndMatchChangeTeam", "BK_MENU"}, {"BtnEndMatchChangeGameType", "CHG_GAME_TYPE"},
        {"TextLeft", "LEFT"},            {"TextRight", "RIGHT"},            {"BtnPauseQuit", "QUIT"},
        {"BtnPauseBack", "BK"},          {"BtnPauseConfirm", "YES"},        {"BtnPauseCancel", "NO"},
        {"TextPauseQuit", "SURE_TO_QUIT_TRAIN"}, {"TextVolAmb", "NOISE"}, {"TextVolMus", "MUSIC"}};
    for (const auto& text : kTexts)
        SetText(text[0], text[1]);

    using W = CEGUI::Window;
    typedef CTrainingGameMode M;
    Subscribe("BtnPauseQuit", W::EventMouseClick, &M::OnBtnPauseQuit, this);
    Subscribe("BtnPauseBack", W::EventMouseClick, &M::OnBtnPauseBack, this);
    Subscribe("BtnPauseCancel", W::EventMouseClick, &M::OnBtnPauseCancel, this);
    Subscribe("BtnPauseConfirm", W::EventMouseClick, &M::OnBtnPauseConfirm, this);
    Subscribe("BtnAmbMoins", W::EventMouseClick, &M::OnBtnAmbMinus, this);
    Subscribe("BtnAmbPlus", W::EventMouseClick, &M::OnBtnAmbPlus, this);
    Subscribe("BtnMusicMoins", W::EventMouseClick, &M::OnBtnMusicMinus, this);
    Subscribe("BtnMusicPlus", W::EventMouseClick, &M::OnBtnMusicPlus, this);
    Subscribe("Root", W::EventMouseClick, &M::OnRootClick, this);
    Subscribe("Root", W::EventMouseButtonDown, &M::OnFreeCameraDown, this);
    Subscribe("Root", W::EventMouseButtonUp, &M::OnFreeCameraUp, this);
    Subscribe("Root", W::EventMouseMove, &M::OnFreeCameraMove, this);
    Subscribe("BtnQuitReplay", W::EventMouseButtonDown, &M::OnQuitReplayDown, this);
    Subscribe("BtnQuitReplay", W::EventMouseEntersArea, &M::OnQuitReplayEnter, this);
    Subscribe("BtnQuitReplay", W::EventMouseLeavesArea, &M::OnQuitReplayLeave, this);
    Subscribe("BtnEndMatchReplay", W::EventMouseButtonDown, &M::OnBtnEndReplay, this);
    Subscribe("BtnEndMatchChangeTeam", W::EventMouseButtonDown, &M::OnBtnEndChangeTeam, this);

    SetWindowTextOf("VolAmb", std::to_string(SettingsInt("sound_vol")));
    SetWindowTextOf("VolMus", std::to_string(SettingsInt("music_vol")));
}

bool CTrainingGameMode::OnBtnPauseQuit(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    // The question takes the pause frame's place (half over it, it cut
    // through its rows); a "no" brings the pause frame back.
    gGUIMgr.Show("FramePause", false);
    gGUIMgr.Show("FrameConfirmQuit", true);
    if (CEGUI::Window* confirm = gGUIMgr.GetWindow("FrameConfirmQuit"))
        confirm->moveToFront();
    return true;
}

bool CTrainingGameMode::OnBtnPauseBack(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    TogglePause();
    return true;
}

bool CTrainingGameMode::OnBtnPauseCancel(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    gGUIMgr.Show("FrameConfirmQuit", false);
    gGUIMgr.Show("FramePause", true);
    return true;
}

bool CTrainingGameMode::OnBtnPauseConfirm(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    if (IsFinished())
        return true;
    PlatLog("CTrainingGameMode::OnBtnPauseConfirm() => training quit: back to the main menu");
    for (const char* window : {"FramePause", "FrameConfirmQuit", "FrameButtons", "TextLeft", "TextRight"})
        gGUIMgr.Show(window, false);
    if (CHUDMgr::sPauseGroup)
        CHUDMgr::sPauseGroup->HideAll();
    CHUDMgr::ShowLoadingScreen(true);
    gSceneMgr.Resume();
    if (mThrowPanel)
        mThrowPanel->mLocked = false;
    mHiddenFrame = nullptr;
    mPaused = false;
    Finish(GAME_MODE_MAIN_MENU);
    return true;
}

bool CTrainingGameMode::OnBtnAmbPlus(const CEGUI::EventArgs&) {
    ChangeVolume(false, +1);
    return true;
}

bool CTrainingGameMode::OnBtnAmbMinus(const CEGUI::EventArgs&) {
    ChangeVolume(false, -1);
    return true;
}

bool CTrainingGameMode::OnBtnMusicPlus(const CEGUI::EventArgs&) {
    ChangeVolume(true, +1);
    return true;
}

bool CTrainingGameMode::OnBtnMusicMinus(const CEGUI::EventArgs&) {
    ChangeVolume(true, -1);
    return true;
}

bool CTrainingGameMode::OnBtnEndReplay(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (mMachine.GetCurrentState() == TRAINING_STATE_OUTRO)
        mOutroState.SetRetry();
    return true;
}

bool CTrainingGameMode::OnBtnEndChangeTeam(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    if (mMachine.GetCurrentState() == TRAINING_STATE_OUTRO)
        mOutroState.SetBack();
    return true;
}

bool CTrainingGameMode::OnQuitReplayDown(const CEGUI::EventArgs& args) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    if (mouse.button != CEGUI::LeftButton)
        return false;
    if (mMachine.GetCurrentState() == TRAINING_STATE_RESULT && !mPaused)
        mResultState.SetContinue();
    return true;
}

bool CTrainingGameMode::OnQuitReplayEnter(const CEGUI::EventArgs&) {
    SetOverlayMaterial("Hud_lancer_result_quit", "HUD/QuitFreeCamButton_S");
    return true;
}

bool CTrainingGameMode::OnQuitReplayLeave(const CEGUI::EventArgs&) {
    SetOverlayMaterial("Hud_lancer_result_quit", "HUD/QuitFreeCamButton");
    return true;
}

bool CTrainingGameMode::OnRootClick(const CEGUI::EventArgs& args) {
    if (mMachine.GetCurrentState() != TRAINING_STATE_RESULT)
        return false;
    return mResultState.OnRootClick(args);
}

bool CTrainingGameMode::OnFreeCameraDown(const CEGUI::EventArgs& args) {
    return mGameMaster ? mGameMaster->CaptureFreeCameraInput(args) : false;
}

bool CTrainingGameMode::OnFreeCameraUp(const CEGUI::EventArgs& args) {
    return mGameMaster ? mGameMaster->ReleaseFreeCameraInput(args) : false;
}

bool CTrainingGameMode::OnFreeCameraMove(const CEGUI::EventArgs& args) {
    return mGameMaster ? mGameMaster->MoveFreeCamera(args) : false;
}
