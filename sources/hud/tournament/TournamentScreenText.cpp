#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CWindowEffectMgr.h>
#include <KEMStringUtils.h>
#include <Platform.h>

#include <CEGUI/PropertyHelper.h>
#include <CEGUI/Window.h>

namespace TournamentScreen {

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

void SetText(const std::string& window, const std::string& text) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setText(text);
}

void SetTextColour(const std::string& window, uint32_t argb) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setProperty("TextColours",
                       CEGUI::PropertyHelper<CEGUI::ColourRect>::toString(CEGUI::ColourRect(CEGUI::Colour(argb))));
}

std::string ScoreText(int32_t score) {
    if (score < 0)
        return std::string();
    char text[16];
    PlatFormat(text, sizeof(text), "%i", score > kWinningScore ? kWinningScore : score);
    return text;
}

void Highlight(const std::string& window, const std::string players[3], bool skipEmptyNames) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w)
        return;
    std::string text = CEGUIStringToStdString(w->getText());
    for (int k = 0; k < 3; ++k) {
        if (skipEmptyNames && players[k].empty())
            continue;
        text += " \n " + players[k];
    }
    w->setText(text);
    SetTextColour(window, kRed);
    CWindowEffectMgr::StartEffect(window);
}

void StopBlinks(const char* prefix, int last) {
    for (int n = 1; n <= last; ++n)
        CWindowEffectMgr::StopEffect(Numbered(prefix, n));
}

}  // namespace TournamentScreen
