// libFuzzer harness for the LAN message decoding and dispatch.
//
// Input: byte 0 picks the path, the rest is what a peer sends.
//   bit 0: this machine is the host (else a client logged in as slot 2)
//   bit 1: the rest is a TCP stream, fed through a socket pair into the frame
//          reader (else one message handed to the dispatcher directly)
//   bit 2: the rest is one UDP datagram (the manager enumerating or hosting)
// Peers sit on local socket pairs: nothing touches the network. Invariants
// checked after each input: slots stay within 0..5 with names terminated
// inside their fields, counts stay in range, and listener arguments are
// in bounds.
#include <CNetMgr.h>
#include <HalNet.h>

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

bool ValidIndex(int index) { return index >= 0 && index < CNetMgr::SLOT_COUNT; }

class Listener : public CNetMgrInterface {
public:
    void OnEnumerationComplete(CNetGameDescList* games) override {
        for (CNetGameDesc* d = games->GetHead(); d; d = CNetGameDescList::Next(d))
            Check(std::memchr(d->mName, 0, sizeof(d->mName)) != nullptr);
    }
    void OnConnectionFailed() override {}
    void OnLoginAccepted() override {}
    void OnPlayerAdded(int index) override { Check(ValidIndex(index)); }
    void OnPlayerLeft(int index) override { Check(ValidIndex(index)); }
    void OnHostLost() override {}
    void OnChatMessage(int sender, const char* text) override {
        Check(ValidIndex(sender));
        Check(std::strlen(text) <= size_t(CNetMgr::CHAT_TEXT_MAX));
    }
    void OnStartGame(CObjnet* params) override { Touch(params); }
    void OnPlayerUpdated(int index) override { Check(ValidIndex(index)); }
    bool OnCustomObject(int sender, CObjnet* object) override {
        Check(ValidIndex(sender));
        Touch(object);
        return true;
    }

private:
    // Reads the whole object the way a packet reader would.
    static void Touch(CObjnet* object) {
        Check(object != nullptr);
        volatile uint32_t sum = 0;
        for (int i = 0; i < object->GetSize(); ++i)
            sum = sum + object->GetData()[i];
        while (object->HasMoreData())
            object->ReadByte();
    }
};

// Odd controllers are unknown to this machine: dropped and not relayed.
bool ReadBalls(int32_t controller, CObjnet& body) {
    // The replay reader's first field, then a name, as the real one begins.
    body.ReadUInt();
    body.ReadByte();
    char name[64];
    body.ReadStringInto(name, sizeof(name));
    return (controller & 1) == 0 && !body.IsFailed();
}

struct Peer {
    int ours = -1;    // the slot's end
    int theirs = -1;  // the fuzzer's end
};

Peer MakePeer() {
    int fds[2];
    Peer p;
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
        p.ours = fds[0];
        p.theirs = fds[1];
    }
    return p;
}

void CheckManager(const CNetMgr& mgr) {
    Check(mgr.GetPlayerCount() >= 0 && mgr.GetPlayerCount() <= CNetMgr::SLOT_COUNT);
    Check(mgr.mOwnIndex >= 0 && mgr.mOwnIndex < CNetMgr::SLOT_COUNT);
    for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i) {
        const CNetClient& slot = mgr.GetSlot(i);
        Check(slot.mId == i);
        Check(std::memchr(slot.mName, 0, sizeof(slot.mName)) != nullptr);
        Check(slot.mBytesReceived <= CNetClient::RECEIVE_BUFFER_SIZE);
        Check(slot.mExpectedFrameLength <= CNetClient::RECEIVE_BUFFER_SIZE);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CNetMgr* mgr = [] {
        CNetMgr* m = new CNetMgr();
        m->GameServices().ballsPositions = &ReadBalls;
        return m;
    }();
    static Listener listener;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const bool host = (mode & 1) != 0;
    const bool stream = (mode & 2) != 0;
    const bool udp = (mode & 4) != 0;
    // The rest in an exactly sized block, so that a read past it is reported.
    std::vector<uint8_t> rest(data + 1, data + size);

    mgr->SetListener(&listener);
    mgr->CloseSession();
    Peer peers[3];
    if (host) {
        CNetGameDesc desc(0x7F000001u, 4555);
        desc.mMaxPlayers = 6;
        NetCopyName(desc.mName, "Fuzz");
        mgr->mState = CNetMgr::active_not_connected;   // as after a good Init
        mgr->HostGame(desc);
        for (int i = 1; i <= 3; ++i) {
            peers[i - 1] = MakePeer();
            mgr->GetSlot(i).Activate(peers[i - 1].ours, 0, "...");
        }
    } else {
        // A client logged in as slot 2 of a game with players 0, 1 and 2.
        peers[0] = MakePeer();
        mgr->GetSlot(0).Activate(peers[0].ours, 0x7F000001u, "Host");
        mgr->GetSlot(1).Activate(-1, 0, "One");
        mgr->GetSlot(2).Activate(-1, 0, "Me");
        mgr->mState = CNetMgr::e_connected;
        mgr->mOwnIndex = 2;
    }

    if (udp) {
        if (!host) {
            mgr->CloseSession();
            mgr->mState = CNetMgr::e_enumaration_in_progress;
        }
        mgr->HandleDatagram(rest.data(), int(rest.size()), 0x7F000001u, 4555);
        mgr->HandleDatagram(rest.data(), int(rest.size()), 0x7F000001u, 4556);
    } else if (stream) {
        // One peer streams the bytes and hangs up; the reader must end by
        // dropping it, whatever the bytes were.
        Peer& from = peers[0];
        if (!rest.empty())
            SocketSendAll(from.theirs, rest.data(), int(rest.size()));
        shutdown(from.theirs, SHUT_WR);
        const int slot = host ? 1 : 0;
        for (size_t round = 0; round < rest.size() + 8 && mgr->GetSlot(slot).mActive && mgr->IsConnected(); ++round)
            mgr->Manage();
        Check(!mgr->GetSlot(slot).mActive || !mgr->IsConnected());
    } else {
        CObjnet message;
        message.AttachBuffer(rest.data(), int(rest.size()));
        mgr->_OnTCPCObjnetReceived(mgr->GetSlot(host ? 1 : 0), message);
    }
    CheckManager(*mgr);

    mgr->CloseSession();   // closes our ends
    for (Peer& p : peers)
        if (p.theirs >= 0)
            close(p.theirs);
    for (CNetGameDesc* d = mgr->GetFoundGames().GetHead(); d; d = CNetGameDescList::Next(d))
        Check(std::memchr(d->mName, 0, sizeof(d->mName)) != nullptr);
    mgr->GetFoundGames().Clear();
    return 0;
}
