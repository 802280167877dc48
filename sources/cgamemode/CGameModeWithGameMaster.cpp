#include "CGameModeWithGameMaster.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CScenaricMgr.h>
#include <MatchState.h>
#include <Platform.h>

#include <string>

CGameModeWithGameMaster::CGameModeWithGameMaster(int previousModeValue, int modeValue)
    : CGameMode(previousModeValue, modeValue) {}

CGameModeWithGameMaster::~CGameModeWithGameMaster() {
    CKEMSceneGraph::DestroyDefaultCamera();
    CKEMSceneGraph::DestroyRootNode();
    CKEMSceneGraph::CreateRootNode();
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
