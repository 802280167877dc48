#include "CKEMSceneCollisionMesh.h"

#include "CKEMSceneNodeKind.h"

#include <COdeActor.h>
#include <COdeWorld.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreNode.h>
#include <PhysicDesc.h>
#include <Platform.h>
#include <TriMeshExtractor.h>

#include <OgreSceneNode.h>

#include <vector>

using namespace KEMSceneNodeKind;

namespace {

const char* const kDefaultMaterialId = "Default";
const char* const kDebugMaterial = "debugMaterial";

}  // namespace

// ---- collider -----------------------------------------------------------------------------

CKEMSceneCollisionMesh::Part::Part(CKEMSceneCollisionMesh* owner) : mOwner(owner) {}

CKEMSceneCollisionMesh::Part::~Part() {
    release();
    destroyDebug();
}

COdeWorld* CKEMSceneCollisionMesh::Part::GetWorld() const { return COdeWorld::IsLive(mWorld) ? mWorld : nullptr; }
COdeActor* CKEMSceneCollisionMesh::Part::GetActor() const { return GetWorld() ? mActor : nullptr; }
COdeGeom* CKEMSceneCollisionMesh::Part::GetShape() const { return GetWorld() ? mShape : nullptr; }
const TriMeshShapeDesc* CKEMSceneCollisionMesh::Part::GetShapeDesc() const { return GetWorld() ? mShapeDesc : nullptr; }

Ogre::Vector3 CKEMSceneCollisionMesh::Part::NodeScale() const {
    CWrapOgreNode* node = WrapperNode(mOwner);
    return node && node->getOgreNode() ? node->getOgreNode()->_getDerivedScale() : Ogre::Vector3::UNIT_SCALE;
}

void CKEMSceneCollisionMesh::Part::createDebug() {
    destroyDebug();
    if (!mMesh.empty())
        mEntity = CreateDebugEntity(WrapperNode(mOwner), mMesh, kDebugMaterial);
}

void CKEMSceneCollisionMesh::Part::destroyDebug() { DestroyDebugEntity(WrapperNode(mOwner), mEntity); }

void CKEMSceneCollisionMesh::Part::setResource(const std::string& mesh, const std::string& materialId) {
    mMesh = mesh;
    createDebug();
    mScale = NodeScale();
    if (mEntity) {
        build(mEntity, materialId);
        placeActor(false);
    } else {
        // The collider always matches the named mesh: none stays of the previous one.
        if (!mesh.empty())
            PlatLog("CKEMSceneCollisionMesh(%s): mesh \"%s\" cannot be had; no collider", mOwner->getName().c_str(),
                    mesh.c_str());
        release();
    }
    if (!mOwner->getDebugMode())
        destroyDebug();
}

void CKEMSceneCollisionMesh::Part::build(CWrapOgreEntity* entity, const std::string& materialId) {
    const CKEMCollisionMeshPhysics& physics = CKEMSceneCollisionMesh::Physics();
    COdeWorld* world = physics.world ? physics.world() : nullptr;
    if (!COdeWorld::IsLive(world)) {
        PlatLog("CKEMSceneCollisionMesh(%s): no physics world; no collider", mOwner->getName().c_str());
        release();
        return;
    }

    const TriMeshExtractor extractor(entity->getEntity(), Ogre::Matrix4::IDENTITY);
    std::vector<Ogre::Vector3> vertices;
    vertices.reserve(extractor.GetVertexCount());
    for (const Ogre::Vector3& vertex : extractor.GetVertices())
        vertices.push_back(vertex * mScale);
    const std::vector<uint32_t>& indices = extractor.GetIndices();

    // The previous collider and its mesh data go before the new one is made:
    // rebuilding (each scale change) must not pile up triangle data.
    release();
    if (indices.empty()) {
        PlatLog("CKEMSceneCollisionMesh(%s): mesh \"%s\" has no triangle; no collider", mOwner->getName().c_str(),
                mMesh.c_str());
        return;
    }
    mWorld = world;
    mActor = world->CreateActor(mOwner, ActorDesc());
    mShapeDesc = new TriMeshShapeDesc(world->AddMeshData(vertices, indices, std::vector<Ogre::Vector3>()),
                                      materialId, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    mShape = mActor->attachShape(*mShapeDesc, 0.0f, 0);
}

void CKEMSceneCollisionMesh::Part::release() {
    if (COdeWorld::IsLive(mWorld)) {
        // The actor's geoms go with it; only then is its mesh data free to go.
        if (mActor)
            mWorld->RemoveActor(mActor);
        if (mShapeDesc)
            mWorld->RemoveMeshData(mShapeDesc->meshId);
    }
    // A world that is gone took its actors and mesh data with it.
    mWorld = nullptr;
    mActor = nullptr;
    mShape = nullptr;
    delete mShapeDesc;
    mShapeDesc = nullptr;
}

void CKEMSceneCollisionMesh::Part::syncPose() {
    if (!mActor)
        return;
    if (!COdeWorld::IsLive(mWorld)) {
        release();
        return;
    }
    if (NodeScale() != mScale) {
        setResource(mMesh, mOwner->GetMaterialId());
        return;
    }
    placeActor(true);
}

void CKEMSceneCollisionMesh::Part::placeActor(bool reattach) {
    if (!mActor)
        return;
    if (reattach && mShape) {
        mActor->removeShape(mShape);
        mShape = mActor->attachShape(*mShapeDesc, 0.0f, 0);
    }
    Ogre::Vector3 position;
    Ogre::Quaternion orientation;
    mOwner->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    mOwner->GetOrientation(orientation, CKEMSceneGraphicHandle::SPACE_WORLD);
    mActor->setPosition(position);
    mActor->setOrientation(orientation);
}

// ---- node -----------------------------------------------------------------------------------

CKEMCollisionMeshPhysics& CKEMSceneCollisionMesh::Physics() {
    static CKEMCollisionMeshPhysics physics;
    return physics;
}

CKEMSceneCollisionMesh::CKEMSceneCollisionMesh(CKEMSceneNode* parent, const std::string& mesh)
    : CKEMSceneNode(parent) {
    SetClassType(KEM_SCENE_COLLISIONMESH);
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    mPart = new Part(this);
    setResource(mesh, nullptr);
    RegisterVar(mResourceVar, "CKEMSCENECOLLMESH_MRESSOURCE", &mResource);
    RegisterVar(mMaterialIdVar, "CPHYSIC_MATERIAL_ID", &mMaterialId);
}

CKEMSceneCollisionMesh::~CKEMSceneCollisionMesh() {
    TermScriptFirst();   // the script's Term still sees the whole node
    releaseMaterial();
    // The entity goes while the graphics node still exists.
    delete mPart;
    mPart = nullptr;
}

CPhysicMaterial* CKEMSceneCollisionMesh::GetMaterial() const {
    const CKEMCollisionMeshPhysics& physics = Physics();
    return mMaterial && physics.isListed && physics.isListed(mMaterial) ? mMaterial : nullptr;
}

void CKEMSceneCollisionMesh::releaseMaterial() {
    const CKEMCollisionMeshPhysics& physics = Physics();
    // A material the manager deleted (scene cleared) is not touched.
    if (GetMaterial() && physics.release)
        physics.release(mMaterial);
    mMaterial = nullptr;
}

void CKEMSceneCollisionMesh::setResource(const std::string& mesh, CPhysicMaterial* material) {
    const CKEMCollisionMeshPhysics& physics = Physics();
    if (material) {
        const bool known = physics.isListed && physics.findMaterial && physics.materialId &&
                           physics.isListed(material) && physics.findMaterial(physics.materialId(material)) == material;
        if (known && material != GetMaterial()) {
            releaseMaterial();
            mMaterial = material;
            if (physics.addRef)
                physics.addRef(material);
            mMaterialId = physics.materialId(material);
        }
    } else {
        releaseMaterial();
        mMaterialId = kDefaultMaterialId;
    }
    mPart->setResource(mesh, mMaterialId);
    mResource = mesh;
}

void CKEMSceneCollisionMesh::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    if (debug)
        mPart->createDebug();
    else
        mPart->destroyDebug();
}

void CKEMSceneCollisionMesh::SyncPhysics(bool recursive) {
    mPart->syncPose();
    // The base syncs a physic object the node may also carry, then the children.
    CKEMSceneNode::SyncPhysics(recursive);
}

void CKEMSceneCollisionMesh::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    const std::string resource = mResource;
    mResource.clear();
    const CKEMCollisionMeshPhysics& physics = Physics();
    setResource(resource, physics.findMaterial ? physics.findMaterial(mMaterialId) : nullptr);
}
