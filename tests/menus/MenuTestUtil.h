// The menus' tests: the global GUI manager on CEGUI's Null renderer with the
// game's scheme, the Escape key from a scripted keyboard, the settings store
// emptied around each test.
#pragma once

#include <GuiTestUtil.h>

#include <CEnvironment.h>
#include <CInputMgr.h>
#include <CMainApp.h>
#include <CSceneMgr.h>
#include <DInput.h>
#include <DInputFakeBackend.h>

#include <memory>

class MenuTest : public ::testing::Test {
protected:
    static constexpr int kEscapeKey = 1;

    void SetUp() override {
        gSceneMgr.GetEnvironment().Clear();
        PlatSetMessageBoxInteractive(false);
        auto fake = std::make_unique<CDInputFakeBackend>();
        mKeys = fake.get();
        DInputSetBackend(std::move(fake));
        mKeys->focusWindow = kWindow;
        g_pMainApp->SetWindowHandle(reinterpret_cast<KEMWindowHandle>(kWindow));
        gInputMgr.Init();
        ASSERT_TRUE(mSession.Start(gGUIMgr));
        ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
    }
    void TearDown() override {
        mSession.Stop();
        DInputSetBackend(nullptr);
        g_pMainApp->SetWindowHandle(nullptr);
        gSceneMgr.GetEnvironment().Clear();
    }

    // One input frame with the Escape key down or up.
    void Escape(bool down) {
        mKeys->PressKey(kEscapeKey, down);
        gInputMgr.Update();
    }

    static CEGUI::Window* Window(const char* name) { return gGUIMgr.GetWindow(name); }
    static bool Visible(const char* name) {
        CEGUI::Window* w = Window(name);
        return w && w->isVisible();
    }
    // A mouse click on the window as the GUI would deliver it.
    static void Click(const char* name) {
        CEGUI::Window* w = Window(name);
        ASSERT_NE(w, nullptr) << name;
        CEGUI::MouseEventArgs args(w);
        args.button = CEGUI::LeftButton;
        w->fireEvent(CEGUI::Window::EventMouseClick, args, CEGUI::Window::EventNamespace);
    }
    static CEnvironmentVariable* Find(const char* section, const char* name) {
        return gSceneMgr.GetEnvironment().Find(section, name);
    }
    static int Int(const char* section, const char* name) {
        CEnvironmentVariable* v = Find(section, name);
        EXPECT_NE(v, nullptr) << section << "/" << name;
        return v ? v->GetInt() : -12345;
    }

    static constexpr PlatWindowHandle kWindow = 0x51;
    CDInputFakeBackend* mKeys = nullptr;
    NullGuiSession mSession;
};
