// The sound node on OpenAL Soft's null device and OGRE without a display:
// scene records, fades, one-shot nodes, positions, and running without sound.
#include "SceneGraphTest.h"
#include "WaveTestUtil.h"

#include <CKEMSceneSound.h>
#include <CScenaricMgr.h>
#include <CSoundMgr.h>
#include <HalTimer.h>

#include <OgreResourceGroupManager.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

uint32_t gNow = 1000;
uint32_t TestClock() { return gNow; }

// Sound files in a resource location of their own, indexed once per process.
void ProvideSounds()
{
    static bool provided = false;
    if (provided)
        return;
    const std::string dir =
        std::string(KEM_TEST_BINARY_DIR) + "/sound_node_media/" + std::to_string(static_cast<long>(getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(WriteFile(dir + "/tone.wav", SilenceWave(500)));
    std::vector<unsigned char> broken = SilenceWave(100);
    broken.resize(40);
    ASSERT_TRUE(WriteFile(dir + "/broken.wav", broken));
    Ogre::ResourceGroupManager::getSingleton().addResourceLocation(dir, "FileSystem", "Sounds");
    provided = true;
}

Ogre::Vector3 SourcePosition(const CKEMSceneSound* node) { return node->GetSource()->GetWorldPosition(); }

}  // namespace

class SceneSoundTest : public SceneGraphTest {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        setenv("ALSOFT_DRIVERS", "null", 0);   // no sound card on CI
        gNow = 1000;
        HalSetTimeSource(&TestClock);
        gTimer.mCurrentClock = 10000;
        gSoundMgr.SetDeviceName(nullptr);
        if (!gSoundMgr.Init())
            GTEST_SKIP() << "no OpenAL device, not even the null one";
        ProvideSounds();
    }
    void TearDown() override
    {
        SceneGraphTest::TearDown();   // the nodes go first and release their sounds
        for (int i = 0; i < CSoundPool::MAX_LISTENERS; ++i)
            gSoundMgr.SetListener(nullptr, i);
        gSoundMgr.Term();
        HalSetTimeSource(nullptr);
        gTimer.mCurrentClock = 0;
    }

    // A node record of class type 10 with the given sound variables.
    CKEMSceneSound* Load(const std::string& name, const std::string& variables)
    {
        const std::string text = Scene(NodeRecord(10, name, "KEM_ROOT", variables));
        if (!CKEMSceneGraph::LoadNodes(text.c_str()))
            return nullptr;
        return dynamic_cast<CKEMSceneSound*>(CKEMSceneGraph::FindNode(name));
    }

    // A music node on "tone.wav", looping, fading over `fade` ms.
    CKEMSceneSound* Music(uint32_t fade)
    {
        CKEMSceneSound* node = new CKEMSceneSound(nullptr);
        node->setResource("tone.wav");
        node->SetLoop(true);
        node->SetAmbient(true);
        node->SetMusic();
        node->SetFade(fade);
        node->SetGain(0.8f);
        return node;
    }

    void Frame() { gScenaricMgr.Update(); }
};

TEST_F(SceneSoundTest, SceneRecordConfiguresTheNode)
{
    CKEMSceneSound* crowd = Load("crowd", Position(1, 2, 3) +
                                              "\t<CKEMSCENE_SOUND_RESOURCE value=\"tone.wav\" />\n"
                                              "\t<CKEMSCENESOUND_LOOP value=\"1\" />\n"
                                              "\t<CKEMSCENESOUND_AMBIANT value=\"1\" />\n"
                                              "\t<CKEMSCENESOUND_FX value=\"0\" />\n"
                                              "\t<CKEMSCENESOUND_FADE value=\"0\" />\n"
                                              "\t<CKEMSCENESOUND_GAIN value=\"0.7\" />\n"
                                              "\t<CKEMSCENESOUND_MINDIST value=\"2\" />\n"
                                              "\t<CKEMSCENESOUND_MAXDIST value=\"50\" />\n"
                                              "\t<CKEMSCENESOUND_ROLLOFF value=\"0.5\" />\n"
                                              "\t<CKEMSCENESOUND_PITCH value=\"1.2\" />\n");
    ASSERT_NE(crowd, nullptr);
    EXPECT_EQ(crowd->getKEM_NodeType(), CKEMSceneNode::KEM_SCENE_SOUND);
    EXPECT_EQ(crowd->getResource(), "tone.wav");
    EXPECT_TRUE(crowd->GetLoop());
    EXPECT_TRUE(crowd->IsAmbient());
    EXPECT_FALSE(crowd->IsFx());
    EXPECT_EQ(crowd->GetFade(), 2000u);   // 0 in a file means the default
    EXPECT_FLOAT_EQ(crowd->GetGain(), 0.7f);
    EXPECT_EQ(crowd->GetSource(), nullptr);   // silent until woken
    EXPECT_GE(gScenaricMgr.IndexOf(crowd), 0);

    crowd->play();
    HAL_Sound_CSource* source = crowd->GetSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->mCategory, HAL_Sound_CSource::CATEGORY_MUSIC);
    EXPECT_TRUE(source->mFlags & HAL_Sound_CSource::FLAG_AT_LISTENER);
    EXPECT_TRUE(source->mFlags & HAL_Sound_CSource::FLAG_LOOP);
    EXPECT_FLOAT_EQ(source->GetReferenceDistance(), 2.0f);
    EXPECT_FLOAT_EQ(source->GetMaxDistance(), 50.0f);
    EXPECT_FLOAT_EQ(source->GetRolloffFactor(), 0.5f);
    EXPECT_FLOAT_EQ(source->GetPitch(), 1.2f);
    EXPECT_EQ(source->GetName(), "crowd");
    EXPECT_TRUE(source->IsPlaying());

    // A record without sound variables keeps the defaults: an effect, no fade change.
    CKEMSceneSound* plain = Load("plain", "");
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->IsFx());
    EXPECT_EQ(plain->GetFade(), 2000u);
    EXPECT_FLOAT_EQ(plain->GetMaxDistance(), 300.0f);
    EXPECT_FLOAT_EQ(plain->GetMinDistance(), 3.0f);
    plain->play();   // no resource: stays silent
    EXPECT_EQ(plain->GetSource(), nullptr);
    EXPECT_TRUE(plain->IsStopped());
}

TEST_F(SceneSoundTest, MusicFadesInAndOut)
{
    CKEMSceneSound* music = Music(1000);
    const uint32_t t = gTimer.mCurrentClock;
    music->play();
    HAL_Sound_CSource* source = music->GetSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->mCategory, HAL_Sound_CSource::CATEGORY_MUSIC);

    const struct {
        uint32_t at;
        float gain;
    } fadeIn[] = {{0, 0.0f}, {500, 0.4f}, {1000, 0.8f}, {1700, 0.8f}};
    for (const auto& step : fadeIn) {
        gTimer.mCurrentClock = t + step.at;
        Frame();
        EXPECT_NEAR(source->GetGain(), step.gain, 1e-5f) << "fade in at " << step.at;
    }

    const uint32_t s = gTimer.mCurrentClock;
    music->stop();
    ASSERT_EQ(music->GetSource(), source);   // fading out, not cut
    gTimer.mCurrentClock = s + 250;
    Frame();
    EXPECT_NEAR(source->GetGain(), 0.6f, 1e-5f);
    gTimer.mCurrentClock = s + 999;
    Frame();
    EXPECT_NE(music->GetSource(), nullptr);
    gTimer.mCurrentClock = s + 1000;
    Frame();
    EXPECT_EQ(music->GetSource(), nullptr);
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 0);
    EXPECT_GE(gScenaricMgr.IndexOf(music), 0);   // not a one-shot: it stays
}

TEST_F(SceneSoundTest, EffectStopsAtOnceAndStopAfterTheEndSendsNothing)
{
    const Ogre::Matrix4 listener = Ogre::Matrix4::IDENTITY;
    gSoundMgr.SetListener(&listener, 0);
    CKEMSceneSound* effect = new CKEMSceneSound(nullptr);
    effect->setResource("tone.wav");   // 500 ms
    effect->setPosition(Ogre::Vector3(1000, 0, 0), false);
    effect->SetMaxDistance(10.0f);     // out of reach: it never gets a voice
    effect->play();
    ASSERT_NE(effect->GetSource(), nullptr);
    EXPECT_FALSE(effect->IsStopped());
    effect->stop();
    EXPECT_EQ(effect->GetSource(), nullptr);
    EXPECT_TRUE(effect->IsAsleep());

    effect->play();
    gSoundMgr.Update();
    HAL_Sound_CSource* source = effect->GetSource();
    ASSERT_NE(source, nullptr);
    gNow += 600;
    gSoundMgr.Update();
    EXPECT_TRUE(effect->IsStopped());
    effect->stop();   // the sound has ended: no sleep event
    EXPECT_EQ(effect->GetSource(), source);
    EXPECT_FALSE(effect->IsAsleep());
}

TEST_F(SceneSoundTest, OneShotGoesInTheFirstFrameAfterItsSoundEnds)
{
    const Ogre::Matrix4 listener = Ogre::Matrix4::IDENTITY;
    gSoundMgr.SetListener(&listener, 0);
    const int children = Root()->GetChildCount();
    const Ogre::Vector3 far(1000, 0, 0);   // beyond 10: played without a voice, timed by its buffer
    CKEMSceneSound* shot = CKEMSceneSound::CreateSource("tone.wav", 0.5f, false, &far, 1.0f, 3.0f, 10.0f, 1.0f);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(shot->IsOneShot());
    EXPECT_FALSE(shot->IsAmbient());
    EXPECT_TRUE(shot->IsKeptAwake());
    ASSERT_NE(shot->GetSource(), nullptr);
    EXPECT_FLOAT_EQ(shot->GetSource()->GetGain(), 0.5f);
    EXPECT_EQ(SourcePosition(shot), far);
    EXPECT_EQ(Root()->GetChildCount(), children + 1);

    gSoundMgr.Update();
    Frame();
    EXPECT_GE(gScenaricMgr.IndexOf(shot), 0);
    gNow += 501;
    gSoundMgr.Update();
    Frame();
    EXPECT_LT(gScenaricMgr.IndexOf(shot), 0);   // removed and deleted
    EXPECT_EQ(Root()->GetChildCount(), children);
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 0);

    // A looping one stays; without a position it is ambient.
    CKEMSceneSound* loop = CKEMSceneSound::CreateSource("tone.wav", 1.0f, true, nullptr, 1.0f, 3.0f, 300.0f, 1.0f);
    ASSERT_NE(loop, nullptr);
    EXPECT_FALSE(loop->IsOneShot());
    EXPECT_TRUE(loop->GetSource()->mFlags & HAL_Sound_CSource::FLAG_AT_LISTENER);
    gNow += 5000;
    gSoundMgr.Update();
    Frame();
    EXPECT_GE(gScenaricMgr.IndexOf(loop), 0);

    EXPECT_EQ(CKEMSceneSound::CreateSource("", 1.0f, false, nullptr, 1.0f, 3.0f, 300.0f, 1.0f), nullptr);
}

TEST_F(SceneSoundTest, OneShotWhoseSoundCannotLoadDoesNotStay)
{
    const int registered = gScenaricMgr.GetCount();
    for (const char* name : {"missing.wav", "broken.wav"}) {
        CKEMSceneSound* shot = CKEMSceneSound::CreateSource(name, 1.0f, false, nullptr, 1.0f, 3.0f, 300.0f, 1.0f);
        ASSERT_NE(shot, nullptr);
        EXPECT_EQ(shot->GetSource(), nullptr);
        Frame();
        EXPECT_EQ(gScenaricMgr.GetCount(), registered) << name;
    }
}

TEST_F(SceneSoundTest, MovingTheNodeMovesItsSource)
{
    // Under a moved parent: the sound manager takes world positions.
    CKEMSceneSound* parent = new CKEMSceneSound(nullptr);
    parent->setPosition(Ogre::Vector3(10, 0, 0), false);
    CKEMSceneSound* sound = new CKEMSceneSound(parent);
    sound->setResource("tone.wav");
    sound->SetLoop(true);
    sound->setPosition(Ogre::Vector3(1, 0, 0), false);
    sound->play();
    ASSERT_NE(sound->GetSource(), nullptr);
    EXPECT_EQ(SourcePosition(sound), Ogre::Vector3(11, 0, 0));
    sound->setPosition(Ogre::Vector3(4, 5, 6), false);
    EXPECT_EQ(SourcePosition(sound), Ogre::Vector3(14, 5, 6));
    sound->translate(Ogre::Vector3(1, 0, 0), CKEMSceneGraphicHandle::SPACE_PARENT);
    EXPECT_EQ(SourcePosition(sound), Ogre::Vector3(15, 5, 6));

    // An ambient node is heard at the listener wherever it stands.
    const Ogre::Matrix4 listener = Ogre::Matrix4::IDENTITY;
    gSoundMgr.SetListener(&listener, 0);
    sound->SetAmbient(true);
    gSoundMgr.Update();
    EXPECT_EQ(sound->GetSource()->GetRelativePosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(sound->GetSource()->GetDistance(), 0.0f);
}

TEST_F(SceneSoundTest, SourceGoesWithResetTermAndTheNode)
{
    CKEMSceneSound* sound = Music(1000);
    sound->play();
    ASSERT_NE(sound->GetSource(), nullptr);
    sound->Reset();
    EXPECT_TRUE(sound->IsStopped());
    sound->play();
    sound->Term();
    EXPECT_EQ(sound->GetSource(), nullptr);
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 0);

    sound->play();
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 1);
    sound->setDebugMode(true);    // the helper mesh may be missing: logged, no failure
    sound->setDebugMode(false);
    EXPECT_EQ(sound->GetDebugEntity(), nullptr);
    CKEMSceneGraph::DeleteNode(sound->getName());
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 0);
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 0);
}

TEST_F(SceneGraphTest, SoundNodeWithoutAudioDeviceStaysSilent)
{
    gSoundMgr.SetDeviceName("no such device");
    ASSERT_FALSE(gSoundMgr.Init());
    CKEMSceneSound* sound = new CKEMSceneSound(nullptr);
    sound->setResource("tone.wav");
    EXPECT_EQ(sound->WakeUp(CKEMSceneNode::EVENT_WAKEUP, sound, 0), -1);
    sound->play();
    sound->stop();
    sound->pause();
    EXPECT_TRUE(sound->IsStopped());
    gSoundMgr.SetDeviceName(nullptr);
}
