// The sound manager on OpenAL Soft's null device (no sound card needed):
// volumes, shared buffers, voices, listeners, and running without a device.
#include "WaveTestUtil.h"

#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <HalTimer.h>
#include <Platform.h>

#include <AL/al.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

uint32_t gNow = 1000;
uint32_t TestClock() { return gNow; }

Ogre::Matrix4 At(float x, float y, float z)
{
    Ogre::Matrix4 m = Ogre::Matrix4::IDENTITY;
    m.setTrans(Ogre::Vector3(x, y, z));
    return m;
}

ALint VoiceState(const HAL_Sound_CSource* s)
{
    ALint state = 0;
    alGetSourcei(s->GetVoiceId(), AL_SOURCE_STATE, &state);
    return state;
}

float VoiceGain(const HAL_Sound_CSource* s)
{
    ALfloat gain = -1.0f;
    alGetSourcef(s->GetVoiceId(), AL_GAIN, &gain);
    return gain;
}

void ResetManagerState()
{
    for (int i = 0; i < CSoundPool::MAX_LISTENERS; ++i)
        gSoundMgr.SetListener(nullptr, i);
    gSoundMgr.GetPool().SetWorldScale(1.0f);
    gSoundMgr.SetMusicVolume(10);
    gSoundMgr.SetSoundVolume(10);
}

}  // namespace

class SoundMgrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // OpenAL Soft's mixer without output: CI machines have no sound card.
        setenv("ALSOFT_DRIVERS", "null", 0);
        gNow = 1000;
        HalSetTimeSource(&TestClock);
        gSoundMgr.SetDeviceName(nullptr);
        if (!gSoundMgr.Init())
            GTEST_SKIP() << "no OpenAL device, not even the null one";

        // One folder per test: ctest runs tests as parallel processes.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = std::string(KEM_TEST_BINARY_DIR) + "/sound_media/" + info->name();
        std::filesystem::create_directories(mDir);
        ASSERT_TRUE(WriteFile(Path("half.wav"), SilenceWave(500)));
        ASSERT_TRUE(WriteFile(Path("other.wav"), SilenceWave(200)));
        std::vector<unsigned char> broken = SilenceWave(100);
        broken.resize(30);
        ASSERT_TRUE(WriteFile(Path("broken.wav"), broken));
    }
    void TearDown() override
    {
        ResetManagerState();
        gSoundMgr.Term();
        HalSetTimeSource(nullptr);
        CSceneMgr::Services() = CSceneMgrServices();
    }

    std::string Path(const std::string& name) const { return mDir + "/" + name; }
    HAL_Sound_CSource* Load(const std::string& name) { return gSoundMgr.LoadSound(Path(name).c_str(), true); }
    // A looping sound requesting play at `where`.
    HAL_Sound_CSource* Looping(const Ogre::Vector3& where)
    {
        HAL_Sound_CSource* s = Load("half.wav");
        if (s) {
            s->SetLoop(true);
            s->SetPosition(where);
            s->Play();
        }
        return s;
    }

    std::string mDir;
};

TEST(SoundVolume, GainFollowsTheVolumeCurve)
{
    const float expected[11] = {0.0f,      0.011109f, 0.0183156f, 0.0301974f, 0.0497871f, 0.082085f,
                                0.135335f, 0.22313f,  0.367879f,  0.606531f,  1.0f};
    for (int v = 0; v <= 10; ++v)
        EXPECT_NEAR(CSoundMgr::VolumeToGain(v), expected[v], 1e-6f) << v;
    EXPECT_EQ(CSoundMgr::VolumeToGain(0), 0.0f);
}

TEST_F(SoundMgrTest, VolumesScaleTheirOwnCategoryOnly)
{
    HAL_Sound_CSource* effect = Looping(Ogre::Vector3::ZERO);
    HAL_Sound_CSource* music = gSoundMgr.LoadMusic(Path("other.wav").c_str());
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(music, nullptr);
    music->mCategory = HAL_Sound_CSource::CATEGORY_MUSIC;
    music->mFlags |= HAL_Sound_CSource::FLAG_AT_LISTENER;
    music->SetLoop(true);
    music->SetGain(0.5f);
    music->Play();
    gSoundMgr.Update();
    ASSERT_GE(effect->GetVoiceSlot(), 0);
    ASSERT_GE(music->GetVoiceSlot(), 0);

    gSoundMgr.SetMusicVolume(0);
    EXPECT_EQ(gSoundMgr.GetMusicVolume(), 0);
    EXPECT_FLOAT_EQ(VoiceGain(music), 0.0f);
    EXPECT_FLOAT_EQ(VoiceGain(effect), 1.0f);

    gSoundMgr.SetSoundVolume(5);
    gSoundMgr.SetMusicVolume(10);
    EXPECT_NEAR(VoiceGain(effect), 0.082085f, 1e-6f);
    EXPECT_FLOAT_EQ(VoiceGain(music), 0.5f);

    // Category gain x gain never passes 1 (the game runs the effects gain at 100).
    gSoundMgr.GetPool().SetSoundGain(100.0f);
    effect->SetGain(0.5f);
    EXPECT_FLOAT_EQ(VoiceGain(effect), 1.0f);
    gSoundMgr.GetPool().SetSoundGain(-1.0f);
    EXPECT_FLOAT_EQ(gSoundMgr.GetPool().GetSoundGain(), 100.0f);
}

TEST_F(SoundMgrTest, BufferIsSharedAndGoesWithItsLastSource)
{
    HAL_Sound_CSource* a = Load("half.wav");
    HAL_Sound_CSource* b = Load("half.wav");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetBuffer(), b->GetBuffer());
    EXPECT_EQ(a->GetBuffer()->GetRefCount(), 2);
    EXPECT_EQ(a->GetBuffer()->GetDurationMs(), 500u);
    HAL_Sound_CSource* c = Load("other.wav");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 2);

    EXPECT_TRUE(gSoundMgr.ReleaseSource(a));
    EXPECT_EQ(b->GetBuffer()->GetRefCount(), 1);
    EXPECT_TRUE(gSoundMgr.ReleaseSource(b));
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 1);
    EXPECT_TRUE(gSoundMgr.ReleaseSource(c));
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 0);
}

TEST_F(SoundMgrTest, MissingOrBrokenFileGivesNoSourceAndKeepsNoRecord)
{
    EXPECT_EQ(Load("nothing.wav"), nullptr);
    EXPECT_EQ(gSoundMgr.LoadSound("", true), nullptr);
    EXPECT_EQ(gSoundMgr.LoadSound(nullptr, true), nullptr);
    EXPECT_EQ(Load("broken.wav"), nullptr);
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 0);
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 0);
    EXPECT_NE(Load("half.wav"), nullptr);
}

TEST_F(SoundMgrTest, SourceLifetime)
{
    HAL_Sound_CSource* s = Load("half.wav");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->mCategory, HAL_Sound_CSource::CATEGORY_SOUND);
    EXPECT_FALSE(s->IsPlaying());
    ASSERT_TRUE(gSoundMgr.PlaySource(s));
    EXPECT_EQ(s->GetVoiceSlot(), -1);   // the voice comes with the next update
    EXPECT_TRUE(s->IsPlaying());

    gSoundMgr.Update();
    const int slot = s->GetVoiceSlot();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(gSoundMgr.GetPool().GetVoiceOwner(slot), s);
    EXPECT_EQ(VoiceState(s), AL_PLAYING);
    EXPECT_EQ(gSoundMgr.GetPool().GetPlayingCount(), 0);   // counted from the next update on
    gSoundMgr.Update();
    EXPECT_EQ(gSoundMgr.GetPool().GetPlayingCount(), 1);

    // Play again restarts on the same voice.
    EXPECT_TRUE(s->Play());
    EXPECT_EQ(s->GetVoiceSlot(), slot);
    EXPECT_EQ(VoiceState(s), AL_PLAYING);

    EXPECT_TRUE(gSoundMgr.StopSource(s));
    EXPECT_EQ(s->GetVoiceSlot(), -1);
    EXPECT_EQ(gSoundMgr.GetPool().GetVoiceOwner(slot), nullptr);
    EXPECT_FALSE(s->IsPlaying());
    gSoundMgr.Update();
    EXPECT_EQ(s->GetVoiceSlot(), -1);

    // Released while it holds a voice: the voice is free again.
    s->Play();
    gSoundMgr.Update();
    ASSERT_GE(s->GetVoiceSlot(), 0);
    EXPECT_TRUE(gSoundMgr.ReleaseSource(s));
    EXPECT_EQ(gSoundMgr.GetPool().GetVoiceOwner(slot), nullptr);
    // A pointer already released (or kept past Term) is refused, not followed.
    EXPECT_FALSE(gSoundMgr.ReleaseSource(s));
    EXPECT_FALSE(gSoundMgr.ReleaseSource(nullptr));
    EXPECT_FALSE(gSoundMgr.PlaySource(nullptr));
    EXPECT_FALSE(gSoundMgr.StopSource(nullptr));
}

TEST_F(SoundMgrTest, OutOfReachLosesTheVoiceButStaysRequested)
{
    const Ogre::Matrix4 origin = At(0, 0, 0);
    gSoundMgr.SetListener(&origin, 0);
    HAL_Sound_CSource* s = Looping(Ogre::Vector3(20, 0, 0));
    ASSERT_NE(s, nullptr);
    s->SetMaxDistance(10.0f);

    gSoundMgr.Update();
    EXPECT_EQ(s->GetVoiceSlot(), -1);
    EXPECT_FLOAT_EQ(s->GetDistance(), 20.0f);

    s->SetPosition(Ogre::Vector3(0, 0, 5));
    gSoundMgr.Update();
    ASSERT_GE(s->GetVoiceSlot(), 0);
    EXPECT_TRUE(s->GetRelativePosition().positionEquals(Ogre::Vector3(0, 0, 5)));

    s->SetPosition(Ogre::Vector3(0, 11, 0));
    gSoundMgr.Update();
    EXPECT_EQ(s->GetVoiceSlot(), -1);
    EXPECT_TRUE(s->mFlags & HAL_Sound_CSource::FLAG_PLAY);

    // Back in reach it starts again from the beginning.
    s->SetPosition(Ogre::Vector3(3, 0, 0));
    gSoundMgr.Update();
    ASSERT_GE(s->GetVoiceSlot(), 0);
    ALint offset = -1;
    alGetSourcei(s->GetVoiceId(), AL_SAMPLE_OFFSET, &offset);
    EXPECT_LT(offset, 4000);
}

TEST_F(SoundMgrTest, NearestWaitingSoundTakesTheFirstVoiceThatFrees)
{
    const Ogre::Matrix4 origin = At(0, 0, 0);
    gSoundMgr.SetListener(&origin, 0);
    const int voices = gSoundMgr.GetPool().GetVoiceCount();
    ASSERT_GT(voices, 0);
    std::vector<HAL_Sound_CSource*> busy;
    for (int i = 0; i < voices; ++i)
        busy.push_back(Looping(Ogre::Vector3(10, 0, 0)));
    gSoundMgr.Update();
    for (HAL_Sound_CSource* s : busy)
        ASSERT_GE(s->GetVoiceSlot(), 0);

    HAL_Sound_CSource* far = Looping(Ogre::Vector3(50, 0, 0));
    HAL_Sound_CSource* near = Looping(Ogre::Vector3(1, 0, 0));
    gSoundMgr.Update();
    EXPECT_EQ(far->GetVoiceSlot(), -1);
    EXPECT_EQ(near->GetVoiceSlot(), -1);   // nearer than all of them, still waiting
    EXPECT_TRUE(near->IsPlaying());

    const int freed = busy[7 % voices]->GetVoiceSlot();
    busy[7 % voices]->Stop();
    gSoundMgr.Update();
    EXPECT_EQ(near->GetVoiceSlot(), freed);
    EXPECT_EQ(far->GetVoiceSlot(), -1);
    EXPECT_EQ(gSoundMgr.GetPool().GetPlayingCount(), voices - 1);
}

TEST_F(SoundMgrTest, VoicelessSoundPlaysForItsBufferDuration)
{
    const Ogre::Matrix4 origin = At(0, 0, 0);
    gSoundMgr.SetListener(&origin, 0);
    HAL_Sound_CSource* s = Load("half.wav");   // 500 ms
    ASSERT_NE(s, nullptr);
    s->SetMaxDistance(10.0f);
    s->SetPosition(Ogre::Vector3(100, 0, 0));   // never gets a voice
    gSoundMgr.Update();
    s->Play();

    gNow += 500;
    gSoundMgr.Update();
    ASSERT_EQ(s->GetVoiceSlot(), -1);
    EXPECT_TRUE(s->IsPlaying());
    gNow += 1;
    gSoundMgr.Update();
    EXPECT_FALSE(s->IsPlaying());
    s->SetLoop(true);
    EXPECT_TRUE(s->IsPlaying());
}

TEST_F(SoundMgrTest, PausedSoundKeepsItsVoiceAndWaitsWithoutOne)
{
    const Ogre::Matrix4 origin = At(0, 0, 0);
    gSoundMgr.SetListener(&origin, 0);
    HAL_Sound_CSource* voiced = Looping(Ogre::Vector3(1, 0, 0));
    ASSERT_NE(voiced, nullptr);
    gSoundMgr.Update();
    const int slot = voiced->GetVoiceSlot();
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(voiced->Pause());
    gSoundMgr.Update();
    EXPECT_EQ(voiced->GetVoiceSlot(), slot);
    EXPECT_EQ(VoiceState(voiced), AL_PAUSED);

    HAL_Sound_CSource* waiting = Looping(Ogre::Vector3(100, 0, 0));
    waiting->SetMaxDistance(10.0f);
    gSoundMgr.Update();
    EXPECT_TRUE(waiting->Pause());
    waiting->SetPosition(Ogre::Vector3(2, 0, 0));
    gSoundMgr.Update();
    EXPECT_EQ(waiting->GetVoiceSlot(), -1);   // paused: no voice until Play
    waiting->Play();
    gSoundMgr.Update();
    EXPECT_GE(waiting->GetVoiceSlot(), 0);

    HAL_Sound_CSource* idle = Load("half.wav");
    EXPECT_FALSE(idle->Pause());
}

TEST_F(SoundMgrTest, SoundIsHeardFromTheNearestListener)
{
    CSoundPool& pool = gSoundMgr.GetPool();
    const Ogre::Matrix4 a = At(0, 0, 0);
    const Ogre::Matrix4 b = At(100, 0, 0);
    gSoundMgr.SetListener(&a, 0);
    gSoundMgr.SetListener(&b, 1);
    gSoundMgr.SetListener(&b, 4);    // ignored
    gSoundMgr.SetListener(&b, -1);   // ignored
    EXPECT_EQ(pool.GetActiveListenerCount(), 2);

    HAL_Sound_CSource* s = Looping(Ogre::Vector3(90, 0, 0));
    HAL_Sound_CSource* ambient = Looping(Ogre::Vector3(50, 0, 0));
    ambient->mFlags |= HAL_Sound_CSource::FLAG_AT_LISTENER;
    pool.SetWorldScale(10.0f);
    gSoundMgr.Update();
    EXPECT_TRUE(s->GetRelativePosition().positionEquals(Ogre::Vector3(-1, 0, 0)));
    EXPECT_FLOAT_EQ(s->GetDistance(), 1.0f);
    EXPECT_EQ(ambient->GetRelativePosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(ambient->GetDistance(), 0.0f);
    EXPECT_GE(ambient->GetVoiceSlot(), 0);

    // Only listener 0 left: it is the single listener, and positions follow.
    gSoundMgr.SetListener(nullptr, 1);
    EXPECT_EQ(pool.GetSingleListener(), 0);
    gSoundMgr.Update();
    EXPECT_TRUE(s->GetRelativePosition().positionEquals(Ogre::Vector3(9, 0, 0)));

    // The single listener is the highest one left when one remains.
    gSoundMgr.SetListener(&b, 2);
    gSoundMgr.SetListener(&b, 3);
    gSoundMgr.SetListener(nullptr, 0);
    gSoundMgr.SetListener(nullptr, 3);
    EXPECT_EQ(pool.GetActiveListenerCount(), 1);
    EXPECT_EQ(pool.GetSingleListener(), 2);
}

TEST_F(SoundMgrTest, MusicIsReplacedAndForgottenWhenReleased)
{
    HAL_Sound_CSource* first = gSoundMgr.LoadMusic(Path("half.wav").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->IsPlaying());   // loaded, not started
    HAL_Sound_CSource* second = gSoundMgr.LoadMusic(Path("other.wav").c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(gSoundMgr.GetMusic(), second);
    EXPECT_EQ(gSoundMgr.GetPool().GetSourceCount(), 1);

    EXPECT_TRUE(gSoundMgr.ReleaseSource(second));
    EXPECT_EQ(gSoundMgr.GetMusic(), nullptr);
    EXPECT_NE(gSoundMgr.LoadMusic(Path("half.wav").c_str()), nullptr);

    HAL_Sound_CSource* kept = Load("other.wav");
    gSoundMgr.Term();
    EXPECT_EQ(gSoundMgr.GetMusic(), nullptr);
    EXPECT_EQ(gSoundMgr.GetBufferCount(), 0);
    EXPECT_FALSE(gSoundMgr.ReleaseSource(kept));   // gone with Term
}

TEST_F(SoundMgrTest, RunStateSetsTheListenerAndUpdatesTheManager)
{
    CSceneMgrServices& services = CSceneMgr::Services();
    ASSERT_NE(services.soundUpdate, nullptr);
    ASSERT_NE(services.setSoundListener, nullptr);
    static Ogre::Matrix4 camera;
    camera = At(1, 2, 3);
    services.currentCameraMatrix = [](Ogre::Matrix4& out) {
        out = camera;
        return true;
    };

    gNow = 5000;
    gSceneMgr.Manage();
    CSoundPool& pool = gSoundMgr.GetPool();
    EXPECT_TRUE(pool.IsListenerActive(0));
    EXPECT_EQ(pool.GetListenerMatrix(0), camera);
    EXPECT_EQ(pool.GetTime(), 5000u);

    // Paused: the listener stays, sound still updates.
    gSceneMgr.Pause();
    camera = At(9, 9, 9);
    gNow = 6000;
    gSceneMgr.Manage();
    gSceneMgr.Resume();
    EXPECT_EQ(pool.GetListenerMatrix(0), At(1, 2, 3));
    EXPECT_EQ(pool.GetTime(), 6000u);

    gSoundMgr.Term();
    EXPECT_EQ(services.soundUpdate, nullptr);
    EXPECT_EQ(services.setSoundListener, nullptr);
}

TEST(SoundMgrWithoutDevice, EveryCallIsASafeNoOp)
{
    gSoundMgr.SetDeviceName("no such device");
    EXPECT_FALSE(gSoundMgr.Init());
    EXPECT_FALSE(gSoundMgr.IsInitialised());
    EXPECT_EQ(gSoundMgr.GetPool().GetVoiceCount(), 0);
    EXPECT_EQ(CSceneMgr::Services().soundUpdate, nullptr);

    const std::string dir = std::string(KEM_TEST_BINARY_DIR) + "/sound_media/without_device";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(WriteFile(dir + "/a.wav", SilenceWave(100)));
    EXPECT_EQ(gSoundMgr.LoadSound((dir + "/a.wav").c_str(), true), nullptr);
    // The log names the device, not the file that is there, as missing.
    static std::vector<std::string> lines;
    lines.clear();
    PlatSetLogSink([](const char* line) { lines.push_back(line); });
    EXPECT_EQ(gSoundMgr.LoadMusic((dir + "/a.wav").c_str()), nullptr);
    PlatSetLogSink(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no sound device"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("a.wav"), std::string::npos) << lines[0];
    EXPECT_FALSE(gSoundMgr.PlaySource(gSoundMgr.GetMusic()));
    EXPECT_FALSE(gSoundMgr.StopSource(nullptr));
    EXPECT_FALSE(gSoundMgr.ReleaseSource(nullptr));
    const Ogre::Matrix4 m = At(1, 0, 0);
    gSoundMgr.SetListener(&m, 0);
    gSoundMgr.SetMusicVolume(3);
    gSoundMgr.Update();
    gSoundMgr.Term();
    ResetManagerState();
    gSoundMgr.SetDeviceName(nullptr);
}
