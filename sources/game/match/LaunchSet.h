// One throw: the power gauge, the balance gauge, the throw animation up to
// the release frame, the launch computed from the player's hand and the
// aiming guide, the LAN exchange of the launch values, and the ball sent off
// through CBall::Launch. The referee calls Update every frame while a throw
// runs; gauges stop on `mValidated` (the throw key) or, for the computer and
// LAN peers, by themselves at the preset values.
#pragma once

#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

class CAimGuide;
class CBall;
class CKEMSceneObject;
class CObjnet;
class CPlayer;
class MatchState;
struct NetLaunchSet;

class LaunchSet {
public:
    explicit LaunchSet(CAimGuide* guide);

    // The error coefficients and the power gauge's time of a difficulty
    // (0 easy, 1 medium, 2 hard); the constructor takes the game's.
    void SelectDifficulty(int32_t difficulty);

    void Begin(CPlayer* player, CBall* ball);
    // One frame of the throw; `balls` is the match's ball list (the peer's
    // throw replayed at step 6 ends on their final positions).
    void Update(MatchState* match, std::vector<CBall*> balls);
    void Update(MatchState* match) { Update(match, std::vector<CBall*>()); }
    // Debug placement: the ball dropped from 1 m above the point of the
    // terrain under the window point (fractions of the window).
    void DropBallAtCursor(float x, float y);
    // The replay of a LAN peer's throw, installed by the referee (the replay
    // manager lives with the head-up display). Without them the peer's
    // throw is simulated here from its launch values.
    struct ReplayHooks {
        void (*start)() = nullptr;                          // start replaying what was received
        bool (*play)(uint32_t now) = nullptr;              // true at the end of the replay
        void (*finish)(std::vector<CBall*> balls) = nullptr;   // balls put on their final places
    };
    static ReplayHooks sReplay;
    // The error level of a computer throw, kept to 0..10 (-1 stays: no error).
    static int32_t ClampLevel(int32_t level);
    // A balance error of `amplitude` (which may come out negative) from two
    // draws, kept within -5..5.
    static float BalanceError(float amplitude, int draw, int signDraw);
    // The widest errors of a computer throw at `level` (0..10) under this
    // set's difficulty: on the launch speed, and on the balance of a player
    // whose balance with its zone malus is `balance` (kept within 5).
    float PowerErrorBound(int32_t level) const;
    float BalanceErrorBound(int32_t level, float balance) const;
    // Presets for an automatic throw at `speed` and `angle`; level -1 adds no
    // error (a LAN peer's throw shown with automatic gauges).
    void ApplyErrors(float speed, float angle, int32_t level);
    // Takes the presets received from the LAN controller of the side to play.
    void TakeControlerPreset(MatchState* match);
    // The body of "CNetClient::e_shoot_params".
    void Serialize(CObjnet& message) const;
    void SetAnimationTiming();

    // Launch from the hand: axis correction, direction with the unbalance,
    // initial speed, effect, angle.
    void ComputeThrow();
    void LaunchBall();
    void GetHandPosition();
    float CorrectInitialVelocity();

    // "CNetClient::e_launchset()": client id, controller type, the six
    // launch values.
    void WriteLaunchSetMessage(CObjnet& message, uint32_t clientId, int32_t controller) const;
    // Stores a received set in the controller entry of that type; false
    // (dropped, not relayed) for a controller the match does not have.
    static bool StoreReceivedLaunchSet(int32_t controller, const NetLaunchSet& values);
    // Hands the received shoot parameters, shoot options and launch sets to
    // the controller entries; the constructor calls it.
    static void InstallNetReceiver();

    // Power after `elapsedMs` of the power gauge; balance after `elapsedMs`
    // of a half-cycle of `crossingMs`.
    float PowerAt(uint32_t elapsedMs) const;
    static float BalanceAt(uint32_t elapsedMs, float crossingMs, bool rising);

    uint32_t mLaunchStartTime = 0;
    uint32_t mBalancePhaseStart = 0;
    int32_t mStep = 0;
    float mPower = 0.0f;
    float mSpeed = 0.0f;
    float mShootingAngle = 0.0f;
    float mBalance = 0.0f;
    float mMaxShootingAngle = 0.0f;
    int32_t mMinShootingAngle = 0;
    float mBalanceCrossingTime = 0.0f;
    float mAngleMaxFrame = 0.0f, mAngleMinFrame = 0.0f, mPowerMaxFrame = 0.0f, mPowerMinFrame = 0.0f;
    bool mBalanceRising = false;
    bool mRestarted = false;
    std::string mThrowAnim, mStanceAnim, mFollowAnim;
    float mPresetPower = 0.0f;
    float mPresetShootingAngle = 0.0f;
    float mPresetUnbalance = 0.0f;
    int32_t mHalfCycles = 0;
    uint32_t mPresetBalanceGoAndBack = 0;
    bool mPresetActive = false;
    bool mValidated = false;
    CPlayer* mPlayer = nullptr;
    CBall* mBall = nullptr;
    int32_t mMsPerFrame = 0;
    CAimGuide* mAimGuide;
    uint32_t mPowerPhaseStart = 0;
    int32_t mReleaseFrame = 0;
    float mEffect = 0.0f;
    float mInitialSpeed = 0.0f;
    float mLaunchAngle = 0.0f;
    Ogre::Vector3 mDirection = Ogre::Vector3::ZERO;
    float mPowerErrorCoef = 0.0f;
    float mAwkwardnessInfluence = 0.0f;
    float mUnbalanceInfluence = 0.0f;
    float mPowerGaugeTime = 0.0f;   // ms

private:
    void StepPower();
    void StepBalance();
    void StepRelease(MatchState* match);
    void StepReplay(const std::vector<CBall*>& balls);
    CKEMSceneObject* Model() const;
};
