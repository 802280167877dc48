// State 1: the head-or-tail toss that decides which side throws first. On
// one machine the player calls head or tail (or the toss comes pre-drawn in
// "PILE_OU_FACE") and confirms; on a LAN every machine waits for all the
// others' signals, then goes on 3 s later.
#pragma once

#include "CQMGMState.h"

#include <cstdint>

class CQMGMTossState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    bool OnButtonHead(const CEGUI::EventArgs& args);
    bool OnButtonTail(const CEGUI::EventArgs& args);
    // call: 0 head, 1 tail. The first side begins when the call matches the draw.
    void DrawToss(int call);
    // The side that begins: 0 or 1, -1 before the toss.
    int GetStartingSide() const { return mStartingSide; }

    // The pre-drawn toss of the settings store: 1 or 2 (the first or second
    // side begins), 0 when not drawn (absent, 0, or not a number).
    static int ReadPreDrawnToss();

private:
    // face: the drawn face (0 head, 1 tail), -1 for a toss drawn before the match.
    void ShowResult(int startingSide, int face = -1);
    static void ShowCoinNames(bool show);

    uint32_t mSyncTime = 0;
    uint32_t mShownAt = 0;   // game time (ms) the answer frame showed
    int mStartingSide = -1;
};
