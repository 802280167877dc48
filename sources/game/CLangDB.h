// The language table and GetText.
//
// For now this is the store only: entries (key, text) in file order, and the
// lookup. The loader of "../../mediaDemo/Data/Lang_DB.csv" comes
// with the game core and fills the same store through Add/Clear.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct LangEntry {
    std::string key;    // as the file writes it, case unchanged
    std::string text;   // in the current language
};

class CLangDB {
public:
    CLangDB() = default;

    // The one table. Built on first use, so GetText may be called at any time
    // during static initialization (it then finds no entry).
    static CLangDB& Instance();

    void Clear();
    void Add(const std::string& key, const std::string& text);
    size_t GetCount() const { return mEntries.size(); }
    const std::vector<LangEntry>& GetEntries() const { return mEntries; }

    // The text of the first entry whose key equals `key` with A-Z and a-z
    // compared without regard to case (other bytes exactly); null when none.
    const char* Find(const char* key) const;

    unsigned int GetCurrentLanguage() const { return mCurrentLanguage; }
    void SetCurrentLanguage(unsigned int column) { mCurrentLanguage = column; }
    const std::string& GetCharacters() const { return mCharacters; }
    void SetCharacters(const std::string& characters) { mCharacters = characters; }

private:
    unsigned int mCurrentLanguage = 1;   // column 1 holds French
    std::vector<LangEntry> mEntries;
    std::string mCharacters;
};

// The entry's text, or the argument pointer itself when no entry matches
// (always so while the table is empty, e.g. during static initialization).
// A null key comes back as null.
const char* GetText(const char* key);
