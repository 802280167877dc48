// The credits roll after the last step of a tournament: one text window per
// line of the credits table, built below the screen, rising every frame until
// the last line has left the top or the player clicks.
#pragma once

#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class Window;
}

class CHUDCredits {
public:
    static const char kTable[];          // "../../mediaDemo/Data/Credits_DB.csv"
    static const char kLayout[];         // "credits.layout"
    static const char kWindowPrefix[];   // "creditsText"
    // Screen heights a millisecond of game time.
    static constexpr float kSpeed = 0.000065f;
    static constexpr float kStartY = 0.9f;
    static constexpr float kEndThreshold = -0.35f;

    explicit CHUDCredits(const std::string& table = kTable);
    // Destroys every window and forgets the lines.
    ~CHUDCredits();
    CHUDCredits(const CHUDCredits&) = delete;
    CHUDCredits& operator=(const CHUDCredits&) = delete;

    // One frame of the roll (nothing on the first frame, nothing once finished).
    void Update();
    bool OnClicked(const CEGUI::EventArgs& args);

    const std::vector<CEGUI::Window*>& GetLines() const { return mLines; }
    float GetLastLinePosition() const { return mLastLinePosition; }

    bool mFinished = false;

private:
    enum Style { STYLE_TITLE, STYLE_HEADING, STYLE_NAME };
    // y grows by the style's advance, then the line's window is made at y.
    void AddLine(Style style, int row, const std::string& text, float& y);
    // "creditsText<number>"; a number already taken (tables of 100 rows and
    // more) gets a suffix so every window's name stays unique.
    std::string UniqueName(long long number);
    void ClearLines();

    std::vector<CEGUI::Window*> mLines;
    std::vector<std::string> mNames;
    float mScrollStep = 0.0f;
    float mEndThreshold = kEndThreshold;
    float mLastLinePosition = kStartY;
    bool mFirstFrame = true;
};
