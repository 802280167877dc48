// The language, characteristics, player and team tables read from small
// fixture files: parsing, lookups and missing files.
#include "TablesTestFiles.h"

#include <CLangDB.h>
#include <Platform.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <PlayerDB.h>
#include <Team.h>
#include <TeamDB.h>
#include <TuningParameters.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using tables_test::FreshFolder;
using tables_test::WriteFile;

// ---- language table -------------------------------------------------------------

class LangLoad : public ::testing::Test {
protected:
    void TearDown() override {
        CLangDB::Instance().Clear();
        CLangDB::Instance().SetCurrentLanguage(1);
        CLangDB::Instance().SetCharacters("");
    }
    bool Load(const std::string& bytes, unsigned language) {
        CLangDB::Instance().SetCurrentLanguage(language);
        return CLangDB::Instance().LoadFromFile(WriteFile(FreshFolder("lang") + "/Lang_DB.csv", bytes));
    }
};

TEST_F(LangLoad, RowsByLanguageColumnWithCommentsShortRowsAndEmptyFields) {
    const std::string file =
        "KEY;FR;EN\r\n"
        "   \r\n"
        "\tYES; Oui;Yes \r\n"
        "#HIDDEN;caché;hidden\r\n"
        "ONLY_FR;Seul\r\n"
        "GAP;;second;third\r\n"
        "yes;doublon;duplicate\r\n";
    ASSERT_TRUE(Load(file, 1));
    EXPECT_STREQ(GetText("YES"), " Oui");        // fields keep inner blanks
    EXPECT_STREQ(GetText("Yes"), " Oui");        // first row wins, any letter case
    EXPECT_STREQ(GetText("GAP"), "second");      // ";;" gives no field
    const char* hidden = "#HIDDEN";
    EXPECT_EQ(GetText(hidden), hidden);          // comment rows are never entries
    const char* header = "KEY";
    EXPECT_EQ(GetText(header), header);

    ASSERT_TRUE(Load(file, 2));
    EXPECT_STREQ(GetText("YES"), "Yes");         // the line's end is trimmed
    EXPECT_STREQ(GetText("ONLY_FR"), "#ONLY_FR#");
    EXPECT_STREQ(GetText("GAP"), "third");
}

TEST_F(LangLoad, LineBreakMarkersTakeTheCharacterBeforeThem) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"a \\nb", "a\nb"},
        {"a\\nb", "\nb"},                    // the letter goes with the marker
        {"one \\ntwo \\nthree", "one\ntwo\nthree"},
        {"\\nx \\ny", "\\nx \\ny"},          // a leading marker stops the replacement
        {"no marker", "no marker"},
        {"a \\", "a \\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLangDB::ReplaceLineBreaksIn(c.text), c.expected) << c.text;

    ASSERT_TRUE(Load("K;L1\nBREAK;Voulez-vous \\nquitter ?\n", 1));
    EXPECT_STREQ(GetText("BREAK"), "Voulez-vous\nquitter ?");
}

TEST_F(LangLoad, CharacterSetHoldsDefaultsAndTextBytesOnceInSignedOrder) {
    ASSERT_TRUE(Load("K;L1\nKEY~;caf\xE9\t^ \\nnext\nB;\xE9\xE9^\n", 1));
    const std::string& set = CLangDB::Instance().GetCharacters();
    EXPECT_EQ(set.find('\t'), std::string::npos);
    EXPECT_EQ(set.find('\r'), std::string::npos);
    EXPECT_EQ(set.find('\n'), std::string::npos);
    EXPECT_EQ(set.find('~'), std::string::npos);     // keys give no glyphs
    EXPECT_NE(set.find('^'), std::string::npos);
    std::set<char> unique(set.begin(), set.end());
    EXPECT_EQ(unique.size(), set.size());
    ASSERT_GE(set.size(), 2u);
    EXPECT_EQ(set.substr(0, 2), "\xB0\xE9");         // bytes above 0x7F first, ascending
    EXPECT_EQ(set.size(), 93u + 2u);                 // the defaults, 0xE9 and '^'
}

TEST_F(LangLoad, AFileWithoutKeysSaysSoOnce) {
    static std::vector<std::string> lines;
    for (const char* text : {"", "\x01\x02,junk\n", "KEY;FR;EN\n"}) {
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        Load(text, 1);
        PlatSetLogSink(nullptr);
        size_t said = 0;
        for (const std::string& line : lines)
            said += line.find("yielded no keys") != std::string::npos ? 1 : 0;
        EXPECT_EQ(said, 1u) << text;
    }
}

// A table that gives some keys but not the ones the screens name (garbage of
// two or more lines) says once which it lacks; our own table lacks none.
TEST_F(LangLoad, ATableLackingTheKeysTheGameReadsSaysSoOnce) {
    static std::vector<std::string> lines;
    auto said = [](const std::string& text) {
        size_t n = 0;
        for (const std::string& line : lines)
            n += line.find(text) != std::string::npos ? 1 : 0;
        return n;
    };
    PlatSetLogSink([](const char* line) { lines.push_back(line); });
    const struct {
        const char* what;
        const char* text;
    } garbage[] = {
        {"two lines of junk", "\x01\x02,junk\nmore junk;and;more\n"},
        {"a header and one foreign row", "KEY;FR;EN\nHELLO;Salut;Hello\n"},
        {"half of a real table", "KEY;FR;EN\nACCUEIL;Accueil;Home\nACTOR;Joueur;Player\n"},
    };
    for (const auto& g : garbage) {
        SCOPED_TRACE(g.what);
        lines.clear();
        Load(g.text, 1);
        EXPECT_EQ(said("lacks"), 1u);
        EXPECT_EQ(said("ACTOR_CHOICE"), 1u);   // names the keys it lacks
        EXPECT_EQ(said("Lang_DB.csv"), 1u);
    }
    lines.clear();
    CLangDB::Instance().SetCurrentLanguage(2);
    ASSERT_TRUE(CLangDB::Instance().LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Lang_DB.csv"));
    PlatSetLogSink(nullptr);
    EXPECT_EQ(said("lacks"), 0u) << (lines.empty() ? "" : lines.front());
}

TEST_F(LangLoad, MissingFileGivesEmptyTableAndDefaultGlyphs) {
    CLangDB::Instance().Add("OLD", "stale");
    EXPECT_FALSE(CLangDB::Instance().LoadFromFile(FreshFolder("lang") + "/absent.csv"));
    EXPECT_EQ(CLangDB::Instance().GetCount(), 0u);
    const char* key = "OLD";
    EXPECT_EQ(GetText(key), key);
    const std::string& set = CLangDB::Instance().GetCharacters();
    EXPECT_EQ(set.size(), 93u);
    EXPECT_EQ(static_cast<unsigned char>(set[0]), 0xB0u);
    EXPECT_NE(set.find('@'), std::string::npos);
    EXPECT_NE(set.find('\\'), std::string::npos);
}

// ---- characteristics table ------------------------------------------------------

class CaracTable : public ::testing::Test {
protected:
    void SetUp() override {
        mSaved[0] = ANGLE_POINTE_MOYEN;
        mSaved[1] = ANGLE_TIR_MOYEN;
        mSaved[2] = HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE;
        mSaved[3] = HAUTEUR_BOULE_INITIALE_MOYENNE_TIR;
        ANGLE_POINTE_MOYEN = 45.0f;
        ANGLE_TIR_MOYEN = 0.0f;
        HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE = 0.6f;
        HAUTEUR_BOULE_INITIALE_MOYENNE_TIR = 1.2f;
        CaracDB::Release();
    }
    void TearDown() override {
        ANGLE_POINTE_MOYEN = mSaved[0];
        ANGLE_TIR_MOYEN = mSaved[1];
        HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE = mSaved[2];
        HAUTEUR_BOULE_INITIALE_MOYENNE_TIR = mSaved[3];
        CaracDB::Release();
    }
    float mSaved[4];
};

TEST_F(CaracTable, SpeedsFromDistancesByProfileLetter) {
    const std::string file =
        "Cle;D1;D2;D3;D4;Eq;Ef;Me;Ph\r\n"
        "HM_TP; 0 ; 4;8;10;7;6;5;4\r\n"
        "HM_TT;4;;8;10;12;3;2;1;0\r\n"   // ";;" moves the later fields left
        "HM_TX;4;4;4;4;1;1;1;1\r\n"
        "XX;4;4;4;4;1;1;1;1\r\n"
        "SHORT;4;4;4;4;1;1;1\r\n";
    ASSERT_TRUE(CaracDB::LoadFromFile(WriteFile(FreshFolder("carac") + "/Carac_DB.csv", file)));
    EXPECT_EQ(CaracDB::Find("SHORT"), nullptr);
    EXPECT_EQ(CaracDB::Find("hm_tp"), nullptr);   // keys are exact

    const ThrowProfile* pointing = CaracDB::Find("HM_TP");
    ASSERT_NE(pointing, nullptr);
    EXPECT_EQ(pointing->mSpeed0, 0.0f);           // distance 0
    // At 45 degrees from 0.6 m: v^2 = g d^2 / (2 cos^2 (d tan + h)).
    for (auto [speed, d] : {std::pair<float, double>{pointing->mSpeed1, 4.0}, {pointing->mSpeed3, 10.0}}) {
        double c = std::cos(M_PI / 4);
        EXPECT_NEAR(speed, std::sqrt(9.81 * d * d / (2 * c * c * (d + 0.6))), 1e-3) << d;
    }
    EXPECT_EQ(pointing->mBalance, 7);
    EXPECT_EQ(pointing->mEffects, 6);
    EXPECT_EQ(pointing->mMental, 5);
    EXPECT_EQ(pointing->mPhysique, 4);

    // Angle 0 for shooting: v = sqrt(g d^2 / (2 h)).
    const float flat4 = std::sqrt(9.81f * 16.0f / 2.4f);
    for (const char* key : {"HM_TT", "HM_TX", "XX"}) {
        const ThrowProfile* profile = CaracDB::Find(key);
        ASSERT_NE(profile, nullptr) << key;
        EXPECT_NEAR(profile->mSpeed0, flat4, 1e-4) << key;
    }
    EXPECT_NEAR(CaracDB::Find("HM_TT")->mSpeed1, std::sqrt(9.81f * 64.0f / 2.4f), 1e-4);
    EXPECT_EQ(CaracDB::Find("HM_TT")->mMental, 1);
    EXPECT_EQ(CaracDB::Find("HM_TT")->mPhysique, 0);
}

TEST_F(CaracTable, LaterRowReplacesValuesAndKeepsTheRecord) {
    const std::string dir = FreshFolder("carac");
    ASSERT_TRUE(CaracDB::LoadFromFile(WriteFile(dir + "/a.csv", "h\nFG_PP;1;2;3;4;1;1;1;1\nFG_PP;1;2;3;4;9;8;7;6\n")));
    const ThrowProfile* first = CaracDB::Find("FG_PP");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->mBalance, 9);
    EXPECT_EQ(first->mPhysique, 6);
    ASSERT_TRUE(CaracDB::LoadFromFile(WriteFile(dir + "/b.csv", "h\nFG_PP;1;2;3;4;2;2;2;2\n")));
    EXPECT_EQ(CaracDB::Find("FG_PP"), first);     // players keep valid profiles
    EXPECT_EQ(first->mBalance, 2);

    EXPECT_FALSE(CaracDB::LoadFromFile(dir + "/missing.csv"));
    EXPECT_EQ(CaracDB::GetCount(), 1u);
}

// ---- team and player tables -------------------------------------------------------

TEST(TeamNames, FixedRegionAndCountryMaps) {
    EXPECT_EQ(TeamDB::GetRegionId("Ile de France"), 8);
    EXPECT_EQ(TeamDB::GetRegionId("Ile-de-France"), 0);
    EXPECT_EQ(TeamDB::GetRegionName(TeamDB::GetSecondRegionNames(), 8), "Ile-de-France");
    EXPECT_EQ(TeamDB::GetRegionName(TeamDB::GetRegionNames(), 8), "Ile de France");
    EXPECT_EQ(TeamDB::GetRegionName(TeamDB::GetRegionNames(), 0), "-");
    EXPECT_EQ(TeamDB::GetRegionName(TeamDB::GetRegionNames(), 16), "Rhone-Alpes");
    EXPECT_EQ(TeamDB::GetRegionName(TeamDB::GetRegionNames(), 17), "");
    EXPECT_EQ(&TeamDB::GetRegionName(TeamDB::GetRegionNames(), 17), &TeamDB::GetRegionName(TeamDB::GetRegionNames(), 99));
    EXPECT_EQ(TeamDB::GetCountryId("France"), 8);
    EXPECT_EQ(TeamDB::GetCountryId("Tunisie"), 16);
    EXPECT_EQ(TeamDB::GetCountryId("Atlantide"), 8);
    EXPECT_EQ(TeamDB::GetRegionId("Atlantide"), 0);
    EXPECT_EQ(TeamDB::GetCountryName(TeamDB::GetCountryNames(), 1), "Algerie");
    EXPECT_EQ(TeamDB::GetCountryName(TeamDB::GetSecondCountryNames(), 8), "France");
    EXPECT_EQ(TeamDB::GetCountryName(TeamDB::GetCountryNames(), 0), "");
}

class TeamAndPlayerTables : public ::testing::Test {
protected:
    void SetUp() override {
        mDir = FreshFolder("tables");
        CaracDB::Release();
        std::string carac = "Cle;D1;D2;D3;D4;Eq;Ef;Me;Ph\n";
        for (const char* key : {"FP_TP", "FP_TT", "HJ_PP", "HJ_PT", "HM_MP", "HM_MT"})
            carac += std::string(key) + ";4;6;8;10;5;5;5;5\n";
        ASSERT_TRUE(CaracDB::LoadFromFile(WriteFile(mDir + "/Carac_DB.csv", carac)));
    }
    void TearDown() override {
        PlayerDB::Init();
        TeamDB::Init();
        CaracDB::Release();
    }
    // Sixteen national rows, then sixteen regional rows, each with its name
    // from the fixed maps; `extra` is appended.
    std::string TeamFile(const std::string& extra = "") {
        std::string file = "Equipe;Nat;F0;N0;F1;N1;F2;N2\r\n";
        for (int id = 1; id <= 16; ++id)
            file += TeamDB::GetCountryName(TeamDB::GetCountryNames(), id) + ";Yes;1;2;3;4;5;" + std::to_string(id) + "\r\n";
        for (int id = 1; id <= 16; ++id)
            file += "\t" + TeamDB::GetRegionName(TeamDB::GetRegionNames(), id) + ";0;1;2;3;4;5;" + std::to_string(id) + " \r\n";
        return file + extra;
    }
    std::string mDir;
};

TEST_F(TeamAndPlayerTables, TeamsTakeIdsFlagsAndLevels) {
    ASSERT_TRUE(TeamDB::LoadFromFile(WriteFile(mDir + "/Equipes_DB.csv", TeamFile("Corse;0;1;2;3;4;5\r\n"))));
    ASSERT_EQ(TeamDB::GetTeams().size(), 32u);   // the short row is skipped

    Team* france = TeamDB::GetNationalTeam(8);
    ASSERT_NE(france, nullptr);
    EXPECT_EQ(france->mName, "France");
    EXPECT_TRUE(france->mNational);
    EXPECT_EQ(france->mRegionId, 0);
    EXPECT_EQ(france->mDifficulty[0][0], 1);
    EXPECT_EQ(france->mDifficulty[1][1], 4);
    EXPECT_EQ(france->mDifficulty[2][1], 8);

    Team* corse = TeamDB::GetRegionalTeam(6);
    ASSERT_NE(corse, nullptr);
    EXPECT_EQ(corse->mName, "Corse");
    EXPECT_FALSE(corse->mNational);
    EXPECT_EQ(corse->mCountryId, 8);
    EXPECT_EQ(TeamDB::GetTeams()[16 + 5], corse);

    EXPECT_EQ(TeamDB::GetNationalTeam(0), nullptr);
    EXPECT_EQ(TeamDB::GetRegionalTeam(17), nullptr);
    // Regional teams carry country 8 but are not national teams of France.
    TeamDB::GetTeams()[7]->mCountryId = 99;
    EXPECT_EQ(TeamDB::GetNationalTeam(8), nullptr);
}

TEST_F(TeamAndPlayerTables, MissingTeamFileLeavesNoTeams) {
    ASSERT_TRUE(TeamDB::LoadFromFile(WriteFile(mDir + "/Equipes_DB.csv", TeamFile())));
    EXPECT_FALSE(TeamDB::LoadFromFile(mDir + "/absent.csv"));
    EXPECT_TRUE(TeamDB::GetTeams().empty());
    EXPECT_EQ(TeamDB::GetNationalTeam(8), nullptr);
}

TEST_F(TeamAndPlayerTables, PlayersFiledByTeamWithCodesAndProfiles) {
    const std::string file =
        "Equipe;Nom;Corps;Role;Peau;Modele\r\n"
        "Corse;Ana Tirel;FP;TIREUR;AS;2\r\n"
        "  Corse;Bo Poin;HJ;POINTEUR;;CN;3 \r\n"   // ";;" and blanks
        "France;Cy Mil;HM;MILIEU;AF;x\r\n"
        "Atlantide;Di Nowhere;ZZ;CAPITAINE;QQ;1\r\n"
        "Corse;Too;Short;MILIEU;CN\r\n";
    ASSERT_TRUE(PlayerDB::LoadFromFile(WriteFile(mDir + "/Joueurs_DB.csv", file)));

    PlayerList* corse = PlayerDB::GetRegionPlayers(6);
    ASSERT_NE(corse, nullptr);
    ASSERT_EQ(corse->size(), 2u);
    const CPlayer* shooter = (*corse)[0];
    EXPECT_EQ(shooter->mName, "Ana Tirel");
    EXPECT_EQ(shooter->mBodyCode, 1);
    EXPECT_EQ(shooter->mRole, CPlayer::ROLE_SHOOTER);
    EXPECT_EQ(shooter->mSkinCode, 2);
    EXPECT_EQ(shooter->mModelNumber, 2);
    EXPECT_EQ(shooter->mPointingProfile, CaracDB::Find("FP_TP"));
    EXPECT_EQ(shooter->mShootingProfile, CaracDB::Find("FP_TT"));
    ASSERT_NE(shooter->mPointingProfile, nullptr);

    const CPlayer* pointer = (*corse)[1];
    EXPECT_EQ(pointer->mName, "Bo Poin");
    EXPECT_EQ(pointer->mRole, CPlayer::ROLE_POINTER);
    EXPECT_EQ(pointer->mSkinCode, 0);
    EXPECT_EQ(pointer->mModelNumber, 3);
    EXPECT_EQ(pointer->mShootingProfile, CaracDB::Find("HJ_PT"));

    // France and the unknown team both land in country 8.
    PlayerList* france = PlayerDB::GetCountryPlayers(8);
    ASSERT_NE(france, nullptr);
    ASSERT_EQ(france->size(), 2u);
    EXPECT_EQ((*france)[0]->mModelNumber, 0);   // no leading digits
    const CPlayer* stranger = (*france)[1];
    EXPECT_EQ(stranger->mBodyCode, 0);
    EXPECT_EQ(stranger->mRole, 0);
    EXPECT_EQ(stranger->mSkinCode, 0);
    EXPECT_EQ(stranger->mPointingProfile, nullptr);   // "ZZ_CP" is not in the table

    EXPECT_EQ(PlayerDB::GetRegionPlayers(1), nullptr);
    EXPECT_FALSE(PlayerDB::LoadFromFile(mDir + "/absent.csv"));
    EXPECT_EQ(PlayerDB::GetRegionPlayers(6), nullptr);
}

TEST_F(TeamAndPlayerTables, RoleLookupFallsBackToTheMiddlePlayer) {
    const std::string file =
        "h\n"
        "Corse;S1;HJ;TIREUR;CN;1\nCorse;S2;HJ;TIREUR;CN;1\nCorse;M1;HJ;MILIEU;CN;1\nCorse;M2;HJ;MILIEU;CN;1\n"
        "Bretagne;S3;HJ;TIREUR;CN;1\nBretagne;S4;HJ;TIREUR;CN;1\n"
        "Algerie;P1;HJ;POINTEUR;CN;1\n";
    ASSERT_TRUE(PlayerDB::LoadFromFile(WriteFile(mDir + "/Joueurs_DB.csv", file)));
    ASSERT_TRUE(TeamDB::LoadFromFile(WriteFile(mDir + "/Equipes_DB.csv", TeamFile())));
    Team* corse = TeamDB::GetRegionalTeam(6);
    Team* bretagne = TeamDB::GetRegionalTeam(4);
    Team* algerie = TeamDB::GetNationalTeam(1);
    Team* lorraine = TeamDB::GetRegionalTeam(10);   // no player list at all
    ASSERT_TRUE(corse && bretagne && algerie && lorraine);

    EXPECT_EQ(PlayerDB::GetTeamPlayers(algerie), PlayerDB::GetCountryPlayers(1));
    EXPECT_EQ(PlayerDB::GetTeamPlayers(lorraine), nullptr);
    EXPECT_EQ(PlayerDB::GetTeamPlayer(corse, CPlayer::ROLE_SHOOTER)->mName, "S1");
    EXPECT_EQ(PlayerDB::GetTeamPlayer(corse, CPlayer::ROLE_POINTER)->mName, "M1");
    EXPECT_EQ(PlayerDB::GetTeamPlayer(bretagne, CPlayer::ROLE_POINTER), nullptr);
    EXPECT_EQ(PlayerDB::GetTeamPlayer(algerie, CPlayer::ROLE_MIDDLE), nullptr);   // no fallback for role 0
    EXPECT_EQ(PlayerDB::GetTeamPlayer(lorraine, CPlayer::ROLE_MIDDLE), nullptr);

    auto names = [](const std::vector<CPlayer*>& players) {
        std::vector<std::string> out;
        for (const CPlayer* p : players)
            out.push_back(p ? p->mName : "(none)");
        return out;
    };
    struct Case {
        Team* team;
        int count;
        std::vector<std::string> expected;
    } cases[] = {
        {corse, 1, {"M1"}},
        {corse, 2, {"M1", "S1"}},
        {corse, 3, {"M1", "M1", "S1"}},
        {algerie, 3, {"(none)", "P1", "(none)"}},
        {lorraine, 2, {"(none)", "(none)"}},
        {corse, 0, {}},
        {corse, 4, {}},
    };
    for (const Case& c : cases) {
        std::vector<CPlayer*> out;
        PlayerDB::CollectPlayers(c.team, c.count, out);
        EXPECT_EQ(names(out), c.expected) << c.team->mName << " " << c.count;
    }
}
