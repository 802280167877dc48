// State 9: the LAN connection ended. Says so and waits for "ButtonValid"
// (a few seconds when nobody plays at this machine); then the main menu.
#pragma once

#include "CQMGMState.h"

#include <cstdint>

class CQMGMNetLostState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;

private:
    uint32_t mEnteredAt = 0;   // the clock's ms at the entry
};
