// The scene's root "KEM_ROOT" and, beside it, the camera holder: the default
// camera "DefaultCam", the viewport it renders into and the current camera.
// The root and the default camera are graphics nodes of the framework's
// graphics world; the scene-node kinds build on them.
#pragma once

class CWrapOgreCamera;
class CWrapOgreNode;
class CWrapOgreViewport;

class CKEMSceneGraph {
public:
    // A node without parent named "KEM_ROOT". Needs the graphics world.
    static void CreateRootNode();
    // Deletes the root and the whole tree under it (the default camera's node
    // with it: the viewport then shows nothing until a camera is set again).
    static void DestroyRootNode();
    static CWrapOgreNode* GetRootNode();

    // A camera node "DefaultCam" under the root, made current, shown by a
    // viewport over the whole window at z-order 9.
    static void CreateDefaultCamera();
    // Current camera none, then the viewport goes.
    static void DestroyDefaultCamera();
    // previous = current; current = camera; the viewport shows it.
    static void SetCurrentCamera(CWrapOgreCamera* camera);
    // Forgets every camera (no current, previous or default camera).
    static void ClearCameras();

    static CWrapOgreCamera* GetCurrentCamera();
    static CWrapOgreCamera* GetPreviousCamera();
    static CWrapOgreCamera* GetDefaultCamera();
    static CWrapOgreNode* GetDefaultCameraNode();
    static CWrapOgreViewport* GetViewport();
};
