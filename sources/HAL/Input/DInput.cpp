#include "DInput.h"

#include "DInputSdlBackend.h"

#include <KEMCrc32.h>
#include <Platform.h>

#include <cstring>

namespace {

const char* const kCaption = "DInput Error";

struct DInputState {
    std::unique_ptr<CDInputBackend> backend;
    bool keyboard = false;
    uint8_t keys[256] = {};
    int joystickCount = 0;
    int joystickSlot[KEM_INPUT_MAX_JOYSTICKS] = {};   // backend slot of each joystick
    uint32_t joystickCrc[KEM_INPUT_MAX_JOYSTICKS] = {};
    bool mouse = false;
    DInputMouseState mouseState;
    DInputMouseState mousePrevious;
    uint16_t chars[3][256] = {};
};

DInputState& State() {
    static DInputState state;
    return state;
}

void Report(const char* text) { PlatMessageBox(kCaption, text); }

// Forgets every device; the backend keeps running.
void ClearDevices(DInputState& s) {
    s.keyboard = false;
    std::memset(s.keys, 0, sizeof(s.keys));
    s.joystickCount = 0;
    std::memset(s.joystickSlot, 0, sizeof(s.joystickSlot));
    std::memset(s.joystickCrc, 0, sizeof(s.joystickCrc));
    s.mouse = false;
    s.mouseState = DInputMouseState();
    s.mousePrevious = DInputMouseState();
    std::memset(s.chars, 0, sizeof(s.chars));
}

// ---- channel encoding -------------------------------------------------------

uint16_t Level(uint16_t value) { return value & KEM_INPUT_LEVEL; }

// A button-like channel: 0x80FF on the press, 0x00FF held, 0x8000 on the
// release, 0 up. The changed bit follows the level, so a press in the frame
// after a release is still seen.
void SetButton(uint16_t& channel, bool down) {
    bool wasDown = Level(channel) != 0;
    if (down)
        channel = wasDown ? KEM_INPUT_DOWN : uint16_t(KEM_INPUT_CHANGED | KEM_INPUT_DOWN);
    else
        channel = wasDown ? KEM_INPUT_CHANGED : 0;
}

void Release(uint16_t& channel) { SetButton(channel, false); }

// An axis-like channel driven to a level of 1 ... 255: the changed bit marks
// the frame it leaves 0.
void Drive(uint16_t& channel, int level) {
    bool wasZero = Level(channel) == 0;
    channel = uint16_t(level) | (wasZero ? KEM_INPUT_CHANGED : 0);
}

// One signed movement or axis value onto its positive and negative channels.
// Values within the dead zone release both.
void SetAxis(uint16_t& positive, uint16_t& negative, int value, int deadZone) {
    if (value > deadZone) {
        Drive(positive, value);
        Release(negative);
    } else if (value < -deadZone) {
        Drive(negative, -value);
        Release(positive);
    } else {
        Release(positive);
        Release(negative);
    }
}

int Clamp255(int32_t v) { return v > 255 ? 255 : (v < -255 ? -255 : int(v)); }

// ---- device creation ------------------------------------------------------------

const char* KeyboardStepText(DInputStep step) {
    switch (step) {
    case DInputStep::Create: return "Create keyboard device";
    case DInputStep::DataFormat: return "Set keyboard data format";
    case DInputStep::CooperativeLevel: return "Set keyboard cooperative level";
    case DInputStep::Acquire: return "keyboard acquire";
    default: return kCaption;
    }
}

const char* JoystickStepText(DInputStep step) {
    switch (step) {
    case DInputStep::Create: return "Create Joy device";
    case DInputStep::DataFormat: return "Set joystick data format";
    case DInputStep::CooperativeLevel: return "Set joystick cooperative format";
    case DInputStep::Capabilities: return "Get joystick capabilities";
    case DInputStep::AxisRange: return "Enum Joystick axes";
    case DInputStep::Acquire: return "Acquire Joystick";
    default: return kCaption;
    }
}

bool CreateKeyboardDevice(DInputState& s, PlatWindowHandle window) {
    s.backend->BuildCharTables(s.chars);
    DInputStep failed = s.backend->CreateKeyboard(window);
    if (failed != DInputStep::Ok) {
        Report(KeyboardStepText(failed));
        return false;
    }
    s.keyboard = true;
    std::memset(s.keys, 0, sizeof(s.keys));
    return true;
}

bool CreateJoystickDevices(DInputState& s, PlatWindowHandle window) {
    int attached = 0;
    if (!s.backend->EnumerateJoysticks(attached)) {
        Report("Enum joy devices");
        return false;
    }
    int held = 0;
    uint32_t crc[KEM_INPUT_MAX_JOYSTICKS] = {};
    for (int i = 0; i < attached && held < KEM_INPUT_MAX_JOYSTICKS; ++i) {
        std::string name;
        if (!s.backend->CreateJoystick(i, held, name)) {
            Report("Create Joy device");
            continue;
        }
        crc[held] = KEMCrc32String(name.c_str());
        ++held;
    }
    if (held == 0)
        return false;

    // A joystick whose set-up fails is dropped and the others move up, so the
    // poll never meets a half-made device (its reads would fail every frame).
    bool ok = true;
    for (int slot = 0; slot < held; ++slot) {
        DInputStep failed = s.backend->SetupJoystick(slot, window);
        if (failed != DInputStep::Ok) {
            Report(JoystickStepText(failed));
            s.backend->ReleaseJoystick(slot);
            ok = false;
            continue;
        }
        s.joystickSlot[s.joystickCount] = slot;
        s.joystickCrc[s.joystickCount] = crc[slot];
        ++s.joystickCount;
    }
    return ok;
}

bool CreateMouseDevice(DInputState& s, PlatWindowHandle window) {
    DInputStep failed = s.backend->CreateMouse(window);
    if (failed == DInputStep::Create) {
        Report("Create Mouse device");
        return false;
    }
    if (failed == DInputStep::Acquire) {
        // Not fatal: the mouse stays and reads as still until it delivers.
        PlatLog("DInput: the mouse could not be acquired");
    } else if (failed != DInputStep::Ok) {
        Report(kCaption);
        return false;
    }
    s.mouse = true;
    s.mouseState = DInputMouseState();
    s.mousePrevious = DInputMouseState();
    return true;
}

// ---- polling ------------------------------------------------------------------------

void PollKeyboard(DInputState& s, uint16_t* channels) {
    if (!s.backend->ReadKeyboard(s.keys))
        std::memset(s.keys, 0, sizeof(s.keys));   // a lost keyboard lets go of its keys
    for (int key = 0; key < KEM_INPUT_KEY_CHANNELS; ++key)
        SetButton(channels[key], s.keys[key] != 0);
}

void PollMouse(DInputState& s, uint16_t* channels) {
    s.mousePrevious = s.mouseState;
    s.mouseState = DInputMouseState();
    if (!s.backend->ReadMouse(s.mouseState))
        s.mouseState = DInputMouseState();
    SetAxis(channels[KEM_INPUT_MOUSE_DOWN], channels[KEM_INPUT_MOUSE_UP], Clamp255(s.mouseState.y), 0);
    SetAxis(channels[KEM_INPUT_MOUSE_RIGHT], channels[KEM_INPUT_MOUSE_LEFT], Clamp255(s.mouseState.x), 0);
    for (int b = 0; b < 8; ++b) {
        uint16_t& channel = channels[KEM_INPUT_MOUSE_BUTTON + b];
        uint16_t level = (s.mouseState.buttons[b] & 0x80) ? KEM_INPUT_DOWN : 0;
        channel = level | (level != Level(channel) ? KEM_INPUT_CHANGED : 0);
    }
}

const char* ReadErrorText(DInputReadResult result) {
    switch (result) {
    case DInputReadResult::InvalidParam: return "DIERR_INVALIDPARAM";
    case DInputReadResult::InputLost: return "DIERR_INPUTLOST";
    case DInputReadResult::Pending: return "E_PENDING";
    case DInputReadResult::NotAcquired: return "DIERR_NOTACQUIRED";
    case DInputReadResult::NotInitialized: return "DIERR_NOTINITIALIZED";
    default: return nullptr;
    }
}

void PollPov(uint16_t* pov, uint32_t value) {
    // Up, right, down, left: the directions each hat position presses.
    static const struct {
        uint32_t value;
        bool dir[4];
    } kPositions[] = {
        {0, {true, false, false, false}},     {4500, {true, true, false, false}},
        {9000, {false, true, false, false}},  {13500, {false, true, true, false}},
        {18000, {false, false, true, false}}, {22500, {false, false, true, true}},
        {27000, {false, false, false, true}}, {31500, {true, false, false, true}},
        {DINPUT_POV_CENTRED, {false, false, false, false}},
    };
    for (const auto& p : kPositions) {
        if (p.value != value)
            continue;
        for (int d = 0; d < 4; ++d)
            SetButton(pov[2 * d], p.dir[d]);
        return;
    }
}

void PollJoystick(int slot, uint16_t* channels, DInputState& s) {
    DInputJoyState joy;
    DInputReadResult result = s.backend->ReadJoystick(slot, joy);
    if (result != DInputReadResult::Ok) {
        if (const char* text = ReadErrorText(result))
            Report(text);
        return;
    }
    for (int a = 0; a < DINPUT_JOY_AXES; ++a)
        SetAxis(channels[KEM_INPUT_JOY_AXIS + 2 * a], channels[KEM_INPUT_JOY_AXIS + 2 * a + 1], Clamp255(joy.axes[a]),
                5);
    PollPov(channels + KEM_INPUT_JOY_POV, joy.pov[0]);
    for (int b = 0; b < 32; ++b)
        SetButton(channels[KEM_INPUT_JOY_BUTTON + b], joy.buttons[b] != 0);
}

}  // namespace

void DInputSetBackend(std::unique_ptr<CDInputBackend> backend) {
    DInputState& s = State();
    if (s.backend)
        s.backend->ReleaseDevices();
    ClearDevices(s);
    s.backend = std::move(backend);
}

CDInputBackend& DInputGetBackend() {
    DInputState& s = State();
    if (!s.backend)
        s.backend = std::make_unique<CDInputSdlBackend>();
    return *s.backend;
}

bool DInputInit(PlatWindowHandle window) {
    DInputState& s = State();
    CDInputBackend& backend = DInputGetBackend();
    backend.ReleaseDevices();
    ClearDevices(s);
    if (!backend.CreateInterface()) {
        Report("Create DInput Interface");
        return false;
    }
    if (!CreateKeyboardDevice(s, window))
        return false;
    CreateJoystickDevices(s, window);
    return CreateMouseDevice(s, window);
}

void DInputPoll(uint16_t* channels, PlatWindowHandle window) {
    DInputState& s = State();
    if (!channels || !s.backend)
        return;
    if (!s.backend->HasKeyboardFocus(window)) {
        // Without the focus nothing is read, and nothing may stay held: every
        // channel is released once, then reads 0 until the focus returns.
        for (int channel = 0; channel < KEM_INPUT_CHANNEL_COUNT; ++channel)
            Release(channels[channel]);
        return;
    }
    if (s.keyboard)
        PollKeyboard(s, channels);
    if (s.mouse)
        PollMouse(s, channels);
    for (int j = 0; j < s.joystickCount; ++j)
        PollJoystick(s.joystickSlot[j], channels + KemJoyChannel(j, 0), s);
}

uint16_t DInputKeyToChar(uint32_t keyCode, bool shift, bool altGr) {
    if (keyCode > 255)
        return 0;
    const DInputState& s = State();
    return s.chars[altGr ? 2 : (shift ? 1 : 0)][keyCode];
}

bool DInputHasKeyboard() { return State().keyboard; }
bool DInputHasMouse() { return State().mouse; }
int DInputJoystickCount() { return State().joystickCount; }

uint32_t DInputJoystickProductCrc(int joystick) {
    const DInputState& s = State();
    return joystick >= 0 && joystick < s.joystickCount ? s.joystickCrc[joystick] : 0;
}
