#include "CMarkup.h"

#include <cstring>
#include <limits>
#include <vector>

// Under AddressSanitizer the unused tail of the document buffer (past the
// text's NUL) is poisoned while a document is held, so that any read past the
// text is reported by the fuzz harness, not only reads past the allocation.
#if defined(__SANITIZE_ADDRESS__)
#define KEM_MARKUP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEM_MARKUP_ASAN 1
#endif
#endif
#ifdef KEM_MARKUP_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that end an unquoted token (blanks included).
bool IsTokenDelimiter(char c) {
    switch (c) {
    case ' ': case '\t': case '\n': case '\r':
    case '<': case '>': case '=': case '\\': case '/': case '?': case '!':
        return true;
    default:
        return false;
    }
}

// After a matched prefix, a name may end or go on with one of these.
bool IsNameContinuation(char c) {
    return c == '\0' || c == ' ' || c == '=' || c == '/' || c == '[';
}

}  // namespace

CMarkup::CMarkup(const char* text) {
    try {
        SetDoc(text);
    } catch (...) {
        GuardDocument(false);  // no destructor runs for a failed constructor
        throw;
    }
}

CMarkup::CMarkup(const char* text, size_t length) {
    try {
        SetDoc(text, length);
    } catch (...) {
        GuardDocument(false);
        throw;
    }
}

CMarkup::~CMarkup() {
    GuardDocument(false);
}

void CMarkup::GuardDocument(bool guard) {
#ifdef KEM_MARKUP_ASAN
    char* tail = mDoc.GetBuffer() + mDocLength + 1;
    const size_t size = static_cast<size_t>(mDoc.GetCapacity() - mDocLength);
    if (guard)
        ASAN_POISON_MEMORY_REGION(tail, size);
    else
        ASAN_UNPOISON_MEMORY_REGION(tail, size);
#else
    (void)guard;
#endif
}

bool CMarkup::SetDoc(const char* text) {
    return SetDoc(text, text ? std::strlen(text) : 0);
}

bool CMarkup::SetDoc(const char* text, size_t length) {
    mNextFree = 1;
    ResetPos();
    mError.Assign("");
    if (!text)
        length = 0;
    GuardDocument(false);
    mDocLength = 0;
    mDoc.Assign(text, length);  // raises "not enough memory" past 2^31 - 1 chars
    mDocLength = static_cast<int32_t>(length);
    GuardDocument(true);

    int32_t startSize = mDocLength / 64 + 8;
    if (mRecords.GetSize() < startSize)
        mRecords.SetSize(startSize);

    bool wellFormed = false;
    if (mDocLength > 0) {
        mRecords.At(0) = ElemPos{};
        wellFormed = Parse();
    }
    if (!wellFormed) {
        mRecords.At(0) = ElemPos{};
        mNextFree = 1;
    }
    ResetPos();
    return wellFormed;
}

void CMarkup::ResetPos() {
    mParent = 0;
    mCurrent = 0;
    mChild = 0;
    mNodeType = 0;
}

bool CMarkup::IsWellFormed() const {
    return mNextFree > 1 && mRecords.At(0).iElemChild != 0;
}

// ---------------------------------------------------------------------------
// Scanning helpers: every one is bounded by mDocLength.

int32_t CMarkup::FindChar(int32_t from, char c) const {
    if (from < 0)
        from = 0;
    if (from >= mDocLength)
        return -1;
    const char* doc = mDoc.GetBuffer();
    const void* hit = std::memchr(doc + from, c, static_cast<size_t>(mDocLength - from));
    return hit ? static_cast<int32_t>(static_cast<const char*>(hit) - doc) : -1;
}

int32_t CMarkup::FindText(int32_t from, const char* text) const {
    const int32_t len = static_cast<int32_t>(std::strlen(text));
    if (from < 0)
        from = 0;
    const char* doc = mDoc.GetBuffer();
    for (int32_t i = from; i + len <= mDocLength; ++i) {
        i = FindChar(i, text[0]);
        if (i < 0 || i + len > mDocLength)
            return -1;
        if (std::memcmp(doc + i, text, static_cast<size_t>(len)) == 0)
            return i;
    }
    return -1;
}

bool CMarkup::FindToken(Token& token) const {
    const char* doc = mDoc.GetBuffer();
    const int32_t n = mDocLength;
    int32_t i = token.nNext < 0 ? 0 : token.nNext;
    token.bIsString = false;

    while (i < n && IsBlank(doc[i]))
        ++i;
    if (i >= n) {
        token.nL = n;
        token.nR = n - 1;
        token.nNext = n;
        return false;
    }

    const char first = doc[i];
    if (first == '"' || first == '\'') {
        token.bIsString = true;
        ++i;
        token.nL = i;
        while (i < n && doc[i] != first)
            ++i;
        token.nR = i - 1;
        if (i < n)
            ++i;  // past the closing quote
    } else {
        token.nL = i;
        while (i < n && !IsTokenDelimiter(doc[i]))
            ++i;
        if (i == token.nL)
            ++i;  // a one-character delimiter token
        token.nR = i - 1;
    }
    token.nNext = i;
    return true;
}

bool CMarkup::MatchToken(const Token& token, const char* name) const {
    if (!name)
        return false;
    const char* doc = mDoc.GetBuffer();
    const int32_t len = token.nR - token.nL + 1;
    for (int32_t k = 0; k < len; ++k) {
        if (name[k] == '\0' || name[k] != doc[token.nL + k])
            return false;
    }
    return IsNameContinuation(name[len > 0 ? len : 0]);
}

bool CMarkup::MatchName(const ElemPos& elem, const char* name) const {
    Token token;
    token.nL = elem.nNameL;
    token.nR = elem.nNameL + elem.nNameLen - 1;
    return MatchToken(token, name);
}

// marker indexes the "?" or "!" that follows "<". Returns the index of the
// node's closing ">", or -1 when the node is not terminated.
int32_t CMarkup::SkipNode(int32_t marker) const {
    const char* doc = mDoc.GetBuffer();
    const int32_t n = mDocLength;
    if (doc[marker] == '?') {
        int32_t end = FindText(marker + 1, "?>");
        return end < 0 ? -1 : end + 1;
    }
    if (marker + 2 < n && doc[marker + 1] == '-' && doc[marker + 2] == '-') {
        int32_t end = FindText(marker + 3, "-->");
        return end < 0 ? -1 : end + 2;
    }
    if (marker + 1 < n && doc[marker + 1] == '[') {
        int32_t end = FindText(marker + 2, "]]>");
        return end < 0 ? -1 : end + 2;
    }
    // Any other declaration: the ">" that stands outside all "[" "]" brackets.
    int32_t depth = 0;
    for (int32_t i = marker + 1; i < n; ++i) {
        if (doc[i] == '[')
            ++depth;
        else if (doc[i] == ']' && depth > 0)
            --depth;
        else if (doc[i] == '>' && depth == 0)
            return i;
    }
    return -1;
}

int32_t CMarkup::NewRecord(int32_t parent, int32_t start) {
    if (mNextFree >= mRecords.GetSize()) {
        int64_t size = mRecords.GetSize();
        int64_t grown = size + size / 2;
        if (grown <= mNextFree)
            grown = static_cast<int64_t>(mNextFree) + 1;
        if (grown > std::numeric_limits<int32_t>::max())
            throw CKEMException("not enough memory", "", "CKEMDynArray", 41);
        mRecords.SetSize(static_cast<int32_t>(grown));
    }
    int32_t index = mNextFree++;
    ElemPos& elem = mRecords.At(index);
    elem = ElemPos{};
    elem.nStartL = start;
    elem.iElemParent = parent;
    return index;
}

bool CMarkup::ParseError(const char* format, int32_t nameL, int32_t nameLen) {
    if (nameLen > 0) {
        CKEMDynString name(mDoc.GetBuffer() + nameL, static_cast<size_t>(nameLen));
        mError.Format(format, name.GetBuffer());
    } else {
        mError.Format("%s", format);
    }
    return false;
}

// ---------------------------------------------------------------------------
// The parser. It follows the recursive ParseElem step by step,
// with an explicit stack of open elements in place of the recursion.

bool CMarkup::Parse() {
    struct Open {
        int32_t record;
        int32_t lastChild;
    };
    std::vector<Open> open;
    const char* doc = mDoc.GetBuffer();

    int32_t parent = 0;  // element whose content is being read (0: the document)
    int32_t pos = 0;     // where the search for the next tag starts

    for (;;) {
        const int32_t rec = NewRecord(parent, pos);

        // Find the next tag, passing over "<?...?>", "<!--...-->", "<![...]]>", "<!...>".
        int32_t lt = -1;
        Token token;
        for (;;) {
            lt = FindChar(pos, '<');
            if (lt < 0) {
                --mNextFree;
                return ParseError("Element tag not found");
            }
            token.nNext = lt + 1;
            if (!FindToken(token)) {
                --mNextFree;
                return ParseError("Abrupt end within tag");
            }
            if (token.bIsString) {
                --mNextFree;
                return ParseError("Tag starts with quote");
            }
            const char first = doc[token.nL];
            if (first == '?' || first == '!') {
                int32_t end = SkipNode(token.nL);
                if (end < 0) {
                    --mNextFree;
                    return ParseError("Invalid node");
                }
                pos = end + 1;
                continue;
            }
            break;
        }

        if (doc[token.nL] == '/') {
            // An end tag: the parent's content ends here. Give the record back.
            --mNextFree;
            if (open.empty())
                return false;  // the document starts with an end tag
            const int32_t done = open.back().record;
            open.pop_back();
            const int32_t nameL = mRecords.At(done).nNameL;
            const int32_t nameLen = mRecords.At(done).nNameLen;

            // Read the end tag's tokens up to ">": "/" then the tag name.
            Token end;
            end.nNext = lt + 1;
            int32_t count = 0;
            int32_t gt = -1;
            while (FindToken(end)) {
                ++count;
                // "</>": a ">" where the name should be leaves the tag unfinished.
                if (count == 2 && !end.bIsString && doc[end.nL] == '>')
                    return ParseError("End tag not completed for element %s", nameL, nameLen);
                if (count == 2) {
                    bool match = false;
                    if (!end.bIsString) {
                        const int32_t len = end.nR - end.nL + 1;
                        if (len <= nameLen && std::memcmp(doc + end.nL, doc + nameL, static_cast<size_t>(len)) == 0)
                            match = len == nameLen || IsNameContinuation(doc[nameL + len]);
                    }
                    if (!match)
                        return ParseError("End tag does not correspond to %s", nameL, nameLen);
                }
                if (!end.bIsString && doc[end.nL] == '>') {
                    if (count == 1)
                        return ParseError("Expecting end tag of element %s", nameL, nameLen);
                    gt = end.nL;
                    break;
                }
                if (count == 1 && (end.bIsString || doc[end.nL] != '/'))
                    return ParseError("Expecting end tag of element %s", nameL, nameLen);
            }
            if (gt < 0 || count < 2)
                return ParseError("End tag not completed for element %s", nameL, nameLen);

            ElemPos& elem = mRecords.At(done);
            elem.nEndL = lt;
            elem.nEndR = gt;
            if (open.empty()) {
                mRecords.At(0).iElemChild = done;
                return true;
            }
            Open& holder = open.back();
            if (holder.lastChild)
                mRecords.At(holder.lastChild).iElemNext = done;
            else
                mRecords.At(holder.record).iElemChild = done;
            holder.lastChild = done;
            parent = holder.record;
            pos = gt + 1;
            continue;
        }

        // A start tag.
        const int32_t gt = FindChar(token.nL, '>');
        if (gt < 0) {
            --mNextFree;
            return ParseError("End of tag not found");
        }
        {
            ElemPos& elem = mRecords.At(rec);
            elem.nStartL = lt;
            elem.nStartR = gt;
            elem.nNameL = token.nL;
            elem.nNameLen = token.nR - token.nL + 1;
        }
        if (gt > 0 && doc[gt - 1] == '/' && gt - 1 > lt) {
            // An empty element.
            ElemPos& elem = mRecords.At(rec);
            elem.nEndL = gt - 1;
            elem.nEndR = gt;
            if (open.empty()) {
                mRecords.At(0).iElemChild = rec;
                return true;
            }
            Open& holder = open.back();
            if (holder.lastChild)
                mRecords.At(holder.lastChild).iElemNext = rec;
            else
                mRecords.At(holder.record).iElemChild = rec;
            holder.lastChild = rec;
            parent = holder.record;
            pos = gt + 1;
            continue;
        }
        open.push_back(Open{rec, 0});
        parent = rec;
        pos = gt + 1;
    }
}

// ---------------------------------------------------------------------------
// Navigation.

bool CMarkup::FindElem(const char* name) {
    if (mNextFree <= 1)
        return false;
    int32_t pos = mCurrent ? mRecords.At(mCurrent).iElemNext : mRecords.At(mParent).iElemChild;
    const bool any = !name || !name[0];
    while (pos > 0 && pos < mNextFree) {
        const ElemPos& elem = mRecords.At(pos);
        if (any || MatchName(elem, name)) {
            mCurrent = pos;
            mParent = elem.iElemParent;
            mChild = 0;
            mNodeType = 1;
            return true;
        }
        pos = elem.iElemNext;
    }
    return false;
}

bool CMarkup::IntoElem() {
    if (mCurrent && mNodeType == 1) {
        mParent = mCurrent;
        mCurrent = mChild;
        mChild = 0;
        mNodeType = mCurrent != 0 ? 1 : 0;
        return true;
    }
    return false;
}

bool CMarkup::OutOfElem() {
    if (mParent) {
        mChild = mCurrent;
        mCurrent = mParent;
        mParent = mRecords.At(mParent).iElemParent;
        mNodeType = 1;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Attributes.

bool CMarkup::FindAttrib(int32_t position, const char* name, Token& value) const {
    const ElemPos& elem = mRecords.At(position);  // raises "invalid arg." outside the records
    if (position <= 0 || position >= mNextFree || !name)
        return false;
    const char* doc = mDoc.GetBuffer();
    Token token;
    token.nNext = elem.nStartL + 1;
    int32_t count = 0;
    int32_t mark = -1;  // token number of a matching attribute name
    while (FindToken(token)) {
        ++count;
        if (mark >= 0) {
            if (count == mark + 1) {
                if (!token.bIsString && doc[token.nL] == '=')
                    continue;
                mark = -1;
            } else if (count == mark + 2) {
                if (token.bIsString) {
                    value = token;
                    return true;
                }
                mark = -1;  // unquoted value: not recognised
            }
        }
        if (token.bIsString)
            continue;
        const char c = doc[token.nL];
        if (c == '>' || c == '/' || c == '?')
            return false;
        if (c == '=' || count == 1)  // count 1 is the tag name
            continue;
        if (MatchToken(token, name))
            mark = count;
    }
    return false;
}

CKEMDynString CMarkup::GetAttribOfElem(int32_t position, const char* name) const {
    Token value;
    if (!FindAttrib(position, name, value))
        return CKEMDynString();
    const int32_t len = value.nR - value.nL + 1;
    if (len <= 0)
        return CKEMDynString();
    return DecodeEntities(mDoc.GetBuffer() + value.nL, static_cast<size_t>(len));
}

CKEMDynString CMarkup::GetAttrib(const char* name) const {
    if (!mCurrent || mNodeType != 1)
        return CKEMDynString();
    return GetAttribOfElem(mCurrent, name);
}

bool CMarkup::HasAttrib(const char* name) const {
    if (!mCurrent || mNodeType != 1)
        return false;
    Token value;
    return FindAttrib(mCurrent, name, value);
}

CKEMDynString CMarkup::GetAttribName(int32_t n) const {
    if (!mCurrent || mNodeType != 1 || n < 0)
        return CKEMDynString();
    const char* doc = mDoc.GetBuffer();
    Token token;
    token.nNext = mRecords.At(mCurrent).nStartL + 1;
    int32_t count = 0;
    int32_t index = 0;
    while (FindToken(token)) {
        ++count;
        if (token.bIsString)
            continue;
        const char c = doc[token.nL];
        if (c == '>' || c == '/' || c == '?')
            break;
        if (c == '=' || count == 1)
            continue;
        if (index++ == n)
            return CKEMDynString(doc + token.nL, static_cast<size_t>(token.nR - token.nL + 1));
    }
    return CKEMDynString();
}

CKEMDynString CMarkup::GetTagName() const {
    if (!mCurrent || mNodeType != 1)
        return CKEMDynString();
    const ElemPos& elem = mRecords.At(mCurrent);
    return CKEMDynString(mDoc.GetBuffer() + elem.nNameL, static_cast<size_t>(elem.nNameLen));
}

CKEMDynString CMarkup::DecodeEntities(const char* text, size_t length) {
    static const struct {
        const char* name;
        size_t length;
        char value;
    } kEntities[] = {
        {"&lt;", 4, '<'}, {"&amp;", 5, '&'}, {"&gt;", 4, '>'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
    };
    CKEMDynString out;
    if (!text || length == 0)
        return out;
    if (length >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw CKEMException("not enough memory", "", "CKEMDynString", 152);
    char* buffer = out.Reserve(static_cast<int32_t>(length));
    size_t o = 0;
    for (size_t i = 0; i < length;) {
        if (text[i] == '&') {
            bool decoded = false;
            for (const auto& entity : kEntities) {
                if (length - i >= entity.length && std::memcmp(text + i, entity.name, entity.length) == 0) {
                    buffer[o++] = entity.value;
                    i += entity.length;
                    decoded = true;
                    break;
                }
            }
            if (decoded)
                continue;
        }
        buffer[o++] = text[i++];
    }
    buffer[o] = '\0';
    return out;
}
