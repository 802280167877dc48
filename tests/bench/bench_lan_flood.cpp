// Frames a LAN host runs while a hostile machine floods it: the host's lobby
// (team screen on CEGUI's Null renderer) and its network manager, one frame
// being the network's Manage and the lobby's Update as the main loop runs
// them. Each flood lasts one second of wall time on 127.0.0.1, sent from a
// thread of its own; the figures are the "frames" counter, the mean and
// longest frame, and what the host sent the two players who did not flood.
// The baseline runs with nobody sending.
#include "NetTestHelpers.h"

#include <GuiTestUtil.h>

#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CMenuLobbyingGameMode.h>
#include <CNetMgr.h>

#include <CEGUI/CEGUI.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace nettest;

namespace {

enum Flood { kNone, kDatagrams, kIdleConnections, kChat, kThrowsForOthers, kLogins };
const char* const kFloodNames[] = {"none", "datagrams", "idle connections", "chat of long lines",
                                   "throws for others' controllers", "logins from a logged-in player"};

// The host's lobby with three logged-in raw players.
struct Host {
    NullGuiSession gui;
    std::unique_ptr<CMenuLobbyingGameMode> mode;
    std::vector<int> players;

    bool Start(uint16_t port) {
        if (!gui.Start(gGUIMgr) || !gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"))
            return false;
        CLangDB::Instance().Clear();
        g_NetMgr.SetBasePort(port);
        g_NetMgr.SetBroadcastAddress(kLoopback);
        if (!g_NetMgr.Init())
            return false;
        mode.reset(new CMenuLobbyingGameMode(-1));
        mode->Init();
        mode->Update();
        CEGUI::Window* create = gGUIMgr.GetWindow("BtnCreate");
        if (!create)
            return false;
        CEGUI::MouseEventArgs click(create);
        click.button = CEGUI::LeftButton;
        create->fireEvent(CEGUI::Window::EventMouseClick, click, CEGUI::Window::EventNamespace);
        mode->Update();
        for (int k = 0; k < 3; ++k) {
            const int s = ConnectPort("127.0.0.1", g_NetMgr.GetPort());
            CObjnet login;
            login.StartSignature(NETSIG_R_QUERY_LOGIN);
            login.WriteString(("Pirate" + std::to_string(k)).c_str());
            login.End();
            const auto bytes = Framed(login);
            SendRaw(s, bytes.data(), bytes.size());
            players.push_back(s);
        }
        for (int round = 0; round < 200; ++round) {
            Frame();
            Drain();
            usleep(1000);
        }
        return mode->IsTeamScreenBuilt();
    }
    void Stop() {
        for (int s : players)
            SocketClose(s);
        players.clear();
        if (mode) {
            mode->Exit();
            mode.reset();
        }
        g_NetMgr.Shutdown();
        gui.Stop();
    }
    void Frame() {
        g_NetMgr.Manage();
        mode->Update();
    }
    // What the host sends the raw players is read and thrown away; the
    // bytes the players other than the first took are counted.
    int64_t othersBytes = 0;
    void Drain() {
        char buffer[65536];
        for (size_t k = 0; k < players.size(); ++k) {
            int n = 0;
            while (SocketCanReadTimeout(players[k], 0, 0) == 1 &&
                   (n = SocketRecv(players[k], buffer, int(sizeof(buffer)))) > 0)
                if (k > 0)
                    othersBytes += n;
        }
    }
};

void Send(Flood flood, const Host& host, std::atomic<bool>& stop) {
    const uint16_t port = g_NetMgr.GetPort();
    switch (flood) {
    case kDatagrams: {
        const int s = ListenUDPPort(0);
        CObjnet request;
        request.StartSignature(NETSIG_R_QUERY_GAMELIST);
        request.End();
        while (!stop)
            SocketSendTo(s, kLoopback, port, request.GetData(), request.GetSize());
        SocketClose(s);
        return;
    }
    case kIdleConnections: {
        std::vector<int> idle(8, -1);
        char buffer[256];
        while (!stop) {
            for (int& s : idle) {
                if (s >= 0 && SocketCanReadTimeout(s, 0, 0) == 1 && SocketRecv(s, buffer, int(sizeof(buffer))) <= 0) {
                    SocketClose(s);
                    s = -1;
                }
                if (s < 0)
                    s = ConnectPort("127.0.0.1", port);
            }
        }
        for (int s : idle)
            SocketClose(s);
        return;
    }
    case kChat:
    case kThrowsForOthers: {
        std::vector<std::vector<unsigned char>> messages;
        for (int k = 0; k < 3; ++k) {
            CObjnet m;
            if (flood == kChat) {
                m.StartSignature(NETSIG_E_CHAT_MESSAGE);
                m.WriteUInt(uint32_t(k + 1));
                m.WriteString(std::string(CNetMgr::CHAT_TEXT_MAX, char('a' + k)).c_str());
            } else {
                m.StartSignature(NETSIG_E_LAUNCHSET);
                m.WriteUInt(0);
                m.WriteInt(7);   // the host's controller
                for (int i = 0; i < 6; ++i)
                    m.WriteFloat(1.0f);
            }
            m.End();
            messages.push_back(Framed(m));
        }
        while (!stop)
            for (size_t k = 0; k < host.players.size(); ++k)
                SocketSendAll(host.players[k], messages[k].data(), int(messages[k].size()));
        return;
    }
    case kLogins: {
        // The first player logs in again and again under every name.
        std::vector<unsigned char> burst;
        for (int k = 0; k < 64; ++k) {
            CObjnet login;
            login.StartSignature(NETSIG_R_QUERY_LOGIN);
            login.WriteString(("Pirate" + std::to_string(k % 4)).c_str());
            login.End();
            const auto bytes = Framed(login);
            burst.insert(burst.end(), bytes.begin(), bytes.end());
        }
        while (!stop)
            SocketSendAll(host.players[0], burst.data(), int(burst.size()));
        return;
    }
    case kNone:
        return;
    }
}

void BM_HostFramesDuringAFlood(benchmark::State& state) {
    const Flood flood = Flood(state.range(0));
    state.SetLabel(kFloodNames[flood]);
    const uint16_t port = FindFreePortPair();
    Host host;
    if (port == 0 || !host.Start(port)) {
        state.SkipWithError("the host's lobby did not start");
        host.Stop();
        return;
    }
    for (auto _ : state) {
        std::atomic<bool> stop{false}, done{false};
        std::thread sender([&] {
            Send(flood, host, stop);
            done = true;
        });
        host.othersBytes = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        int64_t frames = 0;
        double longest = 0.0;
        auto last = std::chrono::steady_clock::now();
        while (last < end) {
            host.Frame();
            host.Drain();
            ++frames;
            const auto now = std::chrono::steady_clock::now();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        const int64_t othersBytes = host.othersBytes;
        stop = true;
        // A sender blocked on a full socket goes on once the host reads.
        while (!done) {
            host.Frame();
            host.Drain();
        }
        sender.join();
        state.counters["frames"] = double(frames);
        state.counters["frame_ms_mean"] = frames ? 1000.0 / double(frames) : 0.0;
        state.counters["frame_ms_max"] = longest;
        state.counters["others_kb"] = double(othersBytes) / 1024.0;
        state.counters["players"] = g_NetMgr.GetPlayerCount();
    }
    host.Stop();
}

}  // namespace

BENCHMARK(BM_HostFramesDuringAFlood)
    ->DenseRange(kNone, kLogins)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
