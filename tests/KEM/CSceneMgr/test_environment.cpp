#include <CEnvironment.h>
#include <CObjnet.h>
#include <CSceneMgr.h>

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A private settings folder per test; the environment falls back on it
// because no 3D engine is running.
class EnvironmentFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::path(KEM_TEST_BINARY_DIR) / "env_files" / info->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
        savedFolder = CEnvironment::GetSettingsFolder();
        CEnvironment::SetSettingsFolder(folder.c_str());
    }
    void TearDown() override { CEnvironment::SetSettingsFolder(savedFolder.c_str()); }

    fs::path folder;
    std::string savedFolder;
};

std::string Quote(const char* section, const char* name, CEnvironment& env) {
    CEnvironmentVariable* v = env.GetVariable(section, name, false);
    return v && v->ToString() ? v->ToString() : "<none>";
}

std::string Name(int length) { return std::string(size_t(length), 'n'); }

}  // namespace

// ---------------------------------------------------------------------------
// Value forms
// ---------------------------------------------------------------------------

TEST(EnvironmentVariable, TextIsClassifiedByTheNumberLexer) {
    const struct {
        const char* text;
        int32_t type;
    } cases[] = {
        {"12", CEnvironmentVariable::TYPE_INT},      {"+12", CEnvironmentVariable::TYPE_INT},
        {"-7", CEnvironmentVariable::TYPE_INT},      {"1.", CEnvironmentVariable::TYPE_FLOAT},
        {".5", CEnvironmentVariable::TYPE_FLOAT},    {"1.5e3", CEnvironmentVariable::TYPE_FLOAT},
        {"-2.5E-2", CEnvironmentVariable::TYPE_FLOAT}, {"1e3", CEnvironmentVariable::TYPE_STRING},
        {"1.5e", CEnvironmentVariable::TYPE_STRING}, {"-", CEnvironmentVariable::TYPE_STRING},
        {"abc", CEnvironmentVariable::TYPE_STRING},  {"12a", CEnvironmentVariable::TYPE_STRING},
        {"", CEnvironmentVariable::TYPE_NONE},
    };
    for (const auto& c : cases) {
        CEnvironmentVariable v("S", "v");
        v.SetFromText(c.text);
        EXPECT_EQ(c.type, v.GetType()) << c.text;
    }
    CEnvironmentVariable v("S", "v");
    v.SetFromText("1.5e3");
    EXPECT_FLOAT_EQ(1500.0f, v.GetFloat());
    v.SetFromText("99999999999");   // saturates instead of wrapping
    EXPECT_EQ(2147483647, v.GetInt());
}

TEST(EnvironmentVariable, FloatTextKeepsItsPointAndConversionsFollowTheType) {
    CEnvironmentVariable v("S", "v");
    v.SetFloat(2.0f);
    EXPECT_STREQ("2.", v.ToString());
    v.SetFloat(-3.0f);
    EXPECT_STREQ("-3.", v.ToString());
    v.SetFloat(0.5f);
    EXPECT_STREQ("0.5", v.ToString());
    v.SetFloat(1e10f);
    EXPECT_STREQ("1e+10", v.ToString());

    v.SetFloat(-2.7f);
    v.ConvertTo(CEnvironmentVariable::TYPE_INT);
    EXPECT_EQ(-2, v.GetInt());
    v.ConvertTo(CEnvironmentVariable::TYPE_STRING);
    EXPECT_STREQ("-2", v.GetString());
    v.SetString(v.GetString());   // its own text
    EXPECT_STREQ("-2", v.GetString());
    v.ConvertTo(CEnvironmentVariable::TYPE_FLOAT);
    EXPECT_FLOAT_EQ(-2.0f, v.GetFloat());
    v.SetFloat(3e9f);
    v.ConvertTo(CEnvironmentVariable::TYPE_INT);
    EXPECT_EQ(2147483647, v.GetInt());
    v.ConvertTo(CEnvironmentVariable::TYPE_NONE);
    EXPECT_EQ(nullptr, v.ToString());
}

// ---------------------------------------------------------------------------
// List
// ---------------------------------------------------------------------------

TEST(Environment, VariablesStayInInsertionOrderAndRemoveKeepsTheCursor) {
    CEnvironment env;
    EXPECT_EQ(nullptr, env.GetVariable("S", "missing", false));
    EXPECT_EQ(0, env.GetCount());
    CEnvironmentVariable* a = env.GetVariable("S", "a", true);
    CEnvironmentVariable* b = env.GetVariable("S", "b", true);
    CEnvironmentVariable* c = env.GetVariable("T", "a", true);
    EXPECT_EQ(a, env.GetVariable("S", "a", true));
    EXPECT_EQ(3, env.GetCount());
    EXPECT_EQ(c, env.Find("T", "a"));

    EXPECT_EQ(b, env.Find("S", "b"));
    EXPECT_EQ(0, env.Remove(b));   // the cursor's cell: it moves to the next one
    EXPECT_EQ(c, env.Current());
    delete b;
    EXPECT_EQ(a, env.First());
    EXPECT_EQ(c, env.Next());
    EXPECT_EQ(nullptr, env.Next());
    EXPECT_EQ(nullptr, env.Current());
    env.Clear();
    EXPECT_EQ(0, env.GetCount());
}

TEST(Environment, LookupsByNameFollowAppendsRemovalsAndDuplicates) {
    CEnvironment env;
    CEnvironmentVariable* first = env.GetVariable("S", "a", true);
    CEnvironmentVariable* second = new CEnvironmentVariable("S", "a");
    EXPECT_EQ(0, env.Append(second));
    EXPECT_EQ(first, env.GetVariable("S", "a", false));   // the first of a name wins
    EXPECT_EQ(nullptr, env.GetVariable("S\0a", "", false));
    EXPECT_EQ(nullptr, env.GetVariable("Sa", "", false));

    EXPECT_EQ(0, env.Remove(first));
    delete first;
    EXPECT_EQ(second, env.GetVariable("S", "a", false));
    EXPECT_EQ(second, env.Find("S", "a"));
    EXPECT_EQ(0, env.RemoveCurrent());
    delete second;
    EXPECT_EQ(nullptr, env.GetVariable("S", "a", false));
    EXPECT_EQ(nullptr, env.Find("S", "a"));
    EXPECT_EQ(nullptr, env.Current());

    CEnvironmentVariable* again = env.GetVariable("S", "a", true);
    EXPECT_EQ(again, env.GetVariable("S", "a", true));
    EXPECT_EQ(1, env.GetCount());
    env.Clear();
    EXPECT_EQ(nullptr, env.GetVariable("S", "a", false));

    // A large settings text: every variable reads back, each one once.
    std::string text = "<environment><env name=\"Big\">";
    const int count = 40000;
    for (int i = 0; i < count; ++i)
        text += "<var name=\"v" + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\"/>";
    text += "</env></environment>";
    ASSERT_TRUE(env.ParseXML(text.c_str(), static_cast<int>(text.size())));
    EXPECT_EQ(count, env.GetCount());
    for (int i = 0; i < count; i += 997)
        EXPECT_EQ(i, env.GetVariable("Big", ("v" + std::to_string(i)).c_str(), false)->GetInt());
}

// ---------------------------------------------------------------------------
// Settings text
// ---------------------------------------------------------------------------

TEST_F(EnvironmentFiles, SaveWritesTheListedSectionsAndReloadsTheSameValues) {
    CEnvironment env;
    env.GetVariable("SETTINGS", "sound_vol", true)->SetInt(7);
    env.GetVariable("SETTINGS", "gamma", true)->SetFloat(2.0f);
    env.GetVariable("OTHER", "skipped", true)->SetInt(1);
    env.GetVariable("SETTINGS", "ratio", true)->SetFloat(0.5f);
    env.GetVariable("SETTINGS", "name", true)->SetString("say \"hi\" <b> & 'x' </var>");
    env.GetVariable("SETTINGS", "code", true)->SetString("12");
    env.GetVariable("SETTINGS", "big", true)->SetString("1e3");
    env.GetVariable("SETTINGS", "unset", true);
    env.GetVariable("SETTINGS", "after", true)->SetInt(-3);

    ASSERT_EQ(0, env.Save("Configuration.cfg", "SETTINGS", "EMPTY", nullptr));
    EXPECT_EQ("<environment>\n"
              "\t<env name=\"SETTINGS\">\n"
              "\t\t<var name=\"sound_vol\" value=\"7\"/>\n"
              "\t\t<var name=\"gamma\" value=\"2.\"/>\n"
              "\t\t<var name=\"ratio\" value=\"0.5\"/>\n"
              "\t\t<var name=\"name\" value=\"say &quot;hi&quot; &lt;b&gt; &amp; 'x' &lt;/var&gt;\"/>\n"
              "\t\t<var name=\"code\" value=\"12\"/>\n"
              "\t\t<var name=\"big\" value=\"1e3\"/>\n"
              "\t\t<var name=\"unset\" value=\"\"/>\n"
              "\t\t<var name=\"after\" value=\"-3\"/>\n"
              "\t</env>\n"
              "\t<env name=\"EMPTY\">\n"
              "\t</env>\n"
              "</environment>",
              ReadFile(folder / "Configuration.cfg"));

    CEnvironment back;
    ASSERT_TRUE(back.Load("Configuration.cfg"));
    EXPECT_EQ(8, back.GetCount());
    const struct {
        const char* name;
        int32_t type;
        const char* text;
    } expected[] = {
        {"sound_vol", CEnvironmentVariable::TYPE_INT, "7"},
        {"gamma", CEnvironmentVariable::TYPE_FLOAT, "2."},
        {"ratio", CEnvironmentVariable::TYPE_FLOAT, "0.5"},
        {"name", CEnvironmentVariable::TYPE_STRING, "say \"hi\" <b> & 'x' </var>"},
        {"code", CEnvironmentVariable::TYPE_INT, "12"},   // a number-like text comes back a number
        {"big", CEnvironmentVariable::TYPE_STRING, "1e3"},
        {"unset", CEnvironmentVariable::TYPE_NONE, "<none>"},
        {"after", CEnvironmentVariable::TYPE_INT, "-3"},
    };
    for (const auto& e : expected) {
        CEnvironmentVariable* v = back.GetVariable("SETTINGS", e.name, false);
        ASSERT_NE(nullptr, v) << e.name;
        EXPECT_EQ(e.type, v->GetType()) << e.name;
        EXPECT_EQ(e.text, Quote("SETTINGS", e.name, back)) << e.name;
    }
    EXPECT_EQ(nullptr, back.GetVariable("OTHER", "skipped", false));
}

TEST(EnvironmentText, ReaderAcceptsWhatTheFormatAllowsAndRejectsTheRest) {
    const std::string var31 = "<var name=\"" + Name(31) + "\" value=\"1\"/>";
    const std::string var32 = "<var name=\"" + Name(32) + "\" value=\"1\"/>";
    const std::string env32 = "<env name=\"" + Name(32) + "\"><var name=\"z\" value=\"1\"/></env>";
    const struct {
        std::string text;
        bool result;
        const char* vars;   // "name=value;" of section S, in list order
    } cases[] = {
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/></env></environment>", true, "a=1;"},
        {"<!DOCTYPE environment>\n<environment><env name=\"S\"><var name=\"a\" value=\"1\"/></env></environment>",
         true, "a=1;"},
        {"<environment>", true, ""},
        // cut short after complete variables: they stay, with a warning
        {"<environment>\n\t<env name=\"S\">\n\t\t<var name=\"a\" value=\"1\"/>\n\t\t<var name=\"b\" value=\"x\"/>\n",
         true, "a=1;b=x;"},
        // cut inside a variable: the complete one stays, the cut one is not taken
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/><var name=\"b\" value=\"10", false, "a=1;"},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/><var name=\"b\" val", false, "a=1;"},
        // merged sections, overwritten variable, comments and blanks between markups
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/></env><!-- <var name=\"c\"/> -->"
         "<env name=\"S\"><var name=\"b\" value=\"2\"/>\n<var   name = \"a\"\tvalue=\"3\" /></env></environment>",
         true, "a=3;b=2;"},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"\"/></env></environment>", true, "a=<none>;"},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"x&amp;y &unknown; &\"/></env></environment>", true,
         "a=x&y &unknown; &;"},
        {"<environment><env name=\"S\">" + var31 + "</env></environment>", true, "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn=1;"},
        // rejected: what was read before the fault stays
        {"", false, ""},
        {"<?xml version=\"1.0\"?><environment></environment>", false, ""},
        {"<settings></settings>", false, ""},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/>" + var32 + "</env></environment>", false, "a=1;"},
        {"<environment>" + env32 + "</environment>", false, ""},
        {"<environment><env><var name=\"a\" value=\"1\"/></env></environment>", false, ""},
        {"<environment><env name=\"S\"><var name=\"a\"/></env></environment>", false, ""},
        {"<environment><env name=\"S\"><val name=\"a\" value=\"1\"/></env></environment>", false, ""},
        {"<environment><env name=\"S\"><var name=\"a\" value=1/></env></environment>", false, ""},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\" b=\"\" c=\"\" d=\"\" e=\"\" f=\"\" g=\"\" "
         "h=\"\" i=\"\" j=\"\"/></env></environment>",
         false, ""},
        {"<environment><env name=\"S\"><var name=\"a\" value=\"1\"/></env><!-- unterminated", false, "a=1;"},
    };
    for (const auto& c : cases) {
        CEnvironment env;
        EXPECT_EQ(c.result, env.ParseXML(c.text.data(), int(c.text.size()))) << c.text;
        std::string vars;
        for (CEnvironmentVariable* v = env.First(); v; v = env.Next()) {
            EXPECT_STREQ("S", v->GetSection()) << c.text;
            vars += std::string(v->GetName()) + "=" + (v->ToString() ? v->ToString() : "<none>") + ";";
        }
        EXPECT_EQ(c.vars, vars) << c.text;
    }
}

TEST(EnvironmentText, ReaderStopsAtTheGivenLength) {
    const std::string text = "<environment><env name=\"S\"><var name=\"a\" value=\"1\"/></env></environment>"
                             "<var name=\"b\" value=\"2\"/>";
    CEnvironment env;
    // A length that ends inside "value=\"1\"": nothing past it is read.
    const int cut = int(text.find("value=\"1\"")) + 8;
    EXPECT_FALSE(env.ParseXML(text.data(), cut));
    EXPECT_EQ(0, env.GetCount());
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

TEST_F(EnvironmentFiles, FirstRunCreatesTheFileAndAMissingFileChangesNothing) {
    CEnvironment env;
    env.GetVariable("SETTINGS", "cur_lang", true)->SetInt(2);
    EXPECT_FALSE(env.Load("Configuration.cfg"));
    EXPECT_EQ(1, env.GetCount());
    EXPECT_FALSE(env.Load(""));

    ASSERT_EQ(0, env.Save("Configuration.cfg", "SETTINGS", "GAME", nullptr));
    EXPECT_TRUE(fs::exists(folder / "Configuration.cfg"));
    EXPECT_FALSE(fs::exists(folder / "Configuration.cfg.tmp"));
    CEnvironment back;
    ASSERT_TRUE(back.Load("Configuration.cfg"));
    EXPECT_EQ(2, back.GetVariable("SETTINGS", "cur_lang", false)->GetInt());
}

TEST_F(EnvironmentFiles, FailedSaveKeepsThePreviousFile) {
    const std::string previous =
        "<environment><env name=\"SETTINGS\"><var name=\"sound_vol\" value=\"4\"/></env></environment>";
    WriteFile(folder / "Configuration.cfg", previous);
    CEnvironment env;
    ASSERT_TRUE(env.Load("Configuration.cfg"));
    env.GetVariable("SETTINGS", "sound_vol", false)->SetInt(9);

    // The temporary file cannot be created.
    fs::create_directory(folder / "Configuration.cfg.tmp");
    EXPECT_EQ(-1, env.Save("Configuration.cfg", "SETTINGS", nullptr));
    EXPECT_EQ(previous, ReadFile(folder / "Configuration.cfg"));
    EXPECT_TRUE(fs::is_directory(folder / "Configuration.cfg.tmp"));
    fs::remove(folder / "Configuration.cfg.tmp");

    // The settings folder is gone.
    CEnvironment::SetSettingsFolder((folder / "missing").c_str());
    EXPECT_EQ(-1, env.Save("Configuration.cfg", "SETTINGS", nullptr));
    CEnvironment::SetSettingsFolder(folder.c_str());

    EXPECT_EQ(9, env.GetVariable("SETTINGS", "sound_vol", false)->GetInt());
    ASSERT_EQ(0, env.Save("Configuration.cfg", "SETTINGS", nullptr));
    CEnvironment back;
    ASSERT_TRUE(back.Load("Configuration.cfg"));
    EXPECT_EQ(9, back.GetVariable("SETTINGS", "sound_vol", false)->GetInt());
}

TEST_F(EnvironmentFiles, ResourceSystemLocationWinsOverTheSettingsFolder) {
    const fs::path located = folder / "located";
    fs::create_directories(located);
    WriteFile(located / "Configuration.cfg",
              "<environment><env name=\"SETTINGS\"><var name=\"shadows\" value=\"off\"/></env></environment>");

    auto* logs = new Ogre::LogManager();
    logs->createLog("test_environment_ogre.log", true, false, true);
    {
        Ogre::Root root("", "", "");
        // Declared only: the groups are not initialised when the settings load.
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(located.string(), "FileSystem");

        CEnvironment env;
        ASSERT_TRUE(env.Load("Configuration.cfg"));
        CEnvironmentVariable* shadows = env.GetVariable("SETTINGS", "shadows", false);
        ASSERT_NE(nullptr, shadows);
        EXPECT_STREQ("off", shadows->GetString());

        shadows->SetString("on");
        ASSERT_EQ(0, env.Save("Configuration.cfg", "SETTINGS", nullptr));
        EXPECT_NE(std::string::npos, ReadFile(located / "Configuration.cfg").find("value=\"on\""));
        EXPECT_FALSE(fs::exists(folder / "Configuration.cfg"));
    }
    delete logs;
}

TEST(EnvironmentMedia, ShippedConfigurationHoldsTheSettingsTheGameReads) {
    const std::string text = ReadFile(fs::path(KEM_SOURCE_MEDIA) / "Config" / "Configuration.cfg");
    CEnvironment env;
    ASSERT_TRUE(env.ParseXML(text.data(), int(text.size())));
    for (const char* key : {"cur_lang", "sound_vol", "music_vol", "difficulty_level"}) {
        CEnvironmentVariable* v = env.GetVariable("SETTINGS", key, false);
        ASSERT_NE(nullptr, v) << key;
        EXPECT_EQ(CEnvironmentVariable::TYPE_INT, v->GetType()) << key;
    }
    EXPECT_STREQ("high", env.GetVariable("SETTINGS", "texture_quality", false)->GetString());
    EXPECT_STREQ("on", env.GetVariable("SETTINGS", "shadows", false)->GetString());
}

TEST(EnvironmentSceneMgr, RunStateOwnsTheGlobalSettings) {
    CSceneMgr mgr;
    mgr.GetEnvironment().GetVariable("GAME", "x", true)->SetInt(1);
    EXPECT_EQ(1, mgr.GetEnvironment().GetCount());
}

// ---------------------------------------------------------------------------
// Serialized sections
// ---------------------------------------------------------------------------

namespace {

// A message carrying one nested section, read back to the nested object.
std::unique_ptr<CObjnet> Nested(const CObjnet& section) {
    CObjnet message;
    message.StartSignature("message");
    message.WriteObject(&section);
    message.End();
    CObjnet reader;
    reader.SetData(message.GetData(), message.GetSize());
    EXPECT_EQ(0, reader.BeginReadSignature("message"));
    return std::unique_ptr<CObjnet>(reader.ReadObject());
}

}  // namespace

TEST(EnvironmentSection, SerializedSectionRoundTrips) {
    CEnvironment env;
    env.GetVariable("QUICKMATCHPARAMS", "NbPlayers", true)->SetInt(2);
    env.GetVariable("OTHER", "NbPlayers", true)->SetInt(99);
    env.GetVariable("QUICKMATCHPARAMS", "Speed", true)->SetFloat(0.25f);
    env.GetVariable("QUICKMATCHPARAMS", "Stage", true)->SetString("marseille");
    env.GetVariable("QUICKMATCHPARAMS", "Pending", true);

    CObjnet message;
    message.StartSignature("CNetClient::e_host_start_game(object gameparams)");
    env.SerializeSection(&message, "QUICKMATCHPARAMS");
    message.End();

    CObjnet reader;
    reader.SetData(message.GetData(), message.GetSize());
    ASSERT_EQ(0, reader.BeginReadSignature("CNetClient::e_host_start_game(object gameparams)"));
    std::unique_ptr<CObjnet> section(reader.ReadObject());
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(CObjnet::ComputeTypeId("environment"), section->GetTypeId());

    CEnvironment peer;
    peer.GetVariable("QUICKMATCHPARAMS", "Pending", true)->SetInt(5);   // untyped data leaves it alone
    EXPECT_EQ(0, peer.UnserializeSection(section.get()));
    EXPECT_EQ(4, peer.GetCount());
    EXPECT_EQ(2, peer.GetVariable("QUICKMATCHPARAMS", "NbPlayers", false)->GetInt());
    EXPECT_EQ(0.25f, peer.GetVariable("QUICKMATCHPARAMS", "Speed", false)->GetFloat());
    EXPECT_STREQ("marseille", peer.GetVariable("QUICKMATCHPARAMS", "Stage", false)->GetString());
    EXPECT_EQ(5, peer.GetVariable("QUICKMATCHPARAMS", "Pending", false)->GetInt());
    EXPECT_EQ(nullptr, peer.GetVariable("OTHER", "NbPlayers", false));
}

TEST(EnvironmentSection, PeerDataThatDoesNotFitIsRejected) {
    // Section name of 32 characters: nothing taken.
    {
        CObjnet s;
        s.StartSignature("environment");
        s.WriteString(Name(32).c_str());
        s.WriteString("a");
        s.WriteByte(1);
        s.WriteInt(1);
        CEnvironment env;
        EXPECT_EQ(-1, env.UnserializeSection(Nested(s).get()));
        EXPECT_EQ(0, env.GetCount());
    }
    // Variable name of 32 characters: skipped, the next one still read; 31 fits.
    {
        CObjnet s;
        s.StartSignature("environment");
        s.WriteString("GAMEPARAMS");
        s.WriteString(Name(32).c_str());
        s.WriteByte(3);
        s.WriteString("lost");
        s.WriteString(Name(31).c_str());
        s.WriteByte(1);
        s.WriteInt(31);
        s.WriteString("after");
        s.WriteByte(2);
        s.WriteFloat(1.5f);
        CEnvironment env;
        EXPECT_EQ(-1, env.UnserializeSection(Nested(s).get()));
        EXPECT_EQ(2, env.GetCount());
        EXPECT_EQ(31, env.GetVariable("GAMEPARAMS", Name(31).c_str(), false)->GetInt());
        EXPECT_EQ(1.5f, env.GetVariable("GAMEPARAMS", "after", false)->GetFloat());
    }
    // A name with a NUL inside, an unknown type, a value cut short, a wrong
    // signature: the variables before stay, the section is reported failed.
    const std::string nulName("ab\0cd", 5);
    for (int fault = 0; fault < 4; ++fault) {
        CObjnet s;
        s.StartSignature(fault == 3 ? "environmenT" : "environment");
        s.WriteString("S");
        s.WriteString("a");
        s.WriteByte(1);
        s.WriteInt(7);
        if (fault == 0) {
            s.WriteBuffer(nulName.data(), int(nulName.size()));
            s.WriteByte(1);
            s.WriteInt(8);
        } else if (fault == 1) {
            s.WriteString("b");
            s.WriteByte(9);
            s.WriteInt(8);
        } else if (fault == 2) {
            s.WriteString("b");
            s.WriteByte(1);
            s.WriteShort(8);
        }
        CEnvironment env;
        EXPECT_EQ(-1, env.UnserializeSection(Nested(s).get())) << fault;
        EXPECT_EQ(fault == 3 ? 0 : 1, env.GetCount()) << fault;
        EXPECT_EQ(nullptr, env.GetVariable("S", "b", false)) << fault;
        EXPECT_EQ(nullptr, env.GetVariable("S", "ab", false)) << fault;
    }
    CEnvironment env;
    EXPECT_EQ(-1, env.UnserializeSection(nullptr));
}
