#include "DInputX11Layout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// Linux input key code of a DirectInput key code; the X server's key code is
// this plus 8. The set-1 scan codes up to F12 are the same numbers; only a few
// extended keys that can give characters need a table. 0: no such key.
int LinuxKeyFromKeyCode(int keyCode) {
    if (keyCode >= 0x01 && keyCode <= 0x58)
        return keyCode;
    switch (keyCode) {
    case 0x73: return 89;    // ABNT C1 / RO
    case 0x7D: return 124;   // Yen
    case 0x7E: return 95;    // ABNT C2: numeric-pad comma
    case 0x8D: return 117;   // numeric-pad equals
    case 0x9C: return 96;    // numeric-pad Enter
    case 0xB3: return 121;   // numeric-pad comma
    case 0xB5: return 98;    // numeric-pad divide
    default: return 0;
    }
}

}  // namespace

// Delete gives no character, as on the system the tables come from.
uint16_t DInputStorableChar(uint32_t c) { return c != 0 && c != 0x7F && c <= 0xFFFF ? uint16_t(c) : 0; }

// Levels: 0 plain, 1 Shift, 2 Alt Gr (level three).
bool DInputBuildX11CharTables(uint16_t tables[3][256]) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    int group = 0;
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) == Success)
        group = state.group;
    for (int key = 0; key < 256; ++key) {
        int linuxKey = LinuxKeyFromKeyCode(key);
        if (!linuxKey)
            continue;
        KeyCode xKey = KeyCode(linuxKey + 8);
        for (int level = 0; level < 3; ++level) {
            KeySym sym = XkbKeycodeToKeysym(display, xKey, group, level);
            if (sym == NoSymbol && group != 0)   // a key with fewer groups uses its first
                sym = XkbKeycodeToKeysym(display, xKey, 0, level);
            if (sym != NoSymbol)
                tables[level][key] = DInputStorableChar(xkb_keysym_to_utf32(xkb_keysym_t(sym)));
        }
    }
    XCloseDisplay(display);
    return true;
}

