#include "CTrainingGMOutroState.h"

#include "CTrainingGameMode.h"

#include <CGUIMgr.h>
#include <CGameMode.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CQMGMState.h>
#include <CTrainingGameMaster.h>
#include <CWindowEffectMgr.h>
#include <Platform.h>
#include <TestReport.h>

#include <CEGUI/Window.h>

#include <algorithm>
#include <string>

namespace {

const char kEndOverlay[] = "CHUDEndTraining";
const char kEndText[] = "textInfoEndMatch";
const char* const kRadarButtons[] = {"BtnLeft", "BtnRight", "BtnCamPlus", "BtnCamMoins"};

}  // namespace

std::string SeriesScoreText(int successes, int throws) {
    return std::string(GetText("TR_SCORE")) + " : " + std::to_string(successes) + " / " + std::to_string(throws);
}

void CTrainingGMOutroState::OnEnter(int) {
    TestReport("state %s", "CTrainingGMOutroState");
    mRetry = mBack = false;
    HideAllOverlays();
    for (const char* window : {"FramePlayerName", "FrameButtons", "TextInfosPlayer"})
        gGUIMgr.Show(window, false);
    // The radar is gone under the end frame: its click areas go with it.
    for (const char* window : kRadarButtons)
        gGUIMgr.Show(window, false);
    gGUIMgr.ShowOverlay(kEndOverlay);
    // The end frame says what the series came to, not only that it ended.
    std::string endText = GetText("TR_END");
    if (const CTrainingGameMaster* referee = Referee())
        endText += "\n" + SeriesScoreText(referee->mSuccesses, referee->mThrows);
    SetWindowTextOf(kEndText, endText);
    CWindowEffectMgr::StartEffect(kEndText);
    gGUIMgr.Show("FrameEndMatch", true);
    for (const char* window :
         {"FrameEndTournament", "FrameEndMatchAwards", "BtnEndMatchQuit", "BtnEndMatchChangeGameType", "textInfoEndMatchBG"})
        gGUIMgr.Show(window, false);
    gGUIMgr.Show("BtnEndMatchChangeTeam", true);
    EnableWindow("BtnEndMatchChangeTeam", true);
    if (CEGUI::Window* back = gGUIMgr.GetWindow("BtnEndMatchChangeTeam"))
        back->activate();
    // The series' score stays in sight above the end frame.
    if (CEGUI::Window* score = gGUIMgr.GetWindow("textScore")) {
        score->show();
        score->moveToFront();
    }
    if (CTrainingGameMaster* referee = Referee()) {
        CEGUI::Window* score = gGUIMgr.GetWindow("textScore");
        PlatLog("CTrainingGMOutroState => series over: %d of %d", referee->mSuccesses, referee->mThrows);
        TestReport("series %d %d shown %s", referee->mSuccesses, referee->mThrows,
                   score ? score->getText().c_str() : "-");
        if (CEGUI::Window* end = gGUIMgr.GetWindow(kEndText)) {
            std::string shown = end->getText().c_str();
            std::replace(shown.begin(), shown.end(), '\n', '|');
            TestReport("end text %s", shown.c_str());
        }
    }
}

void CTrainingGMOutroState::Update() {
    if (mRetry) {
        mRetry = false;
        for (const char* window : kRadarButtons)
            gGUIMgr.Show(window, true);
        ChangeTo(TRAINING_STATE_BEGIN);
    } else if (mBack) {
        mBack = false;
        if (mOwner && !mOwner->IsFinished()) {
            gGUIMgr.HideOverlay();
            CHUDMgr::ShowLoadingScreen(true);
            mOwner->Finish(GAME_MODE_TRAINING_MENUS);
        }
    }
}
