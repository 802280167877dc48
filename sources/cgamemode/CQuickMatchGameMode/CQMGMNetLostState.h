// State 9: the LAN connection ended. Says so and waits for "ButtonValid";
// then the main menu.
#pragma once

#include "CQMGMState.h"

class CQMGMNetLostState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
};
