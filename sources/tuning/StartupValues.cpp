// Defined after its values, this unit's initialiser runs the start-up
// sequence once they are constructed; the tuning load is its own step.
#define TUNING_NO_STARTUP_HOOK
#include "StartupValues.h"
#include "TuningLoader.h"

#include <CLangDB.h>
#include <Platform.h>

#include <OgreVector.h>

#include <cstdint>
#include <ctime>

const char g_szWindowClassName[] = "KEMAppClass";

Ogre::Quaternion g_SpinQuaternionMinus;   // identity until the sequence runs
Ogre::Quaternion g_SpinQuaternionPlus;
float g_BootFadeColour[4] = {1.0f, 1.0f, 1.0f, 0.0f};
float g_DemoEndFadeColour[4] = {1.0f, 1.0f, 1.0f, 0.0f};
std::string g_DemoPlayerName;
std::string g_DemoPlayerNames[2];
unsigned int g_StartupRandomSeed = 0;

namespace {
void SetStartupValues() {
    // The random seed: the low 32 bits of the calendar time.
    g_StartupRandomSeed = static_cast<unsigned int>(static_cast<uint64_t>(std::time(nullptr)) & 0xFFFFFFFFu);
    KemSrand(g_StartupRandomSeed);

    // The tuning sets.
    TuningEnsureLoaded();

    g_SpinQuaternionMinus = Ogre::Quaternion::IDENTITY;
    g_SpinQuaternionMinus.FromAngleAxis(Ogre::Radian(-0.02f), Ogre::Vector3::UNIT_Y);
    g_SpinQuaternionPlus = Ogre::Quaternion::IDENTITY;
    g_SpinQuaternionPlus.FromAngleAxis(Ogre::Radian(0.02f), Ogre::Vector3::UNIT_Y);

    for (int i = 0; i < 3; ++i) {
        g_BootFadeColour[i] = 1.0f;
        g_DemoEndFadeColour[i] = 1.0f;
    }
    g_BootFadeColour[3] = 0.0f;
    g_DemoEndFadeColour[3] = 0.0f;

    g_DemoPlayerName = GetText("LAN_PLAYER1");
    g_DemoPlayerNames[0] = GetText("LAN_PLAYER1");
    g_DemoPlayerNames[1] = GetText("LAN_PLAYER2");
}


struct StartupValuesInit {
    StartupValuesInit() { SetStartupValues(); }
};
const StartupValuesInit sStartupValuesInit;
}  // namespace
