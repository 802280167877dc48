// The computer opponent's snapshot of a mene before a normal throw: every
// ball in play ranked by its distance to the target ball, its side, distance
// zone and angle class, each side's best ball and how many balls each side
// holds the point with; plus the obstruction tests the choices use. "My"
// means the side that is to throw. Taken once: later ball movements are not
// followed.
//
// The analysis works on plain positions (AISituationInput), taken from the
// match state by the constructor that the strategy manager uses.
#pragma once

#include <OgreVector.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class AIParameters;
class CBall;
class CPlayer;
class MatchState;

// One ball in play. The position is the ball's at the snapshot.
struct AIBallRecord {
    bool isOpponent = false;
    float squaredDistance = 0.0f;   // to the target ball, m^2
    int32_t zone = 0;               // 0 to 3
    int32_t angleClass = 0;         // 0 plus, 1 neutral, 2 minus
    CBall* ball = nullptr;
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
};

// What the snapshot is taken from.
struct AISituationInput {
    struct Ball {
        CBall* ball;
        Ogre::Vector3 position;
    };
    CBall* targetBall = nullptr;
    Ogre::Vector3 targetPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 circlePosition = Ogre::Vector3::ZERO;   // the throwing circle
    int32_t myScore = 0;
    int32_t opponentScore = 0;
    int32_t myBallsLeft = 0;        // still in hand
    int32_t opponentBallsLeft = 0;
    int32_t targetScore = 0;        // the score that wins the match
    CPlayer* currentPlayer = nullptr;   // the current player of my side
    // The balls in play (thrown, not out) of each side, in throw order.
    std::vector<Ball> myBalls;
    std::vector<Ball> opponentBalls;
};

class AISituation {
public:
    // Takes the snapshot at once. The parameters must outlive the situation.
    AISituation(const AIParameters* parameters, const AISituationInput& input);
    // The snapshot of the match state's current mene, for the side that
    // throws next. Without a mene record the situation is empty.
    AISituation(const AIParameters* parameters, MatchState* matchState);
    ~AISituation() = default;

    // What the snapshot of a match state's current mene is taken from.
    static AISituationInput InputFromMatch(const MatchState* matchState);

    void Compute(const AISituationInput& input);
    // Empties the three arrays.
    void Release();

    // The record index of my (the opponent's) ball of that rank, 0 the
    // nearest; -1 out of range.
    int32_t GetMyBallIndex(uint32_t rank) const;
    int32_t GetOpponentBallIndex(uint32_t rank) const;
    size_t GetMyBallCount() const { return mMyBallIndices.size(); }
    size_t GetOpponentBallCount() const { return mOpponentBallIndices.size(); }
    size_t GetBallCount() const { return mBalls.size(); }
    // A copy of the record; the index must be below GetBallCount.
    AIBallRecord GetBall(size_t index) const { return mBalls[index]; }
    // The record of that ball, or -1.
    int32_t FindBall(const CBall* ball) const;

    // Zone of a distance ratio (squared distance / squared throwing
    // distance): 1, 2 or 3; zones 0 and 1 are not told apart here.
    int32_t GetZone(float ratio) const;
    // Zone 0 to 3 of a ratio, as the analysis sorts the balls.
    int32_t GetFullZone(float ratio) const;
    // Angle class of a ball: the angle at the target ball between the
    // directions to the ball and to the throwing circle.
    int32_t GetAngleClass(const Ogre::Vector3& ball, const Ogre::Vector3& target) const;
    // Angle class of the angle between two directions (a zero direction
    // reads as square to the other).
    int32_t ClassifyAngle(const Ogre::Vector3& a, const Ogre::Vector3& b) const;

    // True when `test` lies beyond `front` on the line from the throwing
    // circle through `front`, within 0.1 m of that line.
    bool IsBehind(const Ogre::Vector3& front, const Ogre::Vector3& test) const;
    // True when another ball of the records has this one behind it (is in
    // front of it) at a distance below `radius`. False for a ball that is not
    // in the records.
    bool HasBallInFront(const CBall* ball, float radius) const;
    bool HasBallInFront(size_t recordIndex, float radius) const;
    // True when another ball of the records lies behind this one at a
    // distance below `radius`.
    bool HasBallBehind(const CBall* ball, float radius) const;
    bool HasBallBehind(size_t recordIndex, float radius) const;

    CBall* GetTargetBall() const { return mTargetBall; }
    CBall* GetBestOpponentBall() const { return mBestOpponentBall; }
    CBall* GetMyBestBall() const { return mMyBestBall; }
    const Ogre::Vector3& GetTargetPosition() const { return mTargetPosition; }
    const Ogre::Vector3& GetCirclePosition() const { return mCirclePosition; }
    float GetThrowingDistance() const { return mThrowingDistance; }
    const AIParameters* GetParameters() const { return mParameters; }
    float GetSquaredLimit(int i) const { return mSquaredLimits[i]; }
    int32_t GetMyHoldingCount() const { return mMyHoldingCount; }
    int32_t GetOpponentHoldingCount() const { return mOpponentHoldingCount; }
    int32_t GetMyScore() const { return mMyScore; }
    int32_t GetOpponentScore() const { return mOpponentScore; }
    int32_t GetMyBallsLeft() const { return mMyBallsLeft; }
    int32_t GetOpponentBallsLeft() const { return mOpponentBallsLeft; }
    int32_t GetTargetScore() const { return mTargetScore; }
    CPlayer* GetCurrentPlayer() const { return mCurrentPlayer; }
    MatchState* GetMatchState() const { return mMatchState; }

private:
    void AddRecord(CBall* ball, const Ogre::Vector3& position, bool isOpponent, float squaredThrowingDistance);

    CBall* mTargetBall = nullptr;
    CBall* mBestOpponentBall = nullptr;
    CBall* mMyBestBall = nullptr;
    Ogre::Vector3 mTargetPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mCirclePosition = Ogre::Vector3::ZERO;
    float mThrowingDistance = 0.0f;
    const AIParameters* mParameters;
    float mSquaredLimits[3] = {0.0f, 0.0f, 0.0f};
    int32_t mMyHoldingCount = 0;
    int32_t mOpponentHoldingCount = 0;
    int32_t mMyScore = 0;
    int32_t mOpponentScore = 0;
    int32_t mMyBallsLeft = 0;
    int32_t mOpponentBallsLeft = 0;
    int32_t mTargetScore = 0;
    CPlayer* mCurrentPlayer = nullptr;
    MatchState* mMatchState = nullptr;
    std::vector<int32_t> mMyBallIndices;
    std::vector<int32_t> mOpponentBallIndices;
    std::vector<AIBallRecord> mBalls;
};
