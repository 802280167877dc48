// Small vector helpers for the particle engine's straight loops. Vectors are
// plain float triples so that pool records and channels stay raw arrays.
#pragma once

#include <Platform.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace pfx {

struct Vec3 {
    float x, y, z;
};

inline Vec3 V3(float x, float y, float z) { return Vec3{x, y, z}; }
inline Vec3 Load(const float* p) { return Vec3{p[0], p[1], p[2]}; }
inline void Store(float* p, const Vec3& v) {
    p[0] = v.x;
    p[1] = v.y;
    p[2] = v.z;
}
inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(const Vec3& a, float k) { return Vec3{a.x * k, a.y * k, a.z * k}; }
inline Vec3 Mul(const Vec3& a, const Vec3& b) { return Vec3{a.x * b.x, a.y * b.y, a.z * b.z}; }
inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
// A zero (or non-finite) vector stays as it is rather than becoming NaN.
inline Vec3 Normalise(const Vec3& a) {
    const float len = Length(a);
    return len > 1e-30f ? a * (1.0f / len) : a;
}

// rand() / 32767 of the runtime generator.
inline float RandomUnit() { return static_cast<float>(KemRand()) / 32767.0f; }
// a + rand() * (b - a) / 32767.
inline float RandomIn(float a, float b) { return a + static_cast<float>(KemRand()) * (b - a) / 32767.0f; }

// Unaligned little-endian reads and writes of raw file images.
inline uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline float ReadF32(const uint8_t* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void WriteU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void WriteF32(uint8_t* p, float v) { std::memcpy(p, &v, 4); }

// Float to integer without the undefined behaviour of an out-of-range cast:
// truncates toward zero, NaN gives 0, values beyond the range saturate.
inline int32_t TruncToInt(float v) {
    if (!(v == v))
        return 0;
    if (v >= 2147483520.0f)
        return 2147483647;
    if (v <= -2147483648.0f)
        return static_cast<int32_t>(-2147483647 - 1);
    return static_cast<int32_t>(v);
}

}  // namespace pfx
