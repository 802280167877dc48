#include "AppMain.h"

#include "CMainApp.h"
#include "LaunchOptions.h"
#include "MainWindow.h"

#include <KEMException.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <cstring>
#include <exception>

bool ApplyCommandLine(int argc, char** argv) {
    bool known = true;
    SetBootToMainMenu(false);
    for (int i = 1; i < argc && argv; ++i) {
        if (argv[i] && std::strcmp(argv[i], "--main-menu") == 0) {
            SetBootToMainMenu(true);
        } else {
            PlatLog("AppMain: unknown argument \"%s\" ignored", argv[i] ? argv[i] : "");
            known = false;
        }
    }
    return known;
}

int AppMain(int argc, char** argv) {
    PlatInit();
    ApplyCommandLine(argc, argv);
    KEMWindowHandle window = CreateMainWindow();
    if (!window) {
        PlatMessageBox("Tavirelo", "The main window cannot be opened.");
        return 1;
    }
    CMainApp& app = *g_pMainApp;
    app.SetWindowHandle(window);
    PlatSetEventDispatcher(&MainWndProc);

    int status = 0;
    try {
        app.Init();
        PlatShowMainWindow();
        int width = 0, height = 0;
        PlatGetClientSize(MainWindowId(window), width, height);
        app.SetClientSize(width, height);
        app.Run();
    } catch (const CKEMException& e) {
        PlatMessageBox("KEM Exception", e.what());
        status = 1;
    } catch (const std::exception& e) {
        PlatMessageBox("Tavirelo", e.what());
        status = 1;
    }

    try {
        app.Shutdown();
    } catch (const std::exception& e) {
        PlatMessageBox("Tavirelo", e.what());
        status = 1;
    }
    PlatSetEventDispatcher(nullptr);
    app.SetWindowHandle(nullptr);
    DestroyMainWindow();
    return status;
}
