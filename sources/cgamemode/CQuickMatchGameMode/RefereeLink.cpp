#include "RefereeLink.h"

#include <CGameMaster.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <StrategyManager.h>

namespace referee {

CGameMaster* Create(MatchState* state) {
    return new CGameMaster(state);
}

CKEMSceneNode* Node(CGameMaster* referee) {
    return referee;
}

CHudGameSource* HudSource(CGameMaster* referee) {
    return referee;
}

bool IsSetUpFailed(CGameMaster* referee) {
    return referee && referee->IsSetUpFailed();
}

void ResetStart(CGameMaster* referee) {
    if (referee)
        referee->ResetStartFlags();
}

void StartRound(CGameMaster* referee) {
    if (referee)
        referee->StartRound();
}

void EvaluateThrow(CGameMaster* referee, bool& valid, int& resultCode) {
    valid = true;
    resultCode = 0;
    if (referee)
        referee->EvaluateThrow(valid, resultCode);
}

void UpdateThrow(CGameMaster* referee) {
    if (referee)
        referee->UpdateThrow();
}

void ApplyAIDecision(CGameMaster* referee) {
    if (referee)
        referee->ApplyAIDecision();
}

bool IsLocalHumanTurn(CGameMaster* referee) {
    return referee && referee->IsLocalHumanTurn();
}

bool CalibrateRolling(CGameMaster* referee) {
    return !referee || referee->CalibrateRolling();
}

void UpdateMatchCamera(CGameMaster* referee, int state) {
    if (referee)
        referee->UpdateMatchCamera(state);
}

void HideBestBalls(CGameMaster* referee) {
    if (referee)
        referee->HideBestBalls();
}

void ShowBestBalls(CGameMaster* referee) {
    if (referee)
        referee->ShowBestBalls();
}

void ResetAwards(CGameMaster* referee) {
    if (referee)
        referee->ResetAwards();
}

void BuildPlayerModels(CGameMaster* referee, Team* team) {
    if (referee && team)
        referee->BuildPlayerModel(team);
}

void ResetStrategy(CGameMaster* referee) {
    if (StrategyManager* strategy = referee ? referee->GetStrategyManager() : nullptr)
        strategy->Reset();
}

LaunchSet* GetLaunchSet(CGameMaster* referee) {
    return referee ? referee->GetLaunchSet() : nullptr;
}

bool IsGaugeDone(CGameMaster* referee) {
    return referee && referee->IsGaugeDone();
}

CAimGuide* GetAimGuide(CGameMaster* referee) {
    return referee ? referee->GetAimGuide() : nullptr;
}

CMatchCamera* GetCamera(CGameMaster* referee) {
    return referee ? referee->GetCamera() : nullptr;
}

const std::vector<CBall*>* GetBalls(CGameMaster* referee) {
    return referee ? &referee->GetBalls() : nullptr;
}

float GetZoomFactor(CGameMaster* referee) {
    return referee ? referee->GetZoomFactor() : 1.0f;
}

CKEMSceneNode* GetTargetPointer(CGameMaster* referee) {
    return referee ? referee->GetTargetPointerNode() : nullptr;
}

CKEMSceneNode* GetIntroReference(CGameMaster* referee) {
    return referee ? referee->GetIntroReference() : nullptr;
}

CKEMSceneNode* GetOutroReference(CGameMaster* referee) {
    return referee ? referee->GetOutroReference() : nullptr;
}

CKEMSceneNode* GetSponsorsPanel(CGameMaster* referee) {
    return referee ? referee->GetSponsorsPanel() : nullptr;
}

bool IsSlowMotionCameraActive(CGameMaster* referee) {
    CKEMSceneNode* slowMotion = referee ? referee->GetSlowMotionCamera() : nullptr;
    return slowMotion && static_cast<CKEMSceneNode*>(CKEMSceneGraph::GetCurrentCamera()) == slowMotion;
}

void SetHeld(CGameMaster* referee, bool held) {
    if (referee)
        referee->SetHeld(held);
}

CKEMSceneObject* GetPlayerNode(CGameMaster*, CPlayer* player) {
    return player ? CGameMaster::GetPlayerNode(player) : nullptr;
}

CBall* GetPreviousBall(CGameMaster* referee) {
    return referee ? referee->GetPreviousBall() : nullptr;
}

bool CaptureFreeCameraInput(CGameMaster* referee, const CEGUI::EventArgs& args) {
    return referee && referee->CaptureFreeCameraInput(args);
}

bool ReleaseFreeCameraInput(CGameMaster* referee, const CEGUI::EventArgs& args) {
    return referee && referee->ReleaseFreeCameraInput(args);
}

bool MoveFreeCamera(CGameMaster* referee, const CEGUI::EventArgs& args) {
    return referee && referee->MoveFreeCamera(args);
}

}  // namespace referee
