// Named debug shapes in the graphics world and the debug text, on OGRE
// without a display.
#include "OgreHeadless.h"

#include <CDebugRenderer.h>
#include <CKEMOrientedBox.h>
#include <CKEMSceneGraph.h>
#include <CWrapOgreNode.h>

#include <OgreLogManager.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

std::vector<Ogre::Vector3> Points(int count)
{
    std::vector<Ogre::Vector3> points;
    for (int i = 0; i < count; ++i)
        points.push_back(Ogre::Vector3(float(i), 0.0f, 0.0f));
    return points;
}

size_t ManualObjectCount(Ogre::SceneManager* sceneManager)
{
    return sceneManager->getMovableObjects(Ogre::ManualObjectFactory::FACTORY_TYPE_NAME).size();
}

// Vertex count, operation and material of a shape's one section.
struct Drawn {
    size_t vertices;
    Ogre::RenderOperation::OperationType operation;
    std::string material;
};
Drawn DrawnOf(Ogre::ManualObject* object)
{
    Ogre::ManualObject::ManualObjectSection* section = object->getSections().at(0);
    return {section->getRenderOperation()->vertexData->vertexCount, section->getRenderOperation()->operationType,
            section->getMaterialName()};
}

}  // namespace

// The materials the shapes name exist (a missing one would draw "BaseWhite").
class DebugRendererTest : public OgreWrapTest {
protected:
    void SetUp() override
    {
        OgreWrapTest::SetUp();
        for (const char* material : {"aimMaterial", "debugMaterialB"})
            Ogre::MaterialManager::getSingleton().create(material, "General");
    }
    void TearDown() override
    {
        for (const char* material : {"aimMaterial", "debugMaterialB"})
            Ogre::MaterialManager::getSingleton().remove(material, "General");
        OgreWrapTest::TearDown();
    }
};

// A new name gets a node in the world and an object on it; the same name
// again redraws that object.
TEST_F(DebugRendererTest, RedrawingANameReplacesItsPoints)
{
    CDebugRenderer renderer;
    const size_t before = ManualObjectCount(mSceneManager);
    renderer.DrawShape("aim", Points(3), Ogre::RenderOperation::OT_LINE_STRIP, "aimMaterial");
    Ogre::ManualObject* object = renderer.GetShapeObject("aim");
    ASSERT_NE(object, nullptr);
    ASSERT_NE(object->getParentSceneNode(), nullptr);
    EXPECT_EQ(object->getParentSceneNode()->getParent(), mWorld->GetRootNode()->getOgreNode());
    ASSERT_EQ(object->getSections().size(), 1u);
    Drawn drawn = DrawnOf(object);
    EXPECT_EQ(drawn.vertices, 3u);
    EXPECT_EQ(drawn.operation, Ogre::RenderOperation::OT_LINE_STRIP);
    EXPECT_EQ(drawn.material, "aimMaterial");

    renderer.DrawShape("aim", Points(2), Ogre::RenderOperation::OT_LINE_LIST, "aimMaterial");
    EXPECT_EQ(renderer.GetShapeObject("aim"), object);
    ASSERT_EQ(object->getSections().size(), 1u);
    drawn = DrawnOf(object);
    EXPECT_EQ(drawn.vertices, 2u);
    EXPECT_EQ(drawn.operation, Ogre::RenderOperation::OT_LINE_LIST);
    EXPECT_EQ(ManualObjectCount(mSceneManager), before + 1);

    renderer.DrawShape("aim", {}, Ogre::RenderOperation::OT_LINE_LIST, "aimMaterial");
    EXPECT_TRUE(renderer.HasShape("aim"));
    EXPECT_EQ(object->getSections().size(), 0u);
    renderer.DrawShape("empty", {}, Ogre::RenderOperation::OT_LINE_LIST, "aimMaterial");
    EXPECT_TRUE(renderer.HasShape("empty"));
    ASSERT_NE(renderer.GetShapeObject("empty"), nullptr);
    EXPECT_EQ(renderer.GetShapeObject("empty")->getSections().size(), 0u);
}

TEST_F(DebugRendererTest, RemovingAShapeTakesItsObjectAndNodeAway)
{
    CDebugRenderer renderer;
    const size_t objects = ManualObjectCount(mSceneManager);
    const size_t nodes = mWorld->GetRootNode()->getChildren().size();
    renderer.DrawShape("trajectory", Points(4), Ogre::RenderOperation::OT_LINE_STRIP, "m");
    EXPECT_EQ(mWorld->GetRootNode()->getChildren().size(), nodes + 1);

    renderer.RemoveShape("trajectory");
    renderer.RemoveShape("never drawn");
    EXPECT_FALSE(renderer.HasShape("trajectory"));
    EXPECT_EQ(ManualObjectCount(mSceneManager), objects);
    EXPECT_EQ(mWorld->GetRootNode()->getChildren().size(), nodes);
}

// Shapes whose world went are made afresh in the next world, and removing or
// destroying them does not touch what went.
TEST_F(DebugRendererTest, ShapesOfAGoneWorldAreNotTouchedAgain)
{
    {
        CDebugRenderer renderer;
        for (const char* name : {"redrawn", "removed", "left"})
            renderer.DrawShape(name, Points(2), Ogre::RenderOperation::OT_LINE_LIST, "m");
        mWorld.reset(CWrapOgreSystem::CreateWorld());

        renderer.DrawShape("redrawn", Points(3), Ogre::RenderOperation::OT_LINE_STRIP, "m");
        Ogre::ManualObject* object = renderer.GetShapeObject("redrawn");
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->getParentSceneNode()->getParent(), mWorld->GetRootNode()->getOgreNode());
        EXPECT_EQ(DrawnOf(object).vertices, 3u);
        renderer.RemoveShape("removed");
        EXPECT_FALSE(renderer.HasShape("removed"));
    }
    // The renderer went with "left" still registered; the world holds only what it made.
    EXPECT_TRUE(mWorld->GetRootNode()->getChildren().empty());
    EXPECT_EQ(ManualObjectCount(mSceneManager), 0u);
}

// The line and box helpers draw on the global renderer; the scene nodes'
// debug boxes reach it through the scene graph.
TEST_F(DebugRendererTest, LinesAndBoxesGoToTheGlobalRenderer)
{
    CDebugRenderer::AddLine("line", Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X, "lineMaterial");
    ASSERT_NE(gDebugRenderer.GetShapeObject("line"), nullptr);
    Drawn drawn = DrawnOf(gDebugRenderer.GetShapeObject("line"));
    EXPECT_EQ(drawn.vertices, 2u);
    EXPECT_EQ(drawn.operation, Ogre::RenderOperation::OT_LINE_LIST);

    ASSERT_NE(CKEMSceneGraph::Hooks().drawDebugBox, nullptr);
    ASSERT_NE(CKEMSceneGraph::Hooks().removeDebugShape, nullptr);
    CKEMSceneGraph::Hooks().drawDebugBox("box", CKEMOrientedBox());
    ASSERT_NE(gDebugRenderer.GetShapeObject("box"), nullptr);
    drawn = DrawnOf(gDebugRenderer.GetShapeObject("box"));
    EXPECT_EQ(drawn.vertices, 16u);
    EXPECT_EQ(drawn.operation, Ogre::RenderOperation::OT_LINE_STRIP);
    EXPECT_EQ(drawn.material, "debugMaterialB");

    CKEMSceneGraph::Hooks().removeDebugShape("box");
    gDebugRenderer.RemoveShape("line");
    EXPECT_FALSE(gDebugRenderer.HasShape("box"));
    EXPECT_FALSE(gDebugRenderer.HasShape("line"));
}

// The 16 corners of a turned box run along each of its twelve edges.
TEST(DebugBox, TheStripRunsAlongAllTwelveEdges)
{
    CKEMOrientedBox box;
    Ogre::Matrix3 rotation;
    rotation.FromEulerAnglesXYZ(Ogre::Degree(30), Ogre::Degree(-20), Ogre::Degree(75));
    box.SetAxes(rotation);
    box.center = Ogre::Vector3(5.0f, -2.0f, 1.0f);
    box.halfExtents = Ogre::Vector3(1.0f, 2.0f, 3.0f);

    const std::vector<Ogre::Vector3> strip = CDebugRenderer::BoxStrip(box);
    ASSERT_EQ(strip.size(), 16u);
    // Each point as its corner's signs along the three axes.
    std::vector<int> corners;
    for (const Ogre::Vector3& point : strip) {
        const Ogre::Vector3 offset = point - box.center;
        int corner = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const float along = offset.dotProduct(box.axes.GetColumn(axis));
            ASSERT_NEAR(std::fabs(along), box.halfExtents[axis], 1e-4f);
            corner |= (along > 0 ? 1 : 0) << axis;
        }
        corners.push_back(corner);
    }
    std::set<std::pair<int, int>> edges;
    for (size_t i = 1; i < corners.size(); ++i) {
        const int differ = corners[i - 1] ^ corners[i];
        ASSERT_TRUE(differ == 1 || differ == 2 || differ == 4) << "segment " << i << " is not an edge";
        edges.insert({std::min(corners[i - 1], corners[i]), std::max(corners[i - 1], corners[i])});
    }
    EXPECT_EQ(edges.size(), 12u);
}

// ---- debug text ----------------------------------------------------------------

namespace {

class LogLines : public Ogre::LogListener {
public:
    LogLines() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
    ~LogLines() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this); }
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        lines.push_back(message);
    }
    bool Has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
    std::vector<std::string> lines;
};

}  // namespace

class DebugTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sOverlaySystem = new Ogre::OverlaySystem(); }
    static void TearDownTestSuite()
    {
        delete sOverlaySystem;
        sOverlaySystem = nullptr;
    }
    void TearDown() override
    {
        Ogre::OverlayManager::getSingleton().destroyAll();
        Ogre::OverlayManager::getSingleton().destroyAllOverlayElements();
    }
    // "Core/DebugOverlay" with its text element "Core/DebugText", hidden.
    void MakeDebugOverlay()
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        mOverlay = overlays.create("Core/DebugOverlay");
        auto* panel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "Core/DebugPanel"));
        mText = overlays.createOverlayElement("TextArea", "Core/DebugText");
        panel->addChild(mText);
        mOverlay->add2D(panel);
    }
    std::string Caption() const { return mText->getCaption().asUTF8(); }

    static inline Ogre::OverlaySystem* sOverlaySystem = nullptr;
    Ogre::Overlay* mOverlay = nullptr;
    Ogre::OverlayElement* mText = nullptr;
};

TEST_F(DebugTextTest, TextIsLoggedAndShownOnlyWhenAsked)
{
    LogLines log;
    DebugPrintText("no overlay yet", false, true);
    EXPECT_TRUE(log.Has("no overlay yet"));

    MakeDebugOverlay();
    DebugPrintText("only logged", false, false);
    EXPECT_TRUE(log.Has("only logged"));
    EXPECT_FALSE(mOverlay->isVisible());
    EXPECT_EQ(Caption(), "");

    DebugPrintText("one", false, true);
    EXPECT_TRUE(mOverlay->isVisible());
    EXPECT_EQ(Caption(), "one");
    DebugPrintText("two", true, true);
    EXPECT_EQ(Caption(), "one\ntwo");
    DebugPrintText("fresh", false, true);
    EXPECT_EQ(Caption(), "fresh");

    mText->setCaption("");
    DebugPrintText("three", true, true);
    EXPECT_EQ(Caption(), "\nthree");

    DebugPrintf("speed", 1.5f, false);
    EXPECT_TRUE(log.Has("speed : 1.5"));
    EXPECT_EQ(Caption(), "\nthree");
}
