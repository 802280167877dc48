#include "E2EDriver.h"
#include "../net/TestPorts.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace e2e {

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

unsigned short FreeLanPort() { return testports::ReservePortPair(); }

GameRun::GameRun(const std::string& name) {
    const fs::path bin = fs::path(TAVIRELO_EXE).parent_path();
    const fs::path stage = bin.parent_path().parent_path();
    // ctest runs each test in its own binary folder.
    mRoot = fs::current_path() / ("run_" + name);
    mBin = mRoot / "game" / "bin";
    mControl = mRoot / "control";
    fs::remove_all(mRoot);
    fs::create_directories(mBin);
    fs::create_directories(mControl);
    fs::create_directories(mRoot / "media" / "GameSav");
    for (const fs::directory_entry& entry : fs::directory_iterator(bin))
        if (entry.path().extension() == ".cfg")
            fs::copy_file(entry.path(), mBin / entry.path().filename());
    // The media are shared read-only; the settings folder is the run's own.
    fs::create_directories(mRoot / "mediaDemo");
    for (const fs::directory_entry& entry : fs::directory_iterator(stage / "mediaDemo")) {
        const fs::path target = mRoot / "mediaDemo" / entry.path().filename();
        if (entry.path().filename() == "Config")
            fs::copy(entry.path(), target, fs::copy_options::recursive);
        else
            fs::create_directory_symlink(entry.path(), target);
    }
    std::ofstream(mControl / "commands.txt");
    mEnv["TAVIRELO_TEST_CONTROL"] = mControl.string();
    mEnv["TAVIRELO_NO_MESSAGEBOX"] = "1";
}

GameRun::~GameRun() { Stop(); }

void GameRun::Match(const std::vector<std::string>& settings) {
    const fs::path file = mControl / "match.txt";
    std::ofstream out(file, std::ios::trunc);
    for (const std::string& line : settings)
        out << line << '\n';
    mEnv["TAVIRELO_TEST_MATCH"] = file.string();
}

bool GameRun::StartDisplay() {
    const char* own = std::getenv("TAVIRELO_E2E_OWN_DISPLAY");
    if (own && std::string(own) == "0")
        return true;
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    mDisplayPid = fork();
    if (mDisplayPid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (mDisplayPid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const std::string log = (mControl / "xvfb.log").string();
        if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr))
            _exit(125);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end && poll(&wait, 1, 200) >= 0) {
        if (!(wait.revents & (POLLIN | POLLHUP)))
            continue;
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        StopDisplay();
        return false;
    }
    mEnv["DISPLAY"] = ":" + number;
    return true;
}

void GameRun::StopDisplay() {
    if (mDisplayPid > 0) {
        kill(mDisplayPid, SIGTERM);
        waitpid(mDisplayPid, nullptr, 0);
        mDisplayPid = -1;
    }
}

bool GameRun::Start() {
    if (mPid > 0)
        return false;
    if (mDisplayPid <= 0 && !StartDisplay())
        return false;
    const std::string log = (mControl / "game.log").string();
    mPid = fork();
    if (mPid < 0)
        return false;
    if (mPid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);   // never outlive the test
        if (chdir(mBin.c_str()) != 0)
            _exit(126);
        for (const auto& variable : mEnv)
            setenv(variable.first.c_str(), variable.second.c_str(), 1);
        if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr))
            _exit(125);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(TAVIRELO_EXE));
        for (std::string& arg : mArgs)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        execv(TAVIRELO_EXE, argv.data());
        _exit(127);
    }
    return true;
}

bool GameRun::Running() {
    if (mPid <= 0)
        return false;
    if (waitpid(mPid, &mStatus, WNOHANG) == mPid) {
        mPid = -1;
        return false;
    }
    return true;
}

bool GameRun::WaitExit(int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (Running()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void GameRun::Stop() {
    if (mPid > 0) {
        kill(mPid, SIGKILL);
        waitpid(mPid, &mStatus, 0);
        mPid = -1;
    }
    StopDisplay();
}

std::vector<std::string> GameRun::Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(mControl / "report.txt"));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool GameRun::WaitFor(const std::string& pattern, int seconds, std::string* line) {
    const std::regex re(pattern);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        // Read the lines before looking at the process: a game that wrote
        // the line and ended at once still counts.
        const bool running = Running();
        const std::vector<std::string> lines = Lines();
        for (size_t i = mConsumed; i < lines.size(); ++i) {
            if (std::regex_search(lines[i], re)) {
                mConsumed = i + 1;
                if (line)
                    *line = lines[i];
                return true;
            }
        }
        if (!running || std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool GameRun::Saw(const std::string& pattern) const {
    const std::regex re(pattern);
    for (const std::string& line : Lines())
        if (std::regex_search(line, re))
            return true;
    return false;
}

bool GameRun::Reaches(const std::string& pattern, int seconds) {
    return Saw(pattern) || WaitFor(pattern, seconds);
}

bool GameRun::Select(const std::string& window, int n) {
    const std::string what = window + " " + std::to_string(n);
    Command("select " + what);
    std::string line;
    return WaitFor("^(selected " + what + "|error select " + window + ":.*)$", 30, &line) &&
           line == "selected " + what;
}

void GameRun::Command(const std::string& command) {
    std::ofstream out(mControl / "commands.txt", std::ios::app);
    out << command << '\n';
}

bool GameRun::Answer(const std::string& done, const std::string& failed, int seconds) {
    std::string line;
    const std::string pattern = "^(" + done + "|" + failed + ")$";
    return WaitFor(pattern, seconds, &line) && std::regex_match(line, std::regex(done));
}

namespace {
// A name as a literal inside a pattern.
std::string Literal(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}
}  // namespace

std::string GameRun::Node(const std::string& name, int seconds) {
    Command("node " + name);
    std::string line;
    if (!WaitFor("^node " + Literal(name) + " .*$", seconds, &line))
        return "";
    return line;
}

bool GameRun::Click(const std::string& window, int seconds) {
    Command("click " + window);
    return Answer("clicked " + Literal(window), "error click " + Literal(window) + ":.*", seconds);
}

bool GameRun::Key(const std::string& key, int seconds) {
    Command("key " + key);
    return Answer("keyed " + Literal(key), "error key " + Literal(key) + ":.*", seconds);
}

bool GameRun::Press(const std::string& window, int seconds) {
    Command("press " + window);
    return Answer("pressed " + Literal(window), "error click " + Literal(window) + ":.*", seconds);
}

bool GameRun::Release(int seconds) {
    Command("release");
    return Answer("released", "error release:.*", seconds);
}

bool GameRun::Queue(const std::vector<std::string>& commands, int seconds) {
    {
        std::ofstream out(mControl / "commands.txt", std::ios::app);
        for (const std::string& command : commands)
            out << command << '\n';
    }
    for (const std::string& command : commands) {
        const size_t space = command.find(' ');
        const std::string verb = command.substr(0, space);
        const std::string argument = space == std::string::npos ? std::string() : command.substr(space + 1);
        static const std::map<std::string, std::string> kDone = {
            {"click", "clicked"}, {"press", "pressed"}, {"release", "released"},
            {"wait", "waited"},   {"key", "keyed"},     {"screenshot", "screenshot"}};
        const auto done = kDone.find(verb);
        if (done == kDone.end())
            return false;
        // A press fails as a click does.
        const std::string failedVerb = verb == "press" ? "click" : verb;
        const std::string suffix = argument.empty() ? std::string() : " " + Literal(argument);
        if (!Answer(done->second + suffix, "error " + failedVerb + suffix + ":.*", seconds))
            return false;
    }
    return true;
}

fs::path GameRun::Screenshot(const std::string& file, int seconds) {
    Command("screenshot " + file);
    if (!Answer("screenshot " + Literal(file), "error screenshot " + Literal(file) + ":.*", seconds))
        return fs::path();
    return fs::path(file).is_absolute() ? fs::path(file) : mControl / file;
}

std::string GameRun::Log() const { return ReadFile(mControl / "game.log"); }

bool MeetInLobby(GameRun& host, GameRun& client, std::string* failure) {
#define MEET_STEP(done, game)                                   \
    do {                                                        \
        if (!(done)) {                                          \
            if (failure)                                        \
                *failure = std::string(#done) + "\n" + (game).Log(); \
            return false;                                       \
        }                                                       \
    } while (0)
    MEET_STEP(host.Start(), host);
    MEET_STEP(host.Reaches("^lobby games ", 120), host);
    MEET_STEP(host.Click("BtnCreate"), host);
    MEET_STEP(host.Reaches("^lobby teams host$", 30), host);

    MEET_STEP(client.Start(), client);
    std::string games;
    for (int look = 0; look < 3; ++look) {
        if (look > 0)
            MEET_STEP(client.Click("BtnRefresh"), client);
        MEET_STEP(client.WaitFor("^lobby games [0-9]+$", 120, &games), client);
        if (games == "lobby games 1")
            break;
    }
    MEET_STEP(games == "lobby games 1", client);
    MEET_STEP(client.Select("GamesList", 0), client);
    MEET_STEP(client.Click("BtnJoin"), client);
    MEET_STEP(client.Reaches("^lobby teams client$", 30), client);
    MEET_STEP(host.Reaches("^lobby players 2$", 30), host);
    return true;
}

bool ChooseSinglesInLobby(GameRun& host, GameRun& client, std::string* failure) {
    MEET_STEP(host.Select("ComboBoxNbPlayers", 1), host);
    MEET_STEP(host.Select("ComboBoxRegional", 0), host);
    MEET_STEP(host.Select("ComboBoxLocation", 3), host);
    MEET_STEP(host.Select("ComboBoxTeam", 0), host);
    MEET_STEP(host.Select("ComboBoxCountryList", 8), host);
    MEET_STEP(host.Select("ComboBoxPointeur", 0), host);
    MEET_STEP(client.Select("ComboBoxTeam", 1), client);
    MEET_STEP(client.Select("ComboBoxCountryList", 9), client);
    MEET_STEP(client.Select("ComboBoxPointeur", 0), client);
    MEET_STEP(host.Reaches("^lobby record 1 team [0-9]+ players 0 ", 30), host);
#undef MEET_STEP
    return true;
}

}  // namespace e2e
