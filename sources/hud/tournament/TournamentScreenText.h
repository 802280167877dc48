// Window helpers shared by the tournament screens: texts, colours, team lines
// and their highlight.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace CEGUI {
class Window;
}

namespace TournamentScreen {

const uint32_t kRed = 0xFFFF0000u;
const uint32_t kGreen = 0xFF00FF00u;
const int kWinningScore = 13;

// "<prefix><n>", as the layouts number their windows.
std::string Numbered(const char* prefix, int n);
// The window's text, when it exists.
void SetText(const std::string& window, const std::string& text);
// The window's text colour (all four corners), when it exists.
void SetTextColour(const std::string& window, uint32_t argb);
// The text broken into lines that fit `width` (as `measure` gives a line's
// width), only between words: at a space (dropped) or after a hyphen (kept).
// A word wider than the width stays whole on a line of its own.
std::string BreakBetweenWords(const std::string& text, float width,
                              const std::function<float(const std::string&)>& measure);
// A team's name in the window, broken between its words to the window's
// width in its font: the GUI's own wrapping cuts a word that does not fit,
// and names such as "Provence-Alpes-Cote-d-Azur" are one word to it.
void SetTeamName(const std::string& window, const std::string& name);
// A score as the team lines show it: nothing when not played, at most "13".
std::string ScoreText(int32_t score);
// The team's players, each on a line of its own after the current text, the
// line red and blinking. Empty player names are skipped only on request.
void Highlight(const std::string& window, const std::string players[3], bool skipEmptyNames);
// Stops the blinks of "<prefix>1" to "<prefix><last>".
void StopBlinks(const char* prefix, int last);
}  // namespace TournamentScreen
