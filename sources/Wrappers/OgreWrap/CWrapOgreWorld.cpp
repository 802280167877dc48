#include "CWrapOgreWorld.h"

#include "CGraphicElementRegistry.h"
#include "CWrapOgreCamera.h"
#include "CWrapOgreCore.h"
#include "CWrapOgreEntity.h"
#include "CWrapOgreLight.h"
#include "CWrapOgreNode.h"
#include "CWrapOgreViewport.h"
#include "KEMException.h"
#include "makeUniqueName.h"

#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreSceneManager.h>
#include <OgreSceneQuery.h>

namespace {
CWrapOgreCore* g_currentCore = nullptr;
CWrapOgreWorld* g_currentWorld = nullptr;
}

void CWrapOgreWorld::SetCore(CWrapOgreCore* core) { g_currentCore = core; }
CWrapOgreCore* CWrapOgreWorld::GetCore() { return g_currentCore; }

Ogre::SceneManager* CWrapOgreWorld::GetSceneManager()
{
    return g_currentCore ? g_currentCore->GetSceneManager() : nullptr;
}

CWrapOgreWorld* CWrapOgreWorld::GetCurrentWorld() { return g_currentWorld; }

CWrapOgreWorld::CWrapOgreWorld()
{
    m_rootNode = new CWrapOgreNode(this, GetSceneManager(), makeUniqueName("rootSn"));
    g_currentWorld = this;
}

CWrapOgreWorld::~CWrapOgreWorld()
{
    if (g_currentWorld == this)
        g_currentWorld = nullptr;
    delete m_rootNode;
    m_rootNode = nullptr;
    if (m_rayQuery) {
        if (Ogre::SceneManager* sceneManager = GetSceneManager())
            sceneManager->destroyQuery(m_rayQuery);
        m_rayQuery = nullptr;
    }
    m_entities.clear();
}

CWrapOgreNode* CWrapOgreWorld::CreateNode(const std::string& name)
{
    return m_rootNode->createChild(name);
}

CWrapOgreEntity* CWrapOgreWorld::CreateEntity(const std::string& meshName)
{
    CWrapOgreEntity* entity = new CWrapOgreEntity(GetSceneManager(), meshName);
    m_entities[entity->getEntity()] = entity;
    return entity;
}

CWrapOgreLight* CWrapOgreWorld::CreateLight() { return new CWrapOgreLight(GetSceneManager()); }
CWrapOgreCamera* CWrapOgreWorld::CreateCamera() { return new CWrapOgreCamera(GetSceneManager()); }

CWrapOgreViewport* CWrapOgreWorld::CreateViewport(CWrapOgreCamera* camera)
{
    try {
        return new CWrapOgreViewport(g_currentCore, camera);
    } catch (const Ogre::Exception& e) {
        KEM_THROW(e.getFullDescription());
    }
}

void CWrapOgreWorld::RenderFrame(float frameTimeMs)
{
    if (g_currentCore)
        g_currentCore->RenderFrame(frameTimeMs);
}

bool CWrapOgreWorld::LoadOsmScene(const std::string&, CWrapOgreNode*, const std::string&)
{
    return false;
}

CWrapOgreEntity* CWrapOgreWorld::FindEntity(Ogre::Entity* entity) const
{
    auto it = m_entities.find(entity);
    return it == m_entities.end() ? nullptr : it->second;
}

void CWrapOgreWorld::ForgetEntity(CWrapOgreEntity* entity)
{
    auto it = m_entities.find(entity->getEntity());
    if (it != m_entities.end() && it->second == entity)
        m_entities.erase(it);
}

Ogre::Vector3 CWrapOgreWorld::PickEntity(const Ogre::Ray& ray, const std::string& filter)
{
    Ogre::Vector3 hitPoint;
    PickEntity(ray, filter, hitPoint);
    return hitPoint;
}

bool CWrapOgreWorld::PickEntity(const Ogre::Ray& ray, const std::string& filter, Ogre::Vector3& hitPoint)
{
    hitPoint = Ogre::Vector3::ZERO;
    if (!m_rayQuery) {
        Ogre::SceneManager* sceneManager = GetSceneManager();
        if (!sceneManager)
            return false;
        m_rayQuery = sceneManager->createRayQuery(ray, 0xFFFFFFFF);
        m_rayQuery->setSortByDistance(true, 0);
    } else {
        m_rayQuery->setRay(ray);
    }

    CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent();
    for (const Ogre::RaySceneQueryResultEntry& result : m_rayQuery->execute()) {
        if (!(result.distance > 0))
            continue;   // the origin lies inside or on that object
        if (!result.movable || result.movable->getMovableType() != "Entity")
            continue;
        CWrapOgreEntity* entity = FindEntity(static_cast<Ogre::Entity*>(result.movable));
        if (!entity)
            continue;
        if (!filter.empty()) {
            CWrapOgreNode* node = registry ? registry->GetElementNode(entity) : nullptr;
            if (!node || node->getName() != filter)
                continue;
        }
        hitPoint = ray.getPoint(result.distance);
        return true;
    }
    return false;
}
