#include "CKEMSceneGraph.h"

#include "CKEMFrameWork.h"

#include <CWrapOgreCamera.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreViewport.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>

#include <OgreViewport.h>

namespace {

CWrapOgreNode* gRootNode = nullptr;

struct CameraHolder {
    CWrapOgreNode* defaultCameraNode = nullptr;
    CWrapOgreCamera* defaultCamera = nullptr;
    CWrapOgreViewport* viewport = nullptr;
    CWrapOgreCamera* currentCamera = nullptr;
    CWrapOgreCamera* previousCamera = nullptr;
};

CameraHolder gCameras;

CWrapOgreWorld* World() {
    CWrapOgreWorld* world = gKEMFrameWork.GetGraphicsWorld();
    if (!world)
        KEM_THROW_SRC("the scene graph needs the graphics world", "CKEMSceneGraph");
    return world;
}

bool IsUnder(const CWrapOgreNode* node, const CWrapOgreNode* ancestor) {
    for (; node; node = node->getParentNode())
        if (node == ancestor)
            return true;
    return false;
}

}  // namespace

void CKEMSceneGraph::CreateRootNode() {
    CWrapOgreNode* root = World()->CreateNode("");
    root->setName("KEM_ROOT");
    gRootNode = root;
}

void CKEMSceneGraph::DestroyRootNode() {
    if (!gRootNode)
        return;
    // The viewport must not keep drawing through a camera that goes with the tree.
    if (gCameras.viewport && gCameras.viewport->getViewport() && gCameras.defaultCameraNode &&
        IsUnder(gCameras.defaultCameraNode, gRootNode))
        gCameras.viewport->getViewport()->setCamera(nullptr);
    delete gRootNode;
    gRootNode = nullptr;
}

CWrapOgreNode* CKEMSceneGraph::GetRootNode() { return gRootNode; }

void CKEMSceneGraph::CreateDefaultCamera() {
    CWrapOgreWorld* world = World();
    CWrapOgreNode* node = gRootNode ? gRootNode->createChild("") : world->CreateNode("");
    node->setName("DefaultCam");
    CWrapOgreCamera* camera = world->CreateCamera();
    node->attachCamera(camera);
    gCameras.defaultCameraNode = node;
    gCameras.defaultCamera = camera;
    SetCurrentCamera(camera);

    CWrapOgreViewport* viewport = world->CreateViewport(camera);
    gCameras.viewport = viewport;
    viewport->setDimensions(0.0f, 0.0f, 1.0f, 1.0f);
    viewport->setZOrder(9);
}

void CKEMSceneGraph::DestroyDefaultCamera() {
    SetCurrentCamera(nullptr);
    delete gCameras.viewport;
    gCameras.viewport = nullptr;
}

void CKEMSceneGraph::SetCurrentCamera(CWrapOgreCamera* camera) {
    gCameras.previousCamera = gCameras.currentCamera;
    gCameras.currentCamera = camera;
    if (camera && gCameras.viewport)
        gCameras.viewport->setCamera(camera);
}

void CKEMSceneGraph::ClearCameras() { gCameras = CameraHolder(); }

CWrapOgreCamera* CKEMSceneGraph::GetCurrentCamera() { return gCameras.currentCamera; }
CWrapOgreCamera* CKEMSceneGraph::GetPreviousCamera() { return gCameras.previousCamera; }
CWrapOgreCamera* CKEMSceneGraph::GetDefaultCamera() { return gCameras.defaultCamera; }
CWrapOgreNode* CKEMSceneGraph::GetDefaultCameraNode() { return gCameras.defaultCameraNode; }
CWrapOgreViewport* CKEMSceneGraph::GetViewport() { return gCameras.viewport; }
