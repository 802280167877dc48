// The scene's node tree: the root "KEM_ROOT", lookup and deletion by name, the
// debug-display switch, and beside it the camera holder (the default camera
// "DefaultCam", the viewport it renders into, the current and previous
// cameras). One scene graph per process: every operation is static.
#pragma once

#include <OgreVector.h>

#include <string>
#include <vector>

class CKEMSceneCamera;
class CKEMSceneNode;
struct CKEMOrientedBox;
class CWrapOgreViewport;

// Services of later subsystems that the scene graph calls; each stays a no-op
// until its subsystem installs it.
struct CKEMSceneGraphHooks {
    // The GUI's menu sound nodes, hung under a new root / released before it goes.
    void (*createMenuSounds)() = nullptr;
    void (*releaseMenuSounds)() = nullptr;
    // The debug renderer's named shapes (a scene object's box in debug mode).
    void (*drawDebugBox)(const std::string& id, const CKEMOrientedBox& box) = nullptr;
    void (*removeDebugShape)(const std::string& id) = nullptr;
    // A named list of line segments (point pairs), e.g. a joint's anchor and axes.
    void (*drawDebugLines)(const std::string& id, const std::vector<Ogre::Vector3>& points,
                           const std::string& material) = nullptr;
    // Builds the node kinds the scene graph does not make itself (the
    // particle effect); null for a kind it does not know.
    CKEMSceneNode* (*createNode)(int classType, CKEMSceneNode* parent, const std::string& resource) = nullptr;
};

// The physics manager's share of a scene load. The scene loader calls them in
// its fixed order; each stays a no-op (the loaders succeed) until the physics
// manager installs itself.
struct CKEMScenePhysicsHooks {
    void (*clear)() = nullptr;                                   // joints and materials go
    void (*createWorld)() = nullptr;                             // fresh world, default settings
    bool (*loadSettingsAndMaterials)(const char* text) = nullptr;
    bool (*loadObjectsAndJoints)(const char* text) = nullptr;
    // The debug mode reaches the physics (joint display).
    void (*setDebug)(bool debug) = nullptr;
};

class CKEMSceneGraph {
public:
    // A plain node without parent named "KEM_ROOT"; then the GUI's menu sounds.
    // An existing root is destroyed first.
    static void CreateRootNode();
    // The GUI's menu sounds go, then the root with the whole tree.
    static void DestroyRootNode();
    static CKEMSceneNode* GetRootNode();

    // Depth-first, pre-order from `start` (the root when null): the first node
    // of that name, or null. The empty name never matches.
    static CKEMSceneNode* FindNode(const std::string& name, CKEMSceneNode* start = nullptr);
    // Detaches the named node from its parent and deletes it with its subtree.
    // False when no node has that name.
    static bool DeleteNode(const std::string& name);

    // The node of that class type ("CKEMSCENENODE_CLASSTYPE") under `parent`
    // (null: the root); the resource goes to the kinds that load one. Null,
    // and a log line, for a kind that cannot be built.
    static CKEMSceneNode* CreateNodeByType(int classType, CKEMSceneNode* parent, const std::string& resource);
    // Builds the nodes of a scene text: every "KEM_SCENE_NODE_VARLIST" of
    // "ROOT" makes a node, then each reads its variables and is linked and
    // initialised (PostLoadInit); a node whose parent is listed after it still
    // ends up under it. With a prefix, names (but "KEM_ROOT") get it in front.
    // On failure every node made here is unlinked and deleted, and the result
    // is false.
    static bool LoadNodes(const char* text, const char* prefix = nullptr);

    // A changed value is passed to every node below the root, depth-first.
    static void SetDebugMode(bool debug);
    static bool getDebugMode();

    // A camera node "DefaultCam" under the root, made current and shown by a
    // viewport over the whole window at z-order 9. Needs the graphics world.
    static void CreateDefaultCamera();
    // No current camera, then the viewport goes. The camera node itself goes
    // with the tree.
    static void DestroyDefaultCamera();
    // previous = current; current = camera; a non-null camera is shown by the viewport.
    static void SetCurrentCamera(CKEMSceneCamera* camera);
    // A camera node going away leaves the holder and the viewport.
    static void ForgetCamera(CKEMSceneCamera* camera);
    static CKEMSceneCamera* GetCurrentCamera();
    static CKEMSceneCamera* GetPreviousCamera();
    static CKEMSceneCamera* GetDefaultCamera();
    static CWrapOgreViewport* GetViewport();

    static CKEMSceneGraphHooks& Hooks();
    static CKEMScenePhysicsHooks& PhysicsHooks();
};
