// The team table ("Equipes_DB.csv": 16 national teams, then 16 regional
// teams) and the fixed tables of the 16 regions and 16 countries by name and
// by id (France is country 8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Team;

// Name -> region or country id.
typedef std::map<std::string, int32_t> TeamNameMap;

class TeamDB {
public:
    // "../../mediaDemo/Data/Equipes_DB.csv"
    static const char DEFAULT_PATH[];
    static const int TEAM_COUNT = 32;       // entries 0-15 national, 16-31 regional
    static const int NATIONAL_TEAM_COUNT = 16;
    static const int32_t FRANCE_COUNTRY_ID = 8;

    // No teams; the four name maps back to their fixed contents.
    static void Init();
    // Reads DEFAULT_PATH (a missing file leaves no teams; logged).
    static void Load();
    // The same from another file; replaces the teams. Rows with fewer than
    // eight fields are skipped, and a count other than 32 is logged. False
    // when the file cannot be read.
    static bool LoadFromFile(const std::string& path);
    // Deletes every team (not the players the teams point to).
    static void Release();

    static const std::vector<Team*>& GetTeams();
    // The first of entries 0-15 with that country id; null when none.
    static Team* GetNationalTeam(int32_t countryId);
    // The first of entries 16-31 with that region id; null when none.
    static Team* GetRegionalTeam(int32_t regionId);

    // Region id of a name of the region names (exact); 0 when absent.
    static int32_t GetRegionId(const std::string& name);
    // Country id of a name of the country names; 8 when absent.
    static int32_t GetCountryId(const std::string& name);
    // The first name, in the map's name order, with that id; a shared empty
    // text when none. Pass one of the maps below.
    static const std::string& GetRegionName(const TeamNameMap& names, int32_t id);
    static const std::string& GetCountryName(const TeamNameMap& names, int32_t id);

    // Region names as the tables and menus write them ("Ile de France").
    static TeamNameMap& GetRegionNames();
    // The same but "Ile-de-France" for region 8: display names of regional
    // teams and the names of their map, flag and clothes pictures.
    static TeamNameMap& GetSecondRegionNames();
    // Country names; both maps are equal.
    static TeamNameMap& GetCountryNames();
    static TeamNameMap& GetSecondCountryNames();
};
