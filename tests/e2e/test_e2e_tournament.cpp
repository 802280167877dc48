// Championships and cups from the full game's main menu, every match played
// by the computer (the gamer's team too) to one point: the menus, the
// tournament screens in their order with the scores of the matches played,
// the podium and the end frame; a championship stopped after its second
// match and resumed from its save slot ends as the uninterrupted one.
#include <E2EDriver.h>
#include <FrameChecks.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kMainMenu = 2, kMatch = 0, kChampionshipMenus = 4, kCupMenus = 5;
const unsigned kSeed = 7;

struct PlayedMatch {
    std::string first, second;
    int scoreFirst = -1, scoreSecond = -1;
};

struct TournamentRecord {
    std::vector<std::pair<int, int>> screens;   // kind, slot
    std::vector<std::string> lines;             // every report line, in order
    std::vector<PlayedMatch> played;
    std::vector<std::string> podium;
    std::string gamerTeam, gamerName;           // as the played matches name them
    std::vector<int> venues;                    // each played match's loaded venue
    bool ended = false;
};

std::string Rest(const std::string& line, size_t words) {
    size_t at = 0;
    for (size_t w = 0; w < words && at != std::string::npos; ++w) {
        at = line.find(' ', at);
        if (at != std::string::npos)
            ++at;
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

class Tournament : public ::testing::Test {
protected:
    static void Configure(e2e::GameRun& game) {
        game.Seed(kSeed);
        game.FixedStepMs(100);
        game.Toss(0);
        game.Env("TAVIRELO_TEST_TARGET", "1");
        game.Env("TAVIRELO_TEST_AUTOPLAY", "1");
        game.Arg("--main-menu");
    }

    // The next report line that begins with the prefix (each read once, in
    // their order, whatever other waits consumed) is prefix + n.
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
    bool Screen(e2e::GameRun& game, int n, int seconds = 60) { return Next(game, "menu ", n, seconds); }
    // Clicks until the match mode starts (the choose-actor screen ignores
    // clicks within the calendar second of its entry).
    bool ClickUntilMatch(e2e::GameRun& game, const char* window) {
        for (int attempt = 0; attempt < 6; ++attempt) {
            // The match may take over before the click's answer comes back.
            game.Click(window, 5);
            if (Next(game, "mode ", 0, 3))
                return true;
        }
        return false;
    }
    bool Mode(e2e::GameRun& game, int n, int seconds = 120) { return Next(game, "mode ", n, seconds); }
    std::map<std::string, size_t> mCursors;
    // Play presses the win cheat in each match (cheat keys enabled).
    bool mGamerWins = false;
    bool ClickUntilScreen(e2e::GameRun& game, const char* window, int n) {
        for (int attempt = 0; attempt < 6; ++attempt) {
            if (!game.Click(window))
                return false;
            if (Screen(game, n, 3))
                return true;
        }
        return false;
    }

    // Main menu, the competition's button, a new save in the first slot, one
    // gamer, face to face, regions, the first region, its player, the venue
    // (`venue` steps past the first).
    void StartFromTheMainMenu(e2e::GameRun& game, const char* button, int mode, int venue = 0) {
        mCursors.clear();
        ASSERT_TRUE(Mode(game, 1)) << game.Log();
        ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
        ASSERT_TRUE(game.Click("btn_competition"));
        ASSERT_TRUE(game.Click(button));
        // The flow opens its first screen inside its Init, before the mode line.
        ASSERT_TRUE(Screen(game, 0)) << game.Log();
        ASSERT_TRUE(Mode(game, mode));
        ASSERT_TRUE(game.Click("Slot1"));
        ASSERT_TRUE(game.Click("BtnCreate"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 1)) << game.Log();
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 2)) << game.Log();
        ASSERT_TRUE(game.Click("BtnFaceToFace"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 3)) << game.Log();
        ASSERT_TRUE(game.Click("BtnFrance"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 4)) << game.Log();
        ASSERT_TRUE(game.Click("RegionListBox"));
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 5)) << game.Log();
        ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 6)) << game.Log();
        for (int step = 0; step < venue; ++step)
            ASSERT_TRUE(game.Click("BtnNext"));
        ASSERT_TRUE(ClickUntilMatch(game, "BtnValid")) << game.Log();
    }

    // The competition's button on the main menu, then its first save slot,
    // which holds a save.
    void ContinueFromTheFirstSlot(e2e::GameRun& game, const char* button, int mode) {
        mCursors.clear();
        ASSERT_TRUE(Mode(game, 1)) << game.Log();
        ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
        ASSERT_TRUE(game.Click("btn_competition"));
        ASSERT_TRUE(game.Click(button));
        ASSERT_TRUE(Screen(game, 0)) << game.Log();
        ASSERT_TRUE(Mode(game, mode));
        ASSERT_TRUE(game.Click("Slot1"));
        game.Click("BtnValid");
    }

    // Validates the tournament screens until a match loads its venue; that
    // line ("tournament venue <venue> difficulty <level>"), or "".
    static std::string UntilAMatchLoads(e2e::GameRun& game, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline && game.Running()) {
            for (const std::string& line : game.Lines())
                if (line.rfind("tournament venue ", 0) == 0)
                    return line;
            game.Click("BtnValid", 2);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return std::string();
    }

    // A run started again in a fresh tree with the save another run left.
    static void CarrySave(const e2e::GameRun& from, const e2e::GameRun& to, const char* file) {
        const std::filesystem::path target = to.Root() / "media" / "GameSav" / file;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(from.Root() / "media" / "GameSav" / file, target,
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // Answers what the tournament waits for (the toss, each throw's result,
    // the end of a match, the awards, each tournament screen) until the end
    // frame, or until `stopAfter` matches have been played.
    void Play(e2e::GameRun& game, TournamentRecord& record, int stopAfter, int seconds, const std::string& shots) {
        std::string state;
        int pendingSlot = 0;
        bool inMatch = false;
        size_t cursor = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> lines = game.Lines();
            for (; cursor < lines.size(); ++cursor) {
                const std::string& line = lines[cursor];
                record.lines.push_back(line);
                const std::vector<std::string> w = e2e::Words(line);
                if (w.size() >= 2 && w[0] == "state") {
                    state = w[1];
                } else if (w.size() == 4 && w[0] == "tournament" && w[1] == "screen") {
                    record.screens.emplace_back(std::stoi(w[2]), std::stoi(w[3]));
                    pendingSlot = std::stoi(w[3]);
                } else if (w.size() >= 4 && w[0] == "tournament" && w[1] == "match") {
                    const std::string names = Rest(line, 2);
                    const size_t v = names.find(" v ");
                    PlayedMatch match;
                    match.first = names.substr(0, v);
                    match.second = v == std::string::npos ? std::string() : names.substr(v + 3);
                    record.played.push_back(match);
                } else if (w.size() >= 3 && w[0] == "final" && !record.played.empty()) {
                    record.played.back().scoreFirst = std::stoi(w[1]);
                    record.played.back().scoreSecond = std::stoi(w[2]);
                    if (static_cast<int>(record.played.size()) == stopAfter)
                        return;
                } else if (w.size() >= 4 && w[0] == "tournament" && w[1] == "gamer" && w[2] == "team") {
                    record.gamerTeam = Rest(line, 3);
                } else if (w.size() >= 4 && w[0] == "tournament" && w[1] == "gamer" && w[2] == "name") {
                    record.gamerName = Rest(line, 3);
                } else if (w.size() >= 3 && w[0] == "tournament" && w[1] == "venue") {
                    record.venues.push_back(std::stoi(w[2]));
                } else if (w.size() >= 4 && w[0] == "tournament" && w[1] == "podium") {
                    record.podium.push_back(Rest(line, 3));
                } else if (w.size() == 2 && w[0] == "mode") {
                    if (w[1] == "0")
                        inMatch = true;
                    else if (inMatch)
                        return;   // the match mode has handed over (a career's stage ended)
                } else if (line == "tournament end") {
                    record.ended = true;
                    if (!shots.empty())
                        game.Screenshot(shots + "_end.png");
                    return;
                }
            }
            if (!game.Running())
                return;
            if (mGamerWins && state == "CQMGMLaunchState") {
                // The win cheat: the gamer's side reaches the target score.
                game.Key("z", 5);
            } else if (state == "CQMGMTossState") {
                game.Click("ButtonValid", 5);
            } else if (state == "CQMGMLaunchResultState") {
                game.Click("ButtonValidPigOut", 5);
                game.Click("Root", 5);
            } else if (state == "CQMGMOutroState") {
                game.Click("BtnEndMatchReplay", 5);
            } else if (state == "CQMGMAwardsState") {
                game.Click("BtnAwardsReplay", 5);
            } else if (state == "CQMGMTournamentInfoState" && pendingSlot != 0) {
                // Each screen's last showing is kept: the fullest one, once
                // it has drawn (a few frames of game time after it opened).
                if (!shots.empty() && game.Queue({"wait 300"}))
                    game.Screenshot(shots + "_screen" + std::to_string(pendingSlot) + ".png");
                if (pendingSlot != 8 && game.Click("BtnValid", 5))
                    pendingSlot = 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }

    // Each played match's two scores appear on a tournament screen shown
    // after it, on its teams' lines.
    static void ExpectPlayedScoresShown(const TournamentRecord& record) {
        size_t from = 0;
        for (const PlayedMatch& match : record.played) {
            if (match.scoreFirst < 0)
                continue;
            size_t at = from;
            for (; at < record.lines.size(); ++at)
                if (record.lines[at].rfind("final ", 0) == 0)
                    break;
            bool first = false, second = false;
            for (size_t i = at; i < record.lines.size(); ++i) {
                const std::vector<std::string> w = e2e::Words(record.lines[i]);
                if (w.size() < 6 || w[0] != "tournament" || w[1] != "line")
                    continue;
                const std::string name = Rest(record.lines[i], 5);
                const int score = std::stoi(w[4]);
                first = first || (name == match.first && score == match.scoreFirst);
                second = second || (name == match.second && score == match.scoreSecond);
            }
            EXPECT_TRUE(first && second) << match.first << " " << match.scoreFirst << " - " << match.second << " "
                                         << match.scoreSecond;
            from = at + 1;
        }
    }

    // The kinds shown, in order, without repeats of the same kind in a row.
    static std::vector<int> Kinds(const TournamentRecord& record) {
        std::vector<int> kinds;
        for (const auto& screen : record.screens)
            kinds.push_back(screen.first);
        return kinds;
    }
};

TEST_F(Tournament, ACupFromTheMainMenuRunsToThePodium) {
    e2e::GameRun game("tournament_cup");
    Configure(game);
    ASSERT_TRUE(game.Start());
    ASSERT_NO_FATAL_FAILURE(StartFromTheMainMenu(game, "btn_coupe", kCupMenus));
    TournamentRecord record;
    Play(game, record, -1, 600, "cup");
    ASSERT_TRUE(record.ended) << game.Log();
    ASSERT_FALSE(record.played.empty());
    // The last sixteen's bracket and the result tree open the cup; the tree,
    // then the podium, close it.
    const std::vector<int> kinds = Kinds(record);
    ASSERT_GE(kinds.size(), 4u);
    EXPECT_EQ(kinds[0], 9);
    EXPECT_EQ(kinds[1], 10);
    EXPECT_EQ(kinds[kinds.size() - 2], 10);
    EXPECT_EQ(kinds.back(), 11);
    for (int kind : kinds)
        EXPECT_TRUE(kind == 9 || kind == 10 || kind == 11) << kind;
    EXPECT_EQ(record.podium.size(), 3u);
    ExpectPlayedScoresShown(record);
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// A cup played at another venue than the first, its process killed by its
// id once its first match has begun (the tournament is saved by then), and
// started again from its slot: the resumed match loads the saved venue, at
// the saved difficulty, with the same two teams.
TEST_F(Tournament, ACupStoppedAtItsVenueResumesAtThatVenue) {
    const int kVenue = 2;
    e2e::GameRun stopped("tournament_cup_venue");
    Configure(stopped);
    ASSERT_TRUE(stopped.Start());
    ASSERT_NO_FATAL_FAILURE(StartFromTheMainMenu(stopped, "btn_coupe", kCupMenus, kVenue));
    const std::string played = UntilAMatchLoads(stopped, 120);
    ASSERT_FALSE(played.empty()) << stopped.Log();
    EXPECT_EQ(e2e::Words(played)[2], std::to_string(kVenue));
    ASSERT_TRUE(stopped.Saw("^tournament match "));
    std::string match;
    for (const std::string& l : stopped.Lines())
        if (l.rfind("tournament match ", 0) == 0)
            match = l;
    stopped.Stop();

    e2e::GameRun game("tournament_cup_venue_resumed");
    Configure(game);
    CarrySave(stopped, game, "CUP_0.sav");
    ASSERT_TRUE(game.Start());
    ASSERT_NO_FATAL_FAILURE(ContinueFromTheFirstSlot(game, "btn_coupe", kCupMenus));
    ASSERT_TRUE(Mode(game, kMatch)) << game.Log();
    const std::string resumed = UntilAMatchLoads(game, 120);
    // "tournament venue <venue> difficulty <level>": both as first played.
    EXPECT_EQ(resumed, played);
    EXPECT_TRUE(game.Saw("^tournament resumed venue " + std::to_string(kVenue) + " "));
    std::string resumedMatch;
    for (const std::string& l : game.Lines())
        if (l.rfind("tournament match ", 0) == 0)
            resumedMatch = l;
    EXPECT_EQ(resumedMatch, match);
    game.Screenshot("cup_resumed_venue.png");
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

// A cup save cut just after its header (the info text and three fields of
// the description), as a copy broken on its way: the save screen shows the
// slot unreadable, not its date, and choosing it leaves the player there,
// the slot still unreadable and the file as it was.
TEST_F(Tournament, ASaveCutAfterItsHeaderReadsUnreadableOnTheSaveScreen) {
    e2e::GameRun game("tournament_cut_save");
    Configure(game);
    const std::string info = "Coupe_01/12/26_10:5";
    std::string bytes("\xFD\x93\x62\x4E", 4);
    const auto u32 = [&bytes](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<char>((v >> shift) & 0xFF));
    };
    u32(static_cast<uint32_t>(info.size()));
    u32(static_cast<uint32_t>(info.size()));
    bytes += info;
    for (uint32_t field : {2u, 1u, 1u})   // difficulty, GameType, NbPlayers: then cut
        u32(field);
    const std::filesystem::path file = game.Root() / "media" / "GameSav" / "CUP_0.sav";
    std::ofstream(file, std::ios::binary) << bytes;
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(Mode(game, 1)) << game.Log();
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
    ASSERT_TRUE(game.Click("btn_competition"));
    ASSERT_TRUE(game.Click("btn_coupe"));
    ASSERT_TRUE(Screen(game, 0)) << game.Log();
    ASSERT_TRUE(Mode(game, kCupMenus));
    // The slot's text as the frame draws it.
    const auto slotText = [&game](const std::string& shot) {
        const std::filesystem::path png = game.Screenshot(shot);
        e2e::FrameLayout layout;
        if (png.empty() || !layout.Load(e2e::LayoutOf(png)))
            return std::string("(no frame)");
        const e2e::LaidWindow* slot = layout.Window("Slot1");
        return slot ? slot->text : std::string("(no Slot1)");
    };
    const auto unreadable = [](const std::string& text) {
        return text == "Sauvegarde illisible" || text == "Unreadable save";
    };
    const std::string before = slotText("save_cut_before_choice.png");
    EXPECT_TRUE(unreadable(before)) << before;
    ASSERT_TRUE(game.Click("Slot1"));
    ASSERT_TRUE(game.Click("BtnValid"));
    ASSERT_TRUE(game.Reaches("^tournament unreadable$", 30)) << game.Log();
    ASSERT_TRUE(Screen(game, 0)) << game.Log();
    const std::string after = slotText("save_cut_after_choice.png");
    EXPECT_TRUE(unreadable(after)) << after;
    EXPECT_FALSE(game.Saw("^mode 0$")) << "no match started";
    std::ifstream in(file, std::ios::binary);
    const std::string left((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(left, bytes) << "the file is left as it was";
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace

namespace {

class Championship : public Tournament {
protected:
    // The save of the first championship slot in a run's tree.
    static std::filesystem::path SlotFile(const e2e::GameRun& game) {
        return game.Root() / "media" / "GameSav" / "CHAMPIONSHIP_0.sav";
    }
    // The result tree's lines of the last tree shown, and the podium.
    static std::vector<std::string> FinalResult(const TournamentRecord& record) {
        std::vector<std::string> result;
        size_t lastTree = 0;
        for (size_t i = 0; i < record.lines.size(); ++i)
            if (record.lines[i] == "tournament screen 10 6")
                lastTree = i;
        for (size_t i = lastTree; i < record.lines.size(); ++i)
            if (record.lines[i].rfind("tournament line 6 ", 0) == 0 || record.lines[i].rfind("tournament podium", 0) == 0)
                result.push_back(record.lines[i]);
        return result;
    }
};

TEST_F(Championship, PoolsThenFinalsAndAResumedSaveEndsAsTheUninterruptedRun) {
    // Uninterrupted.
    TournamentRecord whole;
    {
        e2e::GameRun game("tournament_champ");
        Configure(game);
        ASSERT_TRUE(game.Start());
        ASSERT_NO_FATAL_FAILURE(StartFromTheMainMenu(game, "btn_champoinnat", kChampionshipMenus));
        Play(game, whole, -1, 600, "champ");
        ASSERT_TRUE(whole.ended) << game.Log();
        game.Command("quit");
        EXPECT_TRUE(game.WaitExit(60));
    }
    // The pools open with the qualification and the pool pairings, the
    // second round follows the first's results, the qualification results
    // and the result tree close the pools; the podium ends the championship.
    const std::vector<int> kinds = Kinds(whole);
    ASSERT_GE(kinds.size(), 7u);
    EXPECT_EQ(std::vector<int>(kinds.begin(), kinds.begin() + 2), (std::vector<int>{1, 3}));
    // The first round's results with the gamer's, then the second round.
    EXPECT_EQ(std::vector<int>(kinds.begin() + 2, kinds.begin() + 4), (std::vector<int>{6, 3}));
    const auto resultsAt = std::find(kinds.begin(), kinds.end(), 2);
    ASSERT_NE(resultsAt, kinds.end());
    EXPECT_LT(std::find(kinds.begin(), kinds.end(), 6) - kinds.begin(), resultsAt - kinds.begin());
    EXPECT_EQ(kinds.back(), 11);
    EXPECT_EQ(kinds[kinds.size() - 2], 10);
    EXPECT_GE(whole.played.size(), 2u);
    EXPECT_EQ(whole.podium.size(), 3u);
    ExpectPlayedScoresShown(whole);

    // Stopped after its second match: the process ends there.
    std::filesystem::path save;
    {
        e2e::GameRun game("tournament_champ_stopped");
        Configure(game);
        ASSERT_TRUE(game.Start());
        ASSERT_NO_FATAL_FAILURE(StartFromTheMainMenu(game, "btn_champoinnat", kChampionshipMenus));
        TournamentRecord half;
        Play(game, half, 2, 300, "");
        ASSERT_EQ(half.played.size(), 2u) << game.Log();
        game.Stop();
        save = SlotFile(game);
        ASSERT_TRUE(std::filesystem::exists(save));
        // The same two matches as in the uninterrupted run.
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(half.played[i].first, whole.played[i].first);
            EXPECT_EQ(half.played[i].scoreFirst, whole.played[i].scoreFirst);
        }
    }
    // Started again from its slot.
    e2e::GameRun game("tournament_champ_resumed");
    Configure(game);
    std::filesystem::create_directories(SlotFile(game).parent_path());
    std::filesystem::copy_file(save, SlotFile(game), std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(game.Start());
    mCursors.clear();
    ASSERT_TRUE(Mode(game, 1)) << game.Log();
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
    ASSERT_TRUE(game.Click("btn_competition"));
    ASSERT_TRUE(game.Click("btn_champoinnat"));
    ASSERT_TRUE(Screen(game, 0)) << game.Log();
    ASSERT_TRUE(Mode(game, kChampionshipMenus));
    ASSERT_TRUE(game.Click("Slot1"));
    game.Screenshot("champ_save_slots.png");
    // The slot holds a save: its tournament goes on at once.
    game.Click("BtnValid");
    ASSERT_TRUE(Mode(game, kMatch)) << game.Log();
    EXPECT_TRUE(game.Saw("^tournament loaded "));
    TournamentRecord rest;
    Play(game, rest, -1, 600, "");
    ASSERT_TRUE(rest.ended) << game.Log();
    ASSERT_EQ(rest.played.size() + 2, whole.played.size());
    for (size_t i = 0; i < rest.played.size(); ++i) {
        EXPECT_EQ(rest.played[i].first, whole.played[i + 2].first) << i;
        EXPECT_EQ(rest.played[i].second, whole.played[i + 2].second) << i;
        EXPECT_EQ(rest.played[i].scoreFirst, whole.played[i + 2].scoreFirst) << i;
        EXPECT_EQ(rest.played[i].scoreSecond, whole.played[i + 2].scoreSecond) << i;
    }
    EXPECT_EQ(rest.podium, whole.podium);
    EXPECT_EQ(FinalResult(rest), FinalResult(whole));
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace

namespace {

const int kCareerMenus = 6;
const unsigned kCareerSeed = 808;

class Career : public Tournament {
protected:
    // The run's own tuning file lets the cheat keys work: the win key ends
    // each match with the gamer's side at the target score.
    static void EnableCheatKeys(const e2e::GameRun& game) {
        const std::filesystem::path path = game.Root() / "mediaDemo" / "Config" / "tavirelo.cfg";
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::string tuning = text.str();
        const std::string off = "ENABLE_CHEAT = no";
        const size_t at = tuning.find(off);
        ASSERT_NE(at, std::string::npos);
        tuning.replace(at, off.size(), "ENABLE_CHEAT = yes");
        std::ofstream(path, std::ios::trunc) << tuning;
    }
    // The run's settings file says the options' difficulty (0 easy .. 2
    // hard), as the options screen leaves it.
    static void SetOptionsDifficulty(const e2e::GameRun& game, int difficulty) {
        const std::filesystem::path path = game.Root() / "mediaDemo" / "Config" / "Configuration.cfg";
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        in.close();
        const std::regex value(R"((name="difficulty_level" value=")[0-9]+("))");
        const std::string settings = text.str();
        ASSERT_TRUE(std::regex_search(settings, value)) << path;
        std::ofstream(path, std::ios::trunc)
            << std::regex_replace(settings, value, "$01" + std::to_string(difficulty) + "$02");
    }
    // A save's difficulty and game type (players a side), the two fields
    // after its info text; -1 and -1 when the file is shorter.
    static std::pair<int, int> SavedDifficultyAndGameType(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto u32 = [&bytes](size_t at) {
            return static_cast<int>((static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
                                    (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
                                    (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
                                    static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])));
        };
        if (bytes.size() < 12)
            return {-1, -1};
        const size_t info = static_cast<size_t>(u32(8));
        if (bytes.size() < 20 + info)
            return {-1, -1};
        return {u32(12 + info), u32(16 + info)};
    }
};

// A new career from the main menu: only its first stage can be chosen; the
// stage's tournament is played, and the career menus come back on the stage
// screen at the stage its result gives (the next one when the gamer's team
// won it, else the same again), with only that stage open.
TEST_F(Career, AStageLeadsBackToTheCareerWithOnlyTheNextStageOpen) {
    e2e::GameRun game("tournament_career");
    Configure(game);
    game.Seed(kCareerSeed);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(Mode(game, 1)) << game.Log();
    ASSERT_TRUE(Mode(game, kMainMenu)) << game.Log();
    ASSERT_TRUE(game.Click("btn_competition"));
    ASSERT_TRUE(game.Click("btn_carriere"));
    ASSERT_TRUE(Screen(game, 0)) << game.Log();
    ASSERT_TRUE(Mode(game, kCareerMenus));
    ASSERT_TRUE(game.Click("Slot1"));
    ASSERT_TRUE(game.Click("BtnCreate"));
    ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 1)) << game.Log();
    ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 2)) << game.Log();
    // (Written while the screen opens, before the click's answer.)
    ASSERT_TRUE(game.Saw("^career stages open 1$") || game.WaitFor("^career stages open 1$", 30)) << game.Log();
    game.Screenshot("career_stage1.png");
    ASSERT_TRUE(game.Click("BtnFrancefaceToFace"));
    ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 3)) << game.Log();
    ASSERT_TRUE(game.Click("RegionListBox"));
    ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 4)) << game.Log();
    ASSERT_TRUE(ClickUntilMatch(game, "BtnValid")) << game.Log();
    ASSERT_TRUE(Screen(game, 5, 5));   // the flow's last screen, before the match

    TournamentRecord stage;
    Play(game, stage, -1, 400, "");
    ASSERT_FALSE(stage.played.empty()) << game.Log();
    ASSERT_EQ(stage.podium.size(), 3u) << game.Log();
    ASSERT_TRUE(Mode(game, kCareerMenus, 60)) << game.Log();
    // The gamer's team as the game names it for the matches it plays.
    ASSERT_FALSE(stage.gamerTeam.empty()) << game.Log();
    for (const PlayedMatch& match : stage.played)
        EXPECT_TRUE(match.first == stage.gamerTeam || match.second == stage.gamerTeam) << match.first;
    const bool won = stage.podium[0] == stage.gamerTeam;
    const int next = won ? 2 : 1;
    // The career goes on at its stage screen, won or lost: a lost first
    // stage is played again in the same slot.
    ASSERT_TRUE(Screen(game, 2)) << game.Log();
    const std::string open = "^career stages open " + std::to_string(next) + "$";
    ASSERT_TRUE(game.WaitFor(open, 30) || game.Saw(open)) << game.Log();
    game.Screenshot("career_stage_next.png");
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace

namespace {

// A career's first stage won at hard under a name the player typed, the
// process killed by its id on the career menus, the options set to easy,
// then started again and the career continued from its slot: the second
// stage is the one offered, and its match is played by the player's name
// at the second stage's venue and at the career's difficulty (hard), and
// saved at hard.
TEST_F(Career, AWonStageSurvivesARestartWithTheNextStageTheNameItsVenueAndItsDifficulty) {
    const std::string kName = "lise";
    const int kHard = 2, kEasy = 0;
    TournamentRecord stage;
    e2e::GameRun first("tournament_career_won");
    Configure(first);
    first.Seed(kCareerSeed);
    ASSERT_NO_FATAL_FAILURE(EnableCheatKeys(first));
    ASSERT_NO_FATAL_FAILURE(SetOptionsDifficulty(first, kHard));
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(Mode(first, 1)) << first.Log();
    ASSERT_TRUE(Mode(first, kMainMenu)) << first.Log();
    ASSERT_TRUE(first.Click("btn_competition"));
    ASSERT_TRUE(first.Click("btn_carriere"));
    ASSERT_TRUE(Screen(first, 0)) << first.Log();
    ASSERT_TRUE(Mode(first, kCareerMenus));
    ASSERT_TRUE(first.Click("Slot1"));
    ASSERT_TRUE(first.Click("BtnCreate"));
    ASSERT_TRUE(ClickUntilScreen(first, "BtnValid", 1)) << first.Log();
    // The first player's row selects the whole name; typing replaces it.
    ASSERT_TRUE(first.Click("BtnP1"));
    for (char c : kName)
        ASSERT_TRUE(first.Key(std::string(1, c)));
    ASSERT_TRUE(ClickUntilScreen(first, "BtnValid", 2)) << first.Log();
    ASSERT_TRUE(first.Click("BtnFrancefaceToFace"));
    ASSERT_TRUE(ClickUntilScreen(first, "BtnValid", 3)) << first.Log();
    ASSERT_TRUE(first.Click("RegionListBox"));
    ASSERT_TRUE(ClickUntilScreen(first, "BtnValid", 4)) << first.Log();
    ASSERT_TRUE(ClickUntilMatch(first, "BtnValid")) << first.Log();
    ASSERT_TRUE(Screen(first, 5, 5));   // the flow's last screen, before the match
    mGamerWins = true;
    Play(first, stage, -1, 400, "");
    mGamerWins = false;
    ASSERT_EQ(stage.podium.size(), 3u) << first.Log();
    ASSERT_EQ(stage.podium[0], stage.gamerTeam) << first.Log();
    EXPECT_EQ(stage.gamerName, kName);
    for (int venue : stage.venues)
        EXPECT_EQ(venue, 3);   // the first stage's venue
    EXPECT_TRUE(first.Saw("^tournament venue 3 difficulty " + std::to_string(kHard) + "$")) << first.Log();
    ASSERT_TRUE(Mode(first, kCareerMenus, 60)) << first.Log();
    ASSERT_TRUE(Screen(first, 2)) << first.Log();
    first.Stop();
    const std::filesystem::path firstSave = first.Root() / "media" / "GameSav" / "CAREER_0.sav";
    EXPECT_EQ(SavedDifficultyAndGameType(firstSave), std::make_pair(kHard, 1));

    e2e::GameRun game("tournament_career_won_resumed");
    Configure(game);
    game.Seed(kCareerSeed);
    ASSERT_NO_FATAL_FAILURE(SetOptionsDifficulty(game, kEasy));
    CarrySave(first, game, "CAREER_0.sav");
    ASSERT_TRUE(game.Start());
    ASSERT_NO_FATAL_FAILURE(ContinueFromTheFirstSlot(game, "btn_carriere", kCareerMenus));
    // (Written before the click's answer.)
    ASSERT_TRUE(game.Saw("^career continued at stage 2$") || game.WaitFor("^career continued at stage 2$", 60))
        << game.Log();
    ASSERT_TRUE(Mode(game, kCareerMenus)) << game.Log();
    ASSERT_TRUE(Screen(game, 2)) << game.Log();
    ASSERT_TRUE(game.WaitFor("^career stages open 2$", 30) || game.Saw("^career stages open 2$")) << game.Log();
    game.Screenshot("career_resumed_stage2.png");
    ASSERT_TRUE(game.Click("BtnFranceDoublette"));
    ASSERT_TRUE(ClickUntilScreen(game, "BtnValid", 4)) << game.Log();
    ASSERT_TRUE(ClickUntilMatch(game, "BtnValid")) << game.Log();
    const std::string loaded = UntilAMatchLoads(game, 120);
    ASSERT_FALSE(loaded.empty()) << game.Log();
    EXPECT_EQ(e2e::Words(loaded)[2], "0");   // the second stage's venue
    // The career's difficulty, not the options' of this run.
    EXPECT_EQ(e2e::Words(loaded)[4], std::to_string(kHard)) << game.Log();
    ASSERT_TRUE(game.WaitFor("^tournament gamer name ", 30) || game.Saw("^tournament gamer name "));
    EXPECT_TRUE(game.Saw("^tournament gamer name " + kName + "$")) << game.Log();
    EXPECT_TRUE(game.Saw("^tournament gamer team " + stage.gamerTeam + "$")) << game.Log();
    // The second stage's first match played out: its save (doublettes) is
    // at hard too.
    TournamentRecord second;
    Play(game, second, 1, 240, "");
    ASSERT_EQ(second.played.size(), 1u) << game.Log();
    const std::filesystem::path save = game.Root() / "media" / "GameSav" / "CAREER_0.sav";
    std::pair<int, int> saved;
    for (int tenth = 0; tenth < 100; ++tenth) {
        saved = SavedDifficultyAndGameType(save);
        if (saved.second == 2)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(saved, std::make_pair(kHard, 2)) << "the second stage's save";
    game.Command("quit");
    EXPECT_TRUE(game.WaitExit(60));
}

}  // namespace
