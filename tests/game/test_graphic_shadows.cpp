// The shadow setting on the scene manager "KEM_SM" with OGRE's GL render system.
#include "OgreHeadless.h"

#include <GraphicSettings.h>

#include <gtest/gtest.h>

class ShadowSetting : public OgreWrapTest {
protected:
    void TearDown() override {
        ShadowsSetting = 1;
        OgreWrapTest::TearDown();
    }
};

TEST_F(ShadowSetting, OnAndOff) {
    ShadowsSetting = 1;
    ApplyShadowSetting();
    EXPECT_EQ(mSceneManager->getShadowTechnique(), Ogre::SHADOWTYPE_STENCIL_MODULATIVE);
    EXPECT_EQ(mSceneManager->getShadowFarDistance(), 1000.0f);
    EXPECT_EQ(mSceneManager->getShadowColour(), Ogre::ColourValue(0.75f, 0.75f, 0.7f, 1.0f));

    ShadowsSetting = 0;
    ApplyShadowSetting();
    EXPECT_EQ(mSceneManager->getShadowTechnique(), Ogre::SHADOWTYPE_NONE);
}
