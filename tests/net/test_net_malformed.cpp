// What peers send that must not hurt us: broken frames, lengths and
// indices that do not fit, names too long for their fields. A peer that
// sends garbage is dropped; unknown kinds are ignored. Also the framing of
// messages that arrive in pieces.
#include "NetTestHelpers.h"

using namespace nettest;

namespace {

using nettest::Framed;
std::vector<unsigned char> Framed(std::vector<unsigned char> body) {
    std::vector<unsigned char> bytes(4);
    CObjnet::WriteU32At(uint32_t(body.size()), bytes.data());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

std::vector<unsigned char> Header(uint32_t length) {
    std::vector<unsigned char> bytes(4);
    CObjnet::WriteU32At(length, bytes.data());
    return bytes;
}

CObjnet* Begin(const char* signature) {
    CObjnet* m = new CObjnet();
    m->StartSignature(signature);
    return m;
}

std::vector<unsigned char> Finish(CObjnet* m) {
    m->End();
    std::vector<unsigned char> bytes = Framed(*m);
    delete m;
    return bytes;
}

std::vector<unsigned char> ClientRecord(const char* name, int32_t id, int32_t team) {
    CObjnet r;
    r.StartSignature(NETSIG_CNETCLIENT_RECORD);
    r.WriteString(name);
    r.WriteInt(id);
    r.WriteInt(team);
    r.End();
    return Bytes(r);
}

void WriteObjectBytes(CObjnet& m, const std::vector<unsigned char>& object) {
    m.WriteUInt(uint32_t(object.size()));
    for (unsigned char b : object)
        m.WriteByte(b);
}

const std::string kLongName(40, 'n');

// Connects a raw socket to the host and waits until it holds slot 1.
int ConnectRaw(Node& host, uint16_t port) {
    const int before = host.mgr.GetConnectionCount();
    int s = ConnectPort("127.0.0.1", port);
    EXPECT_GE(s, 0);
    EXPECT_TRUE(PumpUntil({&host.mgr}, [&] { return host.mgr.GetConnectionCount() == before + 1; }));
    return s;
}

}  // namespace

TEST_F(LanTest, TheHostDropsAPeerThatSendsGarbageAndIgnoresUnknownKinds) {
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool dropped;
    };
    std::vector<Case> cases;
    cases.push_back({"empty frame", Header(0), true});
    cases.push_back({"frame larger than a receive buffer", Header(40000), true});
    {
        CObjnet* m = Begin(NETSIG_E_CHAT_MESSAGE);
        m->WriteUInt(9);
        m->WriteString("hi");
        cases.push_back({"chat from slot 9", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_E_CHAT_MESSAGE);
        m->WriteUInt(1);
        m->WriteUInt(1000);   // a text length far past the frame's end
        m->WriteString("hello");
        cases.push_back({"chat text longer than its frame", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_R_QUERY_LOGIN);
        m->WriteString(kLongName.c_str());
        cases.push_back({"login name of 40 characters", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_E_UPDATE_PLAYER);
        m->WriteUInt(6);
        WriteObjectBytes(*m, ClientRecord("Eve", 6, 0));
        cases.push_back({"update of slot 6", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_E_CUSTOM_OBJECT);
        m->WriteUInt(1);
        m->WriteUInt(500);   // object length past the end
        cases.push_back({"custom object longer than its frame", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_E_SHOOT_PARAMS);
        m->WriteUInt(1);
        m->WriteInt(8);
        m->WriteFloat(1.0f);   // seven values missing
        cases.push_back({"shoot params cut short", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_A_LEAVE_PLAYER);
        m->WriteUInt(99);   // a kind only clients act on
        cases.push_back({"leave notice sent to the host before a login", Finish(m), true});
    }
    {
        CObjnet* m = Begin("CNetClient::e_unheard_of()");
        m->WriteUInt(123);
        cases.push_back({"unknown kind", Finish(m), false});
    }
    cases.push_back({"frame too short for a type id", Framed({1, 2, 3}), false});
    {
        CObjnet* m = Begin(NETSIG_E_UPDATE_PLAYER);
        m->WriteUInt(1);
        WriteObjectBytes(*m, ClientRecord(kLongName.c_str(), 1, 0));
        cases.push_back({"update whose record name is too long, before a login", Finish(m), true});
    }

    auto host = MakeHost();
    ThrowLog log;
    static ThrowLog* sLog;
    sLog = &log;
    host->mgr.GameServices().shootParams = [](int32_t, const NetShootParams&) { return ++sLog->shootParams > 0; };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host->listener.events.clear();
        int peer = ConnectRaw(*host, port);
        ASSERT_EQ(host->mgr.GetSlot(1).mActive, 1);
        ASSERT_TRUE(SendRaw(peer, c.bytes.data(), c.bytes.size()));
        if (c.dropped) {
            EXPECT_TRUE(PumpUntil({&host->mgr}, [&] { return host->mgr.GetSlot(1).mActive == 0; }));
            // It never logged in: nobody heard of it coming or going.
            EXPECT_TRUE(host->listener.events.empty());
            EXPECT_TRUE(PeerClosed(peer));
        } else {
            PumpRounds({&host->mgr}, 20);
            EXPECT_EQ(host->mgr.GetSlot(1).mActive, 1);
            EXPECT_TRUE(host->listener.events.empty());
            EXPECT_STREQ(host->mgr.GetSlot(1).mName, "...");
            host->mgr.GetSlot(1).Desactivate();
        }
        SocketClose(peer);
        EXPECT_TRUE(host->mgr.IsConnected());
    }
    EXPECT_EQ(log.shootParams, 0);   // nothing half-read reached the game
}

TEST_F(LanTest, FramesSplitAcrossPollsAreAssembledIntoOneMessage) {
    auto host = MakeHost();
    int peer = ConnectRaw(*host, port);
    {
        CObjnet login;
        login.StartSignature(NETSIG_R_QUERY_LOGIN);
        login.WriteString("Anna");
        login.End();
        const std::vector<unsigned char> bytes = Framed(login);
        ASSERT_TRUE(SendRaw(peer, bytes.data(), bytes.size()));
        ASSERT_TRUE(PumpUntil({&host->mgr}, [&] { return host->mgr.GetPlayerCount() == 2; }));
        host->listener.events.clear();
        Traces().clear();
    }

    std::vector<unsigned char> payload(10000);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<unsigned char>(i * 7);
    CObjnet object;
    object.StartSignature("CTeamInfosPacketV1");
    object.WriteBuffer(payload.data(), int(payload.size()));
    object.End();
    CObjnet message;
    message.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    message.WriteUInt(1);
    message.WriteObject(&object);
    message.End();
    const std::vector<unsigned char> bytes = Framed(message);

    // Header as 1 + 3 bytes, then the body in pieces, with polls between.
    size_t at = 0;
    for (size_t piece : {size_t(1), size_t(3), size_t(2000), size_t(1), size_t(5000), bytes.size()}) {
        const size_t n = std::min(piece, bytes.size() - at);
        ASSERT_TRUE(SendRaw(peer, bytes.data() + at, n));
        at += n;
        PumpRounds({&host->mgr}, 3);
        if (at < bytes.size()) {
            EXPECT_TRUE(host->listener.events.empty());
        }
    }
    ASSERT_TRUE(PumpUntil({&host->mgr}, [&] { return !host->listener.events.empty(); }));
    PumpRounds({&host->mgr}, 5);
    EXPECT_EQ(host->listener.events, std::vector<std::string>{"custom:1:" + std::to_string(object.GetSize())});
    EXPECT_EQ(CountTraces("CNetMgr::_OnTCPCObjnetReceived(from=1)"), 1);

    // The same host then takes a second message on the same stream.
    ASSERT_TRUE(SendFrame(peer, message));
    ASSERT_TRUE(PumpUntil({&host->mgr}, [&] { return host->listener.events.size() == 2; }));
    SocketClose(peer);
    ASSERT_TRUE(PumpUntil({&host->mgr}, [&] { return host->mgr.GetSlot(1).mActive == 0; }));
}

// A client facing a host that is not one of ours: a raw listener.
TEST_F(LanTest, AClientDropsAHostThatSendsGarbage) {
    auto loginAnswer = [](int32_t index, const char* gameName, std::vector<std::vector<unsigned char>> records) {
        CObjnet desc;
        desc.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
        desc.WriteString(gameName);
        desc.WriteUShort(2);
        desc.WriteUShort(6);
        desc.End();
        CObjnet* m = Begin(NETSIG_A_QUERY_LOGIN);
        m->WriteInt(index);
        m->WriteObject(&desc);
        for (const auto& r : records)
            WriteObjectBytes(*m, r);
        return Finish(m);
    };
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool lost;
    };
    std::vector<Case> cases;
    cases.push_back({"login answer giving index 9", loginAnswer(9, "Partie", {}), true});
    cases.push_back({"login answer giving index 0 (the host's)", loginAnswer(0, "Partie", {}), true});
    cases.push_back({"game name of 40 characters", loginAnswer(1, kLongName.c_str(), {}), true});
    cases.push_back({"record for slot 7", loginAnswer(1, "Partie", {ClientRecord("Eve", 7, 0)}), true});
    cases.push_back({"record name of 40 characters skipped",
                     loginAnswer(1, "Partie", {ClientRecord(kLongName.c_str(), 2, 0)}), false});
    {
        CObjnet* m = Begin(NETSIG_A_LEAVE_PLAYER);
        m->WriteUInt(7);
        cases.push_back({"leave notice for slot 7", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_A_NEW_PLAYER);
        m->WriteInt(-1);
        WriteObjectBytes(*m, ClientRecord("Eve", 3, 0));
        cases.push_back({"new player at slot -1", Finish(m), true});
    }
    {
        CObjnet* m = Begin(NETSIG_A_NEW_PLAYER);
        m->WriteInt(3);
        WriteObjectBytes(*m, ClientRecord(kLongName.c_str(), 3, 0));
        cases.push_back({"new player whose name is too long", Finish(m), false});
    }

    const int fakeHost = ListenPort(port, 10);
    ASSERT_GE(fakeHost, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Node client(port);
        ASSERT_TRUE(client.mgr.JoinGame(kLoopback, port, "Bob"));
        ASSERT_EQ(SocketCanReadTimeout(fakeHost, 2, 0), 1);
        int link = SocketAccept(fakeHost);
        ASSERT_GE(link, 0);
        ASSERT_TRUE(SendRaw(link, c.bytes.data(), c.bytes.size()));
        if (c.lost) {
            EXPECT_TRUE(PumpUntil({&client.mgr}, [&] { return !client.mgr.IsConnected(); }));
            EXPECT_TRUE(client.listener.Has("hostlost"));
            EXPECT_TRUE(PeerClosed(link));
        } else {
            PumpRounds({&client.mgr}, 20);
            EXPECT_TRUE(client.mgr.IsConnected());
            for (int i = 2; i < 6; ++i)
                EXPECT_EQ(client.mgr.GetSlot(i).mActive, 0) << i;
        }
        SocketClose(link);
    }
    SocketClose(fakeHost);
}

TEST_F(LanTest, TheLoginRequestCarriesTheNameAndTheAnswerIsApplied) {
    const int fakeHost = ListenPort(port, 10);
    ASSERT_GE(fakeHost, 0);
    Node client(port);
    ASSERT_TRUE(client.mgr.JoinGame(kLoopback, port, "Bob"));
    int link = SocketAccept(fakeHost);
    ASSERT_GE(link, 0);

    // The request as it arrives on the wire.
    unsigned char header[4];
    ASSERT_EQ(SocketCanReadTimeout(link, 2, 0), 1);
    ASSERT_EQ(SocketRecv(link, header, 4), 4);
    std::vector<unsigned char> body(CObjnet::ReadU32At(header));
    ASSERT_EQ(SocketRecv(link, body.data(), int(body.size())), int(body.size()));
    CObjnet request;
    request.SetData(body.data(), int(body.size()));
    ASSERT_EQ(request.BeginReadSignature(NETSIG_R_QUERY_LOGIN), 0);
    char name[32];
    request.ReadStringInto(name, 32);
    EXPECT_STREQ(name, "Bob");

    CObjnet desc;
    desc.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
    desc.WriteString("Partie");
    desc.WriteUShort(1);
    desc.WriteUShort(6);
    desc.End();
    CObjnet answer;
    answer.StartSignature(NETSIG_A_QUERY_LOGIN);
    answer.WriteInt(1);
    answer.WriteObject(&desc);
    WriteObjectBytes(answer, ClientRecord("Partie", 0, 1));
    WriteObjectBytes(answer, ClientRecord("Bob", 1, 0));
    answer.End();
    ASSERT_TRUE(SendFrame(link, answer));
    ASSERT_TRUE(PumpUntil({&client.mgr}, [&] { return client.listener.Has("added:1"); }));
    EXPECT_EQ(client.mgr.GetOwnIndex(), 1);
    EXPECT_EQ(client.mgr.GetSlot(0).mTeam, 1);   // slot 0 keeps the record's team
    EXPECT_STREQ(client.mgr.GetSlot(0).mName, "Partie");
    EXPECT_EQ(client.mgr.GetSlot(1).mTeam, -1);   // a fresh activation has no team
    EXPECT_EQ(CountTraces("=> My index is : 1"), 1);
    SocketClose(link);
    SocketClose(fakeHost);
}

TEST_F(LanTest, EnumerationKeepsOnlyWellFormedAnswersWhileItRuns) {
    Node seeker(port);
    ASSERT_TRUE(seeker.mgr.Init());
    auto answer = [](const char* name, bool cut) {
        CObjnet desc;
        desc.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
        desc.WriteString(name);
        desc.WriteUShort(2);
        if (!cut)
            desc.WriteUShort(4);
        desc.End();
        CObjnet m;
        m.StartSignature(NETSIG_A_QUERY_GAMELIST);
        m.WriteObject(&desc);
        m.End();
        return Bytes(m);
    };
    const std::vector<unsigned char> good = answer("Boulodrome", false);
    const uint32_t from = 0x7F000002u;

    // Games answer from the game's ports: the base port and the one after it.
    seeker.mgr.HandleDatagram(good.data(), int(good.size()), from, port);   // not enumerating: ignored
    EXPECT_EQ(seeker.mgr.GetFoundGames().GetCount(), 0);

    ASSERT_TRUE(seeker.mgr.StartEnumeration());
    const std::vector<std::vector<unsigned char>> bad = {
        answer(kLongName.c_str(), false), answer("Cut", true), {1, 2}, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 9}};
    for (const auto& d : bad)
        seeker.mgr.HandleDatagram(d.data(), int(d.size()), from, port);
    seeker.mgr.HandleDatagram(good.data(), int(good.size()), from, uint16_t(port + 1));
    ASSERT_EQ(seeker.mgr.GetFoundGames().GetCount(), 1);
    const CNetGameDesc* game = seeker.mgr.GetFoundGames().GetHead();
    EXPECT_STREQ(game->mName, "Boulodrome");
    EXPECT_EQ(game->mAddress, from);
    EXPECT_EQ(game->mPort, port + 1);
    EXPECT_EQ(game->mPlayerCount, 2);
    EXPECT_EQ(game->mMaxPlayers, 4);
}
