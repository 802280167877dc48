// The host's checks before a LAN match starts, and the match description
// they write: who plays, in which team, with which controller, which team of
// the table each side plays and who takes which role. Kept apart from the
// lobby's widgets so that each check can be exercised on its own.
#pragma once

#include "LobbyPackets.h"

#include <functional>
#include <string>

class CEnvironment;

// What the checks read: the host's choices, the session's slots and the two
// team records.
struct LobbyStartInput {
    static const int kSlots = 6;
    struct Slot {
        bool active = false;
        std::string name;
        int team = -1;   // 0 team A, 1 team B, -1 none
    };

    int playersPerTeamItem = -1;   // chosen item of the players-a-team list; -1 none
    int regionalItem = -1;         // chosen item of the regional list; -1 none
    int locationItem = -1;         // chosen item of the venue list; -1 none
    int playersPerTeam = -1;       // the game settings' value
    int difficulty = 1;            // the host's difficulty setting: 0 easy, 1 medium, 2 hard
    Slot slots[kSlots];
    CTeamInfosPacketV1 teams[2];
    // Players in each side's team of the table; -1 unknown (no team, or not
    // in the table). An actor is a position below it.
    int teamSizes[2] = {-1, -1};
};

// How many players the team of that id has in the player table: a region's
// when `regional` is 1, a country's when 0, the larger of the two when the
// choice is still open (-1); -1 when no such team exists.
int LobbyTeamSize(int teamId, int regional);

// Where the checks tell the players what is wrong (a chat line).
typedef std::function<void(const std::string&)> LobbyChatSink;

// Both teams have at least one player; else the players are told
// ("LAN_ERR_TEAM_EMPTY") and false.
bool LobbyTeamsPeopled(const LobbyStartInput& input, const LobbyChatSink& chat);

// Writes the match description into section "QUICKMATCHPARAMS" of env and
// returns 0 when the match may start; -1, -2 or -3 when it may not (the keys
// written so far stay). A role given to a player outside its team's list
// refuses the start here, with a chat line, rather than the match after it. -2 and -3 (no regional or venue choice) and the
// players-a-team gap say nothing; every other refusal sends one chat line.
// The toss ("PILE_OU_FACE") is drawn with the runtime generator (KemRand).
int ValidateLobbyTeams(const LobbyStartInput& input, CEnvironment& env, const LobbyChatSink& chat);

// The difficulty the host's match parameters give ("Difficulty": 0, 1 or 2),
// which every machine plays the match at; `fallback` (the machine's own
// setting) when they give none, as from a host of an earlier version, or
// give another value.
int LobbyMatchDifficulty(CEnvironment& params, int fallback);
