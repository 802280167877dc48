// The one global application object: the main window, the frame clock, the
// current game mode, and its three operations: start-up (Init), the game-mode
// loop (Run) and shutdown (Shutdown). GetCursorClientPosition.
//
// The engine and most of the game only touch the window handle, the frame
// period and the current mode. Init, Run and Shutdown stand on every engine
// service and on the game modes: they live in the library game_app, which
// only the executable (and the tests of the loop) link.
#pragma once

#include <cstdint>

class CGameMode;

// The main window as the window layer knows it. Opaque here: the window layer
// (PlatWindow.h, over SDL2) decides what it points to.
typedef void* KEMWindowHandle;

// Builds the mode of a mode id (GameModeId, CGameMode.h) with the previous
// mode's value; null when this build has no such mode.
typedef CGameMode* (*GameModeFactory)(int modeId, int previousModeValue);

// Services of subsystems that start-up, the frame and shutdown call but that
// do not exist yet; each stays a no-op until its subsystem installs it.
struct CMainAppHooks {
    // Replay manager: clear its buffers, counters and flags, then Init (1000
    // frames, 16 ms); at shutdown free its frame-time array.
    void (*initReplay)() = nullptr;
    void (*freeReplay)() = nullptr;
    // Window blink effects: the 32 effect slots, their per-frame update, and
    // freeing the slots (count back to 0).
    void (*createWindowEffects)() = nullptr;
    void (*updateWindowEffects)() = nullptr;
    void (*freeWindowEffects)() = nullptr;
    // The head-up display's overlay groups go (CHUDMgr::Destroy).
    void (*destroyHud)() = nullptr;
};

class CMainApp {
public:
    constexpr CMainApp() = default;
    // The exit routine: deletes the game mode still held, if any.
    virtual ~CMainApp();
    CMainApp(const CMainApp&) = delete;
    CMainApp& operator=(const CMainApp&) = delete;

    // Brings every engine service up in the fixed start-up order and applies
    // the user settings of "Configuration.cfg". Engine failures come out as
    // CKEMException. Needs the main window handle.
    bool Init();
    // The game-mode loop, from the boot screens until a mode names an id
    // without a mode (closing the window names -1).
    void Run();
    // One frame of that loop for the current mode: the frame services, then
    // the mode's Update. For programs that drive the loop themselves (the
    // match-frame benchmark).
    void StepFrame();
    // Writes the settings back to "Configuration.cfg" (only after a complete
    // Init: a failed start-up must not overwrite the user's file with
    // defaults) and tears the services down in reverse order. Safe after a
    // partial Init.
    void Shutdown();

    KEMWindowHandle GetWindowHandle() const { return mWindow; }
    void SetWindowHandle(KEMWindowHandle window) { mWindow = window; }
    int32_t GetClientWidth() const { return mClientWidth; }
    int32_t GetClientHeight() const { return mClientHeight; }
    void SetClientSize(int32_t width, int32_t height) { mClientWidth = width; mClientHeight = height; }

    // Milliseconds between two frame starts; 0 (the default): no limit, the
    // frames run back to back. Only the throw changes it, and copies the
    // normal period back afterwards.
    uint32_t GetFramePeriod() const { return mFramePeriod; }
    void SetFramePeriod(uint32_t ms) { mFramePeriod = ms; }
    int32_t GetNormalFramePeriod() const { return mNormalFramePeriod; }
    // Clock readings (HalGetTimeMs) of the loop: the current and the previous
    // frame's start, and the next frame's earliest start.
    uint32_t GetFrameStart() const { return mFrameStart; }
    uint32_t GetPreviousFrameStart() const { return mPreviousFrameStart; }
    uint32_t GetNextFrameDeadline() const { return mNextFrameDeadline; }
    void SetNextFrameDeadline(uint32_t ms) { mNextFrameDeadline = ms; }

    // The current game mode; owned. Setting a mode does not delete the old one
    // (the game-mode loop deletes it itself).
    CGameMode* GetCurrentGameMode() const { return mCurrentGameMode; }
    void SetCurrentGameMode(CGameMode* mode) { mCurrentGameMode = mode; }
    // Deletes the held mode through its virtual destructor and clears the pointer.
    void DeleteCurrentGameMode();

    // The window's close request: the current mode ends with the next mode
    // id -1, and the run ends after it even when the mode names another
    // mode in the same frame. Nothing to end while no mode runs yet: the
    // request still ends the run at the first mode's end.
    void RequestClose();
    bool IsCloseRequested() const { return mCloseRequested; }

    // Where Run gets its modes; null (the default) is the game's own table.
    void SetGameModeFactory(GameModeFactory factory) { mModeFactory = factory; }
    // The mode of that id from the factory; null for an id outside 0..11, a
    // mode this build does not have (logged) or a failed allocation.
    CGameMode* CreateGameMode(int modeId, int previousModeValue);

    // Start-up completed: the settings read are the user's, fit to be saved.
    bool IsInitialised() const { return mInitialised; }

    static CMainAppHooks& Hooks();

private:
    // One frame's engine work before the mode's Update: clock, frame limiter,
    // timer, window messages, input, scene manager, network, window effects.
    void RunFrameServices();
    // "cur_lang" of "SETTINGS" becomes the language table's language.
    void ReadLanguageSetting();
    // The settings the game changes go back into "SETTINGS".
    void WriteSettings();

    KEMWindowHandle mWindow = nullptr;
    int32_t mClientWidth = 0;
    int32_t mClientHeight = 0;
    uint32_t mPreviousFrameStart = 0;
    uint32_t mNextFrameDeadline = 0;
    uint32_t mFramePeriod = 0;
    int32_t mNormalFramePeriod = 0;
    uint32_t mFrameStart = 0;
    CGameMode* mCurrentGameMode = nullptr;
    GameModeFactory mModeFactory = nullptr;
    bool mCloseRequested = false;
    bool mInitialised = false;
};

// The one application object and the pointer through which everything reaches
// it. Both are constant-initialised: valid from the very start of the program.
extern CMainApp g_MainApp;
extern CMainApp* g_pMainApp;

// The game's table of modes (game_app): the class of each id, null for the
// modes not in this build yet.
CGameMode* CreateGameModeById(int modeId, int previousModeValue);

// The engine's start-up hook (game_app): the 3D engine's log detail goes to
// low, "Configuration.cfg" is read into the global settings store and its
// graphics settings are applied. Returns the graphics settings' result.
bool LoadConfiguration();

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
