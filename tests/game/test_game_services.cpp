// The game core's services that the engine uses.
#include <CGameMode.h>
#include <CLangDB.h>
#include <CMainApp.h>
#include <ControlerTable.h>
#include <StringToBool.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(StringToBool, TrueOnlyForYesOneTrueInAnyCase) {
    for (const char* text : {"yes", "YES", "Yes", "yEs", "1", "true", "TRUE", "True", "tRUe"})
        EXPECT_TRUE(StringToBool(text)) << text;
    for (const char* text : {"", "no", "0", "2", "false", "on", "y", "t", " yes", "yes ", "1 ", "11",
                             "truee", "ye s", "\t1", "yes\r"})
        EXPECT_FALSE(StringToBool(text)) << "'" << text << "'";
    EXPECT_FALSE(StringToBool(std::string("1\0", 2)));
}

class LangTable : public ::testing::Test {
protected:
    void TearDown() override { CLangDB::Instance().Clear(); }
};

TEST_F(LangTable, EmptyTableGivesTheKeyItself) {
    ASSERT_EQ(CLangDB::Instance().GetCount(), 0u);
    const char* key = "LAN_PLAYER1";
    EXPECT_EQ(GetText(key), key);   // the argument pointer, not a copy
    EXPECT_EQ(GetText(nullptr), nullptr);
    const char* empty = "";
    EXPECT_EQ(GetText(empty), empty);
}

TEST_F(LangTable, KeysMatchWithoutRegardToLetterCase) {
    CLangDB& table = CLangDB::Instance();
    table.Add("LAN_PLAYER1", "Joueur 1");
    table.Add("Menu_Quit", "Quitter");
    table.Add("lan_player1", "second entry");
    EXPECT_STREQ(GetText("LAN_PLAYER1"), "Joueur 1");
    EXPECT_STREQ(GetText("lan_Player1"), "Joueur 1");   // the first entry in file order
    EXPECT_STREQ(GetText("MENU_QUIT"), "Quitter");
    const char* absent = "LAN_PLAYER2";
    EXPECT_EQ(GetText(absent), absent);
    EXPECT_EQ(GetText("LAN_PLAYER"), std::string("LAN_PLAYER"));   // no prefix match
}

TEST_F(LangTable, OnlyLettersIgnoreCase) {
    CLangDB& table = CLangDB::Instance();
    table.Add("A_1\xB0", "degree");
    EXPECT_STREQ(GetText("a_1\xB0"), "degree");
    const char* other = "a_1\x90";
    EXPECT_EQ(GetText(other), other);
    const char* bracket = "A[1\xB0";   // '[' is not '_' even without case
    EXPECT_EQ(GetText(bracket), bracket);
}

TEST_F(LangTable, ClearEmptiesTheTable) {
    CLangDB::Instance().Add("K", "text");
    CLangDB::Instance().Clear();
    const char* key = "K";
    EXPECT_EQ(GetText(key), key);
    EXPECT_EQ(CLangDB::Instance().GetCurrentLanguage(), 1u);
}

TEST(ControlerTable, ResetAtStartUp) {
    // Static initialization left the table reset.
    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        EXPECT_EQ(ControlerTable[i].mIndex, i);
        EXPECT_EQ(ControlerTable[i].mType, e_undefined);
        EXPECT_EQ(ControlerTable[i].mTeam, -1);
    }
    EXPECT_EQ(g_ControlerCurrentIndex[0], -1);
    EXPECT_EQ(g_ControlerCurrentIndex[1], -1);
    EXPECT_EQ(g_OwnControlerType, 0);
    EXPECT_EQ(g_ControlerTableFilled, 0);
}

TEST(ControlerTable, ResetControlersClearsEverything) {
    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        ControlerEntry& entry = ControlerTable[i];
        entry.mType = e_lan1 + i;
        entry.mTeam = i % 2;
        std::strcpy(entry.mName, "player");
        entry.mShootParamsReceived = true;
        entry.mPresetPower = 3.0f;
        entry.mShootOptionsReceived = true;
        entry.mShootOptions[9] = 7;
        entry.mBallPositionsReceived = true;
        entry.mLaunchSetReceived = true;
        entry.mLaunchSet[5] = 2.0f;
        entry.mIndex = 40 + i;
    }
    g_ControlerCurrentIndex[0] = 2;
    g_ControlerCurrentIndex[1] = 3;
    g_OwnControlerType = e_lan2;
    g_ControlerTableFilled = 1;

    ResetControlers();

    for (int i = 0; i < CONTROLER_COUNT; ++i) {
        const ControlerEntry& entry = ControlerTable[i];
        EXPECT_EQ(entry.mIndex, i);
        EXPECT_EQ(entry.mType, e_undefined);
        EXPECT_EQ(entry.mTeam, -1);
        EXPECT_STREQ(entry.mName, "");
        EXPECT_FALSE(entry.mShootParamsReceived);
        EXPECT_EQ(entry.mPresetPower, 0.0f);
        EXPECT_FALSE(entry.mShootOptionsReceived);
        EXPECT_EQ(entry.mShootOptions[9], 0);
        EXPECT_FALSE(entry.mBallPositionsReceived);
        EXPECT_FALSE(entry.mLaunchSetReceived);
        EXPECT_EQ(entry.mLaunchSet[5], 0.0f);
    }
    EXPECT_EQ(g_ControlerCurrentIndex[0], -1);
    EXPECT_EQ(g_ControlerCurrentIndex[1], -1);
    EXPECT_EQ(g_OwnControlerType, 0);
    EXPECT_EQ(g_ControlerTableFilled, 0);
}

TEST(ControlerTable, TypeNames) {
    EXPECT_STREQ(ControlerTypeToString(e_undefined), "e_undefined");
    EXPECT_STREQ(ControlerTypeToString(e_local1), "e_local1");
    EXPECT_STREQ(ControlerTypeToString(e_local6), "e_local6");
    EXPECT_STREQ(ControlerTypeToString(e_lan1), "e_lan1");
    EXPECT_STREQ(ControlerTypeToString(e_lan6), "e_lan6");
    EXPECT_STREQ(ControlerTypeToString(e_ia), "e_ia");
    EXPECT_STREQ(ControlerTypeToString(14), "??? Unknown");
    EXPECT_STREQ(ControlerTypeToString(-1), "??? Unknown");
}

namespace {
class CountingMode : public CGameMode {
public:
    explicit CountingMode(int* deleted) : CGameMode(-1, 0), mDeleted(deleted) {}
    ~CountingMode() override { ++*mDeleted; }
    bool Init() override { return true; }
    void Update() override {}
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

private:
    int* mDeleted;
};
}  // namespace

TEST(MainApp, GlobalPointerIsTheGlobalObject) {
    EXPECT_EQ(g_pMainApp, &g_MainApp);
    EXPECT_EQ(g_MainApp.GetWindowHandle(), nullptr);
    EXPECT_EQ(g_MainApp.GetCurrentGameMode(), nullptr);
}

TEST(MainApp, ExitRoutineDeletesTheHeldModeThroughItsVirtualDestructor) {
    int deleted = 0;
    {
        CMainApp app;
        app.SetCurrentGameMode(new CountingMode(&deleted));
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);

    CMainApp app;
    app.SetCurrentGameMode(new CountingMode(&deleted));
    app.DeleteCurrentGameMode();
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(app.GetCurrentGameMode(), nullptr);
    app.DeleteCurrentGameMode();   // nothing held: nothing happens
    EXPECT_EQ(deleted, 2);
}

namespace {
CursorClientInfo gFakeCursor;
KEMWindowHandle gAskedWindow = nullptr;
bool FakeProvider(KEMWindowHandle window, CursorClientInfo& info) {
    gAskedWindow = window;
    info = gFakeCursor;
    return true;
}
bool FailingProvider(KEMWindowHandle, CursorClientInfo&) { return false; }

class CursorPosition : public ::testing::Test {
protected:
    void SetUp() override {
        g_MainApp.SetWindowHandle(&mWindow);
        gFakeCursor = CursorClientInfo();
        gFakeCursor.clientLeft = 100;
        gFakeCursor.clientTop = 50;
        gFakeCursor.clientWidth = 640;
        gFakeCursor.clientHeight = 480;
        SetCursorClientProvider(&FakeProvider);
    }
    void TearDown() override {
        SetCursorClientProvider(nullptr);
        g_MainApp.SetWindowHandle(nullptr);
    }
    void At(int x, int y) {
        gFakeCursor.cursorX = x;
        gFakeCursor.cursorY = y;
    }
    int mWindow = 0;
};
}  // namespace

TEST_F(CursorPosition, FractionsOfTheClientArea) {
    float x = 0, y = 0;
    At(100 + 320, 50 + 120);
    EXPECT_TRUE(GetCursorClientPosition(x, y));
    EXPECT_FLOAT_EQ(x, 0.5f);
    EXPECT_FLOAT_EQ(y, 0.25f);
    EXPECT_EQ(gAskedWindow, &mWindow);   // the application's window
}

TEST_F(CursorPosition, InsideExactlyWhenBothInZeroToOne) {
    float x = 0, y = 0;
    At(100, 50);
    EXPECT_TRUE(GetCursorClientPosition(x, y));
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    At(100 + 640, 50 + 10);   // x == 1: outside
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    EXPECT_EQ(x, 1.0f);
    At(99, 60);
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    EXPECT_LT(x, 0.0f);   // stored all the same
    At(200, 50 + 480);
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    EXPECT_EQ(y, 1.0f);
    At(100 + 639, 50 + 479);
    EXPECT_TRUE(GetCursorClientPosition(x, y));
}

TEST_F(CursorPosition, NoWindowLayerMeansOutside) {
    float x = 0.5f, y = 0.5f;
    SetCursorClientProvider(nullptr);
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    EXPECT_EQ(x, -1.0f);
    EXPECT_EQ(y, -1.0f);
    SetCursorClientProvider(&FailingProvider);
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    SetCursorClientProvider(&FakeProvider);
    gFakeCursor.clientWidth = 0;   // minimised window
    EXPECT_FALSE(GetCursorClientPosition(x, y));
    EXPECT_EQ(x, -1.0f);
}
