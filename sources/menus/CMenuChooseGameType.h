// The kind of match: face to face, doublette or triplette. The choice goes to
// the flow at once; the players per team follow from it.
#pragma once

#include "CMenu.h"

class CMenuChooseGameType : public CMenu {
public:
    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override { LeaveCommon(nextStateId); }

    bool OnBtnFaceToFace(const CEGUI::EventArgs& args);
    bool OnBtnDoublette(const CEGUI::EventArgs& args);
    bool OnBtnTriplette(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetGameType() const { return mGameType; }

    static const char kLayout[];   // "CMenuSelectGameType.layout"

private:
    void Choose(int gameType);

    int mHumanPlayers = 0;
    int mGameType = 0;
};
