// The game's main window: SDL2 stands in for the Win32 window. Its events are
// turned into the window messages of the platform queue (Platform.h): keys as
// Win32 virtual-key codes, characters, wheel words, size, focus, close and quit.
// The window handle is the X11 window id, the one the 3D engine renders into.
#pragma once

#include <cstdint>

typedef uintptr_t PlatWindowHandle;

// Creates the one main window with the given client size, hidden until
// PlatShowMainWindow, and installs its event feeder (PlatSetEventFeeder).
// Returns its handle, or 0 (logged) when no window can be made.
PlatWindowHandle PlatCreateMainWindow(const char* title, int clientWidth, int clientHeight);
void PlatShowMainWindow();
// Removes the feeder and closes the window; nothing when there is none.
void PlatDestroyMainWindow();
PlatWindowHandle PlatGetMainWindow();
// The window the 3D engine made inside the main window to render into: X
// errors that name it mean the main window is gone as well. Forgotten with
// the main window.
void PlatSetRenderChildWindow(PlatWindowHandle child);

// The client size as last recorded (creation, size events, PlatSetClientSize).
bool PlatGetClientSize(PlatWindowHandle window, int& width, int& height);
// Sizes the main window so that its client area is width x height. Full
// screen: a borderless window at (0, 0). False for any other window.
bool PlatSetClientSize(PlatWindowHandle window, int width, int height, bool fullScreen);

// The cursor's screen position and the client area's screen rectangle.
bool PlatGetCursorClientInfo(PlatWindowHandle window, int& cursorX, int& cursorY, int& clientLeft, int& clientTop,
                             int& clientWidth, int& clientHeight);

// The cursor held in the main window while the game captures it: confined
// to the window (false lets it go) and shown or hidden. Nothing without a
// main window.
void PlatClipCursor(bool clip);
void PlatShowCursor(bool show);
// Whether the main window has the keyboard focus.
bool PlatMainWindowHasFocus();
// Whether the X server reported the main window (or its render child) gone,
// destroyed by another client; errors about other clients' windows do not
// count. The feeder then queues one PLAT_EV_CLOSE, and X errors no longer
// end the process.
bool PlatMainWindowLost();

// Called from the feeder when the client area got a new size.
typedef void (*PlatResizeListener)(void* user, int width, int height);
void PlatSetResizeListener(PlatResizeListener listener, void* user);
// Removes the listener only when it is still the one installed with this user.
void PlatRemoveResizeListener(void* user);

// Raw key strokes for the 3D engine's frame listener: the keyboard scan code
// (DirectInput numbering), up or down, modifiers (PLAT_MOD_*).
enum PlatKeyModifier : uint32_t { PLAT_MOD_SHIFT = 1, PLAT_MOD_CTRL = 2, PLAT_MOD_ALT = 8 };
typedef void (*PlatKeyListener)(void* user, uint32_t scanCode, bool down, uint32_t modifiers);
void PlatSetKeyListener(PlatKeyListener listener, void* user);
// Removes the listener only when it is still the one installed with this user.
void PlatRemoveKeyListener(void* user);

// Key translation (SDL key and scan codes to Win32 virtual keys and to
// DirectInput scan codes); 0 for keys that have none.
uint32_t PlatVirtualKeyFromSdl(int sdlKeycode, int sdlScancode);
uint32_t PlatScanCodeFromSdl(int sdlScancode);

// Drains the SDL events into the platform queue. Installed as the feeder by
// PlatCreateMainWindow; tests may call it directly.
void PlatFeedWindowEvents();
