// libFuzzer harness for CMarkup and CKEMVarList::LoadFromXml.
//
// The input is the document, handed over by length (no NUL needed; a NUL in
// it is an ordinary character). Under ASan CMarkup poisons the unused tail of
// its document buffer, so a read one byte past the text is reported.
//
// Checks: every element record lies inside the text and is well ordered; a
// walk over the whole tree (FindElem / IntoElem / OutOfElem, no recursion)
// reaches every record exactly once; every attribute of every element is
// read; then a variable list with one variable of every kind reads from the
// document's list elements.
#include "CKEMVar.h"
#include "CMarkup.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void CheckRecords(const CMarkup& m) {
    const int32_t len = m.GetDocLength();
    const int32_t count = m.GetRecordCount();
    if (count <= 1)
        return;
    Check(m.GetRecord(0).iElemChild == 1);
    for (int32_t i = 1; i < count; ++i) {
        const CMarkup::ElemPos& e = m.GetRecord(i);
        Check(0 <= e.nStartL && e.nStartL < e.nStartR && e.nStartR < len);
        Check(e.nStartL < e.nEndL && e.nEndL < e.nEndR && e.nEndR < len);
        Check(e.nEndL >= e.nStartR - 1);
        Check(e.nNameL > e.nStartL && e.nNameLen > 0 && e.nNameL + e.nNameLen <= len);
        Check(e.iElemParent >= 0 && e.iElemParent < i);
        Check(e.iElemChild == 0 || (e.iElemChild > i && e.iElemChild < count));
        Check(e.iElemNext == 0 || (e.iElemNext > i && e.iElemNext < count));
        if (e.iElemParent > 0) {
            const CMarkup::ElemPos& p = m.GetRecord(e.iElemParent);
            Check(e.nStartL > p.nStartR && e.nEndR < p.nEndL);
        }
        if (e.iElemNext)
            Check(m.GetRecord(e.iElemNext).nStartL > e.nEndR);
    }
}

// Reads the current element the way the loaders do.
void VisitElement(const CMarkup& m) {
    CKEMDynString tag = m.GetTagName();
    Check(!tag.IsEmpty() || m.GetDoc()[m.GetRecord(m.GetCurrentPos()).nNameL] == '\0');
    for (int32_t i = 0; i < 64; ++i) {
        CKEMDynString name = m.GetAttribName(i);
        if (name.IsEmpty())
            break;
        CKEMDynString value = m.GetAttrib(name.GetBuffer());
        Check(value.Length() <= m.GetDocLength());
        m.HasAttrib(name.GetBuffer());
    }
    m.GetAttrib("value");
    m.GetAttrib("x");
}

int32_t WalkAll(CMarkup& m) {
    m.ResetPos();
    int32_t visited = 0;
    if (!m.FindElem())
        return 0;
    for (;;) {
        VisitElement(m);
        ++visited;
        Check(m.IntoElem());
        if (m.FindElem())
            continue;
        Check(m.OutOfElem());
        while (!m.FindElem()) {
            if (!m.OutOfElem())
                return visited;
        }
    }
}

class CAllKinds : public CKEMVarList {
public:
    std::string mS;
    int32_t mI = 0;
    uint32_t mU = 0;
    uint16_t mH = 0;
    bool mB = false;
    float mF = 0;
    Ogre::Quaternion mQ = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 mV = Ogre::Vector3::ZERO;
    std::vector<Ogre::Vector3> mP;
    Ogre::Matrix4 mM = Ogre::Matrix4::IDENTITY;
    Ogre::ColourValue mC = Ogre::ColourValue::White;
    CKEMVarStringRef mSVar;
    CKEMVarInt mIVar;
    CKEMVarU32 mUVar;
    CKEMVarUnsignedShortInt mHVar;
    CKEMVarBool mBVar;
    CKEMVarFloat mFVar;
    CKEMVarQuaternion mQVar;
    CKEMVarVector3 mVVar;
    CKEMVarVectorPointRef mPVar;
    CKEMVarMatrix4 mMVar;
    CKEMVarColorRef mCVar;
    CAllKinds() {
        RegisterVar(mSVar, "S", &mS);
        RegisterVar(mIVar, "I", &mI);
        RegisterVar(mUVar, "U", &mU);
        RegisterVar(mHVar, "H", &mH);
        RegisterVar(mBVar, "B", &mB);
        RegisterVar(mFVar, "F", &mF);
        RegisterVar(mQVar, "Q", &mQ);
        RegisterVar(mVVar, "V", &mV);
        RegisterVar(mPVar, "P", &mP);
        RegisterVar(mMVar, "M", &mM);
        RegisterVar(mCVar, "C", &mC);
    }
};

void LoadLists(CMarkup& m) {
    m.ResetPos();
    if (!m.FindElem())
        return;
    m.IntoElem();
    for (int i = 0; i < 16; ++i) {
        CAllKinds o;
        if (!o.LoadFromXml(m, "L"))
            break;
        Check(o.mP.size() <= static_cast<size_t>(m.GetRecordCount()));
    }
    // Any element as the list, at the top level.
    m.ResetPos();
    CAllKinds top;
    top.LoadFromXml(m, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    CMarkup m(reinterpret_cast<const char*>(data), size);
    Check(m.GetDocLength() == static_cast<int32_t>(size));
    if (!m.IsWellFormed()) {
        Check(m.GetRecordCount() == 1);
        Check(!m.FindElem());
        Check(m.GetError().Length() <= 255);
        return 0;
    }
    Check(m.GetError().IsEmpty());
    CheckRecords(m);
    Check(WalkAll(m) == m.GetRecordCount() - 1);
    LoadLists(m);
    return 0;
}
