// A LAN match between two game processes on this machine (loopback, a port
// of the test's own, never a broadcast): they meet in the lobby, then each
// side belongs to one machine, whose computer plays it through the throw's
// usual path, or a person with the mouse through the throw-control panel;
// the other machine sees its throws arrive. Both must see the same menes
// and the same final score. A machine that drops out sends the other to the
// network-lost state and back to the menu.
#include <E2EDriver.h>

#include <gtest/gtest.h>


#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

const unsigned kSeed = 20261211;

struct LanPair {
    std::unique_ptr<e2e::GameRun> host, client;
};

void Prepare(e2e::GameRun& game, unsigned short port, const std::string& name, bool computerPlays) {
    game.Seed(kSeed);
    game.FixedStepMs(100);
    game.StartMode(11);   // the LAN lobby
    game.Env("TAVIRELO_TEST_NET_PORT", std::to_string(port));
    game.Env("TAVIRELO_TEST_NET_BROADCAST", "127.0.0.1");
    game.Env("TAVIRELO_TEST_LAN_NAME", name);
    if (computerPlays)
        game.Env("TAVIRELO_TEST_LAN_COMPUTER", "1");
}

// A player's pick of a list or combobox item (the test channel's "select").
bool Type(e2e::GameRun& game, const std::string& text) {
    if (!game.Click("ChatTextEntry"))
        return false;
    for (char c : text)
        if (!game.Key(std::string(1, c)))
            return false;
    return game.Click("BtnChatSend");
}

// A step of the meeting: on failure the rest is skipped (every later step
// would only wait for its own time-out).
#define MEET(done, game)                                        \
    do {                                                        \
        if (!(done)) {                                          \
            ADD_FAILURE() << #done << "\n" << (game).Log();     \
            return pair;                                        \
        }                                                       \
    } while (0)

// The two games meet in the lobby as two players would: the host opens a
// game, the client finds it in the games list and joins, says a word that
// the host shows, both choose a team (singles, two nations), the host starts.
// Returns once both are in the match mode; the client's side is side 1.
LanPair MeetInTheLobby(const std::string& name, bool hostComputerPlays,
                       const std::vector<std::pair<std::string, std::string>>& clientEnv = {}) {
    LanPair pair;
    const unsigned short port = e2e::FreeLanPort();
    pair.host.reset(new e2e::GameRun(name + "_host"));
    pair.client.reset(new e2e::GameRun(name + "_client"));
    e2e::GameRun& host = *pair.host;
    e2e::GameRun& client = *pair.client;
    MEET(port != 0, host);
    Prepare(host, port, "Lanterne", hostComputerPlays);
    Prepare(client, port, "Falaise", true);
    for (const auto& setting : clientEnv)
        client.Env(setting.first, setting.second);

    std::string failure;
    if (!e2e::MeetInLobby(host, client, &failure)) {
        ADD_FAILURE() << failure;
        return pair;
    }

    MEET(Type(client, "salut"), client);
    MEET(host.Reaches("^lobby chat Falaise: salut$", 30), host);

    if (!e2e::ChooseSinglesInLobby(host, client, &failure)) {
        ADD_FAILURE() << failure;
        return pair;
    }

    MEET(host.Click("BtnStart"), host);
    MEET(host.Reaches("^lobby start 0$", 30), host);
    MEET(client.Reaches("^lobby start 1$", 30), client);
    MEET(host.Reaches("^mode 0$", 120), host);
    MEET(client.Reaches("^mode 0$", 120), client);
    return pair;
}

struct Rest {
    std::string ball;   // "<mene> <ball index> <ball state>"
    double x, z;
};

struct Played {
    std::vector<std::string> menes, scores;
    std::vector<Rest> rests;   // where the thrown balls lay at each mene's end
    std::string final;
    int throwsSeen = 0;   // throw results this machine evaluated
    bool nan = false;
};

Played Record(const e2e::GameRun& game) {
    Played played;
    for (const std::string& line : game.Lines()) {
        const std::vector<std::string> w = e2e::Words(line);
        if (w.size() == 4 && w[0] == "mene")
            played.menes.push_back(line);
        if (w.size() == 3 && w[0] == "score")
            played.scores.push_back(line);
        if (w.size() == 6 && w[0] == "rest")
            played.rests.push_back({w[1] + " " + w[2] + " " + w[3], std::stod(w[4]), std::stod(w[5])});
        if (!w.empty() && w[0] == "final")
            played.final = line;
        if (line == "state CQMGMLaunchResultState")
            ++played.throwsSeen;
        if (!w.empty() && w[0] == "nan")
            played.nan = true;
    }
    return played;
}

TEST(LanMatch, TwoMachinesMeetInTheLobbyAndPlayOneMatchInStepToTheSameScore) {
    LanPair pair = MeetInTheLobby("lan_step", true);
    ASSERT_TRUE(pair.host->Saw("^mode 0$") && pair.client->Saw("^mode 0$")) << "the lobby did not start the match";
    // Each side's throws come from its own machine; the other waits for them.
    EXPECT_TRUE(pair.host->WaitFor("^turn 1 human$", 180)) << pair.host->Log();
    EXPECT_TRUE(pair.client->WaitFor("^turn 0 human$", 180)) << pair.client->Log();
    ASSERT_TRUE(pair.host->WaitFor("^final ", 300)) << pair.host->Log();
    ASSERT_TRUE(pair.client->WaitFor("^final ", 300)) << pair.client->Log();

    const Played host = Record(*pair.host), client = Record(*pair.client);
    ASSERT_FALSE(host.final.empty());
    EXPECT_EQ(client.final, host.final);
    EXPECT_FALSE(host.menes.empty());
    EXPECT_EQ(client.menes, host.menes);
    EXPECT_EQ(client.scores, host.scores);
    EXPECT_EQ(client.throwsSeen, host.throwsSeen);
    // The thrown balls lay in the same places and states on both machines at
    // every mene's end, to the millimetre the report gives (the thrower's
    // machine sends where its balls stopped; no ball may move on after that
    // on one machine alone).
    ASSERT_FALSE(host.rests.empty());
    ASSERT_EQ(client.rests.size(), host.rests.size());
    for (size_t i = 0; i < host.rests.size(); ++i) {
        SCOPED_TRACE("mene, ball and state " + host.rests[i].ball);
        EXPECT_EQ(client.rests[i].ball, host.rests[i].ball);
        EXPECT_NEAR(client.rests[i].x, host.rests[i].x, 0.0011);
        EXPECT_NEAR(client.rests[i].z, host.rests[i].z, 0.0011);
    }
    EXPECT_FALSE(host.nan || client.nan) << "a ball's position was NaN";
    // The winner reached the target.
    const std::vector<std::string> w = e2e::Words(host.final);
    ASSERT_GE(w.size(), 3u);
    const int target = w.size() >= 4 ? std::stoi(w[3]) : 10;
    EXPECT_GE(std::max(std::stoi(w[1]), std::stoi(w[2])), target);

    pair.host->Command("quit");
    pair.client->Command("quit");
    EXPECT_TRUE(pair.host->WaitExit(60));
    EXPECT_TRUE(pair.client->WaitExit(60));
}

// The person's throw: pointing, the middle angle, then the throw key, which
// is a hold of the left button over the start button (the press starts the
// power gauge, the release stops it, the next press stops the balance
// gauge). Queued at once, the steps run on consecutive frames.
bool ThrowThroughThePanel(e2e::GameRun& game, bool target) {
    // The target ball rolls far on this ground: a longer hold keeps it in
    // the valid band, a ball's shorter one brings it near the target ball.
    const std::string hold = target ? "wait 700" : "wait 600";
    return game.Queue({"click BtnShooter", "click BtnAngle2", "press BtnStart", hold, "release", "wait 400",
                       "click BtnStart"},
                      120);
}

struct Attended {
    int personThrows = 0, results = 0, clicksAgain = 0;
    bool ended = false;
};

// Plays the host's side (side 0) as a person to the match's end: throws on
// its turns, closes every result and information frame with its button.
// The lines are read in order with an index of our own, so none is skipped
// while a click is answered.
Attended PlayAtTheHost(e2e::GameRun& host, int seconds) {
    Attended played;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    size_t next = 0;
    bool person = false, inResult = false;
    auto clickedAt = std::chrono::steady_clock::now();
    while (!played.ended && std::chrono::steady_clock::now() < end && host.Running()) {
        const std::vector<std::string> lines = host.Lines();
        if (next >= lines.size()) {
            // A click the game did not take (a loaded machine) leaves the
            // result waiting: as a person would, click again.
            if (inResult && std::chrono::steady_clock::now() - clickedAt > std::chrono::seconds(5)) {
                host.Click("BtnQuitReplay");
                clickedAt = std::chrono::steady_clock::now();
                ++played.clicksAgain;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        const std::string line = lines[next++];
        if (line.rfind("state ", 0) == 0)
            inResult = false;
        if (line == "turn 0 human") {
            person = true;
        } else if (person && (line == "throw target" || line == "throw ball")) {
            // The turn's second line says which ball is thrown.
            person = false;
            EXPECT_TRUE(ThrowThroughThePanel(host, line == "throw target")) << "throw " << played.personThrows;
            ++played.personThrows;
        } else if (line.rfind("turn ", 0) == 0) {
            person = false;   // the client's turn: its throw comes over the network
        } else if (line == "state CQMGMLaunchResultState") {
            ++played.results;
            // The host's result waits for a click (the client's waits for
            // the host); a target ball's result goes on by itself.
            host.Click("BtnQuitReplay");
            inResult = true;
            clickedAt = std::chrono::steady_clock::now();
        } else if (line == "frame FramePigLaunchError") {
            EXPECT_TRUE(host.Click("ButtonOK"));
            clickedAt = std::chrono::steady_clock::now();
        } else if (line == "frame FramePigIsOut") {
            EXPECT_TRUE(host.Click("ButtonValidPigOut"));
            clickedAt = std::chrono::steady_clock::now();
        } else if (line.rfind("final ", 0) == 0) {
            played.ended = true;
        }
    }
    return played;
}

// A person plays the host's side with the mouse through the throw-control
// panel, as in a match against the computer; the client's computer plays
// the other side. Every throw of the person reaches the client, and both
// machines end each mene, and the match, with the same points, score and
// ball places.
TEST(LanMatch, APersonPlaysTheHostsSideThroughThePanelAndBothMachinesSeeTheSameMatch) {
    LanPair pair = MeetInTheLobby("lan_person", false);
    ASSERT_TRUE(pair.host->Saw("^mode 0$") && pair.client->Saw("^mode 0$")) << "the lobby did not start the match";
    e2e::GameRun& host = *pair.host;
    e2e::GameRun& client = *pair.client;

    const Attended attended = PlayAtTheHost(host, 240);
    ASSERT_TRUE(attended.ended) << "the match did not end at the host\n" << host.Log();
    EXPECT_GE(attended.personThrows, 1);
    EXPECT_GE(attended.results, attended.personThrows);
    if (attended.clicksAgain > 0)
        RecordProperty("results_clicked_again", attended.clicksAgain);
    ASSERT_TRUE(client.Reaches("^final ", 60)) << client.Log();

    const Played atHost = Record(host), atClient = Record(client);
    EXPECT_EQ(atClient.final, atHost.final);
    EXPECT_FALSE(atHost.menes.empty());
    EXPECT_EQ(atClient.menes, atHost.menes);
    EXPECT_EQ(atClient.scores, atHost.scores);
    ASSERT_FALSE(atHost.rests.empty());
    ASSERT_EQ(atClient.rests.size(), atHost.rests.size());
    for (size_t i = 0; i < atHost.rests.size(); ++i) {
        SCOPED_TRACE("mene, ball and state " + atHost.rests[i].ball);
        EXPECT_EQ(atClient.rests[i].ball, atHost.rests[i].ball);
        EXPECT_NEAR(atClient.rests[i].x, atHost.rests[i].x, 0.005);
        EXPECT_NEAR(atClient.rests[i].z, atHost.rests[i].z, 0.005);
    }
    EXPECT_FALSE(atHost.nan || atClient.nan) << "a ball's position was NaN";
    const std::vector<std::string> w = e2e::Words(atHost.final);
    ASSERT_GE(w.size(), 3u);
    EXPECT_GE(std::max(std::stoi(w[1]), std::stoi(w[2])), 10) << "the match ended before its target";
    // Every throw was evaluated on both machines, the person's among them.
    EXPECT_EQ(atClient.throwsSeen, atHost.throwsSeen);
    int hostTurnsAtClient = 0;
    for (const std::string& line : client.Lines())
        hostTurnsAtClient += line.rfind("turn 0 ", 0) == 0;
    EXPECT_EQ(hostTurnsAtClient, attended.personThrows);
    // No window lay over a panel button the person clicked.
    for (const std::string& line : host.Lines())
        EXPECT_NE(line.rfind("covered ", 0), 0u) << line;

    host.Command("quit");
    client.Command("quit");
    EXPECT_TRUE(host.WaitExit(60));
    EXPECT_TRUE(client.WaitExit(60));
}

// The client is a hostile peer: with each of its throws it first sends
// well-formed ball positions that no machine may take (NaN places, places
// of 1e30, the ground's collider, the venue and its cameras hidden), one
// kind a throw, then its genuine ones. The host drops each with one log
// line and goes on with the genuine places: both machines see the same
// menes and ball places, and the host's venue stays on its screen.
TEST(LanMatch, AHostilePeersBallPositionsAreDroppedAndTheMatchGoesOn) {
    LanPair pair = MeetInTheLobby("lan_hostile", true, {{"TAVIRELO_TEST_LAN_HOSTILE_BALLS", "1"}});
    ASSERT_TRUE(pair.host->Saw("^mode 0$") && pair.client->Saw("^mode 0$")) << "the lobby did not start the match";
    e2e::GameRun& host = *pair.host;
    e2e::GameRun& client = *pair.client;
    // The venue and its ground as the match set them up, and whether the
    // cameras (which the match itself moves) are shown: the hostile bodies
    // name them all.
    const char* const grounds[] = {"terrain", "terrain_collision"};
    const char* const cameras[] = {"CameraLancer", "CameraSuiviLancer"};
    ASSERT_TRUE(host.WaitFor("^state CQMGMLaunchState$", 180)) << host.Log();
    std::vector<std::string> before, camerasShown;
    for (const char* name : grounds) {
        before.push_back(host.Node(name));
        ASSERT_NE(before.back(), "") << name;
        EXPECT_EQ(before.back().find(" missing"), std::string::npos) << before.back();
    }
    for (const char* name : cameras) {
        const std::vector<std::string> words = e2e::Words(host.Node(name));
        ASSERT_EQ(words.size(), 6u) << name;
        camerasShown.push_back(words[5]);
    }
    // Every kind sent, then the host's next throws still come.
    ASSERT_TRUE(client.WaitFor("^hostile balls 3$", 240)) << client.Log();
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(host.WaitFor("^state CQMGMLaunchState$", 180)) << host.Log();
    ASSERT_TRUE(host.Running()) << host.Log();
    ASSERT_TRUE(client.Running());
    // Nothing a hostile body named moved or went out of sight on the host:
    // the ground where it was, the cameras above it and shown as they were
    // (the bodies sent them 100 m under it, hidden).
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(host.Node(grounds[i]), before[i]);
    for (size_t i = 0; i < 2; ++i) {
        const std::vector<std::string> words = e2e::Words(host.Node(cameras[i]));
        ASSERT_EQ(words.size(), 6u) << cameras[i];
        EXPECT_GT(std::stod(words[3]), -1.0) << cameras[i];
        EXPECT_EQ(words[5], camerasShown[i]) << cameras[i];
    }
    host.Screenshot("lan_hostile_host.png");

    int sent = 0;
    for (const std::string& line : client.Lines())
        sent += line.rfind("hostile balls ", 0) == 0;
    const std::string log = host.Log();
    int dropped = 0;
    for (size_t at = log.find("Replay: ball positions from controller"); at != std::string::npos;
         at = log.find("Replay: ball positions from controller", at + 1))
        ++dropped;
    EXPECT_GE(sent, 4);
    EXPECT_EQ(dropped, sent) << "each hostile message is logged once";
    for (const char* reason : {"not finite", "out of the venue's reach", "not that ball of the match"})
        EXPECT_NE(log.find(reason), std::string::npos) << reason;

    // The genuine places came through: the same menes and ball places so far.
    const Played atHost = Record(host), atClient = Record(client);
    const size_t menes = std::min(atHost.menes.size(), atClient.menes.size());
    for (size_t i = 0; i < menes; ++i)
        EXPECT_EQ(atClient.menes[i], atHost.menes[i]);
    const size_t rests = std::min(atHost.rests.size(), atClient.rests.size());
    for (size_t i = 0; i < rests; ++i) {
        SCOPED_TRACE("mene, ball and state " + atHost.rests[i].ball);
        EXPECT_EQ(atClient.rests[i].ball, atHost.rests[i].ball);
        EXPECT_NEAR(atClient.rests[i].x, atHost.rests[i].x, 0.005);
        EXPECT_NEAR(atClient.rests[i].z, atHost.rests[i].z, 0.005);
    }
    EXPECT_FALSE(atHost.nan || atClient.nan) << "a ball's position was NaN";

    host.Command("quit");
    client.Command("quit");
    EXPECT_TRUE(host.WaitExit(60));
    EXPECT_TRUE(client.WaitExit(60));
}

// One machine is killed by its process id mid-match; the other reaches the
// network-lost state within seconds and goes back to the main menu: by
// itself when the computer plays there (nobody to press the message's
// button), by the button when a person waits for its turn. The host loses
// its client, or the client its host.
TEST(LanMatch, AMachineKilledMidMatchSendsTheOtherToTheNetworkLostStateAndBackToTheMenu) {
    struct Case {
        const char* name;
        bool clientDies;
        bool attended;   // a person plays at the host
    } cases[] = {
        {"lan_drop", true, false},
        {"lan_drop_attended", true, true},
        {"lan_host_drop", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LanPair pair = MeetInTheLobby(c.name, !c.attended);
        ASSERT_TRUE(pair.host->Saw("^mode 0$") && pair.client->Saw("^mode 0$")) << "the lobby did not start the match";
        e2e::GameRun& host = *pair.host;
        if (c.attended) {
            ASSERT_TRUE(host.WaitFor("^turn 0 human$", 180)) << host.Log();
        } else {
            // A few throws in: both machines are in the menes.
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(host.WaitFor("^state CQMGMLaunchState$", 180)) << host.Log();
        }
        e2e::GameRun& dying = c.clientDies ? *pair.client : host;
        e2e::GameRun& survivor = c.clientDies ? host : *pair.client;
        ASSERT_TRUE(dying.Running());
        dying.Stop();

        const auto killed = std::chrono::steady_clock::now();
        EXPECT_TRUE(survivor.Reaches("^state CQMGMNetLostState$", 10)) << survivor.Log();
        if (c.attended) {
            EXPECT_TRUE(survivor.Click("ButtonValid"));
        }
        EXPECT_TRUE(survivor.Reaches("^mode 2$", 20)) << survivor.Log();
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - killed).count();
        EXPECT_LE(seconds, 10) << "the match took " << seconds << " s to give up";
        EXPECT_TRUE(survivor.Running()) << "the game ended instead of going back to the menu";

        survivor.Command("quit");
        EXPECT_TRUE(survivor.WaitExit(60));
    }
}

}  // namespace
