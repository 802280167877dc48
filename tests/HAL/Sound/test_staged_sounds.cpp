// The sounds the build synthesises into the staged media: every wave the
// configuration files and the game name is there and reads as the sound
// manager reads it.
#include <HalWave.h>
#include <KEMException.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// The ".wav" values of a key/value file.
std::set<std::string> WavesNamedIn(const std::string& path)
{
    std::set<std::string> names;
    std::ifstream in(path);
    const std::regex line("^\\s*\\w+\\s*=\\s*(\\S+\\.wav)\\s*$");
    std::string text;
    std::smatch match;
    while (std::getline(in, text))
        if (std::regex_match(text, match, line))
            names.insert(match[1]);
    return names;
}

}  // namespace

TEST(StagedSounds, EveryNamedWaveIsStagedAndReadable)
{
    const std::string config = std::string(KEM_SOURCE_MEDIA) + "/Config/";
    std::set<std::string> names = WavesNamedIn(config + "MenuSounds.cfg");
    const std::set<std::string> contact = WavesNamedIn(config + "DefaultContextSound.cfg");
    EXPECT_EQ(names.size(), 4u);
    EXPECT_EQ(contact.size(), 4u);
    names.insert(contact.begin(), contact.end());
    names.insert("ZK_MEN_01.wav");     // menu music
    names.insert("SN_ENT_C_01.wav");   // training success

    for (const std::string& name : names) {
        const std::string path = std::string(KEM_STAGE_DIR) + "/mediaDemo/Sounds/" + name;
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        HalWaveData wave;
        try {
            HalParseWave(bytes.data(), bytes.size(), true, wave);
        } catch (const CKEMException& e) {
            ADD_FAILURE() << name << ": " << e.GetReason();
            continue;
        }
        EXPECT_EQ(wave.format, HAL_WAVE_MONO16) << name;
        EXPECT_GT(wave.durationMs, 50u) << name;
    }
}
