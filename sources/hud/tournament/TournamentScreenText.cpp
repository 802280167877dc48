#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CWindowEffectMgr.h>
#include <KEMStringUtils.h>
#include <Platform.h>

#include <CEGUI/Font.h>
#include <CEGUI/PropertyHelper.h>
#include <CEGUI/Window.h>

#include <vector>

namespace TournamentScreen {

namespace {
// Left and right margins of the skin's framed text area, in pixels.
const float kFrameMargins = 10.0f;
}  // namespace

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

std::string BreakBetweenWords(const std::string& text, float width,
                              const std::function<float(const std::string&)>& measure) {
    // Pieces that may end a line: each ends after a space or a hyphen.
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        piece += c;
        if (c == ' ' || c == '-') {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        pieces.push_back(piece);
    const auto trimmed = [](std::string line) {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        return line;
    };
    std::string result, line;
    for (const std::string& next : pieces) {
        if (!line.empty() && measure(trimmed(line + next)) > width) {
            result += trimmed(line) + "\n";
            line.clear();
        }
        line += next;
    }
    return result + trimmed(line);
}

void SetTeamName(const std::string& window, const std::string& name) {
    CEGUI::Window* w = gGUIMgr.GetWindow(window);
    if (!w)
        return;
    const CEGUI::Font* font = w->getFont();
    // A framed static text draws its text inside a margin of its skin.
    const bool framed = w->isPropertyPresent("FrameEnabled") && w->getProperty("FrameEnabled") == "true";
    const float width = w->getUnclippedInnerRect().get().getWidth() - (framed ? kFrameMargins : 0.0f);
    if (!font || width <= 0.0f) {
        w->setText(name);
        return;
    }
    w->setText(BreakBetweenWords(name, width, [font](const std::string& line) {
        return font->getTextExtent(CEGUI::String(line));
    }));
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
