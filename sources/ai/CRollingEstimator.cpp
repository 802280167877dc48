#include "CRollingEstimator.h"

#include <CBall.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <CPhysicMgr.h>
#include <Platform.h>
#include <TuningParameters.h>

#include <cmath>

CImpactListener::~CImpactListener() = default;

const char* const CRollingEstimator::kSetNames[SET_COUNT] = {
    "calibrationSet_Angle_Min_No_Effect_0_Velocity_7",
    "calibrationSet_Angle_Max_No_Effect_0_Velocity_7",
    "calibrationSet_Angle_Ave_No_Effect_Velocity_5",
    "calibrationSet_Angle_Ave_No_Effect_Velocity_9",
    "calibrationSet_Angle_Ave_No_Effect_Velocity_7",
    "calibrationSet_Angle_Ave_Retro_Effect_Velocity_7",
};
const float CRollingEstimator::kLaunchOffsets[SET_COUNT] = {-2.0f, -1.0f, 0.0f, 1.0f, 2.0f, 3.0f};
const float CRollingEstimator::kLaunchZ = 8.0f;
// Balls launched at 5 to 9 m/s rest within a few seconds; this leaves room
// for a slow venue and still ends the intro.
const uint32_t CRollingEstimator::kCalibrationTimeLimitMs = 20000;

namespace {
enum { SET_ANGLE_MIN, SET_ANGLE_MAX, SET_VELOCITY_5, SET_VELOCITY_9, SET_VELOCITY_7, SET_RETRO };

CalibrationSet MakeSet(float effect, float velocity, float angle) {
    CalibrationSet set;
    set.effect = effect;
    set.velocity = velocity;
    set.angle = angle;
    return set;
}

// Change of result per unit; a calibration whose two throws did not differ
// in that unit (equal tuning angles, say) measures no change.
float Slope(const CalibrationSet& high, const CalibrationSet& low, float CalibrationSet::*unit) {
    const float span = high.*unit - low.*unit;
    if (span == 0.0f || !std::isfinite(span))
        return 0.0f;
    const float slope = (high.result - low.result) / span;
    return std::isfinite(slope) ? slope : 0.0f;
}
}  // namespace

CRollingEstimator::CRollingEstimator(const AIParameters* parameters) : mParameters(parameters) {
    const float average = ANGLE_POINTE_MOYEN;
    mSets[kSetNames[SET_ANGLE_MIN]] = MakeSet(0.0f, 7.0f, static_cast<float>(ANGLE_MIN_POINTE));
    mSets[kSetNames[SET_ANGLE_MAX]] = MakeSet(0.0f, 7.0f, static_cast<float>(ANGLE_MAX_POINTE));
    mSets[kSetNames[SET_VELOCITY_5]] = MakeSet(0.0f, 5.0f, average);
    mSets[kSetNames[SET_VELOCITY_9]] = MakeSet(0.0f, 9.0f, average);
    mSets[kSetNames[SET_VELOCITY_7]] = MakeSet(0.0f, 7.0f, average);
    mSets[kSetNames[SET_RETRO]] = MakeSet(1.0f, 7.0f, average);
}

CRollingEstimator::~CRollingEstimator() = default;

void CRollingEstimator::Calibrate(const std::vector<CKEMSceneNode*>& balls, const Launcher& launch) {
    if (mLaunched) {
        PlatLog("CRollingEstimator::Calibrate() => already calibrated, nothing launched");
        return;
    }
    mLaunched = true;
    for (int i = 0; i < SET_COUNT; ++i) {
        const size_t index = static_cast<size_t>(i) + 1;
        CKEMSceneNode* node = index < balls.size() ? balls[index] : nullptr;
        if (!node) {
            // An unmeasured set must not enter the slopes with a result of 0.
            PlatLog("CRollingEstimator::Calibrate() => no ball %u for %s", static_cast<unsigned>(index), kSetNames[i]);
            mSets.erase(kSetNames[i]);
            continue;
        }
        std::map<std::string, CalibrationSet>::const_iterator set = mSets.find(kSetNames[i]);
        if (set == mSets.end())
            continue;
        ++mBallsInFlight;
        mBallToSet[node->getName()] = kSetNames[i];
        node->setPosition(Ogre::Vector3(kLaunchOffsets[i], HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE, kLaunchZ), true);
        if (launch)
            launch(node, set->second, Ogre::Vector3::NEGATIVE_UNIT_Z);
    }
}

void CRollingEstimator::Calibrate(const std::vector<CBall*>& balls) {
    std::vector<CKEMSceneNode*> nodes;
    for (CBall* ball : balls)
        nodes.push_back(ball ? ball->GetNode() : nullptr);
    Calibrate(nodes, [&balls](CKEMSceneNode* node, const CalibrationSet& set, const Ogre::Vector3& direction) {
        for (CBall* ball : balls) {
            if (!ball || ball->GetNode() != node)
                continue;
            if (set.effect > 0.0f)
                ball->mEffect = CBall::EFFECT_FORWARD;
            ball->Launch(set.angle, set.velocity, set.effect, direction);
            return;
        }
    });
}

std::string CRollingEstimator::CalibrationEntry(const std::string& nodeName) const {
    if (mBallsInFlight == 0)
        return nodeName;
    std::map<std::string, std::string>::const_iterator it = mBallToSet.find(nodeName);
    return it == mBallToSet.end() ? std::string() : it->second;
}

void CRollingEstimator::RecordLaunch(float angleDegrees, float effect, float speed, CKEMSceneNode* ball,
                                     const Ogre::Vector3& unused) {
    (void)unused;
    if (!ball)
        return;
    std::map<std::string, CalibrationSet>::iterator set = mSets.find(CalibrationEntry(ball->getName()));
    if (set == mSets.end())
        return;
    set->second.effect = effect;
    set->second.velocity = speed;
    set->second.angle = angleDegrees;
}

void CRollingEstimator::OnImpact(CKEMSceneNode* ball, float x, float y, float z) {
    if (!ball)
        return;
    const std::string name = CalibrationEntry(ball->getName());
    if (mSets.count(name) && !mImpacts.count(name))
        mImpacts[name] = Ogre::Vector3(x, y, z);
}

void CRollingEstimator::OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode* other, float x, float y, float z) {
    (void)other;
    (void)x;
    (void)y;
    (void)z;
    if (!ball)
        return;
    const std::string name = CalibrationEntry(ball->getName());
    mSets.erase(name);
    mImpacts.erase(name);
}

void CRollingEstimator::UpdateCalibration(CKEMSceneNode* ball) {
    if (!ball)
        return;
    Ogre::Vector3 position;
    ball->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    UpdateCalibration(ball->getName(), position, [ball]() {
        if (CPhysicObject* object = ball->getPhysicObject())
            gPhysicMgr.RemoveObject(object);
    });
}

void CRollingEstimator::UpdateCalibration(const std::string& nodeName, const Ogre::Vector3& restPosition,
                                          const std::function<void()>& removeFromPhysics) {
    if (mBallsInFlight == 0)
        return;
    std::map<std::string, std::string>::iterator entry = mBallToSet.find(nodeName);
    if (entry == mBallToSet.end())
        return;
    // Done whatever it measured: a ball left uncounted would hold the
    // calibration (and the intro waiting for it) forever.
    const std::string setName = entry->second;
    mBallToSet.erase(entry);
    if (removeFromPhysics)
        removeFromPhysics();
    std::map<std::string, Ogre::Vector3>::iterator impact = mImpacts.find(setName);
    std::map<std::string, CalibrationSet>::iterator set = mSets.find(setName);
    if (impact != mImpacts.end() && set != mSets.end()) {
        set->second.result = (impact->second - restPosition).length();
        mSamples.push_back(set->second);
        mMeasured[setName] = set->second;
    } else {
        PlatLog("CRollingEstimator::UpdateCalibration() => %s rests without a sample", setName.c_str());
    }
    if (impact != mImpacts.end())
        mImpacts.erase(impact);
    if (--mBallsInFlight == 0)
        FinishCalibration();
}

bool CRollingEstimator::AdvanceCalibration(uint32_t gameTimeMs) {
    if (mBallsInFlight == 0)
        return true;
    // A game clock set back (a reset timer) starts the limit again.
    if (!mTimerStarted || static_cast<int32_t>(gameTimeMs - mCalibrationStartMs) < 0) {
        mTimerStarted = true;
        mCalibrationStartMs = gameTimeMs;
        return false;
    }
    if (gameTimeMs - mCalibrationStartMs <= kCalibrationTimeLimitMs)
        return false;
    PlatLog("CRollingEstimator::AdvanceCalibration() => %d ball(s) still moving after %u ms, calibrated with %u sample(s)",
            mBallsInFlight, static_cast<unsigned>(kCalibrationTimeLimitMs), static_cast<unsigned>(mSamples.size()));
    FinishCalibration();
    return true;
}

void CRollingEstimator::FinishCalibration() {
    ComputeSlopes();
    mBallsInFlight = 0;
    mSets.clear();
    mBallToSet.clear();
    mImpacts.clear();
    mMeasured.clear();
}

void CRollingEstimator::ComputeSlopes() {
    // Each slope needs both of its sets measured: a set whose ball was
    // missing, touched another ball or never landed has no result to compare.
    const auto pair = [this](int high, int low, float CalibrationSet::*unit) {
        std::map<std::string, CalibrationSet>::const_iterator h = mMeasured.find(kSetNames[high]);
        std::map<std::string, CalibrationSet>::const_iterator l = mMeasured.find(kSetNames[low]);
        return (h == mMeasured.end() || l == mMeasured.end()) ? 0.0f : Slope(h->second, l->second, unit);
    };
    mAngleSlope = pair(SET_ANGLE_MAX, SET_ANGLE_MIN, &CalibrationSet::angle);
    mVelocitySlope = pair(SET_VELOCITY_9, SET_VELOCITY_5, &CalibrationSet::velocity);
    mEffectSlope = pair(SET_RETRO, SET_VELOCITY_7, &CalibrationSet::effect);
}

float CRollingEstimator::Estimate(float angleDegrees, float effect, float velocity) const {
    if (mSamples.empty())
        return 2.0f;
    const CalibrationSet* nearest = nullptr;
    float nearestDistance = 0.0f;
    for (const CalibrationSet& s : mSamples) {
        const float d = std::fabs(mEffectSlope * (s.effect - effect) + mVelocitySlope * (s.velocity - velocity) +
                                  mAngleSlope * (s.angle - angleDegrees));
        if (!nearest || d < nearestDistance) {
            nearest = &s;
            nearestDistance = d;
        }
    }
    const float estimate = nearest->result - (mEffectSlope * (nearest->effect - effect) +
                                              mVelocitySlope * (nearest->velocity - velocity) +
                                              mAngleSlope * (nearest->angle - angleDegrees));
    return estimate < 0.0f ? 0.0f : estimate;
}
