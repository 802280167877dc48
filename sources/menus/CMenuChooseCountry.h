// The origin of each team: a French region (team origin 1) or a nation
// (otherwise), chosen team after team from a sorted list with a map and flag
// preview. Each Valid stores that team's choice in the flow; the last one
// validates the screen.
#pragma once

#include "CMenu.h"

#include <string>
#include <vector>

namespace CEGUI {
class ListboxItem;
}

class CMenuChooseCountry : public CMenu {
public:
    enum { MAX_CHOSEN = 6 };

    CMenuChooseCountry() = default;

    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override;

    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args) { return CMenu::OnBtnBack(args); }
    bool OnBtnContinue(const CEGUI::EventArgs&) { return true; }
    bool OnRegionSelected(const CEGUI::EventArgs& args);
    bool OnNationSelected(const CEGUI::EventArgs& args);

    int GetCurrentTeamNumber() const { return mCurrentTeamNumber; }
    const std::vector<int>& GetChosenRegionIds() const { return mChosenRegionIds; }
    const std::vector<int>& GetChosenCountryIds() const { return mChosenCountryIds; }
    const std::string& GetChosenName(int teamIndex) const { return mChosenNames[teamIndex]; }

    static const char kLayout[];        // "CMenuSelectCountry.layout"
    static const char kList[];          // "RegionListBox"

private:
    void ShowMapAndFlag();
    void ShowTeamPrompt();
    void FillRegionList();
    void FillNationList();
    void AddListItem(const std::string& text, int id);
    bool OnItemSelected(bool region);
    void Store();
    void RemoveChosenItem();
    // More than limit of the chosen names equal to name.
    bool CountNameMatches(const std::string& name, int limit) const;

    int mCurrentTeamNumber = 1;
    int mCurrentIndex = 0;
    int mTeamCount = 0;
    int mOrigin = 1;
    std::string mSelectedName;
    std::vector<int> mChosenRegionIds;
    std::vector<int> mChosenCountryIds;
    CEGUI::ListboxItem* mSelectedItem = nullptr;   // owned by the list
    std::string mChosenNames[MAX_CHOSEN];
};
