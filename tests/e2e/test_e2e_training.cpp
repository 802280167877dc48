// Training games played through the program: each drill starts as the
// training menus start it (the exercise in "TRAININGPARAMS"), the trainee's
// ten throws are set up as the computer sets up its own (aim, angle, gauge
// presets) and run through the throw driver, each result is continued with
// a click, and the end frame shows the series' score. The test scores every
// throw again from where the balls came to rest (and where the thrown ball
// first landed) and compares that with the score on the end frame. The
// aiming, result and end frames are read: the exercise's object is in sight
// and not behind the trainee, the result says whether the throw scored. A
// series without error scores every exercise of the table. A last
// game goes from the main menu through the training screens into a drill,
// pauses it and quits to the main menu, leaving nothing of it behind.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace {

const unsigned kSeed = 20261211;
const int kSeries = 10;

// Waits until the report holds `n` lines matching the whole pattern,
// whatever the waits of the clicks consumed.
bool WaitForNth(e2e::GameRun& game, const std::string& pattern, size_t n, int seconds) {
    const std::regex whole("^" + pattern + "$");
    for (int waited = 0; waited <= seconds; ++waited) {
        size_t count = 0;
        for (const std::string& line : game.Lines())
            count += std::regex_match(line, whole);
        if (count >= n)
            return true;
        if (!game.Running())
            return false;
        game.WaitFor("^" + pattern + "$", 1);
    }
    return false;
}

// The line that follows each line equal to `line`.
std::vector<std::string> LinesAfterEach(e2e::GameRun& game, const std::string& line) {
    std::vector<std::string> after;
    const std::vector<std::string> lines = game.Lines();
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == line)
            after.push_back(lines[i + 1]);
    return after;
}

struct V3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float squaredDistance(const V3& o) const {
        return (x - o.x) * (x - o.x) + (y - o.y) * (y - o.y) + (z - o.z) * (z - o.z);
    }
};

// "<label> x y ahead a hidden h": where the exercise's object stands in
// the picture and whether the trainee stands before it.
struct View {
    float x = -1.0f, y = -1.0f;
    bool ahead = false, hidden = true;
};

bool ParseView(const std::string& line, const std::string& label, View& view) {
    const std::vector<std::string> w = e2e::Words(line);
    if (w.size() != 7 || w[0] != label || w[3] != "ahead" || w[5] != "hidden")
        return false;
    view.x = std::stof(w[1]);
    view.y = std::stof(w[2]);
    view.ahead = w[4] == "1";
    view.hidden = w[6] == "1";
    return true;
}

struct Throw {
    int kind = -1;
    bool out = false;
    V3 ball, target, impact, shot, start;
    bool scored = false;
    View aim, result;
    // Where the result shows the balls and the shot ball's spot; hidden
    // stays true for a ball not reported (the thrown ball off the ground).
    View thrown, shotView, spot;
    bool thrownReported = false;
};

V3 VectorAt(const std::vector<std::string>& words, size_t at) {
    V3 v;
    v.x = std::stof(words[at]);
    v.y = std::stof(words[at + 1]);
    v.z = std::stof(words[at + 2]);
    return v;
}

// "throw <n> kind <k> out <o> ball x y z target x y z impact x y z shot x y z start x y z"
bool ParseThrow(const std::string& line, Throw& t) {
    const std::vector<std::string> w = e2e::Words(line);
    if (w.size() != 26 || w[0] != "throw" || w[2] != "kind" || w[6] != "ball" || w[10] != "target" ||
        w[14] != "impact" || w[18] != "shot" || w[22] != "start")
        return false;
    t.kind = std::stoi(w[3]);
    t.out = w[5] == "1";
    t.ball = VectorAt(w, 7);
    t.target = VectorAt(w, 11);
    t.impact = VectorAt(w, 15);
    t.shot = VectorAt(w, 19);
    t.start = VectorAt(w, 23);
    return true;
}

// The drill's rule from the reported places: 1 success, 0 failure, -1 too
// close to a bound to tell from four decimals.
int Rescore(const Throw& t) {
    const float eps = 0.002f;
    auto within = [&](float d2, float bound2) {
        const float d = std::sqrt(d2), bound = std::sqrt(bound2);
        return std::fabs(d - bound) < eps ? -1 : (d < bound ? 1 : 0);
    };
    // (0, -1, 0): nothing touched.
    const bool touched = !(t.impact.x == 0.0f && t.impact.y == -1.0f && t.impact.z == 0.0f);
    switch (t.kind) {
    case 0:
    case 1:
        return within(t.ball.squaredDistance(t.target), 0.0625f);
    case 2:
        return touched ? within(t.impact.squaredDistance(t.target), 0.0225f) : 0;
    case 3: {
        if (!touched || t.out)
            return 0;
        const int hit = within(t.impact.squaredDistance(t.start), 0.0121f);
        const int short_ = within(t.shot.squaredDistance(t.start), 0.16f);
        const int moved = short_ < 0 ? -1 : 1 - short_;
        if (hit == 0 || moved == 0)
            return 0;
        return hit == 1 && moved == 1 ? 1 : -1;
    }
    default:
        return -1;
    }
}

struct Shot {
    std::filesystem::path png;
    int afterThrow = 0;   // the throw whose aim (the next one's) or result it shows
};

struct Series {
    std::vector<Throw> throws;
    Shot aim, result, end;
    int successes = -1, count = -1;
    std::string shown, endText;
    bool nan = false;
    bool backToMenu = false;
    std::string log;
};

// One series of a drill: the game starts on the training mode, every
// result is continued by a click on its continue button, the end frame
// leads back to the training menus.
Series PlayDrill(int kind, int angle, int level, const std::string& run = "training_") {
    Series series;
    e2e::GameRun game(run + std::to_string(kind));
    game.Seed(kSeed);
    game.FixedStepMs(200);
    game.StartMode(9);
    game.Match({"TRAININGPARAMS.TrainingType=" + std::to_string(kind)});
    game.Env("TAVIRELO_TEST_TRAINING_THROW", std::to_string(level) + "," + std::to_string(angle));
    EXPECT_TRUE(game.Start());
    EXPECT_TRUE(game.WaitFor("^mode 9$", 120)) << game.Log();
    for (int n = 1; n <= kSeries; ++n) {
        if (!WaitForNth(game, "state CTrainingGMResultState", size_t(n), 120)) {
            ADD_FAILURE() << "no result for throw " << n << "\n" << game.Log();
            break;
        }
        if (n == 3) {
            // The view moves to the exercise on the result's first frame.
            WaitForNth(game, "result .*", 3, 30);
            series.result = {game.Screenshot("drill" + std::to_string(kind) + "_result.png"), n};
        }
        // A left click anywhere continues; the pointer moves between two
        // places so that the GUI sees it over the window it clicks.
        const char* window = n % 2 ? "BtnQuitReplay" : "Root";
        EXPECT_TRUE(game.Click(window)) << "throw " << n << "\n" << game.Log();
        // The fourth throw's aim: its gauges have begun.
        if (n == 3 && WaitForNth(game, "gauges", 4, 60))
            series.aim = {game.Screenshot("drill" + std::to_string(kind) + "_aim.png"), n + 1};
    }
    // The end frame's line may have come before the last click's answer.
    std::string line;
    auto seriesLine = [&] {
        for (const std::string& reported : game.Lines())
            if (reported.rfind("series ", 0) == 0)
                line = reported;
        return !line.empty();
    };
    for (int waited = 0; waited < 60 && !seriesLine(); ++waited)
        game.WaitFor("^series ", 1);
    if (!line.empty()) {
        const std::vector<std::string> w = e2e::Words(line);
        if (w.size() >= 6) {
            series.successes = std::stoi(w[1]);
            series.count = std::stoi(w[2]);
            series.shown = w[4] + " " + w[5] + " " + (w.size() > 6 ? w[6] : "");
        }
        series.end = {game.Screenshot("drill" + std::to_string(kind) + "_end.png"), kSeries};
        EXPECT_TRUE(game.Click("BtnEndMatchChangeTeam")) << game.Log();
        series.backToMenu = WaitForNth(game, "mode 10", 1, 60);
    } else {
        ADD_FAILURE() << "no end frame\n" << game.Log();
    }
    View aim;
    for (const std::string& reported : game.Lines()) {
        Throw t;
        if (ParseThrow(reported, t)) {
            t.aim = aim;
            series.throws.push_back(t);
            continue;
        }
        if (ParseView(reported, "aim", aim))
            continue;
        View result;
        if (ParseView(reported, "result", result) && !series.throws.empty()) {
            series.throws.back().result = result;
            continue;
        }
        if (!series.throws.empty()) {
            Throw& last = series.throws.back();
            if (ParseView(reported, "thrown", last.thrown)) {
                last.thrownReported = true;
                continue;
            }
            if (ParseView(reported, "shot", last.shotView) || ParseView(reported, "spot", last.spot))
                continue;
        }
        if (reported.rfind("end text ", 0) == 0)
            series.endText = reported.substr(9);
        const std::vector<std::string> w = e2e::Words(reported);
        if (w.size() == 4 && w[0] == "scored" && !series.throws.empty())
            series.throws.back().scored = w[1] == "1";
        if (!w.empty() && w[0] == "nan")
            series.nan = true;
    }
    series.log = game.Log();
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
    return series;
}

// The exercise's object drawn in its own colour (the ring's orange, the
// shooting target's red) around where it stands in the picture.
int ExerciseColourNear(const e2e::Frame& frame, int kind, const View& view) {
    const int cx = int(view.x * frame.Width()), cy = int(view.y * frame.Height());
    int found = 0;
    for (int y = cy - 10; y <= cy + 10; ++y)
        for (int x = cx - 16; x <= cx + 16; ++x) {
            if (x < 0 || y < 0 || x >= frame.Width() || y >= frame.Height())
                continue;
            const e2e::Rgb c = frame.At(x, y);
            const bool orange = c.r >= 170 && c.g >= 90 && c.g <= 190 && c.b <= 60 && c.r - c.g >= 40;
            const bool red = c.r >= 130 && c.g <= 60 && c.b <= 60;
            found += kind == 2 ? red : orange;
        }
    return found;
}

// The exercise's object in the picture, clear of the trainee, above the
// result frame at the bottom; and, for the ring and the shooting target,
// its colour there.
void CheckExerciseInSight(const Shot& shot, const View& view, int kind, const char* what) {
    SCOPED_TRACE(std::string(what) + " " + shot.png.string());
    EXPECT_TRUE(view.ahead);
    EXPECT_FALSE(view.hidden) << "the trainee stands before the exercise";
    EXPECT_GT(view.x, 0.05f);
    EXPECT_LT(view.x, 0.95f);
    EXPECT_GT(view.y, 0.05f);
    EXPECT_LT(view.y, 0.66f) << "under the result frame";
    if (kind == 3)
        return;   // the ball to be shot is a few pixels of grey on the sand
    e2e::Frame frame;
    ASSERT_TRUE(frame.Load(shot.png));
    // The ring or the target shows whole, not a sliver over the wall or
    // beside the trainee.
    const int seen = ExerciseColourNear(frame, kind, view);
    EXPECT_GE(seen, kind == 2 ? 20 : 60) << "the exercise's colour is not where it stands";
}

// Pixels within (dx, dy) of where a view puts a thing that `is` accepts.
template <typename Is>
int CountNear(const e2e::Frame& frame, const View& view, int dx, int dy, Is is) {
    const int cx = int(view.x * frame.Width()), cy = int(view.y * frame.Height());
    int found = 0;
    for (int y = cy - dy; y <= cy + dy; ++y)
        for (int x = cx - dx; x <= cx + dx; ++x)
            if (x >= 0 && y >= 0 && x < frame.Width() && y < frame.Height())
                found += is(frame.At(x, y));
    return found;
}

// The ball to shoot off its spot, the trainee's grey ball, the light disc
// of the spot and the orange marker over the ball while aiming.
bool IsShotBallRed(const e2e::Rgb& c) { return c.r >= 140 && c.g <= 90 && c.b <= 90 && c.r - c.g >= 70; }
bool IsBallGrey(const e2e::Rgb& c) {
    return c.r >= 90 && std::abs(c.r - c.g) < 25 && std::abs(c.r - c.b) < 30 && std::abs(c.g - c.b) < 30;
}
bool IsSpotLight(const e2e::Rgb& c) { return c.r >= 170 && c.g >= 170 && c.b >= 160; }
bool IsMarkerOrange(const e2e::Rgb& c) { return c.r >= 190 && c.g >= 60 && c.g <= 170 && c.b <= 80; }

// A ball of the result in sight: before the camera, in the picture, above
// the result frame at the bottom, and neither the trainee nor the wall
// between it and the camera.
void ExpectBallInSight(const View& view, const char* what) {
    EXPECT_TRUE(view.ahead) << what << " is behind the camera";
    EXPECT_FALSE(view.hidden) << what << " is hidden behind the trainee or the wall";
    EXPECT_GT(view.x, 0.02f) << what;
    EXPECT_LT(view.x, 0.98f) << what;
    EXPECT_GT(view.y, 0.02f) << what;
    EXPECT_LT(view.y, 0.66f) << what << " is under the result frame";
}

void CheckSeries(const Series& series, int kind) {
    ASSERT_EQ(series.throws.size(), size_t(kSeries)) << series.log;
    EXPECT_EQ(series.count, kSeries);
    int scored = 0, rescored = 0, unsure = 0;
    for (size_t i = 0; i < series.throws.size(); ++i) {
        const Throw& t = series.throws[i];
        EXPECT_EQ(t.kind, kind);
        scored += t.scored;
        const int again = Rescore(t);
        if (again < 0) {
            ++unsure;
            continue;
        }
        rescored += again;
        EXPECT_EQ(again == 1, t.scored) << "throw " << i + 1 << ": the referee's score differs from the places";
    }
    EXPECT_EQ(series.successes, scored);
    if (unsure == 0) {
        EXPECT_EQ(series.successes, rescored);
    }
    // The end frame shows the referee's count over the throws made.
    EXPECT_EQ(series.shown, std::to_string(series.successes) + " / " + std::to_string(kSeries));
    EXPECT_FALSE(series.nan) << "a ball's position was NaN";
    EXPECT_TRUE(series.backToMenu) << "the end frame did not lead back to the training menus";

    // The end frame says the score, labelled, under its title.
    EXPECT_EQ(series.endText, "Entrainement termine|Lancers reussis : " + std::to_string(series.successes) + " / " +
                                  std::to_string(kSeries));

    // Every throw's aim and result show the exercise, and every result the
    // balls the player looks for; the saved frames are read.
    for (size_t i = 0; i < series.throws.size(); ++i) {
        SCOPED_TRACE("throw " + std::to_string(i + 1));
        const Throw& t = series.throws[i];
        EXPECT_TRUE(t.aim.ahead && !t.aim.hidden) << "aim: the exercise is behind the camera or the trainee";
        EXPECT_TRUE(t.result.ahead && !t.result.hidden) << "result: the exercise is out of sight";
        EXPECT_TRUE(t.thrownReported || t.out) << "the thrown ball's place in the result is not reported";
        // The view holds the exercise and the thrown ball at rest near it; a
        // ball that ran on for metres would shrink the exercise to a dot.
        const V3& focus = kind == 3 ? t.start : t.target;
        const float flat = std::hypot(t.ball.x - focus.x, t.ball.z - focus.z);
        if (t.thrownReported && flat < (kind >= 2 ? 1.4f : 3.9f))
            ExpectBallInSight(t.thrown, "the thrown ball");
        if (kind == 3) {
            if (std::hypot(t.shot.x - t.start.x, t.shot.z - t.start.z) < 3.9f)
                ExpectBallInSight(t.shotView, "the shot ball");
            ExpectBallInSight(t.spot, "the shot ball's spot");
        }
    }
    for (const Shot* shot : {&series.aim, &series.result, &series.end})
        ASSERT_FALSE(shot->png.empty()) << "a screenshot failed\n" << series.log;
    ASSERT_GE(series.throws.size(), size_t(series.aim.afterThrow));
    CheckExerciseInSight(series.aim, series.throws[series.aim.afterThrow - 1].aim, kind, "aim");
    const Throw& shown = series.throws[series.result.afterThrow - 1];
    CheckExerciseInSight(series.result, shown.result, kind, "result");

    // The result says whether the throw scored, readable on its backing.
    e2e::FrameLayout layout;
    ASSERT_TRUE(layout.Load(e2e::LayoutOf(series.result.png)));
    const e2e::LaidWindow* outcome = layout.Window("TextThrowOutcome");
    ASSERT_NE(outcome, nullptr) << "no outcome on the result frame";
    EXPECT_EQ(outcome->text, shown.scored ? "Lancer reussi !" : "Lancer manque");
    EXPECT_LE(outcome->textWidth, outcome->textArea.Width());
    e2e::Frame frame;
    ASSERT_TRUE(frame.Load(series.result.png));
    int ink = 0;
    const e2e::Rgb backing = frame.Mean(outcome->area);
    for (int y = int(outcome->textArea.y0); y < int(outcome->textArea.y1); ++y)
        for (int x = int(outcome->textArea.x0); x < int(outcome->textArea.x1); ++x) {
            const e2e::Rgb c = frame.At(x, y);
            ink += std::abs(c.r - backing.r) + std::abs(c.g - backing.g) + std::abs(c.b - backing.b) > 200;
        }
    EXPECT_GT(ink, 40) << "the outcome's text does not stand out from its backing";
    // The outcome fits its place and covers nothing of the result frame.
    for (const std::string& problem : e2e::LayoutProblems(layout))
        EXPECT_EQ(problem.find("TextThrowOutcome"), std::string::npos) << problem;
    if (kind == 3) {
        // The ball to shoot stands out red under the aim, with its marker
        // over it; the result tells the red ball from the grey one and marks
        // the spot it stood on.
        e2e::Frame aimed;
        ASSERT_TRUE(aimed.Load(series.aim.png));
        const View& target = series.throws[series.aim.afterThrow - 1].aim;
        EXPECT_GE(CountNear(aimed, target, 6, 6, IsShotBallRed), 4) << "the ball to shoot is not red where it stands";
        View above = target;
        above.y -= 0.06f;
        EXPECT_GE(CountNear(aimed, above, 8, 24, IsMarkerOrange), 4) << "no marker over the ball to shoot";
        EXPECT_GE(CountNear(frame, shown.shotView, 6, 6, IsShotBallRed), 4) << "the shot ball is not red in the result";
        const bool thrownInPicture = shown.thrownReported && shown.thrown.x > 0.02f && shown.thrown.x < 0.98f &&
                                     shown.thrown.y > 0.02f && shown.thrown.y < 0.66f;
        if (thrownInPicture) {
            EXPECT_GE(CountNear(frame, shown.thrown, 5, 5, IsBallGrey), 3) << "the thrown ball is not grey";
        }
        EXPECT_GE(CountNear(frame, shown.spot, 14, 10, IsSpotLight), 12) << "the spot is not marked";
    }
    {
        // The throw buttons' frame holds the buttons the drill shows, with
        // nothing empty on its left where a match's pointing/shooting choice
        // stands.
        e2e::FrameLayout aimLayout;
        ASSERT_TRUE(aimLayout.Load(e2e::LayoutOf(series.aim.png)));
        const e2e::LaidElement* buttons = aimLayout.Element("Hud_cadre_boutons");
        ASSERT_NE(buttons, nullptr);
        float first = buttons->area.x1;
        for (const char* name : {"Hud_angle1", "Hud_angle2", "Hud_angle3", "Hud_effet", "Hud_start"})
            if (const e2e::LaidElement* button = aimLayout.Element(name))
                first = std::min(first, button->area.x0);
        EXPECT_LT(first - buttons->area.x0, 30.0f) << "the throw buttons' frame stands empty on the left";
    }
    if (kind != 1) {
        // (Over the wall the aim looks down from high: the trainee stands
        // under the panel.)
        // The top bar's count says what it counts, and the portrait on the
        // panel is the trainee: its shoulders' colour (in hue: the trainee's
        // back is in the shade) is the shirt the trainee wears on the sand.
        e2e::FrameLayout aimLayout;
        ASSERT_TRUE(aimLayout.Load(e2e::LayoutOf(series.aim.png)));
        const e2e::LaidWindow* label = aimLayout.Window("HUDInfosTeam1Name");
        ASSERT_NE(label, nullptr) << "the top bar's count has no name";
        EXPECT_EQ(label->text, "Lancers reussis");
        const e2e::LaidElement* portrait = aimLayout.Element("Hud_playerType");
        ASSERT_NE(portrait, nullptr);
        e2e::Frame aimFrame;
        ASSERT_TRUE(aimFrame.Load(series.aim.png));
        const e2e::Box& p = portrait->area;
        const e2e::Rgb shirt =
            aimFrame.Mean({p.x0 + p.Width() * 0.3f, p.y1 - 5.0f, p.x0 + p.Width() * 0.7f, p.y1 - 1.0f});
        const float shirtSum = float(shirt.r + shirt.g + shirt.b);
        ASSERT_GT(shirtSum, 60.0f);
        int worn = 0;
        for (int y = aimFrame.Height() / 3; y < aimFrame.Height() * 5 / 6; ++y)
            for (int x = int(p.x1) + 100; x < aimFrame.Width() * 3 / 4; ++x) {
                const e2e::Rgb c = aimFrame.At(x, y);
                const float sum = float(c.r + c.g + c.b);
                if (sum < 60.0f)
                    continue;
                const float d = std::fabs(c.r / sum - shirt.r / shirtSum) + std::fabs(c.g / sum - shirt.g / shirtSum) +
                                std::fabs(c.b / sum - shirt.b / shirtSum);
                worn += d < 0.05f;
            }
        EXPECT_GE(worn, 400) << "nobody on the ground wears the portrait's shirt";
    }
    // The end frame shows its title and the score in its band.
    {
        e2e::FrameLayout endLayout;
        ASSERT_TRUE(endLayout.Load(e2e::LayoutOf(series.end.png)));
        const e2e::LaidWindow* text = endLayout.Window("textInfoEndMatch");
        ASSERT_NE(text, nullptr) << "no end text";
        EXPECT_NE(text->text.find("Lancers reussis : "), std::string::npos) << text->text;
    }
    // Every saved frame is whole: no warning stripes, no empty button, nothing
    // overlapping or cut.
    for (const Shot* shot : {&series.aim, &series.result, &series.end}) {
        SCOPED_TRACE(shot->png.string());
        const std::vector<std::string> problems = e2e::FrameProblems(shot->png);
        EXPECT_TRUE(problems.empty()) << e2e::Describe(problems);
        e2e::FrameLayout laid;
        ASSERT_TRUE(laid.Load(e2e::LayoutOf(shot->png)));
        // Gauge markers and radar dots move over their tracks by design.
        const std::vector<std::string> overlaps =
            e2e::LayoutProblems(laid, {"Hud_boule_puissance", "Hud_boule_equilibre", "HUD/Radar/BALL",
                                       "HUD/Radar/PIG", "HUD/Radar/PLAYER", "HUD/Radar/GradAxe"});
        EXPECT_TRUE(overlaps.empty()) << e2e::Describe(overlaps);
    }
    // Outside a result the outcome is not shown.
    for (const Shot* shot : {&series.aim, &series.end}) {
        e2e::FrameLayout other;
        ASSERT_TRUE(other.Load(e2e::LayoutOf(shot->png)));
        EXPECT_EQ(other.Window("TextThrowOutcome"), nullptr) << shot->png;
    }
}

}  // namespace

// Pointing into the ring with the high lob, without error.
TEST(TrainingDrill, PointingIntoTheRingScoresTheSeriesFromTheBallsRest) {
    CheckSeries(PlayDrill(0, 3, -1), 0);
}

// Pointing into the ring with the wall before it: the high lob, with errors.
TEST(TrainingDrill, PointingOverTheWallScoresTheSeriesFromTheBallsRest) {
    CheckSeries(PlayDrill(1, 3, 6), 1);
}

// Shooting at the target: the first touch counts.
TEST(TrainingDrill, ShootingTheTargetScoresTheSeriesFromTheFirstTouch) {
    CheckSeries(PlayDrill(2, 2, 6), 2);
}

// Shooting the ball off its spot.
TEST(TrainingDrill, ShootingTheBallScoresTheSeriesFromTheHitAndTheShotBallsRest) {
    CheckSeries(PlayDrill(3, 2, 6), 3);
}

// Every exercise of the table can be scored: a throw without error (the
// computer's presets at level -1, with the angle a good player takes: the
// high lob to point, the half lob or the high shot to shoot) scores each of
// the ten rows of every drill.
TEST(TrainingDrill, AThrowWithoutErrorScoresEveryExerciseOfEveryDrill) {
    const struct {
        int kind, angle;
    } drills[] = {{0, 3}, {1, 3}, {2, 2}, {3, 3}};
    for (const auto& drill : drills) {
        SCOPED_TRACE("drill " + std::to_string(drill.kind));
        const Series series = PlayDrill(drill.kind, drill.angle, -1, "training_exact_");
        ASSERT_EQ(series.throws.size(), size_t(kSeries)) << series.log;
        for (size_t i = 0; i < series.throws.size(); ++i)
            EXPECT_TRUE(series.throws[i].scored) << "row " << i + 1 << " cannot be scored";
        EXPECT_EQ(series.successes, kSeries);
    }
}

// From the main menu through the training screens into the shooting drill;
// after one throw the pause frame quits to the main menu, which finds the
// scene, the computer's tasks and the sound sources as it left them.
TEST(TrainingDrill, PauseAndQuitLeadBackToTheMainMenuLeavingNothingBehind) {
    e2e::GameRun game("training_quit");
    game.Seed(kSeed);
    game.FixedStepMs(200);
    game.StartMode(2);
    game.Env("TAVIRELO_TEST_TRAINING_THROW", "-1,2");
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(WaitForNth(game, "mode 2", 1, 120)) << game.Log();
    ASSERT_TRUE(game.Click("btn_entrainement")) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "mode 10", 1, 60)) << game.Log();
    for (const char* button : {"BtnShoot2", "BtnValid"})
        ASSERT_TRUE(game.Click(button)) << button << "\n" << game.Log();
    // The description screen's own "BtnValid" starts the drill.
    for (int tries = 0; tries < 5 && !game.Saw("^mode 9$"); ++tries) {
        game.Click("BtnValid", 10);
        WaitForNth(game, "mode 9", 1, 5);
    }
    ASSERT_TRUE(WaitForNth(game, "mode 9", 1, 60)) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMResultState", 1, 120)) << game.Log();
    // Escape does not pause the result.
    ASSERT_TRUE(game.Key("escape")) << game.Log();
    ASSERT_TRUE(game.Click("BtnQuitReplay")) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMMainState", 2, 60)) << game.Log();
    EXPECT_EQ(game.Log().find("TogglePause() => paused"), std::string::npos) << "the result paused";

    ASSERT_TRUE(game.Key("escape")) << game.Log();
    const std::filesystem::path paused = game.Screenshot("training_paused.png");
    EXPECT_FALSE(paused.empty());
    EXPECT_NE(game.Log().find("TogglePause() => paused"), std::string::npos) << "Escape did not pause the throw";
    ASSERT_TRUE(game.Click("BtnPauseQuit")) << game.Log();
    ASSERT_TRUE(game.Click("BtnPauseConfirm")) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "mode 2", 2, 60)) << "the quit did not lead to the main menu\n" << game.Log();
    // The main menu finds the scene, the computer's tasks and the sound
    // sources as the first time.
    ASSERT_TRUE(WaitForNth(game, "leftovers .*", 4, 30)) << game.Log();
    const std::vector<std::string> left = LinesAfterEach(game, "mode 2");
    ASSERT_EQ(left.size(), 2u) << game.Log();
    EXPECT_EQ(left[1], left[0]) << "the training left something behind";
    EXPECT_FALSE(game.Saw("^series ")) << "the quit ran the series to its end";

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// "Try again" on the end frame: a new series begins on the first exercise
// with the counters back at 0.
TEST(TrainingDrill, RetryStartsANewSeriesOnTheFirstExercise) {
    e2e::GameRun game("training_retry");
    game.Seed(kSeed);
    game.FixedStepMs(200);
    game.StartMode(9);
    game.Match({"TRAININGPARAMS.TrainingType=2"});
    game.Env("TAVIRELO_TEST_TRAINING_THROW", "6,2");
    ASSERT_TRUE(game.Start());
    for (int n = 1; n <= kSeries; ++n) {
        ASSERT_TRUE(WaitForNth(game, "state CTrainingGMResultState", size_t(n), 120)) << n << "\n" << game.Log();
        ASSERT_TRUE(game.Click(n % 2 ? "BtnQuitReplay" : "Root")) << n << "\n" << game.Log();
    }
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMOutroState", 1, 60)) << game.Log();
    ASSERT_TRUE(game.Click("BtnEndMatchReplay")) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMBeginState", 1, 60)) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMResultState", size_t(kSeries) + 1, 120)) << game.Log();

    std::vector<Throw> throws;
    std::vector<std::string> scored;
    for (const std::string& reported : game.Lines()) {
        Throw t;
        if (ParseThrow(reported, t))
            throws.push_back(t);
        if (reported.rfind("scored ", 0) == 0)
            scored.push_back(reported);
    }
    ASSERT_EQ(throws.size(), size_t(kSeries) + 1);
    ASSERT_EQ(scored.size(), size_t(kSeries) + 1);
    // The new series' first throw counts as its first, at the first exercise.
    const std::vector<std::string> first = e2e::Words(scored.back());
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[3], "1");
    EXPECT_EQ(first[2], first[1]);
    EXPECT_NEAR(throws.back().target.x, throws.front().target.x, 1e-3f);
    EXPECT_NEAR(throws.back().target.z, throws.front().target.z, 1e-3f);
    EXPECT_FALSE(WaitForNth(game, "mode 10", 1, 0));

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// One throw as a person makes it on the panel: the lob's angle button, the
// start button held while the power gauge climbs to the ring's distance,
// pressed again to stop the balance gauge. The ball lands by the ring and
// the referee scores it from where it rests.
TEST(TrainingDrill, APersonsThrowThroughThePanelIsScoredFromWhereTheBallRests) {
    e2e::GameRun game("training_panel");
    game.Seed(kSeed);
    game.FixedStepMs(50);
    game.StartMode(9);
    game.Match({"TRAININGPARAMS.TrainingType=0"});
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMMainState", 1, 120)) << game.Log();

    // The zoom goes to the ring, and back from it the panel shows no
    // player lines: the trainee throws alone.
    ASSERT_TRUE(game.Click("BtnCamPlus")) << game.Log();
    ASSERT_TRUE(game.Queue({"wait 4000"})) << game.Log();
    const std::filesystem::path zoom = game.Screenshot("drill0_zoom.png");
    ASSERT_FALSE(zoom.empty());
    e2e::Frame zoomed;
    ASSERT_TRUE(zoomed.Load(zoom));
    View middle;
    middle.x = middle.y = 0.5f;
    EXPECT_GE(ExerciseColourNear(zoomed, 0, middle), 150) << "the zoom does not look at the ring";
    ASSERT_TRUE(game.Click("BtnCamMoins")) << game.Log();
    const std::filesystem::path back = game.Screenshot("drill0_zoom_back.png");
    e2e::FrameLayout panel;
    ASSERT_TRUE(panel.Load(e2e::LayoutOf(back)));
    for (const char* line : {"infosP1", "infosP2", "infosP3", "TextInfosPlayer"})
        EXPECT_EQ(panel.Window(line), nullptr) << line << " shown after the zoom";

    ASSERT_TRUE(game.Click("BtnAngle3")) << game.Log();
    // 6 m of the 12 m gauge (2 s at medium difficulty): the first ring's distance.
    ASSERT_TRUE(game.Queue({"press BtnStart", "wait 1000", "release", "wait 400", "click BtnStart"})) << game.Log();
    ASSERT_TRUE(WaitForNth(game, "state CTrainingGMResultState", 1, 120)) << game.Log();
    game.Screenshot("panel_result.png");

    Throw t;
    std::string scored;
    for (const std::string& reported : game.Lines()) {
        Throw parsed;
        if (ParseThrow(reported, parsed))
            t = parsed;
        if (reported.rfind("scored ", 0) == 0)
            scored = reported;
    }
    ASSERT_EQ(t.kind, 0) << game.Log();
    // The gauges, not a restart, sent the ball: it rests near the ring.
    EXPECT_LT(t.ball.squaredDistance(t.target), 2.0f * 2.0f) << game.Log();
    const std::vector<std::string> w = e2e::Words(scored);
    ASSERT_EQ(w.size(), 4u);
    const int again = Rescore(t);
    if (again >= 0) {
        EXPECT_EQ(w[1], again == 1 ? "1" : "0");
    }

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}
