#include "LaunchSet.h"

#include "CAimGuide.h"
#include "CBall.h"
#include "CGameElement.h"
#include "CMainApp.h"
#include "CPlayer.h"
#include "ControlerTable.h"
#include "GameDifficulty.h"
#include "MatchState.h"

#include <CConfigFileMap.h>
#include <CDebugRenderer.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneObject.h>
#include <CWrapOgreWorld.h>
#include <CNetClient.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <HalTimer.h>
#include <Platform.h>
#include <TuningParameters.h>

#include <OgreMath.h>
#include <OgreMatrix4.h>
#include <OgreVector.h>
#include <OgreQuaternion.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

uint32_t Now()
{
    return gTimer.GetTimeMs();
}

void Trace(const char* text, float value)
{
    char line[256];
    std::snprintf(line, sizeof(line), "%s%f", text, value);
    DebugPrintText(line, true, false);
}

void TraceVector(const char* text, const Ogre::Vector3& v)
{
    char line[256];
    std::snprintf(line, sizeof(line), "%s%f %f %f", text, v.x, v.y, v.z);
    DebugPrintText(line, true, false);
}

}  // namespace

LaunchSet::LaunchSet(CAimGuide* guide)
    : mLaunchStartTime(Now()),
      mAimGuide(guide)
{
    SelectDifficulty(g_CurrentDifficulty);
    // The referee makes one set per match: the received throws reach this
    // match's controller entries from here on.
    InstallNetReceiver();
}

CKEMSceneObject* LaunchSet::Model() const
{
    return mPlayer ? dynamic_cast<CKEMSceneObject*>(mPlayer->GetNode()) : nullptr;
}

void LaunchSet::SelectDifficulty(int32_t difficulty)
{
    mPowerErrorCoef = SelectByDifficulty(difficulty, coef_error_power_facile, coef_error_power_moyen,
                                         coef_error_power_difficile);
    mAwkwardnessInfluence = SelectByDifficulty(difficulty, awkwardness_influence_facile, awkwardness_influence_moyen,
                                               awkwardness_influence_difficile);
    mUnbalanceInfluence = SelectByDifficulty(difficulty, unbalance_influence_facile, unbalance_influence_moyen,
                                             unbalance_influence_difficile);
    mPowerGaugeTime = SelectByDifficulty(difficulty, TEMPS_JAUGE_POWER_FACILE, TEMPS_JAUGE_POWER_MOYEN,
                                         TEMPS_JAUGE_POWER_DIFFICILE);
}

void LaunchSet::Begin(CPlayer* player, CBall* ball)
{
    mPower = mSpeed = mShootingAngle = mBalance = mBalanceCrossingTime = 0.0f;
    mValidated = mRestarted = false;
    mHalfCycles = 0;
    mStep = 1;
    mPlayer = player;
    mBall = ball;
    if (mBall)
        mBall->mEffect = CBall::EFFECT_NONE;

    const int32_t kind = mPlayer ? mPlayer->mThrowMode : -1;
    if (kind == CPlayer::THROW_SHOOTING) {
        mThrowAnim = "AN_TIR";
        mStanceAnim = "AN_STD_TIR";
        mFollowAnim = "AP_STD_01";
        mMaxShootingAngle = static_cast<float>(ANGLE_MAX_TIR);
        mMinShootingAngle = ANGLE_MIN_TIR;
        mAngleMaxFrame = static_cast<float>(ANGLE_MAX_TIR_FRAME);
        mAngleMinFrame = static_cast<float>(ANGLE_MIN_TIR_FRAME);
        mPowerMaxFrame = static_cast<float>(POWER_MAX_TIR_FRAME);
        mPowerMinFrame = static_cast<float>(POWER_MIN_TIR_FRAME);
        mReleaseFrame = LACHER_TIR_FRAME;
    } else if (kind == CPlayer::THROW_POINTING) {
        mThrowAnim = "AN_POI";
        mStanceAnim = "AN_STD_POI";
        mFollowAnim = "AN_STD_CRO";
        mMaxShootingAngle = static_cast<float>(ANGLE_MAX_POINTE);
        mMinShootingAngle = ANGLE_MIN_POINTE;
        mAngleMaxFrame = static_cast<float>(ANGLE_MAX_POINTE_FRAME);
        mAngleMinFrame = static_cast<float>(ANGLE_MIN_POINTE_FRAME);
        mPowerMaxFrame = static_cast<float>(POWER_MAX_POINTE_FRAME);
        mPowerMinFrame = static_cast<float>(POWER_MIN_POINTE_FRAME);
        mReleaseFrame = LACHER_POINTE_FRAME;
    }

    if (CKEMSceneObject* model = Model()) {
        if (model->getCurrentAnimName() != mStanceAnim)
            model->playAnimBlending(mStanceAnim, 0.5f, 0.5f, true);
        float frames = mAngleMaxFrame;
        if (!(frames > 0.0f)) {
            PlatLog("LaunchSet: the frame count of \"%s\" (ANGLE_MAX_%s_FRAME) is missing or 0; 1 is used",
                    mThrowAnim.c_str(), kind == CPlayer::THROW_SHOOTING ? "TIR" : "POINTE");
            frames = 1.0f;
        }
        mMsPerFrame = static_cast<int32_t>(model->getAnimLength(mThrowAnim) * 1000.0f / frames);
    }

    if (mBall && mBall->GetNode()) {
        mBall->GetNode()->setToVisible(true);
        // The ball is held in the hand until the release.
        if (CPhysicObject* body = mBall->GetNode()->getPhysicObject())
            gPhysicMgr.RemoveObject(body);
    }
    mPresetActive = false;
    GetHandPosition();
}

float LaunchSet::PowerAt(uint32_t elapsedMs) const
{
    const float maxDistance = mAimGuide ? mAimGuide->mAxisMax : 0.0f;
    if (mPowerGaugeTime <= 0.0f)
        return maxDistance;
    const float power = static_cast<float>(elapsedMs) * maxDistance / mPowerGaugeTime;
    return power < 0.0f ? 0.0f : power;
}

float LaunchSet::BalanceAt(uint32_t elapsedMs, float crossingMs, bool rising)
{
    if (static_cast<float>(elapsedMs) > crossingMs || crossingMs <= 0.0f)
        return rising ? 5.0f : -5.0f;
    const float x = static_cast<float>(elapsedMs) * 10.0f / crossingMs;
    return rising ? x - 5.0f : 5.0f - x;
}

void LaunchSet::StepPower()
{
    mPower = PowerAt(Now() - mPowerPhaseStart);
    const float minDistance = mAimGuide ? mAimGuide->mAxisMin : 0.0f;
    const float maxDistance = mAimGuide ? mAimGuide->mAxisMax : 0.0f;
    if (mValidated && mPower < minDistance) {
        Begin(mPlayer, mBall);
        mRestarted = true;
        return;
    }
    if (mPower > maxDistance || (mAimGuide && mPower > mAimGuide->GetMaxDistance())) {
        if (!mPresetActive) {
            if (mPlayer)
                mPlayer->mFatigue -= MALUS_PHYSIQUE_TEST_PUISSANCE;
            Trace("malus physique test de puissance: ", static_cast<float>(MALUS_PHYSIQUE_TEST_PUISSANCE));
            Begin(mPlayer, mBall);
            mRestarted = true;
            return;
        }
        mValidated = true;
    } else if (mPresetActive && mPower >= minDistance && mPower >= mPresetPower) {
        mPower = mPresetPower;
        mValidated = true;
    }
    if (!mValidated)
        return;

    const int32_t kind = mPlayer ? mPlayer->mThrowMode : 0;
    mSpeed = mAimGuide ? mAimGuide->SpeedForDistance(mPower) : 0.0f;
    const float t = mPlayer ? mPlayer->GetGaugeTimeForSpeed(kind, mSpeed, mShootingAngle) : 0.0f;
    const float b = mPlayer ? static_cast<float>(mPlayer->GetBalanceWithStress(kind)) : 10.0f;
    const int32_t size =
        static_cast<int32_t>(HUD_EQUILIBRE_MIN_SIZE_RATIO + (10.0f - HUD_EQUILIBRE_MIN_SIZE_RATIO) * b / 10.0f);
    mBalanceCrossingTime = static_cast<float>(size) * t / 10.0f;
    Trace("distance validee: ", mPower);
    Trace("Temps de traversee de la jauge d equilibre por taille maxi: ", t);
    Trace("Temps de traversee de la jauge d equilibre: ", mBalanceCrossingTime);
    mBalanceRising = (KemRand() & 1) != 0;
    mBalancePhaseStart = Now();
    mValidated = false;
    mStep = 3;
}

void LaunchSet::StepBalance()
{
    const uint32_t elapsed = Now() - mBalancePhaseStart;
    if (static_cast<float>(elapsed) <= mBalanceCrossingTime) {
        mBalance = BalanceAt(elapsed, mBalanceCrossingTime, mBalanceRising);
    } else {
        mBalance = mBalanceRising ? 5.0f : -5.0f;
        mBalanceRising = !mBalanceRising;
        ++mHalfCycles;
        mBalancePhaseStart = Now();
    }
    if (mPresetActive && mHalfCycles >= static_cast<int32_t>(mPresetBalanceGoAndBack) &&
        ((mBalanceRising && mBalance >= mPresetUnbalance) || (!mBalanceRising && mBalance <= mPresetUnbalance))) {
        mBalance = mPresetUnbalance;
        mValidated = true;
    }
    if (!mValidated)
        return;
    mLaunchStartTime = Now();
    if (CKEMSceneObject* model = Model()) {
        model->setAnimTimePosition(mThrowAnim, 0.0f);
        model->playAnimBlending(mThrowAnim, 0.3f, 0.3f, false);
    }
    mValidated = false;
    mStep = 4;
}

namespace {

// What a peer sent for an earlier throw is not this throw's.
void DropEarlierThrow(bool& received, uint32_t of, uint32_t step, const char* what)
{
    if (!received || of >= step)
        return;
    PlatLog("LaunchSet: %s of throw %u dropped at throw %u", what, of, step);
    received = false;
}

}  // namespace

void LaunchSet::StepRelease(MatchState* match)
{
    if (static_cast<int64_t>(Now() - mLaunchStartTime) < static_cast<int64_t>(mReleaseFrame) * mMsPerFrame)
        return;
    ComputeThrow();
    if (!g_NetMgr.IsConnected()) {
        mStep = 5;
        return;
    }
    const int32_t side = (match && match->mMene) ? match->mMene->mCurrentSide : -1;
    ControlerEntry& entry = GetCurrentControlerForTeam(side);
    if (entry.mType == g_OwnControlerType) {
        // This machine throws: the peers replay it from these values.
        CObjnet message;
        WriteLaunchSetMessage(message, static_cast<uint32_t>(g_NetClient.mId), entry.mType);
        g_NetMgr.TCPSendAction(message);
        mStep = 5;
        return;
    }
    ApplyErrors(mSpeed, mShootingAngle, -1);
    const uint32_t step = g_NetMgr.GetStepsPassed();
    DropEarlierThrow(entry.mLaunchSetReceived, entry.mLaunchSetStep, step, "launch set");
    DropEarlierThrow(entry.mBallPositionsReceived, entry.mBallPositionsStep, step, "ball positions");
    if (entry.mLaunchSetReceived && entry.mBallPositionsReceived && entry.mLaunchSetStep == step &&
        entry.mBallPositionsStep == step) {
        entry.mLaunchSetReceived = false;
        entry.mBallPositionsReceived = false;
        mLaunchAngle = entry.mLaunchSet[0];
        mDirection = Ogre::Vector3(entry.mLaunchSet[1], entry.mLaunchSet[2], entry.mLaunchSet[3]);
        mEffect = entry.mLaunchSet[4];
        mInitialSpeed = entry.mLaunchSet[5];
        if (sReplay.start && sReplay.play) {
            // The ball is launched so that the thrower's follow-through and
            // the costs match; its flight is the peer's, replayed.
            LaunchBall();
            sReplay.start();
            mStep = 6;
        } else {
            LaunchBall();
            mStep = 7;
        }
    }
}

void LaunchSet::StepReplay(const std::vector<CBall*>& balls)
{
    if (!sReplay.play || sReplay.play(Now())) {
        if (sReplay.finish)
            sReplay.finish(balls);
        mStep = 7;
    }
}

LaunchSet::ReplayHooks LaunchSet::sReplay;

void LaunchSet::Update(MatchState* match, std::vector<CBall*> balls)
{
    switch (mStep) {
    case 1:
        mRestarted = false;
        if (mPresetActive)
            mValidated = true;
        if (mValidated) {
            mPowerPhaseStart = Now();
            mShootingAngle = mAimGuide ? mAimGuide->mLaunchAngle : 0.0f;
            mValidated = false;
            mStep = 2;
        }
        break;
    case 2:
        StepPower();
        break;
    case 3:
        StepBalance();
        break;
    case 4:
        StepRelease(match);
        break;
    case 5:
        LaunchBall();
        mStep = 7;
        break;
    case 6:
        StepReplay(balls);
        break;
    case 7:
        if (mValidated) {
            mValidated = false;
            mStep = 8;
        }
        break;
    case 8:
        if (mValidated) {
            mValidated = false;
            gTimer.SetFixedStep(0.0f);
            if (g_pMainApp) {
                const uint32_t normal = static_cast<uint32_t>(g_pMainApp->GetNormalFramePeriod());
                g_pMainApp->SetFramePeriod(normal);
                // The slowed frames of the throw must not leave a deadline far
                // ahead: the next frame comes one normal period after the last.
                g_pMainApp->SetNextFrameDeadline(g_pMainApp->GetPreviousFrameStart() + normal);
            }
            mStep = 9;
        }
        break;
    default:
        break;
    }
    if (mStep >= 1 && mStep < 5)
        GetHandPosition();
}

void LaunchSet::GetHandPosition()
{
    CKEMSceneObject* model = Model();
    if (!model || !mBall || !mBall->GetNode())
        return;
    Ogre::Matrix4 node;
    model->GetWorldMatrix(node);
    const Ogre::Matrix4 hand = node * model->GetBoneTransform("joint_boulasse");
    mBall->GetNode()->setPosition(hand.getTrans(), true);
}

void LaunchSet::ComputeThrow()
{
    if (CKEMSceneObject* model = Model())
        model->pauseAnim(mThrowAnim);
    GetHandPosition();
    if (!mBall || !mAimGuide)
        return;
    const int32_t kind = mPlayer ? mPlayer->mThrowMode : 0;
    Ogre::Vector3 ball = mBall->GetWorldPosition();
    TraceVector("position de la boule avant correction: ", ball);
    if (mPlayer)
        TraceVector("position du joueur: ", mPlayer->GetWorldPosition());

    // Put the ball back on the throw axis so that the aim is kept whatever
    // the animation did with the hand.
    if (mPlayer) {
        Ogre::Vector3 origin = mPlayer->GetReleasePoint(kind);
        origin.y = ball.y;
        const Ogre::Vector3 axis = (mAimGuide->mAimPoint - mPlayer->GetReleasePoint(kind)).normalisedCopy();
        const float t = std::max(0.0f, (ball - origin).dotProduct(axis));
        const Ogre::Vector3 onAxis = origin + axis * t;
        Trace("correction axe de lancé: ", ball.distance(onAxis));
        ball = onAxis;
        SetNodeWorldPosition(mBall->GetNode(), ball);
    }

    Ogre::Vector3 direction = mAimGuide->mAimPoint - ball;
    direction.y = 0.0f;
    const float unbalance = mBalance * (kind == CPlayer::THROW_SHOOTING ? COEF_DESEQUILIBRE_TIR : COEF_DESEQUILIBRE_POINTE);
    Trace(" angle de desequilibre: ", unbalance);
    mDirection = Ogre::Quaternion(Ogre::Degree(unbalance), Ogre::Vector3::UNIT_Y) * direction;
    mInitialSpeed = mSpeed + CorrectInitialVelocity();
    mEffect = mPlayer ? static_cast<float>(mPlayer->GetEffectsWithMalus(kind)) / 10.0f : 0.0f;
    mLaunchAngle = mShootingAngle;
    Trace(" angle de tir: ", mLaunchAngle);
    Trace("vitesse initiale: ", mInitialSpeed);
}

float LaunchSet::CorrectInitialVelocity()
{
    if (!mBall || !mAimGuide || !mPlayer)
        return 0.0f;
    const Ogre::Vector3 release = mPlayer->GetReleasePoint(mPlayer->mThrowMode);
    const Ogre::Vector3 d = (mAimGuide->mAimPoint - release).normalisedCopy();
    const Ogre::Vector3 target = release + d * mPower;
    const Ogre::Vector3 ball = mBall->GetWorldPosition();
    // Horizontal distance: the ballistic formula takes the height apart (h),
    // so a slanted length would land the ball beyond the validated distance.
    const float x = Ogre::Vector2(target.x - ball.x, target.z - ball.z).length();
    const float needed = ComputeLaunchSpeed(x, mShootingAngle * Ogre::Math::fDeg2Rad, -ball.y, mAimGuide->mGravity);
    // No speed reaches the target from there: keep the gauge's speed rather
    // than launch at none.
    const float correction = (std::isfinite(needed) && needed > 0.0f) ? needed - mSpeed : 0.0f;
    Trace("correction vitesse initiale: ", correction);
    return correction;
}

void LaunchSet::LaunchBall()
{
    if (!mBall)
        return;
    mBall->Launch(mLaunchAngle, mInitialSpeed, mEffect, mDirection);
    if (mAimGuide) {
        mAimGuide->mAxisShown = false;
        mAimGuide->DrawAxis();
        mAimGuide->HideAxis();
    }
    if (mPlayer && mBall->mKind == CBall::KIND_BALL && mAimGuide) {
        if (mPower > mAimGuide->GetGraduationDistance3())
            mPlayer->mFatigue -= MALUS_PHYSIQUE_ROUGE;
        else if (mPower > mAimGuide->GetGraduationDistance2())
            mPlayer->mFatigue -= MALUS_PHYSIQUE_ORANGE;
        else if (mPower > mAimGuide->GetGraduationDistance1())
            mPlayer->mFatigue -= MALUS_PHYSIQUE_JAUNE_SUPERIEUR;
        else if (mPower >= mAimGuide->GetGraduationDistance0()) {
            // Recovery rests the thrower down to no fatigue, never below.
            if (mPlayer->mFatigue > 0)
                mPlayer->mFatigue = std::max(0, mPlayer->mFatigue - RECUPERATION_PHYSIQUE_VERT);
        } else
            mPlayer->mFatigue -= MALUS_PHYSIQUE_JAUNE_INFERIEUR;
    }
    if (CKEMSceneObject* model = Model())
        model->playAnimBlending(mFollowAnim, 0.5f, 0.5f, true);
}

int32_t LaunchSet::ClampLevel(int32_t level)
{
    if (level == -1)
        return -1;
    return level < 0 ? 0 : level > 10 ? 10 : level;
}

float LaunchSet::BalanceError(float amplitude, int draw, int signDraw)
{
    float e = static_cast<float>(draw) / 32767.0f * amplitude;
    // A negative amplitude (an unbalance malus above 10) must not carry the
    // error past the gauge's end either.
    e = std::min(5.0f, std::max(-5.0f, e));
    return (signDraw & 1) ? -e : e;
}

float LaunchSet::PowerErrorBound(int32_t level) const
{
    return static_cast<float>(10 - level) * mPowerErrorCoef;
}

float LaunchSet::BalanceErrorBound(int32_t level, float balance) const
{
    const float amplitude =
        mAwkwardnessInfluence * static_cast<float>(10 - level) + mUnbalanceInfluence * (10.0f - balance);
    return std::min(5.0f, std::fabs(amplitude));
}

void LaunchSet::ApplyErrors(float speed, float angle, int32_t level)
{
    level = ClampLevel(level);
    mPresetShootingAngle = angle;
    mPresetActive = true;
    mPresetUnbalance = 0.0f;
    mPresetBalanceGoAndBack = static_cast<uint32_t>(KemRand() % 4 + 1);
    if (level != -1) {
        const float amplitude = PowerErrorBound(level);
        float e = static_cast<float>(KemRand()) / 32767.0f * amplitude;
        if (KemRand() & 1)
            e = -e;
        char line[160];
        std::snprintf(line, sizeof(line), "erreur puissance: %f max :%f", e, amplitude);
        DebugPrintText(line, true, false);
        speed += e;
    }
    mPresetPower = mAimGuide ? mAimGuide->DistanceForSpeed(speed) : 0.0f;
    Trace("distance pré-positionnée: ", mPresetPower);
    if (level != -1) {
        const int32_t kind = mPlayer ? mPlayer->mThrowMode : 0;
        const float m = mPlayer ? mPlayer->GetBalanceMalusForSpeed(kind, speed, mAimGuide ? mAimGuide->mLaunchAngle : angle)
                                : 10.0f;
        const float unbalance = 10.0f - m;
        const float awkwardness = static_cast<float>(10 - level);
        Trace("desequilibre: ", unbalance);
        Trace("maladresse ia: ", awkwardness);
        const float amplitude = mAwkwardnessInfluence * awkwardness + mUnbalanceInfluence * unbalance;
        const int draw = KemRand();
        const float e = BalanceError(amplitude, draw, KemRand());
        char line[160];
        std::snprintf(line, sizeof(line), "equilibre pré-positionné pour l ia: %f max :%f", e, amplitude);
        DebugPrintText(line, true, false);
        mPresetUnbalance += e;
    }
}

void LaunchSet::TakeControlerPreset(MatchState* match)
{
    if (!match || !match->mMene)
        return;
    const int32_t side = match->mMene->mCurrentSide;
    if (side != 0 && side != 1)
        return;
    ControlerEntry& entry = GetCurrentControlerForTeam(side);
    if (&entry == &g_DummyControler || !entry.mShootParamsReceived)
        return;
    entry.mShootParamsReceived = false;
    mPresetActive = true;
    mPresetShootingAngle = entry.mPresetShootingAngle;
    mPresetUnbalance = entry.mPresetUnbalance;
    mPresetBalanceGoAndBack = static_cast<uint32_t>(entry.mPresetBalanceGoAndBack);
    mPresetPower = entry.mPresetPower;
    mPower = entry.mPower;
    mSpeed = entry.mSpeed;
    mShootingAngle = entry.mShootingAngle;
    mBalance = entry.mBalance;
    ApplyErrors(mSpeed, mShootingAngle, -1);
}

void LaunchSet::Serialize(CObjnet& message) const
{
    message.WriteFloat(mPresetShootingAngle);
    message.WriteFloat(mPresetUnbalance);
    message.WriteInt(static_cast<int32_t>(mPresetBalanceGoAndBack));
    message.WriteFloat(mPresetPower);
    message.WriteFloat(mPower);
    message.WriteFloat(mSpeed);
    message.WriteFloat(mShootingAngle);
    message.WriteFloat(mBalance);
}

void LaunchSet::SetAnimationTiming()
{
    CKEMSceneObject* model = Model();
    if (!model)
        return;
    model->playAnimBlending(mThrowAnim, 0.0f, 0.0f, true);
    model->setAnimTimePosition(mThrowAnim, static_cast<float>(mReleaseFrame + 1) * mMsPerFrame / 1000.0f);
    model->pauseAnim(mThrowAnim);
}

void LaunchSet::WriteLaunchSetMessage(CObjnet& message, uint32_t clientId, int32_t controller) const
{
    message.StartSignature(NETSIG_E_LAUNCHSET);
    message.WriteUInt(clientId);
    message.WriteInt(controller);
    message.WriteFloat(mLaunchAngle);
    message.WriteFloat(mDirection.x);
    message.WriteFloat(mDirection.y);
    message.WriteFloat(mDirection.z);
    message.WriteFloat(mEffect);
    message.WriteFloat(mInitialSpeed);
    message.End();
}

namespace {

// The entry of a controller named by a peer; null for a controller this
// match does not have (unfilled entries carry the undefined type).
ControlerEntry* KnownControler(int32_t controller, const char* what)
{
    ControlerEntry& entry = FindControler(controller);
    if (controller != e_undefined && &entry != &g_DummyControler)
        return &entry;
    PlatLog("LaunchSet: %s for unknown controller %d dropped", what, controller);
    return nullptr;
}

bool StoreReceivedShootParams(int32_t controller, const NetShootParams& values)
{
    ControlerEntry* entry = KnownControler(controller, "shoot parameters");
    if (!entry)
        return false;
    entry->mPresetShootingAngle = values.presetShootingAngle;
    entry->mPresetUnbalance = values.presetUnbalance;
    entry->mPresetBalanceGoAndBack = static_cast<int32_t>(values.presetBalanceGoAndBack);
    entry->mPresetPower = values.presetPower;
    entry->mPower = values.power;
    entry->mSpeed = values.speed;
    entry->mShootingAngle = values.shootingAngle;
    entry->mBalance = values.balance;
    entry->mShootParamsReceived = true;
    return true;
}

bool StoreReceivedShootOptions(int32_t controller, const NetShootOptions& values)
{
    ControlerEntry* entry = KnownControler(controller, "shoot options");
    if (!entry)
        return false;
    ShootOptions options;
    options.angle = values.angle;
    options.playerIndex = values.playerIndex;
    options.throwMode = values.throwMode;
    options.effect = values.ballEffect;
    options.aimX = values.aimX;
    options.aimY = values.aimY;
    options.aimZ = values.aimZ;
    options.fatigue = values.fatigue;
    options.stress = values.stress;
    options.ballsLeft = values.ballsLeft;
    return entry->SetShootOptions(options);
}

}  // namespace

bool LaunchSet::StoreReceivedLaunchSet(int32_t controller, const NetLaunchSet& values)
{
    ControlerEntry* entry = KnownControler(controller, "launch set");
    if (!entry)
        return false;
    entry->mLaunchSetStep = ControlerMessageStep(controller);
    LaunchSetValues v;
    v.angle = values.values[0];
    v.directionX = values.values[1];
    v.directionY = values.values[2];
    v.directionZ = values.values[3];
    v.effect = values.values[4];
    v.speed = values.values[5];
    return entry->SetLaunchSet(v);
}

void LaunchSet::InstallNetReceiver()
{
    // Every match start sets the same three; the ball positions go to the
    // replay recorder, which installs its own receiver at start-up.
    CNetMgrGameServices& services = g_NetMgr.GameServices();
    services.shootParams = &StoreReceivedShootParams;
    services.shootOptions = &StoreReceivedShootOptions;
    services.launchSet = &StoreReceivedLaunchSet;
}

void LaunchSet::DropBallAtCursor(float x, float y)
{
    CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera();
    CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
    if (!mBall || !mBall->GetNode() || !camera || !world)
        return;
    Ogre::Vector3 point;
    if (!world->PickEntity(camera->GetViewportRay(x, y), "terrain", point)) {
        PlatLog("LaunchSet: no terrain under the cursor (%.2f, %.2f)", x, y);
        return;
    }
    point.y += 1.0f;
    SetNodeWorldPosition(mBall->GetNode(), point);
    mBall->mState = CBall::STATE_LAUNCHED;
    if (mAimGuide) {
        mAimGuide->mAxisShown = false;
        mAimGuide->HideAxis();
    }
    mEffect = 0.0f;
    mLaunchAngle = 0.0f;
    mDirection = Ogre::Vector3(0.0f, -1.0f, 0.0f);
    mInitialSpeed = 1.0f;
    mValidated = false;
    mStep = 5;
}
