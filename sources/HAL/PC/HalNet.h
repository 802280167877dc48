// The socket layer (WinSock-style calls over POSIX sockets) and the
// program-wide trace printf NetTrace.
//
// Sockets are file descriptors; -1 (INVALID_SOCKET) is no socket. Sends use
// MSG_NOSIGNAL so a closed peer never raises SIGPIPE. Only TCP listeners set
// SO_REUSEADDR: a UDP bind on a port that is taken fails, which the LAN
// layer's 4555 -> 4556 fallback relies on. Readiness tests are select() with
// a zero time-out.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#ifndef INVALID_SOCKET
#define INVALID_SOCKET (-1)
#endif

// 0 (nothing to start on POSIX; the three message ids are kept all the same).
int NetStartup();
// The ids registered for "libnet_wsa_read", "libnet_wsa_accept" and
// "libnet_wsa_connect" (0 before NetStartup).
uint32_t NetGetReadMessageId();
uint32_t NetGetAcceptMessageId();
uint32_t NetGetConnectMessageId();

// Blocking TCP connect to a dotted IPv4 address or, failing that, a host name.
int ConnectPort(const char* host, uint16_t port);
// TCP socket bound to any address and the port, listening with backlog.
// Failures print perror "ListenPort:socket", "ListenPort:bind" or
// "ListenPort:getsockname".
int ListenPort(uint16_t port, int backlog);
// UDP socket bound to any address and the port. perror "ListenUDPPort:socket"
// or "ListenUDPPort:bind".
int ListenUDPPort(uint16_t port);
// The local port a socket is bound to (host order), 0 on error.
uint16_t SocketGetLocalPort(int socket);
// accept() on a listening socket; the new socket or -1.
int SocketAccept(int socket);

int SocketCanWrite(int socket);   // 2 writable, 0 not, -1 error
int SocketCanRead(int socket);    // 1 readable, 0 not, -1 error
int SocketCanReadTimeout(int socket, long seconds, long microseconds);

// Bytes sent; -2 when the call would block; -1 on any other error.
int SocketSend(int socket, const void* data, int length);
// 0 when everything was sent (also for a length below 1, without sending);
// -1 when a send fails. A would-block result is retried at once.
int SocketSendAll(int socket, const void* data, int length);
int SocketRecv(int socket, void* buffer, int length);
void SocketClose(int socket);
// The address is IPv4 in host order (the first octet in the high byte).
int SocketSendTo(int socket, uint32_t address, uint16_t port, const void* data, int length);
int SocketRecvFrom(int socket, uint32_t* outAddress, uint16_t* outPort, void* buffer, int length);
// 1, or -1 when SO_BROADCAST cannot be set.
int SocketEnableBroadcast(int socket);
// The computer's name, NUL-terminated and cut to size - 1 characters; "" when
// the system does not say.
void NetGetHostName(char* name, size_t size);

// ---- trace -------------------------------------------------------------------
// The trace printf: without a callback and without a trace socket it returns
// false at once. Otherwise it formats into 1024 bytes (bounded, truncating)
// and hands the text to the callback (false), or sends it with its NUL to the
// trace socket (true when sent; a failing socket is dropped).
bool NetTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool NetTraceV(const char* format, va_list args);

const int NET_TRACE_TEXT_SIZE = 1024;
typedef void (*NetTraceCallback)(const char* text);
// Nothing in the game installs a sink; these exist for logs and tests.
void NetSetTraceCallback(NetTraceCallback callback);
NetTraceCallback NetGetTraceCallback();
void NetSetTraceSocket(int socket);
int NetGetTraceSocket();
// Closes the trace socket when one is open and sets it to -1.
void CloseTraceSocket();
