#include "CPhysicObject.h"

#include "CPhysicJoint.h"
#include "CPhysicMaterial.h"
#include "CPhysicMgr.h"
#include "PhysicLimits.h"

#include <CGraphicElementRegistry.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <COdeActor.h>
#include <COdeBody.h>
#include <COdeShapes.h>
#include <COdeWorld.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <KEMSceneLog.h>
#include <PhysicDesc.h>
#include <Platform.h>

#include <OgreMatrix3.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
// ODE aborts the process on a rotation it cannot normalise.
bool UsableRotation(const Ogre::Quaternion& q)
{
    const Ogre::Real norm = q.Norm();
    return std::isfinite(norm) && norm > 1e-6f;
}

using physiclimits::kMaxCoordinate;
using physiclimits::kMaxSize;

// The shape's offset must be an affine pose ODE and OGRE can take: the node's
// pose is the body's times its inverse, so a single huge element (whose
// determinant is still fine) or a squashed axis puts NaN into the node.
bool UsableTransform(const Ogre::Matrix4& transform)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (!std::isfinite(transform[row][column]) || std::fabs(transform[row][column]) > kMaxCoordinate)
                return false;
    if (transform[3][0] != 0.0f || transform[3][1] != 0.0f || transform[3][2] != 0.0f || transform[3][3] != 1.0f)
        return false;
    const Ogre::Matrix3 m = transform.linear();
    Ogre::Real lengths = 1.0f;
    for (int column = 0; column < 3; ++column) {
        const Ogre::Real length = m.GetColumn(column).length();
        if (!(length >= 1e-3f && length <= 1e3f))
            return false;
        lengths *= length;
    }
    // Columns that are nearly parallel make no rotation either.
    const Ogre::Real det = m.Determinant();
    return std::isfinite(det) && std::fabs(det) > 1e-3f * lengths;
}

bool UsableBoxSize(const Ogre::Vector3& size)
{
    using physiclimits::kMinSize;
    return physiclimits::Within(size.x, kMinSize, kMaxSize) && physiclimits::Within(size.y, kMinSize, kMaxSize) &&
           physiclimits::Within(size.z, kMinSize, kMaxSize);
}

bool UsableLength(float value) { return physiclimits::Within(value, physiclimits::kMinSize, kMaxSize); }

// The rotation of a transform whose 3x3 part may carry a scale.
Ogre::Quaternion RotationOf(const Ogre::Matrix4& transform)
{
    const Ogre::Matrix3 m = transform.linear();
    Ogre::Vector3 x = m.GetColumn(0);
    Ogre::Vector3 y = m.GetColumn(1);
    Ogre::Vector3 z = m.GetColumn(2);
    x.normalise();
    y.normalise();
    z.normalise();
    Ogre::Quaternion q(x, y, z);
    q.normalise();
    return q;
}

// A node's world pose by OGRE's rule, composed from the top of its chain:
// OGRE refreshes a child's derived pose only in its frame update, so after
// a parent moved the cached values are stale until the next frame.
void WorldPose(const Ogre::Node* node, Ogre::Vector3& position, Ogre::Quaternion& orientation, Ogre::Vector3& scale)
{
    std::vector<const Ogre::Node*> chain;
    for (const Ogre::Node* n = node; n; n = n->getParent())
        chain.push_back(n);
    position = Ogre::Vector3::ZERO;
    orientation = Ogre::Quaternion::IDENTITY;
    scale = Ogre::Vector3::UNIT_SCALE;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Ogre::Node* n = *it;
        position = orientation * (scale * n->getPosition()) + position;
        orientation = n->getInheritOrientation() ? orientation * n->getOrientation() : n->getOrientation();
        scale = n->getInheritScale() ? scale * n->getScale() : n->getScale();
    }
}
}

CPhysicObject::CPhysicObject(int actorType) : mActorType(actorType)
{
    RegisterVar(mNodeNameVar, "CPHYSICOBJECT_KEMNODE_NAME", &mNodeName);
    RegisterVar(mActorTypeVar, "CPHYSICOBJECT_ACTOR_TYPE", &mActorType);
    RegisterVar(mShapeTypeVar, "CPHYSICOBJECT_SHAPE_TYPE", &mShapeType);
    RegisterVar(mMassVar, "CPHYSICOBJECT_MASS", &mMass);
    RegisterVar(mBoxSizeVar, "CPHYSICOBJECT_BOX_SIZE", &mBoxSize);
    RegisterVar(mSphereRadiusVar, "CPHYSICOBJECT_SPHERE_RADIUS", &mSphereRadius);
    RegisterVar(mCapsuleHeightVar, "CPHYSICOBJECT_CAPSULE_HEIGHT", &mCapsuleHeight);
    RegisterVar(mCapsuleRadiusVar, "CPHYSICOBJECT_CAPSULE_RADIUS", &mCapsuleRadius);
    RegisterVar(mTransformVar, "CPHYSICOBJECT_TRANSFORM", &mTransform);
    RegisterVar(mMaterialIdVar, "CPHYSICOBJECT_MATERIAL_ID", &mMaterialId);

    COdeWorld* world = gPhysicMgr.GetWorld();
    if ((actorType == STATIC_ACTOR || actorType == MOVABLE_ACTOR) && COdeWorld::IsLive(world)) {
        mWorld = world;
        mActor = world->CreateActor(nullptr, ActorDesc(actorType == MOVABLE_ACTOR ? ActorDesc::TYPE_MOVABLE
                                                                                   : ActorDesc::TYPE_STATIC));
        mBody = mActor->getBody();
    } else if (!COdeWorld::IsLive(world)) {
        PlatLog("[physics] physic object made without a physics world: it has no actor");
    }
}

CPhysicObject::~CPhysicObject()
{
    std::vector<CPhysicJoint*> joints = mJoints;
    for (CPhysicJoint* joint : joints) {
        if (gPhysicMgr.HasJoint(joint)) {
            gPhysicMgr.RemoveJoint(joint, this);
        } else {
            // Not the manager's yet (a load in progress): it must not keep us.
            joint->ForgetObject(this);
        }
    }
    mJoints.clear();
    // A node unregisters its object first; an object deleted directly must
    // not stay listed either.
    if (gPhysicMgr.HasObject(this))
        gPhysicMgr.RemoveObject(this);
    ReleaseMaterial();
    HideDebug();
    ReleaseActor();
    delete mShapeNode;
    mShapeNode = nullptr;
}

COdeWorld* CPhysicObject::LiveWorld() const { return COdeWorld::IsLive(mWorld) ? mWorld : nullptr; }
COdeActor* CPhysicObject::GetActor() const { return LiveWorld() ? mActor : nullptr; }
COdeBody* CPhysicObject::GetBody() const { return LiveWorld() ? mBody : nullptr; }
COdeGeom* CPhysicObject::GetGeom() const { return LiveWorld() ? mGeom : nullptr; }

void CPhysicObject::ReleaseActor()
{
    if (COdeWorld* world = LiveWorld()) {
        if (mActor && mGeom)
            mActor->removeShape(mGeom);
        world->RemoveActor(mActor);
    }
    mActor = nullptr;
    mGeom = nullptr;
    mBody = nullptr;
    mWorld = nullptr;
}

void CPhysicObject::ReleaseMaterial()
{
    // A material the manager no longer lists has been deleted.
    if (mMaterial && gPhysicMgr.HasMaterial(mMaterial))
        mMaterial->Release();
    mMaterial = nullptr;
}

void CPhysicObject::ForgetMaterial(const CPhysicMaterial* material)
{
    if (material && mMaterial == material)
        mMaterial = nullptr;
}

// ---- node ---------------------------------------------------------------------------
void CPhysicObject::AttachToNode(CKEMSceneNode* node)
{
    mNode = node;
    if (!node)
        return;
    mNodeName = node->getName();
    // Contacts of an object made in code reach its node as well.
    if (COdeActor* actor = GetActor())
        actor->setContactListener(node);

    HideDebug();
    delete mShapeNode;
    mShapeNode = nullptr;
    CWrapOgreWorld* graphics = CWrapOgreWorld::GetCurrentWorld();
    CKEMSceneGraphicHandle* handle = node->GetGraphicNode();
    if (graphics && handle && handle->getNode()) {
        mShapeNode = graphics->CreateNode("");
        mShapeNode->setInheritScale(false);
        handle->getNode()->reparent(mShapeNode);
        mShapeNode->setPosition(mTransform.getTrans());
        mShapeNode->setOrientation(RotationOf(mTransform));
    }
    SyncFromNode();
}

void CPhysicObject::UpdateNodeName()
{
    if (mNode)
        mNodeName = mNode->getName();
}

// ---- actor, shape, mass -------------------------------------------------------------
void CPhysicObject::CreateActor(int actorType)
{
    const bool enabled = GetActor() ? mActor->isEnabled() : true;
    ReleaseActor();
    mActorType = actorType;
    COdeWorld* world = gPhysicMgr.GetWorld();
    if (!COdeWorld::IsLive(world)) {
        PlatLog("[physics] physic object of \"%s\": no physics world", mNodeName.c_str());
        return;
    }
    if (actorType == STATIC_ACTOR || actorType == MOVABLE_ACTOR) {
        mWorld = world;
        mActor = world->CreateActor(mNode, ActorDesc(actorType == MOVABLE_ACTOR ? ActorDesc::TYPE_MOVABLE
                                                                                : ActorDesc::TYPE_STATIC));
        mBody = mActor->getBody();
        mActor->setEnabled(enabled);
        // A hinge-2 needs two movable objects.
        if (actorType == STATIC_ACTOR)
            RemoveHinge2Joints();
    } else {
        KEMSceneLog::Value(mNodeName, "CPHYSICOBJECT_ACTOR_TYPE", "actor type %d unknown; no actor", actorType);
    }
    SyncFromNode();
}

void CPhysicObject::BuildShapes(int shapeType, CPhysicMaterial* material)
{
    if (mGeom) {
        if (GetActor())
            mActor->removeShape(mGeom);
        mGeom = nullptr;
    }
    mShapeType = shapeType;

    if (material) {
        if (gPhysicMgr.HasMaterial(material) && gPhysicMgr.FindMaterial(material->GetMaterialId()) &&
            material != mMaterial) {
            ReleaseMaterial();
            mMaterial = material;
            mMaterialId = material->GetMaterialId();
            mMaterial->AddRef();
        }
    } else {
        ReleaseMaterial();
        mMaterialId = "Default";
    }

    const std::string materialName = mMaterial ? mMaterial->GetMaterialId() : std::string();
    std::unique_ptr<ShapeDesc> desc;
    switch (shapeType) {
    case SHAPE_BOX:
        if (!UsableBoxSize(mBoxSize)) {
            KEMSceneLog::Value(mNodeName, "CPHYSICOBJECT_BOX_SIZE", "box size %g %g %g refused; no shape",
                               static_cast<double>(mBoxSize.x), static_cast<double>(mBoxSize.y),
                               static_cast<double>(mBoxSize.z));
            break;
        }
        desc.reset(new BoxShapeDesc(mBoxSize, materialName));
        break;
    case SHAPE_SPHERE:
        // ODE refuses these with an exception; they come from scene files.
        if (!UsableLength(mSphereRadius)) {
            KEMSceneLog::Value(mNodeName, "CPHYSICOBJECT_SPHERE_RADIUS", "sphere radius %g refused; no shape",
                               static_cast<double>(mSphereRadius));
            break;
        }
        desc.reset(new SphereShapeDesc(mSphereRadius, materialName));
        break;
    case SHAPE_CAPSULE:
        if (!UsableLength(mCapsuleRadius) || !UsableLength(mCapsuleHeight)) {
            KEMSceneLog::Value(mNodeName,
                               UsableLength(mCapsuleRadius) ? "CPHYSICOBJECT_CAPSULE_HEIGHT" : "CPHYSICOBJECT_CAPSULE_RADIUS",
                               "capsule %g x %g refused; no shape", static_cast<double>(mCapsuleHeight),
                               static_cast<double>(mCapsuleRadius));
            break;
        }
        desc.reset(new CapsuleShapeDesc(mCapsuleHeight, mCapsuleRadius, materialName));
        break;
    default:
        KEMSceneLog::Value(mNodeName, "CPHYSICOBJECT_SHAPE_TYPE", "shape type %d unknown; no shape", shapeType);
        break;
    }
    if (desc && GetActor()) {
        mGeom = mActor->attachShape(*desc, 0.0f, 0);
        // The new geom starts at the actor's pose.
        if (!mBody) {
            mActor->setPosition(mActor->getPosition());
            mActor->setOrientation(mActor->getOrientation());
        }
    }
    if (mNode && mNode->getDebugMode())
        CreateDebugShapes();
}

void CPhysicObject::SetBoxShape(const Ogre::Vector3& size)
{
    mBoxSize = size;
    BuildShapes(SHAPE_BOX, mMaterial);
    if (mShapeNode && UsableBoxSize(size))
        mShapeNode->setScale(size);
}

void CPhysicObject::SetSphereShape(float radius)
{
    mSphereRadius = radius;
    BuildShapes(SHAPE_SPHERE, mMaterial);
    if (mShapeNode && UsableLength(radius))
        mShapeNode->setScale(Ogre::Vector3(radius, radius, radius));
}

void CPhysicObject::SetCapsuleShape(float height, float radius)
{
    mCapsuleHeight = height;
    mCapsuleRadius = radius;
    BuildShapes(SHAPE_CAPSULE, mMaterial);
    if (mShapeNode && UsableLength(radius) && UsableLength(height))
        mShapeNode->setScale(Ogre::Vector3(radius, height, radius));
}

void CPhysicObject::SetMass(float mass)
{
    COdeBody* body = GetBody();
    if (!body || mass == 0.0f)
        return;
    // A tiny mass leaves an inertia whose inverse overflows within a step.
    if (!physiclimits::Within(mass, physiclimits::kMinMass, physiclimits::kMaxMass)) {
        PlatLog("[physics] \"%s\": mass %g refused, the body keeps its mass", mNodeName.c_str(),
                static_cast<double>(mass));
        return;
    }
    mMass = mass;
    body->setTotalMass(mass);
    RecreateJoints();
}

void CPhysicObject::ApplyVars()
{
    if (!UsableTransform(mTransform)) {
        PlatLog("[physics] \"%s\": transform refused (no usable rotation, or a value out of range); identity used",
                mNodeName.c_str());
        const Ogre::Vector3 offset = mTransform.getTrans();
        const bool usable = physiclimits::Within(offset, kMaxCoordinate);
        mTransform.makeTransform(usable ? offset : Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE,
                                 Ogre::Quaternion::IDENTITY);
    }
    CreateActor(mActorType);
    CPhysicMaterial* material = gPhysicMgr.FindMaterial(mMaterialId);
    BuildShapes(mShapeType, material);
    SetMass(mMass);
    switch (mShapeType) {
    case SHAPE_BOX:
        SetBoxShape(mBoxSize);
        break;
    case SHAPE_SPHERE:
        SetSphereShape(mSphereRadius);
        break;
    case SHAPE_CAPSULE:
        SetCapsuleShape(mCapsuleHeight, mCapsuleRadius);
        break;
    default:
        break;
    }
    if (mShapeNode) {
        mShapeNode->setPosition(mTransform.getTrans());
        mShapeNode->setOrientation(RotationOf(mTransform));
    }
    SyncFromNode();
}

// ---- poses --------------------------------------------------------------------------
void CPhysicObject::ShapeWorldPose(Ogre::Vector3& position, Ogre::Quaternion& orientation) const
{
    Ogre::Vector3 scale;
    if (mShapeNode) {
        WorldPose(mShapeNode->getOgreNode(), position, orientation, scale);
        return;
    }
    // A node without graphics sits at the origin.
    Ogre::Vector3 nodePosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion nodeOrientation = Ogre::Quaternion::IDENTITY;
    if (mNode && mNode->GetGraphicNode() && mNode->GetGraphicNode()->getNode())
        WorldPose(mNode->GetGraphicNode()->getNode()->getOgreNode(), nodePosition, nodeOrientation, scale);
    position = nodePosition + nodeOrientation * mTransform.getTrans();
    orientation = nodeOrientation * RotationOf(mTransform);
}

void CPhysicObject::SyncFromNode()
{
    if (COdeActor* actor = GetActor()) {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        ShapeWorldPose(position, orientation);
        if (UsableRotation(orientation)) {
            actor->setOrientation(orientation);
            mBadPoseLogged = false;
        } else if (!mBadPoseLogged) {
            // A zero or broken node rotation: the body keeps its own.
            PlatLog("[physics] \"%s\": the node's rotation cannot be used; the body keeps its own",
                    mNodeName.c_str());
            mBadPoseLogged = true;
        }
        if (std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z))
            actor->setPosition(position);
    }
    RecreateJoints();
}

void CPhysicObject::SyncToNode()
{
    COdeActor* actor = GetActor();
    if (!actor || !mBody || !mNode)
        return;
    CKEMSceneGraphicHandle* handle = mNode->GetGraphicNode();
    if (!handle || !handle->getNode())
        return;

    // The node's world pose that puts the shape where the body is.
    Ogre::Matrix4 bodyPose;
    bodyPose.makeTransform(actor->getPosition(), Ogre::Vector3::UNIT_SCALE, actor->getOrientation());
    const Ogre::Matrix4 world = bodyPose * mTransform.inverse();
    Ogre::Vector3 position = world.getTrans();
    Ogre::Quaternion orientation = RotationOf(world);

    // Relative to whatever the node's graphics node hangs under, by OGRE's
    // own rule (position scaled by the parent's scale, orientation inherited).
    if (const Ogre::Node* parent = handle->getNode()->getOgreNode()->getParent()) {
        Ogre::Vector3 parentPosition;
        Ogre::Quaternion parentOrientation;
        Ogre::Vector3 parentScale;
        WorldPose(parent, parentPosition, parentOrientation, parentScale);
        const Ogre::Quaternion parentInverse = parentOrientation.Inverse();
        position = (parentInverse * (position - parentPosition)) / parentScale;
        orientation = parentInverse * orientation;
    }
    // A parent scaled to nothing (set at run time) has no relative pose:
    // OGRE asserts on the NaN it would give.
    // A body flung out of the world (or a NaN pose) leaves its node where
    // it was: OGRE's bounds overflow far out.
    if (!physiclimits::Within(position, physiclimits::kMaxCoordinate) || !UsableRotation(orientation)) {
        if (!mBadPoseLogged)
            PlatLog("[physics] \"%s\": body pose %g %g %g cannot be shown; the node stays where it was",
                    mNodeName.c_str(), static_cast<double>(position.x), static_cast<double>(position.y),
                    static_cast<double>(position.z));
        mBadPoseLogged = true;
        return;
    }
    handle->setPosition(position);
    handle->setOrientation(orientation);
    mNode->UpdateBounds(true, true, true);
}

void CPhysicObject::SetTransform(const Ogre::Vector3& position)
{
    if (mShapeNode) {
        mShapeNode->setPosition(position);
        UpdateTransformVar();
    } else {
        mTransform.makeTransform(position, Ogre::Vector3::UNIT_SCALE, RotationOf(mTransform));
    }
    SyncFromNode();
}

void CPhysicObject::SetOrientation(const Ogre::Quaternion& orientation)
{
    if (!UsableRotation(orientation)) {
        PlatLog("[physics] \"%s\": orientation refused, it has no usable rotation", mNodeName.c_str());
        return;
    }
    if (mShapeNode) {
        mShapeNode->setOrientation(orientation);
        UpdateTransformVar();
    } else {
        mTransform.makeTransform(mTransform.getTrans(), Ogre::Vector3::UNIT_SCALE, orientation);
    }
    SyncFromNode();
}

void CPhysicObject::UpdateTransformVar()
{
    if (mShapeNode)
        mTransform.makeTransform(mShapeNode->getPosition(), Ogre::Vector3::UNIT_SCALE, mShapeNode->getOrientation());
}

Ogre::Vector3 CPhysicObject::GetNodePosition(int space) const
{
    if (space == CKEMSceneGraphicHandle::SPACE_WORLD) {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        ShapeWorldPose(position, orientation);
        return position;
    }
    return mShapeNode ? mShapeNode->getPosition() : mTransform.getTrans();
}

Ogre::Quaternion CPhysicObject::GetNodeOrientation(int space) const
{
    if (space == CKEMSceneGraphicHandle::SPACE_WORLD) {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        ShapeWorldPose(position, orientation);
        return orientation;
    }
    return mShapeNode ? mShapeNode->getOrientation() : RotationOf(mTransform);
}

// ---- activity, forces, velocities ---------------------------------------------------
void CPhysicObject::SetActive(bool active)
{
    COdeActor* actor = GetActor();
    if (!actor)
        return;
    actor->setEnabled(active);
    if (active)
        SyncFromNode();
}

bool CPhysicObject::IsActive() const
{
    COdeActor* actor = GetActor();
    return actor && actor->isEnabled();
}

void CPhysicObject::addForce(const Ogre::Vector3& force, int forceInWorld, const Ogre::Vector3& position,
                             int positionInWorld, float duration)
{
    COdeBody* body = GetBody();
    if (!body)
        return;
    if (duration == 0.0f)
        body->queueForce(ForceRequest(force, forceInWorld, position, positionInWorld));
    else
        body->queueForce(ForceRequest(force, forceInWorld, position, positionInWorld, duration));
}

void CPhysicObject::addTorque(const Ogre::Vector3& torque, int torqueInWorld, const Ogre::Vector3& position,
                              int positionInWorld, float duration)
{
    COdeBody* body = GetBody();
    if (!body)
        return;
    if (duration == 0.0f)
        body->queueTorque(ForceRequest(torque, torqueInWorld, position, positionInWorld));
    else
        body->queueTorque(ForceRequest(torque, torqueInWorld, position, positionInWorld, duration));
}

void CPhysicObject::setLinearVelocity(const Ogre::Vector3& velocity)
{
    if (COdeBody* body = GetBody())
        body->setLinearVelocity(velocity);
}

void CPhysicObject::setAngularVelocity(const Ogre::Vector3& velocity)
{
    if (COdeBody* body = GetBody())
        body->setAngularVelocity(velocity);
}

Ogre::Vector3 CPhysicObject::getLinearVelocity() const
{
    COdeBody* body = GetBody();
    return body ? body->getLinearVelocity() : Ogre::Vector3::ZERO;
}

Ogre::Vector3 CPhysicObject::getAngularVelocity() const
{
    COdeBody* body = GetBody();
    return body ? body->getAngularVelocity() : Ogre::Vector3::ZERO;
}

// ---- joints -------------------------------------------------------------------------
void CPhysicObject::AddJoint(CPhysicJoint* joint)
{
    if (joint)
        mJoints.push_back(joint);
}

void CPhysicObject::RemoveJoint(CPhysicJoint* joint)
{
    auto it = std::find(mJoints.begin(), mJoints.end(), joint);
    if (it != mJoints.end())
        mJoints.erase(it);
}

void CPhysicObject::RecreateJoints()
{
    for (size_t i = 0; i < mJoints.size(); ++i)
        mJoints[i]->Create();
}

void CPhysicObject::RemoveHinge2Joints()
{
    std::vector<CPhysicJoint*> joints = mJoints;
    for (CPhysicJoint* joint : joints) {
        if (joint->GetType() != CPhysicMgr::JOINT_HINGE2)
            continue;
        if (gPhysicMgr.HasJoint(joint)) {
            gPhysicMgr.RemoveJoint(joint, nullptr);
        } else {
            // Not listed yet (being loaded): the manager refuses it when it is added.
            RemoveJoint(joint);
            joint->ForgetObject(this);
        }
    }
}

// ---- debug display ------------------------------------------------------------------
void CPhysicObject::ShowDebug(bool show)
{
    if (show)
        CreateDebugShapes();
    else
        HideDebug();
}

void CPhysicObject::CreateDebugShapes()
{
    if (mDebugEntity)
        HideDebug();
    CWrapOgreWorld* graphics = CWrapOgreWorld::GetCurrentWorld();
    if (!mShapeNode || !graphics)
        return;
    const char* mesh = nullptr;
    switch (mShapeType) {
    case SHAPE_BOX:
        mesh = "physicBox.mesh";
        break;
    case SHAPE_SPHERE:
        mesh = "physicSphere.mesh";
        break;
    case SHAPE_CAPSULE:
        mesh = "physicCapsule.mesh";
        break;
    default:
        return;
    }
    try {
        mDebugEntity = graphics->CreateEntity(mesh);
        mDebugEntity->setMaterialName("physicObjectMaterial");
    } catch (const CKEMException& e) {
        // A debug aid: a missing mesh must not stop the game.
        PlatLog("[physics] debug shape %s: %s", mesh, e.GetReason().c_str());
        delete mDebugEntity;
        mDebugEntity = nullptr;
        return;
    }
    mShapeNode->attachEntity(mDebugEntity);
    if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent()) {
        registry->RegisterElement(mDebugEntity, mShapeNode);
        registry->RegisterPhysicNode(mShapeNode, this);
    }
    mDebugShown = true;
}

void CPhysicObject::HideDebug()
{
    if (mDebugEntity) {
        if (mShapeNode)
            mShapeNode->detachEntity(mDebugEntity);
        if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent()) {
            registry->UnregisterElement(mDebugEntity);
            registry->UnregisterPhysicNode(mShapeNode);
        }
        delete mDebugEntity;
        mDebugEntity = nullptr;
    }
    mDebugShown = false;
}

void CPhysicObject::SetDebugMaterial(const std::string& name)
{
    if (mDebugEntity)
        mDebugEntity->setMaterialName(name);
}
