// libFuzzer harness for CConfigFileMap's reader: any bytes as a
// key/value file. Checks, besides "no crash, no sanitizer report", what the
// reader promises: keys and values come out trimmed and without line breaks,
// the first occurrence of a key wins (a second load changes nothing), every
// getter works on every key, and a copy holds the same entries.
#include <CConfigFileMap.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
bool Trimmed(const std::string& text) {
    if (text.empty())
        return true;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return !blank(text.front()) && !blank(text.back());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CConfigFileMap map;
    map.LoadFromMemory(data, size);

    for (const auto& entry : map.GetEntries()) {
        const std::string& key = entry.first;
        const std::string& value = entry.second;
        if (key.find('\n') != std::string::npos || value.find('\n') != std::string::npos)
            std::abort();
        if (key.find('\0') != std::string::npos || value.find('\0') != std::string::npos)
            std::abort();
        if (!Trimmed(key) || !Trimmed(value))
            std::abort();
        if (key.find_first_of("\t:=") != std::string::npos)
            std::abort();   // the key ends at the first separator
        if (map.GetString(key, "\x01") != value)
            std::abort();
        (void)map.GetFloat(key, 0.5f);
        (void)map.GetInt(key, -3);
        (void)map.GetBool(key, true);
        (void)map.GetFloatForDifficulty(key, 1, 0.0f);
    }

    // Reading the same bytes again only meets keys already present.
    CConfigFileMap copy(map);
    copy.LoadFromMemory(data, size);
    if (copy.GetEntries() != map.GetEntries())
        std::abort();

    // A missing key gives back its default.
    if (!map.HasKey("\x01missing") &&
        (map.GetInt("\x01missing", 1234) != 1234 || map.GetBool("\x01missing", true) != true ||
         map.GetFloat("\x01missing", 0.25f) != 0.25f))
        std::abort();
    return 0;
}
