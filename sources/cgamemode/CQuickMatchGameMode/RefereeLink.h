// What the match states ask of the referee, in one place: the states speak
// to these functions, which forward to CGameMaster. Every call accepts a null
// referee and then does nothing (or answers "nothing there").
#pragma once

#include <cstdint>
#include <vector>

namespace CEGUI {
class EventArgs;
}
class CAimGuide;
class CBall;
class CGameMaster;
class CHudGameSource;
class CKEMSceneNode;
class CKEMSceneObject;
class CMatchCamera;
class CPlayer;
class LaunchSet;
class MatchState;
class Team;

namespace referee {

// A new referee on the match state (a scene node, not yet registered).
CGameMaster* Create(MatchState* state);
// The scene node behind the referee (for the scripted-node manager).
CKEMSceneNode* Node(CGameMaster* referee);
CHudGameSource* HudSource(CGameMaster* referee);
// The venue lacks an object the match needs: the match cannot start.
bool IsSetUpFailed(CGameMaster* referee);
// Back to the referee's start state for a new match.
void ResetStart(CGameMaster* referee);

void StartRound(CGameMaster* referee);
// The throw just ended: whether it is valid and its result code (1..6).
void EvaluateThrow(CGameMaster* referee, bool& valid, int& resultCode);
void UpdateThrow(CGameMaster* referee);
void ApplyAIDecision(CGameMaster* referee);
bool IsLocalHumanTurn(CGameMaster* referee);
// True once the intro may end (no computer side, or its calibration done).
bool CalibrateRolling(CGameMaster* referee);
void UpdateMatchCamera(CGameMaster* referee, int state);
void HideBestBalls(CGameMaster* referee);
void ShowBestBalls(CGameMaster* referee);
void ResetAwards(CGameMaster* referee);
void BuildPlayerModels(CGameMaster* referee, Team* team);
// The strategy manager forgets its turn (after a computer side's throw).
void ResetStrategy(CGameMaster* referee);

LaunchSet* GetLaunchSet(CGameMaster* referee);
// The power gauge stopped and the throw animation is chosen (until the aim step).
bool IsGaugeDone(CGameMaster* referee);
CAimGuide* GetAimGuide(CGameMaster* referee);
CMatchCamera* GetCamera(CGameMaster* referee);
const std::vector<CBall*>* GetBalls(CGameMaster* referee);
float GetZoomFactor(CGameMaster* referee);
// The marker over the target ball; null when the venue has none.
CKEMSceneNode* GetTargetPointer(CGameMaster* referee);
CKEMSceneNode* GetIntroReference(CGameMaster* referee);
CKEMSceneNode* GetOutroReference(CGameMaster* referee);
CKEMSceneNode* GetSponsorsPanel(CGameMaster* referee);
// The slow-motion camera ("CamRALENTI") is the active one.
bool IsSlowMotionCameraActive(CGameMaster* referee);
void SetHeld(CGameMaster* referee, bool held);
// The model node of a player; null before its model is built.
CKEMSceneObject* GetPlayerNode(CGameMaster* referee, CPlayer* player);
// The ball just thrown.
CBall* GetPreviousBall(CGameMaster* referee);

bool CaptureFreeCameraInput(CGameMaster* referee, const CEGUI::EventArgs& args);
bool ReleaseFreeCameraInput(CGameMaster* referee, const CEGUI::EventArgs& args);
bool MoveFreeCamera(CGameMaster* referee, const CEGUI::EventArgs& args);

}  // namespace referee
