// The input channels: keyboard, four joysticks and the mouse as one table of
// 16-bit channels refreshed once per frame, and the table through which the
// game names its controls (action id -> channel).
//
// Channel value: level in bits 0-14, bit 15 (KEM_INPUT_CHANGED) set in the
// frame the channel changed. A key or button reads 0x80FF in the frame it is
// pressed, 0x00FF while held, 0x8000 in the frame it is released, 0 while up.
// Channel numbers: DInput.h.
#pragma once

#include "DInput.h"

#include <cstdint>

enum { KEM_INPUT_ACTION_COUNT = 475 };

class CInputMgr {
public:
    constexpr CInputMgr() = default;

    // Creates the input devices on the main window (failures are reported
    // by message box and leave the device absent), then clears both tables.
    void Init();
    // binding[action] = channel; returns the action id. An action or channel
    // outside the tables is refused (logged) and changes nothing.
    int SetKeyMapping(int action, int channel);
    // Polls the devices into the channels; nothing is read while the main
    // window lacks the keyboard focus.
    void Update();
    // Hands a character to the GUI; nothing while there is no GUI.
    void InjectChar(uint16_t character);
    // The cursor position as fractions of the main window's client area;
    // true when it lies inside.
    bool GetMousePosition(float& x, float& y);

    // A channel's value; 0 for a channel outside the table.
    uint16_t GetChannel(int channel) const;
    // The channel bound to an action; 0 for an action outside the table.
    uint16_t GetKeyMapping(int action) const;
    // An action's value: channel[binding[action]].
    uint16_t GetAction(int action) const { return GetChannel(GetKeyMapping(action)); }
    const uint16_t* GetChannels() const { return mChannels; }

    // Changed this frame to a non-zero level / to level 0.
    static bool IsPressed(uint16_t value) { return (value & KEM_INPUT_CHANGED) && (value & KEM_INPUT_LEVEL); }
    static bool IsReleased(uint16_t value) { return (value & KEM_INPUT_CHANGED) && !(value & KEM_INPUT_LEVEL); }
    static uint16_t Level(uint16_t value) { return value & KEM_INPUT_LEVEL; }

private:
    uint16_t mBindings[KEM_INPUT_ACTION_COUNT] = {};
    uint16_t mChannels[KEM_INPUT_CHANNEL_COUNT] = {};
};

extern CInputMgr gInputMgr;
