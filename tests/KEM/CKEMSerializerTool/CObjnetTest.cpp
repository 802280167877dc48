// CObjnet byte format, reading, nesting, files and the bounded
// reads of a short or truncated object.
#include "CObjnet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes BytesOf(const CObjnet& o) {
    const uint8_t* d = o.GetData();
    return d ? Bytes(d, d + o.GetSize()) : Bytes();
}

// The bytes written after the 4-byte type id.
Bytes Fields(const CObjnet& o) {
    Bytes all = BytesOf(o);
    return all.size() >= 4 ? Bytes(all.begin() + 4, all.end()) : Bytes();
}

Bytes Be32(uint32_t v) {
    return Bytes{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "objnet_" + std::to_string(getpid()) + "_" + name;
}

} // namespace

// ---- CRC-32 ------------------------------------------------------------------------------

TEST(Crc32, StandardCheckValues) {
    EXPECT_EQ(0xCBF43926u, KEMCrc32("123456789", 9));     // the CRC-32/ISO-HDLC check value
    EXPECT_EQ(0x4626DE22u, KEMCrc32String("environment"));
    EXPECT_EQ(0xE8B7BE43u, KEMCrc32String("a"));
    EXPECT_EQ(0u, KEMCrc32String(""));
    EXPECT_EQ(0u, KEMCrc32String(nullptr));
    EXPECT_EQ(0u, KEMCrc32(nullptr, 5));
}

TEST(Crc32, RunningFormChains) {
    const char* text = "CNetClient::e_keepalive()";
    const size_t n = std::strlen(text);
    for (size_t cut = 0; cut <= n; ++cut)
        EXPECT_EQ(KEMCrc32(text, n), KEMCrc32Update(KEMCrc32(text, cut), text + cut, n - cut)) << cut;
}

TEST(Crc32, ObjnetEntryPoints) {
    EXPECT_EQ(0x4626DE22u, CObjnet::ComputeTypeId("environment"));
    EXPECT_EQ(0xFD93624Eu, CObjnet::ComputeTypeId("SaveInfoTag"));
    EXPECT_EQ(0xCBF43926u, CObjnet::Crc32("123456789", 9));
    EXPECT_EQ(0u, CObjnet::Crc32("abc", 0));
    EXPECT_EQ(0u, CObjnet::Crc32("abc", -3));
}

// ---- bytes exact ---------------------------------------------------------------------------

TEST(CObjnetBytes, SignatureIsBigEndianCrc) {
    CObjnet o;
    o.StartSignature("environment");
    o.End();
    EXPECT_EQ((Bytes{0x46, 0x26, 0xDE, 0x22}), BytesOf(o));
    EXPECT_EQ(0x4626DE22u, o.GetTypeId());
    EXPECT_EQ(4, o.GetSize());
    EXPECT_EQ(0, o.GetStatus());
}

TEST(CObjnetBytes, StartWritesTheGivenId) {
    CObjnet o;
    o.Start(0x01020304u, "label");
    EXPECT_EQ((Bytes{1, 2, 3, 4}), BytesOf(o));
}

TEST(CObjnetBytes, IntegersAreBigEndian) {
    CObjnet o;
    o.StartSignature("ints");
    o.WriteInt(1, "one");
    o.WriteShort(-2, "minus two");
    o.WriteUShort(0xABCD);
    o.WriteUInt(0xDEADBEEFu);
    o.WriteLong(-1);
    o.WriteULong(0x80000000u);
    o.WriteByte(0x7F);
    o.WriteIntNoName(0x12345678);
    o.WriteUIntNoName(258);
    EXPECT_EQ((Bytes{0, 0, 0, 1, 0xFF, 0xFE, 0xAB, 0xCD, 0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF, 0xFF, 0xFF,
                     0x80, 0, 0, 0, 0x7F, 0x12, 0x34, 0x56, 0x78, 0, 0, 1, 2}),
              Fields(o));
}

TEST(CObjnetBytes, FloatsAreLittleEndian) {
    CObjnet o;
    o.StartSignature("floats");
    o.WriteFloat(1.0f);
    o.WriteFloatNoName(-2.5f);
    o.WriteDouble(1.0);
    EXPECT_EQ((Bytes{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x20, 0xC0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), Fields(o));
}

TEST(CObjnetBytes, StringsAndBuffersHaveBigEndianLengths) {
    CObjnet o;
    o.StartSignature("texts");
    o.WriteString("abc");
    o.WriteString("");
    o.WriteString(nullptr);
    const uint8_t raw[3] = {9, 0, 8};
    o.WriteBuffer(raw, 3);
    o.WriteBuffer(raw, 0);
    o.WriteBuffer(nullptr, 12);
    EXPECT_EQ(Cat({Be32(3), Text("abc"), Be32(0), Be32(0), Be32(3), Bytes{9, 0, 8}, Be32(0), Be32(0)}), Fields(o));
}

TEST(CObjnetBytes, LongStringLengthUsesAllFourBytes) {
    std::string big(70000, 'x');
    CObjnet o;
    o.StartSignature("big");
    o.WriteString(big.c_str());
    Bytes f = Fields(o);
    ASSERT_EQ(4u + 70000u, f.size());
    EXPECT_EQ(Be32(70000), Bytes(f.begin(), f.begin() + 4));
}

TEST(CObjnetBytes, NestedObjectsCarryTheirTypeId) {
    CObjnet empty;
    empty.StartSignature("environment");
    empty.End();

    CObjnet inner;
    inner.StartSignature("inner");
    inner.WriteInt(7);
    inner.WriteString("hi");
    inner.WriteObject(&empty);
    inner.End();

    CObjnet outer;
    outer.StartSignature("outer");
    outer.WriteObject(&inner);
    outer.WriteObject(nullptr);
    outer.End();

    const Bytes innerBytes = Cat({Be32(KEMCrc32String("inner")), Be32(7), Be32(2), Text("hi"), Be32(4),
                                  Bytes{0x46, 0x26, 0xDE, 0x22}});
    EXPECT_EQ(innerBytes, BytesOf(inner));
    EXPECT_EQ(Cat({Be32(KEMCrc32String("outer")), Be32(uint32_t(innerBytes.size())), innerBytes, Be32(0)}),
              BytesOf(outer));
    // The nested objects are unchanged and still the caller's.
    EXPECT_EQ(innerBytes, BytesOf(inner));
}

TEST(CObjnetBytes, WriteObjectOfItselfCopiesTheBytesBefore) {
    CObjnet o;
    o.StartSignature("self");
    o.WriteInt(5);
    const Bytes before = BytesOf(o);
    o.WriteObject(&o);
    EXPECT_EQ(Cat({before, Be32(uint32_t(before.size())), before}), BytesOf(o));
}

TEST(CObjnetBytes, ReserveGrowsBySizePlus512) {
    CObjnet o;
    o.StartSignature("grow");
    EXPECT_EQ(4, o.GetCapacity());
    o.WriteByte(1);
    EXPECT_EQ(4 + 1 + 512, o.GetCapacity());
    const uint8_t* block = o.GetData();
    for (int i = 0; i < 512; ++i)
        o.WriteByte(uint8_t(i));
    EXPECT_EQ(517, o.GetSize());
    EXPECT_EQ(517, o.GetCapacity());
    EXPECT_EQ(block, o.GetData());
    o.WriteByte(0);
    EXPECT_EQ(517 + 1 + 512, o.GetCapacity());
}

TEST(CObjnetBytes, StartReusesTheStorage) {
    CObjnet o;
    o.StartSignature("first");
    for (int i = 0; i < 100; ++i)
        o.WriteInt(i);
    const int capacity = o.GetCapacity();
    o.StartSignature("second");
    EXPECT_EQ(4, o.GetSize());
    EXPECT_EQ(capacity, o.GetCapacity());
    EXPECT_EQ(Be32(KEMCrc32String("second")), BytesOf(o));
}

TEST(CObjnetBytes, U32AndU16AtAreBigEndian) {
    uint8_t b[4] = {0};
    CObjnet::WriteU32At(0x11223344u, b);
    EXPECT_EQ((Bytes{0x11, 0x22, 0x33, 0x44}), Bytes(b, b + 4));
    EXPECT_EQ(0x11223344u, CObjnet::ReadU32At(b));
    CObjnet::WriteU16At(0xA1B2, b);
    EXPECT_EQ(0xA1, b[0]);
    EXPECT_EQ(0xB2, b[1]);
    EXPECT_EQ(0xA1B2, CObjnet::ReadU16At(b));
}

// ---- reading ---------------------------------------------------------------------------------

TEST(CObjnetRead, RoundTripOfEveryKind) {
    CObjnet w;
    w.StartSignature("all kinds");
    w.WriteByte(0xF0);
    w.WriteShort(-2);
    w.WriteUShort(65535);
    w.WriteInt(-123456);
    w.WriteUInt(4000000000u);
    w.WriteLong(-7);
    w.WriteULong(7);
    w.WriteFloat(0.25f);
    w.WriteDouble(-1e300);
    w.WriteString("hello");
    const char raw[] = {1, 2, 3, 4, 5};
    w.WriteBuffer(raw, 5);
    w.End();

    CObjnet r;
    ASSERT_EQ(0, r.SetData(w.GetData(), w.GetSize()));
    ASSERT_EQ(0, r.BeginReadSignature("all kinds"));
    EXPECT_EQ(int8_t(-16), r.ReadByte());
    EXPECT_EQ(-2, r.ReadShort());
    EXPECT_EQ(65535, r.ReadUShort());
    EXPECT_EQ(-123456, r.ReadInt());
    EXPECT_EQ(4000000000u, r.ReadUInt());
    EXPECT_EQ(-7, r.ReadLong());
    EXPECT_EQ(7u, r.ReadULong());
    EXPECT_EQ(0.25f, r.ReadFloat());
    EXPECT_EQ(-1e300, r.ReadDouble());
    int len = -1;
    char* s = r.ReadString(&len);
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ("hello", s);
    EXPECT_EQ(5, len);
    r.Free(s);
    EXPECT_TRUE(r.HasMoreData());
    void* b = r.ReadBuffer(&len);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(5, len);
    EXPECT_EQ(0, std::memcmp(raw, b, 5));
    CObjnet::Free(b);
    EXPECT_FALSE(r.HasMoreData());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetRead, EmptyStringAndBuffer) {
    CObjnet w;
    w.StartSignature("empty");
    w.WriteString("");
    w.WriteBuffer(nullptr, 0);
    w.WriteString("");
    w.WriteString("");
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("empty"));
    int len = 99;
    char* s = r.ReadString(&len);
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ("", s);
    EXPECT_EQ(0, len);
    CObjnet::Free(s);
    len = 99;
    EXPECT_EQ(nullptr, r.ReadBuffer(&len));
    EXPECT_EQ(99, len);   // untouched for an empty buffer
    char dst[6];
    std::memset(dst, 'z', sizeof dst);
    EXPECT_EQ(0, r.ReadStringInto(dst, sizeof dst));
    for (char c : dst)
        EXPECT_EQ(0, c);
    // An empty string read into a buffer that is not filled: the whole destination.
    std::memset(dst, 'z', sizeof dst);
    EXPECT_EQ(0, r.ReadStringInto(dst, 3));
    EXPECT_EQ(0, dst[0]);
    EXPECT_EQ(0, dst[2]);
    EXPECT_EQ('z', dst[3]);
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetRead, WrongSignatureFails) {
    CObjnet w;
    w.StartSignature("environment");
    w.WriteInt(42);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    EXPECT_EQ(-1, r.BeginReadSignature("environmenT"));
    EXPECT_EQ(-1, r.GetStatus());
    EXPECT_TRUE(r.IsFailed());
    EXPECT_FALSE(r.HasMoreData());
    EXPECT_EQ(0, r.ReadInt());          // a failed object reads nothing
    EXPECT_EQ(nullptr, r.ReadString());
    EXPECT_EQ(0x4626DE22u, r.GetTypeId());
    // BeginRead clears the failure.
    EXPECT_EQ(0, r.BeginReadSignature("environment"));
    EXPECT_EQ(0, r.GetStatus());
    EXPECT_EQ(42, r.ReadInt());
    EXPECT_EQ(-1, r.BeginRead(0x4626DE23u));
}

TEST(CObjnetRead, DispatchBySuccessiveSignatures) {
    // The LAN dispatcher tries several signatures in turn on one message.
    CObjnet w;
    w.StartSignature("CNetClient::e_chat_message(string msg)");
    w.WriteString("salut");
    CObjnet r;
    r.AttachBuffer(w.GetData(), w.GetSize());
    EXPECT_EQ(CObjnet::ComputeTypeId("CNetClient::e_chat_message(string msg)"), r.GetTypeId());
    EXPECT_EQ(-1, r.BeginReadSignature("CNetClient::e_keepalive()"));
    EXPECT_EQ(-1, r.BeginReadSignature("CNetClient::a_leave_player(int index)"));
    ASSERT_EQ(0, r.BeginReadSignature("CNetClient::e_chat_message(string msg)"));
    char text[32];
    EXPECT_EQ(5, r.ReadStringInto(text, sizeof text));
    EXPECT_STREQ("salut", text);
}

TEST(CObjnetRead, ReadStringIntoTruncatesAndStaysAligned) {
    CObjnet w;
    w.StartSignature("s");
    w.WriteString("abcdefghij");
    w.WriteInt(77);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("s"));
    char dst[4];
    EXPECT_EQ(3, r.ReadStringInto(dst, sizeof dst));
    EXPECT_STREQ("abc", dst);
    EXPECT_EQ(77, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetRead, ReadBufferIntoSmallDestinationSkipsTheWholeField) {
    CObjnet w;
    w.StartSignature("b");
    const uint8_t raw[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    w.WriteBuffer(raw, 10);
    w.WriteShort(-300);
    w.WriteBuffer(raw, 2);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("b"));
    uint8_t dst[4] = {0};
    EXPECT_EQ(4, r.ReadBufferInto(dst, sizeof dst));
    EXPECT_EQ((Bytes{1, 2, 3, 4}), Bytes(dst, dst + 4));
    EXPECT_EQ(-300, r.ReadShort());
    uint8_t big[16] = {0};
    EXPECT_EQ(2, r.ReadBufferInto(big, sizeof big));
    EXPECT_EQ(1, big[0]);
    EXPECT_EQ(2, big[1]);
    EXPECT_EQ(0, big[2]);
    EXPECT_FALSE(r.HasMoreData());
    EXPECT_EQ(0, r.GetStatus());
}

namespace {

// outer { int 1, object mid { string "mid", object leaf { float 2.5, ushort 9 } }, int 3 }
Bytes NestedSample() {
    CObjnet leaf;
    leaf.StartSignature("leaf");
    leaf.WriteFloat(2.5f);
    leaf.WriteUShort(9);
    leaf.End();
    CObjnet mid;
    mid.StartSignature("mid");
    mid.WriteString("mid");
    mid.WriteObject(&leaf);
    mid.End();
    CObjnet outer;
    outer.StartSignature("outer");
    outer.WriteInt(1);
    outer.WriteObject(&mid);
    outer.WriteInt(3);
    outer.End();
    return BytesOf(outer);
}

void ExpectLeaf(CObjnet* leaf) {
    ASSERT_NE(nullptr, leaf);
    EXPECT_EQ(CObjnet::ComputeTypeId("leaf"), leaf->GetTypeId());
    EXPECT_EQ(4, leaf->GetPosition());
    ASSERT_EQ(0, leaf->BeginReadSignature("leaf"));
    EXPECT_EQ(2.5f, leaf->ReadFloat());
    EXPECT_EQ(9, leaf->ReadUShort());
    EXPECT_FALSE(leaf->HasMoreData());
    EXPECT_EQ(0, leaf->GetStatus());
}

} // namespace

TEST(CObjnetNested, ReadObjectCopies) {
    Bytes bytes = NestedSample();
    CObjnet r;
    r.SetData(bytes.data(), int(bytes.size()));
    ASSERT_EQ(0, r.BeginReadSignature("outer"));
    EXPECT_EQ(1, r.ReadInt());
    CObjnet* mid = r.ReadObject();
    ASSERT_NE(nullptr, mid);
    EXPECT_FALSE(mid->IsExternal());
    ASSERT_EQ(0, mid->BeginReadSignature("mid"));
    char name[8];
    mid->ReadStringInto(name, sizeof name);
    EXPECT_STREQ("mid", name);
    CObjnet* leaf = mid->ReadObject();
    ExpectLeaf(leaf);
    mid->DeleteObject(leaf);
    EXPECT_FALSE(mid->HasMoreData());
    r.DeleteObject(mid);
    EXPECT_EQ(3, r.ReadInt());
    EXPECT_FALSE(r.HasMoreData());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetNested, ReadObjectSharedPointsInside) {
    Bytes bytes = NestedSample();
    CObjnet r;
    r.AttachBuffer(bytes.data(), int(bytes.size()));
    ASSERT_EQ(0, r.BeginReadSignature("outer"));
    r.ReadInt();
    CObjnet* mid = r.ReadObjectShared();
    ASSERT_NE(nullptr, mid);
    EXPECT_TRUE(mid->IsExternal());
    EXPECT_EQ(bytes.data() + 12, mid->GetData());
    ASSERT_EQ(0, mid->BeginReadSignature("mid"));
    char* name = mid->ReadString();
    EXPECT_STREQ("mid", name);
    CObjnet::Free(name);
    CObjnet* leaf = mid->ReadObjectShared();
    ExpectLeaf(leaf);
    CObjnet::DeleteObject(leaf);
    CObjnet::DeleteObject(mid);
    EXPECT_EQ(3, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
    EXPECT_EQ(NestedSample(), bytes);   // nothing written into the caller's bytes
}

TEST(CObjnetNested, ReadObjectIntoReusesOneObject) {
    // The particle file reads its modifier records into one reusable object.
    CObjnet w;
    w.StartSignature("records");
    for (int i = 0; i < 3; ++i) {
        CObjnet rec;
        rec.StartSignature("rec");
        rec.WriteInt(i * 10);
        w.WriteObject(&rec);
    }
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("records"));
    CObjnet reuse;
    int seen = 0;
    while (r.HasMoreData()) {
        reuse.Reset();
        ASSERT_EQ(&reuse, r.ReadObjectInto(&reuse));
        reuse.Rewind();
        ASSERT_EQ(0, reuse.BeginReadSignature("rec"));
        EXPECT_EQ(seen * 10, reuse.ReadInt());
        ++seen;
    }
    EXPECT_EQ(3, seen);
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetNested, ReadObjectIntoWithoutTargetSkips) {
    Bytes bytes = NestedSample();
    CObjnet r;
    r.SetData(bytes.data(), int(bytes.size()));
    ASSERT_EQ(0, r.BeginReadSignature("outer"));
    r.ReadInt();
    EXPECT_EQ(nullptr, r.ReadObjectInto(nullptr));
    EXPECT_EQ(3, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetNested, ReadObjectIntoStorageNeedsCapacity) {
    Bytes bytes = NestedSample();
    CObjnet r;
    r.SetData(bytes.data(), int(bytes.size()));
    ASSERT_EQ(0, r.BeginReadSignature("outer"));
    r.ReadInt();

    // Too small: skipped, null, next field aligned.
    CObjnet small;
    small.StartSignature("x");
    EXPECT_EQ(nullptr, r.ReadObjectIntoStorage(&small));
    EXPECT_EQ(3, r.ReadInt());

    // Big enough: the bytes land in the target's own block.
    ASSERT_EQ(0, r.BeginReadSignature("outer"));
    r.ReadInt();
    uint8_t storage[256];
    CObjnet target;
    target.AttachBuffer(storage, sizeof storage);
    ASSERT_EQ(&target, r.ReadObjectIntoStorage(&target));
    EXPECT_EQ(storage, target.GetData());
    EXPECT_EQ(CObjnet::ComputeTypeId("mid"), target.GetTypeId());
    ASSERT_EQ(0, target.BeginReadSignature("mid"));
    char* name = target.ReadString();
    EXPECT_STREQ("mid", name);
    CObjnet::Free(name);
    CObjnet* leaf = target.ReadObject();
    ExpectLeaf(leaf);
    CObjnet::DeleteObject(leaf);
    EXPECT_EQ(3, r.ReadInt());
}

TEST(CObjnetNested, EmptyFieldGivesNull) {
    CObjnet w;
    w.StartSignature("e");
    for (int i = 0; i < 4; ++i)
        w.WriteObject(nullptr);
    w.WriteInt(5);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("e"));
    CObjnet target;
    EXPECT_EQ(nullptr, r.ReadObject());
    EXPECT_EQ(nullptr, r.ReadObjectShared());
    EXPECT_EQ(nullptr, r.ReadObjectInto(&target));
    EXPECT_EQ(nullptr, r.ReadObjectIntoStorage(&target));
    EXPECT_EQ(5, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetNested, NestedObjectShorterThanATypeIdIsFailed) {
    CObjnet w;
    w.StartSignature("e");
    const uint8_t two[2] = {1, 2};
    w.WriteBuffer(two, 2);     // an "object" field of 2 bytes
    w.WriteInt(8);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("e"));
    CObjnet* o = r.ReadObject();
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(-1, o->GetStatus());
    EXPECT_FALSE(o->HasMoreData());
    EXPECT_EQ(0, o->ReadInt());
    EXPECT_EQ(-1, o->BeginReadSignature("anything"));
    CObjnet::DeleteObject(o);
    EXPECT_EQ(8, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetNested, SettingsSectionLayout) {
    // CEnvironment::SerializeSection: "environment", section name, then per
    // variable its name, type byte and value, nested in the target.
    CObjnet section;
    section.StartSignature("environment");
    section.WriteString("QUICKMATCHPARAMS");
    section.WriteString("NbPlayers");
    section.WriteByte(1);
    section.WriteInt(2);
    section.WriteString("Speed");
    section.WriteByte(2);
    section.WriteFloat(0.5f);
    section.WriteString("Stage");
    section.WriteByte(3);
    section.WriteString("marseille");
    section.End();
    CObjnet message;
    message.StartSignature("CNetClient::e_host_start_game(object gameparams)");
    message.WriteObject(&section);
    message.End();

    CObjnet r;
    r.AttachBuffer(message.GetData(), message.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("CNetClient::e_host_start_game(object gameparams)"));
    CObjnet* s = r.ReadObject();
    ASSERT_NE(nullptr, s);
    ASSERT_EQ(0, s->BeginReadSignature("environment"));
    char* name = s->ReadString();
    EXPECT_STREQ("QUICKMATCHPARAMS", name);
    CObjnet::Free(name);
    int count = 0;
    while (s->HasMoreData()) {
        char* var = s->ReadString();
        if (var == nullptr)
            break;
        int type = s->ReadByte();
        if (type == 1) {
            EXPECT_STREQ("NbPlayers", var);
            EXPECT_EQ(2, s->ReadInt());
        } else if (type == 2) {
            EXPECT_STREQ("Speed", var);
            EXPECT_EQ(0.5f, s->ReadFloat());
        } else if (type == 3) {
            EXPECT_STREQ("Stage", var);
            char* v = s->ReadString();
            EXPECT_STREQ("marseille", v);
            CObjnet::Free(v);
        }
        CObjnet::Free(var);
        ++count;
    }
    EXPECT_EQ(3, count);
    EXPECT_EQ(0, s->GetStatus());
    CObjnet::DeleteObject(s);
}

// ---- storage -----------------------------------------------------------------------------------

TEST(CObjnetStorage, ResetAndRewind) {
    CObjnet o;
    EXPECT_EQ(0, o.GetStatus());
    EXPECT_FALSE(o.HasMoreData());
    o.Rewind();                        // no type id to read
    EXPECT_EQ(-1, o.GetStatus());
    o.Reset();
    EXPECT_EQ(0, o.GetStatus());
    EXPECT_EQ(nullptr, o.GetData());
    EXPECT_EQ(0, o.GetSize());
    EXPECT_EQ(0, o.GetCapacity());
    EXPECT_EQ(0u, o.GetTypeId());
    o.StartSignature("x");
    o.WriteInt(3);
    o.Rewind();
    EXPECT_EQ(0, o.GetStatus());
    EXPECT_EQ(4, o.GetPosition());
    EXPECT_EQ(3, o.ReadInt());
}

TEST(CObjnetStorage, SetDataCopies) {
    Bytes bytes = Cat({Be32(CObjnet::ComputeTypeId("c")), Be32(11)});
    CObjnet o;
    ASSERT_EQ(0, o.SetData(bytes.data(), int(bytes.size())));
    bytes[7] = 99;
    EXPECT_EQ(4, o.GetPosition());
    EXPECT_EQ(11, o.ReadInt());
    // SetData from its own bytes is safe too.
    ASSERT_EQ(0, o.SetData(o.GetData(), o.GetSize()));
    EXPECT_EQ(0, o.BeginReadSignature("c"));
    EXPECT_EQ(11, o.ReadInt());
    // Fewer than 4 bytes: no type id, failed.
    EXPECT_EQ(0, o.SetData(bytes.data(), 3));
    EXPECT_EQ(-1, o.GetStatus());
}

TEST(CObjnetStorage, AttachedBufferIsWrittenInPlaceUntilFull) {
    // The LAN manager builds its messages in fixed buffers.
    std::vector<uint8_t> fixed(16, 0xAA);
    CObjnet o;
    o.AttachBuffer(fixed.data(), int(fixed.size()));
    EXPECT_TRUE(o.IsExternal());
    o.StartSignature("CNetClient::e_keepalive()");
    o.WriteInt(0x01020304);
    EXPECT_EQ(fixed.data(), o.GetData());
    EXPECT_EQ(8, o.GetSize());
    EXPECT_EQ(Cat({Be32(0x5C56458A), Be32(0x01020304)}), Bytes(fixed.begin(), fixed.begin() + 8));
    o.WriteInt(5);
    o.WriteInt(6);
    EXPECT_EQ(fixed.data(), o.GetData());
    EXPECT_EQ(16, o.GetSize());
    // One more field does not fit: the object moves into storage of its own.
    o.WriteInt(7);
    EXPECT_NE(fixed.data(), o.GetData());
    EXPECT_FALSE(o.IsExternal());
    EXPECT_EQ(20, o.GetSize());
    EXPECT_EQ(Cat({Bytes(fixed.begin(), fixed.end()), Be32(7)}), BytesOf(o));
    // The caller's bytes hold what was written while they fitted and are
    // never freed by the object (ASan would say).
    o.Reset();
    EXPECT_EQ(16u, fixed.size());
    EXPECT_EQ(Be32(6), Bytes(fixed.begin() + 12, fixed.end()));
}

TEST(CObjnetStorage, AppendRaw) {
    CObjnet o;
    const Bytes head = Be32(CObjnet::ComputeTypeId("raw"));
    EXPECT_EQ(0, o.AppendRaw(head.data(), 4));
    const Bytes tail = Be32(44);
    EXPECT_EQ(0, o.AppendRaw(tail.data(), 4));
    EXPECT_EQ(0, o.AppendRaw(nullptr, 0));
    EXPECT_EQ(-1, o.AppendRaw(nullptr, 3));
    EXPECT_EQ(8, o.GetSize());
    o.WriteInt(55);   // the write position followed the appended bytes
    ASSERT_EQ(0, o.BeginReadSignature("raw"));
    EXPECT_EQ(44, o.ReadInt());
    EXPECT_EQ(55, o.ReadInt());
}

TEST(CObjnetStorage, WritesOnAFailedObjectAreIgnoredUntilStart) {
    CObjnet o;
    o.StartSignature("a");
    o.WriteInt(1);
    ASSERT_EQ(-1, o.BeginReadSignature("b"));
    const Bytes before = BytesOf(o);
    o.WriteInt(2);
    o.WriteString("ignored");
    EXPECT_EQ(before, BytesOf(o));
    o.StartSignature("c");
    EXPECT_EQ(0, o.GetStatus());
    o.WriteInt(3);
    EXPECT_EQ(Cat({Be32(CObjnet::ComputeTypeId("c")), Be32(3)}), BytesOf(o));
}

// ---- files ---------------------------------------------------------------------------------------

TEST(CObjnetFile, SaveAndLoadRoundTrip) {
    CObjnet w;
    w.StartSignature("SaveInfoTag");
    w.WriteInt(9);
    w.WriteString("Coupe 3/5");
    std::string filler(3000, 'f');   // more than a few 1024-byte chunks
    w.WriteString(filler.c_str());
    w.End();
    const std::string path = TempPath("save.sav");
    ASSERT_EQ(0, w.SaveToFile(path.c_str()));

    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f);
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(long(w.GetSize()), std::ftell(f));   // exactly the bytes
    std::fclose(f);

    CObjnet r;
    ASSERT_EQ(0, r.LoadFromFile(path.c_str()));
    EXPECT_EQ(BytesOf(w), BytesOf(r));
    EXPECT_EQ(4, r.GetPosition());
    ASSERT_EQ(0, r.BeginReadSignature("SaveInfoTag"));
    EXPECT_EQ(9, r.ReadInt());
    char* info = r.ReadString();
    EXPECT_STREQ("Coupe 3/5", info);
    CObjnet::Free(info);
    std::remove(path.c_str());
}

TEST(CObjnetFile, BackslashPathsWork) {
    const std::string dir = TempPath("dir");
    ASSERT_EQ(0, ::mkdir(dir.c_str(), 0700));
    CObjnet w;
    w.StartSignature("p");
    const std::string windowsPath = dir + "\\slot.sav";
    ASSERT_EQ(0, w.SaveToFile(windowsPath.c_str()));
    CObjnet r;
    EXPECT_EQ(0, r.LoadFromFile((dir + "/slot.sav").c_str()));
    EXPECT_EQ(0, r.BeginReadSignature("p"));
    std::remove((dir + "/slot.sav").c_str());
    ::rmdir(dir.c_str());
}

TEST(CObjnetFile, MissingShortAndUnwritableFiles) {
    CObjnet o;
    EXPECT_EQ(-1, o.LoadFromFile(TempPath("does_not_exist").c_str()));
    EXPECT_EQ(-1, o.LoadFromFile(nullptr));

    const std::string path = TempPath("short");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite("ab", 1, 2, f);
    std::fclose(f);
    CObjnet s;
    EXPECT_EQ(-1, s.LoadFromFile(path.c_str()));
    EXPECT_EQ(-1, s.GetStatus());
    EXPECT_EQ(0, s.ReadInt());
    std::remove(path.c_str());

    CObjnet w;
    w.StartSignature("x");
    EXPECT_EQ(-1, w.SaveToFile("/nonexistent-dir-objnet/x.sav"));
    EXPECT_EQ(-1, w.SaveToFile(nullptr));
}

// ---- short and truncated objects -------------------------------------------------------------------

TEST(CObjnetBounds, ReadsPastTheEndFailWithZero) {
    CObjnet w;
    w.StartSignature("short");
    w.WriteShort(5);
    CObjnet r;
    r.SetData(w.GetData(), w.GetSize());
    ASSERT_EQ(0, r.BeginReadSignature("short"));
    EXPECT_EQ(0, r.ReadInt());            // only 2 bytes remain
    EXPECT_EQ(-1, r.GetStatus());
    EXPECT_EQ(0, r.ReadShort());          // failed: zero from now on
    EXPECT_EQ(0.0f, r.ReadFloat());
    EXPECT_EQ(0.0, r.ReadDouble());
    EXPECT_EQ(0, r.ReadByte());
    int len = 7;
    EXPECT_EQ(nullptr, r.ReadString(&len));
    EXPECT_EQ(0, len);
    len = 7;
    EXPECT_EQ(nullptr, r.ReadBuffer(&len));
    EXPECT_EQ(0, len);
    EXPECT_EQ(nullptr, r.ReadObject());
    EXPECT_EQ(nullptr, r.ReadObjectShared());
    char dst[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(0, r.ReadStringInto(dst, sizeof dst));
    EXPECT_EQ(0, dst[0]);
    EXPECT_EQ(0, r.ReadBufferInto(dst, sizeof dst));
    EXPECT_FALSE(r.HasMoreData());
    // Rewind starts again.
    r.Rewind();
    EXPECT_EQ(5, r.ReadShort());
    EXPECT_EQ(0, r.GetStatus());
}

TEST(CObjnetBounds, TypeIdOnlyAndEmptyObjects) {
    CObjnet r;
    EXPECT_EQ(-1, r.BeginRead(0));        // no bytes at all
    EXPECT_EQ(0, r.ReadInt());
    const uint8_t three[3] = {1, 2, 3};
    r.AttachBuffer(const_cast<uint8_t*>(three), 3);
    EXPECT_EQ(-1, r.GetStatus());
    EXPECT_EQ(-1, r.BeginRead(0x01020300u));
    EXPECT_EQ(0, r.ReadByte());
    const Bytes four = Be32(CObjnet::ComputeTypeId("only"));
    r.AttachBuffer(const_cast<uint8_t*>(four.data()), 4);
    ASSERT_EQ(0, r.BeginReadSignature("only"));
    EXPECT_FALSE(r.HasMoreData());
    EXPECT_EQ(0, r.ReadByte());
    EXPECT_EQ(-1, r.GetStatus());
}

TEST(CObjnetBounds, LengthsLargerThanWhatRemainsFail) {
    const uint32_t id = CObjnet::ComputeTypeId("len");
    const uint32_t lengths[] = {5, 6, 100, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    for (uint32_t length : lengths) {
        // 4 payload bytes follow the length word, always fewer than claimed.
        const Bytes bytes = Cat({Be32(id), Be32(length), Text("abcd")});
        CObjnet r;
        r.SetData(bytes.data(), int(bytes.size()));
        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadString()) << length;
        EXPECT_EQ(-1, r.GetStatus());

        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadBuffer()) << length;
        EXPECT_EQ(-1, r.GetStatus());

        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadObject()) << length;
        EXPECT_EQ(-1, r.GetStatus());

        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadObjectShared()) << length;
        EXPECT_EQ(-1, r.GetStatus());

        CObjnet target;
        target.StartSignature("t");
        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadObjectInto(&target)) << length;
        EXPECT_EQ(-1, r.GetStatus());
        EXPECT_EQ(Be32(CObjnet::ComputeTypeId("t")), BytesOf(target));   // untouched

        uint8_t storage[64];
        target.AttachBuffer(storage, sizeof storage);
        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(nullptr, r.ReadObjectIntoStorage(&target)) << length;
        EXPECT_EQ(-1, r.GetStatus());

        char dst[64];
        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(0, r.ReadStringInto(dst, sizeof dst)) << length;
        EXPECT_EQ(0, dst[0]);
        EXPECT_EQ(-1, r.GetStatus());

        ASSERT_EQ(0, r.BeginRead(id));
        EXPECT_EQ(0, r.ReadBufferInto(dst, sizeof dst)) << length;
        EXPECT_EQ(-1, r.GetStatus());
    }
    // Exactly what remains is fine.
    const Bytes exact = Cat({Be32(id), Be32(4), Text("abcd")});
    CObjnet r;
    r.SetData(exact.data(), int(exact.size()));
    ASSERT_EQ(0, r.BeginRead(id));
    char* s = r.ReadString();
    EXPECT_STREQ("abcd", s);
    CObjnet::Free(s);
    EXPECT_EQ(0, r.GetStatus());
}

namespace {

// One value per field read by ReadEverything; zero / empty when the read failed.
struct ReadResult {
    std::vector<double> numbers;
    std::vector<std::string> texts;
    int status = 0;
    bool operator==(const ReadResult& o) const {
        return numbers == o.numbers && texts == o.texts && status == o.status;
    }
};

std::string TakeString(CObjnet& r) {
    int len = -1;
    char* s = r.ReadString(&len);
    std::string out = s ? std::string(s, size_t(len)) : std::string("<null>");
    if (s == nullptr) {
        EXPECT_EQ(0, len);
    }
    CObjnet::Free(s);
    return out;
}

// Reads the sample written by WriteEverything, whatever the bytes hold.
ReadResult ReadEverything(CObjnet& r) {
    ReadResult out;
    out.numbers.push_back(r.BeginReadSignature("everything"));
    out.numbers.push_back(r.ReadByte());
    out.numbers.push_back(r.ReadShort());
    out.numbers.push_back(r.ReadUShort());
    out.numbers.push_back(r.ReadInt());
    out.numbers.push_back(r.ReadUInt());
    out.numbers.push_back(r.ReadFloat());
    out.numbers.push_back(r.ReadDouble());
    out.texts.push_back(TakeString(r));
    out.texts.push_back(TakeString(r));
    int len = -1;
    void* b = r.ReadBuffer(&len);
    out.texts.push_back(b ? std::string(static_cast<char*>(b), size_t(len)) : "<null>");
    CObjnet::Free(b);
    char small[4];
    out.numbers.push_back(r.ReadStringInto(small, sizeof small));
    out.texts.push_back(small);
    uint8_t buf[3] = {0, 0, 0};
    out.numbers.push_back(r.ReadBufferInto(buf, sizeof buf));
    out.texts.push_back(std::string(reinterpret_cast<char*>(buf), 3));
    CObjnet* nested = r.ReadObject();
    if (nested) {
        out.numbers.push_back(nested->BeginReadSignature("nested"));
        out.numbers.push_back(nested->ReadInt());
        out.texts.push_back(TakeString(*nested));
        out.numbers.push_back(nested->GetStatus());
        CObjnet::DeleteObject(nested);
    } else {
        out.texts.push_back("<no nested>");
    }
    CObjnet* shared = r.ReadObjectShared();
    if (shared) {
        out.numbers.push_back(shared->BeginReadSignature("nested"));
        out.numbers.push_back(shared->ReadInt());
        out.texts.push_back(TakeString(*shared));
        CObjnet::DeleteObject(shared);
    } else {
        out.texts.push_back("<no shared>");
    }
    out.numbers.push_back(r.ReadLong());
    out.numbers.push_back(r.HasMoreData());
    out.status = r.GetStatus();
    return out;
}

Bytes WriteEverything() {
    CObjnet nested;
    nested.StartSignature("nested");
    nested.WriteInt(-99);
    nested.WriteString("inner text");
    nested.End();
    CObjnet w;
    w.StartSignature("everything");
    w.WriteByte(0x81);
    w.WriteShort(-1234);
    w.WriteUShort(54321);
    w.WriteInt(-7654321);
    w.WriteUInt(0xCAFEBABEu);
    w.WriteFloat(3.5f);
    w.WriteDouble(-0.125);
    w.WriteString("hello world");
    w.WriteString("");
    w.WriteBuffer("\x01\x02\x03\x04\x05", 5);
    w.WriteString("truncated");
    w.WriteBuffer("xyz12", 5);
    w.WriteObject(&nested);
    w.WriteObject(&nested);
    w.WriteLong(31337);
    w.End();
    return BytesOf(w);
}

} // namespace

TEST(CObjnetBounds, CompleteSampleReadsBack) {
    const Bytes bytes = WriteEverything();
    CObjnet r;
    r.SetData(bytes.data(), int(bytes.size()));
    ReadResult full = ReadEverything(r);
    EXPECT_EQ(0, full.status);
    EXPECT_EQ(0.0, full.numbers.front());      // BeginReadSignature succeeded
    EXPECT_EQ(0.0, full.numbers.back());       // HasMoreData at the end: false
    EXPECT_EQ(31337.0, full.numbers[full.numbers.size() - 2]);
    EXPECT_EQ("hello world", full.texts[0]);
    EXPECT_EQ("", full.texts[1]);
    EXPECT_EQ("tru", full.texts[3]);
    EXPECT_EQ("xyz", full.texts[4]);
    EXPECT_EQ("inner text", full.texts[5]);
    EXPECT_EQ("inner text", full.texts[6]);
}

TEST(CObjnetBounds, TruncationAtEveryByteFailsSafely) {
    const Bytes bytes = WriteEverything();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(bytes.size()));
        // Exactly sized heap copies, read both copied and in place.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[cut ? cut : 1]);
        std::memcpy(exact.get(), bytes.data(), cut);

        CObjnet copied;
        copied.SetData(exact.get(), int(cut));
        ReadResult a = ReadEverything(copied);
        EXPECT_EQ(-1, a.status);
        EXPECT_FALSE(copied.HasMoreData());
        EXPECT_LE(copied.GetPosition(), copied.GetSize());

        CObjnet attached;
        attached.AttachBuffer(exact.get(), int(cut));
        ReadResult b = ReadEverything(attached);
        EXPECT_TRUE(a == b);
        EXPECT_LE(attached.GetPosition(), attached.GetSize());
    }
}

TEST(CObjnetBounds, TruncatedFieldsReadAsZeroAfterTheCut) {
    // Cut inside the UInt field: everything before it reads right, the UInt
    // and every later field read as zero / null.
    const Bytes bytes = WriteEverything();
    const size_t uintOffset = 4 + 1 + 2 + 2 + 4;
    CObjnet r;
    r.SetData(bytes.data(), int(uintOffset + 2));
    ASSERT_EQ(0, r.BeginReadSignature("everything"));
    EXPECT_EQ(int8_t(0x81), r.ReadByte());
    EXPECT_EQ(-1234, r.ReadShort());
    EXPECT_EQ(54321, r.ReadUShort());
    EXPECT_EQ(-7654321, r.ReadInt());
    EXPECT_EQ(0, r.GetStatus());
    EXPECT_EQ(0u, r.ReadUInt());
    EXPECT_EQ(-1, r.GetStatus());
    EXPECT_EQ(0.0f, r.ReadFloat());
    EXPECT_EQ(nullptr, r.ReadString());
}
