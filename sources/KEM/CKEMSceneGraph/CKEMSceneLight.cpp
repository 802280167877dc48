#include "CKEMSceneLight.h"

#include "CKEMSceneNodeKind.h"

#include <CWrapOgreLight.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <Platform.h>

#include <cmath>

using namespace KEMSceneNodeKind;

CKEMLightHandle::CKEMLightHandle(CWrapOgreNode* node) : mNode(node) {}

CKEMLightHandle::~CKEMLightHandle() { destroyDebug(); }

void CKEMLightHandle::create() {
    mLight = World()->CreateLight();
    if (mNode)
        mNode->attachLight(mLight);
}

int CKEMLightHandle::getType() const {
    switch (mLight->getType()) {
    case Ogre::Light::LT_DIRECTIONAL: return 1;
    case Ogre::Light::LT_SPOTLIGHT: return 2;
    default: return 0;
    }
}

void CKEMLightHandle::setEnabled(bool enabled) { mLight->setVisible(enabled); }
bool CKEMLightHandle::isEnabled() const { return mLight->isVisible(); }
void CKEMLightHandle::setCastShadows(bool cast) { mLight->setCastShadows(cast); }
bool CKEMLightHandle::getCastShadows() const { return mLight->getCastShadows(); }
void CKEMLightHandle::setDiffuseColour(const Ogre::ColourValue& colour) { mLight->setDiffuseColour(colour); }
Ogre::ColourValue CKEMLightHandle::getDiffuseColour() const { return mLight->getDiffuseColour(); }
void CKEMLightHandle::setSpecularColour(const Ogre::ColourValue& colour) { mLight->setSpecularColour(colour); }
Ogre::ColourValue CKEMLightHandle::getSpecularColour() const { return mLight->getSpecularColour(); }
void CKEMLightHandle::setAttenuation(float range, float constant, float linear, float quadratic) {
    mLight->setAttenuation(range, constant, linear, quadratic);
}
float CKEMLightHandle::getAttenuationRange() const { return mLight->getAttenuationRange(); }
float CKEMLightHandle::getAttenuationConstant() const { return mLight->getAttenuationConstant(); }
float CKEMLightHandle::getAttenuationLinear() const { return mLight->getAttenuationLinear(); }
float CKEMLightHandle::getAttenuationQuadric() const { return mLight->getAttenuationQuadric(); }
void CKEMLightHandle::setSpotlightRange(float inner, float outer, float falloff) {
    mLight->setSpotlightRange(inner, outer, falloff);
}
float CKEMLightHandle::getSpotlightInnerAngle() const { return mLight->getSpotlightInnerAngle(); }
float CKEMLightHandle::getSpotlightOuterAngle() const { return mLight->getSpotlightOuterAngle(); }
float CKEMLightHandle::getSpotlightFalloff() const { return mLight->getSpotlightFalloff(); }
void CKEMLightHandle::setDirection(const Ogre::Vector3& direction) { mLight->setDirection(direction); }
Ogre::Vector3 CKEMLightHandle::getDirection() const { return mLight->getDirection(); }

void CKEMLightHandle::showDebug() {
    destroyDebug();
    static const char* const kMeshes[] = {"debugPointLight.mesh", "debugDirLight.mesh", "debugSpotLight.mesh"};
    mDebugEntity = CreateDebugEntity(mNode, kMeshes[getType()], "lightDebugMaterial");
}

void CKEMLightHandle::destroyDebug() { DestroyDebugEntity(mNode, mDebugEntity); }

CKEMSceneLight::CKEMSceneLight(CKEMSceneNode* parent) : CKEMSceneNode(parent) {
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    mLightHandle = new CKEMLightHandle(mGraphicHandle->getNode());
    mLightHandle->create();
    SetClassType(KEM_SCENE_LIGHT);

    mType = mLightHandle->getType();
    mEnabled = mLightHandle->isEnabled();
    mCastShadows = mLightHandle->getCastShadows();
    mDiffuse = mLightHandle->getDiffuseColour();
    mSpecular = mLightHandle->getSpecularColour();
    mRange = mLightHandle->getAttenuationRange();
    mConstant = mLightHandle->getAttenuationConstant();
    mLinear = mLightHandle->getAttenuationLinear();
    mQuadratic = mLightHandle->getAttenuationQuadric();
    mSpotInner = mLightHandle->getSpotlightInnerAngle();
    mSpotOuter = mLightHandle->getSpotlightOuterAngle();
    mSpotFalloff = mLightHandle->getSpotlightFalloff();
    mDirection = mLightHandle->getDirection();

    RegisterVar(mTypeVar, "CKEMSCENELIGHT_MTYPE", &mType);
    RegisterVar(mEnabledVar, "CKEMSCENELIGHT_MENABLED", &mEnabled);
    RegisterVar(mCastShadowsVar, "CKEMSCENELIGHT_MCASTSSHADOWS", &mCastShadows);
    RegisterVar(mDiffuseVar, "CKEMSCENELIGHT_MDIFFCOLOUR", &mDiffuse);
    RegisterVar(mSpecularVar, "CKEMSCENELIGHT_MSPECCOLOUR", &mSpecular);
    RegisterVar(mRangeVar, "CKEMSCENELIGHT_MATT_RANGE", &mRange);
    RegisterVar(mConstantVar, "CKEMSCENELIGHT_MATT_CONSTANT", &mConstant);
    RegisterVar(mLinearVar, "CKEMSCENELIGHT_MATT_LINEAR", &mLinear);
    RegisterVar(mQuadraticVar, "CKEMSCENELIGHT_MATT_QUADRATIC", &mQuadratic);
    RegisterVar(mSpotInnerVar, "CKEMSCENELIGHT_MSPOTINNERANGLE", &mSpotInner);
    RegisterVar(mSpotOuterVar, "CKEMSCENELIGHT_MSPOTOUTERANGLE", &mSpotOuter);
    RegisterVar(mSpotFalloffVar, "CKEMSCENELIGHT_MSPOTFALLOFF", &mSpotFalloff);
    RegisterVar(mDirectionVar, "CKEMSCENELIGHT_MDIRECTION", &mDirection);
}

CKEMSceneLight::~CKEMSceneLight() {
    TermScriptFirst();   // the script's Term still sees the whole node
    delete mLightHandle;
    mLightHandle = nullptr;
}

void CKEMSceneLight::SetEnabled(bool enabled) {
    mLightHandle->setEnabled(enabled);
    mEnabled = enabled;
}

void CKEMSceneLight::SetCastShadows(bool cast) {
    mLightHandle->setCastShadows(cast);
    mCastShadows = cast;
}

void CKEMSceneLight::SetDiffuseColour(const Ogre::ColourValue& colour) {
    mLightHandle->setDiffuseColour(colour);
    mDiffuse = colour;
}

void CKEMSceneLight::SetSpecularColour(const Ogre::ColourValue& colour) {
    mLightHandle->setSpecularColour(colour);
    mSpecular = colour;
}

void CKEMSceneLight::SetAttenuation(float range, float constant, float linear, float quadratic) {
    mLightHandle->setAttenuation(range, constant, linear, quadratic);
    mRange = range;
    mConstant = constant;
    mLinear = linear;
    mQuadratic = quadratic;
}

void CKEMSceneLight::SetSpotlightRange(float inner, float outer, float falloff) {
    if (mType != LIGHT_SPOTLIGHT)
        return;
    mLightHandle->setSpotlightRange(inner, outer, falloff);
    mSpotInner = inner;
    mSpotOuter = outer;
    mSpotFalloff = falloff;
}

void CKEMSceneLight::SetDirection(const Ogre::Vector3& direction) {
    mLightHandle->setDirection(direction);
    mDirection = direction;
}

void CKEMSceneLight::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    if (debug)
        mLightHandle->showDebug();
    else
        mLightHandle->destroyDebug();
}

namespace {
bool Usable(float value) { return std::isfinite(value) && value >= 0.0f; }
}

void CKEMSceneLight::RefuseUnusableValues() {
    // A light's direction turns its node: OGRE asserts on the NaN
    // orientation a broken one gives, and NaN attenuation or cone values
    // reach every lit pass. The light keeps its own values instead.
    const Ogre::Vector3& d = mDirection;
    if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.z) || d.squaredLength() < 1e-12f) {
        PlatLog("CKEMSceneLight(%s): direction %g %g %g refused", getName().c_str(), double(d.x), double(d.y),
                double(d.z));
        mDirection = mLightHandle->getDirection();
    }
    if (!Usable(mRange) || !Usable(mConstant) || !Usable(mLinear) || !Usable(mQuadratic)) {
        PlatLog("CKEMSceneLight(%s): attenuation %g %g %g %g refused", getName().c_str(), double(mRange),
                double(mConstant), double(mLinear), double(mQuadratic));
        mRange = mLightHandle->getAttenuationRange();
        mConstant = mLightHandle->getAttenuationConstant();
        mLinear = mLightHandle->getAttenuationLinear();
        mQuadratic = mLightHandle->getAttenuationQuadric();
    }
    if (!Usable(mSpotInner) || !Usable(mSpotOuter) || !std::isfinite(mSpotFalloff)) {
        PlatLog("CKEMSceneLight(%s): spot cone %g %g %g refused", getName().c_str(), double(mSpotInner),
                double(mSpotOuter), double(mSpotFalloff));
        mSpotInner = mLightHandle->getSpotlightInnerAngle();
        mSpotOuter = mLightHandle->getSpotlightOuterAngle();
        mSpotFalloff = mLightHandle->getSpotlightFalloff();
    }
}

void CKEMSceneLight::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    RefuseUnusableValues();
    SetEnabled(mEnabled);
    SetCastShadows(mCastShadows);
    SetDiffuseColour(mDiffuse);
    SetSpecularColour(mSpecular);
    SetAttenuation(mRange, mConstant, mLinear, mQuadratic);
    SetSpotlightRange(mSpotInner, mSpotOuter, mSpotFalloff);
    SetDirection(mDirection);
}
