#include "CNetGameDesc.h"

#include "CNetClient.h"
#include "NetMessages.h"

#include <CObjnet.h>
#include <HalNet.h>

#include <cstring>

CNetGameDesc::CNetGameDesc(uint32_t address, uint16_t port) : mAddress(address), mPort(port) {}

void CNetGameDesc::CopyFrom(const CNetGameDesc& other) {
    mAddress = other.mAddress;
    mPort = other.mPort;
    mPlayerCount = other.mPlayerCount;
    mMaxPlayers = other.mMaxPlayers;
    NetCopyName(mName, other.mName);
}

void CNetGameDesc::Serialize(CObjnet& record) const {
    record.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
    record.WriteString(mName);
    record.WriteUShort(mPlayerCount);
    record.WriteUShort(mMaxPlayers);
    record.End();
}

bool CNetGameDesc::Unserialize(CObjnet& record) {
    if (record.BeginRead(OBJECT_CNETGAMEDESC_RECORD) != 0) {
        NetTrace("CNetGameDesc::Serialize() => FAILED, unknown object type");
        return false;
    }
    char name[NAME_SIZE];
    const bool nameOk = NetReadName(record, name);
    const uint16_t playerCount = record.ReadUShort();
    const uint16_t maxPlayers = record.ReadUShort();
    if (!nameOk || record.IsFailed()) {
        NetTrace("CNetGameDesc::Serialize() => FAILED, malformed record");
        return false;
    }
    std::memcpy(mName, name, sizeof(mName));
    mPlayerCount = playerCount;
    mMaxPlayers = maxPlayers;
    return true;
}
