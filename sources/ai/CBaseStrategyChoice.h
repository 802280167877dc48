// The first stage of a normal computer throw: what the throw is for
// (approach the target ball, shoot, stick to or push a ball), chosen among
// the strategies the situation allows, each scored by weighted rules. Every
// rule that fires writes its text and weight to the debug text output.
#pragma once

#include "CWeightedChoice.h"

#include <cstdint>
#include <string>

class AIParameters;
class AISituation;
class CBall;

struct BaseStrategy {
    enum { KIND_PUSH = 0, KIND_STICK = 1, KIND_APPROACH = 2, KIND_SHOOT = 3 };

    CBall* ball = nullptr;   // the target ball for approach, else a ball in play
    int32_t kind = KIND_APPROACH;
    std::string name;
};

class CBaseStrategyChoice : public CWeightedChoice<BaseStrategy> {
public:
    // The situation and parameters must outlive the choice.
    CBaseStrategyChoice(int32_t timeBudgetMs, const AISituation* situation, const AIParameters* parameters,
                        float noiseAmplitude);
    ~CBaseStrategyChoice() override;

    // Builds the candidates and the pointing base weight.
    void Start(uint32_t nowMs) override;
    float Evaluate(BaseStrategy candidate) override;

    // The best candidate; {target ball, approach, "default"} without any.
    BaseStrategy GetChosenStrategy() const;

    float GetPointingBaseWeight() const { return mPointingBaseWeight; }
    float GetShootBaseWeight() const { return mShootBaseWeight; }

private:
    void AddCandidate(CBall* ball, int32_t kind, const char* name);
    void ComputePointingBaseWeight();
    float ShootRules(const BaseStrategy& candidate) const;

    const AISituation* mSituation;
    const AIParameters* mParameters;
    float mShootBaseWeight = 0.0f;
    float mPointingBaseWeight = 0.0f;
};
