#include "CQMGMNetLostState.h"

#include "CQuickMatchGameMode.h"

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <TestReport.h>

#include <CEGUI/Window.h>

void CQMGMNetLostState::OnEnter(int) {
    TestReport("state %s", "CQMGMNetLostState");
    mDone = 0;
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
    if (mDone && mOwner)
        mOwner->Finish(GAME_MODE_MAIN_MENU);
}
