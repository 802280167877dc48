// The 26 modifier kinds and their parameter blocks, word for word as the
// particle files store them. Run-time words (clocks, counts, offsets) live in
// the block too and are reset with the system.
#pragma once

#include "ParticleModifier.h"

// ---- parameter blocks ---------------------------------------------------------

struct SprayGeneratorParams {
    ParticleParamsHeader h;
    float origin[3];
    float direction[3];
    float angleMin, angleMax;   // cone, radians from the direction
    float speedMin, speedMax;
    float lifeMin, lifeMax;     // seconds
    uint32_t counterStart;      // emission counter of each record at reset
    float rate;                 // particles per second
    uint32_t maxEmissions;      // 0: no limit
    float clock;                // run-time
    uint32_t emitted;           // run-time
    float offset[3];            // run-time, set by translate
};

struct BoxGeneratorParams {
    ParticleParamsHeader h;
    float boxMin[3];
    float boxMax[3];
    float direction[3];
    float angleMax;
    float speedMin, speedMax;
    float lifeMin, lifeMax;
    uint32_t counterStart;
    float rate;
    float clock;
    uint32_t emitted;
    float offset[3];
};

struct LineGeneratorParams {
    ParticleParamsHeader h;
    float pointA[3];
    float pointB[3];
    float direction[3];
    float angleMax;
    float speedMin, speedMax;
    float lifeMin, lifeMax;
    uint32_t counterStart;
    float rate;
    float clock;
    uint32_t emitted;
    float offset[3];
};

struct JustMoveParams {
    ParticleParamsHeader h;
};

struct OrientFromMotionParams {
    ParticleParamsHeader h;
    float angleOffset;
};

struct OverLifeParams {   // MoveOverLife, SizeOverLife, FadeOverLife, SpinOverLife
    ParticleParamsHeader h;
    float start;
};

struct ColorOverLifeParams {
    ParticleParamsHeader h;
    float start[3];
};

struct BBoxBounceParams {
    ParticleParamsHeader h;
    float boxMin[3];
    float boxMax[3];
    uint32_t unused;
    float offset[3];
};

struct BBoxKillParams {
    ParticleParamsHeader h;
    float boxMin[3];
    float boxMax[3];
    float offset[3];
};

struct PhysicParams {
    ParticleParamsHeader h;
    float gravityMin, gravityMax;
    float drag;
};

struct GroundParams {
    ParticleParamsHeader h;
    float restitution;
    float height;
    float offset;   // run-time
};

struct RandomDirParams {
    ParticleParamsHeader h;
    float chance;   // percent per update
    float amplitude;
};

struct FlockParams {
    ParticleParamsHeader h;
    uint32_t groupSize;
    float attraction;
    float repulsionRadius;
    uint32_t maxGroups;
    float switchChance;   // percent
};

struct MagnetParams {
    ParticleParamsHeader h;
    float centre[3];
    float radius;
    float strength;
};

struct FireParams {
    ParticleParamsHeader h;
    float mergeDistance;   // squared
    float rate;
    uint32_t unused;
    float baseSize;
};

struct CollisionKillParams {
    ParticleParamsHeader h;
    int32_t period;
    int32_t counter;   // run-time
};

struct TurnParams {
    ParticleParamsHeader h;
    float axis[3];
    float rate;
};

struct IncrementalSpinParams {
    ParticleParamsHeader h;
    float step;   // radians per update
};

struct GlobalTurnParams {
    ParticleParamsHeader h;
    float step;   // radians per update
    float centre[3];
};

struct StretchParams {
    ParticleParamsHeader h;
    float sizeFar;      // life left >= threshold A
    float sizeAtB;
    float sizeAtDeath;
    float thresholdA;   // seconds of life left, A > B
    float thresholdB;
};

struct SprayOnKillParams {
    ParticleParamsHeader h;
    float direction[3];
    float angleMax;
    float speedMin, speedMax;
    float lifeMin, lifeMax;
    uint32_t perDeath;
    uint32_t targetFirst, targetEnd;
};

struct NotTooFarParams {
    ParticleParamsHeader h;
    float centre[3];
    float distance;
};

struct StandardDrawParams {
    ParticleParamsHeader h;
    uint32_t textureSlot;   // below 256: a slot of the particle manager's bank
    uint32_t additive;
    uint32_t animated;
    uint32_t columns, rows;
    uint32_t loop;
    float frameRate;
    float startTime;
    float pivot[2];
    float startAlpha;
    float startSize;
    float startColour[3];
    float startAngle;
};

// The block sizes the particle files are written with.
static_assert(sizeof(SprayGeneratorParams) == 92, "SprayGenerator block");
static_assert(sizeof(BoxGeneratorParams) == 96, "BoxGenerator block");
static_assert(sizeof(LineGeneratorParams) == 96, "LineGenerator block");
static_assert(sizeof(JustMoveParams) == 12, "JustMove block");
static_assert(sizeof(OrientFromMotionParams) == 16, "OrientFromMotion block");
static_assert(sizeof(OverLifeParams) == 16, "over-life block");
static_assert(sizeof(ColorOverLifeParams) == 24, "ColorOverLife block");
static_assert(sizeof(BBoxBounceParams) == 52, "BBoxBounce block");
static_assert(sizeof(BBoxKillParams) == 48, "BBoxKill block");
static_assert(sizeof(PhysicParams) == 24, "Physic block");
static_assert(sizeof(GroundParams) == 24, "Ground block");
static_assert(sizeof(RandomDirParams) == 20, "RandomDir block");
static_assert(sizeof(FlockParams) == 32, "Flock block");
static_assert(sizeof(MagnetParams) == 32, "Magnet block");
static_assert(sizeof(FireParams) == 28, "Fire block");
static_assert(sizeof(CollisionKillParams) == 20, "CollisionKill block");
static_assert(sizeof(TurnParams) == 28, "Turn block");
static_assert(sizeof(IncrementalSpinParams) == 16, "IncrementalSpin block");
static_assert(sizeof(GlobalTurnParams) == 28, "GlobalTurn block");
static_assert(sizeof(StretchParams) == 32, "Stretch block");
static_assert(sizeof(SprayOnKillParams) == 56, "SprayOnKill block");
static_assert(sizeof(NotTooFarParams) == 28, "NotTooFar block");
static_assert(sizeof(StandardDrawParams) == 76, "StandardDraw block");

// ---- kinds ----------------------------------------------------------------------

class SprayGenerator : public ParticleModifierOf<SprayGeneratorParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 2; }
    void* getField(int32_t i, int32_t* type) override;
};

class BoxGenerator : public ParticleModifierOf<BoxGeneratorParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class LineGenerator : public ParticleModifierOf<LineGeneratorParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class JustMoveModifier : public ParticleModifierOf<JustMoveParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class OrientFromMotion : public ParticleModifierOf<OrientFromMotionParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 1; }
    void* getField(int32_t i, int32_t* type) override;
};

class MoveOverLife : public ParticleModifierOf<OverLifeParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 1; }
    void* getField(int32_t i, int32_t* type) override;
};

// Size, fade and spin over life: one float track written into a sprite
// channel (spin adds it).
class FloatOverLife : public ParticleModifierOf<OverLifeParams> {
public:
    FloatOverLife(int32_t cursorChannel, int32_t targetChannel, bool accumulate)
        : mCursorChannel(cursorChannel), mTargetChannel(targetChannel), mAccumulate(accumulate) {}
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 1; }
    void* getField(int32_t i, int32_t* type) override;

private:
    int32_t mCursorChannel;
    int32_t mTargetChannel;
    bool mAccumulate;
};

class SizeOverLife : public FloatOverLife {
public:
    SizeOverLife() : FloatOverLife(PCH_SIZE_CURSOR, PCH_SIZE, false) {}
};

class FadeOverLife : public FloatOverLife {
public:
    FadeOverLife() : FloatOverLife(PCH_ALPHA_CURSOR, PCH_ALPHA, false) {}
};

class SpinOverLife : public FloatOverLife {
public:
    SpinOverLife() : FloatOverLife(PCH_ANGLE_CURSOR, PCH_ANGLE, true) {}
};

class ColorOverLife : public ParticleModifierOf<ColorOverLifeParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 1; }
    void* getField(int32_t i, int32_t* type) override;
};

class BBoxBounce : public ParticleModifierOf<BBoxBounceParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class BBoxKill : public ParticleModifierOf<BBoxKillParams> {
public:
    int32_t getChannelCount() const override { return 0; }
    int32_t getChannelId(int32_t) const override { return -1; }
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class PhysicModifier : public ParticleModifierOf<PhysicParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class GroundModifier : public ParticleModifierOf<GroundParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class RandomDir : public ParticleModifierOf<RandomDirParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class Flock : public ParticleModifierOf<FlockParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class Magnet : public ParticleModifierOf<MagnetParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class Fire : public ParticleModifierOf<FireParams> {
public:
    int32_t getChannelCount() const override { return 2; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
};

class CollisionKill : public ParticleModifierOf<CollisionKillParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class Turn : public ParticleModifierOf<TurnParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class IncrementalSpin : public ParticleModifierOf<IncrementalSpinParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
};

class GlobalTurn : public ParticleModifierOf<GlobalTurnParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
};

class Stretch : public ParticleModifierOf<StretchParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class SprayOnKill : public ParticleModifierOf<SprayOnKillParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t, ParticleChannel**, ParticleSystem*) override {}
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

class NotTooFar : public ParticleModifierOf<NotTooFarParams> {
public:
    int32_t getChannelCount() const override { return 1; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
    void translate(const float vector[3]) override;
    int32_t getFieldCount() const override { return 3; }
    void* getField(int32_t i, int32_t* type) override;
};

// Turns its particles into camera-facing quads for the renderer.
class StandardDraw : public ParticleModifierOf<StandardDrawParams> {
public:
    int32_t getChannelCount() const override { return 4; }
    int32_t getChannelId(int32_t i) const override;
    void update(ParticleChannel**, Particle*, ParticleSystem*) override {}
    void draw(ParticleChannel** bindings, Particle* pool, ParticleSystem* system) override;
    void initParticles(int32_t i, ParticleChannel** bindings, ParticleSystem* system) override;
};

// Checks a parameter block that a kind cannot run with in `system` (a flock
// with a group size of 0, or no group beyond the first while the pool has
// more particles; a fire rate below 1; a not-too-far distance of 0; a turn
// rate that cancels the frame time). False, with the reason in `why`, for
// a block to refuse.
bool IsUsableParticleModifier(ParticleModifier* modifier, const ParticleSystem* system, const char** why);
