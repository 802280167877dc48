#include "CLangDB.h"

namespace {
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool KeysEqualNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}
}  // namespace

CLangDB& CLangDB::Instance() {
    static CLangDB table;
    return table;
}

void CLangDB::Clear() { mEntries.clear(); }

void CLangDB::Add(const std::string& key, const std::string& text) {
    mEntries.push_back(LangEntry{key, text});
}

const char* CLangDB::Find(const char* key) const {
    if (!key)
        return nullptr;
    for (const LangEntry& entry : mEntries) {
        if (KeysEqualNoCase(entry.key.c_str(), key))
            return entry.text.c_str();
    }
    return nullptr;
}

const char* GetText(const char* key) {
    const char* text = CLangDB::Instance().Find(key);
    return text ? text : key;
}
