// Small scenes for the ODE wrapper tests and the physics benchmark: a
// triangle-mesh ground, balls, and the frame feed the physics manager uses.
#pragma once

#include "COdeActor.h"
#include "COdeBody.h"
#include "COdeWorld.h"
#include "PhysicDesc.h"

#include <cmath>
#include <memory>
#include <vector>

namespace odetest {

const float kStep = 1.0f / 400.0f;
const float kFrame = 1.0f / 60.0f;
const float kBallRadius = 0.0375f;
const float kBallMass = 0.7f;
const float kPigRadius = 0.015f;
const float kPigMass = 0.015f;

// The manager's feed: the frame time reaches the world in pieces of at most
// one step; the last piece may be 0.
inline void FeedFrame(COdeWorld& world, float dt)
{
    float remaining = dt;
    for (;;) {
        const float s = world.GetStepSize();
        if (s > remaining) {
            world.Step(remaining);
            return;
        }
        world.Step(s);
        remaining -= s;
    }
}

inline void FeedFrames(COdeWorld& world, int frames, float dt = kFrame)
{
    for (int i = 0; i < frames; ++i)
        FeedFrame(world, dt);
}

// A flat square ground at y = 0 split into cells x cells quads.
inline std::unique_ptr<TriMeshShapeDesc> MakeGroundShape(float halfSize, int cells, const std::string& material)
{
    auto shape = std::make_unique<TriMeshShapeDesc>(TriMeshShapeDesc::BUILD_FROM_ARRAYS, material);
    const float cell = 2.0f * halfSize / cells;
    for (int z = 0; z <= cells; ++z)
        for (int x = 0; x <= cells; ++x)
            shape->vertices.push_back(Ogre::Vector3(-halfSize + x * cell, 0.0f, -halfSize + z * cell));
    const uint32_t row = static_cast<uint32_t>(cells + 1);
    for (uint32_t z = 0; z < static_cast<uint32_t>(cells); ++z) {
        for (uint32_t x = 0; x < static_cast<uint32_t>(cells); ++x) {
            const uint32_t a = z * row + x, b = a + 1, c = a + row, d = c + 1;
            // Counter-clockwise seen from above: faces point up.
            shape->indices.insert(shape->indices.end(), {a, c, b, b, c, d});
        }
    }
    return shape;
}

inline COdeActor* MakeGround(COdeWorld& world, IOdeContactReceiver* listener, const std::string& material = "",
                             float halfSize = 10.0f, int cells = 4)
{
    ActorDesc desc(ActorDesc::TYPE_STATIC);
    desc.shapes.push_back(MakeGroundShape(halfSize, cells, material));
    return world.CreateActor(listener, desc);
}

inline COdeActor* MakeBall(COdeWorld& world, IOdeContactReceiver* listener, const Ogre::Vector3& position,
                           float radius = kBallRadius, float mass = kBallMass, const std::string& material = "")
{
    ActorDesc desc(ActorDesc::TYPE_MOVABLE);
    desc.shapes.push_back(std::make_unique<SphereShapeDesc>(radius, material));
    COdeActor* actor = world.CreateActor(listener, desc);
    actor->getBody()->setTotalMass(mass);
    actor->setPosition(position);
    return actor;
}

inline void SetUpWorld(COdeWorld& world)
{
    world.SetGravity(Ogre::Vector3(0.0f, -9.81f, 0.0f));
    world.SetStepSize(kStep);
    world.SetQuickStepIterations(20);
    world.SetCFM(1e-5f);
    world.SetERP(0.2f);
}

// A mene in progress: the target ball and 13 balls around it, in a cluster
// close enough that several touch.
struct Cluster {
    COdeActor* ground = nullptr;
    COdeActor* pig = nullptr;
    std::vector<COdeActor*> balls;
};

inline Cluster MakeCluster(COdeWorld& world)
{
    Cluster c;
    c.ground = MakeGround(world, nullptr, "", 10.0f, 8);
    c.pig = MakeBall(world, nullptr, Ogre::Vector3(0.0f, kPigRadius, 0.0f), kPigRadius, kPigMass);
    for (int i = 0; i < 13; ++i) {
        const float angle = i * 1.23f;
        const float r = 0.06f + 0.015f * i;
        c.balls.push_back(MakeBall(world, nullptr,
                                   Ogre::Vector3(r * std::cos(angle), kBallRadius, r * std::sin(angle))));
    }
    return c;
}

} // namespace odetest
