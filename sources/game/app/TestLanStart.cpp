#include "TestLanStart.h"

#include "ControlerTable.h"
#include "TestReport.h"

#include <CNetMgr.h>
#include <Platform.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t kLoopback = 0x7F000001u;

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

}  // namespace

void TestLanStartUp(bool virtualClock) {
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
}
