#include "CNetClient.h"

#include "CNetMgr.h"
#include "NetMessages.h"

#include <CObjnet.h>
#include <HalNet.h>
#include <HalTimer.h>

#include <cstring>

CNetClient g_NetClient;

CNetClient::CNetClient() {
    mReceiveBuffer = new unsigned char[RECEIVE_BUFFER_SIZE];
    std::memset(mReceiveBuffer, 0, RECEIVE_BUFFER_SIZE);
}

CNetClient::~CNetClient() {
    delete[] mReceiveBuffer;
    mReceiveBuffer = nullptr;
}

bool CNetClient::Activate(int socket, uint32_t address, const char* name) {
    if (mActive) {
        NetTrace("CNetClient(%d)::Activate() => FAILED client already active", mId);
        return false;
    }
    NetCopyName(mName, name);
    mSocket = socket;
    mActive = 1;
    mAddress = address;
    mLastReceiveTick = mManager ? mManager->Now() : HalGetTimeMs();
    mActivatedTick = mLastReceiveTick;
    mSendProgressTick = mLastReceiveTick;
    mLoggedIn = 0;
    mLobbyBudget = CNetMgr::LOBBY_BUDGET_BYTES;
    mLobbyBudgetTick = mLastReceiveTick;
    mLobbyDropLogTick = 0;
    mPending.clear();
    mPendingSent = 0;
    NetTrace("CNetClient(%d)::Activate(name=%s) => OK ", mId, mName);
    mExpectedFrameLength = 0;
    mBytesReceived = 0;
    mTeam = -1;
    return true;
}

void CNetClient::Clear() {
    mActive = 0;
    SocketClose(mSocket);
    mSocket = -1;
    mLastReceiveTick = 0;
    mAddress = 0;
    // A slot taken again must not resume in the middle of an old frame.
    mExpectedFrameLength = 0;
    mBytesReceived = 0;
    mLoggedIn = 0;
    std::vector<unsigned char>().swap(mPending);
    mPendingSent = 0;
}

void CNetClient::Desactivate() {
    NetTrace("CNetClient(%d)::Desactivate() => OK client", mId);
    const bool wasPlayer = mActive && mLoggedIn;
    Clear();
    if (mManager)
        mManager->OnSlotDropped(mId, wasPlayer);
}

void CNetClient::Serialize(CObjnet& record) const {
    record.StartSignature(NETSIG_CNETCLIENT_RECORD);
    record.WriteString(mName);
    record.WriteInt(mId);
    record.WriteInt(mTeam);
    record.End();
}

bool CNetClient::ReadRecord(CObjnet& record, NetClientRecord& out) {
    if (record.BeginRead(OBJECT_CNETCLIENT_RECORD) != 0)
        return false;
    NetClientRecord r;
    if (!NetReadName(record, r.name))
        return false;
    r.id = record.ReadInt();
    r.team = record.ReadInt();
    // A team is A (0), B (1) or none (-1); any other value is a lie.
    if (record.IsFailed() || r.team < -1 || r.team > 1)
        return false;
    out = r;
    return true;
}

bool CNetClient::Unserialize(CObjnet& record) {
    NetClientRecord r;
    if (!ReadRecord(record, r)) {
        if (record.GetTypeId() != OBJECT_CNETCLIENT_RECORD)
            NetTrace("CNetClient(%d)::Unserialize() => FAILED, unknown object type", mId);
        else
            NetTrace("CNetClient(%d)::Unserialize() => FAILED, malformed record", mId);
        return false;
    }
    std::memcpy(mName, r.name, sizeof(mName));
    mTeam = r.team;
    return true;
}

bool NetReadName(CObjnet& message, char (&name)[CNetClient::NAME_SIZE]) {
    // One byte more than the field holds: a copy that fills it tells a name
    // that is too long.
    char text[CNetClient::NAME_SIZE + 1];
    const int count = message.ReadStringInto(text, int(sizeof(text)));
    if (message.IsFailed() || count > CNetClient::NAME_SIZE - 1)
        return false;
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, text, size_t(count));
    return true;
}

void NetCopyName(char (&name)[CNetClient::NAME_SIZE], const char* text) {
    std::memset(name, 0, sizeof(name));
    if (!text)
        return;
    size_t length = 0;
    while (length < sizeof(name) - 1 && text[length])
        ++length;
    std::memcpy(name, text, length);
}
