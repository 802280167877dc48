// One peer slot of the LAN layer, and the
// one global client object whose receive buffer is set up before the entry
// point. The protocol comes with the LAN game.
#pragma once

#include <cstdint>

class CNetClient {
public:
    static constexpr uint32_t RECEIVE_BUFFER_SIZE = 32767;   // not 32,768

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

    uint8_t mActive = 0;
    int32_t mId = 0;
    uint32_t mAddress = 0;
    int mSocket = -1;
    uint32_t mLastReceiveTick = 0;
    char mName[32] = {0};
    uint32_t mExpectedFrameLength = 0;
    uint32_t mBytesReceived = 0;
    int32_t mTeam = -1;

private:
    unsigned char* mReceiveBuffer = nullptr;
};

// The network layer's one global client object.
extern CNetClient g_NetClient;
