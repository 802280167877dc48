// Small helpers over the lobby's CEGUI widgets: list and combobox items drawn
// light and selected on red, choices by item id, enabling, and the window blinks.
#pragma once

#include <string>

namespace CEGUI {
class Combobox;
class Listbox;
class ListboxItem;
class Window;
}  // namespace CEGUI

namespace lobby {

CEGUI::Window* Window(const char* name);
CEGUI::Combobox* Combo(const char* name);
CEGUI::Listbox* List(const char* name);

// One text item (light, selected on red) at the end of the list; data may be null.
CEGUI::ListboxItem* AddListItem(CEGUI::Listbox* list, const std::string& text, int id, void* data = nullptr);
CEGUI::ListboxItem* AddComboItem(CEGUI::Combobox* combo, const std::string& text, int id);
// Empties the combobox and shows the text as its prompt.
void ResetCombo(const char* name, const std::string& prompt);
// Shows the prompt with no item chosen.
void ClearComboChoice(const char* name, const std::string& prompt);
// The chosen item's id, -1 when none.
int ComboChoice(const char* name);

void SetText(const char* window, const std::string& text);
// A text that holds what another machine or the player wrote (names, chat).
void SetPlainText(const char* window, const std::string& text);
void Enable(const char* window, bool enable);
void Show(const char* window, bool show);

void StartBlink(const char* window);
void StopBlink(const char* window);

}  // namespace lobby
