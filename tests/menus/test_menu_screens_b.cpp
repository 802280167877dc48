// The save-slot, training-type, training description and championship-type
// screens: what each choice writes into the flow or the settings store, the
// flags a handler sets and the next update acts on, the slot list read from
// a scratch save folder, and screens whose layout is missing.
#include "MenuTestUtil.h"

#include <CCompetition.h>
#include <CLangDB.h>
#include <CMenuChooseChampType.h>
#include <CMenuChooseTrainingType.h>
#include <CMenuGameMode.h>
#include <CMenuSave.h>
#include <CMenuTrainingChoice.h>
#include <CMenuTrainingDescription.h>
#include <CObjnet.h>
#include <MenuServices.h>
#include <PlayerDB.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentSaveRecord.h>

#include <CEGUI/PropertyHelper.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace {

std::set<std::string> gBlinking;
void StartBlink(const std::string& w) { gBlinking.insert(w); }
void StopBlink(const std::string& w) { gBlinking.erase(w); }

// A flow that counts what its screens ask of it; it holds a training choice
// like the training flow does.
class CountingFlow : public CMenuGameMode, public CMenuTrainingChoice {
public:
    explicit CountingFlow(int tournamentType) : CMenuGameMode(-1) {
        mTournamentType = tournamentType;
        SetName("Flow title");
    }
    bool Init() override { return true; }
    void Update() override {
        if (mScreen)
            mScreen->Update();
    }
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }
    void Next() override { ++mNext; }
    void Back() override { ++mBack; }
    void StartMatch() override {
        ++mStart;
        mWindowsAtStart = gGUIMgr.GetWindow("Slot1") != nullptr;
    }
    CKEMStateMachine* GetStateMachine() override { return nullptr; }
    int GetStep() override { return 0; }
    void SetStep(int) override {}
    int GetNbPlayers() override { return 1; }
    void SetNbPlayers(int) override {}
    void SetPlayerName(int, const std::string&) override {}
    const std::string& GetPlayerName(int) override { return mName; }
    void SetPlayerTeam(int, int) override {}
    int GetPlayerTeam(int) override { return 0; }
    void SetGameType(int) override {}
    int GetGameType() override { return 1; }
    void SetTeamAAi(bool) override {}
    bool IsTeamAAi() override { return false; }
    void SetTeamBAi(bool) override {}
    bool IsTeamBAi() override { return true; }
    int GetNbPlayersPerTeam() override { return 1; }
    void SetTeamOrigin(int origin) override { mOrigin = origin; }
    int GetTeamOrigin() override { return mOrigin; }

    void Enter(CMenu& screen) {
        mScreen = &screen;
        screen.SetMenuGameMode(this);
        screen.OnEnter(-1);
    }

    CMenu* mScreen = nullptr;
    int mNext = 0;
    int mBack = 0;
    int mStart = 0;
    bool mWindowsAtStart = true;
    int mOrigin = -9;
};

class ChoiceScreens : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        gBlinking.clear();
        mHooks = MenuHudHooks();
        MenuHudHooks().startWindowEffect = &StartBlink;
        MenuHudHooks().stopWindowEffect = &StopBlink;
    }
    void TearDown() override {
        MenuHudHooks() = mHooks;
        MenuTest::TearDown();
    }
    static std::string Text(const char* name) {
        CEGUI::Window* w = Window(name);
        EXPECT_NE(w, nullptr) << name;
        return w ? std::string(w->getText().c_str()) : std::string();
    }
    static bool Enabled(const char* name) {
        CEGUI::Window* w = Window(name);
        EXPECT_NE(w, nullptr) << name;
        return w && !w->isDisabled();
    }
    CMenuHudHooks mHooks;
};

// The championship row of the slot table in a scratch save folder: slot 2
// holds a save, slot 5 a used entry whose file cannot be deleted.
class SaveScreen : public ChoiceScreens {
protected:
    void SetUp() override {
        ChoiceScreens::SetUp();
        mDir = std::filesystem::path(KEM_TEST_BINARY_DIR) / "menus_scratch" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(mDir);
        std::filesystem::create_directories(mDir);
        BuildSaveSlotList();
        for (int slot = 0; slot < SAVE_SLOTS_PER_KIND; ++slot)
            Record(slot + 1).mPath = (mDir / ("CHAMPIONSHIP_" + std::to_string(slot) + ".sav")).string();
        WriteSave(Record(2).mPath, "Championship_01/02/26_9:30");
        // A folder in place of the file: it reads as used and resists deletion.
        std::filesystem::create_directories(mDir / "locked.sav" / "inside");
        Record(5).mPath = (mDir / "locked.sav").string();
        Record(5).mInfo = "Old save";   // kept: the folder is no readable save
    }
    void TearDown() override {
        for (SaveSlot& slot : g_SaveSlotTable)
            slot = SaveSlot();
        std::filesystem::remove_all(mDir);
        ChoiceScreens::TearDown();
    }
    static SaveSlot& Record(int slot) {
        return g_SaveSlotTable[SAVE_KIND_CHAMPIONSHIP * SAVE_SLOTS_PER_KIND + slot - 1];
    }
    static void SetUpTestSuite() {
        ASSERT_TRUE(TeamDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Equipes_DB.csv"));
        ASSERT_TRUE(PlayerDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Joueurs_DB.csv"));
    }
    static void TearDownTestSuite() {
        PlayerDB::Release();
        TeamDB::Init();
    }
    // A whole championship save with that info text: the screen shows only
    // saves it can resume (one gamer, region 9, in a fresh draw).
    static void WriteSave(const std::string& path, const std::string& info) {
        Team* gamer = TeamDB::GetRegionalTeam(9);
        ASSERT_NE(gamer, nullptr);
        CCompetition championship(CCompetition::FORMAT_POOLS, CCompetition::DrawTeams(false, {gamer}, &KemRand),
                                  {gamer}, CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
        CObjnet tournament;
        g_pCurrentTournament = &championship;
        WriteTournamentSave(&tournament);
        g_pCurrentTournament = nullptr;
        SaveMatchDescription match;
        match.mGameType = 1;
        match.mNbPlayers = 1;
        match.mIsRegional = 1;
        match.mTeams = {{9, {0}}};
        match.mPlayers = {{0, "Ines"}};
        CObjnet save;
        WriteTournamentSaveRecord(save, info, match, &tournament);
        ASSERT_EQ(save.SaveToFile(path.c_str()), 0);
    }
    std::filesystem::path mDir;
};

}  // namespace

TEST_F(SaveScreen, ListsTheFlowsSlotsWithNothingSelected) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuSave screen;
    flow.Enter(screen);
    EXPECT_EQ(screen.GetSaveTypeIndex(), SAVE_KIND_CHAMPIONSHIP);
    EXPECT_EQ(Text("FrameName"), "Flow title");
    EXPECT_EQ(Text("Slot2"), "Championship_01/02/26_9:30");
    for (const char* free : {"Slot1", "Slot3", "Slot4", "Slot6"})
        EXPECT_EQ(Text(free), GetText("EMPTY")) << free;
    EXPECT_EQ(Text("nS6"), "6");
    EXPECT_EQ(screen.GetCurrentSlot(), -1);
    for (const char* button : {"BtnValid", "BtnCreate", "BtnErase"})
        EXPECT_FALSE(Enabled(button)) << button;
    EXPECT_FALSE(Visible("FrameConfSuppr"));

    // The kinds of the other tournament flows pick their own rows.
    for (auto kind : {std::make_pair(int(CMenuGameMode::TOURNAMENT_CAREER), int(SAVE_KIND_CAREER)),
                      std::make_pair(int(CMenuGameMode::TOURNAMENT_CUP), int(SAVE_KIND_CUP))}) {
        CountingFlow other(kind.first);
        CMenuSave otherScreen;
        other.Enter(otherScreen);
        EXPECT_EQ(otherScreen.GetSaveTypeIndex(), kind.second);
        EXPECT_EQ(Text("Slot2"), GetText("EMPTY"));
    }
}

TEST_F(SaveScreen, FreeSlotNeedsCreateThenContinuesTheSetUp) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuSave screen;
    flow.Enter(screen);

    Click("Slot4");
    EXPECT_EQ(screen.GetCurrentSlot(), 4);
    EXPECT_TRUE(Enabled("BtnCreate"));
    EXPECT_FALSE(Enabled("BtnErase"));
    EXPECT_FALSE(Enabled("BtnValid"));

    Click("BtnCreate");
    EXPECT_TRUE(Enabled("BtnValid"));
    EXPECT_EQ(Text("Slot4"), GetText("NEW_SAVE"));
    EXPECT_FALSE(std::filesystem::exists(Record(4).mPath)) << "nothing is written before the match";

    Click("BtnValid");
    EXPECT_EQ(flow.mNext, 0) << "the handler only sets the flag";
    EXPECT_EQ(Int("SAVE", "save_slot"), 3);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "tournamentType"), CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    flow.Update();
    EXPECT_EQ(flow.mNext, 1);
    EXPECT_EQ(flow.mStart, 0);
    EXPECT_EQ(flow.mBack, 0);
}

TEST_F(SaveScreen, UsedSlotStartsTheMatchWithTheWindowsGone) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuSave screen;
    flow.Enter(screen);

    Click("Slot2");
    EXPECT_TRUE(Enabled("BtnValid"));
    EXPECT_TRUE(Enabled("BtnErase"));
    EXPECT_FALSE(Enabled("BtnCreate"));
    const auto colour = [](const char* name) {
        return std::string(Window(name)->getProperty("TextColours").c_str());
    };
    EXPECT_NE(colour("nS2").find("FFFF0000"), std::string::npos);
    EXPECT_NE(colour("nS1").find("FF000000"), std::string::npos);

    Click("BtnValid");
    EXPECT_EQ(Int("SAVE", "save_slot"), 1);
    EXPECT_EQ(flow.mStart, 0);
    flow.Update();
    EXPECT_EQ(flow.mStart, 1);
    EXPECT_EQ(flow.mNext, 0);
    EXPECT_FALSE(flow.mWindowsAtStart);
}

TEST_F(SaveScreen, EraseAsksFirstAndFreesTheSlotEvenWhenTheFileStays) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuSave screen;
    flow.Enter(screen);

    // Erase with nothing selected asks nothing, and a stray confirmation
    // or a window that is no slot erases nothing.
    Click("BtnErase");
    EXPECT_FALSE(Visible("FrameConfSuppr"));
    screen.OnBtnConfirmErase(CEGUI::EventArgs());
    Click("BtnCreate");
    screen.OnSlotSelected(CEGUI::WindowEventArgs(Window("nS3")));
    screen.OnSlotSelected(CEGUI::EventArgs());
    EXPECT_EQ(screen.GetCurrentSlot(), -1);
    EXPECT_TRUE(std::filesystem::exists(Record(2).mPath));
    EXPECT_FALSE(screen.IsSlotFree(2));

    Click("Slot2");
    Click("BtnErase");
    EXPECT_TRUE(Visible("FrameConfSuppr"));
    Click("BtnBackSuppr");
    EXPECT_FALSE(Visible("FrameConfSuppr"));
    EXPECT_TRUE(std::filesystem::exists(Record(2).mPath));

    Click("BtnErase");
    Click("BtnConfSuppr");
    EXPECT_FALSE(Visible("FrameConfSuppr"));
    EXPECT_FALSE(std::filesystem::exists(Record(2).mPath));
    EXPECT_TRUE(screen.IsSlotFree(2));
    EXPECT_EQ(Text("Slot2"), GetText("EMPTY"));
    EXPECT_FALSE(Enabled("BtnValid"));
    EXPECT_FALSE(Enabled("BtnErase"));
    EXPECT_EQ(screen.GetCurrentSlot(), 2);

    // Slot 5 cannot be deleted: logged, free in the table all the same.
    ASSERT_FALSE(screen.IsSlotFree(5));
    LogCapture log;
    Click("Slot5");
    Click("BtnErase");
    Click("BtnConfSuppr");
    EXPECT_TRUE(screen.IsSlotFree(5));
    EXPECT_EQ(Text("Slot5"), GetText("EMPTY"));
    EXPECT_TRUE(log.Has({"locked.sav"}));
}

TEST_F(SaveScreen, BackAndReentryRereadTheSlotsAndClearTheSelection) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuSave screen;
    flow.Enter(screen);
    Click("Slot4");
    Click("BtnCreate");
    Click("BtnBack");
    EXPECT_EQ(flow.mBack, 0);
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);
    EXPECT_EQ(flow.mNext, 0);

    // A save made meanwhile shows on the way back in.
    WriteSave(Record(4).mPath, "Later");
    flow.Enter(screen);
    EXPECT_EQ(screen.GetCurrentSlot(), -1);
    EXPECT_FALSE(screen.IsBack());
    EXPECT_EQ(Text("Slot4"), "Later");
    EXPECT_FALSE(Enabled("BtnValid"));
    // The new windows' slot buttons answer.
    Click("Slot4");
    EXPECT_EQ(screen.GetCurrentSlot(), 4);
    EXPECT_TRUE(Enabled("BtnErase"));
}

TEST_F(ChoiceScreens, TrainingTypeGoesIntoTheFlowAndOnlyTheLastChoiceBlinks) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_TRAINING);
    flow.SetTrainingType(3);
    CMenuChooseTrainingType screen;
    flow.Enter(screen);
    EXPECT_FALSE(Enabled("BtnValid"));
    EXPECT_TRUE(gBlinking.count("BtnValid"));
    EXPECT_EQ(Text("TextInfosButtons"), GetText("TR_TYPE"));
    EXPECT_EQ(Text("BtnShoot2"), GetText("TR_SHOOT_2"));

    const struct {
        const char* button;
        int exercise;
    } kClicks[] = {{"BtnShoot1", 2}, {"BtnPoint2", 1}, {"BtnShoot2", 3}, {"BtnPoint1", 0}};
    for (const auto& click : kClicks) {
        SCOPED_TRACE(click.button);
        Click(click.button);
        EXPECT_EQ(flow.GetTrainingType(), click.exercise);
        EXPECT_EQ(screen.GetExercise(), click.exercise);
        EXPECT_TRUE(Enabled("BtnValid"));
        for (const char* button : CMenuChooseTrainingType::kExerciseButtons)
            EXPECT_EQ(gBlinking.count(button) != 0, std::string(button) == click.button) << button;
    }

    Click("BtnValid");
    EXPECT_FALSE(gBlinking.count("BtnValid"));
    EXPECT_EQ(flow.mNext, 0);
    flow.Update();
    EXPECT_EQ(flow.mNext, 1);

    flow.Enter(screen);
    Click("BtnBack");
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);
    EXPECT_EQ(flow.mNext, 1);
    EXPECT_EQ(flow.GetTrainingType(), 0) << "the flow keeps the last choice";
}

TEST_F(ChoiceScreens, TrainingDescriptionByExercise) {
    const struct {
        int type;
        const char* key;
    } kCases[] = {{0, "TR_DESC_POINT_1"}, {1, "TR_DESC_POINT_2"}, {2, "TR_DESC_SHOOT_1"},
                  {3, "TR_DESC_SHOOT_2"}, {4, "TR_DESC_POINT_1"}, {-1, "TR_DESC_POINT_1"}};
    CountingFlow flow(CMenuGameMode::TOURNAMENT_TRAINING);
    CMenuTrainingDescription screen;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.type);
        flow.SetTrainingType(c.type);
        flow.Enter(screen);
        EXPECT_EQ(Text("TrainDesc"), GetText(c.key));
    }
    EXPECT_EQ(Text("TextInfosButtons"), GetText("TR_DESC"));
}

TEST_F(ChoiceScreens, TrainingDescriptionValidStopsTheBlinkBackDoesNot) {
    CountingFlow flow(CMenuGameMode::TOURNAMENT_TRAINING);
    CMenuTrainingDescription screen;
    flow.Enter(screen);
    EXPECT_TRUE(gBlinking.count("BtnValid"));
    Click("BtnBack");
    EXPECT_TRUE(gBlinking.count("BtnValid"));
    EXPECT_EQ(flow.mBack, 0);
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);

    flow.Enter(screen);
    EXPECT_FALSE(screen.IsBack());
    Click("BtnValid");
    EXPECT_FALSE(gBlinking.count("BtnValid"));
    EXPECT_EQ(flow.mNext, 0);
    flow.Update();
    EXPECT_EQ(flow.mNext, 1);
    EXPECT_EQ(flow.mBack, 1);

    screen.OnLeave(-1);
    EXPECT_EQ(Window("TrainDesc"), nullptr);
}

TEST_F(ChoiceScreens, ChampTypeStoresTheOriginOnValid) {
    const struct {
        std::vector<const char*> clicks;
        int origin;
    } kCases[] = {
        {{}, 1},
        {{"BtnWorld"}, 2},
        {{"BtnWorld", "BtnFrance"}, 1},
        {{"BtnFrance", "BtnWorld", "BtnWorld"}, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.origin);
        CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
        CMenuChooseChampType screen;
        flow.Enter(screen);
        EXPECT_EQ(Text("FrameName"), GetText("SELECT_CHAMP_TYPE"));
        for (const char* button : c.clicks)
            Click(button);
        const bool world = c.origin == CMenuChooseChampType::CHOICE_WORLD;
        EXPECT_EQ(gBlinking.count("BtnWorld") != 0, world);
        EXPECT_EQ(gBlinking.count("BtnFrance") != 0, !world);
        EXPECT_EQ(flow.mOrigin, -9) << "the origin waits for Valid";
        Click("BtnValid");
        EXPECT_EQ(flow.mOrigin, c.origin);
        EXPECT_EQ(flow.mNext, 0);
        flow.Update();
        EXPECT_EQ(flow.mNext, 1);
        screen.OnLeave(-1);
        EXPECT_TRUE(gBlinking.empty());
    }

    CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    CMenuChooseChampType screen;
    flow.Enter(screen);
    Click("BtnBack");
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);
    EXPECT_EQ(flow.mNext, 0);
    EXPECT_EQ(flow.mOrigin, -9);
}

// The GUI restarted over a copy of the staged GUI media without this
// folder's screens' layouts: each screen logs it, and its handlers and update
// run on no windows.
TEST_F(ChoiceScreens, MissingLayoutIsLoggedWithoutCrash) {
    const std::filesystem::path gui = std::filesystem::path(KEM_STAGE_DIR) / "mediaDemo" / "GUI";
    const std::filesystem::path bare = std::filesystem::path(KEM_TEST_BINARY_DIR) / "menus_scratch" / "bare_gui";
    std::filesystem::remove_all(bare);
    std::filesystem::create_directories(bare);
    for (const auto& entry : std::filesystem::directory_iterator(gui))
        if (entry.path().extension() != ".layout")
            std::filesystem::copy_file(entry.path(), bare / entry.path().filename());
    mSession.Stop();
    CEGUI::NullRenderer& renderer = CEGUI::NullRenderer::create();
    renderer.setDisplaySize(CEGUI::Sizef(640.0f, 480.0f));
    TestResourceProvider* provider = new TestResourceProvider({bare.string()});
    ASSERT_TRUE(gGUIMgr.Init(renderer, provider));
    ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));

    CMenuSave save;
    CMenuChooseTrainingType trainingType;
    CMenuTrainingDescription description;
    CMenuChooseChampType champType;
    const struct {
        CMenu* screen;
        const char* layout;
        std::function<void()> clicks;
    } kScreens[] = {
        {&save, CMenuSave::kLayout,
         [&] {
             save.OnBtnCreate(CEGUI::EventArgs());
             save.OnBtnErase(CEGUI::EventArgs());
             save.OnBtnConfirmErase(CEGUI::EventArgs());
             save.OnBtnValid(CEGUI::EventArgs());
         }},
        {&trainingType, CMenuChooseTrainingType::kLayout,
         [&] {
             trainingType.OnBtnShoot2(CEGUI::EventArgs());
             trainingType.OnBtnValid(CEGUI::EventArgs());
         }},
        {&description, CMenuTrainingDescription::kLayout, [&] { description.OnBtnValid(CEGUI::EventArgs()); }},
        {&champType, CMenuChooseChampType::kLayout,
         [&] {
             champType.OnBtnWorld(CEGUI::EventArgs());
             champType.OnBtnValid(CEGUI::EventArgs());
         }},
    };
    for (const auto& s : kScreens) {
        SCOPED_TRACE(s.layout);
        CountingFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
        LogCapture log;
        flow.Enter(*s.screen);
        s.clicks();
        flow.Update();
        s.screen->OnLeave(-1);
        EXPECT_TRUE(log.Has({s.layout, "missing"}));
    }
    EXPECT_TRUE(save.IsSlotFree(1));

    gGUIMgr.Term();
    delete provider;
    CEGUI::NullRenderer::destroy(renderer);
    std::filesystem::remove_all(bare);
}
