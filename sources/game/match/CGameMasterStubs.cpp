// Operations of the referee not yet written: they do nothing.
#include "CGameMaster.h"

#include "CAimGuide.h"
#include "LaunchSet.h"
#include "MatchState.h"
#include "Team.h"

CGameMaster::CGameMaster(MatchState* match) : CKEMSceneNode(nullptr), mMatch(match)
{
    setName("Game Master");
    mAimGuide = new CAimGuide();
    mLaunchSet = new LaunchSet(mAimGuide);
}
CGameMaster::~CGameMaster()
{
    delete mLaunchSet;
    delete mAimGuide;
}
void CGameMaster::Manage() {}
void CGameMaster::RegisterEvents() { Init(); }
void CGameMaster::Term() {}
bool CGameMaster::Init() { mSetUp = 1; return true; }
void CGameMaster::ResetStartFlags() { mHeld = false; }
const std::vector<std::string>& CGameMaster::RequiredVenueObjects()
{
    static const std::vector<std::string> names = {"cochonnet", "cercle", "cible", "terrain limite 1",
                                                   "terrain limite 2", "LimiteCam_01", "LimiteCam_02"};
    return names;
}
ThrowResult& CGameMaster::EvaluateThrow(ThrowResult& result) { return result; }
void CGameMaster::EvaluateThrow(bool& valid, int& reaction)
{
    ThrowResult result;
    EvaluateThrow(result);
    valid = result.valid != 0;
    reaction = result.reaction;
}
CPlayer* CGameMaster::GetCurrentPlayer() const { return nullptr; }
Terrain* CGameMaster::GetTerrain() const { return mMatch ? mMatch->mTerrain : nullptr; }
bool CGameMaster::IsCurrentSideAI() const { return false; }
bool CGameMaster::IsTargetBallThrown() const { return false; }
int32_t CGameMaster::GetBallsInPlayCount() const { return 0; }
bool CGameMaster::IsLocalHumanTurn() const { return true; }
bool CGameMaster::GetTargetBallPosition(Ogre::Vector3&) const { return false; }
CBall* CGameMaster::GetBall(uint32_t index) const { return index < mBalls.size() ? mBalls[index] : nullptr; }
std::vector<CBall*> CGameMaster::GetScoringBalls() const { return {}; }
void CGameMaster::BuildPlayerModel(Team*) {}
void CGameMaster::StartRound() {}
void CGameMaster::SetCurrentPlayer(CPlayer*) {}
void CGameMaster::FaceTarget() {}
void CGameMaster::SelectTeamPlayer(uint32_t) {}
void CGameMaster::UpdateThrow() {}
void CGameMaster::ApplyAIDecision() {}
void CGameMaster::ApplyRemoteShootOptions() {}
void CGameMaster::SetShootOptions() {}
void CGameMaster::SendShootParams() {}
void CGameMaster::SendBallsPositions() {}
bool CGameMaster::AreBallsMoving() const { return false; }
void CGameMaster::controlBallsPositions() {}
void CGameMaster::UpdateRollingCalibration() {}
bool CGameMaster::CalibrateRolling() { return true; }
void CGameMaster::ShowBestBalls() {}
void CGameMaster::HideBestBalls() {}
void CGameMaster::ResetAwards() {}
void CGameMaster::CreateCameras() {}
void CGameMaster::UpdateMatchCamera(int32_t state) { mCameraState = state; }
void CGameMaster::UpdateThrowCamera() {}
bool CGameMaster::CaptureFreeCameraInput(const CEGUI::EventArgs&) { return false; }
bool CGameMaster::ReleaseFreeCameraInput(const CEGUI::EventArgs&) { return false; }
bool CGameMaster::MoveFreeCamera(const CEGUI::EventArgs&) { return false; }
bool CGameMaster::OnMouseDown(int32_t) { return false; }
bool CGameMaster::OnMouseUp(int32_t) { return false; }
bool CGameMaster::OnMouseMove(float, float, float) { return false; }
void CGameMaster::DebugMoveBalls() {}
void CGameMaster::DumpBalls() {}
Team* CGameMaster::GetTeam(int32_t side) const { return mMatch ? mMatch->GetTeam(side) : nullptr; }
int32_t CGameMaster::GetScore(int32_t side) const
{
    return !mMatch ? 0 : side == 0 ? int32_t(mMatch->mScoreA) : side == 1 ? int32_t(mMatch->mScoreB) : 0;
}
int32_t CGameMaster::GetSideToPlay() const { return mMatch && mMatch->mMene ? mMatch->mMene->mCurrentSide : -1; }
void CGameMaster::ResetFreeCamera() {}
int32_t CGameMaster::GetPlayersPerTeam() const { return mMatch ? mMatch->mGameType : 1; }
CKEMSceneNode* CGameMaster::GetTargetPointerNode() const { return nullptr; }
CKEMSceneObject* CGameMaster::GetPlayerNode(const CPlayer*) { return nullptr; }
bool CGameMaster::IsGaugeDone() const { return false; }
int32_t CGameMaster::GetBallsPerSide() const { return BallsPerSide(GetPlayersPerTeam()); }
int32_t CGameMaster::BallsPerSide(int32_t players) { return players == 3 ? 6 : players * 3; }
int32_t CGameMaster::NextBallIndex(int32_t b, int32_t side, int32_t left) { return b - left + 1 + (side == 1 ? b : 0); }
int32_t CGameMaster::AILevelFor(const Team*, int32_t) { return 0; }
int32_t CGameMaster::sNextStepCounter = 0;
void CGameMaster::ReleaseBall(CBall*) {}
void CGameMaster::SetBallHighlight(CBall*, bool) {}
bool CGameMaster::CheckVenue() { return true; }
