#include "COdeActor.h"

#include "COdeBody.h"
#include "COdeMaterial.h"
#include "COdeShapes.h"
#include "COdeWorld.h"
#include "KEMException.h"
#include "OdeConvert.h"
#include "PhysicDesc.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
const int kMaxContacts = 10;
}

COdeActor::COdeActor(COdeWorld* world, bool movable, IOdeContactReceiver* listener)
    : mListener(listener), mWorld(world), mSerial(0)
{
    if (!world)
        KEM_THROW("No actor without a world!");
    mSerial = world->NextActorSerial();
    if (movable) {
        mBody = new COdeBody(world, this);
        mBody->setPosition(Ogre::Vector3::ZERO);
        mBody->setOrientation(Ogre::Quaternion::IDENTITY);
    }
    setPosition(Ogre::Vector3::ZERO);
    setOrientation(Ogre::Quaternion::IDENTITY);
    mEnabled = true;
}

COdeActor::~COdeActor()
{
    delete mBody;
    mBody = nullptr;
    while (!mGeoms.empty()) {
        COdeGeom* geom = mGeoms.back();
        mGeoms.pop_back();
        delete geom;
    }
    if (mOwnSpace) {
        dSpaceDestroy(mOwnSpace);
        mOwnSpace = nullptr;
    }
    mContacts.clear();
}

void COdeActor::setEnabled(bool enabled)
{
    if (enabled == mEnabled)
        return;
    mEnabled = enabled;
    if (mBody)
        mBody->setEnabled(enabled);
    // A contact listener may switch physics off in the middle of the space
    // collision, when ODE's spaces must not change: the world then applies
    // the change right after the collision pass.
    if (mWorld->IsColliding())
        mWorld->DeferSpaceSync(this);
    else
        syncSpaceMembership();
}

void COdeActor::syncSpaceMembership()
{
    for (COdeGeom* geom : mGeoms) {
        const dGeomID id = geom->getGeomId();
        const dSpaceID current = dGeomGetSpace(id);
        if (mEnabled && !current && geom->getSpace())
            dSpaceAdd(geom->getSpace(), id);
        else if (!mEnabled && current)
            dSpaceRemove(current, id);
    }
}

void COdeActor::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    if (mBody) {
        mBody->setPosition(position);
    } else {
        for (COdeGeom* geom : mGeoms)
            geom->setPosition(position);
    }
}

void COdeActor::setOrientation(const Ogre::Quaternion& orientation)
{
    mOrientation = orientation;
    if (mBody) {
        mBody->setOrientation(orientation);
    } else {
        for (COdeGeom* geom : mGeoms)
            geom->setOrientation(orientation);
    }
}

Ogre::Vector3 COdeActor::getPosition() const { return mBody ? mBody->getPosition() : mPosition; }
Ogre::Quaternion COdeActor::getOrientation() const { return mBody ? mBody->getOrientation() : mOrientation; }

COdeGeom* COdeActor::attachShape(const ShapeDesc& desc, float mass, int mode)
{
    if (mBody && dynamic_cast<const PlaneShapeDesc*>(&desc))
        KEM_THROW("Attempted to attach immovable plane shape to movable actor!");
    COdeGeom* geom = createGeom(desc);
    if (mBody) {
        dGeomSetBody(geom->getGeomId(), mBody->getBodyId());
        if (mass != 0.0f)
            mBody->addShapeMass(desc, mass, mode);
    }
    return geom;
}

COdeGeom* COdeActor::createGeom(const ShapeDesc& desc)
{
    COdeMaterial* material = mWorld->GetMaterial(desc.materialName);
    if (!material)
        material = mWorld->GetMaterial("default");
    const dSpaceID space = mOwnSpace ? mOwnSpace : mWorld->GetSpaceId();

    std::unique_ptr<COdeGeom> inner;
    std::unique_ptr<COdeGeom> geom;
    if (auto* sphere = dynamic_cast<const SphereShapeDesc*>(&desc)) {
        inner.reset(new COdeSphere(space, this, sphere->radius));
    } else if (auto* box = dynamic_cast<const BoxShapeDesc*>(&desc)) {
        inner.reset(new COdeBox(space, this, box->size.x, box->size.y, box->size.z));
    } else if (auto* capsule = dynamic_cast<const CapsuleShapeDesc*>(&desc)) {
        inner.reset(new COdeCylinder(space, this, capsule->radius, capsule->height));
    } else if (auto* mesh = dynamic_cast<const TriMeshShapeDesc*>(&desc)) {
        uint32_t id = mesh->meshId;
        const bool ownData = id == TriMeshShapeDesc::BUILD_FROM_ARRAYS;
        if (ownData)
            id = mWorld->AddMeshData(mesh->vertices, mesh->indices, mesh->normals);
        try {
            const COdeMeshData data = mWorld->GetMeshData(id);
            auto* triMesh = new COdeTriMesh(space, this, data.data);
            // Data built for this shape alone goes with its geom.
            if (ownData)
                triMesh->setOwnedMeshId(id);
            inner.reset(triMesh);
        } catch (...) {
            if (ownData)
                mWorld->RemoveMeshData(id);
            throw;
        }
        if (!inner)
            KEM_THROW("Mesh with such id wasn't found!");
    } else if (auto* plane = dynamic_cast<const PlaneShapeDesc*>(&desc)) {
        Ogre::Vector3 n = desc.orientation * plane->planeVector;
        n.normalise();
        const float d = n.dotProduct(desc.position) + plane->planeOffset;
        geom.reset(new COdePlane(space, this, n.x, n.y, n.z, d));
    } else {
        KEM_THROW("Unsupported shape type!");
    }

    if (inner) {
        // The transform is created in the world's space and places the inner
        // geom at the shape's offset.
        auto transform = std::make_unique<COdeTransformGeom>(mWorld->GetSpaceId(), this);
        COdeGeom* innerGeom = inner.get();
        transform->attach(inner.release());
        innerGeom->setPosition(desc.position);
        innerGeom->setOrientation(desc.orientation);
        geom = std::move(transform);
    }
    if (!geom)
        KEM_THROW("Unsupported shape type!");

    geom->setMaterial(material);
    COdeGeom* result = geom.release();
    mGeoms.push_back(result);
    if (mGeoms.size() >= 2)
        addGeomToSpace(result);
    if (!mEnabled && !mWorld->IsColliding())
        syncSpaceMembership();
    else if (!mEnabled)
        mWorld->DeferSpaceSync(this);
    return result;
}

void COdeActor::addGeomToSpace(COdeGeom* geom)
{
    if (!mOwnSpace) {
        mOwnSpace = dHashSpaceCreate(mWorld->GetSpaceId());
        if (!mOwnSpace)
            KEM_THROW("Failed to create new ODE Space!");
        dSpaceSetCleanup(mOwnSpace, 0);
    }
    const dGeomID id = geom->getGeomId();
    if (dGeomGetSpace(id))
        dSpaceRemove(dGeomGetSpace(id), id);
    dSpaceAdd(mOwnSpace, id);
    geom->setSpace(mOwnSpace);
}

void COdeActor::removeShape(COdeGeom* geom)
{
    auto it = std::find(mGeoms.begin(), mGeoms.end(), geom);
    if (it == mGeoms.end())
        return;
    mGeoms.erase(it);
    delete geom;
}

void COdeActor::collide(COdeActor* other, dGeomID g1, dGeomID g2, dJointGroupID contactGroup)
{
    auto* w1 = static_cast<COdeGeom*>(dGeomGetData(g1));
    auto* w2 = static_cast<COdeGeom*>(dGeomGetData(g2));
    if (!w1 || !w2)
        KEM_THROW("shapes are corrupt!");

    dContact contacts[kMaxContacts] = {};
    // The skip is the size of the whole record the library expects.
    const int found = dCollide(g1, g2, kMaxContacts, &contacts[0].geom, sizeof(dContact));
    // A sphere centred on a mesh triangle gets a contact without a normal
    // (NaN): a joint made from it sends the body's pose to NaN, and ODE
    // aborts the process. Such contacts are dropped.
    int n = 0;
    for (int i = 0; i < found; ++i) {
        const dContactGeom& g = contacts[i].geom;
        const dReal normal = g.normal[0] * g.normal[0] + g.normal[1] * g.normal[1] + g.normal[2] * g.normal[2];
        if (!std::isfinite(g.pos[0]) || !std::isfinite(g.pos[1]) || !std::isfinite(g.pos[2]) ||
            !std::isfinite(g.depth) || !(normal > 0.5 && normal < 2.0))
            continue;
        if (n != i)
            contacts[n].geom = g;
        ++n;
    }
    if (n <= 0)
        return;

    const COdeMaterial* m1 = w1->getMaterial() ? w1->getMaterial() : mWorld->GetMaterial("default");
    const COdeMaterial* m2 = w2->getMaterial() ? w2->getMaterial() : mWorld->GetMaterial("default");
    const dReal mu = std::min(m1->friction1, m2->friction1);
    const dReal bounce = std::max(m1->bounce, m2->bounce);
    const dReal bounceVel = std::min(m1->bounceVel, m2->bounceVel);

    COdeBody* otherBody = other ? other->getBody() : nullptr;
    const dBodyID bodyA = mBody ? mBody->getBodyId() : nullptr;
    const dBodyID bodyB = otherBody ? otherBody->getBodyId() : nullptr;

    for (int i = 0; i < n; ++i) {
        dContact& c = contacts[i];
        // The old 0x3004: both friction directions approximated, bouncing.
        c.surface.mode = dContactApprox1_1 | dContactApprox1_2 | dContactBounce;
        c.surface.mu = mu;
        c.surface.bounce = bounce;
        c.surface.bounce_vel = bounceVel;
        if (!otherBody && mBody) {
            // A body rolling on static scenery: first friction direction
            // along its horizontal velocity.
            c.surface.mode |= dContactFDir1;
            const dReal* v = dBodyGetLinearVel(bodyA);
            const dReal len = std::sqrt(v[0] * v[0] + v[2] * v[2]);
            c.fdir1[0] = len > 0 ? v[0] / len : 0;
            c.fdir1[1] = 0;
            c.fdir1[2] = len > 0 ? v[2] / len : 0;
        }

        ContactInfo info;
        info.position = OdeToVector(c.geom.pos);
        info.normal = OdeToVector(c.geom.normal);
        info.depth = static_cast<float>(c.geom.depth);

        IOdeContactReceiver* otherListener = other ? other->getContactListener() : nullptr;
        const uint32_t key = other ? other->getSerial() : 0;
        auto it = mContacts.find(key);
        if (it == mContacts.end()) {
            ContactEntry entry;
            entry.ownGeom = w1;
            entry.otherActor = other;
            entry.otherGeom = w2;
            entry.timer = 0.0f;
            mContacts.emplace(key, entry);
            if (mListener)
                mListener->OnContactBegin(otherListener, info);
            if (otherListener)
                otherListener->OnContactBegin(mListener, info);
        } else {
            it->second.timer = 0.0f;
            if (mListener)
                mListener->OnContactContinue(otherListener, info);
            if (otherListener)
                otherListener->OnContactContinue(mListener, info);
        }

        dJointID joint = dJointCreateContact(mWorld->GetWorldId(), contactGroup, &c);
        dJointAttach(joint, bodyA, bodyB);
    }
}

void COdeActor::postStep(float stepped, float /*time*/)
{
    std::vector<uint32_t> ended;
    for (auto& pair : mContacts) {
        ContactEntry& entry = pair.second;
        if (entry.timer > 0.0f) {
            if (mListener)
                mListener->OnContactEnd(entry.otherActor ? entry.otherActor->getContactListener() : nullptr);
            ended.push_back(pair.first);
        } else {
            entry.timer += stepped;
        }
    }
    for (uint32_t key : ended)
        mContacts.erase(key);
}

void COdeActor::forgetContactsWith(const COdeActor* other)
{
    if (other)
        mContacts.erase(other->getSerial());
}
