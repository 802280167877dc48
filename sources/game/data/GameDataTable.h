// Reading of the game's ";" data tables ("../../mediaDemo/Data/").
#pragma once

#include <KEMStringUtils.h>

#include <string>

// The folder of the data tables, relative to the working directory.
extern const char GAME_DATA_FOLDER[];

// Reads the table at path into table (row 0 is the header). False, with an
// empty table and a log line naming the caller, when the file cannot be
// read; an existing file that holds no row reads as an empty table.
bool ReadGameDataTable(const char* caller, const std::string& path, TextTable& table);

// The row's field, or the empty text when the row is shorter.
inline const std::string& TableField(const TextTableRow& row, size_t index) {
    static const std::string empty;
    return index < row.size() ? row[index] : empty;
}
