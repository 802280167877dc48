// State 2: starts a mene on the referee; the next update goes to the throw.
#pragma once

#include "CQMGMState.h"

class CQMGMMeneIntroState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
};
