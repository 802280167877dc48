// The cost of one rendered frame of physics: a 1/60 s frame fed to the
// world at the venues' 1/400 s step, with the target ball and 13 balls in a
// cluster on a triangle-mesh ground.
#include "COdeActor.h"
#include "COdeBody.h"
#include "COdeWorld.h"
#include "CPhysicsSystemODE.h"
#include "OdeTestScene.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>
#include <sstream>

namespace {

// The world traces every step to stdout; keep it out of the measurement.
class QuietStdout {
public:
    QuietStdout() : mOld(std::cout.rdbuf(mSink.rdbuf())) {}
    ~QuietStdout() { std::cout.rdbuf(mOld); }

private:
    std::ostringstream mSink;
    std::streambuf* mOld;
};

void RunClusterFrames(benchmark::State& state, bool keepAwake)
{
    CPhysicsSystemODE system;
    std::unique_ptr<COdeWorld> world(system.CreateWorld());
    {
        QuietStdout quiet;
        odetest::SetUpWorld(*world);
        odetest::Cluster cluster = odetest::MakeCluster(*world);
        odetest::FeedFrames(*world, 60);   // settled: resting bodies may fall asleep
        for (auto _ : state) {
            if (keepAwake) {
                dBodyEnable(cluster.pig->getBody()->getBodyId());
                for (COdeActor* ball : cluster.balls)
                    dBodyEnable(ball->getBody()->getBodyId());
            }
            odetest::FeedFrame(*world, odetest::kFrame);
        }
    }
    world.reset();
    system.Shutdown();
}

void BM_PhysicsFrame_RestingCluster(benchmark::State& state) { RunClusterFrames(state, false); }
void BM_PhysicsFrame_ClusterAwake(benchmark::State& state) { RunClusterFrames(state, true); }

} // namespace

BENCHMARK(BM_PhysicsFrame_RestingCluster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhysicsFrame_ClusterAwake)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
