#include "CQMGMMeneIntroState.h"

#include "CQuickMatchGameMode.h"
#include "RefereeLink.h"

#include <COverlayHolder.h>
#include <TestReport.h>

void CQMGMMeneIntroState::OnEnter(int) {
    TestReport("state %s", "CQMGMMeneIntroState");
    if (mOwner)
        referee::StartRound(mOwner->GetGameMaster());
    HideAllOverlays();
}

void CQMGMMeneIntroState::Update() {
    ChangeTo(QM_STATE_LAUNCH);
}
