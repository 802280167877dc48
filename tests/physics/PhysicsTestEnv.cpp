#include "PhysicsTestEnv.h"

#include <CWrapOgreCore.h>

#include <OgreDefaultHardwareBufferManager.h>

#include <cstdint>
#include <map>

namespace {
class OgreEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        mLog = new Ogre::LogManager();
        mLog->createLog("physics_tests.ogre.log", true, false, true);
        mRoot = new Ogre::Root("", "", "");
        mBuffers = new Ogre::DefaultHardwareBufferManager();
        mTextures = new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        CPhysicsSystemODE::InitLibrary();
    }
    void TearDown() override
    {
        delete mTextures;
        delete mRoot;
        delete mBuffers;
        delete mLog;
        CPhysicsSystemODE().Shutdown();
    }

private:
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
    Ogre::DefaultTextureManager* mTextures = nullptr;
};

::testing::Environment* const gOgre = ::testing::AddGlobalTestEnvironment(new OgreEnvironment);
}

void PhysicsSceneTest::SetUp()
{
    std::map<std::string, std::string> params;
    params["windowAlreadyCreated"] = "yes";
    params["renderWindowPtr"] = "0";
    params["shutdownOgre"] = "false";
    params["parseDefaultResourceFile"] = "false";
    mSystem.reset(new CWrapOgreSystem(params));
    ASSERT_TRUE(mSystem->GetCore()->IsStarted());
    mSceneManager = CWrapOgreWorld::GetSceneManager();
    mRegistry.reset(new CGraphicElementRegistry(nullptr));
    mGraphics.reset(CWrapOgreSystem::CreateWorld());

    mWorld = CPhysicsSystemODE().CreateWorld();
    gPhysicMgr.CreateWorld(mWorld);
    CKEMSceneGraph::CreateRootNode();
}

void PhysicsSceneTest::TearDown()
{
    CKEMSceneGraph::DestroyRootNode();
    gPhysicMgr.Clear();
    delete mWorld;
    mWorld = nullptr;
    gPhysicMgr.CreateWorld(nullptr);
    mGraphics.reset();
    mRegistry.reset();
    mSystem.reset();
    Ogre::Root& root = Ogre::Root::getSingleton();
    if (root.hasSceneManager("KEM_SM"))
        root.destroySceneManager(root.getSceneManager("KEM_SM"));
}
