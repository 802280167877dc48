// The end-to-end tests' LAN settings (TAVIRELO_TEST_LAN_*), read once before
// the first mode. Normal play sets none of them and nothing here acts:
// - TAVIRELO_TEST_NET_PORT=<port>: the network manager opens its sockets on
//   that port (a second instance on the machine takes the next one, as
//   usual) and enumerates on 127.0.0.1 instead of broadcasting;
// - TAVIRELO_TEST_NET_BROADCAST=<a.b.c.d>: where the enumeration goes;
// - TAVIRELO_TEST_LAN_COMPUTER=1: the computer plays this machine's sides of
//   a LAN match;
// - TAVIRELO_TEST_LAN=host or join: a LAN match started without the lobby.
//   The host offers a game on that port, waits for one client to log in and
//   starts the match from its "QUICKMATCHPARAMS" as the lobby's start does;
//   the client joins 127.0.0.1 on that port and starts from what it receives.
//   TAVIRELO_TEST_LAN_NAME names the player (the game, on the host).
#pragma once

// virtualClock: the game runs on the test's fixed-step clock; the network
// then measures peer silence on the wall clock. Returns the first mode: the
// match mode once a test LAN match is set up, else `mode`.
int TestLanStartUp(int mode, bool virtualClock);
