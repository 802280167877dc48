// The game's one front end to CEGUI: the GUI system on the game's render
// window, the scheme, cursor, fonts and window layouts, windows found by name
// for the menus and the head-up display, the menu background overlay, the four
// menu sounds, and the mouse and keyboard fed into the GUI.
#pragma once

#include <cstdint>
#include <string>

namespace CEGUI {
class ImageCodec;
class Renderer;
class ResourceProvider;
class System;
class Window;
}
namespace Ogre {
class RenderTarget;
}

class CKEMSceneNode;

// Where the GUI reads the mouse: the input channels (gInputMgr) unless
// replaced (tests feed their own mouse). A null entry reads nothing.
struct CGUIInputHooks {
    // The cursor as fractions of the main window's client area (0 at the
    // left/top edge, 1 at the right/bottom; outside the area beyond that).
    bool (*getMousePosition)(float& x, float& y) = nullptr;
    // One input channel's 16-bit state: level in bits 0-14, bit 15 = changed.
    uint16_t (*getChannel)(int channel) = nullptr;
};

// The menu sounds are sound nodes; the sound node kind installs these.
// Without them the menus are silent.
struct CGUIMenuSoundHooks {
    // A new sound node under the scene root, named after `file`, playing it as
    // an effect (not ambient) with the default fade, at `gain`. Null when
    // none can be made.
    CKEMSceneNode* (*create)(const std::string& file, float gain) = nullptr;
    void (*play)(CKEMSceneNode* node) = nullptr;
};

class CGUIMgr {
public:
    // The four menu sounds, in the order the manager keeps them.
    enum MenuSound { MENU_SOUND_VALID, MENU_SOUND_CANCEL, MENU_SOUND_ERROR, MENU_SOUND_INFO, MENU_SOUND_COUNT };
    // Mouse button channels of the input layer.
    enum { CHANNEL_MOUSE_LEFT = 467, CHANNEL_MOUSE_RIGHT = 468, CHANNEL_MOUSE_MIDDLE = 469 };

    // The OGRE resource group (see KEM.ogre_resources.cfg) holding the
    // scheme, imagesets, looknfeels, fonts and layouts; CEGUI's default group.
    static const char* const kResourceGroup;   // "GUI"
    static const char* const kLogFile;         // "CEGUI.log"
    static const char* const kCursorImage;     // "MouseArrow"

    CGUIMgr();
    ~CGUIMgr();
    CGUIMgr(const CGUIMgr&) = delete;
    CGUIMgr& operator=(const CGUIMgr&) = delete;

    // CEGUI with its OGRE renderer on the render target of the scene's
    // viewport (the core's render window when there is no viewport yet).
    // Installs the per-frame update, the key sink and the menu-sound hooks of
    // the scene graph. False (logged) when there is nothing to render into or
    // CEGUI fails to start.
    bool Init();
    // The same on a renderer the caller made and keeps (CEGUI's Null renderer
    // in tests); a null provider gives CEGUI's default one.
    bool Init(CEGUI::Renderer& renderer, CEGUI::ResourceProvider* provider);
    // The system goes, then the renderer we made, then the menu sounds.
    void Term();
    bool IsStarted() const { return mSystem != nullptr; }

    // Every scheme goes, then the file is loaded. False (logged) on failure.
    bool LoadScheme(const std::string& file);
    // The imageset's "MouseArrow" becomes the cursor.
    void SetDefaultCursor(const std::string& imageset);
    // The font becomes the default one; then every font gets its glyphs.
    void SetDefaultFont(const std::string& name);
    // Prepares the glyph set's characters in every font; a font that fails
    // is logged and skipped.
    void CreateFontGlyphs();
    // The characters every font should have ready, one byte per character
    // (Latin-1), set from the current language before Init.
    void SetGlyphSet(const std::string& glyphs) { mGlyphSet = glyphs; }
    const std::string& GetGlyphSet() const { return mGlyphSet; }

    // All windows go, then the layout's root becomes the GUI sheet. A layout
    // that cannot be loaded is logged and leaves no sheet: false.
    bool LoadLayout(const std::string& file);
    // Every window goes, then the background overlay is hidden.
    void DestroyAllWindows();
    // The window whose name path ("Menu/Play") or name ("Play") this is;
    // null when there is none.
    CEGUI::Window* GetWindow(const std::string& name) const;
    // Nothing when no such window exists.
    void Show(const std::string& name, bool show);

    // Remembers the name and shows the OGRE overlay of that name (the menu
    // background); nothing is shown when no overlay bears it.
    void ShowOverlay(const std::string& name);
    // Hides the remembered overlay and forgets it.
    void HideOverlay();
    const std::string& GetBackgroundOverlay() const { return mBackgroundOverlay; }

    // Sound names from the key/value file ("MenuSndValid", "MenuSndCancel",
    // "MenuSndError", "MenuSndInfo"; empty when missing), then the nodes.
    void LoadMenuSounds(const std::string& file);
    // Fresh nodes for the valid, cancel and error sounds that have a name
    // (gains 0.8, 0.5, 0.8); none for info. Needs the scene root: without
    // one the nodes wait for the next root.
    void CreateMenuSounds();
    // The nodes still in the scene are deleted; all are forgotten.
    void ReleaseMenuSounds();
    // 0 valid, 1 cancel, 2 info (silent: it has no node), 3 error; any
    // other index does nothing.
    void PlayMenuSound(int index);
    const std::string& GetMenuSoundName(MenuSound sound) const { return mMenuSoundNames[sound]; }
    CKEMSceneNode* GetMenuSoundNode(MenuSound sound) const { return mMenuSoundNodes[sound]; }

    // Once per frame: the mouse goes into the GUI.
    void Update();
    void InjectMouse();
    float GetMouseX() const { return mMouseX; }
    float GetMouseY() const { return mMouseY; }

    // Keyboard events for the GUI (DirectInput scan codes, characters).
    void InjectKeyDown(uint32_t key);
    void InjectKeyUp(uint32_t key);
    void InjectChar(uint32_t character);

    CEGUI::System* GetSystem() const { return mSystem; }
    CEGUI::Renderer* GetRenderer() const { return mRenderer; }

    static CGUIInputHooks& InputHooks();
    static CGUIMenuSoundHooks& MenuSoundHooks();

private:
    bool StartSystem(CEGUI::Renderer& renderer, CEGUI::ResourceProvider* provider, CEGUI::ImageCodec* codec);
    void InstallHooks();
    void RemoveHooks();
    void FollowDisplaySize();

    Ogre::RenderTarget* mRenderWindow = nullptr;
    CEGUI::Renderer* mRenderer = nullptr;
    CEGUI::System* mSystem = nullptr;
    float mMouseX = -1.0f;
    float mMouseY = -1.0f;
    std::string mBackgroundOverlay;
    bool mButtonDown[3] = {false, false, false};   // left, right, middle
    std::string mMenuSoundNames[MENU_SOUND_COUNT];
    CKEMSceneNode* mMenuSoundNodes[MENU_SOUND_COUNT] = {nullptr, nullptr, nullptr, nullptr};
    std::string mGlyphSet;
    double mLastPulse = -1.0;   // wall clock of the last time pulse, seconds

    // What Init made for the OGRE renderer and Term destroys.
    bool mOwnsRenderer = false;
    CEGUI::ResourceProvider* mOwnedProvider = nullptr;
    CEGUI::ImageCodec* mOwnedCodec = nullptr;
};

// The one GUI manager.
extern CGUIMgr gGUIMgr;
