// The boot screens, the first mode of the run: two full-screen overlays
// ("MENU_BootScreen1", then "MENU_BootScreen2"), each fading in for two
// seconds, held, fading out, and gone after seven whole seconds; then the
// demo menu. Escape skips to the demo menu at any time.
#pragma once

#include <CGameMode.h>

#include <cstdint>
#include <string>

class CBootGameMode : public CGameMode {
public:
    // Mode value 1.
    explicit CBootGameMode(int previousModeValue);
    ~CBootGameMode() override;

    // Ambient light (0.6, 0.6, 0.55); the first screen starts now.
    bool Init() override;
    void Update() override;
    bool Exit() override { return true; }
    CGameMode* GetSelf() override { return this; }

    // One frame of a screen: its brightness follows the whole seconds e since
    // the screen started (fade in below 2, full between 2 and 4, fade out
    // above 4); the overlay element is tinted with it and the overlay shown.
    // True, touching nothing, from 7 whole seconds on.
    bool FadeOverlay(const std::string& overlay, const std::string& element);

    bool IsScreen1Done() const { return mScreen1Done != 0; }
    bool IsScreen2Done() const { return mScreen2Done != 0; }
    float GetBrightness() const { return mBrightness; }
    int64_t GetScreenStart() const { return mScreenStart; }

    // The input channel of the Escape key (its keyboard scan code).
    static const int kEscapeChannel = 1;

private:
    unsigned char mScreen1Done = 0;
    unsigned char mScreen2Done = 0;
    int64_t mScreenStart = 0;   // game time in whole seconds
    float mBrightness = 0.0f;
    bool mMissingReported = false;
};
