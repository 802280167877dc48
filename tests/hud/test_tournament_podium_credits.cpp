// The podium and the credits on CEGUI's Null renderer: the places the
// tournament has, their flag pictures' names, the credits' windows built from
// the table (unique names, however long the table), their roll and its end.
#include "TournamentScreenTestUtil.h"

#include <CHUDCredits.h>
#include <CHUDVictory.h>
#include <HalTimer.h>
#include <Team.h>
#include <TeamDB.h>

#include <CEGUI/Font.h>

#include <iterator>
#include <memory>
#include <set>

namespace {

class Podium : public TournamentScreenTest {
protected:
    void SetUp() override {
        TournamentScreenTest::SetUp();
        TeamDB::Init();
    }
};

class Credits : public TournamentScreenTest {
protected:
    void SetUp() override {
        TournamentScreenTest::SetUp();
        gTimer.mGameDeltaMs = 0.0f;
    }
    void TearDown() override {
        gTimer.mGameDeltaMs = 0.0f;
        TournamentScreenTest::TearDown();
    }
    // A credits table of these lines in the test's folder.
    std::string Table(const std::string& rows) {
        const std::string path = std::string(KEM_TEST_BINARY_DIR) + "/credits_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv";
        std::ofstream(path) << rows;
        return path;
    }
    static float Top(CEGUI::Window* w) { return w->getPosition().d_y.d_scale; }
    // Frames of `ms` each until the roll ends (at most `limit`).
    static int FramesToEnd(CHUDCredits& credits, float ms, int limit) {
        gTimer.mGameDeltaMs = ms;
        int frames = 0;
        while (!credits.mFinished && frames < limit) {
            credits.Update();
            ++frames;
        }
        return frames;
    }
};

}  // namespace

TEST_F(Podium, FlagPicturesAreFoundByDisplayNameAmongRegionsOrCountries) {
    const struct {
        const char* name;
        bool regional;
        const char* picture;
    } cases[] = {
        {"Ile de France", true, "Ile-de-France"},
        {"Bretagne", true, "Bretagne"},
        {"Algerie", false, "Algerie"},
        {"Bretagne", false, ""},       // a region is not among the countries
        {"Atlantide", true, ""},
        {"", false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CHUDVictory::GetTeamPictureName(c.name, c.regional), c.picture) << c.name << " " << c.regional;
}

// A tournament of fewer than three teams shows only the places it has.
TEST_F(Podium, ShowsOnlyThePlacesOfTheTeamsThatExist) {
    Team first("Bretagne"), second("Alsace");
    first.mRegionId = TeamDB::GetRegionId("Bretagne");
    second.mRegionId = TeamDB::GetRegionId("Alsace");
    const struct {
        const Team *a, *b, *c;
        bool shown[3];
    } cases[] = {
        {&first, &second, nullptr, {true, true, false}},
        {&first, nullptr, nullptr, {true, false, false}},
        {nullptr, nullptr, nullptr, {false, false, false}},
    };
    const char* const places[3] = {"FirstTeam", "SecondTeam", "ThirdTeam"};
    for (const auto& c : cases) {
        CHUDVictory screen;
        EXPECT_EQ(Text("FrameText"), "Resultats");
        EXPECT_FALSE(Visible("BtnBack"));
        screen.ShowPodium(c.a, c.b, c.c);
        screen.ShowAwards(c.a, c.b, c.c);
        for (int place = 0; place < 3; ++place)
            EXPECT_EQ(Visible(places[place]), c.shown[place]) << places[place];
        if (c.a) {
            EXPECT_EQ(Text("FirstTeam"), "Bretagne");
        }
        if (c.b) {
            EXPECT_EQ(Text("SecondTeam"), "Alsace");
        }
    }
}

TEST_F(Podium, ContinueAndTheHiddenBackButtonSetTheirFlags) {
    CHUDVictory screen;
    Click("BtnValid");
    EXPECT_TRUE(screen.mValidated);
    EXPECT_EQ(PlayedSounds::played, std::vector<std::string>{"valid.wav"});
    EXPECT_FALSE(screen.mBack);
    Click("BtnBack");
    EXPECT_TRUE(screen.mBack);
}

// Row 1 a name alone, row 2 title, heading and name, row 3 heading and name;
// a row of four columns is skipped.
TEST_F(Credits, EachRowBuildsItsLinesInItsStylesBelowTheScreen) {
    CHUDCredits credits(Table("Titre;Rubrique;Nom\nAnouk\nTavirelo;Conception;L'equipe\nSons;Fanny\na;b;c;d\n"));
    const struct {
        const char* name;
        const char* text;
        const char* font;
        uint32_t colour;
        float top;
    } lines[] = {
        {"creditsText100000", "Anouk", "lucida-10", 0xFF000000u, 0.975f},
        {"creditsText2", "Tavirelo", "Dewsbury-60", 0xFF10326Cu, 1.175f},
        {"creditsText200", "Conception", "Dewsbury-10", 0xFF10326Cu, 1.3f},
        {"creditsText200000", "L'equipe", "lucida-10", 0xFF000000u, 1.375f},
        {"creditsText300", "Sons", "Dewsbury-10", 0xFF10326Cu, 1.5f},
        {"creditsText300000", "Fanny", "lucida-10", 0xFF000000u, 1.575f},
    };
    ASSERT_EQ(credits.GetLines().size(), std::size(lines));
    for (size_t i = 0; i < std::size(lines); ++i) {
        SCOPED_TRACE(lines[i].name);
        CEGUI::Window* w = credits.GetLines()[i];
        EXPECT_EQ(w->getName(), lines[i].name);
        EXPECT_EQ(w->getParent(), Window("Root"));
        EXPECT_EQ(Text(lines[i].name), lines[i].text);
        ASSERT_NE(w->getFont(), nullptr);
        EXPECT_EQ(w->getFont()->getName(), lines[i].font);
        EXPECT_EQ(Colour(lines[i].name), lines[i].colour);
        EXPECT_NEAR(Top(w), lines[i].top, 1e-5f);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->isAlwaysOnTop());
    }
    EXPECT_NEAR(credits.GetLastLinePosition(), 1.575f, 1e-5f);
}

// Window names repeat from row 100 on when made from the row number alone:
// row 100's title would be row 1's heading ("creditsText100"), row 1000's
// heading row 1's name ("creditsText100000"); the GUI refuses a second child
// of the same name. Rows of one column keep the table's window count low.
TEST_F(Credits, EveryLineHasAWindowOfItsOwnHoweverLongTheTable) {
    std::string rows = "Titre;Rubrique;Nom\nRubrique 1;Nom 1\n";
    for (int r = 2; r <= 1000; ++r) {
        const std::string n = std::to_string(r);
        rows += r == 100 ? "Titre 100;Rubrique 100;Nom 100\n" : r == 1000 ? "Rubrique 1000;Nom 1000\n" : "Nom " + n + "\n";
    }
    std::unique_ptr<CHUDCredits> credits;
    ASSERT_NO_THROW(credits = std::make_unique<CHUDCredits>(Table(rows)));
    const size_t expected = 2 + 997 + 3 + 2;
    ASSERT_EQ(credits->GetLines().size(), expected);
    std::set<std::string> names;
    for (CEGUI::Window* w : credits->GetLines())
        names.insert(CEGUIStringToStdString(w->getName()));
    EXPECT_EQ(names.size(), expected);
    // Below 100 rows the names stay as they were.
    EXPECT_EQ(Text("creditsText100"), "Rubrique 1");
    EXPECT_EQ(Text("creditsText100000"), "Nom 1");
    EXPECT_EQ(Text("creditsText200000"), "Nom 2");
    const auto textOf = [&](size_t i) { return CEGUIStringToStdString(credits->GetLines()[i]->getText()); };
    EXPECT_EQ(textOf(2 + 98), "Titre 100");
    EXPECT_EQ(textOf(expected - 2), "Rubrique 1000");
}

// The first frame moves nothing (the time spent loading must not jump the
// roll); then the lines rise by 0.065 screen heights a second of game time,
// the frame's milliseconds truncated.
TEST_F(Credits, TheLinesRiseWithGameTimeAfterAStillFirstFrame) {
    CHUDCredits credits(Table("Titre;Rubrique;Nom\nAnouk\nGaspard\n"));
    ASSERT_EQ(credits.GetLines().size(), 2u);
    CEGUI::Window* first = credits.GetLines()[0];
    const float start = Top(first);
    gTimer.mGameDeltaMs = 500.0f;
    credits.Update();
    EXPECT_FLOAT_EQ(Top(first), start);
    gTimer.mGameDeltaMs = 100.9f;
    credits.Update();
    EXPECT_NEAR(Top(first), start - 0.0065f, 1e-6f);
    EXPECT_NEAR(credits.GetLastLinePosition(), 0.9f + 0.15f - 0.0065f, 1e-5f);
    EXPECT_FALSE(credits.mFinished);
}

// The roll ends when the last line reaches -0.35: an empty table after about
// (0.9 + 0.35) / 0.065 = 19.2 s, a longer one later; a click ends it at once.
TEST_F(Credits, TheRollEndsAtItsEndOrOnAClick) {
    {
        CHUDCredits credits(Table("Titre;Rubrique;Nom\n"));
        EXPECT_TRUE(credits.GetLines().empty());
        const int frames = FramesToEnd(credits, 100.0f, 1000);
        EXPECT_TRUE(credits.mFinished);
        EXPECT_NEAR((frames - 1) * 0.1f, 19.23f, 0.15f);
    }
    {
        CHUDCredits credits(std::string(KEM_SOURCE_MEDIA) + "/Data/Credits_DB.csv");
        ASSERT_GT(credits.GetLines().size(), 10u);
        CEGUI::Window* last = credits.GetLines().back();
        FramesToEnd(credits, 100.0f, 5000);
        EXPECT_TRUE(credits.mFinished);
        EXPECT_LE(Top(last), -0.35f + 1e-4f) << "the last line has left the screen";
        const float top = Top(last);
        credits.Update();
        EXPECT_FLOAT_EQ(Top(last), top) << "a finished roll stays still";
    }
    {
        CHUDCredits credits(std::string(KEM_SOURCE_MEDIA) + "/Data/Credits_DB.csv");
        FramesToEnd(credits, 100.0f, 10);
        EXPECT_FALSE(credits.mFinished);
        Click("Root");
        EXPECT_TRUE(credits.mFinished);
    }
    EXPECT_EQ(Window("Root"), nullptr) << "the credits' windows are gone with the screen";
}

TEST_F(Credits, AMissingTableRollsBlankAndEnds) {
    LogCapture log;
    CHUDCredits credits(std::string(KEM_TEST_BINARY_DIR) + "/no_such_credits.csv");
    EXPECT_TRUE(credits.GetLines().empty());
    EXPECT_TRUE(log.Has({"no_such_credits.csv", "missing"}));
    FramesToEnd(credits, 100.0f, 1000);
    EXPECT_TRUE(credits.mFinished);
}
