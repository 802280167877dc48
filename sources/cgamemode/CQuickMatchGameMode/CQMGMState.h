// The base of the match states: a machine state that knows its match mode.
#pragma once

#include <CKEMStateMachine.h>

#include <string>

namespace CEGUI {
class EventArgs;
}
class CQuickMatchGameMode;

class CQMGMState : public CKEMState {
public:
    void SetOwner(CQuickMatchGameMode* owner) { mOwner = owner; }
    CQuickMatchGameMode* GetOwner() const { return mOwner; }

    // The "ButtonValid" click of an answer frame (toss, net lost): valid
    // sound, "FrameResponse" and the remembered overlay hidden, done set.
    bool OnButtonValid(const CEGUI::EventArgs& args);
    bool IsDone() const { return mDone != 0; }

protected:
    // Changes the owner's match machine to `id`.
    void ChangeTo(int id);

    CQuickMatchGameMode* mOwner = nullptr;
    unsigned char mDone = 0;
};

// Helpers the states share.
void ShowWindow(const char* name, bool show);
void SetWindowTextOf(const char* name, const std::string& text);
bool IsWindowVisible(const char* name);
void EnableWindow(const char* name, bool enable);
