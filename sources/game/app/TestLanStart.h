// The end-to-end tests' LAN settings, read once before
// the first mode. Normal play sets none of them and nothing here acts:
// - TAVIRELO_TEST_NET_PORT=<port>: the network manager opens its sockets on
//   that port (a second instance on the machine takes the next one, as
//   usual) and enumerates on 127.0.0.1 instead of broadcasting;
// - TAVIRELO_TEST_NET_BROADCAST=<a.b.c.d>: where the enumeration goes;
// - TAVIRELO_TEST_LAN_COMPUTER=1: the computer plays this machine's sides of
//   a LAN match (its decisions go out as this machine's throws);
// - TAVIRELO_TEST_LAN_HOSTILE_BALLS=1: this machine behaves as a hostile
//   peer: right after each of its throws' genuine ball positions it sends
//   ball positions that no machine may take (NaN or huge places, the
//   ground's collider, the venue and its cameras hidden), one kind a throw
//   in turn, so that a machine taking them would replay them.
#pragma once

// virtualClock: the game runs on the test's fixed-step clock; the network
// then measures peer silence on the wall clock.
void TestLanStartUp(bool virtualClock);
