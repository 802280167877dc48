#include "CKEMSceneNodeKind.h"

#include <CGraphicElementRegistry.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <Platform.h>

namespace KEMSceneNodeKind {

CWrapOgreWorld* World() {
    CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
    if (!world)
        KEM_THROW_SRC("no graphics world for the scene node", "CKEMSceneNode");
    return world;
}

CWrapOgreEntity* CreateDebugEntity(CWrapOgreNode* node, const std::string& mesh, const std::string& material) {
    if (!node)
        return nullptr;
    CWrapOgreEntity* entity = nullptr;
    try {
        entity = World()->CreateEntity(mesh);
        if (!material.empty())
            entity->setMaterialName(material);
    } catch (const CKEMException& e) {
        // Debug display only: a missing helper mesh must not stop the game.
        PlatLog("debug mesh \"%s\" not shown: %s", mesh.c_str(), e.GetReason().c_str());
        delete entity;
        return nullptr;
    }
    node->attachEntity(entity);
    if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent())
        registry->RegisterElement(entity, node);
    return entity;
}

void DestroyDebugEntity(CWrapOgreNode* node, CWrapOgreEntity*& entity) {
    if (!entity)
        return;
    if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent())
        registry->UnregisterElement(entity);
    if (node) {
        try {
            node->detachEntity(entity);
        } catch (const CKEMException& e) {
            PlatLog("debug entity: %s", e.GetReason().c_str());
        }
    }
    delete entity;
    entity = nullptr;
}

}  // namespace KEMSceneNodeKind
