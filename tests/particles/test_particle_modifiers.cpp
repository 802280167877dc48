// The modifier kinds: emission, motion, killing and the over-life tracks.
#include "PfxTestFile.h"

#include "CParticleMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace pfxtest;

namespace {

class ModifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        KemSrand(7);
        SetParticleFrameTime(0.05f);
    }

    static int Alive(const ParticleSystem& s) {
        int n = 0;
        for (uint32_t i = 0; i < s.getParticleCount(); ++i)
            n += IsParticleAlive(s.getPool()[i]) ? 1 : 0;
        return n;
    }
    static const float* Velocity(ParticleSystem& s, uint32_t i) { return s.findChannel(PCH_VELOCITY)->vec3() + 3 * i; }

    static SprayGeneratorParams Spray(uint32_t end, float rate, uint32_t counter) {
        SprayGeneratorParams p = Params<SprayGeneratorParams>(end);
        p.direction[2] = 1.0f;
        p.speedMin = p.speedMax = 2.0f;
        p.lifeMin = p.lifeMax = 1.0f;
        p.rate = rate;
        p.counterStart = counter;
        return p;
    }
};

}  // namespace

TEST_F(ModifierTest, SprayEmitsOnTheFirstUpdateThenAtItsRate) {
    ParticleSystem system(10, 10.0f);
    Install<SprayGenerator>(system, 0, Spray(10, 10.0f, 0x80000000u));
    const int expected[] = {1, 2, 2, 3, 3, 4};   // one at once, then one every 0.1 s
    for (int frame = 0; frame < 6; ++frame) {
        system.update();
        EXPECT_EQ(Alive(system), expected[frame]) << "frame " << frame;
    }
    EXPECT_EQ(system.getPool()[0].flags, 0);   // births are cleared after the update
}

TEST_F(ModifierTest, EmissionCountersMaximumAndStopping) {
    const struct {
        const char* what;
        uint32_t counter;
        uint32_t maximum;
        bool stopping;
        int aliveAfterSecondWave;
    } cases[] = {
        {"counter 1 uses each record once", 1, 0, false, 0},
        {"bit 31 refills forever", 0x80000000u, 0, false, 4},
        {"counter 0 never emits", 0, 0, false, 0},
        {"a maximum stops the walk", 0x80000000u, 2, false, 0},
        {"a stopping system emits nothing", 0x80000000u, 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParticleSystem system(4, 10.0f);
        SprayGeneratorParams spray = Spray(4, 1000.0f, c.counter);
        spray.maxEmissions = c.maximum;
        spray.lifeMin = spray.lifeMax = 0.07f;   // lives into the second frame only
        Install<SprayGenerator>(system, 0, spray);
        system.setStopping(c.stopping);
        system.update();
        const int firstWave = Alive(system);
        EXPECT_EQ(firstWave, c.stopping || c.counter == 0 ? 0 : (c.maximum ? 2 : 4));
        system.update();   // the first wave dies here, its records still taken
        system.update();   // a second wave where the counters allow it
        EXPECT_EQ(Alive(system), c.aliveAfterSecondWave);
    }
}

TEST_F(ModifierTest, SprayPlacesThroughTheSystemTransformAndKeepsInsideItsCone) {
    ParticleSystem system(32, 10.0f);
    SprayGeneratorParams spray = Spray(32, 1000.0f, 1);
    spray.origin[0] = 1.0f;
    spray.angleMin = 0.0f;
    spray.angleMax = 0.3f;
    spray.speedMin = 1.0f;
    spray.speedMax = 3.0f;
    Install<SprayGenerator>(system, 0, spray);
    // A quarter turn about z (x -> y), then moved to (10, 20, 30); scale 2.
    const float transform[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 20, 30};
    system.setTransform(transform);
    system.setScale(2, 2, 2);
    system.update();
    ASSERT_EQ(Alive(system), 32);
    const float scaleLength = std::sqrt(12.0f);
    for (uint32_t i = 0; i < 32; ++i) {
        const Particle& p = system.getPool()[i];
        EXPECT_FLOAT_EQ(p.position[0], 10.0f);
        EXPECT_FLOAT_EQ(p.position[1], 22.0f);
        EXPECT_FLOAT_EQ(p.position[2], 30.0f);
        const float* v = Velocity(system, i);
        const float speed = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        EXPECT_GE(speed, 1.0f - 1e-4f);
        EXPECT_LE(speed, 1.0f + 2.0f * scaleLength + 1e-3f);
        EXPECT_LE(std::acos(v[2] / speed), 0.3f + 1e-3f);
    }
}

TEST_F(ModifierTest, BoxAndLineGeneratorsStartParticlesInsideTheirScaledRegion) {
    ParticleSystem system(64, 10.0f);
    BoxGeneratorParams box = Params<BoxGeneratorParams>(32);
    box.boxMin[0] = -1; box.boxMin[1] = 2; box.boxMin[2] = 0;
    box.boxMax[0] = 1;  box.boxMax[1] = 3; box.boxMax[2] = 0;
    box.direction[2] = 1.0f;
    box.lifeMin = box.lifeMax = 1.0f;
    box.counterStart = 1;
    box.rate = 1e6f;
    Install<BoxGenerator>(system, 0, box);
    LineGeneratorParams line = Params<LineGeneratorParams>(64);
    line.h.first = 32;
    line.pointA[0] = 0; line.pointB[0] = 4;
    line.direction[2] = 1.0f;
    line.lifeMin = line.lifeMax = 1.0f;
    line.counterStart = 1;
    line.rate = 1e6f;
    Install<LineGenerator>(system, 1, line);
    system.setScale(2, 2, 2);
    system.setTranslation(0, 0, 5);
    system.update();
    ASSERT_EQ(Alive(system), 64);
    for (uint32_t i = 0; i < 32; ++i) {
        const float* p = system.getPool()[i].position;
        EXPECT_TRUE(p[0] >= -2 && p[0] <= 2 && p[1] >= 4 && p[1] <= 6) << p[0] << " " << p[1];
        EXPECT_FLOAT_EQ(p[2], 5.0f);
    }
    for (uint32_t i = 32; i < 64; ++i) {
        const float* p = system.getPool()[i].position;
        EXPECT_TRUE(p[0] >= 0 && p[0] <= 8 && p[1] == 0 && p[2] == 5.0f);
    }
}

TEST_F(ModifierTest, KillersFreeParticles) {
    ParticleSystem system(3, 10.0f);
    BBoxKillParams kill = Params<BBoxKillParams>(3);
    for (int c = 0; c < 3; ++c) {
        kill.boxMin[c] = -1.0f;
        kill.boxMax[c] = 1.0f;
    }
    Install<BBoxKill>(system, 0, kill);
    Particle* pool = system.getPool();
    for (int i = 0; i < 3; ++i)
        pool[i].life = 5.0f;
    pool[1].position[0] = 3.0f;
    pool[2].position[2] = -4.0f;
    system.update();
    EXPECT_TRUE(IsParticleAlive(pool[0]));
    EXPECT_FALSE(IsParticleAlive(pool[1]));
    EXPECT_EQ(pool[1].position[0], 1.0f);   // back on the box face
    EXPECT_FALSE(IsParticleAlive(pool[2]));
    EXPECT_EQ(pool[2].position[2], -1.0f);

    // A translated box moves with its offset; a reset puts it back.
    const float move[3] = {10, 0, 0};
    system.getModifier(0)->translate(move);
    pool[0].life = 5.0f;
    system.update();
    EXPECT_FALSE(IsParticleAlive(pool[0]));
    EXPECT_EQ(pool[0].position[0], 9.0f);
    system.reset();
    EXPECT_EQ(static_cast<BBoxKill*>(system.getModifier(0))->params().offset[0], 0.0f);
}

TEST_F(ModifierTest, SprayOnKillTurnsADeathIntoSparksEvenWhileStopping) {
    ParticleSystem system(8, 10.0f);
    SprayOnKillParams spark = Params<SprayOnKillParams>(2);
    spark.direction[2] = 1.0f;
    spark.speedMin = spark.speedMax = 1.0f;
    spark.lifeMin = spark.lifeMax = 0.5f;
    spark.perDeath = 3;
    spark.targetFirst = 2;
    spark.targetEnd = 100;   // past the pool: limited to it
    Install<SprayOnKill>(system, 0, spark);
    Particle* pool = system.getPool();
    pool[0].life = 1.0f;
    pool[0].elapsed = 0.97f;   // dies within this frame
    pool[0].position[0] = 4.0f;
    pool[1].life = 1.0f;       // lives on
    pool[3].life = 9.0f;       // a busy target record is passed over
    system.setStopping(true);
    system.update();
    EXPECT_FALSE(IsParticleAlive(pool[0]));
    EXPECT_TRUE(IsParticleAlive(pool[1]));
    for (uint32_t i : {2u, 4u, 5u}) {
        EXPECT_FLOAT_EQ(pool[i].life, 0.5f) << i;
        EXPECT_EQ(pool[i].position[0], 4.0f);
        EXPECT_FLOAT_EQ(Velocity(system, i)[2], 1.0f);
    }
    EXPECT_FALSE(IsParticleAlive(pool[6]));
}

TEST_F(ModifierTest, StretchFollowsTheLifeLeft) {
    const struct {
        float left;
        float size;
    } cases[] = {
        {5.0f, 10.0f},   // beyond threshold A
        {2.0f, 10.0f},   // exactly at A
        {1.5f, 7.5f},    // between A and B
        {1.0f, 5.0f},    // at B
        {0.5f, 3.5f},    // below B
        {0.0f, 2.0f},    // at death (a dead record)
    };
    ParticleSystem system(6, 10.0f);
    StretchParams stretch = Params<StretchParams>(6);
    stretch.sizeFar = 10.0f;
    stretch.sizeAtB = 5.0f;
    stretch.sizeAtDeath = 2.0f;
    stretch.thresholdA = 2.0f;
    stretch.thresholdB = 1.0f;
    Install<Stretch>(system, 0, stretch);
    for (int i = 0; i < 6; ++i)
        system.getPool()[i].life = cases[i].left;
    SetParticleFrameTime(0.0f);
    system.update();
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(system.findChannel(PCH_SIZE)->as<float>()[i], cases[i].size) << cases[i].left;
}

TEST_F(ModifierTest, OneUpdateOfTheMovers) {
    const float dt = 0.5f;
    SetParticleFrameTime(dt);
    const struct {
        const char* what;
        ParticleModifier* (*make)();
        float position[3];
        float velocity[3];
        float expectPosition[3];
        float expectVelocity[3];
    } cases[] = {
        {"just move (scaled by 2)",
         [] { auto* m = new JustMoveModifier; m->params() = Params<JustMoveParams>(1); return (ParticleModifier*)m; },
         {1, 1, 1}, {1, 2, 3}, {2, 3, 4}, {1, 2, 3}},
        {"physic: drag 1, gravity 4",
         [] {
             auto* m = new PhysicModifier;
             m->params() = Params<PhysicParams>(1);
             m->params().gravityMin = m->params().gravityMax = 4.0f;
             m->params().drag = 1.0f;
             return (ParticleModifier*)m;
         },
         {0, 0, 0}, {3, 3, 3}, {1, 1, 1 / 3.0f}, {2, 2, 2 / 3.0f}},
        {"ground: below it, bounced",
         [] {
             auto* m = new GroundModifier;
             m->params() = Params<GroundParams>(1);
             m->params().restitution = 0.5f;
             m->params().height = 1.0f;
             return (ParticleModifier*)m;
         },
         {0, 0, 0.5f}, {0, 0, -4}, {0, 0, 1}, {0, 0, 2}},
        {"bounce off the box",
         [] {
             auto* m = new BBoxBounce;
             m->params() = Params<BBoxBounceParams>(1);
             for (int c = 0; c < 3; ++c) {
                 m->params().boxMin[c] = -1;
                 m->params().boxMax[c] = 1;
             }
             return (ParticleModifier*)m;
         },
         {2, 0, -3}, {1, 1, -1}, {1, 0, -1}, {-1, 1, 1}},
        {"magnet pulls toward its centre",
         [] {
             auto* m = new Magnet;
             m->params() = Params<MagnetParams>(1);
             m->params().radius = 3.0f;
             m->params().strength = 10.0f;
             return (ParticleModifier*)m;
         },
         {1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {-1 / (0.333f / 3 + 1), 0, 0}},
        {"turn about z",
         [] {
             auto* m = new Turn;
             m->params() = Params<TurnParams>(1);
             m->params().axis[2] = 1.0f;
             m->params().rate = 2.0f;
             return (ParticleModifier*)m;
         },
         {0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0.5f, -0.5f, 0}},
        {"not too far",
         [] {
             auto* m = new NotTooFar;
             m->params() = Params<NotTooFarParams>(1);
             m->params().distance = 1.0f;
             return (ParticleModifier*)m;
         },
         {2, 0, 0}, {0, 0, 0}, {2, 0, 0}, {-2, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParticleSystem system(1, 10.0f);
        ParticleModifier* m = c.make();
        system.setModifier(0, m, new ParticleChannel*[m->getChannelCount()](), true);
        system.setScale(2, 2, 2);
        Particle& p = system.getPool()[0];
        std::memcpy(p.position, c.position, sizeof(p.position));
        std::memcpy(system.findChannel(PCH_VELOCITY)->vec3(), c.velocity, sizeof(c.velocity));
        system.update();
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(p.position[k], c.expectPosition[k], 1e-5f) << k;
            EXPECT_NEAR(Velocity(system, 0)[k], c.expectVelocity[k], 1e-5f) << k;
        }
    }
}

TEST_F(ModifierTest, RandomDirNudgesWithinItsAmplitude) {
    for (float chance : {0.0f, 100.0f}) {
        ParticleSystem system(16, 10.0f);
        RandomDirParams dir = Params<RandomDirParams>(16);
        dir.chance = chance;
        dir.amplitude = 1.0f;
        Install<RandomDir>(system, 0, dir);
        float* v = system.findChannel(PCH_VELOCITY)->vec3();
        std::fill(v, v + 48, 0.0f);
        system.update();
        float largest = 0.0f;
        for (int k = 0; k < 48; ++k)
            largest = std::max(largest, std::fabs(v[k]));
        if (chance == 0.0f) {
            EXPECT_EQ(largest, 0.0f);
        } else {
            EXPECT_TRUE(largest > 0.0f && largest <= 0.05f + 1e-6f) << largest;
        }
    }
}

TEST_F(ModifierTest, SpinsTurnByAFixedStepPerUpdate) {
    ParticleSystem system(2, 10.0f);
    IncrementalSpinParams spin = Params<IncrementalSpinParams>(2);
    spin.step = 0.25f;
    Install<IncrementalSpin>(system, 0, spin);
    system.getPool()[0].life = 10.0f;
    SetParticleFrameTime(1.0f);
    system.update();
    SetParticleFrameTime(0.01f);
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_ANGLE)->as<float>()[0], 0.75f);   // 0.25 from reset + 2 steps
    EXPECT_FLOAT_EQ(system.findChannel(PCH_ANGLE)->as<float>()[1], 0.25f);   // dead: untouched

    // Global turn: a quarter turn about the camera's direction (z) per update.
    ParticleSystem turning(1, 10.0f);
    GlobalTurnParams turn = Params<GlobalTurnParams>(1);
    turn.step = 1.5707964f;
    Install<GlobalTurn>(turning, 0, turn);
    const float centre[3] = {1, 0, 0};
    turning.getModifier(0)->translate(centre);
    Particle& p = turning.getPool()[0];
    p.life = 10.0f;
    p.position[0] = 2.0f;
    float* v = turning.findChannel(PCH_VELOCITY)->vec3();
    v[0] = 1; v[1] = 0; v[2] = 0;
    const float right[3] = {1, 0, 0}, up[3] = {0, 1, 0}, direction[3] = {0, 0, 1};
    gParticleMgr.SetCameraAxes(right, up, direction);
    turning.update();
    EXPECT_NEAR(p.position[0], 1.0f, 1e-5f);
    EXPECT_NEAR(p.position[1], 1.0f, 1e-5f);
    EXPECT_NEAR(v[0], 0.0f, 1e-5f);
    EXPECT_NEAR(v[1], 1.0f, 1e-5f);
}

TEST_F(ModifierTest, FlockKeepsItsParticlesAliveAndFollowingEarlierGroups) {
    ParticleSystem system(12, 10.0f);
    FlockParams flock = Params<FlockParams>(12);
    flock.groupSize = 4;
    flock.attraction = 1.0f;
    flock.repulsionRadius = 0.1f;
    flock.maxGroups = 2;
    flock.switchChance = 50.0f;
    Install<Flock>(system, 0, flock);
    const int32_t* n = system.findChannel(PCH_NEIGHBOUR)->as<int32_t>();
    for (int32_t i = 0; i < 12; ++i) {
        if (i < 4) {
            EXPECT_EQ(n[i], -1) << i;
        } else {
            EXPECT_LT(n[i], i);
            EXPECT_EQ((i - n[i]) % 4, 0) << i;
            EXPECT_LE(i - n[i], 8) << i;
        }
    }
    for (int frame = 0; frame < 5; ++frame)
        system.update();
    EXPECT_FALSE(IsParticleAlive(system.getPool()[0]));
    for (int i = 4; i < 12; ++i)
        EXPECT_TRUE(IsParticleAlive(system.getPool()[i])) << i;
}

TEST_F(ModifierTest, FireMergesCloseParticlesButNeverOneWithItself) {
    // 101 records and a rate of 101: one try per particle and frame, and a
    // partner within reach always merges.
    FireParams fire = Params<FireParams>(101);
    fire.mergeDistance = 1.0f;
    fire.rate = 101.0f;
    fire.baseSize = 1.0f;
    SetParticleFrameTime(0.0f);

    ParticleSystem pair(101, 10.0f);
    Install<Fire>(pair, 0, fire);
    Particle* pool = pair.getPool();
    pool[0].life = pool[1].life = 5.0f;
    pool[1].position[0] = 0.5f;
    for (int frame = 0; frame < 2000 && Alive(pair) == 2; ++frame)
        pair.update();
    ASSERT_EQ(Alive(pair), 1);
    const float* size = pair.findChannel(PCH_SIZE)->as<float>();
    const int survivor = IsParticleAlive(pool[0]) ? 0 : 1;
    EXPECT_FLOAT_EQ(size[survivor], std::sqrt(2.0f));
    EXPECT_FLOAT_EQ(pool[survivor].position[0], 0.25f);
    EXPECT_EQ(size[1 - survivor], 0.0f);

    // Alone, a particle finds no partner however often it draws itself.
    ParticleSystem single(101, 10.0f);
    Install<Fire>(single, 0, fire);
    single.getPool()[0].life = 5.0f;
    for (int frame = 0; frame < 1000; ++frame)
        single.update();
    EXPECT_EQ(Alive(single), 1);
}

TEST_F(ModifierTest, CollisionKillKeepsPreviousPositionsOnceAndCountsItsPeriod) {
    ParticleSystem system(1, 10.0f);
    CollisionKillParams kill = Params<CollisionKillParams>(1);
    kill.period = 3;
    auto* m = Install<CollisionKill>(system, 0, kill);
    EXPECT_EQ(m->params().counter, -1);
    system.getPool()[0].position[1] = 7.0f;
    system.update();
    EXPECT_EQ(system.findChannel(PCH_PREVIOUS)->vec3()[1], 7.0f);
    const int32_t expected[] = {1, 2, 0, 1};
    for (int32_t value : expected) {
        system.update();
        EXPECT_EQ(m->params().counter, value);
    }
}

TEST_F(ModifierTest, OverLifeModifiersNeedTheSpriteChannelsAndFollowTheirTracks) {
    ParticleSystemAnimation system(1, 10.0f);
    OverLifeParams fade = Params<OverLifeParams>(1);
    fade.start = 0.8f;
    Install<FadeOverLife>(system, 1, fade);
    const Bytes keys = KeyBuffer({Track({{0.0f, 1.0f}, {1.0f, 0.0f}})});
    ASSERT_TRUE(system.setSlotKey(1, MallocCopy(keys), static_cast<uint32_t>(keys.size())));
    Particle& p = system.getPool()[0];
    p.life = 2.0f;
    system.update();   // no alpha channel yet: nothing to write, no fault
    EXPECT_EQ(system.findChannel(PCH_ALPHA), nullptr);

    Install<StandardDraw>(system, 0, Params<StandardDrawParams>(1));
    system.reset();
    p.life = 2.0f;
    p.elapsed = 0.5f;
    SetParticleFrameTime(0.0f);
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_ALPHA)->as<float>()[0], 0.75f);

    // Without keys the start value stays.
    system.setSlotKey(1, nullptr, 0);
    system.reset();
    p.life = 2.0f;
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_ALPHA)->as<float>()[0], 0.8f);

    // Colour follows a vector track, spin adds its track to the angle.
    ColorOverLifeParams colour = Params<ColorOverLifeParams>(1);
    Install<ColorOverLife>(system, 2, colour);
    const Bytes colourKeys = KeyBuffer({Track({{0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.5f, 0.25f}})});
    ASSERT_TRUE(system.setSlotKey(2, MallocCopy(colourKeys), static_cast<uint32_t>(colourKeys.size())));
    OverLifeParams spin = Params<OverLifeParams>(1);
    spin.start = 0.1f;
    Install<SpinOverLife>(system, 3, spin);
    system.reset();
    p.life = 2.0f;
    p.elapsed = 1.0f;
    system.update();
    system.update();
    const float* c = system.findChannel(PCH_COLOUR)->vec3();
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    EXPECT_FLOAT_EQ(c[1], 0.25f);
    EXPECT_FLOAT_EQ(c[2], 0.125f);
    EXPECT_FLOAT_EQ(system.findChannel(PCH_ANGLE)->as<float>()[0], 0.2f);
}

TEST_F(ModifierTest, MoveOverLifeScalesTheStepByItsTrack) {
    ParticleSystemAnimation system(1, 10.0f);
    OverLifeParams move = Params<OverLifeParams>(1);
    move.start = 1.0f;
    Install<MoveOverLife>(system, 0, move);
    const Bytes keys = KeyBuffer({Track({{0.0f, 0.0f}, {1.0f, 4.0f}})});
    ASSERT_TRUE(system.setSlotKey(0, MallocCopy(keys), static_cast<uint32_t>(keys.size())));
    system.reset();
    Particle& p = system.getPool()[0];
    p.life = 1.0f;
    p.elapsed = 0.5f;
    float* v = system.findChannel(PCH_VELOCITY)->vec3();
    v[0] = 1.0f; v[1] = 0.0f; v[2] = 0.0f;
    SetParticleFrameTime(0.5f);
    system.update();
    EXPECT_FLOAT_EQ(p.position[0], 1.0f);   // 1 x 0.5 s x 2
}

TEST_F(ModifierTest, BlocksTheKindsCannotRunWithAreRefused) {
    ParticleSystem system(16, 1.0f);
    const char* why = nullptr;
    Flock flock;
    flock.params() = Params<FlockParams>(16);
    flock.params().groupSize = 0;
    flock.params().maxGroups = 2;
    EXPECT_FALSE(IsUsableParticleModifier(&flock, &system, &why));
    EXPECT_NE(why, nullptr);
    flock.params().groupSize = 4;
    flock.params().maxGroups = 0;
    EXPECT_FALSE(IsUsableParticleModifier(&flock, &system, &why));
    flock.params().groupSize = 16;   // no particle beyond the first group
    EXPECT_TRUE(IsUsableParticleModifier(&flock, &system, &why));

    Fire fire;
    fire.params() = Params<FireParams>(16);
    fire.params().rate = 0.5f;
    EXPECT_FALSE(IsUsableParticleModifier(&fire, &system, &why));
    fire.params().rate = std::nanf("");
    EXPECT_FALSE(IsUsableParticleModifier(&fire, &system, &why));
    fire.params().rate = 1.0f;
    EXPECT_TRUE(IsUsableParticleModifier(&fire, &system, &why));

    // Ranges past the pool are cut to it.
    JustMoveModifier move;
    move.params() = Params<JustMoveParams>(1000);
    uint32_t first, end;
    EXPECT_TRUE(move.range(&system, first, end));
    EXPECT_EQ(end, 16u);
}

// Values next to the ones the load refuses, with frame times next to the one
// the load check used: the movers keep every velocity and position finite
// over many frames (a particle moved by its velocity as well).
TEST_F(ModifierTest, MoversNextToADivisionByZeroStayFinite) {
    const float turnFrame = 1.0f / 25.0f;
    const struct {
        const char* what;
        bool turn;
        float value;   // turn rate or not-too-far distance
        float frameTime;
    } cases[] = {
        {"turn -25, frame just under 1/25 s", true, -25.0f, std::nextafter(turnFrame, 0.0f)},
        {"turn -25, frame just over 1/25 s", true, -25.0f, std::nextafter(turnFrame, 1.0f)},
        {"turn -25, frame of 1/25 s", true, -25.0f, turnFrame},
        {"turn -1e30", true, -1e30f, 0.016f},
        {"not too far 1e-23 (square 0 in float)", false, 1e-23f, 0.016f},
        {"not too far 1e-15", false, 1e-15f, 0.016f},
        {"not too far -1e-20", false, -1e-20f, 0.1f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetParticleFrameTime(c.frameTime);
        ParticleSystem system(4, 100.0f);
        if (c.turn) {
            TurnParams turn = Params<TurnParams>(4);
            turn.axis[1] = 1.0f;
            turn.rate = c.value;
            Install<Turn>(system, 0, turn);
        } else {
            NotTooFarParams pull = Params<NotTooFarParams>(4);
            pull.distance = c.value;
            Install<NotTooFar>(system, 0, pull);
        }
        Install<JustMoveModifier>(system, 1, Params<JustMoveParams>(4));
        for (uint32_t i = 0; i < 4; ++i) {
            Particle& p = system.getPool()[i];
            p.life = 100.0f;
            p.position[0] = 0.5f * float(i + 1);
            p.position[2] = -0.25f * float(i);
        }
        for (int frame = 0; frame < 300; ++frame)
            system.update();
        for (uint32_t i = 0; i < 4; ++i) {
            const Particle& p = system.getPool()[i];
            for (int k = 0; k < 3; ++k) {
                EXPECT_TRUE(std::isfinite(Velocity(system, i)[k])) << i << " " << k;
                EXPECT_TRUE(std::isfinite(p.position[k])) << i << " " << k;
            }
        }
    }
    // The load refuses a distance whose square is 0 in float.
    ParticleSystem system(4, 1.0f);
    NotTooFar pull;
    pull.params() = Params<NotTooFarParams>(4);
    pull.params().distance = 1e-23f;
    EXPECT_FALSE(IsUsableParticleModifier(&pull, &system, nullptr));
    pull.params().distance = 0.5f;
    EXPECT_TRUE(IsUsableParticleModifier(&pull, &system, nullptr));
}
