#include "CKEMSceneGraph.h"

#include "CKEMSceneCamera.h"
#include "CKEMSceneNode.h"

#include <CSceneMgr.h>
#include <CWrapOgreCamera.h>
#include <CWrapOgreViewport.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <Platform.h>

#include <OgreRoot.h>

#include <utility>
#include <vector>

namespace {

struct SceneGraph {
    CKEMSceneNode* root = nullptr;
    bool debug = true;
};

struct CameraHolder {
    CKEMSceneCamera* defaultCamera = nullptr;
    CWrapOgreViewport* viewport = nullptr;
    CKEMSceneCamera* currentCamera = nullptr;
    CKEMSceneCamera* previousCamera = nullptr;
};

SceneGraph gGraph;
CameraHolder gCameras;

// The holder deletes its viewport at exit, while the 3D engine still runs;
// once the engine is gone the viewport went with its window.
struct ViewportReleaser {
    ~ViewportReleaser() {
        if (Ogre::Root::getSingletonPtr())
            delete gCameras.viewport;
        gCameras.viewport = nullptr;
    }
} gViewportReleaser;

bool CurrentCameraMatrix(Ogre::Matrix4& out) {
    if (!gCameras.currentCamera)
        return false;
    gCameras.currentCamera->GetWorldMatrix(out);
    return true;
}

// The viewport stops drawing through a camera that is going.
void LeaveViewport(CKEMSceneCamera* camera) {
    if (!gCameras.viewport || !camera || !camera->GetCamera() || !camera->GetCamera()->GetCamera())
        return;
    if (gCameras.viewport->getCamera() == camera->GetCamera()->GetCamera())
        gCameras.viewport->setCamera(nullptr);
}

}  // namespace

CKEMSceneGraphHooks& CKEMSceneGraph::Hooks() {
    static CKEMSceneGraphHooks hooks;
    return hooks;
}

CKEMScenePhysicsHooks& CKEMSceneGraph::PhysicsHooks() {
    static CKEMScenePhysicsHooks hooks;
    return hooks;
}

void CKEMSceneGraph::CreateRootNode() {
    if (gGraph.root)
        DestroyRootNode();
    CKEMSceneNode::SetSceneRoot(nullptr);
    CKEMSceneNode* root = new CKEMSceneNode(nullptr);
    root->setName("KEM_ROOT");
    gGraph.root = root;
    CKEMSceneNode::SetSceneRoot(root);
    // The run state places the sound listener on the current camera.
    CSceneMgr::Services().currentCameraMatrix = &CurrentCameraMatrix;
    if (Hooks().createMenuSounds)
        Hooks().createMenuSounds();
}

void CKEMSceneGraph::DestroyRootNode() {
    if (Hooks().releaseMenuSounds)
        Hooks().releaseMenuSounds();
    CKEMSceneNode* root = gGraph.root;
    if (!root)
        return;
    // Cameras deleted with the tree leave the holder through ForgetCamera.
    gGraph.root = nullptr;
    CKEMSceneNode::SetSceneRoot(nullptr);
    delete root;
}

CKEMSceneNode* CKEMSceneGraph::GetRootNode() { return gGraph.root; }

CKEMSceneNode* CKEMSceneGraph::FindNode(const std::string& name, CKEMSceneNode* start) {
    if (name.empty())
        return nullptr;
    if (!start)
        start = gGraph.root;
    if (!start)
        return nullptr;
    // Pre-order with an explicit stack: a scene file decides the depth.
    std::vector<CKEMSceneNode*> pending{start};
    while (!pending.empty()) {
        CKEMSceneNode* node = pending.back();
        pending.pop_back();
        if (node->getName() == name)
            return node;
        const std::vector<CKEMSceneNode*>& children = node->GetChildren();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(*it);
    }
    return nullptr;
}

bool CKEMSceneGraph::DeleteNode(const std::string& name) {
    CKEMSceneNode* node = FindNode(name);
    if (!node)
        return false;
    if (node == gGraph.root) {
        DestroyRootNode();
        return true;
    }
    if (CKEMSceneNode* parent = node->getParent())
        parent->detachChild(node);
    delete node;
    return true;
}

void CKEMSceneGraph::SetDebugMode(bool debug) {
    if (debug == gGraph.debug)
        return;
    gGraph.debug = debug;
    if (PhysicsHooks().setDebug)
        PhysicsHooks().setDebug(debug);
    if (!gGraph.root)
        return;
    std::vector<CKEMSceneNode*> pending(gGraph.root->GetChildren().rbegin(), gGraph.root->GetChildren().rend());
    while (!pending.empty()) {
        CKEMSceneNode* node = pending.back();
        pending.pop_back();
        node->setDebugMode(debug);
        const std::vector<CKEMSceneNode*>& children = node->GetChildren();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(*it);
    }
}

bool CKEMSceneGraph::getDebugMode() { return gGraph.debug; }

void CKEMSceneGraph::CreateDefaultCamera() {
    CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
    if (!world)
        KEM_THROW_SRC("the default camera needs the graphics world", "CKEMSceneGraph");
    CKEMSceneCamera* camera = new CKEMSceneCamera(nullptr);
    camera->setName("DefaultCam");
    gCameras.defaultCamera = camera;
    SetCurrentCamera(camera);

    delete gCameras.viewport;
    gCameras.viewport = nullptr;
    CWrapOgreViewport* viewport = world->CreateViewport(camera->GetCamera()->GetCamera());
    gCameras.viewport = viewport;
    viewport->setDimensions(0.0f, 0.0f, 1.0f, 1.0f);
    viewport->setZOrder(9);
}

void CKEMSceneGraph::DestroyDefaultCamera() {
    SetCurrentCamera(nullptr);
    delete gCameras.viewport;
    gCameras.viewport = nullptr;
}

void CKEMSceneGraph::SetCurrentCamera(CKEMSceneCamera* camera) {
    gCameras.previousCamera = gCameras.currentCamera;
    gCameras.currentCamera = camera;
    if (camera && gCameras.viewport && camera->GetCamera())
        gCameras.viewport->setCamera(camera->GetCamera()->GetCamera());
}

void CKEMSceneGraph::ForgetCamera(CKEMSceneCamera* camera) {
    if (!camera)
        return;
    LeaveViewport(camera);
    if (gCameras.currentCamera == camera)
        gCameras.currentCamera = nullptr;
    if (gCameras.previousCamera == camera)
        gCameras.previousCamera = nullptr;
    if (gCameras.defaultCamera == camera)
        gCameras.defaultCamera = nullptr;
}

CKEMSceneCamera* CKEMSceneGraph::GetCurrentCamera() { return gCameras.currentCamera; }
CKEMSceneCamera* CKEMSceneGraph::GetPreviousCamera() { return gCameras.previousCamera; }
CKEMSceneCamera* CKEMSceneGraph::GetDefaultCamera() { return gCameras.defaultCamera; }
CWrapOgreViewport* CKEMSceneGraph::GetViewport() { return gCameras.viewport; }
