// The championship, cup and career menus through their real screens on the
// Null renderer: which screens each walks through and back, what they hand
// to the match, the tournament they start, and a save slot that resumes its
// tournament or cannot be read.
#include "CompetitionMenuTest.h"

#include <CCompetition.h>
#include <CGameMode.h>
#include <CLangDB.h>
#include <CMenuGameModeCarreer.h>
#include <CMenuGameModeChamp.h>
#include <CTournament.h>
#include <CompetitionStart.h>
#include <GameDifficulty.h>
#include <MenuModes.h>
#include <PlayerDB.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kQm[] = "QUICKMATCHPARAMS";

class CompetitionFlow : public CompetitionMenuTest {
protected:
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
        if (c.title) {
            EXPECT_EQ(flow->GetName(), GetText(c.title));
        }
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
        bool continued;   // back from a stage (the first one lost, for stage 1)
        std::vector<int> screens;
        int location;
    };
    const Case cases[] = {
        {1, false, {0, 1, 2, 3, 4, 5}, 3},
        {1, true, {2, 4, 5}, 3},
        {2, true, {2, 4, 5}, 0},
        {3, true, {2, 4, 5}, 1},
        {4, true, {2, 5}, 2},
    };
    for (const Case& c : cases) {
        gSceneMgr.GetEnvironment().Clear();
        if (c.continued) {
            SetInt("backFromMatch", 1);
            SetInt("careerStep", c.stage);
            SetInt("Team_0", 5);
            SetInt("Team_0_actor_0", 2);
            gSceneMgr.GetEnvironment().GetVariable(kQm, "Player1Name", true)->SetString("Ines");
        }
        CMenuGameModeCarreer flow(0);
        ASSERT_TRUE(flow.Init());
        EXPECT_EQ(flow.GetCareerType(), c.stage);
        const std::vector<int> screens = WalkToTheEnd(flow, c.stage == 4 ? 2 : 4, [&flow, &c] {
            if (!c.continued)
                flow.SetTeamRegion(0, 5);
        });
        EXPECT_EQ(screens, c.screens) << "stage " << c.stage;
        ASSERT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
        EXPECT_EQ(Int(kQm, "location"), c.location);
        EXPECT_EQ(Int(kQm, "careerStep"), c.stage);
        EXPECT_EQ(Int(kQm, "NbPlayers"), 1);
        EXPECT_EQ(Int(kQm, "TeamBeforeNational"), 5);
        // The name typed at the career's start stays for every stage.
        EXPECT_STREQ(Find(kQm, "Player1Name")->GetString(),
                     c.continued ? "Ines" : (std::string(GetText("PLAYER")) + " 1").c_str())
            << "stage " << c.stage;
        if (c.continued) {
            EXPECT_EQ(flow.GetActorChoice(0, 0), 2);
        }
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_EQ(g_bTournamentCareer, 1);
        TournamentInfo info;
        g_pCurrentTournament->GetInfo(info);
        EXPECT_EQ(info.mCareerStage, c.stage == 4 ? 2 : 1);
        // The world stage is played between nations, the gamer's team France.
        EXPECT_EQ(Int(kQm, "IsRegional"), c.stage == 4 ? 0 : 1);
        if (c.stage == 4) {
            EXPECT_FALSE(TeamDB::GetNationalTeam(TeamDB::FRANCE_COUNTRY_ID)->mComputer);
        }
        EXPECT_EQ(info.mFormat, CCompetition::FORMAT_KNOCKOUT);
        EXPECT_EQ(info.mExtraInt, CMenuGameMode::TOURNAMENT_CAREER);
    }
}

// The screen a match sends a flow back to is used once: the next flow of
// any kind opens on its save screen, so a new tournament never takes over a
// slot the player did not choose.
TEST_F(CompetitionFlow, TheScreenToGoBackToIsUsedOnce) {
    struct Case {
        const char* what;
        int backInState;
        std::function<CMenuGameMode*()> make;
    };
    const Case cases[] = {
        {"championship", 3, [] { return new CMenuGameModeChamp(0); }},
        {"cup", 2, [] { return new CMenuGameModeCup(0); }},
        {"career", 2, [] { return new CMenuGameModeCarreer(0); }},
    };
    for (const Case& c : cases) {
        gSceneMgr.GetEnvironment().Clear();
        SetInt("back_in_state", c.backInState);
        SetInt("NbPlayers", 1);
        std::unique_ptr<CMenuGameMode> back(c.make());
        ASSERT_TRUE(back->Init());
        // Back from a tournament's end frame the slot is chosen first: the
        // ended tournament's slot is never written unasked; a new slot then
        // leads to the screen asked for.
        EXPECT_EQ(Screen(*back), 0) << c.what;
        back->Next();
        EXPECT_EQ(Screen(*back), c.backInState) << c.what;
        back->Back();
        EXPECT_EQ(Screen(*back), c.backInState - 1) << c.what;
        back.reset();
        std::unique_ptr<CMenuGameMode> later(c.make());
        ASSERT_TRUE(later->Init());
        EXPECT_EQ(Screen(*later), 0) << c.what;
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

// A career stage of one gamer (region 9, named Ines) played to its end,
// saved in the first career slot as the match mode does, then the process
// "restarted": nothing of the menus' keys is left.
class CareerSlot : public CompetitionSlots {
protected:
    static int GameTypeOfStage(int stage) { return stage >= 3 ? 3 : stage; }
    SaveSlot& Slot() { return g_SaveSlotTable[SAVE_KIND_CAREER * SAVE_SLOTS_PER_KIND]; }
    void SaveEndedStage(int stage, bool gamerWins) {
        gSceneMgr.GetEnvironment().Clear();
        SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CAREER);
        SetInt("careerStep", stage);
        SetInt("IsRegional", 1);
        SetInt("NbPlayers", 1);
        SetInt("Team_0", 9);
        SetInt("GameType", GameTypeOfStage(stage));
        ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
        CCompetition* career = static_cast<CCompetition*>(g_pCurrentTournament);
        TournamentMatch next;
        while (career->NextPlayedMatch(next)) {
            MatchSides sides;
            sides.mFirstTeam = next.mFirstTeam;
            sides.mSecondTeamWon = (career->IsHuman(next.mFirstTeam) != gamerWins) ? 1 : 0;
            MatchScores scores;
            career->SetMatchResult(sides, scores);
        }
        while (!career->IsFinished())
            career->Advance();
        SaveMatchDescription match;
        match.mGameType = GameTypeOfStage(stage);
        match.mNbPlayers = 1;
        match.mIsRegional = 1;
        match.mTeamBeforeNational = 9;
        match.mTeams = {{9, std::vector<uint16_t>(static_cast<size_t>(match.mGameType), 2)}};
        match.mPlayers = {{0, "Ines"}};
        match.mVenue = CareerStageVenue(stage);
        ASSERT_TRUE(SaveTournamentToFile(Slot().mPath, Slot(), match));
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
        gSceneMgr.GetEnvironment().Clear();
        RefreshSaveSlotInfos();
    }
};

// A slot whose stage is over does not play that stage again (which led back
// to the same save screen without end): the career goes on at the stage its
// result gives, with the gamer's name and region, in the same slot.
TEST_F(CareerSlot, ASlotWhoseStageEndedGoesOnAtTheStageItsResultGives) {
    struct Case {
        int stage;
        bool won;
        int next;
    };
    for (const Case& c : {Case{1, true, 2}, Case{1, false, 1}, Case{2, true, 3}}) {
        ASSERT_NO_FATAL_FAILURE(SaveEndedStage(c.stage, c.won));
        // As the save screen leaves them.
        SetInt("save_slot", 0, "SAVE");
        SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CAREER);
        {
            CMenuGameModeCarreer fresh(2);
            ASSERT_TRUE(fresh.Init());
            EXPECT_EQ(Screen(fresh), CMenuGameModeCarreer::SCREEN_SAVE);
            fresh.StartMatch();
            EXPECT_TRUE(fresh.IsFinished());
            EXPECT_EQ(fresh.GetNextModeId(), GAME_MODE_CAREER_MENUS) << "stage " << c.stage;
        }
        CMenuGameModeCarreer flow(6);
        ASSERT_TRUE(flow.Init());
        EXPECT_EQ(Screen(flow), CMenuGameModeCarreer::SCREEN_CAREER_TYPE);
        EXPECT_EQ(flow.GetCareerType(), c.next) << "stage " << c.stage << " won " << c.won;
        EXPECT_EQ(flow.GetPlayerName(0), "Ines");
        WalkToTheEnd(flow, CMenuGameModeCarreer::SCREEN_ACTOR, [] {});
        ASSERT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
        EXPECT_EQ(Int(kQm, "location"), CareerStageVenue(c.next));
        EXPECT_EQ(Int(kQm, "Team_0"), 9);
        EXPECT_EQ(Int("SAVE", "save_slot"), 0);
        EXPECT_STREQ(Find(kQm, "Player1Name")->GetString(), "Ines");
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_FALSE(g_pCurrentTournament->IsFinished());
        TournamentInfo info;
        g_pCurrentTournament->GetInfo(info);
        EXPECT_EQ(CareerStageOf(info), c.next);
    }
}

// A resumed tournament plays at the venue and difficulty it was saved with,
// a career at its stage; a save written before the venue was kept plays at
// venue 0 (a career at its stage's); a new tournament plays at the
// settings' difficulty again.
TEST_F(CompetitionSlots, AResumedTournamentPlaysAtItsOwnVenueDifficultyAndStage) {
    struct Case {
        const char* what;
        int kind, tournamentType, level, stage;
        int32_t venue;
        uint32_t difficulty;
        int location, careerStep, playedDifficulty;
    };
    const Case cases[] = {
        {"cup at venue 2, easy", SAVE_KIND_CUP, CMenuGameMode::TOURNAMENT_CUP, 0, 0, 2, 0, 2, -1, 0},
        {"older cup save", SAVE_KIND_CUP, CMenuGameMode::TOURNAMENT_CUP, 0, 0, -1, 1, 0, -1, 1},
        {"career third stage", SAVE_KIND_CAREER, CMenuGameMode::TOURNAMENT_CAREER, 3, 1, 1, 0, 1, 3, 0},
        {"older world stage save", SAVE_KIND_CAREER, CMenuGameMode::TOURNAMENT_CAREER, 3, 2, -1, 1, 2, 4, 1},
        {"difficulty none of ours", SAVE_KIND_CUP, CMenuGameMode::TOURNAMENT_CUP, 0, 0, 3, 7, 3, -1, 2},
    };
    for (const Case& c : cases) {
        gSceneMgr.GetEnvironment().Clear();
        g_SelectedDifficulty = g_CurrentDifficulty = 2;
        SetInt("tournamentType", c.tournamentType);
        SetInt("careerStep", c.stage == 2 ? 4 : std::max(c.level, 1));
        SetInt("IsRegional", 1);
        SetInt("NbPlayers", 1);
        SetInt("Team_0", 9);
        // A career's stage has its own game type: the third and the world
        // stage are played in triplettes.
        const int gameType = c.kind == SAVE_KIND_CAREER ? 3 : 1;
        SetInt("GameType", gameType);
        ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
        SaveSlot& slot = g_SaveSlotTable[c.kind * SAVE_SLOTS_PER_KIND + 1];
        SaveMatchDescription match;
        match.mDifficulty = c.difficulty;
        match.mGameType = gameType;
        match.mNbPlayers = 1;
        match.mIsRegional = c.stage == 2 ? 0 : 1;
        match.mTeamBeforeNational = 9;
        match.mTeams = {{static_cast<uint16_t>(c.stage == 2 ? TeamDB::FRANCE_COUNTRY_ID : 9),
                         std::vector<uint16_t>(static_cast<size_t>(gameType), 0)}};
        match.mPlayers = {{0, "Ines"}};
        match.mVenue = c.venue;
        ASSERT_TRUE(SaveTournamentToFile(slot.mPath, slot, match)) << c.what;
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;

        // Started again: the menus' keys are gone, the last venue chosen was 3.
        gSceneMgr.GetEnvironment().Clear();
        SetInt("location", 3);
        SetInt("save_slot", 1, "SAVE");
        SetInt("tournamentType", c.tournamentType);
        ASSERT_TRUE(ResumeCompetition(gSceneMgr.GetEnvironment(), slot.mPath, c.tournamentType)) << c.what;
        EXPECT_EQ(Int(kQm, "location"), c.location) << c.what;
        if (c.careerStep < 0) {
            EXPECT_EQ(Find(kQm, "careerStep"), nullptr) << c.what;
        } else {
            EXPECT_EQ(Int(kQm, "careerStep"), c.careerStep) << c.what;
        }
        EXPECT_EQ(g_CurrentDifficulty, c.playedDifficulty) << c.what;
        EXPECT_EQ(g_SelectedDifficulty, 2) << c.what;
    }
    SetInt("tournamentType", CMenuGameMode::TOURNAMENT_CUP);
    ASSERT_TRUE(StartCompetition(gSceneMgr.GetEnvironment()));
    EXPECT_EQ(g_CurrentDifficulty, 2);
    g_SelectedDifficulty = g_CurrentDifficulty = 1;
}

}  // namespace
