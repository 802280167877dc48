#include "CWrapOgreNode.h"

#include "CWrapOgreCamera.h"
#include "CWrapOgreEntity.h"
#include "CWrapOgreLight.h"
#include "KEMException.h"
#include "Platform.h"
#include "makeUniqueName.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace {

template <class T>
bool eraseFirst(std::deque<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

// The scene node `movable` hangs on directly (not through a bone), or null.
Ogre::SceneNode* directParent(Ogre::MovableObject* movable)
{
    if (!movable || !movable->isAttached() || movable->isParentTagPoint())
        return nullptr;
    return movable->getParentSceneNode();
}

}  // namespace

CWrapOgreNode::CWrapOgreNode(CWrapOgreWorld* world, Ogre::SceneManager* sceneManager, const std::string& name)
    : m_sceneManager(sceneManager), m_world(world)
{
    if (!m_sceneManager)
        KEM_THROW("need a scene manager!");
    try {
        const std::string ogreName = name.empty() ? makeUniqueName("sn_") : name;
        m_ogreNode = m_sceneManager->getRootSceneNode()->createChildSceneNode(
            ogreName, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
        m_ogreNode->setPosition(0, 0, 0);
    } catch (const Ogre::Exception& e) {
        KEM_THROW("Ogre Exception: " + e.getFullDescription());
    }
}

CWrapOgreNode::~CWrapOgreNode()
{
    if (m_parent) {
        try {
            m_parent->removeChild(this);
        } catch (const CKEMException& e) {
            // Our OGRE node was moved behind the wrappers' back: still leave
            // the parent's list, or the parent would delete us a second time.
            PlatLog("CWrapOgreNode(%s)::~CWrapOgreNode() => %s", getName().c_str(), e.GetReason().c_str());
            m_parent->forgetChild(this);
        }
        m_parent = nullptr;
    }

    try {
        while (!m_entities.empty()) {
            CWrapOgreEntity* entity = m_entities.front();
            detachEntity(entity);
            delete entity;
        }
        while (!m_lights.empty()) {
            CWrapOgreLight* light = m_lights.front();
            detachLight(light);
            delete light;
        }
        while (!m_cameras.empty()) {
            CWrapOgreCamera* camera = m_cameras.front();
            detachCamera(camera);
            delete camera;
        }
        while (!m_particleSystems.empty()) {
            Ogre::MovableObject* particleSystem = m_particleSystems.front();
            detachParticleSystem(particleSystem);
            delete particleSystem;
        }
    } catch (const CKEMException& e) {
        PlatLog("CWrapOgreNode(%s)::~CWrapOgreNode() => %s", getName().c_str(), e.GetReason().c_str());
    }

    // Each child leaves this list from its own destructor.
    while (!m_children.empty())
        delete m_children.front();

    if (m_ogreNode) {
        try {
            if (Ogre::Node* ogreParent = m_ogreNode->getParent())
                ogreParent->removeChild(m_ogreNode);
            m_ogreNode->removeAllChildren();
            m_ogreNode->detachAllObjects();
            m_sceneManager->destroySceneNode(m_ogreNode->getName());
        } catch (const Ogre::Exception& e) {
            PlatLog("CWrapOgreNode(%s)::~CWrapOgreNode() => Ogre Exception: %s", getName().c_str(),
                    e.getFullDescription().c_str());
        }
        m_ogreNode = nullptr;
    }
}

CWrapOgreNode* CWrapOgreNode::createChild(const std::string& name)
{
    CWrapOgreNode* child = new CWrapOgreNode(m_world, m_sceneManager, name);
    reparent(child);
    return child;
}

void CWrapOgreNode::reparent(CWrapOgreNode* child)
{
    if (!child)
        return;
    // A node under itself or under its own subtree would make a cycle that
    // OGRE walks forever.
    for (const CWrapOgreNode* up = this; up; up = up->m_parent) {
        if (up == child)
            KEM_THROW("cannot reparent a node under itself or its own subtree");
    }

    if (child->m_parent)
        child->m_parent->removeChild(child);

    Ogre::Node* ogreParent = child->m_ogreNode->getParent();
    if (ogreParent != m_ogreNode) {
        if (ogreParent)
            ogreParent->removeChild(child->m_ogreNode);
        m_ogreNode->addChild(child->m_ogreNode);
    }
    m_children.push_back(child);
    child->m_parent = this;
}

void CWrapOgreNode::removeChild(CWrapOgreNode* child)
{
    if (!child)
        return;
    if (child->m_ogreNode->getParent() != m_ogreNode)
        KEM_THROW("Pbme: this node is not a good child!");
    m_ogreNode->removeChild(child->m_ogreNode);
    forgetChild(child);
}

void CWrapOgreNode::forgetChild(CWrapOgreNode* child)
{
    eraseFirst(m_children, child);
    child->m_parent = nullptr;
}

void CWrapOgreNode::attachMovable(Ogre::MovableObject* movable, CWrapOgreGraphicElement* element)
{
    try {
        if (Ogre::SceneNode* previous = directParent(movable))
            previous->detachObject(movable);
        m_ogreNode->attachObject(movable);
    } catch (const Ogre::Exception& e) {
        KEM_THROW("Ogre Exception: " + e.getFullDescription());
    }
    // The previous node must forget the object, or both would delete it.
    if (element->m_holder && element->m_holder != this)
        releaseFromHolder(element);
}

void CWrapOgreNode::releaseFromHolder(CWrapOgreGraphicElement* element)
{
    CWrapOgreNode* holder = element->m_holder;
    if (!holder)
        return;
    auto erase = [element](auto& list) {
        auto it = std::find(list.begin(), list.end(), element);
        if (it != list.end())
            list.erase(it);
    };
    erase(holder->m_entities);
    erase(holder->m_lights);
    erase(holder->m_cameras);
    element->m_holder = nullptr;
}

void CWrapOgreNode::attachEntity(CWrapOgreEntity* entity)
{
    if (!entity || !entity->getEntity())
        return;
    if (directParent(entity->getEntity()) == m_ogreNode)
        return;
    attachMovable(entity->getEntity(), entity);
    if (entity->m_holder != this) {
        m_entities.push_back(entity);
        entity->m_holder = this;
    }
}

void CWrapOgreNode::attachLight(CWrapOgreLight* light)
{
    if (!light || !light->getLight())
        return;
    if (directParent(light->getLight()) == m_ogreNode)
        return;
    attachMovable(light->getLight(), light);
    if (light->m_holder != this) {
        m_lights.push_back(light);
        light->m_holder = this;
    }
}

void CWrapOgreNode::attachCamera(CWrapOgreCamera* camera)
{
    if (!camera || !camera->getCamera())
        return;
    if (directParent(camera->getCamera()) == m_ogreNode)
        return;
    attachMovable(camera->getCamera(), camera);
    if (camera->m_holder != this) {
        m_cameras.push_back(camera);
        camera->m_holder = this;
    }
}

void CWrapOgreNode::detachEntity(CWrapOgreEntity* entity)
{
    if (!entity)
        return;
    if (directParent(entity->getEntity()) == m_ogreNode)
        m_ogreNode->detachObject(entity->getEntity());
    if (!eraseFirst(m_entities, entity))
        KEM_THROW("entity was NOT attached!");
    entity->m_holder = nullptr;
}

void CWrapOgreNode::detachLight(CWrapOgreLight* light)
{
    if (!light)
        return;
    if (directParent(light->getLight()) == m_ogreNode)
        m_ogreNode->detachObject(light->getLight());
    if (!eraseFirst(m_lights, light))
        KEM_THROW("light was NOT attached!");
    light->m_holder = nullptr;
}

void CWrapOgreNode::detachCamera(CWrapOgreCamera* camera)
{
    if (!camera)
        return;
    if (directParent(camera->getCamera()) == m_ogreNode)
        m_ogreNode->detachObject(camera->getCamera());
    if (!eraseFirst(m_cameras, camera))
        KEM_THROW("camera was NOT attached!");
    camera->m_holder = nullptr;
}

void CWrapOgreNode::detachParticleSystem(Ogre::MovableObject* particleSystem)
{
    if (!particleSystem)
        return;
    if (directParent(particleSystem) == m_ogreNode)
        m_ogreNode->detachObject(particleSystem);
    if (!eraseFirst(m_particleSystems, particleSystem))
        KEM_THROW("particle system was NOT attached!");
}

void CWrapOgreNode::setPosition(const Ogre::Vector3& position) { m_ogreNode->setPosition(position); }
Ogre::Vector3 CWrapOgreNode::getPosition() const { return m_ogreNode->getPosition(); }
void CWrapOgreNode::setOrientation(const Ogre::Quaternion& orientation) { m_ogreNode->setOrientation(orientation); }
Ogre::Quaternion CWrapOgreNode::getOrientation() const { return m_ogreNode->getOrientation(); }
void CWrapOgreNode::setScale(const Ogre::Vector3& scale) { m_ogreNode->setScale(scale); }
Ogre::Vector3 CWrapOgreNode::getScale() const { return m_ogreNode->getScale(); }
void CWrapOgreNode::setInheritScale(bool inherit) { m_ogreNode->setInheritScale(inherit); }

void CWrapOgreNode::translate(const Ogre::Vector3& move, Ogre::Node::TransformSpace space)
{
    m_ogreNode->translate(move, space);
}

void CWrapOgreNode::rotate(const Ogre::Quaternion& rotation, Ogre::Node::TransformSpace space)
{
    m_ogreNode->rotate(rotation, space);
}

Ogre::Vector3 CWrapOgreNode::getDerivedPosition() const { return m_ogreNode->_getDerivedPosition(); }
Ogre::Quaternion CWrapOgreNode::getDerivedOrientation() const { return m_ogreNode->_getDerivedOrientation(); }
