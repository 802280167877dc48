#include "CQMGMTournamentInfoState.h"

#include "CQuickMatchGameMode.h"

#include <CHUDMgr.h>
#include <Platform.h>
#include <TestReport.h>

void CQMGMTournamentInfoState::OnEnter(int) {
    TestReport("state %s", "CQMGMTournamentInfoState");
    mRetry = 0;
    PlatLog("CQMGMTournamentInfoState::OnEnter() => the tournament screens are not in this build: "
            "no tournament match is played, back to the demo menu");
}

void CQMGMTournamentInfoState::Update() {
    if (!mOwner || mOwner->IsFinished())
        return;
    CHUDMgr::ShowLoadingScreen(false);
    mOwner->Finish(GAME_MODE_DEMO_MENU);
}
