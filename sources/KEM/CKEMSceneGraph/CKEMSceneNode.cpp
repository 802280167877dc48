#include "CKEMSceneNode.h"

#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNameIndex.h>
#include <CScenaricMgr.h>
#include <HalNet.h>
#include <KEMCrc32.h>
#include <KEMException.h>
#include <Platform.h>

#include <OgreMatrix3.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>

namespace {

CKEMSceneNode* gSceneRoot = nullptr;
CKEMSceneNodeLogSink* gDefaultLogSink = nullptr;

// Below this the target of LookAt counts as the node's own position.
const float kLookAtMinDistance = 1e-6f;

// The parent a node's parent name designates: through the scene file's name
// index while one is being linked, else searching from the root. The empty
// name designates none.
CKEMSceneNode* findParentNamed(const std::string& name)
{
    if (name.empty())
        return nullptr;
    if (CKEMSceneNameIndex* index = CKEMSceneNameIndex::Current())
        return index->Find(name);
    return CKEMSceneNameIndex::SearchTree(gSceneRoot, name);
}

bool isInSubtree(const CKEMSceneNode* node, const CKEMSceneNode* top)
{
    // Only the node itself is below a node without children; walking up from
    // the new parent would cost the depth of the tree at every link.
    if (top->GetChildren().empty())
        return node == top;
    for (; node; node = node->getParent())
        if (node == top)
            return true;
    return false;
}

char* copyText(const char* text)
{
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

}  // namespace

// ---- plug-ins and root --------------------------------------------------------

CKEMSceneNodeScriptHooks& CKEMSceneNode::ScriptHooks()
{
    static CKEMSceneNodeScriptHooks hooks;
    return hooks;
}

CKEMSceneNodePhysicHooks& CKEMSceneNode::PhysicHooks()
{
    static CKEMSceneNodePhysicHooks hooks;
    return hooks;
}

CKEMSceneNode* CKEMSceneNode::GetSceneRoot() { return gSceneRoot; }
void CKEMSceneNode::SetSceneRoot(CKEMSceneNode* root) { gSceneRoot = root; }

void CKEMSceneNode::SetDefaultLogSink(CKEMSceneNodeLogSink* sink) { gDefaultLogSink = sink; }

void CKEMSceneNode::SetLogSink(CKEMSceneNodeLogSink* sink)
{
    if (sink == mLogSink)
        return;
    delete mLogSink;
    mLogSink = sink;
}

CKEMSceneNodeLogSink* CKEMSceneNode::LogSink() const { return mLogSink ? mLogSink : gDefaultLogSink; }

// ---- life -----------------------------------------------------------------------

CKEMSceneNode::CKEMSceneNode(CKEMSceneNode* parent)
{
    ClearEvents();
    if (parent)
        parent->attachChild(this);
    else if (gSceneRoot && gSceneRoot != this)
        gSceneRoot->attachChild(this);

    RegisterVar(mClassTypeVar, "CKEMSCENENODE_CLASSTYPE", &mClassType);
    RegisterVar(mNameVar, "CKEMSCENENODE_NAME", &mName);
    RegisterVar(mParentNameVar, "CKEMSCENENODE_PARENTNAME", &mParentName);
    RegisterVar(mPositionVar, "CKEMSCENENODE_POSITION_IC", &mPositionIC);
    RegisterVar(mOrientationVar, "CKEMSCENENODE_ORIENTATION_IC", &mOrientationIC);
    RegisterVar(mScaleVar, "CKEMSCENENODE_SCALE_IC", &mScaleIC);
    RegisterVar(mScriptPathVar, "CKEMSCENENODE_SCRIPT_PATH", &mScriptPath);
    RegisterVar(mPickVar, "CKEMSCENENODE_PICK_MODE", &mPick);
    RegisterVar(mVisibleVar, "CKEMSCENENODE_VISIBLE", &mVisible);
}

void CKEMSceneNode::TermScriptFirst()
{
    // By identity: another node may carry the same name.
    if (gScenaricMgr.IndexOf(this) >= 0) {
        NetTrace("CKEMSceneNode::~CKEMSceneNode()=> *WARNING* object %s is still in CScenaricMgr", mName.c_str());
        gScenaricMgr.Unregister(this);
    }
}

CKEMSceneNode::~CKEMSceneNode()
{
    TermScriptFirst();
    if (CKEMSceneNameIndex* index = CKEMSceneNameIndex::Current())
        index->Forget(this);
    // Neither side of an overlap may keep a deleted node.
    for (CKEMSceneNode* node : mOverlappedBy)
        node->mOverlaps.erase(this);
    mOverlappedBy.clear();
    for (const CKEMSceneNode* node : mOverlaps)
        const_cast<CKEMSceneNode*>(node)->mOverlappedBy.erase(this);
    mOverlaps.clear();
    // A node deleted while still linked must not stay in its parent's children.
    if (mParent)
        mParent->detachChild(this);
    if (gSceneRoot == this)
        gSceneRoot = nullptr;

    std::vector<CKEMSceneNode*> children;
    children.swap(mChildren);
    for (CKEMSceneNode* child : children) {
        child->mParent = nullptr;
        delete child;
    }

    removePhysicObject();
    // The graphic object goes first: it may still reach its entity, which the
    // graphics node deletes with itself.
    delete mGraphicObject;
    mGraphicObject = nullptr;
    if (mGraphicHandle) {
        mGraphicHandle->destroy();
        delete mGraphicHandle;
        mGraphicHandle = nullptr;
    }
    removeScript();
    delete mLogSink;
    mLogSink = nullptr;
    delete[] mLifeFunction;
    mLifeFunction = nullptr;
}

void CKEMSceneNode::SetGraphicNode(CKEMSceneGraphicHandle* handle)
{
    if (handle == mGraphicHandle)
        return;
    if (mGraphicHandle) {
        mGraphicHandle->destroy();
        delete mGraphicHandle;
    }
    mGraphicHandle = handle;
}

void CKEMSceneNode::SetGraphicObject(CKEMSceneGraphicObject* object)
{
    if (object == mGraphicObject)
        return;
    delete mGraphicObject;
    mGraphicObject = object;
}

// ---- virtual operations ------------------------------------------------------------

void CKEMSceneNode::setDebugMode(bool debug)
{
    mDebug = debug;
    if (mPhysicObject && PhysicHooks().showDebug)
        PhysicHooks().showDebug(mPhysicObject, debug);
    if (mClassType != KEM_SCENEOBJECT_SCENE && mClassType != KEM_SCENEOBJECT_OSM && mGraphicObject)
        mGraphicObject->ShowDebug(debug, mOBB);
}

bool CKEMSceneNode::SetPickMode(bool pick)
{
    mPick = pick;
    return mPick;
}

void CKEMSceneNode::setToVisible(bool visible)
{
    mVisible = visible;
    if (mGraphicHandle)
        mGraphicHandle->setVisible(visible);
}

void CKEMSceneNode::translate(const Ogre::Vector3& move, int space)
{
    if (!mGraphicHandle)
        return;
    mGraphicHandle->translate(move, space);
    UpdateBounds(false, false, true);
    SyncPhysics(true);
}

void CKEMSceneNode::setPosition(const Ogre::Vector3& position, bool syncPhysics)
{
    if (!mGraphicHandle)
        return;
    mGraphicHandle->setPosition(position);
    UpdateBounds(false, false, true);
    if (syncPhysics)
        SyncPhysics(true);
}

void CKEMSceneNode::RegisterScriptClass(lua_State* state)
{
    if (ScriptHooks().registerNodeClass)
        ScriptHooks().registerNodeClass(state);
}

void CKEMSceneNode::OnContactContinue(IOdeContactReceiver* other, ContactInfo& info)
{
    if (mContactListener)
        mContactListener->OnContactContinue(this, dynamic_cast<CKEMSceneNode*>(other), info);
}

void CKEMSceneNode::OnContactBegin(IOdeContactReceiver* other, ContactInfo& info)
{
    if (mContactListener)
        mContactListener->OnContact(this, dynamic_cast<CKEMSceneNode*>(other), info);
}

void CKEMSceneNode::OnContactEnd(IOdeContactReceiver* other)
{
    if (mContactListener)
        mContactListener->OnContactEnd(this, dynamic_cast<CKEMSceneNode*>(other));
}

void CKEMSceneNode::UpdateBounds(bool scaleChanged, bool orientationChanged, bool recursive)
{
    if (mClassType != KEM_SCENEOBJECT_SCENE && mClassType != KEM_SCENEOBJECT_OSM && mGraphicObject)
        mGraphicObject->UpdateBounds(mAABB, mOBB, scaleChanged, orientationChanged);
    if (recursive)
        for (CKEMSceneNode* child : mChildren)
            child->UpdateBounds(scaleChanged, orientationChanged, true);
}

void CKEMSceneNode::SyncPhysics(bool recursive)
{
    if (mPhysicObject && PhysicHooks().syncFromNode)
        PhysicHooks().syncFromNode(mPhysicObject);
    if (recursive)
        for (CKEMSceneNode* child : mChildren)
            child->SyncPhysics(true);
}

void CKEMSceneNode::PostLoadInit()
{
    setName(mName);

    if (CKEMSceneNode* parent = findParentNamed(mParentName)) {
        // A file naming the node itself or one of its descendants as parent
        // would close a loop in the tree.
        if (isInSubtree(parent, this))
            PlatLog("CKEMSceneNode::PostLoadInit: node \"%s\" cannot hang under \"%s\"", mName.c_str(),
                    mParentName.c_str());
        else
            SetParent(parent);
    }

    ApplyInitialConditions();
    setToVisible(mVisible);
    SetPickMode(mPick);

    if (!mScriptPath.empty()) {
        const std::string path = mScriptPath;
        removeScript();
        CKEMScript* script = ScriptHooks().create ? ScriptHooks().create(path) : nullptr;
        if (script)
            attachScript(script);
        else
            mScriptPath = path;   // kept, so that the node is saved with it
    }
}

void CKEMSceneNode::Manage()
{
    ++mFrameCounter;

    if (mActive != mPrevActive) {
        if (mActive) {
            mSavedUpdateFlags = mUpdateFlags;
            mUpdateFlags &= ~UPDATE_PERIOD_MASK;
        } else {
            mUpdateFlags = mSavedUpdateFlags;
        }
        mPrevActive = mActive;
    }

    const uint32_t period = mUpdateFlags & UPDATE_PERIOD_MASK;
    if (period == UPDATE_PERIOD_NEVER)
        return;
    if (period > 0 && mFrameCounter % period != 1)
        return;

    const int queued = mEventCount;
    for (int i = 0; i < queued && i < MAX_EVENTS; ++i) {
        const int index = FindEventHandler(mEventIds[i]);
        if (index >= 0 && mEvents[index].handler)
            (this->*mEvents[index].handler)(mEventIds[i], mEventArgs[i].sender, mEventArgs[i].argument);
    }
    mEventCount = 0;

    if (mLifeFunction)
        VMCallLife();
    if (mLifeCallback)
        (this->*mLifeCallback)();
}

void CKEMSceneNode::FirstManage()
{
    if (mGraphicHandle)
        mGraphicHandle->setVisible(true);
    UpdateBounds(true, true, true);
    ++mFrameCounter;
    mFirstManageDone = 1;
}

void CKEMSceneNode::RegisterEvents()
{
    AddScriptEvent(EVENT_WAKEUP, &CKEMSceneNode::WakeUp);
    AddScriptEvent(EVENT_SLEEP, &CKEMSceneNode::Sleep);
}

void CKEMSceneNode::ClearEvents()
{
    mEventCount = 0;
    for (int i = 0; i < MAX_EVENTS; ++i) {
        mEventIds[i] = 0;
        mEventArgs[i] = QueuedEvent();
        mEvents[i] = EventEntry();
    }
    mHandlesOverlap = 0;
}

void CKEMSceneNode::Reset()
{
    mLifeCallback = nullptr;
    mFrameCounter = 0;
    mFirstManageDone = 0;
    ClearEvents();
    mSavedUpdateFlags = mUpdateFlags;
    AddScriptEvent(EVENT_WAKEUP, &CKEMSceneNode::WakeUp);
    AddScriptEvent(EVENT_SLEEP, &CKEMSceneNode::Sleep);
}

void CKEMSceneNode::Term()
{
    if (mScript)
        VMCallTerm();
}

void CKEMSceneNode::PostManage() {}

int CKEMSceneNode::WakeUp(uint32_t, CKEMSceneNode*, int)
{
    mUpdateFlags &= ~UPDATE_SLEEP_BITS;
    gScenaricMgr.SetCompactionNeeded();
    return 0;
}

int CKEMSceneNode::Sleep(uint32_t, CKEMSceneNode*, int)
{
    mUpdateFlags |= UPDATE_SLEEP_BITS;
    gScenaricMgr.SetCompactionNeeded();
    return 0;
}

int CKEMSceneNode::VMSetLife(const char* name)
{
    if (!mScript || !ScriptHooks().hasLuaState || !ScriptHooks().hasLuaState(mScript))
        return -1;
    delete[] mLifeFunction;
    mLifeFunction = (name && *name) ? copyText(name) : nullptr;
    return 0;
}

void CKEMSceneNode::VMCallFirstManageCall()
{
    VMLogMessage("in VMCallFirstManageCall()");
    VMCall("FirstManageCall", KEMVM_STRING, mName.c_str(), KEMVM_END);
}

void CKEMSceneNode::VMCallLife()
{
    VMCall(mLifeFunction, KEMVM_INT, static_cast<int>(mFrameCounter), KEMVM_END);
}

void CKEMSceneNode::VMCallTerm()
{
    VMLogMessage("in VMCallTerm()");
    VMCall("Term", KEMVM_INT, static_cast<int>(mFrameCounter), KEMVM_END);
}

void CKEMSceneNode::VMCallOnWakeUp(const char* senderName, int argument)
{
    VMLogMessage("in VMCallOnWakeUp()");
    VMCall("OnWakeUp", KEMVM_STRING, senderName, KEMVM_INT, argument, KEMVM_END);
}

void CKEMSceneNode::VMCallOnSleep(const char* senderName, int argument)
{
    VMLogMessage("in VMCallOnSleep()");
    VMCall("OnSleep", KEMVM_STRING, senderName, KEMVM_INT, argument, KEMVM_END);
}

int CKEMSceneNode::VMCall(const char* function, ...)
{
    if (!mScript || !function)
        return 0;

    std::vector<CKEMVMArg> args;
    bool wellFormed = true;
    bool resultRequested = false;
    va_list list;
    va_start(list, function);
    for (;;) {
        CKEMVMArg arg;
        arg.type = va_arg(list, int);
        if (arg.type == KEMVM_END)
            break;
        if (arg.type == KEMVM_INT) {
            arg.intValue = va_arg(list, int);
        } else if (arg.type == KEMVM_DOUBLE) {
            arg.doubleValue = va_arg(list, double);
        } else if (arg.type == KEMVM_STRING) {
            arg.text = va_arg(list, const char*);
        } else if (arg.type >= KEMVM_RESULT_INT && arg.type <= KEMVM_RESULT_NONE) {
            if (resultRequested) {
                wellFormed = false;
                break;
            }
            resultRequested = true;
            arg.result = va_arg(list, void*);
        } else {
            // Unknown code: the size of what follows is unknown, stop reading.
            wellFormed = false;
            break;
        }
        args.push_back(arg);
    }
    va_end(list);

    if (!ScriptHooks().call)
        return 0;
    return ScriptHooks().call(this, mScript, function, args.data(), static_cast<int>(args.size()), wellFormed);
}

int CKEMSceneNode::OnEvent(uint32_t, CKEMSceneNode*) { return 0; }

// ---- names and links -------------------------------------------------------------

void CKEMSceneNode::setName(const std::string& name)
{
    if (mGraphicHandle)
        mGraphicHandle->rename(name);
    mName = name;
    if (CKEMSceneNameIndex* index = CKEMSceneNameIndex::Current())
        index->Add(this);
    if (mPhysicObject && PhysicHooks().updateNodeName)
        PhysicHooks().updateNodeName(mPhysicObject, mName);
}

void CKEMSceneNode::SetNames(const std::string& name, const std::string& parentName)
{
    mName = name;
    mParentName = parentName;
}

void CKEMSceneNode::attachChild(CKEMSceneNode* node)
{
    if (!node || node->mParent == this)
        return;
    if (isInSubtree(this, node)) {
        PlatLog("CKEMSceneNode::attachChild: \"%s\" cannot hang under itself or its own subtree (\"%s\")",
                node->mName.c_str(), mName.c_str());
        return;
    }
    // A node has one parent: two would delete it twice.
    if (node->mParent)
        node->mParent->detachChild(node);
    mChildren.push_back(node);
    node->mParent = this;
    node->mParentName = mName;
}

void CKEMSceneNode::ScriptAttachChild(CKEMSceneNode* node)
{
    if (!node || node->mParent == this)
        return;
    if (isInSubtree(this, node)) {
        attachChild(node);   // refuses and logs
        return;
    }
    if (node->mParent)
        node->SetParent(this);
    else
        attachChild(node);
}

void CKEMSceneNode::ScriptDetachChild(CKEMSceneNode* node)
{
    if (!node || node->mParent != this)
        return;
    CKEMSceneNode* root = gSceneRoot;
    if (!root || root == this || isInSubtree(root, node))
        return;   // already under the root, or no root to own it: it stays
    node->SetParent(root);
}

void CKEMSceneNode::detachChild(CKEMSceneNode* node)
{
    auto it = std::find(mChildren.begin(), mChildren.end(), node);
    if (it == mChildren.end())
        return;
    mChildren.erase(it);
    node->mParent = nullptr;
}

void CKEMSceneNode::SetParent(CKEMSceneNode* parent)
{
    if (!mParent || !parent || parent == mParent)
        return;
    if (isInSubtree(parent, this)) {
        PlatLog("CKEMSceneNode::SetParent: \"%s\" cannot hang under its own subtree (\"%s\")", mName.c_str(),
                parent->getName().c_str());
        return;
    }

    Ogre::Vector3 oldPosition;
    Ogre::Quaternion oldOrientation;
    GetPosition(oldPosition, CKEMSceneGraphicHandle::SPACE_WORLD);
    GetOrientation(oldOrientation, CKEMSceneGraphicHandle::SPACE_WORLD);

    CKEMSceneNode* oldParent = mParent;
    if (oldParent->mGraphicHandle && mGraphicHandle) {
        try {
            oldParent->mGraphicHandle->removeChild(mGraphicHandle);
        } catch (const CKEMException& e) {
            // Not under the old parent's graphics node: moving it below is enough.
            PlatLog("CKEMSceneNode::SetParent(%s): %s", mName.c_str(), e.GetReason().c_str());
        }
    }
    oldParent->detachChild(this);
    parent->attachChild(this);

    if (!mGraphicHandle)
        return;
    // Under a parent without graphics node (the root, a plain node) the
    // graphics node hangs under the 3D engine's root, so that it stays shown.
    if (parent->mGraphicHandle)
        parent->mGraphicHandle->reparent(mGraphicHandle);
    else
        mGraphicHandle->attachToRoot();

    Ogre::Vector3 position;
    Ogre::Quaternion orientation;
    GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    GetOrientation(orientation, CKEMSceneGraphicHandle::SPACE_WORLD);
    translate(oldPosition - position, CKEMSceneGraphicHandle::SPACE_WORLD);

    Ogre::Matrix3 oldRotation;
    Ogre::Matrix3 newRotation;
    Ogre::Matrix3 inverse;
    oldOrientation.ToRotationMatrix(oldRotation);
    orientation.ToRotationMatrix(newRotation);
    newRotation.Inverse(inverse, 1e-6f);
    rotate(Ogre::Quaternion(inverse * oldRotation), CKEMSceneGraphicHandle::SPACE_LOCAL);
}

// ---- transforms -------------------------------------------------------------------

void CKEMSceneNode::GetPosition(Ogre::Vector3& out, int space) const
{
    out = mGraphicHandle ? mGraphicHandle->getPosition(space) : Ogre::Vector3::ZERO;
}

void CKEMSceneNode::GetOrientation(Ogre::Quaternion& out, int space) const
{
    out = mGraphicHandle ? mGraphicHandle->getOrientation(space) : Ogre::Quaternion::IDENTITY;
}

void CKEMSceneNode::rotate(const Ogre::Quaternion& rotation, int space)
{
    if (!mGraphicHandle)
        return;
    mGraphicHandle->rotate(rotation, space);
    UpdateBounds(false, true, true);
    SyncPhysics(true);
}

void CKEMSceneNode::SetOrientation(const Ogre::Quaternion& orientation, bool syncPhysics)
{
    if (!mGraphicHandle)
        return;
    mGraphicHandle->setOrientation(orientation);
    UpdateBounds(false, true, true);
    if (syncPhysics)
        SyncPhysics(true);
}

void CKEMSceneNode::GetScale(Ogre::Vector3& out) const
{
    out = mGraphicHandle ? mGraphicHandle->getScale() : Ogre::Vector3::UNIT_SCALE;
}

void CKEMSceneNode::GetWorldMatrix(Ogre::Matrix4& out) const
{
    if (!mGraphicHandle) {
        out = Ogre::Matrix4::IDENTITY;
        return;
    }
    float m[16];
    mGraphicHandle->getFullTransform(m);
    out = Ogre::Matrix4(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12], m[13],
                        m[14], m[15]);
}

void CKEMSceneNode::SetScale(const Ogre::Vector3& scale)
{
    if (!mGraphicHandle)
        return;
    const Ogre::Vector3 oldScale = mGraphicHandle->getScale();
    mGraphicHandle->setScale(scale);
    UpdateBounds(true, false, false);
    SyncPhysics(false);
    for (CKEMSceneNode* child : mChildren) {
        Ogre::Vector3 childScale;
        child->GetScale(childScale);
        for (int i = 0; i < 3; ++i)
            if (oldScale[i] != 0.0f)   // a zero scale has no ratio: leave that component
                childScale[i] = childScale[i] * scale[i] / oldScale[i];
        child->SetScale(childScale);
    }
}

namespace {
// Far beyond any venue; positions past it overflow OGRE's bounds and ODE's
// collision space once squared.
const float kMaxNodeCoordinate = 1.0e6f;
// A node's children and bodies are placed relative to it by dividing by its
// scale: none of its components may be (nearly) zero.
const float kMinNodeScale = 1.0e-4f;
const float kMaxNodeScale = 1.0e4f;

bool Finite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool UsablePosition(const Ogre::Vector3& v)
{
    return Finite(v) && std::fabs(v.x) <= kMaxNodeCoordinate && std::fabs(v.y) <= kMaxNodeCoordinate &&
           std::fabs(v.z) <= kMaxNodeCoordinate;
}

bool UsableScale(const Ogre::Vector3& v)
{
    for (int i = 0; i < 3; ++i) {
        const float size = std::fabs(v[i]);
        if (!(size >= kMinNodeScale && size <= kMaxNodeScale))
            return false;
    }
    return true;
}
}

void CKEMSceneNode::ApplyInitialConditions()
{
    // Scene files may carry broken values; OGRE asserts on them and ODE
    // aborts on a rotation it cannot normalise.
    if (!UsablePosition(mPositionIC)) {
        PlatLog("[scene] node \"%s\": position refused, the origin used", mName.c_str());
        mPositionIC = Ogre::Vector3::ZERO;
    }
    const Ogre::Real norm = mOrientationIC.Norm();
    if (!std::isfinite(norm) || norm < 1e-6f) {
        PlatLog("[scene] node \"%s\": orientation refused, no rotation used", mName.c_str());
        mOrientationIC = Ogre::Quaternion::IDENTITY;
    }
    if (!UsableScale(mScaleIC)) {
        PlatLog("[scene] node \"%s\": scale refused, a scale of 1 used", mName.c_str());
        mScaleIC = Ogre::Vector3::UNIT_SCALE;
    }
    SetScale(mScaleIC);
    setPosition(mPositionIC, true);
    SetOrientation(mOrientationIC, true);
    for (CKEMSceneNode* child : mChildren)
        child->ApplyInitialConditions();
}

void CKEMSceneNode::SetInitialConditions(const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                                         const Ogre::Vector3& scale)
{
    mPositionIC = position;
    mOrientationIC = orientation;
    mScaleIC = scale;
}

void CKEMSceneNode::LookAt(const Ogre::Vector3& target)
{
    Ogre::Vector3 position;
    GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    const float distance = (target - position).length();
    // The target at the node gives no direction (and acos(0/0) no pitch).
    if (!(distance > kLookAtMinDistance))
        return;

    const float sign = target.y > position.y ? 1.0f : -1.0f;
    const Ogre::Vector3 level(position.x, target.y, position.z);
    const float horizontal = (target - level).length();
    const float cosine = std::max(-1.0f, std::min(1.0f, horizontal / distance));
    const float pitch = sign * std::acos(cosine);

    SetOrientation(Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(target - level), true);
    rotate(Ogre::Quaternion(Ogre::Radian(pitch), Ogre::Vector3::UNIT_X), CKEMSceneGraphicHandle::SPACE_LOCAL);
}

Ogre::Vector3 CKEMSceneNode::GetDirection() const
{
    Ogre::Matrix4 world;
    GetWorldMatrix(world);
    return Ogre::Vector3(-world[0][2], -world[1][2], -world[2][2]);
}

// ---- script ---------------------------------------------------------------------------

int CKEMSceneNode::attachScript(CKEMScript* script)
{
    if (!script)
        return -1;
    if (mScript && mScript != script && ScriptHooks().destroy)
        ScriptHooks().destroy(mScript);
    mScript = script;
    if (ScriptHooks().getPath)
        mScriptPath = ScriptHooks().getPath(script);
    if (ScriptHooks().setOwner)
        ScriptHooks().setOwner(script, this);
    return gScenaricMgr.Register(this);
}

void CKEMSceneNode::removeScript()
{
    if (!mScript)
        return;
    gScenaricMgr.Unregister(this);   // runs Term while the script still exists
    if (ScriptHooks().destroy)
        ScriptHooks().destroy(mScript);
    mScript = nullptr;
    mScriptPath.clear();
}

void CKEMSceneNode::ReloadScript()
{
    const std::string path = mScriptPath;
    removeScript();
    if (path.empty())
        return;
    CKEMScript* script = ScriptHooks().create ? ScriptHooks().create(path) : nullptr;
    if (script)
        attachScript(script);
    else
        mScriptPath = path;
}

// ---- physics --------------------------------------------------------------------------

void CKEMSceneNode::attachPhysicObject(CPhysicObject* object)
{
    if (object == mPhysicObject)
        return;
    const CKEMSceneNodePhysicHooks& hooks = PhysicHooks();
    if (object && hooks.getNode && hooks.getNode(object) && hooks.getNode(object) != this)
        KEM_THROW_SRC("a physic object may not be link to 2 scenaric!", "CKEMSceneNode");
    removePhysicObject();
    mPhysicObject = object;
    if (!object)
        return;
    if (hooks.attachToNode)
        hooks.attachToNode(object, this);
    if (hooks.registerObject)
        hooks.registerObject(object);
}

void CKEMSceneNode::removePhysicObject()
{
    if (!mPhysicObject)
        return;
    const CKEMSceneNodePhysicHooks& hooks = PhysicHooks();
    if (hooks.getNode && hooks.getNode(mPhysicObject) != this)
        return;
    if (hooks.unregisterObject)
        hooks.unregisterObject(mPhysicObject);
    if (hooks.destroy)
        hooks.destroy(mPhysicObject);
    mPhysicObject = nullptr;
}

void CKEMSceneNode::detachPhysicObject()
{
    if (!mPhysicObject)
        return;
    const CKEMSceneNodePhysicHooks& hooks = PhysicHooks();
    if (hooks.getNode && hooks.getNode(mPhysicObject) != this)
        return;
    if (hooks.unregisterObject)
        hooks.unregisterObject(mPhysicObject);
    mPhysicObject = nullptr;
}

// ---- events -----------------------------------------------------------------------------

void CKEMSceneNode::NoteOverlapHandlers()
{
    mHandlesOverlap = (FindEventHandler(EVENT_OVERLAP_BEGIN) >= 0 || FindEventHandler(EVENT_OVERLAP_END) >= 0) ? 1 : 0;
}

int CKEMSceneNode::FindEventHandler(uint32_t id) const
{
    if (id == 0)
        return -1;
    for (int i = 0; i < MAX_EVENTS; ++i)
        if (mEvents[i].id == id)
            return i;
    return -1;
}

int CKEMSceneNode::AddScriptEvent(uint32_t id, EventHandler handler)
{
    const int result = SetEventHandler(id, handler);
    if (id == EVENT_OVERLAP_BEGIN || id == EVENT_OVERLAP_END)
        NoteOverlapHandlers();
    return result;
}

int CKEMSceneNode::SetEventHandler(uint32_t id, EventHandler handler)
{
    const int index = FindEventHandler(id);
    if (!handler) {
        if (index < 0)
            return -1;
        mEvents[index] = EventEntry();
        return 0;
    }
    if (index >= 0) {
        mEvents[index].handler = handler;
        return 0;
    }
    if (id == 0)
        return -1;
    for (int i = 0; i < MAX_EVENTS; ++i) {
        if (mEvents[i].id == 0) {
            mEvents[i].id = id;
            mEvents[i].handler = handler;
            return 0;
        }
    }
    return -1;
}

int CKEMSceneNode::SendEvent(uint32_t id, CKEMSceneNode* sender, int argument)
{
    if (mScript) {
        const char* senderName = sender ? sender->getName().c_str() : "";
        if (id == EVENT_WAKEUP)
            VMCallOnWakeUp(senderName, argument);
        else if (id == EVENT_SLEEP)
            VMCallOnSleep(senderName, argument);
    }
    const int index = FindEventHandler(id);
    if (index < 0 || !mEvents[index].handler)
        return -1;
    return (this->*mEvents[index].handler)(id, sender, argument);
}

int CKEMSceneNode::QueueEvent(uint32_t id, CKEMSceneNode* sender, int argument)
{
    if (mEventCount >= MAX_EVENTS)
        return -1;
    mEventIds[mEventCount] = id;
    mEventArgs[mEventCount].argument = argument;
    mEventArgs[mEventCount].sender = sender;
    ++mEventCount;
    return 0;
}

int CKEMSceneNode::VMOnEvent(const char* eventName, const char* functionName)
{
    mScriptEvents.emplace(KEMCrc32String(eventName), functionName ? functionName : "");
    return 1;
}

int CKEMSceneNode::OnScriptEvent(uint32_t id, int argument)
{
    auto it = mScriptEvents.find(id);
    if (it == mScriptEvents.end())
        return -1;
    return VMCall(it->second.c_str(), KEMVM_INT, argument, KEMVM_END);
}

int CKEMSceneNode::VMLogMessage(const char* text)
{
    if (CKEMSceneNodeLogSink* sink = LogSink())
        sink->Message(text);
    return 0;
}

int CKEMSceneNode::VMLogWarning(const char* text)
{
    if (CKEMSceneNodeLogSink* sink = LogSink())
        sink->Warning(text);
    return 0;
}

int CKEMSceneNode::VMLogError(const char* text)
{
    if (CKEMSceneNodeLogSink* sink = LogSink())
        sink->Error(text);
    return 0;
}

// ---- overlaps ----------------------------------------------------------------------------

void CKEMSceneNode::AddOverlap(const CKEMSceneNode* node)
{
    if (!node || node == this)
        return;
    mOverlaps.insert(node);
    const_cast<CKEMSceneNode*>(node)->mOverlappedBy.insert(this);
}

bool CKEMSceneNode::IsOverlapping(const std::string& name) const
{
    for (const CKEMSceneNode* node : mOverlaps)
        if (node->getName() == name)
            return true;
    return false;
}

void CKEMSceneNode::RemoveOverlap(const std::string& name)
{
    std::vector<const CKEMSceneNode*> named;
    for (const CKEMSceneNode* node : mOverlaps)
        if (node->getName() == name)
            named.push_back(node);
    for (const CKEMSceneNode* node : named)
        RemoveOverlap(node);
}

void CKEMSceneNode::RemoveOverlap(const CKEMSceneNode* node)
{
    if (mOverlaps.erase(node) != 0)
        const_cast<CKEMSceneNode*>(node)->mOverlappedBy.erase(this);
}
