// The referee and driver of one match: a scene node ("Game Master") that
// owns the match's game elements (target ball, balls, circle, aim target,
// markers), the throw in progress, the aiming guide, the match camera and,
// when the computer plays a side, the computer opponent. The match mode owns
// the MatchState and hands it to the constructor.
//
// The work is split by topic: CGameMaster.cpp (construction, set-up,
// tear-down, per-frame work), CGameMasterTurns.cpp (who throws, the
// per-frame throw driver, LAN messages, ball checks), CGameMasterScoring.cpp
// (evaluation of a throw), CGameMasterCamera.cpp (camera states, free camera,
// debug keys).
#pragma once

#include "BallsRest.h"

#include <CHudGameSource.h>
#include <CKEMSceneNode.h>

#include <OgreAxisAlignedBox.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
}

class AIParameters;
class CAimGuide;
class CAxisGraduation;
class CBall;
class CCircle;
class CKEMSceneObject;
class CMatchCamera;
class CPlayer;
class CRollingEstimator;
class CTarget;
class LaunchSet;
class MatchState;
class StrategyManager;
class Team;
class Terrain;

// What EvaluateThrow reports to the launch-result state.
struct ThrowResult {
    uint8_t valid = 0;      // what MatchState::AfterThrow answered
    int32_t reaction = 0;   // 0 none, else a crowd reaction code
};

// Crowd reaction codes (each sent to the spectator scripts as an event).
enum CrowdReaction : int32_t {
    REACTION_NONE = 0,
    REACTION_HIGH_NEGATIVE = 1,     // "highNegativeReac"
    REACTION_MEDIUM_NEGATIVE = 2,   // "mediumNegativeReac"
    REACTION_LOW_NEGATIVE = 3,      // "lowNegativeReac"
    REACTION_HIGH_POSITIVE = 4,     // "highPositiveReac"
    REACTION_MEDIUM_POSITIVE = 5,   // "mediumPositiveReac"
    REACTION_LOW_POSITIVE = 6,      // "lowPositiveReac"
};

class CGameMaster : public CKEMSceneNode, public CHudGameSource {
public:
    // Camera states of UpdateMatchCamera.
    enum {
        CAMERA_NONE = 0,
        CAMERA_LAUNCH = 1,
        CAMERA_ZOOM = 2,
        CAMERA_FOLLOW = 3,
        CAMERA_TRACK = 4,
        CAMERA_FREE = 5,
        CAMERA_REPLAY = 6,
        CAMERA_END = 7,
    };

    explicit CGameMaster(MatchState* match);
    ~CGameMaster() override;

    // ---- scene node -------------------------------------------------------
    // Per frame: camera controller, debug keys (ENABLE_CHEAT), HUD gauges.
    void Manage() override;
    // The set-up, run once by the scripted-node manager at registration.
    void RegisterEvents() override;
    // Before deletion: replay entities, players' node links, camera reset.
    void Term() override;

    // The set-up itself. False (with a log line naming the object) when the
    // venue lacks an object the match needs; the match cannot start then.
    bool Init();
    // Init ran and found a required object missing.
    bool IsSetUpFailed() const { return mSetUpFailed; }
    // Init has run (whatever its outcome).
    bool IsSetUp() const { return mSetUp != 0; }
    // Clears the held flag and the camera hold (the match resumes).
    void ResetStartFlags();
    // The venue objects the set-up cannot do without.
    static const std::vector<std::string>& RequiredVenueObjects();
    // The loaded venue's play and camera limits and the balls' places: the
    // box around which a peer's ball positions are taken.
    static Ogre::AxisAlignedBox VenueBox(const std::vector<CBall*>& balls);
    // The test channel's hostile peer only: called once this machine has
    // sent its throw's ball positions, with the throw's controller.
    static void (*sAfterOwnBallPositions)(int32_t controller);

    // ---- referee operations (overridden by the training referee) ----------
    virtual ThrowResult& EvaluateThrow(ThrowResult& result);
    // Convenience for the match states: the valid flag and the reaction.
    void EvaluateThrow(bool& valid, int& reaction);
    CPlayer* GetCurrentPlayer() const override;
    Terrain* GetTerrain() const override;
    virtual bool IsCurrentSideAI() const;
    bool IsTargetBallThrown() const override;
    virtual int32_t GetBallsInPlayCount() const;
    bool IsLocalHumanTurn() const override;
    // The target ball's world position, while it is not the ball thrown.
    virtual bool GetTargetBallPosition(Ogre::Vector3& position) const;

    CBall* GetBall(uint32_t index) const;
    std::vector<CBall*> GetScoringBalls() const;
    // Builds (or rebuilds) the 3D models of a team's players.
    void BuildPlayerModel(Team* team);
    // The away shirt (a copy of `own` in another colour, made once) when the
    // shirt materials `own` and `other` are too alike to tell the sides
    // apart; "" when they differ enough or either material is missing.
    static std::string AwayShirtMaterial(const std::string& own, const std::string& other);

    // ---- turn order and throw driving -------------------------------------
    void StartRound();
    void SetCurrentPlayer(CPlayer* player) override;
    void FaceTarget();
    void SelectTeamPlayer(uint32_t index) override;
    // Per frame while a throw is in progress.
    void UpdateThrow();
    // Per frame while a computer side is at the aiming step.
    void ApplyAIDecision();
    void ApplyRemoteShootOptions();
    void SetShootOptions() override;
    void SendShootParams();
    void SendBallsPositions();
    bool AreBallsMoving() const;
    // The balls in play count as settled once they creep (BallsRest), or
    // at once when none moves at all.
    static const float kRestSpeed;
    static const uint32_t kRestHoldMs;
    bool AreBallsSettled(uint32_t now);
    void controlBallsPositions();
    void UpdateRollingCalibration();
    // Intro-time rolling calibration; true when done.
    bool CalibrateRolling();
    void ShowBestBalls();
    void HideBestBalls();
    void ResetAwards();

    // ---- camera -----------------------------------------------------------
    void CreateCameras();
    // What the zoom and tracking views look at: the target ball; the
    // training referee gives its exercise's object.
    virtual CKEMSceneNode* GetCameraFocusNode() const;
    Ogre::Vector3 GetCameraFocus() const;
    // The throw view's place: behind, `height` above and beside a thrower at
    // `player` aiming at `aim`, `zoom` metres nearer; the side is the one
    // that stays within minX..maxX.
    // A still view of the end camera, from the side of `from`, that holds
    // every point given (the first one at least) in the picture.
    void FrameStill(const std::vector<Ogre::Vector3>& points, const Ogre::Vector3& from);
    // The result view of a throw: a place and look point, from the side of
    // `from`, looking down, near enough that every point stands in the
    // picture above the result frame and below the score bar (false when
    // even the farthest place does not hold them; place and look are then
    // that farthest try).
    static bool FrameResultView(const std::vector<Ogre::Vector3>& points, const Ogre::Vector3& from, float fovY,
                                float aspect, Ogre::Vector3& place, Ogre::Vector3& look);
    // The target ball, the balls in play around it and the ball just thrown.
    std::vector<Ogre::Vector3> ResultViewPoints() const;
    // Moves the end camera to the result view in `duration` s; false without
    // a target ball in play or the end camera.
    bool AimResultView(float duration);
    // The target ball's pointer and the best balls' markers, sized for the
    // current view and set above their balls; every frame.
    void FitMarkersToView();
    static Ogre::Vector3 LaunchCameraPlace(const Ogre::Vector3& player, const Ogre::Vector3& aim, float zoom,
                                           float height, float minX, float maxX);
    // The throw view stands this far behind the thrower and, unless
    // something on the ground needs it higher, this high.
    static constexpr float kLaunchCameraBack = 4.0f;
    static constexpr float kLaunchCameraHeight = 2.4f;
    virtual float GetLaunchCameraHeight() const { return kLaunchCameraHeight; }
    void UpdateMatchCamera(int32_t state) override;
    void UpdateThrowCamera();
    bool CaptureFreeCameraInput(const CEGUI::EventArgs& args);
    bool ReleaseFreeCameraInput(const CEGUI::EventArgs& args);
    bool MoveFreeCamera(const CEGUI::EventArgs& args);
    // Mouse handling without the GUI event (button 0 left, 1 right).
    bool OnMouseDown(int32_t button);
    bool OnMouseUp(int32_t button);
    bool OnMouseMove(float dx, float dy, float frameTime);

    // ---- debug keys (ENABLE_CHEAT) ----------------------------------------
    void DebugMoveBalls();
    void DumpBalls();

    // ---- the HUD's view ----------------------------------------------------
    int32_t GetKind() const override { return mGameKind; }
    bool HasMatchState() const override { return mMatch != nullptr; }
    Team* GetTeam(int32_t side) const override;
    int32_t GetScore(int32_t side) const override;
    int32_t GetSideToPlay() const override;
    int32_t GetSuccessfulThrows() const override { return 0; }
    int32_t GetThrowsMade() const override { return 0; }
    LaunchSet* GetLaunchSet() const override { return mLaunchSet; }
    CAimGuide* GetAimGuide() const override { return mAimGuide; }
    const std::vector<CBall*>& GetBalls() const override { return mBalls; }
    float GetZoomFactor() const override { return mRadarZoom; }
    void SetZoomFactor(float zoom) override { mRadarZoom = zoom; }
    void ResetFreeCamera() override;
    int32_t GetPlayersPerTeam() const override;

    // ---- accessors for the match states ------------------------------------
    MatchState* GetMatchState() const { return mMatch; }
    CMatchCamera* GetCamera() const { return mCamera; }
    StrategyManager* GetStrategyManager() const { return mStrategy; }
    CRollingEstimator* GetRollingEstimator() const { return mRollingEstimator; }
    AIParameters* GetAIParameters() const { return mAIParameters; }
    CKEMSceneNode* GetTargetPointerNode() const;
    CKEMSceneNode* GetIntroReference() const { return mIntroReference; }
    CKEMSceneNode* GetOutroReference() const { return mOutroReference; }
    CKEMSceneNode* GetSponsorsPanel() const { return mSponsorsPanel; }
    CKEMSceneNode* GetSlowMotionCamera() const { return mSceneCameras[6]; }
    // The model node of a player (its game element's node); null before built.
    static CKEMSceneObject* GetPlayerNode(const CPlayer* player);
    CBall* GetCurrentBall() const { return mCurrentBall; }
    CBall* GetPreviousBall() const { return mPreviousBall; }
    CBall* GetTargetBall() const { return mTargetBall; }
    int32_t GetCameraState() const { return mCameraState; }
    bool IsHeld() const { return mHeld; }
    void SetHeld(bool held) { mHeld = held; }
    // The power gauge stopped and the throw animation is chosen.
    bool IsGaugeDone() const;
    // Balls per side: 3 per player, 2 each in a side of three.
    int32_t GetBallsPerSide() const;
    static int32_t BallsPerSide(int32_t playersPerSide);
    // Element of the ball list for the side's next ball given its balls left.
    static int32_t NextBallIndex(int32_t ballsPerSide, int32_t side, int32_t ballsLeft);
    // The computer side's level for a difficulty (0, 1, 2), clamped to 0..10.
    static int32_t AILevelFor(const Team* team, int32_t difficulty);

protected:
    // The venue's play and camera limits, the terrain's bounds and the intro,
    // outro and sponsors objects: the same on every venue, the training's too.
    void PlaceVenueLimits(Terrain* terrain);
    void ReleaseBall(CBall* ball);   // hidden, out of the simulation, effects stopped
    void SetBallHighlight(CBall* ball, bool on);
    bool CheckVenue();
    // "CNetClient::e_next_step_signal_clients()" to the peers, and this
    // machine's own signal counted.
    void SendNextStepSignal();

public:
    // Members kept public for the match states, the training referee and
    // the tests that drive the referee without a venue.
    CTarget* mAimTarget = nullptr;            // owned
    CTarget* mTargetBallPointer = nullptr;    // owned, may be null
    std::vector<CTarget*> mBestBallMarkers;   // owned
    CBall* mTargetBall = nullptr;             // element 0 of mBalls
    CCircle* mCircle = nullptr;               // owned
    MatchState* mMatch;                       // not owned
    LaunchSet* mLaunchSet = nullptr;          // owned
    StrategyManager* mStrategy = nullptr;     // owned
    AIParameters* mAIParameters = nullptr;    // owned
    CRollingEstimator* mRollingEstimator = nullptr;   // owned
    CAimGuide* mAimGuide = nullptr;           // owned
    CMatchCamera* mCamera = nullptr;          // owned
    std::vector<CBall*> mBalls;               // owned
    std::vector<CAxisGraduation*> mGraduations;   // handed to the aim guide, which deletes them
    CPlayer* mCurrentPlayer = nullptr;
    CBall* mCurrentBall = nullptr;
    CBall* mPreviousBall = nullptr;
    int32_t mDebugBallIndex = 0;
    bool mHeld = false;
    CKEMSceneNode* mIntroReference = nullptr;
    CKEMSceneNode* mOutroReference = nullptr;
    CKEMSceneNode* mSponsorsPanel = nullptr;
    int32_t mSetUp = 0;
    bool mSetUpFailed = false;
    float mRadarZoom = 1.0f;
    int32_t mGameKind = KIND_MATCH;
    CKEMSceneNode* mSceneCameras[7] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    int32_t mCameraState = CAMERA_NONE;
    float mCameraSpeed1 = 3.0f;
    float mCameraSpeed2 = 1.0f;
    bool mCameraMove = false;
    bool mRightDrag = false;
    bool mLeftDrag = false;
    bool mInputCaptured = false;
    float mRightDragX = 0.0f, mRightDragY = 0.0f;
    float mLeftDragX = 0.0f, mLeftDragY = 0.0f;
    float mOrbitAngle = 0.0f;
    float mZoomDistance = 0.0f;
    float mTurnInput = 0.0f;
    float mPitchInput = 0.0f;
    float mZoomSpeed = 0.0f;
    // The ball being followed in camera state 3 has been seen moving.
    bool mFollowDone = false;
    bool mCalibrationStarted = false;
    // Since when every moving ball in play has crept.
    BallsRest mRest;
    // The controlBallsPositions trace (TAVIRELO_PHYSICS_TRACE).
    bool mTraceBalls = false;
};
