// The base of every particle modifier. A modifier's whole state is its
// parameter block, read verbatim from the particle file: little-endian 32-bit
// words, the first three of every kind being the particle range and the flags.
#pragma once

#include "ParticleSystem.h"

#include <cstdint>
#include <cstring>

// The three words every parameter block starts with.
struct ParticleParamsHeader {
    uint32_t first;   // first particle of the modifier's range
    uint32_t end;     // end of the range (exclusive)
    uint32_t flags;   // bit 0: enabled (update and draw run only then)
};

enum : uint32_t { PARTICLE_MODIFIER_ENABLED = 1 };

// Field type codes of getField.
enum {
    PFIELD_FLOAT = 1,
    PFIELD_INT = 2,
    PFIELD_VECTOR = 3,
    PFIELD_ANIMATED = 64,   // added: the value is animated over the particle's life
};

class ParticleModifier {
public:
    virtual ~ParticleModifier() = default;
    // Number of channels the kind binds and their ids in binding order.
    virtual int32_t getChannelCount() const = 0;
    virtual int32_t getChannelId(int32_t i) const = 0;
    virtual void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) = 0;
    virtual void draw(ParticleChannel** bindings, Particle* pool, ParticleSystem* system);
    // i = -1: the modifier's run-time words; i >= 0: the data of its channel i
    // over its particle range.
    virtual void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) = 0;
    // Moves the modifier's region (its offset or centre words).
    virtual void translate(const float vector[3]);
    virtual void release();
    virtual void* getParams() = 0;
    virtual uint32_t getParamsSize() const = 0;
    virtual int32_t getFieldCount() const;
    // A pointer into the parameter block and its type code; null out of range.
    virtual void* getField(int32_t i, int32_t* type);

    const ParticleParamsHeader& header() const { return *static_cast<const ParticleParamsHeader*>(
                                                       const_cast<ParticleModifier*>(this)->getParams()); }
    bool isEnabled() const { return (header().flags & PARTICLE_MODIFIER_ENABLED) != 0; }

    // The modifier's range limited to the system's pool; false when empty.
    bool range(const ParticleSystem* system, uint32_t& first, uint32_t& end) const;
};

// A kind with parameter block P (a struct of 32-bit words that starts with
// ParticleParamsHeader).
template <class P>
class ParticleModifierOf : public ParticleModifier {
public:
    ParticleModifierOf() { std::memset(&mParams, 0, sizeof(mParams)); }
    void* getParams() override { return &mParams; }
    uint32_t getParamsSize() const override { return sizeof(P); }
    P& params() { return mParams; }
    const P& params() const { return mParams; }

protected:
    P mParams;
};
