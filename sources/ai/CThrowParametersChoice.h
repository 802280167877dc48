// The last stage of a normal computer throw: the concrete throw for the
// chosen strategy. A grid of candidate throws around the line from the
// release point to the strategy's ball (landing point, launch angle,
// sideways deviation, spin) is scored on where each ball is predicted to
// come to rest: landing point plus the rolling estimate.
#pragma once

#include "CBaseStrategyChoice.h"
#include "CWeightedChoice.h"

#include <OgreVector.h>

#include <cstdint>
#include <vector>

class AIParameters;
class AISituation;
class CPlayer;
class CRollingEstimator;

struct ThrowParameters {
    enum { MODE_NONE = 0, MODE_EFFECT = 1, MODE_SIDE_LEFT = 2, MODE_SIDE_RIGHT = 3 };

    float aimX = 0.0f;        // landing point on the ground (y = 0), m
    float aimZ = 0.0f;
    float angle = 0.0f;       // launch angle, degrees
    float deviation = 0.0f;   // sideways turn of the aim about the vertical, degrees
    int32_t mode = MODE_NONE;
};

class CThrowParametersChoice : public CWeightedChoice<ThrowParameters> {
public:
    // Everything but the choice itself must outlive it.
    CThrowParametersChoice(CRollingEstimator* estimator, const BaseStrategy& strategy, CPlayer* player,
                           const AISituation* situation, const AIParameters* parameters, int32_t timeBudgetMs,
                           float noiseAmplitude, int32_t noiseSamples);
    ~CThrowParametersChoice() override;

    // Builds the candidates, then starts.
    void Start(uint32_t nowMs) override;
    float Evaluate(ThrowParameters candidate) override;

    // (aim x, 0, aim z) of the best candidate; zero without candidates.
    Ogre::Vector3 GetAimPoint() const;
    // 45 without candidates.
    float GetAngle() const;
    // 0 without candidates.
    int32_t GetChosenMode() const;

    const Ogre::Vector3& GetReleasePoint() const { return mReleasePoint; }
    const Ogre::Vector3& GetBallPosition() const { return mBallPosition; }

    // The ratios of a sweep: the centre, then alternately above and below in
    // steps (accumulated as floats) while they stay within [low, high].
    static std::vector<float> RatioSweep(float centre, float step, float low, float high);
    // 0, then +step, -step, +2 step, ... up to +-bound.
    static std::vector<float> DeviationSweep(float step, float bound);

private:
    struct Weights {
        float level1 = 0.0f, level2 = 0.0f, red = 0.0f, orange = 0.0f, yellow = 0.0f;
    };

    const AISituation* mSituation;
    const AIParameters* mParameters;
    BaseStrategy mStrategy;
    CRollingEstimator* mEstimator;
    Ogre::Vector3 mBallPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mToRelease = Ogre::Vector3::ZERO;
    float mSquaredThrowDistance = 0.0f;
    Ogre::Vector3 mReleasePoint = Ogre::Vector3::ZERO;
    int32_t mPointing = 1;
    CPlayer* mPlayer;
    Weights mWeights;
};
