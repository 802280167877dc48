#include "GuiPlainText.h"

#include <Platform.h>

#include <CEGUI/CEGUI.h>

#include <set>

std::string GuiPlainText(const std::string& text) {
    std::string plain(text);
    for (char& c : plain) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = ' ';
    }
    return plain;
}

void GuiSetPlainText(CEGUI::Window* window, const std::string& text) {
    if (!window)
        return;
    window->setTextParsingEnabled(false);
    window->setText(GuiPlainText(text));
}

void GuiPlainItem(CEGUI::ListboxTextItem& item) { item.setTextParsingEnabled(false); }

namespace {
unsigned gFailures = 0;
}  // namespace

bool GuiGuard(const char* where, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const CEGUI::Exception& e) {
        ++gFailures;
        // A few distinct faults are remembered; past that, one line in a
        // thousand keeps the log readable.
        static std::set<std::string> logged;
        const std::string key = std::string(where) + ": " + e.what();
        if (logged.size() < 64 ? logged.insert(key).second : gFailures % 1000 == 1)
            PlatLog("GUI error during the frame (%s), the game goes on: %s", where, e.what());
        return false;
    }
}

unsigned GuiGuardFailures() { return gFailures; }
