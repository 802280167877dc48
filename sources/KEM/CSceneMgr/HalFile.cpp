#include "HalFile.h"

#include <KEMException.h>

#include <cstdio>
#include <unistd.h>

int HalWriteFile(const char* path, const void* buffer, int length) {
    KEM_ASSERT(path != nullptr && buffer != nullptr && length >= 1);
    FILE* file = fopen(path, "wb");
    if (!file)
        return -1;
    bool ok = fwrite(buffer, 1, size_t(length), file) == size_t(length);
    // A full disk often shows only when the buffered bytes are flushed.
    ok = fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    return ok ? 0 : -2;
}
