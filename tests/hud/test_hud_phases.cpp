// The HUD phases on OGRE without a display, with the game's own overlay
// scripts, and the match layout on CEGUI's Null renderer.
#include "HudTestUtil.h"
#include "OgreHeadless.h"

#include <CHUDMgr.h>
#include <COverlayHolder.h>
#include <CWindowEffectMgr.h>
#include <HalTimer.h>

#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <set>
#include <string>
#include <vector>

namespace {

typedef std::set<std::string> Names;

const char* const kLaunch[] = {"HUD/Hud_lancer", "HUD/Hud_infos", "HUD/Hud_lancer_boutons", "HUD/Hud_Radar",
                               "HUD/Hud_player_infos"};
const char* const kLaunchWindows[] = {"FrameButtons", "FramePlayerName", "infosP1", "infosP2",
                                      "infosP3", "TextLeft", "TextRight", "HUDInfosTeam1Name",
                                      "HUDInfosTeam2Name", "textScore", "CurrentGamer", "TextInfosPlayer"};
const char* const kReplayWindows[] = {"TextReplay", "BtnReplay", "TextContinue", "TextBtnReplay", "BtnQuitReplay"};

class HudPhaseTest : public HudGuiTest {
protected:
    static void SetUpTestSuite()
    {
        sOverlaySystem = new Ogre::OverlaySystem();
        sMediaError = LoadStagedOverlays("HudTest");
    }
    static void TearDownTestSuite()
    {
        Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup("HudTest");
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }

    void SetUp() override
    {
        ASSERT_EQ(sMediaError, "");
        HudGuiTest::SetUp();
        CWindowEffectMgr::Create();
        CHUDMgr::InitOverlayStates();
        HideAllOverlays();
    }
    void TearDown() override
    {
        CHUDMgr::Destroy();
        CWindowEffectMgr::Free();
        HudGuiTest::TearDown();
    }

    static Names VisibleOverlays()
    {
        Names visible;
        auto it = Ogre::OverlayManager::getSingleton().getOverlayIterator();
        while (it.hasMoreElements()) {
            Ogre::Overlay* overlay = it.getNext();
            if (overlay->isVisible())
                visible.insert(overlay->getName());
        }
        return visible;
    }
    static Names OverlayNames(const COverlayList* group)
    {
        Names names;
        for (Ogre::Overlay* overlay : group->GetOverlays())
            names.insert(overlay->getName());
        return names;
    }
    template <size_t N>
    static void ExpectWindows(const char* const (&names)[N], bool visible)
    {
        for (const char* name : names)
            EXPECT_EQ(Window(name)->isVisible(), visible) << name;
    }
    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
    static inline std::string sMediaError;
};

TEST_F(HudPhaseTest, GroupsHoldTheOverlaysOfTheScripts)
{
    ASSERT_NE(CHUDMgr::sLaunchGroup, nullptr);
    std::vector<std::string> launch;
    for (Ogre::Overlay* overlay : CHUDMgr::sLaunchGroup->GetOverlays())
        launch.push_back(overlay->getName());
    EXPECT_EQ(launch, std::vector<std::string>(std::begin(kLaunch), std::end(kLaunch)));
    EXPECT_EQ(OverlayNames(CHUDMgr::sZoomGroup), (Names{"HUD/Hud_infos", "HUD/Hud_Radar"}));
    EXPECT_EQ(OverlayNames(CHUDMgr::sLaunchResultGroup), (Names{"HUD/hud_lancer_result"}));
    EXPECT_EQ(OverlayNames(CHUDMgr::sPauseGroup), (Names{"Pause"}));
    EXPECT_EQ(OverlayNames(CHUDMgr::sLoadingGroup), (Names{"HUD/LoadScreen"}));
    EXPECT_TRUE(CHUDMgr::sAwardsGroup->GetOverlays().empty());
    EXPECT_EQ(CHUDMgr::sLaunchGroup->GetName(), "overlayLaunchState");
    EXPECT_EQ(CHUDMgr::sAwardsGroup->GetName(), "overlayTitleScreenState");

    EXPECT_FLOAT_EQ(CHUDMgr::sBalanceMarkerHalfWidth, GetOverlayElementWidth("Hud_boule_equilibre") / 2);
    EXPECT_GT(CHUDMgr::sBalanceMarkerHalfWidth, 0.0f);
    // The gauges are tinted through the first texture unit of their material.
    Ogre::OverlayElement* marker = gOverlayHolder.GetOverlayElementByName("Hud_boule_equilibre");
    ASSERT_TRUE(marker->getMaterial());
    EXPECT_EQ(marker->getMaterial()->getTechnique(0)->getPass(0)->getNumTextureUnitStates(), 1u);
    EXPECT_FLOAT_EQ(CHUDMgr::sBalanceGaugeScale, 0.165f);
    EXPECT_FLOAT_EQ(CHUDMgr::sBalanceAreaLeft, 0.834f);

    // A second build replaces the groups: still one overlay per name.
    CHUDMgr::InitOverlayStates();
    EXPECT_EQ(CHUDMgr::sLaunchGroup->GetOverlays().size(), 5u);
    EXPECT_EQ(CHUDMgr::sZoomGroup->GetOverlays().size(), 2u);
}

TEST_F(HudPhaseTest, EachPhaseShowsOnlyItsGroup)
{
    const struct {
        void (*phase)(bool);
        Names shown;
    } cases[] = {
        {&CHUDMgr::ShowLaunchHUD, Names(std::begin(kLaunch), std::end(kLaunch))},
        {&CHUDMgr::ShowZoomHUD, {"HUD/Hud_infos", "HUD/Hud_Radar"}},
        {&CHUDMgr::ShowLaunchResultHUD, {"HUD/hud_lancer_result"}},
        {&CHUDMgr::ShowLoadingScreen, {"HUD/LoadScreen"}},
    };
    for (const auto& c : cases) {
        // Whatever was on screen before goes.
        CHUDMgr::sPauseGroup->ShowAll();
        c.phase(true);
        EXPECT_EQ(VisibleOverlays(), c.shown);
        if (c.phase != &CHUDMgr::ShowLoadingScreen) {
            c.phase(false);
            EXPECT_TRUE(VisibleOverlays().empty());
        }
    }
}

TEST_F(HudPhaseTest, LaunchPhaseShowsAndHidesItsWindows)
{
    CHUDMgr::ShowLaunchHUD(false);
    ExpectWindows(kLaunchWindows, false);
    CHUDMgr::ShowLaunchHUD(true);
    ExpectWindows(kLaunchWindows, true);
}

TEST_F(HudPhaseTest, ZoomKeepsScoresAndNamesAndHidesTheButtons)
{
    CHUDMgr::ShowLaunchHUD(false);
    CHUDMgr::ShowZoomHUD(true);
    ExpectWindows({"HUDInfosTeam1Name", "HUDInfosTeam2Name", "textScore", "CurrentGamer"}, true);
    ExpectWindows({"FrameButtons", "TextInfosPlayer"}, false);
    ExpectWindows({"infosP1", "TextLeft"}, false);   // not the zoom's windows

    CHUDMgr::ShowZoomHUD(false);
    ExpectWindows({"HUDInfosTeam1Name", "textScore", "FrameButtons", "TextInfosPlayer"}, true);
}

TEST_F(HudPhaseTest, ResultPhaseBlinksTheReplayTextUntilItEnds)
{
    CHUDMgr::ShowLaunchResultHUD(false);
    ExpectWindows(kReplayWindows, false);

    CHUDMgr::ShowLaunchResultHUD(true);
    ExpectWindows(kReplayWindows, true);
    ASSERT_EQ(CWindowEffectMgr::GetActiveList().GetCount(), 1);
    EXPECT_EQ(CWindowEffectMgr::GetActiveList().GetHead()->mWindowName, "TextReplay");

    // The next phase hides every overlay but leaves the replay windows.
    CHUDMgr::ShowLaunchHUD(true);
    EXPECT_EQ(VisibleOverlays(), Names(std::begin(kLaunch), std::end(kLaunch)));
    ExpectWindows(kReplayWindows, true);

    gTimer.mGameTime = 500;
    CWindowEffectMgr::Update();
    CHUDMgr::ShowLaunchResultHUD(false);
    ExpectWindows(kReplayWindows, false);
    EXPECT_TRUE(CWindowEffectMgr::GetActiveList().IsEmpty());
    EXPECT_FLOAT_EQ(Window("TextReplay")->getAlpha(), 1.0f);
}

TEST_F(HudPhaseTest, HidingTheLoadingScreenLeavesTheOtherOverlays)
{
    CHUDMgr::ShowLoadingScreen(true);
    EXPECT_FALSE(gOverlayHolder.GetOverlayElementByName("LoadingButtons")->isVisible());
    EXPECT_TRUE(Ogre::OverlayManager::getSingleton().getByName("HUD/LoadScreen")->isVisible());

    CHUDMgr::sPauseGroup->ShowAll();
    CHUDMgr::ShowLoadingScreen(false);
    EXPECT_EQ(VisibleOverlays(), (Names{"Pause"}));
}

TEST_F(HudPhaseTest, WithoutTheMatchLayoutOnlyOverlaysChange)
{
    Window("Root")->setName("Sheet");
    CHUDMgr::ShowLaunchHUD(false);
    CHUDMgr::ShowLaunchResultHUD(true);
    EXPECT_EQ(VisibleOverlays(), (Names{"HUD/hud_lancer_result"}));
    ExpectWindows(kLaunchWindows, true);
    EXPECT_TRUE(CWindowEffectMgr::GetActiveList().IsEmpty());
}

TEST_F(HudPhaseTest, DestroyReleasesTheGroups)
{
    CHUDMgr::Destroy();
    EXPECT_EQ(CHUDMgr::sLaunchGroup, nullptr);
    EXPECT_EQ(CHUDMgr::sLoadingGroup, nullptr);
    EXPECT_EQ(CHUDMgr::sAwardsGroup, nullptr);
    // Phases without groups only hide.
    CHUDMgr::ShowLaunchHUD(true);
    EXPECT_TRUE(VisibleOverlays().empty());
}

}  // namespace
