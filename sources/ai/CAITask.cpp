#include "CAITask.h"

CAITask::~CAITask() = default;

void CAITask::Start(uint32_t nowMs) {
    mStartTime = static_cast<int32_t>(nowMs);
    mStarted = true;
}

bool CAITask::IsExpired(uint32_t nowMs) const {
    // Wrapping subtraction, then read as signed 32-bit.
    const int32_t elapsed = static_cast<int32_t>(nowMs - static_cast<uint32_t>(mStartTime));
    return elapsed > mTimeBudget;
}
