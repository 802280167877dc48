#include "CNetClient.h"

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
