// The career menus (mode 6): four stages played by one gamer with one team
// (1 France face to face, 2 doublette, 3 triplette, 4 world). A new career
// goes through the save slot, the name, the stage, the region and the
// players; after each stage the match (or a slot whose stage is over) sends
// the flow back here with the stage its result gives, which opens on the
// stage screen (other stages locked there).
#pragma once

#include "CMenuChooseActor.h"
#include "CMenuChooseCareerType.h"
#include "CMenuChooseCountry.h"
#include "CMenuChooseNbPlayers.h"
#include "CMenuGameModeCompetition.h"
#include "CMenuSave.h"

class CMenuGameModeCarreer : public CMenuGameModeCompetition {
public:
    enum { SCREEN_SAVE = 0, SCREEN_NB_PLAYERS = 1, SCREEN_CAREER_TYPE = 2, SCREEN_COUNTRY = 3, SCREEN_ACTOR = 4,
           SCREEN_DUMMY = 5 };

    explicit CMenuGameModeCarreer(int previousModeValue);

    bool Init() override;
    void Next() override;
    void Back() override;
    int GetCareerType() override { return mCareerType; }
    void SetCareerType(int type) override { mCareerType = type; }

    // The stage's venue on the stage screen's numbering; -1 for none.
    static int LocationOfStage(int careerType);

private:
    // The stage and team a finished stage left in "QUICKMATCHPARAMS".
    void ReadCareerProgress();
    void BuildTitle();
    void WriteParameters();

    int mCareerType = 1;
    int mBackFromMatch = 0;
    // Back from a stage (or a slot whose stage is over): the stage screen
    // opens first and the region stays.
    bool mContinued = false;
    CMenuSave mSaveScreen;
    CMenuChooseNbPlayers mNbPlayersScreen;
    CMenuChooseCareerType mCareerTypeScreen;
    CMenuChooseCountry mCountryScreen;
    CMenuChooseActor mActorScreen;
    CMenuDummy mDummy;
};
