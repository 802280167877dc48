// The first screen of the training flow: one of two pointing and two
// shooting exercises. The choice goes into the flow at once.
#pragma once

#include "CMenu.h"

class CMenuChooseTrainingType : public CMenu {
public:
    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override { LeaveCommon(nextStateId); }

    bool OnBtnPoint1(const CEGUI::EventArgs& args);
    bool OnBtnPoint2(const CEGUI::EventArgs& args);
    bool OnBtnShoot1(const CEGUI::EventArgs& args);
    bool OnBtnShoot2(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetExercise() const { return mExercise; }

    static const char kLayout[];   // "CMenuSelectTrainingType.layout"
    static const char* const kExerciseButtons[4];

private:
    bool ChooseExercise(int exercise);

    int mExercise = 0;
};
