#include "HalMessages.h"

#include "HalNet.h"

#include <Platform.h>

float gHalMouseWheelDelta = 0.0f;
uint16_t gHalLastChar = 0;
uint32_t gHalLastKeyReleased = 0;
uint32_t gHalLastKeyPressed = 0;

static const uint32_t kVirtualKeyF10 = 121;

void HalPumpMessages() {
    gHalMouseWheelDelta = 0.0f;
    gHalLastChar = 0;
    gHalLastKeyReleased = 0;
    gHalLastKeyPressed = 0;

    PlatFeedEvents();
    PlatEvent ev;
    while (PlatPeekEvent(ev)) {
        switch (ev.type) {
        case PLAT_EV_KEYDOWN:
            gHalLastKeyPressed = ev.wParam;
            NetTrace("WM_KEYDOWN-> wParam = %u   lParam=%u (%c) ", ev.wParam, ev.lParam, int(char(gHalLastChar)));
            break;
        case PLAT_EV_KEYUP:
            gHalLastKeyReleased = ev.wParam;
            NetTrace("WM_KEYUP-> wParam = %u   lParam=%u (%c) ", ev.wParam, ev.lParam, int(char(gHalLastChar)));
            break;
        case PLAT_EV_CHAR:
            gHalLastChar = uint16_t(ev.wParam);
            NetTrace("WM_CHAR-> wParam = %u   lParam=%u (%c) ", ev.wParam, ev.lParam, int(char(gHalLastChar)));
            break;
        case PLAT_EV_MOUSEWHEEL:
            gHalMouseWheelDelta = float(int16_t(uint16_t(ev.wParam >> 16))) / 120.0f;
            break;
        case PLAT_EV_SYSKEYDOWN:
        case PLAT_EV_SYSKEYUP:
            if (ev.wParam == kVirtualKeyF10)
                return;   // not dispatched; the rest waits for the next frame
            break;
        default:
            break;
        }
        PlatDispatchEvent(ev);
    }
}
