// A scene node's handle on its wrapper node: every transform, visibility and
// re-parenting of a scene node goes through it.
#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

class CKEMSceneNode;
class CWrapOgreNode;

class CKEMSceneGraphicHandle {
public:
    // Transform spaces are OGRE's: 0 local, 1 parent, 2 world.
    enum { SPACE_LOCAL = 0, SPACE_PARENT = 1, SPACE_WORLD = 2 };

    explicit CKEMSceneGraphicHandle(CKEMSceneNode* owner);
    // The wrapper node stays until destroy(): the scene node decides when.
    ~CKEMSceneGraphicHandle() = default;
    CKEMSceneGraphicHandle(const CKEMSceneGraphicHandle&) = delete;
    CKEMSceneGraphicHandle& operator=(const CKEMSceneGraphicHandle&) = delete;

    // Creates the wrapper node in the current graphics world (under `parent`
    // when given, else under the world's root node), with scale inheritance
    // off; returns the wrapper node's name.
    std::string create(CWrapOgreNode* parent);
    // Renames the wrapper node (the OGRE node keeps its name).
    void rename(const std::string& name);
    // Unregisters the wrapper node from the graphic-element registry and
    // deletes it with everything under it.
    void destroy();

    // The same operations of the wrapper node, on the child's wrapper node.
    void removeChild(CKEMSceneGraphicHandle* child);
    void reparent(CKEMSceneGraphicHandle* child);
    // Puts the OGRE node directly under the current scene manager's root node,
    // out of its wrapper parent: the node then belongs to this handle alone.
    void attachToRoot();

    void translate(const Ogre::Vector3& move, int space);
    void setPosition(const Ogre::Vector3& position);
    void rotate(const Ogre::Quaternion& rotation, int space);
    void setOrientation(const Ogre::Quaternion& orientation);
    void setScale(const Ogre::Vector3& scale);
    Ogre::Vector3 getScale() const;
    // World values for space 2, local (parent-relative) values otherwise.
    Ogre::Vector3 getPosition(int space) const;
    Ogre::Quaternion getOrientation(int space) const;
    // Shows or hides the node and everything under it.
    void setVisible(bool visible);
    // The OGRE node's world transform, row-major, 16 floats.
    void getFullTransform(float matrix[16]) const;

    CKEMSceneNode* getOwner() const { return m_owner; }
    CWrapOgreNode* getNode() const { return m_node; }

private:
    CKEMSceneNode* m_owner;
    CWrapOgreNode* m_node = nullptr;
};
