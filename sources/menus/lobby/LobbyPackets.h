// The lobby's two shared records, carried inside "CNetClient::e_custom_object"
// messages: the match settings the host chooses and the make-up of one team.
// Both are a signature followed by signed 32-bit ints.
#pragma once

#include <cstdint>

class CObjnet;

// The match settings; only the host sends them.
struct CGameInfosPacketV2 {
    static const char kSignature[];   // "CGameInfosPacketV2"

    int32_t mPlayersPerTeam = -1;   // 1, 2 or 3; -1 none
    int32_t mRegional = -1;         // 1 regions ("FRANCE"), 0 countries ("WORLD"); -1 none
    int32_t mLocation = -1;         // venue item id; -1 none

    // Starts the object, writes the fields and ends it.
    void Write(CObjnet& object) const;
    // False when the signature differs or a field is missing (the record is
    // then unchanged).
    bool Read(CObjnet& object);
};

// One team: which side, which team of the table, which of its players in
// which role. Sent by that team's leader, and by the host for both teams.
struct CTeamInfosPacketV1 {
    static const char kSignature[];   // "CTeamInfosPacketV1"

    int32_t mSide = -1;        // 0 team A, 1 team B
    int32_t mTeamIndex = -1;   // which record the receiver replaces: 0 or 1
    int32_t mTeamId = -1;      // region or country id; -1 none
    int32_t mPointer = -1;     // position in the team's player list; -1 none
    int32_t mShooter = -1;
    int32_t mMiddle = -1;

    void Write(CObjnet& object) const;
    bool Read(CObjnet& object);
    // The actor of a role: 0 pointer, 1 shooter, 2 middle.
    int32_t Actor(int role) const { return role == 0 ? mPointer : role == 1 ? mShooter : mMiddle; }
};
