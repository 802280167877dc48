#include "CMainApp.h"

#include "CGameMode.h"

// Constant initialisation: g_pMainApp holds the address before any dynamic
// initialiser runs, whatever the link order.
CMainApp g_MainApp;
CMainApp* g_pMainApp = &g_MainApp;

CMainApp::~CMainApp() { DeleteCurrentGameMode(); }

CMainAppHooks& CMainApp::Hooks() {
    static CMainAppHooks hooks;
    return hooks;
}

void CMainApp::DeleteCurrentGameMode() {
    CGameMode* mode = mCurrentGameMode;
    mCurrentGameMode = nullptr;
    delete mode;
}

void CMainApp::RequestClose() {
    mCloseRequested = true;
    if (mCurrentGameMode)
        mCurrentGameMode->Finish(GAME_MODE_NONE);
}

static CursorClientProvider gCursorProvider = nullptr;

void SetCursorClientProvider(CursorClientProvider provider) { gCursorProvider = provider; }

bool GetCursorClientPosition(float& x, float& y) {
    CursorClientInfo info;
    KEMWindowHandle window = g_pMainApp ? g_pMainApp->GetWindowHandle() : nullptr;
    if (!gCursorProvider || !gCursorProvider(window, info) || info.clientWidth <= 0 || info.clientHeight <= 0) {
        x = -1.0f;
        y = -1.0f;
        return false;
    }
    x = static_cast<float>(info.cursorX - info.clientLeft) / static_cast<float>(info.clientWidth);
    y = static_cast<float>(info.cursorY - info.clientTop) / static_cast<float>(info.clientHeight);
    return x >= 0.0f && x < 1.0f && y >= 0.0f && y < 1.0f;
}
