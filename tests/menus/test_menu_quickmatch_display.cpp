// The full game's quick-match menus played with clicks through the real
// window: from the main menu (reached with "--main-menu") to the start of
// the match, with a screenshot of every screen, and back out again with the
// Back button and the Escape key; the way back from a match, and from a
// match the menus' values cannot set up.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kBoot = 1, kMainMenu = 2, kQuickMatchMenus = 3, kMatch = 0;

class QuickMatchMenus : public ::testing::Test {
protected:
    // Waits for the next report line that begins with the prefix (in the
    // order they come, each read once); true when it is prefix + n.
    bool Next(e2e::GameRun& game, const std::string& prefix, int n, int seconds) {
        size_t& cursor = mCursors[prefix];
        for (int tenth = 0; tenth < seconds * 10; ++tenth) {
            const std::vector<std::string> lines = game.Lines();
            for (; cursor < lines.size(); ++cursor)
                if (lines[cursor].rfind(prefix, 0) == 0)
                    return lines[cursor++] == prefix + std::to_string(n);
            if (!game.Running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // The flow's next screen ("menu <id>") is n.
    bool Screen(e2e::GameRun& game, int n, int seconds = 60) { return Next(game, "menu ", n, seconds); }
    // The next game mode ("mode <id>") is n.
    bool Mode(e2e::GameRun& game, int n, int seconds = 120) { return Next(game, "mode ", n, seconds); }
    // Clicks until the screen changes to n: the choose-actor screen ignores
    // clicks within the calendar second of its entry or of its last click.
    bool ClickUntilScreen(e2e::GameRun& game, const char* window, int n) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!game.Click(window))
                return false;
            if (Screen(game, n, 3))
                return true;
        }
        return false;
    }
    std::map<std::string, size_t> mCursors;
    // The menus' picture draws a rule under the header and one over the
    // footer (640 x 480): no label lies across them, nor across the border
    // of the window the choose-actor screen's 3D preview shows through.
    static std::vector<e2e::Box> MenuLines(const std::string& file) {
        // The title menus and the match draw pictures of their own.
        if (file.rfind("qm", 0) != 0)
            return {};
        std::vector<e2e::Box> lines = {{0, 90, 640, 93}, {0, 405, 640, 408}};
        if (file.rfind("qm6_actor", 0) == 0)
            for (const e2e::Box& side : e2e::BorderLines({10, 96, 286, 402}, 3))
                lines.push_back(side);
        return lines;
    }
    void Shot(e2e::GameRun& game, const std::string& file) {
        const std::filesystem::path shot = game.Screenshot(file);
        ASSERT_FALSE(shot.empty()) << file;
        EXPECT_TRUE(e2e::FrameProblems(shot).empty()) << e2e::Describe(e2e::FrameProblems(shot));
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(shot));
        ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot)));
        const std::vector<e2e::Box> lines = MenuLines(file);
        const std::vector<std::string> crossing = e2e::LabelCrossingProblems(frame, layout, lines);
        EXPECT_TRUE(crossing.empty()) << file << "\n" << e2e::Describe(crossing);
        if (file.rfind("qm6_actor", 0) == 0) {
            const std::vector<std::string> broken =
                e2e::BrokenLineProblems(frame, e2e::BorderLines({10, 96, 286, 402}, 3), "the preview's border");
            EXPECT_TRUE(broken.empty()) << e2e::Describe(broken);
        }
    }
    // The choose-actor screen: each of the player's four characteristic bars
    // filled to a readable share of its scale, its filled part in the match
    // panel's colour for that skill (balance white, mental blue, stamina
    // green; spin, which the panel has not, amber), the rest dark.
    static void ExpectActorScreenReadable(const std::filesystem::path& shot) {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(shot));
        ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot)));
        const std::function<bool(const e2e::Rgb&)> colours[4] = {
            [](const e2e::Rgb& c) { return c.r > 200 && c.g > 200 && c.b > 200; },
            [](const e2e::Rgb& c) { return c.r > 200 && c.g > 120 && c.b < 80; },
            [](const e2e::Rgb& c) { return c.b > 180 && c.r < 60 && c.g < 60; },
            [](const e2e::Rgb& c) { return c.g > 180 && c.r < 60 && c.b < 60; }};
        for (int row = 0; row < 4; ++row) {
            const std::string name = "ActorPowerBar" + std::to_string(row);
            const e2e::LaidElement* fill = layout.Element(name + "0");
            const e2e::LaidElement* rest = layout.Element(name + "1");
            ASSERT_TRUE(fill && rest) << name;
            const float share = fill->area.Width() / (fill->area.Width() + rest->area.Width());
            EXPECT_GT(share, 0.3f) << name << " is nearly empty";
            EXPECT_LE(share, 1.0f) << name;
            const e2e::Rgb colour = frame.Mean(fill->area);
            EXPECT_TRUE(colours[row](colour)) << name << " " << colour.r << "," << colour.g << "," << colour.b;
            const e2e::Rgb empty = frame.Mean(rest->area);
            EXPECT_LT(empty.r + empty.g + empty.b, 300) << name << ": the rest of the bar is not dark";
        }
    }
    // Gold letters on the chosen button, none on another choice.
    static void ExpectChosenWord(const std::filesystem::path& shot, const char* chosen, const char* other) {
        e2e::Frame frame;
        e2e::FrameLayout layout;
        ASSERT_TRUE(frame.Load(shot));
        ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot)));
        auto gold = [&](const char* name) {
            const e2e::LaidWindow* button = layout.Window(name);
            int count = 0;
            if (!button)
                return -1;
            for (int y = int(button->area.y0); y < int(button->area.y1); ++y)
                for (int x = int(button->area.x0); x < int(button->area.x1); ++x) {
                    const e2e::Rgb c = frame.At(x, y);
                    count += c.r > 110 && c.g > 80 && c.b < c.g * 0.6 && c.r > c.b + 60;
                }
            return count;
        };
        EXPECT_GE(gold(chosen), 15) << chosen << " does not read as chosen";
        EXPECT_EQ(gold(other), 0) << other << " reads as chosen";
    }
    // Local game, one or two humans, doublette, teams of regions, a region
    // for each team: the country screen (4) is left showing.
    void WalkToCountry(e2e::GameRun& game, bool screenshots, int humans) {
        ASSERT_TRUE(game.Click("btn_quickMatch"));
        // The flow opens its first screen inside its Init, before the mode line.
        ASSERT_TRUE(Screen(game, 0)) << game.Log();
        ASSERT_TRUE(Mode(game, kQuickMatchMenus));
        if (screenshots)
            Shot(game, "qm0_lan.png");
        ASSERT_TRUE(game.Click("BtnLocal"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 1));
        if (screenshots)
            Shot(game, "qm1_players.png");
        ASSERT_TRUE(game.Click("BtnP" + std::to_string(humans)));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 2));
        if (screenshots)
            Shot(game, "qm2_game_type.png");
        ASSERT_TRUE(game.Click("BtnDoublette"));
        if (screenshots) {
            // The choice made reads as chosen, not as a disabled button: its
            // word is gold, the others' white.
            Shot(game, "qm2_game_type_chosen.png");
            ExpectChosenWord(game.ControlDir() / "qm2_game_type_chosen.png", "BtnDoublette", "BtnTriplette");
        }
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 3));
        if (screenshots)
            Shot(game, "qm3_origin.png");
        ASSERT_TRUE(game.Click("BtnFrance"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 4));
        if (screenshots)
            Shot(game, "qm4_country.png");
    }
    // Both teams' regions, the humans' teams (two humans; both stay in team
    // A, so team B is the computer's), the choose-actor screen and the stage.
    void WalkFromCountryToStage(e2e::GameRun& game, bool screenshots, int humans) {
        ASSERT_TRUE(game.Click("RegionListBox"));
        if (screenshots)
            Shot(game, "qm4_country_chosen.png");
        ASSERT_TRUE(game.Click("BtnValid"));
        ASSERT_TRUE(game.Click("RegionListBox"));
        if (humans == 1) {
            // The fill-teams screen is skipped.
            ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 6));
        } else {
            ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 5));
            Shot(game, "qm5_fill_teams.png");
            ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 6));
        }
        if (screenshots) {
            Shot(game, "qm6_actor.png");
            ExpectActorScreenReadable(game.ControlDir() / "qm6_actor.png");
        }
        ASSERT_TRUE(game.Click("BtnNextMesh"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 7));
        if (screenshots)
            Shot(game, "qm7_stage.png");
        ASSERT_TRUE(game.Click("BtnNext"));
        if (screenshots)
            Shot(game, "qm7_stage_next.png");
    }
};

TEST_F(QuickMatchMenus, FromTheMainMenuToTheMatchAndBackOut) {
    e2e::GameRun game("quickmatch_menus");
    game.Seed(7);
    game.FixedStepMs(20);
    game.Arg("--main-menu");
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(Mode(game, kBoot)) << game.Log();
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();

    ASSERT_NO_FATAL_FAILURE(WalkToCountry(game, true, 1));
    ASSERT_NO_FATAL_FAILURE(WalkFromCountryToStage(game, true, 1));

    // Back out: the Back button and Escape, one screen each, past the
    // skipped fill-teams screen, to the main menu.
    ASSERT_TRUE(ClickUntilScreen(game, "BtnBack", 6));
    ASSERT_TRUE(game.Key("escape"));
    ASSERT_TRUE(Screen(game, 4));
    ASSERT_TRUE(game.Key("escape"));
    ASSERT_TRUE(Screen(game, 3));
    ASSERT_TRUE(ClickUntilScreen(game, "BtnBack", 2));
    ASSERT_TRUE(game.Key("escape"));
    ASSERT_TRUE(Screen(game, 1));
    ASSERT_TRUE(game.Key("escape"));
    ASSERT_TRUE(Screen(game, 0));
    ASSERT_TRUE(game.Key("escape"));
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
    Shot(game, "main_menu_again.png");

    // And through again to the match, with two humans and so the
    // fill-teams screen.
    ASSERT_NO_FATAL_FAILURE(WalkToCountry(game, false, 2));
    ASSERT_NO_FATAL_FAILURE(WalkFromCountryToStage(game, false, 2));
    // The match may take over before the click's answer comes back.
    game.Click("BtnValid");
    ASSERT_TRUE(Screen(game, 8)) << game.Log();
    if (!Mode(game, kMatch)) {
        // A build without the match mode ends there, after the menus handed over.
        if (game.Log().find("mode 0 (CQuickMatchGameMode) is not in this build yet") != std::string::npos)
            GTEST_SKIP() << "the menus handed over to the match, which this build does not have yet";
        FAIL() << "the match did not start\n" << game.Log();
    }
    Shot(game, "match_start.png");
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// A quick match started from the full game's main menu: the pause frame's
// quit ends it (the player forfeits) and the end frame's button leads back
// to the main menu, from which training and the competitions are reached.
TEST_F(QuickMatchMenus, PauseQuitAndTheEndFrameLeadBackToTheMainMenu) {
    e2e::GameRun game("quickmatch_way_out");
    game.Seed(7);
    game.FixedStepMs(20);
    game.Arg("--main-menu");
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(Mode(game, kBoot)) << game.Log();
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
    ASSERT_NO_FATAL_FAILURE(WalkToCountry(game, false, 1));
    ASSERT_NO_FATAL_FAILURE(WalkFromCountryToStage(game, false, 1));
    game.Click("BtnValid");
    ASSERT_TRUE(Screen(game, 8)) << game.Log();
    ASSERT_TRUE(Mode(game, kMatch)) << game.Log();
    ASSERT_TRUE(game.Reaches("^state CQMGMIntroState$", 120)) << game.Log();

    // A press within a moment of the click that started the match is
    // ignored, as a player's double press is: a player presses again.
    e2e::FrameLayout paused;
    for (int attempt = 0; attempt < 5 && !paused.Window("BtnPauseQuit"); ++attempt) {
        ASSERT_TRUE(game.Key("escape")) << game.Log();
        Shot(game, "way_out_paused.png");
        ASSERT_TRUE(paused.Load(e2e::LayoutOf(game.ControlDir() / "way_out_paused.png")));
    }
    ASSERT_NE(paused.Window("BtnPauseQuit"), nullptr) << "Escape did not pause the match\n" << game.Log();
    ASSERT_TRUE(game.Click("BtnPauseQuit")) << game.Log();
    ASSERT_FALSE(game.Screenshot("way_out_confirm.png").empty());
    e2e::FrameLayout confirm;
    ASSERT_TRUE(confirm.Load(e2e::LayoutOf(game.ControlDir() / "way_out_confirm.png")));
    ASSERT_NE(confirm.Window("BtnPauseConfirm"), nullptr) << "the quit is not asked for";
    ASSERT_TRUE(game.Click("BtnPauseConfirm")) << game.Log();
    ASSERT_TRUE(game.Reaches("^state CQMGMOutroState$", 60)) << "the quit did not end the match\n" << game.Log();

    // The end frame names the way out.
    Shot(game, "way_out_end_frame.png");
    e2e::FrameLayout end;
    ASSERT_TRUE(end.Load(e2e::LayoutOf(game.ControlDir() / "way_out_end_frame.png")));
    const e2e::LaidWindow* quit = end.Window("BtnEndMatchQuit");
    ASSERT_NE(quit, nullptr) << "no way out on the end frame";
    EXPECT_EQ(quit->text, "Menu principal");
    // A click within a moment of the last one is ignored, as a player's
    // double click is: a player clicks again.
    bool back = false;
    for (int attempt = 0; attempt < 5 && !back; ++attempt) {
        ASSERT_TRUE(game.Click("BtnEndMatchQuit")) << game.Log();
        back = Mode(game, kMainMenu, 3);
    }
    ASSERT_TRUE(back) << "the end frame did not lead back to the main menu\n" << game.Log();

    // The main menu again, with the training and the competitions.
    Shot(game, "way_out_main_menu.png");
    e2e::FrameLayout menu;
    ASSERT_TRUE(menu.Load(e2e::LayoutOf(game.ControlDir() / "way_out_main_menu.png")));
    for (const char* button : {"btn_entrainement", "btn_competition", "btn_quickMatch"}) {
        const e2e::LaidWindow* shown = menu.Window(button);
        ASSERT_NE(shown, nullptr) << button;
        EXPECT_FALSE(shown->text.empty()) << button;
    }
    ASSERT_TRUE(game.Click("btn_entrainement")) << game.Log();
    EXPECT_TRUE(Mode(game, 10)) << "the training cannot be reached\n" << game.Log();
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// A match the menus' values cannot set up (both sides the same team) says
// why on screen and leads back to the main menu it was started from.
TEST_F(QuickMatchMenus, ARefusedSetUpSaysWhyAndLeadsBackToTheMainMenu) {
    e2e::GameRun game("quickmatch_refused");
    game.Seed(7);
    game.FixedStepMs(20);
    game.Arg("--main-menu");
    game.StartMode(kMatch);
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=2", "TeamA=8", "TeamB=8", "location=3",
                "IsRegional=0"});
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.Reaches("^refused MATCH_REFUSED_SAME_TEAM$", 120)) << game.Log();
    const std::filesystem::path shot = game.Screenshot("refused.png");
    ASSERT_FALSE(shot.empty());
    EXPECT_TRUE(e2e::FrameProblems(shot).empty()) << e2e::Describe(e2e::FrameProblems(shot));
    e2e::FrameLayout layout;
    ASSERT_TRUE(layout.Load(e2e::LayoutOf(shot)));
    const e2e::LaidWindow* why = layout.Window("Text");
    ASSERT_NE(why, nullptr) << "the refusal says nothing";
    EXPECT_EQ(why->text, "Les deux camps ont choisi la meme equipe.");
    const e2e::LaidWindow* back = layout.Window("ButtonValid");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text, "Retour au menu");
    EXPECT_TRUE(e2e::LayoutProblems(layout).empty()) << e2e::Describe(e2e::LayoutProblems(layout));
    // The message waits for the player.
    EXPECT_FALSE(game.Reaches("^mode 2$", 3));
    ASSERT_TRUE(game.Click("ButtonValid")) << game.Log();
    ASSERT_TRUE(game.Reaches("^mode 2$", 60)) << "the refusal did not lead back to the main menu\n" << game.Log();
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
