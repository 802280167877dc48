// The base of every game mode: one screen flow of the program (boot screens,
// a menu flow, the LAN lobby, a match, a training game). The game-mode loop
// (CMainApp::Run) constructs a mode from its id, calls Init once, Update once
// a frame until the mode is finished, then Exit, reads the next mode's id and
// deletes the mode through its virtual destructor.
#pragma once

// The mode ids the loop constructs. Any other id ends the run.
enum GameModeId {
    GAME_MODE_QUICK_MATCH = 0,        // CQuickMatchGameMode
    GAME_MODE_BOOT = 1,               // CBootGameMode, the first mode of the run
    GAME_MODE_MAIN_MENU = 2,          // CMenuMainGameMode
    GAME_MODE_QUICK_MATCH_MENUS = 3,  // CMenuGameModeQuickMatch
    GAME_MODE_CHAMPIONSHIP_MENUS = 4, // CMenuGameModeChamp
    GAME_MODE_CUP_MENUS = 5,          // CMenuGameModeCup
    GAME_MODE_CAREER_MENUS = 6,       // CMenuGameModeCarreer
    GAME_MODE_DEMO_MENU = 7,          // CMenuDemoGameMode
    GAME_MODE_OPTIONS = 8,            // CMenuOptionsGameMode
    GAME_MODE_TRAINING = 9,           // CTrainingGameMode
    GAME_MODE_TRAINING_MENUS = 10,    // CMenuGameModeTraining
    GAME_MODE_LAN_LOBBY = 11,         // CMenuLobbyingGameMode
    GAME_MODE_COUNT = 12,
    GAME_MODE_NONE = -1,              // the window was closed: the run ends
};

// The class name of a mode id, for the log ("?" outside 0..11).
const char* GameModeName(int modeId);

class CGameMode {
public:
    virtual ~CGameMode();
    CGameMode(const CGameMode&) = delete;
    CGameMode& operator=(const CGameMode&) = delete;

    // Called once after construction; the loop ignores the result.
    virtual bool Init() = 0;
    // Called once a frame until the mode is finished.
    virtual void Update() = 0;
    // Called once after the last Update; the loop ignores the result.
    virtual bool Exit() = 0;
    virtual CGameMode* GetSelf() = 0;
    // Only the match mode rebuilds its match here.
    virtual void ResetMatch(bool buildHud);

    // To end itself a mode names the next mode; the loop acts on it after the
    // current Update (or right after Init when Init already did it).
    void Finish(int nextModeId) {
        mNextModeId = nextModeId;
        mFinished = 1;
    }

    int GetPreviousModeValue() const { return mPreviousModeValue; }
    // Handed to the constructor of the mode that follows this one.
    int GetModeValue() const { return mModeValue; }
    int GetNextModeId() const { return mNextModeId; }
    bool IsFinished() const { return mFinished != 0; }

protected:
    // previousModeValue: the mode value of the mode that ran before (-1 for
    // the first mode of the run); modeValue: this mode's own.
    CGameMode(int previousModeValue, int modeValue);

    int mPreviousModeValue;
    int mModeValue;
    int mNextModeId = GAME_MODE_NONE;
    unsigned char mFinished = 0;
    CGameMode* mSelf;
};
