// libFuzzer harness for the particle file reader and the modifiers it builds.
//
// Input: byte 0 chooses how the rest becomes a particle file.
//   even: the rest is the file itself;
//   odd:  the rest patches one of two built-in well-formed files (bit 1 of
//         byte 0) that between them hold a record of every modifier kind: a
//         u16 (little-endian) length to cut the file to, then (u16 offset,
//         u8 xor) triples.
// The file is copied into an exactly sized heap block, so that a read outside
// it is an ASan report. A file that loads is then run: updates with a frame
// time taken from the input, draws, a stop and a reset.
#include "ParticleFile.h"
#include "ParticleModifiers.h"
#include "ParticleRenderer.h"
#include "ParticleSystem.h"

#include <CObjnet.h>
#include <Platform.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const uint32_t kCount = 16;

void Words(std::vector<uint8_t>& out, std::initializer_list<float> values) {
    for (float v : values) {
        uint8_t b[4];
        std::memcpy(b, &v, 4);
        out.insert(out.end(), b, b + 4);
    }
}

void Word(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    out.insert(out.end(), b, b + 4);
}

// A float track of two keys, in a key buffer of one track.
std::vector<uint8_t> Keys(int components) {
    std::vector<uint8_t> out;
    Word(out, 1);
    Words(out, {0.0f});
    Word(out, 12);
    Word(out, 2);
    for (int i = 0; i < 4; ++i)
        Word(out, 0);
    Word(out, 4u * static_cast<uint32_t>(components));
    for (float t : {0.0f, 1.0f}) {
        Words(out, {t});
        for (int c = 0; c < components; ++c)
            Words(out, {t + 0.5f});
    }
    return out;
}

// Twenty kinds, one per slot; both sets end with the sprite drawer, whose
// channels the over-life kinds write.
std::vector<int> KindSet(int which) {
    std::vector<int> kinds;
    for (int kind = which == 0 ? 0 : 6; kinds.size() < ParticleSystem::MAX_SLOTS - 1; ++kind)
        if (kind != 25)
            kinds.push_back(kind);
    kinds.push_back(25);
    return kinds;
}

std::vector<uint8_t> BuiltInFile(int which) {
    CObjnet out;
    out.StartSignature(PFX_SIGNATURE);
    std::vector<uint8_t> header;
    Words(header, {2.0f});
    Word(header, kCount);
    out.WriteBuffer(header.data(), static_cast<int>(header.size()));
    out.WriteString("fuzz");
    CObjnet bank;
    bank.StartSignature(PFX_TEXTURE_BANK_SIGNATURE);
    bank.WriteInt(0);
    bank.WriteString("dust.tga");
    out.WriteObject(&bank);
    out.WriteInt(0);
    const std::vector<int> kinds = KindSet(which);
    for (size_t slot = 0; slot < kinds.size(); ++slot) {
        const int kind = kinds[slot];
        ParticleModifier* probe = CreateParticleModifier(ParticleModifierName(kind));
        const uint32_t size = probe->getParamsSize();
        probe->release();
        std::vector<uint8_t> params;
        Word(params, 0);
        Word(params, kCount);
        Word(params, 1);
        // Plausible values: small floats, with the counters and sizes that
        // the kinds read as integers small and non-zero.
        while (params.size() < size)
            Words(params, {0.25f + 0.125f * static_cast<float>(params.size() % 7)});
        if (kind == 15) {   // Flock: group size, maximum groups
            const uint32_t four = 4, two = 2;
            std::memcpy(&params[12], &four, 4);
            std::memcpy(&params[24], &two, 4);
        }
        if (kind == 17) {   // Fire: a rate of at least 1
            const float rate = 3.0f;
            std::memcpy(&params[16], &rate, 4);
        }
        CObjnet record;
        record.StartSignature(PFX_MODIFIER_SIGNATURE);
        record.WriteInt(static_cast<int32_t>(slot));
        record.WriteString(ParticleModifierName(kind));
        record.WriteInt(static_cast<int32_t>(size));
        for (int i = 0; i < 4; ++i)
            record.WriteInt(0);
        record.WriteBuffer(params.data(), static_cast<int>(params.size()));
        record.WriteBuffer(nullptr, 0);
        record.WriteBuffer(nullptr, 0);
        const bool animated = kind >= 5 && kind <= 9;
        const std::vector<uint8_t> keys = Keys(kind == 8 ? 3 : 1);
        record.WriteInt(animated ? 1 : 0);
        record.WriteBuffer(animated ? keys.data() : nullptr, animated ? static_cast<int>(keys.size()) : 0);
        out.WriteObject(&record);
    }
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

void Run(ParticleSystemAnimation& system, float dt) {
    if (system.getParticleCount() > 1024)
        return;   // the kinds' costs grow with the pool; small pools cover their arithmetic
    system.setActive(true);
    const float transform[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 3, 4, 5};
    system.setTransform(transform);
    system.setScale(1.5f, 0.5f, 2.0f);
    SetParticleFrameTime(dt);
    for (int frame = 0; frame < 12; ++frame) {
        system.update();
        system.draw();
        PRI::DiscardBatches();
    }
    system.setStopping(true);
    system.update();
    system.reset();
    system.update();
    system.draw();
    PRI::DiscardBatches();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    KemSrand(1);
    std::vector<uint8_t> file;
    float dt = 1.0f / 30.0f;
    if ((data[0] & 1) == 0) {
        file.assign(data + 1, data + size);
        if (size > 1)
            dt = static_cast<float>(data[1]) / 64.0f;
    } else {
        static const std::vector<uint8_t> builtIn[2] = {BuiltInFile(0), BuiltInFile(1)};
        file = builtIn[(data[0] >> 1) & 1];
        size_t at = 1;
        if (size >= at + 2) {
            const size_t cut = static_cast<size_t>(data[at]) | static_cast<size_t>(data[at + 1]) << 8;
            if (cut != 0 && cut < file.size())
                file.resize(cut);
            at += 2;
        }
        for (; at + 3 <= size; at += 3) {
            const size_t offset = static_cast<size_t>(data[at]) | static_cast<size_t>(data[at + 1]) << 8;
            if (offset < file.size())
                file[offset] ^= data[at + 2];
            dt = static_cast<float>(data[at + 2]) / 256.0f;
        }
    }

    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(file.empty() ? 1 : file.size()));
    if (!file.empty())
        std::memcpy(bytes, file.data(), file.size());
    ParticleSystemAnimation* system = nullptr;
    std::vector<ParticleFileTexture> textures;
    const int result = ReadParticleFile(bytes, static_cast<int>(file.size()), "fuzz", system, textures);
    std::free(bytes);
    if (result == 0) {
        if (!system)
            __builtin_trap();
        for (const ParticleFileTexture& t : textures)
            if (t.slot > 255 || t.name.size() < 3)
                __builtin_trap();
        Run(*system, dt);
        delete system;
    } else if (system || !textures.empty()) {
        __builtin_trap();
    }
    return 0;
}
