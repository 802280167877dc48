// libFuzzer harness for CEnvironment::UnserializeSection: any bytes as the
// nested "environment" object a LAN peer sends. The bytes sit in an exactly
// sized heap block, so a read past them is an ASan report. Checks: every
// variable taken has names that fit their 32-byte fields and a valid type;
// each section then packs and unpacks again into the same values.
#include <CEnvironment.h>
#include <CObjnet.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

bool SameValue(const CEnvironmentVariable* a, const CEnvironmentVariable* b) {
    if (!a || !b || a->GetType() != b->GetType())
        return false;
    switch (a->GetType()) {
    case CEnvironmentVariable::TYPE_INT:
        return a->GetInt() == b->GetInt();
    case CEnvironmentVariable::TYPE_FLOAT: {
        const float fa = a->GetFloat(), fb = b->GetFloat();
        return memcmp(&fa, &fb, sizeof(float)) == 0;
    }
    case CEnvironmentVariable::TYPE_STRING:
        return strcmp(a->GetString(), b->GetString()) == 0;
    default:
        return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> block(data, data + size);
    CObjnet source;
    source.AttachBuffer(block.data(), int(block.size()));

    CEnvironment env;
    env.GetVariable("S", "kept", true)->SetInt(1);
    const int result = env.UnserializeSection(&source);
    Check(result == 0 || result == -1);

    std::vector<std::string> sections;
    for (CEnvironmentVariable* v = env.First(); v; v = env.Next()) {
        Check(strlen(v->GetSection()) < CEnvironmentVariable::NAME_SIZE);
        Check(strlen(v->GetName()) < CEnvironmentVariable::NAME_SIZE);
        Check(v->GetType() >= CEnvironmentVariable::TYPE_NONE && v->GetType() <= CEnvironmentVariable::TYPE_STRING);
        if (v->GetType() == CEnvironmentVariable::TYPE_STRING)
            Check(v->GetString() != nullptr);
        bool known = false;
        for (const std::string& s : sections)
            known = known || s == v->GetSection();
        if (!known)
            sections.push_back(v->GetSection());
    }

    for (const std::string& section : sections) {
        CObjnet message;
        message.StartSignature("message");
        env.SerializeSection(&message, section.c_str());
        message.End();
        Check(message.BeginReadSignature("message") == 0);
        std::unique_ptr<CObjnet> nested(message.ReadObject());
        Check(nested != nullptr);

        CEnvironment copy;
        Check(copy.UnserializeSection(nested.get()) == 0);
        for (CEnvironmentVariable* v = env.First(); v; v = env.Next()) {
            if (section != v->GetSection())
                continue;
            const CEnvironmentVariable* w = copy.GetVariable(v->GetSection(), v->GetName(), false);
            Check(w != nullptr);
            // An untyped variable is created but carries no value.
            Check(v->GetType() == CEnvironmentVariable::TYPE_NONE || SameValue(v, w));
        }
    }
    return 0;
}
