// Message type ids and the two records carried inside messages.
#include <CNetMgr.h>

#include <gtest/gtest.h>

#include <string>

TEST(NetMessages, CompileTimeTypeIdsEqualTheSerializersCrc) {
    const char* signatures[] = {
        NETSIG_R_QUERY_GAMELIST, NETSIG_A_QUERY_GAMELIST, NETSIG_R_QUERY_LOGIN, NETSIG_A_QUERY_LOGIN,
        NETSIG_A_NEW_PLAYER, NETSIG_A_LEAVE_PLAYER, NETSIG_E_KEEPALIVE, NETSIG_E_CHAT_MESSAGE,
        NETSIG_E_CUSTOM_OBJECT, NETSIG_E_UPDATE_PLAYER, NETSIG_E_HOST_START_GAME, NETSIG_E_NEXT_STEP_SIGNAL_HOST,
        NETSIG_E_NEXT_STEP_SIGNAL_CLIENTS, NETSIG_E_SHOOT_PARAMS, NETSIG_E_SHOOT_OPTIONS2, NETSIG_E_LAUNCHSET,
        NETSIG_E_BALLS_POSITIONS, NETSIG_CNETCLIENT_RECORD, NETSIG_CNETGAMEDESC_RECORD};
    for (const char* s : signatures)
        EXPECT_EQ(NetSignatureId(s), CObjnet::ComputeTypeId(s)) << s;
    // The two long signatures are spliced from pieces; a lost blank would
    // silently change the protocol.
    EXPECT_EQ(std::string(NETSIG_E_SHOOT_OPTIONS2),
              "CNetClient::e_shoot_options2(float angle,float anglemin,float anglemax,int playeridx, int "
              "playerpos,int balleffect)");
    EXPECT_EQ(std::string(NETSIG_E_SHOOT_PARAMS),
              "CNetClient::e_shoot_params(int controler_type, mPresetShootingAngle,mPresetUnbalance,"
              "mPresetBalanceGoAndBack,mPresetPower,mPresetUnbalance)");
}

TEST(NetRecords, GameDescriptionRoundTripsWithoutAddressOrPort) {
    CNetGameDesc desc(0x0A000001u, 4556);
    desc.mPlayerCount = 3;
    desc.mMaxPlayers = 6;
    NetCopyName(desc.mName, "Chez Fanny");
    CObjnet wire;
    desc.Serialize(wire);
    // Signature, name, two ushorts: exactly the documented wire form.
    EXPECT_EQ(wire.GetSize(), 4 + 4 + 10 + 2 + 2);

    CNetGameDesc read(0x7F000001u, 4555);
    wire.Rewind();
    ASSERT_TRUE(read.Unserialize(wire));
    EXPECT_STREQ(read.mName, "Chez Fanny");
    EXPECT_EQ(read.mPlayerCount, 3);
    EXPECT_EQ(read.mMaxPlayers, 6);
    EXPECT_EQ(read.mAddress, 0x7F000001u);
    EXPECT_EQ(read.mPort, 4555);
}

TEST(NetRecords, RecordsWithWrongSignatureOrOverlongNameLeaveTheTargetAlone) {
    const std::string names[] = {std::string(31, 'a'), std::string(32, 'b'), std::string(1000, 'c')};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        CObjnet client;
        client.StartSignature(NETSIG_CNETCLIENT_RECORD);
        client.WriteString(name.c_str());
        client.WriteInt(2);
        client.WriteInt(1);
        client.End();
        CNetClient slot;
        NetCopyName(slot.mName, "Before");
        client.Rewind();
        const bool fits = name.size() <= 31;
        EXPECT_EQ(slot.Unserialize(client), fits);
        EXPECT_EQ(std::string(slot.mName), fits ? name : "Before");
        EXPECT_EQ(slot.mTeam, fits ? 1 : -1);

        CObjnet game;
        game.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
        game.WriteString(name.c_str());
        game.WriteUShort(1);
        game.WriteUShort(2);
        game.End();
        CNetGameDesc desc;
        game.Rewind();
        EXPECT_EQ(desc.Unserialize(game), fits);
        EXPECT_EQ(desc.mMaxPlayers, fits ? 2 : 0);
    }

    CNetClient slot;
    CObjnet other;
    other.StartSignature(NETSIG_CNETGAMEDESC_RECORD);
    other.WriteString("Eve");
    other.End();
    other.Rewind();
    EXPECT_FALSE(slot.Unserialize(other));
    CNetGameDesc desc;
    CObjnet clientRecord;
    slot.Serialize(clientRecord);
    clientRecord.Rewind();
    EXPECT_FALSE(desc.Unserialize(clientRecord));
}

TEST(NetRecords, ActivateRefusesAnActiveSlotAndDesactivateFreesIt) {
    CNetClient slot;
    slot.mId = 3;
    ASSERT_TRUE(slot.Activate(-1, 0x7F000001u, "A name well beyond thirty-one characters"));
    EXPECT_STREQ(slot.mName, "A name well beyond thirty-one c");
    EXPECT_EQ(slot.mTeam, -1);
    slot.mTeam = 1;
    EXPECT_FALSE(slot.Activate(-1, 0, "Other"));
    EXPECT_STREQ(slot.mName, "A name well beyond thirty-one c");
    EXPECT_EQ(slot.mTeam, 1);
    slot.Desactivate();
    EXPECT_EQ(slot.mActive, 0);
    EXPECT_EQ(slot.mAddress, 0u);
    EXPECT_TRUE(slot.Activate(-1, 0, "Other"));
}
