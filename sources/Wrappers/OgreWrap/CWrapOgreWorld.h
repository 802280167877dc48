// The graphics world: the root wrapper node under which every scene node
// hangs, creation of nodes, entities, lights, cameras and viewports on the
// current core's scene manager, one rendered frame, and picking with a ray.
#pragma once

#include <OgreRay.h>
#include <OgreVector.h>

#include <map>
#include <string>

namespace Ogre {
class Entity;
class RaySceneQuery;
class SceneManager;
}

class CWrapOgreCamera;
class CWrapOgreCore;
class CWrapOgreEntity;
class CWrapOgreLight;
class CWrapOgreNode;
class CWrapOgreViewport;

class CWrapOgreWorld {
public:
    // The current core: every wrapper reaches OGRE through it.
    static void SetCore(CWrapOgreCore* core);
    static CWrapOgreCore* GetCore();
    // The current core's scene manager, or null without a current core.
    static Ogre::SceneManager* GetSceneManager();
    // The world most recently constructed and not yet deleted: the engine
    // framework's graphics world, used by the scene nodes' graphic handles.
    static CWrapOgreWorld* GetCurrentWorld();

    // Needs a started current core (its scene manager).
    CWrapOgreWorld();
    ~CWrapOgreWorld();
    CWrapOgreWorld(const CWrapOgreWorld&) = delete;
    CWrapOgreWorld& operator=(const CWrapOgreWorld&) = delete;

    // A child of the root node; an empty name gives the OGRE name "sn_<n>".
    CWrapOgreNode* CreateNode(const std::string& name = "");
    // The caller attaches the new wrappers to a node, which then owns them.
    CWrapOgreEntity* CreateEntity(const std::string& meshName);
    CWrapOgreLight* CreateLight();
    CWrapOgreCamera* CreateCamera();
    // On the current core's render window; OGRE errors become CKEMException.
    CWrapOgreViewport* CreateViewport(CWrapOgreCamera* camera);

    void RenderFrame(float frameTimeMs);

    // That scene format is not supported: always false.
    bool LoadOsmScene(const std::string& fileName, CWrapOgreNode* node, const std::string& formatTag);

    // The point where the ray first hits an entity created by this world,
    // skipping hits at distance 0 and, with a non-empty filter, entities whose
    // registered node has another name. No hit gives Ogre::Vector3::ZERO,
    // the same as a hit at the origin: use the three-argument form to tell them apart.
    Ogre::Vector3 PickEntity(const Ogre::Ray& ray, const std::string& filter);
    // Same search; returns whether something was hit, and the hit point
    // (Ogre::Vector3::ZERO when nothing was hit).
    bool PickEntity(const Ogre::Ray& ray, const std::string& filter, Ogre::Vector3& hitPoint);

    CWrapOgreNode* GetRootNode() const { return m_rootNode; }
    // The wrapper of an OGRE entity created by this world, or null.
    CWrapOgreEntity* FindEntity(Ogre::Entity* entity) const;
    // Called as an entity wrapper goes, so that a later OGRE entity at the
    // same address is not taken for it.
    void ForgetEntity(CWrapOgreEntity* entity);

private:
    Ogre::RaySceneQuery* m_rayQuery = nullptr;
    std::map<Ogre::Entity*, CWrapOgreEntity*> m_entities;
    CWrapOgreNode* m_rootNode = nullptr;
};
