// The global table of the six controller entries: which local player, LAN
// peer or computer controls each side, and the throw data received from LAN
// peers for each entry.
#pragma once

#include <cstdint>

enum ControlerType : int32_t {
    e_undefined = 0,
    e_local1 = 1, e_local2, e_local3, e_local4, e_local5, e_local6,
    e_lan1 = 7, e_lan2, e_lan3, e_lan4, e_lan5, e_lan6,
    e_ia = 13,
};

const int CONTROLER_COUNT = 6;

// The values of "CNetClient::e_shoot_options2", in message order.
struct ShootOptions {
    float angle = 0.0f;          // the aim guide's launch angle
    uint32_t playerIndex = 0;    // current-player index of the side's team
    uint32_t throwMode = 0;      // the thrower's throw mode
    uint32_t effect = 0;         // the current ball's effect mode
    float aimX = 0.0f, aimY = 0.0f, aimZ = 0.0f;
    int32_t fatigue = 0;
    int32_t stress = 0;
    uint32_t ballsLeft = 0;
};

// The six floats of "CNetClient::e_launchset()", in message order.
struct LaunchSetValues {
    float angle = 0.0f;
    float directionX = 0.0f, directionY = 0.0f, directionZ = 0.0f;
    float effect = 0.0f;
    float speed = 0.0f;
};

class ControlerEntry {
public:
    // Empty: type e_undefined, team -1, every flag false, name empty.
    constexpr ControlerEntry() = default;
    void Clear() { *this = ControlerEntry(); }

    // Store a received message's values and raise its flag; true.
    bool SetShootOptions(const ShootOptions& options);
    bool SetLaunchSet(const LaunchSetValues& values);
    // The stored values, typed.
    ShootOptions GetShootOptions() const;
    LaunchSetValues GetLaunchSet() const;

    int32_t mType = e_undefined;
    int32_t mTeam = -1;
    char mName[32] = {0};

    bool mShootParamsReceived = false;
    float mPresetShootingAngle = 0.0f;
    float mPresetUnbalance = 0.0f;
    int32_t mPresetBalanceGoAndBack = 0;
    float mPresetPower = 0.0f;
    float mPower = 0.0f;
    float mSpeed = 0.0f;
    float mShootingAngle = 0.0f;
    float mBalance = 0.0f;

    bool mShootOptionsReceived = false;
    int32_t mShootOptions[10] = {0};   // message order, raw 32-bit values (see ShootOptions)

    bool mBallPositionsReceived = false;

    bool mLaunchSetReceived = false;
    float mLaunchSet[6] = {0};         // angle, direction x, y, z, effect, initial speed

    // The throw (match step) the launch set and the ball positions were
    // received for: a machine's throw messages belong to the step it has
    // signalled last. A throw takes only its own.
    uint32_t mLaunchSetStep = 0;
    uint32_t mBallPositionsStep = 0;

    int32_t mIndex = 0;                // slot index 0..5
};

// The table and its table-wide values. Constant-initialised, then reset once
// during static initialization (ControlerTable.cpp).
extern ControlerEntry ControlerTable[CONTROLER_COUNT];
extern int32_t g_ControlerCurrentIndex[2];   // per side; -1: none
extern int32_t g_OwnControlerType;            // this machine's controller type
extern uint8_t g_ControlerTableFilled;        // set by the match mode once filled
extern ControlerEntry g_DummyControler;       // returned when no entry matches
// In a LAN match, the computer plays the sides of this machine's own
// controller (its decisions become this machine's throws for the peers).
// Set before a match; kept by ResetControlers.
extern uint8_t g_OwnSidesComputerPlayed;

// Clears every entry again, gives the entries their indexes 0 to 5, both
// per-side current indexes -1, own controller type 0, the flag byte 0.
void ResetControlers();

// "e_undefined", "e_local1".."e_local6", "e_lan1".."e_lan6", "e_ia", else "??? Unknown".
const char* ControlerTypeToString(int32_t type);

// Moves the side's current index cyclically (from one past it) to the next
// entry of that side and returns it. After six misses: the dummy entry, with
// the index moved by one. A side other than 0 or 1 gets the dummy entry and
// changes nothing.
ControlerEntry& GetNextControlerForTeam(int32_t side);
// The entry at the side's current index; the dummy entry when there is none.
ControlerEntry& GetCurrentControlerForTeam(int32_t side);
// The first entry of that type; the dummy entry when there is none.
ControlerEntry& FindControler(int32_t type);
// The match step a LAN controller's messages received now belong to (0
// outside a LAN match or for another kind of controller).
uint32_t ControlerMessageStep(int32_t type);
// The table to the trace log.
void DumpControlers();
