#include "COdeBody.h"

#include "COdeActor.h"
#include "COdeWorld.h"
#include "KEMException.h"
#include "OdeConvert.h"
#include "PhysicDesc.h"

COdeBody::COdeBody(COdeWorld* world, COdeActor* actor) : mWorld(world), mActor(actor)
{
    dMassSetZero(&mMass);
    if (!world)
        KEM_THROW("No body without a world, pal!");
    mBody = dBodyCreate(world->GetWorldId());
    if (!mBody)
        KEM_THROW("Failed to create ODE body!");
    // The world's own default is off; bodies may fall asleep with ODE's
    // default thresholds.
    dBodySetAutoDisableFlag(mBody, 1);
    dBodyEnable(mBody);
    dBodySetTorque(mBody, 0, 0, 0);
    dBodySetForce(mBody, 0, 0, 0);
    dBodySetLinearVel(mBody, 0, 0, 0);
    dBodySetAngularVel(mBody, 0, 0, 0);
    dMassSetSphere(&mMass, 1.0, 1.0);
    dMassAdjust(&mMass, 0.0001);
    dBodySetMass(mBody, &mMass);
    setPosition(Ogre::Vector3::ZERO);
    setOrientation(Ogre::Quaternion::IDENTITY);
    world->AddBody(this);
}

COdeBody::~COdeBody()
{
    mWorld->RemoveBody(this);
    dBodyDestroy(mBody);
    mQueue.clear();
}

void COdeBody::setTotalMass(float total)
{
    dMassAdjust(&mMass, total);
    dBodySetMass(mBody, &mMass);
}

void COdeBody::addMass(const MassDesc& desc)
{
    dMass extra;
    dMassSetZero(&extra);
    computeMass(&desc, extra);
    dMassAdd(&mMass, &extra);
    dBodySetMass(mBody, &mMass);
}

void COdeBody::addShapeMass(const ShapeDesc& shape, float value, int mode)
{
    if (auto* sphere = dynamic_cast<const SphereShapeDesc*>(&shape))
        addMass(SphereMassDesc(value, shape.position, sphere->radius, mode));
    else if (auto* box = dynamic_cast<const BoxShapeDesc*>(&shape))
        addMass(BoxMassDesc(box->size.x, box->size.y, box->size.z, value, shape.position, mode));
    else if (auto* capsule = dynamic_cast<const CapsuleShapeDesc*>(&shape))
        addMass(CapsuleMassDesc(capsule->radius, capsule->height, value, shape.position, mode));
    else
        KEM_THROW("Unsupported shape type!");
}

void COdeBody::computeMass(const MassDesc* desc, dMass& mass)
{
    if (!desc)
        KEM_THROW("Unsupported/unknown mass description type!");
    const bool density = desc->mode == MassDesc::MODE_DENSITY;
    // Direction 2 is ODE's y axis.
    if (auto* s = dynamic_cast<const SphereMassDesc*>(desc)) {
        if (density)
            dMassSetSphere(&mass, s->value, s->radius);
        else
            dMassSetSphereTotal(&mass, s->value, s->radius);
    } else if (auto* b = dynamic_cast<const BoxMassDesc*>(desc)) {
        if (density)
            dMassSetBox(&mass, b->value, b->x, b->y, b->z);
        else
            dMassSetBoxTotal(&mass, b->value, b->x, b->y, b->z);
    } else if (auto* c = dynamic_cast<const CapsuleMassDesc*>(desc)) {
        if (density)
            dMassSetCapsule(&mass, c->value, 2, c->radius, c->length);
        else
            dMassSetCapsuleTotal(&mass, c->value, 2, c->radius, c->length);
    } else if (auto* y = dynamic_cast<const CylinderMassDesc*>(desc)) {
        if (density)
            dMassSetCylinder(&mass, y->value, 2, y->radius, y->length);
        else
            dMassSetCylinderTotal(&mass, y->value, 2, y->radius, y->length);
    } else if (auto* t = dynamic_cast<const InertiaTensorMassDesc*>(desc)) {
        dMassSetParameters(&mass, t->value, t->cx, t->cy, t->cz, t->I11, t->I22, t->I33, t->I12, t->I13, t->I23);
    } else {
        dMassSetSphereTotal(&mass, desc->value, 1.0);
    }
    dMassTranslate(&mass, desc->offset.x, desc->offset.y, desc->offset.z);
}

void COdeBody::setPosition(const Ogre::Vector3& position)
{
    dBodySetPosition(mBody, position.x, position.y, position.z);
}

Ogre::Vector3 COdeBody::getPosition() const { return OdeToVector(dBodyGetPosition(mBody)); }

void COdeBody::setOrientation(const Ogre::Quaternion& orientation)
{
    dQuaternion q;
    QuaternionToOde(orientation, q);
    dBodySetQuaternion(mBody, q);
}

Ogre::Quaternion COdeBody::getOrientation() const { return OdeToQuaternion(dBodyGetQuaternion(mBody)); }

// A body that fell asleep ignores the velocity it is given: a throw from a
// ball at rest must wake it (unless its actor is switched off).
void COdeBody::setLinearVelocity(const Ogre::Vector3& v)
{
    dBodySetLinearVel(mBody, v.x, v.y, v.z);
    if (v != Ogre::Vector3::ZERO && (!mActor || mActor->isEnabled()))
        dBodyEnable(mBody);
}

Ogre::Vector3 COdeBody::getLinearVelocity() const { return OdeToVector(dBodyGetLinearVel(mBody)); }

void COdeBody::setAngularVelocity(const Ogre::Vector3& v)
{
    dBodySetAngularVel(mBody, v.x, v.y, v.z);
    if (v != Ogre::Vector3::ZERO && (!mActor || mActor->isEnabled()))
        dBodyEnable(mBody);
}

Ogre::Vector3 COdeBody::getAngularVelocity() const { return OdeToVector(dBodyGetAngularVel(mBody)); }

void COdeBody::setEnabled(bool enabled)
{
    if (enabled)
        dBodyEnable(mBody);
    else
        dBodyDisable(mBody);
}

bool COdeBody::isEnabled() const { return dBodyIsEnabled(mBody) != 0; }

void COdeBody::queueForce(const ForceRequest& request) { mQueue.push_back(QueueEntry{KIND_FORCE, request}); }
void COdeBody::queueTorque(const ForceRequest& request) { mQueue.push_back(QueueEntry{KIND_TORQUE, request}); }

void COdeBody::applyQueuedForces(float step)
{
    // Requests wait while the actor is switched off: waking the body then
    // would let it move with its geoms out of collision, through the ground.
    if (mQueue.empty() || (mActor && !mActor->isEnabled()))
        return;
    dBodyEnable(mBody);
    size_t i = 0;
    while (i < mQueue.size()) {
        ForceRequest& r = mQueue[i].request;
        if (r.oneStep)
            r.duration = step;
        else if (step > r.duration)
            // The exact impulse of the last partial step; a request queued
            // with no time left pushes nothing (and never backwards).
            r.vector *= (r.duration > 0.0f ? r.duration : 0.0f) / step;
        if (mQueue[i].kind == KIND_FORCE)
            applyForce(r);
        else
            applyTorque(r);
        r.duration -= step;
        if (r.oneStep || r.duration <= 0.0f) {
            // The last entry takes this place and is processed next.
            mQueue[i] = mQueue.back();
            mQueue.pop_back();
        } else {
            ++i;
        }
    }
}

void COdeBody::applyForce(const ForceRequest& r)
{
    const Ogre::Vector3& f = r.vector;
    const Ogre::Vector3& p = r.position;
    if (r.vectorInWorld == 1) {
        if (r.positionInWorld == 1)
            dBodyAddForceAtPos(mBody, f.x, f.y, f.z, p.x, p.y, p.z);
        else
            dBodyAddForceAtRelPos(mBody, f.x, f.y, f.z, p.x, p.y, p.z);
    } else {
        if (r.positionInWorld == 1)
            dBodyAddRelForceAtPos(mBody, f.x, f.y, f.z, p.x, p.y, p.z);
        else
            dBodyAddRelForceAtRelPos(mBody, f.x, f.y, f.z, p.x, p.y, p.z);
    }
}

void COdeBody::applyTorque(const ForceRequest& r)
{
    const Ogre::Vector3& t = r.vector;
    if (r.vectorInWorld == 1)
        dBodyAddTorque(mBody, t.x, t.y, t.z);
    else
        dBodyAddRelTorque(mBody, t.x, t.y, t.z);
}
