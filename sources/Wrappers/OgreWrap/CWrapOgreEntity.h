// A mesh instance in the scene. The wrapper owns the OGRE entity; the wrapper
// itself is owned by the wrapper node it is attached to.
#pragma once

#include "CWrapOgreGraphicElement.h"

#include <string>

namespace Ogre {
class Entity;
class SceneManager;
}

class CWrapOgreEntity : public CWrapOgreGraphicElement {
public:
    // Creates the entity "en_<n>" of the mesh; OGRE errors (unknown or broken
    // mesh) become CKEMException.
    CWrapOgreEntity(Ogre::SceneManager* sceneManager, const std::string& meshName);
    ~CWrapOgreEntity() override;

    void setMaterialName(const std::string& name);
    void setCastShadows(bool cast);

    Ogre::Entity* getEntity() const { return m_entity; }
    Ogre::SceneManager* getSceneManager() const { return m_sceneManager; }

private:
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Entity* m_entity = nullptr;
};
