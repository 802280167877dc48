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
// tournament match ("GAMEPARAMS" "QuickMatch" 0). It plays at the
// settings' difficulty, a career's next stage at the career's
// ("careerDifficulty", see KeepCareerDifficulty). False (logged, nothing
// changed) when gamers are named but none of their teams is in the table,
// or the teams cannot be drawn.
bool StartCompetition(CEnvironment& env);

// "QUICKMATCHPARAMS" key of the difficulty a career keeps from its first
// stage to its last; -1 (or none) for a new career.
const char kCareerDifficultyKey[] = "careerDifficulty";
// The career's next stage plays at `difficulty` (the one its stage played
// at), whatever the options say by then; -1 lets a new career take the
// settings'.
void KeepCareerDifficulty(CEnvironment& env, int difficulty);

// Loads the save at `path` into a slot of `tournamentType`: the tournament
// becomes current, its match description goes back into "QUICKMATCHPARAMS"
// with its venue ("location"; a save without one plays at venue 0, a
// career at its stage's) and, for a career, its stage ("careerStep"); the
// saved difficulty becomes the one in play (one that is none of ours: the
// settings', logged); the career flag is the slot's. False (logged, nothing
// changed, the file untouched) for a missing, cut, broken or foreign save,
// and for a save that is not one of this slot's kind or holds a value the
// game has no use for: another kind or format, a career level or stage
// that is none, a game type (1..3, a career's that of its stage), a count
// of gamers (one, up to six in a cup) or of their teams, a team missing
// from the table or from the draw, an actor its team lacks, a career team
// that is not its region (France at the world stage), a gamer's name that
// is no typed name, a score no match gives.
bool ResumeCompetition(CEnvironment& env, const std::string& path, int tournamentType);
// ResumeCompetition's verdict alone: nothing changes but the log.
bool IsResumableCompetitionSave(const std::string& path, int tournamentType);
// RefreshSaveSlotInfos, then every used slot whose save cannot be resumed
// in it shows the localized "UNREADABLE_SAVE_SLOT_INFO": the save screen
// shows a refused save as refused, before and after it was chosen.
void RefreshCompetitionSaveSlots();

// A career tournament's stage, 1 to 4, from its level and stage (the
// world stage is stage 2 of the record).
int CareerStageOf(const TournamentInfo& info);
// The stage a finished career stage leads to: the next one when the
// gamer's team won it (the world stage stays the last), the same again
// otherwise, and the third after a lost world stage.
int NextCareerStage(CTournament& tournament);
// The venue of a career stage; -1 for no stage.
int CareerStageVenue(int stage);

// The slot table row (SaveSlotKind) of a tournament type; -1 for none.
int SaveKindOf(int tournamentType);
// The slot of "SAVE" "save_slot" (0..5) for the tournament type; null when
// either is out of range.
struct SaveSlot;
SaveSlot* CurrentCompetitionSlot(CEnvironment& env);
