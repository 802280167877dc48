// Accepts a key press or click only when the previous accepted one is at
// least 200 ms old on the monotonic clock, so one physical press that reaches
// several handlers (or a double click) acts once.
#pragma once

#include <cstdint>

class PressDebounce {
public:
    static constexpr uint32_t kWindowMs = 200;

    // The window starts closed: a press within 200 ms of `nowMs` is ignored.
    explicit PressDebounce(uint32_t nowMs) : mLastAccepted(nowMs) {}

    // True (and the time kept) when the press counts.
    bool Accept(uint32_t nowMs) {
        // Unsigned difference: the millisecond clock may wrap.
        if (nowMs - mLastAccepted < kWindowMs)
            return false;
        mLastAccepted = nowMs;
        return true;
    }
    uint32_t GetLastAccepted() const { return mLastAccepted; }

private:
    uint32_t mLastAccepted;
};
