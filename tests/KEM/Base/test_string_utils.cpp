// String utilities and the ";" table reader.
#include <KEMStringUtils.h>

#include <CEGUI/String.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

typedef std::vector<std::string> Strings;

// ---- concatenation ------------------------------------------------------------------

TEST(StringUtils, ConcatToStringFormatsLikeAStream) {
    EXPECT_EQ(ConcatToString<int>("n=", -12), "n=-12");
    EXPECT_EQ(ConcatToString<unsigned int>("u=", 4000000000u), "u=4000000000");
    EXPECT_EQ(ConcatToString<float>("v=", 0.1f), "v=0.1");
    EXPECT_EQ(ConcatToString<float>("v=", 1.0f), "v=1");
    EXPECT_EQ(ConcatToString<float>("v=", 3.14159265f), "v=3.14159");   // 6 significant digits
    EXPECT_EQ(ConcatToString<float>("v=", 1234567.0f), "v=1.23457e+06");
    EXPECT_EQ(ConcatToString<std::string>("a", std::string("bc")), "abc");
    EXPECT_EQ(ConcatToString<const char*>("a", "bc"), "abc");
    EXPECT_EQ(ConcatToString<const char*>("a", nullptr), "a");
    EXPECT_EQ(ConcatToString("x", 5), "x5");   // deduced
}

TEST(StringUtils, ConcatSeparatorLineHas28Dashes) {
    EXPECT_EQ(ConcatSeparatorLine("T"), "T" + std::string(28, '-'));
}

TEST(StringUtils, AppendToStringAppendsAndReturnsTheTarget) {
    std::string s = "a";
    std::string& r = AppendToString<int>(s, 7);
    EXPECT_EQ(&r, &s);
    AppendToString<unsigned int>(s, 8u);
    AppendToString<std::string>(s, std::string("b"));
    AppendToString<const char*>(s, "c");
    const char* none = nullptr;
    AppendToString(s, none);
    char buf[] = "d";
    AppendToString<char*>(s, buf);
    AppendToString(s, "  ");
    AppendToString(s, "\n");
    AppendToString<char>(s, 'e');
    AppendToString(s, 'f');
    EXPECT_EQ(s, "a78bcd  \nef");
}

// ---- trimming, numbers, case, suffixes -------------------------------------------------

TEST(StringUtils, TrimStringRemovesBlanksTabsAndCRsFromTheChosenEnds) {
    std::string s = " \t\rab c\r\t ";
    std::string both = s, left = s, right = s, none = s;
    TrimString(both, true, true);
    TrimString(left, true, false);
    TrimString(right, false, true);
    TrimString(none, false, false);
    EXPECT_EQ(both, "ab c");
    EXPECT_EQ(left, "ab c\r\t ");
    EXPECT_EQ(right, " \t\rab c");
    EXPECT_EQ(none, s);
    std::string blanks = " \t \r ";
    TrimString(blanks, true, true);
    EXPECT_EQ(blanks, "");
    std::string nl = "\nx\n";   // line feeds are not trimmed
    TrimString(nl, true, true);
    EXPECT_EQ(nl, "\nx\n");
    std::string empty;
    TrimString(empty, true, true);
    EXPECT_EQ(empty, "");
}

TEST(StringUtils, StringToNumbersUseTheRuntimeConversions) {
    EXPECT_FLOAT_EQ(StringToFloat("0.5"), 0.5f);
    EXPECT_FLOAT_EQ(StringToFloat("  -2.25xyz"), -2.25f);
    EXPECT_FLOAT_EQ(StringToFloat("abc"), 0.0f);
    EXPECT_EQ(StringToInt("42"), 42);
    EXPECT_EQ(StringToInt("-7 apples"), -7);
    EXPECT_EQ(StringToInt(""), 0);
}

TEST(StringUtils, ToLowerCaseCopies) {
    std::string s = "MiXeD 12 ÀB";
    EXPECT_EQ(ToLowerCase("MiXeD 12"), "mixed 12");
    EXPECT_EQ(s, "MiXeD 12 ÀB");
}

TEST(StringUtils, EndsWith) {
    EXPECT_TRUE(EndsWith("Name.TGA", ".tga", true));
    EXPECT_FALSE(EndsWith("Name.TGA", ".tga", false));
    EXPECT_TRUE(EndsWith("Name.TGA", ".TGA", false));
    EXPECT_FALSE(EndsWith("Name.tga", ".TGA", true));   // the suffix is not lowered
    EXPECT_FALSE(EndsWith("x", "", false));
    EXPECT_FALSE(EndsWith("ga", ".tga", true));
    EXPECT_TRUE(EndsWith(".tga", ".tga", false));
}

// ---- splitting -----------------------------------------------------------------------

TEST(StringUtils, SplitStringNeverYieldsEmptyPieces) {
    EXPECT_EQ(SplitString("x", ";", 0), (Strings{"x"}));
    EXPECT_EQ(SplitString(";;", ";", 0), Strings{});
    EXPECT_EQ(SplitString("", ";", 0), Strings{});
    EXPECT_EQ(SplitString(";a;;b;", ";", 0), (Strings{"a", "b"}));
    EXPECT_EQ(SplitString("a b\tc", " \t", 0), (Strings{"a", "b", "c"}));
    EXPECT_EQ(SplitString("a", "", 0), (Strings{"a"}));
}

TEST(StringUtils, SplitStringMaxSplitsKeepsTheRestAsTheLastPiece) {
    EXPECT_EQ(SplitString("a;b;c;d", ";", 1), (Strings{"a", "b;c;d"}));
    EXPECT_EQ(SplitString("a;b;c;d", ";", 2), (Strings{"a", "b", "c;d"}));
    EXPECT_EQ(SplitString("a;;;b;c", ";", 1), (Strings{"a", "b;c"}));
    EXPECT_EQ(SplitString("a;b", ";", 5), (Strings{"a", "b"}));
}

// ---- GUI strings ---------------------------------------------------------------------------

TEST(StringUtils, CEGUIStringToStdStringCutsCodePointsToOneByte) {
    CEGUI::String gui("Joueur");
    gui += CEGUI::utf32(0xE9);     // é
    gui += CEGUI::utf32(0x20AC);   // € -> 0xAC
    std::string s = CEGUIStringToStdString(gui);
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(s.substr(0, 6), "Joueur");
    EXPECT_EQ((unsigned char)s[6], 0xE9);
    EXPECT_EQ((unsigned char)s[7], 0xAC);

    std::u32string u = U"ab";
    u += char32_t(0x1F600);
    EXPECT_EQ(CEGUIStringToStdString(u), std::string("ab\x00", 3));
    EXPECT_EQ(CEGUIStringToStdString(CEGUI::String()), "");
}

// ---- table reader ----------------------------------------------------------------------

class TableReader : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kem_table_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        mDir = tmpl;
    }
    void TearDown() override {
        for (const std::string& f : mFiles)
            unlink(f.c_str());
        rmdir(mDir.c_str());
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = mDir + "/" + name;
        std::ofstream out(path.c_str(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        mFiles.push_back(path);
        return path;
    }
    TextTable ReadBoth(const std::string& bytes) {
        TextTable fromFile = ReadTextTable(Write("t" + std::to_string(mFiles.size()) + ".csv", bytes));
        TextTable fromMemory = ReadTextTableFromString(bytes);
        EXPECT_EQ(fromFile, fromMemory) << "file and memory readers differ";
        return fromFile;
    }
    std::string mDir;
    std::vector<std::string> mFiles;
};

TEST_F(TableReader, OuterBlanksTrimmedInnerBlankKeptEmptyFieldDropped) {
    TextTable t = ReadBoth(" a;b ;;c; \n");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0], (Strings{"a", "b ", "c"}));
}

TEST_F(TableReader, BlankAndTabLinesAreSkipped) {
    TextTable t = ReadBoth("h1;h2\n \t \n\t\n\nx;y\n   \n");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (Strings{"h1", "h2"}));
    EXPECT_EQ(t[1], (Strings{"x", "y"}));
}

TEST_F(TableReader, CarriageReturnsAreTrimmed) {
    TextTable t = ReadBoth("Nom;Prenom\r\nDupont;Jean\r\n\r\n;Solo;\r\nlast\r");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0], (Strings{"Nom", "Prenom"}));
    EXPECT_EQ(t[1], (Strings{"Dupont", "Jean"}));
    EXPECT_EQ(t[2], (Strings{"Solo"}));
    EXPECT_EQ(t[3], (Strings{"last"}));
}

TEST_F(TableReader, EmptyFieldsMoveLaterFieldsLeft) {
    TextTable t = ReadBoth("a;;c;;;f\n;;;\n");
    ASSERT_EQ(t.size(), 1u);   // a line of only ";" gives no row
    EXPECT_EQ(t[0], (Strings{"a", "c", "f"}));
}

TEST_F(TableReader, LastLineWithoutLineFeedAndLongLines) {
    std::string longField(5000, 'z');
    TextTable t = ReadBoth("k;" + longField + ";v\nend");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (Strings{"k", longField, "v"}));
    EXPECT_EQ(t[1], (Strings{"end"}));
}

TEST_F(TableReader, ManyLinesAcrossTheStreamsChunks) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += std::to_string(i) + ";" + std::string(size_t(i % 200), 'q') + "\n";
    TextTable t = ReadBoth(text);
    ASSERT_EQ(t.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(t[size_t(i)][0], std::to_string(i));
        ASSERT_EQ(t[size_t(i)].size(), i % 200 == 0 ? 1u : 2u);
    }
}

TEST_F(TableReader, EmptyFileAndOnlyBlanksGiveNoRows) {
    EXPECT_TRUE(ReadBoth("").empty());
    EXPECT_TRUE(ReadBoth("\n\n\r\n \t\n").empty());
}

TEST_F(TableReader, MissingFileAndDirectoryGiveAnEmptyTable) {
    EXPECT_TRUE(ReadTextTable(mDir + "/does_not_exist.csv").empty());
    EXPECT_TRUE(ReadTextTable("").empty());
    EXPECT_TRUE(ReadTextTable(mDir).empty());   // a directory is no table
}

TEST_F(TableReader, BackslashPathsAreFixed) {
    std::string path = Write("win.csv", "a;b\n");
    std::string windows = path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    // An absolute path with backslashes still names the same file.
    TextTable t = ReadTextTable(windows);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0], (Strings{"a", "b"}));
}

TEST_F(TableReader, BytesAfterANulStayInBounds) {
    // What the stream does with NUL bytes is the stream's; the reader must
    // neither crash nor invent empty fields.
    std::string bytes("a;b\0c;d\ne;f", 11);
    TextTable t = ReadBoth(bytes);
    for (const auto& row : t)
        for (const auto& field : row) {
            EXPECT_FALSE(field.empty());
            EXPECT_EQ(field.find(';'), std::string::npos);
        }
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t[0], (Strings{"a", "b"}));
}

// A language line with a NUL byte lost every key after it without a word:
// the line's text ends at the NUL, the following lines are read, and the log
// names the file, the line's key and the column.
TEST_F(TableReader, ANulEndsItsLineOnlyAndIsLogged) {
    static std::vector<std::string> lines;
    lines.clear();
    PlatSetLogSink([](const char* line) { lines.push_back(line); });
    const std::string bytes("STRING_ID;FR;EN\nACCUEIL;Accueil;Ho\0me\nSTART;Commencer;Start\nTEAM;Equipe;Team\n", 77);
    const std::string path = Write("Lang_DB.csv", bytes);
    const TextTable t = ReadTextTable(path);
    PlatSetLogSink(nullptr);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1], (Strings{"ACCUEIL", "Accueil", "Ho"}));
    EXPECT_EQ(t[2], (Strings{"START", "Commencer", "Start"}));
    EXPECT_EQ(t[3], (Strings{"TEAM", "Equipe", "Team"}));
    ASSERT_EQ(lines.size(), 1u);
    for (const char* word : {"Lang_DB.csv", "line 2", "\"ACCUEIL\"", "column 3", "NUL"})
        EXPECT_NE(lines[0].find(word), std::string::npos) << word << " in " << lines[0];
}

TEST(SplitTextTableLine, TrimsAndSplits) {
    EXPECT_EQ(SplitTextTableLine(" a;b ;;c; "), (Strings{"a", "b ", "c"}));
    EXPECT_TRUE(SplitTextTableLine(" \t\r").empty());
}
