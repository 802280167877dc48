#include "DInputSdlBackend.h"

#include "DInputX11Layout.h"

#include <Platform.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>

namespace {

// Whether the devices are asked for on the game's own window.
bool IsMainWindow(PlatWindowHandle window) { return window != 0 && window == PlatGetMainWindow(); }

}  // namespace

CDInputSdlBackend::CDInputSdlBackend() = default;

CDInputSdlBackend::~CDInputSdlBackend() {
    ReleaseDevices();
    if (mEvents)
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool CDInputSdlBackend::CreateInterface() {
    if (!mEvents) {
        if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
            PlatLog("DInput: no SDL events: %s", SDL_GetError());
            return false;
        }
        mEvents = true;
    }
    return true;
}

void CDInputSdlBackend::ReleaseDevices() {
    for (int slot = 0; slot < 4; ++slot)
        ReleaseJoystick(slot);
    if (mJoystickSystem) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        mJoystickSystem = false;
    }
    if (mWheelWatch) {
        SDL_DelEventWatch(&CDInputSdlBackend::WheelWatch, this);
        mWheelWatch = false;
    }
    mWheel = 0;
}

void CDInputSdlBackend::BuildCharTables(uint16_t tables[3][256]) {
    if (DInputBuildX11CharTables(tables))
        return;
    // No X server: SDL's default layout gives the plain characters.
    PlatLog("DInput: no X display, key characters from the default layout");
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        uint32_t key = PlatScanCodeFromSdl(sc);
        if (key == 0 || key > 255)
            continue;
        SDL_Keycode sym = SDL_GetKeyFromScancode(SDL_Scancode(sc));
        if (sym & SDLK_SCANCODE_MASK)
            continue;
        tables[0][key] = DInputStorableChar(uint32_t(sym));
        if (sym >= 'a' && sym <= 'z')
            tables[1][key] = uint16_t(sym - 'a' + 'A');
    }
}

DInputStep CDInputSdlBackend::CreateKeyboard(PlatWindowHandle window) {
    std::memset(mScanToKey, 0, sizeof(mScanToKey));
    for (int sc = 0; sc < SDL_NUM_SCANCODES && sc < int(sizeof(mScanToKey)); ++sc) {
        uint32_t key = PlatScanCodeFromSdl(sc);
        mScanToKey[sc] = key <= 255 ? uint8_t(key) : 0;
    }
    if (!IsMainWindow(window))
        return DInputStep::CooperativeLevel;
    return DInputStep::Ok;
}

bool CDInputSdlBackend::ReadKeyboard(uint8_t keys[256]) {
    std::memset(keys, 0, 256);
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state)
        return false;
    for (int sc = 0; sc < count && sc < int(sizeof(mScanToKey)); ++sc)
        if (state[sc] && mScanToKey[sc])
            keys[mScanToKey[sc]] = 0x80;
    return true;
}

bool CDInputSdlBackend::EnumerateJoysticks(int& count) {
    count = 0;
    if (!mJoystickSystem) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
            PlatLog("DInput: no SDL joysticks: %s", SDL_GetError());
            return false;
        }
        mJoystickSystem = true;
    }
    int attached = SDL_NumJoysticks();
    if (attached < 0) {
        PlatLog("DInput: cannot list the joysticks: %s", SDL_GetError());
        return false;
    }
    count = attached;
    return true;
}

bool CDInputSdlBackend::CreateJoystick(int enumIndex, int slot, std::string& productName) {
    if (slot < 0 || slot >= 4 || !mJoystickSystem)
        return false;
    ReleaseJoystick(slot);
    SDL_Joystick* joystick = SDL_JoystickOpen(enumIndex);
    if (!joystick) {
        PlatLog("DInput: cannot open joystick %d: %s", enumIndex, SDL_GetError());
        return false;
    }
    const char* name = SDL_JoystickName(joystick);
    productName = name ? name : "";
    mJoysticks[slot] = joystick;
    return true;
}

DInputStep CDInputSdlBackend::SetupJoystick(int slot, PlatWindowHandle window) {
    if (slot < 0 || slot >= 4 || !mJoysticks[slot])
        return DInputStep::DataFormat;
    if (!IsMainWindow(window))
        return DInputStep::CooperativeLevel;
    return DInputStep::Ok;
}

void CDInputSdlBackend::ReleaseJoystick(int slot) {
    if (slot < 0 || slot >= 4 || !mJoysticks[slot])
        return;
    if (mJoystickSystem)
        SDL_JoystickClose(mJoysticks[slot]);
    mJoysticks[slot] = nullptr;
}

int32_t CDInputSdlBackend::ScaleAxis(int value) {
    int32_t scaled = int32_t(value) * 255 / 32767;
    return scaled > 255 ? 255 : (scaled < -255 ? -255 : scaled);
}

uint32_t CDInputSdlBackend::HatToPov(int hat) {
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return DINPUT_POV_CENTRED;
    }
}

DInputReadResult CDInputSdlBackend::ReadJoystick(int slot, DInputJoyState& state) {
    if (slot < 0 || slot >= 4 || !mJoysticks[slot])
        return DInputReadResult::NotInitialized;
    SDL_Joystick* joystick = mJoysticks[slot];
    if (!SDL_JoystickGetAttached(joystick))
        return DInputReadResult::Unplugged;
    state = DInputJoyState();
    int axes = SDL_JoystickNumAxes(joystick);
    for (int a = 0; a < axes && a < DINPUT_JOY_AXES; ++a)
        state.axes[a] = ScaleAxis(SDL_JoystickGetAxis(joystick, a));
    int hats = SDL_JoystickNumHats(joystick);
    for (int h = 0; h < hats && h < DINPUT_JOY_POVS; ++h)
        state.pov[h] = HatToPov(SDL_JoystickGetHat(joystick, h));
    int buttons = SDL_JoystickNumButtons(joystick);
    for (int b = 0; b < buttons && b < DINPUT_JOY_BUTTONS; ++b)
        state.buttons[b] = SDL_JoystickGetButton(joystick, b) ? 0x80 : 0;
    return DInputReadResult::Ok;
}

int CDInputSdlBackend::WheelWatch(void* user, SDL_Event* event) {
    if (event->type == SDL_MOUSEWHEEL) {
        int notches = event->wheel.y;
        if (event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        static_cast<CDInputSdlBackend*>(user)->mWheel += notches * 120;
    }
    return 1;
}

DInputStep CDInputSdlBackend::CreateMouse(PlatWindowHandle window) {
    if (!IsMainWindow(window))
        return DInputStep::CooperativeLevel;
    if (!mWheelWatch) {
        SDL_AddEventWatch(&CDInputSdlBackend::WheelWatch, this);
        mWheelWatch = true;
    }
    mWheel = 0;
    SDL_GetRelativeMouseState(nullptr, nullptr);   // movement from before start-up is not ours
    return DInputStep::Ok;
}

bool CDInputSdlBackend::ReadMouse(DInputMouseState& state) {
    int dx = 0, dy = 0;
    Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
    state = DInputMouseState();
    state.x = dx;
    state.y = dy;
    state.z = mWheel.exchange(0);
    // DirectInput's button order: left, right, middle, then the extra ones.
    static const int kSdlButton[5] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1,
                                      SDL_BUTTON_X2};
    for (int b = 0; b < 5; ++b)
        state.buttons[b] = (buttons & SDL_BUTTON(kSdlButton[b])) ? 0x80 : 0;
    return true;
}

bool CDInputSdlBackend::HasKeyboardFocus(PlatWindowHandle window) {
    if (window == 0)
        return false;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    if (!focus)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(focus, &info) && info.subsystem == SDL_SYSWM_X11 &&
           PlatWindowHandle(info.info.x11.window) == window;
}
