// Our tournament: the two formats from their draw to the podium, played and
// simulated results, the progress record the match flow reads, the save
// round trip, and the simulation's draw (also with no weight at all).
#include "TablesTestFiles.h"

#include <CCompetition.h>
#include <CObjnet.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <gtest/gtest.h>

#include <Platform.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

using tables_test::SourceData;

namespace {

int gScriptedRandom[8];
int gScriptedCount = 0, gScriptedNext = 0;
int ScriptedRandom() {
    return gScriptedCount ? gScriptedRandom[gScriptedNext++ % gScriptedCount] : 0;
}
void Script(std::initializer_list<int> values) {
    gScriptedCount = 0;
    gScriptedNext = 0;
    for (int v : values)
        gScriptedRandom[gScriptedCount++] = v;
}

class Competition : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(TeamDB::LoadFromFile(SourceData("Equipes_DB.csv"))); }
    static void TearDownTestSuite() { TeamDB::Init(); }
    void SetUp() override {
        KemSrand(1234);
        g_bTournamentCareer = 0;
    }

    static std::vector<Team*> Teams(bool national) {
        std::vector<Team*> teams;
        const std::vector<Team*>& table = TeamDB::GetTeams();
        for (int i = 0; i < CCompetition::kTeamCount; ++i)
            teams.push_back(table[(national ? 0 : TeamDB::NATIONAL_TEAM_COUNT) + i]);
        return teams;
    }

    // The human side's matches, won (or lost) with 13 to 5, until none is
    // left; returns how many were played.
    static int PlayOut(CCompetition& competition, bool humanWins) {
        int played = 0;
        TournamentMatch match;
        while (competition.NextPlayedMatch(match) && played < 20) {
            const bool humanFirst = competition.IsHuman(match.mFirstTeam);
            MatchSides sides;
            sides.mFirstTeam = match.mFirstTeam;
            sides.mSecondTeamWon = (humanFirst != humanWins) ? 1 : 0;
            MatchScores scores;
            scores.mWinnerPoints = 13;
            scores.mLoserPoints = 5;
            competition.SetMatchResult(sides, scores);
            ++played;
        }
        return played;
    }

    static SavedTournament SaveOf(CTournament& tournament) {
        CTournament* previous = g_pCurrentTournament;
        g_pCurrentTournament = &tournament;
        CObjnet object;
        WriteTournamentSave(&object);
        g_pCurrentTournament = previous;
        SavedTournament saved;
        EXPECT_TRUE(ReadTournamentSave(object, saved));
        return saved;
    }
};

TEST(CompetitionSimulation, WeightsDecideAndAZeroSumIsAnEvenDraw) {
    struct Case {
        int32_t a, b;
        int random;
        bool secondWon;
    };
    const Case cases[] = {
        {3, 3, 3, false},   // r <= wA: the first team wins
        {3, 3, 4, true},    // wA < r: the second team wins
        {0, 5, 0, false},   // r = 0 <= 0
        {0, 5, 1, true},
        {0, 0, 0, false},   // no weight: r % 2 decides, no division by zero
        {0, 0, 1, true},
        {-4, 4, 7, true},   // a broken table is an even draw too
    };
    for (const Case& c : cases) {
        Script({c.random, 30});
        const SimulatedResult result = DrawSimulatedResult(c.a, c.b, &ScriptedRandom);
        EXPECT_EQ(result.mSecondWon, c.secondWon) << c.a << " v " << c.b << " r " << c.random;
        EXPECT_EQ(result.mWinnerPoints, 13);
        EXPECT_EQ(result.mLoserPoints, 30 % 12);
    }
    Script({5, 11});
    EXPECT_LE(DrawSimulatedResult(1, 1, &ScriptedRandom).mLoserPoints, 11);
}

TEST_F(Competition, ZeroWeightTeamsStillPlayTheWholeKnockOut) {
    std::vector<Team*> teams = Teams(true);
    int32_t saved[CCompetition::kTeamCount][3][2];
    for (size_t i = 0; i < teams.size(); ++i) {
        std::memcpy(saved[i], teams[i]->mDifficulty, sizeof saved[i]);
        std::memset(teams[i]->mDifficulty, 0, sizeof teams[i]->mDifficulty);
    }
    CCompetition competition(CCompetition::FORMAT_KNOCKOUT, teams, {}, 3);
    // One phase a call: the last sixteen, quarter-finals, semi-finals, last.
    for (int phase = 0; phase < 4; ++phase) {
        EXPECT_FALSE(competition.IsFinished()) << phase;
        competition.Advance();
    }
    EXPECT_TRUE(competition.IsFinished());
    for (size_t i = 0; i < teams.size(); ++i)
        std::memcpy(teams[i]->mDifficulty, saved[i], sizeof saved[i]);
}

TEST_F(Competition, KnockOutRunsFromTheLastSixteenToTheFinalWithTheHumanPlayingEveryRound) {
    std::vector<Team*> teams = Teams(false);
    Team* human = teams[5];
    CCompetition competition(CCompetition::FORMAT_KNOCKOUT, teams, {human}, 3);
    EXPECT_FALSE(human->mComputer);
    EXPECT_TRUE(teams[0]->mComputer);

    TournamentInfo info;
    competition.GetInfo(info);
    EXPECT_EQ(info.mFormat, 1);
    EXPECT_EQ(info.mStep, 1);
    EXPECT_EQ(info.mExtraInt, 3);
    EXPECT_TRUE(competition.IsNewStep());
    TournamentMatchList current;
    competition.GetCurrentMatches(current);
    ASSERT_EQ(current.size(), 8u);
    for (const TournamentMatch& match : current)
        EXPECT_FALSE(IsMatchPlayed(match));   // nothing is simulated before the human's match

    // Each round: the human's match is the one to play; recording it
    // simulates the rest and draws the next round from the winners.
    const size_t roundSizes[] = {8, 4, 2, 2};
    for (int round = 0; round < 4; ++round) {
        TournamentMatch next;
        ASSERT_TRUE(competition.NextPlayedMatch(next)) << round;
        current.clear();
        competition.GetCurrentMatches(current);
        EXPECT_EQ(current.size(), roundSizes[round]);
        MatchSides sides;
        sides.mFirstTeam = next.mFirstTeam;
        sides.mSecondTeamWon = next.mFirstTeam == human ? 0 : 1;
        MatchScores scores;
        scores.mLoserPoints = 7;
        if (round == 3) {
            // The human plays the final; the third-place match is left for
            // the info screens to simulate.
            competition.GetInfo(info);
            EXPECT_EQ(info.mFinalPending, 1);
            EXPECT_FALSE(IsMatchPlayed(current[0]));
        }
        competition.SetMatchResult(sides, scores);
    }
    EXPECT_TRUE(competition.IsFinished());
    competition.GetInfo(info);
    EXPECT_EQ(info.mStep, 5);
    EXPECT_EQ(info.mFinalPending, 0);

    TournamentPhaseList phases;
    competition.GetPhases(phases);
    ASSERT_EQ(phases.size(), 4u);
    for (const TournamentMatchList& phase : phases)
        for (const TournamentMatch& match : phase) {
            ASSERT_TRUE(IsMatchPlayed(match));
            EXPECT_EQ(std::max(match.mScoreOne, match.mScoreTwo), 13u);
            EXPECT_LE(std::min(match.mScoreOne, match.mScoreTwo), 11u);
        }
    std::vector<Team*> ranking;
    competition.GetTeams(ranking);
    ASSERT_EQ(ranking.size(), 16u);
    EXPECT_EQ(ranking[0], human);
    EXPECT_EQ(ranking[1], MatchLoser(phases[3][1]));
    EXPECT_EQ(ranking[2], MatchWinner(phases[3][0]));
    EXPECT_EQ(std::set<Team*>(ranking.begin(), ranking.end()).size(), 16u);
}

TEST_F(Competition, PoolsGoThroughPlayOffAndQuarterFinalsAndStepsFollowThePhases) {
    std::vector<Team*> teams = Teams(true);
    Team* human = teams[0];
    CCompetition competition(CCompetition::FORMAT_POOLS, teams, {human}, 2);
    TournamentMatchList current;
    competition.GetCurrentMatches(current);
    ASSERT_EQ(current.size(), 8u);
    EXPECT_EQ(current[0].mFirstTeam, teams[0]);
    EXPECT_EQ(current[1].mSecondTeam, teams[3]);

    // The human loses its first pool match, then wins every match after it:
    // losers' match, play-off, quarter-final, semi-final, final.
    TournamentMatch next;
    int played = 0;
    std::vector<int> steps;
    while (competition.NextPlayedMatch(next)) {
        TournamentInfo info;
        competition.GetInfo(info);
        steps.push_back(info.mStep);
        MatchSides sides;
        sides.mFirstTeam = next.mFirstTeam;
        const bool humanWins = played > 0;
        sides.mSecondTeamWon = ((next.mFirstTeam == human) != humanWins) ? 1 : 0;
        MatchScores scores;
        competition.SetMatchResult(sides, scores);
        ++played;
    }
    EXPECT_EQ(played, 6);
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(competition.IsFinished());
    TournamentPhaseList phases;
    competition.GetPhases(phases);
    const size_t sizes[] = {8, 8, 4, 4, 2, 2};
    ASSERT_EQ(phases.size(), 6u);
    for (size_t p = 0; p < phases.size(); ++p)
        EXPECT_EQ(phases[p].size(), sizes[p]) << p;
    // Pool 0: winners' match, losers' match, then the play-off between the
    // winners' match loser and the losers' match winner.
    EXPECT_EQ(phases[1][1].mFirstTeam, MatchLoser(phases[0][0]));
    EXPECT_EQ(phases[2][0].mFirstTeam, MatchLoser(phases[1][0]));
    EXPECT_EQ(phases[2][0].mSecondTeam, MatchWinner(phases[1][1]));
    EXPECT_EQ(phases[3][0].mFirstTeam, MatchWinner(phases[1][0]));
    EXPECT_EQ(phases[3][0].mSecondTeam, MatchWinner(phases[2][1]));
    std::vector<Team*> ranking;
    competition.GetTeams(ranking);
    EXPECT_EQ(ranking[0], human);
}

TEST_F(Competition, AnEliminatedHumanLeavesTheRestToTheSimulation) {
    for (int format : {CCompetition::FORMAT_POOLS, CCompetition::FORMAT_KNOCKOUT}) {
        std::vector<Team*> teams = Teams(false);
        CCompetition competition(format, teams, {teams[9]}, 3);
        const int played = PlayOut(competition, false);
        EXPECT_EQ(played, format == CCompetition::FORMAT_POOLS ? 2 : 1);
        // The phase of the gamer's last match is settled with it; Advance
        // plays each further phase.
        int advances = 0;
        while (!competition.IsFinished() && advances < 10) {
            competition.Advance();
            ++advances;
        }
        EXPECT_TRUE(competition.IsFinished()) << format;
        EXPECT_EQ(advances, format == CCompetition::FORMAT_POOLS ? 4 : 3);
        TournamentInfo info;
        competition.GetInfo(info);
        EXPECT_EQ(info.mStep, competition.GetPhaseCount() + 1);
    }
}

TEST_F(Competition, AResultForATeamWithoutAMatchChangesNothing) {
    std::vector<Team*> teams = Teams(true);
    CCompetition competition(CCompetition::FORMAT_KNOCKOUT, teams, {teams[2]}, 3);
    Team outsider("outsider");
    MatchSides sides;
    sides.mFirstTeam = &outsider;
    MatchScores scores;
    competition.SetMatchResult(sides, scores);
    TournamentMatchList current;
    competition.GetCurrentMatches(current);
    for (const TournamentMatch& match : current)
        EXPECT_FALSE(IsMatchPlayed(match));
    // Given by the second team of the match, the flag still names the winner.
    sides.mFirstTeam = teams[3];
    sides.mSecondTeamWon = 0;   // teams[3] wins
    competition.SetMatchResult(sides, scores);
    current.clear();
    competition.GetPhaseMatches(current, 0);
    EXPECT_EQ(MatchWinner(current[1]), teams[3]);
}

TEST_F(Competition, ASaveRestoresTheSameTournamentAtEveryStep) {
    for (int format : {CCompetition::FORMAT_POOLS, CCompetition::FORMAT_KNOCKOUT}) {
        std::vector<Team*> teams = Teams(format == CCompetition::FORMAT_POOLS);
        CCompetition competition(format, teams, {teams[4]}, 2);
        competition.SetCareer(2, 1);
        TournamentMatch next;
        for (int played = 0; played < 4; ++played) {
            const SavedTournament saved = SaveOf(competition);
            std::unique_ptr<CCompetition> restored(CCompetition::FromSave(saved, {teams[4]}));
            ASSERT_TRUE(restored) << format << " after " << played;
            TournamentInfo a, b;
            competition.GetInfo(a);
            restored->GetInfo(b);
            EXPECT_EQ(a.mStep, b.mStep);
            EXPECT_EQ(a.mFormat, b.mFormat);
            EXPECT_EQ(a.mFinalPending, b.mFinalPending);
            EXPECT_EQ(b.mCareerLevel, 2);
            EXPECT_EQ(b.mCareerStage, 1);
            EXPECT_EQ(b.mExtraInt, 2);
            EXPECT_EQ(restored->IsFinished(), competition.IsFinished());
            TournamentPhaseList pa, pb;
            competition.GetPhases(pa);
            restored->GetPhases(pb);
            ASSERT_EQ(pa.size(), pb.size());
            for (size_t p = 0; p < pa.size(); ++p)
                for (size_t m = 0; m < pa[p].size(); ++m) {
                    EXPECT_EQ(pa[p][m].mFirstTeam, pb[p][m].mFirstTeam);
                    EXPECT_EQ(pa[p][m].mSecondTeam, pb[p][m].mSecondTeam);
                    EXPECT_EQ(pa[p][m].mFirstResult, pb[p][m].mFirstResult);
                    EXPECT_EQ(pa[p][m].mScoreOne, pb[p][m].mScoreOne);
                    EXPECT_EQ(pa[p][m].mScoreTwo, pb[p][m].mScoreTwo);
                }
            if (!competition.NextPlayedMatch(next))
                break;
            MatchSides sides;
            sides.mFirstTeam = next.mFirstTeam;
            sides.mSecondTeamWon = next.mFirstTeam == teams[4] ? 0 : 1;
            MatchScores scores;
            competition.SetMatchResult(sides, scores);
        }
    }
}

TEST_F(Competition, SavesThatDoNotDescribeOurTournamentAreRefused) {
    std::vector<Team*> teams = Teams(true);
    CCompetition competition(CCompetition::FORMAT_KNOCKOUT, teams, {teams[0]}, 3);
    PlayOut(competition, true);
    const SavedTournament good = SaveOf(competition);
    ASSERT_TRUE(std::unique_ptr<CCompetition>(CCompetition::FromSave(good, {teams[0]})));
    // Without a gamer's team in the draw every match would play itself.
    EXPECT_EQ(CCompetition::FromSave(good, {}), nullptr) << "no gamer's team";
    EXPECT_EQ(CCompetition::FromSave(good, {Teams(false)[0]}), nullptr) << "a gamer's team outside the draw";
    EXPECT_EQ(CCompetition::FromSave(good, {teams[0], Teams(false)[0]}), nullptr) << "one gamer outside the draw";

    struct Case {
        const char* what;
        void (*breakIt)(SavedTournament&);
    };
    const Case cases[] = {
        {"unknown format", [](SavedTournament& s) { s.mFormat = 7; }},
        {"no phase", [](SavedTournament& s) { s.mPhases.clear(); }},
        {"too many phases", [](SavedTournament& s) { s.mPhases.push_back(s.mPhases.back()); }},
        {"unknown team id", [](SavedTournament& s) { s.mPhases[0][3].mFirstTeamId = 999; }},
        {"team twice", [](SavedTournament& s) { s.mPhases[0][3].mFirstTeamId = s.mPhases[0][2].mFirstTeamId; }},
        {"short first phase", [](SavedTournament& s) { s.mPhases[0].pop_back(); }},
        {"winner changed", [](SavedTournament& s) { s.mPhases[0][0].mWinner = -s.mPhases[0][0].mWinner; }},
        {"unknown winner code", [](SavedTournament& s) { s.mPhases[1][0].mWinner = 5; }},
        {"unplayed before a later phase", [](SavedTournament& s) { s.mPhases[1][2].mWinner = 0; }},
        {"winner's score past any match", [](SavedTournament& s) {
             SavedTournamentMatch& m = s.mPhases[0][0];
             (m.mWinner == 1 ? m.mScoreTwo : m.mScoreOne) = 40000;
         }},
        {"winner scored less", [](SavedTournament& s) { std::swap(s.mPhases[0][0].mScoreOne, s.mPhases[0][0].mScoreTwo); }},
        {"score in a match not played", [](SavedTournament& s) {
             s.mPhases[1][2].mWinner = 0;
             s.mPhases.resize(2);
         }},
    };
    for (const Case& c : cases) {
        SavedTournament broken = good;
        c.breakIt(broken);
        EXPECT_EQ(CCompetition::FromSave(broken, {teams[0]}), nullptr) << c.what;
    }
}

TEST_F(Competition, TheDrawUsesEveryTeamOfOneTableOnce) {
    for (bool national : {true, false}) {
        const std::vector<Team*> drawn = CCompetition::DrawTeams(national, {}, &KemRand);
        ASSERT_EQ(drawn.size(), 16u);
        EXPECT_EQ(std::set<Team*>(drawn.begin(), drawn.end()).size(), 16u);
        for (const Team* team : drawn)
            EXPECT_EQ(team->mNational, national);
    }
    Team* regional = TeamDB::GetTeams()[TeamDB::NATIONAL_TEAM_COUNT];
    EXPECT_TRUE(CCompetition::DrawTeams(true, {regional}, &KemRand).empty());
}

}  // namespace
