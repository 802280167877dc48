#include "CPhysicMgr.h"

#include "CollisionMeshPhysics.h"
#include "CPhysicJoint.h"
#include "CPhysicMaterial.h"
#include "CPhysicObject.h"
#include "PhysicLimits.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CKEMFrameWork.h>
#include <CMarkup.h>
#include <COdeWorld.h>
#include <CPhysicsSystemODE.h>
#include <CSceneMgr.h>
#include <HalTimer.h>
#include <KEMSceneLog.h>
#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

CPhysicMgr gPhysicMgr;

namespace {
// Values a material record of the scene file starts from before its
// variables are read (also the world's "default" record).
const float kDefaultFriction1 = 10.0f;
const float kDefaultFriction2 = 10.0f;
const float kDefaultVelThreshold = 0.01f;
const float kDefaultSlip1 = 0.001f;
const float kDefaultSlip2 = 0.001f;
const float kDefaultBounce = 0.1f;
const float kDefaultBounceVel = 10.0f;
const float kDefaultSoftCfm = 0.001f;
const float kDefaultSoftErp = 0.5f;

// A markup positioned inside the document's ROOT element; false without one.
bool EnterRoot(CMarkup& markup, const char* text)
{
    markup.SetDoc(text);
    if (!markup.FindElem("ROOT"))
        return false;
    markup.IntoElem();
    return true;
}

template <class T>
bool Contains(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// ---- services installed into the run state, the nodes and the loader --------
void StepService() { gPhysicMgr.Step(); }

CKEMSceneNode* GetNodeHook(CPhysicObject* object) { return object ? object->GetNode() : nullptr; }
void AttachToNodeHook(CPhysicObject* object, CKEMSceneNode* node)
{
    if (object)
        object->AttachToNode(node);
}
void RegisterObjectHook(CPhysicObject* object) { gPhysicMgr.RegisterObject(object); }
void UnregisterObjectHook(CPhysicObject* object) { gPhysicMgr.RemoveObject(object); }
void DestroyHook(CPhysicObject* object) { delete object; }
void SyncFromNodeHook(CPhysicObject* object)
{
    if (object)
        object->SyncFromNode();
}
void UpdateNodeNameHook(CPhysicObject* object, const std::string& name)
{
    if (object)
        object->SetNodeName(name);
}
void ShowDebugHook(CPhysicObject* object, bool show)
{
    if (object)
        object->ShowDebug(show);
}

void ClearHook() { gPhysicMgr.Clear(); }
void SetDebugHook(bool debug) { gPhysicMgr.SetJointDebugFlag(debug); }
void CreateWorldHook() { gPhysicMgr.CreateWorld(); }
bool LoadSettingsAndMaterialsHook(const char* text) { return gPhysicMgr.LoadSettingsAndMaterials(text); }
bool LoadObjectsAndJointsHook(const char* text) { return gPhysicMgr.LoadObjectsAndJoints(text, nullptr); }

// The framework's physics system and world (it owns both).
CPhysicsSystemODE* CreatePhysicsSystemHook() { return new CPhysicsSystemODE(); }
COdeWorld* CreatePhysicsWorldHook(CPhysicsSystemODE* system) { return system ? system->CreateWorld() : nullptr; }
void DeletePhysicsWorldHook(COdeWorld* world) { delete world; }
void DestroyPhysicsSystemHook(CPhysicsSystemODE* system)
{
    if (!system)
        return;
    system->Shutdown();
    delete system;
}

// The library hooks itself in when it is linked into a program.
const bool gPhysicsInstalled = (CPhysicMgr::Install(), true);
}

void CPhysicMgr::Install()
{
    CSceneMgr::Services().physicsStep = &StepService;

    CKEMFrameWorkHooks& framework = CKEMFrameWork::Hooks();
    framework.createPhysicsSystem = &CreatePhysicsSystemHook;
    framework.createPhysicsWorld = &CreatePhysicsWorldHook;
    framework.deletePhysicsWorld = &DeletePhysicsWorldHook;
    framework.destroyPhysicsSystem = &DestroyPhysicsSystemHook;

    CKEMSceneNodePhysicHooks& node = CKEMSceneNode::PhysicHooks();
    node.getNode = &GetNodeHook;
    node.attachToNode = &AttachToNodeHook;
    node.registerObject = &RegisterObjectHook;
    node.unregisterObject = &UnregisterObjectHook;
    node.destroy = &DestroyHook;
    node.syncFromNode = &SyncFromNodeHook;
    node.updateNodeName = &UpdateNodeNameHook;
    node.showDebug = &ShowDebugHook;

    CKEMScenePhysicsHooks& scene = CKEMSceneGraph::PhysicsHooks();
    scene.clear = &ClearHook;
    scene.createWorld = &CreateWorldHook;
    scene.loadSettingsAndMaterials = &LoadSettingsAndMaterialsHook;
    scene.loadObjectsAndJoints = &LoadObjectsAndJointsHook;
    scene.setDebug = &SetDebugHook;

    InstallCollisionMeshPhysics();
}

CPhysicMgr::CPhysicMgr()
{
    RegisterVar(mGravityVar, "CPHYSICMGR_GRAVITY", &mGravity);
    RegisterVar(mNbIterVar, "CPHYSICMGR_NB_ITER", &mNbIter);
    RegisterVar(mStepSizeVar, "CPHYSICMGR_STEP_SIZE", &mStepSize);
    RegisterVar(mCFMVar, "CPHYSICMGR_CFM", &mCFM);
    RegisterVar(mERPVar, "CPHYSICMGR_ERP", &mERP);
    (void)gPhysicsInstalled;
}

CPhysicMgr::~CPhysicMgr()
{
    Clear();
    mObjects.clear();
}

// ---- world and settings --------------------------------------------------------
void CPhysicMgr::CreateWorld()
{
    COdeWorld* world = gKEMFrameWork.GetPhysicsWorld();
    if (!world)
        PlatLog("[physics] CreateWorld: the framework has no physics world");
    CreateWorld(world);
}

void CPhysicMgr::CreateWorld(COdeWorld* world)
{
    mWorld = world;
    mStepCount = 0;
    mJointDebug = false;
    mGravity = Ogre::Vector3(0.0f, -9.81f, 0.0f);
    mStepSize = 0.1f;
    mCFM = 1e-5f;
    mNbIter = 20;
    mERP = 0.2f;
    if (!LiveWorld())
        return;
    mWorld->SetGravity(mGravity);
    std::vector<std::string> steppers;
    mWorld->GetStepperNames(steppers);
    if (!steppers.empty())
        mWorld->SetStepper(steppers.front());
    SetStepSize(mStepSize);
    SetNbIter(mNbIter);
    SetCFM(mCFM);
    SetERP(mERP);
}

void CPhysicMgr::SetGravity(const Ogre::Vector3& gravity)
{
    mGravity = gravity;
    if (COdeWorld* world = LiveWorld())
        world->SetGravity(gravity);
}

void CPhysicMgr::SetNbIter(uint16_t iterations)
{
    mNbIter = iterations;
    if (COdeWorld* world = LiveWorld())
        world->SetQuickStepIterations(iterations);
}

void CPhysicMgr::SetStepSize(float seconds)
{
    if (COdeWorld* world = LiveWorld()) {
        // The world logs and keeps its step when it refuses one.
        if (!world->SetStepSize(seconds)) {
            mStepSize = world->GetStepSize();
            return;
        }
    } else if (!std::isfinite(seconds) || !(seconds >= COdeWorld::MIN_STEP)) {
        PlatLog("[physics] step size %g s refused; keeping %g s", static_cast<double>(seconds),
                static_cast<double>(mStepSize));
        return;
    }
    mStepSize = seconds;
}

void CPhysicMgr::SetCFM(float cfm)
{
    mCFM = cfm;
    if (COdeWorld* world = LiveWorld())
        world->SetCFM(cfm);
}

void CPhysicMgr::SetERP(float erp)
{
    mERP = erp;
    if (COdeWorld* world = LiveWorld())
        world->SetERP(erp);
}

void CPhysicMgr::ApplySettings()
{
    // Each setter may change the stored value (a refused step), so copy first.
    const Ogre::Vector3 gravity = mGravity;
    const uint16_t iterations = mNbIter;
    const float step = mStepSize;
    const float cfm = mCFM;
    const float erp = mERP;
    SetGravity(gravity);
    SetNbIter(iterations);
    SetStepSize(step);
    SetCFM(cfm);
    SetERP(erp);
}

COdeWorld* CPhysicMgr::LiveWorld() const { return COdeWorld::IsLive(mWorld) ? mWorld : nullptr; }

// ---- per frame ------------------------------------------------------------------
void CPhysicMgr::Step()
{
    if (mStepCount == 0)
        SyncAllFromNodes();

    float remaining = gTimer.GetDeltaSeconds();
    COdeWorld* world = LiveWorld();
    // A negative or broken frame time adds no world time.
    if (world && std::isfinite(remaining) && remaining >= 0.0f) {
        for (;;) {
            const float step = world->GetStepSize();
            if (step > remaining) {
                world->Step(remaining);
                break;
            }
            world->Step(step);
            remaining -= step;
        }
    }

    for (size_t i = 0; i < mObjects.size(); ++i)
        mObjects[i]->SyncToNode();
    if (mJointDebug) {
        for (size_t i = 0; i < mJoints.size(); ++i)
            mJoints[i]->UpdateDebug();
    }
    ++mStepCount;
}

void CPhysicMgr::Clear()
{
    std::vector<CPhysicJoint*> joints;
    joints.swap(mJoints);
    for (CPhysicJoint* joint : joints) {
        // The objects outlive their joints: they must not keep them listed.
        if (joint->GetObject1())
            joint->GetObject1()->RemoveJoint(joint);
        if (joint->GetObject2())
            joint->GetObject2()->RemoveJoint(joint);
        delete joint;
    }
    std::vector<CPhysicMaterial*> materials;
    materials.swap(mMaterials);
    for (CPhysicMaterial* material : materials) {
        for (CPhysicObject* object : mObjects)
            object->ForgetMaterial(material);
        delete material;
    }
}

void CPhysicMgr::SetJointDebugFlag(bool debug)
{
    mJointDebug = debug;
    for (CPhysicJoint* joint : mJoints) {
        if (debug)
            joint->ShowDebug();
        else
            joint->HideDebug();
    }
}

// ---- objects --------------------------------------------------------------------
void CPhysicMgr::RegisterObject(CPhysicObject* object)
{
    if (!object || HasObject(object))
        return;
    object->SetActive(true);
    mObjects.push_back(object);
}

void CPhysicMgr::RemoveObject(CPhysicObject* object)
{
    auto it = std::find(mObjects.begin(), mObjects.end(), object);
    if (it == mObjects.end())
        return;
    object->SetActive(false);
    mObjects.erase(it);
}

bool CPhysicMgr::HasObject(const CPhysicObject* object) const { return Contains(mObjects, object); }

void CPhysicMgr::SyncAllFromNodes()
{
    for (size_t i = 0; i < mObjects.size(); ++i)
        mObjects[i]->SyncFromNode();
}

// ---- materials ------------------------------------------------------------------
CPhysicMaterial* CPhysicMgr::FindMaterial(const std::string& id) const
{
    for (CPhysicMaterial* material : mMaterials) {
        if (material->GetMaterialId() == id)
            return material;
    }
    return nullptr;
}

bool CPhysicMgr::HasMaterial(const CPhysicMaterial* material) const { return material && Contains(mMaterials, material); }

bool CPhysicMgr::AddMaterial(CPhysicMaterial* material)
{
    if (!material)
        return false;
    if (HasMaterial(material))
        return true;
    if (FindMaterial(material->GetMaterialId())) {
        PlatLog("[physics] material \"%s\" is already listed; the second one is dropped",
                material->GetMaterialId().c_str());
        delete material;
        return false;
    }
    mMaterials.push_back(material);
    return true;
}

bool CPhysicMgr::RemoveMaterial(CPhysicMaterial* material)
{
    if (!material || material->GetRefCount() != 0)
        return false;
    auto it = std::find(mMaterials.begin(), mMaterials.end(), material);
    if (it == mMaterials.end())
        return false;
    mMaterials.erase(it);
    delete material;
    return true;
}

// ---- joints ---------------------------------------------------------------------
bool CPhysicMgr::AddJoint(CPhysicJoint* joint)
{
    if (!joint)
        return false;
    if (HasJoint(joint))
        return true;
    if (joint->GetType() == JOINT_HINGE2) {
        CPhysicObject* object1 = joint->GetObject1();
        CPhysicObject* object2 = joint->GetObject2();
        const bool movable = object1 && object2 && object1->GetActorType() != CPhysicObject::STATIC_ACTOR &&
                             object2->GetActorType() != CPhysicObject::STATIC_ACTOR;
        if (!movable) {
            PlatLog("[physics] a hinge-2 joint needs two movable objects; dropped");
            if (object1)
                object1->RemoveJoint(joint);
            if (object2)
                object2->RemoveJoint(joint);
            delete joint;
            return false;
        }
    }
    mJoints.push_back(joint);
    return true;
}

void CPhysicMgr::RemoveJoint(CPhysicJoint* joint, CPhysicObject* keep)
{
    auto it = std::find(mJoints.begin(), mJoints.end(), joint);
    if (!joint || it == mJoints.end())
        return;
    if (joint->GetObject1() && joint->GetObject1() != keep)
        joint->GetObject1()->RemoveJoint(joint);
    if (joint->GetObject2() && joint->GetObject2() != keep)
        joint->GetObject2()->RemoveJoint(joint);
    mJoints.erase(std::find(mJoints.begin(), mJoints.end(), joint));
    delete joint;
}

bool CPhysicMgr::HasJoint(const CPhysicJoint* joint) const { return joint && Contains(mJoints, joint); }

CPhysicJoint* CPhysicMgr::CreateJointByType(int type, CPhysicObject* object1, CPhysicObject* object2)
{
    const Ogre::Vector3 zero = Ogre::Vector3::ZERO;
    switch (type) {
    case JOINT_FIXED:
        return new CPhysicJoint_Fixed(object1, object2);
    case JOINT_BALL:
        return new CPhysicJoint_Ball(object1, object2, zero);
    case JOINT_HINGE:
        return new CPhysicJoint_Hinge(object1, object2, zero, zero);
    case JOINT_HINGE2:
        return new CPhysicJoint_Hinge2(object1, object2, zero, zero, zero);
    case JOINT_SLIDER:
        return new CPhysicJoint_Slider(object1, object2, zero);
    case JOINT_UNIVERSAL:
        return new CPhysicJoint_Universal(object1, object2, zero, zero, zero);
    default:
        return nullptr;
    }
}

// ---- scene file readers -----------------------------------------------------------
bool CPhysicMgr::LoadSettingsAndMaterials(const char* text)
{
    if (!LoadVarList(text))
        return false;
    return LoadMaterials(text);
}

bool CPhysicMgr::LoadObjectsAndJoints(const char* text, const char* prefix)
{
    if (!LoadObjects(text, prefix))
        return false;
    return LoadJoints(text);
}

bool CPhysicMgr::LoadVarList(const char* text)
{
    CMarkup markup;
    if (!EnterRoot(markup, text)) {
        PlatLog("[physics] scene text has no ROOT element");
        return false;
    }
    if (!LoadFromXml(markup, "KEM_PHYSIC_MGR_VARLIST")) {
        PlatLog("[physics] scene text: no readable KEM_PHYSIC_MGR_VARLIST");
        return false;
    }
    RefuseUnusableSettings();
    ApplySettings();
    return true;
}

void CPhysicMgr::RefuseUnusableSettings()
{
    using namespace physiclimits;
    const char* const record = "KEM_PHYSIC_MGR_VARLIST";
    // The world's defaults stand in for what the file got wrong.
    if (!Within(mGravity, kMaxGravity)) {
        KEMSceneLog::Record(record, "CPHYSICMGR_GRAVITY", "gravity %g %g %g refused; %g %g %g used",
                            static_cast<double>(mGravity.x), static_cast<double>(mGravity.y),
                            static_cast<double>(mGravity.z), 0.0, -9.81, 0.0);
        mGravity = Ogre::Vector3(0.0f, -9.81f, 0.0f);
    }
    if (mNbIter == 0 || mNbIter > kMaxIterations) {
        KEMSceneLog::Record(record, "CPHYSICMGR_NB_ITER", "%u solver iterations refused; 20 used",
                            static_cast<unsigned>(mNbIter));
        mNbIter = 20;
    }
    // Without any softness a loop of joints makes ODE's system singular: a
    // body's rotation goes NaN and ODE aborts the process.
    if (!Within(mCFM, kMinCFM, 1.0f)) {
        KEMSceneLog::Record(record, "CPHYSICMGR_CFM", "CFM %g refused; 1e-05 used", static_cast<double>(mCFM));
        mCFM = 1e-5f;
    }
    if (!Within(mERP, 0.0f, 1.0f)) {
        KEMSceneLog::Record(record, "CPHYSICMGR_ERP", "ERP %g refused; 0.2 used", static_cast<double>(mERP));
        mERP = 0.2f;
    }
    // A huge step never fills (the world waits for a whole step and the balls
    // stand still); a coarse one sends a thrown ball through the ground.
    if (!Within(mStepSize, COdeWorld::MIN_STEP, kMaxStep)) {
        KEMSceneLog::Record(record, "CPHYSICMGR_STEP_SIZE", "step %g s refused; %g s used",
                            static_cast<double>(mStepSize), static_cast<double>(kFallbackStep));
        mStepSize = kFallbackStep;
    }
}

bool CPhysicMgr::LoadMaterials(const char* text)
{
    CMarkup markup;
    if (!EnterRoot(markup, text)) {
        PlatLog("[physics] scene text has no ROOT element");
        return false;
    }
    // Pass 1: one material per record.
    std::vector<CPhysicMaterial*> created;
    while (markup.FindElem("KEM_PHYSIC_MATERIAL_VARLIST")) {
        markup.IntoElem();
        created.push_back(new CPhysicMaterial("", kDefaultFriction1, kDefaultFriction2, kDefaultVelThreshold,
                                              kDefaultSlip1, kDefaultSlip2, kDefaultBounce, kDefaultBounceVel,
                                              kDefaultSoftCfm, kDefaultSoftErp));
        markup.OutOfElem();
    }

    // Pass 2: read and list them. What happened to each decides who frees
    // it if the load fails: a listed material is taken back from the list, a
    // duplicate was already deleted by AddMaterial, an unread one is ours.
    enum State { UNREAD, LISTED, DROPPED };
    std::vector<State> states(created.size(), UNREAD);
    CMarkup reader;
    EnterRoot(reader, text);
    bool ok = true;
    for (size_t i = 0; i < created.size(); ++i) {
        if (!created[i]->LoadFromXml(reader, "KEM_PHYSIC_MATERIAL_VARLIST")) {
            const std::string attribute = KEMSceneLog::UnreadableAttribute(*created[i], text, "KEM_PHYSIC_MATERIAL_VARLIST", i);
            KEMSceneLog::Record("material record " + std::to_string(i + 1),
                                attribute.empty() ? "KEM_PHYSIC_MATERIAL_VARLIST" : attribute.c_str(),
                                "cannot be read; the scene is not loaded");
            ok = false;
            break;
        }
        created[i]->RefuseUnusableValues(MaterialDesc(kDefaultFriction1, kDefaultFriction2, kDefaultVelThreshold,
                                                      kDefaultSlip1, kDefaultSlip2, kDefaultBounce,
                                                      kDefaultBounceVel, kDefaultSoftCfm, kDefaultSoftErp));
        created[i]->applyAll();
        states[i] = AddMaterial(created[i]) ? LISTED : DROPPED;
    }
    if (ok)
        return true;

    // Pass 3: each material this load made is freed exactly once.
    for (size_t i = 0; i < created.size(); ++i) {
        if (states[i] == DROPPED)
            continue;
        if (states[i] == LISTED) {
            auto it = std::find(mMaterials.begin(), mMaterials.end(), created[i]);
            if (it != mMaterials.end())
                mMaterials.erase(it);
        }
        delete created[i];
    }
    return false;
}

namespace {

// What a node is or holds below it that a body must not drag along: the
// ground (collision meshes), cameras, or other bodies. Null when nothing.
const char* Carries(const CKEMSceneNode& node)
{
    if (node.getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_COLLISIONMESH)
        return "the ground";
    if (node.getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_CAMERA)
        return "a camera";
    // Without recursion: a venue may nest its nodes tens of thousands deep.
    std::vector<const CKEMSceneNode*> pending(1, &node);
    while (!pending.empty()) {
        const CKEMSceneNode* at = pending.back();
        pending.pop_back();
        for (int i = 0; i < at->GetChildCount(); ++i) {
            const CKEMSceneNode* child = at->GetChild(i);
            if (!child)
                continue;
            if (child->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_COLLISIONMESH)
                return "the ground";
            if (child->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_CAMERA)
                return "a camera";
            if (child->getPhysicObject())
                return "other bodies";
            pending.push_back(child);
        }
    }
    return nullptr;
}

}  // namespace

const char* CPhysicMgr::CarriedBy(int actorType, const CKEMSceneNode& node)
{
    if (actorType != CPhysicObject::MOVABLE_ACTOR)
        return nullptr;
    if (&node == CKEMSceneGraph::GetRootNode())
        return "the whole scene";
    return Carries(node);
}

bool CPhysicMgr::LoadObjects(const char* text, const char* prefix)
{
    CMarkup markup;
    if (!EnterRoot(markup, text)) {
        PlatLog("[physics] scene text has no ROOT element");
        return false;
    }
    const std::string namePrefix = prefix ? prefix : "";

    // Pass 1: an object for every record that names a node; records without
    // a node name get none, and pass 2 skips them so records and objects stay paired.
    std::vector<CPhysicObject*> records;
    std::vector<CPhysicObject*> created;
    while (markup.FindElem("KEM_PHYSIC_OBJECT_VARLIST")) {
        markup.IntoElem();
        CPhysicObject* object = nullptr;
        if (markup.FindElem("CPHYSICOBJECT_KEMNODE_NAME")) {
            object = new CPhysicObject(CPhysicObject::STATIC_ACTOR);
            const std::string name = namePrefix + markup.GetAttrib("value").GetBuffer();
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
            if (node && Contains(created, node->getPhysicObject())) {
                // Linking a second object would delete the first one, which
                // this load still reads into.
                PlatLog("[physics] node \"%s\" already has a physic object from this scene; record ignored",
                        name.c_str());
            } else if (node) {
                node->attachPhysicObject(object);
            } else {
                PlatLog("[physics] physic object: no node named \"%s\"", name.c_str());
            }
            created.push_back(object);
        }
        records.push_back(object);
        markup.OutOfElem();
    }

    // Pass 2: read the variables.
    CMarkup reader;
    EnterRoot(reader, text);
    bool ok = true;
    for (size_t i = 0; i < records.size(); ++i) {
        CPhysicObject* object = records[i];
        if (!object) {
            reader.FindElem("KEM_PHYSIC_OBJECT_VARLIST");
            continue;
        }
        if (!object->LoadFromXml(reader, "KEM_PHYSIC_OBJECT_VARLIST")) {
            const std::string attribute = KEMSceneLog::UnreadableAttribute(*object, text, "KEM_PHYSIC_OBJECT_VARLIST", i);
            KEMSceneLog::Value(object->GetNodeName(), attribute.empty() ? "KEM_PHYSIC_OBJECT_VARLIST" : attribute.c_str(),
                               "physic object record %u cannot be read; the scene is not loaded",
                               static_cast<unsigned>(i + 1));
            ok = false;
            break;
        }
        if (!namePrefix.empty())
            object->SetNodeName(namePrefix + object->GetNodeName());
        if (CKEMSceneNode* node = object->GetNode()) {
            if (const char* carried = CarriedBy(object->GetActorType(), *node)) {
                // Moving it would move all of that with it, every frame.
                KEMSceneLog::Value(node->getName(), "CPHYSICOBJECT_ACTOR_TYPE",
                                   "a movable body on a node that carries %s refused; no physic object", carried);
                node->detachPhysicObject();   // deleted with the objects no node took
                continue;
            }
        }
        object->ApplyVars();
    }

    for (CPhysicObject* object : created) {
        // On failure everything this load made goes; on success only the
        // objects no node took (nothing could ever reach them, and their
        // shapes would stand invisible in the world).
        if (object->GetNode() && object->GetNode()->getPhysicObject() == object) {
            if (!ok)
                object->GetNode()->removePhysicObject();
        } else {
            delete object;
        }
    }
    return ok;
}

bool CPhysicMgr::LoadJoints(const char* text)
{
    CMarkup markup;
    if (!EnterRoot(markup, text)) {
        PlatLog("[physics] scene text has no ROOT element");
        return false;
    }
    // Pass 1: the joint of each record (null when the record makes none).
    std::vector<CPhysicJoint*> records;
    while (markup.FindElem("KEM_PHYSIC_JOINT_VARLIST")) {
        markup.IntoElem();
        CPhysicObject* object1 = nullptr;
        CPhysicObject* object2 = nullptr;
        CPhysicJoint* joint = nullptr;
        if (markup.FindElem("CPHYSICJOINT_LINKED_KEM_SN1")) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(markup.GetAttrib("value").GetBuffer());
            object1 = node ? node->getPhysicObject() : nullptr;
        }
        if (markup.FindElem("CPHYSICJOINT_LINKED_KEM_SN2")) {
            CKEMSceneNode* node = CKEMSceneGraph::FindNode(markup.GetAttrib("value").GetBuffer());
            object2 = node ? node->getPhysicObject() : nullptr;
        }
        std::string sameNode;
        if (object1 && object1 == object2) {
            // ODE aborts the process on a joint between a body and itself.
            sameNode = object1->GetNodeName();
            PlatLog("[physics] joint record: both ends name node \"%s\"; no joint", sameNode.c_str());
        }
        if (sameNode.empty() && markup.FindElem("CPHYSICJOINT_TYPE")) {
            const int type = std::atoi(markup.GetAttrib("value").GetBuffer());
            joint = CreateJointByType(type, object1, object2);
            if (!joint)
                PlatLog("[physics] joint record: unknown joint type %d", type);
        }
        records.push_back(joint);
        markup.OutOfElem();
    }

    // Pass 2: read and list them, noting what became of each.
    enum State { UNREAD, LISTED, DROPPED };
    std::vector<State> states(records.size(), UNREAD);
    CMarkup reader;
    EnterRoot(reader, text);
    bool ok = true;
    for (size_t i = 0; i < records.size(); ++i) {
        CPhysicJoint* joint = records[i];
        if (!joint) {
            reader.FindElem("KEM_PHYSIC_JOINT_VARLIST");
            continue;
        }
        if (!joint->LoadFromXml(reader, "KEM_PHYSIC_JOINT_VARLIST")) {
            const std::string attribute = KEMSceneLog::UnreadableAttribute(*joint, text, "KEM_PHYSIC_JOINT_VARLIST", i);
            KEMSceneLog::Value(joint->GetLinkedName1(), attribute.empty() ? "KEM_PHYSIC_JOINT_VARLIST" : attribute.c_str(),
                               "joint record %u cannot be read; the scene is not loaded", static_cast<unsigned>(i + 1));
            ok = false;
            break;
        }
        if (const char* what = joint->UnusableValue()) {
            PlatLog("[physics] joint between \"%s\" and \"%s\": %s refused; no joint",
                    joint->GetLinkedName1().c_str(), joint->GetLinkedName2().c_str(), what);
            if (joint->GetObject1())
                joint->GetObject1()->RemoveJoint(joint);
            if (joint->GetObject2())
                joint->GetObject2()->RemoveJoint(joint);
            delete joint;
            states[i] = DROPPED;
            continue;
        }
        if (AddJoint(joint)) {
            states[i] = LISTED;
            joint->ApplyParams();
        } else {
            states[i] = DROPPED;   // AddJoint unlinked and deleted it
        }
    }
    if (ok)
        return true;

    // Pass 3: every joint this load made leaves its objects and is deleted once.
    for (size_t i = 0; i < records.size(); ++i) {
        CPhysicJoint* joint = records[i];
        if (!joint || states[i] == DROPPED)
            continue;
        if (states[i] == LISTED) {
            RemoveJoint(joint, nullptr);
            continue;
        }
        if (joint->GetObject1())
            joint->GetObject1()->RemoveJoint(joint);
        if (joint->GetObject2())
            joint->GetObject2()->RemoveJoint(joint);
        delete joint;
    }
    return false;
}

// ---- ballistics -------------------------------------------------------------------
float ComputeLaunchSpeed(float distance, float angle, float height, float gravity)
{
    const float c = static_cast<float>(std::cos(angle));
    const float t = static_cast<float>(std::tan(angle));
    const float denominator = (t * distance - height) * c * c;
    // On or above the launch line no speed reaches the point: the square
    // root of a negative (or a division by zero) would hand NaN or infinity
    // to the aiming code and the computer opponent.
    if (!(denominator > 0.0f))
        return 0.0f;
    const float q = static_cast<float>((gravity * 0.5f * distance * distance) / denominator);
    if (!std::isfinite(q) || q < 0.0f)
        return 0.0f;
    return static_cast<float>(std::sqrt(q));
}

std::pair<double, double> ComputeTrajectoryPoint(double speed, double angle, double height, double gravity)
{
    const double c = std::cos(angle);
    const double a = gravity * 0.5 / (c * c * speed * speed);
    const double b = -std::tan(angle);
    const double d = b * b - 4.0 * a * height;
    // A vertical or motionless launch, or a height above the apex.
    if (!std::isfinite(a) || !std::isfinite(d) || a == 0.0 || d < 0.0)
        return std::make_pair(-1.0, -1.0);
    const double root = std::sqrt(d);
    return std::make_pair((root - b) / (2.0 * a), (-b - root) / (2.0 * a));
}
