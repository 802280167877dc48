// The match layout as the game ships it (the staged tree), on CEGUI's Null
// renderer: every window the match mode and its states look up is there, the
// frames' texts sit inside their frames, and every frame starts hidden.
#include "GuiTestUtil.h"

#include <CGUIMgr.h>

#include <CEGUI/Window.h>

#include <string>
#include <vector>

namespace {

// Frames, and what each holds; a name path "Frame/Text" is how the states
// name a frame's text.
const std::vector<std::pair<std::string, std::vector<std::string>>> kFrames = {
    {"FrameButtons", {"BtnShooter", "BtnPointer", "BtnAngle1", "BtnAngle2", "BtnAngle3", "BtnEffet", "BtnStart",
                      "TextPoint", "TextShoot", "TextAngle1", "TextAngle2", "TextAngle3", "TextEffects"}},
    {"FrameHeadTail", {"FrameHeadTailName", "FrameHeadTail/MonText", "ButtonHead", "ButtonTail"}},
    {"FrameResponse", {"FrameResponseName", "FrameResponse/Text", "ButtonValid"}},
    {"FramePigLaunchError", {"FramePigName", "FramePigLaunchError/Text", "ButtonOK"}},
    {"FramePigIsOut", {"FramePigIsOut/Text", "ButtonValidPigOut"}},
    {"FramePause", {"BtnPauseQuit", "BtnPauseBack", "BtnAmbPlus", "BtnAmbMoins", "BtnMusicPlus", "BtnMusicMoins",
                    "VolAmb", "VolMus", "TextVolAmb", "TextVolMus"}},
    {"FrameConfirmQuit", {"TextPauseQuit", "BtnPauseConfirm", "BtnPauseCancel"}},
    {"FrameEndMatch", {"textInfoEndMatch", "textInfoEndMatchBG", "BtnEndMatchReplay", "BtnEndMatchQuit",
                       "BtnEndMatchChangeTeam", "BtnEndMatchChangeGameType"}},
    {"FrameEndMatchAwards", {"textInfoAwards", "textInfoAwardsBG", "BtnAwardsReplay", "BtnAwardsEndMatch",
                             "BtnAwardsChangeTeam", "BtnAwardsChangeGameType"}},
    {"FrameEndTournament", {"TextEndTournament", "BtnEndTournamentReplay", "BtnEndTournamentQuit",
                            "BtnEndTournamentChangeTeam", "BtnEndTournamentChangeGameType"}},
    // The thrower's buttons go with their frame: hiding it hides them.
    {"FramePlayerName", {"infosP1", "infosP2", "infosP3"}},
};

// Windows directly under the sheet.
const std::vector<std::string> kTopWindows = {
    "TextLeft", "TextRight", "TextReplay", "BtnReplay", "TextContinue", "TextBtnReplay",
    "BtnQuitReplay", "TextInfosPlayer", "FramePlayerName", "Team1Name", "Team2Name", "HUDInfosTeam1Name",
    "HUDInfosTeam2Name", "textScore", "CurrentGamer", "BtnQuitTraining", "BtnCamPlus", "BtnCamMoins", "BtnRight",
    "BtnLeft", "TextBarPhysique", "TextBarMental", "TextBarBalance", "TextCoinHead", "TextCoinTail"};

class MatchLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mSession.Start(mGui));
        ASSERT_TRUE(mGui.LoadScheme("Tavirelo_GUI.scheme"));
        ASSERT_TRUE(mGui.LoadLayout("QuickMatchLayouts.layout")) << "unknown window type or font, or a broken file";
    }
    void TearDown() override { mSession.Stop(); }

    CGUIMgr mGui;
    NullGuiSession mSession;
};

TEST_F(MatchLayout, EveryWindowTheMatchLooksUpIsInItsPlace) {
    CEGUI::Window* root = mGui.GetWindow("Root");
    ASSERT_NE(root, nullptr);
    for (const std::string& name : kTopWindows) {
        CEGUI::Window* window = mGui.GetWindow(name);
        ASSERT_NE(window, nullptr) << name;
        EXPECT_EQ(window->getParent(), root) << name;
    }
    for (const auto& frame : kFrames) {
        CEGUI::Window* window = mGui.GetWindow(frame.first);
        ASSERT_NE(window, nullptr) << frame.first;
        // The panel's and the thrower's frames show with the match; the
        // others wait for their state.
        if (frame.first != "FrameButtons" && frame.first != "FramePlayerName") {
            EXPECT_FALSE(window->isVisible()) << frame.first << " must start hidden";
        }
        for (const std::string& name : frame.second) {
            CEGUI::Window* child = mGui.GetWindow(name);
            ASSERT_NE(child, nullptr) << name;
            EXPECT_TRUE(child->isAncestor(window)) << name << " is not inside " << frame.first;
        }
    }
}

}  // namespace

namespace {

// A message over the throw view stands clear of the thrower's card and
// lines (the card ends a little left of the lines' right edge), which stay on
// screen under it; the quit question takes the pause frame's place.
TEST_F(MatchLayout, MessageFramesStandClearOfTheThrowersLines) {
    CEGUI::Window* root = mGui.GetWindow("Root");
    ASSERT_NE(root, nullptr);
    root->setSize(CEGUI::USize(CEGUI::UDim(0, 640), CEGUI::UDim(0, 480)));
    auto area = [this](const char* name) {
        CEGUI::Window* window = mGui.GetWindow(name);
        return window ? window->getUnclippedOuterRect().get() : CEGUI::Rectf();
    };
    const CEGUI::Rectf lines = area("FramePlayerName");
    ASSERT_GT(lines.getWidth(), 0.0f);
    for (const char* frame : {"FramePigLaunchError", "FramePigIsOut", "FrameResponse", "FrameHeadTail",
                              "FrameConfirmQuit", "FramePause"}) {
        const CEGUI::Rectf f = area(frame);
        ASSERT_GT(f.getWidth(), 0.0f) << frame;
        EXPECT_GT(f.left(), lines.right()) << frame << " lies over the thrower's lines";
    }
    const CEGUI::Rectf pause = area("FramePause"), quit = area("FrameConfirmQuit");
    EXPECT_TRUE(quit.left() >= pause.left() && quit.right() <= pause.right() && quit.top() >= pause.top() &&
                quit.bottom() <= pause.bottom())
        << "the quit question does not stand in the pause frame's place";
}

}  // namespace
