// The lobby's team screen: who is connected and in which team, the host's
// match settings, each team leader's team and roles, and the chat.
#include "CMenuLobbyingGameMode.h"

#include "CMenuLobbyingIF.h"
#include "LobbyWidgets.h"

#include "../MenuBind.h"
#include "../MenuServices.h"

#include <CGUIMgr.h>
#include <GuiPlainText.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <NetPeerText.h>
#include <CPlayer.h>
#include <Platform.h>
#include <PlayerDB.h>
#include <Team.h>
#include <TeamDB.h>
#include <TestReport.h>

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const char kOverlay[] = "CMenuLobbyingGameMode";
const char kNbPlayers[] = "ComboBoxNbPlayers";
const char kTeam[] = "ComboBoxTeam";
const char kRegional[] = "ComboBoxRegional";
const char kLocation[] = "ComboBoxLocation";
const char kRegionList[] = "ComboBoxRegionList";
const char kCountryList[] = "ComboBoxCountryList";
const char* const kRoleLists[3] = {"ComboBoxPointeur", "ComboBoxTireur", "ComboBoxMilieu"};
const char* const kRolePrompts[3] = {"LAN_PLAYER1", "LAN_PLAYER2", "LAN_PLAYER3"};
const char kChatEntry[] = "ChatTextEntry";
const char kChatList[] = "ChatList";
// The chat keeps its last lines only: a peer's flood must not grow it for ever.
const size_t kChatLinesKept = 200;
// Lines drawn as they come in one frame; more wait for the frame's one pass.
const int kChatLinesDrawnAtOnce = 4;
const int kChatTextMax = 255;
// Player rows: light text on the skin's dark rows, the local player's own
// row slightly see-through and warmer.
const char kOwnRowColours[] = "tl:F0FFE9A0 tr:F0FFE9A0 bl:F0FFE9A0 br:F0FFE9A0";
const char kRowColours[] = "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF";

bool InSession() { return g_NetMgr.GetState() == CNetMgr::e_connected; }

CNetClient& OwnSlot() {
    const int own = g_NetMgr.GetOwnIndex();
    return g_NetMgr.GetSlot(own >= 0 && own < CNetMgr::SLOT_COUNT ? own : 0);
}

const char* TeamTextKey(int team) { return team == 0 ? "LAN_TEAM_A" : team == 1 ? "LAN_TEAM_B" : "LAN_NO_TEAM"; }

// The ids of a table of names with a non-zero id, in id order, once each.
std::vector<int32_t> TableIds(const TeamNameMap& names) {
    std::vector<int32_t> ids;
    for (const auto& entry : names)
        if (entry.second != 0)
            ids.push_back(entry.second);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

void SubscribeAccepted(const char* combobox, bool (CMenuLobbyingGameMode::*handler)(const CEGUI::EventArgs&),
                       CMenuLobbyingGameMode* mode) {
    if (CEGUI::Combobox* combo = lobby::Combo(combobox)) {
        combo->setReadOnly(true);
        combo->subscribeEvent(CEGUI::Combobox::EventListSelectionAccepted, CEGUI::Event::Subscriber(handler, mode));
    }
}

}  // namespace

void CMenuLobbyingGameMode::BuildLan2Screen() {
    mTeamScreenPending = 0;
    if (!gGUIMgr.LoadLayout(kLayoutTeams))
        PlatLog("CMenuLobbyingGameMode::BuildLan2Screen() => layout \"%s\" missing: the team screen has no widgets",
                kLayoutTeams);
    gGUIMgr.ShowOverlay(kOverlay);
    lobby::Show("LAN2", true);
    lobby::Show("LAN1", false);
    const bool host = g_NetMgr.IsHost();
    using M = CMenuLobbyingGameMode;
    BindMenuButton<M>("MenuText", "LAN_FRAME_NAME", nullptr, this);
    BindMenuButton<M>("FramePlayersName", "LAN_CONNECTED_PLAYERS", nullptr, this);
    BindMenuButton("BtnBack", "BK", &M::OnBtnBack, this);
    BindMenuButton("BtnChatSend", "CHAT_SEND", &M::OnBtnChatSend, this);
    BindMenuButton("BtnStart", host ? "START" : nullptr, &M::OnBtnStart, this);
    if (!host) {
        lobby::SetText("BtnStart", "");
        lobby::Enable("BtnStart", false);
    }
    BindMenuButton<M>("FrameName", "LAN_FRAME_NAME", nullptr, this);
    if (!host) {
        // The game's name as its host told it on the connection, not as a
        // games-list answer (anyone can send one from its address) had it.
        const std::string game = g_NetMgr.GetOwnDesc().mName;
        lobby::SetPlainText("FrameName", std::string(GetText("LAN_FRAME_NAME")) + " : " + game);
        TestReport("lobby joined %s", game.c_str());
    }
    lobby::SetPlainText("PlayerName", OwnSlot().mName);
    lobby::Enable("PlayerName", false);
    if (CEGUI::Editbox* entry = dynamic_cast<CEGUI::Editbox*>(lobby::Window(kChatEntry)))
        entry->setMaxTextLength(kChatTextMax);

    lobby::ResetCombo(kNbPlayers, GetText("LAN_NBPLAYERS"));
    CEGUI::Combobox* combo = lobby::Combo(kNbPlayers);
    lobby::AddComboItem(combo, GetText("LAN_FAF"), 1);
    lobby::AddComboItem(combo, GetText("LAN_DBL"), 2);
    lobby::AddComboItem(combo, GetText("LAN_TRP"), 3);
    SubscribeAccepted(kNbPlayers, &M::OnGameSettingsChanged, this);
    lobby::Enable(kNbPlayers, host);

    lobby::ResetCombo(kTeam, GetText("LAN_NO_TEAM"));
    combo = lobby::Combo(kTeam);
    lobby::AddComboItem(combo, std::string(GetText("TEAM")) + " A", 0);
    lobby::AddComboItem(combo, std::string(GetText("TEAM")) + " B", 1);
    SubscribeAccepted(kTeam, &M::OnTeamChanged, this);

    lobby::ResetCombo(kRegional, GetText("LAN_WORLD_REGION"));
    combo = lobby::Combo(kRegional);
    lobby::AddComboItem(combo, GetText("FRANCE"), 1);
    lobby::AddComboItem(combo, GetText("WORLD"), 0);
    SubscribeAccepted(kRegional, &M::OnGameSettingsChanged, this);
    lobby::Enable(kRegional, host);

    lobby::ResetCombo(kLocation, GetText("LAN_LOCATION"));
    combo = lobby::Combo(kLocation);
    const char* const venues[] = {"MARSEILLE", "BALTARD", "REUNION", "CIOTAT"};
    for (int id = 0; id < 4; ++id)
        lobby::AddComboItem(combo, GetText(venues[id]), id);
    SubscribeAccepted(kLocation, &M::OnGameSettingsChanged, this);
    lobby::Enable(kLocation, host);

    FillTeamLists();
    SubscribeAccepted(kRegionList, &M::OnTeamChanged, this);
    SubscribeAccepted(kCountryList, &M::OnTeamChanged, this);
    if (host) {
        SubscribeAccepted(kRegionList, &M::OnGameSettingsChanged, this);
        SubscribeAccepted(kCountryList, &M::OnGameSettingsChanged, this);
    }
    lobby::Show(kRegionList, false);
    lobby::Show(kCountryList, false);

    bool (M::*roleHandlers[3])(const CEGUI::EventArgs&) = {&M::OnPointerChanged, &M::OnShooterChanged,
                                                            &M::OnMiddleChanged};
    for (int role = 0; role < 3; ++role) {
        lobby::ResetCombo(kRoleLists[role], GetText(kRolePrompts[role]));
        SubscribeAccepted(kRoleLists[role], roleHandlers[role], this);
        lobby::Enable(kRoleLists[role], false);
    }

    lobby::StartBlink(kTeam);
    if (host)
        for (const char* window : {kNbPlayers, kRegional, kLocation, kRegionList, kCountryList})
            lobby::StartBlink(window);
    mTeamScreenBuilt = true;
    TestReport("lobby teams %s", host ? "host" : "client");
    RefreshPlayersAndTeams();
}

void CMenuLobbyingGameMode::FillTeamLists() {
    lobby::ResetCombo(kRegionList, GetText("LAN_CHOSE_REGION"));
    CEGUI::Combobox* regions = lobby::Combo(kRegionList);
    for (int32_t id : TableIds(TeamDB::GetRegionNames())) {
        const Team* team = TeamDB::GetRegionalTeam(id);
        const std::string& name = TeamDB::GetRegionName(TeamDB::GetRegionNames(), id);
        lobby::AddComboItem(regions, GetText(team ? team->mName.c_str() : name.c_str()), id);
    }
    lobby::ResetCombo(kCountryList, GetText("LAN_CHOSE_COUNTRY"));
    CEGUI::Combobox* countries = lobby::Combo(kCountryList);
    for (int32_t id : TableIds(TeamDB::GetCountryNames()))
        lobby::AddComboItem(countries, GetText(TeamDB::GetCountryName(TeamDB::GetCountryNames(), id).c_str()), id);
}

void CMenuLobbyingGameMode::RefreshPlayersAndTeams() {
    const int own = g_NetMgr.GetOwnIndex();
    int players = 0;
    for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i) {
        const std::string row = "FramePlayersName" + std::to_string(i + 1);
        const CNetClient& slot = g_NetMgr.GetSlot(i);
        // A connection that has not logged in is nobody's row.
        if (slot.IsPlayer()) {
            ++players;
            lobby::SetPlainText(row.c_str(), std::string(slot.mName) + "  " + GetText(TeamTextKey(slot.mTeam)));
        } else {
            lobby::SetText(row.c_str(), "");
        }
        if (CEGUI::Window* w = lobby::Window(row.c_str()))
            w->setProperty("TextColours", i == own ? kOwnRowColours : kRowColours);
    }
    // A client's own slot is filled after the screen is built.
    lobby::SetPlainText("PlayerName", OwnSlot().mName);
    const bool host = g_NetMgr.IsHost();
    lobby::SetText("BtnStart", host ? GetText("START") : "");
    lobby::Enable("BtnStart", true);
    TestReport("lobby players %d", players);
}

void CMenuLobbyingGameMode::ApplyGameSettings() {
    if (!lobby::Combo(kNbPlayers))
        BuildLan2Screen();
    lobby::StopBlink(kNbPlayers);
    lobby::StopBlink(kLocation);
    if (mGameInfos.mLocation == -1 || !SelectComboItemById(mGameInfos.mLocation, kLocation))
        lobby::ClearComboChoice(kLocation, GetText("LAN_LOCATION"));
    if (mGameInfos.mRegional == -1 || !SelectComboItemById(mGameInfos.mRegional, kRegional))
        lobby::ClearComboChoice(kRegional, GetText("LAN_WORLD_REGION"));
    const int perTeam = mGameInfos.mPlayersPerTeam;
    if (perTeam < 1 || perTeam > 3 || !SelectComboItemById(perTeam, kNbPlayers))
        lobby::ClearComboChoice(kNbPlayers, GetText("LAN_NBPLAYERS"));
    lobby::Show(kRegionList, mGameInfos.mRegional == 1);
    lobby::Show(kCountryList, mGameInfos.mRegional == 0);
    FillRoleCombos();
}

void CMenuLobbyingGameMode::ApplyTeamInfos() {
    if (!lobby::Combo(kTeam))
        BuildLan2Screen();
    lobby::StopBlink(kTeam);
    const int team = OwnSlot().mTeam;
    const char* const teamLists[2] = {kRegionList, kCountryList};
    if (team == 0 || team == 1) {
        const bool leader = IsTeamLeader();
        if (!leader) {
            FillRoleCombos();
            const CTeamInfosPacketV1& record = mTeamInfos[team];
            if (mGameInfos.mRegional == 1 || mGameInfos.mRegional == 0) {
                const bool regional = mGameInfos.mRegional == 1;
                const char* list = regional ? kRegionList : kCountryList;
                if (record.mTeamId == -1 || !SelectComboItemById(record.mTeamId, list))
                    lobby::ClearComboChoice(list, GetText(regional ? "LAN_CHOSE_REGION" : "LAN_CHOSE_COUNTRY"));
            }
        }
        for (const char* list : teamLists)
            lobby::Enable(list, leader);
        for (const char* list : kRoleLists)
            lobby::Enable(list, leader);
    } else {
        for (const char* list : teamLists)
            lobby::Enable(list, false);
        for (const char* list : kRoleLists)
            lobby::Enable(list, false);
    }
    lobby::StopBlink(kRegional);
    lobby::StopBlink(kRegionList);
    lobby::StopBlink(kCountryList);
}

void CMenuLobbyingGameMode::FillRoleCombos() {
    for (int role = 0; role < 3; ++role)
        lobby::ResetCombo(kRoleLists[role], GetText(kRolePrompts[role]));
    const int perTeam = mGameInfos.mPlayersPerTeam;
    lobby::Show(kRoleLists[1], perTeam != 1);
    lobby::Show(kRoleLists[2], perTeam != 1 && perTeam != 2);

    const int team = OwnSlot().mTeam;
    if ((mGameInfos.mRegional != 0 && mGameInfos.mRegional != 1) || (team != 0 && team != 1))
        return;
    const CTeamInfosPacketV1& record = mTeamInfos[team];
    const Team* table = mGameInfos.mRegional == 1 ? TeamDB::GetRegionalTeam(record.mTeamId)
                                                  : TeamDB::GetNationalTeam(record.mTeamId);
    PlayerList* players = table ? PlayerDB::GetTeamPlayers(table) : nullptr;
    if (!players)
        return;
    static const char* const kRoleTexts[3] = {"LAN_MIDDLE", "LAN_SHOOTER", "LAN_POINTER"};
    int position = 0;
    for (const CPlayer* player : *players) {
        if (player) {
            const int role = player->mRole >= 0 && player->mRole < 3 ? player->mRole : 0;
            const std::string text = "[" + std::string(GetText(kRoleTexts[role])) + "]" + player->GetName();
            for (const char* list : kRoleLists)
                lobby::AddComboItem(lobby::Combo(list), text, position);
        }
        ++position;
    }
    // The lists show the team's record: its leader's choices.
    for (int role = 0; role < 3; ++role)
        if (record.Actor(role) != -1)
            SelectComboItemById(record.Actor(role), kRoleLists[role]);
}

bool CMenuLobbyingGameMode::OnGameSettingsChanged(const CEGUI::EventArgs&) {
    if (!g_NetMgr.IsHost())
        return true;
    mGameInfos.mLocation = lobby::ComboChoice(kLocation);
    mGameInfos.mPlayersPerTeam = lobby::ComboChoice(kNbPlayers);
    if (mGameInfos.mPlayersPerTeam == -1) {
        SendChatText(GetText("LAN_ERR_NB_PLAYERS"));
    } else {
        for (int role = 0; role < 3; ++role)
            lobby::ResetCombo(kRoleLists[role], GetText(kRolePrompts[role]));
        lobby::Show(kRoleLists[1], mGameInfos.mPlayersPerTeam != 1);
        lobby::Show(kRoleLists[2], mGameInfos.mPlayersPerTeam == 3);
    }
    g_NetMgr.GetOwnDesc().mMaxPlayers = CNetMgr::SLOT_COUNT;
    mGameInfos.mRegional = lobby::ComboChoice(kRegional);
    SendGameInfos();
    RefreshPlayersAndTeams();
    ApplyTeamInfos();
    ApplyGameSettings();
    return true;
}

bool CMenuLobbyingGameMode::OnTeamChanged(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    CNetClient& own = OwnSlot();
    const int before = own.mTeam;
    const int team = lobby::ComboChoice(kTeam);
    own.mTeam = team;
    // The others learn the new team before any team record: they take a
    // team's record only from its leader.
    SendUpdatePlayer();
    if (team != before)
        FillRoleCombos();
    if (team != -1 && IsTeamLeader()) {
        CTeamInfosPacketV1& record = mTeamInfos[team];
        record.mSide = team;
        record.mTeamIndex = team;
        record.mTeamId = -1;
        record.mPointer = -1;
        const char* list = mGameInfos.mRegional == 1 ? kRegionList : mGameInfos.mRegional == 0 ? kCountryList : nullptr;
        if (list && lobby::ComboChoice(list) != -1)
            record.mTeamId = lobby::ComboChoice(list);
        SendTeamInfos(team);
    }
    FillRoleCombos();
    RefreshPlayersAndTeams();
    ApplyTeamInfos();
    SendUpdatePlayer();
    return true;
}

namespace {
void RoleChosen(CMenuLobbyingGameMode& mode, int role) {
    const int team = OwnSlot().mTeam;
    if ((team != 0 && team != 1) || !mode.IsTeamLeader())
        return;
    CTeamInfosPacketV1& record = mode.TeamInfos(team);
    const int choice = lobby::ComboChoice(kRoleLists[role]);
    (role == 0 ? record.mPointer : role == 1 ? record.mShooter : record.mMiddle) = choice;
    mode.SendTeamInfos(team);
}
}  // namespace

bool CMenuLobbyingGameMode::OnPointerChanged(const CEGUI::EventArgs&) {
    RoleChosen(*this, 0);
    return true;
}

bool CMenuLobbyingGameMode::OnShooterChanged(const CEGUI::EventArgs&) {
    RoleChosen(*this, 1);
    return true;
}

bool CMenuLobbyingGameMode::OnMiddleChanged(const CEGUI::EventArgs&) {
    RoleChosen(*this, 2);
    return true;
}

bool CMenuLobbyingGameMode::OnBtnChatSend(const CEGUI::EventArgs&) {
    SendChatEntry();
    return true;
}

int CMenuLobbyingGameMode::TeamLeader(int team) {
    if (team != 0 && team != 1)
        return -1;
    for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i) {
        const CNetClient& slot = g_NetMgr.GetSlot(i);
        if (slot.IsPlayer() && slot.mTeam == team)
            return i;
    }
    return -1;
}

bool CMenuLobbyingGameMode::IsTeamLeader() const {
    const int own = g_NetMgr.GetOwnIndex();
    if (own < 0 || own >= CNetMgr::SLOT_COUNT)
        return false;
    const int team = g_NetMgr.GetSlot(own).mTeam;
    return TeamLeader(team) == own;
}

void CMenuLobbyingGameMode::SendUpdatePlayer() {
    if (!InSession())
        return;
    CObjnet& record = g_NetMgr.GetNestedMessage();
    OwnSlot().Serialize(record);
    CObjnet& message = g_NetMgr.GetOutgoingMessage();
    message.StartSignature(NETSIG_E_UPDATE_PLAYER);
    message.WriteUInt(uint32_t(g_NetMgr.GetOwnIndex()));
    message.WriteObject(&record);
    message.End();
    g_NetMgr.TCPSendAction(message);
}

void CMenuLobbyingGameMode::SendChatEntry() {
    CEGUI::Window* entry = lobby::Window(kChatEntry);
    if (!entry)
        return;
    const std::string text = entry->getText().c_str();
    SendChatText(text);
    entry->setText("");
}

void CMenuLobbyingGameMode::SendChatText(const std::string& text) {
    if (!InSession() || text.empty())
        return;
    // Hosts refuse a line with control characters (a newline fakes a
    // second line under another name): ours carry none either.
    if (NetTextHasControl(text.c_str()))
        return;
    // The wire carries 8-bit characters.
    std::string line;
    for (char c : text.substr(0, kChatTextMax))
        line += c;
    if (!g_NetMgr.TCPSendChatMessage(line.c_str()))
        return;
    // The host hears no echo of its own lines.
    if (g_NetMgr.IsHost())
        AppendChatLine(std::string(OwnSlot().mName) + ": " + line);
}

void CMenuLobbyingGameMode::AppendChatLine(const std::string& line) {
    if (!lobby::List(kChatList) || !lobby::Window(kChatEntry))
        return;
    // Names and lines from other machines: one line each, as written.
    mChatLines.push_back(GuiPlainText(line));
    if (mChatLines.size() > kChatLinesKept) {
        mChatLines.pop_front();
        mChatShifted = true;
    }
    mChatPending = true;
    TestReport("lobby chat %s", mChatLines.back().c_str());
    if (mChatLinesThisFrame < kChatLinesDrawnAtOnce) {
        ++mChatLinesThisFrame;
        FlushChat();
    }
}

void CMenuLobbyingGameMode::FlushChat() {
    mChatPending = false;
    CEGUI::Listbox* list = lobby::List(kChatList);
    if (!list)
        return;
    // Every list change makes the window measure all its lines again: the
    // lines already there take the new texts in place, and only the missing
    // ones are added (at most the kept count over the lobby's life).
    size_t shown = list->getItemCount();
    if (shown > mChatLines.size()) {
        list->resetList();
        shown = 0;
    }
    if (mChatShifted) {
        for (size_t i = 0; i < shown; ++i)
            list->getListboxItemFromIndex(i)->setText(mChatLines[i]);
        mChatShifted = false;
        list->handleUpdatedItemData();
    }
    for (size_t i = shown; i < mChatLines.size(); ++i)
        lobby::AddListItem(list, mChatLines[i], 0);
    if (list->getItemCount() > 0)
        list->ensureItemIsVisible(list->getItemCount() - 1);
}

void CMenuLobbyingGameMode::OnPlayerJoined() {
    if (g_NetMgr.IsHost()) {
        // The newcomer learns the lobby as it stands.
        SendGameInfos();
        SendTeamInfos(0);
        SendTeamInfos(1);
    }
    RefreshPlayersAndTeams();
    ApplyTeamInfos();
    SendUpdatePlayer();
}

void CMenuLobbyingGameMode::OnHostLost() {
    g_NetMgr.CloseSession();
    RefreshPlayersAndTeams();
    AppendChatLine(GetText("CNX_FAILED"));
    AppendChatLine(GetText("CNX_GO_BACK"));
    TestReport("lobby hostlost");
}
