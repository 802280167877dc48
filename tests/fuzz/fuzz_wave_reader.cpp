// libFuzzer harness for the wave reader: any bytes as a wave file, and the
// same bytes as the fields and samples of a well-formed header so that the
// checks past the tags are reached at once. Besides "no crash, no sanitizer
// report", a file either fails with CKEMException or yields what the reader
// promises: whole frames of one or two channels of 8 or 16 bits.
#include <HalWave.h>
#include <KEMException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(const unsigned char* bytes, size_t size, bool mono) {
    HalWaveData wave;
    try {
        HalParseWave(bytes, size, mono, wave);
    } catch (const CKEMException&) {
        return;
    }
    if (wave.channels != 1 && wave.channels != 2)
        std::abort();
    if (mono && wave.channels != 1)
        std::abort();
    if (wave.bitsPerSample != 8 && wave.bitsPerSample != 16)
        std::abort();
    if (wave.sampleRate == 0)
        std::abort();
    const size_t frameBytes = size_t(wave.channels) * (wave.bitsPerSample / 8);
    if (wave.samples.size() % frameBytes != 0 || wave.samples.size() > size)
        std::abort();
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size, false);
    Check(data, size, true);

    // "RIFF" size "WAVE" "fmt " <4 bytes fmt size> <16 bytes fmt> "data"
    // <4 bytes data size> <samples>, the variable parts taken from the input.
    if (size < 24)
        return 0;
    std::vector<unsigned char> file;
    file.insert(file.end(), {'R', 'I', 'F', 'F'});
    Put32(file, 0);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    // Mostly the sizes that pass, sometimes what the input says.
    const bool rawSizes = data[0] & 1;
    Put32(file, rawSizes ? uint32_t(data[1] | data[2] << 8) : 16u);
    file.insert(file.end(), data + 4, data + 20);
    if (!rawSizes) {
        file[20] = 1;   // PCM
        file[21] = 0;
    }
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    uint32_t dataSize;
    std::memcpy(&dataSize, data + 20, 4);
    Put32(file, rawSizes ? dataSize : uint32_t(size - 24));
    file.insert(file.end(), data + 24, data + size);
    Check(file.data(), file.size(), false);
    Check(file.data(), file.size(), true);
    return 0;
}
