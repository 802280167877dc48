// libFuzzer harness for reading a whole tournament ".sav" record and its
// nested "Tournament_SaveStart" object. Each input is read as it is and
// behind a valid type id (so the fuzzer works on the fields, not on finding
// the CRC). A failed read leaves the record untouched; a successful one
// agrees with the save-slot list's info text and survives being written
// again and read back (the tournament object byte for byte). A tournament
// object our tournament accepts is restored faithfully: saved again, it holds
// the same phases, results and progress fields.
#include <CCompetition.h>
#include <CObjnet.h>
#include <SaveSlots.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

static std::string Bytes(const CObjnet& object) {
    return std::string(reinterpret_cast<const char*>(object.GetData()), static_cast<size_t>(object.GetSize()));
}

static std::string Tagged(const char* signature, const std::string& bytes) {
    char tag[4];
    CObjnet::WriteU32At(CObjnet::ComputeTypeId(signature), tag);
    return std::string(tag, 4) + bytes;
}

static void WriteTournament(CObjnet& object, const SavedTournament& t) {
    object.StartSignature(TOURNAMENT_SAVE_SIGNATURE);
    object.WriteUInt(t.mFormat);
    object.WriteUInt(t.mExtraInt);
    object.WriteUInt(t.mCareerLevel);
    object.WriteUInt(t.mCareerStage);
    object.WriteUShort(t.mCareerFlag);
    object.WriteUInt(static_cast<uint32_t>(t.mPhases.size()));
    for (const auto& phase : t.mPhases) {
        object.WriteUInt(static_cast<uint32_t>(phase.size()));
        for (const SavedTournamentMatch& m : phase) {
            object.WriteUShort(m.mNational);
            object.WriteUInt(m.mFirstTeamId);
            object.WriteUInt(m.mSecondTeamId);
            object.WriteInt(m.mWinner);
            object.WriteUInt(m.mScoreOne);
            object.WriteUInt(m.mScoreTwo);
        }
    }
    object.End();
}

static bool SameMatch(const SaveMatchDescription& a, const SaveMatchDescription& b) {
    if (a.mDifficulty != b.mDifficulty || a.mGameType != b.mGameType || a.mNbPlayers != b.mNbPlayers ||
        a.mIsRegional != b.mIsRegional || a.mTeamBeforeNational != b.mTeamBeforeNational ||
        a.mTeams.size() != b.mTeams.size() || a.mPlayers.size() != b.mPlayers.size())
        return false;
    for (size_t i = 0; i < a.mTeams.size(); ++i)
        if (a.mTeams[i].mTeamId != b.mTeams[i].mTeamId || a.mTeams[i].mActors != b.mTeams[i].mActors)
            return false;
    for (size_t i = 0; i < a.mPlayers.size(); ++i)
        if (a.mPlayers[i].mSide != b.mPlayers[i].mSide || a.mPlayers[i].mName != b.mPlayers[i].mName)
            return false;
    return true;
}

// Restores the saved tournament; when accepted, saving it again must give
// back the same tournament.
static void CheckRestore(const SavedTournament& saved) {
    // The first drawn team stands for the gamer's: without one a tournament
    // is refused.
    std::set<Team*> gamers;
    if (!saved.mPhases.empty() && !saved.mPhases[0].empty()) {
        const SavedTournamentMatch& first = saved.mPhases[0][0];
        const int32_t id = static_cast<int32_t>(first.mFirstTeamId);
        if (Team* team = first.mNational ? TeamDB::GetNationalTeam(id) : TeamDB::GetRegionalTeam(id))
            gamers.insert(team);
    }
    CCompetition* restored = CCompetition::FromSave(saved, gamers);
    if (!restored)
        return;
    CTournament* previous = g_pCurrentTournament;
    const uint8_t previousFlag = g_bTournamentCareer;
    g_pCurrentTournament = restored;
    g_bTournamentCareer = saved.mCareerFlag ? 1 : 0;
    CObjnet object;
    WriteTournamentSave(&object);
    g_pCurrentTournament = previous;
    g_bTournamentCareer = previousFlag;
    delete restored;
    SavedTournament again;
    if (!ReadTournamentSave(object, again))
        abort();
    if (again.mFormat != saved.mFormat || again.mExtraInt != saved.mExtraInt ||
        again.mCareerLevel != saved.mCareerLevel || again.mCareerStage != saved.mCareerStage ||
        again.mPhases.size() != saved.mPhases.size())
        abort();
    for (size_t p = 0; p < saved.mPhases.size(); ++p) {
        if (again.mPhases[p].size() != saved.mPhases[p].size())
            abort();
        for (size_t m = 0; m < saved.mPhases[p].size(); ++m) {
            const SavedTournamentMatch& a = again.mPhases[p][m];
            const SavedTournamentMatch& b = saved.mPhases[p][m];
            if (a.mWinner != b.mWinner || (b.mWinner != 0 && (a.mScoreOne != b.mScoreOne || a.mScoreTwo != b.mScoreTwo)))
                abort();
        }
    }
}

static void CheckTournament(const std::string& bytes) {
    CObjnet object;
    object.SetData(bytes.data(), static_cast<int>(bytes.size()));
    SavedTournament saved;
    saved.mFormat = 0xDEADBEEF;
    if (!ReadTournamentSave(object, saved)) {
        if (saved.mFormat != 0xDEADBEEF || !saved.mPhases.empty())
            abort();
        return;
    }
    CObjnet again;
    WriteTournament(again, saved);
    if (Bytes(again) != bytes)
        abort();
    CheckRestore(saved);
}

static void CheckRecord(const std::string& bytes) {
    CObjnet save;
    save.SetData(bytes.data(), static_cast<int>(bytes.size()));
    TournamentSaveRecord record;
    record.mInfo = "untouched";
    if (!ReadTournamentSaveRecord(save, record)) {
        if (record.mInfo != "untouched" || !record.mMatch.mTeams.empty() || !record.mMatch.mPlayers.empty())
            abort();
        return;
    }
    CheckRestore(record.mTournament);
    // The save-slot list reads the same info text from the same bytes.
    std::string info;
    if (!ReadSaveSlotInfo(save, info) || info != record.mInfo)
        abort();
    // Texts with a NUL cannot be written again as they are.
    if (record.mInfo.find('\0') != std::string::npos)
        return;
    for (const SavedHumanPlayer& player : record.mMatch.mPlayers)
        if (player.mName.find('\0') != std::string::npos)
            return;

    CObjnet tournament;
    WriteTournament(tournament, record.mTournament);
    CObjnet again;
    WriteTournamentSaveRecord(again, record.mInfo, record.mMatch, &tournament);
    TournamentSaveRecord back;
    if (!ReadTournamentSaveRecord(again, back) || back.mInfo != record.mInfo ||
        !SameMatch(back.mMatch, record.mMatch))
        abort();
    CObjnet backTournament;
    WriteTournament(backTournament, back.mTournament);
    if (Bytes(backTournament) != Bytes(tournament))
        abort();
}

// Our tournament restores only teams of the table: the game's own.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TeamDB::LoadFromFile(TAVIRELO_FUZZ_TEAM_TABLE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckRecord(bytes);
    CheckRecord(Tagged(SAVE_INFO_SIGNATURE, bytes));
    CheckTournament(bytes);
    CheckTournament(Tagged(TOURNAMENT_SAVE_SIGNATURE, bytes));
    return 0;
}
