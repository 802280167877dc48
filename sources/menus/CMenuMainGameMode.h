// The title menu of the full game (mode 2): quick-match set-up, training
// set-up, the competitions (career, championship, cup) on a second page, the
// options, and quitting after a confirmation. The pages are frames of one
// layout; button handlers name the next mode and end this one.
#pragma once

#include <CGameMode.h>

namespace CEGUI {
class EventArgs;
}

class CMenuMainGameMode : public CGameMode {
public:
    static const char kLayout[];   // "tavirelo_menu0.layout"

    explicit CMenuMainGameMode(int previousModeValue);

    bool Init() override;
    // Escape going down this frame opens the quit confirmation.
    void Update() override;
    bool Exit() override { return ExitMenu(); }
    CGameMode* GetSelf() override { return this; }

    void ShowQuitFrame();

    bool OnBtnQuickMatch(const CEGUI::EventArgs& args);
    bool OnBtnTraining(const CEGUI::EventArgs& args);
    bool OnBtnCompetition(const CEGUI::EventArgs& args);
    bool OnBtnOptions(const CEGUI::EventArgs& args);
    bool OnBtnQuit(const CEGUI::EventArgs& args);
    bool OnBtnQuitConfirm(const CEGUI::EventArgs& args);
    bool OnBtnReturn(const CEGUI::EventArgs& args);
    bool OnBtnCareer(const CEGUI::EventArgs& args);
    bool OnBtnChampionship(const CEGUI::EventArgs& args);
    bool OnBtnCup(const CEGUI::EventArgs& args);
    bool OnBtnMenu(const CEGUI::EventArgs& args);

    // What the main and the demo menu share.
    // Every GUI window and every overlay goes. True.
    static bool ExitMenu();
    // The start of both menus before their own windows: the chosen difficulty
    // comes into play, the HUD's overlay groups are rebuilt, the layout is
    // loaded and the menu and match parameters of the settings store go
    // (the user's sections stay: the application saves them at shutdown).
    static void BeginMenu();
    // After the windows: first page shown, Escape bound, the LAN session
    // closed, the coin toss and previous-game keys reset, loading screen hidden.
    static void EndMenuInit(const char* backgroundOverlay);
    // Valid sound, then the options mode.
    static void GoToOptions(CGameMode& mode);
};
