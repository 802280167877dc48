// The throw-control panel of the match HUD: pointing or shooting, one of three
// release angles, the spin and the start of the throw, with the radar arrows
// that turn the aim, the two camera buttons and the player frames that choose
// the thrower. Transparent buttons of the match layout take the mouse; the
// pictures under them are overlay elements of the HUD overlays.
//
// The panel mirrors the throw options the referee owns (the thrower's throw
// mode, the aiming guide's angle and speed, the current ball's spin) and
// publishes every change it makes through CHudGameSource::SetShootOptions.
// On a computer or LAN turn it takes no input and mirrors the options chosen
// elsewhere (SyncAngleFromAim).
#pragma once

#include <CEGUI/Event.h>
#include <OgreColourValue.h>

#include <cstdint>
#include <string>
#include <vector>

class CHudGameSource;

class CHUDMatch {
public:
    // The match windows must be loaded: subscribes the buttons' mouse events
    // and starts with the start picture disabled.
    CHUDMatch();
    // Drops the subscriptions, so windows that outlive the panel never call
    // into a deleted one.
    ~CHUDMatch();
    CHUDMatch(const CHUDMatch&) = delete;
    CHUDMatch& operator=(const CHUDMatch&) = delete;

    // A new throw: no angle, no spin, start disabled, chaser on, unlocked,
    // pictures and labels of the thrower's mode.
    void Refresh(CHudGameSource* gameMaster);
    // Follows the thrower's throw mode; redraws it every call on a turn that
    // is not the local human's.
    void RefreshAngleButtons();
    void ShowPointingChoice();
    void ShowShootingChoice();
    void RefreshRoleButtons();
    void RefreshAnglePictures();
    // Draw one angle as chosen; the choice itself is not changed.
    void SetAngle1State();
    void SetAngle2State();
    void SetAngle3State();
    void SetSpinIcon();
    // Only a change of state redraws the start picture.
    void SetStartButtonState(bool enabled);
    // One step of the angle chaser, at most once per calendar second.
    void BlinkAngleButtons();
    // Mirrors the angle, mode and spin that the computer or a LAN peer set.
    void SyncAngleFromAim();

    // ---- mouse handlers; every one returns true ----
    bool OnPointerClicked(const CEGUI::EventArgs& args);
    bool OnShooterClicked(const CEGUI::EventArgs& args);
    bool OnAngle1Clicked(const CEGUI::EventArgs& args);
    bool OnAngle2Clicked(const CEGUI::EventArgs& args);
    bool OnAngle3Clicked(const CEGUI::EventArgs& args);
    bool OnSpinClicked(const CEGUI::EventArgs& args);
    bool OnPlayerInfoClicked(const CEGUI::EventArgs& args);
    bool OnRadarArrowDown(const CEGUI::EventArgs& args);
    bool OnRadarArrowUp(const CEGUI::EventArgs& args);
    bool OnCameraZoomClicked(const CEGUI::EventArgs& args);
    bool OnMouseEnters(const CEGUI::EventArgs& args);
    bool OnMouseLeaves(const CEGUI::EventArgs& args);

    // Tints: half texture, half colour on the first texture unit of the
    // picture's material; untinting returns to the plain look.
    static void TintPicture(const std::string& element, const Ogre::ColourValue& colour);
    static void UntintPicture(const std::string& element);

    static const Ogre::ColourValue kHoverColour;
    static const Ogre::ColourValue kChaserColour;
    static const Ogre::ColourValue kDisabledColour;

    // Calendar time in whole seconds; tests replace it.
    static int64_t (*sClock)();

    CHudGameSource* mGameMaster = nullptr;   // not owned; set by Refresh
    int32_t mAngleChoice = 0;                // 0 none yet, else 1..3
    bool mBlinkOn = false;                   // the angle chaser may run
    int32_t mThrowMode = 1;                  // 1 pointing, 0 shooting
    int32_t mSpin = 0;                       // 0 none, 1 centre, 2 left, 3 right
    bool mStartHover = false;                // over the start button, angle chosen, before the ball leaves
    bool mStartEnabled = true;
    int64_t mBlinkStart = 0;                 // the chaser's last step
    int32_t mBlinkIndex = 1;                 // angle picture of the chaser's next step
    bool mLocked = false;                    // written by the match flow: option buttons ignore the mouse

private:
    void Subscribe();
    bool IsLocalTurn() const;
    int32_t LaunchStep() const;
    void SetAngle(int32_t choice);
    void SetThrowMode(int32_t mode, const CEGUI::EventArgs& args);
    void DrawModeLabels();

    std::vector<CEGUI::Event::Connection> mConnections;
};
