#include "TournamentSaveRecord.h"

#include "CTournament.h"
#include "SaveSlots.h"

#include <CObjnet.h>
#include <Platform.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The team count field holds only 16 bits.
const size_t kMaxSavedTeams = 0xFFFF;

// Fixed bytes of one saved match: national flag, two ids, winner, two scores.
const int64_t kSavedMatchBytes = 2 + 4 * 5;

int64_t Remaining(const CObjnet& object) {
    return static_cast<int64_t>(object.GetSize()) - object.GetPosition();
}

// A count read from the file is only trusted when that many entries of at
// least entryBytes each can still follow.
bool CountFits(const CObjnet& object, int64_t count, int64_t entryBytes) {
    return count >= 0 && !object.IsFailed() && count * entryBytes <= Remaining(object);
}

bool ReadText(CObjnet& object, std::string& text) {
    int length = 0;
    char* bytes = object.ReadString(&length);
    if (!bytes || object.IsFailed()) {
        CObjnet::Free(bytes);
        return false;
    }
    text.assign(bytes, static_cast<size_t>(length));
    CObjnet::Free(bytes);
    return true;
}

}  // namespace

void WriteTournamentSaveRecord(CObjnet& save, const std::string& info, const SaveMatchDescription& match,
                               const CObjnet* tournament) {
    save.StartSignature(SAVE_INFO_SIGNATURE);
    save.WriteInt(static_cast<int32_t>(info.size()));
    save.WriteString(info.c_str());
    save.WriteUInt(match.mDifficulty);
    save.WriteInt(match.mGameType);
    save.WriteInt(match.mNbPlayers);
    save.WriteInt(match.mIsRegional);
    save.WriteInt(match.mTeamBeforeNational);

    size_t teamCount = match.mTeams.size();
    if (teamCount > kMaxSavedTeams) {
        PlatLog("WriteTournamentSaveRecord() => %zu teams; only the first %zu are saved", teamCount,
                kMaxSavedTeams);
        teamCount = kMaxSavedTeams;
    }
    save.WriteInt(static_cast<int32_t>(teamCount));
    for (size_t i = 0; i < teamCount; ++i) {
        const SavedTeamLineUp& team = match.mTeams[i];
        save.WriteUShort(team.mTeamId);
        for (int32_t j = 0; j < match.mGameType; ++j) {
            if (static_cast<size_t>(j) < team.mActors.size()) {
                save.WriteUShort(team.mActors[j]);
            } else {
                if (j == static_cast<int32_t>(team.mActors.size()))
                    PlatLog("WriteTournamentSaveRecord() => team %u has fewer than %d actors; saved as 0",
                            static_cast<unsigned>(team.mTeamId), match.mGameType);
                save.WriteUShort(0);
            }
        }
    }

    for (int32_t i = 0; i < match.mNbPlayers; ++i) {
        static const SavedHumanPlayer kMissing;
        const bool present = static_cast<size_t>(i) < match.mPlayers.size();
        if (!present && i == static_cast<int32_t>(match.mPlayers.size()))
            PlatLog("WriteTournamentSaveRecord() => %d human players but %zu described; the rest saved empty",
                    match.mNbPlayers, match.mPlayers.size());
        const SavedHumanPlayer& player = present ? match.mPlayers[i] : kMissing;
        save.WriteInt(player.mSide);
        save.WriteInt(static_cast<int32_t>(std::strlen(player.mName.c_str())));
        save.WriteString(player.mName.c_str());
    }

    save.WriteObject(tournament);
    if (match.mVenue >= 0)
        save.WriteInt(match.mVenue);
    save.End();
}

bool SaveTournamentToFile(const std::string& path, SaveSlot& slot, const SaveMatchDescription& match) {
    // Without a tournament the record would be empty: keep the slot's save.
    if (!g_pCurrentTournament) {
        PlatLog("SaveTournamentToFile(\"%s\") => no current tournament; nothing saved", path.c_str());
        return false;
    }
    BuildSaveSlotInfo(slot);

    std::unique_ptr<CObjnet> tournament(new CObjnet());
    WriteTournamentSave(tournament.get());
    CObjnet save;
    WriteTournamentSaveRecord(save, slot.mInfo, match, tournament.get());
    tournament.reset();
    if (save.IsFailed()) {
        PlatLog("SaveTournamentToFile(\"%s\") => the record could not be built; nothing saved", path.c_str());
        return false;
    }

    const std::string target = PlatFixPath(path);
    const std::string temporary = target + ".tmp";
    if (save.SaveToFile(temporary.c_str()) != 0) {
        PlatLog("SaveTournamentToFile(\"%s\") => cannot write \"%s\"; previous save kept", path.c_str(),
                temporary.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        PlatLog("SaveTournamentToFile(\"%s\") => cannot replace the file; previous save kept", path.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadTournamentSave(CObjnet& tournament, SavedTournament& saved) {
    if (tournament.BeginReadSignature(TOURNAMENT_SAVE_SIGNATURE) != 0)
        return false;
    SavedTournament read;
    read.mFormat = tournament.ReadUInt();
    read.mExtraInt = tournament.ReadUInt();
    read.mCareerLevel = tournament.ReadUInt();
    read.mCareerStage = tournament.ReadUInt();
    read.mCareerFlag = tournament.ReadUShort();

    const int64_t phaseCount = tournament.ReadUInt();
    if (!CountFits(tournament, phaseCount, 4))
        return false;
    read.mPhases.resize(static_cast<size_t>(phaseCount));
    for (std::vector<SavedTournamentMatch>& phase : read.mPhases) {
        const int64_t matchCount = tournament.ReadUInt();
        if (!CountFits(tournament, matchCount, kSavedMatchBytes))
            return false;
        phase.resize(static_cast<size_t>(matchCount));
        for (SavedTournamentMatch& match : phase) {
            match.mNational = tournament.ReadUShort();
            match.mFirstTeamId = tournament.ReadUInt();
            match.mSecondTeamId = tournament.ReadUInt();
            match.mWinner = tournament.ReadInt();
            match.mScoreOne = tournament.ReadUInt();
            match.mScoreTwo = tournament.ReadUInt();
        }
    }
    if (tournament.IsFailed() || Remaining(tournament) != 0)
        return false;
    saved = std::move(read);
    return true;
}

bool ReadTournamentSaveRecord(CObjnet& save, TournamentSaveRecord& record) {
    if (save.BeginReadSignature(SAVE_INFO_SIGNATURE) != 0)
        return false;
    TournamentSaveRecord read;
    save.ReadInt();   // the info's byte length; the string carries its own
    if (!ReadText(save, read.mInfo))
        return false;

    SaveMatchDescription& match = read.mMatch;
    match.mDifficulty = save.ReadUInt();
    match.mGameType = save.ReadInt();
    match.mNbPlayers = save.ReadInt();
    match.mIsRegional = save.ReadInt();
    match.mTeamBeforeNational = save.ReadInt();
    const int64_t teamCount = save.ReadInt();
    if (match.mGameType < 0 || !CountFits(save, teamCount, 2 + 2 * static_cast<int64_t>(match.mGameType)))
        return false;
    match.mTeams.resize(static_cast<size_t>(teamCount));
    for (SavedTeamLineUp& team : match.mTeams) {
        team.mTeamId = save.ReadUShort();
        team.mActors.resize(static_cast<size_t>(match.mGameType));
        for (uint16_t& actor : team.mActors)
            actor = save.ReadUShort();
    }

    // Each player takes at least its side, its name length and an empty string.
    if (!CountFits(save, match.mNbPlayers, 12))
        return false;
    match.mPlayers.resize(static_cast<size_t>(match.mNbPlayers));
    for (SavedHumanPlayer& player : match.mPlayers) {
        player.mSide = save.ReadInt();
        save.ReadInt();   // the name's length; the string carries its own
        if (!ReadText(save, player.mName))
            return false;
    }

    CObjnet* nested = save.ReadObject();
    const bool nestedRead = nested && !save.IsFailed() && ReadTournamentSave(*nested, read.mTournament);
    CObjnet::DeleteObject(nested);
    if (!nestedRead)
        return false;
    // A save without its venue came from a build that did not write one.
    if (Remaining(save) == 4) {
        match.mVenue = save.ReadInt();
        if (match.mVenue < 0 || match.mVenue >= SAVED_VENUE_COUNT) {
            PlatLog("ReadTournamentSaveRecord() => venue %d is none of ours; the default venue is played",
                    match.mVenue);
            match.mVenue = -1;
        }
    }
    if (save.IsFailed() || Remaining(save) != 0)
        return false;
    record = std::move(read);
    return true;
}

bool LoadTournamentSaveRecord(const std::string& path, TournamentSaveRecord& record) {
    CObjnet save;
    if (save.LoadFromFile(path.c_str()) != 0) {
        PlatLog("LoadTournamentSaveRecord(\"%s\") => cannot read the file", path.c_str());
        return false;
    }
    if (!ReadTournamentSaveRecord(save, record)) {
        PlatLog("LoadTournamentSaveRecord(\"%s\") => not a whole tournament save", path.c_str());
        return false;
    }
    return true;
}
