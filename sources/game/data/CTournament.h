// The current tournament (championship, cup or career stage) as the match
// flow sees it. The object behind it comes from the tournament component;
// the game core and the match flow reach it only through g_pCurrentTournament
// and only while that pointer is set.
#pragma once

#include <cstdint>
#include <vector>

class Team;

// Progress record of the current tournament.
struct TournamentInfo {
    int32_t mFormat = 0;          // 0 pools, 1 knock-out from the last 16
    int32_t mStep = 0;            // current step of the format, from 0
    uint8_t mFinalPending = 0;    // the first current match is to be simulated first
    uint8_t mCareerFlag = 0;      // copied from g_bTournamentCareer by every reader
    int32_t mCareerLevel = 0;     // 1, 2 or 3 in a career
    int32_t mExtraInt = 0;        // the tournament's own value; only saved
    int32_t mCareerStage = 0;     // 2 selects the career's closing handling
};

// One match of the tournament. Result 0: that side won; 2: not played yet.
// The scores are the winner's and the loser's in either order.
struct TournamentMatch {
    Team* mFirstTeam = nullptr;
    int32_t mFirstResult = 2;
    Team* mSecondTeam = nullptr;
    int32_t mSecondResult = 2;
    uint32_t mScoreOne = 0;
    uint32_t mScoreTwo = 0;
};

typedef std::vector<TournamentMatch> TournamentMatchList;
typedef std::vector<TournamentMatchList> TournamentPhaseList;

// A match result handed to the tournament.
struct MatchSides {
    Team* mFirstTeam = nullptr;
    uint32_t mSecondTeamWon = 0;   // 0 or 1
};
struct MatchScores {
    int32_t mWinnerPoints = 13;
    int32_t mLoserPoints = 0;      // 0..11
};

class CTournament {
public:
    virtual ~CTournament() = default;

    virtual void SetMatchResult(MatchSides& sides, MatchScores& scores) = 0;
    virtual bool IsFinished() = 0;
    // Lets the tournament play its next step by itself.
    virtual void Advance() = 0;
    // The list operations fill a vector that the caller has cleared.
    // The teams, best first.
    virtual void GetTeams(std::vector<Team*>& teams) = 0;
    virtual void GetCurrentMatches(TournamentMatchList& matches) = 0;
    // The matches of one phase (0 is the first).
    virtual void GetPhaseMatches(TournamentMatchList& matches, int phase) = 0;
    virtual void GetPhases(TournamentPhaseList& phases) = 0;
    virtual void GetInfo(TournamentInfo& info) = 0;
    virtual bool IsNewStep() = 0;
};

// Null until a tournament starts; the object left at exit is deleted then.
extern CTournament* g_pCurrentTournament;
// Set while the current tournament is a career stage.
extern uint8_t g_bTournamentCareer;
