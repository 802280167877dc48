// The game started from its working directory: it opens its titled window,
// renders into it, follows a resize, and on a window-manager close request
// shuts down with exit code 0, its 3D-engine log naming the render system.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

class Game : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path bin = fs::path(TAVIRELO_EXE).parent_path();
        mDir = bin.parent_path() / (std::string("test_app_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(bin / file, mDir / file);
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

    fs::path mDir;
    Display* mDisplay = nullptr;
    pid_t mPid = -1;
    int mStatus = 0;
};

}  // namespace

TEST_F(Game, OpensItsWindowFollowsAResizeAndClosesCleanly) {
    Launch();
    Window window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopLevel(mDisplay, kTitle, mPid)) != 0 && FirstChild(mDisplay, window); },
                        60))
        << "no window titled \"" << kTitle << "\" with a render window";
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

    std::ifstream log(mDir / "KEM.ogre.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("render system \"OpenGL Rendering Subsystem\""), std::string::npos);
    EXPECT_NE(text.str().find("OGRE Shutdown"), std::string::npos);
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
