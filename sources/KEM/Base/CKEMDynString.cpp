#include "CKEMDynString.h"

#include "KEMException.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
[[noreturn]] void ThrowNoMemory() {
    throw CKEMException("not enough memory", "", "CKEMDynString", 152);
}
}  // namespace

CKEMDynString::CKEMDynString() : mText(mInline), mCapacity(kInlineSize - 1), mHeap(0) {
    mInline[0] = '\0';
}

CKEMDynString::CKEMDynString(const char* text) : CKEMDynString() {
    Assign(text);
}

CKEMDynString::CKEMDynString(const char* text, size_t length) : CKEMDynString() {
    Assign(text, length);
}

CKEMDynString::CKEMDynString(const CKEMDynString& other) : CKEMDynString() {
    Assign(other.mText);
}

CKEMDynString& CKEMDynString::operator=(const CKEMDynString& other) {
    if (this != &other)
        Assign(other.mText);
    return *this;
}

CKEMDynString::~CKEMDynString() {
    if (mHeap)
        std::free(mText);
}

void CKEMDynString::Grow(int32_t n) {
    if (n <= mCapacity)
        return;
    int64_t capacity = mCapacity > 0 ? mCapacity : 1;
    while (capacity < n)
        capacity *= 2;
    if (capacity > std::numeric_limits<int32_t>::max() - 1)
        ThrowNoMemory();
    char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(capacity) + 1));
    if (!buffer)
        ThrowNoMemory();
    size_t used = std::strlen(mText);
    std::memcpy(buffer, mText, used + 1);
    if (mHeap)
        std::free(mText);
    mText = buffer;
    mCapacity = static_cast<int32_t>(capacity);
    mHeap = 1;
}

char* CKEMDynString::Reserve(int32_t n) {
    if (n < 0)
        n = 0;
    if (n == std::numeric_limits<int32_t>::max())
        ThrowNoMemory();
    if (n + 1 > mCapacity)
        Grow(n + 1);
    return mText;
}

void CKEMDynString::Assign(const char* text) {
    if (!text)
        text = "";
    Assign(text, std::strlen(text));
}

void CKEMDynString::Assign(const char* text, size_t length) {
    if (!text)
        length = 0;
    if (length >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        ThrowNoMemory();
    int32_t n = static_cast<int32_t>(length);
    uintptr_t at = reinterpret_cast<uintptr_t>(text);
    uintptr_t own = reinterpret_cast<uintptr_t>(mText);
    if (length > 0 && at >= own && at <= own + static_cast<uintptr_t>(mCapacity)) {
        // Assigning a piece of ourselves: copy through a temporary first.
        CKEMDynString copy(text, length);
        Assign(copy.mText, length);
        return;
    }
    Reserve(n);
    if (n > 0)
        std::memcpy(mText, text, length);
    mText[n] = '\0';
}

void CKEMDynString::SetLength(int32_t n) {
    if (n < 0)
        n = 0;
    if (n > mCapacity)
        n = mCapacity;
    mText[n] = '\0';
}

int32_t CKEMDynString::Length() const {
    return static_cast<int32_t>(std::strlen(mText));
}

void CKEMDynString::Format(const char* format, ...) {
    if (!format) {
        mText[0] = '\0';
        return;
    }
    va_list args;
    va_start(args, format);
    std::vsnprintf(mText, static_cast<size_t>(mCapacity) + 1, format, args);
    va_end(args);
    mText[mCapacity] = '\0';
}

CKEMDynString CKEMDynString::Mid(const CKEMDynString& source, int32_t start, int32_t length) {
    int32_t total = source.Length();
    if (start < 0)
        start = 0;
    if (start >= total || length <= 0)
        return CKEMDynString();
    int32_t take = total - start;
    if (length < take)
        take = length;
    return CKEMDynString(source.mText + start, static_cast<size_t>(take));
}

bool CKEMDynString::operator==(const char* text) const {
    return std::strcmp(mText, text ? text : "") == 0;
}
