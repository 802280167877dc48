#include "CWrapOgreEntity.h"

#include "CWrapOgreWorld.h"
#include "KEMException.h"
#include "makeUniqueName.h"

#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreSceneManager.h>

CWrapOgreEntity::CWrapOgreEntity(Ogre::SceneManager* sceneManager, const std::string& meshName)
    : m_sceneManager(sceneManager)
{
    if (!m_sceneManager)
        KEM_THROW("need a scene manager!");
    try {
        m_entity = m_sceneManager->createEntity(makeUniqueName("en_"), meshName);
    } catch (const Ogre::Exception& e) {
        KEM_THROW("Ogre Exception: " + e.getFullDescription());
    }
}

CWrapOgreEntity::~CWrapOgreEntity()
{
    if (CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld())
        world->ForgetEntity(this);
    if (m_entity && m_sceneManager)
        m_sceneManager->destroyEntity(m_entity);
    m_entity = nullptr;
}

void CWrapOgreEntity::setMaterialName(const std::string& name)
{
    if (m_entity)
        m_entity->setMaterialName(name);
}

void CWrapOgreEntity::setCastShadows(bool cast)
{
    if (m_entity)
        m_entity->setCastShadows(cast);
}
