#include "CXMLParser.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Characters that end a markup name.
bool EndsName(char c) { return IsBlank(c) || c == '/' || c == '>'; }

// Characters that end an attribute name.
bool EndsAttributeName(char c) { return IsBlank(c) || c == '=' || c == '/' || c == '>'; }

bool StartsWith(const char* p, const char* end, const char* text) {
    const size_t n = strlen(text);
    return size_t(end - p) >= n && memcmp(p, text, n) == 0;
}

}  // namespace

void XMLMarkup::Clear() {
    *this = XMLMarkup();
}

bool XMLMarkup::IsNamed(const char* text) const {
    if (!name || !text)
        return false;
    const size_t n = strlen(text);
    return size_t(nameLength) == n && memcmp(name, text, n) == 0;
}

void CXMLParser::SetText(const char* text, int32_t length) {
    mPos = text;
    mEnd = (text && length > 0) ? text + length : text;
    mError = nullptr;
}

bool CXMLParser::Fail(const char* why) {
    mError = why;
    return false;
}

bool CXMLParser::SkipPast(const char* text) {
    const size_t n = strlen(text);
    for (const char* p = mPos; size_t(mEnd - p) >= n; ++p) {
        if (memcmp(p, text, n) == 0) {
            mPos = p + n;
            return true;
        }
    }
    return false;
}

bool CXMLParser::ReadMarkup(XMLMarkup& markup) {
    for (;;) {
        markup.Clear();
        if (mError || !mPos)
            return false;
        const char* start = mPos;
        while (mPos < mEnd && *mPos != '<')
            ++mPos;
        if (mPos >= mEnd)
            return false;
        const char* open = mPos;
        ++mPos;

        if (StartsWith(mPos, mEnd, "!--")) {
            mPos += 3;
            if (!SkipPast("-->")) {
                mPos = open;
                return Fail("unterminated comment");
            }
            continue;   // comments never reach the caller
        }

        // The first character always belongs to the name ("/" of an end tag,
        // "!" of a declaration, "?" of a processing instruction).
        if (mPos >= mEnd) {
            mPos = open;
            return Fail("unterminated markup");
        }
        if (IsBlank(*mPos) || *mPos == '>') {
            mPos = open;
            return Fail("markup name missing");
        }
        const char* name = mPos;
        const char* p = mPos + 1;
        while (p < mEnd && !EndsName(*p))
            ++p;
        if (p >= mEnd) {
            mPos = open;
            return Fail("unterminated markup");
        }
        markup.name = name;
        markup.nameLength = int32_t(p - name);
        mPos = p;

        const bool declaration = *name == '!' &&
                                 (StartsWith(name + 1, mEnd, "DOCTYPE") || StartsWith(name + 1, mEnd, "ELEMENT") ||
                                  StartsWith(name + 1, mEnd, "ATTLIST"));
        bool ok;
        if (declaration) {
            ok = SkipPast(">");
        } else if (*name == '?') {
            ok = SkipPast("?>");
        } else {
            while (ReadAttribute(markup)) {
            }
            ok = !mError;
        }
        if (!ok) {
            const char* why = mError ? mError : "unterminated markup";
            mPos = open;
            markup.Clear();
            return Fail(why);
        }
        markup.consumed = int32_t(mPos - start);
        return true;
    }
}

bool CXMLParser::ReadAttribute(XMLMarkup& markup) {
    while (mPos < mEnd && IsBlank(*mPos))
        ++mPos;
    if (mPos >= mEnd)
        return Fail("unterminated markup");
    if (*mPos == '/') {
        ++mPos;
        if (mPos >= mEnd || *mPos != '>')
            return Fail("\"/\" not followed by \">\"");
        ++mPos;
        markup.closed = 1;
        return false;
    }
    if (*mPos == '>') {
        ++mPos;
        return false;
    }
    if (markup.attributeCount >= XMLMarkup::MAX_ATTRIBUTES)
        return Fail("more than ten attributes in one markup");

    const char* name = mPos;
    while (mPos < mEnd && !EndsAttributeName(*mPos))
        ++mPos;
    const int32_t nameLength = int32_t(mPos - name);
    if (nameLength == 0)
        return Fail("attribute name missing");
    while (mPos < mEnd && IsBlank(*mPos))
        ++mPos;
    if (mPos >= mEnd || *mPos != '=')
        return Fail("attribute without value");
    ++mPos;
    while (mPos < mEnd && IsBlank(*mPos))
        ++mPos;
    if (mPos >= mEnd || *mPos != '"')
        return Fail("attribute value not in double quotes");

    const char* value = mPos++;
    for (;;) {
        while (mPos < mEnd && *mPos != '"')
            ++mPos;
        if (mPos >= mEnd)
            return Fail("unterminated attribute value");
        // A doubled quote stays inside the value.
        if (mPos + 1 < mEnd && mPos[1] == '"') {
            mPos += 2;
            continue;
        }
        ++mPos;
        break;
    }
    const int i = markup.attributeCount++;
    markup.attributeNames[i] = name;
    markup.attributeNameLengths[i] = nameLength;
    markup.attributeValues[i] = value;
    markup.attributeValueLengths[i] = int32_t(mPos - value);
    return true;
}

int CXMLParser::FindAttribute(const XMLMarkup& markup, const char* name) {
    if (!name)
        return -1;
    const size_t n = strlen(name);
    for (int i = 0; i < markup.attributeCount; ++i)
        if (size_t(markup.attributeNameLengths[i]) == n && memcmp(markup.attributeNames[i], name, n) == 0)
            return i;
    return -1;
}

char* CXMLParser::GetAttributeValue(const XMLMarkup& markup, int index) {
    if (index < 0 || index >= markup.attributeCount)
        return nullptr;
    const int32_t length = markup.attributeValueLengths[index] - 2;
    if (length < 0)
        return nullptr;
    char* copy = static_cast<char*>(malloc(size_t(length) + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, markup.attributeValues[index] + 1, size_t(length));
    copy[length] = '\0';
    return copy;
}
