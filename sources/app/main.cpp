// Entry point: opens the main window, starts the engine on it, renders frames
// until the window is closed, then shuts everything down in reverse order.
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CMainApp.h>
#include <CSceneMgr.h>
#include <HalMessages.h>
#include <HalTimer.h>
#include <KEMException.h>
#include <MainWindow.h>
#include <PlatWindow.h>
#include <Platform.h>

namespace {

bool gQuit = false;

// The window procedure: a close request or the end of the session ends the loop.
void MainWndProc(const PlatEvent& ev) {
    if (ev.type == PLAT_EV_CLOSE || ev.type == PLAT_EV_QUIT)
        gQuit = true;
}

void Shutdown() {
    CKEMSceneGraph::DestroyRootNode();
    CKEMSceneGraph::DestroyDefaultCamera();
    gKEMFrameWork.Term();
    gSceneMgr.Stop();
}

}  // namespace

int main() {
    PlatInit();
    KEMWindowHandle window = CreateMainWindow();
    if (!window) {
        PlatMessageBox("Tavirelo", "The main window cannot be opened.");
        return 1;
    }
    g_pMainApp->SetWindowHandle(window);
    PlatSetEventDispatcher(&MainWndProc);

    int status = 0;
    bool started = false;
    try {
        gKEMFrameWork.Init();
        gKEMFrameWork.CreateRenderWindow(MainWindowId(window));
        started = true;
        gKEMFrameWork.RegisterFrameListener();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        gSceneMgr.Start();

        PlatShowMainWindow();
        int width = 0, height = 0;
        PlatGetClientSize(MainWindowId(window), width, height);
        g_pMainApp->SetClientSize(width, height);

        while (!gQuit) {
            gTimer.Update();
            HalPumpMessages();
            if (gQuit)
                break;
            gSceneMgr.Manage();
        }
    } catch (const CKEMException& e) {
        PlatMessageBox("KEM Exception", e.what());
        status = 1;
    }

    try {
        if (started)
            Shutdown();
        else
            gKEMFrameWork.Term();
    } catch (const CKEMException& e) {
        PlatMessageBox("KEM Exception", e.what());
        status = 1;
    }
    PlatSetEventDispatcher(nullptr);
    g_pMainApp->SetWindowHandle(nullptr);
    DestroyMainWindow();
    return status;
}
