#include "CWrapOgreCore.h"

#include <KEMException.h>
#include <KEMStringUtils.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <OgreAnimation.h>
#include <OgreLogManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>
#include <OgreTextureManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>

const char* const CWrapOgreCore::kPluginFile = "KEM.ogre_plugins.cfg";
const char* const CWrapOgreCore::kConfigFile = "KEM.ogre.cfg";
const char* const CWrapOgreCore::kLogFile = "KEM.ogre.log";
const char* const CWrapOgreCore::kOptionFile = "KEM.ogre_config.cfg";
const char* const CWrapOgreCore::kResourceFile = "KEM.ogre_resources.cfg";
const char* const CWrapOgreCore::kSceneManagerName = "KEM_SM";

namespace {

// Cleared by the first rendered frame of the process, whatever the scene type.
bool gFirstFrame = true;
KEMStartupHook gStartupHook = nullptr;

// The render system we prefer: the fixed-function GL one (the GUI's OGRE
// renderer does not run on GL3Plus).
const char* const kPreferredRenderSystem = "OpenGL Rendering Subsystem";

// OGRE's configuration-file syntax, read in file order (OGRE's own reader
// sorts sections and keys). False when the file cannot be opened.
bool ReadConfigFile(const char* fileName, const ConfigSettingSink& onSetting) {
    std::ifstream in(PlatFixPath(fileName), std::ios::in | std::ios::binary);
    if (!in)
        return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReadConfigText(text.data(), text.size(), onSetting);
    return true;
}

void LogToOgre(const std::string& text) {
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("KEM: " + text);
}

}  // namespace

// ---- SystemFrameListener ---------------------------------------------------------

SystemFrameListener::SystemFrameListener(Ogre::RenderWindow* window) : mWindow(window) {
    // Only the keyboard comes through here; the input channels read the mouse
    // and the game controllers themselves.
    PlatSetKeyListener(&SystemFrameListener::OnPlatformKey, this);
}

SystemFrameListener::~SystemFrameListener() { PlatRemoveKeyListener(this); }

bool SystemFrameListener::frameStarted(const Ogre::FrameEvent&) { return true; }

bool SystemFrameListener::frameEnded(const Ogre::FrameEvent&) { return true; }

SystemKeySink& SystemFrameListener::KeySink() {
    static SystemKeySink sink;
    return sink;
}

bool SystemFrameListener::keyClicked(uint32_t, uint32_t) { return true; }

bool SystemFrameListener::keyPressed(uint32_t key, uint32_t modifiers) {
    const SystemKeySink& sink = KeySink();
    int table = (modifiers & MOD_ALT) ? 2 : (modifiers & MOD_SHIFT) ? 1 : 0;
    uint32_t character = sink.keyToChar ? sink.keyToChar(key, table) : 0;
    if (sink.keyDown)
        sink.keyDown(key);
    if (sink.character)
        sink.character(character);   // a zero character goes too
    return true;
}

bool SystemFrameListener::keyReleased(uint32_t key, uint32_t) {
    if (KeySink().keyUp)
        KeySink().keyUp(key);
    return true;
}

void SystemFrameListener::OnPlatformKey(void* user, uint32_t scanCode, bool down, uint32_t modifiers) {
    SystemFrameListener* self = static_cast<SystemFrameListener*>(user);
    uint32_t mods = 0;
    if (modifiers & PLAT_MOD_SHIFT)
        mods |= MOD_SHIFT;
    if (modifiers & PLAT_MOD_CTRL)
        mods |= MOD_CTRL;
    if (modifiers & PLAT_MOD_ALT)
        mods |= MOD_ALT;
    if (down)
        self->keyPressed(scanCode, mods);
    else
        self->keyReleased(scanCode, mods);
}

// ---- CWrapOgreCore -------------------------------------------------------------------

CWrapOgreCore::CWrapOgreCore() = default;

CWrapOgreCore::~CWrapOgreCore() {
    // A core deleted without Shutdown (a failed start) still lets OGRE go.
    if (mRoot || mOverlaySystem) {
        try {
            Shutdown();
        } catch (const std::exception& e) {
            PlatLog("CWrapOgreCore: shutdown failed: %s", e.what());
        }
    }
}

void CWrapOgreCore::SetStartupHook(KEMStartupHook hook) { gStartupHook = hook; }

KEMStartupHook CWrapOgreCore::GetStartupHook() { return gStartupHook; }

bool CWrapOgreCore::ParseVideoMode(const std::string& text, int& width, int& height) {
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    if (!isdigit(static_cast<unsigned char>(*p)))
        return false;
    char* end = nullptr;
    long w = strtol(p, &end, 10);
    p = end;
    while (*p == ' ')
        ++p;
    if (*p != 'x' && *p != 'X')
        return false;
    ++p;
    while (*p == ' ')
        ++p;
    if (!isdigit(static_cast<unsigned char>(*p)))
        return false;
    long h = strtol(p, &end, 10);
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384)
        return false;
    width = int(w);
    height = int(h);
    return true;
}

std::string CWrapOgreCore::GetOption(const std::string& key, const std::string& defaultValue) const {
    auto it = mOptions.find(key);
    return it == mOptions.end() ? defaultValue : it->second;
}

Ogre::RenderSystem* CWrapOgreCore::GetRenderSystem() const {
    if (mRenderSystem)
        return mRenderSystem;
    return mRoot ? mRoot->getRenderSystem() : nullptr;
}

Ogre::RenderWindow* CWrapOgreCore::GetRenderWindow() const {
    return mRenderWindows.empty() ? nullptr : mRenderWindows.back();
}

void CWrapOgreCore::AddRenderWindow(Ogre::RenderWindow* window) {
    if (window)
        mRenderWindows.push_back(window);
}

void CWrapOgreCore::RefreshRenderTargets() {
    if (Ogre::RenderSystem* rs = GetRenderSystem())
        rs->_initRenderTargets();
}

void CWrapOgreCore::LoadOptionFile() {
    bool found = ReadConfigFile(kOptionFile, [this](const std::string& section, const std::string& key,
                                                    const std::string& value) {
        if (section.empty())
            mOptions.insert(std::make_pair(key, value));   // the first value of a key wins
    });
    if (!found)
        PlatLog("CWrapOgreCore: no option file \"%s\"; default options used", kOptionFile);
}

void CWrapOgreCore::LoadResourceLocations() {
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    bool found = ReadConfigFile(kResourceFile, [&groups](const std::string& section, const std::string& key,
                                                         const std::string& value) {
        groups.addResourceLocation(PlatFixPath(value), key, section.empty() ? Ogre::RGN_DEFAULT : section, false);
    });
    if (!found)
        PlatLog("CWrapOgreCore: no resource file \"%s\"; no resource location added", kResourceFile);
}

void CWrapOgreCore::CreateSceneManager() {
    auto it = mOptions.find("scenemanager");
    if (it != mOptions.end()) {
        if (it->second == "exterior_close")
            mSceneType = SCENE_EXTERIOR_CLOSE;
        else if (it->second == "exterior_far")
            mSceneType = SCENE_EXTERIOR_FAR;
        else if (it->second == "exterior_real_far")
            mSceneType = SCENE_EXTERIOR_REAL_FAR;
        else
            mSceneType = SCENE_GENERIC;
    }
    // Every scene type is served by OGRE's generic scene manager now; the type
    // only decides the exterior fog of the first frame.
    mSceneManager = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, kSceneManagerName);
}

void CWrapOgreCore::AddFrameListener() {
    Ogre::RenderWindow* window = GetRenderWindow();
    if (!window || !mRoot)
        KEM_THROW_SRC("the frame listener needs a render window", "[OgreWrap]");
    if (mFrameListener) {
        mRoot->removeFrameListener(mFrameListener);
        delete mFrameListener;
    }
    mFrameListener = new SystemFrameListener(window);
    mRoot->addFrameListener(mFrameListener);
}

CWrapOgreCore* CWrapOgreCore::Start(uintptr_t windowHandle, const std::string& windowName, bool windowAlreadyCreated,
                                    bool shutdownOgre, bool parseDefaultResourceFile,
                                    Ogre::RenderWindow* renderWindowPtr) {
    try {
        mOwnsRoot = shutdownOgre;
        mRoot = nullptr;
        mRenderSystem = nullptr;
        mSceneManager = nullptr;
        mFrameListener = nullptr;
        mOptions.clear();
        mRenderWindows.clear();
        mSceneType = SCENE_GENERIC;
        mStarted = false;
        mWindowHandle = 0;

        if (windowAlreadyCreated) {
            // Attach to an OGRE the caller already runs; no option file here.
            mRoot = Ogre::Root::getSingletonPtr();
            if (!mRoot)
                KEM_THROW_SRC("no running OGRE root to attach to", "[OgreWrap]");
            mRenderSystem = mRoot->getRenderSystem();
            AddRenderWindow(renderWindowPtr);
            Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
            CreateSceneManager();
            if (parseDefaultResourceFile)
                LoadResourceLocations();
            mStarted = true;
            return this;
        }

        LoadOptionFile();
        if (Ogre::Root* existing = Ogre::Root::getSingletonPtr()) {
            mRoot = existing;
        } else {
            if (!Ogre::LogManager::getSingletonPtr()) {
                // Our log first, so OGRE's output goes to the file and not to stdout.
                mLogManager = new Ogre::LogManager();
                mLogManager->createLog(kLogFile, true, false, false);
            }
            mRoot = new Ogre::Root(kPluginFile, kConfigFile, kLogFile);
            if (parseDefaultResourceFile)
                LoadResourceLocations();
            if (!ConfigureRenderSystem())
                return this;   // configuration cancelled: not started, no error
        }

        if (windowHandle == 0) {
            Ogre::RenderWindow* window = mRoot->initialise(true, GetOption("window_title", "KEM Demo"));
            AddRenderWindow(window);
        } else {
            CreateWindowOnHandle(windowHandle, windowName);
        }

        if (Ogre::RenderSystem* rs = mRoot->getRenderSystem())
            LogToOgre("render system \"" + rs->getName() + "\"");
        CreateSceneManager();
        // The overlays need the overlay system before their scripts are parsed.
        if (!mOverlaySystem)
            mOverlaySystem = new Ogre::OverlaySystem();
        mSceneManager->addRenderQueueListener(mOverlaySystem);
        ApplyEngineDefaults();
        mStarted = true;
    } catch (const Ogre::Exception& e) {
        mStarted = false;
        throw CKEMException(e.getFullDescription(), "[OgreWrap] OGRE EXCEPTION", __FILE__, __LINE__);
    }
    return this;
}

bool CWrapOgreCore::ConfigureRenderSystem() {
    const Ogre::RenderSystemList& renderers = mRoot->getAvailableRenderers();
    if (renderers.empty())
        KEM_THROW_SRC(std::string("no render system available (see ") + kPluginFile + ")", "[OgreWrap]");

    if (GetOption("show_config_dialog") != "no") {
        // There is no configuration dialog on this platform: OGRE takes its
        // first render system with the default options.
        return mRoot->showConfigDialog(nullptr);
    }

    Ogre::RenderSystem* chosen = nullptr;
    for (Ogre::RenderSystem* rs : renderers)
        if (rs->getName() == kPreferredRenderSystem) {
            chosen = rs;
            break;
        }
    if (!chosen) {
        chosen = renderers.front();
        LogToOgre("\"" + std::string(kPreferredRenderSystem) + "\" is not available; using \"" + chosen->getName() +
                  "\"");
    }
    mRoot->setRenderSystem(chosen);
    auto hard = mOptions.find("load_hard_config");
    if (hard != mOptions.end() && hard->second == "yes")
        ApplyHardConfig(chosen);
    else
        mRoot->restoreConfig();
    chosen->validateConfigOptions();
    return true;
}

void CWrapOgreCore::ApplyHardConfig(Ogre::RenderSystem* renderSystem) {
    struct Setting {
        const char* name;
        const char* value;
    };
    static const Setting kSettings[] = {
        {"Anti aliasing", "None"}, {"Floating-point mode", "Fastest"},
        {"Full Screen", "No"},     {"VSync", "No"},
        {"Video Mode", "1024 x 768 @ 32-bit colour"}, {"Rendering Device", "none selected"},
    };
    const Ogre::ConfigOptionMap& options = renderSystem->getConfigOptions();
    for (const Setting& s : kSettings) {
        std::string name = s.name;
        std::string value = s.value;
        // Render systems name their options differently; setConfigOption throws
        // on a name it does not know.
        if (name == "Anti aliasing" && !options.count(name)) {
            name = "FSAA";
            value = "0";
        }
        auto option = options.find(name);
        if (option == options.end()) {
            LogToOgre("option \"" + std::string(s.name) + "\" has no counterpart on " + renderSystem->getName() +
                      "; skipped");
            continue;
        }
        if (name == "Video Mode") {
            // Use the render system's own spelling of the mode when it lists it.
            int w = 0, h = 0, pw = 0, ph = 0;
            ParseVideoMode(value, w, h);
            for (const std::string& possible : option->second.possibleValues)
                if (ParseVideoMode(possible, pw, ph) && pw == w && ph == h) {
                    value = possible;
                    break;
                }
        }
        renderSystem->setConfigOption(name, value);
    }
}

void CWrapOgreCore::CreateWindowOnHandle(uintptr_t windowHandle, const std::string& windowName) {
    mRoot->initialise(false, "OGRE Render Window");

    // A child of the main window: it can follow the main window's size, which
    // an adopted "externalWindowHandle" window cannot.
    Ogre::NameValuePairList params;
    params["parentWindowHandle"] = Ogre::StringConverter::toString(size_t(windowHandle));

    Ogre::ConfigOptionMap options = mRoot->getRenderSystem()->getConfigOptions();
    bool fullScreen = options.count("Full Screen") && options["Full Screen"].currentValue == "Yes";
    // A window made from parameters takes none of the render system's
    // options by itself: without this the menus run uncapped.
    const bool vsync = options.count("VSync") && options["VSync"].currentValue == "Yes";
    params["vsync"] = vsync ? "true" : "false";
    int width = 0, height = 0;
    std::string mode = options.count("Video Mode") ? options["Video Mode"].currentValue : std::string();
    if (!ParseVideoMode(mode, width, height)) {
        if (!PlatGetClientSize(windowHandle, width, height)) {
            width = 640;
            height = 480;
        }
        PlatLog("CWrapOgreCore: unreadable video mode \"%s\"; using %d x %d", mode.c_str(), width, height);
    }

    // The main window's client area takes the video mode's size.
    PlatSetClientSize(windowHandle, width, height, fullScreen);

    Ogre::RenderWindow* window = mRoot->createRenderWindow(windowName, unsigned(width), unsigned(height), fullScreen,
                                                           &params);
    AddRenderWindow(window);
    mWindowHandle = windowHandle;
    // X errors naming the child OGRE made are about our window too.
    unsigned long child = 0;
    try {
        window->getCustomAttribute("WINDOW", &child);
    } catch (const Ogre::Exception&) {
        child = 0;
    }
    if (child != 0)
        PlatSetRenderChildWindow(PlatWindowHandle(child));
    PlatSetResizeListener(&CWrapOgreCore::OnWindowResized, this);
}

void CWrapOgreCore::OnWindowResized(void* user, int width, int height) {
    CWrapOgreCore* core = static_cast<CWrapOgreCore*>(user);
    if (!core->mStarted || core->mRenderWindows.empty() || width <= 0 || height <= 0)
        return;
    // The first window is the one living in the main window.
    Ogre::RenderWindow* window = core->mRenderWindows.front();
    window->resize(unsigned(width), unsigned(height));
    window->windowMovedOrResized();
}

void CWrapOgreCore::ApplyEngineDefaults() {
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(0);
    Ogre::Animation::setDefaultInterpolationMode(Ogre::Animation::IM_SPLINE);
    RefreshRenderTargets();
    if (gStartupHook) {
        try {
            gStartupHook();
        } catch (const std::exception& e) {
            PlatLog("CWrapOgreCore: the start-up hook failed: %s", e.what());
        }
    }
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}

bool CWrapOgreCore::RenderFrame(float) {
    if (!mStarted || !mRoot)
        return false;
    try {
        if (gFirstFrame) {
            gFirstFrame = false;
            if (mSceneType == SCENE_EXTERIOR_CLOSE && mSceneManager) {
                mSceneManager->setFog(Ogre::FOG_LINEAR, Ogre::ColourValue(0.93f, 0.86f, 0.76f, 1.0f), 0.001f, 500.0f,
                                      1000.0f);
                auto world = mOptions.find("world");
                if (world != mOptions.end())
                    LogToOgre("world geometry \"" + world->second + "\" is not supported by this engine; ignored");
            }
        }
        return mRoot->renderOneFrame();
    } catch (const Ogre::Exception& e) {
        throw CKEMException("[KEM core render] OGRE EXCEPTION\n" + e.getFullDescription() + "\n", "", __FILE__,
                            __LINE__);
    }
}

void CWrapOgreCore::Shutdown() {
    try {
        PlatRemoveResizeListener(this);
        if (mSceneManager)
            mSceneManager->getRootSceneNode();
        if (mFrameListener) {
            if (mRoot)
                mRoot->removeFrameListener(mFrameListener);
            delete mFrameListener;
            mFrameListener = nullptr;
        }
        if (mSceneManager)
            mSceneManager->clearScene();
        if (mOverlaySystem) {
            if (mSceneManager)
                mSceneManager->removeRenderQueueListener(mOverlaySystem);
            delete mOverlaySystem;   // before the root
            mOverlaySystem = nullptr;
        }
        if (mOwnsRoot && mRoot) {
            for (Ogre::RenderWindow* window : mRenderWindows) {
                mRoot->detachRenderTarget(window);
                delete window;
            }
            mRenderWindows.clear();
            delete mRoot;
            mRoot = nullptr;
            if (mLogManager) {
                delete mLogManager;   // after the root, which logs while it goes
                mLogManager = nullptr;
            }
        }
        mRoot = nullptr;
        mSceneManager = nullptr;
        mRenderSystem = nullptr;
        mRenderWindows.clear();
        mOptions.clear();
        mStarted = false;
    } catch (const Ogre::Exception& e) {
        throw CKEMException(e.getFullDescription(), "[KEM core] OGRE EXCEPTION\n", __FILE__, __LINE__);
    }
}
