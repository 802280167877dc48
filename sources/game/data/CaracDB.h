// The throw characteristics table ("Carac_DB.csv"): per body and role, a
// pointing and a shooting profile of four launch speeds and four ratings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One profile. The speeds (m/s) are the limits of the power zones, worked
// out at load time from the table's four reference distances.
struct ThrowProfile {
    float mSpeed0 = 0.0f;
    float mSpeed1 = 0.0f;
    float mSpeed2 = 0.0f;
    float mSpeed3 = 0.0f;
    int32_t mBalance = 0;
    int32_t mEffects = 0;
    int32_t mMental = 0;
    int32_t mPhysique = 0;
};

// The one table, keyed by body code, "_", the role's first letter and the
// profile letter "P" (pointing) or "T" (shooting), e.g. "HM_TP". Keys are
// compared exactly. Filled during static initialization, right after the
// tuning values it needs, and kept until exit.
class CaracDB {
public:
    // "../../mediaDemo/Data/Carac_DB.csv"
    static const char DEFAULT_PATH[];

    // Empty table, then Load.
    static void Init();
    // Reads DEFAULT_PATH (a missing file leaves the table as it is; logged).
    static void Load();
    // The same from another file. Each row's profile is stored under its
    // key; a key already present keeps its record (so pointers handed out
    // stay valid) and takes the new values. Rows with fewer than nine fields
    // are skipped (logged). False when the file cannot be read.
    static bool LoadFromFile(const std::string& path);
    // Deletes every profile (pointers handed out become invalid).
    static void Release();

    // The profile stored under key, or null.
    static const ThrowProfile* Find(const std::string& key);
    static size_t GetCount();

    // The launch speed that carries a ball released at the mean pointing
    // (fifth key letter "P") or shooting (any other) angle and height over
    // `distance` metres onto the ground.
    static float DistanceToSpeed(float distance, bool pointing);
    // Body code, "_", first letter of the role, then 'P' or 'T'.
    static std::string MakeKey(const std::string& bodyCode, const std::string& role, bool pointing);
};
