// The LAN lobby between two game processes on this machine (loopback, a port
// of the test's own, never a broadcast): the host opens a game, the client
// finds it in the games list and joins, the client's chat line shows on both
// screens, both choose teams, the host sets the match and starts it on both
// machines. Screenshots of each screen on each side.
#include <E2EDriver.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

void Prepare(e2e::GameRun& game, unsigned short port, const std::string& name) {
    game.Seed(11);
    game.FixedStepMs(50);
    game.StartMode(11);
    game.Env("TAVIRELO_TEST_NET_PORT", std::to_string(port));
    game.Env("TAVIRELO_TEST_NET_BROADCAST", "127.0.0.1");
    game.Env("TAVIRELO_TEST_LAN_NAME", name);
}

// A report line may come before the answer to the click that caused it:
// these look from the first line on.
bool Seen(e2e::GameRun& game, const std::string& pattern, int seconds) {
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (game.Saw(pattern))
            return true;
        if (!game.Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void Shot(e2e::GameRun& game, const std::string& file) {
    const std::filesystem::path shot = game.Screenshot(file);
    ASSERT_FALSE(shot.empty()) << file;
    EXPECT_GT(std::filesystem::file_size(shot), 1000u) << file;
}

bool Type(e2e::GameRun& game, const std::string& text) {
    if (!game.Click("ChatTextEntry"))
        return false;
    for (char c : text)
        if (!game.Key(std::string(1, c)))
            return false;
    return game.Click("BtnChatSend");
}

TEST(LobbyGames, TwoMachinesMeetChatChooseTeamsAndStartTogether) {
    const unsigned short port = e2e::FreeLanPort();
    ASSERT_NE(port, 0);
    e2e::GameRun host("lobby_host"), client("lobby_client");
    Prepare(host, port, "Lanterne");
    Prepare(client, port, "Falaise");

    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(Seen(host, "^lobby games 0$", 120)) << host.Log();
    Shot(host, "lobby_games_empty.png");
    ASSERT_TRUE(host.Click("BtnCreate"));
    ASSERT_TRUE(Seen(host, "^lobby teams host$", 30)) << host.Log();

    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(Seen(client, "^lobby games 1$", 120)) << client.Log();
    ASSERT_TRUE(client.Select("GamesList", 0));
    Shot(client, "lobby_games_found.png");
    ASSERT_TRUE(client.Click("BtnJoin"));
    ASSERT_TRUE(Seen(client, "^lobby teams client$", 30)) << client.Log();
    ASSERT_TRUE(Seen(host, "^lobby players 2$", 30)) << host.Log();

    ASSERT_TRUE(Type(client, "salut"));
    EXPECT_TRUE(Seen(host, "^lobby chat Falaise: salut$", 30)) << host.Log();
    EXPECT_TRUE(Seen(client, "^lobby chat Falaise: salut$", 30)) << client.Log();

    // A start with nobody in a team is refused, and both machines are told.
    ASSERT_TRUE(host.Click("BtnStart"));
    EXPECT_TRUE(Seen(host, "^lobby refused empty$", 30)) << host.Log();
    EXPECT_TRUE(Seen(client, "^lobby chat Lanterne: .+$", 30)) << client.Log();

    // Singles between two nations at the fourth venue.
    std::string failure;
    ASSERT_TRUE(e2e::ChooseSinglesInLobby(host, client, &failure)) << failure;
    // Both screens show both players in their teams.
    ASSERT_TRUE(Seen(host, "^lobby players 2$", 30));
    Shot(host, "lobby_teams_host.png");
    Shot(client, "lobby_teams_client.png");

    ASSERT_TRUE(host.Click("BtnStart"));
    EXPECT_TRUE(Seen(host, "^lobby start 0$", 30)) << host.Log();
    EXPECT_TRUE(Seen(client, "^lobby start 1$", 30)) << client.Log();
    EXPECT_TRUE(Seen(host, "^mode 0$", 60)) << host.Log();
    EXPECT_TRUE(Seen(client, "^mode 0$", 60)) << client.Log();
    client.Stop();
    host.Stop();
}

}  // namespace
