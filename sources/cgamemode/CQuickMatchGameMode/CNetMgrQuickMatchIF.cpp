#include "CNetMgrQuickMatchIF.h"

#include "CQuickMatchGameMode.h"

#include <CNetMgr.h>
#include <Platform.h>

void CNetMgrQuickMatchIF::EnterNetLost() {
    if (mOwner && mOwner->GetMachine().GetCurrentState() != QM_STATE_NET_LOST)
        mOwner->GetMachine().ChangeState(QM_STATE_NET_LOST);
}

void CNetMgrQuickMatchIF::OnPlayerLeft(int) {
    if (g_NetMgr.IsConnected())
        EnterNetLost();
}

void CNetMgrQuickMatchIF::OnHostLost() { EnterNetLost(); }

void CNetMgrQuickMatchIF::OnChatMessage(int sender, const char* text) {
    const char* name = "?";
    if (sender >= 0 && sender < CNetMgr::SLOT_COUNT)
        name = g_NetMgr.GetSlot(sender).mName;
    PlatLog("OnChatMessage(%s) => %s", name, text ? text : "");
}
