// What the HUD panels, the radar and the gauges read of the referee. The
// referee of a match or of a training exercise implements it; the panels
// keep a pointer to it and never own it.
#pragma once

#include <CPlayer.h>
#include <Team.h>

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

    // ---- what the throw-control panel asks of the referee -----------------
    // The bodies here serve a referee that has no such operation (a training
    // exercise): nothing to publish, no camera to move.

    // Sends the current throw options to the LAN peer when this machine plays the side.
    virtual void SetShootOptions() {}
    // Places the thrower again after a change of its throw mode and reloads the aiming guide.
    virtual void SetCurrentPlayer(CPlayer* player) { (void)player; }
    // At the aiming step: player `index` of the side to play becomes the thrower.
    virtual void SelectTeamPlayer(uint32_t index) { (void)index; }
    // Camera state 1 is the throw view, 2 the zoom view.
    virtual void UpdateMatchCamera(int32_t state) { (void)state; }
    // Balls the thrower still has to play.
    virtual int32_t GetRemainingBalls() const
    {
        const CPlayer* player = GetCurrentPlayer();
        return player ? player->mBallsLeft : 0;
    }
    // 1.0 in the throw view, 3.0 in the zoom view.
    virtual float GetZoomFactor() const { return 1.0f; }
    virtual void SetZoomFactor(float zoom) { (void)zoom; }
    // Clears the free camera's offset and speed.
    virtual void ResetFreeCamera() {}
    // 1, 2 or 3.
    virtual int32_t GetPlayersPerTeam() const
    {
        const Team* team = GetTeam(0);
        return team ? static_cast<int32_t>(team->mPlayers.size()) : 1;
    }
};
