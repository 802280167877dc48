// The end-to-end tests' driver: starts the game executable in an assembled
// tree of its own with the test channel's environment (fixed seed, start
// mode, match settings, pre-drawn toss, fixed step), reads its report lines,
// sends it commands (click a GUI window by name, press a key, take a
// screenshot, quit) and stops it by its process id.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace e2e {

class GameRun {
public:
    // The tree goes to <working directory>/run_<name> and is rebuilt.
    explicit GameRun(const std::string& name);
    ~GameRun();   // stops the game when it still runs
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // Before Start. Seed, step and start mode are plain settings of the
    // TAVIRELO_TEST_* variables; Match writes the settings file ("name=value"
    // or "SECTION.name=value" lines).
    void Seed(unsigned seed) { mEnv["TAVIRELO_TEST_SEED"] = std::to_string(seed); }
    void FixedStepMs(unsigned ms) { mEnv["TAVIRELO_TEST_FIXED_STEP_MS"] = std::to_string(ms); }
    void StartMode(int mode) { mEnv["TAVIRELO_TEST_START_MODE"] = std::to_string(mode); }
    void Toss(int side) { mEnv["TAVIRELO_TEST_TOSS"] = std::to_string(side); }
    void Match(const std::vector<std::string>& settings);
    void Env(const std::string& name, const std::string& value) { mEnv[name] = value; }
    void Arg(const std::string& arg) { mArgs.push_back(arg); }

    // Starts the game; false when it cannot be started.
    bool Start();
    bool Running();
    // Waits for the game's end; false when it still runs after that time.
    bool WaitExit(int seconds);
    // The exit status (waitpid's) once it ended.
    int Status() const { return mStatus; }
    // Kills the game (by its process id) and reaps it.
    void Stop();

    // All report lines so far.
    std::vector<std::string> Lines() const;
    // Waits for a report line matching the pattern after the last line a
    // wait consumed; on success that line is consumed and returned in line.
    // False on time-out, or when the game ended without it.
    bool WaitFor(const std::string& pattern, int seconds, std::string* line = nullptr);
    // As WaitFor, from the first line on, consuming nothing.
    bool Saw(const std::string& pattern) const;
    // Saw, else WaitFor: the game may answer a click after the line the
    // click led to.
    bool Reaches(const std::string& pattern, int seconds);
    // Picks item n of a list or combobox ("selected <window> <n>").
    bool Select(const std::string& window, int n);
    // Where a scene node stands and whether it is shown ("node <name> x y z
    // shown|hidden", or "node <name> missing"); "" on time-out.
    std::string Node(const std::string& name, int seconds = 30);

    // Appends one command to the game's command file.
    void Command(const std::string& command);
    // The command and the wait for its answer ("clicked <name>", "keyed
    // <name>", "screenshot <file>"); false on an "error" answer or time-out.
    bool Click(const std::string& window, int seconds = 30);
    bool Key(const std::string& key, int seconds = 30);
    // The left button goes down over the window and stays down until
    // Release ("pressed <name>", "released"): a gauge runs while it is held.
    bool Press(const std::string& window, int seconds = 30);
    bool Release(int seconds = 30);
    // Writes the commands at once, so that the game runs them on consecutive
    // frames whatever the test's own pace, then waits for each one's answer
    // in turn. "wait <ms>" lets that much game time pass ("waited <ms>"): a
    // held gauge then stops at the same value on every machine, e.g.
    // {"press BtnStart", "wait 1000", "release", "wait 400", "click BtnStart"}.
    bool Queue(const std::vector<std::string>& commands, int seconds = 60);
    // The screenshot's path on success, "" otherwise.
    std::filesystem::path Screenshot(const std::string& file, int seconds = 30);

    const std::filesystem::path& Root() const { return mRoot; }
    const std::filesystem::path& ControlDir() const { return mControl; }
    // The game's log (stdout and stderr).
    std::string Log() const;
    // The process id of the run's own X server (-1 when none was started),
    // for a test that takes the display away.
    pid_t DisplayPid() const { return mDisplayPid; }

private:
    bool Answer(const std::string& done, const std::string& failed, int seconds);

    std::filesystem::path mRoot, mBin, mControl;
    std::map<std::string, std::string> mEnv;
    std::vector<std::string> mArgs;
    // The run's own X server: the pointer is one per display, so games
    // running side by side must not share one.
    bool StartDisplay();
    void StopDisplay();
    pid_t mPid = -1;
    pid_t mDisplayPid = -1;
    int mStatus = 0;
    size_t mConsumed = 0;
};

// Words of a report line ("score 13 7" -> {"score", "13", "7"}).
std::vector<std::string> Words(const std::string& line);

// A base port for a LAN test (TAVIRELO_TEST_NET_PORT): it and the next port,
// where a second game on this machine goes, are free for UDP and TCP now.
// 0 when none was found.
unsigned short FreeLanPort();

// Two games on the LAN screen meet in the lobby: the host opens a game, the
// client finds it (asking again, as a player would, when the answer came
// too late for the first look), joins, and the host sees two players. On
// failure, failure holds the step and the log of the game it failed on.
bool MeetInLobby(GameRun& host, GameRun& client, std::string* failure);

// The two players of MeetInLobby choose a singles match between two nations
// at the fourth venue: the host team A, the client team B, each its pointer.
// Returns once the host shows the client's team with its pointer, as a person
// at the host would wait to see it before starting: a start clicked earlier
// is refused for a team the host has not heard of yet.
bool ChooseSinglesInLobby(GameRun& host, GameRun& client, std::string* failure);

}  // namespace e2e
