#include "CMenuChooseTrainingType.h"

#include "CMenuGameMode.h"
#include "CMenuTrainingChoice.h"
#include "MenuBind.h"
#include "MenuServices.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <Platform.h>

#include <CEGUI/Window.h>

const char CMenuChooseTrainingType::kLayout[] = "CMenuSelectTrainingType.layout";
const char* const CMenuChooseTrainingType::kExerciseButtons[4] = {"BtnPoint1", "BtnPoint2", "BtnShoot1", "BtnShoot2"};

namespace {
const char kOverlay[] = "CMenuChooseTrainingType";
const char* const kExerciseKeys[4] = {"TR_POINT_1", "TR_POINT_2", "TR_SHOOT_1", "TR_SHOOT_2"};

void Blink(const char* window, bool on) {
    auto effect = on ? MenuHudHooks().startWindowEffect : MenuHudHooks().stopWindowEffect;
    if (effect)
        effect(window);
}
}  // namespace

void CMenuChooseTrainingType::OnEnter(int) {
    mExercise = 0;
    ClearFlags();
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseTrainingType::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay(kOverlay);

    SetWindowText("MenuText", mMenuGameMode ? GetText(mMenuGameMode->GetName().c_str()) : "");
    SetWindowText("FrameName", GetText("SELECT_CHAMP"));
    SetWindowText("TextInfosButtons", "");

    using M = CMenuChooseTrainingType;
    BindMenuButton<M>("BtnPoint1", kExerciseKeys[0], &M::OnBtnPoint1, this);
    BindMenuButton<M>("BtnPoint2", kExerciseKeys[1], &M::OnBtnPoint2, this);
    BindMenuButton<M>("BtnShoot1", kExerciseKeys[2], &M::OnBtnShoot1, this);
    BindMenuButton<M>("BtnShoot2", kExerciseKeys[3], &M::OnBtnShoot2, this);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    BindMenuButton<M>(kValidButton, "CTN", &M::OnBtnValid, this);

    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(false);
    Blink(kValidButton, true);
    SetWindowText("TextInfosButtons", GetText("TR_TYPE"));
}

bool CMenuChooseTrainingType::ChooseExercise(int exercise) {
    mExercise = exercise;
    gGUIMgr.PlayMenuSound(0);
    if (CMenuTrainingChoice* choice = CMenuTrainingChoice::Of(mMenuGameMode))
        choice->SetTrainingType(exercise);
    else
        PlatLog("CMenuChooseTrainingType => the flow holds no training choice; exercise %d not kept", exercise);
    if (CEGUI::Window* valid = gGUIMgr.GetWindow(kValidButton))
        valid->setEnabled(true);
    for (const char* button : kExerciseButtons)
        Blink(button, false);
    Blink(kExerciseButtons[exercise], true);
    return true;
}

bool CMenuChooseTrainingType::OnBtnPoint1(const CEGUI::EventArgs&) { return ChooseExercise(0); }
bool CMenuChooseTrainingType::OnBtnPoint2(const CEGUI::EventArgs&) { return ChooseExercise(1); }
bool CMenuChooseTrainingType::OnBtnShoot1(const CEGUI::EventArgs&) { return ChooseExercise(2); }
bool CMenuChooseTrainingType::OnBtnShoot2(const CEGUI::EventArgs&) { return ChooseExercise(3); }

bool CMenuChooseTrainingType::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = 1;
    Blink(kValidButton, false);
    return true;
}
