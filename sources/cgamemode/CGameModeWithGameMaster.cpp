#include "CGameModeWithGameMaster.h"

#include <CGUIMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CScenaricMgr.h>
#include <MatchState.h>
#include <CSoundMgr.h>
#include <Platform.h>

#include <CEGUI/Window.h>

#include <string>

CGameModeWithGameMaster::CGameModeWithGameMaster(int previousModeValue, int modeValue)
    : CGameMode(previousModeValue, modeValue) {}

CGameModeWithGameMaster::~CGameModeWithGameMaster() {
    // Without a graphics world (a mode that was never shown) there is no
    // camera to make again.
    const bool hadCamera = CKEMSceneGraph::GetViewport() != nullptr;
    if (hadCamera)
        CKEMSceneGraph::DestroyDefaultCamera();
    CKEMSceneGraph::DestroyRootNode();
    CKEMSceneGraph::CreateRootNode();
    if (hadCamera)
        CKEMSceneGraph::CreateDefaultCamera();
}

void CGameModeWithGameMaster::ReleaseRefereeNode(CKEMSceneNode* referee) {
    if (!referee)
        return;
    gScenaricMgr.Unregister(referee);
    gScenaricMgr.RemoveKilledNodes();
    const std::string name = referee->getName();
    if (!CKEMSceneGraph::DeleteNode(name))
        PlatLog("CGameModeWithGameMaster::DeleteGameMaster() => no node \"%s\" in the scene", name.c_str());
}

void CGameModeWithGameMaster::ReleaseMatchSetup(MatchState* state) {
    if (!state)
        return;
    state->mTeamA = nullptr;
    state->mTeamB = nullptr;
    delete state;
}

namespace {
const int kMaxPauseVolume = 10;
}

void CGameModeWithGameMaster::ChangeVolume(bool music, int delta) {
    gGUIMgr.PlayMenuSound(CGUIMgr::MENU_SOUND_VALID);
    int volume = (music ? gSoundMgr.GetMusicVolume() : gSoundMgr.GetSoundVolume()) + delta;
    if (volume > kMaxPauseVolume)
        volume = kMaxPauseVolume;
    if (volume < 0)
        volume = 0;
    if (music)
        gSoundMgr.SetMusicVolume(volume);
    else
        gSoundMgr.SetSoundVolume(volume);
    if (CEGUI::Window* window = gGUIMgr.GetWindow(music ? "VolMus" : "VolAmb"))
        window->setText(std::to_string(volume));
}
