// The lobby's shared records on the network, the host's start checks and the
// start of the LAN match on every machine.
#include "CMenuLobbyingGameMode.h"

#include "LobbyMatchParams.h"
#include "LobbyWidgets.h"

#include <CEnvironment.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <CSceneMgr.h>
#include <ControlerTable.h>
#include <HalNet.h>
#include <Platform.h>
#include <TestReport.h>


namespace {

const char kSection[] = "QUICKMATCHPARAMS";
const int kLanControlerBase = 7;

constexpr uint32_t kTeamInfosId = NetSignatureId("CTeamInfosPacketV1");
constexpr uint32_t kGameInfosId = NetSignatureId("CGameInfosPacketV2");

bool InSession() { return g_NetMgr.GetState() == CNetMgr::e_connected; }

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

void CMenuLobbyingGameMode::ApplyCustomObject(CObjnet& object) {
    switch (object.GetTypeId()) {
    case kTeamInfosId: {
        CTeamInfosPacketV1 record;
        if (!record.Read(object)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => team record cut short; ignored");
            return;
        }
        if (record.mTeamIndex == 0 || record.mTeamIndex == 1)
            mTeamInfos[record.mTeamIndex] = record;
        ApplyTeamInfos();
        RefreshPlayersAndTeams();
        return;
    }
    case kGameInfosId: {
        // Only the host chooses the settings.
        if (g_NetMgr.IsHost())
            return;
        CGameInfosPacketV2 settings;
        if (!settings.Read(object)) {
            PlatLog("CMenuLobbyingGameMode::ApplyCustomObject() => game settings cut short; ignored");
            return;
        }
        mGameInfos = settings;
        ApplyGameSettings();
        ApplyTeamInfos();
        RefreshPlayersAndTeams();
        return;
    }
    default:
        return;
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
    for (int i = 0; i < LobbyStartInput::kSlots; ++i) {
        const CNetClient& slot = g_NetMgr.GetSlot(i);
        input.slots[i].active = slot.mActive != 0;
        input.slots[i].name = slot.mName;
        input.slots[i].team = slot.mTeam;
    }
    input.teams[0] = mTeamInfos[0];
    input.teams[1] = mTeamInfos[1];
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
    lobby::Show("FrameLAN", false);
    g_NetMgr.mClosed = 1;
    mStarting = true;
    NetTrace("CMenuLobbyingGameMode::StartMatch() => LAN match, own index %d", own);
    TestReport("lobby start %d", own);
    Finish(GAME_MODE_QUICK_MATCH);
    return true;
}
