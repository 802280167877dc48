// State 4: a new series after "retry": the end frame goes, the counters and
// the exercise rows start again, the first exercise is placed.
#pragma once

#include "CTrainingGMState.h"

class CTrainingGMBeginState : public CTrainingGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
};
