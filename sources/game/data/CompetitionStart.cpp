#include "CompetitionStart.h"

#include "CCompetition.h"
#include "GameDifficulty.h"
#include "SaveSlots.h"
#include "Team.h"
#include "TeamDB.h"
#include "PlayerDB.h"
#include "CLangDB.h"
#include "TournamentSaveRecord.h"

#include <CEnvironment.h>
#include <Platform.h>
#include <TestReport.h>

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const int kMaxGamers = 6;

int ReadInt(CEnvironment& env, const char* section, const char* name) {
    CEnvironmentVariable* variable = env.GetVariable(section, name, true);
    if (!variable)
        return 0;
    switch (variable->GetType()) {
    case CEnvironmentVariable::TYPE_INT: return variable->GetInt();
    case CEnvironmentVariable::TYPE_FLOAT: return static_cast<int>(variable->GetFloat());
    default: return 0;
    }
}

void WriteInt(CEnvironment& env, const char* name, int value) {
    if (CEnvironmentVariable* variable = env.GetVariable(kSection, name, true))
        variable->SetInt(value);
}

Team* FindTeam(int id, bool national) {
    return national ? TeamDB::GetNationalTeam(id) : TeamDB::GetRegionalTeam(id);
}

// The career's stage: 1 to 4; 4 is the world stage between nations.
int CareerStage(CEnvironment& env) {
    const int stage = ReadInt(env, kSection, "careerStep");
    return (stage >= 1 && stage <= 4) ? stage : 1;
}

}  // namespace

int CareerStageOf(const TournamentInfo& info) {
    if (info.mCareerStage == 2)
        return 4;
    return (info.mCareerLevel >= 1 && info.mCareerLevel <= 3) ? info.mCareerLevel : 1;
}

int NextCareerStage(CTournament& tournament) {
    TournamentInfo info;
    tournament.GetInfo(info);
    const int stage = CareerStageOf(info);
    std::vector<Team*> ranking;
    tournament.GetTeams(ranking);
    const bool won = !ranking.empty() && ranking[0] && !ranking[0]->mComputer;
    if (won)
        return std::min(stage + 1, 4);
    // The world stage lost sends the career back to the third.
    return stage == 4 ? 3 : stage;
}

int CareerStageVenue(int stage) {
    switch (stage) {
    case 1: return 3;
    case 2: return 0;
    case 3: return 1;
    case 4: return 2;
    default: return -1;
    }
}

std::vector<Team*> ReadGamerTeams(CEnvironment& env) {
    const bool national = ReadInt(env, kSection, "IsRegional") != 1;
    const int gamers = std::min(std::max(ReadInt(env, kSection, "NbPlayers"), 0), kMaxGamers);
    std::vector<Team*> teams;
    char name[32];
    for (int j = 0; j < gamers; ++j) {
        std::snprintf(name, sizeof name, "Team_%i", j);
        const int id = ReadInt(env, kSection, name);
        Team* team = FindTeam(id, national);
        if (!team) {
            PlatLog("ReadGamerTeams() => %s %d is no %s team; left out", name, id, national ? "national" : "regional");
            continue;
        }
        if (std::find(teams.begin(), teams.end(), team) == teams.end())
            teams.push_back(team);
    }
    return teams;
}

bool StartCompetition(CEnvironment& env) {
    const int type = ReadInt(env, kSection, "tournamentType");
    if (type != COMPETITION_CHAMPIONSHIP && type != COMPETITION_CUP && type != COMPETITION_CAREER) {
        PlatLog("StartCompetition() => tournamentType %d is no competition", type);
        return false;
    }
    // The career's world stage is played between nations, the gamer's team
    // becoming France's.
    if (type == COMPETITION_CAREER && CareerStage(env) == 4) {
        WriteInt(env, "IsRegional", 0);
        WriteInt(env, "Team_0", TeamDB::FRANCE_COUNTRY_ID);
    }
    const bool national = ReadInt(env, kSection, "IsRegional") != 1;
    const std::vector<Team*> gamers = ReadGamerTeams(env);
    // Gamers named without one team of theirs in the table would leave a
    // tournament that plays itself and fills the slot with it. (A draw of
    // computer teams alone, "NbPlayers" 0, is the caller's to ask for.)
    if (gamers.empty() && ReadInt(env, kSection, "NbPlayers") > 0) {
        PlatLog("StartCompetition() => no gamer's team in the %s table; no tournament", national ? "national" : "regional");
        return false;
    }
    // A run with a fixed seed draws the same tournament whatever the menus
    // drew before.
    unsigned seed = 0;
    if (TestFixedSeed(seed))
        KemSrand(seed);
    const std::vector<Team*> teams = CCompetition::DrawTeams(national, gamers, &KemRand);
    if (teams.empty()) {
        PlatLog("StartCompetition() => the %s table cannot give 16 teams; no tournament", national ? "national" : "regional");
        return false;
    }
    const int format = type == COMPETITION_CHAMPIONSHIP ? CCompetition::FORMAT_POOLS : CCompetition::FORMAT_KNOCKOUT;
    CCompetition* competition =
        new CCompetition(format, teams, std::set<Team*>(gamers.begin(), gamers.end()), type);
    if (type == COMPETITION_CAREER) {
        const int stage = CareerStage(env);
        competition->SetCareer(std::min(stage, 3), stage == 4 ? 2 : 1);
    }
    delete g_pCurrentTournament;
    g_pCurrentTournament = competition;
    g_bTournamentCareer = type == COMPETITION_CAREER ? 1 : 0;
    // A resumed save may have played at its own difficulty: a new
    // tournament plays at the settings', a career's next stage at the
    // career's.
    int difficulty = g_SelectedDifficulty;
    if (type == COMPETITION_CAREER) {
        CEnvironmentVariable* kept = env.GetVariable(kSection, kCareerDifficultyKey, true);
        const int value = kept && kept->IsNumber() ? ReadInt(env, kSection, kCareerDifficultyKey) : -1;
        if (value >= 0 && value <= 2)
            difficulty = value;
        else if (kept && kept->IsNumber() && value != -1)
            PlatLog("StartCompetition() => %s %d is none of ours; the settings' is played", kCareerDifficultyKey, value);
    }
    g_CurrentDifficulty = difficulty;
    if (CEnvironmentVariable* quick = env.GetVariable("GAMEPARAMS", "QuickMatch", true))
        quick->SetInt(0);
    PlatLog("StartCompetition() => tournament %d, format %d, %zu gamer teams", type, format, gamers.size());
    return true;
}

namespace {

// What a slot of each tournament type holds: the kind the tournament saves
// (the menus' tournament type), its format, the career flag and how many
// gamers it has.
struct SlotKindValues {
    uint32_t format;
    bool career;
    int32_t minGamers, maxGamers;
};

bool KindValuesOf(int tournamentType, SlotKindValues& values) {
    switch (tournamentType) {
    case COMPETITION_CHAMPIONSHIP: values = {CCompetition::FORMAT_POOLS, false, 1, 1}; return true;
    case COMPETITION_CUP: values = {CCompetition::FORMAT_KNOCKOUT, false, 1, kMaxGamers}; return true;
    case COMPETITION_CAREER: values = {CCompetition::FORMAT_KNOCKOUT, true, 1, 1}; return true;
    default: return false;
    }
}

// The players a team has at each career stage: face to face, doublette,
// triplette, then the world stage in triplettes.
int32_t CareerStageGameType(int stage) { return stage <= 1 ? 1 : (stage == 2 ? 2 : 3); }

// A name the gamer typed (nine letters at most): a few bytes of printable text.
const size_t kMaxSavedNameBytes = 64;
bool IsPlainName(const std::string& name) {
    if (name.size() > kMaxSavedNameBytes)
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

// Why the record is no save for a slot of `tournamentType` (empty when it
// is one); `gamers` receives the gamers' teams. The tournament itself is
// checked by CCompetition::FromSave.
std::string SaveRecordFault(const TournamentSaveRecord& record, int tournamentType, std::set<Team*>& gamers) {
    char why[160];
    SlotKindValues kind;
    if (!KindValuesOf(tournamentType, kind)) {
        PlatFormat(why, sizeof why, "tournamentType %d is no competition", tournamentType);
        return why;
    }
    const SavedTournament& tournament = record.mTournament;
    const SaveMatchDescription& match = record.mMatch;
    // Another kind's record would play (and save) as its own kind, in a
    // slot of another.
    if (tournament.mExtraInt != static_cast<uint32_t>(tournamentType) || (tournament.mCareerFlag != 0) != kind.career ||
        tournament.mFormat != kind.format) {
        PlatFormat(why, sizeof why, "a save of kind %u (format %u, career flag %u) in a slot of kind %d",
                   tournament.mExtraInt, tournament.mFormat, static_cast<unsigned>(tournament.mCareerFlag),
                   tournamentType);
        return why;
    }
    int stage = 0;
    if (kind.career) {
        const uint32_t level = tournament.mCareerLevel, step = tournament.mCareerStage;
        const bool known = (step == 1 && level >= 1 && level <= 3) || (step == 2 && level == 3);
        if (!known) {
            PlatFormat(why, sizeof why, "career level %u stage %u is no stage of a career", level, step);
            return why;
        }
        stage = step == 2 ? 4 : static_cast<int>(level);
    } else if (tournament.mCareerLevel != 0 || tournament.mCareerStage != 0) {
        PlatFormat(why, sizeof why, "career level %u stage %u in a save that is no career", tournament.mCareerLevel,
                   tournament.mCareerStage);
        return why;
    }
    if (match.mGameType < 1 || match.mGameType > 3 || (kind.career && match.mGameType != CareerStageGameType(stage))) {
        PlatFormat(why, sizeof why, "GameType %d is no game of this save", match.mGameType);
        return why;
    }
    if (match.mNbPlayers < kind.minGamers || match.mNbPlayers > kind.maxGamers) {
        PlatFormat(why, sizeof why, "NbPlayers %d outside %d..%d", match.mNbPlayers, kind.minGamers, kind.maxGamers);
        return why;
    }
    if (match.mIsRegional != 0 && match.mIsRegional != 1) {
        PlatFormat(why, sizeof why, "IsRegional %d is neither 0 nor 1", match.mIsRegional);
        return why;
    }
    const bool national = match.mIsRegional == 0;
    if (kind.career && national != (stage == 4)) {
        PlatFormat(why, sizeof why, "career stage %d played between %s", stage, national ? "nations" : "regions");
        return why;
    }
    // Each gamer heads a team of his own.
    if (match.mTeams.size() != static_cast<size_t>(match.mNbPlayers)) {
        PlatFormat(why, sizeof why, "%zu teams for %d gamers", match.mTeams.size(), match.mNbPlayers);
        return why;
    }
    std::set<Team*> found;
    for (const SavedTeamLineUp& lineUp : match.mTeams) {
        Team* team = FindTeam(lineUp.mTeamId, national);
        if (!team) {
            PlatFormat(why, sizeof why, "%s team %u is not in the team table", national ? "national" : "regional",
                       static_cast<unsigned>(lineUp.mTeamId));
            return why;
        }
        const PlayerList* players = PlayerDB::GetTeamPlayers(team);
        for (uint16_t actor : lineUp.mActors)
            if (!players || actor >= players->size()) {
                PlatFormat(why, sizeof why, "actor %u of team %u is none of its %zu players", static_cast<unsigned>(actor),
                           static_cast<unsigned>(lineUp.mTeamId), players ? players->size() : size_t(0));
                return why;
            }
        found.insert(team);
    }
    if (kind.career) {
        // The region the career goes on with after its world stage.
        Team* region = TeamDB::GetRegionalTeam(match.mTeamBeforeNational);
        const bool sameTeam = national ? match.mTeams[0].mTeamId == TeamDB::FRANCE_COUNTRY_ID
                                       : match.mTeams[0].mTeamId == match.mTeamBeforeNational;
        if (!region || !sameTeam) {
            PlatFormat(why, sizeof why, "career team %u with TeamBeforeNational %d", static_cast<unsigned>(match.mTeams[0].mTeamId),
                       match.mTeamBeforeNational);
            return why;
        }
    }
    // A gamer's saved side is only carried: each match finds the gamers'
    // sides from their teams.
    for (const SavedHumanPlayer& player : match.mPlayers) {
        if (!IsPlainName(player.mName)) {
            PlatFormat(why, sizeof why, "a gamer's name of %zu bytes is no name typed", player.mName.size());
            return why;
        }
    }
    gamers = found;
    return std::string();
}

// The record at `path` when it is a save for a slot of `tournamentType`,
// with its gamers' teams; false (logged) otherwise. Nothing is changed.
bool LoadCheckedRecord(const std::string& path, int tournamentType, TournamentSaveRecord& record,
                       std::set<Team*>& gamers) {
    if (!LoadTournamentSaveRecord(path, record)) {
        PlatLog("ResumeCompetition(\"%s\") => no whole save: refused, the file is left as it is", path.c_str());
        return false;
    }
    const std::string fault = SaveRecordFault(record, tournamentType, gamers);
    if (fault.empty())
        return true;
    PlatLog("ResumeCompetition(\"%s\") => %s: refused, the file is left as it is", path.c_str(), fault.c_str());
    return false;
}

void LogNotOurTournament(const std::string& path) {
    PlatLog("ResumeCompetition(\"%s\") => the tournament is none to resume: refused, the file is left as it is",
            path.c_str());
}

}  // namespace

bool IsResumableCompetitionSave(const std::string& path, int tournamentType) {
    TournamentSaveRecord record;
    std::set<Team*> gamers;
    if (!LoadCheckedRecord(path, tournamentType, record, gamers))
        return false;
    if (CCompetition::IsResumable(record.mTournament, gamers))
        return true;
    LogNotOurTournament(path);
    return false;
}

void RefreshCompetitionSaveSlots() {
    RefreshSaveSlotInfos();
    const std::string empty = GetText("EMPTY_SAVE_SLOT_INFO");
    const std::string unreadable = GetText("UNREADABLE_SAVE_SLOT_INFO");
    const int types[SAVE_SLOT_KIND_COUNT] = {COMPETITION_CAREER, COMPETITION_CHAMPIONSHIP, COMPETITION_CUP};
    for (SaveSlot& slot : g_SaveSlotTable) {
        if (slot.mInfo == empty || slot.mInfo == unreadable || slot.mKind >= SAVE_SLOT_KIND_COUNT)
            continue;
        if (!IsResumableCompetitionSave(slot.mPath, types[slot.mKind]))
            slot.mInfo = unreadable;
    }
}

bool ResumeCompetition(CEnvironment& env, const std::string& path, int tournamentType) {
    TournamentSaveRecord record;
    std::set<Team*> gamers;
    if (!LoadCheckedRecord(path, tournamentType, record, gamers))
        return false;
    CCompetition* competition = CCompetition::FromSave(record.mTournament, gamers);
    if (!competition) {
        LogNotOurTournament(path);
        return false;
    }
    const SaveMatchDescription& match = record.mMatch;

    char name[32];
    if (CEnvironmentVariable* quick = env.GetVariable("GAMEPARAMS", "QuickMatch", true))
        quick->SetInt(0);
    WriteInt(env, "tournamentType", tournamentType);
    WriteInt(env, "GameType", match.mGameType);
    WriteInt(env, "NbPlayers", match.mNbPlayers);
    WriteInt(env, "IsRegional", match.mIsRegional);
    WriteInt(env, "TeamBeforeNational", match.mTeamBeforeNational);
    for (size_t t = 0; t < match.mTeams.size(); ++t) {
        std::snprintf(name, sizeof name, "Team_%i", static_cast<int>(t));
        WriteInt(env, name, match.mTeams[t].mTeamId);
        for (size_t j = 0; j < match.mTeams[t].mActors.size() && j < 3; ++j) {
            std::snprintf(name, sizeof name, "Team_%i_actor_%i", static_cast<int>(t), static_cast<int>(j));
            WriteInt(env, name, match.mTeams[t].mActors[j]);
        }
    }
    for (int i = 0; i < match.mNbPlayers && static_cast<size_t>(i) < match.mPlayers.size(); ++i) {
        std::snprintf(name, sizeof name, "Player%iTeam", i + 1);
        WriteInt(env, name, match.mPlayers[i].mSide);
        std::snprintf(name, sizeof name, "Player%iName", i + 1);
        if (CEnvironmentVariable* variable = env.GetVariable(kSection, name, true))
            variable->SetString(match.mPlayers[i].mName.c_str());
    }
    delete g_pCurrentTournament;
    g_pCurrentTournament = competition;
    // The slot's kind, which the record was checked to be.
    const bool career = tournamentType == COMPETITION_CAREER;
    g_bTournamentCareer = career ? 1 : 0;

    // The stage, venue and difficulty the tournament was played at: the
    // process that chose them may be long gone.
    TournamentInfo info;
    competition->GetInfo(info);
    if (career)
        WriteInt(env, "careerStep", CareerStageOf(info));
    int venue = match.mVenue;
    if (venue < 0)
        venue = career ? CareerStageVenue(CareerStageOf(info)) : 0;
    WriteInt(env, "location", venue);
    if (match.mDifficulty <= 2)
        g_CurrentDifficulty = static_cast<int32_t>(match.mDifficulty);
    else
        PlatLog("ResumeCompetition(\"%s\") => difficulty %u is none of ours; the settings' is played", path.c_str(),
                match.mDifficulty);
    PlatLog("ResumeCompetition(\"%s\") => tournament resumed at step %d, venue %d, difficulty %d", path.c_str(),
            competition->GetStep(), venue, static_cast<int>(g_CurrentDifficulty));
    TestReport("tournament resumed venue %d difficulty %d", venue, static_cast<int>(g_CurrentDifficulty));
    return true;
}

void KeepCareerDifficulty(CEnvironment& env, int difficulty) {
    WriteInt(env, kCareerDifficultyKey, difficulty);
}

int SaveKindOf(int tournamentType) {
    switch (tournamentType) {
    case COMPETITION_CAREER: return SAVE_KIND_CAREER;
    case COMPETITION_CHAMPIONSHIP: return SAVE_KIND_CHAMPIONSHIP;
    case COMPETITION_CUP: return SAVE_KIND_CUP;
    default: return -1;
    }
}

SaveSlot* CurrentCompetitionSlot(CEnvironment& env) {
    const int slot = ReadInt(env, "SAVE", "save_slot");
    const int kind = SaveKindOf(ReadInt(env, kSection, "tournamentType"));
    if (kind < 0 || slot < 0 || slot >= SAVE_SLOTS_PER_KIND)
        return nullptr;
    return &g_SaveSlotTable[kind * SAVE_SLOTS_PER_KIND + slot];
}
