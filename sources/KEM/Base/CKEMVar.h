// Typed variables and variable lists.
//
// An engine object configured from a scene file derives from CKEMVarList and,
// in its constructor, registers one CKEMVar of the right kind per exposed
// member, in the order in which the members are read:
//
//     class CPhysicMgr : public CKEMVarList {
//         Ogre::Vector3 mGravity;  CKEMVarVector3 mGravityVar;
//         CPhysicMgr() { RegisterVar(mGravityVar, "CPHYSICMGR_GRAVITY", &mGravity); }
//     };
//
// A variable never owns its value: it points at the owner's member and reads
// or writes it in place. LoadFromXml fills every registered member from one
// list element of a CMarkup document; WriteXml prints the inverse form.
#pragma once

#include "KEMList.h"

#include <OgreColourValue.h>
#include <OgreMatrix4.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CMarkup;

enum EKEMVarType : int32_t {
    KEMVAR_STRINGREF = 2,
    KEMVAR_INT = 5,
    KEMVAR_U32 = 6,
    KEMVAR_USHORT = 8,
    KEMVAR_BOOL = 9,
    KEMVAR_FLOAT = 10,
    KEMVAR_QUATERNION = 12,
    KEMVAR_VECTOR3 = 13,
    KEMVAR_VECTORPOINTREF = 14,
    KEMVAR_MATRIX4 = 15,
    KEMVAR_COLORREF = 17,
};

class CKEMVar : public KEMLinkedNode<CKEMVar> {
public:
    static const int kMaxNameLength = 31;

    virtual ~CKEMVar() = default;  // lets an owning list delete any kind
    CKEMVar(const CKEMVar&) = delete;
    CKEMVar& operator=(const CKEMVar&) = delete;

    // Prints the value's XML text (attributes, or children and the end tag).
    virtual bool WriteXml(FILE* stream) = 0;
    // Reads the value from the markup's current element; true on success.
    virtual bool ReadXml(CMarkup& markup) = 0;

    // Copies the name (at most 31 characters: a longer one is a programming
    // error and asserts), appends the variable at the list's tail and keeps
    // the storage pointer.
    void Register(KEMLinkedList<CKEMVar>* list, const char* name, void* storage);

    int32_t GetType() const { return mType; }
    const char* GetName() const { return mName; }
    void* GetStorage() const { return mStorage; }
    // Kinds that print their own end tag (Matrix4, VectorPointRef).
    bool WritesEndTag() const { return mType == KEMVAR_MATRIX4 || mType == KEMVAR_VECTORPOINTREF; }

protected:
    explicit CKEMVar(int32_t type) : mType(type) { mName[0] = '\0'; }
    template <class T>
    T* Storage() const { return static_cast<T*>(mStorage); }

private:
    int32_t mType;
    char mName[kMaxNameLength + 1];
    void* mStorage = nullptr;
};

// std::string. Written value="%s" (the five XML entities escaped); read from
// the entity-decoded `value` attribute, missing or empty giving ""; never fails.
class CKEMVarStringRef : public CKEMVar {
public:
    CKEMVarStringRef() : CKEMVar(KEMVAR_STRINGREF) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// int32_t; atoi.
class CKEMVarInt : public CKEMVar {
public:
    CKEMVarInt() : CKEMVar(KEMVAR_INT) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// uint32_t; atol, kept as 32 bits.
class CKEMVarU32 : public CKEMVar {
public:
    CKEMVarU32() : CKEMVar(KEMVAR_U32) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// uint16_t; atoi, cut to the low 16 bits.
class CKEMVarUnsignedShortInt : public CKEMVar {
public:
    CKEMVarUnsignedShortInt() : CKEMVar(KEMVAR_USHORT) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// bool; atoi != 0.
class CKEMVarBool : public CKEMVar {
public:
    CKEMVarBool() : CKEMVar(KEMVAR_BOOL) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// float; atof.
class CKEMVarFloat : public CKEMVar {
public:
    CKEMVarFloat() : CKEMVar(KEMVAR_FLOAT) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// Ogre::Quaternion; attributes x, y, z, w, all required.
class CKEMVarQuaternion : public CKEMVar {
public:
    CKEMVarQuaternion() : CKEMVar(KEMVAR_QUATERNION) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// Ogre::Vector3; attributes x, y, z, all required.
class CKEMVarVector3 : public CKEMVar {
public:
    CKEMVarVector3() : CKEMVar(KEMVAR_VECTOR3) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// std::vector<Ogre::Vector3>; child elements <Point x y z/>.
class CKEMVarVectorPointRef : public CKEMVar {
public:
    CKEMVarVectorPointRef() : CKEMVar(KEMVAR_VECTORPOINTREF) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// Ogre::Matrix4; four child elements <Elem valR-C=.../>, one per row.
class CKEMVarMatrix4 : public CKEMVar {
public:
    CKEMVarMatrix4() : CKEMVar(KEMVAR_MATRIX4) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// Ogre::ColourValue; attributes r, g, b, a, all required.
class CKEMVarColorRef : public CKEMVar {
public:
    CKEMVarColorRef() : CKEMVar(KEMVAR_COLORREF) {}
    bool WriteXml(FILE* stream) override;
    bool ReadXml(CMarkup& markup) override;
};

// Base of every engine object that a scene file configures.
class CKEMVarList {
public:
    CKEMVarList() = default;
    CKEMVarList(const CKEMVarList&) = delete;
    CKEMVarList& operator=(const CKEMVarList&) = delete;
    virtual ~CKEMVarList() = default;  // the embedded list deletes nothing unless it owns

    // Deletes every variable from the head to the tail (only for variables made with new).
    void DeleteAll() { mVarList.DeleteAll(); }

    // Reads every registered variable from the next sibling element named
    // listName, forward only. False when the list element is
    // missing (position unchanged) or a present variable element is bad (the
    // markup then stays inside the list element).
    bool LoadFromXml(CMarkup& markup, const char* listName);

    // Writes the list element with every variable, so that LoadFromXml reads
    // it back: "<listName>\n", per variable "\t<NAME " + WriteXml + "/>\n"
    // ("\n" alone for kinds that print their own end tag), "</listName>\n".
    bool WriteXml(FILE* stream, const char* listName);
    std::string WriteXmlString(const char* listName);

    KEMLinkedList<CKEMVar>* GetVarList() { return &mVarList; }
    const KEMLinkedList<CKEMVar>* GetVarList() const { return &mVarList; }
    CKEMVar* FindVar(const char* name) const;

protected:
    void RegisterVar(CKEMVar& var, const char* name, void* storage) { var.Register(&mVarList, name, storage); }

private:
    KEMLinkedList<CKEMVar> mVarList;
};
