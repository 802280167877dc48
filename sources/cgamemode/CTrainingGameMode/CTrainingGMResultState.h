// State 2: the throw is scored and the result shown until a left click on
// the screen or on the continue button; then the next exercise, or the end
// frame after the tenth throw.
#pragma once

#include "CTrainingGMState.h"

namespace CEGUI {
class EventArgs;
}

class CTrainingGMResultState : public CTrainingGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    // "Root" clicked: a left click continues, unless the game is paused.
    bool OnRootClick(const CEGUI::EventArgs& args);
    void SetContinue() { mContinue = true; }
    bool IsContinueSet() const { return mContinue; }

private:
    bool mContinue = false;
    bool mViewReported = false;   // the test channel's "result" view, once the new view is drawn
    float mReplayLeft = 0.0f;   // "Hud_lancer_result_replay"'s place, put back on leaving
};
