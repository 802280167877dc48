#include "CConfigFileMap.h"

#include <KEMException.h>
#include <Platform.h>
#include <StringToBool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Trims blanks, tabs, CRs and LFs at both ends (OGRE's StringUtil::trim).
void TrimRange(const char*& begin, const char*& end) {
    while (begin < end && IsTrimmed(*begin))
        ++begin;
    while (end > begin && IsTrimmed(end[-1]))
        --end;
}

// The separator set "\t:=" (tab, colon, equals sign).
bool IsSeparator(char c) { return c == '\t' || c == ':' || c == '='; }

// One line, without its '\n'. Follows Ogre::ConfigFile::load: the line is
// trimmed; empty lines and lines starting with '#' or '@' are skipped; a line
// "[name]" switches the section ("[]" goes back to the unnamed one); any
// other line is split at its first separator, the value starting at the first
// non-separator after it; a line without separator is skipped.
void ParseLine(const char* begin, const char* end, bool& inUnnamedSection, CConfigFileMap::Map& out) {
    // A NUL ends the line's text (OGRE reads lines as C strings).
    const void* nul = std::memchr(begin, '\0', static_cast<size_t>(end - begin));
    if (nul)
        end = static_cast<const char*>(nul);
    TrimRange(begin, end);
    if (begin == end || *begin == '#' || *begin == '@')
        return;
    if (*begin == '[' && end[-1] == ']' && end - begin >= 2) {
        inUnnamedSection = (end - begin == 2);
        return;
    }
    if (!inUnnamedSection)
        return;
    const char* sep = begin;
    while (sep < end && !IsSeparator(*sep))
        ++sep;
    if (sep == end)
        return;
    const char* keyBegin = begin;
    const char* keyEnd = sep;
    const char* valueBegin = sep;
    while (valueBegin < end && IsSeparator(*valueBegin))
        ++valueBegin;
    const char* valueEnd = end;
    TrimRange(keyBegin, keyEnd);
    TrimRange(valueBegin, valueEnd);
    // insert never replaces: the first occurrence of a key wins.
    out.emplace(std::string(keyBegin, keyEnd), std::string(valueBegin, valueEnd));
}

}  // namespace

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
    const char* p = static_cast<const char*>(data);
    const char* const end = p + size;
    bool inUnnamedSection = true;
    while (p < end) {
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
        const char* lineEnd = nl ? static_cast<const char*>(nl) : end;
        ParseLine(p, lineEnd, inUnnamedSection, mEntries);
        p = nl ? lineEnd + 1 : end;
    }
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
