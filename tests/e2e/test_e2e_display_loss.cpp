// The X server goes away under the game: killed by its process id during a
// computer match (a throw in flight or at rest) and at the main menu. The
// game ends at once with exit status 1 and one log line saying why; nothing
// aborts, and no destructor runs against the engine it needs.
#include <E2EDriver.h>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <string>

namespace {

const int kMatchMode = 0, kMainMenu = 2;
const char kLostLine[] = "X server connection lost";

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

struct Moment {
    const char* name;
    int startMode;
    const char* waitFor;   // the report line after which the display goes
    int lines;             // how many of them
};

class DisplayLoss : public ::testing::TestWithParam<Moment> {};

TEST_P(DisplayLoss, EndsTheGameWithStatusOneAndOneLine) {
    const Moment& moment = GetParam();
    e2e::GameRun game(std::string("display_loss_") + moment.name);
    game.Seed(20261211);
    game.FixedStepMs(100);
    game.StartMode(moment.startMode);
    game.Toss(0);
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=1", "TeamA=8", "TeamB=9", "location=3",
                "IsRegional=0"});
    ASSERT_TRUE(game.Start());
    for (int i = 0; i < moment.lines; ++i)
        ASSERT_TRUE(game.WaitFor(moment.waitFor, 300)) << game.Log();
    ASSERT_GT(game.DisplayPid(), 0);
    ASSERT_EQ(kill(game.DisplayPid(), SIGKILL), 0);

    ASSERT_TRUE(game.WaitExit(60)) << "the game outlived its display\n" << game.Log();
    const int status = game.Status();
    const std::string log = game.Log();
    EXPECT_TRUE(WIFEXITED(status)) << (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "")
                                   << "\n" << log;
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << log;
    EXPECT_EQ(Count(log, kLostLine), 1u) << log;
    for (const char* fault : {"double free", "corruption", "Aborted", "terminate called"})
        EXPECT_EQ(log.find(fault), std::string::npos) << fault << "\n" << log;
}

INSTANTIATE_TEST_SUITE_P(
    Moments, DisplayLoss,
    ::testing::Values(Moment{"first_throw_result", kMatchMode, "^state CQMGMLaunchResultState$", 1},
                      Moment{"third_throw", kMatchMode, "^state CQMGMLaunchState$", 3},
                      Moment{"main_menu", kMainMenu, "^mode 2$", 1}),
    [](const ::testing::TestParamInfo<Moment>& info) { return std::string(info.param.name); });

}  // namespace
