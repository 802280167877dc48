// A collision mesh built on the GL render system, as the game runs: the
// triangles come out of the render system's own mesh buffers (needs a
// display: runs under xvfb-run).
#include "OgreHeadless.h"

#include <CKEMSceneCollisionMesh.h>
#include <CKEMSceneGraph.h>
#include <COdeActor.h>
#include <COdeShapes.h>
#include <COdeWorld.h>
#include <CPhysicMgr.h>
#include <CPhysicsSystemODE.h>
#include <PhysicDesc.h>

#include <algorithm>
#include <cmath>

namespace {

class CollisionMeshOnDisplay : public OgreWrapTest {
protected:
    void SetUp() override
    {
        OgreWrapTest::SetUp();
        mPhysicsWorld = CPhysicsSystemODE().CreateWorld();
        gPhysicMgr.CreateWorld(mPhysicsWorld);
        CKEMSceneGraph::CreateRootNode();
    }
    void TearDown() override
    {
        CKEMSceneGraph::DestroyRootNode();
        delete mPhysicsWorld;
        gPhysicMgr.CreateWorld(nullptr);
        OgreWrapTest::TearDown();
    }

    COdeWorld* mPhysicsWorld = nullptr;
};

}  // namespace

TEST_F(CollisionMeshOnDisplay, ColliderReadsTheRenderedMesh)
{
    auto* mesh = new CKEMSceneCollisionMesh(nullptr, "ground.mesh");
    ASSERT_NE(mesh->GetPart().GetActor(), nullptr);
    const COdeMeshData data = mPhysicsWorld->GetMeshData(mesh->GetPart().GetShapeDesc()->meshId);
    EXPECT_EQ(data.vertexCount, 121);
    EXPECT_EQ(data.indexCount, 600);
    float reach = 0.0f;
    for (int i = 0; i < 3 * data.vertexCount; ++i)
        reach = std::max(reach, std::abs(data.vertices[i]));
    EXPECT_FLOAT_EQ(reach, 10.0f);
}
