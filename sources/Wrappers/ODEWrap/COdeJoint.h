// Wrappers of the ODE joints: ball, hinge, hinge-2, fixed, slider and
// universal. The world creates them from joint descriptions
// (COdeWorld::CreateJoint), attaches them and sets their anchor and axes; the
// scene's joints then drive them through the operations below.
//
// ODE aborts the whole program on a zero axis or on two parallel axes of a
// two-axis joint, and on a hinge-2 held by one body: such values are refused
// here (logged, joint unchanged), since they come from scene files.
#pragma once

#include <OgreVector.h>
#include <ode/ode.h>

class COdeBody;
class COdeWorld;

class COdeJoint {
public:
    virtual ~COdeJoint();
    COdeJoint(const COdeJoint&) = delete;
    COdeJoint& operator=(const COdeJoint&) = delete;

    COdeWorld* getWorld() const { return mWorld; }
    dJointID getJointId() const { return mJoint; }
    bool isAttached() const { return mAttached; }

    // Either body may be null (the static world), not both.
    virtual void attach(COdeBody* body1, COdeBody* body2);

    virtual int getType() const = 0;   // JointDescBase::TYPE_*
    virtual int getAxisCount() const = 0;
    virtual int getAnchorCount() const = 0;
    // Index 0 is the first axis (and the only anchor), 1 the second axis.
    virtual void setAxis(int index, const Ogre::Vector3& axis);
    // Both axes at once, so that a pair that is valid as a whole is never
    // refused for passing through a parallel state.
    virtual void setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2);
    virtual void setAnchor(int index, const Ogre::Vector3& point);
    // Stored only; ODE sees the values when the motor is enabled.
    virtual void setMotor(int index, float velocity, float maxForce);
    virtual void setLimits(int index, float low, float high);
    virtual void enableMotor(int index, bool on);

    // The hinge-2 suspension follows kp and kd (and the world's step).
    void setSpring(float kp);
    float getSpring() const { return mSpring; }
    void setDamping(float kd);
    float getDamping() const { return mDamping; }

    // ODE's current anchor and axes, world coordinates; zero when the kind
    // has none.
    virtual Ogre::Vector3 getAnchor() const { return Ogre::Vector3::ZERO; }
    virtual Ogre::Vector3 getAxis(int /*index*/) const { return Ogre::Vector3::ZERO; }

protected:
    COdeJoint(COdeWorld* world, dJointID joint, const char* failure);
    void updateSuspension();
    // False (logged) for a zero or non-finite axis.
    static bool checkAxis(const Ogre::Vector3& axis, const char* kind);
    // False (logged) when the two axes are not linearly independent.
    static bool checkIndependent(const Ogre::Vector3& a, const Ogre::Vector3& b, const char* kind);

    COdeWorld* mWorld;
    dJointID mJoint = nullptr;
    float mSpring = 2.0f;
    float mDamping = 0.25f;
    bool mAttached = false;
};

class COdeBallJoint : public COdeJoint {
public:
    explicit COdeBallJoint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 0; }
    int getAnchorCount() const override { return 1; }
    void setAnchor(int index, const Ogre::Vector3& point) override;
    Ogre::Vector3 getAnchor() const override;
};

class COdeHingeJoint : public COdeJoint {
public:
    explicit COdeHingeJoint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 1; }
    int getAnchorCount() const override { return 1; }
    void setAxis(int index, const Ogre::Vector3& axis) override;
    void setAnchor(int index, const Ogre::Vector3& point) override;
    void setMotor(int index, float velocity, float maxForce) override;
    void setLimits(int index, float low, float high) override;
    void enableMotor(int index, bool on) override;
    Ogre::Vector3 getAnchor() const override;
    Ogre::Vector3 getAxis(int index) const override;

private:
    float mVelocity = 0.0f;
    float mMaxForce = 0.0f;
};

class COdeHinge2Joint : public COdeJoint {
public:
    explicit COdeHinge2Joint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 2; }
    int getAnchorCount() const override { return 1; }
    // ODE cannot hold a hinge-2 by one body: both are required.
    void attach(COdeBody* body1, COdeBody* body2) override;
    void setAxis(int index, const Ogre::Vector3& axis) override;
    void setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2) override;
    void setAnchor(int index, const Ogre::Vector3& point) override;
    void setMotor(int index, float velocity, float maxForce) override;
    void setLimits(int index, float low, float high) override;
    void enableMotor(int index, bool on) override;
    Ogre::Vector3 getAnchor() const override;
    Ogre::Vector3 getAxis(int index) const override;

private:
    float mVelocity1 = 0.0f;
    float mVelocity2 = 0.0f;
    float mMaxForce1 = 0.0f;
    float mMaxForce2 = 0.0f;
};

class COdeFixedJoint : public COdeJoint {
public:
    explicit COdeFixedJoint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 0; }
    int getAnchorCount() const override { return 0; }
    // Freezes the relative pose the bodies have now.
    void attach(COdeBody* body1, COdeBody* body2) override;
};

class COdeSliderJoint : public COdeJoint {
public:
    explicit COdeSliderJoint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 1; }
    int getAnchorCount() const override { return 0; }
    void setAxis(int index, const Ogre::Vector3& axis) override;
    void setMotor(int index, float velocity, float maxForce) override;
    void setLimits(int index, float low, float high) override;
    void enableMotor(int index, bool on) override;
    Ogre::Vector3 getAxis(int index) const override;

private:
    float mVelocity = 0.0f;
    float mMaxForce = 0.0f;
};

class COdeUniversalJoint : public COdeJoint {
public:
    explicit COdeUniversalJoint(COdeWorld* world);
    int getType() const override;
    int getAxisCount() const override { return 2; }
    int getAnchorCount() const override { return 1; }
    void setAxis(int index, const Ogre::Vector3& axis) override;
    void setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2) override;
    void setAnchor(int index, const Ogre::Vector3& point) override;
    void setMotor(int index, float velocity, float maxForce) override;
    void setLimits(int index, float low, float high) override;
    void enableMotor(int index, bool on) override;
    Ogre::Vector3 getAnchor() const override;
    Ogre::Vector3 getAxis(int index) const override;

private:
    float mVelocity1 = 0.0f;
    float mVelocity2 = 0.0f;
    float mMaxForce1 = 0.0f;
    float mMaxForce2 = 0.0f;
};
