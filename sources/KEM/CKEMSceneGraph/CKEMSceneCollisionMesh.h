// The collision-mesh node (class type 8): a static collider built from the
// triangles of a render mesh, placed with its node and bound to a physic
// material. Venue grounds and walls are collision meshes. The render mesh
// itself is shown only while the debug display is on.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

class COdeActor;
class COdeGeom;
class COdeWorld;
class CPhysicMaterial;
class CWrapOgreEntity;
struct TriMeshShapeDesc;

// What a collision mesh needs of the physics manager. The physics library
// installs it; until then collision meshes build no collider and take no
// material.
struct CKEMCollisionMeshPhysics {
    // The manager's world while it exists, else null.
    COdeWorld* (*world)() = nullptr;
    CPhysicMaterial* (*findMaterial)(const std::string& id) = nullptr;
    // Whether the manager still lists the material: clearing a scene deletes
    // materials that nodes may still point to. Compares pointers only.
    bool (*isListed)(const CPhysicMaterial* material) = nullptr;
    std::string (*materialId)(const CPhysicMaterial* material) = nullptr;
    void (*addRef)(CPhysicMaterial* material) = nullptr;
    void (*release)(CPhysicMaterial* material) = nullptr;
};

class CKEMSceneCollisionMesh : public CKEMSceneNode {
public:
    // The collider: a static actor with one triangle-mesh shape over mesh
    // data registered in the physics world, built at the node's scale.
    class Part {
    public:
        explicit Part(CKEMSceneCollisionMesh* owner);
        // The actor, its mesh data, the shape description and the entity go.
        ~Part();
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;

        // Rebuilds the collider from the mesh at the node's current scale.
        // A mesh that cannot be had (or holds no triangle) leaves no collider.
        void setResource(const std::string& mesh, const std::string& materialId);
        // A changed scale rebuilds; otherwise the actor takes the node's world pose.
        void syncPose();
        // The mesh entity (material "debugMaterial") on the node, and its removal.
        void createDebug();
        void destroyDebug();

        COdeWorld* GetWorld() const;
        COdeActor* GetActor() const;
        COdeGeom* GetShape() const;
        // The shape's description; null without collider. Its mesh id names
        // the mesh data in the world.
        const TriMeshShapeDesc* GetShapeDesc() const;
        const Ogre::Vector3& GetScale() const { return mScale; }
        CWrapOgreEntity* GetEntity() const { return mEntity; }
        const std::string& GetMesh() const { return mMesh; }

    private:
        void build(CWrapOgreEntity* entity, const std::string& materialId);
        void placeActor(bool reattach);
        // Removes the actor and frees its mesh data (from a world that still exists).
        void release();
        Ogre::Vector3 NodeScale() const;

        CKEMSceneCollisionMesh* mOwner;
        Ogre::Vector3 mScale = Ogre::Vector3::UNIT_SCALE;
        CWrapOgreEntity* mEntity = nullptr;
        std::string mMesh;
        COdeWorld* mWorld = nullptr;   // where the actor and the mesh data live
        COdeActor* mActor = nullptr;
        COdeGeom* mShape = nullptr;
        TriMeshShapeDesc* mShapeDesc = nullptr;
    };

    // The factory passes the scene record's resource (empty: the file's
    // variables name it).
    CKEMSceneCollisionMesh(CKEMSceneNode* parent, const std::string& mesh);
    ~CKEMSceneCollisionMesh() override;

    // A material the physics manager lists under its id replaces the current
    // one; one it does not list changes nothing. Null goes back to "Default".
    // Then the collider is rebuilt from the mesh.
    void setResource(const std::string& mesh, CPhysicMaterial* material);
    const std::string& GetResource() const { return mResource; }
    // Null for "Default" (and once the manager no longer lists the material).
    CPhysicMaterial* GetMaterial() const;
    const std::string& GetMaterialId() const { return mMaterialId; }
    Part& GetPart() { return *mPart; }
    const Part& GetPart() const { return *mPart; }

    // Shows the mesh while on.
    void setDebugMode(bool debug) override;
    void SyncPhysics(bool recursive) override;
    // Rebuilds from the loaded resource and material id.
    void PostLoadInit() override;

    static CKEMCollisionMeshPhysics& Physics();

private:
    void releaseMaterial();

    CKEMVarStringRef mResourceVar;
    CKEMVarStringRef mMaterialIdVar;
    Part* mPart = nullptr;
    std::string mResource;
    CPhysicMaterial* mMaterial = nullptr;
    std::string mMaterialId = "Default";
};
