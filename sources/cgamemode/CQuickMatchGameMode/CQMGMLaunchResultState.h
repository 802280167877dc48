// State 4: the result of a throw. The referee evaluates it, the crowd reacts,
// the result display offers a replay, information frames report a target
// ball out of play or a failed target-ball throw, and after the click the
// next throw, the next mene or the end of the match.
#pragma once

#include "CQMGMState.h"

#include <cstdint>
#include <string>

class CGameMaster;

class CQMGMLaunchResultState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    void ShowPigLaunchError();
    void ShowPigIsOut();
    void CloseInfoFrames();
    bool StartReplay();
    void SetContinueClicked() { mContinueClicked = 1; }

    // The crowd events of an evaluation's result code (none outside 1..6).
    static void BroadcastCrowdReaction(int resultCode);
    // The "FramePigIsOut" text: "NULL_MENE" unless exactly one side still
    // has balls, then "PIG_IS_OUT" with that side's name and balls left.
    static std::string PigIsOutText(const std::string& playingName, int playingBalls, const std::string& otherName,
                                    int otherBalls);

private:
    void PlayThrowerStance(CGameMaster* master);

    unsigned char mTargetChecksPending = 0;
    unsigned char mMayContinue = 0;
    unsigned char mThrowValid = 0;
    int mResultCode = 0;
    unsigned char mFirstPass = 0;
    unsigned char mContinueClicked = 0;
    unsigned char mHostSignalTaken = 0;
    uint32_t mEnteredAt = 0;   // game time (ms) of the enter
    // Clock (ms) an information frame opened, 0 when none is open; the game
    // time stands still while it is.
    uint32_t mFrameOpenedAt = 0;
};
