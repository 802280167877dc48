#include "TestSelect.h"

#include "TestReport.h"

#include <CGUIMgr.h>

#include <CEGUI/CEGUI.h>

#include <cstdlib>
#include <exception>

namespace {

bool Refuse(const std::string& window, const char* why) {
    TestReport("error select %s: %s", window.c_str(), why);
    return false;
}

}  // namespace

bool TestSelect(const std::string& argument) {
    const size_t space = argument.rfind(' ');
    const std::string window = space == std::string::npos ? argument : argument.substr(0, space);
    char* end = nullptr;
    const long n = space == std::string::npos ? -1 : std::strtol(argument.c_str() + space + 1, &end, 10);
    if (space == std::string::npos || !end || *end != '\0' || n < 0)
        return Refuse(window, "usage: select <window> <n>");
    CEGUI::Window* w = nullptr;
    try {
        w = gGUIMgr.GetWindow(window);
    } catch (const std::exception&) {
        w = nullptr;
    }
    if (!w)
        return Refuse(window, "no such window");
    if (!w->isEffectiveVisible())
        return Refuse(window, "hidden");
    if (w->isEffectiveDisabled())
        return Refuse(window, "disabled");
    if (auto* combo = dynamic_cast<CEGUI::Combobox*>(w)) {
        for (size_t i = 0; i < combo->getItemCount(); ++i) {
            CEGUI::ListboxItem* item = combo->getListboxItemFromIndex(i);
            if (!item || long(item->getID()) != n)
                continue;
            combo->clearAllSelections();
            combo->setItemSelectState(item, true);
            combo->setText(item->getText());
            CEGUI::WindowEventArgs args(combo);
            combo->fireEvent(CEGUI::Combobox::EventListSelectionAccepted, args, CEGUI::Combobox::EventNamespace);
            TestReport("selected %s %ld", window.c_str(), n);
            return true;
        }
        return Refuse(window, "no item with that id");
    }
    if (auto* list = dynamic_cast<CEGUI::Listbox*>(w)) {
        if (size_t(n) >= list->getItemCount())
            return Refuse(window, "no item at that place");
        list->clearAllSelections();
        list->setItemSelectState(size_t(n), true);
        TestReport("selected %s %ld", window.c_str(), n);
        return true;
    }
    return Refuse(window, "not a list");
}
