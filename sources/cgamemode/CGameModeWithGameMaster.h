// The base of the two modes that play on a venue with a referee: the match
// mode and the training mode. It holds the referee and the match state and,
// when it goes, leaves an empty scene ("KEM_ROOT" and "DefaultCam") to the
// next mode.
#pragma once

#include <CGameMode.h>

class CGameMaster;
class CKEMSceneNode;
class MatchState;

class CGameModeWithGameMaster : public CGameMode {
public:
    // The venue's whole node tree goes; a new root and default camera follow.
    ~CGameModeWithGameMaster() override;

    // Unregisters the referee from the scripted-node manager, removes the
    // dead nodes, deletes the referee node by its name and forgets it.
    // Instantiated where the referee's class is known.
    template <class Referee = CGameMaster>
    void DeleteGameMaster() {
        if (Referee* referee = mGameMaster) {
            mGameMaster = nullptr;
            ReleaseRefereeNode(referee);
        }
    }
    // Deletes the match state (with its mene record and terrain); its teams
    // are not the match state's and stay. Null does nothing.
    static void ReleaseMatchSetup(MatchState* state);

    CGameMaster* GetGameMaster() const { return mGameMaster; }
    MatchState* GetMatchState() const { return mMatchState; }

protected:
    CGameModeWithGameMaster(int previousModeValue, int modeValue);

    // The referee node's part of DeleteGameMaster.
    static void ReleaseRefereeNode(CKEMSceneNode* referee);
    // The pause frame's volume buttons: one step up or down within 0..10,
    // shown in "VolMus" or "VolAmb".
    static void ChangeVolume(bool music, int delta);

    CGameMaster* mGameMaster = nullptr;
    unsigned char mHudReady = 0;
    unsigned char mReplayHovered = 0;   // the mouse is over "BtnReplay"
    MatchState* mMatchState = nullptr;
};
