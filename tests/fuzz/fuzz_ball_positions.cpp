// libFuzzer harness for the LAN ball-position body that a peer sends after a
// throw, received in a loaded match scene: OGRE without a display, the ODE
// world, a venue from the assembled media tree, and the match's balls and
// venue handed to the recorder as the match's set-up does. The input is the
// body; what the recorder takes is replayed and its final state applied,
// then the scene is updated and stepped, as the receiving machine would.
// Invariants: a read never leaves the received bytes (ASan), the record
// count stays inside the ring, a body the check refuses is not read (the
// recorder keeps what it had), one it accepts is read whole and holds every
// ball of the match, once each, at finite places within the venue's reach,
// every ball ends asleep where the body puts it (no ball moves on after a
// physics step), and nothing outside those balls moves or hides.
#include <CBall.h>
#include <CGameMaster.h>
#include <CGraphicElementRegistry.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CObjnet.h>
#include <COdeBody.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CPhysicsSystemODE.h>
#include <CReplayMgr.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <HalTimer.h>
#include <Terrain.h>

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
{
    Ogre::Vector3 position;
    node->GetPosition(position, 2);
    return position;
}

// Nodes a body must never touch: the ground, its collider, the circle,
// cameras and a ball that is not in this match.
const char* const kBystanders[] = {"terrain", "terrain_collision", "cercle", "venue_cam", "CameraIntro",
                                   "boule 4"};

struct Scene {
    Scene()
    {
        Ogre::LogManager* log = new Ogre::LogManager();
        log->createLog("fuzz_ball_positions.ogre.log", true, false, true);
        new Ogre::Root("", "", "");
        new Ogre::DefaultHardwareBufferManager();
        new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        CPhysicsSystemODE::InitLibrary();
        std::map<std::string, std::string> params;
        params["windowAlreadyCreated"] = "yes";
        params["renderWindowPtr"] = "0";
        params["shutdownOgre"] = "false";
        params["parseDefaultResourceFile"] = "false";
        system = new CWrapOgreSystem(params);
        registry = new CGraphicElementRegistry(nullptr);
        graphics = CWrapOgreSystem::CreateWorld();
        world = CPhysicsSystemODE().CreateWorld();
        gPhysicMgr.CreateWorld(world);
        CKEMSceneGraph::CreateRootNode();
        // The venue's paths lead from the game's working directory; the
        // fuzzer's own paths from where it was started.
        char started[4096];
        Check(getcwd(started, sizeof(started)) != nullptr);
        Check(chdir(KEM_STAGE_DIR "/game/bin") == 0);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(KEM_STAGE_DIR "/mediaDemo/Models",
                                                                      "FileSystem", "General");
        Check(gKEMFrameWork.Init() != nullptr);
        Check(LoadSceneForStage(Terrain(0)));
        Check(chdir(started) == 0);

        // A singles match of three balls a side: the target ball, then each
        // side's balls, under their indices in the referee's list.
        for (const char* name : {"cochonnet", "boule 1", "boule 2", "boule 3", "boule 7", "boule 8", "boule 9"}) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
            Check(node && node->getPhysicObject());
            balls.emplace_back(new CBall(balls.empty() ? CBall::KIND_TARGET : CBall::KIND_BALL, node));
            starts.push_back(WorldPosition(node));
        }
        Check(gReplayMgr.Init());
        for (size_t i = 0; i < balls.size(); ++i)
            Check(gReplayMgr.AddEntity(balls[i]->GetNode(), uint8_t(i)));
        std::vector<CBall*> list = List();
        gReplayMgr.SetVenueBounds(CGameMaster::VenueBox(list));
        Check(!gReplayMgr.GetReach().isNull());
        // The other side's balls stay out of the match, as the set-up leaves them.
        for (const char* name : {"boule 4", "boule 5", "boule 6", "boule 10", "boule 11", "boule 12"}) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
            Check(node != nullptr);
            node->setToVisible(false);
            if (CPhysicObject* body = node->getPhysicObject())
                gPhysicMgr.RemoveObject(body);
        }
        for (const char* name : kBystanders) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
            Check(node != nullptr);
            bystanders.push_back({node, WorldPosition(node), node->IsVisible()});
        }
    }
    std::vector<CBall*> List() const
    {
        std::vector<CBall*> list;
        for (const auto& ball : balls)
            list.push_back(ball.get());
        return list;
    }
    // Every ball back where the venue put it, in the simulation, at rest.
    void ResetBalls()
    {
        for (size_t i = 0; i < balls.size(); ++i) {
            CKEMSceneNode* node = balls[i]->GetNode();
            node->setPosition(starts[i], true);
            node->SetOrientation(Ogre::Quaternion::IDENTITY, true);
            node->setToVisible(true);
            CPhysicObject* object = node->getPhysicObject();
            if (!gPhysicMgr.HasObject(object))
                gPhysicMgr.RegisterObject(object);
            object->SetActive(true);
            object->setLinearVelocity(Ogre::Vector3::ZERO);
            object->setAngularVelocity(Ogre::Vector3::ZERO);
            balls[i]->mState = CBall::STATE_LAUNCHED;
        }
    }
    void UpdateScene()
    {
        CWrapOgreWorld::GetSceneManager()->getRootSceneNode()->_update(true, false);
    }

    struct Bystander {
        CKEMSceneNode* node;
        Ogre::Vector3 at;
        bool visible;
    };
    // Kept for the whole run: libFuzzer ends the process.
    CWrapOgreSystem* system = nullptr;
    CGraphicElementRegistry* registry = nullptr;
    CWrapOgreWorld* graphics = nullptr;
    COdeWorld* world = nullptr;
    std::vector<std::unique_ptr<CBall>> balls;
    std::vector<Ogre::Vector3> starts;
    std::vector<Bystander> bystanders;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scene scene;
    CReplayMgr& replay = gReplayMgr;
    scene.ResetBalls();

    // The network layer hands the message over positioned after its type id.
    std::vector<uint8_t> message(4, 0);
    message.insert(message.end(), data, data + size);
    CObjnet in;
    if (in.SetData(message.data(), int(message.size())) != 0)
        return 0;

    // The last good body: none, as at the start of a match.
    replay.mWriteIndex = 0;
    replay.mDuration = 0;
    const int entitiesBefore = replay.mEntities.GetCount();
    const bool accepted = replay.CheckPositionsBody(in);
    Check(in.GetPosition() == 4);   // the check reads nothing off the message
    const uint32_t count = replay.UnserializePositions(in);
    Check(count < CReplayMgr::CAPACITY);
    Check(replay.mWriteIndex == count);
    Check(uint32_t(replay.mEntities.GetCount()) <= CReplayMgr::MAX_BALL_BLOCKS);
    if (!accepted) {
        Check(count == 0 && replay.mEntities.GetCount() == entitiesBefore && replay.mDuration == 0);
        return 0;
    }
    Check(!in.HasMoreData() && !in.IsFailed());
    Check(size_t(replay.mEntities.GetCount()) == scene.balls.size());
    std::vector<bool> named(scene.balls.size(), false);
    const Ogre::AxisAlignedBox& reach = replay.GetReach();
    for (CReplayEntity* e = replay.mEntities.GetHead(); e; e = e->mNext) {
        Check(e->mBallIndex < named.size() && !named[e->mBallIndex]);
        named[e->mBallIndex] = true;
        Check(e->mRecords != nullptr && e->mCapacity == CReplayMgr::CAPACITY);
        Check(e->mNode != nullptr && e->mNode == replay.MatchBall(e->mBallIndex));
        Check(reach.contains(e->mRecvPosition));
        for (uint32_t r = 0; r < count; ++r)
            Check(reach.contains(
                Ogre::Vector3(e->mRecords[r].position[0], e->mRecords[r].position[1], e->mRecords[r].position[2])));
    }

    // As the receiving machine plays a peer's throw.
    replay.StartReplay(0);
    replay.TakeReceivedState();
    // Some 25 steps whatever the length, so that a run stays short.
    const uint32_t step = replay.mDuration / 24 + 1;
    for (uint32_t t = 0; replay.Replay(t); t += step)
        scene.UpdateScene();
    Check(!replay.mReplaying);
    replay.ApplyFinalState(scene.List());
    scene.UpdateScene();
    gTimer.mGameDeltaS = 1.0f / 60.0f;
    gPhysicMgr.Step();
    scene.UpdateScene();
    for (const Scene::Bystander& b : scene.bystanders)
        Check(WorldPosition(b.node) == b.at && b.node->IsVisible() == b.visible);
    for (const auto& ball : scene.balls)
        Check(std::isfinite(WorldPosition(ball->GetNode()).x));
    // Every machine ranks the mene from the thrower's places: none moves on.
    for (CReplayEntity* e = replay.mEntities.GetHead(); e; e = e->mNext) {
        CKEMSceneNode* node = scene.balls[e->mBallIndex]->GetNode();
        Check(WorldPosition(node).distance(e->mRecvPosition) <= 1e-3f * (1.0f + e->mRecvPosition.length()));
        const CPhysicObject* object = node->getPhysicObject();
        Check(!object->IsActive() || !object->GetBody() || !object->GetBody()->isEnabled());
    }
    return 0;
}
