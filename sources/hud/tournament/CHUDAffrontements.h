// The bracket screens between the matches of a championship, cup or career:
// who meets whom at the current step, pool by pool (four teams a group), match
// by match (two), or the last sixteen with their winners. The tournament's
// information state builds one, fills it group by group, polls its flags and
// deletes it.
#pragma once

#include "TournamentLines.h"

#include <string>

namespace CEGUI {
class EventArgs;
}

class CHUDAffrontements {
public:
    static const char kLayout[];   // "affrontements.layout"

    // Loads the layout (over whatever was shown): pool titles, screen title,
    // the continue button; the back and shuffle buttons hidden; empty lines.
    CHUDAffrontements();
    // Stops the team lines' blinks, destroys the windows, hides the overlay.
    virtual ~CHUDAffrontements();
    CHUDAffrontements(const CHUDAffrontements&) = delete;
    CHUDAffrontements& operator=(const CHUDAffrontements&) = delete;

    // Writes the record into team lines 4 * group + 1 onward.
    virtual void ShowMatch(const PairingLines& lines, int group) = 0;

    // Team line n: the name, the score ("13" at most, nothing when not
    // played; green from 13, red below), and the players when highlighted.
    void SetTeamLine(int n, const std::string& name, bool highlight, const std::string players[3], int score);
    void SetTeamLine(int n, const TeamLine& line);
    // The window's text gains the players, one a line, in red, blinking.
    void SetTeamLineHighlighted(const std::string& window, const std::string players[3]);

    bool OnValidClicked(const CEGUI::EventArgs& args);
    bool OnBackClicked(const CEGUI::EventArgs& args);

    bool mValidated = false;
    bool mBack = false;

protected:
    // Empties the score and name windows of lines 1 to last.
    static void ClearTeamTexts(int last);
    // One team slot of the record on line n.
    void ShowTeam(int n, const PairingTeam& team);
};

// Pools: four teams a group (two matches).
class CHUDAffrontementsStepOne : public CHUDAffrontements {
public:
    CHUDAffrontementsStepOne();
    ~CHUDAffrontementsStepOne() override;
    void ShowMatch(const PairingLines& lines, int group) override;
};

// One match a group: only the first match of the record is shown.
class CHUDAffrontementsStepTwo : public CHUDAffrontements {
public:
    CHUDAffrontementsStepTwo();
    ~CHUDAffrontementsStepTwo() override;
    void ShowMatch(const PairingLines& lines, int group) override;
};

// The last sixteen: 16 team lines in groups of four, their winners on lines
// 17 to 24.
class CHUDAffrontementsStep16Finale : public CHUDAffrontements {
public:
    static const char kLayout[];   // "tournoi16eme.layout"
    static const int kLineCount = 24;

    CHUDAffrontementsStep16Finale();
    ~CHUDAffrontementsStep16Finale() override;
    void ShowMatch(const PairingLines& lines, int group) override;
    // Continues without the valid sound.
    bool OnValid16Clicked(const CEGUI::EventArgs& args);
};
