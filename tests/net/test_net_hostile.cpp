// Well-formed lies from a peer: floods of datagrams and forged games-list
// answers, connections that never log in and come back whenever dropped,
// messages in another player's name or for another player's controller,
// throw values no throw can have, and more chat than anyone types. Each
// must cost the peer its own seat at most: the session carries on and a
// well-behaved player still joins and plays.
#include "NetTestHelpers.h"

#include <cmath>
#include <limits>

using namespace nettest;

namespace {

std::vector<unsigned char> Chat(uint32_t sender, const std::string& text) {
    CObjnet m;
    m.StartSignature(NETSIG_E_CHAT_MESSAGE);
    m.WriteUInt(sender);
    m.WriteString(text.c_str());
    m.End();
    return Framed(m);
}

std::vector<unsigned char> Custom(uint32_t sender) {
    CObjnet object;
    object.StartSignature("CTeamInfosPacketV1");
    for (int i = 0; i < 6; ++i)
        object.WriteInt(0);
    object.End();
    CObjnet m;
    m.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    m.WriteUInt(sender);
    m.WriteObject(&object);
    m.End();
    return Framed(m);
}

std::vector<unsigned char> LaunchSet(int32_t controller, float value = 1.0f) {
    CObjnet m;
    m.StartSignature(NETSIG_E_LAUNCHSET);
    m.WriteUInt(0);   // the game writes its global client's id here, not its slot
    m.WriteInt(controller);
    for (int i = 0; i < 6; ++i)
        m.WriteFloat(i == 5 ? value : 1.0f);
    m.End();
    return Framed(m);
}

std::vector<unsigned char> ShootParams(int32_t controller, float power) {
    CObjnet m;
    m.StartSignature(NETSIG_E_SHOOT_PARAMS);
    m.WriteUInt(0);
    m.WriteInt(controller);
    m.WriteFloat(10.0f);
    m.WriteFloat(0.0f);
    m.WriteUInt(2);
    m.WriteFloat(power);
    for (int i = 0; i < 4; ++i)
        m.WriteFloat(1.0f);
    m.End();
    return Framed(m);
}

std::vector<unsigned char> GameAnswer(const char* name, uint16_t players) {
    CNetGameDesc desc;
    NetCopyName(desc.mName, name);
    desc.mPlayerCount = players;
    desc.mMaxPlayers = 6;
    CObjnet record;
    desc.Serialize(record);
    CObjnet m;
    m.StartSignature(NETSIG_A_QUERY_GAMELIST);
    m.WriteObject(&record);
    m.End();
    return Bytes(m);
}

// The match's controllers: the host's (7) and the two LAN players' (8, 9),
// as the game's receivers know them.
ThrowLog* gThrows[2];
template <int N>
void InstallMatch(CNetMgr& mgr, ThrowLog& log) {
    gThrows[N] = &log;
    mgr.GameServices().launchSet = [](int32_t c, const NetLaunchSet& v) {
        if (!(c == 7 || c == 8 || c == 9))
            return false;
        ++gThrows[N]->launchSets;
        gThrows[N]->lastController = c;
        gThrows[N]->launch = v;
        return true;
    };
    mgr.GameServices().shootParams = [](int32_t c, const NetShootParams& v) {
        if (!(c == 7 || c == 8 || c == 9))
            return false;
        ++gThrows[N]->shootParams;
        gThrows[N]->params = v;
        return true;
    };
}

// A raw connection to the host, accepted into a slot (not logged in).
int Connect(Node& host) {
    const int before = host.mgr.GetConnectionCount();
    const int s = ConnectPort("127.0.0.1", host.mgr.GetPort());
    EXPECT_GE(s, 0);
    EXPECT_TRUE(PumpUntil({&host.mgr}, [&] { return host.mgr.GetConnectionCount() == before + 1; }));
    return s;
}

// True when the peer end has been closed by the host (no wait).
bool ClosedByHost(int socket) {
    char buffer[4096];
    while (SocketCanReadTimeout(socket, 0, 0) == 1) {
        const int n = SocketRecv(socket, buffer, int(sizeof(buffer)));
        if (n <= 0)
            return true;
    }
    return false;
}

}  // namespace

TEST_F(LanTest, ADatagramFloodIsReadAFewDatagramsAFrameWhileAPlayerJoins) {
    auto host = MakeHost();
    const int flooder = ListenUDPPort(0);
    ASSERT_GE(flooder, 0);
    CObjnet request;
    request.StartSignature(NETSIG_R_QUERY_GAMELIST);
    request.End();
    auto flood = [&] {
        for (int i = 0; i < 400; ++i)
            SocketSendTo(flooder, kLoopback, host->mgr.GetPort(), request.GetData(), request.GetSize());
    };

    // Every frame reads a bounded share of what waits, however much that is.
    flood();
    usleep(20000);
    Traces().clear();
    host->mgr.Manage();
    const int firstFrame = CountTraces("OBJECT_CNETCLIENT_R_QUERY_GAMELIST");
    EXPECT_GT(firstFrame, 0);
    EXPECT_LE(firstFrame, CNetMgr::DATAGRAMS_PER_FRAME);

    // A player joins through the flood.
    Node anna(port);
    ASSERT_TRUE(anna.mgr.JoinGame(kLoopback, host->mgr.GetPort(), "Anna"));
    EXPECT_TRUE(PumpUntil({&host->mgr, &anna.mgr}, [&] {
        flood();
        return anna.listener.Has("login") && host->mgr.GetPlayerCount() == 2;
    }));
    SocketClose(flooder);
}

// Answers from thousands of addresses never heard before fill a bounded list
// but cannot push out a host the player has seen answer an earlier look, and
// a datagram from that host's own address within a look renames nothing.
TEST_F(LanTest, ForgedGamesListAnswersNeitherEvictNorRenameAHostHeardBefore) {
    Node seeker(port);
    ASSERT_TRUE(seeker.mgr.Init());
    const uint16_t gamePort = port;
    const uint32_t real = kLoopback;
    auto answer = [&](uint32_t from, const char* name, uint16_t players) {
        const auto bytes = GameAnswer(name, players);
        seeker.mgr.HandleDatagram(bytes.data(), int(bytes.size()), from, gamePort);
    };
    auto entriesOf = [&](uint32_t from) {
        std::vector<CNetGameDesc*> found;
        for (CNetGameDesc* g = seeker.mgr.GetFoundGames().GetHead(); g; g = CNetGameDescList::Next(g))
            if (g->mAddress == from)
                found.push_back(g);
        return found;
    };
    auto endLook = [&] {
        Advance(CNetMgr::ENUMERATION_WINDOW_MS + 1);
        seeker.mgr.Manage();
    };

    // The first look finds the real game.
    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    answer(real, "Chez Marius", 2);
    endLook();

    // The player looks again; 3,000 forged hosts answer before the real one,
    // then a datagram from the real host's address says it is full.
    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    for (uint32_t i = 0; i < 3000; ++i)
        answer(0x7F000000u | (i + 2), "Faux", 1);
    EXPECT_EQ(seeker.mgr.GetFoundGames().GetCount(), CNetMgr::FOUND_GAMES_MAX);
    Advance(1);
    answer(real, "Chez Marius", 2);
    for (int n = 0; n < 500; ++n)
        answer(real, "COMPLET - ne pas rejoindre", 6);
    EXPECT_EQ(seeker.mgr.GetFoundGames().GetCount(), CNetMgr::FOUND_GAMES_MAX);
    const std::vector<CNetGameDesc*> entries = entriesOf(real);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0]->mName, "Chez Marius");
    EXPECT_EQ(entries[0]->mPlayerCount, 2);
    endLook();
    EXPECT_EQ(seeker.listener.events, (std::vector<std::string>{"enum:1", "enum:" + std::to_string(CNetMgr::FOUND_GAMES_MAX)}));

    // Forged hosts new to this look do not push out those of the last one
    // either: the list keeps what it first heard.
    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    answer(real, "Chez Marius", 3);
    for (uint32_t i = 0; i < 100; ++i)
        answer(0x7F100000u | (i + 2), "Autre faux", 1);
    ASSERT_EQ(entriesOf(real).size(), 1u);
    EXPECT_EQ(entriesOf(real)[0]->mPlayerCount, 3);
    endLook();
}

TEST_F(LanTest, AnswersFromAPortNoGameIsPlayedOnAreIgnoredAndTheRealHostIsFound) {
    auto host = MakeHost(6, "Chez Marius");
    Node seeker(port);
    ASSERT_TRUE(seeker.mgr.Init());
    const int forger = ListenUDPPort(0);
    ASSERT_GE(forger, 0);
    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    ASSERT_TRUE(PumpUntil({&host->mgr, &seeker.mgr}, [&] {
        for (int i = 0; i < 50; ++i) {
            const auto bytes = GameAnswer(("Faux " + std::to_string(i)).c_str(), 1);
            SocketSendTo(forger, kLoopback, seeker.mgr.GetPort(), bytes.data(), int(bytes.size()));
        }
        return seeker.mgr.GetFoundGames().GetCount() >= 1;
    }));
    PumpRounds({&host->mgr, &seeker.mgr}, 20);
    Advance(CNetMgr::ENUMERATION_WINDOW_MS + 1);
    seeker.mgr.Manage();
    ASSERT_EQ(seeker.listener.lastGames.size(), 1u);
    EXPECT_STREQ(seeker.listener.lastGames[0].mName, "Chez Marius");
    EXPECT_EQ(seeker.listener.lastGames[0].mPort, host->mgr.GetPort());
    SocketClose(forger);
}

TEST_F(LanTest, ConnectionsThatNeverLogInAndComeBackCannotLockPlayersOut) {
    auto host = MakeHost(6);
    // An attacker keeps eight connections open and opens a new one for each
    // the host closes.
    std::vector<int> idle;
    auto attack = [&] {
        for (int& s : idle)
            if (s >= 0 && ClosedByHost(s)) {
                SocketClose(s);
                s = -1;
            }
        for (int& s : idle)
            if (s < 0)
                s = ConnectPort("127.0.0.1", host->mgr.GetPort());
    };
    idle.assign(8, -1);
    attack();
    PumpRounds({&host->mgr}, 5);
    attack();
    PumpRounds({&host->mgr}, 5);
    EXPECT_EQ(host->mgr.GetPlayerCount(), 1);   // connections are no players

    // Five players join, one after the other, while the attack goes on.
    std::vector<std::unique_ptr<Node>> players;
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE("player " + std::to_string(k + 1));
        players.emplace_back(new Node(port));
        Node& p = *players.back();
        ASSERT_TRUE(p.mgr.JoinGame(kLoopback, host->mgr.GetPort(), ("Joueur" + std::to_string(k)).c_str()));
        EXPECT_TRUE(PumpUntil({&host->mgr, &p.mgr}, [&] {
            attack();
            return p.listener.Has("login");
        }, 500));
        PumpRounds({&host->mgr, &p.mgr}, 3);
    }
    EXPECT_EQ(host->mgr.GetPlayerCount(), 6);
    // The players heard of each other, never of the attacker's connections.
    for (const auto& p : players)
        for (const std::string& e : p->listener.events)
            EXPECT_TRUE(e.rfind("left:", 0) != 0) << e;
    // Full of players: the attacker gets nothing more.
    attack();
    PumpRounds({&host->mgr}, 10);
    EXPECT_EQ(host->mgr.GetConnectionCount(), 6);
    for (int s : idle)
        SocketClose(s);
}

TEST_F(LanTest, TheHostTakesNothingAPeerDoesNotOwn) {
    auto host = MakeHost(6, "Hote");
    auto anna = Join(*host, "Anna");
    ThrowLog hostLog, annaLog;
    InstallMatch<0>(host->mgr, hostLog);
    InstallMatch<1>(anna->mgr, annaLog);
    const int mallory = Connect(*host);   // slot 2, controller 9
    ASSERT_TRUE(Send(mallory, Login("Mallory")));
    ASSERT_TRUE(PumpUntil({&host->mgr, &anna->mgr}, [&] { return anna->mgr.GetSlot(2).mActive == 1; }));
    PumpRounds({&host->mgr, &anna->mgr}, 10);
    host->listener.events.clear();
    anna->listener.events.clear();

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const int eve = -1;   // a connection of its own that never logs in (slot 3)
    struct Case {
        const char* what;
        int from;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> lies = {
        {"chat in the host's name", mallory, Chat(0, "je suis l'hote")},
        {"chat in Anna's name", mallory, Chat(1, "je suis Anna")},
        {"the host's record renamed and moved", mallory, UpdatePlayer(0, "Mallory", 1)},
        {"Anna's record moved", mallory, UpdatePlayer(1, "Anna", 1)},
        {"a lobby record in the host's name", mallory, Custom(0)},
        {"the host's throw", mallory, LaunchSet(7)},
        {"Anna's throw", mallory, LaunchSet(8)},
        {"a computer's throw", mallory, LaunchSet(4)},
        {"its own throw at NaN speed", mallory, LaunchSet(9, nan)},
        {"its own throw at 1e30", mallory, LaunchSet(9, 1.0e30f)},
        {"its own gauges at infinite power", mallory, ShootParams(9, inf)},
        {"before logging in: the host's record", eve, UpdatePlayer(0, "Eve", 1)},
        {"before logging in: its own record", eve, UpdatePlayer(3, "Eve", 0)},
        {"before logging in: chat", eve, Chat(3, "bonjour")},
        {"before logging in: a throw", eve, LaunchSet(10)},
    };
    for (const Case& c : lies) {
        SCOPED_TRACE(c.what);
        const int from = c.from == eve ? Connect(*host) : c.from;
        ASSERT_TRUE(Send(from, c.bytes));
        PumpRounds({&host->mgr, &anna->mgr}, 15);
        if (from != mallory) {
            // Anything but a login first: not a peer of this game.
            EXPECT_TRUE(PeerClosed(from));
            EXPECT_EQ(host->mgr.GetConnectionCount(), 3);
            SocketClose(from);
        }
        EXPECT_TRUE(host->listener.events.empty()) << host->listener.events.front();
        EXPECT_TRUE(anna->listener.events.empty()) << anna->listener.events.front();
        EXPECT_EQ(hostLog.launchSets + hostLog.shootParams + annaLog.launchSets + annaLog.shootParams, 0);
        EXPECT_STREQ(host->mgr.GetSlot(0).mName, "Hote");
        EXPECT_EQ(host->mgr.GetSlot(0).mTeam, -1);
        EXPECT_EQ(anna->mgr.GetSlot(0).mTeam, -1);
        EXPECT_EQ(host->mgr.GetSlot(1).mTeam, -1);
        // A lie costs the message, not the seat.
        EXPECT_EQ(host->mgr.GetSlot(2).mActive, 1);
    }

    // What Mallory owns goes through, to the host and on to Anna.
    ASSERT_TRUE(Send(mallory, Chat(2, "bonjour")));
    ASSERT_TRUE(Send(mallory, UpdatePlayer(2, "Mallory", 1)));
    ASSERT_TRUE(Send(mallory, LaunchSet(9, 7.5f)));
    ASSERT_TRUE(PumpUntil({&host->mgr, &anna->mgr}, [&] { return annaLog.launchSets == 1; }));
    EXPECT_TRUE(host->listener.Has("chat:2:bonjour"));
    EXPECT_TRUE(anna->listener.Has("chat:2:bonjour"));
    EXPECT_EQ(anna->mgr.GetSlot(2).mTeam, 1);
    EXPECT_EQ(hostLog.launchSets, 1);
    EXPECT_EQ(annaLog.lastController, 9);
    EXPECT_FLOAT_EQ(annaLog.launch.values[5], 7.5f);
    SocketClose(mallory);
}

TEST_F(LanTest, AChatFloodIsCutToWhatOnePlayerMaySendASecond) {
    auto host = MakeHost();
    auto anna = Join(*host, "Anna");
    const int mallory = Connect(*host);
    ASSERT_TRUE(Send(mallory, Login("Mallory")));
    ASSERT_TRUE(PumpUntil({&host->mgr, &anna->mgr}, [&] { return anna->mgr.GetSlot(2).mActive == 1; }));
    host->listener.events.clear();
    anna->listener.events.clear();

    const std::string line(CNetMgr::CHAT_TEXT_MAX, 'x');
    const uint32_t cost = uint32_t(Chat(2, line).size() - 4) + CNetMgr::LOBBY_MESSAGE_COST;
    std::vector<unsigned char> flood;
    for (int i = 0; i < 300; ++i) {
        const auto bytes = Chat(2, line);
        flood.insert(flood.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(Send(mallory, flood));
    PumpRounds({&host->mgr, &anna->mgr}, 40);
    const std::string shown = "chat:2:" + line;
    const int burst = int(CNetMgr::LOBBY_BUDGET_BYTES / cost);
    EXPECT_EQ(host->listener.Count(shown), burst);
    EXPECT_EQ(anna->listener.Count(shown), burst);
    EXPECT_EQ(host->mgr.GetSlot(2).mActive, 1);

    // Anna's lines are hers to send; Mallory's budget comes back with time.
    ASSERT_TRUE(anna->mgr.TCPSendChatMessage("salut"));
    ASSERT_TRUE(PumpUntil({&host->mgr, &anna->mgr}, [&] { return host->listener.Has("chat:1:salut"); }));
    Advance(1000);
    ASSERT_TRUE(Send(mallory, flood));
    PumpRounds({&host->mgr, &anna->mgr}, 40);
    const int more = host->listener.Count(shown) - burst;
    EXPECT_GE(more, int(CNetMgr::LOBBY_BYTES_PER_SECOND / cost) - 1);
    EXPECT_LE(more, int(CNetMgr::LOBBY_BYTES_PER_SECOND / cost) + 1);
    SocketClose(mallory);
}
