// The bracket, qualification and result-tree screens on CEGUI's Null
// renderer, with the game's layouts and language table: team lines and
// scores, highlighted human teams, hidden lines and buttons, continue clicks,
// no blink left behind once a screen is gone, and team names broken between
// their words.
#include "TournamentScreenTestUtil.h"

#include <CHUDAffrontements.h>
#include <CHUDQualification.h>
#include <CHUDTournamentResult.h>
#include <Team.h>
#include <TeamDB.h>
#include <TournamentScreenText.h>

#include <CEGUI/Font.h>
#include <CEGUI/System.h>

#include <functional>
#include <memory>

namespace {

const uint32_t kRed = 0xFFFF0000u;
const uint32_t kGreen = 0xFF00FF00u;

class BracketScreens : public TournamentScreenTest {};
class QualificationScreens : public TournamentScreenTest {};
class ResultTree : public TournamentScreenTest {};

PairingLines TwoMatches() {
    PairingLines lines;
    lines.mMatch[0].mFirst = Side("Bretagne", 13, false, {"Lea", "Hugo", "Ines"});
    lines.mMatch[0].mSecond = Side("Alsace", 7);
    lines.mMatch[0].mFirstWon = true;
    lines.mMatch[1].mFirst = Side("Corse", 4);
    lines.mMatch[1].mSecond = Side("Picardie", 15);
    return lines;
}

}  // namespace

TEST_F(BracketScreens, AScoreShowsAtMostThirteenGreenFromThirteenAndNothingWhenUnplayed) {
    CHUDAffrontementsStepOne screen;
    const struct {
        int score;
        const char* text;
        uint32_t colour;
    } cases[] = {{15, "13", kGreen}, {13, "13", kGreen}, {12, "12", kRed}, {0, "0", kRed}, {-1, "", kRed}};
    const std::string none[3];
    int n = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        screen.SetTeamLine(n, "Bretagne", false, none, c.score);
        EXPECT_EQ(Text("TeamText" + std::to_string(n)), "Bretagne");
        EXPECT_EQ(Text("TeamScore" + std::to_string(n)), c.text);
        EXPECT_EQ(Colour("TeamScore" + std::to_string(n)), c.colour);
        ++n;
    }
}

TEST_F(BracketScreens, PoolsShowTheirTitlesAndFourTeamsAGroupWithTheHumanTeamHighlighted) {
    CHUDAffrontementsStepOne screen;
    EXPECT_EQ(Text("TextPoule1"), "Poule 1");
    EXPECT_EQ(Text("TextPoule4"), "Poule 4");
    EXPECT_EQ(Text("FrameName"), "Rencontres");
    EXPECT_EQ(Text("FrameText"), "Matchs de poule");
    EXPECT_EQ(Text("BtnValid"), "Continuer");
    EXPECT_FALSE(Visible("BtnBack"));
    EXPECT_FALSE(Visible("BtnShuffle"));
    EXPECT_TRUE(Visible("BtnValid"));

    screen.ShowMatch(TwoMatches(), 2);   // lines 9 to 12
    EXPECT_EQ(Text("TeamText9"), "Bretagne \n Lea \n Hugo \n Ines");
    EXPECT_EQ(Colour("TeamText9"), kRed);
    EXPECT_TRUE(Blinking("TeamText9"));
    EXPECT_EQ(Text("TeamText10"), "Alsace");
    EXPECT_EQ(Text("TeamScore10"), "7");
    EXPECT_EQ(Text("TeamText11"), "Corse");
    EXPECT_EQ(Text("TeamText12"), "Picardie");
    EXPECT_EQ(Text("TeamScore12"), "13");
    EXPECT_FALSE(Blinking("TeamText10"));
    EXPECT_EQ(BlinkCount(), 1);
    for (int n : {1, 8, 13, 16})
        EXPECT_EQ(Text("TeamText" + std::to_string(n)), "") << n;
}

TEST_F(BracketScreens, SingleMatchesShowTwoLinesAGroupAndHideTheOthers) {
    CHUDAffrontementsStepTwo screen;
    for (int n = 1; n <= 16; ++n) {
        const bool used = (n - 1) % 4 < 2;
        EXPECT_EQ(Visible("TeamBox" + std::to_string(n)), used) << n;
    }
    screen.ShowMatch(TwoMatches(), 1);
    EXPECT_EQ(Text("TeamText5"), "Bretagne \n Lea \n Hugo \n Ines");
    EXPECT_EQ(Text("TeamText6"), "Alsace");
    EXPECT_EQ(Text("TeamText7"), "");
    EXPECT_EQ(Text("TeamText8"), "");
}

TEST_F(BracketScreens, ContinueSetsValidatedWithTheValidSoundButOnTheLastSixteenSilently) {
    struct Case {
        const char* name;
        std::function<CHUDAffrontements*()> make;
        bool sound;
    };
    const Case cases[] = {
        {"pools", [] { return new CHUDAffrontementsStepOne; }, true},
        {"matches", [] { return new CHUDAffrontementsStepTwo; }, true},
        {"last sixteen", [] { return new CHUDAffrontementsStep16Finale; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayedSounds::played.clear();
        std::unique_ptr<CHUDAffrontements> screen(c.make());
        EXPECT_FALSE(screen->mValidated);
        Click("BtnValid");
        EXPECT_TRUE(screen->mValidated);
        EXPECT_FALSE(screen->mBack);
        EXPECT_EQ(PlayedSounds::played, c.sound ? std::vector<std::string>{"valid.wav"} : std::vector<std::string>{});
        screen->OnBackClicked(CEGUI::EventArgs());
        EXPECT_TRUE(screen->mBack);
    }
}

TEST_F(BracketScreens, TheLastSixteenHasItsOwnLayoutWithTheWinnersOnLines17To24) {
    CHUDAffrontementsStep16Finale screen;
    EXPECT_EQ(Text("FrameName"), "Huitiemes de finale");
    EXPECT_FALSE(Visible("BtnBack"));
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(Text("TeamText" + std::to_string(n)), "") << n;
    screen.ShowMatch(TwoMatches(), 3);   // lines 13 to 16
    TeamLine winner;
    winner.mPlayerCount = 3;
    winner.mName = "Bretagne";
    winner.mPlayers[0] = "Lea";
    winner.mComputer = false;
    winner.mScore = 13;
    screen.SetTeamLine(24, winner);
    EXPECT_EQ(Text("TeamText13"), "Bretagne \n Lea \n Hugo \n Ines");
    EXPECT_EQ(Text("TeamText16"), "Picardie");
    EXPECT_EQ(Text("TeamText24"), "Bretagne \n Lea \n  \n ");
    EXPECT_EQ(Text("TeamScore24"), "13");
    EXPECT_TRUE(Blinking("TeamText24"));
}

// Every screen stops every blink it started: a blink left running would
// outlive its window or land on the next screen's window of the same name.
TEST_F(BracketScreens, NoBlinkOutlivesAScreen) {
    PairingLines humans = TwoMatches();
    humans.mMatch[0].mSecond.mComputer = false;
    humans.mMatch[1].mFirst.mComputer = false;
    humans.mMatch[1].mSecond.mComputer = false;
    TeamLine human;
    human.mPlayerCount = 1;
    human.mName = "Corse";
    human.mComputer = false;
    human.mScore = 13;
    const std::vector<std::pair<const char*, std::function<void()>>> screens = {
        {"pools", [&] { CHUDAffrontementsStepOne s; for (int g = 0; g < 4; ++g) s.ShowMatch(humans, g); }},
        {"matches", [&] { CHUDAffrontementsStepTwo s; for (int g = 0; g < 4; ++g) s.ShowMatch(humans, g); }},
        {"last sixteen", [&] {
             CHUDAffrontementsStep16Finale s;
             for (int g = 0; g < 4; ++g) s.ShowMatch(humans, g);
             for (int n = 17; n <= 24; ++n) s.SetTeamLine(n, human);
         }},
        {"qualification", [&] { CHUDQualification s; for (int p = 0; p < 4; ++p) s.Fill(p, humans); }},
        {"qualification results", [&] { CHUDQualificationResult s; for (int p = 0; p < 4; ++p) s.Fill(p, humans); }},
        {"result tree", [&] { CHUDTournamentResult s; for (int n = 1; n <= 18; ++n) s.SetTeamLine(n, human); }},
    };
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen.first);
        screen.second();
        EXPECT_EQ(BlinkCount(), 0);
        EXPECT_EQ(Window("Root"), nullptr) << "the screen's windows are gone";
    }
}

// Line p + 1 of a column holds the winner of a pool's match, line p + 5 the
// other team; the first match goes to column A, the second to column B.
TEST_F(QualificationScreens, EachPoolPutsItsWinnersOnTheUpperLinesAndItsLosersOnTheLowerOnes) {
    const struct {
        bool firstWonA, firstWonB;
        const char *a1, *a5, *b1, *b5;
    } cases[] = {
        {true, false, "Bretagne", "Alsace", "Picardie", "Corse"},
        {false, true, "Alsace", "Bretagne", "Corse", "Picardie"},
    };
    for (const auto& c : cases) {
        CHUDQualification screen;
        PairingLines lines = TwoMatches();
        lines.mMatch[0].mFirst.mComputer = true;
        lines.mMatch[0].mFirstWon = c.firstWonA;
        lines.mMatch[1].mFirstWon = c.firstWonB;
        screen.Fill(2, lines);
        EXPECT_EQ(Text("TeamAText3"), c.a1);
        EXPECT_EQ(Text("TeamAText7"), c.a5);
        EXPECT_EQ(Text("TeamBText3"), c.b1);
        EXPECT_EQ(Text("TeamBText7"), c.b5);
        for (int n : {1, 2, 4, 5, 6, 8})
            EXPECT_EQ(Text("TeamAText" + std::to_string(n)), "") << n;
        // Pools past the fourth (or before the first) write nothing.
        screen.Fill(4, lines);
        screen.Fill(-1, lines);
        EXPECT_EQ(Text("TeamAText1"), "");
        EXPECT_EQ(Text("TeamAText5"), "");
    }
}

TEST_F(QualificationScreens, AHighlightedTeamShowsOnlyItsRealPlayers) {
    CHUDQualification screen;
    EXPECT_EQ(Text("FrameText"), "Qualifications");
    EXPECT_EQ(Text("TextPoule3"), "Poule 3");
    PairingLines lines = TwoMatches();
    lines.mMatch[0].mFirst.mPlayers[2].clear();
    screen.Fill(0, lines);
    EXPECT_EQ(Text("TeamAText1"), "Bretagne \n Lea \n Hugo");
    EXPECT_EQ(Colour("TeamAText1"), kRed);
    EXPECT_TRUE(Blinking("TeamAText1"));
    Click("BtnValid");
    EXPECT_TRUE(screen.mValidated);
    EXPECT_EQ(PlayedSounds::played, std::vector<std::string>{"valid.wav"});
}

TEST_F(QualificationScreens, TheResultsLabelTheUpperLinesQualifiedAndTheLowerOnesEliminated) {
    CHUDQualificationResult screen;
    EXPECT_EQ(Text("FrameText"), "Resultats des qualifications");
    EXPECT_EQ(Text("BtnValid"), "Continuer");
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(Text("Qualified" + std::to_string(n)), n <= 4 ? "Qualifie" : "Elimine") << n;
    screen.Fill(3, TwoMatches());
    EXPECT_EQ(Text("TeamAText4"), "Bretagne \n Lea \n Hugo \n Ines");
    EXPECT_EQ(Text("TeamAText8"), "Alsace");
}

TEST_F(ResultTree, ALineShowsItsScoreOnlyWhenPlayedByATeamWithPlayers) {
    CHUDTournamentResult screen;
    EXPECT_EQ(Text("FrameName"), "Tableau final");
    EXPECT_EQ(Text("FrameQuarterFinal"), "Quarts de finale");
    EXPECT_EQ(Text("FrameHalfFinal"), "Demi-finales");
    EXPECT_EQ(Text("FrameFinal"), "Finale");
    EXPECT_EQ(Text("FrameHalfWinners"), "Classement");
    EXPECT_EQ(Text("FrameWinners"), "Vainqueurs");
    EXPECT_FALSE(Visible("BtnBack"));
    const struct {
        int count, score;
        const char* text;
        uint32_t colour;   // 0: the colour is not checked
    } cases[] = {{3, 20, "13", kGreen}, {3, 13, "13", kGreen}, {3, 7, "7", kRed}, {3, -1, "", 0}, {0, 13, "", 0}};
    int n = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        TeamLine line;
        line.mPlayerCount = c.count;
        line.mName = "Lorraine";
        line.mScore = c.score;
        screen.SetTeamLine(n, line);
        EXPECT_EQ(Text("TeamText" + std::to_string(n)), "Lorraine");
        EXPECT_EQ(Text("TeamScore" + std::to_string(n)), c.text);
        if (c.colour) {
            EXPECT_EQ(Colour("TeamScore" + std::to_string(n)), c.colour);
        }
        ++n;
    }
    // A human team's line keeps the breaks of its empty player names.
    TeamLine human;
    human.mPlayerCount = 2;
    human.mName = "Corse";
    human.mPlayers[0] = "Lea";
    human.mPlayers[1] = "Hugo";
    human.mComputer = false;
    human.mScore = 13;
    screen.SetTeamLine(17, human);
    EXPECT_EQ(Text("TeamText17"), "Corse \n Lea \n Hugo \n ");
    EXPECT_EQ(Colour("TeamText17"), kRed);
    EXPECT_TRUE(Blinking("TeamText17"));
    Click("BtnValid");
    EXPECT_TRUE(screen.mValidated);
    EXPECT_EQ(PlayedSounds::played, std::vector<std::string>{"valid.wav"});
}

namespace {

std::vector<std::string> Numbered(const std::string& prefix, int from, int to) {
    std::vector<std::string> names;
    for (int n = from; n <= to; ++n)
        names.push_back(prefix + std::to_string(n));
    return names;
}
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class TournamentLayouts : public TournamentScreenTest {};

}  // namespace

// Every window the screens look up is in its layout, with the "Root" window
// the blink manager needs.
TEST_F(TournamentLayouts, EveryWindowTheScreensLookUpIsInItsLayout) {
    const struct {
        const char* layout;
        std::vector<std::string> windows;
    } layouts[] = {
        {"affrontements.layout",
         Join({{"FrameName", "FrameText", "BtnValid", "BtnBack", "BtnShuffle"}, Numbered("TextPoule", 1, 4),
               Numbered("TeamText", 1, 16), Numbered("TeamScore", 1, 16), Numbered("TeamBox", 1, 16)})},
        {"tournoi16eme.layout",
         Join({{"FrameName", "BtnValid", "BtnBack"}, Numbered("TeamText", 1, 24), Numbered("TeamScore", 1, 24)})},
        {"qualifications.layout",
         Join({{"FrameText", "BtnValid"}, Numbered("TextPoule", 1, 4), Numbered("TeamAText", 1, 8),
               Numbered("TeamBText", 1, 8)})},
        {"qualificationsResults.layout",
         Join({{"FrameText", "BtnValid"}, Numbered("TextPoule", 1, 4), Numbered("TeamAText", 1, 8),
               Numbered("TeamBText", 1, 8), Numbered("Qualified", 1, 8)})},
        {"tournamentResult.layout",
         Join({{"FrameName", "FrameHalfWinners", "FrameQuarterFinal", "FrameHalfFinal", "FrameFinal", "FrameWinners",
                "BtnValid", "BtnBack"},
               Numbered("TeamText", 1, 18), Numbered("TeamScore", 1, 18)})},
        {"victory.layout", {"FrameText", "BtnValid", "BtnBack", "FirstTeam", "SecondTeam", "ThirdTeam"}},
        {"credits.layout", {}},
    };
    for (const auto& entry : layouts) {
        SCOPED_TRACE(entry.layout);
        ASSERT_TRUE(gGUIMgr.LoadLayout(entry.layout)) << "unknown window type or font, or a broken file";
        ASSERT_NE(Window("Root"), nullptr);
        for (const std::string& name : entry.windows)
            EXPECT_NE(Window(name), nullptr) << name;
    }
    EXPECT_FALSE(Window("Root")->isMousePassThroughEnabled()) << "the credits end on a click on the root";
}

namespace {

class TeamNames : public TournamentScreenTest {};

// One unit of width per character.
float Characters(const std::string& line) { return static_cast<float>(line.size()); }

}  // namespace

// A pool's play-off for second place that is still to come: its two teams
// stand on the qualified line under the play-off's name, nobody is labelled
// eliminated in its column, and a gamers' team among them turns the line red
// and blinking.
TEST_F(QualificationScreens, APlayOffStillToComeIsShownAsSuchNotAsQualifiedAndEliminated) {
    PairingLines lines = TwoMatches();
    lines.mMatch[0].mFirst.mComputer = true;
    lines.mMatch[1].mFirst = Side("Corse", -1, false, {"Lea", "", ""});
    lines.mMatch[1].mSecond = Side("Picardie", -1);
    {
        CHUDQualificationResult screen;
        screen.Fill(1, lines);
        EXPECT_EQ(Text("TeamAText2"), "Bretagne");
        EXPECT_EQ(Text("TeamAText6"), "Alsace");
        EXPECT_EQ(Text("TeamBText2"), "Barrage : Corse / Picardie");
        EXPECT_EQ(Colour("TeamBText2"), kRed);
        EXPECT_TRUE(Blinking("TeamBText2"));
        EXPECT_EQ(Text("TeamBText6"), "");
    }
    // The pairings before the pools are played are no play-offs.
    CHUDQualification screen;
    screen.Fill(1, lines);
    EXPECT_EQ(Text("TeamBText2"), "Picardie");
    EXPECT_EQ(Text("TeamBText6"), "Corse \n Lea");
}

TEST(TeamNameBreaks, LinesBreakOnlyAtASpaceOrAfterAHyphen) {
    const struct {
        const char* name;
        float width;
        const char* shown;
    } cases[] = {
        {"Bretagne", 20, "Bretagne"},
        {"Ile de France", 20, "Ile de France"},
        {"Ile de France", 8, "Ile de\nFrance"},
        {"Provence-Alpes-Cote-d-Azur", 12, "Provence-\nAlpes-Cote-\nd-Azur"},
        {"Nord-Pas-de-Calais", 3, "Nord-\nPas-\nde-\nCalais"},   // too narrow: whole words, one a line
        {"Languedoc-Roussillon", 5, "Languedoc-\nRoussillon"},
        {"", 5, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TournamentScreen::BreakBetweenWords(c.name, c.width, &Characters), c.shown)
            << c.name << " in " << c.width;
}

// Every team's name, in the language's text, fits each tournament screen's
// team lines with breaks between its words only: no line the GUI would have
// to cut inside a word, on a 4:3 and on a 5:4 screen.
TEST_F(TeamNames, EveryTeamNameFitsEveryTournamentScreenBetweenWords) {
    ASSERT_TRUE(TeamDB::LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Equipes_DB.csv"));
    const struct {
        const char* layout;
        std::vector<std::string> windows;
    } layouts[] = {
        {"affrontements.layout", {"TeamText1", "TeamText16"}},
        {"tournoi16eme.layout", {"TeamText1", "TeamText24"}},
        {"qualifications.layout", {"TeamAText1", "TeamBText8"}},
        {"qualificationsResults.layout", {"TeamAText1", "TeamBText8"}},
        {"tournamentResult.layout", {"TeamText1", "TeamText17", "TeamText18"}},
        {"victory.layout", {"FirstTeam", "SecondTeam", "ThirdTeam"}},
    };
    for (const CEGUI::Sizef& display : {CEGUI::Sizef(640, 480), CEGUI::Sizef(1280, 1024)}) {
        mSession.Renderer()->setDisplaySize(display);
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(display);
        for (const auto& entry : layouts) {
            ASSERT_TRUE(gGUIMgr.LoadLayout(entry.layout));
            for (const std::string& window : entry.windows) {
                CEGUI::Window* w = Window(window);
                ASSERT_NE(w, nullptr) << window;
                const bool framed = w->getProperty("FrameEnabled") == "true";
                const float width = w->getUnclippedInnerRect().get().getWidth() - (framed ? 10.0f : 0.0f);
                for (const Team* team : TeamDB::GetTeams()) {
                    if (!team)
                        continue;
                    const std::string name = GetText(team->mName.c_str());
                    TournamentScreen::SetTeamName(window, name);
                    const std::string shown = Text(window);
                    std::string joined;
                    size_t begin = 0;
                    for (size_t end = shown.find('\n', begin);; end = shown.find('\n', begin)) {
                        const std::string line = shown.substr(begin, end == std::string::npos ? end : end - begin);
                        EXPECT_LE(w->getFont()->getTextExtent(CEGUI::String(line)), width)
                            << entry.layout << " " << window << " at " << display.d_width << ": \"" << line
                            << "\" of " << name;
                        joined += (joined.empty() || joined.back() == '-' ? "" : " ") + line;
                        if (end == std::string::npos)
                            break;
                        begin = end + 1;
                    }
                    EXPECT_EQ(joined, name) << "the name is shown whole";
                }
            }
        }
    }
    TeamDB::Init();
}
