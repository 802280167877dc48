// The training menus: exercise choice, description, then the training game,
// driven through the real screens and layouts on the Null renderer.
#include "MenuTestUtil.h"

#include <CGameMode.h>
#include <CLangDB.h>
#include <CMenuGameModeTraining.h>
#include <CTrainingGameMode.h>
#include <MenuModes.h>
#include <TuningParameters.h>

#include <memory>
#include <string>

namespace {

class TrainingFlow : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        // The main menu binds Escape before it hands over to the training menus.
        gInputMgr.SetKeyMapping(CMenuGameMode::ACTION_ESCAPE, kEscapeKey);
    }
    static int Screen(CMenuGameModeTraining& flow) { return flow.GetStateMachine()->GetCurrentState(); }
    static std::string Text(const char* window) {
        CEGUI::Window* w = Window(window);
        return w ? std::string(w->getText().c_str()) : std::string("<no window>");
    }
    // One frame of the flow with Escape just pressed, then released.
    void PressEscape(CMenuGameModeTraining& flow) {
        Escape(true);
        flow.Update();
        Escape(false);
    }
};

}  // namespace

TEST_F(TrainingFlow, FactoriesBuildTheTrainingMenusAndTheTrainingGame) {
    std::unique_ptr<CGameMode> mode(CreateMenuMode(GAME_MODE_TRAINING_MENUS, 5));
    auto* flow = dynamic_cast<CMenuGameModeTraining*>(mode.get());
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->GetPreviousModeValue(), 5);
    EXPECT_EQ(flow->GetModeValue(), 0);
    EXPECT_EQ(flow->GetTournamentType(), CMenuGameMode::TOURNAMENT_TRAINING);
    EXPECT_EQ(flow->GetName(), GetText("MENU_TRAINING"));
    EXPECT_EQ(flow->GetTrainingType(), 0);

    std::unique_ptr<CGameMode> routed(CreateGameModeById(GAME_MODE_TRAINING_MENUS, 5));
    EXPECT_NE(dynamic_cast<CMenuGameModeTraining*>(routed.get()), nullptr);
    // Past the description the training game itself starts.
    std::unique_ptr<CGameMode> training(CreateGameModeById(GAME_MODE_TRAINING, 0));
    EXPECT_NE(dynamic_cast<CTrainingGameMode*>(training.get()), nullptr);
}

TEST_F(TrainingFlow, ExerciseThenDescriptionThenTheTrainingGame) {
    CMenuGameModeTraining flow(2);
    ASSERT_TRUE(flow.Init());
    EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_TRAINING_TYPE);
    EXPECT_EQ(flow.GetStep(), 0);

    Click("BtnShoot1");
    Click("BtnValid");
    EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_TRAINING_TYPE) << "the click only sets a flag";
    flow.Update();
    EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_DESCRIPTION);
    EXPECT_EQ(Text("TrainDesc"), GetText("TR_DESC_SHOOT_1"));
    EXPECT_FALSE(flow.IsFinished());
    EXPECT_EQ(Find("TRAININGPARAMS", "TrainingType"), nullptr);

    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_DUMMY);
    EXPECT_EQ(Window("TrainDesc"), nullptr) << "the description left through the dummy";
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_TRAINING);
    EXPECT_EQ(Int("TRAININGPARAMS", "TrainingType"), 2);
    EXPECT_EQ(Find("QUICKMATCHPARAMS", "TrainingType"), nullptr);
    EXPECT_TRUE(flow.Exit());
}

TEST_F(TrainingFlow, BackFromEachScreen) {
    // Back by button or by Escape: the description returns to the exercise
    // choice, the exercise choice to the main menu.
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Escape" : "BtnBack");
        CMenuGameModeTraining flow(2);
        flow.Init();
        Click("BtnPoint2");
        Click("BtnValid");
        flow.Update();
        ASSERT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_DESCRIPTION);

        auto back = [&] {
            if (byEscape) {
                PressEscape(flow);
            } else {
                Click("BtnBack");
                flow.Update();
            }
        };
        back();
        EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_TRAINING_TYPE);
        EXPECT_EQ(flow.GetStep(), 0);
        EXPECT_NE(Window("BtnPoint1"), nullptr) << "the exercise choice is shown again";
        EXPECT_EQ(Window("TrainDesc"), nullptr);
        EXPECT_FALSE(flow.IsFinished());

        back();
        EXPECT_TRUE(flow.IsFinished());
        EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_MAIN_MENU);
        EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_TRAINING_TYPE) << "no other screen entered";
        EXPECT_EQ(Find("TRAININGPARAMS", "TrainingType"), nullptr);
    }
}

TEST_F(TrainingFlow, NewChoiceAfterBackIsDescribedAndWritten) {
    CMenuGameModeTraining flow(2);
    flow.Init();
    Click("BtnShoot2");
    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(Text("TrainDesc"), GetText("TR_DESC_SHOOT_2"));
    Click("BtnBack");
    flow.Update();
    Click("BtnPoint2");
    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(Text("TrainDesc"), GetText("TR_DESC_POINT_2"));
    Click("BtnValid");
    flow.Update();
    EXPECT_EQ(Int("TRAININGPARAMS", "TrainingType"), 1);
}

TEST_F(TrainingFlow, CheatKeyWithoutAChoiceStartsTheFirstExercise) {
    const int kKeyN = 0x31;
    const bool cheat = ENABLE_CHEAT;
    ENABLE_CHEAT = true;
    // A stale text value from elsewhere is replaced by the int.
    gSceneMgr.GetEnvironment().GetVariable("TRAININGPARAMS", "TrainingType", true)->SetString("3");
    CMenuGameModeTraining flow(2);
    flow.Init();
    mKeys->PressKey(kKeyN);
    gInputMgr.Update();
    flow.Update();
    mKeys->ReleaseKey(kKeyN);
    gInputMgr.Update();
    ENABLE_CHEAT = cheat;
    ASSERT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_DESCRIPTION);
    EXPECT_EQ(Text("TrainDesc"), GetText("TR_DESC_POINT_1"));
    Click("BtnValid");
    flow.Update();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_TRAINING);
    CEnvironmentVariable* type = Find("TRAININGPARAMS", "TrainingType");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->GetType(), CEnvironmentVariable::TYPE_INT);
    EXPECT_EQ(type->GetInt(), 0);
}

TEST_F(TrainingFlow, ValidAndBackInOneFrameStartTheTrainingWithoutReopeningTheDescription) {
    CMenuGameModeTraining flow(2);
    flow.Init();
    Click("BtnShoot1");
    Click("BtnValid");
    flow.Update();
    Click("BtnValid");
    Click("BtnBack");
    flow.Update();
    EXPECT_TRUE(flow.IsFinished());
    EXPECT_EQ(flow.GetNextModeId(), GAME_MODE_TRAINING);
    EXPECT_EQ(Screen(flow), CMenuGameModeTraining::SCREEN_DUMMY);
    EXPECT_EQ(Window("TrainDesc"), nullptr) << "no screen left open for the training game";
    EXPECT_EQ(Int("TRAININGPARAMS", "TrainingType"), 2);
}
