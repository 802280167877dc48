// A whole match with both sides played by the computer, no input: the
// program starts the match mode, runs the toss, every mene, the end of match
// and the awards, and goes back to the demo menu. The same seed plays the
// same match again.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kMatchMode = 0, kDemoMenu = 7;
// The match mode's target (the report's final line may name another).
const int kDefaultTarget = 10;
const unsigned kSeed = 20261210;

struct MatchRecord {
    std::vector<std::string> menes;   // "mene <n> <side> <points>" lines in order (side -1: no point)
    int final[2] = {-1, -1};
    int target = kDefaultTarget;
    int points[2] = {0, 0};           // summed over the menes
    bool nan = false;
    int ballsWatched = 0;             // ball nodes the NaN scan found
    int highestBallThrown = -1;       // highest ball-list index of the "rest" lines
    int settleLimits = 0;             // throws whose balls never came to rest
    bool backToMenu = false;
    std::vector<std::filesystem::path> screenshots;
    std::string resultBall;           // the "result ball" line of the mid-mene result
    std::string log;
};

// A match on the Marseille ground, both sides computer-played, the first
// side beginning: a tête-à-tête (game type 1, the shortest) unless told.
MatchRecord PlayMatch(const std::string& name, bool screenshot, int gameType = 1) {
    MatchRecord record;
    e2e::GameRun game(name);
    game.Seed(kSeed);
    game.FixedStepMs(100);
    game.StartMode(kMatchMode);
    game.Toss(0);
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=" + std::to_string(gameType), "TeamA=8",
                "TeamB=9", "location=3", "IsRegional=0"});
    EXPECT_TRUE(game.Start());
    EXPECT_TRUE(game.WaitFor("^mode 0$", 120)) << game.Log();
    if (screenshot) {
        // Mid-mene: the target ball and two balls are down. The thrower's
        // view shows the venue and the players, the result's view the balls.
        bool mid = true;
        for (int result = 0; result < 3 && mid; ++result)
            mid = game.WaitFor("^state CQMGMLaunchResultState$", 300);
        EXPECT_TRUE(mid) << "no third throw in the first mene\n" << game.Log();
        if (mid) {
            record.screenshots.push_back(game.Screenshot("mid_mene_balls.png"));
            std::string thrown;
            for (const std::string& reported : game.Lines())
                if (reported.rfind("result ball ", 0) == 0)
                    thrown = reported;
            record.resultBall = thrown;
        }
        mid = mid && game.WaitFor("^state CQMGMLaunchState$", 300);
        if (mid)
            record.screenshots.push_back(game.Screenshot("mid_mene_players.png"));
    }
    std::string line;
    EXPECT_TRUE(game.WaitFor("^final ", 900, &line)) << game.Log();
    const std::vector<std::string> words = e2e::Words(line);
    if (words.size() >= 3) {
        record.final[0] = std::stoi(words[1]);
        record.final[1] = std::stoi(words[2]);
        if (words.size() >= 4)
            record.target = std::stoi(words[3]);
    }
    EXPECT_TRUE(game.WaitFor("^state CQMGMAwardsState$", 300)) << game.Log();
    record.backToMenu = game.WaitFor("^mode " + std::to_string(kDemoMenu) + "$", 300);

    for (const std::string& reported : game.Lines()) {
        const std::vector<std::string> w = e2e::Words(reported);
        if (w.size() == 4 && w[0] == "mene") {
            record.menes.push_back(reported);
            const int side = std::stoi(w[2]);
            if (side == 0 || side == 1)
                record.points[side] += std::stoi(w[3]);
        }
        if (!w.empty() && w[0] == "nan")
            record.nan = true;
        if (w.size() == 2 && w[0] == "balls")
            record.ballsWatched = std::max(record.ballsWatched, std::stoi(w[1]));
        if (w.size() == 6 && w[0] == "rest")
            record.highestBallThrown = std::max(record.highestBallThrown, std::stoi(w[2]));
        if (reported == "settle limit")
            ++record.settleLimits;
    }
    record.log = game.Log();
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
    return record;
}

TEST(ComputerMatch, PlaysToTheAwardsAndBackToTheMenuTheSameWayTwice) {
    const MatchRecord first = PlayMatch("match_first", true);
    ASSERT_GE(first.final[0], 0) << "no final score";
    EXPECT_TRUE(first.backToMenu) << "the awards did not lead back to the demo menu";

    // The winner reached the target; the menes' points make the score.
    EXPECT_GE(std::max(first.final[0], first.final[1]), first.target);
    EXPECT_FALSE(first.menes.empty());
    EXPECT_EQ(first.points[0], first.final[0]);
    EXPECT_EQ(first.points[1], first.final[1]);
    EXPECT_FALSE(first.nan) << "a ball's position was NaN";
    // The scan watched the venue's target ball and twelve balls; the menes
    // used the target ball and a tête-à-tête's six balls, no more.
    EXPECT_EQ(first.ballsWatched, 13);
    EXPECT_EQ(first.highestBallThrown, 6);
    EXPECT_EQ(first.settleLimits, 0) << "throws waited for the settle limit";

    ASSERT_EQ(first.screenshots.size(), 2u) << "no mid-mene screenshots";
    for (const std::filesystem::path& shot : first.screenshots) {
        ASSERT_FALSE(shot.empty()) << "a screenshot failed";
        EXPECT_TRUE(e2e::FrameProblems(shot).empty()) << e2e::Describe(e2e::FrameProblems(shot));
    }
    // The result of the third throw shows the target ball and the ball just
    // thrown, clear of the frames.
    const std::vector<std::string> thrown = e2e::Words(first.resultBall);
    ASSERT_EQ(thrown.size(), 5u) << "no result line for the third throw: " << first.resultBall;
    if (thrown[4] == "1") {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(first.screenshots[0]) && layout.Load(e2e::LayoutOf(first.screenshots[0])));
        ASSERT_NE(layout.Element("Hud_cadre_resultat"), nullptr) << "mid_mene_balls.png shows no result";
        const std::string ball = thrown[2] + " " + thrown[3];
        EXPECT_TRUE(e2e::ResultViewProblems(frame, layout, ball, {"HUD/Radar/"}).empty())
            << e2e::Describe(e2e::ResultViewProblems(frame, layout, ball, {"HUD/Radar/"}));
    }

    const MatchRecord second = PlayMatch("match_second", false);
    EXPECT_EQ(second.final[0], first.final[0]);
    EXPECT_EQ(second.final[1], first.final[1]);
    EXPECT_EQ(second.menes, first.menes);
}

// A doublette: two players a side with three balls each, twelve balls in a
// mene (about a minute at this step).
TEST(ComputerMatch, DoublettePlaysToTheAwardsWithEveryMeneInTheScore) {
    const MatchRecord match = PlayMatch("match_doublette", false, 2);
    ASSERT_GE(match.final[0], 0) << "no final score\n" << match.log;
    EXPECT_TRUE(match.backToMenu) << "the awards did not lead back to the demo menu";
    EXPECT_GE(std::max(match.final[0], match.final[1]), match.target);
    EXPECT_FALSE(match.menes.empty());
    EXPECT_EQ(match.points[0], match.final[0]);
    EXPECT_EQ(match.points[1], match.final[1]);
    EXPECT_FALSE(match.nan) << "a ball's position was NaN";
    // The target ball and a doublette's twelve balls.
    EXPECT_EQ(match.ballsWatched, 13);
    EXPECT_EQ(match.highestBallThrown, 12);
    EXPECT_EQ(match.settleLimits, 0) << "throws waited for the settle limit";
}

}  // namespace
