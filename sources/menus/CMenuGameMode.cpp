#include "CMenuGameMode.h"

#include "MenuServices.h"

#include <CEnvironment.h>
#include <CInputMgr.h>
#include <Platform.h>
#include <TuningParameters.h>

#include <cstdio>

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
}

CMenuGameMode::CMenuGameMode(int previousModeValue) : CGameMode(previousModeValue, 0) {
    for (auto& team : mActorChoices)
        for (int& actor : team)
            actor = -1;
    StartMenuMusic();
}

CMenuGameMode::~CMenuGameMode() = default;

int CMenuGameMode::SetNextMode(int id) {
    Finish(id);
    return id;
}

int CMenuGameMode::SetActorChoice(int team, int role, int actor) {
    if (team < 0 || team >= MAX_TEAMS || role < 0 || role >= MAX_ROLES) {
        PlatLog("CMenuGameMode::SetActorChoice(%d, %d) => out of range, ignored", team, role);
        return actor;
    }
    mActorChoices[team][role] = actor;
    return actor;
}

int CMenuGameMode::GetActorChoice(int team, int role) {
    if (team < 0 || team >= MAX_TEAMS || role < 0 || role >= MAX_ROLES)
        return -1;
    return mActorChoices[team][role];
}

int CMenuGameMode::SetLocation(int location) {
    mLocation = location;
    return location;
}

int CMenuGameMode::GetLocation() { return mLocation; }

bool CMenuGameMode::ResumeFromMatch() {
    char key[32];
    const int state = MenuReadInt(kQuickMatchParams, "back_in_state");
    // The screen to go back to is used once: a later flow opens on its first
    // screen (a competition's being the save slot).
    MenuWriteInt(kQuickMatchParams, "back_in_state", 0);
    MenuWriteInt(kQuickMatchParams, "backFromMatch", 1);

    SetGameType(MenuReadInt(kQuickMatchParams, "GameType"));
    int players = MenuReadInt(kQuickMatchParams, "NbPlayers");
    // A stored count beyond the flow's six players is the store's fault: keep
    // to the name and team tables.
    if (players < 0)
        players = 0;
    if (players > MAX_TEAMS)
        players = MAX_TEAMS;
    SetNbPlayers(players);
    int teams = MenuReadInt(kQuickMatchParams, "mNbGamersTeams");
    SetNbGamersTeams(teams);

    if (mTournamentType == TOURNAMENT_QUICK_MATCH) {
        teams = 2;
        SetTeamAAi(MenuReadInt(kQuickMatchParams, "isTeamAAi") == 1);
        SetTeamBAi(MenuReadInt(kQuickMatchParams, "isTeamBAi") == 1);
    }
    if (teams < 0)
        teams = 0;
    if (teams > MAX_TEAMS)
        teams = MAX_TEAMS;

    for (int i = 0; i < players; ++i) {
        std::snprintf(key, sizeof key, "Player%dTeam", i + 1);
        SetPlayerTeam(i, MenuReadInt(kQuickMatchParams, key));
        std::snprintf(key, sizeof key, "Player%dName", i + 1);
        if (const CEnvironmentVariable* name = MenuVariable(kQuickMatchParams, key))
            if (const char* text = name->GetString())
                SetPlayerName(i, text);
    }

    const bool regional = MenuReadInt(kQuickMatchParams, "IsRegional") == 1;
    SetTeamOrigin(regional ? 1 : 2);
    for (int j = 0; j < teams; ++j) {
        std::snprintf(key, sizeof key, "Team_%i", j);
        if (regional)
            SetTeamRegion(j, MenuReadInt(kQuickMatchParams, key));
        else
            SetTeamCountry(j, MenuReadInt(kQuickMatchParams, key));
    }

    SetStep(state);
    if (CKEMStateMachine* machine = GetStateMachine())
        machine->ChangeState(state);
    return true;
}

void CMenuGameMode::BindCheatKey() {
    if (ENABLE_CHEAT)
        gInputMgr.SetKeyMapping(ACTION_CHEAT_NEXT, CHANNEL_KEY_N);
}
