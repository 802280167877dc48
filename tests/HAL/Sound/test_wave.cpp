// The wave reader: the accepted formats, folding to mono, and broken files.
#include "WaveTestUtil.h"

#include <HalWave.h>
#include <KEMException.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> values)
{
    std::vector<unsigned char> out;
    for (int v : values)
        out.push_back(static_cast<unsigned char>(v));
    return out;
}

HalWaveData Parse(const std::vector<unsigned char>& file, bool mono)
{
    HalWaveData wave;
    HalParseWave(file.data(), file.size(), mono, wave);
    return wave;
}

// The reason of the error the reader raises, or "" when it reads the file.
std::string ErrorOf(const std::vector<unsigned char>& file, bool mono = false)
{
    try {
        Parse(file, mono);
    } catch (const CKEMException& e) {
        return e.GetReason();
    }
    return "";
}

}  // namespace

TEST(HalWave, ReadsEachPcmLayout)
{
    struct Case {
        uint16_t channels, bits;
        uint32_t rate;
        size_t bytes;
        uint32_t format, durationMs;
    };
    const Case cases[] = {
        {1, 8, 8000, 8000, HAL_WAVE_MONO8, 1000},
        {1, 16, 8000, 8000, HAL_WAVE_MONO16, 500},
        {2, 8, 11025, 22050, HAL_WAVE_STEREO8, 1000},
        {2, 16, 8000, 8000, HAL_WAVE_STEREO16, 250},
    };
    for (const Case& c : cases) {
        WaveSpec spec;
        spec.channels = c.channels;
        spec.bits = c.bits;
        spec.rate = c.rate;
        for (size_t i = 0; i < c.bytes; ++i)
            spec.samples.push_back(static_cast<unsigned char>(i * 7));
        const HalWaveData wave = Parse(MakeWave(spec), false);
        EXPECT_EQ(wave.format, c.format) << c.channels << "ch " << c.bits << "bit";
        EXPECT_EQ(wave.channels, c.channels);
        EXPECT_EQ(wave.bitsPerSample, c.bits);
        EXPECT_EQ(wave.sampleRate, c.rate);
        EXPECT_EQ(wave.durationMs, c.durationMs) << c.channels << "ch " << c.bits << "bit";
        EXPECT_EQ(wave.samples, spec.samples);
    }
}

TEST(HalWave, MonoFlagKeepsTheLastChannel)
{
    WaveSpec stereo;
    stereo.channels = 2;
    stereo.bits = 16;
    stereo.rate = 1000;
    // Frames (L, R): (0x0101, 0x0202), (0x0303, 0x0404).
    stereo.samples = Bytes({1, 1, 2, 2, 3, 3, 4, 4});
    HalWaveData wave = Parse(MakeWave(stereo), true);
    EXPECT_EQ(wave.format, HAL_WAVE_MONO16);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.samples, Bytes({2, 2, 4, 4}));
    EXPECT_EQ(wave.durationMs, 2u);   // 4 bytes of mono 16-bit at 1 kHz

    WaveSpec three;
    three.channels = 3;
    three.bits = 8;
    three.samples = Bytes({10, 11, 12, 20, 21, 22});
    wave = Parse(MakeWave(three), true);
    EXPECT_EQ(wave.format, HAL_WAVE_MONO8);
    EXPECT_EQ(wave.samples, Bytes({12, 22}));

    // Without the flag a stereo file stays stereo.
    EXPECT_EQ(Parse(MakeWave(stereo), false).format, HAL_WAVE_STEREO16);
}

TEST(HalWave, PartialTrailingFrameIsDropped)
{
    WaveSpec spec;
    spec.channels = 2;
    spec.bits = 16;
    spec.samples = Bytes({1, 2, 3, 4, 5, 6, 7});   // one frame and three bytes
    EXPECT_EQ(Parse(MakeWave(spec), false).samples, Bytes({1, 2, 3, 4}));
    EXPECT_EQ(Parse(MakeWave(spec), true).samples, Bytes({3, 4}));
}

TEST(HalWave, LongFileDurationDoesNotWrap)
{
    // 5,000,000 bytes x 1000 passes 2^32.
    WaveSpec spec;
    spec.bits = 8;
    spec.samples.assign(5000000, 0x80);
    EXPECT_EQ(Parse(MakeWave(spec), false).durationMs, 625000u);
}

TEST(HalWave, BrokenFilesRaiseTheirError)
{
    const std::string invalid = kHalWaveInvalidFormat;
    const std::string shortData = kHalWaveShortData;
    auto spoiled = [](auto change) {
        WaveSpec spec;
        spec.samples = Bytes({0, 0, 1, 1});
        change(spec);
        return MakeWave(spec);
    };
    struct Case {
        const char* what;
        std::vector<unsigned char> file;
        bool mono;
        std::string error;
    };
    const Case cases[] = {
        {"RIFF tag", spoiled([](WaveSpec& s) { s.riff = "RIFX"; }), false, invalid},
        {"WAVE tag", spoiled([](WaveSpec& s) { s.wave = "AVI "; }), false, invalid},
        {"fmt tag", spoiled([](WaveSpec& s) { s.fmt = "fmx "; }), false, invalid},
        {"fmt size 18", spoiled([](WaveSpec& s) { s.fmtSize = 18; }), false, invalid},
        {"float samples", spoiled([](WaveSpec& s) { s.formatTag = 3; }), false, invalid},
        {"24-bit", spoiled([](WaveSpec& s) { s.bits = 24; }), false, invalid},
        {"no channel", spoiled([](WaveSpec& s) { s.channels = 0; }), true, invalid},
        {"rate 0", spoiled([](WaveSpec& s) { s.rate = 0; }), false, invalid},
        {"3 channels unfolded", spoiled([](WaveSpec& s) { s.channels = 3; }), false, invalid},
        {"chunk before data", spoiled([](WaveSpec& s) { s.between = Bytes({'L', 'I', 'S', 'T', 0, 0, 0, 0}); }),
         false, invalid},
        {"data tag", spoiled([](WaveSpec& s) { s.data = "dat "; }), false, invalid},
        {"data longer than file", spoiled([](WaveSpec& s) { s.declaredDataSize = true; s.dataSize = 5; }), false,
         shortData},
        {"data size 4 GB", spoiled([](WaveSpec& s) { s.declaredDataSize = true; s.dataSize = 0xFFFFFFFFu; }), true,
         shortData},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.file, c.mono), c.error) << c.what;

    // Every cut through the header.
    const std::vector<unsigned char> good = spoiled([](WaveSpec&) {});
    for (size_t cut = 0; cut < 44; ++cut)
        EXPECT_EQ(ErrorOf(std::vector<unsigned char>(good.begin(), good.begin() + cut)), invalid) << cut;
    EXPECT_EQ(ErrorOf(std::vector<unsigned char>(good.begin(), good.end() - 1)), shortData);
    EXPECT_EQ(ErrorOf(good), "");
}
