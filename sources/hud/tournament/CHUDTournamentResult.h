// The tree of the final stages at the end of a championship, cup or career
// step: quarter-finals on lines 1 to 8, semi-finals 9 to 12, the final 13 and
// 14, the match for third place 15 and 16, the winners 17 and 18. The
// tournament's information state decides which team goes on which line.
#pragma once

#include "TournamentLines.h"

namespace CEGUI {
class EventArgs;
}

class CHUDTournamentResult {
public:
    static const char kLayout[];   // "tournamentResult.layout"
    static const int kLineCount = 18;

    CHUDTournamentResult();
    ~CHUDTournamentResult();
    CHUDTournamentResult(const CHUDTournamentResult&) = delete;
    CHUDTournamentResult& operator=(const CHUDTournamentResult&) = delete;

    // Line n (1 to 18): the team's name (with its players, red and blinking,
    // for a team of human gamers) and its score, green from 13, red below;
    // no score for an unplayed match or a team without players.
    void SetTeamLine(int n, const TeamLine& line);
    bool OnValidClicked(const CEGUI::EventArgs& args);

    bool mValidated = false;

private:
    static void ClearTeamTexts();
};
