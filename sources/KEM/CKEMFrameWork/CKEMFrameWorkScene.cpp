// Scene loading: a venue's scene file rebuilds the root, the default camera
// and the physics world, then the readers run in a fixed order: physics
// settings and materials, nodes, physic objects and joints, graphic
// environment.
#include "CGraphicEnvMgr.h"
#include "CKEMFrameWork.h"

#include <CKEMSceneGraph.h>
#include <CScenaricMgr.h>
#include <KEMSceneLog.h>
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

    // Every line about a value the file gets wrong names the file.
    KEMSceneLog::FileGuard file(path);
    std::string text;
    if (!ReadFile(path, text)) {
        PlatLog("CKEMFrameWork::LoadScene: cannot read \"%s\"", path);
        return 0;
    }

    const CKEMScenePhysicsHooks& physics = CKEMSceneGraph::PhysicsHooks();
    const char* const doc = text.c_str();
    const char* failed = nullptr;
    if (physics.loadSettingsAndMaterials && !physics.loadSettingsAndMaterials(doc))
        failed = "physics settings and materials";
    else if (!CKEMSceneGraph::LoadNodes(doc))
        failed = "nodes";
    else if (physics.loadObjectsAndJoints && !physics.loadObjectsAndJoints(doc))
        failed = "physic objects and joints";
    else if (!gGraphicEnvMgr.Load(doc))
        failed = "graphic environment";
    if (!failed)
        return 1;

    // A venue that did not load whole is not played half: nothing of it stays.
    PlatLog("CKEMFrameWork::LoadScene: \"%s\" did not load (%s, see the line before); the scene is left empty",
            path, failed);
    RebuildEmptyScene();
    return 0;
}
