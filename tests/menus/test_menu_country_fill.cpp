// The choose-country and fill-teams screens: what each choice writes into the
// flow, which list entries stay on offer, how humans are shared between the
// two teams, the flags the next update acts on, and missing layouts.
#include "MenuTestUtil.h"

#include <CLangDB.h>
#include <CMenuChooseCountry.h>
#include <CMenuFillTeams.h>
#include <CMenuGameMode.h>
#include <MenuServices.h>
#include <MenuTextFormat.h>
#include <TeamDB.h>

#include <CEGUI/widgets/Listbox.h>
#include <CEGUI/widgets/ListboxItem.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A flow that keeps what the screens write and counts Next and Back.
class TeamsFlow : public CMenuGameMode {
public:
    explicit TeamsFlow(int tournamentType) : CMenuGameMode(-1) {
        mTournamentType = tournamentType;
        SetName("Flow title");
        for (int i = 0; i < MAX_TEAMS; ++i) {
            mRegion[i] = mCountry[i] = mPlayerTeam[i] = -7;
            mNames[i] = "Player" + std::to_string(i + 1);
        }
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
    CKEMStateMachine* GetStateMachine() override { return nullptr; }
    int GetStep() override { return 0; }
    void SetStep(int) override {}
    int GetNbPlayers() override { return mNbPlayers; }
    void SetNbPlayers(int n) override { mNbPlayers = n; }
    void SetPlayerName(int, const std::string&) override {}
    const std::string& GetPlayerName(int i) override { return mNames[i]; }
    void SetPlayerTeam(int i, int team) override { mPlayerTeam[i] = team; }
    int GetPlayerTeam(int i) override { return mPlayerTeam[i]; }
    void SetGameType(int type) override { mGameType = type; }
    int GetGameType() override { return mGameType; }
    void SetTeamAAi(bool ai) override { mAiA = ai; }
    bool IsTeamAAi() override { return mAiA; }
    void SetTeamBAi(bool ai) override { mAiB = ai; }
    bool IsTeamBAi() override { return mAiB; }
    int GetNbPlayersPerTeam() override { return mGameType; }
    int GetTeamOrigin() override { return mOrigin; }
    void SetTeamRegion(int i, int id) override { mRegion[i] = id; }
    int GetTeamRegion(int i) override { return mRegion[i]; }
    void SetTeamCountry(int i, int id) override { mCountry[i] = id; }
    int GetTeamCountry(int i) override { return mCountry[i]; }
    int GetNbTeams() override { return mNbTeams; }

    void Enter(CMenu& screen) {
        mScreen = &screen;
        screen.SetMenuGameMode(this);
        screen.OnEnter(-1);
    }

    CMenu* mScreen = nullptr;
    int mNext = 0, mBack = 0;
    int mNbPlayers = 1, mGameType = 1, mOrigin = 1, mNbTeams = 2;
    bool mAiA = false, mAiB = false;
    int mRegion[MAX_TEAMS], mCountry[MAX_TEAMS], mPlayerTeam[MAX_TEAMS];
    std::string mNames[MAX_TEAMS];
};

class TeamScreens : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        TeamDB::Init();
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
    static CEGUI::Listbox* List() {
        return dynamic_cast<CEGUI::Listbox*>(Window(CMenuChooseCountry::kList));
    }
    static std::vector<int> ListIds() {
        std::vector<int> ids;
        if (CEGUI::Listbox* list = List())
            for (size_t i = 0; i < list->getItemCount(); ++i)
                ids.push_back(static_cast<int>(list->getListboxItemFromIndex(i)->getID()));
        return ids;
    }
    // A click on the list entry with that id, as the user makes it.
    static void Pick(int id) {
        CEGUI::Listbox* list = List();
        ASSERT_NE(list, nullptr);
        list->clearAllSelections();
        for (size_t i = 0; i < list->getItemCount(); ++i)
            if (static_cast<int>(list->getListboxItemFromIndex(i)->getID()) == id)
                list->setItemSelectState(i, true);
        Click(CMenuChooseCountry::kList);
    }
    static bool Has(const std::vector<int>& ids, int id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
};

// ---- choose country ----

TEST_F(TeamScreens, CountryRegionsAreStoredTeamAfterTeamAndQuickMatchRemovesTheChosenOne) {
    TeamsFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    CMenuChooseCountry screen;
    flow.Enter(screen);
    for (int i = 0; i < CMenuGameMode::MAX_TEAMS; ++i) {
        EXPECT_EQ(flow.mRegion[i], 0);
        EXPECT_EQ(flow.mCountry[i], 0);
    }
    EXPECT_EQ(ListIds().size(), 16u);
    EXPECT_FALSE(Enabled("BtnValid"));
    EXPECT_FALSE(Visible("BtnContinue"));

    // The list shows its entries in the order of their texts.
    CEGUI::Listbox* list = List();
    ASSERT_NE(list, nullptr);
    for (size_t i = 1; i < list->getItemCount(); ++i)
        EXPECT_FALSE(list->getListboxItemFromIndex(i)->getText() < list->getListboxItemFromIndex(i - 1)->getText());

    // Valid with nothing selected does nothing.
    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(flow.mNext, 0);
    EXPECT_TRUE(screen.GetChosenRegionIds().empty());

    Pick(5);
    EXPECT_EQ(flow.mRegion[0], 5);
    EXPECT_EQ(flow.mCountry[0], int{TeamDB::FRANCE_COUNTRY_ID});
    EXPECT_TRUE(Enabled("BtnValid"));
    EXPECT_FALSE(Text("TextCountryName").empty());
    Click("BtnValid");
    EXPECT_EQ(screen.GetCurrentTeamNumber(), 2);
    EXPECT_FALSE(Enabled("BtnValid"));
    EXPECT_FALSE(Has(ListIds(), 5)) << "team 2 cannot take team 1's region";
    EXPECT_EQ(flow.mPlayerTeam[0], 5);
    EXPECT_EQ(Text("TextInfos"), MenuFormatStringInt(GetText("CHOOSE_COUNTRY"), GetText("TEAM"), 2));

    // A second Valid without a new selection must not store team 2.
    Click("BtnValid");
    EXPECT_EQ(screen.GetCurrentTeamNumber(), 2);
    EXPECT_EQ(screen.GetChosenRegionIds().size(), 1u);

    Pick(11);
    Click("BtnValid");
    EXPECT_EQ(flow.mNext, 0) << "Next waits for the update";
    flow.Update();
    EXPECT_EQ(flow.mNext, 1);
    EXPECT_EQ(screen.GetChosenRegionIds(), (std::vector<int>{5, 11}));
    EXPECT_EQ(flow.mRegion[1], 11);
    EXPECT_EQ(flow.mPlayerTeam[1], 11);

    // Re-entry starts afresh and clears the flow's teams.
    screen.OnLeave(-1);
    EXPECT_EQ(Window("RegionListBox"), nullptr);
    flow.Enter(screen);
    EXPECT_EQ(flow.mRegion[0], 0);
    EXPECT_EQ(flow.mRegion[1], 0);
    EXPECT_TRUE(screen.GetChosenRegionIds().empty());
    EXPECT_EQ(ListIds().size(), 16u);
    Click("BtnBack");
    EXPECT_EQ(flow.mBack, 0);
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);
}

TEST_F(TeamScreens, CountryEntriesLeaveTheListByFlowKindAndGameType) {
    // Four teams all pick entry 3 while it is on offer: after which Valid it goes.
    const struct {
        int kind;
        int gameType;
        int removedAfter;   // 0: never
    } kCases[] = {
        {CMenuGameMode::TOURNAMENT_QUICK_MATCH, 2, 1}, {CMenuGameMode::TOURNAMENT_CUP, 1, 1},
        {CMenuGameMode::TOURNAMENT_CUP, 2, 2},         {CMenuGameMode::TOURNAMENT_CUP, 3, 3},
        {CMenuGameMode::TOURNAMENT_CHAMPIONSHIP, 1, 0}, {CMenuGameMode::TOURNAMENT_CAREER, 1, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " type " << c.gameType);
        TeamsFlow flow(c.kind);
        flow.mGameType = c.gameType;
        flow.mNbTeams = 5;
        CMenuChooseCountry screen;
        flow.Enter(screen);
        for (int team = 1; team <= 4; ++team) {
            Pick(3);
            Click("BtnValid");
            EXPECT_EQ(Has(ListIds(), 3), c.removedAfter == 0 || team < c.removedAfter) << "team " << team;
            if (!Has(ListIds(), 3))
                break;
        }
        screen.OnLeave(-1);
    }
}

TEST_F(TeamScreens, CountryNationsStoreTheCountryAndOneTeamValidatesAtOnce) {
    TeamsFlow flow(CMenuGameMode::TOURNAMENT_CHAMPIONSHIP);
    flow.mOrigin = 2;
    flow.mNbTeams = 1;
    CMenuChooseCountry screen;
    flow.Enter(screen);
    EXPECT_EQ(Text("FrameName"), GetText("COUNTRY_FRAME_NAME"));
    EXPECT_EQ(Text("TextInfos"), MenuFormatStringInt(GetText("CHOOSE_NATION"), GetText("PLAYER"), 1));
    Pick(4);
    EXPECT_EQ(flow.mCountry[0], 4);
    EXPECT_EQ(flow.mRegion[0], 0);
    Click("BtnValid");
    EXPECT_TRUE(screen.IsValidated());
    EXPECT_EQ(screen.GetChosenCountryIds(), std::vector<int>{4});
    EXPECT_TRUE(screen.GetChosenRegionIds().empty());
    EXPECT_EQ(flow.mPlayerTeam[0], 4);
    flow.Update();
    EXPECT_EQ(flow.mNext, 1);
}

TEST(MenuTextFormat, OnlyTheExpectedConversionsAreFormatted) {
    EXPECT_EQ(MenuFormatStringInt("%s %i: choose", "Team", 2), "Team 2: choose");
    EXPECT_EQ(MenuFormatInt("Team %d full, 100%%", 1), "Team 1 full, 100%");
    // Conversions the arguments do not match are never handed to printf.
    EXPECT_EQ(MenuFormatStringInt("%s %s %n", "Team", 2), "Team 2");
    EXPECT_EQ(MenuFormatInt("%s", 1), "%s 1");
    EXPECT_EQ(MenuFormatInt("%i %i", 1), "%i %i 1");
    EXPECT_EQ(MenuFormatInt("%ld", 1), "%ld 1");
    EXPECT_EQ(MenuFormatInt("%*d", 1), "%*d 1");
}

// ---- fill teams ----

TEST_F(TeamScreens, FillTeamsSharesTheHumansAndSetsTheComputerTeams) {
    // Moves: row, then 'P' (click on the name), 'L' or 'R' (arrow).
    const struct {
        int players;
        int gameType;
        std::vector<std::pair<int, char>> moves;
        int a, b;
        bool validEnabled;
        bool aiA, aiB;
    } kCases[] = {
        {1, 1, {}, 1, 0, true, false, true},
        {1, 1, {{1, 'P'}}, 0, 1, true, true, false},
        {1, 1, {{1, 'L'}}, 1, 0, true, false, true},      // already there: counts unchanged
        {2, 2, {}, 2, 0, true, false, true},
        {2, 2, {{2, 'R'}, {2, 'R'}}, 1, 1, true, false, false},
        {3, 1, {{2, 'L'}}, 2, 1, false, false, false},    // team A over the game type
        {3, 1, {{2, 'L'}, {2, 'P'}}, 1, 2, false, false, false},
        {3, 2, {{2, 'L'}, {2, 'R'}}, 1, 2, true, false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.players << " players, type " << c.gameType << ", "
                                          << c.moves.size() << " moves");
        TeamsFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.mNbPlayers = c.players;
        flow.mGameType = c.gameType;
        CMenuFillTeams screen;
        flow.Enter(screen);
        EXPECT_TRUE(Enabled("BtnValid"));
        for (int n = 1; n <= CMenuFillTeams::MAX_ROWS; ++n) {
            std::string row = "BtnP" + std::to_string(n);
            EXPECT_EQ(Visible(row.c_str()), n <= c.players) << row;
            if (n <= c.players) {
                EXPECT_EQ(Text(row.c_str()), flow.mNames[n - 1]);
            }
        }
        for (const auto& move : c.moves) {
            std::string button = move.second == 'P' ? "BtnP" + std::to_string(move.first)
                                                    : "BtnA" + std::to_string(move.first) +
                                                          (move.second == 'L' ? "Left" : "Right");
            Click(button.c_str());
        }
        EXPECT_EQ(screen.GetTeamACount(), c.a);
        EXPECT_EQ(screen.GetTeamBCount(), c.b);
        int inA = 0;
        for (int i = 0; i < c.players; ++i)
            inA += flow.mPlayerTeam[i] == 0;
        EXPECT_EQ(inA, c.a) << "the flow holds the same sides";
        EXPECT_EQ(Enabled("BtnValid"), c.validEnabled);
        Click("BtnValid");
        EXPECT_TRUE(screen.IsValidated());
        EXPECT_EQ(flow.mAiA, c.aiA);
        EXPECT_EQ(flow.mAiB, c.aiB);
        flow.Update();
        EXPECT_EQ(flow.mNext, 1);
        screen.OnLeave(-1);
    }
}

TEST_F(TeamScreens, FillTeamsRefusesMoreThanThreeHumansInATeam) {
    TeamsFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mNbPlayers = 5;
    flow.mGameType = 1;
    CMenuFillTeams screen;
    flow.Enter(screen);
    EXPECT_EQ(screen.GetTeamBCount(), 4);
    Click("BtnValid");
    EXPECT_FALSE(screen.IsValidated());
    EXPECT_EQ(Text("TextError"), MenuFormatInt(GetText("NB_PL_ERR"), 2));
    flow.Update();
    EXPECT_EQ(flow.mNext, 0);

    Click("BtnA2Left");
    EXPECT_EQ(Text("TextError"), "") << "the next move clears the error";
    Click("BtnValid");
    EXPECT_TRUE(screen.IsValidated());

    // Rows past the players raise nothing.
    flow.Enter(screen);
    Click("BtnP6");
    EXPECT_EQ(screen.GetTeamACount() + screen.GetTeamBCount(), 5);
    Click("BtnBack");
    flow.Update();
    EXPECT_EQ(flow.mBack, 1);
    EXPECT_EQ(flow.mNext, 0);
}

// ---- missing layouts ----

TEST_F(TeamScreens, MissingLayoutsAreLoggedAndTheScreensStillRun) {
    // Without the scheme no window type is known: the layouts cannot load.
    mSession.Stop();
    ASSERT_TRUE(mSession.Start(gGUIMgr));
    LogCapture log;
    CMenuChooseCountry country;
    CMenuFillTeams fill;
    for (CMenu* screen : {static_cast<CMenu*>(&country), static_cast<CMenu*>(&fill)}) {
        TeamsFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.mNbPlayers = 2;
        flow.Enter(*screen);
        screen->OnBtnBack(CEGUI::EventArgs());
        flow.Update();
        EXPECT_EQ(flow.mBack, 1);
        screen->OnLeave(-1);
    }
    TeamsFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mNbPlayers = 2;
    flow.Enter(country);
    country.OnBtnValid(CEGUI::EventArgs());
    EXPECT_FALSE(country.IsValidated());
    flow.Enter(fill);
    fill.OnBtnValid(CEGUI::EventArgs());
    EXPECT_TRUE(fill.IsValidated());
    EXPECT_FALSE(flow.mAiA || flow.mAiB) << "one human a team, markers or not";
    for (const char* layout : {CMenuChooseCountry::kLayout, CMenuFillTeams::kLayout})
        EXPECT_TRUE(log.Has({layout, "missing"})) << layout;
}

}  // namespace
