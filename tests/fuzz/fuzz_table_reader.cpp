// libFuzzer harness for the ";" table reader. Each input is
// read twice: from a file through ReadTextTable (the Ogre file stream path
// the game uses) and from memory; both must agree, and every row must hold
// only non-empty fields without ";" or line feeds. For inputs without NUL
// bytes (where the engine's stream cuts a chunk short) the result must also
// equal a plain reference reading of the table format.
#include <KEMStringUtils.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

static std::string TempPath() {
    static std::string path;
    if (path.empty()) {
        char tmpl[] = "/tmp/fuzz_table_reader_XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd < 0)
            abort();
        close(fd);
        path = tmpl;
        atexit([] { unlink(path.c_str()); });
    }
    return path;
}

static bool IsEdge(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The table format, read independently: lines at LF, both ends
// trimmed of blank, tab and CR, empty lines skipped, fields split at ";"
// with empty fields dropped.
static TextTable Reference(const std::string& bytes) {
    TextTable table;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        size_t b = start, e = end;
        while (b < e && IsEdge(bytes[b]))
            ++b;
        while (e > b && IsEdge(bytes[e - 1]))
            --e;
        TextTableRow row;
        std::string field;
        for (size_t i = b; i < e; ++i) {
            if (bytes[i] == ';') {
                if (!field.empty())
                    row.push_back(field);
                field.clear();
            } else {
                field += bytes[i];
            }
        }
        if (!field.empty())
            row.push_back(field);
        if (!row.empty())
            table.push_back(row);
        start = end + 1;
    }
    return table;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string& path = TempPath();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    if (size && fwrite(bytes.data(), 1, size, f) != size)
        abort();
    fclose(f);

    TextTable fromFile = ReadTextTable(path);
    TextTable fromMemory = ReadTextTableFromString(bytes);
    if (fromFile != fromMemory)
        abort();

    for (const TextTableRow& row : fromFile) {
        if (row.empty())
            abort();
        for (size_t i = 0; i < row.size(); ++i) {
            const std::string& field = row[i];
            if (field.empty() || field.find(';') != std::string::npos || field.find('\n') != std::string::npos)
                abort();
        }
    }
    if (bytes.find('\0') == std::string::npos && fromFile != Reference(bytes))
        abort();

    // The splitter on its own, with the input's first bytes as delimiters.
    if (size > 2) {
        std::string delims = bytes.substr(0, 2);
        unsigned int maxSplits = data[2] % 4;
        std::vector<std::string> pieces = SplitString(bytes.substr(3), delims, maxSplits);
        if (maxSplits && pieces.size() > maxSplits + 1)
            abort();
        for (const std::string& p : pieces)
            if (p.empty())
                abort();
    }
    return 0;
}
