// The choice screens of the menu flows: LAN or local, number of players,
// game type, career type and stage, each run as the first screen of a small
// flow that records what the screen hands it.
#include "MenuTestUtil.h"

#include <CMenuChooseCareerType.h>
#include <CMenuChooseGameType.h>
#include <CMenuChooseLan.h>
#include <CMenuChooseNbPlayers.h>
#include <CMenuChooseStage.h>
#include <CMenuGameMode.h>
#include <CLangDB.h>
#include <MenuServices.h>
#include <TuningParameters.h>

#include <CEGUI/widgets/Editbox.h>

#include <array>
#include <set>
#include <string>

namespace {

std::set<std::string> gBlinking;

// The screen under test, then a stand-in for the next screen, then the dummy.
class RecordingFlow : public CMenuGameMode {
public:
    enum { SCREEN = 0, AFTER = 1, DUMMY = 2 };
    RecordingFlow(CMenu& screen, int tournamentType) : CMenuGameMode(-1), mScreen(screen) {
        mTournamentType = tournamentType;
        SetName("QUICKMATCH");
    }

    bool Init() override {
        mMachine.Reset();
        mScreen.SetMenuGameMode(this);
        mAfter.SetMenuGameMode(this);
        mDummy.SetMenuGameMode(this);
        mMachine.AddState(SCREEN, &mScreen);
        mMachine.AddState(AFTER, &mAfter);
        mMachine.AddState(DUMMY, &mDummy);
        mStep = SCREEN;
        mMachine.ChangeState(SCREEN);
        BindCheatKey();
        return true;
    }
    void Update() override { mMachine.Update(); }
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }
    void Next() override { mMachine.ChangeState(++mStep); }
    void Back() override {
        if (mStep == SCREEN)
            SetNextMode(GAME_MODE_MAIN_MENU);
        else
            mMachine.ChangeState(--mStep);
    }
    CKEMStateMachine* GetStateMachine() override { return &mMachine; }
    int GetStep() override { return mStep; }
    void SetStep(int step) override { mStep = step; }

    int GetNbPlayers() override { return mNbPlayers; }
    void SetNbPlayers(int n) override { mNbPlayers = n; }
    void SetPlayerName(int i, const std::string& name) override { mNames.at(i) = name; }
    const std::string& GetPlayerName(int i) override { return mNames.at(i); }
    void SetPlayerTeam(int, int) override {}
    int GetPlayerTeam(int) override { return 0; }
    void SetGameType(int type) override { mGameType = type; }
    int GetGameType() override { return mGameType; }
    void SetTeamAAi(bool) override {}
    bool IsTeamAAi() override { return false; }
    void SetTeamBAi(bool) override {}
    bool IsTeamBAi() override { return true; }
    int GetNbPlayersPerTeam() override { return PlayersPerTeamOf(mGameType); }
    void SetLanGame(int lan) override { mLan = lan; }
    void SetTeamOrigin(int origin) override { mOrigin = origin; }
    int GetTeamOrigin() override { return mOrigin; }
    void SetNbGamersTeams(int n) override { mGamersTeams = n; }
    int GetCareerType() override { return mCareerType; }
    void SetCareerType(int type) override { mCareerType = type; }

    CMenu& mScreen;
    CMenuDummy mAfter;
    CMenuDummy mDummy;
    CKEMStateMachine mMachine;
    int mStep = 0;
    int mNbPlayers = 0;
    // Checked: an index beyond the six players throws.
    std::array<std::string, 6> mNames = {"Ann", "Bob", "Cid", "Dan", "Eve", "Fay"};
    int mGameType = 0;
    int mLan = -1;
    int mOrigin = 7;
    int mGamersTeams = 0;
    int mCareerType = 1;
};

class MenuScreens : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mCheat = ENABLE_CHEAT;
        mHooks = MenuHudHooks();
        gBlinking.clear();
        MenuHudHooks().startWindowEffect = [](const std::string& w) { gBlinking.insert(w); };
        MenuHudHooks().stopWindowEffect = [](const std::string& w) { gBlinking.erase(w); };
    }
    void TearDown() override {
        MenuHudHooks() = mHooks;
        ENABLE_CHEAT = mCheat;
        MenuTest::TearDown();
    }

    static bool Enabled(const char* name) {
        CEGUI::Window* w = Window(name);
        return w && !w->isDisabled();
    }
    static bool Blinking(const std::string& name) { return gBlinking.count(name) != 0; }
    static std::string Text(const char* name) {
        CEGUI::Window* w = Window(name);
        return w ? w->getText().c_str() : "<none>";
    }
    // One frame with the N key down, then up again.
    void PressN(RecordingFlow& flow) {
        mKeys->PressKey(CMenuGameMode::CHANNEL_KEY_N);
        gInputMgr.Update();
        flow.Update();
        mKeys->ReleaseKey(CMenuGameMode::CHANNEL_KEY_N);
        gInputMgr.Update();
    }

    bool mCheat = false;
    CMenuHudHooks mHooks;
};

}  // namespace

// ---- LAN or local ----

TEST_F(MenuScreens, LanScreenChoiceAndValidation) {
    CMenuChooseLan screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.Init();
    EXPECT_EQ(Text("TextChosen"), GetText("LOCAL"));
    EXPECT_EQ(flow.mLan, 0);
    EXPECT_TRUE(Visible("BtnValid"));
    EXPECT_FALSE(Enabled("BtnValid"));

    Click("BtnLAN");
    EXPECT_TRUE(Enabled("BtnValid"));
    EXPECT_TRUE(Blinking("BtnValid"));
    EXPECT_TRUE(Blinking("BtnLAN"));
    EXPECT_EQ(flow.mLan, 1);
    EXPECT_EQ(Text("TextChosen"), GetText("LAN"));

    Click("BtnLocal");
    EXPECT_EQ(screen.GetChoice(), CMenuChooseLan::CHOICE_LOCAL);
    EXPECT_EQ(flow.mLan, 0);
    EXPECT_TRUE(Blinking("BtnLocal"));
    EXPECT_FALSE(Blinking("BtnLAN"));

    // A local game only raises the flag; the next update moves on and the
    // windows stay for the next screen's layout.
    Click("BtnValid");
    EXPECT_EQ(flow.GetStep(), RecordingFlow::SCREEN);
    flow.Update();
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_FALSE(Blinking("BtnValid"));
    EXPECT_NE(Window("BtnLocal"), nullptr);
    EXPECT_FALSE(flow.IsFinished());
}

TEST_F(MenuScreens, LanValidationGoesToTheLobbyAndBackToTheMainMenu) {
    {
        CMenuChooseLan screen;
        RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.Init();
        Click("BtnLAN");
        Click("BtnValid");
        EXPECT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), 11);
        flow.Update();
        EXPECT_EQ(flow.GetStep(), RecordingFlow::SCREEN) << "the lobby leaves the menus without Next";
    }
    {
        CMenuChooseLan screen;
        RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.Init();
        Click("BtnBack");
        EXPECT_FALSE(flow.IsFinished());
        flow.Update();
        EXPECT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
    }
}

// ---- number of players ----

TEST_F(MenuScreens, NbPlayersEntryShowsOneRowAndClearsTheControllers) {
    for (int n = 1; n <= 6; ++n)
        MenuWriteInt("QUICKMATCHPARAMS", ("CONTROLER_" + std::to_string(n)).c_str(), 3);
    CMenuChooseNbPlayers screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mNbPlayers = 5;
    flow.Init();

    EXPECT_EQ(flow.mNbPlayers, 1);
    EXPECT_EQ(screen.GetPlayerCount(), 1);
    EXPECT_EQ(Text("EditName"), "Ann");
    EXPECT_EQ(Text("TxtP1"), "Ann");
    EXPECT_EQ(Text("BtnP1Mod"), std::string(GetText("PLAYER_ABR")) + "1");
    EXPECT_TRUE(Blinking("BtnP1"));
    EXPECT_TRUE(Blinking("BtnValid"));
    EXPECT_NE(Window("EditName")->getProperty("SelectedTextColour").find("FFB20000"), CEGUI::String::npos);
    EXPECT_NE(Window("EditName")->getProperty("NormalTextColour").find("FF000000"), CEGUI::String::npos);
    for (int n = 1; n <= 6; ++n) {
        const std::string i = std::to_string(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(Int("QUICKMATCHPARAMS", ("CONTROLER_" + i).c_str()), 0);
        EXPECT_TRUE(Visible(("BtnP" + i).c_str()));
        EXPECT_EQ(Visible(("BtnP" + i + "Mod").c_str()), n == 1);
        EXPECT_EQ(Visible(("TxtP" + i).c_str()), n == 1);
        if (n > 1) {
            EXPECT_FLOAT_EQ(Window(("BtnP" + i).c_str())->getAlpha(), 0.5f);
        }
    }
}

TEST_F(MenuScreens, NbPlayersCountNamesAndValidation) {
    CMenuChooseNbPlayers screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.Init();

    Click("BtnP4");
    EXPECT_EQ(screen.GetPlayerCount(), 4);
    EXPECT_EQ(screen.GetEditedPlayer(), 3);
    EXPECT_EQ(Text("EditName"), "Dan");
    EXPECT_TRUE(Blinking("BtnP4"));
    EXPECT_FALSE(Blinking("BtnP1"));
    for (int n = 1; n <= 6; ++n) {
        const std::string i = std::to_string(n);
        EXPECT_EQ(Visible(("TxtP" + i).c_str()), n <= 4) << n;
        EXPECT_EQ(Visible(("BtnP" + i + "Mod").c_str()), n <= 4) << n;
    }
    EXPECT_EQ(Text("TxtP3"), "Cid");

    // A twelve-letter name keeps its first nine letters everywhere.
    Click("BtnP2Mod");
    EXPECT_EQ(screen.GetEditedPlayer(), 1);
    CEGUI::Window* edit = Window("EditName");
    ASSERT_NE(edit, nullptr);
    edit->setText("Maximiliano1");
    CEGUI::KeyEventArgs key(edit);
    edit->fireEvent(CEGUI::Window::EventKeyUp, key, CEGUI::Window::EventNamespace);
    EXPECT_EQ(Text("EditName"), "Maximilia");
    EXPECT_EQ(Text("TxtP2"), "Maximilia");
    EXPECT_EQ(flow.mNames[1], "Maximilia");
    EXPECT_EQ(screen.GetPlayerCount(), 4) << "a player button keeps the count";

    // A handler fired from a window outside the pattern changes nothing.
    CEGUI::WindowEventArgs stray(Window("BtnBack"));
    screen.OnBtnCount(stray);
    EXPECT_EQ(screen.GetPlayerCount(), 4);

    Click("BtnValid");
    EXPECT_EQ(flow.mNbPlayers, 4);
    EXPECT_EQ(flow.mGamersTeams, 4);
    EXPECT_EQ(flow.GetStep(), RecordingFlow::SCREEN);
    flow.Update();
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
}

TEST_F(MenuScreens, NbPlayersOnePlayerFormAndNoCheatKey) {
    for (int type : {CMenuGameMode::TOURNAMENT_CHAMPIONSHIP, CMenuGameMode::TOURNAMENT_CAREER}) {
        SCOPED_TRACE(type);
        gInputMgr.Init();
        ENABLE_CHEAT = true;
        CMenuChooseNbPlayers screen;
        RecordingFlow flow(screen, type);
        flow.Init();
        EXPECT_EQ(Text("TextInfoEnterName"), GetText("ENTER_NAME_ONE_P"));
        EXPECT_TRUE(Visible("BtnP1"));
        EXPECT_TRUE(Visible("TxtP1"));
        for (const char* hidden : {"BtnP2", "BtnP6", "BtnP2Mod", "TxtP2"})
            EXPECT_FALSE(Visible(hidden)) << hidden;
        // The names cannot be skipped with the cheat key.
        PressN(flow);
        EXPECT_EQ(flow.GetStep(), RecordingFlow::SCREEN);
        Click("BtnBack");
        flow.Update();
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
    }
}

// ---- game type ----

TEST_F(MenuScreens, GameTypeOffersWhatTheHumanPlayersFit) {
    struct Case {
        int tournament, humans;
        bool faceToFace, doublette;
    };
    const Case cases[] = {
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 2, true, true},
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 3, false, true},
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 4, false, true},
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 5, false, false},
        {CMenuGameMode::TOURNAMENT_CHAMPIONSHIP, 6, false, false},
        {CMenuGameMode::TOURNAMENT_CUP, 6, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tournament << "/" << c.humans);
        CMenuChooseGameType screen;
        RecordingFlow flow(screen, c.tournament);
        flow.mNbPlayers = c.humans;
        flow.Init();
        EXPECT_EQ(Enabled("BtnFaceToFace"), c.faceToFace);
        EXPECT_EQ(Enabled("BtnDoublette"), c.doublette);
        EXPECT_TRUE(Enabled("BtnTriplette"));
        EXPECT_FALSE(Enabled("BtnValid"));
    }
}

TEST_F(MenuScreens, GameTypeChoiceIsStoredAtOnceAndValidated) {
    CMenuChooseGameType screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mNbPlayers = 1;
    flow.Init();
    Click("BtnFaceToFace");
    EXPECT_EQ(flow.mGameType, 1);
    Click("BtnTriplette");
    EXPECT_EQ(flow.mGameType, 3);
    EXPECT_EQ(flow.GetNbPlayersPerTeam(), 3);
    EXPECT_TRUE(Blinking("BtnTriplette"));
    EXPECT_FALSE(Blinking("BtnFaceToFace"));
    EXPECT_TRUE(Blinking("BtnValid"));
    EXPECT_TRUE(Enabled("BtnValid"));

    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_EQ(flow.mGameType, 3);
    EXPECT_EQ(Window("BtnTriplette"), nullptr) << "leaving clears the GUI";
}

TEST_F(MenuScreens, GameTypeCheatKeyBeforeAnyChoiceKeepsTheFlowsType) {
    gInputMgr.Init();
    ENABLE_CHEAT = true;
    CMenuChooseGameType screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mGameType = 2;
    flow.Init();
    PressN(flow);
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_EQ(flow.mGameType, 2);
}

// ---- career type ----

TEST_F(MenuScreens, CareerTypeLeavesOnlyTheCurrentStepUsable) {
    struct Case {
        int tournament, careerType;
        std::array<bool, 5> enabled;   // the four championships, then Back
    };
    const Case cases[] = {
        {CMenuGameMode::TOURNAMENT_CAREER, 1, {true, false, false, false, true}},
        {CMenuGameMode::TOURNAMENT_CAREER, 2, {false, true, false, false, false}},
        {CMenuGameMode::TOURNAMENT_CAREER, 3, {false, false, true, false, false}},
        {CMenuGameMode::TOURNAMENT_CAREER, 4, {false, false, false, true, false}},
        {CMenuGameMode::TOURNAMENT_CAREER, 9, {true, true, true, true, true}},
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 3, {true, true, true, true, true}},
    };
    const char* const windows[] = {"BtnFrancefaceToFace", "BtnFranceDoublette", "BtnFranceTriplette",
                                   "BtnWorldChamp", "BtnBack"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tournament << "/" << c.careerType);
        CMenuChooseCareerType screen;
        RecordingFlow flow(screen, c.tournament);
        flow.mCareerType = c.careerType;
        flow.Init();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Enabled(windows[i]), c.enabled[i]) << windows[i];
        EXPECT_FALSE(Enabled("BtnValid"));
        EXPECT_TRUE(Blinking("BtnValid")) << "it blinks while disabled";
    }
}

TEST_F(MenuScreens, CareerTypeButtonsStoreTheirChampionship) {
    struct Case {
        const char* button;
        int gameType, careerType, origin;
    };
    // Origin 7 is the recording flow's own: face to face leaves it alone.
    const Case cases[] = {
        {"BtnFrancefaceToFace", 1, 1, 7},
        {"BtnFranceDoublette", 2, 2, 1},
        {"BtnFranceTriplette", 3, 3, 1},
        {"BtnWorldChamp", 3, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        CMenuChooseCareerType screen;
        RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.Init();
        Click(c.button);
        EXPECT_EQ(flow.mGameType, c.gameType);
        EXPECT_EQ(flow.mCareerType, c.careerType);
        EXPECT_EQ(flow.mOrigin, c.origin);
        EXPECT_TRUE(Enabled("BtnValid"));
        EXPECT_TRUE(Blinking(c.button));
        Click("BtnValid");
        EXPECT_FALSE(Blinking("BtnValid"));
        flow.Update();
        EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    }
}

TEST_F(MenuScreens, CareerTypeCheatKeyLeavesTheFlowUnchanged) {
    gInputMgr.Init();
    ENABLE_CHEAT = true;
    CMenuChooseCareerType screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_CAREER);
    flow.mCareerType = 4;
    flow.Init();
    PressN(flow);
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_EQ(flow.mGameType, 0);
    EXPECT_EQ(flow.mCareerType, 4);
    EXPECT_EQ(flow.mOrigin, 7);
}

// ---- stage ----

TEST_F(MenuScreens, StageBrowsingStopsAtBothEndsAndValidatesTheShownStage) {
    CMenuChooseStage screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.SetLocation(2);
    flow.Init();
    EXPECT_EQ(screen.GetStageIndex(), 0);
    EXPECT_EQ(Text("FrameName"), GetText("MARSEILLE"));
    EXPECT_TRUE(Blinking("BtnValid"));

    Click("BtnPrev");
    EXPECT_EQ(screen.GetStageIndex(), 0);
    const char* const names[] = {"BALTARD", "REUNION", "CIOTAT", "CIOTAT"};
    for (const char* name : names) {
        Click("BtnNext");
        EXPECT_EQ(Text("FrameName"), GetText(name));
    }
    EXPECT_EQ(screen.GetStageIndex(), 3);
    EXPECT_EQ(CMenuChooseStage::StageMaterial(3), "MENU/Terrain/Laciotat");
    EXPECT_EQ(CMenuChooseStage::StageMaterial(1), "MENU/Terrain/Baltar");
    Click("BtnPrev");
    EXPECT_EQ(flow.GetLocation(), 2) << "browsing alone stores nothing";

    Click("BtnValid");
    EXPECT_EQ(flow.GetLocation(), 2);
    flow.Update();
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_FALSE(Blinking("BtnValid"));
    EXPECT_EQ(Window("BtnNext"), nullptr);

    // Every entry starts again at the first stage.
    flow.Back();
    EXPECT_EQ(screen.GetStageIndex(), 0);
    Click("BtnValid");
    EXPECT_EQ(flow.GetLocation(), 0);
}

TEST_F(MenuScreens, StageCheatKeyKeepsTheFlowsLocation) {
    gInputMgr.Init();
    ENABLE_CHEAT = true;
    CMenuChooseStage screen;
    RecordingFlow flow(screen, CMenuGameMode::TOURNAMENT_CUP);
    flow.SetLocation(3);
    flow.Init();
    PressN(flow);
    EXPECT_EQ(flow.GetStep(), RecordingFlow::AFTER);
    EXPECT_EQ(flow.GetLocation(), 3);
}

// ---- missing layouts ----

TEST_F(MenuScreens, MissingLayoutsAreLoggedAndTheScreensStillRun) {
    // Without the scheme no window type is known: the layouts cannot load.
    mSession.Stop();
    ASSERT_TRUE(mSession.Start(gGUIMgr));
    LogCapture log;
    CMenuChooseLan lan;
    CMenuChooseNbPlayers players;
    CMenuChooseGameType gameType;
    CMenuChooseCareerType careerType;
    CMenuChooseStage stage;
    CMenu* const screens[] = {&lan, &players, &gameType, &careerType, &stage};
    for (CMenu* screen : screens) {
        RecordingFlow flow(*screen, CMenuGameMode::TOURNAMENT_CAREER);
        flow.mNbPlayers = 3;
        flow.Init();
        screen->OnBtnBack(CEGUI::EventArgs());
        flow.Update();
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
    }
    for (const char* layout : {CMenuChooseLan::kLayout, CMenuChooseNbPlayers::kLayout, CMenuChooseGameType::kLayout,
                               CMenuChooseCareerType::kLayout, CMenuChooseStage::kLayout})
        EXPECT_TRUE(log.Has({layout, "missing"})) << layout;
}
