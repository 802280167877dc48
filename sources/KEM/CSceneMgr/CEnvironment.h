// The settings store: named variables grouped in sections, kept in insertion
// order. The global one (CSceneMgr::GetEnvironment) holds the user settings
// of "Configuration.cfg" and the parameter sets menus hand to the match.
#pragma once

#include <KEMList.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CObjnet;

// One named value: none, int, float or an owned text.
class CEnvironmentVariable {
public:
    enum { NAME_SIZE = 32 };   // names hold at most 31 characters
    enum Type : int32_t { TYPE_NONE = 0, TYPE_INT = 1, TYPE_FLOAT = 2, TYPE_STRING = 3 };

    // Both names must be shorter than NAME_SIZE (checked: a longer one is a
    // programming error; file and network input is filtered before).
    CEnvironmentVariable(const char* section, const char* name);
    ~CEnvironmentVariable();
    CEnvironmentVariable(const CEnvironmentVariable&) = delete;
    CEnvironmentVariable& operator=(const CEnvironmentVariable&) = delete;

    int SetInt(int value);
    void SetFloat(float value);
    // Null stores the empty text.
    void SetString(const char* text);
    // Frees a held text (type none afterwards).
    void FreeValue();

    // int "%d"; float "%g" with "." appended when that gives a bare integer
    // ("2." for 2.0); the text itself; null for none. The int and float forms
    // live in one static buffer shared by all variables, valid until the
    // next call.
    const char* ToString() const;
    // Stores the text as none (null or empty), int, float or text, by the
    // number lexer: "12" int, "1.", ".5", "1.5e3" floats, "1e3" text.
    void SetFromText(const char* text);
    // Converts the value in place (none from anything; int truncates a float
    // toward zero and reads a text with atoi; float reads a text with atof;
    // text takes ToString's form, the empty text for none).
    void ConvertTo(int32_t type);

    const char* GetSection() const { return mSection; }
    const char* GetName() const { return mName; }
    int32_t GetType() const { return mType; }
    bool IsNumber() const { return mType == TYPE_INT || mType == TYPE_FLOAT; }
    // The stored value; 0, 0.0 or null when the variable holds another type.
    int GetInt() const { return mType == TYPE_INT ? mValue.i : 0; }
    float GetFloat() const { return mType == TYPE_FLOAT ? mValue.f : 0.0f; }
    const char* GetString() const { return mType == TYPE_STRING ? mValue.s : nullptr; }

    // The lexer's verdict on a text: TYPE_NONE, TYPE_INT, TYPE_FLOAT or TYPE_STRING.
    static int32_t Classify(const char* text);

private:
    char mSection[NAME_SIZE];
    char mName[NAME_SIZE];
    int32_t mType = TYPE_NONE;
    union {
        int32_t i;
        float f;
        char* s;
    } mValue;
};

class CEnvironment {
public:
    CEnvironment() = default;
    ~CEnvironment();
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

    // The first variable with exactly that section and name; when none
    // exists and create is set, a new untyped one appended at the tail.
    CEnvironmentVariable* GetVariable(const char* section, const char* name, bool create);
    // The same search without creating; leaves the cursor on the variable
    // found (no cursor when none).
    CEnvironmentVariable* Find(const char* section, const char* name);

    // The environment takes ownership. 0, or -1 for null.
    int Append(CEnvironmentVariable* variable);
    // Unlinks the variable (the caller owns it again). 0 (also when it is not
    // in the list), -1 for null or an empty environment.
    int Remove(CEnvironmentVariable* variable);
    int RemoveCurrent();
    // Deletes every variable.
    void Clear();

    CEnvironmentVariable* First() { return mList.First(); }
    CEnvironmentVariable* Next() { return mList.Next(); }
    CEnvironmentVariable* Current() const { return mList.Current(); }
    int GetCount() const { return mList.GetCount(); }

    // Reads the settings text (need not be NUL-terminated). False on an
    // error, which goes to the log; what was read before it stays set. A text
    // that ends inside an open section or environment keeps every complete
    // variable and gives true with a warning.
    bool ParseXML(const char* text, int length);

    // Loads a settings file by name: from where the 3D engine's resource
    // system finds it, else from the settings folder. A missing file changes
    // nothing. True when a file was read and parsed without error.
    bool Load(const char* fileName);

    // Saves the listed sections (null-terminated list) to the file where the
    // resource system finds it, or into the settings folder when it does not
    // exist yet. The text goes to a temporary file beside it first and then
    // replaces the old file, so a failed write keeps the previous settings.
    // 0, or -1 on failure (logged).
    int Save(const char* fileName, ...);
    // The settings text of the listed sections (null-terminated list).
    std::string BuildText(const char* const* sections) const;

    // Packs one section into target as a nested "environment" object.
    void SerializeSection(CObjnet* target, const char* sectionName);
    // Unpacks a section packed by SerializeSection (source is the nested
    // object). Names of 32 characters or more and unknown value types are
    // rejected. 0 when every variable was taken, -1 otherwise (what was
    // taken stays).
    int UnserializeSection(CObjnet* source);

    // The folder Load and Save fall back on when the resource system does not
    // know the file (first run, or no 3D engine: tools and tests). By
    // default the game's configuration folder.
    static void SetSettingsFolder(const char* folder);
    static const std::string& GetSettingsFolder();

private:
    static std::string Key(const char* section, const char* name);
    void Index(CEnvironmentVariable* variable);
    void Unindex(const CEnvironmentVariable* variable);

    CKEMList<CEnvironmentVariable> mList;
    // Section and name to the variables of that pair in list order: a
    // settings file of many variables must not search the list per variable.
    std::unordered_map<std::string, std::vector<CEnvironmentVariable*>> mIndex;
};
