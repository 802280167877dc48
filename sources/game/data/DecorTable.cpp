#include "DecorTable.h"

#include "CTournament.h"
#include "Team.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>

#include <vector>

DecorEntry g_DecorTable[DECOR_ENTRY_COUNT];

namespace {
const char* const kDecorNames[DECOR_ENTRY_COUNT] = {
    "OB_R_PEN_01", "OB_R_FLA_01", "OB_R_MED_01", "OB_R_MED_02", "OB_R_MED_03", "OB_R_CLO_01",
    "OB_R_BAL_01", "OB_R_MAN_01", "OB_R_MAN_02", "OB_R_MAN_03", "OB_R_TAB_01", "OB_R_TAB_02",
    "OB_R_CEN_01", "OB_R_CUA_01", "OB_R_CUA_02", "OB_R_CUA_03", "OB_R_CUB_01", "OB_R_CUB_02",
    "OB_R_CUB_03", "OB_R_CUC_01", "OB_R_CUC_02", "OB_R_PEN_02",
};

// 0 first, 1 second, 2 any other place (also a team the ranking lacks).
int PlaceOf(const Team* team, const std::vector<Team*>& ranking) {
    if (!ranking.empty() && ranking[0] == team)
        return 0;
    if (ranking.size() > 1 && ranking[1] == team)
        return 1;
    return 2;
}

const char* ByPlace(int place, const char* first, const char* second, const char* other) {
    return place == 0 ? first : place == 1 ? second : other;
}
}  // namespace

void InitDecorTable() {
    for (int i = 0; i < DECOR_ENTRY_COUNT; ++i) {
        g_DecorTable[i].mName = kDecorNames[i];
        g_DecorTable[i].mNode = nullptr;
    }
}

void HideAllDecorObjects() {
    for (DecorEntry& entry : g_DecorTable) {
        entry.mNode = CKEMSceneGraph::FindNode(entry.mName);
        if (entry.mNode)
            entry.mNode->setToVisible(false);
    }
}

DecorEntry* FindDecorEntry(const std::string& name) {
    for (DecorEntry& entry : g_DecorTable)
        if (entry.mName == name)
            return &entry;
    return nullptr;
}

std::string SelectAwardDecor(const Team* team) {
    if (!team || !g_pCurrentTournament || !g_pCurrentTournament->IsFinished())
        return std::string();
    TournamentInfo info;
    g_pCurrentTournament->GetInfo(info);
    std::vector<Team*> ranking;
    g_pCurrentTournament->GetTeams(ranking);
    const int place = PlaceOf(team, ranking);
    const bool national = team->mNational;

    if (g_bTournamentCareer) {
        if (national)
            return ByPlace(place, "OB_R_CUC_01", "OB_R_CUC_02", "OB_R_CUA_03");
        switch (info.mCareerLevel) {
        case 1: return ByPlace(place, "OB_R_FLA_01", "OB_R_PEN_01", "");
        case 2: return ByPlace(place, "OB_R_CLO_01", "OB_R_BAL_01", "");
        case 3: return ByPlace(place, "OB_R_CUB_01", "OB_R_CUB_02", "OB_R_CUB_03");
        default: return std::string();
        }
    }
    switch (info.mFormat) {
    case 0:
        return std::string("OB_R_") + (national ? "CUA_0" : "MAN_0") + ByPlace(place, "1", "2", "3");
    case 1:
        if (national)
            return ByPlace(place, "OB_R_TAB_01", "OB_R_TAB_02", "OB_R_CEN_01");
        return ByPlace(place, "OB_R_MED_01", "OB_R_MED_02", "OB_R_MED_03");
    default:
        return std::string();
    }
}
