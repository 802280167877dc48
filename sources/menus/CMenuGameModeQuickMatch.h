// The quick-match menus (mode 3): local or LAN, the human players, the game
// type, where the teams come from, the two teams, who joins which team, the
// players of each team and the venue; then the match (mode 0) starts with
// the choices in "QUICKMATCHPARAMS".
#pragma once

#include "CMenuChooseActor.h"
#include "CMenuChooseChampType.h"
#include "CMenuChooseCountry.h"
#include "CMenuChooseGameType.h"
#include "CMenuChooseLan.h"
#include "CMenuChooseNbPlayers.h"
#include "CMenuChooseStage.h"
#include "CMenuFillTeams.h"
#include "CMenuGameMode.h"

class CMenuGameModeQuickMatch : public CMenuGameMode {
public:
    enum { SCREEN_LAN = 0, SCREEN_NB_PLAYERS = 1, SCREEN_GAME_TYPE = 2, SCREEN_CHAMP_TYPE = 3, SCREEN_COUNTRY = 4,
           SCREEN_FILL_TEAMS = 5, SCREEN_ACTOR = 6, SCREEN_STAGE = 7, SCREEN_DUMMY = 8 };
    enum { MAX_PLAYERS = 6, NB_TEAMS = 2 };

    explicit CMenuGameModeQuickMatch(int previousModeValue);

    // Opens the LAN choice, or the screen "back_in_state" names after a match.
    bool Init() override;
    // Escape acts as Back, then the current screen.
    void Update() override;
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

    // The fill-teams screen is skipped both ways with one human player.
    void Next() override;
    void Back() override;
    CKEMStateMachine* GetStateMachine() override { return &mMachine; }
    int GetStep() override { return mStep; }
    void SetStep(int step) override { mStep = step; }

    int GetNbPlayers() override { return mNbPlayers; }
    void SetNbPlayers(int n) override { mNbPlayers = n; }
    void SetPlayerName(int i, const std::string& name) override;
    const std::string& GetPlayerName(int i) override;
    void SetPlayerTeam(int i, int team) override;
    int GetPlayerTeam(int i) override;
    void SetGameType(int type) override { mGameType = type; }
    int GetGameType() override { return mGameType; }
    void SetTeamAAi(bool ai) override { mTeamAAi = ai; }
    bool IsTeamAAi() override { return mTeamAAi; }
    void SetTeamBAi(bool ai) override { mTeamBAi = ai; }
    bool IsTeamBAi() override { return mTeamBAi; }
    int GetNbPlayersPerTeam() override { return PlayersPerTeamOf(mGameType); }
    void SetLanGame(int lan) override { mLanGame = lan; }
    int GetLanGame() const { return mLanGame; }
    void SetTeamOrigin(int origin) override { mTeamOrigin = origin; }
    int GetTeamOrigin() override { return mTeamOrigin; }
    // Only teams 0 (A) and 1 (B) exist here: other indices are ignored and
    // read as 0.
    void SetTeamRegion(int i, int id) override;
    int GetTeamRegion(int i) override;
    void SetTeamCountry(int i, int id) override;
    int GetTeamCountry(int i) override;
    int GetNbTeams() override { return NB_TEAMS; }

private:
    void EnterScreen(int id);
    // The set-up the match reads, in the order the match mode expects.
    void WriteMatchParameters();

    CKEMStateMachine mMachine;
    CMenuChooseLan mLanScreen;
    CMenuChooseNbPlayers mNbPlayersScreen;
    CMenuChooseGameType mGameTypeScreen;
    CMenuChooseChampType mChampTypeScreen;
    CMenuChooseCountry mCountryScreen;
    CMenuFillTeams mFillTeamsScreen;
    CMenuChooseActor mActorScreen;
    CMenuChooseStage mStageScreen;
    CMenuDummy mDummy;

    int mStep = SCREEN_LAN;
    int mNbPlayers = 0;
    std::string mPlayerNames[MAX_PLAYERS];
    int mPlayerTeam[MAX_PLAYERS] = {0, 0, 0, 0, 0, 0};
    int mTeamRegion[NB_TEAMS] = {0, 0};
    int mTeamCountry[NB_TEAMS] = {0, 0};
    int mGameType = 0;
    int mLanGame = 0;
    int mTeamOrigin = 1;
    bool mTeamBAi = true;
    bool mTeamAAi = false;
};
