#include "CQMGMOutroState.h"

#include "CQuickMatchGameMode.h"
#include "MatchText.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <CTournament.h>
#include <CWindowEffectMgr.h>
#include <MatchState.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <Team.h>
#include <Terrain.h>
#include <TestReport.h>

namespace {

const Team* WinnerTeam(const MatchState& state, int winner) {
    return state.GetTeam(winner);
}

bool MatchEnded(const TournamentMatch& match) {
    return match.mFirstResult != 2;
}

bool BothComputer(const TournamentMatch& match) {
    return match.mFirstTeam && match.mSecondTeam && match.mFirstTeam->mComputer && match.mSecondTeam->mComputer;
}

}  // namespace

void CQMGMOutroState::OnEnter(int) {
    TestReport("state %s", "CQMGMOutroState");
    mGoToAwards = 0;
    mNextMatch = 0;
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    if (!state) {
        PlatLog("CQMGMOutroState::OnEnter() => no match state");
        return;
    }
    mWinner = MatchWinnerSide(state->mScoreA, state->mScoreB);
    TestReport("final %u %u", state->mScoreA, state->mScoreB);

    if (!mOwner->IsQuickMatch() && g_pCurrentTournament) {
        MatchSides sides;
        sides.mFirstTeam = state->mTeamA;
        sides.mSecondTeamWon = static_cast<uint32_t>(mWinner);
        MatchScores scores;
        scores.mWinnerPoints = static_cast<int32_t>(mWinner == 0 ? state->mScoreA : state->mScoreB);
        scores.mLoserPoints = static_cast<int32_t>(mWinner == 0 ? state->mScoreB : state->mScoreA);
        g_pCurrentTournament->SetMatchResult(sides, scores);
        if (CheckTournamentStep())
            g_pCurrentTournament->Advance();
        if (mOwner->mCurrentSaveSlot)
            mOwner->SaveTournament(mOwner->mCurrentSaveSlot->mPath);
    }

    mGoToAwards = CheckTeamStatus() ? 1 : 0;
    if (mGoToAwards)
        return;

    PlayCrowdReaction(mWinner);
    CHUDMgr::ShowLaunchHUD(false);
    for (const char* window : {"FrameButtons", "TextLeft", "TextRight", "FramePlayerName", "TextInfosPlayer"})
        ShowWindow(window, false);
    for (const char* window : {"infosP1", "infosP2", "infosP3"})
        CWindowEffectMgr::StopEffect(window);
    gGUIMgr.ShowOverlay("CHUDEndMatch");

    const Team* winner = WinnerTeam(*state, mWinner);
    const std::string winnerName = winner ? GetTeamScreenName(winner) : "";
    const uint32_t winnerScore = mWinner == 0 ? state->mScoreA : state->mScoreB;
    const uint32_t loserScore = mWinner == 0 ? state->mScoreB : state->mScoreA;
    const std::string text = ComposeMatchResultText(g_NetMgr.IsConnected(), winnerName, winnerScore, loserScore);
    SetWindowTextOf("textInfoEndMatch", text);
    SetWindowTextOf("textInfoEndMatchBG", text);
    CWindowEffectMgr::StartEffect("textInfoEndMatch");
    CWindowEffectMgr::StartEffect("textInfoEndMatchBG");

    ShowWindow("FrameEndMatch", true);
    ShowWindow("FrameEndTournament", false);
    ShowWindow("FrameEndMatchAwards", false);

    if (mOwner->IsQuickMatch()) {
        SetWindowTextOf("BtnEndMatchReplay", GetText("REPLAY"));
        SetWindowTextOf("BtnEndMatchQuit", GetText("QUIT_TO_MENU"));
        SetWindowTextOf("BtnEndMatchChangeTeam", GetText("CHG_TEAM"));
        SetWindowTextOf("BtnEndMatchChangeGameType", GetText("CHG_GAME_TYPE"));
    } else {
        TournamentInfo info;
        if (g_pCurrentTournament)
            g_pCurrentTournament->GetInfo(info);
        ShowWindow("BtnEndMatchReplay", true);
        SetWindowTextOf("BtnEndMatchReplay", GetText(info.mExtraInt == 4 ? "CTN_CAR" : "CTN_CHP"));
        ShowWindow("BtnEndMatchQuit", true);
        SetWindowTextOf("BtnEndMatchQuit", GetText("QUIT_CAR"));
        if (CheckTournamentStep())
            SetWindowTextOf("BtnEndMatchReplay", GetText("CTN"));
    }
    EnableWindow("BtnEndMatchChangeTeam", false);
    EnableWindow("BtnEndMatchChangeGameType", false);
}

void CQMGMOutroState::Update() {
    if (mGoToAwards) {
        mGoToAwards = 0;
        ChangeTo(QM_STATE_AWARDS);
    } else if (mNextMatch) {
        mNextMatch = 0;
        ChangeTo(QM_STATE_LAUNCH_MATCH);
    }
}

void CQMGMOutroState::OnLeave(int) {
    if (mOwner)
        mOwner->HideSidePlayers(nullptr);
    CWindowEffectMgr::StopEffect("textInfoEndMatch");
    CWindowEffectMgr::StopEffect("textInfoEndMatchBG");
    gSceneMgr.Resume();
    if (mOwner)
        mOwner->SetPanelLocked(false);
}

void CQMGMOutroState::OnContinue() {
    ShowWindow("FrameEndMatch", false);
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    mNextMatch = 1;
}

bool CQMGMOutroState::CheckTeamStatus() {
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    if (!state)
        return false;
    if (mOwner->IsQuickMatch()) {
        const Team* winner = state->GetTeam(MatchWinnerSide(state->mScoreA, state->mScoreB));
        // A match nobody plays crowns its winner too.
        return winner && (!winner->mComputer || mOwner->IsSpectatorMatch());
    }
    if (!g_pCurrentTournament || !g_pCurrentTournament->IsFinished())
        return false;
    std::vector<Team*> teams;
    g_pCurrentTournament->GetTeams(teams);
    for (const Team* team : teams)
        if (team && !team->mComputer)
            return true;
    return false;
}

bool CQMGMOutroState::CheckTournamentStep() {
    if (!g_pCurrentTournament)
        return false;
    TournamentInfo info;
    g_pCurrentTournament->GetInfo(info);
    if (!info.mFinalPending)
        return false;
    TournamentMatchList matches;
    g_pCurrentTournament->GetCurrentMatches(matches);
    if (matches.size() < 2)
        return false;
    return MatchEnded(matches[1]) || BothComputer(matches[1]);
}

void CQMGMOutroState::PlayCrowdReaction(int winner) {
    MatchState* state = mOwner ? mOwner->GetMatchState() : nullptr;
    if (!state || !state->mTerrain)
        return;
    const Team* team = state->GetTeam(winner);
    const bool human = team && !team->mComputer;
    const char* event = nullptr;
    switch (state->mTerrain->mStageId) {
    case 0:
    case 1:
        event = human ? "mediumPositiveReac" : "mediumNegativeReac";
        break;
    case 2:
        event = human ? "highPositiveReac" : "highNegativeReac";
        break;
    case 3:
        event = human ? "lowPositiveReac" : "lowNegativeReac";
        break;
    default:
        break;
    }
    if (event)
        gScenaricMgr.BroadcastEvent(event, 0);
}
