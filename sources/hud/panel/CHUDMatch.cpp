#include "CHUDMatch.h"

#include "CHudGameSource.h"

#include <CAimGuide.h>
#include <CBall.h>
#include <CGUIMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <LaunchSet.h>
#include <Platform.h>
#include <Team.h>

#include <CEGUI/Window.h>
#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlayElement.h>

#include <ctime>

namespace {

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

// A label window shows the text of a language key; a null key blanks it
// with one space.
void SetLabel(const char* window, const char* key)
{
    if (CEGUI::Window* label = gGUIMgr.GetWindow(window))
        label->setText(key ? GetText(key) : " ");
}

Ogre::TextureUnitState* FirstTextureUnit(const std::string& element)
{
    Ogre::OverlayElement* picture = FindOverlayElement(element);
    if (!picture)
        return nullptr;
    const Ogre::MaterialPtr& material = picture->getMaterial();
    if (!material || material->getNumTechniques() == 0)
        return nullptr;
    Ogre::Technique* technique = material->getTechnique(0);
    if (technique->getNumPasses() == 0)
        return nullptr;
    Ogre::Pass* pass = technique->getPass(0);
    return pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : nullptr;
}

const char* const kAnglePictures[3] = {"Hud_angle1", "Hud_angle2", "Hud_angle3"};

}  // namespace

const Ogre::ColourValue CHUDMatch::kHoverColour(0.0f, 0.21f, 1.0f, 0.2f);
const Ogre::ColourValue CHUDMatch::kChaserColour(1.0f, 0.21f, 0.0f, 0.2f);
const Ogre::ColourValue CHUDMatch::kDisabledColour(0.2f, 0.2f, 0.2f, 0.2f);

int64_t (*CHUDMatch::sClock)() = CalendarSeconds;

// A picture drawn from a texture blends it half-way into the colour. A flat
// colour (a unit with no texture) blends its own colour instead: the texture
// source of such a unit is OGRE's warning texture, whose stripes would show.
void CHUDMatch::TintPicture(const std::string& element, const Ogre::ColourValue& colour)
{
    Ogre::TextureUnitState* unit = FirstTextureUnit(element);
    if (!unit)
        return;
    if (!unit->getTextureName().empty()) {
        unit->setColourOperationEx(Ogre::LBX_BLEND_MANUAL, Ogre::LBS_TEXTURE, Ogre::LBS_MANUAL,
                                   Ogre::ColourValue::White, colour, 0.5f);
        return;
    }
    const Ogre::LayerBlendModeEx& mode = unit->getColourBlendMode();
    const Ogre::ColourValue own = mode.source1 == Ogre::LBS_MANUAL ? mode.colourArg1 : Ogre::ColourValue::White;
    unit->setColourOperationEx(Ogre::LBX_BLEND_MANUAL, Ogre::LBS_MANUAL, Ogre::LBS_MANUAL, own, colour, 0.5f);
}

void CHUDMatch::UntintPicture(const std::string& element)
{
    Ogre::TextureUnitState* unit = FirstTextureUnit(element);
    if (!unit)
        return;
    if (!unit->getTextureName().empty()) {
        unit->setColourOperation(Ogre::LBO_MODULATE);
        return;
    }
    const Ogre::LayerBlendModeEx& mode = unit->getColourBlendMode();
    if (mode.source1 == Ogre::LBS_MANUAL)
        unit->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL, Ogre::LBS_CURRENT, mode.colourArg1);
}

CHUDMatch::CHUDMatch()
{
    Subscribe();
    SetLabel("TextEffects", "BTN_EFFECTS");
    mStartEnabled = true;
    SetStartButtonState(false);
    mBlinkIndex = 1;
    mBlinkStart = sClock();
}

bool CHUDMatch::IsLocalTurn() const { return mGameMaster && mGameMaster->IsLocalHumanTurn(); }

int32_t CHUDMatch::LaunchStep() const
{
    const LaunchSet* launch = mGameMaster ? mGameMaster->GetLaunchSet() : nullptr;
    return launch ? launch->mStep : 0;
}

void CHUDMatch::Refresh(CHudGameSource* gameMaster)
{
    mGameMaster = gameMaster;
    mStartHover = false;
    mAngleChoice = 0;
    mSpin = 0;
    LaunchSet* launch = mGameMaster ? mGameMaster->GetLaunchSet() : nullptr;
    if (launch && launch->mStep != 0 && launch->mBall)
        launch->mBall->mEffect = CBall::EFFECT_NONE;

    SetOverlayMaterial("Hud_effet", "HUD/Hud_effet_nul");
    if (mGameMaster)
        mGameMaster->SetShootOptions();
    SetSpinIcon();
    RefreshRoleButtons();
    RefreshAnglePictures();

    if (mGameMaster && mGameMaster->HasMatchState()) {
        const int32_t side = mGameMaster->GetSideToPlay();
        const Team* team = side == 0 || side == 1 ? mGameMaster->GetTeam(side) : nullptr;
        const CPlayer* player = team ? team->GetCurrentPlayer() : nullptr;
        if (player) {
            // Differs from the thrower's mode, so the redraw below always happens.
            mThrowMode = player->mThrowMode + 1;
            if (mGameMaster->IsLocalHumanTurn()) {
                RefreshAngleButtons();
                SetSpinIcon();
                RefreshAnglePictures();
            } else {
                SyncAngleFromAim();
            }
        }
    }

    SetStartButtonState(false);
    for (const char* window : {"FrameButtons", "FramePlayerName", "TextLeft", "TextRight"})
        gGUIMgr.Show(window, true);
    mLocked = false;

    if (mThrowMode == CPlayer::THROW_SHOOTING) {
        SetOverlayMaterial("Hud_tirer", "HUD/Hud_tirer_S");
        SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1");
        SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2");
        SetOverlayMaterial("Hud_angle3", "HUD/Hud_angle3_tir");
    } else {
        SetOverlayMaterial("Hud_pointer", "HUD/Hud_pointer_S");
        SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1");
        SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2");
        SetOverlayMaterial("Hud_angle3", "HUD/Hud_angle3");
    }
    SetLabel("TextShoot", "BTN_SHOOT");
    SetLabel("TextPoint", "BTN_POINT");
    DrawModeLabels();

    UntintPicture("Hud_effet");
    mBlinkOn = true;
    SetOverlayMaterial("Hud_effet", "HUD/Hud_effet_nul");
}

void CHUDMatch::DrawModeLabels()
{
    const bool shooting = mThrowMode == CPlayer::THROW_SHOOTING;
    SetLabel("TextAngle1", shooting ? nullptr : "BTN_ROLL");
    SetLabel("TextAngle2", "BTN_NORMAL");
    SetLabel("TextAngle3", shooting ? "BTN_JUMP" : "BTN_PLUMB");
}

void CHUDMatch::RefreshAngleButtons()
{
    const CPlayer* thrower = mGameMaster ? mGameMaster->GetCurrentPlayer() : nullptr;
    if (thrower && (thrower->mThrowMode != mThrowMode || !mGameMaster->IsLocalHumanTurn())) {
        mThrowMode = thrower->mThrowMode;
        if (mThrowMode == CPlayer::THROW_SHOOTING)
            ShowShootingChoice();
        else
            ShowPointingChoice();
    }
    if (mThrowMode == CPlayer::THROW_SHOOTING)
        HideOverlayElement("Hud_angle1");
    else
        ShowOverlayElement("Hud_angle1");
}

void CHUDMatch::ShowPointingChoice()
{
    RefreshRoleButtons();
    SetOverlayMaterial("Hud_pointer", "HUD/Hud_pointer_S");
    ShowOverlayElement("Hud_angle1");
    SetOverlayMaterial("Hud_angle3", "HUD/Hud_angle3");
    SetLabel("TextAngle1", "BTN_ROLL");
    SetLabel("TextAngle2", "BTN_NORMAL");
    SetLabel("TextAngle3", "BTN_PLUMB");
}

void CHUDMatch::ShowShootingChoice()
{
    RefreshRoleButtons();
    HideOverlayElement("Hud_angle1");
    // Angle 1 is not offered while shooting.
    if (mAngleChoice == 1)
        mAngleChoice = 2;
    SetOverlayMaterial("Hud_angle3", "HUD/Hud_angle3_tir");
    SetOverlayMaterial("Hud_tirer", "HUD/Hud_tirer_S");
    SetLabel("TextAngle1", nullptr);
    SetLabel("TextAngle2", "BTN_NORMAL");
    SetLabel("TextAngle3", "BTN_JUMP");
}

void CHUDMatch::RefreshRoleButtons()
{
    UntintPicture("Hud_tirer");
    UntintPicture("Hud_pointer");
    SetOverlayMaterial("Hud_tirer", "HUD/Hud_tirer");
    SetOverlayMaterial("Hud_pointer", "HUD/Hud_pointer");
}

void CHUDMatch::RefreshAnglePictures()
{
    for (const char* picture : kAnglePictures)
        UntintPicture(picture);
    SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1");
    SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2");
    SetOverlayMaterial("Hud_angle3", mThrowMode == CPlayer::THROW_POINTING ? "HUD/Hud_angle3" : "HUD/Hud_angle3_tir");
}

void CHUDMatch::SetAngle1State()
{
    RefreshAnglePictures();
    SetOverlayMaterial("Hud_angle1", "HUD/Hud_angle1_S");
}

void CHUDMatch::SetAngle2State()
{
    RefreshAnglePictures();
    SetOverlayMaterial("Hud_angle2", "HUD/Hud_angle2_S");
}

void CHUDMatch::SetAngle3State()
{
    RefreshAnglePictures();
    SetOverlayMaterial("Hud_angle3",
                       mThrowMode != CPlayer::THROW_SHOOTING ? "HUD/Hud_angle3_S" : "HUD/Hud_angle3_tir_S");
}

void CHUDMatch::SetSpinIcon()
{
    static const char* const kSpinPictures[4] = {"HUD/Hud_effet_nul", "HUD/Hud_effet_centre",
                                                 "HUD/Hud_effet_gauche", "HUD/Hud_effet_droit"};
    if (mSpin >= 0 && mSpin <= 3)
        SetOverlayMaterial("Hud_effet", kSpinPictures[mSpin]);
}

void CHUDMatch::SetStartButtonState(bool enabled)
{
    if (enabled == mStartEnabled)
        return;
    mStartEnabled = enabled;
    if (enabled) {
        UntintPicture("Hud_start");
        SetOverlayMaterial("Hud_start", "HUD/Hud_start_anim");
    } else {
        TintPicture("Hud_start", kDisabledColour);
        SetOverlayMaterial("Hud_start", "HUD/Hud_start_disabled");
    }
}

void CHUDMatch::BlinkAngleButtons()
{
    const int64_t now = sClock();
    const double elapsed = static_cast<double>(now - mBlinkStart);
    if (!IsLocalTurn() || !mBlinkOn)
        return;
    if (!(elapsed > 0.5))
        return;
    mBlinkStart = now;
    if (mThrowMode == CPlayer::THROW_SHOOTING && mBlinkIndex == 1)
        mBlinkIndex = 2;
    if (mBlinkIndex < 1 || mBlinkIndex > 3)
        return;
    const int32_t lit = mBlinkIndex - 1;
    TintPicture(kAnglePictures[lit], kChaserColour);
    UntintPicture(kAnglePictures[(lit + 1) % 3]);
    UntintPicture(kAnglePictures[(lit + 2) % 3]);
    mBlinkIndex = mBlinkIndex % 3 + 1;
}

void CHUDMatch::SyncAngleFromAim()
{
    if (!mGameMaster)
        return;
    if (const CAimGuide* guide = mGameMaster->GetAimGuide()) {
        // A click sets one of the presets exactly, so equality tells the choice.
        if (guide->mLaunchAngle == guide->mAngleMin)
            mAngleChoice = 1;
        else if (guide->mLaunchAngle == guide->mAngleMax)
            mAngleChoice = 3;
        else
            mAngleChoice = 2;
    } else {
        mAngleChoice = 2;
    }
    if (const CPlayer* thrower = mGameMaster->GetCurrentPlayer())
        mThrowMode = thrower->mThrowMode;
    const LaunchSet* launch = mGameMaster->GetLaunchSet();
    mSpin = launch && launch->mBall ? launch->mBall->mEffect : 0;
    SetSpinIcon();
    RefreshAngleButtons();
    switch (mAngleChoice) {
    case 1:
        SetAngle1State();
        break;
    case 3:
        SetAngle3State();
        break;
    default:
        SetAngle2State();
        break;
    }
    UntintPicture("Hud_effet");
}
