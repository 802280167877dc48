#include "ParticleModifiers.h"

#include "CParticleMgr.h"
#include "ParticleMath.h"
#include "ParticleRenderer.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>

using namespace pfx;

namespace {

const float kPi = 3.1415927f;

// Quads per batch: four vertices each must stay addressable by 16-bit indices.
const uint32_t kMaxQuadsPerBatch = 16384;

ParticleChannel* Binding(ParticleChannel** bindings, int i) { return bindings ? bindings[i] : nullptr; }

Vec3 Scaled(const ParticleSystem* s, const Vec3& v) { return Mul(v, Load(s->getScale())); }

// The rotation columns of the system transform.
Vec3 Rotated(const ParticleSystem* s, const Vec3& v) {
    const float* m = s->getTransform();
    return Load(m) * v.x + Load(m + 3) * v.y + Load(m + 6) * v.z;
}

Vec3 Placed(const ParticleSystem* s, const Vec3& p) { return Rotated(s, p) + Load(s->getTransform() + 9); }

ParticleSystemAnimation* Animation(ParticleSystem* s) { return dynamic_cast<ParticleSystemAnimation*>(s); }

// Far beyond any effect's speed. The movers whose step divides by a file's
// value (Turn, NotTooFar) keep their results under it: a value next to the
// one that divides by zero otherwise sends the velocity, then the position,
// to infinity and NaN within a few frames.
const double kMaxParticleSpeed = 1.0e4;

// Stores the velocity computed in double, cut to kMaxParticleSpeed; a
// non-finite result leaves the particle's velocity as it was.
void StoreBoundedVelocity(float* v, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(length))
        return;
    const double k = length > kMaxParticleSpeed ? kMaxParticleSpeed / length : 1.0;
    v[0] = static_cast<float>(x * k);
    v[1] = static_cast<float>(y * k);
    v[2] = static_cast<float>(z * k);
}

// Every particle of the range gets a random velocity, each component in
// [-0.5, 0.5].
void DefaultVelocity(const ParticleModifier* m, ParticleChannel* velocity, ParticleSystem* s) {
    uint32_t first, end;
    if (!velocity || !m->range(s, first, end))
        return;
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        v[3 * i] = RandomUnit() - 0.5f;
        v[3 * i + 1] = RandomUnit() - 0.5f;
        v[3 * i + 2] = RandomUnit() - 0.5f;
    }
}

void FillFloat(const ParticleModifier* m, ParticleChannel* channel, ParticleSystem* s, float value) {
    uint32_t first, end;
    if (!channel || !m->range(s, first, end))
        return;
    float* data = channel->as<float>();
    for (uint32_t i = first; i < end; ++i)
        data[i] = value;
}

// Cursors of the range on track 0 of the modifier's own slot.
void InitCursors(const ParticleModifier* m, ParticleChannel* channel, ParticleSystem* s, const float* start,
                 int components) {
    uint32_t first, end;
    if (!channel || !m->range(s, first, end))
        return;
    ParticleSystemAnimation* anim = Animation(s);
    const int32_t slot = s->slotOf(m);
    TrackCursor* cursors = channel->as<TrackCursor>();
    for (uint32_t i = first; i < end; ++i) {
        TrackCursor& c = cursors[i];
        if (anim && slot >= 0)
            anim->initCursor(static_cast<uint32_t>(slot), 0, c);
        else
            std::memset(&c, 0, sizeof(c));
        for (int k = 0; k < components; ++k)
            c.value[k] = start[k];
    }
}

// Advances a live particle's cursor: a newborn one starts from key 0.
void StepCursor(const ParticleSystemAnimation* anim, int type, Particle& p, TrackCursor& c) {
    if (!anim)
        return;
    if (p.flags & PARTICLE_BORN)
        anim->resetCursor(c);
    anim->evaluate(type, p.elapsed, p.life, c);
}

void* HeaderField(ParticleParamsHeader& h, int32_t i, int32_t* type) {
    if (i < 0 || i > 2) {
        if (type)
            *type = 0;
        return nullptr;
    }
    if (type)
        *type = PFIELD_INT;
    return &h.first + i;
}

void* OneField(void* field, int32_t typeCode, int32_t i, int32_t* type) {
    if (i != 0) {
        if (type)
            *type = 0;
        return nullptr;
    }
    if (type)
        *type = typeCode;
    return field;
}

int32_t ChannelOf(int32_t i, std::initializer_list<int32_t> ids) {
    if (i < 0 || static_cast<size_t>(i) >= ids.size())
        return -1;
    return *(ids.begin() + i);
}

// The spray basis of a direction: d normalised, u and v across it.
struct Basis {
    Vec3 d, u, v;
    explicit Basis(const Vec3& direction) {
        d = Normalise(direction);
        const Vec3 a = std::fabs(d.y) > 0.75f ? V3(1, 0, 0) : V3(0, 1, 0);
        u = Normalise(Cross(a, d));
        v = Normalise(Cross(u, d));
    }
    Vec3 velocity(float phi, float theta, float speed) const {
        return (u * std::cos(phi) + v * std::sin(phi)) * (std::sin(theta) * speed) + d * (std::cos(theta) * speed);
    }
};

// A record's emission counter: bit 31 emits forever, otherwise the low 16
// bits are the emissions it may still take.
bool CounterAllows(uint32_t counter) { return (counter & 0x80000000u) != 0 || (counter & 0xFFFFu) != 0; }

void CounterTake(uint32_t& counter) {
    if (counter & 0xFFFFu)
        counter = (counter & ~0xFFFFu) | ((counter & 0xFFFFu) - 1u);
}

// The emission walk shared by the three generators. `emit` fills one record.
template <class Emit>
void EmissionWalk(Particle* pool, uint32_t first, uint32_t end, uint32_t* counters, float wanted,
                  uint32_t& emitted, uint32_t maximum, Emit emit) {
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        if (IsParticleAlive(p))
            continue;
        if (!(wanted >= static_cast<float>(emitted)))
            break;
        if (!CounterAllows(counters[i]))
            continue;
        CounterTake(counters[i]);
        if (maximum != 0 && emitted >= maximum)
            break;
        emit(i, p);
        ++emitted;
    }
}

void BornParticle(Particle& p, float life) {
    p.life = life;
    p.elapsed = 0.0f;
    p.flags |= PARTICLE_BORN;
}

// Box and line generators differ only in where a particle starts.
template <class P, class Position>
void BoxLikeUpdate(P& params, ParticleChannel** bindings, Particle* pool, ParticleSystem* s,
                   const ParticleModifier* m, Position position) {
    if (s->isStopping())
        return;
    ParticleChannel* velocity = Binding(bindings, 0);
    ParticleChannel* counters = Binding(bindings, 1);
    uint32_t first, end;
    if (!velocity || !counters || !m->range(s, first, end))
        return;
    const Basis basis(Load(params.direction));
    const float dt = GetParticleFrameTime();
    params.clock += dt;
    const float wanted = params.rate * params.clock;
    const float lifeSpread = (params.lifeMax - params.lifeMin) / 32767.0f;
    const float speedSpread = Length(Load(s->getScale())) * (params.speedMax - params.speedMin) / 32767.0f;
    float* v = velocity->vec3();
    EmissionWalk(pool, first, end, counters->as<uint32_t>(), wanted, params.emitted, 0, [&](uint32_t i, Particle& p) {
        BornParticle(p, params.lifeMin + static_cast<float>(KemRand()) * lifeSpread);
        Store(p.position, Placed(s, position()));
        const float phi = RandomUnit() * 2.0f * kPi;
        const float theta = RandomUnit() * params.angleMax;
        const float speed = params.speedMin + static_cast<float>(KemRand()) * speedSpread;
        Store(v + 3 * i, basis.velocity(phi, theta, speed));
    });
}

template <class P>
void GeneratorInit(P& params, int32_t i, ParticleChannel** bindings, ParticleSystem* s, const ParticleModifier* m) {
    if (i == -1) {
        params.clock = 0.0f;
        params.emitted = 0;
        std::memset(params.offset, 0, sizeof(params.offset));
        return;
    }
    if (i != 1)
        return;
    ParticleChannel* counters = Binding(bindings, 1);
    uint32_t first, end;
    if (!counters || !m->range(s, first, end))
        return;
    uint32_t* c = counters->as<uint32_t>();
    for (uint32_t k = first; k < end; ++k)
        c[k] = params.counterStart;
}

}  // namespace

// ---- SprayGenerator -------------------------------------------------------------------

int32_t SprayGenerator::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_EMISSION}); }

void SprayGenerator::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    if (s->isStopping())
        return;
    ParticleChannel* velocity = Binding(bindings, 0);
    ParticleChannel* counters = Binding(bindings, 1);
    uint32_t first, end;
    if (!velocity || !counters || !range(s, first, end))
        return;
    SprayGeneratorParams& p = mParams;
    const Basis basis(Load(p.direction));
    const float dt = GetParticleFrameTime();
    p.clock += dt;
    const float wanted = p.rate * p.clock;
    const float lifeSpread = (p.lifeMax - p.lifeMin) / 32767.0f;
    const float speedSpread = Length(Load(s->getScale())) * (p.speedMax - p.speedMin) / 32767.0f;
    const float angleSpread = (p.angleMax - p.angleMin) / 32767.0f;
    const Vec3 origin = Placed(s, Scaled(s, Load(p.origin) + Load(p.offset)));
    float* v = velocity->vec3();
    EmissionWalk(pool, first, end, counters->as<uint32_t>(), wanted, p.emitted, p.maxEmissions,
                 [&](uint32_t i, Particle& q) {
                     BornParticle(q, p.lifeMin + static_cast<float>(KemRand()) * lifeSpread);
                     Store(q.position, origin);
                     const float phi = RandomUnit() * 2.0f * kPi;
                     const float theta = p.angleMin + static_cast<float>(KemRand()) * angleSpread;
                     const float speed = p.speedMin + static_cast<float>(KemRand()) * speedSpread;
                     Store(v + 3 * i, Rotated(s, basis.velocity(phi, theta, speed)));
                 });
}

void SprayGenerator::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    GeneratorInit(mParams, i, bindings, s, this);
}

void SprayGenerator::translate(const float vector[3]) { std::memcpy(mParams.offset, vector, sizeof(mParams.offset)); }

void* SprayGenerator::getField(int32_t i, int32_t* type) {
    if (i == 0) {
        if (type)
            *type = PFIELD_INT;
        return &mParams.rate;
    }
    if (i == 1) {
        if (type)
            *type = PFIELD_VECTOR;
        return mParams.origin;
    }
    if (type)
        *type = 0;
    return nullptr;
}

// ---- BoxGenerator / LineGenerator ---------------------------------------------------------

int32_t BoxGenerator::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_EMISSION}); }

void BoxGenerator::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    BoxGeneratorParams& p = mParams;
    const Vec3 lo = Scaled(s, Load(p.boxMin) + Load(p.offset));
    const Vec3 hi = Scaled(s, Load(p.boxMax) + Load(p.offset));
    BoxLikeUpdate(p, bindings, pool, s, this, [&]() {
        const float x = RandomIn(lo.x, hi.x);
        const float y = RandomIn(lo.y, hi.y);
        const float z = RandomIn(lo.z, hi.z);
        return V3(x, y, z);
    });
}

void BoxGenerator::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    GeneratorInit(mParams, i, bindings, s, this);
}

void BoxGenerator::translate(const float vector[3]) { std::memcpy(mParams.offset, vector, sizeof(mParams.offset)); }

void* BoxGenerator::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

int32_t LineGenerator::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_EMISSION}); }

void LineGenerator::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    LineGeneratorParams& p = mParams;
    const Vec3 a = Scaled(s, Load(p.pointA) + Load(p.offset));
    const Vec3 b = Scaled(s, Load(p.pointB) + Load(p.offset));
    BoxLikeUpdate(p, bindings, pool, s, this, [&]() { return a + (b - a) * RandomUnit(); });
}

void LineGenerator::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    GeneratorInit(mParams, i, bindings, s, this);
}

void LineGenerator::translate(const float vector[3]) { std::memcpy(mParams.offset, vector, sizeof(mParams.offset)); }

void* LineGenerator::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- movers -------------------------------------------------------------------------------

int32_t JustMoveModifier::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void JustMoveModifier::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const float dt = GetParticleFrameTime();
    const Vec3 scale = Load(s->getScale());
    const float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i)
        Store(pool[i].position, Load(pool[i].position) + Mul(Load(v + 3 * i) * dt, scale));
}

void JustMoveModifier::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

void* JustMoveModifier::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

int32_t OrientFromMotion::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_ANGLE, PCH_VELOCITY}); }

void OrientFromMotion::update(ParticleChannel** bindings, Particle*, ParticleSystem* s) {
    ParticleChannel* angle = Binding(bindings, 0);
    ParticleChannel* velocity = Binding(bindings, 1);
    uint32_t first, end;
    if (!angle || !velocity || !range(s, first, end))
        return;
    const Vec3 up = Load(gParticleMgr.GetCameraUp());
    const Vec3 right = Load(gParticleMgr.GetCameraRight());
    float* a = angle->as<float>();
    const float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        const Vec3 n = Normalise(Load(v + 3 * i));
        float cosine = Dot(up, n);
        cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
        float turn = std::acos(cosine);
        if (Dot(right, n) > 0.0f)
            turn = -turn;
        a[i] = mParams.angleOffset + turn;
    }
}

void OrientFromMotion::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        FillFloat(this, Binding(bindings, 0), s, mParams.angleOffset);
    else if (i == 1)
        DefaultVelocity(this, Binding(bindings, 1), s);
}

void* OrientFromMotion::getField(int32_t i, int32_t* type) {
    return OneField(&mParams.angleOffset, PFIELD_FLOAT, i, type);
}

int32_t MoveOverLife::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_VELOCITY_CURSOR}); }

void MoveOverLife::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    ParticleChannel* cursors = Binding(bindings, 1);
    uint32_t first, end;
    if (!velocity || !cursors || !range(s, first, end))
        return;
    const ParticleSystemAnimation* anim = Animation(s);
    const float dt = GetParticleFrameTime();
    const float* v = velocity->vec3();
    TrackCursor* c = cursors->as<TrackCursor>();
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        if (!IsParticleAlive(p))
            continue;
        StepCursor(anim, TRACK_FLOAT, p, c[i]);
        Store(p.position, Load(p.position) + Load(v + 3 * i) * (dt * c[i].value[0]));
    }
}

void MoveOverLife::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
    else if (i == 1)
        InitCursors(this, Binding(bindings, 1), s, &mParams.start, 1);
}

void* MoveOverLife::getField(int32_t i, int32_t* type) {
    return OneField(&mParams.start, PFIELD_ANIMATED | PFIELD_FLOAT, i, type);
}

// ---- over life --------------------------------------------------------------------------------

int32_t FloatOverLife::getChannelId(int32_t i) const { return i == 0 ? mCursorChannel : -1; }

void FloatOverLife::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* cursors = Binding(bindings, 0);
    // The sprite channel belongs to whichever modifier bound it (the drawer).
    ParticleChannel* target = s->findChannel(mTargetChannel);
    uint32_t first, end;
    if (!cursors || !target || !range(s, first, end))
        return;
    const ParticleSystemAnimation* anim = Animation(s);
    TrackCursor* c = cursors->as<TrackCursor>();
    float* out = target->as<float>();
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        if (!IsParticleAlive(p))
            continue;
        StepCursor(anim, TRACK_FLOAT, p, c[i]);
        if (mAccumulate)
            out[i] += c[i].value[0];
        else
            out[i] = c[i].value[0];
    }
}

void FloatOverLife::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        InitCursors(this, Binding(bindings, 0), s, &mParams.start, 1);
}

void* FloatOverLife::getField(int32_t i, int32_t* type) {
    return OneField(&mParams.start, PFIELD_ANIMATED | PFIELD_FLOAT, i, type);
}

int32_t ColorOverLife::getChannelId(int32_t i) const { return i == 0 ? PCH_COLOUR_CURSOR : -1; }

void ColorOverLife::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* cursors = Binding(bindings, 0);
    ParticleChannel* target = s->findChannel(PCH_COLOUR);
    uint32_t first, end;
    if (!cursors || !target || !range(s, first, end))
        return;
    const ParticleSystemAnimation* anim = Animation(s);
    TrackCursor* c = cursors->as<TrackCursor>();
    float* out = target->vec3();
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        if (!IsParticleAlive(p))
            continue;
        StepCursor(anim, TRACK_VECTOR, p, c[i]);
        Store(out + 3 * i, Load(c[i].value));
    }
}

void ColorOverLife::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        InitCursors(this, Binding(bindings, 0), s, mParams.start, 3);
}

void* ColorOverLife::getField(int32_t i, int32_t* type) {
    return OneField(mParams.start, PFIELD_ANIMATED | PFIELD_VECTOR, i, type);
}

// ---- bounding boxes ----------------------------------------------------------------------------

int32_t BBoxBounce::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void BBoxBounce::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        for (int c = 0; c < 3; ++c) {
            const float lo = mParams.boxMin[c] + mParams.offset[c];
            const float hi = mParams.boxMax[c] + mParams.offset[c];
            float& position = pool[i].position[c];
            if (position < lo) {
                v[3 * i + c] = -v[3 * i + c];
                position = lo;
            } else if (position > hi) {
                v[3 * i + c] = -v[3 * i + c];
                position = hi;
            }
        }
    }
}

void BBoxBounce::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i != 0)
        return;
    std::memset(mParams.offset, 0, sizeof(mParams.offset));
    DefaultVelocity(this, Binding(bindings, 0), s);
}

void BBoxBounce::translate(const float vector[3]) { std::memcpy(mParams.offset, vector, sizeof(mParams.offset)); }

void* BBoxBounce::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

void BBoxKill::update(ParticleChannel**, Particle* pool, ParticleSystem* s) {
    uint32_t first, end;
    if (!range(s, first, end))
        return;
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        bool clamped = false;
        for (int c = 0; c < 3; ++c) {
            const float lo = mParams.boxMin[c] + mParams.offset[c];
            const float hi = mParams.boxMax[c] + mParams.offset[c];
            if (p.position[c] < lo) {
                p.position[c] = lo;
                clamped = true;
            } else if (p.position[c] > hi) {
                p.position[c] = hi;
                clamped = true;
            }
        }
        if (clamped) {
            p.life = 0.0f;
            p.elapsed = 0.0f;
        }
    }
}

void BBoxKill::initParticles(int32_t i, ParticleChannel**, ParticleSystem*) {
    if (i == -1)
        std::memset(mParams.offset, 0, sizeof(mParams.offset));
}

void BBoxKill::translate(const float vector[3]) { std::memcpy(mParams.offset, vector, sizeof(mParams.offset)); }

void* BBoxKill::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- forces ------------------------------------------------------------------------------------

int32_t PhysicModifier::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_GRAVITY}); }

void PhysicModifier::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    ParticleChannel* gravity = Binding(bindings, 1);
    uint32_t first, end;
    if (!velocity || !gravity || !range(s, first, end))
        return;
    const float dt = GetParticleFrameTime();
    const float k = 1.0f / (1.0f + mParams.drag * dt);
    float* v = velocity->vec3();
    const float* g = gravity->as<float>();
    for (uint32_t i = first; i < end; ++i) {
        float* vi = v + 3 * i;
        vi[0] *= k;
        vi[1] *= k;
        vi[2] = (vi[2] - dt * g[i]) * k;
        Store(pool[i].position, Load(pool[i].position) + Load(vi) * dt);
    }
}

void PhysicModifier::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0) {
        DefaultVelocity(this, Binding(bindings, 0), s);
    } else if (i == 1) {
        ParticleChannel* gravity = Binding(bindings, 1);
        uint32_t first, end;
        if (!gravity || !range(s, first, end))
            return;
        float* g = gravity->as<float>();
        for (uint32_t k = first; k < end; ++k)
            g[k] = RandomIn(mParams.gravityMin, mParams.gravityMax);
    }
}

void* PhysicModifier::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

int32_t GroundModifier::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void GroundModifier::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    float* v = velocity->vec3();
    const float ground = mParams.height + mParams.offset;
    for (uint32_t i = first; i < end; ++i) {
        if (pool[i].position[2] < ground) {
            pool[i].position[2] = mParams.height;
            v[3 * i + 2] = -mParams.restitution * v[3 * i + 2];
        }
    }
}

void GroundModifier::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == -1)
        mParams.offset = 0.0f;
    else if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

// The ground moves with the vertical component (the third).
void GroundModifier::translate(const float vector[3]) { mParams.offset = vector[2]; }

void* GroundModifier::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

int32_t RandomDir::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void RandomDir::update(ParticleChannel** bindings, Particle*, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const float step = 2.0f * mParams.amplitude * GetParticleFrameTime();
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        if (!(mParams.chance > RandomUnit() * 100.0f))
            continue;
        for (int c = 0; c < 3; ++c)
            v[3 * i + c] += (RandomUnit() - 0.5f) * step;
    }
}

void RandomDir::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

void* RandomDir::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- Flock -----------------------------------------------------------------------------------

int32_t Flock::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_NEIGHBOUR, PCH_VELOCITY}); }

void Flock::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* neighbours = Binding(bindings, 0);
    ParticleChannel* velocity = Binding(bindings, 1);
    uint32_t first, end;
    const uint32_t groupSize = mParams.groupSize;
    if (!neighbours || !velocity || groupSize == 0 || mParams.maxGroups == 0 || !range(s, first, end))
        return;
    const uint32_t count = s->getParticleCount();
    const float dt = GetParticleFrameTime();
    const float radius2 = mParams.repulsionRadius * mParams.repulsionRadius;
    int32_t* n = neighbours->as<int32_t>();
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        if (n[i] < 0 || static_cast<uint32_t>(n[i]) >= count)
            continue;
        Particle& p = pool[i];
        p.flags |= PARTICLE_BORN;
        p.life = 100.0f;
        p.elapsed = 0.0f;
        const Vec3 p0 = Load(p.position);
        Vec3 position = p0 + (Load(pool[n[i]].position) - p0) * (mParams.attraction * dt);
        uint32_t g = i / groupSize;
        g = g < 1 ? 1 : (g > mParams.maxGroups ? mParams.maxGroups : g);
        for (int k = 0; k < 3; ++k) {
            const int64_t j = static_cast<int64_t>(i) -
                              (static_cast<int64_t>(static_cast<uint32_t>(KemRand()) % g) + 1) * groupSize;
            if (j <= 0)
                continue;
            const Vec3 other = Load(pool[j].position);
            const Vec3 d = other - position;
            if (Dot(d, d) < radius2)
                position = position - d * dt;
            if (mParams.switchChance > RandomUnit() * 100.0f)
                n[i] = static_cast<int32_t>(j);
        }
        const Vec3 vi = Load(v + 3 * i) * 0.75f + (position - p0) * 0.25f;
        Store(v + 3 * i, vi);
        Store(p.position, p0 + vi * dt);
    }
}

void Flock::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 1) {
        DefaultVelocity(this, Binding(bindings, 1), s);
        return;
    }
    ParticleChannel* neighbours = Binding(bindings, 0);
    if (i != 0 || !neighbours)
        return;
    // The whole channel: every particle follows one of an earlier group.
    const uint32_t count = s->getParticleCount();
    const uint32_t groupSize = mParams.groupSize;
    int32_t* n = neighbours->as<int32_t>();
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t g = groupSize ? k / groupSize : 0;
        if (g > mParams.maxGroups)
            g = mParams.maxGroups;
        if (groupSize == 0 || k < groupSize || g == 0) {
            n[k] = -1;
            continue;
        }
        const int64_t j = static_cast<int64_t>(k) -
                          (static_cast<int64_t>(static_cast<uint32_t>(KemRand()) % g) + 1) * groupSize;
        n[k] = j >= 0 ? static_cast<int32_t>(j) : -1;
    }
}

void* Flock::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- Magnet ----------------------------------------------------------------------------------

int32_t Magnet::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void Magnet::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const Vec3 centre = Load(mParams.centre);
    const float radius = mParams.radius;
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        const Vec3 d = Load(pool[i].position) - centre;
        const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
        if (!(ax < radius && ay < radius && az < radius))
            continue;
        const float k = mParams.strength * 0.1f / ((ax + ay + az) * 0.333f / radius + 1.0f);
        Store(v + 3 * i, Load(v + 3 * i) - d * k);
    }
}

void Magnet::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

void Magnet::translate(const float vector[3]) { Store(mParams.centre, Load(mParams.centre) + Load(vector)); }

void* Magnet::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- Fire ------------------------------------------------------------------------------------

int32_t Fire::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY, PCH_SIZE}); }

void Fire::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    ParticleChannel* sizes = Binding(bindings, 1);
    uint32_t first, end;
    if (!velocity || !sizes || !range(s, first, end))
        return;
    const uint32_t n = end - first;
    const float rate = mParams.rate;
    const float whole = std::trunc(rate);
    // A rate below 1 has no number of tries; the loader refuses such blocks.
    const uint32_t tries = (whole >= 1.0f && whole <= static_cast<float>(n)) ? n / static_cast<uint32_t>(whole) : 0;
    const float dt = GetParticleFrameTime();
    const float pull = dt * rate;
    const float base = mParams.baseSize;
    float* size = sizes->as<float>();
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        const bool alive = IsParticleAlive(p);
        if (size[i] <= 0.0f && alive) {
            size[i] = base;
        } else {
            const float left = p.life - p.elapsed;
            if (left > 1.0f) {
                size[i] *= 1.0f - dt;
            } else if (left > 0.0f) {
                size[i] *= 1.0f + 1.5f * dt;
                if (size[i] > 2.0f * base)
                    size[i] = 2.0f * base;
            }
        }
        if (!alive || tries == 0)
            continue;
        int64_t partner = -1;
        float best = 0.0f;
        for (uint32_t t = 0; t < tries; ++t) {
            const uint32_t j = first + static_cast<uint32_t>(KemRand()) % n;
            // A particle does not merge with itself.
            if (j == i || !IsParticleAlive(pool[j]) || !(size[j] > 0.0f))
                continue;
            const Vec3 d = Load(pool[j].position) - Load(p.position);
            const float d2 = Dot(d, d);
            if (partner < 0 || d2 < best) {
                partner = j;
                best = d2;
            }
        }
        if (partner < 0)
            continue;
        Particle& q = pool[partner];
        if (best < mParams.mergeDistance && rate > RandomUnit() * 100.0f) {
            const bool iAbsorbs = RandomUnit() > 0.5f;
            const uint32_t absorber = iAbsorbs ? i : static_cast<uint32_t>(partner);
            const uint32_t absorbed = iAbsorbs ? static_cast<uint32_t>(partner) : i;
            float merged = std::sqrt(size[i] * size[i] + size[partner] * size[partner]);
            if (merged > 2.0f * base)
                merged = 2.0f * base;
            const Vec3 middle = (Load(p.position) + Load(q.position)) * 0.5f;
            size[absorber] = merged;
            Store(pool[absorber].position, middle);
            size[absorbed] = 0.0f;
            pool[absorbed].life = 0.0f;
            pool[absorbed].elapsed = 0.0f;
        } else {
            v[3 * i] += (q.position[0] - p.position[0]) * pull;
            v[3 * i + 1] += (q.position[1] - p.position[1]) * pull;
        }
    }
}

void Fire::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
    else if (i == 1)
        FillFloat(this, Binding(bindings, 1), s, mParams.baseSize);
}

// ---- CollisionKill -----------------------------------------------------------------------------

int32_t CollisionKill::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_PREVIOUS}); }

void CollisionKill::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* previous = Binding(bindings, 0);
    if (!previous)
        return;
    if (mParams.counter == -1) {
        uint32_t first, end;
        if (range(s, first, end)) {
            float* out = previous->vec3();
            for (uint32_t i = first; i < end; ++i)
                Store(out + 3 * i, Load(pool[i].position));
        }
        mParams.counter = 0;
        return;
    }
    mParams.counter = mParams.period > 0 ? static_cast<int32_t>((static_cast<int64_t>(mParams.counter) + 1) % mParams.period) : 0;
}

void CollisionKill::initParticles(int32_t i, ParticleChannel**, ParticleSystem*) {
    if (i == 0)
        mParams.counter = -1;
}

void* CollisionKill::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- turning -------------------------------------------------------------------------------------

int32_t Turn::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void Turn::update(ParticleChannel** bindings, Particle*, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const double k = static_cast<double>(mParams.rate) * GetParticleFrameTime();
    // A later frame time may still cancel the rate: skip that frame; one
    // next to it is bounded by the store.
    if (!std::isfinite(k) || 1.0 + k == 0.0)
        return;
    const double scale = 1.0 / (1.0 + k);
    const Vec3 axis = Load(mParams.axis);
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        const Vec3 vi = Load(v + 3 * i);
        const Vec3 c = Cross(vi, axis);
        StoreBoundedVelocity(v + 3 * i, (vi.x + c.x * k) * scale, (vi.y + c.y * k) * scale, (vi.z + c.z * k) * scale);
    }
}

void Turn::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

void* Turn::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

int32_t IncrementalSpin::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_ANGLE}); }

void IncrementalSpin::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* angle = Binding(bindings, 0);
    uint32_t first, end;
    if (!angle || !range(s, first, end))
        return;
    float* a = angle->as<float>();
    for (uint32_t i = first; i < end; ++i)
        if (IsParticleAlive(pool[i]))
            a[i] += mParams.step;
}

void IncrementalSpin::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        FillFloat(this, Binding(bindings, 0), s, mParams.step);
}

int32_t GlobalTurn::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void GlobalTurn::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (mParams.step == 0.0f || !velocity || !range(s, first, end))
        return;
    // Rotation by the step about the camera's direction axis (Rodrigues).
    const Vec3 k = Normalise(Load(gParticleMgr.GetCameraDirection()));
    const float c = std::cos(mParams.step);
    const float sn = std::sin(mParams.step);
    auto rotate = [&](const Vec3& x) { return x * c + Cross(k, x) * sn + k * (Dot(k, x) * (1.0f - c)); };
    const Vec3 centre = Load(mParams.centre);
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        Particle& p = pool[i];
        if (!IsParticleAlive(p))
            continue;
        Store(p.position, rotate(Load(p.position) - centre) + centre);
        Store(v + 3 * i, rotate(Load(v + 3 * i)));
    }
}

void GlobalTurn::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i != 0)
        return;
    std::memset(mParams.centre, 0, sizeof(mParams.centre));
    DefaultVelocity(this, Binding(bindings, 0), s);
}

void GlobalTurn::translate(const float vector[3]) { std::memcpy(mParams.centre, vector, sizeof(mParams.centre)); }

// ---- Stretch -------------------------------------------------------------------------------------

int32_t Stretch::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_SIZE}); }

void Stretch::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* sizes = Binding(bindings, 0);
    uint32_t first, end;
    if (!sizes || !range(s, first, end))
        return;
    const StretchParams& p = mParams;
    float* size = sizes->as<float>();
    for (uint32_t i = first; i < end; ++i) {
        const float left = pool[i].life - pool[i].elapsed;
        if (left >= p.thresholdA)
            size[i] = p.sizeFar;
        else if (left >= p.thresholdB)
            size[i] = p.sizeFar + (p.sizeAtB - p.sizeFar) * (left - p.thresholdA) / (p.thresholdB - p.thresholdA);
        else if (p.thresholdB > 0.0f)
            size[i] = p.sizeAtDeath + (p.sizeAtB - p.sizeAtDeath) * left / p.thresholdB;
        else
            size[i] = p.sizeAtDeath;
    }
}

void Stretch::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        FillFloat(this, Binding(bindings, 0), s, mParams.sizeFar);
}

void* Stretch::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- SprayOnKill ---------------------------------------------------------------------------------

int32_t SprayOnKill::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void SprayOnKill::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const SprayOnKillParams& p = mParams;
    const uint32_t count = s->getParticleCount();
    const uint32_t targetFirst = p.targetFirst;
    const uint32_t targetEnd = p.targetEnd < count ? p.targetEnd : count;
    const float dt = GetParticleFrameTime();
    const Basis basis(Load(p.direction));
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        Particle& dying = pool[i];
        const float left = dying.life - dying.elapsed;
        if (!(left > 0.0f) || !(dying.life - (dying.elapsed + dt) < 0.0f))
            continue;
        dying.life = 0.0f;
        dying.elapsed = 0.0f;
        const Vec3 at = Load(dying.position);
        uint32_t made = 0;
        for (uint32_t j = targetFirst; j < targetEnd && made < p.perDeath; ++j) {
            Particle& spark = pool[j];
            if (IsParticleAlive(spark))
                continue;
            BornParticle(spark, RandomIn(p.lifeMin, p.lifeMax));
            Store(spark.position, at);
            const float phi = RandomUnit() * 2.0f * kPi;
            const float theta = RandomUnit() * p.angleMax;
            const float speed = RandomIn(p.speedMin, p.speedMax);
            Store(v + 3 * j, basis.velocity(phi, theta, speed));
            ++made;
        }
    }
}

void* SprayOnKill::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- NotTooFar -----------------------------------------------------------------------------------

int32_t NotTooFar::getChannelId(int32_t i) const { return ChannelOf(i, {PCH_VELOCITY}); }

void NotTooFar::update(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* velocity = Binding(bindings, 0);
    uint32_t first, end;
    if (!velocity || !range(s, first, end))
        return;
    const double dt = GetParticleFrameTime();
    // In double: the square of a tiny distance is 0 in float.
    const double distance = mParams.distance;
    const double k = dt / (distance * distance);
    if (!std::isfinite(k))
        return;
    const Vec3 centre = Load(mParams.centre);
    float* v = velocity->vec3();
    for (uint32_t i = first; i < end; ++i) {
        const Vec3 d = centre - Load(pool[i].position);
        const double pull = (static_cast<double>(d.x) * d.x + static_cast<double>(d.y) * d.y +
                             static_cast<double>(d.z) * d.z) * k;
        const Vec3 vi = Load(v + 3 * i);
        StoreBoundedVelocity(v + 3 * i, (vi.x + d.x * pull) * (1.0 - dt), (vi.y + d.y * pull) * (1.0 - dt),
                             (vi.z + d.z * pull) * (1.0 - dt));
    }
}

void NotTooFar::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    if (i == 0)
        DefaultVelocity(this, Binding(bindings, 0), s);
}

void NotTooFar::translate(const float vector[3]) { Store(mParams.centre, Load(mParams.centre) + Load(vector)); }

void* NotTooFar::getField(int32_t i, int32_t* type) { return HeaderField(mParams.h, i, type); }

// ---- StandardDraw ----------------------------------------------------------------------------------

int32_t StandardDraw::getChannelId(int32_t i) const {
    return ChannelOf(i, {PCH_SIZE, PCH_ALPHA, PCH_COLOUR, PCH_ANGLE});
}

void StandardDraw::initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* s) {
    switch (i) {
    case 0: FillFloat(this, Binding(bindings, 0), s, mParams.startSize); break;
    case 1: FillFloat(this, Binding(bindings, 1), s, mParams.startAlpha); break;
    case 2: {
        ParticleChannel* colour = Binding(bindings, 2);
        uint32_t first, end;
        if (!colour || !range(s, first, end))
            return;
        float* c = colour->vec3();
        for (uint32_t k = first; k < end; ++k)
            Store(c + 3 * k, Load(mParams.startColour));
        break;
    }
    case 3: FillFloat(this, Binding(bindings, 3), s, mParams.startAngle); break;
    default: break;
    }
}

void StandardDraw::draw(ParticleChannel** bindings, Particle* pool, ParticleSystem* s) {
    ParticleChannel* sizes = Binding(bindings, 0);
    ParticleChannel* alphas = Binding(bindings, 1);
    ParticleChannel* colours = Binding(bindings, 2);
    ParticleChannel* angles = Binding(bindings, 3);
    uint32_t first, end;
    if (!sizes || !alphas || !colours || !angles || !range(s, first, end))
        return;
    const StandardDrawParams& p = mParams;
    const float* size = sizes->as<float>();
    const float* alpha = alphas->as<float>();
    const float* colour = colours->vec3();
    const float* angle = angles->as<float>();
    const float (*cam)[4] = gParticleMgr.GetCameraMatrix();
    const Vec3 right = V3(cam[0][0], cam[1][0], cam[2][0]);
    const Vec3 up = V3(cam[0][1], cam[1][1], cam[2][1]);
    const float* scale = s->getScale();
    Ogre::TexturePtr texture;
    if (p.textureSlot < CParticleMgr::TEXTURE_SLOTS)
        texture = gParticleMgr.GetTexture(p.textureSlot);

    // Texture animation: frames laid out in rows of `columns`.
    const bool animated = p.animated != 0 && p.columns != 0 && p.rows != 0;
    const uint64_t frames = animated ? static_cast<uint64_t>(p.columns) * p.rows : 1;
    const float frameW = animated ? 1.0f / static_cast<float>(p.columns) : 1.0f;
    const float frameH = animated ? 1.0f / static_cast<float>(p.rows) : 1.0f;
    // Stored files give the rate a sign; the animation always runs forward.
    const float frameRate = std::fabs(p.frameRate);

    static const float kCorners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (uint32_t chunk = first; chunk < end; chunk += kMaxQuadsPerBatch) {
        const uint32_t chunkEnd = end - chunk > kMaxQuadsPerBatch ? chunk + kMaxQuadsPerBatch : end;
        PRI::ParticleBatch* batch = new PRI::ParticleBatch;
        batch->sourceBlend = 7;
        batch->destBlend = p.additive ? 0 : 9;
        batch->texture = texture;
        batch->vertices.reserve(4 * (chunkEnd - chunk));
        batch->indices.reserve(6 * (chunkEnd - chunk));
        batch->vertexCapacity = static_cast<int32_t>(4 * (chunkEnd - chunk));
        batch->indexCapacity = static_cast<int32_t>(6 * (chunkEnd - chunk));
        for (uint32_t i = chunk; i < chunkEnd; ++i) {
            const Particle& q = pool[i];
            if (!IsParticleAlive(q))
                continue;
            const uint32_t packed = PRI::PackColour(alpha[i], colour[3 * i], colour[3 * i + 1], colour[3 * i + 2]);

            float u0 = 0.0f, v0 = 0.0f;
            if (animated && q.elapsed > p.startTime) {
                int64_t frame = TruncToInt((q.elapsed - p.startTime) * frameRate);
                if (frame < 0)
                    frame = 0;
                if (static_cast<uint64_t>(frame) >= frames)
                    frame = p.loop ? static_cast<int64_t>(static_cast<uint64_t>(frame) % frames)
                                   : static_cast<int64_t>(frames - 1);
                u0 = static_cast<float>(static_cast<uint64_t>(frame) % p.columns) * frameW;
                v0 = static_cast<float>(static_cast<uint64_t>(frame) / p.columns) * frameH;
            }

            const float sx = size[i] * scale[0];
            const float sy = size[i] * scale[1];
            const float c = angle[i] != 0.0f ? std::cos(angle[i]) : 1.0f;
            const float sn = angle[i] != 0.0f ? std::sin(angle[i]) : 0.0f;
            // The particle engine's vertical third coordinate is the scene's second.
            const Vec3 at = V3(q.position[0], q.position[2], q.position[1]);
            const uint16_t base = static_cast<uint16_t>(batch->vertices.size());
            for (const auto& corner : kCorners) {
                const float x = corner[0] - p.pivot[0];
                const float y = corner[1] - p.pivot[1];
                const float rx = (x * c - y * sn) * sx;
                const float ry = (x * sn + y * c) * sy;
                PRI::ParticleVertex vertex;
                Store(vertex.position, right * rx + up * ry + at);
                vertex.uv[0] = u0 + corner[0] * frameW;
                vertex.uv[1] = v0 + corner[1] * frameH;
                vertex.colour = packed;
                batch->vertices.push_back(vertex);
            }
            const uint16_t quad[6] = {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                      static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 1),
                                      static_cast<uint16_t>(base + 3)};
            batch->indices.insert(batch->indices.end(), quad, quad + 6);
        }
        batch->vertexCount = static_cast<int32_t>(batch->vertices.size());
        batch->indexCount = static_cast<int32_t>(batch->indices.size());
        if (batch->vertexCount == 0)
            delete batch;
        else
            PRI::queueBatch(batch);
    }
}

// ---- load-time checks -------------------------------------------------------------------------------

bool IsUsableParticleModifier(ParticleModifier* modifier, const ParticleSystem* system, const char** why) {
    const char* reason = nullptr;
    if (Flock* flock = dynamic_cast<Flock*>(modifier)) {
        const FlockParams& p = flock->params();
        if (p.groupSize == 0)
            reason = "a flock with a group size of 0";
        else if (p.maxGroups == 0 && system && system->getParticleCount() > p.groupSize)
            reason = "a flock with no group beyond the first";
    } else if (Fire* fire = dynamic_cast<Fire*>(modifier)) {
        if (!(fire->params().rate >= 1.0f))
            reason = "a fire rate below 1";
    } else if (NotTooFar* pull = dynamic_cast<NotTooFar*>(modifier)) {
        // The update divides by the square, which is 0 in float well before
        // the distance is.
        const float distance = pull->params().distance;
        if (!std::isfinite(distance) || distance * distance == 0.0f)
            reason = "a not-too-far distance of 0";
    } else if (Turn* turn = dynamic_cast<Turn*>(modifier)) {
        if (!std::isfinite(turn->params().rate) || 1.0f + turn->params().rate * GetParticleFrameTime() == 0.0f)
            reason = "a turn rate of -1 per frame";
    }
    if (why)
        *why = reason;
    return reason == nullptr;
}
