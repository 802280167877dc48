// The small markup tokenizer behind the settings file: it returns one markup
// (element, end tag, declaration or processing instruction) at a time with
// its attributes, and never reads outside the text it was given.
#pragma once

#include <cstdint>

// One markup as ReadMarkup found it. Pointers point into the parser's text.
struct XMLMarkup {
    enum { MAX_ATTRIBUTES = 10 };

    int32_t consumed = 0;            // characters consumed by this markup
    const char* name = nullptr;      // after "<"; "/env" for an end tag
    int32_t nameLength = 0;
    int32_t attributeCount = 0;
    const char* attributeNames[MAX_ATTRIBUTES] = {};
    int32_t attributeNameLengths[MAX_ATTRIBUTES] = {};
    const char* attributeValues[MAX_ATTRIBUTES] = {};   // on the opening quote
    int32_t attributeValueLengths[MAX_ATTRIBUTES] = {}; // both quotes included
    uint8_t closed = 0;              // "/>"

    void Clear();
    // True when the markup's name is exactly the text.
    bool IsNamed(const char* text) const;
};

class CXMLParser {
public:
    CXMLParser() = default;

    // The text need not be NUL-terminated; only length characters are read.
    void SetText(const char* text, int32_t length);

    // Reads the next markup, skipping comments. False when no further markup
    // exists, or when the text holds a malformed one (then HasError is true
    // and GetError says why; the parser stays on the faulty markup).
    bool ReadMarkup(XMLMarkup& markup);

    bool HasError() const { return mError != nullptr; }
    const char* GetError() const { return mError ? mError : ""; }

    // Index of the attribute with exactly that name, or -1.
    static int FindAttribute(const XMLMarkup& markup, const char* name);
    // malloc'd copy of the attribute's value without its quotes (the caller
    // frees it); null for a bad index.
    static char* GetAttributeValue(const XMLMarkup& markup, int index);

private:
    // One attribute, "/>" or ">". False at the end of the attributes (the
    // position is then past ">") or on an error.
    bool ReadAttribute(XMLMarkup& markup);
    // Skips to just past the first occurrence of the text; false when absent.
    bool SkipPast(const char* text);
    bool Fail(const char* why);
    int32_t Remaining() const { return int32_t(mEnd - mPos); }

    const char* mPos = nullptr;
    const char* mEnd = nullptr;
    const char* mError = nullptr;
};
