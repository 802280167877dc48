// A scene node carrying a 3D-engine light (class type 4): colours,
// attenuation, spot cone and direction come from the scene file and are
// re-applied after loading. The light keeps the 3D engine's own type.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreColourValue.h>

class CWrapOgreEntity;
class CWrapOgreLight;
class CWrapOgreNode;

// The node's hold on its light and on the light's debug mesh.
class CKEMLightHandle {
public:
    explicit CKEMLightHandle(CWrapOgreNode* node);
    // The light goes with the node's graphics node; only the debug mesh goes here.
    ~CKEMLightHandle();
    CKEMLightHandle(const CKEMLightHandle&) = delete;
    CKEMLightHandle& operator=(const CKEMLightHandle&) = delete;

    // A light of the graphics world, attached to the node.
    void create();
    // The engine light's type: 0 point, 1 directional, 2 spotlight.
    int getType() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;
    void setCastShadows(bool cast);
    bool getCastShadows() const;
    void setDiffuseColour(const Ogre::ColourValue& colour);
    Ogre::ColourValue getDiffuseColour() const;
    void setSpecularColour(const Ogre::ColourValue& colour);
    Ogre::ColourValue getSpecularColour() const;
    void setAttenuation(float range, float constant, float linear, float quadratic);
    float getAttenuationRange() const;
    float getAttenuationConstant() const;
    float getAttenuationLinear() const;
    float getAttenuationQuadric() const;
    void setSpotlightRange(float inner, float outer, float falloff);
    float getSpotlightInnerAngle() const;
    float getSpotlightOuterAngle() const;
    float getSpotlightFalloff() const;
    void setDirection(const Ogre::Vector3& direction);
    Ogre::Vector3 getDirection() const;

    // The mesh of the light's type, "lightDebugMaterial".
    void showDebug();
    void destroyDebug();

    CWrapOgreLight* GetLight() const { return mLight; }
    CWrapOgreEntity* GetDebugEntity() const { return mDebugEntity; }

private:
    CWrapOgreLight* mLight = nullptr;
    CWrapOgreNode* mNode = nullptr;
    CWrapOgreEntity* mDebugEntity = nullptr;
};

class CKEMSceneLight : public CKEMSceneNode {
public:
    enum { LIGHT_POINT = 0, LIGHT_DIRECTIONAL = 1, LIGHT_SPOTLIGHT = 2 };

    explicit CKEMSceneLight(CKEMSceneNode* parent);
    ~CKEMSceneLight() override;

    CKEMLightHandle* GetLightHandle() const { return mLightHandle; }

    // Each forwards to the light and stores the value.
    void SetEnabled(bool enabled);
    void SetCastShadows(bool cast);
    void SetDiffuseColour(const Ogre::ColourValue& colour);
    void SetSpecularColour(const Ogre::ColourValue& colour);
    void SetAttenuation(float range, float constant, float linear, float quadratic);
    // Only for a spotlight (stored type 2); otherwise nothing, not even stored.
    void SetSpotlightRange(float inner, float outer, float falloff);
    void SetDirection(const Ogre::Vector3& direction);

    int GetType() const { return mType; }
    bool IsEnabled() const { return mEnabled; }
    bool GetCastShadows() const { return mCastShadows; }
    const Ogre::ColourValue& GetDiffuseColour() const { return mDiffuse; }
    const Ogre::ColourValue& GetSpecularColour() const { return mSpecular; }
    float GetAttenuationRange() const { return mRange; }
    float GetAttenuationConstant() const { return mConstant; }
    float GetAttenuationLinear() const { return mLinear; }
    float GetAttenuationQuadratic() const { return mQuadratic; }
    float GetSpotInnerAngle() const { return mSpotInner; }
    float GetSpotOuterAngle() const { return mSpotOuter; }
    float GetSpotFalloff() const { return mSpotFalloff; }
    const Ogre::Vector3& GetDirection() const { return mDirection; }

    void setDebugMode(bool debug) override;
    // The loaded values, in the order of the variables (the type excepted).
    void PostLoadInit() override;

private:
    // Values read from a scene file that OGRE cannot take are logged and
    // replaced by the light's own.
    void RefuseUnusableValues();
    CKEMLightHandle* mLightHandle = nullptr;
    int32_t mType = LIGHT_POINT;
    bool mEnabled = true;
    bool mCastShadows = true;
    Ogre::ColourValue mDiffuse;
    Ogre::ColourValue mSpecular;
    float mRange = 0.0f;
    float mConstant = 0.0f;
    float mLinear = 0.0f;
    float mQuadratic = 0.0f;
    float mSpotInner = 0.0f;
    float mSpotOuter = 0.0f;
    float mSpotFalloff = 0.0f;
    Ogre::Vector3 mDirection = Ogre::Vector3::ZERO;

    CKEMVarInt mTypeVar;
    CKEMVarBool mEnabledVar;
    CKEMVarBool mCastShadowsVar;
    CKEMVarColorRef mDiffuseVar;
    CKEMVarColorRef mSpecularVar;
    CKEMVarFloat mRangeVar;
    CKEMVarFloat mConstantVar;
    CKEMVarFloat mLinearVar;
    CKEMVarFloat mQuadraticVar;
    CKEMVarFloat mSpotInnerVar;
    CKEMVarFloat mSpotOuterVar;
    CKEMVarFloat mSpotFalloffVar;
    CKEMVarVector3 mDirectionVar;
};
