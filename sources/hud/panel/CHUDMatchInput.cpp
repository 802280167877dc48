// The mouse side of the throw-control panel: subscriptions and handlers.
#include "CHUDMatch.h"

#include "CHUDMgr.h"
#include "CHudGameSource.h"

#include <CAimGuide.h>
#include <CBall.h>
#include <CGUIMgr.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <LaunchSet.h>
#include <Platform.h>

#include <CEGUI/Window.h>

#include <vector>

namespace {

// The window that raised the event; an empty name for other arguments.
CEGUI::String SourceName(const CEGUI::EventArgs& args)
{
    const CEGUI::WindowEventArgs* windowArgs = dynamic_cast<const CEGUI::WindowEventArgs*>(&args);
    return windowArgs && windowArgs->window ? windowArgs->window->getName() : CEGUI::String();
}

// The picture that lies under each button.
const char* PictureOf(const CEGUI::String& button)
{
    static const struct {
        const char* button;
        const char* picture;
    } kPictures[] = {
        {"BtnShooter", "Hud_pointer"},
        {"BtnPointer", "Hud_tirer"},
        {"BtnAngle1", "Hud_angle1"},
        {"BtnAngle2", "Hud_angle2"},
        {"BtnAngle3", "Hud_angle3"},
        {"BtnEffet", "Hud_effet"},
        {"BtnStart", "Hud_start"},
        {"BtnLeft", "HUD/Radar/fleches/G"},
        {"BtnRight", "HUD/Radar/fleches/D"},
        {"BtnCamPlus", "HUD/Radar/cameraPlus"},
        {"BtnCamMoins", "HUD/Radar/cameraMoins"},
    };
    for (const auto& entry : kPictures)
        if (button == entry.button)
            return entry.picture;
    return nullptr;
}

const char* const kAnglePictures[3] = {"Hud_angle1", "Hud_angle2", "Hud_angle3"};

}  // namespace

void CHUDMatch::Subscribe()
{
    struct Binding {
        const char* window;
        const CEGUI::String& event;
        bool (CHUDMatch::*handler)(const CEGUI::EventArgs&);
    };
    const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
    const CEGUI::String& up = CEGUI::Window::EventMouseButtonUp;
    const CEGUI::String& click = CEGUI::Window::EventMouseClick;
    const CEGUI::String& enters = CEGUI::Window::EventMouseEntersSurface;
    const CEGUI::String& leaves = CEGUI::Window::EventMouseLeavesSurface;
    const char* const hovered[] = {"BtnPointer", "BtnShooter", "BtnAngle1", "BtnAngle2",
                                   "BtnAngle3", "BtnStart", "BtnEffet"};

    std::vector<Binding> bindings = {
        {"BtnPointer", down, &CHUDMatch::OnPointerClicked},
        {"BtnShooter", down, &CHUDMatch::OnShooterClicked},
        {"BtnAngle1", down, &CHUDMatch::OnAngle1Clicked},
        {"BtnAngle2", down, &CHUDMatch::OnAngle2Clicked},
        {"BtnAngle3", down, &CHUDMatch::OnAngle3Clicked},
        {"BtnEffet", down, &CHUDMatch::OnSpinClicked},
    };
    for (const char* window : hovered)
        bindings.push_back({window, enters, &CHUDMatch::OnMouseEnters});
    for (const char* window : hovered)
        bindings.push_back({window, leaves, &CHUDMatch::OnMouseLeaves});
    for (const char* window : {"infosP1", "infosP2", "infosP3"})
        bindings.push_back({window, down, &CHUDMatch::OnPlayerInfoClicked});
    for (const char* window : {"BtnLeft", "BtnRight"})
        bindings.push_back({window, down, &CHUDMatch::OnRadarArrowDown});
    for (const char* window : {"BtnLeft", "BtnRight"})
        bindings.push_back({window, up, &CHUDMatch::OnRadarArrowUp});
    for (const char* window : {"BtnLeft", "BtnRight"})
        bindings.push_back({window, enters, &CHUDMatch::OnMouseEnters});
    for (const char* window : {"BtnLeft", "BtnRight"})
        bindings.push_back({window, leaves, &CHUDMatch::OnMouseLeaves});
    for (const char* window : {"BtnCamPlus", "BtnCamMoins"})
        bindings.push_back({window, click, &CHUDMatch::OnCameraZoomClicked});
    for (const char* window : {"BtnCamPlus", "BtnCamMoins"})
        bindings.push_back({window, enters, &CHUDMatch::OnMouseEnters});
    for (const char* window : {"BtnCamPlus", "BtnCamMoins"})
        bindings.push_back({window, leaves, &CHUDMatch::OnMouseLeaves});

    for (const Binding& binding : bindings) {
        CEGUI::Window* window = gGUIMgr.GetWindow(binding.window);
        if (!window) {
            PlatLog("CHUDMatch: no window %s in the match layout", binding.window);
            continue;
        }
        mConnections.push_back(window->subscribeEvent(binding.event, CEGUI::Event::Subscriber(binding.handler, this)));
    }
}

CHUDMatch::~CHUDMatch()
{
    // A connection of a window already destroyed is no longer connected.
    for (CEGUI::Event::Connection& connection : mConnections)
        if (connection.isValid())
            connection->disconnect();
}

void CHUDMatch::SetThrowMode(int32_t mode, const CEGUI::EventArgs& args)
{
    mThrowMode = mode;
    LaunchSet* launch = mGameMaster->GetLaunchSet();
    CPlayer* thrower = mGameMaster->GetCurrentPlayer();
    // Outside the aiming step only the mirror changes; the next
    // RefreshAngleButtons puts it back.
    if (launch && launch->mStep == 1 && thrower) {
        thrower->mThrowMode = mode;
        mGameMaster->SetCurrentPlayer(thrower);
    }
    mGameMaster->SetShootOptions();
    if (mode == CPlayer::THROW_POINTING)
        ShowPointingChoice();
    else
        ShowShootingChoice();
    OnMouseLeaves(args);
}

bool CHUDMatch::OnShooterClicked(const CEGUI::EventArgs& args)
{
    if (!IsLocalTurn() || mLocked)
        return true;
    SetThrowMode(CPlayer::THROW_POINTING, args);
    return true;
}

bool CHUDMatch::OnPointerClicked(const CEGUI::EventArgs& args)
{
    if (!IsLocalTurn() || mLocked)
        return true;
    SetThrowMode(CPlayer::THROW_SHOOTING, args);
    return true;
}

void CHUDMatch::SetAngle(int32_t choice)
{
    mAngleChoice = choice;
    if (CAimGuide* guide = mGameMaster->GetAimGuide()) {
        guide->mLaunchAngle = choice == 1 ? guide->mAngleMin : choice == 3 ? guide->mAngleMax : guide->mDefaultAngle;
        guide->mLaunchSpeed = guide->SpeedToAimPoint(guide->mLaunchAngle);
        guide->mEstimateNeeded = true;
    }
    mGameMaster->SetShootOptions();
    switch (choice) {
    case 1:
        SetAngle1State();
        break;
    case 2:
        SetAngle2State();
        break;
    default:
        SetAngle3State();
        break;
    }
}

bool CHUDMatch::OnAngle1Clicked(const CEGUI::EventArgs&)
{
    if (!IsLocalTurn() || mThrowMode == CPlayer::THROW_SHOOTING || mLocked)
        return true;
    SetAngle(1);
    return true;
}

bool CHUDMatch::OnAngle2Clicked(const CEGUI::EventArgs&)
{
    if (!IsLocalTurn() || mLocked)
        return true;
    SetAngle(2);
    return true;
}

bool CHUDMatch::OnAngle3Clicked(const CEGUI::EventArgs&)
{
    if (!IsLocalTurn() || mLocked)
        return true;
    SetAngle(3);
    return true;
}

bool CHUDMatch::OnSpinClicked(const CEGUI::EventArgs&)
{
    if (!IsLocalTurn()) {
        UntintPicture("Hud_effet");
        return true;
    }
    if (mLocked || mSpin < 0 || mSpin > 3)
        return true;
    // none, left, centre, right, none
    static const int32_t kNext[4] = {2, 3, 1, 0};
    mSpin = kNext[mSpin];
    LaunchSet* launch = mGameMaster->GetLaunchSet();
    if (launch && launch->mBall)
        launch->mBall->mEffect = mSpin;
    mGameMaster->SetShootOptions();
    SetSpinIcon();
    return true;
}

bool CHUDMatch::OnPlayerInfoClicked(const CEGUI::EventArgs& args)
{
    if (mLocked || !mGameMaster)
        return true;
    const CEGUI::String name = SourceName(args);
    const int32_t perTeam = mGameMaster->GetPlayersPerTeam();
    uint32_t index = 0;
    if (name == "infosP2" && perTeam > 1)
        index = 1;
    else if (name == "infosP3" && perTeam > 2)
        index = 2;
    mGameMaster->SelectTeamPlayer(index);
    mGameMaster->SetShootOptions();
    RefreshAngleButtons();
    return true;
}

bool CHUDMatch::OnRadarArrowDown(const CEGUI::EventArgs& args)
{
    const CEGUI::String name = SourceName(args);
    CAimGuide* guide = mGameMaster ? mGameMaster->GetAimGuide() : nullptr;
    if (name == "BtnLeft") {
        SetOverlayMaterial("HUD/Radar/fleches/G", "HUD/Radar/Fleche_G_S");
        if (guide)
            guide->mTurnRequest = -1;
    } else if (name == "BtnRight") {
        SetOverlayMaterial("HUD/Radar/fleches/D", "HUD/Radar/Fleche_D_S");
        if (guide)
            guide->mTurnRequest = 1;
    }
    return true;
}

bool CHUDMatch::OnRadarArrowUp(const CEGUI::EventArgs& args)
{
    const CEGUI::String name = SourceName(args);
    if (name == "BtnLeft")
        SetOverlayMaterial("HUD/Radar/fleches/G", "HUD/Radar/Fleche_G");
    else if (name == "BtnRight")
        SetOverlayMaterial("HUD/Radar/fleches/D", "HUD/Radar/Fleche_D");
    else
        return true;
    if (CAimGuide* guide = mGameMaster ? mGameMaster->GetAimGuide() : nullptr) {
        guide->mTurnSpeed = 0.0f;
        guide->mDistanceSpeed = 0.0f;
        guide->mTurnRequest = 0;
    }
    return true;
}

bool CHUDMatch::OnCameraZoomClicked(const CEGUI::EventArgs& args)
{
    const CEGUI::String name = SourceName(args);
    UntintPicture("HUD/Radar/cameraPlus");
    UntintPicture("HUD/Radar/cameraMoins");
    if (!mGameMaster)
        return true;
    if (name == "BtnCamMoins") {
        mGameMaster->SetZoomFactor(1.0f);
        mGameMaster->UpdateMatchCamera(1);
        mGameMaster->ResetFreeCamera();
        CHUDMgr::ShowZoomHUD(false);
        CHUDMgr::ShowLaunchHUD(true);
        // A trainee throws alone: no side's players to choose from.
        if (mGameMaster->GetKind() == CHudGameSource::KIND_TRAINING)
            for (const char* window : {"infosP1", "infosP2", "infosP3", "TextInfosPlayer"})
                gGUIMgr.Show(window, false);
    } else if (name == "BtnCamPlus" && IsLocalTurn() && mGameMaster->GetRemainingBalls() >= 1) {
        mGameMaster->SetZoomFactor(3.0f);
        mGameMaster->UpdateMatchCamera(2);
        if (CAimGuide* guide = mGameMaster->GetAimGuide()) {
            guide->mAxisShown = false;
            guide->DrawAxis();
            guide->HideAxis();
        }
        CHUDMgr::ShowLaunchHUD(false);
        CHUDMgr::ShowZoomHUD(true);
    }
    return true;
}

bool CHUDMatch::OnMouseEnters(const CEGUI::EventArgs& args)
{
    if (!IsLocalTurn())
        return true;
    const CEGUI::String name = SourceName(args);
    for (const char* picture : kAnglePictures)
        UntintPicture(picture);
    if (name == "BtnStart") {
        if (LaunchStep() >= 5) {
            mStartHover = false;
            return true;
        }
        if (mAngleChoice != 0)
            mStartHover = true;
    }
    if (mLocked)
        return true;

    if (name == "BtnAngle1" || name == "BtnAngle2" || name == "BtnAngle3") {
        for (const char* picture : kAnglePictures)
            UntintPicture(picture);
        TintPicture(PictureOf(name), kHoverColour);
    } else if (name == "BtnCamPlus" || name == "BtnCamMoins") {
        const float zoom = mGameMaster->GetZoomFactor();
        // Only the button that would change the view lights up.
        const bool zoomed = zoom != 1.0f;
        if (mGameMaster->GetRemainingBalls() >= 1 && (name == "BtnCamPlus") != zoomed)
            TintPicture(PictureOf(name), kHoverColour);
    } else if (name != "BtnStart") {
        if (const char* picture = PictureOf(name))
            TintPicture(picture, kHoverColour);
    }
    mBlinkOn = false;
    return true;
}

bool CHUDMatch::OnMouseLeaves(const CEGUI::EventArgs& args)
{
    if (!IsLocalTurn())
        return true;
    const CEGUI::String name = SourceName(args);
    if (name == "BtnStart")
        mStartHover = false;
    if (mAngleChoice == 0)
        mBlinkOn = true;
    if (mLocked)
        return true;

    RefreshRoleButtons();
    if (mAngleChoice != 0)
        UntintPicture("Hud_start");
    else
        RefreshAnglePictures();
    if (name == "BtnLeft" || name == "BtnRight" || name == "BtnCamPlus" || name == "BtnCamMoins")
        UntintPicture(PictureOf(name));

    const bool shooting = mThrowMode == CPlayer::THROW_SHOOTING;
    if (shooting)
        SetOverlayMaterial("Hud_tirer", "HUD/Hud_tirer_S");
    else
        SetOverlayMaterial("Hud_pointer", "HUD/Hud_pointer_S");
    DrawModeLabels();

    const char* const plain3 = shooting ? "HUD/Hud_angle3_tir" : "HUD/Hud_angle3";
    switch (mAngleChoice) {
    case 1:
        SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1_S");
        SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2");
        SetOverlayMaterial("Hud_angle3", plain3);
        break;
    case 2:
        SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1");
        SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2_S");
        SetOverlayMaterial("Hud_angle3", plain3);
        break;
    case 3:
        SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1");
        SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2");
        SetOverlayMaterial("Hud_angle3", shooting ? "HUD/Hud_angle3_tir_S" : "HUD/Hud_angle3_S");
        break;
    default:
        break;
    }
    for (const char* picture : kAnglePictures)
        UntintPicture(picture);
    UntintPicture("Hud_effet");
    return true;
}
