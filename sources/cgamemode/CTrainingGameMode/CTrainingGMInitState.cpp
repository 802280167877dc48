#include "CTrainingGMInitState.h"

#include <CTrainingGameMaster.h>
#include <TestReport.h>

void CTrainingGMInitState::OnEnter(int) {
    TestReport("state %s", "CTrainingGMInitState");
    if (CTrainingGameMaster* referee = Referee())
        referee->FaceTarget();
}

void CTrainingGMInitState::Update() {
    ChangeTo(TRAINING_STATE_MAIN);
}
