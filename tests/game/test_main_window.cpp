// The game's main window and the cursor position it reports (needs a display).
#include <CMainApp.h>
#include <MainWindow.h>

#include <gtest/gtest.h>

#include <SDL.h>

TEST(MainWindow, CursorPositionIsAFractionOfTheClientArea) {
    KEMWindowHandle window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    g_pMainApp->SetWindowHandle(window);
    SDL_Window* sdl = SDL_GetWindowFromID(1);
    ASSERT_NE(sdl, nullptr);
    SDL_ShowWindow(sdl);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Tavirelo Le Jeu du Dornavelle");
    int left = 0, top = 0;
    SDL_GetWindowPosition(sdl, &left, &top);

    struct Case {
        int x, y;
        bool inside;
        float fx, fy;
    };
    const Case cases[] = {
        {160, 120, true, 0.25f, 0.25f},
        {0, 0, true, 0.0f, 0.0f},
        {639, 479, true, 639.0f / 640.0f, 479.0f / 480.0f},
        {640, 100, false, 1.0f, 100.0f / 480.0f},   // the right edge is outside
        {700, 600, false, 700.0f / 640.0f, 600.0f / 480.0f},
    };
    for (const Case& c : cases) {
        SDL_WarpMouseGlobal(left + c.x, top + c.y);
        float x = -5.0f, y = -5.0f;
        EXPECT_EQ(GetCursorClientPosition(x, y), c.inside) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(x, c.fx) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(y, c.fy) << c.x << "," << c.y;
    }

    g_pMainApp->SetWindowHandle(nullptr);
    DestroyMainWindow();
    float x = 0.0f, y = 0.0f;
    EXPECT_FALSE(GetCursorClientPosition(x, y));   // no window any more
}
