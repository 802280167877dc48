// A script on a sound node sees the class "KEMSceneSound" (without a sound
// device: the calls reach the node, which stays silent).
#include "OgreHeadless.h"
#include "ScriptingTestUtil.h"

#include <CKEMScript.h>
#include <CKEMSceneSound.h>
#include <CSoundMgr.h>

#include <memory>

namespace {

using namespace scripting_test;

class ScriptedSoundTest : public OgreWrapTest {};

TEST_F(ScriptedSoundTest, ASoundNodeComesWithItsPlaybackMethods)
{
    ScriptMedia media;
    gSoundMgr.SetDeviceName("no such device");
    std::unique_ptr<CKEMSceneSound> sound(new CKEMSceneSound(nullptr));
    sound->setResource("tone.wav");
    sound->attachScript(new CKEMScript("sound.lua"));
    EXPECT_TRUE(CallBool(sound.get(), "SoundClass")) << LogText();
    EXPECT_TRUE(CallBool(sound.get(), "PlayOther")) << LogText();
    EXPECT_EQ(sound->getResource(), "other.wav");
    EXPECT_TRUE(sound->IsStopped());
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
    gSoundMgr.SetDeviceName(nullptr);
}

}  // namespace
