#include "CKEMSceneLight.h"

#include "CKEMSceneNodeKind.h"
#include "KEMSceneLog.h"

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

// Colours beyond this (either way: a negative light darkens) are no light a
// venue means, and their products overflow in every lit pass.
const float kMaxColour = 100.0f;
// Beyond this a direction's squared length overflows and it normalises to nothing.
const float kMaxDirection = 1e5f;

bool UsableColour(const Ogre::ColourValue& c) {
    for (float v : {c.r, c.g, c.b, c.a})
        if (!std::isfinite(v) || std::fabs(v) > kMaxColour)
            return false;
    return true;
}
}  // namespace

void CKEMSceneLight::RefuseUnusableValues() {
    // A light's direction turns its node: OGRE asserts on the NaN
    // orientation a broken one gives, and NaN colours, attenuation or cone
    // values reach every lit pass. The light keeps its own values instead.
    if (mType != LIGHT_POINT && mType != LIGHT_DIRECTIONAL && mType != LIGHT_SPOTLIGHT) {
        const int32_t own = mLightHandle->getType();
        KEMSceneLog::Value(getName(), "CKEMSCENELIGHT_MTYPE", "light type %d unknown; %d kept", int(mType), int(own));
        mType = own;
    }
    const Ogre::Vector3& d = mDirection;
    const bool directionFinite = std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z);
    if (!directionFinite || std::fabs(d.x) > kMaxDirection || std::fabs(d.y) > kMaxDirection ||
        std::fabs(d.z) > kMaxDirection || d.squaredLength() < 1e-12f) {
        const Ogre::Vector3 own = mLightHandle->getDirection();
        KEMSceneLog::Value(getName(), "CKEMSCENELIGHT_MDIRECTION", "direction %g %g %g refused; %g %g %g kept",
                           double(d.x), double(d.y), double(d.z), double(own.x), double(own.y), double(own.z));
        mDirection = own;
    }
    if (!UsableColour(mDiffuse)) {
        KEMSceneLog::Value(getName(), "CKEMSCENELIGHT_MDIFFCOLOUR", "colour %g %g %g %g refused; the light's own kept",
                           double(mDiffuse.r), double(mDiffuse.g), double(mDiffuse.b), double(mDiffuse.a));
        mDiffuse = mLightHandle->getDiffuseColour();
    }
    if (!UsableColour(mSpecular)) {
        KEMSceneLog::Value(getName(), "CKEMSCENELIGHT_MSPECCOLOUR", "colour %g %g %g %g refused; the light's own kept",
                           double(mSpecular.r), double(mSpecular.g), double(mSpecular.b), double(mSpecular.a));
        mSpecular = mLightHandle->getSpecularColour();
    }
    const struct {
        const char* attribute;
        float value;
    } attenuation[] = {{"CKEMSCENELIGHT_MATT_RANGE", mRange},
                       {"CKEMSCENELIGHT_MATT_CONSTANT", mConstant},
                       {"CKEMSCENELIGHT_MATT_LINEAR", mLinear},
                       {"CKEMSCENELIGHT_MATT_QUADRATIC", mQuadratic}};
    for (const auto& term : attenuation) {
        if (Usable(term.value))
            continue;
        KEMSceneLog::Value(getName(), term.attribute, "attenuation %g %g %g %g refused; the light's own kept",
                           double(mRange), double(mConstant), double(mLinear), double(mQuadratic));
        mRange = mLightHandle->getAttenuationRange();
        mConstant = mLightHandle->getAttenuationConstant();
        mLinear = mLightHandle->getAttenuationLinear();
        mQuadratic = mLightHandle->getAttenuationQuadric();
        break;
    }
    const struct {
        const char* attribute;
        bool usable;
    } cone[] = {{"CKEMSCENELIGHT_MSPOTINNERANGLE", Usable(mSpotInner)},
                {"CKEMSCENELIGHT_MSPOTOUTERANGLE", Usable(mSpotOuter)},
                {"CKEMSCENELIGHT_MSPOTFALLOFF", std::isfinite(mSpotFalloff)}};
    for (const auto& term : cone) {
        if (term.usable)
            continue;
        KEMSceneLog::Value(getName(), term.attribute, "spot cone %g %g %g refused; the light's own kept",
                           double(mSpotInner), double(mSpotOuter), double(mSpotFalloff));
        mSpotInner = mLightHandle->getSpotlightInnerAngle();
        mSpotOuter = mLightHandle->getSpotlightOuterAngle();
        mSpotFalloff = mLightHandle->getSpotlightFalloff();
        break;
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
