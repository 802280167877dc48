// How far a ball rolls after its first touch of the ground, measured on the
// venue itself: at the match intro six calibration balls are thrown with
// known angle, speed and spin; the distance each rolls from its first ground
// impact to its rest gives one sample, and the samples give how the rolling
// distance changes with angle, speed and spin. Until then every estimate is
// 2 m. A ball that touches another ball or never lands on the ground is
// counted without a sample, and a time limit ends a calibration whose balls
// do not all come to rest, so the match intro that waits for it always ends.
#pragma once

#include "CImpactListener.h"

#include <OgreVector.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class AIParameters;
class CBall;

// One calibration throw, and the form of a sample once measured.
struct CalibrationSet {
    float effect = 0.0f;     // 0 none, 1 backspin
    float velocity = 0.0f;   // launch speed, m/s
    float angle = 0.0f;      // launch angle, degrees
    float result = 0.0f;     // measured rolling distance, m
};

class CRollingEstimator : public CImpactListener {
public:
    enum { SET_COUNT = 6 };
    // The six sets, in launch order.
    static const char* const kSetNames[SET_COUNT];
    // Sideways offsets (x, metres) of the six calibration balls' start.
    static const float kLaunchOffsets[SET_COUNT];
    // Start height is the tuning value HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE,
    // start z this.
    static const float kLaunchZ;

    // Launches one placed calibration ball: the caller's ball sets its
    // effect mode to 1 when set.effect is above 0 and launches with the set's
    // angle, velocity and effect toward `direction` (-Z).
    typedef std::function<void(CKEMSceneNode* ball, const CalibrationSet& set, const Ogre::Vector3& direction)> Launcher;

    // The six sets from the tuning angles; slopes 0, no sample.
    explicit CRollingEstimator(const AIParameters* parameters);
    ~CRollingEstimator() override;

    // Game time (ms) a calibration may last before it ends with the samples
    // it has.
    static const uint32_t kCalibrationTimeLimitMs;

    // Places and launches balls 1 to 6 (element 0 is the target ball), one
    // per set. Missing balls (a shorter list, null nodes) are logged and
    // skipped: their sets never produce a sample. Only the first call
    // launches anything.
    void Calibrate(const std::vector<CKEMSceneNode*>& balls, const Launcher& launch);
    // The same with the match's balls, each launched by CBall::Launch (with
    // the forward effect mode for a set with effect).
    void Calibrate(const std::vector<CBall*>& balls);

    // The actual release of a calibration ball replaces its set's effect,
    // speed and angle. `unused` is not read.
    void RecordLaunch(float angleDegrees, float effect, float speed, CKEMSceneNode* ball, const Ogre::Vector3& unused);

    // The first ground impact of a calibration ball is kept; later ones not.
    void OnImpact(CKEMSceneNode* ball, float x, float y, float z) override;
    // A calibration ball that touches another ball gives no sample; it still
    // counts as done when it comes to rest.
    void OnImpactWithObject(CKEMSceneNode* ball, CKEMSceneNode* other, float x, float y, float z) override;

    // A ball has come to rest: a calibration ball with an impact point gives
    // its sample (distance from the impact to its rest), one without (it
    // touched another ball or never landed on the ground) is done without a
    // sample; either leaves the simulation. The last one ends the
    // calibration. Later rests of the same ball are ignored.
    void UpdateCalibration(CKEMSceneNode* ball);
    // The same from the ball's name and rest position, for callers that
    // track the ball themselves; `removeFromPhysics` is called while
    // calibrating (the ball leaves the simulation).
    void UpdateCalibration(const std::string& nodeName, const Ogre::Vector3& restPosition,
                           const std::function<void()>& removeFromPhysics);

    // Once per frame while the intro waits, with the game time in ms: the
    // first call after Calibrate starts the time limit; past it the
    // calibration ends with the samples measured so far. True when no
    // calibration is running (finished, or none was launched).
    bool AdvanceCalibration(uint32_t gameTimeMs);
    bool IsCalibrating() const { return mBallsInFlight > 0; }

    // Rolling distance (m, never negative) of a throw.
    float Estimate(float angleDegrees, float effect, float velocity) const;

    const std::vector<CalibrationSet>& GetSamples() const { return mSamples; }
    const std::map<std::string, CalibrationSet>& GetSets() const { return mSets; }
    bool HasImpact(const std::string& setName) const { return mImpacts.count(setName) != 0; }
    float GetAngleSlope() const { return mAngleSlope; }
    float GetVelocitySlope() const { return mVelocitySlope; }
    float GetEffectSlope() const { return mEffectSlope; }
    int32_t GetBallsInFlight() const { return mBallsInFlight; }

private:
    // The set name of a calibration ball while calibrating, else the name.
    std::string CalibrationEntry(const std::string& nodeName) const;
    void FinishCalibration();
    void ComputeSlopes();

    std::vector<CalibrationSet> mSamples;
    std::map<std::string, std::string> mBallToSet;
    std::map<std::string, CalibrationSet> mSets;
    std::map<std::string, Ogre::Vector3> mImpacts;
    // Sets whose ball gave a sample, with its result: the slopes' inputs.
    std::map<std::string, CalibrationSet> mMeasured;
    [[maybe_unused]] const AIParameters* mParameters;
    float mAngleSlope = 0.0f;
    float mVelocitySlope = 0.0f;
    float mEffectSlope = 0.0f;
    int32_t mBallsInFlight = 0;
    bool mLaunched = false;
    bool mTimerStarted = false;
    uint32_t mCalibrationStartMs = 0;
};
