#include "CMenuGameModeCompetition.h"

#include "MenuServices.h"

#include <CLangDB.h>
#include <CSceneMgr.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <GameDifficulty.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <TestReport.h>

#include <cstdio>

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
const char kUnreadableKey[] = "UNREADABLE_SAVE_SLOT_INFO";
}  // namespace

CMenuGameModeCompetition::CMenuGameModeCompetition(int previousModeValue, int tournamentType, const char* titleKey)
    : CMenuGameMode(previousModeValue) {
    mTournamentType = tournamentType;
    for (int n = 0; n < MAX_PLAYERS; ++n)
        mPlayerNames[n] = std::string(GetText("PLAYER")) + " " + std::to_string(n + 1);
    if (titleKey)
        SetName(GetText(titleKey));
}

void CMenuGameModeCompetition::EnterScreen(int id) {
    mMachine.ChangeState(id);
    // The end-to-end tests follow the screens by these lines.
    TestReport("menu %d", id);
}

bool CMenuGameModeCompetition::ResumeAt(int lastScreen) {
    const int backInState = MenuReadInt(kQuickMatchParams, "back_in_state");
    if (backInState <= 0 || backInState >= lastScreen) {
        PlatLog("CMenuGameModeCompetition::Init() => back_in_state %d is no screen: opening the first one",
                backInState);
        return false;
    }
    const int players = MenuReadInt(kQuickMatchParams, "NbPlayers");
    ResumeFromMatch();
    if (MenuHudHooks().showLoadingScreen)
        MenuHudHooks().showLoadingScreen(false);
    MenuWriteInt(kQuickMatchParams, "backFromMatch", 1);
    mNbPlayers = players < 0 ? 0 : (players > MAX_PLAYERS ? MAX_PLAYERS : players);
    // The slot of the ended tournament must not be reused unasked: the
    // player picks the slot first.
    mScreenAfterSave = mStep;
    mStep = 0;
    EnterScreen(0);
    PlatLog("CMenuGameModeCompetition::Init() => back from a tournament: the save screen, then screen %d",
            mScreenAfterSave);
    return true;
}

int CMenuGameModeCompetition::NextAfterSave(int step) {
    if (step != 1 || mScreenAfterSave <= 1)
        return step;
    const int screen = mScreenAfterSave;
    mScreenAfterSave = 0;
    return screen;
}

void CMenuGameModeCompetition::StartMatch() {
    CEnvironment& env = gSceneMgr.GetEnvironment();
    SaveSlot* slot = CurrentCompetitionSlot(env);
    // The slot must be one of this flow's kind: its record is checked
    // against that kind, never the other way round.
    if (slot && slot->mKind != SaveKindOf(mTournamentType)) {
        PlatLog("CMenuGameModeCompetition::StartMatch() => save_slot of kind %u in a flow of tournament type %d",
                static_cast<unsigned>(slot->mKind), mTournamentType);
        slot = nullptr;
    }
    if (slot && ResumeCompetition(env, slot->mPath, mTournamentType)) {
        TestReport("tournament loaded %s", slot->mPath.c_str());
        if (mTournamentType == TOURNAMENT_CAREER && g_pCurrentTournament && g_pCurrentTournament->IsFinished()) {
            ContinueEndedCareer();
            return;
        }
        SetNextMode(GAME_MODE_QUICK_MATCH);
        return;
    }
    // The slot keeps its file (the player may erase it) but says it cannot
    // be played; the save screen opens again.
    PlatLog("CMenuGameModeCompetition::StartMatch() => the chosen slot cannot be read: back to the save screen");
    if (slot)
        slot->mInfo = GetText(kUnreadableKey);
    TestReport("tournament unreadable");
    mStep = 0;
    EnterScreen(0);
}

void CMenuGameModeCompetition::ContinueEndedCareer() {
    // Playing the ended stage again would only lead back here: the career
    // goes on at the stage its result gives, in the same slot.
    const int stage = NextCareerStage(*g_pCurrentTournament);
    MenuWriteInt(kQuickMatchParams, "careerStep", stage);
    MenuWriteInt(kQuickMatchParams, "backFromMatch", 1);
    MenuWriteInt(kQuickMatchParams, "back_in_state", 0);
    // The resumed save's difficulty is the career's.
    KeepCareerDifficulty(gSceneMgr.GetEnvironment(), g_CurrentDifficulty);
    // After the world stage (between nations) the career goes on with the
    // gamer's region.
    const int region = MenuReadInt(kQuickMatchParams, "TeamBeforeNational");
    if (MenuReadInt(kQuickMatchParams, "IsRegional") != 1 && region > 0)
        MenuWriteInt(kQuickMatchParams, "Team_0", region);
    PlatLog("CMenuGameModeCompetition::StartMatch() => the slot's career stage is over: stage %d next", stage);
    TestReport("career continued at stage %d", stage);
    SetNextMode(GAME_MODE_CAREER_MENUS);
}

void CMenuGameModeCompetition::WritePlayersAndTeams(bool cup) {
    char key[32];
    const int players = mNbPlayers < 0 ? 0 : (mNbPlayers > MAX_PLAYERS ? MAX_PLAYERS : mNbPlayers);
    MenuWriteInt(kQuickMatchParams, "NbPlayers", mNbPlayers);
    for (int k = 1; k <= players; ++k) {
        std::snprintf(key, sizeof key, "Player%dName", k);
        MenuWriteString(kQuickMatchParams, key, mPlayerNames[k - 1].c_str());
        if (cup) {
            std::snprintf(key, sizeof key, "CONTROLER_%d", k);
            MenuWriteInt(kQuickMatchParams, key, k);
        }
    }
    for (int k = 1; k <= players; ++k) {
        std::snprintf(key, sizeof key, "Player%dTeam", k);
        MenuWriteInt(kQuickMatchParams, key, mPlayerTeam[k - 1]);
    }
}

void CMenuGameModeCompetition::StartNewCompetition() {
    char key[32];
    const bool national = mTeamOrigin == 2;
    for (int j = 0; j < MAX_TEAMS; ++j) {
        std::snprintf(key, sizeof key, "Team_%i", j);
        MenuWriteInt(kQuickMatchParams, key, national ? GetTeamCountry(j) : GetTeamRegion(j));
        for (int r = 0; r < MAX_ROLES; ++r) {
            std::snprintf(key, sizeof key, "Team_%i_actor_%i", j, r);
            MenuWriteInt(kQuickMatchParams, key, GetActorChoice(j, r));
        }
    }
    if (!StartCompetition(gSceneMgr.GetEnvironment())) {
        PlatLog("CMenuGameModeCompetition => no tournament could be drawn: back to the main menu");
        SetNextMode(GAME_MODE_MAIN_MENU);
        return;
    }
    SetNextMode(GAME_MODE_QUICK_MATCH);
}

void CMenuGameModeCompetition::SetPlayerName(int i, const std::string& name) {
    if (i >= 0 && i < MAX_PLAYERS)
        mPlayerNames[i] = name;
}

const std::string& CMenuGameModeCompetition::GetPlayerName(int i) {
    static const std::string kNone;
    return (i >= 0 && i < MAX_PLAYERS) ? mPlayerNames[i] : kNone;
}

void CMenuGameModeCompetition::SetPlayerTeam(int i, int team) {
    if (i >= 0 && i < MAX_PLAYERS)
        mPlayerTeam[i] = team;
}

int CMenuGameModeCompetition::GetPlayerTeam(int i) { return (i >= 0 && i < MAX_PLAYERS) ? mPlayerTeam[i] : 0; }

void CMenuGameModeCompetition::SetTeamRegion(int i, int id) {
    if (i >= 0 && i < MAX_TEAMS)
        mTeamRegion[i] = id;
}

int CMenuGameModeCompetition::GetTeamRegion(int i) { return (i >= 0 && i < MAX_TEAMS) ? mTeamRegion[i] : 0; }

void CMenuGameModeCompetition::SetTeamCountry(int i, int id) {
    if (i >= 0 && i < MAX_TEAMS)
        mTeamCountry[i] = id;
}

int CMenuGameModeCompetition::GetTeamCountry(int i) { return (i >= 0 && i < MAX_TEAMS) ? mTeamCountry[i] : 0; }
