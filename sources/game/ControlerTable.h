// The global table of the six controller
// entries. The received-message setters and lookups come with the game core.
#pragma once

#include <cstdint>

enum ControlerType : int32_t {
    e_undefined = 0,
    e_local1 = 1, e_local2, e_local3, e_local4, e_local5, e_local6,
    e_lan1 = 7, e_lan2, e_lan3, e_lan4, e_lan5, e_lan6,
    e_ia = 13,
};

const int CONTROLER_COUNT = 6;

class ControlerEntry {
public:
    // Empty: type e_undefined, team -1, every flag false, name empty.
    constexpr ControlerEntry() = default;
    void Clear() { *this = ControlerEntry(); }

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
    int32_t mShootOptions[10] = {0};   // message order; the game core gives them their types

    bool mBallPositionsReceived = false;

    bool mLaunchSetReceived = false;
    float mLaunchSet[6] = {0};         // angle, direction x, y, z, effect, initial speed

    int32_t mIndex = 0;                // slot index 0..5
};

// The table and its table-wide values. Constant-initialised, then reset once
// during static initialization (ControlerTable.cpp).
extern ControlerEntry ControlerTable[CONTROLER_COUNT];
extern int32_t g_ControlerCurrentIndex[2];   // per side; -1: none
extern int32_t g_OwnControlerType;            // this machine's controller type
extern uint8_t g_ControlerTableFilled;        // set by the match mode once filled
extern ControlerEntry g_DummyControler;       // returned when no entry matches

// Clears every entry again, gives the entries their indexes 0 to 5, both
// per-side current indexes -1, own controller type 0, the flag byte 0.
void ResetControlers();

// "e_undefined", "e_local1".."e_local6", "e_lan1".."e_lan6", "e_ia", else "??? Unknown".
const char* ControlerTypeToString(int32_t type);
