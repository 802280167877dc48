#include "CWrapOgreLight.h"

#include "KEMException.h"
#include "makeUniqueName.h"

#include <OgreException.h>
#include <OgreSceneManager.h>

CWrapOgreLight::CWrapOgreLight(Ogre::SceneManager* sceneManager)
    : m_sceneManager(sceneManager)
{
    if (!m_sceneManager)
        KEM_THROW("need a scene manager!");
    try {
        m_light = m_sceneManager->createLight(makeUniqueName("light_"));
    } catch (const Ogre::Exception& e) {
        KEM_THROW("Ogre Exception: " + e.getFullDescription());
    }
}

CWrapOgreLight::~CWrapOgreLight()
{
    if (m_light && m_sceneManager)
        m_sceneManager->destroyLight(m_light->getName());
    m_light = nullptr;
}

Ogre::Light::LightTypes CWrapOgreLight::getType() const { return m_light->getType(); }
void CWrapOgreLight::setDiffuseColour(const Ogre::ColourValue& colour) { m_light->setDiffuseColour(colour); }
Ogre::ColourValue CWrapOgreLight::getDiffuseColour() const { return m_light->getDiffuseColour(); }
void CWrapOgreLight::setSpecularColour(const Ogre::ColourValue& colour) { m_light->setSpecularColour(colour); }
Ogre::ColourValue CWrapOgreLight::getSpecularColour() const { return m_light->getSpecularColour(); }
void CWrapOgreLight::setCastShadows(bool cast) { m_light->setCastShadows(cast); }
bool CWrapOgreLight::getCastShadows() const { return m_light->getCastShadows(); }
void CWrapOgreLight::setVisible(bool visible) { m_light->setVisible(visible); }
bool CWrapOgreLight::isVisible() const { return m_light->getVisible(); }

void CWrapOgreLight::setAttenuation(float range, float constant, float linear, float quadratic)
{
    m_light->setAttenuation(range, constant, linear, quadratic);
}

float CWrapOgreLight::getAttenuationRange() const { return m_light->getAttenuationRange(); }
float CWrapOgreLight::getAttenuationConstant() const { return m_light->getAttenuationConstant(); }
float CWrapOgreLight::getAttenuationLinear() const { return m_light->getAttenuationLinear(); }
float CWrapOgreLight::getAttenuationQuadric() const { return m_light->getAttenuationQuadric(); }
float CWrapOgreLight::getSpotlightFalloff() const { return m_light->getSpotlightFalloff(); }

// The light's own direction is deprecated in OGRE 1.12 in favour of the node's,
// but it still combines with the node's orientation, which is what the light
// node relies on (its direction is stored in the scene file).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
void CWrapOgreLight::setDirection(const Ogre::Vector3& direction) { m_light->setDirection(direction); }
Ogre::Vector3 CWrapOgreLight::getDirection() const { return m_light->getDirection(); }
#pragma GCC diagnostic pop

void CWrapOgreLight::setSpotlightRange(float innerAngle, float outerAngle, float falloff)
{
    m_light->setSpotlightRange(Ogre::Radian(innerAngle), Ogre::Radian(outerAngle), falloff);
}

float CWrapOgreLight::getSpotlightInnerAngle() const { return m_light->getSpotlightInnerAngle().valueRadians(); }
float CWrapOgreLight::getSpotlightOuterAngle() const { return m_light->getSpotlightOuterAngle().valueRadians(); }
