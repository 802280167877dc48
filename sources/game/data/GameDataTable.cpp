#include "GameDataTable.h"

#include <Platform.h>

const char GAME_DATA_FOLDER[] = "../../mediaDemo/Data/";

bool ReadGameDataTable(const char* caller, const std::string& path, TextTable& table) {
    table.clear();
    // The reader cannot tell a missing file from an empty one; the log must.
    if (!PlatFileExists(path)) {
        PlatLog("%s => FAILED can't read \"%s\"", caller, path.c_str());
        return false;
    }
    table = ReadTextTable(path);
    return true;
}
