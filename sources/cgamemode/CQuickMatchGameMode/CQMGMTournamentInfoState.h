// State 8: the tournament information screens. Not in this build: a
// tournament match is refused with a log line and the mode goes back to the
// demo menu, so the flow never waits here.
#pragma once

#include "CQMGMState.h"

class CQMGMTournamentInfoState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;

    // Set by the match mode's replay button while this state is current.
    void SetRetry() { mRetry = 1; }

private:
    unsigned char mRetry = 0;
};
