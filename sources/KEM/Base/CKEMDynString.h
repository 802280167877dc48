// CKEMDynString: a growable character string with a 256-char inline buffer.
// The text is always NUL-terminated; the capacity counts the
// characters the current buffer holds besides the NUL (255 inline).
// Exhausted memory raises CKEMException "not enough memory".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CKEMDynString {
public:
    static const int32_t kInlineSize = 256;

    CKEMDynString();
    explicit CKEMDynString(const char* text);
    CKEMDynString(const char* text, size_t length);  // exactly length chars (stops at none)
    CKEMDynString(const CKEMDynString& other);
    CKEMDynString& operator=(const CKEMDynString& other);
    ~CKEMDynString();

    // Makes the buffer hold at least n characters besides the NUL; the text is kept.
    void Grow(int32_t n);
    // Room for n characters plus NUL; returns the buffer.
    char* Reserve(int32_t n);
    void Assign(const char* text);
    void Assign(const char* text, size_t length);
    // Puts the NUL at n (n is clamped to the capacity).
    void SetLength(int32_t n);
    char* GetBuffer() { return mText; }
    const char* GetBuffer() const { return mText; }
    const char* c_str() const { return mText; }
    bool IsEmpty() const { return mText[0] == '\0'; }
    int32_t Length() const;
    int32_t GetCapacity() const { return mCapacity; }
    bool IsOnHeap() const { return mHeap != 0; }
    std::string ToString() const { return std::string(mText); }

    // vsnprintf into the current buffer, limited to its capacity (truncates).
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // At most length characters of source from start (empty when start is past the end).
    static CKEMDynString Mid(const CKEMDynString& source, int32_t start, int32_t length);

    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }

private:
    char* mText;
    char mInline[kInlineSize];
    int32_t mCapacity;
    uint8_t mHeap;
};
