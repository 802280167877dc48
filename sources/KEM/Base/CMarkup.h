// CMarkup: the engine's read-only XML document.
//
// Built from a whole document held in memory; SetDoc indexes every element
// once, then a reader walks the tree with a current position (FindElem,
// IntoElem, OutOfElem) and reads attributes of the current element.
//
// Safety: every scan is bounded by the document's length, never by a NUL
// that may be missing, and the parser is iterative (no recursion), so no
// input, however long, deep or malformed, makes it read outside the text
// or exhaust the stack. Text between tags is not kept.
#pragma once

#include "CKEMDynArray.h"
#include "CKEMDynString.h"

#include <cstddef>
#include <cstdint>

class CMarkup {
public:
    // One element record. Positions index the document text.
    struct ElemPos {
        int32_t nStartL;      // "<" of the start tag
        int32_t nStartR;      // ">" of the start tag
        int32_t nEndL;        // "<" of the end tag ("/" of an empty element)
        int32_t nEndR;        // ">" of the end tag
        int32_t iElemParent;  // parent record (0 = the document)
        int32_t iElemChild;   // first child record (0 = none)
        int32_t iElemNext;    // next sibling record (0 = none)
        int32_t nNameL;       // tag name: first character
        int32_t nNameLen;     //           and length
    };

    explicit CMarkup(const char* text = nullptr);
    CMarkup(const char* text, size_t length);
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;
    virtual ~CMarkup();

    // Parses a NUL-terminated text (null: empty document). True when well formed.
    bool SetDoc(const char* text);
    // Parses exactly length bytes (a NUL among them is an ordinary character).
    bool SetDoc(const char* text, size_t length);

    // Next sibling after the current position (or the parent's first child when
    // there is no current position) whose tag name matches name; null or empty
    // name: any. Found: it becomes current. Not found: position unchanged.
    bool FindElem(const char* name = nullptr);
    bool IntoElem();
    bool OutOfElem();
    void ResetPos();

    // Attribute of the current element, entity-decoded; empty when missing.
    CKEMDynString GetAttrib(const char* name) const;
    // The same for any record; an index outside the records raises "invalid arg.".
    CKEMDynString GetAttribOfElem(int32_t position, const char* name) const;
    // True when the current element carries the attribute with a quoted value
    // (which may be empty).
    bool HasAttrib(const char* name) const;
    // Name of the current element's n-th attribute (from 0), read with the
    // same token rules as GetAttrib; empty past the last one.
    CKEMDynString GetAttribName(int32_t n) const;
    // Tag name of the current element (empty when none).
    CKEMDynString GetTagName() const;

    const CKEMDynString& GetError() const { return mError; }
    const char* GetDoc() const { return mDoc.GetBuffer(); }
    int32_t GetDocLength() const { return mDocLength; }
    bool IsWellFormed() const;

    int32_t GetParentPos() const { return mParent; }
    int32_t GetCurrentPos() const { return mCurrent; }
    int32_t GetChildPos() const { return mChild; }
    int32_t GetNodeType() const { return mNodeType; }
    // Number of element records in use (the document record 0 included).
    int32_t GetRecordCount() const { return mNextFree; }
    const ElemPos& GetRecord(int32_t position) const { return mRecords.At(position); }

    // Decodes &lt; &amp; &gt; &apos; &quot;; any other "&" is kept.
    static CKEMDynString DecodeEntities(const char* text, size_t length);

private:
    struct Token {
        int32_t nL = 0;      // first character
        int32_t nR = -1;     // last character (nR < nL: empty)
        int32_t nNext = 0;   // where the next token search starts
        bool bIsString = false;
    };

    bool Parse();
    bool FindToken(Token& token) const;
    bool MatchToken(const Token& token, const char* name) const;
    bool MatchName(const ElemPos& elem, const char* name) const;
    int32_t FindChar(int32_t from, char c) const;
    int32_t FindText(int32_t from, const char* text) const;
    int32_t SkipNode(int32_t marker) const;
    int32_t NewRecord(int32_t parent, int32_t start);
    bool ParseError(const char* format, int32_t nameL = 0, int32_t nameLen = 0);
    bool FindAttrib(int32_t position, const char* name, Token& value) const;
    void GuardDocument(bool guard);

    CKEMDynString mDoc;
    CKEMDynString mError;
    CKEMDynArray<ElemPos> mRecords;
    int32_t mDocLength = 0;
    int32_t mParent = 0;
    int32_t mCurrent = 0;
    int32_t mChild = 0;
    int32_t mNextFree = 1;
    int32_t mNodeType = 0;
};
