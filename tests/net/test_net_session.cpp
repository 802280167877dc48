// Managers talking to each other on 127.0.0.1: sockets and the port
// fallback, game enumeration, login, relay, keep-alive and time-outs.
#include "NetTestHelpers.h"

using namespace nettest;

// ---- sockets and ports -------------------------------------------------------------

TEST_F(LanTest, InitFallsBackToTheNextPortAndFailsWhenBothAreTaken) {
    Node first(port), second(port), third(port);
    ASSERT_TRUE(first.mgr.Init());
    EXPECT_EQ(first.mgr.GetPort(), port);
    EXPECT_EQ(first.mgr.GetState(), CNetMgr::active_not_connected);

    ASSERT_TRUE(second.mgr.Init());
    EXPECT_EQ(second.mgr.GetPort(), port + 1);   // UDP and TCP both on the fallback
    EXPECT_EQ(SocketGetLocalPort(second.mgr.mListenSocket), port + 1);
    EXPECT_EQ(CountTraces("CNetMgr::Init() => FAILED (UDP) ListenUDPPort(" + std::to_string(port) + ") trying " +
                          std::to_string(port + 1)),
              1);

    EXPECT_FALSE(third.mgr.Init());
    EXPECT_EQ(third.mgr.GetState(), CNetMgr::e_not_initialized);
    EXPECT_EQ(third.mgr.m_udp_socket, -1);
    EXPECT_EQ(CountTraces("CNetMgr::Init() => FAILED (UDP) ListenUDPPort(" + std::to_string(port + 1) + ")"), 1);
}

TEST_F(LanTest, InitFailsAndReleasesUdpWhenTheTcpPortIsTaken) {
    int squatter = ListenPort(port, 1);
    ASSERT_GE(squatter, 0);
    {
        Node node(port);
        EXPECT_FALSE(node.mgr.Init());
        EXPECT_EQ(node.mgr.m_udp_socket, -1);
        EXPECT_EQ(CountTraces("CNetMgr::Init() => FAILED (TCP) ListenPortNumber(" + std::to_string(port) + ")"), 1);
    }
    int udp = ListenUDPPort(port);   // the failed Init left nothing bound
    EXPECT_GE(udp, 0);
    SocketClose(udp);
    SocketClose(squatter);
}

// ---- enumeration -------------------------------------------------------------------

TEST_F(LanTest, EnumerationFindsAnOpenHostAndIgnoresAClosedOne) {
    auto host = MakeHost(4, "Chez Marius");
    Node seeker(port);
    ASSERT_TRUE(seeker.mgr.Init());   // port + 1: the second instance on this machine
    ASSERT_EQ(seeker.mgr.GetPort(), port + 1);

    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    EXPECT_EQ(seeker.mgr.GetState(), CNetMgr::e_enumaration_in_progress);
    EXPECT_FALSE(seeker.mgr.StartEnumeration());   // one at a time
    ASSERT_TRUE(PumpUntil({&host->mgr, &seeker.mgr}, [&] { return seeker.mgr.GetFoundGames().GetCount() == 1; }));
    EXPECT_TRUE(seeker.listener.events.empty());   // the window is still open

    Advance(2501);
    seeker.mgr.Manage();
    EXPECT_EQ(seeker.mgr.GetState(), CNetMgr::e_enumaration_complete);
    ASSERT_EQ(seeker.listener.events, std::vector<std::string>{"enum:1"});
    const CNetGameDesc& game = seeker.listener.lastGames.at(0);
    EXPECT_EQ(game.mAddress, kLoopback);
    EXPECT_EQ(game.mPort, port);   // the host's own port, also its TCP port
    EXPECT_STREQ(game.mName, "Chez Marius");
    EXPECT_EQ(game.mPlayerCount, 1);
    EXPECT_EQ(game.mMaxPlayers, 4);

    // A closed host (match started) stays silent; the new enumeration starts
    // from an empty list.
    host->mgr.mClosed = 1;
    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    EXPECT_EQ(seeker.mgr.GetFoundGames().GetCount(), 0);
    PumpRounds({&host->mgr, &seeker.mgr}, 30);
    Advance(2501);
    seeker.mgr.Manage();
    EXPECT_EQ(seeker.listener.events.back(), "enum:0");
}

TEST_F(LanTest, AnEnumerationWithoutSocketsStillEndsWithAnEmptyList) {
    Node lonely(port);
    lonely.mgr.CloseSession();   // what the menus do, Init or not
    ASSERT_TRUE(lonely.mgr.GetState() == CNetMgr::active_not_connected);
    EXPECT_FALSE(lonely.mgr.StartEnumeration());   // nothing could be sent
    EXPECT_EQ(CountTraces("CNetMgr::UDPSendTo() => FAILED m_udp_socket == INVALID_SOCKET)"), 2);
    Advance(2500);
    lonely.mgr.Manage();
    EXPECT_TRUE(lonely.listener.events.empty());   // not more than 2,500 ms yet
    Advance(1);
    lonely.mgr.Manage();
    EXPECT_EQ(lonely.listener.events, std::vector<std::string>{"enum:0"});
}

// ---- joining -----------------------------------------------------------------------

TEST_F(LanTest, ThirdPlayerLogsInWithEveryoneAlreadyThere) {
    auto host = MakeHost(6, "Partie");
    auto anna = Join(*host, "Anna");
    auto bruno = Join(*host, "Bruno", {&anna->mgr});

    EXPECT_EQ(host->mgr.GetPlayerCount(), 3);
    EXPECT_EQ(host->mgr.GetOwnDesc().mPlayerCount, 3);
    EXPECT_STREQ(host->mgr.GetSlot(1).mName, "Anna");
    EXPECT_STREQ(host->mgr.GetSlot(2).mName, "Bruno");
    EXPECT_EQ(host->listener.events, (std::vector<std::string>{"added:1", "added:2"}));

    // The newcomer: its index, the host's description and slots 0, 1, 2.
    EXPECT_EQ(bruno->mgr.GetOwnIndex(), 2);
    EXPECT_FALSE(bruno->mgr.IsHost());
    EXPECT_STREQ(bruno->mgr.GetOwnDesc().mName, "Partie");
    EXPECT_EQ(bruno->mgr.GetOwnDesc().mPlayerCount, 2);   // counted before this login
    EXPECT_EQ(bruno->listener.events, (std::vector<std::string>{"login", "added:0", "added:1", "added:2"}));
    EXPECT_STREQ(bruno->mgr.GetSlot(0).mName, "Partie");
    EXPECT_STREQ(bruno->mgr.GetSlot(1).mName, "Anna");
    EXPECT_STREQ(bruno->mgr.GetSlot(2).mName, "Bruno");
    EXPECT_GE(bruno->mgr.GetSlot(0).mSocket, 0);   // only the link to the host has a socket
    EXPECT_EQ(bruno->mgr.GetSlot(1).mSocket, -1);

    // The first client hears of the second one and ignores news of itself.
    EXPECT_EQ(anna->listener.events, (std::vector<std::string>{"login", "added:0", "added:1", "added:2"}));
    EXPECT_STREQ(anna->mgr.GetSlot(2).mName, "Bruno");
}

TEST_F(LanTest, JoinSendsANameCutTo31CharactersAndReportsAFailedConnect) {
    auto host = MakeHost();
    auto longName = Join(*host, "A_player_name_far_longer_than_thirty_one");
    EXPECT_STREQ(host->mgr.GetSlot(1).mName, "A_player_name_far_longer_than_t");

    Node lost(port);
    host.reset();   // nobody listens any more
    EXPECT_FALSE(lost.mgr.JoinGame(kLoopback, port, "Zoe"));
    EXPECT_EQ(lost.listener.events, std::vector<std::string>{"connfail"});
    EXPECT_EQ(lost.mgr.GetState(), CNetMgr::e_not_initialized);   // unchanged
}

TEST_F(LanTest, HostAcceptsOnlyUpToItsMaximumPlayers) {
    struct Case {
        uint16_t maxPlayers;
        int connections;
        int accepted;
    };
    for (const Case& c : {Case{4, 4, 3}, Case{1, 1, 0}}) {
        SCOPED_TRACE("max players " + std::to_string(c.maxPlayers));
        auto host = MakeHost(c.maxPlayers);
        std::vector<int> peers;
        for (int i = 0; i < c.connections; ++i)
            peers.push_back(ConnectPort("127.0.0.1", port));
        ASSERT_TRUE(PumpUntil({&host->mgr}, [&] { return host->mgr.GetConnectionCount() == 1 + c.accepted; }));
        PumpRounds({&host->mgr}, 10);
        EXPECT_EQ(host->mgr.GetConnectionCount(), 1 + c.accepted);
        for (int i = 1; i <= c.accepted; ++i)
            EXPECT_STREQ(host->mgr.GetSlot(i).mName, "...");
        for (int i = c.accepted + 1; i < 6; ++i)
            EXPECT_EQ(host->mgr.GetSlot(i).mActive, 0);
        // The one too many is shut at once: the newest when nobody may give
        // way, else the connection that has waited longest without logging in.
        EXPECT_TRUE(PeerClosed(peers.front()));
        for (int s : peers)
            SocketClose(s);
    }
}

// ---- messages and relay ------------------------------------------------------------

class LanSessionTest : public LanTest {
protected:
    void SetUp() override {
        LanTest::SetUp();
        host = MakeHost(6, "Partie");
        anna = Join(*host, "Anna");
        bruno = Join(*host, "Bruno", {&anna->mgr});
        for (Node* n : All())
            n->listener.events.clear();
    }
    std::vector<Node*> All() { return {host.get(), anna.get(), bruno.get()}; }
    void Pump(int rounds = 30) { PumpRounds({&host->mgr, &anna->mgr, &bruno->mgr}, rounds); }
    bool PumpUntil(const std::function<bool()>& done) {
        return nettest::PumpUntil({&host->mgr, &anna->mgr, &bruno->mgr}, done);
    }

    std::unique_ptr<Node> host, anna, bruno;
};

TEST_F(LanSessionTest, ChatIsShownOnceEverywhereAndCutTo255Characters) {
    ASSERT_TRUE(anna->mgr.TCPSendChatMessage("Salut"));
    ASSERT_TRUE(PumpUntil([&] { return bruno->listener.Has("chat:1:Salut") && anna->listener.Has("chat:1:Salut"); }));
    Pump();
    for (Node* n : All())
        EXPECT_EQ(n->listener.Count("chat:1:Salut"), 1);   // the sender sees its echo once

    // The host's own lines are not echoed back to it.
    ASSERT_TRUE(host->mgr.TCPSendChatMessage(std::string(300, 'x').c_str()));
    const std::string cut = "chat:0:" + std::string(255, 'x');
    ASSERT_TRUE(PumpUntil([&] { return anna->listener.Has(cut) && bruno->listener.Has(cut); }));
    Pump();
    EXPECT_EQ(anna->listener.Count(cut), 1);
    EXPECT_EQ(bruno->listener.Count(cut), 1);
    EXPECT_FALSE(host->listener.Has(cut));
}

namespace {
ThrowLog* gThrowLogs[3];
template <int N>
void InstallThrowLog(CNetMgr& mgr, ThrowLog& log) {
    gThrowLogs[N] = &log;
    mgr.GameServices().shootParams = [](int32_t c, const NetShootParams& v) {
        ++gThrowLogs[N]->shootParams;
        gThrowLogs[N]->lastController = c;
        gThrowLogs[N]->params = v;
        return true;
    };
    mgr.GameServices().shootOptions = [](int32_t c, const NetShootOptions& v) {
        ++gThrowLogs[N]->shootOptions;
        gThrowLogs[N]->lastController = c;
        gThrowLogs[N]->options = v;
        return true;
    };
    mgr.GameServices().launchSet = [](int32_t c, const NetLaunchSet& v) {
        ++gThrowLogs[N]->launchSets;
        gThrowLogs[N]->lastController = c;
        gThrowLogs[N]->launch = v;
        return true;
    };
    mgr.GameServices().ballsPositions = [](int32_t c, CObjnet& body) {
        ++gThrowLogs[N]->ballPositions;
        gThrowLogs[N]->lastController = c;
        body.ReadUInt();
        return true;
    };
}
}  // namespace

TEST_F(LanSessionTest, ThrowMessagesReachEveryoneButTheirSender) {
    ThrowLog logs[3];
    InstallThrowLog<0>(host->mgr, logs[0]);
    InstallThrowLog<1>(anna->mgr, logs[1]);
    InstallThrowLog<2>(bruno->mgr, logs[2]);

    CObjnet& out = bruno->mgr.GetOutgoingMessage();
    out.StartSignature(NETSIG_E_SHOOT_PARAMS);
    out.WriteUInt(2);
    out.WriteInt(9);   // controller of LAN player 2
    for (float f : {1.5f, -2.0f})
        out.WriteFloat(f);
    out.WriteUInt(7);
    for (float f : {3.0f, 4.0f, 5.0f, 6.0f, 7.0f})
        out.WriteFloat(f);
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    out.StartSignature(NETSIG_E_SHOOT_OPTIONS2);
    out.WriteUInt(2);
    out.WriteInt(9);
    out.WriteFloat(42.0f);
    out.WriteUInt(1);
    out.WriteUInt(0);
    out.WriteUInt(3);
    out.WriteFloat(0.5f);
    out.WriteFloat(0.0f);
    out.WriteFloat(-7.25f);
    out.WriteInt(-4);
    out.WriteInt(12);
    out.WriteUInt(2);
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    out.StartSignature(NETSIG_E_LAUNCHSET);
    out.WriteUInt(2);
    out.WriteInt(9);
    for (int i = 0; i < 6; ++i)
        out.WriteFloat(float(i) + 0.25f);
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    out.StartSignature(NETSIG_E_BALLS_POSITIONS);
    out.WriteUInt(2);
    out.WriteInt(9);
    out.WriteUInt(0);   // a body with no frames
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    ASSERT_TRUE(PumpUntil([&] { return logs[1].ballPositions == 1; }));
    Pump();
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(logs[i].shootParams, 1);
        EXPECT_EQ(logs[i].shootOptions, 1);
        EXPECT_EQ(logs[i].launchSets, 1);
        EXPECT_EQ(logs[i].ballPositions, 1);
        EXPECT_EQ(logs[i].lastController, 9);
        EXPECT_EQ(logs[i].params.presetShootingAngle, 1.5f);
        EXPECT_EQ(logs[i].params.presetBalanceGoAndBack, 7u);
        EXPECT_EQ(logs[i].params.balance, 7.0f);
        EXPECT_EQ(logs[i].options.angle, 42.0f);
        EXPECT_EQ(logs[i].options.ballEffect, 3u);
        EXPECT_EQ(logs[i].options.aimZ, -7.25f);
        EXPECT_EQ(logs[i].options.fatigue, -4);
        EXPECT_EQ(logs[i].options.ballsLeft, 2u);
        EXPECT_EQ(logs[i].launch.values[5], 5.25f);
    }
    EXPECT_EQ(logs[2].shootParams + logs[2].shootOptions + logs[2].launchSets + logs[2].ballPositions, 0);
}

TEST_F(LanSessionTest, PlayerUpdatesAndStepSignalsAreRelayedToTheOthers) {
    // Bruno picks team 1; his record claims id 5, which must not move his slot.
    bruno->mgr.GetSlot(2).mTeam = 1;
    bruno->mgr.GetSlot(2).mId = 5;
    CObjnet& nested = bruno->mgr.GetNestedMessage();
    bruno->mgr.GetSlot(2).Serialize(nested);
    bruno->mgr.GetSlot(2).mId = 2;
    CObjnet& out = bruno->mgr.GetOutgoingMessage();
    out.StartSignature(NETSIG_E_UPDATE_PLAYER);
    out.WriteUInt(2);
    out.WriteObject(&nested);
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    // Steps are signalled in a match only.
    for (Node* n : All())
        n->mgr.BeginMatch();
    out.StartSignature(NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS);
    out.WriteUInt(2);
    out.End();
    ASSERT_TRUE(bruno->mgr.TCPSendAction(out));

    ASSERT_TRUE(PumpUntil([&] { return anna->mgr.mClientSignalQueue == 1; }));
    Pump();
    for (Node* n : {host.get(), anna.get()}) {
        EXPECT_EQ(n->listener.Count("updated:2"), 1);
        EXPECT_EQ(n->mgr.GetSlot(2).mTeam, 1);
        EXPECT_EQ(n->mgr.GetSlot(2).mId, 2);
        EXPECT_EQ(n->mgr.GetSlot(5).mActive, 0);
        EXPECT_EQ(n->mgr.mClientSignalQueue, 1);
        EXPECT_EQ(n->mgr.GetStepsSignalled(2), 1u);
    }
    EXPECT_FALSE(bruno->listener.Has("updated:2"));
    EXPECT_EQ(bruno->mgr.mClientSignalQueue, 0);

    // The host's signal counts on the clients only.
    CObjnet& hostOut = host->mgr.GetOutgoingMessage();
    hostOut.StartSignature(NETSIG_E_NEXT_STEP_SIGNAL_HOST);
    hostOut.WriteUInt(0);
    hostOut.End();
    ASSERT_TRUE(host->mgr.TCPSendAction(hostOut));
    ASSERT_TRUE(PumpUntil([&] { return anna->mgr.mHostSignalQueue == 1 && bruno->mgr.mHostSignalQueue == 1; }));
    EXPECT_EQ(CountTraces("QueueNextStepSignalFromHost()=>  Queue=1"), 2);
    EXPECT_EQ(host->mgr.mHostSignalQueue, 0);
}

namespace {

void SendSignal(CNetMgr& from, const char* kind, uint32_t sender, int times = 1) {
    CObjnet& out = from.GetOutgoingMessage();
    for (int i = 0; i < times; ++i) {
        out.StartSignature(kind);
        out.WriteUInt(sender);
        out.End();
        from.TCPSendAction(out);
    }
}

}  // namespace

TEST_F(LanSessionTest, NextStepSignalsCountOnlyInTheMatchFromItsMachinesOneStepAtATime) {
    // A lobby's flood counts for nothing: outside a match, and emptied by the start.
    SendSignal(bruno->mgr, NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, 2, 3000);
    SendSignal(host->mgr, NETSIG_E_NEXT_STEP_SIGNAL_HOST, 0, 50);
    Pump(200);
    for (Node* n : All()) {
        EXPECT_EQ(n->mgr.mClientSignalQueue, 0);
        EXPECT_EQ(n->mgr.mHostSignalQueue, 0);
        EXPECT_FALSE(n->mgr.TakeNextStep());
    }
    EXPECT_GE(CountTraces("next-step signal outside a match"), 1);
    for (Node* n : All()) {
        n->mgr.mClientSignalQueue = 3000;   // whatever a lobby left
        n->mgr.BeginMatch();
        EXPECT_EQ(n->mgr.mClientSignalQueue, 0);
        EXPECT_EQ(n->mgr.GetStepsPassed(), 0u);
    }

    // In the match a flood counts once, one step ahead of each machine at
    // most; a signal in another machine's name counts for nobody.
    SendSignal(bruno->mgr, NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, 2, 3000);
    SendSignal(anna->mgr, NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, 2, 10);
    Pump(200);
    for (Node* n : {host.get(), anna.get()}) {
        EXPECT_EQ(n->mgr.GetStepsSignalled(2), 1u);
        EXPECT_EQ(n->mgr.GetStepsSignalled(1), 0u);
        EXPECT_FALSE(n->mgr.TakeNextStep());   // its own and the others' are missing
    }

    // Every machine signals the step. Bruno's flood was his step's signal,
    // so his own signal is the next step's, and one more is refused: each
    // machine passes the step once, with Bruno one step ahead.
    host->mgr.SendNextStepSignal();
    anna->mgr.SendNextStepSignal();
    anna->mgr.SendNextStepSignal();   // twice: sent and counted once
    bruno->mgr.SendNextStepSignal();
    ASSERT_TRUE(PumpUntil([&] {
        return host->mgr.GetStepsSignalled(1) == 1 && bruno->mgr.GetStepsSignalled(1) == 1 &&
               anna->mgr.GetStepsSignalled(0) == 1 && bruno->mgr.GetStepsSignalled(0) == 1 &&
               host->mgr.GetStepsSignalled(2) == 2 && anna->mgr.GetStepsSignalled(2) == 2;
    }));
    for (Node* n : All()) {
        EXPECT_TRUE(n->mgr.TakeNextStep());
        EXPECT_FALSE(n->mgr.TakeNextStep());
        EXPECT_EQ(n->mgr.GetStepsPassed(), 1u);
    }
    EXPECT_EQ(host->mgr.mClientSignalQueue, 1);   // Bruno's next step
    EXPECT_EQ(bruno->mgr.mClientSignalQueue, 0);
    bruno->mgr.SendNextStepSignal();
    SendSignal(bruno->mgr, NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, 2, 100);
    Pump(100);
    EXPECT_EQ(host->mgr.GetStepsSignalled(2), 2u);
    EXPECT_EQ(anna->mgr.GetStepsSignalled(2), 2u);

    // The host signals the end of a throw once: a second before the client
    // took the first is not the next throw's.
    SendSignal(host->mgr, NETSIG_E_NEXT_STEP_SIGNAL_HOST, 0, 5);
    SendSignal(anna->mgr, NETSIG_E_NEXT_STEP_SIGNAL_HOST, 0, 1);   // not the host's to send
    Pump(100);
    EXPECT_EQ(anna->mgr.mHostSignalQueue, 1);
    EXPECT_EQ(bruno->mgr.mHostSignalQueue, 1);
    EXPECT_TRUE(anna->mgr.TakeHostSignal());
    EXPECT_FALSE(anna->mgr.TakeHostSignal());
    EXPECT_FALSE(host->mgr.TakeHostSignal());

    // A machine gone holds nobody up; after the match nothing counts.
    bruno.reset();
    ASSERT_TRUE(nettest::PumpUntil({&host->mgr, &anna->mgr}, [&] { return !anna->mgr.GetSlot(2).mActive; }));
    host->mgr.SendNextStepSignal();
    anna->mgr.SendNextStepSignal();
    ASSERT_TRUE(nettest::PumpUntil({&host->mgr, &anna->mgr}, [&] { return host->mgr.TakeNextStep(); }));
    ASSERT_TRUE(nettest::PumpUntil({&host->mgr, &anna->mgr}, [&] { return anna->mgr.TakeNextStep(); }));
    for (CNetMgr* m : {&host->mgr, &anna->mgr})
        m->EndMatch();
    const uint32_t annasSteps = host->mgr.GetStepsSignalled(1);
    SendSignal(anna->mgr, NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, 1);
    PumpRounds({&host->mgr, &anna->mgr}, 50);
    EXPECT_EQ(host->mgr.GetStepsSignalled(1), annasSteps);
    EXPECT_FALSE(host->mgr.TakeNextStep());
}

TEST_F(LanSessionTest, CustomObjectsComeBackToTheirSenderAndStartGameReachesClients) {
    CObjnet packet;
    packet.StartSignature("CGameInfosPacketV2");
    for (int i = 0; i < 5; ++i)
        packet.WriteInt(i);
    packet.End();
    ASSERT_TRUE(anna->mgr.TCPSendCustomObject(packet));
    const std::string event = "custom:1:" + std::to_string(packet.GetSize());
    ASSERT_TRUE(PumpUntil([&] { return anna->listener.Has(event) && bruno->listener.Has(event); }));
    Pump();
    for (Node* n : All())
        EXPECT_EQ(n->listener.Count(event), 1);

    CObjnet params;
    params.StartSignature("environment");
    params.WriteString("QUICKMATCHPARAMS");
    params.End();
    CObjnet& out = host->mgr.GetOutgoingMessage();
    out.StartSignature(NETSIG_E_HOST_START_GAME);
    out.WriteObject(&params);
    out.End();
    ASSERT_TRUE(host->mgr.TCPSendAction(out));
    const std::string start = "start:" + std::to_string(CObjnet::ComputeTypeId("environment"));
    ASSERT_TRUE(PumpUntil([&] { return anna->listener.Has(start) && bruno->listener.Has(start); }));
}

TEST_F(LanSessionTest, SendsAreRefusedOutsideTheirRole) {
    CObjnet& out = anna->mgr.GetOutgoingMessage();
    out.StartSignature(NETSIG_E_KEEPALIVE);
    out.End();
    EXPECT_FALSE(anna->mgr.TCPSendActionTo(anna->mgr.GetSlot(0), out));
    EXPECT_FALSE(anna->mgr.TCPSendActionToOthers(anna->mgr.GetSlot(0), out));
    EXPECT_EQ(CountTraces("CNetMgr::TCPSendActionTo() => FAILED , reserved to Hosts"), 2);

    // A frame larger than a peer's receive buffer is never sent.
    std::vector<unsigned char> big(40000, 'b');
    out.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    out.WriteUInt(1);
    out.WriteBuffer(big.data(), int(big.size()));
    out.End();
    EXPECT_FALSE(anna->mgr.TCPSendAction(out));
    Pump();
    EXPECT_TRUE(anna->mgr.IsConnected());
    EXPECT_EQ(host->mgr.GetPlayerCount(), 3);

    Node idle(port);
    EXPECT_FALSE(idle.mgr.TCPSendAction(out));
    EXPECT_FALSE(idle.mgr.TCPSendChatMessage("hello"));
    EXPECT_EQ(CountTraces("CNetMgr::TCPSendAction() => FAILED not Connected"), 1);
    EXPECT_EQ(CountTraces("CNetMgr::TCPSendChatMessage() => FAILED not Connected"), 1);
}

// ---- keep-alive and time-outs -------------------------------------------------------

TEST_F(LanSessionTest, KeepAlivesHoldASilentSessionTogether) {
    // Two minutes of silence in 10-second frames: the 20 s keep-alives keep
    // every side below the 60 s time-out.
    for (int step = 0; step < 12; ++step) {
        Advance(10000);
        Pump(15);
    }
    EXPECT_EQ(host->mgr.GetPlayerCount(), 3);
    EXPECT_TRUE(anna->mgr.IsConnected());
    EXPECT_TRUE(bruno->mgr.IsConnected());
    EXPECT_EQ(CountTraces("[Host]  recv [OBJECT_CNETCLIENT_E_KEEPALIVE] from client 1"), 4);   // at 30, 60, 90, 120 s
    EXPECT_EQ(CountTraces("[Client]  recv [OBJECT_CNETCLIENT_E_KEEPALIVE] from client 0"), 8);
    for (Node* n : All())
        EXPECT_TRUE(n->listener.events.empty());
}

TEST_F(LanSessionTest, AClientThatHearsNothingForAMinuteLosesTheSession) {
    Advance(60000);
    anna->mgr.Manage();
    EXPECT_TRUE(anna->mgr.IsConnected());   // exactly 60,000 ms is not yet too long
    Advance(1);
    anna->mgr.Manage();
    EXPECT_EQ(anna->mgr.GetState(), CNetMgr::active_not_connected);
    EXPECT_EQ(anna->listener.events, (std::vector<std::string>{"left:0", "hostlost", "left:1", "left:2", "left:3",
                                                               "left:4", "left:5"}));
    EXPECT_EQ(anna->mgr.GetPlayerCount(), 0);
    EXPECT_EQ(anna->mgr.mClosed, 1);
    EXPECT_EQ(CountTraces("CNetMgr::Manage() -> Client(0,Partie) TIMED OUT "), 1);
}

// A manager given its own clock (the wall clock, while the game runs on a
// test's virtual clock) measures a peer's silence on that clock alone: the
// game's clock racing ahead drops nobody, its own clock passing the minute does.
uint32_t gOwnClock = 0;
uint32_t OwnClock() { return gOwnClock; }

TEST_F(LanSessionTest, SilenceIsMeasuredOnTheManagersOwnClock) {
    gOwnClock = nettest::ClockNow();
    anna->mgr.SetClock(&OwnClock);
    Advance(10 * 60000);   // the game's clock only
    anna->mgr.Manage();
    EXPECT_TRUE(anna->mgr.IsConnected());
    EXPECT_TRUE(anna->listener.events.empty());
    gOwnClock += 60001;
    anna->mgr.Manage();
    EXPECT_EQ(anna->mgr.GetState(), CNetMgr::active_not_connected);
    EXPECT_TRUE(anna->listener.Has("hostlost"));
    anna->mgr.SetClock(nullptr);
}

TEST_F(LanSessionTest, TheHostDropsASilentClientAndTellsTheOthers) {
    Advance(30000);
    bruno->mgr.Manage();   // Bruno's keep-alive
    ASSERT_TRUE(nettest::PumpUntil({&host->mgr, &bruno->mgr}, [&] {
        return CountTraces("[Host]  recv [OBJECT_CNETCLIENT_E_KEEPALIVE] from client 2") == 1;
    }));
    Advance(30001);   // Anna has now been silent for 60,001 ms
    ASSERT_TRUE(nettest::PumpUntil({&host->mgr, &bruno->mgr}, [&] { return bruno->listener.Has("left:1"); }));
    EXPECT_EQ(CountTraces("CNetMgr::Manage() -> Client(1,Anna) TIMED OUT "), 1);
    EXPECT_EQ(host->listener.events, std::vector<std::string>{"left:1"});
    EXPECT_EQ(host->mgr.GetPlayerCount(), 2);
    EXPECT_EQ(host->mgr.GetOwnDesc().mPlayerCount, 2);
    EXPECT_TRUE(bruno->mgr.IsConnected());
    EXPECT_EQ(bruno->mgr.GetSlot(1).mActive, 0);
}

TEST_F(LanSessionTest, ClosingTheHostSessionEndsEveryClientsSession) {
    host->mgr.CloseSession();
    EXPECT_EQ(host->mgr.GetState(), CNetMgr::active_not_connected);
    EXPECT_EQ(host->mgr.GetPlayerCount(), 0);
    EXPECT_TRUE(host->listener.events.empty());   // peers are not told, nor is the listener
    ASSERT_TRUE(nettest::PumpUntil({&anna->mgr, &bruno->mgr}, [&] {
        return anna->listener.Has("hostlost") && bruno->listener.Has("hostlost");
    }));
    EXPECT_EQ(anna->mgr.GetState(), CNetMgr::active_not_connected);
    EXPECT_EQ(bruno->mgr.GetPlayerCount(), 0);
}
