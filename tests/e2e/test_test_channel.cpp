// The lines of the test channel's match settings file: "name=value" goes to
// the quick-match section, "SECTION.name=value" to that section; names the
// settings store cannot hold are refused rather than cut.
#include <TestControl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* line;
    bool ok;
    const char* section;
    const char* name;
    const char* value;
};

const Case kCases[] = {
    {"NbPlayers=0", true, "QUICKMATCHPARAMS", "NbPlayers", "0"},
    {"  TeamA = 8  ", true, "QUICKMATCHPARAMS", "TeamA", "8"},
    {"GAMEPARAMS.QuickMatch=1", true, "GAMEPARAMS", "QuickMatch", "1"},
    {"Player1Name=Ana Belle", true, "QUICKMATCHPARAMS", "Player1Name", "Ana Belle"},
    {"location=", true, "QUICKMATCHPARAMS", "location", ""},
    {"ratio=a=b", true, "QUICKMATCHPARAMS", "ratio", "a=b"},
    {"", false, "", "", ""},
    {"   ", false, "", "", ""},
    {"# TeamB=9", false, "", "", ""},
    {"no equals sign", false, "", "", ""},
    {"=5", false, "", "", ""},
    {".name=5", false, "", "", ""},
    {"SECTION.=5", false, "", "", ""},
    {"ANameOfThirtyTwoCharactersExactly=1", false, "", "", ""},
    {"ASectionNameThatIsFarTooLongToKeep.x=1", false, "", "", ""},
};

TEST(TestChannelSettings, ParsesEachLineOrRefusesIt) {
    for (const Case& c : kCases) {
        char section[32] = "", name[32] = "", value[256] = "";
        ASSERT_EQ(ParseTestSetting(c.line, section, name, value), c.ok) << '"' << c.line << '"';
        if (!c.ok)
            continue;
        EXPECT_STREQ(section, c.section) << c.line;
        EXPECT_STREQ(name, c.name) << c.line;
        EXPECT_STREQ(value, c.value) << c.line;
    }
}

TEST(TestChannelSettings, AValueTooLongForTheBufferIsRefused) {
    char section[32], name[32], value[256];
    EXPECT_FALSE(ParseTestSetting(("Player1Name=" + std::string(300, 'x')).c_str(), section, name, value));
    EXPECT_FALSE(ParseTestSetting(nullptr, section, name, value));
}

}  // namespace
