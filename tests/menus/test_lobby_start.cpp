// The lobby's shared records, the host's start checks and the match
// parameters a client takes from the host, without any window.
#include <CMenuLobbyingGameMode.h>
#include <LobbyMatchParams.h>
#include <LobbyPackets.h>
#include <LobbyStartCheck.h>

#include <CEnvironment.h>
#include <CLangDB.h>
#include <CObjnet.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kSection[] = "QUICKMATCHPARAMS";

class LobbyStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Texts are their keys: the chat lines name what they say.
        CLangDB::Instance().Clear();
        PlatSetLogSilent(true);
    }
    void TearDown() override { PlatSetLogSilent(false); }

    // Two players a side in doubles, teams and roles all chosen.
    static LobbyStartInput Ready() {
        LobbyStartInput in;
        in.playersPerTeamItem = 2;
        in.regionalItem = 1;
        in.locationItem = 3;
        in.playersPerTeam = 2;
        const char* names[] = {"Hote", "Bea", "Cyr", "Dan"};
        for (int i = 0; i < 4; ++i) {
            in.slots[i].active = true;
            in.slots[i].name = names[i];
            in.slots[i].team = i % 2;
        }
        for (int side = 0; side < 2; ++side) {
            in.teams[side].mSide = side;
            in.teams[side].mTeamIndex = side;
            in.teams[side].mTeamId = 3 + side;
            in.teams[side].mPointer = 0;
            in.teams[side].mShooter = 1;
            in.teams[side].mMiddle = -1;
            in.teamSizes[side] = 6;
        }
        return in;
    }

    int Validate(const LobbyStartInput& in, CEnvironment& env) {
        chat.clear();
        return ValidateLobbyTeams(in, env, [this](const std::string& line) { chat.push_back(line); });
    }
    static int Int(CEnvironment& env, const std::string& name) {
        CEnvironmentVariable* v = env.Find(kSection, name.c_str());
        return v ? v->GetInt() : -12345;
    }
    static std::string Text(CEnvironment& env, const std::string& name) {
        CEnvironmentVariable* v = env.Find(kSection, name.c_str());
        return v && v->GetString() ? v->GetString() : "<none>";
    }

    std::vector<std::string> chat;
};

TEST_F(LobbyStartTest, RecordsReadBackWhatWasWrittenAndRefuseOtherSignaturesOrCutRecords) {
    CGameInfosPacketV2 settings;
    settings.mPlayersPerTeam = 3;
    settings.mRegional = 0;
    settings.mLocation = 2;
    CObjnet object;
    settings.Write(object);
    CGameInfosPacketV2 read;
    ASSERT_TRUE(read.Read(object));
    EXPECT_EQ(read.mPlayersPerTeam, 3);
    EXPECT_EQ(read.mRegional, 0);
    EXPECT_EQ(read.mLocation, 2);

    CTeamInfosPacketV1 team;
    team.mSide = team.mTeamIndex = 1;
    team.mTeamId = 12;
    team.mPointer = 4;
    team.mShooter = 0;
    team.mMiddle = -1;
    team.Write(object);
    CTeamInfosPacketV1 teamRead;
    ASSERT_TRUE(teamRead.Read(object));
    EXPECT_EQ(teamRead.mTeamIndex, 1);
    EXPECT_EQ(teamRead.mTeamId, 12);
    EXPECT_EQ(teamRead.mPointer, 4);
    EXPECT_EQ(teamRead.mMiddle, -1);
    // Each record is refused by the other's reader and leaves it unchanged.
    EXPECT_FALSE(read.Read(object));
    EXPECT_EQ(read.mLocation, 2);

    // Cut after each field: the record is refused and stays as it was.
    team.Write(object);
    const std::vector<uint8_t> whole(object.GetData(), object.GetData() + object.GetSize());
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        CObjnet part;
        part.SetData(whole.data(), int(cut));
        CTeamInfosPacketV1 untouched;
        EXPECT_FALSE(untouched.Read(part)) << cut;
        EXPECT_EQ(untouched.mTeamId, -1) << cut;
    }
}

TEST_F(LobbyStartTest, EachGapStopsTheStartWithItsOwnResultAndMessage) {
    struct Case {
        const char* what;
        void (*change)(LobbyStartInput&);
        int result;
        const char* line;   // "" for no message
    };
    const Case cases[] = {
        {"no players-a-team choice", [](LobbyStartInput& in) { in.playersPerTeamItem = -1; }, -1, ""},
        {"no regional choice", [](LobbyStartInput& in) { in.regionalItem = -1; }, -2, ""},
        {"no venue", [](LobbyStartInput& in) { in.locationItem = -1; }, -3, ""},
        {"a player without a team", [](LobbyStartInput& in) { in.slots[2].team = -1; }, -1,
         "LAN_NOTE Cyr LAN_HAS_NO_TEAM"},
        {"team A without a team", [](LobbyStartInput& in) { in.teams[0].mTeamId = -1; }, -1,
         "LAN_NOTE [TEAM A] LAN_ERR_NO_PROV"},
        {"team B without a team", [](LobbyStartInput& in) { in.teams[1].mTeamId = -1; }, -1,
         "LAN_NOTE [TEAM B] LAN_ERR_NO_PROV"},
        {"no players a team", [](LobbyStartInput& in) { in.playersPerTeam = -1; }, -1, ""},
        {"team B's shooter missing in doubles", [](LobbyStartInput& in) { in.teams[1].mShooter = -1; }, -1,
         "LAN_NOTE LAN_TEAM_B LAN_ERR_EMPTY_PLAYER 2"},
        {"team A's pointer missing", [](LobbyStartInput& in) { in.teams[0].mPointer = -1; }, -1,
         "LAN_NOTE LAN_TEAM_A LAN_ERR_EMPTY_PLAYER 1"},
        {"middle missing in triples",
         [](LobbyStartInput& in) { in.playersPerTeam = 3, in.teams[0].mMiddle = 2; }, -1,
         "LAN_NOTE LAN_TEAM_B LAN_ERR_EMPTY_PLAYER 3"},
        {"team B's pointer outside its team's six players", [](LobbyStartInput& in) { in.teams[1].mPointer = 40; },
         -1, "LAN_NOTE LAN_TEAM_B LAN_ERR_NOT_IN_TEAM 1"},
        {"team A's shooter just past its list", [](LobbyStartInput& in) { in.teams[0].mShooter = 6; }, -1,
         "LAN_NOTE LAN_TEAM_A LAN_ERR_NOT_IN_TEAM 2"},
        {"team A's players unknown to the table", [](LobbyStartInput& in) { in.teamSizes[0] = -1; }, -1,
         "LAN_NOTE LAN_TEAM_A LAN_ERR_NOT_IN_TEAM 1"},
        {"both sides the same team", [](LobbyStartInput& in) { in.teams[1].mTeamId = in.teams[0].mTeamId; }, -1,
         "LAN_ERR_TEAM_SAME"},
        {"one player in two roles", [](LobbyStartInput& in) { in.teams[1].mShooter = in.teams[1].mPointer; }, -1,
         "LAN_ERR_PLAYERS_SAME"},
        {"the middle is the shooter in triples",
         [](LobbyStartInput& in) { in.playersPerTeam = 3, in.teams[0].mMiddle = 2, in.teams[1].mMiddle = 1; }, -1,
         "LAN_ERR_PLAYERS_SAME"},
        {"singles need no second role",
         [](LobbyStartInput& in) { in.playersPerTeam = 1, in.teams[0].mShooter = in.teams[1].mShooter = -1; }, 0,
         ""},
        {"everything chosen", [](LobbyStartInput&) {}, 0, ""},
    };
    for (const Case& c : cases) {
        LobbyStartInput in = Ready();
        c.change(in);
        CEnvironment env;
        EXPECT_EQ(Validate(in, env), c.result) << c.what;
        if (*c.line) {
            ASSERT_EQ(chat.size(), 1u) << c.what;
            EXPECT_EQ(chat[0], c.line) << c.what;
        } else {
            EXPECT_TRUE(chat.empty()) << c.what << ": " << (chat.empty() ? "" : chat[0]);
        }
    }
}

TEST_F(LobbyStartTest, AStartNeedsAPlayerInEachTeam) {
    LobbyStartInput in = Ready();
    chat.clear();
    auto sink = [this](const std::string& line) { chat.push_back(line); };
    EXPECT_TRUE(LobbyTeamsPeopled(in, sink));
    for (LobbyStartInput::Slot& slot : in.slots)
        slot.team = slot.active ? 0 : slot.team;
    EXPECT_FALSE(LobbyTeamsPeopled(in, sink));
    ASSERT_EQ(chat.size(), 1u);
    EXPECT_EQ(chat[0], "LAN_ERR_TEAM_EMPTY");
    // A player of team B in a slot no longer active does not count.
    in.slots[5].team = 1;
    EXPECT_FALSE(LobbyTeamsPeopled(in, sink));
}

TEST_F(LobbyStartTest, ControllersAndNamesFollowTheActiveSlotsInOrder) {
    // Three players in slots 0, 2 and 3: slot 1 has left.
    LobbyStartInput in = Ready();
    in.slots[1] = LobbyStartInput::Slot();
    in.slots[2].team = 1;
    in.slots[3].team = 1;
    CEnvironment env;
    ASSERT_EQ(Validate(in, env), 0);
    EXPECT_EQ(Int(env, "NbPlayers"), 3);
    const int controllers[6] = {7, 9, 10, 0, 0, 0};
    const char* names[6] = {"Hote", "Cyr", "Dan", "---", "---", "---"};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(Int(env, "CONTROLER_" + std::to_string(n)), controllers[n - 1]) << n;
        EXPECT_EQ(Text(env, "Player" + std::to_string(n) + "Name"), names[n - 1]) << n;
    }
    EXPECT_EQ(Int(env, "Player1Team"), 0);
    EXPECT_EQ(Int(env, "Player3Team"), 1);
    EXPECT_EQ(Int(env, "GameType"), 2);
    EXPECT_EQ(Int(env, "IsRegional"), 1);
    EXPECT_EQ(Int(env, "location"), 3);
    EXPECT_EQ(Int(env, "QuickMatch"), 1);
    EXPECT_EQ(Int(env, "TeamA"), 3);
    EXPECT_EQ(Int(env, "TeamB"), 4);
    EXPECT_EQ(Int(env, "Team_0_actor_0"), 0);
    EXPECT_EQ(Int(env, "Team_1_actor_1"), 1);
    const int toss = Int(env, "PILE_OU_FACE");
    EXPECT_TRUE(toss == 1 || toss == 2) << toss;
}

// A section packed as the host packs it.
std::vector<uint8_t> Packed(const char* section, const std::vector<std::pair<std::string, int>>& values) {
    CEnvironment env;
    for (const auto& v : values)
        env.GetVariable(section, v.first.c_str(), true)->SetInt(v.second);
    CObjnet holder;
    holder.StartSignature("holder");
    env.SerializeSection(&holder, section);
    holder.End();
    // The nested object's bytes follow the type id and the length word.
    return std::vector<uint8_t>(holder.GetData() + 8, holder.GetData() + holder.GetSize());
}

TEST_F(LobbyStartTest, OnlyTheMatchParametersSectionIsTakenFromTheHost) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool taken;
    };
    std::vector<Case> cases;
    cases.push_back({"the match parameters", Packed(kSection, {{"TeamA", 5}}), true});
    cases.push_back({"the user's settings", Packed("SETTINGS", {{"SoundVolume", 0}}), false});
    cases.push_back({"another match section", Packed("GAMEPARAMS", {{"QuickMatch", 0}}), false});
    cases.push_back({"a longer name", Packed("QUICKMATCHPARAMSX", {{"TeamA", 5}}), false});
    std::vector<uint8_t> cut = Packed(kSection, {{"TeamA", 5}});
    cut.resize(cut.size() - 2);
    cases.push_back({"a section cut short", cut, false});
    cases.push_back({"not a section", std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}, false});
    for (const Case& c : cases) {
        CEnvironment env;
        env.GetVariable("SETTINGS", "SoundVolume", true)->SetInt(80);
        CObjnet packed;
        packed.SetData(c.bytes.data(), int(c.bytes.size()));
        EXPECT_EQ(ReadLobbyMatchParams(packed, env), c.taken) << c.what;
        EXPECT_EQ(env.Find("SETTINGS", "SoundVolume")->GetInt(), 80) << c.what;
        EXPECT_EQ(env.Find("GAMEPARAMS", "QuickMatch"), nullptr) << c.what;
        if (c.taken) {
            EXPECT_EQ(env.Find(kSection, "TeamA")->GetInt(), 5) << c.what;
        }
    }
}

// The host's difficulty travels with the match parameters, and every machine
// plays at it; a host that sends none, or one no difficulty has, leaves each
// machine at its own.
TEST_F(LobbyStartTest, TheHostsDifficultyIsTheMatchsOnEveryMachine) {
    for (int hostLevel = 0; hostLevel < 3; ++hostLevel) {
        LobbyStartInput in = Ready();
        in.difficulty = hostLevel;
        CEnvironment hostEnv;
        ASSERT_EQ(Validate(in, hostEnv), 0);
        // Packed as the host sends it, read as the client reads it.
        std::vector<std::pair<std::string, int>> sent = {{"TeamA", 3}, {"Difficulty", Int(hostEnv, "Difficulty")}};
        const std::vector<uint8_t> bytes = Packed(kSection, sent);
        CObjnet packed;
        packed.SetData(bytes.data(), int(bytes.size()));
        CEnvironment clientEnv;
        ASSERT_TRUE(ReadLobbyMatchParams(packed, clientEnv));
        for (int own = 0; own < 3; ++own)
            EXPECT_EQ(LobbyMatchDifficulty(clientEnv, own), hostLevel) << "host " << hostLevel << ", own " << own;
    }
    struct Case {
        const char* what;
        const char* text;   // the value as the host's section holds it; null: no key
    };
    const Case cases[] = {
        {"an earlier host, no difficulty", nullptr}, {"below easy", "-1"}, {"above hard", "3"},
        {"a huge number", "2147483647"},             {"a float", "1.5"},  {"a text", "difficile"},
    };
    for (const Case& c : cases) {
        CEnvironment env;
        env.GetVariable(kSection, "TeamA", true)->SetInt(3);
        if (c.text)
            env.GetVariable(kSection, "Difficulty", true)->SetFromText(c.text);
        EXPECT_EQ(LobbyMatchDifficulty(env, 2), 2) << c.what;
        EXPECT_EQ(LobbyMatchDifficulty(env, 0), 0) << c.what;
    }
}

}  // namespace
