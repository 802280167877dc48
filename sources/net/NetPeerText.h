// What a host takes of the texts a peer sends, names and chat lines, which
// every screen of the session shows: no control characters (a newline fakes
// a second line under another name), and no two players under one name.
#pragma once

#include "CNetClient.h"

class CNetMgr;

// Any byte below 0x20, or 0x7F.
bool NetTextHasControl(const char* text);
// Names compare without case (ASCII) and without the blanks around them:
// "hote " passes for "Hote" on a screen.
bool NetSameName(const char* a, const char* b);
// The name, or, when another player of the session (the host included)
// already bears it, the name followed by " 2", " 3"... cut to fit 31
// characters. The slot's own name does not count.
void NetMakeNameUnique(const CNetMgr& mgr, int slotIndex, char (&name)[CNetClient::NAME_SIZE]);
