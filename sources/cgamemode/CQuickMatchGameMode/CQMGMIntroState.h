// State 0: the presentation of the two sides before the toss: the players
// lined up beside the venue's intro reference with standing animations, the
// sides' names and flags, the intro cameras, applause after 10 s and a few
// salutes; the toss after more than 16 s once the computer's rolling
// calibration has finished.
#pragma once

#include "CQMGMState.h"

#include <OgreVector.h>

#include <cstdint>
#include <vector>

class CQMGMIntroState : public CQMGMState {
public:
    void OnEnter(int previousStateId) override;
    void Update() override;
    void OnLeave(int nextStateId) override;

    void PlacePlayers();
    void PickRandomActors();
    void PlaySalute(uint32_t elapsed);
    void ShowTeamNames(int side);
    void ClearLists();
    // Puts each side's flag and name over the half of the picture where its
    // players stand in the current view.
    void PlaceTeamPanels();
    // The side whose line (its middle at side0 or side1) stands left in a
    // view from `eye` looking along `sight`.
    static int SideOnTheLeft(const Ogre::Vector3& eye, const Ogre::Vector3& sight, const Ogre::Vector3& side0,
                             const Ogre::Vector3& side1);

    // One planned salute: variant (1 or 2), player number over both sides,
    // the second after which it plays.
    struct Salute {
        uint16_t mVariant;
        uint16_t mPlayer;
        uint16_t mTime;
    };
    const std::vector<Salute>& GetSalutes() const { return mSalutes; }
    uint16_t GetPlayersPerSide() const { return mPlayersPerSide; }

    // The salute plan from a source of rand() values: 1 to 3 salutes (by one
    // draw), each a distinct variant, player and time while any remain.
    static std::vector<Salute> PlanSalutes(int playerCount, int (*draw)());

private:
    uint32_t mStartTime = 0;
    unsigned char mCrowdReacted = 0;
    uint16_t mPlayersPerSide = 0;
    std::vector<Salute> mSalutes;
    std::vector<uint16_t> mPlayerNumbers;
    int mLeftSide = -1;   // the side whose panels stand left, -1 before the first placing
};
