// A scene for the physics tests: OGRE without a display (software buffers,
// no render system), the graphics world, an ODE world the manager points to,
// and the scene root. Nodes carry real graphics nodes, so poses read back
// from OGRE are the ones a rendered frame would show.
#pragma once

#include <CGraphicElementRegistry.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <COdeWorld.h>
#include <CPhysicMgr.h>
#include <CPhysicsSystemODE.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <HalTimer.h>

#include <Ogre.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A plain node with a graphics node, as the node kinds make them.
class TestNode : public CKEMSceneNode {
public:
    TestNode(CKEMSceneNode* parent, const std::string& name) : CKEMSceneNode(parent)
    {
        SetGraphicNode(new CKEMSceneGraphicHandle(this));
        CWrapOgreNode* parentGraphics =
            (parent && parent->GetGraphicNode()) ? parent->GetGraphicNode()->getNode() : nullptr;
        mGraphicHandle->create(parentGraphics);
        setName(name);
    }
};

class PhysicsSceneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One frame of `seconds` through the manager, as the run state does it.
    void Frame(float seconds)
    {
        gTimer.mGameDeltaS = seconds;
        gPhysicMgr.Step();
    }
    // What a rendered frame would show: OGRE's own derived pose.
    Ogre::Vector3 RenderedPosition(CKEMSceneNode* node)
    {
        mSceneManager->getRootSceneNode()->_update(true, false);
        return node->GetGraphicNode()->getNode()->getOgreNode()->_getDerivedPosition();
    }

    std::unique_ptr<CWrapOgreSystem> mSystem;
    std::unique_ptr<CGraphicElementRegistry> mRegistry;
    std::unique_ptr<CWrapOgreWorld> mGraphics;
    Ogre::SceneManager* mSceneManager = nullptr;
    COdeWorld* mWorld = nullptr;
};
