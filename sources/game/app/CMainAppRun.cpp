// The game-mode loop.
#include "CGameMode.h"
#include "CMainApp.h"
#include "TestControl.h"

#include <CInputMgr.h>
#include <CNetMgr.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <HalMessages.h>
#include <HalTimer.h>
#include <Platform.h>

#include <new>

void CMainApp::Run() {
    const uint32_t now = HalGetTimeMs();
    mFrameStart = mPreviousFrameStart = mNextFrameDeadline = now;

    // The end-to-end tests may start elsewhere than at the boot screens.
    int modeId = TestStartUp(GAME_MODE_BOOT);
    mCurrentGameMode = CreateGameMode(modeId, -1);
    while (CGameMode* mode = mCurrentGameMode) {
        const int modeValue = mode->GetModeValue();
        mode->Init();
        TestModeEntered(modeId);
        // A close request that came before this mode ends it at once.
        if (mCloseRequested)
            mode->Finish(GAME_MODE_NONE);
        while (!mode->IsFinished()) {
            RunFrameServices();
            mode->Update();
        }
        mode->Exit();
        // The mode may have named another mode after the close request in
        // the same frame: closing the window still ends the run.
        const int next = mCloseRequested ? int(GAME_MODE_NONE) : mode->GetNextModeId();
        DeleteCurrentGameMode();
        HideAllOverlays();
        modeId = next;
        mCurrentGameMode = CreateGameMode(next, modeValue);
    }
}

void CMainApp::StepFrame() {
    // The clock readings start where Run would start them.
    if (mFrameStart == 0)
        mFrameStart = mPreviousFrameStart = mNextFrameDeadline = HalGetTimeMs();
    RunFrameServices();
    if (mCurrentGameMode)
        mCurrentGameMode->Update();
}

void CMainApp::RunFrameServices() {
    mPreviousFrameStart = mFrameStart;
    TestFrameStart();
    uint32_t now = HalGetTimeMs();
    // The deadline follows the actual time: late frames are not caught up.
    // A test's fixed step runs the frames back to back.
    if (mFramePeriod > 0 && TestFixedStepMs() == 0) {
        while (int32_t(mNextFrameDeadline - now) > 0) {
            HalSleep(mNextFrameDeadline - now);
            now = HalGetTimeMs();
        }
        mNextFrameDeadline = now + mFramePeriod;
    }
    mFrameStart = now;

    gTimer.Update();
    HalPumpMessages();   // MainWndProc runs here
    TestFrameServices();
    gInputMgr.Update();
    gSceneMgr.Manage();
    TestFrameRendered();
    g_NetMgr.Manage();
    if (Hooks().updateWindowEffects)
        Hooks().updateWindowEffects();
}

CGameMode* CMainApp::CreateGameMode(int modeId, int previousModeValue) {
    if (modeId < 0 || modeId >= GAME_MODE_COUNT) {
        if (modeId != GAME_MODE_NONE)
            PlatLog("CMainApp::Run() => next mode id %d names no mode: the run ends", modeId);
        return nullptr;
    }
    CGameMode* mode = nullptr;
    try {
        mode = mModeFactory ? mModeFactory(modeId, previousModeValue) : CreateGameModeById(modeId, previousModeValue);
    } catch (const std::bad_alloc&) {
        PlatLog("CMainApp::Run() => no memory for mode %d (%s): the run ends", modeId, GameModeName(modeId));
        return nullptr;
    }
    if (!mode)
        PlatLog("CMainApp::Run() => mode %d (%s) is not in this build yet: the run ends", modeId, GameModeName(modeId));
    return mode;
}
