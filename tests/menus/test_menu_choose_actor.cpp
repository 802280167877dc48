// The choose-actor screen on the game's own player and team tables: the
// default players of each game type, the previous/next walk over the free
// squad players, what each validation stores for which team in the quick
// match, the cup and the career, the click debounce, and the bars' sizes.
#include "MenuTestUtil.h"

#include <CLangDB.h>
#include <CMenuChooseActor.h>
#include <CMenuGameMode.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <PlayerDB.h>
#include <Team.h>
#include <TeamDB.h>
#include <TuningLoader.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string SourceData(const char* file) { return std::string(KEM_SOURCE_MEDIA) + "/Data/" + file; }

// A flow that keeps what the screen writes and counts Next and Back.
class ActorFlow : public CMenuGameMode {
public:
    explicit ActorFlow(int tournamentType) : CMenuGameMode(-1) {
        mTournamentType = tournamentType;
        SetName("Flow title");
        for (int i = 0; i < MAX_TEAMS; ++i)
            mRegion[i] = mCountry[i] = mPlayerTeam[i] = 0;
    }
    bool Init() override { return true; }
    void Update() override {}
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
    const std::string& GetPlayerName(int) override { return mName; }
    void SetPlayerTeam(int i, int team) override { mPlayerTeam[i] = team; }
    int GetPlayerTeam(int i) override { return mPlayerTeam[i]; }
    void SetGameType(int type) override { mGameType = type; }
    int GetGameType() override { return mGameType; }
    void SetTeamAAi(bool ai) override { mAiA = ai; }
    bool IsTeamAAi() override { return mAiA; }
    void SetTeamBAi(bool ai) override { mAiB = ai; }
    bool IsTeamBAi() override { return mAiB; }
    int GetNbPlayersPerTeam() override { return PlayersPerTeamOf(mGameType); }
    int GetTeamOrigin() override { return mOrigin; }
    void SetTeamRegion(int i, int id) override { mRegion[i] = id; }
    int GetTeamRegion(int i) override { return mRegion[i]; }
    void SetTeamCountry(int i, int id) override { mCountry[i] = id; }
    int GetTeamCountry(int i) override { return mCountry[i]; }
    int GetNbTeams() override { return mNbTeams; }
    int GetCareerType() override { return mCareerType; }

    int mNext = 0, mBack = 0;
    int mNbPlayers = 1, mGameType = 1, mOrigin = 2, mNbTeams = 2, mCareerType = 1;
    bool mAiA = false, mAiB = true;
    int mRegion[MAX_TEAMS], mCountry[MAX_TEAMS], mPlayerTeam[MAX_TEAMS];
};

class ChooseActor : public MenuTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        CaracDB::Release();
        ASSERT_TRUE(CaracDB::LoadFromFile(SourceData("Carac_DB.csv")));
        ASSERT_TRUE(PlayerDB::LoadFromFile(SourceData("Joueurs_DB.csv")));
        ASSERT_TRUE(TeamDB::LoadFromFile(SourceData("Equipes_DB.csv")));
    }
    static void TearDownTestSuite() {
        PlayerDB::Init();
        TeamDB::Init();
        CaracDB::Release();
    }
    void TearDown() override {
        if (mEntered)
            mScreen.OnLeave(-1);
        MenuTest::TearDown();
    }

    void Enter(ActorFlow& flow) {
        mScreen.SetMenuGameMode(&flow);
        mScreen.OnEnter(-1);
        mEntered = true;
    }
    // A click the debounce lets through.
    void ClickNow(const char* window) {
        mScreen.ForgetLastClick();
        Click(window);
    }
    static std::string Text(const char* window) {
        CEGUI::Window* w = Window(window);
        return w ? std::string(w->getText().c_str()) : std::string("<no window>");
    }
    static const PlayerList& Squad(const char* country) {
        static PlayerList none;
        const PlayerList* list = PlayerDB::GetTeamPlayers(TeamDB::GetNationalTeam(TeamDB::GetCountryId(country)));
        return list ? *list : none;
    }
    // Squad indices of the players CollectPlayers picks, in squad order.
    static std::vector<int> Defaults(const char* country, int perTeam) {
        std::vector<CPlayer*> members;
        PlayerDB::CollectPlayers(TeamDB::GetNationalTeam(TeamDB::GetCountryId(country)), perTeam, members);
        std::vector<int> indices;
        const PlayerList& squad = Squad(country);
        for (int i = 0; i < int(squad.size()); ++i)
            if (std::find(members.begin(), members.end(), squad[i]) != members.end())
                indices.push_back(i);
        return indices;
    }
    static void Countries(ActorFlow& flow, std::initializer_list<const char*> names) {
        int i = 0;
        for (const char* name : names)
            flow.mCountry[i++] = TeamDB::GetCountryId(name);
    }

    CMenuChooseActor mScreen;
    bool mEntered = false;
};

}  // namespace

TEST_F(ChooseActor, DefaultPlayersFillTheSlotsOfEachGameTypeInSquadOrder) {
    for (int gameType = 1; gameType <= 3; ++gameType) {
        SCOPED_TRACE(gameType);
        ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
        flow.mGameType = gameType;
        Countries(flow, {"France", "Italie"});
        Enter(flow);
        const std::vector<int> expected = Defaults("France", gameType);
        ASSERT_EQ(int(expected.size()), gameType);
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(mScreen.GetSlotPlayer(s), s < gameType ? expected[s] : -1) << s;
            const std::string button = "BtnActor" + std::to_string(s + 1);
            EXPECT_EQ(Visible(button.c_str()), s < gameType) << button;
        }
        EXPECT_EQ(mScreen.GetCurrentSlot(), 0);
        EXPECT_EQ(mScreen.GetCurrentPlayerIndex(), expected[0]);
        const CPlayer* first = Squad("France")[expected[0]];
        EXPECT_EQ(Text("CurPlayer"), first->GetName());
        EXPECT_EQ(Text("TxtActor1"), first->GetName());
        // The slot's label names the role of the player in it.
        const char* role = first->mRole == CPlayer::ROLE_SHOOTER ? "SHOOTER"
                           : first->mRole == CPlayer::ROLE_POINTER ? "POINTER" : "MIDDLE";
        EXPECT_EQ(Text("BtnActor1"), GetText(role));
        EXPECT_EQ(Text("TextActor"), std::string(GetText("ACTOR_CHOICE")) + " (" +
                                         std::to_string(expected[0] + 1) + "/6)");
        EXPECT_EQ(Text("RegionText"), std::string(GetText("TEAM")) + " : " + GetText("France"));
        mScreen.OnLeave(-1);
        mEntered = false;
    }
}

TEST_F(ChooseActor, PreviousAndNextSkipChosenPlayersAndStopAtTheEnds) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mGameType = 2;
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    const int other = mScreen.GetSlotPlayer(1);
    // Walk to the top: every step lands on a free player, never on the other slot's.
    int last = mScreen.GetCurrentPlayerIndex();
    for (int step = 0; step < 8; ++step) {
        ClickNow("BtnNextMesh");
        const int now = mScreen.GetCurrentPlayerIndex();
        EXPECT_NE(now, other);
        EXPECT_GE(now, last);
        last = now;
    }
    const int top = other == 5 ? 4 : 5;
    EXPECT_EQ(last, top);
    EXPECT_EQ(mScreen.GetSlotPlayer(0), top);
    EXPECT_EQ(Text("TxtActor1"), Squad("France")[top]->GetName());
    for (int step = 0; step < 8; ++step)
        ClickNow("BtnPrevMesh");
    const int bottom = other == 0 ? 1 : 0;
    EXPECT_EQ(mScreen.GetCurrentPlayerIndex(), bottom);
    EXPECT_EQ(mScreen.GetSlotPlayer(1), other);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(mScreen.IsChosen(i), i == bottom || i == other) << i;

    // Selecting the second slot shows its player; the walk then moves that slot.
    ClickNow("BtnActor2");
    EXPECT_EQ(mScreen.GetCurrentSlot(), 1);
    EXPECT_EQ(mScreen.GetCurrentPlayerIndex(), other);
    EXPECT_EQ(Text("CurPlayer"), Squad("France")[other]->GetName());
}

TEST_F(ChooseActor, QuickMatchAgainstTheComputerStoresBothTeamsInOneValidation) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mGameType = 1;
    flow.mPlayerTeam[0] = 7;
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    const int chosen = mScreen.GetSlotPlayer(0);

    ClickNow("BtnValid");
    EXPECT_TRUE(mScreen.IsValidated());
    const int expected[2][3] = {{chosen, -1, -1}, {0, 2, 4}};
    for (int team = 0; team < 2; ++team)
        for (int role = 0; role < 3; ++role)
            EXPECT_EQ(flow.GetActorChoice(team, role), expected[team][role]) << team << "," << role;
    EXPECT_EQ(flow.mPlayerTeam[0], 0);
    mScreen.Update();
    EXPECT_EQ(flow.mNext, 1);
    EXPECT_EQ(flow.mBack, 0);
}

TEST_F(ChooseActor, TwoHumanTeamsAreShownInTurn) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mAiB = false;
    flow.mGameType = 3;
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    const std::vector<int> france = Defaults("France", 3), italy = Defaults("Italie", 3);
    ClickNow("BtnValid");
    EXPECT_FALSE(mScreen.IsValidated());
    EXPECT_EQ(mScreen.GetCurrentTeamNumber(), 2);
    EXPECT_EQ(Text("RegionText"), std::string(GetText("TEAM")) + " : " + GetText("Italie"));
    EXPECT_EQ(mScreen.GetSlotPlayer(0), italy[0]);
    ClickNow("BtnValid");
    EXPECT_TRUE(mScreen.IsValidated());
    for (int role = 0; role < 3; ++role) {
        EXPECT_EQ(flow.GetActorChoice(0, role), france[role]);
        EXPECT_EQ(flow.GetActorChoice(1, role), italy[role]);
    }
}

TEST_F(ChooseActor, ComputerTeamAIsNeverShown) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mAiA = true;
    flow.mAiB = false;
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    EXPECT_EQ(mScreen.GetCurrentTeamNumber(), 2);
    EXPECT_EQ(mScreen.GetSlotPlayer(0), Defaults("Italie", 1)[0]);
    ClickNow("BtnValid");
    EXPECT_TRUE(mScreen.IsValidated());
    EXPECT_EQ(flow.GetActorChoice(1, 0), Defaults("Italie", 1)[0]);
    EXPECT_EQ(flow.GetActorChoice(0, 0), -1);
}

TEST_F(ChooseActor, CupTeamsRepeatingAnEarlierCountryTakeTheChoiceOnScreen) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_CUP);
    flow.mNbPlayers = 3;
    flow.mNbTeams = 3;
    flow.mGameType = 1;
    Countries(flow, {"France", "France", "France"});
    Enter(flow);
    const int chosen = mScreen.GetSlotPlayer(0);
    ClickNow("BtnValid");
    EXPECT_TRUE(mScreen.IsValidated());
    for (int team = 0; team < 3; ++team)
        EXPECT_EQ(flow.GetActorChoice(team, 0), chosen) << team;
}

TEST_F(ChooseActor, CareerKeepsThePlayersOfEarlierStages) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_CAREER);
    flow.mGameType = 3;
    flow.mCareerType = 3;
    flow.mCountry[0] = TeamDB::GetCountryId("France");
    flow.SetActorChoice(0, 0, 3);
    flow.SetActorChoice(0, 1, 1);
    Enter(flow);
    EXPECT_EQ(mScreen.GetSlotPlayer(0), 3);
    EXPECT_EQ(mScreen.GetSlotPlayer(1), 1);
    EXPECT_EQ(mScreen.GetSlotPlayer(2), 0);   // the first squad player not yet chosen
    EXPECT_EQ(mScreen.GetCurrentSlot(), 2);
    EXPECT_TRUE(Window("BtnActor1")->isDisabled());
    EXPECT_TRUE(Window("BtnActor2")->isDisabled());
    EXPECT_FALSE(Window("BtnActor3")->isDisabled());
    EXPECT_TRUE(Window("BtnBack")->isDisabled());
    EXPECT_EQ(Text("TxtActor1"), Squad("France")[3]->GetName());
    ClickNow("BtnValid");
    EXPECT_TRUE(mScreen.IsValidated());
    EXPECT_EQ(flow.GetActorChoice(0, 2), 0);
}

TEST_F(ChooseActor, ClicksInTheSecondOfEntryAreIgnored) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    const int current = mScreen.GetCurrentPlayerIndex();
    Click("BtnValid");
    Click("BtnNextMesh");
    // Only when the calendar second has not turned in between.
    if (mScreen.IsValidated())
        GTEST_SKIP() << "the clock's second turned during the test";
    EXPECT_EQ(mScreen.GetCurrentPlayerIndex(), current);
    EXPECT_EQ(flow.GetActorChoice(0, 0), -1);
}

TEST_F(ChooseActor, BackAndTheSquadOfAMissingTeam) {
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mCountry[0] = 99;   // no such team: an empty squad, nothing chosen
    flow.mCountry[1] = TeamDB::GetCountryId("Italie");
    Enter(flow);
    EXPECT_EQ(mScreen.GetSlotPlayer(0), -1);
    EXPECT_FALSE(mScreen.UpdatePowerBars(0));
    ClickNow("BtnNextMesh");
    ClickNow("BtnPrevMesh");
    Click("BtnBack");
    mScreen.Update();
    EXPECT_EQ(flow.mBack, 1);
    EXPECT_EQ(flow.mNext, 0);
}

TEST_F(ChooseActor, LaunchSpeedScaleSpansItsWidthAndCaracBarsStayInside) {
    const float speeds[4] = {4.0f, 8.0f, 10.0f, 12.0f};
    float lefts[6], widths[6];
    CMenuChooseActor::ScaleBars(speeds, lefts, widths);
    const float expectedWidths[5] = {4, 4, 2, 2, 4};
    for (int j = 0; j < 5; ++j) {
        EXPECT_NEAR(widths[j], expectedWidths[j] / 16.0f * 0.2539f, 1e-6f) << j;
        EXPECT_NEAR(lefts[j + 1], lefts[j] + widths[j], 1e-6f) << j;
    }
    EXPECT_FLOAT_EQ(lefts[0], 0.58f);
    EXPECT_NEAR(lefts[5], 0.58f + 0.2539f, 1e-6f);

    const struct {
        uint32_t value, maximum;
        float width;
    } cases[] = {
        {0, 10, 0.0f}, {5, 10, 0.1123f}, {10, 10, 0.2246f}, {50, 100, 0.1123f},
        {250, 100, 0.2246f},            // past its maximum: a full bar, not past it
        {uint32_t(-3), 10, 0.2246f},    // a negative value read unsigned
    };
    for (const auto& c : cases)
        EXPECT_NEAR(CMenuChooseActor::CaracWidth(c.value, c.maximum), c.width, 1e-6f) << c.value << "/" << c.maximum;
}

TEST_F(ChooseActor, ASlotLeftEmptyByAShortSquadTakesAFreePlayer) {
    // A triplette squad without a shooter: the middle stands in for him and
    // is already in the first slot, so the third slot starts empty.
    {
        std::ofstream csv("short_squad.csv");
        csv << "Equipe;Nom;Corps;Role;Peau;Modele\n"
            << "France;Aubin Marsolet;HM;POINTEUR;CN;1\n"
            << "France;Cyrielle Vantrouse;FP;MILIEU;CS;1\n"
            << "France;Eloi Partaveau;HJ;POINTEUR;AS;2\n";
    }
    ASSERT_TRUE(PlayerDB::LoadFromFile("short_squad.csv"));
    ActorFlow flow(CMenuGameMode::TOURNAMENT_QUICK_MATCH);
    flow.mGameType = 3;
    Countries(flow, {"France", "Italie"});
    Enter(flow);
    EXPECT_EQ(mScreen.GetSlotPlayer(0), 0);
    EXPECT_EQ(mScreen.GetSlotPlayer(1), 1);
    EXPECT_EQ(mScreen.GetSlotPlayer(2), -1);

    ClickNow("BtnActor3");
    EXPECT_EQ(Text("TextCarac"), "erreur");
    ClickNow("BtnNextMesh");
    EXPECT_EQ(mScreen.GetSlotPlayer(2), 2);
    EXPECT_EQ(Text("TxtActor3"), "Eloi Partaveau");
    EXPECT_EQ(Text("BtnActor3"), GetText("POINTER"));
    // Past the end of a squad of three there is nobody further.
    ClickNow("BtnNextMesh");
    EXPECT_EQ(mScreen.GetSlotPlayer(2), 2);
    mScreen.OnLeave(-1);
    mEntered = false;
    ASSERT_TRUE(PlayerDB::LoadFromFile(SourceData("Joueurs_DB.csv")));
}
