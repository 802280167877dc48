// The input devices on SDL2: keyboard state by DirectInput key code, mouse
// movement, buttons and wheel, raw SDL joysticks with DirectInput-like axis
// ranges and hats, and the X server's keyboard layout for the character tables.
//
// No device is grabbed: the cursor stays the system's, so the cursor position
// the GUI reads keeps working. The "cooperative level" is the check that the
// devices belong to the game's main window.
#pragma once

#include "DInputBackend.h"

#include <atomic>

struct _SDL_Joystick;

class CDInputSdlBackend : public CDInputBackend {
public:
    CDInputSdlBackend();
    ~CDInputSdlBackend() override;
    CDInputSdlBackend(const CDInputSdlBackend&) = delete;
    CDInputSdlBackend& operator=(const CDInputSdlBackend&) = delete;

    bool CreateInterface() override;
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
    bool HasKeyboardFocus(PlatWindowHandle window) override;

    // SDL axis value (-32768 ... 32767) to the -255 ... 255 range.
    static int32_t ScaleAxis(int value);
    // SDL hat bits to hundredths of a degree (DINPUT_POV_CENTRED when centred).
    static uint32_t HatToPov(int hat);

private:
    static int WheelWatch(void* user, union SDL_Event* event);

    bool mEvents = false;            // SDL event subsystem held
    bool mJoystickSystem = false;    // SDL joystick subsystem held
    bool mWheelWatch = false;
    std::atomic<int> mWheel{0};      // wheel movement since the last mouse read
    _SDL_Joystick* mJoysticks[4] = {};
    uint8_t mScanToKey[512] = {};    // SDL scan code -> key code
};
