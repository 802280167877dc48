// Game mode 0: one match (quick match, LAN match, or one match of a
// championship, cup or career) on a venue. The constructor reads the match
// description from the settings store, fills the controllers table and builds
// the match state; the match then runs as a machine of ten states. The mode
// owns the match layout "QuickMatchLayouts.layout" and its handlers, the pause
// menu, the debug keys, the LAN listener and the tournament save.
#pragma once

#include "CNetMgrQuickMatchIF.h"
#include "CQMGMAwardsState.h"
#include "CQMGMIntroState.h"
#include "CQMGMLaunchMatchState.h"
#include "CQMGMLaunchResultState.h"
#include "CQMGMLaunchState.h"
#include "CQMGMMeneIntroState.h"
#include "CQMGMNetLostState.h"
#include "CQMGMOutroState.h"
#include "CQMGMTossState.h"
#include "CQMGMTournamentInfoState.h"
#include "PressDebounce.h"
#include "QuickMatchSetup.h"

#include <CGameModeWithGameMaster.h>
#include <CKEMStateMachine.h>
#include <ControlerTable.h>

#include <cstdint>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
}
class CHUDMatch;
class CHudGameSource;
struct CHUDInfoPanel;
struct CHUDPlayerPanel;
struct CHUDRadar;
struct SaveSlot;
class Team;
struct TournamentMatch;

// Ids of the match machine's states.
enum QuickMatchStateId {
    QM_STATE_INTRO = 0,
    QM_STATE_TOSS = 1,
    QM_STATE_MENE_INTRO = 2,
    QM_STATE_LAUNCH = 3,
    QM_STATE_LAUNCH_RESULT = 4,
    QM_STATE_OUTRO = 5,
    QM_STATE_AWARDS = 6,
    QM_STATE_LAUNCH_MATCH = 7,
    QM_STATE_TOURNAMENT_INFO = 8,
    QM_STATE_NET_LOST = 9,
    QM_STATE_COUNT = 10,
};

class CQuickMatchGameMode : public CGameModeWithGameMaster {
public:
    // The input actions this mode binds (action -> input channel).
    enum Action {
        ACTION_PAUSE = 0,        // Escape
        ACTION_THROW = 1,        // left mouse button
        ACTION_HUMAN_WINS = 18,  // Z, with "ENABLE_CHEAT"
        ACTION_HUMAN_LOSES = 19, // L, with "ENABLE_CHEAT"
        ACTION_SKIP_INTRO = 25,  // N, with "ENABLE_CHEAT"
    };
    static constexpr int kTargetScore = 10;

    explicit CQuickMatchGameMode(int previousModeValue);
    ~CQuickMatchGameMode() override;

    bool Init() override;
    void Update() override;
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }
    // Rebuilds the match GUI; with buildHud also the per-match HUD blocks.
    void ResetMatch(bool buildHud) override;

    void RegisterStates();
    void ReleaseMatchObjects();
    void StoreMatchParams();
    void ReturnToCareer(bool lastStep);
    // The side the win and lose cheat keys play for: a gamer's side (B when
    // none is known).
    int CheatHumanSide() const;
    // Saves the current tournament into `path`, creating its folder when
    // missing. False (logged) without a current save slot or when the save
    // could not be written.
    bool SaveTournament(const std::string& path);
    void ApplyPause();
    // Asks for the pause menu (or leaves it) and applies that.
    void RequestPause(bool pause) {
        mPauseRequested = pause ? 1 : 0;
        ApplyPause();
    }

    // GUI handlers.
    bool OnRootClick(const CEGUI::EventArgs& args);
    bool OnBtnValidPigOut(const CEGUI::EventArgs& args);
    bool OnBtnOkPigLaunchError(const CEGUI::EventArgs& args);
    bool OnBtnReplay(const CEGUI::EventArgs& args);
    bool OnReplayEnter(const CEGUI::EventArgs& args);
    bool OnReplayLeave(const CEGUI::EventArgs& args);
    bool OnQuitReplayEnter(const CEGUI::EventArgs& args);
    bool OnQuitReplayLeave(const CEGUI::EventArgs& args);
    bool OnBtnPauseQuit(const CEGUI::EventArgs& args);
    bool OnBtnPauseCancel(const CEGUI::EventArgs& args);
    bool OnBtnPauseBack(const CEGUI::EventArgs& args);
    bool OnBtnAmbPlus(const CEGUI::EventArgs& args);
    bool OnBtnAmbMinus(const CEGUI::EventArgs& args);
    bool OnBtnMusicPlus(const CEGUI::EventArgs& args);
    bool OnBtnMusicMinus(const CEGUI::EventArgs& args);
    bool QuitToMenu(const CEGUI::EventArgs& args);
    bool OnBtnReplayMatch(const CEGUI::EventArgs& args);
    bool ChangeGameType(const CEGUI::EventArgs& args);
    bool ChangeTeam(const CEGUI::EventArgs& args);
    bool OnFreeCameraDown(const CEGUI::EventArgs& args);
    bool OnFreeCameraUp(const CEGUI::EventArgs& args);
    bool OnFreeCameraMove(const CEGUI::EventArgs& args);

    // The match machine and its states' shared view of the mode.
    CKEMStateMachine& GetMachine() { return mMachine; }
    int GetCurrentStateId() const { return mMachine.GetCurrentState(); }
    CKEMState* GetStateObject(int id) { return mMachine.GetState(id); }
    void SetGameMaster(CGameMaster* referee) { mGameMaster = referee; }
    void SetMatchState(MatchState* state) { mMatchState = state; }
    // The match state is created here (with the same construction values when
    // one exists) and the old one released.
    bool RenewMatchState();
    // The match could not be set up (unknown team, no players): refused, the
    // mode says why and goes back to the menu the player came from.
    bool IsMatchRefused() const { return mMatchRefused; }
    // Says on screen why the match cannot be played (the language key of
    // the reason) and waits for the player's click to go back to the menu;
    // without a screen to say it on, goes back at once.
    void RefuseToPlay(const char* reasonKey);
    // The refusal is on screen, waiting for the click.
    bool IsRefusalShown() const { return mRefusalShown; }
    bool OnRefusalSeen(const CEGUI::EventArgs& args);
    // A press or click that counts (200 ms window on the monotonic clock).
    bool AcceptPress();

    CHUDMatch* GetThrowPanel() const { return mThrowPanel; }
    CHUDRadar* GetRadar() const { return mRadar; }
    CHUDPlayerPanel* GetPlayerPanel() const { return mPlayerPanel; }
    CHUDInfoPanel* GetMatchInfos() const { return mMatchInfos; }
    // The referee as the head-up display reads it; null without a referee.
    CHudGameSource* HudSource() const;
    // The match camera's hold flag (set while a state pauses the scene).
    void SetCameraHold(bool hold);
    // Every player of both sides with a model: hidden and unregistered from
    // the scripted nodes; with `standAnim`, that animation is set first.
    void HideSidePlayers(const char* standAnim);
    // The test channel's lines at the end of a mene: its number, the side
    // that scored and its points, then both totals.
    void ReportMeneEnd();
    void ResetMeneCount() { mMenesPlayed = 0; }
    // The throw panel's flags, kept safe when there is no panel.
    void SetPanelPaused(bool paused);
    void SetPanelLocked(bool locked);

    bool IsQuickMatch() const { return mQuickMatch != 0; }
    // Nobody on this machine plays: a quick match of two computer sides
    // offline, or a LAN match whose sides of this machine the computer
    // plays. Its waits for a click end by themselves and it ends on the
    // demo menu.
    bool IsSpectatorMatch() const;
    bool IsRegional() const { return mIsRegional != 0; }
    int GetGameType() const { return mGameType; }
    int GetNbPlayers() const { return mNbPlayers; }
    bool IsPauseRequested() const { return mPauseRequested != 0; }
    bool IsReplayHovered() const { return mReplayHovered != 0; }
    const QuickMatchParams& GetParams() const { return mParams; }
    Team* GetSideTeam(int side) const { return (side == 0 || side == 1) ? mSides[side] : nullptr; }
    const ControlerEntry& GetSpareControler(int side) const { return mSpareControlers[side ? 1 : 0]; }

    // Gamer i (0..5) of a tournament: the id of the team he plays in (a
    // country id or a region id, as the list of teams holds it), -1 for none;
    // and his name.
    int GetGamerTeamId(int i) const;
    std::string GetGamerName(int i) const;
    // Sets up a tournament match between the match's two teams (the first
    // is side A) on the venue of the description: players, controllers,
    // match state and referee. False (logged) when a side has no players or
    // the venue cannot hold the match.
    bool StartTournamentMatch(const TournamentMatch& match);

    // Tournament matches (filled by the tournament-information state).
    std::vector<uint16_t> mTeamList;
    std::vector<std::vector<uint16_t>> mActorLists;
    int mTeamBeforeNational = -1;
    SaveSlot* mCurrentSaveSlot = nullptr;

    CQMGMIntroState mIntroState;
    CQMGMTossState mTossState;
    CQMGMMeneIntroState mMeneIntroState;
    CQMGMLaunchState mLaunchState;
    CQMGMLaunchResultState mLaunchResultState;
    CQMGMOutroState mOutroState;
    CQMGMAwardsState mAwardsState;
    CQMGMLaunchMatchState mLaunchMatchState;
    CQMGMTournamentInfoState mTournamentInfoState;
    CQMGMNetLostState mNetLostState;

private:
    // A tournament match's description: the gamers' teams and line-ups, the
    // current save slot.
    void ReadTournamentDescription();
    // Steps 6 to 11 of the construction of a quick match.
    bool SetUpQuickMatch();
    void RefuseMatch(const char* why, const char* reasonKey);
    void BindMatchWindows(bool buildHud);
    void BindKeys();
    bool LeaveForMenus(bool changeGameType);
    void ReleaseThrowPanel();
    void CreateThrowPanel();

    QuickMatchParams mParams;
    unsigned char mQuickMatch = 0;
    unsigned char mIsRegional = 0;
    int mGameType = 3;
    int mNbPlayers = 0;
    int mGameModeValue = 0;
    Team* mSides[2] = {nullptr, nullptr};
    ControlerEntry mSpareControlers[2];
    bool mMatchRefused = false;
    const char* mRefusalKey = nullptr;
    bool mRefusalShown = false;
    bool mLocalPlayer = true;   // someone plays at this machine (set with the sides)
    bool mLanSessionGone = false;   // a LAN match whose session ended before it began
    bool mLanMatch = false;         // started by the lobby, at the host's difficulty

    CHUDMatch* mThrowPanel = nullptr;
    CHUDRadar* mRadar = nullptr;
    CHUDPlayerPanel* mPlayerPanel = nullptr;
    CHUDInfoPanel* mMatchInfos = nullptr;

    CKEMStateMachine mMachine;
    PressDebounce mDebounce;
    CNetMgrQuickMatchIF mNetListener;
    unsigned char mPauseRequested = 0;
    const char* mHiddenFrame = nullptr;
    int mMenesPlayed = 0;
};
