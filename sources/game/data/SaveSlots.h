// Save slots of the tournaments (6 per kind: career, championship, cup), the
// info texts the save screen shows, and the tournament's own part of a save.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

class CObjnet;
struct TournamentInfo;

enum SaveSlotKind : uint16_t {
    SAVE_KIND_CAREER = 0,
    SAVE_KIND_CHAMPIONSHIP = 1,
    SAVE_KIND_CUP = 2,
};

const int SAVE_SLOT_KIND_COUNT = 3;
const int SAVE_SLOTS_PER_KIND = 6;
const int SAVE_SLOT_COUNT = SAVE_SLOT_KIND_COUNT * SAVE_SLOTS_PER_KIND;

struct SaveSlot {
    std::string mPath;   // the slot's ".sav" file
    std::string mInfo;   // what the save screen shows for the slot
    uint16_t mKind = 0;  // SaveSlotKind
};

// Entry kind * 6 + slot. Empty until BuildSaveSlotList.
extern SaveSlot g_SaveSlotTable[SAVE_SLOT_COUNT];

// "..\\..\\media\\GameSav\\" with every separator written as two
// backslashes; the file functions take them as "/" (PlatFixPath).
extern const char SAVE_GAME_FOLDER[];
// Signature of a ".sav" file's outer object and of the nested tournament.
extern const char SAVE_INFO_SIGNATURE[];         // "SaveInfoTag"
extern const char TOURNAMENT_SAVE_SIGNATURE[];   // "Tournament_SaveStart"

// The folder, "CAREER_" / "CHAMPIONSHIP_" / "CUP_", the slot number, ".sav".
std::string MakeSaveSlotPath(int kind, int slot);

// Fills the 18 entries: path, kind, and the localized "EMPTY_SAVE_SLOT_INFO".
void BuildSaveSlotList();
// For each entry: an existing file whose first object is "SaveInfoTag" gives
// the entry its stored info text; a missing file gives the empty-slot text;
// any other file (foreign, cut or broken) gives the localized
// "UNREADABLE_SAVE_SLOT_INFO" (logged).
void RefreshSaveSlotInfos();
// True when the file can be opened for reading.
bool SaveFileExists(const std::string& path);

// Reads the info text of a loaded ".sav" object: its signature, the info
// length and the info text. False, with info untouched, when the object is
// not a save or is cut short or broken.
bool ReadSaveSlotInfo(CObjnet& save, std::string& info);

// The info text of a save of that kind made at `when` (local time):
// the kind's localized text, "_dd/MM/yy_", hour ":" minute (no leading
// zeros on those two). A kind outside 0..2 has an empty kind text.
std::string FormatSaveSlotInfo(int kind, const std::tm& when);
// The slot's info becomes the info text of a save of its kind made now.
void BuildSaveSlotInfo(SaveSlot& slot);

// Writes the current tournament's "Tournament_SaveStart" object into a fresh
// serializer object (started and ended here). Without a current tournament
// the object holds an empty record (no phases) and false is returned (logged).
bool WriteTournamentSave(CObjnet* save);

// The current tournament's progress record, with the career flag copied from
// g_bTournamentCareer. Without a current tournament: an empty record with
// that flag (logged).
TournamentInfo& GetCurrentTournamentInfo(TournamentInfo& info);
