#include "CompetitionStart.h"

#include "CCompetition.h"
#include "GameDifficulty.h"
#include "SaveSlots.h"
#include "Team.h"
#include "TeamDB.h"
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
    // tournament plays at the settings'.
    g_CurrentDifficulty = g_SelectedDifficulty;
    if (CEnvironmentVariable* quick = env.GetVariable("GAMEPARAMS", "QuickMatch", true))
        quick->SetInt(0);
    PlatLog("StartCompetition() => tournament %d, format %d, %zu gamer teams", type, format, gamers.size());
    return true;
}

bool ResumeCompetition(CEnvironment& env, const std::string& path, int tournamentType) {
    TournamentSaveRecord record;
    if (!LoadTournamentSaveRecord(path, record))
        return false;
    const SaveMatchDescription& match = record.mMatch;
    if (match.mNbPlayers < 0 || match.mNbPlayers > kMaxGamers || match.mTeams.size() > static_cast<size_t>(kMaxGamers)) {
        PlatLog("ResumeCompetition(\"%s\") => %d players, %zu teams: not a save of ours", path.c_str(), match.mNbPlayers,
                match.mTeams.size());
        return false;
    }
    const bool national = match.mIsRegional != 1;
    std::set<Team*> humans;
    for (const SavedTeamLineUp& lineUp : match.mTeams)
        if (Team* team = FindTeam(lineUp.mTeamId, national))
            humans.insert(team);
    CCompetition* competition = CCompetition::FromSave(record.mTournament, humans);
    if (!competition)
        return false;

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
    g_bTournamentCareer = record.mTournament.mCareerFlag ? 1 : 0;

    // The stage, venue and difficulty the tournament was played at: the
    // process that chose them may be long gone.
    TournamentInfo info;
    competition->GetInfo(info);
    const bool career = g_bTournamentCareer != 0 || tournamentType == COMPETITION_CAREER;
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

SaveSlot* CurrentCompetitionSlot(CEnvironment& env) {
    const int slot = ReadInt(env, "SAVE", "save_slot");
    int kind = -1;
    switch (ReadInt(env, kSection, "tournamentType")) {
    case COMPETITION_CAREER: kind = SAVE_KIND_CAREER; break;
    case COMPETITION_CHAMPIONSHIP: kind = SAVE_KIND_CHAMPIONSHIP; break;
    case COMPETITION_CUP: kind = SAVE_KIND_CUP; break;
    default: break;
    }
    if (kind < 0 || slot < 0 || slot >= SAVE_SLOTS_PER_KIND)
        return nullptr;
    return &g_SaveSlotTable[kind * SAVE_SLOTS_PER_KIND + slot];
}
