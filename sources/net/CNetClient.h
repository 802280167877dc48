// One peer slot of the LAN layer (six of them live in the network manager),
// its record form on the wire, and the one global client object whose
// receive buffer is set up before the entry point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CNetMgr;
class CObjnet;

// A slot as a "CNetClient::CNetClient()" record: name, id, team.
struct NetClientRecord {
    char name[32] = {0};
    int32_t id = 0;
    int32_t team = -1;
};

class CNetClient {
public:
    static constexpr uint32_t RECEIVE_BUFFER_SIZE = 32767;   // not 32,768
    static constexpr int NAME_SIZE = 32;                      // 31 characters and a NUL

    // Active 0, address 0, socket -1, tick 0, name empty, frame counters 0,
    // team -1; allocates the receive buffer.
    CNetClient();
    // Frees the receive buffer.
    virtual ~CNetClient();
    CNetClient(const CNetClient&) = delete;
    CNetClient& operator=(const CNetClient&) = delete;

    unsigned char* GetReceiveBuffer() { return mReceiveBuffer; }
    const unsigned char* GetReceiveBuffer() const { return mReceiveBuffer; }
    uint32_t GetReceiveBufferSize() const { return RECEIVE_BUFFER_SIZE; }

    // Takes the slot: name (cut to 31 characters), socket (-1 for none),
    // address, last-receive tick = now, frame counters 0, team -1. An active
    // slot refuses (logged) and changes nothing.
    bool Activate(int socket, uint32_t address, const char* name);
    // Drops the slot whether or not it is active: socket closed, tick and
    // address 0. With an owning manager it also tells the listener, and on a
    // client the loss of slot 0 (the host) ends the session.
    void Desactivate();
    // The same without any listener call or session change (session close).
    void Clear();

    // Appends the slot's record as one whole object (signature, name, id,
    // team) to a message that has been started with nothing in it.
    void Serialize(CObjnet& record) const;
    // Reads a record object (positioned at its start) into this slot's name
    // and team. A wrong signature or a malformed record (name longer than 31
    // characters, fields cut short) is logged and leaves the slot unchanged.
    // The slot's id is never taken from the wire: ids are fixed by the manager.
    bool Unserialize(CObjnet& record);
    // Reads a record object without touching any slot; false as above.
    static bool ReadRecord(CObjnet& record, NetClientRecord& out);

    uint8_t mActive = 0;
    int32_t mId = 0;
    uint32_t mAddress = 0;
    int mSocket = -1;
    uint32_t mLastReceiveTick = 0;
    char mName[NAME_SIZE] = {0};
    uint32_t mExpectedFrameLength = 0;
    uint32_t mBytesReceived = 0;
    int32_t mTeam = -1;

    // The peer has logged in (host side), or is a player the host announced
    // (client side). Until then a connection is no player: it is held only
    // for a short while from mActivatedTick, gives way to a newcomer, and
    // nothing it sends but its login is taken.
    uint8_t mLoggedIn = 0;
    uint32_t mActivatedTick = 0;
    // Host side: the connection's place in the order of accepts.
    uint32_t mAcceptSeq = 0;
    // Host side: what the peer may still send of lobby traffic (chat, lobby
    // records, player records), in bytes; refilled with time.
    uint32_t mLobbyBudget = 0;
    uint32_t mLobbyBudgetTick = 0;
    uint32_t mLobbyDropLogTick = 0;

    // A player of the session: an active slot that has logged in.
    bool IsPlayer() const { return mActive && mLoggedIn; }
    // Framed bytes the socket has not taken yet (sends never block), and the
    // tick at which the socket last took some.
    std::vector<unsigned char> mPending;
    size_t mPendingSent = 0;
    uint32_t mSendProgressTick = 0;

    // The manager that owns the slot (null for a free-standing client).
    CNetMgr* mManager = nullptr;

private:
    unsigned char* mReceiveBuffer = nullptr;
};

// Reads a string field into a 32-byte name: false (and the name left as it
// was) when the field is cut short or holds more than 31 characters.
bool NetReadName(CObjnet& message, char (&name)[CNetClient::NAME_SIZE]);
// Copies a local name into a 32-byte field, zero-filled, cut to 31 characters.
void NetCopyName(char (&name)[CNetClient::NAME_SIZE], const char* text);

// The network layer's one global client object.
extern CNetClient g_NetClient;
