// String utilities, the ";" table reader and the key/value configuration
// text reader. None keeps state.
#pragma once

#include <cstddef>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace Ogre {
class DataStream;
}

// ---- concatenation through string streams ----------------------------------
// Prefix + the value as a default-formatted std::stringstream prints it
// (floats with 6 significant digits).
template <class T>
std::string ConcatToString(const std::string& prefix, const T& value) {
    std::stringstream out;
    out << prefix << value;
    return out.str();
}

// A null text appends nothing (streaming a null char pointer is undefined).
template <>
inline std::string ConcatToString<const char*>(const std::string& prefix, const char* const& text) {
    return text ? prefix + text : prefix;
}
template <>
inline std::string ConcatToString<char*>(const std::string& prefix, char* const& text) {
    return text ? prefix + text : prefix;
}

// Prefix + 28 dashes.
std::string ConcatSeparatorLine(const std::string& prefix);

// Appends the value as a stream prints it; returns the target.
template <class T>
std::string& AppendToString(std::string& target, const T& value) {
    std::stringstream out;
    out << value;
    target += out.str();
    return target;
}
// Null texts append nothing.
template <>
inline std::string& AppendToString<const char*>(std::string& target, const char* const& text) {
    if (text)
        target += text;
    return target;
}
template <>
inline std::string& AppendToString<char*>(std::string& target, char* const& text) {
    if (text)
        target += text;
    return target;
}
inline std::string& AppendToString(std::string& target, const char* text) {
    if (text)
        target += text;
    return target;
}
inline std::string& AppendToString(std::string& target, char* text) {
    return AppendToString(target, static_cast<const char*>(text));
}
inline std::string& AppendToString(std::string& target, char c) {
    target += c;
    return target;
}
inline std::string& AppendToString(std::string& target, const std::string& text) {
    target += text;
    return target;
}

// ---- other operations ---------------------------------------------------------
// In place: removes blanks, tabs and CRs (32, 9, 13) from the chosen ends.
void TrimString(std::string& text, bool left = true, bool right = true);

float StringToFloat(const std::string& text);   // atof
int StringToInt(const std::string& text);       // atoi

std::string ToLowerCase(const std::string& text);

// False when the suffix is empty or longer than the text; otherwise compares
// the text's tail (lower-cased when lowerCaseTail is set) with the suffix.
bool EndsWith(const std::string& text, const std::string& suffix, bool lowerCaseTail);

// Splits at any character of delimiters; never yields empty pieces. maxSplits
// 0 means no limit.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters = ";",
                                     unsigned int maxSplits = 0);

// One character per code point of the GUI string, each cut to its low 8 bits.
// Works on CEGUI::String (its iterators give code points) and on
// std::u32string, so this library does not need the GUI library.
template <class GuiString>
std::string CEGUIStringToStdString(const GuiString& guiText) {
    std::string out;
    for (auto it = guiText.begin(); it != guiText.end(); ++it)
        out += char(static_cast<unsigned long>(*it) & 0xFFu);
    return out;
}

// ---- ";" table reader -----------------------------------------------------------
typedef std::vector<std::string> TextTableRow;
typedef std::vector<TextTableRow> TextTable;

// Reads a ";"-separated table: each line trimmed, empty lines skipped, empty
// fields dropped. A file that cannot be opened (or is not a regular file)
// gives an empty table. "\\" in the path reads as "/".
TextTable ReadTextTable(const std::string& path);

// The same reading over any stream of the 3D engine and over bytes in memory
// (used by the fuzz harness and tests). Never reads outside the input.
TextTable ReadTextTableFromStream(Ogre::DataStream& stream);
TextTable ReadTextTableFromString(const std::string& bytes);

// One table line (already read) into its fields: trimmed, split at ";".
// An empty line gives no fields.
TextTableRow SplitTextTableLine(const std::string& line);

// ---- key/value configuration text ------------------------------------------------
// OGRE's configuration-file syntax (Ogre::ConfigFile with the separators
// "\t:=" and trimming on), read line for line in file order: lines end at
// '\n' and are trimmed of blanks, tabs, CRs and LFs; a NUL ends its line;
// empty lines and lines starting with '#' or '@' are skipped; "[name]"
// switches the section ("[]" goes back to the unnamed one, ""); any other
// line is split at its first separator, the value starting at the first
// non-separator after it; a line without separator is skipped. Calls
// onSetting(section, key, value) for each setting; never reads outside
// [data, data + size).
typedef std::function<void(const std::string& section, const std::string& key, const std::string& value)>
    ConfigSettingSink;
void ReadConfigText(const char* data, size_t size, const ConfigSettingSink& onSetting);
