// The GUI manager of the game (gGUIMgr) on CEGUI's Null renderer with the
// match layout of data/hud.layout.
#pragma once

#include "GuiTestUtil.h"

#include <CEGUI/Window.h>

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
