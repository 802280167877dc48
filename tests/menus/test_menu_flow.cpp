// The menu-flow base and the screen contract, on a small flow of two screens
// and the dummy last state.
#include "MenuTestUtil.h"

#include <CMenu.h>
#include <CMenuGameMode.h>
#include <TuningParameters.h>

#include <array>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gEvents;

class TestScreen : public CMenu {
public:
    explicit TestScreen(const char* name) : mName(name) {}
    void OnEnter(int) override {
        ClearFlags();
        gEvents.push_back(std::string("enter ") + mName);
    }
    void Update() override { UpdateValidBack(); }
    void OnLeave(int) override { gEvents.push_back(std::string("leave ") + mName); }
    void Validate() { mValidated = 1; }
    std::string mName;
};

// A flow as the real ones are built: screens by value, the dummy last.
class TestFlow : public CMenuGameMode {
public:
    enum { SCREEN_A, SCREEN_B, SCREEN_DUMMY };
    explicit TestFlow(int tournamentType) : CMenuGameMode(-1) { mTournamentType = tournamentType; }

    bool Init() override {
        mMachine.Reset();
        mA.SetMenuGameMode(this);
        mB.SetMenuGameMode(this);
        mDummy.SetMenuGameMode(this);
        mMachine.AddState(SCREEN_A, &mA);
        mMachine.AddState(SCREEN_B, &mB);
        mMachine.AddState(SCREEN_DUMMY, &mDummy);
        mStep = SCREEN_A;
        mMachine.ChangeState(SCREEN_A);
        BindCheatKey();
        return true;
    }
    void Update() override { mMachine.Update(); }
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

    void Next() override {
        ++mStep;
        mMachine.ChangeState(mStep);
        if (mStep == SCREEN_DUMMY) {
            mMachine.Nop();
            SetNextMode(0);
        }
    }
    void Back() override {
        if (mStep == SCREEN_A) {
            SetNextMode(2);
            return;
        }
        --mStep;
        mMachine.ChangeState(mStep);
    }
    CKEMStateMachine* GetStateMachine() override { return &mMachine; }
    int GetStep() override { return mStep; }
    void SetStep(int step) override { mStep = step; }

    int GetNbPlayers() override { return mNbPlayers; }
    void SetNbPlayers(int n) override { mNbPlayers = n; }
    void SetPlayerName(int i, const std::string& name) override { mNames.at(i) = name; }
    const std::string& GetPlayerName(int i) override { return mNames.at(i); }
    void SetPlayerTeam(int i, int team) override { mTeams.at(i) = team; }
    int GetPlayerTeam(int i) override { return mTeams.at(i); }
    void SetGameType(int type) override { mGameType = type; }
    int GetGameType() override { return mGameType; }
    void SetTeamAAi(bool ai) override { mTeamAAi = ai; }
    bool IsTeamAAi() override { return mTeamAAi; }
    void SetTeamBAi(bool ai) override { mTeamBAi = ai; }
    bool IsTeamBAi() override { return mTeamBAi; }
    int GetNbPlayersPerTeam() override { return PlayersPerTeamOf(mGameType); }
    void SetTeamOrigin(int origin) override { mOrigin = origin; }
    int GetTeamOrigin() override { return mOrigin; }
    void SetTeamRegion(int i, int id) override { mRegions.at(i) = id; }
    int GetTeamRegion(int i) override { return mRegions.at(i); }
    void SetTeamCountry(int i, int id) override { mCountries.at(i) = id; }
    int GetTeamCountry(int i) override { return mCountries.at(i); }
    void SetNbGamersTeams(int n) override { mGamersTeams = n; }

    CKEMStateMachine mMachine;
    TestScreen mA{"A"};
    TestScreen mB{"B"};
    CMenuDummy mDummy;
    int mStep = 0;
    int mNbPlayers = 0;
    // Checked tables: an index beyond a flow's six entries throws.
    std::array<std::string, 6> mNames = {"p1", "p2", "p3", "p4", "p5", "p6"};
    std::array<int, 6> mTeams = {-7, -7, -7, -7, -7, -7};
    int mGameType = 0;
    bool mTeamAAi = false;
    bool mTeamBAi = true;
    int mOrigin = 0;
    std::array<int, 6> mRegions = {};
    std::array<int, 6> mCountries = {};
    int mGamersTeams = 0;
};

class MenuFlow : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        gEvents.clear();
        mCheat = ENABLE_CHEAT;
    }
    void TearDown() override {
        ENABLE_CHEAT = mCheat;
        MenuTest::TearDown();
    }
    bool mCheat = false;
};

}  // namespace

TEST_F(MenuFlow, HandlersOnlySetFlagsAndUpdateRunsNextBeforeBack) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.Init();
    ASSERT_EQ(gEvents, (std::vector<std::string>{"enter A"}));

    // Both flags up: the flow moves forward and straight back.
    flow.mA.Validate();
    flow.mA.OnBtnBack(CEGUI::EventArgs());
    EXPECT_EQ(gEvents.size(), 1u) << "a handler never switches screens";
    flow.Update();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"enter A", "leave A", "enter B", "leave B", "enter A"}));
    EXPECT_EQ(flow.GetStep(), TestFlow::SCREEN_A);
    EXPECT_FALSE(flow.mA.IsValidated()) << "entering again starts from cleared flags";
    EXPECT_FALSE(flow.IsFinished());

    // Back on the first screen leaves for the main menu without entering another.
    gEvents.clear();
    flow.mA.OnBtnBack(CEGUI::EventArgs());
    flow.Update();
    EXPECT_TRUE(gEvents.empty());
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
}

TEST_F(MenuFlow, NextAfterLastScreenLeavesItThroughTheDummy) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.Init();
    flow.mA.Validate();
    flow.Update();
    flow.mB.Validate();
    flow.Update();
    EXPECT_EQ(gEvents.back(), "leave B");
    EXPECT_EQ(flow.mMachine.GetCurrentState(), TestFlow::SCREEN_DUMMY);
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
}

TEST_F(MenuFlow, NKeyValidatesOnlyWithCheats) {
    const int kKeyN = 0x31;
    for (bool cheat : {false, true}) {
        SCOPED_TRACE(cheat);
        gInputMgr.Init();   // clears the bindings
        ENABLE_CHEAT = cheat;
        gEvents.clear();
        TestFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.Init();
        mKeys->PressKey(kKeyN);
        gInputMgr.Update();
        flow.Update();
        mKeys->ReleaseKey(kKeyN);
        gInputMgr.Update();
        EXPECT_EQ(flow.GetStep(), cheat ? TestFlow::SCREEN_B : TestFlow::SCREEN_A);
        EXPECT_EQ(gInputMgr.GetKeyMapping(CMenuGameMode::ACTION_CHEAT_NEXT), cheat ? kKeyN : 0);
    }
}

TEST_F(MenuFlow, FreshFlowHasNoActorsAndIgnoresOutOfRangeChoices) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_CAREER);
    for (int team = 0; team < CMenuGameMode::MAX_TEAMS; ++team)
        for (int role = 0; role < CMenuGameMode::MAX_ROLES; ++role)
            EXPECT_EQ(flow.GetActorChoice(team, role), -1);
    EXPECT_EQ(flow.SetActorChoice(5, 2, 4), 4);
    EXPECT_EQ(flow.GetActorChoice(5, 2), 4);
    flow.SetActorChoice(6, 0, 3);
    flow.SetActorChoice(0, 3, 3);
    EXPECT_EQ(flow.GetActorChoice(6, 0), -1);
    EXPECT_EQ(flow.GetActorChoice(0, 0), -1);
    EXPECT_EQ(flow.GetNbPlayersPerTeam(), -1);
    EXPECT_EQ(flow.GetNextModeId(), -1);
    EXPECT_EQ(flow.GetModeValue(), 0);
}

namespace {
CEnvironmentVariable* Qm(const char* name) {
    return gSceneMgr.GetEnvironment().GetVariable("QUICKMATCHPARAMS", name, true);
}
}  // namespace

TEST_F(MenuFlow, ResumeInQuickMatchRestoresPlayersNationsAndTwoTeams) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.Init();
    gEvents.clear();
    Qm("back_in_state")->SetInt(TestFlow::SCREEN_B);
    Qm("GameType")->SetFloat(2.9f);
    Qm("NbPlayers")->SetInt(2);
    Qm("mNbGamersTeams")->SetInt(5);
    Qm("isTeamAAi")->SetInt(1);
    Qm("isTeamBAi")->SetInt(0);
    Qm("Player1Team")->SetInt(1);
    Qm("Player1Name")->SetString("Marius");
    Qm("Player2Team")->SetInt(0);   // no name stored: the flow's stays
    Qm("Team_0")->SetInt(8);
    Qm("Team_1")->SetInt(3);
    Qm("Team_2")->SetInt(9);

    EXPECT_TRUE(flow.ResumeFromMatch());
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "backFromMatch"), 1);
    EXPECT_EQ(flow.GetGameType(), 2) << "a float reads truncated";
    EXPECT_EQ(flow.GetNbPlayers(), 2);
    EXPECT_EQ(flow.mGamersTeams, 5);
    EXPECT_TRUE(flow.IsTeamAAi());
    EXPECT_FALSE(flow.IsTeamBAi());
    EXPECT_EQ(flow.GetPlayerTeam(0), 1);
    EXPECT_EQ(flow.GetPlayerName(0), "Marius");
    EXPECT_EQ(flow.GetPlayerTeam(1), 0);
    EXPECT_EQ(flow.GetPlayerName(1), "p2");
    EXPECT_EQ(flow.GetPlayerTeam(2), -7);
    EXPECT_EQ(flow.GetTeamOrigin(), 2) << "no IsRegional: nations";
    EXPECT_EQ(flow.GetTeamCountry(0), 8);
    EXPECT_EQ(flow.GetTeamCountry(1), 3);
    EXPECT_EQ(flow.GetTeamCountry(2), 0) << "the quick match restores two teams only";
    EXPECT_EQ(flow.GetStep(), TestFlow::SCREEN_B);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"leave A", "enter B"}));
}

TEST_F(MenuFlow, ResumeInTournamentUsesRegionsAndStoredTeamCount) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    flow.Init();
    Qm("back_in_state")->SetInt(TestFlow::SCREEN_A);
    Qm("NbPlayers")->SetInt(0);
    Qm("mNbGamersTeams")->SetInt(3);
    Qm("IsRegional")->SetInt(1);
    Qm("Player1Name")->SetString("ignored");
    for (const char* key : {"Team_0", "Team_1", "Team_2"})
        Qm(key)->SetInt(key[5] - '0' + 10);
    Qm("GameType")->SetString("3");   // a text reads as 0

    flow.ResumeFromMatch();
    EXPECT_EQ(flow.GetGameType(), 0);
    EXPECT_EQ(flow.GetPlayerName(0), "p1") << "no players: no names";
    EXPECT_FALSE(flow.IsTeamAAi()) << "only the quick match restores the AI flags";
    EXPECT_EQ(flow.GetTeamOrigin(), 1);
    EXPECT_EQ(flow.GetTeamRegion(0), 10);
    EXPECT_EQ(flow.GetTeamRegion(2), 12);
    EXPECT_EQ(flow.GetTeamCountry(0), 0);
}

TEST_F(MenuFlow, ResumeKeepsStoredCountsWithinTheSixSlots) {
    TestFlow flow(CMenuGameMode::TOURNAMENT_CUP);
    flow.Init();
    Qm("back_in_state")->SetInt(TestFlow::SCREEN_A);
    Qm("NbPlayers")->SetInt(40);
    Qm("mNbGamersTeams")->SetInt(9);
    Qm("IsRegional")->SetInt(1);
    Qm("Player6Team")->SetInt(1);
    Qm("Team_5")->SetInt(16);
    EXPECT_NO_THROW(flow.ResumeFromMatch());
    EXPECT_EQ(flow.GetNbPlayers(), 6);
    EXPECT_EQ(flow.GetPlayerTeam(5), 1);
    EXPECT_EQ(flow.GetTeamRegion(5), 16);
}
