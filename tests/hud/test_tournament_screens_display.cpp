// The tournament screens and the credits drawn over the engine on a real
// main window (needs a display: runs under xvfb-run), from the assembled
// media: each screen filled as a tournament would fill it, its picture saved
// under the build tree (stage/game/test_tournament_screens/) and checked to be
// more than its background.
#include <CGUIMgr.h>
#include <CHUDAffrontements.h>
#include <CHUDCredits.h>
#include <CHUDQualification.h>
#include <CHUDTournamentResult.h>
#include <CHUDVictory.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CSceneMgr.h>
#include <CTournament.h>
#include <CWindowEffectMgr.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreSystem.h>
#include <HalTimer.h>
#include <PlatWindow.h>
#include <Team.h>
#include <TeamDB.h>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreRenderWindow.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

namespace fs = std::filesystem;

namespace {

bool MouseAway(float& x, float& y) {
    x = 0.995f;
    y = 0.995f;
    return true;
}
uint16_t NoButton(int) { return 0; }

class FinishedTournament : public CTournament {
public:
    std::vector<Team*> mRanking;
    void SetMatchResult(MatchSides&, MatchScores&) override {}
    bool IsFinished() override { return true; }
    void Advance() override {}
    void GetTeams(std::vector<Team*>& teams) override { teams = mRanking; }
    void GetCurrentMatches(TournamentMatchList&) override {}
    void GetPhaseMatches(TournamentMatchList&, int) override {}
    void GetPhases(TournamentPhaseList&) override {}
    void GetInfo(TournamentInfo& info) override { info.mFormat = 1; }
    bool IsNewStep() override { return false; }
};

PairingTeam Side(const std::string& name, int score, std::vector<std::string> players = {}) {
    PairingTeam team;
    team.mName = name;
    team.mScore = score;
    team.mComputer = players.empty();
    for (size_t k = 0; k < players.size() && k < 3; ++k)
        team.mPlayers[k] = players[k];
    return team;
}

const char* const kRegions[16] = {"Aquitaine",   "Auvergne",      "Bourgogne",     "Bretagne",
                                  "Champagne-Ardenne", "Corse",  "Franche-Comte", "Ile de France",
                                  "Languedoc-Roussillon", "Lorraine", "Midi-Pyrenees", "Nord-Pas-de-Calais",
                                  "Picardie",    "Poitou-Charentes", "Provence-Alpes-Cote-d-Azur", "Rhone-Alpes"};

// Pools: the first team of the first pool is the player's.
PairingLines Pool(int pool, bool played) {
    PairingLines lines;
    const int base = 4 * pool;
    lines.mMatch[0].mFirst = Side(kRegions[base], played ? 13 : -1);
    if (pool == 0)
        lines.mMatch[0].mFirst = Side(kRegions[base], played ? 13 : -1, {"Lea Marvel", "Hugo Tessier", "Ines Bardot"});
    lines.mMatch[0].mSecond = Side(kRegions[base + 1], played ? 4 + pool : -1);
    lines.mMatch[0].mFirstWon = true;
    lines.mMatch[1].mFirst = Side(kRegions[base + 2], played ? 9 : -1);
    lines.mMatch[1].mSecond = Side(kRegions[base + 3], played ? 13 : -1);
    lines.mMatch[1].mFirstWon = false;
    return lines;
}

TeamLine Line(const std::string& name, int score, bool human = false) {
    TeamLine line;
    line.mPlayerCount = 3;
    line.mName = name;
    line.mScore = score;
    line.mComputer = !human;
    if (human) {
        line.mPlayers[0] = "Lea Marvel";
        line.mPlayers[1] = "Hugo Tessier";
        line.mPlayers[2] = "Ines Bardot";
    }
    return line;
}

class TournamentScreensOnWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Kept between runs: each test runs as a program of its own and
        // leaves its pictures beside the others'.
        sDir = fs::path(KEM_STAGE_DIR) / "game" / "test_tournament_screens";
        fs::create_directories(sDir);
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(fs::path(KEM_STAGE_DIR) / "game" / "bin" / file, sDir / file,
                          fs::copy_options::overwrite_existing);
    }

    void SetUp() override {
        mOldDir = fs::current_path();
        fs::current_path(sDir);
        mSavedInput = CGUIMgr::InputHooks();
        CGUIMgr::InputHooks() = {&MouseAway, &NoButton};
        mWindow = PlatCreateMainWindow("Tavirelo", 800, 600);
        ASSERT_NE(mWindow, 0u);
        gKEMFrameWork.Init();
        gKEMFrameWork.CreateRenderWindow(mWindow);
        mStarted = true;
        gKEMFrameWork.RegisterFrameListener();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        PlatShowMainWindow();

        CLangDB::Instance().Load();
        ASSERT_GT(CLangDB::Instance().GetCount(), 0u);
        gGUIMgr.SetGlyphSet(CLangDB::Instance().GetCharacters());
        ASSERT_TRUE(gGUIMgr.Init());
        ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
        gGUIMgr.SetDefaultFont("lucida-10");
        // As in the game: the cursor, drawn last over the whole display,
        // leaves the next frame's clear unclipped.
        gGUIMgr.SetDefaultCursor("Tavirelo_GUI");
        TeamDB::Init();
        CWindowEffectMgr::Create();
        HideAllOverlays();
        gSceneMgr.Start();
    }

    void TearDown() override {
        gSceneMgr.Stop();
        g_pCurrentTournament = nullptr;
        CWindowEffectMgr::Free();
        gGUIMgr.Term();
        if (mStarted) {
            CKEMSceneGraph::DestroyRootNode();
            CKEMSceneGraph::DestroyDefaultCamera();
            gKEMFrameWork.Term();
        }
        PlatDestroyMainWindow();
        CGUIMgr::InputHooks() = mSavedInput;
        CLangDB::Instance().Clear();
        fs::current_path(mOldDir);
    }

    Ogre::RenderWindow* Window() { return gKEMFrameWork.GetGraphicsSystem()->GetCore()->GetRenderWindow(); }

    // A few frames (the GUI draws what changed at the next one), then the
    // window's picture into the file; the number of distinct colours in it.
    size_t Shot(const std::string& file) {
        for (int i = 0; i < 3; ++i)
            gSceneMgr.Manage();
        const fs::path png = sDir / file;
        Window()->writeContentsToFile(png.string());
        std::ifstream in(png, std::ios::binary);
        Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(&in, false));
        Ogre::Image image;
        image.load(stream, "png");
        std::set<uint32_t> colours;
        for (size_t y = 0; y < image.getHeight(); y += 3)
            for (size_t x = 0; x < image.getWidth(); x += 3) {
                const Ogre::ColourValue c = image.getColourAt(x, y, 0);
                colours.insert(c.getAsARGB() & 0xF0F0F0u);
            }
        return colours.size();
    }

    static inline fs::path sDir;
    fs::path mOldDir;
    PlatWindowHandle mWindow = 0;
    bool mStarted = false;
    CGUIInputHooks mSavedInput;
};

// The menus' plain background alone has a handful of colours: a screen with
// its texts, lines, flags and pictures has many more.
const size_t kMoreThanABackground = 40;

}  // namespace

TEST_F(TournamentScreensOnWindow, BracketScreens) {
    {
        CHUDAffrontementsStepOne screen;
        for (int pool = 0; pool < 4; ++pool)
            screen.ShowMatch(Pool(pool, false), pool);
        EXPECT_GT(Shot("bracket_pools.png"), kMoreThanABackground);
    }
    {
        CHUDAffrontementsStepTwo screen;
        for (int pool = 0; pool < 4; ++pool)
            screen.ShowMatch(Pool(pool, true), pool);
        EXPECT_GT(Shot("bracket_matches.png"), kMoreThanABackground);
    }
    {
        CHUDAffrontementsStep16Finale screen;
        for (int group = 0; group < 4; ++group) {
            screen.ShowMatch(Pool(group, true), group);
            const PairingLines lines = Pool(group, true);
            screen.SetTeamLine(18 + 2 * group, Line(lines.mMatch[0].mFirst.mName, 13, group == 0));
            screen.SetTeamLine(17 + 2 * group, Line(lines.mMatch[1].mSecond.mName, 13));
        }
        EXPECT_GT(Shot("bracket_last16.png"), kMoreThanABackground);
    }
}

TEST_F(TournamentScreensOnWindow, QualificationScreens) {
    {
        CHUDQualification screen;
        for (int pool = 0; pool < 4; ++pool)
            screen.Fill(pool, Pool(pool, false));
        EXPECT_GT(Shot("qualifications.png"), kMoreThanABackground);
    }
    {
        CHUDQualificationResult screen;
        for (int pool = 0; pool < 4; ++pool)
            screen.Fill(pool, Pool(pool, true));
        EXPECT_GT(Shot("qualification_results.png"), kMoreThanABackground);
    }
    {
        // The second pool's play-off still to come, the gamers' team in it.
        CHUDQualificationResult screen;
        for (int pool = 0; pool < 4; ++pool) {
            PairingLines lines = Pool(pool, true);
            if (pool == 1) {
                lines.mMatch[1].mFirst = Side(kRegions[6], -1, {"Lea Marvel", "Hugo Tessier", "Ines Bardot"});
                lines.mMatch[1].mSecond = Side(kRegions[14], -1);
            }
            screen.Fill(pool, lines);
        }
        EXPECT_GT(Shot("qualification_results_playoff.png"), kMoreThanABackground);
    }
}

TEST_F(TournamentScreensOnWindow, ResultTree) {
    CHUDTournamentResult screen;
    for (int n = 1; n <= 8; ++n)
        screen.SetTeamLine(n, Line(kRegions[n - 1], n % 2 ? 13 : 3 + n, n == 1));
    for (int n = 9; n <= 12; ++n)
        screen.SetTeamLine(n, Line(kRegions[2 * (n - 9)], n % 2 ? 13 : 8, n == 9));
    screen.SetTeamLine(13, Line(kRegions[0], 13, true));
    screen.SetTeamLine(14, Line(kRegions[4], 11));
    screen.SetTeamLine(15, Line(kRegions[2], 13));
    screen.SetTeamLine(16, Line(kRegions[6], 6));
    screen.SetTeamLine(17, Line(kRegions[0], -1, true));
    screen.SetTeamLine(18, Line(kRegions[2], -1));
    EXPECT_GT(Shot("result_tree.png"), kMoreThanABackground);
}

TEST_F(TournamentScreensOnWindow, VictoryPodium) {
    Team first("Bretagne"), second("Ile de France"), third("Provence-Alpes-Cote-d-Azur");
    first.mRegionId = TeamDB::GetRegionId("Bretagne");
    second.mRegionId = TeamDB::GetRegionId("Ile de France");
    third.mRegionId = TeamDB::GetRegionId("Provence-Alpes-Cote-d-Azur");
    FinishedTournament tournament;
    tournament.mRanking = {&first, &second, &third};
    g_pCurrentTournament = &tournament;
    {
        CHUDVictory screen;
        screen.ShowPodium(&first, &second, &third);
        screen.ShowAwards(&first, &second, &third);
        EXPECT_GT(Shot("victory.png"), kMoreThanABackground);
    }
    {
        // A tournament of two teams: the third place stays empty.
        tournament.mRanking = {&first, &second};
        CHUDVictory screen;
        screen.ShowPodium(&first, &second, nullptr);
        screen.ShowAwards(&first, &second, nullptr);
        EXPECT_GT(Shot("victory_two_teams.png"), kMoreThanABackground);
    }
}

TEST_F(TournamentScreensOnWindow, CreditsRoll) {
    CHUDCredits credits;
    ASSERT_FALSE(credits.GetLines().empty());
    gTimer.mGameDeltaMs = 100.0f;
    // Some 13 s in: the first titles and names are on the screen.
    for (int frame = 0; frame < 130; ++frame)
        credits.Update();
    EXPECT_GT(Shot("credits.png"), 8u);
    EXPECT_FALSE(credits.mFinished);
    gTimer.mGameDeltaMs = 0.0f;
}
