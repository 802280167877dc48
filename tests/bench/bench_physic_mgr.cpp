// The cost of one frame of physics as the game runs it: the physics
// manager's Step over a 1/60 s frame at the venues' 1/400 s step, with the
// target ball and 13 balls (each a scene node with its physic object) in a
// cluster on the venue ground, the poses written back to the nodes.
#include <CGraphicElementRegistry.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <COdeWorld.h>
#include <CPhysicMaterial.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CPhysicsSystemODE.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <HalTimer.h>

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

const float kFrame = 1.0f / 60.0f;
const float kBallRadius = 0.0375f;
const float kPigRadius = 0.015f;

class QuietStdout {
public:
    QuietStdout() : mOld(std::cout.rdbuf(mSink.rdbuf())) {}
    ~QuietStdout() { std::cout.rdbuf(mOld); }

private:
    std::ostringstream mSink;
    std::streambuf* mOld;
};

class BallNode : public CKEMSceneNode {
public:
    explicit BallNode(const std::string& name) : CKEMSceneNode(nullptr)
    {
        SetGraphicNode(new CKEMSceneGraphicHandle(this));
        mGraphicHandle->create(nullptr);
        setName(name);
    }
};

// OGRE without a display, the graphics world, the ODE world and the scene.
class Scene {
public:
    Scene()
    {
        mLog = new Ogre::LogManager();
        mLog->createLog("bench_physic_mgr.ogre.log", true, false, true);
        mRoot = new Ogre::Root("", "", "");
        mBuffers = new Ogre::DefaultHardwareBufferManager();
        mTextures = new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        std::map<std::string, std::string> params;
        params["windowAlreadyCreated"] = "yes";
        params["renderWindowPtr"] = "0";
        params["shutdownOgre"] = "false";
        params["parseDefaultResourceFile"] = "false";
        mSystem.reset(new CWrapOgreSystem(params));
        mRegistry.reset(new CGraphicElementRegistry(nullptr));
        mGraphics.reset(CWrapOgreSystem::CreateWorld());
        mWorld = mPhysics.CreateWorld();
        gPhysicMgr.CreateWorld(mWorld);
        gPhysicMgr.SetStepSize(1.0f / 400.0f);
        CKEMSceneGraph::CreateRootNode();
    }
    ~Scene()
    {
        CKEMSceneGraph::DestroyRootNode();
        gPhysicMgr.Clear();
        delete mWorld;
        gPhysicMgr.CreateWorld(nullptr);
        mPhysics.Shutdown();
        mGraphics.reset();
        mRegistry.reset();
        mSystem.reset();
        delete mTextures;
        delete mRoot;
        delete mBuffers;
        delete mLog;
    }

    CPhysicObject* AddBall(const std::string& name, const Ogre::Vector3& at, float radius, float mass)
    {
        BallNode* node = new BallNode(name);
        node->setPosition(at, false);
        CPhysicObject* object = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
        node->attachPhysicObject(object);
        object->SetSphereShape(radius);
        object->BuildShapes(CPhysicObject::SHAPE_SPHERE, gPhysicMgr.FindMaterial("boule"));
        object->SetMass(mass);
        return object;
    }

    void AddGround()
    {
        gPhysicMgr.AddMaterial(new CPhysicMaterial("terrain", 8, 8, 0.01f, 0.001f, 0.001f, 0.1f, 10, 0.001f, 0.5f));
        gPhysicMgr.AddMaterial(new CPhysicMaterial("boule", 10, 10, 0.01f, 0.001f, 0.001f, 0.3f, 10, 0.001f, 0.5f));
        BallNode* node = new BallNode("terrain");
        CPhysicObject* object = new CPhysicObject(CPhysicObject::STATIC_ACTOR);
        node->attachPhysicObject(object);
        object->SetBoxShape(Ogre::Vector3(20, 1, 20));
        object->BuildShapes(CPhysicObject::SHAPE_BOX, gPhysicMgr.FindMaterial("terrain"));
        object->SetTransform(Ogre::Vector3(0, -0.5f, 0));
    }

private:
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
    Ogre::DefaultTextureManager* mTextures = nullptr;
    std::unique_ptr<CWrapOgreSystem> mSystem;
    std::unique_ptr<CGraphicElementRegistry> mRegistry;
    std::unique_ptr<CWrapOgreWorld> mGraphics;
    CPhysicsSystemODE mPhysics;
    COdeWorld* mWorld = nullptr;
};

void RunManagerFrames(benchmark::State& state, bool keepAwake)
{
    QuietStdout quiet;
    Scene scene;
    scene.AddGround();
    std::vector<CPhysicObject*> objects;
    objects.push_back(scene.AddBall("pig", Ogre::Vector3(0, kPigRadius, 0), kPigRadius, 0.015f));
    for (int i = 0; i < 13; ++i) {
        const float angle = i * 1.23f;
        const float r = 0.06f + 0.015f * i;
        objects.push_back(scene.AddBall("ball" + std::to_string(i),
                                        Ogre::Vector3(r * std::cos(angle), kBallRadius, r * std::sin(angle)),
                                        kBallRadius, 0.7f));
    }
    gTimer.mGameDeltaS = kFrame;
    for (int i = 0; i < 60; ++i)
        gPhysicMgr.Step();   // settled: resting bodies may fall asleep
    for (auto _ : state) {
        if (keepAwake) {
            // A queued request wakes a sleeping body for the next step.
            for (CPhysicObject* object : objects)
                object->addForce(Ogre::Vector3::ZERO, 1, Ogre::Vector3::ZERO, 1, 0.0f);
        }
        gPhysicMgr.Step();
    }
}

void BM_ManagerFrame_RestingCluster(benchmark::State& state) { RunManagerFrames(state, false); }
void BM_ManagerFrame_ClusterAwake(benchmark::State& state) { RunManagerFrames(state, true); }

}  // namespace

BENCHMARK(BM_ManagerFrame_RestingCluster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ManagerFrame_ClusterAwake)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
