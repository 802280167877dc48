#include "CMenuGameModeChamp.h"

#include "MenuServices.h"

#include <CLangDB.h>

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
}

CMenuGameModeChampCup::CMenuGameModeChampCup(int previousModeValue, int tournamentType, const char* titleKey)
    : CMenuGameModeCompetition(previousModeValue, tournamentType, titleKey) {}

CMenuGameModeChamp::CMenuGameModeChamp(int previousModeValue)
    : CMenuGameModeChampCup(previousModeValue, TOURNAMENT_CHAMPIONSHIP, "CHAMPIONNAT") {}

CMenuGameModeCup::CMenuGameModeCup(int previousModeValue)
    : CMenuGameModeChampCup(previousModeValue, TOURNAMENT_CUP, "COUPE") {}

bool CMenuGameModeChampCup::Init() {
    mMachine.Reset();
    CMenu* const screens[] = {&mSaveScreen,    &mNbPlayersScreen, &mGameTypeScreen, &mChampTypeScreen,
                              &mCountryScreen, &mActorScreen,     &mStageScreen,    &mDummy};
    for (int id = 0; id <= SCREEN_DUMMY; ++id) {
        screens[id]->SetMenuGameMode(this);
        mMachine.AddState(id, screens[id]);
    }
    mStep = SCREEN_SAVE;
    EnterScreen(SCREEN_SAVE);
    BindCheatKey();
    if (MenuReadInt(kQuickMatchParams, "back_in_state") != 0)
        ResumeAt(SCREEN_DUMMY);
    // Used once: a later championship or cup must not skip its save screen
    // on it and save into a slot the player never chose.
    MenuWriteInt(kQuickMatchParams, "back_in_state", 0);
    return true;
}

void CMenuGameModeChampCup::Next() {
    if (IsFinished())
        return;
    mStep = NextAfterSave(mStep + 1);
    if (mStep < SCREEN_DUMMY) {
        EnterScreen(mStep);
        return;
    }
    mStep = SCREEN_DUMMY;
    EnterScreen(SCREEN_DUMMY);
    mMachine.Nop();
    WritePlayersAndTeams(mTournamentType == TOURNAMENT_CUP);
    // The teams and line-ups go with the tournament's start (its draw needs
    // them), then the rest of the description.
    MenuWriteInt(kQuickMatchParams, "GameType", mGameType);
    MenuWriteInt(kQuickMatchParams, "IsRegional", mTeamOrigin == 2 ? 0 : 1);
    MenuWriteInt(kQuickMatchParams, "tournamentType", mTournamentType);
    MenuWriteInt(kQuickMatchParams, "location", GetLocation());
    StartNewCompetition();
}

void CMenuGameModeChampCup::Back() {
    if (IsFinished())
        return;
    if (mStep <= SCREEN_SAVE) {
        SetNextMode(GAME_MODE_MAIN_MENU);
        return;
    }
    --mStep;
    EnterScreen(mStep);
}
