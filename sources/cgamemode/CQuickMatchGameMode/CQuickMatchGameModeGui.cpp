// The match mode's GUI: the match layout and its bindings, the pause menu,
// the end-of-match buttons and the match description written back for the
// menus.
#include "CQuickMatchGameMode.h"

#include <LaunchOptions.h>
#include <CGUIMgr.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <MatchState.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TestReport.h>
#include <TournamentSaveRecord.h>
#include <CEnvironment.h>
#include <GameDifficulty.h>

#include <CEGUI/InputEvent.h>
#include <CEGUI/Window.h>

#include <filesystem>
#include <system_error>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const char kLayout[] = "QuickMatchLayouts.layout";

CEnvironment& Env() {
    return gSceneMgr.GetEnvironment();
}

void WriteInt(const char* section, const char* name, int value) {
    if (CEnvironmentVariable* variable = Env().GetVariable(section, name, true)) {
        variable->FreeValue();
        variable->SetInt(value);
    }
}

void WriteString(const char* name, const std::string& text) {
    if (CEnvironmentVariable* variable = Env().GetVariable(kSection, name, true))
        variable->SetString(text.c_str());
}

template <class Handler>
void Subscribe(const char* window, const CEGUI::String& event, Handler handler, CQuickMatchGameMode* mode) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->subscribeEvent(event, CEGUI::Event::Subscriber(handler, mode));
}

void SetText(const char* window, const char* key) {
    SetWindowTextOf(window, GetText(key));
}

}  // namespace

void CQuickMatchGameMode::ResetMatch(bool buildHud) {
    ReleaseMatchObjects();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CQuickMatchGameMode::ResetMatch() => no \"%s\": the match plays without its windows", kLayout);
    if (buildHud) {
        // The menus build the HUD's overlay groups; a match started without
        // them (straight from the command line) builds its own, or its
        // windows would show without the pictures they lie on.
        if (!CHUDMgr::sLaunchGroup)
            CHUDMgr::InitOverlayStates();
        CreateThrowPanel();
        mRadar = new CHUDRadar();
        CHUDMgr::InitRadarPig(*mRadar);
        mPlayerPanel = new CHUDPlayerPanel();
        mMatchInfos = new CHUDInfoPanel();
        mHudReady = 1;
        CHudGameSource* source = HudSource();
        CHUDMgr::InitRadarBalls(*mRadar, source);
        CHUDMgr::InitPlayerPanel(*mPlayerPanel, source);
        mMatchInfos->mGameMaster = source;
        SetPanelPaused(false);
    }
    gSceneMgr.Resume();
    BindMatchWindows(buildHud);
}

void CQuickMatchGameMode::BindMatchWindows(bool buildHud) {
    static const char* const kHiddenAtReset[] = {
        "FramePigLaunchError", "FrameResponse",      "FrameButtons",      "TextLeft",      "TextRight",
        "FrameHeadTail",       "FramePigIsOut",      "TextReplay",        "BtnReplay",     "TextContinue",
        "TextBtnReplay",       "TextInfosPlayer",    "Team1Name",         "Team2Name",     "HUDInfosTeam1Name",
        "HUDInfosTeam2Name",   "textScore",          "CurrentGamer",      "BtnQuitTraining", "FramePause",
        "FrameEndMatch",       "FrameEndMatchAwards", "FrameEndTournament", "BtnQuitReplay"};
    for (const char* window : kHiddenAtReset)
        ShowWindow(window, false);
    // A tournament's end frame hid the radar's click areas.
    for (const char* window : {"BtnLeft", "BtnRight", "BtnCamPlus", "BtnCamMoins"})
        ShowWindow(window, true);

    static const char* const kTexts[][2] = {
        {"ButtonOK", "VALID"},           {"FramePigName", "BAD_LAUNCH"},
        {"FrameResponseName", "RESULT"}, {"TextLeft", "LEFT"},
        {"TextRight", "RIGHT"},          {"ButtonHead", "HEAD"},
        {"ButtonTail", "TAIL"},          {"ButtonValid", "VALID"},
        {"ButtonValidPigOut", "CTN"},    {"TextReplay", "CLIC_TO_CTN"},
        {"TextContinue", "CTN"},         {"TextBtnReplay", "BTN_REPLAY"},
        {"TextInfosPlayer", "TEXT_INFOS_PLAYER"}, {"BtnQuitTraining", "QUIT"},
        {"BtnPauseQuit", "QUIT"},        {"BtnPauseBack", "BK"},
        {"TextPauseQuit", "SURE_TO_QUIT_PARTY"}, {"BtnPauseConfirm", "YES"},
        {"BtnPauseCancel", "NO"},        {"TextVolAmb", "NOISE"},
        {"TextVolMus", "MUSIC"},         {"BtnEndMatchReplay", "BK_MENU"},
        {"BtnEndMatchQuit", "QUIT"},     {"BtnEndMatchChangeTeam", "CHG_TEAM"},
        {"BtnEndMatchChangeGameType", "CHG_GAME_TYPE"}, {"BtnAwardsEndMatch", "BK_MENU"},
        {"BtnAwardsChangeTeam", "CHG_TEAM"}, {"BtnAwardsChangeGameType", "CHG_GAME_TYPE"},
        {"BtnEndTournamentReplay", "RETRY"}, {"BtnEndTournamentQuit", "BK_MENU"},
        {"BtnEndTournamentChangeTeam", "CHG_TEAM"}, {"BtnEndTournamentChangeGameType", "CHG_GAME_TYPE"},
        {"TextEndTournament", "END_TOURNAMENT"}};
    for (const auto& text : kTexts)
        SetText(text[0], text[1]);

    using W = CEGUI::Window;
    typedef CQuickMatchGameMode M;
    Subscribe("BtnPauseQuit", W::EventMouseClick, &M::OnBtnPauseQuit, this);
    Subscribe("BtnPauseBack", W::EventMouseClick, &M::OnBtnPauseBack, this);
    Subscribe("BtnPauseConfirm", W::EventMouseClick, &M::QuitToMenu, this);
    Subscribe("BtnPauseCancel", W::EventMouseClick, &M::OnBtnPauseCancel, this);
    Subscribe("BtnAmbPlus", W::EventMouseClick, &M::OnBtnAmbPlus, this);
    Subscribe("BtnAmbMoins", W::EventMouseClick, &M::OnBtnAmbMinus, this);
    Subscribe("BtnMusicPlus", W::EventMouseClick, &M::OnBtnMusicPlus, this);
    Subscribe("BtnMusicMoins", W::EventMouseClick, &M::OnBtnMusicMinus, this);
    Subscribe("BtnReplay", W::EventMouseClick, &M::OnBtnReplay, this);
    Subscribe("BtnReplay", W::EventMouseEntersArea, &M::OnReplayEnter, this);
    Subscribe("BtnReplay", W::EventMouseLeavesArea, &M::OnReplayLeave, this);
    Subscribe("BtnQuitReplay", W::EventMouseButtonDown, &M::OnRootClick, this);
    Subscribe("BtnQuitReplay", W::EventMouseEntersArea, &M::OnQuitReplayEnter, this);
    Subscribe("BtnQuitReplay", W::EventMouseLeavesArea, &M::OnQuitReplayLeave, this);
    Subscribe("ButtonOK", W::EventMouseButtonDown, &M::OnBtnOkPigLaunchError, this);
    Subscribe("ButtonValidPigOut", W::EventMouseButtonDown, &M::OnBtnValidPigOut, this);
    Subscribe("Root", W::EventMouseButtonDown, &M::OnRootClick, this);
    Subscribe("BtnAwardsReplay", W::EventMouseButtonDown, &M::OnBtnReplayMatch, this);
    Subscribe("BtnAwardsEndMatch", W::EventMouseButtonDown, &M::QuitToMenu, this);
    Subscribe("BtnAwardsChangeTeam", W::EventMouseButtonDown, &M::ChangeTeam, this);
    Subscribe("BtnAwardsChangeGameType", W::EventMouseButtonDown, &M::ChangeGameType, this);
    Subscribe("BtnEndMatchReplay", W::EventMouseButtonDown, &M::OnBtnReplayMatch, this);
    Subscribe("BtnEndMatchQuit", W::EventMouseButtonDown, &M::QuitToMenu, this);
    Subscribe("BtnEndMatchChangeTeam", W::EventMouseButtonDown, &M::ChangeTeam, this);
    Subscribe("BtnEndMatchChangeGameType", W::EventMouseButtonDown, &M::ChangeGameType, this);
    Subscribe("BtnEndTournamentReplay", W::EventMouseButtonDown, &M::OnBtnReplayMatch, this);
    Subscribe("BtnEndTournamentQuit", W::EventMouseButtonDown, &M::QuitToMenu, this);
    Subscribe("BtnEndTournamentChangeTeam", W::EventMouseButtonDown, &M::ChangeTeam, this);
    Subscribe("BtnEndTournamentChangeGameType", W::EventMouseButtonDown, &M::ChangeGameType, this);
    if (buildHud) {
        Subscribe("Root", W::EventMouseButtonDown, &M::OnFreeCameraDown, this);
        Subscribe("Root", W::EventMouseButtonUp, &M::OnFreeCameraUp, this);
        Subscribe("Root", W::EventMouseMove, &M::OnFreeCameraMove, this);
    }
}

bool CQuickMatchGameMode::OnRootClick(const CEGUI::EventArgs& args) {
    mPauseRequested = 0;
    const auto& mouse = static_cast<const CEGUI::MouseEventArgs&>(args);
    if (mouse.button != CEGUI::LeftButton)
        return false;
    if (mMachine.GetCurrentState() == QM_STATE_LAUNCH_RESULT)
        mLaunchResultState.SetContinueClicked();
    return true;
}

bool CQuickMatchGameMode::OnBtnValidPigOut(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (mMachine.GetCurrentState() == QM_STATE_LAUNCH_RESULT)
        mLaunchResultState.CloseInfoFrames();
    return true;
}

bool CQuickMatchGameMode::OnBtnOkPigLaunchError(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (mMachine.GetCurrentState() == QM_STATE_LAUNCH_RESULT)
        mLaunchResultState.CloseInfoFrames();
    if (mMatchInfos)
        CHUDMgr::RefreshMatchInfos(*mMatchInfos);
    return true;
}

bool CQuickMatchGameMode::OnBtnReplay(const CEGUI::EventArgs&) {
    if (mMachine.GetCurrentState() == QM_STATE_LAUNCH_RESULT)
        mLaunchResultState.StartReplay();
    return true;
}

bool CQuickMatchGameMode::OnReplayEnter(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    mReplayHovered = 1;
    SetText("TextReplay", "CLIC_TO_REPLAY");
    return true;
}

bool CQuickMatchGameMode::OnReplayLeave(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    mReplayHovered = 0;
    SetText("TextReplay", "CLIC_TO_CTN");
    return true;
}

bool CQuickMatchGameMode::OnQuitReplayEnter(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    SetOverlayMaterial("Hud_lancer_result_quit", "HUD/QuitFreeCamButton_S");
    return true;
}

bool CQuickMatchGameMode::OnQuitReplayLeave(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    SetOverlayMaterial("Hud_lancer_result_quit", "HUD/QuitFreeCamButton");
    return true;
}

bool CQuickMatchGameMode::OnBtnPauseQuit(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    // The question takes the pause frame's place (half over it, it cut
    // through its rows); a "no" brings the pause frame back.
    ShowWindow("FramePause", false);
    ShowWindow("FrameConfirmQuit", true);
    if (CEGUI::Window* confirm = gGUIMgr.GetWindow("FrameConfirmQuit"))
        confirm->moveToFront();
    return true;
}

bool CQuickMatchGameMode::OnBtnPauseCancel(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    ShowWindow("FrameConfirmQuit", false);
    ShowWindow("FramePause", true);
    return true;
}

bool CQuickMatchGameMode::OnBtnPauseBack(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_CANCEL);
    mPauseRequested = 0;
    ApplyPause();
    return true;
}

bool CQuickMatchGameMode::OnBtnAmbPlus(const CEGUI::EventArgs&) {
    ChangeVolume(false, +1);
    return true;
}

bool CQuickMatchGameMode::OnBtnAmbMinus(const CEGUI::EventArgs&) {
    ChangeVolume(false, -1);
    return true;
}

bool CQuickMatchGameMode::OnBtnMusicPlus(const CEGUI::EventArgs&) {
    ChangeVolume(true, +1);
    return true;
}

bool CQuickMatchGameMode::OnBtnMusicMinus(const CEGUI::EventArgs&) {
    ChangeVolume(true, -1);
    return true;
}

bool CQuickMatchGameMode::QuitToMenu(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (!AcceptPress()) {
        PlatLog("CQuickMatchGameMode::QuitToMenu() => ignored: too soon after the last press");
        return false;
    }
    const bool fromPause = mPauseRequested != 0;
    PlatLog("CQuickMatchGameMode::QuitToMenu() => %s", fromPause ? "from the pause menu" : "from an end frame");
    mPauseRequested = 0;
    static const char* const kFrames[] = {"FrameEndMatch", "FrameEndMatchAwards", "FrameEndTournament",
                                          "FramePause",    "FrameConfirmQuit",    "TextInfosPlayer",
                                          "FrameButtons",  "TextLeft",            "TextRight"};
    for (const char* frame : kFrames)
        ShowWindow(frame, false);
    if (CHUDMgr::sPauseGroup)
        CHUDMgr::sPauseGroup->HideAll();
    gSceneMgr.Resume();
    SetPanelPaused(false);
    mHiddenFrame = nullptr;
    if (mMatchInfos)
        CHUDMgr::HideMatchInfos();
    if (mQuickMatch && fromPause && mMatchState &&
        mMatchState->mScoreA < static_cast<uint32_t>(mMatchState->mTargetScore) &&
        mMatchState->mScoreB < static_cast<uint32_t>(mMatchState->mTargetScore)) {
        // The quitting player forfeits: the match ends in the outro.
        const uint32_t target = static_cast<uint32_t>(mMatchState->mTargetScore);
        if (mMatchState->mTeamA && mMatchState->mTeamA->mComputer)
            mMatchState->mScoreA = target;
        else
            mMatchState->mScoreB = target;
        gSceneMgr.Resume();
        mMachine.ChangeState(QM_STATE_OUTRO);
        return true;
    }
    CHUDMgr::ShowLoadingScreen(true);
    Finish(HomeMenuModeId());
    return true;
}

bool CQuickMatchGameMode::OnBtnReplayMatch(const CEGUI::EventArgs&) {
    mPauseRequested = 0;
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (!AcceptPress())
        return false;
    ShowWindow("FramePause", false);
    switch (mMachine.GetCurrentState()) {
    case QM_STATE_OUTRO:
        mOutroState.OnContinue();
        break;
    case QM_STATE_AWARDS:
        mAwardsState.OnContinue();
        break;
    case QM_STATE_TOURNAMENT_INFO:
        gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
        mTournamentInfoState.SetRetry();
        break;
    default:
        break;
    }
    gSceneMgr.Resume();
    SetPanelPaused(false);
    return true;
}

bool CQuickMatchGameMode::LeaveForMenus(bool changeGameType) {
    mPauseRequested = 0;
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (!AcceptPress())
        return false;
    const int tournamentType = ReadMatchInt(Env(), kSection, "tournamentType");
    Env().GetVariable(kSection, "back_in_state", true);
    StoreMatchParams();
    ShowWindow("FrameEndMatchAwards", false);
    ShowWindow("FrameEndMatch", false);
    ShowWindow("FrameEndTournament", false);
    gGUIMgr.HideOverlay();
    CHUDMgr::ShowLoadingScreen(true);
    gSceneMgr.Resume();
    // By tournament type: gamer teams (-1 unchanged), screen to reopen, mode.
    struct Route {
        int gamers;
        int backInState;
        int mode;
    };
    static const Route kGameType[] = {{-2, 2, GAME_MODE_QUICK_MATCH_MENUS},
                                      {1, 2, GAME_MODE_CHAMPIONSHIP_MENUS},
                                      {-2, 2, GAME_MODE_CUP_MENUS},
                                      {1, 2, GAME_MODE_CAREER_MENUS}};
    static const Route kTeam[] = {{-1, 4, GAME_MODE_QUICK_MATCH_MENUS},
                                  {1, 3, GAME_MODE_CHAMPIONSHIP_MENUS},
                                  {-1, 3, GAME_MODE_CUP_MENUS},
                                  {1, 2, GAME_MODE_CAREER_MENUS}};
    if (tournamentType < 1 || tournamentType > 4) {
        PlatLog("CQuickMatchGameMode::%s() => tournamentType %d is not 1..4: no menu to go back to",
                changeGameType ? "ChangeGameType" : "ChangeTeam", tournamentType);
        gSceneMgr.Resume();
        SetPanelPaused(false);
        return false;
    }
    const Route& route = (changeGameType ? kGameType : kTeam)[tournamentType - 1];
    if (route.gamers == -2)
        WriteInt(kSection, "mNbGamersTeams", mNbPlayers);
    else if (route.gamers >= 0)
        WriteInt(kSection, "mNbGamersTeams", route.gamers);
    WriteInt(kSection, "back_in_state", route.backInState);
    // Another team or game type is a new career (its slot chosen on the
    // save screen), not the next stage of this one in its slot.
    if (tournamentType == 4)
        WriteInt(kSection, "backFromMatch", 0);
    Finish(route.mode);
    return true;
}

bool CQuickMatchGameMode::ChangeGameType(const CEGUI::EventArgs&) {
    return LeaveForMenus(true);
}

bool CQuickMatchGameMode::ChangeTeam(const CEGUI::EventArgs&) {
    return LeaveForMenus(false);
}

void CQuickMatchGameMode::StoreMatchParams() {
    char name[32];
    WriteInt("GAMEPARAMS", "QuickMatch", mQuickMatch);
    WriteInt(kSection, "GameType", mGameType);
    WriteInt(kSection, "IsRegional", mIsRegional);
    WriteInt(kSection, "NbPlayers", mNbPlayers);
    WriteInt(kSection, "mNbPlayersPerTeam", mGameType);
    WriteInt(kSection, "TeamBeforeNational", mTeamBeforeNational);
    for (int i = 1; i <= mNbPlayers; ++i) {
        PlatFormat(name, sizeof(name), "Player%iTeam", i);
        WriteInt(kSection, name, mParams.mPlayerTeam[i - 1]);
        PlatFormat(name, sizeof(name), "Player%iName", i);
        WriteString(name, mParams.mPlayerName[i - 1]);
    }
    if (mQuickMatch) {
        WriteInt(kSection, "GameMode", mGameModeValue);
        for (int side = 0; side < 2; ++side) {
            const Team* team = mSides[side];
            PlatFormat(name, sizeof(name), "Team_%i", side);
            WriteInt(kSection, name, team ? (mIsRegional ? team->mCountryId : team->mRegionId) : 0);
        }
        WriteInt(kSection, "isTeamAAi", mSides[0] && mSides[0]->mComputer ? 1 : 0);
        WriteInt(kSection, "isTeamBAi", mSides[1] && mSides[1]->mComputer ? 1 : 0);
        for (int i = 1; i <= mNbPlayers; ++i) {
            PlatFormat(name, sizeof(name), "CONTROLER_%i", i);
            WriteInt(kSection, name, i);
        }
        return;
    }
    for (size_t t = 0; t < mTeamList.size(); ++t) {
        PlatFormat(name, sizeof(name), "Team_%i", static_cast<int>(t));
        WriteInt(kSection, name, mTeamList[t]);
        for (int j = 0; j < mGameType; ++j) {
            PlatFormat(name, sizeof(name), "Team_%i_actor_%i", static_cast<int>(t), j);
            const bool has = t < mActorLists.size() && static_cast<size_t>(j) < mActorLists[t].size();
            WriteInt(kSection, name, has ? mActorLists[t][static_cast<size_t>(j)] : -1);
        }
    }
}

void CQuickMatchGameMode::ReturnToCareer(bool lastStep) {
    WriteInt(kSection, "backFromMatch", 1);
    StoreMatchParams();
    // After the world stage (between nations) the career goes on with the
    // gamer's region.
    if (!mIsRegional && mTeamBeforeNational > 0)
        WriteInt(kSection, "Team_0", mTeamBeforeNational);
    // The stage comes from the tournament itself: a career resumed from its
    // save has no stage of the menus behind it.
    int stage = 1;
    if (g_pCurrentTournament)
        stage = NextCareerStage(*g_pCurrentTournament);
    if (lastStep)
        stage = 3;
    WriteInt(kSection, "careerStep", stage);
    // The next stage plays at this one's difficulty, whatever the options
    // say by then.
    KeepCareerDifficulty(Env(), g_CurrentDifficulty);
    Finish(GAME_MODE_CAREER_MENUS);
}

bool CQuickMatchGameMode::SaveTournament(const std::string& path) {
    if (!mCurrentSaveSlot) {
        PlatLog("CQuickMatchGameMode::SaveTournament(\"%s\") => no current save slot; nothing saved", path.c_str());
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(PlatFixPath(path)).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            PlatLog("CQuickMatchGameMode::SaveTournament(\"%s\") => cannot create the folder \"%s\": %s",
                    path.c_str(), folder.string().c_str(), error.message().c_str());
            return false;
        }
    }
    SaveMatchDescription match;
    match.mDifficulty = static_cast<uint32_t>(g_CurrentDifficulty);
    match.mGameType = mGameType;
    match.mNbPlayers = mNbPlayers;
    match.mIsRegional = mIsRegional;
    match.mTeamBeforeNational = mTeamBeforeNational;
    if (mParams.mLocation >= 0 && mParams.mLocation < SAVED_VENUE_COUNT)
        match.mVenue = mParams.mLocation;
    for (size_t t = 0; t < mTeamList.size(); ++t) {
        SavedTeamLineUp lineUp;
        lineUp.mTeamId = mTeamList[t];
        if (t < mActorLists.size())
            lineUp.mActors = mActorLists[t];
        match.mTeams.push_back(lineUp);
    }
    for (int i = 0; i < mNbPlayers; ++i) {
        SavedHumanPlayer player;
        player.mSide = mParams.mPlayerTeam[i];
        player.mName = mParams.mPlayerName[i];
        match.mPlayers.push_back(player);
    }
    return SaveTournamentToFile(path, *mCurrentSaveSlot, match);
}

void CQuickMatchGameMode::RefuseToPlay(const char* reasonKey) {
    if (mRefusalShown || IsFinished())
        return;
    CHUDMgr::ShowLoadingScreen(false);
    CEGUI::Window* frame = gGUIMgr.LoadLayout(kLayout) ? gGUIMgr.GetWindow("FrameResponse") : nullptr;
    CEGUI::Window* button = frame ? gGUIMgr.GetWindow("FrameResponse/ButtonValid") : nullptr;
    if (!frame || !button || !frame->getParent()) {
        // Nowhere to say it: back at once, the log holds the reason.
        Finish(HomeMenuModeId());
        return;
    }
    // The match sheet shows nothing else: no match runs behind the message.
    CEGUI::Window* sheet = frame->getParent();
    for (size_t i = 0; i < sheet->getChildCount(); ++i)
        sheet->getChildAtIdx(i)->hide();
    SetWindowTextOf("FrameResponseName", GetText("MATCH_REFUSED"));
    SetWindowTextOf("FrameResponse/Text", GetText(reasonKey ? reasonKey : "MATCH_REFUSED_TEAM"));
    button->setText(GetText("BK_MENU"));
    button->show();
    button->subscribeEvent(CEGUI::Window::EventMouseClick,
                           CEGUI::Event::Subscriber(&CQuickMatchGameMode::OnRefusalSeen, this));
    frame->show();
    frame->moveToFront();
    mRefusalShown = true;
    PlatLog("CQuickMatchGameMode => the match cannot be played (%s): said on screen", reasonKey ? reasonKey : "?");
    TestReport("refused %s", reasonKey ? reasonKey : "?");
}

bool CQuickMatchGameMode::OnRefusalSeen(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    if (!IsFinished()) {
        CHUDMgr::ShowLoadingScreen(true);
        Finish(HomeMenuModeId());
    }
    return true;
}
