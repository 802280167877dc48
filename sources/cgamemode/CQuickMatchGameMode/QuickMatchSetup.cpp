#include "QuickMatchSetup.h"

#include <CEnvironment.h>
#include <CLangDB.h>
#include <PlayerDB.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>

#include <cstring>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const char kGameParams[] = "GAMEPARAMS";

void CopyName(char (&field)[32], const char* name) {
    std::memset(field, 0, sizeof(field));
    if (name)
        std::strncpy(field, name, sizeof(field) - 1);
}

std::string ReadMatchString(CEnvironment& env, const char* name) {
    CEnvironmentVariable* variable = env.GetVariable(kSection, name, true);
    const char* text = variable ? variable->ToString() : nullptr;
    return text ? text : "";
}

}  // namespace

int ReadMatchInt(CEnvironment& env, const char* section, const char* name) {
    CEnvironmentVariable* variable = env.GetVariable(section, name, true);
    if (!variable)
        return 0;
    if (variable->GetType() == CEnvironmentVariable::TYPE_INT)
        return variable->GetInt();
    if (variable->GetType() == CEnvironmentVariable::TYPE_FLOAT)
        return static_cast<int>(variable->GetFloat());
    return 0;
}

bool ReadMatchChoice(CEnvironment& env, const char* section, const char* name, int& value) {
    CEnvironmentVariable* variable = env.GetVariable(section, name, true);
    if (!variable || !variable->IsNumber())
        return false;
    value = ReadMatchInt(env, section, name);
    return value != -1;
}

void ReadQuickMatchParams(CEnvironment& env, QuickMatchParams& params) {
    params = QuickMatchParams();
    params.mQuickMatch = ReadMatchInt(env, kGameParams, "QuickMatch");
    int players = ReadMatchInt(env, kSection, "NbPlayers");
    if (players < 0 || players > QM_MAX_HUMAN_PLAYERS) {
        const int clamped = players < 0 ? 0 : QM_MAX_HUMAN_PLAYERS;
        PlatLog("ReadQuickMatchParams() => NbPlayers %d outside 0..%d, taken as %d", players, QM_MAX_HUMAN_PLAYERS,
                clamped);
        players = clamped;
    }
    params.mNbPlayers = players;
    const int gameType = ReadMatchInt(env, kSection, "GameType");
    params.mGameType = (gameType == 1 || gameType == 2) ? gameType : 3;
    if (gameType != params.mGameType)
        PlatLog("ReadQuickMatchParams() => GameType %d is none of 1..3: played as 3", gameType);
    params.mLocation = ReadMatchInt(env, kSection, "location");
    params.mIsRegional = ReadMatchInt(env, kSection, "IsRegional") == 1 ? 1 : 0;

    char name[32];
    for (int i = 1; i <= params.mNbPlayers; ++i) {
        PlatFormat(name, sizeof(name), "Player%iTeam", i);
        params.mPlayerTeam[i - 1] = ReadMatchInt(env, kSection, name);
        PlatFormat(name, sizeof(name), "Player%iName", i);
        params.mPlayerName[i - 1] = ReadMatchString(env, name);
    }
    if (!params.mQuickMatch)
        return;
    params.mGameMode = ReadMatchInt(env, kSection, "GameMode");
    params.mTeamA = ReadMatchInt(env, kSection, "TeamA");
    params.mTeamB = ReadMatchInt(env, kSection, "TeamB");
    for (int i = 1; i <= params.mNbPlayers; ++i) {
        PlatFormat(name, sizeof(name), "CONTROLER_%i", i);
        params.mControler[i - 1] = ReadMatchInt(env, kSection, name);
    }
}

Team* FindSideTeam(int id, bool regional) {
    return regional ? TeamDB::GetRegionalTeam(id) : TeamDB::GetNationalTeam(id);
}

int ReadActorChoices(CEnvironment& env, int side, Team& team, int gameType) {
    PlayerList* list = PlayerDB::GetTeamPlayers(&team);
    int appended = 0;
    char name[32];
    for (int j = 0; j < gameType; ++j) {
        PlatFormat(name, sizeof(name), "Team_%i_actor_%i", side, j);
        int index = -1;
        if (!ReadMatchChoice(env, kSection, name, index))
            continue;
        if (!list || index < 0 || static_cast<size_t>(index) >= list->size()) {
            PlatLog("ReadActorChoices() => %s = %d names no player of the team's %zu; skipped", name, index,
                    list ? list->size() : size_t(0));
            continue;
        }
        team.mPlayers.push_back((*list)[static_cast<size_t>(index)]);
        ++appended;
    }
    return appended;
}

bool SideHoldsGameTypePlayers(const Team& team, int side, int gameType, const char* who) {
    size_t present = 0;
    for (const CPlayer* player : team.mPlayers)
        present += player != nullptr;
    if (gameType >= 1 && present == team.mPlayers.size() && present == static_cast<size_t>(gameType))
        return true;
    PlatLog("%s => side %d (%s) has %zu players present of %zu where a match of %d a side needs %d", who, side,
            team.mName.c_str(), present, team.mPlayers.size(), gameType, gameType);
    return false;
}

void FillControlers(const QuickMatchParams& params, Team* sides[2], bool lanConnected, int lanOwnIndex,
                    ControlerEntry spare[2]) {
    ResetControlers();
    g_ControlerTableFilled = 1;
    g_OwnControlerType = lanConnected ? lanOwnIndex + e_lan1 : e_local1;

    sides[0]->mComputer = true;
    sides[1]->mComputer = true;
    for (int i = 0; i < params.mNbPlayers && i < CONTROLER_COUNT; ++i) {
        const int side = params.mPlayerTeam[i] == 0 ? 0 : 1;
        sides[side]->mComputer = false;
        ControlerEntry& entry = ControlerTable[i];
        entry.mType = params.mControler[i];
        entry.mTeam = side;
        CopyName(entry.mName, params.mPlayerName[i].c_str());
    }
    for (int side = 0; side < 2; ++side) {
        if (!sides[side]->mComputer)
            continue;
        ControlerEntry* entry = nullptr;
        for (int i = 0; i < CONTROLER_COUNT && !entry; ++i)
            if (ControlerTable[i].mType == e_undefined)
                entry = &ControlerTable[i];
        if (!entry) {
            // The table stays six entries long; this side's controller lives
            // beside it, never in the shared "not found" entry.
            entry = &spare[side];
            entry->Clear();
            entry->mIndex = CONTROLER_COUNT + side;
        }
        entry->mType = e_ia;
        entry->mTeam = side;
        CopyName(entry->mName, GetText(side == 0 ? "AI_TEAMA" : "AI_TEAMB"));
    }
}

void LetComputerPlayOwnSides(Team* sides[2]) {
    if (!g_OwnSidesComputerPlayed)
        return;
    for (const ControlerEntry& entry : ControlerTable)
        if (entry.mType == g_OwnControlerType && entry.mType != e_undefined && (entry.mTeam == 0 || entry.mTeam == 1) &&
            sides[entry.mTeam])
            sides[entry.mTeam]->mComputer = true;
}

bool HasLocalPlayer(const QuickMatchParams& params, Team* const sides[2], bool lanConnected) {
    if (!lanConnected)
        return params.mNbPlayers > 0;
    for (const ControlerEntry& entry : ControlerTable)
        if (entry.mType == g_OwnControlerType && entry.mType != e_undefined && (entry.mTeam == 0 || entry.mTeam == 1) &&
            sides[entry.mTeam] && !sides[entry.mTeam]->mComputer)
            return true;
    return false;
}
