#include "TeamDB.h"

#include "GameDataTable.h"
#include "StringToBool.h"
#include "Team.h"

#include <Platform.h>

namespace {
const char* const kRegionNames[17] = {
    "-", "Aquitaine", "Auvergne", "Bourgogne", "Bretagne", "Champagne-Ardenne", "Corse", "Franche-Comte",
    "Ile de France", "Languedoc-Roussillon", "Lorraine", "Midi-Pyrenees", "Nord-Pas-de-Calais", "Picardie",
    "Poitou-Charentes", "Provence-Alpes-Cote-d-Azur", "Rhone-Alpes",
};
const char* const kCountryNames[17] = {
    nullptr, "Algerie", "Allemagne", "Argentine", "Australie", "Belgique", "Canada", "Espagne", "France",
    "Italie", "Japon", "Maroc", "Russie", "Suede", "Suisse", "Thailande", "Tunisie",
};
const int32_t kIleDeFrance = 8;

struct TeamTables {
    // The fixed name maps are there from the first use, even when that use
    // comes during static initialization before this unit's start-up.
    TeamTables() { FillNames(); }
    void FillNames() {
        regionNames.clear();
        secondRegionNames.clear();
        countryNames.clear();
        secondCountryNames.clear();
        for (int32_t id = 0; id <= 16; ++id) {
            regionNames[kRegionNames[id]] = id;
            secondRegionNames[id == kIleDeFrance ? "Ile-de-France" : kRegionNames[id]] = id;
            if (kCountryNames[id]) {
                countryNames[kCountryNames[id]] = id;
                secondCountryNames[kCountryNames[id]] = id;
            }
        }
    }

    std::vector<Team*> teams;   // owned
    TeamNameMap regionNames;
    TeamNameMap secondRegionNames;
    TeamNameMap countryNames;
    TeamNameMap secondCountryNames;
};

TeamTables& Tables() {
    static TeamTables tables;
    return tables;
}

// The id of a name, a name the map lacks reading as 0 (and added with 0).
int32_t LookUpOrAdd(TeamNameMap& names, const std::string& name) { return names[name]; }

const std::string& NameOf(const TeamNameMap& names, int32_t id, const std::string& none) {
    for (const auto& entry : names)
        if (entry.second == id)
            return entry.first;
    return none;
}
}  // namespace

const char TeamDB::DEFAULT_PATH[] = "../../mediaDemo/Data/Equipes_DB.csv";

void TeamDB::Init() {
    Release();
    Tables().FillNames();
}

void TeamDB::Load() { LoadFromFile(DEFAULT_PATH); }

bool TeamDB::LoadFromFile(const std::string& path) {
    Release();
    TextTable table;
    if (!ReadGameDataTable("TeamDB::Load()", path, table))
        return false;
    TeamTables& tables = Tables();
    for (size_t r = 1; r < table.size(); ++r) {
        const TextTableRow& row = table[r];
        if (row.size() < 8) {
            PlatLog("TeamDB::Load() => row %u (%s) has %u fields, 8 needed: skipped", unsigned(r), row[0].c_str(),
                    unsigned(row.size()));
            continue;
        }
        Team* team = new Team(row[0]);
        team->mNational = StringToBool(row[1]);
        if (team->mNational) {
            team->mRegionId = 0;
            team->mCountryId = LookUpOrAdd(tables.countryNames, row[0]);
        } else {
            team->mCountryId = FRANCE_COUNTRY_ID;
            team->mRegionId = LookUpOrAdd(tables.regionNames, row[0]);
        }
        for (int level = 0; level < 3; ++level) {
            team->mDifficulty[level][0] = StringToInt(row[2 + 2 * level]);
            team->mDifficulty[level][1] = StringToInt(row[3 + 2 * level]);
        }
        tables.teams.push_back(team);
    }
    if (tables.teams.size() != size_t(TEAM_COUNT))
        PlatLog("TeamDB::Load() => %u teams in \"%s\", %d expected", unsigned(tables.teams.size()), path.c_str(),
                TEAM_COUNT);
    return true;
}

void TeamDB::Release() {
    TeamTables& tables = Tables();
    for (Team* team : tables.teams)
        delete team;
    tables.teams.clear();
}

const std::vector<Team*>& TeamDB::GetTeams() { return Tables().teams; }

Team* TeamDB::GetNationalTeam(int32_t countryId) {
    const std::vector<Team*>& teams = Tables().teams;
    for (size_t i = 0; i < teams.size() && i < size_t(NATIONAL_TEAM_COUNT); ++i)
        if (teams[i]->mCountryId == countryId)
            return teams[i];
    return nullptr;
}

Team* TeamDB::GetRegionalTeam(int32_t regionId) {
    const std::vector<Team*>& teams = Tables().teams;
    for (size_t i = NATIONAL_TEAM_COUNT; i < teams.size() && i < size_t(TEAM_COUNT); ++i)
        if (teams[i]->mRegionId == regionId)
            return teams[i];
    return nullptr;
}

int32_t TeamDB::GetRegionId(const std::string& name) {
    const TeamNameMap& names = Tables().regionNames;
    auto it = names.find(name);
    return it == names.end() ? 0 : it->second;
}

int32_t TeamDB::GetCountryId(const std::string& name) {
    const TeamNameMap& names = Tables().countryNames;
    auto it = names.find(name);
    return it == names.end() ? FRANCE_COUNTRY_ID : it->second;
}

const std::string& TeamDB::GetRegionName(const TeamNameMap& names, int32_t id) {
    static const std::string none;
    return NameOf(names, id, none);
}

const std::string& TeamDB::GetCountryName(const TeamNameMap& names, int32_t id) {
    static const std::string none;
    return NameOf(names, id, none);
}

TeamNameMap& TeamDB::GetRegionNames() { return Tables().regionNames; }
TeamNameMap& TeamDB::GetSecondRegionNames() { return Tables().secondRegionNames; }
TeamNameMap& TeamDB::GetCountryNames() { return Tables().countryNames; }
TeamNameMap& TeamDB::GetSecondCountryNames() { return Tables().secondCountryNames; }

namespace {
// The name maps exist before the entry point; the teams go at exit.
struct TeamDBStartup {
    TeamDBStartup() { TeamDB::Init(); }
    ~TeamDBStartup() { TeamDB::Release(); }
};
const TeamDBStartup sTeamDBStartup;
}  // namespace
