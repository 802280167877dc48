#include "CollisionMeshPhysics.h"

#include "CPhysicMaterial.h"
#include "CPhysicMgr.h"

#include <CKEMSceneCollisionMesh.h>

namespace {

COdeWorld* World() { return gPhysicMgr.GetWorld(); }
CPhysicMaterial* FindMaterial(const std::string& id) { return gPhysicMgr.FindMaterial(id); }
bool IsListed(const CPhysicMaterial* material) { return gPhysicMgr.HasMaterial(material); }
std::string MaterialId(const CPhysicMaterial* material) { return material ? material->GetMaterialId() : std::string(); }
void AddRef(CPhysicMaterial* material)
{
    if (material)
        material->AddRef();
}
void Release(CPhysicMaterial* material)
{
    if (material)
        material->Release();
}

}  // namespace

void InstallCollisionMeshPhysics()
{
    CKEMCollisionMeshPhysics& physics = CKEMSceneCollisionMesh::Physics();
    physics.world = &World;
    physics.findMaterial = &FindMaterial;
    physics.isListed = &IsListed;
    physics.materialId = &MaterialId;
    physics.addRef = &AddRef;
    physics.release = &Release;
}
