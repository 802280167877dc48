// The global client object's receive buffer.
#include <CNetClient.h>

#include <gtest/gtest.h>

TEST(NetClient, GlobalClientHasItsBufferAtStartUp) {
    EXPECT_NE(g_NetClient.GetReceiveBuffer(), nullptr);
    EXPECT_EQ(g_NetClient.GetReceiveBufferSize(), 32767u);
    EXPECT_EQ(CNetClient::RECEIVE_BUFFER_SIZE, 32767u);
}

TEST(NetClient, ConstructionSetsTheSlotEmpty) {
    CNetClient client;
    EXPECT_EQ(client.mActive, 0);
    EXPECT_EQ(client.mAddress, 0u);
    EXPECT_EQ(client.mSocket, -1);
    EXPECT_EQ(client.mLastReceiveTick, 0u);
    EXPECT_STREQ(client.mName, "");
    EXPECT_EQ(client.mExpectedFrameLength, 0u);
    EXPECT_EQ(client.mBytesReceived, 0u);
    EXPECT_EQ(client.mTeam, -1);
    // The whole buffer is ours to write (ASan would see anything past it).
    unsigned char* buffer = client.GetReceiveBuffer();
    ASSERT_NE(buffer, nullptr);
    buffer[0] = 1;
    buffer[CNetClient::RECEIVE_BUFFER_SIZE - 1] = 2;
    EXPECT_EQ(buffer[CNetClient::RECEIVE_BUFFER_SIZE - 1], 2);
}

TEST(NetClient, EveryClientOwnsItsOwnBuffer) {
    CNetClient a, b;
    EXPECT_NE(a.GetReceiveBuffer(), b.GetReceiveBuffer());
    EXPECT_NE(a.GetReceiveBuffer(), g_NetClient.GetReceiveBuffer());
}
