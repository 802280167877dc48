// Starting and resuming a championship, cup or career: the menus' choices in
// "QUICKMATCHPARAMS" become our tournament (g_pCurrentTournament), and a save
// slot's record becomes the tournament and the match description again.
#pragma once

#include <string>
#include <vector>

class CEnvironment;
class CCompetition;
class CTournament;
class Team;
struct TournamentInfo;

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

// Loads the save at `path`: the tournament becomes current, its match
// description goes back into "QUICKMATCHPARAMS" with its venue
// ("location"; a save without one plays at venue 0, a career at its
// stage's) and, for a career, its stage ("careerStep"); the saved
// difficulty becomes the one in play. False (logged, nothing changed) for a
// missing, cut, broken or foreign save.
bool ResumeCompetition(CEnvironment& env, const std::string& path, int tournamentType);

// A career tournament's stage, 1 to 4, from its level and stage (the
// world stage is stage 2 of the record).
int CareerStageOf(const TournamentInfo& info);
// The stage a finished career stage leads to: the next one when the
// gamer's team won it (the world stage stays the last), the same again
// otherwise, and the third after a lost world stage.
int NextCareerStage(CTournament& tournament);
// The venue of a career stage; -1 for no stage.
int CareerStageVenue(int stage);

// The slot of "SAVE" "save_slot" (0..5) for the tournament type; null when
// either is out of range.
struct SaveSlot;
SaveSlot* CurrentCompetitionSlot(CEnvironment& env);
