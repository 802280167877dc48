#include "LobbyWidgets.h"

#include "../MenuServices.h"

#include <CGUIMgr.h>
#include <GuiPlainText.h>

#include <CEGUI/CEGUI.h>

namespace lobby {

namespace {
// Light text: black would vanish on the skin's dark lists. The chosen item
// lies on an opaque red brush.
const CEGUI::argb_t kItemColour = 0xFFFFFFFF;
const CEGUI::argb_t kSelectedColour = 0xFFFF0000;
const char kSelectionBrush[] = "TaharezLook/MultiListSelectionBrush";
const char kItemFont[] = "lucida-9";

// Chat lines, players' and games' names come from other machines: every
// item shows its text as it is, on one line.
CEGUI::ListboxTextItem* MakeItem(const std::string& text, int id, void* data) {
    auto* item = new CEGUI::ListboxTextItem(GuiPlainText(text), static_cast<CEGUI::uint>(id), data, false, true);
    GuiPlainItem(*item);
    item->setTextColours(CEGUI::Colour(kItemColour));
    item->setSelectionColours(CEGUI::Colour(kSelectedColour));
    if (CEGUI::ImageManager::getSingleton().isDefined(kSelectionBrush))
        item->setSelectionBrushImage(kSelectionBrush);
    if (CEGUI::FontManager::getSingleton().isDefined(kItemFont))
        item->setFont(kItemFont);
    return item;
}
}  // namespace

CEGUI::Window* Window(const char* name) { return gGUIMgr.GetWindow(name); }

CEGUI::Combobox* Combo(const char* name) { return dynamic_cast<CEGUI::Combobox*>(Window(name)); }

CEGUI::Listbox* List(const char* name) { return dynamic_cast<CEGUI::Listbox*>(Window(name)); }

CEGUI::ListboxItem* AddListItem(CEGUI::Listbox* list, const std::string& text, int id, void* data) {
    if (!list)
        return nullptr;
    CEGUI::ListboxTextItem* item = MakeItem(text, id, data);
    list->addItem(item);
    return item;
}

CEGUI::ListboxItem* AddComboItem(CEGUI::Combobox* combo, const std::string& text, int id) {
    if (!combo)
        return nullptr;
    CEGUI::ListboxTextItem* item = MakeItem(text, id, nullptr);
    combo->addItem(item);
    return item;
}

void ResetCombo(const char* name, const std::string& prompt) {
    if (CEGUI::Combobox* combo = Combo(name)) {
        combo->resetList();
        combo->setText(prompt);
    }
}

void ClearComboChoice(const char* name, const std::string& prompt) {
    if (CEGUI::Combobox* combo = Combo(name)) {
        combo->clearAllSelections();
        combo->setText(prompt);
    }
}

int ComboChoice(const char* name) {
    CEGUI::Combobox* combo = Combo(name);
    CEGUI::ListboxItem* item = combo ? combo->getSelectedItem() : nullptr;
    return item ? static_cast<int>(item->getID()) : -1;
}

void SetText(const char* window, const std::string& text) { SetWindowText(window, text); }

void SetPlainText(const char* window, const std::string& text) { GuiSetPlainText(Window(window), text); }

void Enable(const char* window, bool enable) {
    if (CEGUI::Window* w = Window(window))
        w->setEnabled(enable);
}

void Show(const char* window, bool show) { gGUIMgr.Show(window, show); }

void StartBlink(const char* window) {
    if (MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(window);
}

void StopBlink(const char* window) {
    if (MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(window);
}

}  // namespace lobby
