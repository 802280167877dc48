#include "CKEMSceneCamera.h"

#include "CKEMSceneGraph.h"
#include "CKEMSceneNodeKind.h"

#include <CWrapOgreCamera.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <Platform.h>

#include <OgreMath.h>

#include <cmath>

using namespace KEMSceneNodeKind;

CKEMSceneCameraHandle::CKEMSceneCameraHandle(CWrapOgreNode* node) : mNode(node) {}

CKEMSceneCameraHandle::~CKEMSceneCameraHandle() { hideDebug(); }

void CKEMSceneCameraHandle::create() {
    mCamera = World()->CreateCamera();
    if (mNode)
        mNode->attachCamera(mCamera);
}

void CKEMSceneCameraHandle::showDebug() {
    hideDebug();
    mDebugEntity = CreateDebugEntity(mNode, "cameraDebug.mesh", "");
}

void CKEMSceneCameraHandle::hideDebug() { DestroyDebugEntity(mNode, mDebugEntity); }

CKEMSceneCamera::CKEMSceneCamera(CKEMSceneNode* parent) : CKEMSceneNode(parent) {
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    mCameraHandle = new CKEMSceneCameraHandle(mGraphicHandle->getNode());
    mCameraHandle->create();
    SetClassType(KEM_SCENE_CAMERA);

    const CWrapOgreCamera* camera = mCameraHandle->GetCamera();
    mProjectionType = camera->getProjectionType() == Ogre::PT_ORTHOGRAPHIC ? 0 : 1;
    mPolygonMode = static_cast<int32_t>(camera->getPolygonMode());
    mNearClip = camera->getNearClipDistance();
    mFarClip = camera->getFarClipDistance();
    mFov = camera->getFOVy();
    mAspectRatio = camera->getAspectRatio();

    RegisterVar(mProjectionTypeVar, "CKEMSCENECAMERA_MPROJ_TYPE", &mProjectionType);
    RegisterVar(mPolygonModeVar, "CKEMSCENECAMERA_MPOLY_MODE", &mPolygonMode);
    RegisterVar(mNearClipVar, "CKEMSCENECAMERA_MNEAR_CLIP", &mNearClip);
    RegisterVar(mFarClipVar, "CKEMSCENECAMERA_MFAR_CLIP", &mFarClip);
    RegisterVar(mFovVar, "CKEMSCENECAMERA_MFOV", &mFov);
    RegisterVar(mAspectRatioVar, "CKEMSCENECAMERA_MASPECT_RATIO", &mAspectRatio);
}

CKEMSceneCamera::~CKEMSceneCamera() {
    TermScriptFirst();   // the script's Term still sees the whole node
    // Nothing may keep drawing through, or listening at, a deleted camera.
    CKEMSceneGraph::ForgetCamera(this);
    delete mCameraHandle;
    mCameraHandle = nullptr;
}

void CKEMSceneCamera::SetProjectionType(int type) {
    mProjectionType = type;
    mCameraHandle->GetCamera()->setProjectionType(type == 0 ? Ogre::PT_ORTHOGRAPHIC : Ogre::PT_PERSPECTIVE);
}

void CKEMSceneCamera::SetPolygonMode(int mode) {
    mPolygonMode = mode;
    if (mode < Ogre::PM_POINTS || mode > Ogre::PM_SOLID) {
        PlatLog("CKEMSceneCamera(%s): polygon mode %d unknown, drawing solid", getName().c_str(), mode);
        mode = Ogre::PM_SOLID;
    }
    mCameraHandle->GetCamera()->setPolygonMode(static_cast<Ogre::PolygonMode>(mode));
}

void CKEMSceneCamera::SetNearClip(float distance) {
    // The 3D engine refuses these values; a broken scene file keeps the camera's own.
    if (!(distance > 0.0f) || !std::isfinite(distance)) {
        PlatLog("CKEMSceneCamera(%s): near clip distance %f refused", getName().c_str(), distance);
        return;
    }
    mNearClip = distance;
    mCameraHandle->GetCamera()->setNearClipDistance(distance);
}

void CKEMSceneCamera::SetFarClip(float distance) {
    if (!(distance >= 0.0f)) {   // 0 is an infinite far plane
        PlatLog("CKEMSceneCamera(%s): far clip distance %f refused", getName().c_str(), distance);
        return;
    }
    mFarClip = distance;
    mCameraHandle->GetCamera()->setFarClipDistance(distance);
}

void CKEMSceneCamera::SetFov(float radians) {
    if (!(radians > 0.0f && radians < Ogre::Math::PI)) {
        PlatLog("CKEMSceneCamera(%s): field of view %f refused", getName().c_str(), radians);
        return;
    }
    mFov = radians;
    mCameraHandle->GetCamera()->setFOVy(radians);
}

void CKEMSceneCamera::SetAspectRatio(float ratio) {
    if (!(ratio > 0.0f) || !std::isfinite(ratio)) {
        PlatLog("CKEMSceneCamera(%s): aspect ratio %f refused", getName().c_str(), ratio);
        return;
    }
    mAspectRatio = ratio;
    mCameraHandle->GetCamera()->setAspectRatio(ratio);
}

Ogre::Ray CKEMSceneCamera::GetViewportRay(float x, float y) const {
    return mCameraHandle->GetCamera()->getCameraToViewportRay(x, y);
}

void CKEMSceneCamera::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    if (debug)
        mCameraHandle->showDebug();
    else
        mCameraHandle->hideDebug();
}

void CKEMSceneCamera::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    SetProjectionType(mProjectionType);
    SetPolygonMode(mPolygonMode);
    SetNearClip(mNearClip);
    SetFarClip(mFarClip);
    SetFov(mFov);
    SetAspectRatio(mAspectRatio);
    setToVisible(false);
}
