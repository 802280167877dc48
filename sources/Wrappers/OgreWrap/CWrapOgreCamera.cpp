#include "CWrapOgreCamera.h"

#include "KEMException.h"
#include "makeUniqueName.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreSceneManager.h>

CWrapOgreCamera::CWrapOgreCamera(Ogre::SceneManager* sceneManager)
    : m_sceneManager(sceneManager)
{
    if (!m_sceneManager)
        KEM_THROW("need a scene manager!");
    try {
        m_camera = m_sceneManager->createCamera(makeUniqueName("sn_"));
        // The camera's own placement is deprecated in OGRE 1.12 (cameras follow
        // their node), but it still composes with the node: keep it neutral and
        // never let a fixed yaw axis undo a roll.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        m_camera->setFixedYawAxis(false, Ogre::Vector3::UNIT_Y);
        m_camera->setPosition(0, 0, 0);
#pragma GCC diagnostic pop
    } catch (const Ogre::Exception& e) {
        KEM_THROW("Ogre Exception: " + e.getFullDescription());
    }
}

CWrapOgreCamera::~CWrapOgreCamera()
{
    if (m_camera && m_sceneManager)
        m_sceneManager->destroyCamera(m_camera->getName());
    m_camera = nullptr;
}

void CWrapOgreCamera::setPolygonMode(Ogre::PolygonMode mode) { m_camera->setPolygonMode(mode); }
Ogre::PolygonMode CWrapOgreCamera::getPolygonMode() const { return m_camera->getPolygonMode(); }
void CWrapOgreCamera::setProjectionType(Ogre::ProjectionType type) { m_camera->setProjectionType(type); }
Ogre::ProjectionType CWrapOgreCamera::getProjectionType() const { return m_camera->getProjectionType(); }
void CWrapOgreCamera::setNearClipDistance(float distance) { m_camera->setNearClipDistance(distance); }
float CWrapOgreCamera::getNearClipDistance() const { return m_camera->getNearClipDistance(); }
void CWrapOgreCamera::setFarClipDistance(float distance) { m_camera->setFarClipDistance(distance); }
float CWrapOgreCamera::getFarClipDistance() const { return m_camera->getFarClipDistance(); }
void CWrapOgreCamera::setAspectRatio(float ratio) { m_camera->setAspectRatio(ratio); }
float CWrapOgreCamera::getAspectRatio() const { return m_camera->getAspectRatio(); }
void CWrapOgreCamera::setFOVy(float radians) { m_camera->setFOVy(Ogre::Radian(radians)); }
float CWrapOgreCamera::getFOVy() const { return m_camera->getFOVy().valueRadians(); }

Ogre::Ray CWrapOgreCamera::getCameraToViewportRay(float x, float y) const
{
    return m_camera->getCameraToViewportRay(x, y);
}
