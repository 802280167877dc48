// CKEMDynArray<T>: a growable array of fixed-size, trivially copyable records.
// Constructed with 128 zeroed records and size 0. At() checks
// its index and raises CKEMException "invalid arg."; exhausted memory raises
// "not enough memory".
#pragma once

#include "KEMException.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

template <class T>
class CKEMDynArray {
    static_assert(std::is_trivially_copyable<T>::value, "CKEMDynArray holds plain records");

public:
    static const int32_t kInitialCapacity = 128;

    CKEMDynArray() {
        mData = static_cast<T*>(std::calloc(kInitialCapacity, sizeof(T)));
        if (!mData)
            throw CKEMException("not enough memory", "", "CKEMDynArray", 41);
        mCapacity = kInitialCapacity;
    }
    CKEMDynArray(const CKEMDynArray&) = delete;
    CKEMDynArray& operator=(const CKEMDynArray&) = delete;
    ~CKEMDynArray() { std::free(mData); }

    T& At(int32_t i) {
        if (i < 0 || i >= mSize)
            throw CKEMException("invalid arg.", "", "CKEMDynArray", 69);
        return mData[i];
    }
    const T& At(int32_t i) const {
        if (i < 0 || i >= mSize)
            throw CKEMException("invalid arg.", "", "CKEMDynArray", 69);
        return mData[i];
    }
    T& operator[](int32_t i) { return At(i); }
    const T& operator[](int32_t i) const { return At(i); }

    // Record i, growing the size to i + 1 when needed.
    T& AtGrow(int32_t i) {
        if (i < 0)
            throw CKEMException("invalid arg.", "", "CKEMDynArray", 69);
        if (i >= mSize)
            SetSize(i + 1);
        return mData[i];
    }

    // size = n; storage grows (128 doubled until it reaches n); new records are zeroed.
    void SetSize(int32_t n) {
        if (n < 0)
            throw CKEMException("invalid arg.", "", "CKEMDynArray", 69);
        if (n > mCapacity) {
            int64_t capacity = kInitialCapacity;
            while (capacity < n)
                capacity *= 2;
            if (capacity > std::numeric_limits<int32_t>::max() ||
                static_cast<uint64_t>(capacity) > std::numeric_limits<size_t>::max() / sizeof(T))
                throw CKEMException("not enough memory", "", "CKEMDynArray", 41);
            T* data = static_cast<T*>(std::calloc(static_cast<size_t>(capacity), sizeof(T)));
            if (!data)
                throw CKEMException("not enough memory", "", "CKEMDynArray", 41);
            std::memcpy(static_cast<void*>(data), mData, sizeof(T) * static_cast<size_t>(mSize));
            std::free(mData);
            mData = data;
            mCapacity = static_cast<int32_t>(capacity);
        } else if (n > mSize) {
            std::memset(static_cast<void*>(mData + mSize), 0, sizeof(T) * static_cast<size_t>(n - mSize));
        }
        mSize = n;
    }

    int32_t GetSize() const { return mSize; }
    int32_t GetCapacity() const { return mCapacity; }
    T* GetData() { return mData; }

private:
    T* mData = nullptr;
    int32_t mSize = 0;
    int32_t mCapacity = 0;
};
