// The SDL device backend on the game's real main window (runs under
// xvfb-run): device creation, the layout's character tables, the focus rule
// and mouse movement as channels.
#include <CInputMgr.h>
#include <DInput.h>

#include <CMainApp.h>
#include <MainWindow.h>
#include <Platform.h>

#include <SDL.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <X11/Xlib.h>   // last: its macros clash with ordinary names

namespace {

std::vector<std::string> gLog;
void Capture(const char* line) { gLog.push_back(line); }

std::vector<std::string> Boxes() {
    const std::string prefix = "[DInput Error] ";
    std::vector<std::string> texts;
    for (const std::string& line : gLog)
        if (line.compare(0, prefix.size(), prefix) == 0)
            texts.push_back(line.substr(prefix.size()));
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text)
            return true;
    return false;
}

SDL_Window* FindSdlWindow() {
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id))
            return w;
    return nullptr;
}

// Drains the window's messages for a while; true once the window has the
// keyboard focus.
// Moves the pointer as a real device would (SDL's own warps are not motion),
// then lets the window's messages through.
void MovePointer(KEMWindowHandle window, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XWarpPointer(display, 0, Window(MainWindowId(window)), 0, 0, 0, 0, x, y);
    XSync(display, False);
    XCloseDisplay(display);
    for (int i = 0; i < 5; ++i) {
        SDL_Delay(10);
        PlatFeedEvents();
        PlatClearEvents();
    }
}

bool WaitForFocus(SDL_Window* window) {
    for (int i = 0; i < 100; ++i) {
        PlatFeedEvents();
        PlatClearEvents();
        if (SDL_GetKeyboardFocus() == window)
            return true;
        SDL_Delay(10);
    }
    return false;
}

class InputSdl : public ::testing::Test {
protected:
    void SetUp() override {
        gLog.clear();
        PlatSetLogSink(&Capture);
        PlatSetMessageBoxInteractive(false);
        DInputSetBackend(nullptr);   // the SDL backend
        mWindow = CreateMainWindow();
        ASSERT_NE(mWindow, nullptr);
        g_pMainApp->SetWindowHandle(mWindow);
    }
    void TearDown() override {
        DInputSetBackend(nullptr);
        g_pMainApp->SetWindowHandle(nullptr);
        DestroyMainWindow();
        PlatClearEvents();
        PlatSetLogSink(nullptr);
    }

    KEMWindowHandle mWindow = nullptr;
    CInputMgr mInput;
};

}  // namespace

TEST_F(InputSdl, DevicesAreMadeOnTheMainWindowOnly) {
    mInput.Init();
    EXPECT_TRUE(DInputHasKeyboard());
    EXPECT_TRUE(DInputHasMouse());
    for (const char* text : {"Create DInput Interface", "Set keyboard cooperative level", "Create Mouse device",
                             "DInput Error"})
        EXPECT_FALSE(Contains(Boxes(), text)) << text;

    // Another window than the game's: the keyboard refuses it, nothing more
    // is created.
    gLog.clear();
    EXPECT_FALSE(DInputInit(MainWindowId(mWindow) + 1));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Set keyboard cooperative level"});
    EXPECT_FALSE(DInputHasKeyboard());
    EXPECT_FALSE(DInputHasMouse());
    EXPECT_EQ(DInputJoystickCount(), 0);
}

TEST_F(InputSdl, CharacterTablesFollowTheServersLayout) {
    mInput.Init();
    // Letters sit on key 0x1E in every Latin layout; the control keys give
    // their control characters, function keys give none.
    uint16_t plain = DInputKeyToChar(0x1E, false, false);
    EXPECT_TRUE(plain >= 'a' && plain <= 'z') << plain;
    EXPECT_EQ(DInputKeyToChar(0x1E, true, false), plain - 'a' + 'A');
    EXPECT_EQ(DInputKeyToChar(0x39, false, false), ' ');
    EXPECT_EQ(DInputKeyToChar(0x1C, false, false), '\r');
    EXPECT_EQ(DInputKeyToChar(0x01, false, false), 0x1B);
    EXPECT_EQ(DInputKeyToChar(0x0E, false, false), 0x08);
    EXPECT_EQ(DInputKeyToChar(0x3B, false, false), 0);   // F1
    EXPECT_EQ(DInputKeyToChar(0xD3, false, false), 0);   // Delete
}

TEST_F(InputSdl, FocusedWindowReadsMouseMovementAsChannels) {
    SDL_Window* window = FindSdlWindow();
    ASSERT_NE(window, nullptr);
    PlatShowMainWindow();
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    if (!WaitForFocus(window))
        GTEST_SKIP() << "the display gives the window no keyboard focus";

    EXPECT_TRUE(DInputGetBackend().HasKeyboardFocus(MainWindowId(mWindow)));
    EXPECT_FALSE(DInputGetBackend().HasKeyboardFocus(MainWindowId(mWindow) + 1));

    mInput.Init();
    MovePointer(mWindow, 100, 100);
    mInput.Update();
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_RIGHT), 0);

    MovePointer(mWindow, 140, 90);
    mInput.Update();
    if (SDL_GetKeyboardFocus() != window)
        GTEST_SKIP() << "another window took the focus";
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_RIGHT), KEM_INPUT_CHANGED | 40);
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_UP), KEM_INPUT_CHANGED | 10);
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_LEFT), 0);
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_RIGHT), KEM_INPUT_CHANGED);
}
