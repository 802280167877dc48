// OGRE for the wrapper tests: one root per test program with the test meshes,
// and a core attached to it through the graphics system (as an embedding
// application would). Unit tests run without a display on software buffers;
// the display tests add the GL render system and a real render window.
#pragma once

#include "CGraphicElementRegistry.h"
#include "CWrapOgreCore.h"
#include "CWrapOgreSystem.h"
#include "CWrapOgreWorld.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class OgreTestEnvironment : public ::testing::Environment {
public:
    explicit OgreTestEnvironment(bool withDisplay) : mWithDisplay(withDisplay) {}

    void SetUp() override
    {
        // Quiet: every test runs as its own process, and they would all share one file.
        mLog = new Ogre::LogManager();
        mLog->createLog("ogrewrap_tests.ogre.log", true, false, true);
        mRoot = new Ogre::Root("", "", "");
        if (mWithDisplay) {
            mRoot->loadPlugin(std::string(OGREWRAP_PLUGIN_DIR) + "/RenderSystem_GL");
            Ogre::RenderSystem* renderSystem = mRoot->getRenderSystemByName("OpenGL Rendering Subsystem");
            ASSERT_NE(renderSystem, nullptr);
            mRoot->setRenderSystem(renderSystem);
            mRoot->initialise(false);
            sWindow = mRoot->createRenderWindow("ogrewrap tests", 320, 240, false);
        } else {
            mBuffers = new Ogre::DefaultHardwareBufferManager();
            mTextures = new Ogre::DefaultTextureManager();
            Ogre::MaterialManager::getSingleton().initialise();
        }
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(OGREWRAP_TEST_MEDIA, "FileSystem", "General");
        groups.addResourceLocation(std::string(KEM_SOURCE_MEDIA) + "/Models", "FileSystem", "General");
        groups.initialiseAllResourceGroups();
    }
    void TearDown() override
    {
        delete mTextures;
        delete mRoot;   // and the window
        sWindow = nullptr;
        delete mBuffers;
        delete mLog;
    }

    // The display tests' render window; null without a display.
    static Ogre::RenderWindow* Window() { return sWindow; }

private:
    static inline Ogre::RenderWindow* sWindow = nullptr;
    bool mWithDisplay;
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
    Ogre::DefaultTextureManager* mTextures = nullptr;
};

// Graphics system, core, registry and world as the engine framework makes
// them, on the shared root. Each test gets a fresh scene manager "KEM_SM".
class OgreWrapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::map<std::string, std::string> params;
        params["windowAlreadyCreated"] = "yes";
        params["renderWindowPtr"] = std::to_string(reinterpret_cast<uintptr_t>(OgreTestEnvironment::Window()));
        params["shutdownOgre"] = "false";
        params["parseDefaultResourceFile"] = "false";
        mSystem.reset(new CWrapOgreSystem(params));
        ASSERT_TRUE(mSystem->GetCore()->IsStarted());
        ASSERT_EQ(mSystem->GetCore()->GetRenderWindow(), OgreTestEnvironment::Window());
        mSceneManager = CWrapOgreWorld::GetSceneManager();
        ASSERT_NE(mSceneManager, nullptr);
        mRegistry.reset(new CGraphicElementRegistry(nullptr));
        mWorld.reset(CWrapOgreSystem::CreateWorld());
    }
    void TearDown() override
    {
        mWorld.reset();
        mRegistry.reset();
        mSystem.reset();
        Ogre::Root& root = Ogre::Root::getSingleton();
        if (root.hasSceneManager("KEM_SM"))
            root.destroySceneManager(root.getSceneManager("KEM_SM"));
    }

    // Node transforms and bounds as a rendered frame would leave them.
    void updateSceneGraph() { mSceneManager->getRootSceneNode()->_update(true, false); }

    std::unique_ptr<CWrapOgreSystem> mSystem;
    std::unique_ptr<CGraphicElementRegistry> mRegistry;
    std::unique_ptr<CWrapOgreWorld> mWorld;
    Ogre::SceneManager* mSceneManager = nullptr;
};
