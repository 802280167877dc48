// The main window procedure's cursor capture in a window (needs a display):
// a mouse move over the focused window confines and hides the cursor, the
// focus alone does not; focus loss and resizing give it back, once.
#include <CMainApp.h>
#include <MainWindow.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <thread>

namespace {

PlatEvent Event(PlatEventType type, uint32_t wParam = 0) {
    PlatEvent ev;
    ev.type = type;
    ev.wParam = wParam;
    return ev;
}

bool CursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

}  // namespace

TEST(CursorCapture, AMouseMoveInTheFocusedWindowCapturesItFocusLossAndResizeRelease) {
    KEMWindowHandle window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    g_pMainApp->SetWindowHandle(window);
    PlatShowMainWindow();
    SDL_Window* sdl = SDL_GetWindowFromID(1);
    ASSERT_NE(sdl, nullptr);
    SDL_SetWindowInputFocus(sdl);
    for (int i = 0; i < 200 && !PlatMainWindowHasFocus(); ++i) {
        PlatFeedWindowEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    PlatClearEvents();
    ASSERT_TRUE(PlatMainWindowHasFocus());

    // In a window the focus alone captures nothing.
    MainWndProc(Event(PLAT_EV_FOCUS, 1));
    EXPECT_FALSE(IsCursorCaptured());
    EXPECT_TRUE(CursorShown());

    MainWndProc(Event(PLAT_EV_MOUSEMOVE));
    EXPECT_TRUE(IsCursorCaptured());
    EXPECT_TRUE(SDL_GetWindowGrab(sdl));
    EXPECT_FALSE(CursorShown());
    MainWndProc(Event(PLAT_EV_MOUSEMOVE));   // nothing more to do
    EXPECT_FALSE(CursorShown());

    MainWndProc(Event(PLAT_EV_FOCUS, 0));
    EXPECT_FALSE(IsCursorCaptured());
    EXPECT_FALSE(SDL_GetWindowGrab(sdl));
    EXPECT_TRUE(CursorShown());

    MainWndProc(Event(PLAT_EV_MOUSEMOVE));
    ASSERT_TRUE(IsCursorCaptured());
    MainWndProc(Event(PLAT_EV_SIZE));
    EXPECT_FALSE(IsCursorCaptured());
    EXPECT_TRUE(CursorShown());

    // Closing the window releases a captured cursor too.
    MainWndProc(Event(PLAT_EV_MOUSEMOVE));
    g_pMainApp->SetWindowHandle(nullptr);
    DestroyMainWindow();
    EXPECT_FALSE(IsCursorCaptured());
}
