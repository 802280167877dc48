// Texts that come from outside the game (a peer's name or chat line, a
// games-list answer, a save's names, a name the player typed) are shown as
// they are: never read as CEGUI markup, where "[font='x']" names a font that
// may not exist and throws from the middle of a frame, "[colour=...]" hides
// text and a newline fakes a second line. And GUI work that still throws
// during a frame is logged, never the end of the game.
#pragma once

#include <functional>
#include <string>

namespace CEGUI {
class ListboxTextItem;
class Window;
}  // namespace CEGUI

// The text with every control character (below 0x20, and 0x7F) shown as a
// blank: one line, whatever it holds.
std::string GuiPlainText(const std::string& text);
// The window shows the text verbatim, its markup parsing off.
void GuiSetPlainText(CEGUI::Window* window, const std::string& text);
// A list item shows its text verbatim (list items parse markup by default,
// whatever the windows do).
void GuiPlainItem(CEGUI::ListboxTextItem& item);

// Runs the GUI work; a CEGUI exception is logged (once for each distinct
// message, so a fault that repeats every frame does not flood the log) and
// the frame goes on. False when it threw.
bool GuiGuard(const char* where, const std::function<void()>& work);
// GUI exceptions caught so far (tests and the log's summary).
unsigned GuiGuardFailures();
