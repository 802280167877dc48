#include "TestLanStart.h"

#include "CGameMode.h"
#include "ControlerTable.h"
#include "TestReport.h"

#include <CEnvironment.h>
#include <CNetMgr.h>
#include <CNetMgrInterface.h>
#include <CObjnet.h>
#include <CSceneMgr.h>
#include <NetMessages.h>
#include <Platform.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kMatchSection[] = "QUICKMATCHPARAMS";
const uint32_t kLoopback = 0x7F000001u;
// How long the host waits for its client, and the client for the start.
const uint32_t kMeetingMs = 60000;
const uint32_t kPollMs = 5;

bool ParsePort(const char* text, uint16_t& port) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || value < 1 || value > 65534)
        return false;
    port = uint16_t(value);
    return true;
}

// A dotted IPv4 address, first octet in the high byte.
bool ParseAddress(const char* text, uint32_t& address) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    char extra = 0;
    if (!text || std::sscanf(text, "%u.%u.%u.%u%c", &a, &b, &c, &d, &extra) != 4 || a > 255 || b > 255 || c > 255 ||
        d > 255)
        return false;
    address = (a << 24) | (b << 16) | (c << 8) | d;
    return true;
}

// Only a "QUICKMATCHPARAMS" section is taken from the host: a peer must not
// write the player's settings or any other section.
bool IsMatchSection(CObjnet& section) {
    char name[32] = {0};
    section.Rewind();
    const bool named = section.BeginReadSignature("environment") == 0 &&
                       section.ReadStringInto(name, int(sizeof(name))) >= 0 && !section.IsFailed() &&
                       std::strcmp(name, kMatchSection) == 0;
    section.Rewind();
    return named;
}

// The client's side of the meeting: the host's start message.
class StartListener : public CNetMgrInterface {
public:
    void OnEnumerationComplete(CNetGameDescList*) override {}
    void OnConnectionFailed() override { mFailed = true; }
    void OnLoginAccepted() override {}
    void OnPlayerAdded(int) override {}
    void OnPlayerLeft(int) override {}
    void OnHostLost() override { mFailed = true; }
    void OnChatMessage(int, const char*) override {}
    void OnStartGame(CObjnet* params) override {
        if (!params || !IsMatchSection(*params)) {
            PlatLog("TestLanStartUp: the host's start names another section than %s; ignored", kMatchSection);
            return;
        }
        mStarted = gSceneMgr.GetEnvironment().UnserializeSection(params) == 0;
        if (!mStarted)
            mFailed = true;
    }
    void OnPlayerUpdated(int) override {}
    void OnCustomObject(int, CObjnet*) override {}

    bool mStarted = false;
    bool mFailed = false;
};

// The lobby's start, on every machine alike: the match's own flag, the same
// random sequence, and a session that takes nobody more.
void EnterMatch() {
    CEnvironment& env = gSceneMgr.GetEnvironment();
    int quickMatch = 0;
    if (CEnvironmentVariable* v = env.GetVariable(kMatchSection, "QuickMatch", true))
        quickMatch = v->GetType() == CEnvironmentVariable::TYPE_INT     ? v->GetInt()
                     : v->GetType() == CEnvironmentVariable::TYPE_FLOAT ? int(v->GetFloat())
                                                                        : 0;
    if (CEnvironmentVariable* v = env.GetVariable("GAMEPARAMS", "QuickMatch", true))
        v->SetInt(quickMatch);
    KemSrand(0);
    g_NetMgr.mClosed = 1;
}

bool ClientsLoggedIn(int wanted) {
    int count = 0;
    for (int i = 1; i < CNetMgr::SLOT_COUNT; ++i)
        if (g_NetMgr.GetSlot(i).mActive && g_NetMgr.GetSlot(i).mLoggedIn)
            ++count;
    return count >= wanted;
}

bool Host(const char* name) {
    CNetGameDesc desc;
    desc.mMaxPlayers = CNetMgr::SLOT_COUNT;
    std::strncpy(desc.mName, name && *name ? name : "Host", sizeof(desc.mName) - 1);
    if (!g_NetMgr.HostGame(desc)) {
        TestReport("lan error host");
        return false;
    }
    TestReport("lan host %u", unsigned(g_NetMgr.GetPort()));
    const uint32_t start = PlatGetTimeMs();
    while (!ClientsLoggedIn(1)) {
        if (PlatGetTimeMs() - start > kMeetingMs || !g_NetMgr.IsConnected()) {
            TestReport("lan error no client");
            return false;
        }
        g_NetMgr.Manage();
        PlatSleep(kPollMs);
    }
    CObjnet& message = g_NetMgr.GetOutgoingMessage();
    message.StartSignature(NETSIG_E_HOST_START_GAME);
    gSceneMgr.GetEnvironment().SerializeSection(&message, kMatchSection);
    message.End();
    if (!g_NetMgr.TCPSendAction(message)) {
        TestReport("lan error start");
        return false;
    }
    return true;
}

bool Join(const char* name) {
    StartListener listener;
    g_NetMgr.SetListener(&listener);
    bool started = false;
    if (g_NetMgr.JoinGame(kLoopback, g_NetMgr.GetBasePort(), name && *name ? name : "Client")) {
        const uint32_t start = PlatGetTimeMs();
        while (!listener.mStarted && !listener.mFailed && g_NetMgr.IsConnected() &&
               PlatGetTimeMs() - start <= kMeetingMs) {
            g_NetMgr.Manage();
            PlatSleep(kPollMs);
        }
        started = listener.mStarted && g_NetMgr.IsConnected();
    }
    g_NetMgr.SetListener(nullptr);
    if (!started) {
        TestReport("lan error join");
        return false;
    }
    TestReport("lan joined %d", g_NetMgr.GetOwnIndex());
    return true;
}

}  // namespace

int TestLanStartUp(int mode, bool virtualClock) {
    if (virtualClock)
        g_NetMgr.SetClock(&PlatGetTimeMs);
    uint32_t target = 0;
    const bool targeted = ParseAddress(std::getenv("TAVIRELO_TEST_NET_BROADCAST"), target);
    if (targeted)
        g_NetMgr.SetBroadcastAddress(target);
    uint16_t port = 0;
    if (ParsePort(std::getenv("TAVIRELO_TEST_NET_PORT"), port)) {
        g_NetMgr.SetBasePort(port);
        // A port of the test's own never broadcasts: games are found on loopback.
        if (!targeted)
            g_NetMgr.SetBroadcastAddress(kLoopback);
        if (g_NetMgr.Init())
            TestReport("lan port %u", unsigned(g_NetMgr.GetPort()));
        else
            TestReport("lan error sockets %u", unsigned(port));
    }
    const char* computer = std::getenv("TAVIRELO_TEST_LAN_COMPUTER");
    if (computer && std::strcmp(computer, "1") == 0)
        g_OwnSidesComputerPlayed = 1;

    const char* lan = std::getenv("TAVIRELO_TEST_LAN");
    if (!lan)
        return mode;
    const char* name = std::getenv("TAVIRELO_TEST_LAN_NAME");
    bool ready = false;
    if (std::strcmp(lan, "host") == 0)
        ready = Host(name);
    else if (std::strcmp(lan, "join") == 0)
        ready = Join(name);
    else
        PlatLog("TestLanStartUp: TAVIRELO_TEST_LAN=%s is neither host nor join", lan);
    if (!ready) {
        g_NetMgr.CloseSession();
        return mode;
    }
    EnterMatch();
    TestReport("lan start");
    return GAME_MODE_QUICK_MATCH;
}
