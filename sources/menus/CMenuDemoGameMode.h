// The title menu of the demo (mode 7): a one-player and a two-player quick
// match with fixed teams and venue, the options, and quit, which runs three
// end screens (faded in from black, held, faded out) before the program ends.
#pragma once

#include <CGameMode.h>

#include <cstdint>
#include <string>

namespace CEGUI {
class EventArgs;
}

class CMenuDemoGameMode : public CGameMode {
public:
    enum { END_SCREEN_COUNT = 3 };

    explicit CMenuDemoGameMode(int previousModeValue);

    bool Init() override;
    // Runs the quit sequence; Escape held ends the program during the second
    // and third end screens.
    void Update() override;
    bool Exit() override;
    CGameMode* GetSelf() override { return this; }

    // One frame of the end-screen sequence.
    void ShowEndScreens();
    // One frame of one end screen; true when it is over (14 whole seconds).
    bool FadeEndScreen(const std::string& overlay, const std::string& element);

    bool StartOnePlayerMatch(const CEGUI::EventArgs& args);
    bool StartTwoPlayerMatch(const CEGUI::EventArgs& args);
    bool OnBtnOptions(const CEGUI::EventArgs& args);
    bool OnBtnQuit(const CEGUI::EventArgs& args);

    // "_FR" for the French column of the language table, "_EN" otherwise.
    static const char* LanguageSuffix();

    float GetBrightness() const { return mBrightness; }
    int GetEndScreenIndex() const { return mEndScreenIndex; }
    bool IsQuitRequested() const { return mQuitRequested != 0; }
    bool AreEndScreensRunning() const { return mEndScreensRunning != 0; }
    int64_t GetEndScreenStart() const { return mEndScreenStart; }

private:
    int64_t mEndScreenStart = 0;   // game time in whole seconds
    float mBrightness = 0.0f;
    int mEndScreenIndex = 0;       // 0 before the sequence: Escape does nothing in the menu
    unsigned char mQuitRequested = 0;
    unsigned char mEndScreensRunning = 0;
    bool mMissingReported = false;
};
