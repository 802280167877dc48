// The championship menus (mode 4) and the cup menus (mode 5): a save slot,
// the gamers (one in the championship), the game type, regions or nations,
// the teams, their players and the venue; then the tournament starts (mode
// 0). A used slot resumes its tournament at once.
#pragma once

#include "CMenuChooseActor.h"
#include "CMenuChooseChampType.h"
#include "CMenuChooseCountry.h"
#include "CMenuChooseGameType.h"
#include "CMenuChooseNbPlayers.h"
#include "CMenuChooseStage.h"
#include "CMenuGameModeCompetition.h"
#include "CMenuSave.h"

class CMenuGameModeChampCup : public CMenuGameModeCompetition {
public:
    enum { SCREEN_SAVE = 0, SCREEN_NB_PLAYERS = 1, SCREEN_GAME_TYPE = 2, SCREEN_CHAMP_TYPE = 3, SCREEN_COUNTRY = 4,
           SCREEN_ACTOR = 5, SCREEN_STAGE = 6, SCREEN_DUMMY = 7 };

    // Opens the save screen, or the screen "back_in_state" names after a
    // match.
    bool Init() override;
    void Next() override;
    void Back() override;
    int GetCareerType() override { return 1; }

protected:
    CMenuGameModeChampCup(int previousModeValue, int tournamentType, const char* titleKey);

private:
    CMenuSave mSaveScreen;
    CMenuChooseNbPlayers mNbPlayersScreen;
    CMenuChooseGameType mGameTypeScreen;
    CMenuChooseChampType mChampTypeScreen;
    CMenuChooseCountry mCountryScreen;
    CMenuChooseActor mActorScreen;
    CMenuChooseStage mStageScreen;
    CMenuDummy mDummy;
};

class CMenuGameModeChamp : public CMenuGameModeChampCup {
public:
    explicit CMenuGameModeChamp(int previousModeValue);
};

class CMenuGameModeCup : public CMenuGameModeChampCup {
public:
    explicit CMenuGameModeCup(int previousModeValue);
};
