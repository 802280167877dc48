#include "COdeWorld.h"

#include "COdeActor.h"
#include "COdeBody.h"
#include "COdeJoint.h"
#include "COdeMaterial.h"
#include "JointDesc.h"
#include "KEMException.h"
#include "Platform.h"
#include "makeUniqueName.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

namespace {
// Never destroyed: objects that outlive the world ask it at program exit.
std::set<const COdeWorld*>& LiveWorlds()
{
    static auto* worlds = new std::set<const COdeWorld*>;
    return *worlds;
}

// ODE's own random generator drives parts of its solvers: a fixed seed at
// creation makes the same throw give the same result (replays, LAN peers).
const unsigned long kOdeRandomSeed = 0;

COdeTriMesh* InnerTriMesh(COdeGeom* geom)
{
    if (auto* transform = dynamic_cast<COdeTransformGeom*>(geom))
        geom = transform->getInner();
    return dynamic_cast<COdeTriMesh*>(geom);
}
}

COdeWorld::COdeWorld()
{
    // The per-step trace line floods a terminal: only on request.
    const char* trace = std::getenv("TAVIRELO_PHYSICS_TRACE");
    mTrace = trace && *trace && std::string(trace) != "0";
    mWorld = dWorldCreate();
    mSpace = dSimpleSpaceCreate(nullptr);
    mContactGroup = dJointGroupCreate(0);
    if (!mWorld || !mSpace || !mContactGroup) {
        if (mContactGroup)
            dJointGroupDestroy(mContactGroup);
        if (mSpace)
            dSpaceDestroy(mSpace);
        if (mWorld)
            dWorldDestroy(mWorld);
        KEM_THROW("Failed to create world!");
    }
    dWorldSetAutoDisableFlag(mWorld, 0);
    dRandSetSeed(kOdeRandomSeed);
    AddMaterial(MaterialDesc(), "default");
    LiveWorlds().insert(this);
}

bool COdeWorld::IsLive(const COdeWorld* world) { return world && LiveWorlds().count(world) != 0; }

COdeWorld::~COdeWorld()
{
    LiveWorlds().erase(this);
    // Joint wrappers go before the ODE world that would destroy their joints.
    while (!mJoints.empty()) {
        COdeJoint* joint = mJoints.back();
        mJoints.pop_back();
        delete joint;
    }
    while (!mActors.empty()) {
        COdeActor* actor = mActors.front();
        mActors.erase(mActors.begin());
        delete actor;
    }
    mBodies.clear();
    mMaterials.clear();
    for (COdeMaterial* record : mMaterialRecords)
        delete record;
    mMaterialRecords.clear();
    for (auto& mesh : mMeshes)
        COdeTriMesh::freeData(mesh.second);
    mMeshes.clear();
    dJointGroupDestroy(mContactGroup);
    dSpaceDestroy(mSpace);
    dWorldDestroy(mWorld);
}

// ---- settings --------------------------------------------------------------
void COdeWorld::SetGravity(const Ogre::Vector3& gravity) { dWorldSetGravity(mWorld, gravity.x, gravity.y, gravity.z); }
void COdeWorld::SetQuickStepIterations(uint16_t iterations) { dWorldSetQuickStepNumIterations(mWorld, iterations); }
void COdeWorld::SetCFM(float cfm) { dWorldSetCFM(mWorld, cfm); }
void COdeWorld::SetERP(float erp) { dWorldSetERP(mWorld, erp); }

void COdeWorld::GetStepperNames(std::vector<std::string>& names) const
{
    names.push_back("quickStep");
    names.push_back("StepFast");
}

bool COdeWorld::SetStepper(const std::string& /*name*/) { return false; }

bool COdeWorld::SetStepSize(float seconds)
{
    if (!std::isfinite(seconds) || !(seconds >= MIN_STEP)) {
        PlatLog("[ODEWrap] physics step size %g s refused (must be at least %g s); keeping %g s",
                static_cast<double>(seconds), static_cast<double>(MIN_STEP), static_cast<double>(mStep));
        return false;
    }
    mStep = seconds;
    return true;
}

// ---- fixed step ------------------------------------------------------------
void COdeWorld::Step(float dt)
{
    if (!std::isfinite(dt) || dt < 0.0f) {
        PlatLog("[ODEWrap] physics step of %g s ignored", static_cast<double>(dt));
        return;
    }
    mOverflow += dt;
    if (mTrace)
        std::cout << "physics.step() @ time=" << mTime << " overflow=" << mOverflow << " dt=" << dt
              << " step=" << mStep << "\n";

    float stepped = 0.0f;
    while (mStep < mOverflow) {
        stepped += mStep;
        mTime += mStep;
        mOverflow -= mStep;
        for (COdeBody* body : mBodies)
            body->applyQueuedForces(mStep);
        mColliding = true;
        dSpaceCollide(mSpace, this, &COdeWorld::NearCallback);
        mColliding = false;
        ApplyDeferredSpaceSyncs();
        dWorldStep(mWorld, mStep);
        // Contact joints live for one step only.
        dJointGroupEmpty(mContactGroup);
    }
    if (stepped != 0.0f) {
        for (size_t i = 0; i < mActors.size(); ++i)
            mActors[i]->postStep(stepped, mTime);
    }
}

void COdeWorld::NearCallback(void* data, dGeomID g1, dGeomID g2)
{
    // An actor's own space holds its second and further shapes.
    if (dGeomIsSpace(g1) || dGeomIsSpace(g2)) {
        dSpaceCollide2(g1, g2, data, &COdeWorld::NearCallback);
        return;
    }
    auto* world = static_cast<COdeWorld*>(data);
    const dBodyID b1 = dGeomGetBody(g1);
    const dBodyID b2 = dGeomGetBody(g2);
    if (b1 && b2 && dAreConnected(b1, b2))
        return;
    // Static scenery against static scenery moves nothing; meshes against
    // meshes would also be the most costly pairs.
    if (!b1 && !b2)
        return;
    auto* w1 = static_cast<COdeGeom*>(dGeomGetData(g1));
    auto* w2 = static_cast<COdeGeom*>(dGeomGetData(g2));
    if (!w1 || !w2 || !w1->getOwner() || !w2->getOwner())
        return;
    if (w1->getOwner() == w2->getOwner())
        return;
    w1->getOwner()->collide(w2->getOwner(), g1, g2, world->mContactGroup);
}

void COdeWorld::DeferSpaceSync(COdeActor* actor)
{
    if (std::find(mDeferredSync.begin(), mDeferredSync.end(), actor) == mDeferredSync.end())
        mDeferredSync.push_back(actor);
}

void COdeWorld::ApplyDeferredSpaceSyncs()
{
    std::vector<COdeActor*> pending;
    pending.swap(mDeferredSync);
    for (COdeActor* actor : pending)
        actor->syncSpaceMembership();
}

// ---- materials -------------------------------------------------------------
COdeMaterial* COdeWorld::AddMaterial(const MaterialDesc& desc, const std::string& name)
{
    const std::string registryName = name.empty() ? makeUniqueName("ode.material_") : name;
    auto* record = new COdeMaterial(desc, registryName);
    mMaterialRecords.push_back(record);
    mMaterials.emplace(registryName, record);   // a taken name keeps its first record
    return record;
}

COdeMaterial* COdeWorld::UpdateMaterial(COdeMaterial* record, const MaterialDesc& desc, const std::string& name)
{
    if (std::find(mMaterialRecords.begin(), mMaterialRecords.end(), record) == mMaterialRecords.end()) {
        PlatLog("[ODEWrap] UpdateMaterial: unknown material record ignored");
        return nullptr;
    }
    record->SetValues(desc);
    if (!name.empty() && name != record->name) {
        auto it = mMaterials.find(record->name);
        if (it != mMaterials.end() && it->second == record)
            mMaterials.erase(it);
        record->name = name;
    }
    mMaterials.emplace(record->name, record);
    return record;
}

void COdeWorld::RemoveMaterial(COdeMaterial* record)
{
    if (!record)
        return;
    auto own = std::find(mMaterialRecords.begin(), mMaterialRecords.end(), record);
    if (own == mMaterialRecords.end()) {
        PlatLog("[ODEWrap] RemoveMaterial: unknown material record ignored");
        return;
    }
    auto it = mMaterials.find(record->name);
    const bool registered = it != mMaterials.end() && it->second == record;
    if (registered && record->name == "default") {
        PlatLog("[ODEWrap] RemoveMaterial: the \"default\" material stays");
        return;
    }
    if (registered)
        mMaterials.erase(it);

    COdeMaterial* replacement = GetMaterial(record->name);
    if (!replacement)
        replacement = GetMaterial("default");
    for (COdeActor* actor : mActors) {
        for (COdeGeom* geom : actor->getGeoms()) {
            if (geom->getMaterial() == record)
                geom->setMaterial(replacement);
        }
    }
    mMaterialRecords.erase(own);
    delete record;
}

COdeMaterial* COdeWorld::GetMaterial(const std::string& name) const
{
    auto it = mMaterials.find(name);
    return it == mMaterials.end() ? nullptr : it->second;
}

// ---- triangle-mesh data ----------------------------------------------------
uint32_t COdeWorld::AddMeshData(const std::vector<Ogre::Vector3>& vertices, const std::vector<uint32_t>& indices,
                                const std::vector<Ogre::Vector3>& normals)
{
    COdeMeshData data = COdeTriMesh::buildData(vertices, indices, normals);
    const uint32_t id = mNextMeshId++;
    mMeshes[id] = data;
    return id;
}

COdeMeshData COdeWorld::GetMeshData(uint32_t id) const
{
    auto it = mMeshes.find(id);
    if (it == mMeshes.end())
        KEM_THROW("No mesh data matches supplied mesh id!");
    return it->second;
}

bool COdeWorld::RemoveMeshData(uint32_t id)
{
    auto it = mMeshes.find(id);
    if (it == mMeshes.end()) {
        PlatLog("[ODEWrap] RemoveMeshData: no mesh data %u", id);
        return false;
    }
    for (COdeActor* actor : mActors) {
        for (COdeGeom* geom : actor->getGeoms()) {
            COdeTriMesh* mesh = InnerTriMesh(geom);
            if (mesh && mesh->getMeshData() == it->second.data) {
                PlatLog("[ODEWrap] RemoveMeshData: mesh data %u is still in use", id);
                return false;
            }
        }
    }
    COdeTriMesh::freeData(it->second);
    mMeshes.erase(it);
    return true;
}

// ---- bodies and actors -----------------------------------------------------
void COdeWorld::AddBody(COdeBody* body)
{
    if (body)
        mBodies.push_back(body);
}

void COdeWorld::RemoveBody(COdeBody* body)
{
    auto it = std::find(mBodies.begin(), mBodies.end(), body);
    if (it != mBodies.end())
        mBodies.erase(it);
}

COdeActor* COdeWorld::CreateActor(IOdeContactReceiver* listener, const ActorDesc& desc)
{
    std::unique_ptr<COdeActor> actor(new COdeActor(this, desc.type == ActorDesc::TYPE_MOVABLE, listener));
    for (const auto& shape : desc.shapes) {
        if (shape)
            actor->attachShape(*shape, 0.0f, 0);
    }
    mActors.push_back(actor.get());
    return actor.release();
}

void COdeWorld::RemoveActor(COdeActor* actor)
{
    if (!actor)
        return;
    auto it = std::find(mActors.begin(), mActors.end(), actor);
    if (it == mActors.end())
        return;
    mActors.erase(it);
    // Nobody may end a contact with an actor that is gone.
    for (COdeActor* other : mActors)
        other->forgetContactsWith(actor);
    mDeferredSync.erase(std::remove(mDeferredSync.begin(), mDeferredSync.end(), actor), mDeferredSync.end());
    delete actor;
}

// ---- joints ----------------------------------------------------------------
COdeJoint* COdeWorld::CreateJoint(const JointDescBase& desc)
{
    if (!desc.actor1 && !desc.actor2)
        KEM_THROW("both actors are 0!");
    COdeBody* body1 = desc.actor1 ? desc.actor1->getBody() : nullptr;
    COdeBody* body2 = desc.actor2 ? desc.actor2->getBody() : nullptr;
    // ODE aborts the program on these; scene files may still ask for them.
    if (!body1 && !body2) {
        PlatLog("[ODEWrap] CreateJoint: a joint between two static actors holds nothing; none made");
        return nullptr;
    }
    if (body1 && body1 == body2) {
        PlatLog("[ODEWrap] CreateJoint: a joint between a body and itself holds nothing; none made");
        return nullptr;
    }
    if (desc.type == JointDescBase::TYPE_HINGE2 && (!body1 || !body2)) {
        PlatLog("[ODEWrap] CreateJoint: a hinge-2 joint needs two movable actors; none made");
        return nullptr;
    }

    std::unique_ptr<COdeJoint> joint;
    switch (desc.type) {
    case JointDescBase::TYPE_BALL: {
        const auto& ball = static_cast<const JointDescBall&>(desc);
        joint.reset(new COdeBallJoint(this));
        joint->attach(body1, body2);
        joint->setAnchor(0, ball.anchor);
        break;
    }
    case JointDescBase::TYPE_HINGE: {
        const auto& hinge = static_cast<const JointDescHinge&>(desc);
        joint.reset(new COdeHingeJoint(this));
        joint->attach(body1, body2);
        joint->setAnchor(0, hinge.anchor);
        joint->setAxis(0, hinge.axis);
        break;
    }
    case JointDescBase::TYPE_HINGE2: {
        const auto& hinge2 = static_cast<const JointDescHinge2&>(desc);
        joint.reset(new COdeHinge2Joint(this));
        joint->attach(body1, body2);
        joint->setAnchor(0, hinge2.anchor);
        joint->setAxes(hinge2.axis1, hinge2.axis2);
        break;
    }
    case JointDescBase::TYPE_FIXED:
        joint.reset(new COdeFixedJoint(this));
        joint->attach(body1, body2);
        break;
    case JointDescBase::TYPE_SLIDER: {
        const auto& slider = static_cast<const JointDescSlider&>(desc);
        joint.reset(new COdeSliderJoint(this));
        joint->attach(body1, body2);
        joint->setAxis(0, slider.axis);
        break;
    }
    case JointDescBase::TYPE_UNIVERSAL: {
        const auto& universal = static_cast<const JointDescUniversal&>(desc);
        joint.reset(new COdeUniversalJoint(this));
        joint->attach(body1, body2);
        joint->setAnchor(0, universal.anchor);
        joint->setAxes(universal.axis1, universal.axis2);
        break;
    }
    default:
        PlatLog("[ODEWrap] CreateJoint: unknown joint type %d", desc.type);
        return nullptr;
    }
    mJoints.push_back(joint.get());
    return joint.release();
}

void COdeWorld::RemoveJoint(COdeJoint* joint)
{
    if (!joint)
        return;
    auto it = std::find(mJoints.begin(), mJoints.end(), joint);
    if (it == mJoints.end())
        return;
    mJoints.erase(it);
    delete joint;
}
