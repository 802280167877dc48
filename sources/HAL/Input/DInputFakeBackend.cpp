#include "DInputFakeBackend.h"

#include <cstring>

void CDInputFakeBackend::MoveMouse(int dx, int dy, int wheel) {
    mPendingMouse.x += dx;
    mPendingMouse.y += dy;
    mPendingMouse.z += wheel;
}

CDInputFakeBackend::Joystick* CDInputFakeBackend::JoystickInSlot(int slot) {
    if (slot < 0 || slot >= 4 || mSlots[slot] < 0 || mSlots[slot] >= int(attached.size()))
        return nullptr;
    return &attached[mSlots[slot]];
}

void CDInputFakeBackend::ReleaseDevices() {
    ++releaseCount;
    for (int& slot : mSlots)
        slot = -1;
}

void CDInputFakeBackend::BuildCharTables(uint16_t tables[3][256]) { std::memcpy(tables, charTables, sizeof(charTables)); }

DInputStep CDInputFakeBackend::CreateKeyboard(PlatWindowHandle window) {
    keyboardWindow = window;
    return keyboardFailure;
}

bool CDInputFakeBackend::ReadKeyboard(uint8_t keys[256]) {
    ++keyboardReads;
    if (failKeyboardRead)
        return false;
    std::memcpy(keys, mKeys, sizeof(mKeys));
    return true;
}

bool CDInputFakeBackend::EnumerateJoysticks(int& count) {
    count = failEnumerate ? 0 : int(attached.size());
    return !failEnumerate;
}

bool CDInputFakeBackend::CreateJoystick(int enumIndex, int slot, std::string& productName) {
    if (enumIndex < 0 || enumIndex >= int(attached.size()) || slot < 0 || slot >= 4 || attached[enumIndex].failCreate)
        return false;
    mSlots[slot] = enumIndex;
    productName = attached[enumIndex].productName;
    return true;
}

DInputStep CDInputFakeBackend::SetupJoystick(int slot, PlatWindowHandle) {
    Joystick* joystick = JoystickInSlot(slot);
    return joystick ? joystick->setupFailure : DInputStep::Create;
}

void CDInputFakeBackend::ReleaseJoystick(int slot) {
    if (slot >= 0 && slot < 4)
        mSlots[slot] = -1;
}

DInputReadResult CDInputFakeBackend::ReadJoystick(int slot, DInputJoyState& state) {
    Joystick* joystick = JoystickInSlot(slot);
    if (!joystick)
        return DInputReadResult::NotInitialized;
    if (joystick->readResult == DInputReadResult::Ok)
        state = joystick->state;
    return joystick->readResult;
}

DInputStep CDInputFakeBackend::CreateMouse(PlatWindowHandle) {
    mPendingMouse = DInputMouseState();
    return mouseFailure;
}

bool CDInputFakeBackend::ReadMouse(DInputMouseState& state) {
    ++mouseReads;
    state = mPendingMouse;
    std::memcpy(state.buttons, mMouseButtons, sizeof(mMouseButtons));
    mPendingMouse = DInputMouseState();
    return true;
}
