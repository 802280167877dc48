// A hosted game as the LAN sees it: where it is, how full it is, its name.
// The manager holds one (the game it hosts) and a list of those it found.
#pragma once

#include <KEMList.h>

#include <cstdint>

class CObjnet;

class CNetGameDesc : public KEMLinkedNode<CNetGameDesc> {
public:
    static constexpr int NAME_SIZE = 32;

    // Counts, name and links zeroed.
    explicit CNetGameDesc(uint32_t address = 0, uint16_t port = 0);

    // Address, port, counts and name (cut to 31 characters); not the links.
    void CopyFrom(const CNetGameDesc& other);

    // Writes the whole record object (signature, name, player count, maximum
    // players) into a message with nothing in it yet. Address and port are not
    // sent: the receiver knows them from the datagram or the connection.
    void Serialize(CObjnet& record) const;
    // Reads a record object positioned at its start. A wrong signature, a
    // name longer than 31 characters or fields cut short fail (logged) and
    // leave the record unchanged.
    bool Unserialize(CObjnet& record);

    uint32_t mAddress = 0;      // IPv4, first octet in the high byte
    uint16_t mPort = 0;
    uint16_t mPlayerCount = 0;
    uint16_t mMaxPlayers = 0;
    char mName[NAME_SIZE] = {0};
    // Found games only: when the host last answered, and how many of this
    // machine's looks it has answered (never sent).
    uint32_t mLastSeen = 0;
    uint32_t mLooksAnswered = 0;
};

typedef KEMLinkedList<CNetGameDesc> CNetGameDescList;
