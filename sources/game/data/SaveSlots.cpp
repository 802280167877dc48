#include "SaveSlots.h"

#include "CLangDB.h"
#include "CTournament.h"
#include "Team.h"

#include <CObjnet.h>
#include <Platform.h>

#include <cstdio>
#include <memory>

SaveSlot g_SaveSlotTable[SAVE_SLOT_COUNT];

const char SAVE_GAME_FOLDER[] = "..\\\\..\\\\media\\\\GameSav\\\\";
const char SAVE_INFO_SIGNATURE[] = "SaveInfoTag";
const char TOURNAMENT_SAVE_SIGNATURE[] = "Tournament_SaveStart";

namespace {
const char* const kFilePrefixes[SAVE_SLOT_KIND_COUNT] = {"CAREER_", "CHAMPIONSHIP_", "CUP_"};
const char* const kInfoKeys[SAVE_SLOT_KIND_COUNT] = {"CAREER_SAVE_SLOT_INFO", "CHAMPIONSHIP_SAVE_SLOT_INFO",
                                                     "CUP_SAVE_SLOT_INFO"};
const char kEmptySlotKey[] = "EMPTY_SAVE_SLOT_INFO";
const char kUnreadableSlotKey[] = "UNREADABLE_SAVE_SLOT_INFO";

// The id a saved match stores for a team: its country id for a national
// first team, its region id otherwise. A missing team stores 0.
uint32_t SavedTeamId(const Team* team, bool national) {
    if (!team)
        return 0;
    return static_cast<uint32_t>(national ? team->mCountryId : team->mRegionId);
}
}  // namespace

std::string MakeSaveSlotPath(int kind, int slot) {
    const char* prefix = (kind >= 0 && kind < SAVE_SLOT_KIND_COUNT) ? kFilePrefixes[kind] : "";
    return std::string(SAVE_GAME_FOLDER) + prefix + std::to_string(slot) + ".sav";
}

void BuildSaveSlotList() {
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind) {
        for (int slot = 0; slot < SAVE_SLOTS_PER_KIND; ++slot) {
            SaveSlot& entry = g_SaveSlotTable[kind * SAVE_SLOTS_PER_KIND + slot];
            entry.mPath = MakeSaveSlotPath(kind, slot);
            entry.mInfo = GetText(kEmptySlotKey);
            entry.mKind = static_cast<uint16_t>(kind);
        }
    }
}

bool SaveFileExists(const std::string& path) {
    FILE* file = std::fopen(PlatFixPath(path).c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool ReadSaveSlotInfo(CObjnet& save, std::string& info) {
    if (save.BeginReadSignature(SAVE_INFO_SIGNATURE) != 0)
        return false;
    save.ReadInt();   // the info's byte length; the string carries its own
    int length = 0;
    char* text = save.ReadString(&length);
    // A save cut inside its info text must not show (or keep) half of it.
    if (!text || save.IsFailed()) {
        CObjnet::Free(text);
        return false;
    }
    info.assign(text, static_cast<size_t>(length));
    CObjnet::Free(text);
    return true;
}

void RefreshSaveSlotInfos() {
    std::unique_ptr<CObjnet> save(new CObjnet());
    for (SaveSlot& entry : g_SaveSlotTable) {
        if (!SaveFileExists(entry.mPath)) {
            entry.mInfo = GetText(kEmptySlotKey);
            continue;
        }
        // A cut or foreign file must not pass for a free slot (a new save
        // would silently replace it) nor show a stale text: it says so.
        if (save->LoadFromFile(entry.mPath.c_str()) != 0 || !ReadSaveSlotInfo(*save, entry.mInfo)) {
            PlatLog("RefreshSaveSlotInfos() => \"%s\" is not a readable save", entry.mPath.c_str());
            entry.mInfo = GetText(kUnreadableSlotKey);
        }
        save->Reset();
    }
}

std::string FormatSaveSlotInfo(int kind, const std::tm& when) {
    const char* kindText = (kind >= 0 && kind < SAVE_SLOT_KIND_COUNT) ? GetText(kInfoKeys[kind]) : "";
    char stamp[64];
    PlatFormat(stamp, sizeof(stamp), "_%02d/%02d/%02d_%d:%d", when.tm_mday, when.tm_mon + 1,
               (when.tm_year % 100 + 100) % 100, when.tm_hour, when.tm_min);
    return std::string(kindText) + stamp;
}

void BuildSaveSlotInfo(SaveSlot& slot) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    slot.mInfo = FormatSaveSlotInfo(slot.mKind, local);
}

TournamentInfo& GetCurrentTournamentInfo(TournamentInfo& info) {
    if (g_pCurrentTournament) {
        g_pCurrentTournament->GetInfo(info);
    } else {
        PlatLog("GetCurrentTournamentInfo() => no current tournament");
        info = TournamentInfo();
    }
    info.mCareerFlag = g_bTournamentCareer;
    return info;
}

bool WriteTournamentSave(CObjnet* save) {
    if (!save)
        return false;
    TournamentInfo info;
    GetCurrentTournamentInfo(info);

    save->StartSignature(TOURNAMENT_SAVE_SIGNATURE);
    save->WriteUInt(static_cast<uint32_t>(info.mFormat));
    save->WriteUInt(static_cast<uint32_t>(info.mExtraInt));
    save->WriteUInt(static_cast<uint32_t>(info.mCareerLevel));
    save->WriteUInt(static_cast<uint32_t>(info.mCareerStage));
    save->WriteUShort(info.mCareerFlag);

    TournamentPhaseList phases;
    if (g_pCurrentTournament)
        g_pCurrentTournament->GetPhases(phases);
    save->WriteUInt(static_cast<uint32_t>(phases.size()));
    for (const TournamentMatchList& phase : phases) {
        save->WriteUInt(static_cast<uint32_t>(phase.size()));
        for (const TournamentMatch& match : phase) {
            if (!match.mFirstTeam || !match.mSecondTeam)
                PlatLog("WriteTournamentSave() => a match without its two teams; saved with id 0");
            const bool national = match.mFirstTeam && match.mFirstTeam->mNational;
            save->WriteUShort(national ? 1 : 0);
            save->WriteUInt(SavedTeamId(match.mFirstTeam, national));
            save->WriteUInt(SavedTeamId(match.mSecondTeam, national));
            int32_t winner = 0;
            if (match.mFirstResult == 0)
                winner = -1;
            else if (match.mSecondResult == 0)
                winner = 1;
            save->WriteUInt(static_cast<uint32_t>(winner));
            save->WriteUInt(match.mScoreOne);
            save->WriteUInt(match.mScoreTwo);
        }
    }
    save->End();
    return g_pCurrentTournament != nullptr;
}
