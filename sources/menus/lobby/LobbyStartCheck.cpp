#include "LobbyStartCheck.h"

#include <CEnvironment.h>
#include <CLangDB.h>
#include <Platform.h>

#include <cstdlib>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
// A LAN player's controller id is its slot index plus this.
const int kLanControlerBase = 7;

void WriteInt(CEnvironment& env, const std::string& name, int value) {
    if (CEnvironmentVariable* v = env.GetVariable(kSection, name.c_str(), true))
        v->SetInt(value);
}

void WriteText(CEnvironment& env, const std::string& name, const std::string& text) {
    if (CEnvironmentVariable* v = env.GetVariable(kSection, name.c_str(), true))
        v->SetString(text.c_str());
}

std::string Text(const char* key) { return GetText(key); }

void Tell(const LobbyChatSink& chat, const std::string& line) {
    PlatLog("CMenuLobbyingGameMode::ValidateTeams() => %s", line.c_str());
    if (chat)
        chat(line);
}

}  // namespace

bool LobbyTeamsPeopled(const LobbyStartInput& input, const LobbyChatSink& chat) {
    int counts[2] = {0, 0};
    for (const LobbyStartInput::Slot& slot : input.slots)
        if (slot.active && (slot.team == 0 || slot.team == 1))
            ++counts[slot.team];
    if (counts[0] > 0 && counts[1] > 0)
        return true;
    Tell(chat, Text("LAN_ERR_TEAM_EMPTY"));
    return false;
}

int ValidateLobbyTeams(const LobbyStartInput& input, CEnvironment& env, const LobbyChatSink& chat) {
    if (input.playersPerTeamItem == -1)
        return -1;
    int playerCount = 0;
    for (const LobbyStartInput::Slot& slot : input.slots)
        playerCount += slot.active ? 1 : 0;
    WriteInt(env, "NbPlayers", playerCount);
    if (input.regionalItem == -1)
        return -2;
    WriteInt(env, "IsRegional", input.regionalItem);
    WriteInt(env, "QuickMatch", 1);
    if (input.locationItem == -1)
        return -3;
    WriteInt(env, "location", input.locationItem);
    WriteInt(env, "GameType", input.playersPerTeamItem);
    WriteInt(env, "Difficulty", input.difficulty);

    for (int n = 1; n <= LobbyStartInput::kSlots; ++n) {
        WriteText(env, "Player" + std::to_string(n) + "Name", "---");
        WriteInt(env, "CONTROLER_" + std::to_string(n), 0);
    }
    WriteInt(env, "TeamA", input.teams[0].mTeamId);
    WriteInt(env, "TeamB", input.teams[1].mTeamId);

    bool teamless = false;
    for (const LobbyStartInput::Slot& slot : input.slots) {
        if (slot.active && slot.team == -1) {
            Tell(chat, Text("LAN_NOTE") + " " + slot.name + " " + Text("LAN_HAS_NO_TEAM"));
            teamless = true;
        }
    }
    if (teamless)
        return -1;
    for (int side = 0; side < 2; ++side) {
        if (input.teams[side].mTeamId != -1)
            continue;
        Tell(chat, Text("LAN_NOTE") + " [" + Text("TEAM") + (side == 0 ? " A" : " B") + "] " +
                       Text("LAN_ERR_NO_PROV"));
        return -1;
    }

    int n = 1;
    for (int k = 0; k < LobbyStartInput::kSlots; ++k) {
        const LobbyStartInput::Slot& slot = input.slots[k];
        if (!slot.active)
            continue;
        WriteInt(env, "CONTROLER_" + std::to_string(n), k + kLanControlerBase);
        WriteText(env, "Player" + std::to_string(n) + "Name", slot.name);
        WriteInt(env, "Player" + std::to_string(n) + "Team", slot.team);
        ++n;
    }

    const int perTeam = input.playersPerTeam;
    if (perTeam < 1)
        return -1;
    // Role 1 (pointer) always, 2 (shooter) from doubles on, 3 (middle) in triples.
    for (int role = 0; role < 3 && role < perTeam; ++role) {
        for (int side = 0; side < 2; ++side) {
            if (input.teams[side].Actor(role) != -1)
                continue;
            char line[256];
            PlatFormat(line, sizeof(line), "%s %s %i",
                       (Text("LAN_NOTE") + " " + Text(side == 0 ? "LAN_TEAM_A" : "LAN_TEAM_B")).c_str(),
                       Text("LAN_ERR_EMPTY_PLAYER").c_str(), role + 1);
            Tell(chat, line);
            return -1;
        }
    }
    for (int role = 0; role < 3 && role < perTeam; ++role) {
        for (int side = 0; side < 2; ++side) {
            if (input.teams[side].Actor(role) < input.teamSizes[side])
                continue;
            char line[256];
            PlatFormat(line, sizeof(line), "%s %s %i",
                       (Text("LAN_NOTE") + " " + Text(side == 0 ? "LAN_TEAM_A" : "LAN_TEAM_B")).c_str(),
                       Text("LAN_ERR_NOT_IN_TEAM").c_str(), role + 1);
            Tell(chat, line);
            return -1;
        }
    }
    for (int side = 0; side < 2; ++side)
        for (int role = 0; role < 3; ++role)
            WriteInt(env, "Team_" + std::to_string(side) + "_actor_" + std::to_string(role),
                     input.teams[side].Actor(role));

    WriteInt(env, "PILE_OU_FACE", (KemRand() % 200) / 100 + 1);

    if (input.teams[0].mTeamId == input.teams[1].mTeamId) {
        Tell(chat, Text("LAN_ERR_TEAM_SAME"));
        return -1;
    }
    if (perTeam > 1) {
        for (const CTeamInfosPacketV1& team : input.teams) {
            const bool same = team.mPointer == team.mShooter ||
                              (perTeam == 3 && (team.mMiddle == team.mPointer || team.mMiddle == team.mShooter));
            if (same) {
                Tell(chat, Text("LAN_ERR_PLAYERS_SAME"));
                return -1;
            }
        }
    }
    return 0;
}

int LobbyMatchDifficulty(CEnvironment& params, int fallback) {
    const CEnvironmentVariable* v = params.GetVariable(kSection, "Difficulty", false);
    // Any other value would pick no row of the per-difficulty tuning.
    if (!v || v->GetType() != CEnvironmentVariable::TYPE_INT || v->GetInt() < 0 || v->GetInt() > 2)
        return fallback;
    return v->GetInt();
}
