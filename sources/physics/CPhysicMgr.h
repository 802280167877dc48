// The engine's physics manager: the world settings, the registered physic
// objects, the scene's joints and materials, the per-frame step that writes
// the bodies' poses back to their nodes, and two ballistic formulas the
// aiming code uses. The framework owns the ODE world; the manager points to it.
#pragma once

#include <CKEMVar.h>

#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class COdeWorld;
class CPhysicJoint;
class CPhysicMaterial;
class CKEMSceneNode;
class CPhysicObject;

class CPhysicMgr : public CKEMVarList {
public:
    // Joint type codes of the scene files ("CPHYSICJOINT_TYPE").
    enum {
        JOINT_FIXED = 0,
        JOINT_BALL = 1,
        JOINT_HINGE = 2,
        JOINT_HINGE2 = 3,
        JOINT_SLIDER = 4,
        JOINT_UNIVERSAL = 5,
    };

    CPhysicMgr();
    // Deletes every joint and material; objects belong to their nodes.
    ~CPhysicMgr() override;

    // Binds to the framework's physics world and resets every setting to its
    // default (also written into the world).
    void CreateWorld();
    // The same on a given world (a world made outside the framework).
    void CreateWorld(COdeWorld* world);
    // The world, or null once the framework has deleted it.
    COdeWorld* GetWorld() const { return LiveWorld(); }

    void SetGravity(const Ogre::Vector3& gravity);
    void SetNbIter(uint16_t iterations);
    // A step the world refuses (not a number of at least 0.1 ms: the frame
    // loop would never end) is logged and the world's step kept.
    void SetStepSize(float seconds);
    void SetCFM(float cfm);
    void SetERP(float erp);
    void ApplySettings();
    // Settings read from a scene file that ODE cannot take (not finite, out
    // of range) are logged and replaced by the world's defaults.
    void RefuseUnusableSettings();
    const Ogre::Vector3& GetGravity() const { return mGravity; }
    uint16_t GetNbIter() const { return mNbIter; }
    float GetStepSize() const { return mStepSize; }
    float GetCFM() const { return mCFM; }
    float GetERP() const { return mERP; }

    // One frame: the global timer's frame time reaches the world in pieces of
    // at most one step, then every body's pose is written to its node.
    void Step();
    uint32_t GetStepCount() const { return mStepCount; }

    // Deletes every joint, then every material; objects stay registered.
    void Clear();

    void RegisterObject(CPhysicObject* object);
    void RemoveObject(CPhysicObject* object);
    bool HasObject(const CPhysicObject* object) const;
    void SyncAllFromNodes();
    const std::vector<CPhysicObject*>& GetObjects() const { return mObjects; }

    CPhysicMaterial* FindMaterial(const std::string& id) const;
    bool HasMaterial(const CPhysicMaterial* material) const;
    // Takes ownership. A material whose id is already listed is deleted and
    // false returned: the pointer must not be used then.
    bool AddMaterial(CPhysicMaterial* material);
    // Refused (false) while the material is referenced or when not listed.
    bool RemoveMaterial(CPhysicMaterial* material);
    const std::vector<CPhysicMaterial*>& GetMaterials() const { return mMaterials; }

    // Takes ownership; false (joint deleted) for a hinge-2 whose objects are
    // not both movable.
    bool AddJoint(CPhysicJoint* joint);
    // A listed joint leaves both linked objects (but `keep`) and is deleted.
    void RemoveJoint(CPhysicJoint* joint, CPhysicObject* keep);
    bool HasJoint(const CPhysicJoint* joint) const;
    const std::vector<CPhysicJoint*>& GetJoints() const { return mJoints; }
    // A joint of the given file type code with zero anchor and axes; null
    // for an unknown code.
    CPhysicJoint* CreateJointByType(int type, CPhysicObject* object1, CPhysicObject* object2);

    // The scene file readers. Each returns false on a missing "ROOT" or a bad
    // list, and then undoes what it created.
    bool LoadSettingsAndMaterials(const char* text);
    bool LoadObjectsAndJoints(const char* text, const char* prefix = nullptr);
    bool LoadVarList(const char* text);
    bool LoadMaterials(const char* text);
    bool LoadObjects(const char* text, const char* prefix = nullptr);
    // What a body of that actor type would drag along on the node (the
    // whole scene, the ground, a camera, other bodies), or null: only
    // movable bodies move their node.
    static const char* CarriedBy(int actorType, const CKEMSceneNode& node);
    bool LoadJoints(const char* text);

    bool GetJointDebugFlag() const { return mJointDebug; }
    // The scene graph's debug mode: every joint shows (or hides) its anchors
    // and axes, and joints made later follow the flag.
    void SetJointDebugFlag(bool debug);

    // Hooks the physics into the engine: the framework's physics system and
    // world, the run state (Step each frame), the scene nodes' physic objects,
    // the collision-mesh nodes' world and materials, and the scene loader.
    // Idempotent; also done at start-up by the library itself.
    static void Install();

private:
    COdeWorld* LiveWorld() const;

    Ogre::Vector3 mGravity = Ogre::Vector3(0.0f, -9.81f, 0.0f);
    uint16_t mNbIter = 20;
    float mStepSize = 0.1f;
    float mCFM = 1e-5f;
    float mERP = 0.2f;
    CKEMVarVector3 mGravityVar;
    CKEMVarUnsignedShortInt mNbIterVar;
    CKEMVarFloat mStepSizeVar;
    CKEMVarFloat mCFMVar;
    CKEMVarFloat mERPVar;

    COdeWorld* mWorld = nullptr;
    std::vector<CPhysicObject*> mObjects;
    std::vector<CPhysicJoint*> mJoints;
    std::vector<CPhysicMaterial*> mMaterials;
    uint32_t mStepCount = 0;
    bool mJointDebug = false;
};

// The one physics manager.
extern CPhysicMgr gPhysicMgr;

// The speed at which a projectile launched at `angle` (radians) passes the
// point `distance` ahead and `height` above the launch point under `gravity`
// (a magnitude). 0 when no speed reaches that point (the target lies on or
// above the launch line, or the arguments are not usable numbers).
float ComputeLaunchSpeed(float distance, float angle, float height, float gravity);

// The two horizontal distances at which a projectile launched at `speed` and
// `angle` is at `height`: the far one (descending) first, then the near one.
// (-1, -1) when the trajectory never reaches that height.
std::pair<double, double> ComputeTrajectoryPoint(double speed, double angle, double height, double gravity);
