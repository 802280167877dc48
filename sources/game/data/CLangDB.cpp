#include "CLangDB.h"

#include "GameDataTable.h"

#include <Platform.h>

#include <cstdint>

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

// Letters, digits and the 31 signs every font gets whatever the texts hold.
const char kDefaultCharacters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    " _,.?!;:%$+-*/='\\\"&|<>()[]{}#@\xB0";

// The keys the menus and the head-up display name in the code (team,
// country and venue names come from the data tables). A table without them
// leaves raw keys on the screens.
const char* const kKeysTheGameReads[] = {
    "ACCUEIL", "ACTOR", "ACTOR_CHOICE", "BACK_TO_LOBBY", "BAR_BALANCE", "BAR_MENTAL", "BAR_PHYSIQUE", "BK",
    "BTN_CTN", "CARAC", "CARRIERE", "CHG_GAME_TYPE", "CHG_TEAM", "CLIC_TO_CTN", "CLIC_TO_QUIT", "CNX_FAILED",
    "CNX_GO_BACK", "CNX_IN_PROGRESS", "CONF_SUPPR", "CTN", "CURRENT_LANG", "EMPTY", "EMPTY_SAVE_SLOT_INFO",
    "ENTER_NAME", "ENTER_NAME_ONE_P", "FILL_INFOS", "FILL_TEAMS_FRAME_NAME", "FRANCE", "HEAD_TAIL_TITLE",
    "HEIGHT_F", "LAN_CHOSE_COUNTRY", "LAN_CHOSE_REGION", "LAN_DBL", "LAN_DISCONNECT", "LAN_ERR_NB_PLAYERS",
    "LAN_ERR_NOT_IN_TEAM", "LAN_FAF", "LAN_FRAME", "LAN_INFO", "LAN_LOCATION", "LAN_NBPLAYERS", "LAN_NO_TEAM",
    "LAN_PLAYER1", "LAN_PLAYER2", "LAN_PLEASEWAIT", "LAN_STOPPED", "LAN_TRP", "LAN_WORLD_REGION", "LIST",
    "MARSEILLE", "MATCH_POULE", "MATCH_REFUSED", "MATCH_REFUSED_PLAYERS", "MATCH_REFUSED_SAME_TEAM",
    "MATCH_REFUSED_TEAM", "MATCH_REFUSED_VENUE", "MENU_TRAINING", "NB_PL_ERR", "NEW_SAVE", "NOGAMEFOUND",
    "NO_GAME_SEL", "NULL_MENE", "PLAYER", "PLAYER_ABR", "PLAY_OFF", "POULE", "POWER_BARS", "QUICKMATCH", "QUIT_CAR",
    "QUIT_TO_MENU", "RANK", "REPLAY", "RESULT", "RESULTS", "SAVE", "SEL", "SELECT_CHAMP", "SELECT_CHAMP_INFO",
    "SELECT_CHAMP_TYPE", "SELECT_GAME_TYPE", "SELECT_NB_PLAYERS", "SPEED_SCALE", "START", "STRING_ID", "TEAM",
    "TOSS_BEG", "TOSS_WELCOME", "TP", "TR_DESC", "TR_END", "TR_SCORE", "TR_THROW_MISSED", "TR_THROW_SCORED",
    "TR_TYPE", "TURN", "VERSUS", "WAITING_HOST", "WAITING_SYNC", "WORLD",
};

// A table that was read but lacks some of those keys says so once.
void ReportMissingKeys(const CLangDB& table, const std::string& path) {
    std::string missing;
    unsigned count = 0;
    for (const char* key : kKeysTheGameReads) {
        if (table.Find(key))
            continue;
        if (++count <= 8)
            missing += std::string(count > 1 ? ", " : "") + key;
    }
    if (count > 8)
        missing += ", ...";
    if (count != 0)
        PlatLog("CLangDB::Load() => \"%s\" lacks %u of the keys the game reads (%s): the screens show them raw",
                path.c_str(), count, missing.c_str());
}
}  // namespace

const char CLangDB::DEFAULT_PATH[] = "../../mediaDemo/Data/Lang_DB.csv";

CLangDB& CLangDB::Instance() {
    static CLangDB table;
    return table;
}

void CLangDB::Load() { LoadFromFile(DEFAULT_PATH); }

bool CLangDB::LoadFromFile(const std::string& path) {
    Clear();
    TextTable table;
    bool readable = ReadGameDataTable("CLangDB::Load()", path, table);
    for (size_t r = 1; r < table.size(); ++r) {
        const TextTableRow& row = table[r];
        const std::string& key = row[0];
        if (key[0] == '#')
            continue;
        // A row too short for the language shows its key framed by "#", so
        // a missing translation stands out on screen.
        if (row.size() > mCurrentLanguage)
            Add(key, row[mCurrentLanguage]);
        else
            Add(key, "#" + key + "#");
    }
    // A read file without a single key would show raw keys on every screen.
    if (readable && mEntries.empty())
        PlatLog("CLangDB::Load() => \"%s\" yielded no keys: the screens show raw keys", path.c_str());
    else if (readable)
        ReportMissingKeys(*this, path);
    ReplaceLineBreaks();
    BuildCharacterSet();
    return readable;
}

void CLangDB::Clear() { mEntries.clear(); }

void CLangDB::Add(const std::string& key, const std::string& text) {
    mEntries.push_back(LangEntry{key, text});
}

std::string CLangDB::ReplaceLineBreaksIn(const std::string& text) {
    std::string out = text;
    for (;;) {
        size_t marker = out.find("\\n");
        // The texts write a blank before each marker, and that character
        // goes with it; a text that starts with a marker is left alone.
        if (marker == std::string::npos || marker == 0)
            break;
        out.replace(marker - 1, 3, "\n");
    }
    return out;
}

void CLangDB::ReplaceLineBreaks() {
    for (LangEntry& entry : mEntries)
        entry.text = ReplaceLineBreaksIn(entry.text);
}

void CLangDB::BuildCharacterSet() {
    bool present[256] = {false};
    for (const char* c = kDefaultCharacters; *c; ++c)
        present[static_cast<uint8_t>(*c)] = true;
    for (const LangEntry& entry : mEntries)
        for (char c : entry.text)
            present[static_cast<uint8_t>(c)] = true;
    present[uint8_t('\t')] = present[uint8_t('\r')] = present[uint8_t('\n')] = false;
    present[0] = false;   // the set is handed on as a C string

    mCharacters.clear();
    for (int b = 0x80; b <= 0xFF; ++b)
        if (present[b])
            mCharacters += static_cast<char>(b);
    for (int b = 0x01; b <= 0x7F; ++b)
        if (present[b])
            mCharacters += static_cast<char>(b);
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
