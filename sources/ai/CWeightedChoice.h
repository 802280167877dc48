// A choice among candidates as a time-sliced task: each step scores one
// candidate (the derived class's rules plus a noise that grows as the
// computer's skill falls) and keeps the best so far. A choice that runs out of
// time keeps the best of what it scored.
#pragma once

#include "CAITask.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The mean of `samples` draws of KemRand scaled to [0, amplitude]; 0 when the
// amplitude is not above 0 or there is no sample. Draws from the program-wide
// generator (its sequence is shared, not reset per choice).
float WeightedChoiceNoise(float amplitude, int32_t samples);

// A score as the choice keeps it: truncated toward zero. NaN and values
// outside the 32-bit range give INT_MIN, so they never beat a real score.
float WeightedChoiceTruncate(float score);

template <typename T>
class CWeightedChoice : public CAITask {
public:
    typedef std::vector<T> CandidateArray;

    CWeightedChoice(int32_t timeBudgetMs, float initialBestScore, int32_t noiseSamples, float noiseAmplitude)
        : CAITask(timeBudgetMs), mBestScore(initialBestScore), mNoiseSampleCount(noiseSamples),
          mNoiseAmplitude(noiseAmplitude) {}
    ~CWeightedChoice() override = default;

    // Finished when timed out; never before the start; at once without a
    // candidate array or with an empty one; else once every candidate is scored.
    bool IsFinished() override {
        if (mFinished)
            return true;
        if (!mStarted)
            return false;
        if (!mCandidates)
            return true;
        return static_cast<size_t>(mCurrentIndex) >= mCandidates->size();
    }

    // Scores the next candidate; a strictly better score takes the lead, so
    // the first of equal maxima wins.
    void Step() override {
        if (!mCandidates || mCurrentIndex < 0 || static_cast<size_t>(mCurrentIndex) >= mCandidates->size())
            return;
        const T candidate = (*mCandidates)[static_cast<size_t>(mCurrentIndex)];
        const float score = WeightedChoiceTruncate(Evaluate(candidate));
        if (mBestScore < score) {
            mBestScore = score;
            mBestIndex = mCurrentIndex;
        }
        ++mCurrentIndex;
    }

    // The noise alone; derived choices add their rules.
    virtual float Evaluate(T candidate) {
        (void)candidate;
        return WeightedChoiceNoise(mNoiseAmplitude, mNoiseSampleCount);
    }

    int32_t GetBestIndex() const { return mBestIndex; }
    float GetBestScore() const { return mBestScore; }
    int32_t GetCurrentIndex() const { return mCurrentIndex; }
    int32_t GetNoiseSampleCount() const { return mNoiseSampleCount; }
    float GetNoiseAmplitude() const { return mNoiseAmplitude; }
    // Null until the derived Start builds it.
    const CandidateArray* GetCandidates() const { return mCandidates.get(); }
    size_t GetCandidateCount() const { return mCandidates ? mCandidates->size() : 0; }
    // The best candidate, or null without one.
    const T* GetBest() const {
        if (!mCandidates || mBestIndex < 0 || static_cast<size_t>(mBestIndex) >= mCandidates->size())
            return nullptr;
        return &(*mCandidates)[static_cast<size_t>(mBestIndex)];
    }

protected:
    int32_t mBestIndex = 0;
    std::unique_ptr<CandidateArray> mCandidates;
    float mBestScore;
    int32_t mNoiseSampleCount;
    float mNoiseAmplitude;
    int32_t mCurrentIndex = 0;
};
