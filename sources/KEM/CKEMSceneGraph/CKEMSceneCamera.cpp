#include "CKEMSceneCamera.h"

#include "CKEMSceneGraph.h"
#include "CKEMSceneNodeKind.h"
#include "KEMSceneLog.h"

#include <CWrapOgreCamera.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <Platform.h>

#include <OgreMath.h>

#include <algorithm>
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
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MPOLY_MODE", "polygon mode %d unknown; solid used", mode);
        mode = Ogre::PM_SOLID;
    }
    mCameraHandle->GetCamera()->setPolygonMode(static_cast<Ogre::PolygonMode>(mode));
}

namespace {

// What OGRE can project. Outside these the frustum's corners overflow or
// collapse, and its bounding box asserts on the first rendered frame.
const float kMinNearClip = 1e-3f;    // m
const float kMaxNearClip = 1e4f;
const float kMaxFarClip = 1e7f;      // 0 is an infinite far plane
const float kMaxDepthRatio = 1e6f;   // far / near, for the depth buffer
const float kMinFov = 1e-3f;         // radians
const float kMaxFov = 3.0f;          // about 172 degrees
const float kMinAspect = 1e-2f;
const float kMaxAspect = 1e2f;

bool Within(float value, float low, float high) { return std::isfinite(value) && value >= low && value <= high; }

}  // namespace

void CKEMSceneCamera::SetNearClip(float distance) {
    // A plane nearer or farther than OGRE can take comes to the nearest one
    // it can: the camera's own (100 m for a new one) would blank a venue's view.
    if (std::isfinite(distance) && distance > 0.0f && !Within(distance, kMinNearClip, kMaxNearClip)) {
        const float used = std::min(std::max(distance, kMinNearClip), kMaxNearClip);
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MNEAR_CLIP", "near clip %g refused; %g used", double(distance),
                           double(used));
        distance = used;
    }
    const float far = mCameraHandle->GetCamera()->getFarClipDistance();
    if (!Within(distance, kMinNearClip, kMaxNearClip) || (far > 0.0f && far < distance)) {
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MNEAR_CLIP", "near clip %g refused; %g kept", double(distance),
                           double(mCameraHandle->GetCamera()->getNearClipDistance()));
        mNearClip = mCameraHandle->GetCamera()->getNearClipDistance();
        return;
    }
    mNearClip = distance;
    mCameraHandle->GetCamera()->setNearClipDistance(distance);
}

void CKEMSceneCamera::SetFarClip(float distance) {
    const float near = mCameraHandle->GetCamera()->getNearClipDistance();
    const bool infinite = distance == 0.0f;
    if (!infinite && (!Within(distance, near, kMaxFarClip) || distance / near > kMaxDepthRatio)) {
        // Too deep a range for the depth buffer: the deepest one it takes.
        const float used = std::min(near * kMaxDepthRatio, kMaxFarClip);
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MFAR_CLIP", "far clip %g with near clip %g refused; %g used",
                           double(distance), double(near), double(used));
        distance = used;
    }
    mFarClip = distance;
    mCameraHandle->GetCamera()->setFarClipDistance(distance);
}

void CKEMSceneCamera::SetFov(float radians) {
    if (!Within(radians, kMinFov, kMaxFov)) {
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MFOV", "field of view %g refused; %g kept", double(radians),
                           double(mCameraHandle->GetCamera()->getFOVy()));
        mFov = mCameraHandle->GetCamera()->getFOVy();
        return;
    }
    mFov = radians;
    mCameraHandle->GetCamera()->setFOVy(radians);
}

void CKEMSceneCamera::SetAspectRatio(float ratio) {
    if (!Within(ratio, kMinAspect, kMaxAspect)) {
        KEMSceneLog::Value(getName(), "CKEMSCENECAMERA_MASPECT_RATIO", "aspect ratio %g refused; %g kept",
                           double(ratio), double(mCameraHandle->GetCamera()->getAspectRatio()));
        mAspectRatio = mCameraHandle->GetCamera()->getAspectRatio();
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
    // The far plane first when it comes nearer, so that the pair is judged
    // as the file gives it, not against the camera's previous one.
    const float nearClip = mNearClip;
    const float farClip = mFarClip;
    SetFarClip(0.0f);
    SetNearClip(nearClip);
    SetFarClip(farClip);
    SetFov(mFov);
    SetAspectRatio(mAspectRatio);
    setToVisible(false);
}
