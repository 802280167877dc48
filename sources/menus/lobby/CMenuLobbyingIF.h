// The lobby's network listener: what the network manager reports while the
// LAN lobby runs goes to the running lobby mode's screens.
#pragma once

#include <CNetMgrInterface.h>

class CMenuLobbyingGameMode;

class CMenuLobbyingIF : public CNetMgrInterface {
public:
    // The one object, installed by the lobby mode.
    static CMenuLobbyingIF& Instance();
    // Points the listener at the lobby and installs it in the network manager.
    void Install(CMenuLobbyingGameMode* lobby);
    // The lobby goes: the listener forgets it and, when installed, leaves the
    // network manager.
    void Uninstall(CMenuLobbyingGameMode* lobby);
    CMenuLobbyingGameMode* GetLobby() const { return mLobby; }

    void OnEnumerationComplete(CNetGameDescList* games) override;
    void OnConnectionFailed() override;
    void OnLoginAccepted() override;
    void OnPlayerAdded(int index) override;
    void OnPlayerLeft(int index) override;
    void OnHostLost() override;
    void OnChatMessage(int sender, const char* text) override;
    void OnStartGame(CObjnet* gameParams) override;
    void OnPlayerUpdated(int index) override;
    bool OnCustomObject(int sender, CObjnet* object) override;

private:
    CMenuLobbyingIF() = default;
    CMenuLobbyingGameMode* mLobby = nullptr;
};
