#include "CMenuGameModeCarreer.h"

#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CSceneMgr.h>
#include <Platform.h>

#include <cstdio>

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
const int kFranceCountryId = 8;
}  // namespace

CMenuGameModeCarreer::CMenuGameModeCarreer(int previousModeValue)
    : CMenuGameModeCompetition(previousModeValue, TOURNAMENT_CAREER, nullptr) {
    mCareerType = 1;
    mTeamBAi = true;
    mTeamOrigin = 1;
    mNbPlayers = 0;
    mGameType = 0;
    mTeamAAi = false;
    BuildTitle();
    mBackFromMatch = MenuReadInt(kQuickMatchParams, "backFromMatch");
    if (mBackFromMatch != 0)
        ReadCareerProgress();
}

void CMenuGameModeCarreer::BuildTitle() {
    SetName(std::string(GetText("CARRIERE")) + "  " + GetText("TURN") + " " + std::to_string(mCareerType));
}

void CMenuGameModeCarreer::ReadCareerProgress() {
    char key[32];
    mCareerType = MenuReadInt(kQuickMatchParams, "careerStep");
    mTeamRegion[0] = MenuReadInt(kQuickMatchParams, "Team_0");
    mTeamCountry[0] = kFranceCountryId;
    int players = 0;
    switch (mCareerType) {
    case 1: players = 1; break;
    case 2: players = 2; break;
    case 3:
    case 4: players = 3; break;
    default: break;
    }
    for (int r = 0; r < players; ++r) {
        std::snprintf(key, sizeof key, "Team_0_actor_%i", r);
        SetActorChoice(0, r, MenuReadInt(kQuickMatchParams, key));
    }
    BuildTitle();
}

int CMenuGameModeCarreer::LocationOfStage(int careerType) {
    switch (careerType) {
    case 1: return 3;
    case 2: return 0;
    case 3: return 1;
    case 4: return 2;
    default: return -1;
    }
}

bool CMenuGameModeCarreer::Init() {
    mMachine.Reset();
    CMenu* const screens[] = {&mSaveScreen, &mNbPlayersScreen, &mCareerTypeScreen,
                              &mCountryScreen, &mActorScreen, &mDummy};
    for (int id = 0; id <= SCREEN_DUMMY; ++id) {
        screens[id]->SetMenuGameMode(this);
        mMachine.AddState(id, screens[id]);
    }
    mStep = mCareerType == 1 ? SCREEN_SAVE : SCREEN_CAREER_TYPE;
    EnterScreen(mStep);
    bool result = true;
    const int backInState = MenuReadInt(kQuickMatchParams, "back_in_state");
    const int players = MenuReadInt(kQuickMatchParams, "NbPlayers");
    if (backInState != 0 && mCareerType == 1) {
        result = ResumeFromMatch();
        if (MenuHudHooks().showLoadingScreen)
            MenuHudHooks().showLoadingScreen(false);
        MenuWriteInt(kQuickMatchParams, "backFromMatch", 1);
        mNbPlayers = players < 0 ? 0 : (players > MAX_PLAYERS ? MAX_PLAYERS : players);
    }
    BindCheatKey();
    return result;
}

void CMenuGameModeCarreer::Next() {
    if (IsFinished())
        return;
    ++mStep;
    if (mCareerType == 1) {
        if (mStep < SCREEN_DUMMY) {
            EnterScreen(mStep);
            return;
        }
        mStep = SCREEN_DUMMY;
        EnterScreen(SCREEN_DUMMY);
        WriteParameters();
        return;
    }
    // A continued career: the stage screen, then the players (the region
    // stays), and the world stage needs no players chosen.
    if (mStep >= SCREEN_DUMMY) {
        mMachine.ChangeState(SCREEN_DUMMY);
        mMachine.Nop();
        WriteParameters();
        return;
    }
    if (mStep == SCREEN_SAVE || mStep == SCREEN_NB_PLAYERS)
        mStep = SCREEN_CAREER_TYPE;
    if (mStep == SCREEN_COUNTRY)
        mStep = SCREEN_ACTOR;
    if (mCareerType == 4 && mStep == SCREEN_ACTOR) {
        mStep = SCREEN_DUMMY;
        gGUIMgr.DestroyAllWindows();
        mMachine.ChangeState(SCREEN_DUMMY);
        mMachine.Nop();
        WriteParameters();
        return;
    }
    EnterScreen(mStep);
}

void CMenuGameModeCarreer::Back() {
    if (IsFinished())
        return;
    if (mCareerType == 1) {
        if (mStep <= SCREEN_SAVE) {
            SetNextMode(GAME_MODE_MAIN_MENU);
            return;
        }
        --mStep;
        EnterScreen(mStep);
        return;
    }
    if (mStep == SCREEN_ACTOR) {
        mStep = SCREEN_CAREER_TYPE;
        EnterScreen(SCREEN_CAREER_TYPE);
    } else if (mStep == SCREEN_CAREER_TYPE) {
        mMachine.ChangeState(SCREEN_DUMMY);
        SetNextMode(GAME_MODE_MAIN_MENU);
    }
}

void CMenuGameModeCarreer::WriteParameters() {
    char key[32];
    // A career has one gamer.
    mNbPlayers = 1;
    WritePlayersAndTeams(false);
    MenuWriteInt(kQuickMatchParams, "TeamBeforeNational", mTeamRegion[0]);
    MenuWriteInt(kQuickMatchParams, "GameType", mGameType);
    MenuWriteInt(kQuickMatchParams, "IsRegional", mTeamOrigin == 2 ? 0 : 1);
    MenuWriteInt(kQuickMatchParams, "tournamentType", TOURNAMENT_CAREER);
    const int location = LocationOfStage(mCareerType);
    if (location >= 0)
        MenuWriteInt(kQuickMatchParams, "location", location);
    // The match mode reads the stage back when it returns to the career.
    MenuWriteInt(kQuickMatchParams, "careerStep", mCareerType);
    (void)key;
    StartNewCompetition();
}
