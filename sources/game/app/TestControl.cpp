#include "TestControl.h"

#include "CGameMode.h"
#include "CMainApp.h"
#include "TestLanStart.h"
#include "TestLayout.h"
#include "TestReport.h"
#include "TestSelect.h"

#include <CAITaskScheduler.h>
#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <HalTimer.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kDefaultSection[] = "QUICKMATCHPARAMS";

// ---- virtual clock ---------------------------------------------------------
// With a fixed step every clock reading must follow the game, not the wall:
// the computer's time slices and every "ms since" test then run the same way
// on any machine. Each reading still moves on by one tick so that a loop that
// waits on the clock within a frame ends.
uint32_t gFixedStep = 0;
uint32_t gVirtualFrame = 1000;
uint32_t gVirtualNow = 1000;

uint32_t VirtualClock() { return gVirtualNow++; }

// The computer's scheduler reads its clock after every step of a task's first
// frame: at 1 ms a reading its 400 ms searches would end after a few hundred
// candidates, where on a real clock at the game's frame rate they test every
// one. Its clock stands at the frame's time and moves 1 ms per this many
// readings: a search completes as in play, and a task that never finishes
// still meets its budget within a few frames.
const uint32_t kAIReadingsPerMs = 10000;
uint32_t gAIReadings = 0;

uint32_t AIVirtualClock() { return gVirtualNow + gAIReadings++ / kAIReadingsPerMs; }

// ---- commands --------------------------------------------------------------
struct Command {
    std::string verb;
    std::string argument;
};

std::string gControlDir;
std::streamoff gCommandOffset = 0;
std::deque<Command> gCommands;

// The click, key, press, release or wait in progress: each phase waits until
// SDL saw the previous one. A press leaves the button down until a release,
// so a gauge can be held; a wait lets game time pass between them, so that
// commands queued together run the same frames on every machine.
enum Phase { PHASE_IDLE, PHASE_MOVED, PHASE_PRESSED, PHASE_RELEASED, PHASE_WAITING };
Phase gPhase = PHASE_IDLE;
Command gCurrent;
int gPhaseFrames = 0;
int gTargetX = 0, gTargetY = 0;
unsigned gKeyCode = 0;
const int kPhaseMinFrames = 2;
const int kPhaseMaxFrames = 120;
uint32_t gWaitStart = 0, gWaitMs = 0;
// Screenshots wait for the frame's picture: before it, the window holds the
// last frame's, drawn before the last update changed the windows (or, in a
// mode's first frame, the last mode's picture), so picture and layout differed.
std::vector<std::string> gPendingShots;
// A wait on game time that stands still ends after this many frames.
const int kWaitMaxFrames = 3000;

// A ball whose position was NaN: reported once until it is sound again.
bool gNanReported[13] = {};
// How many ball nodes the scan found last ("balls <n>" when it changes).
int gBallsFound = 0;

bool ParseInt(const char* text, long& value) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end && *end == '\0';
}

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

SDL_Window* MainSdlWindow(SDL_SysWMinfo* info) {
    const PlatWindowHandle handle = PlatGetMainWindow();
    if (!handle)
        return nullptr;
    // SDL numbers windows from 1; the game has one or two.
    for (Uint32 id = 1; id < 16; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (!window)
            continue;
        SDL_SysWMinfo wm;
        SDL_VERSION(&wm.version);
        if (SDL_GetWindowWMInfo(window, &wm) && wm.subsystem == SDL_SYSWM_X11 &&
            PlatWindowHandle(wm.info.x11.window) == handle) {
            if (info)
                *info = wm;
            return window;
        }
    }
    return nullptr;
}

// The event goes to the game's own X connection as the server would send it:
// SDL turns it into its mouse or key state, and the input layer reads that.
bool SendXEvent(int type, unsigned detail) {
    SDL_SysWMinfo wm;
    if (!MainSdlWindow(&wm))
        return false;
    Display* display = wm.info.x11.display;
    const Window window = wm.info.x11.window;
    XEvent event{};
    if (type == ButtonPress || type == ButtonRelease) {
        XButtonEvent& b = event.xbutton;
        b.type = type;
        b.display = display;
        b.window = window;
        b.root = DefaultRootWindow(display);
        b.time = CurrentTime;
        b.x = gTargetX;
        b.y = gTargetY;
        b.same_screen = True;
        b.button = detail;
        b.state = type == ButtonRelease ? Button1Mask : 0;
    } else {
        XKeyEvent& k = event.xkey;
        k.type = type;
        k.display = display;
        k.window = window;
        k.root = DefaultRootWindow(display);
        k.time = CurrentTime;
        k.same_screen = True;
        k.keycode = detail;
    }
    const Status sent = XSendEvent(display, window, True, NoEventMask, &event);
    XFlush(display);
    return sent != 0;
}

bool LeftButtonDown() { return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0; }

bool PointerAtTarget() {
    SDL_Window* window = MainSdlWindow(nullptr);
    if (!window)
        return false;
    int x = 0, y = 0, left = 0, top = 0;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_GetWindowPosition(window, &left, &top);
    return std::abs(x - left - gTargetX) <= 1 && std::abs(y - top - gTargetY) <= 1;
}

KeySym KeySymOf(const std::string& name) {
    static const struct {
        const char* name;
        KeySym sym;
    } kKeys[] = {{"escape", XK_Escape}, {"return", XK_Return}, {"space", XK_space}, {"left", XK_Left},
                 {"right", XK_Right},   {"up", XK_Up},         {"down", XK_Down},   {"tab", XK_Tab},
                 {"backspace", XK_BackSpace}};
    for (const auto& key : kKeys)
        if (name == key.name)
            return key.sym;
    if (name.size() == 1 && (std::islower(static_cast<unsigned char>(name[0])) || std::isdigit(static_cast<unsigned char>(name[0]))))
        return XStringToKeysym(name.c_str());
    long f = 0;
    if (name.size() >= 2 && name[0] == 'f' && ParseInt(name.c_str() + 1, f) && f >= 1 && f <= 12)
        return XK_F1 + KeySym(f - 1);
    return NoSymbol;
}

bool StartClick(const std::string& name) {
    CEGUI::Window* window = nullptr;
    try {
        window = gGUIMgr.GetWindow(name);
    } catch (const std::exception&) {
        window = nullptr;
    }
    if (!window) {
        TestReport("error click %s: no such window", name.c_str());
        return false;
    }
    if (!window->isEffectiveVisible()) {
        TestReport("error click %s: hidden", name.c_str());
        return false;
    }
    const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
    gTargetX = int(std::lround((area.d_min.d_x + area.d_max.d_x) * 0.5f));
    gTargetY = int(std::lround((area.d_min.d_y + area.d_max.d_y) * 0.5f));
    SDL_Window* sdl = MainSdlWindow(nullptr);
    if (!sdl) {
        TestReport("error click %s: no main window", name.c_str());
        return false;
    }
    SDL_WarpMouseInWindow(sdl, gTargetX, gTargetY);
    // A window drawn over the target's centre takes the click: said, so that
    // a test can tell a click that never reached its window.
    if (CEGUI::System* system = CEGUI::System::getSingletonPtr()) {
        CEGUI::Window* root = system->getDefaultGUIContext().getRootWindow();
        const CEGUI::Window* hit =
            root ? root->getTargetChildAtPosition(CEGUI::Vector2f(float(gTargetX), float(gTargetY))) : nullptr;
        if (hit && hit != window && !hit->isAncestor(window))
            TestReport("covered %s by %s", name.c_str(), hit->getName().c_str());
    }
    return true;
}

bool StartKey(const std::string& name) {
    SDL_SysWMinfo wm;
    SDL_Window* sdl = MainSdlWindow(&wm);
    const KeySym sym = KeySymOf(name);
    if (!sdl || sym == NoSymbol) {
        TestReport("error key %s: %s", name.c_str(), sdl ? "unknown key" : "no main window");
        return false;
    }
    gKeyCode = XKeysymToKeycode(wm.info.x11.display, sym);
    if (!gKeyCode) {
        TestReport("error key %s: no key code", name.c_str());
        return false;
    }
    // Keys only count while the window has the keyboard focus.
    SDL_SetWindowInputFocus(sdl);
    return SendXEvent(KeyPress, gKeyCode);
}

Ogre::RenderWindow* FirstRenderWindow() {
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    Ogre::RenderSystem* system = root ? root->getRenderSystem() : nullptr;
    if (!system)
        return nullptr;
    Ogre::RenderSystem::RenderTargetIterator targets = system->getRenderTargetIterator();
    while (targets.hasMoreElements())
        if (Ogre::RenderWindow* window = dynamic_cast<Ogre::RenderWindow*>(targets.getNext()))
            return window;
    return nullptr;
}

void Screenshot(const std::string& file) {
    const std::string path = !file.empty() && file[0] == '/' ? file : gControlDir + "/" + file;
    Ogre::RenderWindow* window = FirstRenderWindow();
    if (!window) {
        TestReport("error screenshot %s: no render window", file.c_str());
        return;
    }
    try {
        window->writeContentsToFile(path);
        if (!WriteTestLayout(path + ".layout"))
            PlatLog("TestControl: no layout beside %s", path.c_str());
        TestReport("screenshot %s", file.c_str());
    } catch (const std::exception& e) {
        TestReport("error screenshot %s: %s", file.c_str(), e.what());
    }
}

void ReadCommands() {
    std::ifstream in(gControlDir + "/commands.txt", std::ios::binary);
    if (!in)
        return;
    in.seekg(gCommandOffset);
    std::string line;
    // Only whole lines: the test may be writing the next one.
    while (in.good()) {
        const std::streamoff start = in.tellg();
        if (!std::getline(in, line) || in.eof()) {
            gCommandOffset = start;
            break;
        }
        gCommandOffset = in.tellg();
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t space = line.find(' ');
        Command command;
        command.verb = line.substr(0, space);
        command.argument = space == std::string::npos ? std::string() : Trim(line.substr(space + 1));
        gCommands.push_back(command);
    }
}

// "node <name>": where a scene node stands and whether it is shown, so that a
// test reads what a peer may have moved without photographing it.
void ReportNode(const std::string& name) {
    CKEMSceneNode* node = CKEMSceneGraph::FindNode(name.c_str());
    if (!node) {
        TestReport("node %s missing", name.c_str());
        return;
    }
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    node->GetPosition(position, 2);
    TestReport("node %s %.3f %.3f %.3f %s", name.c_str(), position.x, position.y, position.z,
               node->IsVisible() ? "shown" : "hidden");
}

// Runs the commands that take no frames, and starts the next click or key.
void StartCommands() {
    while (gPhase == PHASE_IDLE && !gCommands.empty()) {
        gCurrent = gCommands.front();
        gCommands.pop_front();
        const std::string& verb = gCurrent.verb;
        if (verb == "quit") {
            TestReport("quit");
            if (g_pMainApp)
                g_pMainApp->RequestClose();
        } else if (verb == "screenshot") {
            gPendingShots.push_back(gCurrent.argument);
        } else if (verb == "click" || verb == "press") {
            if (StartClick(gCurrent.argument))
                gPhase = PHASE_MOVED;
        } else if (verb == "release") {
            SendXEvent(ButtonRelease, Button1);
            gPhase = PHASE_RELEASED;
        } else if (verb == "wait") {
            long ms = 0;
            if (ParseInt(gCurrent.argument.c_str(), ms) && ms >= 0) {
                gWaitStart = gTimer.GetTimeMs();
                gWaitMs = uint32_t(ms);
                gPhase = PHASE_WAITING;
            } else {
                TestReport("error wait %s: not a time in ms", gCurrent.argument.c_str());
            }
        } else if (verb == "select") {
            TestSelect(gCurrent.argument);
        } else if (verb == "node") {
            ReportNode(gCurrent.argument);
        } else if (verb == "key") {
            if (StartKey(gCurrent.argument))
                gPhase = PHASE_PRESSED;
        } else {
            TestReport("error unknown command %s", verb.c_str());
        }
        gPhaseFrames = 0;
    }
}

void AdvanceInput() {
    if (gPhase == PHASE_IDLE)
        return;
    ++gPhaseFrames;
    const bool isKey = gCurrent.verb == "key";
    const bool timedOut = gPhaseFrames > kPhaseMaxFrames;
    if (gPhaseFrames < kPhaseMinFrames)
        return;
    switch (gPhase) {
    case PHASE_MOVED:
        if (PointerAtTarget() || timedOut) {
            if (timedOut)
                PlatLog("TestControl: the pointer did not reach (%d, %d)", gTargetX, gTargetY);
            SendXEvent(ButtonPress, Button1);
            gPhase = PHASE_PRESSED;
            gPhaseFrames = 0;
        }
        break;
    case PHASE_PRESSED:
        if (isKey || LeftButtonDown() || timedOut) {
            if (timedOut && !isKey)
                PlatLog("TestControl: the button press on %s was not seen", gCurrent.argument.c_str());
            if (gCurrent.verb == "press") {
                // Held down until a release command.
                TestReport("pressed %s", gCurrent.argument.c_str());
                gPhase = PHASE_IDLE;
                gPhaseFrames = 0;
                break;
            }
            if (isKey)
                SendXEvent(KeyRelease, gKeyCode);
            else
                SendXEvent(ButtonRelease, Button1);
            gPhase = PHASE_RELEASED;
            gPhaseFrames = 0;
        }
        break;
    case PHASE_RELEASED:
        if (isKey || !LeftButtonDown() || timedOut) {
            if (timedOut && !isKey)
                PlatLog("TestControl: the button release after %s %s was not seen", gCurrent.verb.c_str(),
                        gCurrent.argument.c_str());
            if (gCurrent.verb == "release")
                TestReport("released");
            else
                TestReport("%s %s", isKey ? "keyed" : "clicked", gCurrent.argument.c_str());
            gPhase = PHASE_IDLE;
            gPhaseFrames = 0;
        }
        break;
    case PHASE_WAITING:
        if (gTimer.GetTimeMs() - gWaitStart >= gWaitMs || gPhaseFrames > kWaitMaxFrames) {
            if (gPhaseFrames > kWaitMaxFrames)
                PlatLog("TestControl: game time stood still during a wait of %u ms", gWaitMs);
            TestReport("waited %s", gCurrent.argument.c_str());
            gPhase = PHASE_IDLE;
            gPhaseFrames = 0;
        }
        break;
    case PHASE_IDLE:
        break;
    }
}

void ScanBalls() {
    static const char* const kNames[13] = {"cochonnet", "boule 1", "boule 2", "boule 3", "boule 4",
                                           "boule 5",   "boule 6", "boule 7", "boule 8", "boule 9",
                                           "boule 10",  "boule 11", "boule 12"};
    int found = 0;
    for (int i = 0; i < 13; ++i) {
        CKEMSceneNode* node = CKEMSceneGraph::FindNode(kNames[i]);
        if (!node)
            continue;
        ++found;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        node->GetPosition(position, 2);
        const bool nan = std::isnan(position.x) || std::isnan(position.y) || std::isnan(position.z);
        if (nan && !gNanReported[i])
            TestReport("nan %s", kNames[i]);
        gNanReported[i] = nan;
    }
    // Says which balls are watched, so that a silent scan is not mistaken for sound positions.
    if (found != gBallsFound) {
        gBallsFound = found;
        TestReport("balls %d", found);
    }
}

void ReadMatchFile(const char* path) {
    std::ifstream in(path);
    if (!in) {
        PlatLog("TestStartUp: no match file \"%s\"", path);
        TestReport("error match file %s", path);
        return;
    }
    std::string line;
    while (std::getline(in, line)) {
        char section[32], name[32], value[256];
        if (!ParseTestSetting(line.c_str(), section, name, value))
            continue;
        if (CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable(section, name, true))
            variable->SetFromText(value);
    }
}

}  // namespace

bool ParseTestSetting(const char* line, char (&section)[32], char (&name)[32], char (&value)[256]) {
    const std::string text = Trim(line ? line : "");
    if (text.empty() || text[0] == '#')
        return false;
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    std::string key = Trim(text.substr(0, equals));
    const std::string val = Trim(text.substr(equals + 1));
    std::string sec = kDefaultSection;
    const size_t dot = key.find('.');
    if (dot != std::string::npos) {
        sec = key.substr(0, dot);
        key = key.substr(dot + 1);
    }
    // The store takes names of at most 31 characters.
    if (sec.empty() || key.empty() || sec.size() >= sizeof section || key.size() >= sizeof name ||
        val.size() >= sizeof value)
        return false;
    std::snprintf(section, sizeof section, "%s", sec.c_str());
    std::snprintf(name, sizeof name, "%s", key.c_str());
    std::snprintf(value, sizeof value, "%s", val.c_str());
    return true;
}

int TestStartUp(int defaultMode) {
    gControlDir = TestControlDir();
    long value = 0;
    if (ParseInt(std::getenv("TAVIRELO_TEST_SEED"), value))
        KemSrand(static_cast<unsigned int>(value));
    if (const char* match = std::getenv("TAVIRELO_TEST_MATCH"))
        ReadMatchFile(match);
    const int toss = TestToss();
    if (toss >= 0)
        if (CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable(kDefaultSection, "PILE_OU_FACE", true))
            variable->SetInt(toss + 1);
    if (ParseInt(std::getenv("TAVIRELO_TEST_FIXED_STEP_MS"), value) && value > 0 && value <= 1000) {
        gFixedStep = uint32_t(value);
        gVirtualFrame = gVirtualNow = 1000;
        HalSetTimeSource(&VirtualClock);
        g_AITaskScheduler.SetClock(&AIVirtualClock);
        gTimer.SetFixedStep(float(gFixedStep));
        gTimer.Reset();
    }
    int mode = defaultMode;
    if (ParseInt(std::getenv("TAVIRELO_TEST_START_MODE"), value)) {
        if (value >= 0 && value < GAME_MODE_COUNT)
            mode = int(value);
        else
            PlatLog("TestStartUp: no mode %ld: the run starts as usual", value);
    }
    TestLanStartUp(gFixedStep != 0);
    return mode;
}

uint32_t TestFixedStepMs() { return gFixedStep; }

void TestFrameStart() {
    if (!gFixedStep)
        return;
    // Never back: a frame that read the clock more often than its step
    // pushes the next frame's start on.
    gVirtualFrame += gFixedStep;
    if (int32_t(gVirtualNow - gVirtualFrame) > 0)
        gVirtualFrame = gVirtualNow;
    gVirtualNow = gVirtualFrame;
    gAIReadings = 0;
}

void TestFrameServices() {
    if (gControlDir.empty())
        return;
    ReadCommands();
    AdvanceInput();
    StartCommands();
    ScanBalls();
}

namespace {

int CountNodes(const CKEMSceneNode* node) {
    if (!node)
        return 0;
    int count = 1;
    for (const CKEMSceneNode* child : node->GetChildren())
        count += CountNodes(child);
    return count;
}

}  // namespace

void TestFrameRendered() {
    for (const std::string& file : gPendingShots)
        Screenshot(file);
    gPendingShots.clear();
}

void TestModeEntered(int modeId) {
    TestReport("mode %d", modeId);
    // What the last mode left: scene nodes, computer tasks, sound sources.
    TestReport("leftovers nodes %d ai %zu sounds %d", CountNodes(CKEMSceneGraph::GetRootNode()),
               g_AITaskScheduler.GetTaskCount(), gSoundMgr.GetPool().GetSourceCount());
}
