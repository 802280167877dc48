#include "CMenuLobbyingIF.h"

#include "CMenuLobbyingGameMode.h"

#include <CNetMgr.h>
#include <GuiPlainText.h>
#include <HalNet.h>
#include <Platform.h>

namespace {
bool InSession() { return g_NetMgr.GetState() == CNetMgr::e_connected; }
}  // namespace

CMenuLobbyingIF& CMenuLobbyingIF::Instance() {
    static CMenuLobbyingIF listener;
    return listener;
}

void CMenuLobbyingIF::Install(CMenuLobbyingGameMode* lobby) {
    mLobby = lobby;
    g_NetMgr.SetListener(this);
}

void CMenuLobbyingIF::Uninstall(CMenuLobbyingGameMode* lobby) {
    if (mLobby != lobby)
        return;
    mLobby = nullptr;
    if (g_NetMgr.GetListener() == this)
        g_NetMgr.SetListener(nullptr);
}

void CMenuLobbyingIF::OnEnumerationComplete(CNetGameDescList* games) {
    // What another machine sent is on screen from here: a GUI fault it
    // brings is logged, never the end of the game.
    if (mLobby)
        GuiGuard("games list", [&] { mLobby->ShowFoundGames(games); });
}

void CMenuLobbyingIF::OnConnectionFailed() {
    if (mLobby)
        mLobby->ShowConnectionFailed();
}

void CMenuLobbyingIF::OnLoginAccepted() {
    if (mLobby && InSession())
        GuiGuard("login", [&] {
            mLobby->BuildLan2Screen();
            mLobby->RefreshPlayersAndTeams();
        });
}

void CMenuLobbyingIF::OnPlayerAdded(int) {
    if (mLobby && InSession())
        GuiGuard("player joined", [&] { mLobby->OnPlayerJoined(); });
}

void CMenuLobbyingIF::OnPlayerLeft(int) {
    if (mLobby && InSession()) {
        mLobby->RefreshPlayersAndTeams();
        mLobby->ApplyTeamInfos();
    }
}

void CMenuLobbyingIF::OnHostLost() {
    if (mLobby && InSession())
        mLobby->OnHostLost();
}

void CMenuLobbyingIF::OnChatMessage(int sender, const char* text) {
    const char* name = sender >= 0 && sender < CNetMgr::SLOT_COUNT ? g_NetMgr.GetSlot(sender).mName : "?";
    NetTrace("OnChatMessage(%s) => %s", name, text ? text : "");
    if (mLobby && InSession())
        GuiGuard("chat", [&] { mLobby->AppendChatLine(std::string(name) + ": " + (text ? text : "")); });
}

void CMenuLobbyingIF::OnStartGame(CObjnet* gameParams) {
    NetTrace("OnStartGame() ...");
    if (mLobby && InSession() && gameParams)
        mLobby->StartMatch(*gameParams);
}

void CMenuLobbyingIF::OnPlayerUpdated(int) {
    if (mLobby)
        GuiGuard("player record", [&] {
            mLobby->RefreshPlayersAndTeams();
            mLobby->ApplyTeamInfos();
        });
}

bool CMenuLobbyingIF::OnCustomObject(int sender, CObjnet* object) {
    NetTrace("CMenuLobbyingIF::OnCustomObject()...");
    return mLobby && object && mLobby->ApplyCustomObject(sender, *object);
}
