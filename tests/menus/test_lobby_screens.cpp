// The LAN lobby's two screens on CEGUI's Null renderer, with the game's
// network manager and a peer manager on 127.0.0.1: finding and joining a
// game, the team screen's records and chat, the start on both sides, and
// what a peer must not be able to do to the lobby.
#include "MenuTestUtil.h"
#include "NetTestHelpers.h"

#include <CMenuLobbyingGameMode.h>
#include <LobbyPackets.h>

#include <CaracDB.h>
#include <GuiPlainText.h>
#include <CLangDB.h>
#include <ControlerTable.h>
#include <MenuServices.h>
#include <PlayerDB.h>
#include <TeamDB.h>
#include <TestSelect.h>
#include <TuningLoader.h>

#include <CEGUI/CEGUI.h>

#include <limits>
#include <set>
#include <string>

using namespace nettest;

namespace {

std::set<std::string>& Blinking() {
    static std::set<std::string> windows;
    return windows;
}

std::string SourceData(const char* file) { return std::string(KEM_SOURCE_MEDIA) + "/Data/" + file; }

class LobbyScreens : public MenuTest {
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

    void SetUp() override {
        MenuTest::SetUp();
        // Texts are their keys.
        CLangDB::Instance().Clear();
        ClockNow() = 1000;
        HalSetTimeSource(&TestClock);
        Blinking().clear();
        MenuHudHooks().startWindowEffect = [](const std::string& w) { Blinking().insert(w); };
        MenuHudHooks().stopWindowEffect = [](const std::string& w) { Blinking().erase(w); };
        port = FindFreePortPair();
        ASSERT_NE(port, 0);
        g_NetMgr.SetBasePort(port);
        g_NetMgr.SetBroadcastAddress(kLoopback);
        ASSERT_TRUE(g_NetMgr.Init());
        g_ControlerTableFilled = 0;
    }
    void TearDown() override {
        if (mode) {
            mode->Exit();
            mode.reset();
        }
        peer.reset();
        g_NetMgr.Shutdown();
        g_NetMgr.SetListener(nullptr);
        MenuHudHooks().startWindowEffect = nullptr;
        MenuHudHooks().stopWindowEffect = nullptr;
        HalSetTimeSource(nullptr);
        MenuTest::TearDown();
    }

    void Enter() {
        mode.reset(new CMenuLobbyingGameMode(-1));
        mode->Init();
        mode->Update();
    }
    // A peer manager on the test's ports (the second instance: base port + 1).
    Node& MakePeer() {
        peer.reset(new Node(port));
        EXPECT_TRUE(peer->mgr.Init());
        return *peer;
    }
    void HostOnPeer(const char* name) {
        Node& host = MakePeer();
        CNetGameDesc desc(kLoopback, host.mgr.GetPort());
        desc.mMaxPlayers = 6;
        NetCopyName(desc.mName, name);
        ASSERT_TRUE(host.mgr.HostGame(desc));
    }
    bool Pump(const std::function<bool()>& done, int rounds = 3000) {
        CNetMgr* other = peer ? &peer->mgr : &g_NetMgr;
        return PumpUntil({&g_NetMgr, other}, [&] {
            if (mode && !mode->IsFinished())
                mode->Update();
            return done();
        }, rounds);
    }
    void Settle() { Pump([] { return false; }, 30); }

    static CEGUI::Listbox* List(const char* name) { return dynamic_cast<CEGUI::Listbox*>(Window(name)); }
    static std::string ItemText(const char* list, size_t index) {
        CEGUI::Listbox* l = List(list);
        if (!l || index >= l->getItemCount())
            return "<none>";
        return l->getListboxItemFromIndex(index)->getText().c_str();
    }
    static std::string LastLine(const char* list) {
        CEGUI::Listbox* l = List(list);
        return l && l->getItemCount() ? ItemText(list, l->getItemCount() - 1) : "<none>";
    }
    static size_t Count(const char* list) {
        CEGUI::Listbox* l = List(list);
        return l ? l->getItemCount() : 0;
    }
    static std::string Text(const char* window) {
        CEGUI::Window* w = Window(window);
        return w ? w->getText().c_str() : "<none>";
    }
    static bool Enabled(const char* window) {
        CEGUI::Window* w = Window(window);
        return w && !w->isDisabled();
    }

    // The peer's custom object built from a lobby record.
    template <class Record>
    void PeerSendsRecord(const Record& record) {
        CObjnet object;
        record.Write(object);
        ASSERT_TRUE(peer->mgr.TCPSendCustomObject(object));
    }
    // The peer's own slot record with a team, as the lobby sends it.
    void PeerSendsTeam(int team) {
        CNetClient& own = peer->mgr.GetSlot(peer->mgr.GetOwnIndex());
        own.mTeam = team;
        CObjnet record;
        own.Serialize(record);
        CObjnet message;
        message.StartSignature(NETSIG_E_UPDATE_PLAYER);
        message.WriteUInt(uint32_t(peer->mgr.GetOwnIndex()));
        message.WriteObject(&record);
        message.End();
        ASSERT_TRUE(peer->mgr.TCPSendAction(message));
    }
    // The host peer's start message carrying a packed section.
    void PeerStarts(const char* section, const std::vector<std::pair<std::string, int>>& values) {
        CEnvironment env;
        for (const auto& v : values)
            env.GetVariable(section, v.first.c_str(), true)->SetInt(v.second);
        CObjnet message;
        message.StartSignature(NETSIG_E_HOST_START_GAME);
        env.SerializeSection(&message, section);
        message.End();
        ASSERT_TRUE(peer->mgr.TCPSendAction(message));
    }
    // The games list after one enumeration on the test clock.
    void FindGames() {
        Settle();
        Advance(CNetMgr::ENUMERATION_WINDOW_MS + 100);
        ASSERT_TRUE(Pump([] { return g_NetMgr.GetState() == CNetMgr::e_enumaration_complete; }));
    }
    // Enters the lobby and joins the peer's game through the games list.
    void JoinPeer() {
        Enter();
        FindGames();
        ASSERT_TRUE(TestSelect("GamesList 0"));
        Click("BtnJoin");
        ASSERT_TRUE(Pump([this] { return mode->IsTeamScreenBuilt() && peer->listener.Has("added:1"); }));
        Settle();
    }
    static void Advance(uint32_t ms) { ClockNow() += ms; }

    uint16_t port = 0;
    std::unique_ptr<CMenuLobbyingGameMode> mode;
    std::unique_ptr<Node> peer;
};

TEST_F(LobbyScreens, TheGamesListShowsWhatTheEnumerationFoundAndJoinsTheChosenGame) {
    HostOnPeer("Partie");
    Enter();
    EXPECT_TRUE(Visible("LAN1"));
    EXPECT_FALSE(Visible("LAN2"));
    EXPECT_EQ(Text("GameJoinName"), "NO_GAME_SEL");
    EXPECT_FALSE(Enabled("BtnValid"));
    EXPECT_TRUE(Blinking().count("BtnCreate") && Blinking().count("BtnJoin"));
    // Entering starts one enumeration; the list asks to wait meanwhile.
    EXPECT_EQ(g_NetMgr.GetState(), CNetMgr::e_enumaration_in_progress);
    EXPECT_EQ(Count("GamesList"), 1u);
    EXPECT_EQ(ItemText("GamesList", 0), "LAN_PLEASEWAIT");
    // A refresh while it runs changes nothing; Join with no game record neither.
    Click("BtnRefresh");
    TestSelect("GamesList 0");
    Click("BtnJoin");
    EXPECT_EQ(ItemText("GamesList", 0), "LAN_PLEASEWAIT");
    EXPECT_EQ(g_NetMgr.GetState(), CNetMgr::e_enumaration_in_progress);

    FindGames();
    ASSERT_EQ(Count("GamesList"), 1u);
    const std::string line = "Partie  (127.0.0.1:" + std::to_string(port + 1) + ") (1/6)";
    EXPECT_EQ(ItemText("GamesList", 0), line);
    EXPECT_TRUE(Blinking().count("BtnRefresh"));
    ASSERT_TRUE(TestSelect("GamesList 0"));
    EXPECT_EQ(Text("GameJoinName"), line);

    Click("BtnJoin");
    ASSERT_TRUE(Pump([this] { return mode->IsTeamScreenBuilt(); }));
    Settle();
    EXPECT_TRUE(Visible("LAN2"));
    EXPECT_EQ(g_NetMgr.GetOwnIndex(), 1);
    EXPECT_EQ(Text("FramePlayersName1"), "Partie  LAN_NO_TEAM");
    EXPECT_EQ(Text("PlayerName"), std::string(g_NetMgr.GetSlot(1).mName));
    EXPECT_FALSE(Enabled("PlayerName"));
    // A client sees the start button without its word and cannot change the settings.
    EXPECT_EQ(Text("BtnStart"), "");
    for (const char* setting : {"ComboBoxNbPlayers", "ComboBoxRegional", "ComboBoxLocation"})
        EXPECT_FALSE(Enabled(setting)) << setting;
}

TEST_F(LobbyScreens, AFailedJoinAndAnEmptyNetworkAreSaidInTheGamesList) {
    Enter();
    FindGames();
    ASSERT_EQ(Count("GamesList"), 1u);
    EXPECT_EQ(ItemText("GamesList", 0), "NOGAMEFOUND");
    // Clicking Refresh stops its blink and asks again.
    HostOnPeer("Partie");
    ASSERT_TRUE(Blinking().count("BtnRefresh"));
    Click("BtnRefresh");
    EXPECT_FALSE(Blinking().count("BtnRefresh"));
    EXPECT_EQ(ItemText("GamesList", 0), "LAN_PLEASEWAIT");
    FindGames();

    // A game that went away between the list and the join: nobody answers.
    ASSERT_TRUE(TestSelect("GamesList 0"));
    peer->mgr.Shutdown();
    Click("BtnJoin");
    EXPECT_EQ(ItemText("GamesList", 0), "CNX_FAILED");
    EXPECT_EQ(Text("GameJoinName"), "CNX_FAILED");
    EXPECT_FALSE(mode->IsTeamScreenBuilt());
}

TEST_F(LobbyScreens, WithoutTheNetworkTheGamesListSaysSoAndHostingFailsOnScreen) {
    g_NetMgr.Shutdown();
    Enter();
    ASSERT_EQ(Count("GamesList"), 1u);
    EXPECT_EQ(ItemText("GamesList", 0), "CNX_FAILED");
    Click("BtnCreate");
    mode->Update();
    EXPECT_FALSE(mode->IsTeamScreenBuilt());
    EXPECT_EQ(Text("GameJoinName"), "CNX_FAILED");
    EXPECT_FALSE(g_NetMgr.IsConnected());
    Click("BtnBack");
    EXPECT_EQ(mode->GetNextModeId(), int(GAME_MODE_MAIN_MENU));
}

TEST_F(LobbyScreens, AClientSharesChatSettingsAndTeamsAndStartsFromTheHostsParameters) {
    HostOnPeer("Partie");
    JoinPeer();
    const std::string me = g_NetMgr.GetSlot(1).mName;

    // Chat both ways: the client's own line comes back once from the host.
    ASSERT_TRUE(peer->mgr.TCPSendChatMessage("bonjour"));
    ASSERT_TRUE(Pump([] { return Count("ChatList") == 1; }));
    EXPECT_EQ(LastLine("ChatList"), "Partie: bonjour");
    Window("ChatTextEntry")->setText("salut");
    Click("BtnChatSend");
    EXPECT_EQ(Text("ChatTextEntry"), "");
    ASSERT_TRUE(Pump([] { return Count("ChatList") == 2; }));
    Settle();
    EXPECT_EQ(Count("ChatList"), 2u);
    EXPECT_EQ(LastLine("ChatList"), me + ": salut");
    EXPECT_TRUE(peer->listener.Has("chat:1:salut"));

    // The host's settings: doubles, regions, a venue.
    CGameInfosPacketV2 settings;
    settings.mPlayersPerTeam = 2;
    settings.mRegional = 1;
    settings.mLocation = 2;
    PeerSendsRecord(settings);
    ASSERT_TRUE(Pump([this] { return mode->GetGameInfos().mLocation == 2; }));
    EXPECT_EQ(Text("ComboBoxNbPlayers"), "LAN_DBL");
    EXPECT_EQ(Text("ComboBoxLocation"), "REUNION");
    EXPECT_EQ(Text("ComboBoxRegional"), "FRANCE");
    EXPECT_TRUE(Visible("ComboBoxRegionList"));
    EXPECT_FALSE(Visible("ComboBoxCountryList"));
    EXPECT_TRUE(Visible("ComboBoxTireur"));
    EXPECT_FALSE(Visible("ComboBoxMilieu"));

    // The client takes team B and leads it: the host learns both.
    ASSERT_TRUE(TestSelect("ComboBoxTeam 1"));
    ASSERT_TRUE(Pump([this] { return peer->mgr.GetSlot(1).mTeam == 1; }));
    EXPECT_TRUE(mode->IsTeamLeader());
    EXPECT_EQ(mode->GetTeamInfos(1).mTeamIndex, 1);
    EXPECT_TRUE(Enabled("ComboBoxRegionList"));
    EXPECT_TRUE(Enabled("ComboBoxPointeur"));
    ASSERT_GT(dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxRegionList"))->getItemCount(), 0u);

    // It chooses its region, then its pointer, before the host passes back
    // the record it sent on taking the team (no region yet): that late echo
    // undoes neither choice, so the record it sends next still names both.
    CTeamInfosPacketV1 firstRecord = mode->GetTeamInfos(1);
    CEGUI::Combobox* regions = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxRegionList"));
    const int region = int(regions->getListboxItemFromIndex(0)->getID());
    ASSERT_TRUE(TestSelect("ComboBoxRegionList " + std::to_string(region)));
    ASSERT_TRUE(TestSelect("ComboBoxPointeur 0"));
    ASSERT_EQ(mode->GetTeamInfos(1).mTeamId, region);
    firstRecord.mTeamId = -1;
    firstRecord.mPointer = -1;
    CObjnet object;
    firstRecord.Write(object);
    CObjnet echo;
    echo.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    echo.WriteUInt(1);
    echo.WriteObject(&object);
    echo.End();
    ASSERT_TRUE(peer->mgr.TCPSendAction(echo));
    Settle();
    EXPECT_EQ(mode->GetTeamInfos(1).mTeamId, region);
    EXPECT_EQ(mode->GetTeamInfos(1).mPointer, 0);

    // The host starts: the client starts from exactly those parameters.
    PeerStarts("QUICKMATCHPARAMS", {{"QuickMatch", 1}, {"TeamA", 3}, {"TeamB", 5}, {"PILE_OU_FACE", 2}});
    ASSERT_TRUE(Pump([this] { return mode->IsFinished(); }));
    EXPECT_EQ(mode->GetNextModeId(), int(GAME_MODE_QUICK_MATCH));
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "TeamB"), 5);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "PILE_OU_FACE"), 2);
    EXPECT_EQ(Int("GAMEPARAMS", "QuickMatch"), 1);
    EXPECT_EQ(g_OwnControlerType, 1 + 7);
    EXPECT_EQ(g_NetMgr.mClosed, 1);
    EXPECT_TRUE(g_NetMgr.IsConnected());
}

TEST_F(LobbyScreens, AHostsStartNamingAnotherSectionIsRefusedAndTheSettingsStayTheUsers) {
    HostOnPeer("Partie");
    JoinPeer();
    gSceneMgr.GetEnvironment().GetVariable("SETTINGS", "SoundVolume", true)->SetInt(80);
    PeerStarts("SETTINGS", {{"SoundVolume", 0}, {"QuickMatch", 1}});
    ASSERT_TRUE(Pump([] { return !g_NetMgr.IsConnected(); }));
    EXPECT_EQ(Int("SETTINGS", "SoundVolume"), 80);
    EXPECT_EQ(Find("SETTINGS", "QuickMatch"), nullptr);
    EXPECT_FALSE(mode->IsFinished());
    EXPECT_EQ(LastLine("ChatList"), "CNX_GO_BACK");
    // The host sees its client leave.
    ASSERT_TRUE(PumpUntil({&peer->mgr}, [this] { return peer->listener.Has("left:1"); }));
}

TEST_F(LobbyScreens, AClientWhoseHostVanishesIsToldAndLeftOutOfTheSession) {
    HostOnPeer("Partie");
    JoinPeer();
    peer->mgr.CloseSession();
    ASSERT_TRUE(Pump([] { return !g_NetMgr.IsConnected(); }));
    EXPECT_EQ(g_NetMgr.GetState(), CNetMgr::active_not_connected);
    ASSERT_GE(Count("ChatList"), 2u);
    EXPECT_EQ(ItemText("ChatList", Count("ChatList") - 2), "CNX_FAILED");
    EXPECT_EQ(LastLine("ChatList"), "CNX_GO_BACK");
    EXPECT_EQ(Text("FramePlayersName1"), "");
    // Chat no longer goes anywhere.
    peer.reset();
    MakePeer();
    Window("ChatTextEntry")->setText("perdu");
    const size_t lines = Count("ChatList");
    Click("BtnChatSend");
    EXPECT_EQ(Count("ChatList"), lines);
}

TEST_F(LobbyScreens, TheHostSharesTheLobbyWithANewcomerChecksTheTeamsAndStartsEveryone) {
    Enter();
    Click("BtnCreate");
    mode->Update();
    ASSERT_TRUE(mode->IsTeamScreenBuilt());
    ASSERT_TRUE(g_NetMgr.IsHost());
    EXPECT_EQ(Text("BtnStart"), "START");
    EXPECT_TRUE(Enabled("ComboBoxNbPlayers"));
    for (const char* w : {"ComboBoxTeam", "ComboBoxNbPlayers", "ComboBoxRegional", "ComboBoxLocation"})
        EXPECT_TRUE(Blinking().count(w)) << w;

    // The newcomer gets the settings and both team records at login.
    Node& client = MakePeer();
    ASSERT_TRUE(client.mgr.JoinGame(kLoopback, g_NetMgr.GetPort(), "Bea"));
    ASSERT_TRUE(Pump([&] { return client.listener.Count("custom:0:28") + client.listener.Count("custom:0:16") >= 3; }));
    Settle();
    EXPECT_EQ(Text("FramePlayersName2"), "Bea  LAN_NO_TEAM");
    const std::string host = g_NetMgr.GetSlot(0).mName;

    // Nobody in a team: the start says so to everyone and goes no further.
    Click("BtnStart");
    EXPECT_EQ(LastLine("ChatList"), host + ": LAN_ERR_TEAM_EMPTY");
    ASSERT_TRUE(Pump([&] { return client.listener.Has("chat:0:LAN_ERR_TEAM_EMPTY"); }));
    EXPECT_FALSE(mode->IsFinished());

    // Singles in regions at the first venue; the host leads team A.
    ASSERT_TRUE(TestSelect("ComboBoxNbPlayers 1"));
    ASSERT_TRUE(TestSelect("ComboBoxRegional 1"));
    ASSERT_TRUE(TestSelect("ComboBoxLocation 0"));
    EXPECT_FALSE(Visible("ComboBoxTireur"));
    EXPECT_FALSE(Visible("ComboBoxMilieu"));
    ASSERT_TRUE(TestSelect("ComboBoxTeam 0"));
    ASSERT_TRUE(mode->IsTeamLeader());
    CEGUI::Combobox* regions = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxRegionList"));
    ASSERT_TRUE(regions && regions->getItemCount() >= 2);
    const int regionA = int(regions->getListboxItemFromIndex(0)->getID());
    const int regionB = int(regions->getListboxItemFromIndex(1)->getID());
    ASSERT_TRUE(TestSelect("ComboBoxRegionList " + std::to_string(regionA)));
    EXPECT_EQ(mode->GetTeamInfos(0).mTeamId, regionA);
    // The region's players fill the role lists.
    CEGUI::Combobox* pointers = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxPointeur"));
    ASSERT_TRUE(pointers && pointers->getItemCount() > 0);
    EXPECT_EQ(std::string(pointers->getListboxItemFromIndex(0)->getText().c_str()).rfind("[LAN_", 0), 0u);
    ASSERT_TRUE(TestSelect("ComboBoxPointeur 0"));
    EXPECT_EQ(mode->GetTeamInfos(0).mPointer, 0);

    // Bea takes team B and leads it from her machine.
    PeerSendsTeam(1);
    CTeamInfosPacketV1 teamB;
    teamB.mSide = teamB.mTeamIndex = 1;
    teamB.mTeamId = regionB;
    teamB.mPointer = 1;
    PeerSendsRecord(teamB);
    ASSERT_TRUE(Pump([this, regionB] { return mode->GetTeamInfos(1).mTeamId == regionB; }));
    EXPECT_EQ(g_NetMgr.GetSlot(1).mTeam, 1);
    EXPECT_EQ(Text("FramePlayersName2"), "Bea  LAN_TEAM_B");

    // A record for a third team changes neither.
    CTeamInfosPacketV1 stray = teamB;
    stray.mTeamIndex = 5;
    stray.mTeamId = 77;
    PeerSendsRecord(stray);
    Settle();
    EXPECT_EQ(mode->GetTeamInfos(0).mTeamId, regionA);
    EXPECT_EQ(mode->GetTeamInfos(1).mTeamId, regionB);
    // Nor do a client's game settings: only the host sets them.
    CGameInfosPacketV2 settings;
    settings.mPlayersPerTeam = 3;
    PeerSendsRecord(settings);
    Settle();
    EXPECT_EQ(mode->GetGameInfos().mPlayersPerTeam, 1);

    Click("BtnStart");
    ASSERT_TRUE(mode->IsFinished());
    EXPECT_EQ(mode->GetNextModeId(), int(GAME_MODE_QUICK_MATCH));
    const std::string started = "start:" + std::to_string(CObjnet::ComputeTypeId("environment"));
    ASSERT_TRUE(PumpUntil({&client.mgr}, [&] { return client.listener.Has(started); }));
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "NbPlayers"), 2);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "CONTROLER_1"), 7);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "CONTROLER_2"), 8);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "TeamA"), regionA);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "TeamB"), regionB);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "Team_1_actor_0"), 1);
    EXPECT_EQ(Int("GAMEPARAMS", "QuickMatch"), 1);
    EXPECT_EQ(g_OwnControlerType, 7);
    EXPECT_EQ(g_NetMgr.mClosed, 1);
}

}  // namespace

namespace {

// "CNetClient::e_custom_object": a sender and the object's bytes as given
// (so that a test can cut or lie about them).
std::vector<unsigned char> CustomObject(uint32_t sender, const std::vector<unsigned char>& object,
                                        int lengthDelta = 0) {
    CObjnet m;
    m.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    m.WriteUInt(sender);
    m.WriteUInt(uint32_t(int(object.size()) + lengthDelta));
    for (unsigned char b : object)
        m.WriteByte(b);
    m.End();
    return Framed(m);
}

template <class Record>
std::vector<unsigned char> RecordBytes(const Record& record) {
    CObjnet object;
    record.Write(object);
    return std::vector<unsigned char>(object.GetData(), object.GetData() + object.GetSize());
}

// True once the host has closed the connection (a close with our bytes
// still unread comes as a reset).
bool PeerGone(int socket) {
    char buffer[4096];
    for (int reads = 0; reads < 1000; ++reads) {
        if (SocketCanReadTimeout(socket, 2, 0) != 1)
            return false;
        if (SocketRecv(socket, buffer, int(sizeof(buffer))) <= 0)
            return true;
    }
    return false;
}

}  // namespace

TEST_F(LobbyScreens, AHostilePeerCannotTakeTheHostsLobbyDownAndAWellFormedClientStillJoins) {
    Enter();
    Click("BtnCreate");
    mode->Update();
    ASSERT_TRUE(mode->IsTeamScreenBuilt());
    ASSERT_TRUE(TestSelect("ComboBoxNbPlayers 2"));
    ASSERT_TRUE(TestSelect("ComboBoxTeam 0"));
    const CTeamInfosPacketV1 teamA = mode->GetTeamInfos(0);

    CTeamInfosPacketV1 record;
    record.mSide = record.mTeamIndex = 0;
    record.mTeamId = 9;
    std::vector<unsigned char> cutRecord = RecordBytes(record);
    cutRecord.resize(cutRecord.size() - 6);
    CEnvironment env;
    env.GetVariable("SETTINGS", "SoundVolume", true)->SetInt(0);
    CObjnet start;
    start.StartSignature(NETSIG_E_HOST_START_GAME);
    env.SerializeSection(&start, "SETTINGS");
    start.End();
    CObjnet hugeChat;
    hugeChat.StartSignature(NETSIG_E_CHAT_MESSAGE);
    hugeChat.WriteUInt(1);
    hugeChat.WriteString(std::string(2000, 'x').c_str());
    hugeChat.End();

    struct Case {
        const char* what;
        std::vector<std::vector<unsigned char>> frames;   // sent in order on one connection
        bool dropped;                                      // the host closes the connection
    };
    std::vector<std::vector<unsigned char>> flood;
    for (int i = 0; i < 300; ++i) {
        CObjnet chat;
        chat.StartSignature(NETSIG_E_CHAT_MESSAGE);
        chat.WriteUInt(1);
        chat.WriteString(("ligne " + std::to_string(i)).c_str());
        chat.End();
        flood.push_back(Framed(chat));
    }
    const std::vector<Case> cases = {
        {"a team record cut short", {Login("Eve"), CustomObject(1, cutRecord)}, false},
        {"a team record before the login", {CustomObject(1, cutRecord), Login("Eve")}, false},
        {"an object longer than its message", {Login("Eve"), CustomObject(1, RecordBytes(record), 40)}, true},
        {"a sender outside the slots", {Login("Eve"), CustomObject(9, RecordBytes(record))}, true},
        {"a start sent to the host", {Login("Eve"), Framed(start)}, false},
        {"a chat line far too long", {Login("Eve"), Framed(hugeChat)}, false},
        {"a frame longer than any buffer", {Login("Eve"), std::vector<unsigned char>{0x7F, 0xFF, 0xFF, 0xFF, 1}}, true},
        {"a header cut short, then silence", {Login("Eve"), std::vector<unsigned char>{0x00, 0x00}}, false},
        {"a flood of chat lines", flood, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = g_NetMgr.GetConnectionCount();
        const int s = ConnectPort("127.0.0.1", g_NetMgr.GetPort());
        ASSERT_GE(s, 0);
        ASSERT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before + 1; }));
        for (const std::vector<unsigned char>& frame : c.frames)
            ASSERT_TRUE(SendRaw(s, frame.data(), frame.size()));
        Settle();
        if (c.dropped) {
            EXPECT_TRUE(PeerGone(s));
            EXPECT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before; }));
        }
        SocketClose(s);
        ASSERT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before; }));
        // The host's lobby carries on as it was.
        EXPECT_TRUE(g_NetMgr.IsHost());
        EXPECT_TRUE(mode->IsTeamScreenBuilt());
        EXPECT_FALSE(mode->IsFinished());
        EXPECT_EQ(mode->GetTeamInfos(0).mTeamId, teamA.mTeamId);
        EXPECT_EQ(mode->GetGameInfos().mPlayersPerTeam, 2);
        EXPECT_EQ(Find("SETTINGS", "SoundVolume"), nullptr) << "a peer wrote the user's settings";
        // Lines are shown cut to the protocol's length, and the chat keeps its last lines only.
        for (size_t i = 0; i < Count("ChatList"); ++i)
            EXPECT_LE(ItemText("ChatList", i).size(), size_t(CNetMgr::CHAT_TEXT_MAX) + 40);
        EXPECT_LE(Count("ChatList"), 200u);
    }

    // A well-formed client joins and gets the lobby as it stands.
    Node* client = &MakePeer();
    ASSERT_TRUE(client->mgr.JoinGame(kLoopback, g_NetMgr.GetPort(), "Bea"));
    ASSERT_TRUE(PumpUntil({&g_NetMgr, &client->mgr}, [&] {
        mode->Update();
        return client->listener.Count("custom:0:16") == 1 && client->listener.Count("custom:0:28") == 2;
    }));
    ASSERT_TRUE(client->mgr.TCPSendChatMessage("me voici"));
    ASSERT_TRUE(PumpUntil({&g_NetMgr, &client->mgr}, [] { return LastLine("ChatList") == "Bea: me voici"; }));
}

TEST_F(LobbyScreens, AMemberWhoDoesNotLeadItsTeamSeesTheLeadersChoicesAndCannotChangeThem) {
    HostOnPeer("Partie");
    JoinPeer();
    CGameInfosPacketV2 settings;
    settings.mPlayersPerTeam = 2;
    settings.mRegional = 0;
    settings.mLocation = 1;
    PeerSendsRecord(settings);
    // The host is in team B first, so it leads it.
    CNetClient& hostSlot = peer->mgr.GetSlot(0);
    hostSlot.mTeam = 1;
    CObjnet record;
    hostSlot.Serialize(record);
    CObjnet update;
    update.StartSignature(NETSIG_E_UPDATE_PLAYER);
    update.WriteUInt(0);
    update.WriteObject(&record);
    update.End();
    ASSERT_TRUE(peer->mgr.TCPSendAction(update));
    ASSERT_TRUE(Pump([] { return g_NetMgr.GetSlot(0).mTeam == 1; }));
    EXPECT_EQ(Text("FramePlayersName1"), "Partie  LAN_TEAM_B");

    ASSERT_TRUE(TestSelect("ComboBoxTeam 1"));
    EXPECT_FALSE(mode->IsTeamLeader());
    ASSERT_TRUE(Pump([this] { return peer->mgr.GetSlot(1).mTeam == 1; }));
    for (const char* list : {"ComboBoxCountryList", "ComboBoxPointeur", "ComboBoxTireur"})
        EXPECT_FALSE(Enabled(list)) << list;
    EXPECT_FALSE(TestSelect("ComboBoxPointeur 0"));

    // The leader's record shows on the member's lists.
    CTeamInfosPacketV1 teamB;
    teamB.mSide = teamB.mTeamIndex = 1;
    teamB.mTeamId = TeamDB::FRANCE_COUNTRY_ID;
    teamB.mPointer = 2;
    teamB.mShooter = 0;
    PeerSendsRecord(teamB);
    ASSERT_TRUE(Pump([this] { return mode->GetTeamInfos(1).mPointer == 2; }));
    CEGUI::Combobox* pointer = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxPointeur"));
    ASSERT_TRUE(pointer && pointer->getSelectedItem());
    EXPECT_EQ(pointer->getSelectedItem()->getID(), 2u);
    CEGUI::Combobox* countries = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxCountryList"));
    ASSERT_TRUE(countries && countries->getSelectedItem());
    EXPECT_EQ(int(countries->getSelectedItem()->getID()), int(TeamDB::FRANCE_COUNTRY_ID));
    // The member sent its player record, never a team record of its own.
    Settle();
    for (const std::string& e : peer->listener.events)
        EXPECT_NE(e.rfind("custom:1:", 0), 0u) << e;
}

TEST_F(LobbyScreens, OnlyATeamsLeaderChangesItsRecordAndAConnectionThatNeverLogsInNeitherShowsNorHoldsTheStart) {
    Enter();
    Click("BtnCreate");
    mode->Update();
    ASSERT_TRUE(mode->IsTeamScreenBuilt());
    Node& client = MakePeer();
    ASSERT_TRUE(client.mgr.JoinGame(kLoopback, g_NetMgr.GetPort(), "Bea"));
    ASSERT_TRUE(Pump([&] { return client.listener.Count("custom:0:28") + client.listener.Count("custom:0:16") >= 3; }));
    ASSERT_TRUE(TestSelect("ComboBoxNbPlayers 1"));
    ASSERT_TRUE(TestSelect("ComboBoxRegional 1"));
    ASSERT_TRUE(TestSelect("ComboBoxLocation 0"));
    ASSERT_TRUE(TestSelect("ComboBoxTeam 0"));
    CEGUI::Combobox* regions = dynamic_cast<CEGUI::Combobox*>(Window("ComboBoxRegionList"));
    ASSERT_TRUE(regions && regions->getItemCount() >= 2);
    const int regionA = int(regions->getListboxItemFromIndex(0)->getID());
    const int regionB = int(regions->getListboxItemFromIndex(1)->getID());
    ASSERT_TRUE(TestSelect("ComboBoxRegionList " + std::to_string(regionA)));
    ASSERT_TRUE(TestSelect("ComboBoxPointeur 0"));
    Settle();
    const std::string echoed = "custom:1:28";   // Bea's team record, passed back to her

    CTeamInfosPacketV1 teamA;
    teamA.mSide = teamA.mTeamIndex = 0;
    teamA.mTeamId = regionB;
    teamA.mPointer = 1;
    CTeamInfosPacketV1 teamB;
    teamB.mSide = teamB.mTeamIndex = 1;
    teamB.mTeamId = regionB;
    teamB.mPointer = 0;
    CTeamInfosPacketV1 unknownTeam = teamB;
    unknownTeam.mTeamId = 999999;
    CTeamInfosPacketV1 hugeActor = teamB;
    hugeActor.mPointer = 2147483647;
    CTeamInfosPacketV1 sideAcross = teamB;
    sideAcross.mSide = 0;
    // Within the old bound of 64 but past the team's own list: the start
    // would only fail once the match had begun, on every machine.
    CTeamInfosPacketV1 outsideTeam = teamB;
    outsideTeam.mPointer = 40;

    // Bea in no team: no team's record is hers.
    PeerSendsRecord(teamA);
    PeerSendsRecord(teamB);
    Settle();
    EXPECT_EQ(mode->GetTeamInfos(0).mTeamId, regionA);
    EXPECT_EQ(mode->GetTeamInfos(1).mTeamId, -1);
    EXPECT_EQ(client.listener.Count(echoed), 0);

    // Leading team B, she sets team B's record and still not team A's, and
    // only with values the lists offer.
    PeerSendsTeam(1);
    PeerSendsRecord(teamB);
    ASSERT_TRUE(Pump([&] { return mode->GetTeamInfos(1).mTeamId == regionB; }));
    for (const CTeamInfosPacketV1* lie : {&teamA, &unknownTeam, &hugeActor, &sideAcross, &outsideTeam})
        PeerSendsRecord(*lie);
    CGameInfosPacketV2 settings;
    settings.mPlayersPerTeam = 3;
    PeerSendsRecord(settings);
    Settle();
    EXPECT_EQ(mode->GetTeamInfos(0).mTeamId, regionA);
    EXPECT_EQ(mode->GetTeamInfos(0).mPointer, 0);
    EXPECT_EQ(mode->GetTeamInfos(1).mTeamId, regionB);
    EXPECT_EQ(mode->GetTeamInfos(1).mPointer, 0);
    EXPECT_EQ(mode->GetTeamInfos(1).mSide, 1);
    EXPECT_EQ(mode->GetGameInfos().mPlayersPerTeam, 1);
    EXPECT_EQ(client.listener.Count(echoed), 1);

    // A connection that never logs in: no row, no part in the start.
    const int idle = ConnectPort("127.0.0.1", g_NetMgr.GetPort());
    ASSERT_GE(idle, 0);
    ASSERT_TRUE(Pump([] { return g_NetMgr.GetConnectionCount() == 3; }));
    mode->RefreshPlayersAndTeams();
    EXPECT_EQ(Text("FramePlayersName3"), "");
    Click("BtnStart");
    ASSERT_TRUE(mode->IsFinished());
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "NbPlayers"), 2);
    EXPECT_EQ(Int("QUICKMATCHPARAMS", "CONTROLER_3"), 0);
    // Once the match starts it is let go.
    ASSERT_TRUE(PumpUntil({&g_NetMgr, &client.mgr}, [] { return g_NetMgr.GetConnectionCount() == 2; }));
    EXPECT_TRUE(PeerGone(idle));
    SocketClose(idle);
}

TEST_F(LobbyScreens, AFloodOfLongChatLinesKeepsTheLastLinesWithoutRebuildingTheListForEachLine) {
    HostOnPeer("Partie");
    JoinPeer();
    int listChanges = 0;
    CEGUI::Listbox* chat = List("ChatList");
    ASSERT_TRUE(chat);
    chat->subscribeEvent(CEGUI::Listbox::EventListContentsChanged,
                         CEGUI::Event::Subscriber([&listChanges](const CEGUI::EventArgs&) {
                             ++listChanges;
                             return true;
                         }));
    // The host's lines (a host is trusted with its own): far more than kept.
    const int lines = 1000;
    for (int i = 0; i < lines; ++i) {
        std::string text = std::to_string(i) + " ";
        text.resize(CNetMgr::CHAT_TEXT_MAX, 'x');
        ASSERT_TRUE(peer->mgr.TCPSendChatMessage(text.c_str()));
        if (i % 100 == 99)
            Pump([] { return false; }, 3);
    }
    ASSERT_TRUE(Pump([] { return LastLine("ChatList").rfind("Partie: 999 ", 0) == 0; }));
    EXPECT_EQ(Count("ChatList"), 200u);
    EXPECT_EQ(ItemText("ChatList", 0).rfind("Partie: 800 ", 0), 0u);
    // The window took the new texts in place: it grew to its 200 lines once
    // instead of losing and gaining a line for each of the thousand.
    EXPECT_LE(listChanges, 200);
}

TEST_F(LobbyScreens, AHostsStartWithANumberTheMatchCannotReadIsRefused) {
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1.0e30f};
    for (float value : values) {
        SCOPED_TRACE(value);
        HostOnPeer("Partie");
        JoinPeer();
        CEnvironment env;
        env.GetVariable("QUICKMATCHPARAMS", "QuickMatch", true)->SetInt(1);
        env.GetVariable("QUICKMATCHPARAMS", "TeamB", true)->SetFloat(value);
        CObjnet message;
        message.StartSignature(NETSIG_E_HOST_START_GAME);
        env.SerializeSection(&message, "QUICKMATCHPARAMS");
        message.End();
        ASSERT_TRUE(peer->mgr.TCPSendAction(message));
        ASSERT_TRUE(Pump([] { return !g_NetMgr.IsConnected(); }));
        EXPECT_FALSE(mode->IsFinished());
        EXPECT_EQ(LastLine("ChatList"), "CNX_GO_BACK");
        mode->Exit();
        mode.reset();
    }
}

namespace {

// Texts another machine can send: markup of every kind, half a tag,
// escapes, control characters, 31 and 32 characters.
const char* const kPeerTexts[] = {
    "[font='Nope']boum",
    "[colour='00000000']cache",
    "[image='TaharezLook/Nope']x",
    "[window='Nope']x",
    "[vert-alignment='top'][padding='l:9 t:9 r:9 b:9']x",
    "[font='Nope'",
    "\\[font='Nope']x\\",
    "ligne\nHote: partie annulee",
    "\x1b[31mrouge",
    "[font='Nope'][font='Nope']x1234",    // 31 characters
    "[font='Nope'][font='Nope']x12345",   // 32 characters
};

bool HasControl(const std::string& text) { return GuiPlainText(text) != text; }

// The window's text as drawn: one line as wide as its plain characters.
void ExpectDrawnAsWritten(const char* window, const std::string& text) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    ASSERT_NE(w, nullptr) << window;
    EXPECT_EQ(std::string(w->getText().c_str()), text) << window;
    const CEGUI::RenderedString* shown = nullptr;
    ASSERT_NO_THROW(shown = &w->getRenderedString()) << window;
    EXPECT_EQ(shown->getLineCount(), 1u) << window;
    EXPECT_NEAR(shown->getHorizontalExtent(w), w->getFont()->getTextExtent(text), 0.5f) << window;
}

}  // namespace

// The host's lobby with each text as a login name and as a chat line. Before,
// "[font='Nope']..." in either threw from the frame (the game ended), a
// client logging in under the host's name got a second row of that name and
// chatted as it, and a newline faked a second line. Now every text stays
// characters on one line, names are the host's to number, and a text with a
// control character is refused.
TEST_F(LobbyScreens, NamesAndChatFromOtherMachinesAreShownAsWrittenAndNobodyPassesForAnother) {
    Enter();
    Click("BtnCreate");
    mode->Update();
    ASSERT_TRUE(mode->IsTeamScreenBuilt());
    const std::string hostName = g_NetMgr.GetSlot(0).mName;
    std::vector<std::string> texts(std::begin(kPeerTexts), std::end(kPeerTexts));
    texts.push_back(hostName);

    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const bool refused = HasControl(text) || text.size() > 31;
        const int before = g_NetMgr.GetConnectionCount();
        const int s = ConnectPort("127.0.0.1", g_NetMgr.GetPort());
        ASSERT_GE(s, 0);
        ASSERT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before + 1; }));
        ASSERT_TRUE(SendRaw(s, Login(text.c_str()).data(), Login(text.c_str()).size()));
        if (refused) {
            ASSERT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before; }));
            EXPECT_TRUE(PeerGone(s));
            SocketClose(s);
            EXPECT_EQ(Text("FramePlayersName2"), "");
        } else {
            ASSERT_TRUE(Pump([] { return g_NetMgr.GetPlayerCount() == 2; }));
            const std::string given = text == hostName ? hostName + " 2" : text;
            EXPECT_STREQ(g_NetMgr.GetSlot(1).mName, given.c_str());
            ExpectDrawnAsWritten("FramePlayersName2", given + "  LAN_NO_TEAM");
            ExpectDrawnAsWritten("FramePlayersName1", hostName + "  LAN_NO_TEAM");
        }
        // The text as a chat line, from this player or, when its name was
        // refused, from one whose name is plain.
        int chatter = s;
        if (refused) {
            chatter = ConnectPort("127.0.0.1", g_NetMgr.GetPort());
            ASSERT_GE(chatter, 0);
            ASSERT_TRUE(SendRaw(chatter, Login("Eve").data(), Login("Eve").size()));
            ASSERT_TRUE(Pump([] { return g_NetMgr.GetPlayerCount() == 2; }));
        }
        const std::string speaker = g_NetMgr.GetSlot(1).mName;
        const size_t lines = Count("ChatList");
        CObjnet chat;
        chat.StartSignature(NETSIG_E_CHAT_MESSAGE);
        chat.WriteUInt(1);
        chat.WriteString(text.c_str());
        chat.End();
        ASSERT_TRUE(SendRaw(chatter, Framed(chat).data(), Framed(chat).size()));
        if (HasControl(text)) {
            Settle();
            EXPECT_EQ(Count("ChatList"), lines);
        } else {
            ASSERT_TRUE(Pump([&] { return Count("ChatList") == lines + 1; }));
            EXPECT_EQ(LastLine("ChatList"), speaker + ": " + text);
        }
        EXPECT_NO_THROW(CEGUI::System::getSingleton().renderAllGUIContexts());
        SocketClose(chatter);
        ASSERT_TRUE(Pump([&] { return g_NetMgr.GetConnectionCount() == before; }));
        EXPECT_TRUE(g_NetMgr.IsHost());
        EXPECT_FALSE(mode->IsFinished());
    }
    // Every chat line on screen is one line of plain characters.
    CEGUI::Listbox* chat = List("ChatList");
    ASSERT_NE(chat, nullptr);
    for (size_t i = 0; i < chat->getItemCount(); ++i) {
        const CEGUI::ListboxItem* item = chat->getListboxItemFromIndex(i);
        const std::string line = item->getText().c_str();
        EXPECT_NEAR(item->getPixelSize().d_width, chat->getFont()->getTextExtent(line), 0.5f) << line;
    }
}

// A games-list answer, heard in return for the lobby's own request from the
// port after the game's (where a second game of a machine answers), named
// with each text: the games list and the chosen game's line show it as
// written, or no game when the name is longer than a name can be. Before,
// "[font='Nope']x" ended the game of every machine looking for games.
TEST_F(LobbyScreens, AGamesListAnswerShowsItsNameAsWritten) {
    const int fake = ListenUDPPort(uint16_t(port + 1));
    ASSERT_GE(fake, 0);
    Enter();
    for (const char* text : kPeerTexts) {
        SCOPED_TRACE(text);
        if (g_NetMgr.GetState() != CNetMgr::e_enumaration_in_progress)
            Click("BtnRefresh");
        ASSERT_EQ(g_NetMgr.GetState(), CNetMgr::e_enumaration_in_progress);
        // The lobby's request reaches the fake game, which answers it.
        unsigned char buffer[512];
        uint32_t from = 0;
        uint16_t fromPort = 0;
        ASSERT_TRUE(Pump([&] { return SocketCanReadTimeout(fake, 0, 0) == 1; }));
        ASSERT_GT(SocketRecvFrom(fake, &from, &fromPort, buffer, int(sizeof(buffer))), 0);
        CObjnet record;
        record.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
        record.WriteString(text);
        record.WriteUShort(1);
        record.WriteUShort(6);
        record.End();
        CObjnet answer;
        answer.StartSignature(NETSIG_A_QUERY_GAMELIST);
        answer.WriteObject(&record);
        answer.End();
        ASSERT_GT(SocketSendTo(fake, kLoopback, fromPort, answer.GetData(), answer.GetSize()), 0);
        FindGames();
        const std::string name = std::string(text).size() > 31 ? "" : GuiPlainText(text);
        if (name.empty()) {
            EXPECT_EQ(ItemText("GamesList", 0), "NOGAMEFOUND");
        } else {
            const std::string line = name + "  (127.0.0.1:" + std::to_string(port + 1) + ") (1/6)";
            EXPECT_EQ(ItemText("GamesList", 0), line);
            ASSERT_TRUE(TestSelect("GamesList 0"));
            ExpectDrawnAsWritten("GameJoinName", line);
        }
        EXPECT_NO_THROW(CEGUI::System::getSingleton().renderAllGUIContexts());
        while (SocketCanReadTimeout(fake, 0, 0) == 1)
            SocketRecvFrom(fake, &from, &fromPort, buffer, int(sizeof(buffer)));
    }
    SocketClose(fake);
    EXPECT_FALSE(mode->IsFinished());
}
