#include "NetPeerText.h"

#include "CNetMgr.h"

#include <cstdio>
#include <cstring>
#include <string>

bool NetTextHasControl(const char* text) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); c && *c; ++c)
        if (*c < 0x20 || *c == 0x7F)
            return true;
    return false;
}

namespace {
// 0xA0 is Latin-1's no-break space: it looks like a blank.
bool Blank(unsigned char c) { return c == ' ' || c == 0xA0; }

std::string Folded(const char* name) {
    std::string s(name ? name : "");
    size_t begin = 0, end = s.size();
    while (begin < end && Blank(static_cast<unsigned char>(s[begin])))
        ++begin;
    while (end > begin && Blank(static_cast<unsigned char>(s[end - 1])))
        --end;
    s = s.substr(begin, end - begin);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

bool NameTaken(const CNetMgr& mgr, int slotIndex, const char* name) {
    for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i) {
        const CNetClient& other = mgr.GetSlot(i);
        if (i != slotIndex && other.IsPlayer() && NetSameName(other.mName, name))
            return true;
    }
    return false;
}
}  // namespace

bool NetSameName(const char* a, const char* b) { return Folded(a) == Folded(b); }

void NetMakeNameUnique(const CNetMgr& mgr, int slotIndex, char (&name)[CNetClient::NAME_SIZE]) {
    if (!NameTaken(mgr, slotIndex, name))
        return;
    std::string base(name);
    while (!base.empty() && Blank(static_cast<unsigned char>(base.back())))
        base.pop_back();
    while (!base.empty() && Blank(static_cast<unsigned char>(base.front())))
        base.erase(0, 1);
    // Six slots: some number up to 7 is free.
    for (int n = 2; n <= CNetMgr::SLOT_COUNT + 1; ++n) {
        const std::string suffix = " " + std::to_string(n);
        const size_t room = size_t(CNetClient::NAME_SIZE - 1) - suffix.size();
        const std::string candidate = base.substr(0, room) + suffix;
        if (!NameTaken(mgr, slotIndex, candidate.c_str())) {
            NetCopyName(name, candidate.c_str());
            return;
        }
    }
}
