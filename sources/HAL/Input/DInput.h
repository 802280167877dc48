// The device layer of the input channels: creates the keyboard, up to four
// joysticks and the mouse on the main window, polls them once per frame into
// the channel table and keeps the keyboard layout's character tables.
// Creation failures show a "DInput Error" message box and leave the device
// absent; polling skips absent devices.
#pragma once

#include "DInputBackend.h"

#include <cstdint>
#include <memory>

enum {
    KEM_INPUT_CHANNEL_COUNT = 475,
    KEM_INPUT_KEY_CHANNELS = 238,   // keyboard channels 0-237, by key code
    KEM_INPUT_JOY_BASE = 239,       // joystick j starts at 239 + 56 j
    KEM_INPUT_JOY_STRIDE = 56,
    KEM_INPUT_JOY_AXIS = 0,         // + 2 a: axis a positive, + 2 a + 1: negative
    KEM_INPUT_JOY_POV = 16,         // + 0 up, + 2 right, + 4 down, + 6 left
    KEM_INPUT_JOY_BUTTON = 24,      // + b: button b (0-31)
    KEM_INPUT_MAX_JOYSTICKS = 4,
    KEM_INPUT_MOUSE_DOWN = 463,     // +Y
    KEM_INPUT_MOUSE_UP = 464,       // -Y
    KEM_INPUT_MOUSE_LEFT = 465,     // -X
    KEM_INPUT_MOUSE_RIGHT = 466,    // +X
    KEM_INPUT_MOUSE_BUTTON = 467,   // + b: mouse button b (0-7); 467 left, 468 right, 469 middle
};

// Channel value: the level in bits 0-14, bit 15 set in the frame it changed.
const uint16_t KEM_INPUT_CHANGED = 0x8000;
const uint16_t KEM_INPUT_LEVEL = 0x7FFF;
const uint16_t KEM_INPUT_DOWN = 0x00FF;   // level of a pressed button or key

// Joystick channel of joystick j (0-3) at the given offset (0-55).
inline int KemJoyChannel(int joystick, int offset) {
    return KEM_INPUT_JOY_BASE + KEM_INPUT_JOY_STRIDE * joystick + offset;
}

// Creates the input system, the keyboard (false when it fails: nothing more
// is created), the joysticks, and returns whether the mouse was created.
bool DInputInit(PlatWindowHandle window);
// Reads every present device into the channels (KEM_INPUT_CHANNEL_COUNT
// entries). Nothing is read while the window lacks the keyboard focus: every
// channel is then released once and reads 0 until the focus returns.
void DInputPoll(uint16_t* channels, PlatWindowHandle window);
// The character of a key code with the layout of start-up: from the Alt Gr
// table when altGr is set, else the shifted one when shift is set, else the
// plain one. 0 when the key gives no single character.
uint16_t DInputKeyToChar(uint32_t keyCode, bool shift, bool altGr);

// What was created.
bool DInputHasKeyboard();
bool DInputHasMouse();
int DInputJoystickCount();
// CRC-32 of the product name of joystick j; 0 for no such joystick.
uint32_t DInputJoystickProductCrc(int joystick);

// The device backend. Replacing it drops every device of the old one and
// clears the layer; null goes back to the SDL backend. Tests install a fake.
void DInputSetBackend(std::unique_ptr<CDInputBackend> backend);
CDInputBackend& DInputGetBackend();
