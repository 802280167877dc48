#include "ParticleModifier.h"

void ParticleModifier::draw(ParticleChannel**, Particle*, ParticleSystem*) {}

void ParticleModifier::translate(const float*) {}

void ParticleModifier::release() { delete this; }

int32_t ParticleModifier::getFieldCount() const { return 0; }

void* ParticleModifier::getField(int32_t, int32_t* type) {
    if (type)
        *type = 0;
    return nullptr;
}

bool ParticleModifier::range(const ParticleSystem* system, uint32_t& first, uint32_t& end) const {
    const ParticleParamsHeader& h = header();
    const uint32_t count = system ? system->getParticleCount() : 0;
    first = h.first;
    end = h.end < count ? h.end : count;
    return first < end;
}
