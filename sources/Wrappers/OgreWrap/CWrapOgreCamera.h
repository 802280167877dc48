// A camera in the scene; the wrapper owns the OGRE camera and forwards its
// projection settings. Angles are radians as plain numbers.
#pragma once

#include "CWrapOgreGraphicElement.h"

#include <OgreCommon.h>
#include <OgreFrustum.h>
#include <OgreRay.h>

namespace Ogre {
class Camera;
class SceneManager;
}

class CWrapOgreCamera : public CWrapOgreGraphicElement {
public:
    // Creates the camera "sn_<n>" at the origin with its fixed yaw axis off,
    // so that a rolled camera stays rolled.
    explicit CWrapOgreCamera(Ogre::SceneManager* sceneManager);
    ~CWrapOgreCamera() override;

    void setPolygonMode(Ogre::PolygonMode mode);
    Ogre::PolygonMode getPolygonMode() const;
    void setProjectionType(Ogre::ProjectionType type);
    Ogre::ProjectionType getProjectionType() const;
    void setNearClipDistance(float distance);
    float getNearClipDistance() const;
    void setFarClipDistance(float distance);
    float getFarClipDistance() const;
    void setAspectRatio(float ratio);
    float getAspectRatio() const;
    void setFOVy(float radians);
    float getFOVy() const;
    // x, y: relative position on the viewport (0..1).
    Ogre::Ray getCameraToViewportRay(float x, float y) const;

    Ogre::Camera* getCamera() const { return m_camera; }
    Ogre::SceneManager* getSceneManager() const { return m_sceneManager; }

private:
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
};
