// The particle system core: slots and shared channels, the update and reset
// cycle, keyframe tracks and the modifier factory.
#include "PfxTestFile.h"

#include "ParticleRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pfxtest;

namespace {

class ParticleSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        KemSrand(1);
        SetParticleFrameTime(0.1f);
        PRI::DiscardBatches();
    }
    void TearDown() override { PRI::DiscardBatches(); }
};

}  // namespace

TEST_F(ParticleSystemTest, ModifiersShareChannelsAndReplacingOneReleasesOnlyItsOwn) {
    ParticleSystem system(8, 1.0f);
    Install<PhysicModifier>(system, 1, Params<PhysicParams>(8));   // velocity, gravity
    Install<JustMoveModifier>(system, 2, Params<JustMoveParams>(8));   // velocity
    ASSERT_NE(system.findChannel(PCH_VELOCITY), nullptr);
    EXPECT_EQ(system.findChannel(PCH_VELOCITY)->refCount, 2u);
    EXPECT_EQ(system.getBindings(1)[0], system.getBindings(2)[0]);
    ASSERT_NE(system.findChannel(PCH_GRAVITY), nullptr);

    // A taken slot: the old modifier's channels go first, the shared one survives.
    Install<StandardDraw>(system, 1, Params<StandardDrawParams>(8));
    EXPECT_EQ(system.findChannel(PCH_GRAVITY), nullptr);
    ASSERT_NE(system.findChannel(PCH_VELOCITY), nullptr);
    EXPECT_EQ(system.findChannel(PCH_VELOCITY)->refCount, 1u);
    EXPECT_NE(system.findChannel(PCH_SIZE), nullptr);
    EXPECT_EQ(system.slotOf(system.getModifier(2)), 2);
    EXPECT_EQ(system.slotOf(nullptr), -1);

    system.removeModifier(2);
    EXPECT_EQ(system.findChannel(PCH_VELOCITY), nullptr);

    // Unknown ids and slots out of range are refused.
    EXPECT_EQ(system.acquireChannel(PCH_COUNT), nullptr);
    EXPECT_FALSE(system.setModifier(20, new JustMoveModifier, new ParticleChannel*[1](), true));
    system.releaseChannel(PCH_GRAVITY);   // absent: ignored
}

TEST_F(ParticleSystemTest, UpdateAgesLiveParticlesClearsBirthsAndCountsDownTheDuration) {
    ParticleSystem system(4, 1.0f);
    Particle* pool = system.getPool();
    pool[0].life = 1.0f;
    pool[0].flags = PARTICLE_BORN;
    pool[1].life = 0.5f;
    pool[1].elapsed = 0.5f;   // dead: not aged
    system.update();
    EXPECT_FLOAT_EQ(pool[0].elapsed, 0.1f);
    EXPECT_EQ(pool[0].flags, 0);
    EXPECT_FLOAT_EQ(pool[1].elapsed, 0.5f);
    EXPECT_FLOAT_EQ(system.getRemainingTime(), 0.9f);

    // Stopping ends the system only once nothing is alive.
    system.setStopping(true);
    system.update();
    EXPECT_FLOAT_EQ(system.getRemainingTime(), 0.8f);
    pool[0].life = 0.0f;
    system.update();
    EXPECT_EQ(system.getRemainingTime(), 0.0f);

    // Inactive: nothing moves.
    system.reset();
    EXPECT_TRUE(system.isActive());
    EXPECT_FLOAT_EQ(system.getRemainingTime(), 1.0f);
    system.setActive(false);
    system.update();
    EXPECT_FLOAT_EQ(system.getRemainingTime(), 1.0f);
}

TEST_F(ParticleSystemTest, AnEmptyPoolEndsAtOnceWhenStopping) {
    ParticleSystem system(0, 5.0f);
    Install<StandardDraw>(system, 0, Params<StandardDrawParams>(4));
    system.setStopping(true);
    system.update();
    system.draw();
    EXPECT_EQ(system.getRemainingTime(), 0.0f);
    EXPECT_TRUE(PRI::GetQueuedBatches().empty());
}

TEST_F(ParticleSystemTest, ADisabledModifierIsInitialisedAtResetButNeitherUpdatedNorDrawn) {
    ParticleSystem system(2, 1.0f);
    StandardDrawParams draw = Params<StandardDrawParams>(2);
    draw.h.flags = 0;
    draw.startSize = 3.0f;
    Install<StandardDraw>(system, 1, draw);
    JustMoveParams move = Params<JustMoveParams>(2);
    move.h.flags = 0;
    Install<JustMoveModifier>(system, 0, move);

    system.getPool()[0].life = 1.0f;
    system.findChannel(PCH_SIZE)->as<float>()[0] = 0.0f;
    system.reset();
    EXPECT_EQ(system.findChannel(PCH_SIZE)->as<float>()[0], 3.0f);

    Particle& p = system.getPool()[0];
    p.life = 1.0f;
    system.update();
    EXPECT_EQ(p.position[0], 0.0f);
    system.draw();
    EXPECT_TRUE(PRI::GetQueuedBatches().empty());
}

// ---- keyframe tracks ---------------------------------------------------------------------

namespace {

struct TrackCase {
    const char* what;
    std::vector<std::vector<float>> keys;
    float elapsed;    // of a life of 2 s
    float expected;
    bool held;
};

}  // namespace

TEST_F(ParticleSystemTest, FloatTracksInterpolateStepOverEqualTimesAndHoldTheLastKey) {
    const TrackCase cases[] = {
        {"one key never changes the value", {{0.0f, 9.0f}}, 1.0f, 5.0f, false},
        {"halfway between two keys", {{0.0f, 0.0f}, {1.0f, 10.0f}}, 1.0f, 5.0f, false},
        {"second span", {{0.0f, 0.0f}, {0.5f, 10.0f}, {1.0f, 30.0f}}, 1.5f, 20.0f, false},
        {"equal times are stepped over", {{0.0f, 0.0f}, {0.0f, 4.0f}, {1.0f, 8.0f}}, 1.0f, 6.0f, false},
        {"past the last key holds it", {{0.0f, 0.0f}, {0.5f, 10.0f}}, 1.5f, 10.0f, true},
        {"all keys at one time hold the last", {{0.5f, 1.0f}, {0.5f, 2.0f}}, 0.0f, 2.0f, true},
    };
    for (const TrackCase& c : cases) {
        SCOPED_TRACE(c.what);
        ParticleSystemAnimation system(1, 1.0f);
        ASSERT_TRUE(system.setSlotKey(3, MallocCopy(KeyBuffer({Track(c.keys)})), static_cast<uint32_t>(KeyBuffer({Track(c.keys)}).size())));
        TrackCursor cursor;
        system.initCursor(3, 0, cursor);
        ASSERT_EQ(cursor.hasTrack, 1);
        cursor.value[0] = 5.0f;
        system.evaluate(TRACK_FLOAT, c.elapsed, 2.0f, cursor);
        EXPECT_FLOAT_EQ(cursor.value[0], c.expected);
        EXPECT_EQ(cursor.index == TrackCursor::INDEX_HELD, c.held);
        // A held value stays for the rest of the particle's life.
        if (c.held) {
            system.evaluate(TRACK_FLOAT, 0.0f, 2.0f, cursor);
            EXPECT_FLOAT_EQ(cursor.value[0], c.expected);
        }
    }
}

TEST_F(ParticleSystemTest, VectorAndIntegerTracks) {
    ParticleSystemAnimation system(1, 1.0f);
    const Bytes keys = KeyBuffer({Track({{0.0f, 0.0f, 1.0f, 2.0f}, {1.0f, 4.0f, 5.0f, 6.0f}})});
    ASSERT_TRUE(system.setSlotKey(0, MallocCopy(keys), static_cast<uint32_t>(keys.size())));
    TrackCursor cursor;
    system.initCursor(0, 0, cursor);
    system.evaluate(TRACK_VECTOR, 0.25f, 1.0f, cursor);
    EXPECT_FLOAT_EQ(cursor.value[0], 1.0f);
    EXPECT_FLOAT_EQ(cursor.value[1], 2.0f);
    EXPECT_FLOAT_EQ(cursor.value[2], 3.0f);

    // A float track cannot feed a vector: the value stays.
    const Bytes floats = KeyBuffer({Track({{0.0f, 0.0f}, {1.0f, 1.0f}})});
    ASSERT_TRUE(system.setSlotKey(1, MallocCopy(floats), static_cast<uint32_t>(floats.size())));
    system.initCursor(1, 0, cursor);
    cursor.value[1] = 7.0f;
    system.evaluate(TRACK_VECTOR, 0.5f, 1.0f, cursor);
    EXPECT_EQ(cursor.value[1], 7.0f);

    // Integers are computed in floating point and truncated toward zero.
    Bytes ints = KeyBuffer({Track({{0.0f, 0.0f}, {1.0f, 0.0f}})});
    const int32_t a = -3, b = 7;
    std::memcpy(ints.data() + 12 + ParticleSystemAnimation::TRACK_HEADER + 4, &a, 4);
    std::memcpy(ints.data() + 12 + ParticleSystemAnimation::TRACK_HEADER + 12, &b, 4);
    ASSERT_TRUE(system.setSlotKey(2, MallocCopy(ints), static_cast<uint32_t>(ints.size())));
    system.initCursor(2, 0, cursor);
    system.evaluate(TRACK_INT, 0.25f, 1.0f, cursor);   // -3 + 10 * 0.25 = -0.5
    int32_t value;
    std::memcpy(&value, cursor.value, 4);
    EXPECT_EQ(value, 0);
}

TEST_F(ParticleSystemTest, KeyBuffersWhoseTracksLeaveTheBufferAreRefused) {
    const Bytes good = KeyBuffer({Track({{0.0f, 1.0f}, {1.0f, 2.0f}})});
    auto with = [&](size_t at, uint32_t value) {
        Bytes b = good;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"shorter than its header", Bytes(good.begin(), good.begin() + 6)},
        {"more tracks than offsets", with(0, 1000)},
        {"a track offset past the end", with(8, static_cast<uint32_t>(good.size()))},
        {"more keys than bytes", with(12, 3)},
        {"a value size that is neither 4 nor 12", with(12 + 20, 8)},
        {"a key count at the held marker", with(12, 0xFFFF)},
        {"cut in the last key", Bytes(good.begin(), good.end() - 1)},
    };
    ParticleSystemAnimation system(1, 1.0f);
    EXPECT_TRUE(ParticleSystemAnimation::IsValidKeyBuffer(good.data(), static_cast<uint32_t>(good.size())));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(system.setSlotKey(0, MallocCopy(c.bytes), static_cast<uint32_t>(c.bytes.size())));
        EXPECT_EQ(system.getTrack(0, 0), nullptr);
    }
    EXPECT_FALSE(system.setSlotKey(20, MallocCopy(good), static_cast<uint32_t>(good.size())));
}

TEST_F(ParticleSystemTest, ResetRewindsCursorsAndAReplacedKeyBufferNeverLeavesThemDangling) {
    ParticleSystemAnimation system(2, 1.0f);
    OverLifeParams size = Params<OverLifeParams>(2);
    size.start = 1.0f;
    Install<StandardDraw>(system, 0, Params<StandardDrawParams>(2));
    Install<SizeOverLife>(system, 1, size);
    const Bytes keys = KeyBuffer({Track({{0.0f, 2.0f}, {0.5f, 4.0f}, {1.0f, 8.0f}})});
    ASSERT_TRUE(system.setSlotKey(1, MallocCopy(keys), static_cast<uint32_t>(keys.size())));
    system.reset();

    Particle& p = system.getPool()[0];
    p.life = 1.0f;
    p.elapsed = 0.75f;
    SetParticleFrameTime(0.0f);
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_SIZE)->as<float>()[0], 6.0f);

    // Fewer keys under the same cursors: they hold the new last key.
    const Bytes shorter = KeyBuffer({Track({{0.0f, 3.0f}, {1.0f, 5.0f}})});
    ASSERT_TRUE(system.setSlotKey(1, MallocCopy(shorter), static_cast<uint32_t>(shorter.size())));
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_SIZE)->as<float>()[0], 5.0f);

    // A newborn particle starts again from the first key.
    p.flags = PARTICLE_BORN;
    p.elapsed = 0.5f;
    system.update();
    EXPECT_FLOAT_EQ(system.findChannel(PCH_SIZE)->as<float>()[0], 4.0f);
}

// ---- factory -----------------------------------------------------------------------------------

TEST(ParticleFactory, EveryKindHasTheBlockAndChannelsItsFilesAreWrittenFor) {
    const struct {
        const char* name;
        uint32_t bytes;
        std::vector<int32_t> channels;
    } kinds[] = {
        {"SprayGenerator", 92, {0, 1}},          {"Box Generator", 96, {0, 1}},
        {"Line Generator", 96, {0, 1}},          {"Just Move", 12, {0}},
        {"OrientFromMotion", 16, {9, 0}},        {"Move over life", 16, {0, 14}},
        {"Size over life ", 16, {10}},           {"Fade over life", 16, {11}},
        {"Color over life", 24, {12}},           {"Spin over life ", 16, {13}},
        {"Bounding box bounce", 52, {0}},        {"Bounding box kill", 48, {}},
        {"Physic", 24, {0, 2}},                  {"Ground Modifier", 24, {0}},
        {"Random Dir", 20, {0}},                 {"Flock", 32, {3, 0}},
        {"Magnet", 32, {0}},                     {"Fire", 28, {0, 6}},
        {"Collision Kill", 20, {4}},             {"Turn", 28, {0}},
        {"Incremental Spin", 16, {9}},           {"Global Turn", 28, {0}},
        {"Stretch", 32, {6}},                    {"Spray On Kill", 56, {0}},
        {"NotTooFar", 28, {0}},                  {"Standard Draw Sprite", 76, {6, 7, 8, 9}},
    };
    for (int i = 0; i < PARTICLE_MODIFIER_KINDS; ++i) {
        SCOPED_TRACE(kinds[i].name);
        EXPECT_EQ(ParticleModifierIndexByName(kinds[i].name), i);
        ParticleModifier* m = CreateParticleModifier(kinds[i].name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->getParamsSize(), kinds[i].bytes);
        ASSERT_EQ(m->getChannelCount(), static_cast<int32_t>(kinds[i].channels.size()));
        for (size_t c = 0; c < kinds[i].channels.size(); ++c)
            EXPECT_EQ(m->getChannelId(static_cast<int32_t>(c)), kinds[i].channels[c]);
        EXPECT_EQ(m->getChannelId(m->getChannelCount()), -1);
        m->release();
    }
    // Names are matched byte for byte: the trailing blank matters.
    EXPECT_EQ(ParticleModifierIndexByName("Size over life"), -1);
    EXPECT_EQ(ParticleModifierIndexByName(nullptr), -1);
    EXPECT_EQ(CreateParticleModifier("Sparkle"), nullptr);
}

TEST(ParticleFactory, EditableFieldsPointIntoTheBlock) {
    SprayGenerator spray;
    int32_t type = 0;
    EXPECT_EQ(spray.getField(0, &type), &spray.params().rate);
    EXPECT_EQ(type, PFIELD_INT);
    EXPECT_EQ(spray.getField(1, &type), spray.params().origin);
    EXPECT_EQ(type, PFIELD_VECTOR);
    EXPECT_EQ(spray.getField(2, &type), nullptr);

    ColorOverLife colour;
    EXPECT_EQ(colour.getField(0, &type), colour.params().start);
    EXPECT_EQ(type, PFIELD_ANIMATED | PFIELD_VECTOR);

    BBoxKill kill;
    EXPECT_EQ(kill.getFieldCount(), 3);
    EXPECT_EQ(kill.getField(2, &type), &kill.params().h.flags);
    EXPECT_EQ(type, PFIELD_INT);

    StandardDraw draw;
    EXPECT_EQ(draw.getFieldCount(), 0);
    EXPECT_EQ(draw.getField(0, &type), nullptr);
}
