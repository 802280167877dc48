// Steps the computer opponent's pending tasks within a
// budget of 10 ms of each frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CAITask;

class CAITaskScheduler {
public:
    typedef uint32_t (*Clock)();

    CAITaskScheduler();

    // Appends a task (not owned; the caller keeps it alive while listed).
    void AddTask(CAITask* task);
    // Removes the first entry equal to the pointer, keeping the order.
    void RemoveTask(CAITask* task);
    // Once per frame from the run state while not paused. With no task queued
    // it returns at once and does nothing.
    void RunFrame();

    size_t GetTaskCount() const { return mTasks.size(); }
    CAITask* GetCurrentTask() const { return mCurrentTask; }
    int32_t GetFrameBudget() const { return mFrameBudget; }
    uint32_t GetNextIndex() const { return mNextIndex; }

    // The millisecond clock (HalGetTimeMs); tests install their own. Null
    // restores the default.
    void SetClock(Clock clock);

private:
    void SelectNextTask(uint32_t nowMs);
    uint32_t Now() const { return mClock(); }

    std::vector<CAITask*> mTasks;
    int32_t mFrameBudget = 10;
    uint32_t mNextIndex = 0;
    CAITask* mCurrentTask = nullptr;
    int32_t mStepCount = 0;
    float mCurrentAverage = -1.0f;
    Clock mClock;
};

// The single global scheduler.
extern CAITaskScheduler g_AITaskScheduler;
