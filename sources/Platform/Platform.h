// Our stand-in for the Win32 services the engine calls:
// clock, sleep, critical section, debug output, message box, the runtime's
// random generator, path separators and the window-message queue.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>

// ---- start-up --------------------------------------------------------------
// Puts the numeric locale back to "C" so atof("0.5") reads 0.5 whatever a
// library did to the locale. Safe to call any number of times.
void PlatInit();

// ---- clock and sleep -------------------------------------------------------
uint32_t PlatGetTimeMs();      // monotonic milliseconds, wraps at 2^32
double PlatGetTimeSeconds();   // monotonic seconds
void PlatSleep(uint32_t ms);
uint32_t PlatCurrentThreadId();

// ---- critical section ------------------------------------------------------
class PlatCriticalSection {
public:
    void Enter() { mMutex.lock(); }
    bool TryEnter() { return mMutex.try_lock(); }
    void Leave() { mMutex.unlock(); }
private:
    std::recursive_mutex mMutex;
};

// ---- debug output and log --------------------------------------------------
// Log lines go to stderr and, when set, to a callback. Formatting is bounded:
// long lines are truncated, never overflow.
typedef void (*PlatLogSink)(const char* line);
void PlatSetLogSink(PlatLogSink sink);
// Drops every log line (stderr and sink): for harnesses that feed millions
// of rejected inputs.
void PlatSetLogSilent(bool silent);
void PlatLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PlatLogV(const char* format, va_list args);
void PlatDebugOutput(const char* text);

// Bounded printf into a fixed buffer; always NUL-terminated, truncates.
int PlatFormat(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// ---- message box -----------------------------------------------------------
// Always logs caption and text. Shows a real dialog only when interactive
// boxes are allowed: a display is present, CI is not set, and neither the
// environment (TAVIRELO_NO_MESSAGEBOX) nor the program turned them off.
void PlatSetMessageBoxInteractive(bool allowed);
bool PlatMessageBoxIsInteractive();
void PlatMessageBox(const char* caption, const char* text);

// ---- random numbers --------------------------------------------------------
// The runtime generator every random draw uses: x = x*214013 + 2531011,
// result (x >> 16) & 0x7FFF, seed 1 until seeded. LAN peers reseed with 0 and
// rely on every machine producing the same sequence.
const int KEM_RAND_MAX = 0x7FFF;
int KemRand();
void KemSrand(unsigned int seed);

// ---- paths -----------------------------------------------------------------
// Turns the game's "..\\..\\media" style paths into "/" paths.
std::string PlatFixPath(const std::string& path);
bool PlatFileExists(const std::string& path);

// ---- window messages -------------------------------------------------------
// The queue the message pump drains. The window layer feeds it from the real
// window's events; tests push events directly.
enum PlatEventType {
    PLAT_EV_KEYDOWN,
    PLAT_EV_KEYUP,
    PLAT_EV_SYSKEYDOWN,
    PLAT_EV_SYSKEYUP,
    PLAT_EV_CHAR,
    PLAT_EV_MOUSEWHEEL,
    PLAT_EV_MOUSEMOVE,
    PLAT_EV_MOUSEBUTTON,
    PLAT_EV_SIZE,
    PLAT_EV_FOCUS,
    PLAT_EV_CLOSE,
    PLAT_EV_QUIT,
};

struct PlatEvent {
    PlatEventType type = PLAT_EV_QUIT;
    uint32_t wParam = 0;   // virtual key, character, wheel word, button...
    uint32_t lParam = 0;
    int x = 0, y = 0;      // mouse position or new client size
};

// Virtual-key codes the engine refers to (Win32 values).
enum PlatVirtualKey : uint32_t {
    PLAT_VK_BACK = 0x08, PLAT_VK_TAB = 0x09, PLAT_VK_RETURN = 0x0D,
    PLAT_VK_SHIFT = 0x10, PLAT_VK_CONTROL = 0x11, PLAT_VK_MENU = 0x12,
    PLAT_VK_ESCAPE = 0x1B, PLAT_VK_SPACE = 0x20,
    PLAT_VK_LEFT = 0x25, PLAT_VK_UP = 0x26, PLAT_VK_RIGHT = 0x27, PLAT_VK_DOWN = 0x28,
    PLAT_VK_DELETE = 0x2E, PLAT_VK_F1 = 0x70, PLAT_VK_F10 = 0x79, PLAT_VK_F12 = 0x7B,
};

typedef void (*PlatEventFeeder)();                       // fills the queue (window layer)
typedef void (*PlatEventDispatcher)(const PlatEvent&);   // the "window procedure"
void PlatSetEventFeeder(PlatEventFeeder feeder);
void PlatSetEventDispatcher(PlatEventDispatcher dispatcher);
void PlatFeedEvents();                     // asks the feeder for new events
void PlatPushEvent(const PlatEvent& ev);
bool PlatPeekEvent(PlatEvent& ev);         // removes the oldest event
void PlatDispatchEvent(const PlatEvent& ev);
void PlatClearEvents();
