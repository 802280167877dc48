// The other program-wide values set before the entry point.
//
// Order: the window class name and the application pointer (both constant:
// there from the very start), the random seed, the tuning sets,
// then the spin quaternions, the fade colours and the demo player names. The
// controllers table (game, ControlerTable.h) and the network client's receive
// buffer (net, CNetClient.h) are set up by their own units; nothing here
// depends on them.
#pragma once

#include <OgreQuaternion.h>

#include <string>

// "KEMAppClass": the main window's class name.
extern const char g_szWindowClassName[];

// Rotations about Ogre::Vector3::UNIT_Y by -0.02 and +0.02 radians, used by
// the computer opponent's throw evaluation for side effects of kind 3 and 2.
extern Ogre::Quaternion g_SpinQuaternionMinus;
extern Ogre::Quaternion g_SpinQuaternionPlus;

// Fade colours (red, green, blue, alpha) of the boot screens' and of the demo
// end screens' overlay fades: (1, 1, 1, 0) until the first fade step.
extern float g_BootFadeColour[4];
extern float g_DemoEndFadeColour[4];

// The demo menu's quick-match player names: GetText of "LAN_PLAYER1" and
// "LAN_PLAYER2" before the language table is loaded, i.e. the keys themselves.
extern std::string g_DemoPlayerName;
extern std::string g_DemoPlayerNames[2];

// The seed given to the random generator before the entry point: the low 32
// bits of the calendar time in seconds.
extern unsigned int g_StartupRandomSeed;
