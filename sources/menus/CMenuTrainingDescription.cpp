#include "CMenuTrainingDescription.h"

#include "CMenuGameMode.h"
#include "CMenuTrainingChoice.h"
#include "MenuBind.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <Platform.h>

const char CMenuTrainingDescription::kLayout[] = "CMenuTrainingDescription.layout";

namespace {
const char kOverlay[] = "CMenuTrainingDescription";
}

const char* CMenuTrainingDescription::DescriptionKey(int trainingType) {
    static const char* const kKeys[4] = {"TR_DESC_POINT_1", "TR_DESC_POINT_2", "TR_DESC_SHOOT_1", "TR_DESC_SHOOT_2"};
    return (trainingType >= 0 && trainingType < 4) ? kKeys[trainingType] : kKeys[0];
}

void CMenuTrainingDescription::OnEnter(int) {
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuTrainingDescription::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kOverlay);

    SetWindowText("MenuText", mMenuGameMode ? GetText(mMenuGameMode->GetName().c_str()) : "");
    SetWindowText("FrameName", GetText("SELECT_CHAMP"));

    using M = CMenuTrainingDescription;
    BindMenuButton<M>("BtnBack", nullptr, &M::OnBtnBack, this);
    BindMenuButton<M>("BtnValid", nullptr, &M::OnBtnValid, this);

    const CMenuTrainingChoice* choice = CMenuTrainingChoice::Of(mMenuGameMode);
    SetWindowText("TrainDesc", GetText(DescriptionKey(choice ? choice->GetTrainingType() : 0)));

    SetWindowText("BtnBack", GetText("BK"));
    SetWindowText(kValidButton, GetText("CTN"));
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(kValidButton);
    SetWindowText("TextInfosButtons", GetText("TR_DESC"));
}

bool CMenuTrainingDescription::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = 1;
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(kValidButton);
    return true;
}

void CMenuTrainingDescription::Update() {
    UpdateValidBack(false);
}
