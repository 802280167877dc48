// Save slots: the slot table, info texts read back from ".sav" files (also
// broken ones), the tournament's own save record, and the award decor that
// a finished tournament gives a team.
#include "TablesTestFiles.h"

#include <CLangDB.h>
#include <CObjnet.h>
#include <CTournament.h>
#include <DecorTable.h>
#include <SaveSlots.h>
#include <Team.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <regex>

using tables_test::FreshFolder;
using tables_test::WriteFile;

namespace {

// A tournament with fixed answers.
class FakeTournament : public CTournament {
public:
    void SetMatchResult(MatchSides&, MatchScores&) override {}
    bool IsFinished() override { return mFinished; }
    void Advance() override {}
    void GetTeams(std::vector<Team*>& teams) override { teams = mRanking; }
    void GetCurrentMatches(TournamentMatchList&) override {}
    void GetPhaseMatches(TournamentMatchList&, int) override {}
    void GetPhases(TournamentPhaseList& phases) override { phases = mPhases; }
    void GetInfo(TournamentInfo& info) override { info = mInfo; }
    bool IsNewStep() override { return false; }

    bool mFinished = true;
    std::vector<Team*> mRanking;
    TournamentPhaseList mPhases;
    TournamentInfo mInfo;
};

class WithTournament : public ::testing::Test {
protected:
    void SetUp() override {
        mTournament = new FakeTournament();
        g_pCurrentTournament = mTournament;
        g_bTournamentCareer = 0;
    }
    void TearDown() override {
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
        CLangDB::Instance().Clear();
    }
    FakeTournament* mTournament = nullptr;
};

Team* MakeTeam(const char* name, bool national, int32_t id) {
    Team* team = new Team(name);
    team->mNational = national;
    team->mCountryId = national ? id : 8;
    team->mRegionId = national ? 0 : id;
    return team;
}

// A ".sav" record as the match mode writes it, with an empty team list.
std::string SaveBytes(const std::string& info) {
    CObjnet tournament;
    tournament.StartSignature(TOURNAMENT_SAVE_SIGNATURE);
    tournament.WriteUInt(0);
    tournament.End();
    CObjnet save;
    save.StartSignature(SAVE_INFO_SIGNATURE);
    save.WriteInt(static_cast<int32_t>(info.size()));
    save.WriteString(info.c_str());
    for (int field = 0; field < 6; ++field)
        save.WriteInt(field == 1 ? 1 : 0);
    save.WriteObject(&tournament);
    save.End();
    return std::string(reinterpret_cast<const char*>(save.GetData()), static_cast<size_t>(save.GetSize()));
}

// Runs the game two folders below a scratch root, where the save folder
// "..\\..\\media\\GameSav\\" leads.
class InSaveFolder : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = FreshFolder("root");
        std::filesystem::create_directories(mRoot + "/game/bin");
        ASSERT_NE(getcwd(mPrevious, sizeof(mPrevious)), nullptr);
        ASSERT_EQ(chdir((mRoot + "/game/bin").c_str()), 0);
        CLangDB::Instance().Add("EMPTY_SAVE_SLOT_INFO", "Free slot");
        CLangDB::Instance().Add("UNREADABLE_SAVE_SLOT_INFO", "Unreadable save");
    }
    void TearDown() override {
        EXPECT_EQ(chdir(mPrevious), 0);
        CLangDB::Instance().Clear();
        for (SaveSlot& slot : g_SaveSlotTable)
            slot = SaveSlot();
    }
    std::string SaveDir() {
        std::filesystem::create_directories(mRoot + "/media/GameSav");
        return mRoot + "/media/GameSav/";
    }
    std::string mRoot;
    char mPrevious[PATH_MAX];
};

}  // namespace

TEST_F(InSaveFolder, SlotTableHasPathsKindsAndEmptyTexts) {
    BuildSaveSlotList();
    EXPECT_EQ(g_SaveSlotTable[8].mPath, "..\\\\..\\\\media\\\\GameSav\\\\CHAMPIONSHIP_2.sav");
    EXPECT_EQ(g_SaveSlotTable[8].mKind, SAVE_KIND_CHAMPIONSHIP);
    EXPECT_EQ(g_SaveSlotTable[0].mPath, "..\\\\..\\\\media\\\\GameSav\\\\CAREER_0.sav");
    EXPECT_EQ(g_SaveSlotTable[17].mPath, "..\\\\..\\\\media\\\\GameSav\\\\CUP_5.sav");
    EXPECT_EQ(g_SaveSlotTable[17].mKind, SAVE_KIND_CUP);
    for (const SaveSlot& slot : g_SaveSlotTable)
        EXPECT_EQ(slot.mInfo, "Free slot");

    // No save folder at all: every slot is free.
    for (SaveSlot& slot : g_SaveSlotTable)
        slot.mInfo = "stale";
    RefreshSaveSlotInfos();
    for (const SaveSlot& slot : g_SaveSlotTable)
        EXPECT_EQ(slot.mInfo, "Free slot");
}

TEST_F(InSaveFolder, RefreshReadsSavesAndMarksBrokenFilesUnreadable) {
    BuildSaveSlotList();
    const std::string dir = SaveDir();
    const std::string good = SaveBytes("Cup_09/12/26_10:5");
    WriteFile(dir + "CUP_3.sav", good);
    WriteFile(dir + "CUP_4.sav", SaveBytes(""));
    struct Broken {
        const char* file;
        std::string bytes;
    } broken[] = {
        {"CAREER_1.sav", good.substr(0, 14)},                       // cut inside the info text
        {"CAREER_2.sav", "Tournament_SaveStart and more bytes"},    // not a save
        {"CAREER_3.sav", std::string("\xFD\x93", 2)},               // shorter than a type id
        {"CAREER_4.sav", ""},
        {"CAREER_5.sav", good.substr(0, 8) + std::string("\x7F\xFF\xFF\xFF", 4) + "abc"},   // huge length
    };
    for (const Broken& b : broken)
        WriteFile(dir + b.file, b.bytes);
    for (SaveSlot& slot : g_SaveSlotTable)
        slot.mInfo = "before";

    RefreshSaveSlotInfos();

    EXPECT_EQ(g_SaveSlotTable[2 * 6 + 3].mInfo, "Cup_09/12/26_10:5");
    EXPECT_EQ(g_SaveSlotTable[2 * 6 + 4].mInfo, "");
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(g_SaveSlotTable[slot].mInfo, "Unreadable save") << broken[slot - 1].file;
    EXPECT_EQ(g_SaveSlotTable[0].mInfo, "Free slot");
    EXPECT_EQ(g_SaveSlotTable[6].mInfo, "Free slot");
    EXPECT_TRUE(SaveFileExists(g_SaveSlotTable[15].mPath));
    EXPECT_FALSE(SaveFileExists(g_SaveSlotTable[17].mPath));
}

TEST(SaveSlotInfo, ReadRejectsEveryCutOfASave) {
    const std::string text = "Championnat_01/02/03_4:5";
    const std::string bytes = SaveBytes(text);
    for (size_t cut = 0; cut < 4 + 4 + 4 + text.size(); ++cut) {
        CObjnet save;
        save.SetData(bytes.data(), static_cast<int>(cut));
        std::string info = "kept";
        EXPECT_FALSE(ReadSaveSlotInfo(save, info)) << cut;
        EXPECT_EQ(info, "kept") << cut;
    }
    CObjnet save;
    save.SetData(bytes.data(), static_cast<int>(bytes.size()));
    std::string info;
    EXPECT_TRUE(ReadSaveSlotInfo(save, info));
    EXPECT_EQ(info, text);
}

TEST(SaveSlotInfo, TextOfASaveByKindDateAndTime) {
    CLangDB::Instance().Add("CAREER_SAVE_SLOT_INFO", "Carriere");
    CLangDB::Instance().Add("CUP_SAVE_SLOT_INFO", "Coupe");
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 10;
    when.tm_min = 5;
    EXPECT_EQ(FormatSaveSlotInfo(SAVE_KIND_CUP, when), "Coupe_09/12/26_10:5");
    EXPECT_EQ(FormatSaveSlotInfo(7, when), "_09/12/26_10:5");
    when.tm_year = 2000 - 1900;
    when.tm_mon = 0;
    when.tm_mday = 1;
    when.tm_hour = 0;
    when.tm_min = 0;
    EXPECT_EQ(FormatSaveSlotInfo(SAVE_KIND_CHAMPIONSHIP, when), "CHAMPIONSHIP_SAVE_SLOT_INFO_01/01/00_0:0");

    SaveSlot slot;
    slot.mKind = SAVE_KIND_CAREER;
    BuildSaveSlotInfo(slot);
    EXPECT_TRUE(std::regex_match(slot.mInfo, std::regex("Carriere_\\d\\d/\\d\\d/\\d\\d_\\d{1,2}:\\d{1,2}"))) << slot.mInfo;
    CLangDB::Instance().Clear();
}

TEST_F(WithTournament, TournamentRecordFieldByField) {
    std::unique_ptr<Team> france(MakeTeam("France", true, 8));
    std::unique_ptr<Team> japon(MakeTeam("Japon", true, 10));
    std::unique_ptr<Team> corse(MakeTeam("Corse", false, 6));
    std::unique_ptr<Team> bretagne(MakeTeam("Bretagne", false, 4));
    mTournament->mInfo.mFormat = 1;
    mTournament->mInfo.mExtraInt = 77;
    mTournament->mInfo.mCareerLevel = 3;
    mTournament->mInfo.mCareerStage = 2;
    g_bTournamentCareer = 1;
    TournamentMatch won{france.get(), 0, japon.get(), 1, 13, 7};
    TournamentMatch lost{corse.get(), 1, bretagne.get(), 0, 4, 13};
    TournamentMatch open{corse.get(), 2, bretagne.get(), 2, 0, 0};
    mTournament->mPhases = {{won, lost}, {open}};

    CObjnet save;
    EXPECT_TRUE(WriteTournamentSave(&save));
    ASSERT_EQ(save.BeginReadSignature("Tournament_SaveStart"), 0);
    EXPECT_EQ(save.GetTypeId(), 0x34F0C74Cu);
    EXPECT_EQ(save.ReadUInt(), 1u);
    EXPECT_EQ(save.ReadUInt(), 77u);
    EXPECT_EQ(save.ReadUInt(), 3u);
    EXPECT_EQ(save.ReadUInt(), 2u);
    EXPECT_EQ(save.ReadUShort(), 1u);
    EXPECT_EQ(save.ReadUInt(), 2u);   // phases
    struct Expected {
        uint16_t national;
        uint32_t first, second;
        int32_t winner;
        uint32_t one, two;
    };
    const std::vector<std::vector<Expected>> phases = {
        {{1, 8, 10, -1, 13, 7}, {0, 6, 4, 1, 4, 13}},
        {{0, 6, 4, 0, 0, 0}},
    };
    for (const auto& phase : phases) {
        EXPECT_EQ(save.ReadUInt(), phase.size());
        for (const Expected& m : phase) {
            EXPECT_EQ(save.ReadUShort(), m.national);
            EXPECT_EQ(save.ReadUInt(), m.first);
            EXPECT_EQ(save.ReadUInt(), m.second);
            EXPECT_EQ(save.ReadInt(), m.winner);
            EXPECT_EQ(save.ReadUInt(), m.one);
            EXPECT_EQ(save.ReadUInt(), m.two);
        }
    }
    EXPECT_FALSE(save.HasMoreData());
    EXPECT_FALSE(save.IsFailed());
    EXPECT_EQ(save.GetSize(), 4 + 4 * 4 + 2 + 4 + (4 + 2 * 22) + (4 + 22));

    TournamentInfo info;
    EXPECT_EQ(GetCurrentTournamentInfo(info).mExtraInt, 77);
    EXPECT_EQ(info.mCareerFlag, 1);
}

TEST_F(WithTournament, NoTournamentWritesAnEmptyRecord) {
    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;
    g_bTournamentCareer = 1;
    CObjnet save;
    EXPECT_FALSE(WriteTournamentSave(&save));
    EXPECT_EQ(save.GetSize(), 4 + 4 * 4 + 2 + 4);
    TournamentInfo info;
    info.mFormat = 5;
    EXPECT_EQ(GetCurrentTournamentInfo(info).mFormat, 0);
    EXPECT_EQ(info.mCareerFlag, 1);

    // A match without its teams is saved with ids 0, not read through null.
    g_pCurrentTournament = mTournament = new FakeTournament();
    mTournament->mPhases = {{TournamentMatch()}};
    EXPECT_TRUE(WriteTournamentSave(&save));
    EXPECT_EQ(save.GetSize(), 4 + 4 * 4 + 2 + 4 + 4 + 22);
}

// ---- award decor ----------------------------------------------------------------

TEST(DecorCatalogue, FindsEntriesByExactName) {
    InitDecorTable();
    EXPECT_EQ(g_DecorTable[0].mName, "OB_R_PEN_01");
    EXPECT_EQ(g_DecorTable[DECOR_ENTRY_COUNT - 1].mName, "OB_R_PEN_02");
    DecorEntry* medal = FindDecorEntry("OB_R_MED_02");
    ASSERT_NE(medal, nullptr);
    EXPECT_EQ(medal, &g_DecorTable[3]);
    EXPECT_EQ(medal->mNode, nullptr);
    EXPECT_EQ(FindDecorEntry("ob_r_med_02"), nullptr);
    EXPECT_EQ(FindDecorEntry("OB_R_MED_04"), nullptr);
    EXPECT_EQ(FindDecorEntry(""), nullptr);
}

TEST_F(WithTournament, AwardByPlaceAndKindOfTournament) {
    std::unique_ptr<Team> n1(MakeTeam("France", true, 8)), n2(MakeTeam("Japon", true, 10)),
        n3(MakeTeam("Maroc", true, 11)), n4(MakeTeam("Suede", true, 13));
    std::unique_ptr<Team> r1(MakeTeam("Corse", false, 6)), r2(MakeTeam("Bretagne", false, 4)),
        r3(MakeTeam("Picardie", false, 13)), r4(MakeTeam("Lorraine", false, 10));
    struct Case {
        uint8_t career;
        int32_t level;
        int32_t format;
        bool national;
        const char* places[4];
    } cases[] = {
        {1, 1, 0, true, {"OB_R_CUC_01", "OB_R_CUC_02", "OB_R_CUA_03", "OB_R_CUA_03"}},
        {1, 1, 0, false, {"OB_R_FLA_01", "OB_R_PEN_01", "", ""}},
        {1, 2, 0, false, {"OB_R_CLO_01", "OB_R_BAL_01", "", ""}},
        {1, 3, 0, false, {"OB_R_CUB_01", "OB_R_CUB_02", "OB_R_CUB_03", "OB_R_CUB_03"}},
        {1, 4, 0, false, {"", "", "", ""}},
        {0, 0, 0, true, {"OB_R_CUA_01", "OB_R_CUA_02", "OB_R_CUA_03", "OB_R_CUA_03"}},
        {0, 0, 0, false, {"OB_R_MAN_01", "OB_R_MAN_02", "OB_R_MAN_03", "OB_R_MAN_03"}},
        {0, 0, 1, true, {"OB_R_TAB_01", "OB_R_TAB_02", "OB_R_CEN_01", "OB_R_CEN_01"}},
        {0, 0, 1, false, {"OB_R_MED_01", "OB_R_MED_02", "OB_R_MED_03", "OB_R_MED_03"}},
        {0, 0, 2, true, {"", "", "", ""}},
    };
    InitDecorTable();
    for (const Case& c : cases) {
        g_bTournamentCareer = c.career;
        mTournament->mInfo.mCareerLevel = c.level;
        mTournament->mInfo.mFormat = c.format;
        Team* teams[4] = {c.national ? n1.get() : r1.get(), c.national ? n2.get() : r2.get(),
                          c.national ? n3.get() : r3.get(), c.national ? n4.get() : r4.get()};
        mTournament->mRanking.assign(teams, teams + 4);
        for (int place = 0; place < 4; ++place) {
            std::string award = SelectAwardDecor(teams[place]);
            EXPECT_EQ(award, c.places[place]) << "career " << int(c.career) << " level " << c.level << " format "
                                              << c.format << " national " << c.national << " place " << place;
            if (!award.empty()) {
                EXPECT_NE(FindDecorEntry(award), nullptr) << award;
            }
        }
    }

    mTournament->mFinished = false;
    EXPECT_EQ(SelectAwardDecor(mTournament->mRanking[0]), "");
    mTournament->mFinished = true;
    EXPECT_EQ(SelectAwardDecor(nullptr), "");
    Team* first = mTournament->mRanking[0];
    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;
    EXPECT_EQ(SelectAwardDecor(first), "");
}
