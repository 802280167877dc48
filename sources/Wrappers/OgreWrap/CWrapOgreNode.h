// A scene node wrapper. It owns its OGRE scene node, its child wrapper nodes
// and the entities, lights, cameras and particle objects attached through it;
// deleting it deletes that whole subtree.
#pragma once

#include "CWrapOgreGraphicElement.h"

#include <OgreNode.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <deque>
#include <string>

namespace Ogre {
class MovableObject;
class SceneManager;
class SceneNode;
}

class CWrapOgreCamera;
class CWrapOgreEntity;
class CWrapOgreLight;
class CWrapOgreWorld;

class CWrapOgreNode : public CWrapOgreGraphicElement {
public:
    // The OGRE node is created under the scene manager's root node, named
    // `name`, or "sn_<n>" when the name is empty. A null scene manager raises
    // "need a scene manager!".
    CWrapOgreNode(CWrapOgreWorld* world, Ogre::SceneManager* sceneManager, const std::string& name);
    ~CWrapOgreNode() override;

    CWrapOgreNode* createChild(const std::string& name = "");
    // Moves `child` (with its subtree) under this node, away from its
    // previous parent wrapper and OGRE parent.
    void reparent(CWrapOgreNode* child);
    // Raises "Pbme: this node is not a good child!" when `child`'s OGRE node
    // is not a child of this node's OGRE node; nothing changes then.
    void removeChild(CWrapOgreNode* child);

    // Attaching moves the object here from any other node, wrapper lists
    // included, so that exactly one node owns (and deletes) it.
    void attachEntity(CWrapOgreEntity* entity);
    void attachLight(CWrapOgreLight* light);
    void attachCamera(CWrapOgreCamera* camera);
    // Detaching hands ownership back to the caller. An object that is not in
    // this node's list raises "<kind> was NOT attached!".
    void detachEntity(CWrapOgreEntity* entity);
    void detachLight(CWrapOgreLight* light);
    void detachCamera(CWrapOgreCamera* camera);
    void detachParticleSystem(Ogre::MovableObject* particleSystem);

    void setPosition(const Ogre::Vector3& position);
    Ogre::Vector3 getPosition() const;   // local (parent-relative)
    void setOrientation(const Ogre::Quaternion& orientation);
    Ogre::Quaternion getOrientation() const;
    void setScale(const Ogre::Vector3& scale);
    Ogre::Vector3 getScale() const;
    void setInheritScale(bool inherit);
    void translate(const Ogre::Vector3& move, Ogre::Node::TransformSpace space);
    void rotate(const Ogre::Quaternion& rotation, Ogre::Node::TransformSpace space);
    Ogre::Vector3 getDerivedPosition() const;        // world
    Ogre::Quaternion getDerivedOrientation() const;  // world

    CWrapOgreNode* getParentNode() const { return m_parent; }
    void setParentNode(CWrapOgreNode* parent) { m_parent = parent; }
    const std::deque<CWrapOgreEntity*>& getAttachedEntities() const { return m_entities; }
    const std::deque<CWrapOgreLight*>& getAttachedLights() const { return m_lights; }
    const std::deque<CWrapOgreCamera*>& getAttachedCameras() const { return m_cameras; }
    const std::deque<Ogre::MovableObject*>& getAttachedParticleSystems() const { return m_particleSystems; }
    const std::deque<CWrapOgreNode*>& getChildren() const { return m_children; }

    Ogre::SceneNode* getOgreNode() const { return m_ogreNode; }
    Ogre::SceneManager* getSceneManager() const { return m_sceneManager; }
    CWrapOgreWorld* getWorld() const { return m_world; }

private:
    friend class CWrapOgreGraphicElement;

    // Removes `element` from the lists of the node that holds it.
    static void releaseFromHolder(CWrapOgreGraphicElement* element);
    void attachMovable(Ogre::MovableObject* movable, CWrapOgreGraphicElement* element);
    void forgetChild(CWrapOgreNode* child);

    std::deque<CWrapOgreNode*> m_children;
    std::deque<CWrapOgreEntity*> m_entities;
    std::deque<CWrapOgreLight*> m_lights;
    std::deque<CWrapOgreCamera*> m_cameras;
    std::deque<Ogre::MovableObject*> m_particleSystems;
    Ogre::SceneNode* m_ogreNode = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    CWrapOgreNode* m_parent = nullptr;
    CWrapOgreWorld* m_world = nullptr;
};
