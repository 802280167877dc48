#include "CMenuChooseLan.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <ControlerTable.h>
#include <Platform.h>

const char CMenuChooseLan::kLayout[] = "CMenuLANSelect.layout";

namespace {
const int kLanLobbyMode = 11;
}

void CMenuChooseLan::OnEnter(int) {
    mChoice = CHOICE_LOCAL;
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseLan::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay("CMenuChooseLan");
    gGUIMgr.Show("FrameLAN", true);
    if (mMenuGameMode)
        SetWindowText("MenuText", GetText(mMenuGameMode->GetName().c_str()));
    SetWindowText("TextInfos", GetText("LAN_INFO"));
    SetWindowText("FrameLANText", GetText("LAN_FRAME"));
    ShowChoice();
    gGUIMgr.Show(kValidButton, true);
    using M = CMenuChooseLan;
    BindMenuButton("BtnLAN", "LAN", &M::OnBtnLan, this);
    BindMenuButton("BtnLocal", "LOCAL", &M::OnBtnLocal, this);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);
    if (mMenuGameMode)
        mMenuGameMode->SetLanGame(0);
    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(false);
}

void CMenuChooseLan::ShowChoice() {
    if (mMenuGameMode)
        mMenuGameMode->SetLanGame(mChoice);
    SetWindowText("TextChosen", GetText(mChoice == CHOICE_LAN ? "LAN" : "LOCAL"));
}

void CMenuChooseLan::Choose(int choice) {
    gGUIMgr.PlayMenuSound(0);
    mChoice = choice;
    ShowChoice();
    EnableValidBlink();
    const char* chosen = choice == CHOICE_LAN ? "BtnLAN" : "BtnLocal";
    const char* other = choice == CHOICE_LAN ? "BtnLocal" : "BtnLAN";
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(other);
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(chosen);
}

bool CMenuChooseLan::OnBtnLan(const CEGUI::EventArgs&) {
    Choose(CHOICE_LAN);
    return true;
}

bool CMenuChooseLan::OnBtnLocal(const CEGUI::EventArgs&) {
    Choose(CHOICE_LOCAL);
    return true;
}

bool CMenuChooseLan::OnBtnValid(const CEGUI::EventArgs&) {
    ResetControlers();
    gGUIMgr.PlayMenuSound(0);
    // The lobby takes over at once: no further screen, no match parameters.
    if (mChoice == CHOICE_LAN) {
        if (mMenuGameMode)
            mMenuGameMode->SetNextMode(kLanLobbyMode);
    } else {
        mValidated = 1;
    }
    return true;
}
