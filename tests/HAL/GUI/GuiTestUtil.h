// CEGUI without a display for the GUI tests: the Null renderer and a resource
// provider that finds the tests' layouts first, then the game's staged GUI
// media (the scheme, the TaharezLook skin, the fonts).
#pragma once

#include <CGUIMgr.h>
#include <Platform.h>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class TestResourceProvider : public CEGUI::DefaultResourceProvider {
public:
    explicit TestResourceProvider(std::vector<std::string> folders) : mFolders(std::move(folders)) {}

    void loadRawDataContainer(const CEGUI::String& filename, CEGUI::RawDataContainer& output,
                              const CEGUI::String& group) override
    {
        for (const std::string& folder : mFolders) {
            const std::string path = folder + "/" + filename.c_str();
            if (std::filesystem::exists(path)) {
                CEGUI::DefaultResourceProvider::loadRawDataContainer(path, output, group);
                return;
            }
        }
        CEGUI::DefaultResourceProvider::loadRawDataContainer(filename, output, group);
    }

private:
    std::vector<std::string> mFolders;
};

// The tests' layouts, then the staged GUI media.
inline std::vector<std::string> TestGuiFolders()
{
    return {std::string(KEM_TEST_SOURCE_DIR) + "/data", std::string(KEM_STAGE_DIR) + "/mediaDemo/GUI"};
}

// Collects the lines of the platform log while it lives.
class LogCapture {
public:
    LogCapture() { sLines().clear(); PlatSetLogSink(&LogCapture::Sink); }
    ~LogCapture() { PlatSetLogSink(nullptr); }
    // Whether some line holds every one of the texts.
    bool Has(std::initializer_list<std::string> texts) const { return Count(texts) > 0; }
    // How many lines hold every one of the texts.
    int Count(std::initializer_list<std::string> texts) const
    {
        int n = 0;
        for (const std::string& line : sLines()) {
            bool all = true;
            for (const std::string& text : texts)
                all = all && line.find(text) != std::string::npos;
            n += all;
        }
        return n;
    }

private:
    static std::vector<std::string>& sLines()
    {
        static std::vector<std::string> lines;
        return lines;
    }
    static void Sink(const char* line) { sLines().push_back(line); }
};

// CEGUI's Null renderer and the tests' resource provider under a GUI manager.
class NullGuiSession {
public:
    bool Start(CGUIMgr& gui)
    {
        mGui = &gui;
        mRenderer = &CEGUI::NullRenderer::create();
        // The Null renderer has no display of its own; the cursor's bounds
        // are taken from it when the GUI starts.
        mRenderer->setDisplaySize(CEGUI::Sizef(640.0f, 480.0f));
        mProvider = new TestResourceProvider(TestGuiFolders());
        return gui.Init(*mRenderer, mProvider);
    }
    void Stop()
    {
        if (!mGui)
            return;
        mGui->Term();
        mGui = nullptr;
        delete mProvider;
        mProvider = nullptr;
        CEGUI::NullRenderer::destroy(*mRenderer);
        mRenderer = nullptr;
    }
    ~NullGuiSession() { Stop(); }

    CEGUI::NullRenderer* Renderer() const { return mRenderer; }

private:
    CGUIMgr* mGui = nullptr;
    CEGUI::NullRenderer* mRenderer = nullptr;
    TestResourceProvider* mProvider = nullptr;
};

// A GUI manager started on the Null renderer, stopped again after the test.
class NullGuiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mSession.Start(mGui)); mRenderer = mSession.Renderer(); }
    void TearDown() override { mSession.Stop(); }

    // The game's scheme, then a layout of the tests.
    void LoadMenu(const char* layout = "menu.layout")
    {
        ASSERT_TRUE(mGui.LoadScheme("Tavirelo_GUI.scheme"));
        ASSERT_TRUE(mGui.LoadLayout(layout));
    }

    CEGUI::GUIContext& Context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

    CGUIMgr mGui;
    NullGuiSession mSession;
    CEGUI::NullRenderer* mRenderer = nullptr;
};
