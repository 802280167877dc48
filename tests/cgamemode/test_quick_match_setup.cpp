// The match description read from the settings store, the side and
// controller set-up, the checked language formats, the random picks, the
// displayed result and the press debounce: the parts of the match mode that
// need no venue.
#include <CEnvironment.h>
#include <CLangDB.h>
#include <CaracDB.h>
#include <ControlerTable.h>
#include <MatchText.h>
#include <PlayerDB.h>
#include <PressDebounce.h>
#include <QuickMatchSetup.h>
#include <Team.h>
#include <TeamDB.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kQm[] = "QUICKMATCHPARAMS";

std::string MediaData(const char* file) {
    return std::string(KEM_SOURCE_MEDIA) + "/Data/" + file;
}

void SetInt(CEnvironment& env, const char* name, int value, const char* section = kQm) {
    env.GetVariable(section, name, true)->SetInt(value);
}

class QuickMatchSetupTest : public ::testing::Test {
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
    void SetUp() override { ResetControlers(); }

    CEnvironment mEnv;
};

TEST_F(QuickMatchSetupTest, PlayerCountIsClampedAndGameTypeFallsBackToThree) {
    struct Case {
        int nbPlayers, expectedPlayers, gameType, expectedGameType;
    };
    const Case cases[] = {{-3, 0, 1, 1}, {0, 0, 2, 2}, {6, 6, 0, 3}, {7, 6, 5, 3}, {100000, 6, 3, 3}};
    for (const Case& c : cases) {
        CEnvironment env;
        SetInt(env, "QuickMatch", 1, "GAMEPARAMS");
        SetInt(env, "NbPlayers", c.nbPlayers);
        SetInt(env, "GameType", c.gameType);
        QuickMatchParams params;
        ReadQuickMatchParams(env, params);
        EXPECT_EQ(params.mNbPlayers, c.expectedPlayers) << c.nbPlayers;
        EXPECT_EQ(params.mGameType, c.expectedGameType) << c.gameType;
    }
}

TEST_F(QuickMatchSetupTest, NumbersReadAsIntsAndAnythingElseAsZero) {
    mEnv.GetVariable(kQm, "NbPlayers", true)->SetFloat(2.9f);
    mEnv.GetVariable(kQm, "location", true)->SetString("3");
    SetInt(mEnv, "IsRegional", 2);
    QuickMatchParams params;
    ReadQuickMatchParams(mEnv, params);
    EXPECT_EQ(params.mNbPlayers, 2);
    EXPECT_EQ(params.mLocation, 0);
    EXPECT_EQ(params.mIsRegional, 0);   // only exactly 1 is regional
    EXPECT_EQ(params.mQuickMatch, 0);   // missing: a tournament match
}

TEST_F(QuickMatchSetupTest, ActorChoicesOutsideThePlayerListAreSkipped) {
    Team* team = TeamDB::GetNationalTeam(8);
    ASSERT_NE(team, nullptr);
    PlayerList* list = PlayerDB::GetTeamPlayers(team);
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->size(), 2u);
    const int size = static_cast<int>(list->size());

    // j: 0 valid, 1 one past the end, 2 negative (not -1) -> only j 0 counts.
    SetInt(mEnv, "Team_0_actor_0", 1);
    SetInt(mEnv, "Team_0_actor_1", size);
    SetInt(mEnv, "Team_0_actor_2", -7);
    team->mPlayers.clear();
    EXPECT_EQ(ReadActorChoices(mEnv, 0, *team, 3), 1);
    ASSERT_EQ(team->mPlayers.size(), 1u);
    EXPECT_EQ(team->mPlayers[0], (*list)[1]);

    // -1 and a text are "no choice"; the last valid index is taken.
    SetInt(mEnv, "Team_1_actor_0", -1);
    mEnv.GetVariable(kQm, "Team_1_actor_1", true)->SetString("abc");
    SetInt(mEnv, "Team_1_actor_2", size - 1);
    team->mPlayers.clear();
    EXPECT_EQ(ReadActorChoices(mEnv, 1, *team, 3), 1);
    ASSERT_EQ(team->mPlayers.size(), 1u);
    EXPECT_EQ(team->mPlayers[0], list->back());
    team->mPlayers.clear();
}

TEST_F(QuickMatchSetupTest, UnknownTeamIdsGiveNoTeam) {
    EXPECT_NE(FindSideTeam(8, false), nullptr);
    EXPECT_EQ(FindSideTeam(99, false), nullptr);
    EXPECT_EQ(FindSideTeam(-1, true), nullptr);
}

TEST_F(QuickMatchSetupTest, TwoComputerSidesTakeTheFirstEntries) {
    Team a("a"), b("b");
    Team* sides[2] = {&a, &b};
    ControlerEntry spare[2];
    QuickMatchParams params;
    FillControlers(params, sides, false, 0, spare);
    EXPECT_TRUE(a.mComputer);
    EXPECT_TRUE(b.mComputer);
    EXPECT_EQ(g_OwnControlerType, e_local1);
    EXPECT_EQ(g_ControlerTableFilled, 1);
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(ControlerTable[side].mType, e_ia);
        EXPECT_EQ(ControlerTable[side].mTeam, side);
        EXPECT_STREQ(ControlerTable[side].mName, GetText(side == 0 ? "AI_TEAMA" : "AI_TEAMB"));
    }
    EXPECT_EQ(ControlerTable[2].mType, e_undefined);
}

TEST_F(QuickMatchSetupTest, SixHumansLeaveTheComputerSideASpareEntryNotTheSharedOne) {
    Team a("a"), b("b");
    Team* sides[2] = {&a, &b};
    ControlerEntry spare[2];
    QuickMatchParams params;
    params.mNbPlayers = 6;
    for (int i = 0; i < 6; ++i) {
        params.mPlayerTeam[i] = 0;
        params.mControler[i] = e_local1 + i;
        params.mPlayerName[i] = std::string(40, 'x');   // longer than the 31-character field
    }
    FillControlers(params, sides, true, 2, spare);
    EXPECT_EQ(g_OwnControlerType, e_lan1 + 2);
    EXPECT_FALSE(a.mComputer);
    EXPECT_TRUE(b.mComputer);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ControlerTable[i].mType, e_local1 + i);
        EXPECT_EQ(std::strlen(ControlerTable[i].mName), 31u);
    }
    EXPECT_EQ(spare[1].mType, e_ia);
    EXPECT_EQ(spare[1].mTeam, 1);
    EXPECT_STREQ(spare[1].mName, GetText("AI_TEAMB"));
    // The entry returned for "not found" stays empty.
    EXPECT_EQ(g_DummyControler.mType, e_undefined);
    EXPECT_STREQ(g_DummyControler.mName, "");
}

// A LAN match of two machines (host slot 0 plays side A, the client in slot
// 1 side B), seen from each machine, with or without the computer playing
// the machine's own side: only the own side changes hands, the peer's side
// stays a peer's, no computer entry is added, and a machine whose sides the
// computer plays has nobody at it.
TEST_F(QuickMatchSetupTest, ComputerTakesOnlyThisMachinesOwnLanSides) {
    struct Case {
        int ownIndex;
        bool computerPlays;
        bool aComputer, bComputer, localPlayer;
    } cases[] = {
        {0, false, false, false, true},
        {0, true, true, false, false},
        {1, true, false, true, false},
        {1, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "own index " << c.ownIndex << (c.computerPlays ? ", computer" : ""));
        Team a("a"), b("b");
        Team* sides[2] = {&a, &b};
        ControlerEntry spare[2];
        QuickMatchParams params;
        params.mNbPlayers = 2;
        params.mPlayerTeam[0] = 0;
        params.mControler[0] = e_lan1;
        params.mPlayerTeam[1] = 1;
        params.mControler[1] = e_lan1 + 1;
        g_OwnSidesComputerPlayed = c.computerPlays ? 1 : 0;
        FillControlers(params, sides, true, c.ownIndex, spare);
        LetComputerPlayOwnSides(sides);
        EXPECT_EQ(a.mComputer, c.aComputer);
        EXPECT_EQ(b.mComputer, c.bComputer);
        EXPECT_EQ(HasLocalPlayer(params, sides, true), c.localPlayer);
        for (const ControlerEntry& entry : ControlerTable)
            EXPECT_NE(entry.mType, e_ia);
        EXPECT_EQ(ControlerTable[0].mType, e_lan1);
        EXPECT_EQ(ControlerTable[1].mType, e_lan1 + 1);
    }
    g_OwnSidesComputerPlayed = 0;
}

TEST(MatchText, RandomPicksStayInsideTheirList) {
    struct Case {
        int randValue, count, expected;
    };
    const Case cases[] = {{0, 5, 0},     {32767, 5, 4}, {32766, 5, 4}, {16384, 2, 1},
                          {32767, 1, 0}, {32767, 6, 5}, {100, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(RandomPickIndex(c.randValue, c.count), c.expected) << c.randValue << " of " << c.count;
}

TEST(MatchText, TheTossKeepsItsBiasTowardTheSecondCall) {
    int ones = 0;
    for (int r = 0; r <= 32767; ++r)
        ones += DrawTossResult(r);
    EXPECT_EQ(ones, 17873);
    EXPECT_EQ(DrawTossResult(17872), 1);
    EXPECT_EQ(DrawTossResult(17873), 0);
    EXPECT_EQ(DrawTossResult(32767), 0);
}

TEST(MatchText, ResultTextCapsScoresAndEqualScoresGoToTheSecondSide) {
    CLangDB::Instance().Clear();
    CLangDB::Instance().Add("WIN", "wins");
    CLangDB::Instance().Add("TO", "to");
    EXPECT_EQ(MatchWinnerSide(13, 7), 0);
    EXPECT_EQ(MatchWinnerSide(7, 13), 1);
    EXPECT_EQ(MatchWinnerSide(10, 10), 1);
    EXPECT_EQ(MeneScoringSide(3, 0), 0);
    EXPECT_EQ(MeneScoringSide(0, 2), 1);
    EXPECT_EQ(MeneScoringSide(0, 0), -1);   // a mene without points names no side
    EXPECT_EQ(ComposeMatchResultText(false, "Corse", 15, 3), "Corse\nwins 13 to 3");
    EXPECT_EQ(ComposeMatchResultText(true, "Corse", 10, 14), "10 to 13");
}

TEST(MatchText, LanguageFormatsAreCheckedAgainstTheirArguments) {
    CLangDB& lang = CLangDB::Instance();
    lang.Clear();
    lang.Add("PIG_LAUNCH_ERROR", "Tries left: %i");
    lang.Add("PIG_IS_OUT", "%s scores %i points");
    lang.Add("TOSS_RESULT", "Toss: %s");
    lang.Add("BAD_INT", "%s left");             // wants a string where an int is given
    lang.Add("BAD_COUNT", "%s %i %s");           // one conversion too many
    lang.Add("BAD_KIND", "%n%i");
    EXPECT_EQ(FormatMatchText("PIG_LAUNCH_ERROR", 2), "Tries left: 2");
    EXPECT_EQ(FormatMatchText("PIG_IS_OUT", std::string("Corse"), 3), "Corse scores 3 points");
    EXPECT_EQ(FormatMatchText("TOSS_RESULT", std::string("Pile.")), "Toss: Pile.");
    EXPECT_EQ(FormatMatchText("BAD_INT", 2), "%s left 2");
    EXPECT_EQ(FormatMatchText("BAD_COUNT", std::string("Corse"), 3), "%s %i %s Corse 3");
    EXPECT_EQ(FormatMatchText("BAD_KIND", 1), "%n%i 1");
    // A long name is cut to the buffer, never written past it.
    const std::string longName(5000, 'n');
    const std::string out = FormatMatchText("PIG_IS_OUT", longName, 3);
    EXPECT_LT(out.size(), 512u);
    EXPECT_EQ(out.compare(0, 10, std::string(10, 'n')), 0);
}

TEST(PressDebounce, AcceptsOnePressPer200Milliseconds) {
    struct Case {
        uint32_t now;
        bool accepted;
    };
    PressDebounce debounce(1000);   // the window starts closed
    const Case presses[] = {{1100, false}, {1200, true}, {1250, false}, {1399, false},
                            {1400, true},  {5000, true}, {5001, false}};
    for (const Case& c : presses)
        EXPECT_EQ(debounce.Accept(c.now), c.accepted) << c.now;
    // Two presses within one wall-clock second but 200 ms apart both count.
    PressDebounce second(0);
    EXPECT_TRUE(second.Accept(10000));
    EXPECT_TRUE(second.Accept(10300));
}

TEST(PressDebounce, SurvivesTheMillisecondClockWrapping) {
    PressDebounce debounce(0xFFFFFF00u);
    EXPECT_FALSE(debounce.Accept(0xFFFFFF80u));
    EXPECT_TRUE(debounce.Accept(0x00000010u));   // 272 ms later, across the wrap
    EXPECT_FALSE(debounce.Accept(0x00000020u));
}

}  // namespace
