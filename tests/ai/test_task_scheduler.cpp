// The computer opponent's task scheduler.
#include <CAITask.h>
#include <CAITaskScheduler.h>
#include <CSceneMgr.h>

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t gNow = 0;
int gClockReads = 0;
uint32_t FakeClock() {
    ++gClockReads;
    return gNow;
}

// Each step costs `stepCost` ms of the fake clock; finishes after `stepsToFinish`.
class FakeTask : public CAITask {
public:
    FakeTask(const char* name, int32_t budget, uint32_t stepCost, int stepsToFinish, std::string* log)
        : CAITask(budget), mName(name), mStepCost(stepCost), mStepsToFinish(stepsToFinish), mLog(log) {}
    void Step() override {
        ++mSteps;
        gNow += mStepCost;
        if (mLog)
            *mLog += mName;
        if (mStepsToFinish > 0 && mSteps >= mStepsToFinish)
            mFinished = true;
    }
    void Start(uint32_t now) override {
        ++mStarts;
        CAITask::Start(now);
    }
    int mSteps = 0;
    int mStarts = 0;

private:
    const char* mName;
    uint32_t mStepCost;
    int mStepsToFinish;
    std::string* mLog;
};

class Scheduler : public ::testing::Test {
protected:
    void SetUp() override {
        gNow = 100000;
        gClockReads = 0;
        mScheduler.SetClock(&FakeClock);
    }
    CAITaskScheduler mScheduler;
};

}  // namespace

TEST(AITaskScheduler, GlobalSchedulerStartsEmptyWithA10msBudget) {
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
    EXPECT_EQ(g_AITaskScheduler.GetFrameBudget(), 10);
    EXPECT_EQ(g_AITaskScheduler.GetCurrentTask(), nullptr);
    g_AITaskScheduler.RunFrame();   // no task: returns at once
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);

    // The run state's unpaused frame drives the global scheduler.
    ASSERT_NE(CSceneMgr::Services().aiRunFrame, nullptr);
    FakeTask task("t", 100000, 0, 3, nullptr);
    g_AITaskScheduler.AddTask(&task);
    CSceneMgr::Services().aiRunFrame();
    EXPECT_EQ(task.mSteps, 3);
    EXPECT_EQ(g_AITaskScheduler.GetTaskCount(), 0u);
}

TEST_F(Scheduler, NoTaskReturnsAtOnceWithoutReadingTheClock) {
    mScheduler.RunFrame();
    EXPECT_EQ(gClockReads, 0);
    EXPECT_EQ(mScheduler.GetCurrentTask(), nullptr);
}

TEST_F(Scheduler, UnmeasuredTaskGetsAHundredStepsThenTheAverageSetsTheFrame) {
    FakeTask task("a", 100000, 1, 0, nullptr);
    mScheduler.AddTask(&task);
    mScheduler.RunFrame();
    EXPECT_EQ(task.mStarts, 1);
    EXPECT_EQ(task.mSteps, 100);   // 100 ms spent, but the clock was not read before
    EXPECT_NEAR(task.GetAverageStepTime(), 100.0f / 101.0f, 1e-6f);

    mScheduler.RunFrame();         // estimated from the average: ten steps fill 10 ms
    EXPECT_EQ(task.mSteps, 110);
    EXPECT_EQ(task.mStarts, 1);
    EXPECT_EQ(mScheduler.GetTaskCount(), 1u);
}

TEST_F(Scheduler, FinishedTasksLeaveAndTasksAreTakenFromTheEnd) {
    std::string log;
    FakeTask a("a", 100000, 0, 3, &log);
    FakeTask b("b", 100000, 0, 2, &log);
    mScheduler.AddTask(&a);
    mScheduler.AddTask(&b);
    // With zero-cost steps the loop ends only when no task is left.
    mScheduler.RunFrame();
    EXPECT_EQ(log, "bbaaa");
    EXPECT_EQ(mScheduler.GetTaskCount(), 0u);
    EXPECT_EQ(mScheduler.GetCurrentTask(), nullptr);
    EXPECT_EQ(mScheduler.GetNextIndex(), 0u);
}

TEST_F(Scheduler, OneTaskAFrameFromTheLastAddedBackward) {
    // Measured tasks that never finish: each frame fills its 10 ms with one
    // task, the next frame goes on with the task before it, wrapping.
    std::string log;
    FakeTask first("1", 100000, 1, 0, &log);
    FakeTask second("2", 100000, 1, 0, &log);
    FakeTask third("3", 100000, 1, 0, &log);
    for (FakeTask* task : {&first, &second, &third}) {
        task->SetAverageStepTime(1.0f);
        mScheduler.AddTask(task);
    }
    std::string order;
    for (int frame = 0; frame < 5; ++frame) {
        log.clear();
        mScheduler.RunFrame();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.find_first_not_of(log[0]), std::string::npos) << log;   // a single task
        order += log[0];
    }
    EXPECT_EQ(order, "32132");
    EXPECT_EQ(first.mStarts + second.mStarts + third.mStarts, 3);
}

TEST_F(Scheduler, TaskPastItsBudgetIsTimedOut) {
    FakeTask task("t", 5, 1, 0, nullptr);
    mScheduler.AddTask(&task);
    mScheduler.RunFrame();
    EXPECT_TRUE(task.IsFinished());
    EXPECT_EQ(mScheduler.GetTaskCount(), 0u);
}

TEST_F(Scheduler, ZeroAverageCannotHoldTheFrameForever) {
    FakeTask task("t", 100000, 0, 0, nullptr);   // never finishes, costs nothing
    task.SetAverageStepTime(0.0f);
    mScheduler.AddTask(&task);
    int frames = 0;
    // The real clock moves on meanwhile (another thread of time): simulate it
    // by letting every read of the fake clock advance it.
    mScheduler.SetClock([]() -> uint32_t {
        ++gClockReads;
        return gNow += 1;
    });
    mScheduler.RunFrame();
    ++frames;
    EXPECT_EQ(frames, 1);
    EXPECT_GT(task.mSteps, 0);
}

TEST(AITask, ExpiryIsStrictlyPastTheBudget) {
    FakeTask task("t", 10, 0, 0, nullptr);
    EXPECT_EQ(task.GetAverageStepTime(), -1.0f);
    EXPECT_FALSE(task.IsStarted());
    task.Start(1000);
    EXPECT_TRUE(task.IsStarted());
    EXPECT_FALSE(task.IsExpired(1010));
    EXPECT_TRUE(task.IsExpired(1011));
    EXPECT_FALSE(task.IsExpired(999));
    task.Start(0xFFFFFFFBu);   // across the clock's wrap
    EXPECT_FALSE(task.IsExpired(5));
    EXPECT_TRUE(task.IsExpired(6));
    task.OnTimeOut();
    EXPECT_TRUE(task.IsFinished());
}
