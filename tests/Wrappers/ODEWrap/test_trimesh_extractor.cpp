// Triangle extraction from an OGRE entity, without a render system: meshes
// are built by hand in software buffers.
#include "TriMeshExtractor.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

class TriMeshExtractorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        logs = new Ogre::LogManager();
        logs->createLog("extractor.log", true, false, true);
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        scene = root->createSceneManager();
    }
    static void TearDownTestSuite()
    {
        delete root;
        delete buffers;
        delete logs;
        root = nullptr;
    }

    // A vertex block of positions.
    static Ogre::VertexData* Vertices(const std::vector<Ogre::Vector3>& points)
    {
        auto* data = new Ogre::VertexData();
        data->vertexCount = points.size();
        data->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        // A second element behind the position, so the stride is not 12.
        data->vertexDeclaration->addElement(0, 12, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES);
        auto buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            20, points.size(), Ogre::HardwareBuffer::HBU_STATIC);
        std::vector<float> raw;
        for (const auto& p : points)
            raw.insert(raw.end(), {p.x, p.y, p.z, 9.0f, 9.0f});
        buffer->writeData(0, raw.size() * sizeof(float), raw.data());
        data->vertexBufferBinding->setBinding(0, buffer);
        return data;
    }

    static void Indices(Ogre::SubMesh* sub, const std::vector<uint16_t>& indices)
    {
        auto buffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
            Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(), Ogre::HardwareBuffer::HBU_STATIC);
        buffer->writeData(0, indices.size() * sizeof(uint16_t), indices.data());
        sub->indexData->indexBuffer = buffer;
        sub->indexData->indexCount = indices.size();
        sub->indexData->indexStart = 0;
    }

    Ogre::Entity* MakeEntity(const Ogre::MeshPtr& mesh)
    {
        mesh->_setBounds(Ogre::AxisAlignedBox(-10, -10, -10, 10, 10, 10));
        mesh->load();
        return scene->createEntity(mesh);
    }

    void TearDown() override
    {
        scene->destroyAllEntities();
        Ogre::MeshManager::getSingleton().removeAll();
    }

    static Ogre::LogManager* logs;
    static Ogre::Root* root;
    static Ogre::DefaultHardwareBufferManager* buffers;
    static Ogre::SceneManager* scene;
};

Ogre::LogManager* TriMeshExtractorTest::logs = nullptr;
Ogre::Root* TriMeshExtractorTest::root = nullptr;
Ogre::DefaultHardwareBufferManager* TriMeshExtractorTest::buffers = nullptr;
Ogre::SceneManager* TriMeshExtractorTest::scene = nullptr;

const std::vector<Ogre::Vector3> kQuad = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}};

} // namespace

TEST_F(TriMeshExtractorTest, SharedVerticesComeOnceAndTheirIndicesWithoutOffset)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual("shared", "General");
    mesh->sharedVertexData = Vertices(kQuad);
    for (const std::vector<uint16_t>& tri : {std::vector<uint16_t>{0, 2, 1}, std::vector<uint16_t>{1, 2, 3}}) {
        Ogre::SubMesh* sub = mesh->createSubMesh();
        sub->useSharedVertices = true;
        Indices(sub, tri);
    }
    Ogre::Matrix4 lift = Ogre::Matrix4::IDENTITY;
    lift.makeTrans(0.0f, 2.0f, 0.0f);
    TriMeshExtractor extractor(MakeEntity(mesh), lift);

    ASSERT_EQ(extractor.GetVertexCount(), 4u);
    EXPECT_EQ(extractor.GetVertices()[3], Ogre::Vector3(1.0f, 2.0f, 1.0f));
    const std::vector<uint32_t> expected = {0, 2, 1, 1, 2, 3};
    EXPECT_EQ(extractor.GetIndices(), expected);
}

TEST_F(TriMeshExtractorTest, OwnVerticesShiftIndicesAndPartialTrianglesAreDropped)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual("own", "General");
    mesh->sharedVertexData = Vertices(kQuad);
    Ogre::SubMesh* shared = mesh->createSubMesh();
    shared->useSharedVertices = true;
    Indices(shared, {0, 2, 1, 3, 1});   // a triangle and two stray indices
    Ogre::SubMesh* own = mesh->createSubMesh();
    own->useSharedVertices = false;
    own->vertexData = Vertices({{5, 0, 5}, {6, 0, 5}, {5, 0, 6}});
    Indices(own, {0, 2, 1, 0, 2, 7});   // the second triangle names a missing vertex
    TriMeshExtractor extractor(MakeEntity(mesh), Ogre::Matrix4::IDENTITY);

    ASSERT_EQ(extractor.GetVertexCount(), 7u);
    EXPECT_EQ(extractor.GetVertices()[4], Ogre::Vector3(5.0f, 0.0f, 5.0f));
    const std::vector<uint32_t> expected = {0, 2, 1, 4, 6, 5};
    EXPECT_EQ(extractor.GetIndices(), expected);
}
