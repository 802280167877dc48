// The championship, cup and career menus through their real screens on the
// Null renderer: which screens each walks through and back, what they hand
// to the match, the tournament they start, and a save slot that resumes its
// tournament or cannot be read.
#include "MenuTestUtil.h"

#include <CCompetition.h>
#include <CGameMode.h>
#include <CLangDB.h>
#include <CMenuGameModeCarreer.h>
#include <CMenuGameModeChamp.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <MenuModes.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kQm[] = "QUICKMATCHPARAMS";

class CompetitionFlow : public MenuTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(TeamDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Equipes_DB.csv"));
    }
    static void TearDownTestSuite() { TeamDB::Init(); }
    void SetUp() override {
        MenuTest::SetUp();
        CLangDB::Instance().LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Lang_DB.csv");
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        g_bTournamentCareer = 0;
    }
    void TearDown() override {
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        MenuTest::TearDown();
    }
    static int Screen(CMenuGameMode& flow) { return flow.GetStateMachine()->GetCurrentState(); }
    static void SetInt(const char* name, int value, const char* section = kQm) {
        CEnvironmentVariable* v = gSceneMgr.GetEnvironment().GetVariable(section, name, true);
        v->FreeValue();
        v->SetInt(value);
    }
    // Every screen's Next in turn up to the last screen before the match,
    // recording the screens shown; `choose` then sets the choices (the
    // screens on the way set their own) before the last Next.
    template <class Choose>
    static std::vector<int> WalkToTheEnd(CMenuGameMode& flow, int lastScreen, Choose choose) {
        std::vector<int> screens{Screen(flow)};
        for (int guard = 0; guard < 10 && !flow.IsFinished() && Screen(flow) != lastScreen; ++guard) {
            flow.Next();
            screens.push_back(Screen(flow));
        }
        choose();
        flow.Next();
        screens.push_back(Screen(flow));
        return screens;
    }
};

TEST_F(CompetitionFlow, TheModeTableBuildsTheThreeFlows) {
    struct Case {
        int mode, tournamentType;
        const char* title;
    };
    const Case cases[] = {{GAME_MODE_CHAMPIONSHIP_MENUS, CMenuGameMode::TOURNAMENT_CHAMPIONSHIP, "CHAMPIONNAT"},
                          {GAME_MODE_CUP_MENUS, CMenuGameMode::TOURNAMENT_CUP, "COUPE"},
                          {GAME_MODE_CAREER_MENUS, CMenuGameMode::TOURNAMENT_CAREER, nullptr}};
    for (const Case& c : cases) {
        std::unique_ptr<CGameMode> mode(CreateGameModeById(c.mode, 2));
        auto* flow = dynamic_cast<CMenuGameMode*>(mode.get());
        ASSERT_NE(flow, nullptr) << c.mode;
        EXPECT_EQ(flow->GetTournamentType(), c.tournamentType);
        if (c.title)
            EXPECT_EQ(flow->GetName(), GetText(c.title));
    }
    CMenuGameModeCarreer career(2);
    EXPECT_EQ(career.GetName(), std::string(GetText("CARRIERE")) + "  " + GetText("TURN") + " 1");
}

TEST_F(CompetitionFlow, ACupWalksEveryScreenBackAndForthAndStartsItsKnockOut) {
    CMenuGameModeCup flow(2);
    ASSERT_TRUE(flow.Init());
    EXPECT_EQ(Screen(flow), CMenuGameModeChampCup::SCREEN_SAVE);
    flow.Next();
    flow.Next();
    flow.Back();
    EXPECT_EQ(Screen(flow), CMenuGameModeChampCup::SCREEN_NB_PLAYERS);
    flow.Back();
    EXPECT_EQ(Screen(flow), CMenuGameModeChampCup::SCREEN_SAVE);

    SetInt("save_slot", 1, "SAVE");
    const std::vector<int> screens = WalkToTheEnd(flow, CMenuGameModeChampCup::SCREEN_STAGE, [&flow] {
        // Three gamers, regional teams 3, 7 and 11.
        flow.SetNbPlayers(3);
        flow.SetNbGamersTeams(3);
        flow.SetGameType(1);
        flow.SetTeamOrigin(1);
        for (int j = 0; j < 3; ++j)
            flow.SetTeamRegion(j, 3 + 4 * j);
    });
    EXPECT_EQ(screens, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    ASSERT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(Int(kQm, ("CONTROLER_" + std::to_string(k)).c_str()), k);
    EXPECT_EQ(Int(kQm, "tournamentType"), CMenuGameMode::TOURNAMENT_CUP);
    EXPECT_EQ(Int("GAMEPARAMS", "QuickMatch"), 0);
    EXPECT_EQ(Int(kQm, "Team_1"), 7);

    ASSERT_NE(g_pCurrentTournament, nullptr);
    TournamentInfo info;
    g_pCurrentTournament->GetInfo(info);
    EXPECT_EQ(info.mFormat, CCompetition::FORMAT_KNOCKOUT);
    std::vector<Team*> teams;
    g_pCurrentTournament->GetTeams(teams);
    int gamers = 0;
    for (const Team* team : teams)
        gamers += !team->mComputer;
    EXPECT_EQ(gamers, 3);
    EXPECT_EQ(g_bTournamentCareer, 0);
}

TEST_F(CompetitionFlow, AChampionshipOfOneGamerStartsItsPoolsAndBackOnTheSaveScreenLeaves) {
    CMenuGameModeChamp flow(2);
    ASSERT_TRUE(flow.Init());
    flow.Back();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);

    CMenuGameModeChamp again(2);
    ASSERT_TRUE(again.Init());
    WalkToTheEnd(again, CMenuGameModeChampCup::SCREEN_STAGE, [&again] {
        again.SetNbPlayers(1);
        again.SetNbGamersTeams(1);
        again.SetTeamOrigin(2);
        again.SetTeamCountry(0, 8);
    });
    EXPECT_EQ(again.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    // Only the cup gives its gamers controllers.
    EXPECT_EQ(Int(kQm, "CONTROLER_1"), 0);
    EXPECT_EQ(Int(kQm, "IsRegional"), 0);
    ASSERT_NE(g_pCurrentTournament, nullptr);
    TournamentInfo info;
    g_pCurrentTournament->GetInfo(info);
    EXPECT_EQ(info.mFormat, CCompetition::FORMAT_POOLS);
    EXPECT_FALSE(TeamDB::GetNationalTeam(8)->mComputer);
}

TEST_F(CompetitionFlow, ACareerWalksItsStagesWithFewerScreensAfterTheFirst) {
    struct Case {
        int stage;
        std::vector<int> screens;
        int location;
    };
    const Case cases[] = {
        {1, {0, 1, 2, 3, 4, 5}, 3},
        {2, {2, 4, 5}, 0},
        {3, {2, 4, 5}, 1},
        {4, {2, 5}, 2},
    };
    for (const Case& c : cases) {
        gSceneMgr.GetEnvironment().Clear();
        if (c.stage > 1) {
            SetInt("backFromMatch", 1);
            SetInt("careerStep", c.stage);
            SetInt("Team_0", 5);
            SetInt("Team_0_actor_0", 2);
        }
        CMenuGameModeCarreer flow(0);
        ASSERT_TRUE(flow.Init());
        EXPECT_EQ(flow.GetCareerType(), c.stage);
        const std::vector<int> screens = WalkToTheEnd(flow, c.stage == 4 ? 2 : 4, [&flow, &c] {
            if (c.stage == 1)
                flow.SetTeamRegion(0, 5);
        });
        EXPECT_EQ(screens, c.screens) << "stage " << c.stage;
        ASSERT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
        EXPECT_EQ(Int(kQm, "location"), c.location);
        EXPECT_EQ(Int(kQm, "careerStep"), c.stage);
        EXPECT_EQ(Int(kQm, "NbPlayers"), 1);
        EXPECT_EQ(Int(kQm, "TeamBeforeNational"), 5);
        if (c.stage > 1)
            EXPECT_EQ(flow.GetActorChoice(0, 0), 2);
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_EQ(g_bTournamentCareer, 1);
        TournamentInfo info;
        g_pCurrentTournament->GetInfo(info);
        EXPECT_EQ(info.mCareerStage, c.stage == 4 ? 2 : 1);
        // The world stage is played between nations, the gamer's team France.
        EXPECT_EQ(Int(kQm, "IsRegional"), c.stage == 4 ? 0 : 1);
        if (c.stage == 4)
            EXPECT_FALSE(TeamDB::GetNationalTeam(TeamDB::FRANCE_COUNTRY_ID)->mComputer);
        EXPECT_EQ(info.mFormat, CCompetition::FORMAT_KNOCKOUT);
        EXPECT_EQ(info.mExtraInt, CMenuGameMode::TOURNAMENT_CAREER);
    }
}

TEST_F(CompetitionFlow, BackOnTheFirstScreenOfAContinuedCareerLeavesForTheMainMenu) {
    SetInt("backFromMatch", 1);
    SetInt("careerStep", 3);
    CMenuGameModeCarreer flow(0);
    ASSERT_TRUE(flow.Init());
    EXPECT_EQ(Screen(flow), CMenuGameModeCarreer::SCREEN_CAREER_TYPE);
    flow.Next();
    EXPECT_EQ(Screen(flow), CMenuGameModeCarreer::SCREEN_ACTOR);
    flow.Back();
    EXPECT_EQ(Screen(flow), CMenuGameModeCarreer::SCREEN_CAREER_TYPE);
    flow.Back();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
}

// Runs two folders below a scratch root, where the save folder leads.
class CompetitionSlots : public CompetitionFlow {
protected:
    void SetUp() override {
        CompetitionFlow::SetUp();
        ASSERT_NE(getcwd(mPrevious, sizeof mPrevious), nullptr);
        // A folder per test: the tests of this file may run side by side.
        mRoot = std::filesystem::path(KEM_TEST_BINARY_DIR) /
                (std::string("competition_slots_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(mRoot);
        std::filesystem::create_directories(mRoot / "a" / "b");
        std::filesystem::create_directories(mRoot / "media" / "GameSav");
        ASSERT_EQ(chdir((mRoot / "a" / "b").c_str()), 0);
        BuildSaveSlotList();
    }
    void TearDown() override {
        ASSERT_EQ(chdir(mPrevious), 0);
        CompetitionFlow::TearDown();
    }
    void WriteSlot(int slot, const std::string& bytes) {
        std::ofstream(mRoot / "media" / "GameSav" / ("CUP_" + std::to_string(slot) + ".sav"), std::ios::binary)
            << bytes;
    }
    std::filesystem::path mRoot;
    char mPrevious[4096];
};

TEST_F(CompetitionSlots, AnUnreadableSlotStaysOnTheSaveScreenAndSaysSo) {
    const std::string cut("\xFD\x93\x62\x4E\x00\x00\x00\x05\x00\x00", 10);
    for (const std::string& bytes : {cut, std::string("not a save at all"), std::string()}) {
        WriteSlot(2, bytes);
        RefreshSaveSlotInfos();
        SaveSlot& slot = g_SaveSlotTable[SAVE_KIND_CUP * SAVE_SLOTS_PER_KIND + 2];
        EXPECT_EQ(slot.mInfo, GetText("UNREADABLE_SAVE_SLOT_INFO"));
        SetInt("save_slot", 2, "SAVE");
        SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CUP);
        CMenuGameModeCup flow(2);
        ASSERT_TRUE(flow.Init());
        flow.Next();
        flow.StartMatch();
        EXPECT_FALSE(flow.IsFinished());
        EXPECT_EQ(Screen(flow), CMenuGameModeChampCup::SCREEN_SAVE);
        EXPECT_EQ(g_pCurrentTournament, nullptr);
        EXPECT_EQ(slot.mInfo, GetText("UNREADABLE_SAVE_SLOT_INFO"));
    }
}

TEST_F(CompetitionSlots, AUsedSlotResumesItsTournamentWhereItWasSaved) {
    // A cup of one gamer after his first match, saved as the match mode does.
    gSceneMgr.GetEnvironment().Clear();
    SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CUP);
    SetInt("IsRegional", 1);
    SetInt("NbPlayers", 1);
    SetInt("Team_0", 9);
    SetInt("GameType", 2);
    ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
    CCompetition* cup = static_cast<CCompetition*>(g_pCurrentTournament);
    TournamentMatch first;
    ASSERT_TRUE(cup->NextPlayedMatch(first));
    MatchSides sides;
    sides.mFirstTeam = first.mFirstTeam;
    MatchScores scores;
    cup->SetMatchResult(sides, scores);
    SaveSlot& slot = g_SaveSlotTable[SAVE_KIND_CUP * SAVE_SLOTS_PER_KIND + 4];
    SaveMatchDescription match;
    match.mGameType = 2;
    match.mNbPlayers = 1;
    match.mIsRegional = 1;
    match.mTeams = {{9, {1, 0}}};
    match.mPlayers = {{0, "Ines"}};
    ASSERT_TRUE(SaveTournamentToFile(slot.mPath, slot, match));
    TournamentPhaseList before;
    cup->GetPhases(before);
    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;

    gSceneMgr.GetEnvironment().Clear();
    SetInt("save_slot", 4, "SAVE");
    SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CUP);
    CMenuGameModeCup flow(2);
    ASSERT_TRUE(flow.Init());
    flow.StartMatch();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    ASSERT_NE(g_pCurrentTournament, nullptr);
    TournamentPhaseList after;
    g_pCurrentTournament->GetPhases(after);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0][0].mScoreOne, before[0][0].mScoreOne);
    EXPECT_EQ(after.back().size(), before.back().size());
    EXPECT_EQ(Int(kQm, "GameType"), 2);
    EXPECT_EQ(Int(kQm, "Team_0"), 9);
    EXPECT_EQ(Int(kQm, "Team_0_actor_0"), 1);
    EXPECT_EQ(Int("GAMEPARAMS", "QuickMatch"), 0);
    EXPECT_STREQ(Find(kQm, "Player1Name")->GetString(), "Ines");
    EXPECT_FALSE(TeamDB::GetRegionalTeam(9)->mComputer);
}

}  // namespace
