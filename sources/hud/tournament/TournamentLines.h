// What the tournament screens show, as the tournament's information state
// hands it over: the pairings of two matches at once, and single team lines
// for the result tree and the winners of the last sixteen. The screens only
// read these records.
#pragma once

#include <cstdint>
#include <string>

// One side of a pairing.
struct PairingTeam {
    std::string mName;          // display text
    std::string mPlayers[3];    // the gamers' names; empty for a computer side
    bool mComputer = true;      // a side of human gamers is shown highlighted
    int32_t mScore = -1;        // -1: not played
};

// One match of a pairing record.
struct PairingMatch {
    PairingTeam mFirst;
    PairingTeam mSecond;
    bool mFirstWon = false;     // the first side won (or, unplayed, leads the pool)
};

// Two matches: the record's team slots 0 to 3 are the first match's first and
// second side, then the second match's.
struct PairingLines {
    PairingMatch mMatch[2];

    const PairingTeam& Team(int slot) const {
        const PairingMatch& match = mMatch[(slot >> 1) & 1];
        return (slot & 1) ? match.mSecond : match.mFirst;
    }
};

// One team line of the result tree or of the last sixteen's winners.
struct TeamLine {
    int32_t mPlayerCount = 0;   // the result tree shows no score for a team of none
    std::string mName;
    std::string mPlayers[3];
    int32_t mScore = -1;        // negative: not played
    bool mComputer = true;      // a team of human gamers is shown highlighted
};
