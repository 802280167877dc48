// First screen of the quick match: a local game goes on through the menus, a
// LAN game leaves them for the LAN lobby.
#pragma once

#include "CMenu.h"

class CMenuChooseLan : public CMenu {
public:
    enum { CHOICE_LOCAL = 0, CHOICE_LAN = 1 };

    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override { LeaveValidBlink(nextStateId); }

    bool OnBtnLan(const CEGUI::EventArgs& args);
    bool OnBtnLocal(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetChoice() const { return mChoice; }

    static const char kLayout[];   // "CMenuLANSelect.layout"

private:
    void ShowChoice();
    void Choose(int choice);

    int mChoice = CHOICE_LOCAL;
};
