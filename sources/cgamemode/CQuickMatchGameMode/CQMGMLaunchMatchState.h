// State 7, the start state: releases the previous match's referee and GUI,
// renews the match state and builds the referee of the next match; then the
// intro (a quick match) or the tournament information.
#pragma once

#include "CQMGMState.h"

class CQMGMLaunchMatchState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;

    bool IsMatchReady() const { return mMatchReady != 0; }

private:
    unsigned char mMatchReady = 0;
    // The referee could not set the venue up: back to the menu.
    bool mFailed = false;
};
