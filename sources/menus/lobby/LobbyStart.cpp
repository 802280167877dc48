// The lobby's shared records on the network, the host's start checks and the
// start of the LAN match on every machine.
#include "CMenuLobbyingGameMode.h"

#include "LobbyMatchParams.h"
#include "LobbyStartCheck.h"
#include "LobbyWidgets.h"

#include <CEnvironment.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <CSceneMgr.h>
#include <ControlerTable.h>
#include <GameDifficulty.h>
#include <HalNet.h>
#include <Platform.h>
#include <PlayerDB.h>
#include <TeamDB.h>

#include <algorithm>
#include <TestReport.h>


namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const int kLanControlerBase = 7;
// The venue list's last item id.
const int kLastLocation = 3;

constexpr uint32_t kTeamInfosId = NetSignatureId("CTeamInfosPacketV1");
constexpr uint32_t kGameInfosId = NetSignatureId("CGameInfosPacketV2");

bool InSession() { return g_NetMgr.GetState() == CNetMgr::e_connected; }

// Values the screen's lists can hold; a record with any other is a lie.
bool GameSettingsValues(const CGameInfosPacketV2& s) {
    return s.mPlayersPerTeam >= -1 && s.mPlayersPerTeam <= 3 && s.mPlayersPerTeam != 0 && s.mRegional >= -1 &&
           s.mRegional <= 1 && s.mLocation >= -1 && s.mLocation <= kLastLocation;
}

// Values the screen's lists can hold; a record with any other is a lie. An
// actor is a position in the team's own player list: with the settings'
// regional choice still open, in the list of either team the id names.
bool TeamRecordValues(const CTeamInfosPacketV1& r, int regional) {
    if ((r.mTeamIndex != 0 && r.mTeamIndex != 1) || r.mSide != r.mTeamIndex)
        return false;
    const int size = LobbyTeamSize(r.mTeamId, regional);
    if (r.mTeamId != -1 && size < 0)
        return false;
    for (int role = 0; role < 3; ++role)
        if (r.Actor(role) < -1 || r.Actor(role) >= std::max(size, 0))
            return false;
    return true;
}

}  // namespace

int LobbyTeamSize(int teamId, int regional) {
    if (teamId == -1)
        return -1;
    int size = -1;
    for (int kind = 0; kind < 2; ++kind) {
        if (regional == (kind == 0 ? 0 : 1))
            continue;   // the settings name the other kind
        Team* team = kind == 0 ? TeamDB::GetRegionalTeam(teamId) : TeamDB::GetNationalTeam(teamId);
        const PlayerList* players = team ? PlayerDB::GetTeamPlayers(team) : nullptr;
        if (team)
            size = std::max(size, players ? int(players->size()) : 0);
    }
    return size;
}

namespace {

int ReadInt(CEnvironment& env, const char* section, const char* name) {
    CEnvironmentVariable* v = env.Find(section, name);
    if (!v)
        return 0;
    if (v->GetType() == CEnvironmentVariable::TYPE_INT)
        return v->GetInt();
    if (v->GetType() == CEnvironmentVariable::TYPE_FLOAT)
        return int(v->GetFloat());
    return 0;
}

}  // namespace

void CMenuLobbyingGameMode::SendGameInfos() {
    if (!InSession())
        return;
    CObjnet& object = g_NetMgr.GetNestedMessage();
    mGameInfos.Write(object);
    g_NetMgr.TCPSendCustomObject(object);
}

void CMenuLobbyingGameMode::SendTeamInfos(int team) {
    if (!InSession() || (team != 0 && team != 1))
        return;
    CObjnet& object = g_NetMgr.GetNestedMessage();
    mTeamInfos[team].Write(object);
    g_NetMgr.TCPSendCustomObject(object);
}

bool CMenuLobbyingGameMode::ApplyCustomObject(int sender, CObjnet& object) {
    // The host passes each record it accepts to every client, its sender
    // included. A leader's own record coming back may be older than the one
    // it holds now (a country chosen, then a pointer, before the first came
    // back): taking it would undo the later choice.
    if (!g_NetMgr.IsHost() && sender == g_NetMgr.GetOwnIndex())
        return true;
    switch (object.GetTypeId()) {
    case kTeamInfosId: {
        CTeamInfosPacketV1 record;
        if (!record.Read(object)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => team record cut short; ignored");
            return false;
        }
        // The host shares both records as they stand, a team nobody chose
        // among them: such a record replaces nothing.
        if (record.mTeamIndex != 0 && record.mTeamIndex != 1)
            return false;
        if (!TeamRecordValues(record, mGameInfos.mRegional)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => team record from %d with values no list offers "
                    "(team %d, id %d, players %d/%d/%d); ignored",
                    sender, record.mTeamIndex, record.mTeamId, record.mPointer, record.mShooter, record.mMiddle);
            return false;
        }
        // The host speaks for both teams; a player only for the team it leads.
        if (sender != 0 && TeamLeader(record.mTeamIndex) != sender) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => team %d's record from %d, who does not lead it; "
                    "ignored",
                    record.mTeamIndex, sender);
            return false;
        }
        mTeamInfos[record.mTeamIndex] = record;
        ApplyTeamInfos();
        RefreshPlayersAndTeams();
        TestReport("lobby record %d team %d players %d %d %d", record.mTeamIndex, record.mTeamId, record.mPointer,
                   record.mShooter, record.mMiddle);
        return true;
    }
    case kGameInfosId: {
        // Only the host chooses the settings.
        if (g_NetMgr.IsHost() || sender != 0) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => game settings from %d; only the host sets them",
                    sender);
            return false;
        }
        CGameInfosPacketV2 settings;
        if (!settings.Read(object)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => game settings cut short; ignored");
            return false;
        }
        if (!GameSettingsValues(settings)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => game settings %d/%d/%d no list offers; ignored",
                    settings.mPlayersPerTeam, settings.mRegional, settings.mLocation);
            return false;
        }
        mGameInfos = settings;
        ApplyGameSettings();
        ApplyTeamInfos();
        RefreshPlayersAndTeams();
        return true;
    }
    default:
        return false;
    }
}

bool CMenuLobbyingGameMode::OnBtnStart(const CEGUI::EventArgs&) {
    if (g_NetMgr.IsHost())
        OnStartClicked();
    return true;
}

LobbyStartInput CMenuLobbyingGameMode::StartInput() const {
    LobbyStartInput input;
    input.playersPerTeamItem = lobby::ComboChoice("ComboBoxNbPlayers");
    input.regionalItem = lobby::ComboChoice("ComboBoxRegional");
    input.locationItem = lobby::ComboChoice("ComboBoxLocation");
    input.playersPerTeam = mGameInfos.mPlayersPerTeam;
    input.difficulty = g_SelectedDifficulty;
    for (int i = 0; i < LobbyStartInput::kSlots; ++i) {
        const CNetClient& slot = g_NetMgr.GetSlot(i);
        // A connection that has not logged in takes no part in the start.
        input.slots[i].active = slot.IsPlayer();
        input.slots[i].name = slot.mName;
        input.slots[i].team = slot.mTeam;
    }
    input.teams[0] = mTeamInfos[0];
    input.teams[1] = mTeamInfos[1];
    for (int side = 0; side < 2; ++side)
        input.teamSizes[side] = LobbyTeamSize(mTeamInfos[side].mTeamId, mGameInfos.mRegional);
    return input;
}

int CMenuLobbyingGameMode::ValidateTeams(CEnvironment& env) {
    return ValidateLobbyTeams(StartInput(), env, [this](const std::string& line) { SendChatText(line); });
}

void CMenuLobbyingGameMode::OnStartClicked() {
    if (!g_NetMgr.IsHost() || !InSession() || mStarting)
        return;
    if (!LobbyTeamsPeopled(StartInput(), [this](const std::string& line) { SendChatText(line); })) {
        TestReport("lobby refused empty");
        return;
    }
    CEnvironment params;
    const int check = ValidateTeams(params);
    if (check != 0) {
        TestReport("lobby refused %d", check);
        return;
    }
    CObjnet& message = g_NetMgr.GetOutgoingMessage();
    message.StartSignature(NETSIG_E_HOST_START_GAME);
    params.SerializeSection(&message, kSection);
    message.End();
    g_NetMgr.TCPSendAction(message);

    // The host starts from exactly the bytes the clients received.
    CObjnet packed;
    if (message.BeginReadSignature(NETSIG_E_HOST_START_GAME) != 0 || !NetReadNestedObject(message, packed)) {
        PlatLog("CMenuLobbyingGameMode::OnStartClicked() => the match parameters do not read back");
        return;
    }
    StartMatch(packed);
}

bool CMenuLobbyingGameMode::StartMatch(CObjnet& params) {
    if (mStarting)
        return false;
    // A peer may only hand over the match parameters, never overwrite the
    // user's settings or any other section.
    CEnvironment read;
    if (!ReadLobbyMatchParams(params, read)) {
        PlatLog("CMenuLobbyingGameMode::StartMatch() => the host's match parameters are refused: session closed");
        g_NetMgr.CloseSession();
        RefreshPlayersAndTeams();
        AppendChatLine(GetText("CNX_FAILED"));
        AppendChatLine(GetText("CNX_GO_BACK"));
        TestReport("lobby badstart");
        return false;
    }
    CEnvironment& global = gSceneMgr.GetEnvironment();
    ReadLobbyMatchParams(params, global);
    if (CEnvironmentVariable* quick = global.GetVariable("GAMEPARAMS", "QuickMatch", true))
        quick->SetInt(ReadInt(read, kSection, "QuickMatch"));

    const int own = g_NetMgr.GetOwnIndex();
    g_OwnControlerType = own + kLanControlerBase;
    // Every machine draws the same numbers from here on.
    KemSrand(0);
    // And plays at the host's difficulty, for this match only: the match
    // mode gives the player's own back, and the settings file keeps it.
    g_CurrentDifficulty = LobbyMatchDifficulty(read, g_SelectedDifficulty);
    lobby::Show("FrameLAN", false);
    g_NetMgr.mClosed = 1;
    g_NetMgr.BeginMatch();
    mStarting = true;
    NetTrace("CMenuLobbyingGameMode::StartMatch() => LAN match, own index %d, difficulty %d", own,
             int(g_CurrentDifficulty));
    TestReport("lobby start %d", own);
    Finish(GAME_MODE_QUICK_MATCH);
    return true;
}
