// CConfigFileMap's reader, typed getters and difficulty keys.
#include "TuningTestUtil.h"

#include <CConfigFileMap.h>
#include <KEMException.h>

#include <OgreConfigFile.h>
#include <OgreDataStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using tuning_test::ScratchDir;

namespace {

CConfigFileMap FromText(const std::string& text) {
    CConfigFileMap map;
    map.LoadFromString(text);
    return map;
}

// What OGRE's own reader makes of the same text: the unnamed section's
// settings, the first occurrence of each key kept.
CConfigFileMap::Map OgreReading(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    Ogre::DataStreamPtr stream(
        OGRE_NEW Ogre::MemoryDataStream(buffer.data(), text.size(), false, true));
    Ogre::ConfigFile file;
    file.load(stream, "\t:=", true);
    CConfigFileMap::Map result;
    const Ogre::ConfigFile::SettingsBySection_& sections = file.getSettingsBySection();
    auto unnamed = sections.find(Ogre::BLANKSTRING);
    if (unnamed == sections.end())
        return result;
    for (const auto& setting : unnamed->second)
        result.emplace(setting.first, setting.second);
    return result;
}

}  // namespace

TEST(ConfigFileMap, FirstOccurrenceOfAKeyWins) {
    CConfigFileMap map = FromText("SPEED = 1\nSPEED = 2\n");
    EXPECT_EQ(map.GetInt("SPEED", 0), 1);
    EXPECT_EQ(map.GetCount(), 1u);
}

TEST(ConfigFileMap, ColonTabAndEqualsAllSeparate) {
    EXPECT_FLOAT_EQ(FromText("k:3.5").GetFloat("k", 0.0f), 3.5f);
    EXPECT_FLOAT_EQ(FromText("k\t3.5").GetFloat("k", 0.0f), 3.5f);
    EXPECT_FLOAT_EQ(FromText("k = 3.5").GetFloat("k", 0.0f), 3.5f);
    EXPECT_FLOAT_EQ(FromText("  k  =   3.5  \r\n").GetFloat("k", 0.0f), 3.5f);
}

TEST(ConfigFileMap, ValueStartsAfterTheRunOfSeparators) {
    CConfigFileMap map = FromText("a=b=c\nd :=: e\nf=\n");
    EXPECT_EQ(map.GetString("a", "?"), "b=c");
    EXPECT_EQ(map.GetString("d", "?"), "e");
    EXPECT_EQ(map.GetString("f", "?"), "");
}

TEST(ConfigFileMap, KeysAreCaseSensitive) {
    CConfigFileMap map = FromText("DUSTSCALE = 2\n");
    EXPECT_FLOAT_EQ(map.GetFloat("dustScale", 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(map.GetFloat("DUSTSCALE", 7.0f), 2.0f);
}

TEST(ConfigFileMap, SettingsBelowASectionHeaderAreInvisible) {
    CConfigFileMap map = FromText("a = 1\n[Section]\nb = 2\n[]\nc = 3\n[ ]\nd = 4\n");
    EXPECT_EQ(map.GetInt("a", -1), 1);
    EXPECT_EQ(map.GetInt("b", -1), -1);
    EXPECT_EQ(map.GetInt("c", -1), 3);   // "[]" names the unnamed section again
    EXPECT_EQ(map.GetInt("d", -1), -1);  // "[ ]" is a section named " "
}

TEST(ConfigFileMap, CommentsBlankLinesAndLinesWithoutSeparatorAreSkipped) {
    CConfigFileMap map = FromText("# a = 1\n@b = 2\n\n   \nno separator here\n  # c = 3\nd = 4");
    EXPECT_EQ(map.GetCount(), 1u);
    EXPECT_EQ(map.GetInt("d", 0), 4);   // last line without a newline is read
}

TEST(ConfigFileMap, GetBoolAcceptsYesTrueAndOneInAnyCase) {
    CConfigFileMap map = FromText("a=TRUE\nb=Yes\nc=1\nd=2\ne=on\nf=false\ng=\nh=tRuE\n");
    EXPECT_TRUE(map.GetBool("a", false));
    EXPECT_TRUE(map.GetBool("b", false));
    EXPECT_TRUE(map.GetBool("c", false));
    EXPECT_TRUE(map.GetBool("h", false));
    EXPECT_FALSE(map.GetBool("d", true));
    EXPECT_FALSE(map.GetBool("e", true));
    EXPECT_FALSE(map.GetBool("f", true));
    EXPECT_FALSE(map.GetBool("g", true));
    EXPECT_TRUE(map.GetBool("missing", true));
    EXPECT_FALSE(map.GetBool("missing", false));
}

TEST(ConfigFileMap, GetIntReadsTheLeadingNumber) {
    CConfigFileMap map = FromText("a=42abc\nb=abc\nc=2.5\nd=-7\ne=  \nf=+12\n");
    EXPECT_EQ(map.GetInt("a", 0), 42);
    EXPECT_EQ(map.GetInt("b", 9), 0);
    EXPECT_EQ(map.GetInt("c", 0), 2);
    EXPECT_EQ(map.GetInt("d", 0), -7);
    EXPECT_EQ(map.GetInt("e", 9), 0);
    EXPECT_EQ(map.GetInt("f", 0), 12);
    EXPECT_EQ(map.GetInt("missing", 123), 123);
    EXPECT_EQ(map.GetInt("missing", -2147483647 - 1), -2147483647 - 1);
}

TEST(ConfigFileMap, GetFloatFollowsAtof) {
    CConfigFileMap map = FromText("a=1e-3\nb=0.5\nc=abc\nd=-2.25xyz\n");
    EXPECT_FLOAT_EQ(map.GetFloat("a", 0.0f), 0.001f);
    EXPECT_FLOAT_EQ(map.GetFloat("b", 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(map.GetFloat("c", 9.0f), 0.0f);
    EXPECT_FLOAT_EQ(map.GetFloat("d", 0.0f), -2.25f);
}

TEST(ConfigFileMap, MissingFloatDefaultComesBackWithSixSignificantDigits) {
    CConfigFileMap map;
    EXPECT_FLOAT_EQ(map.GetFloat("x", 0.1f), 0.1f);
    EXPECT_EQ(map.GetFloat("x", 0.0f), 0.0f);
    EXPECT_EQ(map.GetFloat("x", 1.2345678f), 1.23457f);
    EXPECT_EQ(map.GetFloat("x", 1234567.0f), 1.23457e6f);
}

TEST(ConfigFileMap, GettersNeverAddKeys) {
    CConfigFileMap map = FromText("a=1\n");
    map.GetString("b", "x");
    map.GetFloat("c", 1.0f);
    map.GetInt("d", 1);
    map.GetBool("e", true);
    EXPECT_EQ(map.GetCount(), 1u);
    EXPECT_FALSE(map.HasKey("b"));
}

TEST(ConfigFileMap, SecondLoadOnlyAddsMissingKeys) {
    ScratchDir dir;
    const std::string first = dir.Write("first.cfg", "a = 1\nb = 2\n");
    const std::string second = dir.Write("second.cfg", "b = 20\nc = 30\n");
    CConfigFileMap map(first);
    map.Load(second);
    EXPECT_EQ(map.GetInt("a", 0), 1);
    EXPECT_EQ(map.GetInt("b", 0), 2);
    EXPECT_EQ(map.GetInt("c", 0), 30);
}

TEST(ConfigFileMap, CopyDuplicatesEveryEntry) {
    CConfigFileMap original = FromText("a = 1\nb = two\n");
    CConfigFileMap copy(original);
    original.Clear();
    EXPECT_EQ(copy.GetInt("a", 0), 1);
    EXPECT_EQ(copy.GetString("b", ""), "two");
    EXPECT_EQ(original.GetCount(), 0u);
}

TEST(ConfigFileMap, MissingFileThrowsAndLeavesTheMapAsItWas) {
    ScratchDir dir;
    CConfigFileMap map = FromText("a = 1\n");
    const std::string path = dir.Folder() + "nowhere.cfg";
    try {
        map.Load(path);
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason(), "'" + path + "' file not found!");
        EXPECT_EQ(e.GetSource(), "ConfigFile::load");
    }
    EXPECT_EQ(map.GetCount(), 1u);
    EXPECT_THROW(CConfigFileMap constructed(path), CKEMException);
}

TEST(ConfigFileMap, FolderInPlaceOfAFileThrows) {
    ScratchDir dir;
    CConfigFileMap map;
    EXPECT_THROW(map.Load(dir.Path()), CKEMException);
    EXPECT_EQ(map.GetCount(), 0u);
}

TEST(ConfigFileMap, BackslashPathsAreOpened) {
    ScratchDir dir;
    dir.Write("win.cfg", "x = 5\n");
    std::string path = dir.Path() + "\\win.cfg";
    CConfigFileMap map(path);
    EXPECT_EQ(map.GetInt("x", 0), 5);
}

TEST(ConfigFileMap, ReadsNothingPastTheBuffer) {
    // The buffer ends in the middle of a key: that line has no separator.
    const char text[] = "a=1\nbbbb=2";
    CConfigFileMap map;
    map.LoadFromMemory(text, 6);   // "a=1\nbb"
    EXPECT_EQ(map.GetCount(), 1u);
    map.LoadFromMemory(nullptr, 10);
    map.LoadFromMemory(text, 0);
    EXPECT_EQ(map.GetCount(), 1u);
}

TEST(ConfigFileMap, NulEndsTheLine) {
    const char text[] = "a=1\0junk\nb=2\n";
    CConfigFileMap map;
    map.LoadFromMemory(text, sizeof(text) - 1);
    EXPECT_EQ(map.GetString("a", ""), "1");
    EXPECT_EQ(map.GetInt("b", 0), 2);
}

TEST(ConfigFileMap, DifficultySuffixes) {
    EXPECT_STREQ(DifficultySuffix(0, false), "FACILE");
    EXPECT_STREQ(DifficultySuffix(1, false), "MOYEN");
    EXPECT_STREQ(DifficultySuffix(2, false), "DIFFICILE");
    EXPECT_STREQ(DifficultySuffix(5, false), "DIFFICILE");
    EXPECT_STREQ(DifficultySuffix(-1, false), "DIFFICILE");
    EXPECT_STREQ(DifficultySuffix(1, true), "moyen");
    EXPECT_EQ(DifficultyKey("TEMPS_JAUGE_POWER_", 0), "TEMPS_JAUGE_POWER_FACILE");
    EXPECT_EQ(DifficultyKey("TEMPS_JAUGE_EQUILIBRE_ROUGE_", 7), "TEMPS_JAUGE_EQUILIBRE_ROUGE_DIFFICILE");
    EXPECT_EQ(DifficultyKey("coef_error_power_", 1), "coef_error_power_moyen");
    EXPECT_EQ(DifficultyKey("unbalance_influence_", 2), "unbalance_influence_difficile");
    EXPECT_EQ(SelectByDifficulty(0, 1, 2, 3), 1);
    EXPECT_EQ(SelectByDifficulty(1, 1, 2, 3), 2);
    EXPECT_EQ(SelectByDifficulty(2, 1, 2, 3), 3);
    EXPECT_EQ(SelectByDifficulty(5, 1, 2, 3), 3);
}

TEST(ConfigFileMap, GettersForDifficulty) {
    CConfigFileMap map = FromText(
        "TEMPS_JAUGE_POWER_FACILE = 2500\nTEMPS_JAUGE_POWER_MOYEN = 2000\n"
        "TEMPS_JAUGE_POWER_DIFFICILE = 1500\n"
        "coef_error_power_facile = 0.02\ncoef_error_power_moyen = 0.05\n"
        "coef_error_power_difficile = 0.08\nCOEF_ERROR_POWER_MOYEN = 9\n");
    EXPECT_FLOAT_EQ(map.GetFloatForDifficulty("TEMPS_JAUGE_POWER_", 0, 0.0f), 2500.0f);
    EXPECT_FLOAT_EQ(map.GetFloatForDifficulty("TEMPS_JAUGE_POWER_", 1, 0.0f), 2000.0f);
    EXPECT_FLOAT_EQ(map.GetFloatForDifficulty("TEMPS_JAUGE_POWER_", 5, 0.0f), 1500.0f);
    EXPECT_EQ(map.GetIntForDifficulty("TEMPS_JAUGE_POWER_", 1, 0), 2000);
    EXPECT_FLOAT_EQ(map.GetFloatForDifficulty("coef_error_power_", 1, 0.0f), 0.05f);
    EXPECT_FLOAT_EQ(map.GetFloatForDifficulty("coef_error_power_", 2, 0.0f), 0.08f);
}

// The reader must read every text exactly as OGRE's configuration-file reader
// does; the tuning files were written for that reader.
TEST(ConfigFileMap, ReadsLikeOgresReader) {
    const std::vector<std::string> texts = {
        "",
        "a=1",
        "a = 1\r\nb\t2\r\nc:3\r\n",
        "  spaced key   =   spaced value  \n",
        "k==v\nk2 := v2\n=novalue\n:\n\t\n",
        "[S]\nx=1\n[]\ny=2\n[ ]\nz=3\n[unclosed\nw=4\n",
        "#c=1\n@d=2\n #e=3\n\t@f=4\n",
        "dup=1\ndup=2\nDUP=3\n",
        "a=1\rb=2\n",
        "[",
        "]\n[\n[]",
        "key=value with = and : inside\n",
        "x\t\t=\t\ty\n",
        std::string(300, 'k') + "=" + std::string(300, 'v') + "\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE("text: " + text);
        EXPECT_EQ(FromText(text).GetEntries(), OgreReading(text));
    }
}

TEST(ConfigFileMap, ReadsLikeOgresReaderOnRandomTexts) {
    const char alphabet[] = "ab \t\r\n=:#@[]1.";
    uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(next() % 200);
        for (int i = 0; i < length; ++i)
            text += alphabet[next() % (sizeof(alphabet) - 1)];
        ASSERT_EQ(FromText(text).GetEntries(), OgreReading(text)) << "text: " << text;
    }
}
