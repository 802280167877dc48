#include "CNetMgrQuickMatchIF.h"

#include "CQuickMatchGameMode.h"

#include <CNetMgr.h>
#include <Platform.h>

void CNetMgrQuickMatchIF::OnPlayerLeft(int) {
    if (mOwner && g_NetMgr.IsConnected())
        mOwner->GetMachine().ChangeState(QM_STATE_NET_LOST);
}

void CNetMgrQuickMatchIF::OnHostLost() {
    if (mOwner)
        mOwner->GetMachine().ChangeState(QM_STATE_NET_LOST);
}

void CNetMgrQuickMatchIF::OnChatMessage(int sender, const char* text) {
    const char* name = "?";
    if (sender >= 0 && sender < CNetMgr::SLOT_COUNT)
        name = g_NetMgr.GetSlot(sender).mName;
    PlatLog("OnChatMessage(%s) => %s", name, text ? text : "");
}
