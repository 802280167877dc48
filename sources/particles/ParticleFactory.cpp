// The modifier factory: kind names exactly as the particle files store them
// (two of them end with a blank).
#include "ParticleModifiers.h"

#include <cstring>

namespace {

const char* const kNames[PARTICLE_MODIFIER_KINDS] = {
    "SprayGenerator",
    "Box Generator",
    "Line Generator",
    "Just Move",
    "OrientFromMotion",
    "Move over life",
    "Size over life ",
    "Fade over life",
    "Color over life",
    "Spin over life ",
    "Bounding box bounce",
    "Bounding box kill",
    "Physic",
    "Ground Modifier",
    "Random Dir",
    "Flock",
    "Magnet",
    "Fire",
    "Collision Kill",
    "Turn",
    "Incremental Spin",
    "Global Turn",
    "Stretch",
    "Spray On Kill",
    "NotTooFar",
    "Standard Draw Sprite",
};

}  // namespace

int ParticleModifierIndexByName(const char* name) {
    if (!name)
        return -1;
    for (int i = 0; i < PARTICLE_MODIFIER_KINDS; ++i)
        if (std::strcmp(name, kNames[i]) == 0)
            return i;
    return -1;
}

const char* ParticleModifierName(int index) {
    return index >= 0 && index < PARTICLE_MODIFIER_KINDS ? kNames[index] : nullptr;
}

ParticleModifier* CreateParticleModifier(const char* name) {
    switch (ParticleModifierIndexByName(name)) {
    case 0: return new SprayGenerator;
    case 1: return new BoxGenerator;
    case 2: return new LineGenerator;
    case 3: return new JustMoveModifier;
    case 4: return new OrientFromMotion;
    case 5: return new MoveOverLife;
    case 6: return new SizeOverLife;
    case 7: return new FadeOverLife;
    case 8: return new ColorOverLife;
    case 9: return new SpinOverLife;
    case 10: return new BBoxBounce;
    case 11: return new BBoxKill;
    case 12: return new PhysicModifier;
    case 13: return new GroundModifier;
    case 14: return new RandomDir;
    case 15: return new Flock;
    case 16: return new Magnet;
    case 17: return new Fire;
    case 18: return new CollisionKill;
    case 19: return new Turn;
    case 20: return new IncrementalSpin;
    case 21: return new GlobalTurn;
    case 22: return new Stretch;
    case 23: return new SprayOnKill;
    case 24: return new NotTooFar;
    case 25: return new StandardDraw;
    default: return nullptr;
    }
}
