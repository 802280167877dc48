#include "CQMGMTournamentInfoState.h"

#include "CQuickMatchGameMode.h"
#include "TournamentScreenAdapters.h"

#include <LaunchOptions.h>
#include <CCompetition.h>
#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <CWindowEffectMgr.h>
#include <CompetitionStart.h>
#include <GameDifficulty.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TestReport.h>

#include <algorithm>
#include <cstdio>

namespace {

const int kGamerCount = 6;
// The pools' step whose current phase is the play-off for second place.
const int kPlayOffStep = 3;

// The side's stored score: the larger for the winner, the smaller otherwise.
int32_t SideScore(const TournamentMatch& match, bool first) {
    if (!IsMatchPlayed(match))
        return -1;
    const uint32_t high = std::max(match.mScoreOne, match.mScoreTwo);
    const uint32_t low = std::min(match.mScoreOne, match.mScoreTwo);
    const bool won = first ? match.mFirstResult == 0 : (match.mFirstResult != 0 && match.mSecondResult == 0);
    return static_cast<int32_t>(won ? high : low);
}

// The tournament as it stands when a screen opens, for a test to hold the
// screen against: "tournament phase <phase> <match> <first's result>
// <second's result> <first>|<second>".
void ReportPhases() {
    if (!TestReportEnabled() || !g_pCurrentTournament)
        return;
    TournamentPhaseList phases;
    g_pCurrentTournament->GetPhases(phases);
    for (size_t p = 0; p < phases.size(); ++p)
        for (size_t m = 0; m < phases[p].size(); ++m) {
            const TournamentMatch& match = phases[p][m];
            TestReport("tournament phase %zu %zu %d %d %s|%s", p, m, match.mFirstResult, match.mSecondResult,
                       GetTeamScreenName(match.mFirstTeam).c_str(), GetTeamScreenName(match.mSecondTeam).c_str());
        }
}

void ReportLine(int slot, int position, const TournamentTeamLine& line) {
    TestReport("tournament line %d %d %d %s", slot, position, line.mScore, line.mName.c_str());
}

}  // namespace

CQMGMTournamentInfoState::~CQMGMTournamentInfoState() {
    delete mScreen;
    mScreen = nullptr;
}

std::vector<int> CQMGMTournamentInfoState::QueueFor(const TournamentInfo& info, bool newStep, bool referee,
                                                    int previousStep, bool finished, bool credits) {
    std::vector<int> queue;
    bool closing = false;
    if (info.mFormat == 0) {
        switch (info.mStep) {
        case 0:
            if (!newStep)
                queue = {KIND_STEP_ONE_A};
            break;
        case 1:
            queue = newStep ? std::vector<int>{KIND_QUALIFICATION, KIND_STEP_ONE_A} : std::vector<int>{KIND_STEP_ONE_A};
            break;
        case 2:
            queue = newStep ? std::vector<int>{KIND_STEP_ONE_C, KIND_STEP_ONE_A} : std::vector<int>{KIND_STEP_ONE_A};
            break;
        case 3:
            if (newStep)
                queue = {KIND_STEP_ONE_C, KIND_QUALIFICATION_RESULT, referee ? KIND_STEP_TWO_A : KIND_RESULT};
            else
                queue = {KIND_STEP_ONE_A};
            break;
        case 4:
            if (newStep)
                queue = {previousStep == 2 ? KIND_STEP_ONE_B : KIND_STEP_TWO_B, KIND_QUALIFICATION_RESULT, KIND_RESULT};
            else
                closing = true;
            break;
        default:
            closing = true;
            break;
        }
    } else if (info.mFormat == 1) {
        if (info.mStep == 1) {
            queue = referee ? std::vector<int>{KIND_FINALS_HELD} : std::vector<int>{KIND_FINALS, KIND_RESULT};
        } else if (info.mStep == 2) {
            if (newStep)
                queue.push_back(KIND_FINALS);
            queue.push_back(KIND_RESULT);
        } else {
            closing = true;
        }
    } else {
        closing = true;
    }
    if (closing) {
        queue.push_back(KIND_RESULT);
        if (finished) {
            queue.push_back(KIND_VICTORY);
            if (credits)
                queue.push_back(KIND_CREDITS);
        }
    }
    return queue;
}

bool CQMGMTournamentInfoState::CareerCredits() {
    if (!g_bTournamentCareer || !g_pCurrentTournament)
        return false;
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    std::vector<Team*> teams;
    g_pCurrentTournament->GetTeams(teams);
    return info.mCareerStage == 2 && !teams.empty() && teams[0] && !teams[0]->mComputer;
}

void CQMGMTournamentInfoState::BuildInfoQueue() {
    mQueue.clear();
    if (!g_pCurrentTournament) {
        PlatLog("CQMGMTournamentInfoState::BuildInfoQueue() => no current tournament");
        return;
    }
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    const bool newStep = g_pCurrentTournament->IsNewStep();
    const bool referee = mOwner && mOwner->GetGameMaster();
    const bool finished = g_pCurrentTournament->IsFinished();
    mQueue = QueueFor(info, newStep, referee, mPreviousStep, finished, finished && CareerCredits());
    mVictoryQueued = mVictoryQueued || std::find(mQueue.begin(), mQueue.end(), int(KIND_VICTORY)) != mQueue.end();
    TestReport("tournament step %d %d %d", info.mFormat, info.mStep, newStep ? 1 : 0);
    mPreviousStep = info.mStep;
    mAdvanced = false;
}

void CQMGMTournamentInfoState::OnEnter(int) {
    TestReport("state %s", "CQMGMTournamentInfoState");
    CHUDMgr::ShowLoadingScreen(true);
    PlatLog("INFO TOURNAMENT STATE");
    if (!HasTournamentScreenBuilder())
        SetTournamentScreenBuilder(&BuildHudTournamentScreen);
    ReleaseInfo();
    mDone = false;
    mEnded = false;
    mRetry = 0;
    mVictoryQueued = false;
    BuildInfoQueue();
}

void CQMGMTournamentInfoState::OnLeave(int) {
    ReleaseInfo();
    PlatLog("END INFO TOURNAMENT STATE");
    HideOverlayElement("EndMatch");
}

void CQMGMTournamentInfoState::ReleaseInfo() {
    delete mScreen;
    mScreen = nullptr;
    mSlot = 0;
}

CTournamentScreen* CQMGMTournamentInfoState::OpenScreen(int slot, int kind) {
    ReleaseInfo();
    ReportPhases();
    TestReport("tournament screen %d %d", kind, slot);
    mScreen = CreateTournamentScreen(slot);
    if (mScreen)
        mSlot = slot;
    else
        PlatLog("CQMGMTournamentInfoState => no screen for slot %d in this build; kind %d goes by", slot, kind);
    return mScreen;
}

std::string CQMGMTournamentInfoState::FindTeamName(const Team* team, int k) {
    if (!team || team->mComputer || !mOwner)
        return std::string();
    const int id = team->mNational ? team->mCountryId : team->mRegionId;
    int seen = 0;
    for (int i = 0; i < kGamerCount; ++i) {
        if (mOwner->GetGamerTeamId(i) != id)
            continue;
        if (seen++ == k)
            return mOwner->GetGamerName(i);
    }
    return std::string();
}

TournamentTeamLine CQMGMTournamentInfoState::PlayOffLine(int pool) {
    TournamentTeamLine line;
    char text[128];
    PlatFormat(text, sizeof(text), "%s %s %i", GetText("PLAY_OFF"), GetText("POULE"), pool + 1);
    line.mName = text;
    return line;
}

TournamentTeamLine CQMGMTournamentInfoState::MakeTeamLine(const Team* team, int32_t score) {
    TournamentTeamLine line;
    if (!team)
        return line;
    line.mName = GetTeamScreenName(team);
    line.mComputer = team->mComputer ? 1 : 0;
    line.mPlayerCount = mOwner ? mOwner->GetGameType() : 1;
    for (int k = 0; k < 3; ++k)
        line.mPlayers[k] = FindTeamName(team, k);
    line.mScore = score;
    return line;
}

void CQMGMTournamentInfoState::FillPairingLines(TournamentPairing& lines, const TournamentMatch& match, int index) {
    const int base = index == 1 ? 2 : 0;
    lines.mTeams[base] = MakeTeamLine(match.mFirstTeam, SideScore(match, true));
    lines.mTeams[base + 1] = MakeTeamLine(match.mSecondTeam, SideScore(match, false));
    lines.mFirstWon[index == 1 ? 1 : 0] = match.mFirstResult == 0 ? 1 : 0;
}

void CQMGMTournamentInfoState::DrawLine(int slot, int position, const TournamentTeamLine& line) {
    ReportLine(slot, position, line);
    if (mScreen)
        mScreen->SetTeamLine(position, line);
}

void CQMGMTournamentInfoState::ShowGroup(int slot, const TournamentPairing& lines, int group, int teams) {
    for (int t = 0; t < teams; ++t)
        if (!lines.mTeams[t].mName.empty())
            ReportLine(slot, 4 * group + t + 1, lines.mTeams[t]);
    if (mScreen)
        mScreen->ShowGroup(lines, group);
}

void CQMGMTournamentInfoState::ShowPairs(const TournamentMatchList& matches, int slot, int kind, bool oneMatchPerGroup) {
    OpenScreen(slot, kind);
    const size_t perGroup = oneMatchPerGroup ? 1 : 2;
    for (size_t k = 0; k * perGroup < matches.size(); ++k) {
        TournamentPairing lines;
        for (size_t i = 0; i < perGroup && k * perGroup + i < matches.size(); ++i)
            FillPairingLines(lines, matches[k * perGroup + i], static_cast<int>(i));
        ShowGroup(slot, lines, static_cast<int>(k), oneMatchPerGroup ? 2 : 4);
    }
}

void CQMGMTournamentInfoState::ShowQualification(bool result) {
    if (result) {
        ShowPoolResults();
        return;
    }
    TournamentMatchList matches;
    g_pCurrentTournament->GetCurrentMatches(matches);
    OpenScreen(TS_QUALIFICATION, KIND_QUALIFICATION);
    for (size_t p = 0; 2 * p < matches.size(); ++p) {
        TournamentPairing lines;
        FillPairingLines(lines, matches[2 * p], 0);
        if (2 * p + 1 < matches.size())
            FillPairingLines(lines, matches[2 * p + 1], 1);
        ShowGroup(TS_QUALIFICATION, lines, static_cast<int>(p), 4);
    }
}

void CQMGMTournamentInfoState::ShowPoolResults() {
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    // Play-offs without gamers are played out first, so that the pools'
    // seconds are shown as they go through rather than guessed.
    const bool referee = mOwner && mOwner->GetGameMaster();
    if (!referee && info.mFormat == 0 && info.mStep == kPlayOffStep && !g_pCurrentTournament->IsFinished()) {
        g_pCurrentTournament->Advance();
        mAdvanced = true;
    }
    TournamentMatchList secondRound, playOffs;
    g_pCurrentTournament->GetPhaseMatches(secondRound, 1);
    g_pCurrentTournament->GetPhaseMatches(playOffs, 2);
    OpenScreen(TS_QUALIFICATION_RESULT, KIND_QUALIFICATION_RESULT);
    for (size_t p = 0; 2 * p + 1 < secondRound.size(); ++p) {
        const TournamentMatch& winners = secondRound[2 * p];
        const TournamentMatch& losers = secondRound[2 * p + 1];
        if (!IsMatchPlayed(winners) || !IsMatchPlayed(losers))
            continue;   // the pool is not decided yet: nothing to label
        // Column A: the pool's first over the team out of the losers' match;
        // column B: the play-off for second place, unplayed while it waits.
        const Team* first = MatchWinner(winners);
        const Team* out = MatchLoser(losers);
        TournamentPairing lines;
        lines.mTeams[0] = MakeTeamLine(first, SideScore(winners, first == winners.mFirstTeam));
        lines.mTeams[1] = MakeTeamLine(out, SideScore(losers, out == losers.mFirstTeam));
        lines.mFirstWon[0] = 1;
        if (p < playOffs.size()) {
            FillPairingLines(lines, playOffs[p], 1);
        } else {
            TournamentMatch pending;
            pending.mFirstTeam = MatchLoser(winners);
            pending.mSecondTeam = MatchWinner(losers);
            FillPairingLines(lines, pending, 1);
        }
        ShowGroup(TS_QUALIFICATION_RESULT, lines, static_cast<int>(p), 4);
    }
}

void CQMGMTournamentInfoState::ShowFinals(int kind) {
    const bool referee = mOwner && mOwner->GetGameMaster();
    if (!referee && !g_pCurrentTournament->IsFinished())
        g_pCurrentTournament->Advance();
    TournamentMatchList matches;
    g_pCurrentTournament->GetPhaseMatches(matches, 0);
    OpenScreen(TS_STEP16, kind);
    for (size_t k = 0; 2 * k < matches.size(); ++k) {
        TournamentPairing lines;
        if (2 * k + 1 < matches.size())
            FillPairingLines(lines, matches[2 * k + 1], 0);
        FillPairingLines(lines, matches[2 * k], 1);
        if (2 * k + 1 < matches.size() && IsMatchPlayed(matches[2 * k + 1]))
            DrawLine(TS_STEP16, static_cast<int>(18 + 2 * k), MakeTeamLine(MatchWinner(matches[2 * k + 1]), -1));
        if (IsMatchPlayed(matches[2 * k]))
            DrawLine(TS_STEP16, static_cast<int>(17 + 2 * k), MakeTeamLine(MatchWinner(matches[2 * k]), -1));
        ShowGroup(TS_STEP16, lines, static_cast<int>(k), 4);
    }
}

void CQMGMTournamentInfoState::ShowTournamentResult() {
    const bool referee = mOwner && mOwner->GetGameMaster();
    // Once per queue: the pools' results may have moved the tournament on.
    if (!referee && !mAdvanced && !g_pCurrentTournament->IsFinished())
        g_pCurrentTournament->Advance();
    OpenScreen(TS_RESULT, KIND_RESULT);
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    if (info.mFinalPending) {
        TournamentMatchList current;
        g_pCurrentTournament->GetCurrentMatches(current);
        if (!current.empty()) {
            SimulateMatch(current[0].mFirstTeam, current[0].mSecondTeam);
            current.clear();
            g_pCurrentTournament->GetCurrentMatches(current);
            if (!current.empty() && (current[0].mScoreOne != 0 || current[0].mScoreTwo != 0))
                DrawLine(TS_RESULT, 18, MakeTeamLine(MatchWinner(current[0]), -1));
        }
    }
    TournamentPhaseList phases;
    g_pCurrentTournament->GetPhases(phases);
    if (info.mFormat == 0 && phases.size() == static_cast<size_t>(kPlayOffStep)) {
        // A gamer's play-off is still to come: the quarter-finals as far as
        // they are known, each pending second named by its pool.
        const TournamentMatchList quarters = PoolQuarterFinals(phases[1], phases[2]);
        for (size_t q = 0; q < quarters.size(); ++q) {
            DrawLine(TS_RESULT, static_cast<int>(2 * q + 1), MakeTeamLine(quarters[q].mFirstTeam, -1));
            DrawLine(TS_RESULT, static_cast<int>(2 * q + 2),
                     quarters[q].mSecondTeam ? MakeTeamLine(quarters[q].mSecondTeam, -1)
                                             : PlayOffLine(static_cast<int>((q + 1) % quarters.size())));
        }
        return;
    }
    int p = 1;
    for (size_t phase = info.mFormat == 0 ? 3 : 1; phase < phases.size(); ++phase) {
        for (const TournamentMatch& match : phases[phase]) {
            for (int side = 0; side < 2; ++side) {
                const Team* team = side == 0 ? match.mFirstTeam : match.mSecondTeam;
                int position = p;
                if (p >= 13 && p <= 16)
                    position = p <= 14 ? p + 2 : p - 2;
                if (position <= 18)
                    DrawLine(TS_RESULT, position, MakeTeamLine(team, SideScore(match, side == 0)));
                ++p;
            }
        }
    }
    if (p == 17 && g_pCurrentTournament->IsFinished() && !phases.empty() && !phases.back().empty()) {
        const TournamentMatchList& last = phases.back();
        DrawLine(TS_RESULT, 17, MakeTeamLine(MatchWinner(last.back()), -1));
        if (last.size() >= 2)
            DrawLine(TS_RESULT, 18, MakeTeamLine(MatchWinner(last[last.size() - 2]), -1));
    }
}

void CQMGMTournamentInfoState::ShowVictory() {
    std::vector<Team*> teams;
    g_pCurrentTournament->GetTeams(teams);
    // A tournament of fewer than three teams shows only the ranks it has.
    Team* podium[3] = {nullptr, nullptr, nullptr};
    for (size_t i = 0; i < 3 && i < teams.size(); ++i)
        podium[i] = teams[i];
    OpenScreen(TS_VICTORY, KIND_VICTORY);
    for (int i = 0; i < 3; ++i)
        if (podium[i])
            TestReport("tournament podium %d %s", i + 1, GetTeamScreenName(podium[i]).c_str());
    if (mScreen)
        mScreen->ShowPodium(podium[0], podium[1], podium[2], podium[0] && podium[0]->mNational);
}

bool CQMGMTournamentInfoState::ShowNextInfo() {
    if (mQueue.empty())
        return false;
    const int kind = mQueue.front();
    mQueue.erase(mQueue.begin());
    if (kind == KIND_NONE || !g_pCurrentTournament)
        return false;
    TournamentMatchList matches;
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    switch (kind) {
    case KIND_QUALIFICATION: ShowQualification(false); break;
    case KIND_QUALIFICATION_RESULT: ShowQualification(true); break;
    case KIND_STEP_ONE_A:
        g_pCurrentTournament->GetCurrentMatches(matches);
        ShowPairs(matches, TS_STEP_ONE, kind, false);
        break;
    case KIND_STEP_TWO_A:
        g_pCurrentTournament->GetCurrentMatches(matches);
        ShowPairs(matches, TS_STEP_TWO, kind, true);
        break;
    case KIND_STEP_ONE_B:
        g_pCurrentTournament->GetPhaseMatches(matches, info.mStep - 3);
        ShowPairs(matches, TS_STEP_ONE, kind, false);
        break;
    case KIND_STEP_ONE_C:
        g_pCurrentTournament->GetPhaseMatches(matches, info.mStep - 2);
        ShowPairs(matches, TS_STEP_ONE, kind, false);
        break;
    case KIND_STEP_TWO_B:
        g_pCurrentTournament->GetPhaseMatches(matches, info.mStep - 2);
        ShowPairs(matches, TS_STEP_TWO, kind, true);
        break;
    case KIND_FINALS_HELD:
    case KIND_FINALS: ShowFinals(kind); break;
    case KIND_RESULT: ShowTournamentResult(); break;
    case KIND_VICTORY: ShowVictory(); break;
    case KIND_CREDITS: OpenScreen(TS_CREDITS, KIND_CREDITS); break;
    default: TestReport("tournament screen %d 0", kind); break;   // nothing to show
    }
    return true;
}

void CQMGMTournamentInfoState::SimulateMatch(Team* first, Team* second) {
    if (!first || !second || !first->mComputer || !second->mComputer || !g_pCurrentTournament)
        return;
    // Our tournament draws from its own key, so that a resumed run gives the
    // same result as an uninterrupted one.
    SimulatedResult result;
    const CCompetition* competition = dynamic_cast<const CCompetition*>(g_pCurrentTournament);
    if (!competition || !competition->DrawCurrentResult(first, second, result))
        result = DrawSimulatedResult(TeamSimulationWeight(first, g_CurrentDifficulty),
                                     TeamSimulationWeight(second, g_CurrentDifficulty), &KemRand);
    MatchSides sides;
    sides.mFirstTeam = first;
    sides.mSecondTeamWon = result.mSecondWon ? 1 : 0;
    MatchScores scores;
    scores.mWinnerPoints = result.mWinnerPoints;
    scores.mLoserPoints = result.mLoserPoints;
    g_pCurrentTournament->SetMatchResult(sides, scores);
}

void CQMGMTournamentInfoState::ShowEndTournament() {
    ReleaseInfo();
    if (mOwner)
        mOwner->ResetMatch(false);
    for (const char* frame : {"FrameEndMatchAwards", "FrameEndMatch", "FrameButtons", "FramePlayerName"})
        ShowWindow(frame, false);
    // The radar's pictures are gone under the end frame: so are its click areas.
    for (const char* window : {"BtnLeft", "BtnRight", "BtnCamPlus", "BtnCamMoins"})
        ShowWindow(window, false);
    for (const char* window : {"infosP1", "infosP2", "infosP3"})
        CWindowEffectMgr::StopEffect(window);
    // The tournament screens' ground over the emptied venue, not the black
    // loading screen.
    gGUIMgr.ShowOverlay("CHUDEndTournament");
    ShowWindow("FrameEndTournament", true);
    CHUDMgr::ShowLoadingScreen(false);
    mEnded = true;
    mRetry = 0;
    TestReport("tournament end");
}

void CQMGMTournamentInfoState::EraseSaveAndRestart() {
    if (!mRetry || !mOwner)
        return;
    mRetry = 0;
    if (SaveSlot* slot = mOwner->mCurrentSaveSlot) {
        slot->mInfo = GetText("EMPTY_SAVE_SLOT_INFO");
        if (std::remove(PlatFixPath(slot->mPath).c_str()) != 0)
            PlatLog("CQMGMTournamentInfoState::EraseSaveAndRestart() => \"%s\" not deleted", slot->mPath.c_str());
    }
    // The same competition again: a fresh draw with the same gamers.
    mOwner->StoreMatchParams();
    if (!StartCompetition(gSceneMgr.GetEnvironment()))
        PlatLog("CQMGMTournamentInfoState::EraseSaveAndRestart() => no new tournament; the old one stays");
    mOwner->Finish(GAME_MODE_QUICK_MATCH);
}

void CQMGMTournamentInfoState::ChooseWhatFollows() {
    if (!mOwner)
        return;
    if (!g_pCurrentTournament) {
        PlatLog("CQMGMTournamentInfoState => no current tournament: back to the menu");
        CHUDMgr::ShowLoadingScreen(false);
        mOwner->Finish(HomeMenuModeId());
        return;
    }
    if (mOwner->mCurrentSaveSlot)
        mOwner->SaveTournament(mOwner->mCurrentSaveSlot->mPath);
    const bool finished = g_pCurrentTournament->IsFinished();
    if (mOwner->GetGameMaster()) {
        if (!finished)
            ChangeTo(QM_STATE_INTRO);
        else
            ShowEndTournament();
        return;
    }
    if (!finished) {
        // The next match a team of gamers plays; else the tournament plays
        // its next step by itself and the screens of that step follow.
        TournamentMatchList current;
        g_pCurrentTournament->GetCurrentMatches(current);
        for (const TournamentMatch& match : current) {
            if (IsMatchPlayed(match) || !match.mFirstTeam || !match.mSecondTeam ||
                (match.mFirstTeam->mComputer && match.mSecondTeam->mComputer))
                continue;
            if (mOwner->StartTournamentMatch(match)) {
                ChangeTo(QM_STATE_INTRO);
            } else {
                PlatLog("CQMGMTournamentInfoState => the next match cannot be set up: back to the menu");
                CHUDMgr::ShowLoadingScreen(false);
                mOwner->Finish(HomeMenuModeId());
            }
            return;
        }
        TournamentInfo before;
        GetCurrentTournamentInfo(before);
        g_pCurrentTournament->Advance();
        TournamentInfo after;
        GetCurrentTournamentInfo(after);
        if (after.mStep == before.mStep && !g_pCurrentTournament->IsFinished()) {
            PlatLog("CQMGMTournamentInfoState => the tournament does not move on; ended here");
            ShowEndTournament();
            return;
        }
        BuildInfoQueue();
        return;
    }
    // A tournament that ended while its last screens were on show still gets
    // its podium.
    if (!mVictoryQueued) {
        mVictoryQueued = true;
        mQueue.push_back(KIND_VICTORY);
        if (CareerCredits())
            mQueue.push_back(KIND_CREDITS);
        return;
    }
    if (!g_bTournamentCareer) {
        ShowEndTournament();
        return;
    }
    TournamentInfo info;
    GetCurrentTournamentInfo(info);
    std::vector<Team*> teams;
    g_pCurrentTournament->GetTeams(teams);
    if (info.mCareerStage != 2)
        mOwner->ReturnToCareer(false);
    else if (!teams.empty() && teams[0] && teams[0]->mComputer)
        mOwner->ReturnToCareer(true);
    else
        mOwner->Finish(HomeMenuModeId());
}

void CQMGMTournamentInfoState::Update() {
    if (!mOwner || mOwner->IsFinished())
        return;
    if (mEnded) {
        EraseSaveAndRestart();
        return;
    }
    bool done = mSlot == 0;
    if (mScreen) {
        if (mSlot == TS_CREDITS)
            mScreen->Update();
        done = mScreen->IsValidated();
    }
    if (!done)
        return;
    mDone = false;
    if (ShowNextInfo())
        return;
    ReleaseInfo();
    ChooseWhatFollows();
}
