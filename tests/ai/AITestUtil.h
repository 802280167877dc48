// Helpers of the computer-opponent tests: stand-in ball handles (the
// analysis only compares them, never reads through them) and parameter
// blocks built in memory.
#pragma once

#include <AIParameters.h>

#include <string>

class CBall;

// A distinct, never dereferenced ball handle per index.
inline CBall* FakeBall(int index) {
    static char storage[64];
    return reinterpret_cast<CBall*>(&storage[index]);
}

inline void LoadParameters(AIParameters& parameters, const std::string& text) {
    parameters.Clear();
    parameters.LoadFromString(text);
    parameters.ReadValues();
}

#include <AISituation.h>

#include <OgreMath.h>

// A mene on a straight lane: the throwing circle at the origin, the target
// ball 8 m away along -Z. With limit_dist 1/8, 1/4 and 1/2 the zones end
// exactly at 1, 2 and 4 m from the target ball.
struct Lane {
    static Ogre::Vector3 Target() { return Ogre::Vector3(0.0f, 0.0f, -8.0f); }
    // `distance` metres from the target ball, `degrees` away from the
    // direction toward the circle (0 straight in front, 180 straight behind).
    static Ogre::Vector3 At(float distance, float degrees) {
        const Ogre::Radian a = Ogre::Degree(degrees);
        return Target() + Ogre::Vector3(Ogre::Math::Sin(a), 0.0f, Ogre::Math::Cos(a)) * distance;
    }
    static const char* Limits() {
        return "limit_dist_1 = 0.125\nlimit_dist_2 = 0.25\nlimit_dist_3 = 0.5\n"
               "limit_angle_plus = 30\nlimit_angle_neutral = 90\n";
    }
    Lane() {
        input.targetBall = FakeBall(0);
        input.targetPosition = Target();
        input.circlePosition = Ogre::Vector3::ZERO;
    }
    Lane& Mine(int id, const Ogre::Vector3& p) {
        input.myBalls.push_back({FakeBall(id), p});
        return *this;
    }
    Lane& Theirs(int id, const Ogre::Vector3& p) {
        input.opponentBalls.push_back({FakeBall(id), p});
        return *this;
    }
    AISituationInput input;
};
