// The quick-match menus (mode 3) over the real screens and layouts: the row
// of screens with the fill-teams skip for one human, Back and Escape, the
// set-up handed to the match, and the return into a screen after a match.
#include "MenuTestUtil.h"

#include <CGameMode.h>
#include <CLangDB.h>
#include <CMenuGameModeQuickMatch.h>
#include <MenuModes.h>
#include <MenuServices.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using QM = CMenuGameModeQuickMatch;

class QuickMatchFlow : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        // The main menu binds Escape before it hands over to the flow.
        gInputMgr.SetKeyMapping(CMenuGameMode::ACTION_ESCAPE, kEscapeKey);
    }
    static int Screen(QM& flow) { return flow.GetStateMachine()->GetCurrentState(); }
    void PressEscape(QM& flow) {
        Escape(true);
        flow.Update();
        Escape(false);
    }
    static std::string Text(const char* section, const char* name) {
        CEnvironmentVariable* v = Find(section, name);
        const char* text = v ? v->GetString() : nullptr;
        return text ? text : "<none>";
    }
};

}  // namespace

TEST_F(QuickMatchFlow, ModeTableBuildsTheQuickMatchMenus) {
    std::unique_ptr<CGameMode> mode(CreateMenuMode(GAME_MODE_QUICK_MATCH_MENUS, 2));
    auto* flow = dynamic_cast<QM*>(mode.get());
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->GetPreviousModeValue(), 2);
    EXPECT_EQ(flow->GetTournamentType(), CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    EXPECT_EQ(flow->GetName(), GetText("QUICKMATCH"));
    EXPECT_EQ(flow->GetPlayerName(0), std::string(GetText("PLAYER")) + " 1");
    EXPECT_EQ(flow->GetPlayerName(5), std::string(GetText("PLAYER")) + " 6");
    EXPECT_TRUE(flow->IsTeamBAi());
    EXPECT_FALSE(flow->IsTeamAAi());
    EXPECT_EQ(flow->GetNbPlayers(), 0);
    EXPECT_EQ(flow->GetGameType(), 0);
    EXPECT_EQ(flow->GetNbTeams(), 2);
    for (int team = 0; team < CMenuGameMode::MAX_TEAMS; ++team)
        EXPECT_EQ(flow->GetActorChoice(team, 0), -1);

    std::unique_ptr<CGameMode> routed(CreateGameModeById(GAME_MODE_QUICK_MATCH_MENUS, 2));
    EXPECT_NE(dynamic_cast<QM*>(routed.get()), nullptr);
}

TEST_F(QuickMatchFlow, FillTeamsIsSkippedBothWaysWithOneHuman) {
    const struct {
        int humans;
        std::vector<int> forward, backward;
    } cases[] = {
        {1, {1, 2, 3, 4, 6, 7}, {6, 4, 3, 2, 1, 0}},
        {2, {1, 2, 3, 4, 5, 6, 7}, {6, 5, 4, 3, 2, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.humans);
        QM flow(2);
        ASSERT_TRUE(flow.Init());
        EXPECT_EQ(Screen(flow), QM::SCREEN_LAN);
        EXPECT_NE(Window("BtnLocal"), nullptr);
        flow.SetGameType(1);
        for (int expected : c.forward) {
            flow.Next();
            // The number-of-players screen starts from one human.
            if (expected == QM::SCREEN_NB_PLAYERS)
                flow.SetNbPlayers(c.humans);
            EXPECT_EQ(Screen(flow), expected);
            EXPECT_EQ(flow.GetStep(), expected);
        }
        for (int expected : c.backward) {
            flow.Back();
            EXPECT_EQ(Screen(flow), expected);
        }
        EXPECT_FALSE(flow.IsFinished());
        flow.Back();
        EXPECT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
        EXPECT_EQ(Screen(flow), QM::SCREEN_LAN) << "no other screen entered on the way out";
    }
}

TEST_F(QuickMatchFlow, EscapeActsAsBackOnEveryScreen) {
    QM flow(2);
    flow.Init();
    flow.SetNbPlayers(1);
    flow.SetGameType(2);
    for (int i = 0; i < 3; ++i)
        flow.Next();
    ASSERT_EQ(Screen(flow), QM::SCREEN_CHAMP_TYPE);
    PressEscape(flow);
    EXPECT_EQ(Screen(flow), QM::SCREEN_GAME_TYPE);
    flow.Update();   // Escape held down does not walk further
    EXPECT_EQ(Screen(flow), QM::SCREEN_GAME_TYPE);
    PressEscape(flow);
    PressEscape(flow);
    EXPECT_EQ(Screen(flow), QM::SCREEN_LAN);
    EXPECT_FALSE(flow.IsFinished());
    PressEscape(flow);
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
    EXPECT_EQ(Find("QUICKMATCHPARAMS", "NbPlayers"), nullptr) << "Back writes no set-up";
}

TEST_F(QuickMatchFlow, ValidOnTheStageScreenWritesTheSetUpAndStartsTheMatch) {
    for (int origin : {1, 2}) {
        SCOPED_TRACE(origin);
        gSceneMgr.GetEnvironment().Clear();
        // A higher player's controller key from an earlier set-up stays.
        MenuWriteInt("QUICKMATCHPARAMS", "CONTROLER_4", 77);
        QM flow(2);
        flow.Init();
        flow.SetNbPlayers(3);
        flow.SetPlayerName(0, "Anouk");
        flow.SetPlayerName(2, "Basile");
        flow.SetPlayerTeam(0, 0);
        flow.SetPlayerTeam(1, 1);
        flow.SetPlayerTeam(2, 1);
        flow.SetGameType(3);
        flow.SetTeamOrigin(origin);
        flow.SetTeamRegion(0, 4);
        flow.SetTeamRegion(1, 9);
        flow.SetTeamCountry(0, 8);
        flow.SetTeamCountry(1, 13);
        flow.SetActorChoice(0, 0, 2);
        flow.SetActorChoice(1, 2, 5);
        flow.SetStep(QM::SCREEN_STAGE);
        flow.GetStateMachine()->ChangeState(QM::SCREEN_STAGE);

        Click("BtnNext");
        Click("BtnNext");
        Click("BtnValid");
        flow.Update();
        EXPECT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
        EXPECT_EQ(Screen(flow), QM::SCREEN_DUMMY);
        EXPECT_EQ(Window("BtnNext"), nullptr) << "the stage screen left through the dummy";

        const bool national = origin == 2;
        const struct {
            const char* section;
            const char* key;
            int value;
        } ints[] = {
            {"QUICKMATCHPARAMS", "NbPlayers", 3}, {"GAMEPARAMS", "QuickMatch", 1},
            {"QUICKMATCHPARAMS", "CONTROLER_1", 1}, {"QUICKMATCHPARAMS", "CONTROLER_2", 2},
            {"QUICKMATCHPARAMS", "CONTROLER_3", 3}, {"QUICKMATCHPARAMS", "CONTROLER_4", 77},
            {"QUICKMATCHPARAMS", "Player1Team", 0}, {"QUICKMATCHPARAMS", "Player2Team", 1},
            {"QUICKMATCHPARAMS", "Player3Team", 1},
            {"QUICKMATCHPARAMS", "TeamA", national ? 8 : 4}, {"QUICKMATCHPARAMS", "TeamB", national ? 13 : 9},
            {"QUICKMATCHPARAMS", "GameType", 3}, {"QUICKMATCHPARAMS", "location", 2},
            {"QUICKMATCHPARAMS", "IsRegional", national ? 0 : 1},
            {"QUICKMATCHPARAMS", "Team_0", national ? 8 : 4}, {"QUICKMATCHPARAMS", "Team_1", national ? 13 : 9},
            {"QUICKMATCHPARAMS", "Team_0_actor_0", 2}, {"QUICKMATCHPARAMS", "Team_0_actor_1", -1},
            {"QUICKMATCHPARAMS", "Team_1_actor_2", 5}, {"QUICKMATCHPARAMS", "Team_5_actor_2", -1},
            {"QUICKMATCHPARAMS", "tournamentType", 1},
        };
        for (const auto& e : ints)
            EXPECT_EQ(Int(e.section, e.key), e.value) << e.key;
        EXPECT_EQ(Text("QUICKMATCHPARAMS", "Player1Name"), "Anouk");
        EXPECT_EQ(Text("QUICKMATCHPARAMS", "Player2Name"), std::string(GetText("PLAYER")) + " 2");
        EXPECT_EQ(Text("QUICKMATCHPARAMS", "Player3Name"), "Basile");
        EXPECT_EQ(Find("QUICKMATCHPARAMS", "Player4Name"), nullptr);
    }
}

TEST_F(QuickMatchFlow, ValidAndBackInOneFrameOnTheLastScreenOnlyStartsTheMatch) {
    QM flow(2);
    flow.Init();
    flow.SetNbPlayers(1);
    flow.SetGameType(1);
    flow.SetStep(QM::SCREEN_STAGE);
    flow.GetStateMachine()->ChangeState(QM::SCREEN_STAGE);
    Click("BtnValid");
    Click("BtnBack");
    flow.Update();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_QUICK_MATCH);
    EXPECT_EQ(Screen(flow), QM::SCREEN_DUMMY);
}

TEST_F(QuickMatchFlow, AfterAMatchTheStoredScreenOpensWithTheStoredChoices) {
    const char* qm = "QUICKMATCHPARAMS";
    MenuWriteInt(qm, "back_in_state", QM::SCREEN_STAGE);
    MenuWriteInt(qm, "GameType", 2);
    MenuWriteInt(qm, "NbPlayers", 2);
    MenuWriteInt(qm, "mNbGamersTeams", 5);
    MenuWriteInt(qm, "isTeamAAi", 1);
    MenuWriteInt(qm, "isTeamBAi", 0);
    MenuWriteInt(qm, "Player1Team", 1);
    MenuWriteInt(qm, "Player2Team", 0);
    MenuWriteString(qm, "Player2Name", "Cyprien");
    MenuWriteInt(qm, "IsRegional", 1);
    MenuWriteInt(qm, "Team_0", 6);
    MenuWriteInt(qm, "Team_1", 11);
    QM flow(0);
    ASSERT_TRUE(flow.Init());
    EXPECT_EQ(Screen(flow), QM::SCREEN_STAGE);
    EXPECT_NE(Window("BtnNext"), nullptr) << "the stage screen's layout is loaded";
    EXPECT_EQ(flow.GetStep(), QM::SCREEN_STAGE);
    EXPECT_EQ(flow.GetGameType(), 2);
    EXPECT_EQ(flow.GetNbPlayers(), 2);
    EXPECT_TRUE(flow.IsTeamAAi());
    EXPECT_FALSE(flow.IsTeamBAi());
    EXPECT_EQ(flow.GetPlayerTeam(0), 1);
    EXPECT_EQ(flow.GetPlayerName(0), std::string(GetText("PLAYER")) + " 1");
    EXPECT_EQ(flow.GetPlayerName(1), "Cyprien");
    EXPECT_EQ(flow.GetTeamOrigin(), 1);
    EXPECT_EQ(flow.GetTeamRegion(0), 6);
    EXPECT_EQ(flow.GetTeamRegion(1), 11);
    EXPECT_EQ(Int(qm, "backFromMatch"), 1);

    // Back from there walks the row as usual (two humans: fill-teams shown).
    flow.Back();
    EXPECT_EQ(Screen(flow), QM::SCREEN_ACTOR);
    flow.Back();
    EXPECT_EQ(Screen(flow), QM::SCREEN_FILL_TEAMS);
}

TEST_F(QuickMatchFlow, AStoredScreenTheFlowDoesNotHaveOpensTheFirst) {
    MenuWriteInt("QUICKMATCHPARAMS", "back_in_state", 42);
    QM flow(0);
    ASSERT_TRUE(flow.Init());
    EXPECT_EQ(Screen(flow), QM::SCREEN_LAN);
    EXPECT_EQ(flow.GetStep(), QM::SCREEN_LAN);
}
