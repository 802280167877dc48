// The physics manager's services to the scene graph's collision-mesh nodes:
// its world and its materials.
#pragma once

// Fills CKEMSceneCollisionMesh::Physics(); CPhysicMgr::Install calls it.
void InstallCollisionMeshPhysics();
