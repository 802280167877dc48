// Helpers shared by the node kinds' constructors.
#pragma once

#include "CKEMSceneNode.h"

#include <CKEMSceneGraphicHandle.h>
#include <CWrapOgreNode.h>

#include <string>

class CWrapOgreEntity;
class CWrapOgreWorld;

namespace KEMSceneNodeKind {

// The graphics node a new node's graphics node goes under: its parent's, or
// null (the graphics world's root) when the parent has none.
inline CWrapOgreNode* ParentGraphicNode(const CKEMSceneNode* node) {
    const CKEMSceneNode* parent = node->getParent();
    if (!parent || !parent->GetGraphicNode())
        return nullptr;
    return parent->GetGraphicNode()->getNode();
}

// The node's own wrapper node, or null.
inline CWrapOgreNode* WrapperNode(const CKEMSceneNode* node) {
    return node->GetGraphicNode() ? node->GetGraphicNode()->getNode() : nullptr;
}

// The graphics world the node kinds create their objects in; throws without one.
CWrapOgreWorld* World();

// A debug entity of `mesh` on `node`, entered in the graphic-element registry;
// null (and a log line) when the mesh cannot be had.
CWrapOgreEntity* CreateDebugEntity(CWrapOgreNode* node, const std::string& mesh, const std::string& material);
// Detaches, unregisters and deletes it; clears the pointer.
void DestroyDebugEntity(CWrapOgreNode* node, CWrapOgreEntity*& entity);

}  // namespace KEMSceneNodeKind
