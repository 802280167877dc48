// The one global application object, its
// main window handle and the current game mode; GetCursorClientPosition.
#pragma once

#include <cstdint>

class CGameMode;

// The main window as the window layer knows it. Opaque here: the window layer
// (PlatWindow.h, over SDL2) decides what it points to.
typedef void* KEMWindowHandle;

class CMainApp {
public:
    CMainApp() = default;
    // The exit routine: deletes the game mode still held, if any.
    virtual ~CMainApp();
    CMainApp(const CMainApp&) = delete;
    CMainApp& operator=(const CMainApp&) = delete;

    // Slots; they do nothing until the game core fills them.
    virtual bool Init() { return true; }
    virtual void Run() {}
    virtual void Shutdown() {}

    KEMWindowHandle GetWindowHandle() const { return mWindow; }
    void SetWindowHandle(KEMWindowHandle window) { mWindow = window; }
    int32_t GetClientWidth() const { return mClientWidth; }
    int32_t GetClientHeight() const { return mClientHeight; }
    void SetClientSize(int32_t width, int32_t height) { mClientWidth = width; mClientHeight = height; }

    // The current game mode; owned. Setting a mode does not delete the old one
    // (the game-mode loop deletes it itself).
    CGameMode* GetCurrentGameMode() const { return mCurrentGameMode; }
    void SetCurrentGameMode(CGameMode* mode) { mCurrentGameMode = mode; }
    // Deletes the held mode through its virtual destructor and clears the pointer.
    void DeleteCurrentGameMode();

private:
    KEMWindowHandle mWindow = nullptr;
    int32_t mClientWidth = 0;
    int32_t mClientHeight = 0;
    CGameMode* mCurrentGameMode = nullptr;
};

// The one application object and the pointer through which everything reaches
// it. Both are constant-initialised: valid from the very start of the program.
extern CMainApp g_MainApp;
extern CMainApp* g_pMainApp;

// ---- cursor position -------------------------------------------------------
// What the window layer tells about a window: the cursor's screen position and
// the client area's screen rectangle. Returns false when it cannot tell.
struct CursorClientInfo {
    int cursorX = 0, cursorY = 0;
    int clientLeft = 0, clientTop = 0;
    int clientWidth = 0, clientHeight = 0;
};
typedef bool (*CursorClientProvider)(KEMWindowHandle window, CursorClientInfo& info);
// Installed by the window layer (and by tests). Null: no window yet.
void SetCursorClientProvider(CursorClientProvider provider);

// x = (cursor x - client left) / client width, y likewise; true exactly when
// 0 <= x < 1 and 0 <= y < 1. x and y are stored in both cases. With no window
// layer (no provider, the provider fails, or an empty client area) x and y
// are -1 and the result is false.
bool GetCursorClientPosition(float& x, float& y);
