// Where the computer throws the target ball at the start of a mene: short,
// middle or long toward the far end of the terrain, each at two launch
// angles, preferring the length at which its best players compare well with
// the opponent's.
#pragma once

#include "CWeightedChoice.h"

#include <OgreVector.h>

#include <cstdint>

class AIParameters;
class MatchState;

struct PigThrowParameters {
    enum { LENGTH_SHORT = 0, LENGTH_MIDDLE = 1, LENGTH_LONG = 2 };

    float angle = 0.0f;      // launch angle, degrees
    float distance = 0.0f;   // from the release point to the aim point, m
    int32_t lengthClass = LENGTH_SHORT;
};

class CPigThrowChoice : public CWeightedChoice<PigThrowParameters> {
public:
    CPigThrowChoice(int32_t timeBudgetMs, MatchState* matchState, const AIParameters* parameters,
                    float noiseAmplitude);
    ~CPigThrowChoice() override;

    void Start(uint32_t nowMs) override;
    float Evaluate(PigThrowParameters candidate) override;

    // ANGLE_POINTE_MOYEN without candidates.
    float GetAngle() const;
    // Release point + the direction to the far terrain limit x the chosen
    // distance; zero without candidates.
    Ogre::Vector3 GetTargetPoint() const;

    const Ogre::Vector3& GetDirection() const { return mDirection; }

private:
    MatchState* mMatchState;
    const AIParameters* mParameters;
    Ogre::Vector3 mDirection = Ogre::Vector3::ZERO;
    Ogre::Vector3 mReleasePoint = Ogre::Vector3::ZERO;
};
