#include "HalNet.h"

#include <Platform.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

// ---- start-up -------------------------------------------------------------------
static uint32_t gMsgRead = 0, gMsgAccept = 0, gMsgConnect = 0;

int NetStartup() {
    // RegisterWindowMessageA hands out ids from 0xC000 up; the ids only need
    // to be distinct and stable.
    gMsgRead = 0xC000;
    gMsgAccept = 0xC001;
    gMsgConnect = 0xC002;
    return 0;
}

uint32_t NetGetReadMessageId() { return gMsgRead; }
uint32_t NetGetAcceptMessageId() { return gMsgAccept; }
uint32_t NetGetConnectMessageId() { return gMsgConnect; }

// ---- sockets ----------------------------------------------------------------------
static sockaddr_in MakeAddress(uint32_t hostOrderAddress, uint16_t port) {
    sockaddr_in addr;
    memset(&addr, 0, sizeof(addr));
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(hostOrderAddress);
    addr.sin_port = htons(port);
    return addr;
}

// The IPv4 address of a dotted text or, failing that, of a host name.
static bool ResolveHost(const char* host, in_addr* out) {
    if (!host || !*host)
        return false;
    in_addr_t a = inet_addr(host);
    if (a != INADDR_NONE) {
        out->s_addr = a;
        return true;
    }
    addrinfo hints;
    memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &res) != 0 || !res)
        return false;
    bool found = false;
    for (addrinfo* r = res; r; r = r->ai_next) {
        if (r->ai_family == AF_INET && r->ai_addr) {
            *out = reinterpret_cast<sockaddr_in*>(r->ai_addr)->sin_addr;
            found = true;
            break;
        }
    }
    freeaddrinfo(res);
    return found;
}

int ConnectPort(const char* host, uint16_t port) {
    in_addr ip;
    if (!ResolveHost(host, &ip))
        return -1;
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return -1;
    sockaddr_in addr = MakeAddress(0, port);
    addr.sin_addr = ip;
    int rc;
    do {
        rc = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        close(s);
        return -1;
    }
    return s;
}

int ListenPort(uint16_t port, int backlog) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        perror("ListenPort:socket");
        return -1;
    }
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));   // TCP listeners only
    sockaddr_in addr = MakeAddress(INADDR_ANY, port);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        perror("ListenPort:bind");
        close(s);
        return -1;
    }
    socklen_t len = sizeof(addr);
    if (getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || listen(s, backlog) != 0) {
        perror("ListenPort:getsockname");
        close(s);
        return -1;
    }
    return s;
}

int ListenUDPPort(uint16_t port) {
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) {
        perror("ListenUDPPort:socket");
        return -1;
    }
    // No SO_REUSEADDR: a port that is taken must make the bind fail.
    sockaddr_in addr = MakeAddress(INADDR_ANY, port);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        perror("ListenUDPPort:bind");
        close(s);
        return -1;
    }
    return s;
}

uint16_t SocketGetLocalPort(int socket) {
    if (socket < 0)
        return 0;
    sockaddr_in addr;
    socklen_t len = sizeof(addr);
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || addr.sin_family != AF_INET)
        return 0;
    return ntohs(addr.sin_port);
}

int SocketAccept(int socket) {
    if (socket < 0)
        return -1;
    int s;
    do {
        s = accept(socket, nullptr, nullptr);
    } while (s < 0 && errno == EINTR);
    return s < 0 ? -1 : s;
}

// select() on one set with a time-out; 1 ready, 0 not, -1 error. Descriptors
// that an fd_set cannot hold are errors rather than memory faults.
static int SelectOne(int socket, bool write, long seconds, long microseconds) {
    if (socket < 0 || socket >= FD_SETSIZE)
        return -1;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval tv;
    tv.tv_sec = seconds < 0 ? 0 : seconds;
    tv.tv_usec = microseconds < 0 ? 0 : microseconds;
    int rc = select(socket + 1, write ? nullptr : &set, write ? &set : nullptr, nullptr, &tv);
    if (rc < 0)
        return -1;
    return (rc > 0 && FD_ISSET(socket, &set)) ? 1 : 0;
}

int SocketCanWrite(int socket) {
    int rc = SelectOne(socket, true, 0, 0);
    return rc > 0 ? 2 : rc;
}

int SocketCanRead(int socket) { return SelectOne(socket, false, 0, 0); }

int SocketCanReadTimeout(int socket, long seconds, long microseconds) {
    return SelectOne(socket, false, seconds, microseconds);
}

int SocketSend(int socket, const void* data, int length) {
    if (length < 0)
        return -1;
    ssize_t n;
    do {
        n = send(socket, data, size_t(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? -2 : -1;
    return int(n);
}

int SocketSendAll(int socket, const void* data, int length) {
    if (length < 1)
        return 0;
    const char* p = static_cast<const char*>(data);
    int left = length;
    while (left > 0) {
        int n = SocketSend(socket, p, left);
        if (n == -2)
            continue;   // would block: retried at once
        if (n < 0)
            return -1;
        p += n;
        left -= n;
    }
    return 0;
}

int SocketRecv(int socket, void* buffer, int length) {
    if (length < 0)
        return -1;
    ssize_t n;
    do {
        n = recv(socket, buffer, size_t(length), 0);
    } while (n < 0 && errno == EINTR);
    return int(n);
}

void SocketClose(int socket) {
    if (socket >= 0)
        close(socket);
}

int SocketSendTo(int socket, uint32_t address, uint16_t port, const void* data, int length) {
    if (length < 0)
        return -1;
    sockaddr_in addr = MakeAddress(address, port);
    ssize_t n;
    do {
        n = sendto(socket, data, size_t(length), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    } while (n < 0 && errno == EINTR);
    return int(n);
}

int SocketRecvFrom(int socket, uint32_t* outAddress, uint16_t* outPort, void* buffer, int length) {
    if (length < 0)
        return -1;
    sockaddr_in addr;
    memset(&addr, 0, sizeof(addr));
    socklen_t len = sizeof(addr);
    ssize_t n;
    do {
        n = recvfrom(socket, buffer, size_t(length), 0, reinterpret_cast<sockaddr*>(&addr), &len);
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        if (outAddress)
            *outAddress = ntohl(addr.sin_addr.s_addr);
        if (outPort)
            *outPort = ntohs(addr.sin_port);
    }
    return int(n);
}

int SocketEnableBroadcast(int socket) {
    int on = 1;
    return setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) == 0 ? 1 : -1;
}

// ---- trace ----------------------------------------------------------------------
static NetTraceCallback gTraceCallback = nullptr;
static int gTraceSocket = -1;

void NetSetTraceCallback(NetTraceCallback callback) { gTraceCallback = callback; }
NetTraceCallback NetGetTraceCallback() { return gTraceCallback; }
void NetSetTraceSocket(int socket) { gTraceSocket = socket < 0 ? -1 : socket; }
int NetGetTraceSocket() { return gTraceSocket; }

void CloseTraceSocket() {
    if (gTraceSocket != -1) {
        SocketClose(gTraceSocket);
        gTraceSocket = -1;
    }
}

bool NetTraceV(const char* format, va_list args) {
    if (!gTraceCallback && gTraceSocket == -1)
        return false;
    if (!format)
        return false;
    char text[NET_TRACE_TEXT_SIZE];
    int n = vsnprintf(text, sizeof(text), format, args);   // bounded, truncating
    if (n < 0)
        text[0] = 0;
    if (gTraceCallback) {
        gTraceCallback(text);
        return false;
    }
    switch (SocketCanWrite(gTraceSocket)) {
    case 2:
        break;
    case 0:
        return false;   // not writable: the text is dropped
    default:
        gTraceSocket = -1;
        return false;
    }
    if (SocketSendAll(gTraceSocket, text, int(strlen(text)) + 1) != 0) {
        gTraceSocket = -1;
        return false;
    }
    return true;
}

bool NetTrace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool sent = NetTraceV(format, args);
    va_end(args);
    return sent;
}

void NetGetHostName(char* name, size_t size) {
    if (!name || size == 0)
        return;
    char buffer[256] = {0};
    if (gethostname(buffer, sizeof(buffer) - 1) != 0)
        buffer[0] = '\0';
    std::strncpy(name, buffer, size - 1);
    name[size - 1] = '\0';
}
