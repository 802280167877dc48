// The engine's one hash: the standard CRC-32 (IEEE 802.3 / zlib), reflected
// polynomial 0xEDB88320, initial value 0xFFFFFFFF, final complement.
// Used for CObjnet type ids, sound buffer names, script event names and
// joystick product names.
#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 of length bytes; 0 for an empty input (or a null pointer).
uint32_t KEMCrc32(const void* data, size_t length);

// Running form, zlib convention: start with crc = 0 and feed the previous
// result back in; KEMCrc32Update(KEMCrc32(a), b) == KEMCrc32(a followed by b).
uint32_t KEMCrc32Update(uint32_t crc, const void* data, size_t length);

// CRC-32 of a text's characters without the NUL; 0 for null or "".
uint32_t KEMCrc32String(const char* text);
