// The engine framework: holds the engine's system objects (graphics system and
// world, physics system and world, graphic-element registry, debug selection,
// compositor list), creates the render windows, registers the frame listener,
// renders one frame and tears everything down again.
#pragma once

#include <cstdint>
#include <string>

class CDebugSelection;
class CKEMSceneNode;
class CGraphicElementRegistry;
class COdeWorld;
class CPhysicsSystemODE;
class CWrapOgreCompositorList;
class CWrapOgreSystem;
class CWrapOgreWorld;

// Services of later subsystems; each stays a no-op (or null) until its
// subsystem installs it.
struct CKEMFrameWorkHooks {
    CPhysicsSystemODE* (*createPhysicsSystem)() = nullptr;
    COdeWorld* (*createPhysicsWorld)(CPhysicsSystemODE* system) = nullptr;
    void (*deletePhysicsWorld)(COdeWorld* world) = nullptr;
    // Shuts the physics system down, then deletes it.
    void (*destroyPhysicsSystem)(CPhysicsSystemODE* system) = nullptr;
};

class CKEMFrameWork {
public:
    CKEMFrameWork();
    ~CKEMFrameWork();
    CKEMFrameWork(const CKEMFrameWork&) = delete;
    CKEMFrameWork& operator=(const CKEMFrameWork&) = delete;

    // Registry, debug selection, compositor list, physics system and its
    // world; the window count back to 0. Returns the physics world.
    COdeWorld* Init();
    // The first window ("Window0") starts the 3D engine in the given window
    // (an X11 window id) and creates the graphics world; later windows
    // ("Window1", ...) are added to the running engine.
    void CreateRenderWindow(uintptr_t windowHandle);
    // The 3D engine's frame listener on the last render window.
    void RegisterFrameListener();
    // One rendered frame; frameTime in milliseconds. Nothing before the
    // graphics world exists.
    void RenderFrame(float frameTime);
    // Deletes everything Init and CreateRenderWindow made, in order.
    void Term();

    // Throws CKEMException "Don't have a graphics system!" when there is none.
    CWrapOgreSystem* GetGraphicsSystem() const;
    CWrapOgreWorld* GetGraphicsWorld() const { return mGraphicsWorld; }
    COdeWorld* GetPhysicsWorld() const { return mPhysicsWorld; }
    CPhysicsSystemODE* GetPhysicsSystem() const { return mPhysicsSystem; }
    CGraphicElementRegistry* GetGraphicElementRegistry() const { return mRegistry; }
    CDebugSelection* GetDebugSelection() const { return mDebugSelection; }
    CWrapOgreCompositorList* GetCompositorList() const { return mCompositorList; }
    int GetRenderWindowCount() const { return mRenderWindowCount; }

    static CKEMFrameWorkHooks& Hooks();

    // Loads a venue's scene file into a rebuilt scene (root, default camera
    // when there was one, physics world): physics settings and materials,
    // nodes, physic objects and joints, graphic environment. 1 on success; 0
    // on failure, the scene then left empty. A null path gives an empty scene (1).
    static int LoadScene(const char* path);
    // The scene node of a class type; see CKEMSceneGraph::CreateNodeByType.
    static CKEMSceneNode* CreateNodeByType(int classType, CKEMSceneNode* parent, const std::string& resource);

private:
    CWrapOgreSystem* mGraphicsSystem = nullptr;
    CPhysicsSystemODE* mPhysicsSystem = nullptr;
    CWrapOgreWorld* mGraphicsWorld = nullptr;
    COdeWorld* mPhysicsWorld = nullptr;
    CGraphicElementRegistry* mRegistry = nullptr;
    int32_t mRenderWindowCount = 0;
    CDebugSelection* mDebugSelection = nullptr;
    CWrapOgreCompositorList* mCompositorList = nullptr;
};

// The one engine framework.
extern CKEMFrameWork gKEMFrameWork;
