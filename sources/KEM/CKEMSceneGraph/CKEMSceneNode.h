// The base of every scene-graph node (object, light, camera, path, point,
// trigger, collision mesh, sound, particle effect) and of the game's match
// driver. A node owns its children, an optional graphics node, graphic object,
// physic object and script component; the scripted-node manager runs it each
// frame through its update flags, event table and life function.
//
// Scripts and physic objects come from libraries built on top of this one:
// they plug in through CKEMSceneNode::ScriptHooks() and PhysicHooks(). Until
// they do, a node has no Lua side (VMCall finds no function) and no physics.
#pragma once

#include "CKEMOrientedBox.h"

#include <CKEMVar.h>
#include <COdeContact.h>

#include <OgreMatrix4.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct lua_State;
class CKEMScript;
class CKEMSceneGraphicHandle;
class CKEMSceneNode;
class CPhysicObject;

// The contact listener of a node (the game sets one on its ball nodes).
class CKEMSceneNodeInterface {
public:
    virtual ~CKEMSceneNodeInterface() = default;
    virtual void OnContact(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) = 0;
    virtual void OnContactContinue(CKEMSceneNode* node, CKEMSceneNode* other, ContactInfo& info) = 0;
    virtual void OnContactEnd(CKEMSceneNode* node, CKEMSceneNode* other) = 0;
};

// Where a node's diagnostic texts go; see SetLogSink / SetDefaultLogSink.
class CKEMSceneNodeLogSink {
public:
    virtual ~CKEMSceneNodeLogSink() = default;
    virtual void Warning(const char* text) = 0;
    virtual void Message(const char* text) = 0;
    virtual void Error(const char* text) = 0;
};

// A node kind's graphic object (an entity handle or equivalent), owned by the
// node: it computes the node's boxes and shows them for debugging.
class CKEMSceneGraphicObject {
public:
    virtual ~CKEMSceneGraphicObject() = default;
    // recompute: the local box or the scale changed; axes: the orientation changed.
    virtual void UpdateBounds(CKEMBoundingBox& aabb, CKEMOrientedBox& obb, bool recompute, bool axes) = 0;
    virtual void ShowDebug(bool show, const CKEMOrientedBox& obb) = 0;
};

// VMCall argument type codes; a call's list ends with a type code 0.
enum EKEMVMArgType : int {
    KEMVM_END = 0,
    KEMVM_INT = 1,          // int, pushed as a number
    KEMVM_DOUBLE = 2,       // double, pushed as a (single-precision) number
    KEMVM_STRING = 3,       // const char*
    KEMVM_RESULT_INT = 4,   // int*: receives a numeric result
    KEMVM_RESULT_BOOL = 5,  // int*: receives a boolean result (0 or 1)
    KEMVM_RESULT_NONE = 6,  // void*: one result requested, nothing stored
};

// One VMCall argument, as handed to the scripting library.
struct CKEMVMArg {
    int type = KEMVM_END;
    int intValue = 0;
    double doubleValue = 0.0;
    const char* text = nullptr;
    void* result = nullptr;
};

// Installed by the scripting library. Every entry may stay null.
struct CKEMSceneNodeScriptHooks {
    // A script component for a "CKEMSCENENODE_SCRIPT_PATH" value; null when none can be made.
    CKEMScript* (*create)(const std::string& path) = nullptr;
    void (*destroy)(CKEMScript* script) = nullptr;
    // Tells the script its owner node (this starts its Lua state).
    void (*setOwner)(CKEMScript* script, CKEMSceneNode* node) = nullptr;
    std::string (*getPath)(CKEMScript* script) = nullptr;
    bool (*hasLuaState)(CKEMScript* script) = nullptr;
    // The Lua side of VMCall: make the script's VM current, look `function` up
    // among the globals (not a function: pop it, return 0), then, when
    // `wellFormed` is false (two result requests or an unknown type code), pop
    // and return -1; otherwise push `args` (result requests excluded), call,
    // store a requested result, empty the stack and return 0.
    int (*call)(CKEMSceneNode* node, CKEMScript* script, const char* function,
                const CKEMVMArg* args, int count, bool wellFormed) = nullptr;
    // Binds the class "KEMSceneNode" in the module "kem".
    void (*registerNodeClass)(lua_State* state) = nullptr;
};

// Installed by the physics library. Every entry may stay null.
struct CKEMSceneNodePhysicHooks {
    CKEMSceneNode* (*getNode)(CPhysicObject* object) = nullptr;
    void (*attachToNode)(CPhysicObject* object, CKEMSceneNode* node) = nullptr;
    void (*registerObject)(CPhysicObject* object) = nullptr;     // with the physics manager
    void (*unregisterObject)(CPhysicObject* object) = nullptr;
    void (*destroy)(CPhysicObject* object) = nullptr;
    void (*syncFromNode)(CPhysicObject* object) = nullptr;
    void (*updateNodeName)(CPhysicObject* object, const std::string& name) = nullptr;
    void (*showDebug)(CPhysicObject* object, bool show) = nullptr;
};

class CKEMSceneNode : public CKEMVarList, public IOdeContactReceiver {
public:
    // Class-type ids ("CKEMSCENENODE_CLASSTYPE").
    enum {
        KEM_SCENENODE = 0,
        KEM_SCENEOBJECT_MESH = 1,
        KEM_SCENEOBJECT_SCENE = 2,
        KEM_SCENEOBJECT_OSM = 3,
        KEM_SCENE_LIGHT = 4,
        KEM_SCENE_CAMERA = 5,
        KEM_SCENE_PATH = 6,
        KEM_SCENE_TRIGGER = 7,
        KEM_SCENE_COLLISIONMESH = 8,
        KEM_SCENE_POINT = 9,
        KEM_SCENE_SOUND = 10,
        KEM_SCENE_PARTICLEEFFECT = 11,
    };

    // Update flags: bits 0-15 period, 16-19 wake, 20-23 sleep, 28-31 kill.
    static const uint32_t UPDATE_PERIOD_MASK = 0x0000FFFFu;
    static const uint32_t UPDATE_PERIOD_NEVER = 0x0000FFFFu;
    static const uint32_t UPDATE_WAKE_BITS = 0x000F0000u;
    static const uint32_t UPDATE_SLEEP_BITS = 0x00F00000u;
    static const uint32_t UPDATE_KILL_BITS = 0xF0000000u;
    static const uint32_t UPDATE_DEFAULT = 14u;

    // Engine event ids.
    static const uint32_t EVENT_WAKEUP = 0x232AD392u;
    static const uint32_t EVENT_SLEEP = 0x81C0FA19u;
    static const uint32_t EVENT_OVERLAP_BEGIN = 0xF130323Au;
    static const uint32_t EVENT_OVERLAP_END = 0x6D0C83C5u;
    static const uint32_t EVENT_TRIGGER_ENTER = 0x4EECC5EDu;
    static const uint32_t EVENT_TRIGGER_LEAVE = 0x637216D1u;

    static const int MAX_EVENTS = 32;

    // Native handlers and the life callback are members of the node's own
    // class, cast to these types (static_cast of a derived member pointer).
    typedef int (CKEMSceneNode::*EventHandler)(uint32_t id, CKEMSceneNode* sender, int argument);
    typedef void (CKEMSceneNode::*LifeCallback)();

    // Links under `parent`, or, when null, under the scene root (when one
    // exists and is not this node).
    explicit CKEMSceneNode(CKEMSceneNode* parent);
    CKEMSceneNode(const CKEMSceneNode&) = delete;
    CKEMSceneNode& operator=(const CKEMSceneNode&) = delete;

    // ---- virtual operations ---------------------------------------------
    // Unregisters from the scripted-node manager, deletes the children, the
    // physic object, the graphics node, the graphic object and the script.
    ~CKEMSceneNode() override;
    virtual void setDebugMode(bool debug);
    virtual bool SetPickMode(bool pick);
    virtual void setToVisible(bool visible);
    virtual void translate(const Ogre::Vector3& move, int space);
    virtual void setPosition(const Ogre::Vector3& position, bool syncPhysics);
    virtual void RegisterScriptClass(lua_State* state);
    // The physics world's calls; each forwards to the contact listener.
    void OnContactContinue(IOdeContactReceiver* other, ContactInfo& info) override;
    void OnContactBegin(IOdeContactReceiver* other, ContactInfo& info) override;
    void OnContactEnd(IOdeContactReceiver* other) override;
    virtual void UpdateBounds(bool scaleChanged, bool orientationChanged, bool recursive);
    virtual void SyncPhysics(bool recursive);
    // After loading or after the variables changed: name, parent, initial
    // conditions, visibility, pick mode, script.
    virtual void PostLoadInit();
    virtual void Manage();
    virtual void FirstManage();
    virtual void RegisterEvents();
    virtual void Reset();
    virtual void Term();
    virtual void PostManage();
    virtual int WakeUp(uint32_t id, CKEMSceneNode* sender, int argument);
    virtual int Sleep(uint32_t id, CKEMSceneNode* sender, int argument);
    virtual int VMSetLife(const char* name);
    virtual void VMCallFirstManageCall();
    virtual void VMCallLife();
    virtual void VMCallTerm();
    virtual void VMCallOnWakeUp(const char* senderName, int argument);
    virtual void VMCallOnSleep(const char* senderName, int argument);
    // Calls a global Lua function of the node's script with (type code,
    // value) pairs ended by KEMVM_END. 0 without a script or function; -1
    // for a malformed list.
    virtual int VMCall(const char* function, ...);
    // The scripted-node manager's trigger events (enter / leave); the
    // trigger kind handles them, other kinds ignore them.
    virtual int OnEvent(uint32_t id, CKEMSceneNode* other);

    // ---- names, kind, links -----------------------------------------------
    const std::string& getName() const { return mName; }
    // A copy of the node's name; the empty text for no node.
    static std::string GetNameCopy(const CKEMSceneNode* node) { return node ? node->mName : std::string(); }
    // Renames the graphics node and the physic object's copy too.
    void setName(const std::string& name);
    void SetNames(const std::string& name, const std::string& parentName);
    const std::string& GetParentName() const { return mParentName; }
    int getKEM_NodeType() const { return mClassType; }
    CKEMSceneNode* getParent() const { return mParent; }
    CKEMSceneGraphicHandle* GetGraphicNode() const { return mGraphicHandle; }
    CKEMSceneGraphicObject* GetEntityHandle() const { return mGraphicObject; }
    bool getDebugMode() const { return mDebug; }
    bool GetPickMode() const { return mPick; }
    bool IsVisible() const { return mVisible; }
    CPhysicObject* getPhysicObject() const { return mPhysicObject; }
    CKEMScript* getKEMScript() const { return mScript; }
    const std::string& GetScriptPath() const { return mScriptPath; }

    int GetChildCount() const { return static_cast<int>(mChildren.size()); }
    CKEMSceneNode* GetChild(int index) const { return mChildren[index]; }
    const std::vector<CKEMSceneNode*>& GetChildren() const { return mChildren; }
    // Takes the node from its old parent first; refuses the node itself and
    // any ancestor (a cycle).
    void attachChild(CKEMSceneNode* node);
    void detachChild(CKEMSceneNode* node);
    // The script forms: attach moves the node and its graphics here keeping
    // its world pose; detach hands the node to the scene root, which then
    // owns and draws it.
    void ScriptAttachChild(CKEMSceneNode* node);
    void ScriptDetachChild(CKEMSceneNode* node);
    // Unregisters a scripted node, running its Term: a derived destructor
    // calls it first, while the whole node still exists.
    void TermScriptFirst();
    // Moves under `parent` keeping the world position and orientation.
    void SetParent(CKEMSceneNode* parent);

    // ---- transforms (through the graphics node) -------------------------
    void GetPosition(Ogre::Vector3& out, int space) const;
    void GetOrientation(Ogre::Quaternion& out, int space) const;
    void rotate(const Ogre::Quaternion& rotation, int space);
    void SetOrientation(const Ogre::Quaternion& orientation, bool syncPhysics);
    // Without a graphics node: unit scale and the identity.
    void GetScale(Ogre::Vector3& out) const;
    void GetWorldMatrix(Ogre::Matrix4& out) const;
    // Scales the whole subtree by the same ratio.
    void SetScale(const Ogre::Vector3& scale);
    void ApplyInitialConditions();
    // Turns the node's -Z toward `target`; nothing when the target is at the node.
    void LookAt(const Ogre::Vector3& target);
    // The node's -Z axis in world space.
    Ogre::Vector3 GetDirection() const;

    const Ogre::Vector3& GetInitialPosition() const { return mPositionIC; }
    const Ogre::Quaternion& GetInitialOrientation() const { return mOrientationIC; }
    const Ogre::Vector3& GetInitialScale() const { return mScaleIC; }
    void SetInitialConditions(const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                              const Ogre::Vector3& scale);

    // ---- script -------------------------------------------------------------
    // Links the script, takes its path, tells it its owner and registers the
    // node with the scripted-node manager; returns the registration result.
    int attachScript(CKEMScript* script);
    void removeScript();
    void ReloadScript();

    // ---- physics ------------------------------------------------------------
    // Throws "a physic object may not be link to 2 scenaric!" for an object
    // that already belongs to a node; null only removes the current one.
    void attachPhysicObject(CPhysicObject* object);
    void removePhysicObject();
    void detachPhysicObject();

    void SetContactListener(CKEMSceneNodeInterface* listener) { mContactListener = listener; }
    CKEMSceneNodeInterface* GetContactListener() const { return mContactListener; }

    // ---- life, events -------------------------------------------------------
    void SetLifeCallback(LifeCallback callback) { mLifeCallback = callback; }
    const char* GetLifeFunction() const { return mLifeFunction; }
    int FindEventHandler(uint32_t id) const;
    // Whether the overlap begin or end event has a handler (kept as the table
    // changes: the scripted-node manager asks every node every frame).
    bool HandlesOverlapEvents() const { return mHandlesOverlap != 0; }
    // 0, or -1 when the table is full (or, with a null handler, when the id has none).
    int AddScriptEvent(uint32_t id, EventHandler handler);
    int SendEvent(uint32_t id, CKEMSceneNode* sender, int argument);
    // Queues an event for the next Manage that runs; -1 when the queue is full.
    int QueueEvent(uint32_t id, CKEMSceneNode* sender, int argument);
    int GetQueuedEventCount() const { return mEventCount; }
    int VMOnEvent(const char* eventName, const char* functionName);
    int OnScriptEvent(uint32_t id, int argument);
    int VMLogMessage(const char* text);
    int VMLogWarning(const char* text);
    int VMLogError(const char* text);

    // ---- scripted-node manager state ---------------------------------------
    uint32_t GetUpdateFlags() const { return mUpdateFlags; }
    void SetUpdateFlags(uint32_t flags) { mUpdateFlags = flags; }
    uint32_t GetSavedUpdateFlags() const { return mSavedUpdateFlags; }
    bool IsAsleep() const { return (mUpdateFlags & UPDATE_SLEEP_BITS) == UPDATE_SLEEP_BITS; }
    bool HasSleepBit() const { return (mUpdateFlags & UPDATE_SLEEP_BITS) != 0; }
    bool IsKeptAwake() const { return (mUpdateFlags & UPDATE_WAKE_BITS) == UPDATE_WAKE_BITS; }
    bool IsKilled() const { return (mUpdateFlags & UPDATE_KILL_BITS) != 0; }
    bool GetActive() const { return mActive != 0; }
    void SetActive(bool active) { mActive = active ? 1 : 0; }
    uint32_t GetFrameCounter() const { return mFrameCounter; }
    bool IsFirstManageDone() const { return mFirstManageDone != 0; }

    CKEMBoundingBox& GetAxisAlignedBox() { return mAABB; }
    const CKEMBoundingBox& GetAxisAlignedBox() const { return mAABB; }
    CKEMOrientedBox& GetOrientedBox() { return mOBB; }
    const CKEMOrientedBox& GetOrientedBox() const { return mOBB; }

    // Overlaps are kept by identity: a deleted partner is forgotten, and a
    // later node of the same name is a new partner.
    void AddOverlap(const CKEMSceneNode* node);
    bool IsOverlapping(const std::string& name) const;
    bool IsOverlapping(const CKEMSceneNode* node) const { return mOverlaps.count(node) != 0; }
    void RemoveOverlap(const std::string& name);
    void RemoveOverlap(const CKEMSceneNode* node);
    bool HasOverlaps() const { return !mOverlaps.empty(); }
    const std::set<const CKEMSceneNode*>& GetOverlaps() const { return mOverlaps; }
    bool IsOverlappedByAny() const { return !mOverlappedBy.empty(); }

    // ---- log sinks (none installed: texts are dropped) ---------------------
    void SetLogSink(CKEMSceneNodeLogSink* sink);   // owned
    static void SetDefaultLogSink(CKEMSceneNodeLogSink* sink);   // not owned

    // ---- plug-ins and the scene root ----------------------------------------
    static CKEMSceneNodeScriptHooks& ScriptHooks();
    static CKEMSceneNodePhysicHooks& PhysicHooks();
    // The scene graph's root ("KEM_ROOT"): the scene graph sets it when it
    // creates the root and clears it when it deletes it. Parentless nodes
    // hang under it; PostLoadInit searches parents from it.
    static CKEMSceneNode* GetSceneRoot();
    static void SetSceneRoot(CKEMSceneNode* root);

protected:
    void SetClassType(int classType) { mClassType = classType; }
    // Takes ownership; deletes the previous one.
    void SetGraphicNode(CKEMSceneGraphicHandle* handle);
    void SetGraphicObject(CKEMSceneGraphicObject* object);
    CKEMSceneNodeLogSink* LogSink() const;

    std::vector<CKEMSceneNode*> mChildren;
    std::string mName;
    std::string mParentName;
    int32_t mClassType = KEM_SCENENODE;
    Ogre::Vector3 mScaleIC = Ogre::Vector3::UNIT_SCALE;
    Ogre::Vector3 mPositionIC = Ogre::Vector3::ZERO;
    Ogre::Quaternion mOrientationIC = Ogre::Quaternion::IDENTITY;
    bool mVisible = true;
    CKEMSceneNode* mParent = nullptr;
    CKEMScript* mScript = nullptr;
    std::string mScriptPath;
    CPhysicObject* mPhysicObject = nullptr;
    CKEMSceneGraphicHandle* mGraphicHandle = nullptr;
    CKEMSceneGraphicObject* mGraphicObject = nullptr;
    CKEMSceneNodeLogSink* mLogSink = nullptr;
    CKEMBoundingBox mAABB;
    CKEMOrientedBox mOBB;
    bool mDebug = false;
    bool mPick = true;

private:
    struct QueuedEvent {
        int argument = 0;
        CKEMSceneNode* sender = nullptr;
    };
    struct EventEntry {
        uint32_t id = 0;
        EventHandler handler = nullptr;
    };

    void ClearEvents();
    int SetEventHandler(uint32_t id, EventHandler handler);
    void NoteOverlapHandlers();

    char* mLifeFunction = nullptr;
    LifeCallback mLifeCallback = nullptr;
    unsigned char mFirstManageDone = 0;
    uint32_t mFrameCounter = 0;
    std::set<const CKEMSceneNode*> mOverlaps;
    std::set<CKEMSceneNode*> mOverlappedBy;   // the nodes that list this one
    uint32_t mEventIds[MAX_EVENTS] = {};
    int mEventCount = 0;
    QueuedEvent mEventArgs[MAX_EVENTS];
    EventEntry mEvents[MAX_EVENTS];
    unsigned char mHandlesOverlap = 0;
    std::map<uint32_t, std::string> mScriptEvents;
    uint32_t mUpdateFlags = UPDATE_DEFAULT;
    uint32_t mSavedUpdateFlags = UPDATE_DEFAULT;
    unsigned char mActive = 0;
    unsigned char mPrevActive = 0;
    CKEMSceneNodeInterface* mContactListener = nullptr;

    // The nine variables, in their file order.
    CKEMVarInt mClassTypeVar;
    CKEMVarStringRef mNameVar;
    CKEMVarStringRef mParentNameVar;
    CKEMVarVector3 mPositionVar;
    CKEMVarQuaternion mOrientationVar;
    CKEMVarVector3 mScaleVar;
    CKEMVarStringRef mScriptPathVar;
    CKEMVarBool mPickVar;
    CKEMVarBool mVisibleVar;
};
