// The engine started by the framework on a real main window, from the game's
// four start-up files (needs a display: runs under xvfb-run).
#include <CKEMFrameWork.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CSceneMgr.h>
#include <CWrapOgreCamera.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreLight.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreViewport.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

// After gtest: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// What the start-up hook saw when it ran.
struct HookRecord {
    int calls = 0;
    bool renderWindow = false;
    bool sceneManager = false;
    bool groupsInitialised = true;
};
HookRecord gHook;

bool RecordingHook() {
    ++gHook.calls;
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    gHook.renderWindow = root && root->getRenderSystem() && root->getRenderSystem()->getRenderTarget("Window0");
    gHook.sceneManager = root && root->hasSceneManager("KEM_SM");
    gHook.groupsInitialised =
        Ogre::ResourceGroupManager::getSingleton().isResourceGroupInitialised(Ogre::RGN_DEFAULT);
    return true;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each test runs in a working directory of its own beside the game's
// (stage/game/<test>), holding copies of the game's four start-up files, so
// that "../../mediaDemo" finds the assembled media and logs do not mix.
class EngineOnWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        mDir = fs::path(KEM_STAGE_DIR) / "game" / ("test_" + name);
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(fs::path(KEM_STAGE_DIR) / "game" / "bin" / file, mDir / file);
        mOldDir = fs::current_path();
        fs::current_path(mDir);

        gHook = HookRecord();
        mWindow = PlatCreateMainWindow("Tavirelo Le Jeu du Dornavelle", 640, 480);
        ASSERT_NE(mWindow, 0u);
    }

    void TearDown() override {
        if (mStarted) {
            CKEMSceneGraph::DestroyRootNode();
            CKEMSceneGraph::DestroyDefaultCamera();
            gKEMFrameWork.Term();
        }
        CWrapOgreCore::SetStartupHook(nullptr);
        PlatDestroyMainWindow();
        fs::current_path(mOldDir);
    }

    // The game's start-up order, as far as the engine goes now.
    void StartEngine() {
        gKEMFrameWork.Init();
        CWrapOgreCore::SetStartupHook(&RecordingHook);
        gKEMFrameWork.CreateRenderWindow(mWindow);
        mStarted = true;
        gKEMFrameWork.RegisterFrameListener();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        PlatShowMainWindow();
    }

    CWrapOgreCore* Core() { return gKEMFrameWork.GetGraphicsSystem()->GetCore(); }

    fs::path mDir, mOldDir;
    PlatWindowHandle mWindow = 0;
    bool mStarted = false;
};

struct Rgb {
    int r, g, b;
    int Sum() const { return r + g + b; }
};

Rgb PixelAt(const Ogre::Image& image, size_t x, size_t y) {
    Ogre::ColourValue c = image.getColourAt(x, y, 0);
    return {int(c.r * 255.0f + 0.5f), int(c.g * 255.0f + 0.5f), int(c.b * 255.0f + 0.5f)};
}

}  // namespace

// A lit ball in front of the default camera, a light on its left: the PNG
// written from the window shows the lit side brighter than the dark side and
// the background. The start-up hook ran between the window and scene manager
// and the resource groups.
TEST_F(EngineOnWindow, RendersALitMeshThroughTheDefaultCamera) {
    StartEngine();
    EXPECT_EQ(gHook.calls, 1);
    EXPECT_TRUE(gHook.renderWindow);
    EXPECT_TRUE(gHook.sceneManager);
    EXPECT_FALSE(gHook.groupsInitialised);
    EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().isResourceGroupInitialised(Ogre::RGN_DEFAULT));

    CWrapOgreWorld* world = gKEMFrameWork.GetGraphicsWorld();
    ASSERT_NE(world, nullptr);
    ASSERT_NE(CKEMSceneGraph::GetRootNode(), nullptr);
    EXPECT_EQ(CKEMSceneGraph::GetRootNode()->getName(), "KEM_ROOT");
    ASSERT_NE(CKEMSceneGraph::GetDefaultCamera(), nullptr);
    EXPECT_EQ(CKEMSceneGraph::GetDefaultCamera()->getName(), "DefaultCam");
    EXPECT_EQ(CKEMSceneGraph::GetDefaultCamera()->getParent(), CKEMSceneGraph::GetRootNode());
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), CKEMSceneGraph::GetDefaultCamera());
    Ogre::Viewport* viewport = CKEMSceneGraph::GetViewport()->getViewport();
    EXPECT_EQ(viewport->getZOrder(), 9);
    EXPECT_EQ(viewport->getActualWidth(), 640);
    EXPECT_EQ(viewport->getActualHeight(), 480);

    CWrapOgreNode* ballNode = world->CreateNode();
    ballNode->attachEntity(world->CreateEntity("ball.mesh"));
    CWrapOgreNode* lightNode = world->CreateNode();
    CWrapOgreLight* light = world->CreateLight();
    lightNode->attachLight(light);
    lightNode->setPosition(Ogre::Vector3(-10.0f, 4.0f, 10.0f));
    light->setDiffuseColour(Ogre::ColourValue::White);
    Core()->GetSceneManager()->setAmbientLight(Ogre::ColourValue(0.05f, 0.05f, 0.05f));

    CWrapOgreCamera* camera = CKEMSceneGraph::GetDefaultCamera()->GetCamera()->GetCamera();
    camera->setNearClipDistance(0.1f);
    camera->setAspectRatio(640.0f / 480.0f);
    CKEMSceneGraph::GetDefaultCamera()->setPosition(Ogre::Vector3(0.0f, 0.0f, 4.0f), false);

    // One rendered frame per update of the run state.
    gSceneMgr.Start();
    unsigned long before = Ogre::Root::getSingleton().getNextFrameNumber();
    for (int i = 0; i < 3; ++i)
        gSceneMgr.Manage();
    EXPECT_EQ(Ogre::Root::getSingleton().getNextFrameNumber(), before + 3);
    gSceneMgr.Stop();

    const fs::path png = mDir / "frame.png";
    Core()->GetRenderWindow()->writeContentsToFile(png.string());
    ASSERT_TRUE(fs::exists(png));
    std::ifstream file(png, std::ios::binary);
    Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(&file, false));
    Ogre::Image image;
    image.load(stream, "png");
    ASSERT_EQ(image.getWidth(), 640u);
    ASSERT_EQ(image.getHeight(), 480u);

    // The ball (radius 150 pixels) covers the middle; sample half a radius left and right.
    Rgb background = PixelAt(image, 10, 10);
    Rgb lit = PixelAt(image, 320 - 75, 240);
    Rgb dark = PixelAt(image, 320 + 110, 240);
    EXPECT_NEAR(background.r, 51, 3);   // the default camera's viewport background (0.2, 0.2, 0.3)
    EXPECT_NEAR(background.g, 51, 3);
    EXPECT_NEAR(background.b, 76, 3);
    EXPECT_GT(lit.Sum(), background.Sum() + 150) << lit.r << " " << lit.g << " " << lit.b;
    EXPECT_GT(lit.Sum(), dark.Sum() + 100) << dark.r << " " << dark.g << " " << dark.b;

    // Between the root and the default camera going (the game's shutdown
    // order) the viewport no longer draws through the deleted camera.
    CKEMSceneGraph::DestroyRootNode();
    gKEMFrameWork.RenderFrame(16.0f);
    CKEMSceneGraph::DestroyDefaultCamera();
    gKEMFrameWork.Term();
    mStarted = false;
    EXPECT_EQ(Ogre::Root::getSingletonPtr(), nullptr);
    EXPECT_EQ(CWrapOgreWorld::GetCore(), nullptr);   // no dangling current core
    std::string log = ReadFile(mDir / "KEM.ogre.log");
    EXPECT_NE(log.find("render system \"OpenGL Rendering Subsystem\""), std::string::npos);
}

// Key strokes of the main window reach the GUI through the frame listener.
TEST_F(EngineOnWindow, FrameListenerSendsKeysToTheGui) {
    StartEngine();
    static std::string seen;
    seen.clear();
    SystemKeySink& sink = SystemFrameListener::KeySink();
    sink.keyDown = [](uint32_t key) { seen += "down " + std::to_string(key) + ";"; };
    sink.keyUp = [](uint32_t key) { seen += "up " + std::to_string(key) + ";"; };
    sink.character = [](uint32_t c) { seen += "char " + std::to_string(c) + ";"; };
    sink.keyToChar = [](uint32_t key, int table) { return key == 0x1E ? uint32_t(table == 1 ? 'A' : 'a') : 0u; };

    for (Uint16 mod : {Uint16(KMOD_LSHIFT), Uint16(KMOD_NONE)}) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_a;
        e.key.keysym.scancode = SDL_SCANCODE_A;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
        e.type = SDL_KEYUP;
        SDL_PushEvent(&e);
    }
    PlatFeedEvents();
    sink = SystemKeySink();
    EXPECT_EQ(seen, "down 30;char 65;up 30;down 30;char 97;up 30;");
}

// A size change of the main window resizes the render window inside it.
TEST_F(EngineOnWindow, ResizingTheMainWindowResizesTheRenderWindow) {
    StartEngine();
    Ogre::RenderWindow* window = Core()->GetRenderWindows().front();
    ASSERT_TRUE(PlatSetClientSize(mWindow, 800, 600, false));
    for (int i = 0; i < 100 && window->getWidth() != 800; ++i) {
        PlatFeedEvents();
        PlatClearEvents();
        SDL_Delay(10);
    }
    EXPECT_EQ(window->getWidth(), 800u);
    EXPECT_EQ(window->getHeight(), 600u);
    EXPECT_EQ(CKEMSceneGraph::GetViewport()->getViewport()->getActualWidth(), 800);
    EXPECT_TRUE(Core()->RenderFrame(16.0f));
}

// A second window is "Window1" and joins the running engine; the graphics
// world is made only once.
TEST_F(EngineOnWindow, SecondRenderWindowJoinsTheRunningEngine) {
    StartEngine();
    CWrapOgreWorld* world = gKEMFrameWork.GetGraphicsWorld();
    SDL_Window* second = SDL_CreateWindow("second", 0, 0, 320, 200, 0);
    ASSERT_NE(second, nullptr);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(second, &info));

    gKEMFrameWork.CreateRenderWindow(info.info.x11.window);
    EXPECT_EQ(gKEMFrameWork.GetRenderWindowCount(), 2);
    EXPECT_EQ(gKEMFrameWork.GetGraphicsWorld(), world);
    ASSERT_EQ(Core()->GetRenderWindows().size(), 2u);
    EXPECT_EQ(Core()->GetRenderWindows()[0]->getName(), "Window0");
    EXPECT_EQ(Core()->GetRenderWindow()->getName(), "Window1");
    gKEMFrameWork.RenderFrame(16.0f);

    CKEMSceneGraph::DestroyRootNode();
    CKEMSceneGraph::DestroyDefaultCamera();
    gKEMFrameWork.Term();
    mStarted = false;
    SDL_DestroyWindow(second);
}

// X errors about a window that is gone close the game only when they name
// ours: an error on another client's destroyed window (a drag-and-drop
// source that went away) leaves the game running; one naming the render
// child OGRE made inside the main window closes it.
TEST_F(EngineOnWindow, OnlyErrorsNamingOurWindowsCloseTheGame) {
    StartEngine();
    Ogre::RenderWindow* window = Core()->GetRenderWindows().front();
    unsigned long child = 0;
    window->getCustomAttribute("WINDOW", &child);
    ASSERT_NE(child, 0u);
    ASSERT_NE(child, mWindow);

    Display* ours = XOpenDisplay(nullptr);
    ASSERT_NE(ours, nullptr);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    // Another client's window, destroyed before we ask about it.
    const Window foreign = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 10, 10, 0, 0, 0);
    XSync(other, False);
    XDestroyWindow(other, foreign);
    XSync(other, False);
    XCloseDisplay(other);

    // An XDND-like message to the gone source and a property read on it.
    XEvent status{};
    status.xclient.type = ClientMessage;
    status.xclient.window = foreign;
    status.xclient.message_type = XInternAtom(ours, "XdndStatus", False);
    status.xclient.format = 32;
    XSendEvent(ours, foreign, False, NoEventMask, &status);
    XWindowAttributes attributes;
    XGetWindowAttributes(ours, foreign, &attributes);
    XSync(ours, False);
    EXPECT_FALSE(PlatMainWindowLost());
    for (int i = 0; i < 5; ++i) {
        PlatFeedEvents();
        PlatEvent ev;
        while (PlatPeekEvent(ev))
            EXPECT_NE(ev.type, PLAT_EV_CLOSE);
    }
    EXPECT_TRUE(Core()->RenderFrame(16.0f));

    // The render child gone: that is our window.
    XDestroyWindow(ours, Window(child));
    XSync(ours, False);
    XGetWindowAttributes(ours, Window(child), &attributes);
    XSync(ours, False);
    EXPECT_TRUE(PlatMainWindowLost());
    XCloseDisplay(ours);
}

// The exterior scene type fogs the very first frame of the process, once;
// the world geometry it names is not supported and does not stop the frame.
TEST_F(EngineOnWindow, ExteriorCloseFogsTheFirstFrameOnly) {
    std::ofstream(mDir / "KEM.ogre_config.cfg") << "show_config_dialog=no\nscenemanager=exterior_close\n"
                                                   "world=terrain.cfg\n";
    StartEngine();
    Ogre::SceneManager* sm = Core()->GetSceneManager();
    EXPECT_EQ(Core()->GetSceneType(), CWrapOgreCore::SCENE_EXTERIOR_CLOSE);
    EXPECT_EQ(sm->getFogMode(), Ogre::FOG_NONE);
    EXPECT_TRUE(Core()->RenderFrame(16.0f));
    EXPECT_EQ(sm->getFogMode(), Ogre::FOG_LINEAR);
    EXPECT_FLOAT_EQ(sm->getFogStart(), 500.0f);
    EXPECT_FLOAT_EQ(sm->getFogEnd(), 1000.0f);
    sm->setFog(Ogre::FOG_NONE);
    EXPECT_TRUE(Core()->RenderFrame(16.0f));
    EXPECT_EQ(sm->getFogMode(), Ogre::FOG_NONE);
}

// Only "yes" applies the fixed video settings (1024 x 768, mapped onto the GL
// render system's option names); anything else restores "KEM.ogre.cfg"
// (640 x 480, vertical sync on). The main window's client area follows the
// video mode.
class HardConfig : public EngineOnWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(HardConfig, DecidesTheVideoMode) {
    const std::string value = GetParam();
    std::ofstream(mDir / "KEM.ogre_config.cfg") << "show_config_dialog=no\nload_hard_config=" << value << "\n";
    StartEngine();
    const bool hard = value == "yes";
    Ogre::RenderWindow* window = Core()->GetRenderWindow();
    EXPECT_EQ(window->getWidth(), hard ? 1024u : 640u);
    EXPECT_EQ(window->getHeight(), hard ? 768u : 480u);
    int w = 0, h = 0;
    ASSERT_TRUE(PlatGetClientSize(mWindow, w, h));
    EXPECT_EQ(w, hard ? 1024 : 640);
    EXPECT_EQ(h, hard ? 768 : 480);
    const Ogre::ConfigOptionMap& options = Core()->GetRenderSystem()->getConfigOptions();
    // Our "KEM.ogre.cfg" asks for vertical sync, so that a display caps the
    // frame rate of the menus.
    EXPECT_EQ(options.at("VSync").currentValue, hard ? "No" : "Yes");
    // The option reaches the window made inside the main window.
    EXPECT_EQ(window->isVSyncEnabled(), !hard);
    EXPECT_EQ(options.at("Full Screen").currentValue, "No");
    EXPECT_TRUE(Core()->RenderFrame(16.0f));
}

INSTANTIATE_TEST_SUITE_P(Values, HardConfig, ::testing::Values("yes", "Yes", "no"));
