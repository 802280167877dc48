// The 3D engine's core: OGRE's root, the render system and its video
// settings, the render windows, the resource locations, the one scene manager
// "KEM_SM" and the frame listener. Started once by the graphics system, which
// publishes it as the current core; every other wrapper reaches OGRE through it.
#pragma once

#include <OgreFrameListener.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Ogre {
class LogManager;
class OverlaySystem;
class RenderSystem;
class RenderWindow;
class Root;
class SceneManager;
}

// Called once during start-up, after the render window, the scene manager and
// the engine defaults exist and before the resource groups are initialised.
// The game loads its settings file here. The result is ignored.
typedef bool (*KEMStartupHook)();

// Where the frame listener sends keyboard events: the GUI installs these when
// it starts; until then key events are only consumed.
struct SystemKeySink {
    void (*keyDown)(uint32_t key) = nullptr;
    void (*keyUp)(uint32_t key) = nullptr;
    void (*character)(uint32_t character) = nullptr;
    // The keyboard layout's character for a key; table 0 plain, 1 shifted,
    // 2 with Alt. Null: every key gives the character 0.
    uint32_t (*keyToChar)(uint32_t key, int table) = nullptr;
};

// Listens on the render window: renders always continue; keyboard events of
// the main window (keys are keyboard scan codes) go to the GUI.
class SystemFrameListener : public Ogre::FrameListener {
public:
    // Modifier bits of a key event.
    enum { MOD_SHIFT = 1, MOD_CTRL = 2, MOD_ALT = 8 };

    explicit SystemFrameListener(Ogre::RenderWindow* window);
    ~SystemFrameListener() override;
    SystemFrameListener(const SystemFrameListener&) = delete;
    SystemFrameListener& operator=(const SystemFrameListener&) = delete;

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    // Each returns true: the event is consumed.
    bool keyClicked(uint32_t key, uint32_t modifiers);
    bool keyPressed(uint32_t key, uint32_t modifiers);
    bool keyReleased(uint32_t key, uint32_t modifiers);

    Ogre::RenderWindow* getWindow() const { return mWindow; }

    static SystemKeySink& KeySink();

private:
    static void OnPlatformKey(void* user, uint32_t scanCode, bool down, uint32_t modifiers);

    Ogre::RenderWindow* mWindow;
};

class CWrapOgreCore {
public:
    // OGRE scene-type masks kept from the option "scenemanager".
    enum SceneType {
        SCENE_GENERIC = 1,
        SCENE_EXTERIOR_CLOSE = 2,
        SCENE_EXTERIOR_FAR = 4,
        SCENE_EXTERIOR_REAL_FAR = 8,
    };

    CWrapOgreCore();
    ~CWrapOgreCore();
    CWrapOgreCore(const CWrapOgreCore&) = delete;
    CWrapOgreCore& operator=(const CWrapOgreCore&) = delete;

    // Starts OGRE. windowHandle: the main window (an X11 window id; 0 lets OGRE
    // create its own window). windowAlreadyCreated: attach to the OGRE root and
    // renderWindowPtr the caller already runs. shutdownOgre: Shutdown deletes
    // the windows and the root. Returns this core; IsStarted tells whether it
    // got there. OGRE errors become CKEMException.
    CWrapOgreCore* Start(uintptr_t windowHandle, const std::string& windowName, bool windowAlreadyCreated,
                         bool shutdownOgre, bool parseDefaultResourceFile, Ogre::RenderWindow* renderWindowPtr);

    // Reads "KEM.ogre_config.cfg" (unnamed section; the first value of a key wins).
    void LoadOptionFile();
    // Adds every location of "KEM.ogre_resources.cfg" (section = resource group,
    // key = archive type, value = path), in file order, not recursive.
    void LoadResourceLocations();
    // Scene type from "scenemanager", then the scene manager "KEM_SM".
    void CreateSceneManager();
    // The frame listener on the last render window. Needs a render window.
    void AddFrameListener();
    // One rendered frame (the very first frame of the process also sets the
    // exterior fog). The frame time is not used. Returns renderOneFrame's result.
    bool RenderFrame(float frameTime);
    // Tears OGRE down again (see shutdownOgre).
    void Shutdown();

    // Later render windows created by the engine framework join the list.
    void AddRenderWindow(Ogre::RenderWindow* window);
    // Makes the render system refresh its targets after a window was created.
    void RefreshRenderTargets();

    bool IsStarted() const { return mStarted; }
    bool OwnsRoot() const { return mOwnsRoot; }
    Ogre::Root* GetRoot() const { return mRoot; }
    // The render system in use (the root's when the core did not attach).
    Ogre::RenderSystem* GetRenderSystem() const;
    Ogre::SceneManager* GetSceneManager() const { return mSceneManager; }
    SystemFrameListener* GetFrameListener() const { return mFrameListener; }
    int GetSceneType() const { return mSceneType; }
    // The last render window: the one the frame listener, viewports and GUI use.
    Ogre::RenderWindow* GetRenderWindow() const;
    const std::vector<Ogre::RenderWindow*>& GetRenderWindows() const { return mRenderWindows; }
    const std::map<std::string, std::string>& GetOptions() const { return mOptions; }
    // The option's value, or the default when the key is missing.
    std::string GetOption(const std::string& key, const std::string& defaultValue = "") const;

    static void SetStartupHook(KEMStartupHook hook);
    static KEMStartupHook GetStartupHook();

    // Reads "<width> x <height>..." as the render systems write their video
    // modes ("1024 x 768 @ 32-bit colour", "1024 x  768"). False on anything else.
    static bool ParseVideoMode(const std::string& text, int& width, int& height);

    // File names, relative to the working directory.
    static const char* const kPluginFile;      // "KEM.ogre_plugins.cfg"
    static const char* const kConfigFile;      // "KEM.ogre.cfg"
    static const char* const kLogFile;         // "KEM.ogre.log"
    static const char* const kOptionFile;      // "KEM.ogre_config.cfg"
    static const char* const kResourceFile;    // "KEM.ogre_resources.cfg"
    static const char* const kSceneManagerName;   // "KEM_SM"

private:
    bool ConfigureRenderSystem();
    void ApplyHardConfig(Ogre::RenderSystem* renderSystem);
    void CreateWindowOnHandle(uintptr_t windowHandle, const std::string& windowName);
    void ApplyEngineDefaults();
    void ReleaseOgreObjects();
    static void OnWindowResized(void* user, int width, int height);

    bool mStarted = false;
    bool mOwnsRoot = true;
    Ogre::Root* mRoot = nullptr;
    Ogre::RenderSystem* mRenderSystem = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    SystemFrameListener* mFrameListener = nullptr;
    std::map<std::string, std::string> mOptions;
    int mSceneType = SCENE_GENERIC;
    std::vector<Ogre::RenderWindow*> mRenderWindows;

    // Owned beside the root: OGRE's log (made before the root so that it does
    // not go to stdout) and the overlay system the overlays need.
    Ogre::LogManager* mLogManager = nullptr;
    Ogre::OverlaySystem* mOverlaySystem = nullptr;
    uintptr_t mWindowHandle = 0;   // the main window the first render window lives in
};
