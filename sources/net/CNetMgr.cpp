#include "CNetMgr.h"

#include "NetPeerText.h"

#include <HalNet.h>
#include <HalTimer.h>
#include <Platform.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <initializer_list>

CNetMgr g_NetMgr;

namespace {

// True once more than limit ms have passed since the stamp. A stamp taken
// after `now` (a slot activated later in the same frame) counts as no time
// at all, never as an unsigned wrap of 49 days.
bool Elapsed(uint32_t since, uint32_t limit, uint32_t now) {
    const int32_t elapsed = int32_t(now - since);
    return elapsed > 0 && uint32_t(elapsed) > limit;
}

bool ValidSlotIndex(int64_t index) { return index >= 0 && index < CNetMgr::SLOT_COUNT; }

// Every value of a throw (metres, degrees, speeds, balance, spin) is far
// below this; NaN, infinities and huge numbers would end in the physics or
// the scene graph of every machine.
constexpr float kThrowValueLimit = 1.0e5f;
bool ThrowValuesSane(std::initializer_list<float> values) {
    for (float v : values)
        if (!std::isfinite(v) || std::fabs(v) > kThrowValueLimit)
            return false;
    return true;
}

// The peer's IPv4 address, first octet in the high byte; 0 when unknown.
uint32_t PeerAddress(int socket) {
    sockaddr_in addr;
    std::memset(&addr, 0, sizeof(addr));
    socklen_t len = sizeof(addr);
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || addr.sin_family != AF_INET)
        return 0;
    return ntohl(addr.sin_addr.s_addr);
}

// TCP connect that gives up after timeoutMs; the socket (blocking again) or -1.
int ConnectWithTimeout(uint32_t address, uint16_t port, uint32_t timeoutMs) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return -1;
    if (s >= FD_SETSIZE) {
        close(s);
        return -1;
    }
    const int flags = fcntl(s, F_GETFL, 0);
    fcntl(s, F_SETFL, flags | O_NONBLOCK);
    sockaddr_in addr;
    std::memset(&addr, 0, sizeof(addr));
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(address);
    addr.sin_port = htons(port);
    int rc = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    if (rc != 0 && errno == EINPROGRESS) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv;
        tv.tv_sec = long(timeoutMs / 1000);
        tv.tv_usec = long(timeoutMs % 1000) * 1000;
        do {
            rc = select(s + 1, nullptr, &set, nullptr, &tv);
        } while (rc < 0 && errno == EINTR);
        int error = 0;
        socklen_t len = sizeof(error);
        if (rc == 1 && getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
            rc = 0;
        else
            rc = -1;
    }
    if (rc != 0) {
        close(s);
        return -1;
    }
    fcntl(s, F_SETFL, flags);
    return s;
}

}  // namespace

uint32_t CNetMgr::Now() const { return mClock ? mClock() : HalGetTimeMs(); }

bool NetReadNestedObject(CObjnet& message, CObjnet& nested) {
    nested.Reset();
    if (message.IsFailed())
        return false;
    const int at = message.GetPosition();
    // ReadBufferInto checks the length word against what remains and steps
    // over the whole field; the nested object then works on those bytes.
    message.ReadBufferInto(nullptr, 0);
    if (message.IsFailed())
        return false;
    const uint32_t length = CObjnet::ReadU32At(message.GetData() + at);
    if (length == 0)
        return false;
    nested.AttachBuffer(message.GetData() + at + 4, int(length));
    return true;
}

// ============================================================================
// Life cycle
// ============================================================================

CNetMgr::CNetMgr() {
    NetStartup();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        mSlots[i] = new CNetClient();
        // Ids are what messages name peers by; they are fixed here already so
        // that a manager whose Init failed still tells its slots apart.
        mSlots[i]->mId = i;
        mSlots[i]->mManager = this;
    }
    mReceiveBuffer = new unsigned char[BUFFER_SIZE];
    mOutgoingBuffer = new unsigned char[BUFFER_SIZE];
    mNestedBuffer = new unsigned char[BUFFER_SIZE];
    std::memset(mReceiveBuffer, 0, BUFFER_SIZE);
    std::memset(mOutgoingBuffer, 0, BUFFER_SIZE);
    std::memset(mNestedBuffer, 0, BUFFER_SIZE);
    mReceive.AttachBuffer(mReceiveBuffer, BUFFER_SIZE);
    mOutgoing.AttachBuffer(mOutgoingBuffer, BUFFER_SIZE);
    mNested.AttachBuffer(mNestedBuffer, BUFFER_SIZE);
}

CNetMgr::~CNetMgr() {
    mReceive.Reset();
    mOutgoing.Reset();
    mNested.Reset();
    delete[] mReceiveBuffer;
    delete[] mOutgoingBuffer;
    delete[] mNestedBuffer;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        delete mSlots[i];
        mSlots[i] = nullptr;
    }
}

bool CNetMgr::Init() {
    // A second Init starts from closed sockets rather than leaking the first.
    if (m_udp_socket >= 0 || mListenSocket >= 0)
        Shutdown();

    mPort = mBasePort;
    m_udp_socket = ListenUDPPort(mPort);
    if (m_udp_socket < 0) {
        const uint16_t fallback = uint16_t(mBasePort + 1);
        NetTrace("CNetMgr::Init() => FAILED (UDP) ListenUDPPort(%u) trying %u", unsigned(mPort), unsigned(fallback));
        mPort = fallback;
        m_udp_socket = ListenUDPPort(mPort);
        if (m_udp_socket < 0) {
            NetTrace("CNetMgr::Init() => FAILED (UDP) ListenUDPPort(%u)", unsigned(mPort));
            PlatLog("CNetMgr::Init() => FAILED (UDP) ListenUDPPort(%u): no LAN play", unsigned(mPort));
            return false;
        }
    }
    SocketEnableBroadcast(m_udp_socket);

    mListenSocket = ListenPort(mPort, LISTEN_BACKLOG);
    if (mListenSocket < 0) {
        SocketClose(m_udp_socket);
        m_udp_socket = -1;
        NetTrace("CNetMgr::Init() => FAILED (TCP) ListenPortNumber(%u)", unsigned(mPort));
        PlatLog("CNetMgr::Init() => FAILED (TCP) ListenPortNumber(%u): no LAN play", unsigned(mPort));
        return false;
    }

    for (int i = 0; i < SLOT_COUNT; ++i)
        mSlots[i]->mId = i;
    CloseSession();
    return true;
}

void CNetMgr::Shutdown() {
    CloseSession();
    SocketClose(m_udp_socket);
    m_udp_socket = -1;
    SocketClose(mListenSocket);
    mListenSocket = -1;
    mState = e_not_initialized;
}

// ============================================================================
// Per frame
// ============================================================================

void CNetMgr::Manage() {
    const uint32_t now = Now();

    // Bounded: datagrams past the bound wait in the socket for the next
    // frame (or are dropped by the system when it is full).
    for (int datagrams = 0;
         datagrams < DATAGRAMS_PER_FRAME && m_udp_socket >= 0 && SocketCanReadTimeout(m_udp_socket, 0, 0) == 1;
         ++datagrams) {
        uint32_t address = 0;
        uint16_t port = 0;
        const int n = SocketRecvFrom(m_udp_socket, &address, &port, mReceiveBuffer, BUFFER_SIZE);
        if (n < 1)
            break;
        mReceive.AttachBuffer(mReceiveBuffer, n);
        _OnUDPCObjnetReceived(address, port);
    }

    if (mState == e_connected) {
        for (int i = 0; i < SLOT_COUNT && mState == e_connected; ++i) {
            CNetClient& slot = *mSlots[i];
            if (!slot.mActive || slot.mSocket < 0 || (i == 0 && mHost))
                continue;
            PollSlot(slot, now);
        }
        for (int i = 0; i < SLOT_COUNT && mState == e_connected; ++i)
            if (mSlots[i]->mActive && mSlots[i]->mSocket >= 0)
                FlushSlot(*mSlots[i], now);
        if (mState == e_connected)
            SendLeaveNotices();
        if (mState == e_connected)
            AcceptPending();
        if (mState == e_connected)
            CheckTimeOuts(now);
        if (mState == e_connected && Elapsed(mKeepAliveStamp, KEEPALIVE_PERIOD_MS, now)) {
            mKeepAliveStamp = now;
            mOutgoing.StartSignature(NETSIG_E_KEEPALIVE);
            mOutgoing.End();
            TCPSendAction(mOutgoing);
        }
    }

    if (mState == e_enumaration_in_progress && Elapsed(mEnumerationStart, ENUMERATION_WINDOW_MS, Now())) {
        mState = e_enumaration_complete;
        NetTrace("CNetMgr::Manage() STATE  e_enumaration_in_progress *-> e_enumaration_complete");
        if (mListener)
            mListener->OnEnumerationComplete(&mFoundGames);
    }
}

void CNetMgr::PollSlot(CNetClient& slot, uint32_t now) {
    // Everything waiting is read, up to a bound: a burst of small messages
    // drains in a frame, a flood cannot hold it.
    for (int reads = 0; reads < READS_PER_FRAME && slot.mActive && mState == e_connected; ++reads) {
        const int readable = SocketCanRead(slot.mSocket);
        if (readable < 0)
            slot.Desactivate();
        if (readable != 1)
            break;
        _OnTCPIncomingClientDatas(slot, now);
    }
}

void CNetMgr::_OnTCPIncomingClientDatas(CNetClient& slot, uint32_t now) {
    // Any readable poll is a sign of life, even one that ends the connection.
    slot.mLastReceiveTick = now;
    unsigned char* buffer = slot.GetReceiveBuffer();

    if (slot.mExpectedFrameLength == 0) {
        const int n = SocketRecv(slot.mSocket, buffer + slot.mBytesReceived, int(4 - slot.mBytesReceived));
        if (n <= 0) {
            slot.Desactivate();
            return;
        }
        slot.mBytesReceived += uint32_t(n);
        if (slot.mBytesReceived < 4)
            return;
        const uint32_t length = CObjnet::ReadU32At(buffer);
        slot.mBytesReceived = 0;
        if (length == 0) {
            NetTrace("CNetMgr::_OnTCPIncomingClientDatas(%u) => Error , data flow inconsistency(1)", unsigned(slot.mId));
            PlatLog("CNetMgr: client %d sent an empty frame; dropped", slot.mId);
            slot.Desactivate();
            return;
        }
        if (length > CNetClient::RECEIVE_BUFFER_SIZE) {
            // The frame cannot fit the slot's buffer: the stream is garbage.
            NetTrace("CNetMgr::_OnTCPIncomingClientDatas(%u) => Error , data flow inconsistency(2)", unsigned(slot.mId));
            PlatLog("CNetMgr: client %d announced a %u-byte frame (limit %u); dropped", slot.mId, length,
                    CNetClient::RECEIVE_BUFFER_SIZE);
            slot.Desactivate();
            return;
        }
        slot.mExpectedFrameLength = length;
        return;
    }

    const int n = SocketRecv(slot.mSocket, buffer + slot.mBytesReceived,
                             int(slot.mExpectedFrameLength - slot.mBytesReceived));
    if (n <= 0) {
        slot.Desactivate();
        return;
    }
    slot.mBytesReceived += uint32_t(n);
    if (slot.mBytesReceived < slot.mExpectedFrameLength)
        return;

    CObjnet message;
    message.AttachBuffer(buffer, int(slot.mExpectedFrameLength));
    // Cleared before the dispatch: handlers may drop or reuse the slot.
    slot.mExpectedFrameLength = 0;
    slot.mBytesReceived = 0;
    NetTrace("CNetMgr::_OnTCPCObjnetReceived(from=%u)", unsigned(slot.mId));
    _OnTCPCObjnetReceived(slot, message);
}

void CNetMgr::AcceptPending() {
    for (int accepts = 0; accepts < ACCEPTS_PER_FRAME && mState == e_connected; ++accepts) {
        if (mListenSocket < 0 || SocketCanRead(mListenSocket) != 1)
            return;
        const int socket = SocketAccept(mListenSocket);
        if (socket < 0)
            return;
        const int maxPlayers = mOwnDesc.mMaxPlayers < SLOT_COUNT ? int(mOwnDesc.mMaxPlayers) : SLOT_COUNT;
        // Only players count against the game's size: a connection that has
        // not logged in gives its slot up to a newcomer.
        if (mClosed == 0 && mHost && GetPlayerCount() < maxPlayers && maxPlayers > 1) {
            bool taken = false;
            for (int pass = 0; pass < 2 && !taken; ++pass) {
                for (int i = 1; i < maxPlayers && !taken; ++i) {
                    if (mSlots[i]->mActive)
                        continue;
                    NetTrace("CNetMgr::Manage() -> Accepting new Client(%u)", unsigned(i));
                    mSlots[i]->Activate(socket, PeerAddress(socket), "...");
                    mSlots[i]->mAcceptSeq = ++mAcceptSeq;
                    taken = true;
                    // A player's login follows its connect at once: read now,
                    // so that it is a player before anyone else may connect.
                    PollSlot(*mSlots[i], Now());
                }
                if (!taken && (pass > 0 || !EvictIdleConnection(maxPlayers)))
                    break;
            }
            if (taken)
                continue;
        }
        // A client, a closed or a full host refuses the connection.
        SocketClose(socket);
    }
}

bool CNetMgr::EvictIdleConnection(int maxPlayers) {
    CNetClient* oldest = nullptr;
    for (int i = 1; i < maxPlayers && i < SLOT_COUNT; ++i) {
        CNetClient& slot = *mSlots[i];
        if (!slot.mActive || slot.mLoggedIn || slot.mSocket < 0)
            continue;
        if (!oldest || int32_t(slot.mAcceptSeq - oldest->mAcceptSeq) < 0)
            oldest = &slot;
    }
    if (!oldest)
        return false;
    // Traced only: a stream of such connections must not flood the log.
    NetTrace("CNetMgr::Manage() -> Client(%u) NO LOGIN, gives way to a new connection", unsigned(oldest->mId));
    oldest->Desactivate();
    return true;
}

void CNetMgr::CheckTimeOuts(uint32_t now) {
    if (mHost) {
        for (int i = 1; i < SLOT_COUNT && mState == e_connected; ++i) {
            CNetClient& slot = *mSlots[i];
            if (!slot.mActive)
                continue;
            if (!slot.mLoggedIn && (mClosed != 0 || Elapsed(slot.mActivatedTick, LOGIN_TIMEOUT_MS, now))) {
                NetTrace("CNetMgr::Manage() -> Client(%u,%s) NO LOGIN, TIMED OUT ", unsigned(i), slot.mName);
                if (mClosed == 0)
                    PlatLog("CNetMgr: connection %u did not log in within %u ms; dropped", unsigned(i),
                            unsigned(LOGIN_TIMEOUT_MS));
            } else if (Elapsed(slot.mLastReceiveTick, TIMEOUT_MS, now)) {
                NetTrace("CNetMgr::Manage() -> Client(%u,%s) TIMED OUT ", unsigned(i), slot.mName);
            } else {
                continue;
            }
            slot.Desactivate();
            SendLeaveNotices();
        }
        return;
    }
    const CNetClient& host = *mSlots[0];
    if (host.mActive && !Elapsed(host.mLastReceiveTick, TIMEOUT_MS, now))
        return;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        NetTrace("CNetMgr::Manage() -> Client(%u,%s) TIMED OUT ", unsigned(i), mSlots[i]->mName);
        mSlots[i]->Desactivate();
    }
    mOwnDesc.mPlayerCount = 0;
}

// ============================================================================
// Session
// ============================================================================

void CNetMgr::ResetSession() {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        CNetClient& slot = *mSlots[i];
        if (!slot.mActive)
            continue;
        NetTrace("CNetClient(%d)::Desactivate() => OK client", slot.mId);
        slot.Clear();
    }
    EndMatch();
    mState = active_not_connected;
    mHost = 0;
    mLeaveNotices = 0;
    mKeepAliveStamp = 0;
    mOwnIndex = 0;
    mClosed = 1;
}

void CNetMgr::CloseSession() { ResetSession(); }

void CNetMgr::SendLeaveNotices() {
    if (!mHost || mState != e_connected || mLeaveNotices == 0)
        return;
    const uint32_t notices = mLeaveNotices;
    mLeaveNotices = 0;
    for (int i = 1; i < SLOT_COUNT && mState == e_connected; ++i) {
        if (!(notices & (1u << i)) || mSlots[i]->mActive)
            continue;
        mNested.StartSignature(NETSIG_A_LEAVE_PLAYER);
        mNested.WriteUInt(uint32_t(i));
        mNested.End();
        TCPSendAction(mNested);
    }
    mOwnDesc.mPlayerCount = uint16_t(GetPlayerCount());
}

void CNetMgr::OnSlotDropped(int index, bool wasPlayer) {
    if (mHost && wasPlayer && index > 0 && index < SLOT_COUNT)
        mLeaveNotices |= 1u << index;
    if (mListener && (wasPlayer || !mHost))
        mListener->OnPlayerLeft(index);
    if (index == 0 && !mHost) {
        // A client without its host has no session left.
        if (mListener)
            mListener->OnHostLost();
        ResetSession();
    }
}

bool CNetMgr::HostGame(const CNetGameDesc& desc) {
    if (mState == e_not_initialized) {
        // Nobody could find or reach the game: say so rather than wait in it.
        NetTrace("CNetMgr::HostGame() => FAILED network not initialized");
        PlatLog("CNetMgr::HostGame() => FAILED, the LAN sockets are not open");
        return false;
    }
    CloseSession();
    mOwnDesc.CopyFrom(desc);
    mHost = 1;
    mOwnIndex = 0;
    mHostSignalQueue = 0;
    mClientSignalQueue = 0;
    mState = e_connected;
    mClosed = 0;
    // The host's player name is the game's name.
    mSlots[0]->Activate(-1, 0, mOwnDesc.mName);
    mSlots[0]->mLoggedIn = 1;
    mKeepAliveStamp = Now();
    return true;
}

bool CNetMgr::JoinGame(uint32_t address, uint16_t port, const char* playerName) {
    mOwnIndex = 0;
    mHostSignalQueue = 0;
    mClientSignalQueue = 0;
    char host[16];
    PlatFormat(host, sizeof(host), "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
               (address >> 8) & 0xFFu, address & 0xFFu);
    // Bounded: an address that never answers must not hold the frame for the
    // system's own connect time-out (minutes).
    const int socket = ConnectWithTimeout(address, port, mConnectTimeoutMs);
    if (socket < 0) {
        NetTrace("CNetMgr::JoinGame(%s:%u) => FAILED connect", host, unsigned(port));
        PlatLog("CNetMgr::JoinGame(%s:%u) => FAILED, refused or no answer within %u ms", host, unsigned(port),
                unsigned(mConnectTimeoutMs));
        if (mListener)
            mListener->OnConnectionFailed();
        return false;
    }
    if (!mSlots[0]->Activate(socket, address, "...")) {
        // Slot 0 is taken: already in a session.
        SocketClose(socket);
        PlatLog("CNetMgr::JoinGame(%s:%u) => FAILED, already in a session", host, unsigned(port));
        return false;
    }
    mSlots[0]->mLoggedIn = 1;
    mState = e_connected;
    char name[CNetClient::NAME_SIZE];
    NetCopyName(name, playerName);
    mOutgoing.StartSignature(NETSIG_R_QUERY_LOGIN);
    mOutgoing.WriteString(name);
    mOutgoing.End();
    TCPSendAction(mOutgoing);
    mKeepAliveStamp = Now();
    // A send that failed has already ended the session.
    return mState == e_connected;
}

bool CNetMgr::StartEnumeration() {
    if (mState != active_not_connected && mState != e_enumaration_complete) {
        NetTrace("CNetMgr::StartEnumeration() => FAILED GetState() != active_not_connected");
        return false;
    }
    mFoundGames.Clear();
    ++mLook;
    mState = e_enumaration_in_progress;
    mEnumerationStart = Now();
    NetTrace("CNetMgr::StartEnumeration() => In Progress...");
    mOutgoing.StartSignature(NETSIG_R_QUERY_GAMELIST);
    mOutgoing.End();
    // Both ports, so that a second instance on a machine is found too.
    UDPSendTo(mBroadcastAddress, uint16_t(mBasePort + 1), mOutgoing);
    return UDPSendTo(mBroadcastAddress, mBasePort, mOutgoing);
}

int CNetMgr::GetPlayerCount() const {
    int count = 0;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (mSlots[i]->IsPlayer())
            ++count;
    return count;
}

int CNetMgr::GetConnectionCount() const {
    int count = 0;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (mSlots[i]->mActive)
            ++count;
    return count;
}

// ============================================================================
// Sending
// ============================================================================

namespace {
// A frame the peer can take: a type id at least, and no more than its buffer.
bool FrameSizeOk(const CObjnet& message, const char* who) {
    const int size = message.GetSize();
    if (size >= 4 && size <= CNetMgr::BUFFER_SIZE && message.GetData())
        return true;
    NetTrace("CNetMgr::%s() => FAILED message size %d", who, size);
    PlatLog("CNetMgr::%s() => FAILED, a %d-byte message cannot be framed (4 to %d bytes)", who, size,
            CNetMgr::BUFFER_SIZE);
    return false;
}
}  // namespace

void CNetMgr::SendFramed(CNetClient& slot, const CObjnet& message) {
    const int size = message.GetSize();
    unsigned char header[4];
    CObjnet::WriteU32At(uint32_t(size), header);
    // Whole frames only ever enter the queue: a frame cut short would shift
    // every later frame of the stream.
    if (slot.mPending.size() - slot.mPendingSent + 4 + size_t(size) > SEND_QUEUE_LIMIT) {
        NetTrace("CNetMgr::SendFramed(%d) => FAILED peer cannot keep up", slot.mId);
        PlatLog("CNetMgr: client %d does not read what it is sent (%u bytes waiting); dropped", slot.mId,
                unsigned(slot.mPending.size() - slot.mPendingSent));
        slot.Desactivate();
        return;
    }
    if (slot.mPending.empty())
        slot.mSendProgressTick = Now();
    slot.mPending.insert(slot.mPending.end(), header, header + 4);
    slot.mPending.insert(slot.mPending.end(), message.GetData(), message.GetData() + size);
    FlushSlot(slot, Now());
}

bool CNetMgr::FlushSlot(CNetClient& slot, uint32_t now) {
    while (slot.mPendingSent < slot.mPending.size()) {
        ssize_t n;
        do {
            n = send(slot.mSocket, slot.mPending.data() + slot.mPendingSent, slot.mPending.size() - slot.mPendingSent,
                     MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (n < 0 && errno == EINTR);
        if (n > 0) {
            slot.mPendingSent += size_t(n);
            slot.mSendProgressTick = now;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!Elapsed(slot.mSendProgressTick, SEND_STALL_MS, now))
                return true;
            NetTrace("CNetMgr::FlushSlot(%d) => FAILED peer stopped reading", slot.mId);
            PlatLog("CNetMgr: client %d took nothing for %u ms; dropped", slot.mId, unsigned(SEND_STALL_MS));
        }
        slot.Desactivate();
        return false;
    }
    slot.mPending.clear();
    slot.mPendingSent = 0;
    return true;
}

bool CNetMgr::TCPSendAction(const CObjnet& message) {
    if (mState != e_connected) {
        NetTrace("CNetMgr::TCPSendAction() => FAILED not Connected");
        return false;
    }
    if (!FrameSizeOk(message, "TCPSendAction"))
        return false;
    if (mHost) {
        // A connection hears nothing of the session before its login answer.
        for (int i = 1; i < SLOT_COUNT; ++i)
            if (mSlots[i]->IsPlayer())
                SendFramed(*mSlots[i], message);
    } else if (mSlots[0]->mActive) {
        SendFramed(*mSlots[0], message);
    }
    return true;
}

bool CNetMgr::TCPSendActionTo(const CNetClient& slot, const CObjnet& message) {
    if (!mHost) {
        NetTrace("CNetMgr::TCPSendActionTo() => FAILED , reserved to Hosts");
        return false;
    }
    if (!ValidSlotIndex(slot.mId) || mSlots[slot.mId] != &slot || !slot.mActive)
        return false;
    if (!FrameSizeOk(message, "TCPSendActionTo"))
        return false;
    SendFramed(*mSlots[slot.mId], message);
    return true;
}

bool CNetMgr::TCPSendActionToOthers(const CNetClient& from, const CObjnet& message) {
    if (!mHost) {
        NetTrace("CNetMgr::TCPSendActionTo() => FAILED , reserved to Hosts");
        return false;
    }
    if (!FrameSizeOk(message, "TCPSendActionToOthers"))
        return false;
    for (int i = 1; i < SLOT_COUNT; ++i)
        if (mSlots[i]->IsPlayer() && mSlots[i]->mId != from.mId)
            SendFramed(*mSlots[i], message);
    return true;
}

bool CNetMgr::TCPSendChatMessage(const char* text) {
    if (mState != e_connected) {
        NetTrace("CNetMgr::TCPSendChatMessage() => FAILED not Connected");
        return false;
    }
    mNested.StartSignature(NETSIG_E_CHAT_MESSAGE);
    mNested.WriteUInt(uint32_t(mOwnIndex));
    mNested.WriteString(text ? text : "");
    mNested.End();
    return TCPSendAction(mNested);
}

bool CNetMgr::TCPSendCustomObject(const CObjnet& object) {
    if (mState != e_connected) {
        NetTrace("CNetMgr::TCPSendCustomObject() => FAILED not Connected");
        return false;
    }
    if (&object == &mOutgoing) {
        PlatLog("CNetMgr::TCPSendCustomObject() => FAILED, the object is the outgoing message itself");
        return false;
    }
    mOutgoing.StartSignature(NETSIG_E_CUSTOM_OBJECT);
    mOutgoing.WriteUInt(uint32_t(mOwnIndex));
    mOutgoing.WriteObject(&object);
    mOutgoing.End();
    return TCPSendAction(mOutgoing);
}

bool CNetMgr::UDPSendTo(uint32_t address, uint16_t port, const CObjnet& message) {
    if (m_udp_socket < 0) {
        NetTrace("CNetMgr::UDPSendTo() => FAILED m_udp_socket == INVALID_SOCKET)");
        return false;
    }
    if (!FrameSizeOk(message, "UDPSendTo"))
        return false;
    return SocketSendTo(m_udp_socket, address, port, message.GetData(), message.GetSize()) > 0;
}

// ============================================================================
// UDP: game enumeration
// ============================================================================

void CNetMgr::HandleDatagram(const void* data, int length, uint32_t address, uint16_t port) {
    if (!data || length < 1)
        return;
    if (length > BUFFER_SIZE)
        length = BUFFER_SIZE;   // as recvfrom would have cut it
    std::memcpy(mReceiveBuffer, data, size_t(length));
    mReceive.AttachBuffer(mReceiveBuffer, length);
    _OnUDPCObjnetReceived(address, port);
}

void CNetMgr::_OnUDPCObjnetReceived(uint32_t address, uint16_t port) {
    switch (mReceive.GetTypeId()) {
    case OBJECT_CNETCLIENT_R_QUERY_GAMELIST: {
        // Only an open host answers; our own broadcast lands here too.
        if (mState != e_connected || !mHost || mClosed != 0)
            return;
        // The request has no fields: anything more is not a request.
        CObjnet request;
        request.StartSignature(NETSIG_R_QUERY_GAMELIST);
        request.End();
        if (mReceive.GetSize() != request.GetSize())
            return;
        NetTrace("CNetMgr::_OnUDPCObjnetReceived(OBJECT_CNETCLIENT_R_QUERY_GAMELIST)...");
        mOwnDesc.mPlayerCount = uint16_t(GetPlayerCount());
        mOwnDesc.Serialize(mNested);
        mOutgoing.StartSignature(NETSIG_A_QUERY_GAMELIST);
        mOutgoing.WriteObject(&mNested);
        mOutgoing.End();
        UDPSendTo(address, port, mOutgoing);
        return;
    }
    case OBJECT_CNETCLIENT_A_QUERY_GAMELIST: {
        NetTrace("CNetMgr::_OnUDPCObjnetReceived(OBJECT_CNETCLIENT_A_QUERY_GAMELIST)...");
        if (mState != e_enumaration_in_progress)
            return;
        // A game answers from the port it is played on, the base port or the
        // one after it: nothing else can be joined.
        if (port != mBasePort && port != uint16_t(mBasePort + 1))
            return;
        CObjnet record;
        if (NetReadNestedObject(mReceive, record))
            RecordFoundGame(address, port, record);
        return;
    }
    default:
        return;
    }
}

uint32_t CNetMgr::LooksAnswered(uint32_t address, uint16_t port) const {
    for (int i = 0; i < mHeardHostCount; ++i) {
        const HeardHost& h = mHeardHosts[i];
        if (h.address == address && h.port == port)
            return h.looks + (h.lastLook != mLook ? 1 : 0);
    }
    return 1;
}

void CNetMgr::RememberHeardHost(uint32_t address, uint16_t port, uint32_t looks) {
    HeardHost* slot = nullptr;
    for (int i = 0; i < mHeardHostCount && !slot; ++i)
        if (mHeardHosts[i].address == address && mHeardHosts[i].port == port)
            slot = &mHeardHosts[i];
    if (!slot && mHeardHostCount < HEARD_HOSTS_MAX)
        slot = &mHeardHosts[mHeardHostCount++];
    if (!slot) {
        // Full: the host that answered fewest looks, longest ago, is forgotten.
        slot = &mHeardHosts[0];
        for (int i = 1; i < HEARD_HOSTS_MAX; ++i) {
            const HeardHost& h = mHeardHosts[i];
            if (h.looks < slot->looks || (h.looks == slot->looks && int32_t(h.lastLook - slot->lastLook) < 0))
                slot = &mHeardHosts[i];
        }
    }
    slot->address = address;
    slot->port = port;
    slot->looks = looks;
    slot->lastLook = mLook;
}

void CNetMgr::RecordFoundGame(uint32_t address, uint16_t port, CObjnet& record) {
    CNetGameDesc read(address, port);
    if (!read.Unserialize(record)) {
        NetTrace("CNetMgr: malformed game description from %u.%u.%u.%u:%u ignored", (address >> 24) & 0xFFu,
                 (address >> 16) & 0xFFu, (address >> 8) & 0xFFu, address & 0xFFu, unsigned(port));
        return;
    }
    read.mLastSeen = Now();
    // A host answers a look once: a second answer from its address, true or
    // forged, changes nothing the player was shown.
    CNetGameDesc* weakest = nullptr;
    for (CNetGameDesc* game = mFoundGames.GetHead(); game; game = CNetGameDescList::Next(game)) {
        if (game->mAddress == address && game->mPort == port) {
            NetTrace("CNetMgr: a second answer from %u.%u.%u.%u:%u in one look ignored", (address >> 24) & 0xFFu,
                     (address >> 16) & 0xFFu, (address >> 8) & 0xFFu, address & 0xFFu, unsigned(port));
            return;
        }
        if (!weakest || game->mLooksAnswered < weakest->mLooksAnswered ||
            (game->mLooksAnswered == weakest->mLooksAnswered && int32_t(game->mLastSeen - weakest->mLastSeen) > 0))
            weakest = game;
    }
    read.mLooksAnswered = LooksAnswered(address, port);
    CNetGameDesc* desc = nullptr;
    if (mFoundGames.GetCount() < FOUND_GAMES_MAX) {
        desc = new CNetGameDesc(address, port);
        mFoundGames.Append(desc);
    } else if (read.mLooksAnswered > weakest->mLooksAnswered) {
        // Full: only a host heard in more looks than the weakest entry (the
        // one heard in fewest, and of those the newest) takes its place.
        desc = weakest;
    } else {
        return;   // answers dropped here leave no trace in what is remembered
    }
    desc->CopyFrom(read);
    desc->mLastSeen = read.mLastSeen;
    desc->mLooksAnswered = read.mLooksAnswered;
    RememberHeardHost(address, port, read.mLooksAnswered);
}

// ============================================================================
// TCP: dispatch
// ============================================================================

void CNetMgr::DropMalformed(CNetClient& slot, const char* what) {
    NetTrace("CNetMgr::_OnTCPCObjnetReceived(from=%d) => FAILED, malformed %s", slot.mId, what);
    PlatLog("CNetMgr: client %d sent a malformed %s message; dropped", slot.mId, what);
    slot.Desactivate();
}

void CNetMgr::_OnTCPCObjnetReceived(CNetClient& slot, CObjnet& message) {
    const unsigned from = unsigned(slot.mId);
    const uint32_t type = message.GetTypeId();
    // A connection speaks for no player before its login, and a peer of
    // this game logs in first: anything else it sends ends the connection.
    if (mHost && !slot.mLoggedIn && type != OBJECT_CNETCLIENT_R_QUERY_LOGIN && type != OBJECT_CNETCLIENT_E_KEEPALIVE &&
        NetIsKnownKind(type)) {
        NetTrace("CNetMgr::_OnTCPCObjnetReceived(from=%d) => REFUSED, message before its login", slot.mId);
        PlatLog("CNetMgr: connection %d sent a message before logging in; dropped", slot.mId);
        slot.Desactivate();
        return;
    }
    switch (type) {
    case OBJECT_CNETCLIENT_E_KEEPALIVE:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_KEEPALIVE] from client %u", RoleName(), from);
        return;
    case OBJECT_CNETCLIENT_A_LEAVE_PLAYER:
        OnLeavePlayer(slot, message);
        return;
    case OBJECT_CNETCLIENT_E_CHATMESSAGE:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_CHATMESSAGE] from client %u", RoleName(), from);
        OnChat(slot, message);
        return;
    case OBJECT_CNETCLIENT_E_CUSTOM_OBJECT:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_CUSTOM_OBJECT] from client %u", RoleName(), from);
        OnCustomObject(slot, message);
        return;
    case OBJECT_CNETCLIENT_E_UPDATE_PLAYER:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_UPDATE_PLAYER] from client %u", RoleName(), from);
        OnUpdatePlayer(slot, message);
        return;
    case OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_HOST:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_HOST] from client %u  HostQueue=%d", RoleName(),
                 from, mHostSignalQueue);
        OnNextStepSignal(slot, message, true);
        return;
    case OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_CLIENTS:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_NEXT_STEP_SIGNAL_CLIENTS] from client %u => ClientQueue=%d",
                 RoleName(), from, mClientSignalQueue);
        OnNextStepSignal(slot, message, false);
        return;
    case OBJECT_CNETCLIENT_E_SHOOT_PARAMS:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_SHOOT_PARAMS] from client %u", RoleName(), from);
        OnThrowMessage(slot, message, OBJECT_CNETCLIENT_E_SHOOT_PARAMS);
        return;
    case OBJECT_CNETCLIENT_E_SHOOT_OPTIONS:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_SHOOT_OPTIONS] from client %u", RoleName(), from);
        OnThrowMessage(slot, message, OBJECT_CNETCLIENT_E_SHOOT_OPTIONS);
        return;
    case OBJECT_CNETCLIENT_E_LAUNCHSET:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_LAUNCHSET] from client %u", RoleName(), from);
        OnThrowMessage(slot, message, OBJECT_CNETCLIENT_E_LAUNCHSET);
        return;
    case OBJECT_CNETCLIENT_E_BALLS_POSITIONS:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_BALLS_POSITIONS] from client %u", RoleName(), from);
        OnThrowMessage(slot, message, OBJECT_CNETCLIENT_E_BALLS_POSITIONS);
        return;
    case OBJECT_CNETCLIENT_R_QUERY_LOGIN:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_R_QUERY_LOGIN] from client %u", RoleName(), from);
        OnLoginRequest(slot, message);
        return;
    case OBJECT_CNETCLIENT_A_QUERY_LOGIN:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_A_QUERY_LOGIN] from client %u", RoleName(), from);
        if (!mHost)
            OnLoginAnswer(slot, message);
        return;
    case OBJECT_CNETCLIENT_A_NEW_PLAYER:
        NetTrace("[%s]  recv [OBJECT_CNETCLIENT_E_NEW_PLAYER] from client %u", "Client", from);
        if (!mHost)
            OnNewPlayer(slot, message);
        return;
    case OBJECT_E_HOST_START_GAME:
        NetTrace("[%s]  recv [OBJECT_E_HOST_START_GAME] from client %u", RoleName(), from);
        if (!mHost)
            OnHostStartGame(slot, message);
        return;
    default:
        return;   // unknown kinds are dropped silently and never relayed
    }
}

void CNetMgr::OnLeavePlayer(CNetClient& slot, CObjnet& message) {
    if (mHost)
        return;
    const uint32_t index = message.ReadUInt();
    if (message.IsFailed() || !ValidSlotIndex(index)) {
        DropMalformed(slot, "a_leave_player");
        return;
    }
    mSlots[index]->Desactivate();
}

void CNetMgr::RefuseNotOwned(const CNetClient& slot, const char* what, int64_t named) {
    NetTrace("CNetMgr::_OnTCPCObjnetReceived(from=%d) => REFUSED %s (%lld)", slot.mId, what, (long long)named);
    // One line a second per peer: a flood of refusals must not flood the log.
    CNetClient& s = *mSlots[slot.mId];
    const uint32_t now = Now();
    if (s.mLobbyDropLogTick != 0 && !Elapsed(s.mLobbyDropLogTick, 1000, now))
        return;
    s.mLobbyDropLogTick = now ? now : 1;
    PlatLog("CNetMgr: client %d sent a %s (%lld); dropped, not passed on", slot.mId, what, (long long)named);
}

bool CNetMgr::TakeLobbyBudget(CNetClient& slot, uint32_t cost, uint32_t now) {
    const int32_t elapsed = int32_t(now - slot.mLobbyBudgetTick);
    if (elapsed > 0) {
        const uint64_t refill = uint64_t(elapsed) * LOBBY_BYTES_PER_SECOND / 1000;
        if (refill > 0) {
            const uint64_t budget = uint64_t(slot.mLobbyBudget) + refill;
            slot.mLobbyBudget = budget > LOBBY_BUDGET_BYTES ? LOBBY_BUDGET_BYTES : uint32_t(budget);
            slot.mLobbyBudgetTick = now;
        }
    }
    if (cost <= slot.mLobbyBudget) {
        slot.mLobbyBudget -= cost;
        return true;
    }
    RefuseNotOwned(slot, "lobby message over its rate", cost);
    return false;
}

void CNetMgr::OnChat(CNetClient& slot, CObjnet& message) {
    const uint32_t sender = message.ReadUInt();
    char text[CHAT_TEXT_MAX + 1];
    message.ReadStringInto(text, int(sizeof(text)));
    if (message.IsFailed() || !ValidSlotIndex(sender)) {
        DropMalformed(slot, "e_chat_message");
        return;
    }
    if (mHost) {
        // A line is its connection's player's: never shown under another name.
        if (sender != uint32_t(slot.mId)) {
            RefuseNotOwned(slot, "chat line in another player's name", sender);
            return;
        }
        if (!TakeLobbyBudget(slot, uint32_t(message.GetSize()) + LOBBY_MESSAGE_COST, Now()))
            return;
        if (NetTextHasControl(text)) {
            RefuseNotOwned(slot, "chat line with control characters", sender);
            return;
        }
    }
    if (mListener)
        mListener->OnChatMessage(int(sender), text);
    if (mHost)
        TCPSendAction(message);   // back to every client, the sender included
}

void CNetMgr::OnCustomObject(CNetClient& slot, CObjnet& message) {
    const uint32_t sender = message.ReadUInt();
    CObjnet object;
    const bool readable = NetReadNestedObject(message, object);
    if (message.IsFailed() || !ValidSlotIndex(sender)) {
        DropMalformed(slot, "e_custom_object");
        return;
    }
    if (mHost) {
        if (sender != uint32_t(slot.mId)) {
            RefuseNotOwned(slot, "lobby record in another player's name", sender);
            return;
        }
        if (!TakeLobbyBudget(slot, LOBBY_RECORD_COST, Now()))
            return;
    }
    // The listener judges whether the sender may change what the object
    // names; the host passes on only what it accepted.
    const bool accepted = readable && mListener && mListener->OnCustomObject(int(sender), &object);
    if (!mHost)
        return;
    if (accepted)
        TCPSendAction(message);
    else
        RefuseNotOwned(slot, "lobby record it may not send", sender);
}

void CNetMgr::OnUpdatePlayer(CNetClient& slot, CObjnet& message) {
    const uint32_t index = message.ReadUInt();
    CObjnet record;
    const bool readable = NetReadNestedObject(message, record);
    if (message.IsFailed() || !ValidSlotIndex(index)) {
        DropMalformed(slot, "e_update_player");
        return;
    }
    if (mHost) {
        // A player updates its own record only.
        if (index != uint32_t(slot.mId)) {
            RefuseNotOwned(slot, "record of another player", index);
            return;
        }
        if (!TakeLobbyBudget(slot, LOBBY_RECORD_COST, Now()))
            return;
    }
    // Slots the session does not hold are nobody's to update.
    char loginName[CNetClient::NAME_SIZE];
    std::memcpy(loginName, mSlots[index]->mName, sizeof(loginName));
    if (!readable || !mSlots[index]->mActive || !mSlots[index]->Unserialize(record)) {
        if (mHost)
            RefuseNotOwned(slot, "player record that does not read", index);
        return;
    }
    // A player is named once, by its login as the host took it: a record
    // renames nobody, here or on the screens the host passes it to.
    if (mHost)
        std::memcpy(mSlots[index]->mName, loginName, sizeof(loginName));
    if (mListener)
        mListener->OnPlayerUpdated(int(index));
    if (mHost)
        RelayPlayerRecord(slot);
}

void CNetMgr::OnHostStartGame(CNetClient& slot, CObjnet& message) {
    CObjnet params;
    const bool readable = NetReadNestedObject(message, params);
    if (message.IsFailed()) {
        DropMalformed(slot, "e_host_start_game");
        return;
    }
    if (readable && mListener)
        mListener->OnStartGame(&params);
}

void CNetMgr::OnThrowMessage(CNetClient& slot, CObjnet& message, uint32_t typeId) {
    message.ReadUInt();   // the sender's slot id, informational
    const int32_t controller = message.ReadInt();
    if (message.IsFailed()) {
        DropMalformed(slot, "throw");
        return;
    }
    // A player throws for its own controller only, never for the host's,
    // another player's or the computer's.
    if (mHost && int64_t(controller) != int64_t(slot.mId) + LAN_CONTROLLER_BASE) {
        RefuseNotOwned(slot, "throw message for a controller it does not own", controller);
        return;
    }
    bool accepted = false;
    switch (typeId) {
    case OBJECT_CNETCLIENT_E_SHOOT_PARAMS: {
        NetShootParams v;
        v.presetShootingAngle = message.ReadFloat();
        v.presetUnbalance = message.ReadFloat();
        v.presetBalanceGoAndBack = message.ReadUInt();
        v.presetPower = message.ReadFloat();
        v.power = message.ReadFloat();
        v.speed = message.ReadFloat();
        v.shootingAngle = message.ReadFloat();
        v.balance = message.ReadFloat();
        // A message cut short would store half-read values on every machine.
        if (message.IsFailed()) {
            DropMalformed(slot, "e_shoot_params");
            return;
        }
        if (!ThrowValuesSane({v.presetShootingAngle, v.presetUnbalance, v.presetPower, v.power, v.speed,
                              v.shootingAngle, v.balance})) {
            RefuseNotOwned(slot, "throw message with values out of range", controller);
            return;
        }
        accepted = mGameServices.shootParams && mGameServices.shootParams(controller, v);
        break;
    }
    case OBJECT_CNETCLIENT_E_SHOOT_OPTIONS: {
        NetShootOptions v;
        v.angle = message.ReadFloat();
        v.playerIndex = message.ReadUInt();
        v.throwMode = message.ReadUInt();
        v.ballEffect = message.ReadUInt();
        v.aimX = message.ReadFloat();
        v.aimY = message.ReadFloat();
        v.aimZ = message.ReadFloat();
        v.fatigue = message.ReadInt();
        v.stress = message.ReadInt();
        v.ballsLeft = message.ReadUInt();
        if (message.IsFailed()) {
            DropMalformed(slot, "e_shoot_options2");
            return;
        }
        if (!ThrowValuesSane({v.angle, v.aimX, v.aimY, v.aimZ})) {
            RefuseNotOwned(slot, "throw message with values out of range", controller);
            return;
        }
        accepted = mGameServices.shootOptions && mGameServices.shootOptions(controller, v);
        break;
    }
    case OBJECT_CNETCLIENT_E_LAUNCHSET: {
        NetLaunchSet v;
        for (float& value : v.values)
            value = message.ReadFloat();
        if (message.IsFailed()) {
            DropMalformed(slot, "e_launchset");
            return;
        }
        if (!ThrowValuesSane({v.values[0], v.values[1], v.values[2], v.values[3], v.values[4], v.values[5]})) {
            RefuseNotOwned(slot, "throw message with values out of range", controller);
            return;
        }
        accepted = mGameServices.launchSet && mGameServices.launchSet(controller, v);
        break;
    }
    default:
        // The body belongs to the replay manager, which reads it itself.
        accepted = mGameServices.ballsPositions && mGameServices.ballsPositions(controller, message);
        break;
    }
    if (!accepted) {
        // Not passed on either: the other machines would only apply it blindly.
        // The game logs why it refused the message; here it is only traced.
        NetTrace("CNetMgr::_OnTCPCObjnetReceived(from=%d) => throw message for controller %d dropped", slot.mId,
                 controller);
        return;
    }
    if (mHost && slot.mActive)
        TCPSendActionToOthers(slot, message);
}

void CNetMgr::OnLoginRequest(CNetClient& slot, CObjnet& message) {
    char name[CNetClient::NAME_SIZE];
    if (!NetReadName(message, name)) {
        DropMalformed(slot, "r_query_login");
        return;
    }
    if (mHost && !AcceptLoginName(slot, name))
        return;
    std::memcpy(slot.mName, name, sizeof(slot.mName));
    if (!mHost)
        return;
    slot.mLoggedIn = 1;

    mOutgoing.StartSignature(NETSIG_A_QUERY_LOGIN);
    mOutgoing.WriteInt(slot.mId);
    mOwnDesc.Serialize(mNested);
    mOutgoing.WriteObject(&mNested);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (!mSlots[i]->mActive)
            continue;
        mSlots[i]->Serialize(mNested);
        mOutgoing.WriteObject(&mNested);
    }
    mOutgoing.End();
    TCPSendActionTo(slot, mOutgoing);
    if (!slot.mActive)
        return;   // the answer could not be sent: the newcomer is gone

    if (mListener)
        mListener->OnPlayerAdded(slot.mId);

    if (mState == e_connected && slot.mActive) {
        mOutgoing.StartSignature(NETSIG_A_NEW_PLAYER);
        mOutgoing.WriteInt(slot.mId);
        slot.Serialize(mNested);
        mOutgoing.WriteObject(&mNested);
        mOutgoing.End();
        TCPSendAction(mOutgoing);
        PrepayAnnouncementAnswers(slot);
    }
    mOwnDesc.mPlayerCount = uint16_t(GetPlayerCount());
}

void CNetMgr::OnLoginAnswer(CNetClient& slot, CObjnet& message) {
    const int32_t index = message.ReadInt();
    CObjnet record;
    const bool readable = NetReadNestedObject(message, record);
    // Slot 0 is the host's: a client's own index is 1 to 5.
    if (message.IsFailed() || index < 1 || index >= SLOT_COUNT) {
        DropMalformed(slot, "a_query_login");
        return;
    }
    mOwnIndex = index;
    NetTrace("=> My index is : %d", index);
    CNetGameDesc desc;
    desc.CopyFrom(mOwnDesc);
    if (!readable || !desc.Unserialize(record)) {
        DropMalformed(slot, "a_query_login");
        return;
    }
    mOwnDesc.CopyFrom(desc);
    if (mListener)
        mListener->OnLoginAccepted();

    while (mState == e_connected && message.HasMoreData()) {
        if (!NetReadNestedObject(message, record)) {
            if (message.IsFailed()) {
                DropMalformed(slot, "a_query_login");
                return;
            }
            continue;   // an empty field
        }
        NetClientRecord r;
        if (!CNetClient::ReadRecord(record, r)) {
            NetTrace("CNetClient(%d)::Unserialize() => FAILED, unknown object type", -1);
            continue;
        }
        if (!ValidSlotIndex(r.id)) {
            DropMalformed(slot, "a_query_login");
            return;
        }
        CNetClient& target = *mSlots[r.id];
        target.Unserialize(record);
        // Fails harmlessly on slot 0 (our link to the host) and on any slot
        // already active.
        if (target.Activate(-1, 0, r.name))
            target.mLoggedIn = 1;
        NetTrace("=> Adding Client [%u,name=%s]", unsigned(r.id), r.name);
        if (mListener)
            mListener->OnPlayerAdded(r.id);
    }
}

void CNetMgr::OnNewPlayer(CNetClient& slot, CObjnet& message) {
    const int32_t index = message.ReadInt();
    CObjnet record;
    const bool readable = NetReadNestedObject(message, record);
    if (message.IsFailed() || !ValidSlotIndex(index)) {
        DropMalformed(slot, "a_new_player");
        return;
    }
    if (index == mOwnIndex)
        return;
    NetClientRecord r;
    if (!readable || !CNetClient::ReadRecord(record, r)) {
        NetTrace("CNetClient(%d)::Unserialize() => FAILED, unknown object type", index);
        return;
    }
    // A player already shown is not announced twice: each announcement
    // makes every lobby send its record again.
    if (!mSlots[index]->Activate(-1, 0, r.name))
        return;
    mSlots[index]->mLoggedIn = 1;
    NetTrace("=> Adding Client [%u,name=%s]", unsigned(index), r.name);
    if (mListener)
        mListener->OnPlayerAdded(index);
}

bool CNetMgr::AcceptLoginName(CNetClient& slot, char (&name)[CNetClient::NAME_SIZE]) {
    // One login a connection: another would rename the player on the host
    // only, and make every machine announce it again.
    if (slot.mLoggedIn) {
        RefuseNotOwned(slot, "second login", slot.mId);
        return false;
    }
    if (NetTextHasControl(name)) {
        NetTrace("CNetMgr::OnLoginRequest(from=%d) => REFUSED, control characters in the name", slot.mId);
        PlatLog("CNetMgr: connection %d logged in under a name with control characters; dropped", slot.mId);
        slot.Desactivate();
        return false;
    }
    char asked[CNetClient::NAME_SIZE];
    std::memcpy(asked, name, sizeof(asked));
    NetMakeNameUnique(*this, slot.mId, name);
    if (std::strcmp(asked, name) != 0)
        PlatLog("CNetMgr: connection %d logged in as \"%s\", a name already taken: it plays as \"%s\"", slot.mId,
                asked, name);
    return true;
}

void CNetMgr::RelayPlayerRecord(CNetClient& slot) {
    // Rebuilt from the slot: the others see the record the host holds.
    mOutgoing.StartSignature(NETSIG_E_UPDATE_PLAYER);
    mOutgoing.WriteUInt(uint32_t(slot.mId));
    slot.Serialize(mNested);
    mOutgoing.WriteObject(&mNested);
    mOutgoing.End();
    TCPSendActionToOthers(slot, mOutgoing);
}

void CNetMgr::PrepayAnnouncementAnswers(const CNetClient& newcomer) {
    // Every lobby answers a newcomer with its player's record. The host
    // pays for that answer, so that a peer coming and going never spends
    // the others' own rate (their team changes would then be dropped).
    for (int i = 1; i < SLOT_COUNT; ++i) {
        CNetClient& other = *mSlots[i];
        if (i == newcomer.mId || !other.IsPlayer())
            continue;
        const uint32_t budget = other.mLobbyBudget + LOBBY_RECORD_COST;
        other.mLobbyBudget = budget > LOBBY_BUDGET_BYTES ? LOBBY_BUDGET_BYTES : budget;
    }
}

// ============================================================================
// The steps of a LAN match
// ============================================================================

void CNetMgr::BeginMatch() {
    mInMatch = true;
    mMatchPlayers = 0;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (mSlots[i]->IsPlayer() || i == mOwnIndex)
            mMatchPlayers |= 1u << i;
    for (uint32_t& steps : mStepsSignalled)
        steps = 0;
    mStepsPassed = 0;
    mHostSignalsTaken = mHostSignalsReceived = 0;
    // Whatever came before the start (a lobby's signals) counts for nothing.
    mHostSignalQueue = 0;
    mClientSignalQueue = 0;
    NetTrace("CNetMgr::BeginMatch() => players 0x%02x", mMatchPlayers);
}

void CNetMgr::EndMatch() {
    mInMatch = false;
    mMatchPlayers = 0;
    mHostSignalQueue = 0;
    mClientSignalQueue = 0;
}

uint32_t CNetMgr::GetStepsSignalled(int slot) const {
    return ValidSlotIndex(slot) ? mStepsSignalled[slot] : 0;
}

void CNetMgr::CountPendingSignals() {
    int32_t pending = 0;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if ((mMatchPlayers & (1u << i)) && mStepsSignalled[i] > mStepsPassed)
            pending += int32_t(mStepsSignalled[i] - mStepsPassed);
    mClientSignalQueue = pending;
}

void CNetMgr::SendNextStepSignal() {
    if (!mInMatch || !ValidSlotIndex(mOwnIndex)) {
        NetTrace("CNetMgr::SendNextStepSignal() => not sent, no match");
        return;
    }
    // One signal a step: the peers would take a second for the next step.
    if (mStepsSignalled[mOwnIndex] > mStepsPassed) {
        NetTrace("CNetMgr::SendNextStepSignal() => step %u already signalled", mStepsPassed + 1);
        return;
    }
    mOutgoing.StartSignature(NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS);
    mOutgoing.WriteUInt(uint32_t(mOwnIndex));
    mOutgoing.End();
    TCPSendAction(mOutgoing);
    ++mStepsSignalled[mOwnIndex];
    CountPendingSignals();
    NetTrace("QueueNextStepSignalFromClients()=>  queue=%d", mClientSignalQueue);
}

bool CNetMgr::TakeNextStep() {
    if (!mInMatch)
        return false;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (!(mMatchPlayers & (1u << i)))
            continue;
        // A machine gone since the start holds nobody up.
        if (i != mOwnIndex && !mSlots[i]->IsPlayer())
            continue;
        if (mStepsSignalled[i] <= mStepsPassed)
            return false;
    }
    ++mStepsPassed;
    CountPendingSignals();
    return true;
}

bool CNetMgr::TakeHostSignal() {
    if (!mInMatch || mHostSignalsReceived <= mHostSignalsTaken)
        return false;
    ++mHostSignalsTaken;
    mHostSignalQueue = int32_t(mHostSignalsReceived - mHostSignalsTaken);
    return true;
}

void CNetMgr::OnNextStepSignal(CNetClient& slot, CObjnet& message, bool fromHost) {
    const uint32_t sender = message.ReadUInt();
    if (message.IsFailed()) {
        DropMalformed(slot, fromHost ? "e_next_step_signal_host" : "e_next_step_signal_clients");
        return;
    }
    if (!mInMatch) {
        RefuseNotOwned(slot, "next-step signal outside a match", sender);
        return;
    }
    if (fromHost) {
        // The host's signal reaches the clients only, and from the host only.
        if (mHost || slot.mId != 0 || sender != 0) {
            RefuseNotOwned(slot, "host's next-step signal not from the host", sender);
            return;
        }
        // The host signals the end of a throw once, and cannot start the next
        // throw's before this machine has taken this one's.
        if (mHostSignalsReceived > mHostSignalsTaken) {
            RefuseNotOwned(slot, "host's next-step signal ahead of the match", sender);
            return;
        }
        ++mHostSignalsReceived;
        mHostSignalQueue = int32_t(mHostSignalsReceived - mHostSignalsTaken);
        NetTrace("QueueNextStepSignalFromHost()=>  Queue=%d", mHostSignalQueue);
        return;
    }
    // A machine signals for itself (a client's own connection on the host; a
    // client hears every other machine through the host), and only a machine
    // that plays the match.
    const bool own = mHost ? sender == uint32_t(slot.mId) : slot.mId == 0 && sender != uint32_t(mOwnIndex);
    if (!own || !ValidSlotIndex(sender) || !(mMatchPlayers & (1u << sender))) {
        RefuseNotOwned(slot, "next-step signal for a machine not its own or not in the match", sender);
        return;
    }
    // No machine passes a step before this one has signalled it: a signal
    // further ahead is not a step of this match.
    if (mStepsSignalled[sender] >= mStepsSignalled[mOwnIndex] + STEPS_AHEAD_MAX) {
        RefuseNotOwned(slot, "next-step signal ahead of the match", sender);
        return;
    }
    ++mStepsSignalled[sender];
    CountPendingSignals();
    NetTrace("QueueNextStepSignalFromClients()=>  queue=%d", mClientSignalQueue);
    if (mHost)
        TCPSendActionToOthers(slot, message);
}
