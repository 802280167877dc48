// The message pump: drains the platform event queue once per
// frame, records the frame's wheel, character and keys, and dispatches each
// event to the window procedure.
#pragma once

#include <cstdint>

// Input state written by the pump (cleared at the start of every pump).
extern float gHalMouseWheelDelta;      // notches (high word of wParam / 120)
extern uint16_t gHalLastChar;          // last WM_CHAR of the frame
extern uint32_t gHalLastKeyReleased;   // virtual-key code of the last WM_KEYUP
extern uint32_t gHalLastKeyPressed;    // virtual-key code of the last WM_KEYDOWN

// Once per frame: asks the window layer for new events (PlatFeedEvents), then
// takes every waiting event in order, records and dispatches it. A system
// key event (down or up) for F10 (virtual key 121) ends the pumping at once
// without being dispatched; the events behind it wait for the next frame.
void HalPumpMessages();

// The wParam of a wheel event for a signed wheel movement (120 per notch):
// the movement in the high word, as Win32 packs it.
inline uint32_t HalMakeWheelParam(int delta) { return uint32_t(uint16_t(int16_t(delta))) << 16; }
