#include "CObjnet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "Platform.h"

// Stored objects and LAN peers expect 16/32-bit values big-endian and
// floats/doubles little-endian; both are encoded explicitly, whatever the host.

namespace {

const int32_t kMaxSize = std::numeric_limits<int32_t>::max();

inline void PutBE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

inline uint32_t GetBE32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void PutBE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

inline uint16_t GetBE16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

// True when [p, p + n) lies (even partly) inside [base, base + size).
bool Overlaps(const void* p, size_t n, const uint8_t* base, size_t size) {
    if (p == nullptr || base == nullptr || n == 0 || size == 0)
        return false;
    std::less<const uint8_t*> lt;
    const uint8_t* a = static_cast<const uint8_t*>(p);
    const uint8_t* aEnd = a + n;
    const uint8_t* bEnd = base + size;
    return lt(a, bEnd) && lt(base, aEnd);
}

} // namespace

CObjnet::CObjnet()
    : mTypeId(0), mSize(0), mCapacity(0), mPosition(0), mState(STATE_GOOD), mData(nullptr), mExternal(0) {}

CObjnet::~CObjnet() {
    FreeData();
}

void CObjnet::FreeData() {
    if (mData != nullptr && !mExternal)
        std::free(mData);
    mData = nullptr;
    mExternal = 0;
}

void CObjnet::Fail() {
    mState = STATE_FAILED;
}

// ---- storage -------------------------------------------------------------------

void CObjnet::Reset() {
    FreeData();
    mSize = 0;
    mCapacity = 0;
    mPosition = 0;
    mTypeId = 0;
    mState = STATE_GOOD;
}

bool CObjnet::Grow(size_t n) {
    if (n > static_cast<size_t>(kMaxSize - mSize)) {
        // More than 2 GB of fields: treated like running out of memory.
        FreeData();
        mSize = mCapacity = mPosition = 0;
        Fail();
        return false;
    }
    if (mData == nullptr) {
        // No data yet: exactly n bytes.
        uint8_t* p = static_cast<uint8_t*>(std::malloc(n > 0 ? n : 1));
        if (p == nullptr) {
            mSize = mCapacity = mPosition = 0;
            Fail();
            return false;
        }
        mData = p;
        mExternal = 0;
        mCapacity = static_cast<int32_t>(mSize + n);
        return true;
    }
    if (static_cast<size_t>(mSize) + n <= static_cast<size_t>(mCapacity))
        return true;
    // The block grows to capacity + n + 512 bytes; the capacity becomes
    // size + n + 512 (never more than the block, as size <= capacity).
    size_t newCapacity = static_cast<size_t>(mSize) + n + 512;
    if (newCapacity > static_cast<size_t>(kMaxSize))
        newCapacity = static_cast<size_t>(kMaxSize);
    size_t blockSize = static_cast<size_t>(mCapacity) + n + 512;
    if (blockSize < newCapacity)
        blockSize = newCapacity;
    uint8_t* p;
    if (mExternal) {
        // Someone else's bytes cannot be reallocated: move into our own block.
        p = static_cast<uint8_t*>(std::malloc(blockSize));
        if (p != nullptr && mSize > 0)
            std::memcpy(p, mData, static_cast<size_t>(mSize));
    } else {
        p = static_cast<uint8_t*>(std::realloc(mData, blockSize));
    }
    if (p == nullptr) {
        FreeData();
        mSize = mCapacity = mPosition = 0;
        Fail();
        return false;
    }
    mData = p;
    mExternal = 0;
    mCapacity = static_cast<int32_t>(newCapacity);
    return true;
}

uint8_t* CObjnet::Reserve(size_t n) {
    const int32_t oldSize = mSize;
    if (!Grow(n))
        return nullptr;
    if (mPosition < 0 || mPosition > oldSize)
        mPosition = oldSize;
    if (mPosition < oldSize && n > 0)
        std::memset(mData + oldSize, 0, n);   // never leave the new tail unset
    uint8_t* at = mData + mPosition;
    mSize = oldSize + static_cast<int32_t>(n);
    mPosition += static_cast<int32_t>(n);
    return at;
}

void CObjnet::WriteRaw(const void* bytes, size_t n) {
    if (mState != STATE_GOOD)
        return;
    uint8_t* at = Reserve(n);
    if (at != nullptr && n > 0)
        std::memcpy(at, bytes, n);
}

void CObjnet::WriteLengthAndBytes(const void* bytes, size_t n) {
    if (mState != STATE_GOOD)
        return;
    if (bytes == nullptr)
        n = 0;
    if (n > static_cast<size_t>(kMaxSize) - 4) {
        Fail();
        return;
    }
    // The source may lie inside our own block, which Reserve can move.
    std::vector<uint8_t> copy;
    if (Overlaps(bytes, n, mData, static_cast<size_t>(mCapacity))) {
        const uint8_t* b = static_cast<const uint8_t*>(bytes);
        copy.assign(b, b + n);
        bytes = copy.data();
    }
    uint8_t* at = Reserve(4 + n);
    if (at == nullptr)
        return;
    PutBE32(at, static_cast<uint32_t>(n));
    if (n > 0)
        std::memcpy(at + 4, bytes, n);
}

int CObjnet::SetData(const void* bytes, int length) {
    std::vector<uint8_t> copy;
    if (length < 0 || bytes == nullptr)
        length = 0;
    if (Overlaps(bytes, static_cast<size_t>(length), mData, static_cast<size_t>(mCapacity))) {
        const uint8_t* b = static_cast<const uint8_t*>(bytes);
        copy.assign(b, b + length);
        bytes = copy.data();
    }
    Reset();
    if (length > 0) {
        mData = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length)));
        if (mData == nullptr) {
            Fail();
            return -1;
        }
        std::memcpy(mData, bytes, static_cast<size_t>(length));
        mSize = mCapacity = length;
    }
    Rewind();
    return 0;
}

void CObjnet::AttachBuffer(void* bytes, int length) {
    Reset();
    if (bytes != nullptr && length > 0) {
        mData = static_cast<uint8_t*>(bytes);
        mExternal = 1;
        mSize = mCapacity = length;
    }
    Rewind();
}

void CObjnet::Rewind() {
    mState = STATE_GOOD;
    if (mData == nullptr || mSize < 4) {
        mTypeId = 0;
        mPosition = 0;
        Fail();
        return;
    }
    mTypeId = GetBE32(mData);
    mPosition = 4;
}

int CObjnet::AppendRaw(const void* bytes, int length) {
    if (length <= 0)
        return 0;
    if (bytes == nullptr)
        return -1;
    std::vector<uint8_t> copy;
    if (Overlaps(bytes, static_cast<size_t>(length), mData, static_cast<size_t>(mCapacity))) {
        const uint8_t* b = static_cast<const uint8_t*>(bytes);
        copy.assign(b, b + length);
        bytes = copy.data();
    }
    const bool atEnd = (mPosition == mSize);
    if (!Grow(static_cast<size_t>(length)))
        return -1;
    std::memcpy(mData + mSize, bytes, static_cast<size_t>(length));
    mSize += length;
    if (atEnd)
        mPosition = mSize;
    return 0;
}

// ---- files -----------------------------------------------------------------------

int CObjnet::SaveToFile(const char* path) {
    if (path == nullptr)
        return -1;
    const std::string fixed = PlatFixPath(path);
    FILE* f = std::fopen(fixed.c_str(), "w+b");
    if (f == nullptr)
        return -1;
    int rc = 0;
    if (mData != nullptr && mSize > 0) {
        if (std::fwrite(mData, 1, static_cast<size_t>(mSize), f) != static_cast<size_t>(mSize))
            rc = -1;
    }
    if (std::fclose(f) != 0)
        rc = -1;
    return rc;
}

int CObjnet::LoadFromFile(const char* path) {
    if (path == nullptr)
        return -1;
    const std::string fixed = PlatFixPath(path);
    FILE* f = std::fopen(fixed.c_str(), "rb");
    if (f == nullptr)
        return -1;
    int rc = 0;
    uint8_t chunk[1024];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (AppendRaw(chunk, static_cast<int>(got)) != 0) {
            rc = -1;
            break;
        }
    }
    if (std::ferror(f))
        rc = -1;
    std::fclose(f);
    Rewind();
    if (mState != STATE_GOOD)
        rc = -1;
    return rc;
}

// ---- writing -------------------------------------------------------------------------

void CObjnet::Start(uint32_t typeId, const char* /*label*/) {
    mTypeId = typeId;
    mPosition = 0;
    mSize = 0;
    mState = STATE_GOOD;
    uint8_t b[4];
    PutBE32(b, typeId);
    WriteRaw(b, 4);
}

void CObjnet::StartSignature(const char* text) {
    Start(ComputeTypeId(text), text);
}

void CObjnet::WriteByte(uint8_t value, const char* /*label*/) {
    WriteRaw(&value, 1);
}

void CObjnet::WriteShort(int16_t value, const char* label) {
    WriteUShort(static_cast<uint16_t>(value), label);
}

void CObjnet::WriteUShort(uint16_t value, const char* /*label*/) {
    uint8_t b[2];
    PutBE16(b, value);
    WriteRaw(b, 2);
}

void CObjnet::WriteInt(int32_t value, const char* label) {
    WriteUInt(static_cast<uint32_t>(value), label);
}

void CObjnet::WriteUInt(uint32_t value, const char* /*label*/) {
    uint8_t b[4];
    PutBE32(b, value);
    WriteRaw(b, 4);
}

void CObjnet::WriteString(const char* text, const char* /*label*/) {
    WriteLengthAndBytes(text, text != nullptr ? std::strlen(text) : 0);
}

void CObjnet::WriteBuffer(const void* bytes, int length, const char* /*label*/) {
    WriteLengthAndBytes(bytes, length > 0 ? static_cast<size_t>(length) : 0);
}

void CObjnet::WriteObject(const CObjnet* object, const char* /*label*/) {
    if (object == nullptr || object->mData == nullptr || object->mSize <= 0) {
        WriteLengthAndBytes(nullptr, 0);
        return;
    }
    WriteLengthAndBytes(object->mData, static_cast<size_t>(object->mSize));
}

void CObjnet::WriteLong(int32_t value, const char* label) {
    WriteUInt(static_cast<uint32_t>(value), label);
}

void CObjnet::WriteULong(uint32_t value, const char* label) {
    WriteUInt(value, label);
}

void CObjnet::WriteFloat(float value, const char* /*label*/) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    uint8_t b[4];
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(bits >> (8 * i));
    WriteRaw(b, 4);
}

void CObjnet::WriteDouble(double value, const char* /*label*/) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(bits >> (8 * i));
    WriteRaw(b, 8);
}

void CObjnet::End() {}

// ---- reading -------------------------------------------------------------------------

bool CObjnet::HasMoreData() const {
    return mPosition < mSize && mState == STATE_GOOD;
}

int CObjnet::BeginRead(uint32_t typeId) {
    mState = STATE_GOOD;
    mPosition = 0;
    if (mData == nullptr || mSize < 4) {
        Fail();
        return -1;
    }
    mTypeId = GetBE32(mData);
    mPosition = 4;
    if (mTypeId != typeId) {
        Fail();
        return -1;
    }
    return 0;
}

int CObjnet::BeginReadSignature(const char* text) {
    return BeginRead(ComputeTypeId(text));
}

bool CObjnet::Take(void* dst, size_t n) {
    if (mState != STATE_GOOD || mData == nullptr || mPosition < 0 || mPosition > mSize ||
        static_cast<size_t>(mSize - mPosition) < n) {
        std::memset(dst, 0, n);
        Fail();
        return false;
    }
    std::memcpy(dst, mData + mPosition, n);
    mPosition += static_cast<int32_t>(n);
    return true;
}

bool CObjnet::TakeLength(uint32_t& length) {
    uint8_t b[4];
    length = 0;
    if (!Take(b, 4))
        return false;
    const uint32_t stored = GetBE32(b);
    if (stored > static_cast<uint32_t>(mSize - mPosition)) {
        Fail();
        return false;
    }
    length = stored;
    return true;
}

int8_t CObjnet::ReadByte() {
    uint8_t b;
    Take(&b, 1);
    return static_cast<int8_t>(b);
}

int16_t CObjnet::ReadShort() {
    return static_cast<int16_t>(ReadUShort());
}

uint16_t CObjnet::ReadUShort() {
    uint8_t b[2];
    Take(b, 2);
    return GetBE16(b);
}

int32_t CObjnet::ReadInt() {
    return static_cast<int32_t>(ReadUInt());
}

uint32_t CObjnet::ReadUInt() {
    uint8_t b[4];
    Take(b, 4);
    return GetBE32(b);
}

int32_t CObjnet::ReadLong() {
    return ReadInt();
}

uint32_t CObjnet::ReadULong() {
    return ReadUInt();
}

float CObjnet::ReadFloat() {
    uint8_t b[4];
    Take(b, 4);
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(b[i]) << (8 * i);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

double CObjnet::ReadDouble() {
    uint8_t b[8];
    Take(b, 8);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(b[i]) << (8 * i);
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

char* CObjnet::ReadString(int* outLength) {
    uint32_t length;
    if (!TakeLength(length)) {
        if (outLength != nullptr)
            *outLength = 0;
        return nullptr;
    }
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (text == nullptr) {
        Fail();
        if (outLength != nullptr)
            *outLength = 0;
        return nullptr;
    }
    if (length > 0)
        std::memcpy(text, mData + mPosition, length);
    text[length] = '\0';
    mPosition += static_cast<int32_t>(length);
    if (outLength != nullptr)
        *outLength = static_cast<int>(length);
    return text;
}

void* CObjnet::ReadBuffer(int* outLength) {
    uint32_t length;
    if (!TakeLength(length)) {
        if (outLength != nullptr)
            *outLength = 0;
        return nullptr;
    }
    if (length == 0)
        return nullptr;
    void* block = std::malloc(length);
    if (block == nullptr) {
        Fail();
        if (outLength != nullptr)
            *outLength = 0;
        return nullptr;
    }
    std::memcpy(block, mData + mPosition, length);
    mPosition += static_cast<int32_t>(length);
    if (outLength != nullptr)
        *outLength = static_cast<int>(length);
    return block;
}

CObjnet* CObjnet::ReadObjectInto(CObjnet* target) {
    uint32_t length;
    if (!TakeLength(length))
        return nullptr;
    const uint8_t* src = mData + mPosition;
    mPosition += static_cast<int32_t>(length);
    if (target == nullptr || length == 0)
        return nullptr;
    // SetData copies first when src lies inside the target's own block.
    if (target->SetData(src, static_cast<int>(length)) != 0)
        return nullptr;
    return target;
}

CObjnet* CObjnet::ReadObject() {
    uint32_t length;
    if (!TakeLength(length) || length == 0)
        return nullptr;
    CObjnet* object = new (std::nothrow) CObjnet();
    if (object == nullptr || object->SetData(mData + mPosition, static_cast<int>(length)) != 0) {
        delete object;
        Fail();
        return nullptr;
    }
    mPosition += static_cast<int32_t>(length);
    return object;
}

CObjnet* CObjnet::ReadObjectIntoStorage(CObjnet* target) {
    uint32_t length;
    if (!TakeLength(length))
        return nullptr;
    const uint8_t* src = mData + mPosition;
    mPosition += static_cast<int32_t>(length);
    if (target == nullptr || length == 0)
        return nullptr;
    if (target->mData == nullptr || static_cast<uint32_t>(target->mCapacity) < length)
        return nullptr;
    std::memmove(target->mData, src, length);
    target->mSize = static_cast<int32_t>(length);
    target->Rewind();
    return target;
}

CObjnet* CObjnet::ReadObjectShared() {
    uint32_t length;
    if (!TakeLength(length) || length == 0)
        return nullptr;
    CObjnet* object = new (std::nothrow) CObjnet();
    if (object == nullptr) {
        Fail();
        return nullptr;
    }
    object->AttachBuffer(mData + mPosition, static_cast<int>(length));
    mPosition += static_cast<int32_t>(length);
    return object;
}

int CObjnet::ReadBufferInto(void* dst, int size) {
    uint32_t length;
    if (!TakeLength(length))
        return 0;
    size_t count = 0;
    if (dst != nullptr && size > 0)
        count = length < static_cast<uint32_t>(size) ? length : static_cast<size_t>(size);
    if (count > 0)
        std::memcpy(dst, mData + mPosition, count);
    mPosition += static_cast<int32_t>(length);
    return static_cast<int>(count);
}

int CObjnet::ReadStringInto(char* dst, int size) {
    uint32_t length;
    if (!TakeLength(length)) {
        if (dst != nullptr && size > 0)
            dst[0] = '\0';
        return 0;
    }
    if (length == 0) {
        if (dst != nullptr && size > 0)
            std::memset(dst, 0, static_cast<size_t>(size));
        return 0;
    }
    size_t count = 0;
    if (dst != nullptr && size > 0) {
        count = length < static_cast<uint32_t>(size - 1) ? length : static_cast<size_t>(size - 1);
        if (count > 0)
            std::memcpy(dst, mData + mPosition, count);
        dst[count] = '\0';
    }
    mPosition += static_cast<int32_t>(length);
    return static_cast<int>(count);
}

void CObjnet::DeleteObject(CObjnet* object) {
    delete object;
}

void CObjnet::Free(void* block) {
    std::free(block);
}

int CObjnet::GetStatus() const {
    return mState == STATE_GOOD ? 0 : -1;
}

// ---- static helpers --------------------------------------------------------------------

uint32_t CObjnet::ComputeTypeId(const char* text) {
    return KEMCrc32String(text);
}

uint32_t CObjnet::Crc32(const void* bytes, int length) {
    if (length < 1)
        return 0;
    return KEMCrc32(bytes, static_cast<size_t>(length));
}

void CObjnet::WriteU32At(uint32_t value, void* address) {
    PutBE32(static_cast<uint8_t*>(address), value);
}

uint32_t CObjnet::ReadU32At(const void* address) {
    return GetBE32(static_cast<const uint8_t*>(address));
}

void CObjnet::WriteU16At(uint16_t value, void* address) {
    PutBE16(static_cast<uint8_t*>(address), value);
}

uint16_t CObjnet::ReadU16At(const void* address) {
    return GetBE16(static_cast<const uint8_t*>(address));
}
