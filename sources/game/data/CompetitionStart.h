// Starting and resuming a championship, cup or career: the menus' choices in
// "QUICKMATCHPARAMS" become our tournament (g_pCurrentTournament), and a save
// slot's record becomes the tournament and the match description again.
#pragma once

#include <string>
#include <vector>

class CEnvironment;
class CCompetition;
class Team;

// The menus' tournament types.
const int COMPETITION_CHAMPIONSHIP = 2, COMPETITION_CUP = 3, COMPETITION_CAREER = 4;

// The teams of the gamers: "Team_<j>" for j below "NbPlayers" (a country id
// when "IsRegional" is 0, else a region id); teams not in the table are left
// out (logged).
std::vector<Team*> ReadGamerTeams(CEnvironment& env);

// A new tournament from "QUICKMATCHPARAMS": its type ("tournamentType"), the
// gamers' teams, and for a career its stage ("careerStep", 1 to 4; the
// fourth is played between nations, the gamer's team France's). It
// replaces the current tournament and marks the match description as a
// tournament match ("GAMEPARAMS" "QuickMatch" 0). False (logged, nothing
// changed) when the teams cannot be drawn.
bool StartCompetition(CEnvironment& env);

// Loads the save at `path`: the tournament becomes current and its match
// description goes back into "QUICKMATCHPARAMS". False (logged, nothing
// changed) for a missing, cut, broken or foreign save.
bool ResumeCompetition(CEnvironment& env, const std::string& path, int tournamentType);

// The slot of "SAVE" "save_slot" (0..5) for the tournament type; null when
// either is out of range.
struct SaveSlot;
SaveSlot* CurrentCompetitionSlot(CEnvironment& env);
