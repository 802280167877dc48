// The LAN lobby (mode 11). Two screens: the games list (find the games on the
// network, host one, join one, go back) and the team screen (players, teams,
// roles, match settings, chat, start). The lobby drives the network manager
// and hears from it through CMenuLobbyingIF. The team screen's widgets live
// in LobbyTeamScreen.cpp, the shared records and the start in LobbyStart.cpp.
#pragma once

#include "LobbyPackets.h"
#include "LobbyStartCheck.h"

#include <CGameMode.h>
#include <CNetGameDesc.h>

#include <cstdint>
#include <deque>
#include <string>

class CEnvironment;
class CObjnet;

namespace CEGUI {
class EventArgs;
}

class CMenuLobbyingGameMode : public CGameMode {
public:
    static const char kLayoutGames[];   // "CMenuLobbyingGameMode_LAN1.layout"
    static const char kLayoutTeams[];   // "CMenuLobbyingGameMode_LAN2.layout"

    explicit CMenuLobbyingGameMode(int previousModeValue);
    ~CMenuLobbyingGameMode() override;

    bool Init() override;
    void Update() override;
    // The listener is taken off the network manager; every window and
    // overlay goes.
    bool Exit() override;
    CGameMode* GetSelf() override { return this; }

    // ---- games list -------------------------------------------------------------
    bool OnBtnRefresh(const CEGUI::EventArgs& args);
    bool OnBtnCreate(const CEGUI::EventArgs& args);
    bool OnBtnJoin(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnGamesListSelection(const CEGUI::EventArgs& args);
    // Empties "GamesList" when it exists.
    static void ClearGamesList();
    // Selects the first item of the combobox whose id is id and shows its
    // text; false when the combobox is missing, empty or has no such item.
    static bool SelectComboItemById(int id, const char* combobox);
    // The enumeration ended: one line per game found, or "NOGAMEFOUND".
    void ShowFoundGames(CNetGameDescList* games);
    // The join could not connect: said in "GamesList".
    void ShowConnectionFailed();

    // ---- team screen (LobbyTeamScreen.cpp) -------------------------------------
    void BuildLan2Screen();
    void RefreshPlayersAndTeams();
    void ApplyGameSettings();
    void ApplyTeamInfos();
    void FillRoleCombos();
    bool OnGameSettingsChanged(const CEGUI::EventArgs& args);
    bool OnTeamChanged(const CEGUI::EventArgs& args);
    bool OnPointerChanged(const CEGUI::EventArgs& args);
    bool OnShooterChanged(const CEGUI::EventArgs& args);
    bool OnMiddleChanged(const CEGUI::EventArgs& args);
    bool OnBtnChatSend(const CEGUI::EventArgs& args);
    // "CNetClient::e_update_player": our slot's record to everyone.
    void SendUpdatePlayer();
    void SendChatEntry();
    void SendChatText(const std::string& text);
    // One line at the bottom of "ChatList", scrolled into view.
    void AppendChatLine(const std::string& line);
    // The local player has a team and is its first player in slot order.
    bool IsTeamLeader() const;
    // The slot of the team's first player in slot order; -1 when none.
    static int TeamLeader(int team);
    // A player logged in (listener): the host shares the lobby's records,
    // every machine refreshes and sends its own record again.
    void OnPlayerJoined();
    // A client lost the host: the session is closed and the players told.
    void OnHostLost();

    // ---- records and start (LobbyStart.cpp) ------------------------------------
    void SendGameInfos();
    void SendTeamInfos(int team);
    // A custom object from the player in slot sender: a team record replaces
    // that team's when the sender is the host or the team's leader, the
    // host's game settings replace a client's. False (and nothing changes)
    // for anything else: a record the sender does not own, values no screen
    // offers, other objects.
    bool ApplyCustomObject(int sender, CObjnet& object);
    bool OnBtnStart(const CEGUI::EventArgs& args);
    // Host: checks the teams and starts the match on every machine.
    void OnStartClicked();
    // The checks on the screen's choices; 0 when the match may start.
    int ValidateTeams(CEnvironment& env);
    // Every machine: the match parameters go into the settings store and the
    // lobby hands over to the match. False (and the session closed) when
    // they are not a "QUICKMATCHPARAMS" section that reads whole.
    bool StartMatch(CObjnet& params);

    const CGameInfosPacketV2& GetGameInfos() const { return mGameInfos; }
    const CTeamInfosPacketV1& GetTeamInfos(int team) const { return mTeamInfos[team == 0 ? 0 : 1]; }
    CGameInfosPacketV2& GameInfos() { return mGameInfos; }
    CTeamInfosPacketV1& TeamInfos(int team) { return mTeamInfos[team == 0 ? 0 : 1]; }
    bool IsTeamScreenBuilt() const { return mTeamScreenBuilt; }

private:
    // "LAN_PLEASEWAIT" alone in the games list.
    static void ShowPleaseWait();
    // The screen's view of the session, for the start checks.
    LobbyStartInput StartInput() const;
    // The record of the local player's team, null without a team.
    CTeamInfosPacketV1* OwnTeamInfos();
    // Fills a combobox's items from the table of the team screen.
    void FillTeamLists();
    // The chosen item's id of a combobox, -1 when none.
    static int ComboChoice(const char* combobox);
    // Shows the chat lines not on "ChatList" yet, in one pass.
    void FlushChat();

    CGameInfosPacketV2 mGameInfos;
    CTeamInfosPacketV1 mTeamInfos[2];
    uint8_t mEnumerationStarted = 0;
    uint8_t mTeamScreenPending = 0;
    bool mTeamScreenBuilt = false;
    bool mStarting = false;
    // The chat's last lines. Lines are kept here at once and reach the list
    // window at most a few a frame and otherwise in one pass at the next
    // Update, so that a burst of lines costs one redraw of the list.
    std::deque<std::string> mChatLines;
    bool mChatShifted = false;     // lines left the front since the last pass
    bool mChatPending = false;     // lines not on the list window yet
    int mChatLinesThisFrame = 0;
};
