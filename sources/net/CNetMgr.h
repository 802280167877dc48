// The LAN network manager: one UDP socket to find games, one TCP listener,
// six peer slots in a star around a host, CObjnet messages framed as a 4-byte
// big-endian length and the message bytes. Nothing runs on a thread of its
// own: the main loop calls Manage once a frame and every socket test is a
// zero time-out select().
//
// Ports and the enumeration target are settable so that tests can run
// several managers on 127.0.0.1; the game keeps the defaults (4555, falling
// back to 4556, and the broadcast address).
#pragma once

#include "CNetClient.h"
#include "CNetGameDesc.h"
#include "CNetMgrInterface.h"
#include "NetMessages.h"

#include <CObjnet.h>

#include <cstdint>

// What the game core does with received throw messages. Each returns false
// when the message names a controller this machine does not know: the
// message is then dropped and not relayed. An entry left unset drops its
// messages the same way (no match is being played).
struct CNetMgrGameServices {
    // Store the values in the controller entry of that controller id and set
    // its received flag.
    bool (*shootParams)(int32_t controller, const NetShootParams& values) = nullptr;
    bool (*shootOptions)(int32_t controller, const NetShootOptions& values) = nullptr;
    bool (*launchSet)(int32_t controller, const NetLaunchSet& values) = nullptr;
    // Read the ball-position body from the message (positioned on it) and set
    // the controller entry's positions-received flag. False also for a body
    // that does not read whole.
    bool (*ballsPositions)(int32_t controller, CObjnet& body) = nullptr;
};

class CNetMgr {
public:
    static constexpr uint16_t DEFAULT_PORT = 4555;
    static constexpr int SLOT_COUNT = 6;
    static constexpr int LISTEN_BACKLOG = 10;
    static constexpr int BUFFER_SIZE = 32767;
    static constexpr uint32_t KEEPALIVE_PERIOD_MS = 20000;
    static constexpr uint32_t TIMEOUT_MS = 60000;
    static constexpr uint32_t ENUMERATION_WINDOW_MS = 2500;
    static constexpr int CHAT_TEXT_MAX = 255;
    static constexpr uint32_t BROADCAST_ADDRESS = 0xFFFFFFFFu;
    // A connection that has not logged in by then is dropped, so that idle
    // connections cannot hold every slot.
    static constexpr uint32_t LOGIN_TIMEOUT_MS = 10000;
    // JoinGame gives up on a host that does not answer the connect.
    static constexpr uint32_t CONNECT_TIMEOUT_MS = 3000;
    // A peer that leaves this much unsent, or takes nothing for this long
    // while something waits, cannot keep up and is dropped.
    static constexpr size_t SEND_QUEUE_LIMIT = 512 * 1024;
    static constexpr uint32_t SEND_STALL_MS = 15000;
    // Socket reads per peer per frame: every waiting message is read, but one
    // peer's flood cannot hold the frame.
    static constexpr int READS_PER_FRAME = 256;
    // Datagrams read per frame: enough for every answer to a games-list
    // request, while a flood from outside any session cannot hold the frame.
    static constexpr int DATAGRAMS_PER_FRAME = 64;
    // Connections taken from the listen queue per frame.
    static constexpr int ACCEPTS_PER_FRAME = 8;
    // Found games kept, one per host address and port; within one look a
    // host's first answer stands (a later datagram from its address renames
    // nothing). A full list makes room only for a host that has answered more
    // of this machine's looks than the entry it replaces, so that answers
    // from addresses never heard before cannot push out a host the player
    // has seen answer.
    static constexpr int FOUND_GAMES_MAX = 32;
    // Hosts remembered between looks, with how many looks each answered.
    static constexpr int HEARD_HOSTS_MAX = 64;
    // Lobby traffic one peer may send: a burst, then a steady rate; more is
    // dropped, not passed on. A chat line costs its size plus a fixed cost
    // (long lines are what every screen pays for), a lobby or player record
    // a fixed cost of its own.
    static constexpr uint32_t LOBBY_BUDGET_BYTES = 8192;
    static constexpr uint32_t LOBBY_BYTES_PER_SECOND = 2048;
    static constexpr uint32_t LOBBY_MESSAGE_COST = 32;
    static constexpr uint32_t LOBBY_RECORD_COST = 128;
    // The controller id of the LAN player in slot k is k + this.
    static constexpr int32_t LAN_CONTROLLER_BASE = 7;

    enum State : int32_t {
        e_not_initialized = -1,
        active_not_connected = 0,
        e_connected = 1,
        e_enumaration_in_progress = 2,
        e_enumaration_complete = 3,
    };

    // Socket library started; six slots (ids 0..5) on this manager; message
    // objects attached to their fixed buffers; state -1, port 4555, no
    // sockets, closed flag 1, empty found-games list.
    CNetMgr();
    // Frees the slots, messages and found games. Sockets are closed by
    // Shutdown (the application's shutdown), not here.
    virtual ~CNetMgr();
    CNetMgr(const CNetMgr&) = delete;
    CNetMgr& operator=(const CNetMgr&) = delete;

    // Opens UDP on the base port, or base + 1 when the base port is taken,
    // and TCP on the same port. False (logged, state stays -1) when neither
    // UDP port binds or the TCP listen fails.
    bool Init();
    // Closes any session and both sockets; state -1.
    void Shutdown();
    // Once a frame: drains UDP, and in a session polls the peers, accepts,
    // times out silent peers and sends keep-alives; closes an enumeration
    // window that has run out.
    void Manage();

    // Becomes the host of the described game (always true).
    bool HostGame(const CNetGameDesc& desc);
    // Connects to a host (address with the first octet in the high byte) and
    // asks to log in under the name (cut to 31 characters). False, and the
    // listener's OnConnectionFailed, when the connect fails.
    bool JoinGame(uint32_t address, uint16_t port, const char* playerName);
    // Leaves any session at once; peers are not told.
    void CloseSession();
    // Broadcasts a game request and collects answers for 2.5 s. Only from
    // state 0 or 3.
    bool StartEnumeration();

    // Client: to the host. Host: to every client. Only in a session.
    bool TCPSendAction(const CObjnet& message);
    // Host only: to that one client.
    bool TCPSendActionTo(const CNetClient& slot, const CObjnet& message);
    // Host only: to every client but the given one.
    bool TCPSendActionToOthers(const CNetClient& from, const CObjnet& message);
    bool TCPSendChatMessage(const char* text);
    // The object must not be the outgoing message (the lobby builds its
    // packets in the nested message).
    bool TCPSendCustomObject(const CObjnet& object);
    bool UDPSendTo(uint32_t address, uint16_t port, const CObjnet& message);

    // Players: active slots that have logged in, the host's own included.
    int GetPlayerCount() const;
    // Active slots, connections that have not logged in yet included.
    int GetConnectionCount() const;

    // Signals counted and not yet taken: the host's, every machine's.
    int32_t GetHostSignalQueue() const { return mHostSignalQueue; }
    int32_t GetClientSignalQueue() const { return mClientSignalQueue; }

    // ---- the steps of a LAN match ----------------------------------------------
    // The machines of a match meet at every step (the toss, the end of each
    // throw): each signals the step once, and the step is passed when every
    // machine still playing has signalled it. Signals count only between
    // BeginMatch and EndMatch, only from the machines playing at the start,
    // and never more than one step ahead of this machine's own.
    // The lobby's start: every count back to 0, the playing machines fixed.
    void BeginMatch();
    void EndMatch();
    bool InMatch() const { return mInMatch; }
    // This machine's signal of its next step, to the peers and counted.
    void SendNextStepSignal();
    // True, and the step passed, once every machine still playing has
    // signalled this machine's next step.
    bool TakeNextStep();
    // The steps this machine has passed: the throw it is at (1 for the first).
    uint32_t GetStepsPassed() const { return mStepsPassed; }
    // The steps a machine has signalled (this machine's own included): the
    // throw its messages received now belong to.
    uint32_t GetStepsSignalled(int slot) const;
    // Client: takes the host's signal of the end of a throw; false when none waits.
    bool TakeHostSignal();
    // How many steps a signal may run ahead of this machine's own.
    static constexpr uint32_t STEPS_AHEAD_MAX = 1;

    // ---- dispatchers (the frame reader and the UDP drain call them) ------------
    // One complete TCP message from a slot, rewound to its first field. A
    // malformed message of a known kind drops the slot; an unknown kind is
    // ignored.
    void _OnTCPCObjnetReceived(CNetClient& slot, CObjnet& message);
    // The datagram in the receive message, rewound.
    void _OnUDPCObjnetReceived(uint32_t address, uint16_t port);
    // Copies a datagram (cut to the buffer) into the receive message and
    // dispatches it.
    void HandleDatagram(const void* data, int length, uint32_t address, uint16_t port);

    // ---- settings for tests and second instances ------------------------------
    void SetBasePort(uint16_t port) { mBasePort = port; }
    uint16_t GetBasePort() const { return mBasePort; }
    // Where StartEnumeration sends its request (default 255.255.255.255).
    void SetBroadcastAddress(uint32_t address) { mBroadcastAddress = address; }
    uint32_t GetBroadcastAddress() const { return mBroadcastAddress; }
    void SetConnectTimeout(uint32_t ms) { mConnectTimeoutMs = ms; }
    // The clock of keep-alives, time-outs and the enumeration window (null:
    // the game's clock). Peer silence is a matter of real time: a run whose
    // game clock is virtual measures it on the wall clock.
    void SetClock(uint32_t (*clock)()) { mClock = clock; }
    uint32_t Now() const;

    // ---- accessors -------------------------------------------------------------
    int32_t GetState() const { return mState; }
    bool IsConnected() const { return mState == e_connected; }
    bool IsHost() const { return mHost != 0; }
    uint16_t GetPort() const { return mPort; }
    int GetOwnIndex() const { return mOwnIndex; }
    CNetClient& GetSlot(int index) { return *mSlots[index]; }
    const CNetClient& GetSlot(int index) const { return *mSlots[index]; }
    CNetGameDescList& GetFoundGames() { return mFoundGames; }
    CNetGameDesc& GetOwnDesc() { return mOwnDesc; }
    CObjnet& GetOutgoingMessage() { return mOutgoing; }
    CObjnet& GetNestedMessage() { return mNested; }
    CNetMgrInterface* GetListener() const { return mListener; }
    void SetListener(CNetMgrInterface* listener) { mListener = listener; }
    CNetMgrGameServices& GameServices() { return mGameServices; }

    // Fields, in the order the rest of the game knows them. Lobby and match
    // code read and write several directly (listener, state, host flag, own
    // index, closed flag, slot names and teams); the signal queues are the
    // match steps' counts, for the log.
    int32_t mHostSignalQueue = 0;
    int32_t mClientSignalQueue = 0;
    int32_t mState = e_not_initialized;
    int m_udp_socket = -1;
    int mListenSocket = -1;
    uint16_t mPort = DEFAULT_PORT;
    CNetClient* mSlots[SLOT_COUNT] = {nullptr};
    CObjnet mReceive;
    CObjnet mOutgoing;
    CObjnet mNested;
    uint32_t mEnumerationStart = 0;
    CNetGameDescList mFoundGames{true};
    CNetMgrInterface* mListener = nullptr;
    uint8_t mHost = 0;
    CNetGameDesc mOwnDesc;
    int32_t mOwnIndex = 0;
    uint32_t mKeepAliveStamp = 0;
    uint8_t mClosed = 1;
    // Connections accepted so far (their order).
    uint32_t mAcceptSeq = 0;

private:
    friend class CNetClient;

    // The slot is dropped (by CNetClient::Desactivate); on a client losing
    // slot 0 ends the session.
    // Nobody hears of a connection that never logged in going.
    void OnSlotDropped(int index, bool wasPlayer);
    // Deactivates every active slot without telling anyone; state 0.
    void ResetSession();
    // Reads what waits for the slot, up to the per-frame bound.
    void PollSlot(CNetClient& slot, uint32_t now);
    // Reads what one readable poll brings for the slot.
    void _OnTCPIncomingClientDatas(CNetClient& slot, uint32_t now);
    void AcceptPending();
    void CheckTimeOuts(uint32_t now);
    // Header and body queued to one slot and as much sent as the socket
    // takes now; a failed send or a peer that cannot keep up drops the slot.
    void SendFramed(CNetClient& slot, const CObjnet& message);
    // Sends what waits for the slot without blocking; false when it dropped.
    bool FlushSlot(CNetClient& slot, uint32_t now);
    // Host: tells the remaining clients about every client dropped.
    void SendLeaveNotices();
    // Drops a peer whose message could not be understood.
    void DropMalformed(CNetClient& slot, const char* what);
    // Host: logs a message a peer sent about something it does not own; the
    // message is neither applied nor passed on.
    void RefuseNotOwned(const CNetClient& slot, const char* what, int64_t named);
    // Host: takes the cost off the peer's lobby budget; false (and the
    // message is dropped) when the budget is spent.
    bool TakeLobbyBudget(CNetClient& slot, uint32_t cost, uint32_t now);
    // Frees the slot of the connection that has waited longest without
    // logging in; false when there is none.
    bool EvictIdleConnection(int maxPlayers);
    // One games-list answer: a new entry, or nothing when that host answered
    // this look already.
    void RecordFoundGame(uint32_t address, uint16_t port, CObjnet& record);
    // How many looks the host has answered, counting this one.
    uint32_t LooksAnswered(uint32_t address, uint16_t port) const;
    // Remembers a listed host with that count for later looks.
    void RememberHeardHost(uint32_t address, uint16_t port, uint32_t looks);
    const char* RoleName() const { return mHost ? "Host" : "Client"; }
    // Host: whether a login may take the name (a connection logs in once,
    // with no control characters; a name already taken is numbered).
    bool AcceptLoginName(CNetClient& slot, char (&name)[CNetClient::NAME_SIZE]);
    // Host: a player's record as the host holds it, to every other client.
    void RelayPlayerRecord(CNetClient& slot);
    // Host: the record each other player's lobby sends in answer to a
    // newcomer's announcement is paid for by the host, not by its rate.
    void PrepayAnnouncementAnswers(const CNetClient& newcomer);

    // The kinds, one handler each.
    void OnLoginRequest(CNetClient& slot, CObjnet& message);
    void OnLoginAnswer(CNetClient& slot, CObjnet& message);
    void OnNewPlayer(CNetClient& slot, CObjnet& message);
    void OnLeavePlayer(CNetClient& slot, CObjnet& message);
    void OnChat(CNetClient& slot, CObjnet& message);
    void OnCustomObject(CNetClient& slot, CObjnet& message);
    void OnUpdatePlayer(CNetClient& slot, CObjnet& message);
    void OnHostStartGame(CNetClient& slot, CObjnet& message);
    void OnThrowMessage(CNetClient& slot, CObjnet& message, uint32_t typeId);

    struct HeardHost {
        uint32_t address = 0;
        uint16_t port = 0;
        uint32_t looks = 0;       // looks it answered
        uint32_t lastLook = 0;    // the look it last answered
    };
    HeardHost mHeardHosts[HEARD_HOSTS_MAX];
    int mHeardHostCount = 0;
    uint32_t mLook = 0;   // games-list looks started so far

    // A next-step signal from a peer: counted when it may be, else refused.
    void OnNextStepSignal(CNetClient& slot, CObjnet& message, bool fromHost);
    // mClientSignalQueue again: signals counted and not yet passed.
    void CountPendingSignals();

    bool mInMatch = false;
    uint32_t mMatchPlayers = 0;                   // bit i: slot i played at the start
    uint32_t mStepsSignalled[SLOT_COUNT] = {0};   // own slot: the signals sent
    uint32_t mStepsPassed = 0;
    uint32_t mHostSignalsTaken = 0, mHostSignalsReceived = 0;

    uint32_t mConnectTimeoutMs = CONNECT_TIMEOUT_MS;
    uint32_t (*mClock)() = nullptr;
    uint32_t mLeaveNotices = 0;   // host: bit i, client i was dropped and not yet announced
    uint16_t mBasePort = DEFAULT_PORT;
    uint32_t mBroadcastAddress = BROADCAST_ADDRESS;
    CNetMgrGameServices mGameServices;
    unsigned char* mReceiveBuffer = nullptr;
    unsigned char* mOutgoingBuffer = nullptr;
    unsigned char* mNestedBuffer = nullptr;
};

// Reads a nested object field of a message in place (no copy): the nested
// object works on the message's bytes and is rewound. False when the field
// is empty or cut short (the message is then failed).
bool NetReadNestedObject(CObjnet& message, CObjnet& nested);

// The game's one network manager.
extern CNetMgr g_NetMgr;
