// The aiming aid of a throw: the aim point on the ground and the launch
// angle, the launch speed that reaches the aim point, turning and (debug)
// lengthening of the aim, and the graduated distance axis drawn from the
// thrower's hand, cut into coloured bands at the distances the thrower's four
// characteristic speeds reach.
#pragma once

#include <OgreVector.h>

#include <cstdint>
#include <vector>

class CAxisGraduation;
class CBall;
class CHudGameSource;
class CRollingEstimator;
class CPlayer;
class CTarget;
class Terrain;

class CAimGuide {
public:
    CAimGuide();
    // Removes the axis shapes and deletes the graduation marks.
    ~CAimGuide();
    CAimGuide(const CAimGuide&) = delete;
    CAimGuide& operator=(const CAimGuide&) = delete;

    // Ballistics: a ball leaving the hand `height` above the ground at
    // `angle` degrees with `speed` under gravity `g`. The speed that lands it
    // `distance` away (0 when none does); the distance it lands at (-1 when
    // it never comes down to the ground).
    static float LaunchSpeed(float distance, float angle, float height, float g);
    static float LandingDistance(float speed, float angle, float height, float g);

    // New thrower: the throw mode's angle range, default angle and release height.
    void ResetAim(CPlayer* player, CBall* ball);
    // The point at 0.02 above the ground; turns the thrower toward it.
    void SetAimPoint(const Ogre::Vector3& point);
    float SpeedToAimPoint(float angle) const;
    float SpeedForDistance(float distance) const;
    float DistanceForSpeed(float speed) const;
    float GetGraduationDistance0() const { return GraduationDistance(0); }
    float GetGraduationDistance1() const { return GraduationDistance(1); }
    float GetGraduationDistance2() const { return GraduationDistance(2); }
    float GetGraduationDistance3() const { return GraduationDistance(3); }
    float GetMaxDistance() const;

    // Per frame while a local human aims: keys (actions 7 and 8 turn, 10 and
    // 9 lengthen and shorten when ENABLE_CHEAT is set), the head-up
    // display's turn request, then the axis redrawn.
    void Update();
    // The same with the four actions' channel values (10, 9, 7, 8).
    void Update(uint16_t increase, uint16_t decrease, uint16_t left, uint16_t right);

    // One frame of turning (left positive) or of lengthening the aim.
    void TurnLeft();
    void TurnRight();
    void IncreaseDistance();
    void DecreaseDistance();
    // One mouse rotation, radians.
    void RotateAim(float angle);

    void DrawAxis();
    void HideAxis();
    // Debug drawing (ENABLE_CHEAT) of where an ordinary ball is expected to
    // roll to from the aim point.
    void DrawRollingEstimate();
    // The estimator's rolling distance (angle, effect, speed); installed by
    // the referee, which links the computer opponent.
    static float (*sEstimateRolling)(const CRollingEstimator* estimator, float angle, float effect, float speed);

    // The release point of the current thrower (zero without one).
    Ogre::Vector3 ReleasePoint() const;

    // The referee; when set, every new aim point goes to the LAN peers.
    CHudGameSource* mReferee = nullptr;
    CPlayer* mPlayer = nullptr;
    CBall* mBall = nullptr;
    Terrain* mTerrain = nullptr;
    bool mAxisShown = false;
    bool mEstimateNeeded = false;
    float mLaunchAngle = 45.0f;
    float mLaunchSpeed = 5.0f;
    float mGravity;
    float mReleaseHeight = 0.0f;
    float mAxisMax;
    float mAngleMax = 0.0f;
    float mAxisMin;
    float mAngleMin = 0.0f;
    float mDefaultAngle = 0.0f;
    Ogre::Vector3 mAimPoint = Ogre::Vector3::ZERO;
    float mTurnSpeed = 0.0f;
    float mDistanceSpeed = 0.0f;
    int mTurnRequest = 0;
    CRollingEstimator* mRollingEstimator = nullptr;   // not owned; null without a computer side
    CTarget* mAimTarget = nullptr;
    CTarget* mTargetBallPointer = nullptr;
    std::vector<CAxisGraduation*> mGraduations;   // owned

private:
    float GraduationDistance(int k) const;
    float Clamp(float distance) const;
    void Turn(float angle);
    void Lengthen(float distance);
};
