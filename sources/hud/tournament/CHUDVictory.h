// The podium at the end of a tournament: the first three teams with their
// flags and the pictures of their awards. A tournament of fewer teams shows
// only the places it has.
#pragma once

#include <string>

namespace CEGUI {
class EventArgs;
}

class Team;

class CHUDVictory {
public:
    static const char kLayout[];        // "victory.layout"
    static const char kFlagMaterial[];  // "MENU/Country/flag/" + picture name
    static const char kNoAward[];       // "transp.tga"

    CHUDVictory();
    // Destroys the windows and hides the overlay.
    ~CHUDVictory();
    CHUDVictory(const CHUDVictory&) = delete;
    CHUDVictory& operator=(const CHUDVictory&) = delete;

    // Names and flags of the places; a null team's place is hidden. The
    // pictures are looked up among the regions, or among the countries.
    void ShowPodium(const Team* first, const Team* second, const Team* third);
    void ShowPodiumOtherList(const Team* first, const Team* second, const Team* third);
    // The award pictures; a null team's picture stays as it is.
    void ShowAwards(const Team* first, const Team* second, const Team* third);
    // The flag picture's name of the region (or country) that bears this
    // display name; empty when none.
    static std::string GetTeamPictureName(const std::string& displayName, bool regional);

    bool OnValidClicked(const CEGUI::EventArgs& args);
    bool OnClicked(const CEGUI::EventArgs& args);

    bool mValidated = false;
    bool mBack = false;

private:
    void ShowPlaces(const Team* const teams[3], bool regional);
};
