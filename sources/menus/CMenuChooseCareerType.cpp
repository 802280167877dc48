#include "CMenuChooseCareerType.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <Platform.h>
#include <TestReport.h>

#include <CEGUI/Window.h>

#include <string>

const char CMenuChooseCareerType::kLayout[] = "CMenuSelectCareerType.layout";

namespace {
const char kFaceToFace[] = "BtnFrancefaceToFace";
const char kDoublette[] = "BtnFranceDoublette";
const char kTriplette[] = "BtnFranceTriplette";
const char kWorld[] = "BtnWorldChamp";
const char* const kChampButtons[] = {kFaceToFace, kDoublette, kTriplette, kWorld};

void Disable(const char* window) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setEnabled(false);
}
}  // namespace

void CMenuChooseCareerType::OnEnter(int) {
    mGameType = 0;
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseCareerType::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay("CMenuChooseCareerType");
    if (mMenuGameMode)
        SetWindowText("MenuText", GetText(mMenuGameMode->GetName().c_str()));
    SetWindowText("FrameName", GetText("SELECT_CHAMP"));
    SetWindowText("TextInfosButtons", "");

    using M = CMenuChooseCareerType;
    BindMenuButton(kFaceToFace, "CH_FR_FTF", &M::OnBtnFranceFaceToFace, this);
    BindMenuButton(kDoublette, "CH_FR_DBL", &M::OnBtnFranceDoublette, this);
    BindMenuButton(kTriplette, "CH_FR_TPL", &M::OnBtnFranceTriplette, this);
    BindMenuButton(kWorld, "CH_WL_TPL", &M::OnBtnWorldChamp, this);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);

    // It blinks while disabled, until a championship enables it.
    Disable(kValidButton);
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(kValidButton);
    SetWindowText("TextInfosButtons", GetText("TP"));

    if (!mMenuGameMode || mMenuGameMode->GetTournamentType() != CMenuGameMode::TOURNAMENT_CAREER)
        return;
    // Only the current step's championship stays usable; past the first step
    // there is no way back from here.
    const int step = mMenuGameMode->GetCareerType();
    if (step >= 1 && step <= 4) {
        for (int i = 0; i < 4; ++i)
            if (i != step - 1)
                Disable(kChampButtons[i]);
        if (step > 1)
            Disable("BtnBack");
    }
    // The end-to-end tests read which stages are open.
    std::string open;
    for (int i = 0; i < 4; ++i) {
        const CEGUI::Window* w = gGUIMgr.GetWindow(kChampButtons[i]);
        if (w && !w->isDisabled())
            open += open.empty() ? std::to_string(i + 1) : "," + std::to_string(i + 1);
    }
    TestReport("career stages open %s", open.empty() ? "none" : open.c_str());
}

void CMenuChooseCareerType::Clicked(const char* button) {
    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(true);
    if (MenuHudHooks().stopWindowEffect)
        for (const char* champ : kChampButtons)
            MenuHudHooks().stopWindowEffect(champ);
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(button);
}

bool CMenuChooseCareerType::OnBtnFranceFaceToFace(const CEGUI::EventArgs&) {
    mGameType = 1;
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode) {
        mMenuGameMode->SetGameType(1);
        mMenuGameMode->SetCareerType(1);
    }
    Clicked(kFaceToFace);
    return true;
}

bool CMenuChooseCareerType::OnBtnFranceDoublette(const CEGUI::EventArgs&) {
    mGameType = 2;
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode) {
        mMenuGameMode->SetGameType(2);
        mMenuGameMode->SetCareerType(2);
        mMenuGameMode->SetTeamOrigin(1);
    }
    Clicked(kDoublette);
    return true;
}

bool CMenuChooseCareerType::OnBtnFranceTriplette(const CEGUI::EventArgs&) {
    mGameType = 3;
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode) {
        mMenuGameMode->SetGameType(3);
        mMenuGameMode->SetCareerType(3);
        mMenuGameMode->SetTeamOrigin(1);
    }
    Clicked(kTriplette);
    return true;
}

bool CMenuChooseCareerType::OnBtnWorldChamp(const CEGUI::EventArgs&) {
    mGameType = 3;
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode) {
        mMenuGameMode->SetGameType(3);
        mMenuGameMode->SetTeamOrigin(2);
        mMenuGameMode->SetCareerType(4);
    }
    Clicked(kWorld);
    return true;
}

bool CMenuChooseCareerType::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = 1;
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(kValidButton);
    return true;
}
