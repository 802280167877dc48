#include "CKEMSceneGraphicHandle.h"

#include "CGraphicElementRegistry.h"
#include "CWrapOgreNode.h"
#include "CWrapOgreWorld.h"
#include "KEMException.h"

#include <OgreMatrix4.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>

namespace {

Ogre::Node::TransformSpace toOgreSpace(int space)
{
    switch (space) {
    case CKEMSceneGraphicHandle::SPACE_PARENT: return Ogre::Node::TS_PARENT;
    case CKEMSceneGraphicHandle::SPACE_WORLD: return Ogre::Node::TS_WORLD;
    default: return Ogre::Node::TS_LOCAL;
    }
}

}  // namespace

CKEMSceneGraphicHandle::CKEMSceneGraphicHandle(CKEMSceneNode* owner)
    : m_owner(owner)
{
}

std::string CKEMSceneGraphicHandle::create(CWrapOgreNode* parent)
{
    CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
    if (!world)
        KEM_THROW("no graphics world for the scene node");
    m_node = world->CreateNode("");
    if (parent)
        parent->reparent(m_node);
    m_node->setInheritScale(false);
    return m_node->getName();
}

void CKEMSceneGraphicHandle::rename(const std::string& name)
{
    if (m_node)
        m_node->setName(name);
}

void CKEMSceneGraphicHandle::destroy()
{
    if (!m_node)
        return;
    if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent())
        registry->UnregisterNode(m_node);
    delete m_node;
    m_node = nullptr;
}

void CKEMSceneGraphicHandle::removeChild(CKEMSceneGraphicHandle* child)
{
    if (m_node && child)
        m_node->removeChild(child->m_node);
}

void CKEMSceneGraphicHandle::reparent(CKEMSceneGraphicHandle* child)
{
    if (m_node && child)
        m_node->reparent(child->m_node);
}

void CKEMSceneGraphicHandle::attachToRoot()
{
    Ogre::SceneManager* sceneManager = CWrapOgreWorld::GetSceneManager();
    if (!m_node || !sceneManager)
        return;
    Ogre::SceneNode* ogreNode = m_node->getOgreNode();
    Ogre::SceneNode* root = sceneManager->getRootSceneNode();
    if (ogreNode->getParent() == root)
        return;
    // Leave the wrapper parent too, so that it will not delete this node.
    if (CWrapOgreNode* parent = m_node->getParentNode())
        parent->removeChild(m_node);
    if (Ogre::Node* ogreParent = ogreNode->getParent())
        ogreParent->removeChild(ogreNode);
    root->addChild(ogreNode);
}

namespace {
// A NaN or infinite pose never reaches OGRE: its bounds assert on the next
// rendered frame. Whoever computed it logs why; here it is only kept out.
bool Finite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const Ogre::Quaternion& q)
{
    return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}
}  // namespace

void CKEMSceneGraphicHandle::translate(const Ogre::Vector3& move, int space)
{
    if (m_node && Finite(move))
        m_node->translate(move, toOgreSpace(space));
}

void CKEMSceneGraphicHandle::setPosition(const Ogre::Vector3& position)
{
    if (m_node && Finite(position))
        m_node->setPosition(position);
}

void CKEMSceneGraphicHandle::rotate(const Ogre::Quaternion& rotation, int space)
{
    if (m_node && Finite(rotation))
        m_node->rotate(rotation, toOgreSpace(space));
}

void CKEMSceneGraphicHandle::setOrientation(const Ogre::Quaternion& orientation)
{
    if (m_node && Finite(orientation))
        m_node->setOrientation(orientation);
}

void CKEMSceneGraphicHandle::setScale(const Ogre::Vector3& scale)
{
    if (m_node)
        m_node->setScale(scale);
}

Ogre::Vector3 CKEMSceneGraphicHandle::getScale() const
{
    return m_node ? m_node->getScale() : Ogre::Vector3::UNIT_SCALE;
}

Ogre::Vector3 CKEMSceneGraphicHandle::getPosition(int space) const
{
    if (!m_node)
        return Ogre::Vector3::ZERO;
    return space == SPACE_WORLD ? m_node->getDerivedPosition() : m_node->getPosition();
}

Ogre::Quaternion CKEMSceneGraphicHandle::getOrientation(int space) const
{
    if (!m_node)
        return Ogre::Quaternion::IDENTITY;
    return space == SPACE_WORLD ? m_node->getDerivedOrientation() : m_node->getOrientation();
}

void CKEMSceneGraphicHandle::setVisible(bool visible)
{
    if (m_node)
        m_node->getOgreNode()->setVisible(visible, true);
}

void CKEMSceneGraphicHandle::getFullTransform(float matrix[16]) const
{
    const Ogre::Matrix4& full = m_node ? m_node->getOgreNode()->_getFullTransform() : Ogre::Matrix4::IDENTITY;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            matrix[row * 4 + column] = static_cast<float>(full[row][column]);
}
