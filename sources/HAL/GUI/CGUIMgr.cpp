#include "CGUIMgr.h"

#include "CGUIMgrScript.h"
#include "GuiPlainText.h"

#include <CConfigFileMap.h>
#include <CInputMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreViewport.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <KEMScriptAPI.h>
#include <Platform.h>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Ogre/ImageCodec.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <CEGUI/RendererModules/Ogre/ResourceProvider.h>

#include <OgreFrameListener.h>
#include <OgreRenderTarget.h>
#include <OgreRoot.h>
#include <OgreRenderWindow.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

#include <algorithm>
#include <exception>
#include <vector>

const char* const CGUIMgr::kResourceGroup = "GUI";
const char* const CGUIMgr::kLogFile = "CEGUI.log";
const char* const CGUIMgr::kCursorImage = "MouseArrow";

CGUIMgr gGUIMgr;

namespace {

// The manager that was started last: the per-frame update, the key sink and
// the scene graph's menu-sound hooks go to it.
CGUIMgr* gActive = nullptr;

void GuiUpdateService() {
    if (gActive)
        gActive->Update();
}
void KeyDownSink(uint32_t key) {
    if (gActive)
        gActive->InjectKeyDown(key);
}
void KeyUpSink(uint32_t key) {
    if (gActive)
        gActive->InjectKeyUp(key);
}
void CharacterSink(uint32_t character) {
    if (gActive)
        gActive->InjectChar(character);
}
// No window reads its text as markup: the game's own texts carry none, and a
// text from outside must show as it is (list items are made plain where
// they are made).
CEGUI::DefaultRenderedStringParser gPlainParser;

// CEGUI's OGRE renderer draws from a frame listener of its own, where an
// exception would leave through the frame and end the game. We draw from
// ours, guarded.
class GuiRenderListener : public Ogre::FrameListener {
public:
    bool frameRenderingQueued(const Ogre::FrameEvent&) override {
        if (CEGUI::System* system = CEGUI::System::getSingletonPtr())
            GuiGuard("render", [system] { system->renderAllGUIContexts(); });
        return true;
    }
};
GuiRenderListener gRenderListener;
bool gRenderListenerAdded = false;

void CreateMenuSoundsHook() {
    if (gActive)
        gActive->CreateMenuSounds();
}
void ReleaseMenuSoundsHook() {
    if (gActive)
        gActive->ReleaseMenuSounds();
}

bool InputMousePosition(float& x, float& y) { return gInputMgr.GetMousePosition(x, y); }
uint16_t InputChannel(int channel) { return gInputMgr.GetChannel(channel); }

void LogCEGUI(const std::string& text, CEGUI::LoggingLevel level) {
    if (CEGUI::Logger* logger = CEGUI::Logger::getSingletonPtr())
        logger->logEvent(text, level);
}

// A node may have gone with a scene the GUI did not see go: only a node
// still found in the tree is ours to delete.
bool InSceneTree(const CKEMSceneNode* node) {
    CKEMSceneNode* root = CKEMSceneGraph::GetRootNode();
    if (!root)
        return false;
    std::vector<CKEMSceneNode*> pending{root};
    while (!pending.empty()) {
        CKEMSceneNode* current = pending.back();
        pending.pop_back();
        if (current == node)
            return true;
        pending.insert(pending.end(), current->GetChildren().begin(), current->GetChildren().end());
    }
    return false;
}

}  // namespace

CGUIInputHooks& CGUIMgr::InputHooks() {
    static CGUIInputHooks hooks{&InputMousePosition, &InputChannel};
    return hooks;
}

CGUIMenuSoundHooks& CGUIMgr::MenuSoundHooks() {
    static CGUIMenuSoundHooks hooks;
    return hooks;
}

CGUIMgr::CGUIMgr() = default;

// At program exit CEGUI and OGRE are gone already: nothing of them is touched.
CGUIMgr::~CGUIMgr() {
    if (gActive == this)
        gActive = nullptr;
}

bool CGUIMgr::Init() {
    if (mSystem)
        Term();

    Ogre::RenderTarget* target = nullptr;
    if (CWrapOgreViewport* viewport = CKEMSceneGraph::GetViewport())
        if (viewport->getViewport())
            target = viewport->getViewport()->getTarget();
    if (!target)
        if (CWrapOgreCore* core = CWrapOgreWorld::GetCore())
            target = core->GetRenderWindow();
    if (!target) {
        PlatLog("CGUIMgr::Init: no render window to draw the GUI into");
        return false;
    }

    CEGUI::OgreRenderer* renderer = nullptr;
    CEGUI::OgreResourceProvider* provider = nullptr;
    CEGUI::OgreImageCodec* codec = nullptr;
    try {
        renderer = &CEGUI::OgreRenderer::create(*target);
        provider = &CEGUI::OgreRenderer::createOgreResourceProvider();
        codec = &CEGUI::OgreRenderer::createOgreImageCodec();
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::Init: the GUI renderer cannot start: %s", e.what());
        if (codec)
            CEGUI::OgreRenderer::destroyOgreImageCodec(*codec);
        if (provider)
            CEGUI::OgreRenderer::destroyOgreResourceProvider(*provider);
        if (renderer)
            CEGUI::OgreRenderer::destroy(*renderer);
        return false;
    }

    mRenderWindow = target;
    mOwnsRenderer = true;
    mOwnedProvider = provider;
    mOwnedCodec = codec;
    if (!StartSystem(*renderer, provider, codec)) {
        Term();   // the renderer, provider and codec go again
        return false;
    }
    if (Ogre::Root* root = Ogre::Root::getSingletonPtr()) {
        renderer->setRenderingEnabled(false);
        root->addFrameListener(&gRenderListener);
        gRenderListenerAdded = true;
    }
    return true;
}

bool CGUIMgr::Init(CEGUI::Renderer& renderer, CEGUI::ResourceProvider* provider) {
    if (mSystem)
        Term();
    if (StartSystem(renderer, provider, nullptr))
        return true;
    mRenderer = nullptr;
    return false;
}

bool CGUIMgr::StartSystem(CEGUI::Renderer& renderer, CEGUI::ResourceProvider* provider, CEGUI::ImageCodec* codec) {
    mRenderer = &renderer;
    // CEGUI aborts the process on a second system.
    if (CEGUI::System::getSingletonPtr()) {
        PlatLog("CGUIMgr::Init: CEGUI cannot start: another GUI is running");
        return false;
    }
    try {
        mSystem = &CEGUI::System::create(renderer, provider, nullptr, codec, nullptr, "", kLogFile);
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::Init: CEGUI cannot start: %s", e.what());
        mSystem = nullptr;
        return false;
    }
    CEGUI::Logger::getSingleton().setLoggingLevel(CEGUI::Errors);
    mSystem->setDefaultCustomRenderedStringParser(&gPlainParser);
    // Every file of the GUI comes from one group unless it names another.
    mSystem->getResourceProvider()->setDefaultResourceGroup(kResourceGroup);

    ReleaseMenuSounds();
    for (std::string& name : mMenuSoundNames)
        name.clear();
    mMouseX = mMouseY = -1.0f;
    for (bool& down : mButtonDown)
        down = false;
    InstallHooks();
    CreateFontGlyphs();
    return true;
}

void CGUIMgr::Term() {
    RemoveHooks();
    if (gRenderListenerAdded) {
        if (Ogre::Root* root = Ogre::Root::getSingletonPtr())
            root->removeFrameListener(&gRenderListener);
        gRenderListenerAdded = false;
    }
    if (mSystem) {
        try {
            CEGUI::System::destroy();
        } catch (const std::exception& e) {
            PlatLog("CGUIMgr::Term: %s", e.what());
        }
        mSystem = nullptr;
    }
    if (mOwnsRenderer) {
        if (mOwnedCodec)
            CEGUI::OgreRenderer::destroyOgreImageCodec(*static_cast<CEGUI::OgreImageCodec*>(mOwnedCodec));
        if (mOwnedProvider)
            CEGUI::OgreRenderer::destroyOgreResourceProvider(*static_cast<CEGUI::OgreResourceProvider*>(mOwnedProvider));
        if (mRenderer)
            CEGUI::OgreRenderer::destroy(*static_cast<CEGUI::OgreRenderer*>(mRenderer));
    }
    mOwnsRenderer = false;
    mOwnedCodec = nullptr;
    mOwnedProvider = nullptr;
    mRenderer = nullptr;
    mRenderWindow = nullptr;
    mBackgroundOverlay.clear();
    ReleaseMenuSounds();
}

void CGUIMgr::InstallHooks() {
    gActive = this;
    CSceneMgr::Services().guiUpdate = &GuiUpdateService;
    SystemKeySink& sink = SystemFrameListener::KeySink();
    sink.keyDown = &KeyDownSink;
    sink.keyUp = &KeyUpSink;
    sink.character = &CharacterSink;
    CKEMSceneGraphHooks& graph = CKEMSceneGraph::Hooks();
    graph.createMenuSounds = &CreateMenuSoundsHook;
    graph.releaseMenuSounds = &ReleaseMenuSoundsHook;
    AddScriptAPIRegistration(&RegisterScriptGUIMgr);
}

void CGUIMgr::RemoveHooks() {
    if (gActive != this)
        return;
    gActive = nullptr;
    if (CSceneMgr::Services().guiUpdate == &GuiUpdateService)
        CSceneMgr::Services().guiUpdate = nullptr;
    SystemKeySink& sink = SystemFrameListener::KeySink();
    if (sink.keyDown == &KeyDownSink)
        sink.keyDown = nullptr;
    if (sink.keyUp == &KeyUpSink)
        sink.keyUp = nullptr;
    if (sink.character == &CharacterSink)
        sink.character = nullptr;
    CKEMSceneGraphHooks& graph = CKEMSceneGraph::Hooks();
    if (graph.createMenuSounds == &CreateMenuSoundsHook)
        graph.createMenuSounds = nullptr;
    if (graph.releaseMenuSounds == &ReleaseMenuSoundsHook)
        graph.releaseMenuSounds = nullptr;
}

bool CGUIMgr::LoadScheme(const std::string& file) {
    if (!mSystem) {
        PlatLog("CGUIMgr::LoadScheme: \"%s\": the GUI is not started", file.c_str());
        return false;
    }
    try {
        CEGUI::SchemeManager& schemes = CEGUI::SchemeManager::getSingleton();
        schemes.destroyAll();
        schemes.createFromFile(file);
        return true;
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::LoadScheme: \"%s\" cannot be loaded: %s", file.c_str(), e.what());
        return false;
    }
}

void CGUIMgr::SetDefaultCursor(const std::string& imageset) {
    if (!mSystem)
        return;
    const std::string image = imageset + "/" + kCursorImage;
    try {
        mSystem->getDefaultGUIContext().getMouseCursor().setDefaultImage(image);
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::SetDefaultCursor: no cursor image \"%s\": %s", image.c_str(), e.what());
    }
}

void CGUIMgr::SetDefaultFont(const std::string& name) {
    if (!mSystem)
        return;
    try {
        mSystem->getDefaultGUIContext().setDefaultFont(name);
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::SetDefaultFont: no font \"%s\": %s", name.c_str(), e.what());
    }
    CreateFontGlyphs();
}

void CGUIMgr::CreateFontGlyphs() {
    if (!mSystem)
        return;
    // Fonts rasterise on demand; asking for each glyph prepares it now, so
    // that a missing glyph shows up at start-up and not in the middle of a menu.
    for (CEGUI::FontManager::FontIterator it = CEGUI::FontManager::getSingleton().getIterator(); !it.isAtEnd(); ++it) {
        CEGUI::Font* font = it.getCurrentValue();
        const std::string name = font->getName().c_str();
        char line[256];
        PlatFormat(line, sizeof(line), "*** FONT %s Creates Glyphs", name.c_str());
        LogCEGUI(line, CEGUI::Standard);
        try {
            for (unsigned char c : mGlyphSet)
                font->getGlyphData(CEGUI::utf32(c));
        } catch (const std::exception& e) {
            PlatFormat(line, sizeof(line), "*** FONT %s error", name.c_str());
            LogCEGUI(line, CEGUI::Errors);
            PlatLog("CGUIMgr: %s: %s", line, e.what());
        }
    }
}

bool CGUIMgr::LoadLayout(const std::string& file) {
    if (!mSystem) {
        PlatLog("CGUIMgr::LoadLayout: \"%s\": the GUI is not started", file.c_str());
        return false;
    }
    DestroyAllWindows();
    try {
        CEGUI::Window* root = CEGUI::WindowManager::getSingleton().loadLayoutFromFile(file);
        mSystem->getDefaultGUIContext().setRootWindow(root);
        return root != nullptr;
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::LoadLayout: \"%s\" cannot be loaded: %s", file.c_str(), e.what());
        // CEGUI leaves the windows of a half-read layout behind.
        DestroyAllWindows();
        return false;
    }
}

void CGUIMgr::DestroyAllWindows() {
    if (mSystem) {
        try {
            CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
            mSystem->getDefaultGUIContext().setRootWindow(nullptr);
            windows.destroyAllWindows();
            windows.cleanDeadPool();
        } catch (const std::exception& e) {
            PlatLog("CGUIMgr::DestroyAllWindows: %s", e.what());
        }
    }
    HideOverlay();
}

CEGUI::Window* CGUIMgr::GetWindow(const std::string& name) const {
    if (!mSystem || name.empty())
        return nullptr;
    // Names are unique per parent only: a name path wins over a path from
    // below the top ("Frame/Text" for "Root/Frame/Text"), that over a bare
    // name, and among equals the window made first.
    const CEGUI::String wanted(name);
    const CEGUI::String tail = "/" + wanted;
    const size_t slash = name.rfind('/');
    const bool isPath = slash != std::string::npos;
    // Only windows named as the last part can match: their paths alone are
    // built (the HUD looks windows up every frame).
    const CEGUI::String last(isPath ? name.substr(slash + 1) : name);
    CEGUI::Window* byTail = nullptr;
    CEGUI::Window* byName = nullptr;
    for (CEGUI::WindowManager::WindowIterator it = CEGUI::WindowManager::getSingleton().getIterator(); !it.isAtEnd();
         ++it) {
        CEGUI::Window* window = it.getCurrentValue();
        if (window->getName() != last)
            continue;
        const CEGUI::String path = window->getNamePath();
        if (path == wanted)
            return window;
        if (isPath && !byTail && path.size() > tail.size() &&
            path.compare(path.size() - tail.size(), tail.size(), tail) == 0)
            byTail = window;
        if (!byName && window->getName() == wanted)
            byName = window;
    }
    return byTail ? byTail : byName;
}

void CGUIMgr::Show(const std::string& name, bool show) {
    if (CEGUI::Window* window = GetWindow(name))
        window->setVisible(show);
}

void CGUIMgr::ShowOverlay(const std::string& name) {
    mBackgroundOverlay = name;
    if (Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr())
        if (Ogre::Overlay* overlay = overlays->getByName(name))
            overlay->show();
}

void CGUIMgr::HideOverlay() {
    if (mBackgroundOverlay.empty())
        return;
    if (Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr())
        if (Ogre::Overlay* overlay = overlays->getByName(mBackgroundOverlay))
            overlay->hide();
    mBackgroundOverlay.clear();
}

void CGUIMgr::LoadMenuSounds(const std::string& file) {
    CConfigFileMap map;
    bool read = true;
    try {
        map.Load(file);
    } catch (const CKEMException& e) {
        PlatLog("CGUIMgr::LoadMenuSounds: %s; the menus are silent", e.GetReason().c_str());
        read = false;
    }
    static const char* const kKeys[] = {"MenuSndValid", "MenuSndCancel", "MenuSndError", "MenuSndInfo"};
    static const MenuSound kSounds[] = {MENU_SOUND_VALID, MENU_SOUND_CANCEL, MENU_SOUND_ERROR, MENU_SOUND_INFO};
    std::string missing;
    for (int i = 0; i < 4; ++i) {
        mMenuSoundNames[kSounds[i]] = map.GetString(kKeys[i], "");
        if (!map.HasKey(kKeys[i]))
            missing += std::string(missing.empty() ? "" : ", ") + kKeys[i];
    }
    // A file that was read but gives nothing says so once.
    if (read && map.GetCount() == 0)
        PlatLog("CGUIMgr::LoadMenuSounds: \"%s\" yielded no keys; the menus are silent", file.c_str());
    else if (read && !missing.empty())
        PlatLog("CGUIMgr::LoadMenuSounds: \"%s\" lacks %s; those sounds are silent", file.c_str(), missing.c_str());
    CreateMenuSounds();
}

void CGUIMgr::CreateMenuSounds() {
    ReleaseMenuSounds();
    const CGUIMenuSoundHooks& hooks = MenuSoundHooks();
    // Without a root the nodes would belong to no scene: the next root makes them.
    if (!hooks.create || !CKEMSceneGraph::GetRootNode())
        return;
    static const float kGains[] = {0.8f, 0.5f, 0.8f};   // valid, cancel, error; info has no node
    for (int sound = MENU_SOUND_VALID; sound <= MENU_SOUND_ERROR; ++sound)
        if (!mMenuSoundNames[sound].empty())
            mMenuSoundNodes[sound] = hooks.create(mMenuSoundNames[sound], kGains[sound]);
}

void CGUIMgr::ReleaseMenuSounds() {
    for (CKEMSceneNode*& node : mMenuSoundNodes) {
        // By identity: a scene node may bear the sound's name too.
        if (node && InSceneTree(node))
            delete node;
        node = nullptr;
    }
}

void CGUIMgr::PlayMenuSound(int index) {
    static const MenuSound kByIndex[] = {MENU_SOUND_VALID, MENU_SOUND_CANCEL, MENU_SOUND_INFO, MENU_SOUND_ERROR};
    if (index < 0 || index > 3)
        return;
    CKEMSceneNode* node = mMenuSoundNodes[kByIndex[index]];
    if (node && MenuSoundHooks().play)
        MenuSoundHooks().play(node);
}

void CGUIMgr::Update() {
    if (!mSystem)
        return;
    try {
        FollowDisplaySize();
        // Caret blink, tooltips and animations run on the time CEGUI is given.
        const double now = PlatGetTimeSeconds();
        const float elapsed = mLastPulse < 0.0 ? 0.0f : static_cast<float>(std::min(now - mLastPulse, 1.0));
        mLastPulse = now;
        GuiGuard("update", [this, elapsed] {
            mSystem->injectTimePulse(elapsed);
            mSystem->getDefaultGUIContext().injectTimePulse(elapsed);
            InjectMouse();
        });
    } catch (const std::exception& e) {
        // A menu's event handler failed: the frame goes on.
        PlatLog("CGUIMgr::Update: %s", e.what());
    }
}

void CGUIMgr::FollowDisplaySize() {
    if (!mRenderWindow || !mRenderer)
        return;
    const CEGUI::Sizef size(float(mRenderWindow->getWidth()), float(mRenderWindow->getHeight()));
    if (size.d_width > 0 && size.d_height > 0 && size != mRenderer->getDisplaySize())
        mSystem->notifyDisplaySizeChanged(size);
}

void CGUIMgr::InjectMouse() {
    if (!mSystem)
        return;
    const CGUIInputHooks& input = InputHooks();
    CEGUI::GUIContext& context = mSystem->getDefaultGUIContext();
    if (input.getMousePosition) {
        float x = mMouseX, y = mMouseY;
        input.getMousePosition(x, y);
        mMouseX = x;
        mMouseY = y;
        const CEGUI::Sizef& size = mRenderer->getDisplaySize();
        context.injectMousePosition(x * size.d_width, y * size.d_height);
    }
    if (input.getChannel) {
        static const int kChannels[3] = {CHANNEL_MOUSE_LEFT, CHANNEL_MOUSE_RIGHT, CHANNEL_MOUSE_MIDDLE};
        static const CEGUI::MouseButton kButtons[3] = {CEGUI::LeftButton, CEGUI::RightButton, CEGUI::MiddleButton};
        for (int i = 0; i < 3; ++i) {
            const bool pressed = (input.getChannel(kChannels[i]) & 0x7FFF) != 0;
            if (pressed && !mButtonDown[i]) {
                mButtonDown[i] = true;
                context.injectMouseButtonDown(kButtons[i]);
            } else if (!pressed && mButtonDown[i]) {
                mButtonDown[i] = false;
                context.injectMouseButtonUp(kButtons[i]);
            }
        }
    }
}

// Keys arrive from the frame listener, outside Update: a failing handler is
// logged here.
template <class Inject>
static void InjectKeyboard(CEGUI::System* system, const char* what, Inject inject) {
    if (!system)
        return;
    try {
        inject(system->getDefaultGUIContext());
    } catch (const std::exception& e) {
        PlatLog("CGUIMgr::%s: %s", what, e.what());
    }
}

void CGUIMgr::InjectKeyDown(uint32_t key) {
    InjectKeyboard(mSystem, "InjectKeyDown", [key](CEGUI::GUIContext& context) {
        context.injectKeyDown(static_cast<CEGUI::Key::Scan>(key));
    });
}

void CGUIMgr::InjectKeyUp(uint32_t key) {
    InjectKeyboard(mSystem, "InjectKeyUp", [key](CEGUI::GUIContext& context) {
        context.injectKeyUp(static_cast<CEGUI::Key::Scan>(key));
    });
}

void CGUIMgr::InjectChar(uint32_t character) {
    InjectKeyboard(mSystem, "InjectChar", [character](CEGUI::GUIContext& context) {
        context.injectChar(character);
    });
}
