// State 0: the thrower turns to the exercise, then the throw begins.
#pragma once

#include "CTrainingGMState.h"

class CTrainingGMInitState : public CTrainingGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
};
