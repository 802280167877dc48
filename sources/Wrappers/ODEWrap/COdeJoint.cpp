#include "COdeJoint.h"

#include "COdeBody.h"
#include "COdeWorld.h"
#include "JointDesc.h"
#include "KEMException.h"
#include "OdeConvert.h"
#include "Platform.h"

#include <cmath>

namespace {
Ogre::Vector3 ToVector(const dVector3 v) { return OdeToVector(v); }

bool IsFinite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
}

// ---- base -------------------------------------------------------------------
COdeJoint::COdeJoint(COdeWorld* world, dJointID joint, const char* failure) : mWorld(world), mJoint(joint)
{
    if (!mJoint)
        KEM_THROW(failure);
    updateSuspension();
}

COdeJoint::~COdeJoint()
{
    if (mJoint)
        dJointDestroy(mJoint);
    mJoint = nullptr;
}

void COdeJoint::attach(COdeBody* body1, COdeBody* body2)
{
    if (!body1 && !body2)
        KEM_THROW("both bodies are ZERO in joint attach function!");
    dJointAttach(mJoint, body1 ? body1->getBodyId() : nullptr, body2 ? body2->getBodyId() : nullptr);
    mAttached = true;
}

void COdeJoint::setAxis(int /*index*/, const Ogre::Vector3& /*axis*/) {}

void COdeJoint::setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2)
{
    if (getAxisCount() >= 1)
        setAxis(0, axis1);
    if (getAxisCount() >= 2)
        setAxis(1, axis2);
}

void COdeJoint::setAnchor(int /*index*/, const Ogre::Vector3& /*point*/) {}
void COdeJoint::setMotor(int /*index*/, float /*velocity*/, float /*maxForce*/) {}
void COdeJoint::setLimits(int /*index*/, float /*low*/, float /*high*/) {}
void COdeJoint::enableMotor(int /*index*/, bool /*on*/) {}

void COdeJoint::setSpring(float kp)
{
    mSpring = kp;
    updateSuspension();
}

void COdeJoint::setDamping(float kd)
{
    mDamping = kd;
    updateSuspension();
}

void COdeJoint::updateSuspension()
{
    if (!mJoint || dJointGetType(mJoint) != dJointTypeHinge2)
        return;
    const float h = mWorld ? mWorld->GetStepSize() : 0.0f;
    const float s = h * mSpring + mDamping;
    float erp = 0.0f;
    float cfm = 0.0f;
    if (s != 0.0f) {
        erp = h * mSpring / s;
        cfm = 1.0f / s;
    }
    dJointSetHinge2Param(mJoint, dParamSuspensionERP, erp);
    dJointSetHinge2Param(mJoint, dParamSuspensionCFM, cfm);
}

bool COdeJoint::checkAxis(const Ogre::Vector3& axis, const char* kind)
{
    if (!IsFinite(axis) || axis.squaredLength() < 1e-12f) {
        PlatLog("[ODEWrap] %s joint: axis (%g, %g, %g) refused (zero or not a number)", kind,
                static_cast<double>(axis.x), static_cast<double>(axis.y), static_cast<double>(axis.z));
        return false;
    }
    return true;
}

bool COdeJoint::checkIndependent(const Ogre::Vector3& a, const Ogre::Vector3& b, const char* kind)
{
    const float cross = a.crossProduct(b).squaredLength();
    if (cross <= 1e-6f * a.squaredLength() * b.squaredLength()) {
        PlatLog("[ODEWrap] %s joint: axes (%g, %g, %g) and (%g, %g, %g) refused (parallel)", kind,
                static_cast<double>(a.x), static_cast<double>(a.y), static_cast<double>(a.z),
                static_cast<double>(b.x), static_cast<double>(b.y), static_cast<double>(b.z));
        return false;
    }
    return true;
}

// ---- ball -------------------------------------------------------------------
COdeBallJoint::COdeBallJoint(COdeWorld* world)
    : COdeJoint(world, dJointCreateBall(world->GetWorldId(), nullptr), "Failed to create COdeBallJoint!")
{
}

int COdeBallJoint::getType() const { return JointDescBase::TYPE_BALL; }

void COdeBallJoint::setAnchor(int index, const Ogre::Vector3& point)
{
    if (index != 0)
        KEM_THROW("Ball joint has only one anchor! You are trying to set more...");
    dJointSetBallAnchor(mJoint, point.x, point.y, point.z);
}

Ogre::Vector3 COdeBallJoint::getAnchor() const
{
    if (!mAttached)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetBallAnchor(mJoint, v);
    return ToVector(v);
}

// ---- hinge ------------------------------------------------------------------
COdeHingeJoint::COdeHingeJoint(COdeWorld* world)
    : COdeJoint(world, dJointCreateHinge(world->GetWorldId(), nullptr), "Failed to create COdeHingeJoint!")
{
}

int COdeHingeJoint::getType() const { return JointDescBase::TYPE_HINGE; }

void COdeHingeJoint::setAxis(int index, const Ogre::Vector3& axis)
{
    if (index != 0)
        KEM_THROW("Hinge joint has only one axis! You are trying to set more...");
    if (checkAxis(axis, "Hinge"))
        dJointSetHingeAxis(mJoint, axis.x, axis.y, axis.z);
}

void COdeHingeJoint::setAnchor(int index, const Ogre::Vector3& point)
{
    if (index != 0)
        KEM_THROW("Hinge joint has only one anchor! You are trying to set more...");
    dJointSetHingeAnchor(mJoint, point.x, point.y, point.z);
}

void COdeHingeJoint::setMotor(int index, float velocity, float maxForce)
{
    if (index != 0)
        KEM_THROW("Hinge joint has only one axis! You are trying to set more...");
    mVelocity = velocity;
    mMaxForce = maxForce;
}

void COdeHingeJoint::setLimits(int index, float low, float high)
{
    if (index != 0)
        KEM_THROW("Hinge joint has only one axis! You are trying to use more...");
    dJointSetHingeParam(mJoint, dParamLoStop, low);
    dJointSetHingeParam(mJoint, dParamHiStop, high);
}

void COdeHingeJoint::enableMotor(int index, bool on)
{
    if (index != 0)
        KEM_THROW("Hinge joint has only one axis! You are trying to set more...");
    dJointSetHingeParam(mJoint, dParamVel, on ? mVelocity : 0.0f);
    dJointSetHingeParam(mJoint, dParamFMax, on ? mMaxForce : 0.0f);
}

Ogre::Vector3 COdeHingeJoint::getAnchor() const
{
    if (!mAttached)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetHingeAnchor(mJoint, v);
    return ToVector(v);
}

Ogre::Vector3 COdeHingeJoint::getAxis(int index) const
{
    if (!mAttached || index != 0)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetHingeAxis(mJoint, v);
    return ToVector(v);
}

// ---- hinge-2 ----------------------------------------------------------------
COdeHinge2Joint::COdeHinge2Joint(COdeWorld* world)
    : COdeJoint(world, dJointCreateHinge2(world->GetWorldId(), nullptr), "Failed to create COdeHinge2Joint!")
{
}

int COdeHinge2Joint::getType() const { return JointDescBase::TYPE_HINGE2; }

void COdeHinge2Joint::attach(COdeBody* body1, COdeBody* body2)
{
    if (!body1 && !body2)
        KEM_THROW("both bodies are ZERO in joint attach function!");
    if (!body1 || !body2)
        KEM_THROW("Hinge2 joint needs two bodies!");
    COdeJoint::attach(body1, body2);
}

void COdeHinge2Joint::setAxis(int index, const Ogre::Vector3& axis)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Hinge2 joint has only two axes! You are trying to set more...");
    if (!checkAxis(axis, "Hinge2"))
        return;
    if (mAttached && !checkIndependent(axis, getAxis(1 - index), "Hinge2"))
        return;
    dReal v[3] = {axis.x, axis.y, axis.z};
    if (index == 0)
        dJointSetHinge2Axes(mJoint, v, nullptr);
    else
        dJointSetHinge2Axes(mJoint, nullptr, v);
}

void COdeHinge2Joint::setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2)
{
    if (!checkAxis(axis1, "Hinge2") || !checkAxis(axis2, "Hinge2") || !checkIndependent(axis1, axis2, "Hinge2"))
        return;
    dReal v1[3] = {axis1.x, axis1.y, axis1.z};
    dReal v2[3] = {axis2.x, axis2.y, axis2.z};
    dJointSetHinge2Axes(mJoint, v1, v2);
}

void COdeHinge2Joint::setAnchor(int index, const Ogre::Vector3& point)
{
    if (index != 0)
        KEM_THROW("Hinge2 joint has only one anchor! You are trying to set more...");
    dJointSetHinge2Anchor(mJoint, point.x, point.y, point.z);
}

void COdeHinge2Joint::setMotor(int index, float velocity, float maxForce)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Hinge2 joint has only two axes! You are trying to use more...");
    (index == 0 ? mVelocity1 : mVelocity2) = velocity;
    (index == 0 ? mMaxForce1 : mMaxForce2) = maxForce;
}

void COdeHinge2Joint::setLimits(int index, float low, float high)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Hinge2 joint has only two axes! You are trying to use more...");
    dJointSetHinge2Param(mJoint, index == 0 ? dParamLoStop : dParamLoStop2, low);
    dJointSetHinge2Param(mJoint, index == 0 ? dParamHiStop : dParamHiStop2, high);
}

void COdeHinge2Joint::enableMotor(int index, bool on)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Hinge2 joint has only two axes! You are trying to use more...");
    const float velocity = index == 0 ? mVelocity1 : mVelocity2;
    const float force = index == 0 ? mMaxForce1 : mMaxForce2;
    dJointSetHinge2Param(mJoint, index == 0 ? dParamVel : dParamVel2, on ? velocity : 0.0f);
    dJointSetHinge2Param(mJoint, index == 0 ? dParamFMax : dParamFMax2, on ? force : 0.0f);
}

Ogre::Vector3 COdeHinge2Joint::getAnchor() const
{
    if (!mAttached)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetHinge2Anchor(mJoint, v);
    return ToVector(v);
}

Ogre::Vector3 COdeHinge2Joint::getAxis(int index) const
{
    if (!mAttached || index < 0 || index >= 2)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    if (index == 0)
        dJointGetHinge2Axis1(mJoint, v);
    else
        dJointGetHinge2Axis2(mJoint, v);
    return ToVector(v);
}

// ---- fixed ------------------------------------------------------------------
COdeFixedJoint::COdeFixedJoint(COdeWorld* world)
    : COdeJoint(world, dJointCreateFixed(world->GetWorldId(), nullptr), "Failed to create COdeFixedJoint!")
{
}

int COdeFixedJoint::getType() const { return JointDescBase::TYPE_FIXED; }

void COdeFixedJoint::attach(COdeBody* body1, COdeBody* body2)
{
    COdeJoint::attach(body1, body2);
    dJointSetFixed(mJoint);
}

// ---- slider -----------------------------------------------------------------
COdeSliderJoint::COdeSliderJoint(COdeWorld* world)
    : COdeJoint(world, dJointCreateSlider(world->GetWorldId(), nullptr), "Failed to create COdeSliderJoint!")
{
}

int COdeSliderJoint::getType() const { return JointDescBase::TYPE_SLIDER; }

void COdeSliderJoint::setAxis(int index, const Ogre::Vector3& axis)
{
    if (index != 0)
        KEM_THROW("Slider joint has only one axis! You are trying to set more...");
    if (checkAxis(axis, "Slider"))
        dJointSetSliderAxis(mJoint, axis.x, axis.y, axis.z);
}

void COdeSliderJoint::setMotor(int index, float velocity, float maxForce)
{
    if (index != 0)
        KEM_THROW("Slider joint has only one axis! You are trying to set more...");
    mVelocity = velocity;
    mMaxForce = maxForce;
}

void COdeSliderJoint::setLimits(int index, float low, float high)
{
    if (index != 0)
        KEM_THROW("Slider joint has only one axis! You are trying to set more...");
    dJointSetSliderParam(mJoint, dParamLoStop, low);
    dJointSetSliderParam(mJoint, dParamHiStop, high);
}

void COdeSliderJoint::enableMotor(int index, bool on)
{
    if (index != 0)
        KEM_THROW("Slider joint has only one axis! You are trying to set more...");
    dJointSetSliderParam(mJoint, dParamVel, on ? mVelocity : 0.0f);
    dJointSetSliderParam(mJoint, dParamFMax, on ? mMaxForce : 0.0f);
}

Ogre::Vector3 COdeSliderJoint::getAxis(int index) const
{
    if (!mAttached || index != 0)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetSliderAxis(mJoint, v);
    return ToVector(v);
}

// ---- universal --------------------------------------------------------------
COdeUniversalJoint::COdeUniversalJoint(COdeWorld* world)
    : COdeJoint(world, dJointCreateUniversal(world->GetWorldId(), nullptr), "Failed to create COdeUniversalJoint!")
{
}

int COdeUniversalJoint::getType() const { return JointDescBase::TYPE_UNIVERSAL; }

void COdeUniversalJoint::setAxis(int index, const Ogre::Vector3& axis)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Universal joint has only two axes! You are trying to set more...");
    if (!checkAxis(axis, "Universal"))
        return;
    if (mAttached && !checkIndependent(axis, getAxis(1 - index), "Universal"))
        return;
    if (index == 0)
        dJointSetUniversalAxis1(mJoint, axis.x, axis.y, axis.z);
    else
        dJointSetUniversalAxis2(mJoint, axis.x, axis.y, axis.z);
}

void COdeUniversalJoint::setAxes(const Ogre::Vector3& axis1, const Ogre::Vector3& axis2)
{
    if (!checkAxis(axis1, "Universal") || !checkAxis(axis2, "Universal") ||
        !checkIndependent(axis1, axis2, "Universal"))
        return;
    // Set first the axis that is not parallel to the other's current value.
    const Ogre::Vector3 current2 = getAxis(1);
    const bool axis1First = !mAttached || axis1.crossProduct(current2).squaredLength() >
                                              1e-6f * axis1.squaredLength() * current2.squaredLength();
    if (axis1First) {
        dJointSetUniversalAxis1(mJoint, axis1.x, axis1.y, axis1.z);
        dJointSetUniversalAxis2(mJoint, axis2.x, axis2.y, axis2.z);
    } else {
        dJointSetUniversalAxis2(mJoint, axis2.x, axis2.y, axis2.z);
        dJointSetUniversalAxis1(mJoint, axis1.x, axis1.y, axis1.z);
    }
}

void COdeUniversalJoint::setAnchor(int index, const Ogre::Vector3& point)
{
    if (index != 0)
        KEM_THROW("Universal joint has only one anchor! You are trying to set more...");
    dJointSetUniversalAnchor(mJoint, point.x, point.y, point.z);
}

void COdeUniversalJoint::setMotor(int index, float velocity, float maxForce)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Universal joint has only two axes! You are trying to use more...");
    (index == 0 ? mVelocity1 : mVelocity2) = velocity;
    (index == 0 ? mMaxForce1 : mMaxForce2) = maxForce;
}

void COdeUniversalJoint::setLimits(int index, float low, float high)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Universal joint has only two axes! You are trying to use more...");
    dJointSetUniversalParam(mJoint, index == 0 ? dParamLoStop : dParamLoStop2, low);
    dJointSetUniversalParam(mJoint, index == 0 ? dParamHiStop : dParamHiStop2, high);
}

void COdeUniversalJoint::enableMotor(int index, bool on)
{
    if (index < 0 || index >= 2)
        KEM_THROW("Universal joint has only two axes! You are trying to use more...");
    const float velocity = index == 0 ? mVelocity1 : mVelocity2;
    const float force = index == 0 ? mMaxForce1 : mMaxForce2;
    dJointSetUniversalParam(mJoint, index == 0 ? dParamVel : dParamVel2, on ? velocity : 0.0f);
    dJointSetUniversalParam(mJoint, index == 0 ? dParamFMax : dParamFMax2, on ? force : 0.0f);
}

Ogre::Vector3 COdeUniversalJoint::getAnchor() const
{
    if (!mAttached)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    dJointGetUniversalAnchor(mJoint, v);
    return ToVector(v);
}

Ogre::Vector3 COdeUniversalJoint::getAxis(int index) const
{
    if (!mAttached || index < 0 || index >= 2)
        return Ogre::Vector3::ZERO;
    dVector3 v;
    if (index == 0)
        dJointGetUniversalAxis1(mJoint, v);
    else
        dJointGetUniversalAxis2(mJoint, v);
    return ToVector(v);
}
