// The base of the menu flows: a game mode that leads the user through a fixed
// row of screens (states of its state machine), collects the choices and,
// after the last screen, hands them to the match through the global settings
// store. Screens reach their flow only through the virtual operations here,
// so one screen class serves every flow that registers it.
#pragma once

#include <CGameMode.h>
#include <CKEMStateMachine.h>

#include <string>

class CMenuGameMode : public CGameMode {
public:
    enum { MAX_TEAMS = 6, MAX_ROLES = 3 };
    // Which flow this is (tournamentType).
    enum { TOURNAMENT_TRAINING = 0, TOURNAMENT_QUICK_MATCH = 1, TOURNAMENT_CHAMPIONSHIP = 2, TOURNAMENT_CUP = 3,
           TOURNAMENT_CAREER = 4 };
    // The input action that walks through the menus when cheats are on (the
    // N key), and the Escape action of the main and demo menus.
    enum { ACTION_ESCAPE = 0, ACTION_CHEAT_NEXT = 25, CHANNEL_KEY_N = 0x31 };

    ~CMenuGameMode() override;

    bool Init() override = 0;
    void Update() override = 0;
    bool Exit() override = 0;
    CGameMode* GetSelf() override = 0;

    virtual void Next() = 0;
    virtual void Back() = 0;
    virtual CKEMStateMachine* GetStateMachine() = 0;
    virtual int GetStep() = 0;
    virtual void SetStep(int step) = 0;
    virtual void StartMatch() {}
    // Re-opens the screen "back_in_state" of "QUICKMATCHPARAMS" names after
    // a match, and clears that key. True.
    virtual bool ResumeFromMatch();
    // Ends the flow: the loop switches to mode id after this frame.
    virtual int SetNextMode(int id);

    virtual int GetNbPlayers() = 0;
    virtual void SetNbPlayers(int n) = 0;
    virtual void SetPlayerName(int i, const std::string& name) = 0;
    virtual const std::string& GetPlayerName(int i) = 0;
    virtual void SetPlayerTeam(int i, int team) = 0;
    virtual int GetPlayerTeam(int i) = 0;
    virtual void SetGameType(int type) = 0;
    virtual int GetGameType() = 0;
    virtual void SetTeamAAi(bool ai) = 0;
    virtual bool IsTeamAAi() = 0;
    virtual void SetTeamBAi(bool ai) = 0;
    virtual bool IsTeamBAi() = 0;
    // 1, 2 or 3 for the game types 1, 2, 3; -1 otherwise.
    virtual int GetNbPlayersPerTeam() = 0;
    virtual void SetLanGame(int) {}
    virtual void SetTeamOrigin(int) {}
    virtual int GetTeamOrigin() { return 1; }
    virtual void SetTeamRegion(int, int) {}
    virtual int GetTeamRegion(int) { return 0; }
    virtual void SetTeamCountry(int, int) {}
    virtual int GetTeamCountry(int) { return 8; }
    virtual int GetNbTeams() { return 2; }
    virtual void SetNbGamersTeams(int) {}
    // Team 0..5, role 0..2; an actor is an index into the team's player list,
    // -1 for none.
    virtual int SetActorChoice(int team, int role, int actor);
    virtual int GetActorChoice(int team, int role);
    virtual int SetLocation(int location);
    virtual int GetLocation();
    virtual int GetCareerType() { return 1; }
    virtual void SetCareerType(int) {}

    std::string GetName() const { return mName; }
    void SetName(const std::string& name) { mName = name; }
    int GetTournamentType() const { return mTournamentType; }

    // The rule of GetNbPlayersPerTeam for a game type.
    static int PlayersPerTeamOf(int gameType) { return (gameType >= 1 && gameType <= 3) ? gameType : -1; }

    // Binds the N key to the cheat action when the tuning flag
    // "ENABLE_CHEAT" is on; every flow's Init calls it.
    static void BindCheatKey();

protected:
    // The main loop passes the mode value of the mode that has just ended.
    explicit CMenuGameMode(int previousModeValue);

    int mLocation = 0;
    std::string mName;
    int mTournamentType = TOURNAMENT_QUICK_MATCH;
    int mActorChoices[MAX_TEAMS][MAX_ROLES];
};
