#include "ControlerTable.h"

#include <CNetMgr.h>
#include <HalNet.h>

#include <cstring>

ControlerEntry ControlerTable[CONTROLER_COUNT];
int32_t g_ControlerCurrentIndex[2] = {-1, -1};
int32_t g_OwnControlerType = 0;
uint8_t g_ControlerTableFilled = 0;
uint8_t g_OwnSidesComputerPlayed = 0;
ControlerEntry g_DummyControler;

void ResetControlers() {
    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        ControlerTable[i].Clear();
        ControlerTable[i].mIndex = i;
    }
    g_ControlerCurrentIndex[0] = -1;
    g_ControlerCurrentIndex[1] = -1;
    g_OwnControlerType = 0;
    g_ControlerTableFilled = 0;
}

const char* ControlerTypeToString(int32_t type) {
    static const char* const names[] = {
        "e_undefined",
        "e_local1", "e_local2", "e_local3", "e_local4", "e_local5", "e_local6",
        "e_lan1", "e_lan2", "e_lan3", "e_lan4", "e_lan5", "e_lan6",
        "e_ia",
    };
    if (type < 0 || type > e_ia)
        return "??? Unknown";
    return names[type];
}

namespace {
int32_t FloatBits(float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

float BitsFloat(int32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

bool ValidIndex(int32_t index) { return index >= 0 && index < CONTROLER_COUNT; }
}  // namespace

bool ControlerEntry::SetShootOptions(const ShootOptions& options)
{
    mShootOptions[0] = FloatBits(options.angle);
    mShootOptions[1] = static_cast<int32_t>(options.playerIndex);
    mShootOptions[2] = static_cast<int32_t>(options.throwMode);
    mShootOptions[3] = static_cast<int32_t>(options.effect);
    mShootOptions[4] = FloatBits(options.aimX);
    mShootOptions[5] = FloatBits(options.aimY);
    mShootOptions[6] = FloatBits(options.aimZ);
    mShootOptions[7] = options.fatigue;
    mShootOptions[8] = options.stress;
    mShootOptions[9] = static_cast<int32_t>(options.ballsLeft);
    mShootOptionsReceived = true;
    return true;
}

ShootOptions ControlerEntry::GetShootOptions() const
{
    ShootOptions options;
    options.angle = BitsFloat(mShootOptions[0]);
    options.playerIndex = static_cast<uint32_t>(mShootOptions[1]);
    options.throwMode = static_cast<uint32_t>(mShootOptions[2]);
    options.effect = static_cast<uint32_t>(mShootOptions[3]);
    options.aimX = BitsFloat(mShootOptions[4]);
    options.aimY = BitsFloat(mShootOptions[5]);
    options.aimZ = BitsFloat(mShootOptions[6]);
    options.fatigue = mShootOptions[7];
    options.stress = mShootOptions[8];
    options.ballsLeft = static_cast<uint32_t>(mShootOptions[9]);
    return options;
}

bool ControlerEntry::SetLaunchSet(const LaunchSetValues& values)
{
    mLaunchSet[0] = values.angle;
    mLaunchSet[1] = values.directionX;
    mLaunchSet[2] = values.directionY;
    mLaunchSet[3] = values.directionZ;
    mLaunchSet[4] = values.effect;
    mLaunchSet[5] = values.speed;
    mLaunchSetReceived = true;
    return true;
}

LaunchSetValues ControlerEntry::GetLaunchSet() const
{
    LaunchSetValues values;
    values.angle = mLaunchSet[0];
    values.directionX = mLaunchSet[1];
    values.directionY = mLaunchSet[2];
    values.directionZ = mLaunchSet[3];
    values.effect = mLaunchSet[4];
    values.speed = mLaunchSet[5];
    return values;
}

ControlerEntry& GetNextControlerForTeam(int32_t side)
{
    if (side != 0 && side != 1)
        return g_DummyControler;
    int32_t& index = g_ControlerCurrentIndex[side];
    // An index outside the table (never set, or corrupted) restarts at the first entry.
    index = ValidIndex(index) ? (index + 1) % CONTROLER_COUNT : 0;
    for (int tries = 0; tries < CONTROLER_COUNT; ++tries) {
        if (ControlerTable[index].mTeam == side)
            return ControlerTable[index];
        index = (index + 1) % CONTROLER_COUNT;
    }
    return g_DummyControler;
}

ControlerEntry& GetCurrentControlerForTeam(int32_t side)
{
    if (side != 0 && side != 1)
        return g_DummyControler;
    const int32_t index = g_ControlerCurrentIndex[side];
    return ValidIndex(index) ? ControlerTable[index] : g_DummyControler;
}

ControlerEntry& FindControler(int32_t type)
{
    for (ControlerEntry& entry : ControlerTable)
        if (entry.mType == type)
            return entry;
    return g_DummyControler;
}

uint32_t ControlerMessageStep(int32_t type)
{
    if (type < e_lan1 || type > e_lan6)
        return 0;
    return g_NetMgr.GetStepsSignalled(type - e_lan1);
}

void DumpControlers()
{
    NetTrace("====DumpControlers()======================");
    NetTrace(" Current for Team A = %d  Current for Team B = %d", g_ControlerCurrentIndex[0],
             g_ControlerCurrentIndex[1]);
    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        const ControlerEntry& entry = ControlerTable[i];
        const char* team = "";
        const char* current = "";
        if (entry.mType != e_undefined) {
            if (entry.mTeam == 0)
                team = "Team A";
            else if (entry.mTeam == 1)
                team = "Team B";
            if (g_ControlerCurrentIndex[0] == i)
                current = "<=Current for Team A";
            else if (g_ControlerCurrentIndex[1] == i)
                current = "<=Current for Team B";
        }
        // The name is a fixed buffer filled from the network: never read past it.
        NetTrace("-(%d) Type=%s Team=%s Name=%.*s   %s", entry.mIndex, ControlerTypeToString(entry.mType), team,
                 static_cast<int>(sizeof(entry.mName)), entry.mName, current);
    }
    NetTrace("==========================================");
}

// Each entry is constructed empty (constant initialisation above),
// then the whole table is reset before the entry point.
namespace {
struct ControlerTableStartup {
    ControlerTableStartup() { ResetControlers(); }
};
ControlerTableStartup sControlerTableStartup;
}  // namespace
