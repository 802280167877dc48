// The wave files the sound manager accepts: RIFF/WAVE, a 16-byte "fmt " chunk
// of PCM, 8 or 16 bits, immediately followed by the "data" chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// OpenAL's format codes (AL_FORMAT_MONO8 ... AL_FORMAT_STEREO16).
enum : uint32_t {
    HAL_WAVE_MONO8 = 0x1100,
    HAL_WAVE_MONO16 = 0x1101,
    HAL_WAVE_STEREO8 = 0x1102,
    HAL_WAVE_STEREO16 = 0x1103,
};

// One decoded file, ready for an OpenAL buffer.
struct HalWaveData {
    uint32_t format = 0;          // HAL_WAVE_*
    uint16_t channels = 0;        // of the samples below: 1 or 2
    uint16_t bitsPerSample = 0;   // 8 or 16
    uint32_t sampleRate = 0;
    uint32_t durationMs = 0;
    std::vector<unsigned char> samples;   // whole frames only
};

// Texts of the errors the reader raises.
extern const char* const kHalWaveInvalidFormat;   // "Parsing Wave File: Invalid Format!"
extern const char* const kHalWaveShortData;       // "Not all samples read in from Wave file!"

// Decodes a whole file held in memory. With `mono`, a file of several
// channels keeps the last channel of each frame. Throws CKEMException with
// one of the texts above for anything malformed: bad tags, a chunk size that
// is not 16, a format that is not PCM 8/16-bit, no channel, a sample rate of
// 0, more than two channels without `mono`, or a data chunk longer than what
// the file holds. Nothing is read outside [bytes, bytes + size).
void HalParseWave(const unsigned char* bytes, size_t size, bool mono, HalWaveData& out);
