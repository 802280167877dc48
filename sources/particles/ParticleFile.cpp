#include "ParticleFile.h"

#include "ParticleMath.h"
#include "ParticleModifiers.h"
#include "ParticleSystem.h"

#include <CObjnet.h>
#include <Platform.h>

#include <cstring>
#include <memory>

using namespace pfx;

namespace {

const char* Name(const char* source) { return source ? source : "particle file"; }

// CObjnet blocks freed with CObjnet::Free.
struct FreeBlock {
    void operator()(void* block) const { CObjnet::Free(block); }
};
typedef std::unique_ptr<char, FreeBlock> OwnedString;
typedef std::unique_ptr<uint8_t, FreeBlock> OwnedBuffer;

struct ObjnetDeleter {
    void operator()(CObjnet* object) const { CObjnet::DeleteObject(object); }
};

bool ReadTextureBank(CObjnet& outer, const char* source, std::vector<ParticleFileTexture>& textures) {
    std::unique_ptr<CObjnet, ObjnetDeleter> bank(outer.ReadObject());
    if (!bank || bank->BeginReadSignature(PFX_TEXTURE_BANK_SIGNATURE) != 0) {
        PlatLog("%s: no texture bank", Name(source));
        return false;
    }
    while (bank->HasMoreData()) {
        const int32_t slot = bank->ReadInt();
        OwnedString name(bank->ReadString());
        if (bank->IsFailed() || !name)
            break;
        const std::string file = ParticleTextureFileName(name.get());
        if (slot < 0 || slot > 255 || file.empty()) {
            PlatLog("%s: texture \"%s\" in slot %d is skipped", Name(source), name.get(), slot);
            continue;
        }
        textures.push_back(ParticleFileTexture{static_cast<uint32_t>(slot), file});
    }
    return true;
}

// One modifier record into the system; false (with a log line) when it is
// skipped.
bool ReadModifier(CObjnet& record, const char* source, ParticleSystemAnimation& system) {
    const int32_t slot = record.ReadInt();
    OwnedString kind(record.ReadString());
    const int32_t paramSize = record.ReadInt();
    for (int i = 0; i < 4; ++i)
        record.ReadInt();
    int paramLength = 0;
    OwnedBuffer params(static_cast<uint8_t*>(record.ReadBuffer(&paramLength)));
    OwnedBuffer unused1(static_cast<uint8_t*>(record.ReadBuffer()));
    OwnedBuffer unused2(static_cast<uint8_t*>(record.ReadBuffer()));
    const int32_t hasKeys = record.ReadInt();
    int keyLength = 0;
    OwnedBuffer keys(static_cast<uint8_t*>(record.ReadBuffer(&keyLength)));
    if (record.IsFailed() || !kind) {
        PlatLog("%s: a modifier record is cut short and skipped", Name(source));
        return false;
    }
    if (slot < 0 || static_cast<uint32_t>(slot) >= ParticleSystem::MAX_SLOTS) {
        PlatLog("%s: modifier \"%s\" names slot %d and is skipped", Name(source), kind.get(), slot);
        return false;
    }
    ParticleModifier* modifier = CreateParticleModifier(kind.get());
    if (!modifier) {
        PlatLog("%s: unknown modifier kind \"%s\" is skipped", Name(source), kind.get());
        return false;
    }
    if (!params)
        paramLength = 0;
    if (paramSize < 0 || static_cast<uint32_t>(paramSize) > modifier->getParamsSize() || paramSize > paramLength) {
        PlatLog("%s: modifier \"%s\" has a parameter size of %d for a block of %u bytes (%d stored); skipped",
                Name(source), kind.get(), paramSize, modifier->getParamsSize(), paramLength);
        modifier->release();
        return false;
    }
    if (paramSize > 0)
        std::memcpy(modifier->getParams(), params.get(), static_cast<size_t>(paramSize));
    const char* why = nullptr;
    if (!IsUsableParticleModifier(modifier, &system, &why)) {
        PlatLog("%s: modifier \"%s\" in slot %d is skipped: %s", Name(source), kind.get(), slot, why);
        modifier->release();
        return false;
    }
    const int32_t channels = modifier->getChannelCount();
    ParticleChannel** bindings = new ParticleChannel*[channels > 0 ? channels : 1]();
    if (!system.setModifier(static_cast<uint32_t>(slot), modifier, bindings, true)) {
        PlatLog("%s: modifier \"%s\" in slot %d finds no free channel and is skipped", Name(source), kind.get(),
                slot);
        system.removeModifier(static_cast<uint32_t>(slot));
        return false;
    }
    if (hasKeys != 0 && keys) {
        if (!system.setSlotKey(static_cast<uint32_t>(slot), keys.release(), static_cast<uint32_t>(keyLength)))
            PlatLog("%s: the animation keys of modifier \"%s\" in slot %d lie outside their buffer; ignored",
                    Name(source), kind.get(), slot);
    }
    return true;
}

}  // namespace

std::string ParticleTextureFileName(const std::string& bankName) {
    if (bankName.size() < 3)
        return std::string();
    return bankName.substr(0, bankName.size() - 3) + "png";
}

int ReadParticleFile(const void* bytes, int size, const char* source, ParticleSystemAnimation*& system,
                     std::vector<ParticleFileTexture>& textures) {
    system = nullptr;
    textures.clear();
    CObjnet outer;
    if (!bytes || size < 4 || outer.SetData(bytes, size) != 0 || outer.BeginReadSignature(PFX_SIGNATURE) != 0) {
        PlatLog("%s: not a particle file", Name(source));
        return -1;
    }

    int headerLength = 0;
    OwnedBuffer header(static_cast<uint8_t*>(outer.ReadBuffer(&headerLength)));
    if (!header || headerLength < 8) {
        PlatLog("%s: no header", Name(source));
        return -1;
    }
    const float duration = ReadF32(header.get());
    const uint32_t count = ReadU32(header.get() + 4);
    if (count > PFX_MAX_PARTICLES) {
        PlatLog("%s: %u particles is more than the %u a system may hold", Name(source), count, PFX_MAX_PARTICLES);
        return -1;
    }

    OwnedString name(outer.ReadString());
    if (!name) {
        PlatLog("%s: no name", Name(source));
        return -1;
    }
    if (!ReadTextureBank(outer, source, textures)) {
        textures.clear();
        return -1;
    }
    outer.ReadInt();

    std::unique_ptr<ParticleSystemAnimation> built(new ParticleSystemAnimation(count, duration));
    CObjnet record;
    while (outer.HasMoreData()) {
        record.Reset();
        if (!outer.ReadObjectInto(&record))
            continue;   // an empty field, or the outer object failed (the loop then ends)
        record.Rewind();
        if (record.BeginReadSignature(PFX_MODIFIER_SIGNATURE) != 0) {
            PlatLog("%s: an object that is not a modifier record is skipped", Name(source));
            continue;
        }
        ReadModifier(record, source, *built);
    }
    // A file cut short loses what followed the cut: the effect plays what
    // came before it, and the log says so.
    if (outer.IsFailed())
        PlatLog("%s: cut short; what follows the cut is lost", Name(source));

    built->reset();
    built->setActive(false);
    system = built.release();
    return 0;
}
