// The match mode and its states on a scene with a render window but no GUI: matches
// refused at set-up, the tournament path that must not wait, the machine
// updated whatever the key debounce says, the toss, the mene start, the end
// of a match with its winner and forfeit, the LAN-lost exit, the tournament
// save, and the mode table's way back to the demo menu.
#include "OgreHeadless.h"

#include <CEnvironment.h>
#include <CGameMaster.h>
#include <CHUDMatch.h>
#include <CInputMgr.h>
#include <CKEMSceneGraph.h>
#include <CLangDB.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <CQuickMatchGameMode.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <CScenaricMgr.h>
#include <CCompetition.h>
#include <CTournament.h>
#include <CTrainingGameMode.h>
#include <CompetitionStart.h>
#include <TournamentSaveRecord.h>
#include <TournamentScreens.h>
#include <CaracDB.h>
#include <DInput.h>
#include <DInputFakeBackend.h>
#include <HalTimer.h>
#include <LaunchOptions.h>
#include <LaunchSet.h>
#include <MatchState.h>
#include <PlayerDB.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>

#include <CEGUI/EventArgs.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace {

const char kQm[] = "QUICKMATCHPARAMS";
const PlatWindowHandle kWindow = 0x52;

std::string MediaData(const char* file) {
    return std::string(KEM_SOURCE_MEDIA) + "/Data/" + file;
}

CEnvironment& Env() {
    return gSceneMgr.GetEnvironment();
}

void SetInt(const char* name, int value, const char* section = kQm) {
    CEnvironmentVariable* variable = Env().GetVariable(section, name, true);
    variable->FreeValue();
    variable->SetInt(value);
}

class NoTournament : public CTournament {
public:
    void SetMatchResult(MatchSides&, MatchScores&) override {}
    bool IsFinished() override { return false; }
    void Advance() override {}
    void GetTeams(std::vector<Team*>&) override {}
    void GetCurrentMatches(TournamentMatchList&) override {}
    void GetPhaseMatches(TournamentMatchList&, int) override {}
    void GetPhases(TournamentPhaseList&) override {}
    void GetInfo(TournamentInfo&) override {}
    bool IsNewStep() override { return false; }
};

class QuickMatchModeTest : public OgreWrapTest {
protected:
    static void SetUpTestSuite() {
        CLangDB::Instance().LoadFromFile(MediaData("Lang_DB.csv"));
        CaracDB::LoadFromFile(MediaData("Carac_DB.csv"));
        TeamDB::LoadFromFile(MediaData("Equipes_DB.csv"));
        PlayerDB::LoadFromFile(MediaData("Joueurs_DB.csv"));
    }
    static void TearDownTestSuite() {
        TeamDB::Release();
        PlayerDB::Release();
    }
    void SetUp() override {
        OgreWrapTest::SetUp();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        Env().Clear();
        auto fake = std::make_unique<CDInputFakeBackend>();
        mFake = fake.get();
        DInputSetBackend(std::move(fake));
        mFake->focusWindow = kWindow;
        g_pMainApp->SetWindowHandle(reinterpret_cast<KEMWindowHandle>(kWindow));
        gInputMgr.Init();
        gInputMgr.Update();
    }
    void TearDown() override {
        DInputSetBackend(nullptr);
        g_pMainApp->SetWindowHandle(nullptr);
        Env().Clear();
        CKEMSceneGraph::DestroyDefaultCamera();
        CKEMSceneGraph::DestroyRootNode();
        g_pCurrentTournament = nullptr;
        OgreWrapTest::TearDown();
    }

    // A quick match between two national teams, both played by the computer
    // unless `humanSide` names one side for a human player.
    static void DescribeMatch(int teamA, int teamB, int humanSide = -1) {
        SetInt("QuickMatch", 1, "GAMEPARAMS");
        SetInt("TeamA", teamA);
        SetInt("TeamB", teamB);
        SetInt("GameType", 1);
        SetInt("location", 1);
        SetInt("IsRegional", 0);
        SetInt("NbPlayers", humanSide >= 0 ? 1 : 0);
        if (humanSide >= 0) {
            SetInt("Player1Team", humanSide);
            SetInt("CONTROLER_1", 1);
            SetInt(humanSide == 0 ? "Team_0_actor_0" : "Team_1_actor_0", 0);
        }
    }

    // Past the debounce window that opens when the mode is made.
    static void LetDebounceExpire() { PlatSleep(PressDebounce::kWindowMs + 20); }

    CDInputFakeBackend* mFake = nullptr;
    CEGUI::EventArgs mArgs;
};

// Without a screen to say why, a refused match goes back at once: to the
// demo menu in the demo, to the main menu in the full game.
TEST_F(QuickMatchModeTest, MatchesThatCannotBeSetUpGoBackToTheMenuThePlayerCameFrom) {
    struct Case {
        int teamA, teamB, regional;
    };
    const Case cases[] = {{99, 9, 0}, {8, -4, 0}, {8, 8, 0}, {1234, 8, 1}};
    for (const bool fullGame : {false, true}) {
        SetBootToMainMenu(fullGame);
        for (const Case& c : cases) {
            DescribeMatch(c.teamA, c.teamB);
            SetInt("IsRegional", c.regional);
            CQuickMatchGameMode mode(7);
            EXPECT_TRUE(mode.IsMatchRefused()) << c.teamA << " " << c.teamB;
            EXPECT_EQ(mode.GetMatchState(), nullptr);
            mode.Init();
            EXPECT_TRUE(mode.IsFinished());
            EXPECT_FALSE(mode.IsRefusalShown());
            EXPECT_EQ(mode.GetNextModeId(), fullGame ? GAME_MODE_MAIN_MENU : GAME_MODE_DEMO_MENU);
            EXPECT_EQ(mode.GetCurrentStateId(), -1);
        }
    }
    SetBootToMainMenu(false);
}

// A human side whose chosen players do not make the game type's count
// would throw the other side's balls: refused, like a side with none.
TEST_F(QuickMatchModeTest, AHumanSideShortOfTheGameTypesPlayersIsRefused) {
    struct Case {
        const char* what;
        int gameType;
        int actors[3];   // -1: none chosen
        bool refused;
    } cases[] = {
        {"no such player", 1, {100000, -1, -1}, true},
        {"one of two chosen", 2, {0, -1, -1}, true},
        {"two of three chosen", 3, {0, 1, -1}, true},
        {"one of two chosen, the other no player", 2, {0, 100000, -1}, true},
        {"two of two chosen", 2, {0, 1, -1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DescribeMatch(8, 9, 0);
        SetInt("GameType", c.gameType);
        for (int j = 0; j < 3; ++j)
            SetInt(("Team_0_actor_" + std::to_string(j)).c_str(), c.actors[j]);
        CQuickMatchGameMode mode(7);
        EXPECT_EQ(mode.IsMatchRefused(), c.refused);
        if (c.refused) {
            mode.Init();
            EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
        } else {
            ASSERT_NE(mode.GetMatchState(), nullptr);
            EXPECT_EQ(mode.GetMatchState()->mTeamA->mPlayers.size(), 2u);
            EXPECT_EQ(mode.GetMatchState()->mTeamB->mPlayers.size(), 2u);
        }
    }
}

TEST_F(QuickMatchModeTest, ATournamentMatchDoesNotWaitForScreensThatAreNotThere) {
    SetInt("QuickMatch", 0, "GAMEPARAMS");
    CQuickMatchGameMode mode(7);
    EXPECT_EQ(mode.GetMatchState(), nullptr);
    mode.Init();
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_LAUNCH_MATCH);
    EXPECT_EQ(mode.GetGameMaster(), nullptr);
    mode.Update();
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_TOURNAMENT_INFO);
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
}

TEST_F(QuickMatchModeTest, AnIgnoredKeyPressNeverHoldsTheMatchUp) {
    SetInt("QuickMatch", 0, "GAMEPARAMS");
    CQuickMatchGameMode mode(7);
    mode.Init();
    // Escape within the debounce window of the mode's start: ignored, but
    // the match machine still runs its frame.
    mFake->PressKey(1);
    gInputMgr.Update();
    mode.Update();
    EXPECT_FALSE(mode.IsPauseRequested());
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_TOURNAMENT_INFO);
}

TEST_F(QuickMatchModeTest, AComputerMatchIsSetUpWithTheAiEntriesAndOneReferee) {
    DescribeMatch(8, 9);
    CQuickMatchGameMode mode(7);
    ASSERT_FALSE(mode.IsMatchRefused());
    ASSERT_NE(mode.GetMatchState(), nullptr);
    EXPECT_TRUE(mode.GetSideTeam(0)->mComputer);
    EXPECT_TRUE(mode.GetSideTeam(1)->mComputer);
    EXPECT_EQ(mode.GetSideTeam(0)->mPlayers.size(), 1u);
    EXPECT_EQ(ControlerTable[0].mType, e_ia);
    EXPECT_EQ(ControlerTable[1].mType, e_ia);
    EXPECT_EQ(mode.GetMatchState()->mTargetScore, CQuickMatchGameMode::kTargetScore);
    mode.Init();
    ASSERT_NE(mode.GetGameMaster(), nullptr);
    // Entering the launch again replaces the referee: one at a time.
    mode.GetMachine().ChangeState(QM_STATE_LAUNCH_MATCH);
    ASSERT_NE(mode.GetGameMaster(), nullptr);
    int referees = 0;
    for (int i = 0; i < gScenaricMgr.GetCount(); ++i) {
        CKEMSceneNode* node = gScenaricMgr.GetNode(i);
        referees += node && dynamic_cast<CGameMaster*>(node) != nullptr;
    }
    EXPECT_EQ(referees, 1);
    EXPECT_GE(gScenaricMgr.IndexOf(mode.GetGameMaster()), 0);
}

TEST_F(QuickMatchModeTest, AVenueLackingARequiredObjectSendsTheMatchBackToTheMenu) {
    DescribeMatch(8, 9);
    CQuickMatchGameMode mode(7);
    mode.Init();   // no venue loads here: the referee's set-up finds none of its objects
    ASSERT_NE(mode.GetGameMaster(), nullptr);
    ASSERT_TRUE(mode.GetGameMaster()->IsSetUpFailed());
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_LAUNCH_MATCH);   // never into the intro
}

TEST_F(QuickMatchModeTest, APreDrawnTossNamesTheStartingSideAndWaitsForValid) {
    struct Case {
        bool asText;
        int value;
        int startingSide;
    };
    const Case cases[] = {{false, 1, 0}, {false, 2, 1}, {false, 0, -1}, {true, 2, -1}, {false, 7, -1}};
    for (const Case& c : cases) {
        DescribeMatch(8, 9, 0);
        if (c.asText)
            Env().GetVariable(kQm, "PILE_OU_FACE", true)->SetString(std::to_string(c.value).c_str());
        else
            SetInt("PILE_OU_FACE", c.value);
        CQuickMatchGameMode mode(7);
        mode.Init();
        mode.GetMachine().ChangeState(QM_STATE_TOSS);
        EXPECT_EQ(mode.mTossState.GetStartingSide(), c.startingSide) << c.value;
        if (c.startingSide >= 0) {
            EXPECT_EQ(mode.GetMatchState()->mNextStartingSide, c.startingSide);
        }
        gTimer.mGameTime += 60000;   // a human player's toss waits however long it takes
        mode.Update();
        EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_TOSS);
        mode.mTossState.OnButtonValid(mArgs);
        mode.Update();
        EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_MENE_INTRO);
        mode.Update();
        EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_LAUNCH);
    }
}

TEST_F(QuickMatchModeTest, AMatchNobodyPlaysTossesAndEndsWithoutInput) {
    DescribeMatch(8, 9);
    CQuickMatchGameMode mode(7);
    ASSERT_TRUE(mode.IsSpectatorMatch());
    mode.Init();
    mode.GetMachine().ChangeState(QM_STATE_TOSS);
    EXPECT_GE(mode.mTossState.GetStartingSide(), 0);   // drawn: nobody calls it
    mode.Update();
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_TOSS);
    gTimer.mGameTime += 3000;
    mode.Update();
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_MENE_INTRO);

    // The end: the winner's awards, then the demo menu.
    mode.GetMatchState()->mScoreA = 3;
    mode.GetMatchState()->mScoreB = 11;
    mode.GetMachine().ChangeState(QM_STATE_OUTRO);
    mode.Update();
    ASSERT_EQ(mode.GetCurrentStateId(), QM_STATE_AWARDS);
    EXPECT_EQ(mode.mAwardsState.GetAwardedTeam(0), mode.GetSideTeam(1));
    mode.Update();   // shown
    gTimer.mGameTime += 4000;
    mode.Update();
    EXPECT_FALSE(mode.IsFinished());
    gTimer.mGameTime += 1000;
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
}

TEST_F(QuickMatchModeTest, TheEndOfAMatchFindsItsWinner) {
    struct Case {
        unsigned scoreA, scoreB;
        int humanSide;
        int winner;
        bool awards;
    };
    const Case cases[] = {
        {13, 7, 1, 0, false},   // the computer won: the end-of-match frame
        {10, 10, 0, 1, false},  // equal scores: the second side
        {4, 10, 1, 1, true},    // a human won: the awards
        {10, 10, 1, 1, true},
    };
    for (const Case& c : cases) {
        DescribeMatch(8, 9, c.humanSide);
        CQuickMatchGameMode mode(7);
        ASSERT_FALSE(mode.IsMatchRefused());
        mode.Init();
        mode.GetMatchState()->mScoreA = c.scoreA;
        mode.GetMatchState()->mScoreB = c.scoreB;
        mode.GetMachine().ChangeState(QM_STATE_OUTRO);
        EXPECT_EQ(mode.mOutroState.GetWinner(), c.winner) << c.scoreA << ":" << c.scoreB;
        mode.Update();
        EXPECT_EQ(mode.GetCurrentStateId(), c.awards ? QM_STATE_AWARDS : QM_STATE_OUTRO);
        if (c.awards) {
            EXPECT_EQ(mode.mAwardsState.GetCurrentSlot(), 0);
            EXPECT_EQ(mode.mAwardsState.GetAwardedTeam(0), mode.GetSideTeam(1));
            mode.Update();   // the team is shown
            LetDebounceExpire();
            EXPECT_TRUE(mode.OnBtnReplayMatch(mArgs));
            mode.Update();   // the last awarded team: the match starts again
        } else {
            LetDebounceExpire();
            EXPECT_TRUE(mode.OnBtnReplayMatch(mArgs));
            mode.Update();
        }
        EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_LAUNCH_MATCH);
        EXPECT_EQ(mode.GetMatchState()->mScoreA, 0u);
        EXPECT_EQ(mode.GetMatchState()->mScoreB, 0u);
    }
}

TEST_F(QuickMatchModeTest, LeavingDuringTheAwardsLeavesTheNextMatchItsAwards) {
    for (int match = 0; match < 2; ++match) {
        DescribeMatch(8, 9, 0);
        CQuickMatchGameMode mode(7);
        mode.Init();
        mode.GetMatchState()->mScoreA = 10;
        mode.GetMachine().ChangeState(QM_STATE_OUTRO);
        mode.Update();
        ASSERT_EQ(mode.GetCurrentStateId(), QM_STATE_AWARDS) << match;
        EXPECT_EQ(mode.mAwardsState.GetAwardedTeam(0), mode.GetSideTeam(0)) << match;
        LetDebounceExpire();
        EXPECT_TRUE(mode.QuitToMenu(mArgs));   // "BtnAwardsEndMatch": the mode ends in the awards
        EXPECT_TRUE(mode.IsFinished());
    }
}

TEST_F(QuickMatchModeTest, QuittingFromThePauseMenuForfeitsToTheComputer) {
    DescribeMatch(8, 9, 1);
    CQuickMatchGameMode mode(7);
    mode.Init();
    mode.GetMachine().ChangeState(QM_STATE_LAUNCH);
    mode.GetMatchState()->mScoreA = 3;
    mode.GetMatchState()->mScoreB = 5;
    mode.RequestPause(true);
    LetDebounceExpire();
    EXPECT_TRUE(mode.QuitToMenu(mArgs));
    EXPECT_FALSE(mode.IsFinished());
    EXPECT_EQ(mode.GetCurrentStateId(), QM_STATE_OUTRO);
    EXPECT_EQ(mode.GetMatchState()->mScoreA, 10u);
    EXPECT_EQ(mode.GetMatchState()->mScoreB, 5u);

    // From the end-of-match frame the same button leaves for the demo menu,
    // once past the debounce.
    EXPECT_FALSE(mode.QuitToMenu(mArgs));
    EXPECT_FALSE(mode.IsFinished());
    LetDebounceExpire();
    EXPECT_TRUE(mode.QuitToMenu(mArgs));
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_DEMO_MENU);
}

TEST_F(QuickMatchModeTest, TheThrowKeyCountsOnlyWithAnAngleChosenAndIsReleasedOnlyForThePowerGauge) {
    DescribeMatch(8, 9, 0);
    CQuickMatchGameMode mode(7);
    mode.Init();
    mode.ResetMatch(true);
    CHUDMatch* panel = mode.GetThrowPanel();
    ASSERT_NE(panel, nullptr);
    LaunchSet* launch = mode.GetGameMaster()->GetLaunchSet();
    ASSERT_NE(launch, nullptr);
    struct Case {
        int angle;
        bool release;   // the frame in which the button goes up, else down
        int step;
        bool counts;
    };
    const Case cases[] = {{0, false, 1, false}, {1, false, 1, true}, {2, false, 2, true},
                          {3, true, 1, false},  {1, true, 2, true},  {0, true, 2, false}};
    for (const Case& c : cases) {
        // Down, then (for a release) up: the last frame is the one tested.
        mFake->SetMouseButton(0, false);
        gInputMgr.Update();
        mFake->SetMouseButton(0, true);
        gInputMgr.Update();
        if (c.release) {
            mFake->SetMouseButton(0, false);
            gInputMgr.Update();
        }
        panel->mAngleChoice = c.angle;
        panel->mLocked = false;
        launch->mStep = c.step;
        launch->mValidated = false;
        mode.mLaunchState.CheckThrowKey();
        EXPECT_EQ(launch->mValidated, c.counts) << c.angle << " " << c.release << " " << c.step;
        EXPECT_EQ(panel->mLocked, c.counts);
    }
    mFake->SetMouseButton(0, false);
    gInputMgr.Update();
}

TEST_F(QuickMatchModeTest, TheVolumeButtonsStopAtZeroAndTen) {
    SetInt("QuickMatch", 0, "GAMEPARAMS");
    CQuickMatchGameMode mode(7);
    gSoundMgr.SetSoundVolume(9);
    gSoundMgr.SetMusicVolume(1);
    for (int click = 0; click < 3; ++click) {
        mode.OnBtnAmbPlus(mArgs);
        mode.OnBtnMusicMinus(mArgs);
    }
    EXPECT_EQ(gSoundMgr.GetSoundVolume(), 10);
    EXPECT_EQ(gSoundMgr.GetMusicVolume(), 0);
    mode.OnBtnAmbMinus(mArgs);
    mode.OnBtnMusicPlus(mArgs);
    EXPECT_EQ(gSoundMgr.GetSoundVolume(), 9);
    EXPECT_EQ(gSoundMgr.GetMusicVolume(), 1);
}

TEST_F(QuickMatchModeTest, TheEndButtonsLeadBackToTheMenuFlowOfTheTournamentType) {
    struct Case {
        bool gameType;
        int tournamentType;
        int nextMode, backInState, gamers;   // gamers -1: left as it was (5)
    };
    const Case cases[] = {
        {true, 1, GAME_MODE_QUICK_MATCH_MENUS, 2, 2}, {false, 1, GAME_MODE_QUICK_MATCH_MENUS, 4, -1},
        {true, 2, GAME_MODE_CHAMPIONSHIP_MENUS, 2, 1}, {false, 3, GAME_MODE_CUP_MENUS, 3, -1},
        {false, 4, GAME_MODE_CAREER_MENUS, 2, 1},      {true, 7, GAME_MODE_NONE, -1, -1},
    };
    for (const Case& c : cases) {
        DescribeMatch(8, 9, 0);
        SetInt("NbPlayers", 2);
        SetInt("Player2Team", 1);
        SetInt("Team_1_actor_0", 0);
        SetInt("tournamentType", c.tournamentType);
        SetInt("mNbGamersTeams", 5);
        SetInt("back_in_state", -1);
        SetInt("backFromMatch", 1);   // as a career's stage leaves it
        CQuickMatchGameMode mode(7);
        ASSERT_FALSE(mode.IsMatchRefused());
        LetDebounceExpire();
        const bool handled = c.gameType ? mode.ChangeGameType(mArgs) : mode.ChangeTeam(mArgs);
        EXPECT_EQ(handled, c.nextMode != GAME_MODE_NONE) << c.tournamentType;
        EXPECT_EQ(mode.IsFinished(), handled);
        EXPECT_EQ(mode.GetNextModeId(), c.nextMode) << c.tournamentType;
        if (!handled)
            continue;
        EXPECT_EQ(Env().Find(kQm, "back_in_state")->GetInt(), c.backInState) << c.tournamentType;
        // Another team or game type is a new career, its slot chosen on the
        // save screen, not this career's next stage in its slot.
        if (c.tournamentType == 4) {
            EXPECT_EQ(Env().Find(kQm, "backFromMatch")->GetInt(), 0);
        }
        EXPECT_EQ(Env().Find(kQm, "mNbGamersTeams")->GetInt(), c.gamers < 0 ? 5 : c.gamers) << c.tournamentType;
        // The match description is written back for the menus.
        EXPECT_EQ(Env().Find(kQm, "isTeamAAi")->GetInt(), 0);
        EXPECT_EQ(Env().Find(kQm, "CONTROLER_2")->GetInt(), 2);
    }
}

TEST_F(QuickMatchModeTest, ALostLanSessionWaitsForValidThenLeavesForTheMainMenu) {
    DescribeMatch(8, 9);
    CQuickMatchGameMode mode(7);
    mode.Init();
    mode.GetMachine().ChangeState(QM_STATE_NET_LOST);
    mode.Update();
    mode.Update();
    EXPECT_FALSE(mode.IsFinished());
    mode.mNetLostState.OnButtonValid(mArgs);
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_MAIN_MENU);
}

// A lost host reports every slot it drops: the match enters the net-lost
// state once, and a press of its button made in between still counts.
TEST_F(QuickMatchModeTest, ALostHostEntersTheNetLostStateOnceAndKeepsThePress) {
    DescribeMatch(8, 9);
    CQuickMatchGameMode mode(7);
    mode.Init();
    CNetMgrInterface* listener = g_NetMgr.GetListener();
    ASSERT_NE(listener, nullptr);
    listener->OnHostLost();
    EXPECT_EQ(mode.GetMachine().GetCurrentState(), QM_STATE_NET_LOST);
    mode.mNetLostState.OnButtonValid(mArgs);
    listener->OnHostLost();
    mode.Update();
    EXPECT_TRUE(mode.IsFinished());
    EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_MAIN_MENU);
}

// The lobby started a LAN match, but the session ended before the match
// mode was built: nobody would send the peer's throws, so the match says the
// network is lost instead of waiting for them.
TEST_F(QuickMatchModeTest, ALanMatchWhoseSessionEndedBeforeItBeganIsLostAtOnce) {
    DescribeMatch(8, 9, 0);
    SetInt("NbPlayers", 2);
    SetInt("CONTROLER_1", 7);
    SetInt("Player2Team", 1);
    SetInt("CONTROLER_2", 8);
    SetInt("Team_1_actor_0", 0);
    ASSERT_FALSE(g_NetMgr.IsConnected());
    CQuickMatchGameMode mode(7);
    ASSERT_FALSE(mode.IsMatchRefused());
    mode.Init();
    EXPECT_EQ(mode.GetMachine().GetCurrentState(), QM_STATE_NET_LOST);
}

TEST_F(QuickMatchModeTest, TheTournamentSaveReportsFailuresAndMakesItsFolder) {
    SetInt("QuickMatch", 0, "GAMEPARAMS");
    CQuickMatchGameMode mode(7);
    const std::filesystem::path dir =
        std::filesystem::path(KEM_TEST_BINARY_DIR) / "quick_match_scratch" / "save";
    std::filesystem::remove_all(dir);
    const std::string nested = (dir / "GameSav" / "deeper" / "CUP_1.sav").string();

    EXPECT_FALSE(mode.SaveTournament(nested));   // no save slot
    SaveSlot slot;
    slot.mKind = SAVE_KIND_CUP;
    mode.mCurrentSaveSlot = &slot;
    EXPECT_FALSE(mode.SaveTournament(nested));   // no tournament
    NoTournament tournament;
    g_pCurrentTournament = &tournament;

    ASSERT_TRUE(mode.SaveTournament(nested));
    std::ifstream in(nested, std::ios::binary);
    char head[4] = {0};
    in.read(head, 4);
    EXPECT_EQ(std::string(head, 4), std::string("\xFD\x93\x62\x4E", 4));

    // A folder where the file should go, and a file where a folder should go.
    std::filesystem::create_directories(dir / "occupied.sav");
    EXPECT_FALSE(mode.SaveTournament((dir / "occupied.sav").string()));
    std::ofstream(dir / "plain").put('x');
    EXPECT_FALSE(mode.SaveTournament((dir / "plain" / "CUP_2.sav").string()));
    mode.mCurrentSaveSlot = nullptr;
}

CTournamentScreen* NoScreen(int) { return nullptr; }

TEST_F(QuickMatchModeTest, ATournamentWithoutGamersRunsToItsEndFrameWhoseRetryErasesTheSlotAndDrawsAgain) {
    // In a scratch folder two levels down, where the save folder leads.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    const std::filesystem::path root = std::filesystem::path(KEM_TEST_BINARY_DIR) / "quick_match_retry";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "a" / "b");
    std::filesystem::create_directories(root / "media" / "GameSav");
    ASSERT_EQ(chdir((root / "a" / "b").c_str()), 0);
    BuildSaveSlotList();
    SetTournamentScreenBuilder(&NoScreen);

    SetInt("QuickMatch", 0, "GAMEPARAMS");
    SetInt("tournamentType", 3);
    SetInt("IsRegional", 1);
    SetInt("NbPlayers", 0);
    SetInt("save_slot", 1, "SAVE");
    ASSERT_TRUE(StartCompetition(Env()));
    const CTournament* first = g_pCurrentTournament;
    {
        CQuickMatchGameMode mode(7);
        ASSERT_NE(mode.mCurrentSaveSlot, nullptr);
        const std::string file = PlatFixPath(mode.mCurrentSaveSlot->mPath);
        mode.Init();
        for (int frame = 0; frame < 200 && !mode.mTournamentInfoState.IsEnded(); ++frame)
            mode.Update();
        ASSERT_TRUE(mode.mTournamentInfoState.IsEnded());
        EXPECT_TRUE(g_pCurrentTournament->IsFinished());
        EXPECT_EQ(mode.GetGameMaster(), nullptr);   // nobody played a match
        EXPECT_TRUE(std::filesystem::exists(file));
        mode.Update();
        EXPECT_FALSE(mode.IsFinished()) << "the end frame waits for its buttons";

        mode.mTournamentInfoState.SetRetry();
        mode.Update();
        EXPECT_TRUE(mode.IsFinished());
        EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_QUICK_MATCH);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(mode.mCurrentSaveSlot->mInfo, GetText("EMPTY_SAVE_SLOT_INFO"));
        ASSERT_NE(g_pCurrentTournament, nullptr);
        EXPECT_NE(g_pCurrentTournament, first);
        EXPECT_FALSE(g_pCurrentTournament->IsFinished());
    }
    delete g_pCurrentTournament;
    g_pCurrentTournament = nullptr;
    SetTournamentScreenBuilder(nullptr);
    ASSERT_EQ(chdir(previous), 0);
}

TEST_F(QuickMatchModeTest, ACareerStageHandsTheNextStageBackToTheCareerMenus) {
    struct Case {
        int stage;
        bool gamerWins, lastStep;
        int nextStage;
    };
    const Case cases[] = {
        {1, true, false, 2},    // a stage won opens the next
        {2, false, false, 2},   // a stage lost is played again
        {4, false, true, 3},    // the world stage lost goes back to the third
    };
    for (const Case& c : cases) {
        Env().Clear();
        SetInt("QuickMatch", 0, "GAMEPARAMS");
        SetInt("tournamentType", 4);
        SetInt("careerStep", c.stage);
        SetInt("IsRegional", 1);
        SetInt("NbPlayers", 1);
        SetInt("Team_0", 5);
        SetInt("TeamBeforeNational", 5);
        ASSERT_TRUE(StartCompetition(Env()));
        auto* career = static_cast<CCompetition*>(g_pCurrentTournament);
        TournamentMatch next;
        while (career->NextPlayedMatch(next)) {
            MatchSides sides;
            sides.mFirstTeam = next.mFirstTeam;
            sides.mSecondTeamWon = (career->IsHuman(next.mFirstTeam) != c.gamerWins) ? 1 : 0;
            MatchScores scores;
            career->SetMatchResult(sides, scores);
        }
        while (!career->IsFinished())
            career->Advance();
        CQuickMatchGameMode mode(7);
        mode.ReturnToCareer(c.lastStep);
        EXPECT_TRUE(mode.IsFinished());
        EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_CAREER_MENUS);
        EXPECT_EQ(Env().Find(kQm, "careerStep")->GetInt(), c.nextStage) << "stage " << c.stage;
        EXPECT_EQ(Env().Find(kQm, "backFromMatch")->GetInt(), 1);
        // The career menus get the gamer's region back, also after the world
        // stage between nations.
        EXPECT_EQ(Env().Find(kQm, "Team_0")->GetInt(), 5) << "stage " << c.stage;
        delete g_pCurrentTournament;
        g_pCurrentTournament = nullptr;
    }
}

TEST_F(QuickMatchModeTest, TheTableBuildsTheTrainingAndTheLobbyAndIdsOutsideItEndTheRun) {
    std::unique_ptr<CGameMode> training(CreateGameModeById(GAME_MODE_TRAINING, 3));
    EXPECT_NE(dynamic_cast<CTrainingGameMode*>(training.get()), nullptr);
    for (int id : {-1, static_cast<int>(GAME_MODE_COUNT), 100})
        EXPECT_EQ(CreateGameModeById(id, 3), nullptr) << id;
    // The LAN lobby is in the build.
    std::unique_ptr<CGameMode> lobby(CreateGameModeById(GAME_MODE_LAN_LOBBY, 3));
    ASSERT_NE(lobby, nullptr);
    EXPECT_EQ(lobby->GetModeValue(), GAME_MODE_LAN_LOBBY);
}

TEST(QuickMatchStates, PigOutTextNamesTheOnlySideWithBallsLeft) {
    CLangDB& lang = CLangDB::Instance();
    lang.Clear();
    lang.Add("PIG_IS_OUT", "%s scores %i points");
    lang.Add("NULL_MENE", "void");
    struct Case {
        int playing, other;
        const char* expected;
    };
    const Case cases[] = {{2, 1, "void"}, {2, 0, "P scores 2 points"}, {0, 3, "O scores 3 points"}, {0, 0, "void"}};
    for (const Case& c : cases)
        EXPECT_EQ(CQMGMLaunchResultState::PigIsOutText("P", c.playing, "O", c.other), c.expected);
}

TEST(QuickMatchStates, AwardedPlayersStandAcrossTheReferencePoint) {
    struct Case {
        int count, index;
        float offset;
    };
    const Case cases[] = {{1, 0, 0.0f}, {2, 0, -0.5f}, {2, 1, 0.5f}, {3, 0, -1.0f}, {3, 1, 0.0f}, {3, 2, 1.0f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(CQMGMAwardsState::ActorOffset(c.count, c.index), c.offset) << c.count << "/" << c.index;
}

TEST(QuickMatchStates, SalutePlansNeverRepeatAVariantPlayerOrTime) {
    static int values[] = {32767, 32767, 32767, 32767, 0, 0, 0, 32767, 32767, 32767};
    static size_t next = 0;
    next = 0;
    auto draw = []() { return values[next++ % (sizeof(values) / sizeof(values[0]))]; };
    const auto plan = CQMGMIntroState::PlanSalutes(2, draw);
    ASSERT_LE(plan.size(), 2u);
    ASSERT_FALSE(plan.empty());
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_LT(plan[i].mPlayer, 2);
        for (size_t j = i + 1; j < plan.size(); ++j) {
            EXPECT_NE(plan[i].mVariant, plan[j].mVariant);
            EXPECT_NE(plan[i].mPlayer, plan[j].mPlayer);
            EXPECT_NE(plan[i].mTime, plan[j].mTime);
        }
    }
}

}  // namespace

namespace {

// A career stage played to its end by the gamer's team (national or regional
// table), won or lost, at the given level and stage of the record.
std::unique_ptr<CCompetition> EndedCareerStage(int level, int stage, bool gamerWins, Team*& gamer) {
    std::vector<Team*> teams;
    const size_t first = stage == 2 ? 0 : TeamDB::NATIONAL_TEAM_COUNT;
    for (int i = 0; i < CCompetition::kTeamCount; ++i)
        teams.push_back(TeamDB::GetTeams()[first + i]);
    gamer = teams[5];
    std::unique_ptr<CCompetition> competition(new CCompetition(CCompetition::FORMAT_KNOCKOUT, teams, {gamer}, 4));
    competition->SetCareer(level, stage);
    TournamentMatch next;
    while (competition->NextPlayedMatch(next)) {
        MatchSides sides;
        sides.mFirstTeam = next.mFirstTeam;
        sides.mSecondTeamWon = ((next.mFirstTeam == gamer) != gamerWins) ? 1 : 0;
        MatchScores scores;
        competition->SetMatchResult(sides, scores);
    }
    while (!competition->IsFinished())
        competition->Advance();
    return competition;
}

}  // namespace

// The stage a career goes on at comes from the tournament that ended, not
// from a key the menus wrote: a stage resumed from its save after a restart
// has no such key. The gamer's name goes with it.
TEST_F(QuickMatchModeTest, AnEndedCareerStageGoesOnAtTheStageItsTournamentGives) {
    struct Case {
        int level, stage;
        bool won;
        int next;
    };
    const Case cases[] = {
        {1, 1, true, 2}, {3, 1, true, 4}, {2, 1, false, 2}, {3, 2, false, 3}, {3, 2, true, 4},
    };
    for (const Case& c : cases) {
        Env().Clear();
        SetInt("QuickMatch", 0, "GAMEPARAMS");
        SetInt("tournamentType", 4);
        SetInt("NbPlayers", 1);
        SetInt("GameType", 3);
        Team* gamer = nullptr;
        std::unique_ptr<CCompetition> stage = EndedCareerStage(c.level, c.stage, c.won, gamer);
        SetInt("IsRegional", gamer->mNational ? 0 : 1);
        SetInt("Team_0", gamer->mNational ? gamer->mCountryId : gamer->mRegionId);
        Env().GetVariable(kQm, "Player1Name", true)->SetString("Ines");
        g_pCurrentTournament = stage.get();
        CQuickMatchGameMode mode(7);
        mode.ReturnToCareer(false);
        EXPECT_TRUE(mode.IsFinished());
        EXPECT_EQ(mode.GetNextModeId(), GAME_MODE_CAREER_MENUS);
        EXPECT_EQ(ReadMatchInt(Env(), kQm, "careerStep"), c.next)
            << "level " << c.level << " stage " << c.stage << " won " << c.won;
        EXPECT_STREQ(Env().GetVariable(kQm, "Player1Name", true)->GetString(), "Ines");
        g_pCurrentTournament = nullptr;
    }
}

// The save carries the venue the tournament is played at.
TEST_F(QuickMatchModeTest, TheTournamentSaveCarriesTheVenue) {
    const std::filesystem::path dir = std::filesystem::path(KEM_TEST_BINARY_DIR) / "quick_match_venue";
    std::filesystem::remove_all(dir);
    for (int venue : {0, 2, 3}) {
        SetInt("QuickMatch", 0, "GAMEPARAMS");
        SetInt("location", venue);
        CQuickMatchGameMode mode(7);
        SaveSlot slot;
        slot.mKind = SAVE_KIND_CUP;
        mode.mCurrentSaveSlot = &slot;
        NoTournament tournament;
        g_pCurrentTournament = &tournament;
        const std::string path = (dir / ("CUP_" + std::to_string(venue) + ".sav")).string();
        ASSERT_TRUE(mode.SaveTournament(path));
        mode.mCurrentSaveSlot = nullptr;
        g_pCurrentTournament = nullptr;
        TournamentSaveRecord record;
        ASSERT_TRUE(LoadTournamentSaveRecord(path, record)) << venue;
        EXPECT_EQ(record.mMatch.mVenue, venue);
    }
}

namespace {

// The team presentation puts each side's flag over the half of the picture
// where its line stands: seen from the venue's intro camera (behind the
// reference, side 0 along its x axis, so on the right), from the other end
// and from the side, where the nearer line stands further out.
TEST(IntroPanels, EachSidesFlagGoesOverTheHalfWhereItsLineStands)
{
    const Ogre::Vector3 side0(1.5f, 0.0f, 7.0f), side1(-1.5f, 0.0f, 7.0f);
    const struct {
        const char* view;
        Ogre::Vector3 eye, sight;
        int left;
    } cases[] = {
        {"intro camera", {0.0f, 6.0f, 15.0f}, Ogre::Vector3(0.0f, -0.37f, -0.93f).normalisedCopy(), 1},
        {"from the other end", {0.0f, 6.0f, -1.0f}, Ogre::Vector3(0.0f, -0.37f, 0.93f).normalisedCopy(), 0},
        {"from the side", {9.0f, 4.0f, 0.0f}, Ogre::Vector3(-0.97f, -0.26f, 0.0f).normalisedCopy(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CQMGMIntroState::SideOnTheLeft(c.eye, c.sight, side0, side1), c.left) << c.view;
}

}  // namespace
