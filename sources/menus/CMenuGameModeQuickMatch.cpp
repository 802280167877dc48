#include "CMenuGameModeQuickMatch.h"

#include "MenuServices.h"

#include <CInputMgr.h>
#include <CLangDB.h>

#include <Platform.h>
#include <TestReport.h>

#include <cstdio>

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
}

CMenuGameModeQuickMatch::CMenuGameModeQuickMatch(int previousModeValue) : CMenuGameMode(previousModeValue) {
    mTournamentType = TOURNAMENT_QUICK_MATCH;
    for (int n = 0; n < MAX_PLAYERS; ++n)
        mPlayerNames[n] = std::string(GetText("PLAYER")) + " " + std::to_string(n + 1);
    SetName(GetText("QUICKMATCH"));
}

bool CMenuGameModeQuickMatch::Init() {
    if (MenuHudHooks().showLoadingScreen)
        MenuHudHooks().showLoadingScreen(false);
    mMachine.Reset();
    CMenu* const screens[] = {&mLanScreen,    &mNbPlayersScreen, &mGameTypeScreen, &mChampTypeScreen, &mCountryScreen,
                              &mFillTeamsScreen, &mActorScreen,  &mStageScreen,    &mDummy};
    for (int id = 0; id <= SCREEN_DUMMY; ++id) {
        screens[id]->SetMenuGameMode(this);
        mMachine.AddState(id, screens[id]);
    }
    mStep = SCREEN_LAN;
    EnterScreen(SCREEN_LAN);
    BindCheatKey();
    const int backInState = MenuReadInt(kQuickMatchParams, "back_in_state");
    if (backInState != 0) {
        // A stored screen the flow does not have would leave it on no screen.
        if (backInState < SCREEN_LAN || backInState >= SCREEN_DUMMY) {
            PlatLog("CMenuGameModeQuickMatch::Init() => back_in_state %d is no screen: opening the first one",
                        backInState);
            MenuWriteInt(kQuickMatchParams, "back_in_state", 0);
            return true;
        }
        const bool resumed = ResumeFromMatch();
        TestReport("menu %d", mStep);
        return resumed;
    }
    return true;
}

void CMenuGameModeQuickMatch::EnterScreen(int id) {
    mMachine.ChangeState(id);
    // The end-to-end tests follow the screens by these lines.
    TestReport("menu %d", id);
}

void CMenuGameModeQuickMatch::Update() {
    if (CInputMgr::IsPressed(gInputMgr.GetAction(ACTION_ESCAPE)))
        Back();
    if (!IsFinished())
        mMachine.Update();
}

void CMenuGameModeQuickMatch::Next() {
    // Valid and Back fired in one frame: after the Next that ended the flow,
    // no screen may open again.
    if (IsFinished())
        return;
    ++mStep;
    if (mStep == SCREEN_FILL_TEAMS && mNbPlayers == 1)
        mStep = SCREEN_ACTOR;
    if (mStep < SCREEN_DUMMY) {
        EnterScreen(mStep);
        return;
    }
    mStep = SCREEN_DUMMY;
    EnterScreen(SCREEN_DUMMY);
    mMachine.Nop();
    WriteMatchParameters();
    SetNextMode(GAME_MODE_QUICK_MATCH);
}

void CMenuGameModeQuickMatch::Back() {
    if (IsFinished())
        return;
    if (mStep <= SCREEN_LAN) {
        SetNextMode(GAME_MODE_MAIN_MENU);
        return;
    }
    --mStep;
    if (mStep == SCREEN_FILL_TEAMS && mNbPlayers == 1)
        mStep = SCREEN_COUNTRY;
    EnterScreen(mStep);
}

void CMenuGameModeQuickMatch::SetPlayerName(int i, const std::string& name) {
    if (i >= 0 && i < MAX_PLAYERS)
        mPlayerNames[i] = name;
}

const std::string& CMenuGameModeQuickMatch::GetPlayerName(int i) {
    static const std::string kNone;
    return (i >= 0 && i < MAX_PLAYERS) ? mPlayerNames[i] : kNone;
}

void CMenuGameModeQuickMatch::SetPlayerTeam(int i, int team) {
    if (i >= 0 && i < MAX_PLAYERS)
        mPlayerTeam[i] = team;
}

int CMenuGameModeQuickMatch::GetPlayerTeam(int i) { return (i >= 0 && i < MAX_PLAYERS) ? mPlayerTeam[i] : 0; }

void CMenuGameModeQuickMatch::SetTeamRegion(int i, int id) {
    if (i >= 0 && i < NB_TEAMS)
        mTeamRegion[i] = id;
}

int CMenuGameModeQuickMatch::GetTeamRegion(int i) { return (i >= 0 && i < NB_TEAMS) ? mTeamRegion[i] : 0; }

void CMenuGameModeQuickMatch::SetTeamCountry(int i, int id) {
    if (i >= 0 && i < NB_TEAMS)
        mTeamCountry[i] = id;
}

int CMenuGameModeQuickMatch::GetTeamCountry(int i) { return (i >= 0 && i < NB_TEAMS) ? mTeamCountry[i] : 0; }

void CMenuGameModeQuickMatch::WriteMatchParameters() {
    char key[32];
    const bool national = mTeamOrigin == 2;
    // The name and team tables hold six players.
    const int players = mNbPlayers < 0 ? 0 : (mNbPlayers > MAX_PLAYERS ? MAX_PLAYERS : mNbPlayers);
    MenuWriteInt(kQuickMatchParams, "NbPlayers", mNbPlayers);
    MenuWriteInt("GAMEPARAMS", "QuickMatch", 1);
    for (int k = 1; k <= players; ++k) {
        std::snprintf(key, sizeof key, "Player%dName", k);
        MenuWriteString(kQuickMatchParams, key, mPlayerNames[k - 1].c_str());
        std::snprintf(key, sizeof key, "CONTROLER_%d", k);
        MenuWriteInt(kQuickMatchParams, key, k);
    }
    for (int k = 1; k <= players; ++k) {
        std::snprintf(key, sizeof key, "Player%dTeam", k);
        MenuWriteInt(kQuickMatchParams, key, mPlayerTeam[k - 1]);
    }
    MenuWriteInt(kQuickMatchParams, "TeamA", national ? mTeamCountry[0] : mTeamRegion[0]);
    MenuWriteInt(kQuickMatchParams, "TeamB", national ? mTeamCountry[1] : mTeamRegion[1]);
    MenuWriteInt(kQuickMatchParams, "GameType", mGameType);
    MenuWriteInt(kQuickMatchParams, "location", GetLocation());
    MenuWriteInt(kQuickMatchParams, "IsRegional", national ? 0 : 1);
    for (int j = 0; j < MAX_TEAMS; ++j) {
        // Teams beyond the two of a quick match have no origin: 0.
        std::snprintf(key, sizeof key, "Team_%i", j);
        MenuWriteInt(kQuickMatchParams, key, national ? GetTeamCountry(j) : GetTeamRegion(j));
        for (int r = 0; r < MAX_ROLES; ++r) {
            std::snprintf(key, sizeof key, "Team_%i_actor_%i", j, r);
            MenuWriteInt(kQuickMatchParams, key, GetActorChoice(j, r));
        }
    }
    MenuWriteInt(kQuickMatchParams, "tournamentType", TOURNAMENT_QUICK_MATCH);
}
