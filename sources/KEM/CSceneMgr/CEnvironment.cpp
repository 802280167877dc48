#include "CEnvironment.h"

#include "CXMLParser.h"
#include "HalFile.h"

#include <CObjnet.h>
#include <KEMException.h>
#include <Platform.h>

#include <OgreArchive.h>
#include <OgreDataStream.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// ============================================================================
// CEnvironmentVariable
// ============================================================================

namespace {

char* CopyText(const char* text) {
    if (!text)
        text = "";
    const size_t n = strlen(text);
    char* copy = new char[n + 1];
    memcpy(copy, text, n + 1);
    return copy;
}

int ClampToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);   // truncates toward zero
}

float ClampToFloat(double value) {
    if (value > double(FLT_MAX))
        return HUGE_VALF;
    if (value < -double(FLT_MAX))
        return -HUGE_VALF;
    return float(value);
}

// atoi without the overflow: out-of-range values saturate.
int TextToInt(const char* text) {
    const long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return int(v);
}

float TextToFloat(const char* text) { return ClampToFloat(atof(text)); }

bool FitsName(const char* name) { return name && strlen(name) < CEnvironmentVariable::NAME_SIZE; }

}  // namespace

CEnvironmentVariable::CEnvironmentVariable(const char* section, const char* name) {
    KEM_ASSERT(FitsName(section) && FitsName(name));
    strcpy(mSection, section);
    strcpy(mName, name);
    mValue.i = 0;
}

CEnvironmentVariable::~CEnvironmentVariable() {
    FreeValue();
}

void CEnvironmentVariable::FreeValue() {
    if (mType == TYPE_STRING) {
        delete[] mValue.s;
        mType = TYPE_NONE;
        mValue.i = 0;
    }
}

int CEnvironmentVariable::SetInt(int value) {
    FreeValue();
    mType = TYPE_INT;
    mValue.i = value;
    return value;
}

void CEnvironmentVariable::SetFloat(float value) {
    FreeValue();
    mType = TYPE_FLOAT;
    mValue.f = value;
}

void CEnvironmentVariable::SetString(const char* text) {
    char* copy = CopyText(text);   // before freeing: text may be our own value
    FreeValue();
    mType = TYPE_STRING;
    mValue.s = copy;
}

const char* CEnvironmentVariable::ToString() const {
    static char buffer[64];
    switch (mType) {
    case TYPE_INT:
        snprintf(buffer, sizeof(buffer), "%d", mValue.i);
        return buffer;
    case TYPE_FLOAT: {
        snprintf(buffer, sizeof(buffer), "%g", double(mValue.f));
        // A bare integer would reload as an int: "2" is written "2.".
        const char* p = buffer + ((buffer[0] == '-' || buffer[0] == '+') ? 1 : 0);
        bool digitsOnly = *p != '\0';
        for (; *p; ++p)
            if (*p < '0' || *p > '9')
                digitsOnly = false;
        if (digitsOnly && strlen(buffer) + 1 < sizeof(buffer))
            strcat(buffer, ".");
        return buffer;
    }
    case TYPE_STRING:
        return mValue.s;
    default:
        return nullptr;
    }
}

int32_t CEnvironmentVariable::Classify(const char* text) {
    if (!text || !*text)
        return TYPE_NONE;
    // States: 0 start, 1 sign, 2 integer digits, 3 point, 4 fraction digits,
    // 5 exponent letter, 6 exponent sign, 7 exponent digits, -1 not a number.
    int state = 0;
    for (const char* p = text; *p && state != -1; ++p) {
        const char c = *p;
        if (c == '+' || c == '-') {
            state = state == 0 ? 1 : state == 5 ? 6 : -1;
        } else if (c == '.') {
            state = (state == 0 || state == 1 || state == 2) ? 3 : -1;
        } else if (c >= '0' && c <= '9') {
            if (state == 0 || state == 1 || state == 2)
                state = 2;
            else if (state == 3 || state == 4)
                state = 4;
            else if (state == 5 || state == 6 || state == 7)
                state = 7;
            else
                state = -1;
        } else if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
            state = state == 4 ? 5 : -1;   // an exponent needs a decimal point
        } else {
            state = -1;
        }
    }
    switch (state) {
    case 0:
        return TYPE_NONE;
    case 2:
        return TYPE_INT;
    case 3:
    case 4:
    case 7:
        return TYPE_FLOAT;
    default:
        return TYPE_STRING;
    }
}

void CEnvironmentVariable::SetFromText(const char* text) {
    switch (Classify(text)) {
    case TYPE_INT:
        SetInt(TextToInt(text));
        break;
    case TYPE_FLOAT:
        SetFloat(TextToFloat(text));
        break;
    case TYPE_STRING:
        SetString(text);
        break;
    default:
        FreeValue();
        mType = TYPE_NONE;
        mValue.i = 0;
        break;
    }
}

void CEnvironmentVariable::ConvertTo(int32_t type) {
    switch (type) {
    case TYPE_NONE:
        FreeValue();
        mType = TYPE_NONE;
        mValue.i = 0;
        break;
    case TYPE_INT:
        if (mType == TYPE_NONE)
            SetInt(0);
        else if (mType == TYPE_FLOAT)
            SetInt(ClampToInt(double(mValue.f)));
        else if (mType == TYPE_STRING)
            SetInt(TextToInt(mValue.s));
        break;
    case TYPE_FLOAT:
        if (mType == TYPE_NONE)
            SetFloat(0.0f);
        else if (mType == TYPE_INT)
            SetFloat(float(mValue.i));
        else if (mType == TYPE_STRING)
            SetFloat(TextToFloat(mValue.s));
        break;
    case TYPE_STRING:
        if (mType != TYPE_STRING) {
            const char* text = ToString();
            SetString(text ? text : "");
        }
        break;
    default:
        break;
    }
}

// ============================================================================
// CEnvironment: list
// ============================================================================

CEnvironment::~CEnvironment() {
    Clear();
}

std::string CEnvironment::Key(const char* section, const char* name) {
    std::string key(section);
    key += '\0';
    key += name;
    return key;
}

void CEnvironment::Index(CEnvironmentVariable* variable) {
    mIndex[Key(variable->GetSection(), variable->GetName())].push_back(variable);
}

void CEnvironment::Unindex(const CEnvironmentVariable* variable) {
    auto it = mIndex.find(Key(variable->GetSection(), variable->GetName()));
    if (it == mIndex.end())
        return;
    std::vector<CEnvironmentVariable*>& same = it->second;
    for (auto v = same.begin(); v != same.end(); ++v) {
        if (*v == variable) {
            same.erase(v);
            break;
        }
    }
    if (same.empty())
        mIndex.erase(it);
}

CEnvironmentVariable* CEnvironment::GetVariable(const char* section, const char* name, bool create) {
    if (!section || !name)
        return nullptr;
    auto it = mIndex.find(Key(section, name));
    if (it != mIndex.end())
        return it->second.front();
    if (!create)
        return nullptr;
    CEnvironmentVariable* v = new CEnvironmentVariable(section, name);
    Append(v);
    return v;
}

CEnvironmentVariable* CEnvironment::Find(const char* section, const char* name) {
    if (!section || !name)
        return nullptr;
    if (mIndex.find(Key(section, name)) == mIndex.end()) {
        // As a search run to the end: no cursor.
        mList.mCursor = nullptr;
        mList.mCursorIndex = -1;
        return nullptr;
    }
    // Found: walk to it so that the cursor is left there.
    for (CEnvironmentVariable* v = mList.First(); v; v = mList.Next())
        if (strcmp(v->GetSection(), section) == 0 && strcmp(v->GetName(), name) == 0)
            return v;
    return nullptr;
}

int CEnvironment::Append(CEnvironmentVariable* variable) {
    if (mList.Append(variable) != 0)
        return -1;
    Index(variable);
    return 0;
}

int CEnvironment::Remove(CEnvironmentVariable* variable) {
    if (variable && mList.Contains(variable))
        Unindex(variable);
    return mList.Remove(variable);
}

int CEnvironment::RemoveCurrent() {
    if (CEnvironmentVariable* current = mList.Current())
        Unindex(current);
    return mList.RemoveCurrent();
}

void CEnvironment::Clear() {
    mIndex.clear();
    mList.DeleteValuesAndItems();
}

// ============================================================================
// CEnvironment: settings text
// ============================================================================

namespace {

// Values and names are escaped so that a quote or "<" in a setting cannot
// end the attribute early and lose every later setting on the next load.
void AppendEscaped(std::string& out, const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += *p; break;
        }
    }
}

// The raw text between the quotes with the five entities decoded; anything
// else, a lone "&" included, stays as it is.
std::string DecodedValue(const XMLMarkup& markup, int index) {
    static const struct {
        const char* entity;
        char c;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    const char* p = markup.attributeValues[index] + 1;
    const char* end = markup.attributeValues[index] + markup.attributeValueLengths[index] - 1;
    std::string out;
    out.reserve(size_t(end - p));
    while (p < end) {
        bool decoded = false;
        if (*p == '&') {
            for (const auto& e : kEntities) {
                const size_t n = strlen(e.entity);
                if (size_t(end - p) >= n && memcmp(p, e.entity, n) == 0) {
                    out += e.c;
                    p += n;
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded)
            out += *p++;
    }
    return out;
}

void XmlError(int line, const char* what) {
    PlatLog("CEnvironment::ParseXML() **XML ERROR**: line %d: %s", line, what);
}

// The reader ran out of markups inside an open element: a malformed markup is
// an error; a text that simply stops keeps what was read, with a warning.
bool EndOfText(const CXMLParser& parser, int line) {
    if (parser.HasError()) {
        XmlError(line, parser.GetError());
        return false;
    }
    PlatLog("CEnvironment::ParseXML() **XML WARNING**: line %d: %s", line, "not all markers have been closed!");
    return true;
}

// The decoded "name" attribute, checked to fit a 32-byte name.
bool ReadName(const XMLMarkup& markup, int line, std::string& name) {
    const int index = CXMLParser::FindAttribute(markup, "name");
    if (index < 0) {
        PlatLog("CEnvironment::ParseXML() **XML ERROR**: line %d: markup parameter \"%s\" missing.", line, "name");
        return false;
    }
    name = DecodedValue(markup, index);
    if (name.size() >= CEnvironmentVariable::NAME_SIZE || name.find('\0') != std::string::npos) {
        PlatLog("CEnvironment::ParseXML() **XML ERROR**: line %d: name of %zu characters (at most %d allowed).",
                line, name.size(), CEnvironmentVariable::NAME_SIZE - 1);
        return false;
    }
    return true;
}

}  // namespace

bool CEnvironment::ParseXML(const char* text, int length) {
    CXMLParser parser;
    parser.SetText(text, text ? length : 0);
    XMLMarkup markup;

    if (!parser.ReadMarkup(markup)) {
        XmlError(1, parser.HasError() ? parser.GetError() : "markup required.");
        return false;
    }
    int line = 2;
    if (markup.IsNamed("!DOCTYPE")) {
        if (!parser.ReadMarkup(markup)) {
            XmlError(2, parser.HasError() ? parser.GetError() : "markup required.");
            return false;
        }
        line = 3;
    }
    if (!markup.IsNamed("environment")) {
        PlatLog("CEnvironment::ParseXML() **XML ERROR**: line %d: invalid markup, \"%s\" expected.", line,
                "environment");
        return false;
    }

    for (;;) {
        if (!parser.ReadMarkup(markup))
            return EndOfText(parser, line + 1);
        ++line;
        if (markup.IsNamed("/environment"))
            return true;
        if (!markup.IsNamed("env")) {
            XmlError(line, "unexpected markup!");
            return false;
        }
        std::string section;
        if (!ReadName(markup, line, section))
            return false;
        if (markup.closed)
            continue;   // "<env .../>": an empty section

        for (;;) {
            if (!parser.ReadMarkup(markup))
                return EndOfText(parser, line + 1);
            ++line;
            if (markup.IsNamed("/env"))
                break;
            if (!markup.IsNamed("var")) {
                XmlError(line, "unexpected markup!");
                return false;
            }
            std::string name;
            if (!ReadName(markup, line, name))
                return false;
            const int valueIndex = CXMLParser::FindAttribute(markup, "value");
            if (valueIndex < 0) {
                PlatLog("CEnvironment::ParseXML() **XML ERROR**: line %d: markup parameter \"%s\" missing.", line,
                        "value");
                return false;
            }
            const std::string value = DecodedValue(markup, valueIndex);
            GetVariable(section.c_str(), name.c_str(), true)->SetFromText(value.c_str());
        }
    }
}

std::string CEnvironment::BuildText(const char* const* sections) const {
    std::string text = "<environment>\n";
    for (const char* const* s = sections; s && *s; ++s) {
        text += "\t<env name=\"";
        AppendEscaped(text, *s);
        text += "\">\n";
        for (CKEMListItem<CEnvironmentVariable>* it = mList.GetHead(); it; it = it->mNext) {
            const CEnvironmentVariable* v = it->mValue;
            if (strcmp(v->GetSection(), *s) != 0)
                continue;
            text += "\t\t<var name=\"";
            AppendEscaped(text, v->GetName());
            text += "\" value=\"";
            AppendEscaped(text, v->ToString());   // an untyped variable gets value="", which reloads untyped
            text += "\"/>\n";
        }
        text += "\t</env>\n";
    }
    text += "</environment>";
    return text;
}

// ============================================================================
// CEnvironment: files
// ============================================================================

namespace {

std::string& SettingsFolder() {
    static std::string folder = "../../mediaDemo/Config";
    return folder;
}

std::string PathInFolder(const std::string& folder, const char* fileName) {
    if (folder.empty())
        return PlatFixPath(fileName);
    std::string path = folder;
    if (path.back() != '/' && path.back() != '\\')
        path += '/';
    path += fileName;
    return PlatFixPath(path);
}

// Where the 3D engine's resource system finds the file: its group (the
// default group first, then the others) and, for a folder archive, the path
// on disk. False when there is no resource system or the file is unknown.
bool FindInResources(const char* fileName, std::string& group, std::string& diskPath) {
    Ogre::ResourceGroupManager* rgm = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!rgm)
        return false;
    try {
        std::vector<std::string> groups;
        groups.push_back(Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        for (const std::string& g : rgm->getResourceGroups())
            if (g != Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME)
                groups.push_back(g);
        for (const std::string& g : groups) {
            if (!rgm->resourceExists(g, fileName))
                continue;
            group = g;
            diskPath.clear();
            Ogre::FileInfoListPtr infos = rgm->findResourceFileInfo(g, fileName);
            for (const Ogre::FileInfo& info : *infos) {
                if (info.archive && info.archive->getType() == "FileSystem") {
                    diskPath = PathInFolder(info.archive->getName(), info.filename.c_str());
                    break;
                }
            }
            return true;
        }
    } catch (const Ogre::Exception& e) {
        PlatLog("CEnvironment: resource look-up of %s failed: %s", fileName, e.getDescription().c_str());
    }
    return false;
}

bool ReadDiskFile(const std::string& path, std::string& text) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text.clear();
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        text.append(chunk, n);
    const bool ok = !ferror(file);
    fclose(file);
    return ok;
}

}  // namespace

void CEnvironment::SetSettingsFolder(const char* folder) {
    SettingsFolder() = folder ? folder : "";
}

const std::string& CEnvironment::GetSettingsFolder() {
    return SettingsFolder();
}

bool CEnvironment::Load(const char* fileName) {
    if (!fileName || !*fileName)
        return false;
    std::string text;
    bool found = false;
    std::string group, diskPath;
    if (FindInResources(fileName, group, diskPath)) {
        try {
            Ogre::DataStreamPtr stream = Ogre::ResourceGroupManager::getSingleton().openResource(fileName, group);
            if (stream) {
                text = stream->getAsString();
                found = true;
            }
        } catch (const Ogre::Exception& e) {
            PlatLog("CEnvironment::Load(%s) => cannot open: %s", fileName, e.getDescription().c_str());
        }
    }
    std::string path;
    if (!found) {
        path = PathInFolder(SettingsFolder(), fileName);
        found = ReadDiskFile(path, text);
    }
    if (!found) {
        PlatLog("CEnvironment::Load(%s) => no such file, settings unchanged", fileName);
        return false;
    }
    if (text.size() > size_t(INT_MAX)) {
        PlatLog("CEnvironment::Load(%s) => file too large, settings unchanged", fileName);
        return false;
    }
    const bool ok = ParseXML(text.data(), int(text.size()));
    if (!ok)
        PlatLog("CEnvironment::Load(%s) => FAILED, settings read before the error are kept", fileName);
    return ok;
}

int CEnvironment::Save(const char* fileName, ...) {
    KEM_ASSERT(fileName != nullptr);
    std::vector<const char*> sections;
    va_list args;
    va_start(args, fileName);
    for (const char* s = va_arg(args, const char*); s; s = va_arg(args, const char*))
        sections.push_back(s);
    va_end(args);
    sections.push_back(nullptr);
    const std::string text = BuildText(sections.data());

    // The file is rewritten where the resource system finds it; on a first
    // run it is created in the settings folder.
    std::string group, path;
    if (!FindInResources(fileName, group, path) || path.empty())
        path = PathInFolder(SettingsFolder(), fileName);

    // Written beside the old file, then renamed over it: a failed or
    // interrupted write never loses the previous settings.
    const std::string temp = path + ".tmp";
    const int written = HalWriteFile(temp.c_str(), text.data(), int(text.size()));
    const int writeErrno = errno;
    if (written != 0) {
        if (written == -2)   // only a file this call created
            remove(temp.c_str());
        PlatLog("*WARNING* : we could not save the environment configuration file, please check if is not write "
                "protected. (%s: %s)",
                temp.c_str(), written == -1 ? strerror(writeErrno) : "incomplete write");
        return -1;
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int renameErrno = errno;
        remove(temp.c_str());
        PlatLog("*WARNING* : we could not save the environment configuration file, please check if is not write "
                "protected. (%s: %s)",
                path.c_str(), strerror(renameErrno));
        return -1;
    }
    return 0;
}

// ============================================================================
// CEnvironment: serialized sections
// ============================================================================

void CEnvironment::SerializeSection(CObjnet* target, const char* sectionName) {
    if (!target || !sectionName)
        return;
    CObjnet object;
    object.StartSignature("environment");
    object.WriteString(sectionName);
    for (CKEMListItem<CEnvironmentVariable>* it = mList.GetHead(); it; it = it->mNext) {
        const CEnvironmentVariable* v = it->mValue;
        if (strcmp(v->GetSection(), sectionName) != 0)
            continue;
        object.WriteString(v->GetName());
        object.WriteByte(uint8_t(v->GetType()));
        switch (v->GetType()) {
        case CEnvironmentVariable::TYPE_INT: object.WriteInt(v->GetInt()); break;
        case CEnvironmentVariable::TYPE_FLOAT: object.WriteFloat(v->GetFloat()); break;
        case CEnvironmentVariable::TYPE_STRING: object.WriteString(v->GetString()); break;
        default: break;
        }
    }
    object.End();
    target->WriteObject(&object);
}

int CEnvironment::UnserializeSection(CObjnet* source) {
    if (!source)
        return -1;
    if (source->BeginReadSignature("environment") != 0) {
        PlatLog("CEnvironment::UnserializeSection() => FAILED (not an environment section)");
        return -1;
    }
    // Names come from a LAN peer: one that does not fit a 32-byte name is
    // skipped (its value still read, so the next variable stays aligned).
    int sectionLength = 0;
    char* section = source->ReadString(&sectionLength);
    if (!section) {
        PlatLog("CEnvironment::UnserializeSection() => FAILED (no section name)");
        return -1;
    }
    int result = 0;
    const bool sectionFits = sectionLength < CEnvironmentVariable::NAME_SIZE && int(strlen(section)) == sectionLength;
    if (!sectionFits) {
        PlatLog("CEnvironment::UnserializeSection() => section name of %d characters rejected", sectionLength);
        result = -1;
    }

    while (source->HasMoreData()) {
        int nameLength = 0;
        char* name = source->ReadString(&nameLength);
        if (!name)
            break;
        const int type = uint8_t(source->ReadByte());
        int intValue = 0;
        float floatValue = 0.0f;
        char* textValue = nullptr;
        bool known = true;
        switch (type) {
        case CEnvironmentVariable::TYPE_NONE: break;
        case CEnvironmentVariable::TYPE_INT: intValue = source->ReadInt(); break;
        case CEnvironmentVariable::TYPE_FLOAT: floatValue = source->ReadFloat(); break;
        case CEnvironmentVariable::TYPE_STRING: textValue = source->ReadString(); break;
        default: known = false; break;
        }
        if (!known) {
            // The value's size is unknown: nothing after it can be read.
            PlatLog("CEnvironment::UnserializeSection(%s) => unknown type %d, rest of the section dropped",
                    sectionFits ? section : "?", type);
            CObjnet::Free(name);
            result = -1;
            break;
        }
        if (source->GetStatus() != 0) {   // cut short: the value is not there
            CObjnet::Free(name);
            CObjnet::Free(textValue);
            break;
        }
        const bool nameFits = nameLength < CEnvironmentVariable::NAME_SIZE && int(strlen(name)) == nameLength;
        if (!nameFits) {
            PlatLog("CEnvironment::UnserializeSection() => variable name of %d characters rejected", nameLength);
            result = -1;
        } else if (sectionFits) {
            CEnvironmentVariable* v = GetVariable(section, name, true);
            switch (type) {
            case CEnvironmentVariable::TYPE_INT: v->SetInt(intValue); break;
            case CEnvironmentVariable::TYPE_FLOAT: v->SetFloat(floatValue); break;
            case CEnvironmentVariable::TYPE_STRING: v->SetString(textValue); break;
            default: break;   // none: the value stays as it was
            }
        }
        CObjnet::Free(name);
        CObjnet::Free(textValue);
    }
    if (source->GetStatus() != 0) {
        PlatLog("CEnvironment::UnserializeSection() => FAILED (section cut short)");
        result = -1;
    }
    CObjnet::Free(section);
    return result;
}
