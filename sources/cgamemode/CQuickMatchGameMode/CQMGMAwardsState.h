// State 6: the prize-giving after a match won by a human side (or a
// tournament ended with human teams listed): the result text, the sponsors'
// camera, and each awarded team in turn in front of the sponsors, one per
// click on the continue button; then the match starts again.
#pragma once

#include "CQMGMState.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>

class CKEMSceneNode;
class Team;

class CQMGMAwardsState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    void OnContinue();
    void ShowAwardText(const std::string& text);
    std::string BuildAwardText(int slot);
    void PlayAwardScript();
    void FinishAwards();
    void DisableAwardButtons();
    void ReleaseAwardActors(Team* team);

    // The offset along the reference's x axis of player `index` of `count`:
    // 0 for one player and for the middle of three; -k / +k otherwise, with
    // k = 0.5 for two players and 1.0 for any other count.
    static float ActorOffset(int count, int index);

    int GetCurrentSlot() const { return mCurrentSlot; }
    Team* GetAwardedTeam(int slot) const { return (slot >= 0 && slot < 4) ? mAwarded[slot] : nullptr; }

private:
    CKEMSceneNode* mDecoration = nullptr;
    Team* mAwarded[4] = {nullptr, nullptr, nullptr, nullptr};
    Team* mCurrentTeam = nullptr;
    int16_t mCurrentSlot = -1;
    unsigned char mContinue = 0;
    uint32_t mShownAt = 0;   // game time (ms) the current team was shown
    // Set from the enter until the leave: a second enter in between does
    // nothing. Kept by the state, not the program, so a mode that ends
    // during the awards leaves no stale flag to the next match's awards.
    bool mBusy = false;
};
