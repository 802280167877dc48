// Game mode 9: a training game on the training ground. The training menus
// (mode 10) leave the chosen exercise in "TRAININGPARAMS"/"TrainingType";
// the mode loads the training ground, makes the training referee for that
// exercise, builds the head-up display from the match layout and runs the
// series as a machine of five training states. Escape opens the pause frame
// (volumes, quit to the main menu); the end frame leads back to the
// training menus.
#pragma once

#include "CTrainingGMBeginState.h"
#include "CTrainingGMInitState.h"
#include "CTrainingGMMainState.h"
#include "CTrainingGMOutroState.h"
#include "CTrainingGMResultState.h"

#include <CGameModeWithGameMaster.h>
#include <CKEMStateMachine.h>

namespace CEGUI {
class EventArgs;
}
class CHUDMatch;
class CTrainingGameMaster;
struct CHUDInfoPanel;
struct CHUDPlayerPanel;
struct CHUDRadar;

class CTrainingGameMode : public CGameModeWithGameMaster {
public:
    enum Action {
        ACTION_PAUSE = 0,   // Escape
        ACTION_THROW = 1,   // left mouse button
    };

    explicit CTrainingGameMode(int previousModeValue);
    ~CTrainingGameMode() override;

    bool Init() override;
    void Update() override;
    bool Exit() override;
    CGameMode* GetSelf() override { return this; }

    // "TrainingType" of "TRAININGPARAMS": an int, a float cut to an int, 0
    // for anything else or a kind outside 0..3.
    static int ReadTrainingType();

    void RegisterStates();
    void BuildHUD();
    void ReleaseObjects();
    // The pointing/shooting choice is hidden in a drill: the throw buttons'
    // frame closes up on the buttons the drill shows instead of standing
    // empty on the left. Exit gives the match its frame back.
    void FitThrowButtonsFrame();
    void RestoreThrowButtonsFrame();
    // Escape or "BtnPauseBack": nothing during the result or the end frame.
    void TogglePause();

    // GUI handlers.
    bool OnBtnPauseQuit(const CEGUI::EventArgs& args);
    bool OnBtnPauseBack(const CEGUI::EventArgs& args);
    bool OnBtnPauseCancel(const CEGUI::EventArgs& args);
    bool OnBtnPauseConfirm(const CEGUI::EventArgs& args);
    bool OnBtnAmbPlus(const CEGUI::EventArgs& args);
    bool OnBtnAmbMinus(const CEGUI::EventArgs& args);
    bool OnBtnMusicPlus(const CEGUI::EventArgs& args);
    bool OnBtnMusicMinus(const CEGUI::EventArgs& args);
    bool OnBtnEndReplay(const CEGUI::EventArgs& args);
    bool OnBtnEndChangeTeam(const CEGUI::EventArgs& args);
    bool OnQuitReplayDown(const CEGUI::EventArgs& args);
    bool OnQuitReplayEnter(const CEGUI::EventArgs& args);
    bool OnQuitReplayLeave(const CEGUI::EventArgs& args);
    bool OnRootClick(const CEGUI::EventArgs& args);
    bool OnFreeCameraDown(const CEGUI::EventArgs& args);
    bool OnFreeCameraUp(const CEGUI::EventArgs& args);
    bool OnFreeCameraMove(const CEGUI::EventArgs& args);

    CKEMStateMachine& GetMachine() { return mMachine; }
    int GetCurrentStateId() const { return mMachine.GetCurrentState(); }
    CTrainingGameMaster* GetReferee() const;
    CHUDMatch* GetThrowPanel() const { return mThrowPanel; }
    CHUDRadar* GetRadar() const { return mRadar; }
    CHUDPlayerPanel* GetPlayerPanel() const { return mPlayerPanel; }
    CHUDInfoPanel* GetMatchInfos() const { return mMatchInfos; }
    bool IsPaused() const { return mPaused; }

    CTrainingGMInitState mInitState;
    CTrainingGMMainState mMainState;
    CTrainingGMResultState mResultState;
    CTrainingGMOutroState mOutroState;
    CTrainingGMBeginState mBeginState;

private:

    CHUDMatch* mThrowPanel = nullptr;
    CHUDRadar* mRadar = nullptr;
    CHUDPlayerPanel* mPlayerPanel = nullptr;
    CHUDInfoPanel* mMatchInfos = nullptr;
    CKEMStateMachine mMachine;
    bool mPaused = false;
    const char* mHiddenFrame = nullptr;   // the frame the pause hid
    bool mButtonsFrameSaved = false;
    float mButtonsFrameLeft = 0.0f, mButtonsFrameWidth = 0.0f;   // the match's
};
