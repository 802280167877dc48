// Linked as the game is, it prints at its entry point what static
// initialization left: run by test_app_startup.cpp.
#include <CGUIMgr.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CLangDB.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <CPhysicMgr.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <CTournament.h>
#include <CAITaskScheduler.h>
#include <DecorTable.h>
#include <GameDifficulty.h>
#include <GraphicSettings.h>
#include <HalTimer.h>
#include <Platform.h>
#include <SaveSlots.h>
#include <StartupValues.h>

#include <cstdio>

int main() {
    // First, before anything else draws.
    const int firstDraw = KemRand();
    std::printf("seed=%u\n", g_StartupRandomSeed);
    std::printf("first_draw=%d\n", firstDraw);
    std::printf("timer_name=%s\n", gTimerName);
    std::printf("timer_time=%u\n", gTimer.GetTimeMs());

    std::printf("app=%d mode=%d period=%u window=%d\n", g_pMainApp == &g_MainApp ? 1 : 0,
                g_MainApp.GetCurrentGameMode() ? 1 : 0, g_MainApp.GetFramePeriod(),
                g_MainApp.GetWindowHandle() ? 1 : 0);
    std::printf("net=%d %u %d %d\n", g_NetMgr.GetState(), unsigned(g_NetMgr.GetPort()), g_NetMgr.m_udp_socket,
                g_NetMgr.mListenSocket);
    std::printf("gui=%g %g %d\n", gGUIMgr.GetMouseX(), gGUIMgr.GetMouseY(), gGUIMgr.IsStarted() ? 1 : 0);
    std::printf("sound=%d %d %d %d\n", gSoundMgr.IsInitialised() ? 1 : 0, gSoundMgr.GetMusic() ? 1 : 0,
                gSoundMgr.GetSoundVolume(), gSoundMgr.GetMusicVolume());
    std::printf("tournament=%d\n", g_pCurrentTournament ? 1 : 0);
    std::printf("graphics=%d %d '%s'\n", TextureQualitySetting, ShadowsSetting, g_CurrentTextureLocation.c_str());
    int filledSlots = 0;
    for (const SaveSlot& slot : g_SaveSlotTable)
        filledSlots += !slot.mPath.empty() || !slot.mInfo.empty();
    int namedDecor = 0;
    for (const DecorEntry& entry : g_DecorTable)
        namedDecor += !entry.mName.empty();
    std::printf("tables=%d %d\n", filledSlots, namedDecor);
    std::printf("language=%u %zu\n", CLangDB::Instance().GetCurrentLanguage(), CLangDB::Instance().GetCount());
    std::printf("settings=%d running=%d\n", gSceneMgr.GetEnvironment().GetCount(), gSceneMgr.IsRunning() ? 1 : 0);
    std::printf("engine=%d %d %d %d\n", gKEMFrameWork.GetRenderWindowCount(),
                gKEMFrameWork.GetGraphicsWorld() ? 1 : 0, CKEMSceneGraph::GetRootNode() ? 1 : 0,
                CKEMSceneGraph::GetCurrentCamera() ? 1 : 0);
    std::printf("physics=%d %zu\n", gPhysicMgr.GetWorld() ? 1 : 0, gPhysicMgr.GetObjects().size());
    std::printf("ai=%zu %d\n", g_AITaskScheduler.GetTaskCount(), g_AITaskScheduler.GetFrameBudget());
    return 0;
}
