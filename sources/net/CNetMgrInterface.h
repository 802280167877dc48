// The one listener through which the network manager reports what happens on
// the LAN. Every call comes from inside CNetMgr::Manage (or CNetMgr::JoinGame
// for a failed connect) on the main thread; handlers may call back into the
// manager (send, close the session).
#pragma once

#include "CNetGameDesc.h"

class CObjnet;

class CNetMgrInterface {
public:
    // The enumeration window closed; the list stays owned by the manager and
    // unchanged until the next enumeration.
    virtual void OnEnumerationComplete(CNetGameDescList* games) = 0;
    // The TCP connect of CNetMgr::JoinGame failed.
    virtual void OnConnectionFailed() = 0;
    // The host accepted our login: our index and its description are stored;
    // the player records follow as OnPlayerAdded calls.
    virtual void OnLoginAccepted() = 0;
    virtual void OnPlayerAdded(int index) = 0;
    // Called for every dropped slot.
    virtual void OnPlayerLeft(int index) = 0;
    // A client lost the host; the manager resets itself right after.
    virtual void OnHostLost() = 0;
    // The sender's slot index and the text (at most 255 characters).
    virtual void OnChatMessage(int sender, const char* text) = 0;
    // A client received the host's game parameters (the "QUICKMATCHPARAMS"
    // section), rewound to their first field; valid during the call only.
    virtual void OnStartGame(CObjnet* gameParams) = 0;
    virtual void OnPlayerUpdated(int index) = 0;
    // A custom object, rewound to its first field; valid during the call
    // only. False when the sender may not send it: the host then passes it
    // on to nobody.
    virtual bool OnCustomObject(int sender, CObjnet* object) = 0;

protected:
    // Listeners are static objects of the lobby and the match mode; nobody
    // deletes one through this interface.
    ~CNetMgrInterface() = default;
};
