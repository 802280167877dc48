// The GUI manager of the game (gGUIMgr) on CEGUI's Null renderer with the
// match layout of data/hud.layout.
#pragma once

#include "GuiTestUtil.h"

#include <CEGUI/Window.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>

#include <string>

// The staged overlay scripts, materials and pictures in a resource group of
// their own. Gives the error of a broken script as text: thrown from a suite's
// set-up it would only mark every test skipped, so the tests assert on it.
inline std::string LoadStagedOverlays(const char* group)
{
    try {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(std::string(KEM_STAGE_DIR) + "/mediaDemo/Overlays", "FileSystem", group);
        groups.initialiseResourceGroup(group);
    } catch (const Ogre::Exception& e) {
        return e.getFullDescription();
    }
    return std::string();
}

class HudGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mSession.Start(gGUIMgr));
        ASSERT_TRUE(gGUIMgr.LoadLayout("hud.layout"));
    }
    void TearDown() override { mSession.Stop(); }

    static CEGUI::Window* Window(const char* name) { return gGUIMgr.GetWindow(name); }

    NullGuiSession mSession;
};
