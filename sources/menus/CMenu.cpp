#include "CMenu.h"

#include "CMenuGameMode.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CInputMgr.h>

#include <CEGUI/Window.h>

const char CMenu::kValidButton[] = "BtnValid";

void CMenu::UpdateValidBack(bool cheatKey) {
    if (!mMenuGameMode)
        return;
    if ((cheatKey && CInputMgr::IsPressed(gInputMgr.GetAction(CMenuGameMode::ACTION_CHEAT_NEXT))) || mValidated)
        mMenuGameMode->Next();
    if (mBack)
        mMenuGameMode->Back();
}

void CMenu::LeaveCommon(int) {
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

void CMenu::LeaveValidBlink(int) {
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(kValidButton);
}

void CMenu::EnableValidBlink() {
    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(true);
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(kValidButton);
}

bool CMenu::OnBtnBack(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(1);
    mBack = 1;
    return true;
}
