#include "CKEMVar.h"

#include "CMarkup.h"
#include "KEMException.h"

#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Small private helpers (kept here rather than waiting on the string utilities).

namespace {

// The attribute's decoded text, or false when it is missing or empty.
bool ReadRequired(const CMarkup& markup, const char* name, CKEMDynString& out) {
    out = markup.GetAttrib(name);
    return !out.IsEmpty();
}

int32_t ToInt(const CKEMDynString& text) {
    // atoi: the leading decimal number, 0 without one; kept as 32 bits.
    return static_cast<int32_t>(static_cast<uint32_t>(std::strtoll(text.GetBuffer(), nullptr, 10)));
}

uint32_t ToU32(const CKEMDynString& text) {
    // atol stored as 32 bits: "4294967295" reads back what "%u" wrote.
    return static_cast<uint32_t>(std::strtoll(text.GetBuffer(), nullptr, 10));
}

float ToFloat(const CKEMDynString& text) {
    return static_cast<float>(std::atof(text.GetBuffer()));
}

// Prints text with the five entities that CMarkup decodes escaped, so that a
// written string reads back unchanged.
void WriteEscaped(FILE* stream, const char* text) {
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '<': std::fputs("&lt;", stream); break;
        case '>': std::fputs("&gt;", stream); break;
        case '&': std::fputs("&amp;", stream); break;
        case '"': std::fputs("&quot;", stream); break;
        case '\'': std::fputs("&apos;", stream); break;
        default: std::fputc(*p, stream); break;
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------

void CKEMVar::Register(KEMLinkedList<CKEMVar>* list, const char* name, void* storage) {
    KEM_ASSERT(list != nullptr);
    KEM_ASSERT(name != nullptr && std::strlen(name) <= static_cast<size_t>(kMaxNameLength));
    std::strncpy(mName, name, kMaxNameLength);
    mName[kMaxNameLength] = '\0';
    const bool appended = list->Append(this);  // refused when already in a list
    KEM_ASSERT(appended);
    mStorage = storage;
}

// --- StringRef -------------------------------------------------------------

bool CKEMVarStringRef::WriteXml(FILE* stream) {
    std::string* value = Storage<std::string>();
    std::fputs("value=\"", stream);
    if (value)
        WriteEscaped(stream, value->c_str());
    std::fputs("\"", stream);
    return true;
}

bool CKEMVarStringRef::ReadXml(CMarkup& markup) {
    std::string* value = Storage<std::string>();
    if (!value)
        return false;
    CKEMDynString text = markup.GetAttrib("value");
    value->assign(text.GetBuffer());
    return true;
}

// --- Int -------------------------------------------------------------------

bool CKEMVarInt::WriteXml(FILE* stream) {
    const int32_t* value = Storage<int32_t>();
    std::fprintf(stream, "value=\"%d\" ", value ? *value : 0);
    return true;
}

bool CKEMVarInt::ReadXml(CMarkup& markup) {
    int32_t* value = Storage<int32_t>();
    CKEMDynString text;
    if (!value || !ReadRequired(markup, "value", text))
        return false;
    *value = ToInt(text);
    return true;
}

// --- U32 -------------------------------------------------------------------

bool CKEMVarU32::WriteXml(FILE* stream) {
    const uint32_t* value = Storage<uint32_t>();
    std::fprintf(stream, "value=\"%u\" ", value ? *value : 0u);
    return true;
}

bool CKEMVarU32::ReadXml(CMarkup& markup) {
    uint32_t* value = Storage<uint32_t>();
    CKEMDynString text;
    if (!value || !ReadRequired(markup, "value", text))
        return false;
    *value = ToU32(text);
    return true;
}

// --- UnsignedShortInt ------------------------------------------------------

bool CKEMVarUnsignedShortInt::WriteXml(FILE* stream) {
    const uint16_t* value = Storage<uint16_t>();
    std::fprintf(stream, "value=\"%u\" ", value ? static_cast<unsigned>(*value) : 0u);
    return true;
}

bool CKEMVarUnsignedShortInt::ReadXml(CMarkup& markup) {
    uint16_t* value = Storage<uint16_t>();
    CKEMDynString text;
    if (!value || !ReadRequired(markup, "value", text))
        return false;
    *value = static_cast<uint16_t>(static_cast<uint32_t>(ToInt(text)) & 0xFFFFu);
    return true;
}

// --- Bool ------------------------------------------------------------------

bool CKEMVarBool::WriteXml(FILE* stream) {
    const bool* value = Storage<bool>();
    std::fprintf(stream, "value=\"%d\" ", (value && *value) ? 1 : 0);
    return true;
}

bool CKEMVarBool::ReadXml(CMarkup& markup) {
    bool* value = Storage<bool>();
    CKEMDynString text;
    if (!value || !ReadRequired(markup, "value", text))
        return false;
    *value = ToInt(text) != 0;
    return true;
}

// --- Float -----------------------------------------------------------------

bool CKEMVarFloat::WriteXml(FILE* stream) {
    const float* value = Storage<float>();
    std::fprintf(stream, "value=\"%f\" ", value ? static_cast<double>(*value) : 0.0);
    return true;
}

bool CKEMVarFloat::ReadXml(CMarkup& markup) {
    float* value = Storage<float>();
    CKEMDynString text;
    if (!value || !ReadRequired(markup, "value", text))
        return false;
    *value = ToFloat(text);
    return true;
}

// --- Quaternion ------------------------------------------------------------

bool CKEMVarQuaternion::WriteXml(FILE* stream) {
    const Ogre::Quaternion* q = Storage<Ogre::Quaternion>();
    Ogre::Quaternion v = q ? *q : Ogre::Quaternion::IDENTITY;
    std::fprintf(stream, "x=\"%f\" y=\"%f\" z=\"%f\" w=\"%f\" ", static_cast<double>(v.x), static_cast<double>(v.y),
                 static_cast<double>(v.z), static_cast<double>(v.w));
    return true;
}

bool CKEMVarQuaternion::ReadXml(CMarkup& markup) {
    Ogre::Quaternion* q = Storage<Ogre::Quaternion>();
    CKEMDynString x, y, z, w;
    if (!q || !ReadRequired(markup, "x", x) || !ReadRequired(markup, "y", y) || !ReadRequired(markup, "z", z) ||
        !ReadRequired(markup, "w", w))
        return false;
    q->w = ToFloat(w);
    q->x = ToFloat(x);
    q->y = ToFloat(y);
    q->z = ToFloat(z);
    return true;
}

// --- Vector3 ---------------------------------------------------------------

bool CKEMVarVector3::WriteXml(FILE* stream) {
    const Ogre::Vector3* p = Storage<Ogre::Vector3>();
    Ogre::Vector3 v = p ? *p : Ogre::Vector3::ZERO;
    std::fprintf(stream, "x=\"%f\" y=\"%f\" z=\"%f\" ", static_cast<double>(v.x), static_cast<double>(v.y),
                 static_cast<double>(v.z));
    return true;
}

bool CKEMVarVector3::ReadXml(CMarkup& markup) {
    Ogre::Vector3* v = Storage<Ogre::Vector3>();
    CKEMDynString x, y, z;
    if (!v || !ReadRequired(markup, "x", x) || !ReadRequired(markup, "y", y) || !ReadRequired(markup, "z", z))
        return false;
    *v = Ogre::Vector3(ToFloat(x), ToFloat(y), ToFloat(z));
    return true;
}

// --- VectorPointRef --------------------------------------------------------

bool CKEMVarVectorPointRef::WriteXml(FILE* stream) {
    const std::vector<Ogre::Vector3>* points = Storage<std::vector<Ogre::Vector3>>();
    const int count = points ? static_cast<int>(points->size()) : 0;
    std::fprintf(stream, "Nb_Points=\"%d\" >", count);
    for (int i = 0; i < count; ++i) {
        const Ogre::Vector3& p = (*points)[static_cast<size_t>(i)];
        std::fprintf(stream, "<Point x=\"%f\" y=\"%f\" z=\"%f\" />", static_cast<double>(p.x), static_cast<double>(p.y),
                     static_cast<double>(p.z));
    }
    std::fprintf(stream, "</%s>", GetName());
    return true;
}

bool CKEMVarVectorPointRef::ReadXml(CMarkup& markup) {
    std::vector<Ogre::Vector3>* points = Storage<std::vector<Ogre::Vector3>>();
    if (!points)
        return false;
    points->clear();
    if (!markup.IntoElem())
        return false;
    bool ok = true;
    while (markup.FindElem("Point")) {
        CKEMDynString x, y, z;
        // A point missing any of x, y, z is rejected.
        if (!ReadRequired(markup, "x", x) || !ReadRequired(markup, "y", y) || !ReadRequired(markup, "z", z)) {
            ok = false;
            break;
        }
        points->push_back(Ogre::Vector3(ToFloat(x), ToFloat(y), ToFloat(z)));
    }
    markup.OutOfElem();
    return ok;
}

// --- Matrix4 ---------------------------------------------------------------

bool CKEMVarMatrix4::WriteXml(FILE* stream) {
    const Ogre::Matrix4* p = Storage<Ogre::Matrix4>();
    Ogre::Matrix4 m = p ? *p : Ogre::Matrix4::IDENTITY;
    std::fputs(">", stream);
    for (int r = 0; r < 4; ++r) {
        std::fprintf(stream, "<Elem val%d-%d=\"%f\" val%d-%d=\"%f\" val%d-%d=\"%f\" val%d-%d=\"%f\" />", r, 0,
                     static_cast<double>(m[r][0]), r, 1, static_cast<double>(m[r][1]), r, 2,
                     static_cast<double>(m[r][2]), r, 3, static_cast<double>(m[r][3]));
    }
    std::fprintf(stream, "</%s>", GetName());
    return true;
}

bool CKEMVarMatrix4::ReadXml(CMarkup& markup) {
    Ogre::Matrix4* m = Storage<Ogre::Matrix4>();
    if (!m)
        return false;
    if (!markup.IntoElem())
        return false;
    int rows = 0;
    for (int r = 0; r < 4; ++r) {
        if (!markup.FindElem("Elem"))
            break;
        float row[4];
        bool complete = true;
        for (int c = 0; c < 4; ++c) {
            char name[16];
            std::snprintf(name, sizeof(name), "val%d-%d", r, c);
            CKEMDynString text;
            // A row missing any of its four columns is rejected.
            if (!ReadRequired(markup, name, text)) {
                complete = false;
                break;
            }
            row[c] = ToFloat(text);
        }
        if (!complete)
            break;
        for (int c = 0; c < 4; ++c)
            (*m)[r][c] = row[c];
        ++rows;
    }
    markup.OutOfElem();
    return rows == 4;
}

// --- ColorRef --------------------------------------------------------------

bool CKEMVarColorRef::WriteXml(FILE* stream) {
    const Ogre::ColourValue* p = Storage<Ogre::ColourValue>();
    Ogre::ColourValue c = p ? *p : Ogre::ColourValue::White;
    std::fprintf(stream, "r=\"%f\" g=\"%f\" b=\"%f\" a=\"%f\" ", static_cast<double>(c.r), static_cast<double>(c.g),
                 static_cast<double>(c.b), static_cast<double>(c.a));
    return true;
}

bool CKEMVarColorRef::ReadXml(CMarkup& markup) {
    Ogre::ColourValue* c = Storage<Ogre::ColourValue>();
    CKEMDynString r, g, b, a;
    if (!c || !ReadRequired(markup, "r", r) || !ReadRequired(markup, "g", g) || !ReadRequired(markup, "b", b) ||
        !ReadRequired(markup, "a", a))
        return false;
    *c = Ogre::ColourValue(ToFloat(r), ToFloat(g), ToFloat(b), ToFloat(a));
    return true;
}

// ---------------------------------------------------------------------------
// CKEMVarList

bool CKEMVarList::LoadFromXml(CMarkup& markup, const char* listName) {
    if (!markup.FindElem(listName))
        return false;
    markup.IntoElem();
    for (CKEMVar* var = mVarList.GetHead(); var; var = var->GetNext()) {
        if (markup.FindElem(var->GetName())) {
            if (!var->ReadXml(markup))
                return false;
        }
    }
    markup.OutOfElem();
    return true;
}

bool CKEMVarList::WriteXml(FILE* stream, const char* listName) {
    if (!stream || !listName)
        return false;
    std::fprintf(stream, "<%s>\n", listName);
    for (CKEMVar* var = mVarList.GetHead(); var; var = var->GetNext()) {
        std::fprintf(stream, "\t<%s ", var->GetName());
        var->WriteXml(stream);
        std::fputs(var->WritesEndTag() ? "\n" : "/>\n", stream);
    }
    std::fprintf(stream, "</%s>\n", listName);
    return true;
}

std::string CKEMVarList::WriteXmlString(const char* listName) {
    std::string out;
    FILE* stream = std::tmpfile();
    if (!stream)
        return out;
    if (WriteXml(stream, listName)) {
        long size = std::ftell(stream);
        if (size > 0) {
            out.resize(static_cast<size_t>(size));
            std::rewind(stream);
            size_t got = std::fread(&out[0], 1, out.size(), stream);
            out.resize(got);
        }
    }
    std::fclose(stream);
    return out;
}

CKEMVar* CKEMVarList::FindVar(const char* name) const {
    if (!name)
        return nullptr;
    for (CKEMVar* var = mVarList.GetHead(); var; var = var->GetNext()) {
        if (std::strcmp(var->GetName(), name) == 0)
            return var;
    }
    return nullptr;
}
