#include "TestLanStart.h"

#include "CGameMaster.h"
#include "ControlerTable.h"
#include "TestReport.h"

#include <CNetMgr.h>
#include <CObjnet.h>
#include <NetMessages.h>
#include <Platform.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

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

// One ball block of a ball-position body: final state and place, then
// `frames` frames at that place.
void WriteBallBlock(CObjnet& out, uint8_t index, const char* name, int32_t visible, float x, float y, float z,
                    uint32_t frames) {
    out.WriteByte(index);
    out.WriteString(name);
    out.WriteInt(1);
    out.WriteInt(visible);
    out.WriteInt(1);
    for (float v : {x, y, z})
        out.WriteFloat(v);
    for (uint32_t r = 0; r < frames; ++r) {
        out.WriteByte(uint8_t(visible));
        for (float v : {x, y, z})
            out.WriteFloat(v);
    }
}

// Well-formed ball positions with hostile values, one kind a throw in turn.
void SendHostileBallPositions(int32_t controller) {
    static int throwCount = 0;
    const int kind = throwCount++ % 4;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CObjnet message;
    message.StartSignature(NETSIG_E_BALLS_POSITIONS);
    message.WriteUInt(static_cast<uint32_t>(g_NetClient.mId));
    message.WriteInt(controller);
    message.WriteUInt(2);
    switch (kind) {
    case 0:
        WriteBallBlock(message, 1, "boule 1", 1, nan, nan, nan, 2);
        break;
    case 1:
        WriteBallBlock(message, 1, "boule 1", 1, 1e30f, 0.0f, -1e30f, 2);
        break;
    case 2:
        WriteBallBlock(message, 1, "terrain_collision", 1, 0.0f, 0.5f, 0.0f, 2);
        break;
    default:
        WriteBallBlock(message, 0, "terrain", 0, 0.0f, -100.0f, 0.0f, 2);
        WriteBallBlock(message, 1, "CameraLancer", 0, 0.0f, -100.0f, 0.0f, 2);
        WriteBallBlock(message, 2, "CameraSuiviLancer", 0, 0.0f, -100.0f, 0.0f, 2);
        break;
    }
    message.End();
    g_NetMgr.TCPSendAction(message);
    TestReport("hostile balls %d", kind);
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
    const char* hostile = std::getenv("TAVIRELO_TEST_LAN_HOSTILE_BALLS");
    if (hostile && std::strcmp(hostile, "1") == 0)
        CGameMaster::sAfterOwnBallPositions = &SendHostileBallPositions;
}
