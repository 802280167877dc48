// A scene node carrying a 3D-engine camera (class type 5): placed, parented
// and animated like any node, stored in a scene file with its projection.
// The default camera "DefaultCam" and the game's match cameras are camera nodes.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreRay.h>

class CWrapOgreCamera;
class CWrapOgreEntity;
class CWrapOgreNode;

// The node's hold on its camera and on the camera's debug mesh.
class CKEMSceneCameraHandle {
public:
    explicit CKEMSceneCameraHandle(CWrapOgreNode* node);
    // The camera goes with the node's graphics node; only the debug mesh goes here.
    ~CKEMSceneCameraHandle();
    CKEMSceneCameraHandle(const CKEMSceneCameraHandle&) = delete;
    CKEMSceneCameraHandle& operator=(const CKEMSceneCameraHandle&) = delete;

    // A camera of the graphics world, attached to the node.
    void create();
    void showDebug();
    void hideDebug();

    CWrapOgreCamera* GetCamera() const { return mCamera; }
    CWrapOgreEntity* GetDebugEntity() const { return mDebugEntity; }

private:
    CWrapOgreCamera* mCamera = nullptr;
    CWrapOgreNode* mNode = nullptr;
    CWrapOgreEntity* mDebugEntity = nullptr;
};

class CKEMSceneCamera : public CKEMSceneNode {
public:
    explicit CKEMSceneCamera(CKEMSceneNode* parent);
    ~CKEMSceneCamera() override;

    CKEMSceneCameraHandle* GetCamera() const { return mCameraHandle; }

    // Each stores the value and forwards it to the camera. Any projection
    // type but 0 (orthographic) is perspective; polygon modes are 1 points,
    // 2 wireframe, 3 solid.
    void SetProjectionType(int type);
    void SetPolygonMode(int mode);
    void SetNearClip(float distance);
    void SetFarClip(float distance);
    void SetFov(float radians);
    void SetAspectRatio(float ratio);

    int GetProjectionType() const { return mProjectionType; }
    int GetPolygonMode() const { return mPolygonMode; }
    float GetNearClip() const { return mNearClip; }
    float GetFarClip() const { return mFarClip; }
    float GetFov() const { return mFov; }
    float GetAspectRatio() const { return mAspectRatio; }

    // The camera's ray through the viewport point (x, y in 0..1).
    Ogre::Ray GetViewportRay(float x, float y) const;

    void setDebugMode(bool debug) override;
    // The loaded projection values, then the node is hidden.
    void PostLoadInit() override;

private:
    CKEMSceneCameraHandle* mCameraHandle = nullptr;
    int32_t mProjectionType = 1;
    int32_t mPolygonMode = 3;
    float mNearClip = 0.0f;
    float mFarClip = 0.0f;
    float mFov = 0.0f;
    float mAspectRatio = 0.0f;

    CKEMVarInt mProjectionTypeVar;
    CKEMVarInt mPolygonModeVar;
    CKEMVarFloat mNearClipVar;
    CKEMVarFloat mFarClipVar;
    CKEMVarFloat mFovVar;
    CKEMVarFloat mAspectRatioVar;
};
