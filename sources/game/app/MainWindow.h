// The game's main window: a 640 x 480 client area titled
// "Tavirelo Le Jeu du Dornavelle" (the window layer stands in for Win32), its
// window procedure, the cursor capture while the window has the focus, and
// the window layer's answer to GetCursorClientPosition.
#pragma once

#include "CMainApp.h"

struct PlatEvent;

// Creates the main window (hidden until shown) with its message feeder and
// installs the cursor provider. Returns the window handle (the X11 window id
// the 3D engine renders into), or null when no window can be made.
KEMWindowHandle CreateMainWindow();
// Releases the cursor and closes the main window; nothing when there is none.
void DestroyMainWindow();

// The window handle as the engine framework takes it.
inline uintptr_t MainWindowId(KEMWindowHandle window) { return reinterpret_cast<uintptr_t>(window); }

// The window procedure (installed with PlatSetEventDispatcher; it runs inside
// HalPumpMessages). A close request (or the end of the session) ends the
// current game mode with the next mode id -1. The cursor is captured while
// the focused window has it: on a mouse move in a window, on the focus in
// full screen; focus loss and resizing release it.
void MainWndProc(const PlatEvent& ev);

// Whether the 3D engine runs full screen (its render system's "Full Screen"
// option is "Yes"). Asked of the engine once it is up, then remembered;
// false while it is not up.
bool IsFullScreen();

// Captures (clips and hides) or releases the mouse cursor. Each is done once:
// the cursor is hidden at most once and shown again exactly once.
void ClipCursorToWindow(bool capture);
// Confines the cursor to the main window's client area.
void ClipCursorToClientRect();
bool IsCursorCaptured();
