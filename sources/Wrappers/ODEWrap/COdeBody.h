// A movable actor's ODE body: mass, pose, velocities, enabling, and the
// queue of force and torque requests the world applies before every step.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>
#include <ode/ode.h>

#include <vector>

class COdeActor;
class COdeWorld;
struct MassDesc;
struct ShapeDesc;

struct ForceRequest {
    // Timed: lasts `seconds` of world steps.
    ForceRequest(const Ogre::Vector3& v, int vInWorld, const Ogre::Vector3& pos, int posInWorld, float seconds)
        : vector(v), position(pos), duration(seconds), oneStep(0), positionInWorld(posInWorld), vectorInWorld(vInWorld) {}
    // One step: acts in the next world step only.
    ForceRequest(const Ogre::Vector3& v, int vInWorld, const Ogre::Vector3& pos, int posInWorld)
        : vector(v), position(pos), duration(0.0f), oneStep(1), positionInWorld(posInWorld), vectorInWorld(vInWorld) {}

    Ogre::Vector3 vector;     // force or torque
    Ogre::Vector3 position;   // point of application (forces only)
    float duration;           // seconds remaining
    int oneStep;
    int positionInWorld;      // 1: world axes, other: body axes
    int vectorInWorld;        // 1: world axes, other: body axes
};

class COdeBody {
public:
    COdeBody(COdeWorld* world, COdeActor* actor);
    ~COdeBody();
    COdeBody(const COdeBody&) = delete;
    COdeBody& operator=(const COdeBody&) = delete;

    dBodyID getBodyId() const { return mBody; }
    COdeActor* getActor() const { return mActor; }
    const dMass& getMass() const { return mMass; }

    void setTotalMass(float total);
    void addMass(const MassDesc& desc);
    void addShapeMass(const ShapeDesc& shape, float value, int mode);
    // Throws on a null description.
    static void computeMass(const MassDesc* desc, dMass& mass);

    void setPosition(const Ogre::Vector3& position);
    Ogre::Vector3 getPosition() const;
    void setOrientation(const Ogre::Quaternion& orientation);
    Ogre::Quaternion getOrientation() const;
    void setLinearVelocity(const Ogre::Vector3& v);
    Ogre::Vector3 getLinearVelocity() const;
    void setAngularVelocity(const Ogre::Vector3& v);
    Ogre::Vector3 getAngularVelocity() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;

    void queueForce(const ForceRequest& request);
    void queueTorque(const ForceRequest& request);
    size_t getQueueSize() const { return mQueue.size(); }
    // Run by the world before every step: each request acts once per step;
    // a timed request's last partial step gets its exact share. Requests
    // wait while the owning actor is switched off.
    void applyQueuedForces(float step);
    void applyForce(const ForceRequest& request);
    void applyTorque(const ForceRequest& request);

private:
    enum { KIND_FORCE = 0, KIND_TORQUE = 1 };
    struct QueueEntry {
        int kind;
        ForceRequest request;
    };

    COdeWorld* mWorld;
    COdeActor* mActor;
    dBodyID mBody = nullptr;
    dMass mMass;
    std::vector<QueueEntry> mQueue;
};
