// Hands the replay recorder to the application's start-up and shutdown, and
// the LAN's ball-position messages to the recorder.
#include "CReplayMgr.h"

#include <CMainApp.h>
#include <CNetMgr.h>
#include <ControlerTable.h>
#include <Platform.h>

#include <string>

namespace {

bool ReceiveBallsPositions(int32_t controller, CObjnet& body)
{
    // Checked before the body is read: positions for a controller this match
    // does not have, or a body that does not read whole or would touch more
    // than the match's balls, must not replace the replay of the last throw.
    // A refusal is the one line logged for the message (the host does not
    // pass it on either).
    ControlerEntry& entry = FindControler(controller);
    // Unfilled entries have the undefined type: that is no controller either.
    if (controller == e_undefined || &entry == &g_DummyControler) {
        PlatLog("Replay: ball positions for unknown controller %d dropped", controller);
        return false;
    }
    std::string why;
    if (!gReplayMgr.CheckPositionsBody(body, &why)) {
        PlatLog("Replay: ball positions from controller %d dropped: %s", controller, why.c_str());
        return false;
    }
    // Only the machine that threw sends the places its throw left: its launch
    // set came first on the same connection and waits for them, once. Any
    // other body (a peer whose turn it is not, a second body for one throw)
    // would replace the places this machine ranks the mene from.
    const uint32_t step = ControlerMessageStep(controller);
    const bool inFlight = entry.mLaunchSetReceived && entry.mLaunchSetStep == step;
    const bool already = entry.mBallPositionsReceived && entry.mBallPositionsStep == step;
    if (!inFlight || already) {
        PlatLog("Replay: ball positions from controller %d dropped: %s", controller,
                already ? "this throw's places came already" : "it has no throw in flight");
        return false;
    }
    gReplayMgr.UnserializePositions(body);
    entry.mBallPositionsReceived = true;
    entry.mBallPositionsStep = step;
    return true;
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
