// The same figure as ai_match_figure, from the game itself: seeded
// one-a-side matches (France against Italy on the Marseille ground) with
// both sides computer-played, at a fixed step under a virtual display, read
// from the game's test report ("mene" and "final" lines). The two sides'
// computer levels are set in the run's own copy of the team table: once
// level 9 against level 3 (the stronger side alternates), once 3 against 3.
//
//   xvfb-run -a ai_match_figure_game [matches per pairing, default 20] [first seed, default 1]
//
// A figure, not a test: slow (each match is a whole game run).
#include <E2EDriver.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kMatchMode = 0;
const char* const kSideNames[2] = {"France", "Italie"};

// The run's team table: its own copy, with every difficulty's computer level
// of the two sides replaced.
bool SetLevels(const fs::path& root, int levelA, int levelB) {
    const fs::path data = root / "mediaDemo" / "Data";
    const fs::path shared = fs::read_symlink(data);
    fs::remove(data);
    fs::copy(shared, data, fs::copy_options::recursive);
    const fs::path table = data / "Equipes_DB.csv";
    std::ifstream in(table);
    std::stringstream out;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, ';'))
            fields.push_back(field);
        for (int side = 0; side < 2; ++side) {
            if (fields.size() >= 8 && fields[0] == kSideNames[side]) {
                const std::string level = std::to_string(side == 0 ? levelA : levelB);
                fields[3] = fields[5] = fields[7] = level;
            }
        }
        for (size_t i = 0; i < fields.size(); ++i)
            out << (i ? ";" : "") << fields[i];
        out << '\n';
    }
    in.close();
    std::ofstream(table, std::ios::trunc) << out.str();
    return true;
}

struct Result {
    bool done = false;
    int score[2] = {0, 0};
    std::vector<int> menePoints;
};

Result PlayMatch(unsigned seed, int levelA, int levelB) {
    Result result;
    e2e::GameRun game("figure");
    game.Seed(seed);
    game.FixedStepMs(40);
    game.StartMode(kMatchMode);
    game.Toss(static_cast<int>((seed / 2) % 2));   // not tied to the stronger side
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=1", "TeamA=8", "TeamB=9", "location=3",
                "IsRegional=0"});
    SetLevels(game.Root(), levelA, levelB);
    if (!game.Start())
        return result;
    std::string line;
    if (game.WaitFor("^final ", 1800, &line)) {
        const std::vector<std::string> words = e2e::Words(line);
        if (words.size() >= 3) {
            result.score[0] = std::atoi(words[1].c_str());
            result.score[1] = std::atoi(words[2].c_str());
            result.done = true;
        }
    }
    for (const std::string& reported : game.Lines()) {
        const std::vector<std::string> w = e2e::Words(reported);
        if (w.size() == 4 && w[0] == "mene")
            result.menePoints.push_back(std::atoi(w[3].c_str()));
    }
    game.Stop();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int matches = argc > 1 ? std::atoi(argv[1]) : 20;
    const unsigned firstSeed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u;
    struct Pairing {
        const char* title;
        int strong, weak;
    } pairings[] = {{"level 9 vs level 3", 9, 3}, {"level 3 vs level 3", 3, 3}};
    for (const Pairing& pairing : pairings) {
        int wins[2] = {0, 0}, played = 0;
        long menes = 0, points = 0;
        for (int m = 0; m < matches; ++m) {
            const unsigned seed = firstSeed + static_cast<unsigned>(m);
            // The stronger side alternates between the two teams.
            const int strongSide = static_cast<int>(seed % 2);
            const Result r = PlayMatch(seed, strongSide == 0 ? pairing.strong : pairing.weak,
                                       strongSide == 0 ? pairing.weak : pairing.strong);
            if (!r.done) {
                std::printf("  seed %u: no final score\n", seed);
                continue;
            }
            ++played;
            // Equal scores count as a win of the second side.
            const int winner = r.score[0] > r.score[1] ? 0 : 1;
            ++wins[winner == strongSide ? 0 : 1];
            for (int p : r.menePoints) {
                ++menes;
                points += p;
            }
            std::printf("  seed %u: %d - %d (first side level %d), %zu menes\n", seed, r.score[0], r.score[1],
                        strongSide == 0 ? pairing.strong : pairing.weak, r.menePoints.size());
            std::fflush(stdout);
        }
        std::printf("%s: %d matches played; first-named wins %d, other %d; mean points per mene %.2f\n",
                    pairing.title, played, wins[0], wins[1], menes ? static_cast<double>(points) / menes : 0.0);
        std::fflush(stdout);
    }
    return 0;
}
