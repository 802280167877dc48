// The base of the menu screens: a state of a flow's state machine tied to its
// flow. A screen never switches screens from inside a GUI handler: handlers
// set the validated or back flag and the screen's Update turns the flags
// into the flow's Next or Back.
#pragma once

#include <CKEMStateMachine.h>

#include <string>

class CMenuGameMode;

namespace CEGUI {
class EventArgs;
}

class CMenu : public CKEMState {
public:
    CMenuGameMode* GetMenuGameMode() const { return mMenuGameMode; }
    void SetMenuGameMode(CMenuGameMode* flow) { mMenuGameMode = flow; }

    // The flow's Next when the validated flag is set (or, with cheatKey, the
    // cheat action was pressed this frame); then its Back when the back flag
    // is set.
    void UpdateValidBack(bool cheatKey = true);
    // Every GUI window goes, then the menu background.
    void LeaveCommon(int nextStateId);
    // Only the blink of "BtnValid" stops; windows and background stay for the
    // next screen's layout to replace.
    void LeaveValidBlink(int nextStateId);
    // "BtnValid", shown disabled until a choice is made, is enabled and blinks.
    void EnableValidBlink();
    // Cancel sound; back flag set. True.
    bool OnBtnBack(const CEGUI::EventArgs& args);

    bool IsValidated() const { return mValidated != 0; }
    bool IsBack() const { return mBack != 0; }

    static const char kValidButton[];   // "BtnValid"

protected:
    CMenu() = default;

    // The flags' reset of every OnEnter.
    void ClearFlags() {
        mValidated = 0;
        mBack = 0;
    }

    CMenuGameMode* mMenuGameMode = nullptr;
    unsigned char mValidated = 0;
    unsigned char mBack = 0;
};

// The empty last state of every flow: entering it runs the last real
// screen's OnLeave.
class CMenuDummy : public CMenu {
public:
    void OnEnter(int) override {}
    void Update() override {}
    void OnLeave(int) override {}
};
