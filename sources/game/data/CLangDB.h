// The language table and GetText.
//
// Entries (key, text) in file order, one text column per language; the
// current language picks the column at load time. The load also builds the
// set of every character the texts use, from which the GUI makes its glyphs.
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
    // "../../mediaDemo/Data/Lang_DB.csv"
    static const char DEFAULT_PATH[];

    CLangDB() = default;

    // The one table. Built on first use, so GetText may be called at any time
    // during static initialization (it then finds no entry).
    static CLangDB& Instance();

    // Replaces the entries by the rows of DEFAULT_PATH in the current
    // language, then replaces the line-break markers and rebuilds the
    // character set. A missing file leaves the table empty (logged).
    void Load();
    // The same from another file (tests and tools). False when the file
    // cannot be read.
    bool LoadFromFile(const std::string& path);

    void Clear();
    void Add(const std::string& key, const std::string& text);
    size_t GetCount() const { return mEntries.size(); }
    const std::vector<LangEntry>& GetEntries() const { return mEntries; }

    // Each " \n" marker (two characters: backslash, n) becomes a line feed
    // together with the character in front of it, as long as the first
    // marker of the text does not stand at its very beginning.
    void ReplaceLineBreaks();
    // The 93 default characters plus every byte of every text (keys are not
    // added), without tab, CR and LF, each once, in signed-byte order:
    // 0x80..0xFF first, then 0x01..0x7F.
    void BuildCharacterSet();

    // The text of the first entry whose key equals `key` with A-Z and a-z
    // compared without regard to case (other bytes exactly); null when none.
    const char* Find(const char* key) const;

    unsigned int GetCurrentLanguage() const { return mCurrentLanguage; }
    void SetCurrentLanguage(unsigned int column) { mCurrentLanguage = column; }
    const std::string& GetCharacters() const { return mCharacters; }
    void SetCharacters(const std::string& characters) { mCharacters = characters; }

    // One text with its markers replaced (the rule of ReplaceLineBreaks).
    static std::string ReplaceLineBreaksIn(const std::string& text);

private:
    unsigned int mCurrentLanguage = 1;   // column 1 holds French
    std::vector<LangEntry> mEntries;
    std::string mCharacters;
};

// The entry's text, or the argument pointer itself when no entry matches
// (always so while the table is empty, e.g. during static initialization).
// A null key comes back as null.
const char* GetText(const char* key);
