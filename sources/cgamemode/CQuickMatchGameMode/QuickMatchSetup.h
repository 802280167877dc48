// The match description the menus, the demo menu or the LAN lobby leave in
// the settings store ("QUICKMATCHPARAMS"), read into checked values, and the
// set-up of the two sides and the controllers table from it. Kept apart from
// the mode so the checks can be exercised without a venue.
#pragma once

#include <ControlerTable.h>

#include <string>

class CEnvironment;
class Team;

const int QM_MAX_HUMAN_PLAYERS = 6;

struct QuickMatchParams {
    int mQuickMatch = 0;           // "GAMEPARAMS" "QuickMatch" (non-zero: described here)
    int mNbPlayers = 0;            // human players, 0..6
    int mGameType = 3;             // players per team: 1, 2, else 3
    int mLocation = 0;             // venue id
    int mIsRegional = 0;           // exactly 1 gives 1
    int mPlayerTeam[QM_MAX_HUMAN_PLAYERS] = {0};
    std::string mPlayerName[QM_MAX_HUMAN_PLAYERS];
    // Quick match only.
    int mGameMode = 0;
    int mTeamA = 0;
    int mTeamB = 0;
    int mControler[QM_MAX_HUMAN_PLAYERS] = {0};
};

// An int as is, a float truncated toward zero, anything else 0; the variable
// is created (untyped) when missing.
int ReadMatchInt(CEnvironment& env, const char* section, const char* name);
// True when the variable holds an int (or float) other than -1; its value in
// `value`.
bool ReadMatchChoice(CEnvironment& env, const char* section, const char* name, int& value);

// Reads the description. "NbPlayers" outside 0..6 is clamped (logged); the
// quick-match fields are read only when "QuickMatch" is set.
void ReadQuickMatchParams(CEnvironment& env, QuickMatchParams& params);

// The side's team record: the regional team of that region id when
// `regional`, else the national team of that country id; null when none.
Team* FindSideTeam(int id, bool regional);

// Appends to the team the players chosen for that side ("Team_<side>_actor_<j>",
// j below gameType) from the team's player list; a choice of -1, a value
// that is not a number, or an index outside the list is skipped (logged).
// Returns how many were appended.
int ReadActorChoices(CEnvironment& env, int side, Team& team, int gameType);

// Whether the side holds exactly the game type's players, none of them
// missing: the referee gives both sides the same number of balls, so a
// short or long side would throw balls that are not its own. Logs the side
// (from `who`) when not.
bool SideHoldsGameTypePlayers(const Team& team, int side, int gameType, const char* who);

// Fills the controllers table for the two sides: resets it, sets its filled
// flag and this machine's controller type (lanOwnIndex + 7 on a LAN, else
// e_local1), gives each human player i its entry i - 1, and each computer
// side the first free entry, or its own spare entry when all six are used.
// Marks the sides computer-controlled or human. The sides must not be null.
void FillControlers(const QuickMatchParams& params, Team* sides[2], bool lanConnected, int lanOwnIndex,
                    ControlerEntry spare[2]);

// On a LAN with g_OwnSidesComputerPlayed set: the computer plays every side
// of an entry of this machine's own controller type (call it once the sides
// have their players: they stay those the match parameters chose).
void LetComputerPlayOwnSides(Team* sides[2]);

// Whether someone plays at this machine: offline, any human player; on a
// LAN, a side of this machine's own controller that the computer does not
// play. A match without one goes on by itself where it would wait for a click.
bool HasLocalPlayer(const QuickMatchParams& params, Team* const sides[2], bool lanConnected);
