// The lobby mode itself and its games-list screen.
#include "CMenuLobbyingGameMode.h"

#include "CMenuLobbyingIF.h"
#include "LobbyWidgets.h"

#include "../MenuBind.h"
#include "../MenuServices.h"

#include <CGUIMgr.h>
#include <CInputMgr.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CNetClient.h>
#include <HalNet.h>
#include <Platform.h>
#include <TestReport.h>

#include <CEGUI/CEGUI.h>

const char CMenuLobbyingGameMode::kLayoutGames[] = "CMenuLobbyingGameMode_LAN1.layout";
const char CMenuLobbyingGameMode::kLayoutTeams[] = "CMenuLobbyingGameMode_LAN2.layout";

namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const char kOverlay[] = "CMenuLobbyingGameMode";
const char kGamesList[] = "GamesList";
const char kGameJoinName[] = "GameJoinName";
// The Enter key sends the chat entry: input action 2 on DirectInput scan code 28.
const int kEnterAction = 2;
const int kEnterKey = 28;
// A second instance on one computer (the fallback port) names its game so.
const char kSecondHostName[] = "Host 2";

// The computer's name (or the test's player name), at most 31 characters.
std::string LocalName() {
    if (const char* name = TestLanName())
        return std::string(name).substr(0, 31);
    char name[CNetClient::NAME_SIZE] = {0};
    NetGetHostName(name, sizeof(name));
    return name;
}

}  // namespace

CMenuLobbyingGameMode::CMenuLobbyingGameMode(int previousModeValue)
    : CGameMode(previousModeValue, GAME_MODE_LAN_LOBBY) {
    ShowOverlayElement("DEMO/version");
    StartMenuMusic();
}

CMenuLobbyingGameMode::~CMenuLobbyingGameMode() {
    // A mode deleted without its Exit must not stay the network's listener.
    CMenuLobbyingIF::Instance().Uninstall(this);
}

bool CMenuLobbyingGameMode::Init() {
    if (!gGUIMgr.LoadLayout(kLayoutGames))
        PlatLog("CMenuLobbyingGameMode::Init() => layout \"%s\" missing: the lobby has no buttons", kLayoutGames);
    using M = CMenuLobbyingGameMode;
    BindMenuButton<M>("FrameName", "LAN_FRAME_NAME", nullptr, this);
    BindMenuButton<M>("MenuText", "LAN_FRAME_NAME", nullptr, this);
    BindMenuButton("BtnCreate", "LAN_HOST", &M::OnBtnCreate, this);
    lobby::StartBlink("BtnCreate");
    BindMenuButton("BtnJoin", "LAN_JOIN", &M::OnBtnJoin, this);
    lobby::StartBlink("BtnJoin");
    BindMenuButton("BtnBack", "BK", &M::OnBtnBack, this);
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);
    lobby::Enable("BtnValid", false);
    BindMenuButton("BtnRefresh", "LAN_REFRESH", &M::OnBtnRefresh, this);
    if (CEGUI::Listbox* list = lobby::List(kGamesList))
        list->subscribeEvent(CEGUI::Listbox::EventSelectionChanged,
                             CEGUI::Event::Subscriber(&M::OnGamesListSelection, this));
    lobby::SetText(kGameJoinName, GetText("NO_GAME_SEL"));
    gGUIMgr.ShowOverlay(kOverlay);
    gInputMgr.SetKeyMapping(kEnterAction, kEnterKey);

    if (MenuReadInt(kSection, "FROM_PREVIOUS_GAME") == 1) {
        // Back from a LAN match with the session still open.
        lobby::Show("LAN1", false);
        lobby::Show("LAN2", true);
        mEnumerationStarted = 1;
        mTeamScreenPending = 1;
    } else {
        lobby::Show("LAN1", true);
        lobby::Show("LAN2", false);
        mEnumerationStarted = 0;
        mTeamScreenPending = 0;
    }
    CMenuLobbyingIF::Instance().Install(this);
    return true;
}

void CMenuLobbyingGameMode::Update() {
    if (mEnumerationStarted == 0 && g_NetMgr.GetState() == CNetMgr::active_not_connected) {
        mEnumerationStarted = 1;
        g_NetMgr.StartEnumeration();
        ShowPleaseWait();
    } else if (mEnumerationStarted == 0 && g_NetMgr.GetState() == CNetMgr::e_not_initialized) {
        // The sockets could not be opened: no game can be found or hosted.
        mEnumerationStarted = 1;
        ClearGamesList();
        lobby::AddListItem(lobby::List(kGamesList), GetText("CNX_FAILED"), 0);
        PlatLog("CMenuLobbyingGameMode::Update() => the LAN is not available: no game can be found or hosted");
        TestReport("lobby nonet");
    }
    if (mTeamScreenPending) {
        BuildLan2Screen();
        CMenuLobbyingIF::Instance().Install(this);
    }
    const uint16_t enter = gInputMgr.GetAction(kEnterAction);
    if (CInputMgr::IsPressed(enter))
        SendChatEntry();
    if (mChatPending)
        FlushChat();
    mChatLinesThisFrame = 0;
}

bool CMenuLobbyingGameMode::Exit() {
    CMenuLobbyingIF::Instance().Uninstall(this);
    g_NetMgr.SetListener(nullptr);
    gGUIMgr.DestroyAllWindows();
    HideAllOverlays();
    return true;
}

void CMenuLobbyingGameMode::ShowPleaseWait() {
    ClearGamesList();
    lobby::AddListItem(lobby::List(kGamesList), GetText("LAN_PLEASEWAIT"), 0);
}

void CMenuLobbyingGameMode::ClearGamesList() {
    if (CEGUI::Listbox* list = lobby::List(kGamesList))
        list->resetList();
}

bool CMenuLobbyingGameMode::SelectComboItemById(int id, const char* combobox) {
    CEGUI::Combobox* combo = lobby::Combo(combobox);
    if (!combo || combo->getItemCount() == 0)
        return false;
    for (size_t i = 0; i < combo->getItemCount(); ++i) {
        CEGUI::ListboxItem* item = combo->getListboxItemFromIndex(i);
        if (item && static_cast<int>(item->getID()) == id) {
            combo->clearAllSelections();
            combo->setItemSelectState(item, true);
            combo->setText(item->getText());
            return true;
        }
    }
    return false;
}

void CMenuLobbyingGameMode::ShowFoundGames(CNetGameDescList* games) {
    lobby::StartBlink("BtnRefresh");
    ClearGamesList();
    CEGUI::Listbox* list = lobby::List(kGamesList);
    int count = 0;
    for (CNetGameDesc* game = games ? games->GetHead() : nullptr; game; game = CNetGameDescList::Next(game)) {
        const uint32_t a = game->mAddress;
        NetTrace(" Found Game: host=%s ip=%u.%u.%u.%u Port=%u", game->mName, (a >> 24) & 0xFFu, (a >> 16) & 0xFFu,
                 (a >> 8) & 0xFFu, a & 0xFFu, unsigned(game->mPort));
        char line[128];
        PlatFormat(line, sizeof(line), "%s  (%u.%u.%u.%u:%u) (%u/%u)", game->mName, (a >> 24) & 0xFFu,
                   (a >> 16) & 0xFFu, (a >> 8) & 0xFFu, a & 0xFFu, unsigned(game->mPort), unsigned(game->mPlayerCount),
                   unsigned(game->mMaxPlayers));
        lobby::AddListItem(list, line, 0, game);
        ++count;
    }
    if (count == 0)
        lobby::AddListItem(list, GetText("NOGAMEFOUND"), 0);
    TestReport("lobby games %d", count);
}

void CMenuLobbyingGameMode::ShowConnectionFailed() {
    ClearGamesList();
    lobby::AddListItem(lobby::List(kGamesList), GetText("CNX_FAILED"), 0);
    lobby::SetText(kGameJoinName, GetText("CNX_FAILED"));
    TestReport("lobby joinfail");
}

bool CMenuLobbyingGameMode::OnBtnRefresh(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (g_NetMgr.StartEnumeration()) {
        lobby::StopBlink("BtnRefresh");
        ShowPleaseWait();
        lobby::SetText(kGameJoinName, GetText("NO_GAME_SEL"));
    }
    return true;
}

bool CMenuLobbyingGameMode::OnBtnCreate(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    CNetGameDesc desc(0, 0);
    desc.mPlayerCount = 0;
    desc.mMaxPlayers = CNetMgr::SLOT_COUNT;
    const std::string name = g_NetMgr.GetPort() == g_NetMgr.GetBasePort() ? LocalName() : kSecondHostName;
    NetCopyName(desc.mName, name.c_str());
    if (!g_NetMgr.HostGame(desc)) {
        // Nobody could find the game: say so instead of waiting in it.
        ClearGamesList();
        lobby::AddListItem(lobby::List(kGamesList), GetText("CNX_FAILED"), 0);
        lobby::SetText(kGameJoinName, GetText("CNX_FAILED"));
        TestReport("lobby hostfail");
        return true;
    }
    g_NetMgr.SetListener(nullptr);
    mTeamScreenPending = 1;
    return true;
}

bool CMenuLobbyingGameMode::OnBtnJoin(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    CEGUI::Listbox* list = lobby::List(kGamesList);
    CEGUI::ListboxItem* item = list ? list->getFirstSelectedItem() : nullptr;
    if (!item || !item->getUserData())
        return true;
    // The record lives in the manager's found-games list, which the join
    // leaves alone; copied all the same, as the list is emptied below.
    CNetGameDesc game;
    game.CopyFrom(*static_cast<CNetGameDesc*>(item->getUserData()));
    ClearGamesList();
    lobby::AddListItem(list, GetText("CNX_IN_PROGRESS"), 0);
    lobby::SetText(kGameJoinName, GetText("CNX_IN_PROGRESS"));
    g_NetMgr.JoinGame(game.mAddress, game.mPort, LocalName().c_str());
    return true;
}

bool CMenuLobbyingGameMode::OnBtnBack(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    g_NetMgr.CloseSession();
    Finish(GAME_MODE_MAIN_MENU);
    return true;
}

bool CMenuLobbyingGameMode::OnBtnValid(const CEGUI::EventArgs&) { return true; }

bool CMenuLobbyingGameMode::OnGamesListSelection(const CEGUI::EventArgs&) {
    CEGUI::Listbox* list = lobby::List(kGamesList);
    CEGUI::ListboxItem* item = list ? list->getFirstSelectedItem() : nullptr;
    if (item)
        lobby::SetPlainText(kGameJoinName, item->getText().c_str());
    return true;
}
