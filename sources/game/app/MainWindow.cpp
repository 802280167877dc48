#include "MainWindow.h"

#include <PlatWindow.h>
#include <Platform.h>

#include <OgreRenderSystem.h>
#include <OgreRoot.h>

namespace {

const char* const kMainWindowTitle = "Tavirelo Le Jeu du Dornavelle";
const int kMainWindowWidth = 640;
const int kMainWindowHeight = 480;

// Cursor capture: what the capture did, so that it is undone exactly once.
bool gCaptured = false;
bool gCursorHiddenByCapture = false;
bool gCursorClippedByCapture = false;
// The capture both hides and clips the cursor.
const bool kHideCursorWhileCaptured = true;
const bool kClipCursorWhileCaptured = true;

bool gFullScreenKnown = false;
bool gFullScreen = false;

bool MainWindowCursorProvider(KEMWindowHandle window, CursorClientInfo& info) {
    return PlatGetCursorClientInfo(MainWindowId(window), info.cursorX, info.cursorY, info.clientLeft, info.clientTop,
                                   info.clientWidth, info.clientHeight);
}

}  // namespace

KEMWindowHandle CreateMainWindow() {
    PlatWindowHandle window = PlatCreateMainWindow(kMainWindowTitle, kMainWindowWidth, kMainWindowHeight);
    if (!window)
        return nullptr;
    SetCursorClientProvider(&MainWindowCursorProvider);
    return reinterpret_cast<KEMWindowHandle>(window);
}

void DestroyMainWindow() {
    ClipCursorToWindow(false);
    SetCursorClientProvider(nullptr);
    PlatDestroyMainWindow();
}

void MainWndProc(const PlatEvent& ev) {
    switch (ev.type) {
    case PLAT_EV_CLOSE:
    case PLAT_EV_QUIT:
        if (g_pMainApp)
            g_pMainApp->RequestClose();
        break;
    case PLAT_EV_FOCUS:
        if (ev.wParam == 0)
            ClipCursorToWindow(false);
        else if (IsFullScreen())
            ClipCursorToWindow(true);
        break;
    case PLAT_EV_SIZE:
        ClipCursorToWindow(false);
        break;
    case PLAT_EV_MOUSEMOVE:
        if (!IsFullScreen() && PlatMainWindowHasFocus())
            ClipCursorToWindow(true);
        break;
    default:
        break;
    }
}

bool IsFullScreen() {
    if (!gFullScreenKnown) {
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        Ogre::RenderSystem* renderSystem = root ? root->getRenderSystem() : nullptr;
        if (renderSystem) {
            const Ogre::ConfigOptionMap& options = renderSystem->getConfigOptions();
            Ogre::ConfigOptionMap::const_iterator option = options.find("Full Screen");
            gFullScreen = option != options.end() && option->second.currentValue == "Yes";
            gFullScreenKnown = true;
        }
    }
    return gFullScreen;
}

void ClipCursorToWindow(bool capture) {
    if (!capture) {
        if (gCursorClippedByCapture) {
            PlatClipCursor(false);
            gCursorClippedByCapture = false;
        }
        if (gCursorHiddenByCapture) {
            PlatShowCursor(true);
            gCursorHiddenByCapture = false;
        }
        gCaptured = false;
        return;
    }
    if (kClipCursorWhileCaptured && !gCursorClippedByCapture) {
        ClipCursorToClientRect();
        gCursorClippedByCapture = true;
    }
    if (kHideCursorWhileCaptured && !gCursorHiddenByCapture) {
        PlatShowCursor(false);
        gCursorHiddenByCapture = true;
    }
    gCaptured = true;
}

void ClipCursorToClientRect() { PlatClipCursor(true); }

bool IsCursorCaptured() { return gCaptured; }
