#include "CQMGMState.h"

#include "CQuickMatchGameMode.h"

#include <CGUIMgr.h>

#include <CEGUI/Window.h>

bool CQMGMState::OnButtonValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    ShowWindow("FrameResponse", false);
    gGUIMgr.HideOverlay();
    mDone = 1;
    return true;
}

void CQMGMState::ChangeTo(int id) {
    if (mOwner)
        mOwner->GetMachine().ChangeState(id);
}

void ShowWindow(const char* name, bool show) {
    gGUIMgr.Show(name, show);
}

void SetWindowTextOf(const char* name, const std::string& text) {
    if (CEGUI::Window* window = gGUIMgr.GetWindow(name))
        window->setText(text);
}

bool IsWindowVisible(const char* name) {
    CEGUI::Window* window = gGUIMgr.GetWindow(name);
    return window && window->isVisible();
}

void EnableWindow(const char* name, bool enable) {
    if (CEGUI::Window* window = gGUIMgr.GetWindow(name))
        window->setEnabled(enable);
}
