// What the tournament-information state hands to the full-screen tournament
// screens, and the screens as that state sees them: one on show at a time,
// polled for its continue button and deleted when the player goes on. The
// head-up display installs the builder; without one the state shows nothing
// and goes through its queue at once (logged).
#pragma once

#include <cstdint>
#include <string>

class Team;

// One team line of a tournament screen.
struct TournamentTeamLine {
    std::string mName;          // display text, already localized
    std::string mPlayers[3];    // gamer names; empty for computer teams
    int32_t mPlayerCount = 0;   // players of the team
    uint8_t mComputer = 1;      // clear: a team of gamers, shown highlighted
    int32_t mScore = -1;        // -1: not played
};

// One group of a pairing screen: teams 0 and 1 play the first match, 2 and 3
// the second.
struct TournamentPairing {
    TournamentTeamLine mTeams[4];
    uint8_t mFirstWon[2] = {0, 0};   // team 0, respectively team 2, won
};

// The state's screen slots.
enum TournamentScreenSlot {
    TS_NONE = 0,
    TS_QUALIFICATION = 1,
    TS_QUALIFICATION_RESULT = 2,
    TS_STEP_ONE = 3,
    TS_STEP_TWO = 4,
    TS_STEP16 = 5,
    TS_RESULT = 6,
    TS_VICTORY = 7,
    TS_CREDITS = 8,
};

class CTournamentScreen {
public:
    virtual ~CTournamentScreen() = default;
    // The continue button was pressed (the credits: they have ended).
    virtual bool IsValidated() = 0;
    // Every frame while on show.
    virtual void Update() {}
    // Qualification pools and pairing groups, from 0.
    virtual void ShowGroup(const TournamentPairing&, int) {}
    // Bracket and result-tree positions.
    virtual void SetTeamLine(int, const TournamentTeamLine&) {}
    // The podium; missing ranks are null.
    virtual void ShowPodium(Team*, Team*, Team*, bool) {}
};

typedef CTournamentScreen* (*TournamentScreenBuilder)(int slot);
void SetTournamentScreenBuilder(TournamentScreenBuilder builder);
bool HasTournamentScreenBuilder();
// Null without a builder or for a slot it does not build.
CTournamentScreen* CreateTournamentScreen(int slot);
