// The tuning values, their loading and the values
// derived from them. See TuningLoader.h for the start-up order.
#include "CConfigFileMap.h"
#include "DefaultContextSound.h"
#include "FXTuning.h"
#include "PhysicTricksEffects.h"
#include "TuningParameters.h"

#include <Platform.h>

#include <OgreMath.h>
#include <OgreVector.h>

#include <algorithm>
#include <exception>

const char TUNING_DEFAULT_FOLDER[] = "../../mediaDemo/Config/";

// ---- the values: all constant-initialised to the defaults of an empty file --

#define TUNING_DEFINE_BOOL(name) bool name = false;
#define TUNING_DEFINE_INT(name) int32_t name = 0;
#define TUNING_DEFINE_FLOAT(name) float name = 0.0f;
TAVIRELO_TUNING_KEYS(TUNING_DEFINE_BOOL, TUNING_DEFINE_INT, TUNING_DEFINE_FLOAT)

float AngularBrakeFactor = 0.0f;
float LinearBrakeFactor = 0.0f;
float RetroBrakeFactor = 0.0f;
float RetroBrakeComplement = 0.0f;
float LateralBrakeFactor = 0.0f;
float LateralBrakeComplement = 0.0f;
float VelTresholdStartFake = 0.0f;
float VelTresholdStab = 0.0f;
float AngularVelEffect = 0.0f;
float AngularVelEffectRad = 0.0f;
float AngleSideEffect = 0.0f;
TuningMatrix3 SideEffectRotationLeft = {};
TuningMatrix3 SideEffectRotationRight = {};

float dustScale = 0.0f;
float gravelScale = 0.0f;

const char* HitGround = "";
const char* HitBall = "";
const char* HitWall = "";
const char* Roll = "";

#define CONTEXT_SOUND_FAMILY_DEFINE(family) \
    float family##GainMin = 0.0f; \
    float family##GainMax = 0.0f; \
    float family##GainRange = 0.0f; \
    float family##PitchMin = 0.0f; \
    float family##PitchMax = 0.0f; \
    float family##PitchRange = 0.0f; \
    float family##VelocityMin = 0.0f; \
    float family##VelocityMax = 0.0f; \
    float family##VelocityMin2 = 0.0f; \
    float family##VelocityMax2 = 0.0f; \
    float family##InvVelocityRange2 = 0.0f;
CONTEXT_SOUND_FAMILY_DEFINE(HitBall)
CONTEXT_SOUND_FAMILY_DEFINE(HitGround)
CONTEXT_SOUND_FAMILY_DEFINE(RollGround)

// ---- state of the loader ---------------------------------------------------

namespace {

const char* const kFileNames[TUNING_SET_COUNT] = {
    "tavirelo.cfg",
    "PhysicTricksEffects.cfg",
    "FX.cfg",
    "DefaultContextSound.cfg",
};

// Built on first use (so whenever the first load runs) and destroyed at exit.
struct TuningStore {
    CConfigFileMap maps[TUNING_SET_COUNT];
    std::string hitGround, hitBall, hitWall, roll;
    std::string folder;
    std::vector<std::string> unreadable;
};

TuningStore& Store() {
    static TuningStore store;
    return store;
}

bool gLoaded = false;   // constant-initialised

// Steps 1-3: a temporary map built from the path, copied into
// the set's own map. A file that cannot be read leaves the map empty.
void LoadMap(TuningSet set, const std::string& folder) {
    TuningStore& store = Store();
    const std::string path = folder + kFileNames[set];
    CConfigFileMap& map = store.maps[set];
    map.Clear();
    try {
        CConfigFileMap temporary(path);
        map = temporary;
    } catch (const std::exception&) {
        PlatLog("Tuning: cannot read \"%s\"; its values stay 0", path.c_str());
        map.Clear();
        store.unreadable.push_back(path);
    }
}

void LoadTavirelo(const CConfigFileMap& map) {
#define TUNING_READ_BOOL(name) name = map.GetBool(#name, false);
#define TUNING_READ_INT(name) name = map.GetInt(#name, 0);
#define TUNING_READ_FLOAT(name) name = map.GetFloat(#name, 0.0f);
    TAVIRELO_TUNING_KEYS(TUNING_READ_BOOL, TUNING_READ_INT, TUNING_READ_FLOAT)
#undef TUNING_READ_BOOL
#undef TUNING_READ_INT
#undef TUNING_READ_FLOAT
}

void LoadPhysicTricksEffects(const CConfigFileMap& map) {
    AngularBrakeFactor = map.GetFloat("AngularBrakeFactor", 0.0f);
    LinearBrakeFactor = map.GetFloat("LinearBrakeFactor", 0.0f);
    RetroBrakeFactor = map.GetFloat("RetroBrakeFactor", 0.0f);
    RetroBrakeComplement = 1.0f - RetroBrakeFactor;
    LateralBrakeFactor = map.GetFloat("LateralBrakeFactor", 0.0f);
    LateralBrakeComplement = 1.0f - LateralBrakeFactor;
    VelTresholdStartFake = map.GetFloat("VelTresholdStartFake", 0.0f);
    VelTresholdStab = map.GetFloat("VelTresholdStab", 0.0f);
    AngularVelEffect = map.GetFloat("AngularVelEffect", 0.0f);
    const float turnsInDegrees = AngularVelEffect * 360.0f;   // narrowed to a float first
    AngularVelEffectRad = turnsInDegrees * Ogre::Math::fDeg2Rad;
    // The variable holds the complement, computed in double, stored as a float.
    AngleSideEffect = static_cast<float>(90.0 - static_cast<double>(map.GetFloat("AngleSideEffect", 0.0f)));
    Ogre::Matrix3 rotation;
    rotation.FromAngleAxis(Ogre::Vector3::UNIT_Y, Ogre::Radian(Ogre::Degree(-AngleSideEffect)));
    SideEffectRotationLeft.Set(rotation);
    rotation.FromAngleAxis(Ogre::Vector3::UNIT_Y, Ogre::Radian(Ogre::Degree(AngleSideEffect)));
    SideEffectRotationRight.Set(rotation);
}

void LoadFX(const CConfigFileMap& map) {
    dustScale = map.GetFloat("dustScale", 0.0f);
    gravelScale = map.GetFloat("gravelScale", 0.0f);
}

void LoadDefaultContextSound(const CConfigFileMap& map) {
    TuningStore& store = Store();
    store.hitGround = map.GetString("HitGround", "");
    store.hitBall = map.GetString("HitBall", "");
    store.hitWall = map.GetString("HitWall", "");
    store.roll = map.GetString("Roll", "");
    HitGround = store.hitGround.c_str();
    HitBall = store.hitBall.c_str();
    HitWall = store.hitWall.c_str();
    Roll = store.roll.c_str();

    // Each derived value right after the keys it uses; the squares are stored
    // as floats before the inverse is computed from them.
#define CONTEXT_SOUND_FAMILY_LOAD(family) \
    family##GainMin = map.GetFloat(#family "GainMin", 0.0f); \
    family##GainMax = map.GetFloat(#family "GainMax", 0.0f); \
    family##GainRange = family##GainMax - family##GainMin; \
    family##PitchMin = map.GetFloat(#family "PitchMin", 0.0f); \
    family##PitchMax = map.GetFloat(#family "PitchMax", 0.0f); \
    family##PitchRange = family##PitchMax - family##PitchMin; \
    family##VelocityMin = map.GetFloat(#family "VelocityMin", 0.0f); \
    family##VelocityMax = map.GetFloat(#family "VelocityMax", 0.0f); \
    family##VelocityMin2 = family##VelocityMin * family##VelocityMin; \
    family##VelocityMax2 = family##VelocityMax * family##VelocityMax; \
    family##InvVelocityRange2 = family##VelocityMax2 != family##VelocityMin2 \
                                    ? 1.0f / (family##VelocityMax2 - family##VelocityMin2) \
                                    : 0.0f;
    CONTEXT_SOUND_FAMILY_LOAD(HitBall)
    CONTEXT_SOUND_FAMILY_LOAD(HitGround)
    CONTEXT_SOUND_FAMILY_LOAD(RollGround)
#undef CONTEXT_SOUND_FAMILY_LOAD
}

// A file that was read but gave none or only some of the keys the
// game reads says so once; its missing values stay 0.
void ReportMissingKeys(TuningSet set, const std::string& folder) {
    TuningStore& store = Store();
    const std::string path = folder + kFileNames[set];
    if (std::find(store.unreadable.begin(), store.unreadable.end(), path) != store.unreadable.end())
        return;   // already logged as unreadable
    const CConfigFileMap& map = store.maps[set];
    if (map.GetCount() == 0) {
        PlatLog("Tuning: \"%s\" yielded no keys; its values stay 0", path.c_str());
        return;
    }
    std::string missing;
    size_t count = 0;
    for (const TuningKeyInfo& info : TuningGetKeys(set)) {
        if (map.HasKey(info.key))
            continue;
        if (++count <= 8)
            missing += std::string(count > 1 ? ", " : "") + info.key;
    }
    if (count > 8)
        missing += ", ...";
    if (count != 0)
        PlatLog("Tuning: \"%s\" lacks %u of the keys the game reads (%s); they stay 0", path.c_str(),
                static_cast<unsigned>(count), missing.c_str());
}

}  // namespace

// ---- loading ---------------------------------------------------------------

int TuningLoadFromFolder(const std::string& folder) {
    TuningStore& store = Store();
    store.folder = folder;
    if (!store.folder.empty() && store.folder.back() != '/' && store.folder.back() != '\\')
        store.folder += '/';
    store.unreadable.clear();

    LoadMap(TUNING_TAVIRELO, store.folder);
    LoadTavirelo(store.maps[TUNING_TAVIRELO]);
    LoadMap(TUNING_PHYSIC_TRICKS_EFFECTS, store.folder);
    LoadPhysicTricksEffects(store.maps[TUNING_PHYSIC_TRICKS_EFFECTS]);
    LoadMap(TUNING_FX, store.folder);
    LoadFX(store.maps[TUNING_FX]);
    LoadMap(TUNING_DEFAULT_CONTEXT_SOUND, store.folder);
    LoadDefaultContextSound(store.maps[TUNING_DEFAULT_CONTEXT_SOUND]);
    for (int set = 0; set < TUNING_SET_COUNT; ++set)
        ReportMissingKeys(static_cast<TuningSet>(set), store.folder);

    gLoaded = true;
    return static_cast<int>(store.unreadable.size());
}

void TuningEnsureLoaded() {
    if (gLoaded)
        return;
    gLoaded = true;
    TuningLoadFromFolder(TUNING_DEFAULT_FOLDER);
}

const std::string& TuningGetLoadedFolder() { return Store().folder; }

const std::vector<std::string>& TuningGetUnreadableFiles() { return Store().unreadable; }

const char* TuningGetFileName(TuningSet set) {
    return (set >= 0 && set < TUNING_SET_COUNT) ? kFileNames[set] : "";
}

const CConfigFileMap& TuningGetMap(TuningSet set) {
    static const CConfigFileMap empty;
    return (set >= 0 && set < TUNING_SET_COUNT) ? Store().maps[set] : empty;
}

const std::vector<TuningKeyInfo>& TuningGetKeys(TuningSet set) {
#define TUNING_KEY_BOOL_INFO(name) {#name, TUNING_KEY_BOOL},
#define TUNING_KEY_INT_INFO(name) {#name, TUNING_KEY_INT},
#define TUNING_KEY_FLOAT_INFO(name) {#name, TUNING_KEY_FLOAT},
#define CONTEXT_SOUND_FAMILY_KEYS(family) \
    {#family "GainMin", TUNING_KEY_FLOAT}, {#family "GainMax", TUNING_KEY_FLOAT}, \
    {#family "PitchMin", TUNING_KEY_FLOAT}, {#family "PitchMax", TUNING_KEY_FLOAT}, \
    {#family "VelocityMin", TUNING_KEY_FLOAT}, {#family "VelocityMax", TUNING_KEY_FLOAT},
    static const std::vector<TuningKeyInfo> keys[TUNING_SET_COUNT] = {
        {TAVIRELO_TUNING_KEYS(TUNING_KEY_BOOL_INFO, TUNING_KEY_INT_INFO, TUNING_KEY_FLOAT_INFO)},
        {{"AngularBrakeFactor", TUNING_KEY_FLOAT}, {"LinearBrakeFactor", TUNING_KEY_FLOAT},
         {"RetroBrakeFactor", TUNING_KEY_FLOAT}, {"LateralBrakeFactor", TUNING_KEY_FLOAT},
         {"VelTresholdStartFake", TUNING_KEY_FLOAT}, {"VelTresholdStab", TUNING_KEY_FLOAT},
         {"AngularVelEffect", TUNING_KEY_FLOAT}, {"AngleSideEffect", TUNING_KEY_FLOAT}},
        {{"dustScale", TUNING_KEY_FLOAT}, {"gravelScale", TUNING_KEY_FLOAT}},
        {{"HitGround", TUNING_KEY_TEXT}, {"HitBall", TUNING_KEY_TEXT},
         {"HitWall", TUNING_KEY_TEXT}, {"Roll", TUNING_KEY_TEXT},
         CONTEXT_SOUND_FAMILY_KEYS(HitBall) CONTEXT_SOUND_FAMILY_KEYS(HitGround)
         CONTEXT_SOUND_FAMILY_KEYS(RollGround)},
    };
#undef TUNING_KEY_BOOL_INFO
#undef TUNING_KEY_INT_INFO
#undef TUNING_KEY_FLOAT_INFO
#undef CONTEXT_SOUND_FAMILY_KEYS
    static const std::vector<TuningKeyInfo> none;
    return (set >= 0 && set < TUNING_SET_COUNT) ? keys[set] : none;
}

// This unit loads too, through the initialiser that TuningLoader.h puts in
// every including unit: the values are there before the entry point even when
// no other unit includes a tuning header.
