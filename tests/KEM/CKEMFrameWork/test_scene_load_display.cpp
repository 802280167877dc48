// Our venue files loaded into the engine running on a real main window (needs
// a display: runs under xvfb-run).
#include <CGraphicEnvMgr.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneLight.h>
#include <CKEMSceneNode.h>
#include <CKEMSceneObject.h>
#include <CKEMScenePath.h>
#include <CKEMSceneGraphicHandle.h>
#include <CSceneMgr.h>
#include <CWrapOgreCamera.h>
#include <CWrapOgreCore.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreViewport.h>
#include <PlatWindow.h>
#include <Platform.h>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kTraining = "../../mediaDemo/Saved_Scenes/training.xml";

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

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t CountObjects(Ogre::SceneManager* sceneManager, const char* type)
{
    return sceneManager->getMovableObjects(type).size();
}

struct Rgb {
    int r, g, b;
};

// The engine started as the game starts it, in a working directory of the
// test's own beside the game's, so that "../../mediaDemo" is the assembled media.
class VenueOnWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        mDir = fs::path(KEM_STAGE_DIR) / "game" / ("test_" + name);
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        for (const char* file : {"KEM.ogre_plugins.cfg", "KEM.ogre.cfg", "KEM.ogre_config.cfg", "KEM.ogre_resources.cfg"})
            fs::copy_file(fs::path(KEM_STAGE_DIR) / "game" / "bin" / file, mDir / file);
        mOldDir = fs::current_path();
        fs::current_path(mDir);

        mWindow = PlatCreateMainWindow("Tavirelo Le Jeu du Dornavelle", 640, 480);
        ASSERT_NE(mWindow, 0u);
        gKEMFrameWork.Init();
        gKEMFrameWork.CreateRenderWindow(mWindow);
        mStarted = true;
        gKEMFrameWork.RegisterFrameListener();
        CKEMSceneGraph::CreateRootNode();
        CKEMSceneGraph::CreateDefaultCamera();
        PlatShowMainWindow();
    }

    void TearDown() override
    {
        CKEMSceneGraph::PhysicsHooks() = CKEMScenePhysicsHooks();
        if (mStarted) {
            CKEMSceneGraph::DestroyRootNode();
            CKEMSceneGraph::DestroyDefaultCamera();
            gKEMFrameWork.Term();
        }
        PlatDestroyMainWindow();
        fs::current_path(mOldDir);
    }

    Ogre::SceneManager* SceneManager() { return gKEMFrameWork.GetGraphicsSystem()->GetCore()->GetSceneManager(); }

    // Only the default camera stays under the root; no entity or light of a venue is left.
    void ExpectEmptyScene()
    {
        CKEMSceneNode* root = CKEMSceneGraph::GetRootNode();
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->GetChildCount(), 1);
        EXPECT_EQ(root->GetChild(0), CKEMSceneGraph::GetDefaultCamera());
        EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), CKEMSceneGraph::GetDefaultCamera());
        EXPECT_EQ(CKEMSceneGraph::FindNode("terrain"), nullptr);
        EXPECT_EQ(CountObjects(SceneManager(), "Entity"), 0u);
        EXPECT_EQ(CountObjects(SceneManager(), "Light"), 0u);
    }

    // Renders a few frames and reads the window back.
    Ogre::Image Screenshot(const char* file)
    {
        for (int i = 0; i < 3; ++i)
            gKEMFrameWork.RenderFrame(16.0f);
        const fs::path png = mDir / file;
        gKEMFrameWork.GetGraphicsSystem()->GetCore()->GetRenderWindow()->writeContentsToFile(png.string());
        std::ifstream in(png, std::ios::binary);
        Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(&in, false));
        Ogre::Image image;
        image.load(stream, "png");
        return image;
    }

    static Rgb PixelAt(const Ogre::Image& image, size_t x, size_t y)
    {
        Ogre::ColourValue c = image.getColourAt(x, y, 0);
        return {int(c.r * 255.0f + 0.5f), int(c.g * 255.0f + 0.5f), int(c.b * 255.0f + 0.5f)};
    }

    fs::path mDir, mOldDir;
    PlatWindowHandle mWindow = 0;
    bool mStarted = false;
};

}  // namespace

// The training venue in the running engine: its nodes under "KEM_ROOT" (the
// light under the ground it is listed before), their initial conditions and
// projection, the graphic environment's ambient, and on screen the ground lit
// by the venue's light: bright below the light, darker toward the far edge,
// down to the ambient share when the light is switched off.
TEST_F(VenueOnWindow, TrainingGroundIsLitByItsLight)
{
    ASSERT_EQ(CKEMFrameWork::LoadScene(kTraining), 1);

    CKEMSceneNode* root = CKEMSceneGraph::GetRootNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "KEM_ROOT");
    ASSERT_NE(CKEMSceneGraph::GetDefaultCamera(), nullptr);
    EXPECT_EQ(CKEMSceneGraph::GetDefaultCamera()->getParent(), root);
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), CKEMSceneGraph::GetDefaultCamera());

    auto* terrain = dynamic_cast<CKEMSceneObject*>(CKEMSceneGraph::FindNode("terrain"));
    auto* light = dynamic_cast<CKEMSceneLight*>(CKEMSceneGraph::FindNode("venue_light"));
    auto* camera = dynamic_cast<CKEMSceneCamera*>(CKEMSceneGraph::FindNode("venue_cam"));
    auto* path = dynamic_cast<CKEMScenePath*>(CKEMSceneGraph::FindNode("camera_path"));
    ASSERT_TRUE(terrain && light && camera && path);
    EXPECT_EQ(terrain->getParent(), root);
    EXPECT_EQ(light->getParent(), terrain);
    ExpectVector(WorldPosition(light), Ogre::Vector3(0, 5, 0));
    ExpectVector(WorldPosition(camera), Ogre::Vector3(0, 8, 14));
    EXPECT_FLOAT_EQ(camera->GetCamera()->GetCamera()->getFarClipDistance(), 500.0f);
    EXPECT_EQ(path->GetPointCount(), 4);
    EXPECT_EQ(SceneManager()->getAmbientLight(), Ogre::ColourValue(0.2f, 0.2f, 0.2f, 1.0f));
    // The ground plus the match objects the venue provides.
    EXPECT_GT(CountObjects(SceneManager(), "Entity"), 1u);

    CKEMSceneGraph::SetCurrentCamera(camera);
    EXPECT_EQ(CKEMSceneGraph::GetViewport()->getViewport()->getCamera(),
              camera->GetCamera()->GetCamera()->getCamera());
    Ogre::Image lit = Screenshot("training.png");
    ASSERT_EQ(lit.getWidth(), 640u);
    ASSERT_EQ(lit.getHeight(), 480u);

    // The camera looks at the ground's centre; the far edge is about 115
    // pixels higher and the sky above it shows the viewport's background.
    const Rgb sky = PixelAt(lit, 320, 20);
    const Rgb centre = PixelAt(lit, 320, 240);
    const Rgb farEdge = PixelAt(lit, 320, 135);
    EXPECT_NEAR(sky.r, 51, 3);
    EXPECT_NEAR(sky.b, 76, 3);
    EXPECT_GT(centre.r, 170) << centre.r << " " << centre.g << " " << centre.b;
    EXPECT_GT(centre.r, farEdge.r + 40) << farEdge.r;
    EXPECT_GT(farEdge.r, sky.r);

    // Without the light only the environment's ambient share is left (0.2 of
    // the ground's ambient 0.35, 0.32, 0.25).
    light->SetEnabled(false);
    Ogre::Image dark = Screenshot("training_dark.png");
    const Rgb unlit = PixelAt(dark, 320, 240);
    EXPECT_NEAR(unlit.r, 18, 4);
    EXPECT_NEAR(unlit.g, 16, 4);
    EXPECT_NEAR(unlit.b, 13, 4);

    // The camera shown goes: the viewport no longer draws through it.
    ASSERT_TRUE(CKEMSceneGraph::DeleteNode("venue_cam"));
    EXPECT_EQ(CKEMSceneGraph::GetCurrentCamera(), nullptr);
    EXPECT_EQ(CKEMSceneGraph::GetViewport()->getViewport()->getCamera(), nullptr);
    gKEMFrameWork.RenderFrame(16.0f);
}

// A scene that does not load whole leaves an empty scene (the default camera
// only), also after a venue was loaded before; the next good load works.
class BrokenVenue : public VenueOnWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(BrokenVenue, FailsWithNothingLeftBehind)
{
    const std::string venue = ReadText(kTraining);
    ASSERT_FALSE(venue.empty());
    const std::string kind = GetParam();
    const fs::path file = mDir / "broken.xml";
    if (kind == "no graphic environment") {
        const size_t begin = venue.find("<KEM_GRAPHICENV_MGR_VARLIST>");
        const size_t end = venue.find("</KEM_GRAPHICENV_MGR_VARLIST>");
        ASSERT_NE(end, std::string::npos);
        std::ofstream(file, std::ios::binary)
            << venue.substr(0, begin) << venue.substr(end + std::string("</KEM_GRAPHICENV_MGR_VARLIST>").size());
    } else if (kind == "missing mesh") {
        std::string text = venue;
        text.replace(text.find("ground.mesh"), 11, "lost.mesh");
        std::ofstream(file, std::ios::binary) << text;
    } else if (kind == "no ROOT") {
        std::ofstream(file, std::ios::binary) << "<SCENE/>";
    }   // "missing file": none written

    ASSERT_EQ(CKEMFrameWork::LoadScene(kTraining), 1);
    ASSERT_NE(CKEMSceneGraph::FindNode("terrain"), nullptr);
    EXPECT_EQ(CKEMFrameWork::LoadScene(file.string().c_str()), 0);
    ExpectEmptyScene();
    gKEMFrameWork.RenderFrame(16.0f);

    EXPECT_EQ(CKEMFrameWork::LoadScene(kTraining), 1);
    EXPECT_NE(CKEMSceneGraph::FindNode("venue_light"), nullptr);
    EXPECT_EQ(CKEMFrameWork::LoadScene(nullptr), 1);
    ExpectEmptyScene();
}

INSTANTIATE_TEST_SUITE_P(Kinds, BrokenVenue,
                         ::testing::Values("no graphic environment", "missing mesh", "no ROOT", "missing file"));

// The physics sections go to the physics manager's hooks in the loader's
// order, the objects once the nodes exist; a failing physics reader stops
// the load before the nodes.
TEST_F(VenueOnWindow, PhysicsSectionsReachTheirHooksInOrder)
{
    static std::vector<std::string> calls;
    static bool failSettings = false;
    calls.clear();
    CKEMScenePhysicsHooks& hooks = CKEMSceneGraph::PhysicsHooks();
    hooks.clear = [] { calls.push_back("clear"); };
    hooks.createWorld = [] { calls.push_back("world"); };
    hooks.loadSettingsAndMaterials = [](const char* text) {
        calls.push_back(std::string("settings") + (std::string(text).find("KEM_PHYSIC_MATERIAL_VARLIST") != std::string::npos ? "" : "?"));
        calls.push_back(CKEMSceneGraph::FindNode("terrain") ? "nodes" : "no nodes");
        return !failSettings;
    };
    hooks.loadObjectsAndJoints = [](const char*) {
        calls.push_back("objects");
        calls.push_back(CKEMSceneGraph::FindNode("terrain") ? "nodes" : "no nodes");
        return true;
    };

    ASSERT_EQ(CKEMFrameWork::LoadScene(kTraining), 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "world", "settings", "no nodes", "objects", "nodes"}));

    calls.clear();
    failSettings = true;
    EXPECT_EQ(CKEMFrameWork::LoadScene(kTraining), 0);
    failSettings = false;
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "world", "settings", "no nodes", "clear", "world"}));
    ExpectEmptyScene();
}
