// Overlays and overlay elements by name, on OGRE without a display.
#include "GuiTestUtil.h"
#include "OgreHeadless.h"

#include <COverlayHolder.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <functional>
#include <vector>

// Two overlays; the first holds "Test/Panel" (its material has a texture
// unit) and "Test/Bare" (its material has none).
class OverlayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sOverlaySystem = new Ogre::OverlaySystem(); }
    static void TearDownTestSuite()
    {
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }

    void SetUp() override
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        Ogre::MaterialPtr textured = materials.create("Test/Textured", "General");
        textured->getTechnique(0)->getPass(0)->createTextureUnitState("tint_test.png");
        Ogre::MaterialPtr untextured = materials.create("Test/Untextured", "General");
        untextured->getTechnique(0)->getPass(0)->createTextureUnitState();
        materials.create("Test/Plain", "General");

        mOverlay = overlays.create("Test/Overlay");
        mSecond = overlays.create("Test/Second");
        mPanel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "Test/Panel"));
        mBare = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "Test/Bare"));
        mPanel->setMaterialName("Test/Textured");
        mBare->setMaterialName("Test/Plain");
        mOverlay->add2D(mPanel);
        mOverlay->add2D(mBare);
    }
    void TearDown() override
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        overlays.destroyAll();
        overlays.destroyAllOverlayElements();
        Ogre::MaterialManager::getSingleton().remove("Test/Textured", "General");
        Ogre::MaterialManager::getSingleton().remove("Test/Plain", "General");
        Ogre::MaterialManager::getSingleton().remove("Test/Untextured", "General");
    }

    static Ogre::LayerBlendModeEx ColourMode(Ogre::OverlayElement* element)
    {
        return element->getMaterial()->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getColourBlendMode();
    }

    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
    Ogre::Overlay* mOverlay = nullptr;
    Ogre::Overlay* mSecond = nullptr;
    Ogre::OverlayContainer* mPanel = nullptr;
    Ogre::OverlayContainer* mBare = nullptr;
};

TEST_F(OverlayTest, ElementsAreShownMovedAndSizedByName)
{
    HideOverlayElement("Test/Panel");
    EXPECT_FALSE(mPanel->isVisible());
    ShowOverlayElement("Test/Panel");
    EXPECT_TRUE(mPanel->isVisible());

    SetOverlayElementTop("Test/Panel", 0.25f);
    SetOverlayElementLeft("Test/Panel", 0.125f);
    SetOverlayElementWidth("Test/Panel", 0.5f);
    EXPECT_FLOAT_EQ(mPanel->getTop(), 0.25f);
    EXPECT_FLOAT_EQ(mPanel->getLeft(), 0.125f);
    EXPECT_FLOAT_EQ(GetOverlayElementWidth("Test/Panel"), 0.5f);
    EXPECT_EQ(gOverlayHolder.GetOverlayElementByName("Test/Panel"), mPanel);
}

// A name no element bears changes nothing and reads 0.
TEST_F(OverlayTest, NamesOfNoElementChangeNothing)
{
    const float value = 0.75f;
    ShowOverlayElement("Nope");
    HideOverlayElement("Nope");
    SetOverlayElementTop("Nope", value);
    SetOverlayElementLeft("Nope", value);
    SetOverlayElementWidth("Nope", value);
    SetOverlayBlendFactor("Nope", Ogre::ColourValue::Red);
    SetOverlayTint("Nope", Ogre::ColourValue::Red, value);
    ResetOverlayColourOp("Nope");
    SetOverlayMaterial("Nope", "Test/Plain");
    EXPECT_FLOAT_EQ(GetOverlayElementWidth("Nope"), 0.0f);
    EXPECT_EQ(gOverlayHolder.GetOverlayElementByName("Nope"), nullptr);
}

// Blend, tint and reset act on the first texture unit; a material without
// one is left alone.
TEST_F(OverlayTest, ColourOperationsChangeTheFirstTextureUnit)
{
    const Ogre::ColourValue colour(0.2f, 0.4f, 0.6f, 1.0f);
    SetOverlayBlendFactor("Test/Panel", colour);
    Ogre::LayerBlendModeEx mode = ColourMode(mPanel);
    EXPECT_EQ(mode.operation, Ogre::LBX_BLEND_MANUAL);
    EXPECT_EQ(mode.source1, Ogre::LBS_TEXTURE);
    EXPECT_EQ(mode.source2, Ogre::LBS_MANUAL);
    EXPECT_EQ(mode.colourArg1, Ogre::ColourValue::White);
    EXPECT_EQ(mode.colourArg2, colour);
    EXPECT_FLOAT_EQ(mode.factor, 0.5f);

    SetOverlayTint("Test/Panel", colour, 0.3f);
    mode = ColourMode(mPanel);
    EXPECT_EQ(mode.operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(mode.source2, Ogre::LBS_MANUAL);
    EXPECT_EQ(mode.colourArg2, colour);
    EXPECT_FLOAT_EQ(mode.factor, 0.3f);

    ResetOverlayColourOp("Test/Panel");
    mode = ColourMode(mPanel);
    EXPECT_EQ(mode.operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(mode.source1, Ogre::LBS_TEXTURE);
    EXPECT_EQ(mode.source2, Ogre::LBS_CURRENT);

    SetOverlayBlendFactor("Test/Bare", colour);
    SetOverlayTint("Test/Bare", colour, 0.3f);
    ResetOverlayColourOp("Test/Bare");
    EXPECT_EQ(mBare->getMaterial()->getTechnique(0)->getPass(0)->getNumTextureUnitStates(), 0u);

    // A unit without a texture never samples one (the engine would draw its
    // warning stripes): each operation takes the colour the unit receives.
    mBare->setMaterialName("Test/Untextured");
    const std::vector<std::function<void()>> operations = {
        [&] { SetOverlayBlendFactor("Test/Bare", colour); }, [&] { SetOverlayTint("Test/Bare", colour, 0.3f); },
        [&] { ResetOverlayColourOp("Test/Bare"); }};
    for (const auto& operation : operations) {
        operation();
        mode = ColourMode(mBare);
        EXPECT_EQ(mode.source1, Ogre::LBS_CURRENT);
        EXPECT_NE(mode.source2, Ogre::LBS_TEXTURE);
    }
}

TEST_F(OverlayTest, OnlyAKnownMaterialReplacesTheElements)
{
    SetOverlayMaterial("Test/Panel", "Test/NoSuchMaterial");
    EXPECT_EQ(mPanel->getMaterialName(), "Test/Textured");
    SetOverlayMaterial("Test/Panel", "Test/Plain");
    EXPECT_EQ(mPanel->getMaterialName(), "Test/Plain");
}

TEST_F(OverlayTest, ListsShowAndHideTheirOverlaysAndAllCanBeHidden)
{
    COverlayList empty("empty");
    empty.ShowAll();
    empty.HideAll();
    EXPECT_FALSE(mOverlay->isVisible());

    COverlayList list("hud");
    list.Add(mOverlay);
    list.Add(mSecond);
    EXPECT_EQ(list.GetName(), "hud");
    list.ShowAll();
    EXPECT_TRUE(mOverlay->isVisible());
    EXPECT_TRUE(mSecond->isVisible());
    list.HideAll();
    EXPECT_FALSE(mOverlay->isVisible());
    EXPECT_FALSE(mSecond->isVisible());

    mOverlay->show();
    mSecond->show();
    HideAllOverlays();
    EXPECT_FALSE(mOverlay->isVisible());
    EXPECT_FALSE(mSecond->isVisible());
    gOverlayHolder.HideCurrent();   // none held: nothing
}

// The GUI's menu background is an overlay: shown by name, hidden again by a
// new layout; an unknown name shows nothing.
TEST_F(OverlayTest, TheGuiBackgroundIsShownByNameAndHiddenByANewLayout)
{
    CGUIMgr gui;
    NullGuiSession session;
    ASSERT_TRUE(session.Start(gui));
    ASSERT_TRUE(gui.LoadScheme("Tavirelo_GUI.scheme"));

    gui.ShowOverlay("Test/Overlay");
    EXPECT_TRUE(mOverlay->isVisible());
    ASSERT_TRUE(gui.LoadLayout("options.layout"));
    EXPECT_FALSE(mOverlay->isVisible());
    EXPECT_EQ(gui.GetBackgroundOverlay(), "");

    mSecond->show();
    gui.ShowOverlay("Test/NoSuchOverlay");
    gui.HideOverlay();
    EXPECT_TRUE(mSecond->isVisible());
    EXPECT_EQ(gui.GetBackgroundOverlay(), "");
}
