// The graphics world: meshes, picking, viewports and cameras; and the small
// framework objects (registry, debug selection, compositor list).
#include "OgreHeadless.h"

#include "CDebugSelection.h"
#include "CKEMSceneGraphicHandle.h"
#include "CWrapOgreCamera.h"
#include "CWrapOgreCompositorList.h"
#include "CWrapOgreEntity.h"
#include "CWrapOgreLight.h"
#include "CWrapOgreNode.h"
#include "KEMException.h"

#include <OgreCompositorManager.h>

#include <utility>
#include <vector>

namespace {

void expectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

struct MeshGeometry {
    std::vector<Ogre::Vector3> positions, normals;
    std::vector<uint32_t> indices;
};

MeshGeometry readGeometry(const Ogre::MeshPtr& mesh)
{
    MeshGeometry out;
    const Ogre::VertexData* vertices = mesh->sharedVertexData;
    const Ogre::VertexElement* pos = vertices->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
    const Ogre::VertexElement* nor = vertices->vertexDeclaration->findElementBySemantic(Ogre::VES_NORMAL);
    if (!pos || !nor)
        return out;
    for (const Ogre::VertexElement* element : {pos, nor}) {
        Ogre::HardwareVertexBufferSharedPtr buffer = vertices->vertexBufferBinding->getBuffer(element->getSource());
        const auto* base = static_cast<const unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
        for (size_t i = 0; i < vertices->vertexCount; ++i) {
            const float* f = nullptr;
            element->baseVertexPointerToElement(const_cast<unsigned char*>(base) + i * buffer->getVertexSize(), &f);
            (element == pos ? out.positions : out.normals).emplace_back(f[0], f[1], f[2]);
        }
        buffer->unlock();
    }
    const Ogre::IndexData* indices = mesh->getSubMesh(0)->indexData;
    Ogre::HardwareIndexBufferSharedPtr buffer = indices->indexBuffer;
    const auto* data = static_cast<const uint16_t*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
    for (size_t i = 0; i < indices->indexCount; ++i)
        out.indices.push_back(data[indices->indexStart + i]);
    buffer->unlock();
    return out;
}

}  // namespace

// The authored meshes convert, load, are lit from outside (unit normals on the
// outer side, triangles wound to face along them) and name loadable materials.
TEST_F(OgreWrapTest, AuthoredMeshesLoadWithOutwardNormalsAndFrontFacingTriangles)
{
    struct Case {
        const char* mesh;
        const char* material;
        Ogre::Vector3 min, max;
    };
    const Case cases[] = {
        {"testcube.mesh", "KEM/TestCube", Ogre::Vector3(-0.5f, -0.5f, -0.5f), Ogre::Vector3(0.5f, 0.5f, 0.5f)},
        {"ball.mesh", "KEM/Ball", Ogre::Vector3(-1, -1, -1), Ogre::Vector3(1, 1, 1)},
        {"ground.mesh", "KEM/Ground", Ogre::Vector3(-10, 0, -10), Ogre::Vector3(10, 0, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mesh);
        CWrapOgreEntity* entity = mWorld->CreateEntity(c.mesh);
        mWorld->GetRootNode()->attachEntity(entity);
        const Ogre::MeshPtr& mesh = entity->getEntity()->getMesh();
        expectVector(mesh->getBounds().getMinimum(), c.min);
        expectVector(mesh->getBounds().getMaximum(), c.max);
        ASSERT_EQ(mesh->getNumSubMeshes(), 1u);
        EXPECT_EQ(mesh->getSubMesh(0)->getMaterialName(), c.material);

        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(c.material);
        ASSERT_TRUE(material);
        EXPECT_TRUE(material->getTechnique(0)->getPass(0)->getLightingEnabled());
        material.reset();

        const MeshGeometry geometry = readGeometry(mesh);
        ASSERT_FALSE(geometry.normals.empty()) << "no normals";
        ASSERT_EQ(geometry.indices.size() % 3, 0u);
        const Ogre::Vector3 centre = mesh->getBounds().getCenter();
        for (size_t v = 0; v < geometry.normals.size(); ++v) {
            ASSERT_NEAR(geometry.normals[v].length(), 1.0f, 1e-3f) << "vertex " << v;
            if (std::string(c.mesh) != "ground.mesh") {
                ASSERT_GT(geometry.normals[v].dotProduct(geometry.positions[v] - centre), 0.0f) << "vertex " << v;
            }
        }
        for (size_t t = 0; t < geometry.indices.size(); t += 3) {
            const Ogre::Vector3& a = geometry.positions[geometry.indices[t]];
            const Ogre::Vector3& b = geometry.positions[geometry.indices[t + 1]];
            const Ogre::Vector3& d = geometry.positions[geometry.indices[t + 2]];
            const Ogre::Vector3 face = (b - a).crossProduct(d - a);
            ASSERT_GT(face.length(), 0.0f) << "degenerate triangle " << t / 3;
            ASSERT_GT(face.dotProduct(geometry.normals[geometry.indices[t]]), 0.0f) << "triangle " << t / 3;
        }
    }
}

TEST_F(OgreWrapTest, AMissingMeshIsAnEngineExceptionNotACrash)
{
    try {
        mWorld->CreateEntity("no_such.mesh");
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason().rfind("Ogre Exception: ", 0), 0u) << e.GetReason();
        EXPECT_NE(e.GetReason().find("no_such.mesh"), std::string::npos);
    }
    EXPECT_TRUE(mSceneManager->getMovableObjects("Entity").empty());
}

// Cubes of side 1 along the -Z axis; the ray starts at the origin and looks down -Z.
class PickTest : public OgreWrapTest {
protected:
    CWrapOgreEntity* cubeAt(float z, const std::string& nodeName, bool registered = true)
    {
        CKEMSceneGraphicHandle* handle = new CKEMSceneGraphicHandle(nullptr);
        mHandles.emplace_back(handle);
        handle->create(nullptr);
        handle->rename(nodeName);
        handle->setPosition(Ogre::Vector3(0, 0, z));
        CWrapOgreEntity* entity = mWorld->CreateEntity("testcube.mesh");
        handle->getNode()->attachEntity(entity);
        if (registered)
            mRegistry->RegisterElement(entity, handle->getNode());
        return entity;
    }
    void TearDown() override
    {
        for (auto& handle : mHandles)
            handle->destroy();
        OgreWrapTest::TearDown();
    }
    Ogre::Vector3 pick(const std::string& filter, const Ogre::Vector3& origin = Ogre::Vector3::ZERO)
    {
        updateSceneGraph();
        return mWorld->PickEntity(Ogre::Ray(origin, Ogre::Vector3::NEGATIVE_UNIT_Z), filter);
    }
    std::vector<std::unique_ptr<CKEMSceneGraphicHandle>> mHandles;
};

TEST_F(PickTest, TheFilterPassesOverNearerEntitiesOfOtherNodes)
{
    cubeAt(-5, "player");
    cubeAt(-10, "terrain");
    expectVector(pick(""), Ogre::Vector3(0, 0, -4.5f));
    expectVector(pick("terrain"), Ogre::Vector3(0, 0, -9.5f));
    expectVector(pick("nothing"), Ogre::Vector3::ZERO);
    // A ray starting inside the near cube does not hit it.
    expectVector(pick("", Ogre::Vector3(0, 0, -5)), Ogre::Vector3(0, 0, -9.5f));
}

TEST_F(PickTest, OnlyEntitiesOfThisWorldCountAndUnregisteredOnesOnlyWithoutFilter)
{
    cubeAt(-10, "terrain");
    cubeAt(-7, "unregistered", false);
    Ogre::Entity* foreign = mSceneManager->createEntity("foreign", "testcube.mesh");
    Ogre::SceneNode* foreignNode = mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, -3));
    foreignNode->attachObject(foreign);
    Ogre::ManualObject* manual = mSceneManager->createManualObject("manual");
    manual->begin("BaseWhite", Ogre::RenderOperation::OT_TRIANGLE_LIST);
    manual->position(-1, -1, -2);
    manual->position(1, -1, -2);
    manual->position(0, 1, -2);
    manual->end();
    foreignNode->attachObject(manual);

    expectVector(pick(""), Ogre::Vector3(0, 0, -6.5f));
    expectVector(pick("terrain"), Ogre::Vector3(0, 0, -9.5f));
    expectVector(pick("unregistered"), Ogre::Vector3::ZERO);

    mSceneManager->destroyEntity(foreign);
    mSceneManager->destroyManualObject(manual);
    mSceneManager->destroySceneNode(foreignNode);
}

TEST_F(PickTest, TheHitFlagTellsAHitAtTheOriginFromNoHit)
{
    cubeAt(-0.5f, "terrain");   // its front face passes through the origin
    const Ogre::Ray fromFront(Ogre::Vector3(0, 0, 5), Ogre::Vector3::NEGATIVE_UNIT_Z);
    const Ogre::Ray away(Ogre::Vector3(0, 0, 5), Ogre::Vector3::UNIT_Z);
    updateSceneGraph();

    Ogre::Vector3 point(1, 2, 3);
    EXPECT_TRUE(mWorld->PickEntity(fromFront, "terrain", point));
    expectVector(point, Ogre::Vector3::ZERO);
    EXPECT_FALSE(mWorld->PickEntity(away, "terrain", point));
    expectVector(point, Ogre::Vector3::ZERO);
    // The old form cannot tell them apart, and stays as it was.
    expectVector(mWorld->PickEntity(fromFront, "terrain"), Ogre::Vector3::ZERO);
    expectVector(mWorld->PickEntity(away, "terrain"), Ogre::Vector3::ZERO);
}

TEST_F(OgreWrapTest, CamerasAndLightsTakeAnglesInRadians)
{
    CWrapOgreCamera* first = mWorld->CreateCamera();
    CWrapOgreCamera* second = mWorld->CreateCamera();
    EXPECT_NE(first->getCamera()->getName(), second->getCamera()->getName());
    first->setFOVy(0.8f);
    EXPECT_FLOAT_EQ(first->getFOVy(), 0.8f);
    EXPECT_FLOAT_EQ(first->getCamera()->getFOVy().valueDegrees(), Ogre::Radian(0.8f).valueDegrees());

    CWrapOgreNode* node = mWorld->CreateNode();
    node->attachCamera(first);
    node->attachCamera(second);
    node->setPosition(Ogre::Vector3(0, 2, 0));
    updateSceneGraph();
    const Ogre::Ray ray = first->getCameraToViewportRay(0.5f, 0.5f);   // starts on the near plane
    expectVector(ray.getOrigin(), Ogre::Vector3(0, 2, -first->getNearClipDistance()));
    expectVector(ray.getDirection(), Ogre::Vector3::NEGATIVE_UNIT_Z);

    CWrapOgreLight* light = mWorld->CreateLight();
    node->attachLight(light);
    light->setSpotlightRange(0.3f, 0.6f, 2.0f);
    EXPECT_FLOAT_EQ(light->getSpotlightInnerAngle(), 0.3f);
    EXPECT_FLOAT_EQ(light->getSpotlightOuterAngle(), 0.6f);
    EXPECT_FLOAT_EQ(light->getSpotlightFalloff(), 2.0f);
    light->setAttenuation(50, 1, 0.5f, 0.25f);
    EXPECT_FLOAT_EQ(light->getAttenuationRange(), 50);
    EXPECT_FLOAT_EQ(light->getAttenuationQuadric(), 0.25f);
    light->setDirection(Ogre::Vector3(0, -1, 0));
    expectVector(light->getDirection(), Ogre::Vector3(0, -1, 0));
}

TEST_F(OgreWrapTest, DestroyingTheCoreTwiceIsHarmlessAndLeavesNoCurrentCore)
{
    mWorld.reset();
    mSystem->DestroyCore();
    EXPECT_EQ(mSystem->GetCore(), nullptr);
    EXPECT_EQ(CWrapOgreWorld::GetCore(), nullptr);
    EXPECT_EQ(CWrapOgreWorld::GetSceneManager(), nullptr);
    mSystem->DestroyCore();
}

TEST(CGraphicElementRegistry, FirstRegistrationWinsAndNodesUnregisterTheirFirstElement)
{
    auto element = [](uintptr_t v) { return reinterpret_cast<CWrapOgreGraphicElement*>(v); };
    auto node = [](uintptr_t v) { return reinterpret_cast<CWrapOgreNode*>(v); };
    CGraphicElementRegistry registry(nullptr);
    EXPECT_EQ(CGraphicElementRegistry::GetCurrent(), &registry);

    registry.RegisterElement(element(0x10), node(0x100));
    registry.RegisterElement(element(0x10), node(0x200));
    EXPECT_EQ(registry.GetElementNode(element(0x10)), node(0x100));
    registry.RegisterElement(element(0x20), node(0x100));
    registry.RegisterElement(element(0x30), node(0x300));

    registry.UnregisterNode(node(0x100));
    EXPECT_EQ(registry.GetElementNode(element(0x10)), nullptr);
    EXPECT_EQ(registry.GetElementNode(element(0x20)), node(0x100));
    registry.UnregisterElement(element(0x30));
    EXPECT_EQ(registry.GetElementNode(element(0x30)), nullptr);

    auto* light1 = reinterpret_cast<CKEMSceneLight*>(0x1);
    auto* light2 = reinterpret_cast<CKEMSceneLight*>(0x2);
    registry.RegisterLightNode(node(0x100), light1);
    registry.RegisterLightNode(node(0x100), light2);
    EXPECT_EQ(registry.GetLightNode(node(0x100)), light1);
    registry.UnregisterLightNode(node(0x100));
    EXPECT_EQ(registry.GetLightNode(node(0x100)), nullptr);

    auto* joint = reinterpret_cast<CPhysicJoint*>(0x5);
    registry.RegisterJointNode(node(0x100), joint, 2);
    registry.RegisterJointNode(node(0x100), nullptr, 1);
    CPhysicJoint* foundJoint = nullptr;
    uint16_t part = 0;
    ASSERT_TRUE(registry.GetJointNode(node(0x100), foundJoint, part));
    EXPECT_EQ(foundJoint, joint);
    EXPECT_EQ(part, 2);
    registry.UnregisterJointNode(node(0x100));
    EXPECT_FALSE(registry.GetJointNode(node(0x100), foundJoint, part));
}

namespace {
std::vector<std::pair<CPhysicObject*, std::string>> g_physicMaterials;
std::map<uint32_t, CWrapOgreNode*> g_markers;
}

TEST_F(OgreWrapTest, DebugSelectionHighlightsOneThingAndDropsItWhenTheModeChanges)
{
    Ogre::MaterialManager::getSingleton().create("debugMaterialA", "General");
    Ogre::MaterialManager::getSingleton().create("debugMaterialSelected", "General");
    g_physicMaterials.clear();
    g_markers.clear();
    CDebugSelection::SetPhysicMaterialSetter(
        [](CPhysicObject* object, const std::string& material) { g_physicMaterials.emplace_back(object, material); });
    CDebugSelection::SetPointMarkerLookup([](CKEMScenePath*, uint32_t index) {
        auto it = g_markers.find(index);
        return it == g_markers.end() ? nullptr : it->second;
    });
    std::vector<CWrapOgreEntity*> markers;
    for (uint32_t i = 0; i < 2; ++i) {
        g_markers[i] = mWorld->CreateNode();
        markers.push_back(mWorld->CreateEntity("testcube.mesh"));
        g_markers[i]->attachEntity(markers.back());
    }
    auto materialOf = [&](int i) { return markers[i]->getEntity()->getSubEntity(0)->getMaterialName(); };

    CDebugSelection selection;
    EXPECT_EQ(selection.GetMode(), CDebugSelection::MODE_NONE);
    EXPECT_EQ(selection.GetSelectedPoint(), CDebugSelection::NO_POINT);

    selection.SetPath(reinterpret_cast<CKEMScenePath*>(0x1));
    selection.SetMode(CDebugSelection::MODE_PATH_POINT);
    selection.SelectPoint(0);
    EXPECT_EQ(materialOf(0), "debugMaterialSelected");
    selection.SelectPoint(1);
    EXPECT_EQ(materialOf(0), "debugMaterialA");
    EXPECT_EQ(materialOf(1), "debugMaterialSelected");

    selection.SetMode(CDebugSelection::MODE_PHYSIC_OBJECT);
    EXPECT_EQ(materialOf(1), "debugMaterialA");
    EXPECT_EQ(selection.GetSelectedPoint(), CDebugSelection::NO_POINT);

    auto* first = reinterpret_cast<CPhysicObject*>(0x10);
    auto* second = reinterpret_cast<CPhysicObject*>(0x20);
    selection.SelectPhysicObject(first);
    selection.SelectPhysicObject(second);
    selection.SetMode(CDebugSelection::MODE_JOINT);
    const std::vector<std::pair<CPhysicObject*, std::string>> expected = {
        {first, "physicObjectMaterialSelected"},
        {first, "physicObjectMaterial"},
        {second, "physicObjectMaterialSelected"},
        {second, "physicObjectMaterial"},
    };
    EXPECT_EQ(g_physicMaterials, expected);
    EXPECT_EQ(selection.GetSelectedPhysicObject(), nullptr);

    selection.SelectJoint(reinterpret_cast<CPhysicJoint*>(0x30), 2);
    selection.SetMode(CDebugSelection::MODE_NONE);
    EXPECT_EQ(selection.GetSelectedJoint(), nullptr);
    EXPECT_EQ(selection.GetSelectedJointPart(), 0);

    CDebugSelection::SetPhysicMaterialSetter(nullptr);
    CDebugSelection::SetPointMarkerLookup(nullptr);
}

TEST_F(OgreWrapTest, CompositorListRemovesWhatOgreStillHas)
{
    Ogre::CompositorManager::getSingleton().create("KEMTestCompositor", "General");
    CWrapOgreCompositorList list;
    list.Add("KEMTestCompositor");
    list.Add("NeverCreated");
    EXPECT_EQ(list.GetCount(), 2);
    list.RemoveAll();
    EXPECT_FALSE(Ogre::CompositorManager::getSingleton().resourceExists("KEMTestCompositor", "General"));
    EXPECT_EQ(list.GetCount(), 0);
}
