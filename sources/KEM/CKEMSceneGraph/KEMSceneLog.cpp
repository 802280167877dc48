#include "KEMSceneLog.h"

#include <CKEMVar.h>
#include <CMarkup.h>
#include <Platform.h>

#include <cstdarg>
#include <cstdio>

namespace KEMSceneLog {

namespace {
std::string& CurrentFile() {
    static std::string file;
    return file;
}
}  // namespace

FileGuard::FileGuard(const char* path) : mPrevious(CurrentFile()) { CurrentFile() = path ? path : ""; }

FileGuard::~FileGuard() { CurrentFile() = mPrevious; }

const char* File() { return CurrentFile().empty() ? "scene" : CurrentFile().c_str(); }

void Value(const std::string& node, const char* attribute, const char* format, ...) {
    char what[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof(what), format, args);
    va_end(args);
    PlatLog("%s: node \"%s\" %s: %s", File(), node.c_str(), attribute ? attribute : "", what);
}

void Record(const std::string& record, const char* attribute, const char* format, ...) {
    char what[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof(what), format, args);
    va_end(args);
    PlatLog("%s: %s %s: %s", File(), record.c_str(), attribute ? attribute : "", what);
}

std::string UnreadableAttribute(CKEMVarList& list, const char* text, const char* listName, size_t index) {
    CMarkup markup(text);
    if (!markup.FindElem("ROOT") || !markup.IntoElem())
        return "";
    for (size_t i = 0; i <= index; ++i)
        if (!markup.FindElem(listName))
            return "";
    markup.IntoElem();
    for (CKEMVar* var = list.GetVarList()->GetHead(); var; var = var->GetNext())
        if (markup.FindElem(var->GetName()) && !var->ReadXml(markup))
            return var->GetName();
    return "";
}

}  // namespace KEMSceneLog
