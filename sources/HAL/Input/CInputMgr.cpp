#include "CInputMgr.h"

#include <CMainApp.h>
#include <Platform.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/System.h>

#include <cstring>

CInputMgr gInputMgr;

namespace {

PlatWindowHandle MainWindow() {
    return g_pMainApp ? reinterpret_cast<PlatWindowHandle>(g_pMainApp->GetWindowHandle()) : 0;
}

}  // namespace

void CInputMgr::Init() {
    DInputInit(MainWindow());
    std::memset(mBindings, 0, sizeof(mBindings));
    std::memset(mChannels, 0, sizeof(mChannels));
}

int CInputMgr::SetKeyMapping(int action, int channel) {
    if (action < 0 || action >= KEM_INPUT_ACTION_COUNT || channel < 0 || channel >= KEM_INPUT_CHANNEL_COUNT) {
        PlatLog("CInputMgr::SetKeyMapping: action %d or channel %d out of range, ignored", action, channel);
        return action;
    }
    mBindings[action] = uint16_t(channel);
    return action;
}

void CInputMgr::Update() { DInputPoll(mChannels, MainWindow()); }

void CInputMgr::InjectChar(uint16_t character) {
    if (CEGUI::System* system = CEGUI::System::getSingletonPtr())
        system->getDefaultGUIContext().injectChar(character);
}

bool CInputMgr::GetMousePosition(float& x, float& y) { return GetCursorClientPosition(x, y); }

uint16_t CInputMgr::GetChannel(int channel) const {
    return channel >= 0 && channel < KEM_INPUT_CHANNEL_COUNT ? mChannels[channel] : 0;
}

uint16_t CInputMgr::GetKeyMapping(int action) const {
    return action >= 0 && action < KEM_INPUT_ACTION_COUNT ? mBindings[action] : 0;
}
