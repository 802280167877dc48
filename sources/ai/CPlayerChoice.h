// Which player of the computer's side throws, decided in one step: the only
// player, the better rated of two, or, among three, a choice between the
// middle and the pointer (pointing) or the middle and the shooter (a shot)
// after sorting them into those roles by their ratings.
#pragma once

#include "CAITask.h"
#include "CBaseStrategyChoice.h"

#include <cstdint>

class AIParameters;
class CPlayer;
class MatchState;

// The three roles of a side of three, as player indices.
struct AIRoles {
    int pointer = -1;
    int middle = -1;
    int shooter = -1;
};

class CPlayerChoice : public CAITask {
public:
    CPlayerChoice(const BaseStrategy& strategy, MatchState* matchState, const AIParameters* parameters);
    ~CPlayerChoice() override;

    bool IsFinished() override { return mFinished || mChosenPlayer != nullptr; }
    void Start(uint32_t nowMs) override { CAITask::Start(nowMs); }
    // Makes the choice. A side without players finishes without one.
    void Step() override;

    CPlayer* GetChosenPlayer() const { return mChosenPlayer; }

    // Roles from the shooting and pointing ratings of players 0, 1 and 2.
    static AIRoles SortRoles(const int32_t shooting[3], const int32_t pointing[3]);

private:
    CPlayer* ChooseAmongThree(const std::vector<CPlayer*>& players, float impactDistance, bool shooting) const;

    MatchState* mMatchState;
    const AIParameters* mParameters;
    BaseStrategy mStrategy;
    CPlayer* mChosenPlayer = nullptr;
};
