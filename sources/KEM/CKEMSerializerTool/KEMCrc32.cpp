#include "KEMCrc32.h"

#include <cstring>

namespace {

struct Crc32Table {
    uint32_t entry[256];
    Crc32Table() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            entry[n] = c;
        }
    }
};

// Built once, on first use (thread-safe local static).
const Crc32Table& Table() {
    static const Crc32Table table;
    return table;
}

} // namespace

uint32_t KEMCrc32Update(uint32_t crc, const void* data, size_t length) {
    if (data == nullptr || length == 0)
        return crc;
    const uint32_t* t = Table().entry;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = t[(c ^ p[i]) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t KEMCrc32(const void* data, size_t length) {
    return KEMCrc32Update(0, data, length);
}

uint32_t KEMCrc32String(const char* text) {
    if (text == nullptr)
        return 0;
    return KEMCrc32(text, std::strlen(text));
}
