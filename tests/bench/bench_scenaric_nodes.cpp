// One frame of the scripted-node manager (life runs and the overlap pass)
// against the number of sound or particle-effect nodes a venue registers:
// such nodes have no overlap handler. Beside them stand one trigger and one
// node with an overlap handler at the venue's centre, as a venue's scripted
// volumes would. "spread" scatters the nodes over a 60 m square, "stacked"
// puts them all on the centre (a hostile venue's flood, every volume on every
// other). BM_AllPairsFrame is the same frame with every managed node tested
// against every awake node, as the pass used to be.
#include "AllPairsOverlap.h"

#include <CKEMSceneNode.h>
#include <CScenaricMgr.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

class Volume : public CKEMSceneNode {
public:
    Volume(const Ogre::Vector3& at, int classType) : CKEMSceneNode(nullptr)
    {
        SetClassType(classType);
        GetOrientedBox().SetSize(Ogre::Vector3(1, 1, 1));
        GetOrientedBox().center = at;
        GetAxisAlignedBox().min = at - 0.5f;
        GetAxisAlignedBox().max = at + 0.5f;
    }
    int OnEvent(uint32_t, CKEMSceneNode*) override { return ++events; }
    int Heard(uint32_t, CKEMSceneNode*, int) { return ++events; }
    int events = 0;
};

class Listener : public Volume {
public:
    using Volume::Volume;
    void RegisterEvents() override
    {
        CKEMSceneNode::RegisterEvents();
        AddScriptEvent(EVENT_OVERLAP_BEGIN, static_cast<EventHandler>(&Volume::Heard));
        AddScriptEvent(EVENT_OVERLAP_END, static_cast<EventHandler>(&Volume::Heard));
    }
};

struct Venue {
    std::vector<std::unique_ptr<Volume>> nodes;

    Venue(CScenaricMgr& registry, int quiet, bool stacked)
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> place(-30.0f, 30.0f);
        nodes.emplace_back(new Volume(Ogre::Vector3::ZERO, CKEMSceneNode::KEM_SCENE_TRIGGER));
        nodes.emplace_back(new Listener(Ogre::Vector3(0.3f, 0, 0), CKEMSceneNode::KEM_SCENENODE));
        for (int i = 0; i < quiet; ++i) {
            const Ogre::Vector3 at = stacked ? Ogre::Vector3::ZERO : Ogre::Vector3(place(random), 0, place(random));
            nodes.emplace_back(new Volume(at, CKEMSceneNode::KEM_SCENE_SOUND));
        }
        for (auto& node : nodes)
            registry.Register(node.get());
        mRegistry = &registry;
    }
    ~Venue()
    {
        for (auto& node : nodes)
            mRegistry->Unregister(node.get());
    }

private:
    CScenaricMgr* mRegistry = nullptr;
};

void BM_ScenaricFrame(benchmark::State& state)
{
    CScenaricMgr registry;
    Venue venue(registry, int(state.range(0)), state.range(1) != 0);
    registry.Update();   // the first frame
    for (auto _ : state)
        registry.Update();
    state.SetLabel(state.range(1) ? "stacked" : "spread");
}

void BM_AllPairsFrame(benchmark::State& state)
{
    CScenaricMgr registry;
    Venue venue(registry, int(state.range(0)), state.range(1) != 0);
    AllPairsFrame frame(registry, false);
    frame.Update();
    for (auto _ : state)
        frame.Update();
    state.SetLabel(state.range(1) ? "stacked" : "spread");
}

BENCHMARK(BM_ScenaricFrame)
    ->ArgsProduct({{0, 1000, 5000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AllPairsFrame)
    ->ArgsProduct({{0, 1000, 5000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
