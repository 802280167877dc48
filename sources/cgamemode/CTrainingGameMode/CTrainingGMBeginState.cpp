#include "CTrainingGMBeginState.h"

#include "CTrainingGameMode.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CTrainingGameMaster.h>
#include <CWindowEffectMgr.h>
#include <TestReport.h>

void CTrainingGMBeginState::OnEnter(int) {
    TestReport("state %s", "CTrainingGMBeginState");
    gGUIMgr.Show("FramePlayerName", true);
    gGUIMgr.Show("FrameButtons", true);
    gGUIMgr.HideOverlay();
    gGUIMgr.Show("FrameEndMatch", false);
    CWindowEffectMgr::StopEffect("textInfoEndMatch");
    CTrainingGameMaster* referee = Referee();
    if (referee)
        referee->ResetSeries();
    if (CHUDInfoPanel* infos = mOwner ? mOwner->GetMatchInfos() : nullptr)
        CHUDMgr::RefreshMatchInfos(*infos);
    if (referee)
        referee->PlaceExercise();
}

void CTrainingGMBeginState::Update() {
    ChangeTo(TRAINING_STATE_INIT);
}
