// Reading particle files: what a well-formed file builds, which files are
// refused, which records are skipped, and our own generated dust files.
#include "PfxTestFile.h"

#include "ParticleRenderer.h"

#include <Platform.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <iterator>
#include <memory>

using namespace pfxtest;

namespace {

struct Loaded {
    int result = -1;
    std::unique_ptr<ParticleSystemAnimation> system;
    std::vector<ParticleFileTexture> textures;
};

Loaded Read(const Bytes& bytes) {
    Loaded out;
    ParticleSystemAnimation* system = nullptr;
    out.result = ReadParticleFile(bytes.data(), static_cast<int>(bytes.size()), "test.pfx", system, out.textures);
    out.system.reset(system);
    return out;
}

ModifierRecord Record(int32_t slot, const char* kind, const Bytes& params) {
    ModifierRecord r;
    r.slot = slot;
    r.kind = kind;
    r.params = params;
    return r;
}

PfxFile SprayFile() {
    PfxFile file;
    file.duration = 1.5f;
    file.count = 8;
    file.textures = {{3, "dust.tga"}, {4, "smoke.dds"}};
    SprayGeneratorParams spray = Params<SprayGeneratorParams>(8);
    spray.rate = 100.0f;
    spray.counterStart = 1;
    spray.lifeMin = spray.lifeMax = 1.0f;
    spray.direction[2] = 1.0f;
    spray.clock = 99.0f;   // run-time words are reset at load
    OverLifeParams size = Params<OverLifeParams>(8);
    size.start = 0.5f;
    ModifierRecord sizeRecord = Record(4, "Size over life ", Block(size));
    sizeRecord.keys = KeyBuffer({Track({{0.0f, 1.0f}, {1.0f, 2.0f}})});
    file.modifiers = {Record(0, "SprayGenerator", Block(spray)), sizeRecord,
                      Record(7, "Standard Draw Sprite", Block(Params<StandardDrawParams>(8)))};
    return file;
}

}  // namespace

TEST(ParticleFile, AWellFormedFileBuildsAnInactiveResetSystem) {
    Loaded loaded = Read(SprayFile().Build());
    ASSERT_EQ(loaded.result, 0);
    ParticleSystemAnimation& s = *loaded.system;
    EXPECT_EQ(s.getParticleCount(), 8u);
    EXPECT_FLOAT_EQ(s.getDuration(), 1.5f);
    EXPECT_FLOAT_EQ(s.getRemainingTime(), 1.5f);
    EXPECT_FALSE(s.isActive());
    ASSERT_NE(dynamic_cast<SprayGenerator*>(s.getModifier(0)), nullptr);
    EXPECT_EQ(static_cast<SprayGenerator*>(s.getModifier(0))->params().clock, 0.0f);
    EXPECT_EQ(static_cast<SprayGenerator*>(s.getModifier(0))->params().rate, 100.0f);
    ASSERT_NE(dynamic_cast<SizeOverLife*>(s.getModifier(4)), nullptr);
    EXPECT_NE(s.getTrack(4, 0), nullptr);
    EXPECT_NE(dynamic_cast<StandardDraw*>(s.getModifier(7)), nullptr);
    ASSERT_EQ(loaded.textures.size(), 2u);
    EXPECT_EQ(loaded.textures[0].slot, 3u);
    EXPECT_EQ(loaded.textures[0].name, "dust.png");
    EXPECT_EQ(loaded.textures[1].name, "smoke.png");

    // It runs: the emitted particles grow along their size track.
    SetParticleFrameTime(0.5f);
    s.setActive(true);
    s.update();
    s.update();
    EXPECT_FLOAT_EQ(s.findChannel(PCH_SIZE)->as<float>()[0], 1.5f);
}

TEST(ParticleFile, FilesThatAreNotParticleFilesAreRefusedWithNothingMade) {
    const Bytes good = SprayFile().Build();
    auto build = [](void (*change)(PfxFile&)) {
        PfxFile file = SprayFile();
        change(file);
        return file.Build();
    };
    auto header = [](const Bytes& headerBytes, bool withName) {
        CObjnet out;
        out.StartSignature(PFX_SIGNATURE);
        out.WriteBuffer(headerBytes.data(), static_cast<int>(headerBytes.size()));
        if (withName)
            out.WriteString("x");
        out.End();
        return Bytes(out.GetData(), out.GetData() + out.GetSize());
    };
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", Bytes()},
        {"another signature", [] { CObjnet o; o.StartSignature("something else"); return Bytes(o.GetData(), o.GetData() + o.GetSize()); }()},
        {"no header", header(Bytes(), true)},
        {"a header of 7 bytes", header(Bytes(7, 0), true)},
        {"no name", header(Bytes(8, 0), false)},
        {"no texture bank", header(Bytes(8, 0), true)},
        {"a texture bank of another signature", build([](PfxFile& f) { f.bankSignature = "bank"; })},
        {"more particles than a system may hold", build([](PfxFile& f) { f.count = PFX_MAX_PARTICLES + 1; })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded loaded = Read(c.bytes);
        EXPECT_EQ(loaded.result, -1);
        EXPECT_EQ(loaded.system, nullptr);
        EXPECT_TRUE(loaded.textures.empty());
    }
    EXPECT_EQ(Read(good).result, 0);
}

TEST(ParticleFile, RecordsThatCannotBeUsedAreSkippedAndTheRestLoads) {
    JustMoveParams move = Params<JustMoveParams>(8);
    FlockParams flock = Params<FlockParams>(8);
    flock.maxGroups = 1;   // group size 0
    FireParams fire = Params<FireParams>(8);
    fire.rate = 0.25f;
    NotTooFarParams notTooFar = Params<NotTooFarParams>(8);
    notTooFar.distance = 0.0f;
    // A turn rate that cancels the frame time divides by zero.
    const float frameTime = GetParticleFrameTime();
    SetParticleFrameTime(0.04f);
    TurnParams turn = Params<TurnParams>(8);
    turn.axis[1] = 1.0f;
    turn.rate = -25.0f;
    const struct {
        const char* what;
        ModifierRecord record;
    } cases[] = {
        {"another signature", [&] { ModifierRecord r = Record(1, "Just Move", Block(move)); r.signature = "other"; return r; }()},
        {"an unknown kind", Record(1, "Sparkle", Block(move))},
        {"slot 20", Record(20, "Just Move", Block(move))},
        {"slot -1", Record(-1, "Just Move", Block(move))},
        {"a parameter size beyond the block", [&] { ModifierRecord r = Record(1, "Just Move", Bytes(16, 0)); return r; }()},
        {"a parameter size beyond the stored buffer", [&] { ModifierRecord r = Record(1, "Just Move", Block(move)); r.paramSize = 12; r.params.resize(8); return r; }()},
        {"a negative parameter size", [&] { ModifierRecord r = Record(1, "Just Move", Block(move)); r.paramSize = -5; return r; }()},
        {"a flock without groups", Record(1, "Flock", Block(flock))},
        {"a fire rate below 1", Record(1, "Fire", Block(fire))},
        {"a not-too-far distance of 0", Record(1, "NotTooFar", Block(notTooFar))},
        {"a turn rate of -1 per frame", Record(1, "Turn", Block(turn))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PfxFile file = SprayFile();
        file.modifiers.insert(file.modifiers.begin() + 1, c.record);
        Loaded loaded = Read(file.Build());
        ASSERT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.system->getModifier(1), nullptr);
        EXPECT_NE(loaded.system->getModifier(0), nullptr);
        EXPECT_NE(loaded.system->getModifier(7), nullptr);
    }
    SetParticleFrameTime(frameTime);
}

TEST(ParticleFile, ShortParametersKeysAndTextureNames) {
    PfxFile file = SprayFile();
    // Fewer parameter bytes than the block: the rest stays zero.
    ModifierRecord shortMove = Record(1, "Just Move", Block(Params<JustMoveParams>(8)));
    shortMove.paramSize = 8;   // range only: the flags word stays 0
    file.modifiers.push_back(shortMove);
    // Keys whose track leaves the buffer are dropped; the modifier stays.
    ModifierRecord fade = Record(2, "Fade over life", Block(Params<OverLifeParams>(8)));
    fade.keys = KeyBuffer({Track({{0.0f, 1.0f}, {1.0f, 0.0f}})});
    fade.keys.resize(fade.keys.size() - 4);
    file.modifiers.push_back(fade);
    // Keys with the flag clear are not used.
    ModifierRecord spin = Record(3, "Spin over life ", Block(Params<OverLifeParams>(8)));
    spin.keys = KeyBuffer({Track({{0.0f, 1.0f}, {1.0f, 0.0f}})});
    spin.hasKeys = 0;
    file.modifiers.push_back(spin);
    file.textures = {{0, "a.tga"}, {256, "b.tga"}, {-1, "c.tga"}, {5, "ab"}, {6, "abc"}};

    Loaded loaded = Read(file.Build());
    ASSERT_EQ(loaded.result, 0);
    ASSERT_NE(loaded.system->getModifier(1), nullptr);
    EXPECT_FALSE(loaded.system->getModifier(1)->isEnabled());
    EXPECT_EQ(loaded.system->getModifier(1)->header().end, 8u);
    ASSERT_NE(loaded.system->getModifier(2), nullptr);
    EXPECT_EQ(loaded.system->getTrack(2, 0), nullptr);
    ASSERT_NE(loaded.system->getModifier(3), nullptr);
    EXPECT_EQ(loaded.system->getTrack(3, 0), nullptr);
    ASSERT_EQ(loaded.textures.size(), 2u);
    EXPECT_EQ(loaded.textures[0].name, "a.png");
    EXPECT_EQ(loaded.textures[1].slot, 6u);
    EXPECT_EQ(loaded.textures[1].name, "png");
}

TEST(ParticleFile, EveryCutOfAFileIsReadSafely) {
    const Bytes good = SprayFile().Build();
    for (size_t size = 0; size < good.size(); ++size) {
        // Exactly sized copies: a read past the end is a memory fault.
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
        std::copy(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size), bytes.get());
        ParticleSystemAnimation* system = nullptr;
        std::vector<ParticleFileTexture> textures;
        const int result = ReadParticleFile(bytes.get(), static_cast<int>(size), nullptr, system, textures);
        if (result == 0) {
            system->setActive(true);
            SetParticleFrameTime(0.1f);
            system->update();
            system->draw();
        } else {
            EXPECT_EQ(system, nullptr);
        }
        delete system;
        PRI::DiscardBatches();
    }
}

// A file cut inside its last record loaded what came before without a word.
// It still does, and the log says the file was cut.
TEST(ParticleFile, AFileCutInsideARecordSaysSo) {
    const Bytes whole = SprayFile().Build();
    PfxFile shorter = SprayFile();
    shorter.modifiers.pop_back();
    const size_t lastRecordStart = shorter.Build().size();
    static std::vector<std::string> lines;
    for (size_t cut : {lastRecordStart + 2, lastRecordStart + 9, whole.size() - 1}) {
        SCOPED_TRACE(cut);
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        Loaded loaded = Read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
        PlatSetLogSink(nullptr);
        ASSERT_EQ(loaded.result, 0);
        EXPECT_NE(loaded.system->getModifier(0), nullptr);
        EXPECT_EQ(loaded.system->getModifier(7), nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("test.pfx") != std::string::npos && line.find("cut short") != std::string::npos;
        }));
    }
    lines.clear();
    PlatSetLogSink([](const char* line) { lines.push_back(line); });
    Read(whole);
    PlatSetLogSink(nullptr);
    EXPECT_TRUE(lines.empty()) << lines.front();
}

TEST(ParticleFile, OurDustFilesLoadAndPlay) {
    const struct {
        const char* file;
        uint32_t count;
        bool endsAlone;
    } files[] = {{"dust_impact.pfx", 24, true}, {"dust_roll.pfx", 32, false}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        std::ifstream in(std::string(KEM_STAGE_DIR) + "/mediaDemo/Particles/" + f.file, std::ios::binary);
        ASSERT_TRUE(in.good());
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Loaded loaded = Read(bytes);
        ASSERT_EQ(loaded.result, 0);
        ParticleSystemAnimation& s = *loaded.system;
        EXPECT_EQ(s.getParticleCount(), f.count);
        ASSERT_EQ(loaded.textures.size(), 1u);
        EXPECT_EQ(loaded.textures[0].name, "pfx_dust.png");
        s.setActive(true);
        SetParticleFrameTime(1.0f / 60.0f);
        int mostAlive = 0, aliveAtEnd = 0;
        for (int frame = 0; frame < 180; ++frame) {
            s.update();
            int alive = 0;
            for (uint32_t i = 0; i < s.getParticleCount(); ++i) {
                const Particle& p = s.getPool()[i];
                if (!IsParticleAlive(p))
                    continue;
                ++alive;
                EXPECT_GE(p.position[2], 0.0f);   // nothing sinks below the ground
            }
            mostAlive = std::max(mostAlive, alive);
            aliveAtEnd = alive;
            s.draw();
            EXPECT_LE(PRI::GetQueuedBatches().size(), 1u);
            PRI::DiscardBatches();
        }
        EXPECT_GT(mostAlive, 0);
        EXPECT_EQ(aliveAtEnd == 0, f.endsAlone);
    }
}
