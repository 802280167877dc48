#include "CThrowParametersChoice.h"

#include "AIGeometry.h"
#include "AIParameters.h"
#include "AISituation.h"
#include "CRollingEstimator.h"

#include <CDebugRenderer.h>
#include <CPhysicMgr.h>
#include <CPlayer.h>
#include <StartupValues.h>
#include <TuningParameters.h>

#include <OgreMath.h>
#include <OgreQuaternion.h>

#include <cmath>
#include <limits>

namespace {

const float kLandingHeight = -0.6f;     // ground below the release point
const float kGravity = 9.81f;
const float kPathLevel1 = 0.0064f;      // 8 cm, squared
const float kPathLevel2 = 0.0256f;      // 16 cm, squared

struct Preset {
    float angles[3];
    std::vector<int32_t> modes;
    float deviationBound;
    float ratioCentre, ratioStep, ratioLow, ratioHigh;
};

}  // namespace

CThrowParametersChoice::CThrowParametersChoice(CRollingEstimator* estimator, const BaseStrategy& strategy,
                                               CPlayer* player, const AISituation* situation,
                                               const AIParameters* parameters, int32_t timeBudgetMs,
                                               float noiseAmplitude, int32_t noiseSamples)
    : CWeightedChoice<ThrowParameters>(timeBudgetMs, -100.0f, noiseSamples, noiseAmplitude), mSituation(situation),
      mParameters(parameters), mStrategy(strategy), mEstimator(estimator), mPlayer(player) {}

CThrowParametersChoice::~CThrowParametersChoice() { gDebugRenderer.RemoveShape("testedPath"); }

std::vector<float> CThrowParametersChoice::RatioSweep(float centre, float step, float low, float high) {
    std::vector<float> ratios(1, centre);
    float up = centre;
    float down = centre;
    for (;;) {
        up += step;
        down -= step;
        const bool upIn = up <= high;
        const bool downIn = down >= low;
        if (!upIn && !downIn)
            break;
        if (upIn)
            ratios.push_back(up);
        if (downIn)
            ratios.push_back(down);
    }
    return ratios;
}

std::vector<float> CThrowParametersChoice::DeviationSweep(float step, float bound) {
    std::vector<float> deviations(1, 0.0f);
    if (step <= 0.0f)
        return deviations;
    for (int k = 1; k * step <= bound + step * 0.5f; ++k) {
        deviations.push_back(k * step);
        deviations.push_back(-k * step);
    }
    return deviations;
}

void CThrowParametersChoice::Start(uint32_t nowMs) {
    mCandidates.reset(new CandidateArray());
    mPointing = mStrategy.kind != BaseStrategy::KIND_SHOOT ? 1 : 0;
    const int32_t kind = mPointing ? CPlayer::THROW_POINTING : CPlayer::THROW_SHOOTING;

    // The release point is the side's current player's (the referee makes
    // the chosen player current only once the decision is read).
    CPlayer* thrower = mSituation && mSituation->GetCurrentPlayer() ? mSituation->GetCurrentPlayer() : mPlayer;
    mReleasePoint = thrower ? thrower->GetReleasePoint(kind) : Ogre::Vector3::ZERO;
    if (mSituation) {
        const int32_t record = mSituation->FindBall(mStrategy.ball);
        mBallPosition = record >= 0 ? mSituation->GetBall(static_cast<size_t>(record)).position
                                    : mSituation->GetTargetPosition();
    }
    mToRelease = mReleasePoint - mBallPosition;
    mSquaredThrowDistance = mToRelease.squaredLength();
    const Ogre::Vector3 direction = mBallPosition - mReleasePoint;

    const float a = ANGLE_POINTE_MOYEN;
    const float aMax = static_cast<float>(ANGLE_MAX_POINTE);
    Preset preset;
    const AIParameters* p = mParameters;
    switch (mStrategy.kind) {
    case BaseStrategy::KIND_PUSH:
        if (p)
            mWeights = {p->WP_path_intersection_level_1, p->WP_path_intersection_level_2, p->WP_red, p->WP_orange,
                        p->WP_yellow};
        preset = {{a, a, a}, {0}, 0.0f, 0.6f, 0.001f, 0.6f, 1.0f};
        break;
    case BaseStrategy::KIND_STICK:
        if (p)
            mWeights = {p->WT_path_intersection_level_1, p->WT_path_intersection_level_2, p->WT_red, p->WT_orange,
                        p->WT_yellow};
        preset = {{a, aMax, a}, {0}, 0.0f, 0.6f, 0.001f, 0.6f, 0.9f};
        break;
    case BaseStrategy::KIND_SHOOT: {
        const float tMax = static_cast<float>(ANGLE_MAX_TIR);
        const bool blocked = mSituation && mSituation->HasBallInFront(mStrategy.ball, 0.2f);
        if (blocked)
            preset = {{tMax, tMax, tMax}, {0, 1}, 0.0f, 0.99f, 0.0f, 0.99f, 0.99f};
        else
            preset = {{ANGLE_TIR_MOYEN, tMax, static_cast<float>(ANGLE_MIN_TIR)}, {0, 1}, 0.0f, 0.99f, 0.0f, 0.99f, 0.99f};
        break;
    }
    case BaseStrategy::KIND_APPROACH:
    default:
        if (p)
            mWeights = {p->WA_path_intersection_level_1, p->WA_path_intersection_level_2, p->WA_red, p->WA_orange,
                        p->WA_yellow};
        preset = {{a, aMax, a}, {0, 1}, 5.0f, 0.65f, 0.005f, 0.55f, 0.85f};
        break;
    }

    const std::vector<float> deviations = DeviationSweep(0.5f, preset.deviationBound);
    const std::vector<float> ratios =
        preset.ratioStep > 0.0f ? RatioSweep(preset.ratioCentre, preset.ratioStep, preset.ratioLow, preset.ratioHigh)
                                : std::vector<float>(1, preset.ratioCentre);
    mCandidates->reserve(preset.modes.size() * 3 * deviations.size() * ratios.size());
    for (int32_t m : preset.modes) {
        for (float angle : preset.angles) {
            for (float deviation : deviations) {
                const Ogre::Vector3 turned = Ogre::Quaternion(Ogre::Degree(deviation), Ogre::Vector3::UNIT_Y) * direction;
                for (float r : ratios) {
                    ThrowParameters candidate;
                    candidate.mode = m == 1 ? ThrowParameters::MODE_EFFECT
                                     : deviation > 0.0f ? ThrowParameters::MODE_SIDE_RIGHT
                                     : deviation < 0.0f ? ThrowParameters::MODE_SIDE_LEFT
                                                        : ThrowParameters::MODE_NONE;
                    const Ogre::Vector3 aim = mReleasePoint + turned * r;
                    candidate.aimX = aim.x;
                    candidate.aimZ = aim.z;
                    candidate.angle = angle;
                    candidate.deviation = deviation;
                    mCandidates->push_back(candidate);
                }
            }
        }
    }
    CAITask::Start(nowMs);
}

float CThrowParametersChoice::Evaluate(ThrowParameters c) {
    float score = CWeightedChoice<ThrowParameters>::Evaluate(c);
    if (!mPointing || !mParameters)
        return score;
    const AIParameters& p = *mParameters;

    const Ogre::Vector3 aim(c.aimX, 0.0f, c.aimZ);
    Ogre::Vector3 v = aim - mReleasePoint;
    const float speed = ComputeLaunchSpeed(v.length(), c.angle * Ogre::Math::fDeg2Rad, kLandingHeight, kGravity);
    v.normalise();

    float effect = 0.0f;
    if (c.mode == ThrowParameters::MODE_EFFECT)
        effect = mPlayer ? static_cast<float>(mPlayer->GetEffectsWithMalus(CPlayer::THROW_POINTING)) : 0.0f;
    else if (c.mode == ThrowParameters::MODE_SIDE_LEFT)
        v = g_SpinQuaternionPlus * v;
    else if (c.mode == ThrowParameters::MODE_SIDE_RIGHT)
        v = g_SpinQuaternionMinus * v;

    const float rolling = mEstimator ? mEstimator->Estimate(c.angle, effect, speed) : 2.0f;
    const Ogre::Vector3 rest = aim + v * rolling;
    const float d2 = rest.squaredDistance(mBallPosition);

    // Another ball near the path from landing to rest.
    if (mSituation) {
        float nearest = std::numeric_limits<float>::infinity();
        for (size_t i = 0; i < mSituation->GetBallCount(); ++i) {
            const AIBallRecord record = mSituation->GetBall(i);
            if (record.ball == mStrategy.ball)
                continue;
            const Ogre::Vector3 ground(record.position.x, 0.0f, record.position.z);
            nearest = std::min(nearest, SquaredDistanceToSegment(ground, aim, rest));
        }
        if (nearest < kPathLevel1)
            score += mWeights.level1;
        else if (nearest < kPathLevel2)
            score += mWeights.level2;
    }

    // Beyond the thrower's comfortable power.
    if (mPlayer) {
        const int32_t kind = CPlayer::THROW_POINTING;
        const float s3 = mPlayer->ApplyFatigueMalus(kind, mPlayer->GetProfileSpeed3(kind), c.angle);
        const float s2 = mPlayer->ApplyFatigueMalus(kind, mPlayer->GetProfileSpeed2(kind), c.angle);
        const float s1 = mPlayer->GetSpeed1(kind, c.angle);
        const float s0 = mPlayer->GetSpeed0(kind, c.angle);
        if (s3 < speed)
            score += mWeights.red;
        else if (s2 < speed)
            score += mWeights.orange;
        else if (s1 < speed || s0 > speed)
            score += mWeights.yellow;
    }

    switch (mStrategy.kind) {
    case BaseStrategy::KIND_APPROACH: {
        const float ratio = d2 / mSquaredThrowDistance;
        const int32_t zone = ratio <= p.limit_dist_1 * p.limit_dist_1 ? 0
                             : mSituation                              ? mSituation->GetZone(ratio)
                                                                       : 3;
        const int32_t angleClass = mSituation ? mSituation->ClassifyAngle(mToRelease, rest - mBallPosition) : 2;
        if (c.deviation == 0.0f)
            score += p.WA_straight;
        static const float AIParameters::*const table[3][3] = {
            {&AIParameters::WA_end_z1_plus, &AIParameters::WA_end_z1, &AIParameters::WA_end_z1_minus},
            {&AIParameters::WA_end_z2_plus, &AIParameters::WA_end_z2, &AIParameters::WA_end_z2_minus},
            {&AIParameters::WA_end_z3_plus, &AIParameters::WA_end_z3, &AIParameters::WA_end_z3_minus},
        };
        if (zone >= 0 && zone < 3 && angleClass >= 0 && angleClass < 3)
            score += p.*table[zone][angleClass];
        break;
    }
    case BaseStrategy::KIND_PUSH:
    case BaseStrategy::KIND_STICK: {
        const float t = SegmentProjectionParameter(mBallPosition, aim, rest);
        const float ideal = mStrategy.kind == BaseStrategy::KIND_PUSH ? p.WP_ideal_ratio : p.WT_ideal_ratio;
        score += 100.0f * (1.0f - std::fabs(ideal - t));
        break;
    }
    default:
        break;
    }
    return score;
}

Ogre::Vector3 CThrowParametersChoice::GetAimPoint() const {
    const ThrowParameters* best = GetBest();
    return best ? Ogre::Vector3(best->aimX, 0.0f, best->aimZ) : Ogre::Vector3::ZERO;
}

float CThrowParametersChoice::GetAngle() const {
    const ThrowParameters* best = GetBest();
    return best ? best->angle : 45.0f;
}

int32_t CThrowParametersChoice::GetChosenMode() const {
    const ThrowParameters* best = GetBest();
    return best ? best->mode : 0;
}
