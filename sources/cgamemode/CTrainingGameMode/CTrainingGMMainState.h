// State 1: one throw through the throw panel. The enter readies the panel,
// the radar and the throw camera; each update follows the panel, the throw
// key and the throw driver until the referee says the throw is over.
#pragma once

#include "CTrainingGMState.h"

class CTrainingGMMainState : public CTrainingGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    // With an angle chosen: a press of the throw key starts the throw, its
    // release while the power gauge runs stops it.
    void CheckThrowKey();

private:
    // The test channel's automatic throws (TAVIRELO_TEST_TRAINING_THROW).
    void ApplyTestThrow();
    bool mTestThrowApplied = false;
    bool mGaugesReported = false;   // the test channel's "gauges": the throw has begun
};
