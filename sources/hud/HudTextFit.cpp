#include "HudTextFit.h"

#include <Platform.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/Font.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/Window.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kFamily[] = "lucida-";
const int kSmallest = 6;

CEGUI::Font* Loaded(const std::string& name) {
    CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
    return fonts.isDefined(name) ? &fonts.get(name) : nullptr;
}

}  // namespace

void FitWindowFont(CEGUI::Window* window, const char* preferred, float padding) {
    if (!window || !preferred)
        return;
    int size = std::strncmp(preferred, kFamily, sizeof(kFamily) - 1) == 0
                   ? std::atoi(preferred + sizeof(kFamily) - 1)
                   : 0;
    CEGUI::Font* chosen = Loaded(preferred);
    const float room = window->getPixelSize().d_width - 2 * padding;
    const CEGUI::String& text = window->getText();
    // Only the lucida family has smaller sizes to step down to.
    for (; size >= kSmallest && (!chosen || chosen->getTextExtent(text) > room); --size)
        if (CEGUI::Font* smaller = Loaded(kFamily + std::to_string(size)))
            chosen = smaller;
    if (!chosen)
        return;
    try {
        window->setFont(chosen);
    } catch (const CEGUI::Exception& e) {
        PlatLog("HUD: font %s for %s: %s", chosen->getName().c_str(), window->getName().c_str(), e.what());
    }
}
