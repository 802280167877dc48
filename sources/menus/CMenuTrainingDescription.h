// The second screen of the training flow: the chosen exercise's description
// and a confirmation.
#pragma once

#include "CMenu.h"

class CMenuTrainingDescription : public CMenu {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override { LeaveCommon(nextStateId); }

    bool OnBtnValid(const CEGUI::EventArgs& args);
    // Back from the description does not stop the blink of "BtnValid": the
    // windows go on leave, and their effects with them.
    bool OnBtnBack(const CEGUI::EventArgs& args) { return CMenu::OnBtnBack(args); }

    // The text key of an exercise's description; the first pointing one for
    // any value outside 0..3.
    static const char* DescriptionKey(int trainingType);

    static const char kLayout[];   // "CMenuTrainingDescription.layout"
};
