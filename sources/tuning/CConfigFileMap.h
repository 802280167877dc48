// The settings of one plain-text key/value file, handed out
// through typed getters that take a default.
//
// The reader follows OGRE's configuration-file reader (Ogre::ConfigFile::load
// with the separators "\t:=" and whitespace trimming on) line for line, so the
// files read exactly as they would through OGRE; it is our own code so that it
// can also read from memory and be fuzzed. Only the unnamed section is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

class CConfigFileMap {
public:
    typedef std::map<std::string, std::string> Map;

    CConfigFileMap() = default;
    // Constructs an empty map, then Load(path).
    explicit CConfigFileMap(const std::string& path);
    CConfigFileMap(const CConfigFileMap&) = default;
    CConfigFileMap& operator=(const CConfigFileMap&) = default;
    ~CConfigFileMap() = default;

    // Adds the settings of the file's unnamed section; a key already present
    // keeps its value (the first occurrence wins). Does not empty the map.
    // The path may use "\\" separators. A file that cannot be opened or read
    // throws CKEMException ("'<path>' file not found!", source
    // "ConfigFile::load"); the map is then unchanged.
    void Load(const std::string& path);
    // The same reading from a buffer in memory (any bytes; never reads outside
    // [data, data + size)).
    void LoadFromMemory(const void* data, size_t size);
    void LoadFromString(const std::string& text) { LoadFromMemory(text.data(), text.size()); }

    // The key's value, or the default when the key is absent.
    std::string GetString(const std::string& key, const std::string& def) const;
    // The default is formatted as an ostringstream would (6 significant
    // digits, decimal, "1"/"0"), looked up, and the text converted with
    // atof / atoi / StringToBool.
    float GetFloat(const std::string& key, float def) const;
    int32_t GetInt(const std::string& key, int32_t def) const;
    bool GetBool(const std::string& key, bool def) const;

    // Per-difficulty keys: key = base + suffix of the difficulty level
    // (see DifficultyKey).
    float GetFloatForDifficulty(const std::string& base, int level, float def) const;
    int32_t GetIntForDifficulty(const std::string& base, int level, int32_t def) const;

    bool HasKey(const std::string& key) const { return mEntries.count(key) != 0; }
    size_t GetCount() const { return mEntries.size(); }
    const Map& GetEntries() const { return mEntries; }
    void Clear() { mEntries.clear(); }

private:
    Map mEntries;
};

// ---- difficulty ------------------------------------------------------------
// The difficulty setting picks one key of each per-difficulty triple:
// 0 takes FACILE, 1 takes MOYEN, any other value takes DIFFICILE.
enum TuningDifficulty { DIFFICULTY_FACILE = 0, DIFFICULTY_MOYEN = 1, DIFFICULTY_DIFFICILE = 2 };
TuningDifficulty DifficultyFromLevel(int level);

// "FACILE", "MOYEN", "DIFFICILE", or "facile", "moyen", "difficile".
const char* DifficultySuffix(int level, bool lowerCase);

// base + suffix; the suffix is in lower case when the base holds a lower-case
// letter ("coef_error_power_" -> "coef_error_power_moyen"), else in upper case
// ("TEMPS_JAUGE_POWER_" -> "TEMPS_JAUGE_POWER_MOYEN").
std::string DifficultyKey(const std::string& base, int level);

// The value of the level's difficulty among the three.
template <typename T>
T SelectByDifficulty(int level, T facile, T moyen, T difficile) {
    switch (DifficultyFromLevel(level)) {
    case DIFFICULTY_FACILE: return facile;
    case DIFFICULTY_MOYEN: return moyen;
    default: return difficile;
    }
}
