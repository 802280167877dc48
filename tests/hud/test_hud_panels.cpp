// The match info panel, the radar, the throw gauges and the player panel on
// OGRE without a display, with the game's overlay scripts and the match
// layout on CEGUI's Null renderer.
#include "HudTestUtil.h"
#include "OgreHeadless.h"

#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CHudGameSource.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <CWindowEffectMgr.h>
#include <CBall.h>
#include <CaracDB.h>
#include <ControlerTable.h>
#include <CNetMgr.h>
#include <LaunchSet.h>
#include <Team.h>
#include <Terrain.h>

#include <CEGUI/Font.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

class FakeGame : public CHudGameSource {
public:
    int32_t GetKind() const override { return kind; }
    bool HasMatchState() const override { return teams[0] != nullptr; }
    Team* GetTeam(int32_t side) const override
    {
        if (side == 0 || side == 1)
            return teams[side];
        // The referee indexes its two sides: any other side is a fault of the caller.
        ++badSideAsks;
        return nullptr;
    }
    int32_t GetScore(int32_t side) const override { return scores[side]; }
    int32_t GetSideToPlay() const override { return sideToPlay; }
    int32_t GetSuccessfulThrows() const override { return successes; }
    int32_t GetThrowsMade() const override { return throws; }
    CPlayer* GetCurrentPlayer() const override { return current; }
    LaunchSet* GetLaunchSet() const override { return nullptr; }
    CAimGuide* GetAimGuide() const override { return nullptr; }
    Terrain* GetTerrain() const override { return terrain; }
    const std::vector<CBall*>& GetBalls() const override { return balls; }
    bool IsTargetBallThrown() const override { return targetThrown; }
    bool IsLocalHumanTurn() const override { return true; }

    int32_t kind = KIND_MATCH;
    Team* teams[2] = {nullptr, nullptr};
    int32_t scores[2] = {0, 0};
    int32_t sideToPlay = 0;
    int32_t successes = 0, throws = 0;
    CPlayer* current = nullptr;
    std::vector<CBall*> balls;
    Terrain* terrain = nullptr;
    bool targetThrown = false;
    mutable int badSideAsks = 0;
};

class HudPanelTest : public HudGuiTest {
protected:
    static void SetUpTestSuite()
    {
        sOverlaySystem = new Ogre::OverlaySystem();
        sMediaError = LoadStagedOverlays("HudPanelTest");
        // Flag pictures come with the menus' media; stand-ins for any not shipped yet.
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        for (const char* flag : {"MENU/Country/flag/France", "MENU/Country/flag/Ile-de-France"})
            if (!materials.getByName(flag))
                materials.getByName("MENU/Country/flag")->clone(flag);
    }
    static void TearDownTestSuite()
    {
        Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup("HudPanelTest");
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }

    void SetUp() override
    {
        ASSERT_EQ(sMediaError, "");
        HudGuiTest::SetUp();
        // The game's fonts for the player lines.
        ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
        CWindowEffectMgr::Create();
        CHUDMgr::InitOverlayStates();
        ResetControlers();
        g_ControlerTableFilled = 0;
    }
    void TearDown() override
    {
        ResetControlers();
        g_ControlerTableFilled = 0;
        g_NetMgr.mState = CNetMgr::e_not_initialized;
        CHUDMgr::Destroy();
        CWindowEffectMgr::Free();
        HudGuiTest::TearDown();
    }

    static Ogre::OverlayElement* Element(const std::string& name)
    {
        return Ogre::OverlayManager::getSingleton().getOverlayElement(name);
    }
    static std::string MaterialOf(const std::string& name) { return Element(name)->getMaterialName(); }
    static std::string Text(const char* window) { return Window(window)->getText().c_str(); }

    // A player with `balls` in hand and one profile for both throw kinds.
    CPlayer* MakePlayer(const std::string& name, int32_t balls, int32_t role = CPlayer::ROLE_MIDDLE)
    {
        mPlayers.emplace_back(new CPlayer(name));
        CPlayer* player = mPlayers.back().get();
        player->mBallsLeft = balls;
        player->mRole = role;
        player->mShootingProfile = player->mPointingProfile = &mProfile;
        return player;
    }

    static Ogre::OverlaySystem* sOverlaySystem;
    static std::string sMediaError;
    ThrowProfile mProfile;
    std::vector<std::unique_ptr<CPlayer>> mPlayers;
};

Ogre::OverlaySystem* HudPanelTest::sOverlaySystem = nullptr;
std::string HudPanelTest::sMediaError;

// ---- match info panel ------------------------------------------------------

TEST_F(HudPanelTest, InfoPanelShowsTheMatchValues)
{
    struct Case {
        int32_t scores[2];
        int32_t ballsA, ballsB;   // balls of each side's two players together
        int32_t pictures[2];      // remaining-ball pictures shown
    };
    const Case cases[] = {
        {{0, 0}, 6, 6, {6, 6}},
        {{3, 7}, 4, 0, {4, 0}},
        {{12, 13}, 8, 1, {6, 1}},   // more than six shows six
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ballsA * 100 + c.ballsB);
        Team teamA("TEAM_A_KEY"), teamB("TEAM_B_KEY");
        teamA.mNational = true;
        teamA.mCountryId = 8;
        teamB.mRegionId = 8;
        teamA.mPlayers = {MakePlayer("a1", c.ballsA / 2), MakePlayer("a2", c.ballsA - c.ballsA / 2)};
        teamB.mPlayers = {MakePlayer("b1", c.ballsB)};
        FakeGame game;
        game.teams[0] = &teamA;
        game.teams[1] = &teamB;
        game.scores[0] = c.scores[0];
        game.scores[1] = c.scores[1];
        CHUDInfoPanel panel;
        panel.mGameMaster = &game;

        CHUDMgr::RefreshMatchInfos(panel);

        EXPECT_EQ(Text("textScore"), std::to_string(c.scores[0]) + " / " + std::to_string(c.scores[1]));
        EXPECT_EQ(Text("HUDInfosTeam1Name"), GetText("TEAM_A_KEY"));
        EXPECT_EQ(Text("HUDInfosTeam2Name"), GetText("TEAM_B_KEY"));
        EXPECT_EQ(Text("CurrentGamer"), GetText("PLAYER"));
        EXPECT_EQ(MaterialOf("HUD_INFOS/flagTeam1"), "MENU/Country/flag/France");
        EXPECT_EQ(MaterialOf("HUD_INFOS/flagTeam2"), "MENU/Country/flag/Ile-de-France");
        for (int side = 0; side < 2; ++side)
            for (int k = 1; k <= 6; ++k)
                EXPECT_EQ(MaterialOf("HUD_INFOS/ball" + std::to_string(side + 1) + std::to_string(k)),
                          k <= c.pictures[side] ? "GameInfos/remainBall" : "MENU/Country/flag")
                    << "side " << side << " ball " << k;
    }
}

// At 640 x 480 a long region name or thrower's name takes a smaller size of
// its font rather than run out of its window; a short one keeps the size.
TEST_F(HudPanelTest, LongNamesStepDownToAFontSizeInWhichTheyFit)
{
    Ogre::OverlayManager::getSingleton().getByName("HUD/Hud_player_infos")->show();
    auto fits = [](const char* name) {
        CEGUI::Window* window = Window(name);
        return window->getFont()->getTextExtent(window->getText()) <= window->getPixelSize().d_width;
    };
    auto font = [](const char* name) { return std::string(Window(name)->getFont()->getName().c_str()); };
    Window("HUDInfosTeam1Name")->setSize(CEGUI::USize(CEGUI::UDim(0, 128), CEGUI::UDim(0, 19)));
    Window("HUDInfosTeam2Name")->setSize(CEGUI::USize(CEGUI::UDim(0, 128), CEGUI::UDim(0, 19)));
    for (const char* line : {"infosP1", "infosP2"})
        Window(line)->setSize(CEGUI::USize(CEGUI::UDim(0, 183), CEGUI::UDim(0, 17)));

    Team provence("Provence-Alpes-Cote-d-Azur"), france("France");
    provence.mPlayers = {MakePlayer("Maximilien Castelnaudary", 3, CPlayer::ROLE_POINTER),
                         MakePlayer("Ugo Pla", 3, CPlayer::ROLE_SHOOTER)};
    FakeGame game;
    game.teams[0] = &provence;
    game.teams[1] = &france;
    game.current = provence.mPlayers[0];
    CHUDInfoPanel info;
    info.mGameMaster = &game;
    CHUDMgr::SetTeamNames(info);
    EXPECT_TRUE(fits("HUDInfosTeam1Name")) << font("HUDInfosTeam1Name");
    EXPECT_EQ(font("HUDInfosTeam2Name"), "lucida-10");

    CHUDPlayerPanel panel;
    CHUDMgr::InitPlayerPanel(panel, &game);
    CHUDMgr::RefreshPlayerPanel(panel);
    EXPECT_TRUE(fits("infosP1")) << font("infosP1");
    EXPECT_NE(font("infosP1"), "lucida-10");
    EXPECT_EQ(font("infosP2"), "lucida-8");
}

TEST_F(HudPanelTest, InfoPanelNamesTheLanThrowerAndReadsNoFurtherThanItsName)
{
    Team teamA("A"), teamB("B");
    FakeGame game;
    game.teams[0] = &teamA;
    game.teams[1] = &teamB;
    game.sideToPlay = 1;
    CHUDInfoPanel panel;
    panel.mGameMaster = &game;
    ControlerTable[2].mTeam = 1;
    g_ControlerCurrentIndex[1] = 2;
    g_ControlerTableFilled = 1;
    std::strcpy(ControlerTable[2].mName, "Roger");

    // A local match fills the table as well, but has no LAN player to name.
    CHUDMgr::SetCurrentPlayer(panel);
    EXPECT_EQ(Text("CurrentGamer"), GetText("PLAYER"));

    g_NetMgr.mState = CNetMgr::e_connected;
    CHUDMgr::SetCurrentPlayer(panel);
    EXPECT_EQ(Text("CurrentGamer"), "Roger");

    // A name from the network that fills its whole field, without an end.
    std::memset(ControlerTable[2].mName, 'x', sizeof(ControlerTable[2].mName));
    CHUDMgr::SetCurrentPlayer(panel);
    EXPECT_EQ(Text("CurrentGamer"), std::string(sizeof(ControlerTable[2].mName), 'x'));

    // No side has the turn: the generic text.
    game.sideToPlay = -1;
    CHUDMgr::SetCurrentPlayer(panel);
    EXPECT_EQ(Text("CurrentGamer"), GetText("PLAYER"));
}

TEST_F(HudPanelTest, TrainingRefreshWritesOnlyTheScoreAndHidingBlanksEverything)
{
    Window("CurrentGamer")->setText("unchanged");
    FakeGame game;
    game.kind = CHudGameSource::KIND_TRAINING;
    game.successes = 3;
    game.throws = 5;
    CHUDInfoPanel panel;
    panel.mGameMaster = &game;
    CHUDMgr::RefreshMatchInfos(panel);
    EXPECT_EQ(Text("textScore"), "3 / 5");
    EXPECT_EQ(Text("CurrentGamer"), "unchanged");

    SetOverlayMaterial("HUD_INFOS/flagTeam1", "MENU/Country/flag/France");
    SetOverlayMaterial("HUD_INFOS/ball24", "GameInfos/remainBall");
    CHUDMgr::HideMatchInfos();
    for (const char* window : {"HUDInfosTeam1Name", "HUDInfosTeam2Name", "CurrentGamer", "textScore"})
        EXPECT_FALSE(Window(window)->isVisible()) << window;
    EXPECT_EQ(MaterialOf("HUD_INFOS/flagTeam1"), "MENU/Country/flag");
    EXPECT_EQ(MaterialOf("HUD_INFOS/ball24"), "MENU/Country/flag");

    // Without a referee nothing is read.
    CHUDInfoPanel empty;
    CHUDMgr::RefreshMatchInfos(empty);
    CHUDMgr::SetTeamFlag(empty, 0);
}

// ---- radar -----------------------------------------------------------------

CHUDRadar MakeRadar(int32_t sign)
{
    CHUDRadar radar;
    radar.mSign = sign;
    radar.mWidth = 0.16f;
    radar.mHeight = 0.24f;
    radar.mTerrainWidth = 4.0f;    // x from -2 to 2
    radar.mTerrainDepth = 20.0f;   // z from -10 to 10
    radar.mMarkerWidth = radar.mMarkerHeight = 0.01f;
    radar.mElementName = "HUD/Radar";
    radar.mBallPrefix = "HUD/Radar/BALL";
    return radar;
}

TEST_F(HudPanelTest, RadarMapsBallPositionsAndHidesThoseBeyondItsEdges)
{
    struct Case {
        int32_t sign;
        float x, z;
        float u, v;
        bool shown;
    };
    const Case cases[] = {
        {1, 0, 0, 0.08f, 0.12f, true},      // the ground's centre, either way round
        {-1, 0, 0, 0.08f, 0.12f, true},
        {1, 2, 10, 0.16f, 0.24f, true},     // far corner: the marker's corner is still inside
        {-1, 2, 0, 0.0f, 0.12f, true},      // turned: +x end on the left edge
        {1, -2, -10, 0.0f, 0.0f, true},
        {1, 3, 0, 0.2f, 0.12f, false},      // beyond the right edge
        {1, 0, 12, 0.08f, 0.264f, false},   // below the bottom
        {-1, 0, -12, 0.08f, 0.264f, false},
        {1, -3, 0, -0.04f, 0.12f, true},    // past the left edge is not cut
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sign) + " " + std::to_string(c.x) + " " + std::to_string(c.z));
        CHUDRadar radar = MakeRadar(c.sign);
        const Ogre::Vector2 point = ProjectRadarPoint(radar, c.x, c.z);
        EXPECT_NEAR(point.x, c.u, 1e-6);
        EXPECT_NEAR(point.y, c.v, 1e-6);
        CHUDMgr::PlaceRadarElement(radar, "HUD/Radar/BALL13", point);
        Ogre::OverlayElement* ball = Element("HUD/Radar/BALL13");
        const float width = ball->getWidth(), height = ball->getHeight();
        EXPECT_NEAR(ball->getLeft(), c.u - width / 2, 1e-6);
        EXPECT_NEAR(ball->getTop(), c.v - height / 2, 1e-6);
        EXPECT_EQ(ball->isVisible(), c.shown);
    }
    // Before the terrain is known every point sits at the centre, never at infinity.
    CHUDRadar unsized = MakeRadar(1);
    unsized.mTerrainWidth = 0.0f;
    const Ogre::Vector2 centre = ProjectRadarPoint(unsized, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(centre.x, 0.08f);
    EXPECT_FLOAT_EQ(centre.y, 0.12f);
}

TEST_F(HudPanelTest, RadarUpdateMarksLaunchedBallsOfEachSideAndTheTargetBall)
{
    Terrain terrain(1);
    terrain.SetLimits(Ogre::Vector3(-2, 0, -10), Ogre::Vector3(2, 0, 10));
    // The target ball, then three balls of each side; all lie at the origin.
    std::vector<std::unique_ptr<CBall>> balls;
    balls.emplace_back(new CBall(CBall::KIND_TARGET, nullptr));
    for (int i = 0; i < 6; ++i)
        balls.emplace_back(new CBall(CBall::KIND_BALL, nullptr));
    balls[1]->mState = CBall::STATE_LAUNCHED;
    balls[4]->mState = CBall::STATE_OUT;
    FakeGame game;
    game.terrain = &terrain;
    game.current = MakePlayer("p", 3);
    for (const auto& ball : balls)
        game.balls.push_back(ball.get());

    CHUDRadar radar;
    CHUDMgr::InitRadarPig(radar);
    CHUDMgr::InitRadarBalls(radar, &game);
    EXPECT_FLOAT_EQ(radar.mTerrainWidth, 4.0f);
    EXPECT_FLOAT_EQ(radar.mTerrainDepth, 20.0f);
    CHUDMgr::UpdateRadar(radar);
    EXPECT_EQ(radar.mSign, 1);
    const std::vector<std::string> shown = {"HUD/Radar/BALL11", "HUD/Radar/BALL21", "HUD/Radar/PLAYER"};
    for (const std::string& name : shown)
        EXPECT_TRUE(Element(name)->isVisible()) << name;
    for (const char* name : {"HUD/Radar/BALL12", "HUD/Radar/BALL13", "HUD/Radar/BALL22", "HUD/Radar/BALL23",
                             "HUD/Radar/PIG"})
        EXPECT_FALSE(Element(name)->isVisible()) << name;

    game.targetThrown = true;
    CHUDMgr::UpdateRadar(radar);
    EXPECT_TRUE(Element("HUD/Radar/PIG")->isVisible());
    EXPECT_NEAR(radar.mZoomFocus.x, radar.mWidth / 2, 1e-6);
    EXPECT_NEAR(radar.mZoomFocus.y, radar.mHeight / 2, 1e-6);

    CHUDMgr::InitRadarBalls(radar, &game);
    for (const char* name : {"HUD/Radar/BALL11", "HUD/Radar/BALL21", "HUD/Radar/PIG"})
        EXPECT_FALSE(Element(name)->isVisible()) << name;
    EXPECT_EQ(radar.mSign, 0);
}

TEST_F(HudPanelTest, RadarZoomCentresTheTargetBallAndEnlargesTheMarkers)
{
    CHUDRadar radar = MakeRadar(1);
    radar.mZoomFocus = ProjectRadarPoint(radar, 0.0f, 6.0f);
    CHUDMgr::UpdateRadarZoomButtons(radar, 2.0f);
    EXPECT_EQ(MaterialOf("HUD/Radar/cameraPlus"), "HUD/Radar/Camera_plus_S");
    EXPECT_EQ(MaterialOf("HUD/Radar/cameraMoins"), "HUD/Radar/Camera_moins");

    CHUDMgr::PlaceRadarElement(radar, "HUD/Radar/PIG", radar.mZoomFocus);
    Ogre::OverlayElement* pig = Element("HUD/Radar/PIG");
    EXPECT_NEAR(pig->getWidth(), 0.015f, 1e-6);
    EXPECT_NEAR(pig->getLeft() + pig->getWidth() / 2, radar.mWidth / 2, 1e-6);
    EXPECT_NEAR(pig->getTop() + pig->getHeight() / 2, radar.mHeight / 2, 1e-6);
    EXPECT_TRUE(pig->isVisible());

    // A ball 2 m to the side of the target ball lies beyond the zoomed view.
    CHUDMgr::PlaceRadarElement(radar, "HUD/Radar/BALL21", ProjectRadarPoint(radar, 2.0f, 6.0f));
    EXPECT_FALSE(Element("HUD/Radar/BALL21")->isVisible());

    CHUDMgr::UpdateRadarZoomButtons(radar, 1.0f);
    EXPECT_EQ(radar.mViewOffset, Ogre::Vector2::ZERO);
    EXPECT_EQ(MaterialOf("HUD/Radar/cameraMoins"), "HUD/Radar/Camera_moins_S");
    EXPECT_EQ(MaterialOf("HUD/Radar/cameraPlus"), "HUD/Radar/Camera_plus");
    CHUDMgr::PlaceRadarElement(radar, "HUD/Radar/PIG", radar.mZoomFocus);
    EXPECT_NEAR(pig->getWidth(), 0.01f, 1e-6);
}

TEST_F(HudPanelTest, RadarAxisIsCutAtTheBottomAndRightEdges)
{
    const CHUDRadar radar = MakeRadar(1);
    struct Case {
        Ogre::Vector2 start, end, clippedStart, clippedEnd;
    };
    const Case cases[] = {
        {{0.08f, 0.12f}, {0.08f, 0.36f}, {0.08f, 0.12f}, {0.08f, 0.24f}},   // end below
        {{0.08f, 0.12f}, {0.24f, 0.12f}, {0.08f, 0.12f}, {0.16f, 0.12f}},   // end to the right
        {{0.08f, 0.30f}, {0.08f, 0.12f}, {0.08f, 0.24f}, {0.08f, 0.12f}},   // start below
        {{0.00f, 0.12f}, {0.32f, 0.44f}, {0.00f, 0.12f}, {0.12f, 0.24f}},   // diagonal: bottom first
        {{0.02f, 0.02f}, {0.06f, 0.10f}, {0.02f, 0.02f}, {0.06f, 0.10f}},   // inside: unchanged
        {{-0.1f, -0.1f}, {0.06f, 0.10f}, {-0.1f, -0.1f}, {0.06f, 0.10f}},   // left and top are not cut
    };
    for (const Case& c : cases) {
        Ogre::Vector2 start = c.start, end = c.end;
        ClipRadarSegment(radar, start, end);
        EXPECT_NEAR(start.x, c.clippedStart.x, 1e-5);
        EXPECT_NEAR(start.y, c.clippedStart.y, 1e-5);
        EXPECT_NEAR(end.x, c.clippedEnd.x, 1e-5);
        EXPECT_NEAR(end.y, c.clippedEnd.y, 1e-5);
    }
}

// ---- throw gauges ------------------------------------------------------------

TEST_F(HudPanelTest, PowerMarkerClimbsWithThePower)
{
    CHUDMgr::sPowerMin = 0.0f;
    CHUDMgr::sPowerMax = 16.0f;
    const struct {
        float power, top;
    } cases[] = {{0.0f, 0.536f}, {-3.0f, 0.536f}, {8.0f, 0.268f}, {16.0f, 0.0f}, {24.0f, -0.268f}};
    for (const auto& c : cases) {
        CHUDMgr::SetPowerMarker(c.power);
        EXPECT_NEAR(Element("Hud_boule_puissance")->getTop(), c.top, 1e-6) << c.power;
    }
    // No reach yet: the marker rests at zero power.
    CHUDMgr::sPowerMax = 0.0f;
    CHUDMgr::SetPowerMarker(5.0f);
    EXPECT_NEAR(Element("Hud_boule_puissance")->getTop(), 0.536f, 1e-6);
}

TEST_F(HudPanelTest, BalanceGaugeWidthFollowsTheSkillAndTheMarkerSweepsIt)
{
    mProfile.mMental = 100;
    CPlayer* player = MakePlayer("p", 3);
    const float h = CHUDMgr::sBalanceMarkerHalfWidth;
    ASSERT_GT(h, 0.0f);
    const struct {
        int32_t balance;
        float width, left;
    } gauges[] = {{10, 0.165f, 0.834f}, {5, 0.0825f, 0.87525f}};
    for (const auto& g : gauges) {
        mProfile.mBalance = g.balance;
        CHUDMgr::UpdateBalanceGauge(*player, 0.0f, 5.0f);
        Ogre::OverlayElement* gauge = Element("Hud_jauge_equilibre");
        EXPECT_NEAR(gauge->getWidth(), g.width, 1e-6) << g.balance;
        EXPECT_NEAR(gauge->getLeft(), g.left, 1e-6) << g.balance;
        const struct {
            float beta, markerLeft;
        } sweeps[] = {{0.0f, g.width / 2 - h}, {-5.0f, g.width - h}, {5.0f, -h}};
        for (const auto& s : sweeps) {
            CHUDMgr::UpdateBalanceGauge(*player, s.beta, 5.0f);
            EXPECT_NEAR(Element("Hud_boule_equilibre")->getLeft(), s.markerLeft, 1e-6) << s.beta;
        }
    }
}

TEST_F(HudPanelTest, PowerZoneBoundariesMeetTheMarkerAtTheirDistances)
{
    const float D = 16.0f;
    const float graduations[5] = {6.0f, 8.0f, 10.0f, 12.0f, 20.0f};   // the reachable maximum is cut to D
    CHUDMgr::sPowerMin = 0.0f;
    CHUDMgr::sPowerMax = D;
    CHUDMgr::LayoutPowerZones(D, graduations, 0.0f);
    const float gaugeHeight = Element("Hud_jauge_puissance")->getHeight();
    EXPECT_NEAR(Element("zone_0")->getTop(), 0.023f, 1e-6);
    EXPECT_NEAR(Element("zone_0")->getHeight(), 0.0f, 1e-6);
    EXPECT_NEAR(Element("zone_6")->getHeight(), 0.023f, 1e-6);
    EXPECT_NEAR(Element("zone_6")->getTop() + 0.023f, gaugeHeight, 1e-6);
    // The lower edge of zone k+1 sits at the marker's centre for graduation 3-k.
    const float markerHalf = Element("Hud_boule_puissance")->getHeight() / 2;
    for (int zone = 1; zone <= 4; ++zone) {
        const float distance = graduations[4 - zone];
        CHUDMgr::SetPowerMarker(distance);
        Ogre::OverlayElement* element = Element("zone_" + std::to_string(zone));
        EXPECT_NEAR(element->getTop() + element->getHeight(), Element("Hud_boule_puissance")->getTop() + markerHalf,
                    1e-5)
            << zone;
        EXPECT_FLOAT_EQ(element->getWidth(), Element("Hud_jauge_puissance")->getWidth());
    }

    // A weak thrower: graduation 3 beyond his reach. The red band is empty and
    // the zones still follow each other down the gauge without overlapping.
    const float weak[5] = {6.0f, 8.0f, 10.0f, 13.0f, 11.5f};
    CHUDMgr::LayoutPowerZones(D, weak, 0.0f);
    EXPECT_NEAR(Element("zone_1")->getHeight(), 0.0f, 1e-6);
    for (int zone = 1; zone < 7; ++zone) {
        Ogre::OverlayElement* upper = Element("zone_" + std::to_string(zone - 1));
        Ogre::OverlayElement* lower = Element("zone_" + std::to_string(zone));
        EXPECT_GE(lower->getHeight(), 0.0f) << zone;
        EXPECT_NEAR(lower->getTop(), upper->getTop() + upper->getHeight(), 1e-6) << zone;
    }
}

// ---- player panel --------------------------------------------------------------

Ogre::ColourValue Tint(const std::string& element)
{
    Ogre::OverlayElement* e = Ogre::OverlayManager::getSingleton().getOverlayElement(element);
    return e->getMaterial()->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getColourBlendMode().colourArg2;
}

TEST_F(HudPanelTest, PlayerPanelShowsBallsInHandAndSkillBars)
{
    CPlayer* player = MakePlayer("p", 0);
    FakeGame game;
    game.current = player;
    CHUDPlayerPanel panel;
    panel.mGameMaster = &game;
    const struct {
        int32_t balls;
        bool shown[3];
    } cases[] = {{0, {false, false, false}},
                 {1, {true, false, false}},
                 {2, {true, true, false}},
                 {3, {true, true, true}},
                 {4, {false, false, false}}};
    for (const auto& c : cases) {
        player->mBallsLeft = c.balls;
        CHUDMgr::SetPlayerBalls(panel);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Element("Hud_boule" + std::to_string(k + 1))->isVisible(), c.shown[k]) << c.balls;
    }

    const Ogre::ColourValue red(1.0f, 0.01f, 0.0f, 1.0f), blue(0.0f, 0.01f, 1.0f, 1.0f);
    const struct {
        int32_t mental, stress;
        float width;
        Ogre::ColourValue colour;
    } bars[] = {{33, 0, 0.022275f, red}, {34, 0, 0.02295f, blue}, {150, 0, 0.0675f, blue},
                {54, 20, 0.02295f, blue}, {10, 30, 0.0f, red}};
    for (const auto& b : bars) {
        mProfile.mMental = b.mental;
        player->mStress = b.stress;
        CHUDMgr::SetMentalBar(panel);
        EXPECT_NEAR(Element("Hud_mental_bar")->getWidth(), b.width, 1e-6) << b.mental;
        EXPECT_EQ(Tint("Hud_mental_bar"), b.colour) << b.mental;
    }

    player->mBodyCode = 3;
    player->mSkinCode = 0;
    player->mModelNumber = 1;
    EXPECT_EQ(PlayerHeadMaterial(*player), "HUD/Head_HM_CN_01");
    panel.mLastPlayer = player;
    CHUDMgr::SetPlayerPicture(panel);
    EXPECT_EQ(MaterialOf("Hud_playerType"), "HUD/Head_HM_CN_01");
}

TEST_F(HudPanelTest, PlayerLinesOfferOnlyPlayersWithBallsToAHumanSide)
{
    Ogre::OverlayManager::getSingleton().getByName("HUD/Hud_player_infos")->show();
    CPlayer* shooter = MakePlayer("Marius", 2, CPlayer::ROLE_SHOOTER);
    CPlayer* pointer = MakePlayer("Fanny", 0, CPlayer::ROLE_POINTER);
    CPlayer* middle = MakePlayer("Cesar", 1);
    Team team("T"), other("O");
    team.mPlayers = {shooter, pointer, middle};
    FakeGame game;
    game.teams[0] = &other;
    game.teams[1] = &team;
    game.sideToPlay = 1;
    game.current = middle;
    CHUDPlayerPanel panel;
    CHUDMgr::InitPlayerPanel(panel, &game);
    CHUDMgr::RefreshPlayerPanel(panel);
    EXPECT_EQ(panel.mLastPlayer, middle);

    EXPECT_EQ(Text("infosP1"), std::string("Marius - ") + GetText("SHOOTER"));
    EXPECT_EQ(Text("infosP2"), std::string("Fanny - ") + GetText("POINTER"));
    EXPECT_EQ(Text("infosP3"), std::string("Cesar - ") + GetText("MIDDLE"));
    EXPECT_FALSE(Window("infosP1")->isDisabled());
    EXPECT_TRUE(Window("infosP2")->isDisabled());
    EXPECT_FALSE(Window("infosP3")->isDisabled());
    // The thrower's line starts its blink at full strength; the others stand
    // at the blink's low point, so the thrower never reads fainter.
    EXPECT_FLOAT_EQ(Window("infosP3")->getAlpha(), 1.0f);
    for (const char* other : {"infosP1", "infosP2"})
        EXPECT_LE(Window(other)->getAlpha(), CWindowEffectMgr::BlinkAlpha(999)) << other;
    // The same size for a player without balls as for the others, larger for
    // the thrower, whose text stays clear of the line's end caps.
    for (const auto& line : {std::make_pair("infosP1", "lucida-8"), std::make_pair("infosP2", "lucida-8"),
                             std::make_pair("infosP3", "lucida-10")}) {
        const CEGUI::Font* font = Window(line.first)->getFont();
        ASSERT_NE(font, nullptr) << line.first;
        EXPECT_EQ(std::string(font->getName().c_str()), line.second) << line.first;
        EXPECT_LE(font->getTextExtent(Window(line.first)->getText()),
                  Window(line.first)->getPixelSize().d_width - 24.0f) << line.first;
    }

    // The computer's turn: nothing to pick.
    team.mComputer = true;
    panel.mLastPlayer = nullptr;
    CHUDMgr::RefreshPlayerPanel(panel);
    for (const char* line : {"infosP1", "infosP2", "infosP3"})
        EXPECT_TRUE(Window(line)->isDisabled()) << line;

    // Between menes no side has the turn: no team is asked for.
    game.sideToPlay = -1;
    CHUDMgr::SetTeamPlayersInfos(panel);
    EXPECT_EQ(game.badSideAsks, 0);

    // Panel hidden: the lines go too.
    Ogre::OverlayManager::getSingleton().getByName("HUD/Hud_player_infos")->hide();
    CHUDMgr::SetTeamPlayersInfos(panel);
    EXPECT_FALSE(Window("infosP1")->isVisible());
}

// Two players, a doublette each: the launch view and the result's view take
// turns as in a match, and the turn passes while the result shows. The lines
// always name the side whose turn it is, and a side of two shows two lines.
TEST_F(HudPanelTest, PlayerLinesFollowTheTurnThroughBothSidesOfATwoPlayerMatch)
{
    Team provence("Provence"), ile("Ile de France");
    provence.mPlayers = {MakePlayer("Jordi Rosliset", 3, CPlayer::ROLE_POINTER),
                         MakePlayer("Kerwan Zormarier", 3, CPlayer::ROLE_SHOOTER)};
    ile.mPlayers = {MakePlayer("Odile Franchevan", 3, CPlayer::ROLE_POINTER),
                    MakePlayer("Basile Moutardin", 3, CPlayer::ROLE_SHOOTER)};
    FakeGame game;
    game.teams[0] = &provence;
    game.teams[1] = &ile;
    CHUDPlayerPanel panel;
    CHUDMgr::InitPlayerPanel(panel, &game);

    // Sides in turn order; Ile de France plays twice running once.
    const int sides[] = {0, 1, 0, 1, 1, 0};
    int thrower[2] = {0, 0};
    for (size_t turn = 0; turn < sizeof(sides) / sizeof(sides[0]); ++turn) {
        const int side = sides[turn];
        Team* team = game.teams[side];
        // The result of the last throw shows while the turn passes.
        CHUDMgr::ShowLaunchResultHUD(true);
        game.sideToPlay = side;
        game.current = team->mPlayers[size_t(thrower[side]++ % 2)];
        CHUDMgr::RefreshPlayerPanel(panel);
        CHUDMgr::ShowLaunchResultHUD(false);
        CHUDMgr::ShowLaunchHUD(true);
        CHUDMgr::RefreshPlayerPanel(panel);
        for (size_t i = 0; i < 2; ++i) {
            const std::string name = "infosP" + std::to_string(i + 1);
            EXPECT_TRUE(Window(name.c_str())->isVisible()) << name << " turn " << turn;
            EXPECT_EQ(Text(name.c_str()).rfind(team->mPlayers[i]->GetName(), 0), 0u)
                << name << " turn " << turn << ": " << Text(name.c_str());
        }
        EXPECT_FALSE(Window("infosP3")->isVisible()) << "turn " << turn;
    }
}

// ---- the game's match layout ------------------------------------------------

TEST(HudMatchLayout, HoldsEveryWindowTheHudNames)
{
    NullGuiSession session;
    ASSERT_TRUE(session.Start(gGUIMgr));
    ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
    ASSERT_TRUE(gGUIMgr.LoadLayout("QuickMatchLayouts.layout"));
    for (const char* name : {"Root", "FrameButtons", "FramePlayerName", "infosP1", "infosP2", "infosP3", "TextLeft",
                             "TextRight", "HUDInfosTeam1Name", "HUDInfosTeam2Name", "textScore", "CurrentGamer",
                             "TextInfosPlayer", "TextReplay", "BtnReplay", "TextContinue", "TextBtnReplay",
                             "BtnQuitReplay"})
        EXPECT_NE(gGUIMgr.GetWindow(name), nullptr) << name;
    session.Stop();
}

}  // namespace
