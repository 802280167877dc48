// Builds particle file images and parameter blocks for the particle tests.
#pragma once

#include "ParticleFile.h"
#include "ParticleModifiers.h"
#include "ParticleSystem.h"

#include <CObjnet.h>
#include <Platform.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace pfxtest {

typedef std::vector<uint8_t> Bytes;

template <class P>
Bytes Block(const P& params) {
    Bytes out(sizeof(P));
    std::memcpy(out.data(), &params, sizeof(P));
    return out;
}

// A track of (life fraction, value) keys; the value has `components` floats.
inline Bytes Track(const std::vector<std::vector<float>>& keys, uint32_t valueSize = 0) {
    const uint32_t components = keys.empty() ? 1 : static_cast<uint32_t>(keys[0].size() - 1);
    if (valueSize == 0)
        valueSize = 4 * components;
    Bytes out(ParticleSystemAnimation::TRACK_HEADER, 0);
    const uint32_t count = static_cast<uint32_t>(keys.size());
    std::memcpy(out.data(), &count, 4);
    std::memcpy(out.data() + 20, &valueSize, 4);
    for (const auto& key : keys) {
        const size_t at = out.size();
        out.resize(at + 4 + valueSize, 0);
        std::memcpy(out.data() + at, key.data(), 4 * key.size() > 4 + valueSize ? 4 + valueSize : 4 * key.size());
    }
    return out;
}

inline Bytes KeyBuffer(const std::vector<Bytes>& tracks) {
    const uint32_t count = static_cast<uint32_t>(tracks.size());
    Bytes out(8 + 4 * tracks.size(), 0);
    std::memcpy(out.data(), &count, 4);
    uint32_t offset = static_cast<uint32_t>(out.size());
    for (size_t i = 0; i < tracks.size(); ++i) {
        std::memcpy(out.data() + 8 + 4 * i, &offset, 4);
        offset += static_cast<uint32_t>(tracks[i].size());
    }
    for (const Bytes& track : tracks)
        out.insert(out.end(), track.begin(), track.end());
    return out;
}

// A malloc'd copy, as CObjnet::ReadBuffer hands them out.
inline void* MallocCopy(const Bytes& bytes) {
    void* block = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty())
        std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

struct ModifierRecord {
    int32_t slot = 0;
    std::string kind;
    Bytes params;
    static const int32_t AUTO = INT32_MIN;
    int32_t paramSize = AUTO;   // AUTO: the parameter buffer's size
    Bytes keys;
    int32_t hasKeys = -1;     // -1: whether keys are given
    const char* signature = PFX_MODIFIER_SIGNATURE;
};

inline void WriteRecord(CObjnet& out, const ModifierRecord& r) {
    CObjnet record;
    record.StartSignature(r.signature);
    record.WriteInt(r.slot);
    record.WriteString(r.kind.c_str());
    record.WriteInt(r.paramSize != ModifierRecord::AUTO ? r.paramSize : static_cast<int32_t>(r.params.size()));
    for (int i = 0; i < 4; ++i)
        record.WriteInt(0);
    record.WriteBuffer(r.params.data(), static_cast<int>(r.params.size()));
    record.WriteBuffer(nullptr, 0);
    record.WriteBuffer(nullptr, 0);
    record.WriteInt(r.hasKeys >= 0 ? r.hasKeys : (r.keys.empty() ? 0 : 1));
    record.WriteBuffer(r.keys.data(), static_cast<int>(r.keys.size()));
    record.End();
    out.WriteObject(&record);
}

struct PfxFile {
    float duration = 2.0f;
    uint32_t count = 16;
    std::vector<std::pair<int32_t, std::string>> textures;
    std::vector<ModifierRecord> modifiers;
    const char* bankSignature = PFX_TEXTURE_BANK_SIGNATURE;

    Bytes Build() const {
        CObjnet out;
        out.StartSignature(PFX_SIGNATURE);
        uint8_t header[8];
        std::memcpy(header, &duration, 4);
        std::memcpy(header + 4, &count, 4);
        out.WriteBuffer(header, 8);
        out.WriteString("test");
        CObjnet bank;
        bank.StartSignature(bankSignature);
        for (const auto& texture : textures) {
            bank.WriteInt(texture.first);
            bank.WriteString(texture.second.c_str());
        }
        bank.End();
        out.WriteObject(&bank);
        out.WriteInt(0);
        for (const ModifierRecord& record : modifiers)
            WriteRecord(out, record);
        out.End();
        return Bytes(out.GetData(), out.GetData() + out.GetSize());
    }
};

// Parameter blocks with the range [0, end) enabled.
template <class P>
P Params(uint32_t end) {
    P p;
    std::memset(&p, 0, sizeof(p));
    p.h.first = 0;
    p.h.end = end;
    p.h.flags = PARTICLE_MODIFIER_ENABLED;
    return p;
}

// Installs a freshly created modifier of kind K with block `params` in a slot.
template <class K, class P>
K* Install(ParticleSystem& system, uint32_t slot, const P& params, bool initialise = true) {
    K* modifier = new K;
    modifier->params() = params;
    const int32_t channels = modifier->getChannelCount();
    system.setModifier(slot, modifier, new ParticleChannel*[channels > 0 ? channels : 1](), initialise);
    return modifier;
}

}  // namespace pfxtest
