#include "CConfigFileMap.h"

#include <KEMException.h>
#include <KEMStringUtils.h>
#include <Platform.h>
#include <StringToBool.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

CConfigFileMap::CConfigFileMap(const std::string& path) { Load(path); }

void CConfigFileMap::Load(const std::string& path) {
    const std::string fixed = PlatFixPath(path);
    std::FILE* file = std::fopen(fixed.c_str(), "rb");
    if (!file)
        KEM_THROW_SRC("'" + path + "' file not found!", "ConfigFile::load");
    std::vector<char> content;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        content.insert(content.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;   // e.g. a folder: EISDIR
    std::fclose(file);
    if (failed)
        KEM_THROW_SRC("'" + path + "' cannot be read!", "ConfigFile::load");
    LoadFromMemory(content.data(), content.size());
}

void CConfigFileMap::LoadFromMemory(const void* data, size_t size) {
    if (!data || size == 0)
        return;
    ReadConfigText(static_cast<const char*>(data), size,
                   [this](const std::string& section, const std::string& key, const std::string& value) {
                       // Only the unnamed section; emplace never replaces, so
                       // the first occurrence of a key wins.
                       if (section.empty())
                           mEntries.emplace(key, value);
                   });
}

std::string CConfigFileMap::GetString(const std::string& key, const std::string& def) const {
    Map::const_iterator it = mEntries.find(key);
    return it == mEntries.end() ? def : it->second;
}

float CConfigFileMap::GetFloat(const std::string& key, float def) const {
    std::ostringstream text;
    text << def;
    return static_cast<float>(std::atof(GetString(key, text.str()).c_str()));
}

int32_t CConfigFileMap::GetInt(const std::string& key, int32_t def) const {
    std::ostringstream text;
    text << def;
    // atoi's behaviour for out-of-range numbers is undefined; strtol then
    // narrowing gives the same result for every in-range text and a defined
    // one for the rest.
    const long value = std::strtol(GetString(key, text.str()).c_str(), nullptr, 10);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(value)));
}

bool CConfigFileMap::GetBool(const std::string& key, bool def) const {
    std::ostringstream text;
    text << def;
    return StringToBool(GetString(key, text.str()));
}

float CConfigFileMap::GetFloatForDifficulty(const std::string& base, int level, float def) const {
    return GetFloat(DifficultyKey(base, level), def);
}

int32_t CConfigFileMap::GetIntForDifficulty(const std::string& base, int level, int32_t def) const {
    return GetInt(DifficultyKey(base, level), def);
}

TuningDifficulty DifficultyFromLevel(int level) {
    if (level == 0)
        return DIFFICULTY_FACILE;
    if (level == 1)
        return DIFFICULTY_MOYEN;
    return DIFFICULTY_DIFFICILE;
}

const char* DifficultySuffix(int level, bool lowerCase) {
    static const char* const upper[] = {"FACILE", "MOYEN", "DIFFICILE"};
    static const char* const lower[] = {"facile", "moyen", "difficile"};
    const int index = DifficultyFromLevel(level);
    return lowerCase ? lower[index] : upper[index];
}

std::string DifficultyKey(const std::string& base, int level) {
    bool lowerCase = false;
    for (char c : base) {
        if (c >= 'a' && c <= 'z') {
            lowerCase = true;
            break;
        }
    }
    return base + DifficultySuffix(level, lowerCase);
}
