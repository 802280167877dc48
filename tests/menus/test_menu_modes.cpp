// The main, demo and options menus on the Null renderer: pages, the modes the
// buttons lead to, the settings they write, the demo's end screens.
#include "MenuTestUtil.h"

#include <CLangDB.h>
#include <CMenuDemoGameMode.h>
#include <CMenuMainGameMode.h>
#include <CMenuOptionsGameMode.h>
#include <CSoundMgr.h>
#include <GameDifficulty.h>
#include <GraphicSettings.h>
#include <HalTimer.h>
#include <MenuModes.h>

#include <memory>
#include <string>

namespace {

std::string Text(const char* window) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    return w ? std::string(w->getText().c_str()) : std::string("<no window>");
}

std::string SettingText(const char* name) {
    CEnvironmentVariable* v = gSceneMgr.GetEnvironment().Find("SETTINGS", name);
    const char* text = v ? v->GetString() : nullptr;
    return text ? text : "<none>";
}

class MainMenu : public MenuTest {};

}  // namespace

TEST_F(MainMenu, InitDropsEarlierParametersKeepsUserSectionsAndShowsTheFirstPage) {
    CEnvironment& env = gSceneMgr.GetEnvironment();
    env.GetVariable("QUICKMATCHPARAMS", "Team_0", true)->SetInt(4);
    env.GetVariable("SETTINGS", "sound_vol", true)->SetInt(4);
    env.GetVariable("GAMEPARAMS", "QuickMatch", true)->SetInt(1);
    env.GetVariable("GAME", "player_name", true)->SetString("Fanny");
    env.GetVariable("TRAININGPARAMS", "type", true)->SetString("x");
    g_SelectedDifficulty = 2;
    g_CurrentDifficulty = 0;

    CMenuMainGameMode menu(9);
    EXPECT_EQ(menu.GetPreviousModeValue(), 9);
    EXPECT_EQ(menu.GetModeValue(), 1);
    EXPECT_TRUE(menu.Init());
    EXPECT_EQ(g_CurrentDifficulty, 2);
    // The user's settings file is saved from "SETTINGS" and "GAME" at shutdown.
    EXPECT_EQ(Int("SETTINGS", "sound_vol"), 4);
    EXPECT_STREQ(Find("GAME", "player_name")->GetString(), "Fanny");
    for (const char* section : {"QUICKMATCHPARAMS", "GAMEPARAMS", "TRAININGPARAMS"})
        for (const char* name : {"Team_0", "QuickMatch", "type"})
            EXPECT_EQ(Find(section, name), nullptr) << section << "/" << name;
    EXPECT_EQ(env.GetCount(), 4);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "PILE_OU_FACE"), 0);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "FROM_PREVIOUS_GAME"), 0);
    EXPECT_TRUE(Visible("FrameBegin"));
    EXPECT_FALSE(Visible("FrameQuit"));
    EXPECT_FALSE(Visible("FrameCarrChampCoupe"));
    EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "TitleScreen");
    EXPECT_EQ(Text("btn_quickMatch"), GetText("QUICKMATCH"));
    EXPECT_EQ(Text("FrameText"), GetText("SURE_TO_QUIT"));
    EXPECT_EQ(Text("btn_quitter2"), GetText("QUIT"));
    EXPECT_EQ(gInputMgr.GetKeyMapping(0), 1);
    EXPECT_TRUE(menu.Exit());
    EXPECT_EQ(Window("FrameBegin"), nullptr);
}

TEST_F(MainMenu, PagesFollowTheButtonsAndEscapeOnlyOnKeyDown) {
    CMenuMainGameMode menu(-1);
    menu.Init();
    Click("btn_competition");
    EXPECT_FALSE(Visible("FrameBegin"));
    EXPECT_TRUE(Visible("FrameCarrChampCoupe"));

    // Escape from the competition page asks; "NO" goes to the first page.
    Escape(true);
    menu.Update();
    EXPECT_TRUE(Visible("FrameQuit"));
    EXPECT_FALSE(Visible("FrameCarrChampCoupe"));
    EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "CMenuQuit");
    Click("BtnReturn");
    EXPECT_TRUE(Visible("FrameBegin"));
    EXPECT_FALSE(Visible("FrameQuit"));
    EXPECT_FALSE(Visible("FrameCarrChampCoupe"));
    EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "TitleScreen");

    // Held down, the key does not ask again.
    Escape(true);
    menu.Update();
    EXPECT_FALSE(Visible("FrameQuit"));
    Escape(false);
    menu.Update();
    EXPECT_FALSE(Visible("FrameQuit"));
    EXPECT_FALSE(menu.IsFinished());

    Click("btn_competition");
    Click("btn_menu");
    EXPECT_TRUE(Visible("FrameBegin"));
    EXPECT_FALSE(Visible("FrameCarrChampCoupe"));
}

TEST_F(MainMenu, ModeButtonsNameTheNextMode) {
    const struct {
        const char* button;
        int next;
    } cases[] = {
        {"btn_quickMatch", GAME_MODE_QUICK_MATCH_MENUS}, {"btn_entrainement", GAME_MODE_TRAINING_MENUS},
        {"btn_option", GAME_MODE_OPTIONS},               {"BtnQuit", GAME_MODE_NONE},
        {"btn_carriere", GAME_MODE_CAREER_MENUS},        {"btn_champoinnat", GAME_MODE_CHAMPIONSHIP_MENUS},
        {"btn_coupe", GAME_MODE_CUP_MENUS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        CMenuMainGameMode menu(-1);
        menu.Init();
        EXPECT_FALSE(menu.IsFinished());
        Click(c.button);
        EXPECT_TRUE(menu.IsFinished());
        EXPECT_EQ(menu.GetNextModeId(), c.next);
        const bool career = std::string(c.button) == "btn_carriere";
        EXPECT_EQ(Find("QUICKMATCHPARAMS", "backFromMatch") != nullptr, career);
        EXPECT_EQ(Find("QUICKMATCHPARAMS", "QuickMatch") != nullptr, career);
        if (career) {
            EXPECT_EQ(Int("QUICKMATCHPARAMS", "backFromMatch"), 0);
            EXPECT_EQ(Int("QUICKMATCHPARAMS", "QuickMatch"), 0);
        }
        menu.Exit();
    }
}

TEST_F(MainMenu, FactoryBuildsTheMenuModes) {
    const struct {
        int id;
        int modeValue;
    } cases[] = {{GAME_MODE_MAIN_MENU, 1}, {GAME_MODE_DEMO_MENU, GAME_MODE_DEMO_MENU}, {GAME_MODE_OPTIONS, 0}};
    for (const auto& c : cases) {
        std::unique_ptr<CGameMode> mode(CreateMenuMode(c.id, 5));
        ASSERT_NE(mode, nullptr) << c.id;
        EXPECT_EQ(mode->GetModeValue(), c.modeValue);
        EXPECT_EQ(mode->GetPreviousModeValue(), 5);
    }
    EXPECT_EQ(CreateMenuMode(GAME_MODE_BOOT, 5), nullptr);
    EXPECT_EQ(CreateMenuMode(GAME_MODE_QUICK_MATCH, 5), nullptr);
}

TEST_F(MainMenu, MissingLayoutIsLoggedAndTheMenusStillRun) {
    // Without the scheme no window type is known: the layouts cannot load.
    mSession.Stop();
    ASSERT_TRUE(mSession.Start(gGUIMgr));
    LogCapture log;
    CMenuMainGameMode menu(-1);
    EXPECT_TRUE(menu.Init());
    Escape(true);
    menu.Update();
    EXPECT_TRUE(log.Has({"tavirelo_menu0.layout", "missing"}));
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "PILE_OU_FACE"), 0);
    menu.Exit();

    CMenuDemoGameMode demo(-1);
    EXPECT_TRUE(demo.Init());
    demo.Update();

    std::unique_ptr<CMenuOptionsGameMode> options(new CMenuOptionsGameMode(-1));
    EXPECT_TRUE(options->Init());
    EXPECT_TRUE(log.Has({"CMenuOptions.layout", "missing"}));
}

// ---- demo menu ----

namespace {

class DemoMenu : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mLanguage = CLangDB::Instance().GetCurrentLanguage();
        gTimer.mGameTimeSec = 100;
        gTimer.mGameDeltaS = 0.0f;
    }
    void TearDown() override {
        CLangDB::Instance().SetCurrentLanguage(mLanguage);
        MenuTest::TearDown();
    }
    // One frame `delta` seconds long ending at whole second `now`.
    void Frame(CMenuDemoGameMode& demo, uint32_t now, float delta) {
        gTimer.mGameTimeSec = now;
        gTimer.mGameDeltaS = delta;
        demo.Update();
    }
    unsigned int mLanguage = 1;
};

}  // namespace

TEST_F(DemoMenu, InitBindsFourButtonsOverTheDemoTitle) {
    CMenuDemoGameMode demo(1);
    EXPECT_EQ(demo.GetModeValue(), GAME_MODE_DEMO_MENU);
    EXPECT_TRUE(demo.Init());
    EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "TitleScreenDemo");
    EXPECT_EQ(Text("btn_competition"), GetText("DEMO_ONE_PLAYER"));
    EXPECT_EQ(Text("btn_quickMatch"), GetText("DEMO_TWO_PLAYER"));
    EXPECT_FALSE(Visible("btn_entrainement")) << "the demo has no training: no empty button";
    EXPECT_TRUE(Visible("FrameBegin"));
    EXPECT_FALSE(Visible("FrameQuit"));
    Click("btn_entrainement");
    Click("btn_carriere");
    EXPECT_FALSE(demo.IsFinished()) << "the other buttons have no handler";
    Click("btn_option");
    EXPECT_EQ(demo.GetNextModeId(), GAME_MODE_OPTIONS);
}

TEST_F(DemoMenu, OnePlayerPresetWritesOnlyItsKeys) {
    CMenuDemoGameMode demo(1);
    demo.Init();
    Click("btn_competition");
    EXPECT_TRUE(demo.IsFinished());
    EXPECT_EQ(demo.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    const struct {
        const char* key;
        int value;
    } ints[] = {{"NbPlayers", 1}, {"CONTROLER_1", 1}, {"Player1Team", 0}, {"TeamA", 8},          {"TeamB", 9},
                {"GameType", 2},  {"location", 3},    {"IsRegional", 0},  {"Team_0", 8},         {"Team_0_actor_0", 1},
                {"Team_0_actor_1", 3}};
    for (const auto& i : ints)
        EXPECT_EQ(Int("QUICKMATCHPARAMS", i.key), i.value) << i.key;
    EXPECT_EQ(Int("GAMEPARAMS", "QuickMatch"), 1);
    EXPECT_STREQ(Find("QUICKMATCHPARAMS", "Player1Name")->GetString(), GetText("LAN_PLAYER1"));
    for (const char* absent : {"Player2Name", "CONTROLER_2", "Team_1", "Team_1_actor_0"})
        EXPECT_EQ(Find("QUICKMATCHPARAMS", absent), nullptr) << absent;
}

TEST_F(DemoMenu, TwoPlayerPresetPutsEachPlayerOnHisSide) {
    CMenuDemoGameMode demo(1);
    demo.Init();
    Click("btn_quickMatch");
    EXPECT_EQ(demo.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    const struct {
        const char* key;
        int value;
    } ints[] = {{"NbPlayers", 2},      {"CONTROLER_1", 1},    {"Player1Team", 0},    {"Team_0", 15},
                {"Team_0_actor_0", 1}, {"Team_0_actor_1", 3}, {"CONTROLER_2", 1},    {"Player2Team", 1},
                {"Team_1", 8},         {"Team_1_actor_0", 1}, {"Team_1_actor_1", 3}, {"TeamA", 15},
                {"TeamB", 8},          {"GameType", 2},       {"location", 3},       {"IsRegional", 1}};
    for (const auto& i : ints)
        EXPECT_EQ(Int("QUICKMATCHPARAMS", i.key), i.value) << i.key;
    EXPECT_STREQ(Find("QUICKMATCHPARAMS", "Player2Name")->GetString(), GetText("LAN_PLAYER2"));
}

TEST_F(DemoMenu, QuitRunsThreeEndScreensAndEscapeSkipsOnlyAfterTheFirst) {
    CMenuDemoGameMode demo(1);
    demo.Init();
    Escape(true);   // held from before: nothing happens in the menu
    Frame(demo, 100, 0.1f);
    EXPECT_FALSE(demo.IsFinished());
    Escape(false);

    Click("btn_quitter");
    EXPECT_TRUE(demo.IsQuitRequested());
    EXPECT_NE(Window("btn_quitter"), nullptr) << "the handler only sets the flag";
    Frame(demo, 100, 0.1f);
    EXPECT_TRUE(demo.AreEndScreensRunning());
    EXPECT_FALSE(demo.IsQuitRequested());
    EXPECT_EQ(Window("btn_quitter"), nullptr) << "the menu's windows go on the first frame";
    EXPECT_NEAR(demo.GetBrightness(), 0.05f, 1e-6);

    // A very long frame clamps the fade-in at 1.
    Frame(demo, 101, 5.0f);
    EXPECT_FLOAT_EQ(demo.GetBrightness(), 1.0f);
    Frame(demo, 102, 0.5f);
    EXPECT_FLOAT_EQ(demo.GetBrightness(), 1.0f) << "unchanged at second 2";
    Frame(demo, 111, 0.75f);
    EXPECT_NEAR(demo.GetBrightness(), 0.5f, 1e-5);
    Frame(demo, 112, 5.0f);
    EXPECT_FLOAT_EQ(demo.GetBrightness(), 0.0f);

    // The first screen cannot be skipped.
    Escape(true);
    Frame(demo, 113, 0.1f);
    EXPECT_FALSE(demo.IsFinished());
    Escape(false);
    Frame(demo, 114, 0.1f);
    EXPECT_EQ(demo.GetEndScreenIndex(), 1);
    EXPECT_EQ(demo.GetEndScreenStart(), 114);
    EXPECT_FALSE(demo.IsFinished());

    Escape(true);
    Escape(true);   // held: the level alone counts
    Frame(demo, 115, 0.1f);
    EXPECT_TRUE(demo.IsFinished());
    EXPECT_EQ(demo.GetNextModeId(), GAME_MODE_NONE);
}

TEST_F(DemoMenu, EndScreensRunOutWithoutEscape) {
    CMenuDemoGameMode demo(1);
    demo.Init();
    Click("btn_quitter");
    uint32_t now = 200;
    Frame(demo, now, 0.1f);
    for (int screen = 0; screen < 3 && !demo.IsFinished(); ++screen) {
        now += 14;
        Frame(demo, now, 0.1f);
        EXPECT_EQ(demo.GetEndScreenIndex(), screen + 1);
    }
    Frame(demo, now, 0.1f);
    EXPECT_TRUE(demo.IsFinished());
    EXPECT_EQ(demo.GetNextModeId(), GAME_MODE_NONE);
}

TEST_F(DemoMenu, EndScreensFollowTheLanguage) {
    CLangDB::Instance().SetCurrentLanguage(1);
    EXPECT_STREQ(CMenuDemoGameMode::LanguageSuffix(), "_FR");
    CLangDB::Instance().SetCurrentLanguage(2);
    EXPECT_STREQ(CMenuDemoGameMode::LanguageSuffix(), "_EN");
    LogCapture log;
    CMenuDemoGameMode demo(1);
    demo.Init();
    Click("btn_quitter");
    Frame(demo, 100, 0.1f);
    EXPECT_TRUE(log.Has({"DEMO_EndScreen1_EN", "EndScreen1_EN"}));
}

// ---- options ----

namespace {

class OptionsMenu : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mSound = gSoundMgr.GetSoundVolume();
        mMusic = gSoundMgr.GetMusicVolume();
        mShadows = ShadowsSetting;
        mTextures = TextureQualitySetting;
        mSelected = g_SelectedDifficulty;
        mCurrent = g_CurrentDifficulty;
    }
    void TearDown() override {
        gSoundMgr.SetSoundVolume(mSound);
        gSoundMgr.SetMusicVolume(mMusic);
        ShadowsSetting = mShadows;
        TextureQualitySetting = mTextures;
        g_SelectedDifficulty = mSelected;
        g_CurrentDifficulty = mCurrent;
        MenuTest::TearDown();
    }
    static std::string Font(const char* window) {
        CEGUI::Window* w = Window(window);
        const CEGUI::Font* font = w ? w->getFont() : nullptr;
        return font ? font->getName().c_str() : "<none>";
    }
    int mSound = 10, mMusic = 10, mShadows = 1, mTextures = 1, mSelected = 1, mCurrent = 1;
};

}  // namespace

TEST_F(OptionsMenu, VolumesStepWithinZeroToTenAndGoToSettings) {
    const struct {
        const char* button;
        int start;
        int expected;
        bool music;
    } cases[] = {
        {"BtnAmbPlus", 10, 10, false},  {"BtnAmbPlus", 4, 5, false},    {"BtnAmbMoins", 0, 0, false},
        {"BtnAmbMoins", 4, 3, false},   {"BtnMusicPlus", 10, 10, true}, {"BtnMusicPlus", 0, 1, true},
        {"BtnMusicMoins", 0, 0, true},  {"BtnMusicMoins", 7, 6, true},  {"BtnAmbPlus", 15, 10, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " from " + std::to_string(c.start));
        gSceneMgr.GetEnvironment().Clear();
        gSoundMgr.SetSoundVolume(c.music ? 5 : c.start);
        gSoundMgr.SetMusicVolume(c.music ? c.start : 5);
        CMenuOptionsGameMode options(7);
        options.Init();
        Click(c.button);
        EXPECT_EQ(c.music ? gSoundMgr.GetMusicVolume() : gSoundMgr.GetSoundVolume(), c.expected);
        EXPECT_EQ(c.music ? gSoundMgr.GetSoundVolume() : gSoundMgr.GetMusicVolume(), 5);
        EXPECT_EQ(Text(c.music ? "VolMus" : "VolAmb"), std::to_string(c.expected));
        EXPECT_EQ(Int("SETTINGS", c.music ? "music_vol" : "sound_vol"), c.expected);
        EXPECT_FALSE(options.IsFinished());
    }
}

TEST_F(OptionsMenu, ScreenShowsTheSettingsAndDifficultyButtonsSetBoth) {
    gSoundMgr.SetSoundVolume(3);
    gSoundMgr.SetMusicVolume(8);
    g_CurrentDifficulty = 2;
    ShadowsSetting = 0;
    TextureQualitySetting = 1;
    CMenuOptionsGameMode options(7);
    EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "CMenuOptions");
    EXPECT_EQ(Text("VolAmb"), "3");
    EXPECT_EQ(Text("VolMus"), "8");
    EXPECT_EQ(Text("BtnTexturesHigh"), GetText("TEXTURE_QUALITY_HIGH"));
    EXPECT_EQ(Text("BtnAmbPlus"), "+") << "the layout's own text stays";
    EXPECT_FALSE(options.IsShadowShownOn());
    EXPECT_EQ(Font("BtnHard"), "lucida-12");
    EXPECT_EQ(Font("BtnNormal"), "lucida-6");
    EXPECT_EQ(Font("BtnShadowOff"), "lucida-12");
    EXPECT_EQ(Font("BtnTexturesHigh"), "lucida-12");

    EXPECT_TRUE(options.Init());
    EXPECT_TRUE(Window("BtnEasy")->isDisabled());
    EXPECT_TRUE(Window("BtnHard")->isDisabled());
    EXPECT_FALSE(Window("BtnNormal")->isDisabled());

    Click("BtnNormal");
    EXPECT_EQ(g_SelectedDifficulty, 1);
    EXPECT_EQ(g_CurrentDifficulty, 1);
    EXPECT_EQ(Int("SETTINGS", "difficulty_level"), 1);
    EXPECT_EQ(Font("BtnNormal"), "lucida-12");
    EXPECT_EQ(Font("BtnHard"), "lucida-6");
}

TEST_F(OptionsMenu, DifficultyOutsideTheThreeLevelsShowsNoneLarge) {
    g_CurrentDifficulty = 7;
    CMenuOptionsGameMode options(7);
    for (const char* button : {"BtnEasy", "BtnNormal", "BtnHard"})
        EXPECT_EQ(Font(button), "lucida-6") << button;
}

TEST_F(OptionsMenu, ShadowAndTextureChoicesApplyAndGoToSettings) {
    ShadowsSetting = 1;
    TextureQualitySetting = 1;
    CMenuOptionsGameMode options(7);
    options.Init();
    Click("BtnShadowOff");
    EXPECT_EQ(ShadowsSetting, 0);
    EXPECT_FALSE(options.IsShadowShownOn());
    EXPECT_EQ(SettingText("shadows"), "off");
    EXPECT_EQ(Font("BtnShadowOn"), "lucida-6");
    Click("BtnShadowOn");
    EXPECT_EQ(ShadowsSetting, 1);
    EXPECT_EQ(SettingText("shadows"), "on");

    // The quality in force reloads nothing.
    Click("BtnTexturesHigh");
    EXPECT_EQ(SettingText("texture_quality"), "<none>");
    Click("BtnTexturesLow");
    EXPECT_EQ(TextureQualitySetting, 0);
    EXPECT_EQ(SettingText("texture_quality"), "low");
    EXPECT_EQ(Font("BtnTexturesLow"), "lucida-12");
}

TEST_F(OptionsMenu, ValidAndBackBothLeaveForTheDemoMenuKeepingChanges) {
    for (const char* leave : {"BtnValid", "BtnBack"}) {
        SCOPED_TRACE(leave);
        gSoundMgr.SetSoundVolume(5);
        {
            CMenuOptionsGameMode options(2);
            options.Init();
            Click("BtnAmbMoins");
            Click(leave);
            EXPECT_TRUE(options.IsFinished());
            EXPECT_EQ(options.GetNextModeId(), GAME_MODE_DEMO_MENU);
            EXPECT_TRUE(options.Exit());
            EXPECT_NE(Window("BtnValid"), nullptr) << "the GUI lives as long as the mode";
        }
        EXPECT_EQ(Window("BtnValid"), nullptr);
        EXPECT_EQ(gGUIMgr.GetBackgroundOverlay(), "");
        EXPECT_EQ(gSoundMgr.GetSoundVolume(), 4);
    }
}
