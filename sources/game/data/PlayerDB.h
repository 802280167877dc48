// The player table ("Joueurs_DB.csv"): every player with team, name, body,
// role, skin and model number, filed by region or by country.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CPlayer;
class Team;

typedef std::vector<CPlayer*> PlayerList;

class PlayerDB {
public:
    // "../../mediaDemo/Data/Joueurs_DB.csv"
    static const char DEFAULT_PATH[];

    // Empty lists; the role, body and skin code maps back to their fixed
    // contents ("MILIEU" 0, "TIREUR" 1, "POINTEUR" 2; "FG" 0 .. "HA" 5;
    // "CN" 0 .. "AF" 3).
    static void Init();
    // Reads DEFAULT_PATH (a missing file leaves no players; logged).
    static void Load();
    // The same from another file; replaces every player. Each
    // player takes its pointing and shooting profiles from the
    // characteristics table; rows with fewer than six fields are skipped
    // (logged), as is a player whose profiles the table lacks (logged, the
    // player is kept with what was found). False when the file cannot be read.
    static bool LoadFromFile(const std::string& path);
    // Deletes every player and every list.
    static void Release();

    // The list of the team's region when its region id is not 0, else of
    // its country; null when there is no such list.
    static PlayerList* GetTeamPlayers(const Team* team);
    // The first player of the team's list with that role; when none and the
    // role is not 0 (middle), the first middle player; otherwise null.
    static CPlayer* GetTeamPlayer(const Team* team, int32_t role);
    // Appends the team's default line-up for 1, 2 or 3 players a team:
    // 1 the middle; 2 the pointer, the shooter; 3 the middle, the pointer,
    // the shooter (nulls for missing ones). Other counts append nothing.
    static void CollectPlayers(const Team* team, int32_t playersPerTeam, std::vector<CPlayer*>& out);

    static PlayerList* GetRegionPlayers(int32_t regionId);
    static PlayerList* GetCountryPlayers(int32_t countryId);

    // A code the map lacks reads as 0 (and is added with 0).
    static int32_t GetRoleCode(const std::string& text);
    static int32_t GetBodyCode(const std::string& text);
    static int32_t GetSkinCode(const std::string& text);
};
