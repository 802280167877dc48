// State 5: the end of a match. A tournament match first reports the result
// and saves; a human winner goes straight to the awards; otherwise the
// end-of-match frame with the final score and its buttons.
#pragma once

#include "CQMGMState.h"

class CQMGMOutroState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    void OnContinue();
    bool CheckTeamStatus();
    static bool CheckTournamentStep();
    void PlayCrowdReaction(int winner);
    int GetWinner() const { return mWinner; }
    bool IsGoingToAwards() const { return mGoToAwards != 0; }

private:
    unsigned char mGoToAwards = 0;
    unsigned char mNextMatch = 0;
    int mWinner = 1;
};
