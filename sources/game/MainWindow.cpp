#include "MainWindow.h"

#include <PlatWindow.h>

namespace {

const char* const kMainWindowTitle = "Tavirelo Le Jeu du Dornavelle";
const int kMainWindowWidth = 640;
const int kMainWindowHeight = 480;

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
    SetCursorClientProvider(nullptr);
    PlatDestroyMainWindow();
}
