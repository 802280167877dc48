// The engine's binary object (LAN messages, save slots, particle
// files, settings sections).
//
// Byte format of one object:
//   bytes 0-3   type id, u32 big-endian (normally the CRC-32 of a signature)
//   then fields, untagged, in the order written:
//     byte                1 byte
//     short, ushort       2 bytes big-endian
//     int/uint/long/ulong 4 bytes big-endian (long is 32-bit)
//     float               4 bytes IEEE single, little-endian
//     double              8 bytes IEEE double, little-endian
//     string              u32 big-endian length N, then N characters, no NUL
//     buffer              u32 big-endian length N, then N bytes
//     object              u32 big-endian length N, then the nested object
//
// Reading is bounded: a read that would pass the used size, or a string,
// buffer or object whose length is larger than what remains, fails. A failed
// read sets the state to failed and gives zero / null (and an empty string
// for ReadStringInto); once failed, every further read gives zero / null
// until Start, BeginRead, Rewind, Reset (or what is built on them) clears it.
// No read ever touches a byte outside [data, data + used size).
//
// Integers, type ids and lengths are always big-endian, floats always
// little-endian: the byte layout stored objects and LAN peers rely on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "KEMCrc32.h"

// The default field label. Labels never reach the bytes.
#define OBJNET_NO_NAME "NO NAME"

class CObjnet {
public:
    enum State : uint8_t { STATE_GOOD = 0, STATE_FAILED = 255 };

    // Empty object: no data, state good, not external.
    CObjnet();
    virtual ~CObjnet();
    CObjnet(const CObjnet&) = delete;
    CObjnet& operator=(const CObjnet&) = delete;

    // ---- virtual operations, in slot order ----------------------
    // Frees owned data; size, capacity, position, type id and state 0.
    virtual void Reset();
    // fopen "w+b" (the path's "\\" turned into "/"), one fwrite of the used
    // bytes. 0, or -1 when the file cannot be opened or written.
    virtual int SaveToFile(const char* path);
    // Appends the file's bytes (1024-byte chunks) after the bytes already held
    // (load into a new or reset object), then Rewind. 0, or -1 when the file
    // cannot be opened, memory runs out, or the result holds no type id (fewer
    // than 4 bytes: the state is then failed).
    virtual int LoadFromFile(const char* path);

    // Writing. Start sets the type id, size, position and state to 0 (keeping
    // the storage) and writes the 4-byte type id. A write on a failed object
    // does nothing.
    virtual void Start(uint32_t typeId, const char* label = OBJNET_NO_NAME);
    virtual void StartSignature(const char* text);
    virtual void WriteByte(uint8_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteShort(int16_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteUShort(uint16_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteInt(int32_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteUInt(uint32_t value, const char* label = OBJNET_NO_NAME);
    // The text up to its NUL; null writes the empty string.
    virtual void WriteString(const char* text, const char* label = OBJNET_NO_NAME);
    // Null bytes or a length below 1 write an empty buffer (length word 0).
    virtual void WriteBuffer(const void* bytes, int length, const char* label = OBJNET_NO_NAME);
    // Length (the nested object's used size) + all its bytes, type id first.
    // Null writes an empty field (length 0), which readers return as null.
    virtual void WriteObject(const CObjnet* object, const char* label = OBJNET_NO_NAME);
    virtual void WriteLong(int32_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteULong(uint32_t value, const char* label = OBJNET_NO_NAME);
    virtual void WriteFloat(float value, const char* label = OBJNET_NO_NAME);
    virtual void WriteDouble(double value, const char* label = OBJNET_NO_NAME);
    virtual void End();

    // Position < used size and state not failed.
    virtual bool HasMoreData() const;
    // State good, position 0, reads the stored type id; equal: position 4,
    // 0; different (or fewer than 4 bytes): state failed, -1.
    virtual int BeginRead(uint32_t typeId);
    virtual int BeginReadSignature(const char* text);

    virtual int8_t ReadByte();
    virtual int16_t ReadShort();
    virtual uint16_t ReadUShort();
    virtual int32_t ReadInt();
    virtual uint32_t ReadUInt();
    virtual float ReadFloat();
    virtual double ReadDouble();
    // malloc'd NUL-terminated copy (release with Free); length 0 gives a
    // malloc'd "". Failure (truncated, too long, no memory): state failed,
    // null, *outLength = 0.
    virtual char* ReadString(int* outLength = nullptr);
    // malloc'd copy (release with Free); length 0 gives null and leaves
    // *outLength untouched. Failure: state failed, null, *outLength = 0.
    virtual void* ReadBuffer(int* outLength = nullptr);
    // Copies the nested object into target (data replaced, type id read,
    // position 4) and returns target; null for an empty field or a null
    // target (the field is skipped). A nested object shorter than 4 bytes
    // leaves the target failed.
    virtual CObjnet* ReadObjectInto(CObjnet* target);
    // A new object (delete it with DeleteObject) holding a copy of the nested
    // bytes, ready to read; null for an empty field or on failure.
    virtual CObjnet* ReadObject();
    // Copies the nested bytes into target's existing storage when its
    // capacity suffices (size set, Rewind) and returns target; otherwise the
    // field is skipped and null returned; empty field: null.
    virtual CObjnet* ReadObjectIntoStorage(CObjnet* target);
    // A new object attached without copying to the nested bytes inside this
    // one (valid while this object's data lives); empty field: null.
    virtual CObjnet* ReadObjectShared();
    // Copies min(length, size) bytes into dst and returns that count; the
    // position always advances by the whole stored length.
    virtual int ReadBufferInto(void* dst, int size);
    // Copies at most size - 1 characters and a NUL; a stored length of 0
    // zero-fills the whole destination and returns 0; otherwise returns the
    // count copied. The position advances by the whole stored length.
    virtual int ReadStringInto(char* dst, int size);
    // Deletes an object returned by ReadObject or ReadObjectShared (null: nothing).
    static void DeleteObject(CObjnet* object);
    // free() of a block returned by ReadString or ReadBuffer.
    static void Free(void* block);
    virtual int32_t ReadLong();
    virtual uint32_t ReadULong();
    // 0 when the state is good, -1 when failed.
    virtual int GetStatus() const;

    // ---- inline helpers with the default label --------------------------------
    void WriteFloatNoName(float value) { WriteFloat(value, OBJNET_NO_NAME); }
    void WriteIntNoName(int32_t value) { WriteInt(value, OBJNET_NO_NAME); }
    void WriteUIntNoName(uint32_t value) { WriteUInt(value, OBJNET_NO_NAME); }

    // ---- other interfaces ------------------------------------------------------
    // Reset, copy of the bytes, Rewind. 0, or -1 when memory runs out. Fewer
    // than 4 bytes leave the object failed (no type id), still returning 0.
    int SetData(const void* bytes, int length);
    // Reset, then works on the caller's bytes in place (never freed here);
    // size = capacity = length; Rewind. Writes stay inside those bytes while
    // they fit; a write that needs more moves the data into owned storage.
    void AttachBuffer(void* bytes, int length);
    // State good, type id read from bytes 0-3, position 4. Fewer than 4
    // bytes: state failed, type id 0, position 0.
    void Rewind();
    // Appends raw bytes after the used size (whatever the state); when the
    // position was at the end it stays at the end. 0 or -1.
    int AppendRaw(const void* bytes, int length);

    uint8_t* GetData() { return mData; }
    const uint8_t* GetData() const { return mData; }
    uint32_t GetTypeId() const { return mTypeId; }
    int GetSize() const { return mSize; }
    int GetCapacity() const { return mCapacity; }
    int GetPosition() const { return mPosition; }
    bool IsFailed() const { return mState != STATE_GOOD; }
    bool IsExternal() const { return mExternal != 0; }

    // CRC-32 of a text without its NUL (the type id of a signature).
    static uint32_t ComputeTypeId(const char* text);
    // CRC-32 of length bytes; 0 for a length below 1.
    static uint32_t Crc32(const void* bytes, int length);

    // Length-prefix helpers for the LAN framing: big-endian at a byte address.
    static void WriteU32At(uint32_t value, void* address);
    static uint32_t ReadU32At(const void* address);
    static void WriteU16At(uint16_t value, void* address);
    static uint16_t ReadU16At(const void* address);

private:
    // Makes room for size + n bytes by the growth rule; false
    // (state failed, storage freed, sizes 0) when memory runs out.
    bool Grow(size_t n);
    // Room for n more bytes at the position; returns where to store them, or
    // null (state failed) when memory runs out.
    uint8_t* Reserve(size_t n);
    void WriteRaw(const void* bytes, size_t n);
    // A length word and the bytes (string, buffer, object fields).
    void WriteLengthAndBytes(const void* bytes, size_t n);
    // Bounded read of n bytes into dst; zero-fills dst and fails when they
    // are not all there or the state is failed.
    bool Take(void* dst, size_t n);
    // Reads a length word and checks that many bytes remain. On success the
    // position is on the first payload byte.
    bool TakeLength(uint32_t& length);
    void Fail();
    void FreeData();

    uint32_t mTypeId;
    int32_t mSize;       // bytes written or loaded
    int32_t mCapacity;   // bytes usable at mData
    int32_t mPosition;   // next write / read offset
    uint8_t mState;      // STATE_GOOD or STATE_FAILED
    uint8_t* mData;      // malloc block, or an external buffer
    uint8_t mExternal;   // 1: mData belongs to someone else
};
