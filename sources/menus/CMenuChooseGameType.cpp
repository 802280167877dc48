#include "CMenuChooseGameType.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <Platform.h>

const char CMenuChooseGameType::kLayout[] = "CMenuSelectGameType.layout";

namespace {
// By game type 1, 2, 3.
const char* const kTypeButtons[] = {"BtnFaceToFace", "BtnDoublette", "BtnTriplette"};

void Disable(const char* window) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setEnabled(false);
}
}  // namespace

void CMenuChooseGameType::OnEnter(int) {
    mGameType = 0;
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseGameType::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);

    mHumanPlayers = mMenuGameMode ? mMenuGameMode->GetNbPlayers() : 0;
    // Every human needs a place of his own in one of the two teams, except in
    // the cup where each human heads a team.
    if (mMenuGameMode && mMenuGameMode->GetTournamentType() != CMenuGameMode::TOURNAMENT_CUP) {
        if (mHumanPlayers > 2)
            Disable("BtnFaceToFace");
        if (mHumanPlayers > 4)
            Disable("BtnDoublette");
    }

    gGUIMgr.ShowOverlay("CMenuChooseGameType");
    if (mMenuGameMode)
        SetWindowText("MenuText", GetText(mMenuGameMode->GetName().c_str()));
    SetWindowText("FrameName", GetText("SELECT_GAME_TYPE"));
    SetWindowText("TextInfosButtons", GetText("TP"));

    using M = CMenuChooseGameType;
    BindMenuButton("BtnTriplette", "TRP", &M::OnBtnTriplette, this);
    BindMenuButton("BtnDoublette", "DBL", &M::OnBtnDoublette, this);
    BindMenuButton("BtnFaceToFace", "FAF", &M::OnBtnFaceToFace, this);
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    Disable(kValidButton);
}

void CMenuChooseGameType::Choose(int gameType) {
    mGameType = gameType;
    gGUIMgr.PlayMenuSound(0);
    EnableValidBlink();
    if (mMenuGameMode)
        mMenuGameMode->SetGameType(gameType);
    if (MenuHudHooks().stopWindowEffect)
        for (const char* button : kTypeButtons)
            MenuHudHooks().stopWindowEffect(button);
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(kTypeButtons[gameType - 1]);
}

bool CMenuChooseGameType::OnBtnFaceToFace(const CEGUI::EventArgs&) {
    Choose(1);
    return true;
}

bool CMenuChooseGameType::OnBtnDoublette(const CEGUI::EventArgs&) {
    Choose(2);
    return true;
}

bool CMenuChooseGameType::OnBtnTriplette(const CEGUI::EventArgs&) {
    Choose(3);
    return true;
}

bool CMenuChooseGameType::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode)
        mMenuGameMode->SetGameType(mGameType);
    mValidated = 1;
    return true;
}
