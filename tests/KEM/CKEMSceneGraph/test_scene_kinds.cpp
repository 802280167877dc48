// The node kinds a venue file builds: object, camera, light, path and point,
// without a display.
#include "SceneGraphTest.h"

#include <CKEMSceneCamera.h>
#include <CKEMSceneLight.h>
#include <CKEMSceneObject.h>
#include <CKEMScenePath.h>
#include <CWrapOgreCamera.h>
#include <CWrapOgreLight.h>
#include <HalTimer.h>
#include <KEMException.h>
#include <Platform.h>

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreMeshManager.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

void ExpectVector(const Ogre::Vector3& actual, const Ogre::Vector3& expected)
{
    EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " expected " << expected;
}

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
{
    Ogre::Vector3 position;
    node->GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    return position;
}

template <class T>
T* LoadOne(const std::string& record)
{
    const std::string text = Scene(record);
    if (!CKEMSceneGraph::LoadNodes(text.c_str()))
        return nullptr;
    return dynamic_cast<T*>(CKEMSceneGraph::GetRootNode()->GetChild(0));
}

}  // namespace

// ---- path ------------------------------------------------------------------------

TEST_F(SceneGraphTest, PathCurvePassesThroughItsPointsAndCloses)
{
    CKEMScenePath* path = LoadOne<CKEMScenePath>(NodeRecord(
        6, "path", "KEM_ROOT",
        Position(0, 5, 0) +
            "\t<CKEMSCENEPATH_MVECTORPOINTS Nb_Points=\"4\" ><Point x=\"0\" y=\"0\" z=\"0\" /><Point x=\"10\" y=\"0\" "
            "z=\"0\" /><Point x=\"10\" y=\"0\" z=\"10\" /><Point x=\"0\" y=\"0\" z=\"10\" /></CKEMSCENEPATH_MVECTORPOINTS>\n"));
    ASSERT_NE(path, nullptr);
    ASSERT_EQ(path->GetPointCount(), 4);

    Ogre::Vector3 out;
    for (unsigned step : {0u, 2u, 4u, 6u, 8u}) {
        const int segment = path->GetPositionAt(8, step, out);
        EXPECT_EQ(segment, int(step % 8) / 2);
        ExpectVector(out, path->GetPoints()[(step % 8) / 2]);
    }
    // Between the last and the first point: the closing segment, bulging out
    // of the square as the neighbours' tangents say.
    EXPECT_EQ(path->GetPositionAt(8, 7, out), 3);
    ExpectVector(out, Ogre::Vector3(-1.25f, 0, 5));
    EXPECT_EQ(path->GetPositionAt(8, 1, out), 0);
    ExpectVector(out, Ogre::Vector3(5, 0, -1.25f));

    out = Ogre::Vector3(7, 7, 7);
    EXPECT_EQ(path->GetPositionAt(0, 3, out), 0);
    ExpectVector(out, Ogre::Vector3::ZERO);

    Ogre::Vector3 world;
    path->GetPoint(world, 2, true);
    ExpectVector(world, Ogre::Vector3(10, 5, 10));   // offsets from the node, its rotation not applied
}

TEST_F(SceneGraphTest, PathOfFewerThanTwoPointsStaysOnThem)
{
    CKEMScenePath path(nullptr);
    Ogre::Vector3 out(1, 1, 1);
    EXPECT_EQ(path.GetPositionAt(4, 1, out), 0);
    ExpectVector(out, Ogre::Vector3::ZERO);
    path.GetPoints().push_back(Ogre::Vector3(3, 0, 0));
    path.PostLoadInit();
    EXPECT_EQ(path.GetPositionAt(4, 3, out), 0);
    ExpectVector(out, Ogre::Vector3(3, 0, 0));
    path.GetPoint(out, 1, false);   // past the end: logged, zero
    ExpectVector(out, Ogre::Vector3::ZERO);
}

TEST_F(SceneGraphTest, PathDebugDrawsTheStripAndOneMarkerPerPoint)
{
    CKEMScenePath path(nullptr);
    path.GetPoints() = {Ogre::Vector3(0, 0, 0), Ogre::Vector3(1, 0, 0), Ogre::Vector3(1, 0, 1)};
    path.PostLoadInit();
    path.setDebugMode(true);
    ASSERT_NE(path.GetDebugDraw()->GetLines(), nullptr);
    EXPECT_EQ(path.GetDebugDraw()->GetLines()->getSections().front()->getRenderOperation()->vertexData->vertexCount, 3u);
    ASSERT_EQ(path.GetDebugDraw()->GetMarkers().size(), 3u);
    ExpectVector(path.GetDebugDraw()->GetMarkers()[2]->getPosition(), Ogre::Vector3(1, 0, 1));
    path.setDebugMode(true);   // drawn again, not twice
    EXPECT_EQ(path.GetDebugDraw()->GetMarkers().size(), 3u);
    path.setDebugMode(false);
    EXPECT_EQ(path.GetDebugDraw()->GetLines(), nullptr);
    EXPECT_TRUE(path.GetDebugDraw()->GetMarkers().empty());
}

// ---- light and camera ------------------------------------------------------------

TEST_F(SceneGraphTest, LightSpotConeAppliesToSpotlightsOnly)
{
    const std::string values =
        "\t<CKEMSCENELIGHT_MDIFFCOLOUR r=\"1\" g=\"0.5\" b=\"0.25\" a=\"1\" />\n"
        "\t<CKEMSCENELIGHT_MATT_RANGE value=\"60\" />\n"
        "\t<CKEMSCENELIGHT_MSPOTINNERANGLE value=\"0.2\" />\n"
        "\t<CKEMSCENELIGHT_MSPOTOUTERANGLE value=\"0.4\" />\n"
        "\t<CKEMSCENELIGHT_MSPOTFALLOFF value=\"2\" />\n";
    for (int type : {0, 1, 2}) {
        CKEMSceneLight* light = LoadOne<CKEMSceneLight>(
            NodeRecord(4, "light", "KEM_ROOT", "\t<CKEMSCENELIGHT_MTYPE value=\"" + std::to_string(type) + "\" />\n" + values));
        ASSERT_NE(light, nullptr);
        CWrapOgreLight* ogre = light->GetLightHandle()->GetLight();
        EXPECT_EQ(ogre->getDiffuseColour(), Ogre::ColourValue(1, 0.5f, 0.25f));
        EXPECT_FLOAT_EQ(ogre->getAttenuationRange(), 60.0f);
        const bool spot = type == 2;
        EXPECT_EQ(ogre->getSpotlightInnerAngle() == 0.2f, spot) << type;
        EXPECT_EQ(ogre->getSpotlightFalloff() == 2.0f, spot) << type;
        light->SetSpotlightRange(0.3f, 0.5f, 3.0f);
        EXPECT_EQ(light->GetSpotFalloff() == 3.0f, spot) << type;
        CKEMSceneGraph::DeleteNode("light");
    }
}

// Values OGRE cannot take are refused with a line naming the light, which
// keeps its own; the rest of the record still applies.
TEST_F(SceneGraphTest, LightRefusesBrokenDirectionAttenuationAndCone)
{
    const struct {
        const char* what;
        std::string values;
    } cases[] = {
        {"NaN direction", "\t<CKEMSCENELIGHT_MDIRECTION x=\"nan\" y=\"-1\" z=\"0\" />\n"},
        {"zero direction", "\t<CKEMSCENELIGHT_MDIRECTION x=\"0\" y=\"0\" z=\"0\" />\n"},
        {"infinite range", "\t<CKEMSCENELIGHT_MATT_RANGE value=\"inf\" />\n"},
        {"negative quadratic term", "\t<CKEMSCENELIGHT_MATT_QUADRATIC value=\"-1\" />\n"},
        {"NaN cone", "\t<CKEMSCENELIGHT_MSPOTOUTERANGLE value=\"nan\" />\n"},
    };
    static std::vector<std::string> lines;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        CKEMSceneLight* light = LoadOne<CKEMSceneLight>(NodeRecord(
            4, "lamp", "KEM_ROOT",
            "\t<CKEMSCENELIGHT_MTYPE value=\"2\" />\n"
            "\t<CKEMSCENELIGHT_MDIFFCOLOUR r=\"1\" g=\"0.5\" b=\"0.25\" a=\"1\" />\n" + c.values));
        PlatSetLogSink(nullptr);
        ASSERT_NE(light, nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("lamp") != std::string::npos && line.find("refused") != std::string::npos;
        }));
        CWrapOgreLight* ogre = light->GetLightHandle()->GetLight();
        const Ogre::Vector3 direction = ogre->getDirection();
        EXPECT_TRUE(std::isfinite(direction.x) && std::isfinite(direction.y) && std::isfinite(direction.z));
        EXPECT_TRUE(std::isfinite(ogre->getAttenuationRange()) && ogre->getAttenuationQuadric() >= 0.0f);
        EXPECT_TRUE(std::isfinite(ogre->getSpotlightOuterAngle()));
        EXPECT_EQ(ogre->getDiffuseColour(), Ogre::ColourValue(1, 0.5f, 0.25f));
        CKEMSceneGraph::DeleteNode("lamp");
    }
}

TEST_F(SceneGraphTest, CameraTakesItsProjectionAndRefusesBrokenClipping)
{
    struct Row {
        int projection;
        const char* nearClip;
        Ogre::ProjectionType expected;
        float expectedNear;
    };
    const Row rows[] = {{0, "0.5", Ogre::PT_ORTHOGRAPHIC, 0.5f},
                        {1, "0.5", Ogre::PT_PERSPECTIVE, 0.5f},
                        {2, "0.5", Ogre::PT_PERSPECTIVE, 0.5f},
                        {1, "0", Ogre::PT_PERSPECTIVE, -1.0f},   // refused: the engine's default stays
                        {1, "-3", Ogre::PT_PERSPECTIVE, -1.0f}};
    CKEMSceneCamera* defaults = new CKEMSceneCamera(nullptr);
    const float engineNear = defaults->GetNearClip();
    delete defaults;
    for (const Row& row : rows) {
        CKEMSceneCamera* camera = LoadOne<CKEMSceneCamera>(NodeRecord(
            5, "cam", "KEM_ROOT",
            "\t<CKEMSCENECAMERA_MPROJ_TYPE value=\"" + std::to_string(row.projection) + "\" />\n" +
                "\t<CKEMSCENECAMERA_MNEAR_CLIP value=\"" + row.nearClip + "\" />\n" +
                "\t<CKEMSCENECAMERA_MFOV value=\"0.5\" />\n"));
        ASSERT_NE(camera, nullptr) << row.nearClip;
        CWrapOgreCamera* ogre = camera->GetCamera()->GetCamera();
        EXPECT_EQ(ogre->getProjectionType(), row.expected);
        EXPECT_FLOAT_EQ(ogre->getNearClipDistance(), row.expectedNear < 0 ? engineNear : row.expectedNear);
        EXPECT_FLOAT_EQ(ogre->getFOVy(), 0.5f);
        EXPECT_FALSE(camera->IsVisible());
        CKEMSceneGraph::DeleteNode("cam");
    }
}

// A rendered frame updates every node's bounds from its camera's frustum and
// its light: OGRE asserts (the process aborts) on a box that is not finite
// or inside out.
void ExpectFiniteBounds(Ogre::SceneManager* sceneManager, Ogre::Camera* camera)
{
    sceneManager->_updateSceneGraph(camera);
    camera->getProjectionMatrix();
    camera->getViewMatrix();
    const Ogre::AxisAlignedBox& box = sceneManager->getRootSceneNode()->_getWorldAABB();
    if (box.isFinite()) {
        for (const Ogre::Vector3& corner : {box.getMinimum(), box.getMaximum()})
            EXPECT_TRUE(std::isfinite(corner.x) && std::isfinite(corner.y) && std::isfinite(corner.z)) << corner;
    }
    for (const Ogre::Vector3* corner = camera->getWorldSpaceCorners(); corner != camera->getWorldSpaceCorners() + 8;
         ++corner)
        EXPECT_TRUE(std::isfinite(corner->x) && std::isfinite(corner->y) && std::isfinite(corner->z)) << *corner;
}

// Values that parse but that OGRE cannot project: each is refused with a line
// naming the node and the attribute, the camera keeps a value it can render,
// and a frame through it has finite bounds.
TEST_F(SceneGraphTest, CameraRefusesValuesOgreCannotRender)
{
    const struct {
        const char* attribute;
        const char* value;
    } cases[] = {
        {"CKEMSCENECAMERA_MNEAR_CLIP", "1e-40"},  {"CKEMSCENECAMERA_MNEAR_CLIP", "1e30"},
        {"CKEMSCENECAMERA_MNEAR_CLIP", "nan"},    {"CKEMSCENECAMERA_MFAR_CLIP", "1e38"},
        {"CKEMSCENECAMERA_MFAR_CLIP", "0.01"},    {"CKEMSCENECAMERA_MFAR_CLIP", "-inf"},
        {"CKEMSCENECAMERA_MFOV", "1e-38"},        {"CKEMSCENECAMERA_MFOV", "3.14159"},
        {"CKEMSCENECAMERA_MFOV", "-0.5"},         {"CKEMSCENECAMERA_MASPECT_RATIO", "1e38"},
        {"CKEMSCENECAMERA_MASPECT_RATIO", "1e-38"}, {"CKEMSCENECAMERA_MASPECT_RATIO", "inf"},
    };
    static std::vector<std::string> lines;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.attribute) + " " + c.value);
        // A venue's camera: near 0.05, far 500, fov 0.785, aspect 1.33; one value hostile.
        // In the order the camera reads them.
        const std::vector<std::pair<std::string, std::string>> values = {{"CKEMSCENECAMERA_MNEAR_CLIP", "0.05"},
                                                                         {"CKEMSCENECAMERA_MFAR_CLIP", "500"},
                                                                         {"CKEMSCENECAMERA_MFOV", "0.785"},
                                                                         {"CKEMSCENECAMERA_MASPECT_RATIO", "1.33"}};
        std::string record;
        for (const auto& v : values)
            record += "\t<" + v.first + " value=\"" + (v.first == c.attribute ? c.value : v.second) + "\" />\n";
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        CKEMSceneCamera* camera = LoadOne<CKEMSceneCamera>(NodeRecord(5, "CameraLancer", "KEM_ROOT", Position(0, 1.8f, 8.5f) + record));
        PlatSetLogSink(nullptr);
        ASSERT_NE(camera, nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find("\"CameraLancer\"") != std::string::npos && line.find(c.attribute) != std::string::npos;
        })) << "no line names the camera and " << c.attribute;

        Ogre::Camera* ogre = camera->GetCamera()->GetCamera()->getCamera();
        EXPECT_GE(ogre->getNearClipDistance(), 1e-3f);
        EXPECT_TRUE(ogre->getFarClipDistance() == 0.0f ||
                    ogre->getFarClipDistance() / ogre->getNearClipDistance() <= 1.0001e6f);
        EXPECT_TRUE(ogre->getFOVy().valueRadians() > 1e-4f && ogre->getFOVy().valueRadians() < 3.1f);
        EXPECT_TRUE(ogre->getAspectRatio() >= 1e-2f && ogre->getAspectRatio() <= 1e2f);
        // The values the node reports are the ones the camera uses.
        EXPECT_FLOAT_EQ(camera->GetNearClip(), ogre->getNearClipDistance());
        EXPECT_FLOAT_EQ(camera->GetFov(), ogre->getFOVy().valueRadians());
        ExpectFiniteBounds(mSceneManager, ogre);
        CKEMSceneGraph::DeleteNode("CameraLancer");
    }
}

// Colours, a direction and a type that parse but that no light can be:
// refused with a line naming the node and the attribute; a frame lit by it
// has finite bounds.
TEST_F(SceneGraphTest, LightRefusesHostileColoursDirectionAndType)
{
    const struct {
        const char* attribute;
        std::string element;
    } cases[] = {
        {"CKEMSCENELIGHT_MDIFFCOLOUR", "<CKEMSCENELIGHT_MDIFFCOLOUR r=\"nan\" g=\"1\" b=\"1\" a=\"1\" />"},
        {"CKEMSCENELIGHT_MDIFFCOLOUR", "<CKEMSCENELIGHT_MDIFFCOLOUR r=\"1e38\" g=\"1\" b=\"1\" a=\"1\" />"},
        {"CKEMSCENELIGHT_MSPECCOLOUR", "<CKEMSCENELIGHT_MSPECCOLOUR r=\"1\" g=\"-1e38\" b=\"1\" a=\"1\" />"},
        {"CKEMSCENELIGHT_MSPECCOLOUR", "<CKEMSCENELIGHT_MSPECCOLOUR r=\"1\" g=\"1\" b=\"1\" a=\"inf\" />"},
        {"CKEMSCENELIGHT_MDIRECTION", "<CKEMSCENELIGHT_MDIRECTION x=\"1e38\" y=\"-1\" z=\"0\" />"},
        {"CKEMSCENELIGHT_MDIRECTION", "<CKEMSCENELIGHT_MDIRECTION x=\"1e-30\" y=\"0\" z=\"0\" />"},
        {"CKEMSCENELIGHT_MTYPE", "<CKEMSCENELIGHT_MTYPE value=\"99\" />"},
    };
    static std::vector<std::string> lines;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        lines.clear();
        PlatSetLogSink([](const char* line) { lines.push_back(line); });
        CKEMSceneLight* light = LoadOne<CKEMSceneLight>(NodeRecord(4, "venue_light", "KEM_ROOT", "\t" + c.element + "\n"));
        PlatSetLogSink(nullptr);
        ASSERT_NE(light, nullptr);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find("\"venue_light\"") != std::string::npos && line.find(c.attribute) != std::string::npos;
        })) << "no line names the light and " << c.attribute;
        CWrapOgreLight* ogre = light->GetLightHandle()->GetLight();
        for (const Ogre::ColourValue& colour : {ogre->getDiffuseColour(), ogre->getSpecularColour()})
            for (float v : {colour.r, colour.g, colour.b, colour.a})
                EXPECT_TRUE(std::isfinite(v) && std::fabs(v) <= 100.0f) << v;
        const Ogre::Vector3 direction = ogre->getDirection();
        EXPECT_NEAR(direction.length(), 1.0f, 1e-3f) << direction;
        EXPECT_TRUE(light->GetType() >= 0 && light->GetType() <= 2);

        CKEMSceneCamera* camera = new CKEMSceneCamera(nullptr);
        ExpectFiniteBounds(mSceneManager, camera->GetCamera()->GetCamera()->getCamera());
        CKEMSceneGraph::DeleteNode(camera->getName());
        CKEMSceneGraph::DeleteNode("venue_light");
    }
}

TEST_F(SceneGraphTest, DebugHelpersWithoutTheirMeshesDoNotStopTheGame)
{
    CKEMSceneCamera camera(nullptr);
    CKEMSceneLight light(nullptr);
    CKEMScenePoint point(nullptr);
    for (bool on : {true, true, false}) {
        camera.setDebugMode(on);
        light.setDebugMode(on);
        point.setDebugMode(on);
    }
    EXPECT_EQ(camera.GetCamera()->GetDebugEntity(), nullptr);
    EXPECT_EQ(light.GetLightHandle()->GetDebugEntity(), nullptr);
    EXPECT_EQ(point.GetDebugEntity(), nullptr);
}

// ---- object -------------------------------------------------------------------------

TEST(CKEMSceneObject, ResourceKindFromTheExtension)
{
    struct Row {
        const char* resource;
        int kind;
    };
    const Row rows[] = {{"ball.mesh", 1}, {"a\\b\\venue.scene", 2}, {"x.OSM", 3}, {"x.osm", 0},
                        {"x.Mesh", 0},    {"noextension", 0},        {"x.mesh.bak", 0}, {"", 0}};
    for (const Row& row : rows)
        EXPECT_EQ(CKEMSceneObject::GetResourceKind(row.resource), row.kind) << row.resource;
}

TEST_F(SceneGraphTest, SceneResourceIsTakenFromTheScenesFolder)
{
    CKEMSceneObject object("a\\b\\venue.scene", "", nullptr);
    EXPECT_EQ(object.getKEM_NodeType(), 2);
    EXPECT_EQ(object.GetResource(), "..\\..\\media\\Artefacts\\sceneObjects\\scenes\\venue.scene");
    EXPECT_EQ(object.GetObjectEntityHandle()->GetEntity(), nullptr);
}

TEST_F(SceneGraphTest, ReloadingTheMeshKeepsTheNodesPlaceAndChildren)
{
    CKEMSceneObject* object = new CKEMSceneObject("ground.mesh", "KEM/Ball", nullptr);
    object->setName("ground");
    object->setPosition(Ogre::Vector3(1, 2, 3), false);
    CKEMScenePoint* child = new CKEMScenePoint(object);
    child->setPosition(Ogre::Vector3(0, 1, 0), false);
    EXPECT_EQ(object->GetObjectEntityHandle()->GetEntity()->getSubEntity(0)->getMaterialName(), "KEM/Ball");

    object->LoadMesh("testcube.mesh");
    Ogre::Entity* entity = object->GetObjectEntityHandle()->GetEntity();
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->getMesh()->getName(), "testcube.mesh");
    EXPECT_EQ(object->getName(), "ground");
    EXPECT_EQ(object->GetGraphicNode()->getNode()->getName(), "ground");
    ExpectVector(WorldPosition(object), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(child->GetGraphicNode()->getNode()->getParentNode(), object->GetGraphicNode()->getNode());
    ExpectVector(WorldPosition(child), Ogre::Vector3(1, 3, 3));
    // The cube's bounds: a unit box around the node.
    ExpectVector(object->GetOrientedBox().halfExtents, Ogre::Vector3(0.5f, 0.5f, 0.5f));
    ExpectVector(object->GetOrientedBox().center, Ogre::Vector3(1, 2, 3));

    EXPECT_THROW(object->LoadMesh("no_such.mesh"), CKEMException);
    delete object;
}

// A node turned to the current camera: fully, or only about the vertical
// with the Y constraint.
TEST_F(SceneGraphTest, BillboardFacesTheCurrentCamera)
{
    CKEMSceneCamera* camera = new CKEMSceneCamera(nullptr);
    camera->setPosition(Ogre::Vector3(0, 5, 10), false);
    CKEMSceneGraph::SetCurrentCamera(camera);
    struct Row {
        uint32_t constraint;
        Ogre::Vector3 direction;
    };
    const Row rows[] = {{0, Ogre::Vector3(0, 5, 10).normalisedCopy()}, {2, Ogre::Vector3(0, 0, 1)}};
    for (const Row& row : rows) {
        CKEMSceneObject object("testcube.mesh", "", nullptr);
        object.SetBillboard(true, row.constraint);
        object.Manage();
        ExpectVector(object.GetDirection(), row.direction);
        // The camera at the node: no direction to turn to, no NaN.
        camera->setPosition(Ogre::Vector3::ZERO, false);
        object.Manage();
        ExpectVector(object.GetDirection(), row.direction);
        camera->setPosition(Ogre::Vector3(0, 5, 10), false);
    }
}

// ---- animations -------------------------------------------------------------------------

class ObjectAnimations : public SceneGraphTest {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        if (!meshes.resourceExists("anim_cube.mesh")) {
            Ogre::MeshPtr mesh = meshes.load("testcube.mesh", Ogre::RGN_DEFAULT)->clone("anim_cube.mesh");
            mesh->createAnimation("idle", 2.0f);
            mesh->createAnimation("walk", 2.0f);
            mesh->createAnimation("throw", 1.0f);
        }
        mObject = new CKEMSceneObject("anim_cube.mesh", "", nullptr);
        ASSERT_NE(mObject->GetObjectEntityHandle()->GetAnimationNames(), nullptr);
        gTimer.mGameTime = 1000;
        gTimer.mGameDeltaS = 0.05f;
    }
    void TearDown() override
    {
        gTimer = CTimerTool();
        SceneGraphTest::TearDown();
    }
    Ogre::AnimationState* State(const char* name)
    {
        return mObject->GetObjectEntityHandle()->GetEntity()->getAnimationState(name);
    }
    void At(uint32_t ms)
    {
        gTimer.mGameTime = ms;
        mObject->Manage();
    }

    CKEMSceneObject* mObject = nullptr;
};

TEST_F(ObjectAnimations, CrossFadeWeighsOutTheOldAndInTheNew)
{
    mObject->playAnim("idle");
    At(1100);
    mObject->playAnim("walk");
    EXPECT_EQ(mObject->getCurrentAnimName(), "walk");
    EXPECT_EQ(mObject->GetFadingAnimName(), "idle");
    const float idleTime = State("idle")->getTimePosition();

    At(1250);
    EXPECT_NEAR(State("idle")->getWeight(), 0.5f, 1e-4f);
    EXPECT_NEAR(State("walk")->getWeight(), 0.5f, 1e-4f);
    EXPECT_NEAR(State("idle")->getTimePosition(), idleTime + 0.05f, 1e-4f);

    At(1400);
    EXPECT_FALSE(State("idle")->getEnabled());
    EXPECT_FLOAT_EQ(State("idle")->getTimePosition(), 0.0f);
    EXPECT_EQ(mObject->GetFadingAnimName(), "");
    EXPECT_FLOAT_EQ(State("walk")->getWeight(), 1.0f);

    // Both blend times 0: the switch is immediate.
    mObject->playAnimBlending("throw", 0.0f, 0.0f, false);
    EXPECT_FALSE(State("walk")->getEnabled());
    EXPECT_EQ(mObject->GetFadingAnimName(), "");
    At(1450);
    EXPECT_FLOAT_EQ(State("throw")->getWeight(), 1.0f);
}

TEST_F(ObjectAnimations, FinishedOneShotReturnsToTheLoopingAnimation)
{
    mObject->playAnimBlending("idle", 0.0f, 0.0f, true);
    EXPECT_FALSE(mObject->isAnimOver("idle"));
    mObject->playAnim("throw");
    At(1100);
    EXPECT_EQ(mObject->getCurrentAnimName(), "throw");
    mObject->setAnimTimePosition("throw", 1.0f);
    EXPECT_TRUE(mObject->isAnimOver("throw"));
    At(1200);
    EXPECT_EQ(mObject->getCurrentAnimName(), "idle");
    EXPECT_EQ(mObject->GetFadingAnimName(), "throw");
    EXPECT_TRUE(mObject->isAnimLooping("idle"));

    // Stopping the one-shot goes back to the loop at once; stopping the loop stops.
    mObject->playAnim("throw");
    mObject->stopAnim("throw");
    EXPECT_EQ(mObject->getCurrentAnimName(), "idle");
    mObject->stopAnim("idle");
    EXPECT_FALSE(mObject->IsAnimPlaying());
    EXPECT_EQ(mObject->getCurrentAnimIndex(), -1);

    // Names the entity does not have change nothing.
    mObject->playAnim("dance");
    EXPECT_FALSE(mObject->IsAnimPlaying());
    EXPECT_FLOAT_EQ(mObject->getAnimLength("dance"), 0.0f);
}
