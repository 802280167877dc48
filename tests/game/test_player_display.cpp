// A player's model as the GL renderer draws it: the skinned mesh faces the
// camera with its skin and its side's clothes in their own colours (not culled
// away, not OGRE's untextured white), in its stance and at the release of a throw.
#include <Ogre.h>
#include <OgreRenderWindow.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kStage = std::string(KEM_STAGE_DIR) + "/mediaDemo/";
const Ogre::ColourValue kBackground(0.0f, 0.5f, 0.0f);

class PlayerDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sLog = new Ogre::LogManager();
        sLog->createLog("player_display.ogre.log", true, false, true);
        sRoot = new Ogre::Root("", "", "");
        sRoot->loadPlugin(std::string(PLAYER_OGRE_PLUGIN_DIR) + "/RenderSystem_GL");
        Ogre::RenderSystem* renderSystem = sRoot->getRenderSystemByName("OpenGL Rendering Subsystem");
        ASSERT_NE(renderSystem, nullptr);
        sRoot->setRenderSystem(renderSystem);
        sRoot->initialise(false);
        sWindow = sRoot->createRenderWindow("players", 160, 240, false);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(kStage + "Models", "FileSystem", "General");
        groups.initialiseAllResourceGroups();
    }
    static void TearDownTestSuite() {
        delete sRoot;
        delete sLog;
    }

    void SetUp() override {
        mScene = sRoot->createSceneManager();
        mScene->setAmbientLight(Ogre::ColourValue(0.4f, 0.4f, 0.4f));
        Ogre::Light* light = mScene->createLight();
        light->setType(Ogre::Light::LT_DIRECTIONAL);
        Ogre::SceneNode* lightNode = mScene->getRootSceneNode()->createChildSceneNode();
        lightNode->attachObject(light);
        lightNode->setDirection(Ogre::Vector3(0.2f, -0.5f, 1.0f), Ogre::Node::TS_WORLD);
        Ogre::Camera* camera = mScene->createCamera("camera");
        camera->setNearClipDistance(0.05f);
        camera->setAspectRatio(160.0f / 240.0f);
        Ogre::SceneNode* cameraNode = mScene->getRootSceneNode()->createChildSceneNode();
        cameraNode->attachObject(camera);
        // In front of the player, who faces -Z.
        cameraNode->setPosition(0.0f, 0.95f, -3.2f);
        cameraNode->lookAt(Ogre::Vector3(0.0f, 0.9f, 0.0f), Ogre::Node::TS_WORLD);
        sWindow->removeAllViewports();
        sWindow->addViewport(camera)->setBackgroundColour(kBackground);
    }
    void TearDown() override {
        sWindow->removeAllViewports();
        sRoot->destroySceneManager(mScene);
    }

    // The player with the game's clothes rule: every sub-entity whose material
    // names "clothes" takes the side's clothes.
    Ogre::Entity* AddPlayer(const std::string& mesh, const std::string& clothes) {
        Ogre::Entity* entity = mScene->createEntity(mesh);
        for (Ogre::SubEntity* sub : entity->getSubEntities())
            if (sub->getMaterialName().find("clothes") != std::string::npos)
                sub->setMaterialName(clothes);
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(entity);
        return entity;
    }

    std::vector<Ogre::ColourValue> Render() {
        sRoot->renderOneFrame();
        sRoot->renderOneFrame();
        const Ogre::PixelFormat format = Ogre::PF_BYTE_RGBA;
        std::vector<uint8_t> bytes(sWindow->getWidth() * sWindow->getHeight() * 4);
        Ogre::PixelBox box(sWindow->getWidth(), sWindow->getHeight(), 1, format, bytes.data());
        sWindow->copyContentsToMemory(box, box);
        std::vector<Ogre::ColourValue> pixels;
        for (uint32_t y = 0; y < sWindow->getHeight(); ++y)
            for (uint32_t x = 0; x < sWindow->getWidth(); ++x)
                pixels.push_back(box.getColourAt(x, y, 0));
        return pixels;
    }

    // Pixels of the picture close to a colour's hue: the shading changes the
    // brightness, not the proportions of the channels.
    static int CountShade(const std::vector<Ogre::ColourValue>& pixels, const Ogre::ColourValue& colour) {
        int count = 0;
        const float sum = colour.r + colour.g + colour.b;
        for (const Ogre::ColourValue& p : pixels) {
            const float s = p.r + p.g + p.b;
            if (s < 0.15f)
                continue;
            if (std::abs(p.r / s - colour.r / sum) < 0.025f && std::abs(p.g / s - colour.g / sum) < 0.025f &&
                std::abs(p.b / s - colour.b / sum) < 0.025f)
                ++count;
        }
        return count;
    }

    static inline Ogre::LogManager* sLog = nullptr;
    static inline Ogre::Root* sRoot = nullptr;
    static inline Ogre::RenderWindow* sWindow = nullptr;
    Ogre::SceneManager* mScene = nullptr;
};

}  // namespace

TEST_F(PlayerDisplay, APlayerShowsItsSkinAndItsSidesClothesInEveryPose) {
    const Ogre::ColourValue skin(0.93f, 0.76f, 0.63f);        // "CN"
    const Ogre::ColourValue clothes(0.12f, 0.2f, 0.6f);        // France's shirts
    const struct {
        const char* animation;
        float time;
    } poses[] = {{"AN_STD_TIR", 0.0f}, {"AN_TIR", 0.9f}, {"AN_STD_POI", 0.0f}, {"AP_FIN_MA_01", 0.4f}};
    for (const char* mesh : {"HJ_CN_01.mesh", "FG_CN_01.mesh"}) {
        Ogre::Entity* player =
            AddPlayer(mesh, std::string("France_FR/") + (mesh[0] == 'F' ? "woman_Clothes" : "man_Clothes"));
        for (const auto& pose : poses) {
            SCOPED_TRACE(std::string(mesh) + " " + pose.animation);
            Ogre::AnimationState* state = player->getAnimationState(pose.animation);
            state->setEnabled(true);
            state->setTimePosition(pose.time);
            const std::vector<Ogre::ColourValue> pixels = Render();
            state->setEnabled(false);
            int drawn = 0;
            for (const Ogre::ColourValue& p : pixels)
                if (std::abs(p.r - kBackground.r) + std::abs(p.g - kBackground.g) + std::abs(p.b - kBackground.b) > 0.1f)
                    ++drawn;
            EXPECT_GT(drawn, 1500) << "the model barely draws";
            EXPECT_GT(CountShade(pixels, skin), 300) << "no skin";
            EXPECT_GT(CountShade(pixels, clothes), 500) << "no clothes";
        }
        mScene->destroyEntity(player);
    }
}
