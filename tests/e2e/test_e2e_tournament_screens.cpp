// What the tournament screens show a player, read from each screen's picture
// and the windows laid out in it once it has drawn, and held against the
// competition's own phases as the game reports them: the pools' qualified and
// eliminated teams and their play-offs, the result tree, the podium, one
// spelling per team on every screen, and no button without its label, the
// end-of-tournament frame included.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kMainMenu = 2, kChampionshipMenus = 4;
const unsigned kSeed = 7;
const int kQualificationResult = 2, kResultTree = 10, kPodium = 11;

struct Match {
    std::string first, second;
    int firstResult = 2, secondResult = 2;
    bool Played() const { return firstResult != 2; }
    const std::string& Winner() const { return firstResult == 0 ? first : second; }
    const std::string& Loser() const { return firstResult == 0 ? second : first; }
};
using Phases = std::vector<std::vector<Match>>;

// One screen as the player saw it.
struct Screen {
    int kind = 0;
    Phases phases;              // the competition when it opened
    std::string picture;
    e2e::Frame frame;
    e2e::FrameLayout layout;    // its visible windows
    // A visible window's text ("" when not on show).
    std::string Text(const std::string& name) const {
        const e2e::LaidWindow* window = layout.Window(name);
        return window ? window->text : std::string();
    }
};

// "tournament phase <p> <m> <r1> <r2> <first>|<second>"
bool ParsePhaseLine(const std::string& line, Phases& phases) {
    const std::vector<std::string> w = e2e::Words(line);
    if (w.size() < 7 || w[0] != "tournament" || w[1] != "phase")
        return false;
    const size_t p = std::stoul(w[2]), m = std::stoul(w[3]);
    size_t at = 0;
    for (int skip = 0; skip < 6; ++skip)
        at = line.find(' ', at) + 1;
    const std::string names = line.substr(at);
    const size_t bar = names.find('|');
    if (phases.size() <= p)
        phases.resize(p + 1);
    if (phases[p].size() <= m)
        phases[p].resize(m + 1);
    Match& match = phases[p][m];
    match.firstResult = std::stoi(w[4]);
    match.secondResult = std::stoi(w[5]);
    match.first = names.substr(0, bar);
    match.second = bar == std::string::npos ? std::string() : names.substr(bar + 1);
    return true;
}

// The team name a line shows, as the layout file writes it (line breaks as
// spaces): its first part, before the players' names, without the breaks the
// screen put between its words.
std::string TeamOf(const std::string& text) {
    std::string name = text.substr(0, text.find("   "));
    for (size_t at = name.find("- "); at != std::string::npos; at = name.find("- ", at))
        name.erase(at + 1, 1);
    return name;
}

// The screens' sand ground shows at these places (shares of the width and
// height): the screen has drawn over the black of the loading screen.
void ExpectGround(const Screen& screen, std::initializer_list<std::pair<double, double>> places) {
    ASSERT_GT(screen.frame.Width(), 0) << screen.picture;
    for (const auto& place : places) {
        const e2e::Rgb rgb = screen.frame.At(int(place.first * screen.frame.Width()),
                                             int(place.second * screen.frame.Height()));
        EXPECT_GT(rgb.r + rgb.g + rgb.b, 300) << screen.picture << " at " << place.first << ", " << place.second;
    }
}

class TournamentScreensShown : public ::testing::Test {
protected:
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
    bool ClickUntil(e2e::GameRun& game, const char* window, const std::string& prefix, int n) {
        for (int attempt = 0; attempt < 6; ++attempt) {
            game.Click(window, 5);
            if (Next(game, prefix, n, 3))
                return true;
        }
        return false;
    }

    // The screen's picture and its windows once it has drawn (a few frames
    // of game time).
    void Look(e2e::GameRun& game, Screen& screen, const std::string& picture) {
        ASSERT_TRUE(game.Queue({"wait 300"})) << game.Log();
        screen.picture = game.Screenshot(picture).string();
        ASSERT_TRUE(screen.frame.Load(screen.picture)) << picture;
        ASSERT_TRUE(screen.layout.Load(e2e::LayoutOf(screen.picture))) << picture;
    }

    // A championship from the main menu, one gamer of the first region, the
    // computer playing every match to one point; each tournament screen and
    // the end frame are looked at before going on.
    void PlayChampionship(e2e::GameRun& game, std::vector<Screen>& screens, Screen& endFrame) {
        ASSERT_TRUE(Next(game, "mode ", 1, 120)) << game.Log();
        ASSERT_TRUE(Next(game, "mode ", kMainMenu, 120)) << game.Log();
        ASSERT_TRUE(game.Click("btn_competition"));
        ASSERT_TRUE(game.Click("btn_champoinnat"));
        ASSERT_TRUE(Next(game, "menu ", 0, 60)) << game.Log();
        ASSERT_TRUE(Next(game, "mode ", kChampionshipMenus, 60));
        ASSERT_TRUE(game.Click("Slot1"));
        ASSERT_TRUE(game.Click("BtnCreate"));
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 1)) << game.Log();
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 2)) << game.Log();
        ASSERT_TRUE(game.Click("BtnFaceToFace"));
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 3)) << game.Log();
        ASSERT_TRUE(game.Click("BtnFrance"));
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 4)) << game.Log();
        ASSERT_TRUE(game.Click("RegionListBox"));
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 5)) << game.Log();
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "menu ", 6)) << game.Log();
        ASSERT_TRUE(ClickUntil(game, "BtnValid", "mode ", 0)) << game.Log();

        std::string state;
        Phases phases;
        size_t cursor = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(600);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> lines = game.Lines();
            int opened = 0;
            for (; cursor < lines.size() && opened == 0; ++cursor) {
                const std::string& line = lines[cursor];
                const std::vector<std::string> w = e2e::Words(line);
                if (w.size() >= 2 && w[0] == "state") {
                    state = w[1];
                    if (state == "CQMGMTournamentInfoState")
                        phases.clear();
                } else if (ParsePhaseLine(line, phases)) {
                } else if (w.size() == 4 && w[0] == "tournament" && w[1] == "screen") {
                    opened = std::stoi(w[2]);
                } else if (line == "tournament end") {
                    ASSERT_NO_FATAL_FAILURE(Look(game, endFrame, "screens_end.png"));
                    return;
                }
            }
            if (!game.Running())
                return;
            if (opened != 0) {
                Screen screen;
                screen.kind = opened;
                screen.phases = phases;
                phases.clear();
                const std::string picture =
                    "screens_" + std::to_string(screens.size()) + "_kind" + std::to_string(opened) + ".png";
                ASSERT_NO_FATAL_FAILURE(Look(game, screen, picture));
                screens.push_back(screen);
                ASSERT_TRUE(game.Click("BtnValid", 10)) << "kind " << opened << "\n" << game.Log();
                continue;
            }
            if (state == "CQMGMTossState") {
                game.Click("ButtonValid", 5);
            } else if (state == "CQMGMLaunchResultState") {
                game.Click("ButtonValidPigOut", 5);
                game.Click("Root", 5);
            } else if (state == "CQMGMOutroState") {
                game.Click("BtnEndMatchReplay", 5);
            } else if (state == "CQMGMAwardsState") {
                game.Click("BtnAwardsReplay", 5);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }

    std::map<std::string, size_t> mCursors;
};

// No visible button without its label: none with an empty text, none whose
// label area shows one flat colour.
void ExpectEveryButtonLabelled(const std::string& where, const Screen& screen) {
    for (const e2e::LaidWindow& window : screen.layout.windows) {
        if (window.IsButton()) {
            EXPECT_FALSE(window.text.empty()) << where << ": button " << window.name << " shows no label";
        }
    }
    const std::vector<std::string> problems = e2e::EmptyButtonProblems(screen.frame, screen.layout);
    EXPECT_TRUE(problems.empty()) << where << ":\n" << e2e::Describe(problems);
}

// Pool p of the qualification results against the pool's second round and
// play-off: the first and the team out of the losers' match in column A, the
// play-off's winner and loser in column B once played, else both its teams
// under the play-off's name on the qualified line.
void ExpectPool(const Screen& screen, size_t p) {
    SCOPED_TRACE("pool " + std::to_string(p + 1));
    ASSERT_GE(screen.phases.size(), 3u);
    const Match& winners = screen.phases[1].at(2 * p);
    const Match& losers = screen.phases[1].at(2 * p + 1);
    const Match& playOff = screen.phases[2].at(p);
    const std::string up = std::to_string(p + 1), down = std::to_string(p + 5);
    EXPECT_FALSE(screen.Text("Qualified" + up).empty());
    EXPECT_FALSE(screen.Text("Qualified" + down).empty());
    EXPECT_NE(screen.Text("Qualified" + up), screen.Text("Qualified" + down));
    EXPECT_EQ(TeamOf(screen.Text("TeamAText" + up)), winners.Winner());
    EXPECT_EQ(TeamOf(screen.Text("TeamAText" + down)), losers.Loser());
    if (playOff.Played()) {
        EXPECT_EQ(TeamOf(screen.Text("TeamBText" + up)), playOff.Winner());
        EXPECT_EQ(TeamOf(screen.Text("TeamBText" + down)), playOff.Loser());
        // The quarter-finals, when drawn, hold exactly the teams labelled qualified.
        if (screen.phases.size() > 3) {
            std::set<std::string> quarterFinalists;
            for (const Match& match : screen.phases[3])
                quarterFinalists.insert({match.first, match.second});
            EXPECT_EQ(quarterFinalists.count(winners.Winner()), 1u);
            EXPECT_EQ(quarterFinalists.count(playOff.Winner()), 1u);
            EXPECT_EQ(quarterFinalists.count(playOff.Loser()), 0u);
            EXPECT_EQ(quarterFinalists.count(losers.Loser()), 0u);
        }
    } else {
        const std::string pending = screen.Text("TeamBText" + up);
        EXPECT_NE(pending.find(playOff.first + " / " + playOff.second), std::string::npos) << pending;
        EXPECT_EQ(screen.Text("TeamBText" + down), "");
    }
}

TEST_F(TournamentScreensShown, AChampionshipsScreensShowTheCompetitionsOwnResults) {
    e2e::GameRun game("tournament_screens");
    game.Seed(kSeed);
    game.FixedStepMs(100);
    game.Toss(0);
    game.Env("TAVIRELO_TEST_TARGET", "1");
    game.Env("TAVIRELO_TEST_AUTOPLAY", "1");
    game.Arg("--main-menu");
    ASSERT_TRUE(game.Start());
    std::vector<Screen> screens;
    Screen endFrame;
    ASSERT_NO_FATAL_FAILURE(PlayChampionship(game, screens, endFrame));
    ASSERT_FALSE(endFrame.layout.windows.empty()) << "the end frame was never shown\n" << game.Log();

    std::set<std::string> teams;
    for (const Screen& screen : screens)
        for (const auto& phase : screen.phases)
            for (const Match& match : phase)
                teams.insert({match.first, match.second});
    ASSERT_EQ(teams.size(), 16u);

    bool sawPools = false, sawTree = false, sawPodium = false;
    for (const Screen& screen : screens) {
        const std::string where = screen.picture;
        SCOPED_TRACE(where);
        ExpectEveryButtonLabelled(where, screen);
        // One spelling per team: every team line names a team of the
        // competition as the competition names it.
        for (const e2e::LaidWindow& window : screen.layout.windows) {
            const std::string& name = window.name;
            const bool teamLine = name.rfind("TeamText", 0) == 0 || name.rfind("TeamAText", 0) == 0 ||
                                  name.rfind("TeamBText", 0) == 0 || name == "FirstTeam" || name == "SecondTeam" ||
                                  name == "ThirdTeam";
            if (teamLine && !window.text.empty() && window.text.find(" / ") == std::string::npos) {
                EXPECT_EQ(teams.count(TeamOf(window.text)), 1u) << name << ": " << window.text;
            }
        }
        if (screen.kind == kQualificationResult) {
            sawPools = true;
            for (size_t p = 0; p < 4; ++p)
                ExpectPool(screen, p);
            ExpectGround(screen, {{0.02, 0.5}, {0.5, 0.02}, {0.98, 0.97}});
        } else if (screen.kind == kResultTree && screen.phases.size() > 3) {
            sawTree = true;
            // The first phase of the tree holds the quarter-finals, side by side.
            for (size_t q = 0; q < screen.phases[3].size(); ++q)
                EXPECT_EQ(TeamOf(screen.Text("TeamText" + std::to_string(2 * q + 1))), screen.phases[3][q].first);
        } else if (screen.kind == kPodium) {
            sawPodium = true;
            ASSERT_EQ(screen.phases.size(), 6u);
            EXPECT_EQ(TeamOf(screen.Text("FirstTeam")), screen.phases[5].at(1).Winner()) << "the final's winner";
        }
    }
    EXPECT_TRUE(sawPools && sawTree && sawPodium);

    // The end frame: its four labelled buttons and its title over the
    // tournament screens' ground; the thrower's buttons of the match are gone.
    ExpectEveryButtonLabelled("end frame", endFrame);
    for (const char* shown : {"BtnEndTournamentReplay", "BtnEndTournamentQuit", "BtnEndTournamentChangeTeam",
                              "BtnEndTournamentChangeGameType", "TextEndTournament"})
        EXPECT_NE(endFrame.layout.Window(shown), nullptr) << shown;
    for (const char* hidden : {"infosP1", "infosP2", "infosP3"})
        EXPECT_EQ(endFrame.layout.Window(hidden), nullptr) << hidden;
    ExpectGround(endFrame, {{0.5, 0.5}, {0.02, 0.2}, {0.98, 0.7}});

    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
