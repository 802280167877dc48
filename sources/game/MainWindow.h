// The game's main window: a 640 x 480 client area titled
// "Tavirelo Le Jeu du Dornavelle" (the window layer stands in for Win32), and
// the window layer's answer to GetCursorClientPosition.
#pragma once

#include "CMainApp.h"

// Creates the main window (hidden until shown) with its message feeder and
// installs the cursor provider. Returns the window handle (the X11 window id
// the 3D engine renders into), or null when no window can be made.
KEMWindowHandle CreateMainWindow();
// Closes the main window; nothing when there is none.
void DestroyMainWindow();

// The window handle as the engine framework takes it.
inline uintptr_t MainWindowId(KEMWindowHandle window) { return reinterpret_cast<uintptr_t>(window); }
