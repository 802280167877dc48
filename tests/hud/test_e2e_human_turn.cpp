// A person plays with the mouse: from the demo menu, "1 joueur" starts a
// match against the computer. On each human turn the throw-control panel
// gets pointing, an angle and a spin; the start button is held down while
// the power gauge climbs, released to stop it, and pressed again to stop the
// balance gauge; the ball leaves the hand, rests, the referee evaluates it
// and the computer answers. Every result is closed with a click, and two
// menes are played to their end. Screenshots of the aiming view, the power
// gauge running, the ball in flight, the first result and the pause frame
// land in the run's control folder, and each is read: no warning stripes, no
// button without its word or sign, nothing half covering anything else, every
// text inside its window, the thrower's bars filled in their colours.
#include <E2EDriver.h>
#include <FrameChecks.h>

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
            // The result of the human's first ball (the target ball's goes
            // on by itself), once its view has settled.
            if (record.results == 2 && duringShot && game.Queue({"wait 800", "screenshot result.png"}))
                duringShot->push_back(game.ControlDir() / "result.png");
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
    // The teams' introduction, a moment in.
    ASSERT_TRUE(game.Saw("^state CQMGMIntroState$") || game.WaitFor("^state CQMGMIntroState$", 60)) << game.Log();
    ASSERT_TRUE(game.Queue({"wait 2000", "screenshot intro.png"}));
    const std::filesystem::path intro = game.ControlDir() / "intro.png";
    EXPECT_TRUE(e2e::FrameProblems(intro).empty()) << e2e::Describe(e2e::FrameProblems(intro));
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
    ASSERT_EQ(shots.size(), 3u) << "no human throw or no result";
    shots.push_back(before);
    for (const std::filesystem::path& shot : shots)
        EXPECT_TRUE(e2e::FrameProblems(shot).empty()) << e2e::Describe(e2e::FrameProblems(shot));
    // The aiming view and the result as a player sees them. The markers slide
    // over their gauges and the radar's dots over the radar.
    const std::vector<std::string> moving = {"Hud_boule_puissance", "Hud_boule_equilibre",  "HUD/Radar/BALL",
                                             "HUD/Radar/PIG",       "HUD/Radar/PLAYER", "HUD/Radar/GradAxe"};
    for (const std::filesystem::path& shot : {before, game.ControlDir() / "result.png"}) {
        e2e::FrameLayout layout;
        ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot))) << shot;
        EXPECT_TRUE(e2e::LayoutProblems(layout, moving).empty())
            << shot.filename() << "\n" << e2e::Describe(e2e::LayoutProblems(layout, moving));
    }
    // The power marker stands out on whichever zone it crosses: white inside
    // a black rim.
    for (const std::filesystem::path& shot : {shots[0], shots[1]}) {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(shot) && layout.Load(e2e::LayoutOf(shot))) << shot;
        const e2e::LaidElement* marker = layout.Element("Hud_boule_puissance");
        ASSERT_NE(marker, nullptr) << shot.filename() << ": no power marker";
        int white = 0, black = 0, all = 0;
        for (int y = int(marker->area.y0) + 1; y < int(marker->area.y1) - 1; ++y)
            for (int x = int(marker->area.x0) + 1; x < int(marker->area.x1) - 1; ++x, ++all) {
                const e2e::Rgb c = frame.At(x, y);
                white += c.r > 200 && c.g > 200 && c.b > 200;
                black += c.r < 50 && c.g < 50 && c.b < 50;
            }
        EXPECT_GT(white, all / 6) << shot.filename() << ": the power marker is not seen";
        EXPECT_GT(black, all / 10) << shot.filename() << ": the power marker has no rim";
    }
    // The thrower's mental and physique bars: well filled, in blue and green.
    e2e::Frame aiming;
    e2e::FrameLayout aimingLayout;
    ASSERT_TRUE(aiming.Load(before));
    ASSERT_TRUE(aimingLayout.Load(e2e::LayoutOf(before)));
    const struct {
        const char *bar, *frame;
        bool blue;
    } bars[] = {{"Hud_mental_bar", "Hud_mental", true}, {"Hud_physique_bar", "Hud_physique", false}};
    for (const auto& b : bars) {
        const e2e::LaidElement* bar = aimingLayout.Element(b.bar);
        const e2e::LaidElement* frame = aimingLayout.Element(b.frame);
        ASSERT_TRUE(bar && frame) << b.bar;
        EXPECT_GT(bar->area.Width(), frame->area.Width() / 3) << b.bar << " is nearly empty";
        const e2e::Rgb fill = aiming.Mean(bar->area);
        if (b.blue)
            EXPECT_TRUE(fill.b > 150 && fill.r < 80 && fill.g < 80) << b.bar << " " << fill.r << "," << fill.g << ","
                                                                    << fill.b;
        else
            EXPECT_TRUE(fill.g > 150 && fill.r < 80 && fill.b < 80) << b.bar << " " << fill.r << "," << fill.g << ","
                                                                    << fill.b;
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

    // The pause frame: its volume rows are labelled.
    ASSERT_TRUE(game.Key("escape"));
    const std::filesystem::path pause = game.Screenshot("pause.png");
    ASSERT_FALSE(pause.empty());
    EXPECT_TRUE(e2e::FrameProblems(pause).empty()) << e2e::Describe(e2e::FrameProblems(pause));
    e2e::FrameLayout pauseLayout;
    ASSERT_TRUE(pauseLayout.Load(e2e::LayoutOf(pause)));
    for (const char* label : {"TextVolAmb", "TextVolMus"}) {
        const e2e::LaidWindow* window = pauseLayout.Window(label);
        ASSERT_NE(window, nullptr) << label << " is not shown";
        EXPECT_FALSE(window->text.empty()) << label;
    }
    EXPECT_TRUE(e2e::LayoutProblems(pauseLayout, moving).empty())
        << e2e::Describe(e2e::LayoutProblems(pauseLayout, moving));

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
