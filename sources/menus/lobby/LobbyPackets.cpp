#include "LobbyPackets.h"

#include <CObjnet.h>

const char CGameInfosPacketV2::kSignature[] = "CGameInfosPacketV2";
const char CTeamInfosPacketV1::kSignature[] = "CTeamInfosPacketV1";

void CGameInfosPacketV2::Write(CObjnet& object) const {
    object.StartSignature(kSignature);
    object.WriteInt(mPlayersPerTeam);
    object.WriteInt(mRegional);
    object.WriteInt(mLocation);
    object.End();
}

bool CGameInfosPacketV2::Read(CObjnet& object) {
    if (object.BeginReadSignature(kSignature) != 0)
        return false;
    CGameInfosPacketV2 read;
    read.mPlayersPerTeam = object.ReadInt();
    read.mRegional = object.ReadInt();
    read.mLocation = object.ReadInt();
    // A record cut short would leave zeros standing for choices.
    if (object.IsFailed())
        return false;
    *this = read;
    return true;
}

void CTeamInfosPacketV1::Write(CObjnet& object) const {
    object.StartSignature(kSignature);
    object.WriteInt(mSide);
    object.WriteInt(mTeamIndex);
    object.WriteInt(mTeamId);
    object.WriteInt(mPointer);
    object.WriteInt(mShooter);
    object.WriteInt(mMiddle);
    object.End();
}

bool CTeamInfosPacketV1::Read(CObjnet& object) {
    if (object.BeginReadSignature(kSignature) != 0)
        return false;
    CTeamInfosPacketV1 read;
    read.mSide = object.ReadInt();
    read.mTeamIndex = object.ReadInt();
    read.mTeamId = object.ReadInt();
    read.mPointer = object.ReadInt();
    read.mShooter = object.ReadInt();
    read.mMiddle = object.ReadInt();
    if (object.IsFailed())
        return false;
    *this = read;
    return true;
}
