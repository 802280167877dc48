// The physics world: ODE world, collision space and contact group, the
// registries of materials, triangle-mesh data, bodies and actors, and the
// fixed-step advance with its overflow accumulator.
#pragma once

#include "COdeShapes.h"
#include "PhysicDesc.h"

#include <OgreVector.h>
#include <ode/ode.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class COdeActor;
class COdeBody;
class COdeJoint;
struct JointDescBase;
class IOdeContactReceiver;
struct COdeMaterial;

class COdeWorld {
public:
    COdeWorld();
    ~COdeWorld();
    COdeWorld(const COdeWorld&) = delete;
    COdeWorld& operator=(const COdeWorld&) = delete;

    // Whether `world` is constructed and not yet deleted. Scene objects that
    // outlive the world (materials, physic objects, joints at program exit)
    // must then leave its records, actors and joints alone: it freed them.
    static bool IsLive(const COdeWorld* world);

    // ---- settings ----------------------------------------------------------
    void SetGravity(const Ogre::Vector3& gravity);
    void SetQuickStepIterations(uint16_t iterations);
    void SetCFM(float cfm);
    void SetERP(float erp);
    dWorldID GetWorldId() const { return mWorld; }
    dSpaceID GetSpaceId() const { return mSpace; }
    void GetStepperNames(std::vector<std::string>& names) const;
    // The world always uses ODE's full solver: nothing to select.
    bool SetStepper(const std::string& name);

    // The fixed step. A size that is not a finite number of at least
    // MIN_STEP seconds would never finish Step: it is refused (logged) and
    // the current step kept. Returns whether the size was taken.
    static constexpr float MIN_STEP = 1e-4f;
    bool SetStepSize(float seconds);
    float GetStepSize() const { return mStep; }
    float GetTime() const { return mTime; }
    float GetOverflow() const { return mOverflow; }

    // Adds dt to the overflow and runs every whole step that fits strictly
    // inside it; the rest waits for the next call.
    void Step(float dt);

    // ---- materials ---------------------------------------------------------
    // Registers a record under `name` (a unique "ode.material_" name when
    // empty). A taken name stays with its first record; the new record is
    // returned either way and remains the world's to delete.
    COdeMaterial* AddMaterial(const MaterialDesc& desc, const std::string& name);
    // Registers a record again: values updated in place (geoms keep their
    // pointer), moved to `name` when that differs and is free.
    COdeMaterial* UpdateMaterial(COdeMaterial* record, const MaterialDesc& desc, const std::string& name);
    // Deletes a record; only a registry entry that maps to it is erased, and
    // geoms still using it move to the record now under its name (or to
    // "default"). The "default" record cannot be removed.
    void RemoveMaterial(COdeMaterial* record);
    COdeMaterial* GetMaterial(const std::string& name) const;

    // ---- triangle-mesh data ------------------------------------------------
    uint32_t AddMeshData(const std::vector<Ogre::Vector3>& vertices, const std::vector<uint32_t>& indices,
                         const std::vector<Ogre::Vector3>& normals);
    // Throws when the id is not registered.
    COdeMeshData GetMeshData(uint32_t id) const;
    // Frees the data of a rebuilt mesh. Refused (false, logged) while a geom
    // still reads it or when the id is unknown.
    bool RemoveMeshData(uint32_t id);
    size_t GetMeshDataCount() const { return mMeshes.size(); }

    // ---- bodies and actors -------------------------------------------------
    void AddBody(COdeBody* body);
    void RemoveBody(COdeBody* body);
    COdeActor* CreateActor(IOdeContactReceiver* listener, const ActorDesc& desc);
    void RemoveActor(COdeActor* actor);
    const std::vector<COdeActor*>& GetActors() const { return mActors; }

    // ---- joints ------------------------------------------------------------
    // Throws "both actors are 0!" when the description names no actor. A
    // joint ODE cannot hold (no body on either side, a hinge-2 without two
    // bodies) or an unknown kind gives null (logged).
    COdeJoint* CreateJoint(const JointDescBase& desc);
    void RemoveJoint(COdeJoint* joint);
    const std::vector<COdeJoint*>& GetJoints() const { return mJoints; }

    // ---- collision ---------------------------------------------------------
    static void NearCallback(void* data, dGeomID g1, dGeomID g2);
    bool IsColliding() const { return mColliding; }
    void DeferSpaceSync(COdeActor* actor);
    uint32_t NextActorSerial() { return ++mActorSerial; }

private:
    void ApplyDeferredSpaceSyncs();

    float mOverflow = 0.0f;
    float mTime = 0.0f;
    float mStep = 0.1f;
    dWorldID mWorld = nullptr;
    dJointGroupID mContactGroup = nullptr;
    dSpaceID mSpace = nullptr;
    std::vector<COdeBody*> mBodies;
    uint32_t mNextMeshId = 0;
    std::map<uint32_t, COdeMeshData> mMeshes;
    std::vector<COdeActor*> mActors;
    std::vector<COdeJoint*> mJoints;
    std::map<std::string, COdeMaterial*> mMaterials;   // registry by name
    std::vector<COdeMaterial*> mMaterialRecords;       // every record this world made
    bool mColliding = false;
    // TAVIRELO_PHYSICS_TRACE set (and not "0") when the world was made.
    bool mTrace = false;
    std::vector<COdeActor*> mDeferredSync;
    uint32_t mActorSerial = 0;
};
