// Our tournament behind CTournament: sixteen teams, either in four pools of
// four (two rounds, a play-off for the second place of each pool, then
// quarter-finals) or straight into a knock-out from the last 16; both end on
// semi-finals and a last phase of two matches, the third-place match first
// and the final second.
//
// Matches of a team with human gamers are played; every other match is
// simulated. A phase is settled as soon as its played matches are in (or on
// Advance when it has none): its other matches are simulated and the next
// phase is drawn from its winners, one phase at a time. The step is the
// number of phases drawn (one more once the tournament is over), so a
// tournament restored from its save stands exactly where it was saved.
#pragma once

#include "CTournament.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

struct SavedTournament;

// A simulated match: the two weights are the teams' strength factor times
// their computer level at the difficulty. r = random() % (wA + wB); the
// second team wins when wA < r; the loser scores random() % 12. A weight sum
// of 0 or less is an even draw (random() % 2 decides).
struct SimulatedResult {
    bool mSecondWon = false;
    int32_t mWinnerPoints = 13;
    int32_t mLoserPoints = 0;
};
int32_t TeamSimulationWeight(const Team* team, int difficulty);
SimulatedResult DrawSimulatedResult(int32_t weightA, int32_t weightB, int (*random)());

class CCompetition : public CTournament {
public:
    enum Format { FORMAT_POOLS = 0, FORMAT_KNOCKOUT = 1 };
    static const int kTeamCount = 16;

    // `teams` in draw order (pools of four in a row, or last-16 pairs);
    // `humans` the teams with gamers. `kind` is kept as the progress
    // record's saved int (the menus' tournament type: 2, 3 or 4).
    CCompetition(int format, const std::vector<Team*>& teams, const std::set<Team*>& humans, int kind);

    // The tournament a save describes, its teams' computer flags set from
    // `humans`; null (logged) when the save is not a tournament of ours: an
    // unknown format, team id or phase size, a result for a match that no
    // team of the draw plays, teams that do not follow from the previous
    // phase, a score no match gives, or no gamer's team (none given, or one
    // outside the draw): such a tournament would only play itself.
    static CCompetition* FromSave(const SavedTournament& saved, const std::set<Team*>& humans);
    // FromSave's verdict alone: no team's flags are touched.
    static bool IsResumable(const SavedTournament& saved, const std::set<Team*>& humans);

    // Draws 16 distinct teams of one table (national or regional) in random
    // order, with `required` among them; empty when the table has fewer.
    static std::vector<Team*> DrawTeams(bool national, const std::vector<Team*>& required, int (*random)());

    void SetMatchResult(MatchSides& sides, MatchScores& scores) override;
    bool IsFinished() override { return mFinished; }
    void Advance() override;
    void GetTeams(std::vector<Team*>& teams) override;
    void GetCurrentMatches(TournamentMatchList& matches) override;
    void GetPhaseMatches(TournamentMatchList& matches, int phase) override;
    void GetPhases(TournamentPhaseList& phases) override;
    void GetInfo(TournamentInfo& info) override;
    bool IsNewStep() override { return mNewStep; }

    void SetCareer(int level, int stage) {
        mCareerLevel = level;
        mCareerStage = stage;
    }
    bool IsHuman(const Team* team) const;
    // The first match of the current phase still to be played by a team
    // with gamers; false when none is left.
    bool NextPlayedMatch(TournamentMatch& match) const;
    // The result the tournament's own keyed draw gives the current phase's
    // unplayed match of these two teams (in this order): the same in every
    // run of this draw, resumed or not. False when there is no such match.
    bool DrawCurrentResult(const Team* first, const Team* second, SimulatedResult& result) const;
    // Every team's computer flag from the set of human teams (a match may
    // have changed them).
    void ApplyTeamControl();
    int GetFormat() const { return mFormat; }
    int GetStep() const { return mStep; }
    // How many phases the format has.
    int GetPhaseCount() const;

private:
    CCompetition() = default;
    static CCompetition* Restore(const SavedTournament& saved, const std::set<Team*>& humans);
    // The first phase from the draw.
    void DrawFirstPhase();
    // Phase `index` from the results of the phases before it.
    TournamentMatchList BuildPhase(size_t index) const;
    // Plays out the current phase once none of its matches waits for gamers
    // and draws the next (or ends the tournament).
    void Settle();
    SimulatedResult KeyedResult(const TournamentMatch& match, size_t phase, size_t index) const;
    void SimulateInto(TournamentMatch& match, size_t phase, size_t index);
    void UpdateFinalPending();
    bool HasHuman(const TournamentMatch& match) const;

    int mFormat = FORMAT_KNOCKOUT;
    int mKind = 0;
    int mCareerLevel = 0;
    int mCareerStage = 0;
    int mStep = 0;
    bool mNewStep = true;
    bool mFinished = false;
    bool mFinalPending = false;
    std::vector<Team*> mTeams;
    std::set<Team*> mHumans;
    TournamentPhaseList mPhases;
};

// Played or not, and who won.
inline bool IsMatchPlayed(const TournamentMatch& match) { return match.mFirstResult != 2; }
inline Team* MatchWinner(const TournamentMatch& match) {
    if (match.mFirstResult == 0)
        return match.mFirstTeam;
    if (match.mSecondResult == 0)
        return match.mSecondTeam;
    return nullptr;
}
// The pools' quarter-finals: pool p's first (the winner of its winners'
// match in the second round) meets pool p + 1's second (its play-off's
// winner). A side not known yet is null; empty unless both lists are whole.
TournamentMatchList PoolQuarterFinals(const TournamentMatchList& secondRound, const TournamentMatchList& playOffs);

inline Team* MatchLoser(const TournamentMatch& match) {
    if (match.mFirstResult == 0)
        return match.mSecondTeam;
    if (match.mSecondResult == 0)
        return match.mFirstTeam;
    return nullptr;
}
