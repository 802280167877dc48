// The championship of the career, which is also the career's step: on every
// visit only the current step's button is usable.
#pragma once

#include "CMenu.h"

class CMenuChooseCareerType : public CMenu {
public:
    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override { LeaveCommon(nextStateId); }

    bool OnBtnFranceFaceToFace(const CEGUI::EventArgs& args);
    bool OnBtnFranceDoublette(const CEGUI::EventArgs& args);
    bool OnBtnFranceTriplette(const CEGUI::EventArgs& args);
    bool OnBtnWorldChamp(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetGameType() const { return mGameType; }

    static const char kLayout[];   // "CMenuSelectCareerType.layout"

private:
    void Clicked(const char* button);

    int mGameType = 0;
};
