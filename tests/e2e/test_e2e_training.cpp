// Training games played through the program: each drill starts as the
// training menus start it (the exercise in "TRAININGPARAMS"), the trainee's
// ten throws are set up as the computer sets up its own (aim, angle, gauge
// presets) and run through the throw driver, each result is continued with
// a click, and the end frame shows the series' score. The test scores every
// throw again from where the balls came to rest (and where the thrown ball
// first landed) and compares that with the score on the end frame. A last
// game goes from the main menu through the training screens into a drill,
// pauses it and quits to the main menu, leaving nothing of it behind.
#include <E2EDriver.h>

#include <gtest/gtest.h>

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

struct Throw {
    int kind = -1;
    bool out = false;
    V3 ball, target, impact, shot, start;
    bool scored = false;
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

struct Series {
    std::vector<Throw> throws;
    int successes = -1, count = -1;
    std::string shown;
    bool nan = false;
    bool backToMenu = false;
    std::vector<std::filesystem::path> screenshots;
    std::string log;
};

// One series of a drill: the game starts on the training mode, every
// result is continued by a click on its continue button, the end frame
// leads back to the training menus.
Series PlayDrill(int kind, int angle, int level) {
    Series series;
    e2e::GameRun game("training_" + std::to_string(kind));
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
        if (n == 3)
            series.screenshots.push_back(game.Screenshot("drill" + std::to_string(kind) + "_result.png"));
        // A left click anywhere continues; the pointer moves between two
        // places so that the GUI sees it over the window it clicks.
        const char* window = n % 2 ? "BtnQuitReplay" : "Root";
        EXPECT_TRUE(game.Click(window)) << "throw " << n << "\n" << game.Log();
        // The fourth throw's aim: its gauges have begun.
        if (n == 3 && WaitForNth(game, "gauges", 4, 60))
            series.screenshots.push_back(game.Screenshot("drill" + std::to_string(kind) + "_aim.png"));
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
        series.screenshots.push_back(game.Screenshot("drill" + std::to_string(kind) + "_end.png"));
        EXPECT_TRUE(game.Click("BtnEndMatchChangeTeam")) << game.Log();
        series.backToMenu = WaitForNth(game, "mode 10", 1, 60);
    } else {
        ADD_FAILURE() << "no end frame\n" << game.Log();
    }
    for (const std::string& reported : game.Lines()) {
        Throw t;
        if (ParseThrow(reported, t)) {
            series.throws.push_back(t);
            continue;
        }
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
    if (unsure == 0)
        EXPECT_EQ(series.successes, rescored);
    // The end frame shows the referee's count over the throws made.
    EXPECT_EQ(series.shown, std::to_string(series.successes) + " / " + std::to_string(kSeries));
    EXPECT_FALSE(series.nan) << "a ball's position was NaN";
    EXPECT_TRUE(series.backToMenu) << "the end frame did not lead back to the training menus";
    ASSERT_EQ(series.screenshots.size(), 3u);
    for (const std::filesystem::path& shot : series.screenshots) {
        ASSERT_FALSE(shot.empty()) << "a screenshot failed";
        EXPECT_GT(std::filesystem::file_size(shot), 10000u) << shot << " looks empty";
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
    if (again >= 0)
        EXPECT_EQ(w[1], again == 1 ? "1" : "0");

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}
