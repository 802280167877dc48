// Collision-mesh nodes against real ODE: the collider is the render mesh's
// triangles at the node's scale, rebuilt with its old data freed when the
// scale or the mesh changes, only moved when the node moves, and bound to a
// material the physics manager lists.
#include "CollisionMeshTestUtil.h"
#include "SceneText.h"

#include <CKEMSceneCollisionMesh.h>
#include <COdeActor.h>
#include <COdeMaterial.h>
#include <COdeShapes.h>
#include <CPhysicMaterial.h>
#include <KEMException.h>
#include <PhysicDesc.h>

#include <algorithm>
#include <cmath>

using namespace scenetext;

namespace {

class CollisionMeshTest : public PhysicsSceneTest {
protected:
    void SetUp() override
    {
        PhysicsSceneTest::SetUp();
        AddTestMeshes();
        gPhysicMgr.SetStepSize(1.0f / 400.0f);
    }

    size_t Entities() const { return mSceneManager->getMovableObjects("Entity").size(); }

    COdeMeshData Data(const CKEMSceneCollisionMesh* mesh) const
    {
        return mWorld->GetMeshData(mesh->GetPart().GetShapeDesc()->meshId);
    }

    // The largest |x|, |y| and |z| of the collider's vertices.
    Ogre::Vector3 Reach(const CKEMSceneCollisionMesh* mesh) const
    {
        const COdeMeshData data = Data(mesh);
        Ogre::Vector3 reach = Ogre::Vector3::ZERO;
        for (int i = 0; i < data.vertexCount; ++i)
            for (int k = 0; k < 3; ++k)
                reach[k] = std::max(reach[k], std::abs(data.vertices[3 * i + k]));
        return reach;
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame(1.0f / 60.0f);
    }
};

std::string MeshRecord(const std::string& name, const std::string& mesh, const std::string& material)
{
    return "<KEM_SCENE_NODE_VARLIST>\n"
           "\t<CKEMSCENENODE_CLASSTYPE value=\"8\" />\n"
           "\t<CKEMSCENENODE_NAME value=\"" + name + "\"/>\n"
           "\t<CKEMSCENENODE_PARENTNAME value=\"KEM_ROOT\"/>\n"
           "\t<CKEMSCENECOLLMESH_MRESSOURCE value=\"" + mesh + "\"/>\n"
           "\t<CPHYSIC_MATERIAL_ID value=\"" + material + "\"/>\n"
           "</KEM_SCENE_NODE_VARLIST>\n";
}

void ExpectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

}  // namespace

TEST_F(CollisionMeshTest, ColliderIsTheMeshTrianglesShownOnlyInDebugMode)
{
    auto* mesh = new CKEMSceneCollisionMesh(nullptr, "ground.mesh");
    EXPECT_EQ(mesh->getKEM_NodeType(), CKEMSceneNode::KEM_SCENE_COLLISIONMESH);
    const CKEMSceneCollisionMesh::Part& part = mesh->GetPart();
    ASSERT_NE(part.GetActor(), nullptr);
    EXPECT_EQ(part.GetActor()->getBody(), nullptr);
    EXPECT_EQ(part.GetActor()->getContactListener(), mesh);
    ASSERT_EQ(mWorld->GetMeshDataCount(), 1u);
    // ground.mesh: 11 x 11 vertices, 10 x 10 cells of two triangles, 20 m wide.
    EXPECT_EQ(Data(mesh).vertexCount, 121);
    EXPECT_EQ(Data(mesh).indexCount, 600);
    ExpectVector(Reach(mesh), Ogre::Vector3(10, 0, 10));

    EXPECT_EQ(part.GetEntity(), nullptr);
    EXPECT_EQ(Entities(), 0u);
    mesh->setDebugMode(true);
    ASSERT_NE(part.GetEntity(), nullptr);
    EXPECT_EQ(Entities(), 1u);
    mesh->setDebugMode(false);
    EXPECT_EQ(part.GetEntity(), nullptr);
    EXPECT_EQ(Entities(), 0u);
}

// Moving keeps the collider and places its actor; scaling or another mesh
// builds a new one and frees the old triangle data; deleting the node takes
// the actor and the data out of the world.
TEST_F(CollisionMeshTest, RebuildsFreeTheirOldMeshData)
{
    auto* mesh = new CKEMSceneCollisionMesh(nullptr, "ground.mesh");
    const CKEMSceneCollisionMesh::Part& part = mesh->GetPart();
    COdeActor* actor = part.GetActor();
    const uint32_t first = part.GetShapeDesc()->meshId;

    const Ogre::Quaternion turn(Ogre::Degree(30), Ogre::Vector3::UNIT_Y);
    mesh->setPosition(Ogre::Vector3(1, -0.5f, 3), true);
    mesh->SetOrientation(turn, true);
    EXPECT_EQ(part.GetActor(), actor);
    EXPECT_EQ(part.GetShapeDesc()->meshId, first);
    ExpectVector(actor->getPosition(), Ogre::Vector3(1, -0.5f, 3));
    EXPECT_TRUE(actor->getOrientation().equals(turn, Ogre::Degree(0.01f)));

    mesh->SetScale(Ogre::Vector3(2, 1, 0.5f));
    ASSERT_NE(part.GetActor(), nullptr);
    EXPECT_NE(part.GetShapeDesc()->meshId, first);
    EXPECT_EQ(mWorld->GetMeshDataCount(), 1u);
    EXPECT_THROW(mWorld->GetMeshData(first), CKEMException);
    EXPECT_EQ(mWorld->GetActors().size(), 1u);
    ExpectVector(Reach(mesh), Ogre::Vector3(20, 0, 5));
    ExpectVector(part.GetActor()->getPosition(), Ogre::Vector3(1, -0.5f, 3));

    // The rebuilt collider holds a ball where only the scaled ground reaches.
    mesh->SetOrientation(Ogre::Quaternion::IDENTITY, true);
    CPhysicObject* ball = AddBall("ball", Ogre::Vector3(16, 0.5f, 3));
    Frames(120);
    EXPECT_NEAR(ball->GetActor()->getPosition().y, -0.5f + 0.0375f, 0.005f);

    mesh->setResource("testcube.mesh", nullptr);
    EXPECT_EQ(mWorld->GetMeshDataCount(), 1u);
    EXPECT_EQ(Data(mesh).indexCount, 36);

    // No collider of the previous mesh stays under a mesh that cannot be had.
    mesh->setResource("nosuch.mesh", nullptr);
    EXPECT_EQ(part.GetActor(), nullptr);
    EXPECT_EQ(mWorld->GetMeshDataCount(), 0u);

    mesh->setResource("ground.mesh", nullptr);
    EXPECT_EQ(mWorld->GetMeshDataCount(), 1u);
    ASSERT_TRUE(CKEMSceneGraph::DeleteNode(mesh->getName()));
    EXPECT_EQ(mWorld->GetMeshDataCount(), 0u);
    EXPECT_EQ(mWorld->GetActors().size(), 1u);   // the ball's
}

// The material comes from the scene record's id when the manager lists it;
// an unknown id keeps "Default". A held material cannot be removed, and one
// the manager deleted (scene cleared) is not touched again.
TEST_F(CollisionMeshTest, TakesOnlyListedMaterials)
{
    ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(
        Root(Settings(1.0f / 400.0f) + Material("terrain", 8.0f, 0.1f)).c_str()));
    CPhysicMaterial* terrain = gPhysicMgr.FindMaterial("terrain");
    ASSERT_NE(terrain, nullptr);
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(
        Root(MeshRecord("known", "ground.mesh", "terrain") + MeshRecord("unknown", "ground.mesh", "gravel")).c_str()));
    auto* known = dynamic_cast<CKEMSceneCollisionMesh*>(CKEMSceneGraph::FindNode("known"));
    auto* unknown = dynamic_cast<CKEMSceneCollisionMesh*>(CKEMSceneGraph::FindNode("unknown"));
    ASSERT_TRUE(known && unknown);

    EXPECT_EQ(known->GetMaterial(), terrain);
    EXPECT_EQ(known->GetMaterialId(), "terrain");
    EXPECT_EQ(terrain->GetRefCount(), 1);
    ASSERT_NE(known->GetPart().GetShape(), nullptr);
    EXPECT_EQ(known->GetPart().GetShape()->getMaterial(), terrain->GetRecord());
    EXPECT_FALSE(gPhysicMgr.RemoveMaterial(terrain));

    EXPECT_EQ(unknown->GetMaterial(), nullptr);
    EXPECT_EQ(unknown->GetMaterialId(), "Default");
    ASSERT_NE(unknown->GetPart().GetShape(), nullptr);
    EXPECT_EQ(unknown->GetPart().GetShape()->getMaterial(), mWorld->GetMaterial("default"));

    // A material the manager does not list changes nothing.
    CPhysicMaterial stray("stray", 1, 1, 0.01f, 0, 0, 0, 1, 0, 0);
    known->setResource("ground.mesh", &stray);
    EXPECT_EQ(known->GetMaterial(), terrain);
    EXPECT_EQ(stray.GetRefCount(), 0);
    // None goes back to "Default" and lets the material go.
    known->setResource("ground.mesh", nullptr);
    EXPECT_EQ(known->GetMaterialId(), "Default");
    EXPECT_EQ(terrain->GetRefCount(), 0);

    known->setResource("ground.mesh", terrain);
    gPhysicMgr.Clear();
    EXPECT_EQ(known->GetMaterial(), nullptr);
    known->setResource("ground.mesh", nullptr);
    EXPECT_EQ(known->GetMaterialId(), "Default");
}

// A world deleted under a collision mesh took its actor and data: the node
// forgets them and goes without touching the world.
TEST_F(CollisionMeshTest, OutlivesItsWorld)
{
    auto* mesh = new CKEMSceneCollisionMesh(nullptr, "ground.mesh");
    ASSERT_NE(mesh->GetPart().GetActor(), nullptr);
    delete mWorld;
    mWorld = nullptr;
    EXPECT_EQ(mesh->GetPart().GetActor(), nullptr);
    mesh->SetScale(Ogre::Vector3(2, 2, 2));
    mesh->setResource("testcube.mesh", nullptr);
    EXPECT_EQ(mesh->GetPart().GetActor(), nullptr);
    EXPECT_TRUE(CKEMSceneGraph::DeleteNode(mesh->getName()));
}

// A sphere whose centre lies on the ground's triangles (a vertex, an edge, a
// face) gets contacts without a normal from ODE's mesh collider; a joint
// made from one sent the body to NaN and ODE ended the process. The body
// steps on with a finite pose.
TEST_F(CollisionMeshTest, ASphereCentredOnTheMeshStepsOn)
{
    const Ogre::Vector3 centres[] = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 1.0f}, {0.5f, 0.0f, 0.3f}};
    for (const Ogre::Vector3& centre : centres) {
        SCOPED_TRACE(::testing::Message() << centre);
        auto* mesh = new CKEMSceneCollisionMesh(nullptr, "ground.mesh");
        mesh->setName("ground");
        TestNode* ball = new TestNode(nullptr, "ball");
        ball->setPosition(centre, false);
        const std::string text = Root(Settings(1.0f / 400.0f) + Object("ball", 1, 1, 1.0f, 0, 0, 0.7f, ""));
        ASSERT_TRUE(gPhysicMgr.LoadSettingsAndMaterials(text.c_str()));
        ASSERT_TRUE(gPhysicMgr.LoadObjectsAndJoints(text.c_str()));
        Frames(30);
        const Ogre::Vector3 body = ball->getPhysicObject()->GetActor()->getPosition();
        EXPECT_TRUE(std::isfinite(body.x) && std::isfinite(body.y) && std::isfinite(body.z)) << body;
        const Ogre::Quaternion q = ball->getPhysicObject()->GetActor()->getOrientation();
        EXPECT_TRUE(std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z));
        CKEMSceneGraph::DeleteNode("ball");
        CKEMSceneGraph::DeleteNode("ground");
        gPhysicMgr.Clear();
    }
}
