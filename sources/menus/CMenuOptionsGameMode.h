// The options screen (mode 8): difficulty, sound-effects and music volumes
// (0..10), shadows on/off and texture quality high/low. Every change takes
// effect at once and is written to "SETTINGS"; there is nothing to undo, so
// "Valid" and "Back" both go to the demo menu, only their sounds differ. The
// screen's GUI lives exactly as long as the mode object.
#pragma once

#include <CGameMode.h>

namespace CEGUI {
class EventArgs;
}

class CMenuOptionsGameMode : public CGameMode {
public:
    static const char kLayout[];    // "CMenuOptions.layout"
    enum { VOLUME_MIN = 0, VOLUME_MAX = 10 };

    // Loads the layout and binds the buttons.
    explicit CMenuOptionsGameMode(int previousModeValue);
    ~CMenuOptionsGameMode() override;

    // Easy and Hard are shown but cannot be chosen.
    bool Init() override;
    void Update() override {}
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

    // The current choice of each group in the large font.
    void RefreshChoiceFonts();

    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args);
    bool OnBtnAmbMinus(const CEGUI::EventArgs& args);
    bool OnBtnAmbPlus(const CEGUI::EventArgs& args);
    bool OnBtnMusicMinus(const CEGUI::EventArgs& args);
    bool OnBtnMusicPlus(const CEGUI::EventArgs& args);
    bool OnBtnEasy(const CEGUI::EventArgs& args);
    bool OnBtnNormal(const CEGUI::EventArgs& args);
    bool OnBtnHard(const CEGUI::EventArgs& args);
    bool OnBtnShadowOn(const CEGUI::EventArgs& args);
    bool OnBtnShadowOff(const CEGUI::EventArgs& args);
    bool OnBtnTexturesHigh(const CEGUI::EventArgs& args);
    bool OnBtnTexturesLow(const CEGUI::EventArgs& args);

    bool IsShadowShownOn() const { return mShadowsOn != 0; }

    // The "SETTINGS" names the screen writes.
    static const char kSoundVolumeSetting[];   // "sound_vol"
    static const char kMusicVolumeSetting[];   // "music_vol"
    static const char kDifficultySetting[];    // "difficulty_level"

private:
    void DestroyGUI();
    void SetSoundVolume(int volume);
    void SetMusicVolume(int volume);
    void SetDifficulty(int level);
    void SetShadows(int on);
    void SetTextureQuality(int quality);

    unsigned char mShadowsOn = 0;
};
