#include "CMenuChooseChampType.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <Platform.h>

const char CMenuChooseChampType::kLayout[] = "CMenuSelectChampType.layout";
const char CMenuChooseChampType::kMapElement[] = "FranceWorldMap";

namespace {
const char kOverlay[] = "CMenuChooseChamp";
const char kFranceButton[] = "BtnFrance";
const char kWorldButton[] = "BtnWorld";

void Blink(const char* window, bool on) {
    auto effect = on ? MenuHudHooks().startWindowEffect : MenuHudHooks().stopWindowEffect;
    if (effect)
        effect(window);
}
}  // namespace

void CMenuChooseChampType::OnEnter(int) {
    mChoice = CHOICE_NONE;
    mSavedMapWidth = GetOverlayElementWidth(kMapElement);
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseChampType::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kOverlay);

    SetWindowText("MenuText", mMenuGameMode ? GetText(mMenuGameMode->GetName().c_str()) : "");
    SetWindowText("FrameName", GetText("SELECT_CHAMP_TYPE"));
    SetWindowText("TextInfos", GetText("SELECT_CHAMP_INFO"));
    SetWindowText(kFranceButton, GetText("FRANCE"));
    SetWindowText(kWorldButton, GetText("WORLD"));

    using M = CMenuChooseChampType;
    BindMenuButton<M>(kValidButton, nullptr, &M::OnBtnValid, this);
    BindMenuButton<M>("BtnBack", nullptr, &M::OnBtnBack, this);
    BindMenuButton<M>(kFranceButton, nullptr, &M::OnBtnFrance, this);
    BindMenuButton<M>(kWorldButton, nullptr, &M::OnBtnWorld, this);
    SetWindowText("BtnBack", GetText("BK"));
    SetWindowText(kValidButton, GetText("CTN"));

    ShowFranceMap();
}

void CMenuChooseChampType::ShowFranceMap() {
    SetOverlayMaterial(kMapElement, "Championnat/MapFrance");
    if (mChoice != CHOICE_FRANCE)
        SetOverlayElementWidth(kMapElement, GetOverlayElementWidth(kMapElement) / 1.5f);
    mChoice = CHOICE_FRANCE;
    Blink(kFranceButton, true);
    Blink(kWorldButton, false);
}

void CMenuChooseChampType::ShowWorldMap() {
    SetOverlayMaterial(kMapElement, "Championnat/MapWorld");
    if (mChoice != CHOICE_WORLD)
        SetOverlayElementWidth(kMapElement, mSavedMapWidth);
    mChoice = CHOICE_WORLD;
    Blink(kWorldButton, true);
    Blink(kFranceButton, false);
}

bool CMenuChooseChampType::OnBtnFrance(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    ShowFranceMap();
    return true;
}

bool CMenuChooseChampType::OnBtnWorld(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    ShowWorldMap();
    return true;
}

bool CMenuChooseChampType::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = 1;
    if (mMenuGameMode)
        mMenuGameMode->SetTeamOrigin(mChoice);
    return true;
}

void CMenuChooseChampType::OnLeave(int nextStateId) {
    SetOverlayElementWidth(kMapElement, mSavedMapWidth);
    Blink(kFranceButton, false);
    Blink(kWorldButton, false);
    LeaveCommon(nextStateId);
}
