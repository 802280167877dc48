// Sprites drawn through OGRE's GL render system into a real window (xvfb):
// what reaches the screen, blending, texturing and the shared buffers.
#include "OgreHeadless.h"

#include "CKEMSceneParticleEffect.h"
#include "CParticleMgr.h"
#include "ParticleModifiers.h"
#include "ParticleRenderer.h"
#include "ParticleSystem.h"

#include <CWrapOgreCamera.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreViewport.h>
#include <HalTimer.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

struct Pixel {
    int r, g, b;
};

class ParticleDisplayTest : public OgreWrapTest {
protected:
    void SetUp() override {
        OgreWrapTest::SetUp();
        static bool codecLoaded = false;
        if (!codecLoaded) {
            Ogre::Root::getSingleton().loadPlugin(std::string(OGREWRAP_PLUGIN_DIR) + "/Codec_STBI");
            Ogre::ResourceGroupManager::getSingleton().addResourceLocation(
                std::string(KEM_STAGE_DIR) + "/mediaDemo/Particles", "FileSystem", "General");
            codecLoaded = true;
        }
        MakeView();
        gParticleMgr.Init();
        gTimer.mGameDeltaS = 0.0f;
        gParticleMgr.Frame();
        ASSERT_TRUE(PRI::IsReady());
    }
    void TearDown() override {
        gParticleMgr.Term();
        mViewport.reset();
        OgreWrapTest::TearDown();
    }

    // A camera 5 units in front of the origin, looking at it.
    void MakeView() {
        mCamera = mWorld->CreateCamera();
        mCamera->setNearClipDistance(0.1f);
        mEye = mWorld->CreateNode();
        mEye->attachCamera(mCamera);
        mEye->setPosition(Ogre::Vector3(0, 0, 5));
        mViewport.reset(mWorld->CreateViewport(mCamera));
    }

    // A system of `count` live sprites at (x, 0, 0), owned by the manager.
    ParticleSystem* Sprites(uint32_t count, float x, const float colour[3], bool additive, uint32_t slot = 999,
                            float size = 1.0f) {
        ParticleSystem* system = new ParticleSystem(count, 10.0f);
        StandardDraw* draw = new StandardDraw;
        StandardDrawParams& p = draw->params();
        p.h.end = count;
        p.h.flags = PARTICLE_MODIFIER_ENABLED;
        p.textureSlot = slot;
        p.additive = additive ? 1 : 0;
        p.pivot[0] = p.pivot[1] = 0.5f;
        p.startAlpha = 1.0f;
        p.startSize = size;
        std::memcpy(p.startColour, colour, sizeof(p.startColour));
        system->setModifier(0, draw, new ParticleChannel*[4](), true);
        for (uint32_t i = 0; i < count; ++i) {
            system->getPool()[i].life = 100.0f;
            system->getPool()[i].position[0] = x;
        }
        gParticleMgr.Add(system);
        return system;
    }

    // Renders one frame into the back buffer and reads it.
    void Render() {
        Ogre::RenderWindow* window = OgreTestEnvironment::Window();
        window->update(false);
        mWidth = window->getWidth();
        mHeight = window->getHeight();
        mPixels.assign(mWidth * mHeight * 4, 0);
        Ogre::PixelBox box(mWidth, mHeight, 1, Ogre::PF_BYTE_RGBA, mPixels.data());
        window->copyContentsToMemory(Ogre::Box(0, 0, mWidth, mHeight), box, Ogre::RenderTarget::FB_BACK);
    }
    // A pixel at a position given as fractions of the window.
    Pixel At(float fx, float fy) const {
        const size_t x = static_cast<size_t>(fx * mWidth), y = static_cast<size_t>(fy * mHeight);
        const uint8_t* p = &mPixels[(y * mWidth + x) * 4];
        return Pixel{p[0], p[1], p[2]};
    }
    // Where world x lands on the screen's middle row, as a fraction of the width.
    float ScreenX(float x) const {
        const float halfWidth = 5.0f * std::tan(mCamera->getCamera()->getFOVy().valueRadians() / 2) *
                                mCamera->getCamera()->getAspectRatio();
        return 0.5f + x / halfWidth / 2.0f;
    }

    CWrapOgreCamera* mCamera = nullptr;
    CWrapOgreNode* mEye = nullptr;
    std::unique_ptr<CWrapOgreViewport> mViewport;
    std::vector<uint8_t> mPixels;
    size_t mWidth = 0, mHeight = 0;
};

}  // namespace

TEST_F(ParticleDisplayTest, SpritesOfSeveralBatchesReachTheScreen) {
    const float red[3] = {1, 0, 0}, green[3] = {0, 1, 0};
    Sprites(1, -1.0f, red, false);
    Sprites(1, 1.0f, green, false);
    const uint32_t draws = PRI::GetStats().drawCalls;
    Render();
    EXPECT_EQ(PRI::GetStats().drawCalls, draws + 2);
    const Pixel left = At(ScreenX(-1.0f), 0.5f);
    const Pixel right = At(ScreenX(1.0f), 0.5f);
    const Pixel middle = At(0.5f, 0.5f);
    EXPECT_GT(left.r, 240);
    EXPECT_LT(left.g, 16);
    EXPECT_GT(right.g, 240);
    EXPECT_LT(right.r, 16);
    EXPECT_LT(middle.r + middle.g + middle.b, 16);
    EXPECT_TRUE(PRI::GetQueuedBatches().empty());
}

TEST_F(ParticleDisplayTest, AFrameWithoutLiveParticlesDrawsAndLocksNothing) {
    const float red[3] = {1, 0, 0};
    ParticleSystem* system = Sprites(4, 0.0f, red, false);
    for (uint32_t i = 0; i < 4; ++i)
        system->getPool()[i].life = 0.0f;
    const PRI::RendererStats before = PRI::GetStats();
    Render();
    EXPECT_EQ(PRI::GetStats().drawCalls, before.drawCalls);
    EXPECT_EQ(PRI::GetStats().bufferLocks, before.bufferLocks);
    const Pixel middle = At(0.5f, 0.5f);
    EXPECT_LT(middle.r, 16);
}

TEST_F(ParticleDisplayTest, BuffersGrowByDoublingAndAreReused) {
    const float red[3] = {1, 0, 0};
    EXPECT_EQ(PRI::GetStats().vertexBufferSize, 256u);
    EXPECT_EQ(PRI::GetStats().indexBufferSize, 384u);
    ParticleSystem* system = Sprites(65, 0.0f, red, false);
    const uint32_t creations = PRI::GetStats().bufferCreations;
    Render();
    EXPECT_EQ(PRI::GetStats().vertexBufferSize, 512u);
    EXPECT_EQ(PRI::GetStats().indexBufferSize, 768u);
    EXPECT_EQ(PRI::GetStats().bufferCreations, creations + 1);
    EXPECT_GT(At(0.5f, 0.5f).r, 240);

    gParticleMgr.Remove(system);
    Sprites(128, 0.0f, red, false);
    Render();
    EXPECT_EQ(PRI::GetStats().bufferCreations, creations + 1);
    EXPECT_GT(At(0.5f, 0.5f).r, 240);
}

TEST_F(ParticleDisplayTest, AdditiveSpritesAddUpWhereNormalOnesCover) {
    const float dim[3] = {0.4f, 0, 0};
    for (bool additive : {false, true}) {
        SCOPED_TRACE(additive ? "additive" : "normal");
        ParticleSystem* system = Sprites(2, 0.0f, dim, additive);
        Render();
        const int expected = additive ? 204 : 102;
        EXPECT_NEAR(At(0.5f, 0.5f).r, expected, 4);
        gParticleMgr.Remove(system);
    }
}

TEST_F(ParticleDisplayTest, TexturedSpritesShowTheirTexture) {
    ASSERT_TRUE(gParticleMgr.AcquireTexture(0, "pfx_dust.png"));
    const float white[3] = {1, 1, 1};
    Sprites(1, 0.0f, white, false, 0, 2.0f);
    Render();
    // The dust blob: opaque in its middle, transparent toward the quad's corners.
    const Pixel middle = At(0.5f, 0.5f);
    EXPECT_GT(middle.r, 150);
    const float cornerX = ScreenX(-0.95f);
    const float cornerY = 0.5f - (0.5f - cornerX) * OgreTestEnvironment::Window()->getWidth() /
                                     OgreTestEnvironment::Window()->getHeight();
    const Pixel corner = At(cornerX, cornerY);
    EXPECT_LT(corner.r, 16);
    gParticleMgr.ReleaseTexture(0);
    EXPECT_FALSE(gParticleMgr.GetTexture(0));
}

TEST_F(ParticleDisplayTest, ABallImpactRaisesVisibleDust) {
    mEye->setPosition(Ogre::Vector3(0, 0.2f, 2));
    CKEMSceneParticleEffect effect("dust_impact.pfx", nullptr);
    ASSERT_NE(effect.GetSystem(), nullptr);
    Render();
    int lit = 0;
    for (size_t i = 0; i < mPixels.size(); i += 4)
        lit += mPixels[i] > 24 ? 1 : 0;
    EXPECT_EQ(lit, 0);   // loaded, not started: nothing shows

    ASSERT_EQ(effect.StartEffect(), 0);
    for (int frame = 0; frame < 10; ++frame) {
        gParticleMgr.Update(1.0f / 30.0f);
        effect.Manage();
    }
    Render();
    for (size_t i = 0; i < mPixels.size(); i += 4) {
        const bool sandy = mPixels[i] > 24 && mPixels[i] >= mPixels[i + 1] && mPixels[i + 1] >= mPixels[i + 2];
        lit += sandy ? 1 : 0;
    }
    EXPECT_GT(lit, 100);
}

TEST_F(ParticleDisplayTest, ARestartedEngineGetsTheRendererBack) {
    mViewport.reset();
    OgreWrapTest::TearDown();   // graphics world and scene manager go
    OgreWrapTest::SetUp();
    MakeView();
    gParticleMgr.Frame();
    ASSERT_TRUE(PRI::IsReady());
    const float red[3] = {1, 0, 0};
    Sprites(1, 0.0f, red, false);
    Render();
    EXPECT_GT(At(0.5f, 0.5f).r, 240);
}
