// Shared pieces of the LAN tests: a test clock, a recording listener, trace
// capture, free loopback ports, managers that close their sockets, raw
// framed sends and bounded polling. Everything stays on 127.0.0.1.
#pragma once

#include <CNetMgr.h>
#include <HalNet.h>
#include <HalTimer.h>

#include "TestPorts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace nettest {

constexpr uint32_t kLoopback = 0x7F000001u;   // 127.0.0.1, first octet high

// ---- clock -----------------------------------------------------------------------
inline uint32_t& ClockNow() {
    static uint32_t now = 1000;
    return now;
}
inline uint32_t TestClock() { return ClockNow(); }

// ---- traces ----------------------------------------------------------------------
inline std::vector<std::string>& Traces() {
    static std::vector<std::string> lines;
    return lines;
}
inline void CollectTrace(const char* text) { Traces().push_back(text); }
inline int CountTraces(const std::string& part) {
    int n = 0;
    for (const std::string& line : Traces())
        if (line.find(part) != std::string::npos)
            ++n;
    return n;
}

// ---- listener --------------------------------------------------------------------
// Every call becomes one line: "enum:<count>", "connfail", "login",
// "added:<i>", "left:<i>", "hostlost", "chat:<i>:<text>", "start:<type id>",
// "updated:<i>", "custom:<i>:<size>".
class Recorder : public CNetMgrInterface {
public:
    std::vector<std::string> events;
    std::vector<CNetGameDesc> lastGames;

    void OnEnumerationComplete(CNetGameDescList* games) override {
        lastGames.clear();
        for (CNetGameDesc* d = games->GetHead(); d; d = CNetGameDescList::Next(d)) {
            lastGames.emplace_back();
            lastGames.back().CopyFrom(*d);
        }
        events.push_back("enum:" + std::to_string(games->GetCount()));
    }
    void OnConnectionFailed() override { events.push_back("connfail"); }
    void OnLoginAccepted() override { events.push_back("login"); }
    void OnPlayerAdded(int index) override { events.push_back("added:" + std::to_string(index)); }
    void OnPlayerLeft(int index) override { events.push_back("left:" + std::to_string(index)); }
    void OnHostLost() override { events.push_back("hostlost"); }
    void OnChatMessage(int sender, const char* text) override {
        events.push_back("chat:" + std::to_string(sender) + ":" + text);
    }
    void OnStartGame(CObjnet* params) override { events.push_back("start:" + std::to_string(params->GetTypeId())); }
    void OnPlayerUpdated(int index) override { events.push_back("updated:" + std::to_string(index)); }
    bool OnCustomObject(int sender, CObjnet* object) override {
        events.push_back("custom:" + std::to_string(sender) + ":" + std::to_string(object->GetSize()));
        return true;
    }

    int Count(const std::string& event) const {
        int n = 0;
        for (const std::string& e : events)
            if (e == event)
                ++n;
        return n;
    }
    bool Has(const std::string& event) const { return Count(event) > 0; }
};

// ---- managers --------------------------------------------------------------------
// A manager on the test's ports, targeting loopback for enumeration, with a
// recorder installed; its sockets are closed when it goes.
struct Node {
    CNetMgr mgr;
    Recorder listener;
    explicit Node(uint16_t basePort) {
        mgr.SetBasePort(basePort);
        mgr.SetBroadcastAddress(kLoopback);
        mgr.SetListener(&listener);
    }
    ~Node() { mgr.Shutdown(); }
};

// Throw messages reach the game through these recorders.
struct ThrowLog {
    int shootParams = 0, shootOptions = 0, launchSets = 0, ballPositions = 0;
    int32_t lastController = 0;
    NetShootParams params;
    NetShootOptions options;
    NetLaunchSet launch;
};

// A base port p with UDP and TCP free on p and p + 1, claimed for this test.
inline uint16_t FindFreePortPair() {
    const uint16_t port = testports::ReservePortPair();
    if (port == 0)
        ADD_FAILURE() << "no free port pair on 127.0.0.1";
    return port;
}

// ---- polling ---------------------------------------------------------------------
// Runs Manage on every manager, then checks; sleeps 1 ms between rounds.
// Bounded: false after maxRounds.
inline bool PumpUntil(std::initializer_list<CNetMgr*> managers, const std::function<bool()>& done,
                      int maxRounds = 3000) {
    for (int round = 0; round < maxRounds; ++round) {
        for (CNetMgr* m : managers)
            m->Manage();
        if (done())
            return true;
        usleep(1000);
    }
    return false;
}
inline void PumpRounds(std::initializer_list<CNetMgr*> managers, int rounds) {
    PumpUntil(managers, [] { return false; }, rounds);
}

// ---- raw peers -------------------------------------------------------------------
inline bool SendRaw(int socket, const void* bytes, size_t n) {
    return SocketSendAll(socket, bytes, int(n)) == 0;
}
inline bool SendFrame(int socket, const CObjnet& message) {
    unsigned char header[4];
    CObjnet::WriteU32At(uint32_t(message.GetSize()), header);
    return SendRaw(socket, header, 4) && SendRaw(socket, message.GetData(), size_t(message.GetSize()));
}
inline std::vector<unsigned char> Bytes(const CObjnet& message) {
    return std::vector<unsigned char>(message.GetData(), message.GetData() + message.GetSize());
}
// A message with its length header, as a peer writes it on the stream.
inline std::vector<unsigned char> Framed(const CObjnet& message) {
    std::vector<unsigned char> bytes(4);
    CObjnet::WriteU32At(uint32_t(message.GetSize()), bytes.data());
    bytes.insert(bytes.end(), message.GetData(), message.GetData() + message.GetSize());
    return bytes;
}
inline bool Send(int socket, const std::vector<unsigned char>& bytes) {
    return SendRaw(socket, bytes.data(), bytes.size());
}
inline std::vector<unsigned char> Login(const std::string& name) {
    CObjnet m;
    m.StartSignature(NETSIG_R_QUERY_LOGIN);
    m.WriteString(name.c_str());
    m.End();
    return Framed(m);
}
// A player record in an update, for the slot `index`.
inline std::vector<unsigned char> UpdatePlayer(uint32_t index, const char* name, int32_t team) {
    CObjnet record;
    record.StartSignature(NETSIG_CNETCLIENT_RECORD);
    record.WriteString(name);
    record.WriteInt(int32_t(index));
    record.WriteInt(team);
    record.End();
    CObjnet m;
    m.StartSignature(NETSIG_E_UPDATE_PLAYER);
    m.WriteUInt(index);
    m.WriteObject(&record);
    m.End();
    return Framed(m);
}
// True once the peer has closed the connection (bounded wait); whatever it
// sent before is read and dropped.
inline bool PeerClosed(int socket) {
    char buffer[4096];
    for (int reads = 0; reads < 1000; ++reads) {
        if (SocketCanReadTimeout(socket, 2, 0) != 1)
            return false;
        const int n = SocketRecv(socket, buffer, int(sizeof(buffer)));
        if (n <= 0)
            return n == 0;
    }
    return false;
}

// ---- fixture ---------------------------------------------------------------------
class LanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClockNow() = 1000;
        HalSetTimeSource(&TestClock);
        Traces().clear();
        NetSetTraceCallback(&CollectTrace);
        port = FindFreePortPair();
        ASSERT_NE(port, 0);
    }
    void TearDown() override {
        NetSetTraceCallback(nullptr);
        HalSetTimeSource(nullptr);
    }

    void Advance(uint32_t ms) { ClockNow() += ms; }

    // A host on the test port offering a game.
    std::unique_ptr<Node> MakeHost(uint16_t maxPlayers = 6, const char* name = "Partie") {
        std::unique_ptr<Node> node(new Node(port));
        EXPECT_TRUE(node->mgr.Init());
        CNetGameDesc desc(kLoopback, node->mgr.GetPort());
        desc.mMaxPlayers = maxPlayers;
        NetCopyName(desc.mName, name);
        EXPECT_TRUE(node->mgr.HostGame(desc));
        return node;
    }
    // A client that has joined the host and consumed everything it was sent.
    std::unique_ptr<Node> Join(Node& host, const char* name, std::initializer_list<CNetMgr*> others = {}) {
        std::unique_ptr<Node> node(new Node(port));
        EXPECT_TRUE(node->mgr.JoinGame(kLoopback, host.mgr.GetPort(), name));
        Node* n = node.get();
        std::vector<CNetMgr*> all{&host.mgr, &n->mgr};
        all.insert(all.end(), others.begin(), others.end());
        const int before = host.mgr.GetPlayerCount();
        for (int round = 0; round < 3000; ++round) {
            for (CNetMgr* m : all)
                m->Manage();
            if (n->listener.Has("login") && host.mgr.GetPlayerCount() == before + 1 &&
                n->mgr.GetPlayerCount() == before + 1)
                break;
            usleep(1000);
        }
        EXPECT_TRUE(n->listener.Has("login"));
        for (int round = 0; round < 20; ++round) {   // let the follow-up messages land
            for (CNetMgr* m : all)
                m->Manage();
            usleep(500);
        }
        return node;
    }

    uint16_t port = 0;
};

}  // namespace nettest
