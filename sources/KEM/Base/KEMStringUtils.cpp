#include "KEMStringUtils.h"

#include <Platform.h>

#include <OgreDataStream.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

std::string ConcatSeparatorLine(const std::string& prefix) {
    return prefix + "----------------------------";
}

static bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void TrimString(std::string& text, bool left, bool right) {
    if (right) {
        size_t end = text.size();
        while (end > 0 && IsTrimmed(text[end - 1]))
            --end;
        text.erase(end);
    }
    if (left) {
        size_t begin = 0;
        while (begin < text.size() && IsTrimmed(text[begin]))
            ++begin;
        text.erase(0, begin);
    }
}

float StringToFloat(const std::string& text) { return float(atof(text.c_str())); }

int StringToInt(const std::string& text) { return atoi(text.c_str()); }

std::string ToLowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = char(tolower(static_cast<unsigned char>(c)));
    return out;
}

bool EndsWith(const std::string& text, const std::string& suffix, bool lowerCaseTail) {
    if (suffix.empty() || suffix.size() > text.size())
        return false;
    std::string tail = text.substr(text.size() - suffix.size());
    if (lowerCaseTail)
        tail = ToLowerCase(tail);
    return tail == suffix;
}

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters,
                                     unsigned int maxSplits) {
    std::vector<std::string> pieces;
    const size_t npos = std::string::npos;
    size_t start = 0;
    unsigned int splits = 0;
    while (start < text.size()) {
        size_t pos = text.find_first_of(delimiters, start);
        if (pos == start) {
            start = pos + 1;
        } else if (pos == npos || (maxSplits != 0 && splits == maxSplits)) {
            pieces.push_back(text.substr(start));
            break;
        } else {
            pieces.push_back(text.substr(start, pos - start));
            start = pos + 1;
        }
        if (start >= text.size())
            break;
        start = text.find_first_not_of(delimiters, start);
        if (start == npos)
            break;
        ++splits;
    }
    return pieces;
}

// ---- table reader ------------------------------------------------------------

TextTableRow SplitTextTableLine(const std::string& line) {
    std::string trimmed = line;
    TrimString(trimmed, true, true);
    if (trimmed.empty())
        return TextTableRow();
    return SplitString(trimmed, ";", 0);
}

TextTable ReadTextTableFromStream(Ogre::DataStream& stream) {
    TextTable table;
    while (!stream.eof()) {
        size_t before = stream.tell();
        // One line up to the line feed, trimmed by the stream.
        std::string line = stream.getLine(true);
        TextTableRow row = SplitTextTableLine(line);
        if (!row.empty())
            table.push_back(row);
        // A stream that reports neither progress nor its end (a read error)
        // must not keep the loop turning.
        if (line.empty() && stream.tell() == before)
            break;
    }
    return table;
}

namespace {

// A NUL byte ends its line's text. OGRE reads lines as C strings: left in,
// it cut the line there and lost the lines after it without a word.
void CutAtNulBytes(const std::string& path, std::string& bytes) {
    unsigned lineNumber = 1;
    for (size_t begin = 0; begin < bytes.size(); ++lineNumber) {
        size_t end = bytes.find('\n', begin);
        if (end == std::string::npos)
            end = bytes.size();
        const size_t nul = bytes.find('\0', begin);
        if (nul < end) {
            const std::string before = bytes.substr(begin, nul - begin);
            std::string key = before.substr(0, before.find(';'));
            TrimString(key);
            const unsigned column = 1 + unsigned(std::count(before.begin(), before.end(), ';'));
            PlatLog("\"%s\" line %u (key \"%s\") column %u: a NUL byte; the line's text ends there", path.c_str(),
                    lineNumber, key.c_str(), column);
            bytes.erase(nul, end - nul);
            end = nul;
        }
        begin = end + 1;
    }
}

// The bytes of a whole table, named by `source` in the log.
TextTable ReadTableBytes(std::string bytes, const std::string& source) {
    if (bytes.empty())
        return TextTable();
    CutAtNulBytes(source, bytes);
    // The memory stream reads the bytes in place (no copy, not freed).
    Ogre::MemoryDataStream stream(&bytes[0], bytes.size(), false, true);
    return ReadTextTableFromStream(stream);
}

}  // namespace

TextTable ReadTextTableFromString(const std::string& bytes) { return ReadTableBytes(bytes, "table text"); }

TextTable ReadTextTable(const std::string& path) {
    std::string fixed = PlatFixPath(path);
    struct stat st;
    if (fixed.empty() || stat(fixed.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return TextTable();
    std::ifstream file(fixed.c_str(), std::ios::in | std::ios::binary);
    if (!file.is_open())
        return TextTable();
    return ReadTableBytes(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()), path);
}

// ---- key/value configuration text ------------------------------------------------
namespace {

bool IsConfigBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsConfigSeparator(char c) { return c == '\t' || c == ':' || c == '='; }

void TrimConfigRange(const char*& begin, const char*& end) {
    while (begin < end && IsConfigBlank(*begin))
        ++begin;
    while (end > begin && IsConfigBlank(end[-1]))
        --end;
}

}  // namespace

void ReadConfigText(const char* data, size_t size, const ConfigSettingSink& onSetting) {
    if (!data)
        return;
    std::string section;
    const char* p = data;
    const char* const textEnd = data + size;
    while (p < textEnd) {
        const void* nl = std::memchr(p, '\n', size_t(textEnd - p));
        const char* begin = p;
        const char* end = nl ? static_cast<const char*>(nl) : textEnd;
        p = nl ? end + 1 : textEnd;
        // A NUL ends the line's text (OGRE reads lines as C strings).
        if (const void* nul = std::memchr(begin, '\0', size_t(end - begin)))
            end = static_cast<const char*>(nul);
        TrimConfigRange(begin, end);
        if (begin == end || *begin == '#' || *begin == '@')
            continue;
        if (*begin == '[' && end[-1] == ']' && end - begin >= 2) {
            section.assign(begin + 1, end - 1);
            continue;
        }
        const char* sep = begin;
        while (sep < end && !IsConfigSeparator(*sep))
            ++sep;
        if (sep == end)
            continue;
        const char* keyBegin = begin;
        const char* keyEnd = sep;
        const char* valueBegin = sep;
        while (valueBegin < end && IsConfigSeparator(*valueBegin))
            ++valueBegin;
        const char* valueEnd = end;
        TrimConfigRange(keyBegin, keyEnd);
        TrimConfigRange(valueBegin, valueEnd);
        onSetting(section, std::string(keyBegin, keyEnd), std::string(valueBegin, valueEnd));
    }
}
