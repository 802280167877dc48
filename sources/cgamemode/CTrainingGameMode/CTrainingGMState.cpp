#include "CTrainingGMState.h"

#include "CTrainingGameMode.h"

void CTrainingGMState::ChangeTo(int id) {
    if (mOwner)
        mOwner->GetMachine().ChangeState(id);
}

CTrainingGameMaster* CTrainingGMState::Referee() const {
    return mOwner ? mOwner->GetReferee() : nullptr;
}
