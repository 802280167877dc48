// One time-sliced decision stage of the computer opponent.
#pragma once

#include <cstdint>

class CAITask {
public:
    explicit CAITask(int32_t timeBudgetMs) : mTimeBudget(timeBudgetMs) {}
    virtual ~CAITask();

    virtual bool IsFinished() { return mFinished; }
    // Stores the clock value and sets started; derived tasks build their
    // candidate lists, then call this.
    virtual void Start(uint32_t nowMs);
    // One unit of work.
    virtual void Step() = 0;
    virtual void OnTimeOut() { mFinished = true; }

    // now - start > budget, in signed 32-bit arithmetic.
    bool IsExpired(uint32_t nowMs) const;

    bool IsStarted() const { return mStarted; }
    float GetAverageStepTime() const { return mAverageStepTime; }
    void SetAverageStepTime(float ms) { mAverageStepTime = ms; }
    int32_t GetStartTime() const { return mStartTime; }
    int32_t GetTimeBudget() const { return mTimeBudget; }

protected:
    bool mStarted = false;
    bool mFinished = false;
    float mAverageStepTime = -1.0f;   // ms; -1: not measured yet
    int32_t mStartTime = 0;
    int32_t mTimeBudget;
};
