// Base ports for network tests that run side by side (ctest -j).
//
// A port the kernel handed out as ephemeral and the test released can be
// taken again at once by any other test's outgoing socket or port-0 bind, so
// ports are drawn below the ephemeral range instead, where nothing is handed
// out. Each drawn port is claimed with a lock file held until the process
// ends, so two tests never draw the same one between checking it and binding.
#pragma once

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace testports {

// The kernel's ephemeral range; the usual default when it cannot be read.
inline void EphemeralRange(int& low, int& high) {
    low = 32768;
    high = 60999;
    std::ifstream in("/proc/sys/net/ipv4/ip_local_port_range");
    int l = 0, h = 0;
    if (in >> l >> h && l > 0 && h >= l) {
        low = l;
        high = h;
    }
}

inline bool Bindable(uint16_t port, int type) {
    const int s = socket(AF_INET, type, 0);
    if (s < 0)
        return false;
    sockaddr_in addr;
    std::memset(&addr, 0, sizeof(addr));
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    const bool ok = bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    close(s);
    return ok;
}

// Claims `port` for this process; false when another process holds it.
// The descriptor stays open on purpose: the lock goes with the process.
inline bool Claim(uint16_t port) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error) / "tavirelo-test-ports";
    std::filesystem::create_directories(folder, error);
    const std::string file = (folder / (std::to_string(port) + ".lock")).string();
    const int fd = open(file.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0)
        return true;   // no lock folder: the bind checks alone decide
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    return true;
}

// An even base port p, outside the ephemeral range, with UDP and TCP free on
// p and p + 1 (where a second game of a machine goes). 0 when none was found.
inline uint16_t ReservePortPair() {
    int low = 0, high = 0;
    EphemeralRange(low, high);
    int first = 10000, last = low - 2;
    if (last - first < 1000) {   // a range set low: draw above it instead
        first = high + 2;
        last = 64998;
    }
    if (last - first < 100)
        return 0;
    std::mt19937 draw(static_cast<unsigned>(getpid()) * 2654435761u ^
                      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> pick(first / 2, last / 2);
    for (int attempt = 0; attempt < 500; ++attempt) {
        const uint16_t port = static_cast<uint16_t>(pick(draw) * 2);
        bool free = true;
        for (uint16_t p = port; free && p <= port + 1; ++p)
            free = Bindable(p, SOCK_STREAM) && Bindable(p, SOCK_DGRAM);
        if (free && Claim(port))
            return port;
    }
    return 0;
}

}  // namespace testports
