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
#include <vector>

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
    // What of the stored values ODE cannot take (a coordinate that is not
    // finite or out of range, an axis without a direction, a limit that is not
    // a number), or null when all are usable.
    virtual const char* UnusableValue() const { return nullptr; }
    virtual int GetType() const { return mType; }
    // With the debug display on, re-places the debug parts (anchors and
    // axes) from the live joint and draws them as lines through the debug
    // renderer; nothing while it is off.
    virtual void UpdateDebug();
    // Destroys the live joint and makes it again from the stored values and
    // the objects' current actors.
    virtual void Create() = 0;
    virtual Ogre::Vector3 GetAnchor() const { return Ogre::Vector3::ZERO; }
    virtual void TranslateAnchor(const Ogre::Vector3& /*delta*/) {}
    virtual Ogre::Quaternion GetAxisOrientation(const uint16_t* /*part*/) const { return Ogre::Quaternion::IDENTITY; }
    // Turns a shown axis part by `rotation` in world space and makes the
    // direction it then points along the joint's axis (an editor's handle);
    // nothing for kinds without axis parts, other part numbers or while the
    // parts are not shown.
    virtual void SetDebugTransform(const uint16_t* /*part*/, const Ogre::Quaternion& /*rotation*/) {}
    virtual void ShowDebug();
    virtual void HideDebug();

    // One debug part: where it sits, the way its local -Z points and its
    // length along it.
    struct DebugPart {
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        float length = 0.0f;
    };
    const std::vector<DebugPart>& GetDebugParts() const { return mDebugParts; }
    bool IsDebugShown() const { return mDebugShown; }
    // The debug renderer's name of this joint's lines.
    std::string GetDebugShapeName() const;

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
    // The parts of this kind, placed from the live joint and the actors.
    virtual void PlaceDebugParts(std::vector<DebugPart>& parts) const = 0;
    // Actor positions (false when an object has no actor).
    bool ActorPositions(Ogre::Vector3& p1, Ogre::Vector3& p2) const;
    // A part pointing its local -Z along `direction`.
    static DebugPart Part(const Ogre::Vector3& position, const Ogre::Vector3& direction, float length);
    // The world orientation of part `index` (0-based), identity without it.
    Ogre::Quaternion PartOrientation(size_t index) const;
    // The direction part `index` points along once turned by `rotation` in
    // world space; false without that part or with a rotation that is not one.
    bool TurnedPartAxis(size_t index, const Ogre::Quaternion& rotation, Ogre::Vector3& axis) const;

    CPhysicObject* mObject1;
    CPhysicObject* mObject2;
    COdeJoint* mLiveJoint = nullptr;
    COdeWorld* mLiveWorld = nullptr;
    std::string mName1;
    std::string mName2;
    int32_t mType;
    bool mDebug = false;
    bool mDebugShown = false;
    std::vector<DebugPart> mDebugParts;

private:
    CKEMVarStringRef mName1Var;
    CKEMVarStringRef mName2Var;
    CKEMVarInt mTypeVar;
};

class CPhysicJoint_Fixed : public CPhysicJoint {
public:
    CPhysicJoint_Fixed(CPhysicObject* object1, CPhysicObject* object2);
    void Create() override;
    // The debug part's world position and orientation (at object 1, pointing
    // to object 2); zero and identity while it is not shown.
    Ogre::Vector3 GetAnchor() const override;
    Ogre::Quaternion GetAxisOrientation(const uint16_t* part) const override;

protected:
    void PlaceDebugParts(std::vector<DebugPart>& parts) const override;
};

class CPhysicJoint_Ball : public CPhysicJoint {
public:
    CPhysicJoint_Ball(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor);
    void ApplyParams() override;
    const char* UnusableValue() const override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);
    // Part 1 or 2: the part pointing at object 1 or 2.
    Ogre::Quaternion GetAxisOrientation(const uint16_t* part) const override;

protected:
    void PlaceDebugParts(std::vector<DebugPart>& parts) const override;

private:
    Ogre::Vector3 mAnchor;
    CKEMVarVector3 mAnchorVar;
};

class CPhysicJoint_Hinge : public CPhysicJoint {
public:
    CPhysicJoint_Hinge(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor,
                       const Ogre::Vector3& axis);
    void ApplyParams() override;
    const char* UnusableValue() const override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);
    void SetAxis(const Ogre::Vector3& axis);
    void SetLimits(float low, float high);
    float GetLowLimit() const { return mLow; }
    float GetHighLimit() const { return mHigh; }
    // The axis part, whatever the part number.
    Ogre::Quaternion GetAxisOrientation(const uint16_t* part) const override;
    // Part 1: the axis part.
    void SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation) override;

protected:
    void PlaceDebugParts(std::vector<DebugPart>& parts) const override;

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
    const char* UnusableValue() const override;
    void Create() override;
    Ogre::Vector3 GetAnchor() const override { return mAnchor; }
    void TranslateAnchor(const Ogre::Vector3& delta) override;
    void SetAnchor(const Ogre::Vector3& anchor);
    void SetAxis1(const Ogre::Vector3& axis);
    void SetAxis2(const Ogre::Vector3& axis);
    void SetLimits1(float low, float high);
    void SetLimits2(float low, float high);
    // Part 1 or 2: the part along axis 1 or 2.
    Ogre::Quaternion GetAxisOrientation(const uint16_t* part) const override;
    void SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation) override;

protected:
    void PlaceDebugParts(std::vector<DebugPart>& parts) const override;
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
    const char* UnusableValue() const override;
    void Create() override;
    void SetAxis(const Ogre::Vector3& axis);
    void SetLimits(float low, float high);
    // Debug part 1's world position (midway between the objects) and, for
    // part 1, its orientation (along the axis); zero and identity otherwise.
    Ogre::Vector3 GetAnchor() const override;
    Ogre::Quaternion GetAxisOrientation(const uint16_t* part) const override;
    // Part 1: the part along the axis.
    void SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation) override;

protected:
    void PlaceDebugParts(std::vector<DebugPart>& parts) const override;

private:
    Ogre::Vector3 mAxis;
    float mLow = -NO_LIMIT;
    float mHigh = NO_LIMIT;
    CKEMVarVector3 mAxisVar;
    CKEMVarFloat mLowVar;
    CKEMVarFloat mHighVar;
};
