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
#include <cmath>
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

// The result view of one of the human's balls: its screenshot and the ball.
struct ResultShot {
    std::filesystem::path png;
    std::string ball;
};

struct PlayRecord {
    int humanThrows = 0, computerThrows = 0, results = 0;
    std::vector<std::string> meneLines, scoreLines;
    // Every result of a human ball in the first mene with the target ball in play.
    std::vector<ResultShot> resultShots;
    std::filesystem::path aimShot;
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
    bool human = false, humanThrew = false;
    while (record.scoreLines.size() < menes && std::chrono::steady_clock::now() < end && game.Running()) {
        const std::vector<std::string> lines = game.Lines();
        if (next >= lines.size()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        const std::string line = lines[next++];
        if (line == "turn 0 human") {
            human = humanThrew = true;
        } else if (line == "turn 1 computer") {
            humanThrew = false;
            ++record.computerThrows;
        } else if (human && (line == "throw target" || line == "throw ball")) {
            // The turn's second line says which ball the human throws.
            human = false;
            // The aim at the human's first ball, the target ball down.
            if (record.humanThrows == 1 && duringShot && game.Queue({"screenshot aim.png"}))
                record.aimShot = game.ControlDir() / "aim.png";
            const std::string shot = record.humanThrows == 0 ? "panel_during.png" : std::string();
            EXPECT_TRUE(ThrowThroughThePanel(game, line == "throw target", shot))
                << "human throw " << record.humanThrows;
            if (!shot.empty() && duringShot) {
                duringShot->push_back(game.ControlDir() / shot);
                duringShot->push_back(game.ControlDir() / ("release_" + shot));
            }
            ++record.humanThrows;
        } else if (line == "state CQMGMLaunchResultState") {
            ++record.results;
        } else if (line.rfind("result ball ", 0) == 0) {
            // The result of the human's first ball (the target ball's goes
            // on by itself), once its view has settled; and the view of each
            // of the human's balls in the first mene.
            const std::vector<std::string> w = e2e::Words(line);
            const std::string ball = w.size() >= 5 ? w[2] + " " + w[3] : std::string();
            const bool targetInPlay = w.size() >= 5 && w[4] == "1";
            if (record.results == 2 && duringShot && game.Queue({"wait 800", "screenshot result.png"})) {
                duringShot->push_back(game.ControlDir() / "result.png");
                if (targetInPlay)
                    record.resultShots.push_back({game.ControlDir() / "result.png", ball});
            } else if (duringShot && humanThrew && targetInPlay && record.scoreLines.empty() && ball != "-") {
                const std::string file = "result_" + std::to_string(record.results) + ".png";
                if (game.Queue({"wait 800", "screenshot " + file}))
                    record.resultShots.push_back({game.ControlDir() / file, ball});
            }
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

// The team presentation: each side's flag and name stand over the half of
// the picture where its players stand, and above their heads; the two sides'
// shirts differ at a glance. The heads come from the report's "intro head"
// lines, projected with the frame's camera.
void ExpectTeamsUnderTheirFlags(e2e::GameRun& game, const std::filesystem::path& shot)
{
    e2e::Frame frame;
    e2e::FrameLayout layout;
    ASSERT_TRUE(frame.Load(shot) && layout.Load(e2e::LayoutOf(shot))) << shot;
    std::vector<float> headX[2], headY[2];
    e2e::Rgb shirt[2];
    int shirts[2] = {0, 0};
    for (const std::string& line : game.Lines()) {
        const std::vector<std::string> w = e2e::Words(line);
        if (w.size() != 6 || w[0] != "intro" || w[1] != "head")
            continue;
        const int side = std::stoi(w[2]);
        float x = 0, y = 0, cx = 0, cy = 0;
        const float hx = std::stof(w[3]), hy = std::stof(w[4]), hz = std::stof(w[5]);
        ASSERT_TRUE(side == 0 || side == 1) << line;
        ASSERT_TRUE(layout.Project(hx, hy, hz, frame.Width(), frame.Height(), x, y)) << line;
        headX[side].push_back(x);
        headY[side].push_back(y);
        // The chest, half a metre under the head.
        if (layout.Project(hx, hy - 0.5f, hz, frame.Width(), frame.Height(), cx, cy)) {
            const e2e::Rgb c = frame.Mean({cx - 1, cy - 1, cx + 2, cy + 2});
            shirt[side].r += c.r, shirt[side].g += c.g, shirt[side].b += c.b;
            ++shirts[side];
        }
    }
    ASSERT_FALSE(headX[0].empty() || headX[1].empty()) << "no intro head lines";
    float middle[2];
    for (int side = 0; side < 2; ++side) {
        middle[side] = 0;
        for (float x : headX[side])
            middle[side] += x / float(headX[side].size());
    }
    for (int side = 0; side < 2; ++side) {
        const std::string number = std::to_string(side + 1);
        const e2e::LaidElement* flag = layout.Element("PresFlag" + number);
        const e2e::LaidWindow* name = layout.Window("Team" + number + "Name");
        ASSERT_TRUE(flag && name) << "side " << side << " has no flag or name";
        const float flagX = (flag->area.x0 + flag->area.x1) / 2;
        EXPECT_LT(std::abs(flagX - middle[side]), std::abs(flagX - middle[1 - side]))
            << "PresFlag" << number << " at x " << flagX << " stands over the other side (heads at " << middle[side]
            << " and " << middle[1 - side] << ")";
        EXPECT_FALSE(name->text.empty()) << name->name;
        for (int s = 0; s < 2; ++s)
            for (float y : headY[s]) {
                EXPECT_LT(name->area.y1, y - 4) << name->name << " is drawn across a player's head";
                EXPECT_LT(flag->area.y1, y - 4) << flag->name << " is drawn across a player's head";
            }
    }
    ASSERT_TRUE(shirts[0] > 0 && shirts[1] > 0);
    const int dr = shirt[0].r / shirts[0] - shirt[1].r / shirts[1], dg = shirt[0].g / shirts[0] - shirt[1].g / shirts[1],
              db = shirt[0].b / shirts[0] - shirt[1].b / shirts[1];
    EXPECT_GT(std::abs(dr) + std::abs(dg) + std::abs(db), 90)
        << "the sides' shirts look alike: " << shirt[0].r / shirts[0] << "," << shirt[0].g / shirts[0] << ","
        << shirt[0].b / shirts[0] << " against " << shirt[1].r / shirts[1] << "," << shirt[1].g / shirts[1] << ","
        << shirt[1].b / shirts[1];
}

// The result of a throw shows the target ball and the ball thrown, clear of
// the frames; the nearest of the human's throws to the target ball is kept as
// result_near.png.
void ExpectResultViewsShowTheBalls(const std::vector<ResultShot>& shots, const std::filesystem::path& dir)
{
    ASSERT_FALSE(shots.empty()) << "no result of a human ball with the target ball in play";
    // The radar's dots are drawn on the radar, not over the ground.
    const std::vector<std::string> free = {"HUD/Radar/"};
    float nearest = 1e9f;
    const ResultShot* near = nullptr;
    for (const ResultShot& shot : shots) {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(shot.png) && layout.Load(e2e::LayoutOf(shot.png))) << shot.png;
        EXPECT_TRUE(e2e::ResultViewProblems(frame, layout, shot.ball, free).empty())
            << shot.png.filename() << " (" << shot.ball << ")\n"
            << e2e::Describe(e2e::ResultViewProblems(frame, layout, shot.ball, free));
        const e2e::LaidNode* ball = layout.Node(shot.ball);
        const e2e::LaidNode* target = layout.Node("cochonnet");
        if (ball && target) {
            const float d = std::hypot(ball->x - target->x, ball->z - target->z);
            if (d < nearest) {
                nearest = d;
                near = &shot;
            }
        }
    }
    ASSERT_NE(near, nullptr);
    std::filesystem::copy_file(near->png, dir / "result_near.png", std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(e2e::LayoutOf(near->png), e2e::LayoutOf(dir / "result_near.png"),
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_LT(nearest, 1.5f) << "no human ball came to rest near the target ball";
}

// The names of the thrower's bars stand beside them, and the balance
// gauge's "left" and "right" at its two ends.
void ExpectPanelLabelled(const e2e::FrameLayout& layout)
{
    const struct {
        const char *label, *bar;
    } bars[] = {{"TextBarPhysique", "Hud_physique"}, {"TextBarMental", "Hud_mental"}, {"TextBarBalance", "Hud_balance"}};
    for (const auto& b : bars) {
        const e2e::LaidWindow* label = layout.Window(b.label);
        const e2e::LaidElement* bar = layout.Element(b.bar);
        ASSERT_TRUE(label && bar) << b.label << " or " << b.bar << " is not shown";
        EXPECT_FALSE(label->text.empty()) << b.label;
        EXPECT_LE(label->area.x1, bar->area.x0 + 2) << b.label << " is not left of its bar";
        EXPECT_LT(bar->area.x0 - label->area.x1, 12) << b.label << " stands far from its bar";
        const float barMiddle = (bar->area.y0 + bar->area.y1) / 2;
        EXPECT_TRUE(barMiddle > label->area.y0 && barMiddle < label->area.y1) << b.label << " is not level with its bar";
    }
    const e2e::LaidElement* gauge = layout.Element("Hud_jauge_equilibre");
    const e2e::LaidWindow* left = layout.Window("TextLeft");
    const e2e::LaidWindow* right = layout.Window("TextRight");
    ASSERT_TRUE(gauge && left && right);
    EXPECT_LT(std::abs(left->area.x0 - gauge->area.x0), 12) << "TextLeft stands away from the balance gauge";
    EXPECT_LT(std::abs(right->area.x1 - gauge->area.x1), 12) << "TextRight stands away from the balance gauge";
    EXPECT_LT(gauge->area.y0 - left->area.y1, 12) << "TextLeft is not just above the gauge";
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
    ExpectTeamsUnderTheirFlags(game, intro);
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
    // The thrower's line reads as the current one; the panel's bars and the
    // balance gauge's ends are named.
    for (const std::filesystem::path& shot : {before, shots[0]}) {
        e2e::FrameLayout layout;
        ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot))) << shot;
        EXPECT_TRUE(e2e::ThrowerLineProblems(layout).empty())
            << shot.filename() << "\n" << e2e::Describe(e2e::ThrowerLineProblems(layout));
        ExpectPanelLabelled(layout);
    }
    ExpectResultViewsShowTheBalls(play.resultShots, game.ControlDir());
    // Aiming, the target ball is in sight with its pointer above it.
    {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(play.aimShot) && layout.Load(e2e::LayoutOf(play.aimShot))) << "no aim.png";
        const std::vector<std::string> free = {"HUD/Radar/"};
        EXPECT_TRUE(e2e::AimViewProblems(frame, layout, free).empty())
            << "aim.png\n" << e2e::Describe(e2e::AimViewProblems(frame, layout, free));
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
        if (b.blue) {
            EXPECT_TRUE(fill.b > 150 && fill.r < 80 && fill.g < 80) << b.bar << " " << fill.r << "," << fill.g << ","
                                                                    << fill.b;
        }
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
    // "Quit the match?" takes the pause frame's place; "no" brings it back.
    ASSERT_TRUE(game.Click("BtnPauseQuit"));
    const std::filesystem::path quit = game.Screenshot("pause_quit.png");
    ASSERT_FALSE(quit.empty());
    e2e::FrameLayout quitLayout;
    ASSERT_TRUE(quitLayout.Load(e2e::LayoutOf(quit)));
    EXPECT_NE(quitLayout.Window("FrameConfirmQuit"), nullptr) << "the question is not shown";
    EXPECT_EQ(quitLayout.Window("FramePause"), nullptr) << "the question lies over the pause frame";
    EXPECT_TRUE(e2e::LayoutProblems(quitLayout, moving).empty()) << e2e::Describe(e2e::LayoutProblems(quitLayout, moving));
    ASSERT_TRUE(game.Click("BtnPauseCancel"));
    const std::filesystem::path back = game.Screenshot("pause_back.png");
    e2e::FrameLayout backLayout;
    ASSERT_TRUE(backLayout.Load(e2e::LayoutOf(back)));
    EXPECT_NE(backLayout.Window("FramePause"), nullptr) << "no pause frame after \"no\"";

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace

namespace {

// The toss as a player meets it: both coins named like the buttons that call
// them, and the answer says which face came up and who begins.
TEST(HumanTurn, TheTossNamesItsCoinsAndTheFaceThatCameUp)
{
    e2e::GameRun game("human_toss");
    game.Seed(20261211);
    game.FixedStepMs(40);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.WaitFor("^mode " + std::to_string(kDemoMenu) + "$", 120)) << game.Log();
    ASSERT_TRUE(game.Click("btn_competition")) << game.Log();
    ASSERT_TRUE(game.Reaches("^state CQMGMTossState$", 180)) << game.Log();
    const std::filesystem::path call = game.Screenshot("toss.png");
    ASSERT_FALSE(call.empty());
    EXPECT_TRUE(e2e::FrameProblems(call).empty()) << e2e::Describe(e2e::FrameProblems(call));
    e2e::FrameLayout callLayout;
    ASSERT_TRUE(callLayout.Load(e2e::LayoutOf(call)));
    EXPECT_TRUE(e2e::LayoutProblems(callLayout).empty()) << e2e::Describe(e2e::LayoutProblems(callLayout));
    // Each coin's name under it, the same word as its button.
    const struct {
        const char *label, *coin, *button;
    } coins[] = {{"TextCoinHead", "QuickMatchHeadTail/Coin1", "ButtonHead"},
                 {"TextCoinTail", "QuickMatchHeadTail/Coin2", "ButtonTail"}};
    for (const auto& c : coins) {
        const e2e::LaidWindow* label = callLayout.Window(c.label);
        const e2e::LaidElement* coin = callLayout.Element(c.coin);
        const e2e::LaidWindow* button = callLayout.Window(c.button);
        ASSERT_TRUE(label && coin && button) << c.label;
        EXPECT_FALSE(label->text.empty()) << c.label;
        EXPECT_EQ(label->text, button->text) << c.label;
        const float coinMiddle = (coin->area.x0 + coin->area.x1) / 2;
        EXPECT_TRUE(coinMiddle > label->area.x0 && coinMiddle < label->area.x1) << c.label << " is not under its coin";
        EXPECT_GE(label->area.y0, coin->area.y1 - 2) << c.label;
        EXPECT_LT(label->area.y0 - coin->area.y1, 12) << c.label << " stands far from its coin";
    }
    const std::string head = callLayout.Window("ButtonHead")->text, tail = callLayout.Window("ButtonTail")->text;

    ASSERT_TRUE(game.Click("ButtonHead"));
    std::string drawn;
    ASSERT_TRUE(game.Reaches("^toss face ", 30)) << game.Log();
    for (const std::string& line : game.Lines())
        if (line.rfind("toss face ", 0) == 0)
            drawn = line;
    const std::vector<std::string> w = e2e::Words(drawn);
    ASSERT_EQ(w.size(), 5u) << drawn;
    const std::filesystem::path result = game.Screenshot("toss_result.png");
    ASSERT_FALSE(result.empty());
    EXPECT_TRUE(e2e::FrameProblems(result).empty()) << e2e::Describe(e2e::FrameProblems(result));
    e2e::FrameLayout layout;
    ASSERT_TRUE(layout.Load(e2e::LayoutOf(result)));
    EXPECT_TRUE(e2e::LayoutProblems(layout).empty()) << e2e::Describe(e2e::LayoutProblems(layout));
    const e2e::LaidWindow* text = nullptr;
    for (const e2e::LaidWindow& w : layout.windows)
        if (w.name == "Text" && w.parent == "FrameResponse")
            text = &w;
    ASSERT_NE(text, nullptr) << "no toss result";
    const std::string face = w[2] == "0" ? head : tail, other = w[2] == "0" ? tail : head;
    EXPECT_NE(text->text.find(face), std::string::npos) << "\"" << text->text << "\" does not say " << face;
    EXPECT_EQ(text->text.find(other), std::string::npos) << "\"" << text->text << "\" names the other face";
    // The coins' names go with the question.
    EXPECT_EQ(layout.Window("TextCoinHead"), nullptr);
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
