// The game started through the end-to-end driver: the boot screens lead to
// the demo menu, or with "--main-menu" to the full game's main menu; a click
// sent by window name goes through the real window-system input to the GUI.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kBootMode = 1, kMainMenu = 2, kDemoMenu = 7, kOptions = 8;

struct BootCase {
    const char* name;
    std::vector<std::string> args;
    int expectedMode;
};

TEST(Launch, TheBootScreensLeadToTheMenuTheCommandLineNames) {
    const BootCase cases[] = {{"demo", {}, kDemoMenu}, {"full", {"--main-menu"}, kMainMenu}};
    for (const BootCase& c : cases) {
        e2e::GameRun game(std::string("boot_") + c.name);
        game.FixedStepMs(50);
        for (const std::string& arg : c.args)
            game.Arg(arg);
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.WaitFor("^mode " + std::to_string(kBootMode) + "$", 120)) << game.Log();
        std::string next;
        ASSERT_TRUE(game.WaitFor("^mode ", 120, &next)) << game.Log();
        EXPECT_EQ(next, "mode " + std::to_string(c.expectedMode)) << c.name;
        // The menu a player lands in shows every button with its word: no
        // empty button (the demo has no training and hides its button).
        const std::filesystem::path menu = game.Screenshot(std::string("menu_") + c.name + ".png");
        ASSERT_FALSE(menu.empty()) << c.name;
        EXPECT_TRUE(e2e::FrameProblems(menu).empty()) << e2e::Describe(e2e::FrameProblems(menu));
        game.Command("quit");
        ASSERT_TRUE(game.WaitExit(60)) << c.name;
        EXPECT_TRUE(WIFEXITED(game.Status()) && WEXITSTATUS(game.Status()) == 0) << c.name;
    }
}

TEST(Launch, AClickByWindowNameReachesTheMenuButton) {
    e2e::GameRun game("click");
    game.StartMode(kMainMenu);
    game.FixedStepMs(20);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.WaitFor("^mode 2$", 120)) << game.Log();
    EXPECT_FALSE(game.Click("NoSuchWindow"));
    ASSERT_TRUE(game.Click("btn_option")) << game.Log();
    // The new mode may come before the click's answer (the button acts on
    // the press or the release).
    const std::string options = "^mode " + std::to_string(kOptions) + "$";
    EXPECT_TRUE(game.Saw(options) || game.WaitFor(options, 60));
    const std::filesystem::path shot = game.Screenshot("options.png");
    ASSERT_FALSE(shot.empty());
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
