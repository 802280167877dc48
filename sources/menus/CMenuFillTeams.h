// The quick-match screen that shares the human players between team A (left)
// and team B (right). A click on a name moves the player across, an arrow
// moves the player to its side; a team left without a human is played by the
// computer.
#pragma once

#include "CMenu.h"

class CMenuFillTeams : public CMenu {
public:
    enum { MAX_ROWS = 6, MAX_HUMANS_PER_TEAM = 3 };
    enum { SIDE_NONE = -1, SIDE_A = 0, SIDE_B = 1 };

    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override { LeaveCommon(nextStateId); }

    bool OnBtnPlayer(const CEGUI::EventArgs& args);
    bool OnBtnArrow(const CEGUI::EventArgs& args);
    bool OnArrowDown(const CEGUI::EventArgs& args);
    bool OnArrowUp(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args) { return CMenu::OnBtnBack(args); }

    void MovePlayerLeft(int player);
    void MovePlayerRight(int player);

    int GetSelectedPlayer() const { return mSelectedPlayer; }
    int GetTeamACount() const { return mTeamACount; }
    int GetTeamBCount() const { return mTeamBCount; }

    static const char kLayout[];    // "CMenuFillTeams.layout"

private:
    void SelectRow(int player);
    void ApplyValidRule();
    void ShowMarker(int player, int side);
    void ShowTeamBanner(int team, const char* flagElement, const char* button);

    int mSelectedPlayer = 0;
    int mPlayerCount = 0;
    int mTeamACount = 0;
    int mTeamBCount = 0;
    // The marker each row shows; the counts are kept from it so that they
    // stay right even when the overlay elements are missing.
    int mSide[MAX_ROWS] = {SIDE_NONE, SIDE_NONE, SIDE_NONE, SIDE_NONE, SIDE_NONE, SIDE_NONE};
};
