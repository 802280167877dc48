// Game elements: the game-side wrappers around the venue's scene nodes that a
// match works with. A movable element is one whose node carries a physics
// body; the throwing circle, the aim target, the best-ball markers and the
// distance-axis graduation marks are movable elements, so that the referee
// can move them together with their bodies.
#pragma once

#include <OgreVector.h>

class CKEMSceneNode;

// Moves a node (and its body) to a world position, whatever it hangs under.
void SetNodeWorldPosition(CKEMSceneNode* node, const Ogre::Vector3& position);

class CGameElement {
public:
    explicit CGameElement(CKEMSceneNode* node = nullptr) : mNode(node) {}
    virtual ~CGameElement();
    CGameElement(const CGameElement&) = delete;
    CGameElement& operator=(const CGameElement&) = delete;

    // Two slots that no element overrides; both answer false.
    virtual bool ReturnFalse(int argument);
    virtual bool ReturnFalse2(int argument);

    CKEMSceneNode* GetNode() const { return mNode; }
    void SetNode(CKEMSceneNode* node) { mNode = node; }

    // The node's world position; zero without a node.
    Ogre::Vector3 GetWorldPosition() const;
    // Squared distance between the two nodes' world positions (square metres).
    float SquaredDistanceTo(const CGameElement& other) const;

    CKEMSceneNode* mNode;   // not owned: the scene owns its nodes
};

class CMovableGameElement : public CGameElement {
public:
    explicit CMovableGameElement(CKEMSceneNode* node = nullptr) : CGameElement(node) {}

    // Moves the node (and its body) to (x, its current world height, z).
    void SetPosition2D(float x, float z);
    // Moves the node (and its body) to a world position.
    void SetWorldPosition(const Ogre::Vector3& position);
    // True when the node has a physics object whose linear velocity is not zero.
    bool IsMoving() const;
};

// The throwing circle ("cercle").
class CCircle : public CMovableGameElement {
public:
    explicit CCircle(CKEMSceneNode* node) : CMovableGameElement(node) {}
};

// A marker on the ground: the aim target ("cible"), the marker over the
// target ball ("pointeur cochonnet"), the best-ball markers ("pointeur best N").
class CTarget : public CMovableGameElement {
public:
    explicit CTarget(CKEMSceneNode* node) : CMovableGameElement(node) {}
};

// One graduation mark of the distance axis ("gradaxe N").
class CAxisGraduation : public CMovableGameElement {
public:
    explicit CAxisGraduation(CKEMSceneNode* node) : CMovableGameElement(node) {}
};
