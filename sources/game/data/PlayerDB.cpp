#include "PlayerDB.h"

#include "CPlayer.h"
#include "CaracDB.h"
#include "GameDataTable.h"
#include "Team.h"
#include "TeamDB.h"

#include <Platform.h>

#include <memory>

namespace {
typedef std::map<std::string, int32_t> CodeMap;

struct PlayerTables {
    // The code maps are there from the first use (see TeamDB).
    PlayerTables() { FillCodes(); }
    void FillCodes() {
        roles = {{"MILIEU", 0}, {"TIREUR", 1}, {"POINTEUR", 2}};
        bodies = {{"FG", 0}, {"FP", 1}, {"HJ", 2}, {"HM", 3}, {"HF", 4}, {"HA", 5}};
        skins = {{"CN", 0}, {"CS", 1}, {"AS", 2}, {"AF", 3}};
    }

    // Lists and players owned.
    std::map<int32_t, std::unique_ptr<PlayerList>> regions;
    std::map<int32_t, std::unique_ptr<PlayerList>> countries;
    CodeMap roles;
    CodeMap bodies;
    CodeMap skins;
};

PlayerTables& Tables() {
    static PlayerTables tables;
    return tables;
}

PlayerList& ListOf(std::map<int32_t, std::unique_ptr<PlayerList>>& lists, int32_t id) {
    std::unique_ptr<PlayerList>& list = lists[id];
    if (!list)
        list.reset(new PlayerList());
    return *list;
}

PlayerList* FindList(std::map<int32_t, std::unique_ptr<PlayerList>>& lists, int32_t id) {
    auto it = lists.find(id);
    return it == lists.end() ? nullptr : it->second.get();
}

void DeletePlayers(std::map<int32_t, std::unique_ptr<PlayerList>>& lists) {
    for (auto& entry : lists)
        for (CPlayer* player : *entry.second)
            delete player;
    lists.clear();
}
}  // namespace

const char PlayerDB::DEFAULT_PATH[] = "../../mediaDemo/Data/Joueurs_DB.csv";

void PlayerDB::Init() {
    Release();
    Tables().FillCodes();
}

void PlayerDB::Load() { LoadFromFile(DEFAULT_PATH); }

bool PlayerDB::LoadFromFile(const std::string& path) {
    Release();
    TextTable table;
    if (!ReadGameDataTable("PlayerDB::Load()", path, table))
        return false;
    PlayerTables& tables = Tables();
    for (size_t r = 1; r < table.size(); ++r) {
        const TextTableRow& row = table[r];
        if (row.size() < 6) {
            PlatLog("PlayerDB::Load() => row %u (%s) has %u fields, 6 needed: skipped", unsigned(r), row[0].c_str(),
                    unsigned(row.size()));
            continue;
        }
        const std::string& teamName = row[0];
        const std::string& body = row[2];
        const std::string& role = row[3];
        CPlayer* player = new CPlayer(row[1]);
        player->mBodyCode = GetBodyCode(body);
        player->mRole = GetRoleCode(role);
        player->mSkinCode = GetSkinCode(row[4]);
        player->mModelNumber = StringToInt(row[5]);

        const std::string pointingKey = CaracDB::MakeKey(body, role, true);
        const std::string shootingKey = CaracDB::MakeKey(body, role, false);
        player->mPointingProfile = CaracDB::Find(pointingKey);
        player->mShootingProfile = CaracDB::Find(shootingKey);
        if (!player->mPointingProfile || !player->mShootingProfile)
            PlatLog("PlayerDB::Load() => no characteristics \"%s\"/\"%s\" for player %s", pointingKey.c_str(),
                    shootingKey.c_str(), row[1].c_str());

        // An unknown team name files the player under country 8.
        const int32_t regionId = TeamDB::GetRegionId(teamName);
        if (regionId != 0)
            ListOf(tables.regions, regionId).push_back(player);
        else
            ListOf(tables.countries, TeamDB::GetCountryId(teamName)).push_back(player);
    }
    return true;
}

void PlayerDB::Release() {
    PlayerTables& tables = Tables();
    DeletePlayers(tables.regions);
    DeletePlayers(tables.countries);
}

PlayerList* PlayerDB::GetRegionPlayers(int32_t regionId) { return FindList(Tables().regions, regionId); }
PlayerList* PlayerDB::GetCountryPlayers(int32_t countryId) { return FindList(Tables().countries, countryId); }

PlayerList* PlayerDB::GetTeamPlayers(const Team* team) {
    if (!team)
        return nullptr;
    return team->mRegionId != 0 ? GetRegionPlayers(team->mRegionId) : GetCountryPlayers(team->mCountryId);
}

CPlayer* PlayerDB::GetTeamPlayer(const Team* team, int32_t role) {
    PlayerList* players = GetTeamPlayers(team);
    if (!players)
        return nullptr;
    for (CPlayer* player : *players)
        if (player->mRole == role)
            return player;
    // A team without that role plays its middle player in the role.
    if (role != CPlayer::ROLE_MIDDLE)
        for (CPlayer* player : *players)
            if (player->mRole == CPlayer::ROLE_MIDDLE)
                return player;
    return nullptr;
}

void PlayerDB::CollectPlayers(const Team* team, int32_t playersPerTeam, std::vector<CPlayer*>& out) {
    if (playersPerTeam < 1 || playersPerTeam > 3)
        return;
    if (playersPerTeam != 2)
        out.push_back(GetTeamPlayer(team, CPlayer::ROLE_MIDDLE));
    if (playersPerTeam != 1) {
        out.push_back(GetTeamPlayer(team, CPlayer::ROLE_POINTER));
        out.push_back(GetTeamPlayer(team, CPlayer::ROLE_SHOOTER));
    }
}

int32_t PlayerDB::GetRoleCode(const std::string& text) { return Tables().roles[text]; }
int32_t PlayerDB::GetBodyCode(const std::string& text) { return Tables().bodies[text]; }
int32_t PlayerDB::GetSkinCode(const std::string& text) { return Tables().skins[text]; }

namespace {
// The code maps exist before the entry point; the players go at exit.
struct PlayerDBStartup {
    PlayerDBStartup() { PlayerDB::Init(); }
    ~PlayerDBStartup() { PlayerDB::Release(); }
};
const PlayerDBStartup sPlayerDBStartup;
}  // namespace
