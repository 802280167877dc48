// Scene loading: a venue's scene file rebuilds the root, the default camera
// and the physics world, then the readers run in a fixed order: physics
// settings and materials, nodes, physic objects and joints, graphic
// environment.
#include "CGraphicEnvMgr.h"
#include "CKEMFrameWork.h"

#include <CKEMSceneGraph.h>
#include <CScenaricMgr.h>
#include <Platform.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// Steps 1 to 4 of a load: an empty scene, the default camera back when there
// was one, a fresh physics world.
void RebuildEmptyScene() {
    const CKEMScenePhysicsHooks& physics = CKEMSceneGraph::PhysicsHooks();
    CKEMSceneGraph::DestroyRootNode();
    if (physics.clear)
        physics.clear();
    gScenaricMgr.ResetAll();

    const bool hadCamera = CKEMSceneGraph::GetViewport() != nullptr;
    if (hadCamera)
        CKEMSceneGraph::DestroyDefaultCamera();
    CKEMSceneGraph::CreateRootNode();
    if (hadCamera)
        CKEMSceneGraph::CreateDefaultCamera();
    if (physics.createWorld)
        physics.createWorld();
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(PlatFixPath(path), std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

CKEMSceneNode* CKEMFrameWork::CreateNodeByType(int classType, CKEMSceneNode* parent, const std::string& resource) {
    return CKEMSceneGraph::CreateNodeByType(classType, parent, resource);
}

int CKEMFrameWork::LoadScene(const char* path) {
    RebuildEmptyScene();
    if (!path)
        return 1;

    std::string text;
    if (!ReadFile(path, text)) {
        PlatLog("CKEMFrameWork::LoadScene: cannot read \"%s\"", path);
        return 0;
    }

    const CKEMScenePhysicsHooks& physics = CKEMSceneGraph::PhysicsHooks();
    const char* const doc = text.c_str();
    bool loaded = !physics.loadSettingsAndMaterials || physics.loadSettingsAndMaterials(doc);
    loaded = loaded && CKEMSceneGraph::LoadNodes(doc);
    loaded = loaded && (!physics.loadObjectsAndJoints || physics.loadObjectsAndJoints(doc));
    loaded = loaded && gGraphicEnvMgr.Load(doc);
    if (loaded)
        return 1;

    // A venue that did not load whole is not played half: nothing of it stays.
    PlatLog("CKEMFrameWork::LoadScene: \"%s\" did not load; the scene is left empty", path);
    RebuildEmptyScene();
    return 0;
}
