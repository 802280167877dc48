#include "HalWave.h"

#include <KEMException.h>

#include <cstring>

const char* const kHalWaveInvalidFormat = "Parsing Wave File: Invalid Format!";
const char* const kHalWaveShortData = "Not all samples read in from Wave file!";

namespace {

// Sequential little-endian reads that never pass the end of the input.
class WaveCursor {
public:
    WaveCursor(const unsigned char* bytes, size_t size) : mBytes(bytes), mSize(size) {}

    size_t Remaining() const { return mSize - mPos; }

    void Tag(const char* expected) {
        Need(4);
        if (std::memcmp(mBytes + mPos, expected, 4) != 0)
            Fail();
        mPos += 4;
    }
    uint16_t U16() {
        Need(2);
        const uint16_t v = uint16_t(mBytes[mPos] | (mBytes[mPos + 1] << 8));
        mPos += 2;
        return v;
    }
    uint32_t U32() {
        Need(4);
        const uint32_t v = uint32_t(mBytes[mPos]) | (uint32_t(mBytes[mPos + 1]) << 8) |
                           (uint32_t(mBytes[mPos + 2]) << 16) | (uint32_t(mBytes[mPos + 3]) << 24);
        mPos += 4;
        return v;
    }
    const unsigned char* Here() const { return mBytes + mPos; }

private:
    void Need(size_t n) const {
        if (Remaining() < n)
            Fail();
    }
    [[noreturn]] static void Fail() { KEM_THROW_SRC(kHalWaveInvalidFormat, "HAL_Sound"); }

    const unsigned char* mBytes;
    size_t mSize;
    size_t mPos = 0;
};

[[noreturn]] void Invalid() { KEM_THROW_SRC(kHalWaveInvalidFormat, "HAL_Sound"); }

}  // namespace

void HalParseWave(const unsigned char* bytes, size_t size, bool mono, HalWaveData& out) {
    out = HalWaveData();
    if (!bytes)
        size = 0;
    WaveCursor in(bytes, size);

    in.Tag("RIFF");
    (void)in.U32();
    in.Tag("WAVE");

    in.Tag("fmt ");
    if (in.U32() != 16)
        Invalid();
    const uint16_t formatTag = in.U16();
    uint16_t channels = in.U16();
    const uint32_t sampleRate = in.U32();
    (void)in.U32();   // byte rate
    (void)in.U16();   // block align
    const uint16_t bits = in.U16();
    if (formatTag != 1 || (bits != 8 && bits != 16))
        Invalid();
    // No channel or no rate would divide by zero below; more than two
    // channels only fit OpenAL once folded to one.
    if (channels == 0 || sampleRate == 0 || (channels > 2 && !mono))
        Invalid();

    in.Tag("data");
    const uint32_t dataSize = in.U32();
    // The declared size is checked against the file before anything is
    // allocated from it.
    if (dataSize > in.Remaining())
        KEM_THROW_SRC(kHalWaveShortData, "HAL_Sound");

    const size_t sampleBytes = bits / 8;
    const size_t frames = dataSize / sampleBytes / channels;
    const unsigned char* data = in.Here();
    if (channels > 1 && mono) {
        // Keep the last channel of each frame.
        out.samples.resize(frames * sampleBytes);
        const size_t frameBytes = sampleBytes * channels;
        const size_t skip = sampleBytes * (channels - 1);
        for (size_t f = 0; f < frames; ++f)
            std::memcpy(&out.samples[f * sampleBytes], data + f * frameBytes + skip, sampleBytes);
        channels = 1;
    } else {
        // OpenAL takes whole frames only: a trailing partial frame is dropped.
        out.samples.assign(data, data + frames * sampleBytes * channels);
    }

    out.channels = channels;
    out.bitsPerSample = bits;
    out.sampleRate = sampleRate;
    if (channels == 1)
        out.format = bits == 8 ? HAL_WAVE_MONO8 : HAL_WAVE_MONO16;
    else
        out.format = bits == 8 ? HAL_WAVE_STEREO8 : HAL_WAVE_STEREO16;
    // 64-bit: a few megabytes times 1000 no longer fits 32 bits.
    const uint64_t bytesMs = uint64_t(out.samples.size()) * 1000u / sampleRate;
    const unsigned shift = (channels == 1 ? 0u : 1u) + (bits == 16 ? 1u : 0u);
    const uint64_t duration = bytesMs >> shift;
    out.durationMs = duration > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(duration);
}
