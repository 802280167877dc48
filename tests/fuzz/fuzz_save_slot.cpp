// libFuzzer harness for reading a save slot's info text from a ".sav" file.
// Each input is read as it is and behind a valid "SaveInfoTag" type id (so
// the fuzzer works on the fields, not on finding the CRC), from memory and
// (the second) through a file as the save screen reads it. A read either fails and leaves the info untouched, or
// gives exactly the string stored after the type id and the length int.
// Then the input (up to a NUL) goes round a written save unchanged.
#include <CObjnet.h>
#include <SaveSlots.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static std::string TempPath() {
    static std::string path;
    if (path.empty()) {
        char tmpl[] = "/tmp/fuzz_save_slot_XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd < 0)
            abort();
        close(fd);
        path = tmpl;
        atexit([] { unlink(path.c_str()); });
    }
    return path;
}

static bool ReadFromFile(const std::string& bytes, std::string& info) {
    const std::string& path = TempPath();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        abort();
    fclose(f);
    CObjnet save;
    if (save.LoadFromFile(path.c_str()) != 0)
        return false;
    return ReadSaveSlotInfo(save, info);
}

static void Check(const std::string& bytes, bool throughFile) {
    CObjnet save;
    save.SetData(bytes.data(), static_cast<int>(bytes.size()));
    std::string info = "untouched";
    const bool ok = ReadSaveSlotInfo(save, info);
    if (!ok && info != "untouched")
        abort();
    if (ok) {
        const uint32_t tag = CObjnet::ComputeTypeId(SAVE_INFO_SIGNATURE);
        if (bytes.size() < 12 || CObjnet::ReadU32At(bytes.data()) != tag)
            abort();
        const uint32_t length = CObjnet::ReadU32At(bytes.data() + 8);
        if (info.size() != length || 12 + size_t(length) > bytes.size())
            abort();
        if (std::memcmp(info.data(), bytes.data() + 12, info.size()) != 0)
            abort();
    }
    if (!throughFile)
        return;
    std::string fromFile = "untouched";
    if (ReadFromFile(bytes, fromFile) != ok || (ok && fromFile != info))
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes, false);

    char tag[4];
    CObjnet::WriteU32At(CObjnet::ComputeTypeId(SAVE_INFO_SIGNATURE), tag);
    Check(std::string(tag, 4) + bytes, true);

    const std::string text = bytes.substr(0, bytes.find('\0'));
    CObjnet written;
    written.StartSignature(SAVE_INFO_SIGNATURE);
    written.WriteInt(static_cast<int32_t>(text.size()));
    written.WriteString(text.c_str());
    written.WriteUInt(1);
    written.End();
    std::string info;
    if (!ReadSaveSlotInfo(written, info) || info != text)
        abort();
    return 0;
}
