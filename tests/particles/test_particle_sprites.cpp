// The sprite drawer's quads as the renderer receives them: geometry facing
// the camera, colours, texture windows of animated sprites and batching.
#include "PfxTestFile.h"

#include "CParticleMgr.h"
#include "ParticleRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pfxtest;

namespace {

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        PRI::DiscardBatches();
        const float right[3] = {1, 0, 0}, up[3] = {0, 1, 0}, direction[3] = {0, 0, 1};
        gParticleMgr.SetCameraAxes(right, up, direction);
        mDraw = Params<StandardDrawParams>(4);
        mDraw.textureSlot = 999;
        mDraw.startSize = 2.0f;
        mDraw.startAlpha = 1.0f;
        mDraw.startColour[0] = 1.0f;
        mDraw.pivot[0] = mDraw.pivot[1] = 0.5f;
    }
    void TearDown() override { PRI::DiscardBatches(); }

    // Draws a system of `count` particles, the first `alive` of them alive.
    const std::vector<PRI::ParticleBatch*>& Draw(ParticleSystem& system, uint32_t alive, float elapsed = 0.0f) {
        for (uint32_t i = 0; i < alive; ++i) {
            system.getPool()[i].life = 100.0f;
            system.getPool()[i].elapsed = elapsed;
        }
        system.draw();
        return PRI::GetQueuedBatches();
    }

    StandardDrawParams mDraw;
};

void ExpectVertex(const PRI::ParticleVertex& v, float x, float y, float z, float u, float w) {
    EXPECT_NEAR(v.position[0], x, 1e-5f);
    EXPECT_NEAR(v.position[1], y, 1e-5f);
    EXPECT_NEAR(v.position[2], z, 1e-5f);
    EXPECT_NEAR(v.uv[0], u, 1e-6f);
    EXPECT_NEAR(v.uv[1], w, 1e-6f);
}

}  // namespace

TEST(SpriteColour, PackedAsArgbBytesWithAlphaLimitedAndChannelsKeptInRange) {
    const struct {
        float a, r, g, b;
        uint32_t packed;
    } cases[] = {
        {1.0f, 1.0f, 0.0f, 0.0f, 0xFFFF0000u},
        {1.5f, 0.5f, 0.25f, 1.0f, 0xFF7F3FFFu},   // alpha 1.5 drawn as 255
        {0.0f, -1.0f, 2.0f, 0.999f, 0x0000FFFEu},
        {std::nanf(""), 1.0f, 1.0f, 1.0f, 0x00FFFFFFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PRI::PackColour(c.a, c.r, c.g, c.b), c.packed) << std::hex << c.packed;
}

TEST_F(SpriteTest, QuadsFaceTheCameraAroundTheirPivotWithTheVerticalSwapped) {
    ParticleSystem system(4, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    Particle& p = system.getPool()[0];
    p.position[0] = 1.0f;
    p.position[1] = 2.0f;   // depth in the particle engine
    p.position[2] = 3.0f;   // its vertical
    system.setScale(1.0f, 0.5f, 1.0f);
    const auto& batches = Draw(system, 1);
    ASSERT_EQ(batches.size(), 1u);
    const PRI::ParticleBatch& b = *batches[0];
    EXPECT_EQ(b.sourceBlend, 7);
    EXPECT_EQ(b.destBlend, 9);
    EXPECT_FALSE(b.texture);
    ASSERT_EQ(b.vertexCount, 4);
    ASSERT_EQ(b.indexCount, 6);
    // Size 2 x (1, 0.5) around the centre, at (x, vertical, depth) = (1, 3, 2).
    ExpectVertex(b.vertices[0], 0.0f, 2.5f, 2.0f, 0, 0);
    ExpectVertex(b.vertices[1], 0.0f, 3.5f, 2.0f, 0, 1);
    ExpectVertex(b.vertices[2], 2.0f, 2.5f, 2.0f, 1, 0);
    ExpectVertex(b.vertices[3], 2.0f, 3.5f, 2.0f, 1, 1);
    EXPECT_EQ(b.vertices[0].colour, 0xFFFF0000u);
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b.indices[i], indices[i]);
}

TEST_F(SpriteTest, RotationAndCameraAxesTurnTheQuad) {
    mDraw.startAngle = 1.5707964f;
    mDraw.pivot[0] = mDraw.pivot[1] = 0.0f;
    mDraw.startSize = 1.0f;
    ParticleSystem system(4, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    // A camera looking along +x: right is -z, up is y.
    const float right[3] = {0, 0, -1}, up[3] = {0, 1, 0}, direction[3] = {1, 0, 0};
    gParticleMgr.SetCameraAxes(right, up, direction);
    const auto& batches = Draw(system, 1);
    ASSERT_EQ(batches.size(), 1u);
    // Corner (1, 0) turned a quarter: (0, 1) in the quad, i.e. straight up.
    ExpectVertex(batches[0]->vertices[2], 0.0f, 1.0f, 0.0f, 1, 0);
    // Corner (0, 1) turned: (-1, 0) in the quad, i.e. along -right = +z.
    ExpectVertex(batches[0]->vertices[1], 0.0f, 0.0f, 1.0f, 0, 1);
}

TEST_F(SpriteTest, OnlyLiveParticlesAreDrawnAndAnEmptyDrawQueuesNothing) {
    ParticleSystem system(4, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    EXPECT_TRUE(Draw(system, 0).empty());
    system.getPool()[2].life = 1.0f;
    system.draw();
    ASSERT_EQ(PRI::GetQueuedBatches().size(), 1u);
    EXPECT_EQ(PRI::GetQueuedBatches()[0]->vertexCount, 4);
}

TEST_F(SpriteTest, AdditiveSpritesBlendWithOne) {
    mDraw.additive = 1;
    ParticleSystem system(4, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    const auto& batches = Draw(system, 2);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0]->sourceBlend, 7);
    EXPECT_EQ(batches[0]->destBlend, 0);
    EXPECT_EQ(batches[0]->vertexCount, 8);
    EXPECT_EQ(batches[0]->indices[6], 4);
}

TEST_F(SpriteTest, AnimatedSpritesShowTheFrameOfTheirAge) {
    const struct {
        const char* what;
        uint32_t loop;
        float rate;
        float elapsed;
        float u, v;
    } cases[] = {
        {"frame 9 looped is frame 1", 1, 10.0f, 0.95f + 0.5f, 0.25f, 0.0f},
        {"frame 9 unlooped holds frame 7", 0, 10.0f, 0.95f + 0.5f, 0.75f, 0.5f},
        {"a negative rate runs forward too", 0, -10.0f, 0.5f + 0.55f, 0.25f, 0.5f},
        {"before the start time: the first frame", 1, 10.0f, 0.25f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PRI::DiscardBatches();
        mDraw.animated = 1;
        mDraw.columns = 4;
        mDraw.rows = 2;
        mDraw.loop = c.loop;
        mDraw.frameRate = c.rate;
        mDraw.startTime = 0.5f;
        ParticleSystem system(4, 1.0f);
        Install<StandardDraw>(system, 0, mDraw);
        const auto& batches = Draw(system, 1, c.elapsed);
        ASSERT_EQ(batches.size(), 1u);
        ExpectVertex(batches[0]->vertices[0], -1, -1, 0, c.u, c.v);
        ExpectVertex(batches[0]->vertices[3], 1, 1, 0, c.u + 0.25f, c.v + 0.5f);
    }
}

TEST_F(SpriteTest, ColourChannelsFeedTheVertices) {
    ParticleSystem system(4, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    system.findChannel(PCH_ALPHA)->as<float>()[0] = 0.5f;
    float* colour = system.findChannel(PCH_COLOUR)->vec3();
    colour[0] = 0.0f;
    colour[1] = 1.0f;
    colour[2] = 0.5f;
    const auto& batches = Draw(system, 1);
    ASSERT_EQ(batches.size(), 1u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(batches[0]->vertices[i].colour, 0x7F00FF7Fu);
}

TEST_F(SpriteTest, RangesBeyondSixteenBitIndicesAreSplitIntoSeveralBatches) {
    const uint32_t count = 16384 + 3;
    mDraw.h.end = count;
    ParticleSystem system(count, 1.0f);
    Install<StandardDraw>(system, 0, mDraw);
    const auto& batches = Draw(system, count);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0]->vertexCount, 4 * 16384);
    EXPECT_EQ(batches[1]->vertexCount, 12);
    EXPECT_EQ(batches[0]->indices.back(), 65535);
    EXPECT_EQ(batches[1]->indices[0], 0);
}
