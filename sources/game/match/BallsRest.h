// When the balls of a throw count as at rest although some still move.
#pragma once

#include <OgreVector.h>

#include <cstdint>
#include <vector>

class CBall;

// Only the ground stops a slow ball, and only below its own stop speed:
// one pressed against another ball or a border keeps a tiny speed for
// ever. Such balls count as at rest once every ball in play that moves
// creeps (see IsCreeping) for kRestHoldMs of game time on end.
class BallsRest {
public:
    static constexpr float kRestSpeed = 0.002f;     // m/s
    static constexpr uint32_t kRestHoldMs = 1000;   // game time
    // m, the venues' balls; the target ball is smaller, so its roll reads
    // faster than it is, which only makes the rule stricter for it.
    static constexpr float kBallRadius = 0.0375f;

    // A ball moving at `linear` and turning at `angular` (m/s, rad/s) creeps
    // when it neither moves nor rolls faster than kRestSpeed: a ball that
    // turns about a horizontal axis while barely moving (at the turn of a
    // back-spun ball, or just set rolling by a push) is about to move on.
    static bool IsCreeping(const Ogre::Vector3& linear, const Ogre::Vector3& angular, float radius);

    // Called once per frame of a throw; true once the moving balls in play
    // have crept for the hold time, or at once when none moves.
    bool Update(const std::vector<CBall*>& balls, uint32_t now);
    // A new throw: the hold starts anew.
    void Reset() { mSlowSeen = false; }

private:
    bool mSlowSeen = false;
    uint32_t mSlowSinceMs = 0;
};
