// State 3: the end frame of a series ("CHUDEndTraining" with the series'
// score): "retry" starts a new series, "back to the menu" returns to the
// training menu.
#pragma once

#include "CTrainingGMState.h"

#include <string>

// "Lancers reussis : 7 / 10": the series' score as the end frame labels it.
std::string SeriesScoreText(int successes, int throws);

class CTrainingGMOutroState : public CTrainingGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;

    void SetRetry() { mRetry = true; }
    void SetBack() { mBack = true; }

private:
    bool mRetry = false;
    bool mBack = false;
};
