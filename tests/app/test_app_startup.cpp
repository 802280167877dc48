// What static initialization leaves at the game's entry point: every global
// object constructed in its initial state, nothing started, and the random
// generator seeded from the start time alone. The probe is linked as the game
// is and run from an empty working folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Probe {
    int status = -1;
    std::string output;
    std::map<std::string, std::string> values;
};

Probe RunProbe() {
    Probe probe;
    const fs::path work = fs::path(KEM_TEST_BINARY_DIR) / "startup_probe" / "game" / "bin";
    fs::create_directories(work);
    const std::string command = "cd '" + work.string() + "' && '" APP_STARTUP_PROBE "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return probe;
    char buffer[512];
    while (fgets(buffer, sizeof(buffer), pipe))
        probe.output += buffer;
    probe.status = pclose(pipe);
    std::istringstream lines(probe.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            probe.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return probe;
}

// The runtime generator's first draw after seeding.
int FirstDraw(uint32_t seed) { return int(((seed * 214013u + 2531011u) >> 16) & 0x7FFF); }

}  // namespace

TEST(AppStartup, GlobalsAreBuiltInTheirInitialStateAndNothingIsStarted) {
    const Probe probe = RunProbe();
    ASSERT_EQ(probe.status, 0) << probe.output;
    const std::map<std::string, std::string> expected = {
        {"timer_name", "Unamed Timer"},
        {"timer_time", "0"},
        {"app", "1 mode=0 period=0 window=0"},
        {"net", "-1 4555 -1 -1"},
        {"gui", "-1 -1 0"},
        {"sound", "0 0 10 10"},
        {"tournament", "0"},
        {"graphics", "1 1 ''"},
        {"tables", "0 0"},
        {"language", "1 0"},
        {"settings", "0 running=0"},
        {"engine", "0 0 0 0"},
        {"physics", "0 0"},
        {"ai", "0 10"},
    };
    for (const auto& [key, value] : expected) {
        ASSERT_TRUE(probe.values.count(key)) << key << "\n" << probe.output;
        EXPECT_EQ(probe.values.at(key), value) << key;
    }
}

TEST(AppStartup, TheRandomSequenceDependsOnlyOnTheStartSecond) {
    const uint32_t before = uint32_t(std::time(nullptr));
    const Probe probe = RunProbe();
    const uint32_t after = uint32_t(std::time(nullptr));
    ASSERT_EQ(probe.status, 0) << probe.output;
    const uint32_t seed = uint32_t(std::stoul(probe.values.at("seed")));
    EXPECT_GE(seed, before);
    EXPECT_LE(seed, after);
    // Nothing drew before the entry point: the first draw is the seed's.
    EXPECT_EQ(std::stoi(probe.values.at("first_draw")), FirstDraw(seed));
}
