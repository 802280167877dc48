// The referee of a training game: one player alone on the training ground
// throws a series of ten balls at one of four exercises (pointing into a
// ring, pointing into the ring behind a wall, shooting at a target on the
// ground, shooting a ball off its spot). It sets up the training ground
// instead of a match, places each exercise from "Train_DB.csv", records where
// the thrown ball first touches something and scores each throw.
//
// The training states drive it: the throws run through the inherited throw
// driver; IsThrowFinished, EvaluateThrow, NextExercise and PlaceExercise
// move the series on.
#pragma once

#include "CGameMaster.h"

#include <CImpactListener.h>
#include <KEMStringUtils.h>

#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <string>

class CMovableGameElement;

class CTrainingGameMaster : public CGameMaster, public CImpactListener {
public:
    enum Exercise {
        EXERCISE_POINT_RING = 0,     // pointing into the ring
        EXERCISE_POINT_WALL = 1,     // pointing into the ring with the wall set up
        EXERCISE_SHOOT_TARGET = 2,   // shooting at the target on the ground
        EXERCISE_SHOOT_BALL = 3,     // shooting the ball off its spot
        EXERCISE_COUNT = 4,
    };
    // Throws of a series, and rows of the exercise table (one per throw).
    static constexpr int32_t kSeriesLength = 10;
    static constexpr int32_t kExerciseRows = 10;

    // One row of "Train_DB.csv".
    struct ExerciseRow {
        float angle;      // degrees from the -z axis seen from the circle
        float distance;   // metres from the circle
        float wallZ;      // wall offset from the target along z
        float wallX;      // wall offset from the target along x
    };
    typedef std::array<ExerciseRow, kExerciseRows> ExerciseTable;
    // Where the exercise objects stand, one (x, z) per row.
    struct ExercisePoints {
        float target[kExerciseRows][2];
        float wall[kExerciseRows][2];
    };
    // A row the table lacks or cannot give: straight ahead, 6 m from the
    // circle, the wall 1.5 m before the target.
    static const ExerciseRow kDefaultRow;

    // A kind outside 0..3 would give a throw that never ends: such a kind
    // becomes 0 (logged).
    static int32_t ValidExerciseKind(int32_t kind);
    // Rows 1 to 10 of the table (row 0 is the header): rows past the tenth
    // are ignored, missing or malformed rows (fewer than four numbers) get
    // kDefaultRow. `rowsUsed` (optional) receives how many rows were taken
    // from the table.
    static ExerciseTable ReadExerciseTable(const TextTable& table, int32_t* rowsUsed = nullptr);
    // The table at `path`; every row kDefaultRow when it cannot be read.
    static ExerciseTable LoadExerciseTable(const std::string& path);
    // Target and wall points of every row around the circle's world position.
    static ExercisePoints ComputeExercisePoints(const ExerciseTable& table, const Ogre::Vector3& circle);

    explicit CTrainingGameMaster(int32_t exerciseKind);
    ~CTrainingGameMaster() override;

    // ---- scene node ------------------------------------------------------------
    // The training set-up, once, at registration with the scripted-node manager.
    void RegisterEvents() override;
    // The trainee's node link goes with the scene.
    void Term() override;

    // The set-up of the training ground; false (logged) when the ground lacks
    // an object the training needs.
    bool Init();
    // The training ground's objects the set-up cannot do without.
    static const std::vector<std::string>& RequiredTrainingObjects();

    // Reads the exercise table and places the first exercise (end of Init).
    void SetupExercise();
    // Puts the exercise objects on the current target and wall points.
    void PlaceExercise();
    // Both indexes one row on (row 9 is followed by row 0).
    void NextExercise();
    // A new series: counters, first impact and both indexes back to 0.
    void ResetSeries();
    // The throw is over (and, when shooting the ball, the shot ball rests).
    bool IsThrowFinished();
    // The training's per-frame throw driver: a new throw keeps the
    // exercise's throw mode and aims at the exercise.
    void UpdateThrow();
    // Aims at the exercise's object.
    void FaceTarget();
    // The result's view: the exercise's object, with the thrown ball (and
    // the shot ball) when they rest near it.
    void FrameThrowResult();
    CKEMSceneNode* GetCameraFocusNode() const override;
    // Behind the wall, the throw view rises until the ring shows over it.
    float GetLaunchCameraHeight() const override;

    // ---- referee operations ----------------------------------------------------
    ThrowResult& EvaluateThrow(ThrowResult& result) override;
    using CGameMaster::EvaluateThrow;
    CPlayer* GetCurrentPlayer() const override { return mTrainee; }
    Terrain* GetTerrain() const override { return mTerrain; }
    bool IsCurrentSideAI() const override { return false; }
    int32_t GetBallsInPlayCount() const override;
    bool IsLocalHumanTurn() const override { return true; }
    bool GetTargetBallPosition(Ogre::Vector3& position) const override;
    int32_t GetSuccessfulThrows() const override { return mSuccesses; }
    int32_t GetThrowsMade() const override { return mThrows; }

    // ---- impacts of the balls --------------------------------------------------
    // Kept only for the thrown ball while its throw is in flight, and only the
    // first of the throw.
    void OnImpact(CKEMSceneNode* ball, float x, float y, float z) override;
    void OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode* other, float x, float y, float z) override;
    bool HasFirstImpact() const { return mFirstImpact != kNoImpact; }

    int32_t GetExerciseKind() const { return mExerciseKind; }
    // The throw mode of the exercise: pointing for the two pointing drills.
    int32_t GetExerciseThrowMode() const;
    // The exercise's object: the ring, the shooting target or the ball to be shot.
    CMovableGameElement* GetExerciseTarget() const { return mExerciseTarget; }
    // The wall of the pointing drill behind the wall; null in the others.
    CMovableGameElement* GetWall() const { return mWall; }
    CBall* GetThrownBall() const { return GetBall(0); }
    CBall* GetShotBall() const { return mExerciseKind == EXERCISE_SHOOT_BALL ? GetBall(1) : nullptr; }

    // A first impact not yet recorded.
    static const Ogre::Vector3 kNoImpact;

    // Kept public for the training states and the tests, as the match referee's.
    Terrain* mTerrain = nullptr;                        // owned
    int32_t mSuccesses = 0;
    int32_t mThrows = 0;
    int32_t mExerciseKind;
    CMovableGameElement* mShootingTarget = nullptr;   // owned; "cible_tir", shooting at the target only
    CMovableGameElement* mRing = nullptr;             // owned; "cercle_entrainement", pointing drills only
    CMovableGameElement* mWall = nullptr;             // owned; "mur_entrainement", pointing behind the wall only
    CMovableGameElement* mExerciseTarget = nullptr;   // one of the above, or ball 2 when shooting the ball
    CPlayer* mTrainee = nullptr;                        // the player table's; not owned
    CKEMSceneNode* mSpotMark = nullptr;        // "cercle_tir" on the shot ball's spot; shooting the ball only
    CKEMSceneNode* mShotBallMarker = nullptr;  // "pointeur cochonnet" over the ball to shoot while aiming
    Ogre::Vector3 mFirstImpact = kNoImpact;
    Ogre::Vector3 mBallStart = Ogre::Vector3::ZERO;     // the shot ball's spot, height 0
    ExercisePoints mPoints{};
    int32_t mTargetIndex = 0;
    int32_t mWallIndex = 0;

private:
    void BuildTraineeModel();
    void PlaceWall(float x, float z);
    void PlayResultSound(bool success);
};
