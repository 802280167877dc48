// A scripted input backend for tests: keys, mouse and joysticks are set by
// hand, and any device step can be made to fail. Install it with
// DInputSetBackend before CInputMgr::Init; keep a pointer to drive it.
#pragma once

#include "DInputBackend.h"

#include <string>
#include <vector>

class CDInputFakeBackend : public CDInputBackend {
public:
    struct Joystick {
        std::string productName;
        bool failCreate = false;
        DInputStep setupFailure = DInputStep::Ok;
        DInputReadResult readResult = DInputReadResult::Ok;
        DInputJoyState state;
    };

    // ---- what the devices report ----
    bool failInterface = false;
    DInputStep keyboardFailure = DInputStep::Ok;
    DInputStep mouseFailure = DInputStep::Ok;
    bool failEnumerate = false;
    bool failKeyboardRead = false;
    std::vector<Joystick> attached;   // in enumeration order
    uint16_t charTables[3][256] = {};
    // The window that has the keyboard focus (0: none).
    PlatWindowHandle focusWindow = 0;

    // ---- what the layer did ----
    PlatWindowHandle keyboardWindow = 0;   // window given to CreateKeyboard
    int releaseCount = 0;                  // ReleaseDevices calls
    int keyboardReads = 0;
    int mouseReads = 0;

    void PressKey(int keyCode, bool down = true) { mKeys[keyCode & 0xFF] = down ? 0x80 : 0; }
    void ReleaseKey(int keyCode) { PressKey(keyCode, false); }
    // Movement adds up until the next mouse read.
    void MoveMouse(int dx, int dy, int wheel = 0);
    void SetMouseButton(int button, bool down) { mMouseButtons[button & 7] = down ? 0x80 : 0; }
    // The attached joystick created into a slot (null when none).
    Joystick* JoystickInSlot(int slot);

    bool CreateInterface() override { return !failInterface; }
    void ReleaseDevices() override;
    void BuildCharTables(uint16_t tables[3][256]) override;
    DInputStep CreateKeyboard(PlatWindowHandle window) override;
    bool ReadKeyboard(uint8_t keys[256]) override;
    bool EnumerateJoysticks(int& count) override;
    bool CreateJoystick(int enumIndex, int slot, std::string& productName) override;
    DInputStep SetupJoystick(int slot, PlatWindowHandle window) override;
    void ReleaseJoystick(int slot) override;
    DInputReadResult ReadJoystick(int slot, DInputJoyState& state) override;
    DInputStep CreateMouse(PlatWindowHandle window) override;
    bool ReadMouse(DInputMouseState& state) override;
    bool HasKeyboardFocus(PlatWindowHandle window) override { return window != 0 && window == focusWindow; }

private:
    uint8_t mKeys[256] = {};
    DInputMouseState mPendingMouse;
    uint8_t mMouseButtons[8] = {};
    int mSlots[4] = {-1, -1, -1, -1};   // enumeration index held in each slot
};
