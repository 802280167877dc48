#include "CPhysicJoint.h"

#include "CPhysicMgr.h"
#include "CPhysicObject.h"
#include "PhysicLimits.h"

#include <CKEMSceneGraph.h>
#include <COdeActor.h>
#include <COdeJoint.h>
#include <COdeWorld.h>
#include <JointDesc.h>
#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace {
bool IsNoLimit(float low, float high)
{
    return low == CPhysicJoint::NO_LIMIT && high == CPhysicJoint::NO_LIMIT;
}

const char* UnusableAnchor(const Ogre::Vector3& anchor)
{
    return physiclimits::Within(anchor, physiclimits::kMaxCoordinate) ? nullptr : "the anchor";
}

const char* UnusableAxis(const Ogre::Vector3& axis)
{
    return physiclimits::UsableAxis(axis) ? nullptr : "an axis";
}

const char* UnusableLimits(float low, float high)
{
    return std::isfinite(low) && std::isfinite(high) ? nullptr : "a limit";
}

// The first of the values' complaints, or null.
const char* FirstOf(std::initializer_list<const char*> complaints)
{
    for (const char* complaint : complaints)
        if (complaint)
            return complaint;
    return nullptr;
}
}

// ---- base -------------------------------------------------------------------
CPhysicJoint::CPhysicJoint(CPhysicObject* object1, CPhysicObject* object2, int type)
    : mObject1(object1), mObject2(object2), mType(type)
{
    if (mObject1)
        mObject1->AddJoint(this);
    if (mObject2)
        mObject2->AddJoint(this);
    mDebug = gPhysicMgr.GetJointDebugFlag();
    if (mObject1)
        mName1 = mObject1->GetNodeName();
    if (mObject2)
        mName2 = mObject2->GetNodeName();
    RegisterVar(mName1Var, "CPHYSICJOINT_LINKED_KEM_SN1", &mName1);
    RegisterVar(mName2Var, "CPHYSICJOINT_LINKED_KEM_SN2", &mName2);
    RegisterVar(mTypeVar, "CPHYSICJOINT_TYPE", &mType);
}

CPhysicJoint::~CPhysicJoint()
{
    HideDebug();
    ReleaseLiveJoint();
}

void CPhysicJoint::ForgetObject(const CPhysicObject* object)
{
    if (object && mObject1 == object)
        mObject1 = nullptr;
    if (object && mObject2 == object)
        mObject2 = nullptr;
}

COdeJoint* CPhysicJoint::GetLiveJoint() const
{
    return (mLiveJoint && COdeWorld::IsLive(mLiveWorld)) ? mLiveJoint : nullptr;
}

void CPhysicJoint::ReleaseLiveJoint()
{
    if (COdeJoint* live = GetLiveJoint())
        mLiveWorld->RemoveJoint(live);
    mLiveJoint = nullptr;
    mLiveWorld = nullptr;
}

bool CPhysicJoint::BothMovable() const
{
    return mObject1 && mObject2 && mObject1->GetActorType() == CPhysicObject::MOVABLE_ACTOR &&
           mObject2->GetActorType() == CPhysicObject::MOVABLE_ACTOR;
}

void CPhysicJoint::MakeLiveJoint(int descType, const Ogre::Vector3& anchor, const Ogre::Vector3& axis1,
                                 const Ogre::Vector3& axis2)
{
    COdeWorld* world = gPhysicMgr.GetWorld();
    COdeActor* actor1 = mObject1 ? mObject1->GetActor() : nullptr;
    COdeActor* actor2 = mObject2 ? mObject2->GetActor() : nullptr;
    // A joint whose nodes were not found holds nothing; the world would
    // refuse it with an exception.
    if (!COdeWorld::IsLive(world) || (!actor1 && !actor2))
        return;
    switch (descType) {
    case JointDescBase::TYPE_BALL:
        mLiveJoint = world->CreateJoint(JointDescBall(actor1, actor2, anchor));
        break;
    case JointDescBase::TYPE_HINGE:
        mLiveJoint = world->CreateJoint(JointDescHinge(actor1, actor2, axis1, anchor));
        break;
    case JointDescBase::TYPE_HINGE2:
        mLiveJoint = world->CreateJoint(JointDescHinge2(actor1, actor2, axis1, axis2, anchor));
        break;
    case JointDescBase::TYPE_FIXED:
        mLiveJoint = world->CreateJoint(JointDescFixed(actor1, actor2));
        break;
    case JointDescBase::TYPE_SLIDER:
        mLiveJoint = world->CreateJoint(JointDescSlider(actor1, actor2, axis1));
        break;
    case JointDescBase::TYPE_UNIVERSAL:
        mLiveJoint = world->CreateJoint(JointDescUniversal(actor1, actor2, axis1, axis2, anchor));
        break;
    default:
        break;
    }
    mLiveWorld = mLiveJoint ? world : nullptr;
}

// ---- debug display -------------------------------------------------------------
std::string CPhysicJoint::GetDebugShapeName() const
{
    char name[48];
    std::snprintf(name, sizeof(name), "physicJoint%p", static_cast<const void*>(this));
    return name;
}

bool CPhysicJoint::ActorPositions(Ogre::Vector3& p1, Ogre::Vector3& p2) const
{
    COdeActor* actor1 = mObject1 ? mObject1->GetActor() : nullptr;
    COdeActor* actor2 = mObject2 ? mObject2->GetActor() : nullptr;
    if (!actor1 || !actor2)
        return false;
    p1 = actor1->getPosition();
    p2 = actor2->getPosition();
    return true;
}

CPhysicJoint::DebugPart CPhysicJoint::Part(const Ogre::Vector3& position, const Ogre::Vector3& direction,
                                           float length)
{
    DebugPart part;
    part.position = position;
    part.length = length;
    if (direction.squaredLength() > 1e-12f)
        part.orientation = Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(direction.normalisedCopy());
    return part;
}

Ogre::Quaternion CPhysicJoint::PartOrientation(size_t index) const
{
    return index < mDebugParts.size() ? mDebugParts[index].orientation : Ogre::Quaternion::IDENTITY;
}

bool CPhysicJoint::TurnedPartAxis(size_t index, const Ogre::Quaternion& rotation, Ogre::Vector3& axis) const
{
    const Ogre::Real norm = rotation.Norm();
    if (index >= mDebugParts.size() || !std::isfinite(norm) || norm < 1e-6f)
        return false;
    Ogre::Quaternion turn = rotation;
    turn.normalise();
    // Turned in world space, the part's local -Z is the new direction.
    axis = (turn * mDebugParts[index].orientation) * Ogre::Vector3::NEGATIVE_UNIT_Z;
    return true;
}

void CPhysicJoint::ShowDebug()
{
    mDebug = true;
    mDebugShown = true;
    UpdateDebug();
}

void CPhysicJoint::HideDebug()
{
    if (mDebugShown) {
        const CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
        if (hooks.removeDebugShape)
            hooks.removeDebugShape(GetDebugShapeName());
    }
    mDebug = false;
    mDebugShown = false;
    mDebugParts.clear();
}

void CPhysicJoint::UpdateDebug()
{
    if (!mDebug || !mDebugShown)
        return;
    mDebugParts.clear();
    // A joint to the static world (an object without a body still has an
    // actor) or one whose objects went has nothing to place.
    if (GetLiveJoint())
        PlaceDebugParts(mDebugParts);
    std::vector<Ogre::Vector3> lines;
    for (const DebugPart& part : mDebugParts) {
        const Ogre::Vector3 tip = part.position + part.orientation * (Ogre::Vector3::NEGATIVE_UNIT_Z * part.length);
        lines.push_back(part.position);
        lines.push_back(tip);
        // A small cross marks where the part sits.
        const float mark = std::max(part.length * 0.1f, 0.005f);
        for (const Ogre::Vector3& axis : {Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y}) {
            const Ogre::Vector3 d = part.orientation * (axis * mark);
            lines.push_back(part.position - d);
            lines.push_back(part.position + d);
        }
    }
    const CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
    if (hooks.drawDebugLines)
        hooks.drawDebugLines(GetDebugShapeName(), lines, "jointMaterial1");
}

// ---- fixed ------------------------------------------------------------------
CPhysicJoint_Fixed::CPhysicJoint_Fixed(CPhysicObject* object1, CPhysicObject* object2)
    : CPhysicJoint(object1, object2, CPhysicMgr::JOINT_FIXED)
{
    MakeLiveJoint(JointDescBase::TYPE_FIXED, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO);
    if (mDebug)
        ShowDebug();
}

void CPhysicJoint_Fixed::Create()
{
    ReleaseLiveJoint();
    MakeLiveJoint(JointDescBase::TYPE_FIXED, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO);
    UpdateDebug();
}

void CPhysicJoint_Fixed::PlaceDebugParts(std::vector<DebugPart>& parts) const
{
    Ogre::Vector3 p1, p2;
    if (ActorPositions(p1, p2))
        parts.push_back(Part(p1, p2 - p1, p1.distance(p2)));
}

Ogre::Vector3 CPhysicJoint_Fixed::GetAnchor() const
{
    return mDebugParts.empty() ? Ogre::Vector3::ZERO : mDebugParts[0].position;
}

Ogre::Quaternion CPhysicJoint_Fixed::GetAxisOrientation(const uint16_t* /*part*/) const { return PartOrientation(0); }

// ---- ball -------------------------------------------------------------------
CPhysicJoint_Ball::CPhysicJoint_Ball(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor)
    : CPhysicJoint(object1, object2, CPhysicMgr::JOINT_BALL), mAnchor(anchor)
{
    MakeLiveJoint(JointDescBase::TYPE_BALL, mAnchor, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO);
    if (mDebug)
        ShowDebug();
    RegisterVar(mAnchorVar, "CPHYSICJOINTBALL_ANCHOR", &mAnchor);
}

void CPhysicJoint_Ball::ApplyParams() { SetAnchor(mAnchor); }

const char* CPhysicJoint_Ball::UnusableValue() const { return UnusableAnchor(mAnchor); }

void CPhysicJoint_Ball::Create()
{
    ReleaseLiveJoint();
    MakeLiveJoint(JointDescBase::TYPE_BALL, mAnchor, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO);
    UpdateDebug();
}

void CPhysicJoint_Ball::TranslateAnchor(const Ogre::Vector3& delta) { SetAnchor(mAnchor + delta); }

void CPhysicJoint_Ball::PlaceDebugParts(std::vector<DebugPart>& parts) const
{
    Ogre::Vector3 p1, p2;
    COdeJoint* live = GetLiveJoint();
    if (!live || !ActorPositions(p1, p2))
        return;
    const Ogre::Vector3 anchor = live->getAnchor();
    const float d1 = anchor.distance(p1);
    const float d2 = anchor.distance(p2);
    const float m = std::min(d1, d2);
    parts.push_back(Part(anchor, p1 - anchor, d1));
    parts.push_back(Part(anchor, p2 - anchor, d2));
    parts.push_back(Part(anchor, Ogre::Vector3::NEGATIVE_UNIT_Z, m / 5.0f));
}

Ogre::Quaternion CPhysicJoint_Ball::GetAxisOrientation(const uint16_t* part) const
{
    if (!part || (*part != 1 && *part != 2))
        return Ogre::Quaternion::IDENTITY;
    return PartOrientation(*part - 1u);
}

void CPhysicJoint_Ball::SetAnchor(const Ogre::Vector3& anchor)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAnchor(0, anchor);
    mAnchor = anchor;
    UpdateDebug();
}

// ---- hinge ------------------------------------------------------------------
CPhysicJoint_Hinge::CPhysicJoint_Hinge(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& anchor,
                                       const Ogre::Vector3& axis)
    : CPhysicJoint(object1, object2, CPhysicMgr::JOINT_HINGE), mAnchor(anchor), mAxis(axis)
{
    MakeLiveJoint(JointDescBase::TYPE_HINGE, mAnchor, mAxis, Ogre::Vector3::ZERO);
    if (mDebug)
        ShowDebug();
    RegisterVar(mAnchorVar, "CPHYSICJOINTHINGE_ANCHOR", &mAnchor);
    RegisterVar(mAxisVar, "CPHYSICJOINTHINGE_AXIS", &mAxis);
    RegisterVar(mLowVar, "CPHYSICJOINTHINGE_LOWLIMIT", &mLow);
    RegisterVar(mHighVar, "CPHYSICJOINTHINGE_HIGHLIMIT", &mHigh);
}

void CPhysicJoint_Hinge::ApplyParams()
{
    SetAnchor(mAnchor);
    SetAxis(mAxis);
    SetLimits(mLow, mHigh);
}

const char* CPhysicJoint_Hinge::UnusableValue() const
{
    return FirstOf({UnusableAnchor(mAnchor), UnusableAxis(mAxis), UnusableLimits(mLow, mHigh)});
}

void CPhysicJoint_Hinge::Create()
{
    ReleaseLiveJoint();
    MakeLiveJoint(JointDescBase::TYPE_HINGE, mAnchor, mAxis, Ogre::Vector3::ZERO);
    if (!IsNoLimit(mLow, mHigh))
        SetLimits(mLow, mHigh);
    UpdateDebug();
}

void CPhysicJoint_Hinge::TranslateAnchor(const Ogre::Vector3& delta) { SetAnchor(mAnchor + delta); }

void CPhysicJoint_Hinge::PlaceDebugParts(std::vector<DebugPart>& parts) const
{
    Ogre::Vector3 p1, p2;
    COdeJoint* live = GetLiveJoint();
    if (!live || !ActorPositions(p1, p2))
        return;
    const Ogre::Vector3 anchor = live->getAnchor();
    const float m = std::min(anchor.distance(p1), anchor.distance(p2));
    parts.push_back(Part(anchor, Ogre::Vector3::NEGATIVE_UNIT_Z, 0.5f * m));
    parts.push_back(Part(anchor, live->getAxis(0), 0.5f * m));
}

Ogre::Quaternion CPhysicJoint_Hinge::GetAxisOrientation(const uint16_t* /*part*/) const { return PartOrientation(1); }

void CPhysicJoint_Hinge::SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation)
{
    Ogre::Vector3 axis;
    if (part && *part == 1 && TurnedPartAxis(1, rotation, axis))
        SetAxis(axis);
}

void CPhysicJoint_Hinge::SetAnchor(const Ogre::Vector3& anchor)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAnchor(0, anchor);
    mAnchor = anchor;
    UpdateDebug();
}

void CPhysicJoint_Hinge::SetAxis(const Ogre::Vector3& axis)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAxis(0, axis);
    mAxis = axis;
    UpdateDebug();
}

void CPhysicJoint_Hinge::SetLimits(float low, float high)
{
    mLow = low;
    mHigh = high;
    if (COdeJoint* live = GetLiveJoint())
        live->setLimits(0, low, high);
}

// ---- hinge-2 and universal --------------------------------------------------
CPhysicJoint_TwoAxes::CPhysicJoint_TwoAxes(CPhysicObject* object1, CPhysicObject* object2, int type, int descType,
                                           const char* prefix, const Ogre::Vector3& anchor,
                                           const Ogre::Vector3& axis1, const Ogre::Vector3& axis2)
    : CPhysicJoint(object1, object2, type), mDescType(descType), mAnchor(anchor), mAxis1(axis1), mAxis2(axis2)
{
    const std::string p(prefix);
    RegisterVar(mAnchorVar, (p + "_ANCHOR").c_str(), &mAnchor);
    RegisterVar(mAxis1Var, (p + "_AXIS1").c_str(), &mAxis1);
    RegisterVar(mLow1Var, (p + "_LOWLIMIT1").c_str(), &mLow1);
    RegisterVar(mHigh1Var, (p + "_HIGHLIMIT1").c_str(), &mHigh1);
    RegisterVar(mAxis2Var, (p + "_AXIS2").c_str(), &mAxis2);
    RegisterVar(mLow2Var, (p + "_LOWLIMIT2").c_str(), &mLow2);
    RegisterVar(mHigh2Var, (p + "_HIGHLIMIT2").c_str(), &mHigh2);
}

void CPhysicJoint_TwoAxes::MakeFirstLiveJoint()
{
    if (CanHold())
        MakeLiveJoint(mDescType, mAnchor, mAxis1, mAxis2);
    if (mDebug)
        ShowDebug();
}

void CPhysicJoint_TwoAxes::ApplyParams()
{
    SetAnchor(mAnchor);
    SetAxis1(mAxis1);
    SetLimits1(mLow1, mHigh1);
    SetAxis2(mAxis2);
    SetLimits2(mLow2, mHigh2);
}

const char* CPhysicJoint_TwoAxes::UnusableValue() const
{
    const char* complaint = FirstOf({UnusableAnchor(mAnchor), UnusableAxis(mAxis1), UnusableAxis(mAxis2),
                                     UnusableLimits(mLow1, mHigh1), UnusableLimits(mLow2, mHigh2)});
    // Two parallel axes leave ODE no frame to build.
    if (!complaint && mAxis1.normalisedCopy().crossProduct(mAxis2.normalisedCopy()).squaredLength() < 1e-8f)
        complaint = "parallel axes";
    return complaint;
}

void CPhysicJoint_TwoAxes::Create()
{
    if (!CanHold())
        return;
    ReleaseLiveJoint();
    MakeLiveJoint(mDescType, mAnchor, mAxis1, mAxis2);
    if (!IsNoLimit(mLow1, mHigh1))
        SetLimits1(mLow1, mHigh1);
    if (!IsNoLimit(mLow2, mHigh2))
        SetLimits2(mLow2, mHigh2);
    UpdateDebug();
}

void CPhysicJoint_TwoAxes::TranslateAnchor(const Ogre::Vector3& delta) { SetAnchor(mAnchor + delta); }

void CPhysicJoint_TwoAxes::PlaceDebugParts(std::vector<DebugPart>& parts) const
{
    Ogre::Vector3 p1, p2;
    COdeJoint* live = GetLiveJoint();
    if (!live || !ActorPositions(p1, p2))
        return;
    const Ogre::Vector3 anchor = live->getAnchor();
    const float m = std::min(anchor.distance(p1), anchor.distance(p2));
    parts.push_back(Part(anchor, live->getAxis(0), 0.5f * m));
    parts.push_back(Part(anchor, live->getAxis(1), 0.5f * m));
}

Ogre::Quaternion CPhysicJoint_TwoAxes::GetAxisOrientation(const uint16_t* part) const
{
    if (!part || (*part != 1 && *part != 2))
        return Ogre::Quaternion::IDENTITY;
    return PartOrientation(*part - 1u);
}

void CPhysicJoint_TwoAxes::SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation)
{
    Ogre::Vector3 axis;
    if (!part || (*part != 1 && *part != 2) || !TurnedPartAxis(*part - 1u, rotation, axis))
        return;
    if (*part == 1)
        SetAxis1(axis);
    else
        SetAxis2(axis);
}

void CPhysicJoint_TwoAxes::SetAnchor(const Ogre::Vector3& anchor)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAnchor(0, anchor);
    mAnchor = anchor;
    UpdateDebug();
}

void CPhysicJoint_TwoAxes::SetAxis1(const Ogre::Vector3& axis)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAxis(0, axis);
    mAxis1 = axis;
    UpdateDebug();
}

void CPhysicJoint_TwoAxes::SetAxis2(const Ogre::Vector3& axis)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAxis(1, axis);
    mAxis2 = axis;
    UpdateDebug();
}

void CPhysicJoint_TwoAxes::SetLimits1(float low, float high)
{
    mLow1 = low;
    mHigh1 = high;
    if (COdeJoint* live = GetLiveJoint())
        live->setLimits(0, low, high);
}

void CPhysicJoint_TwoAxes::SetLimits2(float low, float high)
{
    mLow2 = low;
    mHigh2 = high;
    if (COdeJoint* live = GetLiveJoint())
        live->setLimits(1, low, high);
}

CPhysicJoint_Hinge2::CPhysicJoint_Hinge2(CPhysicObject* object1, CPhysicObject* object2,
                                         const Ogre::Vector3& anchor, const Ogre::Vector3& axis1,
                                         const Ogre::Vector3& axis2)
    : CPhysicJoint_TwoAxes(object1, object2, CPhysicMgr::JOINT_HINGE2, JointDescBase::TYPE_HINGE2,
                           "CPHYSICJOINTHINGE2", anchor, axis1, axis2)
{
    MakeFirstLiveJoint();
}

CPhysicJoint_Universal::CPhysicJoint_Universal(CPhysicObject* object1, CPhysicObject* object2,
                                               const Ogre::Vector3& anchor, const Ogre::Vector3& axis1,
                                               const Ogre::Vector3& axis2)
    : CPhysicJoint_TwoAxes(object1, object2, CPhysicMgr::JOINT_UNIVERSAL, JointDescBase::TYPE_UNIVERSAL,
                           "CPHYSICJOINTUNIV", anchor, axis1, axis2)
{
    MakeFirstLiveJoint();
}

// ---- slider -----------------------------------------------------------------
CPhysicJoint_Slider::CPhysicJoint_Slider(CPhysicObject* object1, CPhysicObject* object2, const Ogre::Vector3& axis)
    : CPhysicJoint(object1, object2, CPhysicMgr::JOINT_SLIDER), mAxis(axis)
{
    MakeLiveJoint(JointDescBase::TYPE_SLIDER, Ogre::Vector3::ZERO, mAxis, Ogre::Vector3::ZERO);
    if (mDebug)
        ShowDebug();
    RegisterVar(mAxisVar, "CPHYSICJOINTSLIDER_AXIS", &mAxis);
    RegisterVar(mLowVar, "CPHYSICJOINTSLIDER_LOWLIMIT", &mLow);
    RegisterVar(mHighVar, "CPHYSICJOINTSLIDER_HIGHLIMIT", &mHigh);
}

void CPhysicJoint_Slider::ApplyParams()
{
    SetAxis(mAxis);
    SetLimits(mLow, mHigh);
}

const char* CPhysicJoint_Slider::UnusableValue() const
{
    return FirstOf({UnusableAxis(mAxis), UnusableLimits(mLow, mHigh)});
}

void CPhysicJoint_Slider::Create()
{
    ReleaseLiveJoint();
    MakeLiveJoint(JointDescBase::TYPE_SLIDER, Ogre::Vector3::ZERO, mAxis, Ogre::Vector3::ZERO);
    if (!IsNoLimit(mLow, mHigh))
        SetLimits(mLow, mHigh);
    UpdateDebug();
}

void CPhysicJoint_Slider::PlaceDebugParts(std::vector<DebugPart>& parts) const
{
    Ogre::Vector3 p1, p2;
    COdeJoint* live = GetLiveJoint();
    if (!live || !ActorPositions(p1, p2))
        return;
    const Ogre::Vector3 middle = (p1 + p2) * 0.5f;
    const Ogre::Vector3 axis = live->getAxis(0);
    parts.push_back(Part(middle, axis, middle.distance(p1)));
    parts.push_back(Part(middle, -axis, middle.distance(p2)));
}

Ogre::Vector3 CPhysicJoint_Slider::GetAnchor() const
{
    return mDebugParts.empty() ? Ogre::Vector3::ZERO : mDebugParts[0].position;
}

Ogre::Quaternion CPhysicJoint_Slider::GetAxisOrientation(const uint16_t* part) const
{
    return part && *part == 1 ? PartOrientation(0) : Ogre::Quaternion::IDENTITY;
}

void CPhysicJoint_Slider::SetDebugTransform(const uint16_t* part, const Ogre::Quaternion& rotation)
{
    Ogre::Vector3 axis;
    if (part && *part == 1 && TurnedPartAxis(0, rotation, axis))
        SetAxis(axis);
}

void CPhysicJoint_Slider::SetAxis(const Ogre::Vector3& axis)
{
    if (COdeJoint* live = GetLiveJoint())
        live->setAxis(0, axis);
    mAxis = axis;
    UpdateDebug();
}

void CPhysicJoint_Slider::SetLimits(float low, float high)
{
    mLow = low;
    mHigh = high;
    if (COdeJoint* live = GetLiveJoint())
        live->setLimits(0, low, high);
}
