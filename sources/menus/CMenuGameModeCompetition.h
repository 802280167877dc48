// What the championship, cup and career menus share: six teams of gamers
// (each gamer heads one), their regions or countries and line-ups, and the
// two ways out to the match: a new tournament from the choices, or the
// tournament of a used save slot.
#pragma once

#include "CMenuGameMode.h"

class CMenuGameModeCompetition : public CMenuGameMode {
public:
    enum { MAX_PLAYERS = 6 };

    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }
    CKEMStateMachine* GetStateMachine() override { return &mMachine; }
    int GetStep() override { return mStep; }
    void SetStep(int step) override { mStep = step; }
    // Escape does nothing in these menus: the state machine only.
    void Update() override { mMachine.Update(); }

    // The save screen found the slot used: its tournament goes on (mode 0);
    // a career whose stage in the slot is over goes on at its next stage
    // (the career menus). A slot that cannot be read stays on the save
    // screen, marked unreadable.
    void StartMatch() override;

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
    void SetTeamOrigin(int origin) override { mTeamOrigin = origin; }
    int GetTeamOrigin() override { return mTeamOrigin; }
    void SetTeamRegion(int i, int id) override;
    int GetTeamRegion(int i) override;
    void SetTeamCountry(int i, int id) override;
    int GetTeamCountry(int i) override;
    int GetNbTeams() override { return mNbGamersTeams; }
    void SetNbGamersTeams(int n) override { mNbGamersTeams = n; }

protected:
    CMenuGameModeCompetition(int previousModeValue, int tournamentType, const char* titleKey);
    void EnterScreen(int id);
    // The opening after a tournament's end frame ("back_in_state" not 0,
    // "change team" / "change game type"): the stored choices, but the save
    // screen first, so the new tournament never writes over the ended one's
    // slot unasked; a new slot then leads to that screen (NextAfterSave).
    // Returns false when the stored screen is no screen of the flow (then
    // the first one stays, with nothing restored).
    bool ResumeAt(int lastScreen);
    // The screen Next leads to from `step` (just increased): the screen
    // ResumeAt kept when leaving the save screen for a new slot, once.
    int NextAfterSave(int step);
    // The career menus again at the stage the current (ended) tournament
    // gives, with its description kept.
    void ContinueEndedCareer();
    // The common keys of the match description; `cup` adds "CONTROLER_<k>".
    void WritePlayersAndTeams(bool cup);
    // A new tournament from the written description, then the match; back
    // to the main menu when none can be drawn.
    void StartNewCompetition();

    CKEMStateMachine mMachine;
    int mStep = 0;
    int mNbPlayers = 0;
    int mNbGamersTeams = 1;
    std::string mPlayerNames[MAX_PLAYERS];
    int mPlayerTeam[MAX_PLAYERS] = {0, 1, 2, 3, 4, 5};
    int mTeamRegion[MAX_TEAMS] = {0, 0, 0, 0, 0, 0};
    int mTeamCountry[MAX_TEAMS] = {0, 0, 0, 0, 0, 0};
    int mGameType = 0;
    int mTeamOrigin = 1;
    bool mTeamBAi = true;
    bool mTeamAAi = false;
    // The screen the end frame asked for, shown after the save screen; 0
    // when none.
    int mScreenAfterSave = 0;
};
