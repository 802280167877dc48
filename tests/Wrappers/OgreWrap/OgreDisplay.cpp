#include "OgreHeadless.h"

namespace {
::testing::Environment* const g_ogre = ::testing::AddGlobalTestEnvironment(new OgreTestEnvironment(true));
}
