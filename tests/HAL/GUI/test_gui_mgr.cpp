// The GUI manager on CEGUI's Null renderer: scheme, layouts, windows by name,
// mouse and keys, menu sounds, and the hooks it installs.
#include "GuiTestUtil.h"

#include <GuiPlainText.h>

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <CWrapOgreCore.h>
#include <KEMScriptAPI.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <fstream>
#include <utility>

namespace {

std::string Text(const CEGUI::String& text) { return text.c_str(); }

}  // namespace

// Before Init, and without an engine to draw into, nothing starts and nothing breaks.
TEST(GuiWithoutEngine, InitNeedsARenderWindowAndNothingWorksBefore)
{
    LogCapture log;
    CGUIMgr gui;
    EXPECT_FALSE(gui.Init());
    EXPECT_FALSE(gui.IsStarted());
    EXPECT_TRUE(log.Has({"CGUIMgr::Init", "no render window"}));
    EXPECT_FALSE(gui.LoadScheme("Tavirelo_GUI.scheme"));
    EXPECT_FALSE(gui.LoadLayout("menu.layout"));
    EXPECT_EQ(gui.GetWindow("Menu"), nullptr);
    gui.Show("Menu", false);
    gui.Update();
    EXPECT_FLOAT_EQ(gui.GetMouseX(), -1.0f);
    gui.Term();
}

// The game's scheme: the lucida fonts, the cursor, and every widget name the
// game's layouts use makes a window (its skin's child widgets included).
TEST_F(NullGuiTest, SchemeGivesFontsCursorAndTheGameWidgets)
{
    ASSERT_TRUE(mGui.LoadScheme("Tavirelo_GUI.scheme"));
    for (int size = 6; size <= 12; ++size)
        EXPECT_TRUE(CEGUI::FontManager::getSingleton().isDefined("lucida-" + std::to_string(size))) << size;

    mGui.SetDefaultCursor("TaharezLook");
    const CEGUI::Image* cursor = Context().getMouseCursor().getDefaultImage();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(Text(cursor->getName()), "TaharezLook/MouseArrow");
    mGui.SetDefaultFont("lucida-10");
    ASSERT_NE(Context().getDefaultFont(), nullptr);
    EXPECT_EQ(Text(Context().getDefaultFont()->getName()), "lucida-10");

    CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
    for (const char* type :
         {"Button", "Checkbox", "ImageButton", "RadioButton", "FrameWindow", "Editbox", "MultiLineEditbox",
          "ProgressBar", "VerticalScrollbar", "HorizontalScrollbar", "Slider", "Combobox", "Listbox",
          "MultiColumnList", "ScrollablePane", "TabControl", "Tooltip", "StaticImage", "StaticText", "Label",
          "GroupBox"}) {
        const std::string name = std::string("Tavirelo/") + type;
        CEGUI::Window* window = nullptr;
        EXPECT_NO_THROW(window = windows.createWindow(name)) << name;
        if (window)
            windows.destroyWindow(window);
    }
}

// Files that are missing or broken are logged with their name; a failed
// layout leaves no windows and no GUI sheet.
TEST_F(NullGuiTest, MissingOrBrokenFilesAreLoggedAndLeaveNoWindows)
{
    LogCapture log;
    EXPECT_FALSE(mGui.LoadScheme("missing.scheme"));
    EXPECT_TRUE(log.Has({"LoadScheme", "missing.scheme"}));
    LoadMenu();
    for (const char* layout : {"missing.layout", "broken.layout"}) {
        ASSERT_TRUE(mGui.LoadLayout("menu.layout"));
        EXPECT_FALSE(mGui.LoadLayout(layout));
        EXPECT_TRUE(log.Has({"LoadLayout", layout}));
        EXPECT_EQ(mGui.GetWindow("Play"), nullptr) << layout;
        EXPECT_EQ(mGui.GetWindow("Broken"), nullptr) << layout;
        EXPECT_EQ(Context().getRootWindow(), nullptr) << layout;
    }
    mGui.SetDefaultFont("no-such-font");
    EXPECT_TRUE(log.Has({"SetDefaultFont", "no-such-font"}));
    mGui.SetDefaultCursor("NoSuchImageset");
    EXPECT_TRUE(log.Has({"SetDefaultCursor", "NoSuchImageset/MouseArrow"}));
}

// A name path names one window; a bare name the first window made with it.
TEST_F(NullGuiTest, WindowsAreFoundByNamePathOrName)
{
    LoadMenu();
    CEGUI::Window* root = mGui.GetWindow("Menu");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Context().getRootWindow(), root);

    CEGUI::Window* button = mGui.GetWindow("Menu/Play");
    CEGUI::Window* edit = mGui.GetWindow("Menu/Panel/Play");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_NE(dynamic_cast<CEGUI::PushButton*>(button), nullptr);
    EXPECT_NE(dynamic_cast<CEGUI::Editbox*>(edit), nullptr);
    EXPECT_EQ(mGui.GetWindow("Play"), button);
    ASSERT_NE(mGui.GetWindow("Title"), nullptr);
    EXPECT_EQ(Text(mGui.GetWindow("Title")->getText()), "Tavirelo");
    // A path from below the top window, as the game names a frame's text.
    EXPECT_EQ(mGui.GetWindow("Panel/Play"), edit);

    for (const char* missing : {"", "Nope", "Menu/Nope", "Nope/Play", "anel/Play", "Menu/Panel/Play/X"})
        EXPECT_EQ(mGui.GetWindow(missing), nullptr) << missing;
}

TEST_F(NullGuiTest, ShowAndHideByName)
{
    LoadMenu();
    CEGUI::Window* button = mGui.GetWindow("Menu/Play");
    ASSERT_NE(button, nullptr);
    mGui.Show("Menu/Play", false);
    EXPECT_FALSE(button->isVisible());
    mGui.Show("Play", true);
    EXPECT_TRUE(button->isVisible());
    mGui.Show("Nope", false);
    EXPECT_TRUE(button->isVisible());
}

// A new layout replaces every window of the previous one and hides the
// menu background; hiding with no background remembered does nothing.
TEST_F(NullGuiTest, LoadingALayoutReplacesTheWindowsAndHidesTheBackground)
{
    LoadMenu();
    CEGUI::Window* play = mGui.GetWindow("Play");
    mGui.ShowOverlay("Menu/Background");
    EXPECT_EQ(mGui.GetBackgroundOverlay(), "Menu/Background");

    ASSERT_TRUE(mGui.LoadLayout("options.layout"));
    EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(play));
    EXPECT_EQ(mGui.GetWindow("Play"), nullptr);
    ASSERT_NE(mGui.GetWindow("Options/Music"), nullptr);
    EXPECT_EQ(Context().getRootWindow(), mGui.GetWindow("Options"));
    EXPECT_EQ(mGui.GetBackgroundOverlay(), "");
    mGui.HideOverlay();
    EXPECT_EQ(mGui.GetBackgroundOverlay(), "");
}

// Keys of the frame listener's sink reach the window with the input focus,
// until the GUI stops.
TEST_F(NullGuiTest, KeysFromTheFrameListenerReachTheGui)
{
    LoadMenu();
    CEGUI::Window* edit = mGui.GetWindow("Menu/Panel/Play");
    ASSERT_NE(edit, nullptr);
    edit->activate();
    SystemKeySink& sink = SystemFrameListener::KeySink();
    ASSERT_NE(sink.keyDown, nullptr);
    ASSERT_NE(sink.keyUp, nullptr);
    ASSERT_NE(sink.character, nullptr);
    sink.character('a');
    sink.character('b');
    sink.keyDown(CEGUI::Key::Backspace);
    sink.keyUp(CEGUI::Key::Backspace);
    sink.character('c');
    sink.character(0);   // keys without a character send 0: ignored by the GUI
    EXPECT_EQ(Text(edit->getText()), "ac");

    mGui.Term();
    EXPECT_EQ(sink.keyDown, nullptr);
    EXPECT_EQ(sink.keyUp, nullptr);
    EXPECT_EQ(sink.character, nullptr);
}

// CEGUI runs once per process: a second manager does not start, and the
// first keeps the GUI's hooks.
TEST_F(NullGuiTest, ASecondManagerDoesNotStartBesideTheFirst)
{
    LogCapture log;
    CEGUI::NullRenderer& renderer = CEGUI::NullRenderer::create();
    {
        CGUIMgr second;
        EXPECT_FALSE(second.Init(renderer, nullptr));
        EXPECT_FALSE(second.IsStarted());
        second.Term();
    }
    CEGUI::NullRenderer::destroy(renderer);
    EXPECT_TRUE(log.Has({"CGUIMgr::Init", "CEGUI cannot start"}));
    LoadMenu();
    EXPECT_NE(CSceneMgr::Services().guiUpdate, nullptr);
    SystemFrameListener::KeySink().character('x');   // still reaches the first manager's GUI
}

// Scripts see the GUI manager once the GUI has started.
TEST_F(NullGuiTest, ScriptsReachTheGuiManager)
{
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    luabind::open(L);
    RegisterScriptAPI(L);
    ASSERT_EQ(luaL_dostring(L, "return kem.getGUIMgr():TEST()"), 0) << lua_tostring(L, -1);
    EXPECT_TRUE(lua_toboolean(L, -1));
    lua_close(L);
}

// ---- mouse ------------------------------------------------------------------

namespace {

struct FakeMouse {
    static inline float x = 0.0f, y = 0.0f;
    static inline uint16_t channels[475] = {};
    static bool Position(float& outX, float& outY)
    {
        outX = x;
        outY = y;
        return x >= 0 && x < 1 && y >= 0 && y < 1;
    }
    static uint16_t Channel(int channel) { return channel >= 0 && channel < 475 ? channels[channel] : 0; }
};

std::vector<std::pair<bool, CEGUI::MouseButton>> gButtonEvents;

bool OnButtonDown(const CEGUI::EventArgs& args)
{
    gButtonEvents.push_back({true, static_cast<const CEGUI::MouseEventArgs&>(args).button});
    return true;
}
bool OnButtonUp(const CEGUI::EventArgs& args)
{
    gButtonEvents.push_back({false, static_cast<const CEGUI::MouseEventArgs&>(args).button});
    return true;
}

}  // namespace

class GuiMouseTest : public NullGuiTest {
protected:
    void SetUp() override
    {
        NullGuiTest::SetUp();
        mSaved = CGUIMgr::InputHooks();
        CGUIMgr::InputHooks() = {&FakeMouse::Position, &FakeMouse::Channel};
        FakeMouse::x = FakeMouse::y = 0.0f;
        std::fill(std::begin(FakeMouse::channels), std::end(FakeMouse::channels), 0);
        gButtonEvents.clear();
    }
    void TearDown() override
    {
        CGUIMgr::InputHooks() = mSaved;
        NullGuiTest::TearDown();
    }
    CGUIInputHooks mSaved;
};

// The cursor's fractions of the client area become display pixels; the run
// state's frame updates the GUI until it stops.
TEST_F(GuiMouseTest, TheRunStateFeedsTheCursorToTheGui)
{
    LoadMenu();
    EXPECT_FLOAT_EQ(mGui.GetMouseX(), -1.0f);
    EXPECT_FLOAT_EQ(mGui.GetMouseY(), -1.0f);
    ASSERT_NE(CSceneMgr::Services().guiUpdate, nullptr);

    FakeMouse::x = 0.25f;
    FakeMouse::y = 0.5f;
    gSceneMgr.Manage();
    const CEGUI::Sizef& size = mRenderer->getDisplaySize();
    const CEGUI::Vector2f position = Context().getMouseCursor().getPosition();
    EXPECT_FLOAT_EQ(position.d_x, 0.25f * size.d_width);
    EXPECT_FLOAT_EQ(position.d_y, 0.5f * size.d_height);
    EXPECT_FLOAT_EQ(mGui.GetMouseX(), 0.25f);
    EXPECT_FLOAT_EQ(mGui.GetMouseY(), 0.5f);

    mGui.Term();
    EXPECT_EQ(CSceneMgr::Services().guiUpdate, nullptr);
}

// A button held over several frames goes down once and comes up once.
TEST_F(GuiMouseTest, AHeldButtonGoesDownOnceAndUpOnce)
{
    LoadMenu();
    CEGUI::Window* root = mGui.GetWindow("Menu");
    ASSERT_NE(root, nullptr);
    root->subscribeEvent(CEGUI::Window::EventMouseButtonDown, CEGUI::Event::Subscriber(&OnButtonDown));
    root->subscribeEvent(CEGUI::Window::EventMouseButtonUp, CEGUI::Event::Subscriber(&OnButtonUp));
    FakeMouse::x = 0.1f;   // over the root only
    FakeMouse::y = 0.5f;

    const struct {
        int channel;
        CEGUI::MouseButton button;
    } cases[] = {{467, CEGUI::LeftButton}, {468, CEGUI::RightButton}, {469, CEGUI::MiddleButton}};
    for (const auto& c : cases) {
        gButtonEvents.clear();
        FakeMouse::channels[c.channel] = 0x80FF;
        mGui.Update();
        FakeMouse::channels[c.channel] = 0x00FF;
        mGui.Update();
        mGui.Update();
        ASSERT_EQ(gButtonEvents.size(), 1u) << c.channel;
        EXPECT_TRUE(gButtonEvents[0].first);
        EXPECT_EQ(gButtonEvents[0].second, c.button);

        FakeMouse::channels[c.channel] = 0x8000;
        mGui.Update();
        FakeMouse::channels[c.channel] = 0;
        mGui.Update();
        ASSERT_EQ(gButtonEvents.size(), 2u) << c.channel;
        EXPECT_FALSE(gButtonEvents[1].first);
        EXPECT_EQ(gButtonEvents[1].second, c.button);
    }
}

// ---- menu sounds --------------------------------------------------------------

namespace {

struct SoundLog {
    static inline std::vector<std::pair<std::string, float>> made;
    static inline std::vector<CKEMSceneNode*> played;
    static CKEMSceneNode* Create(const std::string& file, float gain)
    {
        made.push_back({file, gain});
        CKEMSceneNode* node = new CKEMSceneNode(nullptr);
        node->setName(file);
        return node;
    }
    static void Play(CKEMSceneNode* node) { played.push_back(node); }
};

}  // namespace

class MenuSoundTest : public NullGuiTest {
protected:
    void SetUp() override
    {
        NullGuiTest::SetUp();
        mSaved = CGUIMgr::MenuSoundHooks();
        CGUIMgr::MenuSoundHooks() = {&SoundLog::Create, &SoundLog::Play};
        SoundLog::made.clear();
        SoundLog::played.clear();
        // A file of each test's own: the tests run side by side as processes.
        mFile = std::string(KEM_TEST_BINARY_DIR) + "/" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_MenuSounds.cfg";
        std::ofstream(mFile) << "# menu sounds\nMenuSndValid = valid.wav\nMenuSndCancel = cancel.wav\n"
                                "MenuSndError = error.wav\nMenuSndInfo = info.wav\n";
        CKEMSceneGraph::CreateRootNode();
    }
    void TearDown() override
    {
        CKEMSceneGraph::DestroyRootNode();
        CGUIMgr::MenuSoundHooks() = mSaved;
        NullGuiTest::TearDown();
    }
    CKEMSceneNode* Node(CGUIMgr::MenuSound sound) { return mGui.GetMenuSoundNode(sound); }

    CGUIMenuSoundHooks mSaved;
    std::string mFile;
};

// Valid, cancel and error get a node under the root with their gains; info
// has a name but no node.
TEST_F(MenuSoundTest, TheFileNamesTheSoundsAndThreeGetANode)
{
    mGui.LoadMenuSounds(mFile);
    EXPECT_EQ(mGui.GetMenuSoundName(CGUIMgr::MENU_SOUND_INFO), "info.wav");
    const std::vector<std::pair<std::string, float>> expected = {
        {"valid.wav", 0.8f}, {"cancel.wav", 0.5f}, {"error.wav", 0.8f}};
    EXPECT_EQ(SoundLog::made, expected);
    for (CGUIMgr::MenuSound sound : {CGUIMgr::MENU_SOUND_VALID, CGUIMgr::MENU_SOUND_CANCEL, CGUIMgr::MENU_SOUND_ERROR}) {
        ASSERT_NE(Node(sound), nullptr);
        EXPECT_EQ(Node(sound)->getParent(), CKEMSceneGraph::GetRootNode());
    }
    EXPECT_EQ(Node(CGUIMgr::MENU_SOUND_INFO), nullptr);
}

// 0 valid, 1 cancel, 2 info (silent), 3 error; other indexes play nothing.
TEST_F(MenuSoundTest, PlayMapsTheIndexToItsSound)
{
    mGui.LoadMenuSounds(mFile);
    const struct {
        int index;
        CKEMSceneNode* node;
    } cases[] = {{0, Node(CGUIMgr::MENU_SOUND_VALID)}, {1, Node(CGUIMgr::MENU_SOUND_CANCEL)}, {2, nullptr},
                 {3, Node(CGUIMgr::MENU_SOUND_ERROR)}, {4, nullptr}, {-1, nullptr}};
    for (const auto& c : cases) {
        SoundLog::played.clear();
        mGui.PlayMenuSound(c.index);
        if (c.node) {
            ASSERT_EQ(SoundLog::played.size(), 1u) << c.index;
            EXPECT_EQ(SoundLog::played[0], c.node) << c.index;
        } else {
            EXPECT_TRUE(SoundLog::played.empty()) << c.index;
        }
    }
}

// The nodes go with the scene root and come back with the next one; without
// a root they wait for it.
TEST_F(MenuSoundTest, TheNodesFollowTheSceneRoot)
{
    CKEMSceneGraph::DestroyRootNode();
    mGui.LoadMenuSounds(mFile);
    EXPECT_TRUE(SoundLog::made.empty());
    EXPECT_EQ(Node(CGUIMgr::MENU_SOUND_VALID), nullptr);

    CKEMSceneGraph::CreateRootNode();
    EXPECT_EQ(SoundLog::made.size(), 3u);
    ASSERT_NE(Node(CGUIMgr::MENU_SOUND_VALID), nullptr);

    CKEMSceneGraph::DestroyRootNode();
    for (CGUIMgr::MenuSound sound : {CGUIMgr::MENU_SOUND_VALID, CGUIMgr::MENU_SOUND_CANCEL, CGUIMgr::MENU_SOUND_ERROR})
        EXPECT_EQ(Node(sound), nullptr);
    CKEMSceneGraph::CreateRootNode();
    EXPECT_EQ(SoundLog::made.size(), 6u);
    EXPECT_NE(Node(CGUIMgr::MENU_SOUND_CANCEL), nullptr);
}

// Releasing deletes the menu's own node even when a scene node found first
// bears the same name; that one stays.
TEST_F(MenuSoundTest, ReleaseDeletesTheMenuNodeNotItsNamesake)
{
    CKEMSceneNode* namesake = new CKEMSceneNode(nullptr);
    namesake->setName("valid.wav");
    mGui.LoadMenuSounds(mFile);
    ASSERT_NE(Node(CGUIMgr::MENU_SOUND_VALID), nullptr);
    ASSERT_EQ(CKEMSceneGraph::FindNode("valid.wav"), namesake);

    mGui.ReleaseMenuSounds();
    EXPECT_EQ(CKEMSceneGraph::FindNode("valid.wav"), namesake);
    EXPECT_EQ(CKEMSceneGraph::GetRootNode()->GetChildren().size(), 1u);
}

TEST_F(MenuSoundTest, AMissingFileLeavesTheMenusSilent)
{
    LogCapture log;
    mGui.LoadMenuSounds(mFile);
    mGui.LoadMenuSounds(std::string(KEM_TEST_BINARY_DIR) + "/NoMenuSounds.cfg");
    EXPECT_TRUE(log.Has({"LoadMenuSounds", "NoMenuSounds.cfg"}));
    EXPECT_EQ(mGui.GetMenuSoundName(CGUIMgr::MENU_SOUND_VALID), "");
    EXPECT_EQ(Node(CGUIMgr::MENU_SOUND_VALID), nullptr);
    EXPECT_TRUE(CKEMSceneGraph::GetRootNode()->GetChildren().empty());
    SoundLog::played.clear();
    mGui.PlayMenuSound(0);
    EXPECT_TRUE(SoundLog::played.empty());
}

TEST_F(MenuSoundTest, AFileWithoutTheKeysSaysSo)
{
    const struct {
        const char* what;
        const char* text;
        std::initializer_list<std::string> logged;
    } cases[] = {
        {"empty", "", {"LoadMenuSounds", "yielded no keys"}},
        {"garbage", "\x01\x02 junk ;;\n", {"LoadMenuSounds", "yielded no keys"}},
        {"two keys", "MenuSndValid = v.wav\nMenuSndInfo = i.wav\n", {"lacks MenuSndCancel, MenuSndError"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(mFile, std::ios::trunc) << c.text;
        LogCapture log;
        mGui.LoadMenuSounds(mFile);
        EXPECT_TRUE(log.Has(c.logged));
        EXPECT_TRUE(log.Has({"MenuSounds.cfg"}));
    }
}

namespace {
float gPulsed = 0.0f;
int gPulses = 0;
bool OnUpdated(const CEGUI::EventArgs& args)
{
    gPulsed += static_cast<const CEGUI::UpdateEventArgs&>(args).d_timeSinceLastFrame;
    ++gPulses;
    return true;
}
}  // namespace

// Timed GUI behaviour (caret blink, tooltips, animations) needs the time
// that passes: every frame hands it on.
TEST_F(GuiMouseTest, EveryFrameGivesTheGuiTheTimeThatPassed)
{
    LoadMenu();
    CEGUI::Window* root = mGui.GetWindow("Menu");
    ASSERT_NE(root, nullptr);
    root->subscribeEvent(CEGUI::Window::EventUpdated, CEGUI::Event::Subscriber(&OnUpdated));
    gPulsed = 0.0f;
    gPulses = 0;
    for (int frame = 0; frame < 3; ++frame) {
        mGui.Update();
        PlatSleep(10);
    }
    EXPECT_EQ(gPulses, 3);
    EXPECT_GT(gPulsed, 0.0f);
}

// ---- texts from outside ------------------------------------------------------

namespace {

// Texts a peer, a forged games-list answer or a save can carry: markup of
// every kind CEGUI reads, half a tag, escapes, control characters.
const char* const kHostileTexts[] = {
    "[font='Nope']boum",
    "[colour='00000000']cache",
    "[image='TaharezLook/Nope']x",
    "[window='Nope']x",
    "[vert-alignment='centre'][padding='l:9 t:9 r:9 b:9']x",
    "[top-padding='500'][bottom-padding='500']x",
    "[font='Nope'",
    "\\[font='Nope']x",
    "a\\b][",
    "Hote: salut\nHote: partie annulee, quittez",
    "\x1b[31mrouge\x07\x7f",
    "[font='Nope'][font='Nope']x12345",   // 32 characters
};

}  // namespace

// Every text from outside is shown as written, on one line: a static text
// and a list item take the width of its plain characters whatever markup it
// holds, and drawing them throws nothing. Before, an unknown font in the
// text threw from the frame and ended the game.
TEST_F(NullGuiTest, TextsFromOutsideAreShownAsWrittenNeverAsMarkup)
{
    LoadMenu();
    mGui.SetDefaultFont("lucida-10");
    CEGUI::WindowManager& windows = CEGUI::WindowManager::getSingleton();
    CEGUI::Window* root = Context().getRootWindow();
    ASSERT_NE(root, nullptr);
    auto* list = static_cast<CEGUI::Listbox*>(windows.createWindow("Tavirelo/Listbox", "Hostile"));
    list->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(0.5f, 0), CEGUI::UDim(0.5f, 0)));
    root->addChild(list);
    CEGUI::Window* title = mGui.GetWindow("Title");
    ASSERT_NE(title, nullptr);

    for (const char* text : kHostileTexts) {
        SCOPED_TRACE(text);
        const std::string plain = GuiPlainText(text);
        EXPECT_EQ(plain.find_first_of("\n\r\x1b\x07\x7f"), std::string::npos);
        EXPECT_EQ(plain.size(), std::string(text).size());

        // A window's text, set plainly or straight: neither reads markup.
        for (bool helper : {true, false}) {
            if (helper)
                GuiSetPlainText(title, text);
            else
                title->setText(plain);
            const CEGUI::RenderedString* shown = nullptr;
            ASSERT_NO_THROW(shown = &title->getRenderedString());
            EXPECT_EQ(shown->getLineCount(), 1u);
            EXPECT_NEAR(shown->getHorizontalExtent(title), title->getFont()->getTextExtent(plain), 0.5f);
        }

        // A list item made plain keeps every character; one that reads
        // markup is what ended the game.
        auto* item = new CEGUI::ListboxTextItem(plain);
        GuiPlainItem(*item);
        list->addItem(item);
        CEGUI::Sizef size;
        ASSERT_NO_THROW(size = item->getPixelSize());
        EXPECT_NEAR(size.d_width, item->getFont()->getTextExtent(plain), 0.5f);
        EXPECT_NO_THROW(CEGUI::System::getSingleton().renderAllGUIContexts());
    }
    // What every list item did before: it threw as soon as it was measured.
    CEGUI::ListboxTextItem parsed("[font='Nope']boum", 0, nullptr, false, false);
    parsed.setFont("lucida-10");
    EXPECT_THROW(parsed.getPixelSize(), CEGUI::UnknownObjectException);
}

// GUI work that throws during a frame is logged once per distinct fault and
// the frame goes on; the per-frame update of the manager is guarded the same.
TEST_F(NullGuiTest, AGuiFaultDuringAFrameIsLoggedOnceAndTheGameGoesOn)
{
    LoadMenu();
    LogCapture log;
    CEGUI::Window* title = mGui.GetWindow("Title");
    ASSERT_NE(title, nullptr);
    // A window that still reads markup (its own parser), as a fault would.
    static CEGUI::BasicRenderedStringParser markup;
    title->setCustomRenderedStringParser(&markup);
    title->setText("[font='Nope']boum");
    const unsigned before = GuiGuardFailures();
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_FALSE(GuiGuard("render", [] { CEGUI::System::getSingleton().renderAllGUIContexts(); }));
        mGui.Update();
    }
    EXPECT_EQ(GuiGuardFailures(), before + 5);
    EXPECT_EQ(log.Count({"GUI error during the frame (render)", "Nope"}), 1);
    title->setCustomRenderedStringParser(nullptr);
    EXPECT_TRUE(GuiGuard("render", [] { CEGUI::System::getSingleton().renderAllGUIContexts(); }));
}
