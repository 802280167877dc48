// A light in the scene; the wrapper owns the OGRE light. Angles are radians
// as plain numbers.
#pragma once

#include "CWrapOgreGraphicElement.h"

#include <OgreColourValue.h>
#include <OgreLight.h>
#include <OgreVector.h>

class CWrapOgreLight : public CWrapOgreGraphicElement {
public:
    // Creates the light "light_<n>" with OGRE's defaults.
    explicit CWrapOgreLight(Ogre::SceneManager* sceneManager);
    ~CWrapOgreLight() override;

    Ogre::Light::LightTypes getType() const;
    void setDiffuseColour(const Ogre::ColourValue& colour);
    Ogre::ColourValue getDiffuseColour() const;
    void setSpecularColour(const Ogre::ColourValue& colour);
    Ogre::ColourValue getSpecularColour() const;
    void setCastShadows(bool cast);
    bool getCastShadows() const;
    void setVisible(bool visible);   // the light node's enabled flag
    bool isVisible() const;
    void setAttenuation(float range, float constant, float linear, float quadratic);
    float getAttenuationRange() const;
    float getAttenuationConstant() const;
    float getAttenuationLinear() const;
    float getAttenuationQuadric() const;
    float getSpotlightFalloff() const;
    void setDirection(const Ogre::Vector3& direction);
    Ogre::Vector3 getDirection() const;
    void setSpotlightRange(float innerAngle, float outerAngle, float falloff);
    float getSpotlightInnerAngle() const;
    float getSpotlightOuterAngle() const;

    Ogre::Light* getLight() const { return m_light; }
    Ogre::SceneManager* getSceneManager() const { return m_sceneManager; }

private:
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Light* m_light = nullptr;
};
