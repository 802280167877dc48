// The socket layer on 127.0.0.1 and the bounded trace printf.
#include <HalNet.h>

#include <gtest/gtest.h>

#include "../../net/TestPorts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
const uint32_t kLoopback = 0x7F000001u;   // 127.0.0.1, host order

// A port no other test draws while this one runs.
uint16_t FreeUdpPort() {
    const uint16_t port = testports::ReservePortPair();
    EXPECT_NE(port, 0);
    return port;
}

// Waits (bounded) until the socket is readable.
bool WaitReadable(int s) { return SocketCanReadTimeout(s, 2, 0) == 1; }

std::vector<std::string> gTraces;
void Collect(const char* text) { gTraces.push_back(text); }
}  // namespace

TEST(Net, StartupSucceedsAndRegistersThreeDistinctIds) {
    EXPECT_EQ(NetStartup(), 0);
    EXPECT_NE(NetGetReadMessageId(), 0u);
    EXPECT_NE(NetGetReadMessageId(), NetGetAcceptMessageId());
    EXPECT_NE(NetGetAcceptMessageId(), NetGetConnectMessageId());
    EXPECT_EQ(NetStartup(), 0);   // twice is fine
}

TEST(Net, TcpConnectSendRecvOnLoopback) {
    int listener = ListenPort(0, 10);
    ASSERT_GE(listener, 0);
    uint16_t port = SocketGetLocalPort(listener);
    ASSERT_NE(port, 0);

    EXPECT_EQ(SocketCanRead(listener), 0);   // nobody connecting yet
    int client = ConnectPort("127.0.0.1", port);
    ASSERT_GE(client, 0);
    ASSERT_TRUE(WaitReadable(listener));     // a pending connection reads as readable
    int server = SocketAccept(listener);
    ASSERT_GE(server, 0);

    EXPECT_EQ(SocketCanWrite(client), 2);
    EXPECT_EQ(SocketCanRead(server), 0);
    const char msg[] = "CNetClient::e_keepalive()";
    EXPECT_EQ(SocketSend(client, msg, int(sizeof(msg))), int(sizeof(msg)));
    ASSERT_TRUE(WaitReadable(server));
    char buf[64] = {0};
    int got = 0;
    while (got < int(sizeof(msg)) && WaitReadable(server)) {
        int n = SocketRecv(server, buf + got, int(sizeof(buf)) - got);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_EQ(got, int(sizeof(msg)));
    EXPECT_STREQ(buf, msg);

    // A big block through SendAll arrives whole and in order.
    std::vector<char> big(200000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    // The reader drains while the writer sends: run the send in a child so a
    // full socket buffer cannot deadlock the test.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(SocketSendAll(client, big.data(), int(big.size())) == 0 ? 0 : 1);
    std::vector<char> in;
    char chunk[8192];
    while (in.size() < big.size() && WaitReadable(server)) {
        int n = SocketRecv(server, chunk, int(sizeof(chunk)));
        if (n <= 0)
            break;
        in.insert(in.end(), chunk, chunk + n);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(in, big);

    // A closed peer reads as readable with 0 bytes.
    SocketClose(client);
    ASSERT_TRUE(WaitReadable(server));
    EXPECT_EQ(SocketRecv(server, buf, int(sizeof(buf))), 0);
    SocketClose(server);
    SocketClose(listener);
}

TEST(Net, SendToAClosedPeerFailsWithoutSigpipe) {
    // With SIGPIPE at its default action a send without MSG_NOSIGNAL would
    // kill the test program here.
    signal(SIGPIPE, SIG_DFL);
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    int client = ConnectPort("127.0.0.1", SocketGetLocalPort(listener));
    ASSERT_GE(client, 0);
    ASSERT_TRUE(WaitReadable(listener));
    int server = SocketAccept(listener);
    ASSERT_GE(server, 0);
    SocketClose(server);
    char data[1024] = {0};
    int result = 0;
    for (int i = 0; i < 50 && result >= 0; ++i) {
        result = SocketSend(client, data, int(sizeof(data)));
        usleep(1000);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(SocketSendAll(client, data, int(sizeof(data))), -1);
    SocketClose(client);
    SocketClose(listener);
}

TEST(Net, ConnectFailuresReturnMinusOne) {
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    uint16_t port = SocketGetLocalPort(listener);
    SocketClose(listener);   // nobody listens there now
    EXPECT_EQ(ConnectPort("127.0.0.1", port), -1);
    EXPECT_EQ(ConnectPort(nullptr, port), -1);
    EXPECT_EQ(ConnectPort("", port), -1);
    EXPECT_EQ(ConnectPort("no-such-host.invalid", port), -1);
}

TEST(Net, ConnectByHostName) {
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    int client = ConnectPort("localhost", SocketGetLocalPort(listener));
    if (client < 0) {
        SocketClose(listener);
        GTEST_SKIP() << "localhost does not resolve to IPv4 here";
    }
    SocketClose(client);
    SocketClose(listener);
}

TEST(Net, UdpSendToRecvFromOnLoopback) {
    int a = ListenUDPPort(0);
    int b = ListenUDPPort(0);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    uint16_t portA = SocketGetLocalPort(a);
    uint16_t portB = SocketGetLocalPort(b);
    EXPECT_EQ(SocketEnableBroadcast(a), 1);

    EXPECT_EQ(SocketCanReadTimeout(b, 0, 0), 0);
    const char msg[] = "enum";
    EXPECT_EQ(SocketSendTo(a, kLoopback, portB, msg, 4), 4);
    ASSERT_TRUE(WaitReadable(b));
    char buf[32] = {0};
    uint32_t from = 0;
    uint16_t fromPort = 0;
    EXPECT_EQ(SocketRecvFrom(b, &from, &fromPort, buf, int(sizeof(buf))), 4);
    EXPECT_EQ(std::string(buf, 4), "enum");
    EXPECT_EQ(from, kLoopback);   // host order: first octet in the high byte
    EXPECT_EQ(fromPort, portA);

    // Out pointers are optional.
    EXPECT_EQ(SocketSendTo(a, kLoopback, portB, msg, 2), 2);
    ASSERT_TRUE(WaitReadable(b));
    EXPECT_EQ(SocketRecvFrom(b, nullptr, nullptr, buf, int(sizeof(buf))), 2);
    SocketClose(a);
    SocketClose(b);
}

TEST(Net, SecondUdpBindOnTheSamePortFails) {
    uint16_t port = FreeUdpPort();
    int first = ListenUDPPort(port);
    ASSERT_GE(first, 0);
    EXPECT_EQ(ListenUDPPort(port), -1);   // the LAN layer then tries port + 1
    int next = ListenUDPPort(uint16_t(port + 1));
    if (next >= 0)
        SocketClose(next);
    // A TCP listener on the same number is another protocol and may coexist.
    int tcp = ListenPort(port, 10);
    if (tcp >= 0)
        SocketClose(tcp);
    SocketClose(first);
    int again = ListenUDPPort(port);   // released: binds again
    EXPECT_GE(again, 0);
    SocketClose(again);
}

TEST(Net, TcpListenerCanRebindRightAfterClose) {
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    uint16_t port = SocketGetLocalPort(listener);
    int client = ConnectPort("127.0.0.1", port);
    ASSERT_GE(client, 0);
    ASSERT_TRUE(WaitReadable(listener));
    int server = SocketAccept(listener);
    ASSERT_GE(server, 0);
    SocketClose(server);   // the server side closes first: TIME_WAIT on the port
    SocketClose(client);
    SocketClose(listener);
    int again = ListenPort(port, 1);   // SO_REUSEADDR lets it bind at once
    EXPECT_GE(again, 0);
    SocketClose(again);
}

TEST(Net, SendAllWithLengthZeroSendsNothing) {
    // An invalid socket shows that send is never called.
    EXPECT_EQ(SocketSendAll(-1, "x", 0), 0);
    EXPECT_EQ(SocketSendAll(-1, nullptr, -5), 0);
    EXPECT_EQ(SocketSendAll(-1, "x", 1), -1);
}

TEST(Net, ErrorsOnBadSockets) {
    EXPECT_EQ(SocketCanRead(-1), -1);
    EXPECT_EQ(SocketCanWrite(-1), -1);
    EXPECT_EQ(SocketCanReadTimeout(-1, 0, 0), -1);
    EXPECT_EQ(SocketCanRead(FD_SETSIZE + 10), -1);   // beyond what select can hold
    EXPECT_EQ(SocketSend(-1, "x", 1), -1);
    EXPECT_LT(SocketRecv(-1, nullptr, 0), 0);
    EXPECT_EQ(SocketEnableBroadcast(-1), -1);
    SocketClose(-1);   // harmless
}

// ---- NetTrace -------------------------------------------------------------------

class Trace : public ::testing::Test {
protected:
    void SetUp() override {
        gTraces.clear();
        NetSetTraceCallback(nullptr);
        NetSetTraceSocket(-1);
    }
    void TearDown() override {
        NetSetTraceCallback(nullptr);
        CloseTraceSocket();
    }
};

TEST_F(Trace, WithoutSinkReturnsFalseAndDropsTheLine) {
    EXPECT_FALSE(NetTrace("CNetMgr::Init() => FAILED (TCP) ListenPortNumber(%u)", 4555u));
    EXPECT_TRUE(gTraces.empty());
}

TEST_F(Trace, CallbackReceivesTheFormattedLineAndResultIsFalse) {
    NetSetTraceCallback(&Collect);
    EXPECT_FALSE(NetTrace("CNetClient(%d)::Activate(name=%s) => OK ", 2, "Bob"));
    ASSERT_EQ(gTraces.size(), 1u);
    EXPECT_EQ(gTraces[0], "CNetClient(2)::Activate(name=Bob) => OK ");
}

TEST_F(Trace, LongLinesAreTruncatedTo1023Characters) {
    NetSetTraceCallback(&Collect);
    std::string big(5000, 'x');
    NetTrace("%s-%s", big.c_str(), "tail");
    ASSERT_EQ(gTraces.size(), 1u);
    EXPECT_EQ(gTraces[0].size(), size_t(NET_TRACE_TEXT_SIZE - 1));
    EXPECT_EQ(gTraces[0], std::string(1023, 'x'));
    gTraces.clear();
    std::string exact(1023, 'y');   // fits exactly
    NetTrace("%s", exact.c_str());
    EXPECT_EQ(gTraces[0], exact);
}

TEST_F(Trace, TraceSocketReceivesTheTextWithItsNul) {
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    int client = ConnectPort("127.0.0.1", SocketGetLocalPort(listener));
    ASSERT_GE(client, 0);
    ASSERT_TRUE(WaitReadable(listener));
    int server = SocketAccept(listener);
    ASSERT_GE(server, 0);

    NetSetTraceSocket(client);
    EXPECT_TRUE(NetTrace("line %d", 1));
    ASSERT_TRUE(WaitReadable(server));
    char buf[16];
    int got = 0;
    while (got < 7 && WaitReadable(server)) {
        int n = SocketRecv(server, buf + got, int(sizeof(buf)) - got);
        ASSERT_GT(n, 0);
        got += n;
    }
    ASSERT_EQ(got, 7);
    EXPECT_EQ(std::string(buf, 7), std::string("line 1\0", 7));

    // A callback takes precedence over the socket.
    NetSetTraceCallback(&Collect);
    EXPECT_FALSE(NetTrace("to callback"));
    EXPECT_EQ(SocketCanRead(server), 0);
    NetSetTraceCallback(nullptr);

    CloseTraceSocket();
    EXPECT_EQ(NetGetTraceSocket(), -1);
    EXPECT_FALSE(NetTrace("dropped"));
    CloseTraceSocket();   // twice: nothing
    SocketClose(server);
    SocketClose(listener);
}

TEST_F(Trace, FailingTraceSocketIsDropped) {
    // A descriptor that was just closed: select reports an error, so the
    // trace socket falls back to -1 and the line is dropped.
    int bad = ListenUDPPort(0);
    ASSERT_GE(bad, 0);
    SocketClose(bad);
    ASSERT_EQ(fcntl(bad, F_GETFD), -1);
    NetSetTraceSocket(bad);
    EXPECT_FALSE(NetTrace("x"));
    EXPECT_EQ(NetGetTraceSocket(), -1);
}

TEST_F(Trace, TraceSocketWhosePeerIsGoneIsDropped) {
    int listener = ListenPort(0, 1);
    ASSERT_GE(listener, 0);
    int client = ConnectPort("127.0.0.1", SocketGetLocalPort(listener));
    ASSERT_GE(client, 0);
    ASSERT_TRUE(WaitReadable(listener));
    int server = SocketAccept(listener);
    ASSERT_GE(server, 0);
    SocketClose(server);
    NetSetTraceSocket(client);
    // The first lines may still be buffered; once the reset arrives a send
    // fails and the socket is dropped (never a SIGPIPE).
    for (int i = 0; i < 50 && NetGetTraceSocket() != -1; ++i) {
        NetTrace("line %d", i);
        usleep(1000);
    }
    EXPECT_EQ(NetGetTraceSocket(), -1);
    SocketClose(client);
    SocketClose(listener);
}
