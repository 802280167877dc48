#include "CQMGMNetLostState.h"

#include "CQuickMatchGameMode.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <HalTimer.h>
#include <Platform.h>
#include <TestReport.h>

#include <CEGUI/Window.h>

namespace {

// With nobody at this machine to press the button, the message stays this long.
const uint32_t kUnattendedMs = 3000;

}  // namespace

void CQMGMNetLostState::OnEnter(int) {
    TestReport("state %s", "CQMGMNetLostState");
    mDone = 0;
    mEnteredAt = gTimer.GetCurrentClock();
    PlatLog("CQMGMNetLostState::OnEnter() => the LAN connection ended");
    ShowWindow("FrameResponse", true);
    ShowWindow("FrameHeadTail", false);
    gGUIMgr.HideOverlay();
    gGUIMgr.ShowOverlay("QuickMatchInfo");
    SetWindowTextOf("FrameResponseName", GetText("LAN_STOPPED"));
    SetWindowTextOf("FrameHeadTail/MonText", GetText("LAN_DISCONNECT"));
    SetWindowTextOf("FrameResponse/Text", "");
    SetWindowTextOf("ButtonValid", GetText("ACCUEIL"));
    ShowWindow("ButtonValid", true);
    if (CEGUI::Window* valid = gGUIMgr.GetWindow("ButtonValid"))
        valid->subscribeEvent(CEGUI::Window::EventMouseClick,
                              CEGUI::Event::Subscriber(&CQMGMState::OnButtonValid, static_cast<CQMGMState*>(this)));
}

void CQMGMNetLostState::Update() {
    if (!mDone && mOwner && mOwner->IsSpectatorMatch() && gTimer.GetCurrentClock() - mEnteredAt >= kUnattendedMs)
        mDone = 1;
    if (mDone && mOwner)
        mOwner->Finish(GAME_MODE_MAIN_MENU);
}
