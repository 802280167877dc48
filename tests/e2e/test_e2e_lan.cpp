// A LAN match between two game processes on this machine (loopback, a port
// of the test's own, never a broadcast): each side belongs to one machine,
// whose computer plays it; the other machine sees its throws arrive. Both
// must see the same menes and the same final score. A machine that drops out
// sends the other to the network-lost state and back to the menu.
#include <E2EDriver.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned kSeed = 20261211;

struct LanPair {
    std::unique_ptr<e2e::GameRun> host, client;
};

// A tête-à-tête on the Marseille ground: the host's player plays side 0,
// the client's (slot 1) side 1; the first side begins.
std::vector<std::string> MatchSettings() {
    return {"GAMEPARAMS.QuickMatch=1", "QuickMatch=1",      "NbPlayers=2",       "GameType=1",
            "TeamA=8",                 "TeamB=9",           "location=3",        "IsRegional=0",
            "Player1Name=Corvelle",    "Player1Team=0",     "CONTROLER_1=7",     "Player2Name=Brusquet",
            "Player2Team=1",           "CONTROLER_2=8",     "Team_0_actor_0=0",  "Team_1_actor_0=0",
            "PILE_OU_FACE=1"};
}

void Prepare(e2e::GameRun& game, unsigned short port, const std::string& role, const std::string& name) {
    game.Seed(kSeed);
    game.FixedStepMs(100);
    game.Env("TAVIRELO_TEST_NET_PORT", std::to_string(port));
    game.Env("TAVIRELO_TEST_NET_BROADCAST", "127.0.0.1");
    game.Env("TAVIRELO_TEST_LAN", role);
    game.Env("TAVIRELO_TEST_LAN_NAME", name);
    game.Env("TAVIRELO_TEST_LAN_COMPUTER", "1");
}

// Both games started and in the match mode; only the host has the settings:
// the client plays what the host sends it.
LanPair StartMatch(const std::string& name) {
    LanPair pair;
    const unsigned short port = e2e::FreeLanPort();
    EXPECT_NE(port, 0) << "no free port pair";
    pair.host.reset(new e2e::GameRun(name + "_host"));
    pair.client.reset(new e2e::GameRun(name + "_client"));
    Prepare(*pair.host, port, "host", "Lanterne");
    pair.host->Match(MatchSettings());
    Prepare(*pair.client, port, "join", "Falaise");
    EXPECT_TRUE(pair.host->Start());
    EXPECT_TRUE(pair.host->WaitFor("^lan host ", 120)) << pair.host->Log();
    EXPECT_TRUE(pair.client->Start());
    EXPECT_TRUE(pair.client->WaitFor("^lan joined 1$", 120)) << pair.client->Log();
    EXPECT_TRUE(pair.host->WaitFor("^mode 0$", 120)) << pair.host->Log();
    EXPECT_TRUE(pair.client->WaitFor("^mode 0$", 120)) << pair.client->Log();
    return pair;
}

struct Played {
    std::vector<std::string> menes;
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
        if (!w.empty() && w[0] == "final")
            played.final = line;
        if (line == "state CQMGMLaunchResultState")
            ++played.throwsSeen;
        if (!w.empty() && w[0] == "nan")
            played.nan = true;
    }
    return played;
}

TEST(LanMatch, TwoMachinesPlayOneMatchInStepToTheSameScore) {
    LanPair pair = StartMatch("lan_step");
    ASSERT_TRUE(pair.host->Running() && pair.client->Running());
    // Each side's throws come from its own machine; the other waits for them.
    EXPECT_TRUE(pair.host->WaitFor("^turn 1 human$", 180)) << pair.host->Log();
    EXPECT_TRUE(pair.client->WaitFor("^turn 0 human$", 180)) << pair.client->Log();
    EXPECT_TRUE(pair.host->WaitFor("^final ", 600)) << pair.host->Log();
    EXPECT_TRUE(pair.client->WaitFor("^final ", 600)) << pair.client->Log();

    const Played host = Record(*pair.host), client = Record(*pair.client);
    ASSERT_FALSE(host.final.empty());
    EXPECT_EQ(client.final, host.final);
    EXPECT_FALSE(host.menes.empty());
    EXPECT_EQ(client.menes, host.menes);
    EXPECT_EQ(client.throwsSeen, host.throwsSeen);
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

TEST(LanMatch, ClientKilledMidMatchSendsTheHostBackToTheMenu) {
    LanPair pair = StartMatch("lan_drop");
    // A few throws in: both machines are in the menes.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pair.host->WaitFor("^state CQMGMLaunchState$", 180)) << pair.host->Log();
    ASSERT_TRUE(pair.client->Running());
    pair.client->Stop();   // killed by its process id, mid-throw

    const auto killed = std::chrono::steady_clock::now();
    EXPECT_TRUE(pair.host->WaitFor("^state CQMGMNetLostState$", 10)) << pair.host->Log();
    EXPECT_TRUE(pair.host->WaitFor("^mode 2$", 20)) << pair.host->Log();
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - killed).count();
    EXPECT_LE(seconds, 10) << "the host took " << seconds << " s to give up the match";
    EXPECT_TRUE(pair.host->Running()) << "the host ended instead of going back to the menu";

    pair.host->Command("quit");
    EXPECT_TRUE(pair.host->WaitExit(60));
}

}  // namespace
