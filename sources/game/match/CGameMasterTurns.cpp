// Who throws, the per-frame throw driver, the LAN messages of a throw and the
// checks of the balls against the terrain.
#include "CGameMaster.h"

#include "BallsRest.h"
#include "CAimGuide.h"
#include "CBall.h"
#include "CLangDB.h"
#include "CPlayer.h"
#include "ControlerTable.h"
#include "GameDifficulty.h"
#include "LaunchSet.h"
#include "MatchState.h"
#include "Team.h"
#include "Terrain.h"
#include "TestReport.h"

#include <CBaseStrategyChoice.h>
#include <CDebugRenderer.h>
#include <CKEMSceneParticleEffect.h>
#include <CNetClient.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <COdeBody.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CReplayMgr.h>
#include <CRollingEstimator.h>
#include <CScenaricMgr.h>
#include <HalTimer.h>
#include <NetMessages.h>
#include <Platform.h>
#include <StrategyManager.h>
#include <TuningParameters.h>

#include <OgreQuaternion.h>

#include <cmath>
#include <cstdio>

namespace {

// The last resort when balls never settle.
const int32_t kBallsSettleLimitMs = 30000;

void Show(CGameElement* element, bool visible)
{
    if (element && element->GetNode())
        element->GetNode()->setToVisible(visible);
}

void StopEffects(CBall* ball)
{
    if (ball->mDust)
        ball->mDust->StopEffect();
    if (ball->mGravel)
        ball->mGravel->StopEffect();
}

void TakeOutOfSimulation(CBall* ball)
{
    if (CKEMSceneNode* node = ball->GetNode()) {
        node->setToVisible(false);
        if (CPhysicObject* body = node->getPhysicObject())
            gPhysicMgr.RemoveObject(body);
    }
    StopEffects(ball);
}

// The controller entry of the side that plays belongs to this machine (a
// side without an entry is compared through the default entry).
bool SideIsLocal(const MatchState* match)
{
    const int32_t side = match && match->mMene ? match->mMene->mCurrentSide : -1;
    return GetCurrentControlerForTeam(side).mType == g_OwnControlerType;
}

// Stilled and put to sleep, so that the camera and the result stop waiting
// for them too. Their geoms stay in collision: a later throw's contact wakes
// them (switched off, it would pass through).
void SleepBallsInPlay(const std::vector<CBall*>& balls)
{
    for (CBall* ball : balls) {
        CPhysicObject* object = ball && ball->GetNode() && ball->mState == CBall::STATE_LAUNCHED
                                    ? ball->GetNode()->getPhysicObject()
                                    : nullptr;
        if (!object)
            continue;
        object->setLinearVelocity(Ogre::Vector3::ZERO);
        object->setAngularVelocity(Ogre::Vector3::ZERO);
        if (COdeBody* body = object->GetBody())
            body->setEnabled(false);
    }
}

uint32_t LocalClientId()
{
    return static_cast<uint32_t>(g_NetClient.mId);
}

}  // namespace

void CGameMaster::StartRound()
{
    DebugPrintText("debut de mene", true, false);
    HideBestBalls();
    if (mMatch)
        mMatch->StartMene();
    SetBallHighlight(mPreviousBall, false);
    mPreviousBall = nullptr;
    mCurrentBall = mTargetBall;
    SetBallHighlight(mCurrentBall, true);
    for (CBall* ball : mBalls) {
        if (!ball)
            continue;
        TakeOutOfSimulation(ball);
        ball->mState = CBall::STATE_NONE;
    }
    Show(mTargetBallPointer, false);

    const int32_t side = GetSideToPlay();
    Team* team = GetTeam(side);
    Team* other = GetTeam(side == 0 ? 1 : 0);
    CPlayer* first = team ? team->GetNextPlayerWithBalls(true) : nullptr;
    if (other)
        other->GetNextPlayerWithBalls(true);
    if (!first)
        return;
    first->mThrowMode = CPlayer::THROW_POINTING;   // the first throw of a mene is the target ball
    SetCurrentPlayer(first);
    FaceTarget();
}

void CGameMaster::SetCurrentPlayer(CPlayer* player)
{
    if (mCurrentPlayer && mCurrentPlayer != player) {
        Show(mCurrentPlayer, false);
        if (mCurrentPlayer->GetNode())
            gScenaricMgr.Unregister(mCurrentPlayer->GetNode());
    }
    mCurrentPlayer = player;
    if (!player)
        return;
    Show(player, true);
    if (player->GetNode() && mCircle)
        SetNodeWorldPosition(player->GetNode(), mCircle->GetWorldPosition());
    if (mCurrentBall && !mCurrentBall->IsTarget() && mTargetBall)
        player->LookAt(mTargetBall->GetWorldPosition());
    else if (Terrain* terrain = GetTerrain())
        player->LookAt(terrain->GetFarLimitPoint(player->GetWorldPosition()));
    if (player->GetNode())
        gScenaricMgr.Register(player->GetNode());
    mLaunchSet->Begin(player, mCurrentBall);
    mAimGuide->ResetAim(player, mCurrentBall);
}

void CGameMaster::FaceTarget()
{
    if (!mCurrentPlayer)
        return;
    Ogre::Vector3 aim;
    if (!mCurrentBall || mCurrentBall->IsTarget() || !mTargetBall) {
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        if (CKEMSceneNode* node = mCurrentPlayer->GetNode())
            node->GetOrientation(orientation, 2);
        aim = mCurrentPlayer->GetWorldPosition() + 5.0f * (orientation * Ogre::Vector3::NEGATIVE_UNIT_Z).normalisedCopy();
    } else {
        aim = mTargetBall->GetWorldPosition();
    }
    mAimGuide->SetAimPoint(aim);
}

void CGameMaster::SelectTeamPlayer(uint32_t index)
{
    if (mLaunchSet->mStep != 1)
        return;
    Team* team = GetTeam(GetSideToPlay());
    if (!team || index >= team->mPlayers.size() || !team->mPlayers[index])
        return;
    CPlayer* player = team->mPlayers[index];
    team->SetCurrentPlayer(player);
    player->mThrowMode = player->mRole == CPlayer::ROLE_SHOOTER ? CPlayer::THROW_SHOOTING : CPlayer::THROW_POINTING;
    SetCurrentPlayer(player);
}

bool CGameMaster::IsLocalHumanTurn() const
{
    if (IsCurrentSideAI())
        return false;
    if (!g_ControlerTableFilled)
        return true;
    if (!mMatch || !mMatch->mMene)
        return false;
    return GetCurrentControlerForTeam(mMatch->mMene->mCurrentSide).mType == g_OwnControlerType;
}

void CGameMaster::UpdateThrow()
{
    const bool connected = g_NetMgr.IsConnected();
    switch (mLaunchSet->mStep) {
    case 0: {
        Team* team = GetTeam(GetSideToPlay());
        char line[160];
        std::snprintf(line, sizeof(line), "Initialisation du lancé pour :%s",
                      team ? GetText(team->mName.c_str()) : "");
        DebugPrintText(line, true, false);
        if (CPlayer* player = GetCurrentPlayer()) {
            player->mThrowMode =
                player->mRole == CPlayer::ROLE_SHOOTER ? CPlayer::THROW_SHOOTING : CPlayer::THROW_POINTING;
            SetCurrentPlayer(player);
            FaceTarget();
        }
        if (mTargetBallPointer)
            Show(mTargetBallPointer, mCurrentBall != mTargetBall);
        break;
    }
    case 1:
        if (IsLocalHumanTurn()) {
            mAimGuide->Update();
        } else if (connected) {
            // The options first: choosing the peer's thrower begins the throw
            // anew and would drop presets taken before it. The owner sends
            // both in the same frame.
            ApplyRemoteShootOptions();
            mLaunchSet->TakeControlerPreset(mMatch);
        }
        break;
    case 5: {
        HideBestBalls();
        if (mRollingEstimator && mCurrentBall) {
            const float effect = mCurrentBall->mEffect == CBall::EFFECT_FORWARD ? mLaunchSet->mEffect : 0.0f;
            mRollingEstimator->RecordLaunch(mLaunchSet->mLaunchAngle, effect, mLaunchSet->mInitialSpeed,
                                            mCurrentBall->GetNode(), Ogre::Vector3::ZERO);
        }
        mRest.Reset();
        SetShootOptions();
        SendShootParams();
        if (!connected || SideIsLocal(mMatch))
            gReplayMgr.StartCapture(gTimer.GetTimeMs());
        break;
    }
    case 7: {
        if (!connected || SideIsLocal(mMatch)) {
            controlBallsPositions();
            const uint32_t now = gTimer.GetTimeMs();
            const bool moving = AreBallsMoving();
            const bool settled = moving && AreBallsSettled(now);
            const bool overdue = moving && !settled &&
                                 static_cast<int32_t>(now - mLaunchSet->mLaunchStartTime) > kBallsSettleLimitMs;
            if (overdue) {
                PlatLog("CGameMaster::UpdateThrow() => balls still moving %d ms after the launch: taken as they lie",
                        kBallsSettleLimitMs);
                for (size_t i = 0; i < mBalls.size(); ++i) {
                    const CBall* ball = mBalls[i];
                    const CPhysicObject* object = ball && ball->mState == CBall::STATE_LAUNCHED && ball->GetNode()
                                                      ? ball->GetNode()->getPhysicObject()
                                                      : nullptr;
                    if (!object || !ball->IsMoving())
                        continue;
                    const Ogre::Vector3 at = ball->GetWorldPosition(), v = object->getLinearVelocity();
                    PlatLog("  ball %zu at (%.3f, %.3f, %.3f) moves at (%.4f, %.4f, %.4f) m/s", i, at.x, at.y, at.z,
                            v.x, v.y, v.z);
                }
                TestReport("settle limit");
            }
            if (settled || overdue)
                SleepBallsInPlay(mBalls);
            if (!moving || settled || overdue) {
                mLaunchSet->mValidated = true;
                if (gReplayMgr.mCapturing)
                    gReplayMgr.EndCapture(gTimer.GetTimeMs());
                if (!connected) {
                    UpdateRollingCalibration();
                } else {
                    // The peers put theirs asleep where this sends them: here
                    // too, or a ball still creeping would be ranked elsewhere.
                    SleepBallsInPlay(mBalls);
                    SendBallsPositions();
                    SendNextStepSignal();
                }
            }
        } else {
            mLaunchSet->mValidated = true;
            SendNextStepSignal();
        }
        if (mTargetBallPointer && mTargetBall && mTargetBallPointer->GetNode())
            SetNodeWorldPosition(mTargetBallPointer->GetNode(), mTargetBall->GetWorldPosition());
        break;
    }
    case 8:
        if (connected) {
            if (g_NetMgr.TakeNextStep()) {
                PlatLog("UnQueueNextStepSignalFromClient(%d)=>  Ok queue is now=%d", g_NetMgr.GetPlayerCount(),
                        g_NetMgr.GetClientSignalQueue());
                mLaunchSet->mValidated = true;
            }
        } else if (mCameraState >= CAMERA_FREE) {
            mLaunchSet->mValidated = true;
        }
        break;
    default:
        break;
    }
    if (gReplayMgr.mCapturing)
        gReplayMgr.CaptureFrame(gTimer.GetTimeMs());
    mLaunchSet->Update(mMatch, std::vector<CBall*>(mBalls));
    UpdateThrowCamera();
}

void CGameMaster::SendNextStepSignal()
{
    g_NetMgr.SendNextStepSignal();
}

void CGameMaster::ApplyAIDecision()
{
    if (!mStrategy)
        return;
    mStrategy->Update();
    // The decision is taken once, when it becomes ready: applying it again
    // every frame would restart the throw (SetCurrentPlayer begins it anew).
    if (!mStrategy->IsReady() || mLaunchSet->mStep != 1 || mLaunchSet->mPresetActive)
        return;
    const int32_t side = GetSideToPlay();
    Team* team = GetTeam(side);
    CPlayer* player = mStrategy->GetChosenPlayer();
    if (!mMatch || !mMatch->mMene || mMatch->mMene->mTargetBall == nullptr)
        player->mThrowMode = CPlayer::THROW_POINTING;
    else
        player->mThrowMode = mStrategy->GetChosenStrategy().kind == BaseStrategy::KIND_SHOOT
                                 ? CPlayer::THROW_SHOOTING
                                 : CPlayer::THROW_POINTING;
    if (team)
        team->SetCurrentPlayer(player);
    SetCurrentPlayer(player);

    // How much of its search the computer made, for the figures.
    if (mStrategy->GetSearchCandidates() > 0)
        TestReport("ai search %d %d", mStrategy->GetSearchScored(), mStrategy->GetSearchCandidates());
    const float angle = mStrategy->GetChosenAngle();
    mAimGuide->mLaunchAngle = angle;
    mAimGuide->mLaunchSpeed = mAimGuide->SpeedToAimPoint(angle);
    mAimGuide->mEstimateNeeded = true;
    mAimGuide->SetAimPoint(mStrategy->GetChosenPoint());
    if (mCurrentBall)
        mCurrentBall->mEffect = mStrategy->GetChosenMode();
    mLaunchSet->ApplyErrors(mAimGuide->mLaunchSpeed, angle, AILevelFor(team, g_CurrentDifficulty));
}

void CGameMaster::ApplyRemoteShootOptions()
{
    const int32_t side = GetSideToPlay();
    if (side != 0 && side != 1)
        return;
    const int32_t index = g_ControlerCurrentIndex[side];
    if (index < 0 || index >= CONTROLER_COUNT)
        return;
    ControlerEntry& entry = ControlerTable[index];
    if (!entry.mShootOptionsReceived)
        return;
    entry.mShootOptionsReceived = false;
    const ShootOptions options = entry.GetShootOptions();
    Team* team = GetTeam(side);
    // The values come from the network: a player, throw mode or spin this
    // match does not have, or a non-finite aim, is dropped as a whole.
    const bool finite = std::isfinite(options.angle) && std::isfinite(options.aimX) && std::isfinite(options.aimY) &&
                        std::isfinite(options.aimZ);
    if (!team || options.playerIndex >= team->mPlayers.size() || !team->mPlayers[options.playerIndex] ||
        options.throwMode > CPlayer::THROW_POINTING || options.effect > CBall::EFFECT_SIDE_RIGHT || !finite) {
        PlatLog("Game Master: shoot options of side %d dropped (player %u, throw mode %u, spin %u)", side,
                options.playerIndex, options.throwMode, options.effect);
        return;
    }
    CPlayer* player = team->mPlayers[options.playerIndex];
    team->SetCurrentPlayer(player);
    player->mThrowMode = static_cast<int32_t>(options.throwMode);
    player->mFatigue = options.fatigue;
    player->mStress = options.stress;
    SetCurrentPlayer(player);
    mAimGuide->mLaunchAngle = options.angle;
    mAimGuide->mLaunchSpeed = mAimGuide->SpeedToAimPoint(options.angle);
    mAimGuide->mEstimateNeeded = true;
    mAimGuide->SetAimPoint(Ogre::Vector3(options.aimX, options.aimY, options.aimZ));
    if (mCurrentBall)
        mCurrentBall->mEffect = static_cast<int32_t>(options.effect);
}

void CGameMaster::SetShootOptions()
{
    if (!g_NetMgr.IsConnected() || !SideIsLocal(mMatch))
        return;
    const int32_t side = GetSideToPlay();
    Team* team = GetTeam(side);
    CPlayer* player = team ? team->GetCurrentPlayer() : nullptr;
    CObjnet& message = g_NetMgr.mOutgoing;
    message.StartSignature(NETSIG_E_SHOOT_OPTIONS2);
    message.WriteUInt(LocalClientId());
    message.WriteInt(GetCurrentControlerForTeam(side).mType);
    message.WriteFloat(mAimGuide->mLaunchAngle);
    message.WriteUInt(team ? static_cast<uint32_t>(team->mCurrentPlayer) : 0u);
    message.WriteUInt(player ? static_cast<uint32_t>(player->mThrowMode) : 0u);
    message.WriteUInt(mCurrentBall ? static_cast<uint32_t>(mCurrentBall->mEffect) : 0u);
    message.WriteFloat(mAimGuide->mAimPoint.x);
    message.WriteFloat(mAimGuide->mAimPoint.y);
    message.WriteFloat(mAimGuide->mAimPoint.z);
    message.WriteInt(player ? player->mFatigue : 0);
    message.WriteInt(player ? player->mStress : 0);
    message.WriteUInt(player ? static_cast<uint32_t>(player->mBallsLeft) : 0u);
    message.End();
    g_NetMgr.TCPSendAction(message);
}

void CGameMaster::SendShootParams()
{
    if (!g_NetMgr.IsConnected() || !SideIsLocal(mMatch))
        return;
    CObjnet& message = g_NetMgr.mOutgoing;
    message.StartSignature(NETSIG_E_SHOOT_PARAMS);
    message.WriteUInt(LocalClientId());
    message.WriteInt(GetCurrentControlerForTeam(GetSideToPlay()).mType);
    mLaunchSet->Serialize(message);
    message.End();
    g_NetMgr.TCPSendAction(message);
}

void CGameMaster::SendBallsPositions()
{
    if (!g_NetMgr.IsConnected() || !SideIsLocal(mMatch))
        return;
    CObjnet& message = g_NetMgr.mOutgoing;
    message.StartSignature(NETSIG_E_BALLS_POSITIONS);
    message.WriteUInt(LocalClientId());
    const int32_t controller = GetCurrentControlerForTeam(GetSideToPlay()).mType;
    message.WriteInt(controller);
    gReplayMgr.SerializePositions(message, mBalls);
    message.End();
    g_NetMgr.TCPSendAction(message);
    if (sAfterOwnBallPositions)
        sAfterOwnBallPositions(controller);
}


bool CGameMaster::AreBallsMoving() const
{
    for (const CBall* ball : mBalls)
        if (ball && ball->mState == CBall::STATE_LAUNCHED && ball->IsMoving())
            return true;
    return false;
}

const float CGameMaster::kRestSpeed = BallsRest::kRestSpeed;
const uint32_t CGameMaster::kRestHoldMs = BallsRest::kRestHoldMs;

bool CGameMaster::AreBallsSettled(uint32_t now)
{
    return mRest.Update(mBalls, now);
}

void CGameMaster::controlBallsPositions()
{
    if (mTraceBalls)
        PlatLog("======in CGameMaster::controlBallsPositions()==============");
    const Terrain* terrain = GetTerrain();
    for (size_t i = 0; i < mBalls.size(); ++i) {
        CBall* ball = mBalls[i];
        if (!ball)
            continue;
        if (terrain && ball->mState == CBall::STATE_LAUNCHED && terrain->IsOutside(ball->GetWorldPosition())) {
            ball->mState = CBall::STATE_OUT;
            TakeOutOfSimulation(ball);
            DebugPrintText(ball->IsTarget() ? "cochonnet hors jeu" : "boule hors jeu", true, false);
        }
    }
    // Every frame of a throw: only on request.
    if (!mTraceBalls)
        return;
    for (size_t i = 0; i < mBalls.size(); ++i) {
        const CBall* ball = mBalls[i];
        if (!ball)
            continue;
        const CKEMSceneNode* node = ball->GetNode();
        const bool body = node && node->getPhysicObject() && node->getPhysicObject()->IsActive();
        PlatLog(" -ball[%d] state=%d phys=%s  visible=%s", static_cast<int>(i), ball->mState, body ? "yes" : "no",
                node && node->IsVisible() ? "yes" : "no");
    }
    PlatLog("=========================================================");
}

void CGameMaster::UpdateRollingCalibration()
{
    if (!mRollingEstimator)
        return;
    for (CBall* ball : mBalls)
        if (ball && ball->GetNode())
            mRollingEstimator->UpdateCalibration(ball->GetNode());
}

bool CGameMaster::CalibrateRolling()
{
    if (!mRollingEstimator)
        return true;
    if (!mCalibrationStarted) {
        mCalibrationStarted = true;
        mRollingEstimator->Calibrate(std::vector<CBall*>(mBalls));
    }
    if (!AreBallsMoving())
        UpdateRollingCalibration();
    return mRollingEstimator->AdvanceCalibration(gTimer.GetTimeMs());
}

void CGameMaster::ShowBestBalls()
{
    const std::vector<CBall*> scoring = GetScoringBalls();
    for (size_t i = 0; i < scoring.size() && i < mBestBallMarkers.size(); ++i) {
        CTarget* marker = mBestBallMarkers[i];
        if (!marker || !marker->GetNode() || !scoring[i])
            continue;
        marker->SetWorldPosition(scoring[i]->GetWorldPosition());
        marker->GetNode()->setToVisible(true);
    }
}

void CGameMaster::HideBestBalls()
{
    for (CTarget* marker : mBestBallMarkers)
        Show(marker, false);
}

void CGameMaster::ResetAwards()
{
    for (CBall* ball : mBalls)
        if (ball)
            TakeOutOfSimulation(ball);
}
