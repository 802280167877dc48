// Hand-made save records (as a player who copies, restores or edits save
// files would leave them) in the championship, cup and career slots, chosen
// on the real save screen: another kind's record, a record without the
// gamer's team, each value out of its range and a record cut at each of its
// section boundaries. Each is refused on the screen (the slot reads
// unreadable, before and after it was chosen) and in the log, starts no
// tournament, and leaves every save file's bytes as they were.
#include "CompetitionMenuTest.h"

#include <CCompetition.h>
#include <CGameMode.h>
#include <CLangDB.h>
#include <CMenuGameModeCarreer.h>
#include <CMenuGameModeChamp.h>
#include <CObjnet.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <GameDifficulty.h>
#include <MenuModes.h>
#include <PlayerDB.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
const char kQm[] = "QUICKMATCHPARAMS";
const int kTypes[SAVE_SLOT_KIND_COUNT] = {COMPETITION_CAREER, COMPETITION_CHAMPIONSHIP, COMPETITION_CUP};
const char* const kKindNames[SAVE_SLOT_KIND_COUNT] = {"career", "championship", "cup"};
// The slot the hostile record lies in ("Slot2" on the screen); slot 0 of
// every kind holds a good save that must stay as it is.
const int kSlot = 1;

std::vector<std::string>& LogLines() {
    static std::vector<std::string> lines;
    return lines;
}
void CollectLog(const char* line) { LogLines().push_back(line ? line : ""); }

// The nested tournament object, field by field as the game writes it.
void WriteSavedTournament(const SavedTournament& saved, CObjnet& object) {
    object.StartSignature(TOURNAMENT_SAVE_SIGNATURE);
    object.WriteUInt(saved.mFormat);
    object.WriteUInt(saved.mExtraInt);
    object.WriteUInt(saved.mCareerLevel);
    object.WriteUInt(saved.mCareerStage);
    object.WriteUShort(saved.mCareerFlag);
    object.WriteUInt(static_cast<uint32_t>(saved.mPhases.size()));
    for (const std::vector<SavedTournamentMatch>& phase : saved.mPhases) {
        object.WriteUInt(static_cast<uint32_t>(phase.size()));
        for (const SavedTournamentMatch& match : phase) {
            object.WriteUShort(match.mNational);
            object.WriteUInt(match.mFirstTeamId);
            object.WriteUInt(match.mSecondTeamId);
            object.WriteUInt(static_cast<uint32_t>(match.mWinner));
            object.WriteUInt(match.mScoreOne);
            object.WriteUInt(match.mScoreTwo);
        }
    }
    object.End();
}

std::string BytesOf(const TournamentSaveRecord& record) {
    CObjnet tournament;
    WriteSavedTournament(record.mTournament, tournament);
    CObjnet save;
    WriteTournamentSaveRecord(save, record.mInfo, record.mMatch, &tournament);
    return std::string(reinterpret_cast<const char*>(save.GetData()), static_cast<size_t>(save.GetSize()));
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class SaveRefusals : public CompetitionMenuTest {
protected:
    void SetUp() override {
        CompetitionMenuTest::SetUp();
        ASSERT_NE(getcwd(mPrevious, sizeof mPrevious), nullptr);
        mRoot = fs::path(KEM_TEST_BINARY_DIR) /
                (std::string("save_refusals_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mRoot);
        fs::create_directories(mRoot / "a" / "b");
        fs::create_directories(SaveDir());
        ASSERT_EQ(chdir((mRoot / "a" / "b").c_str()), 0);
        BuildSaveSlotList();
        for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind)
            ASSERT_NO_FATAL_FAILURE(MakeGoodSave(kind));
    }
    void TearDown() override {
        PlatSetLogSink(nullptr);
        ASSERT_EQ(chdir(mPrevious), 0);
        g_SelectedDifficulty = g_CurrentDifficulty = 1;
        CompetitionMenuTest::TearDown();
    }
    fs::path SaveDir() const { return mRoot / "media" / "GameSav"; }
    static SaveSlot& Slot(int kind, int slot) { return g_SaveSlotTable[kind * SAVE_SLOTS_PER_KIND + slot]; }
    static void SetInt(const char* name, int value, const char* section = kQm) {
        CEnvironmentVariable* v = gSceneMgr.GetEnvironment().GetVariable(section, name, true);
        v->FreeValue();
        v->SetInt(value);
    }
    static int Screen(CMenuGameMode& flow) { return flow.GetStateMachine()->GetCurrentState(); }
    static std::string Text(const std::string& window) {
        CEGUI::Window* w = gGUIMgr.GetWindow(window);
        return w ? std::string(w->getText().c_str()) : std::string("(no window ") + window + ")";
    }
    static std::unique_ptr<CMenuGameMode> FlowOf(int kind) {
        switch (kind) {
        case SAVE_KIND_CAREER: return std::make_unique<CMenuGameModeCarreer>(2);
        case SAVE_KIND_CHAMPIONSHIP: return std::make_unique<CMenuGameModeChamp>(2);
        default: return std::make_unique<CMenuGameModeCup>(2);
        }
    }

    // A tournament of the kind after the gamer's first match, saved by the
    // game in slot 0 of the kind: regional team 9 named Ines; a career at
    // its second stage (doublettes), a cup of two gamers (regions 9 and 4).
    void MakeGoodSave(int kind) {
        gSceneMgr.GetEnvironment().Clear();
        const bool career = kind == SAVE_KIND_CAREER, cup = kind == SAVE_KIND_CUP;
        const int gameType = career ? 2 : 3;
        SetInt("tournamentType", kTypes[kind]);
        SetInt("careerStep", 2);
        SetInt("IsRegional", 1);
        SetInt("NbPlayers", cup ? 2 : 1);
        SetInt("Team_0", 9);
        SetInt("Team_1", 4);
        SetInt("GameType", gameType);
        ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
        CCompetition* competition = static_cast<CCompetition*>(g_pCurrentTournament);
        TournamentMatch first;
        ASSERT_TRUE(competition->NextPlayedMatch(first));
        MatchSides sides;
        sides.mFirstTeam = first.mFirstTeam;
        MatchScores scores;
        scores.mLoserPoints = 7;
        competition->SetMatchResult(sides, scores);
        SaveMatchDescription match;
        match.mDifficulty = 2;
        match.mGameType = gameType;
        match.mNbPlayers = cup ? 2 : 1;
        match.mIsRegional = 1;
        match.mTeamBeforeNational = 9;
        match.mTeams = {{9, std::vector<uint16_t>(gameType, 0)}};
        match.mTeams[0].mActors[gameType - 1] = 1;
        match.mPlayers = {{0, "Ines"}};
        if (cup) {
            match.mTeams.push_back({4, std::vector<uint16_t>(gameType, 2)});
            match.mPlayers.push_back({1, "Noe"});
        }
        match.mVenue = 1;
        ASSERT_TRUE(SaveTournamentToFile(Slot(kind, 0).mPath, Slot(kind, 0), match));
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
        const fs::path file = SaveDir() / PathName(kind, 0);
        mGood[kind].bytes = ReadBytes(file);
        CObjnet object;
        ASSERT_EQ(object.LoadFromFile(Slot(kind, 0).mPath.c_str()), 0);
        ASSERT_TRUE(ReadTournamentSaveRecord(object, mGood[kind].record));
        // The hand-made records below are written by BytesOf: it must write
        // what the game writes.
        ASSERT_EQ(BytesOf(mGood[kind].record), mGood[kind].bytes) << kKindNames[kind];
    }
    static std::string PathName(int kind, int slot) {
        static const char* const prefixes[] = {"CAREER_", "CHAMPIONSHIP_", "CUP_"};
        return prefixes[kind] + std::to_string(slot) + ".sav";
    }
    std::map<std::string, std::string> Folder() const {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(SaveDir()))
            files[entry.path().filename().string()] = ReadBytes(entry.path());
        return files;
    }

    // Lays `bytes` in slot kSlot of the kind, chooses it on the save screen
    // (Continue on a used slot) and checks it was refused: the screen shows
    // it unreadable before and after the choice, the log says why, nothing
    // starts and no file changes. `what` names the case.
    void ExpectRefused(int kind, const std::string& bytes, const std::string& what) {
        SCOPED_TRACE(std::string(kKindNames[kind]) + " slot: " + what);
        std::ofstream(SaveDir() / PathName(kind, kSlot), std::ios::binary | std::ios::trunc) << bytes;
        const std::map<std::string, std::string> before = Folder();
        gSceneMgr.GetEnvironment().Clear();
        g_SelectedDifficulty = g_CurrentDifficulty = 1;
        LogLines().clear();
        PlatSetLogSink(&CollectLog);
        std::unique_ptr<CMenuGameMode> flow = FlowOf(kind);
        ASSERT_TRUE(flow->Init());
        ASSERT_EQ(Screen(*flow), 0);
        const std::string unreadable = GetText("UNREADABLE_SAVE_SLOT_INFO");
        EXPECT_EQ(Text("Slot2"), unreadable) << "before the choice";
        // As the save screen's Continue leaves it.
        SetInt("save_slot", kSlot, "SAVE");
        SetInt("tournamentType", kTypes[kind]);
        flow->StartMatch();
        PlatSetLogSink(nullptr);

        EXPECT_FALSE(flow->IsFinished());
        EXPECT_EQ(Screen(*flow), 0);
        EXPECT_EQ(g_pCurrentTournament, nullptr);
        EXPECT_EQ(g_CurrentDifficulty, 1);
        EXPECT_EQ(Text("Slot2"), unreadable) << "after the choice";
        EXPECT_EQ(Slot(kind, kSlot).mInfo, unreadable);
        // The other slots keep their saves' texts.
        EXPECT_EQ(Text("Slot1"), mGood[kind].record.mInfo);
        for (int other = 0; other < SAVE_SLOT_KIND_COUNT; ++other)
            EXPECT_EQ(Slot(other, 0).mInfo, mGood[other].record.mInfo) << kKindNames[other];
        bool logged = false;
        for (const std::string& line : LogLines())
            logged = logged || (line.find(PathName(kind, kSlot)) != std::string::npos &&
                                (line.find("refused") != std::string::npos ||
                                 line.find("not a whole tournament save") != std::string::npos));
        EXPECT_TRUE(logged);
        EXPECT_TRUE(Folder() == before) << "a save file changed";
        EXPECT_EQ(ReadBytes(SaveDir() / PathName(kind, kSlot)), bytes);
    }

    struct Good {
        std::string bytes;
        TournamentSaveRecord record;
    };
    Good mGood[SAVE_SLOT_KIND_COUNT];
    fs::path mRoot;
    char mPrevious[4096];
};

// The table's refusals are not the flow refusing everything: each kind's
// own save, copied to another slot of its kind, resumes from it.
TEST_F(SaveRefusals, AGoodSaveOfTheSlotsKindResumes) {
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind) {
        SCOPED_TRACE(kKindNames[kind]);
        std::ofstream(SaveDir() / PathName(kind, kSlot), std::ios::binary | std::ios::trunc) << mGood[kind].bytes;
        gSceneMgr.GetEnvironment().Clear();
        std::unique_ptr<CMenuGameMode> flow = FlowOf(kind);
        ASSERT_TRUE(flow->Init());
        EXPECT_EQ(Text("Slot2"), mGood[kind].record.mInfo);
        SetInt("save_slot", kSlot, "SAVE");
        SetInt("tournamentType", kTypes[kind]);
        flow->StartMatch();
        EXPECT_TRUE(flow->IsFinished());
        EXPECT_EQ(flow->GetNextModeId(), GAME_MODE_QUICK_MATCH);
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_EQ(g_bTournamentCareer, kind == SAVE_KIND_CAREER ? 1 : 0);
        EXPECT_EQ(g_CurrentDifficulty, 2);
        EXPECT_FALSE(TeamDB::GetRegionalTeam(9)->mComputer);
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
    }
}

// A career record copied into a championship slot (and every other pair of
// kinds) is refused: it would play as a career and write the career's slot.
TEST_F(SaveRefusals, ARecordOfAnotherKindIsRefusedInEverySlotKind) {
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind)
        for (int other = 0; other < SAVE_SLOT_KIND_COUNT; ++other)
            if (other != kind)
                ExpectRefused(kind, mGood[other].bytes, std::string("a ") + kKindNames[other] + " record");
    // The kind's own record under another kind's marks: each mark alone.
    struct Mark {
        const char* what;
        std::function<void(SavedTournament&, int kind)> change;
    };
    const Mark marks[] = {
        {"another kind number", [](SavedTournament& t, int kind) { t.mExtraInt = kTypes[(kind + 1) % 3]; }},
        {"the career flag turned", [](SavedTournament& t, int) { t.mCareerFlag = t.mCareerFlag ? 0 : 1; }},
        {"the other format", [](SavedTournament& t, int) { t.mFormat = t.mFormat ? 0 : 1; }},
    };
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind)
        for (const Mark& mark : marks) {
            TournamentSaveRecord record = mGood[kind].record;
            mark.change(record.mTournament, kind);
            ExpectRefused(kind, BytesOf(record), mark.what);
        }
}

// A record without the gamer's team would play every match by itself and
// save a tournament nobody played; each value out of its range is refused
// where the record is read, never played as something else.
TEST_F(SaveRefusals, AMissingGamerTeamOrAValueOutOfRangeIsRefused) {
    struct Case {
        const char* what;
        std::function<void(TournamentSaveRecord&)> change;
        bool careerOnly = false;
    };
    const auto firstTeam = [](TournamentSaveRecord& r) -> SavedTeamLineUp& { return r.mMatch.mTeams[0]; };
    const Case cases[] = {
        {"team id not in the table", [&](TournamentSaveRecord& r) { firstTeam(r).mTeamId = 99; }},
        {"no gamer at all",
         [](TournamentSaveRecord& r) {
             r.mMatch.mNbPlayers = 0;
             r.mMatch.mTeams.clear();
             r.mMatch.mPlayers.clear();
         }},
        {"gamer's team from the other table, outside the draw", [](TournamentSaveRecord& r) { r.mMatch.mIsRegional = 0; }},
        {"game type 0", [](TournamentSaveRecord& r) { r.mMatch.mGameType = 0; }},
        {"game type 4", [](TournamentSaveRecord& r) {
             r.mMatch.mGameType = 4;
             for (SavedTeamLineUp& team : r.mMatch.mTeams)
                 team.mActors.resize(4, 0);
         }},
        {"NbPlayers 7", [](TournamentSaveRecord& r) {
             r.mMatch.mNbPlayers = 7;
             r.mMatch.mPlayers.resize(7, r.mMatch.mPlayers[0]);
         }},
        {"IsRegional 2", [](TournamentSaveRecord& r) { r.mMatch.mIsRegional = 2; }},
        {"actor index 40000", [&](TournamentSaveRecord& r) { firstTeam(r).mActors[0] = 40000; }},
        {"a team more than gamers", [](TournamentSaveRecord& r) { r.mMatch.mTeams.push_back(r.mMatch.mTeams[0]); }},
        {"a name with markup and a line break", [](TournamentSaveRecord& r) { r.mMatch.mPlayers[0].mName = "[b]x\n"; }},
        {"a name of 300 bytes", [](TournamentSaveRecord& r) { r.mMatch.mPlayers[0].mName.assign(300, 'a'); }},
        {"a score of 40000", [](TournamentSaveRecord& r) {
             for (SavedTournamentMatch& m : r.mTournament.mPhases[0])
                 if (m.mWinner != 0)
                     (m.mWinner == 1 ? m.mScoreTwo : m.mScoreOne) = 40000;
         }},
        {"the winner scored less", [](TournamentSaveRecord& r) {
             for (SavedTournamentMatch& m : r.mTournament.mPhases[0])
                 if (m.mWinner != 0)
                     std::swap(m.mScoreOne, m.mScoreTwo);
         }},
        {"a score in a match not played", [](TournamentSaveRecord& r) {
             for (SavedTournamentMatch& m : r.mTournament.mPhases.back())
                 if (m.mWinner == 0)
                     m.mScoreOne = 13;
         }},
        {"career level 9", [](TournamentSaveRecord& r) { r.mTournament.mCareerLevel = 9; }},
        {"career stage 5", [](TournamentSaveRecord& r) { r.mTournament.mCareerStage = 5; }},
        {"career level 0", [](TournamentSaveRecord& r) { r.mTournament.mCareerLevel = 0; }, true},
        {"world stage of a regional team", [](TournamentSaveRecord& r) {
             r.mTournament.mCareerLevel = 3;
             r.mTournament.mCareerStage = 2;
             r.mMatch.mGameType = 3;
             r.mMatch.mTeams[0].mActors.resize(3, 0);
         }, true},
        {"career at doublettes with one player a side", [](TournamentSaveRecord& r) {
             r.mMatch.mGameType = 1;
             r.mMatch.mTeams[0].mActors.resize(1);
         }, true},
        {"career team other than its region", [](TournamentSaveRecord& r) { r.mMatch.mTeamBeforeNational = 4; },
         true},
    };
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind)
        for (const Case& c : cases) {
            if (c.careerOnly && kind != SAVE_KIND_CAREER)
                continue;
            TournamentSaveRecord record = mGood[kind].record;
            c.change(record);
            ExpectRefused(kind, BytesOf(record), c.what);
        }
}

// A record cut at each boundary between its sections (and inside the venue
// that trails it) reads as no save; so do NbPlayers -1 and a cut just after
// the header, as the review found them.
TEST_F(SaveRefusals, ARecordCutAtEachSectionBoundaryIsRefused) {
    for (int kind = 0; kind < SAVE_SLOT_KIND_COUNT; ++kind) {
        const TournamentSaveRecord& record = mGood[kind].record;
        const std::string& bytes = mGood[kind].bytes;
        const SaveMatchDescription& match = record.mMatch;
        std::vector<size_t> cuts = {0, 4, 8};
        size_t at = 12 + record.mInfo.size();   // after the info text
        cuts.push_back(at);
        for (int field = 0; field < 6; ++field)   // difficulty .. team count
            cuts.push_back(at += 4);
        for (size_t t = 0; t < match.mTeams.size(); ++t)
            cuts.push_back(at += 2 + 2 * static_cast<size_t>(match.mGameType));
        for (const SavedHumanPlayer& player : match.mPlayers)
            cuts.push_back(at += 12 + player.mName.size());
        cuts.push_back(at += 4);   // the nested object's length
        for (size_t field : {4, 4, 4, 4, 4, 2, 4})   // its type id .. its phase count
            cuts.push_back(at += field);
        const size_t venueAt = bytes.size() - 4;
        cuts.push_back(at + (venueAt - at) / 2);   // inside the phases
        for (size_t inVenue : {1, 2, 3})
            cuts.push_back(venueAt + inVenue);
        for (size_t cut : cuts) {
            ASSERT_LT(cut, bytes.size());
            ExpectRefused(kind, bytes.substr(0, cut), "cut at byte " + std::to_string(cut));
        }
        TournamentSaveRecord negative = record;
        negative.mMatch.mNbPlayers = -1;
        ExpectRefused(kind, BytesOf(negative), "NbPlayers -1");
    }
}

// A career keeps its difficulty from its first stage to its last: a stage
// saved at hard, the options then set to easy (as the options screen sets
// them), the process started again and the career continued from its slot:
// the next stage is drawn and played at hard; a new career takes the
// options' difficulty.
TEST_F(SaveRefusals, ACareerKeepsItsDifficultyAtItsNextStageAfterARestart) {
    // The career's second stage, won and over, saved at hard.
    gSceneMgr.GetEnvironment().Clear();
    g_SelectedDifficulty = g_CurrentDifficulty = 2;
    SetInt("tournamentType", COMPETITION_CAREER);
    SetInt("careerStep", 2);
    SetInt("IsRegional", 1);
    SetInt("NbPlayers", 1);
    SetInt("Team_0", 9);
    SetInt("GameType", 2);
    ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
    CCompetition* career = static_cast<CCompetition*>(g_pCurrentTournament);
    TournamentMatch next;
    while (career->NextPlayedMatch(next)) {
        MatchSides sides;
        sides.mFirstTeam = next.mFirstTeam;
        sides.mSecondTeamWon = career->IsHuman(next.mFirstTeam) ? 0 : 1;
        MatchScores scores;
        career->SetMatchResult(sides, scores);
    }
    while (!career->IsFinished())
        career->Advance();
    SaveMatchDescription match = mGood[SAVE_KIND_CAREER].record.mMatch;
    match.mDifficulty = static_cast<uint32_t>(g_CurrentDifficulty);
    ASSERT_TRUE(SaveTournamentToFile(Slot(SAVE_KIND_CAREER, kSlot).mPath, Slot(SAVE_KIND_CAREER, kSlot), match));
    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;

    // Started again with the options at easy.
    gSceneMgr.GetEnvironment().Clear();
    g_SelectedDifficulty = g_CurrentDifficulty = 0;
    {
        CMenuGameModeCarreer fresh(2);
        ASSERT_TRUE(fresh.Init());
        SetInt("save_slot", kSlot, "SAVE");
        SetInt("tournamentType", COMPETITION_CAREER);
        fresh.StartMatch();
        ASSERT_TRUE(fresh.IsFinished());
        ASSERT_EQ(fresh.GetNextModeId(), GAME_MODE_CAREER_MENUS);
    }
    // The options screen visited between the two (it sets both levels).
    g_SelectedDifficulty = g_CurrentDifficulty = 0;
    {
        CMenuGameModeCarreer flow(6);
        ASSERT_TRUE(flow.Init());
        EXPECT_EQ(flow.GetCareerType(), 3);
        for (int guard = 0; guard < 6 && !flow.IsFinished(); ++guard)
            flow.Next();
        ASSERT_TRUE(flow.IsFinished());
        ASSERT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    }
    ASSERT_NE(g_pCurrentTournament, nullptr);
    TournamentInfo info;
    g_pCurrentTournament->GetInfo(info);
    EXPECT_EQ(CareerStageOf(info), 3);
    EXPECT_EQ(g_CurrentDifficulty, 2) << "the third stage plays at the career's difficulty";
    EXPECT_EQ(g_SelectedDifficulty, 0);

    // A new career from the save screen takes the options' difficulty.
    gSceneMgr.GetEnvironment().Clear();
    SetInt(kCareerDifficultyKey, 2);   // left by the career before
    {
        CMenuGameModeCarreer flow(2);
        ASSERT_TRUE(flow.Init());
        SetInt("save_slot", 3, "SAVE");
        for (int guard = 0; guard < 8 && !flow.IsFinished(); ++guard) {
            if (Screen(flow) == CMenuGameModeCarreer::SCREEN_ACTOR) {
                flow.SetTeamRegion(0, 9);
                flow.SetGameType(1);
            }
            flow.Next();
        }
        ASSERT_TRUE(flow.IsFinished());
    }
    EXPECT_EQ(g_CurrentDifficulty, 0) << "a new career plays at the options' difficulty";
}

// The end frame's "change team" / "change game type" after a tournament
// ended (its save in slot 0): the flow opens on the save screen, where the
// ended tournament's slot shows its save; a new slot chosen there leads to
// the screen the button asked for, and the new tournament is the new slot's.
// Slot 0's file stays as it was.
TEST_F(SaveRefusals, AfterATournamentsEndAnotherTeamIsSavedInASlotThePlayerChooses) {
    struct Case {
        int kind, backInState;   // as the end frame's buttons write them
    };
    for (const Case& c : {Case{SAVE_KIND_CHAMPIONSHIP, 3}, Case{SAVE_KIND_CUP, 2}, Case{SAVE_KIND_CAREER, 2}}) {
        SCOPED_TRACE(kKindNames[c.kind]);
        const std::map<std::string, std::string> before = Folder();
        // The match description the end frame writes back, in the ended
        // tournament's slot.
        gSceneMgr.GetEnvironment().Clear();
        SetInt("tournamentType", kTypes[c.kind]);
        SetInt("save_slot", 0, "SAVE");
        SetInt("NbPlayers", 1);
        SetInt("mNbGamersTeams", 1);
        SetInt("IsRegional", 1);
        SetInt("Team_0", 9);
        SetInt("GameType", 1);
        SetInt("back_in_state", c.backInState);
        SetInt("backFromMatch", 0);
        std::unique_ptr<CMenuGameMode> flow = FlowOf(c.kind);
        ASSERT_TRUE(flow->Init());
        ASSERT_EQ(Screen(*flow), 0);
        EXPECT_EQ(Text("Slot1"), mGood[c.kind].record.mInfo);
        Click("Slot4");
        Click("BtnCreate");
        Click("BtnValid");
        flow->GetStateMachine()->Update();
        EXPECT_EQ(Screen(*flow), c.backInState);
        EXPECT_EQ(Int("SAVE", "save_slot"), 3);
        for (int guard = 0; guard < 8 && !flow->IsFinished(); ++guard) {
            flow->SetTeamRegion(0, 9);
            flow->SetGameType(1);
            flow->Next();
        }
        ASSERT_TRUE(flow->IsFinished());
        EXPECT_EQ(flow->GetNextModeId(), GAME_MODE_QUICK_MATCH);
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_EQ(CurrentCompetitionSlot(gSceneMgr.GetEnvironment()), &Slot(c.kind, 3));
        EXPECT_TRUE(Folder() == before) << "a save file changed";
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
    }
}

}  // namespace
