// Builds wave files in memory for the sound tests, well-formed by default;
// each field can be spoiled on its own.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct WaveSpec {
    uint16_t channels = 1;
    uint16_t bits = 16;
    uint32_t rate = 8000;
    std::vector<unsigned char> samples;
    // Spoilers.
    std::string riff = "RIFF", wave = "WAVE", fmt = "fmt ", data = "data";
    uint32_t fmtSize = 16;
    uint16_t formatTag = 1;
    bool declaredDataSize = false;   // use dataSize below instead of samples.size()
    uint32_t dataSize = 0;
    std::vector<unsigned char> between;   // bytes between the fmt and data chunks
};

inline void PutLE(std::vector<unsigned char>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline std::vector<unsigned char> MakeWave(const WaveSpec& s)
{
    std::vector<unsigned char> out;
    out.insert(out.end(), s.riff.begin(), s.riff.end());
    PutLE(out, uint32_t(36 + s.samples.size()), 4);
    out.insert(out.end(), s.wave.begin(), s.wave.end());
    out.insert(out.end(), s.fmt.begin(), s.fmt.end());
    PutLE(out, s.fmtSize, 4);
    PutLE(out, s.formatTag, 2);
    PutLE(out, s.channels, 2);
    PutLE(out, s.rate, 4);
    PutLE(out, s.rate * s.channels * (s.bits / 8), 4);
    PutLE(out, uint32_t(s.channels * (s.bits / 8)), 2);
    PutLE(out, s.bits, 2);
    out.insert(out.end(), s.between.begin(), s.between.end());
    out.insert(out.end(), s.data.begin(), s.data.end());
    PutLE(out, s.declaredDataSize ? s.dataSize : uint32_t(s.samples.size()), 4);
    out.insert(out.end(), s.samples.begin(), s.samples.end());
    return out;
}

// `ms` milliseconds of 16-bit mono silence at 8 kHz.
inline std::vector<unsigned char> SilenceWave(uint32_t ms)
{
    WaveSpec s;
    s.samples.assign(size_t(ms) * 8 * 2, 0);
    return MakeWave(s);
}

inline bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}
