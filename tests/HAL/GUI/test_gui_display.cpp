// The GUI drawn by CEGUI's OGRE renderer over the engine's frame, on a real
// main window (needs a display: runs under xvfb-run).
#include <CGUIMgr.h>
#include <GuiPlainText.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CSceneMgr.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreViewport.h>
#include <PlatWindow.h>

#include <CEGUI/CEGUI.h>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct Rgb {
    int r, g, b;
};

// The window's contents as the last frame left them.
Ogre::Image Grab(Ogre::RenderWindow* window, const fs::path& png)
{
    window->writeContentsToFile(png.string());
    std::ifstream file(png, std::ios::binary);
    Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(&file, false));
    Ogre::Image image;
    image.load(stream, "png");
    return image;
}

Rgb PixelAt(const Ogre::Image& image, size_t x, size_t y)
{
    Ogre::ColourValue c = image.getColourAt(x, y, 0);
    return {int(c.r * 255.0f + 0.5f), int(c.g * 255.0f + 0.5f), int(c.b * 255.0f + 0.5f)};
}

int Distance(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

bool MouseAt(float& x, float& y)
{
    x = 0.1f;
    y = 0.1f;
    return true;
}
uint16_t NoButton(int) { return 0; }

// The engine as the game starts it, from the assembled media and start-up
// files, in a working directory of the test's own beside the game's.
class GuiOnWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = fs::path(KEM_STAGE_DIR) / "game" / (std::string("test_gui_") + info->name());
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(fs::path(KEM_STAGE_DIR) / "game" / "bin" / file, mDir / file);
        mOldDir = fs::current_path();
        fs::current_path(mDir);
        mSavedInput = CGUIMgr::InputHooks();
        CGUIMgr::InputHooks() = {&MouseAt, &NoButton};

        mWindow = PlatCreateMainWindow("Tavirelo Le Jeu du Dornavelle", 640, 480);
        ASSERT_NE(mWindow, 0u);
        gKEMFrameWork.Init();
        gKEMFrameWork.CreateRenderWindow(mWindow);
        mStarted = true;
        gKEMFrameWork.RegisterFrameListener();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        PlatShowMainWindow();
        // The tests' layouts beside the game's GUI media.
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(std::string(KEM_TEST_SOURCE_DIR) + "/data",
                                                                       "FileSystem", CGUIMgr::kResourceGroup);
    }

    void TearDown() override
    {
        gGUIMgr.Term();
        if (mStarted) {
            CKEMSceneGraph::DestroyRootNode();
            CKEMSceneGraph::DestroyDefaultCamera();
            gKEMFrameWork.Term();
        }
        PlatDestroyMainWindow();
        CGUIMgr::InputHooks() = mSavedInput;
        fs::current_path(mOldDir);
    }

    Ogre::RenderWindow* Window() { return gKEMFrameWork.GetGraphicsSystem()->GetCore()->GetRenderWindow(); }

    // One frame of the run state: the GUI update, then the rendered frame.
    Ogre::Image Frame(const char* name)
    {
        gSceneMgr.Manage();
        return Grab(Window(), mDir / name);
    }

    fs::path mDir, mOldDir;
    PlatWindowHandle mWindow = 0;
    bool mStarted = false;
    CGUIInputHooks mSavedInput;
};

}  // namespace

// The game's GUI start-up: the dialog of the layout is drawn over the
// viewport's background, the cursor where the mouse is; hiding the dialog by
// name leaves the background.
TEST_F(GuiOnWindow, TheLayoutIsDrawnOverTheSceneAndHiddenByName)
{
    ASSERT_TRUE(gGUIMgr.Init());
    EXPECT_EQ(CEGUI::System::getSingleton().getRenderer()->getDisplaySize(), CEGUI::Sizef(640.0f, 480.0f));
    ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
    gGUIMgr.SetDefaultCursor("TaharezLook");
    gGUIMgr.SetDefaultFont("lucida-10");
    ASSERT_TRUE(gGUIMgr.LoadLayout("frame.layout"));
    gSceneMgr.Start();

    const Ogre::Image shown = Frame("shown.png");
    ASSERT_EQ(shown.getWidth(), 640u);
    const Rgb background = PixelAt(shown, 100, 400);   // left third: no window
    EXPECT_NEAR(background.r, 51, 3);   // the default camera's viewport background
    EXPECT_NEAR(background.b, 76, 3);
    const Rgb dialog = PixelAt(shown, 416, 240);   // the middle of the dialog
    EXPECT_GT(Distance(dialog, background), 60) << dialog.r << " " << dialog.g << " " << dialog.b;
    const Rgb cursor = PixelAt(shown, 64 + 3, 48 + 6);   // just inside the arrow's tip at (0.1, 0.1)
    EXPECT_GT(Distance(cursor, background), 60) << cursor.r << " " << cursor.g << " " << cursor.b;

    gGUIMgr.Show("Dialog", false);
    const Ogre::Image hidden = Frame("hidden.png");
    EXPECT_LT(Distance(PixelAt(hidden, 416, 240), background), 10);
    gSceneMgr.Stop();
}

// A larger main window gives the GUI a larger display at the next frame.
TEST_F(GuiOnWindow, TheGuiFollowsTheWindowSize)
{
    ASSERT_TRUE(gGUIMgr.Init());
    Ogre::RenderWindow* window = Window();
    ASSERT_TRUE(PlatSetClientSize(mWindow, 800, 600, false));
    for (int i = 0; i < 100 && window->getWidth() != 800; ++i) {
        PlatFeedEvents();
        PlatClearEvents();
        SDL_Delay(10);
    }
    ASSERT_EQ(window->getWidth(), 800u);
    gSceneMgr.Start();
    gSceneMgr.Manage();
    gSceneMgr.Stop();
    EXPECT_EQ(CEGUI::System::getSingleton().getRenderer()->getDisplaySize(), CEGUI::Sizef(800.0f, 600.0f));
    // The mouse's fractions of the client area follow.
    const CEGUI::Vector2f cursor = CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().getPosition();
    EXPECT_FLOAT_EQ(cursor.d_x, 80.0f);
    EXPECT_FLOAT_EQ(cursor.d_y, 60.0f);
}

// Resizing the window while a layout is shown keeps it drawn: the GUI's
// cached window pictures are redrawn at the new size at the next frame.
TEST_F(GuiOnWindow, ALayoutStaysDrawnWhenTheWindowIsResized)
{
    ASSERT_TRUE(gGUIMgr.Init());
    ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
    gGUIMgr.SetDefaultCursor("TaharezLook");
    gGUIMgr.SetDefaultFont("lucida-10");
    ASSERT_TRUE(gGUIMgr.LoadLayout("frame.layout"));
    gSceneMgr.Start();
    const Ogre::Image before = Frame("before_resize.png");
    const Rgb background = PixelAt(before, 100, 400);
    const Rgb dialog = PixelAt(before, 416, 240);
    ASSERT_GT(Distance(dialog, background), 60);

    Ogre::RenderWindow* window = Window();
    ASSERT_TRUE(PlatSetClientSize(mWindow, 800, 600, false));
    for (int i = 0; i < 100 && window->getWidth() != 800; ++i) {
        PlatFeedEvents();
        PlatClearEvents();
        SDL_Delay(10);
    }
    ASSERT_EQ(window->getWidth(), 800u);
    Frame("resizing.png");
    const Ogre::Image after = Frame("after_resize.png");
    ASSERT_EQ(after.getWidth(), 800u);
    // The dialog keeps its relative place: the middle of it at the same fractions.
    const Rgb moved = PixelAt(after, 416 * 800 / 640, 240 * 600 / 480);
    EXPECT_LT(Distance(moved, dialog), 30) << moved.r << " " << moved.g << " " << moved.b;
    gSceneMgr.Stop();
}

// The GUI's own drawing in the engine's frame: a window whose text still
// throws when drawn (it reads markup naming a font that does not exist, as
// every text from another machine did) costs a line in the log, not the
// game; the frame after goes on drawing, and the GUI again once the text is
// plain. Before, the exception left through the frame and the game ended.
TEST_F(GuiOnWindow, AWindowThatThrowsWhenDrawnIsLoggedAndTheFramesGoOn)
{
    ASSERT_TRUE(gGUIMgr.Init());
    ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
    gGUIMgr.SetDefaultFont("lucida-10");
    ASSERT_TRUE(gGUIMgr.LoadLayout("frame.layout"));
    CEGUI::Window* message = gGUIMgr.GetWindow("Message");
    ASSERT_NE(message, nullptr);
    static CEGUI::BasicRenderedStringParser markup;
    message->setCustomRenderedStringParser(&markup);
    message->setText("[font='Nope']boum");
    gSceneMgr.Start();
    const unsigned before = GuiGuardFailures();
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_NO_THROW(gSceneMgr.Manage());
    EXPECT_GE(GuiGuardFailures(), before + 3);

    // The same text shown as text: the dialog is drawn again.
    message->setCustomRenderedStringParser(nullptr);
    GuiSetPlainText(message, "[font='Nope']boum");
    const unsigned after = GuiGuardFailures();
    const Ogre::Image shown = Frame("plain_markup.png");
    EXPECT_EQ(GuiGuardFailures(), after);
    const Rgb background = PixelAt(shown, 100, 400);
    EXPECT_GT(Distance(PixelAt(shown, 416, 240), background), 60);
    gSceneMgr.Stop();
}
