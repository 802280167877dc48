// A particle system: a fixed pool of particles worked on by up to 20
// modifiers in numbered slots, run in slot order. Per-particle data that only
// some modifiers need lives in shared, reference-counted channels.
// ParticleSystemAnimation adds, per slot, a buffer of keyframe tracks that
// the over-life modifiers evaluate per particle.
//
// Coordinates: the particle engine's third coordinate is the vertical one;
// the effect node and the sprite drawer swap the second and third when they
// meet the scene.
#pragma once

#include <cstddef>
#include <cstdint>

class ParticleModifier;

// One pool record; the pool is cleared to zero by reset.
struct Particle {
    float position[3];
    float life;      // seconds; 0 for a free record
    float elapsed;   // seconds lived
    uint8_t flags;   // PARTICLE_BORN: emitted during this update
};

enum : uint8_t { PARTICLE_BORN = 1 };

inline bool IsParticleAlive(const Particle& p) { return p.life - p.elapsed > 0.0f; }

// Channel ids.
enum ParticleChannelId : int32_t {
    PCH_VELOCITY = 0,         // 3 x f32
    PCH_EMISSION = 1,         // u32 emission counter of a generator
    PCH_GRAVITY = 2,          // f32
    PCH_NEIGHBOUR = 3,        // i32 flock neighbour, -1 none
    PCH_PREVIOUS = 4,         // 3 x f32 previous position
    PCH_SPARE = 5,            // 4 bytes, bound by no modifier
    PCH_SIZE = 6,             // f32
    PCH_ALPHA = 7,            // f32
    PCH_COLOUR = 8,           // 3 x f32 (r, g, b in 0..1)
    PCH_ANGLE = 9,            // f32 radians
    PCH_SIZE_CURSOR = 10,     // TrackCursor
    PCH_ALPHA_CURSOR = 11,
    PCH_COLOUR_CURSOR = 12,
    PCH_ANGLE_CURSOR = 13,
    PCH_VELOCITY_CURSOR = 14,
    PCH_COUNT = 15,
};

// Where one particle stands on one keyframe track. The cursor names its
// track by slot and number rather than by address, so that replacing a key
// buffer never leaves cursors pointing into freed memory.
struct TrackCursor {
    float value[3];     // a float or integer track uses the first word
    uint16_t slot;
    uint16_t track;
    uint16_t index;     // previous key; the next one follows it. INDEX_HELD: last key reached
    uint16_t hasTrack;
    static const uint16_t INDEX_HELD = 0xFFFF;
};

// Track value types (low 4 bits of a field type code).
enum { TRACK_FLOAT = 1, TRACK_INT = 2, TRACK_VECTOR = 3 };

// A channel buffer: this header, then `count` elements.
struct ParticleChannel {
    int32_t id;
    uint32_t count;
    uint32_t refCount;
    uint32_t reserved;

    template <class T>
    T* as() { return reinterpret_cast<T*>(this + 1); }
    float* vec3() { return as<float>(); }   // element i at [3 * i]
};
static_assert(sizeof(ParticleChannel) == 16, "channel data starts 16-byte aligned");

// Bytes of one element of a channel id (0 for an id out of range).
size_t ParticleChannelElementSize(int32_t id);

// The frame delta in seconds that every modifier reads; written by the
// particle manager before it updates the systems.
void SetParticleFrameTime(float seconds);
float GetParticleFrameTime();

class ParticleSystem {
public:
    static const uint32_t MAX_SLOTS = 20;
    static const uint32_t MAX_CHANNELS = 15;

    // Pool cleared, transform identity, scale 1, then reset.
    ParticleSystem(uint32_t particleCount, float duration);
    virtual ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Runs the enabled modifiers in slot order, then ages the live particles.
    virtual void update();
    // Hands the enabled modifiers their draw call (the sprite drawer queues quads).
    virtual void draw();
    // Active, pool cleared, every modifier's data initialised, full time left.
    virtual void reset();

    // Always takes ownership of the modifier and the binding array (new[],
    // one entry per channel of the modifier). A taken slot is emptied first.
    // False when the slot is out of range (both are then released) or when a
    // channel could not be had (its binding stays null).
    bool setModifier(uint32_t slot, ParticleModifier* modifier, ParticleChannel** bindings, bool initialise);
    // Clears the slot, frees its bindings, releases its channels and the modifier.
    void removeModifier(uint32_t slot);
    // An existing channel gains a reference; otherwise a new buffer in the
    // first free entry. Null when all entries are taken or the id is unknown.
    ParticleChannel* acquireChannel(int32_t id);
    // One reference less; freed at 0. An absent id is ignored.
    void releaseChannel(int32_t id);
    ParticleChannel* findChannel(int32_t id) const;
    int32_t slotOf(const ParticleModifier* modifier) const;

    ParticleModifier* getModifier(uint32_t slot) const { return slot < MAX_SLOTS ? mModifiers[slot] : nullptr; }
    ParticleChannel** getBindings(uint32_t slot) const { return slot < MAX_SLOTS ? mBindings[slot] : nullptr; }

    uint32_t getParticleCount() const { return mCount; }
    Particle* getPool() { return mPool; }
    const Particle* getPool() const { return mPool; }

    bool isActive() const { return mActive != 0; }
    void setActive(bool active) { mActive = active ? 1 : 0; }
    bool isStopping() const { return mStopping != 0; }
    void setStopping(bool stopping) { mStopping = stopping ? 1 : 0; }
    float getRemainingTime() const { return mRemainingTime; }
    float getDuration() const { return mDuration; }

    // Columns x axis, y axis, z axis, translation: p maps to
    // x * p.x + y * p.y + z * p.z + translation.
    const float* getTransform() const { return mTransform; }
    void setTransform(const float transform[12]);
    void setTranslation(float x, float y, float z);
    const float* getScale() const { return mScale; }
    void setScale(float x, float y, float z);

    // The particle manager's list link.
    ParticleSystem* getNext() const { return mNext; }
    void setNext(ParticleSystem* next) { mNext = next; }

protected:
    void resetSystem();

private:
    uint8_t mActive = 0;
    uint8_t mStopping = 0;
    ParticleModifier* mModifiers[MAX_SLOTS] = {};
    ParticleChannel** mBindings[MAX_SLOTS] = {};
    ParticleChannel* mChannels[MAX_CHANNELS] = {};
    uint32_t mCount = 0;
    Particle* mPool = nullptr;
    ParticleSystem* mNext = nullptr;
    float mRemainingTime = 0.0f;
    float mDuration = 0.0f;
    float mTransform[12] = {};
    float mScale[3] = {1.0f, 1.0f, 1.0f};
};

// Key buffer, a raw little-endian image from the particle file, used in
// place: u32 track count, f32 slot time, then one u32 byte offset per track.
// A track: u32 key count, three run-time words, u32 (unused), u32 value size
// (4 or 12), then the keys: f32 time as a fraction of the particle's life and
// the value.
class ParticleSystemAnimation : public ParticleSystem {
public:
    static const uint32_t TRACK_HEADER = 24;

    ParticleSystemAnimation(uint32_t particleCount, float duration);
    ~ParticleSystemAnimation() override;

    // Rewinds every key buffer, then the base reset.
    void reset() override;

    // Takes ownership of a buffer from CObjnet::ReadBuffer (released with
    // CObjnet::Free) and frees the slot's previous one. A buffer whose tracks
    // do not lie inside it is freed and refused: the slot then has no keys.
    bool setSlotKey(uint32_t slot, void* buffer, uint32_t size);
    // Track i of the slot's key buffer, or null.
    const uint8_t* getTrack(uint32_t slot, uint32_t i) const;
    // Zeroes the cursor; with a track it then points at it and is reset.
    void initCursor(uint32_t slot, uint32_t i, TrackCursor& cursor) const;
    // Back to the first two keys.
    void resetCursor(TrackCursor& cursor) const;
    // Advances the cursor to the particle's age and writes its value.
    void evaluate(int type, float elapsed, float life, TrackCursor& cursor) const;

    // Whether a key buffer's tracks all lie inside its bytes.
    static bool IsValidKeyBuffer(const void* buffer, uint32_t size);

private:
    uint8_t* mKeys[MAX_SLOTS] = {};
    uint32_t mKeySizes[MAX_SLOTS] = {};
};

// The modifier factory: the kinds as particle files name them.
const int PARTICLE_MODIFIER_KINDS = 26;
// Position of the name in the table; -1 when absent or null.
int ParticleModifierIndexByName(const char* name);
// The table's name at an index, or null.
const char* ParticleModifierName(int index);
// A new modifier of that kind with a zeroed parameter block, or null.
ParticleModifier* CreateParticleModifier(const char* name);
