#include "ParticleSystem.h"

#include "ParticleMath.h"
#include "ParticleModifier.h"

#include <CObjnet.h>

#include <cstdlib>
#include <cstring>
#include <new>

using namespace pfx;

namespace {

float gFrameTime = 0.0f;

const float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

// Track header words.
const uint32_t kTrackKeyCount = 0;
const uint32_t kTrackPrevious = 4;
const uint32_t kTrackNext = 8;
const uint32_t kTrackIndex = 12;
const uint32_t kTrackValueSize = 20;

}  // namespace

size_t ParticleChannelElementSize(int32_t id) {
    switch (id) {
    case PCH_VELOCITY:
    case PCH_PREVIOUS:
    case PCH_COLOUR:
        return 3 * sizeof(float);
    case PCH_EMISSION:
    case PCH_GRAVITY:
    case PCH_NEIGHBOUR:
    case PCH_SPARE:
    case PCH_SIZE:
    case PCH_ALPHA:
    case PCH_ANGLE:
        return 4;
    case PCH_SIZE_CURSOR:
    case PCH_ALPHA_CURSOR:
    case PCH_COLOUR_CURSOR:
    case PCH_ANGLE_CURSOR:
    case PCH_VELOCITY_CURSOR:
        return sizeof(TrackCursor);
    default:
        return 0;
    }
}

void SetParticleFrameTime(float seconds) { gFrameTime = seconds; }
float GetParticleFrameTime() { return gFrameTime; }

// ---- ParticleSystem -----------------------------------------------------------------

ParticleSystem::ParticleSystem(uint32_t particleCount, float duration)
    : mCount(particleCount), mDuration(duration) {
    mPool = new Particle[particleCount ? particleCount : 1];
    std::memcpy(mTransform, kIdentity, sizeof(mTransform));
    resetSystem();
}

ParticleSystem::~ParticleSystem() {
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot)
        removeModifier(slot);
    // Channels nobody released (a binding array cut short) go too.
    for (ParticleChannel*& channel : mChannels) {
        std::free(channel);
        channel = nullptr;
    }
    delete[] mPool;
}

void ParticleSystem::resetSystem() {
    mActive = 1;
    std::memset(mPool, 0, sizeof(Particle) * (mCount ? mCount : 1));
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot) {
        ParticleModifier* modifier = mModifiers[slot];
        if (!modifier)
            continue;
        modifier->initParticles(-1, mBindings[slot], this);
        const int32_t channels = modifier->getChannelCount();
        for (int32_t i = 0; i < channels; ++i)
            modifier->initParticles(i, mBindings[slot], this);
    }
    mRemainingTime = mDuration;
}

void ParticleSystem::reset() { resetSystem(); }

void ParticleSystem::update() {
    if (!mActive)
        return;
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot) {
        ParticleModifier* modifier = mModifiers[slot];
        if (modifier && modifier->isEnabled())
            modifier->update(mBindings[slot], mPool, this);
    }
    const float dt = gFrameTime;
    bool anyAlive = false;
    for (uint32_t i = 0; i < mCount; ++i) {
        Particle& p = mPool[i];
        if (IsParticleAlive(p)) {
            p.elapsed += dt;
            anyAlive = true;
        }
        p.flags &= static_cast<uint8_t>(~PARTICLE_BORN);
    }
    if (mStopping && !anyAlive)
        mRemainingTime = 0.0f;
    else
        mRemainingTime -= dt;
}

void ParticleSystem::draw() {
    if (!mActive)
        return;
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot) {
        ParticleModifier* modifier = mModifiers[slot];
        if (modifier && modifier->isEnabled())
            modifier->draw(mBindings[slot], mPool, this);
    }
}

bool ParticleSystem::setModifier(uint32_t slot, ParticleModifier* modifier, ParticleChannel** bindings,
                                 bool initialise) {
    if (slot >= MAX_SLOTS || !modifier) {
        if (modifier)
            modifier->release();
        delete[] bindings;
        return false;
    }
    if (mModifiers[slot])
        removeModifier(slot);
    const int32_t channels = modifier->getChannelCount();
    if (channels > 0 && !bindings)
        bindings = new ParticleChannel*[channels]();
    mModifiers[slot] = modifier;
    mBindings[slot] = bindings;
    bool bound = true;
    for (int32_t i = 0; i < channels; ++i) {
        bindings[i] = acquireChannel(modifier->getChannelId(i));
        if (!bindings[i])
            bound = false;
    }
    if (initialise) {
        modifier->initParticles(-1, bindings, this);
        for (int32_t i = 0; i < channels; ++i)
            modifier->initParticles(i, bindings, this);
    }
    return bound;
}

void ParticleSystem::removeModifier(uint32_t slot) {
    if (slot >= MAX_SLOTS)
        return;
    ParticleModifier* modifier = mModifiers[slot];
    ParticleChannel** bindings = mBindings[slot];
    mModifiers[slot] = nullptr;
    mBindings[slot] = nullptr;
    if (modifier) {
        const int32_t channels = modifier->getChannelCount();
        for (int32_t i = 0; i < channels; ++i)
            if (bindings && bindings[i])
                releaseChannel(modifier->getChannelId(i));
    }
    delete[] bindings;
    if (modifier)
        modifier->release();
}

ParticleChannel* ParticleSystem::acquireChannel(int32_t id) {
    if (ParticleChannel* channel = findChannel(id)) {
        ++channel->refCount;
        return channel;
    }
    const size_t element = ParticleChannelElementSize(id);
    if (element == 0)
        return nullptr;
    for (ParticleChannel*& entry : mChannels) {
        if (entry)
            continue;
        // Data are left as they come: each modifier initialises its own range.
        void* block = std::malloc(sizeof(ParticleChannel) + element * (mCount ? mCount : 1));
        if (!block)
            return nullptr;
        ParticleChannel* channel = static_cast<ParticleChannel*>(block);
        channel->id = id;
        channel->count = mCount;
        channel->refCount = 1;
        channel->reserved = 0;
        entry = channel;
        return channel;
    }
    return nullptr;
}

void ParticleSystem::releaseChannel(int32_t id) {
    for (ParticleChannel*& entry : mChannels) {
        if (!entry || entry->id != id)
            continue;
        if (--entry->refCount == 0) {
            std::free(entry);
            entry = nullptr;
        }
        return;
    }
}

ParticleChannel* ParticleSystem::findChannel(int32_t id) const {
    for (ParticleChannel* entry : mChannels)
        if (entry && entry->id == id)
            return entry;
    return nullptr;
}

int32_t ParticleSystem::slotOf(const ParticleModifier* modifier) const {
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot)
        if (modifier && mModifiers[slot] == modifier)
            return static_cast<int32_t>(slot);
    return -1;
}

void ParticleSystem::setTransform(const float transform[12]) { std::memcpy(mTransform, transform, sizeof(mTransform)); }

void ParticleSystem::setTranslation(float x, float y, float z) {
    std::memcpy(mTransform, kIdentity, sizeof(mTransform));
    mTransform[9] = x;
    mTransform[10] = y;
    mTransform[11] = z;
}

void ParticleSystem::setScale(float x, float y, float z) {
    mScale[0] = x;
    mScale[1] = y;
    mScale[2] = z;
}

// ---- ParticleSystemAnimation ------------------------------------------------------------

ParticleSystemAnimation::ParticleSystemAnimation(uint32_t particleCount, float duration)
    : ParticleSystem(particleCount, duration) {}

ParticleSystemAnimation::~ParticleSystemAnimation() {
    for (uint8_t*& keys : mKeys) {
        CObjnet::Free(keys);
        keys = nullptr;
    }
}

void ParticleSystemAnimation::reset() {
    for (uint32_t slot = 0; slot < MAX_SLOTS; ++slot) {
        uint8_t* keys = mKeys[slot];
        if (!keys)
            continue;
        WriteF32(keys + 4, 0.0f);
        const uint32_t tracks = ReadU32(keys);
        for (uint32_t i = 0; i < tracks; ++i) {
            uint8_t* track = keys + ReadU32(keys + 8 + 4 * i);
            WriteU32(track + kTrackPrevious, 0);
            WriteU32(track + kTrackNext, 1);
            WriteU32(track + kTrackIndex, 0);
        }
    }
    resetSystem();
}

bool ParticleSystemAnimation::IsValidKeyBuffer(const void* buffer, uint32_t size) {
    const uint8_t* keys = static_cast<const uint8_t*>(buffer);
    if (!keys || size < 8)
        return false;
    const uint64_t tracks = ReadU32(keys);
    if (8 + 4 * tracks > size)
        return false;
    for (uint64_t i = 0; i < tracks; ++i) {
        const uint64_t offset = ReadU32(keys + 8 + 4 * i);
        if (offset + TRACK_HEADER > size)
            return false;
        const uint8_t* track = keys + offset;
        const uint64_t count = ReadU32(track + kTrackKeyCount);
        const uint64_t valueSize = ReadU32(track + kTrackValueSize);
        if (valueSize != 4 && valueSize != 12)
            return false;
        // The held-value marker must stay distinct from every key index.
        if (count >= TrackCursor::INDEX_HELD)
            return false;
        if (offset + TRACK_HEADER + count * (4 + valueSize) > size)
            return false;
    }
    return true;
}

bool ParticleSystemAnimation::setSlotKey(uint32_t slot, void* buffer, uint32_t size) {
    if (slot >= MAX_SLOTS) {
        CObjnet::Free(buffer);
        return false;
    }
    CObjnet::Free(mKeys[slot]);
    mKeys[slot] = nullptr;
    mKeySizes[slot] = 0;
    if (!buffer)
        return true;
    if (!IsValidKeyBuffer(buffer, size)) {
        CObjnet::Free(buffer);
        return false;
    }
    mKeys[slot] = static_cast<uint8_t*>(buffer);
    mKeySizes[slot] = size;
    return true;
}

const uint8_t* ParticleSystemAnimation::getTrack(uint32_t slot, uint32_t i) const {
    if (slot >= MAX_SLOTS || !mKeys[slot])
        return nullptr;
    const uint8_t* keys = mKeys[slot];
    if (i >= ReadU32(keys))
        return nullptr;
    return keys + ReadU32(keys + 8 + 4 * i);
}

void ParticleSystemAnimation::initCursor(uint32_t slot, uint32_t i, TrackCursor& cursor) const {
    std::memset(&cursor, 0, sizeof(cursor));
    if (!getTrack(slot, i))
        return;
    cursor.slot = static_cast<uint16_t>(slot);
    cursor.track = static_cast<uint16_t>(i);
    cursor.hasTrack = 1;
    resetCursor(cursor);
}

void ParticleSystemAnimation::resetCursor(TrackCursor& cursor) const {
    if (cursor.hasTrack)
        cursor.index = 0;
}

void ParticleSystemAnimation::evaluate(int type, float elapsed, float life, TrackCursor& cursor) const {
    if (!cursor.hasTrack || cursor.index == TrackCursor::INDEX_HELD)
        return;
    const uint8_t* track = getTrack(cursor.slot, cursor.track);
    if (!track)
        return;
    const uint32_t count = ReadU32(track + kTrackKeyCount);
    const uint32_t valueSize = ReadU32(track + kTrackValueSize);
    const uint32_t needed = (type & 15) == TRACK_VECTOR ? 12 : 4;
    if (count < 2 || valueSize < needed)
        return;
    const uint32_t stride = 4 + valueSize;
    const uint8_t* keys = track + ParticleSystemAnimation::TRACK_HEADER;

    auto hold = [&](uint32_t key) {
        std::memcpy(cursor.value, keys + key * stride + 4, needed);
        cursor.index = TrackCursor::INDEX_HELD;
    };

    // A key buffer swapped under the cursor may have fewer keys.
    if (cursor.index >= count - 1u) {
        hold(count - 1);
        return;
    }
    for (;;) {
        const uint8_t* previous = keys + cursor.index * stride;
        const uint8_t* next = previous + stride;
        const float previousTime = ReadF32(previous);
        const float nextTime = ReadF32(next);
        if (nextTime * life < elapsed || nextTime == previousTime) {
            ++cursor.index;
            if (cursor.index >= count - 1u) {
                hold(count - 1);
                return;
            }
            continue;
        }
        const float span = (nextTime - previousTime) * life;
        if (span == 0.0f)
            return;
        const float k = (elapsed - life * previousTime) / span;
        switch (type & 15) {
        case TRACK_INT: {
            int32_t a, b;
            std::memcpy(&a, previous + 4, 4);
            std::memcpy(&b, next + 4, 4);
            const int32_t v = TruncToInt(static_cast<float>(a) + static_cast<float>(b - static_cast<int64_t>(a)) * k);
            std::memcpy(cursor.value, &v, 4);
            break;
        }
        case TRACK_VECTOR:
            for (int c = 0; c < 3; ++c) {
                const float a = ReadF32(previous + 4 + 4 * c);
                const float b = ReadF32(next + 4 + 4 * c);
                cursor.value[c] = a + (b - a) * k;
            }
            break;
        default: {
            const float a = ReadF32(previous + 4);
            const float b = ReadF32(next + 4);
            cursor.value[0] = a + (b - a) * k;
            break;
        }
        }
        return;
    }
}
