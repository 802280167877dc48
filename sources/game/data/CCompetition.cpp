#include "CCompetition.h"

#include "GameDifficulty.h"
#include "Team.h"
#include "TeamDB.h"
#include "TournamentSaveRecord.h"

#include <Platform.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

const int kPoolPhases = 6;       // two pool rounds, play-off, quarter-finals, semi-finals, last
const int kKnockoutPhases = 4;   // last 16, quarter-finals, semi-finals, last
const int kPoolCount = 4;
const int kMatchResultWon = 0, kMatchResultLost = 1;   // 2: not played yet
// A match ends once a side reaches 13; the last mene adds at most the six
// balls of one side to 12.
const uint32_t kMaxMatchScore = 12 + 6;

TournamentMatch Pairing(Team* first, Team* second) {
    TournamentMatch match;
    match.mFirstTeam = first;
    match.mSecondTeam = second;
    return match;
}

// Winners of consecutive pairs of matches meet.
TournamentMatchList WinnersOfPairs(const TournamentMatchList& previous) {
    TournamentMatchList phase;
    for (size_t k = 0; k + 1 < previous.size(); k += 2)
        phase.push_back(Pairing(MatchWinner(previous[k]), MatchWinner(previous[k + 1])));
    return phase;
}

// The third-place match (the semi-finals' losers), then the final.
TournamentMatchList LastPhase(const TournamentMatchList& semis) {
    TournamentMatchList phase;
    if (semis.size() == 2) {
        phase.push_back(Pairing(MatchLoser(semis[0]), MatchLoser(semis[1])));
        phase.push_back(Pairing(MatchWinner(semis[0]), MatchWinner(semis[1])));
    }
    return phase;
}

void SetResult(TournamentMatch& match, bool secondWon, int32_t winnerPoints, int32_t loserPoints) {
    match.mFirstResult = secondWon ? kMatchResultLost : kMatchResultWon;
    match.mSecondResult = secondWon ? kMatchResultWon : kMatchResultLost;
    const uint32_t winner = static_cast<uint32_t>(std::max(winnerPoints, 0));
    const uint32_t loser = static_cast<uint32_t>(std::max(loserPoints, 0));
    match.mScoreOne = secondWon ? loser : winner;
    match.mScoreTwo = secondWon ? winner : loser;
}

}  // namespace

TournamentMatchList PoolQuarterFinals(const TournamentMatchList& secondRound, const TournamentMatchList& playOffs) {
    TournamentMatchList phase;
    if (secondRound.size() != static_cast<size_t>(2 * kPoolCount) || playOffs.size() != static_cast<size_t>(kPoolCount))
        return phase;
    for (int p = 0; p < kPoolCount; ++p)
        phase.push_back(Pairing(MatchWinner(secondRound[2 * p]), MatchWinner(playOffs[(p + 1) % kPoolCount])));
    return phase;
}

int32_t TeamSimulationWeight(const Team* team, int difficulty) {
    if (!team)
        return 0;
    const int level = (difficulty == 0 || difficulty == 1) ? difficulty : 2;
    return team->mDifficulty[level][0] * team->mDifficulty[level][1];
}

SimulatedResult DrawSimulatedResult(int32_t weightA, int32_t weightB, int (*random)()) {
    SimulatedResult result;
    const int64_t sum = static_cast<int64_t>(weightA) + weightB;
    if (sum <= 0 || weightA < 0 || weightB < 0) {
        // No strength on either side (or a broken table): neither team is
        // favoured, and nothing is divided by zero.
        result.mSecondWon = (static_cast<unsigned>(random()) % 2u) == 1u;
    } else {
        const uint64_t r = static_cast<uint64_t>(static_cast<unsigned>(random())) % static_cast<uint64_t>(sum);
        result.mSecondWon = static_cast<uint64_t>(weightA) < r;
    }
    result.mWinnerPoints = 13;
    result.mLoserPoints = static_cast<int32_t>(static_cast<unsigned>(random()) % 12u);
    return result;
}

CCompetition::CCompetition(int format, const std::vector<Team*>& teams, const std::set<Team*>& humans, int kind)
    : mFormat(format == FORMAT_POOLS ? FORMAT_POOLS : FORMAT_KNOCKOUT), mKind(kind), mTeams(teams),
      mHumans(humans) {
    if (mTeams.size() != static_cast<size_t>(kTeamCount))
        PlatLog("CCompetition() => %zu teams instead of %d", mTeams.size(), kTeamCount);
    DrawFirstPhase();
    ApplyTeamControl();
}

int CCompetition::GetPhaseCount() const { return mFormat == FORMAT_POOLS ? kPoolPhases : kKnockoutPhases; }

void CCompetition::DrawFirstPhase() {
    mPhases.clear();
    TournamentMatchList first;
    for (size_t i = 0; i + 1 < mTeams.size(); i += 2)
        first.push_back(Pairing(mTeams[i], mTeams[i + 1]));
    mPhases.push_back(first);
    mStep = 1;
    mNewStep = true;
    mFinished = false;
    UpdateFinalPending();
}

TournamentMatchList CCompetition::BuildPhase(size_t index) const {
    if (index == 0 || index > mPhases.size())
        return {};
    const TournamentMatchList& previous = mPhases[index - 1];
    if (mFormat == FORMAT_KNOCKOUT)
        return index + 1 == static_cast<size_t>(kKnockoutPhases) ? LastPhase(previous) : WinnersOfPairs(previous);

    TournamentMatchList phase;
    switch (index) {
    case 1:   // in each pool the winners meet, and the losers
        for (int p = 0; p < kPoolCount && static_cast<size_t>(2 * p + 1) < previous.size(); ++p) {
            phase.push_back(Pairing(MatchWinner(previous[2 * p]), MatchWinner(previous[2 * p + 1])));
            phase.push_back(Pairing(MatchLoser(previous[2 * p]), MatchLoser(previous[2 * p + 1])));
        }
        break;
    case 2:   // play-off for each pool's second place
        for (int p = 0; p < kPoolCount && static_cast<size_t>(2 * p + 1) < previous.size(); ++p)
            phase.push_back(Pairing(MatchLoser(previous[2 * p]), MatchWinner(previous[2 * p + 1])));
        break;
    case 3:
        phase = PoolQuarterFinals(mPhases[1], previous);
        break;
    case 4:
        phase = WinnersOfPairs(previous);
        break;
    case 5:
        phase = LastPhase(previous);
        break;
    default:
        break;
    }
    return phase;
}

bool CCompetition::IsHuman(const Team* team) const {
    return team && mHumans.count(const_cast<Team*>(team)) != 0;
}

bool CCompetition::HasHuman(const TournamentMatch& match) const {
    return IsHuman(match.mFirstTeam) || IsHuman(match.mSecondTeam);
}

void CCompetition::ApplyTeamControl() {
    for (Team* team : mTeams)
        if (team)
            team->mComputer = !IsHuman(team);
}

bool CCompetition::NextPlayedMatch(TournamentMatch& match) const {
    if (mFinished || mPhases.empty())
        return false;
    for (const TournamentMatch& candidate : mPhases.back()) {
        if (!IsMatchPlayed(candidate) && HasHuman(candidate)) {
            match = candidate;
            return true;
        }
    }
    return false;
}

namespace {
// The simulation's own draws: a match's result follows from the tournament's
// draw and the match's place in it, so a tournament restored from its save
// simulates what it would have simulated without the break.
uint32_t gSimulationState = 1;
int SimulationRandom() {
    gSimulationState = gSimulationState * 1103515245u + 12345u;
    return static_cast<int>((gSimulationState >> 16) & 0x7FFF);
}
}  // namespace

SimulatedResult CCompetition::KeyedResult(const TournamentMatch& match, size_t phase, size_t index) const {
    uint32_t key = 2166136261u;
    for (const Team* team : mTeams)
        key = (key ^ static_cast<uint32_t>(team ? team->mRegionId * 32 + team->mCountryId : 0)) * 16777619u;
    gSimulationState = key ^ static_cast<uint32_t>(phase * 7919u + index * 104729u + 1u);
    return DrawSimulatedResult(TeamSimulationWeight(match.mFirstTeam, g_CurrentDifficulty),
                               TeamSimulationWeight(match.mSecondTeam, g_CurrentDifficulty), &SimulationRandom);
}

void CCompetition::SimulateInto(TournamentMatch& match, size_t phase, size_t index) {
    const SimulatedResult result = KeyedResult(match, phase, index);
    SetResult(match, result.mSecondWon, result.mWinnerPoints, result.mLoserPoints);
}

bool CCompetition::DrawCurrentResult(const Team* first, const Team* second, SimulatedResult& result) const {
    if (mFinished || mPhases.empty())
        return false;
    const TournamentMatchList& current = mPhases.back();
    for (size_t m = 0; m < current.size(); ++m) {
        if (current[m].mFirstTeam == first && current[m].mSecondTeam == second && !IsMatchPlayed(current[m])) {
            result = KeyedResult(current[m], mPhases.size() - 1, m);
            return true;
        }
    }
    return false;
}

void CCompetition::UpdateFinalPending() {
    mFinalPending = false;
    if (mFinished || static_cast<int>(mPhases.size()) != GetPhaseCount())
        return;
    const TournamentMatchList& last = mPhases.back();
    if (last.size() != 2)
        return;
    mFinalPending = !IsMatchPlayed(last[0]) && !HasHuman(last[0]) && !IsMatchPlayed(last[1]) && HasHuman(last[1]);
}

void CCompetition::Settle() {
    if (mFinished || mPhases.empty())
        return;
    TournamentMatchList& current = mPhases.back();
    for (const TournamentMatch& match : current) {
        if (!IsMatchPlayed(match) && HasHuman(match)) {
            UpdateFinalPending();
            return;
        }
    }
    for (size_t m = 0; m < current.size(); ++m)
        if (!IsMatchPlayed(current[m]))
            SimulateInto(current[m], mPhases.size() - 1, m);
    mNewStep = true;
    if (static_cast<int>(mPhases.size()) >= GetPhaseCount()) {
        mFinished = true;
        mStep = static_cast<int>(mPhases.size()) + 1;
        mFinalPending = false;
        return;
    }
    mPhases.push_back(BuildPhase(mPhases.size()));
    mStep = static_cast<int>(mPhases.size());
    UpdateFinalPending();
}

void CCompetition::SetMatchResult(MatchSides& sides, MatchScores& scores) {
    // A played match may have handed a human side to the computer.
    ApplyTeamControl();
    if (mFinished || mPhases.empty()) {
        PlatLog("CCompetition::SetMatchResult() => the tournament is over; result ignored");
        return;
    }
    for (TournamentMatch& match : mPhases.back()) {
        if (IsMatchPlayed(match))
            continue;
        const bool asFirst = match.mFirstTeam == sides.mFirstTeam;
        const bool asSecond = match.mSecondTeam == sides.mFirstTeam;
        if (!asFirst && !asSecond)
            continue;
        const bool givenSecondWon = sides.mSecondTeamWon != 0;
        SetResult(match, asFirst ? givenSecondWon : !givenSecondWon, scores.mWinnerPoints, scores.mLoserPoints);
        mNewStep = false;
        Settle();
        UpdateFinalPending();
        return;
    }
    PlatLog("CCompetition::SetMatchResult() => no match to play for team \"%s\" in this phase; result ignored",
            sides.mFirstTeam ? sides.mFirstTeam->mName.c_str() : "(none)");
}

void CCompetition::Advance() {
    Settle();
    UpdateFinalPending();
}

void CCompetition::GetTeams(std::vector<Team*>& teams) {
    // How far each team went: 4 per phase reached, plus a win; the last
    // phase ranks the final's winner, its loser, then the third-place match.
    std::map<const Team*, int> rank;
    const int phaseCount = GetPhaseCount();
    for (size_t p = 0; p < mPhases.size(); ++p) {
        for (size_t m = 0; m < mPhases[p].size(); ++m) {
            const TournamentMatch& match = mPhases[p][m];
            int won = 1, lost = 0;
            if (static_cast<int>(p) + 1 == phaseCount) {
                won = m == 1 ? 3 : 1;
                lost = m == 1 ? 2 : 0;
            }
            const int base = static_cast<int>(p) * 4;
            for (int side = 0; side < 2; ++side) {
                const Team* team = side == 0 ? match.mFirstTeam : match.mSecondTeam;
                const int result = side == 0 ? match.mFirstResult : match.mSecondResult;
                const int value = base + (result == kMatchResultWon ? won : (result == kMatchResultLost ? lost : 0));
                int& best = rank[team];
                best = std::max(best, value);
            }
        }
    }
    std::vector<Team*> ordered = mTeams;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&rank](const Team* a, const Team* b) { return rank[a] > rank[b]; });
    teams.insert(teams.end(), ordered.begin(), ordered.end());
}

void CCompetition::GetCurrentMatches(TournamentMatchList& matches) {
    if (!mPhases.empty())
        matches.insert(matches.end(), mPhases.back().begin(), mPhases.back().end());
}

void CCompetition::GetPhaseMatches(TournamentMatchList& matches, int phase) {
    if (phase >= 0 && static_cast<size_t>(phase) < mPhases.size())
        matches.insert(matches.end(), mPhases[phase].begin(), mPhases[phase].end());
}

void CCompetition::GetPhases(TournamentPhaseList& phases) {
    phases.insert(phases.end(), mPhases.begin(), mPhases.end());
}

void CCompetition::GetInfo(TournamentInfo& info) {
    info.mFormat = mFormat;
    info.mStep = mStep;
    info.mFinalPending = mFinalPending ? 1 : 0;
    info.mCareerFlag = g_bTournamentCareer;
    info.mCareerLevel = mCareerLevel;
    info.mExtraInt = mKind;
    info.mCareerStage = mCareerStage;
}

std::vector<Team*> CCompetition::DrawTeams(bool national, const std::vector<Team*>& required, int (*random)()) {
    std::vector<Team*> pool;
    const std::vector<Team*>& table = TeamDB::GetTeams();
    const size_t begin = national ? 0 : TeamDB::NATIONAL_TEAM_COUNT;
    for (size_t i = begin; i < table.size() && i < begin + TeamDB::NATIONAL_TEAM_COUNT; ++i)
        if (table[i])
            pool.push_back(table[i]);
    for (Team* team : required)
        if (std::find(pool.begin(), pool.end(), team) == pool.end()) {
            PlatLog("CCompetition::DrawTeams() => a chosen team is not of the %s table", national ? "national" : "regional");
            return {};
        }
    if (pool.size() < static_cast<size_t>(kTeamCount))
        return {};
    pool.resize(kTeamCount);
    for (size_t i = pool.size() - 1; i > 0; --i)
        std::swap(pool[i], pool[static_cast<size_t>(static_cast<unsigned>(random())) % (i + 1)]);
    return pool;
}

CCompetition* CCompetition::FromSave(const SavedTournament& saved, const std::set<Team*>& humans) {
    CCompetition* competition = Restore(saved, humans);
    if (competition)
        competition->ApplyTeamControl();
    return competition;
}

bool CCompetition::IsResumable(const SavedTournament& saved, const std::set<Team*>& humans) {
    std::unique_ptr<CCompetition> competition(Restore(saved, humans));
    return competition != nullptr;
}

CCompetition* CCompetition::Restore(const SavedTournament& saved, const std::set<Team*>& humans) {
    if (saved.mFormat != FORMAT_POOLS && saved.mFormat != FORMAT_KNOCKOUT) {
        PlatLog("CCompetition::FromSave() => unknown format %u", saved.mFormat);
        return nullptr;
    }
    CCompetition* competition = new CCompetition();
    competition->mFormat = static_cast<int>(saved.mFormat);
    competition->mKind = static_cast<int>(saved.mExtraInt);
    competition->mCareerLevel = static_cast<int>(saved.mCareerLevel);
    competition->mCareerStage = static_cast<int>(saved.mCareerStage);
    competition->mHumans = humans;
    const auto refuse = [competition](const char* why) -> CCompetition* {
        PlatLog("CCompetition::FromSave() => %s: not a tournament of ours", why);
        delete competition;
        return nullptr;
    };
    const size_t phaseCount = saved.mPhases.size();
    if (phaseCount == 0 || phaseCount > static_cast<size_t>(competition->GetPhaseCount()))
        return refuse("wrong number of phases");

    const auto findTeam = [](const SavedTournamentMatch& match, uint32_t id) -> Team* {
        const int32_t value = static_cast<int32_t>(id);
        return match.mNational ? TeamDB::GetNationalTeam(value) : TeamDB::GetRegionalTeam(value);
    };
    for (size_t p = 0; p < phaseCount; ++p) {
        const std::vector<SavedTournamentMatch>& savedPhase = saved.mPhases[p];
        TournamentMatchList expected;
        if (p == 0) {
            if (savedPhase.size() != static_cast<size_t>(kTeamCount / 2))
                return refuse("the first phase is not of 8 matches");
            for (const SavedTournamentMatch& match : savedPhase) {
                Team* first = findTeam(match, match.mFirstTeamId);
                Team* second = findTeam(match, match.mSecondTeamId);
                if (!first || !second)
                    return refuse("a team id is not in the team table");
                competition->mTeams.push_back(first);
                competition->mTeams.push_back(second);
            }
            std::vector<Team*> distinct = competition->mTeams;
            std::sort(distinct.begin(), distinct.end());
            if (std::unique(distinct.begin(), distinct.end()) != distinct.end())
                return refuse("a team is drawn twice");
            competition->DrawFirstPhase();
            expected = competition->mPhases[0];
            competition->mPhases.clear();
        } else {
            for (const TournamentMatch& match : competition->mPhases.back())
                if (!IsMatchPlayed(match))
                    return refuse("a phase follows one that is not over");
            expected = competition->BuildPhase(p);
        }
        if (expected.size() != savedPhase.size())
            return refuse("a phase has the wrong number of matches");
        for (size_t m = 0; m < expected.size(); ++m) {
            const SavedTournamentMatch& match = savedPhase[m];
            TournamentMatch& built = expected[m];
            if (findTeam(match, match.mFirstTeamId) != built.mFirstTeam ||
                findTeam(match, match.mSecondTeamId) != built.mSecondTeam)
                return refuse("a match does not follow from the phase before");
            if (match.mWinner == -1 || match.mWinner == 1) {
                const bool secondWon = match.mWinner == 1;
                const uint32_t winnerScore = secondWon ? match.mScoreTwo : match.mScoreOne;
                const uint32_t loserScore = secondWon ? match.mScoreOne : match.mScoreTwo;
                if (winnerScore > kMaxMatchScore || loserScore > winnerScore)
                    return refuse("a played match has a score no match gives");
                SetResult(built, secondWon, static_cast<int32_t>(secondWon ? match.mScoreTwo : match.mScoreOne),
                          static_cast<int32_t>(secondWon ? match.mScoreOne : match.mScoreTwo));
                built.mScoreOne = match.mScoreOne;
                built.mScoreTwo = match.mScoreTwo;
            } else if (match.mWinner != 0) {
                return refuse("a match has an unknown winner");
            } else if (match.mScoreOne != 0 || match.mScoreTwo != 0) {
                return refuse("a match not played has a score");
            }
        }
        competition->mPhases.push_back(expected);
    }
    competition->mStep = static_cast<int>(competition->mPhases.size());
    bool lastOver = true;
    for (const TournamentMatch& match : competition->mPhases.back())
        lastOver = lastOver && IsMatchPlayed(match);
    if (lastOver && static_cast<int>(phaseCount) == competition->GetPhaseCount()) {
        competition->mFinished = true;
        competition->mStep = static_cast<int>(phaseCount) + 1;
    }
    // Without a gamer's team in the draw every match would be simulated and
    // the save overwritten with a tournament nobody played.
    if (humans.empty())
        return refuse("no gamer's team");
    for (Team* team : humans)
        if (std::find(competition->mTeams.begin(), competition->mTeams.end(), team) == competition->mTeams.end())
            return refuse("a gamer's team is not in the draw");
    competition->mNewStep = true;
    competition->UpdateFinalPending();
    return competition;
}
