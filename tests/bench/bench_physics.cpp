// The cost of one rendered frame of physics: a 1/60 s frame fed to the
// world at the venues' 1/400 s step, with the target ball and 13 balls in a
// cluster on a triangle-mesh ground. The same scene is stepped through our
// wrappers and through plain ODE calls (same world settings, ground mesh,
// bodies, masses, materials and contact rules), so the cost of our layer is
// a ratio measured in one run (BM_LayerCost).
#include "COdeActor.h"
#include "COdeBody.h"
#include "COdeWorld.h"
#include "CPhysicsSystemODE.h"
#include "OdeTestScene.h"

#include <benchmark/benchmark.h>
#include <ode/ode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// ---- through our wrappers ---------------------------------------------------------

struct WrapperScene {
    WrapperScene()
    {
        world.reset(system.CreateWorld());
        odetest::SetUpWorld(*world);
        cluster = odetest::MakeCluster(*world);
    }
    ~WrapperScene()
    {
        world.reset();
        system.Shutdown();
    }
    void Wake()
    {
        dBodyEnable(cluster.pig->getBody()->getBodyId());
        for (COdeActor* ball : cluster.balls)
            dBodyEnable(ball->getBody()->getBodyId());
    }
    void Frame() { odetest::FeedFrame(*world, odetest::kFrame); }

    CPhysicsSystemODE system;
    std::unique_ptr<COdeWorld> world;
    odetest::Cluster cluster;
};

// ---- the same through plain ODE -------------------------------------------------------

// The world's "default" material on both sides of every contact.
const dReal kMu = 10.0;
const dReal kBounce = 0.1;
const dReal kBounceVel = 10.0;
const int kMaxContacts = 10;

struct PlainScene {
    PlainScene()
    {
        world = dWorldCreate();
        space = dSimpleSpaceCreate(nullptr);
        contacts = dJointGroupCreate(0);
        dWorldSetAutoDisableFlag(world, 0);
        dRandSetSeed(0);
        dWorldSetGravity(world, 0, -9.81, 0);
        dWorldSetQuickStepNumIterations(world, 20);
        dWorldSetCFM(world, 1e-5);
        dWorldSetERP(world, 0.2);

        // The ground of MakeCluster: 20 m square, 8 x 8 quads.
        const float half = 10.0f;
        const int cells = 8;
        const float cell = 2.0f * half / cells;
        for (int z = 0; z <= cells; ++z)
            for (int x = 0; x <= cells; ++x)
                vertices.insert(vertices.end(), {-half + x * cell, 0.0f, -half + z * cell});
        const dTriIndex row = cells + 1;
        for (dTriIndex z = 0; z < dTriIndex(cells); ++z)
            for (dTriIndex x = 0; x < dTriIndex(cells); ++x) {
                const dTriIndex a = z * row + x, b = a + 1, c = a + row, d = c + 1;
                indices.insert(indices.end(), {a, c, b, b, c, d});
            }
        mesh = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildSingle(mesh, vertices.data(), 3 * sizeof(float), int(vertices.size() / 3),
                                    indices.data(), int(indices.size()), 3 * sizeof(dTriIndex));
        ground = dCreateTriMesh(space, mesh, nullptr, nullptr, nullptr);
        dGeomTriMeshEnableTC(ground, dSphereClass, 1);
        dGeomTriMeshEnableTC(ground, dBoxClass, 1);

        AddBall(0.0f, odetest::kPigRadius, 0.0f, odetest::kPigRadius, odetest::kPigMass);
        for (int i = 0; i < 13; ++i) {
            const float angle = i * 1.23f;
            const float r = 0.06f + 0.015f * i;
            AddBall(r * std::cos(angle), odetest::kBallRadius, r * std::sin(angle), odetest::kBallRadius,
                    odetest::kBallMass);
        }
    }
    ~PlainScene()
    {
        dJointGroupDestroy(contacts);
        dSpaceDestroy(space);   // destroys the geoms it holds
        dWorldDestroy(world);
        dGeomTriMeshDataDestroy(mesh);
    }

    void AddBall(float x, float y, float z, float radius, float total)
    {
        dBodyID body = dBodyCreate(world);
        dBodySetAutoDisableFlag(body, 1);
        dMass mass;
        dMassSetSphere(&mass, 1.0, 1.0);
        dMassAdjust(&mass, 0.0001);
        dMassAdjust(&mass, total);
        dBodySetMass(body, &mass);
        dBodySetPosition(body, x, y, z);
        dGeomID geom = dCreateSphere(space, radius);
        dGeomSetBody(geom, body);
        bodies.push_back(body);
    }

    static void Near(void* data, dGeomID g1, dGeomID g2)
    {
        auto* scene = static_cast<PlainScene*>(data);
        const dBodyID b1 = dGeomGetBody(g1);
        const dBodyID b2 = dGeomGetBody(g2);
        if (!b1 && !b2)
            return;
        if (b1 && b2 && dAreConnected(b1, b2))
            return;
        dContact contact[kMaxContacts] = {};
        const int n = dCollide(g1, g2, kMaxContacts, &contact[0].geom, sizeof(dContact));
        for (int i = 0; i < n; ++i) {
            dContact& c = contact[i];
            c.surface.mode = dContactApprox1_1 | dContactApprox1_2 | dContactBounce;
            c.surface.mu = kMu;
            c.surface.bounce = kBounce;
            c.surface.bounce_vel = kBounceVel;
            if (b1 && !b2) {
                c.surface.mode |= dContactFDir1;
                const dReal* v = dBodyGetLinearVel(b1);
                const dReal len = std::sqrt(v[0] * v[0] + v[2] * v[2]);
                c.fdir1[0] = len > 0 ? v[0] / len : 0;
                c.fdir1[1] = 0;
                c.fdir1[2] = len > 0 ? v[2] / len : 0;
            }
            dJointID joint = dJointCreateContact(scene->world, scene->contacts, &c);
            dJointAttach(joint, b1, b2);
        }
    }

    void Wake()
    {
        for (dBodyID body : bodies)
            dBodyEnable(body);
    }
    // The same feed: whole steps strictly inside the time fed so far.
    void Frame()
    {
        const dReal step = odetest::kStep;
        overflow += odetest::kFrame;
        while (step < overflow) {
            overflow -= step;
            dSpaceCollide(space, this, &PlainScene::Near);
            dWorldStep(world, step);
            dJointGroupEmpty(contacts);
        }
    }

    dWorldID world = nullptr;
    dSpaceID space = nullptr;
    dJointGroupID contacts = nullptr;
    dTriMeshDataID mesh = nullptr;
    dGeomID ground = nullptr;
    std::vector<float> vertices;
    std::vector<dTriIndex> indices;
    std::vector<dBodyID> bodies;
    float overflow = 0.0f;
};

template <class Scene>
void RunClusterFrames(benchmark::State& state, bool keepAwake)
{
    CPhysicsSystemODE::InitLibrary();
    Scene scene;
    for (int i = 0; i < 60; ++i)   // settled: resting bodies may fall asleep
        scene.Frame();
    for (auto _ : state) {
        if (keepAwake)
            scene.Wake();
        scene.Frame();
    }
}

void BM_PhysicsFrame_RestingCluster(benchmark::State& state) { RunClusterFrames<WrapperScene>(state, false); }
void BM_PhysicsFrame_ClusterAwake(benchmark::State& state) { RunClusterFrames<WrapperScene>(state, true); }
void BM_PlainOdeFrame_RestingCluster(benchmark::State& state) { RunClusterFrames<PlainScene>(state, false); }
void BM_PlainOdeFrame_ClusterAwake(benchmark::State& state) { RunClusterFrames<PlainScene>(state, true); }

// Both scenes side by side, frames alternating, each kept awake: the
// counters give each one's time per frame and ours over plain ODE.
void BM_LayerCost(benchmark::State& state)
{
    CPhysicsSystemODE::InitLibrary();
    WrapperScene ours;
    PlainScene plain;
    for (int i = 0; i < 60; ++i) {
        ours.Frame();
        plain.Frame();
    }
    using Clock = std::chrono::steady_clock;
    double oursSeconds = 0.0;
    double plainSeconds = 0.0;
    for (auto _ : state) {
        ours.Wake();
        const Clock::time_point a = Clock::now();
        ours.Frame();
        const Clock::time_point b = Clock::now();
        plain.Wake();
        plain.Frame();
        const Clock::time_point c = Clock::now();
        oursSeconds += std::chrono::duration<double>(b - a).count();
        plainSeconds += std::chrono::duration<double>(c - b).count();
    }
    const double frames = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["ours_us"] = 1e6 * oursSeconds / frames;
    state.counters["plain_ode_us"] = 1e6 * plainSeconds / frames;
    state.counters["ratio"] = plainSeconds > 0.0 ? oursSeconds / plainSeconds : 0.0;
}

} // namespace

BENCHMARK(BM_PhysicsFrame_RestingCluster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhysicsFrame_ClusterAwake)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainOdeFrame_RestingCluster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainOdeFrame_ClusterAwake)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayerCost)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
