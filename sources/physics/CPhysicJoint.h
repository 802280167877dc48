// A joint between two physic objects, the scene-file side of one ODE joint:
// its parameters are variables read from and written to the scene file, the
// live joint is made by the world from a joint description and made again
// whenever the objects' bodies change.
#pragma once

#include <CKEMVar.h>

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>

class COdeJoint;
class COdeWorld;
class CPhysicObject;

class CPhysicJoint : public CKEMVarList {
public:
    // Limits of this value on both sides mean "no stops" to Create.
    static constexpr float NO_LIMIT = 100000.0f;

    // Releases the live joint. The manager unlinks the joint from its
    // objects before deleting it.
    ~CPhysicJoint() override;

    virtual void ApplyParams() {}
    virtual int GetType() const { return mType; }
    // Debug meshes are not drawn by this build (nothing switches them on):
    // the debug operations keep their no-part results.
    virtual void UpdateDebug() {}
    // Destroys the live joint and makes it again from the stored values and
    // the objects' current actors.
    virtual void Create() = 0;
    virtual Ogre::Vector3 GetAnchor() const { return Ogre::Vector3::ZERO; }
    virtual void TranslateAnchor(const Ogre::Vector3& /*delta*/) {}
    virtual Ogre::Quaternion GetAxisOrientation(const uint16_t* /*part*/) const { return Ogre::Quaternion::IDENTITY; }
    virtual void SetDebugTransform(const uint16_t* /*part*/, const Ogre::Quaternion& /*rotation*/) {}
    virtual void ShowDebug() {}
    virtual void HideDebug() {}

    CPhysicObject* GetObject1() const { return mObject1; }
    CPhysicObject* GetObject2() const { return mObject2; }
    // An object that goes away without deleting the joint.
    void ForgetObject(const CPhysicObject* object);
    COdeJoint* GetLiveJoint() const;
    const std::string& GetLinkedName1() const { return mName1; }
    const std::string& GetLinkedName2() const { return mName2; }

protected:
    CPhysicJoint(CPhysicObject* object1, CPhysicObject* object2, int type);
    // The live joint goes through its world (while that world exists).
    void ReleaseLiveJoint();
    // Asks the manager's world for the live joint of `desc`'s kind; nothing
    // when neither object has an actor.
    void MakeLiveJoint(int descType, const Ogre::Vector3& anchor, const Ogre::Vector3& axis1,
                       const Ogre::Vector3& axis2);
    bool BothMovable() const;

    CPhysicObject* mObject1;
    CPhysicObject* mObject2;
    COdeJoint* mLiveJoint = nullptr;
    COdeWorld* mLiveWorld = nullptr;
    std::string mName1;
    std::string mName2;
    int32_t mType;
    bool mDebug = false;

private:
    CKEMVarStringRef mName1Var;
    CKEMVarStringRef mName2Var;
    CKEMVarInt mTypeVar;
};

class CPhysicJoint_Fixed : public CPhysicJoint {
public:
    CPhysicJoint_Fixed(CPhysicObject* object1, CPhysicObject* object2);
    void Create() override;
};

class CPhysicJoint_Ball : public CPhysicJoint {
public:
    CPhysicJoint_Ball(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor);
    void ApplyParams() override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);

private:
    Ogre::Vector3 mAnchor;
    CKEMVarVector3 mAnchorVar;
};

class CPhysicJoint_Hinge : public CPhysicJoint {
public:
    CPhysicJoint_Hinge(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor,
                       const Ogre::Vector3& axis);
    void ApplyParams() override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);
    void SetAxis(const Ogre::Vector3& axis);
    void SetLimits(float low, float high);
    float GetLowLimit() const { return mLow; }
    float GetHighLimit() const { return mHigh; }

private:
    Ogre::Vector3 mAnchor;
    Ogre::Vector3 mAxis;
    float mLow = -NO_LIMIT;
    float mHigh = NO_LIMIT;
    CKEMVarVector3 mAnchorVar;
    CKEMVarVector3 mAxisVar;
    CKEMVarFloat mLowVar;
    CKEMVarFloat mHighVar;
};

// Hinge-2 and universal joints share their layout: an anchor and two axes
// with a limit pair each.
class CPhysicJoint_TwoAxes : public CPhysicJoint {
public:
    void ApplyParams() override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);
    void SetAxis1(const Ogre::Vector3& axis);
    void SetAxis2(const Ogre::Vector3& axis);
    void SetLimits1(float low, float high);
    void SetLimits2(float low, float high);

protected:
    CPhysicJoint_TwoAxes(CPhysicObject* object1, CPhysicObject* object2, int type, int descType,
                         const char* prefix, const Ogre::Vector3& anchor, const Ogre::Vector3& axis1,
                         const Ogre::Vector3& axis2);
    // The hinge-2 holds only between two movable objects.
    virtual bool CanHold() const { return true; }
    // The first live joint, from the kind's constructor.
    void MakeFirstLiveJoint();

    int mDescType;
    Ogre::Vector3 mAnchor;
    Ogre::Vector3 mAxis1;
    Ogre::Vector3 mAxis2;
    float mLow1 = -NO_LIMIT;
    float mHigh1 = NO_LIMIT;
    float mLow2 = -NO_LIMIT;
    float mHigh2 = NO_LIMIT;

private:
    CKEMVarVector3 mAnchorVar;
    CKEMVarVector3 mAxis1Var;
    CKEMVarFloat mLow1Var;
    CKEMVarFloat mHigh1Var;
    CKEMVarVector3 mAxis2Var;
    CKEMVarFloat mLow2Var;
    CKEMVarFloat mHigh2Var;
};

class CPhysicJoint_Hinge2 : public CPhysicJoint_TwoAxes {
public:
    CPhysicJoint_Hinge2(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor,
                        const Ogre::Vector3& axis1, const Ogre::Vector3& axis2);

protected:
    bool CanHold() const override { return BothMovable(); }
};

class CPhysicJoint_Universal : public CPhysicJoint_TwoAxes {
public:
    CPhysicJoint_Universal(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor,
                           const Ogre::Vector3& axis1, const Ogre::Vector3& axis2);
};

class CPhysicJoint_Slider : public CPhysicJoint {
public:
    CPhysicJoint_Slider(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& axis);
    void ApplyParams() override;
    void Create() override;
    void SetAxis(const Ogre::Vector3& axis);
    void SetLimits(float low, float high);

private:
    Ogre::Vector3 mAxis;
    float mLow = -NO_LIMIT;
    float mHigh = NO_LIMIT;
    CKEMVarVector3 mAxisVar;
    CKEMVarFloat mLowVar;
    CKEMVarFloat mHighVar;
};
