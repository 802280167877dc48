// The ".sav" record of a tournament save: the slot's info text, the match
// description of the match mode and, nested, the tournament's own
// "Tournament_SaveStart" object (see WriteTournamentSave). The save-slot list
// reads only the info text (ReadSaveSlotInfo); the readers here take the
// whole record and reject a broken one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CObjnet;
struct SaveSlot;

// One listed team: its id and its actor list (player indices); GameType
// entries of the list are saved.
struct SavedTeamLineUp {
    uint16_t mTeamId = 0;
    std::vector<uint16_t> mActors;
};

// One human player: side 0 or 1 and name.
struct SavedHumanPlayer {
    int32_t mSide = 0;
    std::string mName;
};

// The match mode's description that a save carries.
struct SaveMatchDescription {
    uint32_t mDifficulty = 0;       // 0, 1 or 2
    int32_t mGameType = 1;          // players per team
    int32_t mNbPlayers = 0;         // human players; that many entries of mPlayers are saved
    int32_t mIsRegional = 0;
    int32_t mTeamBeforeNational = 0;
    std::vector<SavedTeamLineUp> mTeams;
    std::vector<SavedHumanPlayer> mPlayers;
    // The match venue (0..SAVED_VENUE_COUNT-1), written after the nested
    // tournament; -1 for a save of a build that did not write it, or none.
    int32_t mVenue = -1;
};

// The venues a match can be played at.
const int32_t SAVED_VENUE_COUNT = 4;

// One match as the tournament object stores it.
struct SavedTournamentMatch {
    uint16_t mNational = 0;         // 1: the ids are country ids, 0: region ids
    uint32_t mFirstTeamId = 0;
    uint32_t mSecondTeamId = 0;
    int32_t mWinner = 0;            // -1 first team, 1 second team, 0 not played
    uint32_t mScoreOne = 0;
    uint32_t mScoreTwo = 0;
};

// The nested "Tournament_SaveStart" object.
struct SavedTournament {
    uint32_t mFormat = 0;
    uint32_t mExtraInt = 0;
    uint32_t mCareerLevel = 0;
    uint32_t mCareerStage = 0;
    uint16_t mCareerFlag = 0;
    std::vector<std::vector<SavedTournamentMatch>> mPhases;
};

struct TournamentSaveRecord {
    std::string mInfo;
    SaveMatchDescription mMatch;
    SavedTournament mTournament;
};

// Fills `save` with the record: "SaveInfoTag", the info text (byte length,
// then the string), the description, `tournament` nested (null writes an
// empty nested field), then the venue when it is one (older saves end with
// the nested object). The team count is stored in 16 bits, so at most
// 65535 teams are written; missing actors or players are written as 0 /
// side 0 with an empty name (both logged) so that the counts stay true.
void WriteTournamentSaveRecord(CObjnet& save, const std::string& info, const SaveMatchDescription& match,
                               const CObjnet* tournament);

// The match mode's save of the current tournament into `path`: rebuilds the
// slot's info text (BuildSaveSlotInfo), writes the record with the current
// tournament's object (WriteTournamentSave) and replaces the file. The file
// is written beside the target and renamed over it, so a failed save leaves
// the previous one whole. False (logged, file untouched) without a current
// tournament, when the writer fails, or when the file cannot be written.
bool SaveTournamentToFile(const std::string& path, SaveSlot& slot, const SaveMatchDescription& match);

// Reads a whole loaded record. False, with `record` untouched, when the
// object is not a save, is cut short, holds a count or length larger than
// what remains, a negative count, a nested object that is not a tournament
// object, or bytes after the nested object other than one venue. A venue
// that is none of ours is logged and read as -1: the tournament stays
// playable.
bool ReadTournamentSaveRecord(CObjnet& save, TournamentSaveRecord& record);
// Reads a "Tournament_SaveStart" object on its own; same rules.
bool ReadTournamentSave(CObjnet& tournament, SavedTournament& saved);
// LoadFromFile and ReadTournamentSaveRecord (failures logged).
bool LoadTournamentSaveRecord(const std::string& path, TournamentSaveRecord& record);
