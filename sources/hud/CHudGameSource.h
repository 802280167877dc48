// What the HUD panels, the radar and the gauges read of the referee. The
// referee of a match or of a training exercise implements it; the panels
// keep a pointer to it and never own it.
#pragma once

#include <cstdint>
#include <vector>

class CAimGuide;
class CAxisGraduation;
class CBall;
class CPlayer;
class LaunchSet;
class Team;
class Terrain;

class CHudGameSource {
public:
    enum { KIND_MATCH = 0, KIND_TRAINING = 1 };

    virtual ~CHudGameSource() = default;

    virtual int32_t GetKind() const = 0;
    // False before the match state exists.
    virtual bool HasMatchState() const = 0;
    // Side 0 or 1; null without a match state.
    virtual Team* GetTeam(int32_t side) const = 0;
    virtual int32_t GetScore(int32_t side) const = 0;
    // The side that throws next; -1 when no side has the turn.
    virtual int32_t GetSideToPlay() const = 0;
    // Training counters.
    virtual int32_t GetSuccessfulThrows() const = 0;
    virtual int32_t GetThrowsMade() const = 0;

    virtual CPlayer* GetCurrentPlayer() const = 0;
    virtual LaunchSet* GetLaunchSet() const = 0;
    virtual CAimGuide* GetAimGuide() const = 0;
    virtual Terrain* GetTerrain() const = 0;
    // Every ball of the match, the target ball first.
    virtual const std::vector<CBall*>& GetBalls() const = 0;
    virtual bool IsTargetBallThrown() const = 0;
    virtual bool IsLocalHumanTurn() const = 0;
};
