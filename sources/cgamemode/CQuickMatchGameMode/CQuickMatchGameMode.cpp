#include "CQuickMatchGameMode.h"

#include <LaunchOptions.h>
#include <CGUIMgr.h>
#include <CGameMaster.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CInputMgr.h>
#include <COverlayHolder.h>
#include <CNetMgr.h>
#include <GameDifficulty.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <MatchState.h>
#include <PlayerDB.h>
#include <Platform.h>
#include <Team.h>
#include <Terrain.h>
#include <TuningParameters.h>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";

// Input channels: DirectInput keyboard scan codes, then the mouse buttons.
const int kKeyBindings[][2] = {
    {0, 1},     // Escape: pause
    {1, 467},   // left mouse button: throw key
    {2, 28},    // Return
    {3, 78},    // numeric-pad plus
    {4, 74},    // numeric-pad minus
    {5, 201},   // Page Up
    {6, 209},   // Page Down
    {7, 203},   // left arrow: aiming guide turns left
    {8, 205},   // right arrow: aiming guide turns right
    {9, 208},   // down arrow: aiming guide shortens (cheat)
    {10, 200},  // up arrow: aiming guide lengthens (cheat)
    {11, 468},  // right mouse button
    {16, 57},   // Space: debug ball moves (cheat)
    {17, 469},  // middle mouse button: debug ball moves (cheat)
    {18, 44},   // Z: the human side wins (cheat)
    {19, 38},   // L: the human side loses (cheat)
};
const int kSkipIntroChannel = 49;   // N

bool IsPress(uint16_t value) {
    return CInputMgr::IsPressed(value);
}

}  // namespace

CQuickMatchGameMode::CQuickMatchGameMode(int previousModeValue)
    : CGameModeWithGameMaster(previousModeValue, GAME_MODE_DEMO_MENU),
      mDebounce(PlatGetTimeMs()),
      mNetListener(this) {
    if (HAL_Sound_CSource* music = gSoundMgr.GetMusic())
        if (music->IsPlaying())
            gSoundMgr.StopSource(music);
    CHUDMgr::ShowLoadingScreen(true);
    g_NetMgr.SetListener(&mNetListener);
    mLanMatch = g_NetMgr.InMatch();

    CEnvironment& env = gSceneMgr.GetEnvironment();
    ReadQuickMatchParams(env, mParams);
    mQuickMatch = mParams.mQuickMatch ? 1 : 0;
    mNbPlayers = mParams.mNbPlayers;
    mGameType = mParams.mGameType;
    mIsRegional = static_cast<unsigned char>(mParams.mIsRegional);
    mGameModeValue = mParams.mGameMode;
    if (!mQuickMatch) {
        ReadTournamentDescription();
        return;   // the tournament information builds the match
    }
    if (SetUpQuickMatch())
        CHUDMgr::ShowLoadingScreen(true);
}

bool CQuickMatchGameMode::SetUpQuickMatch() {
    CEnvironment& env = gSceneMgr.GetEnvironment();
    mSides[0] = FindSideTeam(mParams.mTeamA, mIsRegional != 0);
    mSides[1] = FindSideTeam(mParams.mTeamB, mIsRegional != 0);
    if (!mSides[0] || !mSides[1]) {
        PlatLog("CQuickMatchGameMode() => %s team %d (TeamA) or %d (TeamB) is not in the team table",
                mIsRegional ? "regional" : "national", mParams.mTeamA, mParams.mTeamB);
        RefuseMatch("a side has no team", "MATCH_REFUSED_TEAM");
        return false;
    }
    if (mSides[0] == mSides[1]) {
        PlatLog("CQuickMatchGameMode() => both sides are team %d", mParams.mTeamA);
        RefuseMatch("both sides are the same team", "MATCH_REFUSED_SAME_TEAM");
        return false;
    }
    FillControlers(mParams, mSides, g_NetMgr.IsConnected(), g_NetMgr.GetOwnIndex(), mSpareControlers);
    // Started for a LAN game whose session ended before this mode was built:
    // nobody would send the peers' throws.
    for (int i = 0; i < mParams.mNbPlayers && !g_NetMgr.IsConnected(); ++i)
        if (mParams.mControler[i] >= e_lan1 && mParams.mControler[i] <= e_lan6)
            mLanSessionGone = true;
    for (Team* team : mSides)
        team->mPlayers.clear();
    for (int side = 0; side < 2; ++side) {
        Team& team = *mSides[side];
        if (team.mComputer)
            PlayerDB::CollectPlayers(&team, mGameType, team.mPlayers);
        else
            ReadActorChoices(env, side, team, mGameType);
        if (!SideHoldsGameTypePlayers(team, side, mGameType, "CQuickMatchGameMode()")) {
            RefuseMatch("a side lacks players", "MATCH_REFUSED_PLAYERS");
            return false;
        }
    }
    LetComputerPlayOwnSides(mSides);
    mLocalPlayer = HasLocalPlayer(mParams, mSides, g_NetMgr.IsConnected());
    mMatchState = new MatchState(mSides[0], mSides[1], kTargetScore, mGameType, mParams.mLocation);
    return true;
}

void CQuickMatchGameMode::RefuseMatch(const char* why, const char* reasonKey) {
    PlatLog("CQuickMatchGameMode() => match refused (%s): back to the menu", why);
    mMatchRefused = true;
    mRefusalKey = reasonKey;
    for (Team*& side : mSides)
        side = nullptr;
}

CQuickMatchGameMode::~CQuickMatchGameMode() {
    ReleaseMatchObjects();
    g_NetMgr.SetListener(nullptr);
    if (mLanMatch) {
        // A LAN match is played at the host's difficulty: the player's own
        // comes back with the match's end, even a session lost halfway.
        g_NetMgr.EndMatch();
        g_CurrentDifficulty = g_SelectedDifficulty;
    }
    // The referee reads the match state until it goes: it goes first.
    DeleteGameMaster();
    ReleaseMatchSetup(mMatchState);
    mMatchState = nullptr;
}

bool CQuickMatchGameMode::RenewMatchState() {
    if (!mMatchState)
        return false;
    // A match state no mene has touched yet is already as new (its venue
    // freshly loaded): loading the venue again would only cost time.
    if (!mMatchState->mMene && mMatchState->mScoreA == 0 && mMatchState->mScoreB == 0)
        return true;
    MatchState* renewed = new MatchState(mMatchState->mTeamA, mMatchState->mTeamB, mMatchState->mTargetScore,
                                         mMatchState->mGameType, mMatchState->mTerrain->mStageId);
    ReleaseMatchSetup(mMatchState);
    mMatchState = renewed;
    return true;
}

bool CQuickMatchGameMode::IsSpectatorMatch() const {
    return mQuickMatch && !mLocalPlayer;
}

bool CQuickMatchGameMode::Init() {
    mMachine.Reset();
    BindKeys();
    mPauseRequested = 0;
    mHiddenFrame = nullptr;
    if (mMatchRefused) {
        RefuseToPlay(mRefusalKey);
        return true;
    }
    RegisterStates();
    if (mLanSessionGone) {
        PlatLog("CQuickMatchGameMode::Init() => LAN match without its session: network lost");
        mMachine.ChangeState(QM_STATE_NET_LOST);
    }
    return true;
}

void CQuickMatchGameMode::BindKeys() {
    for (const auto& binding : kKeyBindings)
        gInputMgr.SetKeyMapping(binding[0], binding[1]);
}

void CQuickMatchGameMode::RegisterStates() {
    CQMGMState* states[QM_STATE_COUNT] = {&mIntroState,         &mTossState,      &mMeneIntroState, &mLaunchState,
                                          &mLaunchResultState,  &mOutroState,     &mAwardsState,    &mLaunchMatchState,
                                          &mTournamentInfoState, &mNetLostState};
    for (CQMGMState* state : states)
        state->SetOwner(this);
    gInputMgr.SetKeyMapping(ACTION_SKIP_INTRO, kSkipIntroChannel);
    for (int id = 0; id < QM_STATE_COUNT; ++id)
        mMachine.AddState(id, states[id]);
    mMachine.ChangeState(QM_STATE_LAUNCH_MATCH);
}

bool CQuickMatchGameMode::AcceptPress() {
    return mDebounce.Accept(PlatGetTimeMs());
}

int CQuickMatchGameMode::CheatHumanSide() const {
    if (mMatchState->mTeamA && !mMatchState->mTeamA->mComputer)
        return 0;
    if (mMatchState->mTeamB && !mMatchState->mTeamB->mComputer)
        return 1;
    // The computer may play a gamer's side too (a gamer handed it over, or
    // an unattended run): the controllers still name the gamer's side.
    for (const ControlerEntry& entry : ControlerTable)
        if (entry.mType >= e_local1 && entry.mType <= e_lan6 && (entry.mTeam == 0 || entry.mTeam == 1))
            return entry.mTeam;
    return 1;
}

void CQuickMatchGameMode::Update() {
    if (mRefusalShown) {
        // Escape reads the refusal as the button does; there is no match to pause.
        if (IsPress(gInputMgr.GetAction(ACTION_PAUSE)) && AcceptPress() && !IsFinished())
            Finish(HomeMenuModeId());
        return;
    }
    if (ENABLE_CHEAT && mMatchState) {
        const bool wins = IsPress(gInputMgr.GetAction(ACTION_HUMAN_WINS));
        const bool loses = !wins && IsPress(gInputMgr.GetAction(ACTION_HUMAN_LOSES));
        if ((wins || loses) && AcceptPress()) {
            const uint32_t target = static_cast<uint32_t>(mMatchState->mTargetScore);
            if (wins == (CheatHumanSide() == 1))
                mMatchState->mScoreB = target;
            else
                mMatchState->mScoreA = target;
            const int current = mMachine.GetCurrentState();
            if (current != QM_STATE_OUTRO && current != QM_STATE_AWARDS)
                mMachine.ChangeState(QM_STATE_OUTRO);
        }
    }
    if (IsPress(gInputMgr.GetAction(ACTION_PAUSE)) && AcceptPress()) {
        // The quit question stands in the pause frame's place: the match is paused under it.
        mPauseRequested = IsWindowVisible("FramePause") || IsWindowVisible("FrameConfirmQuit") ? 0 : 1;
        ApplyPause();
    }
    // An ignored press never holds the match up.
    mMachine.Update();
}

void CQuickMatchGameMode::SetPanelPaused(bool) {
    // The throw panel has no paused state of its own: with the scene manager
    // paused the throw does not advance, whatever the panel shows.
}


void CQuickMatchGameMode::ApplyPause() {
    const int current = mMachine.GetCurrentState();
    if (current == QM_STATE_TOURNAMENT_INFO || current == QM_STATE_TOSS || current == QM_STATE_LAUNCH_RESULT ||
        current == QM_STATE_OUTRO || current == QM_STATE_AWARDS)
        return;
    static const char* const kCameraButtons[] = {"BtnCamPlus", "BtnCamMoins", "BtnRight", "BtnLeft"};
    PlatLog("CQuickMatchGameMode::ApplyPause() => %s", mPauseRequested ? "paused" : "resumed");
    if (mPauseRequested) {
        mHiddenFrame = nullptr;
        for (const char* button : kCameraButtons)
            ShowWindow(button, false);
        if (CHUDMgr::sPauseGroup)
            CHUDMgr::sPauseGroup->ShowAll();
        gSceneMgr.Pause();
        SetPanelPaused(true);
        ShowWindow("FramePause", true);
        ShowWindow("FrameConfirmQuit", false);
        static const char* const kFrames[] = {"FramePigLaunchError", "FrameResponse",       "FrameButtons",
                                              "FrameHeadTail",       "FrameEndMatchAwards", "FrameEndMatch",
                                              "FramePigIsOut"};
        for (const char* frame : kFrames) {
            if (!IsWindowVisible(frame))
                continue;
            mHiddenFrame = frame;
            const std::string name = frame;
            if (name == "FrameEndMatch" || name == "FramePigIsOut")
                break;   // remembered, but left on screen
            ShowWindow(frame, false);
            if (name == "FrameButtons") {
                ShowWindow("TextLeft", false);
                ShowWindow("TextRight", false);
            }
            break;
        }
        SetWindowTextOf("VolAmb", std::to_string(gSoundMgr.GetSoundVolume()));
        SetWindowTextOf("VolMus", std::to_string(gSoundMgr.GetMusicVolume()));
        return;
    }
    for (const char* button : kCameraButtons)
        ShowWindow(button, true);
    if (CHUDMgr::sPauseGroup)
        CHUDMgr::sPauseGroup->HideAll();
    gSceneMgr.Resume();
    SetPanelPaused(false);
    if (mHiddenFrame)
        ShowWindow(mHiddenFrame, true);
    if (current == QM_STATE_LAUNCH) {
        ShowWindow("TextLeft", true);
        ShowWindow("TextRight", true);
        ShowWindow("FrameButtons", true);
    } else if (current == QM_STATE_LAUNCH_RESULT) {
        ShowWindow("FrameButtons", false);
        ShowWindow("BtnReplay", true);
        EnableWindow("BtnReplay", true);
        ShowWindow("TextContinue", true);
        ShowWindow("TextBtnReplay", true);
    }
    ShowWindow("FramePause", false);
    ShowWindow("FrameConfirmQuit", false);
    mHiddenFrame = nullptr;
}

void CQuickMatchGameMode::ReleaseMatchObjects() {
    ReleaseThrowPanel();
    if (mRadar) {
        mRadar->mGameMaster = nullptr;
        CHUDMgr::UpdateRadarZoomButtons(*mRadar, 1.0f);
        CHUDMgr::HideRadarAxis(*mRadar);
        CHUDMgr::ReleaseRadar(*mRadar);
        delete mRadar;
        mRadar = nullptr;
    }
    if (mPlayerPanel) {
        *mPlayerPanel = CHUDPlayerPanel();
        delete mPlayerPanel;
        mPlayerPanel = nullptr;
    }
    if (mMatchInfos) {
        CHUDMgr::HideMatchInfos();
        delete mMatchInfos;
        mMatchInfos = nullptr;
    }
    mHudReady = 0;
    gGUIMgr.DestroyAllWindows();
}
