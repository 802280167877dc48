// Starts like the game does (everything set up by static initialization) and
// prints what it finds at the entry point. Run by test_tuning_startup.cpp from
// working folders with and without "../../mediaDemo/Config/".
#include <CMainApp.h>
#include <CNetClient.h>
#include <ControlerTable.h>
#include <DefaultContextSound.h>
#include <FXTuning.h>
#include <PhysicTricksEffects.h>
#include <StartupValues.h>
#include <TuningParameters.h>

#include <cstdio>

int main() {
    std::printf("reached main\n");
    std::printf("unreadable=%zu\n", TuningGetUnreadableFiles().size());
    std::printf("folder=%s\n", TuningGetLoadedFolder().c_str());
    std::printf("ENABLE_CHEAT=%d\n", ENABLE_CHEAT ? 1 : 0);
    std::printf("ANGLE_MAX_TIR=%d\n", ANGLE_MAX_TIR);
    std::printf("TEMPS_JAUGE_POWER_MOYEN=%g\n", TEMPS_JAUGE_POWER_MOYEN);
    std::printf("DIST_ENTRE_GRADUATION=%g\n", DIST_ENTRE_GRADUATION);
    std::printf("RetroBrakeFactor=%g\n", RetroBrakeFactor);
    std::printf("AngleSideEffect=%g\n", AngleSideEffect);
    std::printf("dustScale=%g\n", dustScale);
    std::printf("HitGround=%s\n", HitGround);
    std::printf("window_class=%s\n", g_szWindowClassName);
    std::printf("app_pointer_ok=%d\n", g_pMainApp == &g_MainApp ? 1 : 0);
    std::printf("seed_nonzero=%d\n", g_StartupRandomSeed != 0 ? 1 : 0);
    std::printf("demo_player=%s\n", g_DemoPlayerName.c_str());
    std::printf("demo_players=%s,%s\n", g_DemoPlayerNames[0].c_str(), g_DemoPlayerNames[1].c_str());
    std::printf("fade=%g,%g,%g,%g\n", g_BootFadeColour[0], g_BootFadeColour[1], g_BootFadeColour[2],
                g_BootFadeColour[3]);
    std::printf("spin_minus_y=%.6f\n", g_SpinQuaternionMinus.y);
    std::printf("controler_index5=%d current=%d,%d\n", ControlerTable[5].mIndex, g_ControlerCurrentIndex[0],
                g_ControlerCurrentIndex[1]);
    std::printf("net_buffer=%u %d\n", g_NetClient.GetReceiveBufferSize(),
                g_NetClient.GetReceiveBuffer() != nullptr ? 1 : 0);
    return 0;
}
