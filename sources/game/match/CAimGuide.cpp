#include "CAimGuide.h"

#include "CBall.h"
#include "CGameElement.h"
#include "CPlayer.h"
#include "Terrain.h"

#include <CDebugRenderer.h>
#include <CHudGameSource.h>
#include <CInputMgr.h>
#include <CKEMSceneNode.h>
#include <CPhysicMgr.h>
#include <HalTimer.h>
#include <TuningParameters.h>

#include <OgreMath.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>

#include <algorithm>
#include <cmath>

namespace {

const float AIM_HEIGHT = 0.02f;
const char* const AXIS_SHAPES[] = {"axis min",   "axis yellow inf", "axis green", "axis yellow sup",
                                   "axis orange", "axis red",        "axis black"};
const char* const AXIS_MATERIALS[] = {"debug_black",  "debug_yellow", "debug_green", "debug_yellow",
                                      "debug_orange", "debug_red",    "debug_black"};

}  // namespace

CAimGuide::CAimGuide()
    : mGravity(gPhysicMgr.GetGravity().length()),
      mAxisMax(8.0f * DIST_ENTRE_GRADUATION),
      mAxisMin(DIST_ENTRE_GRADUATION)
{
}

CAimGuide::~CAimGuide()
{
    gDebugRenderer.RemoveShape("target");
    for (const char* shape : AXIS_SHAPES)
        gDebugRenderer.RemoveShape(shape);
    for (CAxisGraduation* mark : mGraduations)
        delete mark;
    mGraduations.clear();
}

float CAimGuide::LaunchSpeed(float distance, float angle, float height, float g)
{
    const float a = angle * Ogre::Math::fDeg2Rad;
    const float c = std::cos(a);
    const float v = std::sqrt(0.5f * g * distance * distance / ((distance * std::tan(a) + height) * c * c));
    // No speed reaches a point on or above the launch line: 0, never a NaN
    // or an infinity that would end up in the physics.
    return std::isfinite(v) ? v : 0.0f;
}

float (*CAimGuide::sEstimateRolling)(const CRollingEstimator*, float, float, float) = nullptr;

float CAimGuide::LandingDistance(float speed, float angle, float height, float g)
{
    // A ball given no speed stays in the hand: it reaches nothing, and the
    // formula below would divide by zero.
    if (!(speed > 0.0f))
        return 0.0f;
    const float a = angle * Ogre::Math::fDeg2Rad;
    const float c = std::cos(a);
    const float t = std::tan(a);
    const float A = 0.5f * g / (speed * speed * c * c);
    const float disc = t * t + 4.0f * A * height;
    if (disc < 0.0f)
        return -1.0f;
    const float x1 = (t + std::sqrt(disc)) / (2.0f * A);
    const float x2 = (t - std::sqrt(disc)) / (2.0f * A);
    return x1 > 0.0f ? x1 : x2;
}

Ogre::Vector3 CAimGuide::ReleasePoint() const
{
    return mPlayer ? mPlayer->GetReleasePoint(mPlayer->mThrowMode) : Ogre::Vector3::ZERO;
}

void CAimGuide::ResetAim(CPlayer* player, CBall* ball)
{
    mPlayer = player;
    mBall = ball;
    const int32_t mode = player ? player->mThrowMode : -1;
    if (mode == CPlayer::THROW_SHOOTING) {
        mAngleMax = static_cast<float>(ANGLE_MAX_TIR);
        mAngleMin = static_cast<float>(ANGLE_MIN_TIR);
        mDefaultAngle = ANGLE_TIR_MOYEN;
        mReleaseHeight = HAUTEUR_BOULE_INITIALE_MOYENNE_TIR;
    } else if (mode == CPlayer::THROW_POINTING) {
        mAngleMax = static_cast<float>(ANGLE_MAX_POINTE);
        mAngleMin = static_cast<float>(ANGLE_MIN_POINTE);
        mDefaultAngle = ANGLE_POINTE_MOYEN;
        mReleaseHeight = HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE;
    }
    mLaunchAngle = mDefaultAngle;
    mLaunchSpeed = SpeedToAimPoint(mLaunchAngle);
    mAxisMax = 8.0f * DIST_ENTRE_GRADUATION;
    mAxisMin = DIST_ENTRE_GRADUATION;
}

void CAimGuide::SetAimPoint(const Ogre::Vector3& point)
{
    mEstimateNeeded = true;
    mAimPoint = Ogre::Vector3(point.x, AIM_HEIGHT, point.z);
    if (mAimTarget && mAimTarget->GetNode())
        SetNodeWorldPosition(mAimTarget->GetNode(), mAimPoint);
    if (mPlayer)
        mPlayer->LookAt(mAimPoint);
    mLaunchSpeed = SpeedToAimPoint(mLaunchAngle);
    if (mReferee)
        mReferee->SetShootOptions();
    if (mAxisShown)
        DrawAxis();
}

float CAimGuide::SpeedToAimPoint(float angle) const
{
    const float d = ReleasePoint().distance(mAimPoint);
    return LaunchSpeed(d, angle, mReleaseHeight, mGravity);
}

float CAimGuide::SpeedForDistance(float distance) const
{
    return LaunchSpeed(distance, mLaunchAngle, mReleaseHeight, mGravity);
}

float CAimGuide::DistanceForSpeed(float speed) const
{
    return LandingDistance(speed, mLaunchAngle, mReleaseHeight, mGravity);
}

float CAimGuide::Clamp(float distance) const
{
    return std::min(std::max(distance, mAxisMin), mAxisMax);
}

float CAimGuide::GraduationDistance(int k) const
{
    if (!mPlayer)
        return Clamp(0.0f);
    const int32_t flag = mPlayer->mThrowMode == CPlayer::THROW_SHOOTING ? 0 : 1;
    float speed = 0.0f;
    switch (k) {
    case 0: speed = mPlayer->GetProfileSpeed0(flag); break;
    case 1: speed = mPlayer->GetProfileSpeed1(flag); break;
    case 2: speed = mPlayer->GetProfileSpeed2(flag); break;
    default: speed = mPlayer->GetProfileSpeed3(flag); break;
    }
    speed = mPlayer->ApplyFatigueMalus(mPlayer->mThrowMode, speed, mLaunchAngle);
    return Clamp(DistanceForSpeed(speed));
}

float CAimGuide::GetMaxDistance() const
{
    const float speed = LaunchSpeed(mAxisMax, mDefaultAngle, mReleaseHeight, mGravity);
    return Clamp(DistanceForSpeed(speed));
}

void CAimGuide::Update()
{
    Update(gInputMgr.GetAction(10), gInputMgr.GetAction(9), gInputMgr.GetAction(7), gInputMgr.GetAction(8));
}

void CAimGuide::Update(uint16_t increase, uint16_t decrease, uint16_t left, uint16_t right)
{
    if (CInputMgr::IsReleased(increase) || CInputMgr::IsReleased(decrease) || CInputMgr::IsReleased(left) ||
        CInputMgr::IsReleased(right)) {
        mTurnSpeed = 0.0f;
        mDistanceSpeed = 0.0f;
    }
    if (ENABLE_CHEAT) {
        if (CInputMgr::Level(increase))
            IncreaseDistance();
        if (CInputMgr::Level(decrease))
            DecreaseDistance();
    }
    if (mTurnRequest == 0) {
        if (CInputMgr::Level(left))
            TurnLeft();
        if (CInputMgr::Level(right))
            TurnRight();
    } else if (mTurnRequest < 0) {
        TurnLeft();
    } else {
        TurnRight();
    }
    if (mEstimateNeeded) {
        DrawRollingEstimate();
        mEstimateNeeded = false;
    }
    DrawAxis();
    if (!mAxisShown)
        HideAxis();
}

void CAimGuide::Turn(float angle)
{
    const Ogre::Vector3 origin = ReleasePoint();
    const Ogre::Quaternion q(Ogre::Radian(angle), Ogre::Vector3::UNIT_Y);
    SetAimPoint(origin + q * (mAimPoint - origin));
}

void CAimGuide::TurnLeft()
{
    if (mTurnSpeed < 20.0f)
        mTurnSpeed += 0.005f;
    Turn(mTurnSpeed * gTimer.GetDeltaSeconds());
}

void CAimGuide::TurnRight()
{
    if (mTurnSpeed < 20.0f)
        mTurnSpeed += 0.005f;
    Turn(-mTurnSpeed * gTimer.GetDeltaSeconds());
}

void CAimGuide::Lengthen(float distance)
{
    const Ogre::Vector3 origin = ReleasePoint();
    SetAimPoint(mAimPoint + (mAimPoint - origin).normalisedCopy() * distance);
}

void CAimGuide::IncreaseDistance()
{
    if (mDistanceSpeed < 10.0f)
        mDistanceSpeed += 0.05f;
    Lengthen(mDistanceSpeed * gTimer.GetDeltaSeconds());
}

void CAimGuide::DecreaseDistance()
{
    if (mDistanceSpeed < 10.0f)
        mDistanceSpeed += 0.05f;
    Lengthen(-mDistanceSpeed * gTimer.GetDeltaSeconds());
}

void CAimGuide::RotateAim(float angle)
{
    if (angle == 0.0f)
        return;
    Turn(-angle);
}

void CAimGuide::DrawAxis()
{
    const Ogre::Vector3 origin = ReleasePoint();
    Ogre::Vector3 flat = mAimPoint - origin;
    flat.y = 0.0f;
    if (flat.isZeroLength())
        return;
    const Ogre::Vector3 direction = flat.normalisedCopy();

    // The axis ends where it leaves the playing rectangle.
    float length = mAxisMax;
    Ogre::Vector3 exit;
    if (mTerrain && mTerrain->IntersectRay(Ogre::Ray(origin, direction), exit))
        length = origin.distance(exit);

    const float limits[] = {mAxisMin,
                            GetGraduationDistance0(),
                            GetGraduationDistance1(),
                            GetGraduationDistance2(),
                            GetGraduationDistance3(),
                            GetMaxDistance(),
                            length};
    float start = 0.0f;
    for (int band = 0; band < 7; ++band) {
        const float limit = std::max(limits[band], start);
        if (band > 0 && length <= start) {
            gDebugRenderer.RemoveShape(AXIS_SHAPES[band]);
        } else {
            CDebugRenderer::AddLine(AXIS_SHAPES[band], origin + direction * start,
                                    origin + direction * std::min(length, limit), AXIS_MATERIALS[band]);
        }
        start = limit;
    }

    for (size_t i = 0; i < mGraduations.size(); ++i) {
        CAxisGraduation* mark = mGraduations[i];
        if (!mark || !mark->GetNode())
            continue;
        const Ogre::Vector3 position =
            origin + direction * (DIST_PREMIERE_GRADUATION + static_cast<float>(i) * DIST_ENTRE_GRADUATION);
        SetNodeWorldPosition(mark->GetNode(), position);
        mark->GetNode()->setToVisible(!mTerrain || !mTerrain->IsOutside(position));
    }
}

void CAimGuide::HideAxis()
{
    if (ENABLE_CHEAT)
        gDebugRenderer.RemoveShape("rolling");
    for (const char* shape : AXIS_SHAPES)
        gDebugRenderer.RemoveShape(shape);
}

void CAimGuide::DrawRollingEstimate()
{
    if (!ENABLE_CHEAT || !mBall || mBall->IsTarget() || !mRollingEstimator || !sEstimateRolling)
        return;
    const Ogre::Vector3 at(mAimPoint.x, 0.07f, mAimPoint.z);
    if (mPlayer && mPlayer->mThrowMode == CPlayer::THROW_POINTING) {
        const float r = sEstimateRolling(mRollingEstimator, mLaunchAngle, 0.0f, mLaunchSpeed);
        Ogre::Vector3 flat = mAimPoint - ReleasePoint();
        flat.y = 0.0f;
        if (flat.isZeroLength() || !std::isfinite(r))
            return;
        CDebugRenderer::AddLine("rolling", at, at + flat.normalisedCopy() * r, "debug_blue");
    } else {
        CDebugRenderer::AddLine("rolling", at - Ogre::Vector3(0.1f, 0, 0), at + Ogre::Vector3(0.1f, 0, 0),
                                "debug_blue");
    }
}
