#include "CTrainingGameMode.h"

#include <CEnvironment.h>
#include <CGUIMgr.h>
#include <CHUDMatch.h>
#include <CHUDMgr.h>
#include <CHUDPanels.h>
#include <CInputMgr.h>
#include <CKEMFrameWork.h>
#include <CScenaricMgr.h>
#include <CSceneMgr.h>
#include <CSoundMgr.h>
#include <CTrainingGameMaster.h>
#include <CQMGMState.h>
#include <Platform.h>
#include <COverlayHolder.h>

#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const char kScene[] = "../../mediaDemo/Saved_Scenes/training.xml";
const char kSection[] = "TRAININGPARAMS";
const char kTypeName[] = "TrainingType";

// Input channels: DirectInput keyboard scan codes, then the mouse buttons.
const int kKeyBindings[][2] = {
    {0, 1},     // Escape: pause
    {1, 467},   // left mouse button: throw key
    {2, 28},    // Return
    {3, 78},    // numeric-pad plus
    {4, 74},    // numeric-pad minus
    {5, 201},   // Page Up
    {6, 209},   // Page Down
    {7, 203},   // left arrow: the aim turns left
    {8, 205},   // right arrow: the aim turns right
    {9, 208},   // down arrow
    {10, 200},  // up arrow
    {11, 468},  // right mouse button
    {16, 57},   // Space
    {17, 469},  // middle mouse button
};
const int kSkipAction = 25;
const int kSkipChannel = 49;   // N

}  // namespace

CTrainingGameMode::CTrainingGameMode(int previousModeValue)
    : CGameModeWithGameMaster(previousModeValue, GAME_MODE_DEMO_MENU) {
    mInitState.SetOwner(this);
    mMainState.SetOwner(this);
    mResultState.SetOwner(this);
    mOutroState.SetOwner(this);
    mBeginState.SetOwner(this);
    // The main menu makes the head-up display's overlay groups; a run that
    // starts on the training has not been there.
    if (!CHUDMgr::sLaunchGroup && Ogre::OverlayManager::getSingletonPtr())
        CHUDMgr::InitOverlayStates();
    CHUDMgr::ShowLoadingScreen(true);
    if (HAL_Sound_CSource* music = gSoundMgr.GetMusic())
        if (music->IsPlaying())
            gSoundMgr.StopSource(music);
}

CTrainingGameMode::~CTrainingGameMode() {
    // The panels point at the referee: they go first.
    ReleaseObjects();
    DeleteGameMaster();
}

int CTrainingGameMode::ReadTrainingType() {
    CEnvironmentVariable* variable = gSceneMgr.GetEnvironment().GetVariable(kSection, kTypeName, true);
    int kind = 0;
    if (variable && variable->GetType() == CEnvironmentVariable::TYPE_INT) {
        kind = variable->GetInt();
    } else if (variable && variable->GetType() == CEnvironmentVariable::TYPE_FLOAT) {
        const float value = variable->GetFloat();
        // Only a value an int holds is cut to one; the kind check refuses the rest.
        kind = std::isfinite(value) && std::fabs(value) < 1e9f ? static_cast<int>(value) : -1;
    }
    return CTrainingGameMaster::ValidExerciseKind(kind);
}

CTrainingGameMaster* CTrainingGameMode::GetReferee() const {
    return static_cast<CTrainingGameMaster*>(mGameMaster);
}

bool CTrainingGameMode::Init() {
    mMachine.Reset();
    CKEMFrameWork::LoadScene(kScene);
    for (const auto& binding : kKeyBindings)
        gInputMgr.SetKeyMapping(binding[0], binding[1]);
    if (mGameMaster) {
        PlatLog("CTrainingGameMode::Init() => a referee exists already: not made again");
        return true;
    }
    const int kind = ReadTrainingType();
    PlatLog("CTrainingGameMode::Init() => exercise %d on \"%s\"", kind, kScene);
    CTrainingGameMaster* referee = new CTrainingGameMaster(kind);
    mGameMaster = referee;
    gScenaricMgr.Register(referee);
    if (referee->IsSetUpFailed()) {
        PlatLog("CTrainingGameMode::Init() => the training ground cannot hold the exercise: back to the training "
                "menu");
        CHUDMgr::ShowLoadingScreen(false);
        Finish(GAME_MODE_TRAINING_MENUS);
        return true;
    }
    BuildHUD();
    // The trainee cannot switch between pointing and shooting.
    for (const char* window : {"BtnPointer", "BtnShooter", "TextShoot", "TextPoint"})
        gGUIMgr.Show(window, false);
    HideOverlayElement("Hud_tirer");
    HideOverlayElement("Hud_pointer");
    RegisterStates();
    CHUDMgr::ShowLoadingScreen(false);
    return true;
}

void CTrainingGameMode::RegisterStates() {
    CTrainingGMState* states[TRAINING_STATE_COUNT] = {&mInitState, &mMainState, &mResultState, &mOutroState,
                                                      &mBeginState};
    for (CTrainingGMState* state : states)
        state->SetOwner(this);
    gInputMgr.SetKeyMapping(kSkipAction, kSkipChannel);
    for (int id = 0; id < TRAINING_STATE_COUNT; ++id)
        mMachine.AddState(id, states[id]);
    mMachine.ChangeState(TRAINING_STATE_INIT);
}

void CTrainingGameMode::Update() {
    if (CInputMgr::IsPressed(gInputMgr.GetAction(ACTION_PAUSE)))
        TogglePause();
    if (!IsFinished())
        mMachine.Update();
}

namespace {
const char kButtonsFrame[] = "Hud_cadre_boutons";
// Room left of the first button for the word under it.
const float kButtonsFrameMargin = 0.03f;
}  // namespace

void CTrainingGameMode::FitThrowButtonsFrame() {
    Ogre::OverlayElement* frame = FindOverlayElement(kButtonsFrame);
    if (!frame)
        return;
    if (!mButtonsFrameSaved) {
        mButtonsFrameLeft = frame->getLeft();
        mButtonsFrameWidth = frame->getWidth();
        mButtonsFrameSaved = true;
    }
    const float right = mButtonsFrameLeft + mButtonsFrameWidth;
    float first = right;
    for (const char* name : {"Hud_angle1", "Hud_angle2", "Hud_angle3", "Hud_effet", "Hud_start"})
        if (Ogre::OverlayElement* button = FindOverlayElement(name))
            if (button->isVisible())
                first = std::min(first, button->getLeft());
    // An angle the drill does not offer takes its word with it.
    for (int n = 1; n <= 3; ++n) {
        const Ogre::OverlayElement* angle = FindOverlayElement("Hud_angle" + std::to_string(n));
        gGUIMgr.Show("TextAngle" + std::to_string(n), angle && angle->isVisible());
    }
    const float left = std::max(mButtonsFrameLeft, first - kButtonsFrameMargin);
    frame->setLeft(left);
    frame->setWidth(right - left);
}

void CTrainingGameMode::RestoreThrowButtonsFrame() {
    Ogre::OverlayElement* frame = mButtonsFrameSaved ? FindOverlayElement(kButtonsFrame) : nullptr;
    if (!frame)
        return;
    frame->setLeft(mButtonsFrameLeft);
    frame->setWidth(mButtonsFrameWidth);
}

bool CTrainingGameMode::Exit() {
    RestoreThrowButtonsFrame();
    for (const char* window : {"TextAngle1", "TextAngle2", "TextAngle3"})
        gGUIMgr.Show(window, true);
    for (const char* window : {"BtnPointer", "BtnShooter", "TextShoot", "TextPoint"})
        gGUIMgr.Show(window, true);
    ShowOverlayElement("Hud_tirer");
    ShowOverlayElement("Hud_pointer");
    ReleaseObjects();
    return true;
}

void CTrainingGameMode::ReleaseObjects() {
    delete mThrowPanel;
    mThrowPanel = nullptr;
    if (mRadar) {
        mRadar->mGameMaster = nullptr;
        CHUDMgr::UpdateRadarZoomButtons(*mRadar, 1.0f);
        CHUDMgr::HideRadarAxis(*mRadar);
        CHUDMgr::ReleaseRadar(*mRadar);
        delete mRadar;
        mRadar = nullptr;
    }
    if (mPlayerPanel) {
        *mPlayerPanel = CHUDPlayerPanel();
        delete mPlayerPanel;
        mPlayerPanel = nullptr;
    }
    if (mMatchInfos) {
        CHUDMgr::HideMatchInfos();
        delete mMatchInfos;
        mMatchInfos = nullptr;
    }
    mHudReady = 0;
    gGUIMgr.DestroyAllWindows();
}

void CTrainingGameMode::TogglePause() {
    const int current = mMachine.GetCurrentState();
    if (current == TRAINING_STATE_OUTRO || current == TRAINING_STATE_RESULT)
        return;
    static const char* const kCameraButtons[] = {"BtnCamPlus", "BtnCamMoins", "BtnRight", "BtnLeft"};
    mPaused = !mPaused;
    PlatLog("CTrainingGameMode::TogglePause() => %s", mPaused ? "paused" : "resumed");
    if (mPaused) {
        mHiddenFrame = nullptr;
        for (const char* button : kCameraButtons)
            gGUIMgr.Show(button, false);
        if (CHUDMgr::sPauseGroup)
            CHUDMgr::sPauseGroup->ShowAll();
        gSceneMgr.Pause();
        if (mThrowPanel)
            mThrowPanel->mLocked = false;
        gGUIMgr.Show("FramePause", true);
        gGUIMgr.Show("FrameConfirmQuit", false);
        static const char* const kFrames[] = {"FramePigLaunchError", "FrameResponse", "FrameButtons", "FrameHeadTail",
                                              "FrameEndMatchAwards"};
        for (const char* frame : kFrames) {
            if (!IsWindowVisible(frame))
                continue;
            mHiddenFrame = frame;
            gGUIMgr.Show(frame, false);
            if (frame == kFrames[2]) {
                gGUIMgr.Show("TextLeft", false);
                gGUIMgr.Show("TextRight", false);
            }
            break;
        }
        if (!mHiddenFrame && IsWindowVisible("FrameEndMatch"))
            mHiddenFrame = "FrameEndMatch";   // remembered, left on screen
        SetWindowTextOf("VolAmb", std::to_string(gSoundMgr.GetSoundVolume()));
        SetWindowTextOf("VolMus", std::to_string(gSoundMgr.GetMusicVolume()));
        return;
    }
    for (const char* button : kCameraButtons)
        gGUIMgr.Show(button, true);
    if (CHUDMgr::sPauseGroup)
        CHUDMgr::sPauseGroup->HideAll();
    gSceneMgr.Resume();
    if (mThrowPanel)
        mThrowPanel->mLocked = false;
    for (const char* window : {"TextLeft", "TextRight", "FrameButtons"})
        gGUIMgr.Show(window, true);
    if (mHiddenFrame)
        gGUIMgr.Show(mHiddenFrame, true);
    gGUIMgr.Show("FramePause", false);
    gGUIMgr.Show("FrameConfirmQuit", false);
    mHiddenFrame = nullptr;
}
