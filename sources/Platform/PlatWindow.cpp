#include "PlatWindow.h"

#include "Platform.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>

#include <unistd.h>

namespace {

struct MainWindow {
    SDL_Window* window = nullptr;
    PlatWindowHandle handle = 0;
    PlatWindowHandle renderChild = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

MainWindow gMain;

// Xlib's default error handler ends the process with exit code 1, which is
// what a window destroyed by another client led to. Ours logs, and a missing
// window or drawable error that names the main window or the 3D engine's
// render child means ours is gone: the feeder then sends a close, so the game
// ends as a close does. The same error about another client's window (a
// drag-and-drop source that went away, say) leaves the game running.
std::atomic<bool> gWindowLost{false};
std::atomic<bool> gWindowCloseSent{false};

bool NamesOurWindow(unsigned long resource) {
    return resource != 0 && (resource == gMain.handle || resource == gMain.renderChild);
}

int OnXError(Display* display, XErrorEvent* error) {
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof(text));
    const bool gone = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (gone && NamesOurWindow(error->resourceid)) {
        if (!gWindowLost.exchange(true))
            PlatLog("X error on the window (%s, request %d): the window is gone; closing", text,
                    int(error->request_code));
    } else if (!gWindowLost.load()) {
        PlatLog("X error ignored: %s (request %d, resource 0x%lx)", text, int(error->request_code),
                error->resourceid);
    }
    return 0;
}

// After SDL's video start-up, which puts its own handler in front of
// Xlib's default one (and takes it away again when video stops). Ours then
// stays for the rest of the process: the window's own teardown after a loss
// raises errors too.
// The connection to the X server is gone (the server was killed or the
// link broke). Xlib would call exit() after this handler, which runs the
// static destructors while the game loop's objects still use the engine:
// the game ends here instead, with one line and status 1.
int OnXIOError(Display*) {
    PlatLog("X server connection lost: the display is gone, the game ends");
    fflush(nullptr);
    _exit(1);
}

void InstallXErrorHandler() {
    XSetErrorHandler(&OnXError);
    XSetIOErrorHandler(&OnXIOError);
}
PlatResizeListener gResizeListener = nullptr;
void* gResizeUser = nullptr;
PlatKeyListener gKeyListener = nullptr;
void* gKeyUser = nullptr;

struct ScanCodeEntry {
    SDL_Scancode sdl;
    uint8_t dik;   // DirectInput scan code (set 1, 0x80 marks the extended keys)
    uint8_t vk;    // Win32 virtual key
};

// Keys by position. Letters and digits take their virtual key from the layout
// (the SDL key code) first, as Win32 does.
const ScanCodeEntry kKeys[] = {
    {SDL_SCANCODE_A, 0x1E, 'A'}, {SDL_SCANCODE_B, 0x30, 'B'}, {SDL_SCANCODE_C, 0x2E, 'C'},
    {SDL_SCANCODE_D, 0x20, 'D'}, {SDL_SCANCODE_E, 0x12, 'E'}, {SDL_SCANCODE_F, 0x21, 'F'},
    {SDL_SCANCODE_G, 0x22, 'G'}, {SDL_SCANCODE_H, 0x23, 'H'}, {SDL_SCANCODE_I, 0x17, 'I'},
    {SDL_SCANCODE_J, 0x24, 'J'}, {SDL_SCANCODE_K, 0x25, 'K'}, {SDL_SCANCODE_L, 0x26, 'L'},
    {SDL_SCANCODE_M, 0x32, 'M'}, {SDL_SCANCODE_N, 0x31, 'N'}, {SDL_SCANCODE_O, 0x18, 'O'},
    {SDL_SCANCODE_P, 0x19, 'P'}, {SDL_SCANCODE_Q, 0x10, 'Q'}, {SDL_SCANCODE_R, 0x13, 'R'},
    {SDL_SCANCODE_S, 0x1F, 'S'}, {SDL_SCANCODE_T, 0x14, 'T'}, {SDL_SCANCODE_U, 0x16, 'U'},
    {SDL_SCANCODE_V, 0x2F, 'V'}, {SDL_SCANCODE_W, 0x11, 'W'}, {SDL_SCANCODE_X, 0x2D, 'X'},
    {SDL_SCANCODE_Y, 0x15, 'Y'}, {SDL_SCANCODE_Z, 0x2C, 'Z'},
    {SDL_SCANCODE_1, 0x02, '1'}, {SDL_SCANCODE_2, 0x03, '2'}, {SDL_SCANCODE_3, 0x04, '3'},
    {SDL_SCANCODE_4, 0x05, '4'}, {SDL_SCANCODE_5, 0x06, '5'}, {SDL_SCANCODE_6, 0x07, '6'},
    {SDL_SCANCODE_7, 0x08, '7'}, {SDL_SCANCODE_8, 0x09, '8'}, {SDL_SCANCODE_9, 0x0A, '9'},
    {SDL_SCANCODE_0, 0x0B, '0'},
    {SDL_SCANCODE_RETURN, 0x1C, 0x0D}, {SDL_SCANCODE_ESCAPE, 0x01, 0x1B},
    {SDL_SCANCODE_BACKSPACE, 0x0E, 0x08}, {SDL_SCANCODE_TAB, 0x0F, 0x09}, {SDL_SCANCODE_SPACE, 0x39, 0x20},
    {SDL_SCANCODE_MINUS, 0x0C, 0xBD}, {SDL_SCANCODE_EQUALS, 0x0D, 0xBB},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, 0xDB}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B, 0xDD},
    {SDL_SCANCODE_BACKSLASH, 0x2B, 0xDC}, {SDL_SCANCODE_SEMICOLON, 0x27, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0x28, 0xDE}, {SDL_SCANCODE_GRAVE, 0x29, 0xC0},
    {SDL_SCANCODE_COMMA, 0x33, 0xBC}, {SDL_SCANCODE_PERIOD, 0x34, 0xBE}, {SDL_SCANCODE_SLASH, 0x35, 0xBF},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 0xE2}, {SDL_SCANCODE_CAPSLOCK, 0x3A, 0x14},
    {SDL_SCANCODE_F1, 0x3B, 0x70}, {SDL_SCANCODE_F2, 0x3C, 0x71}, {SDL_SCANCODE_F3, 0x3D, 0x72},
    {SDL_SCANCODE_F4, 0x3E, 0x73}, {SDL_SCANCODE_F5, 0x3F, 0x74}, {SDL_SCANCODE_F6, 0x40, 0x75},
    {SDL_SCANCODE_F7, 0x41, 0x76}, {SDL_SCANCODE_F8, 0x42, 0x77}, {SDL_SCANCODE_F9, 0x43, 0x78},
    {SDL_SCANCODE_F10, 0x44, 0x79}, {SDL_SCANCODE_F11, 0x57, 0x7A}, {SDL_SCANCODE_F12, 0x58, 0x7B},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7, 0x2C}, {SDL_SCANCODE_SCROLLLOCK, 0x46, 0x91},
    {SDL_SCANCODE_PAUSE, 0xC5, 0x13}, {SDL_SCANCODE_INSERT, 0xD2, 0x2D}, {SDL_SCANCODE_HOME, 0xC7, 0x24},
    {SDL_SCANCODE_PAGEUP, 0xC9, 0x21}, {SDL_SCANCODE_DELETE, 0xD3, 0x2E}, {SDL_SCANCODE_END, 0xCF, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0xD1, 0x22}, {SDL_SCANCODE_RIGHT, 0xCD, 0x27}, {SDL_SCANCODE_LEFT, 0xCB, 0x25},
    {SDL_SCANCODE_DOWN, 0xD0, 0x28}, {SDL_SCANCODE_UP, 0xC8, 0x26},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, 0x90}, {SDL_SCANCODE_KP_DIVIDE, 0xB5, 0x6F},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, 0x6A}, {SDL_SCANCODE_KP_MINUS, 0x4A, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 0x4E, 0x6B}, {SDL_SCANCODE_KP_ENTER, 0x9C, 0x0D},
    {SDL_SCANCODE_KP_1, 0x4F, 0x61}, {SDL_SCANCODE_KP_2, 0x50, 0x62}, {SDL_SCANCODE_KP_3, 0x51, 0x63},
    {SDL_SCANCODE_KP_4, 0x4B, 0x64}, {SDL_SCANCODE_KP_5, 0x4C, 0x65}, {SDL_SCANCODE_KP_6, 0x4D, 0x66},
    {SDL_SCANCODE_KP_7, 0x47, 0x67}, {SDL_SCANCODE_KP_8, 0x48, 0x68}, {SDL_SCANCODE_KP_9, 0x49, 0x69},
    {SDL_SCANCODE_KP_0, 0x52, 0x60}, {SDL_SCANCODE_KP_PERIOD, 0x53, 0x6E},
    {SDL_SCANCODE_LCTRL, 0x1D, 0x11}, {SDL_SCANCODE_LSHIFT, 0x2A, 0x10}, {SDL_SCANCODE_LALT, 0x38, 0x12},
    {SDL_SCANCODE_LGUI, 0xDB, 0x5B}, {SDL_SCANCODE_RCTRL, 0x9D, 0x11}, {SDL_SCANCODE_RSHIFT, 0x36, 0x10},
    {SDL_SCANCODE_RALT, 0xB8, 0x12}, {SDL_SCANCODE_RGUI, 0xDC, 0x5C}, {SDL_SCANCODE_APPLICATION, 0xDD, 0x5D},
};

const ScanCodeEntry* FindKey(int scancode) {
    for (const ScanCodeEntry& e : kKeys)
        if (int(e.sdl) == scancode)
            return &e;
    return nullptr;
}

uint32_t ModifierBits(Uint16 mod) {
    uint32_t bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= PLAT_MOD_SHIFT;
    if (mod & KMOD_CTRL)
        bits |= PLAT_MOD_CTRL;
    // AltGr (X11's level-three shift, SDL's "mode") selects the Alt
    // character table, as Ctrl+Alt does on Win32: '@', '{', '€'...
    if (mod & (KMOD_ALT | KMOD_MODE))
        bits |= PLAT_MOD_ALT;
    return bits;
}

// Win32 key lParam: repeat count, scan code, extended flag, context (Alt),
// previous state and transition.
uint32_t KeyLParam(uint32_t dik, bool down, bool repeat, bool alt) {
    uint32_t lParam = 1u | ((dik & 0x7Fu) << 16);
    if (dik & 0x80u)
        lParam |= 1u << 24;
    if (alt)
        lParam |= 1u << 29;
    if (!down || repeat)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    return lParam;
}

void PushKey(const SDL_KeyboardEvent& key) {
    bool down = key.type == SDL_KEYDOWN;
    uint32_t dik = PlatScanCodeFromSdl(key.keysym.scancode);
    uint32_t vk = PlatVirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode);
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;

    if (gKeyListener && dik != 0 && !key.repeat)
        gKeyListener(gKeyUser, dik, down, ModifierBits(key.keysym.mod));
    if (vk == 0)
        return;

    // As on Win32: F10, Alt itself and keys held with Alt are system keys.
    bool system = vk == PLAT_VK_F10 || vk == PLAT_VK_MENU || alt;
    PlatEvent ev;
    ev.type = system ? (down ? PLAT_EV_SYSKEYDOWN : PLAT_EV_SYSKEYUP) : (down ? PLAT_EV_KEYDOWN : PLAT_EV_KEYUP);
    ev.wParam = vk;
    ev.lParam = KeyLParam(dik, down, key.repeat != 0, alt);
    PlatPushEvent(ev);
}

// One character event per code point of the UTF-8 text.
void PushText(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + SDL_strlen(text);
    while (p < end) {
        uint32_t cp = *p;
        int extra = 0;
        if (cp >= 0xF0) {
            cp &= 0x07;
            extra = 3;
        } else if (cp >= 0xE0) {
            cp &= 0x0F;
            extra = 2;
        } else if (cp >= 0xC0) {
            cp &= 0x1F;
            extra = 1;
        } else if (cp >= 0x80) {
            ++p;   // stray continuation byte
            continue;
        }
        ++p;
        bool broken = false;
        for (int i = 0; i < extra; ++i) {
            if (p >= end || (*p & 0xC0) != 0x80) {
                broken = true;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
        }
        if (broken || cp > 0xFFFF)   // the message carries 16 bits
            continue;
        PlatEvent ev;
        ev.type = PLAT_EV_CHAR;
        ev.wParam = cp;
        ev.lParam = 1;
        PlatPushEvent(ev);
    }
}

void PushWheel(const SDL_MouseWheelEvent& wheel) {
    int notches = wheel.y;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    long delta = long(notches) * 120;
    if (delta > 32767)
        delta = 32767;
    if (delta < -32768)
        delta = -32768;
    PlatEvent ev;
    ev.type = PLAT_EV_MOUSEWHEEL;
    ev.wParam = uint32_t(uint16_t(int16_t(delta))) << 16;
    SDL_GetMouseState(&ev.x, &ev.y);
    ev.lParam = (uint32_t(uint16_t(ev.y)) << 16) | uint16_t(ev.x);
    PlatPushEvent(ev);
}

void OnSizeChanged(int width, int height) {
    gMain.clientWidth = width;
    gMain.clientHeight = height;
    if (gResizeListener)
        gResizeListener(gResizeUser, width, height);
    PlatEvent ev;
    ev.type = PLAT_EV_SIZE;
    ev.x = width;
    ev.y = height;
    ev.lParam = (uint32_t(uint16_t(height)) << 16) | uint16_t(width);
    PlatPushEvent(ev);
}

void PushWindowEvent(const SDL_WindowEvent& w) {
    if (!gMain.window || w.windowID != SDL_GetWindowID(gMain.window))
        return;
    PlatEvent ev;
    switch (w.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        OnSizeChanged(w.data1, w.data2);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        ev.type = PLAT_EV_FOCUS;
        ev.wParam = w.event == SDL_WINDOWEVENT_FOCUS_GAINED ? 1 : 0;
        PlatPushEvent(ev);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        ev.type = PLAT_EV_CLOSE;
        PlatPushEvent(ev);
        break;
    default:
        break;
    }
}

bool IsMain(PlatWindowHandle window) { return gMain.window && window != 0 && window == gMain.handle; }

}  // namespace

uint32_t PlatScanCodeFromSdl(int sdlScancode) {
    const ScanCodeEntry* e = FindKey(sdlScancode);
    return e ? e->dik : 0;
}

uint32_t PlatVirtualKeyFromSdl(int sdlKeycode, int sdlScancode) {
    if (sdlKeycode >= 'a' && sdlKeycode <= 'z')
        return uint32_t(sdlKeycode - 'a' + 'A');
    if (sdlKeycode >= '0' && sdlKeycode <= '9' && sdlScancode >= SDL_SCANCODE_1 && sdlScancode <= SDL_SCANCODE_0)
        return uint32_t(sdlKeycode);
    const ScanCodeEntry* e = FindKey(sdlScancode);
    return e ? e->vk : 0;
}

void PlatFeedWindowEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        PlatEvent ev;
        switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            PushKey(e.key);
            break;
        case SDL_TEXTINPUT:
            PushText(e.text.text);
            break;
        case SDL_MOUSEWHEEL:
            PushWheel(e.wheel);
            break;
        case SDL_MOUSEMOTION:
            ev.type = PLAT_EV_MOUSEMOVE;
            ev.x = e.motion.x;
            ev.y = e.motion.y;
            ev.lParam = (uint32_t(uint16_t(ev.y)) << 16) | uint16_t(ev.x);
            PlatPushEvent(ev);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            ev.type = PLAT_EV_MOUSEBUTTON;
            ev.wParam = e.button.button;
            ev.lParam = e.type == SDL_MOUSEBUTTONDOWN ? 1 : 0;
            ev.x = e.button.x;
            ev.y = e.button.y;
            PlatPushEvent(ev);
            break;
        case SDL_WINDOWEVENT:
            PushWindowEvent(e.window);
            break;
        case SDL_QUIT:
            ev.type = PLAT_EV_QUIT;
            PlatPushEvent(ev);
            break;
        default:
            break;
        }
    }
    if (gWindowLost.load() && !gWindowCloseSent.exchange(true)) {
        PlatEvent close;
        close.type = PLAT_EV_CLOSE;
        PlatPushEvent(close);
    }
}

bool PlatMainWindowLost() { return gWindowLost.load(); }

PlatWindowHandle PlatCreateMainWindow(const char* title, int clientWidth, int clientHeight) {
    if (gMain.window) {
        PlatLog("PlatCreateMainWindow: the main window exists already");
        return 0;
    }
    // The 3D engine renders through GLX into the window: it must be an X11 one.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        PlatLog("PlatCreateMainWindow: no video: %s", SDL_GetError());
        return 0;
    }
    SDL_Window* window = SDL_CreateWindow(title ? title : "", 0, 0, clientWidth, clientHeight,
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window) {
        PlatLog("PlatCreateMainWindow: cannot create the window: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 0;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || info.info.x11.window == 0) {
        PlatLog("PlatCreateMainWindow: the window is not an X11 window: %s", SDL_GetError());
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 0;
    }
    InstallXErrorHandler();
    gWindowLost = false;
    gWindowCloseSent = false;
    gMain.window = window;
    gMain.handle = PlatWindowHandle(info.info.x11.window);
    gMain.clientWidth = clientWidth;
    gMain.clientHeight = clientHeight;
    SDL_StartTextInput();
    PlatSetEventFeeder(&PlatFeedWindowEvents);
    return gMain.handle;
}

void PlatShowMainWindow() {
    if (gMain.window)
        SDL_ShowWindow(gMain.window);
}

void PlatDestroyMainWindow() {
    if (!gMain.window)
        return;
    PlatSetEventFeeder(nullptr);
    SDL_StopTextInput();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Display* display = SDL_GetWindowWMInfo(gMain.window, &info) && info.subsystem == SDL_SYSWM_X11
                           ? info.info.x11.display
                           : nullptr;
    SDL_DestroyWindow(gMain.window);
    // The errors of a window that is already gone arrive while ours handles
    // them, before video stops and puts Xlib's default back.
    if (display)
        XSync(display, False);
    gMain = MainWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

PlatWindowHandle PlatGetMainWindow() { return gMain.handle; }

void PlatSetRenderChildWindow(PlatWindowHandle child) {
    if (gMain.window)
        gMain.renderChild = child;
}

bool PlatGetClientSize(PlatWindowHandle window, int& width, int& height) {
    if (!IsMain(window))
        return false;
    width = gMain.clientWidth;
    height = gMain.clientHeight;
    return true;
}

bool PlatSetClientSize(PlatWindowHandle window, int width, int height, bool fullScreen) {
    if (!IsMain(window) || width <= 0 || height <= 0)
        return false;
    if (fullScreen) {
        SDL_SetWindowBordered(gMain.window, SDL_FALSE);
        SDL_SetWindowPosition(gMain.window, 0, 0);
    }
    SDL_SetWindowSize(gMain.window, width, height);
    gMain.clientWidth = width;
    gMain.clientHeight = height;
    return true;
}

bool PlatGetCursorClientInfo(PlatWindowHandle window, int& cursorX, int& cursorY, int& clientLeft, int& clientTop,
                             int& clientWidth, int& clientHeight) {
    if (!IsMain(window))
        return false;
    SDL_GetGlobalMouseState(&cursorX, &cursorY);
    SDL_GetWindowPosition(gMain.window, &clientLeft, &clientTop);
    clientWidth = gMain.clientWidth;
    clientHeight = gMain.clientHeight;
    return true;
}

void PlatClipCursor(bool clip) {
    if (gMain.window)
        SDL_SetWindowGrab(gMain.window, clip ? SDL_TRUE : SDL_FALSE);
}

void PlatShowCursor(bool show) {
    if (gMain.window)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool PlatMainWindowHasFocus() {
    return gMain.window && (SDL_GetWindowFlags(gMain.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void PlatSetResizeListener(PlatResizeListener listener, void* user) {
    gResizeListener = listener;
    gResizeUser = user;
}

void PlatRemoveResizeListener(void* user) {
    if (gResizeUser == user) {
        gResizeListener = nullptr;
        gResizeUser = nullptr;
    }
}

void PlatSetKeyListener(PlatKeyListener listener, void* user) {
    gKeyListener = listener;
    gKeyUser = user;
}

void PlatRemoveKeyListener(void* user) {
    if (gKeyUser == user) {
        gKeyListener = nullptr;
        gKeyUser = nullptr;
    }
}
