// Texts of the head-up display that must fit their window at the game's
// 640 x 480: a long name steps down through the smaller "lucida" sizes
// instead of running out of its window or into its neighbour.
#pragma once

namespace CEGUI {
class Window;
}

// Gives the window the font `preferred` ("lucida-<size>") or, when its text
// is wider than the window in that font, the largest smaller lucida size in
// which it fits (the smallest when none does). Fonts the GUI has not loaded
// are passed over. `padding` is the room the window's look keeps at each side.
void FitWindowFont(CEGUI::Window* window, const char* preferred, float padding = 4.0f);
