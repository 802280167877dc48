// The cost of the game over the engine: one whole match frame (frame
// services, scene manager with physics, scripted nodes, the computer's time
// slice, particles, GUI and render, then the match mode's update with its
// HUD) on the La Ciotat venue with every ball of a tête-à-tête mene thrown
// and at rest (target ball and six balls), beside a frame of the same engine services rendering the venue
// alone. The match frame's counter "x_venue" is the ratio of the two, taken
// in one run; so is that of the venue holding thousands of sound nodes.
// Needs a display: run it under xvfb-run from anywhere.
//
// The match is the real one: started through the game's mode table with the
// test channel (fixed seed, both sides computer-played), played at a fast
// fixed step until the mene's last ball rests, then measured at a 1 ms step
// so that the result stays on screen while the frames are timed.
#include <CGameMode.h>
#include <CGUIMgr.h>
#include <CInputMgr.h>
#include <CKEMFrameWork.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <HalMessages.h>
#include <HalTimer.h>
#include <MainWindow.h>
#include <PlatWindow.h>
#include <Platform.h>
#include <TestControl.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The match plays location 3: the venue alone must be the same ground for the
// ratio to mean anything.
const char kVenue[] = "../../mediaDemo/Saved_Scenes/la_ciotat.xml";
const int kFrames = 300;

fs::path gControl;
double gVenueFrameSeconds = 0.0;

int CountLines(const std::string& line) {
    std::ifstream in(gControl / "report.txt");
    std::string text;
    int count = 0;
    while (std::getline(in, text))
        if (text == line)
            ++count;
    return count;
}

bool Reported(const std::string& prefix) {
    std::ifstream in(gControl / "report.txt");
    std::string text;
    while (std::getline(in, text))
        if (text.compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

void BM_VenueAloneFrame(benchmark::State& state) {
    if (!CKEMFrameWork::LoadScene(kVenue)) {
        state.SkipWithError("the venue does not load");
        return;
    }
    for (int i = 0; i < 30; ++i)
        g_pMainApp->StepFrame();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        g_pMainApp->StepFrame();
    gVenueFrameSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                         double(state.iterations());
    CKEMFrameWork::LoadScene(nullptr);
}

void BM_MatchFrame(benchmark::State& state) {
    std::unique_ptr<CGameMode> mode(CreateGameModeById(GAME_MODE_QUICK_MATCH, -1));
    if (!mode) {
        state.SkipWithError("no match mode in this build");
        return;
    }
    // The mode is the application's current one, as in the game-mode loop.
    g_pMainApp->SetCurrentGameMode(mode.get());
    mode->Init();
    // The target ball and the six balls of a tête-à-tête: the 7th throw
    // result of the first mene.
    const int kThrows = 7;
    bool ready = false;
    for (int frame = 0; frame < 200000 && !mode->IsFinished(); ++frame) {
        g_pMainApp->StepFrame();
        if (Reported("mene "))
            break;   // the mene ended early (target out): no full set of balls
        if (CountLines("state CQMGMLaunchResultState") >= kThrows) {
            ready = true;
            break;
        }
    }
    if (!ready) {
        state.SkipWithError("the first mene never had all its balls thrown");
        mode->Exit();
        g_pMainApp->SetCurrentGameMode(nullptr);
        return;
    }
    // Let the last ball rest, then hold the result on screen while timing.
    for (int i = 0; i < 10; ++i)
        g_pMainApp->StepFrame();
    gTimer.SetFixedStep(1.0f);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        g_pMainApp->StepFrame();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
    if (gVenueFrameSeconds > 0.0)
        state.counters["x_venue"] = seconds / gVenueFrameSeconds;
    mode->Exit();
    g_pMainApp->SetCurrentGameMode(nullptr);
}

BENCHMARK(BM_VenueAloneFrame)->Iterations(kFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchFrame)->Iterations(kFrames)->Unit(benchmark::kMillisecond);

// The venue alone with `count` sound nodes (class 10, no overlap handler)
// under its ground, as a hostile venue file may hold them: "x_venue" is the
// ratio to the venue's own frame, which the nodes must leave near 1.
void BM_VenueWithSoundNodes(benchmark::State& state) {
    std::stringstream text;
    text << std::ifstream(kVenue).rdbuf();
    std::string venue = text.str();
    const size_t end = venue.rfind("</ROOT>");
    if (end == std::string::npos) {
        state.SkipWithError("the venue cannot be read");
        return;
    }
    std::string nodes;
    for (int64_t i = 0; i < state.range(0); ++i)
        nodes += "<KEM_SCENE_NODE_VARLIST><CKEMSCENENODE_CLASSTYPE value=\"10\" /><CKEMSCENENODE_NAME value=\"flood" +
                 std::to_string(i) +
                 "\"/><CKEMSCENENODE_PARENTNAME value=\"terrain\"/>"
                 "<CKEMSCENENODE_POSITION_IC x=\"0\" y=\"0\" z=\"0\" /></KEM_SCENE_NODE_VARLIST>\n";
    venue.insert(end, nodes);
    const fs::path file = gControl / "flood.xml";
    std::ofstream(file) << venue;
    if (!CKEMFrameWork::LoadScene(file.c_str())) {
        state.SkipWithError("the venue with its sound nodes does not load");
        return;
    }
    for (int i = 0; i < 30; ++i)
        g_pMainApp->StepFrame();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        g_pMainApp->StepFrame();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
    if (gVenueFrameSeconds > 0.0)
        state.counters["x_venue"] = seconds / gVenueFrameSeconds;
    CKEMFrameWork::LoadScene(nullptr);
}

BENCHMARK(BM_VenueWithSoundNodes)->Arg(0)->Arg(1000)->Arg(5000)->Iterations(kFrames)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The tuning files are read before main, from the working directory:
    // start again from the game's.
    std::error_code error;
    if (fs::current_path(error) != fs::path(TAVIRELO_WORK_DIR)) {
        if (chdir(TAVIRELO_WORK_DIR) != 0) {
            std::cerr << "cannot enter " << TAVIRELO_WORK_DIR << "\n";
            return 1;
        }
        execv("/proc/self/exe", argv);
        std::cerr << "cannot start again in " << TAVIRELO_WORK_DIR << "\n";
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    gControl = fs::temp_directory_path() / ("bench_match_frame_" + std::to_string(getpid()));
    fs::create_directories(gControl);
    const fs::path match = gControl / "match.txt";
    std::ofstream(match) << "GAMEPARAMS.QuickMatch=1\nNbPlayers=0\nGameType=1\nTeamA=8\nTeamB=9\nlocation=3\n"
                            "IsRegional=0\n";
    setenv("TAVIRELO_TEST_CONTROL", gControl.c_str(), 1);
    setenv("TAVIRELO_TEST_SEED", "20261210", 1);
    setenv("TAVIRELO_TEST_TOSS", "0", 1);
    setenv("TAVIRELO_TEST_FIXED_STEP_MS", "100", 1);
    setenv("TAVIRELO_TEST_MATCH", match.c_str(), 1);
    setenv("TAVIRELO_NO_MESSAGEBOX", "1", 1);

    PlatInit();
    KEMWindowHandle window = CreateMainWindow();
    if (!window) {
        std::cerr << "no main window: run under a display (xvfb-run)\n";
        return 1;
    }
    CMainApp& app = *g_pMainApp;
    app.SetWindowHandle(window);
    PlatSetEventDispatcher(&MainWndProc);
    int status = 0;
    try {
        app.Init();
        PlatShowMainWindow();
        int width = 0, height = 0;
        PlatGetClientSize(MainWindowId(window), width, height);
        app.SetClientSize(width, height);
        TestStartUp(GAME_MODE_QUICK_MATCH);
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        status = 1;
    }
    HideAllOverlays();
    app.Shutdown();
    PlatSetEventDispatcher(nullptr);
    app.SetWindowHandle(nullptr);
    DestroyMainWindow();
    benchmark::Shutdown();
    fs::remove_all(gControl);
    return status;
}
