// The 3D-engine core without a display: option and resource files, the attach
// path, shutdown without owning OGRE, and a start-up that finds no render system.
#include <CWrapOgreCore.h>
#include <KEMException.h>

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs each test in a fresh folder of its own: the core reads its files from
// the working directory.
class CoreFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = fs::path(KEM_TEST_BINARY_DIR) / "core_files" / info->name();
        fs::remove_all(mDir);
        fs::create_directories(mDir);
        mOldDir = fs::current_path();
        fs::current_path(mDir);
    }
    void TearDown() override { fs::current_path(mOldDir); }

    void Write(const std::string& name, const std::string& text) { std::ofstream(mDir / name) << text; }

    fs::path mDir;
    fs::path mOldDir;
};

// A headless OGRE the core can attach to.
struct HeadlessOgre {
    HeadlessOgre() {
        log = new Ogre::LogManager();
        log->createLog("headless.log", true, false, true);
        root = new Ogre::Root("", "", "");
    }
    ~HeadlessOgre() {
        delete root;
        delete log;
    }
    Ogre::LogManager* log;
    Ogre::Root* root;
};

}  // namespace

TEST(CWrapOgreCore, ParseVideoModeReadsEveryRenderSystemsSpelling) {
    struct Case {
        const char* text;
        bool ok;
        int width, height;
    };
    const Case cases[] = {
        {"1024 x 768 @ 32-bit colour", true, 1024, 768},
        {"1024 x  768", true, 1024, 768},
        {" 800 x 600", true, 800, 600},
        {"640x480", true, 640, 480},
        {"", false, 0, 0},
        {"x 768", false, 0, 0},
        {"1024 x", false, 0, 0},
        {"1024 by 768", false, 0, 0},
        {"0 x 0", false, 0, 0},
        {"99999999999 x 768", false, 0, 0},
    };
    for (const Case& c : cases) {
        int w = -1, h = -1;
        EXPECT_EQ(CWrapOgreCore::ParseVideoMode(c.text, w, h), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(w, c.width) << c.text;
            EXPECT_EQ(h, c.height) << c.text;
        } else {
            EXPECT_EQ(w, -1) << c.text;   // untouched on failure
        }
    }
}

TEST_F(CoreFiles, OptionFileKeepsTheFirstValueOfAKeyAndOnlyTheUnnamedSection) {
    Write("KEM.ogre_config.cfg",
          "# options\n"
          "show_config_dialog = no\r\n"
          "scenemanager:exterior_close\n"
          "scenemanager=generic\n"
          "window_title\tMy Window\n"
          "\n"
          "[Other]\n"
          "load_hard_config=yes\n");
    CWrapOgreCore core;
    core.LoadOptionFile();
    EXPECT_EQ(core.GetOption("show_config_dialog"), "no");
    EXPECT_EQ(core.GetOption("scenemanager"), "exterior_close");
    EXPECT_EQ(core.GetOption("window_title"), "My Window");
    EXPECT_EQ(core.GetOption("load_hard_config", "missing"), "missing");
}

TEST_F(CoreFiles, MissingOptionFileLeavesTheDefaults) {
    CWrapOgreCore core;
    core.LoadOptionFile();
    EXPECT_TRUE(core.GetOptions().empty());
    EXPECT_EQ(core.GetOption("window_title", "KEM Demo"), "KEM Demo");
}

// Attaching to an OGRE the caller runs reads no option file (the scene type
// stays generic), reads the resource file in file order, and a core that does
// not own OGRE leaves it running at shutdown.
TEST_F(CoreFiles, AttachReadsResourcesButNoOptionsAndShutdownLeavesOgreRunning) {
    Write("KEM.ogre_config.cfg", "scenemanager=exterior_close\n");
    fs::create_directories(mDir / "media" / "b");
    fs::create_directories(mDir / "media" / "a");
    Write("KEM.ogre_resources.cfg",
          "[Zeta]\n"
          "FileSystem=media/b\n"
          "FileSystem=media/a\n"
          "[Alpha]\n"
          "FileSystem=media\n");
    HeadlessOgre ogre;
    {
        CWrapOgreCore core;
        core.Start(0, "unused", true, false, true, nullptr);
        ASSERT_TRUE(core.IsStarted());
        EXPECT_EQ(core.GetRoot(), ogre.root);
        EXPECT_EQ(core.GetSceneType(), CWrapOgreCore::SCENE_GENERIC);
        EXPECT_TRUE(core.GetOptions().empty());
        ASSERT_NE(core.GetSceneManager(), nullptr);
        EXPECT_EQ(core.GetSceneManager()->getName(), "KEM_SM");

        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        std::vector<std::string> zeta;
        for (const auto& loc : groups.getResourceLocationList("Zeta"))
            zeta.push_back(loc.archive->getName());
        ASSERT_EQ(zeta.size(), 2u);
        EXPECT_EQ(zeta[0], "media/b");
        EXPECT_EQ(zeta[1], "media/a");
        EXPECT_EQ(groups.getResourceLocationList("Alpha").size(), 1u);

        core.Shutdown();
        EXPECT_EQ(core.GetRoot(), nullptr);
    }
    EXPECT_EQ(Ogre::Root::getSingletonPtr(), ogre.root);
    EXPECT_TRUE(ogre.root->hasSceneManager("KEM_SM"));
}

TEST_F(CoreFiles, AttachWithoutAnyOgreFailsCleanly) {
    CWrapOgreCore core;
    EXPECT_THROW(core.Start(0, "unused", true, true, true, nullptr), CKEMException);
    EXPECT_FALSE(core.IsStarted());
}

// No plug-in file: OGRE starts without a render system. The start fails with
// a readable error, the log is OGRE's "KEM.ogre.log", and deleting the core
// lets OGRE go.
TEST_F(CoreFiles, StartWithoutRenderSystemFailsAndCleansUp) {
    Write("KEM.ogre_config.cfg", "show_config_dialog=no\n");
    {
        CWrapOgreCore core;
        try {
            core.Start(0, "Window0", false, true, true, nullptr);
            FAIL() << "started without a render system";
        } catch (const CKEMException& e) {
            EXPECT_NE(std::string(e.GetReason()).find("no render system"), std::string::npos) << e.GetReason();
        }
        EXPECT_FALSE(core.IsStarted());
    }
    EXPECT_EQ(Ogre::Root::getSingletonPtr(), nullptr);
    EXPECT_EQ(Ogre::LogManager::getSingletonPtr(), nullptr);
    EXPECT_TRUE(fs::exists(mDir / "KEM.ogre.log"));
}

// An OGRE error during start-up (an unknown archive type in the resource file)
// becomes CKEMException with OGRE's description and the core's source text.
TEST_F(CoreFiles, OgreErrorsDuringStartBecomeKemExceptions) {
    Write("KEM.ogre_resources.cfg", "[General]\nNoSuchArchive=somewhere\n");
    CWrapOgreCore core;
    try {
        core.Start(0, "Window0", false, true, true, nullptr);
        FAIL() << "started with a broken resource file";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetSource(), "[OgreWrap] OGRE EXCEPTION");
        EXPECT_NE(e.GetReason().find("NoSuchArchive"), std::string::npos) << e.GetReason();
    }
    EXPECT_FALSE(core.IsStarted());
}

TEST(CWrapOgreCore, FrameListenerNeedsARenderWindow) {
    CWrapOgreCore core;
    EXPECT_THROW(core.AddFrameListener(), CKEMException);
    EXPECT_FALSE(core.RenderFrame(16.0f));   // nothing started: no frame, no crash
}
