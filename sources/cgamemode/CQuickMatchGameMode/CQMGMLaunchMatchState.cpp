#include "CQMGMLaunchMatchState.h"

#include "CQuickMatchGameMode.h"
#include "RefereeLink.h"

#include <CGameMaster.h>
#include <CHUDMgr.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <GameDifficulty.h>
#include <TestSideDifficulty.h>
#include <MatchState.h>
#include <Platform.h>
#include <TestReport.h>

void CQMGMLaunchMatchState::OnEnter(int) {
    TestReport("state %s", "CQMGMLaunchMatchState");
    mFailed = false;
    if (!mOwner)
        return;
    mOwner->ReleaseMatchObjects();
    mOwner->ResetMeneCount();
    mOwner->DeleteGameMaster();

    mMatchReady = 0;
    if (mOwner->IsQuickMatch() && mOwner->RenewMatchState())
        mMatchReady = 1;

    if (mMatchReady) {
        CGameMaster* created = referee::Create(mOwner->GetMatchState());
        mOwner->SetGameMaster(created);
        gScenaricMgr.Register(referee::Node(created));
        if (referee::IsSetUpFailed(created)) {
            PlatLog("CQMGMLaunchMatchState::OnEnter() => the venue lacks an object the match needs: "
                    "back to the menu");
            mFailed = true;
        }
    }
    if (CGameMaster* current = mOwner->GetGameMaster()) {
        // The difficulty and each side's computer level the throws are played at.
        const MatchState* state = mOwner->GetMatchState();
        if (state && TestReportEnabled()) {
            const int a = TestSideDifficulty(0) >= 0 ? TestSideDifficulty(0) : g_CurrentDifficulty;
            const int b = TestSideDifficulty(1) >= 0 ? TestSideDifficulty(1) : g_CurrentDifficulty;
            if (a != b)
                TestReport("side difficulties %d %d", a, b);
            TestReport("difficulty %d levels %d %d", g_CurrentDifficulty, CGameMaster::AILevelFor(state->mTeamA, a),
                       CGameMaster::AILevelFor(state->mTeamB, b));
        }
        gSceneMgr.Resume();
        referee::ResetStart(current);
    }
}

void CQMGMLaunchMatchState::Update() {
    if (!mOwner)
        return;
    if (mFailed) {
        mOwner->RefuseToPlay("MATCH_REFUSED_VENUE");
        return;
    }
    ChangeTo(mMatchReady ? QM_STATE_INTRO : QM_STATE_TOURNAMENT_INFO);
}
