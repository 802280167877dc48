// The training mode's reading of the exercise the training menus chose:
// "TrainingType" of "TRAININGPARAMS" as the settings store may hold it.
#include <CEnvironment.h>
#include <CSceneMgr.h>
#include <CTrainingGameMode.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kSection[] = "TRAININGPARAMS";
const char kName[] = "TrainingType";

}  // namespace

TEST(TrainingType, ANumberOfTheFourExercisesIsPlayedAnythingElseGivesTheFirst)
{
    // Texts as the settings file gives them: int, float, text, or nothing.
    const struct {
        const char* stored;
        int played;
    } cases[] = {
        {"0", 0},     {"1", 1},    {"2", 2},        {"3", 3},    {"3.7", 3},  {"1.", 1},
        {"4", 0},     {"-1", 0},   {"2147483647", 0}, {"-0.5", 0}, {"1e30", 0}, {"9.9e9", 0},
        {"-3.5", 0},  {"two", 0},  {"", 0},
    };
    CEnvironment& env = gSceneMgr.GetEnvironment();
    for (const auto& c : cases) {
        CEnvironmentVariable* variable = env.GetVariable(kSection, kName, true);
        ASSERT_NE(variable, nullptr);
        variable->SetFromText(c.stored);
        EXPECT_EQ(CTrainingGameMode::ReadTrainingType(), c.played) << '"' << c.stored << '"';
    }
}

TEST(TrainingType, WithoutTheSettingTheFirstExerciseIsPlayed)
{
    // A run that never went through the training menus.
    CEnvironment& env = gSceneMgr.GetEnvironment();
    if (CEnvironmentVariable* variable = env.GetVariable(kSection, kName, false))
        variable->FreeValue();
    EXPECT_EQ(CTrainingGameMode::ReadTrainingType(), 0);
}
