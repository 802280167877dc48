// Hands the replay recorder to the application's start-up and shutdown, and
// the LAN's ball-position messages to the recorder.
#include "CReplayMgr.h"

#include <CMainApp.h>
#include <CNetMgr.h>
#include <ControlerTable.h>

namespace {

void ReceiveBallsPositions(int32_t controller, CObjnet& body)
{
    gReplayMgr.UnserializePositions(body);
    ControlerEntry& entry = FindControler(controller);
    if (&entry != &g_DummyControler)
        entry.mBallPositionsReceived = true;
}

void InitReplay()
{
    gReplayMgr.mReplaying = false;
    gReplayMgr.mCapturing = false;
    gReplayMgr.mWriteIndex = 0;
    gReplayMgr.Init();
    // Installed here, not at static initialisation: g_NetMgr lives in another
    // file and may be constructed after this one.
    g_NetMgr.GameServices().ballsPositions = &ReceiveBallsPositions;
}

void FreeReplay()
{
    gReplayMgr.DeleteAllEntities();
}

bool InstallReplayAppHooks()
{
    CMainAppHooks& hooks = CMainApp::Hooks();
    hooks.initReplay = &InitReplay;
    hooks.freeReplay = &FreeReplay;
    return true;
}

}  // namespace

// Referenced by the link options of the library so that this file is kept.
extern const bool gReplayAppHooksInstalled;
const bool gReplayAppHooksInstalled = InstallReplayAppHooks();
