// The SDL main window as the game's window: its size and handle, and how its
// events become window messages (needs a display: runs under xvfb-run).
#include <HalMessages.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <SDL.h>

#include <gtest/gtest.h>

// After gtest: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace {

std::vector<PlatEvent> gDispatched;

// The display is shared with other tests: their windows and pointer moves
// bring focus, size and mouse events that these tests do not look at.
bool Incidental(const PlatEvent& ev) {
    return ev.type == PLAT_EV_MOUSEMOVE || ev.type == PLAT_EV_MOUSEBUTTON || ev.type == PLAT_EV_FOCUS ||
           ev.type == PLAT_EV_SIZE;
}

void Record(const PlatEvent& ev) {
    if (!Incidental(ev))
        gDispatched.push_back(ev);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        PlatClearEvents();
        gDispatched.clear();
        mHandle = PlatCreateMainWindow("Tavirelo Le Jeu du Dornavelle", 640, 480);
        ASSERT_NE(mHandle, 0u);
        PlatShowMainWindow();
        mWindow = SDL_GetWindowFromID(1);
        for (Uint32 id = 1; !mWindow && id < 16; ++id)
            mWindow = SDL_GetWindowFromID(id);
        ASSERT_NE(mWindow, nullptr);
        Drain();
    }
    void TearDown() override {
        PlatSetEventDispatcher(nullptr);
        PlatDestroyMainWindow();
        PlatClearEvents();
    }

    // What the window has produced so far, as window messages; `all` keeps
    // the incidental ones too.
    std::vector<PlatEvent> Drain(bool all = false) {
        PlatFeedEvents();
        std::vector<PlatEvent> out;
        PlatEvent ev;
        while (PlatPeekEvent(ev))
            if (all || !Incidental(ev))
                out.push_back(ev);
        return out;
    }

    void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scan, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = SDL_GetWindowID(mWindow);
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scan;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }

    PlatWindowHandle mHandle = 0;
    SDL_Window* mWindow = nullptr;
};

}  // namespace

TEST_F(MainWindow, HasTheTitleAndClientSizeAndAnX11Handle) {
    EXPECT_STREQ(SDL_GetWindowTitle(mWindow), "Tavirelo Le Jeu du Dornavelle");
    int w = 0, h = 0;
    SDL_GetWindowSize(mWindow, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    ASSERT_TRUE(PlatGetClientSize(mHandle, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(PlatGetMainWindow(), mHandle);
    EXPECT_FALSE(PlatGetClientSize(mHandle + 1, w, h));   // only the main window is known
    EXPECT_EQ(PlatCreateMainWindow("second", 10, 10), 0u);   // there is one main window
}

TEST_F(MainWindow, KeysBecomeVirtualKeyMessagesAndF10AndAltAreSystemKeys) {
    struct Case {
        Uint32 type;
        SDL_Keycode sym;
        SDL_Scancode scan;
        Uint16 mod;
        PlatEventType expected;
        uint32_t vk;
        uint32_t scanCode;
    };
    const Case cases[] = {
        {SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, PLAT_EV_KEYDOWN, 'A', 0x1E},
        {SDL_KEYUP, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, PLAT_EV_KEYUP, 'A', 0x1E},
        // A French layout: the key at Q's place types 'a'; the virtual key follows the layout.
        {SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_Q, KMOD_NONE, PLAT_EV_KEYDOWN, 'A', 0x10},
        {SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, PLAT_EV_KEYDOWN, PLAT_VK_RETURN, 0x1C},
        {SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, PLAT_EV_KEYDOWN, PLAT_VK_LEFT, 0xCB},
        {SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, PLAT_EV_KEYDOWN, PLAT_VK_ESCAPE, 0x01},
        {SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, PLAT_EV_SYSKEYDOWN, PLAT_VK_F10, 0x44},
        {SDL_KEYUP, SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, PLAT_EV_SYSKEYUP, PLAT_VK_F10, 0x44},
        {SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LALT, PLAT_EV_SYSKEYDOWN, 'X', 0x2D},
    };
    for (const Case& c : cases) {
        PushKey(c.type, c.sym, c.scan, c.mod);
        std::vector<PlatEvent> events = Drain();
        ASSERT_EQ(events.size(), 1u) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(events[0].type, c.expected) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(events[0].wParam, c.vk) << SDL_GetKeyName(c.sym);
        EXPECT_EQ((events[0].lParam >> 16) & 0xFF, c.scanCode & 0x7F) << SDL_GetKeyName(c.sym);
        EXPECT_EQ((events[0].lParam >> 24) & 1, (c.scanCode & 0x80) ? 1u : 0u) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(events[0].lParam >> 31, c.type == SDL_KEYUP ? 1u : 0u) << SDL_GetKeyName(c.sym);
    }
}

TEST_F(MainWindow, TextWheelCloseAndQuitBecomeTheirMessages) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = SDL_GetWindowID(mWindow);
    SDL_strlcpy(text.text.text, "a\xC3\xA9\xE2\x82\xAC", sizeof(text.text.text));   // "aé€"
    SDL_PushEvent(&text);
    std::vector<PlatEvent> events = Drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, PLAT_EV_CHAR);
    EXPECT_EQ(events[0].wParam, uint32_t('a'));
    EXPECT_EQ(events[1].wParam, 0xE9u);
    EXPECT_EQ(events[2].wParam, 0x20ACu);

    const struct {
        Sint32 y;
        Uint32 direction;
        int16_t word;
    } wheels[] = {{1, SDL_MOUSEWHEEL_NORMAL, 120}, {-2, SDL_MOUSEWHEEL_NORMAL, -240}, {1, SDL_MOUSEWHEEL_FLIPPED, -120}};
    for (const auto& w : wheels) {
        SDL_Event wheel{};
        wheel.type = SDL_MOUSEWHEEL;
        wheel.wheel.windowID = SDL_GetWindowID(mWindow);
        wheel.wheel.y = w.y;
        wheel.wheel.direction = w.direction;
        SDL_PushEvent(&wheel);
        events = Drain();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].type, PLAT_EV_MOUSEWHEEL);
        EXPECT_EQ(int16_t(events[0].wParam >> 16), w.word);
    }

    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = SDL_GetWindowID(mWindow);
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    events = Drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, PLAT_EV_CLOSE);
    EXPECT_EQ(events[1].type, PLAT_EV_QUIT);
}

TEST_F(MainWindow, ResizeIsRecordedAndReported) {
    struct Seen {
        int calls = 0, w = 0, h = 0;
    } seen;
    PlatSetResizeListener(
        [](void* user, int w, int h) {
            Seen* s = static_cast<Seen*>(user);
            ++s->calls;
            s->w = w;
            s->h = h;
        },
        &seen);
    ASSERT_TRUE(PlatSetClientSize(mHandle, 800, 600, false));
    bool sized = false;
    for (int i = 0; i < 50 && !sized; ++i) {
        for (const PlatEvent& ev : Drain(true))
            if (ev.type == PLAT_EV_SIZE && ev.x == 800 && ev.y == 600)
                sized = true;
        if (!sized)
            SDL_Delay(10);
    }
    EXPECT_TRUE(sized);
    EXPECT_GE(seen.calls, 1);
    EXPECT_EQ(seen.w, 800);
    EXPECT_EQ(seen.h, 600);
    int w = 0, h = 0;
    ASSERT_TRUE(PlatGetClientSize(mHandle, w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    PlatRemoveResizeListener(&seen);
}

// F10 comes as a system key: the pump stops at it without dispatching it, and
// the messages behind it wait for the next frame.
TEST_F(MainWindow, F10StopsThePumpForTheFrame) {
    PlatSetEventDispatcher(&Record);
    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    PushKey(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10);
    PushKey(SDL_KEYDOWN, SDLK_b, SDL_SCANCODE_B);

    HalPumpMessages();
    ASSERT_EQ(gDispatched.size(), 1u);
    EXPECT_EQ(gDispatched[0].wParam, uint32_t('A'));
    EXPECT_EQ(gHalLastKeyPressed, uint32_t('A'));

    HalPumpMessages();
    ASSERT_EQ(gDispatched.size(), 2u);
    EXPECT_EQ(gDispatched[1].type, PLAT_EV_KEYDOWN);
    EXPECT_EQ(gDispatched[1].wParam, uint32_t('B'));
    EXPECT_EQ(gHalLastKeyPressed, uint32_t('B'));
}

TEST_F(MainWindow, KeyListenerGetsScanCodesWithModifiers) {
    struct Stroke {
        uint32_t scan;
        bool down;
        uint32_t mods;
    };
    std::vector<Stroke> strokes;
    PlatSetKeyListener(
        [](void* user, uint32_t scan, bool down, uint32_t mods) {
            static_cast<std::vector<Stroke>*>(user)->push_back({scan, down, mods});
        },
        &strokes);
    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT | KMOD_RALT);
    PushKey(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
    Drain();
    PlatRemoveKeyListener(&strokes);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].scan, 0x1Eu);
    EXPECT_TRUE(strokes[0].down);
    EXPECT_EQ(strokes[0].mods, uint32_t(PLAT_MOD_SHIFT | PLAT_MOD_ALT));
    EXPECT_EQ(strokes[1].mods, 0u);
    EXPECT_EQ(strokes[1].scan, 0x1Eu);
    EXPECT_FALSE(strokes[1].down);

    // AltGr arrives as SDL's "mode" modifier and selects the Alt table.
    PlatSetKeyListener(
        [](void* user, uint32_t scan, bool down, uint32_t mods) {
            static_cast<std::vector<Stroke>*>(user)->push_back({scan, down, mods});
        },
        &strokes);
    PushKey(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_MODE);
    Drain();
    PlatRemoveKeyListener(&strokes);
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[2].mods, uint32_t(PLAT_MOD_ALT));

    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    Drain();
    EXPECT_EQ(strokes.size(), 3u);   // removed: nothing more arrives
}

// Another client destroys the window: the X errors that follow no longer
// end the process (Xlib's default), and the game gets one close, as from
// the window's close button, so it saves its settings and ends cleanly.
TEST_F(MainWindow, AWindowDestroyedFromOutsideBecomesOneClose) {
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XDestroyWindow(other, Window(mHandle));
    XSync(other, False);
    XCloseDisplay(other);

    // Our own requests on it now fail.
    SDL_SetWindowTitle(mWindow, "gone");
    SDL_SetWindowSize(mWindow, 320, 240);
    std::vector<PlatEvent> closes;
    for (int i = 0; i < 50 && closes.empty(); ++i) {
        for (const PlatEvent& ev : Drain())
            if (ev.type == PLAT_EV_CLOSE)
                closes.push_back(ev);
        SDL_SetWindowTitle(mWindow, i % 2 ? "gone" : "still gone");
        PlatSleep(10);
    }
    EXPECT_EQ(closes.size(), 1u);
    EXPECT_TRUE(PlatMainWindowLost());
    for (const PlatEvent& ev : Drain())
        EXPECT_NE(ev.type, PLAT_EV_CLOSE);   // once only
}
