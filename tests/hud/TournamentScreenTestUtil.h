// The tournament screens' tests: the game's GUI manager on CEGUI's Null
// renderer with the game's scheme and staged layouts, the language table of
// the shipped media, the blink pool, and the menu sounds recorded.
#pragma once

#include "GuiTestUtil.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CLangDB.h>
#include <CWindowEffectMgr.h>
#include <KEMStringUtils.h>
#include <TournamentLines.h>

#include <CEGUI/PropertyHelper.h>
#include <CEGUI/Window.h>

#include <fstream>
#include <string>
#include <vector>

struct PlayedSounds {
    static inline std::vector<std::string> played;
    static CKEMSceneNode* Create(const std::string& file, float) {
        CKEMSceneNode* node = new CKEMSceneNode(nullptr);
        node->setName(file);
        return node;
    }
    static void Play(CKEMSceneNode* node) { played.push_back(node->getName()); }
};

// A side: computer teams have no players, a human one its gamers.
inline PairingTeam Side(const std::string& name, int score, bool computer = true,
                        std::vector<std::string> players = {}) {
    PairingTeam team;
    team.mName = name;
    team.mScore = score;
    team.mComputer = computer;
    for (size_t k = 0; k < players.size() && k < 3; ++k)
        team.mPlayers[k] = players[k];
    return team;
}

class TournamentScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CLangDB::Instance().LoadFromFile(std::string(KEM_SOURCE_MEDIA) + "/Data/Lang_DB.csv"));
        ASSERT_TRUE(mSession.Start(gGUIMgr));
        ASSERT_TRUE(gGUIMgr.LoadScheme("Tavirelo_GUI.scheme"));
        CWindowEffectMgr::Create();
        mSavedSounds = CGUIMgr::MenuSoundHooks();
        CGUIMgr::MenuSoundHooks() = {&PlayedSounds::Create, &PlayedSounds::Play};
        CKEMSceneGraph::CreateRootNode();
        // A file of each test's own: ctest runs the tests side by side, and a
        // file rewritten by another test while this one reads it is empty.
        const std::string sounds = std::string(KEM_TEST_BINARY_DIR) + "/" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                   "_TournamentMenuSounds.cfg";
        std::ofstream(sounds) << "MenuSndValid = valid.wav\nMenuSndCancel = cancel.wav\n";
        gGUIMgr.LoadMenuSounds(sounds);
        PlayedSounds::played.clear();
    }
    void TearDown() override {
        gGUIMgr.ReleaseMenuSounds();
        CKEMSceneGraph::DestroyRootNode();
        CGUIMgr::MenuSoundHooks() = mSavedSounds;
        CWindowEffectMgr::Free();
        mSession.Stop();
        CLangDB::Instance().Clear();
    }

    static CEGUI::Window* Window(const std::string& name) { return gGUIMgr.GetWindow(name); }
    static std::string Text(const std::string& name) {
        CEGUI::Window* w = Window(name);
        return w ? CEGUIStringToStdString(w->getText()) : std::string("<no window " + name + ">");
    }
    static bool Visible(const std::string& name) {
        CEGUI::Window* w = Window(name);
        return w && w->isVisible();
    }
    // The text colour's top-left corner as ARGB.
    static uint32_t Colour(const std::string& name) {
        CEGUI::Window* w = Window(name);
        if (!w)
            return 0;
        return CEGUI::PropertyHelper<CEGUI::ColourRect>::fromString(w->getProperty("TextColours"))
            .d_top_left.getARGB();
    }
    static bool Blinking(const std::string& name) {
        for (int i = 0; i < CWindowEffectMgr::GetSlotCount(); ++i) {
            const CWindowEffect* slot = CWindowEffectMgr::GetSlot(i);
            if (slot && slot->mState == 0 && slot->mWindowName == name)
                return true;
        }
        return false;
    }
    static int BlinkCount() { return CWindowEffectMgr::GetActiveList().GetCount(); }
    static void Click(const std::string& name) {
        CEGUI::Window* w = Window(name);
        ASSERT_NE(w, nullptr) << name;
        CEGUI::MouseEventArgs args(w);
        args.button = CEGUI::LeftButton;
        w->fireEvent(CEGUI::Window::EventMouseClick, args, CEGUI::Window::EventNamespace);
    }

    NullGuiSession mSession;
    CGUIMenuSoundHooks mSavedSounds;
};
