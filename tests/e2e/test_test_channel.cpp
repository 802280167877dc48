// The lines of the test channel's match settings file: "name=value" goes to
// the quick-match section, "SECTION.name=value" to that section; names the
// settings store cannot hold are refused rather than cut.
#include <TestControl.h>
#include <TestSideDifficulty.h>

#include <CAITask.h>
#include <CAITaskScheduler.h>
#include <HalTimer.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Case {
    const char* line;
    bool ok;
    const char* section;
    const char* name;
    const char* value;
};

const Case kCases[] = {
    {"NbPlayers=0", true, "QUICKMATCHPARAMS", "NbPlayers", "0"},
    {"  TeamA = 8  ", true, "QUICKMATCHPARAMS", "TeamA", "8"},
    {"GAMEPARAMS.QuickMatch=1", true, "GAMEPARAMS", "QuickMatch", "1"},
    {"Player1Name=Ana Belle", true, "QUICKMATCHPARAMS", "Player1Name", "Ana Belle"},
    {"location=", true, "QUICKMATCHPARAMS", "location", ""},
    {"ratio=a=b", true, "QUICKMATCHPARAMS", "ratio", "a=b"},
    {"", false, "", "", ""},
    {"   ", false, "", "", ""},
    {"# TeamB=9", false, "", "", ""},
    {"no equals sign", false, "", "", ""},
    {"=5", false, "", "", ""},
    {".name=5", false, "", "", ""},
    {"SECTION.=5", false, "", "", ""},
    {"ANameOfThirtyTwoCharactersExactly=1", false, "", "", ""},
    {"ASectionNameThatIsFarTooLongToKeep.x=1", false, "", "", ""},
};

TEST(TestChannelSettings, ParsesEachLineOrRefusesIt) {
    for (const Case& c : kCases) {
        char section[32] = "", name[32] = "", value[256] = "";
        ASSERT_EQ(ParseTestSetting(c.line, section, name, value), c.ok) << '"' << c.line << '"';
        if (!c.ok)
            continue;
        EXPECT_STREQ(section, c.section) << c.line;
        EXPECT_STREQ(name, c.name) << c.line;
        EXPECT_STREQ(value, c.value) << c.line;
    }
}

TEST(TestChannelSettings, AValueTooLongForTheBufferIsRefused) {
    char section[32], name[32], value[256];
    EXPECT_FALSE(ParseTestSetting(("Player1Name=" + std::string(300, 'x')).c_str(), section, name, value));
    EXPECT_FALSE(ParseTestSetting(nullptr, section, name, value));
}

// A search of `size` candidates, one a step; -1: one that never ends.
class Search : public CAITask {
public:
    Search(int32_t budgetMs, long size) : CAITask(budgetMs), mSize(size) {}
    bool IsFinished() override { return mFinished || (mSize >= 0 && mScored >= mSize); }
    void Step() override { ++mScored; }
    long mScored = 0;

private:
    long mSize;
};

// Frames of the fixed step until the search ends (at most `frames`).
int RunFrames(Search& search, int frames) {
    g_AITaskScheduler.AddTask(&search);
    int frame = 0;
    while (!search.IsFinished() && frame < frames) {
        TestFrameStart();
        g_AITaskScheduler.RunFrame();
        ++frame;
    }
    if (!search.IsFinished())
        g_AITaskScheduler.RemoveTask(&search);
    return frame;
}

// Under the fixed step the computer searches as on a real clock at the game's
// frame rate: its 400 ms searches score every candidate, where a clock that
// moves 1 ms a reading ended them after a few hundred. A search that never
// ends still meets its budget. The side difficulties of the figures are read
// from the channel too.
TEST(TestChannelClock, TheComputerSearchesWholeUnderAFixedStepAndMeetsItsBudget) {
    setenv("TAVIRELO_TEST_FIXED_STEP_MS", "100", 1);
    setenv("TAVIRELO_TEST_SIDE_DIFFICULTY", "0,2", 1);
    TestStartUp(0);
    ASSERT_EQ(TestFixedStepMs(), 100u);
    EXPECT_EQ(TestSideDifficulty(0), 0);
    EXPECT_EQ(TestSideDifficulty(1), 2);
    EXPECT_EQ(TestSideDifficulty(2), -1);

    Search search(400, 7686);
    EXPECT_LE(RunFrames(search, 100), 2);
    EXPECT_EQ(search.mScored, 7686);

    // The game's own clock, read the same way, ends the search early: what
    // the figures measured before.
    g_AITaskScheduler.SetClock(&HalGetTimeMs);
    Search early(400, 7686);
    RunFrames(early, 100);
    EXPECT_LT(early.mScored, 7686);

    TestStartUp(0);   // the computer's clock again
    Search endless(400, -1);
    const int frames = RunFrames(endless, 100);
    EXPECT_TRUE(endless.IsFinished());
    EXPECT_LE(frames, 6);

    unsetenv("TAVIRELO_TEST_FIXED_STEP_MS");
    unsetenv("TAVIRELO_TEST_SIDE_DIFFICULTY");
    g_AITaskScheduler.SetClock(nullptr);
    HalSetTimeSource(nullptr);
}

}  // namespace

