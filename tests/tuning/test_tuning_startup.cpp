// Tuning and start-up values at program start: the values are set before the entry
// point from "../../mediaDemo/Config/"; a missing folder is logged once per
// file and the program still starts with the zero defaults.
#include "TuningTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

using tuning_test::ScratchDir;

namespace {

struct ProbeRun {
    int status = -1;
    std::string output;   // stdout and stderr
    std::map<std::string, std::string> values;
};

ProbeRun RunProbe(const std::string& workingDir) {
    ProbeRun run;
    const std::string command = "cd '" + workingDir + "' && '" TUNING_STARTUP_PROBE "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    while (fgets(buffer, sizeof(buffer), pipe))
        run.output += buffer;
    run.status = pclose(pipe);
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            run.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return run;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(TuningStartup, MissingMediaIsLoggedOnceAndTheProgramStarts) {
    ScratchDir dir;
    const std::string work = dir.Path() + "/game/bin";
    ASSERT_EQ(std::system(("mkdir -p '" + work + "'").c_str()), 0);
    const ProbeRun run = RunProbe(work);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("reached main"), std::string::npos);
    EXPECT_EQ(run.values.at("unreadable"), "4");
    for (const char* file : {"tavirelo.cfg", "PhysicTricksEffects.cfg", "FX.cfg", "DefaultContextSound.cfg"})
        EXPECT_EQ(Count(run.output, std::string("../../mediaDemo/Config/") + file + "\""), 1u) << file;
    EXPECT_EQ(run.values.at("ENABLE_CHEAT"), "0");
    EXPECT_EQ(run.values.at("ANGLE_MAX_TIR"), "0");
    EXPECT_EQ(run.values.at("TEMPS_JAUGE_POWER_MOYEN"), "0");
    EXPECT_EQ(run.values.at("AngleSideEffect"), "90");
    EXPECT_EQ(run.values.at("HitGround"), "");
    // The rest does not depend on the media.
    EXPECT_EQ(run.values.at("window_class"), "KEMAppClass");
    EXPECT_EQ(run.values.at("app_pointer_ok"), "1");
    EXPECT_EQ(run.values.at("demo_player"), "LAN_PLAYER1");
    EXPECT_EQ(run.values.at("demo_players"), "LAN_PLAYER1,LAN_PLAYER2");
}

TEST(TuningStartup, ValuesComeFromTheMediaTwoLevelsUp) {
    ScratchDir dir;
    const std::string work = dir.Path() + "/game/bin";
    ASSERT_EQ(std::system(("mkdir -p '" + work + "'").c_str()), 0);
    ASSERT_EQ(std::system(("ln -s '" KEM_SOURCE_MEDIA "' '" + dir.Path() + "/mediaDemo'").c_str()), 0);
    const ProbeRun run = RunProbe(work);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.values.at("unreadable"), "0") << run.output;
    EXPECT_EQ(run.values.at("folder"), "../../mediaDemo/Config/");
    EXPECT_EQ(Count(run.output, "cannot read"), 0u) << run.output;
    EXPECT_NE(run.values.at("ANGLE_MAX_TIR"), "0");
    EXPECT_NE(run.values.at("TEMPS_JAUGE_POWER_MOYEN"), "0");
    EXPECT_NE(run.values.at("DIST_ENTRE_GRADUATION"), "0");
    EXPECT_NE(run.values.at("RetroBrakeFactor"), "0");
    EXPECT_NE(run.values.at("dustScale"), "0");
    EXPECT_NE(run.values.at("HitGround"), "");
    EXPECT_EQ(run.values.at("fade"), "1,1,1,0");
    EXPECT_EQ(run.values.at("seed_nonzero"), "1");
    EXPECT_EQ(run.values.at("spin_minus_y"), "-0.010000");   // sin(-0.01)
    EXPECT_EQ(run.values.at("controler_index5"), "5 current=-1,-1");
    EXPECT_EQ(run.values.at("net_buffer"), "32767 1");
}
