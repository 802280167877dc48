// A rigid body or a piece of static collision bound to a scene node: one
// actor in the physics world with at most one shape (box, sphere or capsule)
// placed on a child graphics node of the scene node, the pose copied between
// node and actor, and the velocity and force interface the game, the scripts
// and the computer opponent move balls with.
#pragma once

#include <CKEMVar.h>

#include <OgreMatrix4.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>
#include <vector>

class CKEMSceneNode;
class COdeActor;
class COdeBody;
class COdeGeom;
class COdeWorld;
class CPhysicJoint;
class CPhysicMaterial;
class CWrapOgreEntity;
class CWrapOgreNode;

class CPhysicObject : public CKEMVarList {
public:
    enum { STATIC_ACTOR = 0, MOVABLE_ACTOR = 1 };
    enum { SHAPE_BOX = 0, SHAPE_SPHERE = 1, SHAPE_CAPSULE = 2 };

    // Asks the manager's world at once for an actor of that type.
    explicit CPhysicObject(int actorType);
    // Its joints and actor go with it (the node unregisters it first).
    ~CPhysicObject() override;
    CPhysicObject(const CPhysicObject&) = delete;
    CPhysicObject& operator=(const CPhysicObject&) = delete;

    // Called by the node when it takes the object: the shape node goes under
    // the node's graphics node and the actor to the node's pose.
    void AttachToNode(CKEMSceneNode* node);
    CKEMSceneNode* GetNode() const { return mNode; }
    // Rebuilds actor, shape, mass and offset from the variables.
    void ApplyVars();

    void CreateActor(int actorType);
    // A material that is not listed by the manager is not taken.
    void BuildShapes(int shapeType, CPhysicMaterial* material);
    void SetBoxShape(const Ogre::Vector3& size);
    void SetSphereShape(float radius);
    void SetCapsuleShape(float height, float radius);
    // Every movable object has the inertia of a unit solid sphere of its
    // mass. 0 or a static object: nothing changes.
    void SetMass(float mass);
    float GetMass() const { return mMass; }

    // Node pose to actor; body pose to node (movable objects only).
    void SyncFromNode();
    void SyncToNode();

    // The shape's offset from the node.
    void SetTransform(const Ogre::Vector3& position);
    void SetOrientation(const Ogre::Quaternion& orientation);
    void UpdateTransformVar();
    const Ogre::Matrix4& GetTransform() const { return mTransform; }
    // The shape's pose: world for space 2, relative to the node otherwise.
    Ogre::Vector3 GetNodePosition(int space) const;
    Ogre::Quaternion GetNodeOrientation(int space) const;

    void SetActive(bool active);
    bool IsActive() const;

    // duration 0: the next world step only; otherwise that many seconds of
    // world steps. Flags: 1 world axes, anything else body axes.
    void addForce(const Ogre::Vector3& force, int forceInWorld, const Ogre::Vector3& position, int positionInWorld,
                  float duration);
    void addTorque(const Ogre::Vector3& torque, int torqueInWorld, const Ogre::Vector3& position,
                   int positionInWorld, float duration);
    void setLinearVelocity(const Ogre::Vector3& velocity);
    void setAngularVelocity(const Ogre::Vector3& velocity);
    Ogre::Vector3 getLinearVelocity() const;
    Ogre::Vector3 getAngularVelocity() const;

    void UpdateNodeName();
    const std::string& GetNodeName() const { return mNodeName; }
    // With a name prefix the loader puts the prefix back in front.
    void SetNodeName(const std::string& name) { mNodeName = name; }

    COdeActor* GetActor() const;
    COdeBody* GetBody() const;
    COdeGeom* GetGeom() const;
    int GetActorType() const { return mActorType; }
    int GetShapeType() const { return mShapeType; }
    CPhysicMaterial* GetMaterial() const { return mMaterial; }
    const std::string& GetMaterialId() const { return mMaterialId; }
    // The manager deleted the material (scene cleared): drop the pointer.
    void ForgetMaterial(const CPhysicMaterial* material);

    void AddJoint(CPhysicJoint* joint);
    void RemoveJoint(CPhysicJoint* joint);
    const std::vector<CPhysicJoint*>& GetJoints() const { return mJoints; }
    void RecreateJoints();
    void RemoveHinge2Joints();

    void ShowDebug(bool show);
    void CreateDebugShapes();
    void HideDebug();
    void SetDebugMaterial(const std::string& name);
    bool IsDebugShown() const { return mDebugShown; }

    CWrapOgreNode* GetShapeNode() const { return mShapeNode; }

private:
    // The world the actor lives in, when it still exists.
    COdeWorld* LiveWorld() const;
    void ReleaseActor();
    void ReleaseMaterial();
    // The shape's world pose, from the shape node (or from the node and the
    // offset when there is no shape node).
    void ShapeWorldPose(Ogre::Vector3& position, Ogre::Quaternion& orientation) const;

    // Variables, in their file order.
    std::string mNodeName;
    int32_t mActorType;
    int32_t mShapeType = SHAPE_BOX;
    float mMass = 0.0f;
    Ogre::Vector3 mBoxSize = Ogre::Vector3(1.0f, 1.0f, 1.0f);
    float mSphereRadius = 1.0f;
    float mCapsuleHeight = 1.0f;
    float mCapsuleRadius = 1.0f;
    Ogre::Matrix4 mTransform = Ogre::Matrix4::IDENTITY;
    std::string mMaterialId = "Default";

    CKEMSceneNode* mNode = nullptr;
    CWrapOgreNode* mShapeNode = nullptr;
    CWrapOgreEntity* mDebugEntity = nullptr;
    COdeWorld* mWorld = nullptr;
    COdeActor* mActor = nullptr;
    COdeGeom* mGeom = nullptr;
    COdeBody* mBody = nullptr;
    CPhysicMaterial* mMaterial = nullptr;
    std::vector<CPhysicJoint*> mJoints;
    bool mDebugShown = false;
    bool mBadPoseLogged = false;

    CKEMVarStringRef mNodeNameVar;
    CKEMVarInt mActorTypeVar;
    CKEMVarInt mShapeTypeVar;
    CKEMVarFloat mMassVar;
    CKEMVarVector3 mBoxSizeVar;
    CKEMVarFloat mSphereRadiusVar;
    CKEMVarFloat mCapsuleHeightVar;
    CKEMVarFloat mCapsuleRadiusVar;
    CKEMVarMatrix4 mTransformVar;
    CKEMVarStringRef mMaterialIdVar;
};
