// libFuzzer harness for the settings file reader (CEnvironment::ParseXML over
// CXMLParser): any bytes as the file's content, in an exactly sized heap
// block with no NUL after it, so a read past the text is an ASan report.
// Checks: every variable read has names that fit their 32-byte fields; the
// text written back for what was read parses without error into the very
// same text (escaping keeps every name and value intact).
#include <CEnvironment.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::vector<std::string> Sections(CEnvironment& env) {
    std::vector<std::string> sections;
    for (CEnvironmentVariable* v = env.First(); v; v = env.Next()) {
        Check(strlen(v->GetSection()) < CEnvironmentVariable::NAME_SIZE);
        Check(strlen(v->GetName()) < CEnvironmentVariable::NAME_SIZE);
        bool known = false;
        for (const std::string& s : sections)
            known = known || s == v->GetSection();
        if (!known)
            sections.push_back(v->GetSection());
    }
    return sections;
}

std::string Text(const CEnvironment& env, const std::vector<std::string>& sections) {
    std::vector<const char*> list;
    for (const std::string& s : sections)
        list.push_back(s.c_str());
    list.push_back(nullptr);
    return env.BuildText(list.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    if (size)
        memcpy(text.get(), data, size);

    CEnvironment env;
    env.ParseXML(text.get(), int(size));
    const std::vector<std::string> sections = Sections(env);
    const std::string written = Text(env, sections);

    std::unique_ptr<char[]> copy(new char[written.size()]);
    memcpy(copy.get(), written.data(), written.size());
    CEnvironment back;
    Check(back.ParseXML(copy.get(), int(written.size())));
    Check(back.GetCount() == env.GetCount());
    Check(Text(back, sections) == written);
    return 0;
}
