#include "CMenuGameModeTraining.h"

#include "MenuServices.h"

#include <CInputMgr.h>
#include <CLangDB.h>

namespace {
const char kTrainingParams[] = "TRAININGPARAMS";
}

CMenuGameModeTraining::CMenuGameModeTraining(int previousModeValue) : CMenuGameMode(previousModeValue) {
    mTrainingType = 0;
    mTournamentType = TOURNAMENT_TRAINING;
    SetName(GetText("MENU_TRAINING"));
}

bool CMenuGameModeTraining::Init() {
    mMachine.Reset();
    // The dummy never reads its flow.
    mTypeScreen.SetMenuGameMode(this);
    mDescriptionScreen.SetMenuGameMode(this);
    mMachine.AddState(SCREEN_TRAINING_TYPE, &mTypeScreen);
    mMachine.AddState(SCREEN_DESCRIPTION, &mDescriptionScreen);
    mMachine.AddState(SCREEN_DUMMY, &mDummy);
    mStep = SCREEN_TRAINING_TYPE;
    mMachine.ChangeState(SCREEN_TRAINING_TYPE);
    BindCheatKey();
    StartMenuMusic();
    return true;
}

void CMenuGameModeTraining::Update() {
    if (CInputMgr::IsPressed(gInputMgr.GetAction(ACTION_ESCAPE)))
        Back();
    mMachine.Update();
}

void CMenuGameModeTraining::Next() {
    // A screen whose Valid and Back both fired in one frame calls Back right
    // after the Next that ended the flow: the flow must not re-open a screen
    // on its way out.
    if (IsFinished())
        return;
    ++mStep;
    if (mStep < SCREEN_DUMMY) {
        mMachine.ChangeState(mStep);
        return;
    }
    mStep = SCREEN_DUMMY;
    mMachine.ChangeState(SCREEN_DUMMY);
    mMachine.Nop();
    MenuWriteInt(kTrainingParams, "TrainingType", GetTrainingType());
    SetNextMode(GAME_MODE_TRAINING);
}

void CMenuGameModeTraining::Back() {
    if (IsFinished())
        return;
    if (mStep <= SCREEN_TRAINING_TYPE) {
        SetNextMode(GAME_MODE_MAIN_MENU);
        return;
    }
    --mStep;
    mMachine.ChangeState(mStep);
}

const std::string& CMenuGameModeTraining::GetPlayerName(int) {
    static const std::string kNone;
    return kNone;
}
