// The screen on which the user picks, team by team, the players of each
// team's squad: one slot a face-to-face game, two a doublette, three a
// triplette. It shows the current player in 3D, his launch-speed scale and
// four characteristic bars. Each validation stores the team's slots in the
// flow (an index into the team's squad, -1 for an unused slot) and moves to
// the next team; after the last team the flow goes on.
#pragma once

#include "CMenu.h"

#include <PlayerDB.h>

#include <cstdint>
#include <ctime>

class CKEMSceneObject;
class CKEMSceneLight;
class CPlayer;
class Team;

class CMenuChooseActor : public CMenu {
public:
    enum { MAX_SQUAD = 6, MAX_SLOTS = 3 };

    void OnEnter(int previousStateId) override;
    // Validated (or the cheat key) gives the flow's Next, back its Back.
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override;

    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args) { return CMenu::OnBtnBack(args); }
    bool OnBtnPrevMesh(const CEGUI::EventArgs& args);
    bool OnBtnNextMesh(const CEGUI::EventArgs& args);
    bool OnBtnActor(const CEGUI::EventArgs& args);

    // The preview, the name and the bars of squad player i. False when i
    // names no player or the player has no model name.
    bool UpdatePowerBars(int index);

    int GetCurrentTeamNumber() const { return mCurrentTeamNumber; }
    int GetCurrentSlot() const { return mCurrentSlot; }
    int GetCurrentPlayerIndex() const { return mCurrentPlayerIndex; }
    int GetSlotPlayer(int slot) const { return (slot >= 0 && slot < MAX_SLOTS) ? mSlotPlayers[slot] : -1; }
    bool IsChosen(int index) const { return index >= 0 && index < MAX_SQUAD && mChosen[index] != 0; }
    int GetPlayersPerTeam() const { return mPlayersPerTeam; }
    CPlayer* GetCurrentPlayer() const { return mCurrentPlayer; }
    const Team* GetCurrentTeam() const { return mCurrentTeam; }
    // Lets a test click again at once: clicks within the same calendar
    // second as the last accepted one are ignored.
    void ForgetLastClick() { mLastClick = 0; }

    // The launch-speed scale's six bars: left edges and widths for the
    // profile's four speeds, on a scale of 0 to 16 from 0.4707 across 0.2539.
    static void ScaleBars(const float speeds[4], float lefts[6], float widths[6]);
    // The filled width of a characteristic bar (of 0.2246), clamped to the bar.
    static float CaracWidth(uint32_t value, uint32_t maximum);

    static const char kLayout[];         // "CMenuSelectActor.layout"
    static const char kCaracsOverlay[];  // "CMenuChooseActor/Caracs"
    static const char kPreviewNode[];    // "toto"

private:
    // The squad player at an index; null outside the squad.
    CPlayer* SquadPlayer(int index) const;
    // The team record of team index i of the flow, by the team origin.
    Team* TeamOf(int teamIndex) const;
    void SetTeam(Team* team);
    void LoadChosenTeams();
    void LoadChosenTeams2();
    void FillActorButtons(int slots);
    void ShowRoleTexts(int slots);
    void RefreshActorTexts();
    void ShowTeamName(int teamIndex);
    void BuildPowerBars();
    bool ShowActorPreview();
    void DeletePreview();
    void SetupActorSlots();
    void StoreSlots(int teamIndex);
    // False for a click within the debounce of the last accepted one.
    bool AcceptClick(double minSeconds);
    int Origin() const;

    CKEMSceneObject* mPreview = nullptr;
    CPlayer* mCurrentPlayer = nullptr;
    CPlayer* mPreviewPlayer = nullptr;
    CKEMSceneLight* mLight = nullptr;
    int mCurrentTeamNumber = 0;
    bool mTeamAComputer = false;
    bool mTeamBComputer = false;
    int mTeamRegions[6] = {};
    int mTeamCountries[6] = {};
    int mCurrentSlot = 0;
    Team* mCurrentTeam = nullptr;
    PlayerList mSquad;
    int mPlayersPerTeam = 1;
    int mCurrentPlayerIndex = 0;
    unsigned char mChosen[MAX_SQUAD] = {};
    std::time_t mLastClick = 0;
    int mSlotPlayers[MAX_SLOTS] = {-1, -1, -1};
};
