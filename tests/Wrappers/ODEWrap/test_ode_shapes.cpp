// Geoms, triangle-mesh data and material records against real ODE.
#include "OdeTestFixture.h"

#include "COdeMaterial.h"
#include "COdeShapes.h"
#include "KEMException.h"

#include <regex>

namespace {

template <typename F>
std::string ReasonOf(F&& f)
{
    try {
        f();
    } catch (const CKEMException& e) {
        return e.GetReason();
    }
    return "<no exception>";
}

class OdeShapesTest : public OdeWorldTest {
protected:
    void SetUp() override
    {
        OdeWorldTest::SetUp();
        ActorDesc desc(ActorDesc::TYPE_STATIC);
        owner = world->CreateActor(nullptr, desc);
        space = world->GetSpaceId();
    }
    COdeActor* owner = nullptr;
    dSpaceID space = nullptr;
};

} // namespace

TEST_F(OdeShapesTest, PlaneEquationIsCheckedAndNormalised)
{
    struct Case {
        Ogre::Vector3 n;
        Ogre::Vector3 expected;
    };
    const Case cases[] = {
        {{0.1f, 0.0f, 0.2f}, Ogre::Vector3(0.1f, 0.0f, 0.2f).normalisedCopy()},   // squared length 0.05
        {{0.1f, 0.0f, 0.05f}, Ogre::Vector3::UNIT_Y},                              // 0.0125: too short to trust
        {{0.0f, 3.0f, 0.0f}, Ogre::Vector3::UNIT_Y},
    };
    for (const Case& c : cases) {
        COdePlane plane(space, owner, c.n.x, c.n.y, c.n.z, 2.5f);
        dVector4 p;
        dGeomPlaneGetParams(plane.getGeomId(), p);
        EXPECT_NEAR(p[0], c.expected.x, 1e-6) << c.n;
        EXPECT_NEAR(p[1], c.expected.y, 1e-6) << c.n;
        EXPECT_NEAR(p[2], c.expected.z, 1e-6) << c.n;
        EXPECT_NEAR(p[3], 2.5, 1e-6) << c.n;   // d is never rescaled
        EXPECT_EQ(plane.getShapeType(), ODE_SHAPE_PLANE);

        // A plane cannot be placed.
        plane.setPosition(Ogre::Vector3(1.0f, 2.0f, 3.0f));
        plane.setOrientation(Ogre::Quaternion(Ogre::Degree(30), Ogre::Vector3::UNIT_X));
        EXPECT_EQ(plane.getPosition(), Ogre::Vector3::ZERO);
        EXPECT_EQ(plane.getOrientation(), Ogre::Quaternion::IDENTITY);
    }
    EXPECT_EQ(ReasonOf([&] { COdePlane(space, owner, 0.0f, 0.0f, 0.0f, 1.0f); }), "Invalid plane equation!");
}

TEST_F(OdeShapesTest, ConstructorsRefuseWhatODECannotUse)
{
    EXPECT_EQ(ReasonOf([&] { COdeSphere(space, nullptr, 1.0f); }), "Owner (actor) must be defined!");
    EXPECT_EQ(ReasonOf([&] { COdeSphere(nullptr, owner, 1.0f); }), "Need a valid space");
    EXPECT_EQ(ReasonOf([&] { COdeSphere(space, owner, 0.0f); }), "Radius may be invalid!");
    EXPECT_EQ(ReasonOf([&] { COdeCylinder(space, owner, 0.0f, 1.0f); }), "Radius should be invalid!");
    EXPECT_EQ(ReasonOf([&] { COdeCylinder(space, owner, 1.0f, 0.0f); }), "Length should be positive!");
    EXPECT_EQ(ReasonOf([&] { COdeBox(nullptr, owner, 1.0f, 1.0f, 1.0f); }), "Need a valid space!");
    EXPECT_EQ(ReasonOf([&] { COdeBox(space, owner, 0.0f, 0.0f, 0.0f); }), "<no exception>");
    EXPECT_EQ(ReasonOf([&] { COdeTransformGeom(space, owner).attach(nullptr); }),
              "Attachment failed due to invalid geom passed!");
}

TEST_F(OdeShapesTest, TransformPlacesItsInnerGeomRelativeToTheBody)
{
    ActorDesc desc(ActorDesc::TYPE_MOVABLE);
    desc.shapes.push_back(std::make_unique<SphereShapeDesc>(0.5f, "", Ogre::Vector3(1.0f, 0.0f, 0.0f)));
    COdeActor* actor = world->CreateActor(nullptr, desc);
    actor->setPosition(Ogre::Vector3(0.0f, 5.0f, 0.0f));
    actor->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));

    auto* geom = dynamic_cast<COdeTransformGeom*>(actor->getGeoms().front());
    ASSERT_NE(geom, nullptr);
    EXPECT_EQ(geom->getShapeType(), ODE_SHAPE_SPHERE);
    EXPECT_EQ(geom->getPosition(), Ogre::Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(geom->getWorldPosition().positionEquals(Ogre::Vector3(0.0f, 5.0f, -1.0f), 1e-5f));
    // Contacts reported on the inner geom lead back to the wrapper.
    EXPECT_EQ(dGeomGetData(geom->getInner()->getGeomId()), geom);
    EXPECT_EQ(geom->getOwner(), actor);

    ActorDesc bad(ActorDesc::TYPE_MOVABLE);
    bad.shapes.push_back(std::make_unique<PlaneShapeDesc>(Ogre::Vector3::UNIT_Y, 0.0f));
    EXPECT_EQ(ReasonOf([&] { world->CreateActor(nullptr, bad); }),
              "Attempted to attach immovable plane shape to movable actor!");
}

TEST_F(OdeShapesTest, SecondShapeGoesToTheActorsOwnSpaceAndStillCollides)
{
    world->SetGravity(Ogre::Vector3(0.0f, -9.81f, 0.0f));
    RecordingReceiver rx;
    odetest::MakeGround(*world, nullptr);
    ActorDesc desc(ActorDesc::TYPE_MOVABLE);
    desc.shapes.push_back(std::make_unique<SphereShapeDesc>(0.05f, "", Ogre::Vector3(0.0f, 1.0f, 0.0f)));
    desc.shapes.push_back(std::make_unique<SphereShapeDesc>(0.05f));
    COdeActor* actor = world->CreateActor(&rx, desc);
    actor->setPosition(Ogre::Vector3(0.3f, 0.2f, 0.7f));

    ASSERT_NE(actor->getOwnSpace(), nullptr);
    EXPECT_EQ(dGeomGetSpace(actor->getGeoms()[0]->getGeomId()), world->GetSpaceId());
    EXPECT_EQ(dGeomGetSpace(actor->getGeoms()[1]->getGeomId()), actor->getOwnSpace());

    odetest::FeedFrames(*world, 30);
    EXPECT_EQ(rx.Count(RecordingReceiver::BEGIN), 1);
    EXPECT_NEAR(actor->getPosition().y, 0.05f, 0.005f);   // resting on the lower sphere
}

TEST_F(OdeShapesTest, MeshDataKeepsWholeValidTrianglesOnly)
{
    const std::vector<Ogre::Vector3> quad = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}};
    const std::vector<Ogre::Vector3> none;
    EXPECT_EQ(ReasonOf([&] { COdeTriMesh::buildData(none, {0, 1, 2}, none); }), "Wont create empty mesh!");
    EXPECT_EQ(ReasonOf([&] { COdeTriMesh::buildData(quad, {}, none); }), "Vertices without indices are meaningless!");
    EXPECT_EQ(ReasonOf([&] { COdeTriMesh::buildData(quad, {0, 1, 9}, none); }), "Mesh has no valid triangle!");

    // A trailing pair of indices and a triangle naming vertex 7 are dropped.
    COdeMeshData data = COdeTriMesh::buildData(quad, {0, 2, 1, 1, 7, 3, 1, 2, 3, 0, 1}, none);
    ASSERT_EQ(data.indexCount, 6);
    const dTriIndex expected[] = {0, 2, 1, 1, 2, 3};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(data.indices[i], expected[i]);
    EXPECT_EQ(data.normals, nullptr);
    COdeTriMesh::freeData(data);

    // One normal per kept triangle, or none at all.
    const std::vector<Ogre::Vector3> up2 = {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_Y};
    data = COdeTriMesh::buildData(quad, {0, 2, 1, 1, 2, 3}, up2);
    EXPECT_NE(data.normals, nullptr);
    COdeTriMesh::freeData(data);
    data = COdeTriMesh::buildData(quad, {0, 2, 1, 1, 2, 3}, {Ogre::Vector3::UNIT_Y});
    EXPECT_EQ(data.normals, nullptr);
    COdeTriMesh::freeData(data);
}

TEST_F(OdeShapesTest, MeshDataIsFreedOnlyOnceNoGeomReadsIt)
{
    auto ground = odetest::MakeGroundShape(1.0f, 1, "");
    const uint32_t id = world->AddMeshData(ground->vertices, ground->indices, ground->normals);
    EXPECT_EQ(ReasonOf([&] { world->GetMeshData(id + 1); }), "No mesh data matches supplied mesh id!");

    ActorDesc desc(ActorDesc::TYPE_STATIC);
    desc.shapes.push_back(std::make_unique<TriMeshShapeDesc>(id));
    COdeActor* actor = world->CreateActor(nullptr, desc);
    EXPECT_FALSE(world->RemoveMeshData(id));   // still in use
    world->RemoveActor(actor);
    EXPECT_TRUE(world->RemoveMeshData(id));    // a rebuilt collision mesh frees the old data
    EXPECT_FALSE(world->RemoveMeshData(id));
    EXPECT_EQ(world->GetMeshDataCount(), 0u);

    // Data built from a shape's own arrays goes with its geom.
    COdeActor* implicit = odetest::MakeGround(*world, nullptr);
    EXPECT_EQ(world->GetMeshDataCount(), 1u);
    world->RemoveActor(implicit);
    EXPECT_EQ(world->GetMeshDataCount(), 0u);
}

// ---- material records ------------------------------------------------------

TEST_F(OdeShapesTest, MaterialNamesAndDuplicates)
{
    COdeMaterial* unnamed = world->AddMaterial(MaterialDesc(), "");
    EXPECT_TRUE(std::regex_match(unnamed->name, std::regex("ode\\.material_[0-9]+"))) << unnamed->name;
    EXPECT_EQ(world->GetMaterial(unnamed->name), unnamed);

    COdeMaterial* first = world->AddMaterial(MaterialDesc(), "clay");
    COdeMaterial* second = world->AddMaterial(MaterialDesc(), "clay");
    EXPECT_NE(first, second);
    EXPECT_EQ(world->GetMaterial("clay"), first);

    // Removing the duplicate must not orphan the first record's entry.
    world->RemoveMaterial(second);
    EXPECT_EQ(world->GetMaterial("clay"), first);
    world->RemoveMaterial(second);   // already gone: ignored, never freed twice
    world->RemoveMaterial(first);
    EXPECT_EQ(world->GetMaterial("clay"), nullptr);

    COdeMaterial* def = world->GetMaterial("default");
    ASSERT_NE(def, nullptr);
    EXPECT_FLOAT_EQ(def->friction1, 10.0f);
    EXPECT_FLOAT_EQ(def->bounce, 0.1f);
    EXPECT_FLOAT_EQ(def->bounceVel, 10.0f);
    world->RemoveMaterial(def);
    EXPECT_EQ(world->GetMaterial("default"), def);
}

TEST_F(OdeShapesTest, GeomsNeverKeepAPointerToADeletedMaterial)
{
    MaterialDesc clay;
    clay.friction1 = 0.5f;
    COdeMaterial* record = world->AddMaterial(clay, "clay");
    COdeActor* ball = odetest::MakeBall(*world, nullptr, Ogre::Vector3::ZERO, 0.1f, 1.0f, "clay");
    COdeActor* other = odetest::MakeBall(*world, nullptr, Ogre::Vector3::ZERO, 0.1f, 1.0f, "unknown");
    COdeGeom* geom = ball->getGeoms().front();
    EXPECT_EQ(geom->getMaterial(), record);
    EXPECT_EQ(other->getGeoms().front()->getMaterial(), world->GetMaterial("default"));

    // Registering again updates the record the geoms already use.
    clay.friction1 = 0.25f;
    EXPECT_EQ(world->UpdateMaterial(record, clay, "clay"), record);
    EXPECT_EQ(geom->getMaterial(), record);
    EXPECT_FLOAT_EQ(geom->getMaterial()->friction1, 0.25f);

    // A new id moves the registry entry, not the geoms.
    world->UpdateMaterial(record, clay, "sand");
    EXPECT_EQ(world->GetMaterial("clay"), nullptr);
    EXPECT_EQ(world->GetMaterial("sand"), record);
    EXPECT_EQ(geom->getMaterial(), record);

    world->RemoveMaterial(record);
    EXPECT_EQ(geom->getMaterial(), world->GetMaterial("default"));
}
