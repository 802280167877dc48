// The state of one match between two sides (side 0 is team A, side 1 team B)
// and the rules applied after every throw: whether a thrown target ball is
// valid, which balls score, which side throws next, when a mene is over and
// how the scores grow. The per-mene part is a MeneRecord, replaced at every
// mene start.
#pragma once

#include <cstdint>
#include <vector>

class CBall;
class CGameElement;
class Team;
class Terrain;

class MeneRecord {
public:
    MeneRecord(Team* side0, Team* side1, CGameElement* circle, int32_t startingSide);
    // The balls are not deleted.
    ~MeneRecord();
    MeneRecord(const MeneRecord&) = delete;
    MeneRecord& operator=(const MeneRecord&) = delete;

    std::vector<CBall*> mScoringBalls;   // nearest first
    std::vector<CBall*> mBalls[2];       // every ball each side threw, in throw order
    Team* mTeams[2];
    CBall* mTargetBall = nullptr;        // set by a valid target-ball throw
    float mBestDistance[2] = {-1.0f, -1.0f};   // squared; -1: none
    CGameElement* mCircle;
    int32_t mCurrentSide;                // the side that throws next
    int32_t mStartingSide;               // the side that began the mene
    uint32_t mPoints[2] = {0, 0};
};

class MatchState {
public:
    // Resets both teams' fatigue and stress, makes the terrain of the stage
    // and loads the stage's venue scene.
    MatchState(Team* teamA, Team* teamB, int32_t targetScore, int32_t gameType, int32_t stageId);
    ~MatchState();
    MatchState(const MatchState&) = delete;
    MatchState& operator=(const MatchState&) = delete;

    // Deals the balls, moves the circle to where the last target ball lay
    // (pulled inside the terrain) and opens a new mene record.
    void StartMene();
    // The rules after a throw whose balls have stopped. A target ball: true
    // when its throw is valid. Another ball: ranks it, scores the mene when
    // it is over, true.
    bool AfterThrow(CBall* ball);
    // Bookkeeping and ranking of one thrown ball, and the side to throw next.
    void RankBalls(CBall* ball);
    // The match goes to the computer side (team B when team A is not one).
    void ForfeitToComputer();

    Team* GetTeam(int32_t side) const { return side == 0 ? mTeamA : side == 1 ? mTeamB : nullptr; }

    Team* mTeamA;
    Team* mTeamB;
    uint32_t mScoreA = 0;
    uint32_t mScoreB = 0;
    int32_t mTargetScore;
    MeneRecord* mMene = nullptr;          // owned
    int32_t mNextStartingSide = 0;
    int32_t mGameType;                    // players per side
    CGameElement* mCircle = nullptr;      // set by the referee
    Terrain* mTerrain;                    // owned
};

// False when the target ball is out of play (state 3) or lies nearer than
// 3 m or farther than 20 m from the circle; false without a target ball.
bool IsTargetBallInPlay(const MeneRecord* record);
// Valid when the ball is not out, lies 6.25 m to 10.25 m from the circle and
// at least 1 m inside the terrain. An invalid throw gets state 2 (but a ball
// already out keeps state 3).
bool IsTargetThrowValid(CBall* ball, const Terrain* terrain, const CGameElement* circle);
// True when the target ball is set and out of play, or neither team has a
// ball left.
bool IsMeneOver(const MeneRecord* record);
