// The throw-control panel on OGRE without a display, with the game's staged
// overlay scripts, materials and pictures, and the panel's windows on CEGUI's Null renderer.
// Mouse events are fired on the windows, so the subscriptions are exercised.
#include "HudTestUtil.h"
#include "OgreHeadless.h"

#include <CAimGuide.h>
#include <CBall.h>
#include <CHUDMatch.h>
#include <CHUDMgr.h>
#include <CHudGameSource.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <LaunchSet.h>
#include <Team.h>

#include <CEGUI/InputEvent.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PanelGame : public CHudGameSource {
public:
    int32_t GetKind() const override { return KIND_MATCH; }
    bool HasMatchState() const override { return true; }
    Team* GetTeam(int32_t side) const override { return side == 0 || side == 1 ? teams[side] : nullptr; }
    int32_t GetScore(int32_t) const override { return 0; }
    int32_t GetSideToPlay() const override { return 0; }
    int32_t GetSuccessfulThrows() const override { return 0; }
    int32_t GetThrowsMade() const override { return 0; }
    CPlayer* GetCurrentPlayer() const override { return thrower; }
    LaunchSet* GetLaunchSet() const override { return launch; }
    CAimGuide* GetAimGuide() const override { return guide; }
    Terrain* GetTerrain() const override { return nullptr; }
    const std::vector<CBall*>& GetBalls() const override { return balls; }
    bool IsTargetBallThrown() const override { return true; }
    bool IsLocalHumanTurn() const override { return localTurn; }

    void SetShootOptions() override { ++published; }
    void SetCurrentPlayer(CPlayer* player) override { placed = player; }
    void SelectTeamPlayer(uint32_t index) override { selected = static_cast<int32_t>(index); }
    void UpdateMatchCamera(int32_t state) override { cameraState = state; }
    int32_t GetRemainingBalls() const override { return remaining; }
    float GetZoomFactor() const override { return zoom; }
    void SetZoomFactor(float value) override { zoom = value; }
    void ResetFreeCamera() override { ++freeCameraResets; }
    int32_t GetPlayersPerTeam() const override { return perTeam; }

    Team* teams[2] = {nullptr, nullptr};
    CPlayer* thrower = nullptr;
    LaunchSet* launch = nullptr;
    CAimGuide* guide = nullptr;
    std::vector<CBall*> balls;
    bool localTurn = true;
    int published = 0;
    CPlayer* placed = nullptr;
    int32_t selected = -1;
    int32_t cameraState = 0;
    int32_t remaining = 3;
    float zoom = 1.0f;
    int freeCameraResets = 0;
    int32_t perTeam = 3;
};

int64_t gNow = 1000;
int64_t TestClock() { return gNow; }

class ThrowPanelTest : public HudGuiTest {
protected:
    static void SetUpTestSuite()
    {
        sOverlaySystem = new Ogre::OverlaySystem();
        sMediaError = LoadStagedOverlays("ThrowPanelTest");
    }
    static void TearDownTestSuite()
    {
        Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup("ThrowPanelTest");
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }

    void SetUp() override
    {
        ASSERT_EQ(sMediaError, "");
        HudGuiTest::SetUp();
        CHUDMgr::InitOverlayStates();
        sRealClock = CHUDMatch::sClock;
        CHUDMatch::sClock = TestClock;
        gNow = 1000;
        mGuide.reset(new CAimGuide());
        mGuide->mAngleMin = 10.0f;
        mGuide->mDefaultAngle = 30.0f;
        mGuide->mAngleMax = 60.0f;
        mGuide->mLaunchAngle = 30.0f;
        mGuide->mAimPoint = Ogre::Vector3(6.0f, 0.02f, 0.0f);
        mLaunch.reset(new LaunchSet(mGuide.get()));
        mLaunch->mStep = 1;
        mBall.reset(new CBall(CBall::KIND_BALL, nullptr));
        mLaunch->mBall = mBall.get();
        mThrower.reset(new CPlayer("Aurele"));
        mTeam.reset(new Team("T"));
        mTeam->mPlayers = {mThrower.get()};
        mGame.teams[0] = mGame.teams[1] = mTeam.get();
        mGame.thrower = mThrower.get();
        mGame.launch = mLaunch.get();
        mGame.guide = mGuide.get();
    }
    void TearDown() override
    {
        mPanel.reset();
        mLaunch.reset();
        mGuide.reset();
        CHUDMatch::sClock = sRealClock;
        CHUDMgr::Destroy();
        HudGuiTest::TearDown();
    }

    // The panel for a new throw of a thrower in `mode`.
    CHUDMatch& Start(int32_t mode)
    {
        mThrower->mThrowMode = mode;
        mPanel.reset(new CHUDMatch());
        mPanel->Refresh(&mGame);
        mPanel->mAngleChoice = 0;
        mPanel->mThrowMode = mode;
        return *mPanel;
    }

    static void Fire(const char* window, const CEGUI::String& event)
    {
        CEGUI::Window* target = Window(window);
        ASSERT_NE(target, nullptr) << window;
        CEGUI::MouseEventArgs args(target);
        target->fireEvent(event, args);
    }
    static void Click(const char* window) { Fire(window, CEGUI::Window::EventMouseButtonDown); }

    static Ogre::OverlayElement* Element(const std::string& name)
    {
        return Ogre::OverlayManager::getSingleton().getOverlayElement(name);
    }
    static std::string MaterialOf(const std::string& name) { return Element(name)->getMaterialName(); }
    static std::string Text(const char* window) { return Window(window)->getText().c_str(); }
    static const Ogre::LayerBlendModeEx& BlendOf(const std::string& name)
    {
        return Element(name)->getMaterial()->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getColourBlendMode();
    }
    static bool Tinted(const std::string& name, const Ogre::ColourValue& colour)
    {
        const Ogre::LayerBlendModeEx& mode = BlendOf(name);
        return mode.operation == Ogre::LBX_BLEND_MANUAL && mode.colourArg2 == colour && mode.factor == 0.5f;
    }
    static bool Tinted(const std::string& name) { return BlendOf(name).operation == Ogre::LBX_BLEND_MANUAL; }

    static Ogre::OverlaySystem* sOverlaySystem;
    static std::string sMediaError;
    int64_t (*sRealClock)() = nullptr;
    PanelGame mGame;
    std::unique_ptr<CAimGuide> mGuide;
    std::unique_ptr<LaunchSet> mLaunch;
    std::unique_ptr<CBall> mBall;
    std::unique_ptr<CPlayer> mThrower;
    std::unique_ptr<Team> mTeam;
    std::unique_ptr<CHUDMatch> mPanel;
};

Ogre::OverlaySystem* ThrowPanelTest::sOverlaySystem = nullptr;
std::string ThrowPanelTest::sMediaError;

TEST_F(ThrowPanelTest, RefreshDrawsTheThrowersModeWithStartDisabled)
{
    struct Case {
        int32_t mode;
        const char* chosenElement;
        const char* chosenMaterial;
        bool angle1Visible;
        const char* angle3;
        const char* labels[3];
    };
    const Case cases[] = {
        {CPlayer::THROW_POINTING, "Hud_pointer", "HUD/Hud_pointer_S", true, "HUD/Hud_angle3",
         {"BTN_ROLL", "BTN_NORMAL", "BTN_PLUMB"}},
        {CPlayer::THROW_SHOOTING, "Hud_tirer", "HUD/Hud_tirer_S", false, "HUD/Hud_angle3_tir",
         {nullptr, "BTN_NORMAL", "BTN_JUMP"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        mBall->mEffect = CBall::EFFECT_SIDE_LEFT;
        mGame.published = 0;
        CHUDMatch& panel = Start(c.mode);

        EXPECT_EQ(panel.mThrowMode, c.mode);
        EXPECT_EQ(MaterialOf(c.chosenElement), c.chosenMaterial);
        EXPECT_EQ(Element("Hud_angle1")->isVisible(), c.angle1Visible);
        EXPECT_EQ(MaterialOf("Hud_angle3"), c.angle3);
        const char* labels[3] = {"TextAngle1", "TextAngle2", "TextAngle3"};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Text(labels[k]), c.labels[k] ? GetText(c.labels[k]) : " ") << labels[k];
        EXPECT_EQ(Text("TextEffects"), GetText("BTN_EFFECTS"));
        EXPECT_EQ(MaterialOf("Hud_start"), "HUD/Hud_start_disabled");
        EXPECT_FALSE(panel.mStartEnabled);
        EXPECT_EQ(MaterialOf("Hud_effet"), "HUD/Hud_effet_nul");
        EXPECT_EQ(mBall->mEffect, CBall::EFFECT_NONE);
        EXPECT_TRUE(panel.mBlinkOn);
        EXPECT_FALSE(panel.mLocked);
        EXPECT_GE(mGame.published, 1);
    }
}

TEST_F(ThrowPanelTest, ModeButtonsSwitchTheThrowerOnlyAtTheAimingStep)
{
    CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
    panel.mAngleChoice = 1;

    // "BtnPointer" lies over the shooting picture.
    Click("BtnPointer");
    EXPECT_EQ(mThrower->mThrowMode, CPlayer::THROW_SHOOTING);
    EXPECT_EQ(mGame.placed, mThrower.get());
    EXPECT_EQ(panel.mAngleChoice, 2);   // angle 1 is not offered while shooting
    EXPECT_EQ(MaterialOf("Hud_tirer"), "HUD/Hud_tirer_S");
    EXPECT_EQ(MaterialOf("Hud_pointer"), "HUD/Hud_pointer");
    EXPECT_FALSE(Element("Hud_angle1")->isVisible());
    EXPECT_EQ(MaterialOf("Hud_angle2"), "HUD/Hud_angle2_S");

    Click("BtnShooter");
    EXPECT_EQ(mThrower->mThrowMode, CPlayer::THROW_POINTING);
    EXPECT_EQ(MaterialOf("Hud_pointer"), "HUD/Hud_pointer_S");
    EXPECT_EQ(Text("TextAngle1"), GetText("BTN_ROLL"));
    EXPECT_EQ(Text("TextAngle2"), GetText("BTN_NORMAL"));
    EXPECT_EQ(Text("TextAngle3"), GetText("BTN_PLUMB"));

    // Once the throw is under way only the mirror changes, and the next
    // refresh puts it back.
    mGame.placed = nullptr;
    mLaunch->mStep = 2;
    Click("BtnPointer");
    EXPECT_EQ(mThrower->mThrowMode, CPlayer::THROW_POINTING);
    EXPECT_EQ(mGame.placed, nullptr);
    EXPECT_EQ(panel.mThrowMode, CPlayer::THROW_SHOOTING);
    panel.RefreshAngleButtons();
    EXPECT_EQ(panel.mThrowMode, CPlayer::THROW_POINTING);
    EXPECT_EQ(MaterialOf("Hud_pointer"), "HUD/Hud_pointer_S");
}

TEST_F(ThrowPanelTest, AngleButtonsSetThePresetAndItsSpeed)
{
    struct Case {
        int32_t mode;
        const char* button;
        int32_t choice;       // 0: the click is ignored
        float angle;
        const char* element;
        const char* material;
    };
    const Case cases[] = {
        {CPlayer::THROW_POINTING, "BtnAngle1", 1, 10.0f, "Hud_angle1", "HUD/Hud_angle1_S"},
        {CPlayer::THROW_POINTING, "BtnAngle2", 2, 30.0f, "Hud_angle2", "HUD/Hud_angle2_S"},
        {CPlayer::THROW_POINTING, "BtnAngle3", 3, 60.0f, "Hud_angle3", "HUD/Hud_angle3_S"},
        {CPlayer::THROW_SHOOTING, "BtnAngle1", 0, 30.0f, "Hud_angle1", "HUD/Hud_angle1"},
        {CPlayer::THROW_SHOOTING, "BtnAngle3", 3, 60.0f, "Hud_angle3", "HUD/Hud_angle3_tir_S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " mode " + std::to_string(c.mode));
        mGuide->mLaunchAngle = 30.0f;
        mGuide->mEstimateNeeded = false;
        CHUDMatch& panel = Start(c.mode);
        mGame.published = 0;

        Click(c.button);
        EXPECT_EQ(panel.mAngleChoice, c.choice);
        EXPECT_EQ(mGuide->mLaunchAngle, c.angle);
        EXPECT_EQ(MaterialOf(c.element), c.material);
        if (c.choice) {
            EXPECT_FLOAT_EQ(mGuide->mLaunchSpeed, mGuide->SpeedToAimPoint(c.angle));
            EXPECT_TRUE(mGuide->mEstimateNeeded);
            EXPECT_EQ(mGame.published, 1);
        } else {
            EXPECT_EQ(mGame.published, 0);
        }
    }
}

TEST_F(ThrowPanelTest, OptionButtonsIgnoreOtherTurnsAndALockedPanel)
{
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked);
        CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
        mGame.localTurn = locked;   // a locked panel on the local turn, or the computer's turn
        panel.mLocked = locked;
        mGame.published = 0;
        for (const char* button : {"BtnPointer", "BtnAngle3", "BtnEffet"})
            Click(button);
        EXPECT_EQ(mThrower->mThrowMode, CPlayer::THROW_POINTING);
        EXPECT_EQ(panel.mAngleChoice, 0);
        EXPECT_EQ(panel.mSpin, 0);
        EXPECT_EQ(mGame.published, 0);
    }
}

TEST_F(ThrowPanelTest, SpinCyclesThroughLeftCentreRightAndNone)
{
    CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
    const struct {
        int32_t spin;
        const char* material;
    } steps[] = {{2, "HUD/Hud_effet_gauche"}, {1, "HUD/Hud_effet_centre"}, {3, "HUD/Hud_effet_droit"},
                 {0, "HUD/Hud_effet_nul"}};
    for (const auto& step : steps) {
        Click("BtnEffet");
        EXPECT_EQ(panel.mSpin, step.spin);
        EXPECT_EQ(mBall->mEffect, step.spin);
        EXPECT_EQ(MaterialOf("Hud_effet"), step.material);
    }
    // With no ball in the launch set only the panel changes.
    mLaunch->mBall = nullptr;
    Click("BtnEffet");
    EXPECT_EQ(panel.mSpin, 2);
    EXPECT_EQ(MaterialOf("Hud_effet"), "HUD/Hud_effet_gauche");
}

TEST_F(ThrowPanelTest, PlayerFramesSelectOnlyPlayersTheSideHas)
{
    const struct {
        int32_t perTeam;
        const char* frame;
        int32_t index;
    } cases[] = {
        {3, "infosP1", 0}, {3, "infosP2", 1}, {3, "infosP3", 2},
        {2, "infosP2", 1}, {2, "infosP3", 0}, {1, "infosP2", 0},
    };
    Start(CPlayer::THROW_POINTING);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.frame) + " of " + std::to_string(c.perTeam));
        mGame.perTeam = c.perTeam;
        mGame.selected = -1;
        Click(c.frame);
        EXPECT_EQ(mGame.selected, c.index);
    }
}

TEST_F(ThrowPanelTest, RadarArrowsTurnWhilePressedOnAnyTurn)
{
    CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
    mGame.localTurn = false;
    panel.mLocked = true;
    const struct {
        const char* button;
        const char* element;
        int request;
        const char* pressed;
        const char* released;
    } arrows[] = {{"BtnLeft", "HUD/Radar/fleches/G", -1, "HUD/Radar/Fleche_G_S", "HUD/Radar/Fleche_G"},
                  {"BtnRight", "HUD/Radar/fleches/D", 1, "HUD/Radar/Fleche_D_S", "HUD/Radar/Fleche_D"}};
    for (const auto& arrow : arrows) {
        SCOPED_TRACE(arrow.button);
        Fire(arrow.button, CEGUI::Window::EventMouseButtonDown);
        EXPECT_EQ(mGuide->mTurnRequest, arrow.request);
        EXPECT_EQ(MaterialOf(arrow.element), arrow.pressed);
        mGuide->mTurnSpeed = 0.7f;
        mGuide->mDistanceSpeed = 0.3f;
        Fire(arrow.button, CEGUI::Window::EventMouseButtonUp);
        EXPECT_EQ(mGuide->mTurnRequest, 0);
        EXPECT_EQ(mGuide->mTurnSpeed, 0.0f);
        EXPECT_EQ(mGuide->mDistanceSpeed, 0.0f);
        EXPECT_EQ(MaterialOf(arrow.element), arrow.released);
    }
}

TEST_F(ThrowPanelTest, ZoomOnlyOnTheLocalTurnWithABallLeftAndBackAlways)
{
    const struct {
        bool localTurn;
        int32_t remaining;
        float zoom;
    } cases[] = {{true, 1, 3.0f}, {false, 3, 1.0f}, {true, 0, 1.0f}};
    Start(CPlayer::THROW_POINTING);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.localTurn) + " " + std::to_string(c.remaining));
        mGame.zoom = 1.0f;
        mGame.cameraState = 0;
        mGame.localTurn = c.localTurn;
        mGame.remaining = c.remaining;
        mGuide->mAxisShown = true;
        Fire("BtnCamPlus", CEGUI::Window::EventMouseClick);
        EXPECT_EQ(mGame.zoom, c.zoom);
        EXPECT_EQ(mGame.cameraState, c.zoom == 3.0f ? 2 : 0);
        EXPECT_EQ(mGuide->mAxisShown, c.zoom != 3.0f);
        if (c.zoom == 3.0f) {
            EXPECT_TRUE(CHUDMgr::sZoomGroup->GetOverlays().front()->isVisible());
        }

        mGame.localTurn = false;
        Fire("BtnCamMoins", CEGUI::Window::EventMouseClick);
        EXPECT_EQ(mGame.zoom, 1.0f);
        EXPECT_EQ(mGame.cameraState, 1);
        EXPECT_GE(mGame.freeCameraResets, 1);
        EXPECT_TRUE(Ogre::OverlayManager::getSingleton().getByName("HUD/Hud_lancer_boutons")->isVisible());
    }
}

TEST_F(ThrowPanelTest, HoverTintsThePictureUnderTheButtonAndStopsTheChaser)
{
    const struct {
        const char* button;
        const char* picture;
        float zoom;
        bool tinted;
    } cases[] = {
        {"BtnPointer", "Hud_tirer", 1.0f, true},
        {"BtnAngle2", "Hud_angle2", 1.0f, true},
        {"BtnEffet", "Hud_effet", 1.0f, true},
        {"BtnLeft", "HUD/Radar/fleches/G", 1.0f, true},
        {"BtnCamPlus", "HUD/Radar/cameraPlus", 1.0f, true},
        {"BtnCamPlus", "HUD/Radar/cameraPlus", 3.0f, false},
        {"BtnCamMoins", "HUD/Radar/cameraMoins", 1.0f, false},
        {"BtnCamMoins", "HUD/Radar/cameraMoins", 3.0f, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " zoom " + std::to_string(c.zoom));
        CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
        mGame.zoom = c.zoom;
        Fire(c.button, CEGUI::Window::EventMouseEntersSurface);
        EXPECT_EQ(Tinted(c.picture, CHUDMatch::kHoverColour), c.tinted);
        EXPECT_FALSE(panel.mBlinkOn);
        Fire(c.button, CEGUI::Window::EventMouseLeavesSurface);
        EXPECT_FALSE(Tinted(c.picture));
        EXPECT_TRUE(panel.mBlinkOn);   // no angle chosen yet
    }
}

TEST_F(ThrowPanelTest, StartHoverNeedsAnAngleAndABallStillInHand)
{
    const struct {
        int32_t angle;
        int32_t step;
        bool hover;
    } cases[] = {{0, 1, false}, {2, 1, true}, {2, 4, true}, {2, 5, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.angle) + " at step " + std::to_string(c.step));
        CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
        panel.mAngleChoice = c.angle;
        mLaunch->mStep = c.step;
        Fire("BtnStart", CEGUI::Window::EventMouseEntersSurface);
        EXPECT_EQ(panel.mStartHover, c.hover);
        Fire("BtnStart", CEGUI::Window::EventMouseLeavesSurface);
        EXPECT_FALSE(panel.mStartHover);
    }
}

TEST_F(ThrowPanelTest, ChaserStepsOncePerSecondOverTheOfferedAngles)
{
    const struct {
        int32_t mode;
        std::vector<int> lit;   // angle picture tinted at each step
    } cases[] = {{CPlayer::THROW_POINTING, {1, 2, 3, 1}}, {CPlayer::THROW_SHOOTING, {2, 3, 2, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        CHUDMatch& panel = Start(c.mode);
        for (int lit : c.lit) {
            ++gNow;
            panel.BlinkAngleButtons();
            for (int k = 1; k <= 3; ++k)
                EXPECT_EQ(Tinted("Hud_angle" + std::to_string(k), CHUDMatch::kChaserColour), k == lit)
                    << "picture " << k << " at step lit " << lit;
            // Within the same second nothing moves.
            panel.BlinkAngleButtons();
            EXPECT_TRUE(Tinted("Hud_angle" + std::to_string(lit), CHUDMatch::kChaserColour));
        }
    }
}

TEST_F(ThrowPanelTest, StartButtonRedrawsOnlyOnAChangeOfState)
{
    CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
    panel.SetStartButtonState(true);
    EXPECT_EQ(MaterialOf("Hud_start"), "HUD/Hud_start_anim");
    EXPECT_FALSE(Tinted("Hud_start"));
    panel.SetStartButtonState(false);
    EXPECT_EQ(MaterialOf("Hud_start"), "HUD/Hud_start_disabled");

    // The picture redrawn from elsewhere: a second "disabled" leaves it alone.
    SetOverlayMaterial("Hud_start", "HUD/Hud_start_anim");
    CHUDMatch::UntintPicture("Hud_start");
    panel.SetStartButtonState(false);
    EXPECT_EQ(MaterialOf("Hud_start"), "HUD/Hud_start_anim");
    EXPECT_FALSE(Tinted("Hud_start"));
}

TEST_F(ThrowPanelTest, OtherTurnsMirrorTheOptionsChosenElsewhere)
{
    const struct {
        float angle;
        int32_t choice;
        const char* element;
        const char* material;
    } cases[] = {{10.0f, 1, "Hud_angle1", "HUD/Hud_angle1_S"},
                 {60.0f, 3, "Hud_angle3", "HUD/Hud_angle3_S"},
                 {42.5f, 2, "Hud_angle2", "HUD/Hud_angle2_S"}};
    mGame.localTurn = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        mGuide->mLaunchAngle = c.angle;
        mBall->mEffect = CBall::EFFECT_SIDE_RIGHT;
        CHUDMatch& panel = Start(CPlayer::THROW_POINTING);
        mBall->mEffect = CBall::EFFECT_SIDE_RIGHT;
        panel.SyncAngleFromAim();
        EXPECT_EQ(panel.mAngleChoice, c.choice);
        EXPECT_EQ(MaterialOf(c.element), c.material);
        EXPECT_EQ(panel.mSpin, CBall::EFFECT_SIDE_RIGHT);
        EXPECT_EQ(MaterialOf("Hud_effet"), "HUD/Hud_effet_droit");
    }
    // The mode is redrawn at every call on such a turn.
    SetOverlayMaterial("Hud_pointer", "HUD/Hud_pointer");
    mPanel->RefreshAngleButtons();
    EXPECT_EQ(MaterialOf("Hud_pointer"), "HUD/Hud_pointer_S");
}

TEST_F(ThrowPanelTest, TintingAFlatColourNeverDrawsTheMissingTexture)
{
    // A picture of one flat colour has no texture: its unit's texture source
    // would be OGRE's warning stripes.
    Ogre::MaterialPtr flat = Ogre::MaterialManager::getSingleton().create("ThrowPanelTest/Flat", "ThrowPanelTest");
    Ogre::TextureUnitState* unit = flat->getTechnique(0)->getPass(0)->createTextureUnitState();
    const Ogre::ColourValue own(0.2f, 0.6f, 0.2f);
    unit->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL, Ogre::LBS_CURRENT, own);
    Element("HUD/Radar/cameraPlus")->setMaterial(flat);

    CHUDMatch::TintPicture("HUD/Radar/cameraPlus", CHUDMatch::kHoverColour);
    EXPECT_EQ(unit->getColourBlendMode().operation, Ogre::LBX_BLEND_MANUAL);
    EXPECT_NE(unit->getColourBlendMode().source1, Ogre::LBS_TEXTURE);
    EXPECT_NE(unit->getColourBlendMode().source2, Ogre::LBS_TEXTURE);
    CHUDMatch::UntintPicture("HUD/Radar/cameraPlus");
    EXPECT_EQ(unit->getColourBlendMode().operation, Ogre::LBX_SOURCE1);
    EXPECT_EQ(unit->getColourBlendMode().source1, Ogre::LBS_MANUAL);
    EXPECT_EQ(unit->getColourBlendMode().colourArg1, own);

    // A picture with a texture blends it half-way into the colour and goes back to modulation.
    CHUDMatch::TintPicture("Hud_effet", CHUDMatch::kHoverColour);
    EXPECT_TRUE(Tinted("Hud_effet", CHUDMatch::kHoverColour));
    EXPECT_EQ(BlendOf("Hud_effet").source1, Ogre::LBS_TEXTURE);
    CHUDMatch::UntintPicture("Hud_effet");
    EXPECT_EQ(BlendOf("Hud_effet").operation, Ogre::LBX_MODULATE);
}

}  // namespace

namespace {

TEST_F(ThrowPanelTest, WindowsThatOutliveThePanelNoLongerCallIt)
{
    Start(CPlayer::THROW_POINTING);
    mPanel.reset();
    mGuide->mLaunchAngle = 30.0f;
    Click("BtnAngle3");
    Fire("BtnLeft", CEGUI::Window::EventMouseButtonDown);
    EXPECT_EQ(mGuide->mLaunchAngle, 30.0f);
    EXPECT_EQ(mGuide->mTurnRequest, 0);
}

}  // namespace

namespace {

TEST_F(ThrowPanelTest, ShippedMediaHoldEveryPictureAndElementThePanelNames)
{
    const char* const materials[] = {
        "HUD/Hud_pointer", "HUD/Hud_pointer_S", "HUD/Hud_tirer", "HUD/Hud_tirer_S", "HUD/Hud_angle1",
        "HUD/Hud_angle1_S", "HUD/Hud_angle2", "HUD/Hud_angle2_S", "HUD/Hud_angle3", "HUD/Hud_angle3_S",
        "HUD/Hud_angle3_tir", "HUD/Hud_angle3_tir_S", "HUD/Hud_effet_nul", "HUD/Hud_effet_centre",
        "HUD/Hud_effet_gauche", "HUD/Hud_effet_droit", "HUD/Hud_start_anim", "HUD/Hud_start_disabled",
        "HUD/Radar/Fleche_G", "HUD/Radar/Fleche_G_S", "HUD/Radar/Fleche_D", "HUD/Radar/Fleche_D_S"};
    for (const char* name : materials) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name);
        ASSERT_TRUE(material) << name;
        const Ogre::TextureUnitState* unit = material->getTechnique(0)->getPass(0)->getTextureUnitState(0);
        ASSERT_NE(unit, nullptr) << name;
        // A tint blends the texture: each picture must have one, and it must be shipped.
        ASSERT_FALSE(unit->getTextureName().empty()) << name;
        EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExists("ThrowPanelTest",
                                                                             unit->getTextureName()))
            << unit->getTextureName();
    }
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    for (const char* element : {"Hud_pointer", "Hud_tirer", "Hud_angle1", "Hud_angle2", "Hud_angle3", "Hud_effet",
                                "Hud_start", "HUD/Radar/fleches/G", "HUD/Radar/fleches/D", "HUD/Radar/cameraPlus",
                                "HUD/Radar/cameraMoins"})
        EXPECT_TRUE(overlays.hasOverlayElement(element)) << element;
}

}  // namespace
