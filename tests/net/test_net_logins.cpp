// Who a peer is: one login a connection, under a name nobody else in the
// session bears and free of control characters, kept for the session. A
// peer that floods logins or renames itself by record costs the others
// nothing: no traffic, no redraw, no lost record of theirs.
#include "NetTestHelpers.h"

#include <NetPeerText.h>

#include <string>
#include <vector>

using namespace nettest;

namespace {

// Bytes waiting on the socket, read and counted.
size_t Drain(int socket) {
    size_t total = 0;
    char buffer[65536];
    while (SocketCanReadTimeout(socket, 0, 0) == 1) {
        const int n = SocketRecv(socket, buffer, int(sizeof(buffer)));
        if (n <= 0)
            break;
        total += size_t(n);
    }
    return total;
}

// The slot that holds the player of that name, -1 when none.
int SlotNamed(const CNetMgr& mgr, const std::string& name) {
    for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i)
        if (mgr.GetSlot(i).IsPlayer() && name == mgr.GetSlot(i).mName)
            return i;
    return -1;
}

// The client's own player record with a team, as its lobby sends it.
bool SendOwnRecord(Node& client, int32_t team) {
    CNetClient& own = client.mgr.GetSlot(client.mgr.GetOwnIndex());
    own.mTeam = team;
    CObjnet record;
    own.Serialize(record);
    CObjnet update;
    update.StartSignature(NETSIG_E_UPDATE_PLAYER);
    update.WriteUInt(uint32_t(client.mgr.GetOwnIndex()));
    update.WriteObject(&record);
    update.End();
    return client.mgr.TCPSendAction(update);
}

class LanLogins : public LanTest {};

}  // namespace

// A logged-in peer sends 20,000 logins under every name of the session.
// Before: each was answered to it and announced to everyone (6.37 MB), every
// lobby redrew its players for each, the honest client's answers spent its
// own rate so that its team change was dropped, and the last name renamed
// the peer on the host only. Now the host refuses every second login: it
// sends nothing, the others hear nothing, and the honest client's record
// goes through. A record that names the peer otherwise renames nobody.
TEST_F(LanLogins, ASecondLoginIsRefusedAndAFloodOfThemCostsTheOthersNothing) {
    auto host = MakeHost(6, "Partie");
    auto honest = Join(*host, "Falaise");
    const int pirate = ConnectPort("127.0.0.1", host->mgr.GetPort());
    ASSERT_GE(pirate, 0);
    ASSERT_TRUE(Send(pirate, Login("Pirate")));
    ASSERT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return honest->listener.Has("added:2"); }));
    PumpRounds({&host->mgr, &honest->mgr}, 20);
    const int seat = SlotNamed(host->mgr, "Pirate");
    ASSERT_EQ(seat, 2);
    Drain(pirate);
    const size_t honestEvents = honest->listener.events.size();
    const size_t hostEvents = host->listener.events.size();

    const char* const names[] = {"Falaise", "Partie", "Pirate", "Pirate 2", "[font='Nope']x"};
    const int kLogins = 20000;
    const int kChunk = 1000;
    for (int sent = 0; sent < kLogins; sent += kChunk) {
        std::vector<unsigned char> burst;
        for (int i = sent; i < sent + kChunk; ++i) {
            const std::vector<unsigned char> one = Login(names[i % 5]);
            burst.insert(burst.end(), one.begin(), one.end());
        }
        ASSERT_TRUE(Send(pirate, burst));
        PumpRounds({&host->mgr, &honest->mgr}, 12);
    }
    PumpRounds({&host->mgr, &honest->mgr}, 40);

    EXPECT_EQ(Drain(pirate), 0u) << "a refused login is answered";
    EXPECT_EQ(host->mgr.GetPlayerCount(), 3);
    EXPECT_STREQ(host->mgr.GetSlot(seat).mName, "Pirate");
    EXPECT_STREQ(honest->mgr.GetSlot(seat).mName, "Pirate");
    EXPECT_STREQ(host->mgr.GetSlot(1).mName, "Falaise");
    EXPECT_EQ(host->listener.events.size(), hostEvents) << host->listener.events.back();
    EXPECT_EQ(honest->listener.events.size(), honestEvents) << honest->listener.events.back();
    EXPECT_GE(CountTraces("REFUSED second login"), kLogins - 10);

    // The honest player's team change is taken at once.
    ASSERT_TRUE(SendOwnRecord(*honest, 1));
    EXPECT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return host->mgr.GetSlot(1).mTeam == 1; }));

    // A record under the honest player's name changes the pirate's team
    // only: its name stays, on the host and on what the host passes on.
    ASSERT_TRUE(Send(pirate, UpdatePlayer(uint32_t(seat), "Falaise", 0)));
    ASSERT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return honest->listener.Has("updated:2"); }));
    EXPECT_EQ(host->mgr.GetSlot(seat).mTeam, 0);
    EXPECT_EQ(honest->mgr.GetSlot(seat).mTeam, 0);
    EXPECT_STREQ(host->mgr.GetSlot(seat).mName, "Pirate");
    EXPECT_STREQ(honest->mgr.GetSlot(seat).mName, "Pirate");
    SocketClose(pirate);
}

// Names as the host takes them: one that another player bears (the host's
// included, whatever its case and blanks) is numbered, and the newcomer's
// own machine holds the name the host gave it; control characters or more
// than 31 characters refuse the login. Markup is only characters here.
TEST_F(LanLogins, NamesAreUniqueInTheSessionAndFreeOfControlCharacters) {
    auto host = MakeHost(6, "Partie");
    const std::string longName(31, 'L');
    auto first = Join(*host, longName.c_str());
    ASSERT_EQ(SlotNamed(host->mgr, longName), first->mgr.GetOwnIndex());

    struct Case {
        std::string asked;
        std::string given;   // empty: the login is refused and the connection closed
    };
    const std::vector<Case> cases = {
        {"Partie", "Partie 2"},
        {"  pARTIE ", "pARTIE 2"},
        {longName, std::string(29, 'L') + " 2"},
        {"[font='Nope']x", "[font='Nope']x"},
        {"[colour='00000000']Partie", "[colour='00000000']Partie"},
        {"Ligne\nPartie: partie annulee", ""},
        {"\x1b[31mrouge", ""},
        {"tab\tname", ""},
        {"del\x7f", ""},
        {std::string(32, 'x'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        const int players = host->mgr.GetPlayerCount();
        if (c.given.empty()) {
            const int s = ConnectPort("127.0.0.1", host->mgr.GetPort());
            ASSERT_GE(s, 0);
            ASSERT_TRUE(Send(s, Login(c.asked)));
            bool closed = false;
            for (int round = 0; round < 200 && !closed; ++round) {
                PumpRounds({&host->mgr, &first->mgr}, 1);
                closed = PeerClosed(s);
            }
            EXPECT_TRUE(closed);
            SocketClose(s);
            EXPECT_EQ(host->mgr.GetPlayerCount(), players);
            continue;
        }
        auto peer = Join(*host, c.asked.c_str(), {&first->mgr});
        const int index = peer->mgr.GetOwnIndex();
        EXPECT_EQ(host->mgr.GetPlayerCount(), players + 1);
        EXPECT_EQ(std::string(host->mgr.GetSlot(index).mName), c.given);
        EXPECT_EQ(std::string(peer->mgr.GetSlot(index).mName), c.given);
        EXPECT_EQ(std::string(first->mgr.GetSlot(index).mName), c.given);
        for (int i = 0; i < CNetMgr::SLOT_COUNT; ++i)
            for (int j = i + 1; j < CNetMgr::SLOT_COUNT; ++j)
                if (host->mgr.GetSlot(i).IsPlayer() && host->mgr.GetSlot(j).IsPlayer()) {
                    EXPECT_FALSE(NetSameName(host->mgr.GetSlot(i).mName, host->mgr.GetSlot(j).mName)) << i << j;
                }
        peer.reset();
        ASSERT_TRUE(PumpUntil({&host->mgr, &first->mgr}, [&] { return host->mgr.GetPlayerCount() == players; }));
        PumpRounds({&host->mgr, &first->mgr}, 10);
    }
}

// A chat line with a control character is nobody's line: the host neither
// shows nor passes it on (a newline faked a second line under another
// name). Markup travels as the characters it is.
TEST_F(LanLogins, ChatLinesWithControlCharactersAreRefusedAndMarkupTravelsAsCharacters) {
    auto host = MakeHost(6, "Partie");
    auto a = Join(*host, "Falaise");
    auto b = Join(*host, "Ecume", {&a->mgr});
    for (const char* line : {"salut\nPartie: partie annulee, quittez", "\rPartie: ", "\x1b[2J", "bip\x07"})
        ASSERT_TRUE(a->mgr.TCPSendChatMessage(line));
    ASSERT_TRUE(a->mgr.TCPSendChatMessage("[font='Nope']boum"));
    ASSERT_TRUE(PumpUntil({&host->mgr, &a->mgr, &b->mgr}, [&] { return b->listener.Has("chat:1:[font='Nope']boum"); }));
    PumpRounds({&host->mgr, &a->mgr, &b->mgr}, 10);
    for (Node* node : {host.get(), a.get(), b.get()}) {
        int lines = 0;
        for (const std::string& e : node->listener.events)
            lines += e.rfind("chat:", 0) == 0;
        EXPECT_EQ(lines, 1);
        EXPECT_TRUE(node->listener.Has("chat:1:[font='Nope']boum"));
    }
    EXPECT_EQ(CountTraces("REFUSED chat line with control characters"), 4);
}

// A peer that logs in, leaves and comes back, again and again: every lobby
// answers each arrival with its player's record. Those answers are the
// host's to pay for: before, 64 arrivals spent the honest player's whole
// rate and its next team change was dropped.
TEST_F(LanLogins, APeerComingAndGoingNeverSpendsAnotherPlayersRate) {
    auto host = MakeHost(6, "Partie");
    auto honest = Join(*host, "Falaise");
    const int kVisits = 120;   // 120 answers of 128 bytes: more than the burst of 8192
    for (int visit = 1; visit <= kVisits; ++visit) {
        const int s = ConnectPort("127.0.0.1", host->mgr.GetPort());
        ASSERT_GE(s, 0);
        ASSERT_TRUE(Send(s, Login("Pirate")));
        ASSERT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return honest->listener.Count("added:2") == visit; }));
        // The honest lobby answers with its record, as the game's lobby does.
        ASSERT_TRUE(SendOwnRecord(*honest, -1));
        PumpRounds({&host->mgr, &honest->mgr}, 2);
        SocketClose(s);
        ASSERT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return honest->listener.Count("left:2") == visit; }));
    }
    EXPECT_EQ(CountTraces("over its rate"), 0);
    ASSERT_TRUE(SendOwnRecord(*honest, 1));
    EXPECT_TRUE(PumpUntil({&host->mgr, &honest->mgr}, [&] { return host->mgr.GetSlot(1).mTeam == 1; }));
}
