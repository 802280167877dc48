#include "CMenuChooseStage.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <COverlayHolder.h>
#include <Platform.h>

const char CMenuChooseStage::kLayout[] = "CMenuSelectStage.layout";

namespace {
struct Stage {
    const char* nameKey;
    const char* picture;
};
const Stage kStages[CMenuChooseStage::NB_STAGES] = {
    {"MARSEILLE", "Marseille"}, {"BALTARD", "Baltar"}, {"REUNION", "Reunion"}, {"CIOTAT", "Laciotat"}};

int Clamped(int index) { return index < 0 ? 0 : (index >= CMenuChooseStage::NB_STAGES ? CMenuChooseStage::NB_STAGES - 1 : index); }
}  // namespace

std::string CMenuChooseStage::StageMaterial(int index) {
    char material[64];
    PlatFormat(material, sizeof material, "%s%s", "MENU/Terrain/", kStages[Clamped(index)].picture);
    return material;
}

const char* CMenuChooseStage::StageNameKey(int index) { return kStages[Clamped(index)].nameKey; }

void CMenuChooseStage::OnEnter(int) {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseStage::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay("CMenuChooseStage");
    if (mMenuGameMode)
        SetWindowText("MenuText", GetText(mMenuGameMode->GetName().c_str()));
    using M = CMenuChooseStage;
    BindMenuButton("BtnValid", "MATCH", &M::OnBtnValid, this);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    BindMenuButton("BtnPrev", "PREV", &M::OnBtnPrev, this);
    BindMenuButton("BtnNext", "NEXT", &M::OnBtnNext, this);
    // The first stage can be validated at once.
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(kValidButton);
    SetWindowText("FrameName", GetText("MARSEILLE"));
    ClearFlags();
    mStageIndex = 0;
    ShowStage();
}

void CMenuChooseStage::OnLeave(int) {
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(kValidButton);
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

void CMenuChooseStage::ShowStage() {
    SetOverlayMaterial("StageLocation", StageMaterial(mStageIndex));
    SetWindowText("FrameName", GetText(StageNameKey(mStageIndex)));
}

bool CMenuChooseStage::OnBtnNext(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mStageIndex < NB_STAGES - 1)
        ++mStageIndex;
    ShowStage();
    return true;
}

bool CMenuChooseStage::OnBtnPrev(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mStageIndex > 0)
        --mStageIndex;
    ShowStage();
    return true;
}

bool CMenuChooseStage::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = 1;
    if (mMenuGameMode)
        mMenuGameMode->SetLocation(mStageIndex);
    return true;
}
