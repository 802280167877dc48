// The computer opponent's strength as the game plays it: seeded one-a-side
// matches on the La Ciotat ground, both sides computer-played, each a whole
// run of the game (referee, throw, venue ground and physics, the computer's
// scheduler and budgets, stress and fatigue) at a fixed step under a virtual
// display, read from the game's test report. The fixed step gives the
// computer the search it makes on a real clock (the game's test channel
// keeps its clock still while it thinks).
//
// "levels": for each difficulty, two pairings of our shipped teams: France
// (levels 5/7/9 at easy/medium/hard) against Italy (3/5/7), and the mirrored
// Italy against Belgium (3/5/7).
// "sides": one difficulty against another, each side's computer deciding and
// throwing at its own (the test channel's side difficulties): easy against
// hard with Italy and Belgium (both 3/5/7), each team once the easy one.
// The sides swap from one seed to the next, and the toss alternates apart
// from the swap.
//
//   ai_match_figure [matches per pairing, default 20] [parallel games, default 3] [first seed, default 1]
//                   [levels | sides | all, default levels]
//
// A figure, not a test. Every game runs on an X server of its own.
#include <E2EDriver.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kMatchMode = 0;
const unsigned kFixedStepMs = 100;

struct Pairing {
    int difficulty;               // the game's setting
    int sideDifficulty[2];        // of the first and second team; -1: the setting
    int first, second;            // national team ids
    const char* title;
    bool SidesDiffer() const { return sideDifficulty[0] >= 0; }
};

const char* const kDifficultyNames[3] = {"easy", "medium", "hard"};

// One match as the report tells it.
struct Result {
    bool done = false;
    int score[2] = {0, 0};   // of the pairing's first and second team
    int menes = 0, points = 0;
    int targetThrows = 0, targetFailures = 0, throws = 0, settleLimits = 0;
    int difficulty = -1, levels[2] = {-1, -1};   // as the game reports them
    int sideDifficulty[2] = {-1, -1};              // as the game reports them, of the first and second team
    double wallSeconds = 0.0;
    long tested = 0, candidates = 0;   // throw candidates the computer scored, of those it had
};

// The run's own copy of the settings the game starts with: the difficulty,
// and the cheapest drawing (it changes nothing of the play).
bool WriteDifficulty(const e2e::GameRun& game, int difficulty) {
    const fs::path file = game.Root() / "mediaDemo" / "Config" / "Configuration.cfg";
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::string settings = text.str();
    const std::regex value(R"((name="difficulty_level" value=")[0-9]+("))");
    if (!std::regex_search(settings, value))
        return false;
    settings = std::regex_replace(settings, value, "$01" + std::to_string(difficulty) + "$02");
    settings = std::regex_replace(settings, std::regex(R"((name="shadows" value=")[a-z]+("))"), "$01off$02");
    settings = std::regex_replace(settings, std::regex(R"((name="texture_quality" value=")[a-z]+("))"), "$01low$02");
    std::ofstream(file, std::ios::trunc) << settings;
    return true;
}

Result PlayMatch(const Pairing& pairing, unsigned seed, const std::string& name) {
    Result result;
    const bool swapped = seed % 2 == 1;
    e2e::GameRun game(name);
    game.Seed(seed);
    game.FixedStepMs(kFixedStepMs);
    game.StartMode(kMatchMode);
    game.Toss(static_cast<int>((seed / 2) % 2));
    const int teamA = swapped ? pairing.second : pairing.first, teamB = swapped ? pairing.first : pairing.second;
    if (pairing.SidesDiffer()) {
        const int a = pairing.sideDifficulty[swapped ? 1 : 0], b = pairing.sideDifficulty[swapped ? 0 : 1];
        game.Env("TAVIRELO_TEST_SIDE_DIFFICULTY", std::to_string(a) + "," + std::to_string(b));
    }
    const auto started = std::chrono::steady_clock::now();
    game.Match({"GAMEPARAMS.QuickMatch=1", "NbPlayers=0", "GameType=1", "TeamA=" + std::to_string(teamA),
                "TeamB=" + std::to_string(teamB), "location=3", "IsRegional=0"});
    if (!WriteDifficulty(game, pairing.difficulty) || !game.Start())
        return result;
    std::string line;
    if (game.WaitFor("^final ", 1800, &line)) {
        const std::vector<std::string> words = e2e::Words(line);
        if (words.size() >= 3) {
            const int a = std::atoi(words[1].c_str()), b = std::atoi(words[2].c_str());
            result.score[0] = swapped ? b : a;
            result.score[1] = swapped ? a : b;
            result.done = true;
        }
    }
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    for (const std::string& reported : game.Lines()) {
        const std::vector<std::string> w = e2e::Words(reported);
        if (w.size() == 4 && w[0] == "mene") {
            ++result.menes;
            result.points += std::atoi(w[3].c_str());
        } else if (w.size() == 2 && w[0] == "throw") {
            ++result.throws;
            result.targetThrows += w[1] == "target";
        } else if (w.size() == 5 && w[0] == "difficulty" && w[2] == "levels") {
            result.difficulty = std::atoi(w[1].c_str());
            result.levels[swapped ? 1 : 0] = std::atoi(w[3].c_str());
            result.levels[swapped ? 0 : 1] = std::atoi(w[4].c_str());
        } else if (w.size() == 4 && w[0] == "side" && w[1] == "difficulties") {
            result.sideDifficulty[swapped ? 1 : 0] = std::atoi(w[2].c_str());
            result.sideDifficulty[swapped ? 0 : 1] = std::atoi(w[3].c_str());
        } else if (w.size() == 4 && w[0] == "ai" && w[1] == "search") {
            result.tested += std::atol(w[2].c_str());
            result.candidates += std::atol(w[3].c_str());
        } else if (reported == "settle limit") {
            ++result.settleLimits;
        }
    }
    // Every mene has one valid target-ball throw; the others of the report
    // were thrown again after a failed one.
    result.targetFailures = std::max(0, result.targetThrows - result.menes);
    game.Stop();
    return result;
}

std::string Encode(const Result& r) {
    std::ostringstream out;
    out << r.done << ' ' << r.score[0] << ' ' << r.score[1] << ' ' << r.menes << ' ' << r.points << ' '
        << r.targetThrows << ' ' << r.targetFailures << ' ' << r.throws << ' ' << r.settleLimits << ' '
        << r.difficulty << ' ' << r.levels[0] << ' ' << r.levels[1] << ' ' << r.sideDifficulty[0] << ' '
        << r.sideDifficulty[1] << ' ' << r.wallSeconds << ' ' << r.tested << ' ' << r.candidates;
    return out.str();
}

bool Decode(const std::string& text, Result& r) {
    std::istringstream in(text);
    return static_cast<bool>(in >> r.done >> r.score[0] >> r.score[1] >> r.menes >> r.points >> r.targetThrows >>
                             r.targetFailures >> r.throws >> r.settleLimits >> r.difficulty >> r.levels[0] >>
                             r.levels[1] >> r.sideDifficulty[0] >> r.sideDifficulty[1] >> r.wallSeconds >> r.tested >>
                             r.candidates);
}

// The match was played as the pairing asks.
bool PlayedAsAsked(const Result& r, const Pairing& p) {
    if (!r.done || r.difficulty != p.difficulty)
        return false;
    return !p.SidesDiffer() ||
           (r.sideDifficulty[0] == p.sideDifficulty[0] && r.sideDifficulty[1] == p.sideDifficulty[1]);
}

std::string PairingName(const Pairing& p) {
    if (!p.SidesDiffer())
        return kDifficultyNames[p.difficulty];
    return std::string(kDifficultyNames[p.sideDifficulty[0]]) + " v " + kDifficultyNames[p.sideDifficulty[1]];
}

}  // namespace

int main(int argc, char** argv) {
    const int matches = argc > 1 ? std::atoi(argv[1]) : 20;
    const int parallel = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const unsigned firstSeed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u;
    const std::string which = argc > 4 ? argv[4] : "levels";
    std::vector<Pairing> pairings;
    if (which == "levels" || which == "all") {
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            pairings.push_back({difficulty, {-1, -1}, 8, 9, "France v Italy"});
            pairings.push_back({difficulty, {-1, -1}, 9, 5, "Italy v Belgium"});
        }
    }
    if (which == "sides" || which == "all") {
        pairings.push_back({1, {0, 2}, 9, 5, "Italy v Belgium"});
        pairings.push_back({1, {0, 2}, 5, 9, "Belgium v Italy"});
    }
    if (pairings.empty()) {
        std::fprintf(stderr, "ai_match_figure: no pairings named \"%s\" (levels, sides or all)\n", which.c_str());
        return 2;
    }
    // Every match is a job; each worker process plays every parallel-th job
    // and writes its results to a file of its own.
    const int jobs = static_cast<int>(pairings.size()) * matches;
    const fs::path out = fs::current_path() / "ai_match_figure_results";
    fs::create_directories(out);
    std::vector<pid_t> workers;
    for (int w = 0; w < parallel; ++w) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::ofstream file(out / ("worker_" + std::to_string(w) + ".txt"), std::ios::trunc);
            for (int job = w; job < jobs; job += parallel) {
                const Pairing& pairing = pairings[static_cast<size_t>(job / matches)];
                const unsigned seed = firstSeed + static_cast<unsigned>(job % matches);
                const Result r = PlayMatch(pairing, seed, "figure_" + std::to_string(w));
                file << job << ' ' << Encode(r) << std::endl;
                std::printf("  %s, %s, seed %u: %s %d - %d (played at difficulty %d, levels %d and %d, %.0f s)\n",
                            PairingName(pairing).c_str(), pairing.title, seed, r.done ? "final" : "NO FINAL",
                            r.score[0], r.score[1], r.difficulty, r.levels[0], r.levels[1], r.wallSeconds);
                std::fflush(stdout);
            }
            _exit(0);
        }
        if (pid > 0)
            workers.push_back(pid);
    }
    for (pid_t pid : workers)
        waitpid(pid, nullptr, 0);

    std::vector<Result> results(static_cast<size_t>(jobs));
    for (int w = 0; w < parallel; ++w) {
        std::ifstream file(out / ("worker_" + std::to_string(w) + ".txt"));
        std::string line;
        while (std::getline(file, line)) {
            const size_t space = line.find(' ');
            const int job = std::atoi(line.substr(0, space).c_str());
            if (space != std::string::npos && job >= 0 && job < jobs)
                Decode(line.substr(space + 1), results[static_cast<size_t>(job)]);
        }
    }
    std::printf("\n| difficulty | pairing | levels | played | first wins | second wins | points first:second | "
                "points/mene | failed target throws/mene | target throws/mene | throws/match | settle limits | "
                "candidates scored | wall s/match |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (size_t p = 0; p < pairings.size(); ++p) {
        int played = 0, wins[2] = {0, 0}, levels[2] = {-1, -1};
        long menes = 0, points = 0, targets = 0, failures = 0, throws = 0, limits = 0, scored[2] = {0, 0};
        double wall = 0.0;
        long tested = 0, candidates = 0;
        for (int m = 0; m < matches; ++m) {
            const Result& r = results[p * static_cast<size_t>(matches) + static_cast<size_t>(m)];
            // A run that did not play the asked difficulties does not count.
            if (!PlayedAsAsked(r, pairings[p]))
                continue;
            ++played;
            levels[0] = r.levels[0];
            levels[1] = r.levels[1];
            // Equal scores cannot end a match; they would count for the second.
            ++wins[r.score[0] > r.score[1] ? 0 : 1];
            scored[0] += r.score[0];
            scored[1] += r.score[1];
            menes += r.menes;
            points += r.points;
            targets += r.targetThrows;
            failures += r.targetFailures;
            throws += r.throws;
            limits += r.settleLimits;
            wall += r.wallSeconds;
            tested += r.tested;
            candidates += r.candidates;
        }
        const double perMene = menes ? 1.0 / static_cast<double>(menes) : 0.0;
        std::printf("| %s | %s | %d v %d | %d | %d (%.0f%%) | %d (%.0f%%) | %ld:%ld | %.2f | %.2f | %.2f | %.1f | %ld | "
                    "%ld of %ld | %.0f |\n",
                    PairingName(pairings[p]).c_str(), pairings[p].title, levels[0], levels[1], played, wins[0],
                    played ? 100.0 * wins[0] / played : 0.0, wins[1], played ? 100.0 * wins[1] / played : 0.0,
                    scored[0], scored[1], static_cast<double>(points) * perMene,
                    static_cast<double>(failures) * perMene, static_cast<double>(targets) * perMene,
                    played ? static_cast<double>(throws) / played : 0.0, limits, tested, candidates,
                    played ? wall / played : 0.0);
    }
    return 0;
}
