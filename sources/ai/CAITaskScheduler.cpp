#include "CAITaskScheduler.h"

#include "CAITask.h"

#include <CSceneMgr.h>
#include <HalTimer.h>

#include <algorithm>

CAITaskScheduler g_AITaskScheduler;

namespace {
void RunFrameService() { g_AITaskScheduler.RunFrame(); }

// The run state steps the tasks in its unpaused frames once the scheduler
// is linked in.
struct RunFrameInstaller {
    RunFrameInstaller() { CSceneMgr::Services().aiRunFrame = &RunFrameService; }
} gRunFrameInstaller;
}  // namespace

CAITaskScheduler::CAITaskScheduler() : mClock(&HalGetTimeMs) {}

void CAITaskScheduler::SetClock(Clock clock) { mClock = clock ? clock : &HalGetTimeMs; }

void CAITaskScheduler::AddTask(CAITask* task) { mTasks.push_back(task); }

void CAITaskScheduler::RemoveTask(CAITask* task) {
    auto it = std::find(mTasks.begin(), mTasks.end(), task);
    if (it != mTasks.end())
        mTasks.erase(it);
    // No pointer to a task that its owner may now delete.
    if (mCurrentTask == task)
        mCurrentTask = nullptr;
}

void CAITaskScheduler::SelectNextTask(uint32_t nowMs) {
    if (mTasks.empty()) {
        mNextIndex = 0;
        mCurrentTask = nullptr;
        return;
    }
    // From the end of the list toward its front, wrapping; the index survives
    // from one frame to the next. A removal may leave it past the end.
    if (mNextIndex == 0 || mNextIndex > mTasks.size())
        mNextIndex = static_cast<uint32_t>(mTasks.size());
    --mNextIndex;
    mCurrentTask = mTasks[mNextIndex];
    if (!mCurrentTask->IsStarted())
        mCurrentTask->Start(nowMs);
    mStepCount = 1;
    mCurrentAverage = mCurrentTask->GetAverageStepTime();
}

void CAITaskScheduler::RunFrame() {
    if (mTasks.empty())
        return;
    const uint32_t frameStart = Now();
    uint32_t taskStart = frameStart;
    uint32_t clockValue = frameStart;
    SelectNextTask(frameStart);
    // Signed difference so that the clock's wrap at 2^32 does not end the frame early.
    while (static_cast<int32_t>(clockValue - frameStart) < mFrameBudget) {
        if (!mCurrentTask)
            break;
        if (!mCurrentTask->IsFinished()) {
            mCurrentTask->Step();
            ++mStepCount;
            if (mCurrentAverage != -1.0f) {
                // Estimated from the average measured in an earlier frame.
                // (In double: a float cannot hold a millisecond clock past 2^24.)
                clockValue = static_cast<uint32_t>(static_cast<int64_t>(
                    static_cast<double>(mStepCount) * mCurrentAverage + static_cast<double>(taskStart)));
                // Guard against an average of 0 (a task faster than 1 ms per
                // 100 steps): now and then the real clock has the last word,
                // so a task that never finishes cannot hold the frame forever.
                if ((mStepCount & 1023) == 0) {
                    const uint32_t real = Now();
                    if (static_cast<int32_t>(real - clockValue) > 0)
                        clockValue = real;
                }
            } else if (mStepCount > 100) {
                clockValue = Now();
                mCurrentTask->SetAverageStepTime(
                    static_cast<float>(static_cast<int32_t>(clockValue - taskStart)) / static_cast<float>(mStepCount));
            }
            if (mCurrentTask->IsExpired(clockValue))
                mCurrentTask->OnTimeOut();
        }
        if (mCurrentTask->IsFinished()) {
            RemoveTask(mCurrentTask);
            clockValue = taskStart = Now();
            SelectNextTask(clockValue);
        }
    }
}
