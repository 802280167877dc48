// The LAN listener of the match mode: a lost peer or host moves the match to
// the net-lost state; chat is only traced during a match.
#pragma once

#include <CNetMgrInterface.h>

class CQuickMatchGameMode;

class CNetMgrQuickMatchIF : public CNetMgrInterface {
public:
    explicit CNetMgrQuickMatchIF(CQuickMatchGameMode* owner) : mOwner(owner) {}
    virtual ~CNetMgrQuickMatchIF() = default;

    void OnEnumerationComplete(CNetGameDescList*) override {}
    void OnConnectionFailed() override {}
    void OnLoginAccepted() override {}
    void OnPlayerAdded(int) override {}
    void OnPlayerLeft(int index) override;
    void OnHostLost() override;
    void OnChatMessage(int sender, const char* text) override;
    void OnStartGame(CObjnet*) override {}
    void OnPlayerUpdated(int) override {}
    // Lobby records mean nothing once the match runs.
    bool OnCustomObject(int, CObjnet*) override { return false; }

private:
    // Once: a lost host also reports every slot it drops, and entering the
    // state again would undo a press of its button.
    void EnterNetLost();

    CQuickMatchGameMode* mOwner;
};
