// What needs OGRE's render system: viewports on a real window, and picking
// through the camera after a rendered frame.
#include "OgreHeadless.h"

#include "CKEMSceneGraphicHandle.h"
#include "CWrapOgreCamera.h"
#include "CWrapOgreEntity.h"
#include "CWrapOgreNode.h"
#include "CWrapOgreViewport.h"
#include "KEMException.h"

namespace {

void expectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-3f)) << actual << " expected " << expected;
}

}  // namespace

TEST_F(OgreWrapTest, ViewportsCoverTheWindowAndKeepTheirPlaceAcrossZOrders)
{
    CWrapOgreCamera* camera = mWorld->CreateCamera();
    mWorld->GetRootNode()->attachCamera(camera);
    std::unique_ptr<CWrapOgreViewport> viewport(mWorld->CreateViewport(camera));
    Ogre::Viewport* ogre = viewport->getViewport();
    EXPECT_EQ(ogre->getZOrder(), 100);
    EXPECT_EQ(ogre->getTarget(), OgreTestEnvironment::Window());
    EXPECT_EQ(ogre->getCamera(), camera->getCamera());
    EXPECT_EQ(ogre->getBackgroundColour(), Ogre::ColourValue(0, 0, 0, 1));
    EXPECT_EQ(ogre->getLeft(), 0.0f);
    EXPECT_EQ(ogre->getWidth(), 1.0f);
    EXPECT_EQ(ogre->getHeight(), 1.0f);

    viewport->setDimensions(0.5f, 0.25f, 0.5f, 0.75f);
    viewport->setZOrder(5);
    ogre = viewport->getViewport();
    EXPECT_EQ(ogre->getZOrder(), 5);
    EXPECT_EQ(ogre->getCamera(), camera->getCamera());
    EXPECT_EQ(ogre->getBackgroundColour(), Ogre::ColourValue(0.2f, 0.2f, 0.3f, 1));
    EXPECT_EQ(ogre->getLeft(), 0.5f);
    EXPECT_EQ(ogre->getTop(), 0.25f);
    EXPECT_EQ(ogre->getWidth(), 0.5f);
    EXPECT_EQ(ogre->getHeight(), 0.75f);
    EXPECT_EQ(OgreTestEnvironment::Window()->getNumViewports(), 1u);

    // A z-order taken by another viewport: refused, and this one stays.
    std::unique_ptr<CWrapOgreViewport> other(mWorld->CreateViewport(camera));
    EXPECT_THROW(viewport->setZOrder(100), CKEMException);
    EXPECT_EQ(viewport->getViewport(), ogre);
    EXPECT_TRUE(OgreTestEnvironment::Window()->hasViewportWithZOrder(5));
    viewport->setZOrder(5);   // its own z-order
    EXPECT_TRUE(OgreTestEnvironment::Window()->hasViewportWithZOrder(5));

    viewport->destroy();
    viewport->destroy();
    EXPECT_FALSE(OgreTestEnvironment::Window()->hasViewportWithZOrder(5));
    EXPECT_EQ(OgreTestEnvironment::Window()->getNumViewports(), 1u);
}

TEST_F(OgreWrapTest, PickingThroughTheCameraAfterARenderedFrame)
{
    CWrapOgreCamera* camera = mWorld->CreateCamera();
    camera->setNearClipDistance(0.1f);
    CWrapOgreNode* eye = mWorld->CreateNode();
    eye->attachCamera(camera);
    eye->setPosition(Ogre::Vector3(0, 0, 5));
    std::unique_ptr<CWrapOgreViewport> viewport(mWorld->CreateViewport(camera));

    CKEMSceneGraphicHandle nearCube(nullptr), farCube(nullptr);
    for (auto* handle : {&nearCube, &farCube}) {
        handle->create(nullptr);
        CWrapOgreEntity* cube = mWorld->CreateEntity("testcube.mesh");
        handle->getNode()->attachEntity(cube);
        mRegistry->RegisterElement(cube, handle->getNode());
    }
    nearCube.rename("ball");
    nearCube.setPosition(Ogre::Vector3(0, 0, 2));
    farCube.rename("terrain");
    farCube.setPosition(Ogre::Vector3(0, 0, -3));

    mWorld->RenderFrame(16.0f);   // brings node transforms and bounds up to date
    const Ogre::Ray centre = camera->getCameraToViewportRay(0.5f, 0.5f);
    expectVector(mWorld->PickEntity(centre, ""), Ogre::Vector3(0, 0, 2.5f));
    expectVector(mWorld->PickEntity(centre, "terrain"), Ogre::Vector3(0, 0, -2.5f));
    Ogre::Vector3 point;
    EXPECT_FALSE(mWorld->PickEntity(camera->getCameraToViewportRay(0.05f, 0.05f), "", point));

    viewport.reset();
    nearCube.destroy();
    farCube.destroy();
}
