#include "CMenuGameModeCarreer.h"

#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CSceneMgr.h>
#include <CompetitionStart.h>
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
    const int stage = MenuReadInt(kQuickMatchParams, "careerStep");
    if (stage < 1 || stage > 4) {
        PlatLog("CMenuGameModeCarreer() => careerStep %d is no stage: a new career", stage);
        return;
    }
    mCareerType = stage;
    mContinued = true;
    // The name the gamer typed at the career's start stays his.
    if (const CEnvironmentVariable* name = MenuVariable(kQuickMatchParams, "Player1Name"))
        if (const char* text = name->GetString())
            if (*text)
                mPlayerNames[0] = text;
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

int CMenuGameModeCarreer::LocationOfStage(int careerType) { return CareerStageVenue(careerType); }

bool CMenuGameModeCarreer::Init() {
    mMachine.Reset();
    CMenu* const screens[] = {&mSaveScreen, &mNbPlayersScreen, &mCareerTypeScreen,
                              &mCountryScreen, &mActorScreen, &mDummy};
    for (int id = 0; id <= SCREEN_DUMMY; ++id) {
        screens[id]->SetMenuGameMode(this);
        mMachine.AddState(id, screens[id]);
    }
    // A continued career keeps its save slot: it opens on the stage screen,
    // even to play its first stage again.
    mStep = mContinued ? SCREEN_CAREER_TYPE : SCREEN_SAVE;
    EnterScreen(mStep);
    bool result = true;
    const int backInState = MenuReadInt(kQuickMatchParams, "back_in_state");
    const int players = MenuReadInt(kQuickMatchParams, "NbPlayers");
    if (backInState != 0 && !mContinued) {
        result = ResumeFromMatch();
        if (MenuHudHooks().showLoadingScreen)
            MenuHudHooks().showLoadingScreen(false);
        MenuWriteInt(kQuickMatchParams, "backFromMatch", 1);
        mNbPlayers = players < 0 ? 0 : (players > MAX_PLAYERS ? MAX_PLAYERS : players);
        // A new career from the end frame: its slot is chosen first, never
        // the ended one's unasked.
        mScreenAfterSave = mStep;
        mStep = SCREEN_SAVE;
        EnterScreen(SCREEN_SAVE);
    }
    // Used once: a later career must not skip its save screen on it.
    MenuWriteInt(kQuickMatchParams, "back_in_state", 0);
    BindCheatKey();
    return result;
}

void CMenuGameModeCarreer::Next() {
    if (IsFinished())
        return;
    ++mStep;
    if (!mContinued) {
        mStep = NextAfterSave(mStep);
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
    if (!mContinued) {
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
    // A new career plays at the settings' difficulty; a continued one keeps
    // the difficulty its stages were played at.
    if (!mContinued)
        KeepCareerDifficulty(gSceneMgr.GetEnvironment(), -1);
    (void)key;
    StartNewCompetition();
}
