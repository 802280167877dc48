// libFuzzer harness for the CObjnet reader.
//
// Input: byte 0 = number of read operations k (mod 48), bytes 1..k = the read
// program (one operation per byte), the rest = the object's bytes. The object
// bytes are copied into an exactly sized heap block so that any read outside
// them is an ASan report. Nested objects are read with the same program, to a
// bounded depth. Invariants checked after every operation: the position never
// passes the used size, and a failed object yields zero / null.
#include "CObjnet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void CheckInvariants(const CObjnet& o) {
    Check(o.GetPosition() >= 0);
    Check(o.GetPosition() <= o.GetSize());
    Check(o.GetSize() <= o.GetCapacity() || o.GetData() == nullptr);
    if (o.IsFailed())
        Check(!o.HasMoreData());
}

void Run(CObjnet& o, const uint8_t* program, size_t count, int depth);

void ReadNested(CObjnet* nested, const uint8_t* program, size_t count, int depth) {
    if (nested == nullptr)
        return;
    CheckInvariants(*nested);
    if (depth < 4)
        Run(*nested, program, count, depth + 1);
}

void Run(CObjnet& o, const uint8_t* program, size_t count, int depth) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t op = program[i];
        const bool wasFailed = o.IsFailed();
        switch (op % 24) {
        case 0: o.BeginRead(o.GetTypeId()); break;
        case 1: o.BeginRead(static_cast<uint32_t>(op) * 0x01010101u); break;
        case 2: { int8_t v = o.ReadByte(); if (wasFailed) Check(v == 0); break; }
        case 3: { int16_t v = o.ReadShort(); if (wasFailed) Check(v == 0); break; }
        case 4: { uint16_t v = o.ReadUShort(); if (wasFailed) Check(v == 0); break; }
        case 5: { int32_t v = o.ReadInt(); if (wasFailed) Check(v == 0); break; }
        case 6: { uint32_t v = o.ReadULong(); if (wasFailed) Check(v == 0); break; }
        case 7: { float v = o.ReadFloat(); if (wasFailed) Check(v == 0.0f); break; }
        case 8: { double v = o.ReadDouble(); if (wasFailed) Check(v == 0.0); break; }
        case 9: {
            int len = -1;
            char* s = o.ReadString(&len);
            if (s != nullptr) {
                Check(len >= 0 && std::strlen(s) <= static_cast<size_t>(len));
                Check(s[len] == '\0');
            } else {
                Check(len == 0 && o.IsFailed());
            }
            CObjnet::Free(s);
            break;
        }
        case 10: {
            int len = -1;
            void* b = o.ReadBuffer(&len);
            if (b != nullptr) {
                Check(len > 0);
                volatile uint8_t sum = 0;
                for (int k = 0; k < len; ++k)
                    sum = sum + static_cast<uint8_t*>(b)[k];
            }
            CObjnet::Free(b);
            break;
        }
        case 11: {
            char dst[8];
            const int size = 1 + op % 8;
            int n = o.ReadStringInto(dst, size);
            Check(n >= 0 && n < size);
            Check(std::memchr(dst, '\0', static_cast<size_t>(size)) != nullptr);
            break;
        }
        case 12: {
            uint8_t dst[16];
            const int size = op % 17;
            int n = o.ReadBufferInto(dst, size);
            Check(n >= 0 && n <= size);
            break;
        }
        case 13: {
            CObjnet* nested = o.ReadObject();
            ReadNested(nested, program + i + 1, count - i - 1, depth);
            CObjnet::DeleteObject(nested);
            break;
        }
        case 14: {
            CObjnet* nested = o.ReadObjectShared();
            ReadNested(nested, program + i + 1, count - i - 1, depth);
            CObjnet::DeleteObject(nested);
            break;
        }
        case 15: {
            CObjnet target;
            target.StartSignature("target");
            CObjnet* got = o.ReadObjectInto(&target);
            Check(got == nullptr || got == &target);
            ReadNested(got, program + i + 1, count - i - 1, depth);
            break;
        }
        case 16: {
            uint8_t storage[64];
            CObjnet target;
            target.AttachBuffer(storage, static_cast<int>(op % 65));
            CObjnet* got = o.ReadObjectIntoStorage(&target);
            Check(got == nullptr || got == &target);
            if (got != nullptr)
                Check(got->GetData() == storage || got->GetSize() == 0);
            ReadNested(got, program + i + 1, count - i - 1, depth);
            break;
        }
        case 17: o.ReadObjectInto(nullptr); break;
        case 18: o.Rewind(); break;
        case 19: { bool more = o.HasMoreData(); if (more) Check(!o.IsFailed()); break; }
        case 20: { uint16_t v = o.ReadUShort(); (void)v; break; }
        case 21: { int32_t v = o.ReadLong(); if (wasFailed) Check(v == 0); break; }
        case 22: { uint32_t v = o.ReadUInt(); if (wasFailed) Check(v == 0); break; }
        case 23: {
            // Read the rest as repeated strings, as the settings reader does.
            for (int k = 0; k < 64 && o.HasMoreData(); ++k) {
                char* s = o.ReadString();
                if (s == nullptr)
                    break;
                CObjnet::Free(s);
                o.ReadByte();
            }
            break;
        }
        }
        CheckInvariants(o);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    size_t count = data[0] % 48;
    if (count > size - 1)
        count = size - 1;
    const uint8_t* program = data + 1;
    const size_t objectSize = size - 1 - count;

    // Exactly sized copy: reading one byte past it is an ASan report.
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(objectSize ? objectSize : 1));
    if (objectSize > 0)
        std::memcpy(bytes, program + count, objectSize);

    {
        CObjnet attached;
        attached.AttachBuffer(bytes, static_cast<int>(objectSize));
        CheckInvariants(attached);
        Run(attached, program, count, 0);
    }
    {
        CObjnet copied;
        Check(copied.SetData(bytes, static_cast<int>(objectSize)) == 0);
        CheckInvariants(copied);
        Run(copied, program, count, 0);
        // Re-serialising what was read must stay well-formed.
        CObjnet outer;
        outer.StartSignature("fuzz");
        outer.WriteObject(&copied);
        outer.End();
        Check(outer.GetSize() == 8 + copied.GetSize() || copied.GetSize() == 0);
    }
    std::free(bytes);
    return 0;
}
