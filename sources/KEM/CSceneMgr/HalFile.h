// Whole-file write used by the settings store.
#pragma once

// Writes length bytes to path ("wb"), flushed to the disk before it returns.
// 0 on success, -1 when the file cannot be opened, -2 when not every byte
// reached the file (short write, failed flush or close). The file is closed
// in every case. A null path or buffer or a length below 1 is a programming
// error.
int HalWriteFile(const char* path, const void* buffer, int length);
