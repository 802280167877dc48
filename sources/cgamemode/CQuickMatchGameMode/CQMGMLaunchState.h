// State 3: one throw. The enter prepares the head-up display and, with the
// controllers table in use, gives the turn to the playing side's next
// controller; each update drives the throw through the referee until its
// steps are done, then the launch result.
#pragma once

#include "CQMGMState.h"

#include <cstdint>

class CQMGMLaunchState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    void CheckThrowKey();
};

// True in the frame in which the key bound to the action was released.
bool IsActionJustReleased(uint16_t action);
