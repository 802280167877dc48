// Texture quality and shadows from and to the settings store, applied to the
// 3D engine without a display (the shadows themselves need the render system:
// test_graphic_shadows.cpp), and the award objects hidden in a venue.
#include "OgreHeadless.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <DecorTable.h>
#include <GraphicSettings.h>

#include <gtest/gtest.h>

namespace {

const std::string kGroup = Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME;

class GraphicSettingsTest : public OgreWrapTest {
protected:
    void SetUp() override {
        OgreWrapTest::SetUp();
        TextureQualitySetting = 1;
        ShadowsSetting = 1;
    }
    void TearDown() override {
        if (!g_CurrentTextureLocation.empty())
            Ogre::ResourceGroupManager::getSingleton().removeResourceLocation(g_CurrentTextureLocation, kGroup);
        g_CurrentTextureLocation.clear();
        gSceneMgr.GetEnvironment().Clear();
        OgreWrapTest::TearDown();
    }
    void SetText(const char* name, const char* text) {
        gSceneMgr.GetEnvironment().GetVariable("SETTINGS", name, true)->SetString(text);
    }
    bool HasLocation(const std::string& quality) {
        return Ogre::ResourceGroupManager::getSingleton().resourceLocationExists(TEXTURE_FOLDER + quality, kGroup);
    }
};

}  // namespace

TEST(GraphicSettingTexts, FoundWithoutRegardToCase) {
    struct Case {
        const char* text;
        int current;
        int expected;
    } cases[] = {
        {"high", 0, 1}, {"HIGH", 0, 1}, {"High", 0, 1}, {"low", 1, 0}, {"LoW", 1, 0},
        {"medium", 1, 1}, {"medium", 0, 0}, {"", 1, 1}, {nullptr, 0, 0}, {"high ", 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindStringNoCase(c.text, c.current, g_TextureQualityTexts), c.expected)
            << (c.text ? c.text : "(null)") << " from " << c.current;
    EXPECT_EQ(FindStringNoCase("OFF", 1, g_ShadowTexts), 0);
}

TEST_F(GraphicSettingsTest, SettingsPickTheTextureFolder) {
    SetText("texture_quality", "HIGH");
    SetText("shadows", "Off");
    EXPECT_TRUE(ApplyGraphicSettings());   // no render system: the shadows wait (logged)
    EXPECT_EQ(TextureQualitySetting, 1);
    EXPECT_EQ(ShadowsSetting, 0);
    EXPECT_TRUE(HasLocation("high"));
    EXPECT_EQ(mSceneManager->getShadowTechnique(), Ogre::SHADOWTYPE_NONE);

    // Changing the quality swaps the folders.
    SetText("texture_quality", "low");
    SetText("shadows", "on");
    ApplyGraphicSettings();
    EXPECT_EQ(TextureQualitySetting, 0);
    EXPECT_EQ(ShadowsSetting, 1);
    EXPECT_FALSE(HasLocation("high"));
    EXPECT_TRUE(HasLocation("low"));
    EXPECT_EQ(g_CurrentTextureLocation, "../../mediaDemo/Textures/low");
}

TEST_F(GraphicSettingsTest, UnknownOrMissingSettingsKeepTheCurrentOnesAndAreWrittenBack) {
    TextureQualitySetting = 0;
    SetText("texture_quality", "medium");
    gSceneMgr.GetEnvironment().GetVariable("SETTINGS", "shadows", true)->SetInt(0);   // not a text
    ApplyGraphicSettings();
    EXPECT_EQ(TextureQualitySetting, 0);
    EXPECT_EQ(ShadowsSetting, 1);
    EXPECT_TRUE(HasLocation("low"));

    gSceneMgr.GetEnvironment().Clear();
    ApplyGraphicSettings();   // creates the variables, keeps the settings
    EXPECT_EQ(ShadowsSetting, 1);
    StoreGraphicSettings();
    EXPECT_STREQ(gSceneMgr.GetEnvironment().Find("SETTINGS", "texture_quality")->GetString(), "low");
    EXPECT_STREQ(gSceneMgr.GetEnvironment().Find("SETTINGS", "shadows")->GetString(), "on");
}


TEST_F(GraphicSettingsTest, VenueAwardObjectsAreFoundAndHidden) {
    CKEMSceneGraph::CreateRootNode();
    CKEMSceneNode* holder = new CKEMSceneNode(CKEMSceneGraph::GetRootNode());
    holder->setName("awards");
    CKEMSceneNode* medal = new CKEMSceneNode(holder);
    medal->setName("OB_R_MED_01");
    CKEMSceneNode* cup = new CKEMSceneNode(CKEMSceneGraph::GetRootNode());
    cup->setName("OB_R_CUA_03");
    ASSERT_TRUE(medal->IsVisible());

    InitDecorTable();
    HideAllDecorObjects();
    EXPECT_EQ(FindDecorEntry("OB_R_MED_01")->mNode, medal);
    EXPECT_EQ(FindDecorEntry("OB_R_CUA_03")->mNode, cup);
    EXPECT_FALSE(medal->IsVisible());
    EXPECT_FALSE(cup->IsVisible());
    EXPECT_TRUE(holder->IsVisible());
    EXPECT_EQ(FindDecorEntry("OB_R_PEN_01")->mNode, nullptr);

    // The next venue has none of them: the stale nodes are forgotten.
    CKEMSceneGraph::DestroyRootNode();
    CKEMSceneGraph::CreateRootNode();
    HideAllDecorObjects();
    for (const DecorEntry& entry : g_DecorTable)
        EXPECT_EQ(entry.mNode, nullptr) << entry.mName;
    CKEMSceneGraph::DestroyRootNode();
}
