// The device layer beneath the input channels. The engine was written against
// DirectInput 8; a backend stands in for it: SDL2 in the game, a scripted fake
// in tests. The channel logic (DInput.h) never touches a device directly.
#pragma once

#include <PlatWindow.h>

#include <cstdint>
#include <string>

// One mouse reading: movement since the previous reading (x, y, wheel) and
// eight button bytes, bit 7 set while the button is down.
struct DInputMouseState {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    uint8_t buttons[8] = {};
};

enum { DINPUT_JOY_AXES = 8, DINPUT_JOY_POVS = 4, DINPUT_JOY_BUTTONS = 128 };

// Point-of-view value of a centred hat.
const uint32_t DINPUT_POV_CENTRED = 0xFFFFFFFFu;

// One joystick reading.
struct DInputJoyState {
    // X, Y, Z, Rx, Ry, Rz, slider 0, slider 1; each in -255 ... 255.
    int32_t axes[DINPUT_JOY_AXES] = {};
    // Hundredths of a degree clockwise from up, or DINPUT_POV_CENTRED.
    uint32_t pov[DINPUT_JOY_POVS] = {DINPUT_POV_CENTRED, DINPUT_POV_CENTRED, DINPUT_POV_CENTRED, DINPUT_POV_CENTRED};
    // Non-zero while the button is down.
    uint8_t buttons[DINPUT_JOY_BUTTONS] = {};
};

// The set-up step of a device that failed; Ok when the device is ready.
enum class DInputStep {
    Ok,
    Create,
    DataFormat,
    CooperativeLevel,
    Capabilities,
    AxisRange,
    Acquire,
};

// How a joystick read ended. Unplugged and Other are not reported to the user.
enum class DInputReadResult {
    Ok,
    InvalidParam,
    InputLost,
    Pending,
    NotAcquired,
    NotInitialized,
    Unplugged,
    Other,
};

class CDInputBackend {
public:
    virtual ~CDInputBackend() = default;

    // The input system itself; false when there is none.
    virtual bool CreateInterface() = 0;
    // Drops every device created so far (the layer starts again from nothing).
    virtual void ReleaseDevices() = 0;

    // The character each key code gives with the current keyboard layout:
    // table 0 plain, 1 with Shift, 2 with Alt Gr. 0 where a key gives no
    // single character. The tables arrive cleared.
    virtual void BuildCharTables(uint16_t tables[3][256]) = 0;

    // Keyboard: key state by key code, bit 7 (or any bit) set while down.
    virtual DInputStep CreateKeyboard(PlatWindowHandle window) = 0;
    virtual bool ReadKeyboard(uint8_t keys[256]) = 0;

    // Joysticks: the attached game controllers in the system's order; false
    // when they cannot be listed. CreateJoystick opens the controller with that
    // enumeration index under the given slot and tells its product name.
    virtual bool EnumerateJoysticks(int& count) = 0;
    virtual bool CreateJoystick(int enumIndex, int slot, std::string& productName) = 0;
    virtual DInputStep SetupJoystick(int slot, PlatWindowHandle window) = 0;
    virtual void ReleaseJoystick(int slot) = 0;
    virtual DInputReadResult ReadJoystick(int slot, DInputJoyState& state) = 0;

    // Mouse: each reading gives the movement since the previous one.
    virtual DInputStep CreateMouse(PlatWindowHandle window) = 0;
    virtual bool ReadMouse(DInputMouseState& state) = 0;

    // Whether the given window has the keyboard focus.
    virtual bool HasKeyboardFocus(PlatWindowHandle window) = 0;
};
