// The game started from its working directory: it opens its titled window,
// renders into it, follows a resize, shows its two boot screens, and on a
// window-manager close request shuts down with exit code 0, its 3D-engine log
// naming the render system and its settings saved to "Configuration.cfg".
// Each test runs in an assembled tree of its own (its game/bin beside links
// to the staged media, with a private copy of the settings folder), so that
// the settings it writes stay its own.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char* const kTitle = "Tavirelo Le Jeu du Dornavelle";

bool WaitFor(const std::function<bool()>& done, int seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// Other tests may show windows of the same title on the display: the game's
// is the one whose _NET_WM_PID is the game's process.
Window FindTopLevel(Display* display, const char* title, pid_t pid) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return 0;
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        bool titled = XFetchName(display, children[i], &name) && name && std::strcmp(name, title) == 0;
        if (name)
            XFree(name);
        if (!titled)
            continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (format == 32 && items == 1 && pid_t(*reinterpret_cast<unsigned long*>(data)) == pid)
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// Windows of other tests may vanish while we look at them: never let an X
// error end this process.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// The render window the engine made inside the game's window.
Window FirstChild(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    Window child = count ? children[0] : 0;
    if (children)
        XFree(children);
    return child;
}

bool SizeIs(Display* display, Window window, int width, int height) {
    XWindowAttributes attributes;
    return window && XGetWindowAttributes(display, window, &attributes) && attributes.width == width &&
           attributes.height == height;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Rgb {
    int r, g, b;
};

// The plain grounds of the two boot screens (scripts/gen_bootscreens.py).
const Rgb kScreen1Ground = {24, 40, 96};
const Rgb kScreen2Ground = {214, 178, 120};

int Channel(unsigned long pixel, unsigned long mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return int(((pixel >> shift) & mask) * 255 / mask);
}

// Whether the window shows the screen of that ground at full brightness: the
// ground at its edges and corners (the GUI's mouse cursor may hide one or two
// of them).
bool ShowsGround(Display* display, Window window, const Rgb& ground) {
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(display, window, &attributes) || attributes.width < 20 ||
        attributes.height < 20)
        return false;
    XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes,
                              ZPixmap);
    if (!image)
        return false;
    const double at[][2] = {{0.03, 0.5}, {0.97, 0.5}, {0.5, 0.03}, {0.5, 0.97},
                            {0.03, 0.03}, {0.97, 0.03}, {0.03, 0.97}, {0.97, 0.97}};
    int matches = 0;
    for (const auto& p : at) {
        const unsigned long pixel = XGetPixel(image, int(p[0] * attributes.width), int(p[1] * attributes.height));
        const int r = Channel(pixel, image->red_mask), g = Channel(pixel, image->green_mask),
                  b = Channel(pixel, image->blue_mask);
        // The screen counts as shown from 85 % of its full brightness on: the
        // hold lasts about a second of wall time, and a loaded machine can
        // miss it between two samples.
        const double scale = double(r + g + b) / double(ground.r + ground.g + ground.b);
        if (scale >= 0.85 && scale <= 1.03 && std::abs(r - ground.r * scale) <= 8 &&
            std::abs(g - ground.g * scale) <= 8 && std::abs(b - ground.b * scale) <= 8)
            ++matches;
    }
    XDestroyImage(image);
    return matches >= 6;
}

class Game : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bin = fs::path(TAVIRELO_EXE).parent_path();
        const fs::path stage = bin.parent_path().parent_path();
        mRoot = fs::path(KEM_TEST_BINARY_DIR) /
                (std::string("run_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        mDir = mRoot / "game" / "bin";
        fs::remove_all(mRoot);
        fs::create_directories(mDir);
        fs::create_directories(mRoot / "media" / "GameSav");
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(bin / file, mDir / file);
        fs::create_directories(mRoot / "mediaDemo");
        for (const fs::directory_entry& entry : fs::directory_iterator(stage / "mediaDemo")) {
            const fs::path target = mRoot / "mediaDemo" / entry.path().filename();
            if (entry.path().filename() == "Config")
                fs::copy(entry.path(), target, fs::copy_options::recursive);
            else
                fs::create_directory_symlink(entry.path(), target);
        }
        mDisplay = XOpenDisplay(nullptr);
        ASSERT_NE(mDisplay, nullptr);
        XSetErrorHandler(&IgnoreXErrors);
    }
    void TearDown() override {
        if (mPid > 0) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
        if (mDisplay)
            XCloseDisplay(mDisplay);
    }

    void Launch(const char* videoDriver = nullptr) {
        mPid = fork();
        ASSERT_GE(mPid, 0);
        if (mPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);   // never outlive the test
            if (chdir(mDir.c_str()) != 0)
                _exit(126);
            if (videoDriver)
                setenv("SDL_VIDEODRIVER", videoDriver, 1);
            execl(TAVIRELO_EXE, TAVIRELO_EXE, static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    bool Running() { return mPid > 0 && waitpid(mPid, &mStatus, WNOHANG) == 0; }

    // Waits for the game to end; false when it does not within the time.
    bool Ended(int seconds) {
        bool ended = WaitFor([this] { return waitpid(mPid, &mStatus, WNOHANG) == mPid; }, seconds);
        if (ended)
            mPid = -1;
        return ended;
    }

    void RequestClose(Window window) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = window;
        ev.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(mDisplay, window, False, NoEventMask, &ev);
        XFlush(mDisplay);
    }

    fs::path Settings() const { return mRoot / "mediaDemo" / "Config" / "Configuration.cfg"; }

    // Waits for the game's window with the engine's render window inside.
    Window WaitForRenderWindow() {
        Window window = 0;
        bool found = WaitFor(
            [&] { return (window = FindTopLevel(mDisplay, kTitle, mPid)) != 0 && FirstChild(mDisplay, window); }, 60);
        EXPECT_TRUE(found) << "no window titled \"" << kTitle << "\" with a render window";
        return found ? window : 0;
    }

    fs::path mRoot;   // the test's assembled tree
    fs::path mDir;    // its game/bin, the working directory
    Display* mDisplay = nullptr;
    pid_t mPid = -1;
    int mStatus = 0;
};

}  // namespace

TEST_F(Game, OpensItsWindowFollowsAResizeAndClosesCleanly) {
    Launch();
    const Window window = WaitForRenderWindow();
    ASSERT_NE(window, 0u);
    Window render = FirstChild(mDisplay, window);
    EXPECT_TRUE(SizeIs(mDisplay, window, 640, 480));
    EXPECT_TRUE(SizeIs(mDisplay, render, 640, 480));

    XResizeWindow(mDisplay, window, 800, 600);
    XFlush(mDisplay);
    EXPECT_TRUE(WaitFor([&] { return SizeIs(mDisplay, render, 800, 600); }, 20)) << "the render window did not follow";
    EXPECT_TRUE(Running());

    RequestClose(window);
    ASSERT_TRUE(Ended(60)) << "the game did not end on a close request";
    ASSERT_TRUE(WIFEXITED(mStatus)) << "ended by signal " << (WIFSIGNALED(mStatus) ? WTERMSIG(mStatus) : 0);
    EXPECT_EQ(WEXITSTATUS(mStatus), 0);

    // Only the start-up before the settings are read is logged in detail:
    // reading them turns the 3D engine's log down to its important lines.
    const std::string log = ReadFile(mDir / "KEM.ogre.log");
    EXPECT_NE(log.find("render system \"OpenGL Rendering Subsystem\""), std::string::npos);
}

// The boot screens come one after the other; closing the window ends the run
// with the settings saved, those out of range replaced by their defaults.
TEST_F(Game, ShowsTheBootScreensAndSavesTheSettingsWhenClosed) {
    {
        std::ofstream settings(Settings(), std::ios::trunc);
        settings << "<environment>\n"
                    "\t<env name=\"SETTINGS\">\n"
                    "\t\t<var name=\"sound_vol\" value=\"11\"/>\n"
                    "\t\t<var name=\"music_vol\" value=\"0\"/>\n"
                    "\t\t<var name=\"difficulty_level\" value=\"7\"/>\n"
                    "\t\t<var name=\"texture_quality\" value=\"LOW\"/>\n"
                    "\t\t<var name=\"shadows\" value=\"off\"/>\n"
                    "\t</env>\n"
                    "\t<env name=\"GAME\">\n"
                    "\t\t<var name=\"player_name\" value=\"Fanny\"/>\n"
                    "\t</env>\n"
                    "</environment>\n";
    }
    Launch();
    const Window window = WaitForRenderWindow();
    ASSERT_NE(window, 0u);
    const Window render = FirstChild(mDisplay, window);
    EXPECT_TRUE(WaitFor([&] { return ShowsGround(mDisplay, render, kScreen1Ground); }, 60))
        << "the first boot screen never showed";
    EXPECT_TRUE(WaitFor([&] { return ShowsGround(mDisplay, render, kScreen2Ground); }, 30))
        << "the second boot screen never showed";
    ASSERT_TRUE(Running());

    RequestClose(window);
    ASSERT_TRUE(Ended(60)) << "the game did not end on a close request";
    ASSERT_TRUE(WIFEXITED(mStatus)) << "ended by signal " << (WIFSIGNALED(mStatus) ? WTERMSIG(mStatus) : 0);
    EXPECT_EQ(WEXITSTATUS(mStatus), 0);

    const std::string saved = ReadFile(Settings());
    for (const char* setting : {"name=\"cur_lang\" value=\"1\"", "name=\"sound_vol\" value=\"10\"",
                                "name=\"music_vol\" value=\"0\"", "name=\"difficulty_level\" value=\"2\"",
                                "name=\"texture_quality\" value=\"low\"", "name=\"shadows\" value=\"off\"",
                                "name=\"player_name\" value=\"Fanny\""})
        EXPECT_NE(saved.find(setting), std::string::npos) << setting << " missing in\n" << saved;
}

// An engine that cannot start (no render system): the game fails with an
// error and leaves the user's settings as they were.
TEST_F(Game, AFailedStartLeavesTheSettingsUntouched) {
    std::string plugins = ReadFile(mDir / "KEM.ogre_plugins.cfg");
    const size_t renderSystem = plugins.find("Plugin=RenderSystem_GL");
    ASSERT_NE(renderSystem, std::string::npos);
    plugins.erase(renderSystem, plugins.find('\n', renderSystem) - renderSystem);
    std::ofstream(mDir / "KEM.ogre_plugins.cfg", std::ios::trunc) << plugins;
    {
        std::ofstream settings(Settings(), std::ios::trunc);
        settings << "<environment>\n\t<env name=\"SETTINGS\">\n\t\t<var name=\"sound_vol\" value=\"3\"/>\n"
                    "\t</env>\n</environment>\n";
    }
    const std::string before = ReadFile(Settings());

    Launch();
    ASSERT_TRUE(Ended(60));
    ASSERT_TRUE(WIFEXITED(mStatus)) << "ended by signal " << (WIFSIGNALED(mStatus) ? WTERMSIG(mStatus) : 0);
    EXPECT_EQ(WEXITSTATUS(mStatus), 1);
    EXPECT_EQ(ReadFile(Settings()), before);
}

// Without an X11 window there is nothing to render into: the game says so and
// fails, instead of reporting success.
TEST_F(Game, WithoutItsWindowFailsWithAnError) {
    Launch("dummy");
    ASSERT_TRUE(Ended(30));
    ASSERT_TRUE(WIFEXITED(mStatus));
    EXPECT_EQ(WEXITSTATUS(mStatus), 1);
    EXPECT_FALSE(fs::exists(mDir / "KEM.ogre.log"));   // the engine was not started
}
