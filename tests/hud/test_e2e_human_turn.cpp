// A person plays with the mouse: from the demo menu, "1 joueur" starts a
// match against the computer. On each human turn the throw-control panel
// gets pointing, an angle and a spin; the start button is held down while
// the power gauge climbs, released to stop it, and pressed again to stop the
// balance gauge; the ball leaves the hand, rests, the referee evaluates it
// and the computer answers. Every result is closed with a click, and two
// menes are played to their end. Screenshots of the panel before and
// during the throw land in the run's control folder.
#include <E2EDriver.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kDemoMenu = 7, kMatchMode = 0;
// The demo's one-player match is a doublette: six balls a side.
const int kBallsPerSide = 6;

// The toss result waits for the human's answer; any button it shows will do.
bool WaitHumanTurn(e2e::GameRun& game, int seconds)
{
    for (int waited = 0; waited < seconds; waited += 2) {
        if (game.Saw("^turn 0 human$"))
            return true;
        if (!game.Running())
            return false;
        for (const char* button : {"ButtonValid", "ButtonHead", "ButtonOK"})
            if (!game.Saw("^turn 0 human$"))
                game.Click(button, 2);
        game.WaitFor("^turn 0 human$", 2);
    }
    return game.Saw("^turn 0 human$");
}

// Pointing, the middle angle and, for a ball, a spin; then the throw key,
// which is the left button over the start button and a hold: the press
// starts the power gauge, the release stops it (the power grows with the
// game time held: under 250 ms the throw starts over, and so it does past
// 2 s, with a fatigue penalty), the next press stops the balance gauge.
// Queued at once, the steps run on the same frames on every machine.
bool ThrowThroughThePanel(e2e::GameRun& game, bool target, const std::string& duringShot)
{
    // The target ball rolls far on this ground: a short hold puts it in
    // the valid band; a ball's hold brings it near the target ball.
    const int holdMs = target ? 700 : 600;
    // "BtnShooter" lies over the pointing picture.
    // The first throw tries each angle before the middle one.
    std::vector<std::string> steps = {"click BtnShooter"};
    if (!duringShot.empty())
        steps.insert(steps.end(), {"click BtnAngle1", "click BtnAngle3"});
    steps.push_back("click BtnAngle2");
    // A spin on the light target ball keeps it turning: that throw waits
    // for the referee's settle limit.
    if (!target)
        steps.push_back("click BtnEffet");
    steps.insert(steps.end(), {"press BtnStart", "wait " + std::to_string(holdMs / 2)});
    if (!duringShot.empty())
        steps.push_back("screenshot " + duringShot);
    steps.insert(steps.end(), {"wait " + std::to_string(holdMs - holdMs / 2), "release", "wait 400",
                               "click BtnStart"});
    // The throw animation up to the release frame and the ball on its way.
    if (!duringShot.empty())
        steps.insert(steps.end(), {"wait 900", "screenshot release_" + duringShot});
    return game.Queue(steps, 120);
}

struct PlayRecord {
    int humanThrows = 0, computerThrows = 0, results = 0;
    std::vector<std::string> meneLines, scoreLines;
};

// Plays until `menes` menes' points are reported, from the report line
// `from` on: throws on the human turns, closes every result and information
// frame with its button. The lines are read here in order, apart from the
// driver's own waits, so that none is skipped while a click is answered.
PlayRecord PlayMenes(e2e::GameRun& game, size_t menes, size_t from, int seconds,
                     std::vector<std::filesystem::path>* duringShot)
{
    PlayRecord record;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    size_t next = from;
    bool human = false;
    while (record.scoreLines.size() < menes && std::chrono::steady_clock::now() < end && game.Running()) {
        const std::vector<std::string> lines = game.Lines();
        if (next >= lines.size()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        const std::string line = lines[next++];
        if (line == "turn 0 human") {
            human = true;
        } else if (human && (line == "throw target" || line == "throw ball")) {
            // The turn's second line says which ball the human throws.
            human = false;
            const std::string shot = record.humanThrows == 0 ? "panel_during.png" : std::string();
            EXPECT_TRUE(ThrowThroughThePanel(game, line == "throw target", shot))
                << "human throw " << record.humanThrows;
            if (!shot.empty() && duringShot) {
                duringShot->push_back(game.ControlDir() / shot);
                duringShot->push_back(game.ControlDir() / ("release_" + shot));
            }
            ++record.humanThrows;
        } else if (line == "turn 1 computer") {
            ++record.computerThrows;
        } else if (line == "state CQMGMLaunchResultState") {
            ++record.results;
            // The result waits for a click before the next throw.
            game.Click("BtnQuitReplay");
        } else if (line == "frame FramePigLaunchError") {
            EXPECT_TRUE(game.Click("ButtonOK"));
        } else if (line == "frame FramePigIsOut") {
            EXPECT_TRUE(game.Click("ButtonValidPigOut"));
        } else if (line.rfind("mene ", 0) == 0) {
            record.meneLines.push_back(line);
        } else if (line.rfind("score ", 0) == 0) {
            record.scoreLines.push_back(line);
        }
    }
    return record;
}

TEST(HumanTurn, APersonPlaysTwoMenesThroughThePanelAgainstTheComputer)
{
    e2e::GameRun game("human_turn");
    game.Seed(20261210);
    game.FixedStepMs(40);
    game.Toss(0);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.WaitFor("^mode " + std::to_string(kDemoMenu) + "$", 120)) << game.Log();
    ASSERT_TRUE(game.Click("btn_competition")) << game.Log();
    // The mode may start before the click is answered.
    ASSERT_TRUE(game.Saw("^mode " + std::to_string(kMatchMode) + "$") ||
                game.WaitFor("^mode " + std::to_string(kMatchMode) + "$", 120))
        << game.Log();
    // The toss is pre-drawn: the human side begins.
    ASSERT_TRUE(WaitHumanTurn(game, 120)) << game.Log();

    const std::filesystem::path before = game.Screenshot("panel_before.png");
    EXPECT_FALSE(before.empty());
    // The result's continue button, which lies over the panel, waits for a result.
    EXPECT_FALSE(game.Click("BtnQuitReplay", 10)) << "the continue button shows over the panel";
    const std::vector<std::string> lines = game.Lines();
    const size_t firstTurn = size_t(std::find(lines.begin(), lines.end(), "turn 0 human") - lines.begin());
    std::vector<std::filesystem::path> shots;
    const size_t kMenes = 2;
    const PlayRecord play = PlayMenes(game, kMenes, firstTurn, 240, &shots);
    ASSERT_EQ(shots.size(), 2u) << "no human throw";
    shots.push_back(before);
    for (const std::filesystem::path& shot : shots) {
        ASSERT_TRUE(std::filesystem::exists(shot)) << shot;
        EXPECT_GT(std::filesystem::file_size(shot), 10000u) << shot << " looks empty";
    }

    // A mene ends when both sides have played their six balls; every throw,
    // the target ball's among them, was evaluated.
    ASSERT_EQ(play.scoreLines.size(), kMenes) << "the menes did not end\n" << game.Log();
    ASSERT_EQ(play.meneLines.size(), kMenes);
    EXPECT_GE(play.humanThrows, int(kMenes) * kBallsPerSide);
    EXPECT_GE(play.computerThrows, int(kMenes) * kBallsPerSide);
    EXPECT_EQ(play.results, play.humanThrows + play.computerThrows);

    // Each mene gave one side 1 to 6 points, and the score after each mene
    // is the sum of the menes so far.
    int sum[2] = {0, 0};
    for (size_t i = 0; i < kMenes; ++i) {
        SCOPED_TRACE(play.meneLines[i] + " / " + play.scoreLines[i]);
        const std::vector<std::string> m = e2e::Words(play.meneLines[i]);
        const std::vector<std::string> s = e2e::Words(play.scoreLines[i]);
        ASSERT_EQ(m.size(), 4u);
        ASSERT_EQ(s.size(), 3u);
        EXPECT_EQ(std::stoul(m[1]), i + 1);
        const int side = std::stoi(m[2]), points = std::stoi(m[3]);
        ASSERT_TRUE(side == 0 || side == 1);
        EXPECT_GE(points, 1);
        EXPECT_LE(points, kBallsPerSide);
        sum[side] += points;
        EXPECT_EQ(std::stoi(s[1]), sum[0]);
        EXPECT_EQ(std::stoi(s[2]), sum[1]);
    }

    // No ball position went NaN, and no window lay over a panel button.
    for (const std::string& line : game.Lines()) {
        EXPECT_NE(line.rfind("nan ", 0), 0u) << line;
        EXPECT_NE(line.rfind("covered ", 0), 0u) << line;
    }

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
