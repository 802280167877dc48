// The tournament's ".sav" record: written by the match mode's save into the
// slot's file, read back whole (and by the save-slot list for its info
// text), and rejected when cut or broken.
#include "TablesTestFiles.h"

#include <CLangDB.h>
#include <CObjnet.h>
#include <CTournament.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TournamentSaveRecord.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

using tables_test::FreshFolder;
using tables_test::WriteFile;

namespace {

class PhasesTournament : public CTournament {
public:
    void SetMatchResult(MatchSides&, MatchScores&) override {}
    bool IsFinished() override { return false; }
    void Advance() override {}
    void GetTeams(std::vector<Team*>&) override {}
    void GetCurrentMatches(TournamentMatchList&) override {}
    void GetPhaseMatches(TournamentMatchList&, int) override {}
    void GetPhases(TournamentPhaseList& phases) override { phases = mPhases; }
    void GetInfo(TournamentInfo& info) override { info = mInfo; }
    bool IsNewStep() override { return false; }

    TournamentPhaseList mPhases;
    TournamentInfo mInfo;
};

std::string Bytes(const CObjnet& object) {
    return std::string(reinterpret_cast<const char*>(object.GetData()), static_cast<size_t>(object.GetSize()));
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void PutU32(std::string& bytes, size_t at, uint32_t value) {
    char word[4];
    CObjnet::WriteU32At(value, word);
    bytes.replace(at, 4, word, 4);
}

SaveMatchDescription Description() {
    SaveMatchDescription match;
    match.mDifficulty = 2;
    match.mGameType = 2;
    match.mNbPlayers = 2;
    match.mIsRegional = 1;
    match.mTeamBeforeNational = 5;
    match.mTeams = {{7, {3, 4}}, {12, {0, 1}}};
    match.mPlayers = {{0, "Ana"}, {1, "Bérénice"}};
    return match;
}

// Runs the game two folders below a scratch root, where the save folder
// "..\\..\\media\\GameSav\\" leads, with a current tournament: one regional
// phase (first team won, second team won) and one national unplayed match.
class TournamentSave : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = FreshFolder("root");
        std::filesystem::create_directories(mRoot + "/game/bin");
        std::filesystem::create_directories(mRoot + "/media/GameSav");
        ASSERT_NE(getcwd(mPrevious, sizeof(mPrevious)), nullptr);
        ASSERT_EQ(chdir((mRoot + "/game/bin").c_str()), 0);
        CLangDB::Instance().Add("EMPTY_SAVE_SLOT_INFO", "Free slot");
        CLangDB::Instance().Add("CUP_SAVE_SLOT_INFO", "Coupe");
        BuildSaveSlotList();

        for (int i = 0; i < 4; ++i) {
            mTeams.emplace_back(new Team("team"));
            mTeams.back()->mRegionId = 20 + i;
            mTeams.back()->mCountryId = 40 + i;
            mTeams.back()->mNational = i >= 2;
        }
        mTournament = new PhasesTournament();
        mTournament->mInfo.mFormat = 1;
        mTournament->mInfo.mExtraInt = 77;
        mTournament->mInfo.mCareerLevel = 3;
        mTournament->mInfo.mCareerStage = 2;
        mTournament->mPhases = {
            {{mTeams[0].get(), 0, mTeams[1].get(), 1, 13, 4}, {mTeams[1].get(), 1, mTeams[0].get(), 0, 9, 13}},
            {{mTeams[2].get(), 2, mTeams[3].get(), 2, 0, 0}},
        };
        g_pCurrentTournament = mTournament;
        g_bTournamentCareer = 1;
    }
    void TearDown() override {
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
        EXPECT_EQ(chdir(mPrevious), 0);
        CLangDB::Instance().Clear();
        for (SaveSlot& slot : g_SaveSlotTable)
            slot = SaveSlot();
    }
    std::string SaveFile(const char* name) { return mRoot + "/media/GameSav/" + name; }

    std::string mRoot;
    char mPrevious[PATH_MAX];
    std::vector<std::unique_ptr<Team>> mTeams;
    PhasesTournament* mTournament = nullptr;
};

void ExpectSameRecord(const TournamentSaveRecord& read, const std::string& info, const SaveMatchDescription& match) {
    EXPECT_EQ(read.mInfo, info);
    EXPECT_EQ(read.mMatch.mDifficulty, match.mDifficulty);
    EXPECT_EQ(read.mMatch.mGameType, match.mGameType);
    EXPECT_EQ(read.mMatch.mNbPlayers, match.mNbPlayers);
    EXPECT_EQ(read.mMatch.mIsRegional, match.mIsRegional);
    EXPECT_EQ(read.mMatch.mTeamBeforeNational, match.mTeamBeforeNational);
    ASSERT_EQ(read.mMatch.mTeams.size(), match.mTeams.size());
    for (size_t i = 0; i < match.mTeams.size(); ++i) {
        EXPECT_EQ(read.mMatch.mTeams[i].mTeamId, match.mTeams[i].mTeamId);
        EXPECT_EQ(read.mMatch.mTeams[i].mActors, match.mTeams[i].mActors);
    }
    ASSERT_EQ(read.mMatch.mPlayers.size(), match.mPlayers.size());
    for (size_t i = 0; i < match.mPlayers.size(); ++i) {
        EXPECT_EQ(read.mMatch.mPlayers[i].mSide, match.mPlayers[i].mSide);
        EXPECT_EQ(read.mMatch.mPlayers[i].mName, match.mPlayers[i].mName);
    }
}

}  // namespace

TEST_F(TournamentSave, SavedFileReadsBackWholeAndInTheSlotList) {
    SaveSlot& slot = g_SaveSlotTable[2 * 6 + 1];
    const SaveMatchDescription match = Description();
    ASSERT_TRUE(SaveTournamentToFile(slot.mPath, slot, match));
    EXPECT_TRUE(std::regex_match(slot.mInfo, std::regex(R"(Coupe_\d\d/\d\d/\d\d_\d{1,2}:\d{1,2})"))) << slot.mInfo;
    EXPECT_FALSE(std::filesystem::exists(SaveFile("CUP_1.sav.tmp")));

    const std::string bytes = ReadWholeFile(SaveFile("CUP_1.sav"));
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFD\x93\x62\x4E", 4));
    EXPECT_EQ(bytes.substr(4, 4), bytes.substr(8, 4));   // info length == the string's own prefix
    EXPECT_NE(bytes.find(std::string("\x34\xF0\xC7\x4C", 4)), std::string::npos);

    TournamentSaveRecord read;
    ASSERT_TRUE(LoadTournamentSaveRecord(slot.mPath, read));
    ExpectSameRecord(read, slot.mInfo, match);

    const SavedTournament& t = read.mTournament;
    EXPECT_EQ(t.mFormat, 1u);
    EXPECT_EQ(t.mExtraInt, 77u);
    EXPECT_EQ(t.mCareerLevel, 3u);
    EXPECT_EQ(t.mCareerStage, 2u);
    EXPECT_EQ(t.mCareerFlag, 1u);
    ASSERT_EQ(t.mPhases.size(), 2u);
    ASSERT_EQ(t.mPhases[0].size(), 2u);
    ASSERT_EQ(t.mPhases[1].size(), 1u);
    struct Expected {
        size_t phase, index;
        uint16_t national;
        uint32_t first, second;
        int32_t winner;
        uint32_t one, two;
    } expected[] = {
        {0, 0, 0, 20, 21, -1, 13, 4},   // regional: region ids, first team won
        {0, 1, 0, 21, 20, 1, 9, 13},    // second team won
        {1, 0, 1, 42, 43, 0, 0, 0},     // national: country ids, not played
    };
    for (const Expected& e : expected) {
        const SavedTournamentMatch& m = t.mPhases[e.phase][e.index];
        EXPECT_EQ(m.mNational, e.national) << e.phase << "/" << e.index;
        EXPECT_EQ(m.mFirstTeamId, e.first) << e.phase << "/" << e.index;
        EXPECT_EQ(m.mSecondTeamId, e.second) << e.phase << "/" << e.index;
        EXPECT_EQ(m.mWinner, e.winner) << e.phase << "/" << e.index;
        EXPECT_EQ(m.mScoreOne, e.one) << e.phase << "/" << e.index;
        EXPECT_EQ(m.mScoreTwo, e.two) << e.phase << "/" << e.index;
    }

    // The save screen shows the stored text after a restart.
    const std::string info = slot.mInfo;
    BuildSaveSlotList();
    RefreshSaveSlotInfos();
    EXPECT_EQ(g_SaveSlotTable[2 * 6 + 1].mInfo, info);
    EXPECT_EQ(g_SaveSlotTable[2 * 6 + 2].mInfo, "Free slot");
}

TEST_F(TournamentSave, RecordAndSaveSlotCodeReadEachOthersBytes) {
    // The tournament object the save-slot code writes, read on its own.
    CObjnet tournament;
    ASSERT_TRUE(WriteTournamentSave(&tournament));
    SavedTournament saved;
    ASSERT_TRUE(ReadTournamentSave(tournament, saved));
    EXPECT_EQ(saved.mPhases.size(), 2u);

    // A record with no players and no teams is 40 + L + m bytes.
    SaveMatchDescription empty;
    empty.mGameType = 3;
    const std::string info = "Carrière_09/12/26_10:5";
    CObjnet save;
    WriteTournamentSaveRecord(save, info, empty, &tournament);
    EXPECT_EQ(save.GetSize(), 40 + static_cast<int>(info.size()) + tournament.GetSize());

    std::string slotInfo;
    ASSERT_TRUE(ReadSaveSlotInfo(save, slotInfo));
    EXPECT_EQ(slotInfo, info);

    // A record built by hand the way the save-slot tests build theirs.
    CObjnet handMade;
    handMade.StartSignature(SAVE_INFO_SIGNATURE);
    handMade.WriteInt(static_cast<int32_t>(info.size()));
    handMade.WriteString(info.c_str());
    for (int field = 0; field < 6; ++field)
        handMade.WriteInt(field == 1 ? 1 : 0);
    handMade.WriteObject(&tournament);
    handMade.End();
    SaveMatchDescription oneEach;
    CObjnet written;
    WriteTournamentSaveRecord(written, info, oneEach, &tournament);
    EXPECT_EQ(Bytes(handMade), Bytes(written));
    TournamentSaveRecord read;
    ASSERT_TRUE(ReadTournamentSaveRecord(handMade, read));
    EXPECT_EQ(read.mInfo, info);
    EXPECT_EQ(read.mMatch.mGameType, 1);
    EXPECT_EQ(read.mTournament.mPhases.size(), 2u);
}

TEST_F(TournamentSave, EveryCutAndBrokenCountIsRejected) {
    const SaveMatchDescription match = Description();
    const std::string info = "Coupe_01/02/03_4:5";
    CObjnet tournament;
    ASSERT_TRUE(WriteTournamentSave(&tournament));
    CObjnet save;
    WriteTournamentSaveRecord(save, info, match, &tournament);
    const std::string bytes = Bytes(save);

    TournamentSaveRecord untouched;
    untouched.mInfo = "kept";
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        CObjnet cutSave;
        cutSave.SetData(bytes.data(), static_cast<int>(cut));
        TournamentSaveRecord read = untouched;
        EXPECT_FALSE(ReadTournamentSaveRecord(cutSave, read)) << cut;
        EXPECT_EQ(read.mInfo, "kept") << cut;
    }

    const size_t L = info.size();
    const size_t nested = bytes.size() - tournament.GetSize();   // first byte of the nested object
    const size_t phaseCount = nested + 4 * 5 + 2;
    struct Broken {
        const char* what;
        size_t at;
        uint32_t value;
    } broken[] = {
        {"info string longer than the file", 8, 0x7FFFFFFF},
        {"negative game type", 16 + L, 0xFFFFFFFF},
        {"huge game type", 16 + L, 0x40000000},
        {"negative player count", 20 + L, 0x80000000},
        {"more players than bytes", 20 + L, 1000},
        {"negative team count", 32 + L, 0xFFFFFFFF},
        {"more teams than bytes", 32 + L, 0xFFFF},
        {"nested length past the end", nested - 4, 0x7FFFFFF0},
        {"nested object not a tournament", nested, 0x12345678},
        {"more phases than bytes", phaseCount, 0xFFFFFFFF},
        {"more matches than bytes", phaseCount + 4, 4},
    };
    for (const Broken& b : broken) {
        std::string bad = bytes;
        PutU32(bad, b.at, b.value);
        CObjnet badSave;
        badSave.SetData(bad.data(), static_cast<int>(bad.size()));
        TournamentSaveRecord read = untouched;
        EXPECT_FALSE(ReadTournamentSaveRecord(badSave, read)) << b.what;
        EXPECT_EQ(read.mInfo, "kept") << b.what;
    }

    // Bytes after the record, or an empty nested field, are not a save either.
    CObjnet longer;
    longer.SetData((bytes + "x").data(), static_cast<int>(bytes.size() + 1));
    TournamentSaveRecord read;
    EXPECT_FALSE(ReadTournamentSaveRecord(longer, read));
    CObjnet noTournament;
    WriteTournamentSaveRecord(noTournament, info, match, nullptr);
    EXPECT_FALSE(ReadTournamentSaveRecord(noTournament, read));

    CObjnet whole;
    whole.SetData(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(ReadTournamentSaveRecord(whole, read));
    ExpectSameRecord(read, info, match);
}

TEST_F(TournamentSave, FailedSaveKeepsThePreviousFile) {
    SaveSlot& slot = g_SaveSlotTable[3];
    ASSERT_TRUE(SaveTournamentToFile(slot.mPath, slot, Description()));
    const std::string before = ReadWholeFile(SaveFile("CAREER_3.sav"));
    const std::string infoBefore = slot.mInfo;

    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;
    EXPECT_FALSE(SaveTournamentToFile(slot.mPath, slot, SaveMatchDescription()));
    EXPECT_EQ(ReadWholeFile(SaveFile("CAREER_3.sav")), before);
    EXPECT_EQ(slot.mInfo, infoBefore);

    // No save folder: nothing written, nothing reported as saved.
    g_pCurrentTournament = mTournament = new PhasesTournament();
    std::filesystem::remove_all(mRoot + "/media/GameSav");
    EXPECT_FALSE(SaveTournamentToFile(slot.mPath, slot, Description()));
    EXPECT_FALSE(SaveFileExists(slot.mPath));
}

TEST(TournamentSaveWriter, MissingActorsAndPlayersKeepTheCountsTrue) {
    SaveMatchDescription match;
    match.mGameType = 3;
    match.mNbPlayers = 2;
    match.mTeams = {{9, {5}}};
    match.mPlayers = {{1, "Solo"}};
    CObjnet tournament;
    tournament.StartSignature(TOURNAMENT_SAVE_SIGNATURE);
    for (int field = 0; field < 4; ++field)
        tournament.WriteUInt(0);
    tournament.WriteUShort(0);
    tournament.WriteUInt(0);
    tournament.End();
    CObjnet save;
    WriteTournamentSaveRecord(save, "x", match, &tournament);

    TournamentSaveRecord read;
    ASSERT_TRUE(ReadTournamentSaveRecord(save, read));
    ASSERT_EQ(read.mMatch.mTeams.size(), 1u);
    EXPECT_EQ(read.mMatch.mTeams[0].mActors, (std::vector<uint16_t>{5, 0, 0}));
    ASSERT_EQ(read.mMatch.mPlayers.size(), 2u);
    EXPECT_EQ(read.mMatch.mPlayers[0].mName, "Solo");
    EXPECT_EQ(read.mMatch.mPlayers[1].mSide, 0);
    EXPECT_EQ(read.mMatch.mPlayers[1].mName, "");
}

// The venue trails the nested tournament: a save written before it existed
// still loads (no venue), and a venue that is none of ours leaves the
// tournament playable at the default one.
TEST_F(TournamentSave, TheVenueTrailsTheTournamentAndSavesWithoutOneStillLoad) {
    CObjnet tournament;
    ASSERT_TRUE(WriteTournamentSave(&tournament));
    SaveMatchDescription match = Description();
    CObjnet older;
    WriteTournamentSaveRecord(older, "info", match, &tournament);

    struct Case {
        const char* what;
        int32_t written;
        int32_t read;
    } cases[] = {
        {"no venue: a save of an older build", -1, -1},
        {"venue 0", 0, 0},
        {"venue 3", 3, 3},
        {"venue past the last", SAVED_VENUE_COUNT, -1},
        {"huge venue", 0x7FFFFFFF, -1},
    };
    for (const Case& c : cases) {
        match.mVenue = -1;
        CObjnet save;
        WriteTournamentSaveRecord(save, "info", match, &tournament);
        std::string bytes = Bytes(save);
        if (c.written != -1) {
            EXPECT_EQ(bytes, Bytes(older)) << c.what;
            bytes.append(4, '\0');
            PutU32(bytes, bytes.size() - 4, static_cast<uint32_t>(c.written));
        }
        CObjnet file;
        file.SetData(bytes.data(), static_cast<int>(bytes.size()));
        TournamentSaveRecord read;
        ASSERT_TRUE(ReadTournamentSaveRecord(file, read)) << c.what;
        EXPECT_EQ(read.mMatch.mVenue, c.read) << c.what;
        EXPECT_EQ(read.mTournament.mPhases.size(), 2u) << c.what;
    }

    // The writer's own venue reads back; more than one trailing field is no save.
    match.mVenue = 2;
    CObjnet withVenue;
    WriteTournamentSaveRecord(withVenue, "info", match, &tournament);
    EXPECT_EQ(withVenue.GetSize(), older.GetSize() + 4);
    const std::string once = Bytes(withVenue);
    CObjnet file;
    file.SetData(once.data(), static_cast<int>(once.size()));
    TournamentSaveRecord read;
    ASSERT_TRUE(ReadTournamentSaveRecord(file, read));
    EXPECT_EQ(read.mMatch.mVenue, 2);
    const std::string twice = Bytes(withVenue) + std::string("\0\0\0\1", 4);
    CObjnet longer;
    longer.SetData(twice.data(), static_cast<int>(twice.size()));
    EXPECT_FALSE(ReadTournamentSaveRecord(longer, read));
}
